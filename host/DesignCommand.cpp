#include "host/DesignCommand.h"
#include "host/CommandLine.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "host/CaseContentChecks.h"
#include "host/DesignReport.h"
#include "host/HostSession.h"
#include "host/ModuleLoader.h"
#include "host/NetworkTable.h"
#include "host/OutputText.h"
#include "host/ScenarioInput.h"
#include "host/StreamTable.h"
#include "host/StreamTableChecks.h"
#include "pellin/NodeKinds.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

const char* const kDesignName = "Network";

struct DesignOptions {
    std::vector<std::string> files;
    std::string save;
    bool json = false, haveSave = false, haveDtmin = false;
    double dtmin = 0.0;
};

int fail(const std::string& message) { return FailCommand(message); }

bool parse(int argc, char** argv, DesignOptions& o, std::string& error) {
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--json") {
            o.json = true;
        } else if (a == "--dtmin") {
            if (!TakeNumberOption(argc, argv, i, o.dtmin, o.haveDtmin, error)) return false;
        } else if (a == "--save") {
            if (!TakeFileOption(argc, argv, i, o.save, o.haveSave, error)) return false;
        } else if (!a.empty() && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else {
            o.files.push_back(a);
        }
    }
    if (o.files.empty() || o.files.size() > 2) {
        error = "design takes STREAMS NETWORK, or a CASE saved with a design";
        return false;
    }
    if (o.files.size() == 1 && (o.haveDtmin || o.haveSave)) {
        error = "design CASE takes only --json (--dtmin and --save belong to design STREAMS NETWORK)";
        return false;
    }
    return true;
}

// One side of a table row as the scenario knows it.
struct Side {
    IHeatIntegrationStream* stream = nullptr;
    bool utility = false;
    int order = 0;  // place along a process stream, from 1
};

struct Placement {
    const NetworkRow* row = nullptr;
    Side hot, cold;
};

std::string at(const NetworkRow& row) { return "line " + std::to_string(row.line) + ": "; }

bool resolveSide(IHeatIntegrationScenario& scenario, const NetworkRow& row, int side, Side& out, std::string& error) {
    const std::string& name = side == 0 ? row.hot : row.cold;
    const char* sideName = side == 0 ? "hot" : "cold";
    IHeatIntegrationStream* s = nullptr;
    if (!scenario.GetStream(CPString(name.c_str()), s) || !s) {
        error = at(row) + "no stream named " + QuotedField(name);
        return false;
    }
    out.stream = s;
    out.utility = s->GetStreamKind() == 1;
    if (s->GetHotCold() != side) {
        error = at(row) + QuotedField(name) + " is not a " + sideName + (out.utility ? " utility" : " stream") +
                "; it cannot be on the " + sideName + " side of " + QuotedField(row.name);
        return false;
    }
    out.order = side == 0 ? row.hotOrder : row.coldOrder;
    return true;
}

// Orders along every process stream: given on every row of the stream or on none (then the rows'
// own order), and without a gap. Rows sharing a number sit on parallel branches.
bool settleOrders(std::vector<Placement>& placed, std::string& error) {
    std::map<const IHeatIntegrationStream*, std::vector<Side*>> byStream;
    std::map<const Side*, const NetworkRow*> rowOf;
    for (Placement& p : placed)
        for (Side* side : {&p.hot, &p.cold})
            if (!side->utility) {
                byStream[side->stream].push_back(side);
                rowOf[side] = p.row;
            }
    for (auto& [stream, sides] : byStream) {
        const bool anyGiven = std::any_of(sides.begin(), sides.end(), [](const Side* s) { return s->order > 0; });
        const std::string streamName = stream->GetName().c_str();
        const char* column = stream->GetHotCold() == 0 ? "hot_order" : "cold_order";
        for (std::size_t i = 0; i < sides.size(); ++i) {
            if (!anyGiven) sides[i]->order = static_cast<int>(i) + 1;
            else if (sides[i]->order == 0) {
                error = at(*rowOf[sides[i]]) + QuotedField(rowOf[sides[i]]->name) + " has no " + column + " on " +
                        QuotedField(streamName) + ", where other exchangers have one";
                return false;
            }
        }
        std::vector<Side*> sorted = sides;
        std::stable_sort(sorted.begin(), sorted.end(), [](const Side* a, const Side* b) { return a->order < b->order; });
        int expected = 1;
        for (const Side* s : sorted) {
            if (s->order == expected - 1) continue;  // a parallel branch of the place before
            if (s->order != expected) {
                error = at(*rowOf[s]) + column + " " + std::to_string(s->order) + " on " + QuotedField(streamName) +
                        " leaves a gap: no exchanger has " + std::to_string(expected);
                return false;
            }
            ++expected;
        }
    }
    return true;
}

