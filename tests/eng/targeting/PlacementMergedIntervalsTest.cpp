// The placement LP over merged intervals against the same LP over every interval of the cascade:
// on random problems (process streams across each other, hot and cold utilities of one
// temperature or of a range, inside and outside the process range, distinct prices) both give
// the same loads and shortfalls to 1e-9 of the total heat load, and the merged model is smaller.
#include "tests/eng/targeting/PlacementTestSupport.h"

#include "eng/targeting/AutomaticUtilityPlacement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

using placement_test::PlacementStream;
using placement_test::StreamSet;

namespace {

struct Row {
    double supply, target, cp, cost;
    int kind;
};

std::vector<Row> RandomProblem(std::mt19937& rng) {
    std::uniform_real_distribution<double> t(30.0, 300.0), cp(0.5, 20.0), cost(1.0, 200.0), u(0.0, 1.0);
    std::uniform_int_distribution<int> processes(2, 40), utilities(1, 3);
    std::vector<Row> rows;
    const int n = processes(rng);
    for (int i = 0; i < n; ++i) {
        const double a = t(rng);
        double b = t(rng);
        if (std::fabs(a - b) < 1.0) b = a + 5.0;
        rows.push_back({a, b, cp(rng), 0.0, 0});
    }
    for (int side = 0; side < 2; ++side) {
        const int count = utilities(rng);
        for (int i = 0; i < count; ++i) {
            // One temperature (a degree wide), a range inside the process, or a wide range
            // reaching beyond it.
            const double start = side == 0 ? t(rng) + 20.0 : t(rng) - 20.0;
            const double pick = u(rng);
            const double width = pick < 0.4 ? 1.0 : pick < 0.8 ? 30.0 * u(rng) + 2.0 : 150.0;
            rows.push_back({start, side == 0 ? start - width : start + width, 0.0, cost(rng), 1});
        }
    }
    return rows;
}

struct Placed {
    double hot, hotShort, cold, coldShort;
    std::vector<double> loads;
    int rows;
};

Placed Place(const std::vector<Row>& rows, bool merged, double& totalLoad) {
    StreamSet set;
    std::vector<PlacementStream*> utilities;
    totalLoad = 0.0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        PlacementStream& s = set.Add(("S" + std::to_string(i)).c_str(), r.supply, r.target, r.cp, r.kind);
        if (r.kind == 1) {
            s.costIndex = r.cost;
            utilities.push_back(&s);
        } else {
            totalLoad += r.cp * std::fabs(r.supply - r.target);
        }
    }
    UtilityPlacementLP lp;
    lp.SetIntervalModel(merged ? UtilityPlacementLP::IntervalModel::Merged : UtilityPlacementLP::IntervalModel::Full);
    Placed p{};
    EXPECT_TRUE(lp.Calculate(set.segments));
    p.hot = lp.GetHotSide().dFirst;
    p.hotShort = lp.GetHotSide().dSecond;
    p.cold = lp.GetColdSide().dFirst;
    p.coldShort = lp.GetColdSide().dSecond;
    for (PlacementStream* u : utilities) p.loads.push_back(lp.GetSegmentLoad(&u->segment));
    p.rows = lp.GetModelRows();
    return p;
}

}  // namespace

TEST(PlacementMergedIntervals, SameLoadsAsEveryIntervalOnRandomProblems) {
    std::mt19937 rng(2026);
    int smaller = 0;
    for (int trial = 0; trial < 300; ++trial) {
        SCOPED_TRACE(trial);
        const std::vector<Row> rows = RandomProblem(rng);
        double total = 0.0;
        const Placed merged = Place(rows, true, total);
        const Placed full = Place(rows, false, total);
        const double tol = 1e-9 * std::max(1.0, total);
        EXPECT_NEAR(merged.hot, full.hot, tol);
        EXPECT_NEAR(merged.hotShort, full.hotShort, tol);
        EXPECT_NEAR(merged.cold, full.cold, tol);
        EXPECT_NEAR(merged.coldShort, full.coldShort, tol);
        ASSERT_EQ(merged.loads.size(), full.loads.size());
        for (std::size_t i = 0; i < merged.loads.size(); ++i) EXPECT_NEAR(merged.loads[i], full.loads[i], tol) << i;
        EXPECT_LE(merged.rows, full.rows);
        if (merged.rows < full.rows) ++smaller;
    }
    // Most problems have stretches without a utility end or a hull vertex to merge.
    EXPECT_GT(smaller, 200);
}
