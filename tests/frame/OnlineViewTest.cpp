// The connection sequence of the online views against a recording fake
// communication object and a queue that the test runs by hand.

#include "FakeCommunication.h"
#include "FakeComponents.h"
#include "FakeHost.h"
#include "LogCapture.h"

#include "frame/OnlineView.h"

#include <gtest/gtest.h>

#include <memory>

using namespace rq16;
using namespace rq16::test;

namespace {

/// The smallest online view: its read operation sends one transaction and
/// its data ends the cycle with a disconnect, as the Diagnosis view does.
class ProbeView : public OnlineView {
    Q_OBJECT
public:
    ProbeView() : OnlineView(ViewTraits{QStringLiteral("Probe"), 1, true}) {}

    Q_INVOKABLE void ReadData(const QVariant& = {}) {
        Log(QStringLiteral(".ReadData"));
        SendOnlineTransaction(QStringLiteral("READ-REQUEST"));
    }

    std::vector<ByteArray> received;
    int connectionLost = 0;
    QStringList shownErrors;

protected:
    QString ReadOperation() const override { return QStringLiteral("ReadData"); }
    void OnTransactionData(const ByteArray& bytes) override {
        received.push_back(bytes);
        Queue(QStringLiteral("CallDisconnect"));
    }
    void OnConnectionLost() override { ++connectionLost; }
    void ShowConnectError(const QString& text) override { shownErrors << text; }
};

class OnlineViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeInvokeIdGenerator::counter() = 0;
        comm.lastCallback = nullptr;
        dtm.communication = {&comm};
        view = std::make_unique<ProbeView>();
        EXPECT_TRUE(view->IDtmActiveXControl_Init(QStringLiteral("INIT"), QString(), &dtm));
        queue = factory.lastQueue;
        bar = factory.lastButtonBar;
        log.clear();
        capture.clear();
    }

    /// Runs the queued calls one by one and returns their names.
    QStringList runQueue() {
        QStringList names;
        while (!queue->empty()) {
            names << queue->pendingNames().front();
            queue->runNext();
        }
        return names;
    }
    void connect() {
        ASSERT_EQ(runQueue(), QStringList{"CallConnect"});
        comm.answerConnect(QStringLiteral("CONNECT:REF1"));
    }
    /// Connected, read sent and outstanding.
    void reading() {
        connect();
        ASSERT_EQ(runQueue(), QStringList{"ReadData"});
    }
    /// Read answered, disconnect sent and outstanding.
    void disconnecting() {
        reading();
        comm.answerTransaction(QStringLiteral("DATA:01 02"));
        ASSERT_EQ(runQueue(), QStringList{"CallDisconnect"});
    }
    int errorsReported() const { return log.count(QStringLiteral("Kernel.OnErrorMessage")); }

    CallLog log;
    LogCapture capture;
    FakeComponentFactory factory{log};
    FakeDtm dtm{log};
    FakeCommunication comm{log};
    std::unique_ptr<ProbeView> view;
    ManualDeferredCallQueue* queue = nullptr;
    FakeButtonControl* bar = nullptr;
};

} // namespace

TEST_F(OnlineViewTest, InitQueuesTheConnectAndAFullCycleEndsOffline) {
    // Init only queued; nothing was sent inside it.
    EXPECT_EQ(queue->pendingNames(), QStringList{"CallConnect"});
    EXPECT_EQ(comm.lastConnectId, QString());

    disconnecting();
    EXPECT_EQ(view->received, std::vector<ByteArray>{ByteArray({0x01, 0x02})});
    EXPECT_TRUE(view->IsOnline());
    comm.answerDisconnect();

    EXPECT_FALSE(view->IsOnline());
    EXPECT_TRUE(view->OnlineInvokeId().isEmpty());
    EXPECT_TRUE(bar->buttonsEnabled);
    EXPECT_FALSE(bar->online);
    EXPECT_TRUE(queue->empty());
    EXPECT_TRUE(log.contains("Communication.Connect(ID1,{PROTOCOL},CONNECT-REQUEST)=true"));
    EXPECT_TRUE(log.contains("Communication.TransactionRequest(REF1,ID2,READ-REQUEST)=true"));
    EXPECT_TRUE(log.contains("Communication.Disconnect(REF1,ID3)=true"));
    EXPECT_EQ(
        capture.forPlace("Probe.CallConnect"),
        (QStringList{"", "Trying to get conntect request document", "actually trying to connect",
                     "objBaseDtmCommunication.Connect returned true"}));
    EXPECT_EQ(capture.forPlace("Probe.CallDisconnect"),
              (QStringList{"sOnlineInvokeId: ID3", "actually trying to disconnect",
                           "objBaseDtmCommunication.Disconnect returned true"}));
    EXPECT_TRUE(capture.contains("Probe.OnConnectResponse: communicationReference: REF1"));
    EXPECT_EQ(errorsReported(), 0);
}

