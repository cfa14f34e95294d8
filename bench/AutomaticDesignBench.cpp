// The automatic design's interval model on random problems: N process streams (half hot, half
// cold, supply and target 40 to 300 degrees C, CP 1 to 10 kW/K, film coefficients 0.1 to 2), a
// hot utility above and a cold utility below every stream, both priced far above area.
//   BM_AutomaticDesignLP:        one run with the MILP phase off (intervals, columns, rows, the
//                                LP solve and its analysis).
//   BM_AutomaticDesignFirstMILP: one run for one design: the LP, the refined model and the first
//                                MILP (no structure is built afterwards).
// Counters: the model's columns and rows and the MILP's binaries. The target for a plant-sized
// model (about 1,850 columns and 22 binaries) is under 2 s for the LP and first MILP together.
#include "brasko/DefaultManager.h"
#include "eng/autodesign/AdvancedSuperTarget.h"
#include "eng/model/Scenario.h"
#include "tests/support/FourStreamProject.h"
#include "tevrin/CPDictionary.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct Problem {
    FourStreamProject project{false};
    std::vector<std::string> names;
    CPDictionary dictionary;

    explicit Problem(int streams) {
        std::mt19937 rng(17);
        std::uniform_real_distribution<double> t(40.0, 300.0), cp(1.0, 10.0), film(0.1, 2.0);
        for (int i = 0; i < streams; ++i) {
            double a = t(rng), b = t(rng);
            while (std::fabs(a - b) < 5.0) b = t(rng);
            // Half hot (supply above target), half cold.
            if ((i % 2 == 0) != (a > b)) std::swap(a, b);
            const std::string name = "S" + std::to_string(i + 1);
            project.AddProcess(name.c_str(), a, b, cp(rng));
            project.Stream(name.c_str())->SetValue("HTCoeff", film(rng), 0);
            names.push_back(name);
        }
        Utility("HU", 350.0, 349.0);
        Utility("CU", 20.0, 30.0);
        for (const std::string& n : names) dictionary.AddKeyString(n.c_str(), project.Stream(n.c_str()));
    }
    void Utility(const char* name, double supply, double target) {
        project.scenario->AddStream(name, 1);
        IHeatIntegrationStream* s = project.Stream(name);
        s->SetValue("Temperature", supply, 0);
        s->SetValue("Temperature", target, 1);
        s->SetValue("HTCoeff", 1.0, 0);
        s->SetCostIndex(0.01);
        names.emplace_back(name);
    }
    int Run(AdvancedSuperTarget& run, int wanted) {
        DefaultManager& m = project.scenario->GetActiveManager();
        return run.Run(&dictionary, nullptr, m.GetEconomicDataPointer(), m.GetEconomicInfoPointer(),
                       project.scenario->GetMatchwiseStreamData(), 10.0, nullptr, wanted);
    }
};

void Report(benchmark::State& state, const AdvancedSuperTarget& run) {
    state.counters["columns"] = static_cast<double>(run.heatColumns ? run.heatColumns : run.lpProblem->nColumns);
    state.counters["rows"] = static_cast<double>(run.lpProblem->nRows);
    state.counters["binaries"] = static_cast<double>(run.loadedRecords.size());
}

void BM_AutomaticDesignLP(benchmark::State& state) {
    Problem p(static_cast<int>(state.range(0)));
    AdvancedSuperTarget run(*p.project.scenario);
    run.ToggleFlag();
    for (auto _ : state) {
        if (p.Run(run, 1) != 1) state.SkipWithError(run.message.c_str());
    }
    Report(state, run);
}
BENCHMARK(BM_AutomaticDesignLP)->Arg(6)->Arg(10)->Arg(15)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_AutomaticDesignFirstMILP(benchmark::State& state) {
    Problem p(static_cast<int>(state.range(0)));
    AdvancedSuperTarget run(*p.project.scenario, std::make_shared<NoStructureBuilder>());
    for (auto _ : state) {
        p.Run(run, 1);
        if (run.message != "FailedToResolveSuperStructure") state.SkipWithError(run.message.c_str());
    }
    Report(state, run);
}
BENCHMARK(BM_AutomaticDesignFirstMILP)->Arg(6)->Arg(10)->Arg(15)->Unit(benchmark::kMillisecond);

}  // namespace
