#pragma once
// The module's I&M0, I&M1 and I&M2 records, decoded.
//
// Records may arrive with or without the 4-byte call header 08 00 FD E8..EA
// in front. After it:
//   I&M0 (64 bytes): header 10, manufacturer id 2, order id 20, serial
//        number 16, hardware revision 2, software revision 4 (a letter and
//        three numbers), revision counter 2, profile id 2, profile specific
//        type 2, I&M version 2, I&M supported 2. Optional: empty or shorter
//        records leave the I&M0 fields empty.
//   I&M1 (64 bytes): header 10, tag function 32, tag location 22.
//   I&M2: header 10, installation date 16, reserved 38 (the reserved part
//        may be shorter or missing).
// Multi-byte numbers are big-endian; texts are blank-padded, in the system's
// single-byte code page (Windows-1252). The installation date reads
// "YYYY-MM-DD HH:MM".

#include "host/Components.h"

namespace rq16::standins {

struct IM0Fields {
    QString header;
    int manufacturerId = 0;
    QString orderId;
    QString serialNumber;
    int hardwareRevision = 0;
    QString softwareRevision; ///< e.g. "V1.2.3"
    int revisionCounter = 0;
    int profileId = 0;
    int profileSpecificType = 0;
    int imVersion = 0; ///< major * 256 + minor
    int imSupported = 0;
    bool present = false;
};

class IMData : public IIMData {
public:
    static constexpr std::size_t kHeaderSize = 10;
    static constexpr std::size_t kIM0Size = 64;
    static constexpr std::size_t kIM1Size = 64;
    static constexpr std::size_t kIM2MinSize = 26;
    static constexpr std::size_t kIM2ReservedSize = 38;

    /// Throws ComError when I&M1 or I&M2 is too short, leaving the object
    /// unchanged.
    void LoadRecords(const ByteArray& im0, const ByteArray& im1, const ByteArray& im2) override;

    QString IM1Header() const override { return m_im1Header; }
    QString TagFunction() const override { return m_tagFunction; }
    void SetTagFunction(const QString& value) override { m_tagFunction = value; }
    QString TagLocation() const override { return m_tagLocation; }
    void SetTagLocation(const QString& value) override { m_tagLocation = value; }
    QString IM2Header() const override { return m_im2Header; }
    QString InstallationDate() const override { return m_installationDate; }
    void SetInstallationDate(const QString& value) override { m_installationDate = value; }
    QString IM2Reserved() const override { return m_im2Reserved; }

    const IM0Fields& IM0() const { return m_im0; }

    QByteArray SaveState() const override;
    void LoadState(const QByteArray& state) override;

    /// The record without its call header, if it starts with 08 00 FD
    /// followed by `selector` (0xE8, 0xE9 or 0xEA).
    static ByteArray WithoutCallHeader(const ByteArray& record, std::uint8_t selector);

private:
    IM0Fields m_im0;
    QString m_im1Header;
    QString m_tagFunction;
    QString m_tagLocation;
    QString m_im2Header;
    QString m_installationDate;
    QString m_im2Reserved;
};

} // namespace rq16::standins
