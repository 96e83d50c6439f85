#include "Observation.h"

#include "host/Constants.h"

namespace rq16 {

namespace {

ViewTraits ObservationView() {
    ViewTraits traits{QStringLiteral("Observation"), Observation::kHelpContextId, true};
    traits.extraButtonTextId = kTextStopReading;
    return traits;
}

} // namespace

Observation::Observation(QWidget* parent)
    : ReadCycleView(ObservationView(), ConnectionProtocol::ObservationTraits(), ReadCycleTraits{},
                    parent) {
    AddChannelElements([](QWidget* area) { return new ChannelObservation(area); });
}

Observation::~Observation() = default;

} // namespace rq16
