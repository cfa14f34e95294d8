// A large case is saved as it is stored, straight into the temporary file beside the target:
// the file must be the case it always was (byte for byte against one written before, and the same
// again when the case is reopened and saved), and a save the disk cuts short must leave the case
// that was there, whole, and no temporary file beside it.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>

namespace {

namespace fs = std::filesystem;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// `streams` process streams spread over 60-360 C, and the two utilities of the examples.
std::string TableOf(int streams) {
    std::string text = "name,supply,target,cp,h,kind\n";
    for (int i = 0; i < streams; ++i) {
        const double a = 60.0 + (i * 37 % 300), b = 60.0 + (i * 91 % 297) + 1.5;
        const bool hot = i % 2 == 0;
        text += "S" + std::to_string(i + 1) + "," + std::to_string(hot ? std::max(a, b) : std::min(a, b)) + "," +
                std::to_string(hot ? std::min(a, b) : std::max(a, b)) + "," + std::to_string(1.0 + i % 49) + "," +
                std::to_string(0.1 + (i % 9) * 0.1) + ",process\n";
    }
    return text + "HP Steam,,,,,utility\nCooling Water,,,,,utility\n";
}

// A directory of its own, so that a temporary file left behind would be seen.
struct ScratchDir {
    fs::path path;
    explicit ScratchDir(const std::string& name)
        : path(fs::temp_directory_path() / ("kestrin-stream-" + std::to_string(::getpid()) + "-" + name)) {
        fs::create_directories(path);
    }
    ~ScratchDir() { fs::remove_all(path); }
    std::string operator/(const std::string& name) const { return (path / name).string(); }
    std::size_t Files() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(path), fs::directory_iterator()));
    }
};

// A table of 3,000 streams gives a case of about 8 MB: it goes to the disk in pieces.
class HostSaveStreaming : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new ScratchDir("table");
        std::ofstream(*dir_ / "table.csv") << TableOf(3000);
        const HostRun run = RunHost("targets " + *dir_ / "table.csv" + " --save " + *dir_ / "saved.case");
        ASSERT_EQ(0, run.exitCode) << run.out;
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static ScratchDir* dir_;
};
ScratchDir* HostSaveStreaming::dir_ = nullptr;

TEST_F(HostSaveStreaming, ACaseReopenedAndSavedAgainIsTheSameBytesAndTheSameTargets) {
    const std::string saved = FileContents(*dir_ / "saved.case");
    ASSERT_GT(saved.size(), std::size_t{6} << 20);
    ScratchFile again("stream", "again.case", "", false);
    const HostRun resaved = RunHost("targets " + *dir_ / "saved.case" + " --save " + again.path);
    ASSERT_EQ(0, resaved.exitCode) << resaved.out;
    EXPECT_TRUE(FileContents(again.path) == saved) << "the case saved again differs from the case";
    const HostRun table = RunHost("targets " + *dir_ / "table.csv");
    ASSERT_EQ(0, table.exitCode) << table.out;
    EXPECT_EQ(resaved.out, table.out);
}

// A case's bytes without the day it was saved (the project's date, "YYYY-MM-DD", the last date
// in the file) and the checksum at its end, which covers that date.
std::string WithoutSaveDay(std::string bytes) {
    if (bytes.size() < 4) return bytes;
    bytes.resize(bytes.size() - 4);
    auto digit = [&](std::size_t i) { return bytes[i] >= '0' && bytes[i] <= '9'; };
    for (std::size_t at = bytes.size() >= 10 ? bytes.size() - 10 + 1 : 0; at-- > 0;) {
        bool date = bytes[at + 4] == '-' && bytes[at + 7] == '-';
        for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) date = date && digit(at + i);
        if (date) return bytes.erase(at, 10);
    }
    return bytes;
}

// The stored case was written on another day: apart from that day and the checksum over it the
// bytes are the same, and the checksum of the case saved now holds (the case reads).
TEST(HostSaveKnownCase, FourStreamsSaveAsTheCaseWrittenBefore) {
    ScratchFile saved("stream", "four.case", "", false);
    const HostRun run = RunHost("targets " + ExamplePath("four-streams.csv") + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string now = FileContents(saved.path);
    const std::string before = FileContents(std::string(KESTRIN_TEST_DATA) + "/cases/four-streams-targets.case");
    EXPECT_EQ(before.size(), now.size());
    EXPECT_TRUE(WithoutSaveDay(now) == WithoutSaveDay(before));
    EXPECT_NE(WithoutSaveDay(now).size(), now.size() - 4) << "the case holds no date";
    const HostRun read = RunHost("targets " + saved.path);
    EXPECT_EQ(0, read.exitCode) << read.out;
}

// A directory that does not exist: the temporary file cannot be made, whether the case is small
// (made at the commit) or large (at the first piece, while it is stored); nothing was there, so the
// message does not speak of a file left as it was.
TEST_F(HostSaveStreaming, IntoAMissingDirectoryFailsWithTheReasonSmallOrLarge) {
    for (const std::string& table : {ExamplePath("four-streams.csv"), *dir_ / "table.csv"}) {
        const HostRun run = RunHost("targets " + table + " --save " + *dir_ / "absent/case.case");
        EXPECT_EQ(1, run.exitCode) << run.out;
        EXPECT_TRUE(has(run.out, "could not be saved: cannot create a temporary file beside it: No such file or directory"))
            << run.out;
        EXPECT_FALSE(has(run.out, "left as it is")) << run.out;
    }
}

struct Limit {
    const char* name;
    long kilobytes;  // the largest file the save may write; 0: the case's size less one byte
};
[[maybe_unused]] void PrintTo(const Limit& l, std::ostream* os) { *os << l.name; }

class HostSaveCutShort : public HostSaveStreaming, public ::testing::WithParamInterface<Limit> {};

// The disk takes only so many bytes (the file-size limit of the process): the save fails with
// the system's reason, the case there stays byte for byte and no temporary file is left.
TEST_P(HostSaveCutShort, LeavesTheCaseThereWholeAndNoTemporaryFile) {
    ScratchDir target(GetParam().name);
    const std::string good = FileContents(std::string(KESTRIN_TEST_DATA) + "/cases/four-streams-targets.case");
    std::ofstream(target / "case.case", std::ios::binary) << good;
    const long size = static_cast<long>(fs::file_size(*dir_ / "saved.case"));
    const long blocks = GetParam().kilobytes ? GetParam().kilobytes * 2 : (size - 1) / 512;
    // dash counts the limit in blocks of 512 bytes; the signal is ignored so that the write fails.
    const std::string command = "(ulimit -f " + std::to_string(blocks) + "; trap '' XFSZ; exec " + KESTRIN_HOST_EXE +
                                " targets " + *dir_ / "table.csv" + " --save " + target / "case.case" + " > " +
                                target / "out.txt" + " 2>&1)";
    EXPECT_EQ(1, ShellStatus(command));
    const std::string out = FileContents(target / "out.txt");
    EXPECT_TRUE(has(out, "the case could not be saved: cannot write the file: File too large")) << out;
    EXPECT_TRUE(FileContents(target / "case.case") == good);
    EXPECT_EQ(2u, target.Files()) << "the case and the job's output, no temporary file";
}

INSTANTIATE_TEST_SUITE_P(Limits, HostSaveCutShort,
                         ::testing::Values(Limit{"AtTheFirstPiece", 1024}, Limit{"InTheMiddle", 6144},
                                           Limit{"AtTheLastByte", 0}),
                         [](const ::testing::TestParamInfo<Limit>& info) { return std::string(info.param.name); });

}  // namespace
