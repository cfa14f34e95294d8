// kestrin-host grid: the grid diagram of the textbook network from its tables and from a saved
// case, read back from the SVG as a script would: units by their groups, lines by their
// segments; xmllint and rsvg-convert accept it; bad input fails and writes no file.
#include "HostProcess.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::string example(const char* name) { return ExamplePath(name); }

struct Scratch : ScratchFile {
    explicit Scratch(const std::string& stem) : ScratchFile("grid", stem, "", false) {}
};

std::string readFile(const std::string& path) { return FileContents(path); }
bool exists(const std::string& path) { return FileExists(path); }
int shell(const std::string& command) { return ShellStatus(command); }

struct Shape {
    std::string name;
    std::map<std::string, double> at;
};
struct Group {
    std::string cls, name, stream;
    std::vector<Shape> shapes;
};

std::string attr(xmlNode* n, const char* a) {
    xmlChar* v = xmlGetProp(n, reinterpret_cast<const xmlChar*>(a));
    std::string out = v ? reinterpret_cast<const char*>(v) : "";
    xmlFree(v);
    return out;
}

std::vector<Group> readGroups(const std::string& svg) {
    std::vector<Group> out;
    xmlDocPtr doc = xmlReadMemory(svg.data(), static_cast<int>(svg.size()), "grid.svg", nullptr, XML_PARSE_NONET);
    if (!doc) return out;
    for (xmlNode* g = xmlDocGetRootElement(doc)->children; g; g = g->next) {
        if (g->type != XML_ELEMENT_NODE || std::string(reinterpret_cast<const char*>(g->name)) != "g") continue;
        Group group{attr(g, "class"), attr(g, "data-name"), attr(g, "data-stream"), {}};
        for (xmlNode* c = g->children; c; c = c->next) {
            if (c->type != XML_ELEMENT_NODE) continue;
            Shape s{reinterpret_cast<const char*>(c->name), {}};
            for (const char* a : {"x", "x1", "y1", "x2", "y2", "cx", "cy", "r"})
                if (!attr(c, a).empty()) s.at[a] = std::stod(attr(c, a));
            group.shapes.push_back(s);
        }
        out.push_back(group);
    }
    xmlFreeDoc(doc);
    return out;
}

// The y of each stream's line, from its segments.
std::map<std::string, double> lineYs(const std::vector<Group>& groups) {
    std::map<std::string, double> y;
    for (const Group& g : groups)
        if (g.cls == "stream-segment" && !y.count(g.stream)) y[g.stream] = g.shapes.at(0).at.at("y1");
    return y;
}

// The centres of an exchanger's largest circles: its ends.
std::vector<std::pair<double, double>> ends(const Group& g) {
    double largest = 0.0;
    for (const Shape& s : g.shapes)
        if (s.name == "circle") largest = std::max(largest, s.at.at("r"));
    std::vector<std::pair<double, double>> out;
    for (const Shape& s : g.shapes)
        if (s.name == "circle" && s.at.at("r") == largest) out.push_back({s.at.at("cx"), s.at.at("cy")});
    return out;
}

const Group* unit(const std::vector<Group>& groups, const std::string& name) {
    for (const Group& g : groups)
        if (g.name == name && (g.cls == "exchanger" || g.cls == "heater" || g.cls == "cooler")) return &g;
    return nullptr;
}

// x of a unit's end on a stream's line.
double xOn(const std::vector<Group>& groups, const std::string& name, double lineY) {
    const Group* g = unit(groups, name);
    if (!g) return -1.0;
    for (auto [x, y] : ends(*g))
        if (y == lineY) return x;
    return -1.0;
}

class HostGrid : public ::testing::TestWithParam<const char*> {};

