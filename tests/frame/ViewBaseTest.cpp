// The lifecycle every view shares, on a small view that uses the shared Init
// with a header label, a failing picture and an extra button.

#include "frame/ViewBase.h"

#include "FakeHost.h"
#include "LogCapture.h"

#include "common/HelpUtilities.h"

#include <QLabel>

#include <gtest/gtest.h>

using namespace rq16;
using namespace rq16::test;

namespace {

class ProbeView : public ViewBase {
public:
    explicit ProbeView(QWidget* parent = nullptr)
        : ViewBase(ViewTraits{QStringLiteral("Probe"), 25600, true}, parent) {
        header = new QLabel(this);
        picture = new QLabel(this);
        resize(400, 300);
    }
    QLabel* header;
    QLabel* picture;
    bool failCaptions = false;
    std::int32_t extraTextId = 6103;
    bool online = false;
    int closeWhileOnlineCalls = 0;

    using ViewBase::ReportError;

protected:
    void LoadCaptions() override {
        if (failCaptions) {
            throw ComError(kErrInvalidArg, QStringLiteral("caption trouble"));
        }
        header->setText(CommonText(6011));
    }
    void LoadPictures() override {
        TryLoadPicture(picture, 452, 0, 0, sCommonResourcePath);
        TryLoadPicture(picture, 453, 0, 0, sCommonResourcePath);
    }
    void FillHeader() override {
        const ModuleObject module = ReadModule();
        header->setText(header->text() +
                        QStringLiteral(" %1: %2").arg(module.slotNumber).arg(module.typeName));
    }
    std::int32_t ExtraButtonTextId() const override { return extraTextId; }
    bool IsOnline() const override { return online; }
    void CloseWhileOnline() override { ++closeWhileOnlineCalls; }
};

class ViewFrameTest : public ::testing::Test {
protected:
    void SetUp() override { FakeResourceManager::resetShared(); }
    void TearDown() override {
        FakeResourceManager::resetShared();
        ViewBase::SetCriticalMessageHandler({});
    }

