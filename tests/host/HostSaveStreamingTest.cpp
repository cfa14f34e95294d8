// A large case is saved as it is stored, straight into the temporary file beside the target:
// the file must be the case it always was (byte for byte against one written before, and the same
// again when the case is reopened and saved), and a save the disk cuts short must leave the case
// that was there, whole, and no temporary file beside it.
#include "CaseChecksum.h"
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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

namespace {

bool IsDate(const std::string& text, std::size_t at) {
    if (at + 10 > text.size()) return false;
    for (std::size_t i = 0; i < 10; ++i) {
        const char c = text[at + i];
        if ((i == 4 || i == 7) ? c != '-' : (c < '0' || c > '9')) return false;
    }
    return true;
}

}  // namespace

// The case holds the day it was made (its project's date, the last text before the CRC-32): the
// file saved today is the one written before once it carries that day, and its CRC again.
TEST(HostSaveKnownCase, FourStreamsSaveAsTheCaseWrittenBefore) {
    ScratchFile saved("stream", "four.case", "", false);
    const HostRun run = RunHost("targets " + ExamplePath("four-streams.csv") + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string before = FileContents(std::string(KESTRIN_TEST_DATA) + "/cases/four-streams-targets.case");
    std::string now = FileContents(saved.path);
    ASSERT_EQ(now.size(), before.size());
    ASSERT_GT(before.size(), 14u);
    std::size_t date = before.size() - 4;
    while (date > 0 && !IsDate(before, --date)) {
    }
    ASSERT_TRUE(IsDate(before, date));
    ASSERT_TRUE(IsDate(now, date)) << now.substr(date, 10);
    std::uint32_t crc = 0;
    for (int k = 3; k >= 0; --k) crc = crc << 8 | static_cast<unsigned char>(now[now.size() - 4 + k]);
    EXPECT_EQ(crc, CaseCrc32(now.substr(0, now.size() - 4)));
    now.replace(date, 10, before.substr(date, 10));
    crc = CaseCrc32(now.substr(0, now.size() - 4));
    for (int k = 0; k < 4; ++k) now[now.size() - 4 + k] = static_cast<char>(crc >> (8 * k) & 0xFFu);
    EXPECT_TRUE(now == before);
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
