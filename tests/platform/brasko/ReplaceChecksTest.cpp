// What a writer asks before it replaces a file: a file marked read only is write-protected for
// every user, root too; a file another user owns and keeps to himself is write-protected for an
// ordinary user (the check is made as that user, in a child process that gives up root, since
// root may write anything); a file the run keeps is refused by any of its names.
#include "brasko/ReplaceChecks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kOrdinaryUser = 65534;  // nobody

struct TempDir {
    std::string path;
    TempDir() {
        std::string pattern = "/tmp/kestrin-replace-XXXXXX";
        if (::mkdtemp(pattern.data())) path = pattern;
    }
    ~TempDir() {
        if (!path.empty()) std::system(("rm -rf '" + path + "'").c_str());
    }
    std::string File(const std::string& name, mode_t mode) const {
        const std::string file = path + "/" + name;
        std::ofstream(file) << "kept";
        ::chmod(file.c_str(), mode);
        return file;
    }
};

// The check as an ordinary user: 1 write-protected, 0 not, -1 when the user cannot be taken.
int WriteProtectedForOrdinaryUser(const std::string& file) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kOrdinaryUser, kOrdinaryUser, kOrdinaryUser) != 0 ||
            ::setresuid(kOrdinaryUser, kOrdinaryUser, kOrdinaryUser) != 0)
            ::_exit(3);
        ::_exit(IsWriteProtectedFile(file) ? 1 : 0);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    const int code = WEXITSTATUS(status);
    return code == 3 ? -1 : code;
}

}  // namespace

TEST(ReplaceChecks, AReadOnlyFileIsWriteProtectedForEveryone) {
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    const std::string locked = dir.File("locked", 0444), open = dir.File("open", 0644);
    EXPECT_TRUE(IsWriteProtectedFile(locked));
    EXPECT_FALSE(IsWriteProtectedFile(open));
    EXPECT_FALSE(IsWriteProtectedFile(dir.path + "/none"));
    std::string reason;
    EXPECT_FALSE(MayReplaceFile(locked, reason));
    EXPECT_EQ("the file is write-protected", reason);
    EXPECT_TRUE(MayReplaceFile(dir.path + "/none", reason));
}

// Run as root, the suite checks as an ordinary user in a child process: the file root owns and
// keeps to itself (0644) is write-protected for that user, one open to all (0666) is not, and for
// root neither is.
TEST(ReplaceChecks, AFileTheUserMayNotWriteIsWriteProtectedForThatUser) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can make a file of another user's and take an ordinary user";
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    ASSERT_EQ(0, ::chmod(dir.path.c_str(), 0755));
    const std::string own = dir.File("roots", 0644), shared = dir.File("shared", 0666);
    const int ownForUser = WriteProtectedForOrdinaryUser(own);
    if (ownForUser < 0) GTEST_SKIP() << "the ordinary user cannot be taken here";
    EXPECT_EQ(1, ownForUser);
    EXPECT_EQ(0, WriteProtectedForOrdinaryUser(shared));
    EXPECT_FALSE(IsWriteProtectedFile(own));
    EXPECT_FALSE(IsWriteProtectedFile(shared));
}

// A file the run keeps is refused by its own name, through a symbolic link and by a hard link,
// until the run lets it go.
TEST(ReplaceChecks, AKeptFileIsRefusedByEveryName) {
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    const std::string kase = dir.File("case", 0644);
    ASSERT_EQ(0, ::symlink(kase.c_str(), (dir.path + "/link").c_str()));
    ASSERT_EQ(0, ::link(kase.c_str(), (dir.path + "/hard").c_str()));
    KeepFromWriters(kase, "the case the views show");
    for (const std::string& name : {kase, dir.path + "/link", dir.path + "/hard", dir.path + "/../" +
                                                                                       dir.path.substr(5) + "/case"}) {
        SCOPED_TRACE(name);
        std::string reason;
        EXPECT_FALSE(MayReplaceFile(name, reason));
        EXPECT_EQ("it is the case the views show; a file the run reads is never written over", reason);
    }
    ReleaseKeptFiles();
    std::string reason;
    EXPECT_TRUE(MayReplaceFile(kase, reason));
    EXPECT_TRUE(IsSameFile(kase, dir.path + "/hard"));
    EXPECT_FALSE(IsSameFile(kase, dir.path + "/none"));
}
