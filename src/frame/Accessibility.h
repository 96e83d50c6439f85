#pragma once
// Keyboard and screen reader support that the views share: a focus ring that
// keeps the keyboard focus visible whatever the style draws, Enter acting as
// a click on buttons and lists, and names for assistive technology.

#include <QObject>
#include <QPointer>
#include <QString>

#include <initializer_list>
#include <utility>

class QFocusFrame;
class QLabel;
class QWidget;

namespace rq16 {

/// Draws a ring around the widget inside `root` that has the keyboard focus,
/// and none while the focus is elsewhere. The ring lies over the widget's
/// parent and moves nothing.
class FocusRing : public QObject {
    Q_OBJECT
public:
    explicit FocusRing(QWidget* root);
    ~FocusRing() override;
    FocusRing(const FocusRing&) = delete;
    FocusRing& operator=(const FocusRing&) = delete;
    /// The widget the ring surrounds; null while none in `root` has the focus.
    QWidget* target() const;

private:
    /// One connection for every ring: a change of focus reaches the rings
    /// of the focused widget's ancestors and those showing, whatever the
    /// number of views open.
    static void FocusChanged(QWidget* now);
    void Show(QWidget* now);
    void Hide();

    QWidget* m_root;
    QPointer<QFocusFrame> m_ring;
};

/// Enter and Return on one of `controls` do what a click does: a button is
/// clicked (a check box toggles), a list opens. Space keeps its own meaning.
void ClickOnEnter(std::initializer_list<QWidget*> controls);

/// Each control is named after the label beside it, as screen readers
/// announce it. Run again after the labels' texts change. A label is not
/// made the control's buddy: a buddy would take an '&' in a resource text
/// as the marker of a keyboard shortcut.
void NameAfterLabels(std::initializer_list<std::pair<QWidget*, const QLabel*>> pairs);

/// Sets the accessible name and description of `widget`, each only when it
/// differs from what is set, so that assistive technology hears of real
/// changes only.
void SetAccessibleText(QWidget* widget, const QString& name,
                       const QString& description = QString());

} // namespace rq16
