#include "FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rq16::standins {

namespace {

std::mutex g_faultMutex;
std::optional<WriteFault> g_fault;

/// The error number the fault set for `step`, if any.
std::optional<int> Injected(WriteStep step) {
    std::lock_guard lock(g_faultMutex);
    if (g_fault && g_fault->step == step) {
        return g_fault->error;
    }
    return std::nullopt;
}

/// Runs the system call of `step`; false with errno set when it fails.
template <typename Call> bool Run(WriteStep step, Call call) {
    if (const auto error = Injected(step)) {
        errno = *error;
        return false;
    }
    return call();
}

QString Reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

/// The file that a link at `path` points to, or `path` itself.
QString LinkTarget(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink()) {
        return path;
    }
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

/// Writes all of `contents`; a write that takes nothing counts as a full disk.
bool WriteAll(int fd, const QByteArray& contents) {
    const char* data = contents.constData();
    qsizetype left = contents.size();
    while (left > 0) {
        ssize_t n = -1;
        if (const auto error = Injected(WriteStep::Write)) {
            errno = *error;
            n = *error == 0 ? left : -1;
        } else {
            n = ::write(fd, data, static_cast<std::size_t>(left));
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            errno = n == 0 ? ENOSPC : errno;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

/// What the file behind `fd` holds, compared with `contents`; empty when it
/// holds exactly them.
QString ReadBack(int fd, const QByteArray& contents) {
    struct stat written {};
    if (!Run(WriteStep::Verify, [&] { return ::fstat(fd, &written) == 0; })) {
        return Reason(errno);
    }
    if (written.st_size != contents.size()) {
        return QStringLiteral("the new file holds %1 of %2 bytes")
            .arg(written.st_size)
            .arg(contents.size());
    }
    QByteArray back(contents.size(), Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < back.size()) {
        const ssize_t n = ::pread(fd, back.data() + filled,
                                  static_cast<std::size_t>(back.size() - filled), filled);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? Reason(errno) : QStringLiteral("the new file ends early");
        }
        filled += n;
    }
    return back == contents ? QString()
                            : QStringLiteral("the new file does not read back as written");
}

bool SyncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    // A file system that cannot sync folders says EINVAL; it has nothing to lose.
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

} // namespace

void SetWriteFault(std::optional<WriteFault> fault) {
    std::lock_guard lock(g_faultMutex);
    g_fault = fault;
}

std::optional<QString> ReplaceFile(const QString& path, const QByteArray& contents) {
    const QFileInfo targetInfo(LinkTarget(path));
    const QByteArray target = QFile::encodeName(targetInfo.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(targetInfo.absolutePath());
    struct stat old {};
    const bool hadOld = ::stat(target.constData(), &old) == 0;

    // The new file, and a second name of the old one while the rename is not
    // yet lasting, both hidden beside the target.
    const QByteArray stem = folder + "/." + QFile::encodeName(targetInfo.fileName()) + '.' +
                            QByteArray::number(QRandomGenerator::global()->generate(), 16);
    const QByteArray fresh = stem + ".new";
    const QByteArray kept = stem + ".old";
    int fd = -1;
    if (!Run(WriteStep::Create, [&] {
            fd = ::open(fresh.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            return fd >= 0;
        })) {
        return Reason(errno);
    }
    const auto fail = [&](const QString& reason) {
        if (fd >= 0) {
            ::close(fd);
        }
        ::unlink(fresh.constData());
        return reason;
    };
    if (hadOld && (::fchmod(fd, old.st_mode & 07777) != 0 ||
                   (::geteuid() == 0 && ::fchown(fd, old.st_uid, old.st_gid) != 0))) {
        return fail(QStringLiteral("its mode cannot be kept"));
    }
    if (!WriteAll(fd, contents) || !Run(WriteStep::Sync, [&] { return ::fsync(fd) == 0; })) {
        return fail(Reason(errno));
    }
    if (const QString mismatch = ReadBack(fd, contents); !mismatch.isEmpty()) {
        return fail(mismatch);
    }
    // The descriptor is gone even when close reports an error.
    const bool closed = ::close(fd) == 0;
    fd = -1;
    const int closeError = closed ? Injected(WriteStep::Close).value_or(0) : errno;
    if (closeError != 0) {
        return fail(Reason(closeError));
    }

    // Without a second name (a file system without hard links) a folder that
    // cannot be synced leaves the new file in place.
    const bool keptOld = hadOld && ::link(target.constData(), kept.constData()) == 0;
    if (!Run(WriteStep::Rename,
             [&] { return ::rename(fresh.constData(), target.constData()) == 0; })) {
        const int error = errno;
        if (keptOld) {
            ::unlink(kept.constData());
        }
        return fail(Reason(error));
    }
    if (!Run(WriteStep::SyncFolder, [&] { return SyncFolder(folder); })) {
        const int error = errno;
        if (keptOld) {
            ::rename(kept.constData(), target.constData());
        } else if (!hadOld) {
            ::unlink(target.constData());
        }
        return Reason(error);
    }
    if (keptOld) {
        ::unlink(kept.constData());
    }
    return std::nullopt;
}

} // namespace rq16::standins
