// One whole run of each cyclic and identification view against the
// simulated module: open, read, show, work, disconnect, close and release,
// with the debug log and the calls on the bar, the kernel, the queue and the
// communication compared with the expected sequence in tests/golden.

#include "Identification.h"
#include "Observation.h"
#include "Simulation.h"

#include "Golden.h"
#include "StandIns.h"

#include <QCheckBox>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace rq16::test {
using Button = rq16::standins::ButtonControl::Button;

namespace {

/// The stand-ins with the module's clock stopped, so that its outputs do not
/// move on however long a run takes.
struct Rig : StandIns {
    Rig() {
        module.SetClock([] { return simulator::Milliseconds{0}; });
    }
};

void ExpectRun(const StandIns& rig, const char* name, const QWidget* view) {
    ExpectGoldenRun(rig.log.lines(), RunCalls(rig.calls), QLatin1String(name), view);
}

/// Closes the view and lets the DTM release it.
void CloseAndRelease(StandIns& rig, ViewBase* view) {
    EXPECT_TRUE(StandIns::Bar(view).click(Button::Close));
    rig.Settle();
    rig.dtm.ReleaseView(rig.invokeId);
    rig.Settle();
}

TEST(GoldenLog, ObservationReadsTwiceThenStopsClosesAndReleases) {
    Rig rig;
    auto* view = rig.Open<Observation>();
    rig.Settle(); // connected, first read shown
    EXPECT_TRUE(
        StandIns::Bar(view).click(Button::Extra)); // stop: the disconnect follows the next read
    view->timCyclic_Timer();
    rig.Settle();
    CloseAndRelease(rig, view);
    ExpectRun(rig, "observation", view);
}

TEST(GoldenLog, SimulationForcesPausesResumesClosesAndReleases) {
    Rig rig;
    auto* view = rig.Open<Simulation>();
    rig.Settle();
    view->channelSimulation(2)->forcingActivatedBox()->click(); // enable, write, read back
    rig.Settle();
    EXPECT_TRUE(StandIns::Bar(view).click(Button::Extra)); // pause
    EXPECT_TRUE(StandIns::Bar(view).click(Button::Extra)); // resume
    rig.Settle();
    view->channelSimulation(2)->forcingActivatedBox()->click(); // last forcing ends
    rig.Settle();
    CloseAndRelease(rig, view);
    ExpectRun(rig, "simulation", view);
}

TEST(GoldenLog, IdentificationReadsWritesAnEditedTextClosesAndReleases) {
    Rig rig;
    rig.dtm.SetState(6);
    rig.dtm.SetControlCreator(
        [](const QString&, QWidget* parent) { return new Identification(parent); });
    auto* view = qobject_cast<Identification*>(
        rig.dtm.OpenFunction(QStringLiteral("View"), nullptr, &rig.invokeId));
    rig.Settle();
    view->textBox(QStringLiteral("txtTagFunction"))->setText(QStringLiteral("Pump 7"));
    CloseAndRelease(rig, view);
    ExpectRun(rig, "identification", view);
}

} // namespace
} // namespace rq16::test
