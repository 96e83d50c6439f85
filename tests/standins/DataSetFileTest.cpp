// The data set and resource text files as others may leave them: refused
// with the file and the problem named; unknown members, the mode and a link
// kept by a save.

#include "standins/dtm/RQ16Dtm.h"
#include "standins/resources/ResourceManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace rq16;
using namespace rq16::standins;

namespace {

const QString kCorpus = QStringLiteral(RQ16_TEST_CORPUS) + QStringLiteral("/data_set/");

/// A FIFO and a file one byte over `size` in `dir`.
std::pair<QString, QString> OddFiles(const QTemporaryDir& dir, qint64 size) {
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
    QFile huge(dir.filePath(QStringLiteral("huge")));
    huge.open(QIODevice::WriteOnly) && huge.resize(size + 1);
    return {fifo, huge.fileName()};
}

template <typename Read>
void ExpectRefused(const QString& path, const QString& problem, Read read) {
    try {
        read(path);
        ADD_FAILURE() << qPrintable(path) << " was read";
    } catch (const ComError& e) {
        EXPECT_TRUE(e.description().contains(path) && e.description().contains(problem))
            << qPrintable(e.description());
    }
}

TEST(DamagedFiles, DataSetFilesAreRefusedNamingFileAndProblem) {
    QTemporaryDir dir;
    const auto [fifo, huge] = OddFiles(dir, DataSet::kMaxFileSize);
    const QString wholeNumber = QStringLiteral("must be a whole number from 0");
    for (const auto& [path, problem] : std::vector<std::pair<QString, QString>>{
             {kCorpus + "empty.json", "it is not JSON text"},
             {kCorpus + "truncated.json", "it is not JSON text"},
             {kCorpus + "binary.json", "it is not JSON text"},
             {kCorpus + "array.json", "it is not a JSON object"},
             {kCorpus + "odd_hex.json", "'parameterBytes' must be hexadecimal"},
             {kCorpus + "non_hex.json", "'parameterBytes' must be hexadecimal"},
             {kCorpus + "version_7.json", "its version 7 is unknown"},
             {kCorpus + "no_format.json", "it has no member 'format'"},
             {kCorpus + "slot_text.json", "'slotNumber' " + wholeNumber},
             {kCorpus + "slot_huge.json", "'slotNumber' " + wholeNumber},
             {kCorpus + "slot_fraction.json", "'slotNumber' " + wholeNumber},
             {kCorpus + "slot_negative.json", "'slotNumber' " + wholeNumber},
             {kCorpus + "type_name_number.json", "'typeName' must be a text"},
             {kCorpus + "tags_not_texts.json", "'channelTags' must be a list of at most 8"},
             {dir.path(), "it is a folder"},
             {fifo, "it is not a regular file"},
             {QStringLiteral("/dev/zero"), "it is not a regular file"},
             {huge, "it is larger than 67108864 bytes"}}) {
        ExpectRefused(path, problem, [](const QString& p) { DataSet::Load(p); });
    }
}

TEST(DamagedFiles, ResourceTextFilesAreRefusedNamingFileAndProblem) {
    QTemporaryDir dir;
    const auto [fifo, huge] = OddFiles(dir, 4 * 1024 * 1024);
    for (const auto& [path, problem] :
         std::vector<std::pair<QString, QString>>{{dir.filePath("folder"), "it is a folder"},
                                                  {fifo, "it is not a regular file"},
                                                  {huge, "it is larger than"}}) {
        QDir(path).mkpath(QStringLiteral("."));
        QDir(dir.path()).mkpath(QStringLiteral("texts"));
        QFile::remove(dir.filePath(QStringLiteral("texts/texts.en.txt")));
        QFile::link(path, dir.filePath(QStringLiteral("texts/texts.en.txt")));
        ResourceManager::ClearCache();
        ExpectRefused(
            dir.filePath(QStringLiteral("texts/texts.en.txt")), problem,
            [&](const QString&) { ResourceManager().GetString(6001, dir.filePath("texts")); });
    }
}

TEST(DataSetFile, UnknownMembersTheModeAndALinkSurviveASave) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("set.json"));
    ASSERT_TRUE(QFile::copy(kCorpus + "good.json", path));
    const auto mode = [&] {
        struct stat info {};
        ::stat(QFile::encodeName(path).constData(), &info);
        return info.st_mode & 07777;
    };
    ::chmod(QFile::encodeName(path).constData(), 0640);
    RQ16Dtm::Options options;
    options.dataSetFile = path;
    RQ16Dtm dtm(options);
    IParameterManager* manager = dtm.DtmKernel()->ParameterManager();
    manager->SetStoredComment(QStringLiteral("changed"));
    dtm.DtmKernel()->UiManager()->RequestDataSetSave();
    const DataSet saved = DataSet::Load(path);
    EXPECT_EQ(saved.comment, QStringLiteral("changed"));
    EXPECT_EQ(saved.otherMembers, DataSet::Load(kCorpus + "good.json").otherMembers);
    EXPECT_FALSE(saved.otherMembers.isEmpty());
    EXPECT_EQ(mode(), 0640u);

    // Through a link, the file it points to is replaced; the link stays.
    const QString link = dir.filePath(QStringLiteral("link.json"));
    QFile::link(path, link);
    DataSet().Save(link);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(DataSet::Load(path), DataSet());
    EXPECT_EQ(mode(), 0640u);
}

} // namespace
