// The extraction settings: defaults in order, one entry per name, sub-flowsheets and the record.
#include "brasko/ConfigurationStore.h"
#include "brasko/LurmetBinaryFile.h"
#include "eng/extraction/DataExtractionConfig.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

TEST(DataExtractionConfig, HoldsTwentyOneSettingsInOrderWithTheLaterOfARepeatedDefault) {
    GetConfigurationStore().Set("VelmorImportFilePath", "/plant/cases");
    DataExtractionConfig config;
    GetConfigurationStore().Remove("VelmorImportFilePath");
    const std::vector<std::pair<std::string, double>> expected = {
        {"DoIUseSegments", 0},         {"AutoSegmentation", 1},        {"MaxNumberOfSegments", 5},
        {"SegmentTolerances", 0.9},    {"DoIRunSimAnalysis", 1},       {"SegmentOnPhaseChange", 0},
        {"UseOnlySaturatedLiveSteam", 1}, {"DoIExtractLiveSteam", 0},  {"ShiftTempsForPumps", 1},
        {"UseSubCoolLiveSteam", 1},    {"UseSuperHeatLiveSteam", 1},   {"UserSuppliedAmbientTemperature", 20},
        {"NumberOfSubFlowsheet", 0},   {"UtilitiesFileIsReady", 0},    {"EconomicFileIsReady", 0},
        {"VelmorCaseFileIsReady", 0},  {"TransferFromExcel", 0},       {"ExcelSegmentation", 1},
        {"DoIExtractReactionHeat", 0}, {"VelmorFileToExtract", -32767}, {"SimulatorFileType", 0},
    };
    const CPValue* tree = config.GetSettings();
    ASSERT_EQ(tree->GetNumberOfSubValues(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(tree->GetSubValue(i)->GetName(), expected[i].first) << i;
        EXPECT_DOUBLE_EQ(tree->GetSubValue(i)->GetAsDouble(), expected[i].second) << expected[i].first;
    }
    EXPECT_EQ(config.GetSettingText("VelmorFileToExtract"), "/plant/cases");

    // A missing setting answers 0 and leaves the value alone; GetSetting reads it as 0.
    double value = 42.0;
    EXPECT_EQ(config.GetSettingValue("NoSuchSetting", value), 0);
    EXPECT_EQ(value, 42.0);
    EXPECT_EQ(config.GetSetting("NoSuchSetting"), 0.0);

    // The file to extract is set in place, whichever way.
    config.SetFileToExtract("plant.xml");
    GetConfigurationStore().Set("QuorvexImportFilePath", "/q");
    config.SetImportPathForSimulator(1);
    config.SetImportPathForSimulator(7);
    GetConfigurationStore().Remove("QuorvexImportFilePath");
    EXPECT_EQ(tree->GetNumberOfSubValues(), expected.size());
    EXPECT_EQ(config.GetSettingText("VelmorFileToExtract"), "/q");
}

TEST(DataExtractionConfig, ASubFlowsheetChosenTwiceCountsOnce) {
    DataExtractionConfig config;
    config.AddSubFlowsheet("Main");
    config.AddSubFlowsheet("Sub 1");
    config.AddSubFlowsheet("Main");
    EXPECT_EQ(config.GetSetting("NumberOfSubFlowsheet"), 2.0);
    EXPECT_EQ(config.GetNumberOfSubFlowsheets(), 2);
    EXPECT_EQ(config.GetSubFlowsheetName(1), "Sub 1");
    EXPECT_TRUE(config.IsSubFlowsheetChosen("Main"));
    config.ClearSubFlowsheets();
    EXPECT_EQ(config.GetSetting("NumberOfSubFlowsheet"), 0.0);
    EXPECT_FALSE(config.IsSubFlowsheetChosen("Main"));
    config.AddSubFlowsheet("Main");
    EXPECT_EQ(config.GetSetting("NumberOfSubFlowsheet"), 1.0);
}

std::vector<std::uint8_t> storeTree(const CPValue& tree, int version) {
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    RecordHandle h;
    EXPECT_TRUE(out.BeginRecord(h, version) && out.WriteCPValue(tree) && out.EndRecord(h) && out.WriteInt(77));
    return out.Bytes();
}

TEST(DataExtractionConfig, RecordRoundTripAndARepeatedNameKeepsTheFirst) {
    DataExtractionConfig config;
    config.SetSettingValue("SegmentTolerances", 0.5);
    config.SetFileToExtract("plant.xml");
    config.AddSubFlowsheet("Main");
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(config.Store(out));
    DataExtractionConfig back;
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    ASSERT_TRUE(back.Recall(in));
    EXPECT_TRUE(*back.GetSettings() == *config.GetSettings());
    // Sub-flowsheets are chosen again at every extraction; only the count travels.
    EXPECT_EQ(back.GetNumberOfSubFlowsheets(), 0);

    CPValue twice("DataExtraction");
    twice.AddSubValue("ShiftTempsForPumps", 0.0, CPValue::Specified);
    twice.AddSubValue("TransferFromExcel", 1.0, CPValue::Specified);
    twice.AddSubValue("ShiftTempsForPumps", 1.0, CPValue::Specified);
    LurmetBinaryFile in2 = LurmetBinaryFile::ForReading(storeTree(twice, 1));
    ASSERT_TRUE(back.Recall(in2));
    EXPECT_EQ(back.GetSettings()->GetNumberOfSubValues(), 2u);
    EXPECT_EQ(back.GetSetting("ShiftTempsForPumps"), 0.0);
    EXPECT_EQ(back.GetSetting("TransferFromExcel"), 1.0);
    std::int32_t after = 0;
    EXPECT_TRUE(in2.ReadInt(after));
    EXPECT_EQ(after, 77);
}

TEST(DataExtractionConfig, SettingsOfAnotherVersionOrADamagedTreeAreNotTakenAndTheFileReadsOn) {
    CPValue tree("DataExtraction");
    tree.AddSubValue("TransferFromExcel", 1.0, CPValue::Specified);
    for (int version : {0, 2}) {
        DataExtractionConfig config;
        LurmetBinaryFile in = LurmetBinaryFile::ForReading(storeTree(tree, version));
        EXPECT_FALSE(config.Recall(in)) << version;
        EXPECT_EQ(config.GetSetting("TransferFromExcel"), 0.0);
        std::int32_t after = 0;
        EXPECT_TRUE(in.ReadInt(after));
        EXPECT_EQ(after, 77);
    }
    // A tree whose tag is damaged: the record is skipped whole.
    std::vector<std::uint8_t> bytes = storeTree(tree, 1);
    const std::size_t tag = LurmetBinaryFile::MagicSize + 9;
    ASSERT_EQ(bytes[tag], LurmetBinaryFile::TagValue);
    bytes[tag] = 'x';
    DataExtractionConfig config;
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
    EXPECT_FALSE(config.Recall(in));
    EXPECT_TRUE(in.Good());
    std::int32_t after = 0;
    EXPECT_TRUE(in.ReadInt(after));
    EXPECT_EQ(after, 77);
}

}  // namespace
