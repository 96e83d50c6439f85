// Forcing through the Simulation view, read back through an Observation view
// of the same simulated module.

#include "Observation.h"
#include "Simulation.h"

#include "simulator/SimulatedModule.h"
#include "standins/StandInComponents.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"

#include "frame/ComponentRegistry.h"

#include <QCheckBox>
#include <QRadioButton>

#include "EventLoop.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

using namespace rq16;
using rq16::test::SpinUntil;

TEST(SimulationEndToEnd, ForcedChannelReadsBackForcedInObservation) {
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

    ChannelSimulation* channel3 = simulation->channelSimulation(2);
    channel3->valueButton(1)->click();
    channel3->forcingActivatedBox()->click();
    EXPECT_TRUE(SpinUntil([&] {
        ChannelObservation* observed = observation->channelElement(2);
        return observed->statePictureId() == ChannelObservation::kPictureForced &&
               observed->masterValueText() == QStringLiteral("1") &&
               channel3->masterValueText() == QStringLiteral("1");
    }));
    EXPECT_EQ(module.ForceMask(), 0x04);
    dtm.ReleaseAllViews();
    EXPECT_TRUE(SpinUntil([&] {
        return comm.openConnections().empty() && log.contains("Simulation: OnDisconnetResponse");
    }));
    SetComponentFactory(nullptr);
}
