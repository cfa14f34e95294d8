// kestrin-host extract SHEET --into CASE with a sheet that gives no film coefficients (no column H):
// the streams keep the coefficients the case holds, so the same segments give the same targets.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string between(const std::string& text, const std::string& from, const std::string& to) {
    const std::size_t a = text.find(from);
    const std::size_t b = a == std::string::npos ? std::string::npos : text.find(to, a);
    return b == std::string::npos ? std::string() : text.substr(a, b - a);
}

TEST(HostExtractKeepsFilmCoefficients, ASheetWithoutColumnHLeavesTheCasesCoefficients) {
    ScratchFile table("extract-h", "streams.csv",
                      "name,supply,target,cp,h,kind\nH1,150,60,2,0.5,process\nC1,20,140,1.5,0.5,process\n");
    ScratchFile saved("extract-h", "base.case", "", false);
    ASSERT_EQ(RunHost("targets " + table.path + " --save " + saved.path).exitCode, 0);
    const HostRun base = RunHost("targets " + saved.path + " --json");
    ASSERT_EQ(base.exitCode, 0) << base.out;
    // The same two streams, each one segment (C), cp (E) and no film coefficient.
    ScratchFile sheet("extract-h", "sheet.csv",
                      "Stream,,Supply,Target,CP\n,,C,C,kW/C\nH1,,150,60,2\nC1,,20,140,1.5\n");
    const HostRun run = RunHost("extract " + sheet.path + " --into " + saved.path + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::string area = between(base.out, "\"area_countercurrent\"", ",");
    ASSERT_FALSE(area.empty()) << base.out;
    EXPECT_NE(run.out.find(area), std::string::npos) << area << "\n" << run.out;
}

// Loads given in Btu/hr print to seven figures: 4,435,784 Btu/hr is 1300 kW, not 1299.99997 kW.
TEST(HostExtractKeepsFilmCoefficients, ConvertedLoadsPrintAsTheSheetGivesThem) {
    ScratchFile table("extract-h", "loads.csv",
                      "name,supply,target,cp,h,kind\nH1,150,60,2,0.5,process\nC1,20,140,1.5,0.5,process\n");
    ScratchFile saved("extract-h", "loads.case", "", false);
    ASSERT_EQ(RunHost("targets " + table.path + " --save " + saved.path).exitCode, 0);
    ScratchFile sheet("extract-h", "btu.csv",
                      "Stream,,Supply,Target,CP,Load\n,,F,F,Btu/hr-F,Btu/hr\nH1,,302,212,,4435784\n");
    const HostRun run = RunHost("extract " + sheet.path + " --into " + saved.path);
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("  H1 (hot): 150 -> 100 C, 1300 kW\n    150 -> 100 C, 1300 kW\n"), std::string::npos) << run.out;
}

}  // namespace
