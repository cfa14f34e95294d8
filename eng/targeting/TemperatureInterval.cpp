#include "eng/targeting/TemperatureInterval.h"

#include "eng/targeting/CompensatedSum.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cmath>
#include <functional>

namespace {

constexpr double kLoadTolerance = 1e-12;

bool HotAddsBoundaries(int mode) {
    return mode == 0 || mode == 1 || mode == 5 || mode == 6 || mode == 3 || mode == 8 || mode == 10 || mode == 14;
}

bool ColdAddsBoundaries(int mode) {
    return mode == 0 || mode == 2 || mode == 5 || mode == 7 || mode == 4 || mode == 9 || mode == 11 || mode == 14;
}

std::uint8_t ListsOf(const StreamSegment& s) {
    const bool hot = s.nHotCold == 0;
    std::uint8_t lists = static_cast<std::uint8_t>(1U << (hot ? AllHotMembers : AllColdMembers));
    switch (s.nKind) {
        case 0: lists |= static_cast<std::uint8_t>(1U << (hot ? HotProcessMembers : ColdProcessMembers)); break;
        case 1: lists |= static_cast<std::uint8_t>(1U << (hot ? HotUtilityMembers : ColdUtilityMembers)); break;
        case 2: lists |= static_cast<std::uint8_t>(1U << (hot ? HotLinkedMembers : ColdLinkedMembers)); break;
        default: break;
    }
    return lists;
}

// First index of a descending array whose temperature is at or below t (or the same as t).
int FirstAtOrBelow(const std::vector<TemperatureInterval>& b, double t) {
    auto it = std::partition_point(b.begin(), b.end(), [t](const TemperatureInterval& e) {
        return e.dTemperature > t && !SameTemperature(e.dTemperature, t);
    });
    return static_cast<int>(it - b.begin());
}

// Sorts items with a `temperature` from the hottest down: a radix sort on the temperatures' bits
// (passes of 11 bits; a pass is skipped when every item has the same digit there), which keeps a
// sort of a few hundred thousand ends well clear of the comparisons of a general sort. While it
// runs, each temperature field holds its key.
template <class Item>
void SortHottestFirst(std::vector<Item>& items) {
    if (items.size() < 512) {
        std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.temperature > b.temperature; });
        return;
    }
    // Keys that order as the temperatures do, reversed so that the hottest comes first.
    for (Item& item : items) {
        const auto bits = std::bit_cast<std::uint64_t>(item.temperature);
        const std::uint64_t ascending = (bits >> 63) ? ~bits : bits | 0x8000000000000000ULL;
        item.temperature = std::bit_cast<double>(~ascending);
    }
    auto keyOf = [](const Item& item) { return std::bit_cast<std::uint64_t>(item.temperature); };
    constexpr int kBits = 11;
    constexpr std::uint64_t kMask = (1U << kBits) - 1;
    std::vector<Item> out(items.size());
    std::vector<std::size_t> count(kMask + 2);
    for (int shift = 0; shift < 64; shift += kBits) {
        std::fill(count.begin(), count.end(), 0);
        for (const Item& item : items) ++count[((keyOf(item) >> shift) & kMask) + 1];
        if (count[((keyOf(items[0]) >> shift) & kMask) + 1] == items.size()) continue;
        for (std::size_t b = 0; b <= kMask; ++b) count[b + 1] += count[b];
        for (const Item& item : items) out[count[(keyOf(item) >> shift) & kMask]++] = item;
        items.swap(out);
    }
    for (Item& item : items) {
        const std::uint64_t ascending = ~std::bit_cast<std::uint64_t>(item.temperature);
        const std::uint64_t bits = (ascending >> 63) ? ascending & ~0x8000000000000000ULL : ~ascending;
        item.temperature = std::bit_cast<double>(bits);
    }
}

}  // namespace

bool CarriesUtilityLoad(const StreamSegment& segment) { return std::fabs(segment.dLoad) > kUsedUtilityLoad; }

