// What every view shares, on the Diagnosis view: the registry read at each
// construction, errors during Init, resizing and help.

#include "StandIns.h"

#include "Diagnosis.h"

#include "common/HelpUtilities.h"

#include <QApplication>
#include <QLabel>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace rq16;
using namespace rq16::test;

namespace {

/// A registry file with the "Debug" switch at `value`.
QString Registry(const QTemporaryDir& dir, int value) {
    const QString path = dir.filePath(QStringLiteral("r%1.reg").arg(value));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QStringLiteral("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orlin\\DTM kelio-DP]\n"
                                  "\"Debug\"=dword:%1\n")
                       .arg(value)
                       .toLatin1());
    }
    return path;
}

} // namespace

TEST(ViewFrameTest, EveryNewViewReadsTheRegistryAgain) {
    StandIns rig;
    QTemporaryDir dir;
    const QString on = Registry(dir, 1);
    const QString off = Registry(dir, 0);
    for (const QString& registry : {off, on, off}) {
        qputenv("RQ16_REGISTRY_FILE", registry.toLocal8Bit());
        rig.log.clear();
        rig.Open<Diagnosis>();
        EXPECT_EQ(rig.log.contains("Diagnosis: IDtmActiveXControl_Init"), registry == on);
    }
    // A view destroyed without release no longer hears the kernel.
    delete rig.Open<Diagnosis>();
    EXPECT_EQ(rig.dtm.kernel().sinkCount(), 3u);
}

TEST(ViewFrameTest, InitLogsMissingPicturesOnceAndGoesOn) {
    StandIns rig;
    ResourcesWithout missing({}, {453, 455});
    rig.module.connectionFaults().refuseConnect = true;
    auto* view = rig.Open<Diagnosis>();
    rig.Settle();
    EXPECT_EQ(rig.log.lines().filter("ERROR when loading Terminal Pictures").size(), 1);
    EXPECT_EQ(view->terminalPictureId(2), 454);
    EXPECT_EQ(view->terminalPictureId(3), 0);
    EXPECT_EQ(view->headerLabel()->text(), "Slot 03: RQ16 DO8");
    EXPECT_EQ(rig.Calls("UiManager.InitFinished"), QStringList{"UiManager.InitFinished(DTM-1)"});
    EXPECT_EQ(rig.Calls("Communication.Connect").size(), 1);
}

TEST(ViewFrameTest, TheBarStaysAlongTheLowerEdgeAndNothingElseMoves) {
    StandIns rig;
    auto* view = rig.Open<Diagnosis>();
    view->show();
    QWidget* bar = view->buttonBar()->widget();
    const QRect header = view->headerLabel()->geometry();
    for (const QSize size : {QSize(500, 320), QSize(640, 480)}) {
        view->resize(size);
        EXPECT_EQ(bar->geometry(),
                  QRect(0, size.height() - bar->height(), size.width(), bar->height()));
        EXPECT_EQ(view->headerLabel()->geometry(), header);
    }
    // Captions come from files: no label takes them as markup.
    for (const QLabel* label : view->findChildren<QLabel*>()) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
    }
}

TEST(ViewFrameTest, HelpOpensTheViewsTopicInItsLanguageAndReleaseClosesIt) {
    StandIns rig;
    rig.dtm.kernel().resources().SetLanguage(QStringLiteral("de"));
    auto* view = rig.Open<Diagnosis>();
    rig.Settle();
    view->ctlButtons_Help();
    ASSERT_NE(view->helpResult(), 0) << "the help lies in ../help beside the test program";
    EXPECT_EQ(OpenHelpWindowCount(), 1);
    EXPECT_TRUE(std::ranges::any_of(QApplication::topLevelWidgets(), [](const QWidget* w) {
        return w->isVisible() && w->windowTitle() == QStringLiteral("Diagnose");
    })) << "the German page";
    view->IDtmActiveXControl_PrepareToRelease();
    EXPECT_EQ(OpenHelpWindowCount(), 0);
}

TEST(ViewFrameTest, EveryVirtualStepOfTheViewBasesIsInTheListOfHooks) {
    const auto read = [](const char* path) {
        QFile file(QStringLiteral(RQ16_GOLDEN_DIR "/../../") + QLatin1String(path));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    const QString onlineView = read("src/frame/OnlineView.h");
    const QString list = onlineView.left(onlineView.indexOf(QStringLiteral("#include")));
    const QRegularExpression hook(QStringLiteral("^\\s*virtual [^(~\\n]*\\b(\\w+)\\("),
                                  QRegularExpression::MultilineOption);
    const QString headers =
        read("src/frame/ViewBase.h") + onlineView + read("src/views/observation/ReadCycleView.h");
    int hooks = 0;
    for (const auto& match : hook.globalMatch(headers)) {
        ++hooks;
        EXPECT_TRUE(list.contains(match.captured(1))) << match.captured(1).toStdString();
    }
    EXPECT_GT(hooks, 0);
}
