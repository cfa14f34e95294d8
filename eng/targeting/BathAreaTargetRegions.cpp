// The Bath area target per pinch region (areas and shells) and its spreading over the match
// records of the scenario.
#include "eng/targeting/BathAreaTarget.h"

#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/targeting/BathPairValues.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

constexpr double kRegionAreaTolerance = 1e-8;
constexpr double kLoadTolerance = 1e-8;

// Streams are told apart by name (as the scenario's dictionary knows them); a segment without a
// name by its stream, and one without either by itself.
std::string StreamKey(const StreamSegment& s) {
    if (!s.StreamName().empty()) return "n:" + s.StreamName();
    const void* p = s.pStream ? static_cast<const void*>(s.pStream) : static_cast<const void*>(&s);
    return "p:" + std::to_string(reinterpret_cast<std::uintptr_t>(p));
}

// A stream's shells per region are kept under one of its segments, hashed and compared as its
// key text is, so that the table (and the order in which the region's sum walks it, which the
// last bit of that sum depends on) is the one a table keyed by the text would be, without a
// copy of the text in every entry (at 100,000 streams half of the table's memory). The hash
// gives no failure (a name too long for the stack, which no table has, is hashed through a
// string made for it): a table whose hash is cheap and cannot fail keeps no hash code in its
// entries but works it out again where it needs it (a bucket's end, a growth), 24 bytes an
// entry instead of 32. The codes are the same either way, and so are the buckets and the order
// of the walk.
std::size_t StreamKeyCode(const StreamSegment* s) noexcept {
    // The text of a short name is put together on the stack; a text hashes as its view does.
    const std::string& name = s->StreamName();
    char text[64];
    if (!name.empty() && name.size() + 2 <= sizeof text) {
        text[0] = 'n';
        text[1] = ':';
        std::memcpy(text + 2, name.data(), name.size());
        return std::hash<std::string_view>{}(std::string_view(text, name.size() + 2));
    }
    return std::hash<std::string>{}(StreamKey(*s));
}
// A segment with its key's hash code, worked out once per segment: the table works the codes of
// its entries out again as it grows, and the name of each is reached through its segment. Keys
// of different codes are different streams, so most comparisons need no name.
struct StreamShellKey {
    const StreamSegment* segment;
    std::size_t code;
};
struct StreamKeyHash {
    std::size_t operator()(const StreamShellKey* k) const noexcept { return k->code; }
};
struct SameStream {
    bool operator()(const StreamShellKey* x, const StreamShellKey* y) const {
        if (x->code != y->code) return false;
        const StreamSegment* a = x->segment;
        const StreamSegment* b = y->segment;
        const CPString& nameA = a->StreamName();
        const CPString& nameB = b->StreamName();
        const bool namedA = !nameA.empty(), namedB = !nameB.empty();
        if (namedA || namedB) return namedA == namedB && nameA == nameB;
        const void* pa = a->pStream ? static_cast<const void*>(a->pStream) : static_cast<const void*>(a);
        const void* pb = b->pStream ? static_cast<const void*>(b->pStream) : static_cast<const void*>(b);
        return pa == pb;
    }
};
using StreamShellTable = std::unordered_map<const StreamShellKey*, double, StreamKeyHash, SameStream>;

}  // namespace

MatchwiseStreamData* MatchRecordIndex::Find(const StreamSegment& hot, const StreamSegment& cold) const {
    if (!hot.pStream || !cold.pStream) return nullptr;
    return m_matches.FindMatch(hot.pStream, cold.pStream);
}

int BathAreaTarget::RegionOf(const BathInterval& p, double tolerance) const {
    int region = 0;
    for (const PinchListEntry& pinch : m_pinchPoints)
        if (p.dHotTemperature >= pinch.dHotTemperature - tolerance &&
            p.dColdTemperature >= pinch.dColdTemperature - tolerance)
            ++region;
    return region;
}

void BathAreaTarget::ComputeRegionAreas() {
    const std::size_t regions = m_pinchPoints.size() + 1;
    if (!m_pRegionCountercurrent) m_pRegionCountercurrent = std::make_unique<std::vector<double>>();
    if (!m_pRegionShellAndTube) m_pRegionShellAndTube = std::make_unique<std::vector<double>>();
    m_pRegionCountercurrent->assign(regions, 0.0);
    m_pRegionShellAndTube->assign(regions, 0.0);
    const std::vector<BathInterval>* merged = Points();
    if (!merged) return;
    const std::vector<BathInterval>& points = *merged;
    for (std::size_t k = 1; k < points.size(); ++k) {
        const auto r = static_cast<std::size_t>(RegionOf(points[k - 1], kRegionAreaTolerance));
        (*m_pRegionCountercurrent)[r] += points[k].dCountercurrentArea;
        (*m_pRegionShellAndTube)[r] += points[k].dShellAndTubeArea;
    }
}

