#include "TestFiles.h"

#include "common/DebugHelper.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <thread>

using namespace rq16;
using rq16::test::DebugKey;
using rq16::test::ScopedEnv;
using rq16::test::TempRegistry;

namespace {

TEST(DebugSettingsTest, TheModeAndTheRegistrySwitchTheSinks) {
    struct Case {
        std::int16_t mode;
        QByteArray values;
        bool debugger;
        bool file;
    };
    const QByteArray bothOn = "\"Debug\"=dword:00000003\n\"DebugFile\"=dword:00000001\n";
    const Case cases[] = {
        {0, "", false, false},
        {0, "\"Debug\"=dword:00000001\n", true, false},
        {0, "\"Debug\"=dword:00000002\n", false, false},
        {0, bothOn, true, true},
        {0, "\"Debug\"=dword:00000004\n", false, false},
        {0, "\"Debug\"=\"3\"\n", false, false},
        {0, "\"DebugFile\"=dword:00000001\n", false, true},
        {0, "\"DebugFile\"=dword:00000003\n", false, false},
        {0, "\"DebugFile\"=\"1\"\n", false, false},
        {1, bothOn, true, false}, // modes other than 0 ignore the registry
        {2, "", true, true},
        {7, bothOn, false, false},
    };
    for (const Case& c : cases) {
        TempRegistry reg(DebugKey(c.values));
        std::int16_t mode = c.mode;
        ReadDebugSettings(mode);
        EXPECT_EQ(DebugToDebugger(), c.debugger) << c.mode << " " << c.values.constData();
        EXPECT_EQ(DebugToFile(), c.file) << c.mode << " " << c.values.constData();
    }
    // A thread that has not read the settings logs nowhere.
    std::thread([] { EXPECT_FALSE(DebugToFile() || DebugToDebugger()); }).join();
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

TEST_F(WriteLogTest, FileEntriesGoToTempWithDateTimeTitlePlaceAndMessage) {
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

    // A deleted log is created again; TEMP may end with a separator.
    ASSERT_TRUE(QFile::remove(fileName));
    env.set("TEMP", (dir.path() + "/").toLocal8Bit());
    WriteLog(QStringLiteral("P"), QStringLiteral("2"));
    EXPECT_TRUE(logFile().endsWith("P: 2\r\n"));
    EXPECT_EQ(logFile().count("\r\n"), 1);

    // Without TEMP the log goes to TMPDIR; the folder is looked up for every entry.
    QTemporaryDir tmpdir;
    env.set("TMPDIR", tmpdir.path().toLocal8Bit());
    env.unset("TEMP");
    WriteLog(QStringLiteral("P"), QStringLiteral("3"));
    EXPECT_TRUE(FileExists(tmpdir.path() + "/kelio.log"));
    env.set("TEMP", dir.path().toLocal8Bit());

    // A log that is a FIFO without a reader loses the entry without waiting.
    QString fifo = dir.path() + "/fifo.log";
    ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
    WriteLog(QStringLiteral("P"), QStringLiteral("4"), fifo);

    // Another name is used as given, and so is the default one while the file sink is off.
    QString other = dir.path() + "/other.log";
    WriteLog(QStringLiteral("A.B"), QStringLiteral("x"), other);
    EXPECT_EQ(other, dir.path() + "/other.log");
    EXPECT_TRUE(FileExists(other));
    sinks(1);
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

    // Errors end the operation silently, a failed write too.
    AppendToFile(QStringLiteral("/dev/full"), QStringLiteral("x"), true, true);
    AppendToFile(dir.path() + "/no/such/folder/x.txt", QStringLiteral("x"), true, true);
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.path() + "/missing"));
}

} // namespace
