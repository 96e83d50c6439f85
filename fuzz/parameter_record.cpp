// The module's parameter bytes as the data set holds them.
#include "ChannelParameterRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    rq16::ByteArray bytes(data, data + size);
    if (!rq16::HasParameterPositions(bytes)) {
        return 0;
    }
    rq16::ChannelPairRecords records;
    for (int k = 0; k < rq16::kChannelPairCount; ++k) {
        records[static_cast<std::size_t>(k)] = rq16::DecodePair(bytes, k);
    }
    rq16::ByteArray encoded = bytes;
    rq16::EncodeAllPairs(encoded, records);
    for (int k = 0; k < rq16::kChannelPairCount; ++k) {
        // Decoding what was encoded gives the same records.
        if (!(rq16::DecodePair(encoded, k) == records[static_cast<std::size_t>(k)])) {
            __builtin_trap();
        }
    }
    std::int16_t bits = static_cast<std::int16_t>(bytes[0] % 40);
    rq16::DecToBin(static_cast<std::int32_t>(bytes[1]) << (bytes[2] % 24), bits);
    return 0;
}
