#include "ChannelSimulation.h"

#include "BoundedText.h"
#include "ChannelSimulationDisplay.h"

#include "Accessibility.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace rq16 {

namespace {

// Texts of the common folder.
constexpr std::int32_t kTextForcingActivated = 7014;
constexpr std::int32_t kTextForceInvalid = 7015;
constexpr std::int32_t kTextForced = 7019;

// The force controls lie below the observation part of the frame.
constexpr int kValueRowY = 150;
constexpr int kActivatedRowY = 176;
constexpr int kInvalidRowY = 200;
constexpr int kCheckWidth = 20;
constexpr int kBottomMargin = 8;
// Room around the option buttons inside their container, so that the focus
// ring around one is not cut off; the buttons keep their places.
constexpr int kRingRoom = 3;

} // namespace

ChannelSimulation::ChannelSimulation(QWidget* parent) : ChannelObservation(parent) {
    BuildForceControls();
    // Outputs until the view says otherwise: no force invalid choice.
    SetIsInput(false);
    resize(sizeHint());
}

ChannelSimulation::~ChannelSimulation() = default;

void ChannelSimulation::BuildForceControls() {
    QGroupBox* area = frame();
    area->setObjectName(QStringLiteral("fraChannelSimulation"));

    lblForced = new QLabel(QStringLiteral("Forced"), area);
    lblForced->setObjectName(QStringLiteral("lblForced"));
    lblForced->setGeometry(kCaptionX, kValueRowY, kBoxX - kCaptionX, kRowHeight);
    Picture1 = new QWidget(area);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(kBoxX - kRingRoom, kValueRowY - kRingRoom,
                          kWidth - kBoxX - kCaptionX + 2 * kRingRoom, kRowHeight + 2 * kRingRoom);
    for (int i = 0; i < 2; ++i) {
        optValue[i] = new QRadioButton(QString::number(i), Picture1);
        optValue[i]->setObjectName(QStringLiteral("optValue_%1").arg(i));
        optValue[i]->setGeometry(kRingRoom + i * 34, kRingRoom, 34, kRowHeight);
        // clicked comes only from the user, never from a setter.
        connect(optValue[i], &QRadioButton::clicked, this, [this, i] { optValue_Click(i); });
    }
    optValue[0]->setChecked(true);

    const auto choice = [area](QCheckBox*& box, QLabel*& label, const char* boxName,
                               const char* labelName, const char* text, int y) {
        box = new QCheckBox(area);
        box->setObjectName(QString::fromLatin1(boxName));
        box->setGeometry(kCaptionX, y, kCheckWidth, kRowHeight);
        label = new QLabel(QString::fromLatin1(text), area);
        label->setObjectName(QString::fromLatin1(labelName));
        label->setGeometry(kCaptionX + kCheckWidth, y, kWidth - 2 * kCaptionX - kCheckWidth,
                           kRowHeight);
    };
    choice(chkForcingActivated, lblForcingActivated, "chkForcingActivated", "lblForcingActivated",
           "Forcing activated", kActivatedRowY);
    choice(chkForcedInvalid, lblForceInvalid, "chkForcedInvalid", "lblForceInvalid",
           "Force invalid", kInvalidRowY);
    connect(chkForcingActivated, &QCheckBox::clicked, this,
            [this](bool checked) { emit ForceActivatedChanged(checked); });
    connect(chkForcedInvalid, &QCheckBox::clicked, this,
            [this](bool checked) { emit ForceInvalidChanged(checked); });
    // Tab reaches the selected value, the arrow keys select the other one.
    ClickOnEnter({optValue[0], optValue[1], chkForcingActivated, chkForcedInvalid});
    NameForceControls();
}

void ChannelSimulation::NameForceControls() {
    NameAfterLabels(
        {{chkForcingActivated, lblForcingActivated}, {chkForcedInvalid, lblForceInvalid}});
    for (QRadioButton* option : optValue) {
        SetAccessibleText(option, lblForced->text() + QLatin1Char(' ') + option->text());
    }
}

QSize ChannelSimulation::sizeHint() const {
    const int lastRow = isInput() ? kInvalidRowY : kActivatedRowY;
    return {kWidth, lastRow + kRowHeight + kBottomMargin};
}

void ChannelSimulation::optValue_Click(int index) {
    // Every click raises its event, also on the option already selected.
    emit ForceValueChanged(index == 1);
}

void ChannelSimulation::SetLocked(bool value) {
    m_locked = value;
    for (QWidget* control :
         {static_cast<QWidget*>(optValue[0]), static_cast<QWidget*>(optValue[1]),
          static_cast<QWidget*>(chkForcingActivated), static_cast<QWidget*>(chkForcedInvalid)}) {
        control->setEnabled(!value);
    }
}

void ChannelSimulation::SetIsInput(bool value) {
    ChannelObservation::SetIsInput(value);
    chkForcedInvalid->setVisible(value);
    lblForceInvalid->setVisible(value);
    updateGeometry();
}

bool ChannelSimulation::forcingActivated() const {
    return chkForcingActivated->isChecked();
}

bool ChannelSimulation::forceValue() const {
    return optValue[1]->isChecked();
}

bool ChannelSimulation::forcedInvalid() const {
    return chkForcedInvalid->isChecked();
}

bool ChannelSimulation::forceInvalidShown() const {
    return !chkForcedInvalid->isHidden();
}

void ChannelSimulation::LoadTexts() {
    ChannelObservation::LoadTexts();
    ShowBounded(lblForcingActivated, CommonText(kTextForcingActivated));
    ShowBounded(lblForceInvalid, CommonText(kTextForceInvalid));
    ShowBounded(lblForced, CommonText(kTextForced));
    NameForceControls();
}

bool ChannelSimulation::ForcedFlag(bool isForced) const {
    Q_UNUSED(isForced);
    return chkForcingActivated->isChecked();
}

void ChannelSimulation::RefreshDisplay() {
    const ChannelSimulationDisplay shown =
        SimulationDisplay(isInput(), forced(), isInverted(), currentValue(), forceValue());
    SetMasterValueText(shown.masterValue);
    SetChannelValueText(shown.channelValue);
    SetDiode(shown.diodeOn);
}

} // namespace rq16
