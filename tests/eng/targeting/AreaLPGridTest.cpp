// A scenario whose own intervals make more load rows than the area LP is solved with is solved
// over an even grid of shifted temperatures: every process stream's ends move to the grid with its
// load kept. The answer must stay close to the LP over the scenario's own intervals, place every
// stream's whole load, fill the match records as that LP would, and be made afresh whenever the
// scenario changes. A table with more segments than the rows allowed is refused, and leaves no
// area of an earlier computation anywhere.
#include "AreaTestSupport.h"

#include "eng/model/MatchwiseStreamData.h"
#include "eng/targeting/AreaLP.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using area_test::CurveInputs;
using area_test::StreamScenario;

namespace {

struct Outcome : area_test::LPOutcome {
    double grid = 0.0;
    std::size_t rows = 0;
    // Sums over the scenario's match records.
    double matchCountercurrent = 0.0, matchShellAndTube = 0.0, matchLoad = 0.0;
};

Outcome Read(const AreaLP& lp, const MatchwiseStreamDataList* matches) {
    Outcome o;
    static_cast<area_test::LPOutcome&>(o) = area_test::OutcomeOf(lp);
    o.grid = lp.GetGridStep();
    o.rows = lp.GetRowCount();
    if (matches)
        for (int i = 0; i < matches->GetNumberOfMatches(); ++i) {
            o.matchLoad += matches->GetValueAt(i, 0);
            o.matchCountercurrent += matches->GetValueAt(i, 1);
            o.matchShellAndTube += matches->GetValueAt(i, 2);
        }
    return o;
}

// Rows of the scenario's own model, then the table solved with at most `share` of them.
struct GridCase {
    const char* name;
    unsigned seed;
    int streams;
    int option;
    double share;
};

void PrintTo(const GridCase& c, std::ostream* os) { *os << c.name; }

class AreaLPOverAGrid : public ::testing::TestWithParam<GridCase> {};

TEST_P(AreaLPOverAGrid, StaysCloseToTheOwnIntervalsAndPlacesEveryLoad) {
    const GridCase& t = GetParam();
    StreamScenario s;
    area_test::AddRandomForbiddenTable(s, t.seed, t.streams);
    CurveInputs c(s.Segments(), 10.0);
    AreaLP own;
    own.SetOption(t.option);
    own.Rebuild(c.segments, 10.0, 0.8, s.Matches());
    const Outcome exact = Read(own, s.Matches());
    ASSERT_EQ(exact.state, AreaLP::Computed);
    EXPECT_EQ(exact.grid, 0.0);

    AreaLP lp;
    lp.SetOption(t.option);
    const std::size_t most = static_cast<std::size_t>(t.share * static_cast<double>(exact.rows));
    lp.SetMaxRows(most);
    lp.Rebuild(c.segments, 10.0, 0.8, s.Matches());
    const Outcome grid = Read(lp, s.Matches());
    ASSERT_EQ(grid.state, AreaLP::Computed);
    EXPECT_GT(grid.grid, 0.0);
    EXPECT_LE(grid.rows, most);
    EXPECT_GT(grid.rows, 0u);
    // The LP's optimum moves with the ends (by up to half a step each, here 1.6 to 6 K on tables
    // of 60 and 80 streams: 0.2 to 1.5 %), and only by that.
    EXPECT_NEAR(grid.objective / exact.objective, 1.0, 0.02);
    if (t.option != AreaLP::ShellAndTubeOnly) {
        EXPECT_NEAR(grid.countercurrent / exact.countercurrent, 1.0, 0.025);
    }
    // The match records keep the last kind laid out (with both, shell-and-tube clears the rest).
    if (t.option == AreaLP::CountercurrentOnly) {
        EXPECT_NEAR(grid.matchCountercurrent / grid.countercurrent, 1.0, 1e-9);
    }
    if (t.option != AreaLP::CountercurrentOnly) {
        EXPECT_NEAR(grid.shellAndTube / exact.shellAndTube, 1.0, 0.025);
        EXPECT_NEAR(grid.shells / exact.shells, 1.0, 0.05);
        EXPECT_NEAR(grid.matchShellAndTube / grid.shellAndTube, 1.0, 1e-9);
    }
    // Every segment keeps its load on the grid: the heat exchanged between the streams is the same.
    EXPECT_NEAR(grid.matchLoad / exact.matchLoad, 1.0, 1e-9);

    // Nothing of the grid stays with the segments: the scenario's own LP solved afterwards gives
    // the same figures to the last bit.
    AreaLP again;
    again.SetOption(t.option);
    again.Rebuild(c.segments, 10.0, 0.8, s.Matches());
    const Outcome after = Read(again, s.Matches());
    EXPECT_EQ(after.objective, exact.objective);
    EXPECT_EQ(after.shellAndTube, exact.shellAndTube);
    EXPECT_EQ(after.countercurrent, exact.countercurrent);
}

INSTANTIATE_TEST_SUITE_P(
    RandomTables, AreaLPOverAGrid,
    ::testing::Values(GridCase{"Seed3Streams60HalfTheRowsShellAndTube", 3, 60, AreaLP::ShellAndTubeOnly, 0.5},
                      GridCase{"Seed3Streams60AThirdOfTheRowsBoth", 3, 60, AreaLP::Both, 0.34},
                      GridCase{"Seed11Streams80HalfTheRowsCountercurrent", 11, 80, AreaLP::CountercurrentOnly, 0.5},
                      GridCase{"Seed11Streams80TwoThirdsOfTheRowsBoth", 11, 80, AreaLP::Both, 0.67}),
    [](const ::testing::TestParamInfo<GridCase>& info) { return std::string(info.param.name); });

// A change of film coefficient reaches the grid: the record builder's refresh (code 18) answers as
// a rebuild from the changed streams does, not from the grid of the computation before.
TEST(AreaLPOverAGridRefresh, AFilmCoefficientChangeIsSolvedAfresh) {
    StreamScenario s;
    area_test::AddRandomForbiddenTable(s, 5, 30);
    CurveInputs c(s.Segments(), 10.0);
    c.in.matches = s.Matches();
    c.in.minimumFFactor = 0.8;
    AreaLP* lp = AreaLP::Update(nullptr, c.in, 36, AreaLP::ShellAndTubeOnly);
    ASSERT_NE(lp, nullptr);
    const std::size_t own = lp->GetRowCount();
    delete lp;

    // Shell-and-tube over at most half the rows of the table's own intervals.
    auto onGrid = [&](AreaLP& lp) {
        lp.SetOption(AreaLP::ShellAndTubeOnly);
        lp.SetMaxRows(own / 2);
        lp.Rebuild(c.segments, 10.0, 0.8, s.Matches());
    };
    AreaLP refreshed;
    onGrid(refreshed);
    const Outcome before = Read(refreshed, s.Matches());
    ASSERT_EQ(before.state, AreaLP::Computed);
    ASSERT_GT(before.grid, 0.0);

    for (StreamSegment* seg : c.segments)
        if (seg->pStream && seg->pStream->GetName() == CPString("S1")) seg->dFilmCoefficient *= 0.25;
    ASSERT_EQ(AreaLP::Update(&refreshed, c.in, 18), &refreshed);
    const Outcome after = Read(refreshed, s.Matches());

    AreaLP rebuilt;
    onGrid(rebuilt);
    const Outcome fresh = Read(rebuilt, s.Matches());
    EXPECT_EQ(after.state, AreaLP::Computed);
    EXPECT_GT(after.shellAndTube, before.shellAndTube);
    EXPECT_EQ(after.shellAndTube, fresh.shellAndTube);
    EXPECT_EQ(after.shells, fresh.shells);
    EXPECT_EQ(after.grid, fresh.grid);
}

// More segments than rows allowed: no grid can hold them, the table is refused with every result 0,
// and the match records keep no area from the computation before.
TEST(AreaLPOverAGridRefusal, MoreSegmentsThanRowsLeavesNoAreaAnywhere) {
    StreamScenario s;
    area_test::AddRandomForbiddenTable(s, 3, 24);
    CurveInputs c(s.Segments(), 10.0);
    AreaLP lp;
    lp.SetOption(AreaLP::Both);
    lp.Rebuild(c.segments, 10.0, 0.8, s.Matches());
    const Outcome solved = Read(lp, s.Matches());
    ASSERT_EQ(solved.state, AreaLP::Computed);
    ASSERT_GT(solved.matchShellAndTube, 0.0);

    lp.SetMaxRows(c.segments.size() - 1);
    lp.Rebuild(c.segments, 10.0, 0.8, s.Matches());
    const Outcome refused = Read(lp, s.Matches());
    EXPECT_EQ(refused.state, AreaLP::TooLarge);
    EXPECT_EQ(refused.countercurrent, 0.0);
    EXPECT_EQ(refused.shellAndTube, 0.0);
    EXPECT_EQ(refused.shells, 0.0);
    EXPECT_EQ(refused.matchCountercurrent, 0.0);
    EXPECT_EQ(refused.matchShellAndTube, 0.0);
    EXPECT_EQ(refused.matchLoad, 0.0);
}

}  // namespace
