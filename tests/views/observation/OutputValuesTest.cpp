#include "OutputValues.h"

#include <gtest/gtest.h>

#include <array>

using namespace rq16;
using namespace rq16::observation;

TEST(OutputValues, BothViewsDecodeTheirMaskAndIgnoreExtraBytes) {
    // Byte 1 = 05 (force mask), byte 3 = 03 (output values); byte 4 is extra.
    const ByteArray block{0x00, 0x05, 0x00, 0x03, 0xFF};
    const std::array<ChannelValue, kChannelCount> observation{
        {{true, true}, {true, false}, {false, true}, {}, {}, {}, {}, {}}};
    const std::array<ChannelValue, kChannelCount> simulation{
        {{true, false}, {false, false}, {true, false}, {}, {}, {}, {}, {}}};
    for (int i = 0; i < kChannelCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        EXPECT_EQ(DecodeChannel(block, i, ShownMask::OutputValues), observation[at]) << i;
        EXPECT_EQ(DecodeChannel(block, i, ShownMask::ForceMask), simulation[at]) << i;
    }
    EXPECT_THROW(DecodeChannel({0x00, 0x05, 0x00}, 0, ShownMask::OutputValues), ComError);
    EXPECT_THROW(DecodeChannel({}, 7, ShownMask::ForceMask), ComError);
}
