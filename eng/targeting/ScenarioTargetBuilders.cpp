#include "eng/targeting/ScenarioTargetBuilders.h"

#include "eng/model/IHeatIntegrationScenarioForTargeting.h"
#include "eng/model/IHeatIntegrationStreamForTargeting.h"
#include "eng/model/ScenarioServices.h"
#include "eng/targeting/AreaTarget.h"
#include "eng/targeting/CompositeCurves.h"
#include "eng/targeting/CostTargets.h"
#include "eng/targeting/EnergyTarget.h"
#include "eng/targeting/PlacedUtilityStreamAdapter.h"
#include "eng/targeting/UnitsTarget.h"
#include "eng/targeting/UtilityPlacement.h"

#include <vector>

namespace {

IHeatIntegrationScenarioForTargeting* ScenarioOf(IHeatIntegrationScenario& scenario) {
    return dynamic_cast<IHeatIntegrationScenarioForTargeting*>(&scenario);
}

// The scenario's segment pool as the targeting code takes it (empty without a pool).
SegmentRefs PoolOf(const IHeatIntegrationScenarioForTargeting& scenario) {
    SegmentRefs segments;
    if (const CPTypedList<StreamSegment>* pool = scenario.GetSegmentPool()) {
        segments.reserve(pool->Length());
        for (StreamSegment* s : *pool) segments.push_back(s);
    }
    return segments;
}

// The placement's two sides as the curves read them. False while the scenario has no utility
// placement record: the curves then place nothing and leave the balanced curves without points.
bool PlacementSidesOf(const IHeatIntegrationScenarioForTargeting& scenario, UtilityPlacementSide& hot,
                      UtilityPlacementSide& cold) {
    const UtilityPlacement* record = scenario.GetUtilityPlacementRecord();
    const TargetValue* hotSide = record ? record->GetSide(UtilityPlacement::Hot) : nullptr;
    const TargetValue* coldSide = record ? record->GetSide(UtilityPlacement::Cold) : nullptr;
    if (!hotSide || !coldSide) return false;
    hot = UtilityPlacementSide{hotSide->dFirst, hotSide->dSecond, hotSide->nStatus};
    cold = UtilityPlacementSide{coldSide->dFirst, coldSide->dSecond, coldSide->nStatus};
    return true;
}

// The scenario's utility streams in the order of its stream dictionary, as placement sees them.
// The kind is asked before the cast: a large table is nearly all process streams.
std::vector<PlacedUtilityStreamAdapter> UtilityStreamsOf(const IHeatIntegrationScenarioForTargeting& scenario) {
    std::vector<PlacedUtilityStreamAdapter> streams;
    IHeatIntegrationStream* stream = nullptr;
    for (int i = 0; scenario.GetStream(i, stream); ++i) {
        if (!stream || stream->GetStreamKind() != IHeatIntegrationStreamForTargeting::KindUtility) continue;
        if (auto* own = dynamic_cast<IHeatIntegrationStreamForTargeting*>(stream)) streams.emplace_back(*own);
    }
    return streams;
}

}  // namespace

// ---------------------------------------------------------------- the record builders

EnergyTarget* UpdateScenarioEnergyTarget(EnergyTarget* record, IHeatIntegrationScenario& scenario, int code) {
    if (code == EnergyTargetCodes::Free) return UpdateEnergyTarget(record, nullptr, 0.0, code);
    IHeatIntegrationScenarioForTargeting* s = ScenarioOf(scenario);
    if (!s) return record;
    const SegmentRefs segments = PoolOf(*s);
    return UpdateEnergyTarget(record, s->GetSegmentPool() ? &segments : nullptr, s->GetDTmin(), code);
}

