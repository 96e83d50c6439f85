// The Identification view's sequences against the simulated module at zero
// latency, each beside the same requests sent without the view; text
// conversion and record building per record.

#include "IMRecords.h"
#include "Identification.h"

#include "frame/ComponentRegistry.h"
#include "simulator/SimulatedModule.h"
#include "standins/StandInComponents.h"
#include "standins/communication/Documents.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"

#include <QCoreApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

using namespace rq16;
namespace docs = rq16::standins::documents;

namespace {

const QString kTagFunction = QStringLiteral("Förderband 3, Antrieb für Zone €");

template <typename F> void SpinUntil(F done) {
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

void BM_TextToBytes(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(identification::TextToBytes(kTagFunction));
    }
}
BENCHMARK(BM_TextToBytes);

void BM_BuildIM1Record(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(identification::BuildIM1Record(
            QStringLiteral("          "), kTagFunction, QStringLiteral("Halle B, Schrank 7")));
    }
}
BENCHMARK(BM_BuildIM1Record);

void BM_BuildIM2Record(benchmark::State& state) {
    const QString reserved(38, u' ');
    for (auto _ : state) {
        benchmark::DoNotOptimize(identification::BuildIM2Record(
            QStringLiteral("          "), QStringLiteral("2025-01-02 03:04"), reserved));
    }
}
BENCHMARK(BM_BuildIM2Record);

/// A view on the stand-ins over the simulated module, the kernel online, a
/// data set in memory and no release on close, so sequences can repeat.
struct Bench {
    Bench() {
        SetComponentFactory(&factory);
        standins::RQ16Dtm::Options options;
        options.state = 6;
        dtm = std::make_unique<standins::RQ16Dtm>(options);
        dtm->SetAutomaticRelease(false);
        dtm->SetCommunication(&comm);
        OnlineView::SetPauseFunction([](int) {});
        dtm->SetControlCreator(
            [](const QString&, QWidget* parent) { return new Identification(parent); });
        view = qobject_cast<Identification*>(
            dtm->OpenFunction(QStringLiteral("RQ16Controls.Identification")));
        SpinUntil([&] { return view->protocol().state.m_bIMDataRead && idle(); });
    }
    ~Bench() {
        dtm.reset();
        QCoreApplication::processEvents();
        SetComponentFactory(nullptr);
    }
    bool idle() const {
        return !view->IsOnline() && view->OnlineInvokeId().isEmpty() && comm.pendingAnswers() == 0;
    }
    /// Waits until a sequence started by the view has run to its end.
    void runToEnd() {
        SpinUntil([&] { return !idle(); });
        SpinUntil([&] { return idle(); });
    }

    standins::StandInComponentFactory factory;
    simulator::SimulatedModule module;
    standins::SimulatedCommunication comm{module};
    std::unique_ptr<standins::RQ16Dtm> dtm;
    Identification* view = nullptr;
};

// Each sequence out of line so that a profiler can count exactly the
// sequences: valgrind --tool=callgrind --toggle-collect='*SequenceOnce*'
[[gnu::noinline]] void ReadSequenceOnce(Bench& bench) {
    bench.view->ctlButtons_ExtraCommand();
    bench.runToEnd();
}

void BM_ReadSequenceWithView(benchmark::State& state) {
    Bench bench;
    for (auto _ : state) {
        ReadSequenceOnce(bench);
    }
}
BENCHMARK(BM_ReadSequenceWithView)->Unit(benchmark::kMicrosecond);

[[gnu::noinline]] void WriteSequenceOnce(Bench& bench) {
    bench.view->ctlButtons_Close(); // saves, then asks to be closed
    bench.runToEnd();
}

void BM_WriteSequenceWithView(benchmark::State& state) {
    Bench bench;
    QLineEdit* tagFunction = bench.view->textBox(QStringLiteral("txtTagFunction"));
    int n = 0;
    for (auto _ : state) {
        tagFunction->setText(QStringLiteral("Pump %1").arg(++n));
        WriteSequenceOnce(bench);
    }
}
BENCHMARK(BM_WriteSequenceWithView)->Unit(benchmark::kMicrosecond);

/// The same requests with nothing but the communication: connect, the
/// documents in turn, disconnect; each next request queued on the event loop.
class BareSequence : public QObject, public IBaseCommunicationCallback {
public:
    BareSequence(standins::SimulatedCommunication& comm, std::vector<QString> documents)
        : m_comm(comm), m_documents(std::move(documents)) {}
    void Start() {
        m_done = false;
        m_next = 0;
        m_comm.Connect(this, nullptr, QStringLiteral("C"), QStringLiteral("{P}"),
                       docs::ConnectRequest(3, QStringLiteral("{P}")));
    }
    bool done() const { return m_done; }

    void IBaseCommunicationCallback_OnConnectResponse(const QString&, const QString& r) override {
        m_reference = docs::ParseResponse(r)->communicationReference;
        Next();
    }
    void IBaseCommunicationCallback_OnTransactionResponse(const QString&,
                                                          const QString& r) override {
        benchmark::DoNotOptimize(docs::ParseResponse(r));
        Next();
    }
    void IBaseCommunicationCallback_OnDisconnectResponse(const QString&, const QString&) override {
        m_done = true;
    }
    void IBaseCommunicationCallback_VerifyConnectionRequest(const QString&,
                                                            const QString&) override {}
    void IBaseCommunicationCallback_OnAbort(const QString&) override { m_done = true; }

private:
    void Next() {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_next < m_documents.size()) {
                    QString document = m_documents[m_next++];
                    document.replace(QStringLiteral("@REF"), m_reference);
                    m_comm.TransactionRequest(m_reference, this, QStringLiteral("T"), document);
                } else {
                    m_comm.Disconnect(m_reference, this, QStringLiteral("D"));
                }
            },
            Qt::QueuedConnection);
    }

    standins::SimulatedCommunication& m_comm;
    std::vector<QString> m_documents;
    std::size_t m_next = 0;
    QString m_reference;
    bool m_done = false;
};

[[gnu::noinline]] void BareSequenceOnce(BareSequence& sequence) {
    sequence.Start();
    SpinUntil([&] { return sequence.done(); });
}

void RunBare(benchmark::State& state, std::vector<QString> documents) {
    simulator::SimulatedModule module;
    standins::SimulatedCommunication comm(module);
    BareSequence sequence(comm, std::move(documents));
    for (auto _ : state) {
        BareSequenceOnce(sequence);
    }
}

QString Select(int record) {
    return docs::WriteRequest(QStringLiteral("@REF"), 3, 255, identification::CallHeader(record));
}

void BM_ReadSequenceWithoutView(benchmark::State& state) {
    const QString read = docs::ReadRequest(QStringLiteral("@REF"), 3, 255);
    RunBare(state, {docs::ReadQsDataRequest(QStringLiteral("@REF"), 3), Select(0), read, Select(1),
                    read, Select(2), read});
}
BENCHMARK(BM_ReadSequenceWithoutView)->Unit(benchmark::kMicrosecond);

void BM_WriteSequenceWithoutView(benchmark::State& state) {
    const QString ref = QStringLiteral("@REF");
    RunBare(state,
            {Select(1),
             docs::WriteRequest(ref, 3, 255,
                                identification::BuildIM1Record({}, QStringLiteral("Pump"), {})),
             Select(2),
             docs::WriteRequest(ref, 3, 255,
                                identification::BuildIM2Record({}, QStringLiteral("2025"), {}))});
}
BENCHMARK(BM_WriteSequenceWithoutView)->Unit(benchmark::kMicrosecond);

} // namespace
