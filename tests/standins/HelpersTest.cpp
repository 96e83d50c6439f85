#include "simulator/Records.h"
#include "standins/helpers/IMData.h"
#include "standins/helpers/PropertyBag.h"
#include "standins/helpers/QsData.h"

#include <gtest/gtest.h>

using rq16::ByteArray;
using rq16::ComError;
using namespace rq16::standins;
namespace sim = rq16::simulator;

namespace {

ByteArray Concat(ByteArray all, const ByteArray& more) {
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

} // namespace

TEST(QsAndImData, DecodeTheModulesRecordsAndSurviveThePropertyBag) {
    sim::QsFields fields;
    fields.chargeCode = QStringLiteral("CH-2023-17");
    fields.serialNumber = QStringLiteral("000123456789");
    fields.hardwareRevision = 9;
    fields.softwareRevision = {2, 10, 0};
    fields.dateOfLastRefresh = QDate(2024, 2, 29);
    ByteArray qsBytes = sim::EncodeQs(fields);
    EXPECT_EQ(
        QsData::Encode(fields.chargeCode, fields.serialNumber, 9, 2, 10, 0, QDate(2024, 2, 29)),
        qsBytes);
    qsBytes.push_back(0x99); // trailing bytes are ignored
    QsData qs;
    qs.LoadBytes(qsBytes);
    // A read of index 255 returns the call header and the record; texts travel
    // in the system code page.
    IMData im;
    im.LoadRecords(Concat(sim::ImCallHeader(0), sim::DefaultIm0()),
                   Concat(sim::ImCallHeader(1), sim::EncodeIm1("Conveyor €", "Line 2")),
                   Concat(sim::ImCallHeader(2), sim::EncodeIm2("2020-01-15 06:45")));
    EXPECT_EQ(sim::EncodeIm1(QStringLiteral("€"), {})[10], 0x80);

    // The bag's contents do not depend on the order of writing.
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("QsData"), qs);
    bag.WriteProperty(QStringLiteral("IMData"), im);
    PropertyBag reversed;
    reversed.WriteProperty(QStringLiteral("IMData"), im);
    reversed.WriteProperty(QStringLiteral("QsData"), qs);
    EXPECT_EQ(reversed.Contents(), bag.Contents());
    PropertyBag reread;
    reread.SetContents(bag.Contents());
    QsData qs2;
    IMData im2;
    reread.ReadProperty(QStringLiteral("QsData"), qs2);
    reread.ReadProperty(QStringLiteral("IMData"), im2);
    EXPECT_EQ((QStringList{qs2.ChargeCode(), qs2.SerialNumber(), qs2.HardwareRevision(),
                           qs2.SoftwareRevision(), qs2.DateOfLastRefresh().toString(Qt::ISODate)}),
              (QStringList{"CH-2023-17", "000123456789", "09", "V2.10.0", "2024-02-29"}));
    const IM0Fields& im0 = im2.IM0();
    EXPECT_EQ((QStringList{im2.TagFunction(), im2.TagLocation(), im2.InstallationDate(),
                           im0.orderId, im0.serialNumber, im0.softwareRevision}),
              (QStringList{"Conveyor €", "Line 2", "2020-01-15 06:45", "RQ16-DO8-24V", "SN0042318",
                           "V1.4.2"}));
    EXPECT_EQ(
        (std::vector<int>{im0.manufacturerId, im0.hardwareRevision, im0.revisionCounter,
                          im0.profileId, im0.profileSpecificType, im0.imVersion, im0.imSupported}),
        (std::vector<int>{0x012C, 3, 5, 0xF600, 3, 0x0101, 6}));
    EXPECT_EQ((std::vector<qsizetype>{im0.header.size(), im2.IM1Header().size(),
                                      im2.IM2Header().size(), im2.IM2Reserved().size()}),
              (std::vector<qsizetype>{10, 10, 10, 38}));
    EXPECT_TRUE(im0.present);

    // Reading an object under the wrong key fails like a damaged state.
    EXPECT_THROW(reread.ReadProperty(QStringLiteral("IMData"), qs2), ComError);
    EXPECT_THROW(reread.ReadProperty(QStringLiteral("Missing"), qs2), ComError);
    // Zero-padded fields end at the first zero byte.
    qsBytes[3] = 0;
    qs.LoadBytes(qsBytes);
    EXPECT_EQ(qs.ChargeCode(), QStringLiteral("CH-"));
}
