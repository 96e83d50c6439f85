// The Identification view's two sequences as steps of the connection
// protocol: the read sequence (QS data, then select and read of I&M0, I&M1
// and I&M2) and the write sequence (select and record write of I&M1 and
// I&M2) that saves edited I&M texts before the view closes.
// transactionResponseState tells which answer comes next; after each
// sequence the view disconnects again.

#include "ConnectionProtocol.h"

#include "host/Constants.h"

namespace rq16 {

using Kind = ConnectionProtocol::Step::Kind;
using ImStates = ConnectionProtocol::ImStates;

namespace {
const QString kOnTransactionResponse = QStringLiteral(".OnTransactionResponse");
const QString kNoDataRead = QStringLiteral("No data read");
/// The module needs time after an I&M1 record before the I&M2 select.
constexpr int kWritePauseMs = 1000;

} // namespace

ConnectionProtocol::Steps ConnectionProtocol::CallWriteIMData() {
    Steps out;
    if (!state.released && !WaitsForOutstanding(out, QStringLiteral("CallWriteIMData"))) {
        state.transactionResponseState = ImStates::kSaveIM1Select;
        ImSend(out, Request::SelectIM1);
    }
    return out;
}

void ConnectionProtocol::ImSend(Steps& out, Request request, bool pause) {
    if (pause) {
        Step wait;
        wait.kind = Kind::Pause;
        wait.number = kWritePauseMs;
        out.push_back(std::move(wait));
    }
    SendOnline(out, request);
}

void ConnectionProtocol::ImStop(Steps& out, const QString& text) {
    // A save keeps m_lSavePending and the edits: the next close starts it
    // again.
    if (!text.isEmpty()) {
        Report(out, 0, text, QStringLiteral("OnTransactionResponse"));
    }
    BarBack(out);
    state.transactionResponseState = ImStates::kEnded;
    if (state.IsOnline()) {
        Log(out, kOnTransactionResponse, QStringLiteral("Calling Disconnect"));
        Queue(out, QStringLiteral("CallDisconnect"));
    }
}

void ConnectionProtocol::TakeRecord(Steps& out, const Answer& answer, Request record,
                                    const QString& logName, const QString& response) {
    if (!answer.hasData) {
        Report(out, 0, kNoDataRead, QStringLiteral("OnTransactionResponse"));
        return;
    }
    Log(out, kOnTransactionResponse, logName, response);
    Step keep;
    keep.kind = Kind::KeepData;
    keep.request = record;
    keep.data = answer.data;
    out.push_back(std::move(keep));
}

void ConnectionProtocol::ImAnswer(Steps& out, const QString& response, const Answer& answer) {
    const QString place = QStringLiteral("OnTransactionResponse");
    std::int32_t& current = state.transactionResponseState;
    if (!answer.parsed) {
        // Both sequences stop with the connection left open.
        Report(out, 0, answer.lastError, place);
        BarBack(out);
        current = ImStates::kQsRead;
        return;
    }
    if (answer.negative) {
        if (current != ImStates::kIM0Select && current != ImStates::kIM1Select &&
            current != ImStates::kIM2Select) {
            ImStop(out, answer.errorText);
            return;
        }
        // A select was refused: the module offers no I&M functions. What was
        // read is shown, the I&M texts say so.
        state.m_bIMDataChanged = false;
        state.m_bIMDataRead = false;
        // Nor can a save that failed before still be pending: the close and
        // the release would otherwise wait for it for ever.
        state.m_lSavePending = 0;
        Bar(out, Kind::ShowNoImData);
        Bar(out, Kind::ParseQsData);
        ImStop(out, QString());
        return;
    }

    Log(out, kOnTransactionResponse,
        QStringLiteral("transactionResponseState: ") + QString::number(current));
    switch (current) {
    case ImStates::kQsRead: {
        // A positive answer without bytes counts as "No data read"; the
        // sequence goes on with the I&M records.
        Step keep;
        keep.kind = Kind::KeepData;
        keep.request = Request::Read;
        keep.data = answer.hasData ? answer.data : ByteArray{};
        out.push_back(std::move(keep));
        if (!answer.hasData) {
            Report(out, 0, kNoDataRead, place);
        }
        current = ImStates::kIM0Select;
        ImSend(out, Request::SelectIM0);
        break;
    }
    case ImStates::kIM0Select:
        current = ImStates::kIM0Read;
        ImSend(out, Request::ReadRecord);
        break;
    case ImStates::kIM0Read:
        current = ImStates::kIM1Select;
        TakeRecord(out, answer, Request::SelectIM0, QStringLiteral("im0ReadResponse "), response);
        ImSend(out, Request::SelectIM1);
        break;
    case ImStates::kIM1Select:
        current = ImStates::kIM1Read;
        ImSend(out, Request::ReadRecord);
        break;
    case ImStates::kIM1Read:
        current = ImStates::kIM2Select;
        TakeRecord(out, answer, Request::SelectIM1, QStringLiteral("im1ReadResponse "), response);
        ImSend(out, Request::SelectIM2);
        break;
    case ImStates::kIM2Select:
        current = ImStates::kIM2Read;
        ImSend(out, Request::ReadRecord);
        break;
    case ImStates::kIM2Read:
        TakeRecord(out, answer, Request::SelectIM2, QStringLiteral("im2ReadResponse "), response);
        if (answer.hasData) {
            state.m_bIMDataRead = true;
        }
        Bar(out, Kind::ParseQsData);
        current = ImStates::kEnded;
        if (state.IsOnline()) {
            Log(out, kOnTransactionResponse, QStringLiteral("Calling Disconnect"));
            Queue(out, QStringLiteral("CallDisconnect"));
        }
        break;
    case ImStates::kSaveIM1Select:
        Log(out, kOnTransactionResponse,
            QStringLiteral("transactionResponseState: im1SaveWriteRequest"));
        current = ImStates::kSaveIM1Record;
        ImSend(out, Request::WriteIM1Record);
        break;
    case ImStates::kSaveIM1Record:
        Log(out, kOnTransactionResponse,
            QStringLiteral("transactionResponseState: im2SavePrepareWriteRequest"));
        current = ImStates::kSaveIM2Select;
        ImSend(out, Request::SelectIM2, true);
        break;
    case ImStates::kSaveIM2Select:
        Log(out, kOnTransactionResponse,
            QStringLiteral("transactionResponseState: im2SaveWriteRequest"));
        current = ImStates::kSaveIM2Record;
        ImSend(out, Request::WriteIM2Record);
        break;
    case ImStates::kSaveIM2Record:
        Log(out, kOnTransactionResponse,
            QStringLiteral("transactionResponseState: im2SaveWriteResponse"));
        state.m_bIMDataChanged = false;
        state.m_lSavePending = 0;
        FinishWrite(out);
        break;
    default:
        break;
    }
}

void ConnectionProtocol::FinishWrite(Steps& out) {
    Bar(out, Kind::StoreAfterWrite);
    Bar(out, Kind::RequestDataSetSave);
    Log(out, kOnTransactionResponse,
        QStringLiteral(" Writing I&M data finished. Prepare closing of the control."));
    state.sOnlineInvokeId.clear();
    state.pending = Request::None;
    ImCloseTo(out);
}

void ConnectionProtocol::ImCloseTo(Steps& out) {
    const QString place = QStringLiteral(".ctlButtons_Clos");
    Log(out, place, QStringLiteral("Method entered"));
    if (state.m_bIMDataRead && state.m_bIMDataChanged && CanSave(KernelState())) {
        Log(out, place,
            QStringLiteral("There ARE unsaved I&M data. Set state machine and CallConnect"));
        state.transactionResponseState = ImStates::kSaveIM1Record;
        state.m_lSavePending = 1;
        if (state.IsOnline() && state.sOnlineInvokeId.isEmpty()) {
            // Still online after a refused disconnect: the save writes over
            // this connection, as after a connect answer; a second connect
            // would leave this one open for ever.
            ExtraCommandTo(out);
        } else {
            Queue(out, QStringLiteral("CallConnect"));
        }
    }
    if (state.m_lSavePending != 0) {
        return; // the save runs (or waits for a close that can start it)
    }
    Log(out, place,
        QStringLiteral("There are NO unsaved I&M data. Go on with normal ctlButtons_Clos method"));
    // Edits that cannot be written go when the view closes without writing
    // them, so that a release asked for again completes.
    state.m_bIMDataChanged = false;
    state.transactionResponseState = ImStates::kQsRead;
    CloseHandlerTo(out);
}

} // namespace rq16
