// kestrin-host view: every command, and every name typed for what a view shows, answers by one
// rule. Each row is a script whose last step is the one under test, on a case a user would have
// (a design, a retrofit study, a network locked for operation, new studies). Where the step must
// refuse or has nothing to do: answer 0, one message with the row's key, and the case saved after
// it byte for byte the case saved just before it. Where it acts: answer 1, no error, and a case
// that saves and reopens.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <ostream>
#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string stem() { return "/tmp/kestrin-answers-" + std::to_string(getpid()) + "-"; }

// The cases the rows open, each made on its first use together with the cases it is made from: a
// designed network, the same as a retrofit study (its base "Network" locked), an operated network
// locked for operation, retrofit runs, copies and site cases. ctest runs each row in a process of
// its own, so a row makes only the case it opens rather than all of them.
std::string caseOf(const std::string& name) {
    struct Made {
        std::map<std::string, bool> cases;
        ~Made() {
            for (const auto& c : cases) std::remove((stem() + c.first + ".case").c_str());
        }
    };
    static Made made;
    const std::string s = stem();
    const std::string path = s + name + ".case";
    if (made.cases.count(name)) return path;
    made.cases[name] = true;
    const std::string script = name + "-making.txt";
    const std::string retrofitSteps = "cmd SelectRetrofitNow\n";
    // Retrofit runs saved with the step each kept: the four-stream plant far from its target.
    const std::string farNetwork =
        "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,200,1,1\nE2,H2,C1,100,1,1\nE3,H1,C1,40,2,2\n";
    if (name == "design") {
        RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") +
                " --save " + path);
    } else if (name == "retrofit" || name == "splitbase" || name == "operatedretrofit" || name == "farretrofit") {
        // The same network made a retrofit study.
        const std::string from = name == "retrofit" ? "design" : name == "splitbase" ? "split"
                                 : name == "operatedretrofit"   ? "operated"
                                                                : "far";
        const std::string source = caseOf(from);
        ScratchFile retrofit("answers", script, retrofitSteps);
        RunHost("view " + source + " --script " + retrofit.path + " --save " + path);
    } else if (name == "plant") {
        RunHost("design " + ExamplePath("retrofit-streams.csv") + " " + ExamplePath("retrofit-network.csv") +
                " --save " + path);
    } else if (name == "operated") {
        RunHost("design " + ExamplePath("operated-streams.csv") + " " + ExamplePath("operated-network.csv") +
                " --save " + path);
    } else if (name == "split") {
        RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-split-network.csv") +
                " --save " + path);
    } else if (name == "optimised") {
        const std::string source = caseOf("design");
        ScratchFile optimise("answers", script, "expect NetOptOk\ncmd Optimize\n");
        RunHost("view " + source + " --open design --script " + optimise.path + " --save " + path);
    } else if (name == "locked") {
        const std::string source = caseOf("operated");
        ScratchFile lock("answers", script, "cmd LockOperation\n");
        RunHost("view " + source + " --open design --script " + lock.path + " --save " + path);
    } else if (name == "repipe" || name == "resequence") {
        // A step kept in each mode that moves an exchanger.
        ScratchFile three("answers", name + "-three.csv", farNetwork);
        RunHost("retrofit " + ExamplePath("four-streams.csv") + " " + three.path + " --mode " + name +
                " --budget 1e6 --save " + path);
    } else if (name == "far") {
        // The same plant made a retrofit study, its base "Network", with no run yet.
        ScratchFile three("answers", name + "-three.csv", farNetwork);
        RunHost("design " + ExamplePath("four-streams.csv") + " " + three.path + " --save " + path);
    } else if (name == "retrofitcopy") {
        // The retrofit scenario copied whole as "Copy" (its second viewer after the reopen).
        const std::string source = caseOf("retrofit");
        ScratchFile copy("answers", script,
                         "attach Viewable.299 base\nopen HIDesignViewerProject.200.0\ncmd CloneHI\n"
                         "open CloneHIScenarioTool.298\nsettext ExtraData.100 Copy\ncmd clone\n");
        RunHost("view " + source + " --open case --script " + copy.path + " --save " + path);
    } else if (name == "retrofitlink") {
        // C1's inlet linked to H1's (25 C above it), then the network made the retrofit's base.
        const std::string source = caseOf("design");
        ScratchFile link("answers", script,
                         "cmd AddDefaultDesign\nset Switch.600.2 1\nopen @last\nset Switch.100.0 1\n"
                         "set DeltaTemp.400 25\ncmd UpdateSimpleLink\nopen MyOwnerObject\nopen MyOwnerObject\n"
                         "cmd SelectRetrofitNow\nset Enum.222 0\nset Index.217 1\ncmd RetrofitNow\n");
        RunHost("view " + source + " --script " + link.path + " --save " + path);
    } else if (name == "site") {
        // The four streams on a site.
        ScratchFile site("answers", script, kFourStreamSite);
        RunHost("view --new hi-total-site Works --script " + site.path + " --save " + path);
    } else if (name == "siteretrofit") {
        // The same with the automatic design's A_Design1 (its heater on the site's HP Steam, its
        // cooler on Cooling Water) made the retrofit's base.
        ScratchFile siteBase("answers", script,
                             kFourStreamSite + "cmd AutomaticHENDesign\ncmd SelectRetrofitNow\nset Enum.222 1\n"
                                               "set Index.217 1\ncmd RetrofitNow\n");
        RunHost("view --new hi-total-site Works --script " + siteBase.path + " --save " + path);
    } else if (name == "siteretrofitmp") {
        // The same with MP Steam added to the site afterwards: the base runs on none of it.
        const std::string source = caseOf("siteretrofit");
        ScratchFile mp("answers", script, "attach UtilityNameView.599.2 MP Steam\n");
        RunHost("view " + source + " --script " + mp.path + " --save " + path);
    }
    return path;
}

struct Answered {
    const char* name;
    const char* opened;  // a case of caseOf, or "--new KIND NAME"
    const char* options; // --open, --automation
    const char* before;  // the steps before the one under test
    const char* step;    // the step under test
    int answer;
    const char* key;     // the one message of a refusal; "" where the step acts
    const char* text;    // a part of that message's text ("" none)
    const char* reopened = "";  // where the step acts: a script run on the case reopened,
    const char* reads = "";     // and a part of what it shows
};
void PrintTo(const Answered& a, std::ostream* out) { *out << a.name; }

class HostViewAnswerRule : public ::testing::TestWithParam<Answered> {};

