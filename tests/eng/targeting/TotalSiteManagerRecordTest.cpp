// The site manager's record and utility-defaults files: round trips with edited defaults and
// site streams, older records, truncated and damaged records, failed and refused writes.
#include "TotalSiteManagerTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <unistd.h>

namespace {
using namespace sitemanager_test;

// A manager whose utilities, coefficients, economics, mode and site streams all differ from the
// factory's.
std::unique_ptr<TotalSiteManager> EditedManager() {
    auto m = FactoryManager();
    m->SetValue("MP Steam", DUP_SupplyTemperature, 180.0);
    m->SetValue("Cooling Water", DUP_Cost, 3.0e-7);
    m->RemoveDefaultUtility("Air");
    m->AddDefaultUtility("Site Brine");
    m->SetStreamType("Site Brine", SHT_Cold);
    m->SetValue("Site Brine", DUP_SupplyTemperature, -10.0);
    m->SetValue("Site Brine", DUP_TargetTemperature, -5.0);
    m->SetValue("Site Brine", DUP_DTminContribution, 2.0);
    m->SetHTCDefaultValueNote(2, "sea water");
    m->SetEconomicData(EDT_RateOfReturn, 0.12, "DEFAULT");
    m->AddEconomicData("Plate");
    m->SetEconomicData(EDT_FixedCostPerUnit, 5000.0, "PLATE");
    // Site-stream data that only the stream holds.
    IHeatIntegrationStreamForTargeting* hp = m->GetSiteStream("HP Steam");
    hp->SetValue("Viscosity", 0.02, 0);
    hp->SetDTminContribution(8.0, "Local", 0, 1);
    m->GetValue("LP Steam", DUP_FilmCoefficient);  // fills that stream's coefficient
    m->SetMode(4);
    return m;
}

std::map<std::string, IHeatIntegrationStreamForTargeting*> StreamsByName(TotalSiteManager& m) {
    std::map<std::string, IHeatIntegrationStreamForTargeting*> streams;
    for (int i = 0; i < m.GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* s = nullptr;
        m.GetStream(i, s);
        streams[s->GetName().c_str()] = m.GetSiteStream(s->GetName());
    }
    return streams;
}

int RecordVersionOf(const std::vector<std::uint8_t>& bytes) {
    LurmetBinaryFile file = LurmetBinaryFile::ForReading(bytes);
    RecordHandle h;
    return file.BeginRecord(h) ? file.GetRecordVersion(h) : -1;
}

TEST(TotalSiteManagerRecord, StreamsTheSavedManagerDidNotHaveAreLetGoThroughTheSite) {
    TotalSiteManager source;
    ASSERT_EQ(source.AddDefaultUtility("Only Steam", SHT_Hot, 200.0, 199.0, 5.0, 2e-6, 0.0, 0.0, 10.0,
                                       "Steam Reboiler", 0.01, 0.03, 500.0, 2000.0),
              1);
    source.AddDefaultUtility("Plain");
    ASSERT_EQ(source.DeleteStream("Only Steam"), 1);  // as a renamed utility would leave it
    const auto bytes = RecordBytes(source);

    auto target = FactoryManager();
    std::vector<std::string> log;
    FakeSite site(&log);
    target->SetMyTSPointer(&site);
    Recorder r(*target, &log);
    LurmetBinaryFile file = LurmetBinaryFile::ForReading(bytes);
    ASSERT_TRUE(target->Recall(&file, SRT_All));
    ASSERT_EQ(target->GetNumberOfDefaultUtilities(), 2);
    EXPECT_EQ(site.deleted.size(), 21u);
    EXPECT_EQ(r.Count(31), 21);
    // The site lets go of each stream before the manager destroys it.
    auto at = [&](const std::string& line) { return std::find(log.begin(), log.end(), line) - log.begin(); };
    EXPECT_LT(at("site:MP Steam"), at("31:MP Steam"));
    ASSERT_EQ(target->GetNumberOfStreams(), 2);
    IHeatIntegrationStream* s = nullptr;
    ASSERT_EQ(target->GetStream(0, s), 1);
    EXPECT_EQ(s->GetName(), "Plain");
    EXPECT_EQ(s->GetStoredInt(), 2);
    ASSERT_EQ(target->GetStream(1, s), 1);
    EXPECT_EQ(s->GetName(), "Only Steam");
    EXPECT_EQ(s->GetStoredInt(), 3);
}

TEST(TotalSiteManagerRecord, AnOlderRecordKeepsTheStreamsAndBringsThemInStep) {
    DefaultManager older;
    older.SetUpDefaults(ConfigurationStore());
    older.SetValue("HP Steam", DUP_SupplyTemperature, 260.0);
    older.AddDefaultUtility("Waste Heat");
    const auto bytes = RecordBytes(older);
    ASSERT_EQ(RecordVersionOf(bytes), 5);

    auto target = FactoryManager();
    const auto before = StreamsByName(*target);
    LurmetBinaryFile file = LurmetBinaryFile::ForReading(bytes);
    ASSERT_TRUE(target->Recall(&file, SRT_All));
    EXPECT_EQ(RecordBytes(*target, SRT_Utilities), RecordBytes(older, SRT_Utilities));
    IHeatIntegrationStreamForTargeting* hp = target->GetSiteStream("HP Steam");
    EXPECT_EQ(hp, before.at("HP Steam"));
    EXPECT_DOUBLE_EQ(StreamValue(*hp, "Temperature", 0), 260.0);
    ASSERT_NE(target->GetSiteStream("Waste Heat"), nullptr);
    EXPECT_EQ(target->GetSiteStream("Waste Heat")->GetStoredInt(), 22);
    EXPECT_EQ(target->GetNumberOfStreams(), 22);
}

// ---- utility-defaults files --------------------------------------------------------------------

class UtilityDefaultsFile : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        m_dir = std::filesystem::temp_directory_path() /
                ("kestrin-sitemanager-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::permissions(m_dir / "locked.hud", std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_dir, ignored);
    }
    CPString PathOf(const char* name) const { return (m_dir / name).string(); }
    static std::vector<char> Contents(const CPString& path) {
        std::ifstream in(path.c_str(), std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::filesystem::path m_dir;
};

TEST_F(UtilityDefaultsFile, ReplacesTheUtilitiesAndKeepsTheSitesStreams) {
    auto source = EditedManager();
    ASSERT_EQ(source->SaveUtilityDefaultSet(PathOf("site.hud")), nullptr);

    auto target = FactoryManager();
    std::vector<std::string> log;
    FakeSite site(&log);
    target->SetMyTSPointer(&site);
    const auto before = StreamsByName(*target);
    const double lpCoefficient = StreamValue(*before.at("LP Steam"), "CHTCoeff");
    Recorder r(*target, &log);
    ASSERT_EQ(target->OpenUtilityDefaultSet(PathOf("site.hud")), nullptr);

    ASSERT_EQ(target->GetNumberOfDefaultUtilities(), 21);
    for (int i = 0; i < 21; ++i) EXPECT_STREQ(target->GetDefaultUtilityName(i), source->GetDefaultUtilityName(i));
    EXPECT_EQ(RecordBytes(*target, SRT_Utilities), RecordBytes(*source, SRT_Utilities));
    EXPECT_EQ(r.Count(55), 21);
    EXPECT_EQ(r.Count(57), 21);
    const char* name = nullptr;
    target->GetCurrentFileName(DefaultManager::kCurrentUtilitiesFileName, name);
    EXPECT_EQ(std::string(name), std::string(PathOf("site.hud")));

    // No stream was taken from the site or its scenarios.
    EXPECT_TRUE(site.deleted.empty());
    EXPECT_EQ(r.Count(31), 0);
    for (const auto& [streamName, stream] : before) EXPECT_EQ(target->GetSiteStream(streamName), stream) << streamName;
    // A changed utility is written into its stream; an unchanged one is left alone.
    EXPECT_DOUBLE_EQ(StreamValue(*before.at("MP Steam"), "Temperature", 0), 180.0);
    EXPECT_DOUBLE_EQ(before.at("Cooling Water")->GetCostIndex(), 3.0e-7);
    EXPECT_DOUBLE_EQ(StreamValue(*before.at("LP Steam"), "CHTCoeff"), lpCoefficient);
    // The new utility got a stream; the streams follow the utilities' rows, the one whose
    // utility is gone comes last.
    EXPECT_EQ(r.Count(30), 1);
    ASSERT_EQ(target->GetNumberOfStreams(), 22);
    for (int i = 0; i < 21; ++i) {
        IHeatIntegrationStream* s = nullptr;
        ASSERT_EQ(target->GetStream(i, s), 1);
        EXPECT_STREQ(s->GetName().c_str(), target->GetDefaultUtilityName(i));
    }
    IHeatIntegrationStream* last = nullptr;
    ASSERT_EQ(target->GetStream(21, last), 1);
    EXPECT_EQ(last->GetName(), "Air");
}

// A site stream a retrofit study's base runs on is the existing network's: the file changes its
// utility, not the stream; a stream no base runs on takes the file's values.
TEST_F(UtilityDefaultsFile, LeavesAStreamARetrofitBaseRunsOnAsItIs) {
    auto source = EditedManager();
    ASSERT_EQ(source->SaveUtilityDefaultSet(PathOf("site.hud")), nullptr);
    auto target = FactoryManager();
    FakeSite site;
    site.held = {"MP Steam"};
    target->SetMyTSPointer(&site);
    IHeatIntegrationStreamForTargeting* mp = target->GetSiteStream("MP Steam");
    const double supply = StreamValue(*mp, "Temperature", 0);
    ASSERT_NE(supply, 180.0);
    ASSERT_EQ(target->OpenUtilityDefaultSet(PathOf("site.hud")), nullptr);
    EXPECT_DOUBLE_EQ(StreamValue(*mp, "Temperature", 0), supply);
    EXPECT_DOUBLE_EQ(target->GetSiteStream("Cooling Water")->GetCostIndex(), 3.0e-7);
}

TEST_F(UtilityDefaultsFile, AWriteProtectedTargetIsRefusedAndLeftAlone) {
    auto m = FactoryManager();
    const CPString locked = PathOf("locked.hud");
    {
        std::ofstream out(locked.c_str(), std::ios::binary);
        out << "earlier defaults";
    }
    std::filesystem::permissions(locked.c_str(), std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    EXPECT_STREQ(m->SaveUtilityDefaultSet(locked), "FileWriteProtected");
    const std::vector<char> kept = Contents(locked);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "earlier defaults");

    std::filesystem::create_directories(m_dir / "folder.hud");
    EXPECT_STREQ(m->SaveUtilityDefaultSet(PathOf("folder.hud")), "FileWriteProtected");
    EXPECT_STREQ(m->SaveUtilityDefaultSet((m_dir / "missing" / "x.hud").string()), "SavePreferenceError");
    EXPECT_STREQ(m->SaveUtilityDefaultSet(CPString()), "SavePreferenceError");
    EXPECT_FALSE(std::filesystem::exists(m_dir / "missing"));
}

// ---- damaged records and failed writes -----------------------------------------------------------

TEST(TotalSiteManagerRecord, ADamagedStreamSectionFailsTheWholeRead) {
    auto source = EditedManager();
    auto bytes = RecordBytes(*source);
    // Damage the last stream record's name tag: the stream section no longer reads.
    const std::string key = "Site Brine";
    auto it = std::find_end(bytes.begin(), bytes.end(), key.begin(), key.end());
    ASSERT_NE(it, bytes.end());
    *it = 'X';
    auto target = FactoryManager();
    const auto before = RecordBytes(*target);
    LurmetBinaryFile file = LurmetBinaryFile::ForReading(bytes);
    EXPECT_FALSE(target->Recall(&file, SRT_All));
    EXPECT_EQ(RecordBytes(*target), before);
    EXPECT_EQ(target->GetSiteStream("Site Brine"), nullptr);
}


}  // namespace
