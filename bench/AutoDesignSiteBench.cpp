// The automatic design of the 24-stream site example as a user runs it: `kestrin-host autodesign
// examples/site-24-streams.csv --json` (found beside this program), one design, the whole process
// timed once (start, module load, targets, the LP, the MILP, the superstructure, the design and
// the report). The run's progress on standard error and its report are thrown away.
// BM_HostAutoDesignSite/0 runs with the solves' own limits, /60 with --time-limit 60.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

fs::path HostProgram() { return fs::read_symlink("/proc/self/exe").parent_path() / "kestrin-host"; }

int RunQuietly(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_HostAutoDesignSite(benchmark::State& state) {
    if (!fs::exists(HostProgram())) {
        state.SkipWithError("kestrin-host is not beside the benchmark program");
        return;
    }
    std::vector<std::string> args{HostProgram().string(), "autodesign",
                                  std::string(KESTRIN_EXAMPLES) + "/site-24-streams.csv", "--json"};
    if (state.range(0) > 0) {
        args.push_back("--time-limit");
        args.push_back(std::to_string(state.range(0)));
    }
    for (auto _ : state)
        if (RunQuietly(args) != 0) {
            state.SkipWithError("kestrin-host autodesign failed");
            break;
        }
}
BENCHMARK(BM_HostAutoDesignSite)->Arg(0)->Arg(60)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
