// The Observation view's read cycle and connection steps against recording
// fakes and a queue that the test runs by hand.

#include "Observation.h"

#include "FakeCommunication.h"
#include "FakeComponents.h"
#include "FakeHost.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <memory>

namespace rq16::test {
namespace {

class ObservationViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeInvokeIdGenerator::counter() = 0;
        dtm.communication = {&comm};
        dtm.kernel.parameterManager.parameterBytes = {0x00, 0x04, 0x00, 0x00, 0x00};
        view = std::make_unique<Observation>();
        view->IDtmActiveXControl_Init(QStringLiteral("INIT"), QString(), &dtm);
        queue = factory.lastQueue;
        bar = factory.lastButtonBar;
    }
    /// Runs the queue and returns the names of the calls that ran.
    QStringList run() {
        QStringList names;
        for (; !queue->empty(); queue->runNext()) {
            names << queue->pendingNames().front();
        }
        return names;
    }
    /// Online with the first read outstanding.
    void reading() {
        ASSERT_EQ(run(), QStringList{"CallConnect"});
        comm.answerConnect(QStringLiteral("CONNECT:REF1"));
        ASSERT_EQ(run(), QStringList{"CallReadOutputValues"});
    }
    ChannelObservation* element(int i) { return view->channelElement(i); }

    CallLog log;
    LogCapture capture;
    FakeComponentFactory factory{log};
    FakeDtm dtm{log};
    FakeCommunication comm{log};
    std::unique_ptr<Observation> view;
    ManualDeferredCallQueue* queue = nullptr;
    FakeButtonControl* bar = nullptr;
};

TEST_F(ObservationViewTest, SetUpFromChannelsAndParameterBytes) {
    EXPECT_EQ(view->slotNumberText(), "05");
    EXPECT_EQ(element(2)->ChannelTag(), "Q3");
    EXPECT_TRUE(element(2)->isInverted()); // bit 2 of parameter byte 1
    EXPECT_FALSE(element(1)->isInverted());
    EXPECT_EQ(bar->extraCaption, "T7012");
}

TEST_F(ObservationViewTest, ReadsOneAtATimeAndReArmsOnlyAfterTheAnswer) {
    reading();
    EXPECT_EQ(view->ReadOutputInvokeId(), "ID2");
    EXPECT_TRUE(bar->buttonsEnabled);
    comm.answerTransaction(QStringLiteral("FOREIGN"), QStringLiteral("DATA:00 05 00 03"));
    EXPECT_FALSE(view->CycleTimerActive()); // a foreign answer re-arms nothing

    comm.answerTransaction(QStringLiteral("ID2"), QStringLiteral("DATA:00 05 00 03"));
    EXPECT_EQ(element(0)->statePictureId(), ChannelObservation::kPictureForced);
    EXPECT_EQ(element(1)->masterValueText(), "1");
    EXPECT_EQ(element(2)->channelValueText(), "1"); // 0 inverted
    EXPECT_TRUE(view->CycleTimerActive());
    view->timCyclic_Timer();
    EXPECT_EQ(run(), QStringList{"CallReadOutputValues"});
    EXPECT_EQ(log.count("Communication.TransactionRequest"), 2);

    // A short block: channel 1 connected, nothing decoded, the cycle goes on.
    element(0)->SetHasConnection(false);
    comm.answerTransaction(QStringLiteral("DATA:00 00 00"));
    EXPECT_TRUE(element(0)->HasConnection());
    EXPECT_EQ(element(1)->masterValueText(), "1");
    EXPECT_EQ(capture.forPlace("Observation.ParseModuleOutputValues").filter("ERROR: ").size(), 1);
    EXPECT_TRUE(view->CycleTimerActive());
}

TEST_F(ObservationViewTest, OnlineButtonDisconnectsAfterTheOutstandingRead) {
    reading();
    bar->clickExtra();
    EXPECT_TRUE(run().isEmpty());
    comm.answerTransaction(QStringLiteral("DATA:00 00 00 01"));
    EXPECT_TRUE(capture.contains("Observation.OnTransactionResponse: Triggering CallDisconnect"));
    EXPECT_FALSE(view->CycleTimerActive());
    EXPECT_EQ(run(), QStringList{"CallDisconnect"});
    comm.answerDisconnect();
    EXPECT_FALSE(view->IsOnline());
    EXPECT_EQ(element(0)->masterValueText(), "1"); // last values kept
    EXPECT_EQ(bar->extraCaption, "T7011");
    EXPECT_TRUE(bar->buttonsEnabled);
    EXPECT_EQ(log.count("Communication.TransactionRequest"), 1);
}

TEST_F(ObservationViewTest, UnreadableConnectAnswersAreRetriedAtTheCyclePace) {
    run();
    comm.answerConnect(QStringLiteral("GARBLED"));
    EXPECT_TRUE(queue->empty());
    EXPECT_TRUE(bar->buttonsEnabled);
    EXPECT_TRUE(view->CycleTimerActive());
    view->timCyclic_Timer();
    EXPECT_EQ(run(), QStringList{"CallConnect"});
}

TEST_F(ObservationViewTest, AbortClearsThePicturesAndEndsTheCycle) {
    reading();
    comm.answerTransaction(QStringLiteral("DATA:00 00 00 01"));
    comm.abort();
    EXPECT_EQ(element(0)->statePictureId(), 0);
    EXPECT_FALSE(view->CycleTimerActive());
    EXPECT_FALSE(view->IsOnline());
    EXPECT_TRUE(bar->buttonsEnabled);
    EXPECT_EQ(log.count("Kernel.OnErrorMessage(SYSTAG,T1127)"), 1);
}

TEST_F(ObservationViewTest, ReleaseInItsThreeStates) {
    const QString released = QStringLiteral("UiManager.PreparedToRelease(INIT)");
    // Online with a read outstanding: the disconnect goes out at once.
    reading();
    view->IDtmActiveXControl_PrepareToRelease();
    EXPECT_EQ(run(), QStringList{"CallDisconnect"});
    EXPECT_TRUE(view->Disconnecting());
    // While the disconnect is outstanding: only wait for its answer.
    view->IDtmActiveXControl_PrepareToRelease();
    EXPECT_TRUE(capture.contains("Observation.PrepareToRelease: GoingOffline"));
    comm.answerTransaction(QStringLiteral("DATA:00 00 00 01"));
    EXPECT_FALSE(view->CycleTimerActive());
    EXPECT_EQ(log.count(released), 0);
    comm.answerDisconnect();
    EXPECT_EQ(log.count(released), 1);

    // Offline, even with a connect outstanding: at once.
    SetUp();
    run();
    view->IDtmActiveXControl_PrepareToRelease();
    EXPECT_EQ(log.count(released), 2);
}

} // namespace
} // namespace rq16::test
