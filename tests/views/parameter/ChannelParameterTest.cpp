#include "ChannelParameter.h"

#include "StandIns.h"

#include "standins/resources/ResourceManager.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

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

/// Every caption below `root` in creation order: labels, buttons, group
/// boxes and list entries.
QStringList Texts(QWidget* root) {
    QStringList texts;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            texts << label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            texts << button->text();
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            texts << group->title();
        } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
            for (int i = 0; i < list->count(); ++i) {
                texts << list->itemText(i);
            }
        }
    }
    return texts;
}

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
    EXPECT_EQ(Texts(&element),
              QString("Channel 5: A/Channel 6: B|Output signal|Channel 5 active|Channel 6 active|"
                      "Inverted logic|Short-circuit current|Non-locking|Locking|Line monitoring|"
                      "short detection||Open-line detection||Failsafe value|Min value (0)|"
                      "Max value (1)|Last valid value|")
                  .split('|'));
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

    // Locked disables every editing control.
    const char* editing[] = {"chkInvertedLogic", "chkOpenLineDetection",   "chkShortDetection",
                             "cboFailsafeValue", "cboShortCircuitCurrent", "chkChannelA",
                             "chkChannelB"};
    for (const bool locked : {true, false}) {
        element.SetLocked(locked);
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
    // Enter and Space work as a click; Enter opens a list.
    QTest::keyClick(check("chkChannelA"), Qt::Key_Return);
    QTest::keyClick(check("chkChannelB"), Qt::Key_Space);
    QTest::keyClick(check("chkInvertedLogic"), Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(control<QComboBox>("cboShortCircuitCurrent"), Qt::Key_Return);
    EXPECT_TRUE(control<QComboBox>("cboShortCircuitCurrent")->view()->isVisible());
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

TEST_F(ChannelParameterTest, ControlsDoNotOverlapAndLabelsSitBesideTheirControls) {
    element.resize(700, 220);
    element.show();
    EXPECT_EQ(frame()->geometry(), element.rect());
    EXPECT_EQ(control("fraSignal")->width(), control("fraMonitoring")->width());
    for (QWidget* parent :
         {control("fraChannelParameter"), control("fraSignal"), control("fraMonitoring")}) {
        const auto children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* a : children) {
            EXPECT_TRUE(!a->isVisible() || parent->rect().contains(a->geometry()))
                << qPrintable(a->objectName());
            for (QWidget* b : children) {
                EXPECT_TRUE(a == b || !a->isVisible() || !b->isVisible() ||
                            !a->geometry().intersects(b->geometry()))
                    << qPrintable(a->objectName() + " " + b->objectName());
            }
        }
    }
    for (QLabel* label : element.findChildren<QLabel*>()) {
        const auto siblings = label->parentWidget()->findChildren<QWidget*>();
        const auto control = std::find_if(siblings.begin(), siblings.end(), [&](QWidget* w) {
            return w != label && w->accessibleName() == label->text();
        });
        if (label->isVisible()) {
            ASSERT_NE(control, siblings.end())
                << "a control named after " << label->text().toStdString();
            EXPECT_NEAR(label->geometry().center().y(), (*control)->geometry().center().y(), 3)
                << qPrintable(label->objectName());
        }
    }
}

} // namespace
} // namespace rq16::test
