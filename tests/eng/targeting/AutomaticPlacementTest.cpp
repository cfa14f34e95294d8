// Automatic utility placement by LP, worked by hand on the four-stream problem at DTmin 10
// (H1 170->60 CP 3, H2 150->30 CP 1.5, C1 20->135 CP 2, C2 80->140 CP 4; minimum hot utility 20,
// cold 60, pinch at 85 shifted). Its grand composite curve, heat flowing down across each shifted
// boundary: 165: 20, 145: 80, 140: 82.5, 85: 0, 55: 75, 25: 60; between 140 and 85 the process
// needs 1.5 kW/K, between 55 and 25 it needs 0.5 kW/K.
#include "tests/eng/targeting/PlacementTestSupport.h"

#include "eng/targeting/AutomaticUtilityPlacement.h"
#include "eng/targeting/EnergyTarget.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using placement_test::PlacementStream;
using placement_test::StreamSet;

namespace {

constexpr double kTol = 1e-7;

struct Utility {
    const char* name;
    double supply;
    double target;
    double cost;
    double expectedLoad;
};

struct LevelCase {
    const char* label;
    std::vector<Utility> utilities;
    // first (across the pinch), second (shortfall), status; hot side then cold side.
    double hot[3];
    double cold[3];
    int status;
};

std::ostream& operator<<(std::ostream& os, const LevelCase& c) { return os << c.label; }

class UtilityLevels : public ::testing::TestWithParam<LevelCase> {};

}  // namespace

TEST_P(UtilityLevels, LoadsAndSidesFollowTheGrandCompositeCurve) {
    const LevelCase& c = GetParam();
    StreamSet set;
    set.AddFourStreams();
    std::vector<PlacementStream*> utilities;
    for (const Utility& u : c.utilities) {
        PlacementStream& s = set.Add(u.name, u.supply, u.target, 0.0, 1);
        s.costIndex = u.cost;
        utilities.push_back(&s);
    }

    UtilityPlacementLP lp;
    ASSERT_TRUE(lp.Calculate(set.segments));
    EXPECT_FALSE(lp.HasFailed());
    for (std::size_t i = 0; i < utilities.size(); ++i) {
        SCOPED_TRACE(c.utilities[i].name);
        EXPECT_NEAR(lp.GetSegmentLoad(&utilities[i]->segment), c.utilities[i].expectedLoad, kTol);
        // The stream takes the load (targeting view, then network view) and the segment the rate.
        ASSERT_EQ(utilities[i]->loadsSet.size(), 2u);
        EXPECT_NEAR(utilities[i]->loadsSet[0].load, c.utilities[i].expectedLoad, kTol);
        EXPECT_EQ(utilities[i]->loadsSet[0].mode, 0);
        EXPECT_EQ(utilities[i]->loadsSet[1].mode, 1);
        EXPECT_EQ(utilities[i]->segment.pLink->nLoaded, c.utilities[i].expectedLoad > 1e-8 ? 1 : 0);
    }
    // Each side: the load placed on its utilities and the shortfall.
    EXPECT_NEAR(lp.GetHotSide().dFirst, lp.GetHotUtilityLoad(), kTol);
    EXPECT_NEAR(lp.GetHotSide().dSecond, c.hot[1], kTol);
    EXPECT_EQ(lp.GetHotSide().nStatus, TargetValue::StatusOf(lp.GetHotUtilityLoad(), c.hot[1]));
    EXPECT_NEAR(lp.GetColdSide().dFirst, lp.GetColdUtilityLoad(), kTol);
    EXPECT_NEAR(lp.GetColdSide().dSecond, c.cold[1], kTol);
    EXPECT_EQ(lp.GetColdSide().nStatus, TargetValue::StatusOf(lp.GetColdUtilityLoad(), c.cold[1]));
    EXPECT_EQ(lp.GetStatus(), c.status);
    EXPECT_NEAR(lp.GetMinimumHotUtility(), 20.0, kTol);
    EXPECT_NEAR(lp.GetMinimumColdUtility(), 60.0, kTol);
}

// Oil 200 -> 60 (shifted 195 -> 55) gives one rate over 140 K, of which the 110 K above the pinch
// must carry the 20 kW the process lacks there: 20 x 140 / 110 = 25.4545; the 5.4545 given below
// the pinch goes round to the cooling water.
constexpr double kOil = 20.0 * 140.0 / 110.0;

