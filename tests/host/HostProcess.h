#pragma once
// Runs kestrin-host as a separate process and captures what it prints.
#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

struct HostRun {
    int exitCode = -1;
    std::string out;  // standard output and standard error together
};

inline HostRun RunHost(const std::string& arguments) {
    HostRun run;
    std::string command = std::string(KESTRIN_HOST_EXE) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    return run;
}
