// The forcing rules' request sequences against a recording connection; the
// channel element's display table and events; the Simulation view's pause,
// read-back and data set lock on the stand-ins.

#include "Simulation.h"
#include "ForceRequests.h"

#include "StandIns.h"

#include "standins/communication/Documents.h"

#include <QByteArray>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

using namespace rq16;

namespace {

class RecordingConnection : public IForcingConnection {
public:
    QString ForcingReference() override { return reference; }
    QString NewForcingInvokeId() override { return QStringLiteral("ID%1").arg(++ids); }
    bool SendForcingTransaction(const QString&, const QString& request) override {
        calls << request;
        return accept;
    }
    QString WriteForceValuesRequest(const ByteArray& block) override {
        return QStringLiteral("write ") + standins::documents::ToHex(block);
    }
    void SetEnableForceTimer(bool on) override { calls << (on ? "timer on" : "timer off"); }
    void ReportTransactionFailed(const QString& operation) override {
        calls << "failed " + operation;
    }
    void LogForcing(const QString&, const QString& message) override {
        calls << QStringList{message}.filter(QStringLiteral("Busy with update"));
    }
    void ReadBack() override { calls << QStringLiteral("read"); }

    QString reference = QStringLiteral("REF1");
    bool accept = true;
    QStringList calls;
    int ids = 0;
};

struct Sequence {
    const char* name;
    /// Steps: +i / -i activate / deactivate channel index i, 1i / 0i force
    /// value, t enable timer tick, ai answer to invoke id IDi, d disconnect,
    /// c connect again, r / R refuse / accept requests, | forget the calls.
    const char* steps;
    QStringList expected;
};

class ForceRequestsTest : public ::testing::TestWithParam<Sequence> {};

TEST_P(ForceRequestsTest, SendsWhatTheRulesSay) {
    RecordingConnection c;
    ForceRequests f(c);
    f.Connected(QStringLiteral("enable"));
    for (const QString& step : QString::fromLatin1(GetParam().steps).split(QLatin1Char(' '))) {
        const int i = step.mid(1).toInt();
        // clang-format off
        switch (step.at(0).toLatin1()) {
        case '+': f.ForceActivatedChanged(i, true); break;
        case '-': f.ForceActivatedChanged(i, false); break;
        case '1': f.ForceValueChanged(i, true); break;
        case '0': f.ForceValueChanged(i, false); break;
        case 't': f.EnableForceTimerTick(); break;
        case 'a': f.OnTransactionAnswer(QStringLiteral("ID%1").arg(i)); break;
        case 'd': f.Disconnected(); c.reference.clear(); break;
        case 'c': c.reference = QStringLiteral("REF2"); f.Connected(QStringLiteral("enable 2")); break;
        case 'r': c.accept = false; break;
        case 'R': c.accept = true; break;
        case '|': c.calls.clear(); break;
        }
        // clang-format on
    }
    EXPECT_EQ(c.calls, GetParam().expected);
}

// The enable request of the first activation is ID1, its write ID2.
INSTANTIATE_TEST_SUITE_P(
    Forcing, ForceRequestsTest,
    ::testing::Values(Sequence{"ValueChangesDuringAWriteAreSentOnceWithTheLatestMasks",
                               "+2 12 13 a2 a3",
                               {"enable", "write 00040000", "timer on", "Busy with update",
                                "Busy with update", "write 0004000C", "read"}},
                      Sequence{"ValueWithNothingActivatedIsOnlyStored",
                               "15 +0",
                               {"enable", "write 00010020", "timer on"}},
                      Sequence{"LastDeactivationWritesAnEmptyMaskAndAStrayOneNothing",
                               "+2 a2 | -2 -2",
                               {"write 00000000", "timer off", "timer off"}},
                      Sequence{"ReconnectReestablishesForcingWithWhatChangedOffline",
                               "+1 d 11 | c",
                               {"enable 2", "write 00020002", "timer on"}},
                      Sequence{"RefusedRequestsAreReportedAndNotOutstanding",
                               "r +7 R 17 t",
                               {"enable", "failed GlobalForcingEnable", "write 00800000",
                                "failed writeForceOutputValues", "timer on", "write 00800080",
                                "enable"}}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace

namespace rq16::test {
namespace {

QString Shown(const ChannelSimulation& e) {
    const bool on = e.diodeColor().rgb() == ChannelObservation::kDiodeOn;
    return e.masterValueText() + e.channelValueText() + (on ? " on" : " off");
}

TEST(ChannelSimulation, RefreshDisplayFollowsItsTable) {
    struct {
        bool input, forced, inverted, current, forceValue;
        const char* shown; // master, channel, diode
    } const rows[] = {
        {true, true, false, false, true, "10 off"}, // a forced input shows it as master
        {true, false, true, true, true, "10 on"},   // an input's diode follows the master
        {false, true, false, false, true, "01 on"}, // a forced output shows it as channel
        {false, true, true, true, false, "11 on"},  // ... after inversion
        {false, false, true, true, true, "10 off"},
    };
    for (const auto& row : rows) {
        ChannelSimulation element;
        element.SetIsInput(row.input);
        element.SetIsInverted(row.inverted);
        element.forcingActivatedBox()->setChecked(row.forced);
        element.valueButton(row.forceValue)->setChecked(true);
        element.SetCurrentValue(row.current, false, !row.forced); // the box decides
        EXPECT_EQ(Shown(element), row.shown);
        EXPECT_EQ(element.forced(), row.forced);
        EXPECT_EQ(element.forceInvalidShown(), row.input);
    }
}

TEST(ChannelSimulation, OneEventPerClickNoneFromCodeNoneWhenLocked) {
    ChannelSimulation element;
    QStringList events;
    QObject::connect(&element, &ChannelSimulation::ForceActivatedChanged,
                     [&](bool on) { events << QStringLiteral("forcing %1").arg(on); });
    QObject::connect(&element, &ChannelSimulation::ForceValueChanged,
                     [&](bool value) { events << QStringLiteral("value %1").arg(value); });
    element.forcingActivatedBox()->click();
    element.forcingActivatedBox()->click();
    element.valueButton(1)->click();
    element.valueButton(1)->click(); // already chosen: no change
    element.forcingActivatedBox()->setChecked(true);
    element.SetLocked(true);
    element.valueButton(0)->click();
    EXPECT_EQ(events, QStringList({"forcing 1", "forcing 0", "value 1"}));
}

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
    view->ctlButtons_ExtraCommand(); // pause
    view->IBaseCommunicationCallback_OnTransactionResponse(view->ReadOutputInvokeId(),
                                                           docs::DataResponse({0, 4, 0, 0}));
    EXPECT_FALSE(view->CycleTimerActive());
    EXPECT_EQ(caption(), "Buttons.SetExtraButton(Start reading,,0)");
    view->IBaseCommunicationCallback_OnTransactionResponse(write, docs::EmptyResponse());
    rig.Settle();
    EXPECT_EQ(Transactions(), 4); // read, enable, write, one read back
    // The invoke id, the request and "Command successful".
    EXPECT_EQ(rig.log.forPlace("Simulation.writeForceOutputValues").size(), 3);
    view->ctlButtons_ExtraCommand(); // resume: a read at once
    rig.Settle();
    view->timEnableForce_Timer(); // the enable is unanswered: logged twice, not sent
    EXPECT_EQ(Transactions(), 5);
    EXPECT_EQ(rig.log.forPlace("Simulation.timEnableForce_Timer").size(), 3);
    EXPECT_TRUE(rig.Calls("Communication.Disconnect").isEmpty());
    EXPECT_TRUE(view->EnableForceTimerActive());

    // A lost connection leaves nothing paused; the button connects again.
    view->IBaseCommunicationCallback_OnAbort(QStringLiteral("SIM-1"));
    EXPECT_EQ(caption(), "Buttons.SetExtraButton(Start reading,,0)");
    view->ctlButtons_ExtraCommand();
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
