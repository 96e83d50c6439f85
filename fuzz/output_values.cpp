// The output values block of a read answer.
#include "OutputValues.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const rq16::ByteArray block(data, data + size);
    using rq16::observation::ShownMask;
    for (int index = 0; index < rq16::observation::kChannelCount; ++index) {
        try {
            const auto shown = rq16::observation::DecodeChannel(block, index, ShownMask::ForceMask);
            rq16::observation::DecodeChannel(block, index, ShownMask::OutputValues);
            if (shown.forced) {
                __builtin_trap(); // the force mask itself is never shown as forced
            }
        } catch (const rq16::ComError&) {
        }
    }
    return 0;
}
