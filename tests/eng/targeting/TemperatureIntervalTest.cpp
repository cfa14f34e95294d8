// Temperature-interval lists: boundaries and membership by mode, subdivision, the record, the
// i-th boundary and interpolation on a point curve.
#include "TargetingFixtures.h"

#include "brasko/LurmetBinaryFile.h"
#include "dunmor/Exceptions.h"
#include "eng/targeting/CurveInterpolation.h"
#include "eng/targeting/TemperatureInterval.h"
#include "tests/support/RecordHarness.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cmath>

namespace {

using targeting_test::SegmentSet;

std::vector<double> Temperatures(const TIList& list) {
    std::vector<double> t;
    for (int i = 0; i < list.GetNumberOfBoundaries(); ++i) t.push_back(list.GetTemperature(i));
    return t;
}

TEST(TIListTest, FourStreamProblemGivesShiftedBoundariesAndSpans) {
    SegmentSet set;
    targeting_test::AddFourStreamProblem(set);
    set.Shift(10.0);
    TIList list(0);
    list.Build(set.refs);

    EXPECT_EQ(Temperatures(list), (std::vector<double>{165, 145, 140, 85, 55, 25}));
    // H1 165->55 lies in intervals 0..3, H2 145->25 in 1..4, C1 25->140 in 2..4, C2 85->145 in 1..2.
    const int expected[4][3] = {{0, 4, 3}, {1, 4, 4}, {2, 3, 4}, {1, 2, 2}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(set.refs[i]->nFirstInterval, expected[i][0]);
        EXPECT_EQ(set.refs[i]->nIntervalCount, expected[i][1]);
        EXPECT_EQ(set.refs[i]->nLastInterval, expected[i][2]);
    }
    EXPECT_EQ(list.GetMembers(2, AllHotMembers), (SegmentRefs{set.refs[0], set.refs[1]}));
    EXPECT_EQ(list.GetMembers(2, ColdProcessMembers), (SegmentRefs{set.refs[2], set.refs[3]}));
    EXPECT_TRUE(list.GetMembers(2, HotUtilityMembers).empty());
    EXPECT_TRUE(list.GetMembers(5, AllHotMembers).empty());
    EXPECT_EQ(list.SumHeatCapacityFlowrates(AllHotMembers, false), (std::vector<double>{3, 4.5, 4.5, 4.5, 1.5, 0}));
    EXPECT_EQ(list.SumHeatCapacityFlowrates(AllColdMembers, false), (std::vector<double>{0, 4, 6, 2, 2, 0}));
    EXPECT_EQ(list.CountMembers(AllColdMembers), (std::vector<int>{0, 1, 2, 1, 1, 0}));
    EXPECT_EQ(list.GetWidth(2), 55.0);
    EXPECT_EQ(list.GetWidth(5), 0.0);
}

TEST(TIListTest, AnIntervalThreeStepsWideGetsThreeNewBoundariesWithInterpolatedValues) {
    TIList list(5);
    list.SetBoundaries({{100, 40, 5}, {94, 28, 5}, {93, 0, 5}});
    // Narrowest 1 x factor 2: step 2. The 6-wide interval is three steps: four parts of 1.5.
    ASSERT_TRUE(list.Subdivide(0.0, 2.0));
    EXPECT_EQ(Temperatures(list), (std::vector<double>{100, 98.5, 97, 95.5, 94, 93}));
    EXPECT_DOUBLE_EQ(list.GetInterval(1)->dValue, 37.0);
    EXPECT_DOUBLE_EQ(list.GetInterval(3)->dValue, 31.0);
    EXPECT_EQ(list.GetKind(2), 5);
}

// The new boundaries of an interval take the kind of its upper boundary, also where the kinds of a
// list differ; a built list's boundaries keep the mode they were made by when the mode changes.
TEST(TIListTest, BoundaryKindsFollowTheIntervalSplitAndTheModeOfTheBuild) {
    TIList mixed(5);
    mixed.SetBoundaries({{100, 40, 5}, {94, 28, 6}, {93, 0, 7}});
    ASSERT_TRUE(mixed.Subdivide(0.0, 2.0));
    std::vector<int> kinds;
    for (int i = 0; i < mixed.GetNumberOfBoundaries(); ++i) kinds.push_back(mixed.GetKind(i));
    EXPECT_EQ(kinds, (std::vector<int>{5, 5, 5, 5, 6, 7}));
    EXPECT_EQ(mixed.GetKind(6), 0);

    SegmentSet set;
    set.Add(100, 60, 2.0);
    TIList built(3);
    built.Build(set.refs);
    built.SetMode(4);
    EXPECT_EQ(built.GetKind(0), 3);
    EXPECT_EQ(built.GetKind(1), 3);
}

// Narrowest 1.0, minimum step 18, factor 8: step 18. 17.875 stays whole, 18.0 is halved and 40.0
// goes into three parts.
TEST(TIListTest, SubdivisionStepIsTheLargerOfMinimumAndScaledNarrowest) {
    TIList list(5);
    list.SetBoundaries({{200, 0, 5}, {199, 0, 5}, {181.125, 0, 5}, {163.125, 0, 5}, {123.125, 0, 5}});
    ASSERT_TRUE(list.Subdivide(18.0, 8.0));
    const std::vector<double> t = Temperatures(list);
    ASSERT_EQ(t.size(), 8u);
    EXPECT_EQ(t[3], 172.125);
    EXPECT_NEAR(t[5], 163.125 - 40.0 / 3.0, 1e-12);
    EXPECT_NEAR(t[6], 163.125 - 80.0 / 3.0, 1e-12);
}

TEST(TIListTest, SubdivisionKeepsMembershipAndCountsTheNewIntervals) {
    SegmentSet set;
    set.Add(100, 60, 2.0);
    set.Add(80, 40, 1.0);
    TIList list(3);
    list.Build(set.refs);  // 100, 80, 60, 40
    ASSERT_TRUE(list.Subdivide(20.0, 0.0));  // every 20-wide interval halved
    EXPECT_EQ(Temperatures(list), (std::vector<double>{100, 90, 80, 70, 60, 50, 40}));
    EXPECT_EQ(set.refs[0]->nIntervalCount, 4);
    EXPECT_EQ(set.refs[1]->nIntervalCount, 4);
    EXPECT_EQ(list.GetMembers(1, AllHotMembers), (SegmentRefs{set.refs[0]}));
    EXPECT_EQ(list.GetMembers(3, AllHotMembers), (SegmentRefs{set.refs[0], set.refs[1]}));
    EXPECT_EQ(list.GetMembers(5, AllHotMembers), (SegmentRefs{set.refs[1]}));
    EXPECT_EQ(list.SumHeatCapacityFlowrates(AllHotMembers, false), (std::vector<double>{2, 2, 3, 3, 1, 1, 0}));
}

TEST(TIListTest, SubdivisionThatWouldGrowWithoutBoundIsRefused) {
    TIList list(5);
    list.SetBoundaries({{400, 0, 5}, {400 - 1e-9, 0, 5}, {20, 0, 5}});
    EXPECT_FALSE(list.Subdivide(0.0, 1.0));
    EXPECT_EQ(list.GetNumberOfBoundaries(), 3);
}

TEST(TIListRecordTest, RoundTripKeepsBoundariesValuesAndMode) {
    TIList list(7);
    list.SetBoundaries({{150.5, 12.25, 7}, {99, -3, 7}, {20, 0, 2}});
    TIList back(0), empty(4), backEmpty(0);
    ASSERT_TRUE(RoundTrips(list, back));
    ASSERT_TRUE(RoundTrips(empty, backEmpty));
    EXPECT_EQ(back.GetMode(), 7);
    ASSERT_EQ(back.GetNumberOfBoundaries(), 3);
    EXPECT_EQ(back.GetInterval(0)->dValue, 12.25);
    EXPECT_EQ(back.GetKind(2), 2);
    EXPECT_EQ(back.GetInterval(1)->dTemperature, 99.0);
    EXPECT_EQ(backEmpty.GetMode(), 4);
    EXPECT_FALSE(backEmpty.HasIntervals());
}

// Boundaries are sorted and compared: one that is not a finite number is damage.
TEST(TIListRecordTest, ANonFiniteBoundaryIsRefusedAndTheListKept) {
    for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        TIList damaged(0);
        damaged.SetBoundaries({{150, 1, 0}, {bad, 2, 0}, {50, 3, 0}});
        TIList held(9);
        held.SetBoundaries({{1, 1, 9}});
        const Bytes before = StoredBytes(held);
        EXPECT_FALSE(RecallBytes(held, StoredBytes(damaged))) << bad;
        EXPECT_EQ(StoredBytes(held), before) << bad;
    }
}

struct InterpolationCase {
    const char* name;
    std::vector<CurvePoint> curve;
    double x;
    double y;
};

class InterpolateOnCurveTest : public ::testing::TestWithParam<InterpolationCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const InterpolationCase& c, std::ostream* os) { *os << c.name; }

TEST_P(InterpolateOnCurveTest, ClampsAndInterpolates) {
    EXPECT_DOUBLE_EQ(InterpolateOnCurve(GetParam().curve, GetParam().x), GetParam().y);
}

const std::vector<CurvePoint> kCurve = {{10, 100}, {20, 50}, {40, 90}};

INSTANTIATE_TEST_SUITE_P(
    Curves, InterpolateOnCurveTest,
    ::testing::Values(InterpolationCase{"Empty", {}, 5, 0.0},
                      InterpolationCase{"OnePointBelow", {{30, 7}}, -100, 7},
                      InterpolationCase{"BelowFirst", kCurve, 0, 100},
                      InterpolationCase{"Between", kCurve, 15, 75},
                      InterpolationCase{"BetweenRising", kCurve, 35, 80},
                      InterpolationCase{"AboveLast", kCurve, 99, 90}),
    [](const ::testing::TestParamInfo<InterpolationCase>& info) { return info.param.name; });

}  // namespace