bool IsUsedUtilitySegment(const StreamSegment& segment) {
    return segment.nKind != 1 || !segment.pLink || (segment.pLink->nConnected != 0 && CarriesUtilityLoad(segment));
}

bool IntervalEndTemperatures(const StreamSegment& s, int mode, double& start, double& end) {
    if (s.nHotCold != 0 && s.nHotCold != 1) return false;
    // The model that places the utilities (and the automatic design's) offers every utility its
    // network block allows, loaded or not: the loads are what it finds. The units model's copies
    // were chosen by their originals' loads and carry theirs in the flow rate. Every other list
    // takes the utilities that carry a load, whichever method gave it.
    const bool offered = s.nKind != 1 || !s.pLink || s.pLink->nConnected != 0;
    if (mode == kUtilityModelMode || mode == kUnitsModelMode ? !offered : !IsUsedUtilitySegment(s)) return false;
    const bool utilityBlock = s.nKind == 1 && s.pLink;
    switch (mode) {
        case 0: case 1: case 2: case 5: case 6: case 7:
            start = s.dShiftedInletTemperature;
            end = s.dShiftedOutletTemperature;
            break;
        case 3: case 4:
            start = s.dInletTemperature;
            end = s.dOutletTemperature;
            break;
        case 8: case 9:
            start = s.dInletTemperature;
            end = utilityBlock ? s.pLink->dFarEndTemperature : s.dOutletTemperature;
            break;
        case 10: case 11: case 14:
            // A linked segment ends at its shifted outlet like any process segment.
            start = s.dShiftedInletTemperature;
            end = utilityBlock ? s.pLink->dShiftedFarEndTemperature : s.dShiftedOutletTemperature;
            if (mode == 14 && s.dLoad > kLoadTolerance && s.dHeatCapacityFlowrate != 0.0) {
                const double move = std::fabs(s.dLoad / s.dHeatCapacityFlowrate);
                end += s.nHotCold == 0 ? -move : move;
            }
            break;
        default:
            return false;
    }
    return std::isfinite(start) && std::isfinite(end) && std::isfinite(s.dHeatCapacityFlowrate);
}

void TIList::Build(std::span<StreamSegment* const> segments) {
    // Every end temperature of a segment that adds boundaries, sorted from the hottest down with
    // the end it belongs to, so that those ends find their boundary without a search.
    struct End {
        double temperature;
        std::uint32_t end;  // 2 x segment + 0 (start) or 1 (end)
    };
    std::vector<End> ends;
    ends.reserve(segments.size() * 2);
    const bool hotAdds = HotAddsBoundaries(m_nMode);
    const bool coldAdds = ColdAddsBoundaries(m_nMode);
    std::vector<double> starts(segments.size()), finishes(segments.size());
    std::vector<unsigned char> usable(segments.size(), 0), adds(segments.size(), 0);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        StreamSegment* s = segments[i];
        double start = 0.0, end = 0.0;
        if (!s || !IntervalEndTemperatures(*s, m_nMode, start, end)) continue;
        usable[i] = 1;
        starts[i] = start;
        finishes[i] = end;
        if ((s->nHotCold == 0 && hotAdds) || (s->nHotCold == 1 && coldAdds)) {
            adds[i] = 1;
            ends.push_back(End{start, static_cast<std::uint32_t>(2 * i)});
            ends.push_back(End{end, static_cast<std::uint32_t>(2 * i + 1)});
        }
    }
    // Ends at the same temperature share a boundary, and so do ends that differ by rounding
    // alone (each compared with the hottest of its boundary, so that a run of them cannot creep);
    // temperatures further apart stay apart.
    SortHottestFirst(ends);
    auto intervals = std::make_unique<std::vector<TemperatureInterval>>();
    intervals->reserve(ends.size());
    std::vector<int> boundaryOf(2 * segments.size(), -1);
    for (const End& e : ends) {
        if (intervals->empty() || !SameTemperature(intervals->back().dTemperature, e.temperature))
            intervals->push_back(TemperatureInterval{e.temperature, 0.0});
        boundaryOf[e.end] = static_cast<int>(intervals->size()) - 1;
    }
    m_pIntervals = std::move(intervals);
    m_nBoundaryKind = m_nMode;
    m_pKinds.reset();

    const std::vector<TemperatureInterval>& b = *m_pIntervals;
    auto boundary = [&](std::size_t i, int which, double t) {
        return adds[i] ? boundaryOf[2 * i + static_cast<std::size_t>(which)] : FirstAtOrBelow(b, t);
    };
    m_spans.clear();
    m_spans.reserve(segments.size());
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (!usable[i]) continue;
        StreamSegment* s = segments[i];
        // Hot: start >= T > end. Cold: start < T <= end.
        int first = 0, pastLast = 0;
        if (s->nHotCold == 0) {
            first = boundary(i, 0, starts[i]);
            pastLast = boundary(i, 1, finishes[i]);
        } else {
            first = boundary(i, 1, finishes[i]);
            pastLast = boundary(i, 0, starts[i]);
        }
        const int count = std::max(0, pastLast - first);
        s->nFirstInterval = first;
        s->nIntervalCount = count;
        s->nLastInterval = first + count - 1;
        m_spans.push_back(IntervalSpan{s, first, first + count - 1, ListsOf(*s)});
    }
}