TEST_P(HostGrid, TheTextbookNetworkReadsBackFromItsPicture) {
    const bool split = std::string(GetParam()) == "four-streams-split-network.csv";
    Scratch svg("net.svg"), png("net.png"), saved("net.kestrin"), svg2("case.svg");
    const HostRun design = RunHost("design " + example("four-streams.csv") + " " + example(GetParam()) + " --save " +
                                   saved.path + " --json");
    ASSERT_EQ(0, design.exitCode) << design.out;
    const HostRun run = RunHost("grid " + example("four-streams.csv") + " " + example(GetParam()) + " --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const HostRun fromCase = RunHost("grid " + saved.path + " --svg " + svg2.path + " --json");
    ASSERT_EQ(0, fromCase.exitCode) << fromCase.out;
    EXPECT_NE(std::string::npos, fromCase.out.find("\"lines\":[{\"stream\":\"H1\""));
    Scratch named("named.svg");
    EXPECT_EQ(0, RunHost("grid " + saved.path + " --design Network --svg " + named.path).exitCode);
    EXPECT_EQ(readFile(svg2.path), readFile(named.path));
    Scratch missing("missing.svg");
    const HostRun noSuch = RunHost("grid " + saved.path + " --design Elsewhere --svg " + missing.path);
    EXPECT_EQ(1, noSuch.exitCode);
    EXPECT_NE(std::string::npos, noSuch.out.find("no design named"));
    EXPECT_FALSE(exists(missing.path));
    const std::string picture = readFile(svg.path);
    EXPECT_EQ(picture, readFile(svg2.path));  // the saved design draws the same
    EXPECT_EQ(0, shell("xmllint --noout " + svg.path));
    EXPECT_EQ(0, shell("rsvg-convert -o " + png.path + " " + svg.path));

    const std::vector<Group> groups = readGroups(picture);
    std::map<std::string, double> y = lineYs(groups);
    ASSERT_EQ(4u, y.size());  // one line per process stream, utilities hidden under preset 1
    EXPECT_LT(std::max(y["H1"], y["H2"]), std::min(y["C1"], y["C2"]));
    // Hot lines run left to right, cold ones right to left.
    std::map<std::string, double> lineLeft, lineRight;
    for (const Group& g : groups)
        if (g.cls == "stream-segment") {
            const double a = std::min(g.shapes.at(0).at.at("x1"), g.shapes.at(0).at.at("x2"));
            const double b = std::max(g.shapes.at(0).at.at("x1"), g.shapes.at(0).at.at("x2"));
            lineLeft[g.stream] = lineLeft.count(g.stream) ? std::min(lineLeft[g.stream], a) : a;
            lineRight[g.stream] = std::max(lineRight[g.stream], b);
        }
    for (const Group& g : groups) {
        if (g.cls != "stream-start") continue;
        const double x = g.shapes.at(0).at.at("x");
        const bool cold = g.stream[0] == 'C';
        if (cold) EXPECT_GE(x, lineRight[g.stream] - 1.0) << g.stream;  // starts at the right
        else EXPECT_LE(x + 25.0, lineLeft[g.stream] + 1.0) << g.stream;  // starts at the left
    }
    int exchangers = 0, heaters = 0, coolers = 0;
    std::map<double, int> columns;
    for (const Group& g : groups) {
        exchangers += g.cls == "exchanger";
        heaters += g.cls == "heater";
        coolers += g.cls == "cooler";
        if (g.cls == "exchanger" || g.cls == "heater" || g.cls == "cooler") ++columns[ends(g).at(0).first];
    }
    EXPECT_EQ(4, exchangers);
    EXPECT_EQ(1, heaters);
    EXPECT_EQ(1, coolers);
    for (const auto& [x, k] : columns) EXPECT_EQ(1, k) << "two units drawn at x " << x;
    // Each exchanger's ends lie on the lines of its streams.
    const std::map<std::string, std::pair<std::string, std::string>> rows = {
        {"E1", {"H1", "C2"}}, {"E2", {"H2", "C1"}}, {"E3", {"H1", "C1"}}, {"E4", {"H2", "C1"}}};
    for (const auto& [name, streams] : rows) {
        const Group* g = unit(groups, name);
        ASSERT_TRUE(g) << name;
        const auto e = ends(*g);
        ASSERT_EQ(2u, e.size()) << name;
        EXPECT_EQ(y[streams.first], e[0].second) << name;
        if (!split || name == "E1" || name == "E2") EXPECT_EQ(y[streams.second], e[1].second) << name;
        else EXPECT_NE(y[streams.second], e[1].second) << name;  // on a branch of C1, off its main line
    }
    // Units in stream order: H1 meets E1 then E3, H2 E2, E4 and its cooler, left to right; C1
    // meets (right to left) its first unit and last the heater at its hot end.
    EXPECT_LT(xOn(groups, "E1", y["H1"]), xOn(groups, "E3", y["H1"]));
    EXPECT_LT(xOn(groups, "E2", y["H2"]), xOn(groups, "E4", y["H2"]));
    EXPECT_LT(xOn(groups, "E4", y["H2"]), xOn(groups, "Cooler", y["H2"]));
    EXPECT_LT(xOn(groups, "Heater", y["C1"]), xOn(groups, "E2", y["C1"]));
    int splitStarts = 0, splitEnds = 0;
    for (const Group& g : groups) {
        splitStarts += g.cls == "split-start" && g.stream == "C1";
        splitEnds += g.cls == "split-end" && g.stream == "C1";
    }
    EXPECT_EQ(split ? 1 : 0, splitStarts);
    EXPECT_EQ(split ? 1 : 0, splitEnds);
    if (split) {
        // Parallel branches: E3 and E4 sit on different lines of C1.
        const auto e3 = ends(*unit(groups, "E3")), e4 = ends(*unit(groups, "E4"));
        EXPECT_NE(e3[1].second, e4[1].second);
        // Each on a line of C1's own segments, the two branches evenly about the main line.
        std::map<double, int> c1Lines;
        for (const Group& g : groups)
            if (g.cls == "stream-segment" && g.stream == "C1") ++c1Lines[g.shapes.at(0).at.at("y1")];
        EXPECT_TRUE(c1Lines.count(e3[1].second));
        EXPECT_TRUE(c1Lines.count(e4[1].second));
        EXPECT_NEAR(y["C1"], (e3[1].second + e4[1].second) / 2.0, 1e-6);
    } else {
        EXPECT_LT(xOn(groups, "E2", y["C1"]), xOn(groups, "E3", y["C1"]));
        EXPECT_LT(xOn(groups, "E3", y["C1"]), xOn(groups, "E4", y["C1"]));
    }
}

INSTANTIATE_TEST_SUITE_P(Networks, HostGrid,
                         ::testing::Values("four-streams-network.csv", "four-streams-split-network.csv"));

// The pinch layout of the textbook design (pinch 90/80 C): the units above the pinch on its left,
// those below on its right, the pinch a column of its own, and C2, supplied at the cold pinch
// temperature, starting right beside the pinch line. Hot lines run the other way when reversed.
TEST(HostGridPinch, UnitsLieOnTheirSideOfThePinchColumn) {
    for (const bool reverse : {false, true}) {
        Scratch svg(reverse ? "reversed.svg" : "pinch.svg");
        const HostRun run = RunHost("grid " + example("four-streams.csv") + " " + example("four-streams-network.csv") +
                                    " --pinch --json --svg " + svg.path + (reverse ? " --reverse" : ""));
        ASSERT_EQ(0, run.exitCode) << run.out;
        EXPECT_NE(std::string::npos, run.out.find("\"pinches\":[{\"hot\":90,\"cold\":80,")) << run.out;
        const std::vector<Group> groups = readGroups(readFile(svg.path));
        const Group* pinch = nullptr;
        for (const Group& g : groups)
            if (g.cls == "pinch") pinch = &g;
        ASSERT_TRUE(pinch);
        ASSERT_GE(pinch->shapes.size(), 2u);
        // Two vertical lines a unit either side of the pinch's x.
        const double x = (pinch->shapes[0].at.at("x1") + pinch->shapes[1].at.at("x1")) / 2.0;
        EXPECT_DOUBLE_EQ(pinch->shapes[0].at.at("x1"), pinch->shapes[0].at.at("x2"));
        EXPECT_DOUBLE_EQ(2.0, pinch->shapes[1].at.at("x1") - pinch->shapes[0].at.at("x1"));
        for (const char* above : {"E1", "E2", "Heater"})
            for (auto [ex, ey] : ends(*unit(groups, above))) EXPECT_EQ(!reverse, ex < x) << above;
        for (const char* below : {"E3", "E4", "Cooler"})
            for (auto [ex, ey] : ends(*unit(groups, below))) EXPECT_EQ(!reverse, ex > x) << below;
        for (const Group& g : groups)
            if (g.cls == "stream-start" && g.stream == "C2") {
                const double left = g.shapes.at(0).at.at("x");
                // Its square stands against the pinch line on the side C2 runs from.
                if (!reverse) EXPECT_NEAR(x, left, 1.01);
                else EXPECT_NEAR(x, left + 25.0, 1.01);
                EXPECT_LT(std::abs(left - x), 100.0);
            }
    }
    // Without --pinch the same design lays out in sequence and lists no pinch.
    Scratch plain("plain.svg");
    const HostRun run = RunHost("grid " + example("four-streams.csv") + " " + example("four-streams-network.csv") +
                                " --json --svg " + plain.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"pinches\":[]"));
    for (const Group& g : readGroups(readFile(plain.path))) EXPECT_NE("pinch", g.cls);
}

