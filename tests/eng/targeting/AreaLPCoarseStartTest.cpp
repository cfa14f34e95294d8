// The network simplex started from a given flow (cycles cancelled, the forest made a tree), and
// the area LP started from the optimum of the same LP over coarser intervals: small networks
// worked by hand, and random tables against the general LP solver's optimum of every column.
#include "AreaTestSupport.h"

#include "eng/targeting/AreaLP.h"
#include "eng/targeting/AreaLPNetwork.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

using area_test::CurveInputs;
using area_test::StreamScenario;

namespace {

// Every flowing column is priced exactly by its rows and none below its cost.
void ExpectOptimalPrices(const AreaLPNetwork& net, const std::vector<std::pair<int, int>>& rows, const std::vector<double>& costs) {
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const double y = net.GetRowPrice(rows[k].first) + net.GetRowPrice(rows[k].second);
        EXPECT_LE(y, costs[k] + 1e-9) << k;
        if (net.GetFlow(static_cast<int>(k)) > 1e-9) {
            EXPECT_NEAR(y, costs[k], 1e-9) << k;
        }
    }
}

// Hot rows 30 and 20, cold rows 25 and 25; h0-c0 1, h0-c1 3, h1-c0 2, h1-c1 5. The optimum (worked
// out in AreaLPNetworkTest) sends h0 5 to c0 and 25 to c1, h1 20 to c0: 120. The given flow, 15,
// 15, 10, 10 (130), goes round the cycle h0-c0-h1-c1: more on h0-c1 and h1-c0 and less on the
// others costs 3 + 2 - 1 - 5 = -1 a unit, so 10 go round that way, until h1-c1 runs dry: the
// optimum at once. The tree hangs from h1's artificial arc, the hot row priced lower (by 1) than
// h0, so no artificial arc pays and the simplex has nothing left to do.
TEST(AreaLPNetworkStart, AFlowWithACycleGoesRoundItTheCheaperWay) {
    const std::vector<double> loads{30.0, 20.0, 25.0, 25.0};
    const std::vector<char> hot{1, 1, 0, 0};
    const std::vector<std::pair<int, int>> rows{{0, 2}, {0, 3}, {1, 2}, {1, 3}};
    const std::vector<double> costs{1.0, 3.0, 2.0, 5.0};
    AreaLPNetwork net;
    net.Reset(loads, hot, 1000.0);
    for (std::size_t k = 0; k < rows.size(); ++k) net.AddArc(rows[k].first, rows[k].second, costs[k]);
    const std::vector<double> flows{15.0, 15.0, 10.0, 10.0}, artificial(4, 0.0);
    ASSERT_TRUE(net.StartFrom(flows, artificial));
    EXPECT_EQ(net.GetCancelledCycles(), 1);
    EXPECT_NEAR(net.GetObjective(), 120.0, 1e-9);
    const double expected[4] = {5.0, 25.0, 20.0, 0.0};
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(net.GetFlow(k), expected[k], 1e-9) << k;
    ASSERT_TRUE(net.Optimize(1000));
    EXPECT_EQ(net.GetPivots(), 0);
    EXPECT_NEAR(net.GetObjective(), 120.0, 1e-9);
    ExpectOptimalPrices(net, rows, costs);
}

// Two hot and two cold rows of 10; the diagonal columns cost 1, the crossing ones 4. The given flow
// 4, 6, 6, 4 (56) goes round the cycle towards the diagonal (1 + 1 - 4 - 4 = -6 a unit) until both
// crossing columns run dry together: one leaves the forest, the other stays at no flow and is let
// go as well, so the two diagonal columns stand apart and each hangs from the root by its hot
// row's artificial arc at no flow. That is the optimum, 20.
TEST(AreaLPNetworkStart, ColumnsThatRunDryLeaveTheTreeAndItsPartsHangFromTheRoot) {
    const std::vector<double> loads{10.0, 10.0, 10.0, 10.0};
    const std::vector<char> hot{1, 1, 0, 0};
    const std::vector<std::pair<int, int>> rows{{0, 2}, {0, 3}, {1, 2}, {1, 3}};
    const std::vector<double> costs{1.0, 4.0, 4.0, 1.0};
    AreaLPNetwork net;
    net.Reset(loads, hot, 1000.0);
    for (std::size_t k = 0; k < rows.size(); ++k) net.AddArc(rows[k].first, rows[k].second, costs[k]);
    ASSERT_TRUE(net.StartFrom(std::vector<double>{4.0, 6.0, 6.0, 4.0}, std::vector<double>(4, 0.0)));
    EXPECT_EQ(net.GetCancelledCycles(), 1);
    EXPECT_NEAR(net.GetObjective(), 20.0, 1e-9);
    for (int r = 0; r < 4; ++r) EXPECT_EQ(net.GetArtificialFlow(r), 0.0) << r;
    ASSERT_TRUE(net.Optimize(1000));
    EXPECT_EQ(net.GetPivots(), 0);
    EXPECT_NEAR(net.GetFlow(0), 10.0, 1e-9);
    EXPECT_NEAR(net.GetFlow(3), 10.0, 1e-9);
    ExpectOptimalPrices(net, rows, costs);
}