bool TIList::Subdivide(double minimumStep, double factor) {
    if (!m_pIntervals || m_pIntervals->size() < 2) return true;
    std::vector<TemperatureInterval>& b = *m_pIntervals;
    const std::size_t n = b.size();

    double narrowest = 1e24;
    for (std::size_t i = 0; i + 1 < n; ++i) narrowest = std::min(narrowest, b[i].dTemperature - b[i + 1].dTemperature);
    const double step = std::max(minimumStep, narrowest * factor);
    if (!(step > 0.0)) return false;

    std::vector<std::size_t> added(n, 0);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const double parts = std::floor((b[i].dTemperature - b[i + 1].dTemperature) / step);
        if (!(parts >= 0.0) || parts > static_cast<double>(MaxBoundaries)) return false;
        added[i] = static_cast<std::size_t>(parts);
    }
    return AddBoundaries(added);
}

bool TIList::AddBoundaries(std::span<const std::size_t> added) {
    if (!m_pIntervals || m_pIntervals->size() < 2) return true;
    std::vector<TemperatureInterval>& b = *m_pIntervals;
    const std::size_t n = b.size();
    if (added.size() < n) return false;
    std::size_t total = n;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (added[i] > MaxBoundaries) return false;
        total += added[i];
        if (total > MaxBoundaries) return false;
    }
    if (total == n) return true;

    // New boundaries lie strictly inside their interval, so writing each interval's own after
    // its upper boundary keeps the array sorted from the hottest down.
    std::vector<TemperatureInterval> out;
    out.reserve(total);
    std::vector<std::int32_t> kinds;
    if (m_pKinds) kinds.reserve(total);
    std::vector<int> newIndex(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        newIndex[i] = static_cast<int>(out.size());
        out.push_back(b[i]);
        if (m_pKinds) kinds.push_back((*m_pKinds)[i]);
        const std::size_t m = i + 1 < n ? added[i] : 0;
        if (m == 0) continue;
        const double top = b[i].dTemperature;
        const double width = top - b[i + 1].dTemperature;
        const double v0 = b[i].dValue;
        const double v1 = b[i + 1].dValue;
        for (std::size_t k = 1; k <= m; ++k) {
            const double t = top - static_cast<double>(k) * width / static_cast<double>(m + 1);
            const double value = v0 + (v1 - v0) * (top - t) / width;
            out.push_back(TemperatureInterval{t, value});
            if (m_pKinds) kinds.push_back((*m_pKinds)[i]);
        }
    }

    for (IntervalSpan& span : m_spans) {
        if (span.nLast < span.nFirst) {
            span.nFirst = newIndex[static_cast<std::size_t>(std::clamp(span.nFirst, 0, static_cast<int>(n) - 1))];
            span.nLast = span.nFirst - 1;
            continue;
        }
        std::size_t grown = 0;
        for (int i = span.nFirst; i <= span.nLast; ++i) grown += added[static_cast<std::size_t>(i)];
        const int last = newIndex[static_cast<std::size_t>(span.nLast)] + static_cast<int>(added[static_cast<std::size_t>(span.nLast)]);
        span.nFirst = newIndex[static_cast<std::size_t>(span.nFirst)];
        span.nLast = last;
        if (span.pSegment && (span.IsIn(AllHotMembers) || span.IsIn(AllColdMembers)))
            span.pSegment->nIntervalCount += static_cast<std::int32_t>(grown);
    }
    b = std::move(out);
    if (m_pKinds) *m_pKinds = std::move(kinds);
    return true;
}

