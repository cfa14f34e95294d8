// kestrin-host view sends the scenario viewer's command words as a user's forms would, with the
// file pickers and questions answered by the script: a capital-cost default file saved, the set
// changed and the file opened again; a write-protected file refused and left alone; spreadsheets
// refused; the forbidden matches reset; every form a word opens shown in the journal.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>
#include <sys/stat.h>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

HostRun runScript(const std::string& stem, const std::string& text) {
    ScratchFile script("viewcmd", stem, text);
    return RunHost("view " + ExamplePath("four-streams.csv") + " --script " + script.path);
}

TEST(HostViewScenarioCommands, ACapitalCostFileRestoresTheSetItWasSavedFrom) {
    ScratchFile costs("viewcmd", "costs.hcc", "", false);
    const HostRun run = runScript("hcc.txt", "set Cost.501.0 1234\n"
                                             "file " + costs.path + "\ncmd SaveHXCapitalCostDefaultSet\n"
                                             "set Cost.501.0 55\nget Cost.501.0\n"
                                             "file " + costs.path + "\ncmd OpenHXCapitalCostDefaultSet\n"
                                             "get Cost.501.0\n"
                                             "file cancel\ncmd SaveHXCapitalCostDefaultSet\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "5: get Cost.501.0\n  value 55 Cost\n")) << run.out;
    EXPECT_TRUE(has(run.out, "8: get Cost.501.0\n  value 1234 Cost\n")) << run.out;
    EXPECT_TRUE(has(run.out, "FilePicked SaveHIPreferences|" + costs.path + "|53|0")) << run.out;
    EXPECT_TRUE(has(run.out, "FilePicked OpenHIPreferences|" + costs.path + "|5|0")) << run.out;
    // The cancelled prompt wrote nothing and showed nothing.
    EXPECT_TRUE(has(run.out, "FilePicked SaveHIPreferences||53|0\n")) << run.out;
    EXPECT_FALSE(has(run.out, "Error ")) << run.out;
    EXPECT_FALSE(FileContents(costs.path).empty());
}

TEST(HostViewScenarioCommands, AWriteProtectedFileIsRefusedAndLeftAsItWas) {
    ScratchFile locked("viewcmd", "locked.hcc", "kept as it is");
    ASSERT_EQ(0, ::chmod(locked.path.c_str(), 0444));
    const HostRun run = runScript("locked.txt", "file " + locked.path + "\nexpect FileWriteProtected\n"
                                                "cmd SaveHXCapitalCostDefaultSet\n");
    ::chmod(locked.path.c_str(), 0644);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "Error FileWriteProtected|")) << run.out;
    EXPECT_EQ("kept as it is", FileContents(locked.path));
}

TEST(HostViewScenarioCommands, SpreadsheetsThatAreMissingOrNotXlsAreRefused) {
    ScratchFile newer("viewcmd", "sheet.xlsx", "Stream\n");
    ScratchFile missing("viewcmd", "missing.xls", "", false);
    const HostRun run = runScript("sheets.txt", "file " + missing.path + "\nexpect ErrorFingingFile\ncmd OpenExcelFile\n"
                                                "file " + newer.path + "\nexpect InvalidExcelFile\ncmd OpenExcelFile\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "FilePicked OpenExcelFile|" + missing.path + "|5|0\n  Error ErrorFingingFile|")) << run.out;
    EXPECT_TRUE(has(run.out, "FilePicked OpenExcelFile|" + newer.path + "|5|0\n  Error InvalidExcelFile|")) << run.out;
}

TEST(HostViewScenarioCommands, EveryForbiddenMatchIsReset) {
    const HostRun run = runScript("forbidden.txt", "expect ChangingToLPAndGCCChoseForbidden\nset Switch.1200.0.0 1\n"
                                                   "set Switch.1200.1.1 1\nset Switch.1200.0.1 1\n"
                                                   "get Switch.1200.0.0\nget Switch.1200.1.1\n"
                                                   "expect ChangingToBathChoseUnForbidAll\ncmd RemoveAllForbMatches\n"
                                                   "get Switch.1200.0.0\nget Switch.1200.1.1\nget Switch.1200.0.1\n"
                                                   "get Switch.1200.1.0\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "get Switch.1200.0.0\n  value 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "get Switch.1200.1.1\n  value 1\n")) << run.out;
    for (const char* cell : {"0.0", "1.1", "0.1", "1.0"})
        EXPECT_TRUE(has(run.out, std::string("get Switch.1200.") + cell + "\n  value 0\n")) << cell << run.out;
}

