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

using Calls = std::vector<QString>;

const QString kInvokeId = QStringLiteral("INV-7");
const QString kClose = QStringLiteral("UiManager.RequestClose(INV-7)");
const std::vector<QString> kRelease = {QStringLiteral("UiManager.RequestDataSetUnlock"),
                                       QStringLiteral("UiManager.PreparedToRelease(INV-7)")};

/// The calls of one Apply that writes `hex`.
Calls ApplyCalls(const char* hex) {
    return {QStringLiteral("Buttons.SetMessage()"),
            QStringLiteral("ParameterManager.SetParameterBytes(%1)").arg(QLatin1String(hex)),
            QStringLiteral("ParameterManager.CommitParameters"),
            QStringLiteral("Buttons.DisableApply")};
}

/// The calls of a lock change: the message, then OK and Apply switched by `action`.
Calls BarSwitch(const char* message, const char* action) {
    const QString prefix = QStringLiteral("Buttons.") + QLatin1String(action);
    return {QStringLiteral("Buttons.SetMessage(%1)").arg(QLatin1String(message)),
            prefix + QStringLiteral("Ok"), prefix + QStringLiteral("Apply")};
}

class ParameterViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeResourceManager::resetShared();
        FakeResourceManager::logLookups() = false;
        newView();
    }
    void TearDown() override {
        view.reset();
        FakeResourceManager::resetShared();
    }
    /// Replaces the view by a new one on the same host.
    void newView() {
        view.reset();
        view = std::make_unique<Parameter>();
        bar = factory.lastButtonBar;
        ASSERT_NE(bar, nullptr);
    }
    /// Initialises the view on `bytes` and clears both logs.
    void init(const ByteArray& bytes = ByteArray(5, 0)) {
        manager().parameterBytes = bytes;
        ASSERT_TRUE(view->IDtmActiveXControl_Init(kInvokeId, QStringLiteral("<call/>"), &dtm));
        log.clear();
        capture.clear();
    }
    FakeParameterManager& manager() { return dtm.kernel.parameterManager; }
    ChannelParameter* element(int k) { return view->channelParameter(k); }
    /// Clicks check box `name` of element `k`.
    void click(int k, const char* name) {
        element(k)->findChild<QCheckBox*>(QString::fromLatin1(name))->click();
    }
    QString label(const char* name) {
        return view->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    /// Both channel tags of every element, in channel order.
    QString tags() {
        QStringList all;
        for (int k = 0; k < kChannelPairCount; ++k) {
            all << element(k)->ChannelTag() << element(k)->ChannelTag2();
        }
        return all.join(QLatin1Char(' '));
    }
    /// Locked state of the four elements, one digit each.
    QString locks() {
        QString digits;
        for (int k = 0; k < kChannelPairCount; ++k) {
            digits += element(k)->Locked() ? QLatin1Char('1') : QLatin1Char('0');
        }
        return digits;
    }

    LogCapture capture;
    CallLog log;
    FakeComponentFactory factory{log};
    FakeDtm dtm{log};
    std::unique_ptr<Parameter> view;
    FakeButtonControl* bar = nullptr;
};

TEST_F(ParameterViewTest, InitSetsUpElementsHeaderAndBarInOrder) {
    ASSERT_TRUE(view->IDtmActiveXControl_Init(kInvokeId, QStringLiteral("<call/>"), &dtm));

    // Edit permission is asked before the values are read; the bar offers OK,
    // Cancel and Apply without the close button, Apply disabled.
    EXPECT_LT(log.indexOf(QStringLiteral("UiManager.IsEditAllowed")),
              log.indexOf(QStringLiteral("ParameterManager.GetParameterBytes")));
    EXPECT_TRUE(log.contains(QStringLiteral("Buttons.SetStandardButtons(1,1,1,0)")));
    EXPECT_FALSE(bar->applyEnabled);
    EXPECT_EQ(log.calls().back(), QStringLiteral("UiManager.InitFinished(INV-7)"));

    // The elements share the view's own channel manager and are numbered 1 to 4.
    EXPECT_NE(element(0)->ResourceManager(), &dtm.kernel.resourceManager);
    for (int k = 0; k < kChannelPairCount; ++k) {
        EXPECT_EQ(element(k)->ResourceManager(), element(0)->ResourceManager());
        EXPECT_EQ(element(k)->ChannelNumber(), k + 1);
    }
    EXPECT_EQ(label("lblSlotNumberLabel"), QStringLiteral("T6002"));
    EXPECT_EQ(label("lblSlotNumber"), QStringLiteral("05"));
    EXPECT_EQ(label("lblModuleType"), QStringLiteral("RQ16 DO8: "));
    EXPECT_FALSE(view->isDirty());
    EXPECT_EQ(locks(), QStringLiteral("0000"));

    std::int16_t bits = 8;
    EXPECT_EQ(view->DecToBin(300, bits), QStringLiteral("0000000100101100"));
    EXPECT_EQ(bits, 16);
}

