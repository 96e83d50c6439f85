#include "DebugHelper.h"

#include "RegManagement.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace rq16 {

namespace {

// The two flags belong to the thread that hosts the views.
thread_local bool t_debugToFile = false;
thread_local bool t_debugToDebugger = false;

const QString kRegistryKey = QStringLiteral("SOFTWARE\\Orlin\\DTM kelio-DP");

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

QString TempFolder() {
    // TEMP is honoured first, as configured for the log; TMPDIR is the usual
    // name on this platform.
    if (qEnvironmentVariableIsSet("TEMP")) {
        return qEnvironmentVariable("TEMP");
    }
    return qEnvironmentVariable("TMPDIR");
}

} // namespace

void ReadDebugSettings(std::int16_t& mode) {
    switch (mode) {
    case 0: {
        const RegistryValue debug = ReadRegistryValue(kRegistryKey, QStringLiteral("Debug"));
        const RegistryValue debugFile =
            ReadRegistryValue(kRegistryKey, QStringLiteral("DebugFile"));
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
        if (fileName == QLatin1String(kLogFileName) && t_debugToFile) {
            QString folder = TempFolder();
            if (!folder.endsWith(QLatin1Char('/'))) {
                folder += QLatin1Char('/');
            }
            fileName = folder + QLatin1String(kLogFileName);
        }
        const QString title = QLatin1String(kApplicationTitle);
        if (t_debugToFile) {
            const QDateTime now = QDateTime::currentDateTime();
            // The regional formats are looked up once per thread.
            thread_local const QLocale locale = QLocale::system();
            const QString line =
                locale.toString(now.date(), QLocale::ShortFormat) + QStringLiteral(", ") +
                locale.toString(now.time(), QLocale::ShortFormat) + QStringLiteral(": ") + title +
                QStringLiteral("::") + place + QStringLiteral(": ") + message;
            AppendToFile(fileName, line, true, true);
        }
        if (t_debugToDebugger) {
            const QString prefix = QStringLiteral("kelio::") + title + QStringLiteral("::") +
                                   place + QStringLiteral(": ");
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
    // Plain POSIX calls: the file is opened and closed for every entry, so
    // the cost of opening dominates and Qt's file engine would add to it.
    const QByteArray name = QFile::encodeName(path);
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    const int fd = ::open(name.constData(), flags, 0644);
    if (fd < 0) {
        return;
    }
    QByteArray bytes = text.toUtf8();
    bytes.append("\r\n");
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
