#pragma once
// Captures the debug log of the current thread for the lifetime of the
// object: entries reach the test as "place: message" strings. It writes a
// registry that switches the debugger output on and leaves reading it to the
// views, which read the registry whenever one is constructed. The views'
// invoke ids ("INV-<prefix>-<n>") read #1, #2, ... in the order they appear.

#include "common/DebugHelper.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>

// Texts and lists of texts as GoogleTest shows them in a failure.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << "{\n  \"" << list.join("\",\n  \"").toStdString() << "\"}";
}

namespace rq16::test {

class LogCapture {
public:
    LogCapture() {
        m_previousRegistry = qEnvironmentVariable("RQ16_REGISTRY_FILE");
        const QString path = m_dir.path() + QStringLiteral("/debug.reg");
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orlin\\DTM kelio-DP]\n"
                       "\"Debug\"=dword:00000001\n");
        }
        qputenv("RQ16_REGISTRY_FILE", path.toLocal8Bit());
        SetDebuggerSink([this](const QString& line) {
            static const QString prefix = QStringLiteral("kelio::RQ16DtmControls::");
            m_lines << Normalized(line.startsWith(prefix) ? line.mid(prefix.size()) : line);
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
    /// Messages of the entries whose place is `place`.
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
    /// `text` with every view invoke id replaced by its number.
    QString Normalized(QString text) {
        static const QRegularExpression id(QStringLiteral("INV-[0-9A-F]+-[0-9]+"));
        for (auto match = id.match(text); match.hasMatch(); match = id.match(text)) {
            const int number = m_ids.value(match.captured(), static_cast<int>(m_ids.size()) + 1);
            m_ids.insert(match.captured(), number);
            text.replace(match.capturedStart(), match.capturedLength(),
                         QString::number(number).prepend('#'));
        }
        return text;
    }

private:
    QTemporaryDir m_dir;
    QString m_previousRegistry;
    QStringList m_lines;
    QMap<QString, int> m_ids;
};

} // namespace rq16::test
