// The channel element's display table and events, and the Simulation view's
// pause, read-back and data set lock against recording fakes.

#include "Simulation.h"

#include "FakeCommunication.h"
#include "FakeComponents.h"
#include "FakeHost.h"

#include <QCheckBox>
#include <QRadioButton>

#include <gtest/gtest.h>

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

class SimulationViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeInvokeIdGenerator::counter() = 0;
        dtm.communication = {&comm};
        view = std::make_unique<Simulation>();
        view->IDtmActiveXControl_Init(QStringLiteral("INIT"), QString(), &dtm);
        queue = factory.lastQueue;
        bar = factory.lastButtonBar;
        queue->runAll(); // connect
        comm.answerConnect(QStringLiteral("CONNECT:REF1"));
        queue->runAll(); // first read, ID2
    }
    int transactions() { return log.count(QStringLiteral("Communication.TransactionRequest")); }

    CallLog log;
    FakeComponentFactory factory{log};
    FakeDtm dtm{log};
    FakeCommunication comm{log};
    std::unique_ptr<Simulation> view;
    ManualDeferredCallQueue* queue = nullptr;
    FakeButtonControl* bar = nullptr;
};

TEST_F(SimulationViewTest, PauseKeepsForcingAndAWriteAnswerStillReadsBack) {
    view->channelSimulation(2)->forcingActivatedBox()->click(); // enable ID3, write ID4
    EXPECT_TRUE(comm.lastRequest.endsWith(QStringLiteral("00 04 00 00")));
    EXPECT_TRUE(view->EnableForceTimerActive());
    view->ctlButtons_ExtraCommand(); // pause
    comm.answerTransaction(QStringLiteral("ID2"), QStringLiteral("DATA:00 04 00 00"));
    EXPECT_FALSE(view->CycleTimerActive());
    EXPECT_EQ(view->channelSimulation(2)->masterValueText(), "1");
    EXPECT_EQ(view->channelSimulation(2)->statePictureId(), ChannelObservation::kPictureForced);

    comm.answerTransaction(QStringLiteral("ID4"), QStringLiteral("OK"));
    queue->runAll();
    EXPECT_EQ(transactions(), 4); // read, enable, write, one read back
    EXPECT_TRUE(view->ReadingPaused());
    view->ctlButtons_ExtraCommand(); // resume: a read at once
    queue->runAll();
    EXPECT_EQ(transactions(), 5);
    EXPECT_EQ(log.count(QStringLiteral("Communication.Disconnect")), 0);
    EXPECT_EQ(bar->extraCaption, "T7012");
}

TEST_F(SimulationViewTest, ForceControlsFollowTheDataSetLock) {
    ChannelSimulation* element = view->channelSimulation(0);
    dtm.kernel.holdsLock = false;
    dtm.kernel.RaiseLockDataSet(QStringLiteral("engineer2"));
    EXPECT_EQ(bar->message, "T6001 engineer2");
    EXPECT_TRUE(element->Locked());
    dtm.kernel.holdsLock = true;
    dtm.kernel.RaiseLockDataSet(QStringLiteral("me"));
    EXPECT_FALSE(element->Locked());
    dtm.kernel.RaiseUnlockDataSet(QStringLiteral("COMPATIBILITY"));
    EXPECT_FALSE(element->Locked());
    dtm.kernel.RaiseUnlockDataSet(QStringLiteral("me"));
    EXPECT_TRUE(element->Locked());
    EXPECT_EQ(bar->message, "");
    EXPECT_NE(view->ReadOutputInvokeId(), ""); // the read cycle goes on
}

} // namespace
} // namespace rq16::test
