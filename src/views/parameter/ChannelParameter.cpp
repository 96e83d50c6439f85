#include "ChannelParameter.h"

#include "Accessibility.h"
#include "BoundedText.h"
#include "PlainText.h"
#include "host/Constants.h"

#include "ComponentRegistry.h"
#include "SkipOnError.h"
#include "common/AppFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <exception>

namespace rq16 {

namespace {

// Texts of the common resource folder.
constexpr std::int32_t kTextMonitoringFrame = 6005;
constexpr std::int32_t kTextShortDetection = 6006;
constexpr std::int32_t kTextOpenLineDetection = 6007;
constexpr std::int32_t kTextLastValidValue = 6009;
constexpr std::int32_t kTextFailsafeValue = 6010;
// Texts of the device resource folder.
constexpr std::int32_t kTextSignalFrame = 1001;
constexpr std::int32_t kTextMaxValue = 1004;
constexpr std::int32_t kTextMinValue = 1005;
constexpr std::int32_t kTextInvertedLogic = 1008;
constexpr std::int32_t kTextChannelFlag = 1009;
constexpr std::int32_t kTextLocking = 2005;
constexpr std::int32_t kTextNonLocking = 2006;
constexpr std::int32_t kTextShortCircuitCurrent = 2007;

} // namespace

class ChannelParameter::UpdatingScope {
public:
    explicit UpdatingScope(ChannelParameter& element) : m_element(element) {
        m_element.m_updating = true;
    }
    ~UpdatingScope() { m_element.m_updating = false; }
    UpdatingScope(const UpdatingScope&) = delete;
    UpdatingScope& operator=(const UpdatingScope&) = delete;

private:
    ChannelParameter& m_element;
};

ChannelParameter::ChannelParameter(QWidget* parent)
    : QWidget(parent), m_commonResourceFolder(CommonResourceFolder()),
      m_deviceResourceFolder(DeviceResourceFolder()) {
    BuildControls();
    UpdateFrameCaption();
    {
        UpdatingScope updating(*this);
        cboFailsafeValue->addItems({QStringLiteral("min value"), QStringLiteral("max value"),
                                    QStringLiteral("last valid value")});
        cboFailsafeValue->setCurrentIndex(kFailsafeMin);
        cboShortCircuitCurrent->addItems(
            {QStringLiteral("non-locking"), QStringLiteral("locking")});
        cboShortCircuitCurrent->setCurrentIndex(kNonLocking);
    }

    connect(cboFailsafeValue, &QComboBox::currentIndexChanged, this,
            &ChannelParameter::cboFailsafeValue_Click);
    connect(chkOpenLineDetection, &QCheckBox::toggled, this,
            &ChannelParameter::chkOpenLineDetection_Click);
    connect(chkShortDetection, &QCheckBox::toggled, this,
            &ChannelParameter::chkShortDetection_Click);
    connect(cboShortCircuitCurrent, &QComboBox::currentIndexChanged, this,
            &ChannelParameter::RaiseDirty);
    for (QCheckBox* box : {chkChannelA, chkChannelB, chkInvertedLogic}) {
        connect(box, &QCheckBox::toggled, this, &ChannelParameter::RaiseDirty);
    }
    connect(qApp, &QApplication::focusChanged, this, &ChannelParameter::OnFocusChanged);
}

ChannelParameter::~ChannelParameter() {
    // A control of the element may hold the focus while it goes; the focus
    // change its destruction causes must not reach the half-destroyed element.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

void ChannelParameter::BuildControls() {
    setFocusPolicy(Qt::ClickFocus);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    fraChannelParameter = new QGroupBox(this);
    fraChannelParameter->setObjectName(QStringLiteral("fraChannelParameter"));
    outer->addWidget(fraChannelParameter);

    fraSignal = new QGroupBox(QStringLiteral("Signal"), fraChannelParameter);
    fraSignal->setObjectName(QStringLiteral("fraSignal"));
    chkChannelA = new QCheckBox(fraSignal);
    chkChannelA->setObjectName(QStringLiteral("chkChannelA"));
    chkChannelB = new QCheckBox(fraSignal);
    chkChannelB->setObjectName(QStringLiteral("chkChannelB"));
    chkInvertedLogic = new QCheckBox(QStringLiteral("inverted logic"), fraSignal);
    chkInvertedLogic->setObjectName(QStringLiteral("chkInvertedLogic"));
    lblShortCircuitCurrent = new QLabel(QStringLiteral("short circuit current"), fraSignal);
    lblShortCircuitCurrent->setObjectName(QStringLiteral("lblShortCircuitCurrent"));
    cboShortCircuitCurrent = new QComboBox(fraSignal);
    cboShortCircuitCurrent->setObjectName(QStringLiteral("cboShortCircuitCurrent"));

    auto* signalLayout = new QGridLayout(fraSignal);
    signalLayout->addWidget(chkChannelA, 0, 0, 1, 2);
    signalLayout->addWidget(chkChannelB, 1, 0, 1, 2);
    signalLayout->addWidget(chkInvertedLogic, 2, 0, 1, 2);
    signalLayout->addWidget(lblShortCircuitCurrent, 3, 0);
    signalLayout->addWidget(cboShortCircuitCurrent, 3, 1);
    signalLayout->setColumnStretch(1, 1);
    signalLayout->setRowStretch(4, 1);

    fraMonitoring =
        new QGroupBox(QStringLiteral("line monitoring and failsafe strategy"), fraChannelParameter);
    fraMonitoring->setObjectName(QStringLiteral("fraMonitoring"));
    lblShortDetection = new QLabel(QStringLiteral("short detection"), fraMonitoring);
    lblShortDetection->setObjectName(QStringLiteral("lblShortDetection"));
    chkShortDetection = new QCheckBox(fraMonitoring);
    chkShortDetection->setObjectName(QStringLiteral("chkShortDetection"));
    lblOpenLineDetection = new QLabel(QStringLiteral("open line detection"), fraMonitoring);
    lblOpenLineDetection->setObjectName(QStringLiteral("lblOpenLineDetection"));
    chkOpenLineDetection = new QCheckBox(fraMonitoring);
    chkOpenLineDetection->setObjectName(QStringLiteral("chkOpenLineDetection"));
    lblFailsafeValue = new QLabel(QStringLiteral("failsafe value"), fraMonitoring);
    lblFailsafeValue->setObjectName(QStringLiteral("lblFailsafeValue"));
    cboFailsafeValue = new QComboBox(fraMonitoring);
    cboFailsafeValue->setObjectName(QStringLiteral("cboFailsafeValue"));

    auto* monitoringLayout = new QGridLayout(fraMonitoring);
    monitoringLayout->addWidget(lblShortDetection, 0, 0);
    monitoringLayout->addWidget(chkShortDetection, 0, 1);
    monitoringLayout->addWidget(lblOpenLineDetection, 1, 0);
    monitoringLayout->addWidget(chkOpenLineDetection, 1, 1);
    monitoringLayout->addWidget(lblFailsafeValue, 2, 0);
    monitoringLayout->addWidget(cboFailsafeValue, 2, 1);
    monitoringLayout->setColumnStretch(1, 1);
    monitoringLayout->setRowStretch(3, 1);

    // A decoration without a picture of its own; it takes no room until one
    // is given.
    Picture1 = new QLabel(fraChannelParameter);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->hide();

    auto* frameLayout = new QHBoxLayout(fraChannelParameter);
    frameLayout->addWidget(Picture1);
    frameLayout->addWidget(fraSignal, 1);
    frameLayout->addWidget(fraMonitoring, 1);

    // The outer caption turns bold with the focus; the groups inside keep
    // their own normal weight so the boldness does not spread to them.
    for (QWidget* inner : {static_cast<QWidget*>(fraSignal), static_cast<QWidget*>(fraMonitoring),
                           static_cast<QWidget*>(Picture1)}) {
        QFont font = inner->font();
        font.setBold(false);
        inner->setFont(font);
    }
    for (QGroupBox* frame : {fraChannelParameter, fraSignal, fraMonitoring}) {
        frame->installEventFilter(this);
    }
    ClickOnEnter({chkChannelA, chkChannelB, chkInvertedLogic, cboShortCircuitCurrent,
                  chkShortDetection, chkOpenLineDetection, cboFailsafeValue});
    NameControlsAfterLabels();
}

void ChannelParameter::NameControlsAfterLabels() {
    NameAfterLabels({{cboShortCircuitCurrent, lblShortCircuitCurrent},
                     {chkShortDetection, lblShortDetection},
                     {chkOpenLineDetection, lblOpenLineDetection},
                     {cboFailsafeValue, lblFailsafeValue}});
}

void ChannelParameter::SetChannelNumber(std::int16_t value) {
    m_channelNumber = value;
    UpdateFrameCaption();
}

void ChannelParameter::SetChannelTag(const QString& value) {
    m_channelTag = value;
    UpdateFrameCaption();
}

void ChannelParameter::SetChannelTag2(const QString& value) {
    m_channelTag2 = value;
    UpdateFrameCaption();
}

void ChannelParameter::SetResourceManager(IResourceManager* manager) {
    m_resourceManager = manager;
    m_deviceResourceManager = Components().CreateResourceManager();
    CopyResourceConfiguration(*manager, *m_deviceResourceManager);
    LoadResources();
}

void ChannelParameter::SetFailSafeParameter(std::uint8_t value) {
    UpdatingScope updating(*this);
    m_failSafeByte = value & kFailSafeParameterBits;
    chkShortDetection->setChecked((m_failSafeByte & kShortDetectionOffBit) == 0);
    chkOpenLineDetection->setChecked((m_failSafeByte & kOpenLineDetectionOffBit) == 0);
    // A failsafe field of 3 has no entry: the list shows no selection and the
    // stored byte keeps the value until the user picks one.
    const int position = (m_failSafeByte >> 4) & 3;
    cboFailsafeValue->setCurrentIndex(position < cboFailsafeValue->count() ? position : -1);
}

bool ChannelParameter::InvertedPolarity() const {
    return chkInvertedLogic->isChecked();
}

void ChannelParameter::SetInvertedPolarity(bool value) {
    UpdatingScope updating(*this);
    chkInvertedLogic->setChecked(value);
}

std::uint8_t ChannelParameter::ShortCircuitCurrent() const {
    return static_cast<std::uint8_t>(cboShortCircuitCurrent->currentIndex());
}

void ChannelParameter::SetShortCircuitCurrent(std::uint8_t value) {
    UpdatingScope updating(*this);
    cboShortCircuitCurrent->setCurrentIndex(value < cboShortCircuitCurrent->count() ? value : -1);
}

bool ChannelParameter::ChannelA() const {
    return chkChannelA->isChecked();
}

void ChannelParameter::SetChannelA(bool value) {
    UpdatingScope updating(*this);
    chkChannelA->setChecked(value);
}

bool ChannelParameter::ChannelB() const {
    return chkChannelB->isChecked();
}

void ChannelParameter::SetChannelB(bool value) {
    UpdatingScope updating(*this);
    chkChannelB->setChecked(value);
}

void ChannelParameter::SetLocked(bool value) {
    m_locked = value;
    for (QWidget* control :
         {static_cast<QWidget*>(chkInvertedLogic), static_cast<QWidget*>(chkOpenLineDetection),
          static_cast<QWidget*>(chkShortDetection), static_cast<QWidget*>(cboFailsafeValue),
          static_cast<QWidget*>(cboShortCircuitCurrent), static_cast<QWidget*>(chkChannelA),
          static_cast<QWidget*>(chkChannelB)}) {
        control->setEnabled(!value);
    }
}

ChannelPairRecord ChannelParameter::Record() const {
    ChannelPairRecord record;
    record.FailSafeParameter = FailSafeParameter();
    record.InvertedPolarity = InvertedPolarity();
    record.ShortCircuitCurrent = ShortCircuitCurrent();
    record.ChannelA = ChannelA();
    record.ChannelB = ChannelB();
    return record;
}

void ChannelParameter::SetRecord(const ChannelPairRecord& record) {
    SetInvertedPolarity(record.InvertedPolarity);
    SetShortCircuitCurrent(record.ShortCircuitCurrent);
    SetFailSafeParameter(record.FailSafeParameter);
    SetChannelA(record.ChannelA);
    SetChannelB(record.ChannelB);
}

QString ChannelParameter::GetFrameCaption() {
    QString channelWord = QStringLiteral("channel ");
    QString channelWord2 = channelWord;
    if (m_resourceManager != nullptr) {
        channelWord =
            m_resourceManager->GetString(kTextChannel, m_commonResourceFolder) + QLatin1Char(' ');
        channelWord2 =
            m_resourceManager->GetString(kTextChannel, m_commonResourceFolder) + QLatin1Char(' ');
    }
    const int n = m_channelNumber;
    return channelWord + QString::number(2 * n - 1) + QStringLiteral(": ") + m_channelTag +
           QLatin1Char('/') + channelWord2 + QString::number(2 * n) + QStringLiteral(": ") +
           m_channelTag2;
}

void ChannelParameter::UpdateFrameCaption() {
    ShowBounded(fraChannelParameter, GetFrameCaption());
}

void ChannelParameter::LoadResources() {
    const auto common = [this](std::int32_t id) {
        return m_resourceManager->GetString(id, m_commonResourceFolder);
    };
    const auto device = [this](std::int32_t id) {
        return m_deviceResourceManager->GetString(id, m_deviceResourceFolder);
    };
    const int n = m_channelNumber;

    SkipOnError([&] { UpdateFrameCaption(); });
    SkipOnError([&] { ShowBounded(fraMonitoring, common(kTextMonitoringFrame)); });
    SkipOnError([&] { ShowBounded(lblShortDetection, common(kTextShortDetection)); });
    SkipOnError([&] { ShowBounded(lblOpenLineDetection, common(kTextOpenLineDetection)); });
    SkipOnError([&] { ShowBounded(fraSignal, device(kTextSignalFrame)); });
    SkipOnError([&] { ShowBounded(chkInvertedLogic, device(kTextInvertedLogic)); });
    SkipOnError([&] { ShowBounded(lblFailsafeValue, common(kTextFailsafeValue)); });
    SkipOnError([&] { ShowBounded(cboFailsafeValue, kFailsafeMin, device(kTextMinValue)); });
    SkipOnError([&] { ShowBounded(cboFailsafeValue, kFailsafeMax, device(kTextMaxValue)); });
    SkipOnError(
        [&] { ShowBounded(cboFailsafeValue, kFailsafeLastValid, common(kTextLastValidValue)); });
    SkipOnError([&] { ShowBounded(cboShortCircuitCurrent, kNonLocking, device(kTextNonLocking)); });
    SkipOnError([&] { ShowBounded(cboShortCircuitCurrent, kLocking, device(kTextLocking)); });
    SkipOnError([&] { ShowBounded(lblShortCircuitCurrent, device(kTextShortCircuitCurrent)); });
    SkipOnError([&] {
        ShowBounded(
            chkChannelA,
            device(kTextChannelFlag).replace(QStringLiteral("%1"), QString::number(2 * n - 1)));
    });
    SkipOnError([&] {
        ShowBounded(chkChannelB,
                    device(kTextChannelFlag).replace(QStringLiteral("%1"), QString::number(2 * n)));
    });
    NameControlsAfterLabels();
}

void ChannelParameter::cboFailsafeValue_Click(int position) {
    if (m_updating || position < 0) {
        return;
    }
    m_failSafeByte = static_cast<std::uint8_t>((m_failSafeByte & ~kFailsafeValueBits) |
                                               ((position << 4) & kFailsafeValueBits));
    emit SetDirty(true);
}

void ChannelParameter::chkOpenLineDetection_Click() {
    if (m_updating) {
        return;
    }
    if (chkOpenLineDetection->isChecked()) {
        m_failSafeByte &= static_cast<std::uint8_t>(~kOpenLineDetectionOffBit);
    } else {
        m_failSafeByte |= kOpenLineDetectionOffBit;
    }
    emit SetDirty(true);
}

void ChannelParameter::chkShortDetection_Click() {
    if (m_updating) {
        return;
    }
    if (chkShortDetection->isChecked()) {
        m_failSafeByte &= static_cast<std::uint8_t>(~kShortDetectionOffBit);
    } else {
        m_failSafeByte |= kShortDetectionOffBit;
    }
    emit SetDirty(true);
}

void ChannelParameter::RaiseDirty() {
    if (m_updating) {
        return;
    }
    emit SetDirty(true);
}

void ChannelParameter::ShowFocus(bool focused) {
    QFont font = fraChannelParameter->font();
    if (font.bold() != focused) {
        font.setBold(focused);
        fraChannelParameter->setFont(font);
    }
}

void ChannelParameter::OnFocusChanged(QWidget* /*old*/, QWidget* now) {
    ShowFocus(now != nullptr && (now == this || isAncestorOf(now)));
}

bool ChannelParameter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        setFocus(Qt::MouseFocusReason);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace rq16
