#pragma once
// The system's single-byte ("ANSI") code page, Windows-1252, as the platform
// converts texts to and from it. Header-only: the views, the stand-ins and the
// simulated module all use the same table.

#include "Types.h"

#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>

namespace rq16 {

namespace codepage_detail {
/// Characters of the bytes 0x80 to 0x9F. The five bytes that Windows-1252
/// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control
/// characters of the same number, as the platform's conversion does.
inline constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace codepage_detail

/// The byte a character takes in the code page; '?' for a character the code
/// page has no byte for (the platform's default character).
inline std::uint8_t AnsiByte(char32_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
        return static_cast<std::uint8_t>(ch);
    }
    for (std::size_t i = 0; i < codepage_detail::kHighControls.size(); ++i) {
        if (codepage_detail::kHighControls[i] == ch) {
            return static_cast<std::uint8_t>(0x80 + i);
        }
    }
    return static_cast<std::uint8_t>('?');
}

/// The character of one code page byte.
inline QChar AnsiChar(std::uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return QChar(codepage_detail::kHighControls[byte - 0x80]);
    }
    return QChar(static_cast<char16_t>(byte));
}

/// One byte per character of `text`. A character outside the basic plane
/// (a surrogate pair) is one character and becomes one '?'.
inline ByteArray ToAnsi(const QString& text) {
    ByteArray bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            bytes.push_back(static_cast<std::uint8_t>('?'));
        } else {
            bytes.push_back(AnsiByte(c.unicode()));
        }
    }
    return bytes;
}

/// The text of `count` code page bytes from `offset` (fewer if the block ends
/// first).
inline QString FromAnsi(const ByteArray& bytes, std::size_t offset, std::size_t count) {
    const std::size_t end = std::min(offset + count, bytes.size());
    if (offset >= end) {
        return QString();
    }
    QString text(static_cast<qsizetype>(end - offset), Qt::Uninitialized);
    QChar* out = text.data();
    for (std::size_t i = offset; i < end; ++i) {
        *out++ = AnsiChar(bytes[i]);
    }
    return text;
}

} // namespace rq16
