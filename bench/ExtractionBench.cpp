// Extracting a simulator case of trains: each train a feed pumped, heated twice and cooled twice,
// which the import cuts into a heated and a cooled process stream. Without duties (1,000 trains,
// 10,000 items, one composition) the goal is the whole extraction, document read included, under
// 2 s; with the units' duties and a closing product stream (200 trains, about 1,000 units) the
// existing network comes into the base design too, and the goal is under 5 s. The refresh of the
// 1,000-train extraction from the case solved again (every train 5 C warmer), document read
// included, should take less than the extraction itself.
#include "eng/design/IHENDesign.h"
#include "eng/extraction/IDataExtraction.h"
#include "eng/extraction/SimulatorCaseProvider.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/Project.h"
#include "eng/model/ScenarioServices.h"
#include "eng/core/Registries.h"
#include "module/LoadSteps.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

std::string num(const char* name, double v) {
    return "<num name=\"" + std::string(name) + "\">" + std::to_string(v) + "</num>";
}

// One stream of a train at temperature t (specific heat 2 kJ/kg K, 1 kg/s).
std::string stream(const std::string& name, double t, const std::string& next) {
    std::string doc = "<item name=\"" + name + "\" class=\"ppMaterialStream\">" + num("Temperature", t) +
                      num("MassFlow", 1) + num("HeatFlow", 2 * t) + num("MolarEnthalpy", -30000 + 60 * t) +
                      "<list name=\"CompMolarFraction\">0.3 0.7</list>";
    if (!next.empty()) doc += "<link to=\"" + next + "\"/>";
    return doc + "</item>\n";
}

std::string unit(const std::string& name, const char* cls, const std::string& feed, double from, double to,
                 const std::string& product, bool withDuty) {
    std::string t, h;
    for (int k = 0; k <= 4; ++k) {
        const double x = from + (to - from) * k / 4.0;
        t += std::to_string(x) + " ";
        h += std::to_string(2 * x) + " ";
    }
    std::string doc = "<item name=\"" + name + "\" class=\"" + cls + "\">";
    if (withDuty) doc += num("Duty", 2 * (to > from ? to - from : from - to));
    doc += "<group name=\"PropertyTable\"><group name=\"" + feed + "\"><list name=\"prpTemperature\">" + t +
           "</list><list name=\"prpMassEnthalpy\">" + h +
           "</list><list name=\"prpMassVapourFraction\">0 0 0 0 0</list></group></group>";
    if (!product.empty()) doc += "<link to=\"" + product + "\"/>";
    return doc + "</item>\n";
}

// With `network`, the units carry their duties and the last cooler feeds a product stream; `warmer`
// raises every temperature (the same case solved again).
std::string makeDocument(int trains, bool network, double warmer = 0.0) {
    std::string doc = "<?xml version=\"1.0\"?>\n<simcase version=\"1\" name=\"Trains\">\n";
    for (int i = 0; i < trains; ++i) {
        const std::string p = "T" + std::to_string(i) + "_";
        const double t0 = 20 + i % 50 + warmer;
        doc += stream(p + "S0", t0, p + "P");
        doc += "<item name=\"" + p + "P\" class=\"rtPump\"><link to=\"" + p + "S1\"/></item>\n";
        doc += stream(p + "S1", t0 + 1, p + "H1");
        doc += unit(p + "H1", "htHeater", p + "S1", t0 + 1, t0 + 60, p + "S2", network);
        doc += stream(p + "S2", t0 + 60, p + "H2");
        doc += unit(p + "H2", "htHeater", p + "S2", t0 + 60, t0 + 120, p + "S3", network);
        doc += stream(p + "S3", t0 + 120, p + "C1");
        doc += unit(p + "C1", "htCooler", p + "S3", t0 + 120, t0 + 30, p + "S4", network);
        doc += stream(p + "S4", t0 + 30, p + "C2");
        doc += unit(p + "C2", "htCooler", p + "S4", t0 + 30, t0 + 10, network ? p + "S5" : "", network);
        if (network) doc += stream(p + "S5", t0 + 10, "");
    }
    return doc + "</simcase>\n";
}

