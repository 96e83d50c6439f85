// Forcing through the Simulation view with the keyboard alone, read back
// through an Observation view of the same simulated module, as it shows and
// as a screen reader says it.

#include "Observation.h"
#include "Simulation.h"

#include "simulator/SimulatedModule.h"
#include "standins/StandInComponents.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"

#include "frame/ComponentRegistry.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "EventLoop.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

using namespace rq16;
using rq16::test::SpinUntil;

TEST(SimulationEndToEnd, ChannelForcedWithTheKeyboardReadsBackForcedInObservation) {
    test::LogCapture log; // before the views: they read its registry
    standins::StandInComponentFactory factory;
    SetComponentFactory(&factory);
    simulator::SimulatedModule module;
    standins::SimulatedCommunication comm(module);
    standins::RQ16Dtm dtm;
    dtm.SetCommunication(&comm);
    dtm.SetControlCreator([](const QString& progId, QWidget* parent) -> QWidget* {
        if (progId.endsWith(QStringLiteral("Simulation"))) {
            return new Simulation(parent);
        }
        return new Observation(parent);
    });
    auto* simulation =
        qobject_cast<Simulation*>(dtm.OpenFunction(QStringLiteral("RQ16Controls.Simulation")));
    auto* observation =
        qobject_cast<Observation*>(dtm.OpenFunction(QStringLiteral("RQ16Controls.Observation")));
    ASSERT_TRUE(SpinUntil([&] { return simulation->IsOnline() && observation->IsOnline(); }));

    simulation->show();
    simulation->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(simulation));
    ChannelSimulation* channel3 = simulation->channelSimulation(2);
    QSignalSpy values(channel3, &ChannelSimulation::ForceValueChanged);
    QSignalSpy activations(channel3, &ChannelSimulation::ForceActivatedChanged);
    const auto press = [&](Qt::Key key) { QTest::keyClick(simulation->focusWidget(), key); };
    for (int stop = 0; stop < 4; ++stop) {
        press(Qt::Key_Tab); // past the value choice and "Forcing activated" of channels 1 and 2
    }
    ASSERT_EQ(simulation->focusWidget(), channel3->valueButton(0));
    press(Qt::Key_Right); // force value 1
    press(Qt::Key_Tab);   // to "Forcing activated"
    press(Qt::Key_Space);
    EXPECT_EQ(values.size() + activations.size(), 2) << "one event for each change";

    ChannelObservation* observed = observation->channelElement(2);
    EXPECT_TRUE(SpinUntil([&] {
        return observed->statePictureId() == ChannelObservation::kPictureForced &&
               observed->masterValueText() == QStringLiteral("1") &&
               channel3->masterValueText() == QStringLiteral("1");
    }));
    EXPECT_EQ(module.ForceMask(), 0x04);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(observed->findChild<QGroupBox*>())
                  ->text(QAccessible::Description),
              "Channel 3: forced, output on");
    dtm.ReleaseAllViews();
    EXPECT_TRUE(SpinUntil([&] {
        return comm.openConnections().empty() && log.contains("Simulation: OnDisconnetResponse");
    }));
    SetComponentFactory(nullptr);
}
