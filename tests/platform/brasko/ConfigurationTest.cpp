#include "brasko/ConfigurationStore.h"
#include "brasko/LurmetConfigVectorInfo.h"
#include "brasko/SteamProperties.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

TEST(LurmetConfigVectorInfoTest, KeepsDeclarationOrderAndFirstLabel) {
    LurmetConfigVectorInfo info;
    EXPECT_TRUE(info.AddItem("DefaultUtilityFilePath", "Utility folder"));
    EXPECT_TRUE(info.AddItem("DefaultUtility", "Utility file"));
    EXPECT_FALSE(info.AddItem("DefaultUtilityFilePath", "Another label"));
    EXPECT_TRUE(info.AddItem("ExcelImportFilePath", ""));
    ASSERT_EQ(info.Count(), 3);
    EXPECT_EQ(info.Item(0)->key, "DefaultUtilityFilePath");
    EXPECT_EQ(info.Item(0)->label, "Utility folder");
    EXPECT_EQ(info.Item(1)->key, "DefaultUtility");
    EXPECT_EQ(info.Item(2)->key, "ExcelImportFilePath");
    EXPECT_EQ(info.Item(3), nullptr);
    EXPECT_EQ(info.Item(-1), nullptr);
    EXPECT_EQ(info.Find("DefaultUtility"), 1);
    EXPECT_EQ(info.Find("Missing"), -1);
}

// Folder and file-name look-ups over the paired keys.
struct PathCase {
    const char* name;
    const char* key;
    bool found;
    const char* path;
    const char* file;
};
void PrintTo(const PathCase& c, std::ostream* os) {
    *os << c.name;
}

class ConfigurationLookup : public ::testing::TestWithParam<PathCase> {
protected:
    void SetUp() override {
        store.Set("DefaultUtilityFilePath", "/data/utilities");
        store.Set("DefaultUtility", "site.hud");
        store.Set("DefaultCapitalCost", "plant.hcc");  // file name without a folder
        store.Set("VelmorImportFilePath", "/cases");
        store.Set("DefaultHeatTranCoeffFilePath", "");
    }
    ConfigurationStore store;
};

TEST_P(ConfigurationLookup, FindsFolderAndFileName) {
    CPString path = "stale";
    EXPECT_EQ(FindFilePath(store, GetParam().key, path), GetParam().found);
    EXPECT_EQ(path, GetParam().path);
    EXPECT_EQ(GetDefaultFileName(store, GetParam().key), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ConfigurationLookup,
    ::testing::Values(PathCase{"UtilityPair", "DefaultUtility", true, "/data/utilities", "site.hud"},
                      PathCase{"FileWithoutFolder", "DefaultCapitalCost", false, "", "plant.hcc"},
                      PathCase{"FolderKeyItself", "VelmorImportFilePath", true, "/cases", "/cases"},
                      PathCase{"Unset", "Nothing", false, "", ""}),
    [](const ::testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

TEST(ConfigurationStoreTest, HostStoreServesTheFreeFunctions) {
    ConfigurationStore& host = GetConfigurationStore();
    host.Set("BraskoTestFilePath", "/tmp/x");
    host.Set("BraskoTest", "y.hud");
    CPString path;
    EXPECT_TRUE(FindFilePath("BraskoTest", path));
    EXPECT_EQ(path, "/tmp/x");
    EXPECT_EQ(GetDefaultFileName("BraskoTest"), "y.hud");
    EXPECT_TRUE(host.Remove("BraskoTestFilePath"));
    EXPECT_TRUE(host.Remove("BraskoTest"));
    EXPECT_FALSE(host.Remove("BraskoTest"));
    EXPECT_FALSE(FindFilePath("BraskoTest", path));
}

struct SteamCase {
    const char* name;
    double expected;
};

class SteamCritical : public ::testing::TestWithParam<SteamCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const SteamCase& c, std::ostream* os) { *os << c.name; }

TEST_P(SteamCritical, AnswersTheCriticalPoint) {
    EXPECT_DOUBLE_EQ(SteamCriticalProperty(GetParam().name), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Properties, SteamCritical,
                         ::testing::Values(SteamCase{"Temperature", 647.096}, SteamCase{"Pressure", 22.064},
                                           SteamCase{"Volume", 0.0031055900621118011},
                                           SteamCase{"temperature", -32767.0}));

TEST(SteamCriticalTest, NullNameIsEmpty) { EXPECT_EQ(SteamCriticalProperty(nullptr), -32767.0); }

}  // namespace
