// The data set file as others may leave it: damaged files are refused with
// the file and the problem named, members the program does not know survive
// a save, and a file that cannot be written changes nothing.

#include "standins/dtm/RQ16Dtm.h"
#include "standins/resources/ResourceManager.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace rq16;
using namespace rq16::standins;

namespace {

const QString kCorpus = QStringLiteral(RQ16_TEST_CORPUS) + QStringLiteral("/data_set/");

RQ16Dtm::Options On(const QString& path) {
    RQ16Dtm::Options options;
    options.dataSetFile = path;
    return options;
}

unsigned Mode(const QString& path) {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 07777;
}

QString LoadError(const QString& path) {
    try {
        DataSet::Load(path);
    } catch (const ComError& e) {
        return e.description();
    }
    return QStringLiteral("(loaded)");
}

TEST(DataSetFile, DamagedFilesAreRefusedNamingFileAndProblem) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile huge(dir.filePath(QStringLiteral("huge.json")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(DataSet::kMaxFileSize + 1));
    const std::vector<std::pair<QString, QString>> cases = {
        {kCorpus + "empty.json", "it is not JSON text"},
        {kCorpus + "truncated.json", "it is not JSON text"},
        {kCorpus + "binary.json", "it is not JSON text"},
        {kCorpus + "array.json", "it is not a JSON object"},
        {kCorpus + "odd_hex.json", "'parameterBytes' must be hexadecimal"},
        {kCorpus + "non_hex.json", "'parameterBytes' must be hexadecimal"},
        {kCorpus + "version_7.json", "its version 7 is unknown"},
        {kCorpus + "no_format.json", "it has no member 'format'"},
        {kCorpus + "slot_text.json", "'slotNumber' must be a whole number from 0"},
        {kCorpus + "slot_huge.json", "'slotNumber' must be a whole number from 0"},
        {kCorpus + "slot_fraction.json", "'slotNumber' must be a whole number from 0"},
        {kCorpus + "slot_negative.json", "'slotNumber' must be a whole number from 0"},
        {kCorpus + "type_name_number.json", "'typeName' must be a text"},
        {kCorpus + "tags_not_texts.json", "'channelTags' must be a list of at most 8 texts"},
        {dir.path(), "it is a folder"},
        {fifo, "it is not a regular file"},
        {QStringLiteral("/dev/zero"), "it is not a regular file"},
        {huge.fileName(), "it is larger than 4194304 bytes"},
    };
    for (const auto& [path, problem] : cases) {
        const QString message = LoadError(path);
        EXPECT_TRUE(message.contains(path) && message.contains(problem))
            << qPrintable(path) << ": " << qPrintable(message);
    }
}

TEST(DataSetFile, UnknownMembersSurviveASave) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("set.json"));
    ASSERT_TRUE(QFile::copy(kCorpus + "good.json", path));
    ::chmod(QFile::encodeName(path).constData(), 0640);
    {
        RQ16Dtm dtm(On(path));
        dtm.parameters().SetStoredComment(QStringLiteral("changed"));
        dtm.parameters().Save();
    }
    const DataSet saved = DataSet::Load(path);
    EXPECT_EQ(saved.comment, QStringLiteral("changed"));
    EXPECT_EQ(saved.otherMembers, DataSet::Load(kCorpus + "good.json").otherMembers);
    EXPECT_FALSE(saved.otherMembers.isEmpty());
    EXPECT_EQ(Mode(path), 0640u) << "the file keeps its mode";
}

TEST(DataSetFile, AFailedWriteNamesTheFileAndLeavesFileAndMemoryAsTheFileHolds) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("set.json"));
    ASSERT_TRUE(QFile::copy(kCorpus + "good.json", path));
    ::chmod(QFile::encodeName(path).constData(), 0444);
    RQ16Dtm dtm(On(path));
    IParameterManager* manager = dtm.DtmKernel()->ParameterManager();
    const ByteArray before = dtm.parameters().data().parameterBytes;

    manager->SetParameterBytes({1, 2, 3, 4, 5});
    try {
        manager->CommitParameters();
        ADD_FAILURE() << "a read-only file was written";
    } catch (const ComError& e) {
        EXPECT_EQ(e.number(), kErrFileAccess);
        EXPECT_TRUE(e.description().contains(path)) << qPrintable(e.description());
        EXPECT_TRUE(e.description().contains(QStringLiteral("read-only")));
    }
    ByteArray bytes;
    manager->GetParameterBytes(bytes);
    EXPECT_EQ(bytes, before) << "no half-applied state in memory";
    manager->SetStoredComment(QStringLiteral("not saved"));
    EXPECT_THROW(dtm.DtmKernel()->UiManager()->RequestDataSetSave(), ComError);
    EXPECT_EQ(manager->StoredComment(), QStringLiteral("first line\nsecond"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QFile original(kCorpus + "good.json");
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), original.readAll());
    EXPECT_EQ(Mode(path), 0444u);
}

TEST(ResourceTextFiles, UnreadableTextFilesAreRefusedNamingFileAndProblem) {
    QTemporaryDir dir;
    const auto folder = [&](const char* name) {
        QDir(dir.path()).mkpath(QString::fromLatin1(name));
        return dir.filePath(QString::fromLatin1(name)) + QStringLiteral("/texts.en.txt");
    };
    const QString asFolder = folder("folder");
    QDir().mkpath(asFolder);
    const QString fifo = folder("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile huge(folder("huge"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(4 * 1024 * 1024 + 1));
    ResourceManager::ClearCache();
    for (const auto& [file, problem] :
         std::vector<std::pair<QString, QString>>{{asFolder, "it is a folder"},
                                                  {fifo, "it is not a regular file"},
                                                  {huge.fileName(), "it is larger than"}}) {
        ResourceManager texts;
        try {
            texts.GetString(6001, QFileInfo(file).path());
            ADD_FAILURE() << qPrintable(file);
        } catch (const ComError& e) {
            EXPECT_TRUE(e.description().contains(file) && e.description().contains(problem))
                << qPrintable(e.description());
        }
    }
}

} // namespace