INSTANTIATE_TEST_SUITE_P(
    FourStreams, UtilityLevels,
    ::testing::Values(
        LevelCase{"SteamAndCoolingWater",
                  {{"HP Steam", 250, 249, 2.5e-6, 20.0}, {"Cooling Water", 20, 25, 2.12456e-7, 60.0}},
                  {0, 0, 0},
                  {0, 0, 0},
                  UtilityPlacementLP::PlacedOnly},
        // Low-pressure steam (shifted 95 -> 94) can serve what the process needs below 94: the
        // 1.5 kW/K down to the pinch (13.5) and across its own kelvin (1.5); the 5 kW needed
        // above 95 must come from the dearer high-pressure steam.
        LevelCase{"CheaperLowLevelFirst",
                  {{"HP Steam", 250, 249, 2.5e-6, 5.0},
                   {"LP Steam", 100, 99, 1.9e-6, 15.0},
                   {"Cooling Water", 20, 25, 2.12456e-7, 60.0}},
                  {0, 0, 0},
                  {0, 0, 0},
                  UtilityPlacementLP::PlacedOnly},
        LevelCase{"LowLevelOnlyFallsShort",
                  {{"LP Steam", 100, 99, 1.9e-6, 15.0}, {"Cooling Water", 20, 25, 2.12456e-7, 60.0}},
                  {0, 5, 1},
                  {0, 0, 0},
                  UtilityPlacementLP::PlacedAndShort},
        LevelCase{"WideOilAcrossThePinch",
                  {{"Hot Oil", 200, 60, 3.5e-6, kOil}, {"Cooling Water", 20, 25, 2.12456e-7, 60.0 + kOil - 20.0}},
                  {kOil - 20.0, 0, 2},
                  {kOil - 20.0, 0, 2},
                  UtilityPlacementLP::PlacedOnly},
        // Steam generation (shifted 129 -> 130) lies above the pinch: the 60 kW below it can only
        // leave the bottom of the cascade.
        LevelCase{"ColdUtilityTooWarm",
                  {{"HP Steam", 250, 249, 2.5e-6, 20.0}, {"LP Steam Generation", 124, 125, -1.89e-6, 0.0}},
                  {0, 0, 0},
                  {0, 60, 1},
                  UtilityPlacementLP::PlacedAndShort},
        LevelCase{"NoUtilities", {}, {0, 20, 1}, {0, 60, 1}, UtilityPlacementLP::ShortOnly},
        // A utility of one temperature gives its heat just below it.
        LevelCase{"IsothermalSteam",
                  {{"Steam", 250, 250, 2.5e-6, 20.0}, {"Cooling Water", 20, 25, 2.12456e-7, 60.0}},
                  {0, 0, 0},
                  {0, 0, 0},
                  UtilityPlacementLP::PlacedOnly}),
    [](const ::testing::TestParamInfo<LevelCase>& info) { return std::string(info.param.label); });

TEST(AutomaticPlacement, PinchOfTheCascadeWithUtilitiesIsTheProcessPinch) {
    StreamSet set;
    set.AddFourStreams();
    set.Add("HP Steam", 250, 249, 0.0, 1);
    set.Add("Cooling Water", 20, 25, 0.0, 1);
    UtilityPlacementLP lp;
    ASSERT_TRUE(lp.Calculate(set.segments));
    // The cascade with the utilities in it: 0 above the steam, 20 below it, 0 at the pinch and
    // at the bottom (the cooling water takes all).
    const TIList& cascade = lp.GetIntervals();
    ASSERT_EQ(cascade.GetNumberOfBoundaries(), 9);  // 245 244 165 145 140 85 55 30 25
    const double expected[] = {0, 20, 20, 80, 82.5, 0, 75, 62.5, 0};
    for (int b = 0; b < 9; ++b) EXPECT_NEAR(cascade.GetInterval(b)->dValue, expected[b], kTol) << b;

    const std::vector<PinchRecord> pinches = lp.FindPinchPoints(10.0);
    ASSERT_EQ(pinches.size(), 1u);
    EXPECT_NEAR(pinches[0].dHotTemperature, 90.0, kTol);
    EXPECT_NEAR(pinches[0].dColdTemperature, 80.0, kTol);
    EXPECT_TRUE(pinches[0].segments.empty());

    // The pinch is read from the placement's own record: segments moved afterwards (and a
    // segment gone) change nothing.
    for (StreamSegment* s : set.segments) {
        s->dShiftedInletTemperature += 7.0;
        s->dShiftedOutletTemperature += 7.0;
    }
    set.segments.clear();
    const std::vector<PinchRecord> again = lp.FindPinchPoints(10.0);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].dHotTemperature, pinches[0].dHotTemperature);
    EXPECT_EQ(again[0].dColdTemperature, pinches[0].dColdTemperature);
}

