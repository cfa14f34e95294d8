// The total site: its registration as type 502, site streams taken from the site manager (added,
// refused, renamed, deleted, copied from their utility), new scenarios that hold the site streams
// before anyone hears of them, and the site record with the manager's edited defaults.
#include "TotalSiteTestSupport.h"

#include "brasko/EngineeringManager.h"
#include "eng/model/TotalSite.h"
#include "eng/targeting/TotalSiteManager.h"
#include "tevrin/CPList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace scenario_record_test;

namespace {

using SiteListener = NotificationRecorder;
}  // namespace

TEST(TotalSite, AddStreamCopiesTheUtilityAndJoinsEveryScenario) {
    Site s;
    SiteListener view(s.site);
    ASSERT_EQ(s.site.AddScenario("A"), 1);
    ASSERT_EQ(s.site.AddStream("HP Steam"), 1);
    EXPECT_TRUE(view.Saw(30, "HP Steam"));

    TotalSiteManager& m = s.Manager();
    CPIHeatIntegrationStream* stream = s.Stream("HP Steam");
    ASSERT_NE(stream, nullptr);
    // The site stream is the manager's own object, not a copy.
    EXPECT_EQ(stream, m.GetSiteStream("HP Steam"));
    EXPECT_EQ(stream->GetStreamKind(), CPIHeatIntegrationStream::KindUtility);
    EXPECT_EQ(stream->GetStoredInt(), 1);
    EXPECT_DOUBLE_EQ(ValueOf(*stream, "Temperature", 0), m.GetValue("HP Steam", DUP_SupplyTemperature));
    EXPECT_DOUBLE_EQ(ValueOf(*stream, "Temperature", 1), m.GetValue("HP Steam", DUP_TargetTemperature));
    EXPECT_DOUBLE_EQ(stream->GetCostIndex(), m.GetValue("HP Steam", DUP_Cost));

    IHeatIntegrationStream* inScenario = nullptr;
    ASSERT_TRUE(s.Scenario("A")->GetStream("HP Steam", inScenario));
    // The scenario's own copy, linked to the site stream.
    EXPECT_NE(inScenario, stream);
    EXPECT_EQ(s.Scenario("A")->SiteStreamOf(*dynamic_cast<CPIHeatIntegrationStream*>(inScenario)), stream);
    EXPECT_TRUE(s.Scenario("A")->IsTotalSiteScenario());
    DefaultManager* siteManager = nullptr;
    s.Scenario("A")->GetSiteUtilityManager(siteManager);
    EXPECT_EQ(siteManager, &m);
}

TEST(TotalSite, ANewScenarioHoldsTheSiteStreamsBeforeItIsAnnounced) {
    Site s;
    ASSERT_EQ(s.site.AddStream("MP Steam"), 1);
    ASSERT_EQ(s.site.AddStream("Cooling Water"), 1);
    SiteListener view(s.site);
    std::vector<std::string> heldAtAnnouncement;
    int utilitiesAtAnnouncement = -1;
    view.onChange = [&](int code, const CPString& name) {
        if (code != 24) return;
        CPIScenario* scenario = s.Scenario(name);
        ASSERT_NE(scenario, nullptr);
        utilitiesAtAnnouncement = scenario->GetNumberOfUtilityStreams();
        for (const char* n : {"MP Steam", "Cooling Water"}) {
            IHeatIntegrationStream* out = nullptr;
            if (scenario->GetStream(n, out)) heldAtAnnouncement.push_back(n);
        }
    };
    ASSERT_EQ(s.site.AddScenario("New"), 1);
    EXPECT_EQ(utilitiesAtAnnouncement, 2);
    EXPECT_EQ(heldAtAnnouncement, (std::vector<std::string>{"MP Steam", "Cooling Water"}));
    EXPECT_EQ(s.site.AddScenario("New"), 0);
}

