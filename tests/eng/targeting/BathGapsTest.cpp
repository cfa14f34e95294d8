// The Bath area target where a composite curve has a gap (no stream over a range of
// temperatures, so its temperature jumps at one enthalpy): the merged points pair the two sides of
// each jump, an interval inside a jump carries no heat and needs no area or shells, the point
// below a hot gap counts for feasibility, and curves that touch where heat passes leave the target
// without a result (also after a recall).
#include "AreaTestSupport.h"
#include "TargetingFixtures.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/targeting/BathAreaTarget.h"

#include <gtest/gtest.h>

#include <cmath>

using area_test::CurveInputs;
using targeting_test::SegmentSet;

namespace {

TIList PointList(std::vector<std::pair<double, double>> temperatureAndEnthalpy) {
    std::vector<KindedBoundary> boundaries;
    for (auto [t, h] : temperatureAndEnthalpy) boundaries.push_back(KindedBoundary{t, h, 8});
    TIList list(8);
    list.SetBoundaries(boundaries);
    return list;
}

struct Point {
    double H, Th, Tc;
};

void ExpectPoints(const std::vector<BathInterval>& points, const std::vector<Point>& expected) {
    ASSERT_EQ(points.size(), expected.size());
    for (std::size_t k = 0; k < points.size(); ++k) {
        EXPECT_NEAR(points[k].dEnthalpy, expected[k].H, 1e-9) << k;
        EXPECT_NEAR(points[k].dHotTemperature, expected[k].Th, 1e-9) << k;
        EXPECT_NEAR(points[k].dColdTemperature, expected[k].Tc, 1e-9) << k;
    }
}

}  // namespace

// Both curves jump at H 100: the hot one from 150 to 300, the cold one from 140 to 290, its
// running sum 1e-12 short of the hot one's. Each side of the jump pairs with the other curve's
// same side: (150, 140) and (300, 290), 10 apart like every other point; a cold point paired
// with the hot curve below its jump would read 150 against 290.
TEST(BathGaps, BothSidesOfAJumpPairWithTheOtherCurvesSameSide) {
    const double roundOff = 100.0 - 1e-12;
    const TIList hot = PointList({{310, 200}, {300, 100}, {150, 100}, {50, 0}});
    const TIList cold = PointList({{300, 200}, {290, roundOff}, {140, roundOff}, {40, 0}});
    const std::vector<BathInterval> points = MergeCurvePoints(&hot, &cold, false);
    ExpectPoints(points, {{0, 50, 40}, {100, 150, 140}, {100, 300, 290}, {200, 310, 300}});
    for (const BathInterval& p : points) EXPECT_NEAR(p.dDifference, 10.0, 1e-9);
}

// A hot gap at a pinch (the hot process ends at 140, steam starts at 189.99) with the cold curve
// passing through: below the jump (140, 130), above it (189.99, 130).
TEST(BathGaps, AHotGapAtAPinchGivesThePinchPointAndThePointAboveIt) {
    const TIList hot = PointList({{190, 111.43}, {189.99, 60}, {140, 60}, {130, 0}});
    const TIList cold = PointList({{160, 111.43}, {125, 51.43}, {120, 51.43}, {110, 1.43}, {5.01, 1.43}, {5, 0}});
    const std::vector<BathInterval> points = MergeCurvePoints(&hot, &cold, false);
    const double at1 = 130.0 + 1.43 / 6.0, at51 = 130.0 + 51.43 / 6.0, at60 = 125.0 + 8.57 * 35.0 / 60.0;
    ExpectPoints(points, {{0, 130, 5},
                          {1.43, at1, 5.01},
                          {1.43, at1, 110},
                          {51.43, at51, 120},
                          {51.43, at51, 125},
                          {60, 140, at60},
                          {60, 189.99, at60},
                          {111.43, 190, 160}});
}

// The point below a hot gap is where the curves come closest: here the cold curve reaches 105
// at H 100 while the hot process ends at 100, so the curves cross there.
TEST(BathGaps, FeasibilityLooksAtThePointBelowAHotGap) {
    const TIList hot = PointList({{250, 200}, {200, 100}, {100, 100}, {50, 0}});
    const TIList cold = PointList({{180, 200}, {30, 0}});
    BathAreaTarget bath(10.0, 0.8, {});
    EXPECT_EQ(bath.IsFeasible(&hot, &cold), 0);
    const TIList safe = PointList({{170, 200}, {10, 0}});
    EXPECT_EQ(bath.IsFeasible(&hot, &safe), 1);
}

// Hot 150 -> 50 CP 1 and cold 40 -> 140 CP 1 (parallel, 10 apart) with an unused steam of no
// heat-capacity flow rate at 250 -> 249: it carries nothing, so it adds no point to the curves,
// no area and, above all, no shells. One interval of 100 kW between one hot and one cold stream:
// (100 + 100) / 10 = 20 m2 and the shells of that interval alone.
TEST(BathGaps, AnIntervalInsideAGapNeedsNoAreaAndNoShells) {
    SegmentSet set;
    set.Add(150, 50, 1.0)->strStreamName = "H";
    set.Add(40, 140, 1.0)->strStreamName = "C";
    StreamSegment* steam = set.Add(250, 249, 0.0, 1);
    steam->strStreamName = "Steam";
    for (StreamSegment* s : set.refs) s->dFilmCoefficient = 1.0;
    CurveInputs c(set.refs, 10.0);
    std::unique_ptr<BathAreaTarget> bath(BathAreaTarget::Update(nullptr, c.in, 36));
    ASSERT_TRUE(bath);
    EXPECT_EQ(bath->GetState(), BathAreaTarget::Computed);
    EXPECT_NEAR(bath->GetCountercurrentArea(), 20.0, 1e-9);
    const std::vector<BathInterval>& points = *bath->GetIntervals();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(bath->GetShells(), static_cast<int>(std::ceil(points[1].dShells)));
    EXPECT_GE(bath->GetShells(), 1);
}

// Curves that cross where heat passes: the target has no result, and a recalled one says so too.
TEST(BathGaps, NoDrivingForceSurvivesTheRecord) {
    const TIList hot = PointList({{150, 200}, {50, 0}});
    const TIList cold = PointList({{160, 200}, {30, 0}});
    BathAreaTarget bath(10.0, 0.8, {});
    bath.Calculate(&hot, &cold, {});
    ASSERT_EQ(bath.GetState(), BathAreaTarget::NoDrivingForce);
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(bath.Store(out));
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    BathAreaTarget read;
    ASSERT_TRUE(read.Recall(in));
    EXPECT_EQ(read.GetState(), BathAreaTarget::NoDrivingForce);
    EXPECT_EQ(read.GetCountercurrentArea(), 0.0);

    const TIList apart = PointList({{130, 200}, {30, 0}});
    BathAreaTarget fine(10.0, 0.8, {});
    fine.Calculate(&hot, &apart, {});
    EXPECT_EQ(fine.GetState(), BathAreaTarget::Computed);
    EXPECT_EQ(BathAreaTarget().GetState(), BathAreaTarget::NotComputed);
}
