#include "simulator/Records.h"
#include "standins/helpers/DeferredCallQueue.h"
#include "standins/helpers/IMData.h"
#include "standins/helpers/InvokeIdGenerator.h"
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

class Target : public QObject {
    Q_OBJECT
public:
    QStringList calls;
    Q_INVOKABLE void WithArgument(const QVariant& arguments) {
        calls << QStringLiteral("WithArgument:") + arguments.toString();
    }
    Q_INVOKABLE void WithoutArgument() { calls << QStringLiteral("WithoutArgument"); }
    Q_INVOKABLE void AddsAnother(const QVariant&) {
        calls << QStringLiteral("AddsAnother");
        queue->Add(this, QStringLiteral("WithoutArgument"), QVariant());
    }
    DeferredCallQueue* queue = nullptr;
};

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

TEST(DeferredCallQueue, CallsLaterInOrderAndNeverInsideAdd) {
    Target target;
    DeferredCallQueue queue;
    target.queue = &queue;
    const QString first = queue.Add(&target, QStringLiteral("WithArgument"), QStringLiteral("x"));
    const QString second = queue.Add(&target, QStringLiteral("WithoutArgument"), QVariant());
    queue.Add(&target, QStringLiteral("AddsAnother"), QVariant());
    EXPECT_FALSE(first.isEmpty());
    EXPECT_NE(first, second);
    EXPECT_TRUE(target.calls.isEmpty());

    QCoreApplication::processEvents();
    ASSERT_GE(target.calls.size(), 3);
    EXPECT_EQ(target.calls.mid(0, 3),
              (QStringList{QStringLiteral("WithArgument:x"), QStringLiteral("WithoutArgument"),
                           QStringLiteral("AddsAnother")}));
    QCoreApplication::processEvents();
    EXPECT_EQ(target.calls.size(), 4);
    EXPECT_EQ(target.calls.last(), QStringLiteral("WithoutArgument"));
}

TEST(DeferredCallQueue, DestroyedViewAndUnknownOperationAreNotCalled) {
    DeferredCallQueue queue;
    auto* target = new Target;
    queue.Add(target, QStringLiteral("WithoutArgument"), QVariant());
    delete target;
    QCoreApplication::processEvents(); // must not crash

    Target alive;
    queue.Add(&alive, QStringLiteral("NoSuchOperation"), QVariant());
    QCoreApplication::processEvents();
    EXPECT_TRUE(alive.calls.isEmpty());
    EXPECT_FALSE(queue.Add(nullptr, QStringLiteral("X"), QVariant()).isEmpty());
}

TEST(InvokeIdGenerator, IdsAreUniqueAcrossGenerators) {
    InvokeIdGenerator a;
    InvokeIdGenerator b;
    QSet<QString> seen;
    for (int i = 0; i < 500; ++i) {
        const QString x = a.NewInvokeId();
        const QString y = b.NewInvokeId();
        EXPECT_FALSE(x.isEmpty());
        EXPECT_FALSE(seen.contains(x));
        seen.insert(x);
        EXPECT_FALSE(seen.contains(y));
        seen.insert(y);
    }
}

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

TEST(PropertyBag, EmptyAndDamagedContents) {
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("QsData"), QsData());
    bag.SetContents({});
    EXPECT_FALSE(bag.Contains(QStringLiteral("QsData")));

    bag.WriteProperty(QStringLiteral("QsData"), QsData());
    EXPECT_THROW(bag.SetContents(Bytes({1, 2, 3})), ComError);
    EXPECT_TRUE(bag.Contains(QStringLiteral("QsData"))) << "a failed SetContents keeps the bag";

    ByteArray truncated = bag.Contents();
    truncated.pop_back();
    EXPECT_THROW(bag.SetContents(truncated), ComError);
    ByteArray extended = bag.Contents();
    extended.push_back(0);
    EXPECT_THROW(bag.SetContents(extended), ComError);
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

TEST(QsData, EdgeCases) {
    QsData qs;
    EXPECT_THROW(qs.LoadBytes(ByteArray(31, 0x30)), ComError);
    EXPECT_THROW(qs.LoadBytes({}), ComError);

    qs.LoadBytes(ByteArray(32, 0));
    EXPECT_FALSE(qs.DateOfLastRefresh().isValid()) << "all-zero date means never refreshed";
    EXPECT_TRUE(qs.ChargeCode().isEmpty());

    ByteArray invalidDate =
        QsData::Encode(QStringLiteral("A"), QStringLiteral("B"), 1, 1, 0, 0, QDate(2023, 1, 1));
    invalidDate[30] = 13;
    qs.LoadBytes(QsData::Encode(QStringLiteral("KEEP"), QString(), 1, 1, 0, 0, QDate()));
    EXPECT_THROW(qs.LoadBytes(invalidDate), ComError);
    EXPECT_EQ(qs.ChargeCode(), QStringLiteral("KEEP")) << "a failed load keeps the old values";

    QsData restored;
    restored.LoadState(qs.SaveState());
    EXPECT_EQ(restored.ChargeCode(), QStringLiteral("KEEP"));
    EXPECT_THROW(restored.LoadState(QByteArray("garbage")), ComError);
}

