// The exchanger and splitter views show, beside each port, the temperature of the port's own
// stream on the far side of a heater or cooler placed there. Without one the cell is empty and
// takes nothing; with one it shows that stream, never the other stream of the next unit, and the
// form lists the cell as editable exactly when its status says so.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The state a `status` step printed: "editable", "read-only" or "" when the step is missing.
std::string stateOf(const std::string& out, int step, const std::string& address) {
    const std::string head = std::to_string(step) + ": status " + address + "\n  ";
    const std::size_t at = ("\n" + out).find("\n" + head);
    if (at == std::string::npos) return "";
    const std::size_t from = at + head.size();
    return out.substr(from, out.find('\n', from) - from);
}

// The form's "editable" of an address in a `form` step's listing: 1, 0, or -1 when not listed.
int formEditable(const std::string& out, int step, const std::string& address) {
    const std::size_t at = ("\n" + out).find("\n" + std::to_string(step) + ": form\n");
    if (at == std::string::npos) return -1;
    const std::size_t entry = out.find("{\"address\":\"" + address + "\"", at);
    if (entry == std::string::npos) return -1;
    const std::size_t end = out.find('}', entry);
    const std::string row = out.substr(entry, end - entry);
    return has(row, "\"editable\":true") ? 1 : has(row, "\"editable\":false") ? 0 : -1;
}

// The single value a `get` step printed: NaN for "empty", -1 when the step printed no value.
double cell(const std::string& out, int step) {
    const std::size_t at = ("\n" + out).find("\n" + std::to_string(step) + ": get ");
    if (at == std::string::npos) return -1.0;
    const std::size_t line = out.find("\n  value ", at);
    if (line == std::string::npos || out.find('\n', at) != line) return -1.0;
    const std::string word = out.substr(line + 9, out.find_first_of(" \n", line + 9) - line - 9);
    if (word == "empty") return NAN;
    char* end = nullptr;
    const double v = std::strtod(word.c_str(), &end);
    return end && *end == '\0' && !word.empty() ? v : -1.0;
}

bool sameCell(double expected, double got) { return std::isnan(expected) ? std::isnan(got) : std::fabs(expected - got) < 1e-9; }

struct Saved {
    explicit Saved(const std::string& network) {
        const HostRun run = RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath(network) + " --save " +
                                    file.path);
        built = run.exitCode == 0;
    }
    ScratchFile file{"beyond", "net.kcase", "", false};
    bool built = false;
};

// One port of one unit of the textbook series network (E1 240 kW H1/C2, E4 30 kW H2/C1 at C1's
// supply end, E3 90 kW H1/C1, E2 90 kW H2/C1, the steam heater at C1's target end, the cooler
// at H2's). Temperatures by hand from the design: H1 170 -> E1 -> 90 -> E3 -> 60; H2 150 -> E2
// -> 90 -> E4 -> 70 -> Cooler -> 30; C1 20 -> E4 -> 35 -> E3 -> 80 -> E2 -> 125 -> Heater -> 135;
// C2 80 -> E1 -> 140. The network places a heater or cooler of no duty where a stream meets its
// target on an exchanger between process streams: at C2 after E1 and at H1 after E3.
struct PortCase {
    int row;             // in the viewer's list of all units
    const char* unit;
    int port;            // 0 hot inlet, 1 hot outlet, 2 cold inlet, 3 cold outlet
    double bare;         // the cell as the design stands (NaN: empty)
    double placed;       // with a heater or cooler at the port (NaN: empty)
    bool editable;       // with it: whether the user may type the cell
    const char* landing; // where a typed 77 C shows up in the saved design's report
};

const double E = NAN;
// The utility switch of each port: 293 hot inlet, 294 hot outlet, 291 cold inlet, 292 cold outlet.
const int kSwitch[4] = {293, 294, 291, 292};
// A typed temperature moves the load of the unit after it: the cooler takes H2 from 77 C to 30 C,
// 1.5 x 47 = 70.5 kW; the heater C1 from 77 C to 135 C, 2 x 58 = 116 kW.

class HostViewBeyondUtility : public ::testing::TestWithParam<PortCase> {};

