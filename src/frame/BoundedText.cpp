#include "BoundedText.h"

#include "PlainText.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QTextDocument>

namespace rq16 {

namespace {

constexpr QChar kEllipsis(0x2026);
constexpr qsizetype kToolTipLine = 80;
/// Marks a tooltip that holds a cut text, so that a later text that fits
/// takes it away again and leaves other tooltips alone.
const char* const kCutProperty = "rq16CutText";

QString Cut(const QString& text, qsizetype length) {
    return text.size() <= length ? text : text.left(length - 1) + kEllipsis;
}

void SetCutToolTip(QWidget* widget, bool cut, const QString& text) {
    if (cut) {
        widget->setToolTip(ToolTipText(text));
        widget->setProperty(kCutProperty, true);
    } else if (widget->property(kCutProperty).toBool()) {
        widget->setToolTip(QString());
        widget->setProperty(kCutProperty, false);
    }
}

} // namespace

QString ShownText(const QString& text) {
    return Cut(text, kMaxShownLength);
}

QString FittedText(const QFontMetrics& metrics, const QString& text, int width) {
    return metrics.elidedText(ShownText(text), Qt::ElideRight, width);
}

QString ToolTipText(const QString& text) {
    // Lines break at the last blank of a line, or inside a word that fills
    // a whole line.
    const QString whole = Cut(text, 10 * kMaxShownLength);
    QString lines;
    lines.reserve(whole.size() + whole.size() / kToolTipLine + 1);
    qsizetype lineStart = 0;
    qsizetype lastBlank = -1;
    for (const QChar c : whole) {
        lines += c;
        if (c == QLatin1Char('\n')) {
            lineStart = lines.size();
            lastBlank = -1;
        } else if (c == QLatin1Char(' ')) {
            lastBlank = lines.size() - 1;
        }
        if (lines.size() - lineStart >= kToolTipLine) {
            if (lastBlank > lineStart) {
                lines[lastBlank] = QLatin1Char('\n');
                lineStart = lastBlank + 1;
            } else {
                lines += QLatin1Char('\n');
                lineStart = lines.size();
            }
            lastBlank = -1;
        }
    }
    // As plain text, whatever markup it seems to hold.
    return Qt::convertFromPlainText(lines, Qt::WhiteSpacePre);
}

void ShowBounded(QLabel* label, const QString& text, int maxWidth, const QString& suffix) {
    const QFontMetrics metrics = label->fontMetrics();
    const QString fitted = FittedText(metrics, text, maxWidth - metrics.horizontalAdvance(suffix));
    label->setText(fitted + suffix);
    SetCutToolTip(label, fitted != text, text);
}

void ShowWrapped(QLabel* label, const QString& text) {
    // A zero-width space inside every long word lets the line break there.
    constexpr qsizetype kLongestWord = 40;
    const QString whole = Cut(text, 10 * kMaxShownLength);
    QString shown;
    qsizetype word = 0;
    for (const QChar c : whole) {
        word = c.isSpace() ? 0 : word + 1;
        if (word > kLongestWord) {
            shown += QChar(0x200B);
            word = 1;
        }
        shown += c;
    }
    label->setText(shown);
    SetCutToolTip(label, whole != text, text);
}

void ShowBounded(QGroupBox* box, const QString& text, int maxWidth) {
    const QString fitted = FittedText(box->fontMetrics(), text, maxWidth);
    box->setTitle(AsCaption(fitted));
    SetCutToolTip(box, fitted != text, text);
}

void ShowBounded(QAbstractButton* button, const QString& text, int maxWidth) {
    const QString fitted = FittedText(button->fontMetrics(), text, maxWidth);
    button->setText(AsCaption(fitted));
    SetCutToolTip(button, fitted != text, text);
}

void ShowBounded(QComboBox* list, int index, const QString& text, int maxWidth) {
    const QString fitted = FittedText(list->fontMetrics(), text, maxWidth);
    list->setItemText(index, fitted);
    list->setItemData(index, fitted != text ? QVariant(ToolTipText(text)) : QVariant(),
                      Qt::ToolTipRole);
}

} // namespace rq16
