#include "OutputValues.h"

#include <QString>

namespace rq16::observation {

namespace {
/// Error number of an index outside an array ("Subscript out of range").
constexpr std::int32_t kErrSubscript = 9;
} // namespace

ChannelValue DecodeChannel(const ByteArray& block, int index, ShownMask shown) {
    if (block.size() < kOutputValuesBlockSize) {
        throw ComError(kErrSubscript,
                       QStringLiteral("Subscript out of range: the output values block has %1 "
                                      "bytes, %2 are needed")
                           .arg(block.size())
                           .arg(kOutputValuesBlockSize));
    }
    const std::uint8_t forceMask = block[kForceMaskByte];
    if (shown == ShownMask::ForceMask) {
        return {MaskBit(forceMask, index), false};
    }
    return {MaskBit(block[kOutputValueByte], index), MaskBit(forceMask, index)};
}

} // namespace rq16::observation
