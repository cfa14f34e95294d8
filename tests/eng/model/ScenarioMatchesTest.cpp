// A scenario's utility assignment method and its status, user-supplied loads, forbidden matches,
// and the per-match records with their case-file record.
#include "tests/eng/model/ScenarioTestDoubles.h"
#include "tests/eng/targeting/PlacementTestSupport.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/targeting/UtilityPlacement.h"
#include "lumeth/Framework.h"

#include <gtest/gtest.h>

#include <string>

using placement_test::FourStreamProject;
using scenario_test::Fixture;

namespace {

constexpr double kTol = 1e-7;

// The four streams with steam and cooling water, placed automatically (20 and 60).
struct PlacedProject : FourStreamProject {
    PlacedProject() {
        SetAutomationStartup(false);
        ok = scenario && AddUtility("HP Steam") && AddUtility("Cooling Water");
    }
    bool ok = false;
};

}  // namespace

// ---------------------------------------------------------------- assignment method

TEST(ScenarioMatches, AMethodChosenOnAnEmptyScenarioIsKeptForItsFirstPlacement) {
    Fixture f;
    EXPECT_EQ(f.scenario->GetUtilityAssignmentMethod(), 0);
    EXPECT_EQ(f.scenario->SetUtilityAssignmentMethod(1), 1);
    // Without streams the recalculation frees every record, the placement made for the choice
    // too; the choice stays.
    EXPECT_EQ(f.scenario->GetUtilityPlacementRecord(), nullptr);
    EXPECT_EQ(f.scenario->GetUtilityAssignmentMethod(), 1);
    EXPECT_EQ(f.view.Count(66), 1);
    EXPECT_EQ(f.scenario->GetUtilityAssignmentStatus(0), 0);

    FourStreamProject p;
    ASSERT_EQ(p.scenario->SetUtilityAssignmentMethod(1), 1);
    ASSERT_TRUE(p.AddUtility("HP Steam"));
    ASSERT_NE(p.scenario->GetUtilityPlacementRecord(), nullptr);
    EXPECT_EQ(p.scenario->GetUtilityPlacementRecord()->GetMethod(), 1);
}

TEST(ScenarioMatches, WithoutARecordThereIsNothingToAssign) {
    Fixture f;
    f.AddProcessStream("H1", 150, 50, 2);
    f.Clear();
    EXPECT_EQ(f.scenario->AssignUtilityLoads(), 0);
    EXPECT_TRUE(f.view.changes.empty());
    EXPECT_TRUE(f.builders->calls.empty());
    EXPECT_EQ(f.scenario->GetUtilityAssignmentStatus(0), 0);
    EXPECT_FALSE(f.scenario->IsUtilityPlacementValid());
}

