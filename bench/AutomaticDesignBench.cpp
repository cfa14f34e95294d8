// The automatic design's interval model on random problems: N process streams (half hot, half
// cold, supply and target 40 to 300 degrees C, CP 1 to 10 kW/K, film coefficients 0.1 to 2), a
// hot utility above and a cold utility below every stream, both priced far above area.
//   BM_AutomaticDesignLP:        one run with the MILP phase off (intervals, columns, rows, the
//                                LP solve and its analysis).
//   BM_AutomaticDesignFirstMILP: one run for one design: the LP, the refined model and the first
//                                MILP (no structure is built afterwards).
//   BM_AutomaticDesignEndToEnd:  one run for one design, through the superstructure and the
//                                design built from it (counter "designs": 1 when it was made).
// Counters: the model's columns and rows and the MILP's binaries. The target for a plant-sized
// model (about 1,850 columns and 22 binaries) is under 2 s for the LP and first MILP together, and
// under 20 s end to end.
#include "bench/AutoDesignBenchProblem.h"

#include <benchmark/benchmark.h>

namespace {

void Report(benchmark::State& state, const AdvancedSuperTarget& run) {
    state.counters["columns"] = static_cast<double>(run.heatColumns ? run.heatColumns : run.lpProblem->nColumns);
    state.counters["rows"] = static_cast<double>(run.lpProblem->nRows);
    state.counters["binaries"] = static_cast<double>(run.loadedRecords.size());
}

void BM_AutomaticDesignLP(benchmark::State& state) {
    AutoDesignBenchProblem p(static_cast<int>(state.range(0)));
    AdvancedSuperTarget run(*p.project.scenario);
    run.ToggleFlag();
    for (auto _ : state) {
        if (p.Run(run, 1) != 1) state.SkipWithError(run.message.c_str());
    }
    Report(state, run);
}
BENCHMARK(BM_AutomaticDesignLP)->Arg(6)->Arg(10)->Arg(15)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_AutomaticDesignFirstMILP(benchmark::State& state) {
    AutoDesignBenchProblem p(static_cast<int>(state.range(0)));
    AdvancedSuperTarget run(*p.project.scenario, std::make_shared<NoStructureBuilder>());
    for (auto _ : state) {
        p.Run(run, 1);
        if (run.message != "FailedToResolveSuperStructure") state.SkipWithError(run.message.c_str());
    }
    Report(state, run);
}
BENCHMARK(BM_AutomaticDesignFirstMILP)->Arg(6)->Arg(10)->Arg(15)->Unit(benchmark::kMillisecond);

void BM_AutomaticDesignEndToEnd(benchmark::State& state) {
    AutoDesignBenchProblem p(static_cast<int>(state.range(0)));
    int made = 0;
    for (auto _ : state) {
        AdvancedSuperTarget run(*p.project.scenario);
        p.Run(run, 1);
        made = run.designsMade;
        if (made != 1) state.SkipWithError(run.message.empty() ? "no design" : run.message.c_str());
    }
    state.counters["designs"] = made;
}
BENCHMARK(BM_AutomaticDesignEndToEnd)->Arg(6)->Arg(10)->Arg(15)->Unit(benchmark::kMillisecond);

}  // namespace
