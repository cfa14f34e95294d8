// kestrin-host targets tells each solve of the area LP on standard error as it starts, as
// autodesign tells its steps, so that a long solve is not silent; standard output carries the
// report alone, and a run without the area LP tells nothing.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct SplitRun {
    int exitCode = -1;
    std::string out, err;
};

SplitRun RunHostSplit(const std::string& arguments) {
    ScratchFile errors("targets-progress", "stderr.txt", "", false);
    ScratchFile output("targets-progress", "stdout.txt", "", false);
    const HostRun run = RunHost(arguments + " >" + output.path + " 2>" + errors.path + "; exit $?");
    return {run.exitCode, FileContents(output.path), FileContents(errors.path)};
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct ProgressCase {
    const char* name;
    const char* options;
    // The lines standard error holds, in this order (none: it stays empty).
    std::vector<const char*> lines;
};

void PrintTo(const ProgressCase& c, std::ostream* os) { *os << c.name; }

class HostTargetsProgress : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(HostTargetsProgress, EachSolveOfTheAreaLPIsToldOnStandardError) {
    const ProgressCase& c = GetParam();
    const SplitRun run = RunHostSplit("targets " + ExamplePath("four-streams.csv") + c.options);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Targets at DTmin", 0), 0u) << run.out;
    EXPECT_FALSE(has(run.out, "targets:")) << run.out;
    if (c.lines.empty()) {
        EXPECT_EQ(run.err, "");
    }
    std::size_t at = 0;
    for (const char* line : c.lines) {
        const std::size_t next = run.err.find(line, at);
        EXPECT_NE(next, std::string::npos) << line << "\n" << run.err;
        if (next != std::string::npos) at = next + 1;
    }
}

// Both kinds of exchanger are solved, the second from the first's optimum on the same rows; the
// Bath area needs no solve.
INSTANTIATE_TEST_SUITE_P(
    Runs, HostTargetsProgress,
    ::testing::Values(
        ProgressCase{"forbiddenMatch",
                     " --forbid H1:C1",
                     {"targets: Solving the area linear model: countercurrent exchange, ",
                      "targets: Solving the area linear model: shell-and-tube exchange, "}},
        ProgressCase{"areaLPAskedFor",
                     " --area-method lp",
                     {"targets: Solving the area linear model: countercurrent exchange, ",
                      "targets: Solving the area linear model: shell-and-tube exchange, "}},
        ProgressCase{"bathArea", "", {}}));

}  // namespace
