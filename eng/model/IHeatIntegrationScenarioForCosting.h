#pragma once
// What the cost functions evaluate: the scenario itself, or a point of the capital/utility
// trade-off, so that one set of cost formulas serves both. Match values are read from the
// per-match records by index (-1.0 when there is none).
#include "dunmor/CPString.h"

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
};
