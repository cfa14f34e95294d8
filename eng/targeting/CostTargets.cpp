// The cost-target builders of a scenario and the records of the operating and total annual cost.
#include "eng/targeting/CostTargets.h"

#include "brasko/DefaultManager.h"
#include "brasko/ILurmetBinaryFile.h"
#include "eng/model/IHeatIntegrationScenarioForCosting.h"
#include "eng/model/IHeatIntegrationScenarioForTargeting.h"
#include "eng/targeting/Cost.h"

#include <algorithm>

namespace {

constexpr int kDefaultCapitalKind = CK_CapitalCost12NonUniform;
constexpr int kEconomicDataSet = 0;
constexpr int kEconomicInfo = 1;

// Common start of every builder: free on code 3, else make sure the record exists. Answers
// whether the builder goes on.
template <typename Record>
bool prepare(Record*& record, int code) {
    if (code == CostTargetCodes::FreeRecords) {
        delete record;
        record = nullptr;
        return false;
    }
    if (!record) record = new Record{};
    return true;
}

double evaluate(int kind, IHeatIntegrationScenarioForCosting& costing) {
    std::unique_ptr<ICost> cost = CreateCost(kind);
    return cost ? cost->Evaluate(costing) : 0.0;
}

IHeatIntegrationScenarioForCosting* costingOf(IHeatIntegrationScenario& scenario) {
    return dynamic_cast<IHeatIntegrationScenarioForCosting*>(&scenario);
}

}  // namespace

int CapitalCostKindForOption(int option, int current) {
    switch (option) {
    case 0: return CK_CapitalCost11NonUniform;
    case 1:
    case 2: return CK_CapitalCost12NonUniform;
    default: return current;
    }
}

CostTargetConditions ReadCostTargetConditions(IHeatIntegrationScenario& scenario) {
    CostTargetConditions conditions;
    conditions.nAreaTargetOption = scenario.GetAreaTargetOption();
    const auto* own = dynamic_cast<const IHeatIntegrationScenarioForTargeting*>(&scenario);
    if (!own) return conditions;
    const DefaultManager& manager = own->GetActiveManager();
    conditions.bEconomicDataValid = manager.isEconomicDataValid(kEconomicDataSet) == 1;
    conditions.bEconomicInfoValid = manager.isEconomicDataValid(kEconomicInfo) == 1;
    conditions.bUtilityPlacementValid = own->IsUtilityPlacementValid();
    const int areaState = scenario.GetAreaTargetState();
    conditions.bAreaTargetUnavailable = areaState != 0 && areaState != 1;
    return conditions;
}

CapitalCostTarget* UpdateCapitalCostTarget(CapitalCostTarget* record, IHeatIntegrationScenarioForCosting* costing,
                                           const CostTargetConditions& conditions, int code) {
    const bool created = !record;
    if (!prepare(record, code)) return nullptr;
    if (created) record->nFlag = kDefaultCapitalKind;
    // A load fraction moves no target: the value stays, only the kind follows the option.
    if (code != CostTargetCodes::LoadFraction) record->dValue = 0.0;
    record->nFlag = CapitalCostKindForOption(conditions.nAreaTargetOption, record->nFlag);
    if (code == CostTargetCodes::LoadFraction) return record;
    if (costing && conditions.bEconomicDataValid && conditions.bUtilityPlacementValid &&
        !conditions.bAreaTargetUnavailable)
        record->dValue = evaluate(record->nFlag, *costing);
    return record;
}

CostTargetValue* UpdateOperatingCostTarget(CostTargetValue* record, IHeatIntegrationScenarioForCosting* costing,
                                           const CostTargetConditions& conditions, int code) {
    if (!prepare(record, code)) return nullptr;
    if (code == CostTargetCodes::LoadFraction) return record;
    record->dValue = 0.0;
    if (costing && conditions.bUtilityPlacementValid) record->dValue = evaluate(CK_OperatingCost, *costing);
    return record;
}

CostTargetValue* UpdateTotalAnnualCostTarget(CostTargetValue* record, IHeatIntegrationScenarioForCosting* costing,
                                             const CostTargetConditions& conditions, int code) {
    if (!prepare(record, code)) return nullptr;
    if (code == CostTargetCodes::LoadFraction) return record;
    record->dValue = 0.0;
    if (!costing || !conditions.bUtilityPlacementValid || conditions.bAreaTargetUnavailable) return record;
    if (conditions.bEconomicDataValid && conditions.bEconomicInfoValid)
        record->dValue = evaluate(CK_TotalAnnualCost, *costing);
    // Whatever the capital side gives, a year of operation costs at least its utilities: the
    // total annual cost is never below the operating cost.
    record->dValue = std::max(record->dValue, evaluate(CK_OperatingCost, *costing));
    return record;
}

CapitalCostTarget* UpdateCapitalCostTarget(CapitalCostTarget* record, IHeatIntegrationScenario& scenario, int code) {
    if (code == CostTargetCodes::FreeRecords) return UpdateCapitalCostTarget(record, nullptr, {}, code);
    return UpdateCapitalCostTarget(record, costingOf(scenario), ReadCostTargetConditions(scenario), code);
}

CostTargetValue* UpdateOperatingCostTarget(CostTargetValue* record, IHeatIntegrationScenario& scenario, int code) {
    if (code == CostTargetCodes::FreeRecords) return UpdateOperatingCostTarget(record, nullptr, {}, code);
    return UpdateOperatingCostTarget(record, costingOf(scenario), ReadCostTargetConditions(scenario), code);
}

CostTargetValue* UpdateTotalAnnualCostTarget(CostTargetValue* record, IHeatIntegrationScenario& scenario, int code) {
    if (code == CostTargetCodes::FreeRecords) return UpdateTotalAnnualCostTarget(record, nullptr, {}, code);
    return UpdateTotalAnnualCostTarget(record, costingOf(scenario), ReadCostTargetConditions(scenario), code);
}

bool StoreCostTarget(const CostTargetValue& record, ILurmetBinaryFile& file) {
    RecordHandle h;
    return file.BeginRecord(h, CostTargetValue::RecordVersion) && file.WriteDouble(record.dValue) &&
           file.EndRecord(h);
}

bool RecallCostTarget(CostTargetValue& record, ILurmetBinaryFile& file) {
    RecordHandle h;
    double value = 0.0;
    if (!file.BeginRecord(h) || !file.ReadDouble(value) || !file.EndRecord(h)) return false;
    record.dValue = value;
    return true;
}
