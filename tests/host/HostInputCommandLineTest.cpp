// A command line that is wrong says what is wrong in its first line: a bad option value is not
// buried under the usage, a mistyped job is named, a misspelt utility lists the names it could
// have meant, two streams of one name are named as such, an option given twice or with an empty
// value is refused rather than silently taken.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <utility>

namespace {

struct Wrong {
    const char* name;
    // The arguments; TABLE stands for a stream table of `table`'s rows, DOC for a simulator case.
    std::string arguments;
    std::string table;
    int exitCode;
    const char* firstLine;  // what the first line of the output holds
};
void PrintTo(const Wrong& w, std::ostream* out) { *out << w.name; }

class HostInputCommandLine : public ::testing::TestWithParam<Wrong> {};

TEST_P(HostInputCommandLine, SaysWhatIsWrongInItsFirstLine) {
    const Wrong& w = GetParam();
    ScratchFile table("cmdline", std::string(w.name) + ".csv", "name,supply,target,cp,h,kind\n" + w.table);
    ScratchFile script("cmdline", std::string(w.name) + ".txt", "status\n");
    std::string arguments = w.arguments;
    for (const auto& [mark, path] : {std::pair<std::string, std::string>{"TABLE", table.path},
                                     {"SCRIPT", script.path},
                                     {"DOC", ExamplePath("extraction/preheat-train.vmc")}})
        for (std::size_t at = arguments.find(mark); at != std::string::npos; at = arguments.find(mark))
            arguments.replace(at, mark.size(), path);
    const HostRun run = RunHost(arguments);
    EXPECT_EQ(w.exitCode, run.exitCode) << run.out;
    const std::string first = run.out.substr(0, run.out.find('\n'));
    EXPECT_NE(std::string::npos, first.find(w.firstLine)) << run.out;
    // One line, and at most a pointer to the help after it.
    EXPECT_LE(std::count(run.out.begin(), run.out.end(), '\n'), 2) << run.out;
}

const std::string kFour = "H1,170,60,3,0.2,process\nC1,20,135,2,0.2,process\n";

INSTANTIATE_TEST_SUITE_P(
    Lines, HostInputCommandLine,
    ::testing::Values(
        Wrong{"OptionValueNotANumber", "targets TABLE --dtmin ten", kFour, 2, "kestrin-host: --dtmin needs a number"},
        Wrong{"MistypedJob", "tragets TABLE", kFour, 2, "\"tragets\" is no job (info, targets,"},
        Wrong{"MisspeltUtility", "targets TABLE", kFour + "HP Stem,,,,,utility\n", 1,
              "names no default utility; give its temperatures, h and cost (the default utilities: "},
        Wrong{"MisspeltAssignedUtility", "extract DOC --assign \"E1=HP Stem\"", kFour, 1,
              "HP Stem is no utility of the scenario nor a default utility (a heater takes "},
        Wrong{"HotAndColdOfOneName", "targets TABLE", "H1,170,60,3,0.2,process\nH1,20,135,2,0.2,process\n", 1,
              "line 3: H1: is the name of a hot stream (line 2) and of a cold one"},
        Wrong{"NewRowMarkerAsAStreamName", "targets TABLE", "**new**,170,60,3,0.2,process\nC1,20,135,2,0.2,process\n", 1,
              "line 2: stream \"**new**\" is named as the tables' new-row marker \"**New**\", which no stream may bear"},
        Wrong{"DesignNamedBesideTables", "design TABLE TABLE --design X", kFour, 2,
              "--design names a design of a case; a network table makes one design"},
        Wrong{"RetrofitBaseNamedBesideTables", "retrofit TABLE TABLE --design X", kFour, 2,
              "--design names a design of a case; a network table makes one design"},
        Wrong{"RepeatedNumber", "targets TABLE --dtmin 10 --dtmin 20", kFour, 2, "--dtmin is given twice"},
        Wrong{"RepeatedSave", "design TABLE TABLE --save a.case --save b.case", kFour, 2, "--save is given twice"},
        Wrong{"RepeatedSvg", "plot TABLE --kind composite --svg a.svg --svg b.svg", kFour, 2, "--svg is given twice"},
        Wrong{"RepeatedKind", "plot TABLE --kind composite --kind grand --svg a.svg", kFour, 2, "--kind is given twice"},
        Wrong{"RepeatedDesignPlotKind", "plot TABLE TABLE --kind bar --kind th --svg a.svg", kFour, 2,
              "--kind is given twice"},
        Wrong{"GridPresetOutOfRange", "grid TABLE TABLE --svg a.svg --preset 7", kFour, 2,
              "--preset must be a whole number from 1 to 6"},
        Wrong{"RepeatedInto", "extract TABLE --into a.case --into b.case", kFour, 2, "--into is given twice"},
        Wrong{"RepeatedScript", "view TABLE --script SCRIPT --script SCRIPT", kFour, 2, "--script is given twice"},
        Wrong{"EmptyScript", "view TABLE --script ''", kFour, 2, "--script needs a value"},
        Wrong{"EmptyOpen", "view TABLE --open ''", kFour, 2, "--open needs a value"}),
    [](const ::testing::TestParamInfo<Wrong>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// A script error quotes the script's words cut short: a value a megabyte long is not echoed whole.
TEST(HostInputLongText, AScriptErrorQuotesAHugeValueCutShort) {
    ScratchFile script("cmdline", "huge-value.txt", "set Switch.201 " + std::string(1 << 20, '7') + "x\n");
    const HostRun run = RunHost("view " + ExamplePath("four-streams.csv") + " --open project --script " + script.path);
    EXPECT_EQ(1, run.exitCode) << run.out.substr(0, 400);
    EXPECT_NE(std::string::npos, run.out.find(script.path + ":1: ")) << run.out.substr(0, 400);
    EXPECT_NE(std::string::npos, run.out.find("...")) << run.out.substr(0, 400);
    EXPECT_LT(run.out.size(), 2000u) << run.out.substr(0, 400);
}

// A stream name longer than any view shows is refused with its line, before any case holds it.
TEST(HostInputLongText, AStreamNameLongerThanAnyViewShowsIsRefused) {
    ScratchFile table("cmdline", "long-name.csv",
                      "name,supply,target,cp\n" + std::string(2048, 'H') + ",170,60,3\nC1,20,135,2\n");
    ScratchFile saved("cmdline", "long-name.case", "", false);
    const HostRun run = RunHost("targets " + table.path + " --save " + saved.path);
    EXPECT_EQ(1, run.exitCode) << run.out.substr(0, 400);
    EXPECT_NE(std::string::npos, run.out.find("line 2: the stream name \"HHHH")) << run.out.substr(0, 400);
    EXPECT_NE(std::string::npos, run.out.find("is 2048 bytes long; a name holds at most 2047")) << run.out.substr(0, 400);
    EXPECT_FALSE(FileExists(saved.path));
    ScratchFile longest("cmdline", "longest-name.csv",
                        "name,supply,target,cp\n" + std::string(2047, 'H') + ",170,60,3\nC1,20,135,2\n");
    EXPECT_EQ(0, RunHost("targets " + longest.path).exitCode);
}

}  // namespace

namespace {

// A script is bounded by its lines as well as its bytes: one of more lines than a run may take is
// refused before any line runs, and one at the bound runs.
TEST(HostInputLongText, AScriptOfMoreLinesThanARunTakesIsRefusedBeforeItRuns) {
    std::string lines;
    for (int i = 0; i < 100001; ++i) lines += "#\n";
    ScratchFile script("cmdline", "many-lines.txt", lines);
    const HostRun run = RunHost("view " + ExamplePath("four-streams.csv") + " --script " + script.path);
    EXPECT_EQ(1, run.exitCode) << run.out.substr(0, 400);
    EXPECT_NE(std::string::npos, run.out.find(script.path + " holds 100001 lines; a script runs at most 100000"))
        << run.out.substr(0, 400);
    ScratchFile bound("cmdline", "bound-lines.txt", lines.substr(2));
    EXPECT_EQ(0, RunHost("view " + ExamplePath("four-streams.csv") + " --script " + bound.path).exitCode);
}

}  // namespace
