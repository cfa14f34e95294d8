// Command lines the host cannot carry out are refused before any work: a save target that no case
// can replace (a directory, a pipe, a device, the --into case by any of its names), and a network
// job given a stream table without its network table (a usage error).
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string kTable = "name,supply,target,cp,h,kind\nH1,150,60,2,0.2,process\nC1,20,140,1.5,0.2,process\n";
const std::string kSheet = "Stream,,Supply,Target,CP\n,,F,F,Btu/hr-F\nH1,,302,212,3791.268481\nH1,,212,140,5686.902722\n";

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The extracted case never replaces the --into case: by its own name, by ./name, by an absolute
// path and through a link, the save is refused and the case stays byte for byte.
TEST(HostRefusedBeforeWork, ExtractNeverSavesOverTheIntoCase) {
    ScratchFile table("refused", "streams.csv", kTable), sheet("refused", "sheet.csv", kSheet);
    ScratchFile kase("refused", "base.kcase", "", false), link("refused", "link.kcase", "", false);
    ASSERT_EQ(0, RunHost("targets " + table.path + " --save " + kase.path).exitCode);
    ASSERT_EQ(0, ::symlink(kase.path.c_str(), link.path.c_str()));
    const std::string before = FileContents(kase.path);
    const std::string name = kase.path.substr(kase.path.rfind('/') + 1);
    for (const std::string& save : {kase.path, "./" + name, "/tmp/../tmp/" + name, link.path}) {
        SCOPED_TRACE(save);
        const HostRun run = RunShell("cd /tmp && " + std::string(KESTRIN_HOST_EXE) + " extract " + sheet.path +
                                     " --into " + kase.path + " --save " + save + " 2>&1");
        EXPECT_EQ(1, run.exitCode) << run.out;
        EXPECT_TRUE(has(run.out, "names the --into case")) << run.out;
        EXPECT_EQ(before, FileContents(kase.path));
    }
    // Another file takes the extracted case.
    ScratchFile out("refused", "out.kcase", "", false);
    EXPECT_EQ(0, RunHost("extract " + sheet.path + " --into " + kase.path + " --save " + out.path).exitCode);
    EXPECT_EQ(before, FileContents(kase.path));
}

// A directory, a pipe and a device are refused as save targets before the job runs: nothing of
// the job's output is printed, and autodesign on 24 streams (a long search) ends at once.
TEST(HostRefusedBeforeWork, ASaveTargetThatIsNoRegularFileIsRefusedFirst) {
    ScratchFile fifo("refused", "pipe", "", false);
    ASSERT_EQ(0, ::mkfifo(fifo.path.c_str(), 0600));
    const std::string fourStreams = ExamplePath("four-streams.csv");
    struct Case {
        std::string command, says;
    } cases[] = {
        {"autodesign " + ExamplePath("site-24-streams.csv") + " --save /tmp", "is a directory, not a regular file"},
        {"targets " + fourStreams + " --save " + fifo.path, "is not a regular file"},
        {"targets " + fourStreams + " --save /dev/null", "is not a regular file"},
        {"supertarget " + fourStreams + " --from 5 --to 15 --save /tmp", "is a directory, not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const HostRun run = RunShell("timeout 20 " + std::string(KESTRIN_HOST_EXE) + " " + c.command + " 2>&1");
        EXPECT_EQ(1, run.exitCode) << run.out;
        EXPECT_TRUE(has(run.out, c.says)) << run.out;
        EXPECT_EQ(1, std::count(run.out.begin(), run.out.end(), '\n')) << run.out;
    }
    struct stat info {};
    EXPECT_TRUE(::stat(fifo.path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
}

// design and grid given STREAMS alone: a missing file is a usage error (exit 2 and the usage line),
// while a case given alone still opens.
TEST(HostRefusedBeforeWork, ANetworkJobWithoutItsNetworkTableIsAUsageError) {
    ScratchFile svg("refused", "grid.svg", "", false);
    const std::string streams = ExamplePath("retrofit-streams.csv");
    for (const std::string job : {"design", "grid"}) {
        SCOPED_TRACE(job);
        const HostRun run = RunHost(job + " " + streams + (job == "grid" ? " --svg " + svg.path : ""));
        EXPECT_EQ(2, run.exitCode) << run.out;
        EXPECT_TRUE(has(run.out, "the network table is missing")) << run.out;
        EXPECT_TRUE(has(run.out, "usage: kestrin-host " + job + " --help")) << run.out;
    }
    ScratchFile kase("refused", "design.kcase", "", false);
    ASSERT_EQ(0, RunHost("design " + streams + " " + ExamplePath("retrofit-network.csv") + " --save " + kase.path).exitCode);
    EXPECT_EQ(0, RunHost("design " + kase.path).exitCode);
    EXPECT_EQ(0, RunHost("grid " + kase.path + " --svg " + svg.path).exitCode);
}

}  // namespace
