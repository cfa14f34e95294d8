// One rule for a command line a job cannot take, whatever the job: a bad option value, an option
// given twice, an unknown value or option gives one line, then "usage: kestrin-host JOB --help",
// and exit code 2, with nothing on standard output. And every job's help lists every option the
// job takes, as the host's own option tables have them.
#include "HostProcess.h"
#include "host/JobOptions.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

namespace {

struct Wrong {
    const char* name;
    const char* job;
    std::string arguments;  // after the job's name
    const char* says;       // part of the one line
};

const std::string kFour = ExamplePath("four-streams.csv");
const std::string kNetwork = ExamplePath("four-streams-network.csv");
const std::string kDocument = ExamplePath("extraction/exchanger-train.vmc");

class HostUsageRule : public ::testing::TestWithParam<Wrong> {};

TEST_P(HostUsageRule, OneLineThenTheUsageAndExitTwo) {
    const Wrong& w = GetParam();
    ScratchFile out("usage-rule", std::string(w.name) + ".out", "", false);
    const HostRun run = RunShell(std::string(KESTRIN_HOST_EXE) + " " + w.job + " " + w.arguments + " 2>&1 >" + out.path);
    EXPECT_EQ(2, run.exitCode) << run.out;
    EXPECT_EQ("", FileContents(out.path)) << "nothing on standard output";
    const std::string usage = std::string("usage: kestrin-host ") + w.job + " --help\n";
    ASSERT_GE(run.out.size(), usage.size()) << run.out;
    EXPECT_EQ(0u, run.out.rfind("kestrin-host: ", 0)) << run.out;
    EXPECT_EQ(usage, run.out.substr(run.out.size() - usage.size())) << run.out;
    const std::string first = run.out.substr(0, run.out.size() - usage.size());
    EXPECT_EQ(first.find('\n'), first.size() - 1) << "one line, then the usage: " << run.out;
    EXPECT_NE(std::string::npos, first.find(w.says)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    EveryJob, HostUsageRule,
    ::testing::Values(
        Wrong{"InfoArgument", "info", "extra", "info takes no arguments"},
        Wrong{"TargetsWord", "targets", kFour + " --dtmin ten", "--dtmin needs a number"},
        Wrong{"TargetsTwice", "targets", kFour + " --dtmin 5 --dtmin 6", "--dtmin is given twice; give it once"},
        Wrong{"TargetsRange", "targets", kFour + " --dtmin 2000", "--dtmin must be from 0.001 to 1000 C"},
        Wrong{"TargetsMethod", "targets", kFour + " --area-method fast", "--area-method needs bath or lp"},
        Wrong{"TargetsUnknown", "targets", kFour + " --bogus", "unknown option --bogus"},
        Wrong{"SupertargetStep", "supertarget", kFour + " --from 5 --to 10 --step 0", "--step must be above 0"},
        Wrong{"SupertargetRange", "supertarget", kFour + " --from 10 --to 5", "--from must be at least"},
        Wrong{"SupertargetDtmin", "supertarget", kFour + " --dtmin 5", "supertarget takes no --dtmin"},
        Wrong{"AutodesignDesigns", "autodesign", kFour + " --designs 0", "--designs must be a whole number from 1"},
        Wrong{"AutodesignTimeLimit", "autodesign", kFour + " --time-limit 0", "--time-limit must be a number of seconds"},
        Wrong{"AutodesignTwice", "autodesign", kFour + " --economics area=1 --economics area=2",
              "--economics is given twice"},
        Wrong{"ExtractSheetDtmin", "extract", kFour + " --into x.case --dtmin ten", "--dtmin needs a number"},
        Wrong{"ExtractIntoTwice", "extract", kFour + " --into a.case --into b.case", "--into is given twice"},
        Wrong{"ExtractAssign", "extract", kDocument + " --assign E1", "--assign needs UNIT=UTILITY"},
        Wrong{"ExtractDtminRange", "extract", kDocument + " --dtmin 0", "--dtmin must be from 0.001 to 1000 C"},
        Wrong{"PlotKindTwice", "plot", kFour + " --kind composite --kind grand --svg a.svg", "--kind is given twice"},
        Wrong{"PlotKindUnknown", "plot", kFour + " --kind pie --svg a.svg", "unknown plot kind pie"},
        Wrong{"PlotQuantity", "plot", kFour + " " + kNetwork + " --kind bar --svg a.svg --quantity height",
              "--quantity height is no quantity"},
        Wrong{"DesignWord", "design", kFour + " " + kNetwork + " --dtmin ten", "--dtmin needs a number"},
        Wrong{"DesignTwice", "design", kFour + " " + kNetwork + " --dtmin 5 --dtmin 6", "--dtmin is given twice"},
        Wrong{"DesignRange", "design", kFour + " " + kNetwork + " --dtmin 0", "--dtmin must be from 0.001 to 1000 C"},
        Wrong{"DesignEconomics", "design", kFour + " " + kNetwork + " --economics area=x", "--economics area must be"},
        Wrong{"DesignSaveTwice", "design", kFour + " " + kNetwork + " --save a.case --save b.case",
              "--save is given twice"},
        Wrong{"GridPreset", "grid", kFour + " " + kNetwork + " --svg a.svg --preset 7",
              "--preset must be a whole number from 1 to 6"},
        Wrong{"RetrofitSteps", "retrofit", kFour + " " + kNetwork + " --steps x", "--steps needs a number"},
        Wrong{"RetrofitMode", "retrofit", kFour + " " + kNetwork + " --mode sideways", "--mode must be new-exchanger"},
        Wrong{"RetrofitModeTwice", "retrofit", kFour + " " + kNetwork + " --mode repipe --mode utility",
              "--mode is given twice"},
        Wrong{"OptimiseObjective", "optimise", kFour + " " + kNetwork + " --objective tac",
              "--objective must be area or cost, not \"tac\""},
        Wrong{"OptimiseDuties", "optimise", kFour + " " + kNetwork + " --duties maybe", "--duties must be on or off"},
        Wrong{"OptimiseRange", "optimise", kFour + " " + kNetwork + " --dtmin 5000", "--dtmin must be from"},
        Wrong{"ViewUnits", "view", kFour + " --units customery", "--units takes si or customary"},
        Wrong{"ViewScriptTwice", "view", kFour + " --script a.txt --script b.txt", "--script is given twice"},
        Wrong{"ViewEmptyOpen", "view", kFour + " --open ''", "--open needs a value"}),
    [](const ::testing::TestParamInfo<Wrong>& info) { return std::string(info.param.name); });

// The options a help text names: every "--word" in it.
std::set<std::string> optionsNamed(const std::string& text) {
    std::set<std::string> named;
    for (std::size_t at = text.find("--"); at != std::string::npos; at = text.find("--", at + 2)) {
        std::size_t end = at + 2;
        while (end < text.size() && (std::islower(static_cast<unsigned char>(text[end])) || text[end] == '-')) ++end;
        if (end > at + 2 && (at == 0 || text[at - 1] != '-')) named.insert(text.substr(at, end - at));
    }
    named.erase("--help");
    return named;
}

// Each job's help names every option of its table, and names none that no job takes; the job takes
// every option of its table (it may refuse its value, or the files, but never the option).
TEST(HostUsageRuleHelp, EveryJobsHelpListsEveryOptionItTakes) {
    std::set<std::string> anyJob;
    for (const JobOptionTable& t : JobOptionTables())
        for (const JobOption& o : t.options) anyJob.insert(o.name);
    for (const JobOptionTable& t : JobOptionTables()) {
        const HostRun help = RunHost(std::string(t.job) + " --help");
        ASSERT_EQ(0, help.exitCode) << t.job;
        const std::set<std::string> named = optionsNamed(help.out);
        for (const JobOption& o : t.options) {
            EXPECT_TRUE(named.count(o.name)) << t.job << " --help does not list " << o.name << "\n" << help.out;
            std::string line = std::string(t.job) + " " + o.name;
            for (int v = 0; v < o.values; ++v) line += " x";
            const HostRun taken = RunHost(line);
            EXPECT_EQ(std::string::npos, taken.out.find("unknown option")) << line << "\n" << taken.out;
            EXPECT_EQ(std::string::npos, taken.out.find(std::string("kestrin-host: ") + t.job + " takes no " + o.name))
                << line << "\n" << taken.out;
        }
        for (const std::string& n : named) EXPECT_TRUE(anyJob.count(n)) << t.job << " --help names " << n;
    }
}

// The exchanger table's columns are named where design describes its NETWORK, and the stream
// table's cost column says what a utility without one costs.
TEST(HostUsageRuleHelp, TheTablesColumnsAreDescribed) {
    const HostRun design = RunHost("design --help");
    const auto namesWord = [&](const std::string& word) {
        const auto inWord = [](char c) { return std::islower(static_cast<unsigned char>(c)) || c == '_'; };
        for (std::size_t at = design.out.find(word); at != std::string::npos; at = design.out.find(word, at + 1))
            if ((at == 0 || !inWord(design.out[at - 1])) &&
                (at + word.size() == design.out.size() || !inWord(design.out[at + word.size()])))
                return true;
        return false;
    };
    for (const char* column : {"name", "hot", "cold", "duty", "area", "hot_order", "cold_order", "type", "shells"})
        EXPECT_TRUE(namesWord(column)) << column << "\n" << design.out;
    EXPECT_NE(std::string::npos, design.out.find("shells (the shells in series of a shell-and-tube unit, 1 to 100"))
        << design.out;
    // The help's words as one line: where it breaks its lines is no part of what it says.
    std::string words;
    for (char c : RunHost("targets --help").out)
        if (!std::isspace(static_cast<unsigned char>(c))) words += c;
        else if (!words.empty() && words.back() != ' ') words += ' ';
    EXPECT_NE(std::string::npos, words.find("a utility row with temperatures of its own and no cost takes 100")) << words;
}

}  // namespace
