// Target curves: the composite curves of the textbook problem, the utility composite curve
// against the grand composite curve, utility placement at its crossings, the builder's change
// codes and the records.
#include "TargetingFixtures.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/targeting/CompositeCurves.h"
#include "eng/targeting/EnergyTarget.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

using targeting_test::SegmentSet;

std::vector<std::pair<double, double>> Points(const TargetCurve& c, int list) {
    std::vector<std::pair<double, double>> p;
    for (int i = 0; i < c.GetNumberOfPoints(list); ++i) p.emplace_back(c.GetPointValue(list, 0, i), c.GetPointValue(list, 1, i));
    return p;
}

using PointList = std::vector<std::pair<double, double>>;

// A fake utility stream over its own segments, recording what placement does to it.
class FakeUtilityStream : public IPlacedUtilityStream {
public:
    StreamSegmentList* GetDesignSegments() override { return &segments; }
    void SetStoredValue(double t) override { stored = t; }
    void ClearLoadFlags() override { ++clears; }
    void RecomputeHeatLoads() override { ++recomputes; }
    void UpdateEndToleranceLoad(int end) override { ends.push_back(end); }

    StreamSegment* Add(double in, double out, double cp, double dtMin) {
        auto s = std::make_unique<StreamSegment>();
        s->dInletTemperature = in;
        s->dOutletTemperature = out;
        s->dHeatCapacityFlowrate = cp;
        s->dLoad = std::fabs(in - out) * cp;
        s->nHotCold = in >= out ? 0 : 1;
        s->nKind = 1;
        s->pLink = std::make_unique<StreamSegmentLink>();
        s->pLink->nConnected = 1;
        s->pLink->dFarEndTemperature = out;
        s->ShiftTemperatures(dtMin);
        segments.push_back(std::move(s));
        return segments.back().get();
    }

    StreamSegmentList segments;
    double stored = -1.0;
    int clears = 0;
    int recomputes = 0;
    std::vector<int> ends;
};

// The four-stream problem at DTmin 10 with steam 200->199 (CP 20) and cooling water 20->30
// (CP 6), their loads placed at the targets 20 and 60.
struct ScenarioFixture {
    ScenarioFixture() {
        targeting_test::AddFourStreamProblem(set);
        set.Shift(10.0);
        steam = steamStream.Add(200, 199, 20.0, 10.0);
        water = waterStream.Add(20, 30, 6.0, 10.0);
        all = set.refs;
        all.push_back(steam);
        all.push_back(water);
        target = std::make_unique<EnergyTarget>(all, 10.0);
        hotSide = {20.0, 0.0, 2};
        coldSide = {60.0, 0.0, 2};
        streams = {&steamStream, &waterStream};
        in.segments = &all;
        in.energyTarget = target.get();
        in.utilityAssignmentMethod = 0;
        in.hotSide = &hotSide;
        in.coldSide = &coldSide;
        in.utilityStreams = streams;
    }
    SegmentSet set;
    FakeUtilityStream steamStream, waterStream;
    StreamSegment* steam;
    StreamSegment* water;
    SegmentRefs all;
    std::unique_ptr<EnergyTarget> target;
    UtilityPlacementSide hotSide, coldSide;
    std::vector<IPlacedUtilityStream*> streams;
    CompositeCurvesInputs in;
};

TEST(CompositeCurvesTest, TextbookCompositeAndShiftedCompositePoints) {
    ScenarioFixture f;
    CompositeCurves* record = UpdateCompositeCurves(nullptr, f.in, CompositeCurvesCodes::StreamsChanged);
    ASSERT_NE(record, nullptr);
    const TargetCurve* composite = record->GetCurve(CompositeCurves::CompositeSlot);
    const TargetCurve* shifted = record->GetCurve(CompositeCurves::ShiftedCompositeSlot);
    ASSERT_TRUE(composite && shifted);
    // The hot curve rises from 0 at its lowest point, the cold one from the minimum cold utility.
    EXPECT_EQ(Points(*composite, 0), (PointList{{170, 510}, {150, 450}, {60, 45}, {30, 0}}));
    EXPECT_EQ(Points(*composite, 1), (PointList{{140, 530}, {135, 510}, {80, 180}, {20, 60}}));
    EXPECT_EQ(Points(*shifted, 0), (PointList{{165, 510}, {145, 450}, {55, 45}, {25, 0}}));
    EXPECT_EQ(Points(*shifted, 1), (PointList{{145, 530}, {140, 510}, {85, 180}, {25, 60}}));
    DeleteCompositeCurves(record);
}