using MessageLookupFn = int (*)(const char*, char*, int);

std::string reasonText(ModuleLoader& module, const char* key) {
    std::string text = key ? key : "refused";
    while (!text.empty() && text.back() == ' ') text.pop_back();
    auto find = reinterpret_cast<MessageLookupFn>(module.Entry("KestrinFindString"));
    if (find && key) {
        std::vector<char> buffer(1024);
        if (find(key, buffer.data(), static_cast<int>(buffer.size())) == 1 && buffer[0] != '\0')
            text += " (" + std::string(buffer.data()) + ")";
    }
    return text;
}

// The segment where an exchanger goes on one side: a utility's own first segment, or the segment
// of a process stream after the units already placed nearer its supply end.
CNode* segmentFor(const IHENDesign& design, const std::vector<Placement>& placed, const std::vector<std::size_t>& done,
                  const Side& side) {
    if (side.utility) return design.GetStreamSegment(side.stream->GetName(), 0);
    int before = 0;
    for (std::size_t k : done)
        for (const Side* other : {&placed[k].hot, &placed[k].cold})
            if (other->stream == side.stream && other->order < side.order) ++before;
    return design.GetStreamSegment(side.stream->GetName(), before);
}

// The utilities the edits placed at the ports of the process exchangers go, except the one at
// the end of each process stream, which carries what the rows leave of the stream's load.
void trimUtilities(IHENDesign& design, const std::vector<Placement>& placed, const std::vector<CNode*>& units) {
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (!units[i] || placed[i].hot.utility || placed[i].cold.utility) continue;
        for (int port = 0; port < 4; ++port) {
            const Side& s = port < 2 ? placed[i].hot : placed[i].cold;
            bool last = port == 1 || port == 3;
            for (std::size_t k = 0; k < placed.size() && last; ++k)
                if (!placed[k].hot.utility && !placed[k].cold.utility)
                    for (const Side* o : {&placed[k].hot, &placed[k].cold})
                        if (o->stream == s.stream && o->order > s.order) last = false;
            if (last) continue;
            if (design.CanRemoveUtilityAtPort(units[i], port)) design.RemoveUtilityAtPort(units[i], port);
        }
    }
}

