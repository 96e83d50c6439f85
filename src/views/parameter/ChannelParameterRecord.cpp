#include "ChannelParameterRecord.h"

namespace rq16 {

namespace {

void CheckPair(int pair) {
    if (pair < 0 || pair >= kChannelPairCount) {
        throw ComError(kErrInvalidArg, QStringLiteral("channel pair %1 does not exist").arg(pair));
    }
}

std::uint8_t FlagMask(int bit) {
    return static_cast<std::uint8_t>(1u << bit);
}

} // namespace

void RequireParameterPositions(const ByteArray& bytes) {
    if (!HasParameterPositions(bytes)) {
        throw ComError(kErrInvalidArg, QStringLiteral("parameter data has %1 bytes, %2 are needed")
                                           .arg(bytes.size())
                                           .arg(kUsedParameterBytes));
    }
}

ChannelPairRecord DecodePair(const ByteArray& bytes, int pair) {
    RequireParameterPositions(bytes);
    CheckPair(pair);
    const std::uint8_t pairByte = bytes[static_cast<std::size_t>(pair)];
    const std::uint8_t flags = bytes[kChannelFlagPosition];
    ChannelPairRecord record;
    record.InvertedPolarity = (pairByte & kInvertedPolarityBit) != 0;
    record.ShortCircuitCurrent = (pairByte & kShortCircuitCurrentBit) != 0 ? 1 : 0;
    record.FailSafeParameter = pairByte & kFailSafeParameterBits;
    record.ChannelA = (flags & FlagMask(2 * pair)) != 0;
    record.ChannelB = (flags & FlagMask(2 * pair + 1)) != 0;
    return record;
}

namespace {

std::uint8_t EncodePairByte(const ChannelPairRecord& record) {
    std::uint8_t pairByte = record.FailSafeParameter & kFailSafeParameterBits;
    if (record.InvertedPolarity) {
        pairByte |= kInvertedPolarityBit;
    }
    if (record.ShortCircuitCurrent == kLocking) {
        pairByte |= kShortCircuitCurrentBit;
    }
    return pairByte;
}

} // namespace

void EncodeAllPairs(ByteArray& bytes, const ChannelPairRecords& records) {
    RequireParameterPositions(bytes);
    std::uint8_t flags = 0;
    for (int pair = 0; pair < kChannelPairCount; ++pair) {
        const ChannelPairRecord& record = records[static_cast<std::size_t>(pair)];
        bytes[static_cast<std::size_t>(pair)] = EncodePairByte(record);
        if (record.ChannelA) {
            flags |= FlagMask(2 * pair);
        }
        if (record.ChannelB) {
            flags |= FlagMask(2 * pair + 1);
        }
    }
    bytes[kChannelFlagPosition] = flags;
}

void UpdatePair(ByteArray& bytes, int pair, const ChannelPairRecord& record) {
    RequireParameterPositions(bytes);
    CheckPair(pair);
    bytes[static_cast<std::size_t>(pair)] = EncodePairByte(record);
    std::uint8_t& flags = bytes[kChannelFlagPosition];
    flags = SetBit(flags, static_cast<std::uint8_t>(2 * pair), record.ChannelA);
    flags = SetBit(flags, static_cast<std::uint8_t>(2 * pair + 1), record.ChannelB);
}

std::uint8_t SetBit(std::uint8_t byteValue, std::uint8_t bitNumber, bool value) {
    const auto mask = static_cast<std::uint8_t>(1u << (bitNumber & 7u));
    return value ? static_cast<std::uint8_t>(byteValue | mask)
                 : static_cast<std::uint8_t>(byteValue & (255u - mask));
}

QString DecToBin(std::int32_t deciValue, std::int16_t& noOfBits) {
    // Growing stops at 24 digits, the widest this conversion supports, so an
    // out-of-range value cannot make the count run away.
    constexpr std::int16_t kMaxBits = 24;
    const auto largest = [](std::int16_t bits) -> std::int64_t {
        return bits < 0 ? -1 : (std::int64_t{1} << bits) - 1;
    };
    while (noOfBits < kMaxBits && largest(noOfBits) < deciValue) {
        noOfBits = static_cast<std::int16_t>(noOfBits + 8);
    }
    QString result;
    for (int i = noOfBits - 1; i >= 0; --i) {
        const bool set = i < 32 && ((static_cast<std::uint32_t>(deciValue) >> i) & 1u) != 0;
        result.append(set ? QLatin1Char('1') : QLatin1Char('0'));
    }
    return result;
}

} // namespace rq16
