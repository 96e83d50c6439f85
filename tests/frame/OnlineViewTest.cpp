// The connection sequence carried out by a view, on the Diagnosis view
// against the simulated module: the verify connection request and Init
// without a DTM. Its failure paths are those of the protocol's own tests.

#include "StandIns.h"

#include "Diagnosis.h"

#include <gtest/gtest.h>

using namespace rq16;
using namespace rq16::test;

namespace {

class OnlineViewTest : public ::testing::Test {
protected:
    /// Opens the view with the answers held and lets it send its connect.
    Diagnosis* OpenHeld() {
        rig.HoldAnswers();
        Diagnosis* view = rig.Open<Diagnosis>();
        rig.Settle();
        return view;
    }
    StandIns rig;
};

} // namespace

TEST_F(OnlineViewTest, VerifyConnectionOnlyForTheOutstandingRequest) {
    auto* view = OpenHeld();
    rig.Answer(); // the read is outstanding
    view->IBaseCommunicationCallback_VerifyConnectionRequest(QStringLiteral("other"), QString());
    rig.Settle();
    EXPECT_TRUE(rig.Calls("Communication.VerifyConnectionResponse").isEmpty());
    view->IBaseCommunicationCallback_VerifyConnectionRequest(view->OnlineInvokeId(), QString());
    rig.Settle();
    EXPECT_EQ(rig.Calls("Communication.VerifyConnectionResponse"),
              QStringList{"Communication.VerifyConnectionResponse(true)"});
    EXPECT_TRUE(rig.log.contains("Diagnosis.CallVerifyConnection: "));
}

TEST_F(OnlineViewTest, InitWithoutDtmOrKernelIsReportedAndNothingBreaks) {
    struct NoKernel : IDtm {
        IDtmKernel* DtmKernel() override { return nullptr; }
        std::vector<IBaseDtmCommunication*> CommunicationObjects() override { return {}; }
        QString ProtocolId() override { return {}; }
        int ChannelCount() override { return 0; }
        IFdtChannel* Channel(int) override { return nullptr; }
    } noKernel;
    for (IDtm* dtm : std::initializer_list<IDtm*>{nullptr, &noKernel}) {
        rig.calls.clear();
        rig.log.clear();
        Diagnosis view;
        EXPECT_TRUE(view.IDtmActiveXControl_Init(QStringLiteral("X"), QString(), dtm));
        EXPECT_EQ(rig.Calls("MessageBox"),
                  QStringList{"MessageBox(BIG Problem: Error occured and no Interface IDtmEvents "
                              "avaliable!)"});
        EXPECT_FALSE(
            rig.log.lines().filter("Diagnosis.Init, Error: : The view holds no DTM").isEmpty())
            << rig.log.lines().join("\n").toStdString();
        view.CallConnect();
        view.ctlButtons_ExtraCommand();
        view.IDtmActiveXControl_PrepareToRelease();
        rig.Settle();
        EXPECT_TRUE(rig.Calls("Communication").isEmpty());
    }
}
