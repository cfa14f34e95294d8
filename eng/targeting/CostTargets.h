#pragma once
// The capital-, operating- and total-annual-cost target records of a scenario, rebuilt last in
// the scenario's recalculation (after the area and units targets they are computed from, and in
// this order, so that the total annual cost reads the capital and operating values just made).
//
// Each builder takes the record it made before (or null), the scenario and the change code, and
// answers the record to keep:
//   code 3   frees the record, answers null;
//   code 16  (a stream's load fraction) creates a missing record and, for the capital target,
//            follows the area-target option, but keeps the values as they are;
//   others   create the record or reset its value to 0.0, and compute it when the economic data
//            and the utility placement allow.
#include "eng/model/TargetRecordBuilders.h"

class IHeatIntegrationScenario;
class IHeatIntegrationScenarioForCosting;
class ILurmetBinaryFile;

namespace CostTargetCodes {
constexpr int FreeRecords = 3;
constexpr int LoadFraction = 16;
}  // namespace CostTargetCodes

// What decides whether a cost target can be computed, as read from a scenario.
struct CostTargetConditions {
    // The scenario's area-target option: 1 or 2 prices shells (kind 3), 0 units (kind 2).
    int nAreaTargetOption = -1;
    // The economic-data manager holds the set "DEFAULT" / the economic info.
    bool bEconomicDataValid = false;
    bool bEconomicInfoValid = false;
    // The utility placement record exists and both sides are settled.
    bool bUtilityPlacementValid = false;
    // The area target was computed but is no result (no positive driving force, or the area LP
    // could not exchange the loads): the costs that rest on it are none either.
    bool bAreaTargetUnavailable = false;
};

// The cost kind the capital target takes under an area-target option (`current` for an option
// outside 0 to 2). The area target asks for it before the capital record follows a new option,
// so both read it from the option itself.
int CapitalCostKindForOption(int option, int current);

// Reads the conditions from a scenario. A scenario that does not offer its targeting state
// (IHeatIntegrationScenarioForTargeting) has none of them.
CostTargetConditions ReadCostTargetConditions(IHeatIntegrationScenario& scenario);

// The builders as the scenario's recalculation calls them: the costs are evaluated on the
// scenario's own IHeatIntegrationScenarioForCosting.
CapitalCostTarget* UpdateCapitalCostTarget(CapitalCostTarget* record, IHeatIntegrationScenario& scenario, int code);
CostTargetValue* UpdateOperatingCostTarget(CostTargetValue* record, IHeatIntegrationScenario& scenario, int code);
CostTargetValue* UpdateTotalAnnualCostTarget(CostTargetValue* record, IHeatIntegrationScenario& scenario, int code);

// The same with the conditions and the costing object given; `costing` may be null (nothing is
// computed then).
CapitalCostTarget* UpdateCapitalCostTarget(CapitalCostTarget* record, IHeatIntegrationScenarioForCosting* costing,
                                           const CostTargetConditions& conditions, int code);
CostTargetValue* UpdateOperatingCostTarget(CostTargetValue* record, IHeatIntegrationScenarioForCosting* costing,
                                           const CostTargetConditions& conditions, int code);
CostTargetValue* UpdateTotalAnnualCostTarget(CostTargetValue* record, IHeatIntegrationScenarioForCosting* costing,
                                             const CostTargetConditions& conditions, int code);

// The operating- and total-annual-cost records in the case file: one record (version 1) holding
// the value. The capital record is a ValueAndFlag (value, cost kind) and stores itself.
bool StoreCostTarget(const CostTargetValue& record, ILurmetBinaryFile& file);
// On failure the record keeps its value.
bool RecallCostTarget(CostTargetValue& record, ILurmetBinaryFile& file);
