// The scenario record: records of every version from 1 to 17 read with the stated defaults, the
// economic data of versions 1 to 3, match records of streams that are gone, failed reads, refused
// versions, total-site scenarios, and a store and recall of a scenario with every record.
#include "OldScenarioRecordWriter.h"

#include "brasko/DefaultManager.h"
#include "dunmor/Exceptions.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/model/ScenarioRecord.h"
#include "eng/model/StreamLynxCollection.h"
#include "eng/model/SuperTargetRange.h"

#include <gtest/gtest.h>

#include <ostream>
#include <algorithm>
#include <memory>
#include <string>

using namespace scenario_record_test;

namespace {

// An empty scenario with the production services and the design double, to read records into.
struct Reader {
    explicit Reader(bool withDesigns = true) {
        ScenarioServices services = RecordServices(designs);
        if (!withDesigns) services.designs.reset();
        scenario = std::make_unique<CPIScenario>(nullptr, services);
    }
    bool Read(const Bytes& bytes) { return RecallScenario(*scenario, bytes); }
    bool HasDesignCode(std::size_t design, int code) const {
        const std::vector<int>& codes = designs->made.at(design)->processed;
        return std::find(codes.begin(), codes.end(), code) != codes.end();
    }
    std::shared_ptr<RecordDesignFactory> designs = std::make_shared<RecordDesignFactory>();
    std::unique_ptr<CPIScenario> scenario;
};

// Streams as an older writer left them: built and shifted for the record's DTmin, in a free owner.
struct OldStreams {
    OldStreams() { streamtest::EnsureRegistries(); }
    CPIHeatIntegrationStream* Add(const CPString& name, double supply, double target, double cp, double dTmin) {
        CPIHeatIntegrationStream* s = owner.Add(name);
        s->SetValue("Temperature", supply, 0);
        s->SetValue("Temperature", target, 1);
        s->SetValue("HeatCapacityFlowrate", cp, 0);
        s->SetDesignSegments(s->BuildDesignSegments());
        for (auto& segment : *s->GetDesignSegments()) segment->ShiftTemperatures(dTmin);
        return s;
    }
    streamtest::FakeStreamOwner owner;
};

// A record with every item an old writer could give: two process streams (H1 170 -> 60 CP 3,
// C1 20 -> 135 CP 2), their match, two designs, the old economic data and a default manager.
struct FullOldRecord {
    explicit FullOldRecord(int version) {
        manager.SetUpDefaults();
        manager.SetEconomicData(EDT_AreaCostCoefficient, 555.0, "DEFAULT");
        r.version = version;
        r.totalSite = true;
        r.process = {streams.Add("H1", 170.0, 60.0, 3.0, 15.0), streams.Add("C1", 20.0, 135.0, 2.0, 15.0)};
        r.oldSetAreaCost = 950.0;
        r.oldInfoRate = 0.2;
        r.hasMatches = true;
        r.matches = {OldMatch{"H1", "C1", 42.0, "plate"}};
        r.economicList = std::vector<OldEconomicSet>{{"Plate", "Plate", 700.0}};
        r.designs = std::vector<OldDesign>{{"D1", 3.0}, {"D2", 1.0}};
        r.baseDesign = "D1";
        r.lastChangeSource = CPString("C1");
        r.manager = &manager;
        r.reportText = CPString("From the old days");
    }
    OldStreams streams;
    DefaultManager manager;
    OldScenarioRecord r;
};

}  // namespace

// ---------------------------------------------------------------- every version gate

class ScenarioRecordVersion : public ::testing::TestWithParam<int> {};

