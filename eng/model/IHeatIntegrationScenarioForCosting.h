#pragma once
// What the cost functions evaluate: the scenario itself, or a point of the capital/utility
// trade-off, so that one set of cost formulas serves both. Match values are read from the
// per-match records by index (-1.0 when there is none).
#include "dunmor/CPString.h"
#include "eng/model/MatchwiseStreamData.h"

#include <algorithm>
#include <string>
#include <vector>

class IHeatIntegrationStream;

class IHeatIntegrationScenarioForCosting {
public:
    virtual ~IHeatIntegrationScenarioForCosting() = default;

    virtual bool GetStream(const CPString& name, IHeatIntegrationStream*& out) const = 0;
    virtual bool GetStream(int index, IHeatIntegrationStream*& out) const = 0;
    virtual const char* GetMatchCostModelNameAt(int index) = 0;
    virtual double GetAreaTarget(int kind) const = 0;
    virtual double GetEconomicData(int type, const char* setName) const = 0;
    virtual double GetMatchFirstValue(int index) const = 0;
    virtual double GetMatchCountercurrentArea(int index) const = 0;
    virtual double GetMatchShellAndTubeArea(int index) const = 0;
    virtual double GetMatchValue(int index) const = 0;
    virtual double GetMatchFourthValue(int index) const = 0;
    virtual double GetCostTarget(int code) const = 0;
    virtual int GetMinimumNumberOfUnits(int kind) const = 0;
    virtual int GetNumberOfShellsTarget() const = 0;
    virtual int GetNumberOfMatches() const = 0;

    // The match values summed per cost model, the models in the order their first match is met
    // (what reading the matches one by one gives; a scenario sums them without doing so).
    virtual std::vector<MatchSumsOfModel> GetMatchSumsByCostModel() {
        std::vector<MatchSumsOfModel> sums;
        for (int m = 0; m < GetNumberOfMatches(); ++m) {
            const char* name = GetMatchCostModelNameAt(m);
            const std::string model = name ? name : MatchwiseStreamData::kDefaultCostModel;
            auto group = std::find_if(sums.begin(), sums.end(), [&](const MatchSumsOfModel& g) { return g.model == model; });
            if (group == sums.end()) group = sums.insert(sums.end(), MatchSumsOfModel{model, 0.0, 0.0, 0.0, 0.0, 0.0});
            group->dFirst += GetMatchFirstValue(m);
            group->dCountercurrentArea += GetMatchCountercurrentArea(m);
            group->dShellAndTubeArea += GetMatchShellAndTubeArea(m);
            group->dFourth += GetMatchFourthValue(m);
            group->dMatch += GetMatchValue(m);
        }
        return sums;
    }
};