// Each region needs, for every stream in it, at least one shell and as many as the intervals it
// crosses need; every interval's shells join one hot and one cold branch, so they are counted once
// less than the streams that share them.
void BathAreaTarget::ComputeRegionShells() {
    const std::size_t regions = m_pinchPoints.size() + 1;
    if (!m_pRegionShells) m_pRegionShells = std::make_unique<std::vector<double>>();
    m_pRegionShells->assign(regions, 0.0);
    const std::vector<BathInterval>* merged = Points();
    if (!merged) return;
    const std::vector<BathInterval>& points = *merged;

    if (points.size() < 2) return;

    // Each interval's region, its shells summed in order per region, and running sums of the
    // shells over the intervals; an unbounded interval (or one that is not a number) is kept apart,
    // so that a sum over a run of intervals keeps the bounded ones. Each segment's shells per
    // region are then a difference of running sums and the unbounded intervals of its run.
    // The regions are kept per run of intervals in one region (a few runs, where a region per
    // interval took four bytes of each).
    const std::size_t N = points.size() - 1;
    std::vector<std::size_t> runStart;
    std::vector<std::uint32_t> runRegion;
    std::vector<double> totals(regions, 0.0);
    std::vector<long double> bounded(N + 1, 0.0L);
    std::vector<std::size_t> unbounded;
    for (std::size_t p = 0; p < N; ++p) {
        // The tolerance of the areas: a point a rounding below a pinch (its temperature read off
        // loads that differ in the last digits) lies on the pinch, so shells and areas divide alike.
        const auto region = static_cast<std::uint32_t>(RegionOf(points[p], kRegionAreaTolerance));
        if (p == 0 || region != runRegion.back()) {
            runStart.push_back(p);
            runRegion.push_back(region);
        }
        const double shells = points[p + 1].dShells;
        totals[region] += shells;
        const bool huge = !(std::fabs(shells) < Unbounded);
        bounded[p + 1] = bounded[p] + (huge ? 0.0L : static_cast<long double>(shells));
        if (huge) unbounded.push_back(p);
    }
    runStart.push_back(N);

    std::vector<StreamShellTable> streamShells(regions);
    // The keys live as long as the tables (which hold their addresses), one per span at most.
    std::vector<StreamShellKey> keys;
    keys.reserve(m_spans.size());
    for (const BathSegmentSpan& span : m_spans) {
        if (!(std::fabs(span.segment->dLoad) > kLoadTolerance)) continue;
        const std::size_t first = span.first, last = std::min<std::size_t>(span.last, N);
        if (first >= last) continue;
        keys.push_back(StreamShellKey{span.segment, StreamKeyCode(span.segment)});
        const StreamShellKey* key = &keys.back();
        std::size_t run = static_cast<std::size_t>(std::upper_bound(runStart.begin(), runStart.end(), first) -
                                                   runStart.begin()) - 1;
        for (std::size_t from = first; from < last; ++run) {
            const std::size_t to = std::min(last, runStart[run + 1]);
            double shells = static_cast<double>(bounded[to] - bounded[from]);
            for (auto u = std::lower_bound(unbounded.begin(), unbounded.end(), from);
                 u != unbounded.end() && *u < to; ++u)
                shells += points[*u + 1].dShells;
            streamShells[runRegion[run]][key] += shells;
            from = to;
        }
    }
    for (std::size_t r = 0; r < regions; ++r) {
        double total = totals[r];
        if (!m_pinchPoints.empty() && total > 0.0 && total < 1.0) total = 1.0;
        double streams = 0.0;
        for (const auto& entry : streamShells[r]) streams += entry.second >= 1.0 ? entry.second : 1.0;
        (*m_pRegionShells)[r] = streams - total;
    }
}

// The match loads are laid down afresh on every distribution (the countercurrent areas, loads and
// shares are cleared first; the shells of the records stay).
void BathAreaTarget::DistributeCountercurrent(MatchwiseStreamDataList& matches) const {
    if (!m_pIntervals) {
        matches.Distribute(BathPairValues::Countercurrent, nullptr);
        return;
    }
    matches.Distribute(BathPairValues::Countercurrent,
                       std::make_shared<BathPairValues>(*this, matches, BathPairValues::Countercurrent));
}

void BathAreaTarget::DistributeShellAndTube(MatchwiseStreamDataList& matches) const {
    if (!m_pIntervals) {
        matches.Distribute(BathPairValues::ShellAndTube, nullptr);
        return;
    }
    matches.Distribute(BathPairValues::ShellAndTube,
                       std::make_shared<BathPairValues>(*this, matches, BathPairValues::ShellAndTube));
}
