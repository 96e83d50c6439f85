#include "ReadCycleView.h"

#include "BoundedText.h"
#include "ChannelParameterRecord.h"
#include "SkipOnError.h"

#include "host/Constants.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

namespace rq16 {

namespace {
constexpr int kColumns = 4;
} // namespace

ReadCycleView::ReadCycleView(ViewTraits traits, ConnectionProtocol::Traits protocol,
                             ReadCycleTraits cycle, QWidget* parent)
    : OnlineView(std::move(traits), std::move(protocol), cycle.readRequest, parent),
      m_cycle(cycle) {
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
    for (int i = 0; i < kChannelCount; ++i) {
        ChannelObservation* element = create(m_content);
        element->setObjectName(QStringLiteral("ctlChannel_%1").arg(i));
        element->SetChannelNumber(static_cast<std::int16_t>(i + 1));
        ctlChannel[static_cast<std::size_t>(i)] = element;
        m_channelGrid->addWidget(element, i / kColumns, i % kColumns);
    }
    resize(sizeHint());
}

ChannelObservation* ReadCycleView::channelElement(int index) const {
    if (index < 0 || index >= kChannelCount) {
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

// ---- Init ----

void ReadCycleView::LoadCaptions() {
    InitStatement([&] { ShowBounded(lblSlotNumberLabel, CommonText(kTextSlotNumber)); });
    InitStatement([&] { ctlButtons->SetExtraButton(CommonText(kTextStartReading), QString(), 0); });
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

void ReadCycleView::timCyclic_Timer() {
    Carry(m_protocol.CycleTick(), QStringLiteral("timCyclic_Timer"));
}

void ReadCycleView::CallReadOutputValues(const QVariant& vArguments) {
    Q_UNUSED(vArguments);
    CallRead();
}

void ReadCycleView::CarryViewStep(const Step& step) {
    switch (step.kind) {
    case Step::Kind::CycleTimer:
        if (step.flag) {
            timCyclic->start();
        } else {
            timCyclic->stop();
        }
        break;
    case Step::Kind::SetHasConnection:
        SetAllHasConnection(step.flag);
        break;
    case Step::Kind::ShowData:
        ParseModuleOutputValues(step.data);
        break;
    default:
        break;
    }
}

void ReadCycleView::ParseModuleOutputValues(const ByteArray& block) {
    const QString place = QStringLiteral(".ParseModuleOutputValues");
    const bool logChannels = m_cycle.logsDecoding && LogEnabled();
    if (logChannels) {
        Log(place);
    }
    int iLoop = 0;
    try {
        for (; iLoop < kChannelCount; ++iLoop) {
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

} // namespace rq16
