#include "ChannelParameter.h"

#include "StandIns.h"

#include "standins/resources/ResourceManager.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace rq16::test {
namespace {

class ChannelParameterTest : public ::testing::Test {
protected:
    void SetUp() override {
        QObject::connect(&element, &ChannelParameter::SetDirty,
                         [this](bool value) { dirty.push_back(value); });
    }

    template <typename T = QWidget> T* control(const char* name) {
        T* found = element.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QGroupBox* frame() { return control<QGroupBox>("fraChannelParameter"); }
    QCheckBox* check(const char* name) { return control<QCheckBox>(name); }
    QComboBox* failsafeValue() { return control<QComboBox>("cboFailsafeValue"); }

    ChannelParameter element;
    /// Arguments of every SetDirty the element raised.
    std::vector<bool> dirty;
};

TEST(ChannelParameterTexts, CaptionsComeFromBothFoldersAndAMissingTextKeepsItsDesignCaption) {
    StandIns rig;
    ResourcesWithout missing({6006});
    ChannelParameter element;
    element.SetChannelNumber(3);
    element.SetChannelTag(QStringLiteral("A"));
    element.SetChannelTag2(QStringLiteral("B"));
    EXPECT_EQ(element.findChild<QGroupBox*>("fraChannelParameter")->title(),
              QStringLiteral("channel 5: A/channel 6: B"));

    standins::ResourceManager common(CommonResourceFolder());
    element.SetResourceManager(&common);
    EXPECT_EQ(element.findChild<QGroupBox*>("fraChannelParameter")->title(),
              QStringLiteral("Channel 5: A/Channel 6: B"));
    EXPECT_EQ(element.findChild<QCheckBox*>("chkChannelB")->text(), "Channel 6 active");
    EXPECT_EQ(element.findChild<QCheckBox*>("chkInvertedLogic")->text(), "Inverted logic");
    EXPECT_EQ(element.findChild<QLabel*>("lblShortDetection")->text(), "short detection");
    EXPECT_EQ(element.findChild<QComboBox*>("cboFailsafeValue")->itemText(kFailsafeMax),
              "Max value (1)");
}

TEST_F(ChannelParameterTest, SettersShowTheValuesAndRaiseNoEvent) {
    // Written value, value kept, both detections shown, list position shown.
    const std::tuple<std::uint8_t, std::uint8_t, bool, bool, int> cases[] = {
        {0x0F, 0x00, true, true, kFailsafeMin},
        {0xC0, 0xC0, false, false, kFailsafeMin},
        {0xA0, 0xA0, false, true, kFailsafeLastValid},
        {0x50, 0x50, true, false, kFailsafeMax},
        {0x7F, 0x70, true, false, -1}, // failsafe field 3 has no entry
    };
    for (const auto& [value, kept, shortDetection, openLineDetection, position] : cases) {
        SCOPED_TRACE(int{value});
        element.SetFailSafeParameter(value);
        EXPECT_EQ(element.FailSafeParameter(), kept);
        EXPECT_EQ(check("chkShortDetection")->isChecked(), shortDetection);
        EXPECT_EQ(check("chkOpenLineDetection")->isChecked(), openLineDetection);
        EXPECT_EQ(failsafeValue()->currentIndex(), position);
    }

    const ChannelPairRecord everyField{0xE0, true, 1, true, true};
    element.SetRecord(everyField);
    EXPECT_EQ(element.Record(), everyField);
    element.SetRecord(ChannelPairRecord{});
    EXPECT_EQ(element.Record(), ChannelPairRecord{});

    // Locked disables every editing control.
    const char* editing[] = {"chkInvertedLogic", "chkOpenLineDetection",   "chkShortDetection",
                             "cboFailsafeValue", "cboShortCircuitCurrent", "chkChannelA",
                             "chkChannelB"};
    for (const bool locked : {true, false}) {
        element.SetLocked(locked);
        EXPECT_EQ(element.Locked(), locked);
        for (const char* name : editing) {
            EXPECT_EQ(control(name)->isEnabled(), !locked) << name;
        }
    }
    EXPECT_TRUE(dirty.empty());

    // The updating flag is down again after the setters.
    check("chkChannelA")->click();
    EXPECT_EQ(dirty.size(), 1u);
}

TEST_F(ChannelParameterTest, UserChangesEditTheFailsafeByteAndRaiseOneEventEach) {
    element.SetFailSafeParameter(0x70);
    // Switching a detection keeps an unlisted failsafe field until one is picked.
    check("chkShortDetection")->click();
    EXPECT_EQ(element.FailSafeParameter(), 0xF0);
    EXPECT_EQ(failsafeValue()->currentIndex(), -1);

    const std::pair<std::function<void()>, std::uint8_t> steps[] = {
        {[&] { failsafeValue()->setCurrentIndex(kFailsafeMax); }, 0xD0},
        {[&] { failsafeValue()->setCurrentIndex(kFailsafeLastValid); }, 0xE0},
        {[&] { check("chkShortDetection")->click(); }, 0x60},
        {[&] { check("chkOpenLineDetection")->click(); }, 0x20},
        {[&] { check("chkOpenLineDetection")->click(); }, 0x60},
        {[&] { failsafeValue()->setCurrentIndex(kFailsafeMin); }, 0x40},
    };
    for (const auto& [step, expected] : steps) {
        step();
        EXPECT_EQ(element.FailSafeParameter(), expected);
    }

    // The other controls only raise the event; the view reads them later.
    check("chkChannelA")->click();
    check("chkChannelB")->click();
    check("chkInvertedLogic")->click();
    control<QComboBox>("cboShortCircuitCurrent")->setCurrentIndex(kLocking);
    EXPECT_EQ(dirty, std::vector<bool>(11, true));
    EXPECT_EQ(element.Record(), (ChannelPairRecord{0x40, true, 1, true, true}));
}

TEST_F(ChannelParameterTest, FrameCaptionIsBoldWhileTheElementHasTheFocus) {
    QWidget window;
    element.setParent(&window);
    auto* other = new QCheckBox(&window);
    other->move(0, 400);
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    const auto focus = [](QWidget* widget) {
        widget->setFocus();
        QApplication::processEvents();
    };

    focus(failsafeValue());
    EXPECT_TRUE(frame()->font().bold());
    EXPECT_FALSE(control<QGroupBox>("fraSignal")->font().bold()); // only the outer caption
    focus(other);
    EXPECT_FALSE(frame()->font().bold());

    element.setParent(nullptr);
}

} // namespace
} // namespace rq16::test
