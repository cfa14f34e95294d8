// The user's path as a user takes it: `kestrin-host` run as a process (found beside this program)
// on random stream tables written to a temporary directory: full targets of 100, 1,000 and
// 10,000 streams, a supertargeting sweep of 100 minimum approach temperatures on 1,000 streams,
// and a 10,000-stream case saved with --save and read back. Each figure is the whole process:
// start, module load, reading the table, the recalculation, the report and the exit.
#include "RandomStreamTable.h"
#include "TwoHotUtilityTable.h"

#include "HostRun.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

using namespace bench_host;

// The table of `streams` random streams, written once per run.
fs::path TableOf(int streams) {
    const fs::path path = Scratch() / ("random-" + std::to_string(streams) + ".csv");
    if (!fs::exists(path)) std::ofstream(path) << bench_table::CsvOf(bench_table::RandomStreams(streams));
    return path;
}

void Run(benchmark::State& state, const std::vector<std::string>& arguments) {
    if (!fs::exists(HostProgram())) {
        state.SkipWithError("kestrin-host is not beside the benchmark program");
        return;
    }
    // Standard error holds the progress lines of a long area LP.
    for (auto _ : state)
        if (RunHost(arguments, true) != 0) {
            state.SkipWithError("kestrin-host failed");
            break;
        }
}

void BM_HostTargets(benchmark::State& state) {
    Run(state, {"targets", TableOf(static_cast<int>(state.range(0))).string()});
    // The largest child so far: the host run on the largest table.
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    state.counters["peak_rss_MB"] = benchmark::Counter(static_cast<double>(usage.ru_maxrss) / 1024.0);
}
BENCHMARK(BM_HostTargets)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The area LP with two forbidden matches (the first two hot streams with the first two cold ones).
void BM_HostAreaLPTwoForbidden(benchmark::State& state) {
    const int streams = static_cast<int>(state.range(0));
    const auto rows = bench_table::RandomStreams(streams);
    std::vector<std::string> hot, cold;
    for (const auto& r : rows) (r.supply > r.target ? hot : cold).push_back(r.name);
    Run(state, {"targets", TableOf(streams).string(), "--forbid", hot[0] + ":" + cold[0], "--forbid",
                hot[1] + ":" + cold[1]});
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    state.counters["peak_rss_MB"] = benchmark::Counter(static_cast<double>(usage.ru_maxrss) / 1024.0);
}
// From about 400 streams the area LP is solved over a grid of temperatures (the note says so).
BENCHMARK(BM_HostAreaLPTwoForbidden)->Arg(20)->Arg(40)->Arg(100)->Arg(200)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The area LP with one forbidden match (H0:C1) on tables with two hot utilities drawn by a user's
// script (seed 300, TwoHotUtilityTable.h): the 300-stream table once never answered while its
// 200- and 250-stream neighbours of the same draw took 5 and 12 s.
void BM_HostAreaLPTwoHotUtilities(benchmark::State& state) {
    const int streams = static_cast<int>(state.range(0));
    const fs::path path = Scratch() / ("two-hot-utilities-" + std::to_string(streams) + ".csv");
    if (!fs::exists(path)) std::ofstream(path) << bench_table::TwoHotUtilityCsv(streams, 300);
    Run(state, {"targets", path.string(), "--forbid", "H0:C1"});
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    state.counters["peak_rss_MB"] = benchmark::Counter(static_cast<double>(usage.ru_maxrss) / 1024.0);
}
// On a loaded machine, one run each: 200 streams 5.9 s, 250: 9.0 s, 300: 15.2 s (114, 138 and 198 MB),
// about n^2.3; the 300-stream table had gone round a cycle of two columns of equal price until
// stopped (563 s and more).
BENCHMARK(BM_HostAreaLPTwoHotUtilities)->Arg(200)->Arg(250)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HostSupertargetSweep(benchmark::State& state) {
    Run(state, {"supertarget", TableOf(static_cast<int>(state.range(0))).string(), "--from", "1", "--to", "100",
                "--step", "1"});
}
BENCHMARK(BM_HostSupertargetSweep)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Full targets and the save of the case (stored, read back into a second project, renamed into
// place). Time and peak memory (the largest child so far) against BM_HostTargets of the same
// table are the save's own.
void BM_HostSaveCase(benchmark::State& state) {
    const fs::path table = TableOf(static_cast<int>(state.range(0)));
    Run(state, {"targets", table.string(), "--save", (Scratch() / "saved.case").string()});
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    state.counters["peak_rss_MB"] = benchmark::Counter(static_cast<double>(usage.ru_maxrss) / 1024.0);
}
BENCHMARK(BM_HostSaveCase)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HostLoadCase(benchmark::State& state) {
    const fs::path saved = Scratch() / ("load-" + std::to_string(state.range(0)) + ".case");
    if (!fs::exists(saved) &&
        RunHost({"targets", TableOf(static_cast<int>(state.range(0))).string(), "--save", saved.string()}) != 0) {
        state.SkipWithError("the case could not be made");
        return;
    }
    Run(state, {"targets", saved.string()});
}
BENCHMARK(BM_HostLoadCase)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

ScratchCleaner cleaner;

}  // namespace

