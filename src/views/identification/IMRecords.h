#pragma once
// The byte level of the identification data: the I&M call headers, the two
// 68-byte records the view writes, the conversion of texts to bytes, the
// request objects of reads and writes, and the comparison of stored property
// bag contents.

#include "host/Components.h"
#include "host/Types.h"

#include <QString>

#include <cstddef>
#include <cstdint>

namespace rq16::identification {

/// Index of the I&M call mechanism: selects and transfers go there.
inline constexpr std::int16_t kImIndex = 255;
/// Size of a call header and of a written I&M1 or I&M2 record.
inline constexpr std::size_t kCallHeaderSize = 4;
inline constexpr std::size_t kRecordWriteSize = 68;

/// The call header that selects I&M record 0, 1 or 2: 08 00 FD E8..EA.
ByteArray CallHeader(int record);

/// One byte per character in the system's single-byte code page
/// (Windows-1252). A character the code page has no byte for becomes '?',
/// as the platform's own conversion writes it; an empty text gives no bytes.
ByteArray TextToBytes(const QString& text);

/// The I&M1 write record: call header, the I&M1 header (blank-filled),
/// tag function (32) and tag location (22), each blank-padded.
///
/// Values longer than their fields: each value is copied from the first byte
/// of its field, and the blank fill of the next field overwrites whatever ran
/// into it. So an over-long header or tag function loses its excess to the
/// next field, and the last field (and anything else) is cut at byte 67: the
/// record never grows beyond 68 bytes.
ByteArray BuildIM1Record(const QString& im1Header, const QString& tagFunction,
                         const QString& tagLocation);

/// The I&M2 write record: call header, the I&M2 header on zero bytes (no
/// blank fill), installation date (16) and the reserved bytes (38), both
/// blank-padded. Over-long values are cut as in BuildIM1Record.
ByteArray BuildIM2Record(const QString& im2Header, const QString& installationDate,
                         const QString& im2Reserved);

/// Whether new property bag contents differ from the stored ones: an empty
/// stored value, another length or any other byte counts as a difference.
bool ContentsDiffer(const ByteArray& stored, const ByteArray& contents);

/// The request object of a read of `index` on the module's slot.
CommunicationRequest ReadRequest(const QString& communicationReference, std::int32_t slotNumber,
                                 std::int16_t index);
/// The request object of a write of `data` to `index`.
CommunicationRequest WriteRequest(const QString& communicationReference, std::int32_t slotNumber,
                                  std::int16_t index, const ByteArray& data);

} // namespace rq16::identification
