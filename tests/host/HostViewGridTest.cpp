// kestrin-host view --open grid: a script works the grid diagram of a saved case with the
// pointer at the coordinates `grid --svg` gives; deleting an exchanger from its menu and saving
// leaves a case whose report and grid lack it while the rest of the network stays.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The first end of a unit in `grid --json`: its x and y on the canvas.
bool unitEnd(const std::string& json, const std::string& kind, const std::string& name, double& x, double& y) {
    const std::size_t at = json.find("{\"kind\":\"" + kind + "\",\"name\":\"" + name + "\",\"ends\":[");
    if (at == std::string::npos) return false;
    const std::size_t px = json.find("\"x\":", at), py = json.find("\"y\":", at);
    return px != std::string::npos && py != std::string::npos && std::sscanf(json.c_str() + px + 4, "%lf", &x) == 1 &&
           std::sscanf(json.c_str() + py + 4, "%lf", &y) == 1;
}

int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// The units on a stream's line in `grid --json`, of a kind.
int unitsOn(const std::string& json, const std::string& kind, const std::string& stream) {
    int n = 0;
    const std::string head = "{\"kind\":\"" + kind + "\"";
    for (std::size_t at = json.find(head); at != std::string::npos; at = json.find(head, at + 1)) {
        const std::size_t close = json.find("]}", at);
        if (json.substr(at, close - at).find("{\"stream\":\"" + stream + "\"") != std::string::npos) ++n;
    }
    return n;
}

// The first end of the first unit of a kind on a stream's line in `grid --json`.
bool unitOnEnd(const std::string& json, const std::string& kind, const std::string& stream, double& x, double& y) {
    const std::string head = "{\"kind\":\"" + kind + "\"", end = "{\"stream\":\"" + stream + "\",\"x\":";
    for (std::size_t at = json.find(head); at != std::string::npos; at = json.find(head, at + 1)) {
        const std::size_t close = json.find("]}", at), first = json.find(end, at);
        if (first == std::string::npos || first > close) continue;
        const std::size_t py = json.find("\"y\":", first);
        return std::sscanf(json.c_str() + first + end.size(), "%lf", &x) == 1 &&
               std::sscanf(json.c_str() + py + 4, "%lf", &y) == 1;
    }
    return false;
}

struct SavedTextbookCase {
    SavedTextbookCase() {
        const HostRun design = RunHost("design " + ExamplePath("four-streams.csv") + " " +
                                       ExamplePath("four-streams-network.csv") + " --save " + saved.path);
        built = design.exitCode == 0;
        const HostRun grid = RunHost("grid " + saved.path + " --svg " + picture.path + " --json");
        json = grid.out;
        built = built && grid.exitCode == 0;
    }
    ScratchFile saved{"viewgrid", "net.kestrin", "", false};
    ScratchFile picture{"viewgrid", "net.svg", "", false};
    std::string json;
    bool built = false;
};

// A double click on an exchanger of the diagram opens that exchanger's own view: E1 moves 240 kW
// from H1 to C2, and E3 takes H1 from its hot outlet.
TEST(HostViewGrid, ADoubleClickOnAnExchangerOpensItsView) {
    SavedTextbookCase c;
    ASSERT_TRUE(c.built) << c.json;
    double x = 0.0, y = 0.0;
    ASSERT_TRUE(unitEnd(c.json, "exchanger", "E1", x, y)) << c.json;
    char point[64];
    std::snprintf(point, sizeof point, "%.6f %.6f", x, y);
    ScratchFile script("viewgrid", "open.txt",
                       std::string("double-click ") + point + "\nopen @last\nget HeatFlow.200\ntext ExtraData.202\n"
                       "text ExtraData.782\n");
    const HostRun run = RunHost("view " + c.saved.path + " --open grid --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* line : {"viewicnode \"E1\"", "View E1|hexunit", "2: open @last\n  text E1", "value 240 kW",
                             "text Cold stream C2", "text E3"})
        EXPECT_TRUE(has(run.out, line)) << line << "\n" << run.out;
}

// The position of the first item of a kind in the `grid --json` item list; -1 when none.
int itemPosition(const std::string& json, const std::string& kind, const std::string& name = "") {
    int position = 0;
    for (std::size_t at = json.find("{\"kind\":\""); at != std::string::npos; at = json.find("{\"kind\":\"", at + 1), ++position) {
        const std::string head = "{\"kind\":\"" + kind + "\",\"name\":\"" + name;
        if (json.compare(at, head.size(), head) == 0) return position;
    }
    return -1;
}