TEST(IMData, RecordsWithAndWithoutCallHeaders) {
    const ByteArray im1 = IM1("Pump 1 supply", "Hall 3, cabinet 7");
    const ByteArray im2 = IM2("2021-03-04");
    IMData plain;
    plain.LoadRecords(IM0(), im1, im2);

    IMData headed;
    headed.LoadRecords(Concat({Bytes({0x08, 0x00, 0xFD, 0xE8}), IM0()}),
                       Concat({Bytes({0x08, 0x00, 0xFD, 0xE9}), im1}),
                       Concat({Bytes({0x08, 0x00, 0xFD, 0xEA}), im2}));

    for (const IMData* data : {&plain, &headed}) {
        EXPECT_EQ(data->TagFunction(), QStringLiteral("Pump 1 supply"));
        EXPECT_EQ(data->TagLocation(), QStringLiteral("Hall 3, cabinet 7"));
        EXPECT_EQ(data->InstallationDate(), QStringLiteral("2021-03-04"));
        EXPECT_EQ(data->IM1Header(), QString(10, QChar(0)));
        EXPECT_EQ(data->IM2Header().size(), 10);
        EXPECT_TRUE(data->IM2Header().startsWith(QStringLiteral("HDR2")));
        EXPECT_EQ(data->IM2Reserved(), QString(38, QChar(0)));
        EXPECT_EQ(data->IM0().manufacturerId, 0x01A5);
        EXPECT_EQ(data->IM0().serialNumber, QStringLiteral("S123456"));
        EXPECT_EQ(data->IM0().softwareRevision, QStringLiteral("V1.2.7"));
        EXPECT_EQ(data->IM0().imVersion, 0x0101);
    }
}

TEST(IMData, ShortRecordsAndOptionalParts) {
    IMData im;
    // I&M0 is optional; I&M2 may come without its reserved part.
    im.LoadRecords({}, IM1("F", "L"), IM2("D", 0));
    EXPECT_FALSE(im.IM0().present);
    EXPECT_EQ(im.TagFunction(), QStringLiteral("F"));
    EXPECT_TRUE(im.IM2Reserved().isEmpty());

    ByteArray shortIm1 = IM1("F", "L");
    shortIm1.pop_back();
    EXPECT_THROW(im.LoadRecords({}, shortIm1, IM2("D")), ComError);
    ByteArray shortIm2 = IM2("D", 0);
    shortIm2.pop_back();
    EXPECT_THROW(im.LoadRecords({}, IM1("G", "M"), shortIm2), ComError);
    EXPECT_EQ(im.TagFunction(), QStringLiteral("F")) << "a failed load keeps the old values";
    // A header-only record is too short even though it carries the call header.
    EXPECT_THROW(im.LoadRecords({}, Bytes({0x08, 0x00, 0xFD, 0xE9}), IM2("D")), ComError);
    // A call header of another record is data, not a header: 4 bytes short.
    ByteArray wrongHeader = Concat({Bytes({0x08, 0x00, 0xFD, 0xEA}), IM1("F", "L")});
    im.LoadRecords({}, wrongHeader, IM2("D"));
    EXPECT_NE(im.TagFunction(), QStringLiteral("F"));
}

TEST(IMData, SettersAndStateRoundTrip) {
    IMData im;
    im.LoadRecords(IM0(), IM1("F", "L"), IM2("D"));
    im.SetTagFunction(QStringLiteral("New function"));
    im.SetTagLocation(QStringLiteral("New location"));
    im.SetInstallationDate(QStringLiteral("01.02.2025"));
    IMData restored;
    restored.LoadState(im.SaveState());
    EXPECT_EQ(restored.TagFunction(), QStringLiteral("New function"));
    EXPECT_EQ(restored.TagLocation(), QStringLiteral("New location"));
    EXPECT_EQ(restored.InstallationDate(), QStringLiteral("01.02.2025"));
    EXPECT_EQ(restored.IM2Header(), im.IM2Header());
    EXPECT_EQ(restored.SaveState(), im.SaveState());
    EXPECT_THROW(restored.LoadState(QsData().SaveState()), ComError);
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

#include "HelpersTest.moc"
