#include "Diagnosis.h"
#include "Accessibility.h"
#include "BoundedText.h"
#include "PlainText.h"
#include "SkipOnError.h"

#include "host/Constants.h"

#include <QColor>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace rq16 {

namespace {

constexpr std::int32_t kTextHeader = 6011;
constexpr std::int32_t kTextModuleFrame = 6101;
constexpr std::int32_t kTextChannelFrame = 6102;
constexpr int kHelpContextId = 25600;
// Words for assistive technology.
constexpr std::int32_t kTextChannelTerminal = 6110;
constexpr std::int32_t kTextGroupTerminal = 6111;
constexpr std::int32_t kTextNoFault = 6112;
constexpr std::int32_t kTextNotice = 6113;
constexpr std::int32_t kTextFault = 6114;

// Design positions (only the button bar moves on resize).
constexpr int kMargin = 8;
constexpr int kViewWidth = 600;
constexpr int kTerminalWidth = 32;
constexpr int kTerminalHeight = 48;
constexpr int kTerminalPitch = 34;
constexpr int kGroupGap = 14;

/// The picture terminal t is designed with: a plain terminal with its number.
QPixmap DesignTerminalPicture(int terminal) {
    QPixmap pixmap(kTerminalWidth, kTerminalHeight);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x5a, 0x5a, 0x5a), 1.5));
    painter.setBrush(QColor(0xd4, 0xd4, 0xd4));
    painter.drawRoundedRect(QRectF(1.5, 1.5, kTerminalWidth - 3, kTerminalHeight - 3), 3, 3);
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.2));
    painter.setBrush(QColor(0xf4, 0xf4, 0xf4));
    painter.drawEllipse(QPointF(kTerminalWidth / 2.0, 14), 8, 8);
    QFont font = painter.font();
    font.setPixelSize(9);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x20, 0x20, 0x20));
    painter.drawText(QRect(0, 34, kTerminalWidth, 12), Qt::AlignCenter,
                     QString::number(terminal + 1));
    return pixmap;
}

/// The characters from `begin` to `end` of `text` as the rich text box takes
/// them: CR LF as one paragraph break.
QString RichTextPiece(const QString& text, int begin, int end) {
    QString piece(end - begin, Qt::Uninitialized);
    QChar* out = piece.data();
    for (int i = begin; i < end; ++i) {
        if (!(text[i] == u'\r' && i + 1 < end && text[i + 1] == u'\n')) {
            *out++ = text[i];
        }
    }
    piece.truncate(out - piece.constData());
    return piece;
}

QString ForRichText(const QString& text) {
    return RichTextPiece(text, 0, static_cast<int>(text.size()));
}

} // namespace

/// The view's resource texts for the decoder, each at most a screen line
/// long: the text boxes wrap them. Decodings ask for the same few
/// texts again and again (the label word once per channel); each is looked
/// up once per view, whose language is fixed from Init on. A failed lookup
/// is not kept, so it fails again where it is asked for next.
class Diagnosis::ResourceTexts : public diagnosis::ITextSource {
public:
    explicit ResourceTexts(Diagnosis& view) : m_view(view) {}
    QString CommonText(std::int32_t id) override { return Cached(m_texts, id, true); }
    /// The text as the view's CommonText gives it, not shortened for a box.
    QString ViewText(std::int32_t id) { return Cached(m_viewTexts, id, false); }
    QString ChannelLabelWord() override {
        if (!m_labelWord) {
            if (!m_view.m_objResourceManager) {
                throw ComError(kErrInvalidArg, QStringLiteral("No resource manager"));
            }
            m_labelWord = ShownText(
                m_view.m_objResourceManager->GetString(diagnosis::kTextChannelLabel, QString()));
        }
        return *m_labelWord;
    }

private:
    using Texts = std::vector<std::pair<std::int32_t, QString>>;
    QString Cached(Texts& texts, std::int32_t id, bool shown) {
        for (const auto& [known, text] : texts) {
            if (known == id) {
                return text;
            }
        }
        QString text = m_view.CommonText(id);
        if (shown) {
            text = ShownText(text);
        }
        texts.emplace_back(id, text);
        return text;
    }

    Diagnosis& m_view;
    Texts m_texts;
    Texts m_viewTexts;
    std::optional<QString> m_labelWord;
};

