#include "TestFiles.h"

#include "common/DebugHelper.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

using namespace rq16;
using rq16::test::DebugKey;
using rq16::test::ScopedEnv;
using rq16::test::TempRegistry;

namespace {

struct Settings {
    bool toDebugger;
    bool toFile;
};

Settings SettingsFor(const QByteArray& values) {
    TempRegistry reg(DebugKey(values));
    std::int16_t mode = 0;
    ReadDebugSettings(mode);
    return {DebugToDebugger(), DebugToFile()};
}

TEST(DebugSettingsTest, RegistryValuesSwitchTheSinks) {
    struct Case {
        QByteArray values;
        bool debugger;
        bool file;
    };
    const Case cases[] = {
        {"", false, false},
        {"\"Debug\"=dword:00000001\n", true, false},
        {"\"Debug\"=dword:00000002\n", false, false},
        {"\"Debug\"=dword:00000003\n", true, false},
        {"\"Debug\"=dword:00000004\n", false, false},
        {"\"Debug\"=\"3\"\n", false, false},
        {"\"DebugFile\"=dword:00000001\n", false, true},
        {"\"DebugFile\"=dword:00000003\n", false, false},
        {"\"DebugFile\"=\"1\"\n", false, false},
        {"\"Debug\"=dword:00000003\n\"DebugFile\"=dword:00000001\n", true, true},
    };
    for (const Case& c : cases) {
        const Settings s = SettingsFor(c.values);
        EXPECT_EQ(s.toDebugger, c.debugger) << c.values.constData();
        EXPECT_EQ(s.toFile, c.file) << c.values.constData();
    }
}

TEST(DebugSettingsTest, ModesOtherThanZeroIgnoreTheRegistry) {
    TempRegistry reg(DebugKey("\"Debug\"=dword:00000000\n\"DebugFile\"=dword:00000000\n"));
    std::int16_t mode = 1;
    ReadDebugSettings(mode);
    EXPECT_TRUE(DebugToDebugger());
    EXPECT_FALSE(DebugToFile());
    mode = 2;
    ReadDebugSettings(mode);
    EXPECT_TRUE(DebugToDebugger());
    EXPECT_TRUE(DebugToFile());
    mode = 7;
    ReadDebugSettings(mode);
    EXPECT_FALSE(DebugToDebugger());
    EXPECT_FALSE(DebugToFile());
}

class WriteLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.set("TEMP", dir.path().toLocal8Bit());
        SetDebuggerSink([this](const QString& s) { debugger << s; });
    }
    void TearDown() override {
        SetDebuggerSink({});
        std::int16_t off = -1;
        ReadDebugSettings(off);
    }
    void sinks(std::int16_t mode) { ReadDebugSettings(mode); }
    QByteArray logFile() const {
        QFile f(dir.path() + "/kelio.log");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    ScopedEnv env;
    QStringList debugger;
};

TEST_F(WriteLogTest, LinesCarryDateTimeTitlePlaceAndMessage) {
    sinks(2);
    QString fileName = QStringLiteral("kelio.log");
    WriteLog(QStringLiteral("Diagnosis.ReadDiag"), QString(), fileName);
    EXPECT_EQ(fileName, dir.path() + "/kelio.log") << "the caller's variable gets the full path";

    const QString line = QString::fromUtf8(logFile());
    EXPECT_TRUE(line.endsWith(QStringLiteral(": RQ16DtmControls::Diagnosis.ReadDiag: \r\n")))
        << line.toStdString();
    // date ", " time ": " ...
    const qsizetype comma = line.indexOf(QStringLiteral(", "));
    ASSERT_GT(comma, 0);
    EXPECT_LT(comma, line.indexOf(QStringLiteral(": RQ16DtmControls")));
    ASSERT_EQ(debugger.size(), 1);
    EXPECT_EQ(debugger[0], QStringLiteral("kelio::RQ16DtmControls::Diagnosis.ReadDiag: "));
}

