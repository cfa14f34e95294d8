// A split inside a split, as users build them: extracted from a simulator case whose branch is
// teed again, added on a branch of the four-stream network's split and saved, and locked with a
// split event on the outer splitter. A branch's fraction is its share of the flow entering its own
// splitter everywhere: in the extraction, the calculation, the case and the report.
#include "CaseChecksum.h"
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A material stream of the case: its branch, temperature, mass flow, heat flow and links.
std::string stream(const std::string& name, const std::string& branch, double t, double flow, double heat,
                   std::initializer_list<const char*> to, double enthalpy = -285000) {
    std::ostringstream x;
    x << "<item name=\"" << name << "\" class=\"ppMaterialStream\"><text name=\"BranchName\">" << branch << "</text>"
      << "<num name=\"Temperature\">" << t << "</num><num name=\"MassFlow\">" << flow << "</num><num name=\"HeatFlow\">"
      << heat << "</num><num name=\"MolarEnthalpy\">" << enthalpy
      << "</num><list name=\"CompMolarFraction\">0.9 0.1</list>";
    for (const char* link : to) x << "<link to=\"" << link << "\"/>";
    return x.str() + "</item>\n";
}

// A unit; a heater with its duty and the property table of its feed (240 kJ/kg from 20 to 80 C).
std::string unit(const std::string& name, const std::string& kind, std::initializer_list<const char*> to,
                 double duty = -1, const std::string& feed = "") {
    std::ostringstream x;
    x << "<item name=\"" << name << "\" class=\"" << kind << "\">";
    if (duty >= 0)
        x << "<num name=\"Duty\">" << duty << "</num><group name=\"PropertyTable\"><group name=\"" << feed
          << "\"><list name=\"prpTemperature\">20 40 60 80</list><list name=\"prpMassEnthalpy\">0 80 160 240</list>"
          << "<list name=\"prpMassVapourFraction\">0 0 0 0</list></group></group>";
    for (const char* link : to) x << "<link to=\"" << link << "\"/>";
    return x.str() + "</item>\n";
}

// 3 kg/s at 20 C teed into 1 and 2 kg/s, the 2 teed again into `inner` and 2 - `inner` (0.5 and
// 1.5); a heater on each branch takes it to 80 C (4 kJ/(kg.C): 240, 120 and 360 kW), and the
// mixers join it again.
std::string nestedCase(double inner = 0.5) {
    const double outer = 2.0 - inner;
    std::string d = "<?xml version=\"1.0\"?>\n<simcase version=\"1\" name=\"Nested split\">\n";
    d += stream("A", "Main", 20, 3, 0, {"T1"}) + unit("T1", "ppTee", {"B1", "B2"});
    d += stream("B1", "Branch 1", 20, 1, 0, {"H1"}) + stream("B2", "Branch 2", 20, 2, 0, {"T2"});
    d += unit("T2", "ppTee", {"B21", "B22"});
    d += stream("B21", "Branch 21", 20, inner, 0, {"H21"}) + stream("B22", "Branch 22", 20, outer, 0, {"H22"});
    d += unit("H1", "htHeater", {"C1"}, 240, "B1") + unit("H21", "htHeater", {"C21"}, 240 * inner, "B21") +
         unit("H22", "htHeater", {"C22"}, 240 * outer, "B22");
    d += stream("C1", "Branch 1", 80, 1, 240, {"M1"}, -280000) +
         stream("C21", "Branch 21", 80, inner, 240 * inner, {"M2"}, -280000);
    d += stream("C22", "Branch 22", 80, outer, 240 * outer, {"M2"}, -280000) + unit("M2", "ppMixer", {"C2"});
    d += stream("C2", "Branch 2", 80, 2, 480, {"M1"}, -280000) + unit("M1", "ppMixer", {"D"});
    d += stream("D", "Main", 80, 3, 720, {}, -280000);
    return d + "</simcase>\n";
}

