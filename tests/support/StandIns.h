#pragma once
// Views under test on the working stand-ins: the DTM with its data set in
// memory, its kernel and helpers, and the simulated module behind the
// communication stand-in. Every call a view makes on them lands in `calls`,
// in order, beside the debug log in `log`; the views' invoke ids read #1,
// #2, ... in both (LogCapture).
//
// Blocking pauses of a view's thread are counted in `pauses`, not waited.
//
//   StandIns rig;
//   auto* view = rig.Open<Diagnosis>();   // construction and Init
//   rig.Settle();                          // deferred calls and answers
//   EXPECT_EQ(rig.log.lines(), (QStringList{...}));

#include "EventLoop.h"
#include "LogCapture.h"

#include "common/AppFolder.h"
#include "frame/ComponentRegistry.h"
#include "frame/OnlineView.h"
#include "simulator/SimulatedModule.h"
#include "standins/CallRecorder.h"
#include "standins/StandInComponents.h"
#include "standins/buttons/ButtonControl.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"
#include "standins/helpers/DeferredCallQueue.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace rq16::test {

/// For its lifetime, views constructed from now on read their resources from
/// a copy of the application folder whose common folder lacks some texts and
/// pictures, and has `appended` at the end of every other text.
class ResourcesWithout {
public:
    explicit ResourcesWithout(const QList<int>& missingTexts,
                              const QList<int>& missingPictures = {},
                              const QByteArray& appended = {}) {
        const QString original = ApplicationFolder();
        const QString common = m_dir.filePath(QStringLiteral("kelmResourceData"));
        QDir().mkpath(common);
        QFile::link(original + QStringLiteral("/RQ16ResourceData"),
                    m_dir.filePath(QStringLiteral("RQ16ResourceData")));
        const QDir pictures(original + QStringLiteral("/kelmResourceData/pictures"));
        QDir().mkpath(common + QStringLiteral("/pictures"));
        for (const QFileInfo& file : pictures.entryInfoList(QDir::Files)) {
            if (!missingPictures.contains(file.baseName().toInt())) {
                QFile::link(file.filePath(), common + "/pictures/" + file.fileName());
            }
        }
        QFile in(original + QStringLiteral("/kelmResourceData/texts.en.txt"));
        QFile out(common + QStringLiteral("/texts.en.txt"));
        if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly)) {
            for (const QByteArray& line : in.readAll().split('\n')) {
                if (!missingTexts.contains(line.split('\t').value(0).toInt())) {
                    out.write(line + (line.contains('\t') ? appended : QByteArray()) + '\n');
                }
            }
        }
        qputenv("RQ16_APP_FOLDER", m_dir.path().toLocal8Bit());
    }
    ~ResourcesWithout() { qunsetenv("RQ16_APP_FOLDER"); }

private:
    QTemporaryDir m_dir;
};

class StandIns {
public:
    StandIns() {
        SetComponentFactory(&factory);
        standins::SetCallRecorder([this](const QString& call) { calls << log.Normalized(call); });
        ViewBase::SetCriticalMessageHandler(
            [this](const QString& text) { calls << QStringLiteral("MessageBox(%1)").arg(text); });
        // The views' blocking pauses are only counted.
        OnlineView::SetPauseFunction([this](int ms) { pauses << ms; });
        dtm.SetCommunication(&comm);
        // The test releases and destroys views itself.
        dtm.SetAutomaticRelease(false);
    }
    ~StandIns() {
        OnlineView::SetPauseFunction({});
        ViewBase::SetCriticalMessageHandler({});
        standins::SetCallRecorder({});
        SetComponentFactory(nullptr);
    }
    StandIns(const StandIns&) = delete;
    StandIns& operator=(const StandIns&) = delete;

    /// A new view of type V, initialised by the DTM; its Init invoke id is in
    /// `invokeId` ("DTM-1" for the first).
    template <typename V> V* Open() {
        dtm.SetControlCreator([](const QString&, QWidget* parent) { return new V(parent); });
        return qobject_cast<V*>(dtm.OpenFunction(QStringLiteral("View"), nullptr, &invokeId));
    }
    /// Runs the event loop until, twice in a row, no deferred call is left
    /// and no answer is due (answers held with HoldAnswers wait for
    /// DeliverNextAnswer), or until the log stays the same for a while (a
    /// deferred call that waits for a held answer queues itself again and
    /// again).
    void Settle() {
        int idleRounds = 0;
        int quietRounds = 0;
        for (qsizetype seen = -1; idleRounds < 2 && quietRounds < 20;) {
            Spin(0);
            const bool idle = standins::DeferredCallQueue::Outstanding() == 0 &&
                              (m_held || comm.pendingAnswers() == 0);
            idleRounds = idle ? idleRounds + 1 : 0;
            quietRounds = log.lines().size() == seen ? quietRounds + 1 : 0;
            seen = log.lines().size();
        }
    }
    void HoldAnswers() {
        m_held = true;
        comm.HoldAnswers(true);
    }
    /// Delivers the oldest held answer, then settles.
    void Answer() {
        comm.DeliverNextAnswer();
        Settle();
    }
    static standins::ButtonControl& Bar(const ViewBase* view) {
        return *dynamic_cast<standins::ButtonControl*>(view->buttonBar());
    }
    /// The recorded calls that start with `prefix`.
    QStringList Calls(const QString& prefix) const {
        QStringList out;
        for (const QString& call : calls) {
            if (call.startsWith(prefix)) {
                out << call;
            }
        }
        return out;
    }

    LogCapture log; // first: views read the registry it writes
    standins::StandInComponentFactory factory;
    simulator::SimulatedModule module;
    standins::SimulatedCommunication comm{module};
    standins::RQ16Dtm dtm;
    QStringList calls;
    QString invokeId;
    /// Milliseconds of each blocking pause of a view's thread.
    QList<int> pauses;

private:
    bool m_held = false;
};

} // namespace rq16::test