// Figures of BM_HostTargets measured as one process (CPU seconds, user + sys, of five runs on a
// loaded machine, and peak resident memory):
//                      10,000 streams          100,000 streams        growth 10,000 -> 100,000
//   kestrin-host       0.09-0.14 s  35 MB       1.4-1.7 s    206 MB    about n^1.1 in CPU
//   problem_table_sweep.py  0.13-0.18 s       0.5-0.65 s   50 MB
// Before the interval boundaries, match entries and Bath pair sums were made smaller and the run
// ended without taking the scenario apart: 1.55-1.75 s and 263 MB at 100,000 streams, 40 MB at
// 10,000; before the Bath points were let go after the calculation and the curves the area does
// not read were built after it, 224 MB and 36 MB (the CPU the same). The peak now falls in the
// spread of the Bath area over the match records, and is mostly the stream model (about 1.1 KB a
// stream), the merged points and the pair sums.
//
// Later, measured beside problem_table_sweep.py (min of five, each run in turn on a loaded
// machine; CPU user + sys, peak resident memory) at 100,000 streams:
//                      text                    --json
//   kestrin-host       1.07 s   144 MiB        1.20 s   146 MiB      (2.1x and 2.35x the sweep)
//   before             1.43 s   147 MiB        1.35 s   150 MiB
//   problem_table_sweep.py  0.51 s   49 MiB
// 5.28 billion instructions where there were 6.17 (cachegrind): the table's lines split into
// kept strings, names read before found by their places, the side lists' "not held" answered
// from a byte per slot, the property set's standard slots worked out inline, the batch notices'
// names classified once, the region shells' key codes worked out once per segment.
//
// Then, pinned to one core (taskset), min of nine, each run in turn with the sweep:
//                      text                    --json
//   kestrin-host       0.91 s   146 MiB        0.92 s   146 MiB      (1.86x and 1.88x the sweep)
//   before             1.02 s   144 MiB        1.05 s   147 MiB      (2.08x and 2.14x)
//   problem_table_sweep.py  0.49 s   49 MiB
// The dictionary's and the match list's indexes keep a tag of each hash beside the slot (a name
// or stream not held reads no entry), a new stream is taken from the end of the list, the walks
// for the utilities ask the kind before a cast, the Bath pair ends are laid out by a count per
// point, and the JSON is written into one buffer with to_chars.
//
// Figures of BM_HostSaveCase measured as one process (`targets TABLE --save CASE`, CPU seconds
// user + sys, peak resident memory; the case is 26.5 MB at 10,000 streams, 264 MB at 100,000):
//                      10,000 streams          100,000 streams        growth 10,000 -> 100,000
//   now                0.42-0.58 s  69 MB       5.1-5.2 s    426 MB    about n^1.0 in CPU
//   before             0.68 s      133 MB       7.2 s       1180 MB
// Before, the writer built the whole file in one growing buffer (twice the file at its last
// growth), and the read-back and the commit each made a checked copy of it with its checksum (three
// sums of the file). Now the writer hands its bytes to the temporary file every 4 MB, patches
// record lengths in place, sums the file once (eight bytes a step) and the read-back maps that
// file, giving back the pages it has read. What the save adds to the targets is now the second
// project the read-back recalls (the stream model again, about 200 MB at 100,000 streams) and the
// store and recall themselves; the binary file's own work is under a tenth of the CPU, the kernel's
// copy of the bytes into the page cache another 7 %.
