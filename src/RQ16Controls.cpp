#include "RQ16Controls.h"

#include "common/RegManagement.h"
#include "views/about/About.h"
#include "views/diagnosis/Diagnosis.h"
#include "views/identification/Identification.h"
#include "views/observation/ChannelObservation.h"
#include "views/observation/Observation.h"
#include "views/parameter/ChannelParameter.h"
#include "views/parameter/Parameter.h"
#include "views/simulation/ChannelSimulation.h"
#include "views/simulation/Simulation.h"

#include <functional>
#include <map>

namespace rq16 {

namespace {

using Creator = std::function<QWidget*(QWidget*)>;

const std::map<QString, Creator>& Creators() {
    static const std::map<QString, Creator> creators = {
        {QStringLiteral("RQ16Controls.About"), [](QWidget* p) { return new About(p); }},
        {QStringLiteral("RQ16Controls.Diagnosis"), [](QWidget* p) { return new Diagnosis(p); }},
        {QStringLiteral("RQ16Controls.Observation"), [](QWidget* p) { return new Observation(p); }},
        {QStringLiteral("RQ16Controls.ChannelObservation"),
         [](QWidget* p) { return new ChannelObservation(p); }},
        {QStringLiteral("RQ16Controls.Parameter"), [](QWidget* p) { return new Parameter(p); }},
        {QStringLiteral("RQ16Controls.ChannelParameter"),
         [](QWidget* p) { return new ChannelParameter(p); }},
        {QStringLiteral("RQ16Controls.Simulation"), [](QWidget* p) { return new Simulation(p); }},
        {QStringLiteral("RQ16Controls.ChannelSimulation"),
         [](QWidget* p) { return new ChannelSimulation(p); }},
        {QStringLiteral("RQ16Controls.Identification"),
         [](QWidget* p) { return new Identification(p); }},
    };
    return creators;
}

} // namespace

QStringList ViewProgrammaticIds() {
    return {
        QStringLiteral("RQ16Controls.Parameter"),      QStringLiteral("RQ16Controls.Diagnosis"),
        QStringLiteral("RQ16Controls.Observation"),    QStringLiteral("RQ16Controls.Simulation"),
        QStringLiteral("RQ16Controls.Identification"), QStringLiteral("RQ16Controls.About")};
}

QStringList ProgrammaticIds() {
    return ViewProgrammaticIds() + QStringList{QStringLiteral("RQ16Controls.ChannelParameter"),
                                               QStringLiteral("RQ16Controls.ChannelObservation"),
                                               QStringLiteral("RQ16Controls.ChannelSimulation")};
}

bool IsControlAvailable(const QString& progId) {
    return Creators().count(progId) != 0;
}

QWidget* CreateControl(const QString& progId, QWidget* parent) {
    const auto it = Creators().find(progId);
    return it == Creators().end() ? nullptr : it->second(parent);
}

IDtmActiveXControl* AsDtmControl(QWidget* control) {
    return dynamic_cast<IDtmActiveXControl*>(control);
}

void SetRegistryProblemHandler(std::function<void(const QString&)> handler) {
    SetRegistryProblemSink(std::move(handler));
}

} // namespace rq16