TEST(HostNestedSplit, ATeeOnABranchIsExtractedWithSharesOfItsOwnInflow) {
    ScratchFile file("nested", "nested.vmc", nestedCase());
    const HostRun run = RunHost("extract " + file.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "A_To_D (cold): 20 -> 80 C, 720 kW, 3 kg/s")) << run.out;
    for (const char* heater : {"H1 (heater)", "H21 (heater)", "H22 (heater)"}) {
        const std::size_t at = run.out.find(heater);
        ASSERT_NE(std::string::npos, at) << heater << "\n" << run.out;
        EXPECT_TRUE(has(run.out.substr(at, run.out.find('\n', at) - at), "cold 20.00 -> 80.00")) << heater;
    }
    // The inner tee takes 0.5 and 1.5 of the 2 kg/s reaching it; the outer branch that carries it
    // is named by its splitter, not taken for a bypass.
    EXPECT_TRUE(has(run.out, "Splitter T1 on A_To_D: H1 0.3333, T2 0.6667")) << run.out;
    EXPECT_TRUE(has(run.out, "Splitter T2 on A_To_D: H21 0.2500, H22 0.7500")) << run.out;
    EXPECT_TRUE(has(run.out, "degrees of freedom        0")) << run.out;
}

// Solved again with 0.75 and 1.25 kg/s on the inner branches: the refresh gives the inner
// splitter (found by its tee's name) its new shares of the 2 kg/s reaching it.
TEST(HostNestedSplit, TheRefreshGivesTheInnerSplitterItsNewShares) {
    ScratchFile file("nested", "nested.vmc", nestedCase()), solved("nested", "solved.vmc", nestedCase(0.75));
    const HostRun run = RunHost("extract " + file.path + " --refresh " + solved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "Splitter T1 on A_To_D: H1 0.3333, T2 0.6667")) << run.out;
    EXPECT_TRUE(has(run.out, "Splitter T2 on A_To_D: H21 0.3750, H22 0.6250")) << run.out;
    EXPECT_TRUE(has(run.out, "H21 (heater) LP Steam -> A_To_D: duty 180.00")) << run.out;
}

// The extracted case keeps its utility split (LP Steam shared over the three heaters by their
// duties: 1/3, 1/6 and 1/2 of its flow); a share of it changed under a checksum made again, so
// that the shares add up to half the flow, is damage like a process stream's.
TEST(HostNestedSplit, AUtilitySplitWhoseSharesDoNotAddUpIsDamage) {
    ScratchFile file("nested", "nested.vmc", nestedCase());
    ScratchFile saved("nested", "extracted.case", "", false), damaged("nested", "damaged.case", "", false);
    ASSERT_EQ(0, RunHost("extract " + file.path + " --save " + saved.path).exitCode);
    const HostRun clean = RunHost("design " + saved.path);
    ASSERT_EQ(0, clean.exitCode) << clean.out;
    ASSERT_TRUE(has(clean.out, "on LP Steam: H1 0.3333, H21 0.1667, H22 0.5000")) << clean.out;
    const std::string bytes = FileContents(saved.path);
    std::string body = bytes.substr(0, bytes.size() - 4);
    const std::string field = "SplitFraction";
    const std::uint32_t length = static_cast<std::uint32_t>(field.size());
    const std::string named = std::string(reinterpret_cast<const char*>(&length), sizeof length) + field;
    std::size_t at = std::string::npos;
    for (std::size_t n = body.find(named); n != std::string::npos && at == std::string::npos; n = body.find(named, n + 1)) {
        const std::size_t value = n + named.size() + 1;  // the name, then the kind of its value
        double was = 0.0;
        std::memcpy(&was, body.data() + value, sizeof was);
        if (was == 0.5) at = value;
    }
    ASSERT_NE(std::string::npos, at);
    const double none = 0.0;
    body.replace(at, sizeof none, std::string(reinterpret_cast<const char*>(&none), sizeof none));
    std::ofstream(damaged.path, std::ios::binary) << WithCaseChecksum(body);
    const HostRun run = RunHost("design " + damaged.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "on stream \"LP Steam\": its branches carry 0.5 of the flow that reaches it")) << run.out;
}

// Both heater duties and the split are the simulator's: the stream's target after the mixer is
// then one specification too many unless a utility after the mixer takes the rest (here none).
TEST(HostNestedSplit, ASplitStreamEndingAtItsMixerIsNotOverSpecified) {
    const HostRun run = RunHost("extract " + ExamplePath("extraction/split-heaters.vmc"));
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "degrees of freedom        0")) << run.out;
    EXPECT_TRUE(has(run.out, "hot utility               720.00 kW")) << run.out;
}

