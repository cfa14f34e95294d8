// User-supplied utility loads on the four-stream problem (minimum hot utility 20, cold 60 at
// DTmin 10) with high-pressure steam (250 -> 249) and cooling water (20 -> 25).
//
// The balanced curves with steam 20 and cooling water 60, worked by hand: hot from H2's outlet 30
// (load 0) up 1.5 kW/K to 60 (45), 4.5 kW/K to 150 (450), 3 kW/K to 170 (510), flat to the steam,
// 249 -> 250 (530); cold from 20 (load 0) up 14 kW/K (C1 and the cooling water) to 25 (70), 2 kW/K
// to 80 (180), 6 kW/K to 135 (510), 4 kW/K to 140 (530). The curves come closest at the pinch
// (hot 90 over cold 80 at load 180) and at the cold end (hot 30 over cold 20 at load 0): 10 K.
#include "tests/eng/targeting/PlacementTestSupport.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/targeting/UserSuppliedUtilityLoad.h"

#include <gtest/gtest.h>

#include <limits>

#include <algorithm>
#include <memory>
#include <string>

using placement_test::PlacementStream;
using placement_test::StreamSet;

namespace {

constexpr double kTol = 1e-9;

// The four streams with steam and cooling water at the given loads.
struct LoadedProblem {
    LoadedProblem(double steamLoad, double waterLoad) {
        set.AddFourStreams();
        steam = &set.Add("HP Steam", 250, 249, steamLoad, 1);
        water = &set.Add("Cooling Water", 20, 25, waterLoad / 5.0, 1);
    }
    std::unique_ptr<UserSuppliedUtilityLoad> Object() const {
        auto object = std::make_unique<UserSuppliedUtilityLoad>(set.streams, set.segments);
        object->SetTargets(20.0, 60.0);
        object->Prepare();
        object->SetApproach(10.0);
        return object;
    }
    StreamSet set;
    PlacementStream* steam = nullptr;
    PlacementStream* water = nullptr;
};

double SmallestApproach(const UserLoadCurves& curves) {
    double smallest = 1e300;
    for (int list = 0; list < 2; ++list)
        for (const UserLoadCurvePoint& p : curves.GetList(list)) smallest = std::min(smallest, p.dApproach);
    return smallest;
}

struct BalanceCase {
    double steam, water;                // loads the user gave
    double hotEffective, coldEffective;
    double makeUpSource, makeUpSink;
};
void PrintTo(const BalanceCase& c, std::ostream* os) {
    *os << "steam " << c.steam << " kW, water " << c.water << " kW";
}

class Balancing : public ::testing::TestWithParam<BalanceCase> {};

}  // namespace

TEST_P(Balancing, EffectiveLoadsDifferByTheProcessImbalance) {
    const BalanceCase& c = GetParam();
    LoadedProblem p(c.steam, c.water);
    UserSuppliedUtilityLoad object(p.set.streams, p.set.segments);
    object.SetTargets(20.0, 60.0);
    object.Prepare();
    EXPECT_NEAR(object.GetHotAssigned(), c.steam, kTol);
    EXPECT_NEAR(object.GetColdAssigned(), c.water, kTol);
    EXPECT_NEAR(object.GetHotEffective(), c.hotEffective, kTol);
    EXPECT_NEAR(object.GetColdEffective(), c.coldEffective, kTol);
    EXPECT_NEAR(object.GetHotEffective() - object.GetColdEffective(), -40.0, kTol);
    EXPECT_NEAR(object.GetMakeUpSourceLoad(), c.makeUpSource, kTol);
    EXPECT_NEAR(object.GetMakeUpSinkLoad(), c.makeUpSink, kTol);
    // The make-up segments span one kelvin: their rate is their load.
    EXPECT_NEAR(object.GetMakeUpSource()->dHeatCapacityFlowrate, c.makeUpSource, kTol);
}

INSTANTIATE_TEST_SUITE_P(FourStreams, Balancing,
                         ::testing::Values(BalanceCase{20, 60, 20, 60, 0, 0},   // at the targets
                                           BalanceCase{0, 0, 20, 60, 20, 60},   // nothing given
                                           BalanceCase{10, 60, 20, 60, 10, 0},  // steam 10 short
                                           BalanceCase{30, 60, 30, 70, 0, 10},  // steam 10 over
                                           BalanceCase{20, 75, 35, 75, 15, 0}));

