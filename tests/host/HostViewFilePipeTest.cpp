// A file a view reads when a user picks it (a capital-cost defaults file, a site's utility
// defaults) is looked at before it is opened: a pipe is refused at once with the reader's own
// refusal, instead of waiting for ever for a writer, and the command answers that it failed.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <sys/stat.h>

namespace {

struct PickedPipe {
    const char* name;
    const char* input;   // a table of the examples, or "site" for a new total site
    const char* before;  // the script lines that reach the command
    const char* command;
    const char* key;
};
void PrintTo(const PickedPipe& p, std::ostream* out) { *out << p.name; }

class HostViewFilePipe : public ::testing::TestWithParam<PickedPipe> {};

TEST_P(HostViewFilePipe, IsRefusedWithoutWaiting) {
    const PickedPipe& p = GetParam();
    ScratchFile fifo("viewpipe", std::string(p.name) + ".fifo", "", false);
    ASSERT_EQ(0, ::mkfifo(fifo.path.c_str(), 0600));
    ScratchFile script("viewpipe", std::string(p.name) + ".txt",
                       std::string(p.before) + "file " + fifo.path + "\nexpect " + p.key + "\ncmd " + p.command + "\n");
    const std::string input = std::string(p.input) == "site" ? "--new hi-total-site Works" : ExamplePath(p.input);
    // The bound only ends a run that waits (exit 124); a refusal comes in well under a second.
    const HostRun run = RunShell("timeout 60 " + std::string(KESTRIN_HOST_EXE) + " view " + input + " --script " +
                                 script.path + " 2>&1");
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find(std::string("  Error ") + p.key + "|")) << run.out;
    // A set not read answers 0, as any refused command does.
    EXPECT_NE(std::string::npos, run.out.find(std::string("cmd ") + p.command + "\n  result 0\n")) << run.out;
    struct stat info {};
    EXPECT_TRUE(::stat(fifo.path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
}

INSTANTIATE_TEST_SUITE_P(
    Readers, HostViewFilePipe,
    ::testing::Values(PickedPipe{"CapitalCostDefaults", "four-streams.csv", "", "OpenHXCapitalCostDefaultSet",
                                 "RecallPreferenceError"},
                      PickedPipe{"SiteUtilityDefaults", "site", "cmd OpenUDB\nopen @last\n", "OpenUtilityDefaultSet",
                                 "RecallPreferenceError"}),
    [](const ::testing::TestParamInfo<PickedPipe>& info) { return std::string(info.param.name); });

}  // namespace
