// The Diagnosis view against the recording fakes: Init, the terminal
// pictures, the emphasis in the channel box and the reread cycle.

#include "FakeCommunication.h"
#include "FakeComponents.h"
#include "FakeHost.h"
#include "LogCapture.h"

#include "Diagnosis.h"

#include <QLabel>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <memory>

using namespace rq16;
using namespace rq16::test;

namespace {

class DiagnosisViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeResourceManager::resetShared();
        FakeResourceManager::texts()[4001] = QStringLiteral("Channel");
        dtm.communication = {&comm};
        view = std::make_unique<Diagnosis>();
        view->IDtmActiveXControl_Init(QStringLiteral("INIT"), QString(), &dtm);
        queue = factory.lastQueue;
        bar = factory.lastButtonBar;
        queue->runNext(); // CallConnect
        comm.answerConnect(QStringLiteral("CONNECT:REF1"));
    }
    void TearDown() override { FakeResourceManager::resetShared(); }

    /// Reads the telegram (given as "00 13 35") through a full cycle.
    void show(const QString& hexBytes) {
        if (!view->IsOnline()) {
            bar->clickExtra();
            queue->runNext();
            comm.answerConnect(QStringLiteral("CONNECT:REF1"));
        }
        queue->runNext(); // ReadDiag
        comm.answerTransaction(QStringLiteral("DATA:") + hexBytes);
        queue->runNext(); // CallDisconnect
        comm.answerDisconnect();
    }
    int picture(int terminal) const {
        return FakeResourceManager::PictureId(view->terminalPicture(terminal)->pixmap());
    }
    /// Bold flag and colour of the character at a position of the box.
    QTextCharFormat formatAt(int richPosition) const {
        QTextCursor cursor(view->channelDiagnosisBox()->document());
        cursor.setPosition(richPosition + 1);
        return cursor.charFormat();
    }
    /// Position in the box of the first occurrence of `text`.
    int boxPosition(const QString& text) const {
        return static_cast<int>(view->channelDiagnosisBox()->toPlainText().indexOf(text));
    }

    CallLog log;
    LogCapture capture;
    FakeComponentFactory factory{log};
    FakeDtm dtm{log};
    FakeCommunication comm{log};
    std::unique_ptr<Diagnosis> view;
    ManualDeferredCallQueue* queue = nullptr;
    FakeButtonControl* bar = nullptr;
};

} // namespace

TEST_F(DiagnosisViewTest, InitShowsHeaderCaptionsAndTheFirstEightPictures) {
    EXPECT_EQ(view->headerLabel()->text(), "T6011 05: RQ16 DO8");
    EXPECT_EQ(bar->extraCaption, "T6103");
    for (int t = 0; t < 8; ++t) {
        EXPECT_EQ(picture(t), 452 + t);
    }
    EXPECT_EQ(view->terminalPictureId(8), 0);
    EXPECT_TRUE(log.contains("UiManager.InitFinished(INIT)"));
}

TEST_F(DiagnosisViewTest, InitWithFailingPicturesStillConnects) {
    FakeResourceManager::failingPictures() = {452, 455};
    Diagnosis other;
    EXPECT_TRUE(other.IDtmActiveXControl_Init(QStringLiteral("INIT2"), QString(), &dtm));
    EXPECT_EQ(capture.lines().filter("ERROR when loading Terminal Pictures").size(), 1);
    EXPECT_EQ(factory.lastQueue->pendingNames(), QStringList{"CallConnect"});
    EXPECT_EQ(other.headerLabel()->text(), "T6011 05: RQ16 DO8");
}

TEST_F(DiagnosisViewTest, PicturesFollowTheCategoriesOfTheEntries) {
    // Channel 2 notice; channel 6 group error; channel 7 group error again.
    show(QStringLiteral("00 25 69 79"));
    EXPECT_EQ(picture(5), 473);
    for (int t = 8; t < 12; ++t) {
        EXPECT_EQ(picture(t), 484 + t) << t;
    }
    EXPECT_EQ(picture(13), 465); // channel 6's own terminal stays default
    EXPECT_EQ(picture(14), 466);
    EXPECT_EQ(picture(4), 456);

    // A later entry of the same channel replaces the picture.
    show(QStringLiteral("00 11 15"));
    EXPECT_EQ(picture(4), 472);
    EXPECT_EQ(picture(8), 460); // reset to its default
    show(QStringLiteral("00 15 11"));
    EXPECT_EQ(picture(4), 488);
}