// Two scenarios sharing one site stream: each re-takes the stream's design segments when the
// stream changes and frees those the other scenario still holds in its segment pool. Enabled once
// the scenario takes a shared site stream's segments without rebuilding them.
TEST(TotalSite, DeletingAStreamSharedByTwoScenariosLetsGoOfItEverywhere) {
    Site s;
    ASSERT_EQ(s.site.AddStream("LP Steam"), 1);
    ASSERT_EQ(s.site.AddScenario("A"), 1);
    ASSERT_EQ(s.site.AddScenario("B"), 1);
    CPIHeatIntegrationStream* stream = s.Stream("LP Steam");
    SiteListener view(s.site);
    EXPECT_EQ(s.site.DeleteStream("LP Steam"), 1);
    EXPECT_TRUE(view.Saw(31, "LP Steam"));
    EXPECT_EQ(s.site.GetNumberOfStreams(), 0);
    for (const char* name : {"A", "B"}) {
        IHeatIntegrationStream* out = nullptr;
        EXPECT_FALSE(s.Scenario(name)->GetStream("LP Steam", out)) << name;
    }
    EXPECT_EQ(s.Manager().GetSiteStream("LP Steam"), stream);
    EXPECT_EQ(s.site.DeleteStream("LP Steam"), 0);
    // Taken again, the same object comes back.
    ASSERT_EQ(s.site.AddStream("LP Steam"), 1);
    EXPECT_EQ(s.Stream("LP Steam"), stream);
}

// A copy of a site scenario takes its process streams; deleting the copy leaves the site's
// streams, and the scenario copied from, as they were.
TEST(TotalSite, AScenarioCopyIsDeletedWithoutTouchingTheSiteStreams) {
    Site s;
    BuildSite(s);
    CPIHeatIntegrationStream* steam = s.Stream("LP Steam");
    SiteListener view(s.site);
    ASSERT_EQ(s.site.AddScenario("Copy", s.Scenario("Base"), nullptr), 1);
    EXPECT_TRUE(view.Saw(24, "Copy"));
    CPIScenario* copy = s.Scenario("Copy");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetNumberOfProcessStreams(), 2);
    EXPECT_NE(copy->FindStream("H1"), s.Scenario("Base")->FindStream("H1"));

    EXPECT_EQ(s.site.DeleteScenario("Copy"), 1);
    EXPECT_EQ(s.site.DeleteScenario("Copy"), 0);
    EXPECT_EQ(s.site.GetNumberOfScenarios(), 1);
    EXPECT_EQ(s.Stream("LP Steam"), steam);
    EXPECT_EQ(s.Manager().GetSiteStream("LP Steam"), steam);
    EXPECT_EQ(steam->GetName(), "LP Steam");
    EXPECT_EQ(s.Scenario("Base")->GetNumberOfProcessStreams(), 2);
    IHeatIntegrationStream* out = nullptr;
    EXPECT_TRUE(s.Scenario("Base")->GetStream("LP Steam", out));
    EXPECT_EQ(s.Scenario("Base")->SiteStreamOf(*dynamic_cast<CPIHeatIntegrationStream*>(out)), steam);
}

TEST(TotalSite, RemovingAUtilityFromTheManagerTakesItsStreamOutOfTheSite) {
    Site s;
    ASSERT_EQ(s.site.AddStream("Air"), 1);
    ASSERT_EQ(s.site.AddScenario("A"), 1);
    EXPECT_EQ(s.Manager().RemoveDefaultUtility("Air"), 1);
    EXPECT_EQ(s.site.GetNumberOfStreams(), 0);
    IHeatIntegrationStream* out = nullptr;
    EXPECT_FALSE(s.Scenario("A")->GetStream("Air", out));
    EXPECT_EQ(s.Manager().GetSiteStream("Air"), nullptr);
}

struct RenameCase {
    const char* from;
    const char* to;
    int result;
    const char* nameAfter;
};
void PrintTo(const RenameCase& c, std::ostream* os) {
    *os << "\"" << c.from << "\" to \"" << c.to << "\": result " << c.result;
}

class RenameStream : public ::testing::TestWithParam<RenameCase> {};

