// The utility-placement record: side statuses, handing loads to streams, the builder's change
// codes and methods, the case-file record, and the placement of a whole scenario on the
// four-stream problem (minimum hot utility 20, cold 60, pinch 90/80 at DTmin 10).
#include "tests/eng/targeting/PlacementTestSupport.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/targeting/AutomaticUtilityPlacement.h"
#include "eng/targeting/EnergyTarget.h"
#include "eng/targeting/UserSuppliedUtilityLoad.h"
#include "eng/targeting/UtilityPlacement.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using placement_test::FourStreamProject;
using placement_test::PlacementStream;
using placement_test::StreamSet;

namespace {

constexpr double kTol = 1e-7;

// ---------------------------------------------------------------- side values

// ---------------------------------------------------------------- loads handed to streams

struct AssignCase {
    std::vector<double> loads;
    int streams;
    double target;
    std::vector<double> expected;
};
void PrintTo(const AssignCase& c, std::ostream* os) {
    *os << c.loads.size() << " loads on " << c.streams << " streams, target " << c.target;
}

class HandingOutLoads : public ::testing::TestWithParam<AssignCase> {};

TEST_P(HandingOutLoads, RunningSumStopsAtTheTarget) {
    const AssignCase& c = GetParam();
    StreamSet set;
    for (int i = 0; i < c.streams; ++i) set.Add("U", 250, 249, 1.0, 1);
    AssignLoadsToStreams(c.loads, set.streams, c.target);
    for (int i = 0; i < c.streams; ++i) {
        const PlacementStream& s = *set.owned[static_cast<std::size_t>(i)];
        ASSERT_EQ(s.loadsSet.size(), 2u) << i;
        EXPECT_DOUBLE_EQ(s.loadsSet[0].load, c.expected[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(s.loadsSet[0].mode, 0);
        EXPECT_DOUBLE_EQ(s.loadsSet[1].load, c.expected[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(s.loadsSet[1].mode, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandingOutLoads,
    ::testing::Values(AssignCase{{40, 30}, 3, 60, {40, 20, 0}},   // the last stream is past the loads
                      AssignCase{{10}, 2, 25, {10, 15}},          // what is left goes to the last
                      AssignCase{{50, 30}, 3, 40, {40, 0, 0}},    // the target is reached early
                      AssignCase{{}, 1, 12, {12}},
                      AssignCase{{5, 5}, 2, 0, {0, 0}}));

// ---------------------------------------------------------------- the builder

// The four streams with high-pressure steam and cooling water, their energy target and the
// builder's inputs over them.
struct PlacementProblem {
    PlacementProblem() {
        set.AddFourStreams();
        steam = &set.Add("HP Steam", 250, 249, 0.0, 1);
        water = &set.Add("Cooling Water", 20, 25, 0.0, 1);
        target = std::make_unique<EnergyTarget>(set.segments, 10.0);
        in.segments = &set.segments;
        in.streams = set.streams;
        in.energyTarget = target.get();
        in.dtMin = 10.0;
    }
    StreamSet set;
    PlacementStream* steam = nullptr;
    PlacementStream* water = nullptr;
    std::unique_ptr<EnergyTarget> target;
    UtilityPlacementInputs in;
};

struct RecordDeleter {
    void operator()(UtilityPlacement* r) const { DeleteUtilityPlacement(r); }
};
using RecordPtr = std::unique_ptr<UtilityPlacement, RecordDeleter>;

}  // namespace

TEST(UtilityPlacementBuilder, AutomaticPlacementAndTheCodesThatLeaveIt) {
    PlacementProblem p;
    RecordPtr record(UpdateUtilityPlacement(nullptr, p.in, 36));
    ASSERT_NE(record->GetAutomaticPlacement(), nullptr);
    EXPECT_NEAR(p.steam->segment.dLoad, 20.0, kTol);
    EXPECT_NEAR(p.water->segment.dLoad, 60.0, kTol);
    EXPECT_TRUE(record->IsValid());
    EXPECT_EQ(record->GetSide(0)->nStatus, TargetValue::Placed);
    ASSERT_EQ(record->GetPinchList().size(), 1u);
    EXPECT_NEAR(record->GetPinchList()[0].dHotTemperature, 90.0, kTol);
    EXPECT_NEAR(record->GetPinchList()[0].dColdTemperature, 80.0, kTol);
    ASSERT_NE(GetPlacementPinchPoints(record.get()), nullptr);

    // The steam is taken away from the placement's view: codes 18, 19 and 40 do not place again,
    // codes 4 and 39 take the placement as it stands, code 41 places again.
    p.steam->segment.pLink->nConnected = 0;
    const UtilityPlacementLP* lp = record->GetAutomaticPlacement();
    for (int code : {18, 19, 40, 4, 39}) {
        record.reset(UpdateUtilityPlacement(record.release(), p.in, code));
        EXPECT_EQ(record->GetAutomaticPlacement(), lp) << code;
        EXPECT_TRUE(record->IsValid()) << code;
        EXPECT_NEAR(p.steam->segment.dLoad, 20.0, kTol) << code;
        EXPECT_EQ(record->GetPinchList().size(), 1u) << code;
    }
    p.steam->segment.pLink->nConnected = 0;
    record.reset(UpdateUtilityPlacement(record.release(), p.in, 41));
    // Placing again resets every utility's placement first: the steam is used again.
    EXPECT_NEAR(p.steam->segment.dLoad, 20.0, kTol);
    EXPECT_EQ(p.steam->segment.pLink->nConnected, 1);
}

TEST(UtilityPlacementBuilder, ShortfallLeavesThePlacementInvalid) {
    PlacementProblem p;
    p.water->segment.pLink->nConnected = 0;  // no cooling water
    // The reset before placing brings it back; take it out of the list instead.
    p.set.segments.pop_back();
    RecordPtr record(UpdateUtilityPlacement(nullptr, p.in, 35));
    ASSERT_NE(record->GetSide(1), nullptr);
    EXPECT_EQ(record->GetSide(1)->nStatus, TargetValue::Insufficient);
    EXPECT_NEAR(record->GetSide(1)->dSecond, 60.0, kTol);
    EXPECT_FALSE(record->IsValid());
    EXPECT_TRUE(record->GetPinchList().empty());
    EXPECT_EQ(GetPlacementPinchPoints(record.get()), nullptr);
}

namespace {

struct UserLoadCase {
    double steam, water;
    int hotStatus, coldStatus;
};
void PrintTo(const UserLoadCase& c, std::ostream* os) {
    *os << "steam " << c.steam << " kW, water " << c.water << " kW: status " << c.hotStatus << "/" << c.coldStatus;
}

class UserLoadStatuses : public ::testing::TestWithParam<UserLoadCase> {};

}  // namespace

TEST_P(UserLoadStatuses, FollowTheMakeUpLoads) {
    const UserLoadCase& c = GetParam();
    PlacementProblem p;
    p.steam->SetHeatLoad(c.steam, 0);
    p.water->SetHeatLoad(c.water, 0);
    RecordPtr record(new UtilityPlacement(nullptr, UtilityPlacement::UserSupplied));
    record.reset(UpdateUtilityPlacement(record.release(), p.in, 36));
    EXPECT_EQ(record->GetSide(0)->nStatus, c.hotStatus);
    EXPECT_EQ(record->GetSide(1)->nStatus, c.coldStatus);
    // Method 1 keeps no side values of its own.
    EXPECT_DOUBLE_EQ(record->GetSide(0)->dFirst, 0.0);
    EXPECT_DOUBLE_EQ(record->GetSide(1)->dSecond, 0.0);
}

INSTANTIATE_TEST_SUITE_P(FourStreams, UserLoadStatuses,
                         ::testing::Values(UserLoadCase{20, 60, 0, 0},   // at the targets
                                           UserLoadCase{12, 60, 1, 0},   // steam short
                                           UserLoadCase{20, 50, 0, 1},   // water short
                                           UserLoadCase{30, 70, 0, 0},   // more of both: served
                                           UserLoadCase{20, 60.000009, 0, 0}));  // 9e-6 is nothing left

// ---------------------------------------------------------------- the case-file record

TEST(UtilityPlacementRecordFile, RoundTrip) {
    PlacementProblem p;
    RecordPtr record(UpdateUtilityPlacement(nullptr, p.in, 36));
    record->SetUserSuppliedLoads(std::make_unique<UserSuppliedUtilityLoad>(p.set.streams, p.set.segments));
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(StoreUtilityPlacement(*record, w));

    LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
    UtilityPlacement back;
    ASSERT_TRUE(RecallUtilityPlacement(back, r));
    EXPECT_EQ(back.GetMethod(), UtilityPlacement::Automatic);
    ASSERT_NE(back.GetSide(0), nullptr);
    ASSERT_NE(back.GetSide(1), nullptr);
    EXPECT_TRUE(back.IsValid());
    ASSERT_NE(back.GetAutomaticPlacement(), nullptr);
    EXPECT_EQ(back.GetAutomaticPlacement()->GetHotSide().nStatus, TargetValue::Placed);
    EXPECT_NE(back.GetUserSuppliedLoads(), nullptr);
    ASSERT_EQ(back.GetPinchList().size(), 1u);
    EXPECT_DOUBLE_EQ(back.GetPinchList()[0].dHotTemperature, record->GetPinchList()[0].dHotTemperature);
    EXPECT_DOUBLE_EQ(back.GetPinchList()[0].dColdTemperature, record->GetPinchList()[0].dColdTemperature);
}

namespace {

// A record as an older writer made it: method 0, both sides, the automatic placement's sides
// (status 3 each), no user loads, no trade-off; from version 2 on the pinch list.
std::vector<std::uint8_t> OldRecord(int version, bool tradeoff = false) {
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    RecordHandle h, nested;
    TargetValue side;
    side.nStatus = 3;
    w.BeginRecord(h, version);
    w.WriteInt(0);
    w.WriteInt(1);
    side.Store(w);
    w.WriteInt(1);
    side.Store(w);
    w.WriteInt(1);
    w.BeginRecord(nested, 1);
    side.Store(w);
    side.Store(w);
    w.EndRecord(nested);
    w.WriteInt(0);
    w.WriteInt(tradeoff ? 1 : 0);
    if (version >= 2) {
        RecordHandle entry;
        w.WriteInt(1);
        w.WriteInt(1);
        w.BeginRecord(entry, 1);
        w.WriteDouble(95.0);
        w.WriteDouble(85.0);
        w.EndRecord(entry);
    }
    w.EndRecord(h);
    return w.Bytes();
}

}  // namespace

TEST(UtilityPlacementRecordFile, OlderRecordsPlaceAgainAndReadPinchesFromVersionTwo) {
    PlacementProblem p;
    // Version 1: no pinch list; the automatic placement is made again over the segments.
    LurmetBinaryFile r1 = LurmetBinaryFile::ForReading(OldRecord(1));
    UtilityPlacement one;
    ASSERT_TRUE(RecallUtilityPlacement(one, r1, &p.set.segments));
    ASSERT_NE(one.GetAutomaticPlacement(), nullptr);
    EXPECT_EQ(one.GetAutomaticPlacement()->GetHotSide().nStatus, TargetValue::Placed);
    EXPECT_NEAR(p.steam->segment.dLoad, 20.0, kTol);
    EXPECT_TRUE(one.GetPinchList().empty());
    EXPECT_EQ(one.GetSide(0)->nStatus, 3);

    // Version 3 keeps the sides it read; version 2 brings its pinch entry.
    LurmetBinaryFile r3 = LurmetBinaryFile::ForReading(OldRecord(3));
    UtilityPlacement three;
    ASSERT_TRUE(RecallUtilityPlacement(three, r3, &p.set.segments));
    EXPECT_EQ(three.GetAutomaticPlacement()->GetHotSide().nStatus, 3);
    ASSERT_EQ(three.GetPinchList().size(), 1u);
    EXPECT_DOUBLE_EQ(three.GetPinchList()[0].dHotTemperature, 95.0);

    // A trade-off flag without the trade-off's record is damage.
    LurmetBinaryFile rt = LurmetBinaryFile::ForReading(OldRecord(3, true));
    UtilityPlacement withTradeoff;
    EXPECT_FALSE(RecallUtilityPlacement(withTradeoff, rt));
}

// ---------------------------------------------------------------- a whole scenario

TEST(UtilityPlacementScenario, SteamAndCoolingWaterTakeTheTargetsAndKeepThem) {
    FourStreamProject p;
    ASSERT_NE(p.scenario, nullptr);
    ASSERT_TRUE(p.AddUtility("HP Steam"));
    ASSERT_TRUE(p.AddUtility("Cooling Water"));
    ASSERT_NEAR(p.scenario->GetUtilityTarget(0), 20.0, kTol);
    ASSERT_NEAR(p.scenario->GetUtilityTarget(1), 60.0, kTol);

    // The whole recalculation has run (the curves after the placement): a fully placed steam
    // level keeps its load in both views, and so does the water.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_NEAR(p.Load("HP Steam", 0), 20.0, kTol);
        EXPECT_NEAR(p.Load("HP Steam", 1), 20.0, kTol);
        EXPECT_NEAR(p.Load("Cooling Water", 0), 60.0, kTol);
        EXPECT_NEAR(p.Load("Cooling Water", 1), 60.0, kTol);
        EXPECT_TRUE(p.scenario->IsUtilityPlacementValid());
        EXPECT_EQ(p.scenario->GetUtilityAssignmentStatus(0), TargetValue::Placed);
        EXPECT_EQ(p.scenario->GetUtilityAssignmentStatus(1), TargetValue::Placed);
        EXPECT_EQ(p.scenario->GetNumberOfPinchPoints(), 1);
        EXPECT_NEAR(p.scenario->GetPinchTemperature(0, 0), 90.0, kTol);
        EXPECT_NEAR(p.scenario->GetPinchTemperature(1, 0), 80.0, kTol);
        // The balanced curves are drawn only for a valid placement.
        EXPECT_GT(p.scenario->GetNumberOfCurvePoints(8), 0);
        // The steam shows the rate of its load over its one kelvin.
        double rate = 0.0;
        ASSERT_EQ(p.Stream("HP Steam")->GetValue("HeatCapacityFlowrate", rate, 0), 1);
        EXPECT_NEAR(rate, 20.0, kTol);
        p.scenario->SetDTmin(10.0);
    }
}

TEST(UtilityPlacementScenario, CoolingWaterTooWarmForALargerApproach) {
    // At DTmin 20 the process needs 65 kW of heat and 105 of cooling, but cooling water (shifted
    // 30 -> 35) cannot take the 15 kW H2 gives below 30 shifted.
    FourStreamProject p;
    ASSERT_TRUE(p.AddUtility("HP Steam"));
    ASSERT_TRUE(p.AddUtility("Cooling Water"));
    p.scenario->SetDTmin(20.0);
    EXPECT_NEAR(p.Load("HP Steam"), 65.0, kTol);
    EXPECT_NEAR(p.Load("Cooling Water"), 90.0, kTol);
    EXPECT_EQ(p.scenario->GetUtilityAssignmentStatus(0), TargetValue::Placed);
    EXPECT_EQ(p.scenario->GetUtilityAssignmentStatus(1), TargetValue::PlacedAndInsufficient);
    EXPECT_FALSE(p.scenario->IsUtilityPlacementValid());
    EXPECT_EQ(p.scenario->GetNumberOfCurvePoints(8), 0);
    // The pinch points in use are then the energy target's: shifted 90, hot 100 over cold 80.
    EXPECT_EQ(p.scenario->GetNumberOfPinchPoints(), 1);
    EXPECT_NEAR(p.scenario->GetPinchTemperature(0, 0), 100.0, kTol);
    EXPECT_NEAR(p.scenario->GetPinchTemperature(1, 0), 80.0, kTol);
}
