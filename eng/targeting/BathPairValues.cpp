#include "eng/targeting/BathPairValues.h"

#include "eng/targeting/BathAreaTarget.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

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
    const std::vector<BathSegmentSpan>& spans = target.GetSegmentSpans();
    auto usable = [K](const BathSegmentSpan& span) { return span.first < span.last && span.last <= K; };

    // The pairs over all segments (the share of one is over all of them), counted from the
    // segments at every point.
    {
        std::vector<std::int32_t> hotCount(K + 1, 0), coldCount(K + 1, 0);
        for (const BathSegmentSpan& span : spans) {
            if (!usable(span)) continue;
            std::vector<std::int32_t>& count = span.side == 0 ? hotCount : coldCount;
            ++count[span.first];
            --count[span.last];
        }
        long long hot = 0, cold = 0;
        for (std::size_t k = 0; k < K; ++k) {
            hot += hotCount[k];
            cold += coldCount[k];
            m_pairCount += static_cast<double>(hot) * static_cast<double>(cold);
        }
    }

    // The flow rates and the sums of the segments change only at span ends. The ends are met in
    // sweep order (by point, and at one point in the list's order: a span ending at p is taken
    // off, one starting there added), so each sweep below adds them up point by point as a sum
    // kept per point would hold them, without holding one for every point. An end is its span's
    // place in its list, shifted up one, with the low bit set where the span ends. The ends are
    // laid out by a count per point (points are at most K), taking the items in their order:
    // linear, where a sort compared ends through their spans.
    auto endsInSweepOrder = [K](std::size_t items, auto include, auto pointOf) {
        std::vector<std::uint32_t> start(K + 2, 0);
        std::size_t total = 0;
        for (std::size_t i = 0; i < items; ++i) {
            if (!include(i)) continue;
            const auto id = static_cast<std::uint32_t>(i << 1);
            ++start[pointOf(id) + 1];
            ++start[pointOf(id | 1) + 1];
            total += 2;
        }
        for (std::size_t p = 1; p < start.size(); ++p) start[p] += start[p - 1];
        std::vector<std::uint32_t> ends(total);
        for (std::size_t i = 0; i < items; ++i) {
            if (!include(i)) continue;
            const auto id = static_cast<std::uint32_t>(i << 1);
            ends[start[pointOf(id)]++] = id;
            ends[start[pointOf(id | 1)]++] = id | 1;
        }
        return ends;
    };

    // First the interval terms and the running count of intervals with cold flow, the only
    // things read from the merged points: the target may let them go once they are made.
    const std::size_t N = m_intervals;
    {
        auto spanPoint = [&spans](std::uint32_t e) {
            const BathSegmentSpan& span = spans[e >> 1];
            return static_cast<std::uint32_t>((e & 1) ? span.last : span.first);
        };
        const std::vector<std::uint32_t> coldEnds = endsInSweepOrder(
            spans.size(), [&](std::size_t i) { return usable(spans[i]) && spans[i].side == 1; }, spanPoint);

        m_tree.assign(N, Terms{0.0, 0.0, 0.0});
        m_flowingBefore.assign(N + 1, 0);
        std::size_t next = 0;
        long double flow = 0.0L;
        long long active = 0;
        for (std::size_t p = 0; p < N; ++p) {
            m_flowingBefore[p + 1] = m_flowingBefore[p];
            long double change = 0.0L;
            for (; next < coldEnds.size() && spanPoint(coldEnds[next]) == p; ++next) {
                const std::uint32_t id = coldEnds[next];
                const double cp = std::fabs(spans[id >> 1].segment->dHeatCapacityFlowrate);
                if (id & 1) {
                    change -= cp;
                    --active;
                } else {
                    change += cp;
                    ++active;
                }
            }
            flow += change;
            if (active == 0) flow = 0.0L;
            const double S = static_cast<double>(flow);
            if (S <= kFlowTolerance) continue;
            const BathInterval& previous = points[p];
            const BathInterval& point = points[p + 1];
            const double rise = point.dHotTemperature - previous.dHotTemperature;
            double weight = rise / point.dLMTD / S;
            if (kind == ShellAndTube) weight /= point.dFFactor > 0.0 ? point.dFFactor : 1.0;
            m_tree[p] = Terms{rise / S, weight, point.dShells};
            ++m_flowingBefore[p + 1];
        }
    }
    target.LetGoOfReadPoints();

    // The segments whose pairs have records (in the order of the spans; sorted by stream once
    // the sums are made).
    std::size_t known[2] = {0, 0};
    for (const BathSegmentSpan& span : spans) {
        if (!usable(span)) continue;
        const StreamSegment& s = *span.segment;
        bool utility = false;
        if (!s.pStream || !matches.IsKnownOnSide(s.pStream, span.side, utility)) continue;
        ++known[span.side == 0 ? 0 : 1];
    }
    m_segments.reserve(known[0] + known[1]);
    for (const BathSegmentSpan& span : spans) {
        if (!usable(span)) continue;
        const StreamSegment& s = *span.segment;
        bool utility = false;
        if (!s.pStream || !matches.IsKnownOnSide(s.pStream, span.side, utility)) continue;
        const double cp = std::fabs(s.dHeatCapacityFlowrate);
        m_segments.emplace_back(s.pStream, Segment{static_cast<std::uint32_t>(span.first), static_cast<std::uint32_t>(span.last),
                                                   cp, InverseFilmCoefficient(s.dFilmCoefficient),
                                                   static_cast<std::uint8_t>(span.side == 0 ? 0 : 1), cp > kFlowTolerance,
                                                   utility});
    }
    auto segmentPoint = [this](std::uint32_t e) {
        const Segment& k = m_segments[e >> 1].second;
        return (e & 1) ? k.last : k.first;
    };
    std::vector<std::uint32_t> ends[2];
    for (int side = 0; side < 2; ++side)
        ends[side] = endsInSweepOrder(
            m_segments.size(), [&](std::size_t i) { return m_segments[i].second.side == side; }, segmentPoint);
    std::size_t next[2] = {0, 0};
    auto changeAt = [&](int side, std::size_t p) {
        SideSums change;
        for (std::size_t& e = next[side]; e < ends[side].size() && segmentPoint(ends[side][e]) == p; ++e) {
            const std::uint32_t id = ends[side][e];
            const Segment& k = m_segments[id >> 1].second;
            SideSums d;
            d.count = 1;
            d.utilities = k.utility ? 1 : 0;
            if (k.flows) {
                d.flowing = 1;
                d.flowingUtilities = k.utility ? 1 : 0;
                d.cp = k.cp;
                d.cpUtilities = k.utility ? k.cp : 0.0;
                d.cpOverH = k.cp * k.inverseH;
                d.cpOverHUtilities = k.utility ? d.cpOverH : 0.0L;
            }
            change.Add(d, (id & 1) ? -1 : 1);
        }
        return change;
    };

    // The totals over every pair, from the interval terms (an interval without cold flow adds
    // nothing).
    SideSums h, c;
    long double first = 0.0L, area = 0.0L, fourth = 0.0L, match = 0.0L;
    for (std::size_t p = 0; p < N; ++p) {
        h.Add(changeAt(0, p), 1);
        c.Add(changeAt(1, p), 1);
        if (m_flowingBefore[p + 1] == m_flowingBefore[p]) continue;
        const auto [risePerFlow, weight, shells] = m_tree[p];
        const long double pairs = static_cast<long double>(h.count) * c.count -
                                  static_cast<long double>(h.utilities) * c.utilities;
        // The heat exchanged in the interval, shared among the pairs by the cold rates (a hot
        // utility gives nothing to a cold one).
        first += risePerFlow * (h.cp * c.cp - h.cpUtilities * c.cpUtilities);
        area += weight * (h.cpOverH * c.cp + h.cp * c.cpOverH - h.cpOverHUtilities * c.cpUtilities -
                          h.cpUtilities * c.cpOverHUtilities);
        fourth += shells * pairs;
        match += pairs;
    }
    m_total.dFirst = static_cast<double>(first);
    m_total.dArea = static_cast<double>(area);
    m_total.dFourth = static_cast<double>(fourth);
    m_total.dMatch = m_pairCount > 0.0 ? static_cast<double>(match / m_pairCount) : 0.0;

    for (int side = 0; side < 2; ++side) std::vector<std::uint32_t>().swap(ends[side]);
    // Without a segment whose pairs have records no pair is ever asked for: the interval terms
    // and the running counts would only be held.
    if (m_segments.empty()) {
        std::vector<Terms>().swap(m_tree);
        std::vector<std::uint32_t>().swap(m_flowingBefore);
        return;
    }
    std::stable_sort(m_segments.begin(), m_segments.end(), [](const auto& a, const auto& b) {
        return std::less<const IHeatIntegrationStream*>()(a.first, b.first);
    });
}

