// The Identification view against the recording fakes: the read and write
// sequences as request lists, their failures, and save-before-close.

#include "FakeCommunication.h"
#include "FakeComponents.h"
#include "FakeHost.h"

#include "EventLoop.h"
#include "Identification.h"

#include <QGroupBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <memory>

using namespace rq16;
using namespace rq16::test;

namespace {

QString Hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
/// An I&M record in the fake layout: 10-byte header, then the fields.
QString Record(const QByteArray& header, const QByteArray& a, int widthA, const QByteArray& b) {
    return QStringLiteral("DATA:") + Hex(header.leftJustified(10) + a.leftJustified(widthA) + b);
}
const QString kSelectIM0 = QStringLiteral("WRITE REF1 5 255 08 00 FD E8");
const QString kSelectIM1 = QStringLiteral("WRITE REF1 5 255 08 00 FD E9");
const QString kSelectIM2 = QStringLiteral("WRITE REF1 5 255 08 00 FD EA");
const QString kRead = QStringLiteral("READ REF1 5 255");

class IdentificationViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeResourceManager::resetShared();
        dtm.communication = {&comm};
        dtm.kernel.kernelState = 6;
        view = std::make_unique<Identification>();
        view->SetWritePauseMs(0);
        view->IDtmActiveXControl_Init(QStringLiteral("INIT"), QString(), &dtm);
        queue = factory.lastQueue;
        bar = factory.lastButtonBar;
    }
    void TearDown() override { FakeResourceManager::resetShared(); }

    /// Runs the queue (and the write pause), then answers the request sent.
    void answer(const QString& response) {
        do {
            Spin(1);
        } while (queue->runAll() > 0);
        if (comm.lastConnectId == view->OnlineInvokeId()) {
            comm.answerConnect(response);
        } else {
            comm.answerTransaction(response);
        }
    }
    void answerAll(const QStringList& responses) {
        for (const QString& response : responses) {
            answer(response);
        }
    }
    void readEverything() {
        answerAll({QStringLiteral("CONNECT:REF1"),
                   QStringLiteral("DATA:") + Hex("C1|S2|V1.2|03|2024-05-06"), QStringLiteral("OK"),
                   QStringLiteral("DATA:00"), QStringLiteral("OK"),
                   Record("H1", "  Pump ", 32, "Hall"), QStringLiteral("OK"),
                   Record("H2", "2024-05-06 07:00", 16, QByteArray(38, 'R'))});
        queue->runAll();
        comm.answerDisconnect();
    }
    /// The documents of the transaction requests since the last clear.
    QStringList requests() const {
        QStringList documents;
        for (const QString& call :
             log.matching(QStringLiteral("Communication.TransactionRequest"))) {
            documents << call.section(QLatin1Char(','), 2).section(QStringLiteral(")="), 0, 0);
        }
        return documents;
    }
    QString text(const char* name) const { return view->textBox(QLatin1String(name))->text(); }
    QStringList errors() const {
        QStringList messages;
        for (const QString& call : log.matching(QStringLiteral("Kernel.OnErrorMessage"))) {
            messages << call.section(QLatin1Char(','), 1).chopped(1);
        }
        return messages;
    }

    CallLog log;
    FakeComponentFactory factory{log};
    FakeDtm dtm{log};
    FakeCommunication comm{log};
    std::unique_ptr<Identification> view;
    ManualDeferredCallQueue* queue = nullptr;
    FakeButtonControl* bar = nullptr;
};

} // namespace

TEST_F(IdentificationViewTest, ReadSequenceShowsAndStoresEverything) {
    answerAll({QStringLiteral("CONNECT:REF1"),
               QStringLiteral("DATA:") + Hex("C1|S2|V1.2|03|2024-05-06"), QStringLiteral("OK")});
    // An answer under a foreign id changes nothing.
    comm.answerTransaction(QStringLiteral("XX"), QStringLiteral("ERROR:foreign"));
    answerAll({QStringLiteral("DATA:00"), QStringLiteral("OK"), QStringLiteral("NODATA"),
               QStringLiteral("OK"), Record("H2", "2024-05-06 07:00", 16, "")});
    EXPECT_EQ(requests(), (QStringList{QStringLiteral("REQ:ReadQsData:REF1"), kSelectIM0, kRead,
                                       kSelectIM1, kRead, kSelectIM2, kRead}));
    EXPECT_EQ(errors(), QStringList{QStringLiteral("No data read")}); // the I&M1 read
    EXPECT_EQ(text("txtChargeNumber"), QStringLiteral("C1"));
    EXPECT_EQ(text("txtInstallationDate"), QStringLiteral("2024-05-06 07:00"));
    EXPECT_TRUE(view->imDataFrame()->isEnabled());
    EXPECT_FALSE(view->sequence().m_bIMDataChanged);
    EXPECT_FALSE(dtm.kernel.parameterManager.storedIM.empty());
    EXPECT_FALSE(dtm.kernel.parameterManager.storedQs.empty());
    EXPECT_TRUE(log.contains(QStringLiteral("UiManager.RequestDataSetSave")));
    EXPECT_EQ(queue->pendingNames(), QStringList{QStringLiteral("CallDisconnect")});
}