TEST(HostViewScenarioCommands, TheJournalShowsEachFormAWordOpens) {
    const struct {
        const char* word;
        const char* form;
    } words[] = {
        {"StandAloneSuperTarget", "SuperTargetPlotStandAlone"}, {"ViewDriveForcePlotStandalone", "DriveForcePlotView"},
        {"OpenEconomicView", "EconomicView"},                   {"OpenTargetView", "Targets"},
        {"OpenHotTargetUtil", "HotTargetUtil"},                 {"OpenCoolTargetUtil", "CoolTargetUtil"},
        {"OpenTopRightView", "TopRightView"},                   {"OpenSummaryView", "SummaryView"},
        {"OpenForbidden", "ForbiddenMatchView"},                {"CheckForQuorvexReadyDiscontinued", "UseActivatedAnalysis"},
        {"RecommendDesign", "OptimizationSettings"},
    };
    std::string script;
    for (const auto& w : words) script += std::string("cmd ") + w.word + "\n";
    // A question answered by the script: the design stays on 0 and goes on 1.
    script += "cmd AddDefaultDesign\ncmd AddDefaultDesign Winter\n"
              "answer 0\nexpect ConfirmDeleteHENDesign\ncmd RemoveFromDesignView\nchoices Enum.222\n"
              "answer 1\nexpect ConfirmDeleteHENDesign\ncmd RemoveFromDesignView\nchoices Enum.222\n"
              "cmd OpenUDB\ncmd OpenHTC\ncmd ViewTableStandalone\ncmd ViewPlotStandalone\n";
    const HostRun run = runScript("forms.txt", script);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const auto& w : words)
        EXPECT_TRUE(has(run.out, std::string("Message base|") + w.word + "|0|1|")) << w.word << run.out;
    for (const auto& w : words) EXPECT_TRUE(has(run.out, std::string("  View base|") + w.form + "|6|0\n")) << w.form;
    // The question names the design it would delete: the one added last, the selection.
    EXPECT_TRUE(has(run.out, "Response ConfirmDeleteHENDesign|Delete the design Winter?|2|0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "choices Enum.222\n  choice 0 Design 1 (0)\n  choice 1 Winter (0)\n")) << run.out;
    // Winter is listed before the second answer only.
    const std::size_t first = run.out.find("choice 1 Winter");
    EXPECT_NE(std::string::npos, first) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("choice 1 Winter", first + 1)) << run.out;
    // The editors, a target table and a plot open their own forms.
    for (const char* view : {"  View DefaultUtilManagerView||6|0\n", "  View HTCDatabaseView||6|0\n", "  View ChiTable|chitable|6|0\n",
                             "  View chiPlot|chiPlot|6|0\n"})
        EXPECT_TRUE(has(run.out, view)) << view << run.out;
}

}  // namespace

namespace {

// The exchanger option (0 countercurrent, 1 shell-and-tube, 2 both) and the utility method (0 to
// 2) take their whole choices only: anything else is refused as out of the cell's range and the
// choice stays.
TEST(HostViewScenarioCommands, TheTargetChoicesTakeOnlyTheirOwnNumbers) {
    const struct {
        const char* cell;
        const char* value;
        bool taken;
    } rows[] = {{"TargetMethod.101", "5", false},   {"TargetMethod.101", "0.5", false}, {"TargetMethod.101", "-1", false},
                {"TargetMethod.101", "0", true},    {"TargetMethod.450", "1.5", false}, {"TargetMethod.450", "3", false},
                {"TargetMethod.450", "2", true}};
    for (const auto& row : rows) {
        const std::string set = std::string("set ") + row.cell + " " + row.value + "\n";
        const HostRun run = runScript("choice.txt", "get " + std::string(row.cell) + "\n" +
                                                        (row.taken ? "" : "expect SpecRange\n") + set + "get " +
                                                        row.cell + "\n");
        ASSERT_EQ(0, run.exitCode) << row.cell << " " << row.value << run.out;
        const int after = row.taken ? 3 : 4;
        const std::vector<double> before = ScriptValues(run.out, 1), now = ScriptValues(run.out, after);
        if (row.taken) EXPECT_EQ(std::vector<double>{std::atof(row.value)}, now) << run.out;
        else EXPECT_EQ(before, now) << row.cell << " " << row.value << run.out;
    }
}

}  // namespace
