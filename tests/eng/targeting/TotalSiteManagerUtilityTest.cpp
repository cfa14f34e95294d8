// The site manager's rules for its utilities and site streams: ranges worked by hand, the value
// table per side, modes, exchanger types, and how the streams follow their utilities.
#include "TotalSiteManagerTestSupport.h"

#include "eng/core/StreamSegment.h"
#include "tevrin/CPList.h"

#include <gtest/gtest.h>

namespace {
using namespace sitemanager_test;

constexpr double E = -32767.0;

// ---- site streams ------------------------------------------------------------------------------

TEST(TotalSiteManagerStreams, AChangedUtilityIsWrittenIntoItsStream) {
    auto m = FactoryManager();
    CPIHeatIntegrationStream* s = StreamOf(*m, "MP Steam");
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(m->SetValue("MP Steam", DUP_SupplyTemperature, 180.0), 1);
    EXPECT_DOUBLE_EQ(StreamValue(*s, "Temperature", 0), 180.0);
    EXPECT_DOUBLE_EQ(StreamValue(*s, "Temperature", 1), 174.0);
    EXPECT_DOUBLE_EQ(StreamValue(*s, "CHTCoeff"), 6.0);
    EXPECT_DOUBLE_EQ(StreamValue(*s, "SpecificHeat"), 1981.4);
    EXPECT_DOUBLE_EQ(s->GetCostIndex(), 2.2e-6);
    // A refused change still brings the stream up to date, and changes no value.
    EXPECT_EQ(m->SetValue("MP Steam", DUP_SupplyTemperature, 100.0), 0);
    EXPECT_DOUBLE_EQ(StreamValue(*s, "Temperature", 0), 180.0);
}

TEST(TotalSiteManagerStreams, AddStreamRefusesATakenOrUnknownNameWithAMessage) {
    auto m = FactoryManager();
    Recorder r(*m);
    EXPECT_EQ(m->AddStream("HP Steam"), 0);
    EXPECT_EQ(m->AddStream("Unheard Of"), 0);
    ASSERT_EQ(r.Count(60), 2);
    EXPECT_EQ(r.changes[0].text, "SameStreamErrorMsg");
    EXPECT_EQ(r.changes[1].text, "PickTotalSiteUtilityFromDropDownList");
    EXPECT_EQ(r.Count(30), 0);
    EXPECT_EQ(m->GetNumberOfStreams(), 21);
    IHeatIntegrationStream* s = nullptr;
    EXPECT_EQ(m->GetStream("Unheard Of", s), 0);
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(m->GetStream(21, s), 0);
    // The refusals did not count: the next stream is number 22.
    ASSERT_EQ(m->AddDefaultUtility("Extra"), 1);
    ASSERT_EQ(m->GetStream("Extra", s), 1);
    EXPECT_EQ(s->GetStoredInt(), 22);
    EXPECT_DOUBLE_EQ(StreamValue(*s, "CHTCoeff"), 0.2);  // the first coefficient default
}

TEST(TotalSiteManagerStreams, RemovingAUtilityTakesItsStreamFromTheSiteFirst) {
    std::vector<std::string> log;
    auto m = FactoryManager();
    FakeSite site(&log);
    m->SetMyTSPointer(&site);
    Recorder r(*m, &log);
    ASSERT_EQ(m->RemoveDefaultUtility("HP Steam"), 1);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], "site:HP Steam");
    EXPECT_EQ(log[1], "31:HP Steam");
    EXPECT_EQ(log[2], "57:HP Steam");
    EXPECT_EQ(r.Count(97), 1);
    EXPECT_EQ(m->GetNumberOfStreams(), 20);
    EXPECT_EQ(m->Exists("HP Steam"), 0);
    EXPECT_EQ(StreamOf(*m, "HP Steam"), nullptr);
    // Ranges close up over the gap.
    EXPECT_DOUBLE_EQ(m->GetValue("Hot Oil", DUP_RangeLower), 165.5);
    // Streams and utilities stay row for row.
    for (int i = 0; i < 20; ++i) {
        IHeatIntegrationStream* s = nullptr;
        ASSERT_EQ(m->GetStream(i, s), 1);
        EXPECT_STREQ(s->GetName().c_str(), m->GetDefaultUtilityName(i));
    }
    EXPECT_EQ(m->RemoveDefaultUtility("HP Steam"), 0);
}

