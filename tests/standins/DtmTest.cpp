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

class RecordingSink : public IBaseDtmEvents, public IParameterManagerEvents {
public:
    QStringList events;
    void BaseDtm_LockDataSet(const QString& user) override { events << "Lock " + user; }
    void BaseDtm_UnlockDataSet(const QString& user) override { events << "Unlock " + user; }
    void BaseDtm_ParameterChanged() override { events << QStringLiteral("KernelChanged"); }
    void ParameterManager_ParameterChanged() override { events << QStringLiteral("PmChanged"); }
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
    {
        RQ16Dtm dtm(OptionsFor(path));
        IParameterManager* pm = dtm.DtmKernel()->ParameterManager();
        ByteArray bytes;
        pm->GetParameterBytes(bytes);
        EXPECT_EQ(bytes, (ByteArray{0, 0, 0, 0, 0xFF}));
        EXPECT_EQ(pm->SlotNumber(), 3);
        EXPECT_FALSE(QFile::exists(path)) << "nothing is written before a commit";

        pm->SetParameterBytes({0x84, 0x10, 0x20, 0x08, 0x5A, 0x77});
        pm->SetStoredQsData({1, 2, 3});
        pm->SetStoredIMData({});
        pm->SetStoredComment(QStringLiteral("line 1\nline \"2\""));
        pm->CommitParameters();
    }
    const QByteArray written = ReadAll(path);
    ASSERT_FALSE(written.isEmpty());

    RQ16Dtm reopened(OptionsFor(path));
    IParameterManager* pm = reopened.DtmKernel()->ParameterManager();
    ByteArray bytes;
    pm->GetParameterBytes(bytes);
    EXPECT_EQ(bytes, (ByteArray{0x84, 0x10, 0x20, 0x08, 0x5A, 0x77}));
    EXPECT_EQ(pm->StoredQsData(), (ByteArray{1, 2, 3}));
    EXPECT_TRUE(pm->StoredIMData().empty());
    EXPECT_EQ(pm->StoredComment(), QStringLiteral("line 1\nline \"2\""));
    reopened.parameters().Save();
    EXPECT_EQ(ReadAll(path), written) << "writing the same data gives the same file";
}

TEST(DataSetFile, JsonRoundTripAndDamagedFiles) {
    DataSet set;
    set.slotNumber = 11;
    set.typeName = QStringLiteral("RQ16 DO8 special");
    set.channelTags[7] = QStringLiteral("Valve <8>");
    set.storedIMData = {0xDE, 0xAD};
    EXPECT_EQ(DataSet::FromJson(set.ToJson()), set);

    // Missing members keep their defaults.
    const DataSet partial = DataSet::FromJson("{\"format\":\"RQ16 data set\",\"slotNumber\":5}");
    EXPECT_EQ(partial.slotNumber, 5);
    EXPECT_EQ(partial.channelTags.size(), 8);
    EXPECT_EQ(partial.parameterBytes, DataSet().parameterBytes);
}

TEST(DtmDocuments, ModuleChannelAndInformationDocumentsParse) {
    RQ16Dtm dtm(OptionsFor(QString()));
    DataSet set = dtm.parameters().data();
    set.channelTags[2] = QStringLiteral("Pump 3");
    dtm.ChangeDataSet(set);

    ModuleReader module;
    ASSERT_TRUE(module.Parse(dtm.DtmKernel()->ParameterManager()->GetDocumentPart(
                                 QStringLiteral("FDT"), dtm.ProtocolId()),
                             nullptr));
    EXPECT_EQ(module.Module().slotNumber, 3);
    EXPECT_EQ(module.Module().typeName, QStringLiteral("RQ16 DO8"));
    EXPECT_THROW(dtm.DtmKernel()->ParameterManager()->GetDocumentPart(QStringLiteral("Other"),
                                                                      dtm.ProtocolId()),
                 ComError);

    ASSERT_EQ(dtm.ChannelCount(), 8);
    EXPECT_EQ(dtm.Channel(0), nullptr);
    EXPECT_EQ(dtm.Channel(9), nullptr);
    for (int i = 1; i <= dtm.ChannelCount(); ++i) {
        ChannelReader channel;
        ASSERT_TRUE(channel.Parse(
            dtm.Channel(i)->GetDocumentPart(QStringLiteral("FDT"), dtm.ProtocolId()), nullptr));
        EXPECT_EQ(channel.Channel().channelNumber, i);
        EXPECT_EQ(channel.Channel().tag,
                  i == 3 ? QStringLiteral("Pump 3") : QStringLiteral("Q%1").arg(i));
    }

    InfoReader info;
    ASSERT_TRUE(info.Parse(dtm.DtmKernel()->DtmInformation()->InfoDocument(), nullptr));
    EXPECT_EQ(info.Information().fdtMajorVersion, 1);
    EXPECT_EQ(info.Information().fdtMinorVersion, 2);
    EXPECT_EQ(dtm.DtmKernel()->ResourceManager()->DefaultFolder(), kCommon);
    EXPECT_FALSE(dtm.DtmKernel()->ResourceManager()->GetString(4001, QString()).isEmpty());
}

