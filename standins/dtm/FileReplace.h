#pragma once
// Replacing a file whole or not at all, trusting no single return value of
// the file system: a full disk, a failing device or a lost write leave the
// old file as it was and say why.

#include <QByteArray>
#include <QString>

#include <optional>

namespace rq16::standins {

/// The steps of ReplaceFile at which the system can refuse.
enum class WriteStep {
    Create,     ///< the new file beside the old one
    Write,      ///< each write of the contents
    Sync,       ///< the new file's data to the device
    Verify,     ///< its size and contents read back
    Close,      ///< closing the new file
    Rename,     ///< the new file over the old one
    SyncFolder, ///< the folder, so that the rename lasts
};

/// Replaces the contents of the file `path` (the file a symbolic link
/// points to) by `contents`: they go to a new file in the same folder,
/// every write is checked, the file is synced, its size and contents are
/// read back, and only then it is renamed over the old one and the folder
/// is synced. The new file takes over the old one's mode (and, for the
/// superuser, its owner).
///
/// Returns nothing on success. On any failure the old file stays byte for
/// byte (or, if there was none, there is none), no new file is left behind,
/// and the result is the reason, such as "No space left on device".
std::optional<QString> ReplaceFile(const QString& path, const QByteArray& contents);

/// A failure that ReplaceFile meets at `step` with the error number `error`,
/// for tests of what follows a failing file system. An error of 0 at Write
/// is a write the file system reports as done but loses.
struct WriteFault {
    WriteStep step;
    int error;
};

/// Makes every later ReplaceFile meet `fault`; nothing clears it.
void SetWriteFault(std::optional<WriteFault> fault);

} // namespace rq16::standins