// The view job's grid diagram of a saved design, driven by a script (its pinch switch, its
// configuration choice; heaters and coolers left out, as a design viewer's diagram starts), draws
// exactly the picture the grid job draws with the same settings: a point read from one addresses
// the same item in the other.
TEST(HostGridView, AScriptDrivesTheSameDiagramTheGridJobDraws) {
    Scratch saved("script.kestrin"), fromGrid("grid.svg"), fromView("view.svg");
    ASSERT_EQ(0, RunHost("design " + example("four-streams.csv") + " " + example("four-streams-network.csv") +
                         " --save " + saved.path)
                     .exitCode);
    ASSERT_EQ(0, RunHost("grid " + saved.path + " --preset 2 --pinch --hide-utilities --svg " + fromGrid.path).exitCode);
    const std::string script = "open HIDesignViewerDesignObject.200.0\n"
                               "open HENDiagramObject.200(Network HENDiagram)\n"
                               "get Switch.202\n"
                               "choices Enum.206\n"
                               "set Enum.206 1\n"
                               "cmd ShowPinch\n"
                               "text ExtraData.202\n"
                               "get Switch.202\n"
                               "open MyOwnerObject\n"
                               "svg HENDiagramObject.200(Network HENDiagram) " +
                               fromView.path + "\n";
    ScratchFile file("grid", "drive.txt", script);
    const HostRun run = RunHost("view " + saved.path + " --script " + file.path + " --open scenario");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("3: get Switch.202\n  value 0\n")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("text Preset 2: (Heat Load, No Util.)")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("8: get Switch.202\n  value 1\n")) << run.out;
    ASSERT_TRUE(exists(fromView.path));
    EXPECT_EQ(readFile(fromGrid.path), readFile(fromView.path));
}

