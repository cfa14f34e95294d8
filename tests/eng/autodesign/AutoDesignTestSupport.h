#pragma once
// Scenarios for the automatic-design tests: a project of type 501 whose streams are given with
// their film coefficients and prices, the run's stream dictionary, and the doubles of the solver
// and of the structure that the chosen matches are handed to.
#include "brasko/DefaultManager.h"
#include "eng/autodesign/AdvancedSuperTarget.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/MatchwiseStreamData.h"
#include "tests/support/FourStreamProject.h"
#include "tevrin/CPDictionary.h"

#include <string>
#include <vector>

namespace autodesign_test {

// Price of the test utilities per kJ: at the factory's 8765.76 h a year about 3e5 per kW and year,
// far above what the area of a kW of exchange costs.
constexpr double kDearUtility = 0.01;

class AutoDesignProject : public FourStreamProject {
public:
    AutoDesignProject() : FourStreamProject(false) {}

    bool Process(const char* name, double supply, double target, double cp, double h = 0.5) {
        if (!AddProcess(name, supply, target, cp)) return false;
        Stream(name)->SetValue("HTCoeff", h, 0);
        names.emplace_back(name);
        return true;
    }
    bool Utility(const char* name, double supply, double target, double h = 1.0, double cost = kDearUtility) {
        if (scenario->AddStream(name, 1) != 1) return false;
        IHeatIntegrationStream* s = Stream(name);
        s->SetValue("Temperature", supply, 0);
        s->SetValue("Temperature", target, 1);
        s->SetValue("HTCoeff", h, 0);
        s->SetCostIndex(cost);
        names.emplace_back(name);
        return true;
    }
    // The worked problem: one hot and one cold stream overlapping by 76 kW at a 4 K approach.
    void WorkedProblem(double hotCp = 1.0) {
        Process("H", 180.0, 80.0, hotCp);
        Process("C", 100.0, 200.0, 1.0);
        Utility("HU", 250.0, 249.0);
        Utility("CU", 20.0, 30.0);
    }
    void FourStreams() {
        ForEachFourStream([&](const char* n, double s, double t, double cp) { Process(n, s, t, cp); });
        Utility("HU", 250.0, 249.0);
        Utility("CU", 10.0, 20.0);
    }
    CPDictionary* Dictionary() {
        dictionary.Clear();
        for (const std::string& n : names) dictionary.AddKeyString(n.c_str(), Stream(n.c_str()));
        return &dictionary;
    }
    DefaultManager& Manager() { return scenario->GetActiveManager(); }
    int Run(AdvancedSuperTarget& run, int wanted = 10, double dTmin = 10.0) {
        return run.Run(Dictionary(), nullptr, Manager().GetEconomicDataPointer(), Manager().GetEconomicInfoPointer(),
                       scenario->GetMatchwiseStreamData(), dTmin, nullptr, wanted);
    }

    std::vector<std::string> names;
    CPDictionary dictionary;
};

// Accepts every set of matches and notes what it was given: the chosen pairs with their loads.
class AcceptingBuilder : public IMatchStructureBuilder {
public:
    struct Call {
        std::vector<std::string> pairs;
        std::vector<double> loads;
    };
    int BuildDesign(IHeatIntegrationScenario&, const std::vector<IHeatIntegrationStream*>&,
                    const std::vector<MatchwiseStreamData*>& chosen, IHeatIntegrationStream*, IHeatIntegrationStream*,
                    IHENDesign*) override {
        Call call;
        for (MatchwiseStreamData* r : chosen) {
            call.pairs.push_back(std::string(r->GetHotStream()->GetName().c_str()) + "-" +
                                 r->GetColdStream()->GetName().c_str());
            call.loads.push_back(r->dTolerance[0]);
        }
        calls.push_back(call);
        return 1;
    }
    std::vector<Call> calls;
};

// An automatic design without a solver.
class NoSolverTarget : public AdvancedSuperTarget {
public:
    using AdvancedSuperTarget::AdvancedSuperTarget;
    IMILPSolver* CreateSolver() const override { return nullptr; }
};

// An automatic design whose cost models price matches by the given basis.
class BasisTarget : public AdvancedSuperTarget {
public:
    BasisTarget(IHeatIntegrationScenario& s, int b) : AdvancedSuperTarget(s), basis(b) {}
    int CostBasisOf(const CPString&) const override { return basis; }
    int basis;
};

// Load of the loaded match (hot, cold) as the run reports it; -1 when it is not loaded.
inline double LoadedMatch(const AdvancedSuperTarget& run, const char* hot, const char* cold) {
    for (int i = 0; i < run.GetNumberOfLoadedMatches(); ++i)
        if (std::string(run.GetLoadedMatchStreamName(i, 0)) == hot && std::string(run.GetLoadedMatchStreamName(i, 1)) == cold)
            return run.GetLoadedMatchLoad(i);
    return -1.0;
}

inline double UtilityLoad(const AdvancedSuperTarget& run, const char* name) {
    for (int i = 0; i < run.GetNumberOfNamedEntries(); ++i)
        if (std::string(run.GetNamedEntry(i)) == name) return run.GetSummedValue(i);
    return -1.0;
}

}  // namespace autodesign_test