void TIList::Free() {
    m_pIntervals.reset();
    m_pKinds.reset();
    m_spans.clear();
}

void TIList::FreeMembership() {
    std::vector<IntervalSpan>().swap(m_spans);
    SegmentRefs().swap(m_segments);
}

TemperatureInterval* TIList::GetInterval(int i) {
    if (!m_pIntervals || i < 0 || i >= static_cast<int>(m_pIntervals->size())) return nullptr;
    return &(*m_pIntervals)[static_cast<std::size_t>(i)];
}

const TemperatureInterval* TIList::GetInterval(int i) const {
    if (!m_pIntervals || i < 0 || i >= static_cast<int>(m_pIntervals->size())) return nullptr;
    return &(*m_pIntervals)[static_cast<std::size_t>(i)];
}

double TIList::GetTemperature(int i) const {
    const TemperatureInterval* e = GetInterval(i);
    return e ? e->dTemperature : 0.0;
}

double TIList::GetWidth(int i) const {
    const TemperatureInterval* upper = GetInterval(i);
    const TemperatureInterval* lower = GetInterval(i + 1);
    return upper && lower ? upper->dTemperature - lower->dTemperature : 0.0;
}

SegmentRefs TIList::GetMembers(int interval, IntervalMemberList list) const {
    SegmentRefs members;
    for (const IntervalSpan& span : m_spans)
        if (span.IsIn(list) && span.Covers(interval)) members.push_back(span.pSegment);
    return members;
}

bool TIList::HasMember(int interval, IntervalMemberList list) const {
    return std::any_of(m_spans.begin(), m_spans.end(),
                       [&](const IntervalSpan& s) { return s.IsIn(list) && s.Covers(interval); });
}

std::vector<double> TIList::SumHeatCapacityFlowrates(IntervalMemberList list, bool absolute) const {
    const std::size_t n = static_cast<std::size_t>(GetNumberOfBoundaries());
    std::vector<double> delta(n + 1, 0.0);
    std::vector<int> count(n + 1, 0);
    for (const IntervalSpan& span : m_spans) {
        if (!span.IsIn(list) || span.nLast < span.nFirst || !span.pSegment) continue;
        const double cp = absolute ? std::fabs(span.pSegment->dHeatCapacityFlowrate) : span.pSegment->dHeatCapacityFlowrate;
        delta[static_cast<std::size_t>(span.nFirst)] += cp;
        delta[static_cast<std::size_t>(span.nLast) + 1] -= cp;
        ++count[static_cast<std::size_t>(span.nFirst)];
        --count[static_cast<std::size_t>(span.nLast) + 1];
    }
    std::vector<double> sums(n, 0.0);
    double running = 0.0;
    int members = 0;
    for (std::size_t k = 0; k < n; ++k) {
        running += delta[k];
        members += count[k];
        // Where the list is empty the sum is exactly zero, whatever the rounding of the run.
        if (members == 0) running = 0.0;
        sums[k] = running;
    }
    return sums;
}

