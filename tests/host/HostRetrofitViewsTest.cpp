// kestrin-host view: a retrofit worked from the design viewer. The budget and the run's result
// outlive a save, the payback is told in years, the existing network (the retrofit's base) takes
// no edit from any view while every result is measured against it, and a result's added area,
// capital and payback follow its network as it is now, or are not shown while it does not
// calculate.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct Scratch : ScratchFile {
    explicit Scratch(const std::string& stem) : ScratchFile("retroviews", stem, "", false) {}
};

std::string retrofitTables() { return ExamplePath("retrofit-streams.csv") + " " + ExamplePath("retrofit-network.csv"); }

// The value line of a `get` step, its numbers only (empty cells as NaN).
std::vector<double> values(const std::string& out, int step) {
    std::vector<double> v;
    const std::string head = "\n" + std::to_string(step) + ": get ";
    const std::size_t at = ("\n" + out).find(head);
    if (at == std::string::npos) return v;
    const std::size_t line = out.find("\n  value ", at);
    if (line == std::string::npos) return v;
    std::istringstream in(out.substr(line + 9, out.find('\n', line + 1) - line - 9));
    for (std::string word; in >> word;) {
        if (word == "empty") v.push_back(NAN);
        else if (char* end = nullptr; (void)std::strtod(word.c_str(), &end), end != word.c_str())
            v.push_back(std::strtod(word.c_str(), nullptr));
    }
    return v;
}

// The text line of a `text` step.
std::string textOf(const std::string& out, int step) {
    const std::string head = "\n" + std::to_string(step) + ": text ";
    const std::size_t at = ("\n" + out).find(head);
    if (at == std::string::npos) return "(no step)";
    const std::size_t line = out.find("\n  text", at);
    if (line == std::string::npos) return "(no text)";
    const std::size_t end = out.find('\n', line + 1);
    const std::string text = out.substr(line + 7, end - line - 7);
    return text.empty() ? text : text.substr(1);
}

// The example plant retrofitted with one new exchanger (H2 -> C, E-1100) within a budget of
// 100000: the base "Network" and the result "Network-1N-1".
void retrofitted(const std::string& path) {
    const HostRun run = RunHost("retrofit " + retrofitTables() + " --budget 100000 --save " + path);
    ASSERT_EQ(0, run.exitCode) << run.out;
}

}  // namespace

// The budget typed on the design viewer is the scenario's: the case keeps it, and `retrofit`
// without --budget spends it. A budget below 0 is refused and the one there stays; a case written
// before the budget was kept reads it as 0.
TEST(HostRetrofitViews, TheBudgetIsKeptInTheCaseAndNeverBelowZero) {
    Scratch plain("plain.kcase"), budget("budget.kcase");
    ASSERT_EQ(0, RunHost("design " + retrofitTables() + " --save " + plain.path).exitCode);
    const HostRun set = RunViewScript(plain.path, "get Cost.980\nset Cost.980 1000000\n", " --open design --save " + budget.path);
    ASSERT_EQ(0, set.exitCode) << set.out;
    EXPECT_EQ(std::vector<double>{0.0}, values(set.out, 1)) << set.out;

    const HostRun reopened =
        RunViewScript(budget.path, "get Cost.980\nexpect SpecRange\nset Cost.980 -5\nget Cost.980\n", " --open design");
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_EQ(std::vector<double>{1000000.0}, values(reopened.out, 1)) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "3: set Cost.980 -5\n  result 0\n")) << reopened.out;
    EXPECT_EQ(std::vector<double>{1000000.0}, values(reopened.out, 4)) << reopened.out;

    // The case's own budget: the new exchanger's step is kept; at 0 it would be taken down to
    // nothing.
    const HostRun spent = RunHost("retrofit " + budget.path);
    ASSERT_EQ(0, spent.exitCode) << spent.out;
    EXPECT_TRUE(has(spent.out, "Step 1: result 7, new exchanger added")) << spent.out;
    const HostRun none = RunHost("retrofit " + plain.path);
    ASSERT_EQ(0, none.exitCode) << none.out;
    EXPECT_TRUE(has(none.out, "Step 1: result 5")) << none.out;
    // What stopped it is the budget, and its reason names it with the capital the step needed.
    std::smatch needed;
    ASSERT_TRUE(std::regex_search(none.out, needed, std::regex("the step needs capital ([0-9.]+); the budget is 0.00")))
        << none.out;
    EXPECT_TRUE(has(none.out, "  why: the budget of 0.00 allows less than the " + needed[1].str() +
                                  " of capital the modification needs: the area check left the modified exchanger "
                                  "without duty\n"))
        << none.out;
}

