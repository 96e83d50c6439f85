// Benchmark entry point: a QApplication on the offscreen platform around the
// benchmark run, so views can be created without a display.

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

QtMessageHandler g_defaultHandler = nullptr;

/// Passes every message on except the offscreen platform's note that it
/// ignores size hints, which it repeats for every window shown.
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message != QLatin1String("This plugin does not support propagateSizeHints()")) {
        g_defaultHandler(type, context, message);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    g_defaultHandler = qInstallMessageHandler(FilterMessages);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
