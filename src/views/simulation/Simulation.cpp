#include "Simulation.h"

#include "host/Constants.h"

#include <QTimer>

namespace rq16 {

namespace {

ViewTraits SimulationView() {
    ViewTraits traits{QStringLiteral("Simulation"), Simulation::kHelpContextId, true};
    traits.extraButtonTextId = kTextStopReading;
    traits.initEntryPlace = QStringLiteral(".IDtmActiveXControl_Init");
    traits.initEntryText = QString();
    traits.initErrorSuffix = QStringLiteral(".IDtmActiveXControl_Init, Error: ");
    traits.locksInBarSetUp = true;
    return traits;
}

ReadCycleTraits SimulationCycle() {
    ReadCycleTraits cycle;
    cycle.shownMask = observation::ShownMask::ForceMask;
    cycle.readRequest = &IParameterManager::GetSimulationReadRequest;
    cycle.logsDecoding = false;
    cycle.decodeErrorNamesChannel = true;
    return cycle;
}

} // namespace

Simulation::Simulation(QWidget* parent)
    : ReadCycleView(SimulationView(), ConnectionProtocol::SimulationTraits(), SimulationCycle(),
                    parent) {
    timEnableForce = new QTimer(this);
    timEnableForce->setInterval(kEnableForceMs);
    connect(timEnableForce, &QTimer::timeout, this, &Simulation::timEnableForce_Timer);

    AddChannelElements([](QWidget* area) { return new ChannelSimulation(area); });
    for (int i = 0; i < kChannelCount; ++i) {
        auto* element = static_cast<ChannelSimulation*>(channelElement(i));
        ctlChannelSimulation[static_cast<std::size_t>(i)] = element;
        connect(element, &ChannelSimulation::ForceActivatedChanged, this,
                [this, i](bool on) { ctlChannelSimulation_ForceActivatedChanged(i, on); });
        connect(element, &ChannelSimulation::ForceValueChanged, this,
                [this, i](bool value) { ctlChannelSimulation_ForceValueChanged(i, value); });
        // ForceInvalidChanged is not handled: the module has no inputs.
    }
}

Simulation::~Simulation() = default;

ChannelSimulation* Simulation::channelSimulation(int index) const {
    return static_cast<ChannelSimulation*>(channelElement(index));
}

bool Simulation::EnableForceTimerActive() const {
    return timEnableForce->isActive();
}

// ---- force controls and the data set lock ----

void Simulation::SetAllLocked(bool locked) {
    for (ChannelSimulation* element : ctlChannelSimulation) {
        element->SetLocked(locked);
    }
}

void Simulation::LockControls() {
    ctlButtons->ShowActivity();
    SetAllLocked(true);
}

void Simulation::UnlockControls() {
    ctlButtons->HideActivity();
    SetAllLocked(false);
}

void Simulation::BaseDtm_LockDataSet(const QString& userName) {
    Guarded(QStringLiteral(".m_objBaseDtm_LockDataSet, Error: "), [&] {
        ctlButtons->SetMessage(CommonText(kTextDataSetLockedBy) + QLatin1Char(' ') + userName);
        if (m_objKernel != nullptr && m_objKernel->HoldsDataSetLock()) {
            UnlockControls();
        } else {
            LockControls();
        }
    });
}

void Simulation::BaseDtm_UnlockDataSet(const QString& userName) {
    if (IsCompatibilityUser(userName)) {
        return;
    }
    Guarded(QStringLiteral(".m_objBaseDtm_UnlockDataSet, Error: "), [&] {
        ctlButtons->SetMessage(QString());
        LockControls();
    });
}

// ---- forcing ----

void Simulation::ctlChannelSimulation_ForceActivatedChanged(int index, bool ForcingActivated) {
    Carry(m_protocol.ForceActivatedChanged(index, ForcingActivated),
          QStringLiteral("ctlChannelSimulation_ForceActivatedChanged"));
}

void Simulation::ctlChannelSimulation_ForceValueChanged(int index, bool ForceValue) {
    Carry(m_protocol.ForceValueChanged(index, ForceValue),
          QStringLiteral("ctlChannelSimulation_ForceValueChanged"));
}

void Simulation::timEnableForce_Timer() {
    Carry(m_protocol.EnableForceTick(), QStringLiteral("timEnableForce_Timer"));
}

void Simulation::CarryViewStep(const Step& step) {
    if (step.kind != Step::Kind::EnableForceTimer) {
        ReadCycleView::CarryViewStep(step);
    } else if (!step.flag) {
        timEnableForce->stop();
    } else if (!timEnableForce->isActive()) {
        timEnableForce->start(); // a running timer keeps its 40 s
    }
}

} // namespace rq16
