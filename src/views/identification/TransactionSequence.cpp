#include "TransactionSequence.h"

namespace rq16::identification {

namespace {
const QString kNoDataRead = QStringLiteral("No data read");
} // namespace

QString TransactionSequence::ExtraCommandOperation(bool online) const {
    if (transactionResponseState == state::kSaveIM1Record) {
        return QStringLiteral("CallWriteIMData");
    }
    return online ? QStringLiteral("CallReadQsData") : QStringLiteral("CallConnect");
}

Request TransactionSequence::StartRead() {
    transactionResponseState = state::kQsRead;
    return Request::ReadQsData;
}

Request TransactionSequence::StartWrite() {
    transactionResponseState = state::kSaveIM1Select;
    return Request::SelectIM1;
}

Step TransactionSequence::Stop() {
    Step step;
    if (IsWriting() || m_lSavePending != 0) {
        // The edits stay on screen and unsaved; the next close tries again.
        step.saveFailed = true;
        m_lSavePending = 0;
    }
    step.enableButtons = true;
    step.disconnect = true;
    transactionResponseState = state::kEnded;
    return step;
}

void TransactionSequence::TakeRecord(const Answer& answer, ByteArray& record,
                                     const QString& logName, Step& step) {
    if (answer.hasData) {
        step.dataLog = logName;
        record = answer.data;
    } else {
        step.report = kNoDataRead;
    }
}

Step TransactionSequence::OnAnswer(const Answer& answer) {
    const std::int32_t current = transactionResponseState;
    if (answer.negative) {
        if (current == state::kIM0Select || current == state::kIM1Select ||
            current == state::kIM2Select) {
            // The module offers no I&M functions: show what was read.
            Step step = Stop();
            step.showNoImData = true;
            step.parseQsData = true;
            m_bIMDataChanged = false;
            m_bIMDataRead = false;
            return step;
        }
        Step step = Stop();
        step.report = answer.errorText;
        return step;
    }

    Step step;
    switch (current) {
    case state::kQsRead:
        // A positive answer without bytes counts as "No data read"; the
        // sequence goes on with the I&M records.
        if (answer.hasData) {
            m_abQsData = answer.data;
        } else {
            m_abQsData.clear();
            step.report = kNoDataRead;
        }
        transactionResponseState = state::kIM0Select;
        step.send = Request::SelectIM0;
        break;
    case state::kIM0Select:
        transactionResponseState = state::kIM0Read;
        step.send = Request::ReadRecord;
        break;
    case state::kIM0Read:
        transactionResponseState = state::kIM1Select;
        TakeRecord(answer, m_abIM0, QStringLiteral("im0ReadResponse "), step);
        step.send = Request::SelectIM1;
        break;
    case state::kIM1Select:
        transactionResponseState = state::kIM1Read;
        step.send = Request::ReadRecord;
        break;
    case state::kIM1Read:
        transactionResponseState = state::kIM2Select;
        TakeRecord(answer, m_abIM1, QStringLiteral("im1ReadResponse "), step);
        step.send = Request::SelectIM2;
        break;
    case state::kIM2Select:
        transactionResponseState = state::kIM2Read;
        step.send = Request::ReadRecord;
        break;
    case state::kIM2Read:
        TakeRecord(answer, m_abIM2, QStringLiteral("im2ReadResponse "), step);
        if (answer.hasData) {
            m_bIMDataRead = true;
        }
        step.parseQsData = true;
        transactionResponseState = state::kEnded;
        step.disconnect = true;
        break;
    case state::kSaveIM1Select:
        step.stateLog = QStringLiteral("im1SaveWriteRequest");
        transactionResponseState = state::kSaveIM1Record;
        step.send = Request::WriteIM1Record;
        break;
    case state::kSaveIM1Record:
        step.stateLog = QStringLiteral("im2SavePrepareWriteRequest");
        step.pauseBeforeSend = true;
        transactionResponseState = state::kSaveIM2Select;
        step.send = Request::SelectIM2;
        break;
    case state::kSaveIM2Select:
        step.stateLog = QStringLiteral("im2SaveWriteRequest");
        transactionResponseState = state::kSaveIM2Record;
        step.send = Request::WriteIM2Record;
        break;
    case state::kSaveIM2Record:
        step.stateLog = QStringLiteral("im2SaveWriteResponse");
        step.writeFinished = true;
        m_bIMDataChanged = false;
        m_lSavePending = 0;
        break;
    default:
        break;
    }
    return step;
}

Step TransactionSequence::OnUnparsable(const QString& lastError) {
    if (IsWriting()) {
        Step step = Stop();
        step.report = lastError;
        return step;
    }
    // A read sequence stops with the connection left open.
    Step step;
    step.report = lastError;
    step.enableButtons = true;
    transactionResponseState = state::kQsRead;
    return step;
}

Step TransactionSequence::OnRefused() {
    Step step = Stop();
    step.refused = true;
    return step;
}

CloseDecision TransactionSequence::OnClose(int kernelState) {
    if (WouldStartSave(kernelState)) {
        transactionResponseState = state::kSaveIM1Record;
        m_lSavePending = 1;
        return CloseDecision::StartSave;
    }
    if (m_lSavePending != 0) {
        return CloseDecision::Wait;
    }
    transactionResponseState = state::kQsRead;
    if (m_bIMDataChanged) {
        m_bIMDataChanged = false;
        return CloseDecision::CloseDroppingEdits;
    }
    return CloseDecision::Close;
}

bool TransactionSequence::OnNegativeConnect() {
    if (!m_bIMDataChanged) {
        return false;
    }
    m_bIMDataChanged = false;
    m_lSavePending = 0;
    return true;
}

bool TransactionSequence::OnConnectFailed() {
    transactionResponseState = state::kQsRead;
    if (m_lSavePending == 0) {
        return false;
    }
    m_lSavePending = 0;
    return true;
}

} // namespace rq16::identification