// From the top the utility profile starts at QH - placed hot (0), falls by the steam's 20 and
// rises by the water's 60; the pre-shift lifts it by 20 so that it touches the grand composite
// curve at both ends. The crossings (194 and 35 shifted) place both utilities whole.
TEST(CompositeCurvesTest, UtilityProfileTouchesTheGrandCompositeCurveAndPlacesTheUtilities) {
    ScenarioFixture f;
    CompositeCurves* record = UpdateCompositeCurves(nullptr, f.in, CompositeCurvesCodes::StreamsChanged);
    const TargetCurve* utility = record->GetCurve(CompositeCurves::UtilityCompositeSlot);
    ASSERT_NE(utility, nullptr);
    EXPECT_EQ(utility->GetReferenceProfile(), &f.target->GetIntervals());
    EXPECT_EQ(Points(*utility, 0), (PointList{{195, 20}, {194, 0}, {35, 0}, {25, 60}}));
    EXPECT_EQ(Points(*utility, 1), (PointList{{35, 0}, {25, 60}}));
    EXPECT_EQ(HotUtilityCrossing(*utility), 194.0);
    EXPECT_EQ(ColdUtilityCrossing(*utility), 35.0);

    EXPECT_EQ(f.steam->pLink->dShiftedFarEndTemperature, 194.0);
    EXPECT_EQ(f.steam->pLink->dFarEndTemperature, 199.0);
    EXPECT_EQ(f.steam->dLoad, 20.0);
    EXPECT_EQ(f.water->pLink->dFarEndTemperature, 30.0);
    EXPECT_EQ(f.water->dLoad, 60.0);
    EXPECT_EQ(f.steamStream.stored, 199.0);
    EXPECT_EQ(f.waterStream.stored, 30.0);
    EXPECT_EQ(f.steamStream.recomputes, 1);
    EXPECT_EQ(f.waterStream.ends, (std::vector<int>{1, -1}));
    // Both sides carry placed load (status 2): both utilities are marked as crossing the pinch.
    EXPECT_TRUE(f.steam->IsCrossPinch());
    EXPECT_TRUE(f.water->IsCrossPinch());

    // Balanced curves: the utilities close both curves at 530.
    const TargetCurve* balanced = record->GetCurve(CompositeCurves::BalancedSlot);
    ASSERT_NE(balanced, nullptr);
    EXPECT_EQ(Points(*balanced, 0), (PointList{{200, 530}, {199, 510}, {170, 510}, {150, 450}, {60, 45}, {30, 0}}));
    EXPECT_EQ(Points(*balanced, 1), (PointList{{140, 530}, {135, 510}, {80, 180}, {30, 80}, {20, 0}}));
    const TargetCurve* shiftedBalanced = record->GetCurve(CompositeCurves::ShiftedBalancedSlot);
    ASSERT_NE(shiftedBalanced, nullptr);
    EXPECT_EQ(shiftedBalanced->GetPointValue(0, 0, 0), 195.0);
    EXPECT_EQ(shiftedBalanced->GetPointValue(0, 1, 0), 530.0);
    DeleteCompositeCurves(record);
}

