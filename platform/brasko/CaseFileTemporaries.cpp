#include "brasko/CaseFileTemporaries.h"

#include "brasko/ReplaceChecks.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The name of a save's temporary file: the prefix, the case's own name, the infix, six letters or
// digits from mkstemps, the suffix.
constexpr char kPrefix[] = ".";
constexpr char kInfix[] = ".kestrin-save-";
constexpr char kSuffix[] = ".tmp";
constexpr std::size_t kRandomLength = 6;
// A save whose temporary file a cleaner removed before it could lock it makes another.
constexpr int kCreateAttempts = 8;

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The longest name a directory entry takes (NAME_MAX on Linux and the BSDs).
constexpr std::size_t kMaxNameBytes = 255;

// A case's name is cut so that its temporary name still fits a directory entry: every name a
// user may give a case can be saved. Two names alike in their first 230 bytes share a stem; a
// stale temporary of either is garbage all the same.
std::string stemOf(const std::string& caseName) {
    constexpr std::size_t room =
        kMaxNameBytes - (sizeof kPrefix - 1) - (sizeof kInfix - 1) - kRandomLength - (sizeof kSuffix - 1);
    return kPrefix + caseName.substr(0, room) + kInfix;
}

bool isOurName(const char* name, const std::string& stem) {
    if (std::strncmp(name, stem.c_str(), stem.size()) != 0) return false;
    const char* rest = name + stem.size();
    constexpr std::size_t suffixLength = sizeof kSuffix - 1;
    if (std::strlen(rest) != kRandomLength + suffixLength) return false;
    for (std::size_t i = 0; i < kRandomLength; ++i)
        if (!std::isalnum(static_cast<unsigned char>(rest[i]))) return false;
    return std::strcmp(rest + kRandomLength, kSuffix) == 0;
}

// The directory of `target` and the name of its file.
void splitTarget(const std::string& target, std::string& directory, std::string& name) {
    const std::size_t slash = target.find_last_of('/');
    directory = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    name = slash == std::string::npos ? target : target.substr(slash + 1);
}

// Whether the open file is empty or starts as every file of its kind does.
bool looksLikeOurs(int fd, const struct stat& info, std::string_view expected) {
    if (info.st_size == 0) return true;
    std::string head(expected.size(), '\0');
    const ssize_t n = ::pread(fd, head.data(), head.size(), 0);
    if (n < 0) return false;
    // A save killed within its first bytes leaves a prefix of the head.
    return head.compare(0, static_cast<std::size_t>(n), expected.substr(0, static_cast<std::size_t>(n))) == 0;
}

// The process's file-creation mask, read without changing it (umask() would set it, briefly, for
// every thread). Linux reports it in /proc/self/status; 022 when it cannot be read.
mode_t currentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    return 022;
}
}  // namespace

