#include "eng/targeting/BathPairValues.h"

#include "eng/targeting/BathAreaTarget.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFlowTolerance = 1e-8;

// Per-interval sums over the segments of one side whose pairs have records.
struct SideSums {
    long long count = 0, utilities = 0, flowing = 0, flowingUtilities = 0;
    long double cp = 0.0L, cpUtilities = 0.0L, cpOverH = 0.0L, cpOverHUtilities = 0.0L;
    void Add(const SideSums& o, int sign) {
        count += sign * o.count;
        utilities += sign * o.utilities;
        flowing += sign * o.flowing;
        flowingUtilities += sign * o.flowingUtilities;
        cp += sign * o.cp;
        cpUtilities += sign * o.cpUtilities;
        cpOverH += sign * o.cpOverH;
        cpOverHUtilities += sign * o.cpOverHUtilities;
    }
};

}  // namespace

BathPairValues::BathPairValues(const BathAreaTarget& target, const MatchwiseStreamDataList& matches,
                                             Kind kind) {
    const std::vector<BathInterval>* intervals = target.GetIntervals();
    if (!intervals || intervals->size() < 2) return;
    const std::vector<BathInterval>& points = *intervals;
    const std::size_t K = points.size();
    m_intervals = K - 1;

    // Segment counts at every point (all segments, as the share of one is over all of them), the
    // cold flow rate across each interval, and the sums of the segments whose pairs have records.
    std::vector<long long> hotCount(K + 1, 0), coldCount(K + 1, 0), coldActive(K + 1, 0);
    std::vector<long double> coldFlow(K + 1, 0.0L);
    std::vector<SideSums> sums[2] = {std::vector<SideSums>(K + 1), std::vector<SideSums>(K + 1)};
    for (const BathSegmentSpan& span : target.GetSegmentSpans()) {
        if (span.first >= span.last || span.last > K) continue;
        const StreamSegment& s = *span.segment;
        const double cp = std::fabs(s.dHeatCapacityFlowrate);
        std::vector<long long>& count = span.side == 0 ? hotCount : coldCount;
        ++count[span.first];
        --count[span.last];
        if (span.side == 1) {
            coldFlow[span.first] += cp;
            coldFlow[span.last] -= cp;
            ++coldActive[span.first];
            --coldActive[span.last];
        }
        bool utility = false;
        if (!s.pStream || !matches.IsKnownOnSide(s.pStream, span.side, utility)) continue;
        const Segment segment{span.first, span.last, span.side, cp, InverseFilmCoefficient(s.dFilmCoefficient),
                              cp > kFlowTolerance};
        m_segments[s.pStream].push_back(segment);
        SideSums d;
        d.count = 1;
        d.utilities = utility ? 1 : 0;
        if (segment.flows) {
            d.flowing = 1;
            d.flowingUtilities = utility ? 1 : 0;
            d.cp = cp;
            d.cpUtilities = utility ? cp : 0.0;
            d.cpOverH = cp * segment.inverseH;
            d.cpOverHUtilities = utility ? d.cpOverH : 0.0L;
        }
        sums[span.side][span.first].Add(d, 1);
        sums[span.side][span.last].Add(d, -1);
    }

    long long hot = 0, cold = 0;
    for (std::size_t k = 0; k < K; ++k) {
        hot += hotCount[k];
        cold += coldCount[k];
        m_pairCount += static_cast<double>(hot) * static_cast<double>(cold);
    }

    const std::size_t N = m_intervals;
    m_tree.assign(2 * N, Terms{0.0, 0.0, 0.0, 0.0});
    SideSums h, c;
    long double flow = 0.0L;
    long long active = 0;
    long double first = 0.0L, area = 0.0L, fourth = 0.0L, match = 0.0L;
    for (std::size_t p = 0; p < N; ++p) {
        h.Add(sums[0][p], 1);
        c.Add(sums[1][p], 1);
        flow += coldFlow[p];
        active += coldActive[p];
        if (active == 0) flow = 0.0L;
        const double S = static_cast<double>(flow);
        if (S <= kFlowTolerance) continue;
        const BathInterval& previous = points[p];
        const BathInterval& point = points[p + 1];
        const double rise = point.dHotTemperature - previous.dHotTemperature;
        double weight = rise / point.dLMTD / S;
        if (kind == ShellAndTube) weight /= point.dFFactor > 0.0 ? point.dFFactor : 1.0;
        m_tree[N + p] = Terms{rise, weight, point.dShells, 1.0};

        const long double pairs = static_cast<long double>(h.count) * c.count -
                                  static_cast<long double>(h.utilities) * c.utilities;
        first += rise * (h.cp * c.flowing - h.cpUtilities * c.flowingUtilities);
        area += weight * (h.cpOverH * c.cp + h.cp * c.cpOverH - h.cpOverHUtilities * c.cpUtilities -
                          h.cpUtilities * c.cpOverHUtilities);
        fourth += point.dShells * pairs;
        match += pairs;
    }
    for (std::size_t i = N; i-- > 1;)
        for (std::size_t t = 0; t < 4; ++t) m_tree[i][t] = m_tree[2 * i][t] + m_tree[2 * i + 1][t];
    m_total.dFirst = static_cast<double>(first);
    m_total.dArea = static_cast<double>(area);
    m_total.dFourth = static_cast<double>(fourth);
    m_total.dMatch = m_pairCount > 0.0 ? static_cast<double>(match / m_pairCount) : 0.0;
}

BathPairValues::Terms BathPairValues::Sum(std::size_t first, std::size_t last) const {
    Terms sum{0.0, 0.0, 0.0, 0.0};
    const std::size_t N = m_intervals;
    for (std::size_t l = first + N, r = last + N; l < r; l >>= 1, r >>= 1) {
        if (l & 1) {
            for (std::size_t t = 0; t < 4; ++t) sum[t] += m_tree[l][t];
            ++l;
        }
        if (r & 1) {
            --r;
            for (std::size_t t = 0; t < 4; ++t) sum[t] += m_tree[r][t];
        }
    }
    return sum;
}

MatchDistributedValues BathPairValues::Of(const IHeatIntegrationStream* hot,
                                                 const IHeatIntegrationStream* cold) const {
    MatchDistributedValues v;
    auto h = m_segments.find(hot);
    auto c = m_segments.find(cold);
    if (h == m_segments.end() || c == m_segments.end()) return v;
    for (const Segment& a : h->second) {
        if (a.side != 0) continue;
        for (const Segment& b : c->second) {
            if (b.side != 1) continue;
            const std::size_t first = std::max(a.first, b.first);
            const std::size_t last = std::min({a.last, b.last, m_intervals});
            if (first >= last) continue;
            const Terms t = Sum(first, last);
            v.dFourth += t[2];
            if (m_pairCount > 0.0) v.dMatch += t[3] / m_pairCount;
            if (!(a.flows && b.flows)) continue;
            v.dFirst += a.cp * t[0];
            v.dArea += (a.inverseH + b.inverseH) * a.cp * b.cp * t[1];
        }
    }
    return v;
}
