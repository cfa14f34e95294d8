// The network solve of the area LP: small transportation problems worked by hand (with arcs added
// after a solve, columns let go, and prices for the artificial arcs changed on the way), and the
// area LP on random problems with forbidden matches against the same LP with every candidate
// column solved whole by the general LP solver.
#include "AreaTestSupport.h"

#include "eng/targeting/AreaLP.h"
#include "eng/targeting/AreaLPNetwork.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <string>
#include <vector>

using area_test::CurveInputs;
using area_test::StreamScenario;

namespace {

// Two hot rows (30 and 20) and two cold rows (25 and 25). Costs: h0-c0 1, h0-c1 3, h1-c0 2,
// h1-c1 5. The cheapest plan sends h1's 20 to c1 only if it must: h0 gives 25 to c0 and 5 to c1,
// h1 gives 20 to c1: 25 + 15 + 100 = 140; h0 all 25 to c1 and 5 to c0, h1 20 to c0:
// 75 + 5 + 40 = 120, the least (any other split moves heat from that plan at a loss).
struct Small {
    std::vector<double> loads{30.0, 20.0, 25.0, 25.0};
    std::vector<char> hot{1, 1, 0, 0};
    // The network of all four columns at the costs above, every row first on its artificial arc;
    // the columns' numbers in the order h0-c0, h0-c1, h1-c0, h1-c1.
    std::array<int, 4> Build(AreaLPNetwork& net) const {
        net.Reset(loads, hot, 1000.0);
        return {net.AddArc(0, 2, 1.0), net.AddArc(0, 3, 3.0), net.AddArc(1, 2, 2.0), net.AddArc(1, 3, 5.0)};
    }
};

TEST(AreaLPNetwork, ATwoByTwoTransportationProblemWorkedByHand) {
    Small p;
    AreaLPNetwork net;
    const auto [a00, a01, a10, a11] = p.Build(net);
    ASSERT_TRUE(net.Optimize(1000));
    EXPECT_NEAR(net.GetObjective(), 120.0, 1e-9);
    EXPECT_NEAR(net.GetFlow(a00), 5.0, 1e-9);
    EXPECT_NEAR(net.GetFlow(a01), 25.0, 1e-9);
    EXPECT_NEAR(net.GetFlow(a10), 20.0, 1e-9);
    EXPECT_NEAR(net.GetFlow(a11), 0.0, 1e-9);
    // The row prices price every flowing column exactly and no column below its cost.
    const int rows[4][2] = {{0, 2}, {0, 3}, {1, 2}, {1, 3}};
    const double costs[4] = {1.0, 3.0, 2.0, 5.0};
    for (int k = 0; k < 4; ++k) {
        const double y = net.GetRowPrice(rows[k][0]) + net.GetRowPrice(rows[k][1]);
        EXPECT_LE(y, costs[k] + 1e-9) << k;
        if (net.GetFlow(k) > 1e-9) {
            EXPECT_NEAR(y, costs[k], 1e-9) << k;
        }
    }
    for (int r = 0; r < 4; ++r) EXPECT_EQ(net.GetArtificialFlow(r), 0.0);
}

TEST(AreaLPNetwork, ArcsAddedLaterAndDroppedKeepTheOptimumOfWhatIsThere) {
    Small p;
    AreaLPNetwork net;
    net.Reset(p.loads, p.hot, 1000.0);
    net.AddArc(0, 2, 1.0);
    net.AddArc(1, 3, 5.0);
    // h0 can place 25 of its 30, c1 takes h1's 20 and 5 from nowhere: two artificial arcs carry 5.
    ASSERT_TRUE(net.Optimize(1000));
    EXPECT_NEAR(net.GetArtificialFlow(0), 5.0, 1e-9);
    EXPECT_NEAR(net.GetArtificialFlow(3), 5.0, 1e-9);
    EXPECT_NEAR(net.GetObjective(), 25.0 + 100.0 + 10000.0, 1e-9);
    // The rest of the columns come in: the solve goes on to the optimum of all four.
    net.AddArc(0, 3, 3.0);
    net.AddArc(1, 2, 2.0);
    ASSERT_TRUE(net.Optimize(1000));
    EXPECT_NEAR(net.GetObjective(), 120.0, 1e-9);
    // The column h1-c1 carries nothing: dropped, the others are numbered anew and the optimum stays.
    std::vector<char> keep{1, 0, 1, 1};
    net.DropArcs(keep);
    EXPECT_EQ(net.GetNumberOfArcs(), 3);
    EXPECT_NEAR(net.GetFlow(0), 5.0, 1e-9);
    EXPECT_NEAR(net.GetFlow(1), 25.0, 1e-9);
    EXPECT_NEAR(net.GetFlow(2), 20.0, 1e-9);
    ASSERT_TRUE(net.Optimize(1000));
    EXPECT_NEAR(net.GetObjective(), 120.0, 1e-9);
    // Leaving a unit unplaced costs both its ends' artificial arcs: at 10 each every column is
    // cheaper, so nothing moves.
    net.SetArtificialCost(10.0);
    ASSERT_TRUE(net.Optimize(1000));
    EXPECT_NEAR(net.GetObjective(), 120.0, 1e-9);
    // At 1 each (2 a unit) only the column at 1 pays: h0 gives c0 its 25, the rest stays
    // unplaced (5 of h0, 20 of h1, 25 of c1).
    net.SetArtificialCost(1.0);
    ASSERT_TRUE(net.Optimize(1000));
    EXPECT_NEAR(net.GetObjective(), 25.0 + 5.0 + 20.0 + 25.0, 1e-9);
    EXPECT_NEAR(net.GetFlow(0), 25.0, 1e-9);
}

// Columns priced anew between solves, the kinds of exchanger of one computation do that: a
// column's new price counts whether it is on the tree or not when priced, and it enters by that
// price after it has left. Costs h0-c0 1, h0-c1 3 -> 10, h1-c0 2, h1-c1 5 -> 12 -> 4 -> 5. With t
// the heat h1 gives c1, the other flows follow (h0-c0 5 + t, h0-c1 25 - t, h1-c0 20 - t), so each
// plan's cost is a line in t on [0, 20]:
//   1, 10, 2, 12: 295 + t, least at t = 0 (h1-c1, off the tree, does not pay at its new price);
//   1, 10, 2, 4:  295 - 7t, least at t = 20: 155 (h1-c1 enters, h1-c0 leaves the tree empty);
//   1, 3, 2, 5:   120 + t, least at t = 0 (h1-c0 comes back at its own price).
TEST(AreaLPNetwork, ColumnsPricedAnewEnterAndLeaveByTheirNewPrices) {
    Small p;
    AreaLPNetwork net;
    const auto [a00, a01, a10, a11] = p.Build(net);
    ASSERT_TRUE(net.Optimize(1000));
    ASSERT_NEAR(net.GetObjective(), 120.0, 1e-9);
    ASSERT_TRUE(net.IsTreeArc(a01));
    ASSERT_FALSE(net.IsTreeArc(a11));

    net.SetArcCost(a01, 10.0);
    net.SetArcCost(a11, 12.0);
    net.SetArtificialCost(1000.0);
    ASSERT_TRUE(net.Optimize(1000));
    EXPECT_NEAR(net.GetObjective(), 295.0, 1e-9);
    EXPECT_NEAR(net.GetFlow(a11), 0.0, 1e-9);
    EXPECT_NEAR(net.GetFlow(a10), 20.0, 1e-9);

    net.SetArcCost(a11, 4.0);
    net.SetArtificialCost(1000.0);
    ASSERT_TRUE(net.Optimize(1000));
    EXPECT_NEAR(net.GetObjective(), 155.0, 1e-9);
    EXPECT_NEAR(net.GetFlow(a11), 20.0, 1e-9);
    EXPECT_NEAR(net.GetFlow(a00), 25.0, 1e-9);
    EXPECT_NEAR(net.GetFlow(a01), 5.0, 1e-9);
    EXPECT_FALSE(net.IsTreeArc(a10));

    net.SetArcCost(a01, 3.0);
    net.SetArcCost(a11, 5.0);
    net.SetArtificialCost(1000.0);
    ASSERT_TRUE(net.Optimize(1000));
    EXPECT_NEAR(net.GetObjective(), 120.0, 1e-9);
    EXPECT_NEAR(net.GetFlow(a10), 20.0, 1e-9);
    EXPECT_NEAR(net.GetFlow(a11), 0.0, 1e-9);
    // Every column's reduced cost under the last prices: 0 on the tree, never below 0 off it.
    for (int arc : {a00, a01, a10, a11}) {
        if (net.IsTreeArc(arc)) EXPECT_NEAR(net.GetReducedCost(arc), 0.0, 1e-9) << arc;
        else EXPECT_GE(net.GetReducedCost(arc), -1e-9) << arc;
    }
}

// N hot and N cold rows of one unit each, a column from hot i to cold j within three places
// costing 1 + (i - j)^2. Without the columns i-i the cheapest plan swaps neighbours (0 with 1,
// 2 with 3, ...) at 2 a unit: 2N, the only plan at that cost, as every unit must move at least
// one place. With them each row stays at home: N. Thousands of pivots, so the nodes are numbered
// anew on the way; rows keep their numbers for the columns added, let go and priced after that.
TEST(AreaLPNetwork, ALongChainOfUnitRowsWorkedByHandKeepsItsRowsThroughRenumbering) {
    const int n = 2000;
    std::vector<double> loads(2 * n, 1.0);
    std::vector<char> hot(2 * n, 0);
    for (int i = 0; i < n; ++i) hot[static_cast<std::size_t>(i)] = 1;
    AreaLPNetwork net;
    net.Reset(loads, hot, 1000.0);
    struct Column {
        int hotRow, coldRow;
        double cost;
    };
    std::vector<Column> columns;
    auto add = [&](int i, int j) {
        const double cost = 1.0 + static_cast<double>((i - j) * (i - j));
        columns.push_back({i, n + j, cost});
        EXPECT_EQ(net.AddArc(i, n + j, cost), static_cast<int>(columns.size()) - 1);
    };
    // The row prices price every flowing column exactly and none below its cost.
    auto pricesHold = [&] {
        for (std::size_t k = 0; k < columns.size(); ++k) {
            const double y = net.GetRowPrice(columns[k].hotRow) + net.GetRowPrice(columns[k].coldRow);
            EXPECT_LE(y, columns[k].cost + 1e-7) << k;
            if (net.GetFlow(static_cast<int>(k)) > 1e-9) {
                EXPECT_NEAR(y, columns[k].cost, 1e-7) << k;
            }
        }
    };
    for (int i = 0; i < n; ++i)
        for (int j = std::max(0, i - 3); j <= std::min(n - 1, i + 3); ++j)
            if (j != i) add(i, j);
    ASSERT_TRUE(net.Optimize(10000000));
    EXPECT_GT(net.GetRenumberings(), 0);
    EXPECT_NEAR(net.GetObjective(), 2.0 * n, 1e-7);
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const int i = columns[k].hotRow, j = columns[k].coldRow - n;
        const bool swap = (i % 2 == 0 && j == i + 1) || (i % 2 == 1 && j == i - 1);
        ASSERT_NEAR(net.GetFlow(static_cast<int>(k)), swap ? 1.0 : 0.0, 1e-9) << i << " to " << j;
    }
    for (int r = 0; r < 2 * n; ++r) ASSERT_EQ(net.GetArtificialFlow(r), 0.0) << r;
    pricesHold();