// The diagram's items are its child views by their place in the list the grid job gives:
// "CanvasConnection.200.<position>" opens the item there, of its own type; past the list the
// address reaches nothing.
struct ItemCase {
    const char* kind;
    const char* name;
    const char* type;
};

void PrintTo(const ItemCase& c, std::ostream* out) { *out << c.kind << " " << c.name; }

class HostViewGridItems : public ::testing::TestWithParam<ItemCase> {};

TEST_P(HostViewGridItems, AnItemIsReachedByItsPlaceInTheList) {
    SavedTextbookCase c;
    ASSERT_TRUE(c.built) << c.json;
    const int position = itemPosition(c.json, GetParam().kind, GetParam().name);
    ASSERT_GE(position, 0) << c.json;
    const std::string address = "CanvasConnection.200." + std::to_string(position);
    ScratchFile script("viewgrid", "item.txt", "open " + address + "\nform\n");
    const HostRun run = RunHost("view " + c.saved.path + " --open grid --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, std::string("\"type\":\"") + GetParam().type + "\"")) << run.out;
}

INSTANTIATE_TEST_SUITE_P(Kinds, HostViewGridItems,
                         ::testing::Values(ItemCase{"stream-start", "H1Start", "HENDStreamStartObject"},
                                           ItemCase{"stream-end", "C1End", "HENDStreamEndObject"},
                                           ItemCase{"exchanger", "E1", "HENDHeatExObject"},
                                           ItemCase{"heater", "Heater", "HENDHeatExObject"},
                                           ItemCase{"stream-segment", "", "HENDStreamSegmentObject"}),
                         [](const auto& info) { return std::string(info.param.type) + "_" + (*info.param.name ? info.param.name : "First"); });

TEST(HostViewGrid, AnItemPastTheListIsNoView) {
    SavedTextbookCase c;
    ASSERT_TRUE(c.built) << c.json;
    ScratchFile script("viewgrid", "past.txt", "open CanvasConnection.200.9999\n");
    const HostRun run = RunHost("view " + c.saved.path + " --open grid --script " + script.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "reaches no view")) << run.out;
}