TEST(DtmEvents, LockEventsReachAdvisedSinksOnly) {
    RQ16Dtm dtm(OptionsFor(QString()));
    IDtmKernel* kernel = dtm.DtmKernel();
    RecordingSink advised;
    RecordingSink removed;
    kernel->Advise(&advised);
    kernel->Advise(&advised); // twice is once
    kernel->Advise(&removed);
    kernel->Unadvise(&removed);

    EXPECT_TRUE(kernel->HoldsDataSetLock());
    EXPECT_TRUE(kernel->UiManager()->IsEditAllowed());

    dtm.SetDataSetLock(LockHolder::OtherUser, QStringLiteral("anna"));
    EXPECT_FALSE(kernel->HoldsDataSetLock());
    EXPECT_FALSE(kernel->UiManager()->IsEditAllowed());
    dtm.SetDataSetLock(LockHolder::Released, QStringLiteral("anna"));
    EXPECT_FALSE(kernel->HoldsDataSetLock());
    EXPECT_TRUE(kernel->UiManager()->IsEditAllowed());
    dtm.SetDataSetLock(LockHolder::ThisDtm, QStringLiteral("me"));
    EXPECT_TRUE(kernel->HoldsDataSetLock());

    EXPECT_EQ(advised.events, (QStringList{"Lock anna", "Unlock anna", "Lock me"}));
    EXPECT_TRUE(removed.events.isEmpty());
}

TEST(DtmEvents, SinksMayUnadviseWhileCalled) {
    RQ16Dtm dtm(OptionsFor(QString()));
    struct SelfRemoving : RecordingSink {
        IDtmKernel* kernel = nullptr;
        void BaseDtm_LockDataSet(const QString& user) override {
            RecordingSink::BaseDtm_LockDataSet(user);
            kernel->Unadvise(this);
        }
    } first;
    RecordingSink second;
    first.kernel = dtm.DtmKernel();
    dtm.DtmKernel()->Advise(&first);
    dtm.DtmKernel()->Advise(&second);
    dtm.SetDataSetLock(LockHolder::OtherUser, QStringLiteral("x"));
    dtm.SetDataSetLock(LockHolder::OtherUser, QStringLiteral("y"));
    EXPECT_EQ(first.events, QStringList{QStringLiteral("Lock x")});
    EXPECT_EQ(second.events, (QStringList{"Lock x", "Lock y"}));
}

TEST(DtmEvents, OutsideChangesRaiseParameterChangedOnBothSources) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("set.json"));
    RQ16Dtm dtm(OptionsFor(path));
    RecordingSink sink;
    dtm.DtmKernel()->Advise(&sink);
    dtm.DtmKernel()->ParameterManager()->Advise(&sink);

    // Another program writes the file; the DTM reloads it.
    DataSet changed;
    changed.parameterBytes = {1, 2, 3, 4, 5};
    changed.Save(path);
    dtm.ReloadDataSet();
    ByteArray bytes;
    dtm.DtmKernel()->ParameterManager()->GetParameterBytes(bytes);
    EXPECT_EQ(bytes, (ByteArray{1, 2, 3, 4, 5}));
    EXPECT_EQ(sink.events, (QStringList{"PmChanged", "KernelChanged"}));

    // A commit of the DTM's own views raises nothing.
    sink.events.clear();
    dtm.DtmKernel()->ParameterManager()->SetParameterBytes({9, 9, 9, 9, 9});
    dtm.DtmKernel()->ParameterManager()->CommitParameters();
    EXPECT_TRUE(sink.events.isEmpty());
    dtm.DtmKernel()->ParameterManager()->Unadvise(&sink);
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

