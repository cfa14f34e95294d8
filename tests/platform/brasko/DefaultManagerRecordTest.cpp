// The default manager's record and the defaults files built on it: round trips per store type,
// older versions, damaged and truncated records, failed writes, and the set-up from files.
#include "DefaultManagerTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

TEST(DefaultManagerRecord, UtilityDefaultsReplaceTheUtilitiesAndNameTheFile) {
    auto source = EditedManager();
    const auto bytes = RecordBytes(*source, SRT_Utilities);
    DefaultManager target;
    target.AddDefaultUtility("Old One");
    target.AddDefaultUtility("Old Two");
    target.AddHTCDefaultValue("Kept", 1.0, nullptr);
    ChangeRecorder r(target);
    LurmetBinaryFile file = LurmetBinaryFile::ForReading(bytes, "/data/site.hud");
    ASSERT_TRUE(target.Recall(&file, SRT_Utilities));
    ASSERT_EQ(target.GetNumberOfDefaultUtilities(), 21);
    for (int i = 0; i < 21; ++i) EXPECT_STREQ(target.GetDefaultUtilityName(i), source->GetDefaultUtilityName(i));
    EXPECT_EQ(r.Count(57), 2);
    EXPECT_EQ(r.Count(55), 21);
    EXPECT_EQ(target.GetNumberOfHTCDefaultValues(), 1);
    EXPECT_EQ(target.GetMode(), 3);
    const char* name = nullptr;
    target.GetCurrentFileName(DefaultManager::kCurrentUtilitiesFileName, name);
    EXPECT_STREQ(name, "/data/site.hud");
    target.GetCurrentFileName(DefaultManager::kCurrentEconomicsFileName, name);
    EXPECT_STREQ(name, "Default File");
    const char* untouched = "unchanged";
    target.GetCurrentFileName("NoSuchKey", untouched);
    EXPECT_STREQ(untouched, "unchanged");
}

TEST(DefaultManagerRecord, EconomicsFileRestoresValuesAndSetsUnderUpperCaseKeys) {
    auto source = EditedManager();
    source->RenameEconomicData("Plate Exchangers", "PLATE");
    const auto bytes = RecordBytes(*source, SRT_Economics);
    auto target = FactoryManager();
    target->AddEconomicData("Will Go");
    LurmetBinaryFile file = LurmetBinaryFile::ForReading(bytes, "/data/costs.hcc");
    ASSERT_TRUE(target->Recall(&file, SRT_Economics));
    EXPECT_DOUBLE_EQ(target->GetEconomicData(EDT_RateOfReturn, "DEFAULT"), 0.15);
    EXPECT_DOUBLE_EQ(target->GetEconomicData(EDT_PlantLife, "DEFAULT"), 5.0);
    EXPECT_DOUBLE_EQ(target->GetEconomicData(EDT_OperatingHours, "DEFAULT"), 8765.76);
    ASSERT_EQ(target->GetNumberOfEconomicData(), 3);
    EXPECT_STREQ(target->GetEconomicDataName(1), "FIRED HEATER");
    // The renamed set reads as it was typed, and is found under its upper-case key.
    EXPECT_STREQ(target->GetEconomicDataName(2), "Plate Exchangers");
    EXPECT_DOUBLE_EQ(target->GetEconomicData(EDT_AreaExponent, "plate exchangers"),
                     source->GetEconomicData(EDT_AreaExponent, "PLATE EXCHANGERS"));
    EXPECT_EQ(target->DeleteEconomicData("WILL GO"), 0);
    const char* name = nullptr;
    target->GetCurrentFileName(DefaultManager::kCurrentEconomicsFileName, name);
    EXPECT_STREQ(name, "/data/costs.hcc");
    EXPECT_EQ(target->GetNumberOfDefaultUtilities(), 21);
}

