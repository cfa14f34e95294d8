// What a site scenario keeps of its copies of the site utilities (their loads and end fractions):
// written only where the user typed something into them, so that a site case with nothing typed
// stays at the record version older builds read; read back onto the copies by name; and a record
// whose list of copies is damaged is refused with the site in memory as it was.
#include "TotalSiteTestSupport.h"

#include "eng/model/ScenarioRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

using namespace scenario_record_test;

namespace {

int StoredVersion(CPIScenario& scenario) {
    const Bytes bytes = StoreScenario(scenario);
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
    RecordHandle h;
    return in.BeginRecord(h) ? in.GetRecordVersion(h) : -1;
}

// What makes a site scenario keep its copies' data, one at a time.
struct Typed {
    const char* name;
    int method;               // the utility assignment method
    double fractionEndPlus;   // end +1 of Cooling Water's copy
    double fractionEndMinus;  // end -1
    int version;
};
void PrintTo(const Typed& c, std::ostream* os) { *os << c.name; }

class SiteCopiesKept : public ::testing::TestWithParam<Typed> {};

TEST_P(SiteCopiesKept, OnlyWhatWasTypedRaisesTheRecordVersion) {
    const Typed& c = GetParam();
    Site s;
    BuildSite(s);
    CPIScenario& base = *s.Scenario("Base");
    CPIHeatIntegrationStream* water = base.FindStream("Cooling Water");
    ASSERT_NE(water, nullptr);
    ASSERT_NE(base.SiteStreamOf(*water), nullptr);
    if (c.method != 0) {
        ASSERT_EQ(base.SetUtilityAssignmentMethod(c.method), 1);
    }
    water->SetLoadFraction(c.fractionEndPlus, 1);
    water->SetLoadFraction(c.fractionEndMinus, -1);
    EXPECT_EQ(StoredVersion(base), c.version);

    // The site read back gives the copy what was typed into it.
    Site copy;
    ASSERT_TRUE(RecallSite(copy.site, StoreSite(s.site)));
    CPIHeatIntegrationStream* again = copy.Scenario("Base")->FindStream("Cooling Water");
    ASSERT_NE(again, nullptr);
    EXPECT_DOUBLE_EQ(again->GetLoadFraction(1), c.fractionEndPlus);
    EXPECT_DOUBLE_EQ(again->GetLoadFraction(-1), c.fractionEndMinus);
    EXPECT_EQ(copy.Scenario("Base")->GetUtilityAssignmentMethod(), c.method);
    EXPECT_EQ(StoredVersion(*copy.Scenario("Base")), c.version);
}

constexpr double kDefault = CPIHeatIntegrationStream::DefaultLoadFraction;
INSTANTIATE_TEST_SUITE_P(
    Cases, SiteCopiesKept,
    ::testing::Values(Typed{"NothingTyped", 0, kDefault, kDefault, ScenarioRecord::SinceSiteUtilityLoads - 1},
                      Typed{"LoadsTyped", 1, kDefault, kDefault, ScenarioRecord::SinceSiteUtilityLoads},
                      Typed{"FractionOfEndPlusOneTyped", 0, 0.05, kDefault, ScenarioRecord::SinceSiteUtilityLoads},
                      Typed{"FractionOfEndMinusOneTyped", 0, kDefault, 0.05, ScenarioRecord::SinceSiteUtilityLoads}),
    [](const ::testing::TestParamInfo<Typed>& info) { return std::string(info.param.name); });

// The list of copies damaged in a site's record: its count beyond the record, negative, larger
// than the entries written (a name is then missing), or a name's count beyond the record. The
// read fails and the site it was read into is the one it was.
struct Damage {
    const char* name;
    std::int32_t count;  // the list's count written over the stored one
    std::int32_t nameCount;  // the first name's count written over the stored one (0: kept)
};
void PrintTo(const Damage& c, std::ostream* os) { *os << c.name; }

class SiteCopiesDamaged : public ::testing::TestWithParam<Damage> {};

void PutInt(Bytes& bytes, std::size_t tagAt, std::int32_t value) {
    ASSERT_EQ(bytes[tagAt], LurmetBinaryFile::TagInt);
    std::uint32_t raw = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes[tagAt + 1 + i] = static_cast<std::uint8_t>(raw >> (8 * i));
}

TEST_P(SiteCopiesDamaged, TheReadFailsAndTheSiteInMemoryStays) {
    const Damage& c = GetParam();
    Site source;
    BuildSite(source);
    CPIHeatIntegrationStream* steam = source.Scenario("Base")->FindStream("LP Steam");
    ASSERT_NE(steam, nullptr);
    steam->SetLoadFraction(0.05, 1);
    Bytes bytes = StoreSite(source.site);
    ASSERT_FALSE(bytes.empty());
    // The list is the last place the copy's name is written: its count, then the name's count and
    // its characters, one tagged byte each.
    std::vector<std::uint8_t> tagged;
    for (char ch : std::string("LP Steam")) {
        tagged.push_back(LurmetBinaryFile::TagChar);
        tagged.push_back(static_cast<std::uint8_t>(ch));
    }
    const auto at = std::find_end(bytes.begin(), bytes.end(), tagged.begin(), tagged.end());
    ASSERT_NE(at, bytes.end());
    const std::size_t name = static_cast<std::size_t>(at - bytes.begin());
    ASSERT_GE(name, 10u);
    Bytes damaged = bytes;
    PutInt(damaged, name - 10, c.count);
    if (c.nameCount != 0) PutInt(damaged, name - 5, c.nameCount);

    // The undamaged bytes read, so the damage alone is refused.
    Site intact;
    ASSERT_TRUE(RecallSite(intact.site, bytes));
    EXPECT_DOUBLE_EQ(intact.Scenario("Base")->FindStream("LP Steam")->GetLoadFraction(1), 0.05);

    Site target;
    BuildSite(target);
    const Bytes before = StoreSite(target.site);
    EXPECT_FALSE(RecallSite(target.site, damaged));
    EXPECT_EQ(StoreSite(target.site), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, SiteCopiesDamaged,
                         ::testing::Values(Damage{"CountHuge", 0x7fffffff, 0}, Damage{"CountNegative", -1, 0},
                                           Damage{"NameMissing", 3, 0}, Damage{"NameBeyondTheRecord", 2, 0x10000}),
                         [](const ::testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// A site utility added while a scenario's loads are the user's carries no load there (as a
// utility added to a project's own table does), and the site read back says the same.
TEST(SiteCopiesKept, AUtilityAddedUnderTypedLoadsCarriesNone) {
    Site s;
    BuildSite(s);
    CPIScenario& base = *s.Scenario("Base");
    ASSERT_EQ(base.SetUtilityAssignmentMethod(1), 1);
    const double steam = base.FindStream("LP Steam")->GetHeatLoad(0);
    const double water = base.FindStream("Cooling Water")->GetHeatLoad(0);
    ASSERT_EQ(s.site.AddStream("HP Steam"), 1);
    CPIHeatIntegrationStream* added = base.FindStream("HP Steam");
    ASSERT_NE(added, nullptr);
    EXPECT_DOUBLE_EQ(added->GetHeatLoad(0), 0.0);
    EXPECT_DOUBLE_EQ(base.FindStream("LP Steam")->GetHeatLoad(0), steam);
    EXPECT_DOUBLE_EQ(base.FindStream("Cooling Water")->GetHeatLoad(0), water);
    const double cost = base.GetCostTarget(0);

    Site copy;
    ASSERT_TRUE(RecallSite(copy.site, StoreSite(s.site)));
    CPIScenario& again = *copy.Scenario("Base");
    EXPECT_DOUBLE_EQ(again.FindStream("HP Steam")->GetHeatLoad(0), 0.0);
    EXPECT_DOUBLE_EQ(again.FindStream("LP Steam")->GetHeatLoad(0), steam);
    EXPECT_DOUBLE_EQ(again.GetCostTarget(0), cost);
}

}  // namespace
