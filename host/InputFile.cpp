#include "host/InputFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool CheckRegularInput(const std::string& path, const char* what, std::string& error) {
    struct stat named {};
    // A file that is not there is named so, not taken for a file of another kind later on.
    if (::stat(path.c_str(), &named) != 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    if (S_ISREG(named.st_mode)) return true;
    error = path + " " + (S_ISDIR(named.st_mode) ? "is a directory" : "is not a regular file") + ", not " + what +
            " (only a regular file is read)";
    return false;
}

bool ReadInputFile(const std::string& path, const char* what, std::string& text, std::string& error) {
    const auto refuse = [&](const std::string& why) {
        error = path + " " + why;
        return false;
    };
    // Looked at before it is opened (a pipe is never opened, so no writer on it is answered), then
    // opened without waiting (should it become a pipe meanwhile) and looked at again: only a
    // regular file is read, and the file looked at is the file read.
    struct stat named {};
    if (::stat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode))
        return refuse(std::string(S_ISDIR(named.st_mode) ? "is a directory" : "is not a regular file") + ", not " + what +
                      " (only a regular file is read)");
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int e = errno;
        ::close(fd);
        return refuse(std::string("cannot be read as ") + what + ": " + std::strerror(e));
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return refuse(std::string(S_ISDIR(info.st_mode) ? "is a directory" : "is not a regular file") + ", not " + what +
                      " (only a regular file is read)");
    }
    if (info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > MaxInputFileBytes) {
        ::close(fd);
        return refuse(std::string("is larger than ") + what + " may be (" + std::to_string(MaxInputFileBytes >> 20) +
                      " MB)");
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int e = errno;
            ::close(fd);
            return refuse(std::string("cannot be read as ") + what + ": " + std::strerror(e));
        }
        if (n == 0) break;
        // A file that grows while it is read is held to the same bound.
        if (bytes.size() + static_cast<std::size_t>(n) > MaxInputFileBytes) {
            ::close(fd);
            return refuse(std::string("is larger than ") + what + " may be (" + std::to_string(MaxInputFileBytes >> 20) +
                          " MB)");
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    text = std::move(bytes);
    return true;
}
