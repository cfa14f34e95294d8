// Opening one exchanger's view on a 24-stream design of 400 exchangers: the view resolves its
// neighbours, whose views resolve theirs, until every connected unit has its view (goal: linear in
// the units, under 50 ms); then the temperature-enthalpy plot's picture.
#include "DesignBenchSupport.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/TwoDimPlot.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/design/HeatExchangerView.h"

#include <benchmark/benchmark.h>

static void BM_OpenExchangerView(benchmark::State& state) {
    auto scenario = MakeAlternatingScenario(AlternatingStreams{});
    CPIHENDesign* d = MakeDesign(*scenario, "Views");
    const int exchangers = static_cast<int>(state.range(0));
    const std::vector<CNode*> units = BuildRandomDutyNetwork(*d, exchangers);
    if (units.empty()) {
        state.SkipWithError("no network");
        return;
    }
    const ObjectTypeInfo* type = ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName);
    int views = 0;
    for (auto _ : state) {
        HIDesignViewerDesign viewer(nullptr, "Views", type);
        viewer.SetScenario(scenario.get());
        viewer.SetEngineeringDesign(d, true);
        benchmark::DoNotOptimize(viewer.GetEquipmentView(units.front()));
        views = viewer.GetExchangerViews().Count();
    }
    state.counters["views"] = views;
}
BENCHMARK(BM_OpenExchangerView)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

static void BM_ExchangerProfilePicture(benchmark::State& state) {
    auto scenario = MakeAlternatingScenario(AlternatingStreams{});
    CPIHENDesign* d = MakeDesign(*scenario, "Profile");
    const std::vector<CNode*> units = BuildRandomDutyNetwork(*d, 40);
    if (units.empty()) {
        state.SkipWithError("no network");
        return;
    }
    const ObjectTypeInfo* type = ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName);
    HIDesignViewerDesign viewer(nullptr, "Profile", type);
    viewer.SetScenario(scenario.get());
    viewer.SetEngineeringDesign(d, true);
    auto* view = dynamic_cast<HeatExchangerView*>(viewer.GetEquipmentView(units.front()));
    for (auto _ : state) benchmark::DoNotOptimize(view->GetPlot()->ExportSVG(640.0, 480.0).size());
}
BENCHMARK(BM_ExchangerProfilePicture)->Unit(benchmark::kMillisecond);
