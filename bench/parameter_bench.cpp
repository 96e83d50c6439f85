// The channel parameter record conversions, and a re-read of the parameter
// data in the Parameter view (module and channel documents, parameter bytes,
// all four elements) on the DTM stand-in.

#include "views/parameter/ChannelParameterRecord.h"
#include "views/parameter/Parameter.h"

#include "frame/ComponentRegistry.h"
#include "standins/StandInComponents.h"
#include "standins/dtm/RQ16Dtm.h"

#include <benchmark/benchmark.h>

namespace {

rq16::ByteArray SampleBytes(int variant) {
    const auto v = static_cast<std::uint8_t>(variant);
    return {static_cast<std::uint8_t>(0xA4 ^ v), static_cast<std::uint8_t>(0x58 ^ v),
            static_cast<std::uint8_t>(0x9C ^ v), static_cast<std::uint8_t>(0x34 ^ v),
            static_cast<std::uint8_t>(0x96 ^ v)};
}

void BM_DecodeAllPairs(benchmark::State& state) {
    const rq16::ByteArray bytes = SampleBytes(0);
    for (auto _ : state) {
        rq16::ChannelPairRecords records;
        for (int k = 0; k < rq16::kChannelPairCount; ++k) {
            records[static_cast<std::size_t>(k)] = rq16::DecodePair(bytes, k);
        }
        benchmark::DoNotOptimize(records);
    }
}
BENCHMARK(BM_DecodeAllPairs);

void BM_EncodeAllPairs(benchmark::State& state) {
    rq16::ByteArray bytes = SampleBytes(0);
    rq16::ChannelPairRecords records;
    for (int k = 0; k < rq16::kChannelPairCount; ++k) {
        records[static_cast<std::size_t>(k)] = rq16::DecodePair(bytes, k);
    }
    for (auto _ : state) {
        rq16::EncodeAllPairs(bytes, records);
        benchmark::DoNotOptimize(bytes.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EncodeAllPairs);

void BM_UpdateAllPairsOneByOne(benchmark::State& state) {
    rq16::ByteArray bytes = SampleBytes(0);
    const rq16::ChannelPairRecord record{.FailSafeParameter = 0xA0, .ChannelB = true};
    for (auto _ : state) {
        for (int k = 0; k < rq16::kChannelPairCount; ++k) {
            rq16::UpdatePair(bytes, k, record);
        }
        benchmark::DoNotOptimize(bytes.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_UpdateAllPairsOneByOne);

// GetAllValues followed by ShowAllValues, as a ParameterChanged event runs
// them; the bytes alternate so every element really changes.
void BM_ViewGetAndShowAllValues(benchmark::State& state) {
    rq16::standins::StandInComponentFactory factory;
    rq16::SetComponentFactory(&factory);
    rq16::standins::RQ16Dtm dtm;
    auto* view = new rq16::Parameter;
    view->IDtmActiveXControl_Init(QStringLiteral("INIT"), QString(), &dtm);
    rq16::standins::DataSet data;
    int variant = 0;
    for (auto _ : state) {
        data.parameterBytes = SampleBytes(variant);
        dtm.parameters().Replace(data);
        variant ^= 0xFF;
        view->ParameterManager_ParameterChanged();
    }
    view->IDtmActiveXControl_PrepareToRelease();
    delete view;
    rq16::SetComponentFactory(nullptr);
}
BENCHMARK(BM_ViewGetAndShowAllValues)->Unit(benchmark::kMicrosecond);

} // namespace
