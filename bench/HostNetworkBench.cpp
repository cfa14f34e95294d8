// Networks built from exchanger tables as a user builds them: `kestrin-host design`, `grid` and
// `plot --kind bar` run as processes on generated networks of 250 to 4,000 exchangers (five per
// stream, on 2n/5 process streams, bench/RandomNetworkTable.h). Each figure is the whole process:
// reading both tables, the targets, placing the network through the design's edits, closing the
// stream ends, the calculation, and the report or the picture.
#include "HostRun.h"
#include "RandomNetworkTable.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace bench_host;

// The stream and network tables of `exchangers` exchangers, written once per run.
std::pair<std::string, std::string> TablesOf(int exchangers) {
    const fs::path streams = Scratch() / ("network-" + std::to_string(exchangers) + "-streams.csv");
    const fs::path network = Scratch() / ("network-" + std::to_string(exchangers) + ".csv");
    if (!fs::exists(network)) {
        const bench_network::Tables t = bench_network::RandomNetwork(exchangers, std::max(2, exchangers / 5));
        std::ofstream(streams) << t.streams;
        std::ofstream(network) << t.network;
    }
    return {streams.string(), network.string()};
}

void Run(benchmark::State& state, const std::vector<std::string>& more) {
    if (!fs::exists(HostProgram())) {
        state.SkipWithError("kestrin-host is not beside the benchmark program");
        return;
    }
    const int exchangers = static_cast<int>(state.range(0));
    const auto [streams, network] = TablesOf(exchangers);
    std::vector<std::string> arguments{streams, network};
    arguments.insert(arguments.begin(), more.front());
    arguments.insert(arguments.end(), more.begin() + 1, more.end());
    for (auto _ : state)
        if (RunHost(arguments) != 0) {
            state.SkipWithError("kestrin-host failed");
            break;
        }
    state.counters["exchangers"] = exchangers;
    state.SetComplexityN(exchangers);
}

void BM_HostDesignFromTable(benchmark::State& state) { Run(state, {"design"}); }
BENCHMARK(BM_HostDesignFromTable)->Arg(250)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HostGridFromTable(benchmark::State& state) {
    Run(state, {"grid", "--svg", (Scratch() / "grid.svg").string()});
}
BENCHMARK(BM_HostGridFromTable)->Arg(250)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HostBarPlotFromTable(benchmark::State& state) {
    Run(state, {"plot", "--kind", "bar", "--svg", (Scratch() / "bars.svg").string()});
}
BENCHMARK(BM_HostBarPlotFromTable)->Arg(250)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime();

ScratchCleaner cleaner;

}  // namespace
