#include "Parameter.h"

#include "FakeComponents.h"
#include "FakeHost.h"
#include "LogCapture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include <gtest/gtest.h>

#include <memory>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace rq16::test {
namespace {

const QString kInvokeId = QStringLiteral("INV-7");

class ParameterViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeResourceManager::resetShared();
        FakeResourceManager::logLookups() = false;
        newView();
    }
    /// Replaces the view by a new one on the same host.
    void newView() {
        view.reset();
        view = std::make_unique<Parameter>();
        bar = factory.lastButtonBar;
        ASSERT_NE(bar, nullptr);
    }
    void TearDown() override {
        view.reset();
        FakeResourceManager::resetShared();
    }

    void init() {
        ASSERT_TRUE(view->IDtmActiveXControl_Init(kInvokeId, QStringLiteral("<call/>"), &dtm));
        log.clear();
        capture.clear();
    }
    FakeParameterManager& manager() { return dtm.kernel.parameterManager; }
    ChannelParameter* element(int k) { return view->channelParameter(k); }
    template <typename T> T* control(int k, const char* name) {
        T* found = element(k)->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString label(const char* name) {
        auto* found = view->findChild<QLabel*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found != nullptr ? found->text() : QString();
    }
    /// Log messages of the view's own place.
    QStringList viewLog() const { return capture.forPlace(QStringLiteral("Parameter")); }
    QString written() const {
        const auto writes = log.matching(QStringLiteral("ParameterManager.SetParameterBytes"));
        return writes.empty() ? QString() : writes.back();
    }

    LogCapture capture;
    CallLog log;
    FakeComponentFactory factory{log};
    FakeDtm dtm{log};
    std::unique_ptr<Parameter> view;
    FakeButtonControl* bar = nullptr;
};

TEST_F(ParameterViewTest, InitRunsItsPhasesInOrder) {
    manager().parameterBytes = {0x00, 0x00, 0x00, 0x00, 0x00};
    ASSERT_TRUE(view->IDtmActiveXControl_Init(kInvokeId, QStringLiteral("<call/>"), &dtm));

    const QString phase = QStringLiteral("Parameter: IDtmActiveXControl_Init: ");
    const QStringList expectedLog = {
        QStringLiteral("Parameter: IDtmActiveXControl_Init"),
        phase + QStringLiteral("Before resource initialization"),
        phase + QStringLiteral("Before channel parameter initialization"),
        phase + QStringLiteral("Before loading resources"),
        phase + QStringLiteral("Before getting values"),
        QStringLiteral("Parameter: GetAllValues"),
        phase + QStringLiteral("Before initializing button control"),
        phase + QStringLiteral("finished"),
    };
    EXPECT_EQ(capture.lines(), expectedLog);

    // Edit permission is asked before the values are read; the bar is set up
    // last, with OK, Cancel and Apply and without the close button.
    const std::vector<QString> tail(log.calls().end() - 7, log.calls().end());
    const std::vector<QString> expectedTail = {
        QStringLiteral("ParameterManager.GetParameterBytes"),
        QStringLiteral("Buttons.SetResourceManager"),
        QStringLiteral("Buttons.SetArea(%1,%2)").arg(view->width()).arg(view->height()),
        QStringLiteral("Buttons.SetStandardButtons(1,1,1,0)"),
        QStringLiteral("Buttons.DisableApply"),
        QStringLiteral("Buttons.SetMessage()"),
        QStringLiteral("UiManager.InitFinished(INV-7)"),
    };
    EXPECT_EQ(tail, expectedTail) << log.dump().toStdString();
    EXPECT_LT(log.indexOf(QStringLiteral("UiManager.IsEditAllowed")),
              log.indexOf(QStringLiteral("ParameterManager.GetParameterBytes")));

    // The bar takes the kernel's manager; the elements share the view's own
    // channel manager, configured like the kernel's.
    EXPECT_EQ(bar->resourceManager, &dtm.kernel.resourceManager);
    IResourceManager* channelManager = element(0)->ResourceManager();
    ASSERT_NE(channelManager, nullptr);
    EXPECT_NE(channelManager, &dtm.kernel.resourceManager);
    EXPECT_EQ(channelManager->DefaultFolder(), QStringLiteral("/kernel/default"));
    EXPECT_EQ(channelManager->Language(), QStringLiteral("en"));
    for (int k = 1; k < kChannelPairCount; ++k) {
        EXPECT_EQ(element(k)->ResourceManager(), channelManager);
        EXPECT_EQ(element(k)->ChannelNumber(), k + 1);
    }
    EXPECT_EQ(label("lblSlotNumberLabel"), QStringLiteral("T6002"));
    EXPECT_EQ(label("lblSlotNumber"), QStringLiteral("05"));
    EXPECT_EQ(label("lblModuleType"), QStringLiteral("RQ16 DO8: "));
    EXPECT_FALSE(view->isDirty());
    EXPECT_FALSE(element(0)->Locked());
}