TEST_F(ParameterViewTest, ChannelTagsReachTheElementOfTheirPair) {
    dtm.channels[4]->document = QStringLiteral("!channel 5 unreadable");
    element(2)->SetChannelTag(QStringLiteral("kept"));
    init();
    EXPECT_EQ(tags(), QStringLiteral("Q1 Q2 Q3 Q4 kept Q6 Q7 Q8"));

    // A channel number from the document, not the item order, decides.
    dtm.channels[6]->document = QStringLiteral("1|moved");
    dtm.channels[1]->document = QStringLiteral("9|outside");
    view->BaseDtm_ParameterChanged();
    EXPECT_EQ(tags(), QStringLiteral("moved Q2 Q3 Q4 kept Q6 Q7 Q8"));
    EXPECT_TRUE(capture.contains(QStringLiteral("Parameter.GetAllValues: channel 5 unreadable")));
    EXPECT_EQ(capture.lines().filter(QStringLiteral("Parameter_GetAllValues, Error: ")).size(), 1);
}

TEST_F(ParameterViewTest, ShowsEveryPairOnEachReadWithoutChangingTheDirtyState) {
    init({0xA4, 0x08, 0x53, 0xF0, 0x96, 0x77}); // flags: bits 1, 2, 4 and 7
    const ChannelPairRecord expected[] = {{0xA0, true, 0, false, true},
                                          {0x00, false, 1, true, false},
                                          {0x50, false, 0, true, false},
                                          {0xF0, false, 0, false, true}};
    for (int k = 0; k < kChannelPairCount; ++k) {
        EXPECT_EQ(element(k)->Record(), expected[k]) << k;
    }
    EXPECT_FALSE(view->isDirty());

    // A parameter change from either source rereads; an edit stays pending.
    click(0, "chkInvertedLogic");
    manager().parameterBytes = {0x00, 0, 0, 0x40, 0x80};
    dtm.kernel.RaiseParameterChanged();
    EXPECT_EQ(element(3)->Record(), (ChannelPairRecord{0x40, false, 0, false, true}));
    manager().parameterBytes[0] = 0x08;
    manager().RaiseParameterChanged();
    EXPECT_EQ(element(0)->Record(), (ChannelPairRecord{0x00, false, 1, false, false}));
    EXPECT_TRUE(view->isDirty());
    EXPECT_EQ(log.count(QStringLiteral("Buttons.EnableApply")), 1);
    log.clear();
    bar->clickApply();
    EXPECT_EQ(log.calls(), ApplyCalls("08 00 00 40 80"));
}

TEST_F(ParameterViewTest, AnEditUpdatesOnlyItsPairLogsTheBytesAndMakesTheViewDirty) {
    init({0x13, 0x22, 0x31, 0x4B, 0x0F, 0xEE});
    click(1, "chkChannelA");
    // Pair 1's unused bits are dropped; flag bit 2 cleared, the others stay.
    EXPECT_EQ(view->parameterBytes(), (ByteArray{0x13, 0x20, 0x31, 0x4B, 0x0B, 0xEE}));
    EXPECT_EQ(capture.forPlace(QStringLiteral("Parameter")),
              (QStringList{
                  QStringLiteral("ISetDirty: 13, 20, 31, 4B, B"),
                  QStringLiteral("ISetDirty: 00010011, 00100000, 00110001, 01001011, 00001011")}));
    EXPECT_TRUE(view->isDirty());
    EXPECT_EQ(log.calls(), Calls{QStringLiteral("Buttons.EnableApply")});
}

TEST_F(ParameterViewTest, ApplyAndOkWriteOnlyWhenDirtyAndCancelNeverWrites) {
    init({0x00, 0x10, 0x00, 0x00, 0x01, 0x99, 0x42});
    bar->clickApply();
    EXPECT_TRUE(log.calls().empty()) << log.dump().toStdString();
    EXPECT_TRUE(capture.lines().isEmpty());

    click(0, "chkChannelA");
    click(0, "chkChannelA"); // back to the stored value, still dirty
    log.clear();
    bar->clickCancel();
    EXPECT_EQ(log.calls(), Calls{kClose});
    EXPECT_FALSE(view->isDirty());

    element(0)
        ->findChild<QComboBox*>(QStringLiteral("cboFailsafeValue"))
        ->setCurrentIndex(kFailsafeLastValid);
    click(3, "chkShortDetection");
    log.clear();
    bar->clickOk();
    Calls expected = ApplyCalls("20 10 00 80 01 99 42");
    expected.push_back(kClose);
    EXPECT_EQ(log.calls(), expected) << log.dump().toStdString();
    EXPECT_FALSE(view->isDirty());

    log.clear();
    bar->clickApply();
    bar->clickClose();
    EXPECT_EQ(log.calls(), Calls{kClose});
    // Nothing is left to ask about when the frame releases the view.
    log.clear();
    EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
    EXPECT_EQ(log.calls(), kRelease);
}

