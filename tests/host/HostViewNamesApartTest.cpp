// kestrin-host view: one name, one object, wherever a user names one. A site stream is refused
// the name a scenario's own stream bears (added or renamed onto it, naming the scenario); a
// splitter's branches and the splitter take no name a unit or another branch bears; an append
// leaves behind each stream whose name is in use, and fails when that is every one; a renamed
// cost set reads the same before and after a reopen; a utility default differing from another
// only in letter case is refused. Each case is saved, and the case reopens holding what the
// session showed.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string kBack = "open MyOwnerObject\n";

// A new site whose editor holds "Steam X" (300 -> 299 C) and whose "Process 1" holds a process
// stream "Steam X"; it ends on the site's viewer.
const std::string kSteamX = "cmd OpenUDB\nopen @last\nsettext ExtraData.901.21 Steam X\nset Temperature.903.21 300\n"
                            "set Temperature.904.21 299\n" + kBack + "open HIDesignViewerScenario.200.0\n"
                            "settext StrName.401.0 Steam X\nset Temperature.402.0 200\nset Temperature.403.0 100\n"
                            "set HeatCapacityFlow.404.0 1\n" + kBack;

// From the project viewer of a four-stream table: the clone tool opened on "base".
const std::string kCloneTool = "open MyOwnerObject\nattach Viewable.299 base\nopen HIDesignViewerProject.200.0\n"
                               "cmd CloneHI\nopen CloneHIScenarioTool.298\n";

// The splitter of the split network, from the design viewer.
const std::string kSplitter = "set Index.414 1\nset Index.415 3\nopen HeatExchangerViewObject.400\nopen SplitterViewObject.783\n";

struct NamesCase {
    const char* name;
    const char* input;  // "site" (a new total site), "split" (the split network saved), "table" (four streams)
    const char* open;   // the view's --open, or ""
    std::string script;
    std::vector<std::string> shown;   // parts of the run's output
    std::vector<std::string> absent;  // parts it must not show
    std::string reopen;               // read on the saved case
    std::vector<std::string> reread;  // parts of that reading
};
[[maybe_unused]] void PrintTo(const NamesCase& c, std::ostream* os) { *os << c.name; }

class HostViewNamesApart : public ::testing::TestWithParam<NamesCase> {};

