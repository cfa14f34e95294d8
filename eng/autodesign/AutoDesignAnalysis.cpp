// What a solve of the interval model means in engineering terms: the utility loads, each match's
// load, area, shells, temperature window and smallest approach, the run's totals, and the hand-off
// of a set of chosen matches to be built as a network.
#include "eng/autodesign/AdvancedSuperTarget.h"

#include "dunmor/Exceptions.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/MatchwiseStreamData.h"
#include "lumeth/MessageKey.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <tuple>

void AdvancedSuperTarget::CollectUtilityLoads() {
    std::vector<double> segmentLoad(segments.size(), 0.0);
    for (const MatchColumn& c : columns) {
        for (StreamSegment* seg : {c.hotSegment, c.coldSegment}) {
            if (seg->nKind != 1) continue;
            segmentLoad[static_cast<std::size_t>(m_segmentIndex.at(seg))] += c.value;
        }
    }
    std::unordered_map<const IHeatIntegrationStream*, double> streamLoad;
    for (std::size_t s = 0; s < segments.size(); ++s) {
        StreamSegment* seg = segments[s].get();
        if (seg->nKind != 1) continue;
        seg->dLoad = segmentLoad[s];
        const double span = seg->dInletTemperature - seg->dOutletTemperature;
        seg->dHeatCapacityFlowrate = span != 0.0 ? seg->dLoad / span : 0.0;
        streamLoad[seg->pStream] += seg->dLoad;
    }
    utilityStreams.clear();
    utilityLoads.clear();
    utilityNames.clear();
    for (IHeatIntegrationStream* s : streams) {
        if (s->GetStreamKind() != 1) continue;
        utilityStreams.push_back(s);
        utilityLoads.push_back(streamLoad[s]);
        utilityNames.emplace_back(s->GetName().c_str());
    }
}

void AdvancedSuperTarget::AnalyzeSolution(double& area, double& shells) {
    Progress(MessageKey("AnalyzingOptimizedSolution"));
    area = 0.0;
    shells = 0.0;
    if (matchData) {
        // Every pair of the scenario gets the values of an unanalysed match; the pairs are at most
        // hot streams x cold streams, fewer than the columns that could join them.
        matchData->Reset();
        const int n = matchData->GetNumberOfMatches();
        for (int k = 0; k < n; ++k) {
            MatchwiseStreamData* r = matchData->GetMatch(k);
            if (!r) continue;
            r->dTolerance[1] = 3000.0;
            r->SetTemperatureLimit("HotInlet", -273.15);
            r->SetTemperatureLimit("ColdInlet", 3000.0);
            r->SetTemperatureLimit("HotOutlet", 3000.0);
            r->SetTemperatureLimit("ColdOutlet", -273.15);
        }
    }
    std::vector<int> heat;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        columns[k].temperatures.reset();
        if (std::fabs(columns[k].value) > kLoadTolerance) heat.push_back(static_cast<int>(k));
    }
    // The columns of one segment pair within one interval share the interval's range in series,
    // each a share in proportion to its heat, in column order. Grouped by a stable sort on
    // (interval, hot segment, cold segment): n log n in the heat columns.
    auto segmentNumber = [&](const StreamSegment* s) { return m_segmentIndex.at(s); };
    for (int side : {0, 1}) {
        std::vector<int> order = heat;
        auto interval = [&](int k) {
            const MatchColumn& c = columns[static_cast<std::size_t>(k)];
            return side == 0 ? c.hotIntervalIndex : c.coldIntervalIndex;
        };
        auto key = [&](int k) {
            const MatchColumn& c = columns[static_cast<std::size_t>(k)];
            return std::make_tuple(interval(k), segmentNumber(c.hotSegment), segmentNumber(c.coldSegment));
        };
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
        for (std::size_t g = 0; g < order.size();) {
            std::size_t e = g;
            double S = 0.0;
            while (e < order.size() && key(order[e]) == key(order[g])) S += columns[static_cast<std::size_t>(order[e++])].value;
            const int k = interval(order[g]);
            const double width = intervalList->GetWidth(k);
            double T = intervalList->GetTemperature(k);
            for (std::size_t m = g; m < e; ++m) {
                MatchColumn& c = columns[static_cast<std::size_t>(order[m])];
                if (!c.temperatures) c.temperatures = std::make_unique<std::array<double, 7>>();
                auto& t = *c.temperatures;
                t[side == 0 ? 0 : 2] = T;
                T -= S != 0.0 ? width * c.value / S : 0.0;
                t[side == 0 ? 1 : 3] = T;
            }
            g = e;
        }
    }
    for (int k : heat) {
        MatchColumn& c = columns[static_cast<std::size_t>(k)];
        if (!c.temperatures) {
            Exceptions::Assert("eng/advsuptarget", __LINE__, "pMatchThis->myAreaLPRelatedInfo");
            continue;
        }
        auto& t = *c.temperatures;
        const double ch = c.hotSegment->DTminContribution.dValue;
        const double cc = c.coldSegment->DTminContribution.dValue;
        if (MatchwiseStreamData* r = c.match) {
            const double a = (ch + cc) / 2.0;
            r->dTolerance[1] = std::min({r->dTolerance[1], (t[0] - t[2]) + a, (t[1] - t[3]) + a});
            r->SetTemperatureLimit("HotInlet", std::max(r->GetTemperatureLimit("HotInlet"), t[0] + ch / 2.0));
            r->SetTemperatureLimit("HotOutlet", std::min(r->GetTemperatureLimit("HotOutlet"), t[1] + ch / 2.0));
            r->SetTemperatureLimit("ColdInlet", std::min(r->GetTemperatureLimit("ColdInlet"), t[3] - cc / 2.0));
            r->SetTemperatureLimit("ColdOutlet", std::max(r->GetTemperatureLimit("ColdOutlet"), t[2] - cc / 2.0));
        }
        const IntervalPairData* pair = FindIntervalPairData(c.hotIntervalIndex, c.coldIntervalIndex);
        const double pairShells = pair ? pair->shells : 1.0;
        // The column's own F: a match of one shell has it at the scenario's minimum F (taken after
        // the LP), and its area is the one the MILP prices; every other column has the pair's.
        const double perLoad = !pair ? 0.0
                               : c.fFactor > 0.0 ? 1.0 / (pair->meanTemperatureDifference * c.fFactor)
                                                 : pair->areaPerLoad;
        t[6] = pairShells;
        const double a =
            c.value * (1.0 / c.hotSegment->dFilmCoefficient + 1.0 / c.coldSegment->dFilmCoefficient) * perLoad;
        t[5] = a;
        if (MatchwiseStreamData* r = c.match) {
            r->dTolerance[0] += c.value;
            r->dCountercurrentArea += a;
            r->dFourthValue += pairShells;
        }
        area += a;
    }
    analysisCount += 1.0;
    // Shells: per pair of a hot and a cold segment, the shells of their heat columns, at least one
    // for a pair that exchanges anything.
    std::vector<int> order = heat;
    auto pairKey = [&](int k) {
        const MatchColumn& c = columns[static_cast<std::size_t>(k)];
        return std::make_pair(segmentNumber(c.hotSegment), segmentNumber(c.coldSegment));
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return pairKey(a) < pairKey(b); });
    for (std::size_t g = 0; g < order.size();) {
        double sum = 0.0;
        std::size_t e = g;
        while (e < order.size() && pairKey(order[e]) == pairKey(order[g]))
            sum += (*columns[static_cast<std::size_t>(order[e++])].temperatures)[6];
        if (sum > 1e-8 && sum < 1.0) sum = 1.0;
        shells += sum;
        g = e;
    }
    shells = std::ceil(shells);
    // With one selected stream there is no pair to spread over: the whole area is the reference.
    referenceArea = area / std::max(1.0, static_cast<double>(streams.size()) - 1.0);
}

