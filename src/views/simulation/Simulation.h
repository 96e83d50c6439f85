#pragma once
// The Simulation view: the read cycle of the Observation view on eight
// ChannelSimulation elements, plus forcing. The user's force choices become
// the force requests (ForceRequests): an enable request, repeated every 40 s
// while any channel is forced, and one force values write at a time. The
// online button pauses and resumes the reading instead of disconnecting, so
// forcing stays while paused. The force controls follow the data set lock.

#include "ChannelSimulation.h"
#include "ForceRequests.h"

#include "ReadCycleView.h"

#include <array>

namespace rq16 {

class Simulation : public ReadCycleView, private IForcingConnection {
    Q_OBJECT
public:
    static constexpr std::int32_t kHelpContextId = 25300;
    static constexpr int kEnableForceMs = 40000;

    explicit Simulation(QWidget* parent = nullptr);
    ~Simulation() override;

    /// The online button: connect when offline, else pause or resume the
    /// reading. It never disconnects.
    void ctlButtons_ExtraCommand() override;

    // ---- events of the channel elements, with the element's index ----
    void ctlChannelSimulation_ForceActivatedChanged(int index, bool ForcingActivated);
    void ctlChannelSimulation_ForceValueChanged(int index, bool ForceValue);
    /// Sends the enable request (every 40 s while any channel is forced).
    void timEnableForce_Timer();

    // ---- kernel events: the force controls follow the data set lock ----
    void BaseDtm_LockDataSet(const QString& userName) override;
    void BaseDtm_UnlockDataSet(const QString& userName) override;

    // ---- state, for the frame and for tests ----
    ChannelSimulation* channelSimulation(int index) const;
    const ForceRequests& forcing() const { return m_force; }
    bool ReadingPaused() const { return blnReadingPaused; }
    bool EnableForceTimerActive() const;

protected:
    void LogInitEntry() override;
    QString InitErrorSuffix() const override {
        return QStringLiteral(".IDtmActiveXControl_Init, Error: ");
    }
    void AfterStandardButtons() override;
    void StopTimers() override;

    void OnConnectRefused() override;
    void BeforeFirstRead() override;
    void AfterReadAnswer() override;
    void LogTransactionAnswerEntry(const QString& invokeId) override;
    void OtherTransactionAnswer(const QString& invokeId, const QString& response) override;
    void DisconnectSending(const QString& invokeId) override;
    void DisconnectAnswered() override;
    bool IsOwnDisconnectAnswer(const QString& invokeId) const override;
    void OnDisconnected() override { m_force.Disconnected(); }
    void OnConnectionLost() override;
    bool HasOutstandingRequest() const override;

private:
    void LockControls() override;
    void UnlockControls() override;
    void SetAllLocked(bool locked);

    // ---- IForcingConnection: the force requests use this view's connection ----
    QString ForcingReference() override { return connection.communicationReference; }
    QString NewForcingInvokeId() override { return NewInvokeId(); }
    bool SendForcingTransaction(const QString& invokeId, const QString& request) override;
    QString WriteForceValuesRequest(const ByteArray& block) override;
    void SetEnableForceTimer(bool enabled) override;
    void ReportTransactionFailed(const QString& operation) override;
    void LogForcing(const QString& suffix, const QString& message) override {
        Log(suffix, message);
    }
    void ReadBack() override { timCyclic_Timer(); }

    std::array<ChannelSimulation*, observation::kChannelCount> ctlChannelSimulation{};
    QTimer* timEnableForce = nullptr;
    ForceRequests m_force;
    /// The user paused the cyclic reading.
    bool blnReadingPaused = false;
};

} // namespace rq16
