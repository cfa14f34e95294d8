#include "host/DesignCommand.h"
#include "host/EconomicsOption.h"
#include "host/CommandLine.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "host/CaseContentChecks.h"
#include "host/DesignReport.h"
#include "host/HostSession.h"
#include "host/InputFile.h"
#include "host/ModuleLoader.h"
#include "host/NetworkBuild.h"
#include "host/NetworkTable.h"
#include "host/OutputText.h"
#include "host/ScenarioInput.h"
#include "host/StreamTable.h"
#include "host/StreamTableChecks.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* const kDesignName = "Network";

struct DesignOptions {
    std::vector<std::string> files;
    std::string save;
    std::string design;  // --design: the design of a case to report
    bool json = false, haveSave = false, haveDtmin = false, haveDesign = false;
    double dtmin = 0.0;
    EconomicsOption economics;
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
        } else if (a == "--economics") {
            if (!TakeEconomicsOption(argc, argv, i, o.economics, error)) return false;
        } else if (a == "--design") {
            if (!TakeFileOption(argc, argv, i, o.design, o.haveDesign, error)) return false;
        } else if (!TakeOperand(a, o.files, error)) {
            return false;
        }
    }
    if (!CheckNetworkOperands("design", o.files, error)) return false;
    if (o.files.size() == 1 && (o.haveDtmin || o.haveSave || o.economics.given)) {
        error = "design CASE takes only --json and --design (--dtmin, --economics and --save belong to design STREAMS "
                "NETWORK)";
        return false;
    }
    if (o.files.size() == 2 && o.haveDesign) {
        error = "--design names a design of a case; a network table makes one design";
        return false;
    }
    return CheckDtminOption(o.haveDtmin, o.dtmin, error);
}

std::string at(const NetworkRow& row) { return AtLine(row.line); }

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

// A heater or cooler takes its place on its utility from its temperatures (before the first
// unit there whose process outlet it does not beat): a place given on the utility's side is not
// used, and the report says so rather than pass over it.
std::vector<std::string> unusedUtilityOrders(const std::vector<Placement>& placed) {
    std::vector<std::string> notes;
    for (const Placement& p : placed)
        for (const Side* side : {&p.hot, &p.cold})
            if (side->utility && side->order > 0)
                notes.push_back(at(*p.row) + (side == &p.hot ? "hot_order " : "cold_order ") + std::to_string(side->order) +
                                " of " + QuotedField(p.row->name) + " on utility " + QuotedField(side->stream->GetName().c_str()) +
                                " is not used: a heater or cooler takes its place on its utility from its temperatures");
    return notes;
}

// The network of an exchanger table as a new design `name` of the scenario.
bool BuildNetworkFromRows(ModuleLoader& module, IHeatIntegrationScenario& scenarioRef, const std::vector<NetworkRow>& rows,
                          const std::string& networkFile, const char* name, IHENDesign*& design, std::string& error,
                          std::vector<std::string>* notes = nullptr) {
    IHeatIntegrationScenario* scenario = &scenarioRef;
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
    if (!SettleOrders(placed, error)) {
        error = networkFile + ": " + error;
        return false;
    }
    if (!scenario->AddDesign(CPString(name)) || !scenario->GetDesign(CPString(name), design) ||
        !design) {
        error = "the scenario made no design";
        return false;
    }
    if (!BuildNetwork(module, *design, placed, error)) {
        error = networkFile + ": " + error;
        return false;
    }
    if (notes)
        for (const std::string& note : unusedUtilityOrders(placed)) notes->push_back(networkFile + ": " + note);
    return true;
}

bool fromTables(ModuleLoader& module, HostSession& session, const DesignOptions& o, IHENDesign*& design,
                std::string& error, std::vector<std::string>* notes = nullptr) {
    const std::string& streamsFile = o.files[0];
    const std::string& networkFile = o.files[1];
    for (const std::string& input : o.files)
        if (o.haveSave && SameFile(input, o.save)) {
            error = "--save " + o.save + " names an input table; save the case to another file";
            return false;
        }
    if (o.haveSave && !SaveMayReplace(o.save, error)) return false;
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
    ApplyEconomicsOption(*scenario, o.economics);
    return BuildNetworkFromRows(module, *scenario, rows, networkFile, kDesignName, design, error, notes);
}

