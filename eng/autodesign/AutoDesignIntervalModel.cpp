// The temperature intervals of an automatic design, the data of each pair of a hot and a cold
// interval, and the columns of the interval model with their costs.
//
// Scale: a column is a (hot segment, hot interval, cold segment, cold interval) with the cold
// interval at or below the hot one, so the model holds up to
// segments_hot x segments_cold x intervals^2 / 2 columns. That is the transportation model itself:
// any pair of segments may exchange heat between any two of their intervals, and the LP must see
// each such choice to price its area. Everything around the columns (pair data, indexes, rows) is
// linear in the number of columns; pair data are made only for interval pairs that have a column.
#include "eng/autodesign/AdvancedSuperTarget.h"

#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/MatchwiseStreamData.h"
#include "lumeth/MessageKey.h"
#include "pellin/FFactor.h"

#include <algorithm>
#include <cmath>

namespace {
std::uint64_t PairDataKey(int i, int j) {
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(i)) |
           (static_cast<std::uint64_t>(static_cast<std::uint32_t>(j)) << 32);
}
}  // namespace

void AdvancedSuperTarget::BuildTemperatureIntervals() {
    m_intervalPairs.clear();
    if (!intervalList) intervalList = std::make_unique<TIList>(5);
    std::vector<StreamSegment*> refs;
    refs.reserve(segments.size());
    for (auto& s : segments) refs.push_back(s.get());
    intervalList->Build(refs);
    intervalList->Subdivide(kMinimumStep, kStepFactor);
    intervalCount = std::max(0, intervalList->GetNumberOfBoundaries() - 1);
    m_spanFirst.assign(segments.size(), -1);
    m_spanLast.assign(segments.size(), -2);
    for (const IntervalSpan& span : intervalList->GetSpans()) {
        auto found = m_segmentIndex.find(span.pSegment);
        if (found == m_segmentIndex.end()) continue;
        m_spanFirst[static_cast<std::size_t>(found->second)] = span.nFirst;
        m_spanLast[static_cast<std::size_t>(found->second)] = span.nLast;
    }
}

const IntervalPairData& AdvancedSuperTarget::AddIntervalPairData(double ti, double tj, double ti1, double tj1, int i,
                                                                 int j) {
    IntervalPairData d;
    // End approaches of the pair in actual temperatures: the shifted difference plus both shifts.
    const double a = (ti1 - tj1) + kModelContribution;
    const double b = (ti - tj) + kModelContribution;
    d.meanTemperatureDifference = MeanTemperatureDifference(a, b);
    double F = 1.0, shells = 1.0;
    g_CalculateFFactorAndShells(ti1 + kModelShift, ti + kModelShift, tj1 - kModelShift, tj - kModelShift, kPairMinimumF,
                                F, shells, 0, 0);
    d.fFactor = F;
    d.shells = shells;
    d.areaPerLoad = 1.0 / (d.meanTemperatureDifference * d.fFactor);
    return m_intervalPairs.insert_or_assign(PairDataKey(i, j), d).first->second;
}

const IntervalPairData* AdvancedSuperTarget::FindIntervalPairData(int i, int j) const {
    auto found = m_intervalPairs.find(PairDataKey(i, j));
    return found == m_intervalPairs.end() ? nullptr : &found->second;
}

// Every record of the scenario: the pairs are at most hot streams x cold streams, fewer than the
// columns that could join them.
void AdvancedSuperTarget::UpdateMatchCostCoefficients(int mode) {
    if (!matchData) return;
    const int n = matchData->GetNumberOfMatches();
    double X = 0.0;
    for (int k = 0; k < n; ++k) {
        MatchwiseStreamData* r = matchData->GetMatch(k);
        if (!r) continue;
        const CPString model = r->GetCostModelName();
        const double c = scenario.GetEconomicData(1, model.c_str());
        double coefficient = c * annualisationFactor;
        if (mode >= 2) {
            const double e = scenario.GetEconomicData(2, model.c_str());
            const int basis = CostBasisOf(model);
            if (basis == 0) X = r->dCountercurrentArea;
            else if (basis == 1) X = r->dTolerance[0];
            double point = X > 1e-8 ? X : referenceArea;
            // No area at all (nothing was exchanged): the law is taken at 1 m2 rather than at 0,
            // where a falling cost per m2 would be infinite.
            if (!(point > 1e-8)) point = 1.0;
            coefficient = std::pow(point, e - 1.0) * c * annualisationFactor;
        }
        r->dFactor = coefficient;
    }
}