TEST_F(ParameterViewTest, InitGoesOnAfterErrors) {
    FakeResourceManager::failingTexts() = {6002};
    manager().moduleDocument = QStringLiteral("!no module");
    manager().parameterBytes = {0x80, 0, 0, 0, 0};
    ASSERT_TRUE(view->IDtmActiveXControl_Init(kInvokeId, QString(), &dtm));
    EXPECT_TRUE(capture.contains(QStringLiteral("Parameter.Init, Error: : Text 6002 not found")))
        << capture.lines().join('\n').toStdString();
    EXPECT_TRUE(capture.contains(QStringLiteral("Parameter_GetAllValues, Error: : no module")));
    EXPECT_TRUE(log.contains(QStringLiteral("UiManager.InitFinished(INV-7)")));
    EXPECT_EQ(element(0)->FailSafeParameter(), 0x80);
    EXPECT_EQ(viewLog().last(), QStringLiteral("IDtmActiveXControl_Init: finished"));
}

TEST_F(ParameterViewTest, HeaderShowsSlotWithTwoDigitsAndEndsTheTypeBeforeTheSlotLabel) {
    manager().moduleDocument = QStringLiteral("12|RQ16 DO8 2A");
    init();
    EXPECT_EQ(label("lblSlotNumber"), QStringLiteral("12"));
    EXPECT_EQ(label("lblModuleType"), QStringLiteral("RQ16 DO8 2A: "));

    manager().moduleDocument = QStringLiteral("3|RQ16");
    view->ParameterManager_ParameterChanged();
    EXPECT_EQ(label("lblSlotNumber"), QStringLiteral("03"));

    view->resize(900, 600);
    view->show();
    auto* type = view->findChild<QLabel*>(QStringLiteral("lblModuleType"));
    auto* slot = view->findChild<QLabel*>(QStringLiteral("lblSlotNumberLabel"));
    EXPECT_EQ(slot->x() - (type->x() + type->width()), 8);
    // The bar spans the lower edge and the elements stay above it.
    QWidget* barWidget = bar->widget();
    EXPECT_EQ(barWidget->geometry().bottom(), view->height() - 1);
    EXPECT_EQ(barWidget->width(), view->width());
    const QRect lowest = element(3)->geometry();
    EXPECT_LE(element(3)->parentWidget()->mapTo(view.get(), lowest.bottomLeft()).y(),
              barWidget->y());
}

TEST_F(ParameterViewTest, ChannelTagsReachTheElementOfTheirPair) {
    dtm.channels[4]->document = QStringLiteral("!channel 5 unreadable");
    element(2)->SetChannelTag(QStringLiteral("kept"));
    init();
    EXPECT_EQ(element(0)->ChannelTag(), QStringLiteral("Q1"));
    EXPECT_EQ(element(0)->ChannelTag2(), QStringLiteral("Q2"));
    EXPECT_EQ(element(1)->ChannelTag(), QStringLiteral("Q3"));
    EXPECT_EQ(element(1)->ChannelTag2(), QStringLiteral("Q4"));
    EXPECT_EQ(element(2)->ChannelTag(), QStringLiteral("kept"));
    EXPECT_EQ(element(2)->ChannelTag2(), QStringLiteral("Q6"));
    EXPECT_EQ(element(3)->ChannelTag2(), QStringLiteral("Q8"));

    // A channel number from the document, not the item order, decides.
    dtm.channels[6]->document = QStringLiteral("1|moved");
    dtm.channels[1]->document = QStringLiteral("9|outside");
    capture.clear();
    view->BaseDtm_ParameterChanged();
    EXPECT_EQ(element(0)->ChannelTag(), QStringLiteral("moved"));
    EXPECT_EQ(element(3)->ChannelTag(), QStringLiteral("Q7"));
    EXPECT_EQ(element(0)->ChannelTag2(), QStringLiteral("Q2"));
    EXPECT_TRUE(capture.contains(QStringLiteral("Parameter.GetAllValues: channel 5 unreadable")));
    EXPECT_TRUE(capture.lines().filter(QStringLiteral("Parameter_GetAllValues, Error: ")).size() ==
                1);
}