// Extracts the document of `trains` trains into a fresh scenario on every iteration; answers the
// process streams and the units of the base design of the last one.
void runExtraction(benchmark::State& state, bool network, int& streams, int& units) {
    LoadModuleRegistries();
    const std::string path =
        "/tmp/kestrin-bench-" + std::string(network ? "network-" : "trains-") + std::to_string(getpid()) + ".vmc";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        const std::string doc = makeDocument(static_cast<int>(state.range(0)), network);
        std::fwrite(doc.data(), 1, doc.size(), f);
        std::fclose(f);
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto project = std::make_unique<CPIProject>(nullptr, "Plant");
        project->SetScenarioServices(DefaultScenarioServices());
        project->AddScenario("Base");
        IHeatIntegrationScenario* scenario = nullptr;
        project->GetScenario("Base", scenario);
        IDataExtraction* extraction = project->GetDataExtraction();
        state.ResumeTiming();
        scenario->ExtractFromVelmorCase(path.c_str(), extraction->GetDocumentCase());
        state.PauseTiming();
        streams = scenario->GetNumberOfProcessStreams();
        IHENDesign* design = nullptr;
        units = scenario->GetDesign(CPString("SimulationBaseCase"), design) && design ? design->GetNumberOfHeatExchangers() : 0;
        project.reset();
        state.ResumeTiming();
    }
    std::remove(path.c_str());
    state.counters["streams"] = streams;
}

void BM_ExtractTrains(benchmark::State& state) {
    int streams = 0, units = 0;
    runExtraction(state, false, streams, units);
    if (streams != 2 * state.range(0)) state.SkipWithError("the trains did not become two streams each");
}
BENCHMARK(BM_ExtractTrains)->Arg(200)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ExtractTrainsWithNetwork(benchmark::State& state) {
    int streams = 0, units = 0;
    runExtraction(state, true, streams, units);
    state.counters["units"] = units;
    if (units < 4 * state.range(0)) state.SkipWithError("the trains' units did not come into the network");
}
BENCHMARK(BM_ExtractTrainsWithNetwork)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(1);

std::string writeDocument(const std::string& path, int trains, double warmer) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        const std::string doc = makeDocument(trains, false, warmer);
        std::fwrite(doc.data(), 1, doc.size(), f);
        std::fclose(f);
    }
    return path;
}

// Extracts the trains (not timed), then refreshes the extraction from the case solved again.
void BM_RefreshTrains(benchmark::State& state) {
    LoadModuleRegistries();
    const int trains = static_cast<int>(state.range(0));
    const std::string stem = "/tmp/kestrin-bench-refresh-" + std::to_string(getpid());
    const std::string path = writeDocument(stem + ".vmc", trains, 0.0);
    const std::string solved = writeDocument(stem + "-solved.vmc", trains, 5.0);
    double supply = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        auto project = std::make_unique<CPIProject>(nullptr, "Plant");
        project->SetScenarioServices(DefaultScenarioServices());
        project->AddScenario("Base");
        IHeatIntegrationScenario* scenario = nullptr;
        project->GetScenario("Base", scenario);
        auto* provider = dynamic_cast<SimulatorCaseProvider*>(project->GetDataExtraction());
        scenario->ExtractFromVelmorCase(path.c_str(), provider->GetDocumentCase());
        state.ResumeTiming();
        const bool applied = provider->ApplySolvedDocument(path.c_str(), solved.c_str()) == 1;
        const bool refreshed = applied && scenario->ExtractFromCase(path.c_str()) == 1;
        state.PauseTiming();
        IHeatIntegrationStream* first = nullptr;
        supply = refreshed && scenario->GetStreamOfKind(0, first, 0, 1) && first ? first->GetSupplyTemperature() : -1.0;
        if (!refreshed) state.SkipWithError("the solved case was not applied");
        project.reset();
        state.ResumeTiming();
    }
    std::remove(path.c_str());
    std::remove(solved.c_str());
    state.counters["first_cold_supply"] = supply;
}
BENCHMARK(BM_RefreshTrains)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