TEST(ScenarioMatches, UserSuppliedLoadsFromTheMethodSwitchToTheAssignment) {
    PlacedProject p;
    ASSERT_TRUE(p.ok);
    ASSERT_EQ(p.scenario->SetUtilityAssignmentMethod(1), 1);
    // The loads the automatic placement left are at the targets: nothing is missing.
    EXPECT_EQ(p.scenario->GetUtilityAssignmentMethod(), 1);
    EXPECT_EQ(p.scenario->GetUtilityAssignmentStatus(0), 0);
    EXPECT_EQ(p.scenario->GetUtilityAssignmentStatus(1), 0);
    EXPECT_EQ(p.scenario->GetUtilityAssignmentStatus(2), 0);
    EXPECT_TRUE(p.scenario->IsUtilityPlacementValid());
    // The user-load curves without the make-up points: hot from the steam's 250 down, cold from
    // C2's 140 down to the cooling water's 20.
    EXPECT_EQ(p.scenario->GetNumberOfCurvePoints(12), 6);  // 250 249 170 150 60 30
    EXPECT_DOUBLE_EQ(p.scenario->GetTargetCurveValue(12, 0, 0), 250.0);
    EXPECT_NEAR(p.scenario->GetTargetCurveValue(12, 1, 0), 530.0, kTol);
    EXPECT_EQ(p.scenario->GetNumberOfCurvePoints(13), 5);  // 140 135 80 25 20
    EXPECT_DOUBLE_EQ(p.scenario->GetTargetCurveValue(13, 0, 4), 20.0);
    EXPECT_NEAR(p.scenario->GetTargetCurveValue(13, 1, 2), 180.0, kTol);
    // Methods 1 and 2 use the energy target's pinch points.
    EXPECT_NEAR(p.scenario->GetPinchTemperature(0, 0), 90.0, kTol);

    // The user gives the steam 12 kW: 8 kW of heat are missing.
    p.view.changes.clear();
    ASSERT_EQ(p.Stream("HP Steam")->NotifyValueChanged(12.0), 1);
    EXPECT_NEAR(p.Load("HP Steam"), 12.0, kTol);
    EXPECT_EQ(p.scenario->GetUtilityAssignmentStatus(0), 1);
    EXPECT_EQ(p.scenario->GetUtilityAssignmentStatus(1), 0);
    EXPECT_FALSE(p.scenario->IsUtilityPlacementValid());
    EXPECT_EQ(p.view.Count(40), 1);

    // Assigning gives the missing 8 kW to the hottest steam.
    EXPECT_EQ(p.scenario->AssignUtilityLoads(), 1);
    EXPECT_NEAR(p.Load("HP Steam"), 20.0, kTol);
    EXPECT_NEAR(p.Load("Cooling Water"), 60.0, kTol);
    EXPECT_EQ(p.scenario->GetUtilityAssignmentStatus(0), 0);
    EXPECT_TRUE(p.scenario->IsUtilityPlacementValid());

    // Back to automatic placement: the loads are placed again.
    ASSERT_TRUE(p.Stream("Cooling Water")->NotifyValueChanged(70.0));
    EXPECT_EQ(p.scenario->SetUtilityAssignmentMethod(0), 1);
    EXPECT_NEAR(p.Load("Cooling Water"), 60.0, kTol);
    EXPECT_EQ(p.scenario->GetUtilityPlacementRecord()->GetUserSuppliedLoads(), nullptr);
}

// Two utilities per side: the automatic placement gives the 20 kW to MP steam (cheaper, and hot
// enough for C2's 140 C) and leaves HP steam unused; below the pinch only cooling water serves,
// LP steam generation (124 -> 125 C) stands above it and stays unused. A load typed for an unused
// utility is the user's: it reads back, and the assignment tops up from it.
TEST(ScenarioMatches, UserSuppliedLoadsOnUtilitiesTheAutomaticPlacementLeftUnused) {
    FourStreamProject p;
    SetAutomationStartup(false);
    ASSERT_TRUE(p.scenario && p.AddUtility("HP Steam") && p.AddUtility("MP Steam") && p.AddUtility("Cooling Water") &&
                p.AddUtility("LP Steam Generation"));
    ASSERT_NEAR(p.Load("MP Steam"), 20.0, kTol);
    ASSERT_NEAR(p.Load("HP Steam"), 0.0, kTol);
    ASSERT_NEAR(p.Load("LP Steam Generation"), 0.0, kTol);
    ASSERT_EQ(p.scenario->SetUtilityAssignmentMethod(1), 1);

    // The user moves the heat to HP steam: 20 kW there, none on MP steam.
    ASSERT_EQ(p.Stream("MP Steam")->NotifyValueChanged(0.0), 1);
    ASSERT_EQ(p.Stream("HP Steam")->NotifyValueChanged(20.0), 1);
    EXPECT_NEAR(p.Load("HP Steam"), 20.0, kTol);
    EXPECT_NEAR(p.Load("MP Steam"), 0.0, kTol);
    EXPECT_EQ(p.scenario->GetUtilityAssignmentStatus(0), 0);
    EXPECT_TRUE(p.scenario->IsUtilityPlacementValid());
    EXPECT_GT(p.scenario->GetCostTarget(4), 0.0);

    // 12 kW typed on HP steam leaves 8 kW short; the assignment gives them to the hottest steam.
    ASSERT_EQ(p.Stream("HP Steam")->NotifyValueChanged(12.0), 1);
    EXPECT_NEAR(p.Load("HP Steam"), 12.0, kTol);
    EXPECT_EQ(p.scenario->GetUtilityAssignmentStatus(0), 1);
    EXPECT_EQ(p.scenario->AssignUtilityLoads(), 1);
    EXPECT_NEAR(p.Load("HP Steam"), 20.0, kTol);
    EXPECT_EQ(p.scenario->GetUtilityAssignmentStatus(0), 0);
    EXPECT_NEAR(p.Load("Cooling Water"), 60.0, kTol);
    EXPECT_NEAR(p.Load("LP Steam Generation"), 0.0, kTol);
}

