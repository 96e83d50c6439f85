// The output values block of a read answer.
#include "OutputValues.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rq16::observation;
    try {
        for (int index = 0; index < rq16::kChannelCount; ++index) {
            DecodeChannel(rq16::ByteArray(data, data + size), index, ShownMask::OutputValues);
            if (DecodeChannel(rq16::ByteArray(data, data + size), index, ShownMask::ForceMask)
                    .forced) {
                __builtin_trap(); // the force mask itself is never shown as forced
            }
        }
    } catch (const rq16::ComError&) {
    }
    return 0;
}
