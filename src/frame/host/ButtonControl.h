#pragma once
// The button bar that every view but About embeds at its lower edge.

#include "Types.h"

#include <QString>

class QWidget;

namespace rq16 {

class IResourceManager;

/// Events of the button bar, delivered to the view that embeds it.
class IButtonControlEvents {
public:
    virtual ~IButtonControlEvents() = default;
    virtual void ctlButtons_Apply() {}
    virtual void ctlButtons_Cancel() {}
    virtual void ctlButtons_OK() {}
    virtual void ctlButtons_Help() {}
    virtual void ctlButtons_Close() {}
    virtual void ctlButtons_ExtraCommand() {}
};

class IButtonControl {
public:
    virtual ~IButtonControl() = default;

    /// The bar as a widget, to be placed by the embedding view.
    virtual QWidget* widget() = 0;
    /// Where the bar's events go; nullptr detaches.
    virtual void SetEventSink(IButtonControlEvents* sink) = 0;

    virtual void SetResourceManager(IResourceManager* manager) = 0;
    virtual void SetArea(int width, int height) = 0;
    /// Which standard buttons the bar offers: OK, Cancel, Apply and Close.
    /// Help is always offered.
    virtual void SetStandardButtons(bool ok, bool cancel, bool apply, bool close) = 0;
    /// The extra command button: caption, tool tip and flags (0 = plain).
    virtual void SetExtraButton(const QString& caption, const QString& toolTip, int flags) = 0;
    virtual void SetMessage(const QString& message) = 0;
    virtual void SetOnline(bool online) = 0;
    virtual void DisableButtons() = 0;
    virtual void EnableButtons() = 0;
    virtual void ShowActivity() = 0;
    virtual void HideActivity() = 0;
    virtual void EnableApply() = 0;
    virtual void DisableApply() = 0;
    virtual void EnableOk() = 0;
    virtual void DisableOk() = 0;
};

} // namespace rq16
