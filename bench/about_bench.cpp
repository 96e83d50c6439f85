// Creating, initialising and releasing the About view on the DTM stand-in.

#include "views/about/About.h"

#include "frame/ComponentRegistry.h"
#include "standins/StandInComponents.h"
#include "standins/dtm/RQ16Dtm.h"

#include <benchmark/benchmark.h>

namespace {

void BM_AboutLifecycle(benchmark::State& state) {
    rq16::standins::StandInComponentFactory factory;
    rq16::SetComponentFactory(&factory);
    rq16::standins::RQ16Dtm dtm;
    for (auto _ : state) {
        auto* view = new rq16::About;
        view->IDtmActiveXControl_Init(QStringLiteral("INIT"), QString(), &dtm);
        view->IDtmActiveXControl_PrepareToRelease();
        delete view;
    }
    rq16::SetComponentFactory(nullptr);
}
BENCHMARK(BM_AboutLifecycle)->Unit(benchmark::kMicrosecond);

} // namespace
