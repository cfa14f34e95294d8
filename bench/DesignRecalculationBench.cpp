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

// Adds n exchangers between random hot and cold streams, each at the start of both streams, so
// that the exchangers of a stream follow each other directly; only a stream's last exchanger keeps
// the utility after it. The duties share a fixed total, so that the network stays feasible as it
// grows. The design is deactivated while the exchangers go in and recalculates once.
std::vector<CNode*> BuildNetwork(CPIHENDesign& d, int exchangers) {
    std::mt19937 rng(5);
    std::vector<CNode*> added;
    added.reserve(static_cast<std::size_t>(exchangers));
    const double duty = 800.0 / exchangers;
    d.Deactivate();
    for (int e = 0; e < exchangers; ++e) {
        const int h = 2 * static_cast<int>(rng() % (kStreams / 2));
        const int c = 2 * static_cast<int>(rng() % (kStreams / 2)) + 1;
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

void BM_RecalculateAfterOneDutyChange(benchmark::State& state) {
    const int exchangers = static_cast<int>(state.range(0));
    AlternatingStreams table;
    table.streams = kStreams;
    table.filmCoefficient = 1.0;
    auto scenario = MakeAlternatingScenario(table);
    CPIHENDesign* d = MakeDesign(*scenario, "D");
    std::vector<CNode*> added = BuildNetwork(*d, exchangers);
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
        benchmark::DoNotOptimize(BuildNetwork(*d, exchangers));
        state.PauseTiming();
        scenario->DeleteDesign(name.c_str());
        state.ResumeTiming();
    }
    state.SetComplexityN(exchangers);
}
BENCHMARK(BM_BuildDesign)->Arg(200)->Arg(1000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
