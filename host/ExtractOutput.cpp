#include "host/ExtractOutput.h"

#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "host/OutputText.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr double kEmpty = -32767.0;

// A load to seven figures: a sheet's loads come through unit conversions (Btu/hr to kW) whose last
// digits are the conversion's, not the sheet's (1300 kW, not 1299.999835 kW).
std::string loadNumber(double v) {
    if (v == kEmpty || !std::isfinite(v)) return "null";
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.7g", std::fabs(v) < 5e-11 ? 0.0 : v);
    return buffer;
}
}  // namespace

std::string ExtractNumber(double v) {
    if (v == kEmpty || !std::isfinite(v)) return "null";
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.10g", std::fabs(v) < 5e-11 ? 0.0 : v);
    return buffer;
}

namespace {
StreamOut readStream(IHeatIntegrationStream& s) {
    StreamOut out;
    out.name = s.GetName();
    const int side = s.GetHotCold();
    out.side = side == 0 ? "hot" : side == 1 ? "cold" : "undetermined";
    out.supply = s.GetSupplyTemperature();
    out.target = s.GetTargetTemperature();
    out.load = s.GetHeatLoad(0);
    double mass = kEmpty;
    // A mass flow that is not set reads negative.
    if (s.GetValue("MassFlow", mass, 0) != 1 || mass < 0.0) mass = kEmpty;
    out.massFlow = mass;
    for (int i = 0; i < s.GetNumberOfSegments(); ++i) {
        SegmentOut seg{kEmpty, kEmpty, kEmpty};
        s.GetValue("Temperature", seg.from, i);
        s.GetValue("Temperature", seg.to, i + 1);
        double cp = kEmpty;
        if (s.GetValue("HeatCapacityFlowrate", cp, i) == 1 && cp != kEmpty && seg.from != kEmpty && seg.to != kEmpty)
            seg.load = std::fabs(cp * (seg.from - seg.to));
        out.segments.push_back(seg);
    }
    return out;
}

}  // namespace

std::vector<StreamOut> ReadExtractedStreams(IHeatIntegrationScenario& scenario, int kind) {
    std::vector<StreamOut> out;
    IHeatIntegrationStream* s = nullptr;
    for (int i = 0; scenario.GetStreamOfKind(i, s, kind, 2) && s; ++i) out.push_back(readStream(*s));
    return out;
}

std::string StreamsJson(const std::vector<StreamOut>& streams) {
    std::string out = "[";
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const StreamOut& s = streams[i];
        out += (i ? ", " : "") + std::string("{\"name\": ") + JsonString(s.name) + ", \"side\": \"" + s.side +
               "\", \"supply\": " + ExtractNumber(s.supply) + ", \"target\": " + ExtractNumber(s.target) +
               ", \"load\": " + loadNumber(s.load) + ", \"mass_flow\": " + ExtractNumber(s.massFlow) + ", \"segments\": [";
        for (std::size_t k = 0; k < s.segments.size(); ++k)
            out += (k ? ", " : "") + std::string("{\"from\": ") + ExtractNumber(s.segments[k].from) +
                   ", \"to\": " + ExtractNumber(s.segments[k].to) + ", \"load\": " + loadNumber(s.segments[k].load) + "}";
        out += "]}";
    }
    return out + "]";
}

std::string TextsJson(const std::vector<std::string>& texts) {
    std::string out = "[";
    for (std::size_t i = 0; i < texts.size(); ++i) out += (i ? ", " : "") + JsonString(texts[i]);
    return out + "]";
}

// A value of the text report: "not known" where JSON has null.
static std::string textNumber(const std::string& number) { return number == "null" ? "not known" : number; }

std::string StreamsText(const char* heading, const std::vector<StreamOut>& streams) {
    std::string out = std::string(heading) + ":\n";
    for (const StreamOut& s : streams) {
        out += "  " + PrintableText(s.name, 40) + " (" + s.side + "): " + textNumber(ExtractNumber(s.supply)) + " -> " +
               textNumber(ExtractNumber(s.target)) + " C, " + textNumber(loadNumber(s.load)) + " kW";
        if (s.massFlow != kEmpty) out += ", " + ExtractNumber(s.massFlow) + " kg/s";
        out += "\n";
        for (const SegmentOut& seg : s.segments)
            out += "    " + textNumber(ExtractNumber(seg.from)) + " -> " + textNumber(ExtractNumber(seg.to)) + " C, " +
                   textNumber(loadNumber(seg.load)) + " kW\n";
    }
    return out;
}

