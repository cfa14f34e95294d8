#pragma once
// What the design benchmarks share: a scenario of alternating hot and cold process streams with
// spread temperatures, its design, and a stream's first segment in that design.
#include "eng/design/HENDesign.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/Scenario.h"
#include "eng/model/ScenarioServices.h"
#include "eng/startup/Registries.h"

#include <memory>
#include <string>

struct AlternatingStreams {
    int streams = 24;           // even indices hot ("H<i>"), odd cold ("C<i>")
    double hotTarget = 60.0;    // hot i runs 250 - i -> hotTarget + i
    double coldTarget = 200.0;  // cold i runs 20 + i -> coldTarget - i
    double cp = 10.0;           // heat-capacity flow rate cp + i % cpCycle
    int cpCycle = 3;
    double filmCoefficient = 0.0;  // set on every stream when above 0
};

inline std::unique_ptr<CPIScenario> MakeAlternatingScenario(const AlternatingStreams& table) {
    LoadModuleRegistries();
    auto scenario = std::make_unique<CPIScenario>(nullptr, DefaultScenarioServices());
    for (int i = 0; i < table.streams; ++i) {
        const bool hot = i % 2 == 0;
        const std::string name = (hot ? "H" : "C") + std::to_string(i);
        scenario->AddStream(name.c_str(), 0);
        CPIHeatIntegrationStream* s = scenario->FindStream(name.c_str());
        s->SetValue("Temperature", hot ? 250.0 - i : 20.0 + i, 0);
        s->SetValue("Temperature", hot ? table.hotTarget + i : table.coldTarget - i, 1);
        s->SetValue("HeatCapacityFlowrate", table.cp + i % table.cpCycle, 0);
        if (table.filmCoefficient > 0.0) s->SetValue("HTCoeff", table.filmCoefficient, 0);
    }
    return scenario;
}

inline CPIHENDesign* MakeDesign(CPIScenario& scenario, const char* name) {
    scenario.AddDesign(name);
    IHENDesign* design = nullptr;
    scenario.GetDesign(name, design);
    return dynamic_cast<CPIHENDesign*>(design);
}

inline CNode* FirstSegment(CPIHENDesign& d, const std::string& stream) {
    CNode* start = d.GetNodeByName(CPString(stream + "Start"));
    return start ? start->getIthDownStreamNode(0) : nullptr;
}
