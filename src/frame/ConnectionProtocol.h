#pragma once
// The connection protocol of the online views as one state machine without
// widgets: connect, transactions and disconnect over the communication
// object, close and release, the read cycle of Observation and Simulation,
// the force requests of Simulation and the I&M sequences of Identification.
//
// The view feeds it events (Init end, a button, a deferred call, an answer,
// an abort, a timer tick, a release request) and carries out the steps it
// returns, in order: log this, report that, call this bar operation, queue
// this call, send this request, PreparedToRelease... The view decides
// nothing about the connection itself. Two kinds of step give a result back:
// after a Send the view tells Sent() whether the request was accepted, after
// FetchEnableRequest it hands the document to EnableRequestFetched(); the
// steps those return are carried out at once, before the rest of the list.
//
// What differs between the views is data (Traits, one set per view). The
// whole state is State, a small value type that can be copied, compared and
// hashed, so that its states can be explored one event at a time.

#include "host/Types.h"

#include <QHashFunctions>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace rq16 {

class ConnectionProtocol {
public:
    // ---- what a view is ----

    /// What the extra button of the bar does.
    enum class OnlineButton {
        Reread,       ///< offline: connect, online: queue the read operation
        StopReading,  ///< offline: connect, online: disconnect after the next read
        PauseReading, ///< offline: connect, online: pause or resume the reading
    };
    /// How CallDisconnect goes.
    enum class Disconnect {
        /// Waits (queues itself again) while a request is outstanding; logs
        /// the id and "actually trying to disconnect".
        AfterOutstanding,
        /// Sent at once; logs "Actually trying to disconnect: " and the id.
        AtOnceNamingId,
        /// Sent at once; logs "actually trying to disconnect".
        AtOnce,
    };
    /// The first entries of a transaction answer.
    enum class AnswerEntry {
        OnlineId,    ///< "sOnlineInvokeId: " and the id
        FourIds,     ///< the answer's id and the view's three request ids
        AndResponse, ///< "sOnlineInvokeId: " and the id, "Response: " and the answer
    };

    struct Traits {
        /// Deferred operation of the view's read ("ReadDiag", ...).
        QString readOperation;
        OnlineButton onlineButton = OnlineButton::Reread;
        /// First entry of CallConnect: place suffix and message.
        QString connectEntryPlace = QStringLiteral(".CallConnect");
        QString connectEntryText;
        /// Entry with the view's name alone before a connect answer; empty
        /// for none.
        QString connectAnswerEntry;
        /// The positive connect answer logs the communication reference.
        bool logsCommunicationReference = true;
        /// The view reads cyclically (sReadOutputInvokeId, timCyclic).
        bool readCycle = false;
        /// StartReading disables the bar while the view is offline.
        bool startReadingDisablesButtons = false;
        /// Log text of a read answer, followed by the answer.
        QString readAnswerText;
        /// The view forces outputs (sEnableForceInvokeId,
        /// sForceOutputUpdateInvokeId, timEnableForce).
        bool forcing = false;
        /// The view reads and writes I&M records and saves before it closes.
        bool imSequence = false;
        AnswerEntry answerEntry = AnswerEntry::OnlineId;
        Disconnect disconnect = Disconnect::AfterOutstanding;
        /// Every disconnect answer ends the connection, whatever its id.
        bool anyDisconnectAnswerIsOwn = false;
        /// Release while offline completes at once, even with a connect
        /// outstanding (the read cycle views).
        bool releasesOfflineAtOnce = false;
        /// Release while the view's own disconnect is outstanding only waits
        /// for its answer ("GoingOffline").
        bool releaseWaitsForDisconnect = false;
        /// OnAbort logs sOnlineInvokeId instead of the reference it is given.
        bool abortLogsOnlineId = false;
    };
    static Traits DiagnosisTraits();
    static Traits ObservationTraits();
    static Traits SimulationTraits();
    static Traits IdentificationTraits();

    // ---- the state ----

