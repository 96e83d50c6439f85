// A burst of 100 force value changes against the simulated module with
// 20 ms answer latency: how many requests go out, how many are in flight at
// once, and how long until the module holds the last masks and has answered
// the write that carried them (from the first change: the reported time;
// from the last change: ms_after_last_change). The Simulation view (its
// clicks on the value buttons, one write outstanding, later changes sent
// together, its read cycle beside) against a baseline that writes every
// change, each when the previous write is answered.

#include "Simulation.h"

#include "frame/ComponentRegistry.h"
#include "simulator/SimulatedModule.h"
#include "standins/StandInComponents.h"
#include "standins/communication/Documents.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <deque>
#include <map>

using namespace rq16;
namespace docs = standins::documents;

namespace {

constexpr int kChanges = 100;
constexpr int kLatencyMs = 20;
constexpr int kChangeSpacingMs = 2;
constexpr std::int32_t kSlot = 3;

void WaitFor(const std::function<bool()>& done) {
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

/// Counts, from the communication's traffic, the transactions of each kind
/// that are in flight.
class InFlight {
public:
    explicit InFlight(standins::SimulatedCommunication& comm) {
        QObject::connect(&comm, &standins::SimulatedCommunication::traffic, &m_context,
                         [this, &comm](const QString& line) {
                             const QString id = line.section(QLatin1Char(' '), -2, -2);
                             if (line.startsWith(QStringLiteral("Transaction ")) &&
                                 comm.requests().back().accepted) {
                                 Sent(line.section(QLatin1Char(' '), 1, 1),
                                      docs::ParseRequest(comm.requests().back().document)->kind);
                             } else if (line.startsWith(QStringLiteral("answer to Transaction"))) {
                                 m_inFlight.erase(line.section(QLatin1Char(' '), -1));
                             }
                         });
    }
    bool Idle() const { return m_inFlight.empty(); }
    int sent = 0;
    int mostWrites = 0;
    int mostEnables = 0;

private:
    void Sent(const QString& id, docs::RequestKind kind) {
        ++sent;
        m_inFlight[id] = kind;
        const auto count = std::count_if(m_inFlight.begin(), m_inFlight.end(),
                                         [&](const auto& entry) { return entry.second == kind; });
        if (kind == docs::RequestKind::WriteForceValues) {
            mostWrites = std::max(mostWrites, static_cast<int>(count));
        } else if (kind == docs::RequestKind::GlobalForcingEnable) {
            mostEnables = std::max(mostEnables, static_cast<int>(count));
        }
    }
    QObject m_context;
    std::map<QString, docs::RequestKind> m_inFlight;
};

/// Change k of the burst: channel k mod 8, whose value flips each time.
int ChannelOf(int change) {
    return change % 8;
}
bool ValueOf(int change) {
    return (change / 8) % 2 == 0;
}

template <typename Strategy> void RunBurst(benchmark::State& state) {
    standins::StandInComponentFactory factory;
    SetComponentFactory(&factory);
    for (auto _ : state) {
        simulator::SimulatedModule module;
        module.connectionFaults().latencyMs = kLatencyMs;
        standins::SimulatedCommunication comm(module);
        InFlight counter(comm);
        Strategy strategy(comm);
        WaitFor([&] { return strategy.Ready() && counter.Idle(); });
        // Requests are counted for the burst; the most in flight also over
        // the activation of the eight channels before it.
        counter.sent = 0;

        QElapsedTimer clock;
        clock.start();
        int next = 0;
        qint64 lastChangeAt = 0;
        QTimer changes;
        QObject::connect(&changes, &QTimer::timeout, [&] {
            strategy.Change(ChannelOf(next), ValueOf(next));
            if (++next == kChanges) {
                lastChangeAt = clock.nsecsElapsed();
                changes.stop();
            }
        });
        changes.start(kChangeSpacingMs);
        std::uint8_t values = 0;
        for (int k = 0; k < kChanges; ++k) {
            const auto bit = static_cast<std::uint8_t>(1U << ChannelOf(k));
            values = static_cast<std::uint8_t>(ValueOf(k) ? values | bit : values & ~bit);
        }
        WaitFor([&] {
            return next == kChanges && strategy.WritesDone() && module.ForceMask() == 0xFF &&
                   module.ForceValues() == values;
        });
        const qint64 heldAt = clock.nsecsElapsed();
        state.SetIterationTime(static_cast<double>(heldAt) / 1e9);
        state.counters["ms_after_last_change"] = static_cast<double>(heldAt - lastChangeAt) / 1e6;
        state.counters["requests"] = counter.sent;
        state.counters["most_writes_in_flight"] = counter.mostWrites;
        state.counters["most_enables_in_flight"] = counter.mostEnables;
        strategy.Stop();
        WaitFor([&] { return counter.Idle(); });
    }
    SetComponentFactory(nullptr);
}

/// The Simulation view: all eight channels forced, then the value clicks.
class View {
public:
    explicit View(standins::SimulatedCommunication& comm) {
        m_dtm.SetCommunication(&comm);
        m_dtm.SetControlCreator([](const QString&, QWidget* p) { return new Simulation(p); });
        m_view = qobject_cast<Simulation*>(
            m_dtm.OpenFunction(QStringLiteral("RQ16Controls.Simulation")));
        WaitFor([this] { return m_view->IsOnline(); });
        for (int i = 0; i < 8; ++i) {
            m_view->channelSimulation(i)->forcingActivatedBox()->click();
        }
    }
    bool Ready() const { return WritesDone(); }
    void Change(int channel, bool value) {
        m_view->channelSimulation(channel)->valueButton(value)->click();
    }
    bool WritesDone() const {
        return m_view->protocol().state.sForceOutputUpdateInvokeId.isEmpty() &&
               !m_view->protocol().state.blnUpdatePending;
    }
    void Stop() { m_dtm.ReleaseAllViews(); }

private:
    standins::RQ16Dtm m_dtm;
    Simulation* m_view = nullptr;
};

/// Baseline: every change is its own write, sent when the previous write is
/// answered.
class OneWritePerChange : public QObject, public IBaseCommunicationCallback {
public:
    explicit OneWritePerChange(standins::SimulatedCommunication& comm) : m_comm(comm) {
        m_comm.Connect(this, nullptr, QStringLiteral("C"), QStringLiteral("{P}"),
                       docs::ConnectRequest(kSlot, QStringLiteral("{P}")));
        WaitFor([this] { return !m_reference.isEmpty(); });
        m_busy = m_comm.TransactionRequest(m_reference, this, QStringLiteral("E"),
                                           docs::GlobalForcingEnableRequest(m_reference, kSlot));
    }
    ~OneWritePerChange() override { m_comm.Unregister(this); }
    bool Ready() const { return !m_busy; }
    void Change(int channel, bool value) {
        const auto bit = static_cast<std::uint8_t>(1U << channel);
        m_values = static_cast<std::uint8_t>(value ? m_values | bit : m_values & ~bit);
        m_queue.push_back({0, 0xFF, 0, m_values});
        SendNext();
    }
    bool WritesDone() const { return !m_busy && m_queue.empty(); }
    void Stop() {}

    void IBaseCommunicationCallback_OnConnectResponse(const QString&, const QString& r) override {
        m_reference = docs::ParseResponse(r)->communicationReference;
    }
    void IBaseCommunicationCallback_OnTransactionResponse(const QString&, const QString&) override {
        m_busy = false;
        SendNext();
    }
    void IBaseCommunicationCallback_OnDisconnectResponse(const QString&, const QString&) override {}
    void IBaseCommunicationCallback_VerifyConnectionRequest(const QString&,
                                                            const QString&) override {}
    void IBaseCommunicationCallback_OnAbort(const QString&) override {}

private:
    void SendNext() {
        if (m_busy || m_queue.empty()) {
            return;
        }
        m_busy = m_comm.TransactionRequest(
            m_reference, this, QStringLiteral("W%1").arg(++m_id),
            docs::WriteForceValuesRequest(m_reference, kSlot, m_queue.front()));
        m_queue.pop_front();
    }

    standins::SimulatedCommunication& m_comm;
    QString m_reference;
    std::deque<ByteArray> m_queue;
    std::uint8_t m_values = 0;
    bool m_busy = false;
    int m_id = 0;
};

void BM_ForceBurst_SimulationView(benchmark::State& state) {
    RunBurst<View>(state);
}
BENCHMARK(BM_ForceBurst_SimulationView)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

void BM_ForceBurst_OneWritePerChange(benchmark::State& state) {
    RunBurst<OneWritePerChange>(state);
}
BENCHMARK(BM_ForceBurst_OneWritePerChange)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

} // namespace
