#pragma once
// A network of analytic functions for the optimiser's searches: every point written is recorded,
// the objective and the feasibility are functions of the last point, and the utility exchangers'
// duties are plain numbers with their own objective.
#include "eng/autodesign/NetworkOptimiser.h"
#include "eng/autodesign/OptimiserNetwork.h"

#include <functional>
#include <vector>

namespace optimiser_test {

using Point = std::vector<double>;

class AnalyticNetwork : public OptimiserNetwork {
public:
    // The objective and feasibility of the duties and shares last written.
    std::function<double(const Point&)> objective = [](const Point&) { return 1.0; };
    std::function<bool(const Point&)> feasibleAt = [](const Point&) { return true; };
    // What the sub-network offers.
    SearchVariables offered;
    int selectResult = 4;
    int subNetworks = 1, unitsPerSubNetwork = 2;
    // Utility exchangers: their duties, and the objective when they move (added to the point's).
    std::vector<double> flaggedDuties;
    std::function<double(const std::vector<double>&)> dutyObjective = [](const std::vector<double>&) { return 0.0; };
    std::function<bool(const std::vector<double>&)> feasibleDuties = [](const std::vector<double>&) { return true; };
    // Feasibility restoring.
    bool infeasible = false, endApproachesOK = true, hasRestoringDuty = true;
    double restoringDuty = 100.0;
    std::function<bool(double)> feasibleDuty = [](double) { return true; };

    std::vector<Point> written, actual;
    std::vector<double> restoringTrials;
    int recalculations = 0, branchDutyCalls = 0, subNetworkSearches = 0;

    void BeginRun(int) override {}
    void EndRun() override {}
    int GetNumberOfSubNetworks() override { return subNetworks; }
    int GetNumberOfUnitsInSubNetwork(int) override { return unitsPerSubNetwork; }
    bool HasInfeasibleExchangers() override { return infeasible; }
    bool CheckEndApproaches() override { return endApproachesOK; }
    void SetSplitFractionsFromBranchDuties() override { ++branchDutyCalls; }
    void Recalculate() override { ++recalculations; }
    bool IsNetworkFeasible() override {
        return !infeasible && feasibleDuties(flaggedDuties) && (actual.empty() || feasibleAt(actual.back()));
    }
    double Objective() override { return (actual.empty() ? 0.0 : objective(actual.back())) + dutyObjective(flaggedDuties); }
    bool PickRestoringDuty(double& duty) override {
        duty = restoringDuty;
        return hasRestoringDuty;
    }
    void SpecifyRestoringDuty(double duty) override {
        restoringTrials.push_back(duty);
        infeasible = !feasibleDuty(duty);
    }
    void BeginSubNetwork(int, bool splits, SearchVariables& v) override {
        ++subNetworkSearches;
        v = SearchVariables();
        if (splits) v.splitterBranches = offered.splitterBranches;
    }
    void EndSubNetwork() override {}
    int SelectFreeExchangers(SearchVariables& v) override {
        if (selectResult == 4) v.freeDuties = offered.freeDuties;
        return selectResult;
    }
    void ReadSplitFractions(SearchVariables& v) override { v.splitFractions = offered.splitFractions; }
    // Records the point, and the duties and shares it stands for.
    void WritePoint(const Point& point, const SearchVariables& v, bool, bool) override {
        written.push_back(point);
        Point values = point;
        for (int j = 0; j < v.DutyCount(); ++j) values[static_cast<std::size_t>(j)] *= v.freeDuties[static_cast<std::size_t>(j)];
        actual.push_back(values);
    }
    int GetNumberOfFlaggedExchangers() override { return static_cast<int>(flaggedDuties.size()); }
    bool IsSearchedUtilityExchanger(int c, double& duty) override {
        duty = flaggedDuties[static_cast<std::size_t>(c)];
        return true;
    }
    void SpecifyFlaggedDuty(int c, double duty) override { flaggedDuties[static_cast<std::size_t>(c)] = duty; }
    bool HasLockedAreaMoved() override { return false; }
};

}  // namespace optimiser_test
