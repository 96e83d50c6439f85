#pragma once
// Temporary registry files and environment variables for the shared-service
// tests, restored when the test ends.

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <map>

namespace rq16::test {

/// Sets environment variables for its lifetime; unset ones are removed again.
class ScopedEnv {
public:
    ~ScopedEnv() {
        for (const auto& [name, old] : m_saved) {
            if (old.second) {
                qputenv(name.constData(), old.first);
            } else {
                qunsetenv(name.constData());
            }
        }
    }
    void set(const char* name, const QByteArray& value) {
        save(name);
        qputenv(name, value);
    }
    void unset(const char* name) {
        save(name);
        qunsetenv(name);
    }

private:
    void save(const char* name) {
        if (!m_saved.count(name)) {
            m_saved[name] = {qgetenv(name), qEnvironmentVariableIsSet(name)};
        }
    }
    std::map<QByteArray, std::pair<QByteArray, bool>> m_saved;
};

/// A registry file in a temporary folder, installed through
/// RQ16_REGISTRY_FILE.
class TempRegistry {
public:
    explicit TempRegistry(const QByteArray& content) {
        m_path = m_dir.path() + QStringLiteral("/test.reg");
        QFile f(m_path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        f.close();
        m_env.set("RQ16_REGISTRY_FILE", m_path.toLocal8Bit());
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    ScopedEnv m_env;
};

inline QByteArray DebugKey(const QByteArray& values) {
    return "Windows Registry Editor Version 5.00\n\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orlin\\DTM kelio-DP]\n" +
           values;
}

} // namespace rq16::test
