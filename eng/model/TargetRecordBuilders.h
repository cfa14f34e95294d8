#pragma once
// The eight builders of a scenario's target records, called by the scenario's recalculation in
// one fixed order (later records read earlier ones: the utility placement reads the energy target,
// the costs read the area and units targets). Each takes the record it built before (or null),
// the scenario and the change code, decides from the code what to rebuild and answers the record
// to keep; code 3 frees the record and answers null.
//
// The targeting subsystem provides the real builders; until then the scenario works with
// `NullTargetRecordBuilders`, which builds nothing.
#include "eng/core/ValueAndFlag.h"

class AreaTarget;
class CompositeCurves;
class EnergyTarget;
class IHeatIntegrationScenario;
class UnitsTargetData;
class UtilityPlacement;

// The operating-cost and total-annual-cost targets: one value each (cost per second).
struct CostTargetValue {
    static constexpr int RecordVersion = 1;
    double dValue = 0.0;
};

// The capital-cost target is a value with its cost kind (ValueAndFlag: dValue, nFlag = kind).
using CapitalCostTarget = ValueAndFlag;

class TargetRecordBuilders {
public:
    // The change code that frees every record.
    static constexpr int FreeRecords = 3;

    virtual ~TargetRecordBuilders() = default;

    // In calling order.
    virtual EnergyTarget* UpdateEnergyTarget(EnergyTarget* record, IHeatIntegrationScenario& scenario, int code) = 0;
    virtual UtilityPlacement* UpdateUtilityPlacement(UtilityPlacement* record, IHeatIntegrationScenario& scenario,
                                                     int code) = 0;
    virtual UnitsTargetData* UpdateUnitsTarget(UnitsTargetData* record, IHeatIntegrationScenario& scenario,
                                               int code) = 0;
    virtual CompositeCurves* UpdateCompositeCurves(CompositeCurves* record, IHeatIntegrationScenario& scenario,
                                                   int code) = 0;
    virtual AreaTarget* UpdateAreaTarget(AreaTarget* record, IHeatIntegrationScenario& scenario, int code) = 0;
    virtual CapitalCostTarget* UpdateCapitalCostTarget(CapitalCostTarget* record, IHeatIntegrationScenario& scenario,
                                                       int code) = 0;
    virtual CostTargetValue* UpdateOperatingCostTarget(CostTargetValue* record, IHeatIntegrationScenario& scenario,
                                                       int code) = 0;
    virtual CostTargetValue* UpdateTotalAnnualCostTarget(CostTargetValue* record,
                                                         IHeatIntegrationScenario& scenario, int code) = 0;

    // Whether this recalculation builds the curves in two steps around the area target (given
    // its record as it stands before the update): UpdateAreaCurves in the curves' place, then
    // FinishCurves right after the area target, together the same as UpdateCompositeCurves.
    // The default keeps the one step.
    virtual bool SplitsCurvesAroundArea(const AreaTarget* /*areaRecord*/, IHeatIntegrationScenario& /*scenario*/,
                                        int /*code*/) {
        return false;
    }
    virtual CompositeCurves* UpdateAreaCurves(CompositeCurves* record, IHeatIntegrationScenario& scenario, int code) {
        return UpdateCompositeCurves(record, scenario, code);
    }
    virtual CompositeCurves* FinishCurves(CompositeCurves* record, IHeatIntegrationScenario& /*scenario*/,
                                          int /*code*/) {
        return record;
    }
};

// Frees a utility placement record (eng/targeting/UtilityPlacement.cpp). The scenario itself makes
// the record when a utility assignment method is chosen before any was built.
void DeleteUtilityPlacement(UtilityPlacement* record);
// Free the other records (each defined with its record in eng/targeting). A scenario read from a
// case file holds records that no builder made.
void DeleteEnergyTarget(EnergyTarget* record);
void DeleteUnitsTarget(UnitsTargetData* record);
void DeleteCompositeCurves(CompositeCurves* record);
void DeleteAreaTarget(AreaTarget* record);

// Builds no record. On code 3 it frees whatever records reach it: those the scenario made itself
// (the utility placement), those a case file brought, and the value records of its test doubles.
class NullTargetRecordBuilders : public TargetRecordBuilders {
public:
    EnergyTarget* UpdateEnergyTarget(EnergyTarget* record, IHeatIntegrationScenario&, int code) override {
        if (code != FreeRecords) return record;
        DeleteEnergyTarget(record);
        return nullptr;
    }
    UtilityPlacement* UpdateUtilityPlacement(UtilityPlacement* record, IHeatIntegrationScenario&, int code) override {
        if (code != FreeRecords) return record;
        DeleteUtilityPlacement(record);
        return nullptr;
    }
    UnitsTargetData* UpdateUnitsTarget(UnitsTargetData* record, IHeatIntegrationScenario&, int code) override {
        if (code != FreeRecords) return record;
        DeleteUnitsTarget(record);
        return nullptr;
    }
    CompositeCurves* UpdateCompositeCurves(CompositeCurves* record, IHeatIntegrationScenario&, int code) override {
        if (code != FreeRecords) return record;
        DeleteCompositeCurves(record);
        return nullptr;
    }
    AreaTarget* UpdateAreaTarget(AreaTarget* record, IHeatIntegrationScenario&, int code) override {
        if (code != FreeRecords) return record;
        DeleteAreaTarget(record);
        return nullptr;
    }
    CapitalCostTarget* UpdateCapitalCostTarget(CapitalCostTarget* record, IHeatIntegrationScenario&,
                                               int code) override {
        if (code != FreeRecords) return record;
        delete record;
        return nullptr;
    }
    CostTargetValue* UpdateOperatingCostTarget(CostTargetValue* record, IHeatIntegrationScenario&, int code) override {
        if (code != FreeRecords) return record;
        delete record;
        return nullptr;
    }
    CostTargetValue* UpdateTotalAnnualCostTarget(CostTargetValue* record, IHeatIntegrationScenario&,
                                                 int code) override {
        if (code != FreeRecords) return record;
        delete record;
        return nullptr;
    }
};
