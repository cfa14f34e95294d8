// kestrin-host grid --pinch on the 4SP1 problem (H1 175 -> 45 C, CP 10; H2 125 -> 65, CP 40;
// C1 20 -> 155, CP 20; C2 40 -> 112, CP 15; DTmin 10: pinch 125 / 115 C, 300 kW of steam,
// 220 kW of cooling water). Its minimum-energy design, worked by hand: above the pinch E1 takes
// H1 175 -> 125 into C1 115 -> 140 (500 kW) and the heater takes C1 on to 155; below it H2,
// which enters at the pinch, splits between E3 (1320 kW into C1 49 -> 115) and E4 (1080 kW,
// the whole of C2), E2 takes H1 125 -> 67 into C1 20 -> 49 and the cooler takes H1 on to 45.
// Every unit and split is drawn on its own side of the pinch column, every stream starts where
// its supply temperature lies.
#include "HostProcess.h"
#include "../support/SvgReadBack.h"
#include "../support/SvgReportGrade.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// The four streams' E1 alone: H1 170 -> 93.3 C into C1 20 -> 135 C, 230 kW, every other load left
// to the heaters and coolers.
constexpr const char* kE1Alone = "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C1,230,1,1\n";

const char* kStreams =
    "name,supply,target,cp,h,kind\n"
    "H1,175,45,10,0.2,process\nH2,125,65,40,0.2,process\nC1,20,155,20,0.2,process\nC2,40,112,15,0.2,process\n"
    "HP Steam,,,,,utility\nCooling Water,,,,,utility\n";
const char* kNetwork =
    "name,hot,cold,duty,hot_order,cold_order\n"
    "E1,H1,C1,500,1,3\nE2,H1,C1,580,2,1\nE3,H2,C1,1320,1,2\nE4,H2,C2,1080,1,1\n"
    "Heater,HP Steam,C1,300,,4\nCooler,H1,Cooling Water,220,3,\n";

// The x of the first end of the item of that name in the grid's JSON; NAN when absent.
double itemX(const std::string& json, const std::string& name) {
    const std::size_t at = json.find("\"name\":\"" + name + "\"");
    if (at == std::string::npos) return NAN;
    const std::size_t x = json.find("\"x\":", at);
    return x == std::string::npos ? NAN : std::strtod(json.c_str() + x + 4, nullptr);
}

// The x of the first pinch line in the grid's JSON; NAN when it lists none.
double firstPinchX(const std::string& json) {
    const std::size_t pinches = json.find("\"pinches\":[{");
    if (pinches == std::string::npos) return NAN;
    const std::size_t x = json.find("\"x\":", pinches);
    return x == std::string::npos ? NAN : std::strtod(json.c_str() + x + 4, nullptr);
}

struct Placed {
    const char* name;
    int side;  // -1 left of the pinch column (above the pinch), +1 right of it, 0 on it
};

TEST(HostGridPinch, EveryUnitOfTheMinimumEnergyDesignSitsOnItsSideOfThePinch) {
    ScratchFile streams("grid-pinch", "4sp1.csv", kStreams), network("grid-pinch", "4sp1-net.csv", kNetwork);
    ScratchFile svg("grid-pinch", "4sp1.svg", "", false);
    const HostRun run = RunHost("grid " + streams.path + " " + network.path + " --pinch --json --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::size_t pinches = run.out.find("\"pinches\":[{");
    ASSERT_NE(std::string::npos, pinches) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"hot\":125", pinches));
    const double pinchX = std::strtod(run.out.c_str() + run.out.find("\"x\":", pinches) + 4, nullptr);
    const Placed placed[] = {{"E1", -1},      {"Heater", -1},  {"H1Start", -1}, {"E2", 1},       {"E3", 1},
                             {"E4", 1},       {"Cooler", 1},   {"TEE-100", 1},  {"MIX-100", 1},  {"H1End", 1},
                             {"H2End", 1},    {"C1Start", 1},  {"C1End", -1},   {"C2Start", 1},  {"C2End", 1}};
    for (const Placed& p : placed) {
        const double x = itemX(run.out, p.name);
        ASSERT_FALSE(std::isnan(x)) << p.name << "\n" << run.out;
        if (p.side < 0) EXPECT_LT(x, pinchX) << p.name;
        else EXPECT_GT(x, pinchX) << p.name;
    }
    // H2 enters at the pinch temperature: its supply square starts at the pinch column, and its
    // split lies downstream of it.
    EXPECT_NEAR(pinchX, itemX(run.out, "H2Start"), 1e-6);
    EXPECT_GT(itemX(run.out, "TEE-100"), itemX(run.out, "H2Start"));
}

