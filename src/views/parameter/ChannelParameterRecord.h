#pragma once
// The module's parameter bytes and the record of one channel pair.
//
// Pair k (0 to 3) holds channels 2k+1 and 2k+2. Positions 0 to 3 of the
// parameter bytes are the pair bytes, position 4 is the channel flag byte
// (bit j belongs to channel j+1). Positions beyond 4 are never touched.

#include "host/Types.h"

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>

namespace rq16 {

inline constexpr int kChannelPairCount = 4;
/// Position of the channel flag byte.
inline constexpr std::size_t kChannelFlagPosition = 4;
/// Number of positions the record conversions use.
inline constexpr std::size_t kUsedParameterBytes = 5;

// Bits of a pair byte.
inline constexpr std::uint8_t kShortDetectionOffBit = 0x80;
inline constexpr std::uint8_t kOpenLineDetectionOffBit = 0x40;
inline constexpr std::uint8_t kFailsafeValueBits = 0x30;
inline constexpr std::uint8_t kFailSafeParameterBits = 0xF0;
inline constexpr std::uint8_t kShortCircuitCurrentBit = 0x08;
inline constexpr std::uint8_t kInvertedPolarityBit = 0x04;

/// Failsafe value choices (bits 5 and 4 of a pair byte, shifted down).
enum FailsafeValueIndex : int { kFailsafeMin = 0, kFailsafeMax = 1, kFailsafeLastValid = 2 };
/// Short-circuit current choices.
enum ShortCircuitCurrentIndex : int { kNonLocking = 0, kLocking = 1 };

/// The values of one channel pair as its channel element holds them.
struct ChannelPairRecord {
    std::uint8_t FailSafeParameter = 0; ///< bits 7 to 4 of the pair byte
    bool InvertedPolarity = false;
    std::uint8_t ShortCircuitCurrent = 0; ///< 0 non-locking, 1 locking
    bool ChannelA = false;                ///< channel 2k+1
    bool ChannelB = false;                ///< channel 2k+2

    friend bool operator==(const ChannelPairRecord&, const ChannelPairRecord&) = default;
};

using ChannelPairRecords = std::array<ChannelPairRecord, kChannelPairCount>;

/// True if `bytes` has every position the conversions use.
inline bool HasParameterPositions(const ByteArray& bytes) {
    return bytes.size() >= kUsedParameterBytes;
}

/// Throws ComError if `bytes` is shorter than the five used positions.
void RequireParameterPositions(const ByteArray& bytes);

/// Decodes pair `pair` (0 to 3). Throws ComError on short data.
ChannelPairRecord DecodePair(const ByteArray& bytes, int pair);

/// Rebuilds the four pair bytes and the whole channel flag byte from the
/// records; bits 1 and 0 of every pair byte become 0. Throws ComError on
/// short data.
void EncodeAllPairs(ByteArray& bytes, const ChannelPairRecords& records);

/// Rewrites pair byte `pair` and the pair's two flag bits from `record`; the
/// flag bits of the other pairs keep their values. Throws ComError on short
/// data.
void UpdatePair(ByteArray& bytes, int pair, const ChannelPairRecord& record);

/// `byteValue` with bit `bitNumber` (0 to 7) set or cleared.
std::uint8_t SetBit(std::uint8_t byteValue, std::uint8_t bitNumber, bool value);

/// The binary digits of `deciValue`, most significant first. `noOfBits` grows
/// by 8 until 2^noOfBits - 1 is at least `deciValue`; the result has exactly
/// that many digits. Values from 0 to 2^24 - 1 are supported.
QString DecToBin(std::int32_t deciValue, std::int16_t& noOfBits);

} // namespace rq16
