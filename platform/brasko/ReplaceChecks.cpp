#include "brasko/ReplaceChecks.h"

#include <mutex>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

struct KeptFile {
    dev_t device;
    ino_t inode;
    std::string what;
};

// A run keeps a handful of files (its input, its script): a list is all the look-up needs.
struct KeptFiles {
    std::mutex mutex;
    std::vector<KeptFile> files;
};

KeptFiles& kept() {
    static KeptFiles files;
    return files;
}

}  // namespace

bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat first {}, second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

void KeepFromWriters(const std::string& path, const std::string& what) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return;
    std::lock_guard<std::mutex> lock(kept().mutex);
    kept().files.push_back({info.st_dev, info.st_ino, what});
}

void ReleaseKeptFiles() {
    std::lock_guard<std::mutex> lock(kept().mutex);
    kept().files.clear();
}

bool IsWriteProtectedFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    // The permission bits are read, not only asked of the system: a privileged user may write
    // anything, and a file marked read only is still not replaced for one.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
    return ::access(path.c_str(), W_OK) != 0;
}

bool MayReplaceFile(const std::string& path, std::string& reason) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return true;
    {
        std::lock_guard<std::mutex> lock(kept().mutex);
        for (const KeptFile& file : kept().files)
            if (file.device == info.st_dev && file.inode == info.st_ino) {
                reason = "it is " + file.what + "; a file the run reads is never written over";
                return false;
            }
    }
    if (IsWriteProtectedFile(path)) {
        reason = "the file is write-protected";
        return false;
    }
    return true;
}
