// The grid diagram of a 24-stream design with 40 exchangers: rebuild, layout, paint and SVG of
// the whole picture, as every change of the design asks for (goal: under 20 ms).
#include "DesignBenchSupport.h"
#include "views/grid/HENDiagram.h"

#include <benchmark/benchmark.h>

static void BM_GridDiagramPicture(benchmark::State& state) {
    auto scenario = MakeAlternatingScenario(AlternatingStreams{});
    CPIHENDesign* d = MakeDesign(*scenario, "Grid");
    int added = 0;
    for (int k = 0; added < 40 && k < 200; ++k) {
        const std::string hot = "H" + std::to_string(2 * (k % 12));
        const std::string cold = "C" + std::to_string(2 * ((k * 5) % 12) + 1);
        if (d->AddHeatExchanger(FirstSegment(*d, hot), FirstSegment(*d, cold), nullptr, nullptr, nullptr)) ++added;
    }
    if (added < 40) state.SkipWithError("the design took fewer than 40 exchangers");
    for (auto _ : state) {
        HENDiagram g;
        g.SetDesign(d);
        benchmark::DoNotOptimize(g.PictureSVG().size());
    }
    state.counters["exchangers"] = added;
}
BENCHMARK(BM_GridDiagramPicture)->Unit(benchmark::kMillisecond);
