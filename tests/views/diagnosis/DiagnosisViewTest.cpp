// The Diagnosis view on the stand-ins and the simulated module: the whole
// cycle as the log and the calls show it, the terminal pictures, the
// emphasis in the channel box, and what Init does after errors.

#include "Golden.h"
#include "StandIns.h"

#include "Diagnosis.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <gtest/gtest.h>

using namespace rq16;
using namespace rq16::test;

using Button = rq16::standins::ButtonControl::Button;

namespace {

class DiagnosisViewTest : public ::testing::Test {
protected:
    /// Bold flag and colour at the first occurrence of `text` in the box.
    QTextCharFormat FormatOf(Diagnosis* view, const QString& text) const {
        QTextCursor cursor(view->channelDiagnosisBox()->document());
        cursor.setPosition(
            static_cast<int>(view->channelDiagnosisBox()->toPlainText().indexOf(text)) + 1);
        return cursor.charFormat();
    }

    /// Every block and fragment of the channel box with its formats.
    static QString Contents(Diagnosis* view) {
        const auto formats = [](const QTextFormat& format) {
            QStringList properties;
            const auto all = format.properties();
            for (auto it = all.begin(); it != all.end(); ++it) {
                properties << QStringLiteral("%1=%2").arg(it.key()).arg(it.value().toString());
            }
            return properties.join(QLatin1Char(','));
        };
        QString out;
        for (QTextBlock block = view->channelDiagnosisBox()->document()->begin(); block.isValid();
             block = block.next()) {
            out += QStringLiteral("[%1]").arg(formats(block.charFormat()));
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                out += QStringLiteral("{%1|%2}").arg(it.fragment().text(),
                                                     formats(it.fragment().charFormat()));
            }
            out += QLatin1Char('\n');
        }
        return out;
    }

    StandIns rig;
};

} // namespace

TEST_F(DiagnosisViewTest, OneCycleAsTheLogAndTheCallsShowIt) {
    rig.module.SetModuleCode(2);
    rig.module.SetChannelFaults(6, {9});
    auto* view = rig.Open<Diagnosis>();
    rig.Settle();
    EXPECT_TRUE(StandIns::Bar(view).click(Button::Close));
    rig.Settle();
    rig.dtm.ReleaseView(rig.invokeId);
    rig.Settle();

    ExpectGoldenRun(rig.log.lines(), RunCalls(rig.calls), "diagnosis");
    EXPECT_EQ(view->headerLabel()->text(), "Slot 03: RQ16 DO8");
    EXPECT_EQ(rig.dtm.kernel().sinkCount(), 0u);
}

TEST_F(DiagnosisViewTest, PicturesFollowTheCategoriesOfTheEntries) {
    auto* view = rig.Open<Diagnosis>();
    // Init loads terminals 0 to 7; 8 to 15 keep their design pictures until
    // the first telegram.
    for (int t = 0; t < Diagnosis::kTerminalCount; ++t) {
        EXPECT_FALSE(view->terminalPicture(t)->pixmap().isNull()) << t;
    }
    rig.Settle();
    struct Case {
        ByteArray telegram;
        std::map<int, std::int32_t> pictures; ///< terminal: picture id
        QString said;                         ///< what a screen reader says for the first of them
    };
    const std::vector<Case> cases{
        // Channel 2 notice; channels 6 and 7 group errors; their own
        // terminals stay at their defaults.
        {{0x00, 0x25, 0x69, 0x79},
         {{5, 473}, {8, 492}, {11, 495}, {13, 465}, {14, 466}, {4, 456}},
         "Terminal 5, channel 1: no fault / "},
        // A later entry of the same channel replaces the picture.
        {{0x00, 0x11, 0x15},
         {{4, 472}, {8, 460}},
         "Terminal 5, channel 1: notice / Output is forced"},
        {{0x00, 0x15, 0x11}, {{4, 488}}, "Terminal 5, channel 1: fault / Short circuit"},
        {{0x00, 0x69},
         {{8, 492}},
         "Terminal 9, channels 5 to 8: fault / Group load voltage missing"},
    };
    for (const Case& c : cases) {
        view->ParseModuleDiagnosis(c.telegram);
        for (const auto& [terminal, id] : c.pictures) {
            EXPECT_EQ(view->terminalPictureId(terminal), id) << terminal;
        }
        auto* picture =
            QAccessible::queryAccessibleInterface(view->terminalPicture(c.pictures.begin()->first));
        EXPECT_EQ(picture->text(QAccessible::Name) + " / " +
                      picture->text(QAccessible::Description),
                  c.said);
    }
}

