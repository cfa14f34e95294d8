// The user's path through the module, in process: a project made by the engineering manager, a
// scenario filled from a random table of process streams and two default utilities (the
// calculations held while it fills, then one recalculation), every target read; a supertargeting
// sweep of 100 minimum approach temperatures on 1,000 streams; a case of 10,000 streams saved to
// and read back from a file.
#include "RandomStreamTable.h"

#include "brasko/EngineeringManager.h"
#include "brasko/ILurmetBinaryFile.h"
#include "brasko/LurmetBaseObject.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "module/HostServices.h"

#include <sys/resource.h>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

extern "C" void SetupDLL();

namespace {

// A project of its own engineering manager, released with it.
class Session {
public:
    Session() {
        SetupDLL();
        m_manager = KestrinCreateEngineeringManager();
        m_object = m_manager ? m_manager->CreateObject(IHeatIntegrationProject::ObjectType, "Kestrin project") : nullptr;
        void* project = nullptr;
        if (m_object && m_object->QueryInterface(IHeatIntegrationProject::ObjectType, &project) == 1)
            m_project = static_cast<IHeatIntegrationProject*>(project);
    }
    ~Session() {
        if (m_manager && m_object) m_manager->ReleaseObject(m_object);
        if (m_manager) KestrinDestroyEngineeringManager(m_manager);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    IHeatIntegrationProject* Project() const { return m_project; }
    IHeatIntegrationScenario* NewScenario() {
        IHeatIntegrationScenario* scenario = nullptr;
        if (!m_project || m_project->AddScenario("Scale") != 1 || !m_project->GetScenario("Scale", scenario)) return nullptr;
        return scenario;
    }
    IHeatIntegrationScenario* FirstScenario() const {
        IHeatIntegrationScenario* scenario = nullptr;
        return m_project && m_project->GetScenario(0, scenario) ? scenario : nullptr;
    }

private:
    IEngineeringManager* m_manager = nullptr;
    ILurmetBaseObject* m_object = nullptr;
    IHeatIntegrationProject* m_project = nullptr;
};

double ReadTargets(const IHeatIntegrationScenario& scenario) {
    return scenario.GetUtilityTarget(0) + scenario.GetUtilityTarget(1) + scenario.GetAreaTarget(0) +
           scenario.GetAreaTarget(1) + scenario.GetMinimumNumberOfUnits(0) + scenario.GetMinimumNumberOfUnits(1) +
           scenario.GetNumberOfShellsTarget() + scenario.GetCostTarget(7) + scenario.GetCostTarget(5);
}

void BM_ScenarioFullTargets(benchmark::State& state) {
    const auto rows = bench_table::RandomStreams(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Session session;
        IHeatIntegrationScenario* scenario = session.NewScenario();
        if (!scenario || !bench_table::EnterStreams(*scenario, rows)) {
            state.SkipWithError("the scenario refused the table");
            return;
        }
        benchmark::DoNotOptimize(ReadTargets(*scenario));
    }
    // The process's peak so far (the largest table run last holds it).
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = benchmark::Counter(static_cast<double>(usage.ru_maxrss) / 1024.0);
}
BENCHMARK(BM_ScenarioFullTargets)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Entering and tearing down the streams alone (no targets): each row in one batch (0) or value
// by value (1).
void BM_ScenarioEnterStreams(benchmark::State& state) {
    const auto rows = bench_table::RandomStreams(static_cast<int>(state.range(0)));
    const bool oneByOne = state.range(1) != 0;
    for (auto _ : state) {
        Session session;
        IHeatIntegrationScenario* scenario = session.NewScenario();
        if (!scenario || !bench_table::EnterStreams(*scenario, rows, oneByOne, false)) {
            state.SkipWithError("the scenario refused the table");
            return;
        }
    }
}
BENCHMARK(BM_ScenarioEnterStreams)->ArgsProduct({{10000, 100000}, {0, 1}})->Unit(benchmark::kMillisecond);

void BM_ScenarioSupertargetSweep(benchmark::State& state) {
    Session session;
    IHeatIntegrationScenario* scenario = session.NewScenario();
    if (!scenario || !bench_table::EnterStreams(*scenario, bench_table::RandomStreams(static_cast<int>(state.range(0))))) {
        state.SkipWithError("the scenario refused the table");
        return;
    }
    for (auto _ : state) {
        scenario->CalculateSuperTargets(1.0, 100.0, 1.0);
        benchmark::DoNotOptimize(scenario->GetNumberOfSuperTargetPoints());
    }
    state.counters["points"] = scenario->GetNumberOfSuperTargetPoints();
}
BENCHMARK(BM_ScenarioSupertargetSweep)->Arg(1000)->Unit(benchmark::kMillisecond);

std::string CasePath() {
    return (std::filesystem::temp_directory_path() / ("kestrin-scale-" + std::to_string(::getpid()) + ".case")).string();
}

bool Save(Session& session, const std::string& path) {
    ILurmetBinaryFile* file = KestrinOpenCaseFile(path.c_str(), 1);
    if (!file) return false;
    const bool ok = session.Project()->Store(*file) && KestrinCommitCaseFile(file) == 1;
    KestrinCloseCaseFile(file);
    return ok;
}

void BM_ScenarioCaseSave(benchmark::State& state) {
    Session session;
    IHeatIntegrationScenario* scenario = session.NewScenario();
    if (!scenario || !bench_table::EnterStreams(*scenario, bench_table::RandomStreams(static_cast<int>(state.range(0))))) {
        state.SkipWithError("the scenario refused the table");
        return;
    }
    const std::string path = CasePath();
    for (auto _ : state)
        if (!Save(session, path)) state.SkipWithError("the case could not be saved");
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}
BENCHMARK(BM_ScenarioCaseSave)->Arg(10000)->Unit(benchmark::kMillisecond);

// Reading a case recalculates the scenario, as every read does.
void BM_ScenarioCaseLoad(benchmark::State& state) {
    const std::string path = CasePath();
    {
        Session session;
        IHeatIntegrationScenario* scenario = session.NewScenario();
        if (!scenario || !bench_table::EnterStreams(*scenario, bench_table::RandomStreams(static_cast<int>(state.range(0)))) ||
            !Save(session, path)) {
            state.SkipWithError("the case could not be made");
            return;
        }
    }
    for (auto _ : state) {
        Session session;
        ILurmetBinaryFile* file = KestrinOpenCaseFile(path.c_str(), 0);
        const bool ok = file && session.Project()->Recall(*file);
        if (file) KestrinCloseCaseFile(file);
        if (!ok || !session.FirstScenario()) {
            state.SkipWithError("the case could not be read");
            break;
        }
        benchmark::DoNotOptimize(ReadTargets(*session.FirstScenario()));
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_ScenarioCaseLoad)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
