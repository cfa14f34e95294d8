// The structure analysis of a design of N streams (half hot, half cold) with 2N random matches:
// dense enough that its loops outnumber what the search keeps, so the figure is the cost of one
// rerun at the search's bounds plus the linear passes (lists, sub-networks, counts).
#include "eng/design/HENDesign.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/Scenario.h"
#include "eng/model/ScenarioServices.h"
#include "eng/core/Registries.h"
#include "module/LoadSteps.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

namespace {

void BM_StructureAnalysis(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    LoadModuleRegistries();
    auto scenario = std::make_unique<CPIScenario>(nullptr, DefaultScenarioServices());
    for (int i = 0; i < n; ++i) {
        const bool hot = i % 2 == 0;
        const std::string name = (hot ? "H" : "C") + std::to_string(i);
        scenario->AddStream(name.c_str(), 0);
        CPIHeatIntegrationStream* s = scenario->FindStream(name.c_str());
        s->SetValue("Temperature", hot ? 200.0 : 30.0, 0);
        s->SetValue("Temperature", hot ? 60.0 : 180.0, 1);
        s->SetValue("HeatCapacityFlowrate", 1.0, 0);
    }
    scenario->AddDesign("D");
    IHENDesign* design = nullptr;
    scenario->GetDesign(CPString("D"), design);
    auto* d = dynamic_cast<CPIHENDesign*>(design);
    d->Deactivate();
    std::mt19937 rng(5);
    for (int k = 0; k < 2 * n; ++k) {
        const int h = 2 * std::uniform_int_distribution<int>(0, n / 2 - 1)(rng);
        const int c = h + 1;
        const int c2 = 2 * std::uniform_int_distribution<int>(0, n / 2 - 1)(rng) + 1;
        CNode* a = d->GetNodeByName(CPString(("H" + std::to_string(h) + "Start").c_str()))->getIthDownStreamNode(0);
        CNode* b = d->GetNodeByName(CPString(("C" + std::to_string(k % 2 ? c : c2) + "Start").c_str()))
                       ->getIthDownStreamNode(0);
        d->AddHeatExchanger(a, b, nullptr, nullptr, nullptr);
    }
    for (auto _ : state) d->RunStructureAnalysis();
    state.SetComplexityN(n);
}
BENCHMARK(BM_StructureAnalysis)->Arg(24)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
