// What the user chooses for the grid diagram reaches its picture: the labels chosen on the form
// (Enum.200 to Enum.205) are written in `svg .`, each unit carries its duty under it by default,
// `grid --hide-utilities` leaves the heaters and coolers out, and `grid --pinch` either draws
// the pinch layout with every unit clear of the others or says why it could not. Every picture
// is rendered with rsvg-convert.
#include "HostProcess.h"
#include "TenExchangerNetwork.h"
#include "../support/SvgReadBack.h"
#include "../support/SvgReportGrade.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

bool renders(const std::string& svg, const std::string& stem) {
    ScratchFile png("gridchoices", stem + ".png", "", false);
    return ShellStatus("rsvg-convert -o " + png.path + " " + svg) == 0 && FileContents(png.path).size() > 1000u;
}

// The texts drawn in the group of the item of that name.
std::multiset<std::string> textsOf(const SvgPicture& picture, const std::string& name) {
    std::multiset<std::string> out;
    for (const SvgElement& e : picture.elements)
        if (e.name == "text" && e.group.count("data-name") && e.group.at("data-name") == name) out.insert(e.text);
    return out;
}

// The textbook network (examples/four-streams-network.csv) saved as a case, for `view` scripts.
struct SavedNetwork {
    SavedNetwork() {
        built = RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") +
                        " --save " + saved.path)
                    .exitCode == 0;
    }
    ScratchFile saved{"gridchoices", "net.kestrin", "", false};
    bool built = false;
};

struct Choice {
    const char* variable;  // the form's choice
    int row;               // its entry: 3 area, 4 coefficient, 5 LMTD, 7 nothing
    const char* item;
    std::set<std::string> shown, hidden;
};

class HostGridChoices : public ::testing::TestWithParam<Choice> {};

