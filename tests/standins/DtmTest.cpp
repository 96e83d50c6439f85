#include "standins/StandInComponents.h"
#include "standins/documents/FdtDocuments.h"
#include "standins/dtm/RQ16Dtm.h"

#include "host/ButtonControl.h"
#include "host/ResourceManager.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

using namespace rq16;
using namespace rq16::standins;

namespace {

const QString kCommon = QStringLiteral(RQ16_TEST_COMMON_FOLDER);

class RecordingHost : public IFrameHost {
public:
    QStringList events;
    void OnInitFinished(const QString& id) override { events << "InitFinished " + id; }
    void OnRequestClose(const QString& id) override { events << "RequestClose " + id; }
    void OnPreparedToRelease(const QString& id) override { events << "PreparedToRelease " + id; }
    void OnViewDestroyed(const QString& id) override { events << "Destroyed " + id; }
    void OnErrorMessage(const QString& tag, const QString& message) override {
        events << "Error " + tag + ": " + message;
    }
    void OnDataSetSaveRequested() override { events << QStringLiteral("SaveRequested"); }
    void OnDataSetWritten(const QString&) override { events << QStringLiteral("Written"); }
};

/// A minimal view: Init reports InitFinished; release is immediate unless
/// told to hold it back.
class FakeView : public QWidget, public IDtmActiveXControl {
public:
    IDtm* dtm = nullptr;
    QString invokeId;
    int prepareCalls = 0;
    bool holdRelease = false;
    bool initResult = true;

    bool IDtmActiveXControl_Init(const QString& id, const QString&, IDtm* d) override {
        dtm = d;
        invokeId = id;
        dtm->DtmKernel()->UiManager()->InitFinished(id);
        return initResult;
    }
    bool IDtmActiveXControl_PrepareToRelease() override {
        ++prepareCalls;
        if (holdRelease) {
            return false;
        }
        dtm->DtmKernel()->UiManager()->PreparedToRelease(invokeId);
        return true;
    }
    void Close() { dtm->DtmKernel()->UiManager()->RequestClose(invokeId); }
};

RQ16Dtm::Options OptionsFor(const QString& file) {
    RQ16Dtm::Options options;
    options.dataSetFile = file;
    options.commonFolder = kCommon;
    options.userName = QStringLiteral("me");
    return options;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(DataSetFile, MissingFileGivesDefaultsAndCommitSurvivesRestart) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/RQ16DataSet.json"));
    RQ16Dtm dtm(OptionsFor(path));
    IParameterManager* pm = dtm.DtmKernel()->ParameterManager();
    EXPECT_EQ(dtm.parameters().data(), DataSet());
    EXPECT_FALSE(QFile::exists(path)) << "nothing is written before a commit";
    pm->SetParameterBytes({0x84, 0x10, 0x20, 0x08, 0x5A, 0x77});
    pm->SetStoredIMData({0xDE, 0xAD});
    pm->SetStoredComment(QStringLiteral("line 1\nline \"2\""));
    pm->CommitParameters();
    const QByteArray written = ReadAll(path);

    RQ16Dtm reopened(OptionsFor(path));
    EXPECT_EQ(reopened.parameters().data(), dtm.parameters().data());
    reopened.parameters().Save();
    EXPECT_EQ(ReadAll(path), written) << "writing the same data gives the same file";
}

TEST(DtmViews, OpenCloseReleaseAndDestroy) {
    RQ16Dtm dtm(OptionsFor(QString()));
    RecordingHost host;
    dtm.SetHost(&host);
    QStringList created;
    dtm.SetControlCreator([&](const QString& progId, QWidget* parent) -> QWidget* {
        created << progId;
        if (progId == QStringLiteral("RQ16Controls.NoView")) {
            return new QWidget(parent);
        }
        return progId.startsWith(QStringLiteral("RQ16Controls.")) ? new FakeView : nullptr;
    });

    QString id;
    QPointer<QWidget> widget =
        dtm.OpenFunction(QStringLiteral("RQ16Controls.Diagnosis"), nullptr, &id);
    ASSERT_FALSE(widget.isNull());
    auto* view = dynamic_cast<FakeView*>(widget.data());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->invokeId, id);
    EXPECT_EQ(view->dtm, &dtm);
    EXPECT_EQ(dtm.View(id), widget.data());
    EXPECT_EQ(dtm.OpenFunction(QStringLiteral("Other"), nullptr), nullptr);
    EXPECT_EQ(dtm.OpenFunction(QStringLiteral("RQ16Controls.NoView"), nullptr), nullptr);

    view->Close();
    EXPECT_EQ(view->prepareCalls, 0) << "release never runs inside the view's call";
    QCoreApplication::processEvents(); // PrepareToRelease → PreparedToRelease
    EXPECT_EQ(view->prepareCalls, 1);
    EXPECT_EQ(dtm.StateOf(id), RQ16Dtm::ViewState::Prepared);
    QCoreApplication::processEvents(); // DestroyView → deleteLater
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(widget.isNull());
    EXPECT_FALSE(dtm.StateOf(id).has_value());
    EXPECT_EQ(host.events, (QStringList{"InitFinished " + id, "RequestClose " + id,
                                        "PreparedToRelease " + id, "Destroyed " + id}));
}
