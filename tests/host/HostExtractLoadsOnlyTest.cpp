// kestrin-host extract SHEET --into CASE with a sheet that gives each segment's load (column F) and
// no heat-capacity flow rate: the loads reach the streams, the targets, the saved case and its
// read-back.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(HostExtractLoadsOnly, LoadsReachStreamsTargetsAndTheSavedCase) {
    ScratchFile table("extract-loads", "streams.csv",
                      "name,supply,target,cp,h,kind\nH1,150,60,2,0.2,process\nC1,20,140,1.5,0.2,process\n");
    ScratchFile base("extract-loads", "base.case", "", false);
    ScratchFile saved("extract-loads", "loads.case", "", false);
    ASSERT_EQ(RunHost("targets " + table.path + " --save " + base.path).exitCode, 0);
    ScratchFile sheet("extract-loads", "sheet.csv",
                      "Stream,,Supply,Target,CP,Load\n,,C,C,kW/C,kW\nH1,,150,100,,150\nH1,,100,60,,40\nC1,,20,140,,240\n");
    const HostRun run = RunHost("extract " + sheet.path + " --into " + base.path + " --json --save " + saved.path);
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::string streams =
        "{\"name\": \"H1\", \"side\": \"hot\", \"supply\": 150, \"target\": 60, \"load\": 190, \"mass_flow\": null, "
        "\"segments\": [{\"from\": 150, \"to\": 100, \"load\": 150}, {\"from\": 100, \"to\": 60, \"load\": 40}]}, "
        "{\"name\": \"C1\", \"side\": \"cold\", \"supply\": 20, \"target\": 140, \"load\": 240, \"mass_flow\": null, "
        "\"segments\": [{\"from\": 20, \"to\": 140, \"load\": 240}]}";
    EXPECT_TRUE(has(run.out, streams)) << run.out;
    // By hand at DTmin 10 (hot shifted down 5, cold up 5): 145-95 C hot cp 3 against cold cp 2, +50 kW;
    // 95-55 C cp 1 against 2, -40 kW; 55-25 C cold alone, -60 kW. The cascade needs 50 kW of heating
    // and leaves nothing to cool.
    EXPECT_TRUE(has(run.out, "\"targets\": {\"dtmin\": 10, \"hot_utility\": 50, \"cold_utility\": 0")) << run.out;
    const HostRun targets = RunHost("targets " + saved.path + " --json");
    ASSERT_EQ(targets.exitCode, 0) << targets.out;
    EXPECT_TRUE(has(targets.out, "\"hot_utility\": 50")) << targets.out;
    EXPECT_TRUE(has(targets.out, "\"cold_utility\": 0")) << targets.out;
    // Read back: a transfer that gives C1 again as it stands leaves H1 as the saved case holds it.
    ScratchFile same("extract-loads", "same.csv", "Stream,,Supply,Target,CP,Load\n,,C,C,kW/C,kW\nC1,,20,140,,240\n");
    const HostRun again = RunHost("extract " + same.path + " --into " + saved.path + " --json");
    ASSERT_EQ(again.exitCode, 0) << again.out;
    EXPECT_TRUE(has(again.out, streams)) << again.out;
}

// A cold stream's loads from a sheet are kept as a load typed into its segment table is: the
// table reads them as the sheet gives them, and a load typed again over one of them changes nothing.
TEST(HostExtractLoadsOnly, ColdLoadsReadAsTheSheetGivesThem) {
    ScratchFile table("extract-loads", "cold.csv",
                      "name,supply,target,cp,h,kind\nH1,150,60,2,0.2,process\nC1,20,140,1.5,0.2,process\n");
    ScratchFile base("extract-loads", "cold-base.case", "", false);
    ScratchFile saved("extract-loads", "cold.case", "", false);
    ASSERT_EQ(RunHost("targets " + table.path + " --save " + base.path).exitCode, 0);
    ScratchFile sheet("extract-loads", "cold-sheet.csv",
                      "Stream,,Supply,Target,CP,Load\n,,C,C,kW/C,kW\nC1,,20,60,,80\nC1,,60,140,,150\n");
    const HostRun run = RunHost("extract " + sheet.path + " --into " + base.path + " --save " + saved.path);
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const HostRun view = RunViewScript(saved.path,
                                       "open SegmentTable.200.0\ntext StrData.3\nget HeatFlow.100.[]\nget HeatFlow.201.[]\n"
                                       "set HeatFlow.100.0 80\nget HeatFlow.100.[]\nget HeatFlow.201.[]\n");
    ASSERT_EQ(view.exitCode, 0) << view.out;
    EXPECT_TRUE(has(view.out, "2: text StrData.3\n  text C1\n")) << view.out;
    EXPECT_TRUE(has(view.out, "3: get HeatFlow.100.[]\n  value 80 150 kW\n")) << view.out;
    EXPECT_TRUE(has(view.out, "4: get HeatFlow.201.[]\n  value 0 80 230 kW\n")) << view.out;
    EXPECT_TRUE(has(view.out, "6: get HeatFlow.100.[]\n  value 80 150 kW\n")) << view.out;
    EXPECT_TRUE(has(view.out, "7: get HeatFlow.201.[]\n  value 0 80 230 kW\n")) << view.out;
}

}  // namespace