// E1 takes H1 170 -> 90 C against C2 80 -> 140 C: LMTD (30 - 10) / ln 3 = 18.20 C; with
// U = 1 / (1 / 0.2 + 1 / 0.2) = 0.1 kW/(m2.C) its area is 240 / (0.1 x 18.20) = 131.8 m2.
TEST_P(HostGridChoices, TheChosenLabelsAreWrittenInThePicture) {
    const Choice& c = GetParam();
    SavedNetwork net;
    ASSERT_TRUE(net.built);
    ScratchFile svg("gridchoices", "choice.svg", "", false);
    ScratchFile script("gridchoices", "choice.txt",
                       std::string("set ") + c.variable + " " + std::to_string(c.row) + "\nsvg . " + svg.path + "\n");
    const HostRun run = RunHost("view " + net.saved.path + " --open grid --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const SvgPicture picture = ReadSvg(FileContents(svg.path));
    ASSERT_TRUE(picture.parsed);
    const std::multiset<std::string> texts = textsOf(picture, c.item);
    for (const std::string& t : c.shown) EXPECT_EQ(1u, texts.count(t)) << c.variable << " " << c.row << ": " << t;
    for (const std::string& t : c.hidden) EXPECT_EQ(0u, texts.count(t)) << c.variable << " " << c.row << ": " << t;
    EXPECT_TRUE(renders(svg.path, "choice"));
}

INSTANTIATE_TEST_SUITE_P(
    EachPosition, HostGridChoices,
    ::testing::Values(Choice{"Enum.201", 5, "E1", {"E1", "18.20 C", "170.0 C", "140.0 C"}, {"240.0 kW"}},
                      Choice{"Enum.200", 3, "E1", {"131.8 m2", "240.0 kW"}, {}},
                      Choice{"Enum.202", 4, "E1", {"0.1 kW/m2-C", "240.0 kW"}, {}},
                      // Nothing for the lines: no temperatures beside the units.
                      Choice{"Enum.203", 7, "E1", {"E1", "240.0 kW"}, {"170.0 C", "90.0 C", "80.0 C", "140.0 C"}},
                      Choice{"Enum.204", 7, "H1Start", {}, {"170.0 C"}},
                      // A terminal knows its temperature only: a duty, an area or a fraction
                      // chosen for it is left out, not written as a question mark.
                      Choice{"Enum.204", 2, "H1Start", {"H1"}, {"?", "170.0 C"}},
                      Choice{"Enum.204", 6, "C1Start", {"C1"}, {"?", "20.0 C"}},
                      Choice{"Enum.205", 3, "H1End", {}, {"?", "60.0 C"}},
                      Choice{"Enum.205", 5, "C2End", {}, {"?", "140.0 C"}}));

// A label choice takes only an entry of its list (0 to 8, from nothing to the unit's name): a
// number past either end is refused, the choice before it stays, and nothing unknown is saved.
TEST(HostGridChoices, AChoiceOutsideItsListIsRefusedAndTheLastOneStays) {
    SavedNetwork net;
    ASSERT_TRUE(net.built);
    ScratchFile script("gridchoices", "range.txt",
                       "set Enum.201 5\nexpect ValidOptionError\nset Enum.201 99\nget Enum.201\nexpect ValidOptionError\n"
                       "set Enum.200 -1\nget Enum.200\nexpect ValidOptionError\nset Enum.205 9\nget Enum.205\n"
                       "set Enum.203 8\nget Enum.203\nset Enum.202 0\nget Enum.202\n");
    const HostRun run = RunHost("view " + net.saved.path + " --open grid --script " + script.path + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    auto step = [&](int line) {
        const std::size_t at = run.out.find("{\"line\":" + std::to_string(line) + ",");
        return at == std::string::npos ? std::string() : run.out.substr(at, run.out.find("\"journal\"", at) - at);
    };
    EXPECT_NE(step(1).find("\"result\":1"), std::string::npos) << step(1);
    // Each refusal says why.
    for (int refused : {3, 6, 9}) EXPECT_NE(step(refused).find("\"result\":0"), std::string::npos) << step(refused);
    int told = 0;
    for (std::size_t at = run.out.find("\"key\":\"ValidOptionError\""); at != std::string::npos;
         at = run.out.find("\"key\":\"ValidOptionError\"", at + 1))
        ++told;
    EXPECT_EQ(3, told);
    EXPECT_NE(step(4).find("\"value\":5,"), std::string::npos) << step(4);
    EXPECT_EQ(step(7).find("\"value\":-1,"), std::string::npos) << step(7);
    EXPECT_EQ(step(10).find("\"value\":9,"), std::string::npos) << step(10);
    EXPECT_NE(step(12).find("\"value\":8,"), std::string::npos) << step(12);
    EXPECT_NE(step(14).find("\"value\":0,"), std::string::npos) << step(14);
}

// Each label choice lists the rows of the label table it takes, 0 (nothing) to 8 (the unit's
// name), by the names the labels are read by; every entry listed is one the choice takes.
TEST(HostGridChoices, EachLabelChoiceListsTheEntriesItTakes) {
    SavedNetwork net;
    ASSERT_TRUE(net.built);
    const char* const names[] = {"(none)", "Temperature", "Duty", "HTArea", "OverallHTC",
                                 "LMTD",   "SplitFraction", "none", "UnitOperationName"};
    std::string script;
    for (int v = 200; v <= 205; ++v) {
        script += "choices Enum." + std::to_string(v) + "\n";
        for (int row = 0; row <= 8; ++row) script += "set Enum." + std::to_string(v) + " " + std::to_string(row) + "\n";
    }
    ScratchFile file("gridchoices", "list.txt", script);
    const HostRun run = RunHost("view " + net.saved.path + " --open grid --script " + file.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (int v = 200; v <= 205; ++v) {
        const std::string heading = "choices Enum." + std::to_string(v) + "\n";
        const std::size_t at = run.out.find(heading);
        ASSERT_NE(std::string::npos, at) << run.out;
        std::string listed;
        for (int row = 0; row <= 8; ++row) listed += "  choice " + std::to_string(row) + " " + names[row] + " (0)\n";
        EXPECT_EQ(listed, run.out.substr(at + heading.size(), listed.size())) << v;
        EXPECT_EQ(std::string::npos, run.out.find("  choice 9 ", at + heading.size())) << v;
    }
    EXPECT_EQ(std::string::npos, run.out.find("result 0")) << run.out;
}

// The textbook grid gives each unit's duty under it: below its lowest circle.
TEST(HostGridDuties, EachUnitCarriesItsDutyUnderIt) {
    ScratchFile svg("gridchoices", "duties.svg", "", false);
    const HostRun run = RunHost("grid " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") +
                                " --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const SvgPicture picture = ReadSvg(FileContents(svg.path));
    ASSERT_TRUE(picture.parsed);
    const std::vector<std::pair<std::string, std::string>> duties = {{"E1", "240.0 kW"}, {"E2", "90.0 kW"},
                                                                     {"E3", "90.0 kW"},  {"E4", "30.0 kW"},
                                                                     {"Heater", "20.0 kW"}, {"Cooler", "60.0 kW"}};
    for (const auto& [unit, duty] : duties) {
        double lowest = -1e300, cx = 0.0;
        const SvgElement* text = nullptr;
        for (const SvgElement& e : picture.elements) {
            if (!e.group.count("data-name") || e.group.at("data-name") != unit) continue;
            if (e.name == "circle" && e.Number("cy") + e.Number("r") > lowest)
                lowest = e.Number("cy") + e.Number("r"), cx = e.Number("cx");
            if (e.name == "text" && e.text == duty) text = &e;
        }
        ASSERT_NE(nullptr, text) << unit;
        EXPECT_GT(text->Number("y"), lowest - 1e-9) << unit;
        EXPECT_NEAR(cx, text->Number("x"), 1.0) << unit;
        EXPECT_EQ("middle", text->Attribute("text-anchor")) << unit;
    }
    EXPECT_TRUE(renders(svg.path, "duties"));
}

// --hide-utilities leaves out every heater and cooler and nothing else.
class HostGridHideUtilities : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

int countOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

TEST_P(HostGridHideUtilities, HeatersAndCoolersAreLeftOut) {
    const auto [streams, network] = GetParam();
    ScratchFile all("gridchoices", "all.svg", "", false), hidden("gridchoices", "hidden.svg", "", false);
    const std::string inputs = ExamplePath(streams) + " " + ExamplePath(network);
    ASSERT_EQ(0, RunHost("grid " + inputs + " --svg " + all.path).exitCode);
    const HostRun run = RunHost("grid " + inputs + " --hide-utilities --svg " + hidden.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string a = FileContents(all.path), h = FileContents(hidden.path);
    EXPECT_GT(countOf(a, "class=\"heater\"") + countOf(a, "class=\"cooler\""), 0) << network;
    EXPECT_EQ(0, countOf(h, "class=\"heater\"") + countOf(h, "class=\"cooler\"")) << network;
    EXPECT_EQ(countOf(a, "class=\"exchanger\""), countOf(h, "class=\"exchanger\"")) << network;
    EXPECT_EQ(countOf(a, "class=\"stream-start\""), countOf(h, "class=\"stream-start\"")) << network;
    EXPECT_TRUE(renders(hidden.path, "hidden"));
}

INSTANTIATE_TEST_SUITE_P(ThreeNetworks, HostGridHideUtilities,
                         ::testing::Values(std::make_pair("four-streams.csv", "four-streams-network.csv"),
                                           std::make_pair("four-streams.csv", "four-streams-split-network.csv"),
                                           std::make_pair("retrofit-streams.csv", "retrofit-network.csv"),
                                           std::make_pair("operated-streams.csv", "operated-network.csv")));

// The automatic design of the 4SP1 problem splits H2 three ways: E-107 (0.36), E-108 (0.37) and
// the cooler E-109 (0.28). With the heaters and coolers left out the cooler's branch is drawn
// empty, still with its share of the flow by the splitter, as the full picture shows it.
TEST(HostGridHiddenUtilities, ABranchWhoseUnitsAreLeftOutKeepsItsSplitFraction) {
    ScratchFile streams("gridchoices", "4sp1.csv",
                        "name,supply,target,cp,h,kind\nH1,175,45,10,0.2,process\nH2,125,65,40,0.2,process\n"
                        "C1,20,155,20,0.2,process\nC2,40,112,15,0.2,process\nHP Steam,,,,,utility\nCooling Water,,,,,utility\n");
    ScratchFile saved("gridchoices", "4sp1.kestrin", "", false);
    ASSERT_EQ(0, RunHost("autodesign " + streams.path + " --save " + saved.path).exitCode);
    std::multiset<std::string> fractions[2];
    for (int hidden = 0; hidden < 2; ++hidden) {
        ScratchFile svg("gridchoices", hidden ? "4sp1-hidden.svg" : "4sp1-all.svg", "", false);
        const HostRun run = RunHost("grid " + saved.path + (hidden ? " --hide-utilities" : "") + " --svg " + svg.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
        const SvgPicture picture = ReadSvg(FileContents(svg.path));
        ASSERT_TRUE(picture.parsed);
        EXPECT_EQ(hidden ? 0 : 1, countOf(FileContents(svg.path), "data-name=\"E-109\""));
        for (const SvgElement& e : picture.elements)
            if (e.name == "text" && !e.groupClasses.empty() && e.groupClasses.back() == "stream-segment" &&
                e.group.count("data-stream") && e.group.at("data-stream") == "H2")
                fractions[hidden].insert(e.text);
        EXPECT_TRUE(renders(svg.path, hidden ? "4sp1-hidden" : "4sp1-all"));
    }
    EXPECT_EQ((std::multiset<std::string>{"0.28", "0.36", "0.37"}), fractions[0]);
    EXPECT_EQ(fractions[0], fractions[1]);
}

// Five hot streams (200 -> 100 C, CP 1) each give 30 kW to each of two cold streams (20 -> 120 C,
// CP 5) and the rest to cooling water: units in neighbouring columns along every line. Where two
// units write the same temperature on either side of a short segment it is written once, so no
// temperature is drawn over another ("170.0 C140.0 C").
TEST(HostGridLabels, NoTemperatureIsDrawnOverAnother) {
    const auto [streams, network] = TenExchangerNetwork();
    ScratchFile s("gridchoices", "ten.csv", streams), n("gridchoices", "ten-net.csv", network);
    ScratchFile svg("gridchoices", "ten.svg", "", false);
    const HostRun run = RunHost("grid " + s.path + " " + n.path + " --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const SvgPicture picture = ReadSvg(FileContents(svg.path));
    ASSERT_TRUE(picture.parsed);
    struct Box {
        std::string text;
        double left, right, top, bottom;
    };
    // A temperature's box at 0.6 of its font size a character, from its top down its size.
    std::vector<Box> temperatures;
    for (const SvgElement& e : picture.elements) {
        if (e.name != "text" || e.text.size() < 3 || e.text.substr(e.text.size() - 2) != " C") continue;
        const double size = e.Number("font-size"), width = 0.6 * size * static_cast<double>(e.text.size());
        const std::string anchor = e.Attribute("text-anchor");
        const double x = e.Number("x"), left = anchor == "middle" ? x - width / 2.0 : anchor == "end" ? x - width : x;
        temperatures.push_back({e.text, left, left + width, e.Number("y"), e.Number("y") + size});
    }
    ASSERT_GT(temperatures.size(), 20u);
    for (std::size_t i = 0; i < temperatures.size(); ++i)
        for (std::size_t j = i + 1; j < temperatures.size(); ++j) {
            const Box &a = temperatures[i], &b = temperatures[j];
            EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
                << a.text << " at " << a.left << " and " << b.text << " at " << b.left;
        }
    EXPECT_TRUE(renders(svg.path, "ten"));
}

// The textbook network in a small window: its columns stand closer than two labels are wide until
// the picture grows to part its texts. A unit next to a stream's start or end leaves the
// temperature the terminal writes to it unless a clear gap parts the two: E1 never writes H1's
// 170.0 C nor C2's 140.0 C beside the terminal's own, on the left of its circles in 300 x 200
// pixels and, with the lines reversed, on the right of them in 220 x 150. No text of a terminal is
// drawn over the same text of a unit.
struct SmallWindow {
    int reversed;
    const char* size;
};

class HostGridSmallWindow : public ::testing::TestWithParam<SmallWindow> {};

TEST_P(HostGridSmallWindow, AUnitBesideAStreamsTerminalLeavesItsTemperatureToIt) {
    const SmallWindow& w = GetParam();
    SavedNetwork net;
    ASSERT_TRUE(net.built);
    ScratchFile svg("gridchoices", "small.svg", "", false);
    ScratchFile script("gridchoices", "small.txt",
                       "set Switch.200 " + std::to_string(w.reversed) + "\nresize " + w.size + "\nsvg . " + svg.path + "\n");
    const HostRun run = RunHost("view " + net.saved.path + " --open grid --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const SvgPicture picture = ReadSvg(FileContents(svg.path));
    ASSERT_TRUE(picture.parsed);
    struct Label {
        SvgTextBox box;
        std::string item;
    };
    std::vector<Label> terminals, units;
    for (const SvgElement& e : picture.elements) {
        if (e.name != "text" || e.groupClasses.empty() || !e.group.count("data-name")) continue;
        const std::string kind = e.groupClasses.back();
        const Label b{TextBoxOf(e), e.group.at("data-name")};
        if (kind == "stream-start" || kind == "stream-end") terminals.push_back(b);
        if (kind == "exchanger" || kind == "heater" || kind == "cooler") units.push_back(b);
    }
    ASSERT_GE(terminals.size(), 8u);
    for (const Label& t : terminals)
        for (const Label& u : units)
            EXPECT_FALSE(t.box.text == u.box.text && t.box.Overlaps(u.box)) << t.item << " and " << u.item << " both write " << t.box.text;
    // The picture grows until its texts stand apart: E1 writes the temperature beside the
    // terminal's only where a clear gap (4 pixels) parts the two, so that they never read as one.
    const double pixel = ReadViewBox(FileContents(svg.path)).width / SvgRootNumber(FileContents(svg.path), "width");
    for (const Label& t : terminals)
        for (const Label& u : units)
            if (u.item == "E1" && t.box.text == u.box.text) {
                EXPECT_TRUE(u.box.right + 4.0 * pixel <= t.box.left || t.box.right + 4.0 * pixel <= u.box.left ||
                            u.box.bottom <= t.box.top || t.box.bottom <= u.box.top)
                    << t.item << " and E1 write " << t.box.text << " side by side";
            }
    const std::multiset<std::string> e1 = textsOf(picture, "E1");
    EXPECT_EQ(1u, e1.count("80.0 C"));
    EXPECT_EQ(1u, textsOf(picture, "H1Start").count("170.0 C"));
    EXPECT_EQ(1u, textsOf(picture, "C2End").count("140.0 C"));
    EXPECT_TRUE(renders(svg.path, "small"));
}

INSTANTIATE_TEST_SUITE_P(BothDirections, HostGridSmallWindow,
                         ::testing::Values(SmallWindow{0, "300 200"}, SmallWindow{1, "220 150"}));

// The same network a hundred times larger: duties of 3000 kW in neighbouring columns, 35000 kW
// for the steam heaters, each wider than a column. Every duty stays centred under its unit, a
// line lower where it would run into its neighbour's, none over another and none outside the
// picture.
TEST(HostGridLabels, NoDutyIsDrawnOverAnother) {
    const auto [streams, network] = TenExchangerNetwork(100);
    ScratchFile s("gridchoices", "big.csv", streams), n("gridchoices", "big-net.csv", network);
    ScratchFile svg("gridchoices", "big.svg", "", false);
    const HostRun run = RunHost("grid " + s.path + " " + n.path + " --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string text = FileContents(svg.path);
    const SvgPicture picture = ReadSvg(text);
    ASSERT_TRUE(picture.parsed);
    struct Box {
        std::string text, unit;
        double x, left, right, top, bottom;
    };
    // A duty's box at 0.6 of its font size a character, from 0.8 of the size above its baseline
    // to 0.2 below.
    std::vector<Box> duties;
    std::map<std::string, double> lowestEnd;  // unit -> the y of its lowest circle's centre
    for (const SvgElement& e : picture.elements) {
        if (!e.group.count("data-name")) continue;
        const std::string unit = e.group.at("data-name");
        if (e.name == "circle") lowestEnd[unit] = std::max(lowestEnd[unit], e.Number("cy"));
        if (e.name != "text" || e.text.size() < 4 || e.text.substr(e.text.size() - 3) != " kW") continue;
        const double size = e.Number("font-size"), width = 0.6 * size * static_cast<double>(e.text.size());
        ASSERT_EQ("middle", e.Attribute("text-anchor")) << e.text;
        const double x = e.Number("x");
        const double base = e.Number("y");
        duties.push_back({e.text, unit, x, x - width / 2.0, x + width / 2.0, base - 0.8 * size, base + 0.2 * size});
    }
    ASSERT_EQ(17u, duties.size()) << text;  // ten exchangers, five coolers, two heaters
    const SvgViewBox box = ReadViewBox(text);
    for (const Box& d : duties) {
        EXPECT_GT(d.top, lowestEnd[d.unit]) << d.unit;
        EXPECT_TRUE(d.top >= box.top && d.bottom <= box.Bottom()) << d.unit << " " << d.text;
    }
    for (std::size_t i = 0; i < duties.size(); ++i)
        for (std::size_t j = i + 1; j < duties.size(); ++j) {
            const Box &a = duties[i], &b = duties[j];
            EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
                << a.unit << " " << a.text << " and " << b.unit << " " << b.text;
        }
    // Some went a line lower than the rest stand under their units.
    double nearest = 1e300;
    for (const Box& d : duties) nearest = std::min(nearest, d.top - lowestEnd[d.unit]);
    int lowered = 0;
    for (const Box& d : duties) lowered += d.top - lowestEnd[d.unit] > nearest + 1.0;
    EXPECT_GT(lowered, 0);
    EXPECT_LT(lowered, 17);
    EXPECT_TRUE(renders(svg.path, "big"));
}

// Smith's four streams (C1 20 -> 180 C, CP 20; H1 250 -> 40, CP 15; C2 140 -> 230, CP 30;
// H2 200 -> 80, CP 25; DTmin 10: pinch 150 / 140 C). Its automatic design has two units that
// stand upright on the pinch (E-113 crosses it on both its lines, the cooler E-112 on H2): each
// has a column of its own, so no unit's tie-line runs through another's circle.
TEST(HostGridPinchLayout, UnitsOnThePinchStandSideBySide) {
    ScratchFile streams("gridchoices", "smith.csv",
                        "name,supply,target,cp,h,kind\nC1,20,180,20,0.2,process\nH1,250,40,15,0.2,process\n"
                        "C2,140,230,30,0.2,process\nH2,200,80,25,0.2,process\nHP Steam,,,,,utility\n"
                        "Cooling Water,,,,,utility\n");
    ScratchFile saved("gridchoices", "smith.kestrin", "", false), svg("gridchoices", "smith.svg", "", false);
    ASSERT_EQ(0, RunHost("autodesign " + streams.path + " --time-limit 60 --save " + saved.path).exitCode);
    const HostRun run = RunHost("grid " + saved.path + " --design A_Design0 --pinch --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const SvgPicture picture = ReadSvg(FileContents(svg.path));
    ASSERT_TRUE(picture.parsed);
    EXPECT_EQ(1, countOf(FileContents(svg.path), "class=\"pinch\""));
    struct Circle {
        std::string unit;
        double x, y, r;
    };
    std::vector<Circle> circles;  // the outermost circle of each end
    std::vector<std::pair<std::string, std::vector<double>>> ties;  // a tie-line: unit, x, y1, y2
    for (const SvgElement& e : picture.elements) {
        if (e.groupClasses.empty() || !e.group.count("data-name")) continue;
        const std::string& c = e.groupClasses.back();
        if (c != "exchanger" && c != "heater" && c != "cooler") continue;
        const std::string unit = e.group.at("data-name");
        if (e.name == "line")
            ties.push_back({unit, {e.Number("x1"), std::min(e.Number("y1"), e.Number("y2")), std::max(e.Number("y1"), e.Number("y2"))}});
        if (e.name == "circle") {
            bool inner = false;
            for (const Circle& k : circles)
                if (k.unit == unit && std::abs(k.x - e.Number("cx")) < k.r && std::abs(k.y - e.Number("cy")) < k.r) inner = true;
            if (!inner) circles.push_back({unit, e.Number("cx"), e.Number("cy"), e.Number("r")});
        }
    }
    ASSERT_GE(ties.size(), 5u);
    for (const auto& [unit, t] : ties)
        for (const Circle& k : circles) {
            if (k.unit == unit) continue;
            EXPECT_FALSE(std::abs(k.x - t[0]) < k.r && k.y > t[1] && k.y < t[2])
                << "the tie-line of " << unit << " runs through " << k.unit;
        }
    for (std::size_t i = 0; i < circles.size(); ++i)
        for (std::size_t j = i + 1; j < circles.size(); ++j)
            EXPECT_FALSE(std::hypot(circles[i].x - circles[j].x, circles[i].y - circles[j].y) < circles[i].r + circles[j].r)
                << circles[i].unit << " and " << circles[j].unit << " overlap";
    EXPECT_TRUE(renders(svg.path, "smith"));
}

// A problem that needs only cold utility has no process pinch: --pinch says so and exits 1; the
// picture, drawn in sequence, is still written.
TEST(HostGridPinchLayout, WithoutAProcessPinchThePinchLayoutIsRefusedAloud) {
    ScratchFile streams("gridchoices", "threshold.csv",
                        "name,supply,target,cp,h,kind\nH1,200,100,1,0.2,process\nC1,20,60,1,0.2,process\n"
                        "HP Steam,,,,,utility\nCooling Water,,,,,utility\n");
    ScratchFile network("gridchoices", "threshold-net.csv",
                        "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C1,40,1,1\nCooler,H1,Cooling Water,60,2,\n");
    ScratchFile svg("gridchoices", "threshold.svg", "", false);
    const HostRun run = RunHost("grid " + streams.path + " " + network.path + " --pinch --svg " + svg.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("grid --pinch: The scenario has no process pinch to show.")) << run.out;
    EXPECT_EQ(0, countOf(FileContents(svg.path), "class=\"pinch\""));
    EXPECT_TRUE(renders(svg.path, "threshold"));
    // Without --pinch the same picture is what was asked for.
    EXPECT_EQ(0, RunHost("grid " + streams.path + " " + network.path + " --svg " + svg.path).exitCode);
}

}  // namespace