int AdvancedSuperTarget::BuildDesignFromMatches(const std::vector<MatchwiseStreamData*>& chosen) {
    std::vector<IHeatIntegrationStream*> taking;
    for (IHeatIntegrationStream* s : streams) {
        const bool in = std::any_of(chosen.begin(), chosen.end(), [s](MatchwiseStreamData* r) { return r->Involves(s); });
        if (in) taking.push_back(s);
    }
    if (!designToComplete) {
        auto point = [](IHeatIntegrationStream* s, int index) {
            double t = 0.0;
            return s->GetValue("Temperature", t, index) == 1 ? t : 0.0;
        };
        for (MatchwiseStreamData* r : chosen) {
            IHeatIntegrationStream* hot = r->GetHotStream();
            IHeatIntegrationStream* cold = r->GetColdStream();
            const double threshold = std::sqrt(std::max(0.0, r->dTolerance[1]));
            const double hotSupply = point(hot, 0), hotTarget = point(hot, hot->GetNumberOfSegments());
            const double coldSupply = point(cold, 0), coldTarget = point(cold, cold->GetNumberOfSegments());
            r->nInteger[0] = hotSupply != 0.0 && coldTarget != 0.0 && hotSupply - coldTarget >= threshold ? 1 : 0;
            r->nInteger[1] = hotTarget != 0.0 && coldSupply != 0.0 && hotTarget - coldSupply >= threshold ? 1 : 0;
        }
    }
    if (structureBuilder) {
        // The MILP's load of every utility, segment by segment (CollectUtilityLoads keeps it on the
        // run's own segments): several hot or cold utilities share what the process needs as the
        // MILP chose, not as the targeting did.
        std::unordered_map<std::string, std::vector<double>> utilityLoads;
        // A segment joined from several of the stream's own spreads its load over them by span.
        for (std::size_t k = 0; k < segments.size(); ++k) {
            const StreamSegment* seg = segments[k].get();
            if (seg->nKind != 1 || !seg->pStream) continue;
            std::vector<double>& loads = utilityLoads[seg->pStream->GetName().c_str()];
            const std::vector<std::pair<int, double>>& rows = m_rowsOf[k];
            double span = 0.0;
            for (const auto& [index, width] : rows) span += width;
            for (const auto& [index, width] : rows) {
                if (loads.size() <= static_cast<std::size_t>(index)) loads.resize(static_cast<std::size_t>(index) + 1, 0.0);
                loads[static_cast<std::size_t>(index)] =
                    span > 0.0 ? seg->dLoad * width / span : rows.size() == 1 ? seg->dLoad : 0.0;
            }
        }
        structureBuilder->SetUtilityLoads(utilityLoads);
    }
    const int built = structureBuilder
                          ? structureBuilder->BuildDesign(scenario, taking, chosen, hotUtility, coldUtility, designToComplete)
                          : 0;
    if (structureBuilder) NoteLimitStop(structureBuilder->GetLimitNote());
    if (built) ++designsMade;
    return built;
}
