#pragma once
// Basic types shared by the views and the components they talk to.

#include <QString>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace rq16 {

/// A byte block, indexed from 0, as carried by a transaction answer or handed
/// to a write request.
using ByteArray = std::vector<std::uint8_t>;

/// The error an outside component raises when one of its operations fails.
/// It carries a number and a description, like an automation error.
class ComError : public std::runtime_error {
public:
    ComError(std::int32_t number, const QString& description)
        : std::runtime_error(description.toStdString()), m_number(number),
          m_description(description) {}
    std::int32_t number() const { return m_number; }
    const QString& description() const { return m_description; }

private:
    std::int32_t m_number;
    QString m_description;
};

/// Error number for an invalid argument or a failed call (E_INVALIDARG).
inline constexpr std::int32_t kErrInvalidArg = static_cast<std::int32_t>(0x80070057u);
/// Error number for a missing resource or file ("File not found").
inline constexpr std::int32_t kErrNotFound = 53;
/// Error number for a file that cannot be written ("Path/File access error").
inline constexpr std::int32_t kErrFileAccess = 75;

/// Message box answers and styles used by the user dialog.
inline constexpr int kMbYesNo = 4;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

} // namespace rq16
