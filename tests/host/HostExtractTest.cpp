// kestrin-host extract: a segment table goes into a saved case's first scenario through the
// module; a table the module refuses changes nothing and is named by row, cell and text.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

struct Scratch : ScratchFile {
    Scratch(const std::string& stem, const std::string& content, bool write = true)
        : ScratchFile("extract-test", stem, content, write) {}
};

std::string contents(const std::string& path) { return FileContents(path); }

const std::string kTable = "name,supply,target,cp,h,kind\nH1,150,60,2,0.2,process\nC1,20,140,1.5,0.2,process\n";
const std::string kSheet = "Stream,,Supply,Target,CP\n,,F,F,Btu/hr-F\n"
                           "H1,,302,212,3791.268481\nH1,,212,140,5686.902722\n";

struct SavedCase {
    Scratch table{"streams.csv", kTable};
    Scratch saved{"base.case", "", false};
    SavedCase() { EXPECT_EQ(RunHost("targets " + table.path + " --save " + saved.path).exitCode, 0); }
};

TEST(HostExtract, ASegmentTableInFahrenheitBecomesTheStreamsSegments) {
    SavedCase c;
    Scratch sheet("sheet.csv", kSheet);
    Scratch out("out.case", "", false);
    const std::string before = contents(c.saved.path);
    HostRun run = RunHost("extract " + sheet.path + " --into " + c.saved.path + " --json --save " + out.path);
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("{\"name\": \"H1\", \"side\": \"hot\", \"supply\": 150, \"target\": 60, \"load\": 220, "
                           "\"mass_flow\": null, \"segments\": [{\"from\": 150, \"to\": 100, \"load\": 100}, "
                           "{\"from\": 100, \"to\": 60, \"load\": 120}]}"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"targets\": {\"dtmin\": 10"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"warnings\": [], "), std::string::npos) << run.out;
    EXPECT_EQ(contents(c.saved.path), before);  // CASE itself is never written
    // The saved result holds the segments: targets of it see 220 kW on H1.
    HostRun again = RunHost("extract " + sheet.path + " --into " + out.path + " --json");
    ASSERT_EQ(again.exitCode, 0) << again.out;
    EXPECT_NE(again.out.find("\"load\": 220"), std::string::npos) << again.out;
}

TEST(HostExtract, ARefusedTableNamesRowCellAndTextAndLeavesEverythingAlone) {
    SavedCase c;
    const struct {
        const char* stem;
        std::string sheet;
        const char* message;
    } faults[] = {
        {"gap.csv", "S,,T1,T2,CP\n,,F,F,Btu/hr-F\nH1,,302,212,3791.268481\nH1,,213,140,5686.902722\n",
         "row 4, cell C4: \"213\" does not join cell D3 (\"212\") of the row above"},
        {"unit.csv", "S,,T1,T2,CP\n,,F,F,BTU per hour\nH1,,302,212,3791.268481\n",
         "row 2, cell E2: \"BTU per hour\" is not a unit of heat-capacity flow rate"},
    };
    for (const auto& f : faults) {
        Scratch sheet(f.stem, f.sheet);
        Scratch out(std::string(f.stem) + ".case", "", false);
        const std::string before = contents(c.saved.path);
        HostRun run = RunHost("extract " + sheet.path + " --into " + c.saved.path + " --save " + out.path);
        EXPECT_EQ(run.exitCode, 1) << run.out;
        EXPECT_NE(run.out.find(f.message), std::string::npos) << run.out;
        EXPECT_EQ(contents(c.saved.path), before);
        EXPECT_FALSE(std::ifstream(out.path).good()) << "nothing is saved";
    }
}

TEST(HostExtract, WithoutIntoOrWithAStreamTableAsCaseItFails) {
    SavedCase c;
    Scratch sheet("sheet2.csv", kSheet);
    HostRun noInto = RunHost("extract " + sheet.path);
    EXPECT_EQ(noInto.exitCode, 1);
    EXPECT_NE(noInto.out.find("--into CASE"), std::string::npos) << noInto.out;
    HostRun tableAsCase = RunHost("extract " + sheet.path + " --into " + c.table.path);
    EXPECT_EQ(tableAsCase.exitCode, 1);
    EXPECT_NE(tableAsCase.out.find("is not a Kestrin case file"), std::string::npos) << tableAsCase.out;
    Scratch notATable("note.csv", "just one line\n");
    HostRun noTable = RunHost("extract " + notATable.path + " --into " + c.saved.path);
    EXPECT_EQ(noTable.exitCode, 1);
    EXPECT_NE(noTable.out.find("holds no segment table"), std::string::npos) << noTable.out;
}

// Column M is a DTmin contribution, a temperature difference: 36 F is 20 C, not the 2.2 C that
// 36 F is as a temperature. The sheet's targets are those of the same streams given as a table
// with H1's contribution of 20 C (C1 takes the DTmin), whichever unit the sheet gives M in.
class HostExtractContribution : public testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(HostExtractContribution, ColumnMIsADifferenceInTheUnitOfItsColumn) {
    SavedCase c;
    const auto [unit, value] = GetParam();
    Scratch sheet("contribution.csv", std::string("Stream,,Supply,Target,CP,Load,,h,,Mass,Cp,Scope,DTmin\n,,C,C,kW/C,kW,,,,,,,") +
                                          unit + "\nH1,,150,60,2,,,,,,,Local," + value + "\nC1,,20,140,1.5,,,,,,,Global,\n");
    Scratch table("contribution-table.csv", "name,supply,target,cp,h,kind,dtmin_contribution\n"
                                            "H1,150,60,2,0.2,process,20\nC1,20,140,1.5,0.2,process,\n");
    const HostRun extracted = RunHost("extract " + sheet.path + " --into " + c.saved.path + " --json");
    ASSERT_EQ(extracted.exitCode, 0) << extracted.out;
    const HostRun targets = RunHost("targets " + table.path + " --json");
    ASSERT_EQ(targets.exitCode, 0) << targets.out;
    const std::size_t at = extracted.out.find("\"targets\":");
    ASSERT_NE(at, std::string::npos) << extracted.out;
    for (const char* key : {"hot_utility", "cold_utility", "hot", "cold"})
        EXPECT_NEAR(JsonNumber(extracted.out, key, at), JsonNumber(targets.out, key), 1e-9) << key << "\n" << extracted.out;
    // The difference shows: H1 meets C1 at 15 C, half its 20 and half the DTmin of 10.
    EXPECT_NEAR(JsonNumber(extracted.out, "hot", at) - JsonNumber(extracted.out, "cold", at), 15.0, 1e-9) << extracted.out;
}

INSTANTIATE_TEST_SUITE_P(Units, HostExtractContribution,
                         testing::Values(std::make_pair("F", "36"), std::make_pair("C", "20")),
                         [](const testing::TestParamInfo<std::pair<const char*, const char*>>& info) {
                             return std::string(info.param.first);
                         });

}  // namespace
