// The network optimiser for least area (mode 0) on the 24-stream bench design of 40 to 1,000
// exchangers with given duties (the design the recalculation benchmark builds): free exchangers
// chosen per sub-network, simplex passes, refinement and utility-duty searches (goal: 1,000
// exchangers under 60 s). The scenario has no utilities, so every stream ends at a placeholder and
// any lower duty hands heat to one: such points are infeasible, and up to 500 exchangers the run
// keeps the design's area (area_after = area_before; result 4 says only that the simplex ran); at
// 1,000 it lowers the area a little (7.99841 to 7.99686). At every size the random matches tie all
// 24 streams into one sub-network (counter sub_networks), so the search spans the whole design. The
// same design with its loaded ends on steam and cooling water, and the same design through the
// equation-based engine, every duty at once for the total annual cost (goal: under 5 s).
//
// Figures (CPU seconds, loaded machine, the two builds side by side on two cores). Earlier: the
// exchangers that show a repeat of their calculation would write nothing are passed over on the
// work list, the ports without a unit across them are not read, and the loads across the pinch are
// counted once at the end of the run: 200 exchangers 4.4 before, 3.0 after; 500 30.2 before, 22.9
// after; 1,000 152 before, 122 after. Now each trial recalculates only the streams its moved
// duties reach, and a network without utilities calculates its units in stream order (an
// exchanger once its inlets are known instead of once per side): 200 exchangers 2.46 before, 1.34
// after; 500 16.4 before, 8.20 after; 1,000 85.9 before, 37.2 after (the goal is reached); with
// utilities 200 exchangers 5.13 before, 1.95 after. Every duty, area, temperature and share of the
// optimised designs (40 to 1,000 exchangers without utilities, 40 to 200 with) is the same to the
// last bit. Growth from 500 to 1,000: n^2.39 before, n^2.18 after (from 200 to 500: n^2.07
// before, n^1.98 after). Per trial at 500 exchangers (8,110 trials): the refinement's 4,000 trials
// move one duty each and calculate about 85 units; the simplex's starting points (2,010) and
// collapses (2,000) move every duty and calculate the whole network, 550 unit calculations in
// stream order where the list's order made 1,450. Those whole trials grow with the exchangers and
// so does each of them: the run still grows as the square.
#include "bench/DesignBenchSupport.h"

#include "brasko/DefaultUtilityTypes.h"
#include "pellin/StreamNodes.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>

namespace {

// With KESTRIN_OPTIMISER_DUMP set to a directory, the optimised design's values (every unit's
// duty and area, every segment's temperature and share, to the last bit) go to
// "<dir>/optimiser-<exchangers>.txt", so that two builds' runs can be compared byte for byte.
void DumpDesign(CPIHENDesign& d, int exchangers, bool utilities, int result) {
    const char* dir = std::getenv("KESTRIN_OPTIMISER_DUMP");
    if (!dir || !*dir) return;
    const std::string path =
        std::string(dir) + (utilities ? "/optimiser-utilities-" : "/optimiser-") + std::to_string(exchangers) + ".txt";
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return;
    std::fprintf(out, "result %d area %a (%.17g)\n", result, d.GetTotalArea(), d.GetTotalArea());
    for (CNode* node : d.GetFlowSheet()->getAllNodes()) {
        std::fprintf(out, "%s", node->getName().c_str());
        for (const char* name : {NodeValue::Duty, NodeValue::HTArea, NodeValue::Temperature, NodeValue::SplitFraction}) {
            double v = 0.0;
            if (node->getVariableAsDouble(name, v)) std::fprintf(out, " %s=%a/%d", name, v, node->getVariableStatus(name));
        }
        std::fprintf(out, "\n");
    }
    std::fclose(out);
}

// One least-area run per iteration on a freshly built bench design, its loaded placeholders
// matched with steam and cooling water when `utilities` is set.
void RunLeastArea(benchmark::State& state, bool utilities) {
    const int exchangers = static_cast<int>(state.range(0));
    AlternatingStreams table;
    table.filmCoefficient = 1.0;
    double before = 0.0, after = 0.0;
    int result = 0, subNetworks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto scenario = MakeAlternatingScenario(table);
        CPIHENDesign* d = MakeDesign(*scenario, "D");
        BuildRandomDutyNetwork(*d, exchangers);
        if (utilities) MatchPlaceholdersWithUtilities(*scenario, *d);
        d->SetOptimizeExchangerDuties(true);
        d->SetOptimizeSplitFractions(true);
        before = d->GetTotalArea();
        subNetworks = d->GetNumberOfSubNetworks();
        state.ResumeTiming();
        result = d->RunOptimizer(0);
        state.PauseTiming();
        after = d->GetTotalArea();
        DumpDesign(*d, exchangers, utilities, result);
        scenario.reset();
        state.ResumeTiming();
    }
    state.counters["exchangers"] = exchangers;
    state.counters["area_before"] = before;
    state.counters["area_after"] = after;
    state.counters["result"] = result;
    state.counters["sub_networks"] = subNetworks;
}

void BM_NetworkOptimiserLeastArea(benchmark::State& state) { RunLeastArea(state, false); }
BENCHMARK(BM_NetworkOptimiserLeastArea)->Arg(40)->Arg(100)->Arg(200)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same design with its loaded stream ends on steam and cooling water: a duty moved off a
// process exchanger goes to a heater and a cooler, so the trials reach the utilities and calculate
// in the list's order (up to 200 exchangers the run keeps the design's area; the dump goes to
// "<dir>/optimiser-utilities-<exchangers>.txt").
void BM_NetworkOptimiserLeastAreaWithUtilities(benchmark::State& state) { RunLeastArea(state, true); }
BENCHMARK(BM_NetworkOptimiserLeastAreaWithUtilities)->Arg(40)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_NetworkOptimiserEquationBased(benchmark::State& state) {
    const int exchangers = static_cast<int>(state.range(0));
    AlternatingStreams table;
    table.filmCoefficient = 1.0;
    int result = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto scenario = MakeAlternatingScenario(table);
        scenario->SetUseEquationBasedOptimization(true);
        for (const auto& [item, value] : {std::pair{EDT_FixedCostPerUnit, 10000.0}, std::pair{EDT_AreaCostCoefficient, 800.0},
                                          std::pair{EDT_AreaExponent, 0.8}, std::pair{EDT_RateOfReturn, 0.1},
                                          std::pair{EDT_PlantLife, 5.0}, std::pair{EDT_OperatingHours, 8760.0}})
            scenario->SetEconomicData(item, value, "DEFAULT");
        CPIHENDesign* d = MakeDesign(*scenario, "D");
        BuildRandomDutyNetwork(*d, exchangers);
        MatchPlaceholdersWithUtilities(*scenario, *d);
        d->AssignExchangerCostModels();
        d->SetOptimizeExchangerDuties(true);
        d->SetOptimizeSplitFractions(true);
        state.ResumeTiming();
        result = d->RunOptimizer(1);
        state.PauseTiming();
        scenario.reset();
        state.ResumeTiming();
    }
    state.counters["exchangers"] = exchangers;
    state.counters["result"] = result;
}
BENCHMARK(BM_NetworkOptimiserEquationBased)->Arg(40)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
