// The Parameter view on the DTM stand-in: reading, editing, writing back,
// the questions at release and the data set lock.

#include "Parameter.h"

#include "StandIns.h"

#include "common/HelpUtilities.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include <gtest/gtest.h>

namespace rq16::test {
namespace {

using standins::LockHolder;

void Click(Parameter* view, int k, const char* name) {
    view->channelParameter(k)->findChild<QCheckBox*>(QString::fromLatin1(name))->click();
}
QString Label(Parameter* view, const char* name) {
    return view->findChild<QLabel*>(QString::fromLatin1(name))->text();
}
/// Locked state of the four elements, one digit each.
QString Locks(Parameter* view) {
    QString digits;
    for (int k = 0; k < kChannelPairCount; ++k) {
        digits += view->channelParameter(k)->Locked() ? QLatin1Char('1') : QLatin1Char('0');
    }
    return digits;
}
/// The calls of one Apply that writes `hex`.
QStringList ApplyCalls(const QString& hex) {
    return {"Buttons.SetMessage()", "ParameterManager.SetParameterBytes(" + hex + ")",
            "ParameterManager.CommitParameters", "Buttons.DisableApply"};
}

class ParameterViewTest : public ::testing::Test {
protected:
    /// Opens the view on a data set with `bytes`; the calls so far are dropped.
    Parameter* Open(const ByteArray& bytes = {0x00, 0x00, 0x00, 0x00, 0xFF}) {
        standins::DataSet data;
        data.parameterBytes = bytes;
        rig.dtm.parameters().Replace(data);
        Parameter* view = rig.Open<Parameter>();
        rig.calls.clear();
        rig.log.clear();
        return view;
    }
    StandIns rig;
};

TEST_F(ParameterViewTest, InitShowsTheModuleTheTagsAndTheBytesAndLogsItsPhases) {
    rig.dtm.parameters().Replace([] {
        standins::DataSet data;
        data.channelTags[2] = "third";
        data.channelTags[7] = "eighth";
        return data;
    }());
    auto* view = rig.Open<Parameter>();
    EXPECT_EQ(Label(view, "lblSlotNumberLabel"), "Slot");
    EXPECT_EQ(Label(view, "lblSlotNumber"), "03");
    EXPECT_EQ(Label(view, "lblModuleType"), "RQ16 DO8: ");
    EXPECT_EQ(view->channelParameter(1)->ChannelTag(), "third");
    EXPECT_EQ(view->channelParameter(3)->ChannelTag2(), "eighth");
    for (int k = 0; k < kChannelPairCount; ++k) {
        EXPECT_EQ(view->channelParameter(k)->ChannelNumber(), k + 1);
    }
    EXPECT_EQ(rig.log.lines(),
              (QStringList{"Parameter: IDtmActiveXControl_Init",
                           "Parameter: IDtmActiveXControl_Init: Before resource initialization",
                           "Parameter: IDtmActiveXControl_Init: Before channel parameter "
                           "initialization",
                           "Parameter: IDtmActiveXControl_Init: Before loading resources",
                           "Parameter: IDtmActiveXControl_Init: Before getting values",
                           "Parameter: GetAllValues",
                           "Parameter: IDtmActiveXControl_Init: Before initializing button control",
                           "Parameter: IDtmActiveXControl_Init: finished"}));
    EXPECT_EQ(
        rig.calls.filter(QRegularExpression("^(Buttons|UiManager)")),
        (QStringList{"UiManager.IsEditAllowed", "Buttons.SetResourceManager",
                     "Buttons.SetArea(" + QString::number(view->width()) + "," +
                         QString::number(view->height()) + ")",
                     "Buttons.SetStandardButtons(true,true,true,false)", "Buttons.DisableApply",
                     "Buttons.SetMessage()", "UiManager.InitFinished(DTM-1)"}));
    EXPECT_EQ(StandIns::Bar(view).resourceManager(), rig.dtm.kernel().ResourceManager());
    // The content ends above the bar.
    view->show();
    view->resize(640, 480);
    EXPECT_LE(view->findChild<QWidget*>("Content")->geometry().bottom(),
              view->buttonBar()->widget()->geometry().top());
}

TEST_F(ParameterViewTest, ShowsEveryPairOnEachReadWithoutChangingTheDirtyState) {
    auto* view = Open({0xA4, 0x08, 0x53, 0xF0, 0x96, 0x77}); // flags: bits 1, 2, 4 and 7
    const ChannelPairRecord expected[] = {{0xA0, true, 0, false, true},
                                          {0x00, false, 1, true, false},
                                          {0x50, false, 0, true, false},
                                          {0xF0, false, 0, false, true}};
    for (int k = 0; k < kChannelPairCount; ++k) {
        EXPECT_EQ(view->channelParameter(k)->Record(), expected[k]) << k;
    }
    // A change of the data set rereads; an edit stays pending, and Apply
    // then writes what is shown.
    Click(view, 0, "chkInvertedLogic");
    standins::DataSet data;
    data.parameterBytes = {0x08, 0, 0, 0x40, 0x80};
    rig.dtm.ChangeDataSet(data);
    EXPECT_EQ(view->channelParameter(3)->Record(),
              (ChannelPairRecord{0x40, false, 0, false, true}));
    EXPECT_TRUE(view->isDirty());
    rig.calls.clear();
    StandIns::Bar(view).click(standins::ButtonControl::Button::Apply);
    EXPECT_EQ(rig.calls, ApplyCalls("0800004080"));
}

TEST_F(ParameterViewTest, AnEditUpdatesOnlyItsPairLogsTheBytesAndMakesTheViewDirty) {
    auto* view = Open({0x13, 0x22, 0x31, 0x4B, 0x0F, 0xEE});
    Click(view, 1, "chkChannelA");
    // Pair 1's unused bits are dropped; flag bit 2 cleared, the others stay.
    EXPECT_EQ(view->parameterBytes(), (ByteArray{0x13, 0x20, 0x31, 0x4B, 0x0B, 0xEE}));
    EXPECT_EQ(rig.log.lines(),
              (QStringList{"Parameter: ISetDirty: 13, 20, 31, 4B, B",
                           "Parameter: ISetDirty: 00010011, 00100000, 00110001, 01001011, "
                           "00001011"}));
    EXPECT_EQ(rig.calls, QStringList{"Buttons.EnableApply"});
}

TEST_F(ParameterViewTest, ApplyAndOkWriteOnlyWhenDirtyAndCancelNeverWrites) {
    auto* view = Open({0x00, 0x10, 0x00, 0x00, 0x01, 0x99, 0x42});
    auto& bar = StandIns::Bar(view);
    view->ctlButtons_Apply();
    EXPECT_TRUE(rig.calls.isEmpty());

    Click(view, 0, "chkChannelA");
    Click(view, 0, "chkChannelA"); // back to the stored value, still dirty
    rig.calls.clear();
    view->ctlButtons_Cancel();
    EXPECT_EQ(rig.calls, QStringList{"UiManager.RequestClose(DTM-1)"});
    EXPECT_FALSE(view->isDirty());

    view->channelParameter(0)
        ->findChild<QComboBox*>("cboFailsafeValue")
        ->setCurrentIndex(kFailsafeLastValid);
    Click(view, 3, "chkShortDetection");
    rig.calls.clear();
    ASSERT_TRUE(bar.click(standins::ButtonControl::Button::Ok));
    EXPECT_EQ(rig.calls, ApplyCalls("20100080019942")
                             << QStringList{"UiManager.RequestClose(DTM-1)"});

    rig.calls.clear();
    view->ctlButtons_Apply();
    view->ctlButtons_Close();
    view->ctlButtons_Help();
    ASSERT_EQ(OpenHelpWindowCount(), 1);
    EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
    EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
    EXPECT_EQ(OpenHelpWindowCount(), 0);
    EXPECT_EQ(rig.calls,
              (QStringList{"UiManager.RequestClose(DTM-1)", "UiManager.RequestDataSetUnlock",
                           "UiManager.PreparedToRelease(DTM-1)"}));
}

TEST(ParameterRelease, AsksAboutUnsavedEditsAndWritesOnlyOnYes) {
    for (const int answer : {kIdYes, kIdNo}) {
        SCOPED_TRACE(answer);
        StandIns rig;
        rig.dtm.userDialog().SetAutomaticAnswer(answer);
        auto* view = rig.Open<Parameter>();
        Click(view, 3, "chkChannelB");
        rig.calls.clear();
        EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
        QStringList expected{"UserDialog.AskUser(The parameters have been changed. Do you want "
                             "to apply the changes?,RQ16 DO8,4)"};
        if (answer == kIdYes) {
            expected << ApplyCalls("000000007F");
        }
        expected << "UiManager.RequestDataSetUnlock"
                 << "UiManager.PreparedToRelease(DTM-1)";
        EXPECT_EQ(rig.calls, expected);
        EXPECT_EQ(rig.dtm.kernel().sinkCount(), 0u);
        EXPECT_EQ(rig.dtm.parameters().sinkCount(), 0u);
    }
}

TEST_F(ParameterViewTest, EditPermissionAndDataSetLockSwitchTheViewReadOnly) {
    rig.dtm.SetDataSetLock(LockHolder::OtherUser, "Bob");
    auto* view = rig.Open<Parameter>();
    auto& bar = StandIns::Bar(view);
    EXPECT_EQ(Locks(view), "1111");
    EXPECT_FALSE(bar.isOkEnabled());

    struct Step {
        LockHolder holder;
        const char* user;
        QStringList calls;
        const char* locks;
    };
    const std::vector<Step> steps{
        // Holding the lock offers Apply although nothing is dirty.
        {LockHolder::ThisDtm,
         "me",
         {"Buttons.SetMessage(Data set locked by me)", "Buttons.EnableOk", "Buttons.EnableApply"},
         "0000"},
        {LockHolder::OtherUser,
         "Anna",
         {"Buttons.SetMessage(Data set locked by Anna)", "Buttons.DisableOk",
          "Buttons.DisableApply"},
         "1111"},
        {LockHolder::ThisDtm,
         "me",
         {"Buttons.SetMessage(Data set locked by me)", "Buttons.EnableOk", "Buttons.EnableApply"},
         "0000"},
        // Unlocking makes the view read-only, unless the compatibility user unlocks.
        {LockHolder::Released, "COMPATIBILITY", {}, "0000"},
        {LockHolder::Released,
         "compatibility",
         {"Buttons.SetMessage()", "Buttons.DisableOk", "Buttons.DisableApply"},
         "1111"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.user);
        rig.calls.clear();
        rig.dtm.SetDataSetLock(step.holder, step.user);
        EXPECT_EQ(rig.calls, step.calls);
        EXPECT_EQ(Locks(view), step.locks);
        EXPECT_FALSE(view->isDirty());
    }
}

TEST_F(ParameterViewTest, ShortDataIsShownAsFarAsPossibleAndNeverWritten) {
    auto* view = Open({0x00, 0x08, 0x04});
    view->channelParameter(0)->SetFailSafeParameter(0xC0);
    rig.dtm.ChangeDataSet([] {
        standins::DataSet data;
        data.parameterBytes = {0x00, 0x08, 0x04};
        return data;
    }());
    // Both the kernel and the parameter manager tell of the change.
    EXPECT_EQ(rig.log.lines().filter("Error"),
              QStringList(2, "Parameter_GetAllValues, Error: : parameter data has 3 bytes, 5 "
                             "are needed"));
    EXPECT_EQ(view->channelParameter(0)->FailSafeParameter(), 0xC0);

    rig.dtm.userDialog().SetAutomaticAnswer(kIdYes);
    Click(view, 0, "chkChannelA");
    view->ctlButtons_Apply();
    view->IDtmActiveXControl_PrepareToRelease();
    EXPECT_TRUE(rig.Calls("ParameterManager.SetParameterBytes").isEmpty());
}

} // namespace
} // namespace rq16::test
