#include "OnlineView.h"

#include "ComponentRegistry.h"

#include <QThread>
#include <QTime>

#include <functional>

namespace rq16 {

using Kind = ConnectionProtocol::Step::Kind;

namespace {

OnlineView::PauseFunction& Pause() {
    static OnlineView::PauseFunction pause;
    return pause;
}

} // namespace

OnlineView::OnlineView(ViewTraits traits, ConnectionProtocol::Traits protocol,
                       ReadRequest readRequest, QWidget* parent)
    : ViewBase(std::move(traits), parent),
      m_protocol(std::move(protocol), {[this] {
                                           try {
                                               return NewInvokeId();
                                           } catch (const std::exception&) {
                                               return QString();
                                           }
                                       },
                                       [this] { return m_objKernel ? m_objKernel->state() : 0; }}),
      m_readRequest(readRequest) {}

OnlineView::~OnlineView() = default;

void OnlineView::SetPauseFunction(PauseFunction pause) {
    Pause() = std::move(pause);
}

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
    CarrySteps(m_protocol.InitEnded(m_sInvokeId), m_traits.initErrorSuffix);
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

QString OnlineView::CommonTextOrEmpty(std::int32_t id) {
    try {
        return CommonText(id);
    } catch (const std::exception&) {
        return {};
    }
}

ConnectionProtocol::Answer OnlineView::Parse(const QString& response) {
    ConnectionProtocol::Answer answer;
    auto parser = Components().CreateResponseParser();
    answer.parsed = parser->Parse(response, m_objDocumentContext);
    if (!answer.parsed) {
        answer.lastError = parser->LastError();
        return answer;
    }
    answer.communicationReference = parser->CommunicationReference();
    answer.negative = parser->HasCommunicationError();
    answer.errorText = parser->ErrorText();
    answer.hasData = parser->HasData();
    if (answer.hasData) {
        answer.data = parser->Data();
    }
    return answer;
}

// ---- carrying out the steps ----

void OnlineView::Carry(const Steps& steps, const QString& operation) {
    CarrySteps(steps, QStringLiteral(".") + operation + QStringLiteral(", Error: "));
}

void OnlineView::CarrySteps(const Steps& steps, const QString& onError) {
    for (const Step& step : steps) {
        CarryStep(step, onError);
    }
}

void OnlineView::CarryStep(const Step& step, const QString& onError) {
    switch (step.kind) {
    case Kind::Log:
        if (LogEnabled()) {
            Log(step.place, step.tail.isEmpty() ? step.text : step.text + step.tail);
        }
        return;
    case Kind::LogTimeOfDay:
        Log(step.place, QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
        return;
    case Kind::Send: {
        const bool accepted = SendRequest(step, onError);
        CarrySteps(m_protocol.Sent(step.request, step.invokeId, accepted), onError);
        return;
    }
    case Kind::FetchEnableRequest: {
        QString document;
        Guarded(onError, [&] {
            document = Kernel().ParameterManager()->GetGlobalForcingEnableRequest(
                m_protocol.state.communicationReference);
        });
        CarrySteps(m_protocol.EnableRequestFetched(document), onError);
        return;
    }
    default:
        break;
    }
    Guarded(onError, [&] {
        IButtonControl& bar = *ctlButtons;
        switch (step.kind) {
        case Kind::Report: {
            QString message = step.textId != 0 ? CommonTextOrEmpty(step.textId) : step.text;
            if (step.appendTextId != 0) {
                const QString appended = CommonTextOrEmpty(step.appendTextId);
                message =
                    message.isEmpty() ? appended : message + QStringLiteral("\r\n") + appended;
            }
            ReportError(step.number, message, step.place);
            break;
        }
        case Kind::DisableButtons:
            bar.DisableButtons();
            break;
        case Kind::EnableButtons:
            bar.EnableButtons();
            break;
        case Kind::ShowActivity:
            bar.ShowActivity();
            break;
        case Kind::HideActivity:
            bar.HideActivity();
            break;
        case Kind::SetOnline:
            bar.SetOnline(step.flag);
            break;
        case Kind::SetExtraButton:
            bar.SetExtraButton(CommonText(step.number), QString(), 0);
            break;
        case Kind::Queue:
            Queue(step.text);
            break;
        case Kind::VerifyConnectionResponse:
            Communication().VerifyConnectionResponse(true);
            break;
        case Kind::RequestClose:
            if (m_objKernel) {
                m_objKernel->UiManager()->RequestClose(m_sInvokeId);
            }
            break;
        case Kind::PreparedToRelease:
            SendPreparedToRelease();
            break;
        case Kind::CloseHelp:
            CloseHelp();
            break;
        case Kind::Pause:
            if (Pause()) {
                Pause()(step.number);
            } else {
                QThread::msleep(static_cast<unsigned long>(step.number));
            }
            break;
        default:
            CarryViewStep(step);
            break;
        }
    });
}

bool OnlineView::SendRequest(const Step& step, const QString& onError) {
    using Request = ConnectionProtocol::Request;
    const QString& reference = m_protocol.state.communicationReference;
    QString document;
    Guarded(onError, [&] {
        switch (step.request) {
        case Request::Connect:
            document = Kernel().ParameterManager()->GetConnectRequest(true);
            break;
        case Request::Disconnect:
            break;
        case Request::Read:
            document = std::invoke(m_readRequest, Kernel().ParameterManager(), reference);
            break;
        case Request::ForceEnable:
            document = step.text;
            break;
        case Request::ForceWrite:
            document =
                Kernel().ParameterManager()->GetWriteForceValuesRequest(reference, step.data);
            break;
        default:
            document = ViewRequestDocument(step);
            break;
        }
    });
    if (!step.documentLog.isEmpty() && LogEnabled()) {
        Log(step.place, step.documentLog + document);
    }
    bool accepted = false;
    Guarded(onError, [&] {
        if (step.request == Request::Connect) {
            accepted = Communication().Connect(this, Kernel().ConnectionTarget(), step.invokeId,
                                               Dtm().ProtocolId(), document);
        } else if (step.request == Request::Disconnect) {
            accepted = Communication().Disconnect(reference, this, step.invokeId);
        } else {
            accepted = Communication().TransactionRequest(reference, this, step.invokeId, document);
        }
    });
    return accepted;
}

void OnlineView::CarryViewStep(const Step& step) {
    Q_UNUSED(step);
}

QString OnlineView::ViewRequestDocument(const Step& step) {
    Q_UNUSED(step);
    return {};
}

// ---- deferred operations ----

void OnlineView::CallConnect(const QVariant& vArguments) {
    Q_UNUSED(vArguments);
    Carry(m_protocol.CallConnect(), QStringLiteral("CallConnect"));
}

void OnlineView::CallDisconnect(const QVariant& vArguments) {
    Q_UNUSED(vArguments);
    Carry(m_protocol.CallDisconnect(), QStringLiteral("CallDisconnect"));
}

void OnlineView::CallVerifyConnection(const QVariant& vArguments) {
    Q_UNUSED(vArguments);
    Carry(m_protocol.CallVerifyConnection(), QStringLiteral("CallVerifyConnection"));
}

void OnlineView::CallRead() {
    Carry(m_protocol.CallRead(), m_protocol.traits().readOperation);
}

// ---- callbacks ----

void OnlineView::IBaseCommunicationCallback_OnConnectResponse(const QString& invokeId,
                                                              const QString& response) {
    const QString operation = QStringLiteral("OnConnectResponse");
    Steps steps;
    CallbackGuard(operation, [&] {
        steps = m_protocol.ConnectAnswer(invokeId, [&] { return Parse(response); });
    });
    Carry(steps, operation);
}

void OnlineView::IBaseCommunicationCallback_OnTransactionResponse(const QString& invokeId,
                                                                  const QString& response) {
    const QString operation = QStringLiteral("OnTransactionResponse");
    Steps steps;
    CallbackGuard(operation, [&] {
        steps = m_protocol.TransactionAnswer(invokeId, response, [&] { return Parse(response); });
    });
    Carry(steps, operation);
}

void OnlineView::IBaseCommunicationCallback_OnDisconnectResponse(const QString& invokeId,
                                                                 const QString& response) {
    Q_UNUSED(response); // the response text is not examined
    Carry(m_protocol.DisconnectAnswer(invokeId), QStringLiteral("OnDisconnectResponse"));
}

void OnlineView::IBaseCommunicationCallback_VerifyConnectionRequest(const QString& invokeId,
                                                                    const QString& response) {
    Q_UNUSED(response);
    Carry(m_protocol.VerifyConnectionRequest(invokeId), QStringLiteral("VerifyConnectionRequest"));
}

void OnlineView::IBaseCommunicationCallback_OnAbort(const QString& reference) {
    Carry(m_protocol.Abort(reference), QStringLiteral("OnAbort"));
}

// ---- buttons, close and release ----

void OnlineView::ctlButtons_ExtraCommand() {
    Carry(m_protocol.ExtraCommand(), QStringLiteral("ctlButtons_ExtraCommand"));
}

void OnlineView::ctlButtons_Close() {
    Carry(m_protocol.Close(), QStringLiteral("ctlButtons_Clos"));
}

bool OnlineView::IDtmActiveXControl_PrepareToRelease() {
    ConnectionProtocol::Release release = m_protocol.PrepareToRelease();
    Carry(release.steps, QStringLiteral("PrepareToRelease"));
    return release.answer;
}

} // namespace rq16