TEST(DefaultManagerRecord, ManagerWithoutCoefficientsLeavesTheReadersInPlace) {
    DefaultManager source;
    const auto bytes = RecordBytes(source, SRT_Coefficients);
    auto target = FactoryManager();
    LurmetBinaryFile file = LurmetBinaryFile::ForReading(bytes);
    ASSERT_TRUE(target->Recall(&file, SRT_Coefficients));
    EXPECT_EQ(target->GetNumberOfHTCDefaultValues(), 28);
    // An emptied list is a list: it empties the reader's.
    DefaultManager emptied;
    emptied.AddHTCDefaultValue("X", 1.0, nullptr);
    emptied.DeleteHTCDefaultValue(0);
    LurmetBinaryFile second = LurmetBinaryFile::ForReading(RecordBytes(emptied, SRT_Coefficients));
    ASSERT_TRUE(target->Recall(&second, SRT_Coefficients));
    EXPECT_EQ(target->GetNumberOfHTCDefaultValues(), 0);
}

// Older records: version 2 held coefficients as name and value; versions before 5 hold no mode.
TEST(DefaultManagerRecord, VersionTwoCoefficientPairsGetEmptyNotes) {
    LurmetBinaryFile writer = LurmetBinaryFile::ForWriting();
    RecordHandle record;
    ASSERT_TRUE(writer.BeginRecord(record, 2) && writer.WriteBool(true) && writer.WriteLong(2) &&
                writer.WriteCPString("Brine") && writer.WriteDouble(0.5) && writer.WriteCPString("Oil") &&
                writer.WriteDouble(0.1) && writer.EndRecord(record));
    auto target = FactoryManager();
    target->SetMode(4);
    LurmetBinaryFile reader = LurmetBinaryFile::ForReading(writer.Bytes());
    ASSERT_TRUE(target->Recall(&reader, SRT_Coefficients));
    ASSERT_EQ(target->GetNumberOfHTCDefaultValues(), 2);
    EXPECT_STREQ(target->GetHTCDefaultValueName(1), "Oil");
    EXPECT_DOUBLE_EQ(target->GetHTCDefaultValue(1), 0.1);
    EXPECT_STREQ(target->GetHTCDefaultValueNote(0), "");
    EXPECT_EQ(target->GetMode(), 4);
}

TEST(DefaultManagerRecord, VersionOneHasNoCoefficientSection) {
    LurmetBinaryFile writer = LurmetBinaryFile::ForWriting();
    RecordHandle record;
    ASSERT_TRUE(writer.BeginRecord(record, 1) && writer.EndRecord(record));
    auto target = FactoryManager();
    LurmetBinaryFile reader = LurmetBinaryFile::ForReading(writer.Bytes());
    ASSERT_TRUE(target->Recall(&reader, SRT_Coefficients));
    EXPECT_EQ(target->GetNumberOfHTCDefaultValues(), 28);
}

// ---- damage ------------------------------------------------------------------------------------

// A coefficient-defaults file holds what the coefficient editor takes: a named entry from 0.001
// to 1e6 kW/(m2.C), or 0 (a list's first entry made without a default to copy). Any other file
// is refused and the manager keeps its list. (Every one of them was read.)
TEST(DefaultManagerRecord, ACoefficientFileOutsideTheEditorsRangeIsRefused) {
    const struct {
        const char* name;
        double value;
        bool read;
    } rows[] = {{"Brine", 0.5, true},  {"Brine", 0.0, true},  {"Brine", 1e6, true},      {"Brine", -5.0, false},
                {"Brine", 2e6, false}, {"Brine", 1e-4, false}, {"", 0.5, false},         {"**New**", 0.5, false}};
    for (const auto& row : rows) {
        LurmetBinaryFile writer = LurmetBinaryFile::ForWriting();
        RecordHandle record;
        ASSERT_TRUE(writer.BeginRecord(record, 2) && writer.WriteBool(true) && writer.WriteLong(1) &&
                    writer.WriteCPString(row.name) && writer.WriteDouble(row.value) && writer.EndRecord(record));
        auto target = FactoryManager();
        LurmetBinaryFile reader = LurmetBinaryFile::ForReading(writer.Bytes());
        EXPECT_EQ(row.read, target->Recall(&reader, SRT_Coefficients)) << row.name << " " << row.value;
        EXPECT_EQ(row.read ? 1 : 28, target->GetNumberOfHTCDefaultValues()) << row.name << " " << row.value;
    }
}


// ---- defaults files ----------------------------------------------------------------------------

class DefaultsFiles : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        m_dir = std::filesystem::temp_directory_path() /
                ("kestrin-defaults-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    CPString PathOf(const char* name) const { return (m_dir / name).string(); }
    void Configure(const char* key, const char* fileName) {
        m_config.Set(CPString(key) + "FilePath", m_dir.string());
        m_config.Set(key, fileName);
    }

    std::filesystem::path m_dir;
    ConfigurationStore m_config;
};

