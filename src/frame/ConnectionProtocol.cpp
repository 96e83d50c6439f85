#include "ConnectionProtocol.h"

#include "host/Constants.h"

namespace rq16 {

using Kind = ConnectionProtocol::Step::Kind;

namespace {

const QString kOnConnectResponse = QStringLiteral(".OnConnectResponse");
const QString kOnTransactionResponse = QStringLiteral(".OnTransactionResponse");
const QString kOnDisconnectResponse = QStringLiteral(".OnDisconnectResponse");
const QString kCallConnect = QStringLiteral(".CallConnect");
const QString kCallDisconnect = QStringLiteral(".CallDisconnect");
const QString kPrepareToRelease = QStringLiteral(".PrepareToRelease");
/// Common text: the changed I&M data have not been written.
constexpr std::int32_t kTextImNotWritten = 1138;

} // namespace

// ---- the views ----

ConnectionProtocol::Traits ConnectionProtocol::DiagnosisTraits() {
    Traits traits;
    traits.readOperation = QStringLiteral("ReadDiag");
    return traits;
}

ConnectionProtocol::Traits ConnectionProtocol::ObservationTraits() {
    Traits traits;
    traits.readOperation = QStringLiteral("CallReadOutputValues");
    traits.onlineButton = OnlineButton::StopReading;
    traits.connectEntryPlace = QString();
    traits.connectEntryText = QStringLiteral("CallConnect");
    traits.connectAnswerEntry = QStringLiteral("IBaseCommunicationCallback_OnConnectResponse");
    traits.logsCommunicationReference = false;
    traits.readCycle = true;
    traits.startReadingDisablesButtons = true;
    traits.readAnswerText = QStringLiteral("It was a response to a read output request:");
    traits.disconnect = Disconnect::AtOnceNamingId;
    traits.releasesOfflineAtOnce = true;
    traits.releaseWaitsForDisconnect = true;
    traits.abortLogsOnlineId = true;
    return traits;
}

ConnectionProtocol::Traits ConnectionProtocol::SimulationTraits() {
    Traits traits;
    traits.readOperation = QStringLiteral("CallReadOutputValues");
    traits.onlineButton = OnlineButton::PauseReading;
    traits.logsCommunicationReference = false;
    traits.readCycle = true;
    traits.readAnswerText = QStringLiteral("It was a response to a read request:");
    traits.forcing = true;
    traits.answerEntry = AnswerEntry::FourIds;
    traits.disconnect = Disconnect::AtOnce;
    traits.anyDisconnectAnswerIsOwn = true;
    traits.releasesOfflineAtOnce = true;
    traits.abortLogsOnlineId = true;
    return traits;
}

ConnectionProtocol::Traits ConnectionProtocol::IdentificationTraits() {
    Traits traits;
    traits.readOperation = QStringLiteral("CallReadQsData");
    traits.imSequence = true;
    traits.answerEntry = AnswerEntry::AndResponse;
    return traits;
}

ConnectionProtocol::ConnectionProtocol(Traits traits, Environment environment)
    : m_traits(std::move(traits)), m_environment(std::move(environment)) {}

QString ConnectionProtocol::NewId() const {
    return m_environment.newInvokeId ? m_environment.newInvokeId() : QString();
}

int ConnectionProtocol::KernelState() const {
    return m_environment.kernelState ? m_environment.kernelState() : 0;
}

bool ConnectionProtocol::CanSave(int kernelState) {
    return kernelState == kKernelStateOffline || kernelState == kKernelStateOnline;
}

bool ConnectionProtocol::HasOutstandingRequest() const {
    return !state.sOnlineInvokeId.isEmpty() ||
           (m_traits.readCycle && !state.sReadOutputInvokeId.isEmpty()) ||
           (m_traits.forcing &&
            (!state.sEnableForceInvokeId.isEmpty() || !state.sForceOutputUpdateInvokeId.isEmpty()));
}

// ---- building blocks ----

void ConnectionProtocol::Log(Steps& out, const QString& place, const QString& text,
                             const QString& tail) const {
    Step step;
    step.kind = Kind::Log;
    step.place = place;
    step.text = text;
    step.tail = tail;
    out.push_back(std::move(step));
}

void ConnectionProtocol::Bar(Steps& out, Step::Kind kind) const {
    Step step;
    step.kind = kind;
    out.push_back(std::move(step));
}

void ConnectionProtocol::BarBack(Steps& out) const {
    Bar(out, Kind::EnableButtons);
    Bar(out, Kind::HideActivity);
}

void ConnectionProtocol::SetExtraButton(Steps& out, std::int32_t textId) const {
    Step step;
    step.kind = Kind::SetExtraButton;
    step.number = textId;
    out.push_back(std::move(step));
}

void ConnectionProtocol::Queue(Steps& out, const QString& operation) const {
    Step step;
    step.kind = Kind::Queue;
    step.text = operation;
    out.push_back(std::move(step));
}

void ConnectionProtocol::Report(Steps& out, std::int32_t number, const QString& text,
                                const QString& place) const {
    Step step;
    step.kind = Kind::Report;
    step.number = number;
    step.text = text;
    step.place = place;
    out.push_back(std::move(step));
}

void ConnectionProtocol::ReportText(Steps& out, std::int32_t textId, std::int32_t appendTextId,
                                    const QString& place) const {
    Step step;
    step.kind = Kind::Report;
    step.textId = textId;
    step.appendTextId = appendTextId;
    step.place = place;
    out.push_back(std::move(step));
}

void ConnectionProtocol::Timer(Steps& out, Step::Kind kind, bool on) {
    (kind == Kind::CycleTimer ? state.cycleTimer : state.enableForceTimer) = on;
    Step step;
    step.kind = kind;
    step.flag = on;
    out.push_back(std::move(step));
}

void ConnectionProtocol::SendRequest(Steps& out, Request request, const QString& invokeId,
                                     const QString& documentLog, ByteArray data) const {
    Step step;
    step.kind = Kind::Send;
    step.request = request;
    step.invokeId = invokeId;
    step.documentLog = documentLog;
    step.data = std::move(data);
    out.push_back(std::move(step));
}

void ConnectionProtocol::SendOnline(Steps& out, Request request) {
    state.sOnlineInvokeId = NewId();
    state.pending = state.sOnlineInvokeId.isEmpty() ? Request::None : request;
    SendRequest(out, request, state.sOnlineInvokeId);
}

void ConnectionProtocol::SendPreparedToRelease(Steps& out) {
    // A released view acts no more. Its timers stop here: forcing chosen
    // after the close button, or kept through a lost connection, would
    // otherwise leave the enable timer running.
    for (const Kind timer : {Kind::CycleTimer, Kind::EnableForceTimer}) {
        if (timer == Kind::CycleTimer ? state.cycleTimer : state.enableForceTimer) {
            Timer(out, timer, false);
        }
    }
    state.released = true;
    Bar(out, Kind::PreparedToRelease);
}

bool ConnectionProtocol::WaitsForOutstanding(Steps& out, const QString& operation) {
    // One invoke id serves every request of the view: a request asked for
    // while another is outstanding (a reread or a save while the disconnect
    // after the last read is under way, a save's write while it connects
    // again) waits for that answer, as CallDisconnect does. Sent now, it
    // would make that answer foreign and leave the view on a connection it
    // has lost track of.
    if (m_traits.readCycle || state.sOnlineInvokeId.isEmpty()) {
        return false;
    }
    if (state.IsOnline()) {
        Queue(out, operation);
    }
    return true;
}

void ConnectionProtocol::CompleteReleaseIfIdle(Steps& out) {
    // Offline after a negative or unreadable connect answer, a pending
    // release is completed as soon as nothing is outstanding.
    if (!state.released && state.blnPrepareToRelease && !state.IsOnline() &&
        !HasOutstandingRequest()) {
        Log(out, kPrepareToRelease, QStringLiteral("Preparing to release"));
        SendPreparedToRelease(out);
    }
}

// ---- Init, buttons, close and release ----

ConnectionProtocol::Steps ConnectionProtocol::InitEnded(const QString& initInvokeId) {
    m_sInvokeId = initInvokeId;
    Steps out;
    // Identification reads the module only when the kernel is online; else
    // it stays offline until the extra command.
    if (!m_traits.imSequence || KernelState() == kKernelStateOnline) {
        Queue(out, QStringLiteral("CallConnect"));
    }
    return out;
}

ConnectionProtocol::Steps ConnectionProtocol::ExtraCommand() {
    Steps out;
    if (!state.released) {
        ExtraCommandTo(out);
    }
    return out;
}

void ConnectionProtocol::ExtraCommandTo(Steps& out) {
    const QString connect = QStringLiteral("CallConnect");
    switch (m_traits.onlineButton) {
    case OnlineButton::Reread:
        Bar(out, Kind::DisableButtons);
        Bar(out, Kind::ShowActivity);
        Log(out, QStringLiteral(".cmdReread_Click"));
        // A save writes once connected; offline (an unreadable connect
        // answer) it connects again.
        if (m_traits.imSequence && state.transactionResponseState == ImStates::kSaveIM1Record &&
            state.IsOnline()) {
            Queue(out, QStringLiteral("CallWriteIMData"));
        } else {
            Queue(out, state.IsOnline() ? m_traits.readOperation : connect);
        }
        return;
    case OnlineButton::StopReading:
        Bar(out, Kind::ShowActivity);
        if (!state.IsOnline()) {
            Queue(out, connect);
            return;
        }
        if (state.blnDisconnecting) {
            return;
        }
        state.blnDisconnectRequested = true;
        // The disconnect follows the next read answer; a cycle that has
        // stopped (refused read, unreadable answer) has none to wait for.
        if (!ReadCycleRunning()) {
            Queue(out, QStringLiteral("CallDisconnect"));
        }
        return;
    case OnlineButton::PauseReading:
        if (!state.IsOnline()) {
            Queue(out, connect);
        } else if (state.blnReadingPaused) {
            state.blnReadingPaused = false;
            SetExtraButton(out, kTextStopReading);
            TickTo(out);
        } else {
            Timer(out, Kind::CycleTimer, false);
            state.blnReadingPaused = true;
            SetExtraButton(out, kTextStartReading);
        }
        return;
    }
}

ConnectionProtocol::Steps ConnectionProtocol::Close() {
    Steps out;
    if (!state.released) {
        CloseTo(out);
    }
    return out;
}

void ConnectionProtocol::CloseTo(Steps& out) {
    if (m_traits.imSequence) {
        ImCloseTo(out);
    } else {
        CloseHandlerTo(out);
    }
}

void ConnectionProtocol::CloseHandlerTo(Steps& out) {
    Bar(out, Kind::DisableButtons);
    Bar(out, Kind::ShowActivity);
    // Nothing new starts while the view closes.
    if (m_traits.readCycle) {
        Timer(out, Kind::CycleTimer, false);
    }
    if (m_traits.forcing) {
        Timer(out, Kind::EnableForceTimer, false);
    }
    Log(out, QStringLiteral(".ctlButtons_Clos"));
    if (!state.IsOnline()) {
        Log(out, QStringLiteral("_Clos"), QStringLiteral("Closing control"));
        Bar(out, Kind::RequestClose);
        return;
    }
    state.blnClosing = true;
    Log(out, QStringLiteral("_Clos"), QStringLiteral("Calling Disconnect"));
    Queue(out, QStringLiteral("CallDisconnect"));
}

ConnectionProtocol::Release ConnectionProtocol::PrepareToRelease() {
    Release release;
    Steps& out = release.steps;
    if (m_traits.imSequence) {
        if (state.released) {
            return release;
        }
        if (!state.blnPrepareToRelease && state.m_bIMDataChanged && CanSave(KernelState())) {
            Log(out, QStringLiteral(".IDtmActiveXControl_PrepareToRelease"),
                QStringLiteral("Save I&M Data before closing the control"));
            ImCloseTo(out);
            release.answer = false;
            return release;
        }
        Bar(out, Kind::CloseHelp);
        Bar(out, Kind::SaveComment);
        Bar(out, Kind::RequestDataSetUnlock);
        // A save that ended with a negative answer keeps m_lSavePending, so
        // the close handler does nothing until a new save can start. Such a
        // view is released without it: it disconnects if need be and sends
        // PreparedToRelease once it is offline with nothing outstanding. (A
        // save still running ends first: the disconnect waits for it.)
        ReleaseConnectionTo(out, state.m_lSavePending == 0);
        return release;
    }
    Bar(out, Kind::CloseHelp);
    if (!state.released) {
        ReleaseConnectionTo(out);
    }
    return release;
}

void ConnectionProtocol::ReleaseConnectionTo(Steps& out, bool throughCloseHandler) {
    if (!state.IsOnline()) {
        Log(out, kPrepareToRelease, QStringLiteral("Offline"));
        // The read cycle views release at once, even with a connect
        // outstanding: its answer finds a released view.
        if (m_traits.releasesOfflineAtOnce || state.sOnlineInvokeId.isEmpty()) {
            SendPreparedToRelease(out);
        } else {
            state.blnPrepareToRelease = true;
        }
        return;
    }
    if (m_traits.releaseWaitsForDisconnect && state.blnDisconnecting) {
        Log(out, kPrepareToRelease, QStringLiteral("GoingOffline"));
        state.blnPrepareToRelease = true;
        return;
    }
    Log(out, kPrepareToRelease, QStringLiteral("Online"));
    Log(out, kPrepareToRelease, QStringLiteral("sOnlineInvokeId: ") + state.sOnlineInvokeId);
    state.blnPrepareToRelease = true;
    if (!HasOutstandingRequest() && throughCloseHandler) {
        CloseTo(out);
        return;
    }
    Log(out, kPrepareToRelease,
        m_traits.readCycle ? QStringLiteral("Calling Disconnect")
                           : QStringLiteral("Adding CallDisconnect to queue"));
    Queue(out, QStringLiteral("CallDisconnect"));
}

// ---- connect ----

ConnectionProtocol::Steps ConnectionProtocol::CallConnect() {
    Steps out;
    // While a connect is outstanding its answer does what a second one
    // would (a save started again by a second release, a click before the
    // connect queued by Init ran); a second would open a connection that
    // the view forgets at once.
    if (state.released || state.pending == Request::Connect) {
        return out;
    }
    if (WaitsForOutstanding(out, QStringLiteral("CallConnect"))) {
        return out;
    }
    if (!m_traits.readCycle && state.IsOnline()) {
        return out; // still connected: what asked for the connect has been overtaken
    }
    Log(out, m_traits.connectEntryPlace, m_traits.connectEntryText);
    Bar(out, Kind::DisableButtons);
    const QString invokeId = NewId();
    state.sOnlineInvokeId = invokeId;
    state.pending = invokeId.isEmpty() ? Request::None : Request::Connect;
    Log(out, kCallConnect, QStringLiteral("Trying to get conntect request document"));
    Log(out, kCallConnect, QStringLiteral("actually trying to connect"));
    SendRequest(out, Request::Connect, invokeId);
    return out;
}

void ConnectionProtocol::ConnectRefused(Steps& out) {
    if (m_traits.readCycle) {
        SetHasConnection(out, false);
        Bar(out, Kind::HideActivity);
    }
    if (m_traits.forcing) {
        state.enableRequest.clear();
    }
    // Identification: a save keeps m_lSavePending and its state; the close
    // button starts it again.
}

ConnectionProtocol::Steps ConnectionProtocol::ConnectAnswer(const QString& invokeId,
                                                            const Parse& parse) {
    Steps out;
    if (state.released) {
        return out;
    }
    if (!m_traits.connectAnswerEntry.isEmpty()) {
        Log(out, QString(), m_traits.connectAnswerEntry);
    }
    Log(out, kOnConnectResponse, QStringLiteral("sOnlineInvokeId: ") + state.sOnlineInvokeId);
    if (invokeId != state.sOnlineInvokeId) {
        return out;
    }
    state.sOnlineInvokeId.clear();
    state.pending = Request::None;
    const Answer answer = parse();
    if (!answer.parsed) {
        ConnectAnswerUnparsable(out, answer);
    } else if (answer.communicationReference.isEmpty()) {
        ConnectAnswerNegative(out, answer);
    } else {
        state.communicationReference = answer.communicationReference;
        ConnectAnswerPositive(out);
    }
    return out;
}

void ConnectionProtocol::ConnectAnswerUnparsable(Steps& out, const Answer& answer) {
    Report(out, 0, answer.lastError, QStringLiteral("OnConnectResponse"));
    Bar(out, Kind::HideActivity);
    if (m_traits.readCycle) {
        StartReading(out); // still offline: connects again
        return;
    }
    AfterConnectAnswer(out);
}

void ConnectionProtocol::ConnectAnswerNegative(Steps& out, const Answer& answer) {
    if (m_traits.imSequence) {
        const bool dropped = state.m_bIMDataChanged;
        if (dropped) {
            state.m_bIMDataChanged = false;
            state.m_lSavePending = 0;
        }
        ReportText(out, kTextConnectionLost, dropped ? kTextImNotWritten : 0,
                   QStringLiteral("OnConnectResponse"));
        BarBack(out);
        if (dropped) {
            Bar(out, Kind::RequestClose);
        }
        CompleteReleaseIfIdle(out);
        return;
    }
    Report(out, 0, answer.errorText, QStringLiteral("OnConnectResponse"));
    if (m_traits.readCycle) {
        SetExtraButton(out, kTextStartReading);
        BarBack(out);
        return;
    }
    Bar(out, Kind::ConnectionLost);
    Step show;
    show.kind = Kind::ShowConnectError;
    show.text = answer.errorText;
    out.push_back(std::move(show));
    BarBack(out);
    CompleteReleaseIfIdle(out);
}

void ConnectionProtocol::ConnectAnswerPositive(Steps& out) {
    if (m_traits.logsCommunicationReference) {
        Log(out, kOnConnectResponse,
            QStringLiteral("communicationReference: ") + state.communicationReference);
    }
    Step online;
    online.kind = Kind::SetOnline;
    online.flag = true;
    out.push_back(std::move(online));
    if (!m_traits.readCycle) {
        AfterConnectAnswer(out);
        return;
    }
    SetHasConnection(out, true);
    SetExtraButton(out, kTextStopReading);
    Bar(out, Kind::HideActivity);
    Bar(out, Kind::EnableButtons);
    if (m_traits.forcing) {
        // EnableRequestFetched goes on with forcing and the first read.
        Bar(out, Kind::FetchEnableRequest);
        return;
    }
    StartReading(out);
}

void ConnectionProtocol::AfterConnectAnswer(Steps& out) {
    if (!state.blnPrepareToRelease) {
        ExtraCommandTo(out);
        return;
    }
    Log(out, kOnConnectResponse,
        QStringLiteral("blnPrepareToRelease is true, adding CallDisconnect to queue"));
    Queue(out, QStringLiteral("CallDisconnect"));
}

ConnectionProtocol::Steps ConnectionProtocol::EnableRequestFetched(const QString& document) {
    Steps out;
    state.enableRequest = document;
    if (state.forceActivationCount > 0) {
        EstablishForcing(out);
    }
    StartReading(out);
    return out;
}

// ---- results of sending ----

ConnectionProtocol::Steps ConnectionProtocol::Sent(Request request, const QString& invokeId,
                                                   bool accepted) {
    Steps out;
    const auto clearOnline = [&] {
        if (state.sOnlineInvokeId == invokeId) {
            state.sOnlineInvokeId.clear();
            state.pending = Request::None;
        }
    };
    switch (request) {
    case Request::None:
        break;
    case Request::Connect:
        if (accepted) {
            Log(out, kCallConnect, QStringLiteral("objBaseDtmCommunication.Connect returned true"));
            break;
        }
        clearOnline();
        Bar(out, Kind::EnableButtons);
        Log(out, kCallConnect, QStringLiteral("objBaseDtmCommunication.Connect returned false"));
        ConnectRefused(out);
        break;
    case Request::Disconnect:
        if (accepted) {
            if (m_traits.disconnect == Disconnect::AfterOutstanding) {
                Log(out, kCallDisconnect,
                    QStringLiteral("objBaseDtmCommunication.Disconnect returned true"));
            }
            break;
        }
        // Only the id goes (and Observation's mark of a disconnect under
        // way, as none is): the bar stays as it was, a pending close or
        // release stays pending, and a later release disconnects again.
        clearOnline();
        state.blnDisconnecting = false;
        Log(out, kCallDisconnect,
            QStringLiteral("objBaseDtmCommunication.Disconnect returned false"));
        break;
    case Request::Read:
        if (accepted) {
            break;
        }
        if (m_traits.readCycle) {
            if (state.sReadOutputInvokeId == invokeId) {
                state.sReadOutputInvokeId.clear();
            }
            Report(out, kErrInvalidArg, QStringLiteral("Transaction failed"),
                   QStringLiteral("CallReadOutputValues"));
            break;
        }
        [[fallthrough]];
    case Request::SelectIM0:
    case Request::SelectIM1:
    case Request::SelectIM2:
    case Request::ReadRecord:
    case Request::WriteIM1Record:
    case Request::WriteIM2Record:
        if (accepted) {
            break;
        }
        clearOnline();
        if (!m_traits.imSequence) {
            // Left open by the sequence: the user expects to be able to read
            // again or to close after a read that brought nothing. (In
            // Identification the sequence stops and the bar and the state
            // stay as they were.)
            BarBack(out);
        }
        break;
    case Request::ForceEnable:
        if (accepted) {
            Log(out, QStringLiteral(".EnableForceTimer"), QStringLiteral("Command successful"));
            break;
        }
        if (state.sEnableForceInvokeId == invokeId) {
            state.sEnableForceInvokeId.clear();
        }
        Report(out, kErrInvalidArg, QStringLiteral("Transaction failed"),
               QStringLiteral("GlobalForcingEnable"));
        break;
    case Request::ForceWrite:
        if (accepted) {
            Log(out, QStringLiteral(".writeForceOutputValues"),
                QStringLiteral("Command successful"));
            break;
        }
        if (state.sForceOutputUpdateInvokeId == invokeId) {
            state.sForceOutputUpdateInvokeId.clear();
        }
        Report(out, kErrInvalidArg, QStringLiteral("Transaction failed"),
               QStringLiteral("writeForceOutputValues"));
        break;
    }
    return out;
}

// ---- reading ----

ConnectionProtocol::Steps ConnectionProtocol::CallRead() {
    Steps out;
    if (state.released) {
        return out;
    }
    if (WaitsForOutstanding(out, m_traits.readOperation)) {
        return out;
    }
    if (m_traits.imSequence) {
        state.transactionResponseState = ImStates::kQsRead;
        ImSend(out, Request::Read);
        return out;
    }
    if (!m_traits.readCycle) {
        Log(out, QStringLiteral(".ReadDiag"));
        SendOnline(out, Request::Read);
        return out;
    }
    state.readQueued = false;
    // A view that closes or is released reads no more (a step queued just
    // before would otherwise send one beside the disconnect).
    if (!state.IsOnline() || state.blnClosing || state.blnPrepareToRelease) {
        return out;
    }
    const QString place = QStringLiteral(".CallReadOutputValues");
    state.sReadOutputInvokeId = NewId();
    Log(out, place,
        QStringLiteral("sReadOutputInvokeId              = ") + state.sReadOutputInvokeId);
    SendRequest(out, Request::Read, state.sReadOutputInvokeId,
                QStringLiteral("sReadRequest                     = "));
    out.back().place = place;
    return out;
}

ConnectionProtocol::Steps ConnectionProtocol::TransactionAnswer(const QString& invokeId,
                                                                const QString& response,
                                                                const Parse& parse) {
    Steps out;
    if (state.released) {
        return out;
    }
    switch (m_traits.answerEntry) {
    case AnswerEntry::OnlineId:
        Log(out, kOnTransactionResponse,
            QStringLiteral("sOnlineInvokeId: ") + state.sOnlineInvokeId);
        break;
    case AnswerEntry::FourIds:
        Log(out, kOnTransactionResponse,
            QStringLiteral("invokeId                   = ") + invokeId);
        Log(out, kOnTransactionResponse,
            QStringLiteral("sOnlineInvokeId            = ") + state.sOnlineInvokeId);
        Log(out, kOnTransactionResponse,
            QStringLiteral("sEnableForceInvokeId       = ") + state.sEnableForceInvokeId);
        Log(out, kOnTransactionResponse,
            QStringLiteral("sForceOutputUpdateInvokeId = ") + state.sForceOutputUpdateInvokeId);
        break;
    case AnswerEntry::AndResponse:
        Log(out, kOnTransactionResponse,
            QStringLiteral("sOnlineInvokeId: ") + state.sOnlineInvokeId);
        Log(out, kOnTransactionResponse, QStringLiteral("Response: ") + response);
        break;
    }
    if (m_traits.readCycle) {
        if (!state.sReadOutputInvokeId.isEmpty() && invokeId == state.sReadOutputInvokeId) {
            state.sReadOutputInvokeId.clear();
            ReadAnswer(out, response, parse());
        } else if (m_traits.forcing) {
            ForceAnswer(out, invokeId);
        }
        return out;
    }
    if (invokeId != state.sOnlineInvokeId) {
        if (m_traits.imSequence) {
            Log(out, kOnTransactionResponse, QStringLiteral("Not my request, ignoring"));
        }
        return out;
    }
    state.sOnlineInvokeId.clear();
    state.pending = Request::None;
    const Answer answer = parse();
    if (m_traits.imSequence) {
        ImAnswer(out, response, answer);
    } else {
        OnlineTransactionAnswer(out, answer);
    }
    return out;
}

void ConnectionProtocol::OnlineTransactionAnswer(Steps& out, const Answer& answer) {
    const QString place = QStringLiteral("OnTransactionResponse");
    if (answer.parsed && answer.hasData) {
        Step show;
        show.kind = Kind::ShowData;
        show.data = answer.data;
        out.push_back(std::move(show));
        return;
    }
    // Left open by the sequence: the bar is usable again after a read that
    // brought nothing.
    BarBack(out);
    Report(out, 0, answer.parsed ? QStringLiteral("No data read") : answer.lastError, place);
}

ConnectionProtocol::Steps ConnectionProtocol::DataShown(const QString& place) {
    Steps out;
    if (state.IsOnline() && !state.released) {
        Log(out, place, QStringLiteral("Calling Disconnect"));
        Queue(out, QStringLiteral("CallDisconnect"));
    }
    return out;
}

// ---- disconnect ----

ConnectionProtocol::Steps ConnectionProtocol::CallDisconnect() {
    Steps out;
    if (state.released) {
        return out;
    }
    if (m_traits.disconnect == Disconnect::AfterOutstanding) {
        if (HasOutstandingRequest()) {
            // Tried again after the outstanding answer.
            if (state.IsOnline()) {
                Queue(out, QStringLiteral("CallDisconnect"));
            }
            return out;
        }
        if (!state.IsOnline()) {
            Log(out, kCallDisconnect, QStringLiteral("No connection (any more)"));
            CompleteReleaseIfIdle(out);
            return out;
        }
    } else if (!state.IsOnline()) {
        // A lost connection overtook the disconnect queued by the close or
        // release: there is nothing to end, and a disconnect sent now would
        // take sOnlineInvokeId from the next connect.
        CompleteReleaseIfIdle(out);
        return out;
    }
    const QString invokeId = NewId();
    state.sOnlineInvokeId = invokeId;
    state.pending = invokeId.isEmpty() ? Request::None : Request::Disconnect;
    switch (m_traits.disconnect) {
    case Disconnect::AfterOutstanding:
        Log(out, kCallDisconnect, QStringLiteral("sOnlineInvokeId: ") + invokeId);
        Log(out, kCallDisconnect, QStringLiteral("actually trying to disconnect"));
        break;
    case Disconnect::AtOnceNamingId:
        Log(out, kCallDisconnect, QStringLiteral("Actually trying to disconnect: ") + invokeId);
        state.blnDisconnecting = true;
        break;
    case Disconnect::AtOnce:
        Log(out, kCallDisconnect, QStringLiteral("actually trying to disconnect"));
        break;
    }
    SendRequest(out, Request::Disconnect, invokeId);
    return out;
}

ConnectionProtocol::Steps ConnectionProtocol::DisconnectAnswer(const QString& invokeId) {
    Steps out;
    if (state.released) {
        return out;
    }
    Step offline;
    offline.kind = Kind::SetOnline;
    offline.flag = false;
    if (!m_traits.readCycle) {
        Log(out, kOnDisconnectResponse,
            QStringLiteral("sOnlineInvokeId: ") + state.sOnlineInvokeId);
        Log(out, kOnDisconnectResponse, QStringLiteral("invokeId: ") + invokeId);
        out.push_back(offline);
        if (invokeId != state.sOnlineInvokeId) {
            Log(out, kOnDisconnectResponse, QStringLiteral("Not my request, ignoring"));
            return out;
        }
        state.sOnlineInvokeId.clear();
        state.pending = Request::None;
        state.communicationReference.clear();
        // A save that waits for this answer to connect keeps its state.
        if (m_traits.imSequence && !state.blnPrepareToRelease && !state.blnClosing &&
            state.transactionResponseState != ImStates::kSaveIM1Record) {
            state.transactionResponseState = ImStates::kQsRead;
        }
        FinishDisconnect(out, kOnDisconnectResponse);
        return out;
    }
    Log(out, kOnDisconnectResponse, QStringLiteral("invokeId:        ") + invokeId);
    Log(out, kOnDisconnectResponse, QStringLiteral("sOnlineInvokeId: ") + state.sOnlineInvokeId);
    out.push_back(offline);
    SetExtraButton(out, kTextStartReading);
    Bar(out, Kind::HideActivity);
    if (m_traits.onlineButton == OnlineButton::StopReading) {
        state.blnDisconnectRequested = false;
    }
    if (m_traits.forcing) {
        state.blnReadingPaused = false;
        Log(out, QString(), QStringLiteral("OnDisconnetResponse"));
    }
    if (!m_traits.anyDisconnectAnswerIsOwn && invokeId != state.sOnlineInvokeId) {
        return out; // a foreign answer leaves the cycle as it runs
    }
    Timer(out, Kind::CycleTimer, false);
    state.sOnlineInvokeId.clear();
    state.pending = Request::None;
    state.communicationReference.clear();
    state.blnDisconnecting = false;
    if (m_traits.forcing) {
        ForcingDisconnected();
    }
    FinishDisconnect(out, kOnDisconnectResponse);
    return out;
}

void ConnectionProtocol::FinishDisconnect(Steps& out, const QString& place) {
    if (state.blnPrepareToRelease) {
        Log(out, place, QStringLiteral("Preparing to release"));
        Log(out, place, QStringLiteral("m_sInvokeId: ") + m_sInvokeId);
        SendPreparedToRelease(out);
    } else if (!state.blnClosing) {
        BarBack(out);
    } else {
        Log(out, place, QStringLiteral("m_sInvokeId: ") + m_sInvokeId);
        state.blnClosing = false;
        Bar(out, Kind::RequestClose);
    }
}

// ---- verify and abort ----

ConnectionProtocol::Steps ConnectionProtocol::VerifyConnectionRequest(const QString& invokeId) {
    Steps out;
    if (!state.released && invokeId == state.sOnlineInvokeId) {
        Queue(out, QStringLiteral("CallVerifyConnection"));
    }
    return out;
}

ConnectionProtocol::Steps ConnectionProtocol::CallVerifyConnection() {
    Steps out;
    if (!state.released) {
        Log(out, QStringLiteral(".CallVerifyConnection"));
        Bar(out, Kind::VerifyConnectionResponse);
    }
    return out;
}

ConnectionProtocol::Steps ConnectionProtocol::Abort(const QString& reference) {
    Steps out;
    if (state.released) {
        return out;
    }
    Log(out, QStringLiteral(".OnAbort"),
        m_traits.abortLogsOnlineId ? QStringLiteral("sOnlineInvokeId: ") + state.sOnlineInvokeId
                                   : QStringLiteral("communicationReference: ") + reference);
    state.sOnlineInvokeId.clear();
    state.pending = Request::None;
    Step offline;
    offline.kind = Kind::SetOnline;
    offline.flag = false;
    out.push_back(std::move(offline));
    ReportText(out, kTextConnectionLost, 0, QStringLiteral("OnAbort"));
    state.communicationReference.clear();
    if (m_traits.readCycle) {
        ReadCycleConnectionLost(out);
    } else if (m_traits.imSequence) {
        state.transactionResponseState = ImStates::kQsRead;
    } else {
        Bar(out, Kind::ConnectionLost);
    }
    BarBack(out);
    CompleteReleaseIfIdle(out);
    return out;
}

} // namespace rq16

