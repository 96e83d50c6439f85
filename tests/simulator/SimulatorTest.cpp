// The simulated module and the communication stand-in that answers over it.

#include "simulator/SimulatedModule.h"
#include "standins/communication/Documents.h"
#include "standins/communication/SimulatedCommunication.h"

#include <QCoreApplication>
#include <QObject>

#include "EventLoop.h"

#include <gtest/gtest.h>

#include <memory>

using namespace rq16;
using namespace rq16::simulator;
using namespace rq16::standins;
namespace docs = rq16::standins::documents;
using rq16::test::Spin;
using std::chrono::milliseconds;

namespace {

/// Counts the answers it gets.
class Recorder : public IBaseCommunicationCallback {
public:
    void IBaseCommunicationCallback_OnConnectResponse(const QString&, const QString&) override {
        ++answers;
    }
    void IBaseCommunicationCallback_OnTransactionResponse(const QString&, const QString&) override {
        ++answers;
    }
    void IBaseCommunicationCallback_OnDisconnectResponse(const QString&, const QString&) override {
        ++answers;
    }
    void IBaseCommunicationCallback_VerifyConnectionRequest(const QString&,
                                                            const QString&) override {
        ++answers;
    }
    void IBaseCommunicationCallback_OnAbort(const QString&) override { ++answers; }
    int answers = 0;
};

class QObjectRecorder : public QObject, public Recorder {};

} // namespace

// ---- module ----

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        module.SetClock([this] { return now; });
    }
    SimulatedModule module;
    milliseconds now{0};
};

TEST_F(ModuleTest, DiagnosisTelegramListsFaultsInAscendingChannels) {
    EXPECT_EQ(module.DiagnosisTelegram(), ByteArray({0x00}));
    module.SetModuleCode(2);
    module.SetChannelFaults(6, {9});
    module.SetChannelFaults(1, {1, 5});
    EXPECT_EQ(module.DiagnosisTelegram(), ByteArray({0x02, 0x11, 0x15, 0x69}));
    module.SetDiagnosisDefect(DiagnosisDefect::DescendingChannels);
    EXPECT_EQ(module.DiagnosisTelegram(), ByteArray({0x02, 0x69, 0x15, 0x11}));
    module.SetDiagnosisDefect(DiagnosisDefect::ChannelAboveEight);
    EXPECT_EQ(module.DiagnosisTelegram().back(), 0x91);
    module.ClearFaults();
    module.SetDiagnosisDefect(DiagnosisDefect::DescendingChannels);
    EXPECT_EQ(module.DiagnosisTelegram(), ByteArray({0x00, 0x31, 0x21}));
    EXPECT_THROW(module.SetChannelFaults(9, {1}), std::out_of_range);
}

TEST_F(ModuleTest, MasterOutputsRunAndForcedChannelsShowTheirValue) {
    module.SetStepPeriod(milliseconds(100));
    EXPECT_EQ(module.OutputValuesBlock(), ByteArray({0, 0, 0, 0x01}));
    now = milliseconds(250);
    EXPECT_EQ(module.OutputValuesBlock()[3], 0x04);

    // Forcing without the enable request is refused.
    EXPECT_FALSE(module.WriteForceValues({0, 0x05, 0, 0x01}).positive);
    module.GlobalForcingEnable();
    EXPECT_TRUE(module.WriteForceValues({0, 0x05, 0, 0x01}).positive);
    // Channel 1 forced to 1, channel 3 forced to 0 although the light is on it.
    EXPECT_EQ(module.OutputValuesBlock(), ByteArray({0, 0x05, 0, 0x01}));
    EXPECT_FALSE(module.WriteForceValues({0, 1, 0}).positive);
}

TEST_F(ModuleTest, ForcingLapsesWhenTheEnableIsNotRepeated) {
    module.SetForcingTimeout(milliseconds(1000));
    module.GlobalForcingEnable();
    module.WriteForceValues({0, 0x80, 0, 0x80});
    now = milliseconds(900);
    module.GlobalForcingEnable(); // repeated in time
    now = milliseconds(1800);
    EXPECT_EQ(module.ForceMask(), 0x80);
    now = milliseconds(1901);
    EXPECT_EQ(module.ForceMask(), 0);
    EXPECT_FALSE(module.ForcingEnabled());
    EXPECT_EQ(module.OutputValuesBlock()[1], 0);
}

TEST_F(ModuleTest, ImRecordsBehindTheCallMechanism) {
    EXPECT_FALSE(module.Read(255).positive); // nothing selected yet
    ASSERT_TRUE(module.Write(255, ImCallHeader(0)).positive);
    const Reply im0 = module.Read(255);
    ASSERT_TRUE(im0.hasData);
    EXPECT_EQ(im0.data.size(), 68U);
    EXPECT_EQ(ByteArray(im0.data.begin(), im0.data.begin() + 4), ImCallHeader(0));

    ByteArray record = ImCallHeader(1);
    const ByteArray im1 = EncodeIm1("Pump 4", "Cellar");
    record.insert(record.end(), im1.begin(), im1.end());
    EXPECT_FALSE(module.Write(255, record).positive); // I&M0 is selected
    module.Write(255, ImCallHeader(1));
    ASSERT_TRUE(module.Write(255, record).positive);
    EXPECT_EQ(DecodeIm12(module.ImRecord(1), module.ImRecord(2)).tagFunction, "Pump 4");
    EXPECT_EQ(module.Read(255).data, record);

    EXPECT_FALSE(module.Write(255, {0x08, 0x00, 0xFD, 0xEB}).positive);
    EXPECT_FALSE(module.Write(255, ByteArray(10, 0x08)).positive);
    module.SetImSupported(false);
    EXPECT_FALSE(module.Write(255, ImCallHeader(2)).positive);
}

// ---- communication ----

class CommunicationTest : public ::testing::Test {
protected:
    SimulatedModule module;
    SimulatedCommunication comm{module};
    Recorder recorder;
};

TEST_F(CommunicationTest, DestroyedOrUnregisteredCallersGetNothing) {
    auto watched = std::make_unique<QObjectRecorder>();
    comm.Connect(watched.get(), nullptr, "C1", "{P}", docs::ConnectRequest(3, "{P}"));
    watched.reset(); // would crash if the answer were delivered
    Spin(5);
    EXPECT_EQ(comm.pendingAnswers(), 0U);

    comm.Connect(&recorder, nullptr, "C2", "{P}", docs::ConnectRequest(3, "{P}"));
    comm.Unregister(&recorder);
    Spin(5);
    EXPECT_EQ(recorder.answers, 0);
}
