// Texts from outside of any length (type name, channel tags, common
// resource texts, stored QS data, the comment): every view keeps a bounded
// size and opens, shows and closes within a few times the time it takes
// with texts of normal length; the comment comes back as it was.

#include "views/about/About.h"
#include "views/diagnosis/Diagnosis.h"
#include "views/identification/Identification.h"
#include "views/observation/Observation.h"
#include "views/parameter/Parameter.h"
#include "views/simulation/Simulation.h"

#include "StandIns.h"

#include "frame/BoundedText.h"
#include "standins/helpers/PropertyBag.h"

#include <QDataStream>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <ctime>
#include <functional>

namespace rq16::test {
namespace {

/// QS data as a data set may hold them, with texts of any length.
struct StoredQs : IPersistable {
    QString text;
    QByteArray SaveState() const override {
        QByteArray state;
        QDataStream out(&state, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << quint32(0x52515153) << quint16(1) << text << text << text << text << QDate();
        return state;
    }
    void LoadState(const QByteArray&) override {}
};

struct Measured {
    qint64 milliseconds = 0;
    int widest = 0;  ///< the widest view, in pixels
    QString comment; ///< as Identification stores it after a "!" is typed at its end
};

template <typename V> void OpenShowRelease(StandIns& rig, Measured& run) {
    auto* view = rig.Open<V>();
    ASSERT_NE(view, nullptr);
    view->show();
    rig.Settle();
    view->grab();
    run.widest = std::max({run.widest, view->minimumSizeHint().width(), view->width()});
    if (auto* identification = qobject_cast<Identification*>(view)) {
        identification->commentBox()->moveCursor(QTextCursor::End);
        identification->commentBox()->insertPlainText(QStringLiteral("!"));
    }
    view->IDtmActiveXControl_PrepareToRelease();
    rig.Settle();
    rig.dtm.DestroyView(rig.invokeId);
}

/// Every view opened, shown, painted and released on `data`; the fastest
/// of `repeats` runs.
Measured OpenEveryView(const standins::DataSet& data, int repeats) {
    Measured best;
    for (int i = 0; i < repeats; ++i) {
        StandIns rig;
        rig.dtm.parameters().Replace(data);
        Measured run;
        // The time this process spent, whatever else the machine does.
        const auto cpuMilliseconds = [] { return qint64(std::clock()) * 1000 / CLOCKS_PER_SEC; };
        const qint64 start = cpuMilliseconds();
        OpenShowRelease<Parameter>(rig, run);
        OpenShowRelease<Diagnosis>(rig, run);
        OpenShowRelease<Observation>(rig, run);
        OpenShowRelease<Simulation>(rig, run);
        OpenShowRelease<Identification>(rig, run);
        OpenShowRelease<About>(rig, run);
        run.milliseconds = std::max<qint64>(cpuMilliseconds() - start, 1);
        run.comment = rig.dtm.parameters().data().comment;
        if (i == 0 || run.milliseconds < best.milliseconds) {
            best = run;
        }
    }
    return best;
}

TEST(OversizedInputs, EveryViewStaysBoundedAndFastAndTheCommentComesBackWhole) {
    const qsizetype huge = 200000;
    standins::DataSet normal;
    normal.comment = QString(3000, QLatin1Char('c'));
    // "\r\n" line ends and no-break spaces, which the box does not keep
    const QString lines = QStringLiteral("a line\u00A0of a comment, as long as lines are\r\n");
    standins::PropertyBag qsBag;
    StoredQs qs;
    qs.text = QString(huge, 'q');
    qsBag.WriteProperty(QStringLiteral("QsData"), qs);
    const std::tuple<const char*, std::function<void(standins::DataSet&)>, qsizetype> cases[] = {
        {"type name", [&](auto& d) { d.typeName = QString(huge, 'T'); }, 0},
        {"channel tags", [&](auto& d) { d.channelTags.fill(QString(huge, 'g')); }, 0},
        {"resource texts", [](auto&) {}, 20000},
        {"stored QS texts", [&](auto& d) { d.storedQsData = qsBag.Contents(); }, 0},
        {"comment of one line", [](auto& d) { d.comment = QString(3'000'000, 'c'); }, 0},
        {"comment of many lines", [&](auto& d) { d.comment = lines.repeated(70'000); }, 0},
    };
    for (const auto& [what, change, resourceTextLength] : cases) {
        standins::DataSet data = normal;
        change(data);
        const Measured baseline = OpenEveryView(normal, 2);
        std::optional<ResourcesWithout> resources;
        if (resourceTextLength > 0) {
            resources.emplace(QList<int>(), QList<int>(), QByteArray(resourceTextLength, 'w'));
        }
        const Measured run = OpenEveryView(data, 2);
        EXPECT_LE(run.widest, baseline.widest + kMaxCaptionWidth) << what;
        EXPECT_LE(run.milliseconds, 15 * baseline.milliseconds) << what;
        EXPECT_EQ(run.comment, data.comment + '!') << what;
    }
}

} // namespace
} // namespace rq16::test
