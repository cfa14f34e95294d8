#pragma once
// What the design benchmarks share: a scenario of alternating hot and cold process streams with
// spread temperatures, its design, a stream's first segment in that design, and a network of
// random matches with given duties on it, and its loaded placeholders matched with steam and
// cooling water.
#include "eng/design/HENDesign.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/Scenario.h"
#include "eng/model/ScenarioServices.h"
#include "eng/core/Registries.h"
#include "module/LoadSteps.h"

#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

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

// Adds n exchangers between random hot and cold streams, each at the start of both streams, so
// that the exchangers of a stream follow each other directly; only a stream's last exchanger keeps
// the utility after it. The duties share a fixed total, so that the network stays feasible as it
// grows. The design is deactivated while the exchangers go in and recalculates once.
inline std::vector<CNode*> BuildRandomDutyNetwork(CPIHENDesign& d, int exchangers, int streams = 24) {
    std::mt19937 rng(5);
    std::vector<CNode*> added;
    added.reserve(static_cast<std::size_t>(exchangers));
    const double duty = 800.0 / exchangers;
    d.Deactivate();
    for (int e = 0; e < exchangers; ++e) {
        const int h = 2 * static_cast<int>(rng() % (streams / 2));
        const int c = 2 * static_cast<int>(rng() % (streams / 2)) + 1;
        CNode* x = d.AddHeatExchanger(FirstSegment(d, "H" + std::to_string(h)), FirstSegment(d, "C" + std::to_string(c)),
                                      nullptr, nullptr, nullptr);
        if (!x) continue;
        for (int side = 0; side < 2; ++side) {
            d.RemoveUtilityAtPort(x, 2 * side);
            CNode* out = x->getIthDownStreamNode(side);
            CNode* utility = out ? out->getIthDownStreamNode(0) : nullptr;
            CNode* after = utility ? utility->getIthDownStreamNode(0) : nullptr;
            CNode* next = after ? after->getIthDownStreamNode(0) : nullptr;
            if (utility && utility->getClassName() == NodeKind::Heater && next &&
                next->getClassName() != NodeKind::ProductBlock)
                d.RemoveUtilityAtPort(x, 2 * side + 1);
        }
        x->addVariable(NodeValue::Duty, duty, 1);
        added.push_back(x);
    }
    d.Activate(1);
    return added;
}

// The placeholders that carry load on the bench design become heaters on steam and coolers on
// cooling water at the same duty, so that every stream of the design meets a real utility.
inline void MatchPlaceholdersWithUtilities(CPIScenario& scenario, CPIHENDesign& d) {
    d.Deactivate();
    for (const auto& [name, supply, target] : {std::tuple{"ST", 270.0, 269.0}, std::tuple{"CW", 10.0, 15.0}}) {
        scenario.AddStream(name, 1);
        CPIHeatIntegrationStream* s = scenario.FindStream(name);
        s->SetValue("Temperature", supply, 0);
        s->SetValue("Temperature", target, 1);
        s->SetValue("HTCoeff", 1.0, 0);
        s->SetCostIndex(name[0] == 'S' ? 2.5e-6 : 2.1e-7);
    }
    d.Activate(1);
    d.Deactivate();
    // Each replacement takes a placeholder (and the segment after it) away: look again each time.
    const std::size_t placeholders = d.GetFlowSheet()->getAllNodesOfType(NodeKind::Heater).size();
    for (std::size_t count = 1; count <= placeholders; ++count) {
        CNode* p = nullptr;
        double duty = 0.0;
        for (CNode* candidate : d.GetFlowSheet()->getAllNodesOfType(NodeKind::Heater))
            if (candidate->getVariableAsDouble(NodeValue::Duty, duty) && duty > 1e-6) {
                p = candidate;
                break;
            }
        if (!p) break;
        CNode* before = p->getIthUpStreamNode(0);
        const auto* piece = dynamic_cast<const StreamPiece*>(before);
        if (!piece || !piece->getParentPIStream()) break;
        const bool hot = piece->getParentPIStream()->GetHotCold() == 0;
        CNode* utility = d.GetStreamSegment(CPString(hot ? "CW" : "ST"), 0);
        const std::string unit = (hot ? "Cooler" : "Heater") + std::to_string(count);
        CNode* x = hot ? d.AddHeatExchanger(before, utility, nullptr, NodeKind::CountercurrentHX, unit.c_str())
                       : d.AddHeatExchanger(utility, before, nullptr, NodeKind::CountercurrentHX, unit.c_str());
        if (!x) break;
        d.SpecifyExchangerValue(x, NodeValue::Duty, duty);
        for (int port = 0; port < 4; ++port)
            if (d.CanRemoveUtilityAtPort(x, port)) d.RemoveUtilityAtPort(x, port);
        p = nullptr;
        d.Activate(1);
        d.Deactivate();
    }
    d.AddMissingUtilities();
    d.UpdateStreamTerminals();
    d.Activate(1);
}
