#include "host/ExtractCommand.h"

#include "eng/extraction/IDataExtraction.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "host/HostSession.h"
#include "host/ModuleLoader.h"
#include "host/OutputText.h"
#include "host/StreamTable.h"
#include "host/StreamTableChecks.h"
#include "host/TargetsReport.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr double kEmpty = -32767.0;

struct ExtractOptions {
    std::string sheet, into, save;
    bool json = false, haveSave = false, haveDtmin = false;
    double dtmin = 0.0;
};

int fail(const std::string& message) {
    std::fprintf(stderr, "kestrin-host: %s\n", PrintableText(message, 600).c_str());
    return 1;
}

bool parse(int argc, char** argv, ExtractOptions& o, std::string& error) {
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasNext = i + 1 < argc && argv[i + 1][0] != '\0';
        if (a == "--json") {
            o.json = true;
        } else if (a == "--into" || a == "--save") {
            if (!hasNext) {
                error = a + " needs a file name";
                return false;
            }
            (a == "--into" ? o.into : o.save) = argv[++i];
            if (a == "--save") o.haveSave = true;
        } else if (a == "--dtmin") {
            if (i + 1 >= argc || !ParseTableNumber(argv[i + 1], o.dtmin)) {
                error = "--dtmin needs a number";
                return false;
            }
            o.haveDtmin = true;
            ++i;
        } else if (!a.empty() && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else if (o.sheet.empty()) {
            o.sheet = a;
        } else {
            error = "more than one sheet";
            return false;
        }
    }
    if (o.sheet.empty()) error = "extract needs a segment table (SHEET)";
    else if (o.into.empty()) error = "extract needs --into CASE: the case whose first scenario takes the segments";
    return error.empty();
}

std::string number(double v) {
    if (v == kEmpty || !std::isfinite(v)) return "null";
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.10g", std::fabs(v) < 5e-11 ? 0.0 : v);
    return buffer;
}

struct SegmentOut {
    double from, to, load;
};

struct StreamOut {
    std::string name, side;
    double supply, target, load, massFlow;
    std::vector<SegmentOut> segments;
};

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

std::vector<StreamOut> readStreams(IHeatIntegrationScenario& scenario, int kind) {
    std::vector<StreamOut> out;
    IHeatIntegrationStream* s = nullptr;
    for (int i = 0; scenario.GetStreamOfKind(i, s, kind, 2) && s; ++i) out.push_back(readStream(*s));
    return out;
}

std::string streamsJson(const std::vector<StreamOut>& streams) {
    std::string out = "[";
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const StreamOut& s = streams[i];
        out += (i ? ", " : "") + std::string("{\"name\": ") + JsonString(s.name) + ", \"side\": \"" + s.side +
               "\", \"supply\": " + number(s.supply) + ", \"target\": " + number(s.target) +
               ", \"load\": " + number(s.load) + ", \"mass_flow\": " + number(s.massFlow) + ", \"segments\": [";
        for (std::size_t k = 0; k < s.segments.size(); ++k)
            out += (k ? ", " : "") + std::string("{\"from\": ") + number(s.segments[k].from) +
                   ", \"to\": " + number(s.segments[k].to) + ", \"load\": " + number(s.segments[k].load) + "}";
        out += "]}";
    }
    return out + "]";
}

std::string textsJson(const std::vector<std::string>& texts) {
    std::string out = "[";
    for (std::size_t i = 0; i < texts.size(); ++i) out += (i ? ", " : "") + JsonString(texts[i]);
    return out + "]";
}

std::string streamsText(const char* heading, const std::vector<StreamOut>& streams) {
    std::string out = std::string(heading) + ":\n";
    for (const StreamOut& s : streams) {
        out += "  " + PrintableText(s.name, 40) + " (" + s.side + "): " + number(s.supply) + " -> " + number(s.target) +
               " C, " + number(s.load) + " kW";
        if (s.massFlow != kEmpty) out += ", " + number(s.massFlow) + " kg/s";
        out += "\n";
        for (const SegmentOut& seg : s.segments)
            out += "    " + number(seg.from) + " -> " + number(seg.to) + " C, " + number(seg.load) + " kW\n";
    }
    return out;
}

}  // namespace