// A steam supply larger than needed: the profile goes below zero under the steam's upper part,
// so the hot crossing falls inside the steam's range and only the part above it is used.
TEST(CompositeCurvesTest, OversizedUtilityIsPlacedDownToItsCrossing) {
    ScenarioFixture f;
    f.steam->dLoad = 40.0;
    f.steam->dHeatCapacityFlowrate = 40.0;  // 200 -> 199 carries 40, twice what is needed
    CompositeCurves* record = UpdateCompositeCurves(nullptr, f.in, CompositeCurvesCodes::StreamsChanged);
    const TargetCurve* utility = record->GetCurve(CompositeCurves::UtilityCompositeSlot);
    // Profile from the top: 0, -40, -40, 20; lifted by 20: 20, -20, -20, 40.
    EXPECT_EQ(Points(*utility, 0), (PointList{{195, 20}, {194, -20}, {35, -20}, {25, 40}}));
    EXPECT_DOUBLE_EQ(HotUtilityCrossing(*utility), 194.5);
    EXPECT_DOUBLE_EQ(f.steam->pLink->dFarEndTemperature, 199.5);
    EXPECT_DOUBLE_EQ(f.steam->dLoad, 20.0);
    DeleteCompositeCurves(record);
}

// Without placed load on either side (status 0) the curves place nothing, and no mark is set.
TEST(CompositeCurvesTest, NoPlacedLoadLeavesTheUtilitiesUnmarked) {
    ScenarioFixture f;
    f.hotSide.nStatus = 0;
    f.coldSide.nStatus = 0;
    CompositeCurves* record = UpdateCompositeCurves(nullptr, f.in, CompositeCurvesCodes::StreamsChanged);
    EXPECT_FALSE(f.steam->IsCrossPinch());
    EXPECT_FALSE(f.water->IsCrossPinch());
    DeleteCompositeCurves(record);
}

// One utility segment placed at a shifted temperature T: steam 200 -> 199 (CP 20, shifted
// 195 -> 194) and cooling water 20 -> 30 (CP 6, shifted 25 -> 35) at DTmin 10. The mark is
// set from scratch each time: every case starts with the opposite mark.
struct PlaceCase {
    const char* what;
    bool hot;
    double t;
    double farEnd;  // placed actual temperature
    double load;
    bool connected;
    bool crossPinch;
};
void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << c.what;
}
class PlaceUtilitySegmentTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceUtilitySegmentTest, LoadAndCrossPinchMark) {
    const PlaceCase& c = GetParam();
    FakeUtilityStream stream;
    StreamSegment* s = c.hot ? stream.Add(200, 199, 20.0, 10.0) : stream.Add(20, 30, 6.0, 10.0);
    s->pLink->nCrossPinch = c.crossPinch ? 0 : 1;
    PlaceUtilitySegment(*s, c.t, &stream);
    EXPECT_NEAR(s->pLink->dFarEndTemperature, c.farEnd, 1e-9);
    EXPECT_NEAR(s->dLoad, c.load, 1e-9);
    EXPECT_EQ(s->IsConnected(), c.connected);
    EXPECT_EQ(s->IsCrossPinch(), c.crossPinch);
}
INSTANTIATE_TEST_SUITE_P(
    Crossings, PlaceUtilitySegmentTest,
    ::testing::Values(
        // Inside the steam's range: used from 200 down to 199.5, (200 - 199.5) x 20 = 10 kW.
        PlaceCase{"hot inside", true, 194.5, 199.5, 10.0, true, true},
        // The whole range lies above T: used whole, 20 kW kept.
        PlaceCase{"hot whole", true, 190.0, 199.0, 20.0, true, true},
        // T at the shifted supply: placed, but with nothing to give.
        PlaceCase{"hot at its supply", true, 195.0, 200.0, 0.0, false, false},
        // 2.5e-10 K below the supply: 5e-9 kW is used, below the cross-pinch load of 1e-8.
        PlaceCase{"hot, a trace", true, 195.0 - 2.5e-10, 200.0 - 2.5e-10, 5e-9, true, false},
        // The range lies wholly below T: not used.
        PlaceCase{"hot above", true, 196.0, 199.0, 0.0, false, false},
        // Water used from 20 up to 25: 5 x 6 = 30 kW.
        PlaceCase{"cold inside", false, 30.0, 25.0, 30.0, true, true},
        PlaceCase{"cold whole", false, 40.0, 30.0, 60.0, true, true},
        PlaceCase{"cold below", false, 20.0, 30.0, 0.0, false, false}),
    [](const auto& info) {
        std::string n = info.param.what;
        for (char& ch : n)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    });

