// The Identification view on the stand-ins and the simulated module: edited
// I&M texts reach the module and the data set file and are there again after
// a restart; a module without I&M functions says so.

#include "Identification.h"

#include "simulator/SimulatedModule.h"
#include "standins/StandInComponents.h"
#include "standins/buttons/ButtonControl.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/FileReplace.h"
#include "standins/dtm/RQ16Dtm.h"

#include "frame/ComponentRegistry.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTemporaryDir>

#include "EventLoop.h"

#include <gtest/gtest.h>

#include <memory>

using namespace rq16;
using rq16::test::SpinUntil;

namespace {

class Host : public standins::IFrameHost {
public:
    void OnErrorMessage(const QString&, const QString& message) override { errors << message; }
    QStringList errors;
};

class IdentificationEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        SetComponentFactory(&factory);
        OnlineView::SetPauseFunction([](int) {});
    }
    void TearDown() override {
        OnlineView::SetPauseFunction({});
        SetComponentFactory(nullptr);
    }

    /// A DTM on the data set file, as after a start of the frame application.
    std::unique_ptr<standins::RQ16Dtm> newDtm(int kernelState) {
        standins::RQ16Dtm::Options options;
        options.dataSetFile = dir.filePath(QStringLiteral("RQ16DataSet.json"));
        options.state = kernelState;
        auto dtm = std::make_unique<standins::RQ16Dtm>(options);
        dtm->SetCommunication(&comm);
        dtm->SetHost(&host);
        dtm->SetControlCreator(
            [](const QString&, QWidget* parent) { return new Identification(parent); });
        return dtm;
    }
    Identification* open(standins::RQ16Dtm& dtm) {
        return qobject_cast<Identification*>(
            dtm.OpenFunction(QStringLiteral("RQ16Controls.Identification"), nullptr, &invokeId));
    }
    static QString text(Identification* view, const char* name) {
        return view->textBox(QLatin1String(name))->text();
    }

    QTemporaryDir dir;
    standins::StandInComponentFactory factory;
    simulator::SimulatedModule module;
    standins::SimulatedCommunication comm{module};
    Host host;
    QString invokeId;
};

} // namespace

TEST_F(IdentificationEndToEnd, EditsReachTheModuleAndTheDataSetFile) {
    auto dtm = newDtm(6);
    Identification* view = open(*dtm);
    ASSERT_TRUE(SpinUntil([&] { // the I&M data read, the view offline again
        return view->protocol().state.m_bIMDataRead && !view->IsOnline() &&
               comm.pendingAnswers() == 0;
    }));
    EXPECT_EQ(text(view, "txtTagFunction"), QStringLiteral("Conveyor 3 outputs"));
    EXPECT_EQ(text(view, "txtSerialNumber"), QStringLiteral("SN0042318"));

    view->textBox(QStringLiteral("txtTagFunction"))->setText(QStringLiteral("Pump ä€"));
    view->textBox(QStringLiteral("txtInstallationDate"))
        ->setText(QStringLiteral("2025-01-02 03:04"));
    view->commentBox()->setPlainText(QStringLiteral("checked"));
    QPointer<QWidget> closing(view);
    EXPECT_FALSE(dtm->ReleaseView(invokeId)); // saves first, then closes
    ASSERT_TRUE(SpinUntil([&] { return closing.isNull(); }));

    const auto texts = simulator::DecodeIm12(module.ImRecord(1), module.ImRecord(2));
    EXPECT_EQ(texts.tagFunction, QStringLiteral("Pump ä€"));
    EXPECT_EQ(texts.tagLocation, QStringLiteral("Hall B"));
    EXPECT_EQ(texts.installationDate, QStringLiteral("2025-01-02 03:04"));

    // After a restart, offline: the data set file holds the edits and the
    // comment.
    dtm.reset();
    auto restarted = newDtm(4);
    view = open(*restarted);
    EXPECT_EQ(text(view, "txtTagFunction"), QStringLiteral("Pump ä€"));
    EXPECT_EQ(text(view, "txtInstallationDate"), QStringLiteral("2025-01-02 03:04"));
    EXPECT_EQ(text(view, "txtChargeNumber"), QStringLiteral("CH2319-07"));
    EXPECT_EQ(view->commentBox()->toPlainText(), QStringLiteral("checked"));

    // Without I&M functions a reread shows so and keeps the QS data.
    module.SetImSupported(false);
    ASSERT_TRUE(dynamic_cast<standins::ButtonControl*>(view->buttonBar())
                    ->click(standins::ButtonControl::Button::Extra));
    ASSERT_TRUE(SpinUntil([&] { return text(view, "txtTagLocation") == QStringLiteral("-/-"); }));
    EXPECT_EQ(text(view, "txtTagFunction"), QStringLiteral("No I&M data available"));
    EXPECT_FALSE(view->imDataFrame()->isEnabled());

    // A full disk: the failure of the comment's save is reported with the
    // reason, the file keeps what it held and the release goes on.
    const QString file = dir.filePath(QStringLiteral("RQ16DataSet.json"));
    view->commentBox()->setPlainText(QStringLiteral("later"));
    standins::SetWriteFault(standins::WriteFault{standins::WriteStep::Write, ENOSPC});
    host.errors.clear();
    EXPECT_TRUE(restarted->ReleaseView(invokeId));
    standins::SetWriteFault(std::nullopt);
    EXPECT_EQ(host.errors, QStringList("The data set file " + file +
                                       " cannot be written: No space left on device."));
    EXPECT_EQ(standins::DataSet::Load(file).comment, QStringLiteral("checked"));
}
