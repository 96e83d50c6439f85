#include "SimulatorPanel.h"

#include "EventPanelFeed.h"

#include "simulator/SimulatedModule.h"
#include "standins/communication/SimulatedCommunication.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace rq16::frameapp {

namespace {

/// "1 5 9" -> {1, 5, 9}; anything outside 1..15 is left out.
std::vector<std::uint8_t> ParseCodes(const QString& text) {
    std::vector<std::uint8_t> codes;
    for (const QString& part :
         text.split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int code = part.toInt(&ok);
        if (ok && code >= 1 && code <= 15) {
            codes.push_back(static_cast<std::uint8_t>(code));
        }
    }
    return codes;
}

QString FormatCodes(const std::vector<std::uint8_t>& codes) {
    QStringList parts;
    for (const auto code : codes) {
        parts << QString::number(code);
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

SimulatorPanel::SimulatorPanel(simulator::SimulatedModule& module,
                               standins::SimulatedCommunication& communication, QWidget* parent)
    : QWidget(parent), m_module(module), m_communication(communication) {
    auto* layout = new QVBoxLayout(this);
    // The forcing comes first: it is live, the rest are switches.
    layout->addWidget(BuildForcingBox());
    layout->addWidget(BuildDiagnosisBox());
    layout->addWidget(BuildConnectionBox());

    auto* trafficBox = new QGroupBox;
    m_texts.add([trafficBox] { trafficBox->setTitle(tr("Traffic")); });
    auto* trafficLayout = new QVBoxLayout(trafficBox);
    m_traffic = new QPlainTextEdit;
    m_traffic->setReadOnly(true);
    m_traffic->setMaximumBlockCount(200);
    trafficLayout->addWidget(m_traffic);
    layout->addWidget(trafficBox, 1);
    auto* feed = new EventPanelFeed(m_traffic, 20, false, this);
    connect(&m_communication, &standins::SimulatedCommunication::traffic, feed,
            &EventPanelFeed::add);
}

QLabel* SimulatorPanel::Label(std::function<QString()> text) {
    auto* label = new QLabel;
    m_texts.add([label, text = std::move(text)] { label->setText(text()); });
    return label;
}

void SimulatorPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        m_texts.retranslate();
        // The scroll area around the panel takes the width of the new texts.
        for (QWidget* outer = parentWidget(); outer; outer = outer->parentWidget()) {
            outer->updateGeometry();
        }
    }
    QWidget::changeEvent(event);
}

QWidget* SimulatorPanel::BuildDiagnosisBox() {
    auto* box = new QGroupBox;
    auto* form = new QFormLayout(box);

    auto* moduleCode = new QSpinBox;
    moduleCode->setRange(0, 255);
    moduleCode->setValue(m_module.ModuleCode());
    connect(moduleCode, &QSpinBox::valueChanged, this,
            [this](int value) { m_module.SetModuleCode(static_cast<std::uint8_t>(value)); });
    form->addRow(Label([] { return tr("Module code"); }), moduleCode);

    for (int channel = 1; channel <= kChannelCount; ++channel) {
        auto* codes = new QLineEdit(FormatCodes(m_module.ChannelFaults(channel)));
        m_texts.add([codes] { codes->setPlaceholderText(tr("codes 1..11, e.g. 1 5")); });
        connect(codes, &QLineEdit::textChanged, this, [this, channel](const QString& text) {
            m_module.SetChannelFaults(channel, ParseCodes(text));
        });
        form->addRow(Label([channel] { return tr("Channel %1").arg(channel); }), codes);
    }

    auto* defect = new QComboBox;
    defect->addItems({QString(), QString(), QString()});
    connect(defect, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_module.SetDiagnosisDefect(static_cast<simulator::DiagnosisDefect>(index));
    });
    form->addRow(Label([] { return tr("Telegram"); }), defect);

    auto* im = new QCheckBox;
    im->setChecked(m_module.ImSupported());
    connect(im, &QCheckBox::toggled, this, [this](bool on) { m_module.SetImSupported(on); });
    form->addRow(im);
    m_texts.add([=] {
        box->setTitle(tr("Diagnosis"));
        moduleCode->setToolTip(tr("0: no module fault; 1 to 9: known faults"));
        defect->setItemText(0, tr("well formed"));
        defect->setItemText(1, tr("descending channels"));
        defect->setItemText(2, tr("channel above 8"));
        im->setText(tr("I&&M functions"));
    });
    return box;
}

