#include "ChannelParameterRecord.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace rq16 {
namespace {

// Parameter bytes with three further positions that must never change.
ByteArray WithTail(std::uint8_t p0, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3,
                   std::uint8_t flags) {
    return ByteArray{p0, p1, p2, p3, flags, 0xA5, 0x5A, 0xFF};
}

void ExpectTailUnchanged(const ByteArray& bytes) {
    ASSERT_EQ(bytes.size(), 8u);
    EXPECT_EQ(bytes[5], 0xA5);
    EXPECT_EQ(bytes[6], 0x5A);
    EXPECT_EQ(bytes[7], 0xFF);
}

TEST(ParameterRecordDecode, AllZeroPairByteMeansDetectionsOnMinValueNonLocking) {
    const ChannelPairRecord record = DecodePair(WithTail(0, 0, 0, 0, 0), 0);
    EXPECT_EQ(record, ChannelPairRecord{});
    EXPECT_EQ(record.FailSafeParameter & kShortDetectionOffBit, 0);
    EXPECT_EQ(record.FailSafeParameter & kOpenLineDetectionOffBit, 0);
    EXPECT_EQ((record.FailSafeParameter >> 4) & 3, kFailsafeMin);
    EXPECT_EQ(record.ShortCircuitCurrent, kNonLocking);
}

TEST(ParameterRecordDecode, EveryPairByteBitReachesItsFieldInEveryPair) {
    struct Case {
        std::uint8_t bit;
        ChannelPairRecord expected;
    };
    const Case cases[] = {
        {0x80, {.FailSafeParameter = 0x80}},
        {0x40, {.FailSafeParameter = 0x40}},
        {0x20, {.FailSafeParameter = 0x20}},
        {0x10, {.FailSafeParameter = 0x10}},
        {0x08, {.ShortCircuitCurrent = 1}},
        {0x04, {.InvertedPolarity = true}},
        {0x02, {}},
        {0x01, {}},
    };
    for (int pair = 0; pair < kChannelPairCount; ++pair) {
        for (const Case& c : cases) {
            ByteArray bytes = WithTail(0, 0, 0, 0, 0);
            bytes[static_cast<std::size_t>(pair)] = c.bit;
            for (int other = 0; other < kChannelPairCount; ++other) {
                const ChannelPairRecord expected = other == pair ? c.expected : ChannelPairRecord{};
                EXPECT_EQ(DecodePair(bytes, other), expected)
                    << "bit 0x" << std::hex << int{c.bit} << " in pair " << pair << ", decoding "
                    << other;
            }
        }
    }
}

TEST(ParameterRecordDecode, EveryFlagBitReachesChannelAOrBOfItsPair) {
    for (int bit = 0; bit < 8; ++bit) {
        const ByteArray bytes = WithTail(0, 0, 0, 0, static_cast<std::uint8_t>(1u << bit));
        for (int pair = 0; pair < kChannelPairCount; ++pair) {
            const ChannelPairRecord record = DecodePair(bytes, pair);
            EXPECT_EQ(record.ChannelA, bit == 2 * pair) << "flag bit " << bit;
            EXPECT_EQ(record.ChannelB, bit == 2 * pair + 1) << "flag bit " << bit;
        }
    }
}

TEST(ParameterRecordEncode, EveryFieldReachesItsBitInEveryPair) {
    struct Case {
        ChannelPairRecord record;
        std::uint8_t pairByte;
        int flagBitOffset; // -1: none; 0: bit 2k; 1: bit 2k+1
    };
    const Case cases[] = {
        {{.FailSafeParameter = 0x80}, 0x80, -1},
        {{.FailSafeParameter = 0x40}, 0x40, -1},
        {{.FailSafeParameter = 0x20}, 0x20, -1},
        {{.FailSafeParameter = 0x10}, 0x10, -1},
        {{.FailSafeParameter = 0x0F}, 0x00, -1},
        {{.InvertedPolarity = true}, 0x04, -1},
        {{.ShortCircuitCurrent = 1}, 0x08, -1},
        {{.ShortCircuitCurrent = 2}, 0x00, -1},
        {{.ShortCircuitCurrent = 255}, 0x00, -1},
        {{.ChannelA = true}, 0x00, 0},
        {{.ChannelB = true}, 0x00, 1},
    };
    for (int pair = 0; pair < kChannelPairCount; ++pair) {
        for (const Case& c : cases) {
            ChannelPairRecords records{};
            records[static_cast<std::size_t>(pair)] = c.record;

            // The full encoding rebuilds every pair byte (bits 1 and 0 become
            // 0) and the whole flag byte.
            ByteArray full = WithTail(0x03, 0x03, 0x03, 0x03, 0xFF);
            EncodeAllPairs(full, records);
            ByteArray expected = WithTail(0, 0, 0, 0, 0);
            expected[static_cast<std::size_t>(pair)] = c.pairByte;
            if (c.flagBitOffset >= 0) {
                expected[kChannelFlagPosition] =
                    static_cast<std::uint8_t>(1u << (2 * pair + c.flagBitOffset));
            }
            EXPECT_EQ(full, expected) << "pair " << pair;

            // The update of one pair touches its byte and its two flag bits.
            ByteArray updated = WithTail(0x11, 0x22, 0x33, 0x44, 0xFF);
            UpdatePair(updated, pair, c.record);
            ByteArray expectedUpdate = WithTail(0x11, 0x22, 0x33, 0x44, 0xFF);
            expectedUpdate[static_cast<std::size_t>(pair)] = c.pairByte;
            std::uint8_t flags = 0xFF & ~(3u << (2 * pair));
            if (c.flagBitOffset >= 0) {
                flags |= static_cast<std::uint8_t>(1u << (2 * pair + c.flagBitOffset));
            }
            expectedUpdate[kChannelFlagPosition] = flags;
            EXPECT_EQ(updated, expectedUpdate) << "pair " << pair;
        }
    }
}

TEST(ParameterRecordRoundTrip, EveryPairByteComesBackWithoutItsUnusedBits) {
    for (int value = 0; value < 256; ++value) {
        for (int pair = 0; pair < kChannelPairCount; ++pair) {
            ByteArray bytes = WithTail(0, 0, 0, 0, static_cast<std::uint8_t>(value));
            bytes[static_cast<std::size_t>(pair)] = static_cast<std::uint8_t>(value);
            ChannelPairRecords records;
            for (int k = 0; k < kChannelPairCount; ++k) {
                records[static_cast<std::size_t>(k)] = DecodePair(bytes, k);
            }
            ByteArray encoded = bytes;
            EncodeAllPairs(encoded, records);
            EXPECT_EQ(encoded[static_cast<std::size_t>(pair)], value & 0xFC) << value;
            EXPECT_EQ(encoded[kChannelFlagPosition], value) << value;
            ExpectTailUnchanged(encoded);

            ByteArray updated = bytes;
            UpdatePair(updated, pair, records[static_cast<std::size_t>(pair)]);
            EXPECT_EQ(updated[static_cast<std::size_t>(pair)], value & 0xFC) << value;
            EXPECT_EQ(updated[kChannelFlagPosition], value) << value;
            ExpectTailUnchanged(updated);
        }
    }
}

TEST(ParameterRecordRoundTrip, FullEncodingDropsFlagsTheUpdateKeeps) {
    // Pair 2 sets ChannelB: the update keeps the other pairs' flag bits, the
    // full encoding rebuilds the flag byte from the records alone.
    const ChannelPairRecord record{.ChannelB = true};
    ByteArray updated = WithTail(0, 0, 0, 0, 0x03);
    UpdatePair(updated, 2, record);
    EXPECT_EQ(updated[kChannelFlagPosition], 0x23);

    ChannelPairRecords records{};
    records[2] = record;
    ByteArray full = WithTail(0, 0, 0, 0, 0x03);
    EncodeAllPairs(full, records);
    EXPECT_EQ(full[kChannelFlagPosition], 0x20);
}

TEST(ParameterRecordShortData, IsRefusedWithoutTouchingTheBytes) {
    for (std::size_t size = 0; size < kUsedParameterBytes; ++size) {
        ByteArray bytes(size, 0x77);
        EXPECT_FALSE(HasParameterPositions(bytes));
        EXPECT_THROW(DecodePair(bytes, 0), ComError);
        EXPECT_THROW(EncodeAllPairs(bytes, ChannelPairRecords{}), ComError);
        EXPECT_THROW(UpdatePair(bytes, 0, ChannelPairRecord{}), ComError);
        EXPECT_EQ(bytes, ByteArray(size, 0x77));
    }
    EXPECT_TRUE(HasParameterPositions(ByteArray(5, 0)));
    EXPECT_THROW(DecodePair(ByteArray(5, 0), 4), ComError);
    EXPECT_THROW(DecodePair(ByteArray(5, 0), -1), ComError);
}

TEST(ParameterRecordSetBit, SetsAndClearsOnlyTheNamedBit) {
    for (int value = 0; value < 256; ++value) {
        for (std::uint8_t bit = 0; bit < 8; ++bit) {
            const auto byteValue = static_cast<std::uint8_t>(value);
            EXPECT_EQ(SetBit(byteValue, bit, true), value | (1 << bit));
            EXPECT_EQ(SetBit(byteValue, bit, false), value & (255 - (1 << bit)));
        }
    }
}

TEST(ParameterRecordDecToBin, WritesExactlyNoOfBitsDigitsMostSignificantFirst) {
    std::int16_t bits = 8;
    EXPECT_EQ(DecToBin(5, bits), QStringLiteral("00000101"));
    EXPECT_EQ(bits, 8);
    bits = 8;
    EXPECT_EQ(DecToBin(0, bits), QStringLiteral("00000000"));
    bits = 8;
    EXPECT_EQ(DecToBin(255, bits), QStringLiteral("11111111"));
    EXPECT_EQ(bits, 8);
    bits = 0;
    EXPECT_EQ(DecToBin(0, bits), QString());
    EXPECT_EQ(bits, 0);
    bits = 4;
    EXPECT_EQ(DecToBin(9, bits), QStringLiteral("1001"));
}

TEST(ParameterRecordDecToBin, GrowsNoOfBitsByEightUntilTheValueFits) {
    std::int16_t bits = 8;
    EXPECT_EQ(DecToBin(256, bits), QStringLiteral("0000000100000000"));
    EXPECT_EQ(bits, 16);
    bits = 8;
    EXPECT_EQ(DecToBin(300, bits), QStringLiteral("0000000100101100"));
    EXPECT_EQ(bits, 16);
    bits = 8;
    EXPECT_EQ(DecToBin(65536, bits), QStringLiteral("000000010000000000000000"));
    EXPECT_EQ(bits, 24);
    bits = 8;
    EXPECT_EQ(DecToBin((1 << 24) - 1, bits), QString(24, QLatin1Char('1')));
    EXPECT_EQ(bits, 24);
    bits = 0;
    EXPECT_EQ(DecToBin(1, bits), QStringLiteral("00000001"));
    EXPECT_EQ(bits, 8);
}

} // namespace
} // namespace rq16
