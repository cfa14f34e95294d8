// The Bath target's shells and match values against the same sums taken interval by interval and
// pair by pair (every segment tested against every interval), on random problems with a pinch
// region boundary between their intervals.
#include "AreaTestSupport.h"
#include "TargetingFixtures.h"
#include "eng/targeting/BathAreaTarget.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <string>

namespace {

struct Spread {
    double first = 0.0, area = 0.0, fourth = 0.0, match = 0.0;
};

double Inverse(double h) { return h > 0.0 && std::isfinite(h) ? 1.0 / h : 0.0; }

class BathMatchSpread : public ::testing::TestWithParam<unsigned> {};

TEST_P(BathMatchSpread, AgreesWithTheIntervalByIntervalSums) {
    std::mt19937 rng(GetParam());
    std::uniform_real_distribution<double> t(40.0, 300.0), cp(0.5, 10.0), film(0.1, 2.0);
    area_test::StreamScenario s;
    for (int i = 0; i < 14; ++i) {
        const double a = t(rng);
        double b = t(rng);
        while (std::fabs(a - b) < 5.0) b = t(rng);
        s.Add(("S" + std::to_string(i)).c_str(), a, b, cp(rng), film(rng));
    }
    const targeting_test::CascadeResult r = targeting_test::ProblemTable(s.Segments());
    if (r.hot > 1e-9) s.Add("HU", 400, 399, r.hot, film(rng));
    if (r.cold > 1e-9) s.Add("CU", 10, 11, r.cold, film(rng));
    const SegmentRefs segments = s.Segments();
    area_test::CurveInputs c(segments, 10.0);
    c.in.matches = s.Matches();

    for (int kind : {2, 3}) {
        SCOPED_TRACE(kind);
        c.in.capitalCostTargetKind = [kind] { return kind; };
        c.in.pinchPoints.clear();
        std::unique_ptr<BathAreaTarget> bath(BathAreaTarget::Update(nullptr, c.in, 36));
        const std::vector<BathInterval>& first = *bath->GetIntervals();
        ASSERT_GT(first.size(), 4u);
        // A region boundary in the middle of the intervals.
        const BathInterval& middle = first[first.size() / 2];
        c.in.pinchPoints = {{middle.dHotTemperature, middle.dColdTemperature, 0.0}};
        bath.reset(BathAreaTarget::Update(nullptr, c.in, 36));
        const std::vector<BathInterval>& points = *bath->GetIntervals();

        // Segment lists per point, by testing every segment at every point.
        auto inside = [](const StreamSegment& seg, const BathInterval& p) {
            if (seg.nHotCold == 0) return seg.dOutletTemperature <= p.dHotTemperature && p.dHotTemperature < seg.dInletTemperature;
            return seg.dInletTemperature <= p.dColdTemperature && p.dColdTemperature < seg.dOutletTemperature;
        };
        std::map<std::pair<const void*, const void*>, Spread> expected;
        std::vector<std::map<std::string, double>> streamShells(2);
        double pairs = 0.0;
        for (const BathInterval& p : points) {
            double hot = 0.0, cold = 0.0;
            for (const StreamSegment* seg : segments)
                if (inside(*seg, p)) (seg->nHotCold == 0 ? hot : cold) += 1.0;
            pairs += hot * cold;
        }
        for (std::size_t k = 1; k < points.size(); ++k) {
            const BathInterval& previous = points[k - 1];
            const BathInterval& point = points[k];
            const int region = bath->RegionOf(previous, 0.0);
            double S = 0.0;
            for (const StreamSegment* seg : segments) {
                if (!inside(*seg, previous)) continue;
                if (seg->nHotCold == 1) S += std::fabs(seg->dHeatCapacityFlowrate);
                if (std::fabs(seg->dLoad) > 1e-8) streamShells[static_cast<std::size_t>(region)][seg->StreamName()] += point.dShells;
            }
            if (S <= 1e-8) continue;
            for (const StreamSegment* h : segments) {
                if (h->nHotCold != 0 || !inside(*h, previous)) continue;
                for (const StreamSegment* cs : segments) {
                    if (cs->nHotCold != 1 || !inside(*cs, previous) || !s.Matches()->HasMatch(h->pStream, cs->pStream)) continue;
                    Spread& e = expected[{h->pStream, cs->pStream}];
                    const double load = (point.dHotTemperature - previous.dHotTemperature) * h->dHeatCapacityFlowrate;
                    const double F = kind == 3 && point.dFFactor > 0.0 ? point.dFFactor : 1.0;
                    e.area += (Inverse(h->dFilmCoefficient) + Inverse(cs->dFilmCoefficient)) * (load / point.dLMTD) *
                              (cs->dHeatCapacityFlowrate / S) / F;
                    // The hot heat shared by the cold rates: each kW exchanged counted once.
                    e.first += load * cs->dHeatCapacityFlowrate / S;
                    e.fourth += point.dShells;
                    e.match += 1.0 / pairs;
                }
            }
        }

        const MatchwiseStreamDataList& list = *s.Matches();
        ASSERT_GT(list.GetNumberOfMatches(), 40);
        ASSERT_FALSE(streamShells[0].empty() || streamShells[1].empty());
        Spread total;
        for (int m = 0; m < list.GetNumberOfMatches(); ++m) {
            IHeatIntegrationStream *hot = nullptr, *cold = nullptr;
            ASSERT_TRUE(list.GetPairAt(m, hot, cold));
            const Spread e = expected[{hot, cold}];
            const double area = list.GetValueAt(m, kind == 2 ? 1 : 2);
            EXPECT_NEAR(area, e.area, 1e-9 * (1.0 + e.area)) << m;
            EXPECT_NEAR(list.GetValueAt(m, 0), e.first, 1e-9 * (1.0 + e.first)) << m;
            EXPECT_NEAR(list.GetValueAt(m, 4), e.match, 1e-12) << m;
            if (kind == 3) {
                EXPECT_NEAR(list.GetValueAt(m, 3), e.fourth, 1e-9 * (1.0 + e.fourth)) << m;
            }
            total.area += e.area;
            total.match += e.match;
        }
        const std::vector<MatchSumsOfModel> sums = s.Matches()->SumsByCostModel();
        ASSERT_EQ(sums.size(), 1u);
        EXPECT_NEAR(kind == 2 ? sums[0].dCountercurrentArea : sums[0].dShellAndTubeArea, total.area, 1e-9 * total.area);
        EXPECT_NEAR(sums[0].dMatch, total.match, 1e-12);

        // The shells of each region: every stream at least one, less the intervals' own.
        for (std::size_t region = 0; region < 2; ++region) {
            double streams = 0.0, intervals = 0.0;
            for (const auto& [name, n] : streamShells[region]) streams += n >= 1.0 ? n : 1.0;
            for (std::size_t k = 1; k < points.size(); ++k)
                if (static_cast<std::size_t>(bath->RegionOf(points[k - 1], 0.0)) == region) intervals += points[k].dShells;
            if (intervals > 0.0 && intervals < 1.0) intervals = 1.0;
            EXPECT_NEAR((*bath->GetRegionShells())[region], streams - intervals, 1e-9 * (1.0 + streams)) << region;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(RandomProblems, BathMatchSpread, ::testing::Values(3u, 17u, 29u));

}  // namespace