TEST(HostGridInput, BadInputFailsWithAMessageAndWritesNoFile) {
    Scratch svg("bad.svg");
    const std::string tables = example("four-streams.csv") + " " + example("four-streams-network.csv");
    // A command line grid cannot take is a usage error (exit 2); one naming its files wrongly fails
    // the job (exit 1).
    const std::vector<std::pair<std::string, int>> bad = {
        {"grid " + tables, 2},                                            // no --svg
        {"grid " + tables + " --svg " + svg.path + " --preset 7", 2},     // no such preset
        {"grid " + tables + " --svg " + svg.path + " --preset 1.5", 2},
        {"grid " + tables + " --svg " + svg.path + " --design X", 1},     // tables make one design
        {"grid " + tables + " --svg " + svg.path + " --frobnicate", 2},
        {"grid " + example("four-streams.csv") + " --svg " + svg.path, 2},  // a table without its network
        {"grid /nonexistent/streams.csv /nonexistent/net.csv --svg " + svg.path, 1},
    };
    for (const auto& [command, code] : bad) {
        const HostRun run = RunHost(command);
        EXPECT_EQ(code, run.exitCode) << command;
        EXPECT_NE(std::string::npos, run.out.find("kestrin-host: ")) << command;
        EXPECT_FALSE(exists(svg.path)) << command;
    }
}

}  // namespace