TEST_F(OnlineViewTest, AnswersWithForeignInvokeIdsChangeNothing) {
    runQueue();
    comm.answerConnect(QStringLiteral("FOREIGN"), QStringLiteral("CONNECT:REF9"));
    EXPECT_FALSE(view->IsOnline());
    EXPECT_EQ(view->OnlineInvokeId(), "ID1");
    comm.answerConnect(QStringLiteral("CONNECT:REF1"));
    runQueue();

    comm.answerTransaction(QStringLiteral("FOREIGN"), QStringLiteral("DATA:FF"));
    EXPECT_TRUE(view->received.empty());
    EXPECT_EQ(view->OnlineInvokeId(), "ID2");
    EXPECT_TRUE(queue->empty());

    // A foreign disconnect answer still shows the bar offline, nothing else.
    comm.answerDisconnect(QStringLiteral("FOREIGN"));
    EXPECT_TRUE(capture.contains("Probe.OnDisconnectResponse: Not my request, ignoring"));
    EXPECT_FALSE(bar->online);
    EXPECT_TRUE(view->IsOnline());
    EXPECT_EQ(view->OnlineInvokeId(), "ID2");
}

TEST_F(OnlineViewTest, RefusedRequests) {
    comm.acceptConnect = false;
    runQueue();
    EXPECT_TRUE(view->OnlineInvokeId().isEmpty());
    EXPECT_TRUE(bar->buttonsEnabled);
    EXPECT_TRUE(
        capture.contains("Probe.CallConnect: objBaseDtmCommunication.Connect returned false"));

    comm.acceptConnect = true;
    comm.acceptTransaction = false;
    bar->clickExtra();
    connect();
    bar->DisableButtons();
    runQueue();
    // A refused transaction clears the id and leaves the bar usable.
    EXPECT_TRUE(view->OnlineInvokeId().isEmpty());
    EXPECT_TRUE(bar->buttonsEnabled);
    EXPECT_FALSE(bar->activity);
    EXPECT_TRUE(view->IsOnline());

    comm.acceptDisconnect = false;
    view->CallDisconnect();
    EXPECT_TRUE(view->OnlineInvokeId().isEmpty());
    EXPECT_TRUE(capture.contains(
        "Probe.CallDisconnect: objBaseDtmCommunication.Disconnect returned false"));
}

TEST_F(OnlineViewTest, UnparsableConnectAnswersAreReportedAndRetried) {
    runQueue();
    comm.answerConnect(QStringLiteral("garbage"));
    EXPECT_TRUE(log.contains("Kernel.OnErrorMessage(SYSTAG,unparsable: garbage)"));
    EXPECT_FALSE(view->IsOnline());
    EXPECT_EQ(queue->pendingNames(), QStringList{"CallConnect"});

    runQueue();
    comm.answerConnect(QStringLiteral("still garbage"));
    runQueue();
    comm.answerConnect(QStringLiteral("CONNECT:REF1"));
    EXPECT_TRUE(view->IsOnline());
    EXPECT_EQ(queue->pendingNames(), QStringList{"ReadData"});
    EXPECT_EQ(log.count("Communication.Connect("), 3);
}

TEST_F(OnlineViewTest, NegativeConnectAnswerIsShownAndNothingIsQueued) {
    runQueue();
    comm.answerConnect(QStringLiteral("ERROR:station offline"));
    EXPECT_TRUE(log.contains("Kernel.OnErrorMessage(SYSTAG,station offline)"));
    EXPECT_EQ(view->shownErrors, QStringList{"station offline"});
    EXPECT_EQ(view->connectionLost, 1);
    EXPECT_TRUE(queue->empty());
    EXPECT_TRUE(bar->buttonsEnabled);
    EXPECT_FALSE(bar->activity);
}

