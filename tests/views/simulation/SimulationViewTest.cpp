// The Simulation view's pause, read-back and data set lock on the stand-ins.

#include "Simulation.h"

#include "StandIns.h"

#include "standins/communication/Documents.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace rq16::test {
using Button = rq16::standins::ButtonControl::Button;

namespace {

class SimulationViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.HoldAnswers();
        view = rig.Open<Simulation>();
        rig.Settle();
        rig.Answer(); // connected; the first read is outstanding
    }
    int Transactions() const {
        return static_cast<int>(rig.Calls("Communication.Transaction").size());
    }
    QString caption() const { return rig.Calls("Buttons.SetExtraButton").last(); }
    StandIns rig;
    Simulation* view = nullptr;
};

TEST_F(SimulationViewTest, PauseKeepsForcingAndAWriteAnswerStillReadsBackOnce) {
    namespace docs = standins::documents;
    view->channelSimulation(2)->forcingActivatedBox()->click(); // enable, then write
    rig.Settle();
    const QString write = rig.comm.requests().back().invokeId;
    EXPECT_TRUE(StandIns::Bar(view).click(Button::Extra)); // pause
    view->IBaseCommunicationCallback_OnTransactionResponse(view->ReadOutputInvokeId(),
                                                           docs::DataResponse({0, 4, 0, 0}));
    EXPECT_FALSE(view->CycleTimerActive());
    EXPECT_EQ(caption(), "Buttons.SetExtraButton(Start reading,,0)");
    view->IBaseCommunicationCallback_OnTransactionResponse(write, docs::EmptyResponse());
    rig.Settle();
    EXPECT_EQ(Transactions(), 4); // read, enable, write, one read back
    // The invoke id, the request and "Command successful".
    EXPECT_EQ(rig.log.forPlace("Simulation.writeForceOutputValues").size(), 3);
    view->channelSimulation(2)->valueButton(0)->click(); // the value chosen: one more write
    rig.Settle();
    EXPECT_EQ(Transactions(), 5);
    EXPECT_TRUE(StandIns::Bar(view).click(Button::Extra)); // resume: a read at once
    rig.Settle();
    view->timEnableForce_Timer(); // the enable is unanswered: logged twice, not sent
    EXPECT_EQ(Transactions(), 6);
    EXPECT_EQ(rig.log.forPlace("Simulation.timEnableForce_Timer").size(), 3);
    EXPECT_TRUE(rig.Calls("Communication.Disconnect").isEmpty());
    EXPECT_TRUE(view->EnableForceTimerActive());

    // A lost connection leaves nothing paused; the button connects again.
    view->IBaseCommunicationCallback_OnAbort(QStringLiteral("SIM-1"));
    EXPECT_EQ(caption(), "Buttons.SetExtraButton(Start reading,,0)");
    EXPECT_TRUE(StandIns::Bar(view).click(Button::Extra));
    rig.Settle();
    EXPECT_EQ(rig.Calls("Communication.Connect").size(), 2);
}

TEST_F(SimulationViewTest, ForceControlsFollowTheDataSetLockWhileReadingGoesOn) {
    using standins::LockHolder;
    const auto locked = [&] { return view->channelSimulation(0)->Locked(); };
    rig.dtm.SetDataSetLock(LockHolder::OtherUser, "engineer2");
    EXPECT_TRUE(locked());
    EXPECT_EQ(StandIns::Bar(view).message(), "Data set locked by engineer2");
    rig.dtm.SetDataSetLock(LockHolder::ThisDtm, "me");
    rig.dtm.SetDataSetLock(LockHolder::Released, "COMPATIBILITY");
    EXPECT_FALSE(locked());
    EXPECT_FALSE(StandIns::Bar(view).isActivityShown());
    rig.dtm.SetDataSetLock(LockHolder::Released, "me");
    EXPECT_TRUE(locked());
    EXPECT_EQ(StandIns::Bar(view).message(), "");
    EXPECT_TRUE(rig.comm.requests().back().document.contains("SimulationRead"));
    view->IBaseCommunicationCallback_OnTransactionResponse(
        view->ReadOutputInvokeId(), standins::documents::DataResponse({0, 4}));
    EXPECT_EQ(rig.log.lines().last(), "Simulation.ParseModuleOutputValues: ERROR: Subscript out of "
                                      "range: the output values block has 2 bytes, 4 are needed, "
                                      "iLoop = 0");
    EXPECT_TRUE(view->CycleTimerActive()); // reading goes on after a telegram too short
}

TEST(SimulationView, OpenedInGermanLockedByAnotherUserAndRefusedAConnection) {
    StandIns rig;
    rig.dtm.kernel().resources().SetLanguage(QStringLiteral("de"));
    rig.dtm.SetDataSetLock(standins::LockHolder::OtherUser, "engineer2");
    rig.module.connectionFaults().refuseConnect = true;
    auto* view = rig.Open<Simulation>();
    rig.Settle();
    const ChannelSimulation* channel = view->channelSimulation(7);
    EXPECT_TRUE(channel->Locked());
    const auto label = [&](const char* name) { return channel->findChild<QLabel*>(name)->text(); };
    EXPECT_EQ(label("lblState") + '/' + label("lblForcingActivated") + '/' +
                  label("lblForceInvalid"),
              "Zustand/Forcen aktiviert/Forcewert ungültig");
    EXPECT_FALSE(StandIns::Bar(view).isActivityShown());
}

} // namespace
} // namespace rq16::test
