// Supertargeting over DTmin 2 to 50: a fixed-step range (49 points) and the optimum search, on
// the four-stream problem (H1 170 -> 60 CP 3, H2 150 -> 30 CP 1.5, C1 20 -> 135 CP 2, C2 80 -> 140
// CP 4) and on 100 random process streams (supply and target 20 to 400 degrees C, CP 1 to 50
// kW/K). Every point is a whole recalculation of the scenario with the services a project hands
// its scenarios, so the figures grow as more target records are built.
#include "eng/model/Scenario.h"
#include "eng/model/ScenarioServices.h"
#include "eng/model/SuperTargetRange.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>

namespace {

struct StreamData {
    double supply, target, cp;
};

void AddProcessStream(CPIScenario& scenario, const std::string& name, const StreamData& d) {
    if (!scenario.AddStream(name, 0)) return;
    CPIHeatIntegrationStream* s = scenario.FindStream(name);
    if (!s) return;
    s->SetValue("Temperature", d.supply, 0);
    s->SetValue("Temperature", d.target, 1);
    s->SetValue("HeatCapacityFlowrate", d.cp, 0);
}

std::unique_ptr<CPIScenario> FourStreamScenario() {
    auto scenario = std::make_unique<CPIScenario>(nullptr, DefaultScenarioServices());
    AddProcessStream(*scenario, "H1", {170.0, 60.0, 3.0});
    AddProcessStream(*scenario, "H2", {150.0, 30.0, 1.5});
    AddProcessStream(*scenario, "C1", {20.0, 135.0, 2.0});
    AddProcessStream(*scenario, "C2", {80.0, 140.0, 4.0});
    return scenario;
}

std::unique_ptr<CPIScenario> RandomScenario(int streams, unsigned seed) {
    auto scenario = std::make_unique<CPIScenario>(nullptr, DefaultScenarioServices());
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> temperature(20.0, 400.0);
    std::uniform_real_distribution<double> cp(1.0, 50.0);
    for (int i = 0; i < streams; ++i) {
        StreamData d{temperature(rng), 0.0, cp(rng)};
        do d.target = temperature(rng);
        while (std::fabs(d.target - d.supply) < 1.0);
        AddProcessStream(*scenario, "S" + std::to_string(i + 1), d);
    }
    return scenario;
}

std::unique_ptr<CPIScenario> ScenarioOf(int streams) {
    return streams == 4 ? FourStreamScenario() : RandomScenario(streams, 11);
}

void BM_SupertargetFixedSteps(benchmark::State& state) {
    auto scenario = ScenarioOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        scenario->CalculateSuperTargets(2.0, 50.0, 1.0);
        benchmark::DoNotOptimize(scenario->GetNumberOfSuperTargetPoints());
    }
    state.counters["points"] = scenario->GetNumberOfSuperTargetPoints();
}
BENCHMARK(BM_SupertargetFixedSteps)->Arg(4)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_SupertargetSearch(benchmark::State& state) {
    auto scenario = ScenarioOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        scenario->RecalculateSuperTargets();
        benchmark::DoNotOptimize(scenario->GetNumberOfSuperTargetPoints());
    }
    state.counters["points"] = scenario->GetNumberOfSuperTargetPoints();
    double upper = 0.0, lower = 0.0;
    scenario->GetSuperTargetOptimum(upper, lower);
    state.counters["optimum_lower"] = lower;
    state.counters["optimum_upper"] = upper;
    if (const SuperTargetRange* range = scenario->GetSuperTargetRange()) state.counters["range_end"] = range->dRangeEnd;
}
BENCHMARK(BM_SupertargetSearch)->Arg(4)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace
