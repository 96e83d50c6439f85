// The bytes of the I&M write records and of texts in the system code page.

#include "IMRecords.h"

#include <gtest/gtest.h>

using namespace rq16;
using namespace rq16::identification;

namespace {

QString Slice(const ByteArray& bytes, std::size_t from, std::size_t to) {
    return QString::fromLatin1(reinterpret_cast<const char*>(bytes.data() + from),
                               static_cast<qsizetype>(to - from));
}

} // namespace

TEST(IMRecords, TextToBytesUsesTheSystemCodePage) {
    EXPECT_TRUE(TextToBytes(QString()).empty());
    EXPECT_EQ(TextToBytes(QStringLiteral("Aä€")), (ByteArray{'A', 0xE4, 0x80}));
    // No byte in the code page: one '?' per character, also outside the BMP.
    EXPECT_EQ(TextToBytes(QString::fromUtf8("Ω\xF0\x9F\x98\x80x")), (ByteArray{'?', '?', 'x'}));
}

TEST(IMRecords, IM1RecordFillsAndCutsItsFields) {
    struct Case {
        QString header, function, location;
        QString bytes4to14, bytes14to46, bytes46to68;
    };
    const QString function32(32, u'F');
    const Case cases[] = {
        {{}, {}, {}, QString(10, u' '), QString(32, u' '), QString(22, u' ')},
        {QStringLiteral("HDR1234"), QStringLiteral("  Pump"), QStringLiteral("B"),
         QStringLiteral("HDR1234   "), QStringLiteral("  Pump") + QString(26, u' '),
         QStringLiteral("B") + QString(21, u' ')},
        // Exact lengths; over-long values lose their excess to the next field
        // and the record ends at byte 67.
        {QString(12, u'H'), function32 + QStringLiteral("XX"), QString(30, u'L'), QString(10, u'H'),
         function32, QString(22, u'L')},
        {QString(80, u'H'), {}, {}, QString(10, u'H'), QString(32, u' '), QString(22, u' ')},
    };
    for (const Case& c : cases) {
        const ByteArray record = BuildIM1Record(c.header, c.function, c.location);
        ASSERT_EQ(record.size(), 68u);
        EXPECT_EQ(ByteArray(record.begin(), record.begin() + 4),
                  (ByteArray{0x08, 0x00, 0xFD, 0xE9}));
        EXPECT_EQ(Slice(record, 4, 14), c.bytes4to14) << c.header.toStdString();
        EXPECT_EQ(Slice(record, 14, 46), c.bytes14to46) << c.function.toStdString();
        EXPECT_EQ(Slice(record, 46, 68), c.bytes46to68) << c.location.toStdString();
    }
}

TEST(IMRecords, IM2RecordKeepsZerosBehindAShortHeader) {
    const ByteArray record = BuildIM2Record(QStringLiteral("HDR1234"),
                                            QStringLiteral("2024-03-01 14:30"), QString(40, u'R'));
    ASSERT_EQ(record.size(), 68u);
    EXPECT_EQ(record[3], 0xEA);
    EXPECT_EQ(Slice(record, 4, 11), QStringLiteral("HDR1234"));
    EXPECT_EQ(ByteArray(record.begin() + 11, record.begin() + 14), ByteArray(3, 0x00));
    EXPECT_EQ(Slice(record, 14, 30), QStringLiteral("2024-03-01 14:30"));
    EXPECT_EQ(Slice(record, 30, 68), QString(38, u'R'));
    EXPECT_EQ(Slice(BuildIM2Record({}, QStringLiteral("2024"), {}), 14, 68),
              QStringLiteral("2024") + QString(50, u' '));
}