    const std::int64_t renumbered = net.GetRenumberings();
    for (int i = 0; i < n; ++i) add(i, i);
    ASSERT_TRUE(net.Optimize(10000000));
    EXPECT_GT(net.GetRenumberings(), renumbered);
    EXPECT_NEAR(net.GetObjective(), 1.0 * n, 1e-7);
    for (std::size_t k = 0; k < columns.size(); ++k)
        ASSERT_NEAR(net.GetFlow(static_cast<int>(k)), columns[k].coldRow - n == columns[k].hotRow ? 1.0 : 0.0, 1e-9) << k;
    pricesHold();

    // The swaps let go (those on the tree stay): the optimum of what is left is the same.
    std::vector<char> keep(columns.size(), 1);
    for (std::size_t k = 0; k < columns.size(); ++k) keep[k] = columns[k].coldRow - n == columns[k].hotRow;
    net.DropArcs(keep);
    std::vector<Column> kept;
    for (std::size_t k = 0; k < columns.size(); ++k)
        if (keep[k]) kept.push_back(columns[k]);
    columns = kept;
    ASSERT_EQ(net.GetNumberOfArcs(), static_cast<int>(columns.size()));
    ASSERT_TRUE(net.Optimize(10000000));
    EXPECT_NEAR(net.GetObjective(), 1.0 * n, 1e-7);
    pricesHold();
    // Unplaced heat at 0.4 a unit at each end is cheaper than any column: all of it stays there.
    net.SetArtificialCost(0.4);
    ASSERT_TRUE(net.Optimize(10000000));
    EXPECT_NEAR(net.GetObjective(), 0.8 * n, 1e-7);
    for (int r = 0; r < 2 * n; ++r) ASSERT_NEAR(net.GetArtificialFlow(r), 1.0, 1e-9) << r;
}

