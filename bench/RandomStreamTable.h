#pragma once
// The random problems of the scale benchmarks: process streams with supply and target drawn from
// 50 to 380 degrees C (at least 1 K apart), CP from 1 to 50 kW/K and h from 0.1 to 1 kW/m2K, and
// two utilities taken from the defaults by name (fired heat above every stream, cooling water
// below), so that every target is available.
#include "brasko/EngineeringManager.h"
#include "brasko/LurmetBaseObject.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace bench_table {

struct Row {
    std::string name;
    double supply, target, cp, h;
};

inline const char* const kUtilities[] = {"Fired Heat (1000)", "Cooling Water"};

inline std::vector<Row> RandomStreams(int streams, unsigned seed = 11) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> temperature(50.0, 380.0), cp(1.0, 50.0), h(0.1, 1.0);
    std::vector<Row> rows;
    rows.reserve(static_cast<std::size_t>(streams));
    for (int i = 0; i < streams; ++i) {
        Row r{"S" + std::to_string(i + 1), temperature(rng), 0.0, 0.0, 0.0};
        do r.target = temperature(rng);
        while (std::fabs(r.target - r.supply) < 1.0);
        r.cp = cp(rng);
        r.h = h(rng);
        rows.push_back(r);
    }
    return rows;
}

// The same problem as the host's stream table.
inline std::string CsvOf(const std::vector<Row>& rows) {
    std::string text = "name,supply,target,cp,h,kind\n";
    char line[160];
    for (const Row& r : rows) {
        std::snprintf(line, sizeof line, "%s,%.6f,%.6f,%.6f,%.6f,process\n", r.name.c_str(), r.supply, r.target, r.cp, r.h);
        text += line;
    }
    for (const char* u : kUtilities) text += std::string(u) + ",,,,,utility\n";
    return text;
}

// A project made by `manager` (handed back in `object`, for the caller to release) holding one
// scenario "Scale"; null, with nothing left behind, when either is refused.
inline IHeatIntegrationScenario* NewScaleScenario(EngineeringManager& manager, const char* projectName,
                                                  ILurmetBaseObject*& object) {
    object = manager.CreateObject(IHeatIntegrationProject::ObjectType, projectName);
    void* out = nullptr;
    IHeatIntegrationScenario* scenario = nullptr;
    if (object && object->QueryInterface(IHeatIntegrationProject::ObjectType, &out) == 1) {
        auto* project = static_cast<IHeatIntegrationProject*>(out);
        if (project->AddScenario("Scale") == 1 && project->GetScenario("Scale", scenario) && scenario) return scenario;
    }
    if (object) manager.ReleaseObject(object);
    object = nullptr;
    return nullptr;
}

// Enters the rows and the two utilities into the scenario with its calculations held, each row
// in one batch as the host's table reader gives it (or value by value with `oneByOne`), then
// recalculates once (unless `recalculate` is false); false when the scenario refused any of it.
inline bool EnterStreams(IHeatIntegrationScenario& scenario, const std::vector<Row>& rows, bool oneByOne = false,
                         bool recalculate = true) {
    scenario.SuspendCalculations();
    bool ok = true;
    for (const Row& r : rows) {
        IHeatIntegrationStream* s = nullptr;
        ok = scenario.AddStream(r.name.c_str(), 0) == 1 && scenario.GetStream(r.name.c_str(), s) && s;
        const StreamValueSetting row[] = {
            {"Temperature", r.supply, 0}, {"Temperature", r.target, 1}, {"HeatCapacityFlowrate", r.cp, 0}, {"HTCoeff", r.h, 0}};
        if (ok && oneByOne) {
            for (const StreamValueSetting& v : row) ok = ok && s->SetValue(v.name, v.value, v.index) == 1;
        } else if (ok) {
            ok = s->SetValues(row, 4) == 1;
        }
        if (!ok) break;
    }
    for (const char* u : kUtilities) ok = ok && scenario.AddStream(u, 1) == 1;
    scenario.ResumeCalculations(ok && recalculate);
    return ok;
}

}  // namespace bench_table
