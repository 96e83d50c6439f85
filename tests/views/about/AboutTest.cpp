// The About view on the DTM stand-in: what it shows, what it does when the
// DTM's information or a resource is missing, and its two calls.

#include "views/about/About.h"

#include "StandIns.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace rq16;
using namespace rq16::test;

namespace {

class AboutTest : public ::testing::Test {
protected:
    About* Open() {
        rig.dtm.kernel().information().SetInformation({"RQ16 DO8 DTM", "2.3.1", 1, 2});
        return rig.Open<About>();
    }
    StandIns rig;
};

} // namespace

TEST_F(AboutTest, ShowsNameRevisionsLegalTextAndPicturesAndLogsNothing) {
    About* view = Open();
    EXPECT_EQ(view->lblDtmName->text(), "RQ16 DO8 DTM");
    EXPECT_EQ(view->lblTextDtmRevision->text(), "2.3.1");
    EXPECT_EQ(view->lblTextFdtRevision->text(), "1.2");
    EXPECT_TRUE(view->lblLegalText->text().startsWith("Copyright (c) Orlin. All rights reserved.\n"
                                                      "This software is protected"));
    EXPECT_FALSE(view->Image1->pixmap().isNull());
    EXPECT_FALSE(view->Picture1->pixmap().isNull());
    EXPECT_EQ(rig.calls.filter("LoadPicture"),
              (QStringList{QStringLiteral("ResourceManager.LoadPicture(113,%1,%2,)")
                               .arg(view->Image1->width())
                               .arg(view->Image1->height()),
                           QStringLiteral("ResourceManager.LoadPicture(126,%1,%2,)")
                               .arg(view->Picture1->width())
                               .arg(view->Picture1->height())}));
    EXPECT_EQ(rig.Calls("UiManager"), QStringList{"UiManager.InitFinished(DTM-1)"});
    EXPECT_TRUE(rig.log.lines().isEmpty());
}

TEST_F(AboutTest, LaidOutAsCaptionBesideValueAndOkIsTheDefaultButton) {
    About* view = Open();
    view->show();
    EXPECT_GT(view->lblDtmName->x(), view->Image1->x()); // the name beside the device picture
    EXPECT_TRUE(view->lblDtmName->font().bold());
    EXPECT_LT(view->lblDtmName->y(), view->Label20->y());
    EXPECT_LT(view->Label20->x(), view->lblTextDtmRevision->x());
    EXPECT_EQ(view->Label20->y(), view->lblTextDtmRevision->y());
    EXPECT_EQ(view->Label21->x(), view->Label20->x());
    EXPECT_GT(view->Label21->y(), view->Label20->y());
    EXPECT_TRUE(view->cmdOK->isDefault());
}

TEST(AboutInformation, TheDtmInformationDecidesTheCaptions) {
    struct Case {
        std::optional<QString> document; ///< nothing: the one built from the information
        DtmInfoObject information;
        QStringList shown; ///< name, DTM revision, FDT revision
    };
    const std::vector<Case> cases{
        {{}, {"Name", "1.0", 10, 0}, {"Name", "1.0", "10.0"}},
        // An unreadable document keeps the design captions.
        {"not an information document", {}, {"Device DTM", "2.x", "1.x"}},
    };
    for (const Case& c : cases) {
        StandIns rig;
        rig.dtm.kernel().information().SetInformation(c.information);
        rig.dtm.kernel().information().SetDocument(c.document);
        About* view = rig.Open<About>();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ((QStringList{view->lblDtmName->text(), view->lblTextDtmRevision->text(),
                               view->lblTextFdtRevision->text()}),
                  c.shown);
        EXPECT_EQ(rig.Calls("UiManager.InitFinished").size(), 1);
    }
    // An error while reading the information ends Init.
    StandIns rig;
    rig.dtm.kernel().information().SetFailing(true);
    About view;
    EXPECT_THROW(view.IDtmActiveXControl_Init("A", "", &rig.dtm), ComError);
    EXPECT_TRUE(rig.Calls("UiManager.InitFinished").isEmpty());
}

TEST_F(AboutTest, MissingResourcesAreSkippedOneByOne) {
    ResourcesWithout missing({5005}, {113});
    rig.dtm.kernel().resources().SetDefaultFolder(CommonResourceFolder());
    auto* view = new About;
    const QString designLegal = view->lblLegalText->text();
    ASSERT_TRUE(view->IDtmActiveXControl_Init("A", "", &rig.dtm));
    EXPECT_TRUE(view->Image1->pixmap().isNull());
    EXPECT_FALSE(view->Picture1->pixmap().isNull());
    EXPECT_EQ(view->lblLegalText->text(), designLegal);
    delete view;
}

TEST_F(AboutTest, ControlsWithNumericTagsTakeTheirTexts) {
    // Below 5000 a text comes from the resource server's own folder.
    QTemporaryDir folder;
    QFile texts(folder.filePath("texts.en.txt"));
    ASSERT_TRUE(texts.open(QIODevice::WriteOnly) && texts.write("4001\tOwn channel\n") > 0);
    texts.close();
    rig.dtm.kernel().resources().SetDefaultFolder(folder.path());
    About view;
    auto* common = new QLabel("design", &view);
    common->setProperty("tag", "6002");
    auto* own = new QGroupBox("design", &view);
    own->setProperty("tag", 4001);
    auto* tree = new QTreeWidget(&view);
    tree->headerItem()->setData(0, Qt::UserRole, 6002);
    auto* untagged = new QLabel("keep", &view);
    untagged->setProperty("tag", "not a number");
    view.IDtmActiveXControl_Init("A", "", &rig.dtm);
    EXPECT_EQ(common->text(), "Slot");
    EXPECT_EQ(own->title(), "Own channel");
    EXPECT_EQ(tree->headerItem()->text(0), "Slot");
    EXPECT_EQ(untagged->text(), "keep");
}

TEST_F(AboutTest, OkRequestsCloseAndReleaseAnswersWithTheInitId) {
    About* view = Open();
    rig.calls.clear();
    view->cmdOK->click();
    EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
    view->cmdOK->click();
    EXPECT_EQ(rig.Calls("UiManager"),
              (QStringList{"UiManager.RequestClose(DTM-1)", "UiManager.PreparedToRelease(DTM-1)"}));
}
