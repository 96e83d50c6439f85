// (a) One output values block decoded into the eight channel elements, beside
//     the same eight widget updates done directly on plain widgets.
// (b) N Observation views cycling every 500 ms against the simulated module
//     for a fixed wall time: CPU time per second of wall time, and resident
//     memory per view. Run one N per process for clean memory figures:
//     observation_bench --benchmark_filter='ObservationViews/50$'

#include "ChannelObservation.h"
#include "Observation.h"

#include "frame/ComponentRegistry.h"
#include "simulator/SimulatedModule.h"
#include "standins/StandInComponents.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"

#include "ProcessMeasures.h"

#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

using namespace rq16;
using namespace rq16::bench;

namespace {

// Every channel's value changes from one block to the other; the state
// picture (valid, unforced) stays.
const ByteArray kBlockA{0x00, 0x00, 0x00, 0x55};
const ByteArray kBlockB{0x00, 0x00, 0x00, 0xAA};

void BM_DecodeIntoElements(benchmark::State& state) {
    standins::StandInComponentFactory factory;
    SetComponentFactory(&factory);
    simulator::SimulatedModule module;
    standins::SimulatedCommunication comm(module);
    standins::RQ16Dtm dtm;
    dtm.SetCommunication(&comm);
    Observation view;
    view.IDtmActiveXControl_Init(QStringLiteral("INIT"), QString(), &dtm);
    bool flip = false;
    for (auto _ : state) {
        view.ParseModuleOutputValues(flip ? kBlockA : kBlockB);
        flip = !flip;
    }
    SetComponentFactory(nullptr);
}
BENCHMARK(BM_DecodeIntoElements);

/// The widgets of one channel, updated without the element.
struct PlainChannel {
    QLineEdit master{QStringLiteral("0")};
    QLineEdit terminal{QStringLiteral("0")};
    DiodeShape diode;
    QLabel picture;
};

void BM_DirectWidgetUpdates(benchmark::State& state) {
    std::array<PlainChannel, 8> channels;
    bool flip = false;
    for (auto _ : state) {
        const std::uint8_t mask = (flip ? kBlockA : kBlockB)[3];
        for (int i = 0; i < 8; ++i) {
            PlainChannel& channel = channels[static_cast<std::size_t>(i)];
            const bool on = ((mask >> i) & 1) != 0;
            channel.master.setText(on ? QStringLiteral("1") : QStringLiteral("0"));
            channel.terminal.setText(on ? QStringLiteral("1") : QStringLiteral("0"));
            channel.terminal.setVisible(true);
            channel.diode.setFillColor(
                QColor::fromRgb(on ? ChannelObservation::kDiodeOn : ChannelObservation::kDiodeOff));
        }
        flip = !flip;
    }
}
BENCHMARK(BM_DirectWidgetUpdates);

void BM_ObservationViews(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    constexpr int kWallMs = 5000;
    standins::StandInComponentFactory factory;
    SetComponentFactory(&factory);
    simulator::SimulatedModule module;
    module.connectionFaults().latencyMs = 30;
    standins::SimulatedCommunication comm(module);
    standins::RQ16Dtm dtm;
    dtm.SetCommunication(&comm);
    dtm.SetControlCreator([](const QString&, QWidget* parent) { return new Observation(parent); });
    // The views side by side in one shown window that has room for four of
    // them, as a screen would; the others are updated but lie outside it.
    // (As many top-level windows, Qt's window activation alone costs O(N^2).)
    QWidget window;
    window.resize(2 * 660, 2 * 420);
    window.show();
    int opened = 0;
    const auto open = [&] {
        QWidget* view = dtm.OpenFunction(QStringLiteral("RQ16Controls.Observation"), &window);
        view->move((opened % 2) * 660, (opened / 2) * 420);
        view->show();
        ++opened;
    };
    // One view first, so that what every process loads once is not counted.
    open();
    RunEventLoop(1000);
    const double residentBefore = ResidentKiB();
    for (int i = 0; i < count; ++i) {
        open();
    }
    RunEventLoop(1000); // all connected and cycling
    for (auto _ : state) {
        const double cpuBefore = CpuSeconds();
        RunEventLoop(kWallMs);
        state.counters["cpu_percent_of_one_core"] =
            100.0 * (CpuSeconds() - cpuBefore) / (kWallMs / 1000.0);
    }
    state.counters["resident_KiB_per_view"] = (ResidentKiB() - residentBefore) / count;
    state.counters["reads"] = static_cast<double>(comm.requests().size());
    dtm.ReleaseAllViews();
    RunEventLoop(200);
    SetComponentFactory(nullptr);
}
BENCHMARK(BM_ObservationViews)
    ->Arg(1)
    ->Arg(10)
    ->Arg(50)
    ->Arg(200)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
