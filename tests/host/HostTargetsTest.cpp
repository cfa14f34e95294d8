#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/" + name; }

// A scratch file that removes itself.
struct ScratchFile {
    std::string path;
    explicit ScratchFile(const std::string& stem, const std::string& content = std::string(), bool write = true) {
        path = "/tmp/kestrin-host-test-" + std::to_string(getpid()) + "-" + stem;
        if (write) std::ofstream(path, std::ios::binary) << content;
    }
    ~ScratchFile() { std::remove(path.c_str()); }
};

std::string between(const std::string& text, const std::string& key) {
    std::size_t at = text.find("\"" + key + "\": ");
    if (at == std::string::npos) return std::string();
    at += key.size() + 4;
    std::size_t end = text.find_first_of(",}]", at);
    return text.substr(at, end - at);
}

TEST(HostTargets, FourStreamExampleGivesTheTextbookEnergyTargets) {
    HostRun run = RunHost("targets " + example("four-streams.csv") + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ("10", between(run.out, "dtmin"));
    EXPECT_EQ("20", between(run.out, "hot_utility"));
    EXPECT_EQ("60", between(run.out, "cold_utility"));
    EXPECT_EQ("0", between(run.out, "problem_type"));
    EXPECT_EQ("5", between(run.out, "units")) << "N - 1 units for six streams in one network";
    EXPECT_EQ("7", between(run.out, "units_pinch")) << "4 above the pinch and 3 below";
    EXPECT_NE(std::string::npos, run.out.find("\"pinches\": [{\"hot\": 90, \"cold\": 80}]")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("{\"name\": \"HP Steam\", \"load\": 20}")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("{\"name\": \"Cooling Water\", \"load\": 60}")) << run.out;
    for (const char* key : {"area_countercurrent", "area_shell_tube", "units", "units_pinch", "shells", "capital_cost",
                            "operating_cost", "total_annual_cost"})
        EXPECT_FALSE(between(run.out, key).empty()) << key;
}

TEST(HostTargets, DTminOptionChangesTheTargets) {
    HostRun run = RunHost("targets " + example("four-streams.csv") + " --dtmin 20 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ("65", between(run.out, "hot_utility"));
    EXPECT_EQ("105", between(run.out, "cold_utility"));
}

TEST(HostTargets, SavedCaseReadsBackWithTheSameOutput) {
    for (const char* input : {"four-streams.csv", "site-24-streams.csv"}) {
        ScratchFile saved(std::string(input) + ".case", std::string(), false);
        HostRun first = RunHost("targets " + example(input) + " --json --save " + saved.path);
        ASSERT_EQ(0, first.exitCode) << first.out;
        HostRun again = RunHost("targets " + saved.path + " --json");
        ASSERT_EQ(0, again.exitCode) << again.out;
        EXPECT_EQ(first.out, again.out) << input;
        HostRun text = RunHost("targets " + saved.path);
        EXPECT_EQ(0, text.exitCode);
        EXPECT_NE(std::string::npos, text.out.find("hot utility"));
    }
}

struct BadInput {
    const char* name;
    const char* content;
    const char* expected;  // part of the message
};

class HostBadInput : public ::testing::TestWithParam<BadInput> {};

TEST_P(HostBadInput, EndsWithAClearMessageAndNonZeroExit) {
    const BadInput& c = GetParam();
    ScratchFile file(std::string(c.name) + ".csv", c.content);
    HostRun run = RunHost("targets " + file.path);
    EXPECT_NE(0, run.exitCode) << run.out;
    EXPECT_LT(run.exitCode, 128) << "no crash: " << run.out;
    EXPECT_NE(std::string::npos, run.out.find(c.expected)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Tables, HostBadInput,
    ::testing::Values(
        BadInput{"unknown_column", "name,supply,target,cp,colour\nH1,100,50,2,red\n", "unknown column \"colour\""},
        BadInput{"text_for_number", "name,supply,target,cp\nH1,100,fifty,2\n", "line 2: \"fifty\" in column target"},
        BadInput{"no_temperatures", "name,supply,target,cp\nH1,,,2\n", "has no supply or target temperature"},
        BadInput{"empty_file", "", "the stream table is empty"},
        BadInput{"header_only", "name,supply,target,cp\n", "no streams"},
        BadInput{"bad_kind", "name,supply,target,cp,kind\nH1,100,50,2,steam\n", "neither process nor utility"},
        BadInput{"no_cp", "name,supply,target\nH1,100,50\n", "neither cp nor duty"},
        BadInput{"unknown_utility", "name,kind\nUnobtainium,utility\n", "Unobtainium"},
        BadInput{"broken_segments", "name,supply,target,cp\nH1,200,150,2\nH1,140,100,3\n", "does not start where"},
        BadInput{"name_again", "name,supply,target,cp\nH1,200,150,2\nC1,50,100,3\nH1,200,150,2\n",
                 "line 4: stream \"H1\" appears again"}),
    [](const ::testing::TestParamInfo<BadInput>& info) { return std::string(info.param.name); });

TEST(HostTargets, DamagedCaseFileIsRefusedCleanly) {
    ScratchFile saved("damaged.case", std::string(), false);
    ASSERT_EQ(0, RunHost("targets " + example("four-streams.csv") + " --save " + saved.path).exitCode);
    std::string bytes;
    {
        std::ifstream in(saved.path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ASSERT_GT(bytes.size(), 100u);
    for (std::size_t cut : {bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
        ScratchFile damaged("cut.case", bytes.substr(0, cut));
        HostRun run = RunHost("targets " + damaged.path);
        EXPECT_EQ(1, run.exitCode) << cut << ": " << run.out;
        EXPECT_NE(std::string::npos, run.out.find("damaged")) << run.out;
    }
}

TEST(HostTargets, MissingFileAndBadOptionsAreReported) {
    HostRun missing = RunHost("targets /nonexistent/streams.csv");
    EXPECT_EQ(1, missing.exitCode);
    EXPECT_NE(std::string::npos, missing.out.find("cannot open"));
    HostRun badDtmin = RunHost("targets " + example("four-streams.csv") + " --dtmin ten");
    EXPECT_EQ(2, badDtmin.exitCode);
    EXPECT_NE(std::string::npos, badDtmin.out.find("--dtmin needs a number"));
}

TEST(HostSupertarget, ListsPointsAndAnOptimum) {
    HostRun run = RunHost("supertarget " + example("four-streams.csv") + " --from 5 --to 30 --step 5 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"points\": [{\"dtmin\": 5,")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"optimum\": ")) << run.out;
    HostRun bad = RunHost("supertarget " + example("four-streams.csv") + " --from 30 --to 5");
    EXPECT_EQ(1, bad.exitCode);
}

}  // namespace
