#include "ReadCycleView.h"

#include "ChannelParameterRecord.h"
#include "SkipOnError.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

namespace rq16 {

namespace {
constexpr std::int32_t kTextSlotNumber = 6002;
constexpr int kColumns = 4;
} // namespace

ReadCycleView::ReadCycleView(ViewTraits traits, ReadCycleTraits cycle, QWidget* parent)
    : OnlineView(std::move(traits), parent), m_cycle(std::move(cycle)) {
    timCyclic = new QTimer(this);
    timCyclic->setInterval(kCycleMs);
    timCyclic->setSingleShot(true);
    connect(timCyclic, &QTimer::timeout, this, &ReadCycleView::timCyclic_Timer);

    m_content = new QWidget(this);
    m_content->setObjectName(QStringLiteral("Content"));
    SetContentAboveBar(m_content);
    lblSlotNumberLabel = new QLabel(QStringLiteral("slot number"), m_content);
    lblSlotNumberLabel->setObjectName(QStringLiteral("lblSlotNumberLabel"));
    lblSlotNumber = new QLabel(QStringLiteral("00"), m_content);
    lblSlotNumber->setObjectName(QStringLiteral("lblSlotNumber"));
    for (QLabel* label : {lblSlotNumberLabel, lblSlotNumber}) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    auto* header = new QHBoxLayout;
    header->setSpacing(6);
    header->addWidget(lblSlotNumberLabel);
    header->addWidget(lblSlotNumber);
    header->addStretch(1);
    m_channelGrid = new QGridLayout;
    m_channelGrid->setSpacing(8);
    auto* layout = new QVBoxLayout(m_content);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addLayout(header);
    layout->addLayout(m_channelGrid);
    layout->addStretch(1);
}

ReadCycleView::~ReadCycleView() = default;

void ReadCycleView::AddChannelElements(const std::function<ChannelObservation*(QWidget*)>& create) {
    for (int i = 0; i < observation::kChannelCount; ++i) {
        ChannelObservation* element = create(m_content);
        element->setObjectName(QStringLiteral("ctlChannel_%1").arg(i));
        element->SetChannelNumber(static_cast<std::int16_t>(i + 1));
        ctlChannel[static_cast<std::size_t>(i)] = element;
        m_channelGrid->addWidget(element, i / kColumns, i % kColumns);
    }
    resize(sizeHint());
}

ChannelObservation* ReadCycleView::channelElement(int index) const {
    if (index < 0 || index >= observation::kChannelCount) {
        return nullptr;
    }
    return ctlChannel[static_cast<std::size_t>(index)];
}

QString ReadCycleView::slotNumberText() const {
    return lblSlotNumber->text();
}

bool ReadCycleView::CycleTimerActive() const {
    return timCyclic->isActive();
}

void ReadCycleView::SetAllHasConnection(bool value) {
    for (ChannelObservation* element : ctlChannel) {
        if (element != nullptr) {
            element->SetHasConnection(value);
        }
    }
}

void ReadCycleView::SetExtraButtonText(std::int32_t id) {
    ctlButtons->SetExtraButton(CommonText(id), QString(), 0);
}

// ---- Init ----

void ReadCycleView::LoadCaptions() {
    lblSlotNumberLabel->setText(CommonText(kTextSlotNumber));
    SetExtraButtonText(kTextStartReading);
}

void ReadCycleView::FillHeader() {
    InitStatement([&] {
        lblSlotNumber->setText(
            QStringLiteral("%1").arg(ReadModule().slotNumber, 2, 10, QLatin1Char('0')));
    });
    SetUpChannels();
}

void ReadCycleView::SetUpChannels() {
    InitStatement([&] { ParameterManager().GetParameterBytes(ParameterBytes); });
    for (ChannelObservation* element : ctlChannel) {
        InitStatement([&] {
            element->SetIsInitializing(true);
            element->SetResourceManager(m_objDeviceResourceManager.get());
            element->SetIsInitializing(false);
        });
    }
    int count = 0;
    InitStatement([&] { count = Dtm().ChannelCount(); });
    for (int item = 1; item <= count; ++item) {
        InitStatement([&] {
            const ChannelObject channel = ReadChannel(item);
            ChannelObservation* element = channelElement(channel.channelNumber - 1);
            if (element == nullptr) {
                throw ComError(
                    kErrInvalidArg,
                    QStringLiteral("channel number %1 is out of range").arg(channel.channelNumber));
            }
            element->SetChannelTag(channel.tag);
            element->SetIsInput(false);
            // Bit 2 of the byte of the channel's pair is its inverted logic.
            const std::size_t pair = static_cast<std::size_t>(channel.channelNumber - 1) / 2;
            element->SetIsInverted((ParameterBytes.at(pair) & kInvertedPolarityBit) != 0);
            element->SetHasStatus(false);
        });
    }
}

// ---- the read cycle ----

void ReadCycleView::StartReading() {
    // While online the bar stays usable: its online and close buttons are how
    // the user ends the cycle, and a read step never enables the bar again.
    if (m_cycle.startReadingDisablesButtons && !IsOnline()) {
        ctlButtons->DisableButtons();
    }
    Log(QString(), QStringLiteral("StartReading"));
    if (IsOnline()) {
        m_sQueuedCallId = Queue(QStringLiteral("CallReadOutputValues"));
        m_readQueued = true;
    } else {
        m_sQueuedCallId = Queue(QStringLiteral("CallConnect"));
    }
}

bool ReadCycleView::ReadCycleRunning() const {
    return m_readQueued || !sReadOutputInvokeId.isEmpty() || timCyclic->isActive();
}

void ReadCycleView::timCyclic_Timer() {
    if (Released()) {
        return;
    }
    timCyclic->stop();
    // A view that closes or is released starts no new read step.
    if (connection.blnPrepareToRelease || connection.blnClosing) {
        return;
    }
    Guarded(QStringLiteral(".timCyclic_Timer, Error: "), [&] { StartReading(); });
}

void ReadCycleView::CallReadOutputValues(const QVariant& vArguments) {
    if (Released()) {
        return;
    }
    Q_UNUSED(vArguments);
    m_readQueued = false;
    // A view that closes or is released reads no more (a step queued just
    // before would otherwise send one beside the disconnect).
    if (!IsOnline() || connection.blnClosing || connection.blnPrepareToRelease) {
        return;
    }
    const QString place = QStringLiteral(".CallReadOutputValues");
    Guarded(place + QStringLiteral(", Error: "), [&] {
        if (objBaseDtmCommunication == nullptr) {
            throw ComError(kErrInvalidArg, QStringLiteral("No communication object"));
        }
        const QString& reference = connection.communicationReference;
        IParameterManager* parameters = Kernel().ParameterManager();
        const QString sReadRequest = std::invoke(m_cycle.readRequest, parameters, reference);
        sReadOutputInvokeId = NewInvokeId();
        Log(place, QStringLiteral("sReadOutputInvokeId              = ") + sReadOutputInvokeId);
        if (LogEnabled()) {
            Log(place, QStringLiteral("sReadRequest                     = ") + sReadRequest);
        }
        if (!objBaseDtmCommunication->TransactionRequest(reference, this, sReadOutputInvokeId,
                                                         sReadRequest)) {
            sReadOutputInvokeId.clear();
            ReportError(kErrInvalidArg, QStringLiteral("Transaction failed"),
                        QStringLiteral("CallReadOutputValues"));
        }
    });
}

void ReadCycleView::LogTransactionAnswerEntry(const QString& invokeId) {
    Q_UNUSED(invokeId);
    Log(QStringLiteral(".OnTransactionResponse"),
        QStringLiteral("sOnlineInvokeId: ") + connection.sOnlineInvokeId);
}

void ReadCycleView::IBaseCommunicationCallback_OnTransactionResponse(const QString& invokeId,
                                                                     const QString& response) {
    if (Released()) {
        return;
    }
    LogTransactionAnswerEntry(invokeId);
    if (!sReadOutputInvokeId.isEmpty() && invokeId == sReadOutputInvokeId) {
        ReadAnswer(response);
    } else {
        OtherTransactionAnswer(invokeId, response);
    }
}

void ReadCycleView::OtherTransactionAnswer(const QString& invokeId, const QString& response) {
    Q_UNUSED(invokeId);
    Q_UNUSED(response);
}

void ReadCycleView::ReadAnswer(const QString& response) {
    const QString operation = QStringLiteral("OnTransactionResponse");
    sReadOutputInvokeId.clear();
    if (LogEnabled()) {
        Log(QStringLiteral(".OnTransactionResponse"), m_cycle.readAnswerText + response);
    }
    CallbackGuard(operation, [&] {
        bool parsed = false;
        const auto parser = ParseAnswer(response, parsed);
        if (!parsed) {
            ctlButtons->EnableButtons();
            ctlButtons->HideActivity();
            ReportError(0, parser->LastError(), operation);
            return;
        }
        if (parser->HasData()) {
            ParseModuleOutputValues(parser->Data());
        } else if (parser->HasCommunicationError()) {
            ReportError(0, parser->ErrorText(), operation);
        } else {
            ReportError(kErrInvalidArg,
                        QStringLiteral("No data read and no communcation error ..."), operation);
        }
        // A disconnect under way (close, release, online button) ends the
        // cycle: the timer would otherwise connect again after it.
        if (IsOnline() && connection.Pending() != PendingRequest::Disconnect &&
            !connection.blnClosing) {
            AfterReadAnswer();
        }
    });
}

void ReadCycleView::AfterReadAnswer() {
    timCyclic->start();
}

void ReadCycleView::ParseModuleOutputValues(const ByteArray& block) {
    const QString place = QStringLiteral(".ParseModuleOutputValues");
    const bool logChannels = m_cycle.logsDecoding && LogEnabled();
    if (logChannels) {
        Log(place);
    }
    int iLoop = 0;
    try {
        for (; iLoop < observation::kChannelCount; ++iLoop) {
            if (logChannels) {
                Log(place, QStringLiteral("Channel number ") + QString::number(iLoop));
            }
            ChannelObservation* element = ctlChannel[static_cast<std::size_t>(iLoop)];
            element->SetHasConnection(true);
            const observation::ChannelValue channel =
                observation::DecodeChannel(block, iLoop, m_cycle.shownMask);
            element->SetCurrentValue(channel.value, false, channel.forced);
        }
        if (logChannels) {
            Log(place, QStringLiteral("finished"));
        }
    } catch (const std::exception& error) {
        const ComError* com = dynamic_cast<const ComError*>(&error);
        QString message = QStringLiteral("ERROR: ") +
                          (com ? com->description() : QString::fromUtf8(error.what()));
        if (m_cycle.decodeErrorNamesChannel) {
            message += QStringLiteral(", iLoop = ") + QString::number(iLoop);
        }
        Log(place, message);
    }
}

// ---- connect answer ----

void ReadCycleView::ConnectAnswerPositive() {
    ctlButtons->SetOnline(true);
    SetAllHasConnection(true);
    SetExtraButtonText(kTextStopReading);
    ctlButtons->HideActivity();
    ctlButtons->EnableButtons();
    BeforeFirstRead();
    StartReading();
}

void ReadCycleView::ConnectAnswerNegative(const QString& errorText) {
    ReportError(0, errorText, QStringLiteral("OnConnectResponse"));
    SetExtraButtonText(kTextStartReading);
    ctlButtons->EnableButtons();
    ctlButtons->HideActivity();
}

void ReadCycleView::ConnectAnswerUnparsable(const QString& lastError) {
    ReportError(0, lastError, QStringLiteral("OnConnectResponse"));
    ctlButtons->HideActivity();
    // The view tries again for as long as the answers cannot be read, at the
    // pace of the cycle rather than at once: the tick's read step connects
    // (still offline), a device that keeps garbling is not flooded with
    // requests, and the bar stays usable so that the user can close.
    ctlButtons->EnableButtons();
    timCyclic->start();
}

void ReadCycleView::OnConnectRefused() {
    SetAllHasConnection(false);
    ctlButtons->HideActivity();
}

// ---- disconnect ----

void ReadCycleView::DisconnectSending(const QString& invokeId) {
    Log(QStringLiteral(".CallDisconnect"),
        QStringLiteral("Actually trying to disconnect: ") + invokeId);
}

void ReadCycleView::CallDisconnect(const QVariant& vArguments) {
    if (Released()) {
        return;
    }
    Q_UNUSED(vArguments);
    const QString place = QStringLiteral(".CallDisconnect");
    const QString onError = place + QStringLiteral(", Error: ");
    bool accepted = false;
    Guarded(onError, [&] {
        connection.RequestSent(PendingRequest::Disconnect, NewInvokeId());
        DisconnectSending(connection.sOnlineInvokeId);
        if (objBaseDtmCommunication == nullptr) {
            throw ComError(kErrInvalidArg, QStringLiteral("No communication object"));
        }
        accepted = objBaseDtmCommunication->Disconnect(connection.communicationReference, this,
                                                       connection.sOnlineInvokeId);
    });
    if (accepted) {
        return;
    }
    connection.RequestDone();
    Log(place, QStringLiteral("objBaseDtmCommunication.Disconnect returned false"));
    // Nothing will answer: the bar must not stay disabled, and a release
    // waiting for the disconnect is completed now.
    DisconnectRefused();
    connection.blnClosing = false;
    SkipOnError([&] {
        ctlButtons->EnableButtons();
        ctlButtons->HideActivity();
    });
    if (connection.blnPrepareToRelease) {
        SendPreparedToRelease();
    }
}

bool ReadCycleView::IsOwnDisconnectAnswer(const QString& invokeId) const {
    return connection.IsAnswerTo(invokeId);
}

void ReadCycleView::IBaseCommunicationCallback_OnDisconnectResponse(const QString& invokeId,
                                                                    const QString& response) {
    if (Released()) {
        return;
    }
    Q_UNUSED(response);
    const QString place = QStringLiteral(".OnDisconnectResponse");
    Log(place, QStringLiteral("invokeId:        ") + invokeId);
    Log(place, QStringLiteral("sOnlineInvokeId: ") + connection.sOnlineInvokeId);
    CallbackGuard(QStringLiteral("OnDisconnectResponse"), [&] {
        timCyclic->stop();
        ctlButtons->SetOnline(false);
        SetExtraButtonText(kTextStartReading);
        ctlButtons->HideActivity();
        DisconnectAnswered();
        if (!IsOwnDisconnectAnswer(invokeId)) {
            return;
        }
        connection.Disconnected();
        OnDisconnected();
        FinishDisconnect();
    });
}

// ---- abort ----

void ReadCycleView::LogAbortEntry(const QString& reference) {
    Q_UNUSED(reference);
    Log(QStringLiteral(".OnAbort"),
        QStringLiteral("sOnlineInvokeId: ") + connection.sOnlineInvokeId);
}

void ReadCycleView::OnConnectionLost() {
    // The answer to a read on the lost connection never comes.
    sReadOutputInvokeId.clear();
    m_readQueued = false;
    timCyclic->stop();
    SetAllHasConnection(false);
    SetExtraButtonText(kTextStartReading);
    ctlButtons->HideActivity();
}

// ---- close and release ----

void ReadCycleView::StopTimers() {
    timCyclic->stop();
}

bool ReadCycleView::HasOutstandingRequest() const {
    return connection.IsRequestOutstanding() || !sReadOutputInvokeId.isEmpty();
}

bool ReadCycleView::IDtmActiveXControl_PrepareToRelease() {
    CloseHelp();
    if (Released()) {
        return true;
    }
    const QString place = QStringLiteral(".PrepareToRelease");
    if (!IsOnline()) {
        // Even with a connect outstanding: its answer finds a released view.
        Log(place, QStringLiteral("Offline"));
        SendPreparedToRelease();
        return true;
    }
    if (ReleaseWaitsForDisconnect()) {
        Log(place, QStringLiteral("GoingOffline"));
        connection.blnPrepareToRelease = true;
        return true;
    }
    Log(place, QStringLiteral("Online"));
    Log(place, QStringLiteral("sOnlineInvokeId: ") + connection.sOnlineInvokeId);
    connection.blnPrepareToRelease = true;
    Guarded(place + QStringLiteral(", Error: "), [&] {
        if (!HasOutstandingRequest()) {
            ctlButtons_Close();
        } else {
            Log(place, QStringLiteral("Calling Disconnect"));
            Queue(QStringLiteral("CallDisconnect"));
        }
    });
    return true;
}

} // namespace rq16
