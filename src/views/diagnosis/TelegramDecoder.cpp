#include "TelegramDecoder.h"

#include <algorithm>
#include <exception>

namespace rq16::diagnosis {

namespace {

constexpr std::array<ChannelCodeInfo, 12> kChannelCodes{{
    {0, PictureCategory::None},
    {1101, PictureCategory::ChannelError},
    {1102, PictureCategory::ChannelError},
    {1103, PictureCategory::ChannelError},
    {1104, PictureCategory::ChannelError},
    {1105, PictureCategory::ChannelNotice},
    {1106, PictureCategory::ChannelError},
    {1128, PictureCategory::ChannelError},
    {9061, PictureCategory::ChannelError},
    {9062, PictureCategory::GroupError},
    {9063, PictureCategory::GroupError},
    {9064, PictureCategory::GroupError},
}};

/// Builds the channel text and records what the view needs to replay it.
class Builder {
public:
    Builder(DecodedTelegram& result, ITextSource& texts) : m_result(result), m_texts(texts) {}

    void Line(const QString& line) {
        m_result.pieces.push_back({ChannelPiece::Kind::Line, line, 0});
        m_result.channelText += line;
        m_result.channelText += kLineBreak;
    }

    void Label(int channel) {
        const QString word = m_texts.ChannelLabelWord();
        QString text;
        text.reserve(word.size() + 8);
        if (channel > 1) {
            text += kLineBreak;
        }
        text += word;
        text += QLatin1Char(' ');
        text += QString::number(channel);
        text += kLineBreak;
        const auto slot = static_cast<std::size_t>(channel - 1);
        if (channel >= 1 && slot < m_result.labelStart.size()) {
            m_result.labelStart[slot] = static_cast<int>(m_result.channelText.size());
            m_result.labelLength[slot] = static_cast<int>(text.size() - kLineBreak.size());
        }
        m_result.pieces.push_back({ChannelPiece::Kind::Label, text, channel});
        m_result.channelText += text;
    }

    void OkBlocks(int from, int to) {
        for (int c = from; c <= to; ++c) {
            Label(c);
            Line(QStringLiteral("\tOk"));
        }
    }

