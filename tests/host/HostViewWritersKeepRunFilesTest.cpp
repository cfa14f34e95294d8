// A file a view script writes (a picture, an event plan, a capital-cost or utility file) never
// replaces a file the run reads: the case the views were opened on, or the running script, by
// whatever name the script gives it (the name itself, a symbolic link, a hard link). Nor does it,
// or the host's own --save and --svg, replace a write-protected file. The refused file is kept
// byte for byte and inode for inode, and the run exits 1.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A directory of its own per test, removed with what is in it.
struct ScratchDirectory {
    std::string path;
    explicit ScratchDirectory(const std::string& stem) {
        std::string pattern = "/tmp/kestrin-keep-" + stem + "-XXXXXX";
        path = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~ScratchDirectory() {
        if (!path.empty()) ShellStatus("chmod -R u+w " + path + " && rm -rf " + path);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

struct FileState {
    ino_t inode = 0;
    std::string bytes;
    bool operator==(const FileState&) const = default;
};

FileState stateOf(const std::string& path) {
    struct stat info {};
    FileState state;
    if (::lstat(path.c_str(), &info) == 0) state.inode = info.st_ino;
    state.bytes = FileContents(path);
    return state;
}

// A writer a script reaches: the view it opens and the lines that write TARGET.
struct Writer {
    const char* name;
    bool site;          // works on a total site's case
    const char* open;   // --open of the run ("" the default)
    std::string lines;  // the script, with TARGET for the file written
};

const Writer kWriters[] = {
    {"GridPicture", false, "grid", "svg . TARGET\n"},
    {"EventPlan", false, "design",
     "cmd ShowEventPlannerView\nopen @last\ncmd CreateNewEventPlan\nfile TARGET\ncmd SaveEventPlan\n"},
    {"CapitalCosts", false, "", "file TARGET\ncmd SaveHXCapitalCostDefaultSet\n"},
    {"SiteUtilities", true, "", "cmd OpenUDB\nopen @last\nfile TARGET\ncmd SaveUtilityDefaultSet\n"},
};

// What the script aims at.
enum class Aim { Case, CaseSymlink, CaseHardLink, Script, ScriptSymlink, ScriptHardLink, WriteProtected, NewFile };

struct Row {
    const Writer* writer;
    Aim aim;
};

const char* aimName(Aim aim) {
    switch (aim) {
        case Aim::Case: return "Case";
        case Aim::CaseSymlink: return "CaseSymlink";
        case Aim::CaseHardLink: return "CaseHardLink";
        case Aim::Script: return "Script";
        case Aim::ScriptSymlink: return "ScriptSymlink";
        case Aim::ScriptHardLink: return "ScriptHardLink";
        case Aim::WriteProtected: return "WriteProtected";
        case Aim::NewFile: return "NewFile";
    }
    return "";
}

void PrintTo(const Row& row, std::ostream* out) { *out << row.writer->name << "/" << aimName(row.aim); }

std::string replaced(std::string text, const std::string& target) {
    for (std::size_t at; (at = text.find("TARGET")) != std::string::npos;) text.replace(at, 6, target);
    return text;
}

// The case the views open: a designed network, or a total site with its utilities.
bool makeCase(const Writer& writer, const std::string& path) {
    if (writer.site) return RunHost("view --new hi-total-site Site --save " + path).exitCode == 0;
    return RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") +
                   " --save " + path)
               .exitCode == 0;
}

class HostViewWritersKeepRunFiles : public ::testing::TestWithParam<Row> {};

TEST_P(HostViewWritersKeepRunFiles, AFileOfTheRunOrAWriteProtectedOneIsKept) {
    const Writer& writer = *GetParam().writer;
    const Aim aim = GetParam().aim;
    ScratchDirectory dir(writer.name);
    ASSERT_FALSE(dir.path.empty());
    const std::string casePath = dir / "study.kcase", scriptPath = dir / "script.txt";
    ASSERT_TRUE(makeCase(writer, casePath));
    std::string target;
    switch (aim) {
        case Aim::Case: target = casePath; break;
        case Aim::Script: target = scriptPath; break;
        case Aim::CaseSymlink:
        case Aim::ScriptSymlink:
            target = dir / "link";
            ASSERT_EQ(0, ::symlink(aim == Aim::CaseSymlink ? "study.kcase" : "script.txt", target.c_str()));
            break;
        case Aim::CaseHardLink:
            target = dir / "twin.kcase";
            ASSERT_EQ(0, ::link(casePath.c_str(), target.c_str()));
            break;
        case Aim::ScriptHardLink: target = dir / "twin.txt"; break;  // linked once the script is there
        case Aim::WriteProtected:
            target = dir / "locked.out";
            std::ofstream(target) << "kept\n";
            ASSERT_EQ(0, ::chmod(target.c_str(), 0444));
            break;
        case Aim::NewFile: target = dir / "fresh.out"; break;
    }
    std::ofstream(scriptPath) << replaced(writer.lines, target);
    if (aim == Aim::ScriptHardLink) {
        ASSERT_EQ(0, ::link(scriptPath.c_str(), target.c_str()));
    }
    const FileState caseBefore = stateOf(casePath), scriptBefore = stateOf(scriptPath), targetBefore = stateOf(target);

    const std::string open = *writer.open ? std::string(" --open ") + writer.open : std::string();
    const HostRun run = RunHost("view " + casePath + open + " --script " + scriptPath);

    if (aim == Aim::NewFile) {
        // The same writer does write where it may: the refusals below are the rule's alone.
        EXPECT_EQ(0, run.exitCode) << run.out;
        EXPECT_FALSE(FileContents(target).empty()) << run.out;
    } else {
        EXPECT_EQ(1, run.exitCode) << run.out;
        // A file of the run is named as such; a write-protected one the writer's own words refuse.
        if (aim != Aim::WriteProtected) {
            EXPECT_NE(std::string::npos, run.out.find("a file the run reads is never written over")) << run.out;
        }
        EXPECT_TRUE(stateOf(target) == targetBefore) << run.out;
    }
    EXPECT_TRUE(stateOf(casePath) == caseBefore) << run.out;
    EXPECT_TRUE(stateOf(scriptPath) == scriptBefore) << run.out;
}

std::vector<Row> rows() {
    std::vector<Row> all;
    for (const Writer& w : kWriters)
        for (Aim a : {Aim::Case, Aim::CaseSymlink, Aim::CaseHardLink, Aim::Script, Aim::ScriptSymlink,
                      Aim::ScriptHardLink, Aim::WriteProtected, Aim::NewFile})
            all.push_back({&w, a});
    return all;
}

INSTANTIATE_TEST_SUITE_P(Writers, HostViewWritersKeepRunFiles, ::testing::ValuesIn(rows()),
                         [](const ::testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.writer->name) + "_" + aimName(info.param.aim);
                         });

// A stream table the views were opened on is an input of the run as a case is.
TEST(HostViewWritersKeepRunFiles, TheStreamTableTheViewsShowIsKept) {
    ScratchDirectory dir("table");
    ASSERT_FALSE(dir.path.empty());
    const std::string table = dir / "streams.csv";
    std::ofstream(table) << FileContents(ExamplePath("four-streams.csv"));
    const FileState before = stateOf(table);
    const HostRun run = RunViewScript(table, "file " + table + "\ncmd SaveHXCapitalCostDefaultSet\n");
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_TRUE(stateOf(table) == before) << run.out;
}

// The host's own writers: a case saved with --save, a picture with --svg.
struct HostWriter {
    const char* name;
    std::string arguments;  // with TARGET for the file written
    bool caseFile;          // what the file there holds before (a case, or a picture)
};

void PrintTo(const HostWriter& w, std::ostream* out) { *out << w.name; }

const std::string kStreams = ExamplePath("four-streams.csv");
const std::string kNetwork = ExamplePath("four-streams-network.csv");

class HostSaveRefusesWriteProtected : public ::testing::TestWithParam<HostWriter> {
protected:
    // Puts a file of the writer's kind at `target`.
    void prepare(const std::string& target) {
        if (GetParam().caseFile)
            ASSERT_EQ(0, RunHost("design " + kStreams + " " + kNetwork + " --save " + target).exitCode);
        else
            std::ofstream(target) << "<?xml version=\"1.0\"?><svg/>\n";
    }
};

// Marked read only: refused for any user, root too (the bits are read, not only asked of the system).
TEST_P(HostSaveRefusesWriteProtected, AFileMarkedReadOnlyIsKept) {
    ScratchDirectory dir(GetParam().name);
    ASSERT_FALSE(dir.path.empty());
    const std::string target = dir / "out";
    prepare(target);
    ASSERT_EQ(0, ::chmod(target.c_str(), 0444));
    const FileState before = stateOf(target);
    const HostRun run = RunHost(replaced(GetParam().arguments, target));
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("write-protected")) << run.out;
    EXPECT_TRUE(stateOf(target) == before) << run.out;
}

