// The area LP: its columns and rows, agreement with the Bath formula, forbidden pairs, the layout
// of the heat along the intervals, the per-match values, its builder's codes and the temporary
// approach temperatures it computes at.
#include "AreaTestSupport.h"
#include "TargetingFixtures.h"

#include "dunmor/Exceptions.h"
#include "eng/targeting/AreaLP.h"
#include "eng/targeting/BathAreaTarget.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cmath>
#include <cstdio>
#include <random>

using area_test::CurveInputs;
using area_test::StreamScenario;
using targeting_test::SegmentSet;

namespace {

namespace V = AreaLPColumnValue;

std::unique_ptr<AreaLP> Solve(CurveInputs& c, int option) {
    return std::unique_ptr<AreaLP>(AreaLP::Update(nullptr, c.in, 36, option));
}

double BathArea(CurveInputs& c, int kind) {
    std::unique_ptr<BathAreaTarget> bath(BathAreaTarget::Update(nullptr, c.in, 36));
    return kind == 0 ? bath->GetCountercurrentArea() : bath->GetShellAndTubeArea();
}

// The four-stream problem with its two utilities as streams of the scenario; `utilityH` gives the
// steam and cooling water their own film coefficients (else they take `h`).
void AddFourStreams(StreamScenario& s, double h, bool utilityH) {
    s.Add("H1", 170, 60, 3.0, h);
    s.Add("H2", 150, 30, 1.5, h);
    s.Add("C1", 20, 135, 2.0, h);
    s.Add("C2", 80, 140, 4.0, h);
    s.Add("Steam", 250, 249, 20.0, utilityH ? 6.0 : h);
    s.Add("Water", 20, 25, 12.0, utilityH ? 3.75 : h);
}

// Random process streams balanced by a hot stream above them and a cold one below them, at
// DTmin 10; film coefficients h, or drawn from [0.1, 2] when h is 0.
void AddRandomBalanced(StreamScenario& s, unsigned seed, int count, double h) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> t(40.0, 300.0), cp(1.0, 10.0), film(0.1, 2.0);
    for (int i = 0; i < count; ++i) {
        double a = t(rng), b = t(rng);
        while (std::fabs(a - b) < 5.0) b = t(rng);
        s.Add("S" + std::to_string(i), a, b, cp(rng), h > 0.0 ? h : film(rng));
    }
    const targeting_test::CascadeResult r = targeting_test::ProblemTable(s.Segments());
    if (r.hot > 1e-9) s.Add("HU", 400, 399, r.hot, h > 0.0 ? h : film(rng));
    if (r.cold > 1e-9) s.Add("CU", 10, 11, r.cold, h > 0.0 ? h : film(rng));
}

}  // namespace

// ---------------------------------------------------------------- the model

// Segments of every kind, no streams: the columns (generated, so a subset of those the member
// lists allow) never join a hot utility to a cold utility nor a cold interval above the hot one.
TEST(AreaLPModel, ColumnsPairEveryHotSegmentWithTheColdOnesAtOrBelowIt) {
    SegmentSet set;
    set.Add(200, 100, 1.0);       // hot process
    set.Add(250, 249, 5.0, 1);    // hot utility
    set.Add(150, 60, 2.0, 2);     // hot linked (no stream: never forbidden)
    set.Add(50, 180, 1.0);        // cold process
    set.Add(20, 25, 4.0, 1);      // cold utility
    set.Add(70, 120, 1.0, 2);     // cold linked
    for (StreamSegment* s : set.refs) s->dFilmCoefficient = 1.0;
    set.Shift(10.0);
    CurveInputs c(set.refs, 10.0);
    std::unique_ptr<AreaLP> lp = Solve(c, AreaLP::CountercurrentOnly);
    ASSERT_TRUE(lp->HasModel());
    const LPProblem& model = *lp->GetModel();

    // The count the model was sized by, from the member lists of the intervals.
    const TIList& intervals = *lp->GetIntervals();
    const int n = lp->GetIntervalCount();
    ASSERT_EQ(n, intervals.GetNumberOfBoundaries() - 1);
    std::size_t expectedColumns = 0, expectedRows = 0;
    for (int i = 0; i < n; ++i) {
        const auto hot = intervals.GetMembers(i, AllHotMembers);
        expectedRows += hot.size() + intervals.GetMembers(i, AllColdMembers).size();
        for (const StreamSegment* h : hot)
            for (int j = i; j < n; ++j)
                for (const StreamSegment* cold : intervals.GetMembers(j, AllColdMembers))
                    if (!(h->nKind == 1 && cold->nKind == 1)) ++expectedColumns;
    }
    EXPECT_GT(model.columns.size(), 0U);
    EXPECT_LE(model.columns.size(), expectedColumns);
    EXPECT_GT(expectedRows, 0U);
    for (const LPMatchColumn& col : model.columns) {
        EXPECT_FALSE(col.pHotSegment->nKind == 1 && col.pColdSegment->nKind == 1);
        EXPECT_LE(col.nHotIntervalIndex, col.nColdIntervalIndex);
        EXPECT_GT(col.dCoefficient, 0.0);
    }
    // Intervals no wider than max(12, 4 x the narrowest).
    for (int i = 0; i < n; ++i) EXPECT_LE(intervals.GetWidth(i), 12.0 + 1e-9);
    // Without match records only the temperatures are laid out: every result stays 0.
    EXPECT_EQ(lp->GetCountercurrentArea(), 0.0);
    EXPECT_EQ(lp->GetShells(), 0.0);
}

