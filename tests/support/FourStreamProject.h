#pragma once
// The scenario adapter of the four-stream problem: a project of type 501 made by the engineering
// manager, one scenario "Base" holding the four process streams, and a view on it that records
// the change codes. Utilities are added by the name of a factory default.
#include "brasko/EngineeringManager.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/Scenario.h"
#include "tests/support/FourStreams.h"
#include "tests/support/NotificationRecorder.h"

#include <cmath>
#include <random>
#include <string>

// A project of type 501 from the engineering manager with one scenario holding the four streams;
// its view records the change codes.
class FourStreamProject {
public:
    explicit FourStreamProject(bool withStreams = true) {
        object = manager.CreateObject(501, "Plant");
        void* out = nullptr;
        if (object && object->QueryInterface(501, &out) == 1) project = static_cast<IHeatIntegrationProject*>(out);
        IHeatIntegrationScenario* s = nullptr;
        if (project && project->AddScenario("Base") == 1 && project->GetScenario("Base", s))
            scenario = dynamic_cast<CPIScenario*>(s);
        if (!scenario) return;
        scenario->AddNotificationReceiver(&view);
        if (!withStreams) return;
        ForEachFourStream([&](const char* n, double s, double t, double cp) { AddProcess(n, s, t, cp); });
    }
    ~FourStreamProject() {
        if (scenario) scenario->RemoveNotificationReceiver(&view);
        if (object) manager.ReleaseObject(object);
    }
    FourStreamProject(const FourStreamProject&) = delete;
    FourStreamProject& operator=(const FourStreamProject&) = delete;

    bool AddProcess(const char* name, double supply, double target, double cp) {
        if (scenario->AddStream(name, 0) != 1) return false;
        IHeatIntegrationStream* s = Stream(name);
        return s && s->SetValue("Temperature", supply, 0) && s->SetValue("Temperature", target, 1) &&
               s->SetValue("HeatCapacityFlowrate", cp, 0);
    }
    // A utility by the name of a factory default utility.
    bool AddUtility(const char* name) { return scenario->AddStream(name, 1) == 1; }
    IHeatIntegrationStream* Stream(const char* name) const {
        IHeatIntegrationStream* s = nullptr;
        return scenario->GetStream(name, s) ? s : nullptr;
    }
    double Load(const char* name, int mode = 0) const {
        IHeatIntegrationStream* s = Stream(name);
        return s ? s->GetHeatLoad(mode) : -1.0;
    }
    // A table of process streams "S1".. drawn from `seed` (50 to 380 C, CP 1 to 50, film
    // coefficients 0.1 to 1), with the two factory utilities the scale benchmarks take, entered
    // under held calculations at `dtMin` (below 0: the scenario's own); false when a value is
    // refused.
    bool AddRandomTable(int streams, unsigned seed, double dtMin = -1.0) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> temperature(50.0, 380.0), cp(1.0, 50.0), h(0.1, 1.0);
        scenario->SuspendCalculations();
        if (dtMin >= 0.0) scenario->SetDTmin(dtMin);
        bool entered = true;
        for (int i = 0; i < streams && entered; ++i) {
            const std::string name = "S" + std::to_string(i + 1);
            const double supply = temperature(rng);
            double target = temperature(rng);
            while (std::fabs(target - supply) < 1.0) target = temperature(rng);
            entered = AddProcess(name.c_str(), supply, target, cp(rng)) &&
                      Stream(name.c_str())->SetValue("HTCoeff", h(rng), 0) == 1;
        }
        entered = entered && AddUtility("Fired Heat (1000)") && AddUtility("Cooling Water");
        scenario->ResumeCalculations(true);
        return entered;
    }

    EngineeringManager manager;
    ILurmetBaseObject* object = nullptr;
    IHeatIntegrationProject* project = nullptr;
    CPIScenario* scenario = nullptr;
    NotificationRecorder view;
};

