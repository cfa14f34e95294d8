// The files a retrofit run keeps while it runs (the step it is at, the solver's log) lie in a
// directory of its own: whatever stands at those names in the temporary directory (another user's
// link, a pipe, the user's own files, the very case being retrofitted) is neither opened, written
// nor removed, and the run leaves nothing behind.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string kStreams = ExamplePath("retrofit-streams.csv");
const std::string kNetwork = ExamplePath("retrofit-network.csv");

// A temporary directory of the test's own, given to the host as TMPDIR.
struct TempDir {
    std::string path;
    TempDir() {
        std::string pattern = "/tmp/kestrin-runfiles-XXXXXX";
        if (::mkdtemp(pattern.data())) path = pattern;
    }
    ~TempDir() { RunShell("rm -rf '" + path + "'"); }
    std::string At(const std::string& name) const { return path + "/" + name; }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        if (DIR* dir = ::opendir(path.c_str())) {
            while (const dirent* e = ::readdir(dir))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.insert(e->d_name);
            ::closedir(dir);
        }
        return names;
    }
};

std::string LinkTarget(const std::string& path) {
    char buffer[4096];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
    return n < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(n));
}

bool IsFifo(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
}

HostRun RetrofitIn(const TempDir& dir, const std::string& input) {
    return RunShell("TMPDIR='" + dir.path + "' timeout 60 " + std::string(KESTRIN_HOST_EXE) + " retrofit " + input +
                    " --steps 2 --budget 100000 2>&1");
}

}  // namespace

TEST(HostRetrofitRunFiles, NothingAtTheLogNamesInTheTemporaryDirectoryIsTouched) {
    const HostRun clean = RunHost("retrofit " + kStreams + " " + kNetwork + " --steps 2 --budget 100000");
    ASSERT_EQ(0, clean.exitCode) << clean.out;
    const std::string tables = kStreams + " " + kNetwork;

    {
        SCOPED_TRACE("links to a file the user may write");
        TempDir dir;
        std::ofstream(dir.At("victim")) << "the user's own";
        ASSERT_EQ(0, ::symlink(dir.At("victim").c_str(), dir.At("Retrofit.log").c_str()));
        ASSERT_EQ(0, ::symlink(dir.At("victim").c_str(), dir.At("Datafile.LOG").c_str()));
        const HostRun run = RetrofitIn(dir, tables);
        EXPECT_EQ(0, run.exitCode) << run.out;
        EXPECT_EQ(clean.out, run.out);
        EXPECT_EQ("the user's own", FileContents(dir.At("victim")));
        EXPECT_EQ(dir.At("victim"), LinkTarget(dir.At("Retrofit.log")));
        EXPECT_EQ(dir.At("victim"), LinkTarget(dir.At("Datafile.LOG")));
        EXPECT_EQ((std::set<std::string>{"Datafile.LOG", "Retrofit.log", "victim"}), dir.Names());
    }
    {
        SCOPED_TRACE("pipes");
        TempDir dir;
        ASSERT_EQ(0, ::mkfifo(dir.At("Retrofit.log").c_str(), 0600));
        ASSERT_EQ(0, ::mkfifo(dir.At("Datafile.LOG").c_str(), 0600));
        const HostRun run = RetrofitIn(dir, tables);
        EXPECT_EQ(0, run.exitCode) << run.out;
        EXPECT_EQ(clean.out, run.out);
        EXPECT_TRUE(IsFifo(dir.At("Retrofit.log")));
        EXPECT_TRUE(IsFifo(dir.At("Datafile.LOG")));
        EXPECT_EQ((std::set<std::string>{"Datafile.LOG", "Retrofit.log"}), dir.Names());
    }
    {
        SCOPED_TRACE("a solver error planted under the solver log's name");
        TempDir dir;
        std::ofstream(dir.At("Datafile.LOG")) << "[Error Code:  108]";
        const HostRun run = RetrofitIn(dir, tables);
        EXPECT_EQ(0, run.exitCode) << run.out;
        EXPECT_EQ(clean.out, run.out);
        EXPECT_EQ("[Error Code:  108]", FileContents(dir.At("Datafile.LOG")));
        EXPECT_EQ((std::set<std::string>{"Datafile.LOG"}), dir.Names());
    }
}

// The case retrofitted is the user's file named Datafile.LOG, and a report kept as Retrofit.log:
// both stay byte for byte.
TEST(HostRetrofitRunFiles, TheUsersOwnFilesOfThoseNamesStay) {
    TempDir dir;
    ASSERT_EQ(0, RunHost("retrofit " + kStreams + " " + kNetwork + " --steps 1 --save " + dir.At("ret.kcase")).exitCode);
    ASSERT_EQ(0, RunShell("cp '" + dir.At("ret.kcase") + "' '" + dir.At("Datafile.LOG") + "'").exitCode);
    std::ofstream(dir.At("Retrofit.log")) << "last week's report\n";
    const std::string kase = FileContents(dir.At("Datafile.LOG"));
    const HostRun run = RetrofitIn(dir, dir.At("Datafile.LOG"));
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Step 2:")) << run.out;
    EXPECT_EQ(kase, FileContents(dir.At("Datafile.LOG")));
    EXPECT_EQ("last week's report\n", FileContents(dir.At("Retrofit.log")));
    EXPECT_EQ((std::set<std::string>{"Datafile.LOG", "Retrofit.log", "ret.kcase"}), dir.Names());
}