TEST(AreaLPModel, DifferencesOfTheIntervalBoundaries) {
    SegmentSet set;
    set.Add(150, 50, 2.0);
    set.Add(30, 130, 2.0);
    CurveInputs c(set.refs, 10.0);
    std::unique_ptr<AreaLP> lp = Solve(c, AreaLP::CountercurrentOnly);
    // At the temporary DTmin of 2 the boundaries run from 149 to 31; the curves stand 20 apart
    // wherever both run, so no interval there is wider than a tenth of that.
    const TIList& t = *lp->GetIntervals();
    const int n = t.GetNumberOfBoundaries();
    ASSERT_GT(n, 5);
    EXPECT_DOUBLE_EQ(t.GetTemperature(0), 149.0);
    EXPECT_DOUBLE_EQ(t.GetTemperature(n - 1), 31.0);
    for (int i = 0; i + 1 < n; ++i) EXPECT_LE(t.GetWidth(i), 2.0 + 1e-9) << i;
    EXPECT_DOUBLE_EQ(lp->TopDifference(1, 3), t.GetTemperature(1) - t.GetTemperature(3));
    EXPECT_DOUBLE_EQ(lp->BottomDifference(1, 3), t.GetTemperature(2) - t.GetTemperature(4));
}

// ---------------------------------------------------------------- against the Bath formula

struct TwoStreamCase {
    double h;
    double area;
};
static void PrintTo(const TwoStreamCase& c, std::ostream* os) {
    *os << "h " << c.h << " kW/m2.C: " << c.area << " m2";
}

class AreaLPTwoStreams : public ::testing::TestWithParam<TwoStreamCase> {};