// The four-stream split network: on C1, TEE-100 sends 0.25 to E4's branch ("N-41" from the
// splitter to E4, "N-53" from E4 to the mixer, as `grid --json` lists them).
struct SplitNetwork {
    explicit SplitNetwork(const std::string& streams) {
        const HostRun run = RunHost("design " + ExamplePath(streams) + " " + ExamplePath("four-streams-split-network.csv") +
                                    " --save " + saved.path);
        EXPECT_EQ(0, run.exitCode) << run.out;
        const HostRun grid = RunHost("grid " + saved.path + " --svg " + picture.path + " --json");
        for (const char* segment : {"\"N-41\"", "\"N-53\"", "\"N-12\"", "\"N-37\""})
            EXPECT_TRUE(has(grid.out, segment)) << segment;
    }
    HostRun Edit(const std::string& script, const std::string& view, const std::string& to) {
        ScratchFile file("nested", "edit.txt", script);
        return RunHost("view " + saved.path + " --open " + view + " --script " + file.path + " --save " + to);
    }
    ScratchFile saved{"nested", "split.case", "", false};
    ScratchFile picture{"nested", "grid.svg", "", false};
};

class HostSplitOnABranch : public ::testing::TestWithParam<const char*> {};

// A split on E4's branch (both ends on one segment) or a bypass around E4: the case saves,
// reopens and calculates as before, the new splitter's shares those of the flow reaching it.
TEST_P(HostSplitOnABranch, SavesReopensAndCalculatesTheSame) {
    SplitNetwork n("four-streams.csv");
    ScratchFile edited("nested", "edited.case", "", false);
    const HostRun edit = n.Edit(std::string("cmd addsplit ") + GetParam() + "\n", "grid", edited.path);
    ASSERT_EQ(0, edit.exitCode) << edit.out;
    const HostRun reopened = RunHost("design " + edited.path);
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "E4 (exchanger) H2 -> C1: duty 30.00, hot 90.00 -> 70.00, cold 20.00 -> 80.00"))
        << reopened.out;
    EXPECT_TRUE(has(reopened.out, "Splitter TEE-100 on C1: E3 0.7500, TEE-101 0.2500")) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "calculation               calculated")) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "degrees of freedom        0")) << reopened.out;
}

INSTANTIATE_TEST_SUITE_P(SplitAndBypass, HostSplitOnABranch,
                         ::testing::Values("\"N-41\" \"N-41\"", "\"N-41\" \"N-53\""));

// Locked, with the outer splitter's first branch (the one that carries TEE-100) set to 80 %:
// E3 works at its area and U with 0.75 of that 80 % (77.37 kW by e-NTU), and the inner splitter
// keeps its own shares, on the report and in the case.
TEST(HostNestedSplit, ALockedNestedSplitKeepsEachSplittersOwnShares) {
    SplitNetwork n("operated-streams.csv");
    ScratchFile around("nested", "around.case", "", false), locked("nested", "locked.case", "", false);
    const HostRun edit = n.Edit("cmd addsplit \"N-12\" \"N-37\"\n", "grid", around.path);
    ASSERT_EQ(0, edit.exitCode) << edit.out;
    ScratchFile script("nested", "lock.txt",
                       "cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 3\n"
                       "settext HXSelection.389 TEE-101 Branch 1\ncmd AddEventToSchedule\nset ExtraData.358 80\n"
                       "cmd ExecuteSchedule\n");
    const HostRun lock = RunHost("view " + around.path + " --open design --script " + script.path + " --save " + locked.path);
    ASSERT_EQ(0, lock.exitCode) << lock.out;
    const HostRun report = RunHost("design " + locked.path);
    ASSERT_EQ(0, report.exitCode) << report.out;
    EXPECT_TRUE(has(report.out, "E3 (exchanger) H1 -> C1: duty 77.37")) << report.out;
    EXPECT_TRUE(has(report.out, "Splitter TEE-100 on C1: E3 0.7500, E4 0.2500")) << report.out;
    EXPECT_TRUE(has(report.out, "Splitter TEE-101 on C1: TEE-100 0.8000, bypass 0.2000")) << report.out;
}

}  // namespace
