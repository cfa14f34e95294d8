// The N - 1 counts of the units target, its builder's codes, its record and the scenario's view
// of it.
#include "eng/targeting/UnitsTarget.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/model/Scenario.h"
#include "eng/core/SharedCallbacks.h"
#include "tests/eng/targeting/UnitsTargetTestSupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace units_test;

namespace {

UnitsTargetData* Build(StreamSet& set, std::vector<UnitsPinch> pinches, int method = 0) {
    UnitsTargetInputs in;
    in.assignmentValid = true;
    in.streams = set.Refs();
    in.pinches = std::move(pinches);
    in.assignmentMethod = method;
    return UpdateUnitsTarget(nullptr, in, 36);
}

}  // namespace

// ---------------------------------------------------------------- the textbook problem

struct UnitsPinchCase {
    const char* label;
    int method;
    UnitsPinch pinch;
};
void PrintTo(const UnitsPinchCase& c, std::ostream* os) {
    *os << c.label;
}

class FourStreamUnits : public ::testing::TestWithParam<UnitsPinchCase> {};

// Six streams with the utilities: 5 units overall. Above the pinch H1, H2, C1, C2 and the steam
// (4 units), below it H1, H2, C1 and the cooling water (3 units): 7 with the pinch division. C2
// starts at the cold pinch and the utilities lie wholly on their own sides.
TEST_P(FourStreamUnits, FiveOverallAndSevenWithThePinchDivision) {
    StreamSet set;
    AddFourStreamProblem(set);
    std::unique_ptr<UnitsTargetData> r(Build(set, {GetParam().pinch}, GetParam().method));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->GetUnitsOverall(), 5);
    EXPECT_EQ(r->GetUnitsWithPinchDivision(), 7);
    EXPECT_EQ(r->CountUnits(0), 5);
    EXPECT_EQ(r->CountUnits(1), 7);
    EXPECT_EQ(r->CountUnits(2), 0);
    EXPECT_EQ(r->GetAssignmentMethod(), GetParam().method);
}

