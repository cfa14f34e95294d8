// A locked network of 24 streams (12 hot, 12 cold) and 40 exchangers of given area, each cut
// into ten segments: the network calculator builds its equations and solves the mass set once
// and the heat set pass after pass until the temperatures settle.
#include "bench/DesignBenchSupport.h"
#include "eng/design/HENCalculator.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

namespace {

void BM_LockedNetworkSolve(benchmark::State& state) {
    const int streams = 24, exchangers = static_cast<int>(state.range(0));
    AlternatingStreams table;
    table.streams = streams;
    table.hotTarget = 40.0;
    table.coldTarget = 230.0;
    table.cp = 5.0;
    table.cpCycle = 4;
    auto scenario = MakeAlternatingScenario(table);
    CPIHENDesign* d = MakeDesign(*scenario, "D");
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
