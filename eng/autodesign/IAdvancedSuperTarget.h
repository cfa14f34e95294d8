#pragma once
// The automatic network design of a scenario as the scenario sees it: it is created on first use,
// run with the scenario's streams and economics, and read back through the scenario's result
// queries.
#include "dunmor/CPString.h"

class CPDictionary;
class EconomicData;
class EconomicInfo;
class IHENDesign;
class MatchwiseStreamDataList;

class IAdvancedSuperTarget {
public:
    virtual ~IAdvancedSuperTarget() = default;

    virtual void SetMode(int mode) = 0;
    virtual int GetMode() const = 0;
    virtual void ToggleFlag() = 0;
    virtual int GetFlag() const = 0;
    // The longest each mixed-integer solve of a run may take, in seconds; 0 restores the run's own
    // limits, and a limit above them leaves them as they are.
    virtual void SetTimeLimit(double seconds) = 0;
    virtual double GetTimeLimit() const = 0;

    // Sets up and solves a run; old results are dropped before the new ones are made.
    virtual int Run(CPDictionary* streams, void* argument, EconomicData* economicData, EconomicInfo* economicInfo,
                    MatchwiseStreamDataList* matches, double dTmin, IHENDesign* design, int designsWanted) = 0;

    // Results; null, 0 or 0.0 when there are none.
    virtual const char* GetMessageKey() const = 0;
    virtual double GetResultA() const = 0;
    virtual double GetResultB() const = 0;
    virtual int GetNumberOfSummedValues() const = 0;
    virtual double GetSummedValue(int index) const = 0;
    virtual int GetNumberOfNamedEntries() const = 0;
    virtual const char* GetNamedEntry(int index) const = 0;
    // Loaded matches carry a load above 1e-8; the unloaded ones at most 1e-8.
    virtual int GetNumberOfLoadedMatches() const = 0;
    virtual double GetLoadedMatchLoad(int index) const = 0;
    // side 0 hot, 1 cold stream name.
    virtual const char* GetLoadedMatchStreamName(int index, int side) const = 0;
    virtual int GetNumberOfUnloadedMatches() const = 0;
    virtual const char* GetUnloadedMatchStreamName(int index, int side) const = 0;
    // The objective the last solve of the run reached (the LP's, then each MILP's): the model's
    // annual cost of its matches, their area and the energy its streams carry; 0.0 before any.
    virtual double GetObjectiveValue() const { return 0.0; }
    // How the last MILP's search ended, when it ended at its time limit before it proved its gap
    // (its set of matches is then the best it found, or it found none); empty otherwise.
    virtual const char* GetSearchNote() const { return ""; }
    // The other solves of the run that stopped at the time limit (the linear model, the network
    // structure searches), each named; empty when none did.
    virtual const char* GetLimitNote() const { return ""; }
};

class IHeatIntegrationScenario;

// Makes the automatic-design objects of a scenario.
class IAdvancedSuperTargetFactory {
public:
    virtual ~IAdvancedSuperTargetFactory() = default;
    virtual IAdvancedSuperTarget* Create(IHeatIntegrationScenario& owner) = 0;
};
