#pragma once
// What the online views share: they reach the module through the
// communication object, and every decision about the connection is the
// ConnectionProtocol's. The view feeds it the events it receives (buttons,
// deferred calls, answers, timer ticks) and carries out the steps it returns;
// every follow-up request goes through the deferred call queue, so no request
// starts inside a callback or inside Init.
//
// Hooks left to the views (and nothing else is virtual here; the list is
// checked by a test):
//  - CarryViewStep: the steps that need the view's own widgets (decoded data,
//    timers, channel elements, the I&M texts).
//  - ViewRequestDocument: documents only the view can build (the I&M
//    requests of Identification).
// The Init hooks of ViewBase (LoadCaptions, LoadPictures, FillHeader,
// AfterInit, TakeCommunicationObjects, LockControls, UnlockControls) stay as
// they are there.

#include "ConnectionProtocol.h"
#include "ViewBase.h"

#include "host/Communication.h"

#include <QVariant>

#include <functional>
#include <memory>

namespace rq16 {

/// After PreparedToRelease the deferred operations and the callbacks return
/// at once: nothing more is logged or sent.
class OnlineView : public ViewBase, public IBaseCommunicationCallback {
    Q_OBJECT
public:
    using Step = ConnectionProtocol::Step;
    using Steps = ConnectionProtocol::Steps;
    /// The parameter manager's request of the view's read for a reference.
    using ReadRequest = QString (IParameterManager::*)(const QString&);

    OnlineView(ViewTraits traits, ConnectionProtocol::Traits protocol, ReadRequest readRequest,
               QWidget* parent = nullptr);
    ~OnlineView() override;

    // ---- public deferred operations (run by the deferred call queue) ----
    Q_INVOKABLE void CallConnect(const QVariant& vArguments = {});
    Q_INVOKABLE void CallDisconnect(const QVariant& vArguments = {});
    Q_INVOKABLE void CallVerifyConnection(const QVariant& vArguments = {});

    // ---- answers of the communication object ----
    void IBaseCommunicationCallback_OnConnectResponse(const QString& invokeId,
                                                      const QString& response) override;
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

    void ctlButtons_ExtraCommand() override;
    void ctlButtons_Close() override;

    // ---- state, for the frame and for tests ----
    bool IsOnline() const { return m_protocol.state.IsOnline(); }
    const QString& CommunicationReference() const {
        return m_protocol.state.communicationReference;
    }
    const QString& OnlineInvokeId() const { return m_protocol.state.sOnlineInvokeId; }
    const ConnectionProtocol& protocol() const { return m_protocol; }

    /// The blocking pause of the view's thread (the I&M2 select waits 1000 ms
    /// after the I&M1 record): nothing else is handled meanwhile. Tests and
    /// tools shorten it; an empty function restores the real sleep.
    using PauseFunction = std::function<void(int milliseconds)>;
    static void SetPauseFunction(PauseFunction pause);

protected:
    // ---- ViewBase hooks ----
    /// objBaseDtmCommunication, a new queue and a new invoke id generator.
    void TakeCommunicationObjects() override;
    /// The protocol's Init end: queues CallConnect.
    void AfterInit() override;

    // ---- the view's own steps ----
    virtual void CarryViewStep(const Step& step);
    virtual QString ViewRequestDocument(const Step& step);

    // ---- building blocks ----
    /// Carries out the steps of an event; an error in one step is logged with
    /// place "." + operation + ", Error: " and the next step runs.
    void Carry(const Steps& steps, const QString& operation);
    /// The same with the whole place suffix of errors.
    void CarrySteps(const Steps& steps, const QString& onError);
    /// Queues a public operation of this view; returns the queue's id.
    QString Queue(const QString& operation);
    QString NewInvokeId();
    /// objBaseDtmCommunication; throws a ComError when the DTM gave none.
    IBaseDtmCommunication& Communication() const;
    /// Text of the common folder; empty if the lookup fails.
    QString CommonTextOrEmpty(std::int32_t id);
    /// Runs `body` for a callback; an error ends it with one log entry.
    template <typename F> void CallbackGuard(const QString& operation, F&& body);
    /// Runs the view's read operation (queued under Traits::readOperation).
    void CallRead();

    ConnectionProtocol m_protocol;
    IBaseDtmCommunication* objBaseDtmCommunication = nullptr;
    std::unique_ptr<IDeferredCallQueue> objDeferredCallQueue;
    std::unique_ptr<IInvokeIdGenerator> objInvokeIdGenerator;

private:
    void CarryStep(const Step& step, const QString& operation);
    /// Sends the request of a Send step; true when it was accepted.
    bool SendRequest(const Step& step, const QString& onError);
    ConnectionProtocol::Answer Parse(const QString& response);

    ReadRequest m_readRequest;
};

template <typename F> void OnlineView::CallbackGuard(const QString& operation, F&& body) {
    Guarded(QStringLiteral(".") + operation + QStringLiteral(", Error: "), body);
}

} // namespace rq16
