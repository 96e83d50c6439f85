#include "DebugHelper.h"

#include "RegManagement.h"

#include "frame/host/Constants.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <mutex>

#include <fcntl.h>
#include <unistd.h>

namespace rq16 {

namespace {

// The two flags belong to the thread that hosts the views.
thread_local bool t_debugToFile = false;
thread_local bool t_debugToDebugger = false;

std::mutex g_sinkMutex;
DebuggerSink g_debuggerSink;

void SendToDebugger(const QString& text) {
    DebuggerSink sink;
    {
        std::lock_guard lock(g_sinkMutex);
        sink = g_debuggerSink;
    }
    if (sink) {
        sink(text);
        return;
    }
    const QByteArray bytes = text.toLocal8Bit();
    std::fprintf(stderr, "%s\n", bytes.constData());
}

/// The full path of the log file and its name for the file system. The
/// environment is read for every entry (it may change while views run); the
/// path is put together again only when the folder's value changes.
struct LogPath {
    QString path;
    QByteArray encoded;
};
const LogPath& DefaultLogPath() {
    // TEMP is honoured first, as configured for the log; TMPDIR is the usual
    // name on this platform. glibc's getenv reads without a lock and never
    // sees a freed value, so it is safe beside qputenv in another thread.
    const bool fromTemp = std::getenv("TEMP") != nullptr;
    const char* value = fromTemp ? std::getenv("TEMP") : std::getenv("TMPDIR");
    const QByteArrayView raw = value != nullptr ? QByteArrayView(value) : QByteArrayView();
    thread_local bool t_valid = false;
    thread_local bool t_fromTemp = false;
    thread_local QByteArray t_raw;
    thread_local LogPath t_path;
    if (!t_valid || fromTemp != t_fromTemp || raw != t_raw) {
        QString folder = QString::fromLocal8Bit(raw);
        if (!folder.endsWith(QLatin1Char('/'))) {
            folder += QLatin1Char('/');
        }
        t_path.path = folder + QLatin1String(kLogFileName);
        t_path.encoded = QFile::encodeName(t_path.path);
        t_raw = raw.toByteArray();
        t_fromTemp = fromTemp;
        t_valid = true;
    }
    return t_path;
}

/// "<short date>, <short time>: " of the current second, in UTF-8. The
/// conversion to local time looks at the time zone file on every call, which
/// costs as much as a fourth system call per entry; the text cannot change
/// within a second, so it is built once per second and thread.
const QByteArray& TimeStampPrefix() {
    thread_local std::int64_t t_second = std::numeric_limits<std::int64_t>::min();
    thread_local QByteArray t_prefix;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    if (now.tv_sec != t_second) {
        // The regional formats are looked up once per thread.
        thread_local const QLocale locale = QLocale::system();
        const QDateTime local = QDateTime::fromSecsSinceEpoch(now.tv_sec);
        t_prefix = (locale.toString(local.date(), QLocale::ShortFormat) + QStringLiteral(", ") +
                    locale.toString(local.time(), QLocale::ShortFormat) + QStringLiteral(": "))
                       .toUtf8();
        t_second = now.tv_sec;
    }
    return t_prefix;
}

/// Opens, appends or rewrites, and closes; any error ends it silently.
void WriteBytes(const QByteArray& name, const QByteArray& bytes, bool append) {
    // Plain POSIX calls: the file is opened and closed for every entry, so
    // the cost of opening dominates and Qt's file engine would add to it.
    // Nothing waits: a FIFO without a reader fails to open at once, and a
    // full FIFO or device refuses the write instead of blocking the views;
    // a full disk refuses it too. (The file type is not checked: one more
    // system call per entry would cost a third of an entry's time.)
    const int flags =
        O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (append ? O_APPEND : O_TRUNC);
    const int fd = ::open(name.constData(), flags, 0644);
    if (fd < 0) {
        return;
    }
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        data += n;
        left -= n;
    }
    ::close(fd);
}

} // namespace

void ReadDebugSettings(std::int16_t& mode) {
    switch (mode) {
    case 0: {
        const RegistryValue debug = ReadRegistryValue(kRegistryKey, kRegistryDebug);
        const RegistryValue debugFile = ReadRegistryValue(kRegistryKey, kRegistryDebugFile);
        t_debugToDebugger = debug.equalsNumber(1) || debug.equalsNumber(3);
        t_debugToFile = debugFile.equalsNumber(1);
        break;
    }
    case 1:
        t_debugToDebugger = true;
        t_debugToFile = false;
        break;
    case 2:
        t_debugToDebugger = true;
        t_debugToFile = true;
        break;
    default:
        t_debugToDebugger = false;
        t_debugToFile = false;
        break;
    }
}

void WriteLog(const QString& place, const QString& message, QString& fileName) {
    try {
        QByteArray encodedName;
        if (fileName == QLatin1String(kLogFileName) && t_debugToFile) {
            const LogPath& logPath = DefaultLogPath();
            fileName = logPath.path;
            encodedName = logPath.encoded;
        }
        if (t_debugToFile) {
            if (encodedName.isNull()) {
                encodedName = QFile::encodeName(fileName);
            }
            // The line is put together in UTF-8 in one buffer and written
            // with one call.
            const QByteArray& stamp = TimeStampPrefix();
            const QByteArray placeBytes = place.toUtf8();
            const QByteArray messageBytes = message.toUtf8();
            QByteArray line;
            line.reserve(stamp.size() + 48 + placeBytes.size() + messageBytes.size());
            line.append(stamp)
                .append(kApplicationTitle)
                .append("::")
                .append(placeBytes)
                .append(": ")
                .append(messageBytes)
                .append("\r\n");
            WriteBytes(encodedName, line, true);
        }
        if (t_debugToDebugger) {
            const QString prefix = QStringLiteral("kelio::") + QLatin1String(kApplicationTitle) +
                                   QStringLiteral("::") + place + QStringLiteral(": ");
            const QString lineBreak = QStringLiteral("\r\n");
            QString rest = message;
            do {
                const qsizetype pos = rest.indexOf(lineBreak);
                QString piece;
                if (pos >= 0) {
                    piece = rest.left(pos);
                    rest = rest.mid(pos + lineBreak.size());
                } else {
                    piece = rest;
                    rest.clear();
                }
                SendToDebugger(prefix + piece);
            } while (!rest.isEmpty());
        }
    } catch (...) {
        // The log never disturbs its caller.
    }
}

void WriteLog(const QString& place, const QString& message) {
    if (!t_debugToFile && !t_debugToDebugger) {
        return;
    }
    QString fileName = QLatin1String(kLogFileName);
    WriteLog(place, message, fileName);
}

void AppendToFile(const QString& path, const QString& text, bool append, bool createIfMissing) {
    if (!createIfMissing && !FileExists(path)) {
        return;
    }
    QByteArray bytes = text.toUtf8();
    bytes.append("\r\n");
    WriteBytes(QFile::encodeName(path), bytes, append);
}

bool FileExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

bool DebugToFile() {
    return t_debugToFile;
}

bool DebugToDebugger() {
    return t_debugToDebugger;
}

void SetDebuggerSink(DebuggerSink sink) {
    std::lock_guard lock(g_sinkMutex);
    g_debuggerSink = std::move(sink);
}

} // namespace rq16