TEST(ScenarioMatches, ForbiddenMatchesAllowOnlyTheAutomaticPlacement) {
    PlacedProject p;
    ASSERT_TRUE(p.ok);
    ASSERT_EQ(p.scenario->SetUtilityAssignmentMethod(1), 1);
    p.view.changes.clear();

    // Forbidding H1 with C1 switches to the automatic placement (and the area LP).
    ASSERT_EQ(p.Stream("H1")->LinkStream("C1"), 1);
    EXPECT_GT(p.scenario->GetNumberOfForbiddenMatches(), 0);
    EXPECT_TRUE(p.view.Saw(60, "ChangingToLPAndGCCChoseForbidden"));
    EXPECT_EQ(p.scenario->GetUtilityAssignmentMethod(), 0);
    p.scenario->EndForbiddenMatchChanges();
    EXPECT_EQ(p.scenario->GetCalculationEnableCount(), 1);
    // H1 may no longer heat C1: the steam takes the energy target's larger hot utility.
    EXPECT_GT(p.scenario->GetUtilityTarget(0), 20.0 + 1.0);
    EXPECT_NEAR(p.Load("HP Steam"), p.scenario->GetUtilityTarget(0), 1e-6);
    EXPECT_NEAR(p.Load("Cooling Water"), p.scenario->GetUtilityTarget(1), 1e-6);
    EXPECT_TRUE(p.scenario->IsUtilityPlacementValid());
    EXPECT_EQ(p.scenario->GetAreaTargetMethod(), 1);
    EXPECT_EQ(p.scenario->ValidateTargetMethodsForForbiddenMatches(), 1);

    p.view.changes.clear();
    for (int method : {1, 2}) {
        EXPECT_EQ(p.scenario->SetUtilityAssignmentMethod(method), 0);
        EXPECT_EQ(p.scenario->GetUtilityAssignmentMethod(), 0);
        EXPECT_EQ(p.scenario->GetUtilityPlacementRecord()->GetMethod(), 0);
    }
    EXPECT_EQ(p.view.Count(60), 2);
    EXPECT_TRUE(p.view.Saw(60, "OnlyGCCBasedAllowedIfForbidden"));
    EXPECT_EQ(p.view.Count(66), 0);

    // Allowing the match again leaves the method at 0.
    ASSERT_EQ(p.Stream("H1")->UnlinkStream("C1"), 1);
    p.scenario->EndForbiddenMatchChanges();
    EXPECT_TRUE(p.view.Saw(60, "ChangingToBathChoseUnForbidAll"));
    EXPECT_EQ(p.scenario->GetUtilityAssignmentMethod(), 0);
    EXPECT_EQ(p.scenario->GetAreaTargetMethod(), 0);
    EXPECT_NEAR(p.Load("HP Steam"), 20.0, kTol);
    EXPECT_EQ(p.scenario->SetUtilityAssignmentMethod(1), 1);

    // Forbidden again, and then C1 made a utility, as the user switches it: a utility is never
    // forbidden, so the match goes with the switch as with a deletion, and the count with it.
    ASSERT_EQ(p.Stream("H1")->LinkStream("C1"), 1);
    p.scenario->EndForbiddenMatchChanges();
    p.view.changes.clear();
    EXPECT_EQ(p.Stream("C1")->SetStreamKind(1, 1), 0);  // it had a link
    EXPECT_EQ(p.Stream("C1")->GetStreamKind(), 1);
    EXPECT_EQ(p.scenario->GetNumberOfForbiddenMatches(), 0);
    EXPECT_FALSE(p.Stream("H1")->IsLinkedTo("C1"));
    EXPECT_EQ(p.Stream("H1")->GetStreamKind(), 0);
    EXPECT_TRUE(p.view.Saw(60, "ChangingToBathChoseUnForbidAll"));
    EXPECT_EQ(p.scenario->SetUtilityAssignmentMethod(1), 1);
}