// The automatic design of the same problem (its own 4 C approach and economics) crosses the
// pinch: H1 175 -> 149.5 above the hot pinch heats C2 95 -> 112 below the cold one, and H1's
// other unit runs from 149.5 across the pinch into C1 below it. Only the unit whose two sides
// lie on either side of the pinch is drawn across it (its hot end left of the column, its cold
// end right); every other unit stands upright, and no two unit ends share a place on a line.
TEST(HostGridPinch, OnTheAutomaticDesignOnlyTheCrossPinchUnitIsDrawnAcrossThePinch) {
    ScratchFile streams("grid-pinch", "4sp1-auto.csv", kStreams), saved("grid-pinch", "4sp1-auto.kestrin", "", false);
    ScratchFile svg("grid-pinch", "4sp1-auto.svg", "", false);
    const HostRun design = RunHost("autodesign " + streams.path + " --save " + saved.path);
    ASSERT_EQ(0, design.exitCode) << design.out;
    const HostRun run = RunHost("grid " + saved.path + " --design A_Design0 --pinch --json --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::size_t pinches = run.out.find("\"pinches\":[{");
    const double pinchX = firstPinchX(run.out);
    ASSERT_FALSE(std::isnan(pinchX)) << run.out;
    struct End {
        std::string stream;
        double x, y;
    };
    // Every unit's ends, read from the items of kind exchanger, heater or cooler.
    std::vector<std::pair<std::string, std::vector<End>>> units;
    for (std::size_t at = run.out.find("{\"kind\":"); at < pinches; at = run.out.find("{\"kind\":", at + 1)) {
        const std::size_t kindEnd = run.out.find('"', at + 9);
        const std::string kind = run.out.substr(at + 9, kindEnd - at - 9);
        if (kind != "exchanger" && kind != "heater" && kind != "cooler") continue;
        const std::size_t itemEnd = run.out.find("]}", at);
        std::vector<End> ends;
        for (std::size_t e = run.out.find("{\"stream\":\"", at); e < itemEnd; e = run.out.find("{\"stream\":\"", e + 1)) {
            const std::size_t q = run.out.find('"', e + 11);
            const std::size_t x = run.out.find("\"x\":", e), y = run.out.find("\"y\":", e);
            ends.push_back({run.out.substr(e + 11, q - e - 11), std::strtod(run.out.c_str() + x + 4, nullptr),
                            std::strtod(run.out.c_str() + y + 4, nullptr)});
        }
        units.push_back({kind, ends});
    }
    ASSERT_GE(units.size(), 5u) << run.out;
    int across = 0;
    std::set<std::pair<long, long>> places;
    for (const auto& [kind, ends] : units) {
        ASSERT_FALSE(ends.empty());
        for (const End& e : ends)
            EXPECT_TRUE(places.insert({std::lround(e.x), std::lround(e.y)}).second) << kind << " on " << e.stream;
        if (ends.size() != 2 || std::abs(ends[0].x - ends[1].x) < 1e-6) continue;
        ++across;
        const bool hotFirst = ends[0].stream == "H1";
        const End &hot = ends[hotFirst ? 0 : 1], &cold = ends[hotFirst ? 1 : 0];
        EXPECT_EQ("H1", hot.stream);
        EXPECT_EQ("C2", cold.stream);
        EXPECT_LT(hot.x, pinchX);
        EXPECT_GT(cold.x, pinchX);
    }
    EXPECT_EQ(1, across) << run.out;
}

