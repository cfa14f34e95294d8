// The combined heat cascade of a scenario (curve 5): the process streams and the utilities as
// placed, cascaded together in shifted temperatures, worked by hand on the four-stream problem
// at DTmin 10 with high-pressure steam (250 -> 249 C, shifted 245 -> 244) and cooling water
// (20 -> 25 C, shifted 25 -> 30).
#include "tests/support/FourStreamProject.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/targeting/CompositeCurves.h"

#include <gtest/gtest.h>

namespace {

constexpr double kTol = 1e-9;

struct CascadePoint {
    double temperature, heatFlow;
};

// From the top: the steam gives its 20 kW between 245 and 244; the process cascade follows as
// the grand composite curve (20 at 165, 80 at 145, 82.5 at 140, the pinch 0 at 85, 75 at 55);
// below 55 the process takes 0.5 kW/K down to 30 (62.5), where the cooling water (60 kW over
// 5 K, 12 kW/K) joins H2 (1.5) and C1 (2): 62.5 - 12.5 x 5 = 0 at 25.
constexpr CascadePoint kByHand[] = {{245.0, 0.0}, {244.0, 20.0},  {165.0, 20.0}, {145.0, 80.0}, {140.0, 82.5},
                                    {85.0, 0.0},  {55.0, 75.0},   {30.0, 62.5},  {25.0, 0.0}};

void expectByHand(const IHeatIntegrationScenario& s) {
    ASSERT_EQ(9, s.GetNumberOfCurvePoints(5));
    for (int i = 0; i < 9; ++i) {
        EXPECT_NEAR(kByHand[i].temperature, s.GetTargetCurveValue(5, 0, i), kTol) << i;
        EXPECT_NEAR(kByHand[i].heatFlow, s.GetTargetCurveValue(5, 1, i), kTol) << i;
    }
}

TEST(CombinedCascade, FourStreamsWithSteamAndCoolingWaterByHand) {
    FourStreamProject p;
    ASSERT_TRUE(p.AddUtility("HP Steam"));
    ASSERT_TRUE(p.AddUtility("Cooling Water"));
    expectByHand(*p.scenario);
    // Outside the curve, and for another coordinate, the query answers 0.0.
    EXPECT_EQ(0.0, p.scenario->GetTargetCurveValue(5, 1, 9));
    EXPECT_EQ(0.0, p.scenario->GetTargetCurveValue(5, 1, -1));
    EXPECT_EQ(0.0, p.scenario->GetTargetCurveValue(5, 2, 0));
}

TEST(CombinedCascade, FollowsTheStreamsAndIsEmptyWithoutPlacedUtilities) {
    FourStreamProject p;
    EXPECT_EQ(0, p.scenario->GetNumberOfCurvePoints(5)) << "no utilities: the balanced curves have no points";
    ASSERT_TRUE(p.AddUtility("HP Steam"));
    ASSERT_TRUE(p.AddUtility("Cooling Water"));
    // H1's CP from 3 to 2: the hot utility rises to 100 kW (pinch 85 shifted), the cold one
    // falls to 30 kW; the cascade stays balanced and touches 0 at the pinch.
    ASSERT_EQ(1, p.Stream("H1")->SetValue("HeatCapacityFlowrate", 2.0, 0));
    const IHeatIntegrationScenario& s = *p.scenario;
    const int n = s.GetNumberOfCurvePoints(5);
    ASSERT_GT(n, 2);
    EXPECT_NEAR(0.0, s.GetTargetCurveValue(5, 1, 0), kTol);
    EXPECT_NEAR(100.0, s.GetTargetCurveValue(5, 1, 1), kTol) << "below the steam: its 100 kW";
    EXPECT_NEAR(0.0, s.GetTargetCurveValue(5, 1, n - 1), 1e-6) << "the utilities balance the process";
    double lowest = 1e300;
    for (int i = 0; i < n; ++i) {
        if (i > 0) {
            EXPECT_LT(s.GetTargetCurveValue(5, 0, i), s.GetTargetCurveValue(5, 0, i - 1)) << "from the top down";
        }
        lowest = std::min(lowest, s.GetTargetCurveValue(5, 1, i));
    }
    EXPECT_NEAR(0.0, lowest, 1e-6) << "heat never flows upwards";
}

TEST(CombinedCascade, RecalledCurvesGiveTheSameCascade) {
    FourStreamProject p;
    ASSERT_TRUE(p.AddUtility("HP Steam"));
    ASSERT_TRUE(p.AddUtility("Cooling Water"));
    const CompositeCurves* record = p.scenario->GetCompositeCurvesRecord();
    ASSERT_NE(nullptr, record);
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(StoreCompositeCurves(*record, w));
    ASSERT_TRUE(w.Commit());
    LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
    CompositeCurves back;
    ASSERT_TRUE(RecallCompositeCurves(back, r));
    const auto& cascade = back.GetCombinedCascade();
    ASSERT_EQ(9u, cascade.size());
    for (std::size_t i = 0; i < cascade.size(); ++i) {
        EXPECT_NEAR(kByHand[i].temperature, cascade[i].x, kTol) << i;
        EXPECT_NEAR(kByHand[i].heatFlow, cascade[i].y, kTol) << i;
    }
    back.Clear();
    EXPECT_TRUE(back.GetCombinedCascade().empty());
}

}  // namespace