TEST_P(HostViewAnswerRule, RefusesWithOneMessageAndNoChangeOrActsAndSaves) {
    const Answered& a = GetParam();
    const std::string opened = std::string(a.opened).rfind("--new", 0) == 0 ? std::string(a.opened) : caseOf(a.opened);
    const std::string options = std::string(" ") + a.options;
    ScratchFile before("answers", std::string(a.name) + "-before.case", "", false);
    ScratchFile after("answers", std::string(a.name) + "-after.case", "", false);
    ScratchFile first("answers", std::string(a.name) + "-first.txt", a.before);
    const std::string expect = a.answer == 0 ? std::string("expect ") + a.key + "\n" : std::string();
    ScratchFile whole("answers", std::string(a.name) + "-whole.txt", std::string(a.before) + expect + a.step + "\n");
    const HostRun setUp = RunHost("view " + opened + options + " --script " + first.path + " --save " + before.path);
    ASSERT_EQ(0, setUp.exitCode) << setUp.out;
    const HostRun run = RunHost("view " + opened + options + " --script " + whole.path + " --save " + after.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    // The step under test is the script's last: its answer and what it showed follow its header.
    const std::size_t at = run.out.rfind(std::string(": ") + a.step + "\n");
    ASSERT_NE(std::string::npos, at) << run.out;
    const std::string shown = run.out.substr(at);
    EXPECT_TRUE(has(shown, "\n  result " + std::to_string(a.answer) + "\n")) << shown;
    int errors = 0, told = 0;
    for (std::size_t p = shown.find("\n  Error "); p != std::string::npos; p = shown.find("\n  Error ", p + 1)) ++errors;
    for (std::size_t p = shown.find("\n  Response "); p != std::string::npos; p = shown.find("\n  Response ", p + 1))
        if (shown.find("|2|", p) < shown.find('\n', p + 1) || shown.find("|5|", p) < shown.find('\n', p + 1)) ++told;
    if (a.answer == 0) {
        EXPECT_EQ(1, errors + told) << shown;
        EXPECT_TRUE(has(shown, std::string(" ") + a.key + "|")) << shown;
        if (*a.text) {
            EXPECT_TRUE(has(shown, a.text)) << shown;
        }
        EXPECT_EQ(FileContents(before.path), FileContents(after.path)) << a.name << ": the refusal changed the case";
    } else {
        EXPECT_EQ(0, errors) << shown;
        ScratchFile none("answers", std::string(a.name) + "-none.txt", std::string("# reopened\n") + a.reopened);
        const HostRun again = RunHost("view " + after.path + " --script " + none.path);
        EXPECT_EQ(0, again.exitCode) << again.out;
        EXPECT_TRUE(has(again.out, a.reads)) << again.out;
    }
}

constexpr const char* kOnBase = "attach Viewable.299 Network\nopen HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.0\n";
#define kOnResult "attach Viewable.299 Network-1P-1\nopen HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.0\n"
constexpr const char* kSplitter =
    "set Index.414 1\nset Index.415 2\nopen HeatExchangerViewObject.400\nopen SplitterViewObject.783\nanswer 1\n";
// The segment table of the first process stream, opened from the scenario's stream table.
#define kSegments "set Switch.411.0 1\nopen @last\n"
constexpr const char* kExchanger = "set Index.414 1\nset Index.415 0\nopen HeatExchangerViewObject.400\nanswer 1\n";
// The project viewer with the scenario "base" chosen, from the case view.
constexpr const char* kOnScenario = "attach Viewable.299 base\nopen HIDesignViewerProject.200.0\n";
// The site's viewer with its scenario "Process 1" chosen, from the case view.
#define kOnSiteScenario "attach Viewable.299 Process 1\nopen HIDesignViewerTotalSite.200.0\n"
// The copy of the retrofit scenario, from the case view.
#define kOnCopy "open HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.1\n"
// The retrofit scenario copied as "Copy" with H1 unticked (no design of it comes along), on its viewer.
#define kCopyWithoutH1                                                                                             \
    "attach Viewable.299 base\nopen HIDesignViewerProject.200.0\ncmd CloneHI\nopen CloneHIScenarioTool.298\n"      \
    "cmd ObjectSelectionToggledOnDataEnum 1000\nsettext ExtraData.100 Copy\ncmd clone\n"                          \
    "open HIDesignViewerScenario.200.1\n"
// The editor of C1's link, from the scenario's viewer.
constexpr const char* kLinkEditor = "open LinkTableCollection.200\nopen LinkTable.200.0\n";
// The site's utility-default editor.
constexpr const char* kEditor = "cmd OpenUDB\nopen @last\n";
// A simulator case a scenario can import.
#define kPreheatTrain KESTRIN_EXAMPLES "/extraction/preheat-train.vmc"
// A second scenario of the site, on its viewer.
constexpr const char* kSecondSiteScenario = "cmd AddDefaultScenario Process 2\nopen HIDesignViewerScenario.200.1\n";
// A schedule's event changing C1's inlet on the locked network.
constexpr const char* kInletEvent =
    "cmd AddScheduleToDesign\nset ExtraData.587 7\nsettext HXSelection.389 C1\ncmd AddEventToSchedule\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, HostViewAnswerRule,
    ::testing::Values(
        // A scenario viewer takes its name by the project's rule, never another scenario's.
        Answered{"ScenarioViewerOntoATakenName", "--new hi-project P", "--open project",
                 "settext ExtraData.208 S2\ncmd AddToDesignView\nopen HIDesignViewerScenario.200.0\n",
                 "settext ExtraData.1000 S2", 0, "ThisScenarioNameAlreadyExists", ""},
        Answered{"ScenarioViewerOntoTheNewRowMarker", "--new hi-project P", "--open project",
                 "open HIDesignViewerScenario.200.0\n", "settext ExtraData.1000 **new**", 0, "ThisScenarioNameIsInvalid", ""},
        // No scenario takes the lists' new-row marker, in any letter case, on any route a name takes.
        Answered{"ScenarioAddedOntoTheNewRowMarker", "--new hi-project P", "--open project", "settext ExtraData.208 **new**\n",
                 "cmd AddToDesignView", 0, "ThisScenarioNameIsInvalid", ""},
        Answered{"DefaultScenarioOntoTheNewRowMarker", "--new hi-project P", "--open project", "",
                 "cmd AddDefaultScenario **NEW**", 0, "ThisScenarioNameIsInvalid", ""},
        Answered{"SiteScenarioOntoTheNewRowMarker", "--new hi-total-site W", "", "", "cmd AddDefaultScenario **New**", 0,
                 "ThisScenarioNameIsInvalid", ""},
        Answered{"CloneOntoTheNewRowMarker", "design", "--open case", "attach Viewable.299 base\nopen HIDesignViewerProject.200.0\n"
                 "cmd CloneHI\nopen CloneHIScenarioTool.298\n", "settext ExtraData.100 **new**", 0, "ThisScenarioNameIsInvalid", ""},
        Answered{"CaseRenamedOntoTheNewRowMarker", "--new hi-case W1", "", "", "settext ExtraData.201 **new**", 0,
                 "ThisScenarioNameIsInvalid", ""},
        // An object's own name typed again changes nothing and clashes with nothing.
        Answered{"ScenarioRenamedOntoItsOwnNameThroughTheProject", "design", "--open case",
                 "attach Viewable.299 base\nopen HIDesignViewerProject.200.0\nsettext ExtraData.208 base\n", "cmd RenameView", 1,
                 "", "", "text ExtraData.1000\n", "  text base\n"},
        Answered{"DesignRenamedOntoItsOwnName", "design", "--open case",
                 "attach Viewable.299 Network\nopen HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.0\n"
                 "settext ExtraData.208 Network\n",
                 "cmd RenameView", 1, "", ""},
        Answered{"CaseRenamedOntoItsOwnName", "--new hi-case W1", "", "", "settext ExtraData.201 W1", 1, "", ""},
        Answered{"SiteScenarioRenamedOntoItsOwnName", "site", "--open case", kOnSiteScenario "settext ExtraData.208 Process 1\n",
                 "cmd RenameView", 1, "", ""},
        // The site viewer deletes the scenario chosen, naming it in its question; with the site
        // viewer itself chosen there is none, and it says so.
        Answered{"SiteScenarioDeletedWithNoneChosen", "site", "--open case", "attach Viewable.299 Works\nopen HIDesignViewerTotalSite.200.0\n",
                 "cmd RemoveFromDesignView", 0, "NoScenarioToDelete", ""},
        Answered{"SiteScenarioDeletionDeclined", "site", "--open case", kOnSiteScenario "answer 0\n", "cmd RemoveFromDesignView",
                 0, "ConfirmDeleteHIScenario", "Delete the scenario Process 1 with its streams and designs?"},
        Answered{"ScenarioViewerRenamed", "--new hi-project P", "--open project",
                 "settext ExtraData.208 S2\ncmd AddToDesignView\nopen HIDesignViewerScenario.200.0\n",
                 "settext ExtraData.1000 S3", 1, "", ""},
        Answered{"ProjectRenameWithNothingTyped", "--new hi-project P", "--open project", "", "cmd RenameView", 0,
                 "ThisScenarioNameIsInvalid", ""},
        // The retrofit's base stays the base on every delete route, with or without a user.
        Answered{"BaseDeletedFromTheCaseView", "retrofit", "--open case", kOnBase, "cmd RemoveDesignFromEAC", 0,
                 "DeleteRetrofitBaseCaseError", ""},
        Answered{"BaseDeletedFromTheCaseViewUnderAutomation", "retrofit", "--open case --automation", kOnBase,
                 "cmd RemoveDesignFromEAC", 0, "DeleteRetrofitBaseCaseError", ""},
        Answered{"BaseDeletedFromTheScenarioUnderAutomation", "retrofit", "--open case --automation", kOnBase,
                 "cmd RemoveFromDesignView", 0, "DeleteRetrofitBaseCaseError", ""},
        // The numbered economics of a locked base are read-only, as their named twins.
        Answered{"BaseRateOfReturn", "retrofit", "", "", "set ExtraData.300 12", 0, "ReadOnlyCell", ""},
        Answered{"BasePlantLife", "retrofit", "", "", "set ExtraData.301 7", 0, "ReadOnlyCell", ""},
        Answered{"BaseHours", "retrofit", "", "", "set ExtraData.302 4000", 0, "ReadOnlyCell", ""},
        Answered{"BaseCostLawBasis", "retrofit", "", "", "set Enum.101.0 1", 0, "ReadOnlyCell", ""},
        // The streams of a locked base are the existing network's on every table that writes them:
        // read-only, nothing written. Only what the study leaves to the user (a process stream's
        // flow) is taken there, and the same cells take values on a network that is no base.
        Answered{"BaseStreamFouling", "retrofit", "", "", "set Fouling.412.0 1", 0, "ReadOnlyCell", ""},
        Answered{"BaseUtilityFouling", "retrofit", "", "", "set Fouling.440.0 1", 0, "ReadOnlyCell", ""},
        Answered{"BaseUtilitySpecificHeatByName", "retrofit", "", "", "set Cp.440.0 4", 0, "ReadOnlyCell", ""},
        Answered{"BaseDefaultCoefficientChosen", "retrofit", "", "set RowPos.105 0\n", "set Enum.511 1", 0, "ReadOnlyCell", ""},
        Answered{"StreamFoulingOfANetworkNoBase", "design", "", "", "set Fouling.412.0 1", 1, "", ""},
        Answered{"BaseStreamFlow", "retrofit", "", "", "set MassFlow.105.0 2", 1, "", ""},
        Answered{"BaseSegmentCoefficient", "retrofit", "", kSegments, "set HeatTransferCoeff.100.0 0.1", 0, "ReadOnlyCell", ""},
        Answered{"BaseSegmentSupply", "retrofit", "", kSegments, "set Temperature.100.0 160", 0, "ReadOnlyCell", ""},
        Answered{"BaseSegmentTarget", "retrofit", "", kSegments, "set Temperature.101.0 70", 0, "ReadOnlyCell", ""},
        Answered{"BaseSegmentLoad", "retrofit", "", kSegments, "set HeatFlow.100.0 100", 0, "ReadOnlyCell", ""},
        Answered{"BaseSegmentRate", "retrofit", "", kSegments, "set HeatCapacityFlow.100.0 2", 0, "ReadOnlyCell", ""},
        Answered{"BaseSegmentSpecificHeat", "retrofit", "", kSegments, "set SpecificHeat.100.0 2", 0, "ReadOnlyCell", ""},
        Answered{"BaseSegmentFouling", "retrofit", "", kSegments, "set Fouling.100.0 2", 0, "ReadOnlyCell", ""},
        Answered{"BaseSegmentDefaultBox", "retrofit", "", kSegments, "set Switch.113.0 0", 0, "ReadOnlyCell", ""},
        Answered{"BaseSegmentDefaultChosen", "retrofit", "", kSegments, "set Enum.511 1", 0, "ReadOnlyCell", ""},
        Answered{"BaseSegmentViscosity", "retrofit", "", kSegments, "set Viscosity.101.0 0.001", 0, "ReadOnlyCell", ""},
        Answered{"BaseSegmentConductivity", "retrofit", "", kSegments, "set ThermCond.102.0 0.5", 0, "ReadOnlyCell", ""},
        Answered{"BaseSegmentDensity", "retrofit", "", kSegments, "set MassDensity.103.0 900", 0, "ReadOnlyCell", ""},
        Answered{"BaseSegmentVelocity", "retrofit", "", kSegments, "set Velocity.100 1", 0, "ReadOnlyCell", ""},
        Answered{"BaseSegmentDiameter", "retrofit", "", kSegments, "set Length.104 0.05", 0, "ReadOnlyCell", ""},
        Answered{"BaseSegmentInserted", "retrofit", "", kSegments "set WhereToIns.200 0\n", "cmd InsSeg", 0,
                 "NoChangeinHENRBaseCase", ""},
        Answered{"BaseSegmentFlow", "retrofit", "", kSegments, "set MassFlow.104 2", 1, "", ""},
        // Beside H1's given specific heat (2) the flow overrules none of the base's rates: H1
        // keeps its 3 kW/C.
        Answered{"BaseSegmentFlowBesideItsSpecificHeat", "operatedretrofit", "", kSegments, "set MassFlow.104 2", 1, "",
                 "", kSegments "get HeatCapacityFlow.100.0\n", "value 3 kW/C"},
        Answered{"SegmentCoefficientOfANetworkNoBase", "design", "", kSegments, "set HeatTransferCoeff.100.0 0.5", 1, "", ""},
        // An exchanger's fouling adds to the resistance the network works out: its range is the
        // same whatever was typed before (12 is as good fresh as after 5).
        Answered{"ExchangerFoulingTypedFresh", "design", "--open design", "", "set Fouling.500.0 12", 1, "", ""},
        Answered{"ExchangerFoulingTypedAfterAnother", "design", "--open design", "set Fouling.500.0 5\n",
                 "set Fouling.500.0 12", 1, "", ""},
        // The automatic design of this plant makes one design of the three wanted: it keeps it and
        // says what it did not do, a notice beside an answer of 1.
        Answered{"AutomaticDesignShortOfTheDesignsWanted", "plant", "", "expect NotEnoughDesignsGenerated\n",
                 "cmd AutomaticHENDesign", 1, "", ""},
        // E1 infeasible at an approach of 12 C, its duty cleared: its outlets take a value by hand,
        // but only one past the inlet of their side (H1 enters at 170 C, C2 at 80 C), and the
        // refusal says so.
        Answered{"InfeasibleHotOutletAboveItsInlet", "design", "--open design", "set DeltaTemp.607 12\nset HeatFlow.304.0 empty\n",
                 "set Temperature.346.0 175", 0, "SpecRange", "below its inlet, 170"},
        Answered{"InfeasibleColdOutletBelowItsInlet", "design", "--open design", "set DeltaTemp.607 12\nset HeatFlow.304.0 empty\n",
                 "set Temperature.343.0 10", 0, "SpecRange", "above its inlet, 80"},
        Answered{"InfeasibleHotOutletPastItsInlet", "design", "--open design", "set DeltaTemp.607 12\nset HeatFlow.304.0 empty\n",
                 "set Temperature.346.0 120", 1, "", ""},
        // Beside its given duty (E2, 90 kW) an infeasible unit's outlet is worked out, as a feasible
        // one's: typed, the unit would be given twice (H2 at 80 C out carries 105 kW).
        Answered{"InfeasibleOutletBesideItsDuty", "design", "--open design", "set DeltaTemp.607 12\n",
                 "set Temperature.346.3 80", 0, "ReadOnlyCell", ""},
        Answered{"InfeasibleColdOutletBesideItsDuty", "design", "--open design", "set DeltaTemp.607 12\n",
                 "set Temperature.343.3 60", 0, "ReadOnlyCell", ""},
        // A stream's fouling leaves its film coefficient one a case holds (at least 0.001): the
        // refusal says the room there is, and a fouling within it is taken.
        Answered{"StreamFoulingPastItsFilmsRoom", "design", "", "", "set Fouling.412.0 1000", 0, "FoulingUpdateError",
                 "up to the fouling its film coefficient leaves room for, 995."},
        Answered{"StreamFoulingWithinItsFilmsRoom", "design", "", "", "set Fouling.412.0 900", 1, "", ""},
        Answered{"StreamFoulingAtItsFilmsRoom", "design", "", "", "set Fouling.412.0 995", 1, "", ""},
        // Beside a film of 0.3 the room is 1000 - 1/0.3: the refusal gives it rounded down, a
        // number that is taken when typed.
        Answered{"StreamFoulingPastTheRoomOfAThird", "design", "", "set HeatTransferCoeff.413.0 0.3\n",
                 "set Fouling.412.0 1000", 0, "FoulingUpdateError", "leaves room for, 996.666666666666."},
        Answered{"StreamFoulingAtTheRoomOfAThirdAsPrinted", "design", "", "set HeatTransferCoeff.413.0 0.3\n",
                 "set Fouling.412.0 996.666666666666", 1, "", ""},
        // A film coefficient beside a fouling leaves a coefficient a case holds (995 beside 0.2).
        Answered{"StreamCoefficientBelowItsFoulingsRoom", "design", "", "set Fouling.412.0 995\n",
                 "set HeatTransferCoeff.413.0 0.1", 0, "HTCoeffUpdateError",
                 "This cell takes a value of at least the coefficient its fouling leaves room for, 0.2, and up to 1000000."},
        // A stream splits into whole branches, at least one.
        Answered{"SplittingLimitOfTwoAndAHalf", "design", "", "", "set Index.310.0 2.5", 0, "SplitBranchValueError",
                 "This cell takes a whole number of at least 1."},
        // An exchanger's fouling past what a case holds says its own range, not only the general one.
        Answered{"ExchangerFoulingPastWhatACaseHolds", "design", "--open design", "", "set Fouling.500.0 1.000001e12", 0,
                 "FoulingFactorUpdateError", "This cell takes a value from 0 to 1000000000000."},
        // The exchanger view's delete answers what the design did.
        Answered{"ExchangerOfTheBaseDeleted", "retrofit", "--open design", kExchanger, "cmd DeleteHeatExchanger", 0,
                 "ExchangerNotDeletedRetrofitBase", ""},
        Answered{"ExchangerOfALockedNetworkDeleted", "locked", "--open design", kExchanger, "cmd DeleteHeatExchanger", 0,
                 "ExchangerNotDeletedInOperation", ""},
        // The cross-pinch list sorts by the loads across a pinch the design has.
        Answered{"CrossPinchSortByAPinchNotThere", "design", "--open design", "", "set Enum.550 5", 0, "SpecRange",
                 "its one entry, 0"},
        // A locked network's sizes are frozen in the exchanger view as in the design viewer's lists.
        Answered{"ExchangerAreaOfALockedNetwork", "locked", "--open design", kExchanger, "set Area.200 140", 0,
                 "ReadOnlyCell", ""},
        Answered{"ExchangerShellsOfALockedNetwork", "locked", "--open design", kExchanger, "set ExtraData.701.0 3", 0,
                 "ReadOnlyCell", ""},
        Answered{"ExchangerAreaOfALockedNetworkOpenedForModification", "locked", "--open design",
                 "cmd ModifyOperation\nset Index.414 1\nset Index.415 0\nopen HeatExchangerViewObject.400\nanswer 1\n",
                 "set Area.200 140", 1, "", ""},
        Answered{"ExchangerDeleted", "design", "--open design", kExchanger, "cmd DeleteHeatExchanger", 1, "", ""},
        // An optimisation that improved the network did what it was asked, and says so as a notice.
        Answered{"OptimisationImprovedTheNetwork", "design", "--open design", "expect NetOptOk\n", "cmd Optimize", 1, "", ""},
        // An optimum optimised again: no better network, the run's result 3, and the case as it was.
        Answered{"OptimisationWithNothingToImprove", "optimised", "--open design=Network-O", "", "cmd Optimize", 0,
                 "NetOptFail", ""},
        Answered{"OptimisationDeclined", "--new hi-case W1", "", "cmd OpenDesignView\nopen @last\nanswer 0\n", "cmd Optimize", 0,
                 "optimizationwilloverwritedesign", ""},
        // A design cloned is the selection: the question before a delete names it.
        Answered{"CloneThenDeleteDeclined", "design", "--open case",
                 "attach Viewable.299 Network\nopen HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.0\n"
                 "settext ExtraData.208 CopyX\ncmd CloneDesign\nanswer 0\n",
                 "cmd RemoveFromDesignView", 0, "ConfirmDeleteHENDesign", "Delete the design CopyX?"},
        // A stream's end temperature is the stream's: not written at a unit, feasible or not.
        Answered{"StreamEndAtAnInfeasibleUnit", "design", "--open design", "set DeltaTemp.607 12\n",
                 "set Temperature.347.0 175", 0, "ReadOnlyCell", ""},
        // A simulator case not there or not read brings nothing in, and says which.
        Answered{"MissingSimulatorCase", "--new hi-case W1", "", "", "cmd ImportVelmorScenario 0 /nonexistent/nonexist.vmc",
                 0, "CouldNotFindVelmorFile", "nonexist.vmc"},
        Answered{"MissingSimulatorCaseUnderAutomation", "--new hi-case W1", "--automation", "",
                 "cmd ImportVelmorScenario 0 /nonexistent/nonexist.vmc", 0, "CouldNotFindVelmorFile", ""},
        // A retrofit study's streams are its base's: a simulator case brings none into it, and
        // the refused import leaves the scenario's settings as they were.
        Answered{"SimulatorCaseIntoARetrofit", "retrofit", "", "", "cmd ImportVelmorScenario 0 " kPreheatTrain, 0,
                 "NoChangeinHENRBaseCase", ""},
        Answered{"SimulatorCaseIntoARetrofitUnderAutomation", "retrofit", "--automation", "",
                 "cmd ImportVelmorScenario 0 " kPreheatTrain, 0, "NoChangeinHENRBaseCase", ""},
        // A refused coefficient or fouling says the range of its own cell, which the key shared
        // with cells of other ranges does not.
        // A film at the lowest coefficient a case holds leaves a fouling no room: said as any room is.
        Answered{"StreamFoulingBesideTheLowestFilm", "design", "", "set HeatTransferCoeff.413.0 0.001\n", "set Fouling.412.0 1",
                 0, "FoulingUpdateError", "up to the fouling its film coefficient leaves room for, 0."},
        Answered{"StreamFoulingOfNoneBesideTheLowestFilm", "design", "", "set HeatTransferCoeff.413.0 0.001\n",
                 "set Fouling.412.0 0", 1, "", ""},
        Answered{"StreamCoefficientBelowItsRange", "design", "", "", "set HeatTransferCoeff.413.0 -1", 0,
                 "HTCoeffUpdateError", "This cell takes a value from 0.001 to 1000000."},
        Answered{"UtilityCoefficientAboveItsRange", "design", "", "", "set HeatTransferCoeff.440.0 1e9", 0,
                 "HTCoeffUpdateError", "This cell takes a value from 0.001 to 1000000."},
        Answered{"StreamFoulingBelowItsRange", "design", "", "", "set Fouling.412.0 -1", 0, "FoulingUpdateError",
                 "This cell takes a value of at least 0, and a value up to the fouling its film coefficient leaves room for"},
        Answered{"UtilityFoulingBelowItsRange", "design", "", "", "set Fouling.440.0 -1", 0, "FoulingUpdateError",
                 "This cell takes a value of at least 0, and a value up to the fouling its film coefficient leaves room for"},
        Answered{"EventFlowBelowItsRange", "locked", "--open design",
                 "cmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 H1\ncmd AddEventToSchedule\n",
                 "set ExtraData.358 -5", 0, "FlowRateUpdateError", "This cell takes a value above 0 and up to 1000000000000."},
        // A stream's new inlet lies on the near side of its target (C1 is heated to 135 C).
        Answered{"EventInletBelowAbsoluteZero", "locked", "--open design", kInletEvent, "set ExtraData.358 -300", 0,
                 "TemperatureUpdateError", "This cell takes a value of at least -273.15, and below its target, 135."},
        Answered{"EventInletPastAnyFurnace", "locked", "--open design", kInletEvent, "set ExtraData.358 1e13", 0,
                 "TemperatureUpdateError", "This cell takes a value of at least -273.15, and below its target, 135."},
        Answered{"EventInletPastItsTarget", "locked", "--open design", kInletEvent, "set ExtraData.358 150", 0,
                 "ColdStreamInletTemperatureUpdateError", "This cell takes a value of at least -273.15, and below its target, 135."},
        // Within a thousandth of a kilowatt of its target (2 kW/C x 0.0005 C) C1 would carry no
        // load a case holds: the range says the load too.
        Answered{"EventInletAtItsTargetsLoad", "locked", "--open design", kInletEvent, "set ExtraData.358 134.9995", 0,
                 "ColdStreamInletTemperatureUpdateError",
                 "and below its target, 135, that leaves its first segment a load from 0.001 to"},
        Answered{"EventInlet", "locked", "--open design", kInletEvent, "set ExtraData.358 25", 1, "", ""},
        Answered{"EventCoefficientBelowItsRange", "locked", "--open design",
                 "cmd AddScheduleToDesign\nset ExtraData.587 0\nsettext HXSelection.389 E100\ncmd AddEventToSchedule\n",
                 "set ExtraData.358 -5", 0, "HTCoeffUpdateError", "This cell takes a value above 0 and up to 1000000."},
        // A write answers by the same rule: one that did its work tells what came with it as a
        // notice (the method the area target now takes), never as an error beside its 1.
        Answered{"ForbiddingAMatch", "design", "", "expect ChangingToLPAndGCCChoseForbidden\n", "set Switch.1200.0.0 1", 1,
                 "", ""},
        // A network that does not calculate (E4 given 100 kW runs the heater and the cooler
        // backwards) is no retrofit base, and is not made one.
        Answered{"RetrofitBaseThatDoesNotCalculate", "design", "--open design", "set HeatFlow.304.1 100\n",
                 "cmd OpenRetrofitOptionView", 0, "RetrofitBaseNotCalculated",
                 "E3, E2, Heater, Cooler not calculated; a stream misses its target; a heater or cooler runs backwards"},
        // A unit takes no name another unit bears, nor the lists' new-row marker, through the design
        // viewer's list or its own view; a design no name another design bears.
        Answered{"UnitRenamedOntoATakenName", "design", "--open design", "", "settext Name.300.0 E4", 0,
                 "HeatExchangerNameError", ""},
        Answered{"UnitRenamedOntoTheNewRowMarker", "design", "--open design", "", "settext Name.300.0 **new**", 0,
                 "NewRowMarkerEntryName", ""},
        Answered{"UnitRenamedInItsViewOntoTheNewRowMarker", "design", "--open design", kExchanger,
                 "settext ExtraData.205 **New**", 0, "NewRowMarkerEntryName", ""},
        // A retrofit's locked base renames no utility, as no process stream.
        Answered{"UtilityRenamedOnTheBase", "retrofit", "", "", "settext StrNameU.440.0 Steam2", 0, "ReadOnlyCell", ""},
        Answered{"UtilityRenamed", "design", "", "", "settext StrNameU.440.0 Steam2", 1, "", ""},
        Answered{"UnitRenamedInItsView", "design", "--open design", kExchanger, "settext ExtraData.205 Main", 1, "", ""},
        Answered{"DesignRenamedOntoATakenName", "design", "--open case",
                 "attach Viewable.299 Network\nopen HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.0\n"
                 "settext ExtraData.208 CopyX\ncmd CloneDesign\nsettext ExtraData.208 Network\n",
                 "cmd RenameView", 0, "ThisDesignNameAlreadyExists", ""},
        // A schedule takes no name another schedule bears, nor the event summary's own row's, nor
        // the lists' new-row marker.
        Answered{"ScheduleRenamedOntoATakenName", "locked", "--open design", "cmd AddScheduleToDesign\ncmd AddScheduleToDesign\n",
                 "settext ExtraData.593 Event-P1", 0, "EventNameAlreadyUsed", ""},
        Answered{"ScheduleRenamedOntoTheBaseCaseRow", "locked", "--open design", "cmd AddScheduleToDesign\n",
                 "settext ExtraData.593 base case", 0, "EventNameAlreadyUsed", ""},
        Answered{"ScheduleRenamedOntoTheNewRowMarker", "locked", "--open design", "cmd AddScheduleToDesign\n",
                 "settext ExtraData.593 **new**", 0, "NewRowMarkerEntryName", ""},
        Answered{"ScheduleRenamed", "locked", "--open design", "cmd AddScheduleToDesign\n", "settext ExtraData.593 Startup",
                 1, "", ""},
        // A retrofit run's result takes its name by the design rule; renamed, it is the user's,
        // and the run no longer offers it for deletion.
        Answered{"RetrofitResultRenamedOntoATakenName", "repipe", "--open case", kOnResult "settext ExtraData.208 Network\n",
                 "cmd RenameView", 0, "ThisDesignNameAlreadyExists", ""},
        Answered{"RetrofitResultRenamedOntoTheNewRowMarker", "repipe", "--open case", kOnResult "settext ExtraData.208 **New**\n",
                 "cmd RenameView", 0, "NewRowMarkerEntryName", ""},
        Answered{"RetrofitResultRenamed", "repipe", "--open case", kOnResult "settext ExtraData.208 Kept\n", "cmd RenameView",
                 1, "", ""},
        Answered{"RetrofitResultRenamedIsTheUsers", "repipe", "--open case",
                 kOnResult "settext ExtraData.208 Kept\ncmd RenameView\nopen HIDesignViewerDesign.200.0\n",
                 "cmd DeleteNewRetrofitDesign", 0, "NoRetrofitDesignToDelete", ""},
        Answered{"NewDesignOntoTheNewRowMarker", "design", "--open case",
                 "open HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.0\n", "cmd AddDefaultDesign **new**", 0,
                 "NewRowMarkerEntryName", ""},
        // Commands with nothing to do say why.
        Answered{"NewRetrofitDesignWithNoneMade", "retrofit", "--open design", "", "cmd DeleteNewRetrofitDesign", 0,
                 "NoRetrofitDesignToDelete", ""},
        // A design viewer opened on a case a retrofit run was saved in knows the run's result, of
        // whatever kind the run made.
        Answered{"RepipedResultOfASavedRun", "repipe", "--open design", "", "cmd DeleteNewRetrofitDesign", 1, "", ""},
        Answered{"ResequencedResultOfASavedRun", "resequence", "--open design", "", "cmd DeleteNewRetrofitDesign", 1, "",
                 ""},
        Answered{"CaseSelectionOfAnUnknownName", "design", "--open case", "", "attach Viewable.299 Nope", 0,
                 "ObjectNotAttached", "Nope"},
        // A command with nothing to act on says what it found missing and leaves the case (and the
        // view's saved choices) as they were; beside each, the same word where it has work.
        Answered{"UnlockRetrofitOffARetrofit", "design", "", "", "cmd UnlockRetrofit", 0, "NoRetrofitToUnlock", ""},
        Answered{"UnlockRetrofit", "retrofit", "", "", "cmd UnlockRetrofit", 1, "", ""},
        Answered{"UnusedUtilitiesOutsideAutomation", "design", "", "", "cmd DeleteUnusedUtilities", 0,
                 "UnusedUtilitiesDeletedByAutomation", ""},
        Answered{"UnusedUtilitiesWithNoneUnused", "design", "--automation", "", "cmd DeleteUnusedUtilities", 0,
                 "NoUnusedUtilities", "it carries a load in the targets"},
        Answered{"UnusedUtilitiesOfARetrofit", "retrofit", "--automation", "", "cmd DeleteUnusedUtilities", 0,
                 "NoChangeinHENRBaseCase", ""},
        Answered{"ForbiddenMatchesWithNoneForbidden", "design", "", "", "cmd RemoveAllForbMatches", 0,
                 "NoForbiddenMatchesToRemove", ""},
        Answered{"ForbiddenMatchesRemoved", "design", "",
                 "expect ChangingToLPAndGCCChoseForbidden\nset Switch.1200.0.0 1\nexpect ChangingToBathChoseUnForbidAll\n",
                 "cmd RemoveAllForbMatches", 1, "", ""},
        Answered{"SubsetsWithNoneFound", "design", "", "", "cmd ClearAllSubsets", 0, "NoSubsetsToClear", ""},
        // A search or a retrofit step that finds nothing leaves no trace in the case: no empty
        // list of subsets, no design number taken by the step's discarded design.
        Answered{"SubsetsSearchedWhereNoneIs", "design", "", "", "cmd SearchSubsets", 0, "NoSubsetsFound", ""},
        Answered{"RetrofitStepDiscarded", "farretrofit", "--open design", "cmd AddNewHX\nset Cost.980 1\n",
                 "cmd RunRetrofitOptimization", 0, "RetNewHXFail", ""},
        Answered{"RetrofitStepDiscardedUnderAutomation", "farretrofit", "--open design --automation",
                 "cmd AddNewHX\nset Cost.980 1\n", "cmd RunRetrofitOptimization", 0, "RetNewHXFail", ""},
        // A link's editor deleting its link did what it was asked: answer 1, not "nothing to do it on".
        Answered{"LinkDeletedFromItsEditor", "plant", "",
                 "cmd AddDefaultDesign\nset Switch.600.2 1\nopen @last\nset Switch.100.0 1\nset DeltaTemp.400 25\n"
                 "cmd UpdateSimpleLink\nopen MyOwnerObject\nopen MyOwnerObject\nopen LinkTableCollection.200\n"
                 "open LinkTable.200.0\n",
                 "cmd DeleteLink", 1, "", ""},
        Answered{"ModifyOperationUnlocked", "design", "--open design", "", "cmd ModifyOperation", 0, "NoOperationToModify", ""},
        Answered{"SolveOperationsUnlocked", "design", "--open design", "", "cmd SolveOperations", 0, "NoOperationToModify", ""},
        Answered{"SolveOperations", "locked", "--open design", "", "cmd SolveOperations", 1, "", ""},
        Answered{"SplitOptimisationWithNoSplit", "design", "--open design", "", "cmd RunSplitOptimization", 0,
                 "NoSplitToOptimise", ""},
        Answered{"SplitOptimisation", "split", "--open design", "", "cmd RunSplitOptimization", 1, "", ""},
        // A retrofit copy is made around a design of the scenario chosen: around none, nothing is made.
        Answered{"CloneAndRetrofitAroundNoDesign", "design", "--open case", kOnScenario,
                 "cmd CloneAndRetrofit Nope", 0, "RetNoDes", "There is no design to retrofit: the scenario base has no design Nope."},
        Answered{"CloneAndRetrofitNamingNone", "design", "--open case", kOnScenario,
                 "cmd CloneAndRetrofit", 0, "RetNoDes", "no design of the scenario base is named."},
        Answered{"SiteCloneAndRetrofitAroundNoDesign", "site", "--open case", kOnSiteScenario,
                 "cmd CloneAndRetrofit Nope", 0, "RetNoDes", "the scenario Process 1 has no design Nope."},
        Answered{"RetrofitNowWithNoDesign", "--new hi-project P", "--open scenario",
                 "answer 1\nexpect ConfirmDeleteHENDesign\ncmd RemoveFromDesignView\n", "cmd RetrofitNow", 0, "RetNoDes",
                 "the scenario Scenario 1 has no design."},
        Answered{"RetrofitStepOnADesignWithoutExchangers", "design", "",
                 "cmd SelectRetrofitNow\ncmd AddDefaultDesign Other\nopen HIDesignViewerDesign.200.1\n", "cmd UtilHX", 0,
                 "RetNoDes", "the design Other has no exchanger."},
        Answered{"CloneAndRetrofit", "design", "--open case", kOnScenario,
                 "cmd CloneAndRetrofit Network", 1, "", ""},
        // Around a design that does not calculate no retrofit copy is made, by any route.
        Answered{"CloneAndRetrofitAroundAnUncalculatedDesign", "design", "--open case",
                 "attach Viewable.299 base\nopen HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.0\n"
                 "cmd AddDefaultDesign D2\nopen MyOwnerObject\n",
                 "cmd CloneAndRetrofit D2", 0, "RetrofitBaseNotCalculated", "misses its target"},
        Answered{"RetrofitNowFromAnUncalculatedDesign", "design", "",
                 "cmd AddDefaultDesign D2\nopen HIDesignViewerDesign.200.1\n", "cmd RetrofitNow", 0,
                 "RetrofitBaseNotCalculated", ""},
        Answered{"SiteCloneAndRetrofitAroundAnUncalculatedDesign", "site", "--open case",
                 kOnSiteScenario "open HIDesignViewerScenario.200.0\ncmd AddDefaultDesign D2\nopen MyOwnerObject\n",
                 "cmd CloneAndRetrofit D2", 0, "RetrofitBaseNotCalculated", ""},
        // The case view's rename renames the project, and says so; the project's own name typed
        // again is no clash.
        Answered{"ProjectRenamedFromTheCaseView", "design", "--open case", "settext ExtraData.208 NewName\n", "cmd RenameView",
                 1, "", ""},
        Answered{"SiteRenamedFromTheCaseView", "site", "--open case", "settext ExtraData.208 Plant2\n", "cmd RenameView", 1,
                 "", ""},
        Answered{"ProjectRenamedOntoItsOwnName", "design", "--open case", "settext ExtraData.208 Kestrin project\n",
                 "cmd RenameView", 1, "", ""},
        // A row past the stream lists chooses no stream: nothing to switch or to show, and said so.
        Answered{"UtilitySwitchedWithNoRow", "design", "", "set RowPos.106 9\n", "cmd SwitchUtilToProcess", 0,
                 "GetStreamError", ""},
        Answered{"StreamSwitchedWithNoRow", "design", "", "set RowPos.105 9\n", "cmd SwitchProcessToUtil", 0,
                 "GetStreamError", ""},
        Answered{"SegmentsWithNoRow", "design", "", "set RowPos.105 9\n", "cmd ViewSegTableView", 0, "GetStreamError", ""},
        Answered{"UtilitySegmentsWithNoRow", "design", "", "set RowPos.106 9\n", "cmd ViewSegTableViewU", 0,
                 "GetStreamError", ""},
        // A utility table where no row was ever chosen chooses no stream either.
        Answered{"UtilitySwitchedWithNoRowChosen", "design", "", "", "cmd SwitchUtilToProcess", 0, "GetStreamError", ""},
        Answered{"UtilitySegmentsWithNoRowChosen", "design", "", "", "cmd ViewSegTableViewU", 0, "GetStreamError", ""},
        Answered{"UtilityCoefficientsWithNoRowChosen", "design", "", "", "cmd ViewUtilHTCDefaultValueView", 0,
                 "GetStreamError", ""},
        Answered{"UtilitySwitched", "design", "", "set RowPos.106 0\n", "cmd SwitchUtilToProcess", 1, "", ""},
        // The site viewer's utility table: the chosen site stream's segments open; none chosen,
        // or a row past the list, shows nothing.
        Answered{"SiteUtilitySegments", "site", "", "set RowPos.106 0\n", "cmd ViewSegTableViewU", 1, "", ""},
        Answered{"SiteUtilitySegmentsWithNoRowChosen", "site", "", "", "cmd ViewSegTableViewU", 0, "GetStreamError", ""},
        Answered{"SiteUtilitySegmentsWithNoRow", "site", "", "set RowPos.106 9\n", "cmd ViewSegTableViewU", 0,
                 "GetStreamError", ""},
        Answered{"SiteDefaultUtilityAddedWithNoneSelected", "--new hi-total-site W", "", "", "cmd AddUtilityToUtilityStreams", 0,
                 "NoDefaultUtilitySelected", ""},
        Answered{"CoefficientsWithNoRow", "design", "", "set RowPos.105 9\n", "cmd ViewHTCDefaultValueView", 0,
                 "GetStreamError", ""},
        Answered{"UtilityCoefficientsWithNoRow", "design", "", "set RowPos.106 9\n", "cmd ViewUtilHTCDefaultValueView", 0,
                 "GetStreamError", ""},
        Answered{"Segments", "design", "", "set RowPos.105 0\n", "cmd ViewSegTableView", 1, "", ""},
        // The match cost models and cost coefficients of a retrofit's locked base are the
        // existing network's.
        Answered{"MatchCostModelsResetOnTheBase", "retrofit", "", "", "cmd ResetEconomicData", 0, "NoChangeinHENRBaseCase", ""},
        Answered{"CostCoefficientsAppliedOnTheBase", "retrofit", "", "", "cmd ApplyNewBCValues", 0, "NoChangeinHENRBaseCase",
                 ""},
        Answered{"MatchCostModelsReset", "design", "", "", "cmd ResetEconomicData", 1, "", ""},
        Answered{"ExportedWithNoDesignSelected", "design", "", "", "cmd ExportVelmor", 0, "NoDesignSelected", ""},
        // A unit's own name typed again changes nothing and clashes with nothing.
        Answered{"UnitRenamedOntoItsOwnName", "design", "--open design", "", "settext Name.300.0 E1", 1, "", ""},
        Answered{"UnitRenamedInItsViewOntoItsOwnName", "design", "--open design", kExchanger, "settext ExtraData.205 E1", 1,
                 "", ""},
        // A split of the retrofit's base stays: the base is the reason told.
        Answered{"SplitDeletedOnTheBase", "splitbase", "--open design", kSplitter, "cmd DeleteSplit", 0,
                 "GridEditLockedRetrofitBase", ""},
        Answered{"BranchAddedOnTheBase", "splitbase", "--open design", kSplitter, "cmd AddBranchToExistingSplit", 0,
                 "GridEditLockedRetrofitBase", ""},
        Answered{"SplitDeleted", "split", "--open design", kSplitter, "cmd DeleteSplit", 1, "", ""},
        // The splitter names its units as every unit route does: the new-row marker is no name.
        Answered{"SplitterRenamedOntoTheNewRowMarker", "split", "--open design", kSplitter, "settext ExtraData.250 **new**", 0,
                 "NewRowMarkerEntryName", ""},
        Answered{"BranchRenamedOntoTheNewRowMarker", "split", "--open design", kSplitter, "settext ExtraData.255.0 **NEW**", 0,
                 "NewRowMarkerEntryName", ""},
        // A copy of a retrofit study holds its streams as the study does, also once saved and reopened.
        Answered{"CopyOfTheBaseStreamFouling", "retrofitcopy", "--open case", kOnCopy, "set Fouling.412.0 1", 0,
                 "ReadOnlyCell", ""},
        Answered{"CopyOfTheBaseForbiddenMatch", "retrofitcopy", "--open case", kOnCopy, "set Switch.1200.0.0 1", 0,
                 "ReadOnlyCell", ""},
        Answered{"CopyOfTheBaseDefaultCoefficientChosen", "retrofitcopy", "--open case", kOnCopy "set RowPos.105 0\n",
                 "set Enum.511 1", 0, "ReadOnlyCell", ""},
        Answered{"CopyOfTheBaseSegmentSupply", "retrofitcopy", "--open case", kOnCopy kSegments,
                 "set Temperature.100.0 160", 0, "ReadOnlyCell", ""},
        Answered{"CopyOfTheBaseSegmentInserted", "retrofitcopy", "--open case", kOnCopy kSegments "set WhereToIns.200 0\n",
                 "cmd InsSeg", 0, "NoChangeinHENRBaseCase", ""},
        Answered{"CopyOfTheBaseStreamFlow", "retrofitcopy", "--open case", kOnCopy, "set MassFlow.105.0 2", 1, "", ""},
        // A copy that leaves H1, and so the base design, behind is an ordinary scenario at once.
        Answered{"CopyWithoutItsBaseStreamFouling", "retrofit", "--open case", kCopyWithoutH1, "set Fouling.412.0 1", 1,
                 "", ""},
        Answered{"CopyWithoutItsBaseUnlocked", "retrofit", "--open case", kCopyWithoutH1, "cmd UnlockRetrofit", 0,
                 "NoRetrofitToUnlock", ""},
        // The link of a base's stream is the existing network's: its editor changes and deletes
        // nothing, and no link is made on a base's stream.
        Answered{"LinkOfTheBaseOffset", "retrofitlink", "", kLinkEditor, "set DeltaTemp.400 40", 0, "ReadOnlyCell", ""},
        Answered{"LinkOfTheBaseDeleted", "retrofitlink", "", kLinkEditor, "cmd DeleteLink", 0, "NoChangeinHENRBaseCase", ""},
        Answered{"LinkOfTheBaseUpdated", "retrofitlink", "", kLinkEditor, "cmd UpdateSimpleLink", 0,
                 "NoChangeinHENRBaseCase", ""},
        Answered{"LinkMadeOnTheBase", "retrofitlink", "--open case", kOnBase, "set Switch.600.3 1", 0, "ReadOnlyCell", ""},
        Answered{"LinkOfTheBaseMadeAdvanced", "retrofitlink", "", kLinkEditor, "cmd ShowAdvancedLinkView", 0,
                 "NoChangeinHENRBaseCase", ""},
        // A site utility the retrofit's base runs on (HP Steam feeds its heater) is the existing
        // network's on the site's own table too: values, name and row; the same cells take values
        // on a site with no retrofit.
        Answered{"SiteUtilityOfTheBaseSupply", "siteretrofit", "", "", "set Temperature.440.0 260", 0, "ReadOnlyCell", ""},
        Answered{"SiteUtilityOfTheBaseTarget", "siteretrofit", "", "", "set Temperature.441.0 240", 0, "ReadOnlyCell", ""},
        Answered{"SiteUtilityOfTheBaseCoefficient", "siteretrofit", "", "", "set HeatTransferCoeff.440.0 2", 0, "ReadOnlyCell",
                 ""},
        Answered{"SiteUtilityOfTheBasePrice", "siteretrofit", "", "", "set CostPerEnergy.445.0 100", 0, "ReadOnlyCell", ""},
        Answered{"SiteUtilityOfTheBaseRenamed", "siteretrofit", "", "", "attach UtilityNameView.599.0 MP Steam", 0,
                 "NoChangeinHENRBaseCase", ""},
        Answered{"SiteUtilityOfTheBaseDeleted", "siteretrofit", "", "", "attach UtilityNameView.599.0 empty", 0,
                 "NoChangeinHENRBaseCase", ""},
        // Typed in another scenario of the site, the utility's data would reach the site and the base.
        Answered{"SiteUtilityOfTheBaseInAnotherScenario", "siteretrofit", "", kSecondSiteScenario,
                 "set Temperature.440.0 260", 0, "ReadOnlyCell", ""},
        Answered{"SiteUtilityInAnotherScenario", "site", "", kSecondSiteScenario, "set Temperature.440.0 260", 1, "", ""},
        // A site utility the base does not run on (MP Steam) is held nowhere, also once reopened.
        Answered{"SiteUtilityNotOfTheBaseInAnotherScenario", "siteretrofitmp", "", kSecondSiteScenario,
                 "set Temperature.440.2 200", 1, "", ""},
        Answered{"SiteUtilitySupply", "site", "", "", "set Temperature.440.0 260", 1, "", ""},
        Answered{"SiteUtilityCoefficient", "site", "", "", "set HeatTransferCoeff.440.0 2", 1, "", ""},
        // The site's utility-default editor passes its values on to the site stream: those of the
        // base's utility (HP Steam, its row 2) are held there too, as are its name and row; a value
        // it does not pass on (a viscosity) and a site with no retrofit take writes.
        Answered{"SiteUtilityOfTheBaseInTheEditor", "siteretrofit", "", kEditor, "set Temperature.903.2 260", 0,
                 "ReadOnlyCell", ""},
        Answered{"SiteUtilityOfTheBaseRenamedInTheEditor", "siteretrofit", "", kEditor, "settext ExtraData.901.2 Steam",
                 0, "NoChangeinHENRBaseCase", ""},
        Answered{"SiteUtilityOfTheBaseViscosityInTheEditor", "siteretrofit", "", kEditor, "set Viscosity.910.2 0.02", 1,
                 "", ""},
        Answered{"SiteUtilityInTheEditor", "site", "", kEditor, "set Temperature.903.2 260", 1, "", ""},
        // A command with nothing to do it on answers 0 and says why; beside each, the same word
        // where it acts.
        Answered{"ScenarioAddedWithNoName", "--new hi-project P", "--open project", "", "cmd AddToDesignView", 0,
                 "ThisScenarioNameIsInvalid", ""},
        Answered{"ScenarioAdded", "--new hi-project P", "--open project", "settext ExtraData.208 S2\n",
                 "cmd AddToDesignView", 1, "", ""},
        Answered{"SiteScenarioAddedWithNoName", "site", "", "", "cmd AddToDesignView", 0, "ThisScenarioNameIsInvalid", ""},
        Answered{"NoteDeletedWithNoneChosen", "--new hi-project P", "--open project", "cmd AddNote\n", "cmd DeleteNote", 0,
                 "NoNoteSelected", ""},
        Answered{"NoteDeleted", "--new hi-project P", "--open project", "cmd AddNote\nsettext ExtraData.212 Note 1\n",
                 "cmd DeleteNote", 1, "", ""},
        Answered{"BranchRemovedThroughAUnit", "design", "--open grid", "", "cmd RemoveBranch \"E1\"", 0,
                 "GridNoBranchToRemove", "E1"},
        Answered{"ExportedWithNoSimulatorCase", "design", "--open case", kOnBase, "cmd ExportVelmor", 0,
                 "NoSimulatorCaseToWrite", "Network"},
        Answered{"ExportedFromASimulatorCase", "--new hi-case W1", "", "cmd ImportVelmorScenario 0 " kPreheatTrain "\n",
                 "cmd ExportVelmor", 1, "", ""},
        Answered{"EventPlanDeletedWithNoPlan", "locked", "--open design", "cmd ShowEventPlannerView\nopen @last\n",
                 "cmd DeleteEventPlan", 0, "NoEventSelected", ""},
        Answered{"EventPlanDeleted", "locked", "--open design",
                 "cmd ShowEventPlannerView\nopen @last\ncmd CreateNewEventPlan\n", "cmd DeleteEventPlan", 1, "", ""},
        Answered{"DesignsSwappedWithOneDesign", "design", "--open case", kOnBase, "cmd SwapDesigns", 0,
                 "NoOtherDesignToSwap", ""},
        Answered{"DesignsSwapped", "design", "--open case",
                 "open HIDesignViewerProject.200.0\nopen HIDesignViewerScenario.200.0\ncmd AddDefaultDesign D2\n"
                 "open MyOwnerObject\nopen MyOwnerObject\nattach Viewable.299 Network\nopen HIDesignViewerProject.200.0\n"
                 "open HIDesignViewerScenario.200.0\n",
                 "cmd SwapDesigns", 1, "", ""},
        Answered{"CostCoefficientAppliedWithNothingEdited", "design", "", "", "cmd ApplyNewBCValues", 0,
                 "NoCostCoefficientEdited", ""},
        Answered{"CostCoefficientAppliedErased", "design", "", "set ExtraData.503.0 0.7\nset ExtraData.210 empty\n",
                 "cmd ApplyNewBCValues", 0, "NoCostCoefficientEdited", ""},
        Answered{"CostCoefficientApplied", "design", "", "set ExtraData.503.0 0.7\n", "cmd ApplyNewBCValues", 1, "", ""},
        Answered{"SplitFlowsWithNoSplit", "design", "--open design", "", "cmd OptimizeSplitFlows", 0, "NoSplitToOptimise", ""},
        Answered{"SplitFlows", "split", "--open design", "", "cmd OptimizeSplitFlows", 1, "", ""},
        Answered{"ExtractionBuiltWithNoWizard", "--new hi-case W1", "", "", "cmd BuildRalvexCase", 0, "NoExtractionToBuild",
                 ""},
        // The design viewer's views of other objects with nothing chosen to open.
        Answered{"ExchangerViewWithNoRowChosen", "design", "--open design", "", "cmd OpenHXView", 0, "CommandNotDone", ""},
        Answered{"ExchangerViewOpened", "design", "--open design", "set Index.713 0\n", "cmd OpenHXView", 1, "", ""},
        Answered{"CrossPinchUnitViewWithNoRowChosen", "design", "--open design", "", "cmd OpenCPEliminationView", 0,
                 "CommandNotDone", ""},
        Answered{"HotSegmentTableWithNoRowChosen", "design", "--open design", "", "cmd OpenHotSegmentTable", 0,
                 "CommandNotDone", ""},
        Answered{"ColdSegmentTableWithNoRowChosen", "design", "--open design", "", "cmd OpenColdSegmentTable", 0,
                 "CommandNotDone", ""},
        Answered{"HotSegmentTableOpened", "design", "--open design", "set Index.713 0\n", "cmd OpenHotSegmentTable", 1, "",
                 ""},
        // A default coefficient chosen with no stream to write it to (no row chosen, a row past the
        // list, a stream of several segments) is refused as read-only, as its state reads.
        Answered{"UtilityDefaultCoefficientWithNoRowChosen", "design", "", "", "set Enum.512 1", 0, "ReadOnlyCell", ""},
        Answered{"DefaultCoefficientWithNoRow", "design", "", "set RowPos.105 9\n", "set Enum.511 1", 0, "ReadOnlyCell", ""},
        Answered{"DefaultCoefficientOfSeveralSegments", "design", "",
                 kSegments "set WhereToIns.200 0\nexpect InsertedSegmentIncomplete\ncmd InsSeg\nopen MyOwnerObject\n"
                 "set RowPos.105 0\n",
                 "set Enum.511 1", 0,
                 "ReadOnlyCell", ""},
        Answered{"UtilityDefaultCoefficientChosen", "design", "", "set RowPos.106 0\n", "set Enum.512 1", 1, "", ""}),
    [](const ::testing::TestParamInfo<Answered>& info) { return std::string(info.param.name); });