// A start that leaves heat unplaced is a start all the same: h0 gives 25 to c0 and h1 20 to c1,
// 5 of h0 and 5 of c1 on their artificial arcs (25 + 100 + 10 x 1000). The simplex goes on from
// there to 120. A flow that does not give every row its load is refused, and the network solves
// from nothing as before.
TEST(AreaLPNetworkStart, UnplacedHeatIsKeptAndAFlowThatDoesNotBalanceIsRefused) {
    const std::vector<double> loads{30.0, 20.0, 25.0, 25.0};
    const std::vector<char> hot{1, 1, 0, 0};
    const std::vector<double> costs{1.0, 3.0, 2.0, 5.0};
    auto build = [&](AreaLPNetwork& net) {
        net.Reset(loads, hot, 1000.0);
        net.AddArc(0, 2, costs[0]);
        net.AddArc(0, 3, costs[1]);
        net.AddArc(1, 2, costs[2]);
        net.AddArc(1, 3, costs[3]);
    };
    AreaLPNetwork net;
    build(net);
    ASSERT_TRUE(net.StartFrom(std::vector<double>{25.0, 0.0, 0.0, 20.0}, std::vector<double>{5.0, 0.0, 0.0, 5.0}));
    EXPECT_NEAR(net.GetObjective(), 25.0 + 100.0 + 10000.0, 1e-9);
    EXPECT_NEAR(net.GetArtificialFlow(0), 5.0, 1e-9);
    ASSERT_TRUE(net.Optimize(1000));
    EXPECT_NEAR(net.GetObjective(), 120.0, 1e-9);

    AreaLPNetwork refused;
    build(refused);
    EXPECT_FALSE(refused.StartFrom(std::vector<double>{25.0, 0.0, 0.0, 20.0}, std::vector<double>(4, 0.0)));
    EXPECT_NEAR(refused.GetObjective(), 100.0 * 1000.0, 1e-6);
    ASSERT_TRUE(refused.Optimize(1000));
    EXPECT_NEAR(refused.GetObjective(), 120.0, 1e-9);
}

// Hot 150 -> 50 and cold 30 -> 130, CP 2, film coefficients 1: the curves run 20 apart
// everywhere, so the area is 200 x 2 / 20 = 20 whatever start the solve takes.
TEST(AreaLPCoarseStart, TwoStreamsGiveTheAreaWorkedByHand) {
    StreamScenario s;
    s.Add("H", 150, 50, 2.0, 1.0);
    s.Add("C", 30, 130, 2.0, 1.0);
    CurveInputs c(s.Segments(), 10.0);
    AreaLP lp;
    lp.SetOption(AreaLP::CountercurrentOnly);
    lp.SetCoarseStartRows(1);
    lp.Rebuild(c.segments, 10.0, 0.8, s.Matches());
    ASSERT_EQ(lp.GetState(), AreaLP::Computed);
    EXPECT_GT(lp.GetCoarseRows(), 0u);
    EXPECT_LT(lp.GetCoarseRows(), lp.GetRowCount());
    EXPECT_NEAR(lp.GetCountercurrentArea(), 20.0, 1e-6);
    EXPECT_NEAR(lp.GetModel()->dObjectiveValue, 20.0, 1e-6);
}

struct Result {
    double objective, area, coarseRows;
    int state;
};

Result SolveTable(unsigned seed, int count, int option, AreaLP::Method method, std::size_t coarseStartRows) {
    StreamScenario s;
    area_test::AddRandomForbiddenTable(s, seed, count);
    CurveInputs c(s.Segments(), 10.0);
    AreaLP lp;
    lp.SetOption(option);
    lp.SetMethod(method);
    lp.SetCoarseStartRows(coarseStartRows);
    lp.Rebuild(c.segments, 10.0, 0.8, s.Matches());
    return Result{lp.GetModel() ? lp.GetModel()->dObjectiveValue : 0.0,
                  option == AreaLP::CountercurrentOnly ? lp.GetCountercurrentArea() : lp.GetShellAndTubeArea(),
                  static_cast<double>(lp.GetCoarseRows()), lp.GetState()};
}

struct TableCase {
    const char* name;
    unsigned seed;
    int streams;
    int option;
};

// A failing case is named by its name, not by its bytes.
void PrintTo(const TableCase& c, std::ostream* os) { *os << c.name; }

class AreaLPCoarseStartTables : public ::testing::TestWithParam<TableCase> {};

// Started from the coarser LP's flow, the solve reaches the optimum of every column (the general
// LP solver's) to 1e-9; the laid-out area, read from another optimum of the same value, within
// 2e-3.
TEST_P(AreaLPCoarseStartTables, ReachTheOptimumOfEveryColumn) {
    const TableCase& t = GetParam();
    const Result full = SolveTable(t.seed, t.streams, t.option, AreaLP::Method::FullModel, 0);
    const Result coarse = SolveTable(t.seed, t.streams, t.option, AreaLP::Method::Network, 1);
    ASSERT_EQ(full.state, AreaLP::Computed);
    ASSERT_EQ(coarse.state, AreaLP::Computed);
    EXPECT_GT(coarse.coarseRows, 0.0);
    EXPECT_NEAR(coarse.objective / full.objective, 1.0, 1e-9);
    EXPECT_NEAR(coarse.area / full.area, 1.0, 2e-3);
}

INSTANTIATE_TEST_SUITE_P(
    RandomTables, AreaLPCoarseStartTables,
    ::testing::Values(TableCase{"Seed1Streams8Countercurrent", 1, 8, AreaLP::CountercurrentOnly},
                      TableCase{"Seed2Streams10ShellAndTube", 2, 10, AreaLP::ShellAndTubeOnly},
                      TableCase{"Seed3Streams12Countercurrent", 3, 12, AreaLP::CountercurrentOnly},
                      TableCase{"Seed4Streams14ShellAndTube", 4, 14, AreaLP::ShellAndTubeOnly},
                      TableCase{"Seed5Streams16Countercurrent", 5, 16, AreaLP::CountercurrentOnly},
                      TableCase{"Seed6Streams16ShellAndTube", 6, 16, AreaLP::ShellAndTubeOnly}),
    [](const ::testing::TestParamInfo<TableCase>& info) { return std::string(info.param.name); });

}  // namespace
