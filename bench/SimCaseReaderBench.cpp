// Reading a simulator-case document: 20,000 items with ten values each (200,000 values: numbers
// with units, 16-bit codes, texts, lists and groups) and a link from every item to the next.
// The goal is a read well under half a second.
#include "osmeri/CPItem.h"
#include "ralvex/Case.h"
#include "ralvex/CaseReader.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

std::string makeDocument(int items) {
    std::string doc = "<?xml version=\"1.0\"?>\n<simcase version=\"1\" name=\"Large plant\">\n";
    doc.reserve(static_cast<std::size_t>(items) * 600);
    for (int i = 0; i < items; ++i) {
        const std::string n = std::to_string(i);
        doc += "<item name=\"S" + n + "\" class=\"" + (i % 3 == 1 ? "htHeatExchanger" : "ppMaterialStream") +
               "\" flowsheet=\"Area " + std::to_string(i % 7) + "\">";
        doc += "<num name=\"Temperature\" units=\"C\">" + std::to_string(20.0 + i % 300) + "</num>";
        doc += "<num name=\"Pressure\" units=\"kPa\">101.325</num>";
        doc += "<num name=\"MassFlow\" units=\"kg/s\">" + std::to_string(1.0 + i % 11) + "</num>";
        doc += "<num name=\"HeatFlow\" units=\"kW\">-" + std::to_string(1000 + i) + "</num>";
        doc += "<num name=\"VapourFraction\"/>";
        doc += "<short name=\"CompositionCRC\">" + std::to_string(i % 65536) + "</short>";
        doc += "<text name=\"PIStreamName\">H" + n + "</text>";
        doc += "<list name=\"CompMolarFraction\">0.25 0.5 0.25</list>";
        doc += "<texts name=\"FeedStreams\"><t>S" + n + "</t></texts>";
        doc += "<group name=\"Overall\"><num name=\"PhaseMassHeatCapacity\">2.1</num></group>";
        if (i + 1 < items) doc += "<link to=\"S" + std::to_string(i + 1) + "\"/>";
        doc += "</item>\n";
    }
    return doc + "</simcase>\n";
}

void BM_ReadSimulatorCase(benchmark::State& state) {
    const std::string doc = makeDocument(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<Case> c;
        const CaseReadResult r = CaseReader::ReadMemory(doc, "large.xml", c);
        if (r.status != CaseReadStatus::Ok || !c || c->GetNumberOfItems() != static_cast<std::size_t>(state.range(0))) {
            state.SkipWithError(r.message.c_str());
            break;
        }
        benchmark::DoNotOptimize(c.get());
        // Giving the case back is not part of reading it.
        state.PauseTiming();
        c.reset();
        state.ResumeTiming();
    }
    state.counters["MB"] = static_cast<double>(doc.size()) / (1 << 20);
}
BENCHMARK(BM_ReadSimulatorCase)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
