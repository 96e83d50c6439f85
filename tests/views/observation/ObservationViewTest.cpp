// The Observation view's read cycle and connection steps on the stand-ins,
// with the answers of the simulated module held and handed over one by one,
// or replaced by blocks the test chooses.

#include "Observation.h"

#include "StandIns.h"

#include "standins/communication/Documents.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace rq16::test {
using Button = rq16::standins::ButtonControl::Button;

namespace {

class ObservationViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        standins::DataSet data;
        data.parameterBytes = {0x00, 0x04, 0x00, 0x00, 0x00};
        rig.dtm.parameters().Replace(data);
        rig.HoldAnswers();
        view = rig.Open<Observation>();
        rig.Settle();
    }
    /// Online with the first read outstanding.
    void Reading() {
        rig.Answer();
        ASSERT_FALSE(view->ReadOutputInvokeId().isEmpty());
    }
    /// Answers the outstanding read with `block` instead of the module.
    void Answer(const ByteArray& block, const QString& invokeId = {}) {
        view->IBaseCommunicationCallback_OnTransactionResponse(
            invokeId.isEmpty() ? view->ReadOutputInvokeId() : invokeId,
            standins::documents::DataResponse(block));
        rig.Settle();
    }
    ChannelObservation* Element(int i) { return view->channelElement(i); }

    StandIns rig;
    Observation* view = nullptr;
};

TEST_F(ObservationViewTest, SetUpFromChannelsAndParameterBytes) {
    EXPECT_EQ(view->slotNumberText(), "03");
    EXPECT_EQ(view->findChild<QLabel*>("lblSlotNumberLabel")->text(), "Slot");
    EXPECT_EQ(Element(2)->ChannelTag(), "Q3");
    EXPECT_TRUE(Element(2)->isInverted()); // bit 2 of parameter byte 1
    EXPECT_FALSE(Element(1)->isInverted());
    EXPECT_FALSE(Element(2)->isInput()); // the diode follows the terminal, not the master
    EXPECT_EQ(StandIns::Bar(view).extraCaption(), "Stop reading");
}

TEST_F(ObservationViewTest, ReadsOneAtATimeAndReArmsOnlyAfterTheAnswer) {
    Reading();
    EXPECT_EQ(rig.log.Normalized(view->ReadOutputInvokeId()), "#2");
    EXPECT_TRUE(StandIns::Bar(view).areButtonsEnabled());
    Answer({0x00, 0x05, 0x00, 0x03}, "FOREIGN");
    EXPECT_FALSE(view->CycleTimerActive()); // a foreign answer re-arms nothing

    Answer({0x00, 0x05, 0x00, 0x03});
    EXPECT_EQ(Element(0)->statePictureId(), ChannelObservation::kPictureForced);
    EXPECT_EQ(Element(1)->masterValueText(), "1");
    EXPECT_EQ(Element(2)->channelValueText(), "1"); // 0 inverted
    EXPECT_TRUE(view->CycleTimerActive());
    view->timCyclic_Timer();
    rig.Settle();
    EXPECT_EQ(rig.Calls("Communication.Transaction").size(), 2);

    // A short block: channel 1 connected, nothing decoded, the cycle goes on.
    Element(0)->SetHasConnection(false);
    Answer({0x00, 0x00, 0x00});
    EXPECT_TRUE(Element(0)->HasConnection());
    EXPECT_EQ(Element(1)->masterValueText(), "1");
    EXPECT_EQ(rig.log.forPlace("Observation.ParseModuleOutputValues").filter("ERROR: "),
              QStringList{"ERROR: Subscript out of range: the output values block has 3 bytes, 4 "
                          "are needed"});
    EXPECT_TRUE(view->CycleTimerActive());
}

TEST_F(ObservationViewTest, OnlineButtonDisconnectsAfterTheOutstandingRead) {
    Reading();
    EXPECT_TRUE(StandIns::Bar(view).click(Button::Extra));
    rig.Settle();
    EXPECT_TRUE(rig.Calls("Communication.Disconnect").isEmpty());
    Answer({0x00, 0x00, 0x00, 0x01});
    EXPECT_FALSE(view->CycleTimerActive());
    while (rig.comm.DeliverNextAnswer()) {
        rig.Settle();
    }
    EXPECT_FALSE(view->IsOnline());
    EXPECT_EQ(Element(0)->masterValueText(), "1"); // last values kept
    EXPECT_EQ(StandIns::Bar(view).extraCaption(), "Start reading");
    EXPECT_TRUE(StandIns::Bar(view).areButtonsEnabled());
    EXPECT_EQ(rig.Calls("Communication.Transaction").size(), 1);
    EXPECT_TRUE(StandIns::Bar(view).click(Button::Extra)); // online again
    rig.Settle();
    rig.Answer();
    EXPECT_EQ(StandIns::Bar(view).extraCaption(), "Stop reading");
}

TEST_F(ObservationViewTest, AbortClearsThePicturesAndEndsTheCycle) {
    Reading();
    Answer({0x00, 0x00, 0x00, 0x01});
    view->IBaseCommunicationCallback_OnAbort("SIM-1");
    EXPECT_EQ(Element(0)->statePictureId(), 0);
    EXPECT_FALSE(view->CycleTimerActive());
    EXPECT_EQ(rig.Calls("Kernel.OnErrorMessage"),
              QStringList{"Kernel.OnErrorMessage(RQ16 DO8 / slot 03,The connection to the "
                          "module is lost.)"});
}

TEST(ObservationInit, AMissingCaptionLeavesTheExtraButtonInPlace) {
    ResourcesWithout missing({6002});
    StandIns rig;
    rig.Open<Observation>();
    EXPECT_EQ(rig.Calls("Buttons.SetExtraButton").first(),
              "Buttons.SetExtraButton(Start reading,,0)");
}

} // namespace
} // namespace rq16::test
