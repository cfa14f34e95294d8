// The temporary files a save leaves when it is killed: the next save to the same case removes
// those of its own naming that no live process holds, and nothing else beside the case.
#include "brasko/CaseFileTemporaries.h"
#include "brasko/LurmetBinaryFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class CaseFileStaleTemporaries : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("kestrin_stale_" + std::to_string(::getpid()) + "_" +
                                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }
    bool Save(const std::string& name) const {
        LurmetBinaryFile w;
        return w.OpenForWrite(Path(name)) && w.WriteInt(7) && w.Close();
    }
    std::filesystem::path dir_;
};

// A save killed at once, in the middle of its bytes, or before it wrote any.
TEST_F(CaseFileStaleTemporaries, TheNextSaveRemovesUnheldFilesOfItsOwnNaming) {
    ASSERT_TRUE(Save("case.ks"));
    std::string killedMidway = "KSTRNCF2";
    killedMidway.append(4096, '\x01');
    Write(".case.ks.kestrin-save-Ab12Cd.tmp", killedMidway);
    Write(".case.ks.kestrin-save-zz09QQ.tmp", "");
    Write(".case.ks.kestrin-save-K3xyzw.tmp", "KSTR");
    ASSERT_TRUE(Save("case.ks"));
    EXPECT_FALSE(Exists(".case.ks.kestrin-save-Ab12Cd.tmp"));
    EXPECT_FALSE(Exists(".case.ks.kestrin-save-zz09QQ.tmp"));
    EXPECT_FALSE(Exists(".case.ks.kestrin-save-K3xyzw.tmp"));
    LurmetBinaryFile r;
    std::int32_t v = 0;
    ASSERT_TRUE(r.OpenForRead(Path("case.ks")) && r.ReadInt(v));
    EXPECT_EQ(7, v);
}

TEST_F(CaseFileStaleTemporaries, OtherFilesBesideTheCaseAreLeftAlone) {
    const std::string magic = "KSTRNCF2 and more";
    // Names a user gives the case's copies and notes, whatever they hold.
    Write("case.ks.backup", magic);
    Write("case.ks.2026q4", magic);
    Write("case.ks.README", "");
    Write("case.ks.Ab12Cd", "KSTR");
    Write("case.ks.tmp", magic);
    // Near misses of a save's own naming.
    Write(".case.ks.kestrin-save-Ab12C.tmp", magic);    // five
    Write(".case.ks.kestrin-save-Ab12Cd7.tmp", magic);  // seven
    Write(".case.ks.kestrin-save-Ab-2Cd.tmp", magic);   // not a letter or digit
    Write(".case.ks.kestrin-save-Ab12Cd.tmpx", magic);  // another suffix
    Write(".other.ks.kestrin-save-Ab12Cd.tmp", magic);  // another case's
    Write(".case.ks.kestrin-save-Notour.tmp", "a letter");  // not a case's bytes
    ASSERT_TRUE(Save("case.ks"));
    const char* kept[] = {"case.ks.backup",
                          "case.ks.2026q4",
                          "case.ks.README",
                          "case.ks.Ab12Cd",
                          "case.ks.tmp",
                          ".case.ks.kestrin-save-Ab12C.tmp",
                          ".case.ks.kestrin-save-Ab12Cd7.tmp",
                          ".case.ks.kestrin-save-Ab-2Cd.tmp",
                          ".case.ks.kestrin-save-Ab12Cd.tmpx",
                          ".other.ks.kestrin-save-Ab12Cd.tmp",
                          ".case.ks.kestrin-save-Notour.tmp"};
    for (const char* name : kept) EXPECT_TRUE(Exists(name)) << name;
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(std::size(kept) + 1, files) << "the save left no file of its own beside the case";
}

// A temporary file that a live save holds is being written: it stays.
TEST_F(CaseFileStaleTemporaries, AFileAliveSaveHoldsStays) {
    std::string held;
    const int fd = CreateSaveTemporary(Path("case.ks"), held);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(8, ::write(fd, "KSTRNCF2", 8));
    ASSERT_TRUE(Save("case.ks"));
    EXPECT_TRUE(std::filesystem::exists(held));
    ::close(fd);
    ASSERT_TRUE(Save("case.ks"));
    EXPECT_FALSE(std::filesystem::exists(held)) << "once its process let go, the file is stale";
}

// A process killed in the middle of its save: its lock goes with it.
TEST_F(CaseFileStaleTemporaries, AKilledSavesFileIsRemovedByTheNextSave) {
    const std::string target = Path("case.ks");
    const std::string record = Path("name");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::string temp;
        const int fd = CreateSaveTemporary(target, temp);
        if (fd < 0 || ::write(fd, "KSTRNCF2", 8) != 8) ::_exit(1);
        std::ofstream(record) << temp;
        ::raise(SIGKILL);
        ::_exit(2);
    }
    int status = 0;
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
    ASSERT_TRUE(WIFSIGNALED(status));
    std::string temp;
    std::ifstream(record) >> temp;
    ASSERT_TRUE(std::filesystem::exists(temp)) << temp;
    ASSERT_TRUE(Save("case.ks"));
    EXPECT_FALSE(std::filesystem::exists(temp));
}

}  // namespace