// The run from the design viewer within 100000 makes the alternatives `retrofit --steps 3` reports
// from the base: E-1100 at C's inlet (payback 8.97 years) and, kept too, a 4 kW one at C 115 C
// ahead of the heater (Network-1N-2, payback 38.15 years), where the area check, which weighs no
// capital within the budget, keeps the utility it saves. Text 331 tells the payback of the run's
// last result in years. Saved and reopened, the viewer still knows that result: it tells its
// payback and deletes it.
TEST(HostRetrofitViews, ThePaybackIsInYearsAndTheRunsResultOutlivesASave) {
    Scratch plain("plain.kcase"), run("run.kcase"), deleted("deleted.kcase");
    ASSERT_EQ(0, RunHost("design " + retrofitTables() + " --save " + plain.path).exitCode);
    const HostRun step = RunHost("retrofit " + plain.path + " --budget 100000 --steps 3");
    ASSERT_TRUE(has(step.out, "  payback        8.97 years\n")) << step.out;
    ASSERT_TRUE(has(step.out, "  design Network-1N-2 (kept)\n")) << step.out;
    ASSERT_TRUE(has(step.out, "  payback        38.15 years\n")) << step.out;

    const std::string script = "set Cost.980 100000\ncmd OpenRetrofitOptionView\ncmd AddNewHX\nexpect RetNewHXOk\n"
                               "cmd RunRetrofitOptimization\ntext ExtraData.331\n";
    const HostRun viewed = RunViewScript(plain.path, script, " --open design --save " + run.path);
    ASSERT_EQ(0, viewed.exitCode) << viewed.out;
    EXPECT_EQ("Retrofit capital cost or payback: 38.15 years", textOf(viewed.out, 6)) << viewed.out;

    const HostRun reopened = RunViewScript(run.path, "text ExtraData.331\ncmd DeleteNewRetrofitDesign 0\n",
                                           " --open design=Network --save " + deleted.path);
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_EQ("Retrofit capital cost or payback: 38.15 years", textOf(reopened.out, 1)) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "2: cmd DeleteNewRetrofitDesign 0\n  result 1\n")) << reopened.out;
    const HostRun gone = RunViewScript(deleted.path, "text Name.299\n", " --open design=Network-1N-2");
    EXPECT_TRUE(has(gone.out, "no view design=Network-1N-2")) << gone.out;

}