TEST_F(OnlineViewTest, ReadAnswersWithoutDataOrUnparsableKeepTheConnection) {
    reading();
    comm.answerTransaction(QStringLiteral("NODATA"));
    EXPECT_TRUE(log.contains("Kernel.OnErrorMessage(SYSTAG,No data read)"));
    EXPECT_TRUE(view->IsOnline());
    EXPECT_TRUE(queue->empty());

    view->ReadData();
    comm.answerTransaction(QStringLiteral("broken"));
    EXPECT_TRUE(log.contains("Kernel.OnErrorMessage(SYSTAG,unparsable: broken)"));
    EXPECT_TRUE(bar->buttonsEnabled);
    EXPECT_TRUE(view->IsOnline());
    EXPECT_TRUE(view->received.empty());
}

TEST_F(OnlineViewTest, DisconnectWaitsForTheOutstandingRequest) {
    reading();
    view->CallDisconnect();
    EXPECT_EQ(log.count("Communication.Disconnect"), 0);
    EXPECT_EQ(queue->pendingNames(), QStringList{"CallDisconnect"});
    comm.answerTransaction(QStringLiteral("DATA:07"));
    // The retried disconnect sends; the one queued by the data then waits
    // for the disconnect answer.
    EXPECT_EQ(queue->pendingNames(), (QStringList{"CallDisconnect", "CallDisconnect"}));
    queue->runNext();
    queue->runNext();
    EXPECT_EQ(log.count("Communication.Disconnect"), 1);
    EXPECT_EQ(queue->pendingNames(), QStringList{"CallDisconnect"});
    comm.answerDisconnect();
    EXPECT_FALSE(view->IsOnline());

    capture.clear();
    view->CallDisconnect();
    EXPECT_EQ(capture.forPlace("Probe.CallDisconnect"), QStringList{"No connection (any more)"});
}

TEST_F(OnlineViewTest, ReleaseWhileConnectingDisconnectsThenReleases) {
    runQueue();
    EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
    EXPECT_EQ(log.count("UiManager.PreparedToRelease"), 0);
    comm.answerConnect(QStringLiteral("CONNECT:REF1"));
    EXPECT_TRUE(capture.contains(
        "Probe.OnConnectResponse: blnPrepareToRelease is true, adding CallDisconnect to queue"));
    EXPECT_EQ(runQueue(), QStringList{"CallDisconnect"});
    comm.answerDisconnect();
    EXPECT_TRUE(log.contains("UiManager.PreparedToRelease(INIT)"));
    EXPECT_EQ(log.count("UiManager.RequestClose"), 0);
    EXPECT_TRUE(view->Released());
}

TEST_F(OnlineViewTest, ReleasePendingAfterAFailedConnectCompletesOnceOffline) {
    // Negative answer: released at once, since nothing else is outstanding.
    runQueue();
    view->IDtmActiveXControl_PrepareToRelease();
    comm.answerConnect(QStringLiteral("ERROR:no"));
    EXPECT_EQ(log.count("UiManager.PreparedToRelease(INIT)"), 1);

    // Unparsable answer: the disconnect queued instead of a retry finds the
    // view offline and completes the release.
    SetUp();
    runQueue();
    view->IDtmActiveXControl_PrepareToRelease();
    comm.answerConnect(QStringLiteral("garbage"));
    EXPECT_EQ(log.count("UiManager.PreparedToRelease"), 0);
    EXPECT_EQ(runQueue(), QStringList{"CallDisconnect"});
    EXPECT_EQ(log.count("UiManager.PreparedToRelease(INIT)"), 1);
    EXPECT_EQ(log.count("Communication.Connect"), 1); // no new attempt
}