bool fromCase(HostSession& session, const std::string& file, const std::string& designName, IHENDesign*& design,
              std::string& error) {
    if (!CheckRegularInput(file, "a case file", error)) return false;
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
    if (!designName.empty()) {
        if (!scenario->GetDesign(CPString(designName.c_str()), design) || !design) {
            error = file + ": the case holds no design named " + QuotedField(designName);
            return false;
        }
        return true;
    }
    if (scenario->GetNumberOfDesigns() < 1 || !scenario->GetDesign(0, design, 0) || !design) {
        error = file + ": the case holds no design";
        return false;
    }
    return true;
}
}  // namespace

bool BuildNetworkFromFile(ModuleLoader& module, IHeatIntegrationScenario& scenario, const std::string& networkFile,
                          const char* name, IHENDesign*& design, std::string& error) {
    std::vector<NetworkRow> rows;
    if (!ReadNetworkTableFile(networkFile, rows, error)) return false;
    return BuildNetworkFromRows(module, scenario, rows, networkFile, name, design, error);
}

bool OpenHostDesign(ModuleLoader& module, HostSession& session, const std::vector<std::string>& files,
                    const std::string& designName, IHENDesign*& design, std::string& error) {
    DesignOptions o;
    o.files = files;
    if (files.size() == 2) return fromTables(module, session, o, design, error);
    if (files.size() == 1) return fromCase(session, files[0], designName, design, error);
    error = "takes STREAMS NETWORK, or a CASE saved with a design";
    return false;
}

bool OpenHostDesign(ModuleLoader& module, HostSession& session, const std::vector<std::string>& files,
                    const std::string& designName, const double* dtmin, const EconomicsOption& economics,
                    IHENDesign*& design, std::string& error) {
    if (files.size() != 2) return OpenHostDesign(module, session, files, designName, design, error);
    DesignOptions o;
    o.files = files;
    o.haveDtmin = dtmin != nullptr;
    o.dtmin = dtmin ? *dtmin : 0.0;
    o.economics = economics;
    return fromTables(module, session, o, design, error);
}

int RunDesign(ModuleLoader& module, int argc, char** argv) {
    DesignOptions o;
    std::string error;
    if (!parse(argc, argv, o, error)) return FailUsage("design", error);
    HostSession session(module);
    if (!session.Start(error)) return fail(error);
    IHENDesign* design = nullptr;
    std::vector<std::string> tableNotes;
    const bool ok = o.files.size() == 2 ? fromTables(module, session, o, design, error, &tableNotes)
                                        : fromCase(session, o.files[0], o.design, design, error);
    if (!ok) return fail(error);
    if (o.haveSave && !session.SaveCase(o.save, error)) return fail(error);
    DesignReport report = ReadDesign(*design);
    report.notes.insert(report.notes.begin(), tableNotes.begin(), tableNotes.end());
    std::fputs((o.json ? FormatDesignJson(report) : FormatDesignText(report)).c_str(), stdout);
    return 0;
}

// Each call of an entry draws the whole picture, which for a network of a thousand exchangers
// costs as much as building it: the first call is offered room for any picture the host's tables
// can make, so that it is drawn once. The room is reserved, not touched: only the pages the
// picture fills are ever used. Without that room, or for a larger picture, the entry is asked its
// size first and called again.
std::string RenderDesignPicture(DesignPictureFn fn, IHENDesign* design, int a, int b, int what) {
    constexpr int kRoom = 64 << 20;
    if (char* room = static_cast<char*>(std::malloc(kRoom))) {
        const int need = fn(design, a, b, what, room, kRoom);
        std::string text;
        if (need > 1 && need <= kRoom) text.assign(room, static_cast<std::size_t>(need - 1));
        std::free(room);
        if (need <= kRoom) return text;
    }
    const int need = fn(design, a, b, what, nullptr, 0);
    if (need <= 1) return std::string();
    std::string text(static_cast<std::size_t>(need), '\0');
    fn(design, a, b, what, text.data(), need);
    text.resize(static_cast<std::size_t>(need - 1));
    return text;
}

bool CheckPictureInputs(const std::vector<std::string>& files, bool haveDesign, const std::string& svg,
                        std::string& error) {
    if (haveDesign && files.size() == 2) {
        error = "--design names a design of a case; a network table makes one design";
        return false;
    }
    for (const std::string& f : files)
        if (f == svg || SameFile(f, svg)) {
            error = "--svg " + svg + " names an input file; write the picture to another file";
            return false;
        }
    return true;
}
