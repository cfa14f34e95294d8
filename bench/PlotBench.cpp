// The composite curves of a random 1,000-stream table drawn to SVG, the targets computed
// beforehand: the plot view is built on the scenario, reads its curves point by point, lays out
// the axes and writes the picture. Goal: under 20 ms.
#include "RandomStreamTable.h"

#include "brasko/EngineeringManager.h"
#include "brasko/LurmetBaseObject.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "views/plots/chiPlot.h"

#include <benchmark/benchmark.h>

namespace {

void BM_CompositeCurvesToSvg(benchmark::State& state) {
    EngineeringManager manager;
    ILurmetBaseObject* object = nullptr;
    IHeatIntegrationScenario* scenario = bench_table::NewScaleScenario(manager, "Plot project", object);
    if (!scenario) {
        state.SkipWithError("no scenario");
        return;
    }
    const bool ok = bench_table::EnterStreams(*scenario, bench_table::RandomStreams(static_cast<int>(state.range(0))));
    if (!ok || scenario->GetNumberOfCurvePoints(3) < 2) {
        state.SkipWithError("the scenario refused the table");
        manager.ReleaseObject(object);
        return;
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        chiPlot plot(nullptr, scenario, false);
        plot.ConstructPlot(CompositeCurves);
        const Text svg = plot.GetPlot()->ExportSVG(chiPlot::PictureWidth, chiPlot::PictureHeight);
        bytes = svg.size();
        benchmark::DoNotOptimize(svg.data());
    }
    state.counters["points"] = scenario->GetNumberOfCurvePoints(3) + scenario->GetNumberOfCurvePoints(4);
    state.counters["bytes"] = static_cast<double>(bytes);
    manager.ReleaseObject(object);
}
BENCHMARK(BM_CompositeCurvesToSvg)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
