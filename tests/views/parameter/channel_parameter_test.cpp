#include "ChannelParameter.h"

#include "FakeComponents.h"
#include "common/AppFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace rq16::test {
namespace {

class ChannelParameterTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeResourceManager::resetShared();
        QObject::connect(&element, &ChannelParameter::SetDirty,
                         [this](bool value) { dirty.push_back(value); });
    }
    void TearDown() override { FakeResourceManager::resetShared(); }

    template <typename T> T* control(const char* name) {
        T* found = element.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QGroupBox* frame() { return control<QGroupBox>("fraChannelParameter"); }
    QCheckBox* shortDetection() { return control<QCheckBox>("chkShortDetection"); }
    QCheckBox* openLineDetection() { return control<QCheckBox>("chkOpenLineDetection"); }
    QComboBox* failsafeValue() { return control<QComboBox>("cboFailsafeValue"); }
    QComboBox* shortCircuitCurrent() { return control<QComboBox>("cboShortCircuitCurrent"); }

    CallLog log;
    FakeComponentFactory factory{log};
    ChannelParameter element;
    /// Arguments of every SetDirty the element raised.
    std::vector<bool> dirty;
};

TEST_F(ChannelParameterTest, StartsWithTheBuiltInCaptionAndFirstChoices) {
    EXPECT_EQ(frame()->title(), QStringLiteral("channel -1: /channel 0: "));
    element.SetChannelNumber(1);
    EXPECT_EQ(frame()->title(), QStringLiteral("channel 1: /channel 2: "));
    element.SetChannelTag(QStringLiteral("X"));
    element.SetChannelTag2(QStringLiteral("Y"));
    EXPECT_EQ(frame()->title(), QStringLiteral("channel 1: X/channel 2: Y"));

    EXPECT_EQ(failsafeValue()->count(), 3);
    EXPECT_EQ(failsafeValue()->itemText(2), QStringLiteral("last valid value"));
    EXPECT_EQ(failsafeValue()->currentIndex(), 0);
    EXPECT_EQ(shortCircuitCurrent()->count(), 2);
    EXPECT_EQ(shortCircuitCurrent()->itemText(1), QStringLiteral("locking"));
    EXPECT_EQ(shortCircuitCurrent()->currentIndex(), 0);
    EXPECT_EQ(element.FailSafeParameter(), 0);
    EXPECT_EQ(static_cast<int>(dirty.size()), 0);
}

TEST_F(ChannelParameterTest, ResourceManagerLoadsTextsInOrderFromBothFolders) {
    FakeResourceManager common(log);
    common.SetDefaultFolder(QStringLiteral("/default"));
    common.SetLanguage(QStringLiteral("de"));
    FakeResourceManager::texts()[6003] = QStringLiteral("Kanal");
    FakeResourceManager::texts()[1009] = QStringLiteral("Kanal %1 aktiv (%1)");
    element.SetChannelNumber(3);
    element.SetChannelTag(QStringLiteral("A"));
    log.clear();

    element.SetResourceManager(&common);

    const QString c = CommonResourceFolder();
    const QString d = DeviceResourceFolder();
    const auto text = [](int id, const QString& folder) {
        return QStringLiteral("ResourceManager.GetString(%1,%2)").arg(id).arg(folder);
    };
    const std::vector<QString> expected = {
        QStringLiteral("Factory.CreateResourceManager"),
        QStringLiteral("ResourceManager.SetDefaultFolder(/default)"),
        QStringLiteral("ResourceManager.SetLanguage(de)"),
        text(6003, c),
        text(6003, c),
        text(6005, c),
        text(6006, c),
        text(6007, c),
        text(1001, d),
        text(1008, d),
        text(6010, c),
        text(1005, d),
        text(1004, d),
        text(6009, c),
        text(2006, d),
        text(2005, d),
        text(2007, d),
        text(1009, d),
        text(1009, d)};
    EXPECT_EQ(log.calls(), expected) << log.dump().toStdString();

    EXPECT_EQ(frame()->title(), QStringLiteral("Kanal 5: A/Kanal 6: "));
    const std::pair<const char*, const char*> captions[] = {
        {"fraMonitoring", "T6005"},          {"lblShortDetection", "T6006"},
        {"lblOpenLineDetection", "T6007"},   {"fraSignal", "T1001"},
        {"chkInvertedLogic", "T1008"},       {"lblFailsafeValue", "T6010"},
        {"lblShortCircuitCurrent", "T2007"}, {"chkChannelA", "Kanal 5 aktiv (5)"},
        {"chkChannelB", "Kanal 6 aktiv (6)"}};
    for (const auto& [name, caption] : captions) {
        QWidget* w = control<QWidget>(name);
        const QString shown = qobject_cast<QGroupBox*>(w) ? qobject_cast<QGroupBox*>(w)->title()
                              : qobject_cast<QLabel*>(w)  ? qobject_cast<QLabel*>(w)->text()
                                                          : qobject_cast<QCheckBox*>(w)->text();
        EXPECT_EQ(shown, QString::fromUtf8(caption)) << name;
    }
    EXPECT_EQ(failsafeValue()->itemText(0), QStringLiteral("T1005"));
    EXPECT_EQ(failsafeValue()->itemText(1), QStringLiteral("T1004"));
    EXPECT_EQ(failsafeValue()->itemText(2), QStringLiteral("T6009"));
    EXPECT_EQ(shortCircuitCurrent()->itemText(0), QStringLiteral("T2006"));
    EXPECT_EQ(shortCircuitCurrent()->itemText(1), QStringLiteral("T2005"));
    EXPECT_EQ(static_cast<int>(dirty.size()), 0);
}