// Places the rows through the design's editing operations in one batch: the process exchangers
// first, each stream keeping only the utility at its end, then the heaters and coolers, which
// take the place of that end utility; the design then adds the utilities still missing and
// recalculates once.
bool buildNetwork(ModuleLoader& module, IHENDesign& design, const std::vector<Placement>& placed, std::string& error) {
    design.Deactivate();
    std::vector<CNode*> units(placed.size(), nullptr);
    auto isUtilityRow = [&](std::size_t i) { return placed[i].hot.utility || placed[i].cold.utility; };
    // Cold streams are built from their supply ends onwards (a cold side that goes in before a
    // unit already placed on its stream does not take that unit's inlet over); heaters and
    // coolers after every process exchanger.
    std::vector<std::size_t> sequence(placed.size());
    for (std::size_t i = 0; i < placed.size(); ++i) sequence[i] = i;
    std::stable_sort(sequence.begin(), sequence.end(), [&](std::size_t a, std::size_t b) {
        if (isUtilityRow(a) != isUtilityRow(b)) return isUtilityRow(b);
        const int ka = placed[a].cold.utility ? 1 << 30 : placed[a].cold.order;
        const int kb = placed[b].cold.utility ? 1 << 30 : placed[b].cold.order;
        return ka < kb;
    });
    auto refuse = [&](const NetworkRow& row, const std::string& what) {
        error = at(row) + what;
        design.Activate(0);
        return false;
    };
    std::vector<std::size_t> done;
    bool utilitiesTrimmed = false;
    for (std::size_t i : sequence) {
        const Placement& p = placed[i];
        if (isUtilityRow(i) && !utilitiesTrimmed) {
            trimUtilities(design, placed, units);
            utilitiesTrimmed = true;
        }
        for (const Side* side : {&p.hot, &p.cold})
            if (!side->utility)
                for (std::size_t k : done)
                    for (const Side* other : {&placed[k].hot, &placed[k].cold})
                        if (other->stream == side->stream && other->order == side->order)
                            return refuse(*p.row, QuotedField(p.row->name) + " shares its place on " +
                                                      QuotedField(side->stream->GetName().c_str()) + " with " +
                                                      QuotedField(placed[k].row->name) +
                                                      ": parallel branches are not built from a table yet");
        CNode* hot = segmentFor(design, placed, done, p.hot);
        CNode* cold = segmentFor(design, placed, done, p.cold);
        if (!hot || !cold) return refuse(*p.row, "the design has no place for " + QuotedField(p.row->name));
        if (const char* reason = design.CheckStreamMatch(hot, cold))
            return refuse(*p.row, "the design refused " + QuotedField(p.row->name) + ": " + reasonText(module, reason));
        const char* kind = p.row->shellAndTube ? NodeKind::HeatExchanger : NodeKind::CountercurrentHX;
        CNode* unit = design.AddHeatExchanger(hot, cold, "from the exchanger table", kind, p.row->name.c_str());
        if (!unit) return refuse(*p.row, "the design refused to add " + QuotedField(p.row->name));
        units[i] = unit;
        done.push_back(i);
        const bool specified =
            design.SpecifyExchangerValue(unit, NodeValue::HXType, p.row->shellAndTube ? 1.0 : 0.0) &&
            (p.row->hasDuty ? design.SpecifyExchangerValue(unit, NodeValue::Duty, p.row->duty)
                            : design.SpecifyExchangerValue(unit, NodeValue::HTArea, p.row->area));
        if (!specified) return refuse(*p.row, "the design refused the duty, area or type given for " + QuotedField(p.row->name));
        // A heater or cooler carries the end load itself: the utilities beside it go.
        if (isUtilityRow(i))
            for (int port = 0; port < 4; ++port)
                if (design.CanRemoveUtilityAtPort(unit, port)) design.RemoveUtilityAtPort(unit, port);
    }
    if (!utilitiesTrimmed) trimUtilities(design, placed, units);
    design.AddMissingUtilities();
    design.AddUtilitiesAtStreamEnds();
    design.SetSplitFractionsFromBranchDuties();
    design.UpdateStreamTerminals();
    // Every exchanger is judged against the scenario's DTmin.
    if (IHeatIntegrationScenario* scenario = design.GetScenario()) design.SetDTMin(scenario->GetDTmin());
    design.ApplyDTMinToAllExchangers();
    design.Activate(1);
    return true;
}

