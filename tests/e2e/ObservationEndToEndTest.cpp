// The Observation view with the stand-in DTM, helpers and resources, reading
// the simulated module cyclically through the communication stand-in.

#include "Observation.h"

#include "StandIns.h"

#include <QPointer>

#include <gtest/gtest.h>

using namespace rq16;
using rq16::test::SpinUntil;

using Button = rq16::standins::ButtonControl::Button;

namespace {

TEST(ObservationEndToEnd, FollowsTheModuleAndEndsCleanly) {
    test::StandIns rig;
    rig.dtm.SetAutomaticRelease(true);
    simulator::SimulatedModule& module = rig.module;
    simulator::Milliseconds now{0};
    module.SetClock([&] { return now; });
    QPointer<Observation> view = rig.Open<Observation>();
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
    EXPECT_TRUE(test::StandIns::Bar(view).click(Button::Extra));
    ASSERT_TRUE(SpinUntil([&] { return !view->IsOnline() && view->OnlineInvokeId().isEmpty(); }));
    EXPECT_EQ(view->channelElement(2)->masterValueText(), "1");
    EXPECT_EQ(view->channelElement(4)->statePictureId(), ChannelObservation::kPictureForced);

    // Online again, then the connection is lost: the pictures go.
    EXPECT_TRUE(test::StandIns::Bar(view).click(Button::Extra));
    ASSERT_TRUE(SpinUntil([&] { return view->IsOnline(); }));
    module.connectionFaults().abortAfterRequests = 1;
    ASSERT_TRUE(SpinUntil([&] { return !rig.Calls("Kernel.OnErrorMessage").isEmpty(); }));
    EXPECT_FALSE(view->IsOnline());
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(view->channelElement(i)->statePictureId(), 0) << i;
    }

    // Closing while a read is outstanding ends with the release.
    module.connectionFaults().latencyMs = 40;
    EXPECT_TRUE(test::StandIns::Bar(view).click(Button::Extra));
    ASSERT_TRUE(SpinUntil([&] { return !view->ReadOutputInvokeId().isEmpty(); }));
    EXPECT_TRUE(test::StandIns::Bar(view).click(Button::Close));
    ASSERT_TRUE(SpinUntil([&] {
        return rig.Calls("UiManager.PreparedToRelease") ==
                   QStringList{"UiManager.PreparedToRelease(DTM-1)"} &&
               !view;
    }));
    EXPECT_EQ(rig.comm.openConnections().size(), 0U);
    EXPECT_EQ(rig.comm.pendingAnswers(), 0);
    EXPECT_EQ(rig.Calls("Kernel.OnErrorMessage").size(), 1);
}

} // namespace
