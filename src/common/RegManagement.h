#pragma once
// Reading configuration values from the registry, a key-value store kept in
// a file in the .reg text syntax.

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace rq16 {

/// The result of ReadRegistryValue, keeping the value's type.
struct RegistryValue {
    enum class Kind {
        Empty,  ///< a value of another type (expandable string, binary, ...)
        Int16,  ///< the number 0 that a missing key or value gives
        String, ///< REG_SZ
        Int32,  ///< REG_DWORD
    };
    Kind kind = Kind::Empty;
    std::int32_t number = 0;
    QString text;

    bool isNumber() const { return kind == Kind::Int16 || kind == Kind::Int32; }
    /// True for a number equal to n; a string "1" is not the number 1.
    bool equalsNumber(std::int32_t n) const { return isNumber() && number == n; }
};

/// Receives the reason why the registry file cannot be read, besides
/// standard error.
using RegistryProblemSink = std::function<void(const QString&)>;
void SetRegistryProblemSink(RegistryProblemSink sink);

/// The registry file in use: $RQ16_REGISTRY_FILE if set, else
/// /etc/rq16controls/registry.reg.
QString RegistryFilePath();

/// Reads `valueName` below HKEY_LOCAL_MACHINE\key[\subKey]. A key that cannot
/// be opened or a value that cannot be read gives the 16-bit number 0. A
/// registry file that cannot be read (not a regular file, larger than
/// kMaxRegistryFileSize, not text, or not in the .reg syntax) counts as
/// empty; the reason goes to standard error and the problem sink once per
/// state of the file.
RegistryValue ReadRegistryValue(const QString& key, const QString& valueName,
                                const QString& subKey = QString());

/// The same, over the contents of a registry file (UTF-8, or UTF-16 with a
/// byte order mark as the registry editor exports it, or UTF-16LE without
/// one).
RegistryValue ReadRegistryValueFrom(const QByteArray& fileContents, const QString& key,
                                    const QString& valueName, const QString& subKey = QString());

/// Why `contents` are no registry file text (not UTF-8 or UTF-16 text, or a
/// line that is not blank or continued is no header, comment, key or value),
/// or nothing when they are.
std::optional<QString> RegistryTextProblem(const QByteArray& contents);

/// Far above any real registry file of this program.
inline constexpr qint64 kMaxRegistryFileSize = 16 * 1024 * 1024;

} // namespace rq16