// The retrofit's base takes no network edit from any view: the grid's new exchanger is refused as
// its deletion is (answer 0, the saved base unchanged), and the design viewer's and the exchanger
// view's cells that edit the network are read-only, while the area limits a step may use stay
// open. The result beside it takes the same edits.
TEST(HostRetrofitViews, TheBaseTakesNoNetworkEditFromAnyView) {
    Scratch run("rf.kcase"), edited("rf-edited.kcase");
    retrofitted(run.path);
    // Each refusal says why, naming the unit or node it was asked for.
    const HostRun grid = RunViewScript(run.path,
                                       "expect GridEditLockedRetrofitBase\ncmd addhx \"N-7\" \"N-14\"\n"
                                       "expect GridEditLockedRetrofitBase\ncmd deletehx \"Heater\"\n",
                                       " --open grid=Network --save " + edited.path);
    ASSERT_EQ(0, grid.exitCode) << grid.out;
    EXPECT_TRUE(has(grid.out, "2: cmd addhx \"N-7\" \"N-14\"\n  result 0\n")) << grid.out;
    EXPECT_TRUE(has(grid.out, "4: cmd deletehx \"Heater\"\n  result 0\n")) << grid.out;
    EXPECT_TRUE(has(grid.out, "it takes no edit: Heater|")) << grid.out;
    const HostRun base = RunViewScript(edited.path, "text Name.300.[]\ntext ExtraData.212\n", " --open design=Network");
    ASSERT_EQ(0, base.exitCode) << base.out;
    EXPECT_TRUE(has(base.out, "  text E1\n  text Heater\n  text Cooler1\n  text Cooler2\n2: text")) << base.out;
    EXPECT_TRUE(has(base.out, "0 exchangers not calculated, 0 failed")) << base.out;

    const struct {
        const char* address;
        const char* onBase;
    } kCells[] = {
        {"HeatFlow.304.0", "read-only"},   // a duty
        {"DeltaTemp.607", "read-only"},    // the design's approach
        {"DeltaTemp.605.0", "read-only"},  // an exchanger's approach
        {"Fouling.500.0", "read-only"},    // its fouling
        {"Area.304", "read-only"},         // the largest shell area
        {"Switch.351.0", "read-only"},     // a utility at a port
        {"Area.704.0", "editable"},        // the spare area a step may use
        {"Area.705.0", "editable"},        // the new area a step may use
        {"Cost.980", "editable"},          // the budget
    };
    std::string script;
    for (const auto& c : kCells) script += std::string("status ") + c.address + "\n";
    const HostRun onBase = RunViewScript(run.path, script, " --open design=Network");
    ASSERT_EQ(0, onBase.exitCode) << onBase.out;
    int step = 0;
    for (const auto& c : kCells)
        EXPECT_TRUE(has(onBase.out, std::to_string(++step) + ": status " + c.address + "\n  " + c.onBase + "\n"))
            << c.address << "\n" << onBase.out;
    const HostRun typed = RunViewScript(run.path, "expect ReadOnlyCell\nset HeatFlow.304.0 50\n", " --open design=Network");
    ASSERT_EQ(0, typed.exitCode) << typed.out;
    EXPECT_TRUE(has(typed.out, "2: set HeatFlow.304.0 50\n  result 0\n")) << typed.out;
    // The result is no base: its duty takes a value.
    const HostRun result = RunViewScript(run.path, "status HeatFlow.304.4\n", " --open design=Network-1N-1");
    EXPECT_TRUE(has(result.out, "1: status HeatFlow.304.4\n  editable\n")) << result.out;

    // The exchanger view of the base's E1: its shells and duty are read-only.
    const HostRun unit = RunViewScript(
        run.path, "set Index.414 1\nset Index.415 0\nopen HeatExchangerViewObject.400\nstatus ExtraData.701.0\nstatus HeatFlow.200\n",
        " --open design=Network");
    ASSERT_EQ(0, unit.exitCode) << unit.out;
    EXPECT_TRUE(has(unit.out, "4: status ExtraData.701.0\n  read-only\n")) << unit.out;
    EXPECT_TRUE(has(unit.out, "5: status HeatFlow.200\n  read-only\n")) << unit.out;
}

