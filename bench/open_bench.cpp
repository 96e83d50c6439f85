// Opening each view as a frame application does: create it, Init on the
// stand-ins, show it, and its first complete paint; for the online views
// the first paint after the first answer of the simulated module (no
// latency) is shown. Beside them the same for an empty window of the same
// size, the least a shown and painted window costs here.
//
// The time of every open is measured; first_open_ms is the first open of the
// view in this process, before any cache (fonts, pictures, texts) is warm.

#include "views/about/About.h"
#include "views/diagnosis/Diagnosis.h"
#include "views/identification/Identification.h"
#include "views/observation/Observation.h"
#include "views/parameter/Parameter.h"
#include "views/simulation/Simulation.h"

#include "frame/ComponentRegistry.h"
#include "simulator/SimulatedModule.h"
#include "standins/StandInComponents.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

using namespace rq16;

namespace {

/// Watches the paint events of a window and everything inside it: done once
/// a paint pass starts while the window is ready (the data it waits for is
/// shown), so that pass puts the ready window on the screen.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* window, const std::function<bool()>& ready)
        : m_window(window), m_ready(ready) {
        qApp->installEventFilter(this);
    }
    ~PaintWatch() override { qApp->removeEventFilter(this); }
    bool done = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!done && event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget != nullptr && (widget == m_window || m_window->isAncestorOf(widget))) {
                done = m_ready();
            }
        }
        return false;
    }

private:
    QWidget* m_window;
    const std::function<bool()>& m_ready;
};

/// Shows `window` and runs the event loop until it has been painted while
/// `ready` holds. A window that is ready but has nothing left to paint is
/// asked to paint itself again.
void ShowUntilPainted(QWidget* window, const std::function<bool()>& ready) {
    PaintWatch watch(window, ready);
    window->show();
    for (int readyRounds = 0; !watch.done;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (!watch.done && ready() && ++readyRounds == 100) {
            window->update();
        }
    }
}

/// The stand-ins of a frame application, the module answering at once.
struct Host {
    Host() {
        SetComponentFactory(&factory);
        standins::RQ16Dtm::Options options;
        options.state = 6; // online: Identification reads when it opens
        dtm = std::make_unique<standins::RQ16Dtm>(options);
        dtm->SetCommunication(&comm);
        QObject::connect(&comm, &standins::SimulatedCommunication::traffic,
                         [this](const QString& line) {
                             if (line.startsWith(QLatin1String("answer to Transaction"))) {
                                 ++transactionAnswers;
                             }
                         });
    }
    ~Host() {
        dtm.reset();
        QCoreApplication::processEvents();
        SetComponentFactory(nullptr);
    }
    /// Releases every view and waits until they are gone.
    void ReleaseAll() {
        dtm->ReleaseAllViews();
        while (!dtm->OpenViews().isEmpty()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    standins::StandInComponentFactory factory;
    simulator::SimulatedModule module;
    standins::SimulatedCommunication comm{module};
    std::unique_ptr<standins::RQ16Dtm> dtm;
    int transactionAnswers = 0;
};

/// One open, out of line so that a profiler can count exactly the opens:
/// valgrind --tool=callgrind --toggle-collect='*OpenOnce*'
template <typename View, typename Ready> [[gnu::noinline]] void OpenOnce(Host& host, Ready ready) {
    const int answersBefore = host.transactionAnswers;
    auto* view = qobject_cast<View*>(host.dtm->OpenFunction(QStringLiteral("View")));
    ShowUntilPainted(view, [&] { return ready(*view, host.transactionAnswers - answersBefore); });
}

template <typename View, typename Ready> void OpenView(benchmark::State& state, Ready ready) {
    Host host;
    host.dtm->SetControlCreator([](const QString&, QWidget* parent) { return new View(parent); });
    static double first = -1; // per view, over every run in this process
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        OpenOnce<View>(host, ready);
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        if (first < 0) {
            first = seconds;
        }
        host.ReleaseAll();
    }
    state.counters["first_open_ms"] = first * 1000;
}

void BM_OpenEmptyWindow(benchmark::State& state) {
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto window = std::make_unique<QWidget>();
        window->resize(600, 540);
        new QLabel(QStringLiteral("An empty window"), window.get());
        ShowUntilPainted(window.get(), [] { return true; });
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_OpenEmptyWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_OpenAbout(benchmark::State& state) {
    OpenView<About>(state, [](About&, int) { return true; });
}
BENCHMARK(BM_OpenAbout)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_OpenParameter(benchmark::State& state) {
    OpenView<Parameter>(state, [](Parameter&, int) { return true; });
}
BENCHMARK(BM_OpenParameter)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_OpenDiagnosis(benchmark::State& state) {
    OpenView<Diagnosis>(state, [](Diagnosis& view, int) { return view.diagnosisShown(); });
}
BENCHMARK(BM_OpenDiagnosis)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_OpenObservation(benchmark::State& state) {
    OpenView<Observation>(state, [](Observation&, int answers) { return answers > 0; });
}
BENCHMARK(BM_OpenObservation)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_OpenSimulation(benchmark::State& state) {
    OpenView<Simulation>(state, [](Simulation&, int answers) { return answers > 0; });
}
BENCHMARK(BM_OpenSimulation)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_OpenIdentification(benchmark::State& state) {
    // The read sequence that Init starts (kernel online) has shown the data.
    OpenView<Identification>(
        state, [](Identification& view, int) { return view.protocol().state.m_bIMDataRead; });
}
BENCHMARK(BM_OpenIdentification)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
