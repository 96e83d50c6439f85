#pragma once
// The Simulation view: the read cycle of the Observation view on eight
// ChannelSimulation elements, plus forcing. The user's force choices become
// the force requests of the connection protocol: an enable request, repeated
// every 40 s while any channel is forced, and one force values write at a
// time. The online button pauses and resumes the reading instead of
// disconnecting, so forcing stays while paused. The force controls follow the
// data set lock.

#include "ChannelSimulation.h"

#include "ReadCycleView.h"

#include <array>

namespace rq16 {

class Simulation : public ReadCycleView {
    Q_OBJECT
public:
    static constexpr std::int32_t kHelpContextId = 25300;
    static constexpr int kEnableForceMs = 40000;

    explicit Simulation(QWidget* parent = nullptr);
    ~Simulation() override;

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
    bool ReadingPaused() const { return m_protocol.state.blnReadingPaused; }
    bool EnableForceTimerActive() const;

protected:
    void CarryViewStep(const Step& step) override;

private:
    void LockControls() override;
    void UnlockControls() override;
    void SetAllLocked(bool locked);

    std::array<ChannelSimulation*, kChannelCount> ctlChannelSimulation{};
    QTimer* timEnableForce = nullptr;
};

} // namespace rq16
