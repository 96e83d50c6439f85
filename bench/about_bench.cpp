// Creating, initialising and releasing the About view against the recording
// fakes of the host.

#include "views/about/About.h"

#include "FakeHost.h"

#include <benchmark/benchmark.h>

namespace {

void BM_AboutLifecycle(benchmark::State& state) {
    rq16::test::CallLog log;
    rq16::test::FakeComponentFactory factory(log);
    rq16::test::FakeResourceManager::logLookups() = false;
    rq16::test::FakeDtm dtm(log);
    for (auto _ : state) {
        auto* view = new rq16::About;
        view->IDtmActiveXControl_Init(QStringLiteral("INIT"), QString(), &dtm);
        view->IDtmActiveXControl_PrepareToRelease();
        delete view;
        log.clear();
    }
}
BENCHMARK(BM_AboutLifecycle)->Unit(benchmark::kMicrosecond);

} // namespace
