// N Observation views cycling every 500 ms as sub-windows of one frame
// window, against the simulated module (30 ms latency, as the frame
// application starts it), for a fixed wall time: CPU time per second of wall
// time and resident memory per view; also the wall time to open all N and
// to release them all again. N = 0 is the frame window alone, the
// baseline. Memory is counted from a frame that has opened and released one
// view already, so what a process loads once is not counted; one N per
// process gives clean figures:
//   frame_bench --benchmark_filter='FrameObservationViews/100/'
// Where the time goes: perf record -g -e cpu-clock on such a run.

#include "FrameWindow.h"
#include "RQ16Controls.h"

#include "simulator/SimulatedModule.h"
#include "standins/StandInComponents.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"

#include "ProcessMeasures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace rq16;
using namespace rq16::bench;

namespace {

// The measured stretch out of line, so that a profiler can take exactly it:
//   valgrind --tool=callgrind --toggle-collect='*CyclingViews*' frame_bench ...
// With RQ16_BENCH_MARK set, its start is told on the standard error, for
// attaching a sampling profiler (perf record -p) to just this stretch.
[[gnu::noinline]] void CyclingViews(int milliseconds) {
    if (qEnvironmentVariableIsSet("RQ16_BENCH_MARK")) {
        std::fprintf(stderr, "cycling\n");
        std::fflush(stderr);
    }
    RunEventLoop(milliseconds);
}

void BM_FrameObservationViews(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    constexpr int kWallMs = 10000;
    const QString observation = QStringLiteral("RQ16Controls.Observation");
    standins::StandInComponentFactory factory;
    SetComponentFactory(&factory);
    simulator::SimulatedModule module;
    module.connectionFaults().latencyMs = 30;
    standins::SimulatedCommunication comm(module);
    standins::RQ16Dtm dtm;
    dtm.SetCommunication(&comm);
    dtm.SetControlCreator(
        [](const QString& progId, QWidget* parent) { return CreateControl(progId, parent); });
    {
        frameapp::FrameWindow window(dtm, comm, module, false);
        window.show();
        window.releaseView(window.openFunction(observation));
        RunEventLoop(1000);
        const double residentBefore = ResidentKiB();
        QElapsedTimer opening;
        opening.start();
        for (int i = 0; i < count; ++i) {
            if (window.openFunction(observation).isEmpty()) {
                state.SkipWithError("a view did not open");
                break;
            }
        }
        state.counters["open_all_s"] = static_cast<double>(opening.nsecsElapsed()) / 1e9;
        RunEventLoop(2000); // all connected and cycling
        int answers = 0;
        QObject::connect(&comm, &standins::SimulatedCommunication::traffic, &window,
                         [&answers](const QString& line) {
                             if (line.startsWith(QLatin1String("answer to Transaction"))) {
                                 ++answers;
                             }
                         });
        double wallSeconds = 1;
        for (auto _ : state) {
            const double cpuBefore = CpuSeconds();
            QElapsedTimer wall;
            wall.start();
            CyclingViews(kWallMs);
            wallSeconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
            state.counters["cpu_percent_of_one_core"] =
                100.0 * (CpuSeconds() - cpuBefore) / wallSeconds;
        }
        state.counters["reads_per_view_per_s"] = count == 0 ? 0.0 : answers / (count * wallSeconds);
        state.counters["resident_KiB_per_view"] =
            count == 0 ? 0.0 : (ResidentKiB() - residentBefore) / count;
        QElapsedTimer releasing;
        releasing.start();
        dtm.ReleaseAllViews();
        while (window.openViewCount() > 0) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        state.counters["release_all_s"] = static_cast<double>(releasing.nsecsElapsed()) / 1e9;
    }
    RunEventLoop(100);
    SetComponentFactory(nullptr);
}
BENCHMARK(BM_FrameObservationViews)
    ->Arg(0)
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
