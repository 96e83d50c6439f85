#include "TelegramDecoder.h"

#include <gtest/gtest.h>

#include <set>

using namespace rq16;
using namespace rq16::diagnosis;

namespace {

/// Texts are "T<id>"; the label word is "Channel"; ids in `failing` throw.
class TableTexts : public ITextSource {
public:
    QString CommonText(std::int32_t id) override {
        if (failing.count(id) != 0) {
            throw ComError(kErrNotFound, QStringLiteral("no text %1").arg(id));
        }
        return QStringLiteral("T%1").arg(id);
    }
    QString ChannelLabelWord() override { return QStringLiteral("Channel"); }
    std::set<std::int32_t> failing;
};

QString Label(int c) {
    return QStringLiteral("Channel %1").arg(c);
}

/// The channel text that Ok blocks for channels from..to add.
QString OkBlocks(int from, int to) {
    QString text;
    for (int c = from; c <= to; ++c) {
        text += (c == 1 ? Label(c) + "\r\n" : "\r\n" + Label(c) + "\r\n") + "\tOk\r\n";
    }
    return text;
}

DecodedTelegram Decode(const ByteArray& telegram) {
    TableTexts texts;
    return DecodeTelegram(telegram, texts);
}

} // namespace

TEST(TelegramDecoder, TextsOfWholeTelegrams) {
    // Entry lines stand under their channel's label; channels without an
    // entry show Ok; channel 0 writes no label.
    const QString l1 = Label(1) + "\r\n";
    const QString l2 = "\r\n" + Label(2) + "\r\n";
    const struct {
        ByteArray telegram;
        QString moduleLine;
        QString channelText;
    } cases[] = {
        {{}, "", OkBlocks(1, 8)},
        {{0x00}, "", OkBlocks(1, 8)},
        {{0x01}, "T1051", OkBlocks(1, 8)},
        {{0x09}, "T1059", OkBlocks(1, 8)},
        {{0x1A}, "T115 0x0A", OkBlocks(1, 8)},
        {{0x0A}, "T115 0x0A", OkBlocks(1, 8)},
        {{0xF3}, "T115 0x03", OkBlocks(1, 8)},
        {{0x00, 0x13, 0x35},
         "",
         l1 + "\tT1103\r\n" + l2 + "\tOk\r\n\r\n" + Label(3) + "\r\n\tT1105\r\n" + OkBlocks(4, 8)},
        {{0x00, 0x11, 0x14}, "", l1 + "\tT1101\r\n\tT1104\r\n" + OkBlocks(2, 8)},
        {{0x00, 0x0C}, "", "\tT115 0x0C\r\n" + OkBlocks(1, 8)},
        {{0x00, 0x20}, "", OkBlocks(1, 1) + l2 + "\r\n" + OkBlocks(3, 8)},
        {{0x00, 0x21, 0x20}, "", OkBlocks(1, 1) + l2 + "\tT1101\r\n\tT1101\r\n" + OkBlocks(3, 8)},
        {{0x00, 0x81}, "", OkBlocks(1, 7) + "\r\n" + Label(8) + "\r\n\tT1101\r\n"},
    };
    for (const auto& c : cases) {
        const auto decoded = Decode(c.telegram);
        EXPECT_EQ(decoded.moduleLine, c.moduleLine) << c.telegram.size();
        EXPECT_EQ(decoded.channelText, c.channelText) << c.moduleLine.toStdString();
        EXPECT_TRUE(decoded.complete());
    }
    const auto example = Decode({0x00, 0x13, 0x35});
    ASSERT_EQ(example.entries.size(), 2U);
    EXPECT_EQ(example.entries[0].category, PictureCategory::ChannelError);
    EXPECT_EQ(example.entries[1].channel, 3);
    EXPECT_EQ(example.entries[1].category, PictureCategory::ChannelNotice);
    EXPECT_TRUE(Decode({0x00}).entries.empty());
    EXPECT_EQ(Decode({0x00, 0x0C}).entries.at(0).category, PictureCategory::None);
    EXPECT_EQ(Decode({0x00, 0x21, 0x20}).entries.at(1).category, PictureCategory::None);
}