TEST(HostViewGrid, AnExchangerDeletedFromItsMenuIsGoneFromTheSavedCase) {
    SavedTextbookCase c;
    ASSERT_TRUE(c.built) << c.json;
    double x = 0.0, y = 0.0;
    ASSERT_TRUE(unitEnd(c.json, "exchanger", "E1", x, y)) << c.json;
    char point[64];
    std::snprintf(point, sizeof point, "%.6f %.6f", x, y);
    ScratchFile after("viewgrid", "after.kestrin", "", false), svg("viewgrid", "after.svg", "", false);
    ScratchFile script("viewgrid", "delete.txt",
                       std::string("menu ") + point + "\nchoose 5609\nsvg . " + svg.path + "\n");
    const HostRun run = RunHost("view " + c.saved.path + " --open grid --script " + script.path + " --save " + after.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "5609 Delete")) << run.out;
    EXPECT_TRUE(has(run.out, "deletehx \"E1\"")) << run.out;
    EXPECT_EQ(3, count(FileContents(svg.path), "class=\"exchanger\""));

    const HostRun report = RunHost("design " + after.path + " --json");
    ASSERT_EQ(0, report.exitCode) << report.out;
    EXPECT_FALSE(has(report.out, "\"name\": \"E1\"")) << report.out;
    for (const char* kept : {"{\"name\": \"E2\", \"kind\": \"exchanger\", \"hot\": \"H2\", \"cold\": \"C1\", \"duty\": 90,",
                             "{\"name\": \"E3\", \"kind\": \"exchanger\", \"hot\": \"H1\", \"cold\": \"C1\", \"duty\": 90,",
                             "{\"name\": \"E4\", \"kind\": \"exchanger\", \"hot\": \"H2\", \"cold\": \"C1\", \"duty\": 30,"})
        EXPECT_TRUE(has(report.out, kept)) << kept << "\n" << report.out;
    EXPECT_TRUE(has(report.out, "\"exchangers\": 5,")) << report.out;
    // E3 now takes H1 at its supply temperature and is calculated; every stream keeps one free
    // utility, so the network is exactly specified.
    EXPECT_TRUE(has(report.out, "{\"name\": \"E3\", \"kind\": \"exchanger\", \"hot\": \"H1\", \"cold\": \"C1\", "
                                "\"duty\": 90, \"hot_in\": 170, \"hot_out\": 140, \"cold_in\": 35, \"cold_out\": 80,"))
        << report.out;
    EXPECT_EQ(0, count(report.out, "\"status\": \"incomplete\"")) << report.out;
    EXPECT_TRUE(has(report.out, "\"degrees_of_freedom\": 0,")) << report.out;

    // The grid of the new case: one exchanger less, and the utilities on E1's two streams carry
    // what it exchanged (drawn only while they have a duty worth showing).
    const HostRun grid = RunHost("grid " + after.path + " --svg " + c.picture.path + " --json");
    ASSERT_EQ(0, grid.exitCode) << grid.out;
    EXPECT_EQ(count(c.json, "{\"kind\":\"exchanger\"") - 1, count(grid.out, "{\"kind\":\"exchanger\""));
    EXPECT_EQ(0, unitsOn(c.json, "heater", "C2"));
    EXPECT_GE(unitsOn(grid.out, "heater", "C2"), 1) << grid.out;
    EXPECT_GE(unitsOn(grid.out, "cooler", "H1"), 1) << grid.out;

    // The utility at H1's end cools it from 140 C to 60 C, 3 kW/C x 80 C = 240 kW, and C2's heater
    // takes all of C2, 4 kW/C x 60 C = 240 kW: between them E1's duty, read from their fly-bys.
    double hx = 0.0, hy = 0.0, cx = 0.0, cy = 0.0;
    ASSERT_TRUE(unitOnEnd(grid.out, "cooler", "H1", hx, hy)) << grid.out;
    ASSERT_TRUE(unitOnEnd(grid.out, "heater", "C2", cx, cy)) << grid.out;
    char moves[128];
    std::snprintf(moves, sizeof moves, "move %.6f %.6f\nmove %.6f %.6f\n", hx, hy, cx, cy);
    ScratchFile flyBys("viewgrid", "flyby.txt", moves);
    const HostRun looked = RunHost("view " + after.path + " --open grid --script " + flyBys.path);
    ASSERT_EQ(0, looked.exitCode) << looked.out;
    EXPECT_EQ(2, count(looked.out, "\nLoad\t240.0 kW\n")) << looked.out;
}

// The forms a script's `form` steps showed, in order.
std::vector<std::string> forms(const std::string& out) {
    std::vector<std::string> found;
    for (std::size_t at = out.find("\n  form {"); at != std::string::npos; at = out.find("\n  form {", at + 1)) {
        const std::size_t end = out.find('\n', at + 1);
        found.push_back(out.substr(at + 8, end == std::string::npos ? std::string::npos : end - at - 8));
    }
    return found;
}

std::string viewOf(const std::string& form) {
    const std::string key = "{\"view\":\"";
    if (form.compare(0, key.size(), key) != 0) return "";
    return form.substr(key.size(), form.find('"', key.size()) - key.size());
}

// An item reached by a script through the links of the items before it: `path` the link
// indices from the item at `position` of the diagram's list, one `open` and `form` each.
HostRun followLinks(const std::string& saved, int position, const std::vector<int>& path, std::vector<std::string>& seen) {
    std::string text = "open CanvasConnection.200." + std::to_string(position) + "\nform\n";
    for (int link : path) text += "open CanvasConnection.200." + std::to_string(link) + "\nform\n";
    ScratchFile script("viewgrid", "links.txt", text);
    HostRun run = RunHost("view " + saved + " --open grid --script " + script.path);
    seen = forms(run.out);
    return run;
}

// Each item's form lists the items it links to by the names that reach them: an exchanger the
// segments feeding its two ends and those its ends feed; a segment the items upstream and
// downstream of it in flow order and its stream's start; a start its first segment; an end its
// last segment and its stream's start. Following a link and its way back returns to the item.
struct LinkCase {
    const char* kind;
    const char* name;
    int links;                // the item's links that reach an item
    std::vector<int> path;    // links followed from the item
    const char* type;         // the type the path ends at
    bool back;                // the path ends at the item itself
};

void PrintTo(const LinkCase& c, std::ostream* out) { *out << c.kind << " " << c.name; }

class HostViewGridLinks : public ::testing::TestWithParam<LinkCase> {};

