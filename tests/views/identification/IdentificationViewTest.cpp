// The Identification view on the stand-ins: the read and write sequences as
// request lists, their failures, and save-before-close. The test answers
// each request itself, with the documents a module would send.

#include "StandIns.h"

#include "Identification.h"

#include "standins/communication/Documents.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

using namespace rq16;
using namespace rq16::test;
using Button = rq16::standins::ButtonControl::Button;
namespace docs = rq16::standins::documents;

namespace {

/// A 64-byte I&M record: 10-byte header, then the fields.
QString Record(const QByteArray& header, const QByteArray& a, int widthA, const QByteArray& b) {
    const QByteArray record =
        (header.leftJustified(10) + a.leftJustified(widthA) + b).leftJustified(64);
    return docs::DataResponse(ByteArray(record.begin(), record.end()));
}
const QString kOk = docs::EmptyResponse();
const QString kQs =
    docs::DataResponse(simulator::EncodeQs({"C1", "S2", 3, {1, 2, 0}, QDate(2024, 5, 6)}));
const QString kSelectIM0 = QStringLiteral("Write 255 0800FDE8");
const QString kSelectIM1 = QStringLiteral("Write 255 0800FDE9");
const QString kSelectIM2 = QStringLiteral("Write 255 0800FDEA");
const QString kRead = QStringLiteral("Read 255");

class IdentificationViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.dtm.SetState(6);
        rig.HoldAnswers();
        view = std::make_unique<Identification>();
        view->IDtmActiveXControl_Init(QStringLiteral("INIT"), QString(), &rig.dtm);
    }

    /// For each response: runs what is queued, then answers the last request
    /// sent with it (a connect with the connection the module opened, a
    /// disconnect with an empty answer).
    void answer(const QStringList& responses = {kOk}) {
        for (const QString& response : responses) {
            rig.Settle();
            const auto& request = rig.comm.requests().back();
            if (!request.accepted) {
                continue;
            }
            if (request.operation == "Connect") {
                view->IBaseCommunicationCallback_OnConnectResponse(
                    request.invokeId, docs::ConnectResponse(rig.comm.openConnections().front()));
            } else if (request.operation == "Disconnect") {
                view->IBaseCommunicationCallback_OnDisconnectResponse(request.invokeId, kOk);
            } else {
                view->IBaseCommunicationCallback_OnTransactionResponse(request.invokeId, response);
            }
            rig.Settle();
        }
    }
    /// The transaction requests since the last clear: kind, index, data.
    QStringList requests() const {
        QStringList sent;
        for (const auto& request : rig.comm.requests()) {
            if (const auto parsed = docs::ParseRequest(request.document);
                parsed && request.operation == "Transaction") {
                sent << (docs::KindName(parsed->kind) +
                         (parsed->index >= 0 ? " " + QString::number(parsed->index) : "") +
                         (parsed->hasData ? " " + docs::ToHex(parsed->data) : ""));
            }
        }
        return sent;
    }
    QString text(const char* name) const { return view->textBox(QLatin1String(name))->text(); }
    /// The tag function of the I&M data stored in the data set.
    QString Stored() {
        auto im = Components().CreateIMData();
        IdentificationStore([&]() -> IParameterManager& {
            return rig.dtm.parameters();
        }).ReadIMData(*im);
        return im->TagFunction();
    }
    QStringList errors() const {
        QStringList messages;
        for (const QString& call : rig.Calls("Kernel.OnErrorMessage")) {
            messages << call.section(QLatin1Char(','), 1).chopped(1);
        }
        return messages;
    }

    StandIns rig;
    std::unique_ptr<Identification> view;
};

} // namespace

TEST_F(IdentificationViewTest, ReadSequenceShowsAndStoresEverything) {
    answer({kOk, kQs, kOk});
    // An answer under a foreign id changes nothing.
    view->IBaseCommunicationCallback_OnTransactionResponse("XX", docs::ErrorResponse("foreign"));
    answer({docs::DataResponse(simulator::DefaultIm0()), kOk, Record("H1", "Pump", 32, "Hall"), kOk,
            Record("H2", "2024-05-06 07:00", 16, "")});
    EXPECT_EQ(requests(), (QStringList{QStringLiteral("ReadQsData"), kSelectIM0, kRead, kSelectIM1,
                                       kRead, kSelectIM2, kRead}));
    EXPECT_TRUE(errors().isEmpty());
    EXPECT_EQ(text("txtChargeNumber"), QStringLiteral("C1"));
    EXPECT_EQ(text("txtInstallationDate"), QStringLiteral("2024-05-06 07:00"));
    EXPECT_TRUE(view->imDataFrame()->isEnabled());
    EXPECT_EQ(view->textBox("txtLastUpdate")->geometry(), QRect(524, 332, 61, 21)); // as designed
    EXPECT_FALSE(view->protocol().state.m_bIMDataChanged);
    EXPECT_FALSE(rig.dtm.parameters().data().storedIMData.empty());
    EXPECT_TRUE(rig.calls.contains(QStringLiteral("UiManager.RequestDataSetSave")));
    EXPECT_EQ(rig.comm.requests().back().operation, "Disconnect");
    // Another user's lock makes the comment read-only and OK unusable.
    rig.dtm.SetDataSetLock(standins::LockHolder::OtherUser, "Bob");
    EXPECT_TRUE(view->commentBox()->isReadOnly());
    const QPalette greyed = view->commentBox()->palette();
    EXPECT_EQ(greyed.color(QPalette::Base), greyed.color(QPalette::Window));
    EXPECT_FALSE(StandIns::Bar(view.get()).isOkEnabled());
}