TEST(UserSuppliedLoads, MakeUpSegmentsSitAtTheEndsOfTheScale) {
    LoadedProblem p(20, 60);
    std::unique_ptr<UserSuppliedUtilityLoad> owned = p.Object();
    UserSuppliedUtilityLoad& object = *owned;
    const StreamSegment* source = object.GetMakeUpSource();
    const StreamSegment* sink = object.GetMakeUpSink();
    ASSERT_NE(source, nullptr);
    ASSERT_NE(sink, nullptr);
    EXPECT_DOUBLE_EQ(source->dInletTemperature, 3000.0);
    EXPECT_DOUBLE_EQ(source->dOutletTemperature, 2999.0);
    EXPECT_EQ(source->nHotCold, 0);
    EXPECT_DOUBLE_EQ(sink->dInletTemperature, -273.15);
    EXPECT_DOUBLE_EQ(sink->dOutletTemperature, -272.15);
    EXPECT_EQ(sink->nHotCold, 1);
    for (const StreamSegment* s : {source, sink}) {
        EXPECT_EQ(s->nKind, 0);
        EXPECT_DOUBLE_EQ(s->dEndToleranceLoad[0], 1e-12);
        EXPECT_DOUBLE_EQ(s->dFilmCoefficient, -32767.0);
    }
    EXPECT_EQ(object.GetWorkingList().size(), p.set.segments.size() + 2);

    // Only hot process streams: heat may be left over, never lacking.
    StreamSet hotOnly;
    hotOnly.Add("H1", 170, 60, 3.0);
    hotOnly.Add("Cooling Water", 20, 25, 0.0, 1);
    UserSuppliedUtilityLoad sinkOnly(hotOnly.streams, hotOnly.segments);
    EXPECT_EQ(sinkOnly.GetMakeUpSource(), nullptr);
    EXPECT_NE(sinkOnly.GetMakeUpSink(), nullptr);
}

TEST(UserSuppliedLoads, CurvesKeepTheApproachAtThePinchAndTheColdEnd) {
    LoadedProblem p(20, 60);
    std::unique_ptr<UserSuppliedUtilityLoad> owned = p.Object();
    UserSuppliedUtilityLoad& object = *owned;
    ASSERT_TRUE(object.BuildCurves());
    const UserLoadCurves& curves = *object.GetCurves();
    EXPECT_NEAR(SmallestApproach(curves), 10.0, kTol);

    // The cold curve's point at C2's inlet: load 180, the hot curve at 90 over it.
    const auto& cold = curves.GetList(1);
    auto at80 = std::find_if(cold.begin(), cold.end(),
                             [](const UserLoadCurvePoint& q) { return q.dTemperature == 80.0; });
    ASSERT_NE(at80, cold.end());
    EXPECT_NEAR(at80->dLoad, 180.0, kTol);
    EXPECT_NEAR(at80->dOtherTemperature, 90.0, kTol);
    // The make-up points head the hot list and close the cold one.
    const auto& hot = curves.GetList(0);
    ASSERT_GE(hot.size(), 2u);
    EXPECT_DOUBLE_EQ(hot[0].dTemperature, 3000.0);
    EXPECT_DOUBLE_EQ(hot[1].dTemperature, 2999.0);
    EXPECT_DOUBLE_EQ(cold[cold.size() - 2].dTemperature, -272.15);
    EXPECT_DOUBLE_EQ(cold.back().dTemperature, -273.15);

    // Streams shifted for 10.2 K: their shifted curves cross by 0.2 K at the pinch, more than
    // 1 % of the approach.
    for (StreamSegment* s : p.set.segments) s->ShiftTemperatures(10.2);
    object.SetApproach(10.2);
    EXPECT_FALSE(object.BuildCurves());
    EXPECT_NEAR(object.GetCurves()->GetShiftedGap(), -0.2, kTol);
    // Streams that ask for 9.8 K meet at 10 K with room to spare, whatever the approach the
    // others would take: only the actual difference is below 0.99 x 10.2.
    for (StreamSegment* s : p.set.segments) s->ShiftTemperatures(9.8);
    EXPECT_TRUE(object.BuildCurves());
    EXPECT_NEAR(object.GetCurves()->GetShiftedGap(), 0.2, kTol);
    EXPECT_LT(SmallestApproach(*object.GetCurves()), 0.99 * 10.2);
    // A crossing within 1 % of the approach is rounding; one just beyond it is not.
    for (StreamSegment* s : p.set.segments) s->ShiftTemperatures(10.0 + 0.0099 * 10.2);
    EXPECT_TRUE(object.BuildCurves());
    for (StreamSegment* s : p.set.segments) s->ShiftTemperatures(10.0 + 0.0103 * 10.2);
    EXPECT_FALSE(object.BuildCurves());
}

TEST(UserSuppliedLoads, AtTheTargetsNothingIsAssigned) {
    LoadedProblem p(20, 60);
    std::unique_ptr<UserSuppliedUtilityLoad> owned = p.Object();
    UserSuppliedUtilityLoad& object = *owned;
    EXPECT_EQ(object.AssignTargetLoads(), 1);
    EXPECT_TRUE(p.steam->loadsSet.empty());
    EXPECT_TRUE(p.water->loadsSet.empty());
}

