// kestrin-host plot --kind bar|driving-force: the textbook network's exchanger bar chart and
// driving-force plot, from its tables and from a saved case, read back from the SVG through the
// plot's axes; view --open design reads the performance table; bad input fails and writes no
// file.
#include "HostProcess.h"
#include "TenExchangerNetwork.h"
#include "../support/SvgReportGrade.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct Scratch : ScratchFile {
    explicit Scratch(const std::string& stem) : ScratchFile("designplot", stem, "", false) {}
};

// The textbook network's duties (examples/four-streams-network.csv).
const std::map<std::string, double> kDuties = {{"E1", 240.0}, {"E2", 90.0}, {"E3", 90.0},
                                               {"E4", 30.0},  {"Heater", 20.0}, {"Cooler", 60.0}};

// The input of the network: the two tables, or a case saved from them.
class HostDesignPlot : public ::testing::TestWithParam<bool> {
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

TEST_P(HostDesignPlot, TheBarChartHasABarPerExchangerAsHighAsItsDutyInItsServicesColour) {
    Scratch svg("bar.svg");
    const HostRun run = RunHost("plot " + input() + " --kind bar --quantity duty --svg " + svg.path + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    // A duty is a heat flow: the axis carries its unit, and the picture its title.
    EXPECT_NE(std::string::npos, run.out.find("{\"axis\":\"left\",\"title\":\"Duty\",\"unit\":\"kW\"}")) << run.out;
    EXPECT_EQ(0u, run.out.find("{\"title\":\"Duty of Each Unit\"")) << run.out;
    const SvgPicture pic = ReadSvg(FileContents(svg.path));
    ASSERT_TRUE(pic.parsed);
    ASSERT_NE(nullptr, pic.PlotArea());
    const SvgAxes axes(*pic.PlotArea());
    // The legend: a swatch before each entry's text.
    std::map<std::string, std::string> legendColour;
    const SvgElement* swatch = nullptr;
    for (const SvgElement& e : pic.elements) {
        if (e.groupClasses.empty() || e.groupClasses.back() != "legend") continue;
        if (e.name == "rect") swatch = &e;
        if (e.Class() == "legend-entry" && swatch) legendColour[e.text] = swatch->Attribute("fill");
    }
    ASSERT_TRUE(legendColour.count("Exchanger") && legendColour.count("Heater") && legendColour.count("Cooler"));
    EXPECT_NE(legendColour["Exchanger"], legendColour["Heater"]);
    EXPECT_NE(legendColour["Heater"], legendColour["Cooler"]);
    const auto bars = pic.OfClass("bar");
    ASSERT_EQ(kDuties.size(), bars.size());
    std::map<std::string, int> seen;
    for (const SvgElement* bar : bars) {
        const int i = std::stoi(bar->Attribute("data-set"));
        const std::string name = bar->Attribute("data-label");
        ASSERT_TRUE(kDuties.count(name)) << name;
        ++seen[name];
        const double x0 = axes.X(bar->Number("x")), x1 = axes.X(bar->Number("x") + bar->Number("width"));
        const double top = axes.Y(bar->Number("y")), bottom = axes.Y(bar->Number("y") + bar->Number("height"));
        EXPECT_NEAR(i + 0.7, x0, 1e-3) << name;
        EXPECT_NEAR(i + 1.3, x1, 1e-3) << name;
        EXPECT_NEAR(0.0, bottom, 1e-3) << name;
        EXPECT_NEAR(kDuties.at(name), top, 1e-3) << name;
        const std::string service = name == "Heater" ? "Heater" : name == "Cooler" ? "Cooler" : "Exchanger";
        EXPECT_EQ(legendColour[service], bar->Attribute("fill")) << name;
    }
    EXPECT_EQ(kDuties.size(), seen.size());
}

TEST_P(HostDesignPlot, TheDrivingForcePlotJoinsEachExchangersTwoEnds) {
    Scratch svg("df.svg");
    const HostRun run = RunHost("plot " + input() + " --kind driving-force --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const SvgPicture pic = ReadSvg(FileContents(svg.path));
    ASSERT_TRUE(pic.parsed);
    ASSERT_NE(nullptr, pic.PlotArea());
    const SvgAxes axes(*pic.PlotArea());
    // Hot and cold ends of each exchanger: (cold outlet, hot inlet) and (cold inlet, hot outlet).
    struct Ends {
        double coldOut, hotIn, coldIn, hotOut;
    };
    const std::map<std::string, Ends> ends = {
        {"E1", {140.0, 170.0, 80.0, 90.0}},  // H1 170 -> 90 with C2 80 -> 140, 240 kW
        {"E4", {35.0, 90.0, 20.0, 70.0}},    // H2 below the pinch with C1 at its supply end, 30 kW
    };
    int checked = 0, curves = 0;
    for (const SvgElement* line : pic.OfClass("data-set")) {
        const std::string name = line->Attribute("data-label");
        if (!kDuties.count(name)) continue;
        ++curves;
        const std::vector<SvgPoint> p = line->Points();
        ASSERT_EQ(2u, p.size()) << name;
        // Every curve runs from the hot end down to the cold end.
        EXPECT_GT(axes.Y(p[0].y), axes.Y(p[1].y)) << name;
        EXPECT_GT(axes.X(p[0].x), axes.X(p[1].x)) << name;
        auto it = ends.find(name);
        if (it == ends.end()) continue;
        ++checked;
        EXPECT_NEAR(it->second.coldOut, axes.X(p[0].x), 1e-3) << name;
        EXPECT_NEAR(it->second.hotIn, axes.Y(p[0].y), 1e-3) << name;
        EXPECT_NEAR(it->second.coldIn, axes.X(p[1].x), 1e-3) << name;
        EXPECT_NEAR(it->second.hotOut, axes.Y(p[1].y), 1e-3) << name;
    }
    EXPECT_EQ(2, checked);
    EXPECT_EQ(6, curves);
}

// Each exchanger's curve in a colour of its own, none of them the target's or the diagonal's,
// and a legend entry for each in its curve's colour.
TEST_P(HostDesignPlot, TheDrivingForcePlotTellsTheExchangersApartByColourAndLegend) {
    Scratch svg("df-colours.svg");
    const HostRun run = RunHost("plot " + input() + " --kind driving-force --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const SvgPicture pic = ReadSvg(FileContents(svg.path));
    ASSERT_TRUE(pic.parsed);
    std::map<std::string, std::string> curveColour, legendColour;
    const SvgElement* swatch = nullptr;
    for (const SvgElement& e : pic.elements) {
        if (e.Class() == "data-set") curveColour[e.Attribute("data-label")] = e.Attribute("stroke");
        if (e.groupClasses.empty() || e.groupClasses.back() != "legend") continue;
        if (e.name == "line") swatch = &e;
        if (e.Class() == "legend-entry" && swatch) legendColour[e.text] = swatch->Attribute("stroke");
    }
    std::set<std::string> colours;
    for (const auto& [name, duty] : kDuties) {
        ASSERT_TRUE(curveColour.count(name)) << name;
        colours.insert(curveColour[name]);
        EXPECT_EQ(curveColour[name], legendColour[name]) << name;
        EXPECT_NE(curveColour["Target Driving Force"], curveColour[name]) << name;
        EXPECT_NE(curveColour["y = x"], curveColour[name]) << name;
    }
    EXPECT_EQ(kDuties.size(), colours.size());
}

// Ten exchangers, more than the common colours that read on white: still a colour each. Five hot
// streams (200 -> 100 C, CP 1) each give 30 kW to each of two cold streams (20 -> 120 C, CP 5)
// and the rest to cooling water; the cold streams finish on steam.
TEST(HostDesignPlotColours, TenExchangersTakeTenColours) {
    const auto [streams, network] = TenExchangerNetwork();
    ScratchFile s("designplot", "ten.csv", streams), n("designplot", "ten-net.csv", network);
    Scratch svg("ten.svg");
    const HostRun run = RunHost("plot " + s.path + " " + n.path + " --kind driving-force --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const SvgPicture pic = ReadSvg(FileContents(svg.path));
    ASSERT_TRUE(pic.parsed);
    std::map<std::string, std::string> curveColour;
    for (const SvgElement& e : pic.elements)
        if (e.Class() == "data-set") curveColour[e.Attribute("data-label")] = e.Attribute("stroke");
    std::set<std::string> colours;
    int exchangers = 0;
    for (const auto& [name, colour] : curveColour) {
        if (name.size() != 3 || name[0] != 'E') continue;
        ++exchangers;
        colours.insert(colour);
        EXPECT_NE(curveColour["Target Driving Force"], colour) << name;
        EXPECT_NE(curveColour["y = x"], colour) << name;
    }
    EXPECT_EQ(10, exchangers) << run.out;
    EXPECT_EQ(10u, colours.size());
    Scratch png("ten.png");
    EXPECT_EQ(0, ShellStatus("rsvg-convert -o " + png.path + " " + svg.path));
}

// The design pictures read as a report: no repeated tick label, no text outside the picture,
// and rsvg-convert draws them.
TEST_P(HostDesignPlot, TheDesignPicturesAreReportGrade) {
    for (const std::string kind : {"bar --quantity duty", "bar", "driving-force"}) {
        Scratch svg("grade.svg"), png("grade.png");
        const HostRun run = RunHost("plot " + input() + " --kind " + kind + " --svg " + svg.path);
        ASSERT_EQ(0, run.exitCode) << kind << "\n" << run.out;
        ExpectReportGrade(FileContents(svg.path), kind);
        EXPECT_EQ(0, ShellStatus("rsvg-convert -o " + png.path + " " + svg.path)) << kind;
        EXPECT_GT(FileContents(png.path).size(), 1000u) << kind;
    }
}

TEST_P(HostDesignPlot, TheTargetCurveKeepsDTminFromTheDiagonalAndTouchesIt) {
    Scratch svg("target.svg");
    const HostRun run = RunHost("plot " + input() + " --kind driving-force --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const SvgPicture pic = ReadSvg(FileContents(svg.path));
    ASSERT_TRUE(pic.parsed);
    ASSERT_NE(nullptr, pic.PlotArea());
    const SvgAxes axes(*pic.PlotArea());
    std::vector<SvgPoint> target, diagonal;
    for (const SvgElement* line : pic.OfClass("data-set")) {
        const std::string label = line->Attribute("data-label");
        std::vector<SvgPoint>* into = label == "Target Driving Force" ? &target : label == "y = x" ? &diagonal : nullptr;
        if (!into) continue;
        for (const SvgPoint& p : line->Points()) into->push_back({axes.X(p.x), axes.Y(p.y)});
    }
    // The curve is straight between its points: its closest approach to y = x is at one of them.
    ASSERT_GE(target.size(), 2u);
    double closest = 1e9;
    for (const SvgPoint& p : target) {
        EXPECT_GE(p.y - p.x, 10.0 - 1e-3) << p.x << " " << p.y;
        closest = std::min(closest, p.y - p.x);
    }
    EXPECT_NEAR(10.0, closest, 1e-3);  // DTmin, at the pinch
    ASSERT_GE(diagonal.size(), 2u);
    for (const SvgPoint& p : diagonal) EXPECT_NEAR(p.x, p.y, 1e-3);
}

TEST(HostDesignView, TheDesignViewerReadsTheUtilityLoadsBesideTheirTargets) {
    Scratch saved("view.kestrin"), script("script.txt");
    const HostRun design = RunHost("design " + ExamplePath("four-streams.csv") + " " +
                                   ExamplePath("four-streams-network.csv") + " --save " + saved.path);
    ASSERT_EQ(0, design.exitCode) << design.out;
    {
        std::ofstream(script.path) << "get ExtraData.752.0\nget ExtraData.752.1\nget ExtraData.753.0\nget ExtraData.753.1\n"
                                      "cmd OpenDrivingForcePlot\nopen @last\nget Temperature.709.3.[]\n";
    }
    const std::string file = saved.path;
    const HostRun run = RunHost("view " + file + " --open design --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    // The minimum-energy network meets the targets: 20 kW hot and 60 kW cold utility, 100 %.
    for (const char* line : {"1: get ExtraData.752.0\n  value 20 kW", "2: get ExtraData.752.1\n  value 100",
                             "3: get ExtraData.753.0\n  value 60 kW", "4: get ExtraData.753.1\n  value 100",
                             "6: open @last\n  text Network", "7: get Temperature.709.3.[]\n  value 170 90 C"})
        EXPECT_NE(std::string::npos, run.out.find(line)) << line << "\n" << run.out;
    // Saved again with its views, the case brings its design viewer back with the same answers.
    Scratch again("again.kestrin");
    const HostRun saving = RunHost("view " + file + " --open design --script " + script.path + " --save " + again.path);
    ASSERT_EQ(0, saving.exitCode) << saving.out;
    const HostRun named = RunHost("view " + again.path + " --open design=Network --script " + script.path);
    EXPECT_EQ(0, named.exitCode) << named.out;
    EXPECT_EQ(run.out, named.out);
    const HostRun missing = RunHost("view " + file + " --open design=Elsewhere");
    EXPECT_EQ(1, missing.exitCode);
    EXPECT_NE(std::string::npos, missing.out.find("no view design=Elsewhere"));
}

INSTANTIATE_TEST_SUITE_P(Inputs, HostDesignPlot, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Case" : "Tables"; });

TEST(HostDesignPlotInput, BadRequestsFailAndWriteNoFile) {
    const std::string tables = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");
    Scratch svg("bad.svg");
    // A command line plot cannot take is a usage error (exit 2); one naming its files wrongly fails
    // the job (exit 1).
    struct Case {
        std::string arguments, message;
        int exitCode;
    };
    const Case cases[] = {
        {tables + " --kind bar --quantity weight --svg " + svg.path, "--quantity weight is no quantity", 2},
        {tables + " --kind driving-force --quantity area --svg " + svg.path, "--quantity chooses", 2},
        {tables + " --kind bar", "plot needs --svg OUT", 2},
        {tables + " --kind bar --design D --svg " + svg.path, "--design names a design of a case", 1},
        {ExamplePath("four-streams.csv") + " --kind bar --svg " + svg.path, "is not a Kestrin case file, and the network table is missing", 2},
        {tables + " --kind bar --dtmin 5 --svg " + svg.path, "takes no --dtmin", 2},
        {tables + " --kind bar --svg " + ExamplePath("four-streams.csv"), "names an input file", 1},
    };
    for (const Case& c : cases) {
        const HostRun run = RunHost("plot " + c.arguments);
        EXPECT_EQ(c.exitCode, run.exitCode) << c.arguments;
        EXPECT_NE(std::string::npos, run.out.find(c.message)) << c.arguments << "\n" << run.out;
        EXPECT_FALSE(FileExists(svg.path)) << c.arguments;
    }
}

}  // namespace