bool fromTables(ModuleLoader& module, HostSession& session, const DesignOptions& o, IHENDesign*& design,
                std::string& error) {
    const std::string& streamsFile = o.files[0];
    const std::string& networkFile = o.files[1];
    for (const std::string& input : o.files)
        if (o.haveSave && SameFile(input, o.save)) {
            error = "--save " + o.save + " names an input table; save the case to another file";
            return false;
        }
    struct stat info {};
    if (o.haveSave && ::stat(o.save.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
        !IsCaseFile(o.save)) {
        error = "--save " + o.save + " exists and is not a Kestrin case file; it was left as it is";
        return false;
    }
    if (o.haveDtmin && (!(o.dtmin >= StreamTableLimits::MinDTmin) || o.dtmin > StreamTableLimits::MaxDTmin)) {
        char range[96];
        std::snprintf(range, sizeof range, "--dtmin must be from %g to %g C", StreamTableLimits::MinDTmin,
                      StreamTableLimits::MaxDTmin);
        error = range;
        return false;
    }
    StreamTable table;
    if (!ReadStreamTableFile(streamsFile, table, error)) return false;
    std::vector<NetworkRow> rows;
    if (!ReadNetworkTableFile(networkFile, rows, error)) return false;
    IHeatIntegrationScenario* scenario = session.NewScenario("base", error);
    if (!scenario) return false;
    if (!FillScenario(*scenario, table, error)) {
        error = streamsFile + ": " + error;
        return false;
    }
    if (o.haveDtmin) scenario->SetDTmin(o.dtmin);
    std::vector<Placement> placed(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        placed[i].row = &rows[i];
        if (!resolveSide(*scenario, rows[i], 0, placed[i].hot, error) ||
            !resolveSide(*scenario, rows[i], 1, placed[i].cold, error)) {
            error = networkFile + ": " + error;
            return false;
        }
        if (placed[i].hot.utility && placed[i].cold.utility) {
            error = networkFile + ": " + at(rows[i]) + QuotedField(rows[i].name) + " joins two utilities";
            return false;
        }
    }
    if (!settleOrders(placed, error)) {
        error = networkFile + ": " + error;
        return false;
    }
    if (!scenario->AddDesign(CPString(kDesignName)) || !scenario->GetDesign(CPString(kDesignName), design) ||
        !design) {
        error = "the scenario made no design";
        return false;
    }
    if (!buildNetwork(module, *design, placed, error)) {
        error = networkFile + ": " + error;
        return false;
    }
    return true;
}

bool fromCase(HostSession& session, const std::string& file, IHENDesign*& design, std::string& error) {
    if (!IsCaseFile(file)) {
        error = file + " is not a Kestrin case file (design from tables needs STREAMS and NETWORK)";
        return false;
    }
    if (!session.RecallCase(file, error)) return false;
    for (int i = 0; IHeatIntegrationScenario* scenario = session.ScenarioAt(i); ++i)
        if (!CheckCaseContent(*scenario, error)) {
            error = file + ": the case file is damaged: " + error;
            return false;
        }
    IHeatIntegrationScenario* scenario = session.Scenario();
    if (!scenario) {
        error = file + ": the case holds no scenario";
        return false;
    }
    if (scenario->GetNumberOfDesigns() < 1 || !scenario->GetDesign(0, design, 0) || !design) {
        error = file + ": the case holds no design";
        return false;
    }
    return true;
}
}  // namespace

int RunDesign(ModuleLoader& module, int argc, char** argv) {
    DesignOptions o;
    std::string error;
    if (!parse(argc, argv, o, error)) return fail(error);
    HostSession session(module);
    if (!session.Start(error)) return fail(error);
    IHENDesign* design = nullptr;
    const bool ok = o.files.size() == 2 ? fromTables(module, session, o, design, error)
                                        : fromCase(session, o.files[0], design, error);
    if (!ok) return fail(error);
    if (o.haveSave && !session.SaveCase(o.save, error)) return fail(error);
    const DesignReport report = ReadDesign(*design);
    std::fputs((o.json ? FormatDesignJson(report) : FormatDesignText(report)).c_str(), stdout);
    return 0;
}
