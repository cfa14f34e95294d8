// kestrin-host autodesign on a long run: its progress goes to standard error as it comes, standard
// output carries the report alone, and --time-limit bounds each mixed-integer solve within the
// solves' own limits.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

// kestrin-host run with its standard output and standard error kept apart.
struct SplitRun {
    int exitCode = -1;
    std::string out, err;
};

SplitRun RunHostSplit(const std::string& arguments) {
    ScratchFile errors("autodesign-progress", "stderr.txt", "", false);
    ScratchFile output("autodesign-progress", "stdout.txt", "", false);
    const HostRun run = RunHost(arguments + " >" + output.path + " 2>" + errors.path + "; exit $?");
    return {run.exitCode, FileContents(output.path), FileContents(errors.path)};
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The designs' part of a JSON report (what the run made, without its progress).
std::string designsOf(const std::string& json) {
    const std::size_t at = json.find("\"designs\": ");
    return at == std::string::npos ? std::string() : json.substr(at);
}

TEST(HostAutoDesignProgress, ProgressGoesToStandardErrorAndTheReportAloneToStandardOutput) {
    const SplitRun run = RunHostSplit("autodesign " + ExamplePath("four-streams.csv") + " --designs 2 --json");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string& report = run.out;
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report.front(), '{') << report;
    EXPECT_EQ(report.substr(report.size() - 2), "}\n") << report;
    EXPECT_FALSE(has(report, "autodesign:")) << report;
    // The steps of the run in the order they are taken, one line each.
    std::size_t at = 0;
    for (const char* line : {"autodesign: Generating the linear model\n", "autodesign: Solving the linear model\n",
                             "autodesign: Solving the mixed-integer linear model\n",
                             "autodesign: Solving the superstructure\n", "autodesign: Building the design\n",
                             "autodesign: design step 1 done\n", "autodesign: design step 2 done\n"}) {
        const std::size_t next = run.err.find(line, at);
        EXPECT_NE(next, std::string::npos) << line << run.err;
        if (next != std::string::npos) at = next;
    }
}

TEST(HostAutoDesignProgress, ATimeLimitTheSmallProblemNeverMeetsChangesNoDesign) {
    const std::string args = "autodesign " + ExamplePath("four-streams.csv") + " --designs 3 --json";
    const SplitRun free = RunHostSplit(args);
    const SplitRun limited = RunHostSplit(args + " --time-limit 60");
    ASSERT_EQ(free.exitCode, 0) << free.err;
    ASSERT_EQ(limited.exitCode, 0) << limited.err;
    const std::string designs = designsOf(free.out);
    EXPECT_TRUE(has(designs, "A_Design2")) << designs;
    EXPECT_EQ(designsOf(limited.out), designs);
}

struct Refusal {
    const char* name;
    const char* options;
    const char* message;
    int exitCode;  // 2 for an option the job does not take (with the usage), 1 for a bad value
};

void PrintTo(const Refusal& r, std::ostream* out) { *out << r.name; }

class TimeLimitRefused : public ::testing::TestWithParam<Refusal> {};

TEST_P(TimeLimitRefused, WithAClearMessage) {
    const std::string options = GetParam().options;
    const std::size_t file = options.find("FILE");
    const HostRun run = RunHost(options.substr(0, file) + ExamplePath("four-streams.csv") + options.substr(file + 4));
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.out;
    EXPECT_TRUE(has(run.out, GetParam().message)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    HostAutoDesignProgress, TimeLimitRefused,
    ::testing::Values(
        Refusal{"Zero", "autodesign FILE --time-limit 0",
                "--time-limit must be a number of seconds above 0 and at most 86400 (got 0)", 2},
        Refusal{"Negative", "autodesign FILE --time-limit -5",
                "--time-limit must be a number of seconds above 0", 2},
        Refusal{"MoreThanADay", "autodesign FILE --time-limit 90000",
                "at most 86400 (got 90000)", 2},
        Refusal{"WithMatchesOnly", "autodesign FILE --matches-only --time-limit 5",
                "--time-limit and --complete do not go with it", 2},
        Refusal{"OtherJob", "targets FILE --time-limit 5",
                "targets takes no --time-limit (it belongs to autodesign)", 2}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

}  // namespace
