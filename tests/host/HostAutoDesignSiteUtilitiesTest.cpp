// kestrin-host autodesign on tables with several hot utilities (the normal site case): the
// superstructure balances every utility at the load the MILP gave it, so each MILP's matches
// resolve into a design whose utility loads are the MILP's; and an exchanger of a design whose
// four temperatures are known is calculated, so the design has its area and cost.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

double numberAfter(const std::string& text, const std::string& key, std::size_t from = 0) {
    const std::size_t at = text.find(key, from);
    return at == std::string::npos ? -1e300 : std::atof(text.c_str() + at + key.size());
}

const char* const kEightStreams =
    "name,supply,target,cp,h,kind\n"
    "H1,285,68,12.45,0.14,process\nH2,168,76,17.9,0.92,process\nH3,229,39,3.49,0.48,process\n"
    "H4,243,53,16.98,0.15,process\nC2,112,292,9.69,0.81,process\nC3,40,184,17.66,0.57,process\n"
    "C5,27,97,15.85,0.25,process\nC6,58,235,28.06,0.48,process\n";

class TwoHotUtilities : public ::testing::TestWithParam<const char*> {};

// Steam (or hot oil) and a fired heater share the heating; the MILP loads both (HP Steam 2884.2 kW
// against its targeting load of 1960.88 kW beside the fired heater's 445.74 kW).
TEST_P(TwoHotUtilities, EveryMILPSolutionBecomesADesignWithTheMILPsLoads) {
    std::string stem;
    for (const char* c = GetParam(); *c; ++c)
        if (*c != ' ') stem += *c;
    ScratchFile table("autodesign-site", stem + ".csv",
                      std::string(kEightStreams) + GetParam() + ",,,,,utility\nFired Heat (1000),,,,,utility\n"
                      "Cooling Water,,,,,utility\n");
    const HostRun run = RunHost("autodesign " + table.path + " --economics exponent=1 --designs 1 --json 2>/dev/null");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_FALSE(has(run.out, "FailedToResolveSuperStructure")) << run.out;
    for (const char* name : {"A_Design0"}) {
        const std::size_t solution = run.out.find("{\"design\": \"" + std::string(name) + "\", \"utility_loads\": ");
        const std::size_t design = run.out.find("{\"name\": \"" + std::string(name) + "\"");
        ASSERT_NE(solution, std::string::npos) << name << "\n" << run.out;
        ASSERT_NE(design, std::string::npos) << name << "\n" << run.out;
        const double first = numberAfter(run.out, "{\"name\": \"" + std::string(GetParam()) + "\", \"load\": ", solution);
        const double fired = numberAfter(run.out, "{\"name\": \"Fired Heat (1000)\", \"load\": ", solution);
        const double water = numberAfter(run.out, "{\"name\": \"Cooling Water\", \"load\": ", solution);
        EXPECT_GT(first + fired, 0.0) << name;
        // The design heats and cools as its MILP solution did.
        EXPECT_NEAR(numberAfter(run.out, "\"hot_utility\": ", design), first + fired, 1e-3 * (first + fired)) << name;
        EXPECT_NEAR(numberAfter(run.out, "\"cold_utility\": ", design), water, 1e-3 * water + 1e-6) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(HostAutoDesignSiteUtilities, TwoHotUtilities,
                         ::testing::Values("HP Steam", "Hot Oil"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name;
                             for (const char* c = info.param; *c; ++c)
                                 if (*c != ' ') name += *c;
                             return name;
                         });

}  // namespace

namespace {

// A completion's own LP and MILP figures are not the scenario's to report: the text gives the
// completed design's matches and no LP or MILP headings of "none" and an area of 0. The completion
// of E1 alone (H1/C2 240 kW, 45,659.24 a year with 230 and 270 kW of utility) keeps E1 where it is
// and adds H2/C1, which saves 180 kW of each utility: it costs less than the network it completes.
TEST(HostAutoDesignCompletion, ReportsNoEmptyHeadingsAndKeepsTheGivenMatch) {
    ScratchFile network("autodesign-site", "only-e1.csv", "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,240,1,1\n");
    const HostRun run = RunHost("autodesign " + ExamplePath("four-streams.csv") + " --complete " + network.path +
                                " 2>/dev/null");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(has(run.out, "Matches of the completed design (kW):\n")) << run.out;
    EXPECT_FALSE(has(run.out, "LP solution\n")) << run.out;
    EXPECT_FALSE(has(run.out, "Estimated area (m2): 0\n")) << run.out;
    EXPECT_FALSE(has(run.out, "Utility loads (kW):\n  none\n")) << run.out;
    EXPECT_FALSE(has(run.out, "the completion is dearer than its input")) << run.out;
    EXPECT_TRUE(has(run.out, "  E1 (exchanger) H1 -> C2: duty 240.00, hot 170.00 -> 90.00, cold 80.00 -> 140.00, approach "
                             "10.00,"))
        << run.out;
    EXPECT_TRUE(has(run.out, "  H2 -> C1: 180\n")) << run.out;
    EXPECT_TRUE(has(run.out, "  hot utility               50.00 kW (target 20.00)\n")) << run.out;
    const std::size_t cost = run.out.find("  total annual cost         ");
    ASSERT_NE(std::string::npos, cost) << run.out;
    EXPECT_LT(std::atof(run.out.c_str() + cost + 28), 45659.24) << run.out;
}

}  // namespace

namespace {

// A hot utility of falling temperature (hot oil, 250 -> 150 C) across intervals of unequal width
// (6, 40, 24, 28 and 2 K in the model's temperatures, 2 K below the real ones): its heat in each
// interval is in proportion to the width. C (200 -> 240 C, 40 kW) lies above every other source,
// so the oil's 46 K above C's cold end carry all 40 kW: the oil carries 40 x 100 / 46 kW in all,
// the 54 / 100 of it below going to C2, which H tops up; H's rest goes to the cooling water.
TEST(HostAutoDesignFallingUtility, ItsHeatPerIntervalFollowsTheIntervalsWidth) {
    ScratchFile table("autodesign-site", "falling.csv",
                      "name,supply,target,cp,h,cost,kind\nH,180,60,2,0.5,,process\nC,200,240,1,0.5,,process\n"
                      "C2,100,148,2,0.5,,process\nHU,250,150,,1,300000,utility\nCU,20,30,,1,300000,utility\n");
    const HostRun run = RunHost("autodesign " + table.path + " --matches-only --json 2>/dev/null");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const double oil = 40.0 * 100.0 / 46.0;            // 86.956522
    const double toC2 = oil * 54.0 / 100.0;            // 46.956522
    const double fromH = 96.0 - toC2;                  // C2 takes 2 x 48 = 96 kW
    const double water = 240.0 - fromH;                // H gives 2 x 120 = 240 kW
    EXPECT_NEAR(numberAfter(run.out, "{\"name\": \"HU\", \"load\": "), oil, 1e-5) << run.out;
    EXPECT_NEAR(numberAfter(run.out, "{\"name\": \"CU\", \"load\": "), water, 1e-5) << run.out;
    EXPECT_NEAR(numberAfter(run.out, "{\"hot\": \"HU\", \"cold\": \"C\", \"load\": "), 40.0, 1e-5) << run.out;
    EXPECT_NEAR(numberAfter(run.out, "{\"hot\": \"HU\", \"cold\": \"C2\", \"load\": "), toC2, 1e-5) << run.out;
    EXPECT_NEAR(numberAfter(run.out, "{\"hot\": \"H\", \"cold\": \"C2\", \"load\": "), fromH, 1e-5) << run.out;
}

}  // namespace
