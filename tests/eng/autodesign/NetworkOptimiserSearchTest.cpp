// The optimiser's searches on analytic functions: the objectives with hand values, the initial
// simplex, each simplex move as the recorder sees it, the utility-duty search, the feasibility
// factors and the run around them.
#include "eng/autodesign/OptimiserSearches.h"
#include "lumeth/Session.h"
#include "tests/eng/autodesign/OptimiserTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace optimiser_test;

namespace {

void ExpectPoint(const Point& actual, const Point& expected, double tolerance = 1e-9) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "coordinate " << i;
}

struct ObjectiveCase {
    const char* what;
    double value, expected;
};
void PrintTo(const ObjectiveCase& c, std::ostream* os) {
    *os << c.what << ": " << c.value << " gives " << c.expected;
}

class OptimiserObjectives : public ::testing::TestWithParam<ObjectiveCase> {};

TEST_P(OptimiserObjectives, GiveTheHandValues) { EXPECT_NEAR(GetParam().value, GetParam().expected, 5e-4) << GetParam().what; }

const double kU = 300.0, kU0 = 600.0;  // a utility term of 0.5
INSTANTIATE_TEST_SUITE_P(
    Modes, OptimiserObjectives,
    ::testing::Values(
        // Capital within the budget weighs nothing, however far the budget lies above it.
        ObjectiveCase{"mode 3, budget above the capital", optimiser::RetrofitObjective(5000, 10000, kU, kU0), 0.5},
        ObjectiveCase{"mode 3, budget far above the capital", optimiser::RetrofitObjective(5000, 1e12, kU, kU0), 0.5},
        ObjectiveCase{"mode 3, capital at the budget", optimiser::RetrofitObjective(5000, 5000, kU, kU0), 1.0 + 0.5},
        ObjectiveCase{"mode 3, capital above the budget", optimiser::RetrofitObjective(2000, 1000, kU, kU0), 2.0 + 0.5},
        ObjectiveCase{"mode 3, no budget", optimiser::CapitalTerm(2e-9, 0.0), 2e-9 / 1e-08},
        ObjectiveCase{"mode 3, no capital", optimiser::CapitalTerm(0.0, 1.0), 0.0},
        ObjectiveCase{"mode 3, no base utility cost", optimiser::RetrofitObjective(2000, 1000, kU, 0.0), 2.0},
        ObjectiveCase{"mode 5 inside", optimiser::HeaterMarginObjective(120, 100, 3, true), 5.76},
        ObjectiveCase{"mode 5 outside", optimiser::HeaterMarginObjective(120, 100, 3, false), 8.0},
        ObjectiveCase{"mode 5 without a start cost", optimiser::HeaterMarginObjective(120, 0, 3, true), 4.0},
        ObjectiveCase{"mode 7", optimiser::MeasuredTemperatureObjective({{100, 98, 2.0}, {50, 51, 1.0}}), 10.0},
        ObjectiveCase{"mode 7 without measurements", optimiser::MeasuredTemperatureObjective({}), 1.0},
        ObjectiveCase{"penalty", optimiser::Penalised(10.0, 11.0), 11.909}));

// ---------------------------------------------------------------- the initial simplex

struct SimplexCase {
    const char* what;
    int mode;
    SearchVariables variables;
    std::vector<Point> points;
};
void PrintTo(const SimplexCase& c, std::ostream* os) {
    *os << c.what << " (mode " << c.mode << ", " << c.points.size() << " points)";
}

class InitialSimplex : public ::testing::TestWithParam<SimplexCase> {};

TEST_P(InitialSimplex, StartsFromThePresentPointAndStepsAwayFromIt) {
    const SimplexCase& c = GetParam();
    AnalyticNetwork net;
    NetworkOptimiser opt(net, "D");
    opt.BeginSearch(c.mode, c.variables.DutyCount() > 0, c.variables.SplitCount() > 0, c.variables);
    opt.BuildInitialSimplex();
    ASSERT_EQ(net.written.size(), c.points.size()) << c.what;
    for (std::size_t i = 0; i < c.points.size(); ++i) ExpectPoint(net.written[i], c.points[i]);
    EXPECT_DOUBLE_EQ(opt.PenaltyBase(), 1.1);  // 1.1 x the objective of the start
}

SearchVariables Duties(std::vector<double> d) {
    SearchVariables v;
    v.freeDuties = std::move(d);
    return v;
}

