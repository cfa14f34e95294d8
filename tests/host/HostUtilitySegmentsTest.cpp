// A utility given in several segments (rows of one name) is one stream at one heat-capacity flow
// rate: it takes the load one row over the same range takes, whether the placement chooses the
// load or the user types it, and its segments share the load by their ranges.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kProcess = "name,supply,target,cp,h,kind\nH1,170,60,3,,process\nH2,150,30,1.5,,process\n"
                             "C1,20,135,2,,process\nC2,80,140,4,,process\n";

std::string Line(const std::string& out, const std::string& start) {
    const std::size_t at = out.find("\n" + start);
    return at == std::string::npos ? std::string() : out.substr(at + 1, out.find('\n', at + 1) - at - 1);
}

// The four-stream process needs 20 kW of heat above the pinch and rejects 60 kW below it. Each
// utility in two rows places what the same utility in one row places, with the same area.
TEST(HostUtilitySegments, AUtilityInTwoRowsTakesTheLoadOfOneRow) {
    struct Case {
        const char* what;
        std::string twoRows, oneRow, loadLine;
    } cases[] = {
        {"hot oil, no cp", "Oil,300,250,,,utility\nOil,250,249,,,utility\nCooling Water,,,,,utility\n",
         "Oil,300,249,,,utility\nCooling Water,,,,,utility\n", "  Oil  20.000 kW"},
        {"hot oil with a cp column", "HO,200,150,2,,utility\nHO,150,120,1,,utility\nCooling Water,,,,,utility\n",
         "HO,200,120,2,,utility\nCooling Water,,,,,utility\n", "  HO  20.000 kW"},
        {"cooling water", "Oil,300,250,,,utility\nCW,20,25,,,utility\nCW,25,30,,,utility\n",
         "Oil,300,250,,,utility\nCW,20,30,,,utility\n", "  CW  60.000 kW"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFile two("utilseg", "two.csv", kProcess + c.twoRows), one("utilseg", "one.csv", kProcess + c.oneRow);
        const HostRun split = RunHost("targets " + two.path), whole = RunHost("targets " + one.path);
        ASSERT_EQ(0, split.exitCode) << split.out;
        EXPECT_EQ(c.loadLine, Line(split.out, c.loadLine.substr(0, 6))) << split.out;
        EXPECT_EQ(std::string::npos, split.out.find("not available")) << split.out;
        EXPECT_EQ(Line(whole.out, "  area, countercurrent"), Line(split.out, "  area, countercurrent")) << split.out;
        EXPECT_EQ(Line(whole.out, "  operating cost"), Line(split.out, "  operating cost")) << split.out;
    }
}

// Loads typed by the user reach the segments by their ranges, not the whole load to each: 20 kW
// typed on the two-row oil reads back 20 kW and gives the area of the one-row oil given 20 kW.
TEST(HostUtilitySegments, ALoadTypedOnATwoRowUtilityIsSharedByItsSegments) {
    const std::string script = "open HIDesignViewerScenario.200.0\nset TargetMethod.450 0\nset HeatFlow.440.0 20\n"
                               "get HeatFlow.440.[]\n";
    ScratchFile two("utilseg", "typed-two.csv",
                    kProcess + "Oil,300,250,,,utility\nOil,250,249,,,utility\nCooling Water,,,,,utility\n");
    ScratchFile one("utilseg", "typed-one.csv", kProcess + "Oil,300,249,,,utility\nCooling Water,,,,,utility\n");
    ScratchFile twoCase("utilseg", "typed-two.kcase", "", false), oneCase("utilseg", "typed-one.kcase", "", false);
    const HostRun split = RunViewScript(two.path, script, " --save " + twoCase.path);
    ASSERT_EQ(0, split.exitCode) << split.out;
    EXPECT_EQ((std::vector<double>{20, 60}), ScriptValues(split.out, 4)) << split.out;
    ASSERT_EQ(0, RunViewScript(one.path, script, " --save " + oneCase.path).exitCode);
    const HostRun a = RunHost("targets " + twoCase.path), b = RunHost("targets " + oneCase.path);
    EXPECT_EQ("  Oil  20.000 kW", Line(a.out, "  Oil")) << a.out;
    EXPECT_EQ(Line(b.out, "  area, countercurrent"), Line(a.out, "  area, countercurrent")) << a.out << b.out;
    EXPECT_EQ(std::string::npos, a.out.find("not available")) << a.out;
}

}  // namespace