bool renders(const std::string& svg, const std::string& stem) {
    ScratchFile png("grid-pinch", stem + ".png", "", false);
    return ShellStatus("rsvg-convert -o " + png.path + " " + svg) == 0 && FileContents(png.path).size() > 1000u;
}

// The automatic design of the textbook four streams (pinch 90 / 80 C) runs H1 170 -> 124.86 C
// into C1 67.29 -> 135 C in E-100: its H1 side lies above the pinch, its C1 side across it, so
// it stands on the pinch; along H1 E-103 (124.86 -> 91.53 C, wholly above) follows it. No layout
// about the pinch draws both truly: the job says so, names H1 and E-103, and exits 1, the
// picture written in sequence.
TEST(HostGridPinch, AUnitOnThePinchFollowedAlongItsLineByOneAboveItIsRefusedAloud) {
    ScratchFile saved("grid-pinch", "4s-auto.kestrin", "", false), svg("grid-pinch", "4s-auto.svg", "", false);
    ASSERT_EQ(0, RunHost("autodesign " + ExamplePath("four-streams.csv") + " --save " + saved.path).exitCode);
    const HostRun design = RunHost("design " + saved.path);
    ASSERT_NE(std::string::npos, design.out.find("E-100 (exchanger) H1 -> C1: duty 135.41, hot 170.00 -> 124.86, cold 67.29 -> 135.00"))
        << design.out;
    const HostRun run = RunHost("grid " + saved.path + " --pinch --svg " + svg.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos,
              run.out.find("grid --pinch: The units cannot be drawn about the pinch: along stream H1, unit E-103 comes after "
                           "the line has reached the pinch"))
        << run.out;
    const std::string picture = FileContents(svg.path);
    EXPECT_EQ(std::string::npos, picture.find("class=\"pinch\""));
    EXPECT_NE(std::string::npos, picture.find("data-name=\"E-100\""));
    EXPECT_TRUE(renders(svg.path, "4s-auto"));
}

// The textbook four streams with H1 cooled below the pinch (90 / 80 C) first by Ea (90 -> 80 C)
// and then by Eb (80 -> 60 C), whose C1 side (65 -> 95 C) crosses the pinch: Eb stands on the
// pinch, yet along H1 it comes after Ea, which lies wholly below it. Drawn beside the pinch, Eb
// would show its C1 side wholly below it: the job says so and exits 1.
TEST(HostGridPinch, AUnitOnThePinchMetAlongItsLineAfterThePinchIsRefusedAloud) {
    ScratchFile network("grid-pinch", "on-pinch-late.csv",
                        "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,240,1,1\nEa,H1,C1,30,2,2\nEb,H1,C1,60,3,3\n"
                        "Ec,H2,C1,60,1,1\nHeater,HP Steam,C1,80,,4\nCooler,H2,Cooling Water,120,2,\n");
    ScratchFile svg("grid-pinch", "on-pinch-late.svg", "", false);
    const std::string inputs = ExamplePath("four-streams.csv") + " " + network.path;
    const HostRun design = RunHost("design " + inputs);
    ASSERT_NE(std::string::npos, design.out.find("Eb (exchanger) H1 -> C1: duty 60.00, hot 80.00 -> 60.00, cold 65.00 -> 95.00"))
        << design.out;
    const HostRun run = RunHost("grid " + inputs + " --pinch --svg " + svg.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("along stream H1, unit Eb comes after the line has reached the pinch")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("on the pinch where its own other stream crosses it")) << run.out;
    EXPECT_EQ(std::string::npos, FileContents(svg.path).find("class=\"pinch\""));
    EXPECT_TRUE(renders(svg.path, "on-pinch-late"));
}

