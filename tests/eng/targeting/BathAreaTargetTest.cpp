// The Bath area target: areas worked by hand on the balanced composite curves, the merged-point
// edge cases, the per-region shells, near-pinch points and feasibility, the match records it
// fills, its builder's codes and its record.
#include "AreaTestSupport.h"
#include "TargetingFixtures.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/targeting/BathAreaTarget.h"
#include "pellin/FFactor.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cmath>

using area_test::CurveInputs;
using targeting_test::SegmentSet;

namespace {

double Lmtd(double a, double b) { return std::fabs(a - b) >= 1e-4 ? (a - b) / std::log(a / b) : 0.5 * (a + b); }

TIList PointList(std::vector<std::pair<double, double>> temperatureAndEnthalpy) {
    std::vector<KindedBoundary> boundaries;
    for (auto [t, h] : temperatureAndEnthalpy) boundaries.push_back(KindedBoundary{t, h, 8});
    TIList list(8);
    list.SetBoundaries(boundaries);
    return list;
}

void SetFilm(SegmentSet& set, double h) {
    for (StreamSegment* s : set.refs) s->dFilmCoefficient = h;
}

}  // namespace

// ---------------------------------------------------------------- two streams, one interval

struct TwoStreamCase {
    double h;
    double area;
};
static void PrintTo(const TwoStreamCase& c, std::ostream* os) {
    *os << "h " << c.h << " kW/m2.C: " << c.area << " m2";
}

class BathTwoStreams : public ::testing::TestWithParam<TwoStreamCase> {};

// Hot 150 -> 50 and cold 30 -> 130, both CP 2: the curves run parallel 20 apart, so
// A = (200/h + 200/h) / 20.
TEST_P(BathTwoStreams, AreaIsTheLoadOverUTimesTheConstantDifference) {
    SegmentSet set;
    set.Add(150, 50, 2.0);
    set.Add(30, 130, 2.0);
    SetFilm(set, GetParam().h);
    CurveInputs c(set.refs, 10.0);
    std::unique_ptr<BathAreaTarget> bath(BathAreaTarget::Update(nullptr, c.in, 36));
    ASSERT_TRUE(bath);
    EXPECT_NEAR(bath->GetCountercurrentArea(), GetParam().area, 1e-9);

    double F = 0.0, shells = 0.0;
    g_CalculateFFactorAndShells(50, 150, 30, 130, 0.8, F, shells, 0, 0);
    EXPECT_NEAR(bath->GetShellAndTubeArea(), GetParam().area / F, 1e-9);
    // One interval between one hot and one cold stream: 2 N - N shells.
    EXPECT_EQ(bath->GetShells(), static_cast<int>(std::ceil(shells)));
    ASSERT_EQ(bath->GetNumberOfIntervals(), 2);
    // The sums of |CP|/h belong to the lower point, the interval's values to the upper one.
    const BathInterval& bottom = (*bath->GetIntervals())[0];
    const BathInterval& top = (*bath->GetIntervals())[1];
    EXPECT_DOUBLE_EQ(top.dLMTD, 20.0);
    EXPECT_DOUBLE_EQ(bottom.dHotSum, 2.0 / GetParam().h);
    EXPECT_DOUBLE_EQ(bottom.dColdSum, 2.0 / GetParam().h);
    EXPECT_DOUBLE_EQ(top.dHotSum, 0.0);
}

INSTANTIATE_TEST_SUITE_P(FilmCoefficients, BathTwoStreams,
                         ::testing::Values(TwoStreamCase{1.0, 20.0}, TwoStreamCase{0.2, 100.0},
                                           TwoStreamCase{0.5, 40.0}));

// ---------------------------------------------------------------- the four-stream problem

