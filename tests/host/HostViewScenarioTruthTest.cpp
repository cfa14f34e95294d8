// kestrin-host view on saved and reopened cases: a retrofit copy of the scenario that asks for
// it, deleting a design only when one is selected, reading a design under a forbidden match,
// utility mass flows, the film-coefficient table's refusals, a column of names, and the end of an
// extraction with no optimum to move to.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string kFourStreams = ExamplePath("four-streams.csv");

// Three automatic designs of the four-stream table, saved.
class HostViewThreeDesigns : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(0, RunHost("autodesign " + kFourStreams + " --designs 3 --save " + designs.path).exitCode);
    }
    ScratchFile designs{"truth", "designs.kcase", "", false};
};

// "RetrofitNow" into a new scenario, asked by "base" reached by the runner while another
// scenario is the project's selection: the copy is of "base", with the chosen design as its base.
TEST_F(HostViewThreeDesigns, ARetrofitCopyIsOfTheScenarioThatAsks) {
    ScratchFile saved("truth", "retrofit.kcase", "", false);
    const HostRun run = RunViewScript(designs.path,
                                  "open MyOwnerObject\nsettext ExtraData.208 Other\ncmd AddToDesignView\n"
                                  "open HIDesignViewerScenario.200(base)\ncmd SelectRetrofitNow\nset Enum.222 1\n"
                                  "set Index.217 0\ncmd RetrofitNow\n",
                                  " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const HostRun again = RunViewScript(saved.path, "open MyOwnerObject\ndims HIDesignViewerScenario.200\n"
                                                "open HIDesignViewerScenario.200(base 1)\nchoices Enum.222\n"
                                                "dims Count.410\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "2: dims HIDesignViewerScenario.200\n  dims 3\n")) << again.out;
    EXPECT_TRUE(has(again.out, "4: choices Enum.222\n  choice 0 A_Design1 (0)\n")) << again.out;
    EXPECT_TRUE(has(again.out, "5: dims Count.410\n  dims 5\n")) << again.out;
}

// With no design selected (the reopened scenario is the selection) nothing is asked and nothing
// deleted, and the user is told that none is selected; with one selected it is asked for and
// deleted, and stays deleted after a reopen.
TEST_F(HostViewThreeDesigns, ADesignIsDeletedOnlyWhenOneIsSelected) {
    ScratchFile saved("truth", "deleted.kcase", "", false);
    const HostRun run = RunViewScript(designs.path,
                                  "expect NoDesignSelected\ncmd RemoveFromDesignView\nchoices Enum.222\n"
                                  "open MyOwnerObject\nopen MyOwnerObject\nattach Viewable.299 A_Design1\n"
                                  "open HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.0\n"
                                  "answer 1\nexpect ConfirmDeleteHENDesign\ncmd RemoveFromDesignView\nchoices Enum.222\n",
                                  " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "2: cmd RemoveFromDesignView\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "  Error NoDesignSelected|Select a design first: none is selected.|")) << run.out;
    EXPECT_TRUE(has(run.out, "3: choices Enum.222\n  choice 0 A_Design0 (0)\n  choice 1 A_Design1 (0)\n"
                             "  choice 2 A_Design2 (0)\n"))
        << run.out;
    EXPECT_EQ(1u, [&] {
        std::size_t n = 0;
        for (std::size_t at = run.out.find("Response ConfirmDeleteHENDesign"); at != std::string::npos;
             at = run.out.find("Response ConfirmDeleteHENDesign", at + 1))
            ++n;
        return n;
    }()) << run.out;
    EXPECT_TRUE(has(run.out, "12: choices Enum.222\n  choice 0 A_Design0 (0)\n  choice 1 A_Design2 (0)\n")) << run.out;
    const HostRun again = RunViewScript(saved.path, "choices Enum.222\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "1: choices Enum.222\n  choice 0 A_Design0 (0)\n  choice 1 A_Design2 (0)\n")) << again.out;
}

// A design read on a case with a forbidden match: its cross-pinch loads and its form are read
// without asking for a utility placement the match forbids; the run saves.
TEST_F(HostViewThreeDesigns, ADesignUnderAForbiddenMatchIsReadWithoutComplaint) {
    ScratchFile forbidden("truth", "forbidden.kcase", "", false);
    ASSERT_EQ(0, RunViewScript(designs.path, "expect ChangingToLPAndGCCChoseForbidden\nset Switch.1200.0.0 1\n",
                           " --save " + forbidden.path)
                     .exitCode);
    ScratchFile saved("truth", "read.kcase", "", false);
    const HostRun run = RunViewScript(forbidden.path, "open HIDesignViewerDesign.200.0\nget HeatFlow.602.[]\nform\n",
                                  " --save " + saved.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_FALSE(has(run.out, "OnlyGCCBasedAllowedIfForbidden")) << run.out;
    EXPECT_TRUE(FileExists(saved.path));
}

// A utility's mass flow follows from its load: its cell is read-only, a typed one is refused as
// such and nothing changes.
// A column of names reads every name.
TEST(HostViewScenarioTruth, AUtilityMassFlowIsRefusedAndANameColumnReadsWhole) {
    ScratchFile saved("truth", "flow.kcase", "", false);
    const HostRun run = RunViewScript(kFourStreams,
                                  "get MassFlow.104.0\nstatus MassFlow.104.0\nexpect ReadOnlyCell\nset MassFlow.104.0 2\n"
                                  "get MassFlow.104.0\ntext StrName.401.[]\n",
                                  " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "Error ReadOnlyCell|")) << run.out;
    EXPECT_TRUE(has(run.out, "1: get MassFlow.104.0\n  value empty kg/s\n")) << run.out;
    EXPECT_TRUE(has(run.out, "2: status MassFlow.104.0\n  read-only\n")) << run.out;
    EXPECT_TRUE(has(run.out, "5: get MassFlow.104.0\n  value empty kg/s\n")) << run.out;
    EXPECT_TRUE(has(run.out, "6: text StrName.401.[]\n  text H1\n  text H2\n  text C1\n  text C2\n  text **New**\n"))
        << run.out;
    const HostRun json = RunViewScript(saved.path, "text StrName.401.[]\n", " --json");
    ASSERT_EQ(0, json.exitCode) << json.out;
    EXPECT_TRUE(has(json.out, "\"texts\":[\"H1\",\"H2\",\"C1\",\"C2\",\"**New**\"]")) << json.out;
}

// The film-coefficient defaults refuse what they do not take, with their keys, and keep the
// value; the factory "<default>" entry is read-only and keeps its name.
TEST(HostViewScenarioTruth, TheCoefficientDefaultsRefuseWithTheirKeys) {
    ScratchFile saved("truth", "htc.kcase", "", false);
    const HostRun run = RunViewScript(kFourStreams,
                                  "status ExtraData.227.26\nexpect HCValueTooSmall\nset HeatTransferCoeff.229.1 -1\n"
                                  "get HeatTransferCoeff.229.1\nexpect NameNotUnique\nsettext ExtraData.227.1 DEFAULT\n"
                                  "text ExtraData.227.1\nexpect ReadOnlyCell\nsettext ExtraData.227.26 Mine\ntext ExtraData.227.26\n",
                                  " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: status ExtraData.227.26\n  read-only\n")) << run.out;
    EXPECT_TRUE(has(run.out, "Error HCValueTooSmall|")) << run.out;
    EXPECT_TRUE(has(run.out, "4: get HeatTransferCoeff.229.1\n  value 0.393092 kW/m2-C\n")) << run.out;
    EXPECT_TRUE(has(run.out, "6: settext ExtraData.227.1 DEFAULT\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "Error NameNotUnique|")) << run.out;
    EXPECT_TRUE(has(run.out, "7: text ExtraData.227.1\n  text Aromatic Vapor-Stream Azeotrope\n")) << run.out;
    // The read-only entry says so.
    EXPECT_TRUE(has(run.out, "9: settext ExtraData.227.26 Mine\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "Error ReadOnlyCell|")) << run.out;
    EXPECT_TRUE(has(run.out, "10: text ExtraData.227.26\n  text <default>\n")) << run.out;
    const HostRun again = RunViewScript(saved.path, "get HeatTransferCoeff.229.1\ntext ExtraData.227.26\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "1: get HeatTransferCoeff.229.1\n  value 0.393092 kW/m2-C\n2: text ExtraData.227.26\n"
                               "  text <default>\n"))
        << again.out;
}

// A default coefficient chosen for a stream of the table reaches the area target as a typed one.
// The choice reads the entry the stream's coefficient is: at first the one a new stream takes.
TEST(HostViewScenarioTruth, AChosenDefaultCoefficientReachesTheArea) {
    const HostRun run =
        RunViewScript(kFourStreams, "get Enum.511\nget Area.200\nset Enum.511 1\nget Area.200\nget Enum.511\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: get Enum.511\n  value 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "2: get Area.200\n  value 253.2959613 m2\n")) << run.out;
    EXPECT_FALSE(has(run.out, "4: get Area.200\n  value 253.2959613 m2\n")) << run.out;
    EXPECT_TRUE(has(run.out, "5: get Enum.511\n  value 1\n")) << run.out;
}

// No utilities, so no DTmin has a total annual cost: the end of an extraction leaves the DTmin
// where it was.
TEST(HostViewScenarioTruth, WithNoOptimumTheEndOfAnExtractionKeepsTheDTmin) {
    ScratchFile table("truth", "process.csv",
                      "name,supply,target,cp,h,kind\nH1,170,60,3,0.2,process\nH2,150,30,1.5,0.2,process\n"
                      "C1,20,135,2,0.2,process\nC2,80,140,4,0.2,process\n");
    const HostRun run = RunViewScript(table.path, "cmd FinishExtraction\nget DeltaTemp.1\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "2: get DeltaTemp.1\n  value 10 C\n")) << run.out;
}

// "OpenHTC" shows the 28 default film coefficients with their names and notes; a value typed
// there is the table's (the scenario reads it), a refusal keeps the value, and a name added stays
// after a reopen.
TEST(HostViewScenarioTruth, TheCoefficientEditorShowsAndEditsTheDefaults) {
    ScratchFile saved("truth", "editor.kcase", "", false);
    const HostRun run = RunViewScript(kFourStreams,
                                  "cmd OpenHTC\nopen @last\ndims HeatTransferCoeff.229\ntext ExtraData.227.26\n"
                                  "get HeatTransferCoeff.229.27\nexpect HCValueTooSmall\nset HeatTransferCoeff.229.1 -1\n"
                                  "set HeatTransferCoeff.229.1 0.5\nsettext ExtraData.227.28 Mine\n"
                                  "expect NameNotUnique\nsettext ExtraData.227.29 Brine\nstatus ExtraData.227.26\n"
                                  "open MyOwnerObject\nget HeatTransferCoeff.229.1\n",
                                  " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "3: dims HeatTransferCoeff.229\n  dims 28\n4: text ExtraData.227.26\n  text <default>\n"
                             "5: get HeatTransferCoeff.229.27\n  value 6 kW/m2-C\n"))
        << run.out;
    EXPECT_TRUE(has(run.out, "7: set HeatTransferCoeff.229.1 -1\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "Error HCValueTooSmall|")) << run.out;
    EXPECT_TRUE(has(run.out, "9: settext ExtraData.227.28 Mine\n  result 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "Error NameNotUnique|")) << run.out;
    EXPECT_TRUE(has(run.out, "12: status ExtraData.227.26\n  read-only\n")) << run.out;
    EXPECT_TRUE(has(run.out, "14: get HeatTransferCoeff.229.1\n  value 0.5 kW/m2-C\n")) << run.out;
    const HostRun again = RunViewScript(saved.path, "text ExtraData.227.28\nget HeatTransferCoeff.229.1\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "1: text ExtraData.227.28\n  text Mine\n2: get HeatTransferCoeff.229.1\n  value 0.5"))
        << again.out;
}

// A second "Air Cooler" in the site's utility editor is refused with its key and stores nothing.
TEST(HostViewScenarioTruth, ASecondAirCoolerIsRefused) {
    ScratchFile script("truth", "cooler.txt",
                       "cmd OpenUDB\nopen @last\nget Enum.900.[]\nexpect AirCoolerAlreadyExists\nset Enum.900.0 2\n"
                       "get Enum.900.[]\n");
    const HostRun run = RunHost("view --new hi-total-site Works --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "5: set Enum.900.0 2\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "Error AirCoolerAlreadyExists|")) << run.out;
    const std::size_t before = run.out.find("3: get Enum.900.[]\n  value ");
    const std::size_t after = run.out.find("6: get Enum.900.[]\n  value ");
    ASSERT_NE(std::string::npos, before) << run.out;
    ASSERT_NE(std::string::npos, after) << run.out;
    const auto line = [&](std::size_t at) {
        const std::size_t start = run.out.find("value", at);
        return run.out.substr(start, run.out.find('\n', start) - start);
    };
    EXPECT_EQ(line(before), line(after)) << run.out;
}

}  // namespace

namespace {

// A default film coefficient outside the range a stream's coefficient takes is refused with its
// key, in the coefficient editor and in the scenario's own table: chosen for a stream, it would
// leave a case that can never be saved.
struct OutOfRange {
    const char* name;
    const char* opening;  // the script lines that reach the table
    const char* value;
    const char* key;
};
void PrintTo(const OutOfRange& c, std::ostream* out) { *out << c.name; }

class HostViewDefaultCoefficientRange : public ::testing::TestWithParam<OutOfRange> {};

TEST_P(HostViewDefaultCoefficientRange, IsRefusedAndTheCaseStillSaves) {
    const OutOfRange& c = GetParam();
    ScratchFile saved("truth", std::string(c.name) + ".kcase", "", false);
    const std::string script = std::string(c.opening) + "get HeatTransferCoeff.229.2\nexpect " + c.key +
                               "\nset HeatTransferCoeff.229.2 " + c.value + "\nget HeatTransferCoeff.229.2\n";
    const HostRun run = RunViewScript(kFourStreams, script, " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, std::string("  Error ") + c.key + "|")) << run.out;
    EXPECT_EQ(2u, [&] {
        std::size_t n = 0;
        for (std::size_t at = run.out.find("  value 0.54575 kW/m2-C\n"); at != std::string::npos;
             at = run.out.find("  value 0.54575 kW/m2-C\n", at + 1))
            ++n;
        return n;
    }()) << run.out;
    // The entry chosen for H1 afterwards: the case saves and reopens with it.
    ScratchFile chosen("truth", std::string(c.name) + "-chosen.kcase", "", false);
    const HostRun choose = RunViewScript(saved.path, "set Enum.511 2\nget HeatTransferCoeff.413.0\n", " --save " + chosen.path);
    ASSERT_EQ(0, choose.exitCode) << choose.out;
    EXPECT_EQ(0, RunHost("targets " + chosen.path).exitCode);
}

INSTANTIATE_TEST_SUITE_P(
    BothTables, HostViewDefaultCoefficientRange,
    ::testing::Values(OutOfRange{"EditorTiny", "cmd OpenHTC\nopen @last\n", "1e-9", "HCValueTooSmall"},
                      OutOfRange{"EditorHuge", "cmd OpenHTC\nopen @last\n", "1e300", "HTCoeffUpdateError"},
                      OutOfRange{"ScenarioTiny", "", "0.0009", "HCValueTooSmall"},
                      OutOfRange{"ScenarioHuge", "", "2e6", "HTCoeffUpdateError"}),
    [](const ::testing::TestParamInfo<OutOfRange>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// Where the scenario has no area target (the utilities cannot cover the targets at DTmin 20) the
// scenario's area reads empty, as the targets job prints "not available", never 0 m2; at DTmin 10
// it reads the area, and with a forbidden match the area LP's two areas, as `targets` prints them.
// So does the capital target of the economics page, the cost of that area.
TEST(HostViewScenarioTruth, NoAreaTargetReadsEmptyNotZero) {
    const HostRun run = RunViewScript(kFourStreams, "get Area.200\nget Area.201\nset DeltaTemp.1 20\nget Area.200\n"
                                                    "get Area.201\nset DeltaTemp.1 10\n"
                                                    "expect ChangingToLPAndGCCChoseForbidden\nset Switch.1200.0.0 1\n"
                                                    "get Area.200\nget Area.201\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: get Area.200\n  value 253.2959613 m2\n2: get Area.201\n  value 308.5409822 m2\n")) << run.out;
    EXPECT_TRUE(has(run.out, "4: get Area.200\n  value empty m2\n5: get Area.201\n  value empty m2\n")) << run.out;
    EXPECT_TRUE(has(run.out, "9: get Area.200\n  value 226.3285805 m2\n10: get Area.201\n  value 280.1864388 m2\n")) << run.out;
    const HostRun targets = RunHost("targets " + kFourStreams + " --dtmin 20");
    EXPECT_TRUE(has(targets.out, "area, countercurrent      not available")) << targets.out;
    const HostRun costs = RunViewScript(kFourStreams, "get cc_net_cc_exch.300\nset DeltaTemp.1 20\nget cc_net_cc_exch.300\n");
    ASSERT_EQ(0, costs.exitCode) << costs.out;
    EXPECT_TRUE(has(costs.out, "1: get cc_net_cc_exch.300\n  value 215554.2227 Cost\n")) << costs.out;
    EXPECT_TRUE(has(costs.out, "3: get cc_net_cc_exch.300\n  value empty Cost\n")) << costs.out;
}

}  // namespace
