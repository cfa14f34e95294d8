#include "host/OptimiseCommand.h"

#include "eng/design/IHENDesign.h"
#include "eng/design/INetworkOptimiser.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "host/CommandLine.h"
#include "host/DesignCommand.h"
#include "host/DesignReport.h"
#include "host/EconomicsOption.h"
#include "host/HostSession.h"
#include "host/ModuleLoader.h"
#include "host/OutputText.h"
#include "host/TargetsReport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using StatusFn = int (*)(int, char*, int);

struct OptimiseOptions {
    std::vector<std::string> files;
    std::string save, design;
    bool json = false, haveSave = false, haveDesign = false, haveDtmin = false, equationBased = false;
    double dtmin = 0.0;
    int objective = 0;        // 0 least area, 1 least total annual cost
    int duties = -1, splits = -1;  // -1: as the design has it
    EconomicsOption economics;
};

bool takeSwitch(int argc, char** argv, int& i, int& value, std::string& error) {
    const std::string option = argv[i];
    if (i + 1 >= argc) {
        error = option + " needs on or off";
        return false;
    }
    const std::string word = argv[++i];
    if (word != "on" && word != "off") {
        error = option + " must be on or off, not " + QuotedField(word);
        return false;
    }
    value = word == "on" ? 1 : 0;
    return true;
}

bool parse(int argc, char** argv, OptimiseOptions& o, std::string& error) {
    bool haveObjective = false;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--json") {
            o.json = true;
        } else if (a == "--equation-based") {
            o.equationBased = true;
        } else if (a == "--dtmin") {
            if (!TakeNumberOption(argc, argv, i, o.dtmin, o.haveDtmin, error)) return false;
        } else if (a == "--save") {
            if (!TakeFileOption(argc, argv, i, o.save, o.haveSave, error)) return false;
        } else if (a == "--design") {
            if (!TakeFileOption(argc, argv, i, o.design, o.haveDesign, error)) return false;
        } else if (a == "--duties") {
            if (!takeSwitch(argc, argv, i, o.duties, error)) return false;
        } else if (a == "--splits") {
            if (!takeSwitch(argc, argv, i, o.splits, error)) return false;
        } else if (a == "--objective") {
            if (i + 1 >= argc) {
                error = "--objective needs area or cost";
                return false;
            }
            const std::string word = argv[++i];
            if (haveObjective || (word != "area" && word != "cost")) {
                error = haveObjective ? "--objective is given twice" : "--objective must be area or cost, not " + QuotedField(word);
                return false;
            }
            haveObjective = true;
            o.objective = word == "cost" ? 1 : 0;
        } else if (a == "--economics") {
            if (!TakeEconomicsOption(argc, argv, i, o.economics, error)) return false;
        } else if (!TakeOperand(a, o.files, error)) {
            return false;
        }
    }
    if (!CheckNetworkOperands("optimise", o.files, error)) return false;
    if (o.files.size() == 1 && (o.haveDtmin || o.economics.given)) {
        error = "--dtmin and --economics belong to optimise STREAMS NETWORK (a case keeps its own)";
        return false;
    }
    if (o.files.size() == 2 && o.haveDesign) {
        error = "--design names a design of a case; a network table makes one design";
        return false;
    }
    return CheckDtminOption(o.haveDtmin, o.dtmin, error);
}

// The case --save writes is none of the inputs and may be replaced.
bool checkSaveTarget(const OptimiseOptions& o, std::string& error) {
    for (const std::string& input : o.files)
        if (o.haveSave && SameFile(input, o.save)) {
            error = "--save " + o.save + " names an input file; save the case to another file";
            return false;
        }
    if (o.haveSave && !SaveMayReplace(o.save, error)) return false;
    return true;
}

const char* const kPartKeys[IOptimiserCheck::PartCount] = {"degrees_of_freedom", "feasibility", "untied",
                                                           "temperature_specs", "options"};
const char* const kPartTitles[IOptimiserCheck::PartCount] = {"degrees of freedom", "feasibility", "untied streams",
                                                             "temperature specifications", "options"};

std::string checkJson(const IOptimiserCheck& c) {
    std::ostringstream out;
    out << "{\"severity\": " << c.GetSeverity() << ", \"can_run\": " << (c.CanRun() ? "true" : "false")
        << ", \"message\": " << JsonString(c.GetMessage());
    for (int p = 0; p < IOptimiserCheck::PartCount; ++p)
        out << ", \"" << kPartKeys[p] << "\": {\"ok\": " << (c.IsPartOK(p) ? "true" : "false")
            << ", \"message\": " << JsonString(c.GetPartMessage(p)) << "}";
    out << "}";
    return out.str();
}