TEST_F(OnlineViewTest, ReleaseWhenOfflineOrOnlineAndIdle) {
    EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
    EXPECT_TRUE(log.contains("UiManager.PreparedToRelease(INIT)"));
    // The connect queued by Init finds the view released and does nothing.
    runQueue();
    EXPECT_EQ(log.count("Communication.Connect"), 0);

    // Online and idle: the close path queues exactly one disconnect.
    SetUp();
    connect();
    queue->runNext();
    comm.answerTransaction(QStringLiteral("NODATA"));
    capture.clear();
    EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
    EXPECT_EQ(capture.forPlace("Probe.PrepareToRelease"),
              (QStringList{"Online", "sOnlineInvokeId: "}));
    EXPECT_TRUE(capture.contains("Probe_Clos: Calling Disconnect"));
    EXPECT_EQ(queue->pendingNames(), QStringList{"CallDisconnect"});
    runQueue();
    comm.answerDisconnect();
    EXPECT_EQ(log.count("UiManager.PreparedToRelease(INIT)"), 1);
    EXPECT_EQ(log.count("UiManager.RequestClose"), 0);
}

TEST_F(OnlineViewTest, CloseWhileOnlineAsksToCloseAfterTheDisconnect) {
    connect();
    queue->runNext();
    comm.answerTransaction(QStringLiteral("NODATA"));
    bar->clickClose();
    EXPECT_TRUE(view->ClosingPending());
    EXPECT_EQ(runQueue(), QStringList{"CallDisconnect"});
    comm.answerDisconnect();
    EXPECT_TRUE(log.contains("UiManager.RequestClose(INIT)"));
    EXPECT_EQ(log.count("UiManager.PreparedToRelease"), 0);
    EXPECT_FALSE(bar->buttonsEnabled);
}

TEST_F(OnlineViewTest, AbortInAnyStateLeavesTheViewOffline) {
    const std::vector<std::function<void()>> states{
        [] {},
        [this] { runQueue(); },
        [this] { connect(); },
        [this] { reading(); },
        [this] { disconnecting(); },
    };
    for (std::size_t i = 0; i < states.size(); ++i) {
        SetUp();
        states[i]();
        if (comm.lastCallback == nullptr) {
            comm.lastCallback = view.get();
        }
        bar->DisableButtons();
        comm.abort();
        EXPECT_FALSE(view->IsOnline()) << i;
        EXPECT_TRUE(view->OnlineInvokeId().isEmpty()) << i;
        EXPECT_TRUE(bar->buttonsEnabled) << i;
        EXPECT_FALSE(bar->online) << i;
        EXPECT_EQ(view->connectionLost, 1) << i;
        EXPECT_TRUE(log.contains("Kernel.OnErrorMessage(SYSTAG,T1127)")) << i;
        EXPECT_TRUE(capture.contains("Probe.OnAbort: communicationReference: REF1")) << i;
    }
}

TEST_F(OnlineViewTest, AbortWithReleasePendingCompletesTheRelease) {
    reading();
    view->IDtmActiveXControl_PrepareToRelease();
    EXPECT_EQ(queue->pendingNames(), QStringList{"CallDisconnect"});
    comm.abort();
    EXPECT_EQ(log.count("UiManager.PreparedToRelease(INIT)"), 1);
    runQueue();
    EXPECT_EQ(log.count("UiManager.PreparedToRelease"), 1);
    EXPECT_EQ(log.count("Communication.Disconnect"), 0);
}

TEST_F(OnlineViewTest, VerifyConnectionForTheOutstandingRequestOnly) {
    reading();
    comm.requestVerification(QStringLiteral("OTHER"));
    EXPECT_TRUE(queue->empty());
    comm.requestVerification(view->OnlineInvokeId());
    EXPECT_EQ(runQueue(), QStringList{"CallVerifyConnection"});
    EXPECT_TRUE(log.contains("Communication.VerifyConnectionResponse(true)"));
    EXPECT_TRUE(capture.contains("Probe.CallVerifyConnection: "));
}

TEST_F(OnlineViewTest, ExtraCommandConnectsWhenOfflineAndReadsWhenOnline) {
    runQueue();
    comm.answerConnect(QStringLiteral("ERROR:x"));
    bar->clickExtra();
    EXPECT_FALSE(bar->buttonsEnabled);
    EXPECT_TRUE(bar->activity);
    EXPECT_TRUE(capture.contains("Probe.cmdReread_Click: "));
    EXPECT_EQ(queue->pendingNames(), QStringList{"CallConnect"});
    runQueue();
    comm.answerConnect(QStringLiteral("CONNECT:REF2"));
    EXPECT_EQ(queue->pendingNames(), QStringList{"ReadData"});
}

#include "OnlineViewTest.moc"
