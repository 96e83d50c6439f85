#pragma once
// Byte layouts of the records the simulated module keeps: the production
// record (QS data) and the identification records I&M0, I&M1 and I&M2.
//
// QS record, 32 bytes, text fields ASCII and padded with blanks:
//   0..11  charge code          12..23 serial number
//   24     hardware revision    25..27 software revision (major, minor, patch)
//   28..29 year of last refresh (big endian), 30 month, 31 day
//
// Texts are in the system's single-byte code page (Windows-1252).
//
// I&M records, 64 bytes each (a read of index 255 returns the 4-byte call
// header followed by the record, 68 bytes, the form in which I&M1 and I&M2 are
// written):
//   every record starts with a 10-byte header (blanks unless set)
//   I&M0: 10..11 manufacturer id, 12..31 order id, 32..47 serial number,
//         48..49 hardware revision, 50..53 software revision (letter + 3),
//         54..55 revision counter, 56..57 profile id, 58..59 profile type,
//         60..61 I&M version, 62..63 supported I&M records (bit mask)
//   I&M1: 10..41 tag function, 42..63 tag location
//   I&M2: 10..25 installation date ("YYYY-MM-DD HH:MM"), 26..63 reserved

#include "host/Types.h"

#include <QDate>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>

namespace rq16::simulator {

inline constexpr std::size_t kQsRecordSize = 32;
inline constexpr std::size_t kImRecordSize = 64;
inline constexpr std::size_t kImCallHeaderSize = 4;
inline constexpr std::size_t kImHeaderSize = 10;

/// The fields of the production record.
struct QsFields {
    QString chargeCode;
    QString serialNumber;
    std::uint8_t hardwareRevision = 0;
    std::array<std::uint8_t, 3> softwareRevision{};
    QDate dateOfLastRefresh;
};

ByteArray EncodeQs(const QsFields& fields);
QsFields DecodeQs(const ByteArray& bytes);

/// The 4-byte call header that selects I&M record 0, 1 or 2.
ByteArray ImCallHeader(int record);
/// The record number a 4-byte call header selects, or -1 for anything else.
int ImRecordOfCallHeader(const ByteArray& bytes);

/// Writes `text` into `bytes` from `offset` for at most `width` characters,
/// after filling the whole width with blanks.
void PutText(ByteArray& bytes, std::size_t offset, std::size_t width, const QString& text);
/// The text of a field with trailing blanks and zero bytes removed.
QString GetText(const ByteArray& bytes, std::size_t offset, std::size_t width);

/// The fields of I&M1 and I&M2 that an operator edits.
struct ImTexts {
    QString tagFunction;
    QString tagLocation;
    QString installationDate;
};

ByteArray DefaultIm0();
ByteArray EncodeIm1(const QString& tagFunction, const QString& tagLocation);
ByteArray EncodeIm2(const QString& installationDate);
/// Tag function and location of an I&M1 record, installation date of I&M2
/// (each a 64-byte record, without call header).
ImTexts DecodeIm12(const ByteArray& im1, const ByteArray& im2);

} // namespace rq16::simulator