TEST_F(WriteLogTest, TempWithAndWithoutTrailingSeparatorGiveTheSamePath) {
    sinks(2);
    QString withoutSlash = QStringLiteral("kelio.log");
    WriteLog(QStringLiteral("A.B"), QStringLiteral("one"), withoutSlash);
    env.set("TEMP", (dir.path() + "/").toLocal8Bit());
    QString withSlash = QStringLiteral("kelio.log");
    WriteLog(QStringLiteral("A.B"), QStringLiteral("two"), withSlash);
    EXPECT_EQ(withoutSlash, withSlash);
    EXPECT_EQ(logFile().count("\r\n"), 2);
}

TEST_F(WriteLogTest, OnlyTheExactDefaultNameMovesIntoTemp) {
    sinks(2);
    const QString other = dir.path() + "/other.log";
    QString fileName = other;
    WriteLog(QStringLiteral("A.B"), QStringLiteral("x"), fileName);
    EXPECT_EQ(fileName, other);
    EXPECT_TRUE(FileExists(other));
    EXPECT_FALSE(FileExists(dir.path() + "/kelio.log"));

    // The match is case-sensitive: another spelling is used as given,
    // relative to the working folder.
    const QString previous = QDir::currentPath();
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    QString upper = QStringLiteral("KELIO.LOG");
    WriteLog(QStringLiteral("A.B"), QStringLiteral("x"), upper);
    QDir::setCurrent(previous);
    EXPECT_EQ(upper, QStringLiteral("KELIO.LOG"));
    EXPECT_TRUE(FileExists(work.path() + "/KELIO.LOG"));

    sinks(1); // file sink off: the name stays as given
    QString plain = QStringLiteral("kelio.log");
    WriteLog(QStringLiteral("A.B"), QStringLiteral("x"), plain);
    EXPECT_EQ(plain, QStringLiteral("kelio.log"));
}

TEST_F(WriteLogTest, LineBreaksMakeOneFileEntryAndOneDebuggerStringPerPiece) {
    sinks(2);
    WriteLog(QStringLiteral("P.Q"), QStringLiteral("first\r\nsecond"));
    EXPECT_EQ(logFile().count("RQ16DtmControls::"), 1);
    EXPECT_TRUE(logFile().endsWith("P.Q: first\r\nsecond\r\n"));
    QFile::remove(dir.path() + "/kelio.log");
    sinks(1);
    WriteLog(QStringLiteral("P"), QStringLiteral("ends with break\r\n"));
    WriteLog(QStringLiteral("P"), QStringLiteral("a\r\n\r\nb"));
    WriteLog(QStringLiteral("P"), QString());
    EXPECT_EQ(
        debugger,
        (QStringList{"kelio::RQ16DtmControls::P.Q: first", "kelio::RQ16DtmControls::P.Q: second",
                     "kelio::RQ16DtmControls::P: ends with break", "kelio::RQ16DtmControls::P: a",
                     "kelio::RQ16DtmControls::P: ", "kelio::RQ16DtmControls::P: b",
                     "kelio::RQ16DtmControls::P: "}));
    EXPECT_TRUE(logFile().isEmpty()) << "file sink is off";
}

TEST_F(WriteLogTest, ADeletedLogIsCreatedAgain) {
    sinks(2);
    WriteLog(QStringLiteral("P"), QStringLiteral("1"));
    ASSERT_TRUE(QFile::remove(dir.path() + "/kelio.log"));
    WriteLog(QStringLiteral("P"), QStringLiteral("2"));
    EXPECT_TRUE(logFile().endsWith("P: 2\r\n"));
    EXPECT_EQ(logFile().count("\r\n"), 1);
}

TEST(AppendToFileTest, CreateAppendAndRewrite) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/f.txt";
    AppendToFile(path, QStringLiteral("ignored"), true, false);
    EXPECT_FALSE(FileExists(path)) << "not created when create-if-missing is false";
    AppendToFile(path, QStringLiteral("one"), true, true);
    AppendToFile(path, QStringLiteral("two"), true, false);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("one\r\ntwo\r\n"));
    f.close();
    AppendToFile(path, QStringLiteral("three"), false, false);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("three\r\n"));

    // Errors end the operation silently.
    AppendToFile(dir.path() + "/no/such/folder/x.txt", QStringLiteral("x"), true, true);
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.path() + "/missing"));
}

} // namespace
