// kestrin-host plot --kind th: every exchanger of the textbook network, from its tables and from a
// saved case, read back from the SVG through the plot's axes: the hot side runs straight from
// its outlet to its inlet over the duty, the cold side countercurrent to it (its outlet beside
// the hot inlet); an unknown unit fails and writes no file.
#include "HostProcess.h"
#include "../support/SvgReadBack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

struct Scratch : ScratchFile {
    explicit Scratch(const std::string& stem) : ScratchFile("thplot", stem, "", false) {}
};

// The textbook network's duties (examples/four-streams-network.csv).
const std::map<std::string, double> kDuties = {{"E1", 240.0}, {"E2", 90.0}, {"E3", 90.0},
                                               {"E4", 30.0},  {"Heater", 20.0}, {"Cooler", 60.0}};

struct Ends {
    double hotIn, hotOut, coldIn, coldOut;
};
// Two exchangers worked by hand: E1 takes H1 from 170 to 90 and C2 from 80 to 140; E4 takes H2
// from 90 to 70 and C1 from 20 to 35.
const std::map<std::string, Ends> kEnds = {{"E1", {170.0, 90.0, 80.0, 140.0}}, {"E4", {90.0, 70.0, 20.0, 35.0}}};

class HostExchangerPlot : public ::testing::TestWithParam<bool> {
protected:
    std::string input() {
        const std::string tables = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");
        if (!GetParam()) return tables;
        const HostRun design = RunHost("design " + tables + " --save " + saved.path);
        EXPECT_EQ(0, design.exitCode) << design.out;
        return saved.path;
    }
    Scratch saved{"net.kestrin"};
};

TEST_P(HostExchangerPlot, EachExchangersProfileRunsCountercurrentOverItsDuty) {
    const std::string in = input();
    for (const auto& [unit, duty] : kDuties) {
        SCOPED_TRACE(unit);
        Scratch svg(unit + ".svg");
        const HostRun run = RunHost("plot " + in + " --kind th --unit " + unit + " --svg " + svg.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
        const std::string text = FileContents(svg.path);
        const SvgPicture pic = ReadSvg(text);
        ASSERT_TRUE(pic.parsed);
        ASSERT_NE(nullptr, pic.PlotArea());
        // The title names the unit the profile is of.
        EXPECT_NE(std::string::npos, text.find(">Temperature Enthalpy Plot: " + unit + "<")) << text.substr(0, 600);
        const SvgAxes axes(*pic.PlotArea());
        std::vector<SvgPoint> hot, cold;
        for (const SvgElement* line : pic.OfClass("data-set")) {
            std::vector<SvgPoint>* into = line->Attribute("data-label") == "Hot Side"    ? &hot
                                          : line->Attribute("data-label") == "Cold Side" ? &cold
                                                                                         : nullptr;
            ASSERT_NE(nullptr, into);
            for (const SvgPoint& p : line->Points()) into->push_back({axes.X(p.x), axes.Y(p.y)});
        }
        ASSERT_GE(hot.size(), 2u);
        ASSERT_EQ(hot.size(), cold.size());
        // Both sides span the duty, from the cold end at 0 to the hot end.
        EXPECT_NEAR(0.0, hot.front().x, 1e-3);
        EXPECT_NEAR(duty, hot.back().x, 1e-3);
        for (std::size_t i = 0; i < hot.size(); ++i) EXPECT_NEAR(hot[i].x, cold[i].x, 1e-6) << i;
        // The hot side falls from its inlet (at the duty) to its outlet (at 0) on a straight line;
        // the cold side rises from its inlet at 0 to its outlet beside the hot inlet, below it.
        EXPECT_GT(hot.back().y, hot.front().y);
        EXPECT_GT(cold.back().y, cold.front().y);
        for (const SvgPoint& p : hot) {
            const double line = hot.front().y + (hot.back().y - hot.front().y) * p.x / duty;
            EXPECT_NEAR(line, p.y, 1e-3) << p.x;
        }
        EXPECT_GT(hot.back().y, cold.back().y);
        EXPECT_GT(hot.front().y, cold.front().y);
        auto ends = kEnds.find(unit);
        if (ends == kEnds.end()) continue;
        EXPECT_NEAR(ends->second.hotIn, hot.back().y, 1e-3);
        EXPECT_NEAR(ends->second.hotOut, hot.front().y, 1e-3);
        EXPECT_NEAR(ends->second.coldIn, cold.front().y, 1e-3);
        EXPECT_NEAR(ends->second.coldOut, cold.back().y, 1e-3);
    }
}

INSTANTIATE_TEST_SUITE_P(FromTablesAndCase, HostExchangerPlot, ::testing::Values(false, true));

TEST(HostExchangerPlotInput, AnUnknownOrMissingUnitFailsAndWritesNoFile) {
    const std::string tables = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");
    Scratch svg("none.svg");
    const HostRun unknown = RunHost("plot " + tables + " --kind th --unit E9 --svg " + svg.path);
    EXPECT_EQ(1, unknown.exitCode);
    EXPECT_NE(std::string::npos, unknown.out.find("no exchanger E9")) << unknown.out;
    EXPECT_FALSE(FileExists(svg.path));
    const HostRun missing = RunHost("plot " + tables + " --kind th --svg " + svg.path);
    EXPECT_NE(0, missing.exitCode);
    EXPECT_NE(std::string::npos, missing.out.find("--unit")) << missing.out;
    const HostRun stray = RunHost("plot " + tables + " --kind bar --unit E1 --svg " + svg.path);
    EXPECT_NE(0, stray.exitCode);
    EXPECT_FALSE(FileExists(svg.path));
}

}  // namespace

namespace {

// The textbook network with its heater on Hot Oil, which the targets leave without load (steam
// serves the 20 kW): the heater's profile follows the flow the design gives the oil, 280 -> 250 C
// over its 20 kW as its area does, not the oil's load in the targets (none, and no points).
TEST(HostExchangerPlotUtility, AHeatersProfileFollowsTheDesignsFlowOfItsUtility) {
    ScratchFile streams("thplot", "oil-streams.csv",
                        "name,supply,target,cp,h,kind\nH1,170,60,3,0.2,process\nH2,150,30,1.5,0.2,process\n"
                        "C1,20,135,2,0.2,process\nC2,80,140,4,0.2,process\nHP Steam,,,,,utility\n"
                        "Hot Oil,,,,,utility\nCooling Water,,,,,utility\n");
    ScratchFile network("thplot", "oil-network.csv",
                        "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,240,1,1\nE2,H2,C1,90,1,3\n"
                        "E3,H1,C1,90,2,2\nE4,H2,C1,30,2,1\nHeater,Hot Oil,C1,20,,4\nCooler,H2,Cooling Water,60,3,\n");
    ScratchFile svg("thplot", "oil.svg", "", false);
    const HostRun run =
        RunHost("plot " + streams.path + " " + network.path + " --kind th --unit Heater --svg " + svg.path + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"label\":\"Hot Side\",\"axis\":\"left\",\"points\":[[0,250],[20,280]]"))
        << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"label\":\"Cold Side\",\"axis\":\"left\",\"points\":[[0,125],[20,135]]"))
        << run.out;
}

}  // namespace
