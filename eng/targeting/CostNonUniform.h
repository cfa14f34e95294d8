#pragma once
// Capital cost with a cost law per cost model: every hot/cold match names the economic data set
// (cost model) that prices its exchangers, so the matches are summed per cost model and each sum
// is priced by that model's own law a + b (A/unit)^c.
//
//   CapitalCost11NonUniform  per model: n (a + b (A/n)^c), n the model's share of the units,
//                            A its countercurrent area
//   CapitalCost12NonUniform  per model, with Ar its shell-and-tube area, Ur its share of the
//                            units and Sr = ceil(Ar / A1 x S) its share of the shells target:
//                            law 0 (costs shells)  Sr b (Ar/Sr)^c + Ur a
//                            law 1 (costs units)   Ur b (F/Ur)^c + Ur a, F its first-value sum
//
// A model's share of the units is the sum over its matches of the match value times the minimum
// number of units with the pinch division.
#include "dunmor/CPString.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/targeting/Cost.h"

#include <string>
#include <unordered_map>
#include <vector>

// The sums of one cost model and the law it was priced with.
struct CostLawRecord {
    CPString strCostModel;
    double dFirstValueSum = 0.0;
    double dCountercurrentAreaSum = 0.0;
    double dShellAndTubeAreaSum = 0.0;
    double dUnitShare = 0.0;
    double dFourthValueSum = 0.0;
    // Items 0, 1, 2 and 5 of the model's economic data, read when the record is made.
    double dFixedCost = 0.0;     // a
    double dAreaCost = 0.0;      // b
    double dAreaExponent = 0.0;  // c
    double dCostLaw = 0.0;       // 0 costs shells, 1 costs units
};

class NonUniformCapitalCost : public ICost {
public:
    // The models met in the last evaluation, in the order their first match was met.
    const std::vector<CostLawRecord>& GetCostLawRecords() const { return m_records; }

protected:
    double Compute(IHeatIntegrationScenarioForCosting& costing, IHeatIntegrationStream* stream) override;

    // Adds the sums of a model's matches to its record.
    virtual void Gather(const MatchSumsOfModel& sums, double units, CostLawRecord& record) = 0;
    // The capital cost of one model.
    virtual double Price(IHeatIntegrationScenarioForCosting& costing, const CostLawRecord& record) = 0;

private:
    CostLawRecord& RecordOf(IHeatIntegrationScenarioForCosting& costing, const char* model);

    std::vector<CostLawRecord> m_records;
    std::unordered_map<std::string, std::size_t> m_index;
};

class CapitalCost11NonUniform : public NonUniformCapitalCost {
protected:
    void Gather(const MatchSumsOfModel& sums, double units, CostLawRecord& record) override;
    double Price(IHeatIntegrationScenarioForCosting& costing, const CostLawRecord& record) override;
};

class CapitalCost12NonUniform : public NonUniformCapitalCost {
protected:
    void Gather(const MatchSumsOfModel& sums, double units, CostLawRecord& record) override;
    double Price(IHeatIntegrationScenarioForCosting& costing, const CostLawRecord& record) override;
};