// The same network with the lines reversed: the layout is walked from H1's cold end, where Ea
// (wholly below the pinch) comes before Eb, yet along H1 it is still Eb that comes after the line
// has reached the pinch: the refusal names Eb, not Ea, whichever way the lines run.
TEST(HostGridPinch, TheRefusalNamesTheSameUnitWithTheLinesReversed) {
    ScratchFile network("grid-pinch", "on-pinch-late-reversed.csv",
                        "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,240,1,1\nEa,H1,C1,30,2,2\nEb,H1,C1,60,3,3\n"
                        "Ec,H2,C1,60,1,1\nHeater,HP Steam,C1,80,,4\nCooler,H2,Cooling Water,120,2,\n");
    ScratchFile svg("grid-pinch", "on-pinch-late-reversed.svg", "", false);
    const HostRun run =
        RunHost("grid " + ExamplePath("four-streams.csv") + " " + network.path + " --pinch --reverse --json --svg " + svg.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("along stream H1, unit Eb comes after the line has reached the pinch")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"pinchConflict\":{\"stream\":\"H1\",\"unit\":\"Eb\"}")) << run.out;
    EXPECT_TRUE(renders(svg.path, "on-pinch-late-reversed"));
}

// examples/four-streams-split-network.csv splits C1 below the pinch (80 C): both branches, E3
// and E4, take C1 20 -> 80 C. The splitter and the mixer are drawn on that side of the pinch
// line with their branches, the units before the split (E2, the heater) on the other.
TEST(HostGridPinch, ASplitWhollyBelowThePinchIsDrawnBelowIt) {
    ScratchFile svg("grid-pinch", "split.svg", "", false);
    const HostRun run = RunHost("grid " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-split-network.csv") +
                                " --pinch --json --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const double pinchX = firstPinchX(run.out);
    ASSERT_FALSE(std::isnan(pinchX)) << run.out;
    for (const char* below : {"TEE-100", "MIX-100", "E3", "E4"}) EXPECT_GT(itemX(run.out, below), pinchX) << below;
    for (const char* above : {"E2", "Heater"}) EXPECT_LT(itemX(run.out, above), pinchX) << above;
    EXPECT_TRUE(renders(svg.path, "split"));
}

// The four streams with E1 alone (H1 170 -> 93.3 C into C1 20 -> 135 C, 230 kW): its H1 side
// lies above the pinch (90 / 80 C) and its C1 side across it, so with the heaters and coolers left
// out it is the only unit, upright on the pinch line. C1 is the lowest process line: the duty under
// E1 is written at the picture's foot beside the pinch line; with the utility lines shown
// (preset 4) and the lines reversed, the steam's end (249.0 C) lies there instead. The pinch's
// cold temperature and cross-pinch load (220 kW: 120 kW into C1 below 80 C, the coolers' 90 kW on
// H2 and 10 kW on H1 above 90 C) are written there too, and no text is written over another.
class HostGridPinchFoot : public ::testing::TestWithParam<const char*> {};

TEST_P(HostGridPinchFoot, TheLabelsBesideThePinchLineAreClearOfThePinchsOwnTexts) {
    ScratchFile network("grid-pinch", "one-on-pinch.csv", kE1Alone);
    ScratchFile svg("grid-pinch", "one-on-pinch.svg", "", false);
    const HostRun run = RunHost("grid " + ExamplePath("four-streams.csv") + " " + network.path + " --pinch " + GetParam() +
                                " --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string text = FileContents(svg.path);
    const SvgPicture picture = ReadSvg(text);
    ASSERT_TRUE(picture.parsed);
    std::multiset<std::string> pinchTexts;
    bool dutyUnderE1 = false;
    for (const SvgElement& e : picture.elements) {
        if (e.name != "text" || !e.group.count("data-name")) continue;
        if (!e.groupClasses.empty() && e.groupClasses.back() == "pinch") pinchTexts.insert(e.text);
        dutyUnderE1 = dutyUnderE1 || (e.group.at("data-name") == "E1" && e.text == "230.0 kW");
    }
    EXPECT_EQ((std::multiset<std::string>{"90.0 C", "80.0 C", "XP = 220.0 kW", "XP = 220.0 kW"}), pinchTexts);
    ASSERT_TRUE(dutyUnderE1);
    // No text over another: the pinch's own texts over the labels beside its line least of all.
    ExpectTextsApartAndInside(picture, ReadViewBox(text), GetParam());
    EXPECT_TRUE(renders(svg.path, "one-on-pinch"));
}

// With the coolers shown as well, Cooler1 (H1 93.3 -> 60 C against cooling water) stands on the
// pinch at the top of the picture, on the cooling water's line: its name is clear of the pinch's
// hot temperature and cross-pinch load written down from the picture's head.
INSTANTIATE_TEST_SUITE_P(UnitOrTerminal, HostGridPinchFoot,
                         ::testing::Values("--hide-utilities", "--preset 4 --hide-utilities --reverse", "--preset 4 --reverse"));

// The same network with the utility lines shown and the lines reversed: the cooling water
// (20 -> 25 C) lies wholly below the cold pinch (80 C) by its own temperatures, so its end would
// stand at the pinch, yet Cooler1 stands in the pinch column on its line. The end stays at the
// line's own end, past every unit on it: no unit is drawn beyond the end of its line.
TEST(HostGridPinch, AStreamsEndIsNeverDrawnBeforeAUnitOnItsLine) {
    ScratchFile network("grid-pinch", "utility-on-pinch.csv", kE1Alone);
    ScratchFile svg("grid-pinch", "utility-on-pinch.svg", "", false);
    const HostRun run = RunHost("grid " + ExamplePath("four-streams.csv") + " " + network.path +
                                " --pinch --preset 4 --reverse --json --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const double end = itemX(run.out, "Cooling WaterEnd"), start = itemX(run.out, "Cooling WaterStart");
    ASSERT_FALSE(std::isnan(end) || std::isnan(start)) << run.out;
    for (const char* unit : {"Cooler1", "Cooler2"}) {
        const double x = itemX(run.out, unit);
        ASSERT_FALSE(std::isnan(x)) << unit;
        EXPECT_GT(x, start) << unit;
        EXPECT_LT(x, end) << unit;
    }
    // The steam's end, with no unit past the pinch on its line, still stands at the pinch.
    const double pinchX = firstPinchX(run.out);
    ASSERT_FALSE(std::isnan(pinchX)) << run.out;
    EXPECT_NEAR(pinchX, itemX(run.out, "HP SteamEnd"), 60.0);
    EXPECT_TRUE(renders(svg.path, "utility-on-pinch"));
}

// The same one-unit network with the utility lines shown: Cooler1 takes H1 93.3 -> 60 C, across
// the hot pinch (90 C), against cooling water at 20 -> 25 C, wholly below the cold pinch by the
// utility's own temperatures. Its place follows its process side in both directions: it stands on
// the pinch, on the cooling water's line as on H1's, whichever way the lines run.
class HostGridPinchUtilityLine : public ::testing::TestWithParam<const char*> {};

TEST_P(HostGridPinchUtilityLine, ACoolerAcrossThePinchOnItsProcessSideStandsOnThePinch) {
    ScratchFile network("grid-pinch", "cooler-on-pinch.csv", kE1Alone);
    ScratchFile svg("grid-pinch", "cooler-on-pinch.svg", "", false);
    const HostRun run = RunHost("grid " + ExamplePath("four-streams.csv") + " " + network.path + " --pinch --preset 4 " + GetParam() +
                                " --json --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("pinchConflict")) << run.out;
    const double pinchX = firstPinchX(run.out);
    ASSERT_FALSE(std::isnan(pinchX)) << run.out;
    EXPECT_NEAR(pinchX, itemX(run.out, "Cooler1"), 31.0) << run.out;
    EXPECT_TRUE(renders(svg.path, "cooler-on-pinch"));
}

INSTANTIATE_TEST_SUITE_P(EitherDirection, HostGridPinchUtilityLine, ::testing::Values("", "--reverse"));

// examples/four-streams-split-network.csv with the utility lines shown and the lines reversed:
// the cooling water's line is the topmost, and its first item, the cooler, stands in the first
// column with its name over it. The stream's name, written from the line's start towards the
// cooler, gives way (cut short) before it reaches the cooler's name.
TEST(HostGridPinch, AStreamsNameLeavesTheNameOfTheUnitInTheFirstColumnClear) {
    ScratchFile svg("grid-pinch", "first-column.svg", "", false);
    const HostRun run = RunHost("grid " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-split-network.csv") +
                                " --preset 4 --pinch --reverse --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const SvgPicture picture = ReadSvg(FileContents(svg.path));
    ASSERT_TRUE(picture.parsed);
    std::vector<SvgTextBox> names, units;
    for (const SvgElement& e : picture.elements) {
        if (e.name != "text" || e.groupClasses.empty()) continue;
        const std::string kind = e.groupClasses.back();
        if (kind == "stream-start") names.push_back(TextBoxOf(e));
        if (kind == "exchanger" || kind == "heater" || kind == "cooler") units.push_back(TextBoxOf(e));
    }
    ASSERT_TRUE(std::any_of(names.begin(), names.end(), [](const SvgTextBox& b) { return b.text.rfind("Cooling", 0) == 0; }));
    ASSERT_TRUE(std::any_of(units.begin(), units.end(), [](const SvgTextBox& b) { return b.text == "Cooler"; }));
    for (const SvgTextBox& n : names)
        for (const SvgTextBox& u : units) EXPECT_FALSE(n.Overlaps(u)) << n.text << " over " << u.text;
    EXPECT_TRUE(renders(svg.path, "first-column"));
}

// The automatic design of examples/retrofit-streams.csv with the heaters and coolers left out
// and the lines reversed: every unit on the far side of the pinch is a heater, so the lines
// there (C, the steam) are short stubs from the pinch to their ends. Each line's two
// temperatures stay apart, inside the picture.
TEST(HostGridPinch, TheTwoTemperaturesOfALineLeftShortDoNotOverlap) {
    ScratchFile saved("grid-pinch", "retrofit-auto.kestrin", "", false), svg("grid-pinch", "retrofit-stubs.svg", "", false);
    ASSERT_EQ(0, RunHost("autodesign " + ExamplePath("retrofit-streams.csv") + " --save " + saved.path).exitCode);
    const HostRun run = RunHost("grid " + saved.path + " --design A_Design0 --preset 5 --pinch --hide-utilities --reverse --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string text = FileContents(svg.path);
    const SvgPicture picture = ReadSvg(text);
    ASSERT_TRUE(picture.parsed);
    ASSERT_NE(std::string::npos, text.find("class=\"pinch\"")) << run.out;
    std::map<std::string, std::vector<SvgTextBox>> temperatures;  // by stream
    for (const SvgElement& e : picture.elements) {
        if (e.name != "text" || e.groupClasses.empty() || !e.group.count("data-stream")) continue;
        const std::string kind = e.groupClasses.back();
        if ((kind != "stream-start" && kind != "stream-end") || e.text.find(" C") == std::string::npos) continue;
        temperatures[e.group.at("data-stream")].push_back(TextBoxOf(e));
    }
    ASSERT_TRUE(temperatures.count("C")) << text;
    // The picture's background covers all of it.
    ASSERT_FALSE(picture.elements.empty());
    const SvgElement& page = picture.elements.front();
    ASSERT_EQ("rect", page.name);
    for (const auto& [stream, boxes] : temperatures) {
        ASSERT_EQ(2u, boxes.size()) << stream;
        const SvgTextBox &a = boxes[0], &b = boxes[1];
        EXPECT_FALSE(a.Overlaps(b)) << stream << ": " << a.text << " over " << b.text;
        for (const SvgTextBox& t : boxes)
            EXPECT_TRUE(t.left >= page.Number("x") && t.right <= page.Number("x") + page.Number("width")) << stream << ": " << t.text;
    }
    EXPECT_TRUE(renders(svg.path, "retrofit-stubs"));
}

// The plant of examples/retrofit-streams.csv served by its utilities alone (pinch 110 / 100 C,
// 100 kW across it), drawn with the heaters and coolers left out: no unit is left, the pinch
// stands at the lines' far end, and its temperatures and cross-pinch load written beside its line
// still lie inside the picture.
class HostGridPinchAtTheEdge : public ::testing::TestWithParam<const char*> {};

TEST_P(HostGridPinchAtTheEdge, ThePinchsTextsLieInsideThePicture) {
    ScratchFile network("grid-pinch", "utilities-only.csv",
                        "name,hot,cold,duty,hot_order,cold_order\nHeater,HP Steam,C,240,,1\n"
                        "Cooler1,H1,Cooling Water,200,1,\nCooler2,H2,Air,60,1,\n");
    ScratchFile svg("grid-pinch", "utilities-only.svg", "", false);
    const HostRun run = RunHost("grid " + ExamplePath("retrofit-streams.csv") + " " + network.path +
                                " --pinch --hide-utilities " + GetParam() + " --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const SvgPicture picture = ReadSvg(FileContents(svg.path));
    ASSERT_TRUE(picture.parsed);
    ASSERT_FALSE(picture.elements.empty());
    const SvgElement& page = picture.elements.front();
    ASSERT_EQ("rect", page.name);
    const double left = page.Number("x"), right = left + page.Number("width");
    const double top = page.Number("y"), bottom = top + page.Number("height");
    std::multiset<std::string> pinchTexts;
    for (const SvgElement& e : picture.elements) {
        if (e.name != "text" || e.groupClasses.empty() || e.groupClasses.back() != "pinch") continue;
        pinchTexts.insert(e.text);
        const SvgTextBox b = TextBoxOf(e);
        EXPECT_TRUE(b.left >= left && b.right <= right && b.top >= top && b.bottom <= bottom)
            << b.text << " [" << b.left << ", " << b.right << "] outside [" << left << ", " << right << "]";
    }
    EXPECT_EQ((std::multiset<std::string>{"110.0 C", "100.0 C", "XP = 100.0 kW", "XP = 100.0 kW"}), pinchTexts);
    EXPECT_TRUE(renders(svg.path, "utilities-only"));
}

INSTANTIATE_TEST_SUITE_P(PresetAndDirection, HostGridPinchAtTheEdge,
                         ::testing::Values("", "--reverse", "--preset 4", "--preset 4 --reverse"));

// The same plant with its units all left out: H1 (150 -> 50 C) and H2 (130 -> 70 C) cross the
// hot pinch (110 C), so their lines span both sides of the pinch line; C (100 -> 160 C) starts
// at the cold pinch and lies wholly above it. Above the pinch is the left with the hot ends
// first, the right with the lines reversed.
class HostGridPinchSides : public ::testing::TestWithParam<bool> {};

TEST_P(HostGridPinchSides, EachLineLiesOnTheSidesItsTemperaturesPutIt) {
    const bool reversed = GetParam();
    ScratchFile network("grid-pinch", "sides.csv",
                        "name,hot,cold,duty,hot_order,cold_order\nHeater,HP Steam,C,240,,1\n"
                        "Cooler1,H1,Cooling Water,200,1,\nCooler2,H2,Air,60,1,\n");
    ScratchFile svg("grid-pinch", "sides.svg", "", false);
    const HostRun run = RunHost("grid " + ExamplePath("retrofit-streams.csv") + " " + network.path + " --pinch --hide-utilities --json" +
                                (reversed ? " --reverse" : "") + " --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const double pinchX = firstPinchX(run.out);
    ASSERT_FALSE(std::isnan(pinchX)) << run.out;
    struct Line {
        const char* stream;
        int above;  // +1 wholly above the pinch, 0 across it
    };
    for (const Line& l : {Line{"H1", 0}, Line{"H2", 0}, Line{"C", 1}}) {
        const double start = itemX(run.out, std::string(l.stream) + "Start"), end = itemX(run.out, std::string(l.stream) + "End");
        ASSERT_FALSE(std::isnan(start) || std::isnan(end)) << l.stream;
        const double left = std::min(start, end), right = std::max(start, end);
        if (l.above == 0) {
            EXPECT_LT(left, pinchX) << l.stream;
            EXPECT_GT(right, pinchX) << l.stream;
        } else if (reversed) {
            EXPECT_GE(left, pinchX - 1e-6) << l.stream;
            EXPECT_GT(right, pinchX) << l.stream;
        } else {
            EXPECT_LE(right, pinchX + 1e-6) << l.stream;
            EXPECT_LT(left, pinchX) << l.stream;
        }
    }
    EXPECT_TRUE(renders(svg.path, reversed ? "sides-reversed" : "sides"));
}

INSTANTIATE_TEST_SUITE_P(EitherDirection, HostGridPinchSides, ::testing::Bool());

// A cooler wholly above the pinch (H1 175 -> 165 C, the pinch at 125 / 115 C) with the utility lines
// shown: the cooling water's own temperatures lie below the pinch, but its end on the cooling
// water's line stands where its process side puts it, above the pinch like its end on H1, in either
// direction of the lines.
class HostGridPinchCoolerAbove : public ::testing::TestWithParam<const char*> {};

TEST_P(HostGridPinchCoolerAbove, BothEndsOfTheCoolerStandOnItsProcessSide) {
    ScratchFile streams("grid-pinch", "4sp1-above.csv", kStreams);
    ScratchFile network("grid-pinch", "cooler-above.csv",
                        "name,hot,cold,duty,hot_order,cold_order\nCoolerA,H1,Cooling Water,100,1,\nE1,H1,C1,400,2,1\n");
    ScratchFile svg("grid-pinch", "cooler-above.svg", "", false);
    const bool reverse = std::string(GetParam()) == "--reverse";
    const HostRun run = RunHost("grid " + streams.path + " " + network.path + " --pinch --preset 4 " + GetParam() +
                                " --json --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const double pinchX = firstPinchX(run.out);
    ASSERT_FALSE(std::isnan(pinchX)) << run.out;
    const std::size_t at = run.out.find("\"name\":\"CoolerA\"");
    ASSERT_NE(std::string::npos, at) << run.out;
    const std::size_t water = run.out.find("\"stream\":\"Cooling Water\"", at), h1 = run.out.find("\"stream\":\"H1\"", at);
    const std::size_t close = run.out.find("]}", at);
    ASSERT_LT(water, close) << run.out;
    ASSERT_LT(h1, close) << run.out;
    const double waterX = std::strtod(run.out.c_str() + run.out.find("\"x\":", water) + 4, nullptr);
    const double h1X = std::strtod(run.out.c_str() + run.out.find("\"x\":", h1) + 4, nullptr);
    EXPECT_DOUBLE_EQ(h1X, waterX) << run.out;
    // Above the pinch is left of its column, or right of it with the lines reversed.
    for (double x : {h1X, waterX}) {
        if (reverse) EXPECT_GT(x, pinchX) << run.out;
        else EXPECT_LT(x, pinchX) << run.out;
    }
    EXPECT_TRUE(renders(svg.path, "cooler-above"));
}

INSTANTIATE_TEST_SUITE_P(EitherDirection, HostGridPinchCoolerAbove, ::testing::Values("", "--reverse"));

}  // namespace