TEST_F(ParameterViewTest, ShowsEveryPairWithoutBecomingDirty) {
    manager().parameterBytes = {0xA4, 0x08, 0x53, 0xF0, 0x96, 0x77};
    init();
    EXPECT_EQ(
        element(0)->Record(),
        (ChannelPairRecord{.FailSafeParameter = 0xA0, .InvertedPolarity = true, .ChannelB = true}));
    // Flag byte 0x96: bits 1, 2, 4 and 7.
    EXPECT_EQ(element(1)->Record(),
              (ChannelPairRecord{.ShortCircuitCurrent = 1, .ChannelA = true}));
    EXPECT_EQ(element(2)->Record(),
              (ChannelPairRecord{.FailSafeParameter = 0x50, .ChannelA = true}));
    EXPECT_EQ(element(3)->Record(),
              (ChannelPairRecord{.FailSafeParameter = 0xF0, .ChannelB = true}));
    EXPECT_EQ(control<QComboBox>(3, "cboFailsafeValue")->currentIndex(), -1);
    EXPECT_FALSE(view->isDirty());
    EXPECT_EQ(log.count(QStringLiteral("Buttons.EnableApply")), 0);
}

TEST_F(ParameterViewTest, AnEditUpdatesItsPairLogsTheBytesAndMakesTheViewDirty) {
    manager().parameterBytes = {0, 0, 0, 0, 0};
    init();
    control<QCheckBox>(2, "chkChannelB")->click();

    EXPECT_EQ(view->parameterBytes(), (ByteArray{0, 0, 0, 0, 0x20}));
    const QString zeros = QStringLiteral("00000000");
    EXPECT_EQ(viewLog(), (QStringList{QStringLiteral("ISetDirty: 0, 0, 0, 0, 20"),
                                      QStringLiteral("ISetDirty: ") + zeros + ", " + zeros + ", " +
                                          zeros + ", " + zeros + ", 00100000"}));
    EXPECT_TRUE(view->isDirty());
    EXPECT_EQ(log.calls(), std::vector<QString>{QStringLiteral("Buttons.EnableApply")});
}

TEST_F(ParameterViewTest, AnEditKeepsTheOtherPairsAndFlagBits) {
    manager().parameterBytes = {0x13, 0x22, 0x31, 0x4B, 0x0F, 0xEE};
    init();
    capture.clear();
    control<QCheckBox>(1, "chkInvertedLogic")->click();
    control<QCheckBox>(1, "chkChannelA")->click();
    // Pair 1's unused bits are dropped; flag bit 2 cleared, the others stay.
    EXPECT_EQ(view->parameterBytes(), (ByteArray{0x13, 0x24, 0x31, 0x4B, 0x0B, 0xEE}));
    EXPECT_EQ(viewLog().at(2), QStringLiteral("ISetDirty: 13, 24, 31, 4B, B"));
    EXPECT_EQ(viewLog().at(3),
              QStringLiteral("ISetDirty: 00010011, 00100100, 00110001, 01001011, 00001011"));
}

TEST_F(ParameterViewTest, ApplyWhileCleanDoesNothing) {
    init();
    bar->clickApply();
    EXPECT_TRUE(log.calls().empty()) << log.dump().toStdString();
    EXPECT_TRUE(capture.lines().isEmpty());
}

TEST_F(ParameterViewTest, ApplyWritesTheWholeArrayOnceAndCleansTheView) {
    manager().parameterBytes = {0x00, 0x10, 0x00, 0x00, 0x01, 0x99, 0x42};
    init();
    control<QComboBox>(0, "cboFailsafeValue")->setCurrentIndex(kFailsafeLastValid);
    control<QCheckBox>(3, "chkShortDetection")->click();
    log.clear();

    bar->clickApply();
    const std::vector<QString> expected = {
        QStringLiteral("Buttons.SetMessage()"),
        QStringLiteral("ParameterManager.SetParameterBytes(20 10 00 80 01 99 42)"),
        QStringLiteral("ParameterManager.CommitParameters"),
        QStringLiteral("Buttons.DisableApply")};
    EXPECT_EQ(log.calls(), expected) << log.dump().toStdString();
    EXPECT_FALSE(view->isDirty());

    log.clear();
    bar->clickApply();
    EXPECT_TRUE(log.calls().empty());
}