Diagnosis::Diagnosis(QWidget* parent)
    : OnlineView(ViewTraits{QStringLiteral("Diagnosis"), kHelpContextId, true, false, kTextReread},
                 ConnectionProtocol::DiagnosisTraits(), &IParameterManager::GetReadDiagnosisRequest,
                 parent) {
    BuildControls();
    DescribeTerminals();
}

Diagnosis::~Diagnosis() = default;

void Diagnosis::BuildControls() {
    Frame1 = new QGroupBox(this);
    Frame1->setGeometry(kMargin, kMargin, kViewWidth - 2 * kMargin, 104);

    lblHeader = new QLabel(Frame1);
    lblHeader->setObjectName(QStringLiteral("lblHeader"));
    QFont headerFont = lblHeader->font();
    headerFont.setBold(true);
    headerFont.setPointSizeF(headerFont.pointSizeF() * 1.2);
    lblHeader->setFont(headerFont);
    lblHeader->setGeometry(12, 10, kViewWidth - 2 * kMargin - 24, 24);

    for (int t = 0; t < kTerminalCount; ++t) {
        auto* picture = new QLabel(Frame1);
        picture->setObjectName(QStringLiteral("picTerminal%1").arg(t));
        const int x = 14 + t * kTerminalPitch + (t >= 8 ? kGroupGap : 0);
        picture->setGeometry(x, 42, kTerminalWidth, kTerminalHeight);
        picture->setAlignment(Qt::AlignCenter);
        if (t >= kTerminalCount / 2) {
            // Init loads the first eight; the others show this until the
            // first telegram.
            picture->setPixmap(DesignTerminalPicture(t));
        }
        picTerminal[static_cast<std::size_t>(t)] = picture;
    }

    fraModuleRelatedDiagnosis = new QGroupBox(this);
    fraModuleRelatedDiagnosis->setGeometry(kMargin, 120, kViewWidth - 2 * kMargin, 60);
    txtModuleDiagnosis = new QLineEdit(fraModuleRelatedDiagnosis);
    txtModuleDiagnosis->setObjectName(QStringLiteral("txtModuleDiagnosis"));
    txtModuleDiagnosis->setReadOnly(true);
    txtModuleDiagnosis->setGeometry(10, 24, kViewWidth - 2 * kMargin - 20, 26);

    fraChannelRelatedDiagnosis = new QGroupBox(this);
    fraChannelRelatedDiagnosis->setGeometry(kMargin, 188, kViewWidth - 2 * kMargin, 300);
    txtChannelDiagnosis = new QTextEdit(fraChannelRelatedDiagnosis);
    txtChannelDiagnosis->setObjectName(QStringLiteral("txtChannelDiagnosis"));
    txtChannelDiagnosis->setReadOnly(true);
    txtChannelDiagnosis->setAcceptRichText(false);
    txtChannelDiagnosis->setTabStopDistance(28);
    // The box is read-only and rewritten with every telegram: there is
    // nothing to undo, and recording each step would cost more than the step.
    txtChannelDiagnosis->setUndoRedoEnabled(false);
    // Whoever else changes the box's document leaves a box that no longer
    // holds what the view wrote; the next decoding writes it anew.
    connect(txtChannelDiagnosis->document(), &QTextDocument::contentsChange, this,
            [this] { m_channelBoxComplete = false; });
    txtChannelDiagnosis->setGeometry(10, 24, kViewWidth - 2 * kMargin - 20, 266);

    resize(kViewWidth, 540);
}

QLabel* Diagnosis::terminalPicture(int terminal) const {
    return picTerminal.at(static_cast<std::size_t>(terminal));
}

std::int32_t Diagnosis::terminalPictureId(int terminal) const {
    return m_terminalPictureIds.at(static_cast<std::size_t>(terminal));
}

// ---- Init hooks ----

void Diagnosis::LoadCaptions() {
    InitStatement([&] { ShowBounded(fraModuleRelatedDiagnosis, CommonText(kTextModuleFrame)); });
    InitStatement([&] { ShowBounded(fraChannelRelatedDiagnosis, CommonText(kTextChannelFrame)); });
    const std::pair<QString*, std::int32_t> words[] = {
        {&m_terminalWords.channelTerminal, kTextChannelTerminal},
        {&m_terminalWords.groupTerminal, kTextGroupTerminal},
        {&m_terminalWords.noFault, kTextNoFault},
        {&m_terminalWords.notice, kTextNotice},
        {&m_terminalWords.fault, kTextFault}};
    for (const auto& [word, id] : words) {
        SkipOnError([&, word = word, id = id] { *word = CommonText(id); });
    }
    m_describedKind.fill(-1); // the words may have changed
    DescribeTerminals();
}

