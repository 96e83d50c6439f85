// The channel element's display table and events, and the Simulation view's
// pause, read-back and data set lock on the stand-ins.

#include "Simulation.h"

#include "StandIns.h"

#include "standins/communication/Documents.h"

#include <QCheckBox>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace rq16::test {
namespace {

struct DisplayRow {
    bool input, forced, inverted, current, forceValue;
    const char *master, *channel;
    bool diode;
};

TEST(ChannelSimulation, RefreshDisplayFollowsItsTable) {
    const DisplayRow rows[] = {
        {true, true, false, false, true, "1", "0", false}, // forced input: master is forced
        {true, false, true, true, true, "1", "0", true},   // input diode follows master
        {false, true, false, false, true, "0", "1", true}, // forced output: channel is forced
        {false, true, true, true, false, "1", "1", true},  // inverted force value
        {false, false, true, true, true, "1", "0", false}, // unforced output
    };
    for (const DisplayRow& row : rows) {
        ChannelSimulation element;
        element.SetIsInput(row.input);
        element.SetIsInverted(row.inverted);
        element.forcingActivatedBox()->setChecked(row.forced);
        element.valueButton(row.forceValue)->setChecked(true);
        element.SetCurrentValue(row.current, false, !row.forced); // the box decides
        EXPECT_EQ(element.masterValueText(), row.master);
        EXPECT_EQ(element.channelValueText(), row.channel);
        EXPECT_EQ(element.diodeColor().rgb(),
                  row.diode ? ChannelObservation::kDiodeOn : ChannelObservation::kDiodeOff);
        EXPECT_EQ(element.forced(), row.forced);
        EXPECT_EQ(element.forceInvalidShown(), row.input);
    }
}

TEST(ChannelSimulation, OneEventPerClickNoneFromCodeNoneWhenLocked) {
    ChannelSimulation element;
    QList<bool> activated;
    int values = 0;
    QObject::connect(&element, &ChannelSimulation::ForceActivatedChanged,
                     [&](bool on) { activated << on; });
    QObject::connect(&element, &ChannelSimulation::ForceValueChanged, [&](bool) { ++values; });
    element.forcingActivatedBox()->click();
    element.forcingActivatedBox()->click();
    element.valueButton(1)->click();
    element.valueButton(1)->click(); // already chosen
    element.forcingActivatedBox()->setChecked(true);
    EXPECT_EQ(activated, QList<bool>({true, false}));
    EXPECT_EQ(values, 1);
    element.SetLocked(true);
    element.valueButton(0)->click();
    EXPECT_FALSE(element.forcingActivatedBox()->isEnabled());
    EXPECT_EQ(values, 1);
}

namespace docs = standins::documents;

class SimulationViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.HoldAnswers();
        view = rig.Open<Simulation>();
        rig.Settle();
        rig.Answer(); // connected; the first read is outstanding
    }
    int transactions() const {
        return static_cast<int>(rig.Calls("Communication.Transaction").size());
    }
    /// The last request of `kind` sent.
    const standins::SimulatedCommunication::RecordedRequest& last(docs::RequestKind kind) const {
        const auto& requests = rig.comm.requests();
        return *std::find_if(requests.rbegin(), requests.rend(), [&](const auto& request) {
            const auto parsed = docs::ParseRequest(request.document);
            return parsed && parsed->kind == kind;
        });
    }

    StandIns rig;
    Simulation* view = nullptr;
};

TEST_F(SimulationViewTest, PauseKeepsForcingAndAWriteAnswerStillReadsBack) {
    view->channelSimulation(2)->forcingActivatedBox()->click(); // enable, then write
    rig.Settle();
    EXPECT_EQ(docs::ParseRequest(last(docs::RequestKind::WriteForceValues).document)->data,
              (ByteArray{0x00, 0x04, 0x00, 0x00}));
    EXPECT_TRUE(view->EnableForceTimerActive());
    view->ctlButtons_ExtraCommand(); // pause
    view->IBaseCommunicationCallback_OnTransactionResponse(view->ReadOutputInvokeId(),
                                                           docs::DataResponse({0, 4, 0, 0}));
    EXPECT_FALSE(view->CycleTimerActive());
    EXPECT_EQ(view->channelSimulation(2)->masterValueText(), "1");
    EXPECT_EQ(view->channelSimulation(2)->statePictureId(), ChannelObservation::kPictureForced);

    view->IBaseCommunicationCallback_OnTransactionResponse(
        last(docs::RequestKind::WriteForceValues).invokeId, docs::EmptyResponse());
    rig.Settle();
    EXPECT_EQ(transactions(), 4); // read, enable, write, one read back
    EXPECT_TRUE(view->ReadingPaused());
    view->ctlButtons_ExtraCommand(); // resume: a read at once
    rig.Settle();
    EXPECT_EQ(transactions(), 5);
    EXPECT_TRUE(rig.Calls("Communication.Disconnect").isEmpty());
    EXPECT_EQ(StandIns::Bar(view).extraCaption(), "Stop reading");
}

TEST_F(SimulationViewTest, ForceControlsFollowTheDataSetLock) {
    using standins::LockHolder;
    ChannelSimulation* element = view->channelSimulation(0);
    rig.dtm.SetDataSetLock(LockHolder::OtherUser, "engineer2");
    EXPECT_EQ(StandIns::Bar(view).message(), "Data set locked by engineer2");
    EXPECT_TRUE(element->Locked());
    rig.dtm.SetDataSetLock(LockHolder::ThisDtm, "me");
    EXPECT_FALSE(element->Locked());
    rig.dtm.SetDataSetLock(LockHolder::Released, "COMPATIBILITY");
    EXPECT_FALSE(element->Locked());
    rig.dtm.SetDataSetLock(LockHolder::Released, "me");
    EXPECT_TRUE(element->Locked());
    EXPECT_EQ(StandIns::Bar(view).message(), "");
    EXPECT_NE(view->ReadOutputInvokeId(), ""); // the read cycle goes on
}

} // namespace
} // namespace rq16::test
