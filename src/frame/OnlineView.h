#pragma once
// The connect, transaction and disconnect sequence shared by the online
// views. Every answer is matched to its request by invoke id; every follow-up
// request is queued on the deferred call queue, so no request starts inside a
// callback or inside Init.
//
// The sequence as written here is the Diagnosis view's. The other online
// views state their differences through the virtual steps below:
//  - Observation and Simulation keep one invoke id per kind of request and
//    share their read cycle and connection steps in ReadCycleView
//    (views/observation), which overrides the transaction answer, the
//    connect answer outcomes, the disconnect and the release through the
//    steps below (LogConnectAnswerEntry, LogAbortEntry, FinishDisconnect,
//    SendPreparedToRelease, OnConnectRefused, OnConnectionLost).
//  - Identification overrides the extra command (it runs again after every
//    connect answer), ConnectAnswerNegative, OnDisconnected and
//    OnConnectionLost (its state machine returns to rest), AfterInit (it
//    connects only in one kernel state) and the release, which may start a
//    save first and then calls ReleaseConnection.

#include "ConnectionState.h"
#include "ViewBase.h"

#include "host/Communication.h"

#include <QVariant>

#include <memory>

namespace rq16 {

/// After PreparedToRelease the deferred operations and the callbacks return
/// at once: nothing more is logged or sent.
class OnlineView : public ViewBase, public IBaseCommunicationCallback {
    Q_OBJECT
public:
    explicit OnlineView(ViewTraits traits, QWidget* parent = nullptr);
    ~OnlineView() override;

    // ---- public deferred operations (run by the deferred call queue) ----
    Q_INVOKABLE virtual void CallConnect(const QVariant& vArguments = {});
    Q_INVOKABLE virtual void CallDisconnect(const QVariant& vArguments = {});
    Q_INVOKABLE virtual void CallVerifyConnection(const QVariant& vArguments = {});

    // ---- answers of the communication object ----
    void IBaseCommunicationCallback_OnConnectResponse(const QString& invokeId,
                                                      const QString& response) override;
    /// The single-request form: the answer to sOnlineInvokeId is parsed and
    /// its data handed to OnTransactionData.
    void IBaseCommunicationCallback_OnTransactionResponse(const QString& invokeId,
                                                          const QString& response) override;
    void IBaseCommunicationCallback_OnDisconnectResponse(const QString& invokeId,
                                                         const QString& response) override;
    void IBaseCommunicationCallback_VerifyConnectionRequest(const QString& invokeId,
                                                            const QString& response) override;
    void IBaseCommunicationCallback_OnAbort(const QString& communicationReference) override;

    /// Closes the help and ends the connection; PreparedToRelease follows
    /// once the view is offline with nothing outstanding.
    bool IDtmActiveXControl_PrepareToRelease() override;

    /// Offline: queue CallConnect; online: queue ReadOperation().
    void ctlButtons_ExtraCommand() override;

    // ---- state, for the frame and for tests ----
    /// A communication reference is held.
    bool IsOnline() const override { return connection.IsOnline(); }
    const QString& CommunicationReference() const { return connection.communicationReference; }
    const QString& OnlineInvokeId() const { return connection.sOnlineInvokeId; }
    bool PrepareToReleasePending() const { return connection.blnPrepareToRelease; }
    bool ClosingPending() const { return connection.blnClosing; }
    const ConnectionState& Connection() const { return connection; }

protected:
    // ---- ViewBase hooks ----
    /// objBaseDtmCommunication, a new queue and a new invoke id generator.
    void TakeCommunicationObjects() override;
    /// Queues CallConnect, so the view connects after Init has returned.
    void AfterInit() override;
    /// blnClosing, then the disconnect is queued; its answer asks to close.
    void CloseWhileOnline() override;

    // ---- steps that views change ----
    /// The operation the extra command queues while online ("ReadDiag").
    virtual QString ReadOperation() const = 0;
    /// Place suffix of the extra command's log entry.
    virtual QString ExtraCommandLogSuffix() const { return QStringLiteral(".cmdReread_Click"); }
    /// First log entry of CallConnect.
    virtual void LogCallConnectEntry();
    /// Extra log entry before anything else of the connect answer.
    virtual void LogConnectAnswerEntry() {}
    /// First log entry of OnAbort.
    virtual void LogAbortEntry(const QString& reference);
    /// Connect was refused (after the buttons are enabled again).
    virtual void OnConnectRefused() {}
    /// The connect answer could not be parsed: report, then as after any
    /// connect answer (AfterConnectAnswer), which tries again.
    virtual void ConnectAnswerUnparsable(const QString& lastError);
    /// The connect answer carries no reference: report and show the error.
    virtual void ConnectAnswerNegative(const QString& errorText);
    /// communicationReference is set: go online, then AfterConnectAnswer.
    virtual void ConnectAnswerPositive();
    /// The extra command, or the disconnect when release is pending.
    virtual void AfterConnectAnswer();
    /// Shows a negative connect answer (Diagnosis: in its module box).
    virtual void ShowConnectError(const QString& errorText) { Q_UNUSED(errorText); }
    /// The data of the answer to the view's transaction.
    virtual void OnTransactionData(const ByteArray& bytes) { Q_UNUSED(bytes); }
    /// The own disconnect answer arrived and the view is offline; runs before
    /// release, close or re-enabling the buttons.
    virtual void OnDisconnected() {}
    /// The connection is lost or was refused by the device (Diagnosis clears
    /// its shown flag).
    virtual void OnConnectionLost() {}
    /// Any request of the view is outstanding.
    virtual bool HasOutstandingRequest() const { return connection.IsRequestOutstanding(); }

    // ---- building blocks ----
    /// Queues a public operation of this view; returns the queue's id.
    QString Queue(const QString& operation);
    QString NewInvokeId();
    /// Sends the view's one transaction under a new sOnlineInvokeId; a
    /// refusal leaves nothing outstanding and ends the read (ReadEnded).
    /// Returns whether it was accepted.
    bool SendOnlineTransaction(const QString& request);
    /// A read ended without data to show: the bar is enabled again and the
    /// activity hidden.
    void ReadEnded();
    /// objBaseDtmCommunication; throws a ComError when the DTM gave none.
    IBaseDtmCommunication& Communication() const;
    /// A new response parser that has parsed `response`; `parsed` tells
    /// whether it succeeded.
    std::unique_ptr<IResponseParser> ParseAnswer(const QString& response, bool& parsed);
    /// Offline or online part of the release (help already closed).
    void ReleaseConnection();
    /// A pending release is completed when the view is offline with nothing
    /// outstanding.
    void CompleteReleaseIfIdle();
    /// After the own disconnect answer: release (PreparedToRelease), close
    /// (RequestClose) or re-enable the buttons.
    void FinishDisconnect();
    /// Text of the common folder; empty if the lookup fails.
    QString CommonTextOrEmpty(std::int32_t id);
    /// Runs a callback body; an error ends it with one log entry.
    template <typename F> void CallbackGuard(const QString& operation, F&& body);

    IBaseDtmCommunication* objBaseDtmCommunication = nullptr;
    std::unique_ptr<IDeferredCallQueue> objDeferredCallQueue;
    std::unique_ptr<IInvokeIdGenerator> objInvokeIdGenerator;
    /// communicationReference, sOnlineInvokeId, blnPrepareToRelease and
    /// blnClosing, with the transitions between them.
    ConnectionState connection;
};

template <typename F> void OnlineView::CallbackGuard(const QString& operation, F&& body) {
    Guarded(QStringLiteral(".") + operation + QStringLiteral(", Error: "), body);
}

} // namespace rq16
