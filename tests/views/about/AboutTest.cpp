#include "views/about/About.h"

#include "FakeHost.h"
#include "LogCapture.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace rq16;
using namespace rq16::test;

namespace {

class AboutTest : public ::testing::Test {
protected:
    void SetUp() override { FakeResourceManager::resetShared(); }
    void TearDown() override { FakeResourceManager::resetShared(); }
    bool init(const QString& id = QStringLiteral("ABOUT-1")) {
        return view.IDtmActiveXControl_Init(id, QStringLiteral("<FunctionCall/>"), &dtm);
    }

    CallLog log;
    FakeComponentFactory factory{log};
    FakeDtm dtm{log};
    About view;
};

TEST_F(AboutTest, ShowsNameRevisionsLegalTextAndPictures) {
    LogCapture capture;
    EXPECT_TRUE(init());
    EXPECT_EQ(view.lblDtmName->text(), QStringLiteral("RQ16 DO8 DTM"));
    EXPECT_EQ(view.lblTextDtmRevision->text(), QStringLiteral("2.3.1"));
    EXPECT_EQ(view.lblTextFdtRevision->text(), QStringLiteral("1.2"));
    EXPECT_EQ(view.lblLegalText->text(), QStringLiteral("T5004T5005"));

    EXPECT_EQ(FakeResourceManager::PictureId(view.Image1->pixmap()), 113);
    EXPECT_EQ(FakeResourceManager::PictureId(view.Picture1->pixmap()), 126);
    // Each picture takes its size from its control and the empty folder.
    EXPECT_TRUE(log.contains(QStringLiteral("ResourceManager.LoadPicture(113,%1,%2,)")
                                 .arg(view.Image1->width())
                                 .arg(view.Image1->height())));
    EXPECT_TRUE(log.contains(QStringLiteral("ResourceManager.LoadPicture(126,%1,%2,)")
                                 .arg(view.Picture1->width())
                                 .arg(view.Picture1->height())));

    EXPECT_EQ(log.matching("UiManager."), std::vector<QString>{"UiManager.InitFinished(ABOUT-1)"});
    EXPECT_TRUE(capture.lines().isEmpty())
        << "About logs nothing: " << capture.lines().join('\n').toStdString();
    EXPECT_EQ(log.count("Factory.CreateResourceManager"), 1) << "no device resource manager";
}

TEST_F(AboutTest, FdtVersionNumbersArePlainDecimals) {
    dtm.kernel.information.document = QStringLiteral("Name|1.0|10|0");
    init();
    EXPECT_EQ(view.lblTextFdtRevision->text(), QStringLiteral("10.0"));
}

TEST_F(AboutTest, AnUnreadableInformationDocumentKeepsTheDesignCaptions) {
    dtm.kernel.information.document = QStringLiteral("!not an information document");
    EXPECT_TRUE(init());
    EXPECT_EQ(view.lblDtmName->text(), QStringLiteral("Device DTM"));
    EXPECT_EQ(view.lblTextDtmRevision->text(), QStringLiteral("2.x"));
    EXPECT_EQ(view.lblTextFdtRevision->text(), QStringLiteral("1.x"));
    EXPECT_EQ(log.count("UiManager.InitFinished(ABOUT-1)"), 1);
}

TEST_F(AboutTest, AnErrorWhileReadingTheInformationEndsInit) {
    dtm.kernel.information.fails = true;
    EXPECT_THROW(init(), ComError);
    EXPECT_EQ(log.count("UiManager.InitFinished"), 0);
}

TEST_F(AboutTest, MissingResourcesAreSkippedOneByOne) {
    FakeResourceManager::failingPictures() = {113};
    FakeResourceManager::failingTexts() = {5005};
    const QString designLegal = view.lblLegalText->text();
    EXPECT_TRUE(init());
    EXPECT_TRUE(view.Image1->pixmap().isNull());
    EXPECT_EQ(FakeResourceManager::PictureId(view.Picture1->pixmap()), 126);
    EXPECT_EQ(view.lblLegalText->text(), designLegal);
}

TEST_F(AboutTest, ControlsWithNumericTagsTakeTheirTexts) {
    auto* common = new QLabel(QStringLiteral("design"), &view);
    common->setProperty("tag", QStringLiteral("6002"));
    auto* own = new QGroupBox(QStringLiteral("design"), &view);
    own->setProperty("tag", 4001);
    auto* untagged = new QLabel(QStringLiteral("keep"), &view);
    untagged->setProperty("tag", QStringLiteral("not a number"));
    init();
    EXPECT_EQ(common->text(), QStringLiteral("T6002"));
    EXPECT_EQ(own->title(), QStringLiteral("T4001"));
    EXPECT_EQ(untagged->text(), QStringLiteral("keep"));
    // Below 5000 the text comes from the server's own folder (empty folder).
    EXPECT_TRUE(log.contains(QStringLiteral("ResourceManager.GetString(4001,)")));
    EXPECT_FALSE(log.contains(QStringLiteral("ResourceManager.GetString(6002,)")));
}

TEST_F(AboutTest, OkRequestsCloseAndReleaseAnswersWithTheInitId) {
    init(QStringLiteral("A-42"));
    log.clear();
    view.cmdOK->click();
    EXPECT_EQ(log.calls(), std::vector<QString>{"UiManager.RequestClose(A-42)"});
    EXPECT_TRUE(view.IDtmActiveXControl_PrepareToRelease());
    EXPECT_EQ(log.calls(), (std::vector<QString>{"UiManager.RequestClose(A-42)",
                                                 "UiManager.PreparedToRelease(A-42)"}));
    view.cmdOK->click();
    EXPECT_EQ(log.count("UiManager.RequestClose"), 1) << "nothing after release";
}

} // namespace