TEST_F(IdentificationViewTest, RefusedSelectShowsNoImData) {
    answerAll({QStringLiteral("CONNECT:REF1"),
               QStringLiteral("DATA:") + Hex("C1|S2|V1.2|03|2024-05-06"),
               QStringLiteral("ERROR:no I&M")});
    EXPECT_EQ(requests().size(), 2);
    EXPECT_EQ(text("txtTagFunction"), QStringLiteral("T9070"));
    EXPECT_EQ(text("txtTagLocation"), QStringLiteral("-/-"));
    EXPECT_EQ(text("txtSerialNumber"), QStringLiteral("S2"));
    EXPECT_FALSE(view->imDataFrame()->isEnabled());
    EXPECT_TRUE(errors().isEmpty());
    EXPECT_EQ(queue->pendingNames(), QStringList{QStringLiteral("CallDisconnect")});
}

TEST_F(IdentificationViewTest, FailedWritesKeepTheEditsUntilASaveSucceeds) {
    readEverything();
    view->textBox(QStringLiteral("txtTagFunction"))->setText(QStringLiteral("  Fan"));
    log.clear();

    // First release: the save runs, the module refuses the I&M2 select.
    EXPECT_FALSE(view->IDtmActiveXControl_PrepareToRelease());
    answerAll({QStringLiteral("CONNECT:REF1"), QStringLiteral("OK"), QStringLiteral("OK"),
               QStringLiteral("ERROR:busy")});
    EXPECT_EQ(requests().size(), 3);
    EXPECT_EQ(requests().at(1).section(QLatin1Char(' '), 4).split(u' ').size(), 68);
    EXPECT_EQ(errors(), QStringList{QStringLiteral("busy\r\nT1138")});
    queue->runAll();
    comm.answerDisconnect();
    EXPECT_TRUE(bar->buttonsEnabled);
    EXPECT_TRUE(view->sequence().m_bIMDataChanged);
    EXPECT_EQ(text("txtTagFunction"), QStringLiteral("  Fan"));
    bar->clickExtra(); // a reread would replace the edits: answered No
    EXPECT_EQ(log.count(QStringLiteral("UserDialog.AskUser")), 1);
    EXPECT_TRUE(queue->empty());

    // Second try (the user asked, says yes): the module does not take the
    // I&M1 record.
    log.clear();
    dtm.kernel.userDialog.answer = kIdYes;
    EXPECT_FALSE(view->IDtmActiveXControl_PrepareToRelease());
    answer(QStringLiteral("CONNECT:REF1"));
    comm.acceptTransaction = false;
    answer(QStringLiteral("OK"));
    EXPECT_EQ(errors(), QStringList{QStringLiteral("T9071\r\nT1138")});
    EXPECT_TRUE(view->sequence().m_bIMDataChanged);
    queue->runAll();
    comm.answerDisconnect();

    // Third try writes all four requests, stores, saves and closes.
    log.clear();
    comm.acceptTransaction = true;
    EXPECT_FALSE(view->IDtmActiveXControl_PrepareToRelease());
    answerAll({QStringLiteral("CONNECT:REF1"), QStringLiteral("OK"), QStringLiteral("OK"),
               QStringLiteral("OK"), QStringLiteral("OK")});
    const QStringList sent = requests();
    ASSERT_EQ(sent.size(), 4);
    EXPECT_EQ(sent.at(0), kSelectIM1);
    // Typed as is, header and the other field as read.
    EXPECT_EQ(sent.at(1),
              QStringLiteral("WRITE REF1 5 255 08 00 FD E9 ") +
                  Hex(QByteArray("H1").leftJustified(10) + QByteArray("  Fan").leftJustified(32) +
                      QByteArray("Hall").leftJustified(22)));
    EXPECT_EQ(sent.at(2), kSelectIM2);
    EXPECT_TRUE(log.contains(QStringLiteral("UiManager.RequestDataSetSave")));
    EXPECT_FALSE(view->sequence().m_bIMDataChanged);
    queue->runAll();
    comm.answerDisconnect();
    EXPECT_TRUE(log.contains(QStringLiteral("UiManager.RequestClose(INIT)")));
    EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
    EXPECT_TRUE(log.contains(QStringLiteral("UiManager.PreparedToRelease(INIT)")));
}

TEST(DevicePicture, ScaledToTheBandHeightAndCentred) {
    EXPECT_EQ(DevicePictureRect(200, 300), QRect(6067, 690, 2610, 3915));
    EXPECT_EQ(DevicePictureRect(2745, 3915), QRect(6000, 690, 2745, 3915));
}
