#pragma once
// Decoding of the module diagnosis telegram into the module line, the channel
// text, the label positions, the picture categories and syntax errors. No
// widgets: the view replays the result into its boxes and pictures.
//
// Telegram: byte 0 is the module code; every further byte is one channel
// entry, channel number in the high nibble, channel code in the low nibble.
// Entries must not descend in channel number; channels 1 to 8 exist.

#include "host/Constants.h"
#include "host/Types.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace rq16::diagnosis {

/// Where the decoder takes its texts from (the resource server in the view,
/// a table in tests). Lookups may throw ComError.
class ITextSource {
public:
    virtual ~ITextSource() = default;
    /// Text `id` of the common resource folder.
    virtual QString CommonText(std::int32_t id) = 0;
    /// The word in front of a channel number, looked up without a folder.
    virtual QString ChannelLabelWord() = 0;
};

// Resource text ids used by the decoding.
inline constexpr std::int32_t kTextUnknownCode = 115;
inline constexpr std::int32_t kTextModuleCodeBase = 1050; // + code 1..9
inline constexpr std::int32_t kTextChannelLabel = 4001;

inline const QString kLineBreak = QStringLiteral("\r\n");
inline const QString kSyntaxErrorLine =
    QStringLiteral("Syntax error in channel diagnosis telegram:");
inline const QString kOrderErrorLine =
    QStringLiteral("Channel numbers must be in ascending order!");

/// How a channel entry marks the terminal pictures.
enum class PictureCategory { None, ChannelNotice, ChannelError, GroupError };

enum class SyntaxError { None, Order, Range };

/// The text id and category of channel code 1 to 11; id 0 for others.
struct ChannelCodeInfo {
    std::int32_t textId;
    PictureCategory category;
};
ChannelCodeInfo ChannelCode(std::uint8_t code);

/// "0x" and the hexadecimal digits (upper case), at least two.
QString HexByte(std::uint8_t value);

/// One step of building the channel text, in order.
struct ChannelPiece {
    enum class Kind {
        Label, ///< `text` is appended as it is (it holds its own line breaks)
        Line,  ///< `text` is appended followed by a line break
    };
    Kind kind;
    QString text;
    int channel = 0; ///< labels only
};

/// One channel entry of the telegram and the category it shows.
struct ChannelEntry {
    int channel;
    std::uint8_t code;
    PictureCategory category;
};

struct DecodedTelegram {
    QString moduleLine; ///< empty for module code 0
    std::vector<ChannelPiece> pieces;
    /// The whole channel text (pieces joined; line break = CR LF).
    QString channelText;
    /// Per channel 1 to 9 (index 0 = channel 1): where its label starts in
    /// channelText, and its length (for channels 2 and up including the
    /// line break in front of it). Zero for labels never written.
    std::array<int, 9> labelStart{};
    std::array<int, 9> labelLength{};
    std::vector<ChannelEntry> entries;
    SyntaxError syntaxError = SyntaxError::None;
    /// Start of the syntax error text in channelText (to its end), or -1.
    int errorStart = -1;
    /// A text lookup failed here; the pieces stop where it happened.
    std::optional<ComError> failure;

    /// Decoded to the end without syntax error or failure.
    bool complete() const { return syntaxError == SyntaxError::None && !failure; }
};

/// Decodes a telegram. An empty telegram decodes like a single module code 0.
DecodedTelegram DecodeTelegram(const ByteArray& telegram, ITextSource& texts);

/// The terminal picture (0 to 15) of channel 1 to 8.
int ChannelTerminal(int channel);
/// The first of the four group terminals of channel 1 to 8.
int GroupFirstTerminal(int channel);

/// Converts a position in a text whose line breaks are CR LF into the
/// position in a rich text box, where each line break is one character.
int RichTextPosition(const QString& text, int position);

/// How the channel box formats a character.
enum class CharStyle : std::uint8_t {
    Unformatted, ///< no format of its own (after a syntax error or a failure)
    Normal,      ///< explicitly not bold
    Bold,        ///< a label
    Error,       ///< bold and red
};

/// A stretch of the channel text in one style, up to (not including) `end`.
struct StyledRun {
    int end;
    CharStyle style;
};

/// The styles of the channel text of a decoding: after a complete decoding
/// the labels bold and the rest not bold, after a syntax error the error
/// text bold and red and the rest unformatted, after a failure all of it
/// unformatted. Runs are in order and cover the whole text; none is empty.
std::vector<StyledRun> StyleRuns(const DecodedTelegram& decoded);

/// A line whose text or style differs between two styled texts with the
/// same lines: where its text (without the line break) lies in each.
struct ChangedLine {
    int oldStart;
    int oldEnd;
    int newStart;
    int newEnd;
};

/// The lines that differ between two styled texts, first to last, when both
/// have the same number of CR LF line breaks in the same styles (so that
/// only line contents change); nothing when they do not.
std::optional<std::vector<ChangedLine>> FindChangedLines(const QString& oldText,
                                                         const std::vector<StyledRun>& oldRuns,
                                                         const QString& newText,
                                                         const std::vector<StyledRun>& newRuns);

} // namespace rq16::diagnosis
