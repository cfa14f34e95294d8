// A scenario of N streams (half hot, half cold) makes a design, which then takes N exchangers
// between random hot and cold segments: the cost of making a design over many streams and of an
// edit. Each edit recalculates the whole network once (linear in its size), so N edits on a network
// of N streams grow as N squared: the design keeps itself calculated after every change.
#include "bench/DesignBenchSupport.h"
#include "eng/design/HENDesign.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/Scenario.h"
#include "eng/model/ScenarioServices.h"
#include "eng/core/Registries.h"
#include "module/LoadSteps.h"
#include "pellin/NodeKinds.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

namespace {

std::unique_ptr<CPIScenario> MakeScenario(int streams) {
    LoadModuleRegistries();
    auto scenario = std::make_unique<CPIScenario>(nullptr, DefaultScenarioServices());
    for (int i = 0; i < streams; ++i) {
        const bool hot = i % 2 == 0;
        const std::string name = (hot ? "H" : "C") + std::to_string(i);
        scenario->AddStream(name.c_str(), 0);
        CPIHeatIntegrationStream* s = scenario->FindStream(name.c_str());
        s->SetValue("Temperature", hot ? 200.0 - i % 50 : 30.0 + i % 40, 0);
        s->SetValue("Temperature", hot ? 60.0 + i % 20 : 180.0 - i % 30, 1);
        s->SetValue("HeatCapacityFlowrate", 1.0 + i % 3, 0);
    }
    return scenario;
}

void BM_MakeDesign(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    auto scenario = MakeScenario(n);
    int k = 0;
    for (auto _ : state) {
        const CPString name = ("D" + std::to_string(k++)).c_str();
        scenario->AddDesign(name);
        state.PauseTiming();
        scenario->DeleteDesign(name);
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_MakeDesign)->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond)->Complexity();

void BM_AddExchangers(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    auto scenario = MakeScenario(n);
    std::mt19937 rng(3);
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const CPString name = ("D" + std::to_string(k++)).c_str();
        scenario->AddDesign(name);
        IHENDesign* design = nullptr;
        scenario->GetDesign(name, design);
        auto* d = dynamic_cast<CPIHENDesign*>(design);
        state.ResumeTiming();
        for (int e = 0; e < n; ++e) {
            const int h = 2 * static_cast<int>(rng() % static_cast<unsigned>(n / 2));
            const int c = 2 * static_cast<int>(rng() % static_cast<unsigned>(n / 2)) + 1;
            d->AddHeatExchanger(FirstSegment(*d, "H" + std::to_string(h)), FirstSegment(*d, "C" + std::to_string(c)),
                                nullptr, nullptr, nullptr);
        }
        state.PauseTiming();
        scenario->DeleteDesign(name);
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_AddExchangers)->Arg(50)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
