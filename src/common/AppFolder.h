#pragma once
// The application folder (where the control library was loaded from) and the
// folders below it.

#include <QString>

namespace rq16 {

/// Folder of the loaded library file (or of the program the code is linked
/// into). Overridable with the environment variable RQ16_APP_FOLDER.
QString ApplicationFolder();

/// Application folder + "/kelmResourceData".
QString CommonResourceFolder();
/// Application folder + "/RQ16ResourceData".
QString DeviceResourceFolder();
/// Application folder + "/../help/kelio.chm".
QString HelpFilePath();

} // namespace rq16
