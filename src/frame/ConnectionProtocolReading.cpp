// The read cycle of Observation and Simulation and the force requests of
// Simulation, as steps of the connection protocol.
//
// While online the view reads the output values block every 500 ms: a read
// step (StartReading) queues CallReadOutputValues, which sends the request
// under sReadOutputInvokeId; its answer is shown and re-arms timCyclic, a
// one-shot timer whose tick starts the next step. So a new read is sent only
// after the previous answer was handled. Without a connection a read step
// queues CallConnect instead.
//
// Forcing: the force activation count and the two masks follow the user's
// choices; the global forcing enable request is repeated by timEnableForce
// every 40 s while any channel is forced, and at most one force values write
// is outstanding: changes that arrive meanwhile are sent together when it is
// answered.

#include "ConnectionProtocol.h"

#include "host/Constants.h"

namespace rq16 {

using Kind = ConnectionProtocol::Step::Kind;

namespace {
const QString kOnTransactionResponse = QStringLiteral(".OnTransactionResponse");

std::uint8_t Bit(int index) {
    return static_cast<std::uint8_t>(1U << index);
}
} // namespace

void ConnectionProtocol::SetHasConnection(Steps& out, bool value) const {
    Step step;
    step.kind = Kind::SetHasConnection;
    step.flag = value;
    out.push_back(std::move(step));
}

// ---- the read cycle ----

void ConnectionProtocol::StartReading(Steps& out) {
    // While online the bar stays usable: its online and close buttons are how
    // the user ends the cycle, and a read step never enables the bar again.
    if (m_traits.startReadingDisablesButtons && !state.IsOnline()) {
        Bar(out, Kind::DisableButtons);
    }
    Log(out, QString(), QStringLiteral("StartReading"));
    if (state.IsOnline()) {
        Queue(out, QStringLiteral("CallReadOutputValues"));
        state.readQueued = true;
    } else {
        Queue(out, QStringLiteral("CallConnect"));
    }
}

ConnectionProtocol::Steps ConnectionProtocol::CycleTick() {
    Steps out;
    if (!state.released) {
        TickTo(out);
    }
    return out;
}

void ConnectionProtocol::TickTo(Steps& out) {
    Timer(out, Kind::CycleTimer, false);
    // A view that closes or is released starts no new read step.
    if (state.blnPrepareToRelease || state.blnClosing) {
        return;
    }
    StartReading(out);
}

void ConnectionProtocol::ReadAnswer(Steps& out, const QString& response, const Answer& answer) {
    const QString operation = QStringLiteral("OnTransactionResponse");
    Log(out, kOnTransactionResponse, m_traits.readAnswerText, response);
    if (!answer.parsed) {
        BarBack(out);
        Report(out, 0, answer.lastError, operation);
        return;
    }
    if (answer.hasData) {
        Step show;
        show.kind = Kind::ShowData;
        show.data = answer.data;
        out.push_back(std::move(show));
    } else if (answer.negative) {
        Report(out, 0, answer.errorText, operation);
    } else {
        Report(out, kErrInvalidArg, QStringLiteral("No data read and no communcation error ..."),
               operation);
    }
    // A disconnect under way (close, release, online button) ends the cycle:
    // the timer would otherwise connect again after it.
    if (!state.IsOnline() || state.pending == Request::Disconnect || state.blnClosing) {
        return;
    }
    if (state.blnDisconnectRequested) {
        Log(out, kOnTransactionResponse, QStringLiteral("Triggering CallDisconnect"));
        Queue(out, QStringLiteral("CallDisconnect"));
    } else if (!state.blnReadingPaused) {
        Timer(out, Kind::CycleTimer, true);
    }
}

void ConnectionProtocol::ReadCycleConnectionLost(Steps& out) {
    // The answers to a read or a disconnect on the lost connection never
    // come; the disconnect asked for is done.
    state.sReadOutputInvokeId.clear();
    state.readQueued = false;
    state.blnDisconnecting = false;
    state.blnDisconnectRequested = false;
    Timer(out, Kind::CycleTimer, false);
    SetHasConnection(out, false);
    SetExtraButton(out, kTextStartReading);
    Bar(out, Kind::HideActivity);
    if (m_traits.forcing) {
        // As after a disconnect, the next connect reads again: otherwise the
        // bar would offer "stop reading" while nothing is read.
        state.blnReadingPaused = false;
        // timEnableForce keeps running; its ticks do nothing while offline.
        state.sEnableForceInvokeId.clear();
        state.sForceOutputUpdateInvokeId.clear();
    }
}

// ---- forcing ----

ConnectionProtocol::Steps ConnectionProtocol::ForceActivatedChanged(int index,
                                                                    bool forcingActivated) {
    Steps out;
    if (index < 0 || index >= kChannelCount || state.released) {
        return out;
    }
    const std::uint8_t countBefore = state.forceActivationCount;
    if (forcingActivated) {
        state.forceActivationMask |= Bit(index);
        ++state.forceActivationCount;
    } else {
        state.forceActivationMask &= static_cast<std::uint8_t>(~Bit(index));
        // The count follows the events, not the mask; a deactivation that no
        // activation preceded must not wrap it round.
        if (state.forceActivationCount > 0) {
            --state.forceActivationCount;
        }
    }
    if (state.forceActivationCount > 0) {
        EstablishForcing(out);
        return out;
    }
    if (countBefore > 0) {
        WriteForceValues(out); // the block now has an empty activation mask
    }
    Timer(out, Kind::EnableForceTimer, false);
    return out;
}

ConnectionProtocol::Steps ConnectionProtocol::ForceValueChanged(int index, bool forceValue) {
    Steps out;
    if (index < 0 || index >= kChannelCount || state.released) {
        return out;
    }
    if (forceValue) {
        state.forceValueMask |= Bit(index);
    } else {
        state.forceValueMask &= static_cast<std::uint8_t>(~Bit(index));
    }
    if (state.forceActivationCount > 0) {
        WriteForceValues(out);
    }
    return out;
}

void ConnectionProtocol::EstablishForcing(Steps& out) {
    EnableForceTickTo(out);
    WriteForceValues(out);
    Timer(out, Kind::EnableForceTimer, true);
}

ConnectionProtocol::Steps ConnectionProtocol::EnableForceTick() {
    Steps out;
    if (!state.released) {
        EnableForceTickTo(out);
    }
    return out;
}

void ConnectionProtocol::EnableForceTickTo(Steps& out) {
    if (!state.IsOnline()) {
        return;
    }
    const QString place = QStringLiteral(".timEnableForce_Timer");
    Step time;
    time.kind = Kind::LogTimeOfDay;
    time.place = place;
    out.push_back(time);
    if (!state.sEnableForceInvokeId.isEmpty()) {
        // The previous enable request is still unanswered.
        out.push_back(time);
        return;
    }
    if (state.enableRequest.isEmpty()) {
        return;
    }
    state.sEnableForceInvokeId = NewId();
    SendRequest(out, Request::ForceEnable, state.sEnableForceInvokeId);
    out.back().text = state.enableRequest;
}

void ConnectionProtocol::WriteForceValues(Steps& out) {
    if (!state.IsOnline()) {
        return; // the change stays in the masks
    }
    if (!state.sForceOutputUpdateInvokeId.isEmpty()) {
        state.blnUpdatePending = true;
        Log(out, QStringLiteral(".writeForceValues"), QStringLiteral("Busy with update"));
        return;
    }
    state.sForceOutputUpdateInvokeId = NewId();
    state.blnUpdatePending = false;
    SendRequest(out, Request::ForceWrite, state.sForceOutputUpdateInvokeId,
                QStringLiteral("sForceOutputUpdateInvokeId = ") + state.sForceOutputUpdateInvokeId +
                    QStringLiteral("\r\n"),
                ForceBlock());
    out.back().place = QStringLiteral(".writeForceOutputValues");
}

bool ConnectionProtocol::ForceAnswer(Steps& out, const QString& invokeId) {
    if (invokeId.isEmpty()) {
        return false;
    }
    if (invokeId == state.sEnableForceInvokeId) {
        state.sEnableForceInvokeId.clear();
        Log(out, kOnTransactionResponse, QStringLiteral("Response to GlobalForcingEnable"));
        return true;
    }
    if (invokeId != state.sForceOutputUpdateInvokeId) {
        return false;
    }
    state.sForceOutputUpdateInvokeId.clear();
    Log(out, kOnTransactionResponse, QStringLiteral("Response to writing force values"));
    if (state.blnUpdatePending) {
        Log(out, kOnTransactionResponse, QStringLiteral("Trigger another update of force values"));
        WriteForceValues(out);
    } else {
        TickTo(out); // the outputs are read back right after each write
    }
    return true;
}

void ConnectionProtocol::ForcingDisconnected() {
    state.sEnableForceInvokeId.clear();
    state.sForceOutputUpdateInvokeId.clear();
    state.enableRequest.clear();
}

} // namespace rq16
