// Saving the data set with every check (each write, sync, read back,
// rename, folder sync) beside a plain QSaveFile write of the same bytes, for
// a data set of normal size and one with a comment of megabytes; opening
// Parameter and Identification with texts of normal length beside the
// longest texts the data set takes.

#include "views/identification/Identification.h"
#include "views/parameter/Parameter.h"

#include "frame/ComponentRegistry.h"
#include "standins/StandInComponents.h"
#include "standins/dtm/RQ16Dtm.h"
#include "standins/helpers/PropertyBag.h"
#include "standins/helpers/QsData.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace rq16;

namespace {

/// Arguments: 0 a data set of normal size, 1 one with the longest texts.
standins::DataSet Sample(std::int64_t longest) {
    standins::DataSet data;
    data.comment = QStringLiteral("Checked on site, outputs 3 and 4 on the new cabinet.");
    if (longest != 0) {
        // A comment of one line of 8 million characters, the largest the
        // file takes with room to spare, and long type name and tags.
        data.comment = QString(8'000'000, QLatin1Char('c'));
        data.typeName = QString(200'000, QLatin1Char('T'));
        data.channelTags.fill(QString(200'000, QLatin1Char('g')));
    }
    standins::PropertyBag bag;
    standins::QsData qs;
    qs.LoadBytes(standins::QsData::Encode(QStringLiteral("CH2319-07"), QStringLiteral("SN0042318"),
                                          3, 1, 2, 3, QDate(2024, 5, 6)));
    bag.WriteProperty(QStringLiteral("QsData"), qs);
    data.storedQsData = bag.Contents();
    return data;
}

void BM_SaveChecked(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RQ16DataSet.json"));
    const standins::DataSet data = Sample(state.range(0));
    for (auto _ : state) {
        data.Save(path);
    }
}
BENCHMARK(BM_SaveChecked)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

/// The baseline: the same bytes written with QSaveFile, without any check.
void BM_SavePlainQSaveFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RQ16DataSet.json"));
    const standins::DataSet data = Sample(state.range(0));
    for (auto _ : state) {
        QSaveFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(data.ToJson());
        file.commit();
    }
}
BENCHMARK(BM_SavePlainQSaveFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

/// Opens the view on the data set, shows and paints it, then releases it.
template <typename V> void OpenView(benchmark::State& state) {
    standins::StandInComponentFactory factory;
    SetComponentFactory(&factory);
    standins::RQ16Dtm dtm;
    dtm.parameters().Replace(Sample(state.range(0)));
    for (auto _ : state) {
        auto* view = new V;
        view->IDtmActiveXControl_Init(QStringLiteral("INIT"), QString(), &dtm);
        view->show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(view->grab());
        view->IDtmActiveXControl_PrepareToRelease();
        delete view;
    }
    SetComponentFactory(nullptr);
}
BENCHMARK(OpenView<Parameter>)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenView<Identification>)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