// Random dense transportation problems (hot and cold rows of random loads that balance, a column
// of random cost for every pair), the columns given in three batches with a solve after each, so
// that the tree is cut and hung anew in every shape over thousands of pivots and renumberings.
// The optimum is proved from the outside: every row gives or takes exactly its load, and the row
// prices price every flowing column exactly and no column below its cost (an LP's optimality
// conditions, which hold only if every shift of the potentials reached the nodes it had to).
class AreaLPNetworkRandomDense : public ::testing::TestWithParam<unsigned> {};

TEST_P(AreaLPNetworkRandomDense, TheFlowsAndRowPricesProveTheirOptimum) {
    const int side = 70;
    std::mt19937 rng(GetParam());
    std::uniform_real_distribution<double> load(1.0, 50.0), price(1.0, 100.0);
    std::vector<double> loads(2 * side);
    std::vector<char> hot(2 * side, 0);
    double given = 0.0, taken = 0.0;
    for (int r = 0; r < 2 * side; ++r) {
        loads[static_cast<std::size_t>(r)] = load(rng);
        hot[static_cast<std::size_t>(r)] = r < side;
        (r < side ? given : taken) += loads[static_cast<std::size_t>(r)];
    }
    for (int r = side; r < 2 * side; ++r) loads[static_cast<std::size_t>(r)] *= given / taken;
    struct Column {
        int hotRow, coldRow;
        double cost;
    };
    std::vector<Column> columns;
    for (int i = 0; i < side; ++i)
        for (int j = side; j < 2 * side; ++j) columns.push_back({i, j, price(rng)});
    std::shuffle(columns.begin(), columns.end(), rng);
    AreaLPNetwork net;
    net.Reset(loads, hot, 1e6);
    for (std::size_t batch = 0; batch < 3; ++batch) {
        for (std::size_t k = batch * columns.size() / 3; k < (batch + 1) * columns.size() / 3; ++k)
            net.AddArc(columns[k].hotRow, columns[k].coldRow, columns[k].cost);
        ASSERT_TRUE(net.Optimize(10000000));
    }
    EXPECT_GT(net.GetRenumberings(), 2);
    std::vector<double> placed(2 * side, 0.0);
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const double f = net.GetFlow(static_cast<int>(k));
        ASSERT_GE(f, 0.0) << k;
        placed[static_cast<std::size_t>(columns[k].hotRow)] += f;
        placed[static_cast<std::size_t>(columns[k].coldRow)] += f;
        const double y = net.GetRowPrice(columns[k].hotRow) + net.GetRowPrice(columns[k].coldRow);
        ASSERT_LE(y, columns[k].cost + 1e-7) << k;
        if (f > 1e-9) {
            ASSERT_NEAR(y, columns[k].cost, 1e-7) << k;
        }
    }
    for (int r = 0; r < 2 * side; ++r) {
        ASSERT_NEAR(placed[static_cast<std::size_t>(r)], loads[static_cast<std::size_t>(r)], 1e-7) << r;
        ASSERT_NEAR(net.GetArtificialFlow(r), 0.0, 1e-7) << r;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, AreaLPNetworkRandomDense, ::testing::Range(1u, 6u));

