#include "IMData.h"

#include "QsData.h"

#include "host/AnsiCodePage.h"

#include <QDataStream>
#include <QIODevice>

namespace rq16::standins {

namespace {

constexpr quint32 kMagic = 0x52514D44; // "RQMD"
constexpr quint16 kVersion = 1;

/// Every byte as one character, zero bytes included, so that the value
/// writes back to the same bytes.
QString RawText(const ByteArray& bytes, std::size_t offset, std::size_t width) {
    return FromAnsi(bytes, offset, width);
}

int Word(const ByteArray& bytes, std::size_t offset) {
    return (bytes[offset] << 8) | bytes[offset + 1];
}

IM0Fields DecodeIM0(const ByteArray& record) {
    IM0Fields fields;
    if (record.size() < IMData::kIM0Size) {
        return fields;
    }
    fields.present = true;
    fields.header = RawText(record, 0, 10);
    fields.manufacturerId = Word(record, 10);
    fields.orderId = FieldText(record, 12, 20);
    fields.serialNumber = FieldText(record, 32, 16);
    fields.hardwareRevision = Word(record, 48);
    const QChar prefix = record[50] >= 0x20 ? QChar(record[50]) : QChar(u'V');
    fields.softwareRevision =
        QStringLiteral("%1%2.%3.%4").arg(prefix).arg(record[51]).arg(record[52]).arg(record[53]);
    fields.revisionCounter = Word(record, 54);
    fields.profileId = Word(record, 56);
    fields.profileSpecificType = Word(record, 58);
    fields.imVersion = Word(record, 60);
    fields.imSupported = Word(record, 62);
    return fields;
}

} // namespace

ByteArray IMData::WithoutCallHeader(const ByteArray& record, std::uint8_t selector) {
    if (record.size() >= 4 && record[0] == 0x08 && record[1] == 0x00 && record[2] == 0xFD &&
        record[3] == selector) {
        return ByteArray(record.begin() + 4, record.end());
    }
    return record;
}

void IMData::LoadRecords(const ByteArray& im0, const ByteArray& im1, const ByteArray& im2) {
    const ByteArray r0 = WithoutCallHeader(im0, 0xE8);
    const ByteArray r1 = WithoutCallHeader(im1, 0xE9);
    const ByteArray r2 = WithoutCallHeader(im2, 0xEA);
    if (r1.size() < kIM1Size) {
        throw ComError(kErrInvalidArg,
                       QStringLiteral("I&M1 record too short: %1 bytes, %2 expected")
                           .arg(r1.size())
                           .arg(kIM1Size));
    }
    if (r2.size() < kIM2MinSize) {
        throw ComError(kErrInvalidArg,
                       QStringLiteral("I&M2 record too short: %1 bytes, %2 expected")
                           .arg(r2.size())
                           .arg(kIM2MinSize));
    }
    m_im0 = DecodeIM0(r0);
    m_im1Header = RawText(r1, 0, kHeaderSize);
    m_tagFunction = FieldText(r1, 10, 32);
    m_tagLocation = FieldText(r1, 42, 22);
    m_im2Header = RawText(r2, 0, kHeaderSize);
    m_installationDate = FieldText(r2, 10, 16);
    m_im2Reserved = RawText(r2, 26, kIM2ReservedSize);
}

QByteArray IMData::SaveState() const {
    QByteArray state;
    QDataStream out(&state, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << kMagic << kVersion << m_im0.present << m_im0.header << m_im0.manufacturerId
        << m_im0.orderId << m_im0.serialNumber << m_im0.hardwareRevision << m_im0.softwareRevision
        << m_im0.revisionCounter << m_im0.profileId << m_im0.profileSpecificType << m_im0.imVersion
        << m_im0.imSupported << m_im1Header << m_tagFunction << m_tagLocation << m_im2Header
        << m_installationDate << m_im2Reserved;
    return state;
}

void IMData::LoadState(const QByteArray& state) {
    QDataStream in(state);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    quint16 version = 0;
    in >> magic >> version;
    if (in.status() != QDataStream::Ok || magic != kMagic || version != kVersion) {
        throw ComError(kErrInvalidArg, QStringLiteral("Stored I&M data are not readable"));
    }
    IMData read;
    in >> read.m_im0.present >> read.m_im0.header >> read.m_im0.manufacturerId >>
        read.m_im0.orderId >> read.m_im0.serialNumber >> read.m_im0.hardwareRevision >>
        read.m_im0.softwareRevision >> read.m_im0.revisionCounter >> read.m_im0.profileId >>
        read.m_im0.profileSpecificType >> read.m_im0.imVersion >> read.m_im0.imSupported >>
        read.m_im1Header >> read.m_tagFunction >> read.m_tagLocation >> read.m_im2Header >>
        read.m_installationDate >> read.m_im2Reserved;
    if (in.status() != QDataStream::Ok) {
        throw ComError(kErrInvalidArg, QStringLiteral("Stored I&M data are damaged"));
    }
    *this = read;
}

} // namespace rq16::standins