// Hot 150 -> 50, cold 30 -> 130, CP 2: whatever the columns the LP picks, the layout puts the
// heat where the curves run 20 apart, so the countercurrent area is exactly Bath's.
TEST_P(AreaLPTwoStreams, CountercurrentAreaIsTheBathArea) {
    StreamScenario s;
    s.Add("H", 150, 50, 2.0, GetParam().h);
    s.Add("C", 30, 130, 2.0, GetParam().h);
    CurveInputs c(s.Segments(), 10.0);
    c.in.matches = s.Matches();
    std::unique_ptr<AreaLP> lp = Solve(c, AreaLP::CountercurrentOnly);
    EXPECT_NEAR(lp->GetCountercurrentArea(), GetParam().area, 1e-6);
    EXPECT_NEAR(BathArea(c, 0), GetParam().area, 1e-9);
    const MatchwiseStreamData* m = s.Matches()->GetMatch(0);
    EXPECT_NEAR(m->dCountercurrentArea, GetParam().area, 1e-6);
    EXPECT_NEAR(m->dFirstValue, 200.0, 1e-6);
    EXPECT_NEAR(m->dMatchValue, 1.0, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(FilmCoefficients, AreaLPTwoStreams,
                         ::testing::Values(TwoStreamCase{1.0, 20.0}, TwoStreamCase{0.2, 100.0}));

struct ComparisonCase {
    const char* name;
    int problem;     // 0 four streams with their utilities, 1.. a random balanced problem (seed)
    double h;        // equal film coefficients; 0: unequal
};

class AreaLPAgainstBath : public ::testing::TestWithParam<ComparisonCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const ComparisonCase& c, std::ostream* os) { *os << c.name; }

// With equal coefficients vertical heat transfer needs the least area, and the LP's layout comes
// within 0.1 % of it; with unequal coefficients the LP may do better, never worse.
TEST_P(AreaLPAgainstBath, AgreesWithEqualAndDoesNoWorseWithUnequalCoefficients) {
    const ComparisonCase& cc = GetParam();
    StreamScenario s;
    if (cc.problem == 0) AddFourStreams(s, cc.h > 0.0 ? cc.h : 0.2, cc.h == 0.0);
    else AddRandomBalanced(s, static_cast<unsigned>(cc.problem), 8, cc.h);
    CurveInputs c(s.Segments(), 10.0);
    c.in.matches = s.Matches();
    const double bath = BathArea(c, 0);
    std::unique_ptr<AreaLP> lp = Solve(c, AreaLP::CountercurrentOnly);
    ASSERT_GT(bath, 0.0);
    if (cc.h > 0.0) EXPECT_NEAR(lp->GetCountercurrentArea() / bath, 1.0, 1e-3) << cc.name;
    else EXPECT_LE(lp->GetCountercurrentArea(), bath * 1.001) << cc.name;
    EXPECT_GT(lp->GetCountercurrentArea(), 0.0);
    // The match records add up to the total.
    double sum = 0.0;
    for (int i = 0; i < s.Matches()->GetNumberOfMatches(); ++i) sum += s.Matches()->GetMatch(i)->dCountercurrentArea;
    EXPECT_NEAR(sum, lp->GetCountercurrentArea(), 1e-6 * bath);
}

INSTANTIATE_TEST_SUITE_P(Problems, AreaLPAgainstBath,
                         ::testing::Values(ComparisonCase{"fourStreamsEqual", 0, 0.2},
                                           ComparisonCase{"fourStreamsUnequal", 0, 0.0},
                                           ComparisonCase{"random1Equal", 1, 0.5},
                                           ComparisonCase{"random2Equal", 2, 1.0},
                                           ComparisonCase{"random3Unequal", 3, 0.0},
                                           ComparisonCase{"random4Unequal", 4, 0.0}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- forbidden pairs

TEST(AreaLPForbidden, ALinkedPairGetsNoColumnAndNoArea) {
    StreamScenario s;
    s.Add("H1", 150, 50, 1.0, 0.5);
    s.Add("H2", 150, 50, 1.0, 0.5);
    s.Add("C1", 30, 130, 1.0, 0.5);
    s.Add("C2", 30, 130, 1.0, 0.5);
    CurveInputs free(s.Segments(), 10.0);
    free.in.matches = s.Matches();
    const double bath = BathArea(free, 0);

    ASSERT_EQ(s.scenario->FindStream("H1")->LinkStream("C1"), 1);
    CurveInputs c(s.Segments(), 10.0);
    c.in.matches = s.Matches();
    std::unique_ptr<AreaLP> lp = Solve(c, AreaLP::CountercurrentOnly);
    const IHeatIntegrationStream* h1 = s.scenario->FindStream("H1");
    const IHeatIntegrationStream* c1 = s.scenario->FindStream("C1");
    for (const LPMatchColumn& col : lp->GetModel()->columns)
        EXPECT_FALSE(col.pHotSegment->pStream == h1 && col.pColdSegment->pStream == c1);
    const MatchwiseStreamData* forbidden = s.Matches()->FindMatch(h1, c1);
    EXPECT_EQ(forbidden->dCountercurrentArea, 0.0);
    EXPECT_EQ(forbidden->dFirstValue, 0.0);
    // H1 all to C2 and H2 all to C1 still run parallel: no more area than without the ban.
    EXPECT_NEAR(lp->GetCountercurrentArea(), bath, 0.02 * bath);
    EXPECT_NEAR(s.Matches()->FindMatch(h1, s.scenario->FindStream("C2"))->dFirstValue, 100.0, 1e-6);
}

// ---------------------------------------------------------------- layout, options and shells

// One hot segment against two cold ones: the LP may give the top interval's heat to one cold
// segment only and make the other take heat from its own interval, yet the heat is laid down as
// slices of the composite curves, so every flowing column sees the curves' 20 degrees.
TEST(AreaLPLayout, HeatMeetsItsPartnersAsOnTheBalancedCurves) {
    StreamScenario s;
    s.Add("H", 150, 50, 2.0, 1.0);
    s.Add("C1", 30, 130, 1.0, 1.0);
    s.Add("C2", 30, 130, 1.0, 1.0);
    CurveInputs c(s.Segments(), 10.0);
    c.in.matches = s.Matches();
    std::unique_ptr<AreaLP> lp = Solve(c, AreaLP::CountercurrentOnly);
    int flowing = 0;
    for (const LPMatchColumn& col : lp->GetModel()->columns) {
        if (!(std::fabs(col.dFlow) > 1e-8)) continue;
        ++flowing;
        ASSERT_TRUE(col.pValues);
        const std::vector<double>& v = *col.pValues;
        // Shifted differences plus the two shifts of 1 at the temporary DTmin of 2.
        EXPECT_NEAR(v[V::HotTop] - v[V::ColdTop] + 2.0, 20.0, 1e-9);
        EXPECT_NEAR(v[V::HotBottom] - v[V::ColdBottom] + 2.0, 20.0, 1e-9);
        EXPECT_NEAR(v[V::Area], col.dFlow * 2.0 / 20.0, 1e-9);
    }
    EXPECT_GT(flowing, 2);
    EXPECT_NEAR(lp->GetCountercurrentArea(), 20.0, 0.02);
    EXPECT_NEAR(s.Matches()->GetMatch(0)->dCountercurrentArea + s.Matches()->GetMatch(1)->dCountercurrentArea,
                lp->GetCountercurrentArea(), 1e-9);
}

TEST(AreaLPOptions, BothRunsCountercurrentFirstAndTheRecordsKeepShellAndTube) {
    StreamScenario s;
    s.Add("H", 150, 50, 2.0, 1.0);
    s.Add("C", 30, 130, 2.0, 1.0);
    CurveInputs c(s.Segments(), 10.0);
    c.in.matches = s.Matches();
    std::unique_ptr<AreaLP> lp = Solve(c, AreaLP::Both);
    EXPECT_NEAR(lp->GetCountercurrentArea(), 20.0, 1e-6);
    EXPECT_GT(lp->GetShellAndTubeArea(), 20.0);
    const MatchwiseStreamData* m = s.Matches()->GetMatch(0);
    EXPECT_EQ(m->dCountercurrentArea, 0.0);
    EXPECT_NEAR(m->dShellAndTubeArea, lp->GetShellAndTubeArea(), 1e-9);
    EXPECT_NEAR(m->dFirstValue, 200.0, 1e-6);
    // The pair's shells, rounded up to a whole number in the total.
    EXPECT_GE(lp->GetShells(), 1.0);
    EXPECT_EQ(lp->GetShells(), std::ceil(m->dFourthValue < 1.0 ? 1.0 : m->dFourthValue));

    // On shell-and-tube exchangers the countercurrent area comes too, for the views to show: the
    // results are those of option 2.
    std::unique_ptr<AreaLP> only = Solve(c, AreaLP::ShellAndTubeOnly);
    EXPECT_EQ(only->GetCountercurrentArea(), lp->GetCountercurrentArea());
    EXPECT_EQ(only->GetShellAndTubeArea(), lp->GetShellAndTubeArea());
    EXPECT_EQ(only->GetShells(), lp->GetShells());
    std::unique_ptr<AreaLP> none = Solve(c, 7);
    EXPECT_EQ(none->GetShellAndTubeArea(), 0.0);
    EXPECT_EQ(none->GetCountercurrentArea(), 0.0);
}

// A short exchange far from any approach limit needs one shell, F staying above the minimum.
TEST(AreaLPOptions, AShortWideApartExchangeNeedsOneShell) {
    StreamScenario s;
    s.Add("H", 200, 190, 1.0, 1.0);
    s.Add("C", 20, 30, 1.0, 1.0);
    CurveInputs c(s.Segments(), 10.0);
    c.in.matches = s.Matches();
    std::unique_ptr<AreaLP> lp = Solve(c, AreaLP::ShellAndTubeOnly);
    EXPECT_EQ(lp->GetShells(), 1.0);
    EXPECT_GT(lp->GetShellAndTubeArea(), 0.0);
}

TEST(AreaLPSolve, AnInfeasibleModelLeavesEveryResultZero) {
    StreamScenario s;
    s.Add("H", 150, 50, 2.0, 1.0);
    s.Add("C", 100, 130, 2.0, 1.0);  // takes 60 of the 200 the hot stream must give
    CurveInputs c(s.Segments(), 10.0);
    c.in.matches = s.Matches();
    std::unique_ptr<AreaLP> lp = Solve(c, AreaLP::Both);
    EXPECT_EQ(lp->GetCountercurrentArea(), 0.0);
    EXPECT_EQ(lp->GetShellAndTubeArea(), 0.0);
    EXPECT_EQ(lp->GetShells(), 0.0);
}

// ---------------------------------------------------------------- the builder's codes

struct LPCodeCase {
    int code;
    int method;
    bool placementValid;
    double area;  // after the film coefficients were halved (40 recomputed, 20 kept)
};
void PrintTo(const LPCodeCase& c, std::ostream* os) {
    *os << "code " << c.code << ", method " << c.method
        << (c.placementValid ? ", placement valid" : ", placement invalid") << ": " << c.area << " m2";
}

class AreaLPUpdateCodes : public ::testing::TestWithParam<LPCodeCase> {};

TEST_P(AreaLPUpdateCodes, RebuildsOrRefreshesOnlyWhenAsked) {
    const LPCodeCase& cc = GetParam();
    StreamScenario s;
    s.Add("H", 150, 50, 2.0, 1.0);
    s.Add("C", 30, 130, 2.0, 1.0);
    CurveInputs c(s.Segments(), 10.0);
    c.in.matches = s.Matches();
    std::unique_ptr<AreaLP> lp = Solve(c, AreaLP::CountercurrentOnly);
    ASSERT_NEAR(lp->GetCountercurrentArea(), 20.0, 1e-6);
    for (StreamSegment* seg : c.segments) seg->dFilmCoefficient = 0.5;
    c.in.utilityAssignmentMethod = cc.method;
    c.in.placementValid = cc.placementValid;
    EXPECT_EQ(AreaLP::Update(lp.get(), c.in, cc.code), lp.get());
    EXPECT_NEAR(lp->GetCountercurrentArea(), cc.area, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Codes, AreaLPUpdateCodes,
                         ::testing::Values(LPCodeCase{16, 0, true, 20.0}, LPCodeCase{19, 0, true, 20.0},
                                           LPCodeCase{4, 0, true, 20.0}, LPCodeCase{4, 2, true, 40.0},
                                           LPCodeCase{18, 0, true, 40.0}, LPCodeCase{18, 0, false, 20.0},
                                           LPCodeCase{36, 0, true, 40.0}, LPCodeCase{36, 0, false, 20.0}));

TEST(AreaLPUpdate, NothingIsBuiltWithoutSegmentsOrAValidPlacement) {
    AreaTargetInputs in;
    in.placementValid = true;
    EXPECT_EQ(AreaLP::Update(nullptr, in, 36), nullptr);  // no segment list
    SegmentRefs none;
    in.segments = &none;
    in.placementValid = false;
    EXPECT_EQ(AreaLP::Update(nullptr, in, 36), nullptr);
    EXPECT_EQ(AreaLP::Update(nullptr, in, 18), nullptr);
    in.placementValid = true;
    std::unique_ptr<AreaLP> lp(AreaLP::Update(nullptr, in, 18, AreaLP::Both));
    ASSERT_TRUE(lp);
    EXPECT_EQ(lp->GetOption(), AreaLP::Both);
}

// ---------------------------------------------------------------- temporary approach temperatures

TEST(AreaLPContributions, TheSegmentsGetTheirOwnApproachBackAfterwards) {
    StreamScenario s;
    s.Add("H", 150, 50, 2.0, 1.0);
    s.Add("C", 30, 130, 2.0, 1.0);
    CPIHeatIntegrationStream* local = s.Add("L", 120, 40, 1.0, 1.0);
    local->SetDTminContribution(16.0, "Local", 0, 0);
    const SegmentRefs segments = s.Segments();
    struct Before {
        double in, out;
        ValueAndFlag contribution;
    };
    std::vector<Before> before;
    for (const StreamSegment* seg : segments)
        before.push_back({seg->dShiftedInletTemperature, seg->dShiftedOutletTemperature, seg->DTminContribution});

    SegmentSet utility;  // a placed utility: its placed shifted temperature survives
    StreamSegment* steam = utility.Add(250, 240, 1.0, 1);
    steam->ShiftTemperatures(10.0);
    steam->pLink->dShiftedFarEndTemperature = 244.0;
    SegmentRefs all = segments;
    all.push_back(steam);

    AreaLP lp;
    lp.Rebuild(all, 10.0, 0.8, nullptr);
    // During the computation the global streams stood 1 apart and the local one kept its 8.
    const TIList& t = *lp.GetIntervals();
    EXPECT_DOUBLE_EQ(t.GetTemperature(0), 249.0);
    bool localBoundary = false;
    for (int i = 0; i < t.GetNumberOfBoundaries(); ++i) localBoundary = localBoundary || t.GetTemperature(i) == 112.0;
    EXPECT_TRUE(localBoundary);

    for (std::size_t k = 0; k < segments.size(); ++k) {
        EXPECT_EQ(segments[k]->dShiftedInletTemperature, before[k].in) << k;
        EXPECT_EQ(segments[k]->dShiftedOutletTemperature, before[k].out) << k;
        EXPECT_EQ(segments[k]->DTminContribution, before[k].contribution) << k;
    }
    EXPECT_EQ(steam->pLink->dShiftedFarEndTemperature, 244.0);
    EXPECT_EQ(steam->dShiftedInletTemperature, 245.0);
}