    /// The requests a view sends.
    enum class Request : std::uint8_t {
        None,
        Connect,
        Disconnect,
        Read,           ///< the view's read (diagnosis, output values, QS data)
        ForceEnable,    ///< the global forcing enable request
        ForceWrite,     ///< the force values block
        SelectIM0,      ///< I&M call header 08 00 FD E8 written to index 255
        SelectIM1,      ///< 08 00 FD E9
        SelectIM2,      ///< 08 00 FD EA
        ReadRecord,     ///< read of index 255
        WriteIM1Record, ///< the 68-byte I&M1 record
        WriteIM2Record, ///< the 68-byte I&M2 record
    };

    /// Values of transactionResponseState: the answer Identification waits
    /// for.
    struct ImStates {
        static constexpr std::int32_t kQsRead = 1; ///< also the resting value
        static constexpr std::int32_t kIM0Select = 2;
        static constexpr std::int32_t kIM0Read = 3;
        static constexpr std::int32_t kIM1Select = 4;
        static constexpr std::int32_t kIM1Read = 5;
        static constexpr std::int32_t kIM2Select = 6;
        static constexpr std::int32_t kIM2Read = 7;
        static constexpr std::int32_t kSaveIM1Select = 10;
        /// Set before connecting for a save; then the answer to the I&M1
        /// record.
        static constexpr std::int32_t kSaveIM1Record = 11;
        static constexpr std::int32_t kSaveIM2Select = 12;
        static constexpr std::int32_t kSaveIM2Record = 13;
        static constexpr std::int32_t kEnded = 14;
    };

    struct State {
        // The connection.
        /// Reference of the open connection; empty means offline.
        QString communicationReference;
        /// Invoke id of the one outstanding connect, transaction or disconnect.
        QString sOnlineInvokeId;
        /// What sOnlineInvokeId was sent for.
        Request pending = Request::None;
        /// The frame asked for release: end offline, then PreparedToRelease.
        bool blnPrepareToRelease = false;
        /// Close was pressed while online: ask to close after the disconnect.
        bool blnClosing = false;
        /// PreparedToRelease has been sent: nothing more happens.
        bool released = false;

        // The read cycle.
        QString sReadOutputInvokeId;
        /// StartReading queued CallReadOutputValues, which has not run yet.
        bool readQueued = false;
        /// timCyclic is armed.
        bool cycleTimer = false;
        /// Observation: the user asked to disconnect while online.
        bool blnDisconnectRequested = false;
        /// Observation: the view's disconnect was sent and not yet answered.
        bool blnDisconnecting = false;
        /// Simulation: the user paused the reading.
        bool blnReadingPaused = false;

        // Forcing.
        std::uint8_t forceActivationCount = 0;
        std::uint8_t forceActivationMask = 0;
        std::uint8_t forceValueMask = 0;
        bool blnUpdatePending = false;
        QString sEnableForceInvokeId;
        QString sForceOutputUpdateInvokeId;
        /// The forcing enable request of the current connection.
        QString enableRequest;
        /// timEnableForce is running.
        bool enableForceTimer = false;

        // The I&M sequences.
        std::int32_t transactionResponseState = ImStates::kQsRead;
        /// An I&M2 read delivered data; false again after a refused select.
        bool m_bIMDataRead = false;
        /// The user edited tag function, tag location or installation date.
        bool m_bIMDataChanged = false;
        /// 1 while a save-before-close runs.
        std::int32_t m_lSavePending = 0;

        bool IsOnline() const { return !communicationReference.isEmpty(); }
        bool operator==(const State&) const = default;
    };

    // ---- the steps ----

