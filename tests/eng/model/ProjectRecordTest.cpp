// A whole project through the case file: several scenarios with every part of the scenario record
// come back equal (the second store gives the same bytes), and every truncation and many random
// damages of the file read back as a clean failure that leaves the project in memory as it was.
#include "ScenarioRecordTestSupport.h"

#include "eng/model/MatchwiseStreamData.h"
#include "eng/model/SuperTargetRange.h"
#include "eng/targeting/AreaTarget.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

using namespace scenario_record_test;

namespace {

// What the views read of a scenario, side by side for two scenarios.
void ExpectSameScenario(CPIScenario& a, CPIScenario& b) {
    const std::string name = a.GetName() ? a.GetName() : "";
    SCOPED_TRACE(name);
    EXPECT_STREQ(a.GetName(), b.GetName());
    EXPECT_STREQ(a.GetNotes(), b.GetNotes());
    EXPECT_EQ(a.GetDTmin(), b.GetDTmin());
    EXPECT_EQ(a.GetNumberOfProcessStreams(), b.GetNumberOfProcessStreams());
    EXPECT_EQ(a.GetNumberOfUtilityStreams(), b.GetNumberOfUtilityStreams());
    EXPECT_EQ(a.GetNumberOfForbiddenMatches(), b.GetNumberOfForbiddenMatches());
    EXPECT_EQ(a.GetNumberOfDesigns(), b.GetNumberOfDesigns());
    EXPECT_EQ(a.GetNumberOfCompleteDesigns(), b.GetNumberOfCompleteDesigns());
    for (int i = 0; i < a.GetNumberOfDesigns(); ++i) EXPECT_STREQ(a.GetDesignName(i), b.GetDesignName(i));
    for (int side : {0, 1}) EXPECT_DOUBLE_EQ(a.GetUtilityTarget(side), b.GetUtilityTarget(side));
    for (int kind : {0, 1}) {
        EXPECT_DOUBLE_EQ(a.GetAreaTarget(kind), b.GetAreaTarget(kind));
        EXPECT_EQ(a.GetMinimumNumberOfUnits(kind), b.GetMinimumNumberOfUnits(kind));
    }
    EXPECT_EQ(a.GetAreaTargetMethod(), b.GetAreaTargetMethod());
    EXPECT_EQ(a.GetNumberOfShellsTarget(), b.GetNumberOfShellsTarget());
    EXPECT_EQ(a.GetNumberOfPinchPoints(), b.GetNumberOfPinchPoints());
    EXPECT_EQ(a.GetNumberOfSuperTargetPoints(), b.GetNumberOfSuperTargetPoints());
    EXPECT_EQ(a.GetNumberOfUnitsTargetGroups(), b.GetNumberOfUnitsTargetGroups());
    EXPECT_EQ(a.GetMinimumFFactor(), b.GetMinimumFFactor());
    EXPECT_EQ(a.GetLevelSetting4(), b.GetLevelSetting4());
    EXPECT_EQ(a.GetNumberOfEconomicData(), b.GetNumberOfEconomicData());
    EXPECT_STREQ(a.GetReport(), b.GetReport());
    const StreamLynxCollection* la = a.GetStreamLinkCollection();
    const StreamLynxCollection* lb = b.GetStreamLinkCollection();
    ASSERT_EQ(la == nullptr, lb == nullptr);
    if (la) {
        EXPECT_EQ(la->GetNumberOfLinks(), lb->GetNumberOfLinks());
    }
    ASSERT_EQ(a.GetMatchwiseStreamData() == nullptr, b.GetMatchwiseStreamData() == nullptr);
    if (a.GetMatchwiseStreamData()) {
        EXPECT_EQ(a.GetNumberOfMatches(), b.GetNumberOfMatches());
        for (int m = 0; m < a.GetNumberOfMatches(); ++m) EXPECT_STREQ(a.GetMatchCostModelNameAt(m), b.GetMatchCostModelNameAt(m));
    }
    for (int code : {0, 1, 2}) EXPECT_DOUBLE_EQ(a.GetCostTarget(code), b.GetCostTarget(code)) << code;
}

}  // namespace

TEST(ProjectRecordRoundTrip, EveryScenarioComesBackEqualAndStoresTheSameBytes) {
    RecordProject original;
    BuildRichProject(original);
    Settle(original);
    const Bytes first = StoreProject(original.project);
    ASSERT_FALSE(first.empty());

    RecordProject recalled;
    ASSERT_TRUE(RecallProject(recalled.project, first));
    // The record holds more than the queries below show: a second store gives the same bytes.
    // (It comes first: some queries make objects, the report holder for one.)
    const Bytes second = StoreProject(recalled.project);
    ASSERT_EQ(first.size(), second.size());
    EXPECT_TRUE(first == second);

    ASSERT_EQ(recalled.project.GetNumberOfScenarios(), 3);
    for (const char* name : {"Base", "Forbidden", "Empty"}) {
        ASSERT_NE(recalled.Scenario(name), nullptr) << name;
        ExpectSameScenario(*original.Scenario(name), *recalled.Scenario(name));
        EXPECT_EQ(recalled.Scenario(name)->GetProject(), &recalled.project);
    }
}