TEST_F(DiagnosisViewTest, LabelsBoldSyntaxErrorsRedAndAnUnchangedTelegramLeavesTheScreen) {
    auto* view = rig.Open<Diagnosis>();
    view->ParseModuleDiagnosis({0x03, 0x13, 0x35});
    EXPECT_EQ(FormatOf(view, "Channel 3").fontWeight(), QFont::Bold);
    EXPECT_NE(FormatOf(view, "Ok").fontWeight(), QFont::Bold);
    EXPECT_TRUE(view->channelDiagnosisBox()->textCursor().selectedText().isEmpty());
    EXPECT_EQ(view->channelDiagnosisText().mid(view->labelStarts()[2], view->labelLengths()[2]),
              "\r\nChannel 3");

    view->ParseModuleDiagnosis({0x00, 0x31, 0x21});
    EXPECT_EQ(FormatOf(view, "Syntax error").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(FormatOf(view, "Syntax error").fontWeight(), QFont::Bold);
    EXPECT_NE(FormatOf(view, "Channel 3").fontWeight(), QFont::Bold);
    EXPECT_EQ(view->lastTelegram(), (ByteArray{0x03, 0x13, 0x35}));

    view->ParseModuleDiagnosis({0x00, 0x13});
    view->channelDiagnosisBox()->setPlainText("marker");
    view->ParseModuleDiagnosis({0x00, 0x13});
    EXPECT_EQ(view->channelDiagnosisBox()->toPlainText(), "marker");
    // After a lost connection the same telegram is shown again in full.
    view->IBaseCommunicationCallback_OnAbort(QStringLiteral("SIM-1"));
    view->ParseModuleDiagnosis({0x00, 0x13});
    EXPECT_NE(view->channelDiagnosisBox()->toPlainText(), "marker");
}

TEST_F(DiagnosisViewTest, ANewDiagnosisShowsChannelOneAlsoWhenTheViewWasHidden) {
    for (int c = 1; c <= 8; ++c) {
        rig.module.SetChannelFaults(c, {1, 2, 3, 4});
    }
    auto* view = rig.Open<Diagnosis>();
    view->show();
    rig.Settle();
    view->hide();
    rig.module.SetChannelFaults(1, {5});
    EXPECT_TRUE(StandIns::Bar(view).click(Button::Extra));
    rig.Settle();
    view->show();
    QScrollBar* scroll = view->channelDiagnosisBox()->verticalScrollBar();
    ASSERT_GT(scroll->maximum(), 0);
    EXPECT_EQ(scroll->value(), 0);
    EXPECT_EQ(view->channelDiagnosisBox()->textCursor().position(), 0);
}

TEST_F(DiagnosisViewTest, AnErrorInOneInitStatementLeavesTheNextOnesInPlace) {
    ResourcesWithout missing({6101, 6103});
    auto* view = rig.Open<Diagnosis>();
    EXPECT_EQ(rig.log.lines().filter(".Init, Error: ").size(), 2);
    const auto frames = view->findChildren<QGroupBox*>();
    QStringList titles;
    for (const QGroupBox* frame : frames) {
        titles << frame->title();
    }
    EXPECT_TRUE(titles.contains("Channel related diagnosis"));
    // Without the extra button's caption the bar still shows the activity
    // and clears its message, and Init finishes.
    EXPECT_TRUE(rig.Calls("Buttons.SetExtraButton").isEmpty());
    EXPECT_EQ(rig.calls.filter(QRegularExpression("^(Buttons.ShowActivity|Buttons.SetMessage|"
                                                  "UiManager.InitFinished)")),
              (QStringList{"Buttons.ShowActivity", "Buttons.SetMessage()",
                           "UiManager.InitFinished(DTM-1)"}));
}

TEST_F(DiagnosisViewTest, ANegativeConnectAnswerIsShownInTheModuleBox) {
    rig.module.connectionFaults().negativeConnect = true;
    auto* view = rig.Open<Diagnosis>();
    rig.Settle();
    EXPECT_EQ(view->moduleDiagnosisBox()->text(), "The station refused the connection");
    EXPECT_TRUE(view->channelDiagnosisText().isEmpty());
}

TEST_F(DiagnosisViewTest, EveryDecodingLeavesTheBoxAsAViewThatShowsOnlyIt) {
    // The view rewrites only what changes; the box and the terminals' names
    // must be exactly those of a view that decodes nothing but the last
    // telegram.
    auto* view = rig.Open<Diagnosis>();
    const std::vector<ByteArray> telegrams{
        {0x00, 0x31},       {0x02, 0x41}, // a fault moves: the same lines
        {0x00, 0x41, 0x42}, {0x00, 0x05, 0x13}, {0x00, 0x31, 0x21}, {0x01, 0x85},
    };
    for (const ByteArray& telegram : telegrams) {
        view->ParseModuleDiagnosis(telegram);
        auto* fresh = rig.Open<Diagnosis>();
        fresh->ParseModuleDiagnosis(telegram);
        EXPECT_EQ(Contents(view), Contents(fresh)) << int(telegram[1]);
        EXPECT_EQ(view->channelDiagnosisBox()->textCursor().position(),
                  fresh->channelDiagnosisBox()->textCursor().position());
        for (int t = 0; t < Diagnosis::kTerminalCount; ++t) {
            EXPECT_EQ(view->terminalPicture(t)->accessibleName(),
                      fresh->terminalPicture(t)->accessibleName());
            EXPECT_EQ(view->terminalPicture(t)->accessibleDescription(),
                      fresh->terminalPicture(t)->accessibleDescription());
        }
    }
}
