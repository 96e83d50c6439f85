#pragma once
// The button bar at the lower edge of the views: OK, Cancel, Apply, Close,
// Help and one extra command button, a message, an online lamp and an
// activity indicator.

#include "host/ButtonControl.h"

#include <QFont>
#include <QWidget>

#include <array>

class QLabel;
class QProgressBar;
class QPushButton;

namespace rq16::standins {

class ButtonControl : public QWidget, public IButtonControl {
    Q_OBJECT
public:
    enum class Button { Ok, Cancel, Apply, Close, Help, Extra };

    /// Text ids of the captions in the common resource folder.
    static constexpr std::int32_t kTextOk = 8001;
    static constexpr std::int32_t kTextCancel = 8002;
    static constexpr std::int32_t kTextApply = 8003;
    static constexpr std::int32_t kTextClose = 8004;
    static constexpr std::int32_t kTextHelp = 8005;
    static constexpr std::int32_t kTextOnline = 8006;
    static constexpr std::int32_t kTextOffline = 8007;
    /// Names of the online lamp ("Connection: %1") and the activity display
    /// for assistive technology.
    static constexpr std::int32_t kTextConnection = 8008;
    static constexpr std::int32_t kTextActivity = 8009;
    static constexpr int kBarHeight = 36;

    explicit ButtonControl(QWidget* parent = nullptr);
    ~ButtonControl() override;

    // IButtonControl
    QWidget* widget() override { return this; }
    void SetEventSink(IButtonControlEvents* sink) override { m_sink = sink; }
    void SetResourceManager(IResourceManager* manager) override;
    void SetArea(int width, int height) override;
    void SetStandardButtons(bool ok, bool cancel, bool apply, bool close) override;
    void SetExtraButton(const QString& caption, const QString& toolTip, int flags) override;
    void SetMessage(const QString& message) override;
    void SetOnline(bool online) override;
    void DisableButtons() override;
    void EnableButtons() override;
    void ShowActivity() override;
    void HideActivity() override;
    void EnableApply() override;
    void DisableApply() override;
    void EnableOk() override;
    void DisableOk() override;

    // Read-only state, for tests and the host.
    IResourceManager* resourceManager() const { return m_resources; }
    bool isOnline() const { return m_online; }
    QString message() const;
    bool isActivityShown() const { return m_activity; }
    /// False after DisableButtons until EnableButtons.
    bool areButtonsEnabled() const { return m_buttonsEnabled; }
    /// Whether the button is offered (Help always; Extra once it has a caption).
    bool isButtonVisible(Button button) const;
    /// Whether a click on the button would reach the sink: offered, buttons
    /// enabled and, for Apply and OK, enabled by their own switch.
    bool isButtonEnabled(Button button) const;
    bool isApplyEnabled() const { return isButtonEnabled(Button::Apply); }
    bool isOkEnabled() const { return isButtonEnabled(Button::Ok); }
    QString buttonText(Button button) const;
    QString extraCaption() const { return m_extraCaption; }
    QString extraToolTip() const { return m_extraToolTip; }
    int extraFlags() const { return m_extraFlags; }
    QString onlineText() const;

    /// Clicks the button as a user would; returns false (and does nothing)
    /// when the button is hidden or disabled.
    bool click(Button button);

protected:
    /// Enter and Return on a button click it, as Space does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Dispatch(Button button);
    void UpdateButtons();
    void UpdateCaptions();
    void UpdateOnline();
    void ShowConnectionState();
    QPushButton* ButtonFor(Button button) const;
    QString Text(std::int32_t id, const char* fallback) const;

    IButtonControlEvents* m_sink = nullptr;
    IResourceManager* m_resources = nullptr;

    QLabel* m_lamp = nullptr;
    QLabel* m_lampOnline = nullptr;
    QLabel* m_lampOffline = nullptr;
    QLabel* m_onlineLabel = nullptr;
    QLabel* m_message = nullptr;
    QProgressBar* m_activityBar = nullptr;
    QPushButton* m_extra = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_close = nullptr;
    QPushButton* m_help = nullptr;

    bool m_online = false;
    bool m_activity = false;
    bool m_buttonsEnabled = true;
    bool m_applyEnabled = true;
    bool m_okEnabled = true;
    bool m_showOk = true;
    bool m_showCancel = true;
    bool m_showApply = true;
    bool m_showClose = true;
    /// The captions of the online state and the lamp's name, looked up with
    /// the others.
    QString m_connectionText;
    QString m_onlineText;
    QString m_offlineText;
    /// What UpdateOnline showed for a state (offline, online), and from what.
    struct FittedState {
        QString caption;
        QString connectionText;
        QFont font;
        QString shown;
        QString toolTip;
        QString lampName;
    };
    std::array<FittedState, 2> m_fittedState;
    QString m_extraCaption;
    QString m_messageText;
    QString m_extraToolTip;
    int m_extraFlags = 0;
};

} // namespace rq16::standins
