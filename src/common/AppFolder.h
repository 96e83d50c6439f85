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
/// Application folder + "/../help/kelio.chm", the English help.
QString HelpFilePath();
/// The help in `language` ("de"): application folder + "/../help/de/kelio.chm"
/// when it is there; otherwise, and for English, the English help.
QString HelpFilePath(const QString& language);

} // namespace rq16
