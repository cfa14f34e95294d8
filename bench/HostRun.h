#pragma once
// Running `kestrin-host` (found beside the benchmark program) as a process with its output thrown
// away, on files written to a scratch directory of this run (removed when the program ends).
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench_host {

namespace fs = std::filesystem;

inline fs::path HostProgram() { return fs::read_symlink("/proc/self/exe").parent_path() / "kestrin-host"; }

inline fs::path Scratch() {
    const fs::path dir = fs::temp_directory_path() / ("kestrin-host-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

// The host's exit status, -1 when it could not be run or did not exit; its standard error is
// thrown away too when `quiet` (a long run's progress).
inline int RunHost(const std::vector<std::string>& arguments, bool quiet = false) {
    std::vector<std::string> args{HostProgram().string()};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (quiet) posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The scratch directory goes when the program ends.
struct ScratchCleaner {
    ~ScratchCleaner() {
        std::error_code ignored;
        fs::remove_all(fs::temp_directory_path() / ("kestrin-host-bench-" + std::to_string(::getpid())), ignored);
    }
};

}  // namespace bench_host