SearchVariables Splitter(std::vector<double> f) {
    SearchVariables v;
    v.splitterBranches = {static_cast<int>(f.size())};
    v.splitFractions = std::move(f);
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InitialSimplex,
    ::testing::Values(SimplexCase{"two duties", 0, Duties({100, 50}), {{1, 1}, {0.451, 1.126}, {0.402, 0.351}}},
                      SimplexCase{"two duties, mode 3", 3, Duties({100, 50}), {{1, 1}, {0.851, 1.126}, {0.802, 0.751}}},
                      SimplexCase{"one splitter", 0, Splitter({0.4, 0.6}), {{0.4, 0.6}, {0.4, 0.6}, {0.5, 0.5}}}));

TEST(InitialSimplexTrials, AnInfeasibleTrialWidensTheDutyStepAndHalvesTheSplitStep) {
    AnalyticNetwork net;
    // The second point is refused until its first duty reaches 0.6.
    int calls = 0;
    net.feasibleAt = [&](const Point& p) { return ++calls == 1 || p.size() < 3 || p[0] >= 0.6 - 1e-12 || p[1] < 1.0; };
    SearchVariables v = Duties({1, 1});
    v.splitterBranches = {2};
    v.splitFractions = {0.4, 0.6};
    NetworkOptimiser opt(net, "D");
    opt.BeginSearch(0, true, true, v);
    opt.BuildInitialSimplex();
    // P1 is tried at s = 0.4, 0.5, 0.6: the duty coordinate grows by 0.1 per trial and the split
    // step halves after each refusal (0.1, 0.05, 0.025); n = 4 coordinates.
    ASSERT_GE(net.written.size(), 4u);
    ExpectPoint(net.written[1], {0.4 + 0.102 / 2, 1.1 + 0.052 / 2, 0.4 - 0.1 + 0.2 / 4, 0.6 + 0.1 - 0.2 / 4});
    ExpectPoint(net.written[2], {0.5 + 0.102 / 2, 1.1 + 0.052 / 2, 0.4 - 0.05 + 0.1 / 4, 0.6 + 0.05 - 0.1 / 4});
    ExpectPoint(net.written[3], {0.6 + 0.102 / 2, 1.1 + 0.052 / 2, 0.4 - 0.025 + 0.05 / 4, 0.6 + 0.025 - 0.05 / 4});
}

// ---------------------------------------------------------------- simplex moves

// The initial simplex of two duties (1, 1), (0.451, 1.126), (0.402, 0.351): ranked worst first
// by the objectives below it is P2, P1, P0, so the centre is G = (0.7255, 1.063).
const Point kWorst{0.402, 0.351}, kCentre{0.7255, 1.063};

Point Move(const Point& a, double ca, const Point& b, double cb) { return {ca * a[0] + cb * b[0], ca * a[1] + cb * b[1]}; }

TEST(SimplexMoves, ABetterReflectionIsExpanded) {
    AnalyticNetwork net;
    net.objective = [](const Point& p) { return std::pow(p[0] - 3, 2) + std::pow(p[1] - 3, 2); };
    NetworkOptimiser opt(net, "D");
    opt.BeginSearch(0, true, false, Duties({1, 1}));
    opt.BuildInitialSimplex();
    opt.RunSimplex();
    const Point r = Move(kCentre, 1.99, kWorst, -1.02);
    ASSERT_GE(net.written.size(), 5u);
    ExpectPoint(net.written[3], r);
    ExpectPoint(net.written[4], Move(r, 1.97, kCentre, -0.96));
    EXPECT_LE(opt.InnerIteration(), 25);
}

TEST(SimplexMoves, AReflectionWorseThanTheWorstIsContracted) {
    AnalyticNetwork net;
    net.objective = [](const Point& p) {
        return std::pow(p[0] - 1, 2) + std::pow(p[1] - 1, 2) + (p[1] > 1.5 ? 100 * (p[1] - 1.5) : 0.0);
    };
    NetworkOptimiser opt(net, "D");
    opt.BeginSearch(0, true, false, Duties({1, 1}));
    opt.BuildInitialSimplex();
    opt.RunSimplex();
    ASSERT_GE(net.written.size(), 5u);
    ExpectPoint(net.written[3], Move(kCentre, 1.99, kWorst, -1.02));
    ExpectPoint(net.written[4], Move(kWorst, 0.49, kCentre, 0.51));
}

