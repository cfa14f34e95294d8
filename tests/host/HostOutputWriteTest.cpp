// A report that could not be written is no success: with standard output on a full device every
// job that prints a report fails with 1 and says why on standard error, instead of ending as if the
// user had the results.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <ostream>
#include <string>
#include <sys/wait.h>

namespace {

// Runs kestrin-host with standard output on /dev/full; what reaches standard error, and the code.
HostRun RunOntoFullDevice(const std::string& arguments) {
    return RunShell(std::string(KESTRIN_HOST_EXE) + " " + arguments + " 2>&1 >/dev/full");
}

struct Job {
    const char* name;
    std::string arguments;
};

void PrintTo(const Job& job, std::ostream* out) { *out << job.name; }

class HostOutputWrite : public ::testing::TestWithParam<Job> {};

TEST_P(HostOutputWrite, AReportOntoAFullDeviceFailsAndSaysSo) {
    // The same job with somewhere to write succeeds: the failure is the device's alone.
    ASSERT_EQ(0, RunHost(GetParam().arguments).exitCode);
    const HostRun run = RunOntoFullDevice(GetParam().arguments);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("kestrin-host: the output could not be written")) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, HostOutputWrite,
    ::testing::Values(Job{"TargetsText", "targets " + ExamplePath("four-streams.csv")},
                      Job{"TargetsJson", "targets " + ExamplePath("site-24-streams.csv") + " --json"},
                      Job{"Supertarget", "supertarget " + ExamplePath("four-streams.csv") + " --from 5 --to 20"},
                      Job{"Design", "design " + ExamplePath("four-streams.csv") + " " +
                                        ExamplePath("four-streams-network.csv")},
                      Job{"Info", "info"}, Job{"Help", "--help"}),
    [](const ::testing::TestParamInfo<Job>& info) { return std::string(info.param.name); });

}  // namespace