TEST_P(ScenarioRecordVersion, ReadsItsItemsAndKeepsTheDefaultsOfTheOthers) {
    const int v = GetParam();
    FullOldRecord old(v);
    Reader in;
    ASSERT_TRUE(in.Read(WriteOldScenarioRecord(old.r)));
    CPIScenario& s = *in.scenario;

    // Items every version has.
    EXPECT_STREQ(s.GetName(), "Old");
    EXPECT_STREQ(s.GetNotes(), "Written long ago");
    EXPECT_EQ(s.GetDTmin(), 15.0);
    EXPECT_EQ(s.GetFirstIntegerSetting(), 4);
    EXPECT_EQ(s.GetSecondIntegerSetting(), 6);
    EXPECT_EQ(s.GetStreamCounter(), 3);
    EXPECT_EQ(s.GetNumberOfForbiddenMatches(), 0);
    EXPECT_EQ(s.GetNumberOfProcessStreams(), 2);
    EXPECT_STREQ(s.GetMatchCostModelName("H1", "C1"), "PLATE");
    EXPECT_EQ(s.GetNumberOfDesigns(), 2);
    ASSERT_NE(s.GetLastChangeSource(), nullptr);
    EXPECT_EQ(s.GetLastChangeSource()->GetName(), "C1");
    // The targets were recalculated at the recalled DTmin 15: shifted H1 162.5 -> 52.5 and C1
    // 27.5 -> 142.5 give +60, +90, -50 down the cascade: no hot utility, 100 kW of cooling.
    EXPECT_DOUBLE_EQ(s.GetUtilityTarget(0), 0.0);
    EXPECT_DOUBLE_EQ(s.GetUtilityTarget(1), 100.0);

    // Items by version; an older record leaves the constructor's value.
    EXPECT_STREQ(s.GetRetrofitBaseDesignName(), v >= 5 ? "D1" : "");
    EXPECT_EQ(s.GetDesignCounter(), v >= 5 ? 9 : 2);
    EXPECT_EQ(s.IsTotalSiteScenario(), v >= 10 ? 1 : 0);
    // Below 4 the economic data came in items 10 and 19, from 4 on in the default manager.
    EXPECT_DOUBLE_EQ(s.GetEconomicData(EDT_AreaCostCoefficient, "DEFAULT"), v >= 4 ? 555.0 : 950.0);
    EXPECT_DOUBLE_EQ(s.GetEconomicData(EDT_RateOfReturn, "DEFAULT"), v >= 4 ? 0.1 : 0.2);
    EXPECT_EQ(s.GetNumberOfEconomicData(), v >= 4 ? 1 : 2);
    EXPECT_EQ(std::string(s.GetReport()).find("From the old days") != std::string::npos, v >= 6);
    EXPECT_EQ(s.GetStoredExtractionSettings() != nullptr, v >= 7);
    EXPECT_EQ(s.IsRetrofitScenario(), v >= 8);
    // A retrofit study whose base design the record lacks reads as an ordinary scenario.
    if (v >= 8) {
        FullOldRecord lost(v);
        lost.r.baseDesign = "Gone";
        Reader other;
        ASSERT_TRUE(other.Read(WriteOldScenarioRecord(lost.r)));
        EXPECT_FALSE(other.scenario->IsRetrofitScenario());
        EXPECT_STREQ(other.scenario->GetRetrofitBaseDesignName(), "");
    }
    EXPECT_EQ(s.GetStreamLinkCollection() != nullptr, v >= 9);
    EXPECT_EQ(s.GetMinimumFFactor(), v >= 13 ? 0.7 : 0.8);
    EXPECT_EQ(s.GetUseEquationBasedOptimization(), v >= 13);
    EXPECT_EQ(s.GetLevelSetting1(), v >= 14 ? 2 : 5);
    EXPECT_EQ(s.GetLevelSetting2(), v >= 15 ? 3 : 5);
    EXPECT_EQ(s.GetLevelSetting3(), v >= 15 ? 4 : 5);
    EXPECT_EQ(s.GetLevelSetting4(), v >= 15 ? 1 : 5);
    EXPECT_EQ(s.GetAllowUtilitiesAtExchangerPorts(), v >= 16);
    // The retrofit budget and the last run: 0 and none before 18. The run's design that the case
    // no longer holds ("Gone") is passed over; D2 is the newest result of a run from D1 in mode 2.
    EXPECT_EQ(s.GetOptimizerEconomicParameter(), v >= 18 ? 250000.0 : 0.0);
    IHENDesign *d1 = nullptr, *d2 = nullptr;
    ASSERT_TRUE(s.GetDesign(CPString("D1"), d1) && s.GetDesign(CPString("D2"), d2));
    EXPECT_EQ(s.GetRetrofitRunMode(d1), v >= 18 ? 2 : -1);
    EXPECT_EQ(s.GetRetrofitRunResult(d1, 2), v >= 18 ? d2 : nullptr);
    EXPECT_EQ(s.GetRetrofitRunResult(d1, 0), nullptr);
    EXPECT_EQ(s.GetRetrofitRunResult(d2, 2), nullptr);

    // The designs of an older record recalculate for what their writer did not keep.
    ASSERT_EQ(in.designs->made.size(), 2u);
    for (std::size_t d = 0; d < 2; ++d) {
        EXPECT_EQ(in.HasDesignCode(d, 36), v < 8) << d;
        EXPECT_EQ(in.HasDesignCode(d, 20), v < 11) << d;
        EXPECT_TRUE(in.HasDesignCode(d, 35)) << d;
        EXPECT_GE(in.designs->made[d]->pinchCopies, 2) << d;
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, ScenarioRecordVersion, ::testing::Range(1, ScenarioRecord::RecordVersion + 1),
                         [](const ::testing::TestParamInfo<int>& info) { return "V" + std::to_string(info.param); });

// ---------------------------------------------------------------- economic data of versions 1-3

struct EconomicListCase {
    const char* name;
    int version;
    std::vector<OldEconomicSet> sets;
    int expectedSets;  // named sets besides "DEFAULT"
    const char* lookUp;
    double expectedAreaCost;
};

class OldEconomicDataList : public ::testing::TestWithParam<EconomicListCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const EconomicListCase& c, std::ostream* os) { *os << c.name; }