QWidget* SimulatorPanel::BuildConnectionBox() {
    auto* box = new QGroupBox;
    m_texts.add([box] { box->setTitle(tr("Connection")); });
    auto* form = new QFormLayout(box);
    simulator::ConnectionFaults& faults = m_module.connectionFaults();
    const auto addFlag = [&](const char* text, bool simulator::ConnectionFaults::*flag) {
        auto* check = new QCheckBox;
        m_texts.add([check, text] { check->setText(tr(text)); });
        check->setChecked(faults.*flag);
        connect(check, &QCheckBox::toggled, this,
                [this, flag](bool on) { m_module.connectionFaults().*flag = on; });
        form->addRow(check);
    };
    addFlag(QT_TR_NOOP("Refuse connect"), &simulator::ConnectionFaults::refuseConnect);
    addFlag(QT_TR_NOOP("Negative connect answer"), &simulator::ConnectionFaults::negativeConnect);
    addFlag(QT_TR_NOOP("Unparsable connect answer"),
            &simulator::ConnectionFaults::unparsableConnect);
    addFlag(QT_TR_NOOP("Refuse transactions"), &simulator::ConnectionFaults::refuseTransaction);
    addFlag(QT_TR_NOOP("Negative answers"), &simulator::ConnectionFaults::negativeTransaction);
    addFlag(QT_TR_NOOP("Unparsable answers"), &simulator::ConnectionFaults::unparsableTransaction);
    addFlag(QT_TR_NOOP("Answers without data"), &simulator::ConnectionFaults::answersWithoutData);
    addFlag(QT_TR_NOOP("Refuse disconnect"), &simulator::ConnectionFaults::refuseDisconnect);
    addFlag(QT_TR_NOOP("Extra answer with foreign id"),
            &simulator::ConnectionFaults::foreignInvokeId);

    auto* latency = new QSpinBox;
    latency->setRange(0, 10000);
    latency->setSuffix(QStringLiteral(" ms"));
    latency->setValue(faults.latencyMs);
    connect(latency, &QSpinBox::valueChanged, this,
            [this](int value) { m_module.connectionFaults().latencyMs = value; });
    form->addRow(Label([] { return tr("Latency"); }), latency);

    auto* abortAfter = new QSpinBox;
    abortAfter->setRange(0, 1000);
    abortAfter->setValue(3);
    auto* arm = new QPushButton;
    m_texts.add([arm] { arm->setText(tr("Lose after N requests")); });
    connect(arm, &QPushButton::clicked, this, [this, abortAfter] {
        m_module.connectionFaults().abortAfterRequests = abortAfter->value();
    });
    form->addRow(abortAfter, arm);

    auto* abortNow = new QPushButton;
    m_texts.add([abortNow] { abortNow->setText(tr("Lose connection now")); });
    connect(abortNow, &QPushButton::clicked, this, [this] { m_communication.AbortConnections(); });
    form->addRow(abortNow);
    return box;
}

QWidget* SimulatorPanel::BuildForcingBox() {
    auto* box = new QGroupBox;
    box->setObjectName(QStringLiteral("forcing"));
    auto* grid = new QGridLayout(box);
    m_forcingState = new QLabel;
    m_forcingState->setObjectName(QStringLiteral("forcingState"));
    grid->addWidget(m_forcingState, 0, 0, 1, kChannelCount);
    for (int i = 0; i < kChannelCount; ++i) {
        grid->addWidget(new QLabel(QString::number(i + 1)), 1, i, Qt::AlignHCenter);
        auto* cell = new QLabel;
        cell->setObjectName(QStringLiteral("forcedChannel%1").arg(i + 1));
        cell->setAlignment(Qt::AlignCenter);
        cell->setMinimumWidth(22);
        cell->setFrameShape(QFrame::Box);
        grid->addWidget(cell, 2, i);
        m_forcedChannels[static_cast<std::size_t>(i)] = cell;
    }
    auto* timeout = new QSpinBox;
    timeout->setRange(1, 3600);
    timeout->setSuffix(QStringLiteral(" s"));
    timeout->setValue(static_cast<int>(m_module.ForcingTimeout().count() / 1000));
    m_texts.add([box, timeout] {
        box->setTitle(tr("Forcing"));
        timeout->setToolTip(tr("Forcing lapses when the enable request is not repeated "
                               "within this time."));
    });
    connect(timeout, &QSpinBox::valueChanged, this, [this](int seconds) {
        m_module.SetForcingTimeout(simulator::Milliseconds{seconds * 1000LL});
    });
    auto* timeoutRow = new QFormLayout;
    timeoutRow->addRow(Label([] { return tr("Lapses after"); }), timeout);
    grid->addLayout(timeoutRow, 3, 0, 1, kChannelCount);

    auto* refresh = new QTimer(this);
    connect(refresh, &QTimer::timeout, this, &SimulatorPanel::RefreshForcing);
    refresh->start(200);
    RefreshForcing();
    return box;
}

void SimulatorPanel::RefreshForcing() {
    const std::uint8_t mask = m_module.ForceMask();
    const std::uint8_t values = m_module.ForceValues();
    const auto left = m_module.ForcingTimeLeft();
    const auto hex = [](std::uint8_t byte) {
        return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    };
    m_forcingState->setText(
        (m_module.ForcingEnabled() ? tr("Enabled, lapses in %1 s").arg((left.count() + 999) / 1000)
                                   : tr("Not enabled")) +
        QLatin1Char('\n') + tr("force mask %1, force values %2").arg(hex(mask), hex(values)));
    for (int i = 0; i < kChannelCount; ++i) {
        QLabel* cell = m_forcedChannels[static_cast<std::size_t>(i)];
        const bool forced = (mask >> i & 1) != 0;
        // A forced channel shows the value the module drives, on amber.
        cell->setText(forced ? QString::number(values >> i & 1) : QStringLiteral("-"));
        cell->setStyleSheet(forced ? QStringLiteral("background:#f5b700;font-weight:bold")
                                   : QString());
    }
}

} // namespace rq16::frameapp
