#include "ChannelObservation.h"

#include "StandIns.h"

#include "standins/resources/ResourceManager.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace rq16::test {
namespace {

struct Row {
    bool value, invalid, forced, hasStatus, inverted, input;
    int picture;
    bool commonFolder;
    const char *master, *terminal;
    QRgb diode;
};

TEST(ChannelObservation, PictureValuesAndDiodeFollowTheFlags) {
    constexpr QRgb on = ChannelObservation::kDiodeOn, off = ChannelObservation::kDiodeOff;
    const Row rows[] = {
        {true, false, false, false, true, false, 1000, true, "1", "0", off},
        {true, false, false, true, true, false, 150, false, "1", "0", off},
        {false, true, false, false, false, false, 152, false, "0", "0", off},
        {true, true, true, false, false, false, 155, false, "1", "1", on},
        {false, false, true, false, true, false, 153, false, "0", "1", on},
        // An input's diode follows the master value, not the inverted terminal.
        {true, false, false, false, true, true, 1000, true, "1", "0", on},
    };
    StandIns rig;
    standins::ResourceManager common(CommonResourceFolder());
    ChannelObservation element;
    element.SetResourceManager(&common);
    for (const Row& row : rows) {
        element.SetHasStatus(row.hasStatus);
        element.SetIsInverted(row.inverted);
        element.SetIsInput(row.input);
        element.SetHasConnection(false); // so every row loads its picture
        rig.calls.clear();
        element.SetCurrentValue(row.value, row.invalid, row.forced);
        EXPECT_EQ(element.statePictureId(), row.picture);
        EXPECT_EQ(rig.calls.contains(
                      QStringLiteral("ResourceManager.LoadPicture(%1,0,0,)").arg(row.picture)),
                  !row.commonFolder);
        EXPECT_EQ(element.masterValueText(), row.master);
        EXPECT_EQ(element.channelValueText(), row.terminal);
        EXPECT_EQ(element.diodeColor().rgb(), row.diode) << row.picture;
        EXPECT_EQ(element.valueShown(), !row.invalid);
    }
    // Stored properties wait for the next value.
    element.SetIsInverted(false);
    EXPECT_EQ(element.channelValueText(), "0");
    element.SetHasConnection(false);
    EXPECT_EQ(element.statePictureId(), 0);
}

TEST(ChannelObservation, FrameCaptionWithAndWithoutResourceManager) {
    StandIns rig;
    ChannelObservation element;
    element.SetChannelNumber(3);
    element.SetChannelTag(QStringLiteral("Q3"));
    EXPECT_EQ(element.frameCaption(), "channel 3: Q3");
    standins::ResourceManager common(CommonResourceFolder());
    element.SetResourceManager(&common);
    EXPECT_EQ(element.frameCaption(), "Channel 3: Q3");
    const auto label = [&](const char* name) { return element.findChild<QLabel*>(name)->text(); };
    EXPECT_EQ(label("lblProcessValue") + '/' + label("lblChannelValue"), "Master/Terminal");
}

} // namespace
} // namespace rq16::test