TEST(TelegramDecoder, LabelPositionsCountCrLfAsTwoCharacters) {
    const auto decoded = Decode({0x00, 0x13, 0x35});
    // Channel 1 starts the text; its label has no leading line break.
    EXPECT_EQ(decoded.labelStart[0], 0);
    EXPECT_EQ(decoded.labelLength[0], Label(1).size());
    // Channel 2's label starts before its leading CR LF and includes it.
    const int start2 = static_cast<int>((Label(1) + "\r\n\tT1103\r\n").size());
    EXPECT_EQ(decoded.labelStart[1], start2);
    EXPECT_EQ(decoded.labelLength[1], 2 + Label(2).size());
    for (int c = 1; c <= 8; ++c) {
        const auto i = static_cast<std::size_t>(c - 1);
        EXPECT_TRUE(decoded.channelText.mid(decoded.labelStart[i], decoded.labelLength[i])
                        .endsWith(Label(c)))
            << c;
    }
    EXPECT_EQ(decoded.labelStart[8], 0);
}

TEST(TelegramDecoder, CategoriesOfTheChannelCodes) {
    const std::vector<std::pair<std::uint8_t, PictureCategory>> expected{
        {1, PictureCategory::ChannelError},  {4, PictureCategory::ChannelError},
        {5, PictureCategory::ChannelNotice}, {6, PictureCategory::ChannelError},
        {7, PictureCategory::ChannelError},  {8, PictureCategory::ChannelError},
        {9, PictureCategory::GroupError},    {11, PictureCategory::GroupError},
        {12, PictureCategory::None},         {0, PictureCategory::None}};
    for (const auto& [code, category] : expected) {
        EXPECT_EQ(ChannelCode(code).category, category) << int(code);
    }
    EXPECT_EQ(ChannelCode(7).textId, 1128);
    EXPECT_EQ(ChannelCode(11).textId, 9064);
}

TEST(TelegramDecoder, DescendingChannelsStopWithTheOrderError) {
    const auto decoded = Decode({0x00, 0x31, 0x21});
    EXPECT_EQ(decoded.syntaxError, SyntaxError::Order);
    const QString before = OkBlocks(1, 2) + "\r\n" + Label(3) + "\r\n\tT1101\r\n";
    EXPECT_EQ(decoded.errorStart, before.size());
    EXPECT_EQ(decoded.channelText, before + "\r\nSyntax error in channel diagnosis telegram:\r\n" +
                                       "Channel numbers must be in ascending order!\r\n");
    EXPECT_FALSE(decoded.channelText.contains(Label(4)));
    EXPECT_FALSE(decoded.complete());
}

TEST(TelegramDecoder, ChannelAboveEightStopsWithTheRangeError) {
    const auto decoded = Decode({0x05, 0x91});
    EXPECT_EQ(decoded.syntaxError, SyntaxError::Range);
    EXPECT_EQ(decoded.errorStart, 0);
    EXPECT_EQ(decoded.channelText, "\r\nSyntax error in channel diagnosis telegram:\r\n"
                                   "Channel number claims to be 9!\r\n");
    // The module line is produced all the same.
    EXPECT_EQ(decoded.moduleLine, "T1055");
    EXPECT_TRUE(decoded.entries.empty());
    EXPECT_EQ(Decode({0x00, 0x81, 0xF1}).channelText.count("claims to be 15!"), 1);
}

