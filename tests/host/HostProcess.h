#pragma once
// Runs kestrin-host as a separate process and captures what it prints.
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

struct HostRun {
    int exitCode = -1;
    std::string out;  // standard output and standard error together
};

// Runs a whole shell command line (limits, bounds, redirections of its own) and captures what
// reaches the pipe; the exit code, or 128 + the signal that ended it.
inline HostRun RunShell(const std::string& command) {
    HostRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    return run;
}

// The numbers of the value line that answers view-script step `step` ("N: get ...\n  value a b c kW");
// empty when the step has no value line.
inline std::vector<double> ScriptValues(const std::string& out, int step) {
    std::vector<double> values;
    const std::size_t at = ("\n" + out).find("\n" + std::to_string(step) + ": get ");
    if (at == std::string::npos) return values;
    const std::size_t line = out.find("\n  value ", at);
    if (line == std::string::npos) return values;
    std::istringstream in(out.substr(line + 9, out.find('\n', line + 1) - line - 9));
    for (double v = 0.0; in >> v;) values.push_back(v);
    return values;
}

inline HostRun RunHost(const std::string& arguments) {
    return RunShell(std::string(KESTRIN_HOST_EXE) + " " + arguments + " 2>&1");
}

// A file in /tmp named for this process, the test's kind and the stem; written with `content`
// unless `write` is false (a place for the host to write), removed when the test ends.
struct ScratchFile {
    std::string path;
    ScratchFile(const std::string& kind, const std::string& stem, const std::string& content, bool write = true)
        : path("/tmp/kestrin-" + kind + "-" + std::to_string(getpid()) + "-" + stem) {
        if (write) std::ofstream(path, std::ios::binary) << content;
    }
    ~ScratchFile() { std::remove(path.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
};

// The whole of a file, byte for byte (empty when it cannot be read).
inline std::string FileContents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A file of the examples directory.
inline std::string ExamplePath(const std::string& name) { return std::string(KESTRIN_EXAMPLES) + "/" + name; }

inline bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The number after "key": in a JSON text, from `from` on; NaN when absent or null.
inline double JsonNumber(const std::string& text, const std::string& key, std::size_t from = 0) {
    const std::size_t at = text.find("\"" + key + "\": ", from);
    if (at == std::string::npos) return NAN;
    const char* start = text.c_str() + at + key.size() + 4;
    char* end = nullptr;
    const double v = std::strtod(start, &end);
    return end == start ? NAN : v;
}

// The view script that builds the site "Works" of `view --new hi-total-site Works`: the site
// streams HP Steam and Cooling Water, and the four classic streams typed into "Process 1" (at
// DTmin 10 they need 20 kW of hot and 60 kW of cold utility). It ends on Process 1's viewer.
inline const std::string kFourStreamSite =
    "attach UtilityNameView.599.0 HP Steam\nattach UtilityNameView.599.1 Cooling Water\n"
    "open HIDesignViewerScenario.200.0\n"
    "settext StrName.401.0 H1\nsettext StrName.401.1 H2\nsettext StrName.401.2 C1\nsettext StrName.401.3 C2\n"
    "set Temperature.402.0 170\nset Temperature.403.0 60\nset HeatCapacityFlow.404.0 3\n"
    "set Temperature.402.1 150\nset Temperature.403.1 30\nset HeatCapacityFlow.404.1 1.5\n"
    "set Temperature.402.2 20\nset Temperature.403.2 135\nset HeatCapacityFlow.404.2 2\n"
    "set Temperature.402.3 80\nset Temperature.403.3 140\nset HeatCapacityFlow.404.3 4\n";

// `kestrin-host view INPUT --script S MORE` with the script written to a scratch file.
inline HostRun RunViewScript(const std::string& input, const std::string& script, const std::string& more = "") {
    ScratchFile file("view", "script.txt", script);
    return RunHost("view " + input + " --script " + file.path + more);
}

// The exit status of a shell command, its output discarded (-1 when it did not exit).
inline int ShellStatus(const std::string& command) {
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
