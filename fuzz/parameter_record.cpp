// The module's parameter bytes as the data set holds them.
#include "ChannelParameterRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    rq16::ByteArray bytes(data, data + size);
    if (rq16::HasParameterPositions(bytes)) {
        rq16::ChannelPairRecords records;
        for (int k = 0; k < rq16::kChannelPairCount; ++k) {
            records.at(static_cast<std::size_t>(k)) = rq16::DecodePair(bytes, k);
        }
        rq16::EncodeAllPairs(bytes, records);
        if (!(rq16::DecodePair(bytes, 3) == records[3])) {
            __builtin_trap(); // what was encoded decodes the same
        }
    }
    return 0;
}
