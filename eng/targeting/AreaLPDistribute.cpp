// From the area LP's solution to areas: the heat of every interval is laid out along the
// interval's temperature range, which gives each flowing column real end temperatures; the area
// (and shells) of each column follow from those and are added to the totals and to the match
// record of its two streams.
#include "eng/targeting/AreaLP.h"

#include "dunmor/Exceptions.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/targeting/BathAreaTarget.h"
#include "eng/targeting/ShellCount.h"
#include "pellin/FFactor.h"

#include <cmath>
#include <cstdint>
#include <algorithm>
#include <functional>
#include <map>
#include <unordered_map>
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

// Lays the heat of one side of one interval down its temperature range, pair by pair: the
// columns of one segment of the interval with one partner segment run over the whole width of the
// interval (the segment's branch to that partner), one after the other in the order of the
// partner's intervals, hottest first, each over the share of the width its heat has of the
// branch's heat. The hottest part of the branch thus meets the hottest part of the partner, as in
// a countercurrent exchanger.
// Segments are compared by their place in the model's segment list (the plant's normal form), never
// by where they lie in memory, so that the layout is the same in every run.
void LayOut(std::vector<LPMatchColumn>& columns, std::vector<int>& inInterval, double top, double width,
            bool hotSide, const std::unordered_map<const StreamSegment*, std::size_t>& place) {
    auto rank = [&](const StreamSegment* s) {
        const auto at = place.find(s);
        return at == place.end() ? place.size() : at->second;
    };
    auto own = [&](const LPMatchColumn& c) { return hotSide ? c.pHotSegment : c.pColdSegment; };
    auto partner = [&](const LPMatchColumn& c) { return hotSide ? c.pColdSegment : c.pHotSegment; };
    auto partnerInterval = [&](const LPMatchColumn& c) { return hotSide ? c.nColdIntervalIndex : c.nHotIntervalIndex; };
    // Grouped by (segment, partner segment), each group in the order of the partner's interval;
    // the columns' own order decides among equals.
    std::stable_sort(inInterval.begin(), inInterval.end(), [&](int a, int b) {
        const LPMatchColumn& x = columns[static_cast<std::size_t>(a)];
        const LPMatchColumn& y = columns[static_cast<std::size_t>(b)];
        if (own(x) != own(y)) return rank(own(x)) < rank(own(y));
        if (partner(x) != partner(y)) return rank(partner(x)) < rank(partner(y));
        return partnerInterval(x) < partnerInterval(y);
    });
    for (std::size_t first = 0; first < inInterval.size();) {
        const LPMatchColumn& lead = columns[static_cast<std::size_t>(inInterval[first])];
        std::size_t last = first;
        double q = 0.0;
        while (last < inInterval.size()) {
            const LPMatchColumn& c = columns[static_cast<std::size_t>(inInterval[last])];
            if (own(c) != own(lead) || partner(c) != partner(lead)) break;
            q += c.dFlow;
            ++last;
        }
        double t = top;
        for (std::size_t k = first; k < last; ++k) {
            LPMatchColumn& c = columns[static_cast<std::size_t>(inInterval[k])];
            const double bottom = q > 0.0 ? t - width * c.dFlow / q : t;
            std::vector<double>& v = ValuesOf(c);
            v[hotSide ? V::HotTop : V::ColdTop] = t;
            v[hotSide ? V::HotBottom : V::ColdBottom] = bottom;
            t = bottom;
        }
        first = last;
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

    std::unordered_map<const StreamSegment*, std::size_t> place;
    place.reserve(m_segments.size());
    for (std::size_t k = 0; k < m_segments.size(); ++k) place.emplace(m_segments[k], k);
    for (int k = 0; k < n; ++k) {
        const double top = m_pIntervals->GetTemperature(k);
        const double width = m_pIntervals->GetWidth(k);
        LayOut(columns, byHot[static_cast<std::size_t>(k)], top, width, true, place);
        LayOut(columns, byCold[static_cast<std::size_t>(k)], top, width, false, place);
    }

    // Without match records only the temperatures are laid out.
    if (!matches) return;
    // Cleared as a distribution laying down nothing clears them.
    matches->Distribute(kind == Countercurrent ? 2 : 3, nullptr);
    const MatchRecordIndex index(*matches);
    const double share = flowing.empty() ? 0.0 : 1.0 / static_cast<double>(flowing.size());

    // Shell-and-tube: the columns of one pair of segments are pieces of the pair's exchange, a
    // sliver each; priced one by one every sliver would be a nearly pure countercurrent shell of
    // its own. The pair is taken as one exchanger over the temperatures its pieces reach, and its
    // F-factor and shells serve all its columns.
    using Pair = std::pair<const StreamSegment*, const StreamSegment*>;
    struct PairExchange {
        double hotTop = -1e300, hotBottom = 1e300, coldTop = -1e300, coldBottom = 1e300;
        double flow = 0.0, F = 1.0, shells = 0.0;
    };
    std::map<Pair, PairExchange> pairs;
    std::vector<Pair> order;
    for (int k : flowing) {
        const LPMatchColumn& c = columns[static_cast<std::size_t>(k)];
        if (!c.pValues) continue;
        const std::vector<double>& v = *c.pValues;
        auto [it, added] = pairs.try_emplace(Pair(c.pHotSegment, c.pColdSegment));
        if (added) order.push_back(it->first);
        PairExchange& p = it->second;
        p.hotTop = std::max(p.hotTop, v[V::HotTop]);
        p.hotBottom = std::min(p.hotBottom, v[V::HotBottom]);
        p.coldTop = std::max(p.coldTop, v[V::ColdTop]);
        p.coldBottom = std::min(p.coldBottom, v[V::ColdBottom]);
        p.flow += c.dFlow;
    }
    if (kind == ShellAndTube)
        for (auto& [pair, p] : pairs) {
            const double vh = RawContribution(*pair.first), vc = RawContribution(*pair.second);
            g_CalculateFFactorAndShells(p.hotBottom + vh, p.hotTop + vh, p.coldBottom - vc, p.coldTop - vc,
                                        m_dMinimumFFactor, p.F, p.shells, 0, 0);
            if (!(p.F > 0.0)) p.F = 1.0;
        }

    for (int k : flowing) {
        LPMatchColumn& c = columns[static_cast<std::size_t>(k)];
        if (!c.pValues) {
            Exceptions::Assert(__FILE__, __LINE__, "AreaLP Error");
            continue;
        }
        std::vector<double>& v = *c.pValues;
        const StreamSegment& h = *c.pHotSegment;
        const StreamSegment& cold = *c.pColdSegment;
        const PairExchange& p = pairs[Pair(c.pHotSegment, c.pColdSegment)];
        v[V::Area] = 0.0;
        v[V::Shells] = 0.0;
        MatchwiseStreamData* record = index.Find(h, cold);
        if (!record) continue;
        v[V::Shells] = p.flow > 0.0 ? p.shells * c.dFlow / p.flow : 0.0;

        const double dh = Shift(h);
        const double dc = Shift(cold);
        const double dT1 = dh + (v[V::HotBottom] - v[V::ColdBottom]) + dc;
        const double dT2 = dh + (v[V::HotTop] - v[V::ColdTop]) + dc;
        // Ends laid out across each other (possible only inside one interval) keep the area the
        // model priced the column at.
        const double area =
            dT1 > 0.0 && dT2 > 0.0
                ? (InverseFilmCoefficient(h.dFilmCoefficient) + InverseFilmCoefficient(cold.dFilmCoefficient)) * c.dFlow /
                      ((dT1 + dT2) / 6.0 + 2.0 * std::sqrt(dT1 * dT2) / 3.0) / p.F
                : c.dCoefficient * c.dFlow;
        v[V::Area] = area;
        result += area;
        if (kind == Countercurrent) record->dCountercurrentArea += area;
        else record->dShellAndTubeArea += area;
        record->dFirstValue += c.dFlow;
        record->dMatchValue += share;
    }

    if (kind == ShellAndTube) {
        // Every pair of streams needs at least one shell once it exchanges any heat: the shells of
        // its segment pairs are added up first and then rounded, so that how a stream is cut
        // never adds a shell. (A segment without a stream is a stream of its own.)
        using Streams = std::pair<const void*, const void*>;
        std::map<Streams, double> byStreams;
        std::vector<Streams> streamOrder;
        for (const Pair& key : order) {
            const double s = pairs[key].shells;
            if (MatchwiseStreamData* record = index.Find(*key.first, *key.second)) record->dFourthValue += s;
            const Streams streams(key.first->pStream ? static_cast<const void*>(key.first->pStream) : key.first,
                                  key.second->pStream ? static_cast<const void*>(key.second->pStream) : key.second);
            auto [at, added] = byStreams.try_emplace(streams, 0.0);
            if (added) streamOrder.push_back(streams);
            at->second += s;
        }
        for (const Streams& streams : streamOrder) {
            double s = byStreams[streams];
            if (s > kShellTolerance && s < 1.0) s = 1.0;
            m_dShells += s;
        }
    }
    m_dShells = shell_count::RoundUp(m_dShells);
}
