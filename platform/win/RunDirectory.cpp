#include "win/RunDirectory.h"

#include "win/Module.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

RunDirectory::RunDirectory(const char* prefix) {
    std::string pattern = GetTempPathA() + (prefix ? prefix : "kestrin-run-") + "XXXXXX";
    if (::mkdtemp(pattern.data())) m_path = pattern;
}

RunDirectory::~RunDirectory() {
    if (m_path.empty()) return;
    for (const std::string& name : m_names) ::unlink((m_path + "/" + name).c_str());
    ::rmdir(m_path.c_str());
}

void RunDirectory::Remember(const char* name) {
    if (std::find(m_names.begin(), m_names.end(), name) == m_names.end()) m_names.emplace_back(name);
}

std::string RunDirectory::FilePath(const char* name) {
    if (m_path.empty() || !name) return std::string();
    Remember(name);
    return m_path + "/" + name;
}

bool RunDirectory::WriteFile(const char* name, const std::string& text) {
    const std::string path = FilePath(name);
    if (path.empty()) return false;
    // The first write makes the file; later ones replace the text of the file this run made.
    const bool made = std::find(m_written.begin(), m_written.end(), name) != m_written.end();
    const int flags = O_WRONLY | O_NOFOLLOW | O_CLOEXEC | (made ? O_TRUNC : O_CREAT | O_EXCL);
    const int fd = ::open(path.c_str(), flags, 0600);
    if (fd < 0) return false;
    if (!made) m_written.emplace_back(name);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return ::close(fd) == 0 && done == text.size();
}

bool RunDirectory::ReadFile(const char* name, std::string& text) const {
    text.clear();
    if (m_path.empty() || !name) return false;
    const int fd = ::open((m_path + "/" + name).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

void RunDirectory::RemoveFile(const char* name) {
    if (m_path.empty() || !name) return;
    ::unlink((m_path + "/" + name).c_str());
    m_written.erase(std::remove(m_written.begin(), m_written.end(), name), m_written.end());
}
