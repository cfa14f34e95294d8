// Every picture a job writes goes through the writer case saves use: a symbolic link is followed
// and stays a link, a pipe or a directory is refused and stays what it was, a user's own
// "<file>.part" is never touched, and a write the system refuses (here the file-size limit, as a
// full disk would) keeps the old picture and says why.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct PictureJob {
    const char* name;
    // The job's arguments with OUT standing for the picture's path (a view job gets a script).
    std::string arguments;
    bool viaScript = false;
};
void PrintTo(const PictureJob& job, std::ostream* out) { *out << job.name; }

const std::string kTables = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");

class HostOutputFile : public ::testing::TestWithParam<PictureJob> {
protected:
    // Runs the job writing its picture to `out`, behind `prefix` (a shell command) when given.
    HostRun run(const std::string& out, const std::string& prefix = "") {
        const PictureJob& job = GetParam();
        std::string arguments = job.arguments;
        if (job.viaScript) {
            std::ofstream(script.path) << "svg chiPlot.200.3 " << out << "\n";
            arguments += " --script " + script.path;
        } else {
            arguments.replace(arguments.find("OUT"), 3, out);
        }
        if (prefix.empty()) return RunHost(arguments);
        return RunShell(prefix + " " + std::string(KESTRIN_HOST_EXE) + " " + arguments + " 2>&1");
    }
    ScratchFile script{"outfile", std::string(GetParam().name) + ".txt", ""};
    ScratchFile picture{"outfile", std::string(GetParam().name) + ".svg", "the old picture"};
};

TEST_P(HostOutputFile, ASymbolicLinkIsFollowedAndStaysALink) {
    ScratchFile link("outfile", std::string(GetParam().name) + "-link.svg", "", false);
    ASSERT_EQ(0, ::symlink(picture.path.c_str(), link.path.c_str()));
    const HostRun done = run(link.path);
    ASSERT_EQ(0, done.exitCode) << done.out;
    struct stat info {};
    ASSERT_EQ(0, ::lstat(link.path.c_str(), &info));
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_NE(std::string::npos, FileContents(picture.path).find("<svg ")) << FileContents(picture.path).substr(0, 80);
}

TEST_P(HostOutputFile, AUsersPartFileIsLeftAlone) {
    ScratchFile part("outfile", std::string(GetParam().name) + ".svg.part", "the user's own notes");
    const HostRun done = run(picture.path);
    ASSERT_EQ(0, done.exitCode) << done.out;
    EXPECT_EQ("the user's own notes", FileContents(part.path));
    EXPECT_NE(std::string::npos, FileContents(picture.path).find("<svg "));
}

TEST_P(HostOutputFile, APipeOrADirectoryIsRefusedAndStaysWhatItWas) {
    ScratchFile fifo("outfile", std::string(GetParam().name) + ".fifo", "", false);
    ASSERT_EQ(0, ::mkfifo(fifo.path.c_str(), 0600));
    const HostRun onPipe = run(fifo.path);
    EXPECT_EQ(1, onPipe.exitCode) << onPipe.out;
    EXPECT_NE(std::string::npos, onPipe.out.find("not a regular file")) << onPipe.out;
    struct stat info {};
    ASSERT_EQ(0, ::lstat(fifo.path.c_str(), &info));
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    const std::string directory = picture.path + ".d";
    ASSERT_EQ(0, ::mkdir(directory.c_str(), 0700));
    const HostRun onDirectory = run(directory);
    EXPECT_EQ(1, onDirectory.exitCode) << onDirectory.out;
    ASSERT_EQ(0, ::lstat(directory.c_str(), &info));
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    ::rmdir(directory.c_str());
}

TEST_P(HostOutputFile, AWriteTheSystemRefusesKeepsTheOldPictureAndSaysWhy) {
    // A file-size limit of one block: the picture cannot be written, as on a full disk.
    const HostRun done = run(picture.path, "ulimit -f 1;");
    EXPECT_EQ(1, done.exitCode) << done.out;
    EXPECT_NE(std::string::npos, done.out.find("cannot write " + picture.path + ": ")) << done.out;
    EXPECT_NE(std::string::npos, done.out.find("File too large")) << done.out;
    EXPECT_NE(std::string::npos, done.out.find("; the file there was left as it is")) << done.out;
    EXPECT_EQ("the old picture", FileContents(picture.path));
}