void Diagnosis::LoadPictures() {
    for (int t = 0; t < kTerminalCount / 2; ++t) {
        if (TryLoadPicture(terminalPicture(t), kPictureDefault + t, 0, 0, sCommonResourcePath)) {
            m_terminalPictureIds[static_cast<std::size_t>(t)] = kPictureDefault + t;
        }
    }
}

void Diagnosis::FillHeader() {
    const ModuleObject module = ReadModule();
    ShowBounded(lblHeader,
                CommonText(kTextHeader) + QLatin1Char(' ') +
                    QStringLiteral("%1").arg(module.slotNumber, 2, 10, QLatin1Char('0')) +
                    QStringLiteral(": ") + module.typeName,
                lblHeader->width());
}

// ---- the transaction ----

void Diagnosis::ReadDiag(const QVariant& vArguments) {
    Q_UNUSED(vArguments);
    CallRead();
}

void Diagnosis::CarryViewStep(const Step& step) {
    switch (step.kind) {
    case Step::Kind::ShowData:
        ParseModuleDiagnosis(step.data);
        break;
    case Step::Kind::ShowConnectError:
        ClearModuleDiagnosisText();
        ClearChannelDiagnosisText();
        AddModuleDiagnosisText(step.text);
        break;
    case Step::Kind::ConnectionLost:
        blnDiagnosisShown = false;
        break;
    default:
        break;
    }
}

// ---- boxes ----

void Diagnosis::ClearModuleDiagnosisText() {
    Log(QStringLiteral(".ClearModuleDiagnosisText"));
    m_moduleText.clear();
    txtModuleDiagnosis->clear();
}

void Diagnosis::AddModuleDiagnosisText(const QString& line) {
    Log(QStringLiteral(".AddModuleDiagnosisText"), line);
    m_moduleText += line + diagnosis::kLineBreak;
    ShowModuleText();
}

void Diagnosis::ShowModuleText() {
    // The one-line box shows the lines side by side. Setting the text it
    // shows already would only lay it out again.
    const QString shown =
        ForRichText(m_moduleText).trimmed().replace(QLatin1Char('\n'), QStringLiteral("  "));
    if (shown != txtModuleDiagnosis->text()) {
        txtModuleDiagnosis->setText(shown);
    }
    txtModuleDiagnosis->setCursorPosition(0);
}

void Diagnosis::ClearChannelDiagnosisText() {
    Log(QStringLiteral(".ClearChannelDiagnosisText"));
    ClearChannelBox();
}

void Diagnosis::ClearChannelBox() {
    m_channelText.clear();
    m_channelRuns.clear();
    m_channelBoxComplete = false;
    txtChannelDiagnosis->clear();
    txtChannelDiagnosis->setCurrentCharFormat(QTextCharFormat());
}

void Diagnosis::AddChannelDiagnosisText(const QString& line) {
    Log(QStringLiteral(".AddChannelDiagnosisText"), line);
    AppendChannelText(line + diagnosis::kLineBreak);
}

