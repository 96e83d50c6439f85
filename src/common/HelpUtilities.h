#pragma once
// Opening and closing the help viewer.

#include <QString>

#include <cstdint>
#include <map>

class QWidget;

namespace rq16 {

/// Opens the help file `path` at the topic of `contextId` (0: the default
/// topic) in a help window. Returns a non-zero handle of the window, or 0 if
/// the help could not be shown.
std::intptr_t ShowHelp(const QString& path, std::int32_t contextId, QWidget* window);

/// Closes every help window of the process.
void CloseAllHelp(QWidget* window);

/// Number of help windows open now.
int OpenHelpWindowCount();

/// The help file is a topic map: lines "contextId=page" and "default=page";
/// '#' starts a comment line. Pages are named relative to the help folder
/// (the help file's name without extension).
struct HelpMap {
    QString defaultPage;
    std::map<std::int32_t, QString> pages;
};
HelpMap ParseHelpMap(const QString& text);

/// The file of `page` inside `folder`, or empty (with a log entry) when the
/// page points outside the folder or is no regular file of bounded size.
QString HelpPageFile(const QString& folder, const QString& page);

/// Far above any real help map or page.
inline constexpr qint64 kMaxHelpFileSize = 4 * 1024 * 1024;

} // namespace rq16
