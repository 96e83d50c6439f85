#pragma once
// The comment in its text box. A text box lays out each line it shows
// whole, and a line of megabytes takes it seconds on every change, so very
// long lines are shown broken into pieces by soft breaks, which the comment
// never holds: a word joiner followed by a line break. A text box also ends
// its lines with "\n" only, so a comment whose lines all end with "\r\n"
// gets those back.

#include <QString>

namespace rq16::identification {

/// Lines longer than this get soft breaks.
inline constexpr qsizetype kLongCommentLine = 10000;
/// About so many characters lie between two soft breaks; a break goes after
/// a blank in the last tenth before it where there is one.
inline constexpr qsizetype kSoftBreakPitch = 1000;

/// How the box shows a comment.
struct CommentBoxForm {
    bool softBreaks = false; ///< soft breaks were added
    bool crLf = false;       ///< every line break of the comment is "\r\n"
};

/// What the box shows of `comment`: lines longer than `longLine` broken about
/// every `pitch` characters, never when the comment holds a word joiner of
/// its own.
QString CommentForBox(const QString& comment, CommentBoxForm& form,
                      qsizetype longLine = kLongCommentLine, qsizetype pitch = kSoftBreakPitch);

/// The comment back from the box's text, whose lines end with "\n" or the
/// paragraph separator: with soft breaks, every soft break goes, and so does
/// a word joiner whose line break the user deleted.
QString CommentFromBox(QString text, CommentBoxForm form);

} // namespace rq16::identification