TEST_F(ChannelParameterTest, MissingTextsAreSkippedAndKeepTheirCaptions) {
    FakeResourceManager common(log);
    FakeResourceManager::failingTexts() = {6003, 6006, 1005};
    element.SetChannelNumber(1);

    element.SetResourceManager(&common);

    EXPECT_EQ(frame()->title(), QStringLiteral("channel 1: /channel 2: "));
    EXPECT_EQ(control<QLabel>("lblShortDetection")->text(), QStringLiteral("short detection"));
    EXPECT_EQ(failsafeValue()->itemText(0), QStringLiteral("min value"));
    // The lookups after each failing one still ran.
    EXPECT_EQ(control<QLabel>("lblOpenLineDetection")->text(), QStringLiteral("T6007"));
    EXPECT_EQ(failsafeValue()->itemText(1), QStringLiteral("T1004"));
    EXPECT_EQ(control<QCheckBox>("chkChannelB")->text(), QStringLiteral("T1009"));
}

TEST_F(ChannelParameterTest, FailSafeSetterShowsTheByteAndRaisesNothing) {
    element.SetFailSafeParameter(0x0F);
    EXPECT_EQ(element.FailSafeParameter(), 0x00);
    EXPECT_TRUE(shortDetection()->isChecked());
    EXPECT_TRUE(openLineDetection()->isChecked());
    EXPECT_EQ(failsafeValue()->currentIndex(), kFailsafeMin);

    element.SetFailSafeParameter(0xC0);
    EXPECT_EQ(element.FailSafeParameter(), 0xC0);
    EXPECT_FALSE(shortDetection()->isChecked());
    EXPECT_FALSE(openLineDetection()->isChecked());

    element.SetFailSafeParameter(0x80 | 0x20);
    EXPECT_FALSE(shortDetection()->isChecked());
    EXPECT_TRUE(openLineDetection()->isChecked());
    EXPECT_EQ(failsafeValue()->currentIndex(), kFailsafeLastValid);

    element.SetFailSafeParameter(0x40 | 0x10);
    EXPECT_TRUE(shortDetection()->isChecked());
    EXPECT_FALSE(openLineDetection()->isChecked());
    EXPECT_EQ(failsafeValue()->currentIndex(), kFailsafeMax);
    EXPECT_EQ(static_cast<int>(dirty.size()), 0);
}

TEST_F(ChannelParameterTest, FailsafeFieldThreeShowsNoSelectionAndSurvivesUntilPicked) {
    element.SetFailSafeParameter(0x70);
    EXPECT_EQ(failsafeValue()->currentIndex(), -1);
    EXPECT_EQ(element.FailSafeParameter(), 0x70);

    // Switching a detection keeps the unlisted field.
    shortDetection()->click();
    EXPECT_EQ(element.FailSafeParameter(), 0xF0);
    EXPECT_EQ(failsafeValue()->currentIndex(), -1);

    failsafeValue()->setCurrentIndex(kFailsafeMax);
    EXPECT_EQ(element.FailSafeParameter(), 0xD0);
    EXPECT_EQ(static_cast<int>(dirty.size()), 2);
}