// The nodes' numbers are labels: the same random problem (columns in three batches, a solve after
// each, then the unplaced heat made cheap) solved with the nodes renumbered after every pivot,
// every 7 pivots and at the default interval makes the same pivots to the same flows and row
// prices, to the last bit. Renumbering after every pivot meets the thread in every shape, with the
// node of unplaced heat anywhere in a run of consecutive numbers.
class AreaLPNetworkLabels : public ::testing::TestWithParam<unsigned> {};

TEST_P(AreaLPNetworkLabels, RenumberingChangesNoPivotFlowOrPrice) {
    const int side = 40;
    std::mt19937 rng(GetParam());
    std::uniform_real_distribution<double> load(1.0, 50.0), price(1.0, 100.0);
    std::vector<double> loads(2 * side);
    std::vector<char> hot(2 * side, 0);
    for (int r = 0; r < 2 * side; ++r) {
        loads[static_cast<std::size_t>(r)] = load(rng);
        hot[static_cast<std::size_t>(r)] = r < side;
    }
    std::vector<std::array<int, 2>> ends;
    std::vector<double> costs;
    for (int i = 0; i < side; ++i)
        for (int j = side; j < 2 * side; ++j)
            if (rng() % 3 != 0) {
                ends.push_back({i, j});
                costs.push_back(price(rng));
            }
    struct Outcome {
        std::int64_t pivots = 0, renumberings = 0;
        std::vector<double> flows, prices;
    };
    auto solve = [&](std::int64_t interval) {
        AreaLPNetwork net;
        net.SetRenumberInterval(interval);
        net.Reset(loads, hot, 1e4);
        Outcome out;
        for (std::size_t batch = 0; batch < 3; ++batch) {
            for (std::size_t k = batch * ends.size() / 3; k < (batch + 1) * ends.size() / 3; ++k)
                net.AddArc(ends[k][0], ends[k][1], costs[k]);
            EXPECT_TRUE(net.Optimize(10000000));
        }
        net.SetArtificialCost(30.0);
        EXPECT_TRUE(net.Optimize(10000000));
        out.pivots = net.GetPivots();
        out.renumberings = net.GetRenumberings();
        for (int k = 0; k < net.GetNumberOfArcs(); ++k) out.flows.push_back(net.GetFlow(k));
        for (int r = 0; r < 2 * side; ++r) {
            out.flows.push_back(net.GetArtificialFlow(r));
            out.prices.push_back(net.GetRowPrice(r));
        }
        return out;
    };
    const Outcome usual = solve(0);
    ASSERT_GT(usual.pivots, 100);
    for (const std::int64_t interval : {1, 7}) {
        const Outcome relabelled = solve(interval);
        EXPECT_GT(relabelled.renumberings, usual.renumberings) << interval;
        EXPECT_EQ(relabelled.pivots, usual.pivots) << interval;
        // Bit for bit: the same additions in the same order, whatever the labels.
        EXPECT_EQ(relabelled.flows, usual.flows) << interval;
        EXPECT_EQ(relabelled.prices, usual.prices) << interval;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, AreaLPNetworkLabels, ::testing::Range(1u, 4u));

struct Solved {
    double objective, countercurrent, shellAndTube;
    int state;
    double candidatesPriced, candidates;
};

// `localApproach` > 0 gives stream S1 an approach of its own: its rows are off the common one.
Solved SolveBy(AreaLP::Method method, unsigned seed, int count, int option, double localApproach = 0.0) {
    StreamScenario s;
    area_test::AddRandomForbiddenTable(s, seed, count);
    if (localApproach > 0.0) s.scenario->FindStream("S1")->SetDTminContribution(localApproach, "Local", 0, 0);
    CurveInputs c(s.Segments(), 10.0);
    AreaLP lp;
    lp.SetOption(option);
    lp.SetMethod(method);
    lp.Rebuild(c.segments, 10.0, 0.8, s.Matches());
    return Solved{lp.GetModel() ? lp.GetModel()->dObjectiveValue : 0.0,
                  lp.GetCountercurrentArea(),
                  lp.GetShellAndTubeArea(),
                  lp.GetState(),
                  lp.GetCandidatesPriced(),
                  lp.GetColumnsNeeded()};
}

class AreaLPAgainstFullModel : public ::testing::TestWithParam<unsigned> {};

// The LP's optimum is the same to 1e-9. The areas are laid out from the flows, and rows of one
// interval pair trade heat at one price, so equal-cost flows may differ there: the areas agree
// closely, not exactly.
TEST_P(AreaLPAgainstFullModel, TheNetworkSolveReachesTheOptimumOfEveryColumn) {
    const unsigned seed = GetParam();
    const int count = 6 + static_cast<int>(seed % 5) * 2;
    for (int option : {AreaLP::CountercurrentOnly, AreaLP::ShellAndTubeOnly}) {
        const Solved full = SolveBy(AreaLP::Method::FullModel, seed, count, option);
        const Solved network = SolveBy(AreaLP::Method::Network, seed, count, option);
        ASSERT_EQ(full.state, AreaLP::Computed) << seed;
        ASSERT_EQ(network.state, AreaLP::Computed) << seed;
        EXPECT_NEAR(network.objective / full.objective, 1.0, 1e-9) << seed << " option " << option;
        const double area = option == AreaLP::CountercurrentOnly ? network.countercurrent : network.shellAndTube;
        const double reference = option == AreaLP::CountercurrentOnly ? full.countercurrent : full.shellAndTube;
        EXPECT_NEAR(area / reference, 1.0, 2e-3) << seed << " option " << option;
    }
}

INSTANTIATE_TEST_SUITE_P(RandomProblems, AreaLPAgainstFullModel, ::testing::Range(1u, 9u));

// The pivots are those of the last computation: the same again when it is rebuilt, those of both
// kinds with option 2 (the second going on from the first's network), none for the general solver.
TEST(AreaLPPivots, CountTheLastComputationOfEveryKind) {
    auto pivots = [](int option, AreaLP::Method method, int rebuilds) {
        StreamScenario s;
        area_test::AddRandomForbiddenTable(s, 5, 12);
        CurveInputs c(s.Segments(), 10.0);
        AreaLP lp;
        lp.SetOption(option);
        lp.SetMethod(method);
        for (int k = 0; k < rebuilds; ++k) lp.Rebuild(c.segments, 10.0, 0.8, s.Matches());
        EXPECT_EQ(lp.GetState(), AreaLP::Computed);
        return lp.GetPivots();
    };
    const std::int64_t countercurrent = pivots(AreaLP::CountercurrentOnly, AreaLP::Method::Network, 1);
    EXPECT_GT(countercurrent, 0);
    EXPECT_EQ(pivots(AreaLP::CountercurrentOnly, AreaLP::Method::Network, 2), countercurrent);
    const std::int64_t both = pivots(AreaLP::Both, AreaLP::Method::Network, 1);
    EXPECT_GT(both, countercurrent);
    EXPECT_EQ(pivots(AreaLP::Both, AreaLP::Method::Network, 3), both);
    EXPECT_EQ(pivots(AreaLP::Both, AreaLP::Method::FullModel, 1), 0);
}

struct PricingCase {
    const char* name;
    int option;
    double localApproach;
    // The share of the candidates the last pricing round may price one by one.
    double pricedShare;
};

// A failing case is named by its name, not by its bytes.
void PrintTo(const PricingCase& c, std::ostream* os) { *os << c.name; }

class AreaLPPricing : public ::testing::TestWithParam<PricingCase> {};

// Near the optimum the pricing settles nearly every candidate a whole interval pair at a time,
// yet reaches the optimum of every column: rows on the common approach and, with a stream of an
// approach of its own, rows off it (always priced one by one).
TEST_P(AreaLPPricing, SettlesIntervalPairsAndStillReachesTheOptimumOfEveryColumn) {
    const PricingCase& c = GetParam();
    const Solved full = SolveBy(AreaLP::Method::FullModel, 3, 16, c.option, c.localApproach);
    const Solved network = SolveBy(AreaLP::Method::Network, 3, 16, c.option, c.localApproach);
    ASSERT_EQ(full.state, AreaLP::Computed);
    ASSERT_EQ(network.state, AreaLP::Computed);
    EXPECT_NEAR(network.objective / full.objective, 1.0, 1e-9);
    ASSERT_GT(network.candidates, 1000.0);
    EXPECT_GT(network.candidatesPriced, 0.0);
    EXPECT_LT(network.candidatesPriced, c.pricedShare * network.candidates);
}

INSTANTIATE_TEST_SUITE_P(
    Approaches, AreaLPPricing,
    ::testing::Values(PricingCase{"CountercurrentCommonApproach", AreaLP::CountercurrentOnly, 0.0, 0.1},
                      PricingCase{"ShellAndTubeCommonApproach", AreaLP::ShellAndTubeOnly, 0.0, 0.1},
                      PricingCase{"ShellAndTubeOneStreamOwnApproach", AreaLP::ShellAndTubeOnly, 6.0, 0.3}),
    [](const ::testing::TestParamInfo<PricingCase>& info) { return std::string(info.param.name); });

}  // namespace
