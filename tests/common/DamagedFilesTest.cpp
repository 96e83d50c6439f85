// The registry file and the help map as others may leave them: what cannot be
// read is refused without blocking or reading without bound, and help pages
// outside the help folder are never shown.

#include "common/HelpUtilities.h"
#include "common/RegManagement.h"

#include "LogCapture.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace rq16;

namespace {

const QString kCorpus = QStringLiteral(RQ16_TEST_CORPUS);
const QString kKey = QStringLiteral("SOFTWARE\\Orlin\\DTM kelio-DP");

/// A folder with a FIFO, a file too large to read and a sub-folder.
struct OddFiles {
    OddFiles() {
        ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
        QFile file(huge);
        file.open(QIODevice::WriteOnly);
        file.resize(kMaxRegistryFileSize + 1);
        QDir(dir.path()).mkdir(QStringLiteral("folder"));
    }
    QTemporaryDir dir;
    QString fifo = dir.filePath(QStringLiteral("fifo"));
    QString huge = dir.filePath(QStringLiteral("huge"));
    QString folder = dir.filePath(QStringLiteral("folder"));
};

TEST(DamagedFiles, RegistryFilesAreReadOrRefusedButNeverBlock) {
    OddFiles odd;
    const std::vector<std::pair<QString, std::int32_t>> cases = {
        {kCorpus + "/registry_file/utf16le_bom.reg", 1}, // as the registry editor exports it
        {kCorpus + "/registry_file/debug_on.reg", 1},
        {kCorpus + "/registry_file/odd_values.reg", 0},
        {odd.fifo, 0},
        {odd.huge, 0},
        {odd.folder, 0},
        {QStringLiteral("/dev/zero"), 0},
    };
    test::ScopedEnv env;
    for (const auto& [path, debug] : cases) {
        env.set("RQ16_REGISTRY_FILE", QFile::encodeName(path));
        EXPECT_TRUE(ReadRegistryValue(kKey, QStringLiteral("Debug")).equalsNumber(debug))
            << qPrintable(path);
    }
}

TEST(DamagedFiles, HelpPagesOutsideTheHelpFolderAreRefusedAndLogged) {
    OddFiles odd;
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("kelio"));
    QFile::link(QStringLiteral("/etc/hostname"), dir.filePath(QStringLiteral("kelio/link.html")));
    QFile::link(odd.fifo, dir.filePath(QStringLiteral("kelio/fifo.html")));
    QFile map(dir.filePath(QStringLiteral("kelio.chm")));
    ASSERT_TRUE(map.open(QIODevice::WriteOnly));
    map.write("1=../../etc/passwd\n2=/etc/passwd\n3=link.html\n4=fifo.html\n5=.\n");
    map.close();
    test::LogCapture log;
    std::int16_t mode = 0; // the registry LogCapture wrote, read as a view does
    ReadDebugSettings(mode);
    for (const int id : {1, 2, 3, 4, 5}) {
        log.clear();
        EXPECT_EQ(ShowHelp(map.fileName(), id, nullptr), 0) << id;
        EXPECT_TRUE(log.lines().join(QLatin1Char('\n')).contains(QStringLiteral("refused")))
            << id << ": " << qPrintable(log.lines().join(QLatin1Char('\n')));
    }
    for (const QString& bad : {odd.fifo, odd.folder, QStringLiteral("/dev/zero")}) {
        log.clear();
        EXPECT_EQ(ShowHelp(bad, 0, nullptr), 0);
        EXPECT_TRUE(log.lines().join(QLatin1Char('\n')).contains(QStringLiteral("cannot be read")))
            << qPrintable(bad);
    }
    EXPECT_EQ(OpenHelpWindowCount(), 0);
}

} // namespace