TEST_P(HostViewNamesApart, TheNameIsRefusedOrKeptAndTheCaseReopensSo) {
    const NamesCase& c = GetParam();
    ScratchFile saved("namesapart", std::string(c.name) + ".kcase", "", false),
        split("namesapart", std::string(c.name) + "-split.kcase", "", false),
        script("namesapart", std::string(c.name) + ".txt", c.script);
    std::string input = ExamplePath("four-streams.csv");
    if (std::string(c.input) == "site") input = "--new hi-total-site Site1";
    if (std::string(c.input) == "split") {
        const HostRun built = RunHost("design " + ExamplePath("four-streams.csv") + " " +
                                      ExamplePath("four-streams-split-network.csv") + " --save " + split.path);
        ASSERT_EQ(0, built.exitCode) << built.out;
        input = split.path;
    }
    const std::string open = *c.open ? std::string(" --open ") + c.open : std::string();
    const HostRun run = RunHost("view " + input + " --script " + script.path + open + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const std::string& part : c.shown) EXPECT_TRUE(has(run.out, part)) << part << "\n" << run.out;
    for (const std::string& part : c.absent) EXPECT_FALSE(has(run.out, part)) << part << "\n" << run.out;
    const HostRun again = RunViewScript(saved.path, c.reopen, open);
    ASSERT_EQ(0, again.exitCode) << again.out;
    for (const std::string& part : c.reread) EXPECT_TRUE(has(again.out, part)) << part << "\n" << again.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostViewNamesApart,
    ::testing::Values(
        // A site stream added by the name of Process 1's own stream.
        NamesCase{"siteStreamAdded", "site", "",
                  kSteamX + "expect SameStreamErrorMsg\nattach UtilityNameView.599.0 Steam X\n",
                  {"14: attach UtilityNameView.599.0 Steam X\n  result 0\n",
                   "Error SameStreamErrorMsg|A stream of that name already exists in the scenario. Process 1|"},
                  {},
                  "open HIDesignViewerScenario.200.0\ntext StrName.401.[]\ntext StrNameU.440.[]\n",
                  {"2: text StrName.401.[]\n  text Steam X\n  text **New**\n3: text StrNameU.440.[]\n"}},
        // A site stream renamed onto it.
        NamesCase{"siteStreamRenamed", "site", "",
                  kSteamX + "attach UtilityNameView.599.0 HP Steam\nexpect SameStreamErrorMsg\n"
                            "attach UtilityNameView.599.0 Steam X\n",
                  {"15: attach UtilityNameView.599.0 Steam X\n  result 0\n",
                   "Error SameStreamErrorMsg|A stream of that name already exists in the scenario. Process 1|"},
                  {},
                  "open HIDesignViewerScenario.200.0\ntext StrName.401.[]\ntext StrNameU.440.[]\n",
                  {"2: text StrName.401.[]\n  text Steam X\n  text **New**\n3: text StrNameU.440.[]\n  text HP Steam\n"}},
        // Two branches of one name, and the splitter named like a branch.
        NamesCase{"splitterBranches", "split", "design",
                  kSplitter + "settext ExtraData.255.0 Branch-1\nexpect UnitNameError\nsettext ExtraData.255.1 Branch-1\n"
                              "expect UnitNameError\nsettext ExtraData.250 Branch-1\nexpect UnitNameError\n"
                              "settext ExtraData.255.1 E1\ntext ExtraData.255.[]\ntext ExtraData.250\n",
                  {"5: settext ExtraData.255.0 Branch-1\n  result 1\n", "7: settext ExtraData.255.1 Branch-1\n  result 0\n",
                   "9: settext ExtraData.250 Branch-1\n  result 0\n", "11: settext ExtraData.255.1 E1\n  result 0\n"},
                  {},
                  kSplitter + "text ExtraData.255.0\ntext ExtraData.250\n",
                  {"5: text ExtraData.255.0\n  text Branch-1\n6: text ExtraData.250\n  text TEE-"}},
        // A second append of the same scenario: every stream it would bring is there already, so
        // it brings nothing and fails, saying why. The session opens on the scenario, one step
        // below the project viewer, so the first selection of "base" is made from the case view as
        // the others are.
        NamesCase{"appendAgain", "table", "",
                  kBack + kCloneTool + "settext ExtraData.100 copy\ncmd clone\n" + kCloneTool + "set Enum.202 1\ncmd clone\n" +
                      kCloneTool + "set Enum.202 1\nexpect CannotCloneStreamErrorMsg\ncmd clone\ntext ExtraData.100\n" + kBack +
                      "open HIDesignViewerScenario.200(copy)\ntext StrName.401.[]\n",
                  {"23: cmd clone\n  result 0\n", "24: text ExtraData.100\n  text copy\n",
                   "Error CannotCloneStreamErrorMsg|Not copied into the scenario copy, where a stream or a default "
                   "utility has the name already: H1 from base, H2 from base, C1 from base, C2 from base, HP Steam "
                   "from base, Cooling Water from base.|",
                   "27: text StrName.401.[]\n  text H1\n  text H2\n  text C1\n  text C2\n  text H1 from base\n"
                   "  text H2 from base\n  text C1 from base\n  text C2 from base\n  text **New**\n"},
                  {"SameStreamErrorMsg"},
                  kBack + "open HIDesignViewerScenario.200(copy)\ntext StrName.401.[]\n",
                  {"text C2 from base\n  text **New**\n"}},
        // An append of "base" whole after one without C1: the streams there already stay behind,
        // noted beside the work done, and C1 comes along; the tool closes on the project viewer.
        NamesCase{"appendTheRest", "table", "",
                  kBack + kCloneTool + "settext ExtraData.100 copy\ncmd clone\n" + kCloneTool +
                      "set Enum.202 1\ncmd ObjectSelectionToggledOnDataEnum 1002\ncmd clone\n" + kCloneTool +
                      "set Enum.202 1\nexpect CannotCloneStreamErrorMsg\ncmd clone\n"
                      "open HIDesignViewerScenario.200(copy)\ntext StrName.401.[]\n",
                  {"24: cmd clone\n  result 1\n  Message base|clone|0|1|",
                   "Response CannotCloneStreamErrorMsg|Not copied into the scenario copy, where a stream or a default "
                   "utility has the name already: H2 from base.|1|",
                   "text StrName.401.[]\n  text H1\n  text H2\n  text C1\n  text C2\n  text H1 from base\n"
                   "  text H2 from base\n  text C2 from base\n  text C1 from base\n  text **New**\n"},
                  {"SameStreamErrorMsg"},
                  kBack + "open HIDesignViewerScenario.200(copy)\ntext StrName.401.[]\n",
                  {"text C2 from base\n  text C1 from base\n  text **New**\n"}},
        // A cost set renamed twice.
        NamesCase{"costSetRenamed", "table", "scenario",
                  "settext ExtraData.500.1 Cheap\nsettext ExtraData.500.1 Costly\ntext ExtraData.500.[]\n",
                  {"3: text ExtraData.500.[]\n  text DEFAULT\n  text Costly\n  text **New**\n"},
                  {},
                  "text ExtraData.500.[]\n",
                  {"1: text ExtraData.500.[]\n  text DEFAULT\n  text Costly\n  text **New**\n"}},
        // Utility defaults differing from another only in letter case, added and renamed; a
        // utility's own name in other letters is no other utility's.
        NamesCase{"defaultsInAnyCase", "site", "",
                  "cmd OpenUDB\nopen @last\nexpect DefaultUtilityNameError\nsettext ExtraData.901.21 hp steam\n"
                  "expect DefaultUtilityNameError\nsettext ExtraData.901.0 HP STEAM\nsettext ExtraData.901.2 HP STEAM\n"
                  "text ExtraData.901.[]\n",
                  {"4: settext ExtraData.901.21 hp steam\n  result 0\n", "6: settext ExtraData.901.0 HP STEAM\n  result 0\n",
                   "7: settext ExtraData.901.2 HP STEAM\n  result 1\n", "text LP Steam\n  text MP Steam\n  text HP STEAM\n"},
                  {"text hp steam"},
                  "cmd OpenUDB\nopen @last\ntext ExtraData.901.[]\n",
                  {"text LP Steam\n  text MP Steam\n  text HP STEAM\n"}},
        // A utility default named as a site stream is (the stream LP Steam kept its name when its
        // utility was renamed), in any letter case: refused, nothing added (it answered 1 with
        // the message and added an empty utility).
        NamesCase{"defaultNamedLikeASiteStream", "site", "",
                  "cmd OpenUDB\nopen @last\nsettext ExtraData.901.0 Plant Steam\nexpect SameStreamErrorMsg\n"
                  "settext ExtraData.901.21 LP Steam\nexpect SameStreamErrorMsg\nsettext ExtraData.901.21 lp steam\n"
                  "dims ExtraData.901\n",
                  {"5: settext ExtraData.901.21 LP Steam\n  result 0\n", "7: settext ExtraData.901.21 lp steam\n  result 0\n",
                   "8: dims ExtraData.901\n  dims 22\n"},
                  {"DefaultUtilityNameError"},
                  "cmd OpenUDB\nopen @last\ndims ExtraData.901\ntext ExtraData.901.0\n",
                  {"3: dims ExtraData.901\n  dims 22\n4: text ExtraData.901.0\n  text Plant Steam\n"}}),
    [](const ::testing::TestParamInfo<NamesCase>& info) { return std::string(info.param.name); });

}  // namespace