TEST_P(HostViewGridLinks, AnItemsFormListsItsNeighboursAndTheyLeadBack) {
    SavedTextbookCase c;
    ASSERT_TRUE(c.built) << c.json;
    const LinkCase& p = GetParam();
    const int position = itemPosition(c.json, p.kind, p.name);
    ASSERT_GE(position, 0) << c.json;
    std::vector<std::string> seen;
    const HostRun run = followLinks(c.saved.path, position, p.path, seen);
    ASSERT_EQ(0, run.exitCode) << run.out;
    ASSERT_EQ(p.path.size() + 1, seen.size()) << run.out;
    const std::string& first = seen.front();
    EXPECT_TRUE(has(first, "{\"address\":\"CanvasConnection.200\",\"hook\":\"link\"")) << first;
    EXPECT_EQ(p.links, count(first, "\"CanvasConnection.200.")) << first;
    for (int k = 1; k <= p.links; ++k)
        EXPECT_TRUE(has(first, "\"CanvasConnection.200." + std::to_string(k) + "(")) << k << " " << first;
    EXPECT_TRUE(has(seen.back(), std::string("\"type\":\"") + p.type + "\"")) << seen.back();
    if (p.back) {
        EXPECT_EQ(viewOf(first), viewOf(seen.back())) << run.out;
    }
    if (*p.name) {
        EXPECT_EQ(p.name, viewOf(first));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Items, HostViewGridLinks,
    ::testing::Values(
        // E1's first end: the segment feeding it leads downstream back to E1.
        LinkCase{"exchanger", "E1", 4, {1, 2}, "HENDHeatExObject", true},
        // and the segment its second end feeds has E1 upstream.
        LinkCase{"exchanger", "E1", 4, {4, 1}, "HENDHeatExObject", true},
        LinkCase{"exchanger", "E1", 4, {3}, "HENDStreamSegmentObject", false},
        LinkCase{"stream-start", "H1Start", 1, {1, 3}, "HENDStreamStartObject", true},
        LinkCase{"stream-start", "H1Start", 1, {1, 1}, "HENDStreamStartObject", true},
        LinkCase{"stream-end", "C1End", 2, {1, 2}, "HENDStreamEndObject", true},
        LinkCase{"stream-end", "C1End", 2, {2, 1}, "HENDStreamSegmentObject", false},
        LinkCase{"stream-segment", "", 3, {3}, "HENDStreamStartObject", false}),
    [](const auto& info) { return std::string(info.param.kind == std::string("stream-segment") ? "Segment" : info.param.name) +
                                  "_" + std::to_string(info.index); });

TEST(HostViewGrid, ALinkPastAnItemsLinksReachesNoView) {
    SavedTextbookCase c;
    ASSERT_TRUE(c.built) << c.json;
    const std::pair<const char*, int> past[] = {{"stream-start", 2}, {"stream-end", 3}, {"exchanger", 5}, {"exchanger", 0}};
    for (const auto& [kind, link] : past) {
        std::vector<std::string> seen;
        const HostRun run = followLinks(c.saved.path, itemPosition(c.json, kind), {link}, seen);
        EXPECT_EQ(1, run.exitCode) << kind << run.out;
        EXPECT_TRUE(has(run.out, "reaches no view")) << kind << run.out;
    }
}

// On a split stream the splitter and the mixer are items of their own types; the segments of a
// branch lead upstream to the splitter and downstream to the mixer, which list no links.
TEST(HostViewGrid, ABranchLeadsToItsSplitterAndItsMixer) {
    ScratchFile saved("viewgrid", "split.kestrin", "", false), picture("viewgrid", "split.svg", "", false);
    ASSERT_EQ(0, RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-split-network.csv") +
                         " --save " + saved.path)
                     .exitCode);
    const HostRun grid = RunHost("grid " + saved.path + " --svg " + picture.path + " --json");
    ASSERT_EQ(0, grid.exitCode) << grid.out;
    const int e3 = itemPosition(grid.out, "exchanger", "E3");
    ASSERT_GE(e3, 0) << grid.out;
    // E3's second end sits on a branch of C1: its inlet's upstream item and its outlet's
    // downstream item.
    std::vector<std::string> up, down;
    const HostRun toSplitter = followLinks(saved.path, e3, {2, 1}, up);
    ASSERT_EQ(0, toSplitter.exitCode) << toSplitter.out;
    ASSERT_EQ(3u, up.size()) << toSplitter.out;
    EXPECT_TRUE(has(up[1], "\"type\":\"HENDStreamSegmentObject\"")) << up[1];
    EXPECT_TRUE(has(up[2], "\"type\":\"HENDStreamSplitStartObject\"")) << up[2];
    const HostRun toMixer = followLinks(saved.path, e3, {4, 2}, down);
    ASSERT_EQ(0, toMixer.exitCode) << toMixer.out;
    ASSERT_EQ(3u, down.size()) << toMixer.out;
    EXPECT_TRUE(has(down[2], "\"type\":\"HENDStreamSplitEndObject\"")) << down[2];
    for (const std::string* form : {&up[2], &down[2]}) EXPECT_FALSE(has(*form, "\"hook\":\"link\"")) << *form;
}