// H1 170 -> 60 CP 3, H2 150 -> 30 CP 1.5, C1 20 -> 135 CP 2, C2 80 -> 140 CP 4 at DTmin 10, with
// HP Steam (250 -> 249, h 6) carrying the 20 kW of hot utility and Cooling Water (20 -> 25,
// h 3.75) the 60 kW of cold utility; process coefficients 0.2.
//
// Balanced hot curve (T, H): (30, 0) (60, 45) (150, 450) (170, 510) (249, 510) (250, 530).
// Balanced cold curve:       (20, 0) (25, 70) (80, 180) (135, 510) (140, 530).
// Merged points (H, Th, Tc) after interpolation, the ends dropped and the repeated point at
// (510, 249, 135) merged:
//   (0, 30, 20) (45, 60, 23.214) (70, 65.556, 25) (180, 90, 80) (450, 150, 125) (510, 170, 135)
//   (510, 249, 135) (530, 250, 140)
// Intervals: load term = sum over the streams below of q / h, with sum |CP|/h of the lower point:
//   1: hot H2 7.5;       cold C1 + CW 10 + 3.2 = 13.2  -> 30 x 7.5 + 3.2143 x 13.2
//   2: hot H1 + H2 22.5; cold C1 + CW 13.2             -> 5.5556 x 22.5 + 1.7857 x 13.2
//   3: hot 22.5;         cold C1 10                    -> 24.444 x 22.5 + 55 x 10 = 1100
//   4: hot 22.5;         cold C1 + C2 30               -> 60 x 22.5 + 45 x 30 = 2700
//   5: hot H1 15;        cold 30                       -> 20 x 15 + 10 x 30 = 600
//   6: no hot stream (the steam gap); cold C2 20; no cold temperature change -> 0
//   7: hot steam 20/6;   cold C2 20                    -> 1 x 3.3333 + 5 x 20
struct FourStreamProblem {
    FourStreamProblem() {
        targeting_test::AddFourStreamProblem(set);
        SetFilm(set, 0.2);
        set.Add(250, 249, 20.0, 1)->dFilmCoefficient = 6.0;
        set.Add(20, 25, 12.0, 1)->dFilmCoefficient = 3.75;
    }
    SegmentSet set;
};

TEST(BathFourStreams, CountercurrentAreaMatchesTheIntervalsWorkedByHand) {
    FourStreamProblem p;
    CurveInputs c(p.set.refs, 10.0);
    c.in.pinchPoints = {PinchListEntry{90.0, 80.0, 0.0}};
    std::unique_ptr<BathAreaTarget> bath(BathAreaTarget::Update(nullptr, c.in, 36));
    ASSERT_TRUE(bath);

    const double th[] = {30, 60, 65.0 + 5.0 / 9.0, 90, 150, 170, 249, 250};
    const double tc[] = {20, 20 + 45.0 / 14.0, 25, 80, 125, 135, 135, 140};
    const double hot[] = {7.5, 22.5, 22.5, 22.5, 15, 0, 20.0 / 6.0};
    const double cold[] = {13.2, 13.2, 10, 30, 30, 20, 20};
    const std::vector<BathInterval>& points = *bath->GetIntervals();
    ASSERT_EQ(points.size(), 8u);
    double total = 0.0;
    for (std::size_t k = 0; k < points.size(); ++k) {
        EXPECT_NEAR(points[k].dHotTemperature, th[k], 1e-9) << k;
        EXPECT_NEAR(points[k].dColdTemperature, tc[k], 1e-9) << k;
        if (k == 0) continue;
        EXPECT_NEAR(points[k - 1].dHotSum, hot[k - 1], 1e-9) << k;
        EXPECT_NEAR(points[k - 1].dColdSum, cold[k - 1], 1e-9) << k;
        const double term = (th[k] - th[k - 1]) * hot[k - 1] + (tc[k] - tc[k - 1]) * cold[k - 1];
        const double lmtd = Lmtd(th[k - 1] - tc[k - 1], th[k] - tc[k]);
        EXPECT_NEAR(points[k].dLoadTerm, term, 1e-9) << k;
        EXPECT_NEAR(points[k].dLMTD, lmtd, 1e-9) << k;
        total += term / lmtd;
    }
    EXPECT_NEAR(bath->GetCountercurrentArea(), total, 1e-9);
    EXPECT_NEAR(bath->GetCountercurrentArea(), 253.296, 1e-3);

    // The pinch at (90, 80) splits the intervals 1-3 from 4-7.
    const std::vector<double>& regions = *bath->GetRegionCountercurrentAreas();
    ASSERT_EQ(regions.size(), 2u);
    double below = 0.0;
    for (int k = 1; k <= 3; ++k) below += points[static_cast<std::size_t>(k)].dCountercurrentArea;
    EXPECT_NEAR(regions[0], below, 1e-9);
    EXPECT_NEAR(regions[0] + regions[1], total, 1e-9);
}

