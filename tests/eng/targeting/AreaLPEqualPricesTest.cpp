// The area LP of whole scenarios whose film coefficients take few values (two here): the columns
// of the rows of one interval pair then cost the same and close cycles of no cost, while the row
// prices lie near the price of the unplaced heat, a thousand times a column's. The simplex must
// settle all the same, to the optimum of the same LP solved whole (every candidate column at once)
// by the general LP solver; a table of many streams with two hot utilities is timed by
// BM_HostAreaLPTwoHotUtilities (bench/HostScaleBench.cpp).
#include "brasko/DefaultUtilityTypes.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/targeting/AreaLP.h"
#include "eng/targeting/AreaTarget.h"
#include "tests/support/FourStreamProject.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

namespace {

struct Row {
    const char* name;
    double supply, target, cp, h;
};

struct EqualPriceCase {
    const char* name;
    std::vector<Row> process;
    std::vector<const char*> utilities;
    const char* hot;
    const char* cold;
};

void PrintTo(const EqualPriceCase& c, std::ostream* os) { *os << c.name; }

class AreaLPEqualPrices : public ::testing::TestWithParam<EqualPriceCase> {};

TEST_P(AreaLPEqualPrices, TheSimplexSettlesAtTheOptimumOfTheWholeModel) {
    const EqualPriceCase& c = GetParam();
    FourStreamProject p(false);
    ASSERT_NE(p.scenario, nullptr);
    p.scenario->SuspendCalculations();
    for (const Row& r : c.process) {
        ASSERT_TRUE(p.AddProcess(r.name, r.supply, r.target, r.cp)) << r.name;
        ASSERT_TRUE(p.Stream(r.name)->SetValue("CHTCoeff", r.h, 0)) << r.name;
    }
    // A utility takes the approach its default asks for, as a table's utility row of a name alone
    // does.
    IDefaultUtilityManager* defaults = nullptr;
    ASSERT_EQ(p.scenario->GetDefaultUtilityManager(defaults), 1);
    for (const char* name : c.utilities) {
        ASSERT_TRUE(p.AddUtility(name)) << name;
        const double approach = defaults->GetValue(name, DUP_DTminContribution);
        ASSERT_TRUE(std::isfinite(approach) && approach >= 0.0) << name;
        ASSERT_EQ(p.Stream(name)->SetDTminContribution(approach, "Local", 0, 1), 1) << name;
    }
    p.scenario->ResumeCalculations(true);
    // The match is forbidden on the targets of the table, as a user forbids it.
    p.scenario->SuspendCalculations();
    ASSERT_EQ(p.Stream(c.hot)->LinkStream(c.cold), 1);
    p.scenario->EndForbiddenMatchChanges();
    p.scenario->SetAreaTargetOption(AreaLP::Both);
    p.scenario->ResumeCalculations(true);

    ASSERT_EQ(p.scenario->GetAreaTargetMethod(), 1);
    ASSERT_EQ(p.scenario->GetAreaTargetState(), 1);
    const AreaTarget* record = p.scenario->GetAreaTargetRecord();
    ASSERT_TRUE(record && record->pLP && record->pLP->HasModel());
    const AreaLP& lp = *record->pLP;
    // A settled simplex makes a few pivots a row; one going round a cycle makes thousands.
    EXPECT_LT(static_cast<double>(lp.GetPivots()), 100.0 * static_cast<double>(lp.GetRowCount()));

    // The same LP over the scenario's own segments with every column, solved whole by the general
    // LP solver for shell-and-tube exchange (the kind the scenario's solve ended with, from the
    // countercurrent optimum): the same optimum. The area is laid out from the flows, and with
    // so many columns of equal price the two solvers pick different flows of the same cost: the
    // areas agree less closely, and the shells (a few dozen, counted per exchanger the flows
    // make) not at all.
    SegmentRefs segments;
    for (StreamSegment* s : *p.scenario->GetSegmentPool()) segments.push_back(s);
    const double countercurrent = lp.GetCountercurrentArea(), shellAndTube = lp.GetShellAndTubeArea();
    const double shells = lp.GetShells(), optimum = lp.GetModel()->dObjectiveValue;
    EXPECT_NEAR(p.scenario->GetAreaTarget(0), countercurrent, 1e-9 * countercurrent);
    EXPECT_NEAR(p.scenario->GetAreaTarget(1), shellAndTube, 1e-9 * shellAndTube);
    AreaLP whole;
    whole.SetOption(AreaLP::ShellAndTubeOnly);
    whole.SetMethod(AreaLP::Method::FullModel);
    whole.Rebuild(segments, p.scenario->GetDTmin(), p.scenario->GetMinimumFFactor(), p.scenario->GetMatchwiseStreamData());
    ASSERT_EQ(whole.GetState(), AreaLP::Computed);
    ASSERT_EQ(whole.GetRowCount(), lp.GetRowCount());
    EXPECT_NEAR(optimum, whole.GetModel()->dObjectiveValue, 1e-9 * optimum);
    EXPECT_NEAR(shellAndTube, whole.GetShellAndTubeArea(), 3e-3 * whole.GetShellAndTubeArea());
    EXPECT_GT(shells, 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, AreaLPEqualPrices,
    ::testing::Values(
        // Sixteen streams drawn at random (seed 176) with film coefficients of 0.5 and 1, and
        // the utilities of a 300-stream table that went round one cycle for hours: 604 load rows,
        // and the simplex went round a cycle of six columns until its pivot limit (then "the
        // loads could not be exchanged").
        EqualPriceCase{"sixteenStreamsTwoCoefficients",
                       {{"H0", 86.53, 69.20, 2.624, 0.5},    {"C1", 209.37, 246.56, 3.515, 1.0},
                        {"H2", 101.89, 90.69, 3.436, 1.0},   {"C3", 85.55, 155.32, 8.758, 1.0},
                        {"H4", 183.86, 140.59, 0.650, 1.0},  {"C5", 229.70, 281.66, 7.047, 0.5},
                        {"H6", 263.90, 104.21, 4.842, 1.0},  {"C7", 72.71, 148.78, 4.006, 1.0},
                        {"H8", 135.77, 80.48, 1.114, 1.0},   {"C9", 39.54, 64.36, 5.766, 1.0},
                        {"H10", 152.75, 121.77, 3.921, 0.5}, {"C11", 145.89, 245.14, 3.486, 0.5},
                        {"H12", 271.25, 100.29, 5.852, 1.0}, {"C13", 41.65, 165.74, 0.540, 1.0},
                        {"H14", 141.35, 84.26, 8.050, 0.5},  {"C15", 64.96, 116.47, 1.241, 0.5}},
                       {"HP Steam", "Cooling Water", "Fired Heat (1000)"},
                       "H0",
                       "C1"}));

}  // namespace
