// Every view with the keyboard alone and as a screen reader reads it: the
// focus walks each view in visual order with a visible ring, and every
// control and every picture that shows a state is named in the language of
// the view, through QAccessible as assistive technology asks.

#include "Diagnosis.h"
#include "Identification.h"
#include "Observation.h"
#include "Parameter.h"
#include "Simulation.h"
#include "views/about/About.h"

#include "StandIns.h"

#include <QAccessible>
#include <QFocusFrame>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace rq16::test {
namespace {

/// A view in its normal online state (the cyclic views reading, the others
/// after their read) and the places its tab order visits.
struct ViewCase {
    const char* name;
    ViewBase* (*open)(StandIns&);
    QStringList tabOrder;
};

void PrintTo(const ViewCase& view, std::ostream* out) {
    *out << view.name;
}

template <typename V> ViewBase* Open(StandIns& rig) {
    return rig.Open<V>();
}

/// The controls of elements 0 to count - 1: "ctlChannel_0/optValue_0", ...
QStringList Each(int count, const char* element, const QStringList& controls) {
    QStringList out;
    for (int i = 0; i < count; ++i) {
        for (const QString& control : controls) {
            out << QStringLiteral("%1_%2/%3").arg(QLatin1String(element)).arg(i).arg(control);
        }
    }
    return out;
}

const QStringList kOnlineBar{"ctlButtons/cmdExtra", "ctlButtons/cmdClose", "ctlButtons/cmdHelp"};
const ViewCase kViews[] = {
    {"About", &Open<About>, {"cmdOK"}},
    {"Diagnosis", &Open<Diagnosis>,
     QStringList{"txtModuleDiagnosis", "txtChannelDiagnosis"} + kOnlineBar},
    {"Observation", &Open<Observation>, kOnlineBar},
    {"Simulation", &Open<Simulation>,
     Each(8, "ctlChannel", {"optValue_0", "chkForcingActivated"}) + kOnlineBar},
    {"Parameter", &Open<Parameter>,
     Each(4, "ctlChannelParameter",
          {"chkChannelA", "chkChannelB", "chkInvertedLogic", "cboShortCircuitCurrent",
           "chkShortDetection", "chkOpenLineDetection", "cboFailsafeValue"}) +
         QStringList{"ctlButtons/cmdOk", "ctlButtons/cmdCancel", "ctlButtons/cmdHelp"}},
    {"Identification", &Open<Identification>,
     QStringList{"txtManufacturer", "txtOrderNumber", "txtChargeNumber", "txtSerialNumber",
                 "txtDescription", "txtChannels", "txtRanges", "txtHardwareRevision",
                 "txtSoftwareRevision", "txtTagFunction", "txtTagLocation", "txtInstallationDate",
                 "txtLastUpdate", "txtComment"} +
         kOnlineBar},
};

QString Said(QWidget* widget, QAccessible::Text text = QAccessible::Name) {
    return QAccessible::queryAccessibleInterface(widget)->text(text);
}

/// A control's name after its channel element or the bar: "ctlChannel_2/imgState".
QString Place(QWidget* control) {
    const QString name = control->objectName();
    for (const QWidget* p = control->parentWidget(); p != nullptr; p = p->parentWidget()) {
        if (p->objectName().startsWith(QLatin1String("ctl"))) {
            return p->objectName() + QLatin1Char('/') + name;
        }
    }
    return name;
}

ViewBase* OpenShown(StandIns& rig, const ViewCase& view, const QString& language = "en") {
    rig.dtm.SetState(6); // Identification reads the module when it opens
    rig.dtm.kernel().resources().SetLanguage(language);
    ViewBase* opened = view.open(rig);
    rig.Settle();
    opened->show();
    opened->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(opened));
    return opened;
}

/// The places the focus visits from the first control, Tab after Tab (or
/// Shift+Tab), until it is back; the ring must surround each.
QStringList Walk(QWidget* view, Qt::KeyboardModifiers modifiers) {
    QStringList places;
    QWidget* first = view->focusWidget();
    for (QWidget* at = first; at != nullptr && places.size() < 100;) {
        places << Place(at);
        const QFocusFrame* ring = view->findChild<QFocusFrame*>();
        EXPECT_TRUE(ring && ring->widget() == at && ring->isVisible()) << Place(at).toStdString();
        QTest::keyClick(at, Qt::Key_Tab, modifiers);
        at = view->focusWidget() == first ? nullptr : view->focusWidget();
    }
    return places;
}

class TabWalk : public ::testing::TestWithParam<ViewCase> {};

TEST_P(TabWalk, ReachesEveryEnabledControlOnceInVisualOrderWithTheBarLast) {
    StandIns rig;
    ViewBase* view = OpenShown(rig, GetParam());
    const QStringList forward = Walk(view, Qt::NoModifier);
    EXPECT_EQ(forward, GetParam().tabOrder);
    QStringList backward = Walk(view, Qt::ShiftModifier);
    std::reverse(backward.begin() + 1, backward.end());
    EXPECT_EQ(backward, forward);
}

INSTANTIATE_TEST_SUITE_P(EveryView, TabWalk, ::testing::ValuesIn(kViews),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(ScreenReader, NamesEveryControlAndStatePictureInTheViewsLanguage) {
    const QRegularExpression statePicture("^(imgState|shpDiode|lamp|picTerminal\\d+)$");
    std::map<QString, QString> english; // state picture → its English name
    for (const QString language : {"en", "de"}) {
        for (const ViewCase& c : kViews) {
            StandIns rig;
            ViewBase* view = OpenShown(rig, c, language);
            for (QWidget* w : view->findChildren<QWidget*>()) {
                const bool picture = statePicture.match(w->objectName()).hasMatch();
                if (!w->isVisibleTo(view) || (!picture && !(w->focusPolicy() & Qt::TabFocus))) {
                    continue;
                }
                const QString place = QLatin1String(c.name) + QLatin1Char(' ') + Place(w);
                EXPECT_FALSE(Said(w).isEmpty())
                    << language.toStdString() << " " << place.toStdString();
                if (picture && language == QLatin1String("en")) {
                    english[place] = Said(w);
                } else if (picture) {
                    EXPECT_NE(english[place], Said(w)) << place.toStdString();
                }
            }
        }
    }
    EXPECT_EQ(english["Simulation ctlChannel_2/imgState"], "Channel 3: valid");
    EXPECT_EQ(english["Observation ctlButtons/lamp"], "Connection: online");
}

} // namespace
} // namespace rq16::test
