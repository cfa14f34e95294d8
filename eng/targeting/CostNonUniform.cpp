// Capital cost summed per cost model, each model priced by its own law.
#include "eng/targeting/CostNonUniform.h"

#include "brasko/DefaultUtilityTypes.h"
#include "eng/model/IHeatIntegrationScenarioForCosting.h"
#include "eng/targeting/ShellCount.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kUnitsWithPinchDivision = 1;
constexpr int kShellAndTubeArea = 1;
constexpr double kLawCostsShells = 0.0;
constexpr double kLawCostsUnits = 1.0;
// A match without a cost model of its own is priced by the default set.
constexpr const char* kDefaultModel = CostConstants::kDefaultSet;

// `count` items of a + b (area/count)^c; nothing when there is no item or no area to share.
double perItemLaw(double count, double area, double a, double b, double c) {
    if (!(count > 0.0) || !(area > 0.0)) return 0.0;
    return count * b * std::pow(area / count, c) + count * a;
}

}  // namespace

CostLawRecord& NonUniformCapitalCost::RecordOf(IHeatIntegrationScenarioForCosting& costing, const char* model) {
    const std::string key = model ? model : kDefaultModel;
    auto found = m_index.find(key);
    if (found != m_index.end()) return m_records[found->second];

    CostLawRecord record;
    record.strCostModel = key;
    record.dFixedCost = costing.GetEconomicData(EDT_FixedCostPerUnit, key.c_str());
    record.dAreaCost = costing.GetEconomicData(EDT_AreaCostCoefficient, key.c_str());
    record.dAreaExponent = costing.GetEconomicData(EDT_AreaExponent, key.c_str());
    record.dCostLaw = costing.GetEconomicData(EDT_CostLaw, key.c_str());
    m_index.emplace(key, m_records.size());
    m_records.push_back(std::move(record));
    return m_records.back();
}

double NonUniformCapitalCost::Compute(IHeatIntegrationScenarioForCosting& costing, IHeatIntegrationStream*) {
    // Each evaluation starts from empty sums, so one object may be evaluated more than once.
    m_records.clear();
    m_index.clear();

    const double units = costing.GetMinimumNumberOfUnits(kUnitsWithPinchDivision);
    for (const MatchSumsOfModel& sums : costing.GetMatchSumsByCostModel())
        Gather(sums, units, RecordOf(costing, sums.model.c_str()));

    double total = 0.0;
    for (const CostLawRecord& record : m_records) total += Price(costing, record);
    return total;
}

void CapitalCost11NonUniform::Gather(const MatchSumsOfModel& sums, double units, CostLawRecord& record) {
    record.dCountercurrentAreaSum += sums.dCountercurrentArea;
    record.dUnitShare += sums.dMatch * units;
}

double CapitalCost11NonUniform::Price(IHeatIntegrationScenarioForCosting&, const CostLawRecord& record) {
    return perItemLaw(record.dUnitShare, record.dCountercurrentAreaSum, record.dFixedCost, record.dAreaCost,
                      record.dAreaExponent);
}

void CapitalCost12NonUniform::Gather(const MatchSumsOfModel& sums, double units, CostLawRecord& record) {
    record.dFirstValueSum += sums.dFirst;
    record.dShellAndTubeAreaSum += sums.dShellAndTubeArea;
    record.dUnitShare += sums.dMatch * units;
    record.dFourthValueSum += sums.dFourth;
}

double CapitalCost12NonUniform::Price(IHeatIntegrationScenarioForCosting& costing, const CostLawRecord& record) {
    const double area = record.dShellAndTubeAreaSum;
    const double units = record.dUnitShare;
    // The model's share of the shells target, in proportion to its share of the area target.
    // Without an area target there are no shells to share out.
    const double totalArea = costing.GetAreaTarget(kShellAndTubeArea);
    const double shellsTarget = costing.GetNumberOfShellsTarget();
    // A model with area has at least one shell, however the shells target rounded.
    const double share = totalArea > 0.0 ? shell_count::RoundUp(area / totalArea * shellsTarget) : 0.0;
    const double shells = area > 0.0 ? std::max(share, 1.0) : 0.0;
    if (!(area > 0.0) || !(units > 0.0)) return 0.0;

    if (record.dCostLaw == kLawCostsShells) {
        return shells * record.dAreaCost * std::pow(area / shells, record.dAreaExponent) + units * record.dFixedCost;
    }
    if (record.dCostLaw == kLawCostsUnits) {
        return perItemLaw(units, record.dFirstValueSum, record.dFixedCost, record.dAreaCost, record.dAreaExponent);
    }
    return 0.0;
}