TEST(BathFourStreams, NearPinchPointsAndFeasibility) {
    FourStreamProblem p;
    CurveInputs c(p.set.refs, 12.0);
    std::unique_ptr<BathAreaTarget> bath(BathAreaTarget::Update(nullptr, c.in, 36));
    // At DTmin 12 the process pinch (90, 80), 10 apart, is a near-pinch point; the point (30, 20)
    // is the lowest point and is not looked at.
    std::vector<PinchListEntry> list;
    bath->GetNearPinchPoints(list, 3);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_DOUBLE_EQ(list[0].dHotTemperature, 90.0);
    EXPECT_DOUBLE_EQ(list[0].dColdTemperature, 80.0);
    // Already listed: not added again.
    bath->GetNearPinchPoints(list, 3);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(bath->IsFeasible(*c.curve), 0);

    CurveInputs at10(p.set.refs, 10.0);
    std::unique_ptr<BathAreaTarget> feasible(BathAreaTarget::Update(nullptr, at10.in, 36));
    EXPECT_EQ(feasible->IsFeasible(*at10.curve), 1);
    std::vector<PinchListEntry> none;
    feasible->GetNearPinchPoints(none, 3);
    EXPECT_TRUE(none.empty());
}

// ---------------------------------------------------------------- merged points

TEST(BathMergedPoints, PointsCloserThanATenThousandthCollapse) {
    // The cold point at H 100.00005 lands 2.5e-5 above the hot point at H 100 on the hot side and
    // 5e-5 on the cold side: the hot point goes.
    const TIList hot = PointList({{150, 200}, {100, 100}, {50, 0}});
    const TIList cold = PointList({{130, 200}, {80.00005, 100.00005}, {30, 0}});
    const std::vector<BathInterval> points = MergeCurvePoints(&hot, &cold, false);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_DOUBLE_EQ(points[1].dEnthalpy, 100.00005);
    EXPECT_NEAR(points[1].dHotTemperature, 100.000025, 1e-9);

    // Half a degree apart on the hot side, both points stay.
    const TIList apart = PointList({{130, 200}, {80.5, 101}, {30, 0}});
    EXPECT_EQ(MergeCurvePoints(&hot, &apart, false).size(), 4u);
    // A curve without points gives none.
    const TIList empty = PointList({});
    EXPECT_TRUE(MergeCurvePoints(&hot, &empty, false).empty());
    EXPECT_TRUE(MergeCurvePoints(&hot, nullptr, false).empty());
}

TEST(BathMergedPoints, FeasibilityAlsoDropsPointsOfEqualEnthalpy) {
    // A hot gap (no hot stream between 100 and 120) puts two points at one enthalpy.
    const TIList hot = PointList({{150, 200}, {120, 100}, {100, 100}, {50, 0}});
    const TIList cold = PointList({{130, 200}, {30, 0}});
    EXPECT_EQ(MergeCurvePoints(&hot, &cold, false).size(), 4u);
    EXPECT_EQ(MergeCurvePoints(&hot, &cold, true).size(), 3u);
}

TEST(BathMergedPoints, CrossedOrTouchingCurvesGiveUnboundedAreaAndShells) {
    // The cold curve starts above the hot one at the top (a negative difference there), or on
    // it (no difference at all): either end gives no driving force.
    for (double coldTop : {160.0, 150.0}) {
        SCOPED_TRACE(coldTop);
        const TIList hot = PointList({{150, 200}, {50, 0}});
        const TIList cold = PointList({{coldTop, 200}, {30, 0}});
        BathAreaTarget bath(10.0, 0.8, {});
        bath.Calculate(&hot, &cold, {});
        ASSERT_EQ(bath.GetNumberOfIntervals(), 2);
        const BathInterval& top = (*bath.GetIntervals())[1];
        EXPECT_EQ(top.dLMTD, 1e-8);
        EXPECT_EQ(top.dFFactor, 1.0);
        EXPECT_EQ(top.dShells, 1e24);
        EXPECT_EQ(top.dCountercurrentArea, 1e24);
        EXPECT_EQ(top.dShellAndTubeArea, 1e24);
        // No segments lie across: the region counts no stream, and 10000 is the most a region adds.
        EXPECT_EQ(bath.GetShells(), 0);
        EXPECT_EQ(bath.IsFeasible(&hot, &cold), 0);
        // The markers stay in the interval; the totals are no results.
        EXPECT_EQ(bath.GetState(), BathAreaTarget::NoDrivingForce);
        EXPECT_EQ(bath.GetCountercurrentArea(), 0.0);
        EXPECT_EQ(bath.GetShellAndTubeArea(), 0.0);
    }
}

// ---------------------------------------------------------------- region shells

struct RegionShellCase {
    const char* name;
    std::vector<double> intervalShells;  // shells of the intervals above points 0, 1, ...
    bool withPinch;
    double regionShells;  // of region 0 (all intervals below the pinch)
};

class BathRegionShells : public ::testing::TestWithParam<RegionShellCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const RegionShellCase& c, std::ostream* os) { *os << c.name; }

