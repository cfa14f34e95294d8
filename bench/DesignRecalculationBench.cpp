// A design of 24 streams (12 hot, 12 cold) and n exchangers, each with its duty given: the cost of
// the recalculation that follows one duty change (clear, propagate, utility swap, cross-pinch
// loads and the check for exchangers with specified areas), and the cost of building such a
// design as one batch of edits that recalculates once at its end.
#include "bench/DesignBenchSupport.h"
#include "pellin/NodeKinds.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kStreams = 24;

void BM_RecalculateAfterOneDutyChange(benchmark::State& state) {
    const int exchangers = static_cast<int>(state.range(0));
    AlternatingStreams table;
    table.streams = kStreams;
    table.filmCoefficient = 1.0;
    auto scenario = MakeAlternatingScenario(table);
    CPIHENDesign* d = MakeDesign(*scenario, "D");
    std::vector<CNode*> added = BuildRandomDutyNetwork(*d, exchangers);
    double duty = 0.0;
    added[0]->getVariableAsDouble(NodeValue::Duty, duty);
    int k = 0;
    for (auto _ : state) {
        added[0]->addVariable(NodeValue::Duty, duty * (1.0 + 0.01 * (k++ % 2)), 1);
        d->ProcessChange(CPIHENDesign::CodeFlowsheetChanged, CPString(), nullptr);
    }
    state.counters["exchangers"] = static_cast<double>(d->GetNumberOfHeatExchangers());
    state.counters["incomplete"] = d->GetNumberOfIncompleteHeatExchangers(false);
    state.SetComplexityN(exchangers);
}
BENCHMARK(BM_RecalculateAfterOneDutyChange)->Arg(40)->Arg(200)->Arg(1000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_BuildDesign(benchmark::State& state) {
    const int exchangers = static_cast<int>(state.range(0));
    AlternatingStreams table;
    table.streams = kStreams;
    table.filmCoefficient = 1.0;
    auto scenario = MakeAlternatingScenario(table);
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string name = "D" + std::to_string(k++);
        CPIHENDesign* d = MakeDesign(*scenario, name.c_str());
        state.ResumeTiming();
        benchmark::DoNotOptimize(BuildRandomDutyNetwork(*d, exchangers));
        state.PauseTiming();
        scenario->DeleteDesign(name.c_str());
        state.ResumeTiming();
    }
    state.SetComplexityN(exchangers);
}
BENCHMARK(BM_BuildDesign)->Arg(200)->Arg(1000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
