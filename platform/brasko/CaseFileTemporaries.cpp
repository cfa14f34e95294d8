#include "brasko/CaseFileTemporaries.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// What mkstemp puts in place of "XXXXXX".
constexpr std::size_t kSuffixLength = 6;
// Both forms of the case file begin with these bytes.
constexpr char kMagicStem[] = "KSTRNCF";
// A save whose temporary file a cleaner removed before it could lock it makes another.
constexpr int kCreateAttempts = 8;

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

bool isOurSuffix(const char* name, const std::string& stem) {
    if (std::strncmp(name, stem.c_str(), stem.size()) != 0) return false;
    const char* suffix = name + stem.size();
    if (std::strlen(suffix) != kSuffixLength) return false;
    for (std::size_t i = 0; i < kSuffixLength; ++i)
        if (!std::isalnum(static_cast<unsigned char>(suffix[i]))) return false;
    return true;
}

// Whether the open file is empty or holds the start of a case.
bool looksLikeOurs(int fd, const struct stat& info) {
    if (info.st_size == 0) return true;
    char head[sizeof kMagicStem - 1] = {};
    const ssize_t n = ::pread(fd, head, sizeof head, 0);
    if (n < 0) return false;
    // A save killed within its first bytes leaves a prefix of the magic.
    return std::memcmp(head, kMagicStem, static_cast<std::size_t>(n)) == 0;
}
}  // namespace

int CreateSaveTemporary(const std::string& target, std::string& path) {
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        std::string pattern = target + ".XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) return -1;
        // Between mkstemp and the lock a cleaner may find the file unheld and remove it; the name
        // is checked again once the lock is held.
        int locked;
        do locked = ::flock(fd, LOCK_EX);
        while (locked != 0 && errno == EINTR);
        struct stat mine {}, named {};
        if (locked == 0 && ::fstat(fd, &mine) == 0 && ::lstat(pattern.c_str(), &named) == 0 && sameFile(mine, named)) {
            path = pattern;
            return fd;
        }
        const int error = locked != 0 ? errno : 0;
        ::close(fd);
        if (error) {
            ::unlink(pattern.c_str());
            errno = error;
            return -1;
        }
    }
    errno = EAGAIN;
    return -1;
}

int RemoveStaleSaveTemporaries(const std::string& target) {
    const std::size_t slash = target.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string stem = (slash == std::string::npos ? target : target.substr(slash + 1)) + ".";
    DIR* dir = ::opendir(directory.c_str());
    if (!dir) return 0;
    int removed = 0;
    // One pass over the directory: a save looks at the names beside its case once.
    while (const dirent* entry = ::readdir(dir)) {
        if (!isOurSuffix(entry->d_name, stem)) continue;
        const std::string path = directory + "/" + entry->d_name;
        struct stat named {};
        if (::lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode) || named.st_uid != ::geteuid()) continue;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat opened {};
        // Unheld means no live save: a save keeps its lock until its file is renamed or removed.
        if (::fstat(fd, &opened) == 0 && sameFile(opened, named) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            looksLikeOurs(fd, opened)) {
            struct stat again {};
            if (::lstat(path.c_str(), &again) == 0 && sameFile(again, opened) && ::unlink(path.c_str()) == 0) ++removed;
        }
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}
