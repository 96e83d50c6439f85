// The Observation view with the stand-in DTM, helpers and resources, reading
// the simulated module cyclically through the communication stand-in.

#include "Observation.h"

#include "simulator/SimulatedModule.h"
#include "standins/StandInComponents.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"

#include "EventLoop.h"
#include "frame/ComponentRegistry.h"

#include <QPointer>

#include <gtest/gtest.h>

using namespace rq16;
using rq16::test::SpinUntil;

namespace {

class Host : public standins::IFrameHost {
public:
    void OnErrorMessage(const QString&, const QString& message) override { errors << message; }
    void OnPreparedToRelease(const QString& id) override { released << id; }
    QStringList errors;
    QStringList released;
};

TEST(ObservationEndToEnd, FollowsTheModuleAndEndsCleanly) {
    standins::StandInComponentFactory factory;
    SetComponentFactory(&factory);
    simulator::SimulatedModule module;
    simulator::Milliseconds now{0};
    module.SetClock([&] { return now; });
    standins::SimulatedCommunication comm{module};
    standins::RQ16Dtm dtm;
    Host host;
    dtm.SetHost(&host);
    dtm.SetCommunication(&comm);
    dtm.SetControlCreator([](const QString&, QWidget* parent) { return new Observation(parent); });
    QString id;
    QPointer<Observation> view = qobject_cast<Observation*>(
        dtm.OpenFunction(QStringLiteral("RQ16Controls.Observation"), nullptr, &id));
    ASSERT_TRUE(view);
    const auto shows = [&](int channel, const char* master, int picture) {
        return SpinUntil([&] {
            const ChannelObservation* element = view->channelElement(channel);
            return element->masterValueText() == master && element->statePictureId() == picture;
        });
    };

    // The running light moves on by two channels; then channel 5 is forced.
    EXPECT_TRUE(shows(0, "1", ChannelObservation::kPictureValid));
    now = simulator::Milliseconds{1000};
    EXPECT_TRUE(shows(2, "1", ChannelObservation::kPictureValid));
    EXPECT_EQ(view->channelElement(0)->masterValueText(), "0");
    module.GlobalForcingEnable();
    module.WriteForceValues({0x00, 0x10, 0x00, 0x10});
    EXPECT_TRUE(shows(4, "1", ChannelObservation::kPictureForced));

    // The online button goes offline after a read, keeping the last values.
    view->ctlButtons_ExtraCommand();
    ASSERT_TRUE(SpinUntil([&] { return !view->IsOnline() && view->OnlineInvokeId().isEmpty(); }));
    EXPECT_EQ(view->channelElement(2)->masterValueText(), "1");
    EXPECT_EQ(view->channelElement(4)->statePictureId(), ChannelObservation::kPictureForced);

    // Online again, then the connection is lost: the pictures go.
    view->ctlButtons_ExtraCommand();
    ASSERT_TRUE(SpinUntil([&] { return view->IsOnline(); }));
    module.connectionFaults().abortAfterRequests = 1;
    ASSERT_TRUE(SpinUntil([&] { return !host.errors.isEmpty(); }));
    EXPECT_FALSE(view->IsOnline());
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(view->channelElement(i)->statePictureId(), 0) << i;
    }

    // Closing while a read is outstanding ends with the release.
    module.connectionFaults().latencyMs = 40;
    view->ctlButtons_ExtraCommand();
    ASSERT_TRUE(SpinUntil([&] { return !view->ReadOutputInvokeId().isEmpty(); }));
    view->ctlButtons_Close();
    ASSERT_TRUE(SpinUntil([&] { return host.released == QStringList{id} && !view; }));
    EXPECT_EQ(comm.openConnections().size(), 0U);
    EXPECT_EQ(comm.pendingAnswers(), 0);
    EXPECT_EQ(host.errors.size(), 1);
    SetComponentFactory(nullptr);
}

} // namespace