// A caller that holds the calculations (the host while it sets its options) gets one
// recalculation at its own resume: a batch of forbidden matches made meanwhile gives back only
// its own suspension, and the result equals the same changes made one by one.
TEST(ScenarioMatches, ForbiddenBatchInsideHeldCalculationsWaitsForTheResume) {
    PlacedProject held, direct;
    ASSERT_TRUE(held.ok && direct.ok);
    const double before = held.scenario->GetUtilityTarget(0);

    held.scenario->SuspendCalculations();
    ASSERT_EQ(held.scenario->SetDTmin(20.0), 1);
    ASSERT_EQ(held.Stream("H1")->LinkStream("C1"), 1);
    held.scenario->EndForbiddenMatchChanges();
    EXPECT_EQ(held.scenario->GetCalculationEnableCount(), 0);
    EXPECT_EQ(held.scenario->GetUtilityTarget(0), before);
    held.scenario->ResumeCalculations(true);
    EXPECT_EQ(held.scenario->GetCalculationEnableCount(), 1);

    ASSERT_EQ(direct.scenario->SetDTmin(20.0), 1);
    ASSERT_EQ(direct.Stream("H1")->LinkStream("C1"), 1);
    direct.scenario->EndForbiddenMatchChanges();
    EXPECT_GT(held.scenario->GetUtilityTarget(0), before + 1.0);
    EXPECT_NEAR(held.scenario->GetUtilityTarget(0), direct.scenario->GetUtilityTarget(0), kTol);
    EXPECT_NEAR(held.scenario->GetUtilityTarget(1), direct.scenario->GetUtilityTarget(1), kTol);
    EXPECT_NEAR(held.Load("HP Steam"), direct.Load("HP Steam"), kTol);
    EXPECT_EQ(held.scenario->GetAreaTargetMethod(), direct.scenario->GetAreaTargetMethod());
}

// ---------------------------------------------------------------- per-match records

TEST(MatchwiseData, UtilitiesArePairedOnlyWithTheProcess) {
    PlacedProject p;
    ASSERT_TRUE(p.ok);
    MatchwiseStreamDataList* list = p.scenario->GetMatchwiseStreamData();
    ASSERT_NE(list, nullptr);
    // Hot: H1, H2, steam; cold: C1, C2, water; steam with water is no match.
    EXPECT_EQ(list->GetNumberOfMatches(), 8);
    EXPECT_EQ(list->FindMatch(p.Stream("HP Steam"), p.Stream("Cooling Water")), nullptr);
    ASSERT_NE(list->FindMatch(p.Stream("H1"), p.Stream("Cooling Water")), nullptr);
    EXPECT_EQ(list->FindMatch(p.Stream("H1"), p.Stream("Cooling Water"))->nUtility, 1);
    EXPECT_EQ(list->FindMatch(p.Stream("H1"), p.Stream("C1"))->nUtility, 0);

    struct Expect {
        const char* stream;
        std::size_t matches;
    };
    for (const Expect& e : {Expect{"H1", 3}, Expect{"HP Steam", 2}, Expect{"Cooling Water", 2}, Expect{"C2", 3}}) {
        auto matches = list->GetMatchesOfStream(p.Stream(e.stream));
        ASSERT_NE(matches, nullptr);
        EXPECT_EQ(matches->Length(), e.matches) << e.stream;
        for (MatchwiseStreamData* m : *matches) EXPECT_TRUE(m->Involves(p.Stream(e.stream)));
    }
    EXPECT_EQ(list->GetMatchesOfStream(nullptr), nullptr);
    EXPECT_STREQ(p.scenario->GetMatchCostModelName("H1", "Nobody"), "DEFAULT");
}