int CreateSaveTemporary(const std::string& target, std::string& path) {
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        std::string directory, name;
        splitTarget(target, directory, name);
        std::string pattern = directory + "/" + stemOf(name) + "XXXXXX" + kSuffix;
        const int fd = ::mkstemps(pattern.data(), static_cast<int>(sizeof kSuffix - 1));
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

int RemoveStaleSaveTemporaries(const std::string& target, std::string_view head) {
    std::string directory, name;
    splitTarget(target, directory, name);
    const std::string stem = stemOf(name);
    DIR* dir = ::opendir(directory.c_str());
    if (!dir) return 0;
    int removed = 0;
    // One pass over the directory: a save looks at the names beside its case once.
    while (const dirent* entry = ::readdir(dir)) {
        if (!isOurName(entry->d_name, stem)) continue;
        const std::string path = directory + "/" + entry->d_name;
        struct stat named {};
        if (::lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode) || named.st_uid != ::geteuid()) continue;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat opened {};
        // Unheld means no live save: a save keeps its lock until its file is renamed or removed.
        if (::fstat(fd, &opened) == 0 && sameFile(opened, named) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            looksLikeOurs(fd, opened, head)) {
            struct stat again {};
            if (::lstat(path.c_str(), &again) == 0 && sameFile(again, opened) && ::unlink(path.c_str()) == 0) ++removed;
        }
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

FileReplacement::FileReplacement(FileReplacement&& other) noexcept
    : m_fd(other.m_fd), m_size(other.m_size), m_temp(std::move(other.m_temp)), m_target(std::move(other.m_target)) {
    other.m_fd = -1;
}

FileReplacement& FileReplacement::operator=(FileReplacement&& other) noexcept {
    if (this != &other) {
        Abandon();
        m_fd = other.m_fd;
        m_size = other.m_size;
        m_temp = std::move(other.m_temp);
        m_target = std::move(other.m_target);
        other.m_fd = -1;
    }
    return *this;
}

namespace {
bool failWith(std::string& errorText, const std::string& what, int error) {
    errorText = error ? what + ": " + std::strerror(error) : what;
    return false;
}
}  // namespace

bool FileReplacement::Begin(const std::string& path, std::string_view head, std::string& errorText) {
    Abandon();
    errorText.clear();
    // The file the bytes go to: a symbolic link is followed to its file, and only a regular
    // file (or none yet) is written.
    std::string target = path;
    struct stat info {};
    mode_t mode = 0;
    bool replaces = false;
    if (::lstat(target.c_str(), &info) == 0) {
        if (S_ISLNK(info.st_mode)) {
            char* resolved = ::realpath(target.c_str(), nullptr);
            if (!resolved) return failWith(errorText, "the symbolic link leads to no file", errno);
            target = resolved;
            std::free(resolved);
            if (::stat(target.c_str(), &info) != 0)
                return failWith(errorText, "cannot reach the file the link names", errno);
        }
        if (!S_ISREG(info.st_mode))
            return failWith(errorText, "not a regular file; a file is saved only to a regular file", 0);
        // A file the run reads (its case, its script) or one marked write-protected stays as it is.
        if (std::string why; !MayReplaceFile(target, why)) return failWith(errorText, why, 0);
        mode = info.st_mode & 07777;
        replaces = true;
    } else if (errno != ENOENT) {
        return failWith(errorText, "cannot save there", errno);
    } else {
        mode = 0666 & ~currentUmask();
    }

    // What earlier saves to this file left when they were killed goes first.
    RemoveStaleSaveTemporaries(target, head);
    // A temporary file of its own in the target's directory, so that the rename cannot cross
    // file systems and no other file (a user's own "<file>.tmp") is touched; it stays locked
    // until it is renamed or removed, which tells later saves that it is not stale.
    std::string temp;
    const int fd = CreateSaveTemporary(target, temp);
    if (fd < 0) return failWith(errorText, "cannot create a temporary file beside it", errno);
    m_fd = fd;
    m_size = 0;
    m_temp = temp;
    m_target = target;
    // The owner too, where the process may give it (a user's file saved by an administrator);
    // a process that may not keeps the file its own, as any new file.
    if (replaces) {
        const int owned = ::fchown(fd, info.st_uid, info.st_gid);
        (void)owned;
    }
    if (::fchmod(fd, mode) != 0) {
        const int error = errno;
        Abandon();
        return failWith(errorText, "cannot write the file", error);
    }
    return true;
}

bool FileReplacement::WriteAt(std::size_t offset, const void* bytes, std::size_t size, std::string& errorText) {
    const auto* image = static_cast<const unsigned char*>(bytes);
    if (m_fd < 0) return failWith(errorText, "cannot write the file", EBADF);
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::pwrite(m_fd, image + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO;
            Abandon();
            return failWith(errorText, "cannot write the file", error);
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool FileReplacement::Append(const void* bytes, std::size_t size, std::string& errorText) {
    if (!WriteAt(m_size, bytes, size, errorText)) return false;
    m_size += size;
    return true;
}

bool FileReplacement::Finish(std::string& errorText) {
    if (m_fd < 0) return failWith(errorText, "cannot write the file", EBADF);
    int error = 0;
    if (::fsync(m_fd) != 0) error = errno;
    // The lock is held over the rename (closing the file releases it).
    if (!error && std::rename(m_temp.c_str(), m_target.c_str()) != 0) error = errno;
    if (error) {
        Abandon();
        return failWith(errorText, "cannot write the file", error);
    }
    // The bytes were synced before the rename: closing can lose nothing of the file.
    ::close(m_fd);
    m_fd = -1;
    // The rename is durable once the directory is synced; the file is whole either way.
    std::string directory, name;
    splitTarget(m_target, directory, name);
    const int dirFd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

void FileReplacement::Abandon() {
    if (m_fd < 0) return;
    ::unlink(m_temp.c_str());
    ::close(m_fd);
    m_fd = -1;
    m_size = 0;
}

bool ReplaceFileAtomically(const std::string& path, const void* bytes, std::size_t size, std::string_view head,
                           std::string& errorText) {
    FileReplacement file;
    return file.Begin(path, head, errorText) && file.Append(bytes, size, errorText) && file.Finish(errorText);
}
