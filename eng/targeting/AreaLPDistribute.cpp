// From the area LP's solution to areas: the heat of every interval is laid out along the
// interval's temperature range, which gives each flowing column real end temperatures; the area
// (and shells) of each column follow from those and are added to the totals and to the match
// record of its two streams.
#include "eng/targeting/AreaLP.h"

#include "dunmor/Exceptions.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/targeting/BathAreaTarget.h"
#include "pellin/FFactor.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <utility>

namespace {

constexpr double kFlowTolerance = 1e-8;
constexpr double kShellTolerance = 1e-8;

namespace V = AreaLPColumnValue;

std::vector<double>& ValuesOf(LPMatchColumn& column) {
    if (!column.pValues) column.pValues = std::make_unique<std::vector<double>>(V::Count, 0.0);
    else if (column.pValues->size() < V::Count) column.pValues->resize(V::Count, 0.0);
    return *column.pValues;
}

// Lays the heat of one side of one interval down its temperature range, as a vertical slice of
// the composite curves: the columns are taken by the interval they reach on the other side,
// hottest partner first, and each such group takes the share of the width its heat has of the
// interval's heat, every column of the group over the whole of that share (the segments of a
// group run in parallel). The heat the hottest part of an interval gives or takes thus meets the
// hottest part of its partners, as it does on the balanced curves.
void LayOut(std::vector<LPMatchColumn>& columns, const std::vector<int>& inInterval, double top, double width,
            bool hotSide) {
    std::map<int, std::vector<int>> groups;  // by the partner interval, hottest (lowest index) first
    double q = 0.0;
    for (int k : inInterval) {
        const LPMatchColumn& c = columns[static_cast<std::size_t>(k)];
        groups[hotSide ? c.nColdIntervalIndex : c.nHotIntervalIndex].push_back(k);
        q += c.dFlow;
    }
    if (!(q > 0.0)) return;
    double t = top;
    for (const auto& [partner, group] : groups) {
        double heat = 0.0;
        for (int k : group) heat += columns[static_cast<std::size_t>(k)].dFlow;
        const double bottom = t - width * heat / q;
        for (int k : group) {
            std::vector<double>& v = ValuesOf(columns[static_cast<std::size_t>(k)]);
            v[hotSide ? V::HotTop : V::ColdTop] = t;
            v[hotSide ? V::HotBottom : V::ColdBottom] = bottom;
        }
        t = bottom;
    }
}

}  // namespace

void AreaLP::Distribute(int kind, MatchwiseStreamDataList* matches) {
    double& result = kind == Countercurrent ? m_dCountercurrentArea : m_dShellAndTubeArea;
    result = 0.0;
    m_dShells = 0.0;
    if (!m_pModel || !m_pIntervals) return;
    std::vector<LPMatchColumn>& columns = m_pModel->columns;
    const int n = m_nIntervalCount;

    std::vector<int> flowing;
    std::vector<std::vector<int>> byHot(static_cast<std::size_t>(n)), byCold(static_cast<std::size_t>(n));
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const LPMatchColumn& c = columns[k];
        if (!(std::fabs(c.dFlow) > kFlowTolerance)) continue;
        flowing.push_back(static_cast<int>(k));
        if (c.nHotIntervalIndex >= 0 && c.nHotIntervalIndex < n) byHot[static_cast<std::size_t>(c.nHotIntervalIndex)].push_back(static_cast<int>(k));
        if (c.nColdIntervalIndex >= 0 && c.nColdIntervalIndex < n) byCold[static_cast<std::size_t>(c.nColdIntervalIndex)].push_back(static_cast<int>(k));
    }

    for (int k = 0; k < n; ++k) {
        const double top = m_pIntervals->GetTemperature(k);
        const double width = m_pIntervals->GetWidth(k);
        LayOut(columns, byHot[static_cast<std::size_t>(k)], top, width, true);
        LayOut(columns, byCold[static_cast<std::size_t>(k)], top, width, false);
    }

    // Without match records only the temperatures are laid out.
    if (!matches) return;
    // Cleared as a distribution laying down nothing clears them.
    matches->Distribute(kind == Countercurrent ? 2 : 3, nullptr);
    const MatchRecordIndex index(*matches);
    const double share = flowing.empty() ? 0.0 : 1.0 / static_cast<double>(flowing.size());

    for (int k : flowing) {
        LPMatchColumn& c = columns[static_cast<std::size_t>(k)];
        if (!c.pValues) {
            Exceptions::Assert(__FILE__, __LINE__, "AreaLP Error");
            continue;
        }
        std::vector<double>& v = *c.pValues;
        const StreamSegment& h = *c.pHotSegment;
        const StreamSegment& cold = *c.pColdSegment;
        double F = 1.0, shells = 0.0;
        if (kind == ShellAndTube)
            g_CalculateFFactorAndShells(v[V::HotBottom] + RawContribution(h), v[V::HotTop] + RawContribution(h),
                                        v[V::ColdBottom] - RawContribution(cold), v[V::ColdTop] - RawContribution(cold),
                                        m_dMinimumFFactor, F, shells, 0, 0);
        v[V::Area] = 0.0;
        v[V::Shells] = 0.0;
        MatchwiseStreamData* record = index.Find(h, cold);
        if (!record) continue;
        v[V::Shells] = shells;

        const double dh = Shift(h);
        const double dc = Shift(cold);
        const double dT1 = dh + (v[V::HotBottom] - v[V::ColdBottom]) + dc;
        const double dT2 = dh + (v[V::HotTop] - v[V::ColdTop]) + dc;
        // Ends laid out across each other (possible only inside one interval) keep the area the
        // model priced the column at.
        const double area =
            dT1 > 0.0 && dT2 > 0.0
                ? (InverseFilmCoefficient(h.dFilmCoefficient) + InverseFilmCoefficient(cold.dFilmCoefficient)) * c.dFlow /
                      ((dT1 + dT2) / 6.0 + 2.0 * std::sqrt(dT1 * dT2) / 3.0) / (F > 0.0 ? F : 1.0)
                : c.dCoefficient * c.dFlow;
        v[V::Area] = area;
        result += area;
        if (kind == Countercurrent) record->dCountercurrentArea += area;
        else record->dShellAndTubeArea += area;
        record->dFirstValue += c.dFlow;
        record->dMatchValue += share;
    }

    if (kind == ShellAndTube) {
        // Every pair of segments needs at least one shell once it exchanges any heat.
        std::map<std::pair<const StreamSegment*, const StreamSegment*>, double> pairShells;
        std::vector<std::pair<const StreamSegment*, const StreamSegment*>> order;
        for (int k : flowing) {
            const LPMatchColumn& c = columns[static_cast<std::size_t>(k)];
            const std::pair<const StreamSegment*, const StreamSegment*> key(c.pHotSegment, c.pColdSegment);
            auto [it, added] = pairShells.try_emplace(key, 0.0);
            if (added) order.push_back(key);
            if (c.pValues) it->second += (*c.pValues)[V::Shells];
        }
        for (const auto& key : order) {
            double s = pairShells[key];
            if (MatchwiseStreamData* record = index.Find(*key.first, *key.second)) record->dFourthValue += s;
            if (s > kShellTolerance && s < 1.0) s = 1.0;
            m_dShells += s;
        }
    }
    m_dShells = std::ceil(m_dShells);
}
