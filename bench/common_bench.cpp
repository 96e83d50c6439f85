// The cost of one debug log entry with the file sink on, beside a plain
// open-append-close of the same line: the ratio shows what the log adds.

#include "common/DebugHelper.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct FileSinkOn {
    QTemporaryDir dir;
    FileSinkOn() {
        const QString reg = dir.path() + "/bench.reg";
        QFile f(reg);
        f.open(QIODevice::WriteOnly);
        f.write(
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orlin\\DTM kelio-DP]\n\"DebugFile\"=dword:00000001\n");
        f.close();
        qputenv("RQ16_REGISTRY_FILE", reg.toLocal8Bit());
        qputenv("TEMP", dir.path().toLocal8Bit());
        std::int16_t mode = 0;
        rq16::ReadDebugSettings(mode);
    }
    QString logPath() const { return dir.path() + "/kelio.log"; }
};

void BM_WriteLogFileSink(benchmark::State& state) {
    FileSinkOn sink;
    const QString place = QStringLiteral("Diagnosis.OnTransactionResponse");
    const QString message = QStringLiteral("sOnlineInvokeId: INV-0000000042");
    for (auto _ : state) {
        QString fileName = QStringLiteral("kelio.log");
        rq16::WriteLog(place, message, fileName);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteLogFileSink);

// Baseline: the same line built and appended with stdio, opened and closed
// for every entry as the log does.
void BM_PlainAppendLoop(benchmark::State& state) {
    FileSinkOn sink;
    const QByteArray path = (sink.dir.path() + "/plain.log").toLocal8Bit();
    const QString line = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat) +
                         ", " +
                         QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat) +
                         ": RQ16DtmControls::Diagnosis.OnTransactionResponse: sOnlineInvokeId: "
                         "INV-0000000042\r\n";
    const QByteArray bytes = line.toUtf8();
    for (auto _ : state) {
        FILE* f = std::fopen(path.constData(), "ab");
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), f);
        std::fclose(f);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlainAppendLoop);

// A stricter baseline: the same bytes with bare open, write and close, the
// least any opened-and-closed append can cost (stdio adds an fstat and a
// buffer per entry).
void BM_PlainAppendLoopPosix(benchmark::State& state) {
    FileSinkOn sink;
    const QByteArray path = (sink.dir.path() + "/posix.log").toLocal8Bit();
    const QByteArray bytes =
        (QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat) + ", " +
         QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat) +
         ": RQ16DtmControls::Diagnosis.OnTransactionResponse: sOnlineInvokeId: "
         "INV-0000000042\r\n")
            .toUtf8();
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        benchmark::DoNotOptimize(::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())));
        ::close(fd);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlainAppendLoopPosix);

// Both sinks off: what every log call costs in the field by default.
void BM_WriteLogSinksOff(benchmark::State& state) {
    std::int16_t mode = -1;
    rq16::ReadDebugSettings(mode);
    for (auto _ : state) {
        rq16::WriteLog(QStringLiteral("Diagnosis.ReadDiag"), QString());
    }
}
BENCHMARK(BM_WriteLogSinksOff);

} // namespace
