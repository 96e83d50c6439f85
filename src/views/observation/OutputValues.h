#pragma once
// The output values block that the module returns to the read request of the
// cyclic views, and its decoding into one (value, forced) pair per channel.
//
// Byte 1 is the force mask, byte 3 the output value mask; bytes 0 and 2 are
// not interpreted and bytes after 3 are ignored. Bit i (value 2^i) belongs to
// the channel element with index i, whose channel number is i + 1. The force
// values block that a write request carries has the same layout.

#include "host/Constants.h"
#include "host/Types.h"

#include <cstddef>
#include <cstdint>

namespace rq16::observation {

inline constexpr std::size_t kForceMaskByte = 1;
inline constexpr std::size_t kOutputValueByte = 3;
/// A block needs this many bytes to be decoded.
inline constexpr std::size_t kOutputValuesBlockSize = 4;

/// Which mask of the block a view shows as the channel value.
enum class ShownMask {
    OutputValues, ///< value from byte 3, forced flag from byte 1
    ForceMask,    ///< value from byte 1, never forced
};

/// What one channel element is given from a block.
struct ChannelValue {
    bool value = false;
    bool forced = false;

    friend bool operator==(const ChannelValue&, const ChannelValue&) = default;
};

/// True if bit `index` (0 to 7) of `mask` is set.
constexpr bool MaskBit(std::uint8_t mask, int index) {
    return ((mask >> index) & 1U) != 0;
}

/// The value of channel element `index` (0 to 7) in `block`. Throws ComError
/// when the block is shorter than four bytes.
ChannelValue DecodeChannel(const ByteArray& block, int index, ShownMask shown);

} // namespace rq16::observation
