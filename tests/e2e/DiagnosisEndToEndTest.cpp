// The Diagnosis view with the stand-in DTM, helpers and resources, talking
// to the simulated module through the communication stand-in.

#include "Diagnosis.h"

#include "simulator/SimulatedModule.h"
#include "standins/StandInComponents.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"

#include "frame/ComponentRegistry.h"
#include "host/ButtonControl.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>

#include "EventLoop.h"

#include <gtest/gtest.h>

using namespace rq16;
using rq16::test::SpinUntil;

namespace {

class Host : public standins::IFrameHost {
public:
    void OnErrorMessage(const QString&, const QString& message) override { errors << message; }
    void OnPreparedToRelease(const QString& id) override { released << id; }
    QStringList errors;
    QStringList released;
};

class DiagnosisEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        SetComponentFactory(&factory);
        dtm.SetHost(&host);
        dtm.SetCommunication(&comm);
        dtm.SetControlCreator(
            [](const QString&, QWidget* parent) { return new Diagnosis(parent); });
    }
    void TearDown() override { SetComponentFactory(nullptr); }

    Diagnosis* open() {
        auto* view = qobject_cast<Diagnosis*>(
            dtm.OpenFunction(QStringLiteral("RQ16Controls.Diagnosis"), nullptr, &invokeId));
        EXPECT_NE(view, nullptr);
        return view;
    }
    /// Waits for a completed cycle: offline, with the bar enabled.
    bool cycleDone(Diagnosis* view) {
        return SpinUntil([&] {
            return !view->IsOnline() && view->OnlineInvokeId().isEmpty() &&
                   comm.pendingAnswers() == 0;
        });
    }

    standins::StandInComponentFactory factory;
    simulator::SimulatedModule module;
    standins::SimulatedCommunication comm{module};
    standins::RQ16Dtm dtm;
    Host host;
    QString invokeId;
};

} // namespace

TEST_F(DiagnosisEndToEnd, OpensReadsTheFaultsAndRereadsAfterAChange) {
    module.SetModuleCode(2);
    module.SetChannelFaults(2, {1});
    module.SetChannelFaults(6, {9});
    Diagnosis* view = open();
    ASSERT_TRUE(SpinUntil([&] { return view->diagnosisShown(); }));
    ASSERT_TRUE(cycleDone(view));
    EXPECT_FALSE(view->moduleDiagnosisBox()->text().isEmpty());
    EXPECT_EQ(view->terminalPictureId(5), Diagnosis::kPictureError + 5);
    EXPECT_EQ(view->terminalPictureId(8), Diagnosis::kPictureError + 8);
    EXPECT_EQ(view->terminalPictureId(13), Diagnosis::kPictureDefault + 13);

    module.ClearFaults();
    module.SetChannelFaults(8, {5});
    view->buttonBar()->EnableButtons();
    view->ctlButtons_ExtraCommand();
    ASSERT_TRUE(SpinUntil([&] { return view->lastTelegram() == ByteArray({0x00, 0x85}); }));
    ASSERT_TRUE(cycleDone(view));
    EXPECT_TRUE(view->moduleDiagnosisBox()->text().isEmpty());
    EXPECT_EQ(view->terminalPictureId(15), Diagnosis::kPictureNotice + 15);
    EXPECT_EQ(view->terminalPictureId(5), Diagnosis::kPictureDefault + 5);
    EXPECT_TRUE(host.errors.isEmpty());
    const auto& requests = comm.requests();
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                            [](const auto& r) { return r.operation == "Disconnect"; }),
              2);
}

TEST_F(DiagnosisEndToEnd, MalformedTelegramIsShownAsSyntaxError) {
    module.SetChannelFaults(3, {2});
    module.SetDiagnosisDefect(simulator::DiagnosisDefect::ChannelAboveEight);
    Diagnosis* view = open();
    ASSERT_TRUE(SpinUntil(
        [&] { return view->channelDiagnosisText().contains("Channel number claims to be 9!"); }));
    ASSERT_TRUE(cycleDone(view));
    EXPECT_FALSE(view->diagnosisShown());
}

TEST_F(DiagnosisEndToEnd, FaultsOfTheConnectionAreReported) {
    module.connectionFaults().negativeConnect = true;
    module.connectionFaults().latencyMs = 5;
    Diagnosis* view = open();
    ASSERT_TRUE(SpinUntil([&] { return !host.errors.isEmpty(); }));
    EXPECT_EQ(view->moduleDiagnosisText(), host.errors.front() + "\r\n");

    // A lost connection while reading, then a reread that works again.
    module.connectionFaults().negativeConnect = false;
    module.connectionFaults().abortAfterRequests = 0;
    host.errors.clear();
    view->ctlButtons_ExtraCommand();
    ASSERT_TRUE(SpinUntil([&] { return !host.errors.isEmpty(); }));
    EXPECT_FALSE(view->IsOnline());
    module.connectionFaults().foreignInvokeId = true;
    view->ctlButtons_ExtraCommand();
    ASSERT_TRUE(SpinUntil([&] { return view->diagnosisShown(); }));
    EXPECT_TRUE(cycleDone(view));
}

TEST_F(DiagnosisEndToEnd, ReleaseWhileConnectingAndADestroyedView) {
    module.connectionFaults().latencyMs = 30;
    Diagnosis* view = open();
    ASSERT_TRUE(SpinUntil([&] { return !view->OnlineInvokeId().isEmpty(); }));
    EXPECT_TRUE(dtm.ReleaseView(invokeId));
    ASSERT_TRUE(SpinUntil([&] { return !host.released.isEmpty(); }));
    EXPECT_EQ(host.released, QStringList{invokeId});

    // A view destroyed while its connect answer is due is never called.
    QPointer<Diagnosis> second = open();
    ASSERT_TRUE(SpinUntil([&] { return !second->OnlineInvokeId().isEmpty(); }));
    delete second.data();
    EXPECT_TRUE(SpinUntil([&] { return comm.pendingAnswers() == 0; }));
}

TEST_F(DiagnosisEndToEnd, RendersTheFaultsIntoAPicture) {
    module.SetModuleCode(2);
    module.SetChannelFaults(1, {1, 5});
    module.SetChannelFaults(3, {2});
    module.SetChannelFaults(6, {10});
    module.SetChannelFaults(8, {5});
    Diagnosis* view = open();
    ASSERT_TRUE(SpinUntil([&] { return view->diagnosisShown(); }));
    ASSERT_TRUE(cycleDone(view));
    view->resize(600, 560);
    const QPixmap picture = view->grab();
    EXPECT_FALSE(picture.isNull());
    // Set RQ16_SNAPSHOT_DIR to look at the view.
    if (const QString dir = qEnvironmentVariable("RQ16_SNAPSHOT_DIR"); !dir.isEmpty()) {
        EXPECT_TRUE(picture.save(dir + "/diagnosis.png"));
    }
}
