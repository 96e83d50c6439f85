#pragma once
// Opening and closing the help viewer.

#include <QString>

#include <cstdint>

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

} // namespace rq16
