// A locked network of 24 streams (12 hot, 12 cold) and 40 exchangers of given area, each cut
// into ten segments: the network calculator builds its equations and solves the mass set once
// and the heat set pass after pass until the temperatures settle.
#include "eng/design/HENCalculator.h"
#include "eng/design/HENDesign.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/Scenario.h"
#include "eng/model/ScenarioServices.h"
#include "eng/startup/Registries.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

namespace {

CNode* FirstSegment(CPIHENDesign& d, const std::string& stream) {
    CNode* start = d.GetNodeByName(CPString(stream + "Start"));
    return start ? start->getIthDownStreamNode(0) : nullptr;
}

void BM_LockedNetworkSolve(benchmark::State& state) {
    const int streams = 24, exchangers = static_cast<int>(state.range(0));
    LoadModuleRegistries();
    auto scenario = std::make_unique<CPIScenario>(nullptr, DefaultScenarioServices());
    for (int i = 0; i < streams; ++i) {
        const bool hot = i % 2 == 0;
        const std::string name = (hot ? "H" : "C") + std::to_string(i);
        scenario->AddStream(name.c_str(), 0);
        CPIHeatIntegrationStream* s = scenario->FindStream(name.c_str());
        s->SetValue("Temperature", hot ? 250.0 - i : 20.0 + i, 0);
        s->SetValue("Temperature", hot ? 40.0 + i : 230.0 - i, 1);
        s->SetValue("HeatCapacityFlowrate", 5.0 + i % 4, 0);
    }
    scenario->AddDesign("D");
    IHENDesign* design = nullptr;
    scenario->GetDesign("D", design);
    auto* d = dynamic_cast<CPIHENDesign*>(design);
    std::mt19937 rng(7);
    for (int e = 0; e < exchangers; ++e) {
        const int h = 2 * static_cast<int>(rng() % 12u), c = 2 * static_cast<int>(rng() % 12u) + 1;
        CNode* x = d->AddHeatExchanger(FirstSegment(*d, "H" + std::to_string(h)), FirstSegment(*d, "C" + std::to_string(c)),
                                       nullptr, nullptr, nullptr);
        if (!x) continue;
        x->addVariable(NodeValue::HXType, 0.0, ValueStatus::Specified);
        x->addVariable(NodeValue::OverallHTC, 0.5, ValueStatus::Specified);
        x->addVariable(NodeValue::HTArea, 2.0, ValueStatus::Specified);
    }
    int status = 0;
    for (auto _ : state) status = d->RunNetworkCalculator();
    state.counters["exchangers"] = d->GetNumberOfHeatExchangers();
    state.counters["equations"] = static_cast<double>(d->GetNetworkCalculator().GetEquations().size());
    state.counters["passes"] = d->GetNetworkCalculator().GetPassCount();
    state.counters["converged"] = status == 1 ? 1 : 0;
}
BENCHMARK(BM_LockedNetworkSolve)->Arg(40)->Unit(benchmark::kMillisecond);

}  // namespace
