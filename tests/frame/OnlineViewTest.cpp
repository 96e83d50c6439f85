// The connection sequence of the online views, on the Diagnosis view against
// the simulated module: faults of the connection, release and close in every
// phase, and what the log shows of them.

#include "StandIns.h"

#include "Diagnosis.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <functional>

using namespace rq16;
using namespace rq16::test;
using Button = standins::ButtonControl::Button;

namespace {

class OnlineViewTest : public ::testing::Test {
protected:
    /// Opens the view with the answers held and lets it send its connect.
    Diagnosis* OpenHeld() {
        rig.HoldAnswers();
        Diagnosis* view = rig.Open<Diagnosis>();
        rig.Settle();
        return view;
    }
    /// Entries of the debug log from `from` on.
    QStringList LogFrom(qsizetype from) const { return rig.log.lines().mid(from); }

    StandIns rig;
    simulator::ConnectionFaults& faults = rig.module.connectionFaults();
};

} // namespace

TEST(OnlineViewPhases, AReadThatBringsNothingLeavesTheBarUsableAndTheConnectionOpen) {
    struct Case {
        const char* name;
        bool simulator::ConnectionFaults::*fault;
        QString reported; ///< error sent to the frame; empty for none
        bool online;
        bool activity = false; ///< a refused connect only enables the buttons
    };
    const std::vector<Case> cases{
        {"refused connect", &simulator::ConnectionFaults::refuseConnect, {}, false, true},
        {"negative connect", &simulator::ConnectionFaults::negativeConnect,
         "The station refused the connection", false},
        {"refused read", &simulator::ConnectionFaults::refuseTransaction, {}, true},
        {"negative read", &simulator::ConnectionFaults::negativeTransaction, "No data read", true},
        {"read without data", &simulator::ConnectionFaults::answersWithoutData, "No data read",
         true},
        {"unparsable read", &simulator::ConnectionFaults::unparsableTransaction,
         "Answer cannot be parsed", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StandIns rig;
        rig.module.connectionFaults().*c.fault = true;
        auto* view = rig.Open<Diagnosis>();
        rig.Settle();
        const auto& bar = StandIns::Bar(view);
        EXPECT_EQ(view->IsOnline(), c.online);
        EXPECT_EQ(bar.isOnline(), c.online) << "the lamp follows the connection";
        EXPECT_TRUE(view->OnlineInvokeId().isEmpty());
        EXPECT_TRUE(bar.areButtonsEnabled());
        EXPECT_EQ(bar.isActivityShown(), c.activity);
        const QStringList errors = rig.Calls("Kernel.OnErrorMessage");
        if (c.reported.isEmpty()) {
            EXPECT_TRUE(errors.isEmpty());
        } else {
            ASSERT_EQ(errors.size(), 1);
            EXPECT_TRUE(errors.front().contains(c.reported)) << errors.front().toStdString();
        }
        // Close works: through the disconnect when online, at once when not.
        EXPECT_TRUE(StandIns::Bar(view).click(Button::Close));
        rig.Settle();
        EXPECT_EQ(rig.Calls("UiManager.RequestClose"),
                  QStringList{"UiManager.RequestClose(DTM-1)"});
        EXPECT_FALSE(view->IsOnline());
    }
}

TEST_F(OnlineViewTest, AnUnparsableConnectAnswerIsReportedAndTriedAgain) {
    faults.unparsableConnect = true;
    auto* view = OpenHeld();
    rig.Answer();
    rig.Answer();
    EXPECT_EQ(rig.Calls("Communication.Connect").size(), 3);
    EXPECT_EQ(rig.Calls("Kernel.OnErrorMessage").size(), 2);

    // Released meanwhile: the disconnect queued instead of a new attempt
    // finds the view offline and completes the release once.
    view->IDtmActiveXControl_PrepareToRelease();
    rig.Answer();
    EXPECT_EQ(rig.Calls("Communication.Connect").size(), 3);
    EXPECT_EQ(rig.Calls("UiManager.PreparedToRelease"),
              QStringList{"UiManager.PreparedToRelease(DTM-1)"});
}

TEST_F(OnlineViewTest, ReleaseDuringABusyReadCompletesOnceAndThenStaysSilent) {
    auto* view = OpenHeld();
    rig.Answer(); // connected; the read is sent
    ASSERT_EQ(view->protocol().state.pending, ConnectionProtocol::Request::Read);
    const qsizetype from = rig.log.lines().size();
    EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
    rig.Answer(); // the telegram; its disconnect and the release's wait for each other
    rig.Answer(); // the disconnect answer
    rig.Answer(); // nothing more
    const QStringList lines = LogFrom(from);
    EXPECT_EQ(lines.mid(0, 4),
              (QStringList{"Diagnosis.PrepareToRelease: Online",
                           "Diagnosis.PrepareToRelease: sOnlineInvokeId: #2",
                           "Diagnosis.PrepareToRelease: Adding CallDisconnect to queue",
                           "Diagnosis.OnTransactionResponse: sOnlineInvokeId: #2"}));
    EXPECT_EQ(lines.mid(lines.size() - 8),
              (QStringList{"Diagnosis.ParseModuleDiagnosis: Calling Disconnect",
                           "Diagnosis.CallDisconnect: sOnlineInvokeId: #3",
                           "Diagnosis.CallDisconnect: actually trying to disconnect",
                           "Diagnosis.CallDisconnect: objBaseDtmCommunication.Disconnect "
                           "returned true",
                           "Diagnosis.OnDisconnectResponse: sOnlineInvokeId: #3",
                           "Diagnosis.OnDisconnectResponse: invokeId: #3",
                           "Diagnosis.OnDisconnectResponse: Preparing to release",
                           "Diagnosis.OnDisconnectResponse: m_sInvokeId: DTM-1"}));
    EXPECT_EQ(rig.calls.last(), "UiManager.PreparedToRelease(DTM-1)");
    EXPECT_EQ(rig.Calls("Communication.Disconnect").size(), 1);
    EXPECT_EQ(rig.dtm.kernel().sinkCount(), 0u) << "a released view hears no kernel events";
}

TEST(OnlineViewPhases, ReleaseAndCloseInEveryPhase) {
    struct Case {
        const char* name;
        int answersBefore;  ///< answers delivered before the release
        bool close;         ///< close pressed instead of release
        QStringList ending; ///< the kernel calls at the end
    };
    // Answers: 0 connecting, 1 reading, 3 offline again after the first read.
    const std::vector<Case> cases{
        {"release while connecting", 0, false, {"UiManager.PreparedToRelease(DTM-1)"}},
        {"release while reading", 1, false, {"UiManager.PreparedToRelease(DTM-1)"}},
        {"release when offline", 3, false, {"UiManager.PreparedToRelease(DTM-1)"}},
        {"close while reading", 1, true, {"UiManager.RequestClose(DTM-1)"}},
        {"close when offline", 3, true, {"UiManager.RequestClose(DTM-1)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StandIns rig;
        rig.HoldAnswers();
        auto* view = rig.Open<Diagnosis>();
        rig.Settle();
        for (int i = 0; i < c.answersBefore; ++i) {
            rig.Answer();
        }
        if (c.close) {
            view->ctlButtons_Close();
        } else {
            EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
        }
        while (rig.comm.DeliverNextAnswer()) {
            rig.Settle();
        }
        rig.Settle();
        EXPECT_EQ(rig.Calls("UiManager.PreparedToRelease") + rig.Calls("UiManager.RequestClose"),
                  c.ending);
        EXPECT_FALSE(view->IsOnline());
        EXPECT_TRUE(rig.comm.openConnections().empty());
        // Only an ending through the disconnect answer names the Init id there.
        EXPECT_EQ(rig.log.contains("Diagnosis.OnDisconnectResponse: m_sInvokeId: DTM-1"),
                  c.answersBefore < 3);
    }
}

TEST(OnlineViewPhases, ALostConnectionLeavesTheViewOfflineInEveryPhase) {
    for (int answers = 0; answers <= 3; ++answers) {
        SCOPED_TRACE(answers);
        StandIns rig;
        rig.HoldAnswers();
        auto* view = rig.Open<Diagnosis>();
        rig.Settle();
        for (int i = 0; i < answers; ++i) {
            rig.Answer();
        }
        view->IBaseCommunicationCallback_OnAbort(QStringLiteral("SIM-1"));
        const auto& bar = StandIns::Bar(view);
        EXPECT_FALSE(view->IsOnline());
        EXPECT_TRUE(view->OnlineInvokeId().isEmpty());
        EXPECT_FALSE(bar.isOnline());
        EXPECT_TRUE(bar.areButtonsEnabled());
        EXPECT_FALSE(bar.isActivityShown());
        EXPECT_FALSE(view->diagnosisShown());
        EXPECT_EQ(rig.Calls("Kernel.OnErrorMessage"),
                  QStringList{"Kernel.OnErrorMessage(RQ16 DO8 / slot 03,The connection to the "
                              "module is lost.)"});
        EXPECT_EQ(rig.log.lines().last(), "Diagnosis.OnAbort: communicationReference: SIM-1");
    }
}

TEST_F(OnlineViewTest, ARefusedDisconnectLeavesTheViewOnlineWithNothingOutstanding) {
    faults.refuseDisconnect = true;
    auto* view = rig.Open<Diagnosis>();
    rig.Settle();
    EXPECT_TRUE(view->IsOnline());
    EXPECT_TRUE(view->OnlineInvokeId().isEmpty());
    EXPECT_EQ(rig.log.lines().last(),
              "Diagnosis.CallDisconnect: objBaseDtmCommunication.Disconnect returned false");
}

TEST_F(OnlineViewTest, AnswersToOtherRequestsAreIgnored) {
    faults.foreignInvokeId = true;
    auto* view = rig.Open<Diagnosis>();
    rig.Settle();
    EXPECT_TRUE(view->diagnosisShown());
    EXPECT_FALSE(view->IsOnline());
    EXPECT_EQ(rig.log.count("Diagnosis.OnDisconnectResponse: Not my request, ignoring"), 1);
    EXPECT_EQ(rig.Calls("Communication.Transaction").size(), 1);
    EXPECT_TRUE(rig.Calls("Kernel.OnErrorMessage").isEmpty());
}

TEST_F(OnlineViewTest, VerifyConnectionOnlyForTheOutstandingRequest) {
    auto* view = OpenHeld();
    rig.Answer(); // the read is outstanding
    view->IBaseCommunicationCallback_VerifyConnectionRequest(QStringLiteral("other"), QString());
    rig.Settle();
    EXPECT_TRUE(rig.Calls("Communication.VerifyConnectionResponse").isEmpty());
    view->IBaseCommunicationCallback_VerifyConnectionRequest(view->OnlineInvokeId(), QString());
    rig.Settle();
    EXPECT_EQ(rig.Calls("Communication.VerifyConnectionResponse"),
              QStringList{"Communication.VerifyConnectionResponse(true)"});
    EXPECT_TRUE(rig.log.contains("Diagnosis.CallVerifyConnection: "));
}

TEST_F(OnlineViewTest, InitWithoutDtmOrKernelIsReportedAndNothingBreaks) {
    struct NoKernel : IDtm {
        IDtmKernel* DtmKernel() override { return nullptr; }
        std::vector<IBaseDtmCommunication*> CommunicationObjects() override { return {}; }
        QString ProtocolId() override { return {}; }
        int ChannelCount() override { return 0; }
        IFdtChannel* Channel(int) override { return nullptr; }
    } noKernel;
    for (IDtm* dtm : std::initializer_list<IDtm*>{nullptr, &noKernel}) {
        rig.calls.clear();
        rig.log.clear();
        Diagnosis view;
        EXPECT_TRUE(view.IDtmActiveXControl_Init(QStringLiteral("X"), QString(), dtm));
        EXPECT_EQ(rig.Calls("MessageBox"),
                  QStringList{"MessageBox(BIG Problem: Error occured and no Interface IDtmEvents "
                              "avaliable!)"});
        EXPECT_FALSE(
            rig.log.lines().filter("Diagnosis.Init, Error: : The view holds no DTM").isEmpty())
            << rig.log.lines().join("\n").toStdString();
        view.CallConnect();
        view.ctlButtons_ExtraCommand();
        view.IDtmActiveXControl_PrepareToRelease();
        rig.Settle();
        EXPECT_TRUE(rig.Calls("Communication").isEmpty());
    }
}
