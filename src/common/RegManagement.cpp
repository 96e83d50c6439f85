#include "RegManagement.h"

#include "BoundedFile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMutex>
#include <QStringDecoder>
#include <QStringList>

#include <cstdio>
#include <mutex>
#include <optional>

namespace rq16 {

namespace {

constexpr int kBufferCharacters = 256;

struct RawValue {
    QString type; // "sz", "dword", or the raw type tag ("hex", "hex(2)", ...)
    QString data;
};

QString NormaliseKey(QString key) {
    key = key.trimmed();
    while (key.endsWith(QLatin1Char('\\'))) {
        key.chop(1);
    }
    return key.toLower();
}

/// Strips the hive prefix of a section name; nullopt for another hive.
std::optional<QString> LocalMachinePath(const QString& section) {
    static const QStringList prefixes = {QStringLiteral("hkey_local_machine"),
                                         QStringLiteral("hklm")};
    const QString lower = NormaliseKey(section);
    for (const QString& prefix : prefixes) {
        if (lower == prefix) {
            return QString();
        }
        if (lower.startsWith(prefix + QLatin1Char('\\'))) {
            return lower.mid(prefix.size() + 1);
        }
    }
    return std::nullopt;
}

/// Reads a quoted string starting at `pos` (which holds the opening quote);
/// returns the unescaped text and moves `pos` past the closing quote.
std::optional<QString> ReadQuoted(const QString& line, qsizetype& pos) {
    if (pos >= line.size() || line[pos] != QLatin1Char('"')) {
        return std::nullopt;
    }
    QString out;
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line[pos];
        if (c == QLatin1Char('\\') && pos + 1 < line.size()) {
            out += line[++pos];
        } else if (c == QLatin1Char('"')) {
            ++pos;
            return out;
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

/// The text of a registry file: UTF-16 or UTF-8 after a byte order mark;
/// without one, UTF-16LE when the first character is a zero byte after a
/// character of the ASCII set (as no UTF-8 text begins), else UTF-8.
/// `valid` tells whether every byte was part of a character.
QString DecodeRegistryText(const QByteArray& contents, bool* valid = nullptr) {
    auto encoding = QStringConverter::encodingForData(contents);
    const auto first = contents.isEmpty() ? 0u : static_cast<unsigned char>(contents[0]);
    if (!encoding && contents.size() >= 2 && first > 0 && first < 0x80 && contents[1] == 0) {
        encoding = QStringConverter::Utf16LE;
    }
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    QString text = decoder.decode(contents);
    if (valid != nullptr) {
        *valid = !decoder.hasError() && !text.contains(QChar(0));
    }
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    return text;
}

std::mutex g_problemMutex;
RegistryProblemSink g_problemSink;

void TellProblem(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
    RegistryProblemSink sink;
    {
        std::lock_guard lock(g_problemMutex);
        sink = g_problemSink;
    }
    if (sink) {
        sink(text);
    }
}

/// The contents of the registry file, read again only when the file
/// changes. A file that cannot be read counts as empty; its reason is told
/// once.
QByteArray RegistryFileContents() {
    struct Cached {
        QString path;
        QDateTime modified;
        qint64 size = -1;
        QByteArray contents;
    };
    static QMutex mutex;
    static Cached cached;
    const QString path = RegistryFilePath();
    const QFileInfo info(path);
    QMutexLocker lock(&mutex);
    if (cached.path == path && cached.modified == info.lastModified() &&
        cached.size == info.size()) {
        return cached.contents;
    }
    cached = Cached{path, info.lastModified(), info.size(), {}};
    if (!info.exists()) {
        return {};
    }
    QString problem;
    if (auto contents = ReadBoundedFile(path, kMaxRegistryFileSize, problem)) {
        if (const auto syntax = RegistryTextProblem(*contents)) {
            problem = *syntax;
        } else {
            cached.contents = std::move(*contents);
        }
    }
    if (!problem.isEmpty()) {
        // Told without the lock: a sink may read the registry itself.
        lock.unlock();
        TellProblem(QStringLiteral("The registry file %1 cannot be read: %2. Its values are not "
                                   "used.")
                        .arg(path, problem));
        return {};
    }
    return cached.contents;
}

/// Finds the value in the file: nullopt for a key that cannot be opened; a
/// RawValue with empty type for a missing value.
std::optional<RawValue> FindValue(const QString& text, const QString& wantedKey,
                                  const QString& wantedName) {
    const QString key = NormaliseKey(wantedKey);
    const QString name = wantedName.toLower();

    bool keyExists = false;
    bool inKey = false;
    std::optional<RawValue> found;
    QString pending; // a line continued with a trailing backslash
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed(); // also drops the CR of CR LF line ends
        if (!pending.isEmpty()) {
            line = pending + line;
            pending.clear();
        }
        if (line.endsWith(QLatin1Char('\\')) && !line.startsWith(QLatin1Char('['))) {
            pending = line.chopped(1);
            continue;
        }
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            inKey = false;
            if (!line.endsWith(QLatin1Char(']'))) {
                continue;
            }
            const auto path = LocalMachinePath(line.mid(1, line.size() - 2));
            if (!path) {
                continue;
            }
            // A key exists when it or one of its sub-keys is written.
            if (*path == key || path->startsWith(key + QLatin1Char('\\')) || key.isEmpty()) {
                keyExists = true;
            }
            inKey = (*path == key);
            continue;
        }
        if (!inKey) {
            continue;
        }
        qsizetype pos = 0;
        QString valueName;
        if (line.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else {
            auto quoted = ReadQuoted(line, pos);
            if (!quoted) {
                continue;
            }
            valueName = *quoted;
        }
        if (pos >= line.size() || line[pos] != QLatin1Char('=')) {
            continue;
        }
        ++pos;
        if (valueName.toLower() != name) {
            continue;
        }
        RawValue value;
        if (pos < line.size() && line[pos] == QLatin1Char('"')) {
            auto data = ReadQuoted(line, pos);
            if (!data) {
                continue;
            }
            value.type = QStringLiteral("sz");
            value.data = *data;
        } else {
            const QString rest = line.mid(pos);
            const qsizetype colon = rest.indexOf(QLatin1Char(':'));
            if (colon < 0) {
                continue;
            }
            value.type = rest.left(colon).trimmed().toLower();
            value.data = rest.mid(colon + 1).trimmed();
        }
        found = value; // the last definition wins, as on import
    }
    if (!keyExists) {
        return std::nullopt;
    }
    return found ? *found : RawValue{};
}

RegistryValue Zero() {
    RegistryValue v;
    v.kind = RegistryValue::Kind::Int16;
    v.number = 0;
    return v;
}

} // namespace

std::optional<QString> RegistryTextProblem(const QByteArray& contents) {
    bool valid = false;
    const QString text = DecodeRegistryText(contents, &valid);
    if (!valid) {
        return QStringLiteral("it is not text in UTF-8 or UTF-16");
    }
    bool continued = false;
    int number = 0;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        ++number;
        const QString line = raw.trimmed();
        const bool continuation = continued;
        continued = line.endsWith(QLatin1Char('\\')) && !line.startsWith(QLatin1Char('['));
        if (continuation || line.isEmpty() || QStringLiteral(";[\"@").contains(line.at(0)) ||
            line.startsWith(QLatin1String("Windows Registry Editor")) ||
            line.startsWith(QLatin1String("REGEDIT"))) {
            continue;
        }
        return QStringLiteral("line %1 is not in the .reg syntax").arg(number);
    }
    return std::nullopt;
}

void SetRegistryProblemSink(RegistryProblemSink sink) {
    std::lock_guard lock(g_problemMutex);
    g_problemSink = std::move(sink);
}

QString RegistryFilePath() {
    const QString overridden = qEnvironmentVariable("RQ16_REGISTRY_FILE");
    if (!overridden.isEmpty()) {
        return overridden;
    }
    return QStringLiteral("/etc/rq16controls/registry.reg");
}

RegistryValue ReadRegistryValue(const QString& key, const QString& valueName,
                                const QString& subKey) {
    return ReadRegistryValueFrom(RegistryFileContents(), key, valueName, subKey);
}

RegistryValue ReadRegistryValueFrom(const QByteArray& fileContents, const QString& key,
                                    const QString& valueName, const QString& subKey) {
    const QString fullKey = subKey.isEmpty() ? key : key + QLatin1Char('\\') + subKey;
    const auto raw = FindValue(DecodeRegistryText(fileContents), fullKey, valueName);
    if (!raw || raw->type.isEmpty()) {
        return Zero();
    }
    RegistryValue result;
    if (raw->type == QLatin1String("sz")) {
        if (raw->data.size() > kBufferCharacters - 1) {
            return Zero();
        }
        result.kind = RegistryValue::Kind::String;
        result.text = raw->data;
        return result;
    }
    if (raw->type == QLatin1String("dword")) {
        bool ok = false;
        const quint32 n = raw->data.toUInt(&ok, 16);
        if (!ok || raw->data.size() > 8) {
            return Zero();
        }
        result.kind = RegistryValue::Kind::Int32;
        result.number = static_cast<std::int32_t>(n);
        return result;
    }
    result.kind = RegistryValue::Kind::Empty;
    return result;
}

} // namespace rq16