TEST(ProjectRecordRoundTrip, RecalledScenarioHoldsTheRecordedObjects) {
    RecordProject original;
    BuildRichProject(original);
    RecordProject recalled;
    ASSERT_TRUE(RecallProject(recalled.project, StoreProject(original.project)));
    CPIScenario& base = *recalled.Scenario("Base");

    // Streams with their segments and the segment pool built from them.
    CPIHeatIntegrationStream* h2 = base.FindStream("H2");
    ASSERT_NE(h2, nullptr);
    EXPECT_EQ(h2->GetNumberOfSegments(), 2);
    ASSERT_NE(base.GetSegmentPool(), nullptr);
    EXPECT_EQ(base.GetSegmentPool()->Length(), original.Scenario("Base")->GetSegmentPool()->Length());
    // Recalculated at the recalled DTmin 12: shifted intervals 164-146-144-141-86-54-26-24 carry
    // +54, -2, +1.5, -82.5, +80, -14, +3; the cascade falls to -29 at 86 and ends at 40.
    EXPECT_DOUBLE_EQ(base.GetUtilityTarget(0), 29.0);
    EXPECT_DOUBLE_EQ(base.GetUtilityTarget(1), 69.0);
    // The designs are the factory's, read from their own records and ranked again.
    ASSERT_EQ(recalled.designs->made.size(), 3u);
    EXPECT_DOUBLE_EQ(recalled.designs->made[0]->utilityCost, 5.0);
    EXPECT_TRUE(recalled.designs->made[0]->complete);
    EXPECT_EQ(base.GetNumberOfCompleteDesigns(), 1);
    // The link reads its candidates from the recalled streams.
    StreamLynx* link = base.GetStreamLinkCollection()->GetLink(0);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->GetLinkedStream(), base.FindStream("H1"));
    EXPECT_TRUE(link->IsAdvanced());
    EXPECT_DOUBLE_EQ(link->GetTemperatureCoefficient("Temperature", 0), 0.5);
    EXPECT_DOUBLE_EQ(link->GetTemperatureUpperBound("Temperature", 0), 180.0);
    EXPECT_STREQ(base.GetMatchCostModelName("H1", "C2"), "PLATE");
    // The forbidden match: both streams linked again, the area from the LP.
    CPIScenario& forbidden = *recalled.Scenario("Forbidden");
    EXPECT_TRUE(forbidden.FindStream("H1")->IsLinkedTo("C1"));
    EXPECT_TRUE(forbidden.FindStream("C1")->IsLinkedTo("H1"));
    EXPECT_EQ(forbidden.GetAreaTargetMethod(), AreaTarget::LinearProgramming);
    EXPECT_EQ(recalled.Scenario("Empty")->GetNumberOfProcessStreams(), 0);
}

// ---------------------------------------------------------------- damaged files

namespace {

// A project that already holds a scenario: a failed read must leave it there.
struct Holder {
    Holder() { holder.project.AddScenario("Kept"); }
    bool Intact() const { return holder.project.GetNumberOfScenarios() == 1 && holder.Scenario("Kept"); }
    RecordProject holder;
};

}  // namespace

TEST(ProjectRecordDamage, EveryPrefixFailsCleanlyAndKeepsTheProjectInMemory) {
    RecordProject p;
    BuildRichProject(p);
    const Bytes full = StoreProject(p.project);
    ASSERT_FALSE(full.empty());
    {
        Holder h;
        ASSERT_TRUE(RecallProject(h.holder.project, full));
        EXPECT_EQ(h.holder.project.GetNumberOfScenarios(), 3);
    }
    // The record lengths tell the reader of a cut file before any scenario is made.
    Holder h;
    for (std::size_t n = 0; n < full.size(); ++n) {
        const Bytes prefix(full.begin(), full.begin() + static_cast<long>(n));
        EXPECT_FALSE(RecallProject(h.holder.project, prefix)) << "prefix of " << n << " bytes";
        ASSERT_TRUE(h.Intact()) << "prefix of " << n << " bytes";
    }
}

TEST(ProjectRecordDamage, EveryTruncatedContentFailsCleanly) {
    // Damage the framing cannot see: every record closed properly, but the fields stop after the
    // first n of them, anywhere in any scenario, stream, target or design record.
    RecordProject p;
    BuildRichProject(p);
    FailingWriter counter;
    ASSERT_TRUE(p.project.Store(counter));
    Holder h;
    for (std::size_t n = 0; n < counter.Writes(); ++n) {
        FailingWriter cut(n, FailingWriter::After::Drop);
        ASSERT_TRUE(p.project.Store(cut));
        EXPECT_FALSE(RecallProject(h.holder.project, cut.Written())) << "first " << n << " fields";
        ASSERT_TRUE(h.Intact()) << "first " << n << " fields";
    }
}

TEST(ProjectRecordDamage, RandomDamageNeverCrashes) {
    RecordProject p;
    BuildRichProject(p);
    const Bytes full = StoreProject(p.project);
    ASSERT_FALSE(full.empty());
    std::mt19937 random(20240917u);
    std::uniform_int_distribution<std::size_t> position(0, full.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255), hits(1, 6);
    int failures = 0;
    auto h = std::make_unique<Holder>();
    for (int round = 0; round < 1000; ++round) {
        Bytes damaged = full;
        for (int k = hits(random); k > 0; --k) damaged[position(random)] = static_cast<std::uint8_t>(byte(random));
        if (RecallProject(h->holder.project, damaged)) {
            // A damage the reader cannot tell from data (a changed number) reads as a project.
            EXPECT_EQ(h->holder.project.GetNumberOfScenarios(), 3) << "round " << round;
            h = std::make_unique<Holder>();
        } else {
            ++failures;
        }
        ASSERT_TRUE(h->Intact()) << "round " << round;
    }
    // Most damage hits tags, lengths, counts, flags and names, and is noticed.
    EXPECT_GT(failures, 500);
}