TEST(UserSuppliedLoads, OutstandingLoadGoesToTheHottestSteam) {
    LoadedProblem p(10, 60);
    PlacementStream& low = p.set.Add("LP Steam", 125, 124, 0.0, 1);
    std::unique_ptr<UserSuppliedUtilityLoad> owned = p.Object();
    UserSuppliedUtilityLoad& object = *owned;
    ASSERT_NEAR(object.GetMakeUpSourceLoad(), 10.0, kTol);
    EXPECT_EQ(object.AssignTargetLoads(), 1);
    EXPECT_NEAR(p.steam->GetHeatLoad(0), 20.0, kTol);
    EXPECT_TRUE(low.loadsSet.empty());
    EXPECT_NEAR(object.GetMakeUpSourceLoad(), 0.0, kTol);
}

TEST(UserSuppliedLoads, ARejectedAssignmentLeavesTheUtilityAsItWas) {
    // Steam at 100 (shifted 95) can serve only 15 kW: the process lacks 5 kW above 95 shifted,
    // so with 20 kW on it the curves cross and the load is taken back.
    StreamSet set;
    set.AddFourStreams();
    PlacementStream& low = set.Add("Low Steam", 100, 99, 0.0, 1);
    set.Add("Cooling Water", 20, 25, 12.0, 1);
    UserSuppliedUtilityLoad object(set.streams, set.segments);
    object.SetTargets(20.0, 60.0);
    object.Prepare();
    object.SetApproach(10.0);
    EXPECT_EQ(object.AssignTargetLoads(), 0);
    EXPECT_NEAR(low.GetHeatLoad(0), 0.0, kTol);
    EXPECT_NEAR(object.GetMakeUpSourceLoad(), 20.0, kTol);
    EXPECT_FALSE(object.SetStreamLoad(&low, 20.0));
    EXPECT_TRUE(object.SetStreamLoad(&low, 15.0));
}

TEST(UserSuppliedLoads, RecordRoundTrip) {
    LoadedProblem p(15, 60);
    std::unique_ptr<UserSuppliedUtilityLoad> owned = p.Object();
    UserSuppliedUtilityLoad& object = *owned;
    ASSERT_TRUE(object.BuildCurves());
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(object.Store(w));

    LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
    UserSuppliedUtilityLoad back;
    ASSERT_TRUE(back.Recall(r));
    EXPECT_DOUBLE_EQ(back.GetHotTarget(), 20.0);
    EXPECT_DOUBLE_EQ(back.GetColdTarget(), 60.0);
    EXPECT_DOUBLE_EQ(back.GetHotAssigned(), 15.0);
    EXPECT_DOUBLE_EQ(back.GetColdEffective(), 60.0);
    EXPECT_DOUBLE_EQ(back.GetApproach(), 10.0);
    ASSERT_NE(back.GetCurves(), nullptr);
    ASSERT_NE(back.GetBalancedCurves(), nullptr);
    for (int list = 0; list < 2; ++list) {
        ASSERT_EQ(back.GetCurves()->GetList(list).size(), object.GetCurves()->GetList(list).size());
        for (std::size_t i = 0; i < object.GetCurves()->GetList(list).size(); ++i)
            EXPECT_DOUBLE_EQ(back.GetCurves()->GetList(list)[i].dApproach,
                             object.GetCurves()->GetList(list)[i].dApproach);
    }
    EXPECT_DOUBLE_EQ(back.GetCurves()->GetShiftedGap(), object.GetCurves()->GetShiftedGap());
    EXPECT_TRUE(back.GetCurves()->KeepsApproach());
}

// Curves stored before the shifted gap was kept are read under the rule they were written with: no
// point at or below 0.99 x the approach.
TEST(UserSuppliedLoads, CurvesOfTheFirstRecordVersionKeepTheirRule) {
    for (const double closest : {9.95, 9.85}) {
        LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
        RecordHandle h;
        ASSERT_TRUE(w.BeginRecord(h, 1) && w.WriteDouble(10.0) && w.WriteDouble(0.8));
        ASSERT_TRUE(w.WriteInt(2));
        for (const double v : {150.0, 100.0, 140.0, 12.0, 90.0, 0.0, 80.0, closest}) ASSERT_TRUE(w.WriteDouble(v));
        ASSERT_TRUE(w.WriteInt(0) && w.EndRecord(h));
        LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
        UserLoadCurves back;
        ASSERT_TRUE(back.Recall(r));
        EXPECT_NEAR(back.GetShiftedGap(), closest - 10.0, kTol);
        EXPECT_EQ(back.KeepsApproach(), closest > 9.9) << closest;
    }
}

// Curves without points (a scenario whose only streams are utilities) have no gap, and keep the
// approach; the file, which holds no infinity, takes them and gives them back the same.
TEST(UserSuppliedLoads, CurvesWithoutPointsReadBackWithoutAGap) {
    const UserLoadCurves empty(10.0);
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(empty.Store(w));
    LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
    UserLoadCurves back;
    ASSERT_TRUE(back.Recall(r));
    EXPECT_EQ(std::numeric_limits<double>::infinity(), back.GetShiftedGap());
    EXPECT_TRUE(back.KeepsApproach());
    EXPECT_DOUBLE_EQ(10.0, back.GetApproach());
}
