#include "QsData.h"

#include "host/AnsiCodePage.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>

namespace rq16::standins {

namespace {

constexpr quint32 kMagic = 0x52515153; // "RQQS"
constexpr quint16 kVersion = 1;

void PutText(ByteArray& bytes, std::size_t offset, std::size_t width, const QString& text) {
    const ByteArray ansi = ToAnsi(text);
    for (std::size_t i = 0; i < width; ++i) {
        bytes[offset + i] = i < ansi.size() ? ansi[i] : 0x20;
    }
}

} // namespace

QString FieldText(const ByteArray& bytes, std::size_t offset, std::size_t width) {
    const std::size_t limit = std::min(offset + width, bytes.size());
    std::size_t end = offset;
    while (end < limit && bytes[end] != 0) {
        ++end;
    }
    if (end <= offset) {
        return QString(); // no character at all: a null text
    }
    while (end > offset && bytes[end - 1] == 0x20) {
        --end;
    }
    // Only blanks: an empty text that is not null.
    return end > offset ? FromAnsi(bytes, offset, end - offset) : QString(0, Qt::Uninitialized);
}

ByteArray QsData::Encode(const QString& chargeCode, const QString& serialNumber,
                         std::uint8_t hardwareRevision, std::uint8_t swMajor, std::uint8_t swMinor,
                         std::uint8_t swPatch, const QDate& refreshed) {
    ByteArray bytes(kRecordSize, 0);
    PutText(bytes, 0, 12, chargeCode);
    PutText(bytes, 12, 12, serialNumber);
    bytes[24] = hardwareRevision;
    bytes[25] = swMajor;
    bytes[26] = swMinor;
    bytes[27] = swPatch;
    if (refreshed.isValid()) {
        bytes[28] = static_cast<std::uint8_t>((refreshed.year() >> 8) & 0xFF);
        bytes[29] = static_cast<std::uint8_t>(refreshed.year() & 0xFF);
        bytes[30] = static_cast<std::uint8_t>(refreshed.month());
        bytes[31] = static_cast<std::uint8_t>(refreshed.day());
    }
    return bytes;
}

void QsData::LoadBytes(const ByteArray& bytes) {
    if (bytes.size() < kRecordSize) {
        throw ComError(kErrInvalidArg, QStringLiteral("QS data too short: %1 bytes, %2 expected")
                                           .arg(bytes.size())
                                           .arg(kRecordSize));
    }
    const int year = (bytes[28] << 8) | bytes[29];
    const int month = bytes[30];
    const int day = bytes[31];
    QDate refreshed;
    if (year != 0 || month != 0 || day != 0) {
        refreshed = QDate(year, month, day);
        if (!refreshed.isValid()) {
            throw ComError(kErrInvalidArg, QStringLiteral("QS data hold an invalid date %1-%2-%3")
                                               .arg(year)
                                               .arg(month)
                                               .arg(day));
        }
    }
    m_chargeCode = FieldText(bytes, 0, 12);
    m_serialNumber = FieldText(bytes, 12, 12);
    m_hardwareRevision = QStringLiteral("%1").arg(bytes[24], 2, 10, QLatin1Char('0'));
    m_softwareRevision = QStringLiteral("V%1.%2.%3").arg(bytes[25]).arg(bytes[26]).arg(bytes[27]);
    m_dateOfLastRefresh = refreshed;
}

QByteArray QsData::SaveState() const {
    QByteArray state;
    QDataStream out(&state, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << kMagic << kVersion << m_chargeCode << m_serialNumber << m_softwareRevision
        << m_hardwareRevision << m_dateOfLastRefresh;
    return state;
}

void QsData::LoadState(const QByteArray& state) {
    QDataStream in(state);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    quint16 version = 0;
    QString charge, serial, software, hardware;
    QDate refreshed;
    in >> magic >> version;
    if (in.status() != QDataStream::Ok || magic != kMagic || version != kVersion) {
        throw ComError(kErrInvalidArg, QStringLiteral("Stored QS data are not readable"));
    }
    in >> charge >> serial >> software >> hardware >> refreshed;
    if (in.status() != QDataStream::Ok) {
        throw ComError(kErrInvalidArg, QStringLiteral("Stored QS data are damaged"));
    }
    m_chargeCode = charge;
    m_serialNumber = serial;
    m_softwareRevision = software;
    m_hardwareRevision = hardware;
    m_dateOfLastRefresh = refreshed;
}

} // namespace rq16::standins
