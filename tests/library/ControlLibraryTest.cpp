#include "RQ16Controls.h"

#include "standins/StandInComponents.h"
#include "standins/dtm/RQ16Dtm.h"

#include <QFileInfo>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace rq16;

namespace {

class ControlLibraryTest : public ::testing::Test {
protected:
    void SetUp() override { SetComponentFactory(&components); }
    void TearDown() override { SetComponentFactory(nullptr); }
    standins::StandInComponentFactory components;
};

TEST_F(ControlLibraryTest, KnowsAllNineProgrammaticIds) {
    const QStringList ids = ProgrammaticIds();
    EXPECT_EQ(ids.size(), 9);
    for (const char* name :
         {"Parameter", "Diagnosis", "Observation", "Simulation", "Identification", "About",
          "ChannelParameter", "ChannelObservation", "ChannelSimulation"}) {
        EXPECT_TRUE(ids.contains(QStringLiteral("RQ16Controls.") + QLatin1String(name))) << name;
    }
    EXPECT_EQ(ViewProgrammaticIds().size(), 6);
}

TEST_F(ControlLibraryTest, CreatesEveryAvailableControlAndOnlyViewsAreViews) {
    int created = 0;
    for (const QString& id : ProgrammaticIds()) {
        std::unique_ptr<QWidget> control(CreateControl(id));
        EXPECT_EQ(control != nullptr, IsControlAvailable(id)) << id.toStdString();
        if (!control) {
            continue;
        }
        ++created;
        const bool isView = ViewProgrammaticIds().contains(id);
        EXPECT_EQ(AsDtmControl(control.get()) != nullptr, isView) << id.toStdString();
    }
    EXPECT_GE(created, 4) << "About, Diagnosis, Parameter and ChannelParameter at least";
    EXPECT_EQ(CreateControl(QStringLiteral("RQ16Controls.Nothing")), nullptr);
    EXPECT_EQ(CreateControl(QStringLiteral("rq16controls.about")), nullptr)
        << "ids are matched exactly";
}

TEST_F(ControlLibraryTest, AViewOpensAndReleasesThroughTheDtm) {
    standins::RQ16Dtm dtm;
    dtm.SetControlCreator(
        [](const QString& id, QWidget* parent) { return CreateControl(id, parent); });
    QString invokeId;
    QWidget* view = dtm.OpenFunction(QStringLiteral("RQ16Controls.About"), nullptr, &invokeId);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(dtm.StateOf(invokeId), standins::RQ16Dtm::ViewState::Open);
    EXPECT_TRUE(dtm.ReleaseView(invokeId));
    EXPECT_EQ(dtm.StateOf(invokeId), standins::RQ16Dtm::ViewState::Prepared);
}

} // namespace