TEST_F(DefaultsFiles, ConfiguredFilesReplaceTheFactoryCoefficientsAndEconomics) {
    DefaultManager coefficients;
    coefficients.AddHTCDefaultValue("Site Water", 3.1, "from the site survey");
    ASSERT_TRUE(coefficients.WriteDefaultsFile(PathOf("coeff.bin"), SRT_Coefficients));
    DefaultManager costs;
    costs.SetEconomicData(EDT_RateOfReturn, 0.08, "DEFAULT");
    costs.SetEconomicData(EDT_PlantLife, 15.0, "DEFAULT");
    costs.SetEconomicData(EDT_AreaCostCoefficient, 650.0, "DEFAULT");
    ASSERT_TRUE(costs.WriteDefaultsFile(PathOf("costs.hcc"), SRT_Economics));
    Configure(DefaultManager::kCoefficientDefaultsKey, "coeff.bin");
    Configure(DefaultManager::kCapitalCostDefaultsKey, "costs.hcc");

    DefaultManager m;
    m.SetUpDefaults(m_config);
    EXPECT_EQ(m.GetNumberOfDefaultUtilities(), 21);
    ASSERT_EQ(m.GetNumberOfHTCDefaultValues(), 1);
    EXPECT_STREQ(m.GetHTCDefaultValueName(0), "Site Water");
    EXPECT_DOUBLE_EQ(m.GetEconomicData(EDT_RateOfReturn, "DEFAULT"), 0.08);
    EXPECT_DOUBLE_EQ(m.GetEconomicData(EDT_PlantLife, "DEFAULT"), 15.0);
    EXPECT_DOUBLE_EQ(m.GetEconomicData(EDT_OperatingHours, "DEFAULT"), 0.0);
    EXPECT_DOUBLE_EQ(m.GetEconomicData(EDT_AreaCostCoefficient, "DEFAULT"), 650.0);
    const char* name = nullptr;
    m.GetCurrentFileName(DefaultManager::kCurrentEconomicsFileName, name);
    EXPECT_EQ(std::string(name), std::string(PathOf("costs.hcc")));
}

TEST_F(DefaultsFiles, MissingOrDamagedFilesFallBackToTheFactoryTables) {
    {
        std::ofstream junk(PathOf("coeff.bin"), std::ios::binary);
        junk << "KSTRNCF1 this is not a record";
    }
    Configure(DefaultManager::kCoefficientDefaultsKey, "coeff.bin");
    Configure(DefaultManager::kCapitalCostDefaultsKey, "missing.hcc");
    DefaultManager m;
    m.SetUpDefaults(m_config);
    auto factory = FactoryManager();
    EXPECT_EQ(RecordBytes(m), RecordBytes(*factory));
}

// Whether a utility earns a credit is what it is: a generation utility renamed and priced to pay
// still is one after its record is read back, a utility bought never becomes one, and a bought
// utility's record is the one it always was (version 1). Each refusal of the new record alone.
struct CreditMark {
    const char* label;
    const char* utility;    // a factory utility, renamed and priced before the store
    int version;            // the record version written over the utility's own (0: as written)
    int trailing;           // -1: as written; else the flag appended (0 or 1)
    bool read;              // the record is taken
    bool earns;             // and the utility read earns a credit
    const char* as = "Mine";  // the new name; a factory utility that bears it is renamed away first
    double price = 2.0;       // per kJ, given before the store
};