void AdvancedSuperTarget::FillMatchColumn(MatchColumn& column, StreamSegment* hot, StreamSegment* cold, int i, int j) {
    column.hotSegment = hot;
    column.coldSegment = cold;
    column.match = nullptr;
    column.hotIntervalIndex = i;
    column.coldIntervalIndex = j;
    int allowed = 1;
    if (designToComplete) {
        auto found = existingMatches.find(PairKey(hot->pStream->GetName(), cold->pStream->GetName()));
        if (found != existingMatches.end()) allowed = found->second;
    }
    if (!smallLoadStreams.empty()) {
        if (IsSmallLoadStream(hot->pStream)) {
            if (cold->pStream->GetStreamKind() != 1) allowed = 0;
        } else if (IsSmallLoadStream(cold->pStream)) {
            if (hot->pStream->GetStreamKind() != 1) allowed = 0;
        }
    }
    // A pair the user forbade to match carries no heat in any of the models: left in the LP it would
    // be loaded there and then priced out of the MILP at a cost no solver can take.
    if (hot->pStream->IsLinkedTo(cold->pStream->GetName())) allowed = 0;
    if (!allowed) {
        column.fFactor = 1.0;
        column.value = 0.0;
        column.cost = kForbiddenCost;
        return;
    }
    const IntervalPairData* pair = FindIntervalPairData(i, j);
    if (!pair)
        pair = &AddIntervalPairData(intervalList->GetTemperature(i), intervalList->GetTemperature(j),
                                    intervalList->GetTemperature(i + 1), intervalList->GetTemperature(j + 1), i, j);
    column.fFactor = pair->fFactor;
    column.cost = pair->areaPerLoad;
    column.value = 0.0;
}

void AdvancedSuperTarget::ApplyMatchCost(MatchColumn& column) {
    const double hours = scenario.GetEconomicData(6, "DEFAULT");
    IHeatIntegrationStream* hot = column.hotSegment->pStream;
    IHeatIntegrationStream* cold = column.coldSegment->pStream;
    MatchwiseStreamData* match = matchData ? matchData->FindMatch(hot, cold) : nullptr;
    column.match = match;
    double K = 0.0;
    int basis = 0;
    if (match) {
        const CPString model = match->GetCostModelName();
        basis = CostBasisOf(model);
        K = match->dFactor;
    } else {
        // A pair without a record is priced by the default cost model's linear coefficient.
        basis = CostBasisOf("DEFAULT");
        K = scenario.GetEconomicData(1, "DEFAULT") * annualisationFactor;
    }
    double capital = 0.0;
    if (basis == 0)
        capital = K * column.cost *
                  (1.0 / column.hotSegment->dFilmCoefficient + 1.0 / column.coldSegment->dFilmCoefficient);
    else if (basis == 1)
        capital = K;
    column.cost = capital + (hot->GetCostIndex() + cold->GetCostIndex()) * hours * 3600.0;
}

void AdvancedSuperTarget::SetColumnCosts() {
    Progress(MessageKey("RefiningLinearModel"));
    for (std::size_t k = 0; k < columns.size(); ++k) {
        MatchColumn& c = columns[k];
        if (c.hotSegment->nKind == 2 && c.coldSegment->nKind == 2) {
            if (c.hotSegment->pStream->IsLinkedTo(c.coldSegment->pStream->GetName())) c.cost = 1e24;
        } else {
            const IntervalPairData* pair = FindIntervalPairData(c.hotIntervalIndex, c.coldIntervalIndex);
            if (pair) c.cost = 1.0 / (pair->meanTemperatureDifference * c.fFactor);
            ApplyMatchCost(c);
        }
        if (k < lpProblem->objective.size()) lpProblem->objective[k] = c.cost;
    }
}
