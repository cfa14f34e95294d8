#pragma once
// Test doubles for the cost functions: a costing object with targets, economic data sets and
// per-match values set by hand, and a stream that answers only its kind, heat load and cost index.
#include "brasko/NotificationSender.h"
#include "eng/model/IHeatIntegrationScenarioForCosting.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "tests/support/NeutralStream.h"

#include <map>
#include <string>
#include <vector>

namespace costtest {

class CostStream : public NeutralStream {
public:
    CostStream(const char* name, int kind, double load, double costIndex)
        : name(name), kind(kind), load(load), costIndex(costIndex) {}

    int GetStreamKind() const override { return kind; }
    double GetHeatLoad(int mode) override {
        modesAsked.push_back(mode);
        return load;
    }
    double GetCostIndex() const override { return costIndex; }
    const CPString& GetName() const override { return name; }

    void SetCostIndex(double c) override { costIndex = c; }
    void SetHeatLoad(double l, int) override { load = l; }

    CPString name;
    int kind;
    double load;
    double costIndex;
    std::vector<int> modesAsked;
};

// One hot/cold match as the costing object reports it.
struct Match {
    std::string model;
    double firstValue = 0.0;
    double countercurrentArea = 0.0;
    double shellAndTubeArea = 0.0;
    double matchValue = 0.0;
    double fourthValue = 0.0;
};

// Economic data by set name (items 0, 1, 2, 5) and the shared info (items 3, 4, 6).
class FakeCosting : public IHeatIntegrationScenarioForCosting {
public:
    FakeCosting() { SetLaw("DEFAULT", 1000.0, 500.0, 1.0, 0.0); }

    void SetLaw(const std::string& set, double a, double b, double c, double law) {
        sets[set] = {a, b, c, law};
    }

    bool GetStream(const CPString& name, IHeatIntegrationStream*& out) const override {
        for (IHeatIntegrationStream* s : streams)
            if (s->GetName() == name) {
                out = s;
                return true;
            }
        return false;
    }
    bool GetStream(int index, IHeatIntegrationStream*& out) const override {
        if (index < 0 || index >= static_cast<int>(streams.size())) return false;
        out = streams[static_cast<std::size_t>(index)];
        return true;
    }
    const char* GetMatchCostModelNameAt(int index) override {
        return valid(index) ? matches[static_cast<std::size_t>(index)].model.c_str() : nullptr;
    }
    double GetAreaTarget(int kind) const override {
        return kind == 0 ? countercurrentArea : (kind == 1 ? shellAndTubeArea : 0.0);
    }
    double GetEconomicData(int type, const char* setName) const override {
        ++economicReads[setName ? setName : ""];
        switch (type) {
        case 3: return rate;
        case 4: return life;
        case 6: return hours;
        default: break;
        }
        auto it = sets.find(setName ? setName : "DEFAULT");
        if (it == sets.end()) return 0.0;
        switch (type) {
        case 0: return it->second[0];
        case 1: return it->second[1];
        case 2: return it->second[2];
        case 5: return it->second[3];
        default: return 0.0;
        }
    }
    double GetMatchFirstValue(int i) const override { return valid(i) ? at(i).firstValue : -1.0; }
    double GetMatchCountercurrentArea(int i) const override { return valid(i) ? at(i).countercurrentArea : -1.0; }
    double GetMatchShellAndTubeArea(int i) const override { return valid(i) ? at(i).shellAndTubeArea : -1.0; }
    double GetMatchValue(int i) const override { return valid(i) ? at(i).matchValue : -1.0; }
    double GetMatchFourthValue(int i) const override { return valid(i) ? at(i).fourthValue : -1.0; }
    double GetCostTarget(int code) const override { return code == 7 ? capital : (code == 4 ? operating : 0.0); }
    int GetMinimumNumberOfUnits(int kind) const override { return kind == 1 ? units : 0; }
    int GetNumberOfShellsTarget() const override { return shells; }
    int GetNumberOfMatches() const override { return static_cast<int>(matches.size()); }

    std::vector<IHeatIntegrationStream*> streams;
    std::vector<Match> matches;
    std::map<std::string, std::vector<double>> sets;
    mutable std::map<std::string, int> economicReads;
    double countercurrentArea = 0.0, shellAndTubeArea = 0.0;
    double capital = 0.0, operating = 0.0;
    double rate = 0.1, life = 5.0, hours = 8765.76;
    int units = 0, shells = 0;

private:
    bool valid(int i) const { return i >= 0 && i < static_cast<int>(matches.size()); }
    const Match& at(int i) const { return matches[static_cast<std::size_t>(i)]; }
};

}  // namespace costtest