TEST_P(RenameStream, FollowsTheUtilityOfTheNewNameOrKeepsTheOld) {
    const RenameCase& c = GetParam();
    Site s;
    ASSERT_EQ(s.site.AddStream("LP Steam"), 1);
    ASSERT_EQ(s.site.AddStream("Cooling Water"), 1);
    CPIHeatIntegrationStream* stream = s.Stream(c.from);
    if (!stream) {
        EXPECT_EQ(s.site.RenameStream(c.from, c.to), 0);
        return;
    }
    const int side = stream->GetHotCold();
    SiteListener view(s.site);
    std::string renamedTo;  // a site's rename notice carries the new name
    view.onChange = [&](int code, const CPString&) {
        if (code == 32 && view.changes.back().data) renamedTo = *static_cast<CPString*>(view.changes.back().data);
    };
    EXPECT_EQ(s.site.RenameStream(c.from, c.to), c.result);
    EXPECT_EQ(stream->GetName(), c.nameAfter);
    EXPECT_EQ(s.Stream(c.nameAfter), stream);
    EXPECT_EQ(stream->GetHotCold(), side);
    if (c.result == 1) {
        EXPECT_TRUE(view.Saw(32, c.from));
        EXPECT_EQ(renamedTo, c.to);
        EXPECT_EQ(s.Stream(c.from), nullptr);
        if (s.Manager().Exists(c.to)) {
            EXPECT_DOUBLE_EQ(ValueOf(*stream, "Temperature", 0), s.Manager().GetValue(c.to, DUP_SupplyTemperature));
        }
    } else {
        EXPECT_TRUE(view.changes.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Renames, RenameStream,
    ::testing::Values(RenameCase{"LP Steam", "Cooling Water", 0, "LP Steam"},     // taken by a site stream
                      RenameCase{"LP Steam", "Refrigerant 1", 0, "LP Steam"},     // hot stream, cold utility
                      RenameCase{"Cooling Water", "HP Steam", 0, "Cooling Water"},  // cold stream, hot utility
                      RenameCase{"LP Steam", "HP Steam", 1, "HP Steam"},          // hot to hot
                      RenameCase{"Cooling Water", "Refrigerant 1", 1, "Refrigerant 1"},  // cold to cold
                      // no such utility: refused, as adding it is (the case reader takes none)
                      RenameCase{"Cooling Water", "Site Loop", 0, "Cooling Water"},
                      RenameCase{"Missing", "Other", 0, "Missing"}));

// ---------------------------------------------------------------- record

TEST(TotalSiteRecord, RecalledScenariosHoldTheSiteStreams) {
    Site source;
    BuildSite(source);
    const Bytes bytes = StoreSite(source.site);
    ASSERT_FALSE(bytes.empty());

    Site copy;
    ASSERT_TRUE(RecallSite(copy.site, bytes));
    // The bytes are checked by the record table; here the objects: the site's streams are the
    // manager's, and the recalled scenario holds them.
    EXPECT_EQ(StreamNames(copy.site), (std::vector<std::string>{"LP Steam", "Cooling Water"}));
    EXPECT_EQ(copy.Stream("LP Steam"), copy.Manager().GetSiteStream("LP Steam"));
    ASSERT_EQ(copy.site.GetNumberOfScenarios(), 1);
    CPIScenario* base = copy.Scenario("Base");
    ASSERT_NE(base, nullptr);
    EXPECT_TRUE(base->IsTotalSiteScenario());
    EXPECT_EQ(base->GetNumberOfProcessStreams(), 2);
    EXPECT_EQ(base->GetNumberOfUtilityStreams(), 2);
    IHeatIntegrationStream* inScenario = nullptr;
    ASSERT_TRUE(base->GetStream("Cooling Water", inScenario));
    EXPECT_EQ(base->SiteStreamOf(*dynamic_cast<CPIHeatIntegrationStream*>(inScenario)), copy.Stream("Cooling Water"));
    EXPECT_DOUBLE_EQ(base->GetUtilityTarget(0), source.Scenario("Base")->GetUtilityTarget(0));
    EXPECT_DOUBLE_EQ(base->GetUtilityTarget(1), source.Scenario("Base")->GetUtilityTarget(1));

    // A stream added after the recall reaches the recalled scenarios.
    SiteListener view(copy.site);
    EXPECT_TRUE(copy.site.RecallFixUp());
    EXPECT_TRUE(view.Saw(30, "LP Steam") && view.Saw(30, "Cooling Water"));
    ASSERT_EQ(copy.site.AddStream("Air"), 1);
    EXPECT_TRUE(copy.Scenario("Base")->GetStream("Air", inScenario));
}

// A record as a writer without the manager section wrote it.
Bytes OlderRecord(int version, const char* streamName) {
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    RecordHandle h;
    CPIHeatIntegrationStream stream(nullptr, streamName);
    stream.SetStreamKind(CPIHeatIntegrationStream::KindUtility, 0);
    stream.SetValue("Temperature", 250.0, 0);
    stream.SetValue("Temperature", 249.0, 1);
    CPIProject project(nullptr, "Old works");
    bool ok = out.BeginRecord(h, version);
    if (version >= 2)
        ok = ok && out.WriteBool(true) && out.WriteInt(1) && out.WriteCountedString(streamName) && stream.Store(out);
    ok = ok && out.WriteInt(0) && project.Store(out) && out.EndRecord(h);
    return ok ? out.Bytes() : Bytes();
}

struct OlderCase {
    int version;
    const char* streamName;
    int streams;
};
void PrintTo(const OlderCase& c, std::ostream* os) {
    *os << "version " << c.version << ": " << c.streams << " streams";
}

class OlderSiteRecord : public ::testing::TestWithParam<OlderCase> {};

TEST_P(OlderSiteRecord, ReadsAsBeforeWithTheManagerDefaults) {
    const OlderCase& c = GetParam();
    Site s;
    ASSERT_EQ(s.Manager().SetHTCDefaultValue(0, 0.77), 1);
    const Bytes bytes = OlderRecord(c.version, c.streamName);
    ASSERT_FALSE(bytes.empty());
    ASSERT_TRUE(RecallSite(s.site, bytes));
    EXPECT_EQ(s.site.GetProjectName(), "Old works");
    // No manager in the record: the site starts from the manager's defaults.
    EXPECT_DOUBLE_EQ(s.Manager().GetHTCDefaultValue(0), 0.2);
    ASSERT_EQ(s.site.GetNumberOfStreams(), c.streams);
    if (c.streams == 1) {
        CPIHeatIntegrationStream* stream = s.Stream(c.streamName);
        ASSERT_NE(stream, nullptr);
        EXPECT_DOUBLE_EQ(ValueOf(*stream, "Temperature", 0), 250.0);
        EXPECT_EQ(stream, s.Manager().GetSiteStream(c.streamName));
        EXPECT_EQ(s.Manager().Exists(c.streamName), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, OlderSiteRecord,
                         ::testing::Values(OlderCase{1, "LP Steam", 0}, OlderCase{2, "HP Steam", 1},
                                           OlderCase{2, "Plant Steam Main", 1}));

TEST(TotalSiteRecord, ANewerRecordIsRefusedAndNothingIsLost) {
    Site s;
    BuildSite(s);
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    RecordHandle h;
    ASSERT_TRUE(out.BeginRecord(h, CPITotalSite::RecordVersion + 1) && out.WriteBool(false) && out.WriteInt(0) &&
                out.EndRecord(h));
    EXPECT_FALSE(RecallSite(s.site, out.Bytes()));
    EXPECT_EQ(s.site.GetNumberOfScenarios(), 1);
    EXPECT_EQ(s.site.GetNumberOfStreams(), 2);
}

// Two site streams under one name would be one stream held twice: the record is refused.
TEST(TotalSiteRecord, ARepeatedStreamNameIsRefusedAndNothingIsLost) {
    Site source;
    BuildSite(source);
    ASSERT_EQ(source.site.AddStream("HP Steam"), 1);
    Bytes bytes = StoreSite(source.site);
    // The site's list of stream names holds counted strings, one tagged byte per character:
    // rename "HP Steam" there to "LP Steam", the name before it.
    std::vector<std::uint8_t> tagged;
    for (char c : std::string("HP Steam")) {
        tagged.push_back(LurmetBinaryFile::TagChar);
        tagged.push_back(static_cast<std::uint8_t>(c));
    }
    auto at = std::search(bytes.begin(), bytes.end(), tagged.begin(), tagged.end());
    ASSERT_NE(at, bytes.end());
    at[1] = 'L';

    Site target;
    BuildSite(target);
    const Bytes before = StoreSite(target.site);
    EXPECT_FALSE(RecallSite(target.site, bytes));
    EXPECT_EQ(StoreSite(target.site), before);
}

// A name the site manager has no utility of is refused: the answer is a failure, the reason goes
// out as a message, and the refusal takes no stream number.
// A name the manager has no utility of asks the user to pick one and adds nothing; the request
// itself is answered 1, so that no second refusal follows the message.
TEST(TotalSite, AddStreamOfAnUnknownUtilityAddsNothingAndSaysWhy) {
    Site s;
    SiteListener view(s.site);
    ASSERT_EQ(s.site.AddScenario("A"), 1);
    EXPECT_EQ(s.site.AddStream("Unobtainium"), 1);
    EXPECT_TRUE(view.Saw(60, CPITotalSite::kUnknownUtilityMessage));
    EXPECT_FALSE(view.Saw(30, "Unobtainium"));
    EXPECT_EQ(s.site.GetNumberOfStreams(), 0);
    IHeatIntegrationStream* none = nullptr;
    EXPECT_FALSE(s.Scenario("A")->GetStream("Unobtainium", none));
    ASSERT_EQ(s.site.AddStream("HP Steam"), 1);
    EXPECT_EQ(s.Stream("HP Steam")->GetStoredInt(), 1) << "the refusal took no number";
}
