#include "TestFiles.h"

#include "common/RegManagement.h"

#include <gtest/gtest.h>

using namespace rq16;
using rq16::test::TempRegistry;

namespace {

const QString kKey = QStringLiteral("SOFTWARE\\Orlin\\DTM kelio-DP");

TEST(RegistryTest, MissingFileKeyOrValueGiveTheNumberZero) {
    {
        rq16::test::ScopedEnv env;
        env.set("RQ16_REGISTRY_FILE", "/nonexistent/registry.reg");
        const RegistryValue v = ReadRegistryValue(kKey, QStringLiteral("Debug"));
        EXPECT_EQ(v.kind, RegistryValue::Kind::Int16);
        EXPECT_EQ(v.number, 0);
        EXPECT_FALSE(v.equalsNumber(1));
    }
    TempRegistry reg(rq16::test::DebugKey("\"Debug\"=dword:00000001\n"));
    const RegistryValue noKey = ReadRegistryValue(QStringLiteral("SOFTWARE\\Nobody"), "Debug");
    EXPECT_EQ(noKey.kind, RegistryValue::Kind::Int16);
    EXPECT_FALSE(noKey.equalsNumber(1));
    const RegistryValue noValue = ReadRegistryValue(kKey, QStringLiteral("DebugFile"));
    EXPECT_EQ(noValue.kind, RegistryValue::Kind::Int16);
    EXPECT_EQ(noValue.number, 0);
}

TEST(RegistryTest, ValuesKeepTheirTypes) {
    TempRegistry reg(rq16::test::DebugKey("\"Number\"=dword:00000003\n"
                                          "\"Text\"=\"3\"\n"
                                          "\"Negative\"=dword:ffffffff\n"
                                          "\"Quoted\"=\"say \\\"hi\\\" C:\\\\temp\"\n"
                                          "\"Expand\"=hex(2):25,00,54,00,00,00\n"
                                          "\"Binary\"=hex:01,02,03\n"
                                          "\"Empty\"=\"\"\n"));
    const RegistryValue number = ReadRegistryValue(kKey, QStringLiteral("Number"));
    EXPECT_EQ(number.kind, RegistryValue::Kind::Int32);
    EXPECT_TRUE(number.equalsNumber(3));

    const RegistryValue text = ReadRegistryValue(kKey, QStringLiteral("Text"));
    EXPECT_EQ(text.kind, RegistryValue::Kind::String);
    EXPECT_EQ(text.text, QStringLiteral("3"));
    EXPECT_FALSE(text.equalsNumber(3)) << "a string is not the number it spells";

    EXPECT_EQ(ReadRegistryValue(kKey, QStringLiteral("Negative")).number, -1);
    EXPECT_EQ(ReadRegistryValue(kKey, QStringLiteral("Quoted")).text,
              QStringLiteral("say \"hi\" C:\\temp"));
    EXPECT_EQ(ReadRegistryValue(kKey, QStringLiteral("Expand")).kind, RegistryValue::Kind::Empty);
    EXPECT_EQ(ReadRegistryValue(kKey, QStringLiteral("Binary")).kind, RegistryValue::Kind::Empty);
    const RegistryValue empty = ReadRegistryValue(kKey, QStringLiteral("Empty"));
    EXPECT_EQ(empty.kind, RegistryValue::Kind::String);
    EXPECT_TRUE(empty.text.isEmpty());
}

TEST(RegistryTest, SubKeysAndNamesAreFoundAsTheRegistryWould) {
    TempRegistry reg("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orlin\\DTM kelio-DP\\Paths]\n"
                     "\"Help\"=\"/opt/help\"\n"
                     "[HKEY_CURRENT_USER\\SOFTWARE\\Orlin\\DTM kelio-DP]\n"
                     "\"Debug\"=dword:00000003\n"
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orlin\\DTM kelio-DP]\n"
                     "\"debug\"=dword:00000002\n");
    // An empty sub-key opens the key itself; names and keys ignore case.
    EXPECT_TRUE(
        ReadRegistryValue(kKey.toUpper(), QStringLiteral("DEBUG"), QString()).equalsNumber(2));
    EXPECT_EQ(ReadRegistryValue(kKey, QStringLiteral("Help"), QStringLiteral("Paths")).text,
              QStringLiteral("/opt/help"));
    // Another hive does not count.
    EXPECT_FALSE(ReadRegistryValue(kKey, QStringLiteral("Debug")).equalsNumber(3));
    // A parent of a written key exists but holds no values.
    const RegistryValue parent = ReadRegistryValue(QStringLiteral("SOFTWARE\\Orlin"), "Debug");
    EXPECT_EQ(parent.kind, RegistryValue::Kind::Int16);
}

TEST(RegistryTest, StringsLongerThanTheBufferAreUnreadable) {
    const QByteArray fits(255, 'x');
    const QByteArray tooLong(256, 'y');
    TempRegistry reg(
        rq16::test::DebugKey("\"Fits\"=\"" + fits + "\"\n\"Long\"=\"" + tooLong + "\"\n"));
    EXPECT_EQ(ReadRegistryValue(kKey, QStringLiteral("Fits")).text.size(), 255);
    const RegistryValue longValue = ReadRegistryValue(kKey, QStringLiteral("Long"));
    EXPECT_EQ(longValue.kind, RegistryValue::Kind::Int16);
    EXPECT_EQ(longValue.number, 0);
}

TEST(RegistryTest, TheDetailsOfTheFileSyntax) {
    struct Case {
        const char* file;   ///< the key's lines, or the whole file when it starts with '['
        std::int32_t debug; ///< the number "Debug" reads as; strings count as 0
    };
    const Case cases[] = {
        {"\"Debug\"=dword:1\n", 1},                    // short dwords are numbers
        {"\"Debug\"=dword:000000001\n", 0},            // more than eight digits are not
        {"\"Debug\"=dword:0000000g\n", 0},             // nor other characters
        {"\"Debug\"=dword:\\\n  00000003\n", 3},       // a line continued with a backslash
        {"\"Debug\"=\"1\n\"Debug\"=dword:2\n", 2},     // an unterminated string is skipped
        {"\"Debug\"=dword:2\n\"Debug\"=dword:3\n", 3}, // the last definition wins
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orlin\\DTM kelio-DP\\]\n\"Debug\"=dword:3\n", 3},
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orlin\\DTM kelio-DP\n\"Debug\"=dword:3\n", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QByteArray file(c.file);
        TempRegistry reg(file.startsWith('[') ? file : rq16::test::DebugKey(file));
        const RegistryValue value = ReadRegistryValue(kKey, QStringLiteral("Debug"));
        EXPECT_EQ(value.kind == RegistryValue::Kind::String ? 0 : value.number, c.debug);
    }
}

} // namespace