TEST_F(ParameterViewTest, ReleaseAsksAboutUnsavedEditsAndWritesOnlyOnYes) {
    for (const int answer : {kIdYes, kIdNo}) {
        SCOPED_TRACE(answer);
        newView();
        init();
        click(3, "chkChannelB");
        dtm.kernel.userDialog.answer = answer;
        log.clear();

        EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
        Calls expected = {QStringLiteral("UserDialog.AskUser(T6501,RQ16 DO8,4)")};
        if (answer == kIdYes) {
            const Calls apply = ApplyCalls("00 00 00 00 80");
            expected.insert(expected.end(), apply.begin(), apply.end());
        }
        expected.insert(expected.end(), kRelease.begin(), kRelease.end());
        EXPECT_EQ(log.calls(), expected) << log.dump().toStdString();
        EXPECT_TRUE(dtm.kernel.sinks.empty());
        EXPECT_TRUE(manager().sinks.empty());
    }
}

TEST_F(ParameterViewTest, EditPermissionAndDataSetLockSwitchTheViewReadOnly) {
    dtm.kernel.uiManager.editAllowed = false;
    view->IDtmActiveXControl_Init(kInvokeId, QString(), &dtm);
    EXPECT_LT(log.indexOf(QStringLiteral("Buttons.DisableOk")),
              log.indexOf(QStringLiteral("ParameterManager.GetParameterBytes")));
    EXPECT_EQ(locks(), QStringLiteral("1111"));

    // Holding the lock makes the view editable and offers Apply although
    // nothing is dirty.
    log.clear();
    dtm.kernel.RaiseLockDataSet(QStringLiteral("me"));
    EXPECT_EQ(log.calls(), BarSwitch("T6001 me", "Enable"));
    EXPECT_EQ(locks(), QStringLiteral("0000"));
    EXPECT_FALSE(view->isDirty());

    log.clear();
    dtm.kernel.holdsLock = false;
    dtm.kernel.RaiseLockDataSet(QStringLiteral("Anna"));
    EXPECT_EQ(log.calls(), BarSwitch("T6001 Anna", "Disable"));
    EXPECT_EQ(locks(), QStringLiteral("1111"));

    // Unlocking makes the view read-only, unless the compatibility user unlocks.
    dtm.kernel.holdsLock = true;
    dtm.kernel.RaiseLockDataSet(QStringLiteral("me"));
    log.clear();
    dtm.kernel.RaiseUnlockDataSet(QStringLiteral("COMPATIBILITY"));
    EXPECT_TRUE(log.calls().empty());
    dtm.kernel.RaiseUnlockDataSet(QStringLiteral("compatibility"));
    EXPECT_EQ(log.calls(), BarSwitch("", "Disable"));
    EXPECT_EQ(locks(), QStringLiteral("1111"));
}

TEST_F(ParameterViewTest, InitGoesOnAfterErrorsAndShortDataIsNeverWritten) {
    FakeResourceManager::failingTexts() = {6002};
    manager().moduleDocument = QStringLiteral("!no module");
    manager().parameterBytes = {0x00, 0x08, 0x04};
    element(0)->SetFailSafeParameter(0xC0);
    ASSERT_TRUE(view->IDtmActiveXControl_Init(kInvokeId, QString(), &dtm));
    EXPECT_EQ(capture.lines().filter(QStringLiteral("Error")),
              (QStringList{QStringLiteral("Parameter.Init, Error: : Text 6002 not found"),
                           QStringLiteral("Parameter_GetAllValues, Error: : no module"),
                           QStringLiteral("Parameter_GetAllValues, Error: : parameter data has 3 "
                                          "bytes, 5 are needed")}));
    EXPECT_TRUE(log.contains(QStringLiteral("UiManager.InitFinished(INV-7)")));
    EXPECT_EQ(element(0)->FailSafeParameter(), 0xC0);
    EXPECT_EQ(element(1)->ShortCircuitCurrent(), 0);

    click(0, "chkChannelA");
    bar->clickApply();
    dtm.kernel.userDialog.answer = kIdYes;
    click(0, "chkChannelA");
    view->IDtmActiveXControl_PrepareToRelease();
    EXPECT_EQ(log.count(QStringLiteral("ParameterManager.SetParameterBytes")), 0);
    EXPECT_EQ(manager().parameterBytes, (ByteArray{0x00, 0x08, 0x04}));
}

} // namespace
} // namespace rq16::test
