// Messages that say why: the stream end no utility reaches, the budget that stopped a retrofit
// step ahead of what the area check then did, and the site utility editor's warning in words.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {
bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
}  // namespace

// At DTmin 20 cooling water (20 C, an approach of its own of 2.5 C, half of 5) cools H2 only down
// to 20 + 2.5 + 10 = 32.5 C, where H2 leaves at 30 C. LP steam (125 C, shifted 5 C down) heats
// C1 only up to 125 - 5 - 5 = 115 C shifted, where C1 leaves at 160 C.
TEST(HostMessagesSayWhy, TheUtilityThatCannotReachAStreamEndIsNamed) {
    ScratchFile lowSteam("saywhy", "low-steam.csv",
                         "name,supply,target,cp,h,kind\nH1,150,100,1,0.5,process\nC1,20,160,1,0.5,process\n"
                         "LP Steam,,,,,utility\n");
    // Loads typed by hand on the four streams: 70 kW of HP Steam, 50 kW above its target of 20,
    // so the balance asks 60 + 50 = 110 kW of Cooling Water, of which 60 are typed.
    ScratchFile typed("saywhy", "typed-loads.kcase", "", false);
    ASSERT_EQ(0, RunViewScript(ExamplePath("four-streams.csv"),
                               "set TargetMethod.450 0\nset HeatFlow.440.0 70\nset HeatFlow.440.1 60\n",
                               " --save " + typed.path)
                     .exitCode);
    struct Case {
        std::string arguments, says;
    } cases[] = {
        {"targets " + typed.path,
         "cold utility placed 60.000 kW of 110.000 kW needed (its target 60.000 kW and the 50.000 kW of hot utility "
         "placed above its own target)"},
        {"targets " + ExamplePath("four-streams.csv") + " --dtmin 20",
         "cold utility placed 101.250 kW of 105.000 kW (H2 leaves at 30.000 C; Cooling Water at 20.000 C asks an "
         "approach of 12.500 C there, so no cold utility reaches it)"},
        {"targets " + lowSteam.path,
         "hot utility placed 70.000 kW of 90.000 kW (C1 leaves at 160.000 C; LP Steam at 125.000 C asks an approach "
         "of 10.000 C there, so no hot utility reaches it)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const HostRun text = RunHost(c.arguments), json = RunHost(c.arguments + " --json");
        EXPECT_EQ(0, text.exitCode) << text.out;
        EXPECT_TRUE(has(text.out, c.says)) << text.out;
        EXPECT_TRUE(has(json.out, c.says)) << json.out;
    }
    // Covered targets at DTmin 10 name nothing.
    EXPECT_FALSE(has(RunHost("targets " + ExamplePath("four-streams.csv")).out, "reaches it"));
}

// With the default budget of 0 the area check takes the new exchanger's duty away because its
// capital is more than the budget: the budget heads the step's lines, before the design and why.
TEST(HostMessagesSayWhy, TheBudgetThatStoppedAStepComesFirst) {
    const HostRun run = RunHost("retrofit " + ExamplePath("retrofit-streams.csv") + " " +
                                ExamplePath("retrofit-network.csv"));
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::size_t step = run.out.find("Step 1: result 5, ");
    ASSERT_NE(std::string::npos, step) << run.out;
    const std::size_t next = run.out.find('\n', step) + 1;
    EXPECT_EQ(0u, run.out.compare(next, 34, "  budget: the step needs capital 1")) << run.out;
    EXPECT_TRUE(has(run.out, "; the budget is 0.00\n  design ")) << run.out;
    EXPECT_EQ(1u, [&] {
        std::size_t n = 0;
        for (std::size_t at = run.out.find("budget: "); at != std::string::npos; at = run.out.find("budget: ", at + 1)) ++n;
        return n;
    }()) << run.out;
}

// The site utility editor refuses a DTmin contribution below 1 C with the message's words alone.
TEST(HostMessagesSayWhy, TheSiteEditorsDTminWarningEndsWithItsWords) {
    ScratchFile script("saywhy", "editor.txt",
                       "cmd OpenUDB\nopen @last\nexpect DeltaTMinWarning\nset DeltaTemp.909.0 0.5\n");
    const HostRun run = RunHost("view --new hi-total-site Works --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "Error DeltaTMinWarning|A DTmin contribution below 1 C is not taken; the utility keeps "
                             "the one it had.|"))
        << run.out;
    EXPECT_FALSE(has(run.out, "had. DeltaTMinWarning")) << run.out;
}

// A file that is not there is named as not there, not as a file of the wrong kind: a case given to
// a network job and the --into case of a segment table alike (exit 1, before any work).
TEST(HostMessagesSayWhy, AMissingInputIsNamedAsMissing) {
    ScratchFile sheet("saywhy", "sheet.csv", "Stream,,Supply,Target,CP\n,,F,F,Btu/hr-F\nH1,,302,212,3791.268481\n");
    ScratchFile missing("saywhy", "missing.kcase", "", false);
    ScratchFile svg("saywhy", "grid.svg", "", false);
    for (const std::string& arguments :
         {"design " + missing.path, "grid " + missing.path + " --svg " + svg.path, "retrofit " + missing.path,
          "optimise " + missing.path, "extract " + sheet.path + " --into " + missing.path}) {
        SCOPED_TRACE(arguments);
        const HostRun run = RunHost(arguments);
        EXPECT_EQ(1, run.exitCode) << run.out;
        EXPECT_TRUE(has(run.out, "cannot open " + missing.path + ": No such file or directory")) << run.out;
        EXPECT_FALSE(has(run.out, "is not a Kestrin case file")) << run.out;
    }
    EXPECT_FALSE(FileExists(svg.path));
}
