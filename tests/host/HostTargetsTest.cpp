#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cmath>
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
    EXPECT_EQ("5", between(run.out, "units_overall")) << "N - 1 units for six streams in one network";
    EXPECT_EQ("7", between(run.out, "units_pinch")) << "4 above the pinch and 3 below";
    EXPECT_NE(std::string::npos, run.out.find("\"process_pinches\": [{\"hot\": 90, \"cold\": 80, \"shifted\": 85, ")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("{\"name\": \"HP Steam\", \"load\": 20}")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("{\"name\": \"Cooling Water\", \"load\": 60}")) << run.out;
}

// Area, shells and costs of the four streams with films of 0.2 and the factory's steam, cooling
// water and economics (10000 per unit and 800 A^0.8 per shell, 10 % over 5 years, 8765.76 h).
TEST(HostTargets, FourStreamExampleAreaShellsAndCosts) {
    HostRun run = RunHost("targets " + example("four-streams.csv") + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    auto number = [&](const char* key) { return std::stod("0" + between(run.out, key)); };
    const double shellArea = number("area_shell_tube"), shells = number("shells");
    const double capital = number("capital_cost"), operating = number("operating_cost");
    // The countercurrent area worked interval by interval on the balanced curves.
    EXPECT_NEAR(number("area_countercurrent"), 253.296, 5e-4);
    EXPECT_NEAR(shellArea, 308.541, 5e-4);
    EXPECT_EQ(shells, 22.0);
    // The units with the pinch division carry the fixed cost, the shells share the area.
    EXPECT_NEAR(capital, 7 * 10000.0 + shells * 800.0 * std::pow(shellArea / shells, 0.8), 1e-3);
    // Prices are per kW and second: 20 kW of steam at 2.5e-6 and 60 kW of water at 2.12456e-7,
    // over the operating hours' share of the 8765.76 h year, annual at 31 536 000 s a year.
    const double operatingHours = 8765.76;
    EXPECT_NEAR(operating, (20.0 * 2.5e-6 + 60.0 * 2.12456e-7) * operatingHours / 8765.76 * 31536000.0, 1e-5);
    // The capital recovered at 10 % over 5 years, plus the operating cost.
    const double recovery = 0.1 * std::pow(1.1, 5) / (std::pow(1.1, 5) - 1.0);
    EXPECT_NEAR(number("total_annual_cost"), capital * recovery + operating, 1e-3);
}

// The site's 24 streams at DTmin 10, worked by the problem table: pinch at 329 shifted.
TEST(HostTargets, SiteExampleGivesItsEnergyTargets) {
    HostRun run = RunHost("targets " + example("site-24-streams.csv") + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ("95.68", between(run.out, "hot_utility"));
    EXPECT_EQ("8751.82", between(run.out, "cold_utility"));
    EXPECT_NE(std::string::npos, run.out.find("\"process_pinches\": [{\"hot\": 334, \"cold\": 324, \"shifted\": 329, ")) << run.out;
}

TEST(HostTargets, DTminOptionChangesTheTargets) {
    HostRun run = RunHost("targets " + example("four-streams.csv") + " --dtmin 20 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ("65", between(run.out, "hot_utility"));
    EXPECT_EQ("105", between(run.out, "cold_utility"));
}

// Every stream row of the four-stream example deleted in the scenario viewer: no exchanger is left to
// buy, so the capital and the total annual cost that would be built on it have no result, as the
// area, units and shells have none, nor has the problem a type (no cascade, no pinch); the note says
// why, and JSON gives null.
TEST(HostTargets, ACaseWithEveryStreamDeletedReportsNoCapitalOrAnnualCost) {
    std::string script = "open HIDesignViewerScenario.200.0\n";
    for (int i = 0; i < 4; ++i) script += "answer 1\nexpect DeleteStreamError\nsettext StrName.401.0\n";
    ScratchFile scriptFile("nostreams.txt", script);
    ScratchFile saved("nostreams.case", std::string(), false);
    const HostRun view = RunHost("view " + example("four-streams.csv") + " --save " + saved.path + " --script " +
                                 scriptFile.path);
    ASSERT_EQ(0, view.exitCode) << view.out;
    const HostRun text = RunHost("targets " + saved.path);
    ASSERT_EQ(0, text.exitCode) << text.out;
    for (const char* line : {"problem type              not available (no process stream)\n",
                             "area, countercurrent      not available\n", "shells                    not available\n",
                             "capital cost              not available\n", "operating cost            0.00 per year\n",
                             "total annual cost         not available\n",
                             "Note: area, units, shells, capital and total annual cost are not available: the table "
                             "has no process streams to exchange heat with\n"})
        EXPECT_NE(std::string::npos, text.out.find(line)) << line << "\n" << text.out;
    const HostRun json = RunHost("targets " + saved.path + " --json");
    ASSERT_EQ(0, json.exitCode) << json.out;
    EXPECT_EQ("null", between(json.out, "problem_type"));
    EXPECT_EQ("null", between(json.out, "area_countercurrent"));
    EXPECT_EQ("null", between(json.out, "capital_cost"));
    EXPECT_EQ("0", between(json.out, "operating_cost"));
    EXPECT_EQ("null", between(json.out, "total_annual_cost"));
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

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const BadInput& c, std::ostream* os) { *os << c.name; }

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
        BadInput{"broken_segments", "name,supply,target,cp\nH1,200,150,2\nH1,140,100,3\n", "segment 2 starts at 140 C, where segment 1 ended at 150 C"},
        BadInput{"turns_back", "name,supply,target,cp\nH3,200,150,2\nH3,150,160,3\n",
                 "H3: segment 2 turns back (supply 150, target 160 on a hot stream)"},
        BadInput{"flat_segment", "name,supply,target,cp\nH1,100,50,2\nH1,50,50,3\n",
                 "H1: segment 2 changes no temperature"},
        BadInput{"hex", "name,supply,target,cp\nH1,0x10,5,2\n", "\"0x10\" in column supply is not a number"},
        BadInput{"empty_marker", "name,supply,target,cp\nH1,-32767,50,2\n", "-32767 marks an empty value"},
        BadInput{"negative_duty", "name,supply,target,duty\nH1,100,50,-20\n", "cannot be negative"},
        BadInput{"cp_and_duty_disagree", "name,supply,target,cp,duty\nH1,100,50,2,300\n", "which disagree"},
        BadInput{"negative_cost", "name,supply,target,h,cost,kind\nSteam,250,249,5,-80,utility\n",
                 "column cost: a utility bought cannot take a negative cost (got -80)"},
        BadInput{"negative_cost_process", "name,supply,target,cp,cost\nH1,100,50,2,-80\n",
                 "column cost: a process stream cannot take a negative cost (got -80)"},
        BadInput{"negative_cost_later_segment", "name,supply,target,cp,cost\nH1,100,70,2,\nH1,70,50,2,-5\n",
                 "line 3: stream \"H1\" column cost: a process stream cannot take a negative cost (got -5)"},
        BadInput{"negative_cost_later_utility_row",
                 "name,supply,target,h,cost,kind\nOwn Water,20,25,5,3,utility\nOwn Water,25,30,5,-5,utility\n",
                 "line 3: stream \"Own Water\" column cost: a utility bought cannot take a negative cost (got -5)"},
        BadInput{"cost_past_the_credit", "name,supply,target,h,cost,kind\nLP Steam Generation,124,125,6,-2e9,utility\n",
                 "outside the range of cost (-1e9 to 1e9"},
        BadInput{"below_absolute_zero", "name,supply,target,cp\nH1,100,-300,2\n", "below absolute zero"},
        BadInput{"huge_cp", "name,supply,target,cp\nH1,100,50,1e300\n", "line 2: H1: column cp: 1e+300 is outside"},
        BadInput{"huge_contribution", "name,supply,target,cp,dtmin_contribution\nH1,100,50,2,1e300\nC1,20,90,2,\n",
                 "DTmin contribution of 1e+300 C"},
        BadInput{"semicolons", "name;supply;target;cp\nH1;100;50;2\n", "separated by semicolons"},
        BadInput{"utf16", "\xFF\xFEn\0a\0", "UTF-16"},
        BadInput{"latin1", "name,supply,target,cp\nH\xB0,100,50,2\n", "not UTF-8"},
        BadInput{"name_again", "name,supply,target,cp\nH1,200,150,2\nC1,50,100,3\nH1,200,150,2\n",
                 "stream \"H1\" appears again"},
        // A quoted name is its text inside the quotes, less the white space at its ends, and ""
        // is a quote: the later row names the same stream.
        BadInput{"quoted_name_again", "name,supply,target,cp\n\"  C1 x \",50,100,3\nH1,200,150,2\n  C1 x ,50,100,3\n",
                 "line 4: stream \"C1 x\" appears again"},
        BadInput{"quote_in_name_again", "name,supply,target,cp\n\"H \"\"1\"\"\",200,150,2\nC1,50,100,3\n\"H \"\"1\"\"\",200,150,2\n",
                 "line 4: stream \"H \"1\"\" appears again"},
        BadInput{"unterminated_quote", "name,supply,target,cp\nH1,200,150,2\n\"C1,50,100,3\n", "line 3: unterminated quoted field"}),
    [](const ::testing::TestParamInfo<BadInput>& info) { return std::string(info.param.name); });

// Among many streams, a name given again after others is found on the row that repeats it, and
// names that differ only in their last characters or their length are told apart.
TEST(HostTargets, NameAgainAmongManyStreamsIsFoundOnItsRow) {
    std::string table = "name,supply,target,cp\n";
    for (int i = 1; i <= 600; ++i)
        table += "S" + std::to_string(i) + (i % 2 ? ",200,150,2\n" : ",50,100,3\n");
    {
        ScratchFile distinct("many-distinct.csv", table);
        EXPECT_EQ(0, RunHost("targets " + distinct.path).exitCode);
    }
    table += "S60,200,150,2\n";
    ScratchFile again("many-again.csv", table);
    const HostRun run = RunHost("targets " + again.path);
    EXPECT_NE(0, run.exitCode);
    EXPECT_NE(std::string::npos, run.out.find("line 602: stream \"S60\" appears again")) << run.out;
}

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
    EXPECT_EQ(2, bad.exitCode);
}

}  // namespace
