#include "Accessibility.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFocusFrame>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>

#include <utility>

namespace rq16 {

namespace {

/// Turns Enter and Return on the control it watches into a click.
class EnterClick : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
            return false;
        }
        if (auto* button = qobject_cast<QAbstractButton*>(watched)) {
            // A held key clicks once, as a held mouse button does.
            if (!key->isAutoRepeat()) {
                button->click();
            }
            return true;
        }
        if (auto* list = qobject_cast<QComboBox*>(watched)) {
            list->showPopup();
            return true;
        }
        return false;
    }
};

} // namespace

namespace {

struct Rings {
    /// The ring of each view, by the view.
    QHash<QWidget*, FocusRing*> byRoot;
    /// The rings that surround a widget now.
    QList<FocusRing*> showing;
    QPointer<QCoreApplication> connectedTo;
};

Rings& AllRings() {
    static Rings rings;
    return rings;
}

} // namespace

FocusRing::FocusRing(QWidget* root) : QObject(root), m_root(root) {
    Rings& rings = AllRings();
    rings.byRoot.insert(root, this);
    if (rings.connectedTo != qApp) {
        rings.connectedTo = qApp;
        connect(qApp, &QApplication::focusChanged, qApp,
                [](QWidget*, QWidget* now) { FocusChanged(now); });
    }
}

FocusRing::~FocusRing() {
    Rings& rings = AllRings();
    rings.byRoot.remove(m_root);
    rings.showing.removeAll(this);
}

QWidget* FocusRing::target() const {
    return m_ring ? m_ring->widget() : nullptr;
}

void FocusRing::FocusChanged(QWidget* now) {
    Rings& rings = AllRings();
    // The rings of the views the focused widget lies in, within its window.
    QList<FocusRing*> inside;
    for (QWidget* up = now; up != nullptr && !up->isWindow();) {
        up = up->parentWidget();
        if (FocusRing* ring = rings.byRoot.value(up)) {
            inside.append(ring);
        }
    }
    for (FocusRing* ring : std::exchange(rings.showing, {})) {
        if (!inside.contains(ring)) {
            ring->Hide();
        }
    }
    for (FocusRing* ring : inside) {
        ring->Show(now);
    }
    rings.showing = inside;
}

void FocusRing::Hide() {
    if (m_ring) {
        m_ring->setWidget(nullptr);
    }
}

void FocusRing::Show(QWidget* now) {
    if (!m_ring) {
        // The ring lives in the focused widget's parent and goes with it;
        // a new one is made when the focus comes back.
        m_ring = new QFocusFrame(m_root);
        m_ring->setObjectName(QStringLiteral("focusRing"));
        QPalette palette = m_ring->palette();
        palette.setColor(QPalette::WindowText, palette.color(QPalette::Highlight));
        m_ring->setPalette(palette);
    }
    m_ring->setWidget(now);
}

void ClickOnEnter(std::initializer_list<QWidget*> controls) {
    for (QWidget* control : controls) {
        control->installEventFilter(new EnterClick(control));
    }
}

void NameAfterLabels(std::initializer_list<std::pair<QWidget*, const QLabel*>> pairs) {
    for (const auto& [control, label] : pairs) {
        SetAccessibleText(control, label->text(), control->accessibleDescription());
    }
}

void SetAccessibleText(QWidget* widget, const QString& name, const QString& description) {
    if (widget->accessibleName() != name) {
        widget->setAccessibleName(name);
    }
    if (widget->accessibleDescription() != description) {
        widget->setAccessibleDescription(description);
    }
}

} // namespace rq16