    struct Step {
        enum class Kind : std::uint8_t {
            Log,          ///< place suffix, text + tail
            LogTimeOfDay, ///< place suffix; the current time as text
            Report,       ///< ReportError(number, message, place)
            DisableButtons,
            EnableButtons,
            ShowActivity,
            HideActivity,
            SetOnline,      ///< flag
            SetExtraButton, ///< caption: common text `number`
            Queue,          ///< operation `text`
            Send,           ///< request under invokeId (see below)
            FetchEnableRequest,
            VerifyConnectionResponse,
            CycleTimer,       ///< timCyclic on (flag) or off
            EnableForceTimer, ///< timEnableForce on (flag) or off
            SetHasConnection, ///< every channel element's HasConnection := flag
            RequestClose,
            PreparedToRelease, ///< also drops the references to the DTM
            CloseHelp,
            RequestDataSetSave,
            RequestDataSetUnlock,
            Pause, ///< blocks the view's thread for `number` ms
            // Steps only a view's own widgets can carry out.
            ShowConnectError, ///< Diagnosis: the error text in the module box
            ConnectionLost,   ///< Diagnosis: the shown telegram is forgotten
            ShowData,         ///< the answer's data bytes are decoded and shown
            KeepData,         ///< Identification: the record read (`request`: Read for the
                              ///< QS data, SelectIM0 to SelectIM2 for I&M0 to I&M2)
            ShowNoImData,     ///< Identification: "no I&M data" in the texts
            ParseQsData,      ///< Identification: show and store what was read
            StoreAfterWrite,  ///< Identification: texts and comment into the data set
            SaveComment,      ///< Identification: a changed comment into the data set
        };
        Kind kind = Kind::Log;
        /// Log: place suffix; Report: place.
        QString place;
        /// Log message, report message, queued operation.
        QString text;
        /// Log: appended to `text` only when the entry is written.
        QString tail;
        /// Report: error number, or with textId the common text instead of
        /// `text`; SetExtraButton: common text; Pause: milliseconds.
        std::int32_t number = 0;
        /// Report: a common text taken as the message.
        std::int32_t textId = 0;
        /// Report: a common text appended on a new line.
        std::int32_t appendTextId = 0;
        bool flag = false;
        /// Send, KeepData: the request.
        Request request = Request::None;
        QString invokeId;
        /// Send: the force values block; ShowData, KeepData: the data.
        ByteArray data;
        /// Send: written before the request, followed by its document.
        QString documentLog;

        bool operator==(const Step&) const = default;
    };
    using Steps = std::vector<Step>;

    /// A transaction or connect answer as the response parser saw it.
    struct Answer {
        bool parsed = true;
        QString lastError;              ///< not parsed: why
        QString communicationReference; ///< connect: the reference, if positive
        bool negative = false;          ///< carries a communication error
        QString errorText;
        bool hasData = false;
        ByteArray data;
    };
    using Parse = std::function<Answer()>;

    /// The answer to PrepareToRelease, with its steps.
    struct Release {
        Steps steps;
        bool answer = true;
    };

    // ---- the machine ----

    /// What the machine asks of the world around it.
    struct Environment {
        /// The id of each request; empty when none could be had.
        std::function<QString()> newInvokeId;
        /// The kernel's state (Identification saves only in some).
        std::function<int()> kernelState;
    };
    ConnectionProtocol(Traits traits, Environment environment);

    const Traits& traits() const { return m_traits; }
    State state;

    // Init, buttons and release.
    /// Init has run up to the end of the bar set-up.
    Steps InitEnded(const QString& initInvokeId);
    Steps ExtraCommand();
    Steps Close();
    Release PrepareToRelease();

    // Deferred operations.
    Steps CallConnect();
    Steps CallDisconnect();
    Steps CallVerifyConnection();
    /// The view's read operation (ReadDiag, CallReadOutputValues,
    /// CallReadQsData).
    Steps CallRead();
    Steps CallWriteIMData();

    // Results of the two steps that give one back.
    Steps Sent(Request request, const QString& invokeId, bool accepted);
    Steps EnableRequestFetched(const QString& document);

    // Callbacks of the communication object; `parse` is called only for an
    // answer that is the view's own.
    Steps ConnectAnswer(const QString& invokeId, const Parse& parse);
    Steps TransactionAnswer(const QString& invokeId, const QString& response, const Parse& parse);
    Steps DisconnectAnswer(const QString& invokeId);
    Steps VerifyConnectionRequest(const QString& invokeId);
    Steps Abort(const QString& reference);

    // Timers.
    Steps CycleTick();
    Steps EnableForceTick();

    // Events of the view's own controls.
    /// Diagnosis: a telegram has been decoded (or found unchanged); place of
    /// the entry that names the disconnect.
    Steps DataShown(const QString& place);
    Steps ForceActivatedChanged(int index, bool forcingActivated);
    Steps ForceValueChanged(int index, bool forceValue);
    /// Identification: the user changed an I&M text.
    void ImTextsEdited() { state.m_bIMDataChanged = true; }
    /// Identification: the view has filled the I&M texts itself.
    void ImTextsShown() { state.m_bIMDataChanged = false; }

