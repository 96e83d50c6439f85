#include "Observation.h"

namespace rq16 {

namespace {

ReadCycleTraits ObservationCycle() {
    ReadCycleTraits cycle; // the defaults are those of this view
    cycle.readAnswerText = QStringLiteral("It was a response to a read output request:");
    return cycle;
}

} // namespace

Observation::Observation(QWidget* parent)
    : ReadCycleView(ViewTraits{QStringLiteral("Observation"), kHelpContextId, true},
                    ObservationCycle(), parent) {
    AddChannelElements([](QWidget* area) { return new ChannelObservation(area); });
}

Observation::~Observation() = default;

void Observation::LogCallConnectEntry() {
    Log(QString(), QStringLiteral("CallConnect"));
}

void Observation::LogConnectAnswerEntry() {
    Log(QString(), QStringLiteral("IBaseCommunicationCallback_OnConnectResponse"));
}

void Observation::DisconnectSending(const QString& invokeId) {
    ReadCycleView::DisconnectSending(invokeId);
    blnDisconnecting = true;
}

void Observation::AfterReadAnswer() {
    if (!blnDisconnectRequested) {
        ReadCycleView::AfterReadAnswer();
        return;
    }
    Log(QStringLiteral(".OnTransactionResponse"), QStringLiteral("Triggering CallDisconnect"));
    Queue(QStringLiteral("CallDisconnect"));
}

void Observation::ctlButtons_ExtraCommand() {
    Guarded(QStringLiteral(".ctlButtons_ExtraCommand, Error: "), [&] {
        ctlButtons->ShowActivity();
        if (!IsOnline()) {
            Queue(QStringLiteral("CallConnect"));
            return;
        }
        if (blnDisconnecting) {
            return;
        }
        blnDisconnectRequested = true;
        // The disconnect follows the next read answer; a cycle that has
        // stopped (refused read, unreadable answer) has none to wait for.
        if (!ReadCycleRunning()) {
            Queue(QStringLiteral("CallDisconnect"));
        }
    });
}

} // namespace rq16
