#include "ButtonControl.h"

#include "standins/CallRecorder.h"

#include "host/ResourceManager.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <utility>

namespace rq16::standins {

namespace {

/// The widest a caption or the message makes its widget, in pixels.
constexpr int kMaxTextWidth = 400;

/// Shows `text` in `widget` (a label or button) cut to fit kMaxTextWidth,
/// whole in the tooltip; only the start of a long text is measured.
template <typename W> void ShowFitted(W* widget, const QString& text) {
    const QString start = text.left(1000);
    widget->setText(widget->fontMetrics().elidedText(start, Qt::ElideRight, kMaxTextWidth));
    widget->setToolTip(widget->text() == text ? QString() : start);
}

} // namespace

ButtonControl::ButtonControl(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ctlButtons"));
    setFixedHeight(kBarHeight);
    setAutoFillBackground(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(6);

    m_lamp = new QLabel(this);
    m_lamp->setObjectName(QStringLiteral("lamp"));
    m_lamp->setFixedSize(12, 12);
    // One round lamp per state, each with its style sheet parsed once, the
    // one for the state shown: setting a style sheet per change, or
    // polishing the lamp again, would cost more than all else a view does
    // when it goes online or offline.
    for (const auto& [lamp, colour] :
         {std::pair{&m_lampOffline, "#9a9a9a"}, std::pair{&m_lampOnline, "#2fb344"}}) {
        *lamp = new QLabel(m_lamp);
        (*lamp)->setGeometry(0, 0, 12, 12);
        (*lamp)->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid #505050;"
                                              " border-radius: 6px;")
                                   .arg(QLatin1String(colour)));
    }
    m_lampOnline->hide();
    m_onlineLabel = new QLabel(this);
    m_onlineLabel->setObjectName(QStringLiteral("onlineLabel"));
    m_onlineLabel->setMinimumWidth(44);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("message"));
    m_message->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_activityBar = new QProgressBar(this);
    m_activityBar->setObjectName(QStringLiteral("activity"));
    m_activityBar->setRange(0, 0); // indeterminate
    m_activityBar->setTextVisible(false);
    m_activityBar->setFixedSize(70, 12);
    m_activityBar->hide();

    auto makeButton = [this](const char* name) {
        auto* button = new QPushButton(this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        button->installEventFilter(this);
        return button;
    };
    m_extra = makeButton("cmdExtra");
    m_ok = makeButton("cmdOk");
    m_cancel = makeButton("cmdCancel");
    m_apply = makeButton("cmdApply");
    m_close = makeButton("cmdClose");
    m_help = makeButton("cmdHelp");
    m_extra->hide();

    layout->addWidget(m_lamp);
    layout->addWidget(m_onlineLabel);
    m_lamp->setVisible(false);
    m_onlineLabel->setVisible(false);
    layout->addWidget(m_message, 1);
    layout->addWidget(m_activityBar);
    layout->addWidget(m_extra);
    layout->addWidget(m_ok);
    layout->addWidget(m_cancel);
    layout->addWidget(m_apply);
    layout->addWidget(m_close);
    layout->addWidget(m_help);

    connect(m_ok, &QPushButton::clicked, this, [this] { Dispatch(Button::Ok); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { Dispatch(Button::Cancel); });
    connect(m_apply, &QPushButton::clicked, this, [this] { Dispatch(Button::Apply); });
    connect(m_close, &QPushButton::clicked, this, [this] { Dispatch(Button::Close); });
    connect(m_help, &QPushButton::clicked, this, [this] { Dispatch(Button::Help); });
    connect(m_extra, &QPushButton::clicked, this, [this] { Dispatch(Button::Extra); });

    UpdateCaptions();
    UpdateOnline();
    UpdateButtons();
}

ButtonControl::~ButtonControl() = default;

QString ButtonControl::Text(std::int32_t id, const char* fallback) const {
    if (m_resources != nullptr) {
        try {
            return m_resources->GetString(id, QString());
        } catch (const ComError&) {
            // The literal below serves when the resource data lack the text.
        }
    }
    return QString::fromLatin1(fallback);
}

void ButtonControl::SetResourceManager(IResourceManager* manager) {
    RecordCall(QStringLiteral("Buttons.SetResourceManager"));
    m_resources = manager;
    UpdateCaptions();
    UpdateOnline();
}

void ButtonControl::SetArea(int width, int height) {
    RecordCall(QStringLiteral("Buttons.SetArea(%1,%2)").arg(width).arg(height));
    // The bar spans the given width; its height stays fixed.
    resize(qMax(0, width), kBarHeight);
}

void ButtonControl::SetStandardButtons(bool ok, bool cancel, bool apply, bool close) {
    RecordCall(
        QStringLiteral("Buttons.SetStandardButtons(%1,%2,%3,%4)")
            .arg(RecordedBool(ok), RecordedBool(cancel), RecordedBool(apply), RecordedBool(close)));
    m_showOk = ok;
    m_showCancel = cancel;
    m_showApply = apply;
    m_showClose = close;
    UpdateButtons();
}

void ButtonControl::SetExtraButton(const QString& caption, const QString& toolTip, int flags) {
    RecordCall(QStringLiteral("Buttons.SetExtraButton(%1,%2,%3)").arg(caption, toolTip).arg(flags));
    m_extraCaption = caption;
    m_extraToolTip = toolTip;
    m_extraFlags = flags;
    // A caption from a resource file shows '&' as itself.
    ShowFitted(m_extra, QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
    if (!toolTip.isEmpty()) {
        m_extra->setToolTip(toolTip);
    }
    ShowConnectionState();
    UpdateButtons();
}

void ButtonControl::SetMessage(const QString& message) {
    RecordCall(QStringLiteral("Buttons.SetMessage(%1)").arg(message));
    m_messageText = message;
    m_message->setTextFormat(Qt::PlainText);
    ShowFitted(m_message, message);
    m_message->setToolTip(message.left(1000));
}

QString ButtonControl::message() const {
    return m_messageText;
}

void ButtonControl::SetOnline(bool online) {
    RecordCall(QStringLiteral("Buttons.SetOnline(%1)").arg(RecordedBool(online)));
    m_online = online;
    ShowConnectionState();
    UpdateOnline();
}

void ButtonControl::ShowConnectionState() {
    // Only bars of views that connect show the connection lamp.
    m_lamp->setVisible(true);
    m_onlineLabel->setVisible(true);
}

QString ButtonControl::onlineText() const {
    return m_onlineLabel->text();
}

void ButtonControl::DisableButtons() {
    RecordCall(QStringLiteral("Buttons.DisableButtons"));
    m_buttonsEnabled = false;
    UpdateButtons();
}

void ButtonControl::EnableButtons() {
    RecordCall(QStringLiteral("Buttons.EnableButtons"));
    m_buttonsEnabled = true;
    UpdateButtons();
}

void ButtonControl::ShowActivity() {
    RecordCall(QStringLiteral("Buttons.ShowActivity"));
    m_activity = true;
    m_activityBar->show();
}

void ButtonControl::HideActivity() {
    RecordCall(QStringLiteral("Buttons.HideActivity"));
    m_activity = false;
    m_activityBar->hide();
}

void ButtonControl::EnableApply() {
    RecordCall(QStringLiteral("Buttons.EnableApply"));
    m_applyEnabled = true;
    UpdateButtons();
}

void ButtonControl::DisableApply() {
    RecordCall(QStringLiteral("Buttons.DisableApply"));
    m_applyEnabled = false;
    UpdateButtons();
}

void ButtonControl::EnableOk() {
    RecordCall(QStringLiteral("Buttons.EnableOk"));
    m_okEnabled = true;
    UpdateButtons();
}

void ButtonControl::DisableOk() {
    RecordCall(QStringLiteral("Buttons.DisableOk"));
    m_okEnabled = false;
    UpdateButtons();
}

QPushButton* ButtonControl::ButtonFor(Button button) const {
    switch (button) {
    case Button::Ok:
        return m_ok;
    case Button::Cancel:
        return m_cancel;
    case Button::Apply:
        return m_apply;
    case Button::Close:
        return m_close;
    case Button::Help:
        return m_help;
    case Button::Extra:
        return m_extra;
    }
    return nullptr;
}

bool ButtonControl::isButtonVisible(Button button) const {
    switch (button) {
    case Button::Ok:
        return m_showOk;
    case Button::Cancel:
        return m_showCancel;
    case Button::Apply:
        return m_showApply;
    case Button::Close:
        return m_showClose;
    case Button::Help:
        return true;
    case Button::Extra:
        return !m_extraCaption.isEmpty();
    }
    return false;
}

bool ButtonControl::isButtonEnabled(Button button) const {
    if (!isButtonVisible(button) || !m_buttonsEnabled) {
        return false;
    }
    if (button == Button::Apply) {
        return m_applyEnabled;
    }
    if (button == Button::Ok) {
        return m_okEnabled;
    }
    return true;
}

QString ButtonControl::buttonText(Button button) const {
    return ButtonFor(button)->text();
}

bool ButtonControl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            for (Button button : {Button::Ok, Button::Cancel, Button::Apply, Button::Close,
                                  Button::Help, Button::Extra}) {
                if (ButtonFor(button) == watched && !key->isAutoRepeat()) {
                    click(button);
                }
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool ButtonControl::click(Button button) {
    if (!isButtonEnabled(button)) {
        return false;
    }
    ButtonFor(button)->click();
    return true;
}

void ButtonControl::Dispatch(Button button) {
    if (m_sink == nullptr) {
        return;
    }
    switch (button) {
    case Button::Ok:
        m_sink->ctlButtons_OK();
        break;
    case Button::Cancel:
        m_sink->ctlButtons_Cancel();
        break;
    case Button::Apply:
        m_sink->ctlButtons_Apply();
        break;
    case Button::Close:
        m_sink->ctlButtons_Close();
        break;
    case Button::Help:
        m_sink->ctlButtons_Help();
        break;
    case Button::Extra:
        m_sink->ctlButtons_ExtraCommand();
        break;
    }
}

void ButtonControl::UpdateButtons() {
    for (Button button :
         {Button::Ok, Button::Cancel, Button::Apply, Button::Close, Button::Help, Button::Extra}) {
        QPushButton* widget = ButtonFor(button);
        widget->setVisible(isButtonVisible(button));
        widget->setEnabled(isButtonEnabled(button));
    }
}

void ButtonControl::UpdateCaptions() {
    m_activityBar->setAccessibleName(Text(kTextActivity, "Working"));
    ShowFitted(m_ok, Text(kTextOk, "OK"));
    ShowFitted(m_cancel, Text(kTextCancel, "Cancel"));
    ShowFitted(m_apply, Text(kTextApply, "Apply"));
    ShowFitted(m_close, Text(kTextClose, "Close"));
    ShowFitted(m_help, Text(kTextHelp, "Help"));
    m_connectionText = Text(kTextConnection, "Connection: %1");
    m_onlineText = Text(kTextOnline, "online");
    m_offlineText = Text(kTextOffline, "offline");
}

void ButtonControl::UpdateOnline() {
    m_lampOnline->setVisible(m_online);
    m_lampOffline->setVisible(!m_online);
    // Each state's caption is cut to fit once per caption and font, not at
    // every change of state: that would cost more than the rest of a change.
    const QString& caption = m_online ? m_onlineText : m_offlineText;
    FittedState& fitted = m_fittedState[m_online ? 1 : 0];
    const QFont font = m_onlineLabel->font();
    if (fitted.lampName.isNull() || fitted.caption != caption ||
        fitted.connectionText != m_connectionText || fitted.font != font) {
        ShowFitted(m_onlineLabel, caption);
        fitted = {caption,
                  m_connectionText,
                  font,
                  m_onlineLabel->text(),
                  m_onlineLabel->toolTip(),
                  m_connectionText.arg(m_onlineLabel->text())};
    } else {
        m_onlineLabel->setText(fitted.shown);
        m_onlineLabel->setToolTip(fitted.toolTip);
    }
    m_lamp->setAccessibleName(fitted.lampName);
}

} // namespace rq16::standins
