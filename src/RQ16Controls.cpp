#include "RQ16Controls.h"

#include "views/about/About.h"
#ifdef RQ16_HAVE_DIAGNOSIS
#include "views/diagnosis/Diagnosis.h"
#endif
#ifdef RQ16_HAVE_IDENTIFICATION
#include "views/identification/Identification.h"
#endif
#ifdef RQ16_HAVE_OBSERVATION
#include "views/observation/ChannelObservation.h"
#include "views/observation/Observation.h"
#endif
#ifdef RQ16_HAVE_PARAMETER
#include "views/parameter/ChannelParameter.h"
#include "views/parameter/Parameter.h"
#endif
#ifdef RQ16_HAVE_SIMULATION
#include "views/simulation/ChannelSimulation.h"
#include "views/simulation/Simulation.h"
#endif

#include <functional>
#include <map>

namespace rq16 {

namespace {

using Creator = std::function<QWidget*(QWidget*)>;

const std::map<QString, Creator>& Creators() {
    static const std::map<QString, Creator> creators = {
        {QStringLiteral("RQ16Controls.About"), [](QWidget* p) { return new About(p); }},
#ifdef RQ16_HAVE_DIAGNOSIS
        {QStringLiteral("RQ16Controls.Diagnosis"), [](QWidget* p) { return new Diagnosis(p); }},
#endif
#ifdef RQ16_HAVE_OBSERVATION
        {QStringLiteral("RQ16Controls.Observation"), [](QWidget* p) { return new Observation(p); }},
        {QStringLiteral("RQ16Controls.ChannelObservation"),
         [](QWidget* p) { return new ChannelObservation(p); }},
#endif
#ifdef RQ16_HAVE_PARAMETER
        {QStringLiteral("RQ16Controls.Parameter"), [](QWidget* p) { return new Parameter(p); }},
        {QStringLiteral("RQ16Controls.ChannelParameter"),
         [](QWidget* p) { return new ChannelParameter(p); }},
#endif
#ifdef RQ16_HAVE_SIMULATION
        {QStringLiteral("RQ16Controls.Simulation"), [](QWidget* p) { return new Simulation(p); }},
        {QStringLiteral("RQ16Controls.ChannelSimulation"),
         [](QWidget* p) { return new ChannelSimulation(p); }},
#endif
#ifdef RQ16_HAVE_IDENTIFICATION
        {QStringLiteral("RQ16Controls.Identification"),
         [](QWidget* p) { return new Identification(p); }},
#endif
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

} // namespace rq16
