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

TEST(DamagedFiles, RegistryFilesThatCannotBeReadAreToldOnceAndHelpFilesNeverBlock) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
    QFile huge(dir.filePath(QStringLiteral("huge")));
    huge.open(QIODevice::WriteOnly) && huge.resize(kMaxRegistryFileSize + 1);
    const QString corpus = QStringLiteral(RQ16_TEST_CORPUS "/registry_file/");
    test::ScopedEnv env;
    DebugLog log;
    QStringList told;
    SetRegistryProblemSink([&](const QString& problem) { told << problem; });
    for (const auto& [path, debug, problem] : std::vector<std::tuple<QString, int, QString>>{
             {corpus + "utf16le_bom.reg", 1, {}}, // as the registry editor exports it
             {corpus + "utf16le_no_bom.reg", 1, {}},
             {corpus + "odd_values.reg", 0, {}},
             {corpus + "garbage.reg", 0, "it is not text in UTF-8 or UTF-16"},
             {corpus + "prose.reg", 0, "line 3 is not in the .reg syntax"},
             {fifo, 0, "it is not a regular file"},
             {huge.fileName(), 0, "it is larger than 16777216 bytes"},
             {dir.path(), 0, "it is a folder, not a file"},
             {QStringLiteral("/dev/zero"), 0, "it is not a regular file"}}) {
        env.set("RQ16_REGISTRY_FILE", QFile::encodeName(path));
        told.clear();
        for (int read = 0; read < 2; ++read) {
            EXPECT_TRUE(ReadRegistryValue(QStringLiteral("SOFTWARE\\Orlin\\DTM kelio-DP"),
                                          QStringLiteral("Debug"))
                            .equalsNumber(debug))
                << qPrintable(path);
        }
        EXPECT_EQ(told, problem.isEmpty() ? QStringList()
                                          : QStringList("The registry file " + path +
                                                        " cannot be read: " + problem +
                                                        ". Its values are not used."));
        log.clear();
        EXPECT_EQ(ShowHelp(path, 0, nullptr), 0);
        EXPECT_EQ(log.lines().filter(QStringLiteral("cannot be read")).size(),
                  path.startsWith(corpus) ? 0 : 1)
            << qPrintable(path);
    }
    SetRegistryProblemSink({});
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
