#pragma once
// The production builders of a scenario's target records: what a project made by the
// engineering manager hands to every scenario it creates (DefaultScenarioServices, declared in
// eng/model/ScenarioServices.h).
//
// Each builder is one call into the targeting code that owns its record; a builder whose record
// is not built yet behaves as NullTargetRecordBuilders. The builders read the scenario through
// IHeatIntegrationScenarioForTargeting (its segment pool, records and streams); any other gets every
// record back unchanged, except that code 3 still frees what a builder made.
#include "eng/model/TargetRecordBuilders.h"

class CompositeCurves;
class EnergyTarget;
class IHeatIntegrationScenario;

class ScenarioTargetBuilders : public TargetRecordBuilders {
public:
    EnergyTarget* UpdateEnergyTarget(EnergyTarget* record, IHeatIntegrationScenario& scenario, int code) override;
    UtilityPlacement* UpdateUtilityPlacement(UtilityPlacement* record, IHeatIntegrationScenario& scenario,
                                             int code) override;
    UnitsTargetData* UpdateUnitsTarget(UnitsTargetData* record, IHeatIntegrationScenario& scenario,
                                       int code) override;
    CompositeCurves* UpdateCompositeCurves(CompositeCurves* record, IHeatIntegrationScenario& scenario,
                                           int code) override;
    AreaTarget* UpdateAreaTarget(AreaTarget* record, IHeatIntegrationScenario& scenario, int code) override;
    CapitalCostTarget* UpdateCapitalCostTarget(CapitalCostTarget* record, IHeatIntegrationScenario& scenario,
                                               int code) override;
    CostTargetValue* UpdateOperatingCostTarget(CostTargetValue* record, IHeatIntegrationScenario& scenario,
                                               int code) override;
    CostTargetValue* UpdateTotalAnnualCostTarget(CostTargetValue* record, IHeatIntegrationScenario& scenario,
                                                 int code) override;
    // With the Bath area (which reads only the balanced curves and writes nothing into the
    // segments) the other curves are built after the area target. The area LP lays interval
    // lists over the segments themselves, leaving its interval numbers in them as the case file
    // keeps them, so with it (or a result of it still held) the curves keep their one step.
    bool SplitsCurvesAroundArea(const AreaTarget* areaRecord, IHeatIntegrationScenario& scenario, int code) override;
    CompositeCurves* UpdateAreaCurves(CompositeCurves* record, IHeatIntegrationScenario& scenario, int code) override;
    CompositeCurves* FinishCurves(CompositeCurves* record, IHeatIntegrationScenario& scenario, int code) override;
};

// The energy target of a scenario: built over the scenario's segment pool at its DTmin on the
// codes UpdateEnergyTarget(record, segments, dtMin, code) rebuilds on; unchanged without a pool.
EnergyTarget* UpdateScenarioEnergyTarget(EnergyTarget* record, IHeatIntegrationScenario& scenario, int code);

// The five target curves of a scenario: over its segment pool, its energy target (built first in
// the same recalculation), its utility assignment method and placement, and its utility streams.
CompositeCurves* UpdateScenarioCompositeCurves(CompositeCurves* record, IHeatIntegrationScenario& scenario,
                                               int code);
