#include "IMRecords.h"

#include "host/AnsiCodePage.h"

#include <algorithm>

namespace rq16::identification {

namespace {

constexpr std::uint8_t kBlank = 0x20;
// Field positions in the write records (after the 4-byte call header).
constexpr std::size_t kHeaderOffset = 4;
constexpr std::size_t kHeaderWidth = 10;
constexpr std::size_t kTagFunctionOffset = 14;
constexpr std::size_t kTagFunctionWidth = 32;
constexpr std::size_t kTagLocationOffset = 46;
constexpr std::size_t kTagLocationWidth = 22;
constexpr std::size_t kDateOffset = 14;
constexpr std::size_t kDateWidth = 16;
constexpr std::size_t kReservedOffset = 30;
constexpr std::size_t kReservedWidth = 38;

ByteArray EmptyRecord(int record) {
    ByteArray bytes(kRecordWriteSize, 0x00);
    const ByteArray header = CallHeader(record);
    std::copy(header.begin(), header.end(), bytes.begin());
    return bytes;
}

void Blank(ByteArray& record, std::size_t offset, std::size_t width) {
    std::fill_n(record.begin() + static_cast<std::ptrdiff_t>(offset), width, kBlank);
}

/// Copies the value from `offset` on, never beyond the record's last byte.
void CopyValue(ByteArray& record, std::size_t offset, const QString& value) {
    const ByteArray bytes = TextToBytes(value);
    const std::size_t count = std::min(bytes.size(), record.size() - offset);
    std::copy_n(bytes.begin(), count, record.begin() + static_cast<std::ptrdiff_t>(offset));
}

} // namespace

ByteArray CallHeader(int record) {
    return {0x08, 0x00, 0xFD, static_cast<std::uint8_t>(0xE8 + record)};
}

ByteArray TextToBytes(const QString& text) {
    return ToAnsi(text);
}

ByteArray BuildIM1Record(const QString& im1Header, const QString& tagFunction,
                         const QString& tagLocation) {
    ByteArray record = EmptyRecord(1);
    Blank(record, kHeaderOffset, kHeaderWidth);
    CopyValue(record, kHeaderOffset, im1Header);
    Blank(record, kTagFunctionOffset, kTagFunctionWidth);
    CopyValue(record, kTagFunctionOffset, tagFunction);
    Blank(record, kTagLocationOffset, kTagLocationWidth);
    CopyValue(record, kTagLocationOffset, tagLocation);
    return record;
}

ByteArray BuildIM2Record(const QString& im2Header, const QString& installationDate,
                         const QString& im2Reserved) {
    ByteArray record = EmptyRecord(2);
    CopyValue(record, kHeaderOffset, im2Header);
    Blank(record, kDateOffset, kDateWidth);
    CopyValue(record, kDateOffset, installationDate);
    Blank(record, kReservedOffset, kReservedWidth);
    CopyValue(record, kReservedOffset, im2Reserved);
    return record;
}

bool ContentsDiffer(const ByteArray& stored, const ByteArray& contents) {
    return stored.empty() || stored != contents;
}

CommunicationRequest ReadRequest(const QString& communicationReference, std::int32_t slotNumber,
                                 std::int16_t index) {
    CommunicationRequest request;
    request.readItem = ReadRequestItem{communicationReference, slotNumber, index};
    return request;
}

CommunicationRequest WriteRequest(const QString& communicationReference, std::int32_t slotNumber,
                                  std::int16_t index, const ByteArray& data) {
    CommunicationRequest request;
    request.writeItem = WriteRequestItem{communicationReference, slotNumber, index, DataItem{data}};
    return request;
}

} // namespace rq16::identification