void Diagnosis::AppendChannelText(const QString& text) {
    m_channelText += text;
    m_channelBoxComplete = false;
    QTextCursor cursor(txtChannelDiagnosis->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(ForRichText(text), QTextCharFormat());
}

namespace {

QTextCharFormat FormatOf(diagnosis::CharStyle style) {
    QTextCharFormat format;
    switch (style) {
    case diagnosis::CharStyle::Unformatted:
        break;
    case diagnosis::CharStyle::Normal:
        format.setFontWeight(QFont::Normal);
        break;
    case diagnosis::CharStyle::Bold:
        format.setFontWeight(QFont::Bold);
        break;
    case diagnosis::CharStyle::Error:
        format.setFontWeight(QFont::Bold);
        format.setForeground(QColor(255, 0, 0));
        break;
    }
    return format;
}

/// Inserts text[from, to) at the cursor, each stretch in its style.
void InsertStyled(QTextCursor& cursor, const QString& text,
                  const std::vector<diagnosis::StyledRun>& runs, int from, int to) {
    int start = 0;
    for (const diagnosis::StyledRun& run : runs) {
        const int begin = std::max(start, from);
        const int end = std::min(run.end, to);
        if (begin < end) {
            cursor.insertText(RichTextPiece(text, begin, end), FormatOf(run.style));
        }
        start = run.end;
    }
}

} // namespace

void Diagnosis::ShowChannelText(const diagnosis::DecodedTelegram& decoded) {
    // Every character is written with the format it ends up with, in one
    // edit of the document, laid out once. Each change of the document costs
    // as much as the decoding: a complete decoding shown over another with
    // the same lines rewrites only the lines that differ, the last first so
    // that the positions of the others stay. Either way the document is the
    // same as if it had been emptied and written anew.
    std::vector<diagnosis::StyledRun> runs = diagnosis::StyleRuns(decoded);
    const QString& text = decoded.channelText;
    std::optional<std::vector<diagnosis::ChangedLine>> changedLines;
    if (m_channelBoxComplete && decoded.complete() &&
        txtChannelDiagnosis->document() == m_channelDocument) {
        changedLines = diagnosis::FindChangedLines(m_channelText, m_channelRuns, text, runs);
    }
    if (changedLines) {
        QTextCursor cursor(txtChannelDiagnosis->document());
        cursor.beginEditBlock();
        for (auto line = changedLines->rbegin(); line != changedLines->rend(); ++line) {
            cursor.setPosition(diagnosis::RichTextPosition(m_channelText, line->oldStart));
            cursor.setPosition(diagnosis::RichTextPosition(m_channelText, line->oldEnd),
                               QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            InsertStyled(cursor, text, runs, line->newStart, line->newEnd);
        }
        cursor.endEditBlock();
    } else {
        ClearChannelBox();
        QTextCursor cursor(txtChannelDiagnosis->document());
        cursor.beginEditBlock();
        InsertStyled(cursor, text, runs, 0, static_cast<int>(text.size()));
        cursor.endEditBlock();
    }
    m_channelText = text;
    m_channelRuns = std::move(runs);
    // Set after the edits: each of them has reported a change of contents.
    m_channelBoxComplete = decoded.complete();
    m_channelDocument = txtChannelDiagnosis->document();
}

// ---- pictures ----

void Diagnosis::SetTerminalPicture(int terminal, std::int32_t id) {
    auto& shown = m_terminalPictureIds[static_cast<std::size_t>(terminal)];
    if (shown == id) {
        return;
    }
    try {
        auto cached = m_pictureCache.find(id);
        if (cached == m_pictureCache.end()) {
            cached =
                m_pictureCache
                    .emplace(id, m_objResourceManager->LoadPicture(id, 0, 0, sCommonResourcePath))
                    .first;
        }
        terminalPicture(terminal)->setPixmap(cached->second);
        shown = id;
    } catch (const std::exception&) {
        // A missing picture leaves the terminal as it was.
    }
}

void Diagnosis::DescribeTerminals() {
    const TerminalWords& words = m_terminalWords;
    for (int t = 0; t < kTerminalCount; ++t) {
        const std::int32_t id = terminalPictureId(t);
        const auto index = static_cast<std::size_t>(t);
        // A name is put together only when the terminal's state changed:
        // every reread calls this, and most terminals keep their state.
        const int kind = id == kPictureError + t ? 2 : id == kPictureNotice + t ? 1 : 0;
        if (m_describedKind[index] == kind) {
            SetAccessibleText(terminalPicture(t), terminalPicture(t)->accessibleName(),
                              m_terminalFault[index]);
            continue;
        }
        m_describedKind[index] = kind;
        const QString state = kind == 2 ? words.fault : kind == 1 ? words.notice : words.noFault;
        // Terminals 4 to 7 and 12 to 15 are those of channels 1 to 8; the
        // four in front of each are their group's.
        const int group = t / 8;
        const int inGroup = t % 8;
        const QString terminal = QString::number(t + 1);
        const QString name = inGroup >= 4
                                 ? words.channelTerminal.arg(
                                       terminal, QString::number(group * 4 + inGroup - 3), state)
                                 : words.groupTerminal.arg(terminal, QString::number(group * 4 + 1),
                                                           QString::number(group * 4 + 4), state);
        SetAccessibleText(terminalPicture(t), name, m_terminalFault[static_cast<std::size_t>(t)]);
    }
}

// ---- decoding ----

void Diagnosis::DisconnectAfterDecoding() {
    Carry(m_protocol.DataShown(QStringLiteral(".ParseModuleDiagnosis")),
          QStringLiteral("ParseModuleDiagnosis"));
}

void Diagnosis::ParseModuleDiagnosis(const ByteArray& telegram) {
    using diagnosis::ChannelPiece;
    using diagnosis::PictureCategory;
    Log(QStringLiteral(".ParseModuleDiagnosis"));
    if (blnDiagnosisShown && telegram == m_abLastTelegram) {
        DisconnectAfterDecoding();
        return;
    }

    if (!m_texts) {
        m_texts = std::make_unique<ResourceTexts>(*this);
    }
    const diagnosis::DecodedTelegram decoded = diagnosis::DecodeTelegram(telegram, *m_texts);

    // The boxes are emptied and filled as the log tells, but each box is
    // changed once, to what it shows at the end.
    Log(QStringLiteral(".ClearModuleDiagnosisText"));
    m_moduleText.clear();
    if (!decoded.moduleLine.isEmpty()) {
        Log(QStringLiteral(".AddModuleDiagnosisText"), decoded.moduleLine);
        m_moduleText = decoded.moduleLine + diagnosis::kLineBreak;
    }
    ShowModuleText();
    Log(QStringLiteral(".ClearChannelDiagnosisText"));
    for (int t = 0; t < kTerminalCount; ++t) {
        SetTerminalPicture(t, kPictureDefault + t);
        m_terminalFault[static_cast<std::size_t>(t)].clear();
    }

    for (const ChannelPiece& piece : decoded.pieces) {
        if (piece.kind == ChannelPiece::Kind::Line) {
            Log(QStringLiteral(".AddChannelDiagnosisText"), piece.text);
        }
    }
    ShowChannelText(decoded);
    m_labelStart = decoded.labelStart;
    m_labelLength = decoded.labelLength;

    for (const diagnosis::ChannelEntry& entry : decoded.entries) {
        if (entry.channel < 1) {
            continue; // an entry under no channel has no terminal
        }
        const int terminal = diagnosis::ChannelTerminal(entry.channel);
        QString fault;
        if (entry.category != PictureCategory::None) {
            SkipOnError(
                [&] { fault = m_texts->ViewText(diagnosis::ChannelCode(entry.code).textId); });
        }
        const auto mark = [&](int t, std::int32_t id) {
            SetTerminalPicture(t, id);
            if (terminalPictureId(t) == id) {
                m_terminalFault[static_cast<std::size_t>(t)] = fault;
            }
        };
        switch (entry.category) {
        case PictureCategory::GroupError:
            for (int g = diagnosis::GroupFirstTerminal(entry.channel), end = g + 4; g < end; ++g) {
                mark(g, kPictureError + g);
            }
            break;
        case PictureCategory::ChannelError:
            mark(terminal, kPictureError + terminal);
            break;
        case PictureCategory::ChannelNotice:
            mark(terminal, kPictureNotice + terminal);
            break;
        case PictureCategory::None:
            break;
        }
    }
    DescribeTerminals();

    if (decoded.failure) {
        ReportError(decoded.failure->number(), decoded.failure->description(),
                    QStringLiteral("ParseModuleDiagnosis"));
        DisconnectAfterDecoding();
        return;
    }
    if (decoded.syntaxError != diagnosis::SyntaxError::None) {
        DisconnectAfterDecoding();
        return;
    }

    // A new diagnosis is read from its first channel on: the cursor goes to
    // the start, so the box keeps channel 1 in sight also when it is shown
    // only after the read.
    QTextCursor cursor = txtChannelDiagnosis->textCursor();
    cursor.movePosition(QTextCursor::Start);
    txtChannelDiagnosis->setTextCursor(cursor);
    txtChannelDiagnosis->verticalScrollBar()->setValue(0);

    m_abLastTelegram = telegram;
    blnDiagnosisShown = true;
    DisconnectAfterDecoding();
}

} // namespace rq16
