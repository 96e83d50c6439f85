#pragma once
// The Identification view's transaction sequences as a plain state machine:
// the read sequence (QS data, then select and read of I&M0, I&M1 and I&M2)
// and the write sequence (select and record write of I&M1 and I&M2), the
// save that runs before the view closes, and how each failure ends. The view
// feeds it the answers and carries out the steps it returns.

#include "host/Types.h"

#include <QString>

#include <cstdint>

namespace rq16::identification {

/// Values of transactionResponseState: the answer the view waits for.
namespace state {
inline constexpr std::int32_t kQsRead = 1; ///< also the resting value
inline constexpr std::int32_t kIM0Select = 2;
inline constexpr std::int32_t kIM0Read = 3;
inline constexpr std::int32_t kIM1Select = 4;
inline constexpr std::int32_t kIM1Read = 5;
inline constexpr std::int32_t kIM2Select = 6;
inline constexpr std::int32_t kIM2Read = 7;
inline constexpr std::int32_t kSaveIM1Select = 10;
/// Set before connecting for a save; then the answer to the I&M1 record.
inline constexpr std::int32_t kSaveIM1Record = 11;
inline constexpr std::int32_t kSaveIM2Select = 12;
inline constexpr std::int32_t kSaveIM2Record = 13;
inline constexpr std::int32_t kEnded = 14;
} // namespace state

/// The request the view sends next.
enum class Request {
    None,
    ReadQsData,     ///< the parameter manager's QS read request
    SelectIM0,      ///< call header 08 00 FD E8 written to index 255
    SelectIM1,      ///< 08 00 FD E9
    SelectIM2,      ///< 08 00 FD EA
    ReadRecord,     ///< read of index 255
    WriteIM1Record, ///< the 68-byte I&M1 record
    WriteIM2Record, ///< the 68-byte I&M2 record
};

/// A transaction answer that could be parsed.
struct Answer {
    bool negative = false; ///< carries a communication error
    QString errorText;
    bool hasData = false;
    ByteArray data;
};

/// What the view does after an answer (in this order: log, report, show,
/// send or end).
struct Step {
    /// Log name of the write states ("im1SaveWriteRequest", ...), else empty.
    QString stateLog;
    /// "im0ReadResponse " and the like when a read delivered data.
    QString dataLog;
    /// Error text for the frame; empty for none.
    QString report;
    /// The module did not accept the request (the view words the report).
    bool refused = false;
    /// The report says that the edited I&M data were not written.
    bool saveFailed = false;
    /// The module refused an I&M select: tag function shows "no I&M data",
    /// the others "-/-".
    bool showNoImData = false;
    /// Show and store the QS data read (and the I&M data when read).
    bool parseQsData = false;
    /// The write sequence succeeded: store, save the data set, close.
    bool writeFinished = false;
    /// Buttons enabled and activity hidden (the sequence stopped early).
    bool enableButtons = false;
    /// The sequence has ended: queue the disconnect.
    bool disconnect = false;
    Request send = Request::None;
    /// Wait before sending (the module needs time after an I&M1 write).
    bool pauseBeforeSend = false;
};

/// What the close event does.
enum class CloseDecision {
    StartSave, ///< unsaved I&M edits: connect and write them first
    Close,     ///< close now
    /// close now; edited I&M texts cannot be written and are dropped (the
    /// user is told)
    CloseDroppingEdits,
    Wait, ///< a save runs; it closes the view when it ends
};

class TransactionSequence {
public:
    std::int32_t transactionResponseState = state::kQsRead;
    ByteArray m_abQsData;
    /// The last I&M records that arrived with data; kept across sequences.
    ByteArray m_abIM0;
    ByteArray m_abIM1;
    ByteArray m_abIM2;
    /// An I&M2 read delivered data; false again after a refused select.
    bool m_bIMDataRead = false;
    /// The user edited tag function, tag location or installation date.
    bool m_bIMDataChanged = false;
    /// 1 while a save-before-close runs.
    std::int32_t m_lSavePending = 0;

    /// The kernel states in which a save may run.
    static bool CanSave(int kernelState) { return kernelState == 4 || kernelState == 6; }

    /// The operation the extra command queues.
    QString ExtraCommandOperation(bool online) const;
    /// CallReadQsData and CallWriteIMData: the first request of a sequence.
    Request StartRead();
    Request StartWrite();

    /// A parsed answer to the outstanding request.
    Step OnAnswer(const Answer& answer);
    /// An answer that could not be parsed.
    Step OnUnparsable(const QString& lastError);
    /// The request just sent was refused.
    Step OnRefused();

    /// The close event would start a save.
    bool WouldStartSave(int kernelState) const {
        return m_lSavePending == 0 && m_bIMDataRead && m_bIMDataChanged && CanSave(kernelState);
    }
    /// The close event: decides and sets the state for it.
    CloseDecision OnClose(int kernelState);
    /// Release asked for while edits are unsaved: the view saves first.
    bool SaveBeforeRelease(bool releasePending, int kernelState) const {
        return !releasePending && m_bIMDataChanged && CanSave(kernelState);
    }
    /// A negative connect answer: returns whether edits were pending; they
    /// are dropped (the view closes without writing).
    bool OnNegativeConnect();
    /// Connect refused, or the connection lost: returns whether a save was
    /// running; it has failed and the edits stay for a later close.
    bool OnConnectFailed();
    /// The own disconnect answer, neither release nor close pending.
    void OnDisconnected() { transactionResponseState = state::kQsRead; }

    bool IsWriting() const {
        return transactionResponseState >= state::kSaveIM1Select &&
               transactionResponseState <= state::kSaveIM2Record;
    }

private:
    /// Ends the sequence early (buttons back, disconnect); a write sequence
    /// has failed then.
    Step Stop();
    /// The read of states 3, 5 and 7: returns the data log or reports.
    void TakeRecord(const Answer& answer, ByteArray& record, const QString& logName, Step& step);
};

} // namespace rq16::identification
