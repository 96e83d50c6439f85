// Decoding a diagnosis telegram, showing it in the view (every line new, and
// one fault moving on), and one full reread cycle against the simulated
// module beside the same cycle without the view.

#include "Diagnosis.h"
#include "TelegramDecoder.h"

#include "frame/ComponentRegistry.h"
#include "simulator/SimulatedModule.h"
#include "standins/StandInComponents.h"
#include "standins/communication/Documents.h"
#include "standins/communication/ResponseParser.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace rq16;

namespace {

class TableTexts : public diagnosis::ITextSource {
public:
    QString CommonText(std::int32_t id) override {
        return QStringLiteral("Text number %1").arg(id);
    }
    QString ChannelLabelWord() override { return QStringLiteral("Channel"); }
};

const ByteArray kTelegramA{0x02, 0x11, 0x15, 0x32, 0x69, 0x85};
const ByteArray kTelegramB{0x00, 0x21, 0x43, 0x7A};

void BM_DecodeTelegram(benchmark::State& state) {
    TableTexts texts;
    for (auto _ : state) {
        benchmark::DoNotOptimize(diagnosis::DecodeTelegram(kTelegramA, texts));
    }
}
BENCHMARK(BM_DecodeTelegram);

/// The stand-ins a view runs on, installed for the object's lifetime.
struct StandIns {
    StandIns() {
        SetComponentFactory(&factory);
        dtm.SetCommunication(&comm);
    }
    ~StandIns() { SetComponentFactory(nullptr); }
    standins::StandInComponentFactory factory;
    simulator::SimulatedModule module;
    standins::SimulatedCommunication comm{module};
    standins::RQ16Dtm dtm;
};

void BM_ParseModuleDiagnosis(benchmark::State& state) {
    StandIns host;
    Diagnosis view;
    view.IDtmActiveXControl_Init(QStringLiteral("INIT"), QString(), &host.dtm);
    bool flip = false;
    for (auto _ : state) {
        // Alternating telegrams, so every call decodes and redraws.
        view.ParseModuleDiagnosis(flip ? kTelegramA : kTelegramB);
        flip = !flip;
    }
}
BENCHMARK(BM_ParseModuleDiagnosis);

// What a reread usually brings: one fault moved to the next channel, so the
// lines stay and two of them change.
void BM_ParseModuleDiagnosisOneFaultMoves(benchmark::State& state) {
    StandIns host;
    Diagnosis view;
    view.IDtmActiveXControl_Init(QStringLiteral("INIT"), QString(), &host.dtm);
    std::uint8_t channel = 1;
    for (auto _ : state) {
        view.ParseModuleDiagnosis({0x00, static_cast<std::uint8_t>(channel << 4 | 1)});
        channel = channel % 8 + 1;
    }
}
BENCHMARK(BM_ParseModuleDiagnosisOneFaultMoves);

template <typename F> void SpinUntil(F done) {
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

// One cycle each, kept out of line so that a profiler can count exactly the
// cycles: valgrind --tool=callgrind --toggle-collect='*RereadWith*'
template <typename Idle> [[gnu::noinline]] void RereadWithView(Diagnosis& view, Idle idle) {
    view.ctlButtons_ExtraCommand();
    SpinUntil([&] { return view.IsOnline() || !view.OnlineInvokeId().isEmpty(); });
    SpinUntil(idle);
}

void BM_RereadCycleWithView(benchmark::State& state) {
    StandIns host;
    simulator::SimulatedModule& module = host.module;
    standins::RQ16Dtm& dtm = host.dtm;
    dtm.SetControlCreator([](const QString&, QWidget* parent) { return new Diagnosis(parent); });
    auto* view =
        qobject_cast<Diagnosis*>(dtm.OpenFunction(QStringLiteral("RQ16Controls.Diagnosis")));
    const auto idle = [&] {
        return view->diagnosisShown() && !view->IsOnline() && view->OnlineInvokeId().isEmpty();
    };
    SpinUntil(idle);
    int channel = 1;
    for (auto _ : state) {
        module.ClearFaults();
        module.SetChannelFaults(channel, {1}); // a changed telegram each time
        channel = channel % 8 + 1;
        RereadWithView(*view, idle);
    }
    dtm.ReleaseAllViews();
    QCoreApplication::processEvents();
}
BENCHMARK(BM_RereadCycleWithView)->Unit(benchmark::kMicrosecond);

/// The same cycle with nothing but the communication: connect, read,
/// disconnect, each follow-up queued on the event loop as the view does.
class BareCycle : public QObject, public IBaseCommunicationCallback {
public:
    BareCycle(standins::SimulatedCommunication& comm) : m_comm(comm) {}
    void Start() {
        m_done = false;
        m_comm.Connect(this, nullptr, QStringLiteral("C"), QStringLiteral("{P}"),
                       standins::documents::ConnectRequest(3, QStringLiteral("{P}")));
    }
    bool done() const { return m_done; }
    ByteArray telegram;

    void IBaseCommunicationCallback_OnConnectResponse(const QString&, const QString& r) override {
        m_parser.Parse(r, nullptr);
        m_reference = m_parser.CommunicationReference();
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_comm.TransactionRequest(
                    m_reference, this, QStringLiteral("T"),
                    standins::documents::ReadDiagnosisRequest(m_reference, 3));
            },
            Qt::QueuedConnection);
    }
    void IBaseCommunicationCallback_OnTransactionResponse(const QString&,
                                                          const QString& r) override {
        m_parser.Parse(r, nullptr);
        telegram = m_parser.Data();
        QMetaObject::invokeMethod(
            this, [this] { m_comm.Disconnect(m_reference, this, QStringLiteral("D")); },
            Qt::QueuedConnection);
    }
    void IBaseCommunicationCallback_OnDisconnectResponse(const QString&, const QString&) override {
        m_done = true;
    }
    void IBaseCommunicationCallback_VerifyConnectionRequest(const QString&,
                                                            const QString&) override {}
    void IBaseCommunicationCallback_OnAbort(const QString&) override { m_done = true; }

private:
    standins::SimulatedCommunication& m_comm;
    standins::ResponseParser m_parser;
    QString m_reference;
    bool m_done = false;
};

[[gnu::noinline]] void RereadWithoutView(BareCycle& cycle) {
    cycle.Start();
    SpinUntil([&] { return cycle.done(); });
}

void BM_RereadCycleWithoutView(benchmark::State& state) {
    simulator::SimulatedModule module;
    standins::SimulatedCommunication comm(module);
    BareCycle cycle(comm);
    int channel = 1;
    for (auto _ : state) {
        module.ClearFaults();
        module.SetChannelFaults(channel, {1});
        channel = channel % 8 + 1;
        RereadWithoutView(cycle);
    }
}
BENCHMARK(BM_RereadCycleWithoutView)->Unit(benchmark::kMicrosecond);

} // namespace