TEST(TelegramDecoder, AFailingTextStopsTheChannelPartButKeepsWhatCameBefore) {
    TableTexts texts;
    texts.failing = {1102};
    const auto decoded = DecodeTelegram({0x01, 0x11, 0x22}, texts);
    ASSERT_TRUE(decoded.failure.has_value());
    EXPECT_EQ(decoded.failure->number(), kErrNotFound);
    EXPECT_EQ(decoded.entries.size(), 1U);
    EXPECT_TRUE(decoded.channelText.endsWith(Label(2) + "\r\n"));
    EXPECT_EQ(decoded.moduleLine, "T1051");
    EXPECT_FALSE(decoded.complete());

    texts.failing = {1051};
    EXPECT_TRUE(DecodeTelegram({0x01}, texts).moduleLine.isEmpty());
}

TEST(TelegramDecoder, RichTextPositionsCountEachLineBreakOnce) {
    const QString text = "ab\r\ncd\r\n\r\nef";
    EXPECT_EQ(RichTextPosition(text, 0), 0);
    EXPECT_EQ(RichTextPosition(text, 2), 2);
    EXPECT_EQ(RichTextPosition(text, 3), 3); // inside the first CR LF
    EXPECT_EQ(RichTextPosition(text, 4), 3); // after the first CR LF
    EXPECT_EQ(RichTextPosition(text, 10), 7);
    EXPECT_EQ(RichTextPosition(text, 12), 9);
    // The terminal of each channel, and the first terminal of its group.
    const int terminal[] = {4, 5, 6, 7, 12, 13, 14, 15};
    const int group[] = {0, 0, 0, 0, 8, 8, 8, 8};
    for (int c = 1; c <= 8; ++c) {
        EXPECT_EQ(ChannelTerminal(c), terminal[c - 1]) << c;
        EXPECT_EQ(GroupFirstTerminal(c), group[c - 1]) << c;
    }
    EXPECT_EQ(HexByte(0x0A), "0x0A");
    EXPECT_EQ(HexByte(0xAB), "0xAB");
}

TEST(TelegramDecoder, StylesAndTheLinesThatChangeBetweenTwoDecodings) {
    const auto decoded = Decode({0x00, 0x31});
    const auto runs = StyleRuns(decoded);
    // Labels bold, the rest explicitly not bold, the whole text covered.
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.front().style, CharStyle::Bold);
    EXPECT_EQ(runs.front().end, 9); // "Channel 1"
    EXPECT_EQ(runs.back().end, decoded.channelText.size());
    const auto error = StyleRuns(Decode({0x00, 0x31, 0x21}));
    EXPECT_EQ(error.back().style, CharStyle::Error);
    EXPECT_EQ(error.front().style, CharStyle::Unformatted);

    // Channel 3's fault moves to channel 4: two lines change, nothing else.
    const auto moved = Decode({0x00, 0x41});
    const auto lines =
        FindChangedLines(decoded.channelText, runs, moved.channelText, StyleRuns(moved));
    ASSERT_TRUE(lines.has_value());
    ASSERT_EQ(lines->size(), 2U);
    const ChangedLine& first = lines->front();
    EXPECT_EQ(decoded.channelText.mid(first.oldStart, first.oldEnd - first.oldStart), "\tT1101");
    EXPECT_EQ(moved.channelText.mid(first.newStart, first.newEnd - first.newStart), "\tOk");
    // The same text in another style is a change too.
    auto plain = runs;
    plain.front().style = CharStyle::Normal;
    EXPECT_EQ(FindChangedLines(decoded.channelText, runs, decoded.channelText, plain)->size(), 1U);
    EXPECT_TRUE(FindChangedLines(decoded.channelText, runs, decoded.channelText, runs)->empty());

    // Another number of lines, or line breaks in other styles: no line-wise change.
    const auto longer = Decode({0x00, 0x31, 0x32});
    EXPECT_FALSE(
        FindChangedLines(decoded.channelText, runs, longer.channelText, StyleRuns(longer)));
    EXPECT_FALSE(
        FindChangedLines(decoded.channelText, runs, decoded.channelText,
                         {{static_cast<int>(decoded.channelText.size()), CharStyle::Normal}}));
}
