#include "Simulation.h"

#include <QTimer>

namespace rq16 {

namespace {

constexpr std::int32_t kTextDataSetLockedBy = 6001;
ReadCycleTraits SimulationCycle() {
    ReadCycleTraits cycle;
    cycle.shownMask = observation::ShownMask::ForceMask;
    cycle.readRequest = &IParameterManager::GetSimulationReadRequest;
    cycle.readAnswerText = QStringLiteral("It was a response to a read request:");
    cycle.logsDecoding = false;
    cycle.decodeErrorNamesChannel = true;
    cycle.startReadingDisablesButtons = false;
    return cycle;
}

} // namespace

Simulation::Simulation(QWidget* parent)
    : ReadCycleView(ViewTraits{QStringLiteral("Simulation"), kHelpContextId, true},
                    SimulationCycle(), parent),
      m_force(*this) {
    timEnableForce = new QTimer(this);
    timEnableForce->setInterval(kEnableForceMs);
    connect(timEnableForce, &QTimer::timeout, this, &Simulation::timEnableForce_Timer);

    AddChannelElements([](QWidget* area) { return new ChannelSimulation(area); });
    for (int i = 0; i < observation::kChannelCount; ++i) {
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

// ---- Init ----

void Simulation::LogInitEntry() {
    Log(QStringLiteral(".IDtmActiveXControl_Init"));
}

void Simulation::AfterStandardButtons() {
    Guarded(InitErrorSuffix(), [&] {
        if (!m_objKernel->UiManager()->IsEditAllowed()) {
            LockControls();
        }
    });
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
    Guarded(QStringLiteral(".ctlChannelSimulation_ForceActivatedChanged, Error: "),
            [&] { m_force.ForceActivatedChanged(index, ForcingActivated); });
}

void Simulation::ctlChannelSimulation_ForceValueChanged(int index, bool ForceValue) {
    Guarded(QStringLiteral(".ctlChannelSimulation_ForceValueChanged, Error: "),
            [&] { m_force.ForceValueChanged(index, ForceValue); });
}

void Simulation::timEnableForce_Timer() {
    Guarded(QStringLiteral(".timEnableForce_Timer, Error: "),
            [&] { m_force.EnableForceTimerTick(); });
}

bool Simulation::SendForcingTransaction(const QString& invokeId, const QString& request) {
    if (objBaseDtmCommunication == nullptr) {
        throw ComError(kErrInvalidArg, QStringLiteral("No communication object"));
    }
    return objBaseDtmCommunication->TransactionRequest(connection.communicationReference, this,
                                                       invokeId, request);
}

QString Simulation::WriteForceValuesRequest(const ByteArray& block) {
    if (m_objKernel == nullptr) {
        throw ComError(kErrInvalidArg, QStringLiteral("The view holds no DTM"));
    }
    return m_objKernel->ParameterManager()->GetWriteForceValuesRequest(
        connection.communicationReference, block);
}

void Simulation::SetEnableForceTimer(bool enabled) {
    // Enabling a running timer does not restart its 40 s.
    if (!enabled) {
        timEnableForce->stop();
    } else if (!timEnableForce->isActive()) {
        timEnableForce->start();
    }
}

void Simulation::ReportTransactionFailed(const QString& operation) {
    ReportError(kErrInvalidArg, QStringLiteral("Transaction failed"), operation);
}

// ---- the online button and close ----

void Simulation::ctlButtons_ExtraCommand() {
    Guarded(QStringLiteral(".ctlButtons_ExtraCommand, Error: "), [&] {
        if (!IsOnline()) {
            Queue(QStringLiteral("CallConnect"));
        } else if (blnReadingPaused) {
            blnReadingPaused = false;
            SetExtraButtonText(kTextStopReading);
            timCyclic_Timer();
        } else {
            timCyclic->stop();
            blnReadingPaused = true;
            SetExtraButtonText(kTextStartReading);
        }
    });
}

void Simulation::StopTimers() {
    ReadCycleView::StopTimers();
    timEnableForce->stop();
}

// ---- connection steps ----

void Simulation::OnConnectRefused() {
    ReadCycleView::OnConnectRefused();
    m_force.ConnectRefused();
}

void Simulation::BeforeFirstRead() {
    QString enableRequest;
    Guarded(QStringLiteral(".OnConnectResponse, Error: "), [&] {
        enableRequest = m_objKernel->ParameterManager()->GetGlobalForcingEnableRequest(
            connection.communicationReference);
    });
    m_force.Connected(enableRequest);
}

void Simulation::AfterReadAnswer() {
    if (!blnReadingPaused) {
        ReadCycleView::AfterReadAnswer();
    }
}

void Simulation::LogTransactionAnswerEntry(const QString& invokeId) {
    const QString place = QStringLiteral(".OnTransactionResponse");
    Log(place, QStringLiteral("invokeId                   = ") + invokeId);
    Log(place, QStringLiteral("sOnlineInvokeId            = ") + connection.sOnlineInvokeId);
    Log(place, QStringLiteral("sEnableForceInvokeId       = ") + m_force.EnableForceInvokeId());
    Log(place,
        QStringLiteral("sForceOutputUpdateInvokeId = ") + m_force.ForceOutputUpdateInvokeId());
}

void Simulation::OtherTransactionAnswer(const QString& invokeId, const QString& response) {
    Q_UNUSED(response); // the answers to enable and write are not examined
    Guarded(QStringLiteral(".OnTransactionResponse, Error: "),
            [&] { m_force.OnTransactionAnswer(invokeId); });
}

void Simulation::DisconnectSending(const QString& invokeId) {
    Q_UNUSED(invokeId);
    Log(QStringLiteral(".CallDisconnect"), QStringLiteral("actually trying to disconnect"));
}

void Simulation::DisconnectAnswered() {
    blnReadingPaused = false;
    Log(QString(), QStringLiteral("OnDisconnetResponse"));
}

bool Simulation::IsOwnDisconnectAnswer(const QString& invokeId) const {
    // Any disconnect answer ends this view's connection.
    Q_UNUSED(invokeId);
    return true;
}

void Simulation::OnConnectionLost() {
    ReadCycleView::OnConnectionLost();
    // As after a disconnect, the next connect reads again: otherwise the bar
    // would offer "stop reading" while nothing is read.
    blnReadingPaused = false;
    // timEnableForce keeps running; its ticks do nothing while offline.
    m_force.Aborted();
}

bool Simulation::HasOutstandingRequest() const {
    return ReadCycleView::HasOutstandingRequest() || m_force.HasOutstandingRequest();
}

} // namespace rq16