// What `status` tells of a name cell is what a write finds: a cell whose every write is refused
// reads read-only, and one that takes a name reads editable.
struct NameCell {
    const char* name;
    const char* opened;  // a case of caseOf
    const char* cell;
    bool readOnly;
    const char* options = "";  // --open
    const char* before = "";   // the steps before the status is read
    const char* reads = "";    // what the cell reads ("" not checked)
};
void PrintTo(const NameCell& c, std::ostream* out) { *out << c.name; }

class HostViewNameCellState : public ::testing::TestWithParam<NameCell> {};

TEST_P(HostViewNameCellState, ReadsWhatAWriteFinds) {
    const NameCell& c = GetParam();
    ScratchFile script("answers", std::string(c.name) + "-status.txt",
                       std::string(c.before) + "status " + c.cell + "\ntext " + c.cell + "\n");
    const HostRun run = RunHost("view " + caseOf(c.opened) + " " + c.options + " --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, std::string(": status ") + c.cell + (c.readOnly ? "\n  read-only\n" : "\n  editable\n")))
        << run.out;
    // A name cell reads the name a write there changes.
    if (*c.reads) {
        EXPECT_TRUE(has(run.out, std::string(": text ") + c.cell + "\n  text " + c.reads + "\n")) << run.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HostViewNameCellState,
    ::testing::Values(
        // The default economic data set is neither renamed nor deleted, typed or passed on.
        NameCell{"DefaultEconomicDataName", "design", "ExtraData.500.0", true},
        NameCell{"DefaultEconomicDataNamePassedOn", "design", "Name.500", true},
        NameCell{"OtherEconomicDataRow", "design", "ExtraData.500.1", false},
        // A retrofit's locked base renames no set and no process stream.
        NameCell{"EconomicDataRowOfTheBase", "retrofit", "ExtraData.500.1", true},
        NameCell{"StreamNameOfTheBase", "retrofit", "StrName.401.0", true},
        NameCell{"StreamName", "design", "StrName.401.0", false},
        // A schedule's name is there to rename only while a schedule is chosen.
        NameCell{"ScheduleNameWithNoSchedule", "locked", "ExtraData.593", true, "--open design"},
        NameCell{"ScheduleNameOfTheChosenSchedule", "locked", "ExtraData.593", false, "--open design", "cmd AddScheduleToDesign\n",
                 "Event-P1"},
        // The scenario viewer's name is its scenario's.
        NameCell{"ScenarioName", "design", "ExtraData.1000", false, "", "", "base"},
        // A retrofit's locked base renames no utility, as no process stream.
        NameCell{"UtilityNameOfTheBase", "retrofit", "StrNameU.440.0", true},
        NameCell{"UtilityName", "design", "StrNameU.440.0", false},
        // A default coefficient's choice is there only while a row chooses a stream to take it.
        NameCell{"UtilityDefaultCoefficientWithNoRowChosen", "design", "Enum.512", true},
        NameCell{"UtilityDefaultCoefficientOfAChosenRow", "design", "Enum.512", false, "", "set RowPos.106 0\n"}),
    [](const ::testing::TestParamInfo<NameCell>& info) { return std::string(info.param.name); });

// A column is listed editable exactly while one of its rows takes a write: a column a retrofit's
// locked base holds in every row is listed read-only, on the scenario's and the site's tables.
struct ListedColumn {
    const char* name;
    const char* opened;  // a case of caseOf
    const char* column;
    bool editable;
};
void PrintTo(const ListedColumn& c, std::ostream* out) { *out << c.name; }

class HostViewListedColumn : public ::testing::TestWithParam<ListedColumn> {};

TEST_P(HostViewListedColumn, IsEditableWhileARowTakesAWrite) {
    const ListedColumn& c = GetParam();
    const HostRun run = RunHost("view " + caseOf(c.opened) + " --form");
    ASSERT_EQ(0, run.exitCode) << run.out.substr(0, 2000);
    const std::size_t at = run.out.find(std::string(" ") + c.column + " value ");
    ASSERT_NE(std::string::npos, at) << run.out.substr(0, 2000);
    const std::string line = run.out.substr(at, run.out.find('\n', at) - at);
    EXPECT_TRUE(has(line, c.editable ? " editable dims=" : " readonly dims=")) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HostViewListedColumn,
    ::testing::Values(ListedColumn{"HeldColumnOfTheBase", "retrofit", "Fouling.412", false},
                      ListedColumn{"SameColumnOfANetworkNoBase", "design", "Fouling.412", true},
                      ListedColumn{"FreeColumnOfTheBase", "retrofit", "MassFlow.105", true},
                      ListedColumn{"SiteColumnOfTheBase", "siteretrofit", "Temperature.440", false},
                      ListedColumn{"SiteColumn", "site", "Temperature.440", true}),
    [](const ::testing::TestParamInfo<ListedColumn>& info) { return std::string(info.param.name); });

}  // namespace
