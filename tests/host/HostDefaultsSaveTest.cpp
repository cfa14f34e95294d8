// The defaults files (capital costs, utilities) and event plans a view saves: a save the system
// refuses says why and that the file there was kept, and a pipe is refused as no regular file
// rather than reported write-protected.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A total site with its utility editor open; `more` runs in it.
HostRun inSiteEditor(const std::string& stem, const std::string& more) {
    ScratchFile script("defaults", stem, "cmd OpenUDB\nopen @last\n" + more);
    return RunHost("view --new hi-total-site Works --script " + script.path);
}

TEST(HostDefaultsSave, UtilityDefaultsToAPipeSayItIsNoRegularFile) {
    const std::string pipe = "/tmp/kestrin-defaults-" + std::to_string(getpid()) + "-pipe.hud";
    ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0644));
    const HostRun run =
        inSiteEditor("pipe.txt", "file " + pipe + "\nexpect SavePreferenceError\ncmd SaveUtilityDefaultSet\n");
    struct stat after {};
    const bool stillPipe = ::stat(pipe.c_str(), &after) == 0 && S_ISFIFO(after.st_mode);
    std::remove(pipe.c_str());
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "Error SavePreferenceError|")) << run.out;
    EXPECT_TRUE(has(run.out, pipe + ": not a regular file")) << run.out;
    EXPECT_TRUE(has(run.out, "cmd SaveUtilityDefaultSet\n  result 0\n")) << run.out;
    EXPECT_FALSE(has(run.out, "FileWriteProtected")) << run.out;
    EXPECT_TRUE(stillPipe);
}

// On a full disk (a small memory file system, where the machine lets the test mount one) each save
// gives the system's reason and keeps the file that was there.
TEST(HostDefaultsSave, AFullDiskKeepsTheOldFileAndSaysWhy) {
    const std::string disk = "/tmp/kestrin-defaults-" + std::to_string(getpid()) + "-disk";
    ASSERT_EQ(0, ::mkdir(disk.c_str(), 0700));
    if (::geteuid() != 0 || ShellStatus("mount -t tmpfs -o size=256k tmpfs " + disk) != 0) {
        ::rmdir(disk.c_str());
        GTEST_SKIP() << "no small file system can be mounted here";
    }
    const std::string costs = disk + "/costs.hcc", utilities = disk + "/utilities.hud", plan = disk + "/plan.xml";
    ScratchFile saved("defaults", "net.kestrin", "", false);
    const HostRun design = RunHost("design " + ExamplePath("four-streams.csv") + " " +
                                   ExamplePath("four-streams-network.csv") + " --save " + saved.path);
    for (const std::string& path : {costs, utilities, plan}) std::ofstream(path) << "the old file";
    {
        std::ofstream filler(disk + "/filler", std::ios::binary);
        const std::string block(4096, 'x');
        for (int i = 0; i < 1024 && filler.write(block.data(), block.size()); ++i) filler.flush();
    }
    ScratchFile costScript("defaults", "costs.txt",
                           "file " + costs + "\nexpect SavePreferenceError\ncmd SaveHXCapitalCostDefaultSet\n");
    const HostRun costRun = RunHost("view " + ExamplePath("four-streams.csv") + " --script " + costScript.path);
    const HostRun utilityRun =
        inSiteEditor("utilities.txt", "file " + utilities + "\nexpect SavePreferenceError\ncmd SaveUtilityDefaultSet\n");
    ScratchFile planScript("defaults", "plan.txt",
                           "cmd ShowEventPlannerView\nopen @last\ncmd CreateNewEventPlan\nfile " + plan +
                               "\nexpect MSXMLError\ncmd SaveEventPlan\n");
    const HostRun planRun = RunHost("view " + saved.path + " --open design --script " + planScript.path);
    const std::string costsAfter = FileContents(costs), utilitiesAfter = FileContents(utilities),
                      planAfter = FileContents(plan);
    ShellStatus("umount " + disk);
    ::rmdir(disk.c_str());
    ASSERT_EQ(0, design.exitCode) << design.out;
    const std::string reason = "No space left on device; the file there was left as it is";
    EXPECT_EQ(0, costRun.exitCode) << costRun.out;
    EXPECT_TRUE(has(costRun.out, "Error SavePreferenceError|")) << costRun.out;
    EXPECT_TRUE(has(costRun.out, costs + ": cannot write the file: " + reason)) << costRun.out;
    EXPECT_EQ("the old file", costsAfter);
    EXPECT_EQ(0, utilityRun.exitCode) << utilityRun.out;
    EXPECT_TRUE(has(utilityRun.out, "Error SavePreferenceError|")) << utilityRun.out;
    EXPECT_TRUE(has(utilityRun.out, utilities + ": cannot write the file: " + reason)) << utilityRun.out;
    EXPECT_EQ("the old file", utilitiesAfter);
    EXPECT_EQ(0, planRun.exitCode) << planRun.out;
    EXPECT_TRUE(has(planRun.out, "Error MSXMLError|")) << planRun.out;
    EXPECT_TRUE(has(planRun.out, plan + ": cannot write the file: " + reason)) << planRun.out;
    EXPECT_EQ("the old file", planAfter);
}

}  // namespace
