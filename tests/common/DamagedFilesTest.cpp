// The registry file and the help map as others may leave them: refused
// without blocking or reading without bound; help pages outside the help
// folder are never shown.

#include "common/HelpUtilities.h"
#include "common/RegManagement.h"

#include "LogCapture.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace rq16;

namespace {

/// The debug log captured, with the debugger output switched on.
struct DebugLog : test::LogCapture {
    DebugLog() { ReadDebugSettings(on); }
    std::int16_t on = 1;
};

TEST(DamagedFiles, RegistryAndHelpFilesAreRefusedButNeverBlock) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
    QFile huge(dir.filePath(QStringLiteral("huge")));
    huge.open(QIODevice::WriteOnly) && huge.resize(kMaxRegistryFileSize + 1);
    const QString corpus = QStringLiteral(RQ16_TEST_CORPUS "/registry_file/");
    test::ScopedEnv env;
    DebugLog log;
    for (const auto& [path, debug] : std::vector<std::pair<QString, int>>{
             {corpus + "utf16le_bom.reg", 1}, // as the registry editor exports it
             {corpus + "odd_values.reg", 0},
             {fifo, 0},
             {huge.fileName(), 0},
             {dir.path(), 0},
             {QStringLiteral("/dev/zero"), 0}}) {
        env.set("RQ16_REGISTRY_FILE", QFile::encodeName(path));
        EXPECT_TRUE(ReadRegistryValue(QStringLiteral("SOFTWARE\\Orlin\\DTM kelio-DP"),
                                      QStringLiteral("Debug"))
                        .equalsNumber(debug))
            << qPrintable(path);
        log.clear();
        EXPECT_EQ(ShowHelp(path, 0, nullptr), 0);
        EXPECT_EQ(log.lines().filter(QStringLiteral("cannot be read")).size(),
                  path.startsWith(corpus) ? 0 : 1)
            << qPrintable(path);
    }
}

TEST(DamagedFiles, HelpPagesOutsideTheHelpFolderAreRefusedAndLogged) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("kelio/folder"));
    QFile::link(QStringLiteral("/etc/hostname"), dir.filePath(QStringLiteral("kelio/link.html")));
    QFile map(dir.filePath(QStringLiteral("kelio.chm")));
    map.open(QIODevice::WriteOnly) &&
        map.write("1=../../etc/passwd\n2=/etc/passwd\n3=link.html\n4=folder\n");
    map.close();
    DebugLog log;
    for (const int id : {1, 2, 3, 4}) {
        log.clear();
        EXPECT_EQ(ShowHelp(map.fileName(), id, nullptr), 0) << id;
        EXPECT_EQ(log.lines().filter(QStringLiteral("refused")).size(), 1) << id;
    }
    EXPECT_EQ(OpenHelpWindowCount(), 0);
}

} // namespace