// Points on a line below a pinch at (500, 490); one hot stream A and one cold stream B lie
// across every interval.
TEST_P(BathRegionShells, EachStreamCountsAtLeastOneShell) {
    const RegionShellCase& c = GetParam();
    SegmentSet set;
    StreamSegment* a = set.Add(400, 0, 1.0);
    StreamSegment* b = set.Add(0, 400, 1.0);
    a->strStreamName = "A";
    b->strStreamName = "B";
    std::vector<BathInterval> points;
    for (std::size_t k = 0; k <= c.intervalShells.size(); ++k) {
        BathInterval p;
        p.dHotTemperature = 20.0 + 10.0 * static_cast<double>(k);
        p.dColdTemperature = 10.0 + 10.0 * static_cast<double>(k);
        p.dShells = k == 0 ? 0.0 : c.intervalShells[k - 1];
        points.push_back(p);
    }
    BathAreaTarget bath(10.0, 0.8, c.withPinch ? std::vector<PinchListEntry>{{500.0, 490.0, 0.0}} : std::vector<PinchListEntry>{});
    bath.SetIntervals(points);
    const auto all = static_cast<std::uint32_t>(points.size());
    bath.SetSegmentSpans({{a, 0, 0, all}, {b, 1, 0, all}});
    bath.ComputeRegionShells();
    ASSERT_EQ(bath.GetRegionShells()->size(), c.withPinch ? 2u : 1u);
    EXPECT_NEAR((*bath.GetRegionShells())[0], c.regionShells, 1e-12) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, BathRegionShells,
    ::testing::Values(
        // 2 x 2.5 - 2.5.
        RegionShellCase{"streams share the shells", {1.5, 1.0}, true, 2.5},
        // Each stream has 0.5 < 1: counts 1; the total 0.5 is raised to 1 with a pinch list.
        RegionShellCase{"less than a shell is one", {0.2, 0.3}, true, 1.0},
        // Without a pinch list the raw total is taken: 2 - 0.5.
        RegionShellCase{"raw total without pinch list", {0.2, 0.3}, false, 1.5},
        // Nothing but the streams themselves.
        RegionShellCase{"zero shells", {0.0, 0.0}, true, 2.0}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    });

// ---------------------------------------------------------------- match records

class BathMatchDistribution : public ::testing::TestWithParam<int> {};

// Two hot streams and one cold stream, h = 1 everywhere; the capital-cost kind decides what the
// match records receive. Each record's area is its hot stream's share of the total.
TEST_P(BathMatchDistribution, SpreadsTheAreaOverTheMatches) {
    const int kind = GetParam();
    area_test::StreamScenario s;
    CPIHeatIntegrationStream* h1 = s.Add("H1", 150, 50, 1.0, 1.0);
    CPIHeatIntegrationStream* h2 = s.Add("H2", 150, 50, 1.0, 1.0);
    CPIHeatIntegrationStream* c1 = s.Add("C1", 30, 130, 2.0, 1.0);
    ASSERT_TRUE(h1 && h2 && c1);
    const SegmentRefs segments = s.Segments();
    ASSERT_EQ(segments.size(), 3u);
    CurveInputs c(segments, 10.0);
    c.in.matches = s.Matches();
    c.in.capitalCostTargetKind = [kind] { return kind; };
    MatchwiseStreamData* m1 = s.Matches()->FindMatch(h1, c1);
    MatchwiseStreamData* m2 = s.Matches()->FindMatch(h2, c1);
    ASSERT_TRUE(m1 && m2);
    m1->dFourthValue = 7.0;  // shells of a countercurrent distribution stay

    std::unique_ptr<BathAreaTarget> bath(BathAreaTarget::Update(nullptr, c.in, 36));
    // A = (100 + 100 + 200) / 20 = 20; each hot stream's match takes half.
    EXPECT_NEAR(bath->GetCountercurrentArea(), 20.0, 1e-9);
    const double shells = (*bath->GetIntervals())[1].dShells;
    const double F = (*bath->GetIntervals())[1].dFFactor;
    for (MatchwiseStreamData* m : {m1, m2}) {
        EXPECT_DOUBLE_EQ(m->dFirstValue, 100.0);
        EXPECT_DOUBLE_EQ(m->dMatchValue, 0.5);
        if (kind == 2) {
            EXPECT_NEAR(m->dCountercurrentArea, 10.0, 1e-9);
            EXPECT_EQ(m->dShellAndTubeArea, 0.0);
        } else {
            EXPECT_NEAR(m->dShellAndTubeArea, 10.0 / F, 1e-9);
            EXPECT_EQ(m->dCountercurrentArea, 0.0);
            EXPECT_DOUBLE_EQ(m->dFourthValue, shells);
        }
    }
    if (kind == 2) {
        EXPECT_EQ(m1->dFourthValue, 7.0);
    }

    // A second update lays the values down afresh rather than adding to them.
    bath.reset(BathAreaTarget::Update(bath.release(), c.in, 36));
    EXPECT_DOUBLE_EQ(m1->dFirstValue, 100.0);
    EXPECT_DOUBLE_EQ(m1->dMatchValue, 0.5);
}