// The result's new exchanger E-1100 taken from 19 to 25 kW: E1 grows from 39.82 to 43.93 m2 over
// the base's 22.38 m2 (21.54 m2 added) and E-1100 from 11.08 to 20.78 m2, all of it added: 42.32
// m2 in all, where the run's figures were 17.44, 11.08 and 28.52 m2. The payback is the capital
// (the rise of the units' capital over the base's) over the saving as the network now stands,
// after the edit and after a reopen.
TEST(HostRetrofitViews, AResultsAddedAreaCapitalAndPaybackFollowAnEdit) {
    Scratch run("rf.kcase"), edited("rf-edited.kcase");
    retrofitted(run.path);
    const std::string figures = "get Area.708.[]\nget ExtraData.764\nget Cost.787\nget CostPerTime.788\nget ExtraData.786\n";
    const HostRun before = RunViewScript(run.path, figures, " --open design=Network-1N-1");
    ASSERT_EQ(0, before.exitCode) << before.out;
    ASSERT_EQ(5u, values(before.out, 1).size()) << before.out;
    EXPECT_NEAR(28.48, values(before.out, 2).at(0), 0.01) << before.out;

    const HostRun edit = RunViewScript(run.path, "set HeatFlow.304.4 25\nget Area.302.[]\n" + figures,
                                       " --open design=Network-1N-1 --save " + edited.path);
    ASSERT_EQ(0, edit.exitCode) << edit.out;
    const std::vector<double> areas = values(edit.out, 2), added = values(edit.out, 3);
    ASSERT_EQ(5u, areas.size()) << edit.out;
    ASSERT_EQ(5u, added.size()) << edit.out;
    EXPECT_NEAR(43.90, areas[0], 0.01);
    EXPECT_NEAR(20.78, areas[4], 0.01);
    EXPECT_NEAR(43.90 - 22.38, added[0], 0.01);
    EXPECT_NEAR(0.0, added[1] + added[2] + added[3], 1e-9);
    EXPECT_NEAR(areas[4], added[4], 1e-9) << "a new unit's whole area is added";
    EXPECT_NEAR(42.29, values(edit.out, 4).at(0), 0.01);
    // Capital over the saving per year, in hours (8760 h a year).
    const double capital = values(edit.out, 5).at(0), saving = values(edit.out, 6).at(0), hours = values(edit.out, 7).at(0);
    ASSERT_GT(saving, 0.0) << edit.out;
    EXPECT_NEAR(capital / saving * 8760.0, hours, 1e-6 * hours) << edit.out;
    EXPECT_NE(values(before.out, 3), values(edit.out, 5)) << "the capital follows the edit";

    const HostRun reopened = RunViewScript(edited.path, figures, " --open design=Network-1N-1");
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    for (int step = 1; step <= 5; ++step) {
        const std::vector<double> now = values(reopened.out, step), then = values(edit.out, step + 2);
        ASSERT_EQ(then.size(), now.size()) << step;
        for (std::size_t i = 0; i < now.size(); ++i) EXPECT_NEAR(then[i], now[i], 1e-6 * std::max(1.0, std::fabs(then[i]))) << step;
    }
}

// A result whose new exchanger's duty is cleared does not calculate (four units fail, two
// streams fall short): it shows no saving, capital, payback, capital rise or added area, where an uncalculated
// heater would count as carrying nothing and the saving look large.
TEST(HostRetrofitViews, AResultThatDoesNotCalculateShowsNoSavingCapitalOrPayback) {
    Scratch run("rf.kcase");
    retrofitted(run.path);
    const HostRun cleared = RunViewScript(run.path,
                                          "set HeatFlow.304.4 empty\ntext ExtraData.212\nget CostPerTime.788\nget Cost.787\n"
                                          "get ExtraData.786\nget Cost.788.[]\nget Area.708.[]\nget ExtraData.764\n",
                                          " --open design=Network-1N-1");
    ASSERT_EQ(0, cleared.exitCode) << cleared.out;
    EXPECT_TRUE(has(cleared.out, "4 failed")) << cleared.out;
    for (int step = 3; step <= 8; ++step) {
        const std::vector<double> v = values(cleared.out, step);
        ASSERT_FALSE(v.empty()) << step << cleared.out;
        for (double x : v) EXPECT_TRUE(std::isnan(x)) << step << "\n" << cleared.out;
    }
}

// A result edited into a loss (E1 cut to 10 kW: the heater takes more than in the base) never
// pays back: it shows its negative saving and no payback, not a negative one.
TEST(HostRetrofitViews, AResultEditedIntoALossShowsNoPayback) {
    Scratch run("rf.kcase");
    retrofitted(run.path);
    const HostRun loss = RunViewScript(run.path, "set HeatFlow.304.0 10\nget CostPerTime.788\nget ExtraData.786\n",
                                       " --open design=Network-1N-1");
    ASSERT_EQ(0, loss.exitCode) << loss.out;
    ASSERT_LT(values(loss.out, 2).at(0), 0.0) << loss.out;
    EXPECT_TRUE(std::isnan(values(loss.out, 3).at(0))) << loss.out;
}

