// Every file extract reads is looked at before it is opened: a pipe given as the document, the
// settings, the solved case, the sheet or the case it goes into is refused at once with its name,
// instead of waiting for ever for a writer.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <sys/stat.h>

namespace {

struct PipeAt {
    const char* name;
    // The arguments, with PIPE standing for the pipe and CASE for a case of the four streams.
    std::string arguments;
};
void PrintTo(const PipeAt& p, std::ostream* out) { *out << p.name; }

class HostExtractPipe : public ::testing::TestWithParam<PipeAt> {};

TEST_P(HostExtractPipe, IsRefusedWithoutWaiting) {
    ScratchFile fifo("extractpipe", std::string(GetParam().name) + ".fifo", "", false);
    ASSERT_EQ(0, ::mkfifo(fifo.path.c_str(), 0600));
    ScratchFile base("extractpipe", std::string(GetParam().name) + ".case", "", false);
    ASSERT_EQ(0, RunHost("targets " + ExamplePath("four-streams.csv") + " --save " + base.path).exitCode);
    std::string arguments = GetParam().arguments;
    arguments.replace(arguments.find("PIPE"), 4, fifo.path);
    if (const std::size_t at = arguments.find("CASE"); at != std::string::npos) arguments.replace(at, 4, base.path);
    // The bound only ends a run that waits (exit 124); a refusal comes in well under a second.
    const HostRun run = RunShell("timeout 60 " + std::string(KESTRIN_HOST_EXE) + " extract " + arguments + " 2>&1");
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find(fifo.path + " is not a regular file")) << run.out;
}

const std::string kDocument = ExamplePath("extraction/exchanger-train.vmc");
const std::string kSheet = ExamplePath("four-streams.csv");

INSTANTIATE_TEST_SUITE_P(
    Inputs, HostExtractPipe,
    ::testing::Values(PipeAt{"Document", "PIPE --json"}, PipeAt{"Settings", kDocument + " --settings PIPE"},
                      PipeAt{"Refresh", kDocument + " --refresh PIPE"}, PipeAt{"Sheet", "PIPE --into CASE"},
                      PipeAt{"Into", kSheet + " --into PIPE"}),
    [](const ::testing::TestParamInfo<PipeAt>& info) { return std::string(info.param.name); });

}  // namespace
