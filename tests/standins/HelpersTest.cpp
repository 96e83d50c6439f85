#include "simulator/Records.h"
#include "standins/helpers/IMData.h"
#include "standins/helpers/PropertyBag.h"
#include "standins/helpers/QsData.h"

#include <QCoreApplication>
#include <QObject>
#include <QSet>

#include <gtest/gtest.h>

using rq16::ByteArray;
using rq16::ComError;
using namespace rq16::standins;

namespace {

ByteArray Bytes(std::initializer_list<int> values) {
    ByteArray bytes;
    for (int v : values) {
        bytes.push_back(static_cast<std::uint8_t>(v));
    }
    return bytes;
}

ByteArray Text(const char* text, std::size_t width) {
    ByteArray bytes(width, 0x20);
    for (std::size_t i = 0; text[i] != 0 && i < width; ++i) {
        bytes[i] = static_cast<std::uint8_t>(text[i]);
    }
    return bytes;
}

ByteArray Concat(std::initializer_list<ByteArray> parts) {
    ByteArray all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

ByteArray IM1(const char* function, const char* location) {
    return Concat({ByteArray(10, 0x00), Text(function, 32), Text(location, 22)});
}

ByteArray IM2(const char* date, std::size_t reserved = 38) {
    return Concat(
        {Bytes({'H', 'D', 'R', '2', 0, 0, 0, 0, 0, 1}), Text(date, 16), ByteArray(reserved, 0x00)});
}

ByteArray IM0() {
    ByteArray record(64, 0);
    record[10] = 0x01; // manufacturer 0x01A5
    record[11] = 0xA5;
    const ByteArray order = Text("RQ16-DO8-0524", 20);
    std::copy(order.begin(), order.end(), record.begin() + 12);
    const ByteArray serial = Text("S123456", 16);
    std::copy(serial.begin(), serial.end(), record.begin() + 32);
    record[49] = 3;
    record[50] = 'V';
    record[51] = 1;
    record[52] = 2;
    record[53] = 7;
    record[61] = 0x01; // I&M version 1.1
    record[60] = 0x01;
    return record;
}

} // namespace

TEST(PropertyBag, RoundTripAndDeterministicContents) {
    QsData qs;
    qs.LoadBytes(QsData::Encode(QStringLiteral("CH42"), QStringLiteral("SN0001"), 3, 1, 2, 3,
                                QDate(2023, 5, 17)));
    IMData im;
    im.LoadRecords(IM0(), IM1("Pump station", "Hall 3"), IM2("2023-05-17"));

    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("QsData"), qs);
    bag.WriteProperty(QStringLiteral("IMData"), im);
    const ByteArray contents = bag.Contents();

    PropertyBag reversed; // other insertion order, same contents
    reversed.WriteProperty(QStringLiteral("IMData"), im);
    reversed.WriteProperty(QStringLiteral("QsData"), qs);
    EXPECT_EQ(reversed.Contents(), contents);

    PropertyBag reread;
    reread.SetContents(contents);
    QsData qs2;
    IMData im2;
    reread.ReadProperty(QStringLiteral("QsData"), qs2);
    reread.ReadProperty(QStringLiteral("IMData"), im2);
    EXPECT_EQ(qs2.ChargeCode(), QStringLiteral("CH42"));
    EXPECT_EQ(qs2.DateOfLastRefresh(), QDate(2023, 5, 17));
    EXPECT_EQ(im2.TagFunction(), QStringLiteral("Pump station"));
    EXPECT_EQ(im2.IM2Reserved(), im.IM2Reserved());
    EXPECT_EQ(im2.IM0().orderId, QStringLiteral("RQ16-DO8-0524"));

    // Reading an object under the wrong key fails like a damaged state.
    EXPECT_THROW(reread.ReadProperty(QStringLiteral("IMData"), qs2), ComError);
    EXPECT_THROW(reread.ReadProperty(QStringLiteral("Missing"), qs2), ComError);
}

TEST(QsData, DecodesTheRecord) {
    ByteArray bytes = QsData::Encode(QStringLiteral("CH-2023-17"), QStringLiteral("000123456789"),
                                     4, 2, 10, 0, QDate(2024, 2, 29));
    bytes.push_back(0x99); // trailing bytes are ignored
    QsData qs;
    qs.LoadBytes(bytes);
    EXPECT_EQ(qs.ChargeCode(), QStringLiteral("CH-2023-17"));
    EXPECT_EQ(qs.SerialNumber(), QStringLiteral("000123456789"));
    EXPECT_EQ(qs.HardwareRevision(), QStringLiteral("04"));
    EXPECT_EQ(qs.SoftwareRevision(), QStringLiteral("V2.10.0"));
    EXPECT_EQ(qs.DateOfLastRefresh(), QDate(2024, 2, 29));

    // Zero-padded fields end at the first zero byte.
    bytes[3] = 0;
    qs.LoadBytes(bytes);
    EXPECT_EQ(qs.ChargeCode(), QStringLiteral("CH-"));
}

TEST(IMData, DecodesTheSimulatedModulesRecords) {
    namespace sim = rq16::simulator;
    sim::QsFields fields;
    fields.chargeCode = QStringLiteral("C-77");
    fields.serialNumber = QStringLiteral("SN-4711");
    fields.hardwareRevision = 2;
    fields.softwareRevision = {1, 4, 9};
    fields.dateOfLastRefresh = QDate(2022, 12, 31);
    QsData qs;
    qs.LoadBytes(sim::EncodeQs(fields));
    EXPECT_EQ(qs.ChargeCode(), fields.chargeCode);
    EXPECT_EQ(qs.SerialNumber(), fields.serialNumber);
    EXPECT_EQ(qs.HardwareRevision(), QStringLiteral("02"));
    EXPECT_EQ(qs.SoftwareRevision(), QStringLiteral("V1.4.9"));
    EXPECT_EQ(qs.DateOfLastRefresh(), fields.dateOfLastRefresh);

    // A read of index 255 returns the call header and the record; texts
    // travel in the system code page.
    IMData im;
    im.LoadRecords(
        Concat({sim::ImCallHeader(0), sim::DefaultIm0()}),
        Concat({sim::ImCallHeader(1),
                sim::EncodeIm1(QStringLiteral("Conveyor €"), QStringLiteral("Line 2"))}),
        Concat({sim::ImCallHeader(2), sim::EncodeIm2(QStringLiteral("2020-01-15 06:45"))}));
    EXPECT_EQ(sim::EncodeIm1(QStringLiteral("€"), {})[10], 0x80);
    EXPECT_EQ(im.TagFunction(), QStringLiteral("Conveyor €"));
    EXPECT_EQ(im.TagLocation(), QStringLiteral("Line 2"));
    EXPECT_EQ(im.InstallationDate(), QStringLiteral("2020-01-15 06:45"));
    EXPECT_EQ(im.IM1Header().size(), 10);
    EXPECT_EQ(im.IM2Reserved().size(), 38);
    EXPECT_TRUE(im.IM0().present);
}
