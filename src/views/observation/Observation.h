#pragma once
// The Observation view: reads the module's output values every 500 ms while
// online and shows each channel's master value, terminal value, diode and
// state (valid, invalid, forced) in eight ChannelObservation elements. It
// connects by itself after Init; its online button disconnects after the next
// read answer and connects again.

#include "ReadCycleView.h"

namespace rq16 {

class Observation : public ReadCycleView {
    Q_OBJECT
public:
    static constexpr std::int32_t kHelpContextId = 25400;

    explicit Observation(QWidget* parent = nullptr);
    ~Observation() override;

    bool DisconnectRequested() const { return m_protocol.state.blnDisconnectRequested; }
    bool Disconnecting() const { return m_protocol.state.blnDisconnecting; }
};

} // namespace rq16