void BathPairValues::BuildTree() const {
    const std::size_t N = m_intervals;
    std::vector<Terms> tree(2 * N, Terms{0.0, 0.0, 0.0});
    std::copy(m_tree.begin(), m_tree.end(), tree.begin() + static_cast<std::ptrdiff_t>(N));
    for (std::size_t i = N; i-- > 1;)
        for (std::size_t t = 0; t < 3; ++t) tree[i][t] = tree[2 * i][t] + tree[2 * i + 1][t];
    m_tree = std::move(tree);
    m_treeBuilt = true;
}

BathPairValues::Terms BathPairValues::Sum(std::size_t first, std::size_t last) const {
    if (!m_treeBuilt) BuildTree();
    Terms sum{0.0, 0.0, 0.0};
    const std::size_t N = m_intervals;
    for (std::size_t l = first + N, r = last + N; l < r; l >>= 1, r >>= 1) {
        if (l & 1) {
            for (std::size_t t = 0; t < 3; ++t) sum[t] += m_tree[l][t];
            ++l;
        }
        if (r & 1) {
            --r;
            for (std::size_t t = 0; t < 3; ++t) sum[t] += m_tree[r][t];
        }
    }
    return sum;
}

std::pair<std::size_t, std::size_t> BathPairValues::SegmentsOf(const IHeatIntegrationStream* stream) const {
    const auto less = std::less<const IHeatIntegrationStream*>();
    const auto first = std::partition_point(m_segments.begin(), m_segments.end(),
                                            [&](const auto& e) { return less(e.first, stream); });
    auto last = first;
    while (last != m_segments.end() && last->first == stream) ++last;
    return {static_cast<std::size_t>(first - m_segments.begin()), static_cast<std::size_t>(last - m_segments.begin())};
}