TEST_F(ChannelParameterTest, UserChangesEditTheFailsafeByteAndRaiseOneEventEach) {
    element.SetFailSafeParameter(0x80);
    failsafeValue()->setCurrentIndex(kFailsafeLastValid);
    EXPECT_EQ(element.FailSafeParameter(), 0xA0);
    ASSERT_EQ(static_cast<int>(dirty.size()), 1);
    EXPECT_TRUE(dirty.at(0));

    shortDetection()->click(); // checked: detection on again
    EXPECT_EQ(element.FailSafeParameter(), 0x20);
    shortDetection()->click();
    EXPECT_EQ(element.FailSafeParameter(), 0xA0);
    openLineDetection()->click();
    EXPECT_EQ(element.FailSafeParameter(), 0xE0);
    openLineDetection()->click();
    EXPECT_EQ(element.FailSafeParameter(), 0xA0);
    failsafeValue()->setCurrentIndex(kFailsafeMin);
    EXPECT_EQ(element.FailSafeParameter(), 0x80);

    // The other controls only raise the event; the view reads them later.
    control<QCheckBox>("chkChannelA")->click();
    control<QCheckBox>("chkChannelB")->click();
    control<QCheckBox>("chkInvertedLogic")->click();
    shortCircuitCurrent()->setCurrentIndex(kLocking);
    EXPECT_EQ(dirty, std::vector<bool>(10, true));
    EXPECT_EQ(element.Record(), (ChannelPairRecord{.FailSafeParameter = 0x80,
                                                   .InvertedPolarity = true,
                                                   .ShortCircuitCurrent = 1,
                                                   .ChannelA = true,
                                                   .ChannelB = true}));
}

TEST_F(ChannelParameterTest, SettersRaiseNoEvent) {
    const ChannelPairRecord record{.FailSafeParameter = 0xE0,
                                   .InvertedPolarity = true,
                                   .ShortCircuitCurrent = 1,
                                   .ChannelA = true,
                                   .ChannelB = true};
    element.SetRecord(record);
    EXPECT_EQ(element.Record(), record);
    element.SetRecord(ChannelPairRecord{});
    EXPECT_EQ(element.Record(), ChannelPairRecord{});
    element.SetInvertedPolarity(true);
    element.SetShortCircuitCurrent(1);
    element.SetChannelA(true);
    element.SetChannelB(true);
    element.SetFailSafeParameter(0x30);
    element.SetLocked(true);
    element.SetLocked(false);
    element.SetChannelNumber(2);
    EXPECT_EQ(static_cast<int>(dirty.size()), 0);

    // The updating flag is down again after each setter.
    control<QCheckBox>("chkChannelA")->click();
    EXPECT_EQ(static_cast<int>(dirty.size()), 1);
}

TEST_F(ChannelParameterTest, LockedDisablesTheSevenEditingControlsOnly) {
    const char* editing[] = {"chkInvertedLogic", "chkOpenLineDetection",   "chkShortDetection",
                             "cboFailsafeValue", "cboShortCircuitCurrent", "chkChannelA",
                             "chkChannelB"};
    const char* others[] = {"fraChannelParameter",    "fraSignal",         "fraMonitoring",
                            "lblShortCircuitCurrent", "lblShortDetection", "lblOpenLineDetection",
                            "lblFailsafeValue"};
    element.SetLocked(true);
    EXPECT_TRUE(element.Locked());
    for (const char* name : editing) {
        EXPECT_FALSE(control<QWidget>(name)->isEnabled()) << name;
    }
    for (const char* name : others) {
        EXPECT_TRUE(control<QWidget>(name)->isEnabled()) << name;
    }
    element.SetLocked(false);
    EXPECT_FALSE(element.Locked());
    for (const char* name : editing) {
        EXPECT_TRUE(control<QWidget>(name)->isEnabled()) << name;
    }
}

TEST_F(ChannelParameterTest, FrameCaptionIsBoldWhileTheElementHasTheFocus) {
    QWidget window;
    element.setParent(&window);
    auto* other = new QCheckBox(&window);
    other->move(0, 400);
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);

    other->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(frame()->font().bold());

    failsafeValue()->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(frame()->font().bold());
    // Only the outer caption turns bold.
    EXPECT_FALSE(control<QGroupBox>("fraSignal")->font().bold());
    EXPECT_FALSE(control<QLabel>("lblFailsafeValue")->font().bold());

    other->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(frame()->font().bold());

    // A press on the frame itself gives the element the focus.
    const QPointF inside(frame()->width() / 2.0, 4.0);
    QMouseEvent press(QEvent::MouseButtonPress, inside, frame()->mapToGlobal(inside),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame(), &press);
    QApplication::processEvents();
    EXPECT_TRUE(element.hasFocus());
    EXPECT_TRUE(frame()->font().bold());
    element.setParent(nullptr);
}

} // namespace
} // namespace rq16::test