// A stream the site keeps (a retrofit study's base runs on it) stays in its scenarios: the
// manager keeps it and its utility, and removes nothing.
TEST(TotalSiteManagerStreams, AUtilityWhoseStreamTheSiteKeepsStays) {
    auto m = FactoryManager();
    FakeSite site;
    site.kept = {"HP Steam"};
    m->SetMyTSPointer(&site);
    CPIHeatIntegrationStream* before = StreamOf(*m, "HP Steam");
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(m->RemoveDefaultUtility("HP Steam"), 0);
    EXPECT_EQ(m->Exists("HP Steam"), 1);
    EXPECT_EQ(StreamOf(*m, "HP Steam"), before);
    EXPECT_EQ(m->GetNumberOfStreams(), 21);
    // A name no utility bears touches no stream of the site.
    EXPECT_EQ(m->RemoveDefaultUtility("Unheard Of"), 0);
    EXPECT_TRUE(site.deleted.empty());
}

TEST(TotalSiteManagerStreams, SegmentsShiftByTheSitesRule) {
    TotalSiteManager m;
    StreamSegment hot, cold, local;
    hot.dInletTemperature = 200.0;
    hot.dOutletTemperature = 150.0;
    hot.nHotCold = 0;
    cold.dInletTemperature = 20.0;
    cold.dOutletTemperature = 40.0;
    cold.nHotCold = 1;
    local.dInletTemperature = 100.0;
    local.dOutletTemperature = 90.0;
    local.nHotCold = 0;
    local.DTminContribution = ValueAndFlag{3.0, ValueAndFlag::ScopeLocal};
    CPList list;
    list.Append(&hot);
    list.Append(&cold);
    list.Append(&local);
    m.TemperatureShift(&list, 10.0);
    EXPECT_DOUBLE_EQ(hot.dShiftedInletTemperature, 195.0);
    EXPECT_DOUBLE_EQ(hot.dShiftedOutletTemperature, 145.0);
    EXPECT_DOUBLE_EQ(cold.dShiftedInletTemperature, 25.0);
    EXPECT_DOUBLE_EQ(cold.dShiftedOutletTemperature, 45.0);
    EXPECT_DOUBLE_EQ(local.dShiftedInletTemperature, 97.0);
    m.TemperatureShift(nullptr, 10.0);
}

TEST(TotalSiteManagerStreams, ASiteStreamsOwnApproachShiftsItsDesignSegments) {
    auto m = FactoryManager();
    CPIHeatIntegrationStream* s = StreamOf(*m, "HP Steam");
    ASSERT_NE(s, nullptr);
    auto segments = std::make_unique<StreamSegmentList>();
    auto segment = std::make_unique<StreamSegment>();
    segment->dInletTemperature = 250.0;
    segment->dOutletTemperature = 249.0;
    segment->nHotCold = 0;
    segment->pStream = s;
    segments->push_back(std::move(segment));
    s->SetDesignSegments(std::move(segments));
    ASSERT_EQ(s->SetDTminContribution(10.0, "Local", 0, 1), 1);
    const StreamSegment& shifted = *s->GetDesignSegments()->front();
    EXPECT_DOUBLE_EQ(shifted.dShiftedInletTemperature, 245.0);
    EXPECT_DOUBLE_EQ(shifted.dShiftedOutletTemperature, 244.0);
}

// ---- life cycle and interfaces -------------------------------------------------------------------

}  // namespace
