#pragma once
// Captures the debug log of the current thread for the lifetime of the
// object: entries reach the test as "place: message" strings.

#include "common/DebugHelper.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace rq16::test {

class LogCapture {
public:
    LogCapture() {
        // Views read the registry when they are constructed: point it at a
        // registry that switches the debugger output on.
        m_previousRegistry = qEnvironmentVariable("RQ16_REGISTRY_FILE");
        const QString path = m_dir.path() + QStringLiteral("/debug.reg");
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orlin\\DTM kelio-DP]\n"
                       "\"Debug\"=dword:00000001\n");
        }
        qputenv("RQ16_REGISTRY_FILE", path.toLocal8Bit());
        std::int16_t mode = 1; // debugger output only
        ReadDebugSettings(mode);
        SetDebuggerSink([this](const QString& line) {
            static const QString prefix = QStringLiteral("kelio::RQ16DtmControls::");
            m_lines << (line.startsWith(prefix) ? line.mid(prefix.size()) : line);
        });
    }
    ~LogCapture() {
        qputenv("RQ16_REGISTRY_FILE", m_previousRegistry.toLocal8Bit());
        SetDebuggerSink({});
        std::int16_t mode = -1; // both sinks off
        ReadDebugSettings(mode);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const QStringList& lines() const { return m_lines; }
    void clear() { m_lines.clear(); }
    bool contains(const QString& line) const { return m_lines.contains(line); }
    int count(const QString& line) const { return static_cast<int>(m_lines.count(line)); }
    /// Lines whose place is `place` (the part before ": ").
    QStringList forPlace(const QString& place) const {
        QStringList out;
        const QString head = place + QStringLiteral(": ");
        for (const auto& l : m_lines) {
            if (l.startsWith(head)) {
                out << l.mid(head.size());
            }
        }
        return out;
    }

private:
    QTemporaryDir m_dir;
    QString m_previousRegistry;
    QStringList m_lines;
};

} // namespace rq16::test