    void SyntaxErrorLines(SyntaxError error, int channel) {
        m_result.syntaxError = error;
        m_result.errorStart = static_cast<int>(m_result.channelText.size());
        Line(kLineBreak + kSyntaxErrorLine);
        Line(error == SyntaxError::Order
                 ? kOrderErrorLine
                 : QStringLiteral("Channel number claims to be %1!").arg(channel));
    }

private:
    DecodedTelegram& m_result;
    ITextSource& m_texts;
};

QString ModuleLine(std::uint8_t code, ITextSource& texts) {
    if (code == 0) {
        return {};
    }
    if (code <= 9) {
        return texts.CommonText(kTextModuleCodeBase + code);
    }
    return texts.CommonText(kTextUnknownCode) + QLatin1Char(' ') + HexByte(code & 0x0F);
}

QString ChannelCodeText(std::uint8_t code, ITextSource& texts) {
    const ChannelCodeInfo info = ChannelCode(code);
    if (info.textId != 0) {
        return texts.CommonText(info.textId);
    }
    return texts.CommonText(kTextUnknownCode) + QLatin1Char(' ') + HexByte(code);
}

void DecodeEntries(const ByteArray& telegram, ITextSource& texts, DecodedTelegram& result) {
    Builder builder(result, texts);
    int last = 0;
    QString previousLine; // a code-0 entry repeats the line of the entry before it
    for (std::size_t i = 1; i < telegram.size(); ++i) {
        const int channel = telegram[i] >> 4;
        const auto code = static_cast<std::uint8_t>(telegram[i] & 0x0F);
        if (channel < last) {
            builder.SyntaxErrorLines(SyntaxError::Order, channel);
            return;
        }
        if (channel > kChannelCount) {
            builder.SyntaxErrorLines(SyntaxError::Range, channel);
            return;
        }
        if (channel != last) {
            builder.OkBlocks(last + 1, channel - 1);
            builder.Label(channel);
        }
        last = channel;
        QString line;
        if (code == 0) {
            line = previousLine;
        } else {
            line = QLatin1Char('\t') + ChannelCodeText(code, texts);
        }
        builder.Line(line);
        previousLine = line;
        result.entries.push_back({channel, code, ChannelCode(code).category});
    }
    builder.OkBlocks(last + 1, kChannelCount);
}

} // namespace

ChannelCodeInfo ChannelCode(std::uint8_t code) {
    if (code < kChannelCodes.size()) {
        return kChannelCodes[code];
    }
    return {0, PictureCategory::None};
}

QString HexByte(std::uint8_t value) {
    QString digits = QString::number(value, 16).toUpper();
    if (digits.size() == 1) {
        digits.prepend(QLatin1Char('0'));
    }
    return QStringLiteral("0x") + digits;
}

DecodedTelegram DecodeTelegram(const ByteArray& telegram, ITextSource& texts) {
    DecodedTelegram result;
    result.channelText.reserve(256); // eight blocks of a line or two
    const std::uint8_t moduleCode = telegram.empty() ? 0 : telegram.front();
    try {
        result.moduleLine = ModuleLine(moduleCode, texts);
    } catch (const std::exception&) {
        // The module line is shown with errors ignored; the channel part
        // still decodes.
        result.moduleLine.clear();
    }
    try {
        DecodeEntries(telegram, texts, result);
    } catch (const ComError& error) {
        result.failure = error;
    } catch (const std::exception& error) {
        result.failure = ComError(kErrInvalidArg, QString::fromUtf8(error.what()));
    }
    return result;
}

int ChannelTerminal(int channel) {
    return channel <= 4 ? channel + 3 : channel + 7;
}

int GroupFirstTerminal(int channel) {
    return channel <= 4 ? 0 : 8;
}

int RichTextPosition(const QString& text, int position) {
    // Every CR LF pair that lies wholly before the position counts once less.
    const int end = std::min(position, static_cast<int>(text.size()));
    int breaks = 0;
    for (int i = 0; i + 1 < end; ++i) {
        if (text[i] == QLatin1Char('\r') && text[i + 1] == QLatin1Char('\n')) {
            ++breaks;
            ++i;
        }
    }
    return position - breaks;
}

std::vector<StyledRun> StyleRuns(const DecodedTelegram& decoded) {
    const int size = static_cast<int>(decoded.channelText.size());
    std::vector<StyledRun> runs;
    const auto add = [&runs](int end, CharStyle style) {
        const int start = runs.empty() ? 0 : runs.back().end;
        if (end <= start) {
            return;
        }
        if (!runs.empty() && runs.back().style == style) {
            runs.back().end = end;
        } else {
            runs.push_back({end, style});
        }
    };
    if (decoded.failure) {
        add(size, CharStyle::Unformatted);
    } else if (decoded.syntaxError != SyntaxError::None) {
        add(decoded.errorStart, CharStyle::Unformatted);
        add(size, CharStyle::Error);
    } else {
        for (std::size_t c = 0; c < kChannelCount; ++c) {
            if (decoded.labelLength[c] > 0) {
                add(decoded.labelStart[c], CharStyle::Normal);
                add(decoded.labelStart[c] + decoded.labelLength[c], CharStyle::Bold);
            }
        }
        add(size, CharStyle::Normal);
    }
    return runs;
}

namespace {

/// The style of each position of a text, asked for in ascending order.
class StyleCursor {
public:
    explicit StyleCursor(const std::vector<StyledRun>& runs) : m_runs(runs) {}
    CharStyle At(int position) {
        while (m_run + 1 < m_runs.size() && position >= m_runs[m_run].end) {
            ++m_run;
        }
        return m_runs.empty() ? CharStyle::Unformatted : m_runs[m_run].style;
    }

private:
    const std::vector<StyledRun>& m_runs;
    std::size_t m_run = 0;
};

/// Where each line of a text starts and ends (before its CR LF); the text
/// after the last line break is the last line.
std::vector<std::pair<int, int>> Lines(const QString& text) {
    std::vector<std::pair<int, int>> lines;
    const QChar* chars = text.constData();
    const auto size = static_cast<int>(text.size());
    int start = 0;
    for (int i = 0; i + 1 < size; ++i) {
        if (chars[i] == QLatin1Char('\r') && chars[i + 1] == QLatin1Char('\n')) {
            lines.emplace_back(start, i);
            start = i + 2;
            ++i;
        }
    }
    lines.emplace_back(start, size);
    return lines;
}

} // namespace

std::optional<std::vector<ChangedLine>> FindChangedLines(const QString& oldText,
                                                         const std::vector<StyledRun>& oldRuns,
                                                         const QString& newText,
                                                         const std::vector<StyledRun>& newRuns) {
    const std::vector<std::pair<int, int>> oldLines = Lines(oldText);
    const std::vector<std::pair<int, int>> newLines = Lines(newText);
    if (oldLines.size() != newLines.size()) {
        return std::nullopt;
    }
    std::vector<ChangedLine> changed;
    StyleCursor oldStyles(oldRuns);
    StyleCursor newStyles(newRuns);
    for (std::size_t i = 0; i < oldLines.size(); ++i) {
        const auto [oldStart, oldEnd] = oldLines[i];
        const auto [newStart, newEnd] = newLines[i];
        bool same = QStringView(oldText).sliced(oldStart, oldEnd - oldStart) ==
                    QStringView(newText).sliced(newStart, newEnd - newStart);
        for (int k = 0; same && k < oldEnd - oldStart; ++k) {
            same = oldStyles.At(oldStart + k) == newStyles.At(newStart + k);
        }
        if (!same) {
            changed.push_back({oldStart, oldEnd, newStart, newEnd});
        }
        // A line break in another style would change the blocks around it.
        if (i + 1 < oldLines.size() && oldStyles.At(oldEnd) != newStyles.At(newEnd)) {
            return std::nullopt;
        }
    }
    return changed;
}

} // namespace rq16::diagnosis
