// The Bath area target per pinch region (areas and shells) and its spreading over the match
// records of the scenario.
#include "eng/targeting/BathAreaTarget.h"

#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/MatchwiseStreamData.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>

namespace {

constexpr double kRegionAreaTolerance = 1e-8;
constexpr double kLoadTolerance = 1e-8;
constexpr double kFlowTolerance = 1e-8;

// Streams are told apart by name (as the scenario's dictionary knows them); a segment without a
// name by its stream, and one without either by itself.
std::string StreamKey(const StreamSegment& s) {
    if (!s.strStreamName.empty()) return "n:" + s.strStreamName;
    const void* p = s.pStream ? static_cast<const void*>(s.pStream) : static_cast<const void*>(&s);
    return "p:" + std::to_string(reinterpret_cast<std::uintptr_t>(p));
}

double SumOfFlowrates(const SegmentRefs& list) {
    double sum = 0.0;
    for (const StreamSegment* s : list) sum += std::fabs(s->dHeatCapacityFlowrate);
    return sum;
}

double PairCount(const std::vector<BathInterval>& points) {
    double n = 0.0;
    for (const BathInterval& p : points)
        n += static_cast<double>(p.hotSegments.size()) * static_cast<double>(p.coldSegments.size());
    return n;
}

// Calls visit(hot, cold, record, load, share of the cold segment's flow rate, point) for every
// segment pair of every interval that has a match record and a cold side that flows.
template <typename Visit>
void ForEachIntervalPair(const std::vector<BathInterval>& points, const MatchRecordIndex& table, Visit&& visit) {
    for (std::size_t k = 1; k < points.size(); ++k) {
        const BathInterval& previous = points[k - 1];
        const BathInterval& point = points[k];
        const double S = SumOfFlowrates(previous.coldSegments);
        if (S <= kFlowTolerance) continue;
        for (const StreamSegment* h : previous.hotSegments) {
            for (const StreamSegment* c : previous.coldSegments) {
                MatchwiseStreamData* record = table.Find(*h, *c);
                if (!record) continue;
                const double cpHot = std::fabs(h->dHeatCapacityFlowrate);
                const double cpCold = std::fabs(c->dHeatCapacityFlowrate);
                const bool flows = cpHot > kFlowTolerance && cpCold > kFlowTolerance;
                const double load = flows ? (point.dHotTemperature - previous.dHotTemperature) * cpHot : 0.0;
                const double share = flows ? cpCold / S : 0.0;
                visit(*h, *c, *record, load, share, point);
            }
        }
    }
}

}  // namespace

std::size_t MatchRecordIndex::PairHash::operator()(const std::pair<const void*, const void*>& k) const noexcept {
    const auto a = reinterpret_cast<std::uintptr_t>(k.first);
    const auto b = reinterpret_cast<std::uintptr_t>(k.second);
    return std::hash<std::uintptr_t>()(a * 0x9E3779B97F4A7C15ULL ^ b);
}

MatchRecordIndex::MatchRecordIndex(const MatchwiseStreamDataList& matches) {
    for (int i = 0; i < matches.GetNumberOfMatches(); ++i) {
        MatchwiseStreamData* m = matches.GetMatch(i);
        if (m && m->GetHotStream() && m->GetColdStream())
            m_table.emplace(std::make_pair(static_cast<const void*>(m->GetHotStream()),
                                           static_cast<const void*>(m->GetColdStream())),
                            m);
    }
}

MatchwiseStreamData* MatchRecordIndex::Find(const StreamSegment& hot, const StreamSegment& cold) const {
    if (!hot.pStream || !cold.pStream) return nullptr;
    auto found = m_table.find(
        std::make_pair(static_cast<const void*>(hot.pStream), static_cast<const void*>(cold.pStream)));
    return found == m_table.end() ? nullptr : found->second;
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
    if (!m_pIntervals) return;
    const std::vector<BathInterval>& points = *m_pIntervals;
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
    if (!m_pIntervals) return;
    const std::vector<BathInterval>& points = *m_pIntervals;

    std::vector<std::unordered_map<std::string, double>> streamShells(regions);
    std::vector<double> totals(regions, 0.0);
    for (std::size_t k = 1; k < points.size(); ++k) {
        const BathInterval& previous = points[k - 1];
        const auto r = static_cast<std::size_t>(RegionOf(previous, 0.0));
        const double shells = points[k].dShells;
        for (const SegmentRefs* list : {&previous.hotSegments, &previous.coldSegments})
            for (const StreamSegment* s : *list)
                if (std::fabs(s->dLoad) > kLoadTolerance) streamShells[r][StreamKey(*s)] += shells;
        totals[r] += shells;
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
    matches.ResetAreaValues();
    for (int i = 0; i < matches.GetNumberOfMatches(); ++i) matches.GetMatch(i)->dFirstValue = 0.0;
    if (!m_pIntervals) return;
    const MatchRecordIndex table(matches);
    const double n = PairCount(*m_pIntervals);
    ForEachIntervalPair(*m_pIntervals, table,
                        [&](const StreamSegment& h, const StreamSegment& c, MatchwiseStreamData& record, double load,
                            double share, const BathInterval& point) {
                            const double area = (InverseFilmCoefficient(h.dFilmCoefficient) +
                                                 InverseFilmCoefficient(c.dFilmCoefficient)) *
                                                (load / point.dLMTD) * share;
                            record.dCountercurrentArea += area;
                            record.dFirstValue += load;
                            record.dMatchValue += 1.0 / n;
                        });
}

void BathAreaTarget::DistributeShellAndTube(MatchwiseStreamDataList& matches) const {
    matches.Reset();
    if (!m_pIntervals) return;
    const MatchRecordIndex table(matches);
    const double n = PairCount(*m_pIntervals);
    ForEachIntervalPair(*m_pIntervals, table,
                        [&](const StreamSegment& h, const StreamSegment& c, MatchwiseStreamData& record, double load,
                            double share, const BathInterval& point) {
                            const double F = point.dFFactor > 0.0 ? point.dFFactor : 1.0;
                            const double area = (InverseFilmCoefficient(c.dFilmCoefficient) +
                                                 InverseFilmCoefficient(h.dFilmCoefficient)) *
                                                (load / point.dLMTD) * share / F;
                            record.dShellAndTubeArea += area;
                            record.dFirstValue += load;
                            record.dFourthValue += point.dShells;
                            record.dMatchValue += 1.0 / n;
                        });
}
