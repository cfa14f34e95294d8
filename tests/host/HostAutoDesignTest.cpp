// kestrin-host autodesign: the matches and utility loads of the LP of the automatic design.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <unistd.h>

namespace {

struct Table {
    std::string path;
    explicit Table(const std::string& stem, const std::string& content) {
        path = "/tmp/kestrin-host-autodesign-" + std::to_string(getpid()) + "-" + stem + ".csv";
        std::ofstream(path, std::ios::binary) << content;
    }
    ~Table() { std::remove(path.c_str()); }
};

// Utilities at 300000 per kW and year cost far more than the area that saves them.
const char* const kWorked =
    "name,supply,target,cp,h,cost,kind\n"
    "H,180,80,1,0.5,,process\n"
    "C,100,200,1,0.5,,process\n"
    "HU,250,249,,1,300000,utility\n"
    "CU,20,30,,1,300000,utility\n";

TEST(HostAutoDesign, WorkedTableGivesTheHandWorkedMatches) {
    Table t("worked", kWorked);
    HostRun run = RunHost("autodesign " + t.path + " --matches-only --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"message\": null")) << run.out;
    EXPECT_NE(std::string::npos,
              run.out.find("\"utility_loads\": [{\"name\": \"HU\", \"load\": 24}, {\"name\": \"CU\", \"load\": 24}]"))
        << run.out;
    EXPECT_NE(std::string::npos, run.out.find("{\"hot\": \"H\", \"cold\": \"C\", \"load\": 76}")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("{\"hot\": \"HU\", \"cold\": \"C\", \"load\": 24}")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("{\"hot\": \"H\", \"cold\": \"CU\", \"load\": 24}")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"unloaded_matches\": []")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"analyses\": 1, \"designs\": []")) << run.out;

    HostRun text = RunHost("autodesign " + t.path + " --matches-only");
    ASSERT_EQ(0, text.exitCode) << text.out;
    EXPECT_NE(std::string::npos, text.out.find("H -> C: 76")) << text.out;
}

// The four streams with dear utilities: the 4 K approach of the model is a threshold, no hot
// utility and 40 kW of cooling, whatever --dtmin says.
TEST(HostAutoDesign, FourStreamsAtTheModelsApproachWhateverDTmin) {
    Table t("four",
            "name,supply,target,cp,h,cost,kind\n"
            "H1,170,60,3,0.2,,process\nH2,150,30,1.5,0.2,,process\n"
            "C1,20,135,2,0.2,,process\nC2,80,140,4,0.2,,process\n"
            "HU,250,249,,1,300000,utility\nCU,10,20,,1,300000,utility\n");
    for (const char* dtmin : {"10", "4", "25"}) {
        HostRun run = RunHost("autodesign " + t.path + " --matches-only --json --dtmin " + dtmin);
        ASSERT_EQ(0, run.exitCode) << run.out;
        EXPECT_NE(std::string::npos,
                  run.out.find("\"utility_loads\": [{\"name\": \"HU\", \"load\": 0}, {\"name\": \"CU\", \"load\": 40}]"))
            << dtmin << run.out;
    }
}

TEST(HostAutoDesign, FailedRunPrintsKeyAndTextAndExitsOne) {
    struct Case {
        const char* table;
        const char* line;
    };
    const Case cases[] = {
        {"name,supply,target,cp,h,cost,kind\nH,180,80,1,0.5,,process\nC,100,200,1,0.5,,process\n"
         "HU,203,202,,1,300000,utility\nCU,20,30,,1,300000,utility\n",
         "NotHotEnoughHotUtility: No hot utility"},
        {"name,supply,target,cp,h,cost,kind\nH,180,80,1,0.5,,process\nC,100,200,1,0.5,,process\n"
         "T,150,149.991,1000,0.5,,process\nHU,250,249,,1,300000,utility\nCU,20,30,,1,300000,utility\n",
         "MinimumSegStreamTempDiff T: Two temperature points"},
    };
    for (const Case& c : cases) {
        Table t("fail", c.table);
        HostRun run = RunHost("autodesign " + t.path + " --matches-only");
        EXPECT_EQ(1, run.exitCode) << run.out;
        EXPECT_NE(std::string::npos, run.out.find(c.line)) << run.out;
    }
    Table bad("bad", "name,supply,target,cp,h,kind\nH,abc,80,1,0.5,process\n");
    HostRun run = RunHost("autodesign " + bad.path + " --matches-only");
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("line 2")) << run.out;
}

}  // namespace