TEST_F(IdentificationViewTest, AFailedSaveKeepsTheEditsAndTheNextCloseWritesThem) {
    answer({kOk, kQs, kOk, docs::DataResponse({0x00}), kOk, Record("H1", "  Pump ", 32, "Hall"),
            kOk, Record("H2", "2024-05-06 07:00", 16, QByteArray(38, 'R')), kOk});
    EXPECT_EQ(text("txtTagFunction"), QStringLiteral("Pump")); // shown and stored trimmed
    EXPECT_EQ(Stored(), QStringLiteral("Pump"));
    // An I&M1 record that cannot be decoded replaces the I&M data: no header.
    EXPECT_TRUE(StandIns::Bar(view.get()).click(Button::Extra));
    answer({kOk, kQs, kOk, docs::DataResponse({0x00}), kOk, docs::DataResponse({0x00}), kOk,
            Record("H2", "", 16, ""), kOk});
    EXPECT_EQ(errors().size(), 1);
    rig.calls.clear();
    view->textBox(QStringLiteral("txtTagFunction"))->setText(QStringLiteral("  Fan"));

    // The release saves first; the module refuses the I&M2 select.
    EXPECT_FALSE(view->IDtmActiveXControl_PrepareToRelease());
    answer({kOk, kOk, kOk, docs::ErrorResponse("busy"), kOk});
    EXPECT_EQ(errors(), QStringList{"busy"});

    // The close saves again: four requests, the pause before the I&M2 select
    // holding the view's thread, then store, save and close.
    rig.calls.clear();
    rig.comm.clearRequests();
    QList<qsizetype> sentWhenThePauseWasOver;
    OnlineView::SetPauseFunction([&](int ms) {
        rig.pauses << ms;
        QTimer::singleShot(0, view.get(), [&] { sentWhenThePauseWasOver << requests().size(); });
    });
    rig.pauses.clear();
    EXPECT_TRUE(StandIns::Bar(view.get()).click(Button::Close));
    answer({kOk, kOk, kOk, kOk, kOk});
    EXPECT_EQ(rig.pauses, QList<int>{1000});
    EXPECT_EQ(sentWhenThePauseWasOver, QList<qsizetype>{3});
    const QStringList sent = requests();
    ASSERT_EQ(sent.size(), 4);
    // Typed as is; the header of the I&M data shown, now none.
    const QByteArray record = QByteArray(10, ' ') + QByteArray("  Fan").leftJustified(32) +
                              QByteArray("Hall").leftJustified(22);
    EXPECT_EQ(sent.at(1), "Write 255 0800FDE9" + QString::fromLatin1(record.toHex().toUpper()));
    EXPECT_EQ(sent.at(2), kSelectIM2);
    EXPECT_EQ(Stored(), QStringLiteral("Fan"));
    EXPECT_TRUE(rig.calls.contains(QStringLiteral("UiManager.RequestDataSetSave")));
    answer();
    EXPECT_TRUE(rig.calls.contains(QStringLiteral("UiManager.RequestClose(INIT)")));
    EXPECT_TRUE(errors().isEmpty());
    EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
    EXPECT_TRUE(rig.calls.contains(QStringLiteral("UiManager.PreparedToRelease(INIT)")));
}

TEST_F(IdentificationViewTest, LayoutCaptionsPictureAndWhatCanBeEdited) {
    const std::tuple<const char*, bool, int> boxes[] = {{"txtOrderNumber", true, 32767},
                                                        {"txtTagFunction", false, 32},
                                                        {"txtTagLocation", false, 22},
                                                        {"txtInstallationDate", false, 16}};
    for (const auto& [box, readOnly, maxLength] : boxes) {
        EXPECT_EQ(view->textBox(box)->isReadOnly(), readOnly) << box;
        EXPECT_EQ(view->textBox(box)->maxLength(), maxLength) << box;
    }
    EXPECT_EQ(view->findChild<QLabel*>("lblTagFunction")->text(), QStringLiteral("Tag function"));
    EXPECT_TRUE(view->findChild<QLabel*>("lblModuleType")->font().bold());
    EXPECT_EQ(view->devicePictureId(), 602);
}

TEST(DevicePicture, ScaledToTheBandHeightAndCentred) {
    EXPECT_EQ(DevicePictureRect(200, 300), QRect(6067, 690, 2610, 3915));
    EXPECT_EQ(DevicePictureRect(2745, 3915), QRect(6000, 690, 2745, 3915));
}
