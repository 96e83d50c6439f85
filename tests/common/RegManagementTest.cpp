#include "TestFiles.h"

#include "common/RegManagement.h"
#include "frame/host/Constants.h"

#include <gtest/gtest.h>

using namespace rq16;

namespace {

const QString& kKey = kRegistryKey;

/// "kind number", or "sz text" for a string.
std::string Describe(const RegistryValue& v) {
    static const char* const kinds[] = {"empty ", "int16 ", "sz ", "int32 "};
    return kinds[static_cast<int>(v.kind)] + (v.kind == RegistryValue::Kind::String
                                                  ? v.text.toStdString()
                                                  : std::to_string(v.number));
}

TEST(RegistryTest, ValuesAndTheDetailsOfTheFileSyntax) {
    const QByteArray key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orlin\\DTM kelio-DP";
    struct Case {
        QByteArray file; ///< the key's lines, or the whole file when it starts with '[' or a BOM
        std::string expected; ///< what "Debug" reads as
    };
    const Case cases[] = {
        {"\"Debug\"=dword:00000003\n", "int32 3"},
        {"\"Debug\"=dword:ffffffff\n", "int32 -1"},
        {"\"Debug\"=dword:1\n", "int32 1"},                    // short dwords are numbers
        {"\"Debug\"=dword:000000001\n", "int16 0"},            // more than eight digits are not
        {"\"Debug\"=dword:0000000g\n", "int16 0"},             // nor other characters
        {"\"Debug\"=dword:\\\n  00000003\n", "int32 3"},       // a line continued with a backslash
        {"\"Debug\"=dword:2\n\"Debug\"=\"x\"\\", "int32 2"},   // ... but not at the end of the file
        {"\"Debug\"=dword:2\n\"DEBUG\"=dword:3\n", "int32 3"}, // the last definition wins
        {"\"Debug\"=dword:2\n\"Debug\"=\"1\n", "int32 2"},     // an unterminated string is skipped
        {"\"Debug\"=\"3\"\n", "sz 3"},
        {"\"Debug\"=\"say \\\"hi\\\" C:\\\\temp\"\n", "sz say \"hi\" C:\\temp"},
        {"\"Debug\"=\"\"\n", "sz "},
        {"\"Debug\"=\"" + QByteArray(255, 'x') + "\"\n", "sz " + std::string(255, 'x')},
        {"\"Debug\"=\"" + QByteArray(256, 'x') + "\"\n", "int16 0"}, // longer than the buffer
        {"\"Debug\"=hex(2):25,00,54,00,00,00\n", "empty 0"},
        {"\"Debug\"=hex:01,02,03\n", "empty 0"},
        {"\"Debug\"=3\n\"Debug\"dword:3\n; \"Debug\"=dword:3\n", "int16 0"},
        {key + "\\]\n\"Debug\"=dword:3\n", "int32 3"},
        {key + "\\\n\"Debug\"=dword:3\n", "int16 0"}, // no closing bracket
        {"\xEF\xBB\xBF\xEF\xBB\xBF" + key + "]\n\"Debug\"=dword:3\n", "int32 3"}, // two BOMs
        {key + "]\n\"Debug\"=dword:2\n"
               "[HKEY_CURRENT_USER\\SOFTWARE\\Orlin\\DTM kelio-DP]\n\"Debug\"=dword:3\n"
               "[HKLM\\SOFTWARE\\Orlin\\DTM kelio-DP\\Paths]\n\"Debug\"=dword:4\n",
         "int32 2"}, // other hives and sub-keys do not count
    };
    for (const Case& c : cases) {
        const bool whole = c.file.startsWith('[') || c.file.startsWith('\xEF');
        EXPECT_EQ(Describe(ReadRegistryValueFrom(whole ? c.file : test::DebugKey(c.file), kKey,
                                                 QStringLiteral("Debug"))),
                  c.expected)
            << c.file.constData();
    }
}

TEST(RegistryTest, KeysAndNamesIgnoreCaseAndParentsExistWithoutValues) {
    const QByteArray file = "[HKLM\\SOFTWARE\\Orlin\\DTM kelio-DP\\Paths]\n\"Help\"=\"/opt/help\"\n"
                            "@=dword:5\n";
    EXPECT_EQ(Describe(ReadRegistryValueFrom(file, kKey.toUpper(), "HELP", "paths")),
              "sz /opt/help");
    EXPECT_EQ(Describe(ReadRegistryValueFrom(file, kKey + "\\Paths", QString())), "int32 5");
    EXPECT_EQ(Describe(ReadRegistryValueFrom(file, "SOFTWARE\\Orlin", "Help")), "int16 0");
}

} // namespace
