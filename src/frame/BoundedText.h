#pragma once
// Texts from outside (resource texts, type names, channel tags, identification
// data) may be of any length. They are shown in widgets of bounded size: cut
// with "…" where they do not fit, and whole in the tooltip. Only the start of
// a text is ever measured or drawn, so a text of megabytes costs no more
// than a line.

#include <QString>

class QAbstractButton;
class QComboBox;
class QFontMetrics;
class QGroupBox;
class QLabel;
class QWidget;

namespace rq16 {

/// More characters than fit on any screen in one line; longer texts are cut
/// here before they are measured or shown.
inline constexpr qsizetype kMaxShownLength = 1000;
/// The widest an outside caption makes its widget, in pixels.
inline constexpr int kMaxCaptionWidth = 400;

/// `text`, or its start cut to kMaxShownLength characters ending in "…".
QString ShownText(const QString& text);
/// `text` whole if it fits into `width` pixels of `metrics`, else cut to fit
/// with "…" at its end.
QString FittedText(const QFontMetrics& metrics, const QString& text, int width);
/// `text` for a tooltip: in lines of about 80 characters, at most ten times
/// kMaxShownLength characters.
QString ToolTipText(const QString& text);

/// Shows `text` (followed by `suffix`) in `label`, at most `maxWidth` pixels
/// wide; when the text has to be cut, the tooltip holds it whole.
void ShowBounded(QLabel* label, const QString& text, int maxWidth = kMaxCaptionWidth,
                 const QString& suffix = QString());
/// The same for the title of a group box and the text of a button, both
/// shown as they are (AsCaption).
void ShowBounded(QGroupBox* box, const QString& text, int maxWidth = kMaxCaptionWidth);
void ShowBounded(QAbstractButton* button, const QString& text, int maxWidth = kMaxCaptionWidth);
/// Shows `text` in the word-wrapping `label`, at most ten times
/// kMaxShownLength characters, with a word too long for a line broken where
/// the line ends; when the text has to be cut, the tooltip holds it whole.
void ShowWrapped(QLabel* label, const QString& text);
/// The same for the item `index` of a list.
void ShowBounded(QComboBox* list, int index, const QString& text, int maxWidth = kMaxCaptionWidth);

} // namespace rq16