TEST_F(ParameterViewTest, CancelOkAndCloseEachRequestTheCloseOnceAndOnlyOkWrites) {
    manager().parameterBytes = {0, 0, 0, 0, 0};
    init();
    const QString close = QStringLiteral("UiManager.RequestClose(INV-7)");

    control<QCheckBox>(0, "chkChannelA")->click();
    log.clear();
    bar->clickCancel();
    EXPECT_EQ(log.calls(), std::vector<QString>{close});
    EXPECT_FALSE(view->isDirty());

    control<QCheckBox>(0, "chkChannelA")->click(); // back to the stored value
    control<QCheckBox>(0, "chkChannelA")->click();
    log.clear();
    bar->clickOk();
    const std::vector<QString> okCalls = {
        QStringLiteral("Buttons.SetMessage()"),
        QStringLiteral("ParameterManager.SetParameterBytes(00 00 00 00 01)"),
        QStringLiteral("ParameterManager.CommitParameters"), QStringLiteral("Buttons.DisableApply"),
        close};
    EXPECT_EQ(log.calls(), okCalls) << log.dump().toStdString();

    log.clear();
    bar->clickClose();
    EXPECT_EQ(log.calls(), std::vector<QString>{close});

    // Nothing is left to ask about when the frame releases the view.
    log.clear();
    EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
    EXPECT_EQ(log.count(QStringLiteral("UserDialog.AskUser")), 0);
}

TEST_F(ParameterViewTest, ReleaseAsksAboutUnsavedEditsAndWritesOnlyOnYes) {
    const std::vector<QString> release = {QStringLiteral("UiManager.RequestDataSetUnlock"),
                                          QStringLiteral("UiManager.PreparedToRelease(INV-7)")};
    const QString question = QStringLiteral("UserDialog.AskUser(T6501,RQ16 DO8,4)");
    for (const int answer : {kIdYes, kIdNo}) {
        SCOPED_TRACE(answer);
        newView();
        manager().parameterBytes = {0, 0, 0, 0, 0};
        init();
        control<QCheckBox>(3, "chkChannelB")->click();
        dtm.kernel.userDialog.answer = answer;
        log.clear();
        capture.clear();

        EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
        std::vector<QString> expected = {question};
        if (answer == kIdYes) {
            expected.insert(expected.end(),
                            {QStringLiteral("Buttons.SetMessage()"),
                             QStringLiteral("ParameterManager.SetParameterBytes(00 00 00 00 80)"),
                             QStringLiteral("ParameterManager.CommitParameters"),
                             QStringLiteral("Buttons.DisableApply")});
        }
        expected.insert(expected.end(), release.begin(), release.end());
        EXPECT_EQ(log.calls(), expected) << log.dump().toStdString();
        EXPECT_TRUE(dtm.kernel.sinks.empty());
        EXPECT_TRUE(manager().sinks.empty());
        EXPECT_TRUE(capture.lines().isEmpty());
    }

    // A clean view is released without a question.
    newView();
    init();
    EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
    EXPECT_EQ(log.calls(), release);
}

TEST_F(ParameterViewTest, InitWithoutEditPermissionIsReadOnly) {
    dtm.kernel.uiManager.editAllowed = false;
    view->IDtmActiveXControl_Init(kInvokeId, QString(), &dtm);
    EXPECT_LT(log.indexOf(QStringLiteral("Buttons.DisableOk")),
              log.indexOf(QStringLiteral("ParameterManager.GetParameterBytes")));
    for (int k = 0; k < kChannelPairCount; ++k) {
        EXPECT_TRUE(element(k)->Locked());
        EXPECT_FALSE(control<QCheckBox>(k, "chkChannelA")->isEnabled());
    }
}

