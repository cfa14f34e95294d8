// Scenario stream names from the simulator's object names.
#include "tests/eng/extraction/CaseBuilder.h"
#include "tests/eng/extraction/ExtractionTestSupport.h"

#include "eng/extraction/VelmorToTarsilImport.h"
#include "quenta/RalvexInterface.h"

#include <gtest/gtest.h>

using namespace extraction_test;

namespace {

TEST(StreamNames, ProcessStreamsAreNamedFromTheirFirstAndLastStream) {
    struct Row {
        const char *inFs, *outFs, *name;
    } rows[] = {
        {"Main", "Main", "F1_To_P3"},
        {"SUB", "SUB", "F1_To_P3@SUB"},
        {"SUB", "Main", "F1@SUB_To_P3@Main"},
        {"Main", "SUB", "F1_To_P3"},
        {"SUB", nullptr, "F1_To_P3"},  // an outlet without a flowsheet name ends with its own name
    };
    for (const Row& r : rows) {
        ExtractionProject p;
        CaseBuilder b;
        CPItem* in = b.Item("F1", "ppMaterialStream", r.inFs);
        CPItem* out = b.Item("P3", "ppMaterialStream", r.outFs);
        RalvexInterface access;
        VelmorToTarsilImport import(p.scenario, &access, &b.simulatorCase);
        EXPECT_EQ(import.MakeProcessStreamName(in, out), r.name);
    }
    ExtractionProject p;
    p.scenario->GetDataExtractionConfig()->SetSettingValue("TransferFromExcel", 1);
    CaseBuilder b;
    CPItem* in = b.Item("HX1 hot$row12", "ppMaterialStream");
    RalvexInterface access;
    VelmorToTarsilImport import(p.scenario, &access, &b.simulatorCase);
    EXPECT_EQ(import.MakeProcessStreamName(in, in), "HX1 hot");
    EXPECT_EQ(import.MakeProcessStreamName(in, nullptr), "");
}

TEST(StreamNames, ObjectNamesAreCleaned) {
    const std::pair<const char*, const char*> rows[] = {
        {"Feed (hot)", "Feed__hot_"},
        {"Steam @Utilities", "Steam_Utilities"},
        {"A-1@SUB 2", "A_1_SUB 2"},
        {"_Lead", "Lead"},
        {"", ""},
    };
    for (auto [in, out] : rows) {
        CPString name = in;
        VelmorToTarsilImport::CleanObjectName(name);
        EXPECT_EQ(name, out) << in;
    }
    CPString longName = std::string(300, 'x').c_str();
    VelmorToTarsilImport::CleanObjectName(longName);
    EXPECT_EQ(longName.size(), 254u);
}

}  // namespace
