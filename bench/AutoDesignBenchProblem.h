#pragma once
// The random problems of the automatic-design benchmarks: N process streams (half hot, half cold,
// supply and target 40 to 300 degrees C, CP 1 to 10 kW/K, film coefficients 0.1 to 2), a hot
// utility above and a cold utility below every stream, both priced far above area.
#include "brasko/DefaultManager.h"
#include "eng/autodesign/AdvancedSuperTarget.h"
#include "eng/model/Scenario.h"
#include "tests/support/FourStreamProject.h"
#include "tevrin/CPDictionary.h"

#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

struct AutoDesignBenchProblem {
    FourStreamProject project{false};
    std::vector<std::string> names;
    CPDictionary dictionary;

    explicit AutoDesignBenchProblem(int streams) {
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