    // ---- state as the views and tests see it ----
    /// Any request of the view is outstanding.
    bool HasOutstandingRequest() const;
    /// A read is outstanding, queued, or due at the next tick.
    bool ReadCycleRunning() const {
        return state.readQueued || !state.sReadOutputInvokeId.isEmpty() || state.cycleTimer;
    }
    /// The force values block: 0, activation mask, 0, value mask.
    ByteArray ForceBlock() const { return {0, state.forceActivationMask, 0, state.forceValueMask}; }
    static bool CanSave(int kernelState);

private:
    QString NewId() const;
    int KernelState() const;
    // Building blocks, each appending to `out`.
    void Log(Steps& out, const QString& place, const QString& text = {},
             const QString& tail = {}) const;
    void Bar(Steps& out, Step::Kind kind) const;
    /// The bar usable again: EnableButtons, HideActivity.
    void BarBack(Steps& out) const;
    void SetExtraButton(Steps& out, std::int32_t textId) const;
    void Queue(Steps& out, const QString& operation) const;
    void Report(Steps& out, std::int32_t number, const QString& text, const QString& place) const;
    void ReportText(Steps& out, std::int32_t textId, std::int32_t appendTextId,
                    const QString& place) const;
    void Timer(Steps& out, Step::Kind kind, bool on);
    void SetHasConnection(Steps& out, bool value) const;
    void SendRequest(Steps& out, Request request, const QString& invokeId,
                     const QString& documentLog = {}, ByteArray data = {}) const;
    void SendOnline(Steps& out, Request request);

    // The shared sequence.
    void ExtraCommandTo(Steps& out);
    void CloseTo(Steps& out);
    void CloseHandlerTo(Steps& out);
    /// The connection's share of the release: offline, PreparedToRelease
    /// or wait for the connect; online, the close handler or a disconnect.
    void ReleaseConnectionTo(Steps& out, bool throughCloseHandler = true);
    void AfterConnectAnswer(Steps& out);
    void ConnectRefused(Steps& out);
    void ConnectAnswerUnparsable(Steps& out, const Answer& answer);
    void ConnectAnswerNegative(Steps& out, const Answer& answer);
    void ConnectAnswerPositive(Steps& out);
    void OnlineTransactionAnswer(Steps& out, const Answer& answer);
    void FinishDisconnect(Steps& out, const QString& place);
    void CompleteReleaseIfIdle(Steps& out);
    /// Diagnosis and Identification: true while another request of the view
    /// is outstanding; `operation` is queued again when online.
    bool WaitsForOutstanding(Steps& out, const QString& operation);
    void SendPreparedToRelease(Steps& out);

    // The read cycle.
    void StartReading(Steps& out);
    void TickTo(Steps& out);
    void ReadAnswer(Steps& out, const QString& response, const Answer& answer);
    void ReadCycleConnectionLost(Steps& out);

    // Forcing.
    void EstablishForcing(Steps& out);
    void EnableForceTickTo(Steps& out);
    void WriteForceValues(Steps& out);
    bool ForceAnswer(Steps& out, const QString& invokeId);
    void ForcingDisconnected();

    // The I&M sequences.
    void ImAnswer(Steps& out, const QString& response, const Answer& answer);
    /// A negative answer ends a sequence: reports `text` if it says
    /// anything, gives the bar back and disconnects.
    void ImStop(Steps& out, const QString& text);
    void ImSend(Steps& out, Request request, bool pause = false);
    void TakeRecord(Steps& out, const Answer& answer, Request record, const QString& logName,
                    const QString& response);
    void ImCloseTo(Steps& out);
    void FinishWrite(Steps& out);

    Traits m_traits;
    Environment m_environment;
    /// The Init invoke id, named in the log before release and close.
    QString m_sInvokeId;
};

/// One line per step, as the tests and the log of a run read them.
QString Describe(const ConnectionProtocol::Step& step);
QStringList Describe(const ConnectionProtocol::Steps& steps);

size_t qHash(const ConnectionProtocol::State& state, size_t seed = 0);

} // namespace rq16

template <> struct std::hash<rq16::ConnectionProtocol::State> {
    std::size_t operator()(const rq16::ConnectionProtocol::State& state) const {
        return rq16::qHash(state);
    }
};