TEST_F(ParameterViewTest, DataSetLockSwitchesBetweenEditableAndReadOnly) {
    init();
    dtm.kernel.holdsLock = false;
    dtm.kernel.RaiseLockDataSet(QStringLiteral("Anna"));
    EXPECT_EQ(log.calls(), (std::vector<QString>{QStringLiteral("Buttons.SetMessage(T6001 Anna)"),
                                                 QStringLiteral("Buttons.DisableOk"),
                                                 QStringLiteral("Buttons.DisableApply")}));
    for (int k = 0; k < kChannelPairCount; ++k) {
        EXPECT_TRUE(element(k)->Locked());
    }

    log.clear();
    dtm.kernel.holdsLock = true;
    dtm.kernel.RaiseLockDataSet(QStringLiteral("me"));
    EXPECT_EQ(log.calls(), (std::vector<QString>{QStringLiteral("Buttons.SetMessage(T6001 me)"),
                                                 QStringLiteral("Buttons.EnableOk"),
                                                 QStringLiteral("Buttons.EnableApply")}));
    EXPECT_FALSE(element(2)->Locked());
    // Apply is offered although nothing is dirty.
    EXPECT_TRUE(bar->applyEnabled);
    EXPECT_FALSE(view->isDirty());

    log.clear();
    dtm.kernel.RaiseUnlockDataSet(QStringLiteral("COMPATIBILITY"));
    EXPECT_TRUE(log.calls().empty());
    EXPECT_FALSE(element(0)->Locked());

    dtm.kernel.RaiseUnlockDataSet(QStringLiteral("compatibility"));
    EXPECT_EQ(log.calls(), (std::vector<QString>{QStringLiteral("Buttons.SetMessage()"),
                                                 QStringLiteral("Buttons.DisableOk"),
                                                 QStringLiteral("Buttons.DisableApply")}));
    EXPECT_TRUE(element(0)->Locked());
    EXPECT_TRUE(capture.lines().isEmpty());
}

TEST_F(ParameterViewTest, ParameterChangedFromEitherSourceRereadsAndKeepsTheDirtyState) {
    manager().parameterBytes = {0, 0, 0, 0, 0};
    init();
    control<QCheckBox>(0, "chkInvertedLogic")->click();
    ASSERT_TRUE(view->isDirty());

    manager().parameterBytes = {0, 0, 0, 0x40, 0x80};
    dtm.kernel.RaiseParameterChanged();
    EXPECT_EQ(element(3)->FailSafeParameter(), 0x40);
    EXPECT_FALSE(element(0)->InvertedPolarity());
    EXPECT_TRUE(view->isDirty());

    manager().parameterBytes = {0x08, 0, 0, 0x40, 0x80};
    manager().RaiseParameterChanged();
    EXPECT_EQ(element(0)->ShortCircuitCurrent(), 1);
    EXPECT_TRUE(view->isDirty());
    EXPECT_EQ(viewLog().count(QStringLiteral("GetAllValues")), 2);

    log.clear();
    bar->clickApply();
    EXPECT_EQ(written(), QStringLiteral("ParameterManager.SetParameterBytes(08 00 00 40 80)"));
}

TEST_F(ParameterViewTest, ShortParameterDataIsRefusedAndNeverWritten) {
    manager().parameterBytes = {0xC0, 0, 0, 0, 0};
    init();
    manager().parameterBytes = {0x00, 0x08, 0x04};
    manager().RaiseParameterChanged();
    EXPECT_EQ(capture.forPlace(QStringLiteral("Parameter_GetAllValues, Error")),
              QStringList{QStringLiteral(": parameter data has 3 bytes, 5 are needed")})
        << capture.lines().join('\n').toStdString();
    EXPECT_EQ(element(0)->FailSafeParameter(), 0xC0);

    control<QCheckBox>(0, "chkChannelA")->click();
    EXPECT_TRUE(view->isDirty());
    bar->clickApply();
    dtm.kernel.userDialog.answer = kIdYes;
    control<QCheckBox>(0, "chkChannelA")->click();
    view->IDtmActiveXControl_PrepareToRelease();
    EXPECT_EQ(log.count(QStringLiteral("ParameterManager.SetParameterBytes")), 0);
    EXPECT_EQ(manager().parameterBytes, (ByteArray{0x00, 0x08, 0x04}));
}

TEST_F(ParameterViewTest, DecToBinIsOfferedByTheView) {
    std::int16_t bits = 8;
    EXPECT_EQ(view->DecToBin(300, bits), QStringLiteral("0000000100101100"));
    EXPECT_EQ(bits, 16);
}

} // namespace
} // namespace rq16::test
