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
    ILurmetBaseObject* object = manager.CreateObject(IHeatIntegrationProject::ObjectType, "Plot project");
    void* out = nullptr;
    IHeatIntegrationScenario* scenario = nullptr;
    if (!object || object->QueryInterface(IHeatIntegrationProject::ObjectType, &out) != 1) {
        state.SkipWithError("no project");
        return;
    }
    auto* project = static_cast<IHeatIntegrationProject*>(out);
    if (project->AddScenario("Scale") != 1 || !project->GetScenario("Scale", scenario) || !scenario) {
        state.SkipWithError("no scenario");
        manager.ReleaseObject(object);
        return;
    }
    scenario->SuspendCalculations();
    bool ok = true;
    for (const bench_table::Row& r : bench_table::RandomStreams(static_cast<int>(state.range(0)))) {
        IHeatIntegrationStream* s = nullptr;
        ok = ok && scenario->AddStream(r.name.c_str(), 0) == 1 && scenario->GetStream(r.name.c_str(), s) && s &&
             s->SetValue("Temperature", r.supply, 0) == 1 && s->SetValue("Temperature", r.target, 1) == 1 &&
             s->SetValue("HeatCapacityFlowrate", r.cp, 0) == 1;
    }
    for (const char* u : bench_table::kUtilities) ok = ok && scenario->AddStream(u, 1) == 1;
    scenario->ResumeCalculations(ok);
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