TEST_P(HostViewBeyondUtility, TheCellShowsThePortsOwnStreamBeyondAUtilityOrNothing) {
    static const Saved saved("four-streams-network.csv");
    ASSERT_TRUE(saved.built);
    const PortCase& c = GetParam();
    const std::string cellName = "Temperature." + std::to_string(751 + c.port);
    const std::string toggle = "Switch." + std::to_string(kSwitch[c.port]);
    const std::string allowed = "Switch." + std::to_string(751 + c.port);
    // Without placing anything: read, state, form, a refused write (unless a utility is there).
    const std::string script = "set Index.414 1\nset Index.415 " + std::to_string(c.row) +
                               "\nopen HeatExchangerViewObject.400\n"
                               "get " + cellName + "\nstatus " + cellName + "\nform\nget " + toggle + "\nget " + allowed +
                               "\n"
                               // 8: place a heater or cooler at the port (the form offers it only where allowed)
                               "set " + toggle + " 0\nget " + toggle + "\nget " + cellName + "\nstatus " + cellName +
                               "\nform\nexpect ReadOnlyCell\nset " + cellName + " 77\nget " + cellName + "\n";
    ScratchFile out("beyond", "out.kcase", "", false);
    const HostRun run = RunViewScript(saved.file.path, script, " --open design --save " + out.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    ASSERT_TRUE(has(run.out, "3: open HeatExchangerViewObject.400\n  text " + std::string(c.unit))) << run.out;

    const bool utilityThere = cell(run.out, 7) == 0.0;
    EXPECT_TRUE(sameCell(c.bare, cell(run.out, 4))) << c.unit << " port " << c.port << "\n" << run.out;
    EXPECT_EQ(std::isnan(c.bare), !utilityThere) << "a value only beyond a heater or cooler at the port";
    EXPECT_EQ("read-only", stateOf(run.out, 5, cellName));
    EXPECT_EQ(0, formEditable(run.out, 6, cellName)) << run.out;
    if (!utilityThere) {
        ASSERT_EQ(1.0, cell(run.out, 8)) << "the form offers a utility at the port\n" << run.out;
    }

    EXPECT_EQ(0.0, cell(run.out, 10)) << run.out;
    EXPECT_TRUE(sameCell(c.placed, cell(run.out, 11))) << c.unit << " port " << c.port << "\n" << run.out;
    EXPECT_EQ(c.editable ? "editable" : "read-only", stateOf(run.out, 12, cellName)) << run.out;
    EXPECT_EQ(c.editable ? 1 : 0, formEditable(run.out, 13, cellName)) << run.out;
    // 15: a cell the user may not type into refuses the value and says so.
    EXPECT_TRUE(has(run.out, "15: set " + cellName + " 77\n  result " + (c.editable ? "1" : "0"))) << run.out;
    EXPECT_EQ(!c.editable, has(run.out, "Error ReadOnlyCell|")) << run.out;
    EXPECT_TRUE(sameCell(c.editable ? 77.0 : c.placed, cell(run.out, 16))) << run.out;
    if (c.landing) {
        const HostRun report = RunHost("design " + out.path);
        EXPECT_TRUE(has(report.out, c.landing)) << c.landing << "\n" << report.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryExchangerPort, HostViewBeyondUtility,
    ::testing::Values(
        // E1: H1 from its supply, H1 on to E3, C2 from its supply, C2 to its target (a utility there).
        PortCase{0, "E1", 0, E, 170, false, nullptr}, PortCase{0, "E1", 1, E, E, true, "E3 (exchanger) H1 -> C1: duty 90.00, hot 77.00"},
        PortCase{0, "E1", 2, E, 80, false, nullptr}, PortCase{0, "E1", 3, 140, 140, false, nullptr},
        // E4: H2 from E2 (calculated), H2 on to the cooler, C1 from its supply, C1 on to E3.
        PortCase{1, "E4", 0, E, 90, false, nullptr}, PortCase{1, "E4", 1, E, E, true, "Cooler (cooler) H2 -> Cooling Water: duty 70.50, hot 77.00"},
        PortCase{1, "E4", 2, E, 20, false, nullptr}, PortCase{1, "E4", 3, E, E, true, "E3 (exchanger) H1 -> C1: duty 90.00, hot 90.00 -> 60.00, cold 77.00"},
        // E3: H1 from E1, H1 to its target (a utility there), C1 from E4, C1 on to E2.
        PortCase{2, "E3", 0, E, 90, false, nullptr}, PortCase{2, "E3", 1, 60, 60, false, nullptr},
        PortCase{2, "E3", 2, E, 35, false, nullptr}, PortCase{2, "E3", 3, E, E, true, "E2 (exchanger) H2 -> C1: duty 90.00, hot 150.00 -> 90.00, cold 77.00"},
        // E2: H2 from its supply, H2 on to E4, C1 from E3, C1 on to the heater (not the steam).
        PortCase{3, "E2", 0, E, 150, false, nullptr}, PortCase{3, "E2", 1, E, E, true, "E4 (exchanger) H2 -> C1: duty 30.00, hot 77.00"},
        PortCase{3, "E2", 2, E, 80, false, nullptr}, PortCase{3, "E2", 3, E, E, true, "Heater (heater) HP Steam -> C1: duty 116.00, hot 250.00 -> 249.00, cold 77.00"},
        // The heater's and the cooler's process sides.
        PortCase{4, "Heater", 2, E, 125, false, nullptr}, PortCase{4, "Heater", 3, E, 135, false, nullptr},
        PortCase{5, "Cooler", 0, E, 70, false, nullptr}, PortCase{5, "Cooler", 1, E, 30, false, nullptr}));

// The utility sides of the heater and the cooler are never offered a utility, and show nothing.
TEST(HostViewBeyondUtilityUtilitySide, TheSteamAndTheCoolingWaterShowNothingBeyondTheirPorts) {
    const Saved saved("four-streams-network.csv");
    ASSERT_TRUE(saved.built);
    for (const auto& [row, ports] : {std::pair<int, std::pair<int, int>>{4, {0, 1}}, {5, {2, 3}}}) {
        std::string script = "set Index.414 1\nset Index.415 " + std::to_string(row) + "\nopen HeatExchangerViewObject.400\n";
        for (int port : {ports.first, ports.second})
            script += "get Temperature." + std::to_string(751 + port) + "\nget Switch." + std::to_string(751 + port) + "\n";
        const HostRun run = RunViewScript(saved.file.path, script, " --open design");
        ASSERT_EQ(0, run.exitCode) << run.out;
        for (int step : {4, 6}) EXPECT_TRUE(std::isnan(cell(run.out, step))) << row << "\n" << run.out;
        for (int step : {5, 7}) EXPECT_EQ(0.0, cell(run.out, step)) << row << "\n" << run.out;
    }
}

// With E2's duty cleared H2 leaves E2 at a temperature the user could give; E3's cold outlet
// meets E2 on C1, not H2, and without a heater there takes nothing.
TEST(HostViewBeyondUtilityUtilitySide, AFreedTemperatureOfTheNextUnitsOtherStreamIsNotTyped) {
    const Saved saved("four-streams-network.csv");
    ASSERT_TRUE(saved.built);
    ScratchFile out("beyond", "freed.kcase", "", false);
    const HostRun run = RunViewScript(saved.file.path,
                                      "set HeatFlow.304.3 empty\nset Index.414 1\nset Index.415 2\n"
                                      "open HeatExchangerViewObject.400\nget Temperature.754\nstatus Temperature.754\n"
                                      "expect ReadOnlyCell\nset Temperature.754 100\n",
                                      " --open design --save " + out.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(std::isnan(cell(run.out, 5))) << run.out;
    EXPECT_EQ("read-only", stateOf(run.out, 6, "Temperature.754"));
    EXPECT_TRUE(has(run.out, "8: set Temperature.754 100\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "Error ReadOnlyCell|")) << run.out;
    const HostRun report = RunHost("design " + out.path);
    EXPECT_FALSE(has(report.out, "-> 100.00")) << report.out;
}

// The splitter view of the split network (C1 divided between E3 and E4, mixed again before E2):
// after the mixer C1 enters E2 at 80 C (calculated); before the tee it is C1's supply, 20 C.
// Beyond the mixer the cell shows C1 only past a heater or cooler placed after the mixer, never
// H2 leaving E2, and is typed then.
TEST(HostViewBeyondUtilitySplitter, TheCellAfterTheMixerFollowsAUtilityThere) {
    const Saved saved("four-streams-split-network.csv");
    ASSERT_TRUE(saved.built);
    ScratchFile out("beyond", "split.kcase", "", false);
    const HostRun run = RunViewScript(
        saved.file.path,
        "set Index.414 1\nset Index.415 3\nopen HeatExchangerViewObject.400\nopen SplitterViewObject.783\n"
        // 5
        "get Temperature.250\nget Temperature.251\nget Temperature.252\nstatus Temperature.250\nstatus Temperature.251\n"
        "status Temperature.252\nform\nexpect ReadOnlyCell\nset Temperature.251 85\nexpect ReadOnlyCell\n"
        "set Temperature.252 30\n"
        // 16: a heater or cooler after the mixer
        "get Switch.250\nset Switch.290 0\nget Switch.290\nget Temperature.251\nstatus Temperature.251\nform\n"
        "set Temperature.251 85\nget Temperature.251\n",
        " --open design --save " + out.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ(80.0, cell(run.out, 5)) << run.out;
    EXPECT_TRUE(std::isnan(cell(run.out, 6))) << "not H2 leaving E2 at 90 C\n" << run.out;
    EXPECT_EQ(20.0, cell(run.out, 7)) << run.out;
    for (int step = 8; step <= 10; ++step) {
        const std::string address = "Temperature." + std::to_string(242 + step);
        EXPECT_EQ("read-only", stateOf(run.out, step, address)) << address;
        EXPECT_EQ(0, formEditable(run.out, 11, address)) << address << "\n" << run.out;
    }
    // Each read-only cell refuses the value and says so.
    EXPECT_TRUE(has(run.out, "13: set Temperature.251 85\n  result 0")) << run.out;
    EXPECT_TRUE(has(run.out, "15: set Temperature.252 30\n  result 0")) << run.out;
    EXPECT_EQ(1.0, cell(run.out, 16)) << run.out;
    EXPECT_EQ(0.0, cell(run.out, 18)) << run.out;
    EXPECT_TRUE(std::isnan(cell(run.out, 19))) << run.out;
    EXPECT_EQ("editable", stateOf(run.out, 20, "Temperature.251"));
    EXPECT_EQ(1, formEditable(run.out, 21, "Temperature.251")) << run.out;
    EXPECT_EQ(0, formEditable(run.out, 21, "Temperature.250")) << run.out;
    EXPECT_TRUE(has(run.out, "22: set Temperature.251 85\n  result 1")) << run.out;
    EXPECT_EQ(85.0, cell(run.out, 23)) << run.out;
    const HostRun report = RunHost("design " + out.path);
    EXPECT_TRUE(has(report.out, "E2 (exchanger) H2 -> C1: duty 90.00, hot 150.00 -> 90.00, cold 85.00")) << report.out;
    EXPECT_TRUE(has(report.out, "E3 (exchanger) H1 -> C1: duty 90.00, hot 90.00 -> 60.00, cold 20.00")) << report.out;
}

// Clearing the share the user gave a branch of C1's split leaves no share fixed: both branches
// take a share typed again (here 0.3 on the second, the first follows at 0.7), and the case keeps
// it, the first branch then worked out from the balance again.
TEST(HostViewBeyondUtilitySplitter, AClearedShareCanBeGivenAgain) {
    const Saved saved("four-streams-split-network.csv");
    ASSERT_TRUE(saved.built);
    const std::string splitter =
        "set Index.414 1\nset Index.415 3\nopen HeatExchangerViewObject.400\nopen SplitterViewObject.783\n";
    ScratchFile out("beyond", "share.kcase", "", false);
    const HostRun run = RunViewScript(saved.file.path,
                                      splitter + "set Fraction.200.0 empty\nstatus Fraction.200.0\nstatus Fraction.200.1\n"
                                                 "set Fraction.200.1 0.3\nget Fraction.200.[]\n",
                                      " --open design --save " + out.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "6: status Fraction.200.0\n  editable\n7: status Fraction.200.1\n  editable\n")) << run.out;
    EXPECT_TRUE(has(run.out, "9: get Fraction.200.[]\n  value 0.7 0.3\n")) << run.out;
    const HostRun again =
        RunViewScript(out.path, splitter + "get Fraction.200.[]\nstatus Fraction.200.0\nstatus Fraction.200.1\n", " --open design");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "5: get Fraction.200.[]\n  value 0.7 0.3\n6: status Fraction.200.0\n  read-only\n"
                               "7: status Fraction.200.1\n  editable\n"))
        << again.out;
}

}  // namespace

// A share cleared and not given again is no share of the network's: the design job on the saved
// case names it not known (JSON null) beside an incomplete calculation, never the share it had,
// and reports the shares again once one is given and the balance works out the other.
TEST(HostViewBeyondUtilitySplitter, AClearedShareIsReportedNotKnownUntilGivenAgain) {
    const Saved saved("four-streams-split-network.csv");
    ASSERT_TRUE(saved.built);
    const std::string splitter =
        "set Index.414 1\nset Index.415 3\nopen HeatExchangerViewObject.400\nopen SplitterViewObject.783\n";
    ScratchFile cleared("beyond", "cleared.kcase", "", false);
    const HostRun view = RunViewScript(saved.file.path, splitter + "set Fraction.200.0 empty\nget Fraction.200.[]\n",
                                       " --open design --save " + cleared.path);
    ASSERT_EQ(0, view.exitCode) << view.out;
    // The view too shows the open shares as not known, not the 0.75 and 0.25 they were.
    EXPECT_TRUE(has(view.out, "6: get Fraction.200.[]\n  value empty empty\n")) << view.out;
    const HostRun text = RunHost("design " + cleared.path);
    EXPECT_TRUE(has(text.out, "Splitter TEE-100 on C1: E3 not known, E4 not known\n")) << text.out;
    EXPECT_TRUE(has(text.out, "  calculation               incomplete\n")) << text.out;
    // Of the two shares one is free once none is given: the network lacks one specification.
    EXPECT_TRUE(has(text.out, "  degrees of freedom        1\n")) << text.out;
    const HostRun json = RunHost("design " + cleared.path + " --json");
    EXPECT_TRUE(has(json.out, "{\"unit\": \"E3\", \"fraction\": null}, {\"unit\": \"E4\", \"fraction\": null}")) << json.out;
    EXPECT_TRUE(has(json.out, "\"calculation_status\": \"incomplete\"")) << json.out;

    ScratchFile given("beyond", "given.kcase", "", false);
    ASSERT_EQ(0, RunViewScript(cleared.path, splitter + "set Fraction.200.1 0.3\n", " --open design --save " + given.path)
                     .exitCode);
    const HostRun again = RunHost("design " + given.path);
    EXPECT_TRUE(has(again.out, "Splitter TEE-100 on C1: E3 0.7000, E4 0.3000\n")) << again.out;
    EXPECT_TRUE(has(again.out, "  calculation               calculated\n")) << again.out;
}

// The automatic design gives both branches of H1's split a share of their own (0.70 and 0.30).
// With every other share given, a share typed for a branch must bring them to the whole inflow:
// 0.5 beside 0.30 would lose a fifth of H1 at the mixer, is refused with "SplitFractionError" and
// leaves both shares as they were, in the view and in the case saved after it.
TEST(HostViewBeyondUtilitySplitter, ASharePastWhatTheGivenSharesLeaveIsRefused) {
    ScratchFile designed("beyond", "auto.kcase", "", false);
    ASSERT_EQ(0, RunHost("autodesign " + ExamplePath("four-streams.csv") + " --designs 2 --save " + designed.path).exitCode);
    const std::string splitter =
        "set Index.414 1\nset Index.415 0\nopen HeatExchangerViewObject.400\nopen SplitterViewObject.781\n";
    ScratchFile out("beyond", "auto-share.kcase", "", false);
    const HostRun run = RunViewScript(designed.path,
                                      splitter + "get Fraction.200.[]\nstatus Fraction.200.1\nexpect SplitFractionError\n"
                                                 "set Fraction.200.0 0.5\nget Fraction.200.[]\n",
                                      " --open design=A_Design1 --save " + out.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "5: get Fraction.200.[]\n  value 0.696969697 0.303030303\n")) << run.out;
    EXPECT_EQ("editable", stateOf(run.out, 6, "Fraction.200.1")) << run.out;
    EXPECT_TRUE(has(run.out, "8: set Fraction.200.0 0.5\n  result 0")) << run.out;
    EXPECT_TRUE(has(run.out, "9: get Fraction.200.[]\n  value 0.696969697 0.303030303\n")) << run.out;
    const HostRun again = RunViewScript(out.path, splitter + "get Fraction.200.[]\n", " --open design=A_Design1");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "5: get Fraction.200.[]\n  value 0.696969697 0.303030303\n")) << again.out;
}