// What a warning of the check means for the run, beside the check's own words.
const char* warningMeaning(int part) {
    if (part == IOptimiserCheck::UntiedStreams)
        return "an exchanger's stream meets a heater or cooler that no utility serves, or no unit at all; the run "
               "leaves those stream ends as they are";
    if (part == IOptimiserCheck::TemperatureSpecs)
        return "a temperature the design specifies holds the duties next to it; the run keeps it";
    return "";
}

std::string checkText(const IOptimiserCheck& c) {
    std::ostringstream out;
    out << "Optimiser check: " << c.GetMessage() << "\n";
    for (int p = 0; p < IOptimiserCheck::PartCount; ++p) {
        const bool warning = p == IOptimiserCheck::UntiedStreams || p == IOptimiserCheck::TemperatureSpecs;
        out << "  " << kPartTitles[p] << ": " << (c.IsPartOK(p) ? "ok" : warning ? "warning" : "not ok") << " - "
            << c.GetPartMessage(p);
        if (!c.IsPartOK(p) && warning) out << " (" << warningMeaning(p) << ")";
        out << "\n";
    }
    return out.str();
}

// "area X m2, total annual cost Y", each figure "not available" where the design's totals are not.
std::string figures(const DesignReport& r) {
    if (!r.totalsAvailable) return "area not available, total annual cost not available";
    char buffer[160];
    if (!r.noAnnualCost.empty()) {
        std::snprintf(buffer, sizeof buffer, "area %.6g m2, total annual cost not available (%s)", r.areaTotal,
                      r.noAnnualCost.c_str());
        return buffer;
    }
    std::snprintf(buffer, sizeof buffer, "area %.6g m2, total annual cost %.6g", r.areaTotal, r.totalAnnualCost);
    return buffer;
}

// How the figure that was not optimised moved, when both are known and it rose.
std::string otherFigure(const DesignReport& before, const DesignReport& after, int objective) {
    if (!before.totalsAvailable || !after.totalsAvailable) return std::string();
    if (objective != 1 && !after.noAnnualCost.empty()) return std::string();
    const double from = objective == 1 ? before.areaTotal : before.totalAnnualCost;
    const double to = objective == 1 ? after.areaTotal : after.totalAnnualCost;
    if (!(from > 0.0) || !(to > from + 1e-6 * from)) return std::string();
    char buffer[200];
    std::snprintf(buffer, sizeof buffer, "; the %s rose by %.3g %% (%.6g to %.6g)",
                  objective == 1 ? "area" : "total annual cost", 100.0 * (to - from) / from, from, to);
    return buffer;
}

// The design JSON of `design --json`, indented one level, with the design's name first when asked.
std::string designJson(const DesignReport& report, bool withName) {
    std::string json = FormatDesignJson(report);
    while (!json.empty() && json.back() == '\n') json.pop_back();
    if (withName && json.size() > 2) json.insert(2, "  \"name\": " + JsonString(report.name) + ",\n");
    std::string indented;
    for (char ch : json) {
        indented += ch;
        if (ch == '\n') indented += "  ";
    }
    return indented;
}

std::string statusLine(ModuleLoader& module) {
    auto fn = reinterpret_cast<StatusFn>(module.Entry("KestrinStatusLine"));
    if (!fn) return std::string();
    const int need = fn(2, nullptr, 0);
    if (need <= 1) return std::string();
    std::string text(static_cast<std::size_t>(need), '\0');
    fn(2, text.data(), need);
    text.resize(static_cast<std::size_t>(need - 1));
    return text;
}

// The optimiser states its objective bare, as it works in it: an area in m2, or a total annual
// cost per second of operation. The line a user reads says which, with the cost per year beside it.
std::string withObjectiveUnit(const std::string& status, int objective) {
    constexpr double kSecondsPerYear = 31536000.0;
    const std::string key = "Objective function: ";
    const std::size_t at = status.rfind(key);
    if (at == std::string::npos) return status;
    char* end = nullptr;
    const double value = std::strtod(status.c_str() + at + key.size(), &end);
    if (end == status.c_str() + at + key.size() || *end != '\0' || !std::isfinite(value)) return status;
    if (objective != 1) return status + " m2";
    char text[96];
    std::snprintf(text, sizeof text, " per second (%.2f per year)", value * kSecondsPerYear);
    return status + text;
}

std::set<std::string> designNames(IHeatIntegrationScenario& scenario) {
    std::set<std::string> names;
    IHENDesign* d = nullptr;
    for (int i = 0; i < scenario.GetNumberOfDesigns(); ++i)
        if (scenario.GetDesign(i, d, 0) && d && d->GetDesignName()) names.insert(d->GetDesignName());
    return names;
}

