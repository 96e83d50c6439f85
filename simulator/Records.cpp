#include "Records.h"

#include "host/AnsiCodePage.h"

#include <algorithm>

namespace rq16::simulator {

void PutText(ByteArray& bytes, std::size_t offset, std::size_t width, const QString& text) {
    if (bytes.size() < offset + width) {
        bytes.resize(offset + width, 0);
    }
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), width, std::uint8_t{0x20});
    const ByteArray ansi = ToAnsi(text);
    const auto count = std::min(width, ansi.size());
    std::copy_n(ansi.begin(), count, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

QString GetText(const ByteArray& bytes, std::size_t offset, std::size_t width) {
    QString text = FromAnsi(bytes, offset, width);
    while (!text.isEmpty() && (text.back() == QChar(' ') || text.back() == QChar(0))) {
        text.chop(1);
    }
    return text;
}

ByteArray EncodeQs(const QsFields& fields) {
    ByteArray bytes(kQsRecordSize, 0);
    PutText(bytes, 0, 12, fields.chargeCode);
    PutText(bytes, 12, 12, fields.serialNumber);
    bytes[24] = fields.hardwareRevision;
    std::copy(fields.softwareRevision.begin(), fields.softwareRevision.end(), bytes.begin() + 25);
    if (const QDate& date = fields.dateOfLastRefresh; date.isValid()) {
        bytes[28] = static_cast<std::uint8_t>((date.year() >> 8) & 0xFF);
        bytes[29] = static_cast<std::uint8_t>(date.year() & 0xFF);
        bytes[30] = static_cast<std::uint8_t>(date.month());
        bytes[31] = static_cast<std::uint8_t>(date.day());
    }
    return bytes;
}

QsFields DecodeQs(const ByteArray& bytes) {
    QsFields fields;
    fields.chargeCode = GetText(bytes, 0, 12);
    fields.serialNumber = GetText(bytes, 12, 12);
    if (bytes.size() >= kQsRecordSize) {
        fields.hardwareRevision = bytes[24];
        std::copy(bytes.begin() + 25, bytes.begin() + 28, fields.softwareRevision.begin());
        fields.dateOfLastRefresh = QDate((bytes[28] << 8) | bytes[29], bytes[30], bytes[31]);
    }
    return fields;
}

ByteArray ImCallHeader(int record) {
    return {0x08, 0x00, 0xFD, static_cast<std::uint8_t>(0xE8 + record)};
}

int ImRecordOfCallHeader(const ByteArray& bytes) {
    if (bytes.size() < kImCallHeaderSize || bytes[0] != 0x08 || bytes[1] != 0x00 ||
        bytes[2] != 0xFD || bytes[3] < 0xE8 || bytes[3] > 0xEA) {
        return -1;
    }
    return bytes[3] - 0xE8;
}

ByteArray DefaultIm0() {
    ByteArray record(kImRecordSize, 0);
    PutText(record, 0, kImHeaderSize, {});
    record[10] = 0x01; // manufacturer id
    record[11] = 0x2C;
    PutText(record, 12, 20, QStringLiteral("RQ16-DO8-24V"));
    PutText(record, 32, 16, QStringLiteral("SN0042318"));
    record[48] = 0x00; // hardware revision
    record[49] = 0x03;
    record[50] = 'V'; // software revision V1.4.2
    record[51] = 1;
    record[52] = 4;
    record[53] = 2;
    record[54] = 0x00; // revision counter
    record[55] = 0x05;
    record[56] = 0xF6; // profile id: none
    record[57] = 0x00;
    record[58] = 0x00; // profile specific type
    record[59] = 0x03;
    record[60] = 0x01; // I&M version 1.1
    record[61] = 0x01;
    record[62] = 0x00; // supported: I&M1 and I&M2
    record[63] = 0x06;
    return record;
}

ByteArray EncodeIm1(const QString& tagFunction, const QString& tagLocation) {
    ByteArray record(kImRecordSize, 0);
    PutText(record, 0, kImHeaderSize, {});
    PutText(record, 10, 32, tagFunction);
    PutText(record, 42, 22, tagLocation);
    return record;
}

ByteArray EncodeIm2(const QString& installationDate) {
    ByteArray record(kImRecordSize, 0);
    PutText(record, 0, kImHeaderSize, {});
    PutText(record, 10, 16, installationDate);
    PutText(record, 26, 38, {});
    return record;
}

ImTexts DecodeIm12(const ByteArray& im1, const ByteArray& im2) {
    return {GetText(im1, 10, 32), GetText(im1, 42, 22), GetText(im2, 10, 16)};
}

} // namespace rq16::simulator
