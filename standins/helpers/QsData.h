#pragma once
// The module's production data (QS record).
//
// Layout of the QS record as the module sends it (32 bytes, more are
// ignored; multi-byte numbers big-endian):
//
//   bytes  0..11  charge number, 12 characters, blank- or zero-padded
//   bytes 12..23  serial number, 12 characters, blank- or zero-padded
//   byte  24      hardware revision, a number, shown as two digits ("03")
//   bytes 25..27  software revision major, minor, patch ("V1.2.3")
//   bytes 28..29  year of the last refresh
//   byte  30      month (1..12)
//   byte  31      day (1..31); an all-zero date means "never refreshed"

#include "host/Components.h"

namespace rq16::standins {

class QsData : public IQsData {
public:
    static constexpr std::size_t kRecordSize = 32;

    /// The record bytes for the given fields (the inverse of LoadBytes).
    static ByteArray Encode(const QString& chargeCode, const QString& serialNumber,
                            std::uint8_t hardwareRevision, std::uint8_t swMajor,
                            std::uint8_t swMinor, std::uint8_t swPatch, const QDate& refreshed);

    void LoadBytes(const ByteArray& bytes) override;
    QString ChargeCode() const override { return m_chargeCode; }
    QString SerialNumber() const override { return m_serialNumber; }
    QString SoftwareRevision() const override { return m_softwareRevision; }
    QString HardwareRevision() const override { return m_hardwareRevision; }
    QDate DateOfLastRefresh() const override { return m_dateOfLastRefresh; }

    QByteArray SaveState() const override;
    void LoadState(const QByteArray& state) override;

private:
    QString m_chargeCode;
    QString m_serialNumber;
    QString m_softwareRevision;
    QString m_hardwareRevision;
    QDate m_dateOfLastRefresh;
};

/// Text of a fixed-width character field in the system's single-byte code
/// page (Windows-1252), cut at the first zero
/// byte, trailing blanks removed.
QString FieldText(const ByteArray& bytes, std::size_t offset, std::size_t width);

} // namespace rq16::standins
