#include "standins/resources/ResourceManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using rq16::ComError;
using rq16::standins::ResourceManager;

namespace {

const QString kCommon = QStringLiteral(RQ16_TEST_COMMON_FOLDER);
const QString kDevice = QStringLiteral(RQ16_TEST_DEVICE_FOLDER);

std::vector<int> Range(int first, int last) {
    std::vector<int> ids;
    for (int id = first; id <= last; ++id) {
        ids.push_back(id);
    }
    return ids;
}

template <typename... Lists> std::vector<int> Join(const Lists&... lists) {
    std::vector<int> all;
    (all.insert(all.end(), lists.begin(), lists.end()), ...);
    return all;
}

void WriteFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

} // namespace

TEST(ResourceData, EveryTextTheViewsUseExistsInItsFolder) {
    const auto common =
        Join(std::vector<int>{115, 1127, 1128, 1138, 4001, 5004, 5005, 6501, 9070},
             Range(1050, 1059), Range(1101, 1106), Range(6001, 6011), Range(6101, 6103),
             Range(6110, 6114), Range(7001, 7022), Range(7101, 7108), Range(9061, 9064),
             Range(9066, 9069), Range(8001, 8009));
    const auto device = Join(Range(1001, 1012), Range(2001, 2007));
    ResourceManager manager(kCommon);
    for (int id : common) {
        EXPECT_FALSE(manager.GetString(id, kCommon).trimmed().isEmpty()) << "common text " << id;
    }
    for (int id : device) {
        EXPECT_FALSE(manager.GetString(id, kDevice).trimmed().isEmpty()) << "device text " << id;
    }
    EXPECT_TRUE(manager.GetString(1009, kDevice).contains(QStringLiteral("%1")));
    EXPECT_EQ(manager.GetString(1101, kCommon), QStringLiteral("Short circuit"));
}

TEST(ResourceData, EveryPictureRendersAtNaturalAndRequestedSize) {
    const auto ids =
        Join(Range(452, 499), std::vector<int>{113, 126, 150, 152, 153, 155, 602, 610, 1000});
    ResourceManager manager(kCommon);
    for (int id : ids) {
        const QPixmap natural = manager.LoadPicture(id, 0, 0, kCommon);
        ASSERT_FALSE(natural.isNull()) << "picture " << id;
        EXPECT_GT(natural.width(), 8) << "picture " << id;
        const QPixmap sized = manager.LoadPicture(id, 40, 50, QString());
        EXPECT_EQ(sized.size(), QSize(40, 50)) << "picture " << id;
        // Something is drawn: not every pixel is transparent.
        const QImage image = natural.toImage();
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; ++y) {
            for (int x = 0; x < image.width() && !drawn; ++x) {
                drawn = qAlpha(image.pixel(x, y)) != 0;
            }
        }
        EXPECT_TRUE(drawn) << "picture " << id;
    }
    EXPECT_EQ(manager.LoadPicture(452, 0, 0, kCommon).size(), QSize(32, 48));
    // Only one side given: the other follows the aspect ratio.
    EXPECT_EQ(manager.LoadPicture(602, 0, 90, kCommon).size(), QSize(60, 90));
}

TEST(ResourceTextFiles, EscapesCommentsAndMalformedLines) {
    const auto texts =
        ResourceManager::ParseTexts(QStringLiteral("# comment\r\n"
                                                   "1\tline one\\nline two\r\n"
                                                   "2\ta\\tb\n"
                                                   "3\tback\\\\slash and \\q unknown\n"
                                                   "   \n"
                                                   "x\tnot a number\n"
                                                   "4 no tab\n"
                                                   "5\t\n"
                                                   "6\ttrailing backslash\\\n"
                                                   "1\tlater lines win\n"));
    EXPECT_EQ(texts.value(1), QStringLiteral("later lines win"));
    EXPECT_EQ(texts.value(2), QStringLiteral("a\tb"));
    EXPECT_EQ(texts.value(3), QStringLiteral("back\\slash and \\q unknown"));
    EXPECT_TRUE(texts.contains(5));
    EXPECT_TRUE(texts.value(5).isEmpty());
    EXPECT_EQ(texts.value(6), QStringLiteral("trailing backslash\\"));
    EXPECT_FALSE(texts.contains(4));
    EXPECT_EQ(texts.size(), 5);

    EXPECT_EQ(ResourceManager::ParseTexts(QStringLiteral("7\tx\\ny")).value(7),
              QStringLiteral("x\ny"));
}

TEST(ResourceTextFiles, LanguageFallsBackToRegionlessThenEnglish) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteFile(dir.filePath(QStringLiteral("texts.en.txt")), "1\tone\n2\ttwo\n3\tthree\n");
    WriteFile(dir.filePath(QStringLiteral("texts.de.txt")), "1\teins\n2\tzwei\n");
    WriteFile(dir.filePath(QStringLiteral("texts.de-AT.txt")), "1\toans\n");

    ResourceManager manager(dir.path());
    manager.SetLanguage(QStringLiteral("de-AT"));
    EXPECT_EQ(manager.GetString(1, QString()), QStringLiteral("oans"));
    EXPECT_EQ(manager.GetString(2, QString()), QStringLiteral("zwei"));
    EXPECT_EQ(manager.GetString(3, QString()), QStringLiteral("three"));
    manager.SetLanguage(QStringLiteral("fr"));
    EXPECT_EQ(manager.GetString(1, QString()), QStringLiteral("one"));
    EXPECT_THROW(manager.GetString(4, QString()), ComError);
}