TEST(HostViewGrid, GesturesReportWhatThePointerMetAndBadOnesStopTheScript) {
    SavedTextbookCase c;
    ASSERT_TRUE(c.built) << c.json;
    double x = 0.0, y = 0.0;
    ASSERT_TRUE(unitEnd(c.json, "exchanger", "E1", x, y)) << c.json;
    char point[64];
    std::snprintf(point, sizeof point, "%.6f %.6f", x, y);
    ScratchFile script("viewgrid", "gestures.txt",
                       std::string("move ") + point + "\nresize 900 400\nwait 250\nrubber 0 0 1 1\nmenu -5000 -5000\n"
                       "choose 5615\n");
    const HostRun run = RunHost("view " + c.saved.path + " --open grid=Network --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "  text E1\nE1\nLoad\t240.0")) << run.out;  // the fly-by of E1
    EXPECT_TRUE(has(run.out, "5615 Zoom in icon=ZoominIco")) << run.out;
    EXPECT_TRUE(has(run.out, "5613 Clear markers")) << run.out;
    EXPECT_TRUE(has(run.out, "6: choose 5615\n  result 1")) << run.out;

    const std::pair<const char*, const char*> bad[] = {
        {"click 10\n", "click needs 2 numbers"},
        {"choose 5615\n", "the open menu offers no item 5615"},
        {"drop marker3 10 10\n", "drop takes marker1 or marker2"},
        {"wait -5\n", "wait needs whole milliseconds"},
        {"resize 10 10\n", "resize needs a width and a height of at least 100 pixels"},
        // A window of a few pixels draws the network a fraction of a pixel wide: too narrow or
        // too low alone is refused.
        {"resize 16 16\n", "resize needs a width and a height of at least 100 pixels and at most 100000, not 16 16"},
        {"resize 99 400\n", "resize needs a width and a height of at least 100 pixels and at most 100000, not 99 400"},
        {"resize 900 99\n", "resize needs a width and a height of at least 100 pixels and at most 100000, not 900 99"},
    };
    for (const auto& [text, reason] : bad) {
        ScratchFile wrong("viewgrid", "bad.txt", text);
        const HostRun failed = RunHost("view " + c.saved.path + " --open grid --script " + wrong.path);
        EXPECT_EQ(1, failed.exitCode) << text << failed.out;
        EXPECT_TRUE(has(failed.out, std::string(":1: ") + reason)) << text << failed.out;
    }
    // Numbers no window or menu item can be are refused before anything is drawn or looked up.
    const std::pair<const char*, const char*> beyond[] = {
        {"choose 1e308\n", "the open menu offers no item 1e308"},
        {"choose -1e308\n", "the open menu offers no item -1e308"},
        {"resize 1e300 1e300\nsvg . /dev/null\n", "resize needs a width and a height of at least 100 pixels and at most 100000"},
        {"resize 900 100001\n", "resize needs a width and a height of at least 100 pixels and at most 100000"},
    };
    for (const auto& [text, reason] : beyond) {
        ScratchFile wrong("viewgrid", "beyond.txt", text);
        const HostRun failed = RunHost("view " + c.saved.path + " --open grid --script " + wrong.path);
        EXPECT_EQ(1, failed.exitCode) << text << failed.out;
        EXPECT_TRUE(has(failed.out, std::string(":1: ") + reason)) << text << failed.out;
    }
    // A design the case does not hold has no grid to open.
    ScratchFile empty("viewgrid", "empty.txt", "");
    const HostRun none = RunHost("view " + c.saved.path + " --open grid=Elsewhere --script " + empty.path);
    EXPECT_EQ(1, none.exitCode);
    EXPECT_TRUE(has(none.out, "no view grid=Elsewhere")) << none.out;
}

}  // namespace
