// The network optimiser for least area (mode 0) on the 24-stream bench design of 40 exchangers
// with given duties (the design the recalculation benchmark builds): free exchangers chosen per
// sub-network, simplex passes, refinement and utility-duty searches, each trial a full
// recalculation of the network (goal: under 10 s).
#include "bench/DesignBenchSupport.h"

#include <benchmark/benchmark.h>

namespace {

void BM_NetworkOptimiserLeastArea(benchmark::State& state) {
    const int exchangers = static_cast<int>(state.range(0));
    AlternatingStreams table;
    table.filmCoefficient = 1.0;
    double before = 0.0, after = 0.0;
    int result = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto scenario = MakeAlternatingScenario(table);
        CPIHENDesign* d = MakeDesign(*scenario, "D");
        BuildRandomDutyNetwork(*d, exchangers);
        d->SetOptimizeExchangerDuties(true);
        d->SetOptimizeSplitFractions(true);
        before = d->GetTotalArea();
        state.ResumeTiming();
        result = d->RunOptimizer(0);
        state.PauseTiming();
        after = d->GetTotalArea();
        scenario.reset();
        state.ResumeTiming();
    }
    state.counters["exchangers"] = exchangers;
    state.counters["area_before"] = before;
    state.counters["area_after"] = after;
    state.counters["result"] = result;
}
BENCHMARK(BM_NetworkOptimiserLeastArea)->Arg(40)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
