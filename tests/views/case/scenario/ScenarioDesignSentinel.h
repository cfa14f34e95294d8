#pragma once
// Designs whose every read answers a number that tells the design and the operation apart, and a
// sentinel scenario that holds them, so a test sees which design and which call a form variable
// of the design and retrofit pages reached.
//
// Design d (id i, b = 100 i) answers: total area b + 1, added area b + 2, shells b + 3, capital
// cost b + 4, annualised capital b + 5, calculated capital b + 6, utility load of side s
// b + 10 + s, utility cost of side s b + 20 + s, used load of utility k (HU 3, CU 4) b + 30 + k,
// its cost b + 40 + k, its load b + 50 + k; payback i years; port temperature p 9000 + p.
// Exchanger k of design i, named as given, holds 1000 i + 100 k plus: "ExShell" 1, "AdShell" 2,
// "TotalNShells" 3, "ExArea" 4, "HTArea" 5, "AddArea" 6, "AddCapCost" 7, "Duty" 8,
// "CapitalCost" 9, "OverallHTC" 10, "LMTD" 11, "MaxSpareArea" 12; "AreaMinimum" 1 on exchanger 0.
#include "pellin/CNode.h"
#include "tests/eng/model/ScenarioTestDoubles.h"
#include "tests/views/case/scenario/ScenarioSentinel.h"

#include <memory>
#include <string>
#include <vector>

class SentinelExchanger : public CNode {
public:
    SentinelExchanger(const char* name, double base, bool areaMinimum) : CNode(name, "htHeatExchanger") {
        const char* names[] = {"ExShell", "AdShell", "TotalNShells", "ExArea", "HTArea", "AddArea",
                               "AddCapCost", "Duty", "CapitalCost", "OverallHTC", "LMTD", "MaxSpareArea"};
        for (int k = 0; k < 12; ++k) addVariable(names[k], base + k + 1, 1);
        addVariable("AreaMinimum", areaMinimum ? 1.0 : 0.0, 1);
    }

protected:
    std::unique_ptr<CNode> makeEmptyCopy() const override { return std::make_unique<SentinelExchanger>("", 0.0, false); }
};

class SentinelDesign : public scenario_test::FakeDesign {
public:
    SentinelDesign(const char* name, int id, std::vector<const char*> exchangers)
        : FakeDesign(name), id(id), area(100.0 * id + 1), allUtilityCost(100.0 * id + 22) {
        for (std::size_t k = 0; k < exchangers.size(); ++k)
            units.push_back(std::make_unique<SentinelExchanger>(exchangers[k], 1000.0 * id + 100.0 * k, k == 0));
    }
    double b() const { return 100.0 * id; }
    static int utilityId(const CPString& name) { return name == "HU" ? 3 : name == "CU" ? 4 : 0; }

    bool GetHeatExchanger(int i, CNode*& out) const override {
        if (i < 0 || i >= static_cast<int>(units.size())) return false;
        out = units[static_cast<std::size_t>(i)].get();
        return true;
    }
    int GetNumberOfHeatExchangers() const override { return static_cast<int>(units.size()); }
    double GetTotalArea() const override { return area; }
    double GetTotalAddedArea() const override { return b() + 2; }
    int GetTotalNumberOfShells() const override { return static_cast<int>(b()) + 3; }
    double GetTotalCapitalCost() const override { return b() + 4; }
    double GetTotalAnnualizedCapitalCost() const override { return b() + 5; }
    double CalculateCapitalCost() override { return b() + 6; }
    double GetTotalUtilityLoad(int side) const override { return b() + 10 + side; }
    double GetTotalUtilityCost(int side) const override { return side == 2 ? allUtilityCost : b() + 20 + side; }
    double GetUsedUtilityLoad(IHeatIntegrationStream* s) const override { return s ? b() + 30 + utilityId(s->GetName()) : 0.0; }
    double GetUtilityCost(const CPString& name) const override { return b() + 40 + utilityId(name); }
    double GetUtilityLoad(const CPString& name) const override { return b() + 50 + utilityId(name); }
    double GetPaybackTime() const override { return id * 31536000.0; }
    bool GetOperationLocked() const override { return locked; }
    bool GetExchangerPortTemperature(CNode*, int port, double& out) const override { return out = 9000 + port, true; }

    int id;
    double area, allUtilityCost;  // b + 1 and b + 22 unless a test sets them
    bool locked = false;
    std::vector<std::unique_ptr<CNode>> units;
};

// The sentinel scenario with designs: the ranked list and the list of every design hold `ranked`
// (GetNumberOfDesigns says `designs`), the retrofit base is `existing` under "Existing" and the
// simulation base case `simulation` under "SimulationBaseCase"; only the simulation base case
// can be retrofitted (code 3).
class DesignScenario : public SentinelScenario {
public:
    using SentinelScenario::SentinelScenario;
    std::vector<IHENDesign*> ranked;
    IHENDesign* simulation = nullptr;
    int minimumUnits = -1;  // the minimum number of units, when given

    int GetMinimumNumberOfUnits(int kind) const override {
        return minimumUnits >= 0 ? minimumUnits : SentinelScenario::GetMinimumNumberOfUnits(kind);
    }

    bool GetDesign(int index, IHENDesign*& out, int) const override {
        if (index < 0 || index >= static_cast<int>(ranked.size())) return false;
        return out = ranked[static_cast<std::size_t>(index)], true;
    }
    const char* GetDesignName(int index) const override {
        return index >= 0 && index < static_cast<int>(ranked.size()) ? ranked[static_cast<std::size_t>(index)]->GetDesignName()
                                                                      : nullptr;
    }
    bool GetDesign(const CPString& name, IHENDesign*& out) const override {
        if (simulation && name == "SimulationBaseCase") return out = simulation, true;
        for (IHENDesign* d : ranked)
            if (name == d->GetDesignName()) return out = d, true;
        return SentinelScenario::GetDesign(name, out);
    }
    bool GetRetrofitBaseDesign(IHENDesign*& out) const override {
        out = existing;
        return existing != nullptr;
    }
    int CheckRetrofitDesign(IHENDesign* d) override { return d && d == simulation ? 3 : 11; }
};
