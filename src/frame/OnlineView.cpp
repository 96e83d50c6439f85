#include "OnlineView.h"

#include "ComponentRegistry.h"

namespace rq16 {

namespace {
/// Common text reported when the connection is lost.
constexpr std::int32_t kTextConnectionLost = 1127;
} // namespace

OnlineView::OnlineView(ViewTraits traits, QWidget* parent) : ViewBase(std::move(traits), parent) {}

OnlineView::~OnlineView() = default;

// ---- Init ----

void OnlineView::TakeCommunicationObjects() {
    InitStatement([&] {
        const auto objects = Dtm().CommunicationObjects();
        objBaseDtmCommunication = objects.empty() ? nullptr : objects.front();
        Communication();
    });
    InitStatement([&] { objInvokeIdGenerator = Components().CreateInvokeIdGenerator(); });
    InitStatement([&] { objDeferredCallQueue = Components().CreateDeferredCallQueue(); });
}

IBaseDtmCommunication& OnlineView::Communication() const {
    if (objBaseDtmCommunication == nullptr) {
        throw ComError(kErrInvalidArg, QStringLiteral("The DTM offers no communication object"));
    }
    return *objBaseDtmCommunication;
}

void OnlineView::AfterInit() {
    Queue(QStringLiteral("CallConnect"));
}

// ---- building blocks ----

QString OnlineView::Queue(const QString& operation) {
    if (!objDeferredCallQueue) {
        throw ComError(kErrInvalidArg, QStringLiteral("No deferred call queue"));
    }
    return objDeferredCallQueue->Add(this, operation, QVariant());
}

QString OnlineView::NewInvokeId() {
    if (!objInvokeIdGenerator) {
        throw ComError(kErrInvalidArg, QStringLiteral("No invoke id generator"));
    }
    return objInvokeIdGenerator->NewInvokeId();
}

bool OnlineView::SendOnlineTransaction(const QString& request) {
    connection.RequestSent(PendingRequest::Transaction, NewInvokeId());
    bool accepted = false;
    try {
        accepted = Communication().TransactionRequest(connection.communicationReference, this,
                                                      connection.sOnlineInvokeId, request);
    } catch (const std::exception&) {
        connection.RequestDone();
        ReadEnded();
        throw;
    }
    if (!accepted) {
        connection.RequestDone();
        ReadEnded();
    }
    return accepted;
}

void OnlineView::ReadEnded() {
    // Left open by the connection sequence; the user expects to be able to
    // read again or to close after a read that brought nothing, so the bar
    // is enabled and the activity hidden whenever a read ends without data
    // (refused, negative, unparsable or empty answer).
    ctlButtons->EnableButtons();
    ctlButtons->HideActivity();
}

std::unique_ptr<IResponseParser> OnlineView::ParseAnswer(const QString& response, bool& parsed) {
    auto parser = Components().CreateResponseParser();
    parsed = parser->Parse(response, m_objDocumentContext);
    return parser;
}

QString OnlineView::CommonTextOrEmpty(std::int32_t id) {
    try {
        return CommonText(id);
    } catch (const std::exception&) {
        return {};
    }
}

void OnlineView::CompleteReleaseIfIdle() {
    if (!Released() && connection.CanCompleteRelease() && !HasOutstandingRequest()) {
        Log(QStringLiteral(".PrepareToRelease"), QStringLiteral("Preparing to release"));
        SendPreparedToRelease();
    }
}

// ---- deferred operations ----

void OnlineView::LogCallConnectEntry() {
    Log(QStringLiteral(".CallConnect"));
}

void OnlineView::CallConnect(const QVariant& vArguments) {
    Q_UNUSED(vArguments);
    if (Released()) {
        return;
    }
    const QString onError = QStringLiteral(".CallConnect, Error: ");
    LogCallConnectEntry();
    Guarded(onError, [&] { ctlButtons->DisableButtons(); });
    Guarded(onError, [&] { connection.RequestSent(PendingRequest::Connect, NewInvokeId()); });
    Log(QStringLiteral(".CallConnect"), QStringLiteral("Trying to get conntect request document"));
    QString request;
    Guarded(onError, [&] { request = Kernel().ParameterManager()->GetConnectRequest(true); });
    Log(QStringLiteral(".CallConnect"), QStringLiteral("actually trying to connect"));
    bool accepted = false;
    Guarded(onError, [&] {
        accepted = Communication().Connect(this, Kernel().ConnectionTarget(),
                                           connection.sOnlineInvokeId, Dtm().ProtocolId(), request);
    });
    if (!accepted) {
        connection.RequestDone();
        Guarded(onError, [&] { ctlButtons->EnableButtons(); });
        Log(QStringLiteral(".CallConnect"),
            QStringLiteral("objBaseDtmCommunication.Connect returned false"));
        Guarded(onError, [&] { OnConnectRefused(); });
    } else {
        Log(QStringLiteral(".CallConnect"),
            QStringLiteral("objBaseDtmCommunication.Connect returned true"));
    }
}

void OnlineView::CallDisconnect(const QVariant& vArguments) {
    Q_UNUSED(vArguments);
    if (Released()) {
        return;
    }
    const QString place = QStringLiteral(".CallDisconnect");
    const QString onError = QStringLiteral(".CallDisconnect, Error: ");
    if (HasOutstandingRequest()) {
        if (IsOnline()) {
            Guarded(onError, [&] { Queue(QStringLiteral("CallDisconnect")); });
        }
        return;
    }
    if (!IsOnline()) {
        Log(place, QStringLiteral("No connection (any more)"));
        CompleteReleaseIfIdle();
        return;
    }
    Guarded(onError, [&] { connection.RequestSent(PendingRequest::Disconnect, NewInvokeId()); });
    Log(place, QStringLiteral("sOnlineInvokeId: ") + connection.sOnlineInvokeId);
    Log(place, QStringLiteral("actually trying to disconnect"));
    bool accepted = false;
    Guarded(onError, [&] {
        accepted = Communication().Disconnect(connection.communicationReference, this,
                                              connection.sOnlineInvokeId);
    });
    if (!accepted) {
        connection.RequestDone();
        Log(place, QStringLiteral("objBaseDtmCommunication.Disconnect returned false"));
    } else {
        Log(place, QStringLiteral("objBaseDtmCommunication.Disconnect returned true"));
    }
}

void OnlineView::CallVerifyConnection(const QVariant& vArguments) {
    Q_UNUSED(vArguments);
    if (Released()) {
        return;
    }
    Log(QStringLiteral(".CallVerifyConnection"));
    Guarded(QStringLiteral(".CallVerifyConnection, Error: "),
            [&] { Communication().VerifyConnectionResponse(true); });
}

// ---- connect answer ----

void OnlineView::IBaseCommunicationCallback_OnConnectResponse(const QString& invokeId,
                                                              const QString& response) {
    if (Released()) {
        return;
    }
    const QString place = QStringLiteral(".OnConnectResponse");
    LogConnectAnswerEntry();
    Log(place, QStringLiteral("sOnlineInvokeId: ") + connection.sOnlineInvokeId);
    if (!connection.IsAnswerTo(invokeId)) {
        return;
    }
    connection.RequestDone();
    CallbackGuard(QStringLiteral("OnConnectResponse"), [&] {
        bool parsed = false;
        const auto parser = ParseAnswer(response, parsed);
        if (!parsed) {
            ConnectAnswerUnparsable(parser->LastError());
        } else if (parser->CommunicationReference().isEmpty()) {
            ConnectAnswerNegative(parser->ErrorText());
        } else {
            connection.Connected(parser->CommunicationReference());
            ConnectAnswerPositive();
        }
    });
}

void OnlineView::ConnectAnswerUnparsable(const QString& lastError) {
    ReportError(0, lastError, QStringLiteral("OnConnectResponse"));
    ctlButtons->HideActivity();
    AfterConnectAnswer();
}

void OnlineView::ConnectAnswerNegative(const QString& errorText) {
    ReportError(0, errorText, QStringLiteral("OnConnectResponse"));
    OnConnectionLost();
    ShowConnectError(errorText);
    ctlButtons->EnableButtons();
    ctlButtons->HideActivity();
    CompleteReleaseIfIdle();
}

void OnlineView::ConnectAnswerPositive() {
    Log(QStringLiteral(".OnConnectResponse"),
        QStringLiteral("communicationReference: ") + connection.communicationReference);
    ctlButtons->SetOnline(true);
    AfterConnectAnswer();
}

void OnlineView::AfterConnectAnswer() {
    if (!connection.blnPrepareToRelease) {
        ctlButtons_ExtraCommand();
    } else {
        Log(QStringLiteral(".OnConnectResponse"),
            QStringLiteral("blnPrepareToRelease is true, adding CallDisconnect to queue"));
        Queue(QStringLiteral("CallDisconnect"));
    }
}

// ---- transaction answer ----

void OnlineView::IBaseCommunicationCallback_OnTransactionResponse(const QString& invokeId,
                                                                  const QString& response) {
    if (Released()) {
        return;
    }
    Log(QStringLiteral(".OnTransactionResponse"),
        QStringLiteral("sOnlineInvokeId: ") + connection.sOnlineInvokeId);
    if (!connection.IsAnswerTo(invokeId)) {
        return;
    }
    connection.RequestDone();
    CallbackGuard(QStringLiteral("OnTransactionResponse"), [&] {
        bool parsed = false;
        const auto parser = ParseAnswer(response, parsed);
        if (!parsed) {
            ReadEnded();
            ReportError(0, parser->LastError(), QStringLiteral("OnTransactionResponse"));
        } else if (parser->HasData()) {
            OnTransactionData(parser->Data());
        } else {
            ReadEnded();
            ReportError(0, QStringLiteral("No data read"), QStringLiteral("OnTransactionResponse"));
        }
    });
}

// ---- disconnect answer ----

void OnlineView::IBaseCommunicationCallback_OnDisconnectResponse(const QString& invokeId,
                                                                 const QString& response) {
    Q_UNUSED(response);
    if (Released()) {
        return;
    }
    const QString place = QStringLiteral(".OnDisconnectResponse");
    Log(place, QStringLiteral("sOnlineInvokeId: ") + connection.sOnlineInvokeId);
    Log(place, QStringLiteral("invokeId: ") + invokeId);
    CallbackGuard(QStringLiteral("OnDisconnectResponse"), [&] {
        ctlButtons->SetOnline(false);
        if (!connection.IsAnswerTo(invokeId)) {
            Log(place, QStringLiteral("Not my request, ignoring"));
            return;
        }
        connection.Disconnected();
        OnDisconnected();
        FinishDisconnect();
    });
}

void OnlineView::FinishDisconnect() {
    const QString place = QStringLiteral(".OnDisconnectResponse");
    if (connection.blnPrepareToRelease) {
        Log(place, QStringLiteral("Preparing to release"));
        Log(place, QStringLiteral("m_sInvokeId: ") + m_sInvokeId);
        SendPreparedToRelease();
    } else if (!connection.blnClosing) {
        ctlButtons->EnableButtons();
        ctlButtons->HideActivity();
    } else {
        Log(place, QStringLiteral("m_sInvokeId: ") + m_sInvokeId);
        connection.blnClosing = false;
        if (m_objKernel) {
            m_objKernel->UiManager()->RequestClose(m_sInvokeId);
        }
    }
}

// ---- verify and abort ----

void OnlineView::IBaseCommunicationCallback_VerifyConnectionRequest(const QString& invokeId,
                                                                    const QString& response) {
    Q_UNUSED(response);
    if (!Released() && connection.IsAnswerTo(invokeId)) {
        CallbackGuard(QStringLiteral("VerifyConnectionRequest"),
                      [&] { Queue(QStringLiteral("CallVerifyConnection")); });
    }
}

void OnlineView::LogAbortEntry(const QString& reference) {
    Log(QStringLiteral(".OnAbort"), QStringLiteral("communicationReference: ") + reference);
}

void OnlineView::IBaseCommunicationCallback_OnAbort(const QString& reference) {
    if (Released()) {
        return;
    }
    LogAbortEntry(reference);
    connection.RequestDone();
    CallbackGuard(QStringLiteral("OnAbort"), [&] {
        ctlButtons->SetOnline(false);
        ReportError(0, CommonTextOrEmpty(kTextConnectionLost), QStringLiteral("OnAbort"));
        connection.Disconnected();
        OnConnectionLost();
        ctlButtons->EnableButtons();
        ctlButtons->HideActivity();
        CompleteReleaseIfIdle();
    });
}

// ---- buttons, close and release ----

void OnlineView::ctlButtons_ExtraCommand() {
    ctlButtons->DisableButtons();
    ctlButtons->ShowActivity();
    Log(ExtraCommandLogSuffix());
    Queue(IsOnline() ? ReadOperation() : QStringLiteral("CallConnect"));
}

void OnlineView::CloseWhileOnline() {
    connection.blnClosing = true;
    Log(QStringLiteral("_Clos"), QStringLiteral("Calling Disconnect"));
    Queue(QStringLiteral("CallDisconnect"));
}

bool OnlineView::IDtmActiveXControl_PrepareToRelease() {
    CloseHelp();
    if (!Released()) {
        ReleaseConnection();
    }
    return true;
}

void OnlineView::ReleaseConnection() {
    const QString place = QStringLiteral(".PrepareToRelease");
    if (!IsOnline()) {
        Log(place, QStringLiteral("Offline"));
        if (!connection.IsRequestOutstanding()) {
            SendPreparedToRelease();
        } else {
            connection.blnPrepareToRelease = true;
        }
        return;
    }
    Log(place, QStringLiteral("Online"));
    Log(place, QStringLiteral("sOnlineInvokeId: ") + connection.sOnlineInvokeId);
    connection.blnPrepareToRelease = true;
    if (HasOutstandingRequest()) {
        Log(place, QStringLiteral("Adding CallDisconnect to queue"));
        Queue(QStringLiteral("CallDisconnect"));
    } else {
        ctlButtons_Close();
    }
}

} // namespace rq16