int RunExtract(ModuleLoader& module, int argc, char** argv) {
    ExtractOptions o;
    std::string error;
    if (!parse(argc, argv, o, error)) return fail(error);
    if (o.haveDtmin && (!(o.dtmin >= StreamTableLimits::MinDTmin) || o.dtmin > StreamTableLimits::MaxDTmin))
        return fail("--dtmin must be from 0.001 to 1000 C");
    if (!IsCaseFile(o.into)) return fail("--into " + o.into + " is not a Kestrin case file");
    if (o.haveSave && SameFile(o.sheet, o.save))
        return fail("--save " + o.save + " names the input sheet; save the case to another file");
    struct stat info {};
    if (o.haveSave && ::stat(o.save.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
        !IsCaseFile(o.save))
        return fail("--save " + o.save + " exists and is not a Kestrin case file; it was left as it is");

    HostSession session(module);
    if (!session.Start(error) || !session.RecallCase(o.into, error)) return fail(error);
    IHeatIntegrationScenario* scenario = session.Scenario();
    if (!scenario) return fail(o.into + ": the case holds no scenario");
    IDataExtraction* extraction = session.Project() ? session.Project()->GetDataExtraction() : nullptr;
    if (!extraction) return fail("the module offers no data extraction");
    if (o.haveDtmin) scenario->SetDTmin(o.dtmin);

    scenario->ExtractFromExcelFile(o.sheet.c_str(), extraction->GetDocumentCase());
    const TransferOutcome& outcome = extraction->GetTransferOutcome();
    const int kind = scenario->GetExcelTransferResult();
    if (kind != IDataExtraction::SpreadsheetTransfer || outcome.state != 1) {
        if (!outcome.refusals.empty()) return fail(o.sheet + ": " + outcome.refusals.front() + "; " + o.into +
                                                   " was left as it is");
        if (kind == IDataExtraction::SpreadsheetExtract)
            return fail(o.sheet + " is a spreadsheet case, not a segment table; " + o.into + " was left as it is");
        return fail(o.sheet + " is not a segment table; " + o.into + " was left as it is");
    }
    if (o.haveSave && !session.SaveCase(o.save, error)) return fail(error);

    std::vector<std::string> notes(outcome.notes.begin(), outcome.notes.end());
    std::vector<std::string> warnings(outcome.warnings.begin(), outcome.warnings.end());
    const std::vector<StreamOut> streams = readStreams(*scenario, 0);
    const std::vector<StreamOut> utilities = readStreams(*scenario, 1);
    TargetsReport targets = ReadTargets(*scenario);
    if (session.CaseWasUnchecked())
        notes.push_back(o.into + " was saved before case files carried a checksum; it was read without that check");
    if (o.json) {
        std::string targetsJson = FormatTargetsJson(targets);
        while (!targetsJson.empty() && targetsJson.back() == '\n') targetsJson.pop_back();
        std::printf("{\"streams\": %s, \"utilities\": %s, \"warnings\": %s, \"targets\": %s, \"notes\": %s}\n",
                    streamsJson(streams).c_str(), streamsJson(utilities).c_str(), textsJson(warnings).c_str(),
                    targetsJson.c_str(), textsJson(notes).c_str());
        return 0;
    }
    std::string text = streamsText("Streams", streams);
    if (!utilities.empty()) text += streamsText("Utilities", utilities);
    for (const std::string& w : warnings) text += "Warning: " + PrintableText(w, 200) + "\n";
    text += FormatTargetsText(targets);
    for (const std::string& n : notes) text += "Note: " + PrintableText(n, 200) + "\n";
    std::fputs(text.c_str(), stdout);
    return 0;
}