// A reset of the placement (a new placement starts) clears the mark with the rest.
TEST(PlaceUtilitySegmentTest, ResetClearsTheMark) {
    FakeUtilityStream stream;
    StreamSegment* s = stream.Add(200, 199, 20.0, 10.0);
    PlaceUtilitySegment(*s, 194.5, &stream);
    ASSERT_TRUE(s->IsCrossPinch());
    StreamSegment* const segments[] = {s};
    ResetUtilityPlacementOfSegments(segments);
    EXPECT_FALSE(s->IsCrossPinch());
    EXPECT_TRUE(s->IsConnected());
    EXPECT_EQ(s->pLink->dFarEndTemperature, 199.0);
}

// ---- change codes --------------------------------------------------------------------------------

// ---- records -----------------------------------------------------------------------------------

// A hot list whose loads are -0.0005 and -0.002, written as a curve record by hand.
TEST(TargetCurveRecordTest, LoadsJustBelowZeroReadAsZero) {
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    RecordHandle h;
    w.BeginRecord(h, TargetCurve::RecordVersion);
    w.WriteInt(TargetCurve::Composite);
    w.WriteDouble(1.5);
    w.WriteDouble(2.5);
    w.WriteInt(0);
    w.WriteInt(1);
    TIList cold(4);
    cold.SetBoundaries({{100, -0.0005, 4}, {50, -0.002, 4}});
    cold.Store(w);
    w.EndRecord(h);

    LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
    TargetCurve curve;
    ASSERT_TRUE(curve.Recall(r));
    EXPECT_EQ(curve.GetKind(), TargetCurve::Composite);
    EXPECT_EQ(curve.GetCarriedValue(1), 2.5);
    EXPECT_EQ(curve.GetHotList(), nullptr);
    EXPECT_EQ(curve.GetPointValue(0, 0, 0), 0.0);
    EXPECT_EQ(curve.GetPointValue(1, 1, 0), 0.0);
    EXPECT_EQ(curve.GetPointValue(1, 1, 1), -0.002);
    EXPECT_EQ(curve.GetPointValue(1, 0, 1), 50.0);
}

TEST(CompositeCurvesRecordTest, RoundTripKeepsEveryCurvePointAndTheShiftIsReapplied) {
    ScenarioFixture f;
    CompositeCurves* record = UpdateCompositeCurves(nullptr, f.in, CompositeCurvesCodes::StreamsChanged);
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(StoreCompositeCurves(*record, w));

    LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
    CompositeCurves back;
    ASSERT_TRUE(RecallCompositeCurves(back, r));
    for (int slot = 0; slot < CompositeCurves::SlotCount; ++slot) {
        SCOPED_TRACE(slot);
        ASSERT_NE(back.GetCurve(slot), nullptr);
        EXPECT_EQ(back.GetCurve(slot)->GetKind(), record->GetCurve(slot)->GetKind());
        for (int list : {0, 1}) EXPECT_EQ(Points(*back.GetCurve(slot), list), Points(*record->GetCurve(slot), list));
    }
    EXPECT_EQ(back.GetCurve(CompositeCurves::UtilityCompositeSlot)->GetReferenceProfile(), nullptr);
    ReapplyCurveShift(&back, f.all, f.target.get());
    const TargetCurve* utility = back.GetCurve(CompositeCurves::UtilityCompositeSlot);
    EXPECT_EQ(utility->GetReferenceProfile(), &f.target->GetIntervals());
    // Rebuilt from the targets (20 and 60): the profile starts at 20 and touches the curve.
    EXPECT_EQ(Points(*utility, 0), (PointList{{195, 20}, {194, 0}, {35, 0}, {25, 60}}));
    DeleteCompositeCurves(record);
}

}  // namespace
