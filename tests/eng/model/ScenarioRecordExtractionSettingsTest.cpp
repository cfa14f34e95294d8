// The extraction settings in the scenario record: kept across a save, and dropped (the scenario
// reading on) when they are damaged.
#include "ScenarioRecordTestSupport.h"

#include "eng/extraction/DataExtractionConfig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace scenario_record_test;

namespace {

struct Live {
    Live() : scenario(nullptr, RecordServices(designs)) {}
    std::shared_ptr<RecordDesignFactory> designs = std::make_shared<RecordDesignFactory>();
    CPIScenario scenario;
};

TEST(ScenarioRecordExtractionSettings, SettingsComeBackAfterASave) {
    Live written;
    written.scenario.GetDataExtractionConfig()->SetSettingValue("SegmentTolerances", 0.25);
    written.scenario.SetLevelSetting2(3);
    Live read;
    ASSERT_TRUE(RecallScenario(read.scenario, StoreScenario(written.scenario)));
    ASSERT_NE(read.scenario.GetStoredExtractionSettings(), nullptr);
    EXPECT_EQ(read.scenario.GetDataExtractionConfig()->GetSetting("SegmentTolerances"), 0.25);
    EXPECT_EQ(read.scenario.GetLevelSetting2(), 3);
    // A scenario that never had settings writes none and gets the defaults when asked.
    Live plain, back;
    ASSERT_TRUE(RecallScenario(back.scenario, StoreScenario(plain.scenario)));
    EXPECT_EQ(back.scenario.GetStoredExtractionSettings(), nullptr);
    EXPECT_EQ(back.scenario.GetDataExtractionConfig()->GetSetting("ShiftTempsForPumps"), 1.0);
}

TEST(ScenarioRecordExtractionSettings, DamagedSettingsAreDroppedAndTheScenarioReadsOn) {
    Live written;
    written.scenario.GetDataExtractionConfig()->SetSettingValue("TransferFromExcel", 1.0);
    written.scenario.SetLevelSetting2(3);
    written.scenario.SetMinimumFFactor(0.7);
    Bytes bytes = StoreScenario(written.scenario);
    // The settings tree starts with its value tag and its name; the tag is damaged.
    const char* name = DataExtractionConfig::RootName;
    auto at = std::search(bytes.begin(), bytes.end(), name, name + std::strlen(name));
    ASSERT_NE(at, bytes.end());
    auto tag = std::find(std::make_reverse_iterator(at), bytes.rend(), LurmetBinaryFile::TagValue);
    ASSERT_NE(tag, bytes.rend());
    *tag = 'x';

    Live read;
    ASSERT_TRUE(RecallScenario(read.scenario, bytes));
    EXPECT_EQ(read.scenario.GetStoredExtractionSettings(), nullptr);
    EXPECT_EQ(read.scenario.GetLevelSetting2(), 3);
    EXPECT_DOUBLE_EQ(read.scenario.GetMinimumFFactor(), 0.7);
    // Made afresh when asked for: the defaults.
    EXPECT_EQ(read.scenario.GetDataExtractionConfig()->GetSetting("TransferFromExcel"), 0.0);
}

}  // namespace
