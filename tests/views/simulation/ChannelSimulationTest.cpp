// The channel simulation element: its display table and the events its
// clicks raise.

#include "ChannelSimulation.h"

#include <QCheckBox>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace rq16 {
namespace {

QString Shown(const ChannelSimulation& e) {
    const bool on = e.diodeColor().rgb() == ChannelObservation::kDiodeOn;
    return e.masterValueText() + e.channelValueText() + (on ? " on" : " off");
}

TEST(ChannelSimulation, RefreshDisplayFollowsItsTable) {
    struct {
        bool input, forced, inverted, current, forceValue;
        const char* shown; // master, channel, diode
    } const rows[] = {
        {true, true, false, false, true, "10 off"}, // a forced input shows it as master
        {true, false, true, true, true, "10 on"},   // an input's diode follows the master
        {false, true, false, false, true, "01 on"}, // a forced output shows it as channel
        {false, true, true, true, false, "11 on"},  // ... after inversion
        {false, false, true, true, true, "10 off"},
    };
    for (const auto& row : rows) {
        ChannelSimulation element;
        element.SetIsInput(row.input);
        element.SetIsInverted(row.inverted);
        element.forcingActivatedBox()->setChecked(row.forced);
        element.valueButton(row.forceValue)->setChecked(true);
        element.SetCurrentValue(row.current, false, !row.forced); // the box decides
        EXPECT_EQ(Shown(element), row.shown);
        EXPECT_EQ(element.forced(), row.forced);
        EXPECT_EQ(element.forceInvalidShown(), row.input);
    }
}

TEST(ChannelSimulation, OneEventPerClickAlsoOnTheChosenValueNoneFromCodeNoneWhenLocked) {
    ChannelSimulation element;
    QStringList events;
    QObject::connect(&element, &ChannelSimulation::ForceActivatedChanged,
                     [&](bool on) { events << QStringLiteral("forcing %1").arg(on); });
    QObject::connect(&element, &ChannelSimulation::ForceValueChanged,
                     [&](bool value) { events << QStringLiteral("value %1").arg(value); });
    element.forcingActivatedBox()->click();
    element.forcingActivatedBox()->click();
    element.valueButton(1)->click();
    element.valueButton(1)->click();
    element.forcingActivatedBox()->setChecked(true);
    element.SetIsInput(true);
    QObject::connect(&element, &ChannelSimulation::ForceInvalidChanged,
                     [&](bool on) { events << QStringLiteral("invalid %1").arg(on); });
    element.SetLocked(true);
    element.valueButton(0)->click();
    element.valueButton(1)->click();
    element.forcingActivatedBox()->click();
    element.forcedInvalidBox()->click();
    EXPECT_EQ(events, QStringList({"forcing 1", "forcing 0", "value 1", "value 1"}));
}

} // namespace
} // namespace rq16
