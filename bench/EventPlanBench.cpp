// An event plan of many plans made into schedules as a user does it: `kestrin-host view` on the
// operated four-stream design opens the event planner, reads a plan file of 2,000 to 16,000
// plans (one cleaning each) and creates their schedules. Each figure is the whole process; the
// schedules are found by name through an index and the summary's rows through another, so the
// time grows about as the number of plans.
#include "HostRun.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace {

using namespace bench_host;

void BM_HostCreateEventsOfAPlanFile(benchmark::State& state) {
    if (!fs::exists(HostProgram())) {
        state.SkipWithError("kestrin-host is not beside the benchmark program");
        return;
    }
    const int plans = static_cast<int>(state.range(0));
    const std::string examples = KESTRIN_EXAMPLES;
    const fs::path design = Scratch() / "operated.case";
    if (!fs::exists(design) &&
        RunHost({"design", examples + "/operated-streams.csv", examples + "/four-streams-network.csv", "--save",
                 design.string()}) != 0) {
        state.SkipWithError("kestrin-host could not make the design");
        return;
    }
    const fs::path file = Scratch() / ("plans-" + std::to_string(plans) + ".xml");
    {
        std::ofstream out(file);
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<RootPlan>\n";
        for (int i = 0; i < plans; ++i)
            out << "  <Event Name=\"Event " << i << "\"><Notes Notes=\"\"/><Task Type=\"Clean\"><Data UnitName=\"E1\" "
                << "NewValue=\"0.35\" Units=\"kW/m2-C\"/></Task></Event>\n";
        out << "</RootPlan>\n";
    }
    const fs::path script = Scratch() / ("plans-" + std::to_string(plans) + ".txt");
    std::ofstream(script) << "cmd LockOperation\ncmd ShowEventPlannerView\nopen @last\nfile " << file.string()
                          << "\ncmd OpenEventPlanFile\ncmd CreateNewEvents\n";
    for (auto _ : state)
        if (RunHost({"view", design.string(), "--open", "design", "--script", script.string()}) != 0) {
            state.SkipWithError("kestrin-host failed");
            break;
        }
    state.counters["plans"] = plans;
    state.SetComplexityN(plans);
}
BENCHMARK(BM_HostCreateEventsOfAPlanFile)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(8000)
    ->Arg(16000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Complexity(benchmark::oN);

}  // namespace
