// Every cell of the process-stream and utility tables of a random 2,000-stream scenario read
// through the scenario viewer's Value, as a form redraws them: each cell finds its row of the
// value tables by its type code and number and its stream by its row. Goal: under 50 ms for
// the whole redraw (a look-up that walked the stream list per cell would take seconds).
#include "RandomStreamTable.h"

#include "brasko/EngineeringManager.h"
#include "brasko/LurmetBaseObject.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/ObjectTypeInfo.h"
#include "views/case/scenario/HIDesignViewerScenario.h"

#include <benchmark/benchmark.h>

#include <utility>
#include <vector>

namespace {

// The columns of the process-stream table and of the utility table (type code, number).
const std::vector<std::pair<int, int>> kProcessColumns = {
    {1, 402},    {1, 403},    {6, 405},    {4, 105},   {32039, 105}, {1516, 404}, {1011, 200}, {1524, 412}, {1524, 413},
    {4101, 412}, {1517, 406}, {9, 200},    {9, 201},   {100, 310},   {104, 411},  {104, 412},  {104, 413},  {104, 600}};
const std::vector<std::pair<int, int>> kUtilityColumns = {
    {1, 440},    {1, 441},    {1, 443},   {6, 440},    {6, 445},   {6, 450},    {6, 451},    {4, 104},  {4, 106},
    {1524, 440}, {1524, 441}, {4101, 440}, {1517, 442}, {1011, 201}, {9, 202},  {9, 203},    {31002, 445},
    {32053, 786}, {31001, 310}, {104, 214}, {104, 440}, {104, 450}, {104, 451}, {104, 452}};

void BM_ScenarioViewerStreamTables(benchmark::State& state) {
    EngineeringManager manager;
    ILurmetBaseObject* object = nullptr;
    IHeatIntegrationScenario* scenario = bench_table::NewScaleScenario(manager, "Viewer project", object);
    if (!scenario) {
        state.SkipWithError("no scenario");
        return;
    }
    const bool ok = bench_table::EnterStreams(*scenario, bench_table::RandomStreams(static_cast<int>(state.range(0))));
    const ObjectTypeRegistry* types = ObjectTypeRegistry::Current();
    if (!ok || !types) {
        state.SkipWithError("the scenario refused the table");
        manager.ReleaseObject(object);
        return;
    }
    Viewable owner(nullptr, "ViewableObject");
    auto* viewer = new HIDesignViewerScenario(&owner, "Scale", types->Find(HIDesignViewerScenario::TypeName));
    viewer->SetEngineeringScenario(scenario, 0);
    const int processRows = scenario->GetNumberOfProcessStreams();
    const int utilityRows = scenario->GetNumberOfStreamsOfKind(1, 2);
    double sum = 0.0;
    long cells = 0;
    for (auto _ : state) {
        cells = 0;
        for (const auto& [type, number] : kProcessColumns)
            for (int row = 0; row < processRows; ++row, ++cells) {
                VarDescription cell(type, number);
                cell.SetOffset(0, row);
                sum += viewer->Value(cell);
            }
        for (const auto& [type, number] : kUtilityColumns)
            for (int row = 0; row < utilityRows; ++row, ++cells) {
                VarDescription cell(type, number);
                cell.SetOffset(0, row);
                sum += viewer->Value(cell);
            }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["cells"] = static_cast<double>(cells);
    delete viewer;
    manager.ReleaseObject(object);
}
BENCHMARK(BM_ScenarioViewerStreamTables)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace
