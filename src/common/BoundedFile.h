#pragma once
// Reading a whole file that comes from outside the program: only regular
// files, and never more than a limit, so a device, a FIFO or a huge file is
// refused with a reason instead of blocking or exhausting memory.
//
// Header-only: the stand-ins of the outside components use it as well.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rq16 {

/// The contents of the regular file `path` if it holds at most `maxBytes`;
/// otherwise nullopt and `error` says why ("is a folder", "is larger than
/// 1048576 bytes", "does not exist", or the system's reason).
inline std::optional<QByteArray> ReadBoundedFile(const QString& path, qint64 maxBytes,
                                                 QString& error) {
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking, so that opening a FIFO without a writer does not hang;
    // the type is checked on the open file, so nothing can be swapped in.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno == ENOENT ? QStringLiteral("it does not exist")
                                : QString::fromLocal8Bit(std::strerror(errno));
        return std::nullopt;
    }
    struct stat info {};
    std::optional<QByteArray> result;
    if (::fstat(fd, &info) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
    } else if (S_ISDIR(info.st_mode)) {
        error = QStringLiteral("it is a folder, not a file");
    } else if (!S_ISREG(info.st_mode)) {
        error = QStringLiteral("it is not a regular file");
    } else if (info.st_size > maxBytes) {
        error = QStringLiteral("it is larger than %1 bytes").arg(maxBytes);
    } else {
        // One byte more than the size tells that the file grew while it was
        // read.
        QByteArray contents(static_cast<qsizetype>(info.st_size) + 1, Qt::Uninitialized);
        qsizetype filled = 0;
        while (filled < contents.size()) {
            const ssize_t n = ::read(fd, contents.data() + filled,
                                     static_cast<std::size_t>(contents.size() - filled));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                error = QString::fromLocal8Bit(std::strerror(errno));
                break;
            }
            if (n == 0) {
                break;
            }
            filled += n;
        }
        if (error.isEmpty() && filled > info.st_size) {
            error = QStringLiteral("it changed while it was read");
        } else if (error.isEmpty()) {
            contents.truncate(filled);
            result = std::move(contents);
        }
    }
    ::close(fd);
    return result;
}

} // namespace rq16