    CallLog log;
    FakeComponentFactory factory{log};
    FakeDtm dtm{log};
};

TEST_F(ViewFrameTest, InitCopiesConfigurationSetsUpTheBarAndFinishesOnce) {
    ProbeView view;
    FakeButtonControl* bar = factory.lastButtonBar;
    ASSERT_NE(bar, nullptr);
    log.clear();

    EXPECT_TRUE(view.IDtmActiveXControl_Init(QStringLiteral("INIT-7"), QString(), &dtm));

    // Each new resource manager takes the second property first, then the first.
    const auto created = log.matching("Factory.CreateResourceManager");
    EXPECT_EQ(created.size(), 2u);
    const int firstCreate = log.indexOf("Factory.CreateResourceManager");
    EXPECT_EQ(log.calls()[static_cast<size_t>(firstCreate + 1)],
              QStringLiteral("ResourceManager.SetDefaultFolder(/kernel/default)"));
    EXPECT_EQ(log.calls()[static_cast<size_t>(firstCreate + 2)],
              QStringLiteral("ResourceManager.SetLanguage(en)"));

    EXPECT_EQ(view.header->text(), QStringLiteral("T6011 5: RQ16 DO8"));

    const std::vector<QString> expectedBar = {
        "Buttons.SetResourceManager",
        "Buttons.SetArea(400,300)",
        "Buttons.SetStandardButtons(0,0,0,1)",
        "Buttons.DisableApply",
        "Buttons.SetExtraButton(T6103,,0)",
        "Buttons.ShowActivity",
        "Buttons.SetMessage()",
    };
    EXPECT_EQ(log.matching("Buttons."), expectedBar);
    EXPECT_EQ(bar->resourceManager, factory.resourceManagers.at(0))
        << "the view's own common manager";
    EXPECT_EQ(log.matching("UiManager.InitFinished"),
              std::vector<QString>{"UiManager.InitFinished(INIT-7)"});
    EXPECT_GT(log.indexOf("UiManager.InitFinished(INIT-7)"), log.indexOf("Buttons.SetMessage()"));
    EXPECT_EQ(dtm.kernel.sinks.size(), 1u) << "the view receives the kernel's events";
}

TEST_F(ViewFrameTest, InitLogsItsErrorsAndStillFinishes) {
    LogCapture capture;
    FakeResourceManager::failingPictures() = {453};
    ProbeView view;
    view.failCaptions = true;
    EXPECT_TRUE(view.IDtmActiveXControl_Init(QStringLiteral("I"), QString(), &dtm));

    EXPECT_EQ(capture.forPlace("Probe"), QStringList{"IDtmActiveXControl_Init"});
    EXPECT_EQ(capture.forPlace("Probe.Init, Error: "), QStringList{"caption trouble"});
    EXPECT_EQ(capture.forPlace("Probe.IDtmActiveXControl_Init"),
              QStringList{"ERROR when loading Terminal Pictures: 53, Picture 453 not found"});
    EXPECT_EQ(FakeResourceManager::PictureId(view.picture->pixmap()), 452)
        << "the pictures before the failure are loaded";
    EXPECT_EQ(view.header->text(), QStringLiteral(" 5: RQ16 DO8")) << "header still filled";
    EXPECT_EQ(log.count("UiManager.InitFinished(I)"), 1);
    EXPECT_EQ(log.count("Buttons.SetMessage()"), 1) << "bar still set up";
}

TEST_F(ViewFrameTest, AnUnreadableModuleDocumentIsLoggedAndSkipped) {
    LogCapture capture;
    dtm.kernel.parameterManager.moduleDocument = QStringLiteral("!module document broken");
    ProbeView view;
    EXPECT_TRUE(view.IDtmActiveXControl_Init(QStringLiteral("I"), QString(), &dtm));
    EXPECT_EQ(capture.forPlace("Probe.Init, Error: "), QStringList{"module document broken"});
    EXPECT_EQ(view.header->text(), QStringLiteral("T6011"));
    EXPECT_EQ(log.count("UiManager.InitFinished(I)"), 1);
}

TEST_F(ViewFrameTest, CloseWhileOfflineRequestsCloseWithTheInitId) {
    LogCapture capture;
    ProbeView view;
    view.IDtmActiveXControl_Init(QStringLiteral("INIT-1"), QString(), &dtm);
    log.clear();
    capture.clear();

    factory.lastButtonBar->clickClose();

    EXPECT_EQ(log.calls(), (std::vector<QString>{"Buttons.DisableButtons", "Buttons.ShowActivity",
                                                 "UiManager.RequestClose(INIT-1)"}));
    EXPECT_EQ(capture.lines(),
              (QStringList{"Probe.ctlButtons_Clos: ", "Probe_Clos: Closing control"}));
}

TEST_F(ViewFrameTest, CloseWhileOnlineIsLeftToTheConnection) {
    ProbeView view;
    view.IDtmActiveXControl_Init(QStringLiteral("INIT-1"), QString(), &dtm);
    view.online = true;
    log.clear();
    factory.lastButtonBar->clickClose();
    EXPECT_EQ(view.closeWhileOnlineCalls, 1);
    EXPECT_EQ(log.count("UiManager.RequestClose"), 0);
}

TEST_F(ViewFrameTest, ReleaseSendsPreparedToReleaseOnceAndDropsTheDtm) {
    LogCapture capture;
    ProbeView view;
    view.IDtmActiveXControl_Init(QStringLiteral("INIT-9"), QString(), &dtm);
    log.clear();
    EXPECT_TRUE(view.IDtmActiveXControl_PrepareToRelease());
    EXPECT_EQ(log.matching("UiManager."),
              std::vector<QString>{"UiManager.PreparedToRelease(INIT-9)"});
    EXPECT_TRUE(capture.contains("Probe.PrepareToRelease: Offline"));
    EXPECT_TRUE(dtm.kernel.sinks.empty()) << "kernel events no longer reach the view";

    // With the DTM dropped, an error report falls back to the message box.
    QString shown;
    ViewBase::SetCriticalMessageHandler([&](const QString& text) { shown = text; });
    view.ReportError(5, QStringLiteral("late"), QStringLiteral("Somewhere"));
    EXPECT_EQ(shown,
              QStringLiteral("BIG Problem: Error occured and no Interface IDtmEvents avaliable!"));
    EXPECT_EQ(log.count("Kernel.OnErrorMessage"), 0);
}

TEST_F(ViewFrameTest, ReportErrorSendsTheMessageWithTheSystemTag) {
    ProbeView view;
    QString shown;
    ViewBase::SetCriticalMessageHandler([&](const QString& text) { shown = text; });
    view.ReportError(0, QStringLiteral("before init"), QStringLiteral("X"));
    EXPECT_EQ(shown, ViewBase::noDtmMessage());

    view.IDtmActiveXControl_Init(QStringLiteral("I"), QString(), &dtm);
    view.ReportError(42, QStringLiteral("Transaction failed"),
                     QStringLiteral("CallReadOutputValues"));
    EXPECT_EQ(log.matching("Kernel.OnErrorMessage"),
              std::vector<QString>{"Kernel.OnErrorMessage(SYSTAG,Transaction failed)"});
}

TEST_F(ViewFrameTest, ResizeKeepsTheBarAlongTheLowerEdge) {
    ProbeView view;
    view.resize(500, 320);
    view.show();
    QWidget* bar = factory.lastButtonBar->widget();
    EXPECT_EQ(bar->geometry(), QRect(0, 320 - 30, 500, 30));
    const QRect headerBefore = view.header->geometry();
    view.resize(640, 480);
    EXPECT_EQ(bar->geometry(), QRect(0, 480 - 30, 640, 30));
    EXPECT_EQ(view.header->geometry(), headerBefore) << "nothing else moves";
}

TEST_F(ViewFrameTest, HelpOpensTheViewsTopicAndReleaseClosesIt) {
    ProbeView view;
    view.IDtmActiveXControl_Init(QStringLiteral("I"), QString(), &dtm);
    factory.lastButtonBar->clickHelp();
    ASSERT_NE(view.helpResult(), 0) << "the help files lie in ../help beside the test program";
    EXPECT_EQ(OpenHelpWindowCount(), 1);
    view.IDtmActiveXControl_PrepareToRelease();
    EXPECT_EQ(OpenHelpWindowCount(), 0);
}

} // namespace
