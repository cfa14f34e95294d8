// Values whose right and wrong formulas the other tests' data cannot tell apart, each worked out
// here from what the report itself gives, on data where the formulas differ.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The four-stream textbook network with every unit a shell-and-tube exchanger.
std::string ShellAndTubeNetwork() {
    return "name,hot,cold,duty,hot_order,cold_order,type\nE1,H1,C2,240,1,1,shell-and-tube\n"
           "E2,H2,C1,90,1,3,shell-and-tube\nE3,H1,C1,90,2,2,shell-and-tube\nE4,H2,C1,30,2,1,shell-and-tube\n"
           "Heater,HP Steam,C1,20,,4,shell-and-tube\nCooler,H2,Cooling Water,60,3,,shell-and-tube\n";
}

struct UnitSize {
    double area, shells;
};

std::vector<UnitSize> UnitSizes(const std::string& json) {
    std::vector<UnitSize> units;
    const std::regex unit("\"area\": ([-0-9.e+]+), \"u\": [-0-9.e+]+, \"ft\": [-0-9.e+]+, \"shells\": ([0-9]+)");
    for (auto it = std::sregex_iterator(json.begin(), json.end(), unit); it != std::sregex_iterator(); ++it)
        units.push_back({std::stod((*it)[1]), std::stod((*it)[2])});
    return units;
}

}  // namespace

// A shell-and-tube unit of s shells and area A costs a + s b (A / s)^c by the shell law (the fixed
// cost once a unit), a + b A^c by the unit law. With E1 in 4 shells and E2 in 4 the laws are far
// apart (85,747 against 68,829 at a = 1000, b = 500, c = 0.8), and a fixed cost per shell would give
// 93,747.
TEST(HostFormulasToldApart, AShellAndTubeDesignsCapitalFollowsItsCostLaw) {
    ScratchFile network("toldapart", "st-network.csv", ShellAndTubeNetwork());
    for (const bool shellLaw : {true, false}) {
        SCOPED_TRACE(shellLaw ? "shells" : "units");
        const HostRun run = RunHost("design " + ExamplePath("four-streams.csv") + " " + network.path +
                                    " --economics fixed=1000,area=500,exponent=0.8,law=" + (shellLaw ? "shells" : "units") +
                                    " --json");
        ASSERT_EQ(0, run.exitCode) << run.out;
        const std::vector<UnitSize> units = UnitSizes(run.out);
        ASSERT_EQ(6u, units.size()) << run.out;
        double expected = 0.0, shellsInAll = 0.0;
        for (const UnitSize& u : units) {
            const double s = shellLaw ? u.shells : 1.0;
            expected += 1000.0 + s * 500.0 * std::pow(u.area / s, 0.8);
            shellsInAll += u.shells;
        }
        EXPECT_GT(shellsInAll, 10.0) << "several units need more than one shell";
        EXPECT_NEAR(expected, JsonNumber(run.out, "capital_cost"), 1e-6 * expected) << run.out;
    }
}

// The duty law prices the heat the plant exchanges. H1 (150 -> 50 C, cp 2) heats C1 and C2 (40 ->
// 120 C, cp 1 each) and gives the rest to cooling water: 200 kW in 3 units, 3 x (10000 + 800 x
// (200/3)^0.8) = 99077.76, by the Bath method and by the area LP alike. Counting H1's heat once
// for each cold stream it meets would price 360 kW (140549.36).
TEST(HostFormulasToldApart, TheDutyLawPricesEachKilowattOnce) {
    ScratchFile table("toldapart", "law.csv",
                      "name,supply,target,cp,h,kind\nH1,150,50,2,0.2,process\nC1,40,120,1,0.2,process\n"
                      "C2,40,120,1,0.2,process\nCooling Water,,,,,utility\n");
    const double expected = 3.0 * (10000.0 + 800.0 * std::pow(200.0 / 3.0, 0.8));
    for (const char* method : {"bath", "lp"}) {
        SCOPED_TRACE(method);
        const HostRun run =
            RunHost("targets " + table.path + " --economics law=units --area-method " + method + " --json");
        ASSERT_EQ(0, run.exitCode) << run.out;
        EXPECT_NEAR(expected, JsonNumber(run.out, "capital_cost"), 0.01) << run.out;
    }
}