TEST(DefaultManagerRecord, AUtilityKeepsWhetherItEarnsACredit) {
    const CreditMark rows[] = {
        {"generation utility renamed and priced", "LP Steam Generation", 0, -1, true, true},
        {"utility bought renamed and priced", "LP Steam", 0, -1, true, false},
        {"bought utility's record is version 1", "LP Steam", 1, -1, true, false},
        {"version 2 with its mark", "LP Steam", 2, 1, true, true},
        {"a later version", "LP Steam", 3, 1, false, false},
        {"the mark written unset", "LP Steam", 2, 0, false, false},
        {"version 2 without its mark", "LP Steam", 2, -1, false, false},
        {"bought utility renamed like a generation one", "LP Steam", 0, -1, true, false, "LP Steam Generation"},
        {"its mark unset where the name says otherwise", "LP Steam", 2, 0, true, false, "LP Steam Generation"},
        {"a file from before the mark", "LP Steam", 1, -1, true, true, "LP Steam Generation"},
        {"a credit price marked unset", "LP Steam Generation", 2, 0, false, false, "Mine", -2.0},
    };
    for (const CreditMark& row : rows) {
        DefaultManager manager;
        manager.SetUpDefaults();
        if (manager.Exists(row.as)) {
            ASSERT_EQ(1, manager.RenameDefaultUtility(row.as, "Elsewhere")) << row.label;
        }
        ASSERT_EQ(1, manager.RenameDefaultUtility(row.utility, row.as)) << row.label;
        ASSERT_EQ(1, manager.SetValue(row.as, DUP_Cost, row.price)) << row.label;
        const DefaultUtility* mine = nullptr;
        for (int i = 0; i < manager.GetNumberOfDefaultUtilities(); ++i)
            if (CPString(manager.GetDefaultUtilityName(i)) == row.as) mine = manager.GetDefaultUtility(i);
        ASSERT_NE(nullptr, mine) << row.label;
        LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
        ASSERT_TRUE(mine->Store(out)) << row.label;
        std::vector<std::uint8_t> bytes = out.Bytes();
        LurmetBinaryFile probe = LurmetBinaryFile::ForReading(bytes);
        RecordHandle handle;
        ASSERT_TRUE(probe.BeginRecord(handle)) << row.label;
        // What this writer writes at version 1 (a row with another name stands for a file from
        // before the mark, rewritten at version 1 below).
        if (row.version == 1 && std::string(row.as) == "Mine") {
            EXPECT_EQ(1, probe.GetRecordVersion(handle)) << row.label;
        }
        if (row.version >= 1 || row.trailing >= 0) {
            // Rewrite the record with the fields read back and the version and flag of the row.
            DefaultUtility copy(*mine);
            LurmetBinaryFile again = LurmetBinaryFile::ForWriting();
            RecordHandle record;
            ASSERT_TRUE(again.BeginRecord(record, row.version));
            again.WriteCPString(copy.name);
            again.WriteInt(copy.side);
            for (double v : {copy.supplyTemperature, copy.targetTemperature, copy.filmCoefficient, copy.cost,
                             copy.rangeUpper, copy.rangeLower, copy.dtminContribution, copy.viscosity,
                             copy.thermalConductivity, copy.massDensity, copy.specificHeat})
                again.WriteDouble(v);
            again.WriteCPString(copy.exchangerType);
            again.WriteDouble(copy.emissionsCoefficient);
            again.WriteBool(copy.emptyFilmCoefficient);
            again.WriteBool(copy.simulationUtility);
            again.WriteInt(0);
            if (row.trailing >= 0) again.WriteBool(row.trailing != 0);
            ASSERT_TRUE(again.EndRecord(record));
            bytes = again.Bytes();
        }
        LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
        DefaultUtility read;
        EXPECT_EQ(row.read, read.Recall(in)) << row.label;
        if (row.read) {
            EXPECT_EQ(row.earns, read.earnsCredit) << row.label;
            EXPECT_EQ(row.as, read.name) << row.label;
        }
    }
}

TEST_F(DefaultsFiles, UtilityDefaultsFileRoundTripAndAFailedOpenChangesNothing) {
    auto source = EditedManager();
    source->RemoveDefaultUtility("Air");
    ASSERT_TRUE(source->WriteDefaultsFile(PathOf("site.hud"), SRT_Utilities));
    auto target = FactoryManager();
    ASSERT_TRUE(target->ReadDefaultsFile(PathOf("site.hud"), SRT_Utilities));
    EXPECT_EQ(RecordBytes(*target, SRT_Utilities), RecordBytes(*source, SRT_Utilities));
    const auto before = RecordBytes(*target);
    EXPECT_FALSE(target->ReadDefaultsFile(PathOf("nothing.hud"), SRT_Utilities));
    EXPECT_EQ(RecordBytes(*target), before);
    EXPECT_FALSE(target->WriteDefaultsFile((m_dir / "no-such-dir" / "x.hud").string(), SRT_Utilities));
}

}  // namespace
