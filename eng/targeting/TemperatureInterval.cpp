#include "eng/targeting/TemperatureInterval.h"

#include <algorithm>
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

// First index of a descending array whose temperature is at or below t.
int FirstAtOrBelow(const std::vector<TemperatureInterval>& b, double t) {
    auto it = std::partition_point(b.begin(), b.end(), [t](const TemperatureInterval& e) { return e.dTemperature > t; });
    return static_cast<int>(it - b.begin());
}

}  // namespace

bool IsUsedUtilitySegment(const StreamSegment& segment) {
    return segment.nKind != 1 || !segment.pLink || segment.pLink->nConnected != 0;
}

bool IntervalEndTemperatures(const StreamSegment& s, int mode, double& start, double& end) {
    if (s.nHotCold != 0 && s.nHotCold != 1) return false;
    if (!IsUsedUtilitySegment(s)) return false;
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

void TIList::Build() {
    std::vector<double> temperatures;
    temperatures.reserve(m_segments.size() * 2);
    const bool hotAdds = HotAddsBoundaries(m_nMode);
    const bool coldAdds = ColdAddsBoundaries(m_nMode);
    for (StreamSegment* s : m_segments) {
        double start = 0.0, end = 0.0;
        if (!s || !IntervalEndTemperatures(*s, m_nMode, start, end)) continue;
        if ((s->nHotCold == 0 && hotAdds) || (s->nHotCold == 1 && coldAdds)) {
            temperatures.push_back(start);
            temperatures.push_back(end);
        }
    }
    // Exact equality merges boundaries; temperatures a bit apart stay apart.
    std::sort(temperatures.begin(), temperatures.end(), std::greater<double>());
    temperatures.erase(std::unique(temperatures.begin(), temperatures.end()), temperatures.end());

    auto intervals = std::make_unique<std::vector<TemperatureInterval>>();
    intervals->reserve(temperatures.size());
    for (double t : temperatures) intervals->push_back(TemperatureInterval{t, 0.0, m_nMode});
    m_pIntervals = std::move(intervals);

    const std::vector<TemperatureInterval>& b = *m_pIntervals;
    m_spans.clear();
    m_spans.reserve(m_segments.size());
    for (StreamSegment* s : m_segments) {
        double start = 0.0, end = 0.0;
        if (!s || !IntervalEndTemperatures(*s, m_nMode, start, end)) continue;
        // Hot: start >= T > end. Cold: start < T <= end.
        int first = 0, pastLast = 0;
        if (s->nHotCold == 0) {
            first = FirstAtOrBelow(b, start);
            pastLast = FirstAtOrBelow(b, end);
        } else {
            first = FirstAtOrBelow(b, end);
            pastLast = FirstAtOrBelow(b, start);
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
    std::vector<int> newIndex(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        newIndex[i] = static_cast<int>(out.size());
        out.push_back(b[i]);
        const std::size_t m = i + 1 < n ? added[i] : 0;
        if (m == 0) continue;
        const double top = b[i].dTemperature;
        const double width = top - b[i + 1].dTemperature;
        const double v0 = b[i].dValue;
        const double v1 = b[i + 1].dValue;
        for (std::size_t k = 1; k <= m; ++k) {
            const double t = top - static_cast<double>(k) * width / static_cast<double>(m + 1);
            const double value = v0 + (v1 - v0) * (top - t) / width;
            out.push_back(TemperatureInterval{t, value, b[i].nKind});
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
    return true;
}

void TIList::Free() {
    m_pIntervals.reset();
    m_spans.clear();
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

void TIList::SetBoundaries(std::vector<TemperatureInterval> boundaries) {
    m_pIntervals = std::make_unique<std::vector<TemperatureInterval>>(std::move(boundaries));
    m_spans.clear();
}