TEST(SimplexMoves, AContractionWorseThanTheSecondWorstContractsAroundTheBest) {
    AnalyticNetwork net;
    net.objective = [](const Point& p) {
        return std::pow(p[0] - 1, 2) + std::pow(p[1] - 1, 2) + (p[1] < 0.8 ? 10 * (0.8 - p[1]) : 0.0) +
               (p[1] > 1.5 ? 100.0 : 0.0);
    };
    NetworkOptimiser opt(net, "D");
    opt.BeginSearch(0, true, false, Duties({1, 1}));
    opt.BuildInitialSimplex();
    opt.RunSimplex();
    ASSERT_GE(net.written.size(), 6u);
    ExpectPoint(net.written[4], Move(kWorst, 0.49, kCentre, 0.51));
    // Around the best (1, 1), with the centre of every point but the best.
    ExpectPoint(net.written[5], Move({1, 1}, 0.48, Move(kWorst, 0.5, {0.451, 1.126}, 0.5), 0.51));
}

TEST(SimplexMoves, ACollapseMovesEveryPointButTheBestTowardsIt) {
    AnalyticNetwork net;
    net.objective = [](const Point& p) { return p[0] + p[1]; };
    NetworkOptimiser opt(net, "D");
    opt.BeginSearch(0, true, false, Duties({1, 1}));
    opt.BuildInitialSimplex();
    opt.Collapse();
    ASSERT_EQ(net.written.size(), 5u);
    ExpectPoint(net.written[3], Move(kWorst, 0.23, {1, 1}, 0.79));
    ExpectPoint(net.written[4], Move(kWorst, 0.23, {0.451, 1.126}, 0.79));
    // Both are better than the points they came from and replace them.
    ExpectPoint(opt.Points()[0], net.written[3]);
}

TEST(SimplexMoves, SplitSharesAreCleanedAndNormalisedBeforeTheyAreWritten) {
    AnalyticNetwork net;
    SearchVariables v = Splitter({0.3, 0.7});
    v.splitterBranches = {2, 2};
    v.splitFractions = {0.3, 0.7, 0.5, 0.5};
    NetworkOptimiser opt(net, "D");
    opt.BeginSearch(0, false, true, v);
    Point p{0.00005, 0.5, 0.0, 0.0};
    opt.ApplyPoint(p);
    // The first splitter drops its tiny share; the second has nothing left and keeps its own.
    ExpectPoint(p, {0.0, 1.0, 0.5, 0.5});
    Point q{-0.2, 0.2, 1.0, 3.0};
    opt.ApplyPoint(q);
    ExpectPoint(q, {0.0, 1.0, 0.25, 0.75});
}

// ---------------------------------------------------------------- one-dimensional searches

TEST(UtilityDutySearch, ExtrapolatesThenHalvesToTheMinimum) {
    double duty = 100.0;
    optimiser::DutySearchTrace trace;
    const double chosen = optimiser::SearchDuty(
        duty, 101.0, [&](double q) { duty = q; }, [&] { return (duty - 90) * (duty - 90) + 1; }, nullptr, nullptr,
        &trace);
    ASSERT_GE(trace.trials.size(), 5u);
    const double expected[] = {98, 96, 93.6, 90.24, 84.864};
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(trace.trials[static_cast<std::size_t>(i)], expected[i], 1e-9);
    EXPECT_EQ(trace.halvings, 7);
    EXPECT_NEAR(chosen, 89.988, 1e-9);
    EXPECT_NEAR(duty, 89.988, 1e-9);
}

TEST(UtilityDutySearch, RunsOverTheUtilityExchangersOfTheSubNetwork) {
    AnalyticNetwork net;
    net.flaggedDuties = {100.0, 40.0};
    net.dutyObjective = [](const std::vector<double>& d) { return (d[0] - 90) * (d[0] - 90) + (d[1] - 40) * (d[1] - 40) + 1; };
    NetworkOptimiser opt(net, "D");
    opt.SearchUtilityExchangerDuties();
    EXPECT_NEAR(net.flaggedDuties[0], 89.988, 1e-9);
    EXPECT_NEAR(net.flaggedDuties[1], 40.0, 0.5);
}

TEST(UtilityDutySearch, ADutyThatLeavesTheNetworkInfeasibleIsPenalised) {
    AnalyticNetwork net;
    net.flaggedDuties = {100.0};
    // Cheaper as the duty falls, but below 95 the network is infeasible.
    net.dutyObjective = [](const std::vector<double>& d) { return d[0]; };
    net.feasibleDuties = [](const std::vector<double>& d) { return d[0] >= 95.0; };
    NetworkOptimiser opt(net, "D");
    opt.SetPenaltyBase(1000.0);
    opt.SearchUtilityExchangerDuties();
    EXPECT_GE(net.flaggedDuties[0], 95.0);
    EXPECT_LT(net.flaggedDuties[0], 98.0);
}