// A case save stopped by the file-size limit says so with the system's reason, and the case there
// stays as it was.
TEST(HostOutputFileCase, ASaveOverTheFileSizeLimitSaysWhyAndKeepsTheOldCase) {
    ScratchFile saved("outfile", "limit.case", "", false);
    ASSERT_EQ(0, RunHost("targets " + ExamplePath("four-streams.csv") + " --save " + saved.path).exitCode);
    const std::string before = FileContents(saved.path);
    const HostRun run = RunShell("ulimit -f 1; " + std::string(KESTRIN_HOST_EXE) + " targets " +
                                 ExamplePath("site-24-streams.csv") + " --save " + saved.path + " 2>&1");
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("File too large")) << run.out;
    EXPECT_EQ(before, FileContents(saved.path));
}

// A case of a name as long as a directory entry takes (255 bytes) is saved, and read back.
TEST(HostOutputFileCase, ACaseOfTheLongestNameIsSaved) {
    const std::string name = "/tmp/" + std::string(255 - std::to_string(getpid()).size() - 1, 'c') + "-" +
                             std::to_string(getpid());
    const HostRun save = RunHost("targets " + ExamplePath("four-streams.csv") + " --save " + name);
    EXPECT_EQ(0, save.exitCode) << save.out;
    EXPECT_EQ(0, RunHost("targets " + name).exitCode);
    std::remove(name.c_str());
}

// On a disk that is full (a small memory file system, where the machine lets the test mount one) a
// picture and a case each fail with the system's reason, and the files there stay as they were.
TEST(HostOutputFileCase, AFullDiskKeepsTheOldPictureAndTheOldCaseAndSaysWhy) {
    const std::string disk = "/tmp/kestrin-outfile-" + std::to_string(getpid()) + "-disk";
    ASSERT_EQ(0, ::mkdir(disk.c_str(), 0700));
    if (::geteuid() != 0 || ShellStatus("mount -t tmpfs -o size=256k tmpfs " + disk) != 0) {
        ::rmdir(disk.c_str());
        GTEST_SKIP() << "no small file system can be mounted here";
    }
    const std::string picture = disk + "/grid.svg", saved = disk + "/four.case";
    std::ofstream(picture) << "the old picture";
    const HostRun made = RunHost("targets " + ExamplePath("four-streams.csv") + " --save " + saved);
    const std::string before = FileContents(saved);
    // Whatever room is left goes to a file of its own.
    {
        std::ofstream filler(disk + "/filler", std::ios::binary);
        const std::string block(4096, 'x');
        for (int i = 0; i < 1024 && filler.write(block.data(), block.size()); ++i) filler.flush();
    }
    const HostRun grid = RunHost("grid " + kTables + " --svg " + picture);
    const HostRun save = RunHost("targets " + ExamplePath("site-24-streams.csv") + " --save " + saved);
    const std::string after = FileContents(saved);
    const std::string pictureAfter = FileContents(picture);
    ShellStatus("umount " + disk);
    ::rmdir(disk.c_str());
    ASSERT_EQ(0, made.exitCode) << made.out;
    EXPECT_EQ(1, grid.exitCode) << grid.out;
    EXPECT_NE(std::string::npos, grid.out.find("No space left on device")) << grid.out;
    EXPECT_EQ("the old picture", pictureAfter);
    EXPECT_EQ(1, save.exitCode) << save.out;
    EXPECT_NE(std::string::npos, save.out.find("No space left on device")) << save.out;
    EXPECT_EQ(before, after);
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, HostOutputFile,
    ::testing::Values(PictureJob{"Plot", "plot " + ExamplePath("four-streams.csv") + " --kind composite --svg OUT"},
                      PictureJob{"DesignPlot", "plot " + kTables + " --kind bar --svg OUT"},
                      PictureJob{"Grid", "grid " + kTables + " --svg OUT"},
                      PictureJob{"ViewScript", "view " + ExamplePath("four-streams.csv"), true}),
    [](const ::testing::TestParamInfo<PictureJob>& info) { return std::string(info.param.name); });

}  // namespace
