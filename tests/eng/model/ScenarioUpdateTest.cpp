// The recalculation road of a scenario: the eight record builders in their order, the codes sent,
// the re-entrancy guard, suspension, suppression, the reaction to stream value changes and the
// design ranking.
#include "ScenarioTestDoubles.h"

#include "eng/model/SuperTargetRange.h"

#include <gtest/gtest.h>

#include <ostream>
using namespace scenario_test;

namespace {

std::vector<std::string> allBuilders(int code) {
    std::vector<std::string> calls;
    for (const char* r : {"energy", "placement", "units", "curves", "area", "capital", "operating", "total"})
        calls.push_back(std::string(r) + ":" + std::to_string(code));
    return calls;
}

}  // namespace

// ---------------------------------------------------------------- no streams

class NoStreamsFreesEverything : public ::testing::TestWithParam<int> {};

TEST_P(NoStreamsFreesEverything, FreesAllRecordsAndSendsThree) {
    Fixture f;
    f.scenario->UpdateTargets(nullptr, GetParam());
    EXPECT_EQ(f.builders->calls, allBuilders(3));
    ASSERT_EQ(f.view.Codes(), std::vector<int>{3});
    EXPECT_EQ(f.view.changes[0].text, "");
    EXPECT_EQ(f.view.changes[0].data, static_cast<IHeatIntegrationScenario*>(f.scenario.get()));
}

INSTANTIATE_TEST_SUITE_P(AnyCode, NoStreamsFreesEverything, ::testing::Values(35, 36, 18, 4, 16, 41));

TEST(ScenarioUpdate, DeletingTheLastStreamFreesTheRecordsItBuilt) {
    Fixture f;
    f.AddProcessStream("H1", 150, 50, 2);
    ASSERT_NE(f.scenario->GetCapitalCostRecord(), nullptr);
    f.Clear();
    ASSERT_EQ(f.scenario->DeleteStream("H1"), 1);
    EXPECT_EQ(f.builders->calls, allBuilders(3));
    EXPECT_EQ(f.scenario->GetCapitalCostRecord(), nullptr);
    EXPECT_EQ(f.scenario->GetOperatingCostRecord(), nullptr);
    EXPECT_EQ(f.scenario->GetSegmentPool(), nullptr);
    EXPECT_EQ(f.view.Codes(), (std::vector<int>{31, 3}));
}

// ---------------------------------------------------------------- streams without segments

TEST(ScenarioUpdate, StreamChangeRebuildsInFixedOrderAndTellsDesigns) {
    Fixture f;
    FakeDesign* d = f.AddDesign("Design 1");
    CPIHeatIntegrationStream* s = f.AddProcessStream("H1", 150, 50, 2);
    ASSERT_NE(s, nullptr);
    ASSERT_NE(f.scenario->GetSegmentPool(), nullptr);
    EXPECT_EQ(f.scenario->GetSegmentPool()->Length(), 1u);
    f.Clear();
    d->processed.clear();
    f.scenario->UpdateTargets(s, 36);
    EXPECT_EQ(f.builders->calls, allBuilders(36));
    EXPECT_EQ(d->processed, std::vector<int>{36});
    ASSERT_EQ(f.view.Codes(), std::vector<int>{36});
    EXPECT_EQ(f.view.changes[0].text, "H1");
    EXPECT_EQ(f.scenario->GetLastChangeSource(), s);
}

TEST(ScenarioUpdate, SegmentsAreShiftedByHalfTheScenarioDTmin) {
    Fixture f;
    f.AddProcessStream("H1", 150, 50, 2);
    f.AddProcessStream("C1", 40, 120, 3);
    CPTypedList<StreamSegment>* pool = f.scenario->GetSegmentPool();
    ASSERT_NE(pool, nullptr);
    ASSERT_EQ(pool->Length(), 2u);
    EXPECT_DOUBLE_EQ((*pool)[0]->dShiftedInletTemperature, 145.0);
    EXPECT_DOUBLE_EQ((*pool)[0]->dShiftedOutletTemperature, 45.0);
    EXPECT_DOUBLE_EQ((*pool)[1]->dShiftedInletTemperature, 45.0);
    EXPECT_DOUBLE_EQ((*pool)[1]->dShiftedOutletTemperature, 125.0);
    EXPECT_EQ(f.scenario->GetSegmentedFlag(), 1);
    // Sides known: the side lists hold the streams.
    EXPECT_EQ(f.scenario->GetNumberOfStreamsOfKind(0, 0), 1);
    EXPECT_EQ(f.scenario->GetNumberOfStreamsOfKind(0, 1), 1);
    EXPECT_EQ(f.scenario->GetNumberOfStreamsOfKind(4, 0), 1);
    EXPECT_EQ(f.scenario->GetNumberOfStreamsOfKind(4, 2), 0);
}

// ---------------------------------------------------------------- re-entrancy

