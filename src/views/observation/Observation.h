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

    /// The online button: connect when offline, else disconnect after the
    /// next read answer.
    void ctlButtons_ExtraCommand() override;

    bool DisconnectRequested() const { return blnDisconnectRequested; }
    bool Disconnecting() const { return blnDisconnecting; }

protected:
    void LogCallConnectEntry() override;
    void LogConnectAnswerEntry() override;
    void AfterReadAnswer() override;
    void DisconnectSending(const QString& invokeId) override;
    void DisconnectRefused() override { blnDisconnecting = false; }
    void DisconnectAnswered() override { blnDisconnectRequested = false; }
    void OnDisconnected() override { blnDisconnecting = false; }
    bool ReleaseWaitsForDisconnect() const override { return blnDisconnecting; }

private:
    /// The user asked to disconnect while online.
    bool blnDisconnectRequested = false;
    /// A disconnect request of the view has been sent and not yet answered.
    bool blnDisconnecting = false;
};

} // namespace rq16