namespace rq16 {

namespace {

QString RequestName(ConnectionProtocol::Request request) {
    using Request = ConnectionProtocol::Request;
    switch (request) {
    case Request::None:
        return QStringLiteral("None");
    case Request::Connect:
        return QStringLiteral("Connect");
    case Request::Disconnect:
        return QStringLiteral("Disconnect");
    case Request::Read:
        return QStringLiteral("Read");
    case Request::ForceEnable:
        return QStringLiteral("ForceEnable");
    case Request::ForceWrite:
        return QStringLiteral("ForceWrite");
    case Request::SelectIM0:
        return QStringLiteral("SelectIM0");
    case Request::SelectIM1:
        return QStringLiteral("SelectIM1");
    case Request::SelectIM2:
        return QStringLiteral("SelectIM2");
    case Request::ReadRecord:
        return QStringLiteral("ReadRecord");
    case Request::WriteIM1Record:
        return QStringLiteral("WriteIM1Record");
    case Request::WriteIM2Record:
        return QStringLiteral("WriteIM2Record");
    }
    return {};
}

QString Hex(const ByteArray& bytes) {
    QString hex;
    for (const std::uint8_t byte : bytes) {
        hex += QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    }
    return hex;
}

} // namespace

QString Describe(const ConnectionProtocol::Step& step) {
    const auto onOff = [&](const char* name) {
        return QLatin1String(name) + (step.flag ? QStringLiteral(" on") : QStringLiteral(" off"));
    };
    switch (step.kind) {
    case Kind::Log:
        return step.place + QStringLiteral(": ") + step.text + step.tail;
    case Kind::LogTimeOfDay:
        return step.place + QStringLiteral(": (time of day)");
    case Kind::Report: {
        QString message = step.textId != 0 ? QStringLiteral("#%1").arg(step.textId) : step.text;
        if (step.appendTextId != 0) {
            message += QStringLiteral("+#%1").arg(step.appendTextId);
        }
        return QStringLiteral("Report(%1,%2,%3)").arg(step.place).arg(step.number).arg(message);
    }
    case Kind::DisableButtons:
        return QStringLiteral("Buttons.DisableButtons");
    case Kind::EnableButtons:
        return QStringLiteral("Buttons.EnableButtons");
    case Kind::ShowActivity:
        return QStringLiteral("Buttons.ShowActivity");
    case Kind::HideActivity:
        return QStringLiteral("Buttons.HideActivity");
    case Kind::SetOnline:
        return QStringLiteral("Buttons.SetOnline(%1)").arg(step.flag ? "true" : "false");
    case Kind::SetExtraButton:
        return QStringLiteral("Buttons.SetExtraButton(#%1)").arg(step.number);
    case Kind::Queue:
        return QStringLiteral("Queue(%1)").arg(step.text);
    case Kind::Send:
        return QStringLiteral("Send(%1,%2%3)")
            .arg(RequestName(step.request), step.invokeId,
                 step.data.empty() ? QString() : QLatin1Char(',') + Hex(step.data));
    case Kind::FetchEnableRequest:
        return QStringLiteral("FetchEnableRequest");
    case Kind::VerifyConnectionResponse:
        return QStringLiteral("VerifyConnectionResponse");
    case Kind::CycleTimer:
        return onOff("timCyclic");
    case Kind::EnableForceTimer:
        return onOff("timEnableForce");
    case Kind::SetHasConnection:
        return QStringLiteral("HasConnection(%1)").arg(step.flag ? "true" : "false");
    case Kind::RequestClose:
        return QStringLiteral("RequestClose");
    case Kind::PreparedToRelease:
        return QStringLiteral("PreparedToRelease");
    case Kind::CloseHelp:
        return QStringLiteral("CloseHelp");
    case Kind::RequestDataSetSave:
        return QStringLiteral("RequestDataSetSave");
    case Kind::RequestDataSetUnlock:
        return QStringLiteral("RequestDataSetUnlock");
    case Kind::Pause:
        return QStringLiteral("Pause(%1)").arg(step.number);
    case Kind::ShowConnectError:
        return QStringLiteral("ShowConnectError(%1)").arg(step.text);
    case Kind::ConnectionLost:
        return QStringLiteral("ConnectionLost");
    case Kind::ShowData:
        return QStringLiteral("ShowData(%1)").arg(Hex(step.data));
    case Kind::KeepData:
        return QStringLiteral("KeepData(%1,%2)").arg(RequestName(step.request), Hex(step.data));
    case Kind::ShowNoImData:
        return QStringLiteral("ShowNoImData");
    case Kind::ParseQsData:
        return QStringLiteral("ParseQsData");
    case Kind::StoreAfterWrite:
        return QStringLiteral("StoreAfterWrite");
    case Kind::SaveComment:
        return QStringLiteral("SaveComment");
    }
    return {};
}

QStringList Describe(const ConnectionProtocol::Steps& steps) {
    QStringList lines;
    for (const ConnectionProtocol::Step& step : steps) {
        lines << Describe(step);
    }
    return lines;
}

size_t qHash(const ConnectionProtocol::State& s, size_t seed) {
    seed = qHashMulti(seed, s.communicationReference, s.sOnlineInvokeId,
                      static_cast<int>(s.pending), s.blnPrepareToRelease, s.blnClosing, s.released,
                      s.sReadOutputInvokeId, s.readQueued, s.cycleTimer, s.blnDisconnectRequested,
                      s.blnDisconnecting, s.blnReadingPaused);
    return qHashMulti(seed, s.forceActivationCount, s.forceActivationMask, s.forceValueMask,
                      s.blnUpdatePending, s.sEnableForceInvokeId, s.sForceOutputUpdateInvokeId,
                      s.enableRequest, s.enableForceTimer, s.transactionResponseState,
                      s.m_bIMDataRead, s.m_bIMDataChanged, s.m_lSavePending);
}

} // namespace rq16