// Whether the run lowered what it was asked to lower. The optimiser's result says only that it
// kept a point of its own; a point that costs what the start did is no improvement to the user.
bool objectiveFell(const DesignReport& before, const DesignReport& after, int objective) {
    if (!before.totalsAvailable || !after.totalsAvailable) return false;
    const double from = objective == 1 ? before.totalAnnualCost : before.areaTotal;
    const double to = objective == 1 ? after.totalAnnualCost : after.areaTotal;
    // Less than a part in a million is the last figure printed, not a change.
    return to < from - 1e-6 * std::fabs(from);
}

}  // namespace

int RunOptimise(ModuleLoader& module, int argc, char** argv) {
    OptimiseOptions o;
    std::string error;
    if (!parse(argc, argv, o, error)) return FailUsage("optimise", error);
    if (!checkSaveTarget(o, error)) return FailCommand(error);
    HostSession session(module);
    if (!session.Start(error)) return FailCommand(error);
    IHENDesign* design = nullptr;
    if (!OpenHostDesign(module, session, o.files, o.design, o.haveDtmin ? &o.dtmin : nullptr, o.economics, design, error))
        return FailCommand(error);
    IHeatIntegrationScenario* scenario = design->GetScenario();
    if (!scenario) return FailCommand("the design belongs to no scenario");
    // Without a plant life there is no total annual cost to lower: the operating cost alone is
    // no total, and optimising it would pass a cheaper operation off as a cheaper plant.
    if (const std::string why = NoAnnualisedCapital(*scenario); !why.empty() && (o.objective == 1 || o.equationBased))
        return FailCommand(std::string(o.equationBased ? "the equation-based optimiser lowers" : "--objective cost needs") +
                           " the total annual cost, which is not available (" + why + "); use --objective area");
    if (o.duties >= 0) design->SetOptimizeExchangerDuties(o.duties == 1);
    if (o.splits >= 0) design->SetOptimizeSplitFractions(o.splits == 1);

    // The check weighs an over-specified network by the path the run takes.
    if (o.equationBased) scenario->SetUseEquationBasedOptimization(true);
    design->RunOptimizerCheck();
    const IOptimiserCheck* check = design->GetOptimiserCheck();
    if (!check) return FailCommand("the module has no network optimiser for this design");
    if (check->GetSeverity() >= 2) {
        if (o.json) std::printf("{\n  \"check\": %s\n}\n", checkJson(*check).c_str());
        else std::fputs(checkText(*check).c_str(), stdout);
        std::string why = check->GetMessage();
        for (int p = 0; p < IOptimiserCheck::PartCount; ++p)
            if (!check->IsPartOK(p) && p != IOptimiserCheck::UntiedStreams && p != IOptimiserCheck::TemperatureSpecs)
                why += std::string(" ") + check->GetPartMessage(p);
        return FailCommand(why);
    }
    const std::string checkReport = o.json ? checkJson(*check) : checkText(*check);

    const DesignReport before = ReadDesign(*design);
    const std::set<std::string> namesBefore = designNames(*scenario);
    const int result = scenario->OptimizeDesign(design, o.objective, true);
    const std::string status = statusLine(module);
    // The copy is the design the run added; a run that found nothing better leaves none.
    IHENDesign* after = design;
    IHENDesign* d = nullptr;
    for (int i = 0; i < scenario->GetNumberOfDesigns(); ++i)
        if (scenario->GetDesign(i, d, 0) && d && d->GetDesignName() && !namesBefore.count(d->GetDesignName())) after = d;
    const DesignReport afterReport = ReadDesign(*after);
    if (o.haveSave && !session.SaveCase(o.save, error)) return FailCommand(error);

    // The equation-based engine lowers the total annual cost whatever the objective asked.
    const int objective = o.equationBased ? 1 : o.objective;
    const bool improved = objectiveFell(before, afterReport, objective);
    if (o.json) {
        std::printf("{\n  \"check\": %s,\n  \"result\": %d,\n  \"objective\": \"%s\",\n  \"improved\": %s,\n"
                    "  \"status\": %s,\n  \"before\": %s,\n  \"after\": %s\n}\n",
                    checkReport.c_str(), result, objective == 1 ? "cost" : "area", improved ? "true" : "false",
                    JsonString(status).c_str(), designJson(before, false).c_str(), designJson(afterReport, true).c_str());
        return 0;
    }
    std::fputs(checkReport.c_str(), stdout);
    std::printf("Optimisation %s (result %d): %s\n", improved ? "improved the network" : "left the network unchanged",
                result, PrintableText(withObjectiveUnit(status, objective), 300).c_str());
    std::printf("  objective: least %s%s\n", objective == 1 ? "total annual cost" : "area",
                otherFigure(before, afterReport, objective).c_str());
    std::printf("  before: %s\n", figures(before).c_str());
    std::printf("  after:  %s\n", figures(afterReport).c_str());
    std::fputs(FormatDesignText(afterReport).c_str(), stdout);
    return 0;
}
