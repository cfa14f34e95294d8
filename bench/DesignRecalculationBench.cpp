// A design of 24 streams (12 hot, 12 cold) and 40 exchangers, each with its duty given: the cost
// of the recalculation that follows one duty change (clear, propagate, utility swap, cross-pinch
// loads and the check for exchangers with specified areas).
#include "bench/DesignBenchSupport.h"
#include "pellin/NodeKinds.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

void BM_RecalculateAfterOneDutyChange(benchmark::State& state) {
    const int streams = 24, exchangers = 40;
    AlternatingStreams table;
    table.filmCoefficient = 1.0;
    auto scenario = MakeAlternatingScenario(table);
    CPIHENDesign* d = MakeDesign(*scenario, "D");
    std::mt19937 rng(5);
    std::vector<CNode*> added;
    for (int e = 0; e < exchangers; ++e) {
        const int h = 2 * static_cast<int>(rng() % (streams / 2));
        const int c = 2 * static_cast<int>(rng() % (streams / 2)) + 1;
        CNode* x = d->AddHeatExchanger(FirstSegment(*d, "H" + std::to_string(h)), FirstSegment(*d, "C" + std::to_string(c)),
                                       nullptr, nullptr, nullptr);
        if (!x) continue;
        // The exchangers of a stream follow each other directly; only its last one keeps the
        // utility after it.
        for (int side = 0; side < 2; ++side) {
            d->RemoveUtilityAtPort(x, 2 * side);
            CNode* out = x->getIthDownStreamNode(side);
            CNode* utility = out ? out->getIthDownStreamNode(0) : nullptr;
            CNode* after = utility ? utility->getIthDownStreamNode(0) : nullptr;
            CNode* next = after ? after->getIthDownStreamNode(0) : nullptr;
            if (utility && utility->getClassName() == NodeKind::Heater && next &&
                next->getClassName() != NodeKind::ProductBlock)
                d->RemoveUtilityAtPort(x, 2 * side + 1);
        }
        x->addVariable(NodeValue::Duty, 20.0, 1);
        added.push_back(x);
    }
    d->ProcessChange(CPIHENDesign::CodeFlowsheetChanged, CPString(), nullptr);
    int k = 0;
    for (auto _ : state) {
        added[0]->addVariable(NodeValue::Duty, 20.0 + (k++ % 2), 1);
        d->ProcessChange(CPIHENDesign::CodeFlowsheetChanged, CPString(), nullptr);
    }
    state.counters["exchangers"] = static_cast<double>(d->GetNumberOfHeatExchangers());
    state.counters["incomplete"] = d->GetNumberOfIncompleteHeatExchangers(false);
}
BENCHMARK(BM_RecalculateAfterOneDutyChange)->Unit(benchmark::kMillisecond);

}  // namespace