std::vector<int> TIList::CountMembers(IntervalMemberList list) const {
    const std::size_t n = static_cast<std::size_t>(GetNumberOfBoundaries());
    std::vector<int> delta(n + 1, 0);
    for (const IntervalSpan& span : m_spans) {
        if (!span.IsIn(list) || span.nLast < span.nFirst) continue;
        ++delta[static_cast<std::size_t>(span.nFirst)];
        --delta[static_cast<std::size_t>(span.nLast) + 1];
    }
    std::vector<int> counts(n, 0);
    int running = 0;
    for (std::size_t k = 0; k < n; ++k) counts[k] = running += delta[k];
    return counts;
}

void TIList::CountAndSumMembers(IntervalMemberList list, std::vector<int>& counts, std::vector<double>& sums) const {
    const std::size_t n = static_cast<std::size_t>(GetNumberOfBoundaries());
    std::vector<int> members(n + 1, 0), flowing(n + 1, 0);
    std::vector<double> delta(n + 1, 0.0);
    for (const IntervalSpan& span : m_spans) {
        if (!span.IsIn(list) || span.nLast < span.nFirst) continue;
        ++members[static_cast<std::size_t>(span.nFirst)];
        --members[static_cast<std::size_t>(span.nLast) + 1];
        if (!span.pSegment) continue;
        const double cp = span.pSegment->dHeatCapacityFlowrate;
        delta[static_cast<std::size_t>(span.nFirst)] += cp;
        delta[static_cast<std::size_t>(span.nLast) + 1] -= cp;
        ++flowing[static_cast<std::size_t>(span.nFirst)];
        --flowing[static_cast<std::size_t>(span.nLast) + 1];
    }
    counts.assign(n, 0);
    sums.assign(n, 0.0);
    // Summed with compensation: the energy target's cascade of a large table is read to a part
    // in 1e12 of its range, which a plain running sum of a hundred thousand flow rates misses.
    int count = 0, withSegment = 0;
    CompensatedSum running;
    for (std::size_t k = 0; k < n; ++k) {
        counts[k] = count += members[k];
        running.Add(delta[k]);
        withSegment += flowing[k];
        if (withSegment == 0) running.Reset();
        sums[k] = running.Value();
    }
}

void TIList::SetBoundaries(const std::vector<KindedBoundary>& boundaries) {
    auto intervals = std::make_unique<std::vector<TemperatureInterval>>();
    intervals->reserve(boundaries.size());
    std::vector<std::int32_t> kinds;
    kinds.reserve(boundaries.size());
    for (const KindedBoundary& b : boundaries) {
        intervals->push_back(TemperatureInterval{b.dTemperature, b.dValue});
        kinds.push_back(b.nKind);
    }
    TakeBoundaries(std::move(intervals), std::move(kinds));
    m_spans.clear();
}

void TIList::TakeBoundaries(std::unique_ptr<std::vector<TemperatureInterval>> boundaries, std::vector<std::int32_t> kinds) {
    m_pIntervals = std::move(boundaries);
    const bool uniform = std::all_of(kinds.begin(), kinds.end(), [&](std::int32_t k) { return k == kinds.front(); });
    m_nBoundaryKind = kinds.empty() ? 0 : kinds.front();
    if (uniform) m_pKinds.reset();
    else m_pKinds = std::make_unique<std::vector<std::int32_t>>(std::move(kinds));
}

int TIList::GetKind(int i) const {
    if (!m_pIntervals || i < 0 || i >= static_cast<int>(m_pIntervals->size())) return 0;
    return m_pKinds ? (*m_pKinds)[static_cast<std::size_t>(i)] : m_nBoundaryKind;
}