namespace {

using CurveUpdate = CompositeCurves* (*)(CompositeCurves*, const CompositeCurvesInputs&, int);

// One of the curve updates over what the curves read of the scenario.
CompositeCurves* UpdateScenarioCurves(CompositeCurves* record, IHeatIntegrationScenario& scenario, int code,
                                      CurveUpdate update) {
    if (code == CompositeCurvesCodes::Free) return update(record, CompositeCurvesInputs{}, code);
    IHeatIntegrationScenarioForTargeting* s = ScenarioOf(scenario);
    if (!s) return record;

    const SegmentRefs segments = PoolOf(*s);
    UtilityPlacementSide hot, cold;
    const bool placed = PlacementSidesOf(*s, hot, cold);
    std::vector<PlacedUtilityStreamAdapter> utilities = UtilityStreamsOf(*s);
    std::vector<IPlacedUtilityStream*> utilityRefs;
    utilityRefs.reserve(utilities.size());
    for (PlacedUtilityStreamAdapter& u : utilities) utilityRefs.push_back(&u);

    CompositeCurvesInputs in;
    in.segments = s->GetSegmentPool() ? &segments : nullptr;
    in.energyTarget = s->GetEnergyTargetRecord();
    in.utilityAssignmentMethod = s->GetUtilityAssignmentMethod();
    in.hotSide = placed ? &hot : nullptr;
    in.coldSide = placed ? &cold : nullptr;
    in.utilityStreams = utilityRefs;
    return update(record, in, code);
}

}  // namespace

CompositeCurves* UpdateScenarioCompositeCurves(CompositeCurves* record, IHeatIntegrationScenario& scenario,
                                               int code) {
    return UpdateScenarioCurves(record, scenario, code, &::UpdateCompositeCurves);
}

// ---------------------------------------------------------------- one call per record, in order

EnergyTarget* ScenarioTargetBuilders::UpdateEnergyTarget(EnergyTarget* record, IHeatIntegrationScenario& scenario,
                                                         int code) {
    return UpdateScenarioEnergyTarget(record, scenario, code);
}

UtilityPlacement* ScenarioTargetBuilders::UpdateUtilityPlacement(UtilityPlacement* record,
                                                                 IHeatIntegrationScenario& scenario, int code) {
    return UpdateScenarioUtilityPlacement(record, scenario, code);
}

UnitsTargetData* ScenarioTargetBuilders::UpdateUnitsTarget(UnitsTargetData* record, IHeatIntegrationScenario& scenario,
                                                           int code) {
    return ::UpdateUnitsTarget(record, scenario, code);
}

CompositeCurves* ScenarioTargetBuilders::UpdateCompositeCurves(CompositeCurves* record,
                                                               IHeatIntegrationScenario& scenario, int code) {
    return UpdateScenarioCompositeCurves(record, scenario, code);
}

AreaTarget* ScenarioTargetBuilders::UpdateAreaTarget(AreaTarget* record, IHeatIntegrationScenario& scenario, int code) {
    return UpdateScenarioAreaTarget(record, scenario, code);
}

CapitalCostTarget* ScenarioTargetBuilders::UpdateCapitalCostTarget(CapitalCostTarget* record,
                                                                   IHeatIntegrationScenario& scenario, int code) {
    return ::UpdateCapitalCostTarget(record, scenario, code);
}

CostTargetValue* ScenarioTargetBuilders::UpdateOperatingCostTarget(CostTargetValue* record,
                                                                   IHeatIntegrationScenario& scenario, int code) {
    return ::UpdateOperatingCostTarget(record, scenario, code);
}

CostTargetValue* ScenarioTargetBuilders::UpdateTotalAnnualCostTarget(CostTargetValue* record,
                                                                     IHeatIntegrationScenario& scenario, int code) {
    return ::UpdateTotalAnnualCostTarget(record, scenario, code);
}

bool ScenarioTargetBuilders::SplitsCurvesAroundArea(const AreaTarget* areaRecord, IHeatIntegrationScenario& scenario,
                                                    int code) {
    if (code == CompositeCurvesCodes::Free || !ScenarioOf(scenario)) return false;
    return !AreaTargetTouchesSegments(areaRecord, scenario.GetNumberOfForbiddenMatches());
}

CompositeCurves* ScenarioTargetBuilders::UpdateAreaCurves(CompositeCurves* record, IHeatIntegrationScenario& scenario,
                                                          int code) {
    return UpdateScenarioCurves(record, scenario, code, &::UpdateAreaCompositeCurves);
}

CompositeCurves* ScenarioTargetBuilders::FinishCurves(CompositeCurves* record, IHeatIntegrationScenario& scenario,
                                                      int code) {
    return UpdateScenarioCurves(record, scenario, code, &::FinishCompositeCurves);
}
