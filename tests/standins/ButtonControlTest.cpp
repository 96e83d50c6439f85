#include "standins/buttons/ButtonControl.h"
#include "standins/resources/ResourceManager.h"

#include <QDir>
#include <QProgressBar>

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

TEST(ButtonControl, StandardButtonsAndEventsReachTheSink) {
    ButtonControl bar;
    RecordingSink sink;
    bar.SetEventSink(&sink);
    bar.SetStandardButtons(false, false, false, true);
    EXPECT_FALSE(bar.isButtonVisible(Button::Ok));
    EXPECT_FALSE(bar.isButtonVisible(Button::Apply));
    EXPECT_TRUE(bar.isButtonVisible(Button::Close));
    EXPECT_TRUE(bar.isButtonVisible(Button::Help));
    EXPECT_FALSE(bar.isButtonVisible(Button::Extra)) << "no extra button before it has a caption";
    EXPECT_FALSE(bar.click(Button::Ok));

    bar.SetExtraButton(QStringLiteral("Read again"), QStringLiteral("tip"), 0);
    EXPECT_TRUE(bar.isButtonVisible(Button::Extra));
    EXPECT_EQ(bar.buttonText(Button::Extra), QStringLiteral("Read again"));
    EXPECT_EQ(bar.extraToolTip(), QStringLiteral("tip"));

    EXPECT_TRUE(bar.click(Button::Close));
    EXPECT_TRUE(bar.click(Button::Help));
    EXPECT_TRUE(bar.click(Button::Extra));
    bar.SetStandardButtons(true, true, true, false);
    EXPECT_TRUE(bar.click(Button::Ok));
    EXPECT_TRUE(bar.click(Button::Cancel));
    EXPECT_TRUE(bar.click(Button::Apply));
    EXPECT_FALSE(bar.click(Button::Close));
    EXPECT_EQ(sink.events, (QStringList{"Close", "Help", "Extra", "OK", "Cancel", "Apply"}));

    bar.SetEventSink(nullptr);
    EXPECT_TRUE(bar.click(Button::Help)); // detached: nothing to tell, no crash
    EXPECT_EQ(sink.events.size(), 6);
}

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
    bar.EnableApply(); // remembered while all buttons are disabled
    EXPECT_FALSE(bar.isApplyEnabled());
    bar.EnableButtons();
    EXPECT_TRUE(bar.isApplyEnabled());
    bar.DisableOk();
    EXPECT_FALSE(bar.isOkEnabled());
    EXPECT_TRUE(bar.isButtonEnabled(Button::Cancel));
    bar.EnableOk();
    EXPECT_TRUE(bar.click(Button::Ok));
    EXPECT_EQ(sink.events, QStringList{QStringLiteral("OK")});
}

TEST(ButtonControl, CaptionsOnlineLampMessageActivityAndArea) {
    ButtonControl bar;
    EXPECT_EQ(bar.buttonText(Button::Close), QStringLiteral("Close"));
    EXPECT_EQ(bar.onlineText(), QStringLiteral("offline"));

    rq16::standins::ResourceManager resources(kCommon);
    bar.SetResourceManager(&resources);
    EXPECT_EQ(bar.buttonText(Button::Apply), resources.GetString(8003, kCommon));
    EXPECT_EQ(bar.buttonText(Button::Help), resources.GetString(8005, kCommon));

    rq16::standins::ResourceManager empty(QStringLiteral("/no/such/folder"));
    bar.SetResourceManager(&empty);
    EXPECT_EQ(bar.buttonText(Button::Ok), QStringLiteral("OK")) << "literal fallback";

    bar.SetOnline(true);
    EXPECT_TRUE(bar.isOnline());
    EXPECT_EQ(bar.onlineText(), QStringLiteral("online"));
    bar.SetOnline(false);
    EXPECT_FALSE(bar.isOnline());

    bar.SetMessage(QStringLiteral("Data set locked by anna"));
    EXPECT_EQ(bar.message(), QStringLiteral("Data set locked by anna"));

    auto* activity = bar.findChild<QProgressBar*>(QStringLiteral("activity"));
    ASSERT_NE(activity, nullptr);
    bar.show();
    bar.ShowActivity();
    EXPECT_TRUE(bar.isActivityShown());
    EXPECT_TRUE(activity->isVisible());
    bar.HideActivity();
    EXPECT_FALSE(activity->isVisible());

    bar.SetArea(640, 480);
    EXPECT_EQ(bar.width(), 640);
    EXPECT_EQ(bar.height(), ButtonControl::kBarHeight) << "the bar keeps its own height";
}

TEST(ButtonControl, RendersAsAWidget) {
    QWidget view;
    view.resize(600, 200);
    ButtonControl bar(&view);
    rq16::standins::ResourceManager resources(kCommon);
    bar.SetResourceManager(&resources);
    bar.SetStandardButtons(true, true, true, true);
    bar.SetExtraButton(QStringLiteral("Read again"), QString(), 0);
    bar.SetOnline(true);
    bar.ShowActivity();
    bar.SetMessage(QStringLiteral("Data set locked by anna"));
    bar.SetArea(600, 200);
    view.show();
    const QPixmap picture = bar.grab();
    EXPECT_EQ(picture.size(), QSize(600, ButtonControl::kBarHeight));
    const QString out = qEnvironmentVariable("RQ16_SNAPSHOT_DIR");
    if (!out.isEmpty()) {
        picture.save(QDir(out).filePath(QStringLiteral("buttonbar.png")));
    }
}