INSTANTIATE_TEST_SUITE_P(CapitalCostKinds, BathMatchDistribution, ::testing::Values(2, 3));

// ---------------------------------------------------------------- the builder's codes

struct CodeCase {
    int code;
    int method;          // utility assignment method
    bool placementValid;
    bool computes;       // an existing target is recomputed
};
void PrintTo(const CodeCase& c, std::ostream* os) {
    *os << "code " << c.code << ", method " << c.method
        << (c.placementValid ? ", placement valid" : ", placement invalid")
        << (c.computes ? ": recomputed" : ": kept");
}

class BathUpdateCodes : public ::testing::TestWithParam<CodeCase> {};

TEST_P(BathUpdateCodes, ComputesOnlyOnTheCodesThatAskForIt) {
    const CodeCase& cc = GetParam();
    SegmentSet set;
    set.Add(150, 50, 2.0);
    set.Add(30, 130, 2.0);
    SetFilm(set, 1.0);
    CurveInputs c(set.refs, 10.0);
    std::unique_ptr<BathAreaTarget> bath(BathAreaTarget::Update(nullptr, c.in, 36));
    ASSERT_NEAR(bath->GetCountercurrentArea(), 20.0, 1e-9);

    SetFilm(set, 0.5);  // a recomputation would double the area
    c.in.utilityAssignmentMethod = cc.method;
    c.in.placementValid = cc.placementValid;
    BathAreaTarget* kept = BathAreaTarget::Update(bath.get(), c.in, cc.code);
    EXPECT_EQ(kept, bath.get());
    const double expected = !cc.computes ? 20.0 : cc.placementValid ? 40.0 : 0.0;
    EXPECT_NEAR(bath->GetCountercurrentArea(), expected, 1e-9);

    // Without a target the codes that compute nothing create none.
    std::unique_ptr<BathAreaTarget> fresh(BathAreaTarget::Update(nullptr, c.in, cc.code));
    EXPECT_EQ(fresh != nullptr, cc.computes);
}

INSTANTIATE_TEST_SUITE_P(Codes, BathUpdateCodes,
                         ::testing::Values(CodeCase{16, 0, true, false}, CodeCase{19, 0, true, false},
                                           CodeCase{4, 0, true, false}, CodeCase{4, 1, true, false},
                                           CodeCase{4, 2, true, true}, CodeCase{18, 0, true, true},
                                           CodeCase{36, 0, true, true}, CodeCase{35, 0, false, true}));

// ---------------------------------------------------------------- the record

TEST(BathRecord, RoundTripKeepsEveryInterval) {
    FourStreamProblem p;
    CurveInputs c(p.set.refs, 10.0);
    c.in.pinchPoints = {PinchListEntry{90.0, 80.0, 0.0}};
    c.in.minimumFFactor = 0.75;
    std::unique_ptr<BathAreaTarget> bath(BathAreaTarget::Update(nullptr, c.in, 36));

    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(bath->Store(out));
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    BathAreaTarget read;
    ASSERT_TRUE(read.Recall(in));
    EXPECT_EQ(read.GetCountercurrentArea(), bath->GetCountercurrentArea());
    EXPECT_EQ(read.GetShellAndTubeArea(), bath->GetShellAndTubeArea());
    EXPECT_EQ(read.GetShells(), bath->GetShells());
    EXPECT_EQ(read.GetDTmin(), 10.0);
    EXPECT_EQ(read.GetMinimumFFactor(), 0.75);
    EXPECT_EQ(*read.GetRegionShells(), *bath->GetRegionShells());
    EXPECT_EQ(*read.GetRegionCountercurrentAreas(), *bath->GetRegionCountercurrentAreas());
    EXPECT_EQ(*read.GetRegionShellAndTubeAreas(), *bath->GetRegionShellAndTubeAreas());
    ASSERT_EQ(read.GetNumberOfIntervals(), bath->GetNumberOfIntervals());
    for (int k = 0; k < read.GetNumberOfIntervals(); ++k)
        for (int v = 0; v < BathInterval::StoredValues; ++v)
            EXPECT_EQ((*read.GetIntervals())[static_cast<std::size_t>(k)].Value(v),
                      (*bath->GetIntervals())[static_cast<std::size_t>(k)].Value(v));
}
