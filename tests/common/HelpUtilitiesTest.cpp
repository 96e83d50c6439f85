#include "common/HelpUtilities.h"
#include "common/AppFolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QWidget>

#include <gtest/gtest.h>

using namespace rq16;

namespace {

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(dir.path()).mkpath("kelio");
        write("kelio.chm",
              "# topics\ndefault=index.html\n25600=diagnosis.html\n25200=missing.html\n");
        write("kelio/index.html",
              "<html><head><title>Contents</title></head><body>Index</body></html>");
        write("kelio/diagnosis.html",
              "<html><head><title>Diagnosis</title></head><body>Diagnosis help</body></html>");
    }
    void TearDown() override { CloseAllHelp(nullptr); }
    void write(const QString& name, const QByteArray& text) {
        QFile f(dir.path() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QString helpFile() const { return dir.path() + "/kelio.chm"; }
    static QString shownText() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* b = w->findChild<QTextBrowser*>(); b && w->isVisible()) {
                return b->toPlainText();
            }
        }
        return {};
    }
    QTemporaryDir dir;
};

TEST_F(HelpTest, OneWindowPerHelpFileShowsTheTopicOfTheContextIdOrTheDefault) {
    EXPECT_NE(ShowHelp(helpFile(), 25600, nullptr), 0);
    EXPECT_EQ(shownText(), QStringLiteral("Diagnosis help"));
    EXPECT_NE(ShowHelp(helpFile(), 0, nullptr), 0);
    EXPECT_EQ(shownText(), QStringLiteral("Index"));
    EXPECT_EQ(OpenHelpWindowCount(), 1);

    // Another help file gets its own window; CloseAllHelp closes them all.
    QTemporaryDir other;
    QDir(other.path()).mkpath("kelio");
    QFile::copy(helpFile(), other.path() + "/kelio.chm");
    QFile::copy(dir.path() + "/kelio/diagnosis.html", other.path() + "/kelio/diagnosis.html");
    ASSERT_NE(ShowHelp(other.path() + "/kelio.chm", 25600, nullptr), 0);
    EXPECT_EQ(OpenHelpWindowCount(), 2);
    CloseAllHelp(nullptr);
    EXPECT_EQ(OpenHelpWindowCount(), 0);
}

TEST_F(HelpTest, UnknownTopicsAndFilesGiveZero) {
    EXPECT_EQ(ShowHelp(helpFile(), 12345, nullptr), 0);
    EXPECT_EQ(ShowHelp(helpFile(), 25200, nullptr), 0) << "the mapped page does not exist";
    EXPECT_EQ(ShowHelp(dir.path() + "/none.chm", 0, nullptr), 0);
    EXPECT_EQ(OpenHelpWindowCount(), 0);
}

TEST(ShippedHelp, EveryTopicHasAGermanPageAndOtherLanguagesFallBackToEnglish) {
    const QString german = HelpFilePath(QStringLiteral("de"));
    ASSERT_TRUE(german.endsWith(QStringLiteral("/help/de/kelio.chm")));
    for (const char* other : {"en", "fr", "../de", ""}) {
        EXPECT_EQ(HelpFilePath(QString::fromLatin1(other)), HelpFilePath()) << other;
    }
    QFile english(HelpFilePath());
    ASSERT_TRUE(english.open(QIODevice::ReadOnly));
    const HelpMap topics = ParseHelpMap(QString::fromUtf8(english.readAll()));
    ASSERT_FALSE(topics.pages.empty());
    for (const auto& [id, page] : topics.pages) {
        EXPECT_NE(ShowHelp(german, id, nullptr), 0) << "no German page for topic " << id;
    }
    CloseAllHelp(nullptr);
}

} // namespace
