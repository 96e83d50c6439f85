// The frame application from process start to its first painted window,
// beside a minimal Qt Widgets program started the same way: each is started
// as a new process on the platform this program runs on, and the time until
// it prints "painted" is measured (its exit is not).

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void StartUntilPainted(benchmark::State& state, const QString& program, const QStringList& args) {
    for (auto _ : state) {
        QProcess process;
        process.setProgram(program);
        process.setArguments(args);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer timer;
        timer.start();
        process.start();
        bool painted = false;
        while (!painted && process.waitForReadyRead(30000)) {
            painted = process.readAllStandardOutput().contains("painted");
        }
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        process.waitForFinished(30000);
        if (!painted) {
            state.SkipWithError("the program did not report its first paint");
            return;
        }
    }
}

QString Beside(const char* name) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name);
}

void BM_MinimalWidgetsProgramStart(benchmark::State& state) {
    StartUntilPainted(state, Beside("minimal_widgets_app"), {});
}
BENCHMARK(BM_MinimalWidgetsProgramStart)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FrameApplicationStart(benchmark::State& state) {
    // A data set of its own, so that no user's file is read or written.
    QTemporaryDir dir;
    StartUntilPainted(state, Beside("rq16frame"),
                      {QStringLiteral("--exit-after-first-paint"), QStringLiteral("--data-set"),
                       dir.filePath(QStringLiteral("RQ16DataSet.json"))});
}
BENCHMARK(BM_FrameApplicationStart)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
