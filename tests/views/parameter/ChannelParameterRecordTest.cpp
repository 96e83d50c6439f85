#include "ChannelParameterRecord.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

namespace rq16 {
namespace {

// Parameter bytes with three further positions that must never change.
ByteArray WithTail(std::uint8_t pairBytes, std::uint8_t flags) {
    return ByteArray{pairBytes, pairBytes, pairBytes, pairBytes, flags, 0xA5, 0x5A, 0xFF};
}

// One bit of a pair byte or of the flag byte (offset 0: ChannelA, 1:
// ChannelB) and the record field it stands for.
struct BitCase {
    std::uint8_t pairBit;
    int flagOffset; // -1: no flag bit
    ChannelPairRecord record;
};
const BitCase kBits[] = {
    {0x80, -1, {.FailSafeParameter = 0x80}}, {0x40, -1, {.FailSafeParameter = 0x40}},
    {0x20, -1, {.FailSafeParameter = 0x20}}, {0x10, -1, {.FailSafeParameter = 0x10}},
    {0x08, -1, {.ShortCircuitCurrent = 1}},  {0x04, -1, {.InvertedPolarity = true}},
    {0x00, 0, {.ChannelA = true}},           {0x00, 1, {.ChannelB = true}},
};

TEST(ParameterRecord, EveryBitDecodesAndEncodesInEveryPairAndTheTailPassesThrough) {
    for (int pair = 0; pair < kChannelPairCount; ++pair) {
        for (const BitCase& c : kBits) {
            ByteArray bytes = WithTail(0, 0);
            bytes[static_cast<std::size_t>(pair)] = c.pairBit;
            if (c.flagOffset >= 0) {
                bytes[kChannelFlagPosition] =
                    static_cast<std::uint8_t>(1u << (2 * pair + c.flagOffset));
            }
            for (int other = 0; other < kChannelPairCount; ++other) {
                EXPECT_EQ(DecodePair(bytes, other), other == pair ? c.record : ChannelPairRecord{})
                    << "pair " << pair << ", decoding " << other;
            }

            // The full encoding rebuilds every pair byte and the flag byte.
            ChannelPairRecords records{};
            records[static_cast<std::size_t>(pair)] = c.record;
            ByteArray full = WithTail(0x03, 0xFF);
            EncodeAllPairs(full, records);
            EXPECT_EQ(full, bytes) << "pair " << pair;

            // The update of one pair keeps the other pairs and flag bits.
            ByteArray updated = WithTail(0x03, 0xFF);
            UpdatePair(updated, pair, c.record);
            ByteArray expected = WithTail(0x03, 0xFF);
            expected[static_cast<std::size_t>(pair)] = c.pairBit;
            expected[kChannelFlagPosition] = static_cast<std::uint8_t>(
                (0xFF & ~(3u << (2 * pair))) | bytes[kChannelFlagPosition]);
            EXPECT_EQ(updated, expected) << "pair " << pair;
        }
    }
}

TEST(ParameterRecord, OnlyACurrentOfOneAndTheFailsafeBitsReachThePairByte) {
    for (const std::uint8_t current : {2, 255}) {
        ByteArray bytes = WithTail(0, 0);
        const ChannelPairRecord record{.FailSafeParameter = 0x0F, .ShortCircuitCurrent = current};
        EncodeAllPairs(bytes, ChannelPairRecords{record});
        EXPECT_EQ(bytes[0], 0x00);
        UpdatePair(bytes, 1, record);
        EXPECT_EQ(bytes[1], 0x00);
    }
}

TEST(ParameterRecord, ShortDataIsRefusedWithoutTouchingTheBytes) {
    for (std::size_t size = 0; size < kUsedParameterBytes; ++size) {
        ByteArray bytes(size, 0x77);
        EXPECT_FALSE(HasParameterPositions(bytes));
        EXPECT_THROW(DecodePair(bytes, 0), ComError);
        EXPECT_THROW(EncodeAllPairs(bytes, ChannelPairRecords{}), ComError);
        EXPECT_THROW(UpdatePair(bytes, 0, ChannelPairRecord{}), ComError);
        EXPECT_EQ(bytes, ByteArray(size, 0x77));
    }
    EXPECT_THROW(DecodePair(ByteArray(5, 0), kChannelPairCount), ComError);
}

TEST(ParameterRecord, DecToBinGrowsTheDigitCountByBytesUpTo24) {
    // Value, digit count in, digits, digit count out.
    const std::tuple<std::int32_t, std::int16_t, const char*, std::int16_t> cases[] = {
        {5, 8, "00000101", 8},
        {0, 0, "", 0},
        {1, 0, "00000001", 8},
        {9, 4, "1001", 4},
        {255, 8, "11111111", 8},
        {300, 8, "0000000100101100", 16},
        {65536, 8, "000000010000000000000000", 24},
        {(1 << 24) - 1, 8, "111111111111111111111111", 24},
        {1 << 24, 8, "000000000000000000000000", 24}, // beyond the widest: no growth
        {0, -8, "", 0},
    };
    for (const auto& [value, bitsIn, digits, bitsOut] : cases) {
        std::int16_t bits = bitsIn;
        EXPECT_EQ(DecToBin(value, bits), QString::fromLatin1(digits)) << value;
        EXPECT_EQ(bits, bitsOut) << value;
    }
}

} // namespace
} // namespace rq16