// A site utility's price typed in one scenario is the site's: the other scenario shows it and
// prices its utility with it, and the case keeps it. Process 1 takes 20 kW of HP Steam and 60 kW
// of Cooling Water (0.0007648416 per kWh) over 8760 h: 20 x 0.009 x 8760 + 402.00 = 1978.80 at the
// default price, 20 x 0.02 x 8760 + 402.00 = 3906.00 at the price typed in Winter.
TEST(HostFormulasToldApart, ASitePriceTypedInOneScenarioPricesEveryScenario) {
    const std::string works =
        kFourStreamSite + "get CostPerTime.302\nopen MyOwnerObject\ncmd AddDefaultScenario Winter\n"
        "open HIDesignViewerScenario.200(Winter)\nset CostPerEnergy.445.0 0.02\nopen MyOwnerObject\n"
        "open HIDesignViewerScenario.200(Process 1)\nget CostPerEnergy.445.[]\nget CostPerTime.302\n";
    ScratchFile script("toldapart", "site.txt", works), saved("toldapart", "site.kcase", "", false);
    const HostRun run = RunHost("view --new hi-total-site Works --script " + script.path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    ASSERT_EQ(1u, ScriptValues(run.out, 20).size()) << run.out;
    EXPECT_NEAR(1978.80, ScriptValues(run.out, 20)[0], 0.01) << run.out;
    EXPECT_EQ((std::vector<double>{0.02, 0.0007648416}), ScriptValues(run.out, 27)) << run.out;
    ASSERT_EQ(1u, ScriptValues(run.out, 28).size()) << run.out;
    EXPECT_NEAR(3906.00, ScriptValues(run.out, 28)[0], 0.01) << run.out;

    const HostRun reopened =
        RunViewScript(saved.path, "open HIDesignViewerScenario.200(Winter)\nget CostPerEnergy.445.[]\nopen MyOwnerObject\n"
                                  "open HIDesignViewerScenario.200(Process 1)\nget CostPerEnergy.445.[]\n");
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_EQ((std::vector<double>{0.02, 0.0007648416}), ScriptValues(reopened.out, 2)) << reopened.out;
    EXPECT_EQ((std::vector<double>{0.02, 0.0007648416}), ScriptValues(reopened.out, 5)) << reopened.out;
    EXPECT_TRUE(has(RunHost("targets " + saved.path).out, "operating cost            3906.00 per year"));
}

// Each table the scenario opens is titled for its own kind (a table of one kind under another's
// title would go unnoticed where only one kind is opened): the utility composite table among them.
TEST(HostFormulasToldApart, EachTableIsTitledForItsKind) {
    const char* const titles[] = {"Pinch Temperatures",         "Pocket Data Table",
                                  "Grand Composite Curve Table", "Composite Curve Table",
                                  "Balanced Comp. Curve Table",  "Utility Comp. Curve Table"};
    for (int kind = 0; kind < 6; ++kind) {
        SCOPED_TRACE(kind);
        const HostRun run = RunViewScript(ExamplePath("four-streams.csv"), "set Enum.203 " + std::to_string(kind) +
                                                                               "\ncmd ViewTableStandalone\nopen @last\n"
                                                                               "text ExtraData.200\n");
        ASSERT_EQ(0, run.exitCode) << run.out;
        EXPECT_TRUE(has(run.out, "4: text ExtraData.200\n  text base - " + std::string(titles[kind]) + "\n")) << run.out;
    }
}

// The utility-exchanger move to a hot oil that falls 100 K (300 to 200 C), not steam's 1 K: the
// heater takes the oil over its whole range, 180 kW into C from 115 to 160 C, so its ends are
// 300 - 160 = 140 K and 200 - 115 = 85 K apart; LMTD 55 / ln(140 / 85) = 110.22 K, U = 1 / (1 / 0.2
// + 1 / 0.5) = 0.142857, area 180 / (0.142857 x 110.22) = 11.43 m2. Saved: 180 kW x (78.84 - 20) a
// year = 10,591.20.
TEST(HostFormulasToldApart, AHeaterMovedToAHotOilTakesTheOilsWholeFall) {
    ScratchFile streams("toldapart", "oil-streams.csv",
                        "name,supply,target,cp,h,kind,cost\nH1,150,50,2,0.2,process,\nH2,130,70,1,0.2,process,\n"
                        "C,100,160,4,0.2,process,\nHP Steam,,,,,utility,\nHO,300,200,,0.5,utility,20\n"
                        "Cooling Water,,,,,utility,\nAir,,,,,utility,\n");
    const HostRun run = RunHost("retrofit " + streams.path + " " + ExamplePath("retrofit-network.csv") + " --mode utility");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "Step 1: result 39, ")) << run.out;
    EXPECT_TRUE(has(run.out, "    Heater (heater) HO -> C: duty 180.00, hot 300.00 -> 200.00, cold 115.00 -> 160.00, "
                             "approach 85.00, area 11.43, U 0.1429"))
        << run.out;
    const double lmtd = (140.0 - 85.0) / std::log(140.0 / 85.0), u = 1.0 / (1.0 / 0.2 + 1.0 / 0.5);
    EXPECT_NEAR(11.43, 180.0 / (u * lmtd), 0.005);
    EXPECT_TRUE(has(run.out, "  utility cost saving 10591.20 per year")) << run.out;
}