TEST(UtilityDutySearch, AStepThatMovesALockedAreaIsUndone) {
    double duty = 100.0;
    optimiser::DutySearchTrace trace;
    optimiser::SearchDuty(duty, 1.0, [&](double q) { duty = q; }, [] { return 0.0; }, [] { return true; }, nullptr, &trace);
    EXPECT_TRUE(trace.abandoned);
    EXPECT_DOUBLE_EQ(duty, 100.0);
    EXPECT_EQ(trace.trials.size(), 1u);
}

TEST(UtilityDutySearch, AFlatObjectiveEndsWithinTheStepBounds) {
    double duty = 100.0;
    optimiser::DutySearchTrace trace;
    int judged = 0;
    optimiser::SearchDuty(duty, 1.0, [&](double q) { duty = q; }, [&] { return 1.0 - 1e-3 * ++judged; }, nullptr,
                          nullptr, &trace);
    EXPECT_LE(trace.trials.size(), 1u + 60u + 60u);
}

TEST(FeasibilityFactors, TryDownwardsThenUpwardsThenRestoreTheStart) {
    std::vector<double> trials;
    const bool found = optimiser::RestoreByFactors(100.0, [&](double q) { trials.push_back(q); }, [] { return false; });
    EXPECT_FALSE(found);
    ASSERT_EQ(trials.size(), 20u);
    for (int i = 0; i < 10; ++i) EXPECT_NEAR(trials[static_cast<std::size_t>(i)], 90.0 - 10.0 * i, 1e-9);
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(trials[static_cast<std::size_t>(10 + i)], 110.0 + 10.0 * i, 1e-9);
    EXPECT_DOUBLE_EQ(trials.back(), 100.0);

    trials.clear();
    double last = 0.0;
    EXPECT_TRUE(optimiser::RestoreByFactors(
        100.0,
        [&](double q) {
            trials.push_back(q);
            last = q;
        },
        [&] { return last > 125.0; }));
    EXPECT_NEAR(trials.back(), 130.0, 1e-9);
    EXPECT_EQ(trials.size(), 13u);
}

TEST(SmallDutyRescue, StopsAfterEightTenfoldReductionsKeepingTheLast) {
    std::vector<double> trials;
    const double kept = optimiser::RescueSmallDuty(500.0, [&](double q) { trials.push_back(q); }, [] { return false; });
    ASSERT_EQ(trials.size(), 8u);
    EXPECT_NEAR(trials.front(), 50.0, 1e-12);
    EXPECT_NEAR(kept, 500.0e-8, 1e-18);
    trials.clear();
    EXPECT_NEAR(optimiser::RescueSmallDuty(500.0, [&](double q) { trials.push_back(q); }, [&] { return trials.size() == 2; }),
                5.0, 1e-12);
}

// ---------------------------------------------------------------- the run

TEST(OptimiserRun, MovesAFreeDutyToTheMinimumWithinFifteenPasses) {
    AnalyticNetwork net;
    net.offered.freeDuties = {100.0};
    net.objective = [](const Point& p) { return (p[0] - 70) * (p[0] - 70) / 100 + 1; };
    NetworkOptimiser opt(net, "D");
    EXPECT_EQ(opt.Run(0, true, false), NetworkOptimiser::Improved);
    EXPECT_NEAR(net.actual.back()[0], 70.0, 1.0);
    EXPECT_LE(opt.OuterIteration(), 15);
    EXPECT_EQ(Session::Instance().BusyDepth(), 0);
}

TEST(OptimiserRun, TheFirstPassKeepsTheSharesThenBothMove) {
    AnalyticNetwork net;
    net.offered.freeDuties = {100.0};
    net.offered.splitterBranches = {2};
    net.offered.splitFractions = {0.5, 0.5};
    net.objective = [](const Point& p) { return (p[0] - 80) * (p[0] - 80) / 100 + 10 * (p[1] - 0.3) * (p[1] - 0.3) + 1; };
    NetworkOptimiser opt(net, "D");
    EXPECT_EQ(opt.Run(0, true, true), NetworkOptimiser::Improved);
    ASSERT_GT(opt.OuterIteration(), 1);
    // Until the first pass ends every point keeps the present shares.
    std::size_t firstMove = 0;
    while (firstMove < net.written.size() && net.written[firstMove][1] == 0.5) ++firstMove;
    ASSERT_LT(firstMove, net.written.size());
    EXPECT_NEAR(net.actual.back()[1], 0.3, 0.05);
}