namespace {

}  // namespace

TEST(MatchwiseData, RecordRoundTripUpperCasesTheModelAndReadsOlderVersions) {
    MatchwiseStreamData m(nullptr, nullptr);
    m.dFirstValue = 1.5;
    m.dCountercurrentArea = 2.5;
    m.dShellAndTubeArea = 3.5;
    m.dFourthValue = 4.5;
    m.dMatchValue = 5.5;
    m.dFactor = 0.75;
    m.dTolerance[1] = 1e-6;
    m.nInteger[0] = 7;
    m.SetCostModelName("cheap");
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(m.Store(w));
    ASSERT_TRUE(m.Store(w));

    LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
    // The first record belongs to a pair that no longer exists: it is passed over.
    ASSERT_TRUE(MatchwiseStreamData::SkipRecord(r));
    MatchwiseStreamData back(nullptr, nullptr);
    ASSERT_TRUE(back.Recall(r));
    EXPECT_EQ(back.GetCostModelName(), "CHEAP");
    EXPECT_DOUBLE_EQ(back.dFirstValue, 1.5);
    EXPECT_DOUBLE_EQ(back.dCountercurrentArea, 2.5);
    EXPECT_DOUBLE_EQ(back.dShellAndTubeArea, 3.5);
    EXPECT_DOUBLE_EQ(back.dFourthValue, 4.5);
    EXPECT_DOUBLE_EQ(back.dMatchValue, 5.5);
    EXPECT_DOUBLE_EQ(back.dFactor, 0.75);
    EXPECT_DOUBLE_EQ(back.dTolerance[1], 1e-6);
    EXPECT_EQ(back.nInteger[0], 7);

    // Version 1 ends after the name: the first, third and fourth values keep what they were.
    LurmetBinaryFile old = LurmetBinaryFile::ForWriting();
    RecordHandle h;
    old.BeginRecord(h, 1);
    for (double v : {2.0, 3.0, 1.0, 1e-8, 1e-8}) old.WriteDouble(v);
    old.WriteInt(0);
    old.WriteInt(0);
    old.WriteCPString("Steel");
    old.EndRecord(h);
    LurmetBinaryFile ro = LurmetBinaryFile::ForReading(old.Bytes());
    MatchwiseStreamData fromOld(nullptr, nullptr);
    ASSERT_TRUE(fromOld.Recall(ro));
    EXPECT_EQ(fromOld.GetCostModelName(), "STEEL");
    EXPECT_DOUBLE_EQ(fromOld.dCountercurrentArea, 2.0);
    EXPECT_DOUBLE_EQ(fromOld.dFirstValue, 0.0);
    EXPECT_DOUBLE_EQ(fromOld.dShellAndTubeArea, 0.0);

    // The list's key: a failed read leaves none.
    MatchwiseStreamDataList list(nullptr);
    list.Key() = "old";
    LurmetBinaryFile empty = LurmetBinaryFile::ForReading(w.Bytes());
    EXPECT_FALSE(list.RecallKey(empty));
    EXPECT_TRUE(list.Key().empty());
}
