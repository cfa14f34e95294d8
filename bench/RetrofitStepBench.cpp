// One new-exchanger retrofit step as a user runs it: `kestrin-host retrofit` (found beside this
// program) on a plant of 10 hot and 10 cold streams joined by 15 exchangers, every cold stream
// finished by a steam heater and every hot stream by a water cooler. The figure is the whole
// process: reading the tables, building the network, the network-pinch analysis, the new-exchanger
// model, the area check's optimisation and the report.
#include <benchmark/benchmark.h>

#include "HostRun.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>


namespace {

namespace fs = std::filesystem;

using bench_host::HostProgram;
using bench_host::RunHost;
using bench_host::Scratch;

// Hot stream i runs from 250 - 5i C to 60 C, cold stream j from 30 + 2j C to 150 C. Exchanger k
// joins H(i) to C(i) for the first ten and H(i) to C(i + 1) for five more, each placed after the
// stream's earlier exchangers; heaters and coolers take what the streams still need.
std::pair<fs::path, fs::path> PlantTables() {
    const fs::path streams = Scratch() / "plant-streams.csv", network = Scratch() / "plant-network.csv";
    std::ofstream s(streams), n(network);
    s << "name,supply,target,cp,h,kind\n";
    for (int i = 0; i < 10; ++i) s << "H" << i + 1 << "," << 250 - 5 * i << ",60,4,0.2,process\n";
    for (int j = 0; j < 10; ++j) s << "C" << j + 1 << "," << 30 + 2 * j << ",150,3,0.2,process\n";
    s << "HP Steam,,,,,utility\nCooling Water,,,,,utility\n";
    n << "name,hot,cold,duty,hot_order,cold_order\n";
    int hotUnits[10] = {}, coldUnits[10] = {}, hotDuty[10] = {}, coldDuty[10] = {};
    for (int k = 0; k < 15; ++k) {
        const int h = k < 10 ? k : k - 10, c = k < 10 ? k : (k - 9) % 10, duty = 40 + 2 * k;
        hotDuty[h] += duty;
        coldDuty[c] += duty;
        n << "E" << k + 1 << ",H" << h + 1 << ",C" << c + 1 << "," << duty << "," << ++hotUnits[h] << ","
          << ++coldUnits[c] << "\n";
    }
    for (int j = 0; j < 10; ++j)
        n << "Heater" << j + 1 << ",HP Steam,C" << j + 1 << "," << 3 * (120 - 2 * j) - coldDuty[j] << ",,"
          << coldUnits[j] + 1 << "\n";
    for (int i = 0; i < 10; ++i)
        n << "Cooler" << i + 1 << ",H" << i + 1 << ",Cooling Water," << 4 * (190 - 5 * i) - hotDuty[i] << ","
          << hotUnits[i] + 1 << ",\n";
    return {streams, network};
}

void BM_HostRetrofitNewExchangerStep(benchmark::State& state) {
    if (!fs::exists(HostProgram())) {
        state.SkipWithError("kestrin-host is not beside the benchmark program");
        return;
    }
    const auto [streams, network] = PlantTables();
    for (auto _ : state)
        if (RunHost({"retrofit", streams.string(), network.string(), "--mode", "new-exchanger", "--budget", "1000000",
                     "--steps", "1"}) != 0) {
            state.SkipWithError("kestrin-host failed");
            break;
        }
}
BENCHMARK(BM_HostRetrofitNewExchangerStep)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
