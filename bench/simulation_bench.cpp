// A burst of 100 force value changes against the simulated module with
// 20 ms answer latency: how many requests go out, how many are in flight at
// once, and how long until the module holds the last masks and has answered
// the write that carried them (from the first change: the reported time;
// from the last change: ms_after_last_change). The forcing
// rules (one write outstanding, later changes sent together) beside one
// write per change, each sent when the previous one is answered.

#include "ForceRequests.h"

#include "simulator/SimulatedModule.h"
#include "standins/communication/Documents.h"
#include "standins/communication/SimulatedCommunication.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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

/// Sends over the simulated communication and counts the requests of each
/// kind that are in flight.
class Client : public QObject, public IBaseCommunicationCallback {
public:
    explicit Client(standins::SimulatedCommunication& comm) : m_comm(comm) {
        m_comm.Connect(this, nullptr, QStringLiteral("C"), QStringLiteral("{P}"),
                       docs::ConnectRequest(kSlot, QStringLiteral("{P}")));
        while (reference.isEmpty()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
    }
    ~Client() override { m_comm.Unregister(this); }

    bool Send(const QString& id, const QString& request) {
        const auto kind = docs::ParseRequest(request)->kind;
        if (!m_comm.TransactionRequest(reference, this, id, request)) {
            return false;
        }
        ++sent;
        m_inFlight[id] = kind;
        const auto count = std::count_if(m_inFlight.begin(), m_inFlight.end(),
                                         [&](const auto& entry) { return entry.second == kind; });
        auto& most = kind == docs::RequestKind::GlobalForcingEnable ? mostEnables : mostWrites;
        if (kind != docs::RequestKind::SimulationRead) {
            most = std::max(most, static_cast<int>(count));
        }
        return true;
    }
    bool Idle() const { return m_inFlight.empty(); }

    std::function<void(const QString&)> onAnswer;
    QString reference;
    int sent = 0;
    int mostWrites = 0;
    int mostEnables = 0;

    void IBaseCommunicationCallback_OnConnectResponse(const QString&, const QString& r) override {
        reference = docs::ParseResponse(r)->communicationReference;
    }
    void IBaseCommunicationCallback_OnTransactionResponse(const QString& id,
                                                          const QString&) override {
        m_inFlight.erase(id);
        if (onAnswer) {
            onAnswer(id);
        }
    }
    void IBaseCommunicationCallback_OnDisconnectResponse(const QString&, const QString&) override {}
    void IBaseCommunicationCallback_VerifyConnectionRequest(const QString&,
                                                            const QString&) override {}
    void IBaseCommunicationCallback_OnAbort(const QString&) override {}

private:
    standins::SimulatedCommunication& m_comm;
    std::map<QString, docs::RequestKind> m_inFlight;
};

/// The forcing rules of the Simulation view over the client.
class RulesConnection : public IForcingConnection {
public:
    explicit RulesConnection(Client& client) : m_client(client) {}
    QString ForcingReference() override { return m_client.reference; }
    QString NewForcingInvokeId() override { return QStringLiteral("F%1").arg(++m_id); }
    bool SendForcingTransaction(const QString& id, const QString& request) override {
        return m_client.Send(id, request);
    }
    QString WriteForceValuesRequest(const ByteArray& block) override {
        return docs::WriteForceValuesRequest(m_client.reference, kSlot, block);
    }
    void SetEnableForceTimer(bool) override {}
    void ReportTransactionFailed(const QString&) override {}
    void LogForcing(const QString&, const QString&) override {}
    void ReadBack() override {
        m_client.Send(QStringLiteral("R%1").arg(++m_id),
                      docs::SimulationReadRequest(m_client.reference, kSlot));
    }

private:
    Client& m_client;
    int m_id = 0;
};

/// Change k of the burst: a value for channel k mod 8.
int ChannelOf(int change) {
    return change % 8;
}
bool ValueOf(int change) {
    return (change / 8) % 2 == 0;
}

template <typename Strategy> void RunBurst(benchmark::State& state) {
    for (auto _ : state) {
        simulator::SimulatedModule module;
        module.connectionFaults().latencyMs = kLatencyMs;
        standins::SimulatedCommunication comm(module);
        Client client(comm);
        Strategy strategy(client);

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
            values = static_cast<std::uint8_t>(ValueOf(k) ? values | 1U << ChannelOf(k)
                                                          : values & ~(1U << ChannelOf(k)));
        }
        const auto holdsLastMasks = [&] {
            return next == kChanges && strategy.WritesDone() && module.ForceMask() == 0xFF &&
                   module.ForceValues() == values;
        };
        while (!holdsLastMasks()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        const qint64 heldAt = clock.nsecsElapsed();
        while (!client.Idle()) { // the answers still due, for the counts
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        state.SetIterationTime(static_cast<double>(heldAt) / 1e9);
        state.counters["ms_after_last_change"] = static_cast<double>(heldAt - lastChangeAt) / 1e6;
        state.counters["requests"] = client.sent;
        state.counters["most_writes_in_flight"] = client.mostWrites;
        state.counters["most_enables_in_flight"] = client.mostEnables;
    }
}

/// The view's rules: all eight channels forced first, then the value burst.
class Rules {
public:
    explicit Rules(Client& client) : m_connection(client), m_force(m_connection) {
        client.onAnswer = [this](const QString& id) { m_force.OnTransactionAnswer(id); };
        m_force.Connected(docs::GlobalForcingEnableRequest(client.reference, kSlot));
        for (int i = 0; i < 8; ++i) {
            m_force.ForceActivatedChanged(i, true);
        }
    }
    void Change(int channel, bool value) { m_force.ForceValueChanged(channel, value); }
    bool WritesDone() const {
        return m_force.ForceOutputUpdateInvokeId().isEmpty() && !m_force.UpdatePending();
    }

private:
    RulesConnection m_connection;
    ForceRequests m_force;
};

/// Baseline: every change is its own write, sent when the previous write is
/// answered.
class OneWritePerChange {
public:
    explicit OneWritePerChange(Client& client) : m_client(client) {
        client.onAnswer = [this](const QString&) {
            m_busy = false;
            SendNext();
        };
        m_client.Send(QStringLiteral("E"),
                      docs::GlobalForcingEnableRequest(client.reference, kSlot));
        m_busy = true;
    }
    void Change(int channel, bool value) {
        m_values = static_cast<std::uint8_t>(value ? m_values | 1U << channel
                                                   : m_values & ~(1U << channel));
        m_queue.push_back({0, 0xFF, 0, m_values});
        SendNext();
    }
    bool WritesDone() const { return !m_busy && m_queue.empty(); }

private:
    void SendNext() {
        if (m_busy || m_queue.empty()) {
            return;
        }
        m_busy = m_client.Send(
            QStringLiteral("W%1").arg(++m_id),
            docs::WriteForceValuesRequest(m_client.reference, kSlot, m_queue.front()));
        m_queue.pop_front();
    }

    Client& m_client;
    std::deque<ByteArray> m_queue;
    std::uint8_t m_values = 0;
    bool m_busy = false;
    int m_id = 0;
};

void BM_ForceBurst_Rules(benchmark::State& state) {
    RunBurst<Rules>(state);
}
BENCHMARK(BM_ForceBurst_Rules)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ForceBurst_OneWritePerChange(benchmark::State& state) {
    RunBurst<OneWritePerChange>(state);
}
BENCHMARK(BM_ForceBurst_OneWritePerChange)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

} // namespace