// A new exchanger placed from the viewer of a kept result is one more step from the base: its
// added area is measured against the base design, as its capital is. The kept result is the
// second alternative (Network-1N-2: E-1100, 4 kW at C 115 C, and a larger E1; the first, with
// E-1100 at C's inlet, leaves H2 too cold for another exchanger on C), so E-1100 counts whole and
// E1 from its base area of 22.38 m2.
TEST(HostRetrofitViews, AStepFromAKeptResultMeasuresItsAddedAreaAgainstTheBase) {
    Scratch run("rf.kcase"), stepped("rf-stepped.kcase");
    ASSERT_EQ(0, RunHost("retrofit " + retrofitTables() + " --budget 100000 --steps 2 --save " + run.path).exitCode);
    const HostRun step = RunViewScript(run.path, "cmd AddNewHX\nexpect RetNewHXOk\ncmd RunRetrofitOptimization\n",
                                       " --open design=Network-1N-2 --save " + stepped.path);
    ASSERT_EQ(0, step.exitCode) << step.out;
    const HostRun read = RunViewScript(stepped.path, "get Area.302.[]\nget Area.708.[]\nget ExtraData.764\n",
                                       " --open design=Network-1N-2-1N-1");
    ASSERT_EQ(0, read.exitCode) << read.out;
    const std::vector<double> areas = values(read.out, 1), added = values(read.out, 2);
    ASSERT_EQ(6u, areas.size()) << read.out;
    ASSERT_EQ(6u, added.size()) << read.out;
    EXPECT_NEAR(areas[0] - 22.38, added[0], 0.01) << read.out;
    EXPECT_NEAR(areas[4], added[4], 1e-9) << "E-1100 is not in the base: it counts whole\n" << read.out;
    EXPECT_NEAR(areas[5], added[5], 1e-9) << read.out;
    double sum = 0.0;
    for (double a : added) sum += a;
    EXPECT_NEAR(sum, values(read.out, 3).at(0), 1e-6) << read.out;
}

// A retrofit study's streams are its existing network's: a utility typed on the new row of such a
// scenario's utility table is not added, and the row says so (answer 0) rather than answering as
// if it had been.
TEST(HostRetrofitViews, AUtilityTypedInARetrofitStudyIsRefusedNotSilentlyDropped) {
    Scratch run("rf.kcase");
    retrofitted(run.path);
    const HostRun typed = RunViewScript(run.path, "expect ReadOnlyCell\nsettext StrNameU.440.4 LP Steam\n"
                                                  "text StrNameU.440.[]\n",
                                        " --open scenario");
    ASSERT_EQ(0, typed.exitCode) << typed.out;
    EXPECT_TRUE(has(typed.out, "2: settext StrNameU.440.4 LP Steam\n  result 0\n")) << typed.out;
    EXPECT_FALSE(has(typed.out, "text LP Steam")) << typed.out;
}

// "RetrofitNow" with the retrofit source 0 copies the design viewer's scenario into a new one for
// the design, also from a viewer the views were opened at directly (no scenario selected first).
TEST(HostRetrofitViews, RetrofitNowFromADesignOpenedDirectlyCopiesItsScenario) {
    Scratch plain("plain.kcase");
    ASSERT_EQ(0, RunHost("design " + retrofitTables() + " --save " + plain.path).exitCode);
    const HostRun now = RunViewScript(plain.path,
                                      "cmd RetrofitNow\nopen MyOwnerObject\nopen MyOwnerObject\n"
                                      "dims HIDesignViewerScenario.200\n",
                                      " --open design=Network");
    ASSERT_EQ(0, now.exitCode) << now.out;
    EXPECT_TRUE(std::regex_search(now.out, std::regex("4: dims HIDesignViewerScenario.200\n  dims 2\n"))) << now.out;
}
