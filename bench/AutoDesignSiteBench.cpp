// The automatic design of the 24-stream site example as a user runs it: `kestrin-host autodesign
// examples/site-24-streams.csv --json` (found beside this program), one design, the whole process
// timed once (start, module load, targets, the LP, the MILP, the superstructure, the design and
// the report). The run's progress on standard error and its report are thrown away.
// BM_HostAutoDesignSite/0 runs with the solves' own limits, /60 with --time-limit 60.
#include <benchmark/benchmark.h>

#include "HostRun.h"

#include <string>
#include <vector>

namespace {

using bench_host::HostProgram;
namespace fs = std::filesystem;

void BM_HostAutoDesignSite(benchmark::State& state) {
    if (!fs::exists(HostProgram())) {
        state.SkipWithError("kestrin-host is not beside the benchmark program");
        return;
    }
    std::vector<std::string> args{"autodesign",
                                  std::string(KESTRIN_EXAMPLES) + "/site-24-streams.csv", "--json"};
    if (state.range(0) > 0) {
        args.push_back("--time-limit");
        args.push_back(std::to_string(state.range(0)));
    }
    for (auto _ : state)
        if (bench_host::RunHost(args, true) != 0) {
            state.SkipWithError("kestrin-host autodesign failed");
            break;
        }
}
BENCHMARK(BM_HostAutoDesignSite)->Arg(0)->Arg(60)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
