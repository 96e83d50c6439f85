#include "ChannelObservation.h"

#include "Accessibility.h"
#include "BoundedText.h"
#include "PlainText.h"
#include "host/Constants.h"

#include "ComponentRegistry.h"
#include "SkipOnError.h"
#include "common/AppFolder.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include <algorithm>
#include <exception>

namespace rq16 {

namespace {

// Texts of the common folder.
constexpr std::int32_t kTextState = 7013;
constexpr std::int32_t kTextValue = 7018;
// Words for assistive technology (common folder).
constexpr std::int32_t kTextStateSentence = 7108;
constexpr std::int32_t kTextStateValid = 7101;
constexpr std::int32_t kTextStateInvalid = 7102;
constexpr std::int32_t kTextStateForced = 7103;
constexpr std::int32_t kTextStateInvalidForced = 7104;
constexpr std::int32_t kTextStateNoValue = 7105;
constexpr std::int32_t kTextOutputOn = 7106;
constexpr std::int32_t kTextOutputOff = 7107;
// Texts of the device folder.
constexpr std::int32_t kTextMaster = 1011;
constexpr std::int32_t kTextTerminal = 1012;

// Design size and positions inside the frame.
constexpr int kCaptionWidth = 60;

void SetTextIfChanged(QLineEdit* box, const QString& text) {
    if (box->text() != text) {
        box->setText(text);
    }
}

} // namespace

DiodeShape::DiodeShape(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void DiodeShape::setFillColor(const QColor& color) {
    if (color != m_fill) {
        m_fill = color;
        update();
    }
}

void DiodeShape::paintEvent(QPaintEvent* event) {
    Q_UNUSED(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(64, 64, 64), 1));
    painter.setBrush(m_fill);
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

ChannelObservation::StatePicture ChannelObservation::StatePictureFor(bool invalid, bool forced,
                                                                     bool hasStatus) {
    if (invalid) {
        return {forced ? kPictureInvalidForced : kPictureInvalid, false};
    }
    if (forced) {
        return {kPictureForced, false};
    }
    return hasStatus ? StatePicture{kPictureStatus, false} : StatePicture{kPictureValid, true};
}

ChannelObservation::ChannelObservation(QWidget* parent)
    : QWidget(parent), sCommonResourcePath(CommonResourceFolder()),
      sDeviceResourcePath(DeviceResourceFolder()) {
    BuildControls();
    BuildFrameCaption();
    DescribeState();
}

ChannelObservation::~ChannelObservation() = default;

void ChannelObservation::BuildControls() {
    fraChannelObservation = new QGroupBox(QStringLiteral("Channel 1"), this);
    fraChannelObservation->setObjectName(QStringLiteral("fraChannelObservation"));

    const auto valueBox = [this](const char* name, int y) {
        auto* box = new QLineEdit(QStringLiteral("0"), fraChannelObservation);
        box->setObjectName(QString::fromLatin1(name));
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setAlignment(Qt::AlignCenter);
        box->setGeometry(kBoxX, y, kBoxWidth, kRowHeight);
        return box;
    };
    const auto caption = [this](const char* name, const char* text, int y) {
        auto* label = new QLabel(QString::fromLatin1(text), fraChannelObservation);
        label->setObjectName(QString::fromLatin1(name));
        label->setGeometry(kCaptionX, y, kCaptionWidth, kRowHeight);
        return label;
    };
    const auto line = [this](const char* name, int y) {
        auto* frame = new QFrame(fraChannelObservation);
        frame->setObjectName(QString::fromLatin1(name));
        frame->setFrameShape(QFrame::HLine);
        frame->setFrameShadow(QFrame::Sunken);
        frame->setGeometry(kCaptionX, y, kWidth - 2 * kCaptionX, 4);
        return frame;
    };

    lblValue = new QLabel(QStringLiteral("Value"), fraChannelObservation);
    lblValue->setObjectName(QStringLiteral("lblValue"));
    lblValue->setGeometry(kBoxX, 20, kBoxWidth, 18);
    lblProcessValue = caption("lblProcessValue", "Master", 40);
    txtMasterValue = valueBox("txtMasterValue", 40);
    Line1 = line("Line1", 68);
    lblChannelValue = caption("lblChannelValue", "Channel", 78);
    txtChannelValue = valueBox("txtChannelValue", 78);
    shpDiode = new DiodeShape(fraChannelObservation);
    shpDiode->setObjectName(QStringLiteral("shpDiode"));
    shpDiode->setGeometry(kBoxX + kBoxWidth + 10, 81, 16, 16);
    Line2 = line("Line2", 106);
    lblState = caption("lblState", "State", 116);
    imgState = new QLabel(fraChannelObservation);
    imgState->setObjectName(QStringLiteral("imgState"));
    imgState->setAlignment(Qt::AlignCenter);
    imgState->setGeometry(kBoxX, 114, kBoxWidth, 28);

    resize(kWidth, kHeight);
}

QSize ChannelObservation::sizeHint() const {
    return {kWidth, kHeight};
}

void ChannelObservation::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fraChannelObservation->setGeometry(0, 0, width(), height());
}

// ---- properties ----

void ChannelObservation::SetChannelNumber(std::int16_t value) {
    m_channelNumber = value;
    BuildFrameCaption();
    m_described = {};
    m_descriptions.clear();
    DescribeState();
}

void ChannelObservation::SetChannelTag(const QString& value) {
    m_channelTag = value;
    BuildFrameCaption();
}

void ChannelObservation::BuildFrameCaption() {
    const QString word = m_resourceManager ? CommonText(kTextChannel) + QLatin1Char(' ')
                                           : QStringLiteral("channel ");
    ShowBounded(fraChannelObservation,
                word + QString::number(m_channelNumber) + QStringLiteral(": ") + m_channelTag);
}

QString ChannelObservation::frameCaption() const {
    return fraChannelObservation->title();
}

void ChannelObservation::SetResourceManager(IResourceManager* manager) {
    m_resourceManager = manager;
    m_deviceResourceManager = Components().CreateResourceManager();
    if (manager != nullptr) {
        CopyResourceConfiguration(*manager, *m_deviceResourceManager);
    }
    LoadTexts();
}

QString ChannelObservation::CommonText(std::int32_t id) const {
    if (m_resourceManager == nullptr) {
        throw ComError(kErrInvalidArg, QStringLiteral("No resource manager"));
    }
    return m_resourceManager->GetString(id, sCommonResourcePath);
}

QString ChannelObservation::DeviceText(std::int32_t id) const {
    if (!m_deviceResourceManager) {
        throw ComError(kErrInvalidArg, QStringLiteral("No device resource manager"));
    }
    return m_deviceResourceManager->GetString(id, sDeviceResourcePath);
}

void ChannelObservation::LoadTexts() {
    ShowBounded(lblState, CommonText(kTextState));
    BuildFrameCaption();
    ShowBounded(lblProcessValue, DeviceText(kTextMaster));
    ShowBounded(lblChannelValue, DeviceText(kTextTerminal));
    ShowBounded(lblValue, CommonText(kTextValue));
    lblValue->adjustSize();
    lblValue->move(txtMasterValue->x() + txtMasterValue->width() / 2 - lblValue->width() / 2,
                   lblValue->y());
    NameAfterLabels({{txtMasterValue, lblProcessValue}, {txtChannelValue, lblChannelValue}});
    LoadStateWords();
}

void ChannelObservation::LoadStateWords() {
    const std::pair<QString*, std::int32_t> words[] = {
        {&m_stateWords.sentence, kTextStateSentence},
        {&m_stateWords.valid, kTextStateValid},
        {&m_stateWords.invalid, kTextStateInvalid},
        {&m_stateWords.forced, kTextStateForced},
        {&m_stateWords.invalidForced, kTextStateInvalidForced},
        {&m_stateWords.noValue, kTextStateNoValue},
        {&m_stateWords.outputOn, kTextOutputOn},
        {&m_stateWords.outputOff, kTextOutputOff}};
    for (const auto& [word, id] : words) {
        SkipOnError([&, word = word, id = id] { *word = CommonText(id); });
    }
    m_described = {};
    m_descriptions.clear();
    DescribeState();
}

void ChannelObservation::DescribeState() {
    const DescribedState now{m_statePicture.id, diodeColor() == QColor::fromRgb(kDiodeOn),
                             valueShown()};
    if (now == m_described) {
        return;
    }
    m_described = now;
    const auto known = std::find_if(m_descriptions.begin(), m_descriptions.end(),
                                    [&now](const Description& d) { return d.state == now; });
    const Description& texts = known != m_descriptions.end() ? *known : Describe(now);
    SetAccessibleText(imgState, texts.picture);
    SetAccessibleText(shpDiode, texts.diode);
    // The frame sums up the channel: "Channel 3: forced, output on".
    SetAccessibleText(fraChannelObservation, fraChannelObservation->accessibleName(), texts.frame);
}

const ChannelObservation::Description& ChannelObservation::Describe(const DescribedState& now) {
    const StateWords& words = m_stateWords;
    QString state = words.noValue;
    switch (now.pictureId) {
    case kPictureValid:
    case kPictureStatus:
        state = words.valid;
        break;
    case kPictureInvalid:
        state = words.invalid;
        break;
    case kPictureForced:
        state = words.forced;
        break;
    case kPictureInvalidForced:
        state = words.invalidForced;
        break;
    default:
        break;
    }
    const QString diode = now.diodeOn ? words.outputOn : words.outputOff;
    const QString number = QString::number(m_channelNumber);
    m_descriptions.push_back(
        {now, words.sentence.arg(number, state), words.sentence.arg(number, diode),
         words.sentence.arg(number,
                            now.valueShown ? state + QStringLiteral(", ") + diode : state)});
    return m_descriptions.back();
}

void ChannelObservation::SetHasConnection(bool value) {
    m_hasConnection = value;
    if (!value) {
        imgState->clear();
        m_statePicture = {};
        DescribeState();
    }
}

// ---- showing a value ----

void ChannelObservation::ShowStatePicture(const StatePicture& picture) {
    // The same picture is not loaded again: the cycle repeats it every read.
    if (picture == m_statePicture) {
        return;
    }
    m_statePicture = {};
    imgState->clear();
    if (m_resourceManager == nullptr) {
        return;
    }
    imgState->setPixmap(m_resourceManager->LoadPicture(
        picture.id, 0, 0, picture.commonFolder ? sCommonResourcePath : QString()));
    m_statePicture = picture;
}

void ChannelObservation::SetCurrentValue(bool bCurrentValue, bool isInValid, bool isForced) {
    const bool forcedNow = ForcedFlag(isForced);
    m_currentValue = bCurrentValue;
    std::exception_ptr pictureError;
    try {
        ShowStatePicture(StatePictureFor(isInValid, forcedNow, m_hasStatus));
    } catch (...) {
        pictureError = std::current_exception();
    }
    const bool shown = !isInValid;
    lblChannelValue->setVisible(shown);
    txtChannelValue->setVisible(shown);
    shpDiode->setVisible(shown);
    m_invalid = isInValid;
    m_forced = forcedNow;
    RefreshDisplay();
    DescribeState();
    if (pictureError) {
        std::rethrow_exception(pictureError);
    }
}

void ChannelObservation::RefreshDisplay() {
    SetMasterValueText(m_currentValue);
    SetChannelValueText(m_isInverted != m_currentValue);
    SetDiode(m_isInput ? m_currentValue : channelValueText() == QLatin1String("1"));
}

void ChannelObservation::SetMasterValueText(bool value) {
    SetTextIfChanged(txtMasterValue, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void ChannelObservation::SetChannelValueText(bool value) {
    SetTextIfChanged(txtChannelValue, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void ChannelObservation::SetDiode(bool on) {
    shpDiode->setFillColor(QColor::fromRgb(on ? kDiodeOn : kDiodeOff));
}

QString ChannelObservation::masterValueText() const {
    return txtMasterValue->text();
}

QString ChannelObservation::channelValueText() const {
    return txtChannelValue->text();
}

bool ChannelObservation::valueShown() const {
    return !txtChannelValue->isHidden();
}

} // namespace rq16
