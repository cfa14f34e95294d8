// The Bath distribution over the match records, checked pair by pair against the intervals laid
// down one by one: for every interval with cold flow S, a hot segment a and a cold segment b
// that both lie across it take a.cp b.cp rise / S (the hot heat shared by the cold rates, so that
// each kW exchanged is counted once), (1/h_a + 1/h_b) a.cp b.cp rise / (LMTD S) (divided by
// F for shell-and-tube), the interval's shells and one over the count of all segment pairs.
// The sums over every pair are checked against the same intervals. Random streams, some ending
// where others end, for both capital-cost kinds.
#include "AreaTestSupport.h"

#include "eng/targeting/BathAreaTarget.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <string>

namespace {

struct Expected {
    double first = 0.0, area = 0.0, fourth = 0.0, match = 0.0;
};

double Near(double expected) { return 1e-9 * std::max(1.0, std::fabs(expected)); }

class BathPairValuesByKind : public ::testing::TestWithParam<int> {};

TEST_P(BathPairValuesByKind, EachPairTakesWhatItsIntervalsGiveIt) {
    const int kind = GetParam();
    for (unsigned seed = 1; seed <= 12; ++seed) {
        area_test::StreamScenario s;
        std::mt19937 rng(seed);
        // Hot streams above 150 C, cold ones below 140 C: the curves never touch.
        std::uniform_real_distribution<double> hotSupply(220.0, 300.0), hotTarget(150.0, 210.0);
        std::uniform_real_distribution<double> coldSupply(40.0, 90.0), coldTarget(95.0, 140.0);
        std::uniform_real_distribution<double> cp(1.0, 20.0), h(0.2, 2.0);
        std::vector<double> targets;
        std::vector<CPIHeatIntegrationStream*> streams;
        for (int i = 0; i < 10; ++i) {
            const bool hot = i % 2 == 0;
            const double a = hot ? hotSupply(rng) : coldSupply(rng);
            // Some streams end where the stream before them on their side ended.
            const double b = i >= 4 && i % 4 < 2 ? targets[static_cast<std::size_t>(i) - 2] : hot ? hotTarget(rng) : coldTarget(rng);
            CPIHeatIntegrationStream* stream = s.Add(CPString("S" + std::to_string(i)), a, b, cp(rng), h(rng));
            ASSERT_TRUE(stream);
            targets.push_back(b);
            streams.push_back(stream);
        }
        const SegmentRefs segments = s.Segments();
        area_test::CurveInputs c(segments, 10.0);
        c.in.matches = s.Matches();
        c.in.capitalCostTargetKind = [kind] { return kind; };
        std::unique_ptr<BathAreaTarget> bath(BathAreaTarget::Update(nullptr, c.in, 36));
        ASSERT_EQ(bath->GetState(), BathAreaTarget::Computed);
        const std::vector<BathInterval>& points = *bath->GetIntervals();
        const std::vector<BathSegmentSpan>& spans = bath->GetSegmentSpans();
        const std::size_t K = points.size();

        double pairCount = 0.0;
        for (std::size_t k = 0; k < K; ++k) {
            double hot = 0.0, cold = 0.0;
            for (const BathSegmentSpan& sp : spans)
                if (sp.first <= k && k < sp.last) (sp.side == 0 ? hot : cold) += 1.0;
            pairCount += hot * cold;
        }
        std::map<std::pair<const void*, const void*>, Expected> expected;
        for (std::size_t p = 0; p + 1 < K; ++p) {
            double S = 0.0;
            for (const BathSegmentSpan& sp : spans)
                if (sp.side == 1 && sp.first <= p && p < sp.last) S += std::fabs(sp.segment->dHeatCapacityFlowrate);
            if (S <= 1e-8) continue;
            const BathInterval& point = points[p + 1];
            const double rise = point.dHotTemperature - points[p].dHotTemperature;
            double weight = rise / point.dLMTD / S;
            if (kind == 3 && point.dFFactor > 0.0) weight /= point.dFFactor;
            for (const BathSegmentSpan& a : spans) {
                if (a.side != 0 || !(a.first <= p && p < a.last)) continue;
                for (const BathSegmentSpan& b : spans) {
                    if (b.side != 1 || !(b.first <= p && p < b.last)) continue;
                    Expected& e = expected[{a.segment->pStream, b.segment->pStream}];
                    const double ca = std::fabs(a.segment->dHeatCapacityFlowrate);
                    const double cb = std::fabs(b.segment->dHeatCapacityFlowrate);
                    e.first += ca * cb * rise / S;
                    e.area += (1.0 / a.segment->dFilmCoefficient + 1.0 / b.segment->dFilmCoefficient) * ca * cb * weight;
                    e.fourth += point.dShells;
                    e.match += 1.0 / pairCount;
                }
            }
        }
        ASSERT_FALSE(expected.empty());
        // Before any record is made real, the sums over every pair are the distribution's totals
        // (made by the sweep over the segment ends, not pair by pair).
        Expected all;
        for (const auto& [pair, e] : expected) {
            all.first += e.first;
            all.area += e.area;
            all.fourth += e.fourth;
            all.match += e.match;
        }
        // Every kW the hot segments give where cold flow takes it is counted once.
        double exchanged = 0.0;
        for (std::size_t p = 0; p + 1 < K; ++p) {
            double hot = 0.0, cold = 0.0;
            for (const BathSegmentSpan& sp : spans)
                if (sp.first <= p && p < sp.last) (sp.side == 0 ? hot : cold) += std::fabs(sp.segment->dHeatCapacityFlowrate);
            if (cold > 1e-8) exchanged += hot * (points[p + 1].dHotTemperature - points[p].dHotTemperature);
        }
        EXPECT_NEAR(all.first, exchanged, Near(exchanged)) << seed;
        const std::vector<MatchSumsOfModel> sums = s.Matches()->SumsByCostModel();
        ASSERT_EQ(sums.size(), 1u) << seed;
        const double sumArea = kind == 2 ? sums[0].dCountercurrentArea : sums[0].dShellAndTubeArea;
        EXPECT_NEAR(sums[0].dFirst, all.first, Near(all.first)) << seed;
        EXPECT_NEAR(sumArea, all.area, Near(all.area)) << seed;
        EXPECT_NEAR(sums[0].dMatch, all.match, Near(all.match)) << seed;
        if (kind == 3) {
            EXPECT_NEAR(sums[0].dFourth, all.fourth, Near(all.fourth)) << seed;
        }
        int checked = 0;
        for (CPIHeatIntegrationStream* hot : streams) {
            if (hot->GetHotCold() != 0) continue;
            for (CPIHeatIntegrationStream* cold : streams) {
                if (cold->GetHotCold() != 1) continue;
                MatchwiseStreamData* m = s.Matches()->FindMatch(hot, cold);
                ASSERT_TRUE(m);
                auto found = expected.find({hot, cold});
                const Expected e = found == expected.end() ? Expected{} : found->second;
                const double area = kind == 2 ? m->dCountercurrentArea : m->dShellAndTubeArea;
                EXPECT_NEAR(m->dFirstValue, e.first, Near(e.first)) << seed;
                EXPECT_NEAR(area, e.area, Near(e.area)) << seed;
                EXPECT_NEAR(m->dMatchValue, e.match, Near(e.match)) << seed;
                if (kind == 3) {
                    EXPECT_NEAR(m->dFourthValue, e.fourth, Near(e.fourth)) << seed;
                }
                ++checked;
            }
        }
        EXPECT_GT(checked, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(CapitalCostKinds, BathPairValuesByKind, ::testing::Values(2, 3));

}  // namespace