INSTANTIATE_TEST_SUITE_P(Methods, FourStreamUnits,
                         ::testing::Values(UnitsPinchCase{"GrandCompositeCurve", 0, {90.0, 80.0}},
                                           UnitsPinchCase{"SidePinches", 1, {90.0, 80.0}},
                                           UnitsPinchCase{"SidePinchesMethod2", 2, {90.0, 80.0}}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(UnitsTarget, ThePinchListIsReadFromTheTopDown) {
    StreamSet set;
    AddFourStreamProblem(set);
    // Two pinches given bottom first: regions above 90, 90..50 and below 50 (shifted 85 and 45).
    std::unique_ptr<UnitsTargetData> r(Build(set, {{50.0, 40.0}, {90.0, 80.0}}));
    // Above: H1 H2 C1 C2 steam (4). Middle (hot 90..50, cold 80..40): H1 H2 C1 (2). Below
    // (hot < 50, cold < 40): H2 C1 CW (2).
    EXPECT_EQ(r->GetUnitsWithPinchDivision(), 8);
}

// ---------------------------------------------------------------- edge cases of the counts

struct UnitsCountCase {
    const char* label;
    void (*build)(StreamSet&);
    std::vector<UnitsPinch> pinches;
    int overall;
    int withPinch;
};
void PrintTo(const UnitsCountCase& c, std::ostream* os) {
    *os << c.label << ": " << c.overall << " overall, " << c.withPinch << " with the pinch division";
}

class UnitsCounts : public ::testing::TestWithParam<UnitsCountCase> {};

TEST_P(UnitsCounts, CountByTheNMinusOneRule) {
    StreamSet set;
    GetParam().build(set);
    std::unique_ptr<UnitsTargetData> r(Build(set, GetParam().pinches));
    EXPECT_EQ(r->GetUnitsOverall(), GetParam().overall);
    EXPECT_EQ(r->GetUnitsWithPinchDivision(), GetParam().withPinch);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, UnitsCounts,
    ::testing::Values(
        UnitsCountCase{"NoStreams", [](StreamSet&) {}, {}, 0, 0},
        UnitsCountCase{"OnlyUnloadedStreams",
                  [](StreamSet& s) {
                      s.Utility("U1", 250, 249, 0.0);
                      s.Utility("U2", 20, 25, 0.0);
                  },
                  {{90.0, 80.0}}, 0, 0},
        UnitsCountCase{"OneStream", [](StreamSet& s) { s.Process("H", 100, 50, 2.0); }, {}, 0, 0},
        // Without a pinch one region from 3000 down to -273.15 holds every stream.
        UnitsCountCase{"NoPinch", [](StreamSet& s) { AddFourStreamProblem(s); }, {}, 5, 5},
        // Everything lies above the pinch: the region below is empty and adds 0, not -1.
        UnitsCountCase{"EmptyRegionAddsNothing",
                  [](StreamSet& s) {
                      s.Process("H", 300, 200, 1.0);
                      s.Process("C", 150, 250, 1.0);
                  },
                  {{100.0, 90.0}}, 1, 1},
        // A utility with no load in the network counts nowhere.
        UnitsCountCase{"UnloadedUtility",
                  [](StreamSet& s) {
                      AddFourStreamProblem(s, false);
                      s.Utility("LP Steam", 125, 124, 0.0);
                  },
                  {{90.0, 80.0}}, 3, 5},
        // A stream with a load but no temperatures is neither hot nor cold: it counts overall, in
        // no region.
        UnitsCountCase{"UndeterminedStream",
                  [](StreamSet& s) {
                      s.Process("H", 170, 60, 3.0);
                      s.Process("C", 20, 135, 2.0);
                      s.owner.Add("X")->SetValue("Enthalpy", 50.0, 0);
                  },
                  {}, 2, 1},
        // H (170 -> 92) has a local approach of 20, a share of 10 at the pinch (shifted 85): its
        // regions part at 95, so it reaches below the pinch; at half the scenario's 10 it would not.
        UnitsCountCase{"LocalContribution",
                  [](StreamSet& s) {
                      s.Process("H", 170, 92, 1.0)->SetDTminContribution(20.0, "Local", 0, 1);
                      s.Process("C", 20, 135, 1.0);
                  },
                  {{90.0, 80.0}}, 1, 2}),
    [](const auto& info) { return std::string(info.param.label); });

// Random problems: overall units are N - 1 of the loaded streams, never negative; without a
// pinch both counts agree; with P pinches the division saves at most P units.
TEST(UnitsTarget, CountsAreSoundOnRandomProblems) {
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> t(20.0, 400.0), cp(0.5, 20.0), pinch(60.0, 350.0);
    std::uniform_int_distribution<int> count(0, 12), pinches(0, 3);
    for (int trial = 0; trial < 40; ++trial) {
        StreamSet set;
        const int n = count(rng);
        for (int i = 0; i < n; ++i) {
            double a = t(rng), b = t(rng);
            if (std::fabs(a - b) < 1.0) b = a + 5.0;
            set.Process(("S" + std::to_string(i)).c_str(), a, b, cp(rng));
        }
        std::vector<UnitsPinch> list;
        const int p = pinches(rng);
        for (int i = 0; i < p; ++i) {
            const double hot = pinch(rng);
            list.push_back({hot, hot - 10.0});
        }
        std::unique_ptr<UnitsTargetData> none(Build(set, {}));
        std::unique_ptr<UnitsTargetData> r(Build(set, list));
        EXPECT_EQ(r->GetUnitsOverall(), n > 0 ? n - 1 : 0) << trial;
        EXPECT_GE(r->GetUnitsWithPinchDivision(), 0) << trial;
        EXPECT_EQ(none->GetUnitsWithPinchDivision(), none->GetUnitsOverall()) << trial;
        EXPECT_GE(r->GetUnitsWithPinchDivision(), r->GetUnitsOverall() - p) << trial;
    }
}

// ---------------------------------------------------------------- the builder's codes

TEST(UnitsTargetBuilder, AnInvalidAssignmentZeroesTheCountsAndDeletesTheGroups) {
    StreamSet set;
    AddBalancedPair(set, "A", "B", 40, 50, 50, 100);
    AddBalancedPair(set, "C", "D", 140, 50, 50, 200);
    UnitsTargetInputs in;
    in.assignmentValid = true;
    in.streams = set.Refs();
    UnitsTargetData* r = UpdateUnitsTarget(nullptr, in, 36);
    r->CalculateMinimumUnitsTarget();
    ASSERT_EQ(r->GetMILPCount(), 1);
    ASSERT_EQ(r->GetNumberOfGroups(), 1);

    in.assignmentValid = false;
    EXPECT_EQ(UpdateUnitsTarget(r, in, 16), r);  // even on a code that leaves a valid record alone
    EXPECT_EQ(r->GetUnitsOverall(), 0);
    EXPECT_EQ(r->GetUnitsWithPinchDivision(), 0);
    EXPECT_EQ(r->GetMILPCount(), 0);
    EXPECT_EQ(r->GetLargestGroup(), 0);
    ASSERT_NE(r->GetGroups(), nullptr);  // the list stays, empty
    EXPECT_EQ(r->GetNumberOfGroups(), 0);
    EXPECT_EQ(UpdateUnitsTarget(nullptr, in, 36), nullptr);
    DeleteUnitsTarget(r);
}

// Four balanced pairs: the decomposition holds three entries (the last pair is the rest), so the
// overall count becomes N - 3 when the search runs on every update.
TEST(UnitsTargetBuilder, TheSearchOnUpdateLowersTheOverallCountByTheLargestGroup) {
    StreamSet set;
    AddBalancedPair(set, "A", "B", 40, 50, 50, 100);
    AddBalancedPair(set, "C", "D", 140, 50, 50, 230);
    AddBalancedPair(set, "E", "F", 240, 50, 50, 370);
    AddBalancedPair(set, "G", "H", 340, 50, 50, 510);
    UnitsTargetData r;
    r.SetMILPOnUpdate(1);
    r.Update(set.Refs(), {}, 0);
    EXPECT_EQ(r.GetMILPCount(), 3);
    EXPECT_EQ(r.GetLargestGroup(), 3);
    EXPECT_EQ(r.GetUnitsOverall(), 8 - 3);
    EXPECT_EQ(r.GetUnitsWithPinchDivision(), 8 - 1);

    // Asked for by the user instead, the search leaves the overall count alone.
    UnitsTargetData asked;
    asked.Update(set.Refs(), {}, 0);
    asked.CalculateMinimumUnitsTarget();
    EXPECT_EQ(asked.GetMILPCount(), 3);
    EXPECT_EQ(asked.GetUnitsOverall(), 7);
    asked.ClearMILPResult();
    EXPECT_EQ(asked.GetMILPCount(), 0);
    EXPECT_EQ(asked.GetLargestGroup(), 0);
    EXPECT_EQ(asked.GetNumberOfGroups(), 0);
}

// ---------------------------------------------------------------- the record

namespace {

}  // namespace

// Field by field what a version-1 record holds; it has no MILP flag, so the record keeps its own.
TEST(UnitsTargetRecord, AVersionOneRecordKeepsTheMILPFlagOfTheRecord) {
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    RecordHandle h;
    ASSERT_TRUE(w.BeginRecord(h, 1));
    for (int v : {7, 5, 0, 0, 0, 1}) w.WriteInt(v);
    w.WriteInt(0);  // no groups
    ASSERT_TRUE(w.EndRecord(h));
    UnitsTargetData r;
    LurmetBinaryFile rd = LurmetBinaryFile::ForReading(w.Bytes());
    ASSERT_TRUE(r.Recall(rd));
    EXPECT_EQ(r.GetUnitsWithPinchDivision(), 7);
    EXPECT_EQ(r.GetUnitsOverall(), 5);
    EXPECT_EQ(r.GetAssignmentMethod(), 1);
    EXPECT_EQ(r.GetMILPFlag(), 1);
}

// Counts read back are not trusted: a negative name count leaves the entry without names and the
// values still follow; a huge group count fails at the first missing group, allocating nothing
// for it.
TEST(UnitsTargetRecord, DamagedCountsAreRefusedWithoutAllocating) {
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    RecordHandle h;
    ASSERT_TRUE(w.BeginRecord(h, 1));
    w.WriteInt(1);
    w.WriteInt(-3);  // name count
    w.WriteInt(1);
    w.WriteLong(1);
    w.WriteDouble(42.0);
    ASSERT_TRUE(w.EndRecord(h));
    UnitsTargetEntry e;
    LurmetBinaryFile rd = LurmetBinaryFile::ForReading(w.Bytes());
    ASSERT_TRUE(e.Recall(rd));
    EXPECT_FALSE(e.HasNames());
    EXPECT_DOUBLE_EQ(e.GetValue(0), 42.0);

    LurmetBinaryFile wr = LurmetBinaryFile::ForWriting();
    RecordHandle rh;
    ASSERT_TRUE(wr.BeginRecord(rh, 2));
    for (int v : {0, 0, 0, 0, 0, 0}) wr.WriteInt(v);
    wr.WriteInt(1);
    wr.WriteLong(2147483647);  // groups claimed, none written
    wr.WriteInt(1);
    ASSERT_TRUE(wr.EndRecord(rh));
    UnitsTargetData r;
    LurmetBinaryFile rr = LurmetBinaryFile::ForReading(wr.Bytes());
    EXPECT_FALSE(r.Recall(rr));
    EXPECT_EQ(r.GetGroups(), nullptr);
}

// ---------------------------------------------------------------- over a scenario

namespace {

// Builds only the units target; the scenario never gets a utility placement record.
class UnitsOnlyBuilders : public NullTargetRecordBuilders {
public:
    UnitsTargetData* UpdateUnitsTarget(UnitsTargetData* record, IHeatIntegrationScenario& scenario, int code) override {
        ++calls;
        return ::UpdateUnitsTarget(record, scenario, code);
    }
    int calls = 0;
};

}  // namespace

TEST(UnitsTargetScenario, WithoutAValidUtilityPlacementTheScenarioHasNoUnitsTarget) {
    streamtest::EnsureRegistries();
    auto builders = std::make_shared<UnitsOnlyBuilders>();
    ScenarioServices services;
    services.builders = builders;
    CPIScenario scenario(nullptr, services);
    ASSERT_EQ(scenario.AddStream("H1", 0), 1);
    CPIHeatIntegrationStream* h1 = scenario.FindStream("H1");
    h1->SetValue("Temperature", 170.0, 0);
    h1->SetValue("Temperature", 60.0, 1);
    h1->SetValue("HeatCapacityFlowrate", 3.0, 0);
    ASSERT_NE(scenario.GetSegmentPool(), nullptr);
    scenario.UpdateTargets(nullptr, 36);
    EXPECT_GT(builders->calls, 0);
    EXPECT_EQ(scenario.GetUnitsTargetRecord(), nullptr);
    EXPECT_EQ(scenario.GetMinimumNumberOfUnits(0), 0);
    EXPECT_EQ(scenario.GetMinimumNumberOfUnits(1), 0);
    EXPECT_EQ(scenario.GetNumberOfUnitsTargetGroups(), 0);
    EXPECT_EQ(scenario.GetUnitsTargetEntryName(0, 0, 0), nullptr);
    EXPECT_DOUBLE_EQ(scenario.GetUnitsTargetEntryValue(0, 0, 0), -32767.0);
    EXPECT_EQ(scenario.GetUnitsTargetMILPFlag(), 0);
    EXPECT_EQ(scenario.SetUnitsTargetMILPFlag(2), nullptr);

    // An existing record is emptied rather than kept stale.
    auto* record = new UnitsTargetData();
    record->SetMILPOnUpdate(0);
    EXPECT_EQ(::UpdateUnitsTarget(record, scenario, 36), record);
    EXPECT_EQ(record->GetUnitsOverall(), 0);
    EXPECT_EQ(::UpdateUnitsTarget(record, scenario, 3), nullptr);
}
