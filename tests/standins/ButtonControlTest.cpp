#include "standins/buttons/ButtonControl.h"
#include "standins/resources/ResourceManager.h"

#include <QDir>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

using rq16::standins::ButtonControl;
using Button = ButtonControl::Button;

namespace {

class RecordingSink : public rq16::IButtonControlEvents {
public:
    QStringList events;
    void ctlButtons_Apply() override { events << QStringLiteral("Apply"); }
    void ctlButtons_Cancel() override { events << QStringLiteral("Cancel"); }
    void ctlButtons_OK() override { events << QStringLiteral("OK"); }
    void ctlButtons_Help() override { events << QStringLiteral("Help"); }
    void ctlButtons_Close() override { events << QStringLiteral("Close"); }
    void ctlButtons_ExtraCommand() override { events << QStringLiteral("Extra"); }
};

const QString kCommon = QStringLiteral(RQ16_TEST_COMMON_FOLDER);

} // namespace

TEST(ButtonControl, DisableButtonsAndTheApplyAndOkSwitches) {
    ButtonControl bar;
    RecordingSink sink;
    bar.SetEventSink(&sink);
    bar.SetStandardButtons(true, true, true, true);
    bar.DisableApply();
    EXPECT_FALSE(bar.isApplyEnabled());
    EXPECT_TRUE(bar.isOkEnabled());

    bar.DisableButtons();
    for (Button b : {Button::Ok, Button::Cancel, Button::Apply, Button::Close, Button::Help}) {
        EXPECT_FALSE(bar.isButtonEnabled(b));
        EXPECT_FALSE(bar.click(b));
    }
    QTest::keyClick(bar.findChild<QWidget*>("cmdCancel"), Qt::Key_Return);
    bar.EnableApply(); // remembered while all buttons are disabled
    EXPECT_FALSE(bar.isApplyEnabled());
    bar.EnableButtons();
    EXPECT_TRUE(bar.isApplyEnabled());
    bar.DisableOk();
    EXPECT_FALSE(bar.isOkEnabled());
    EXPECT_TRUE(bar.isButtonEnabled(Button::Cancel));
    bar.EnableOk();
    QTest::keyClick(bar.findChild<QWidget*>("cmdOk"), Qt::Key_Return); // as a click
    EXPECT_EQ(sink.events, QStringList{QStringLiteral("OK")});
}
