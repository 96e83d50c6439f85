#pragma once
// Texts that come from files (resource texts, channel tags, type names) are
// shown as they are: never as markup, and an '&' as itself rather than as
// the marker of a keyboard shortcut.

#include <QLabel>
#include <QString>
#include <QWidget>

namespace rq16 {

/// The caption of a group box or button that shows `text` as it is.
inline QString AsCaption(QString text) {
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

/// Every label below `root` shows its text as plain text.
inline void PlainLabels(QWidget* root) {
    for (QLabel* label : root->findChildren<QLabel*>()) {
        label->setTextFormat(Qt::PlainText);
    }
}

} // namespace rq16