TEST(OptimiserRun, WithoutVariablesOnlyTheUtilityDutiesAreSearched) {
    AnalyticNetwork net;
    net.flaggedDuties = {100.0};
    net.dutyObjective = [](const std::vector<double>& d) { return (d[0] - 90) * (d[0] - 90) + 1; };
    NetworkOptimiser opt(net, "D");
    EXPECT_EQ(opt.Run(0, false, true), NetworkOptimiser::Unchanged);
    EXPECT_TRUE(net.written.empty());
    EXPECT_NEAR(net.flaggedDuties[0], 89.988, 1e-9);
}

TEST(OptimiserRun, SubNetworksOfOneUnitAreNotSearched) {
    AnalyticNetwork net;
    net.unitsPerSubNetwork = 1;
    net.offered.freeDuties = {100.0};
    NetworkOptimiser opt(net, "D");
    EXPECT_EQ(opt.Run(0, true, true), NetworkOptimiser::Unchanged);
    EXPECT_EQ(net.subNetworkSearches, 0);
}

TEST(OptimiserRun, ModeThreeMakesTheNetworkFeasibleFirst) {
    AnalyticNetwork net;
    net.infeasible = true;
    net.feasibleDuty = [](double q) { return q <= 60.0 + 1e-9; };
    net.offered.freeDuties = {100.0};
    NetworkOptimiser opt(net, "D");
    EXPECT_EQ(opt.Run(3, true, false), NetworkOptimiser::Improved);
    ASSERT_EQ(net.restoringTrials.size(), 4u);
    EXPECT_NEAR(net.restoringTrials.back(), 60.0, 1e-9);
    // The shares follow the branch duties before and after the search.
    EXPECT_EQ(net.branchDutyCalls, 2);
}

TEST(OptimiserRun, ModeThreeGivesUpWhenTheNetworkStaysInfeasible) {
    AnalyticNetwork net;
    net.infeasible = true;
    net.endApproachesOK = false;
    net.feasibleDuty = [](double) { return false; };
    NetworkOptimiser opt(net, "D");
    EXPECT_EQ(opt.Run(3, true, false), NetworkOptimiser::Unchanged);
    EXPECT_STREQ(opt.GetStatusText(), NetworkOptimiser::FailedText);
    EXPECT_EQ(net.restoringTrials.size(), 20u);
    EXPECT_DOUBLE_EQ(net.restoringTrials.back(), 100.0);
    EXPECT_EQ(net.subNetworkSearches, 0);
}

// A search that meets no feasible point still keeps the best of its penalised points; ending
// there is no improvement. One feasible region reached is.
TEST(OptimiserRun, ARunEndingInfeasibleIsNotImproved) {
    for (const bool reachable : {false, true}) {
        SCOPED_TRACE(reachable);
        AnalyticNetwork net;
        net.offered.freeDuties = {100.0};
        net.objective = [](const Point& p) { return (p[0] - 70) * (p[0] - 70) / 100 + 1; };
        net.feasibleAt = [reachable](const Point& p) { return reachable && p[0] <= 100.0 + 1e-9; };
        NetworkOptimiser opt(net, "D");
        EXPECT_EQ(opt.Run(0, true, false), reachable ? NetworkOptimiser::Improved : NetworkOptimiser::Unchanged);
    }
}

TEST(OptimiserRun, TheEquationBasedPathIsReportedAsFailed) {
    AnalyticNetwork net;
    net.offered.freeDuties = {100.0};
    NetworkOptimiser opt(net, "D");
    opt.SetUseEquationBased(true);
    Session::Instance().ClearEvents(SessionEvent::Status);
    EXPECT_EQ(opt.Run(0, true, true), NetworkOptimiser::Unchanged);
    EXPECT_EQ(net.subNetworkSearches, 0);
    const std::vector<SessionEntry> lines = Session::Instance().Entries(SessionEvent::Status);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(std::string(lines[0].text), NetworkOptimiser::EquationBasedText);
    EXPECT_EQ(lines[0].number, 2);
    EXPECT_EQ(std::string(lines[1].text), "Equation-based optimization run failed  ...");
}

}  // namespace