TEST(DtmViews, HeldBackReleaseAndFailedInit) {
    RQ16Dtm dtm(OptionsFor(QString()));
    RecordingHost host;
    dtm.SetHost(&host);
    bool failInit = false;
    dtm.SetControlCreator([&](const QString&, QWidget*) -> QWidget* {
        auto* v = new FakeView;
        v->initResult = !failInit;
        return v;
    });

    QString id;
    auto* view = dynamic_cast<FakeView*>(dtm.OpenFunction(QStringLiteral("P"), nullptr, &id));
    ASSERT_NE(view, nullptr);
    view->holdRelease = true;
    EXPECT_FALSE(dtm.ReleaseView(id));
    EXPECT_EQ(dtm.StateOf(id), RQ16Dtm::ViewState::Releasing);
    // The view finishes its work and asks again, as a view with unsaved data does.
    view->holdRelease = false;
    view->Close();
    QCoreApplication::processEvents();
    EXPECT_EQ(view->prepareCalls, 2);
    EXPECT_EQ(dtm.StateOf(id), RQ16Dtm::ViewState::Prepared);
    EXPECT_TRUE(dtm.ReleaseView(id)) << "a prepared view is not asked again";
    EXPECT_EQ(view->prepareCalls, 2);

    failInit = true;
    EXPECT_EQ(dtm.OpenFunction(QStringLiteral("P"), nullptr), nullptr);
    EXPECT_EQ(dtm.OpenViews().size(), 1);
}

TEST(DtmKernelServices, ErrorsSaveRequestsAndUserDialog) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("set.json"));
    RQ16Dtm dtm(OptionsFor(path));
    RecordingHost host;
    dtm.SetHost(&host);
    IDtmKernel* kernel = dtm.DtmKernel();

    kernel->OnErrorMessage(kernel->ParameterManager()->SystemTag(), QStringLiteral("No data read"));
    kernel->ParameterManager()->SetStoredComment(QStringLiteral("saved by request"));
    EXPECT_TRUE(kernel->UiManager()->RequestDataSetSave());
    EXPECT_EQ(host.events,
              (QStringList{"Error RQ16 DO8 / slot 03: No data read", "Written", "SaveRequested"}));
    EXPECT_EQ(DataSet::Load(path).comment, QStringLiteral("saved by request"));

    dtm.userDialog().SetAutomaticAnswer(kIdYes);
    EXPECT_EQ(kernel->UserDialog()->AskUser(QStringLiteral("Apply?"), QStringLiteral("RQ16 DO8"),
                                            kMbYesNo),
              kIdYes);
    dtm.userDialog().SetAutomaticAnswer(std::nullopt);
    EXPECT_EQ(kernel->UserDialog()->AskUser(QStringLiteral("Again?"), QString(), kMbYesNo), kIdNo)
        << "headless runs never block on a message box";
    ASSERT_EQ(dtm.userDialog().questions().size(), 2u);
    EXPECT_EQ(dtm.userDialog().questions()[0].caption, QStringLiteral("RQ16 DO8"));

    EXPECT_EQ(kernel->state(), 4);
    dtm.SetState(6);
    EXPECT_EQ(kernel->state(), 6);
    ASSERT_EQ(dtm.CommunicationObjects().size(), 1u);
    EXPECT_EQ(dtm.CommunicationObjects()[0], nullptr);
}

TEST(ComponentFactory, CreatesWorkingObjects) {
    StandInComponentFactory factory(kCommon);
    auto resources = factory.CreateResourceManager();
    EXPECT_EQ(resources->DefaultFolder(), kCommon);
    EXPECT_EQ(resources->Language(), QStringLiteral("en"));
    QWidget parent;
    auto bar = factory.CreateButtonControl(&parent);
    EXPECT_EQ(bar->widget()->parentWidget(), &parent);
    EXPECT_NE(factory.CreateInvokeIdGenerator()->NewInvokeId(),
              factory.CreateInvokeIdGenerator()->NewInvokeId());
    EXPECT_NE(factory.CreateDeferredCallQueue(), nullptr);
    EXPECT_NE(factory.CreateResponseParser(), nullptr);
    EXPECT_TRUE(factory.CreateModuleReader()->Parse(
        documents::ModuleDocument({1, QStringLiteral("T")}), nullptr));
    EXPECT_TRUE(factory.CreateChannelReader()->Parse(
        documents::ChannelDocument({1, QStringLiteral("T")}), nullptr));
    EXPECT_FALSE(factory.CreateInfoReader()->Parse(QStringLiteral("<x/>"), nullptr));
    EXPECT_THROW(factory.CreateQsData()->LoadBytes({}), ComError);
    EXPECT_THROW(factory.CreateIMData()->LoadRecords({}, {}, {}), ComError);
    EXPECT_TRUE(factory.CreatePropertyBag()->Contents().size() > 0);
}