// A user who may not write the file (another's, in a directory open to all, where a rename over it
// would go through) has it refused as well; the same run as its owner replaces it.
TEST_P(HostSaveRefusesWriteProtected, AFileTheUserMayNotWriteIsKept) {
    if (::geteuid() != 0 || ShellStatus("setpriv --reuid=65534 --regid=65534 --clear-groups " +
                                        std::string(KESTRIN_HOST_EXE) + " info") != 0)
        GTEST_SKIP() << "needs root and setpriv to run the host as another user";
    ScratchDirectory dir(GetParam().name);
    ASSERT_FALSE(dir.path.empty());
    ASSERT_EQ(0, ::chmod(dir.path.c_str(), 0777));
    const std::string target = dir / "out";
    prepare(target);
    ASSERT_EQ(0, ::chmod(target.c_str(), 0644));
    const FileState before = stateOf(target);
    const HostRun other =
        RunShell("setpriv --reuid=65534 --regid=65534 --clear-groups " + std::string(KESTRIN_HOST_EXE) + " " +
                 replaced(GetParam().arguments, target) + " 2>&1");
    EXPECT_EQ(1, other.exitCode) << other.out;
    EXPECT_NE(std::string::npos, other.out.find("write-protected")) << other.out;
    EXPECT_TRUE(stateOf(target) == before) << other.out;
    // Its owner may.
    const HostRun owner = RunHost(replaced(GetParam().arguments, target));
    EXPECT_EQ(0, owner.exitCode) << owner.out;
}

INSTANTIATE_TEST_SUITE_P(
    Writers, HostSaveRefusesWriteProtected,
    ::testing::Values(HostWriter{"DesignSave", "design " + kStreams + " " + kNetwork + " --save TARGET", true},
                      HostWriter{"ViewSave", "view " + kStreams + " --save TARGET", true},
                      HostWriter{"GridPicture", "grid " + kStreams + " " + kNetwork + " --svg TARGET", false},
                      HostWriter{"PlotPicture", "plot " + kStreams + " --kind composite --svg TARGET", false}),
    [](const ::testing::TestParamInfo<HostWriter>& info) { return std::string(info.param.name); });

}  // namespace