TEST_F(DiagnosisViewTest, LabelsAreBoldAndEverythingElseIsNot) {
    show(QStringLiteral("03 13 35"));
    EXPECT_EQ(view->moduleDiagnosisText(), "T1053\r\n");
    EXPECT_EQ(view->moduleDiagnosisBox()->text(), "T1053");
    const QString plain = view->channelDiagnosisBox()->toPlainText();
    EXPECT_TRUE(plain.startsWith("Channel 1\n\tT1103\n\nChannel 2\n\tOk\n"));
    for (int c = 1; c <= 8; ++c) {
        const int at = boxPosition(QStringLiteral("Channel %1").arg(c));
        EXPECT_EQ(formatAt(at).fontWeight(), QFont::Bold) << c;
        EXPECT_EQ(formatAt(at + 8).fontWeight(), QFont::Bold) << c;
    }
    EXPECT_NE(formatAt(boxPosition("T1103")).fontWeight(), QFont::Bold);
    EXPECT_NE(formatAt(boxPosition("Ok")).fontWeight(), QFont::Bold);
    // The positions of the decoder's CR LF text land on the labels in the box.
    EXPECT_EQ(view->channelDiagnosisText().mid(view->labelStarts()[2], view->labelLengths()[2]),
              "\r\nChannel 3");
    EXPECT_TRUE(view->channelDiagnosisBox()->textCursor().selectedText().isEmpty());
    EXPECT_TRUE(view->diagnosisShown());
}

TEST_F(DiagnosisViewTest, SyntaxErrorIsBoldRedAndKeepsTheLastTelegram) {
    show(QStringLiteral("00 11"));
    capture.clear();
    show(QStringLiteral("00 31 21"));
    const int error = boxPosition("Syntax error");
    ASSERT_GT(error, 0);
    EXPECT_EQ(formatAt(error).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(error).foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatAt(boxPosition("ascending")).foreground().color(), QColor(255, 0, 0));
    // Earlier blocks are not emphasised.
    EXPECT_NE(formatAt(boxPosition("Channel 3")).fontWeight(), QFont::Bold);
    EXPECT_NE(formatAt(boxPosition("T1101")).foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(view->lastTelegram(), ByteArray({0x00, 0x11}));
    EXPECT_TRUE(capture.contains("Diagnosis.ParseModuleDiagnosis: Calling Disconnect"));
    EXPECT_EQ(log.count("Communication.Disconnect"), 2);
}

TEST_F(DiagnosisViewTest, AnUnchangedTelegramLeavesTheScreenAlone) {
    show(QStringLiteral("00 13"));
    capture.clear();
    view->channelDiagnosisBox()->setPlainText(QStringLiteral("marker"));
    show(QStringLiteral("00 13"));
    EXPECT_EQ(view->channelDiagnosisBox()->toPlainText(), "marker");
    EXPECT_EQ(capture.forPlace("Diagnosis.ParseModuleDiagnosis"),
              (QStringList{"", "Calling Disconnect"}));
    EXPECT_FALSE(view->IsOnline());
    EXPECT_TRUE(bar->buttonsEnabled);

    // After an abort the same telegram is shown again in full.
    bar->clickExtra();
    queue->runNext();
    comm.answerConnect(QStringLiteral("CONNECT:REF1"));
    comm.abort();
    EXPECT_FALSE(view->diagnosisShown());
    queue->runNext(); // the read queued before the abort
    show(QStringLiteral("00 13"));
    EXPECT_NE(view->channelDiagnosisBox()->toPlainText(), "marker");
}

TEST_F(DiagnosisViewTest, BoxOperationsLogTheirLines) {
    show(QStringLiteral("01 81"));
    EXPECT_EQ(capture.forPlace("Diagnosis.AddModuleDiagnosisText"), QStringList{"T1051"});
    const QStringList lines = capture.forPlace("Diagnosis.AddChannelDiagnosisText");
    EXPECT_EQ(lines.size(), 8);
    EXPECT_EQ(lines.front(), "\tOk");
    EXPECT_EQ(lines.back(), "\tT1101");
    EXPECT_EQ(capture.count("Diagnosis.ClearChannelDiagnosisText: "), 1);
}

TEST_F(DiagnosisViewTest, NegativeConnectAnswerIsWrittenIntoTheModuleBox) {
    show(QStringLiteral("00 11"));
    bar->clickExtra();
    queue->runNext();
    comm.answerConnect(QStringLiteral("ERROR:station not reachable"));
    EXPECT_EQ(view->moduleDiagnosisText(), "station not reachable\r\n");
    EXPECT_TRUE(view->channelDiagnosisText().isEmpty());
    EXPECT_FALSE(view->diagnosisShown());
    EXPECT_TRUE(log.contains("Kernel.OnErrorMessage(SYSTAG,station not reachable)"));
}

TEST_F(DiagnosisViewTest, AMissingTextIsReportedAndTheViewStillDisconnects) {
    FakeResourceManager::failingTexts() = {1102};
    show(QStringLiteral("00 12"));
    EXPECT_TRUE(log.contains("Kernel.OnErrorMessage(SYSTAG,Text 1102 not found)"));
    EXPECT_FALSE(view->diagnosisShown());
    EXPECT_EQ(log.count("Communication.Disconnect"), 1);
    EXPECT_FALSE(view->IsOnline());
}