TEST_P(OldEconomicDataList, EntersTheSetsUnderUpperCaseKeys) {
    const EconomicListCase& c = GetParam();
    OldScenarioRecord r;
    r.version = c.version;
    r.hasStreams = false;
    r.economicList = c.sets;
    Reader in;
    ASSERT_TRUE(in.Read(WriteOldScenarioRecord(r)));
    EXPECT_EQ(in.scenario->GetNumberOfEconomicData(), 1 + c.expectedSets);
    EXPECT_DOUBLE_EQ(in.scenario->GetEconomicData(EDT_AreaCostCoefficient, c.lookUp), c.expectedAreaCost);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, OldEconomicDataList,
    ::testing::Values(
        // Version 1 keys each set by the key stored before it; of two equal keys the first stays.
        EconomicListCase{"V1KeyedByStoredKey", 1, {{"Spiral", "Other", 640.0}}, 1, "SPIRAL", 640.0},
        EconomicListCase{"V1FirstOfTwoEqualKeys", 1, {{"Plate", "P1", 700.0}, {"PLATE", "P2", 900.0}}, 1, "plate",
                         700.0},
        // Versions 2 and 3 key each set by its own name.
        EconomicListCase{"V2KeyedBySetName", 2, {{"", "Other", 640.0}}, 1, "other", 640.0},
        EconomicListCase{"V3TwoSets", 3, {{"", "Plate", 700.0}, {"", "Spiral", 900.0}}, 2, "SPIRAL", 900.0},
        // A set named like the default one does not replace it.
        EconomicListCase{"V3DefaultNameIgnored", 3, {{"", "default", 1.0}}, 0, "DEFAULT", 800.0}),
    [](const ::testing::TestParamInfo<EconomicListCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- single cases

TEST(ScenarioRecordRead, MatchOfAStreamThatIsGoneIsSkipped) {
    OldStreams streams;
    OldScenarioRecord r;
    r.process = {streams.Add("H1", 170.0, 60.0, 3.0, 15.0), streams.Add("C1", 20.0, 135.0, 2.0, 15.0)};
    r.hasMatches = true;
    r.matches = {OldMatch{"H1", "Gone", 11.0, "lost"}, OldMatch{"Gone", "C1", 12.0, "lost"},
                 OldMatch{"H1", "C1", 42.0, "spiral"}};
    Reader in;
    ASSERT_TRUE(in.Read(WriteOldScenarioRecord(r)));
    ASSERT_EQ(in.scenario->GetNumberOfMatches(), 1);
    EXPECT_STREQ(in.scenario->GetMatchCostModelNameAt(0), "SPIRAL");
    EXPECT_EQ(in.scenario->GetMatchwiseStreamData()->Key(), "Match data");
}

// The count of forbidden matches is that of the streams' links: two with no link between the
// streams is damage, and the read fails.
TEST(ScenarioRecordRead, AForbiddenMatchCountWithoutLinksIsRefused) {
    FullOldRecord old(17);
    old.r.forbiddenMatches = 2;
    Reader in;
    EXPECT_FALSE(in.Read(WriteOldScenarioRecord(old.r)));
}

// A utility forbids nothing: a case written while a switch to a utility kept the stream's
// forbidden match (H1, made a utility the way a design's calculation does, keeps its link to
// C1) reads back with neither the link nor the count, and takes every placement method.
TEST(ScenarioRecordRead, AUtilityLetsGoOfTheForbiddenMatchItWasWrittenWith) {
    LiveScenario live;
    AddFourStreams(live.scenario);
    ASSERT_EQ(live.scenario.FindStream("H1")->LinkStream("C1"), 1);
    live.scenario.EndForbiddenMatchChanges();
    live.scenario.FindStream("H1")->SetStreamKind(1, 0);
    ASSERT_EQ(live.scenario.GetNumberOfForbiddenMatches(), 1);
    Reader in;
    ASSERT_TRUE(in.Read(StoreScenario(live.scenario)));
    EXPECT_EQ(in.scenario->GetNumberOfForbiddenMatches(), 0);
    EXPECT_EQ(in.scenario->FindStream("C1")->GetNumberOfLinkedStreams(), 0);
    EXPECT_EQ(in.scenario->FindStream("C1")->GetStreamKind(), 0);
    EXPECT_EQ(in.scenario->SetUtilityAssignmentMethod(1), 1);
}

TEST(ScenarioRecordRead, TotalSiteScenarioReadsItsProcessStreamsBesideTheSiteUtilities) {
    streamtest::EnsureRegistries();
    // The site's utility, inserted before the read as the site does.
    auto site = std::make_unique<CPIHeatIntegrationStream>(nullptr, "HP Steam");
    OldStreams streams;
    OldScenarioRecord r;
    r.totalSite = true;
    r.forbiddenMatches = 0;
    r.process = {streams.Add("H1", 170.0, 60.0, 3.0, 15.0)};
    r.utilities = {streams.Add("Cooling Water", 20.0, 25.0, 10.0, 15.0)};  // count only
    Reader in;
    ASSERT_EQ(in.scenario->InsertStream("HP Steam", site.get(), nullptr), 1);
    in.scenario->SetTotalSiteScenario(1);
    ASSERT_TRUE(in.Read(WriteOldScenarioRecord(r)));
    EXPECT_EQ(in.scenario->GetNumberOfProcessStreams(), 1);
    EXPECT_EQ(in.scenario->GetNumberOfUtilityStreams(), 1);
    // The scenario holds a copy of its own of the site's stream, linked to it.
    ASSERT_NE(in.scenario->FindStream("HP Steam"), nullptr);
    EXPECT_EQ(in.scenario->SiteStreamOf(*in.scenario->FindStream("HP Steam")), site.get());
    EXPECT_EQ(in.scenario->FindStream("Cooling Water"), nullptr);

    // Its own record leaves the site's utility out again (the count stays). One scenario at a
    // time holds the site's stream here.
    const Bytes stored = StoreScenario(*in.scenario);
    in.scenario.reset();  // does not delete the site's stream
    Reader again;
    ASSERT_EQ(again.scenario->InsertStream("HP Steam", site.get(), nullptr), 1);
    again.scenario->SetTotalSiteScenario(1);
    ASSERT_TRUE(again.Read(stored));
    EXPECT_EQ(again.scenario->GetNumberOfUtilityStreams(), 1);
    ASSERT_NE(again.scenario->FindStream("HP Steam"), nullptr);
    EXPECT_EQ(again.scenario->SiteStreamOf(*again.scenario->FindStream("HP Steam")), site.get());
    EXPECT_TRUE(StoreScenario(*again.scenario) == stored);
    again.scenario.reset();
    EXPECT_EQ(site->GetName(), "HP Steam");
}

TEST(ScenarioRecordRead, VersionsOutsideThoseWrittenAreRefused) {
    for (int version : {0, ScenarioRecord::RecordVersion + 1}) {
        OldScenarioRecord r;
        r.version = version;
        r.hasStreams = false;
        Reader in;
        EXPECT_FALSE(in.Read(WriteOldScenarioRecord(r))) << version;
        EXPECT_EQ(in.scenario->GetName(), nullptr) << version;
    }
}

TEST(ScenarioRecordRead, DesignsCannotBeReadWithoutTheDesignSubsystem) {
    OldScenarioRecord r;
    r.hasStreams = false;
    r.designs = std::vector<OldDesign>{{"D1", 3.0}};
    Reader in(false);
    EXPECT_FALSE(in.Read(WriteOldScenarioRecord(r)));
    EXPECT_EQ(in.scenario->GetNumberOfDesigns(), 0);
}

TEST(ScenarioRecordRead, DuplicateStreamNameFailsAndLeavesNoStreams) {
    OldStreams streams;
    OldScenarioRecord r;
    r.process = {streams.Add("H1", 170.0, 60.0, 3.0, 15.0), streams.Add("H1", 150.0, 30.0, 1.0, 15.0)};
    Reader in;
    EXPECT_FALSE(in.Read(WriteOldScenarioRecord(r)));
    IHeatIntegrationStream* any = nullptr;
    EXPECT_FALSE(in.scenario->GetStream(0, any));
}

// ---------------------------------------------------------------- failed reads

class ScenarioRecordCutShort : public ::testing::TestWithParam<int> {};

TEST_P(ScenarioRecordCutShort, KeepsWhatWasReadAndLeavesTheRestAtConstructorValues) {
    const int items = GetParam();
    FullOldRecord old(ScenarioRecord::RecordVersion);
    old.r.stopAfter = items;
    Reader in;
    EXPECT_FALSE(in.Read(WriteOldScenarioRecord(old.r)));
    CPIScenario& s = *in.scenario;
    // Items 1 (name), 5 (DTmin), 9 (streams), 20 (designs), 32 (the last flag).
    EXPECT_EQ(s.GetName() != nullptr, items >= 1);
    EXPECT_EQ(s.GetDTmin(), items >= 5 ? 15.0 : 10.0);
    EXPECT_EQ(s.GetNumberOfProcessStreams(), items >= 9 ? 2 : 0);
    EXPECT_EQ(s.GetNumberOfDesigns(), items >= 14 ? 2 : 0);
    EXPECT_EQ(s.GetMinimumFFactor(), items >= 22 ? 0.7 : 0.8);
    EXPECT_EQ(s.GetAllowUtilitiesAtExchangerPorts(), items >= 25);
    // No recalculation after a failed read.
    EXPECT_EQ(s.GetEnergyTargetRecord(), nullptr);
    for (RecordDesign* d : in.designs->made) EXPECT_TRUE(d->processed.empty() || d->processed.back() != 35);
}

// Items written: none, the name, up to DTmin, up to the streams, up to the designs (item 20), up
// to the F-factor (items 28, 29), and all but the last three, two and one (of 27 items a
// version-18 writer writes: the list of site utility copies and the retrofit's budget and run).
INSTANTIATE_TEST_SUITE_P(Items, ScenarioRecordCutShort, ::testing::Values(0, 1, 5, 9, 14, 22, 24, 25, 26));

// The retrofit's budget and run come back from a version-18 record and go out again as they came;
// a budget below 0 is no budget a user gave and fails the read.
TEST(ScenarioRecordRead, TheRetrofitBudgetAndRunRoundTripAndANegativeBudgetIsRefused) {
    FullOldRecord old(18);
    Reader in;
    ASSERT_TRUE(in.Read(WriteOldScenarioRecord(old.r)));
    const Bytes stored = StoreScenario(*in.scenario);
    Reader again;
    ASSERT_TRUE(again.Read(stored));
    IHENDesign *d1 = nullptr, *d2 = nullptr;
    ASSERT_TRUE(again.scenario->GetDesign(CPString("D1"), d1) && again.scenario->GetDesign(CPString("D2"), d2));
    EXPECT_EQ(again.scenario->GetOptimizerEconomicParameter(), 250000.0);
    EXPECT_EQ(again.scenario->GetRetrofitRunResult(d1, 2), d2);
    EXPECT_TRUE(StoreScenario(*again.scenario) == stored);

    FullOldRecord damaged(18);
    damaged.r.budget = -1.0;
    Reader refused;
    EXPECT_FALSE(refused.Read(WriteOldScenarioRecord(damaged.r)));
}

// ---------------------------------------------------------------- round trip of one scenario

TEST(ScenarioRecordRoundTrip, ScenarioWithLinksDesignsAndEveryTargetRecordComesBackWhole) {
    RecordProject p;
    BuildRichProject(p);
    Settle(p);
    CPIScenario& base = *p.Scenario("Base");
    ASSERT_NE(base.GetEnergyTargetRecord(), nullptr);
    ASSERT_NE(base.GetCapitalCostRecord(), nullptr);
    const Bytes stored = StoreScenario(base);
    ASSERT_FALSE(stored.empty());

    Reader in;
    ASSERT_TRUE(in.Read(stored));
    CPIScenario& s = *in.scenario;
    EXPECT_NE(s.GetEnergyTargetRecord(), nullptr);
    EXPECT_NE(s.GetUtilityPlacementRecord(), nullptr);
    EXPECT_NE(s.GetUnitsTargetRecord(), nullptr);
    EXPECT_NE(s.GetCompositeCurvesRecord(), nullptr);
    EXPECT_NE(s.GetAreaTargetRecord(), nullptr);
    EXPECT_NE(s.GetCapitalCostRecord(), nullptr);
    EXPECT_NE(s.GetOperatingCostRecord(), nullptr);
    EXPECT_NE(s.GetTotalAnnualCostRecord(), nullptr);
    ASSERT_NE(s.GetSuperTargetRange(), nullptr);
    EXPECT_EQ(s.GetNumberOfSuperTargetPoints(), base.GetNumberOfSuperTargetPoints());
    EXPECT_EQ(s.GetNumberOfUnitsTargetGroups(), base.GetNumberOfUnitsTargetGroups());
    EXPECT_EQ(s.GetStreamLinkCollection()->GetNumberOfLinks(), 1);
    EXPECT_EQ(s.GetStreamLinkCollection()->GetScenario(), &s);
    EXPECT_EQ(s.GetNumberOfDesigns(), 2);
    EXPECT_EQ(s.GetDesignCounter(), base.GetDesignCounter());
    EXPECT_EQ(s.GetCalculationEnableCount(), 1);
    EXPECT_DOUBLE_EQ(s.GetCostTarget(2), base.GetCostTarget(2));
    EXPECT_DOUBLE_EQ(s.GetAreaTarget(0), base.GetAreaTarget(0));
    EXPECT_TRUE(StoreScenario(s) == stored);
}

TEST(ScenarioRecordRoundTrip, FreshScenarioStoresAndReadsBack) {
    Reader empty;
    empty.scenario->SetName("Nothing yet");
    const Bytes stored = StoreScenario(*empty.scenario);
    Reader in;
    ASSERT_TRUE(in.Read(stored));
    EXPECT_STREQ(in.scenario->GetName(), "Nothing yet");
    EXPECT_EQ(in.scenario->GetDTmin(), 10.0);
    EXPECT_EQ(in.scenario->GetLevelSetting1(), 5);
    EXPECT_TRUE(StoreScenario(*in.scenario) == stored);
}