TEST(AutomaticPlacement, SegmentsOfOneUtilityKeepOneMassFlow) {
    // A cold stream 100 -> 190 (shifted 105 -> 195) needs 90 kW. The utility's two segments
    // (shifted 245 -> 195 and 195 -> 145) have specific heats 1 and 2 over 50 K each: one mass
    // flow gives them loads in the ratio 1 : 2.
    StreamSet set;
    set.Add("C", 100, 190, 1.0);
    PlacementStream oil("Oil", 250, 150, 0.0, 1);
    StreamSegment a, b;
    for (StreamSegment* s : {&a, &b}) {
        s->nHotCold = 0;
        s->nKind = 1;
        s->pStream = &oil;
        s->pLink = std::make_unique<StreamSegmentLink>();
        s->pLink->nConnected = 1;
    }
    a.dInletTemperature = 250;
    a.dOutletTemperature = 200;
    a.pLink->dSpecificHeat = 1.0;
    b.dInletTemperature = 200;
    b.dOutletTemperature = 150;
    b.pLink->dSpecificHeat = 2.0;
    a.ShiftTemperatures(10.0);
    b.ShiftTemperatures(10.0);
    SegmentRefs segments = set.segments;
    segments.push_back(&a);
    segments.push_back(&b);

    UtilityPlacementLP lp;
    ASSERT_TRUE(lp.Calculate(segments));
    EXPECT_NEAR(lp.GetSegmentLoad(&a), 30.0, kTol);
    EXPECT_NEAR(lp.GetSegmentLoad(&b), 60.0, kTol);
    EXPECT_NEAR(a.dHeatCapacityFlowrate, 0.6, kTol);
    EXPECT_NEAR(b.dHeatCapacityFlowrate, 1.2, kTol);
    // The stream is given the sum of its segments, once per view.
    ASSERT_EQ(oil.loadsSet.size(), 2u);
    EXPECT_NEAR(oil.loadsSet[0].load, 90.0, kTol);
    EXPECT_EQ(lp.GetHotSide().nStatus, TargetValue::Placed);
}

TEST(AutomaticPlacement, UnusedUtilitiesAndEmptyListsPlaceNothing) {
    // A utility whose network block says it is not used takes no part, and keeps no load.
    StreamSet set;
    set.AddFourStreams();
    PlacementStream& steam = set.Add("HP Steam", 250, 249, 0.0, 1);
    steam.segment.pLink->nConnected = 0;
    steam.segment.dLoad = 7.0;
    UtilityPlacementLP lp;
    ASSERT_TRUE(lp.Calculate(set.segments));
    EXPECT_DOUBLE_EQ(steam.segment.dLoad, 0.0);
    EXPECT_NEAR(lp.GetHotSide().dSecond, 20.0, kTol);

    UtilityPlacementLP empty;
    EXPECT_TRUE(empty.Calculate(SegmentRefs()));
    EXPECT_EQ(empty.GetStatus(), UtilityPlacementLP::Nothing);
    EXPECT_EQ(empty.GetModel(), nullptr);
    EXPECT_TRUE(empty.FindPinchPoints(10.0).empty());
    EXPECT_EQ(empty.GetHotSide().nStatus, TargetValue::Sufficient);
}

TEST(AutomaticPlacement, AForbiddenMatchIsServedByTheUtilities) {
    // H 150 -> 50 and C 40 -> 140 (CP 1, shifted 145 -> 45 and 45 -> 145) would exchange all their
    // heat; forbidden to meet, each needs a utility for its 100 kW.
    struct Case {
        bool forbidden;
        double steam, water;
    };
    for (const Case& c : {Case{true, 100.0, 100.0}, Case{false, 0.0, 0.0}}) {
        SCOPED_TRACE(c.forbidden);
        StreamSet set;
        PlacementStream& hot = set.Add("H", 150, 50, 1.0, 2);
        PlacementStream& cold = set.Add("C", 40, 140, 1.0, 2);
        // A linked stream is linked to somebody; only a link to the other makes the pair forbidden.
        hot.links.push_back(c.forbidden ? "C" : "Elsewhere");
        cold.links.push_back(c.forbidden ? "H" : "Elsewhere");
        PlacementStream& steam = set.Add("HP Steam", 250, 249, 0.0, 1);
        PlacementStream& water = set.Add("Cooling Water", 20, 25, 0.0, 1);
        const EnergyTarget target(set.segments, 10.0);
        ASSERT_NEAR(target.GetHotUtility(), c.steam, kTol);

        UtilityPlacementLP lp;
        ASSERT_TRUE(lp.Calculate(set.segments, &target));
        EXPECT_NEAR(lp.GetSegmentLoad(&steam.segment), c.steam, kTol);
        EXPECT_NEAR(lp.GetSegmentLoad(&water.segment), c.water, kTol);
        // Both sides placed (or nothing to place), nothing short.
        EXPECT_EQ(lp.GetHotSide().nStatus, c.steam > 0.0 ? TargetValue::Placed : TargetValue::Sufficient);
        EXPECT_EQ(lp.GetColdSide().nStatus, c.water > 0.0 ? TargetValue::Placed : TargetValue::Sufficient);

        // The pooled process alone needs nothing: the forbidden match's utilities look misplaced.
        UtilityPlacementLP pooled;
        ASSERT_TRUE(pooled.Calculate(set.segments));
        EXPECT_NEAR(pooled.GetMinimumHotUtility(), 0.0, kTol);
        EXPECT_NEAR(pooled.GetHotSide().dFirst, c.steam, kTol);
    }
}
