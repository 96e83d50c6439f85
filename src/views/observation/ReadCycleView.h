#pragma once
// The read cycle of the output values and the connection steps that the two
// cyclic views (Observation and Simulation) share.
//
// While online the view reads the output values block every 500 ms: a read
// step (StartReading) queues CallReadOutputValues, which sends the request
// under sReadOutputInvokeId; its answer is decoded into the eight channel
// elements and re-arms timCyclic, a one-shot timer whose tick starts the next
// step. A new read is therefore sent only after the previous answer was
// handled. Without a connection a read step queues CallConnect instead.
//
// The connection steps differ from the Diagnosis sequence of OnlineView: the
// connect answer switches the extra button between "start" and "stop"
// captions and starts reading; CallDisconnect is sent even while a read is
// outstanding; the release of an offline view completes at once.
//
// How a second cyclic view plugs in:
//  - derive from ReadCycleView and pass a ReadCycleTraits: which mask of the
//    block it shows, which read request it sends, its log texts, and whether
//    StartReading disables the button bar;
//  - create its elements (ChannelObservation or a class derived from it) with
//    AddChannelElements in its constructor;
//  - state its differences through the virtual steps below: AfterReadAnswer
//    (re-arm the timer or not, e.g. while reading is paused),
//    LogTransactionAnswerEntry and OtherTransactionAnswer (answers to its own
//    further requests), HasOutstandingRequest (its further invoke ids),
//    BeforeFirstRead (work after a successful connect), DisconnectSending /
//    DisconnectAnswered / IsOwnDisconnectAnswer / OnDisconnected,
//    OnConnectionLost, ReleaseWaitsForDisconnect, StopTimers, and its own
//    ctlButtons_ExtraCommand (the online button).

#include "ChannelObservation.h"
#include "OutputValues.h"

#include "frame/OnlineView.h"

#include <array>
#include <functional>

class QGridLayout;
class QLabel;
class QTimer;

namespace rq16 {

/// What distinguishes the read cycles of the two views; the defaults are
/// those of Observation.
struct ReadCycleTraits {
    /// Which mask of the block is shown as the channel value.
    observation::ShownMask shownMask = observation::ShownMask::OutputValues;
    /// The parameter manager's read request for a communication reference.
    QString (IParameterManager::*readRequest)(const QString&) =
        &IParameterManager::GetReadOutputValuesRequest;
    /// Log text of a read answer, followed by the answer document.
    QString readAnswerText;
    /// Decoding logs its start, each channel and its end.
    bool logsDecoding = true;
    /// A decoding error names the channel index it stopped at.
    bool decodeErrorNamesChannel = false;
    /// StartReading disables the button bar when it has to connect first.
    bool startReadingDisablesButtons = true;
};

class ReadCycleView : public OnlineView {
    Q_OBJECT
public:
    static constexpr int kCycleMs = 500;

    ReadCycleView(ViewTraits traits, ReadCycleTraits cycle, QWidget* parent = nullptr);
    ~ReadCycleView() override;

    /// Sends one read output values request (queued by StartReading).
    Q_INVOKABLE void CallReadOutputValues(const QVariant& vArguments = {});
    /// Sends the disconnect at once, even while a read is outstanding.
    void CallDisconnect(const QVariant& vArguments = {}) override;

    /// The cycle timer's tick; also run directly to start a read step at once.
    void timCyclic_Timer();

    void IBaseCommunicationCallback_OnTransactionResponse(const QString& invokeId,
                                                          const QString& response) override;
    void IBaseCommunicationCallback_OnDisconnectResponse(const QString& invokeId,
                                                         const QString& response) override;
    bool IDtmActiveXControl_PrepareToRelease() override;

    /// Decodes a block into the channel elements.
    void ParseModuleOutputValues(const ByteArray& block);

    // ---- state, for the frame and for tests ----
    ChannelObservation* channelElement(int index) const;
    const QString& ReadOutputInvokeId() const { return sReadOutputInvokeId; }
    bool CycleTimerActive() const;
    QString slotNumberText() const;

protected:
    // ---- Init hooks ----
    void LoadCaptions() override;
    /// Slot number, then the channel set-up from the DTM's channels and the
    /// parameter bytes.
    void FillHeader() override;
    std::int32_t ExtraButtonTextId() const override { return kTextStopReading; }
    void StopTimers() override;

    // ---- connection steps ----
    QString ReadOperation() const override { return QStringLiteral("CallReadOutputValues"); }
    /// Every element's HasConnection false; the activity display goes too.
    void OnConnectRefused() override;
    void ConnectAnswerUnparsable(const QString& lastError) override;
    void ConnectAnswerNegative(const QString& errorText) override;
    void ConnectAnswerPositive() override;
    /// Every element's HasConnection false, the start caption, the cycle ends.
    void OnConnectionLost() override;
    void LogAbortEntry(const QString& reference) override;
    bool HasOutstandingRequest() const override;

    // ---- steps the views change ----
    /// Runs after a read answer was handled while online and no disconnect
    /// is under way: re-arms timCyclic.
    virtual void AfterReadAnswer();
    /// First log entry of a transaction answer.
    virtual void LogTransactionAnswerEntry(const QString& invokeId);
    /// A transaction answer that is not the read answer: ignored.
    virtual void OtherTransactionAnswer(const QString& invokeId, const QString& response);
    /// After a successful connect, just before the first read step.
    virtual void BeforeFirstRead() {}
    /// The disconnect request is about to be sent under `invokeId`.
    virtual void DisconnectSending(const QString& invokeId);
    /// The disconnect request was refused.
    virtual void DisconnectRefused() {}
    /// Any disconnect answer, before its invoke id is looked at.
    virtual void DisconnectAnswered() {}
    /// Whether a disconnect answer with `invokeId` is the view's own.
    virtual bool IsOwnDisconnectAnswer(const QString& invokeId) const;
    /// Release while online first waits for an outstanding disconnect.
    virtual bool ReleaseWaitsForDisconnect() const { return false; }

    // ---- building blocks ----
    /// Starts one read step: connect when offline, else read.
    void StartReading();
    /// A read is outstanding, queued, or due at the next tick.
    bool ReadCycleRunning() const;
    /// Creates the eight elements with `create` and lays them out.
    void AddChannelElements(const std::function<ChannelObservation*(QWidget*)>& create);
    void SetAllHasConnection(bool value);
    /// Extra button caption from common text `id`.
    void SetExtraButtonText(std::int32_t id);
    static constexpr std::int32_t kTextStartReading = 7011;
    static constexpr std::int32_t kTextStopReading = 7012;

    ReadCycleTraits m_cycle;
    QString sReadOutputInvokeId;
    QTimer* timCyclic = nullptr;
    /// Id of the last call queued by StartReading; kept, not otherwise used.
    QString m_sQueuedCallId;
    std::array<ChannelObservation*, observation::kChannelCount> ctlChannel{};
    ByteArray ParameterBytes;

private:
    void ReadAnswer(const QString& response);
    void SetUpChannels();

    /// StartReading queued CallReadOutputValues, which has not run yet.
    bool m_readQueued = false;
    QWidget* m_content = nullptr;
    QGridLayout* m_channelGrid = nullptr;
    QLabel* lblSlotNumberLabel = nullptr;
    QLabel* lblSlotNumber = nullptr;
};

} // namespace rq16
