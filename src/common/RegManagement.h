#pragma once
// Reading configuration values from the registry, a key-value store kept in
// a file in the .reg text syntax.

#include <QString>

#include <cstdint>

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

/// The registry file in use: $RQ16_REGISTRY_FILE if set, else
/// /etc/rq16controls/registry.reg.
QString RegistryFilePath();

/// Reads `valueName` below HKEY_LOCAL_MACHINE\key[\subKey]. A key that cannot
/// be opened or a value that cannot be read gives the 16-bit number 0.
RegistryValue ReadRegistryValue(const QString& key, const QString& valueName,
                                const QString& subKey = QString());

} // namespace rq16