TEST(ScenarioUpdate, ChangeArrivingDuringARecalculationIsDropped) {
    Fixture f;
    CPIHeatIntegrationStream* s = f.AddProcessStream("H1", 150, 50, 2);
    f.Clear();
    int nested = 0;
    f.builders->duringEnergy = [&] {
        if (nested++ == 0) f.scenario->UpdateTargets(nullptr, 18);
    };
    f.scenario->UpdateTargets(s, 36);
    EXPECT_EQ(f.builders->calls, allBuilders(36));
    EXPECT_EQ(f.view.Codes(), std::vector<int>{36});
    // The guard is released afterwards.
    f.Clear();
    f.scenario->UpdateTargets(nullptr, 18);
    EXPECT_EQ(f.view.Codes(), std::vector<int>{18});
}

// ---------------------------------------------------------------- suspension and suppression

TEST(ScenarioUpdate, SetDTminGivesGlobalStreamsHalfAndRecalculatesOnce) {
    Fixture f;
    CPIHeatIntegrationStream* s = f.AddProcessStream("H1", 150, 50, 2);
    f.Clear();
    f.scenario->SetDTmin(20.0);
    EXPECT_DOUBLE_EQ(s->GetDTminContribution(), 10.0);
    EXPECT_EQ(f.builders->calls, allBuilders(35));
    EXPECT_EQ(f.scenario->GetCalculationEnableCount(), 1);
    EXPECT_DOUBLE_EQ((*f.scenario->GetSegmentPool())[0]->dShiftedInletTemperature, 140.0);
}

// ---------------------------------------------------------------- supertargeting points

// ---------------------------------------------------------------- value change notifications

struct ValueCase {
    const char* name;
    bool utility;
    int expected;  // code sent, 0 for none
    bool reachesDesigns;
};

class ValueChangeCode : public ::testing::TestWithParam<ValueCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.name; }

TEST_P(ValueChangeCode, MapsTheValueNameToItsCode) {
    Fixture f;
    FakeDesign* d = f.AddDesign("Design 1");
    CPIHeatIntegrationStream* s = f.AddProcessStream("H1", 150, 50, 2);
    ASSERT_NE(s, nullptr);
    if (GetParam().utility) {
        // Take the segments as they are and make the stream a utility without a value change.
        s->SetStreamKind(1, 0);
    }
    f.Clear();
    d->operationUpdates.clear();
    f.scenario->NotifyChange(37, GetParam().name, static_cast<IHeatIntegrationStream*>(s));
    if (GetParam().expected) {
        ASSERT_EQ(f.view.Codes(), std::vector<int>{GetParam().expected});
        EXPECT_EQ(f.view.changes[0].text, "H1");
    } else {
        EXPECT_TRUE(f.view.changes.empty());
    }
    EXPECT_EQ(d->operationUpdates.size(), GetParam().reachesDesigns ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ValueChangeCode,
    ::testing::Values(ValueCase{"Temperature", false, 36, true}, ValueCase{"Enthalpy", false, 36, false},
                      ValueCase{"MassFlow", true, 41, true}, ValueCase{"CHTCoeff", true, 18, false},
                      ValueCase{"PricePerMass", false, 0, true}));

// ---------------------------------------------------------------- design ranking

TEST(ScenarioUpdate, DesignsRankFromLargestTotalCostDown) {
    Fixture f;
    FakeDesign* a = f.AddDesign("A");
    FakeDesign* b = f.AddDesign("B");
    FakeDesign* c = f.AddDesign("C");
    a->utilityCost = 10; a->capitalCost = 5;   // 15
    b->utilityCost = 30; b->capitalCost = 10;  // 40
    c->utilityCost = 1;  c->capitalCost = 24;  // 25
    b->complete = true;
    c->complete = true;
    f.scenario->RankDesigns();
    std::vector<std::string> ranked, complete;
    IHENDesign* d = nullptr;
    for (int i = 0; f.scenario->GetDesign(i, d, 1); ++i) ranked.push_back(d->GetDesignName());
    for (int i = 0; f.scenario->GetDesign(i, d, 2); ++i) complete.push_back(d->GetDesignName());
    EXPECT_EQ(ranked, (std::vector<std::string>{"B", "C", "A"}));
    EXPECT_EQ(complete, (std::vector<std::string>{"B", "C"}));
    EXPECT_EQ(f.scenario->GetNumberOfCompleteDesigns(), 2);
    // A design reporting a cost change is re-ranked.
    a->utilityCost = 100;
    a->SendAMessage(6, "", nullptr);
    ASSERT_TRUE(f.scenario->GetDesign(0, d, 1));
    EXPECT_STREQ(d->GetDesignName(), "A");
    // By dictionary order with kind 0; another kind answers whether out is already set.
    ASSERT_TRUE(f.scenario->GetDesign(0, d, 0));
    EXPECT_STREQ(d->GetDesignName(), "A");
    IHENDesign* none = nullptr;
    EXPECT_FALSE(f.scenario->GetDesign(0, none, 7));
    EXPECT_FALSE(f.scenario->GetDesign(3, d, 0));
}