MatchDistributedValues BathPairValues::Of(const IHeatIntegrationStream* hot,
                                                 const IHeatIntegrationStream* cold) const {
    MatchDistributedValues v;
    const auto [hotFirst, hotLast] = SegmentsOf(hot);
    const auto [coldFirst, coldLast] = SegmentsOf(cold);
    if (hotFirst == hotLast || coldFirst == coldLast) return v;
    for (std::size_t i = hotFirst; i < hotLast; ++i) {
        const Segment& a = m_segments[i].second;
        if (a.side != 0) continue;
        for (std::size_t j = coldFirst; j < coldLast; ++j) {
            const Segment& b = m_segments[j].second;
            if (b.side != 1) continue;
            const std::size_t first = std::max<std::size_t>(a.first, b.first);
            const std::size_t last = std::min<std::size_t>({a.last, b.last, m_intervals});
            if (first >= last) continue;
            const Terms t = Sum(first, last);
            v.dFourth += t[2];
            // The intervals with cold flow in the range, counted exactly.
            const double flowing = static_cast<double>(m_flowingBefore[last] - m_flowingBefore[first]);
            if (m_pairCount > 0.0) v.dMatch += flowing / m_pairCount;
            if (!(a.flows && b.flows)) continue;
            v.dFirst += a.cp * b.cp * t[0];
            v.dArea += (a.inverseH + b.inverseH) * a.cp * b.cp * t[1];
        }
    }
    return v;
}
