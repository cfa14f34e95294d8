#include "host/RetrofitCommand.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "host/CommandLine.h"
#include "host/DesignCommand.h"
#include "host/DesignReport.h"
#include "host/HostSession.h"
#include "host/ModuleLoader.h"
#include "host/OutputText.h"
#include "pellin/CNode.h"
#include "pellin/NodeKinds.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Costs of a design are per second; the report gives them per year, and the payback in years.
constexpr double kSecondsPerYear = 31536000.0;
constexpr int kReady = 3;

struct Mode {
    const char* option;
    int code;
    char letter;
    const char* kind;  // what a step of the mode changes
};
const Mode kModes[] = {
    {"new-exchanger", 0, 'N', "new exchanger"},
    {"repipe", 1, 'P', "repiping"},
    {"resequence", 2, 'S', "resequencing"},
    {"utility", 3, 'U', "utility change"},
};

struct RetrofitOptions {
    std::vector<std::string> files;
    std::string save;
    std::string design;  // --design: the design of a case that is the base
    const Mode* mode = &kModes[0];
    bool json = false, haveMode = false, haveSteps = false, haveBudget = false, haveSave = false, haveDesign = false;
    double steps = 1.0;
    // The investment a step may spend (the scenario's optimiser economic parameter, which the
    // area check divides the step's capital by); without the option the scenario keeps its own.
    double budget = 0.0;
};

// What a step's result code says. 26 is also the scenario's verdict on a step that saves no
// utility cost, pays back never, leaves a network that cannot be built (a stream short of its
// target, an exchanger below DTmin, a unit not calculated) or needs more capital than the budget.
const char* Meaning(int code) {
    switch (code) {
    case 0: return "a model run failed and the solver reported an error";
    case 5: return "no new exchanger found: no result, no benefit or no location, or the new exchanger would carry "
                   "nothing or only a token share (5 % or less) of the heat the step saves";
    case 7: return "new exchanger added";
    case 19: return "the network has no process exchanger";
    case 24: return "no alternative utility: at most one hot and one cold utility";
    case 26: return "not kept: the optimisation failed, or the step saves no utility cost, never pays back, leaves a "
                    "network that cannot be built or needs more capital than the budget";
    case 27: return "the area check ended with added area left";
    case 28: return "design optimisation done";
    case 29: return "no repiping found: no result, no benefit or no location";
    case 30: return "the exchanger already sits at the location, or would sit next to a tee or mixer";
    case 31: return "exchanger repiped";
    case 32: return "no resequencing found: no result, no benefit or no location";
    case 34: return "exchanger resequenced";
    case 35: return "a node or location was not valid, or a network edit was refused";
    case 39: return "heater or cooler moved to another utility";
    case 41: return "no heater or cooler moved: no other utility lowers its utility plus annualised capital cost, "
                    "or the savings could not be computed";
    default: return "unknown result";
    }
}

// Why the scenario will not retrofit the design (its readiness code).
std::string NotReady(int code) {
    switch (code) {
    case 11: return "the design has no heat exchanger";
    case 21: return "a process stream is incomplete, or there is none";
    case 23: return "the retrofit needs a hot and a cold utility";
    case 15: return "a hot utility has incomplete segments";
    case 9: return "a cold utility has incomplete segments";
    case 22: return "a utility has no cost";
    case 12: return "a stream match has an incomplete cost model";
    case 40: return "the utility placement is not valid";
    case 1: return "the streams of the design do not all have their ends placed";
    case 43: return "the design keeps utilities at exchanger ports";
    default: return "the design cannot be retrofitted (readiness code " + std::to_string(code) + ")";
    }
}

// The units that carry heat, or are process exchangers, and did not calculate ("E2, E3 are"),
// empty when every such unit did. An idle heater or cooler is left out: a step may need it.
double UnitNumber(const IHENDesign& d, const std::string& unit, const char* name, double otherwise);

// The units of the design that do not calculate, "E2 is" or "E2, E3 are"; `shellAndTube` tells
// whether one of them is a shell-and-tube unit, whose area alone may not hold it to one duty.
std::string UnitsNotCalculated(IHENDesign& d, bool& shellAndTube) {
    std::set<std::string> shellAndTubeUnits;
    CNode* x = nullptr;
    for (int k = 0; d.GetHeatExchanger(k, x); ++k) {
        if (!x) continue;
        const std::string node = x->getName().c_str();
        if (UnitNumber(d, node, NodeValue::HXType, 0.0) != 1.0) continue;
        const std::string shown = d.GetUnitName(CPString(node.c_str())).c_str();
        shellAndTubeUnits.insert(shown.empty() ? node : shown);
    }
    std::string names;
    int count = 0;
    shellAndTube = false;
    for (const DesignReport::Unit& unit : ReadDesign(d).units) {
        if (unit.status == "complete" || (unit.kind != "exchanger" && std::fabs(unit.duty) < 1e-9)) continue;
        names += (count++ ? ", " : "") + PrintableText(unit.name);
        shellAndTube = shellAndTube || shellAndTubeUnits.count(unit.name) != 0;
    }
    return names.empty() ? names : names + (count == 1 ? " is" : " are");
}

// "; " and the heaters and coolers that would run backwards, or nothing.
std::string WhyBackwards(IHENDesign& d) {
    const std::string backwards = BackwardsUtilities(ReadDesign(d));
    return backwards.empty() ? backwards : "; " + PrintableText(backwards, 400);
}

bool parse(int argc, char** argv, RetrofitOptions& o, std::string& error) {
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--json") {
            o.json = true;
        } else if (a == "--mode") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                error = "--mode needs new-exchanger, repipe, resequence or utility";
                return false;
            }
            const std::string name = argv[++i];
            o.haveMode = true;
            o.mode = nullptr;
            for (const Mode& m : kModes)
                if (name == m.option) o.mode = &m;
            if (!o.mode) {
                error = "--mode must be new-exchanger, repipe, resequence or utility, not " + QuotedField(name);
                return false;
            }
        } else if (a == "--steps") {
            if (!TakeWholeNumberOption(argc, argv, i, o.steps, o.haveSteps, 1, 5, error)) return false;
        } else if (a == "--save") {
            if (!TakeFileOption(argc, argv, i, o.save, o.haveSave, error)) return false;
        } else if (a == "--design") {
            if (!TakeFileOption(argc, argv, i, o.design, o.haveDesign, error)) return false;
        } else if (a == "--budget") {
            if (!TakeNumberOption(argc, argv, i, o.budget, o.haveBudget, error)) return false;
            if (!(o.budget >= 0.0) || !std::isfinite(o.budget)) {
                error = "--budget must be a number of 0 or more";
                return false;
            }
        } else if (!TakeOperand(a, o.files, error)) {
            return false;
        }
    }
    if (!CheckNetworkOperands("retrofit", o.files, error)) return false;
    if (o.haveDesign && o.files.size() == 2) {
        error = "--design names a design of a case; a network table makes one design";
        return false;
    }
    if (o.haveSteps && o.mode->code == 3) {
        error = "--steps belongs to the stepwise modes (new-exchanger, repipe, resequence); utility runs once";
        return false;
    }
    if (o.haveBudget && o.mode->code == 3) {
        error = "--budget belongs to the modes whose steps are checked by area (new-exchanger, repipe, resequence)";
        return false;
    }
    return true;
}

// The case --save writes is none of the inputs and may be replaced.
bool checkSaveTarget(const RetrofitOptions& o, std::string& error) {
    for (const std::string& input : o.files)
        if (o.haveSave && SameFile(input, o.save)) {
            error = "--save " + o.save + " names an input file; save the case to another file";
            return false;
        }
    return !o.haveSave || SaveMayReplace(o.save, error);
}

// A side of the modified unit that sits on a branch of a splitter: the side ("hot" or "cold"),
// the splitter's name, its stream, and whether the step made the splitter (the base design has
// no splitter of that name).
struct BranchPlace {
    std::string side, splitter, stream;
    bool created = false;
};

struct Modification {
    std::string exchanger, hot, cold, type;
    double duty = 0.0, addedArea = 0.0, hotInlet = NAN, coldInlet = NAN;
    std::vector<BranchPlace> branches;
};

// A unit's area beyond its area in the base design (a new unit's whole area).
struct AddedArea {
    std::string unit;
    double area = 0.0;
};

struct Step {
    int step = 0, result = -1;
    bool kept = false, haveDesign = false, haveModification = false;
    std::string design;
    Modification modification;
    double hotUtility = 0.0, coldUtility = 0.0, utilityCost = 0.0, capitalCost = 0.0, payback = NAN;
    // A kept step's network, unit by unit.
    std::vector<DesignReport::Unit> network;
    // Why the step was not kept when its modification as placed cost more than the budget allowed.
    std::string budgetNote;
    // Why the scenario did not keep a step its driver had made (empty when kept, or when the
    // result code itself says why).
    std::string reason;
    std::vector<AddedArea> addedAreas;
    double totalAddedArea = 0.0;
    std::vector<std::string> notes;
};

// The steps of a stepwise run are each made from the base design; a later step leaves out only
// the placements that the earlier ones chose.
constexpr const char* kStepsAreAlternatives =
    "the steps are alternatives: each is made from the base design, not from the step before";

struct DesignState {
    bool haveModification = false;
    Modification modification;
    double hotUtility = 0.0, coldUtility = 0.0, utilityCost = 0.0, capitalCost = 0.0, payback = NAN;
    // Every unit the step added area to, in the design's order, and the sum.
    std::vector<AddedArea> addedAreas;
    double totalAddedArea = 0.0;
    // The debottleneck analysis of the base network the step's driver ran: the exchangers that
    // limit its recovery (empty when it was not run or failed).
    std::string debottleneck;
    // What the driver noted of the step in the design's change log ("Note: ..." lines).
    std::vector<std::string> notes;
};

// The "Note: " lines the step's edits left in the change log, after the clone's own line.
std::vector<std::string> StepNotes(const IHENDesign& d) {
    std::vector<std::string> notes;
    const std::string log = d.GetChangeLog() ? d.GetChangeLog() : "";
    const std::size_t cloned = log.rfind("Cloned from ");
    std::istringstream lines(cloned == std::string::npos ? std::string() : log.substr(cloned));
    const std::string prefix = "Note: ";
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(prefix, 0) == 0) {
            std::string note = line.substr(prefix.size());
            while (!note.empty() && (note.back() == ';' || note.back() == '\r')) note.pop_back();
            notes.push_back(note);
        }
    return notes;
}

// Below this (m2) a unit has not grown.
constexpr double kNoAddedArea = 1e-6;

double UnitNumber(const IHENDesign& d, const std::string& unit, const char* name, double otherwise) {
    double v = 0.0;
    return d.GetNodeValue(CPString(unit.c_str()), CPString(name), v) && std::isfinite(v) ? v : otherwise;
}

// The unit this step's retrofit edited: the design's change log holds the base design's lines,
// "Cloned from <base>", then one line per edit of the step ("[Hot side of ]<Heater |Cooler |Heat
// exchanger ><name> is ... by ... algorithm").
std::string EditedUnitName(const IHENDesign& d) {
    const std::string log = d.GetChangeLog() ? d.GetChangeLog() : "";
    const std::size_t cloned = log.rfind("Cloned from ");
    std::istringstream lines(cloned == std::string::npos ? log : log.substr(cloned));
    std::string line;
    std::getline(lines, line);  // the clone's own line
    while (std::getline(lines, line)) {
        if (line.find(" algorithm") == std::string::npos) continue;
        for (const char* side : {"Hot side of ", "Cold side of "})
            if (line.rfind(side, 0) == 0) line.erase(0, std::string(side).size());
        for (const char* word : {"Heat exchanger ", "Heater ", "Cooler "})
            if (line.rfind(word, 0) == 0) {
                line.erase(0, std::string(word).size());
                break;
            }
        const std::size_t is = line.find(" is ");
        if (is != std::string::npos) return line.substr(0, is);
    }
    return std::string();
}

// The units of a design by their node names: its exchangers, heaters, coolers and splitters.
std::set<std::string> UnitNames(const IHENDesign& d) {
    std::set<std::string> names;
    CNode* x = nullptr;
    for (int k = 0; d.GetHeatExchanger(k, x); ++k)
        if (x) names.insert(x->getName().c_str());
    for (int i = 0; i < d.GetNumberOfStreams(); ++i)
        if (IHeatIntegrationStream* stream = d.GetStream(i))
            for (CNode* tee : d.GetSplittersOnStream(stream)) names.insert(tee->getName().c_str());
    return names;
}

// The splitters on whose branches the sides of `unit` sit (the innermost of each side).
std::vector<BranchPlace> BranchPlaces(const IHENDesign& d, CNode* unit, const std::set<std::string>& baseUnits,
                                      const std::string& hot, const std::string& cold) {
    std::vector<BranchPlace> places;
    for (int side = 0; side < 2; ++side) {
        CNode* tee = d.GetSplitterAroundExchangerSide(unit, side);
        if (!tee) continue;
        const std::string node = tee->getName().c_str();
        const std::string shown = d.GetUnitName(CPString(node.c_str())).c_str();
        places.push_back({side == 0 ? "hot" : "cold", shown.empty() ? node : shown, side == 0 ? hot : cold,
                          baseUnits.count(node) == 0});
    }
    return places;
}

// "; its cold side is on a branch of TEE-100 on C1, a splitter the step made" and the like.
std::string BranchText(const std::vector<BranchPlace>& places) {
    std::string text;
    for (const BranchPlace& p : places)
        text += "; its " + p.side + " side is on a branch of " + PrintableText(p.splitter) + " on " +
                PrintableText(p.stream) + (p.created ? ", a splitter the step made" : ", a splitter of the base design");
    return text;
}

// The utilities of a design; of a step's design (`baseUnits` given: the base design's units) also
// its capital, payback and modification. The edited unit is the one the change log names; an
// exchanger the step added is the one unit the base design does not have.
DesignState ReadState(IHENDesign& d, const std::set<std::string>* baseUnits) {
    DesignState s;
    s.hotUtility = d.GetTotalUtilityLoad(0);
    s.coldUtility = d.GetTotalUtilityLoad(1);
    s.utilityCost = d.GetTotalUtilityCost(2) * kSecondsPerYear;
    if (!baseUnits) return s;
    s.capitalCost = d.CalculateCapitalCost();
    // Without a saving the design never pays back.
    const double payback = d.GetPaybackTime();
    const bool saves = (d.GetScenario() ? d.GetScenario()->GetRetrofitBaseUtilityCost() : 0.0) > d.GetTotalUtilityCost(2);
    s.payback = saves && std::isfinite(payback) && payback >= 0.0 ? payback / kSecondsPerYear : NAN;

    if (const char* text = d.GetStoredTextA()) s.debottleneck = text;
    s.notes = StepNotes(d);
    CNode* each = nullptr;
    for (int k = 0; d.GetHeatExchanger(k, each); ++k) {
        if (!each) continue;
        const std::string node = each->getName().c_str();
        const double added = baseUnits->count(node) ? UnitNumber(d, node, "AddArea", 0.0)
                                                    : UnitNumber(d, node, NodeValue::HTArea, 0.0);
        if (added <= kNoAddedArea) continue;
        const std::string shown = d.GetUnitName(CPString(node.c_str())).c_str();
        s.addedAreas.push_back({shown.empty() ? node : shown, added});
        s.totalAddedArea += added;
    }

    const std::string edited = EditedUnitName(d);
    if (edited.empty()) return s;
    CNode* unit = nullptr;
    CNode* x = nullptr;
    for (int k = 0; d.GetHeatExchanger(k, x); ++k) {
        if (!x) continue;
        // The change log spells a unit by the name the user sees, which a rename in the design
        // viewer makes other than its node's: each node is matched by both.
        const std::string name = x->getName().c_str();
        const std::string shown = d.GetUnitName(CPString(name.c_str())).c_str();
        if (name == edited || (!shown.empty() && shown == edited) || !baseUnits->count(name)) unit = x;
    }
    if (!unit) return s;
    const std::string node = unit->getName().c_str();
    Modification& m = s.modification;
    m.exchanger = edited;
    for (int i = 0; i < d.GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* stream = d.GetStream(i);
        if (!stream) continue;
        for (int side = 0; side < 2; ++side)
            for (CNode* on : d.GetExchangersOnStreamSide(stream, side))
                if (on == unit) (side == 0 ? m.hot : m.cold) = stream->GetName().c_str();
    }
    m.duty = UnitNumber(d, node, NodeValue::Duty, 0.0);
    m.type = UnitNumber(d, node, NodeValue::HXType, 1.0) == 0.0 ? "countercurrent" : "shell-and-tube";
    // A new exchanger's whole area is what the step adds; an existing one adds only its "AddArea".
    m.addedArea = baseUnits->count(node) ? UnitNumber(d, node, "AddArea", 0.0) : UnitNumber(d, node, NodeValue::HTArea, 0.0);
    m.branches = BranchPlaces(d, unit, *baseUnits, m.hot, m.cold);
    double t = 0.0;
    if (d.GetExchangerPortTemperature(unit, 0, t)) m.hotInlet = t;
    if (d.GetExchangerPortTemperature(unit, 2, t)) m.coldInlet = t;
    s.haveModification = true;
    return s;
}

// Whether the name is that of a retrofit step of the base design: "<base>-<n><letter>", and for
// a stepwise run "-<step>" after it. Answers the step (1 for a single run), 0 for another name.
int StepOfName(const std::string& name, const std::string& base, char letter, bool stepwise) {
    const std::string prefix = base + "-";
    if (name.compare(0, prefix.size(), prefix) != 0) return 0;
    std::size_t i = prefix.size(), digits = i;
    while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i]))) ++i;
    if (i == digits || i >= name.size() || name[i] != letter) return 0;
    ++i;
    if (!stepwise) return i == name.size() ? 1 : 0;
    if (i >= name.size() || name[i] != '-' || i + 1 >= name.size()) return 0;
    int step = 0;
    for (std::size_t k = i + 1; k < name.size(); ++k) {
        if (!std::isdigit(static_cast<unsigned char>(name[k])) || step > 100) return 0;
        step = step * 10 + (name[k] - '0');
    }
    return step;
}

// Reads each step's design as it is discarded: the scenario tells of a deleted design (code 1,
// its name) before it destroys it.
class DiscardedDesigns : public INotificationReceiver {
public:
    DiscardedDesigns(IHeatIntegrationScenario& scenario, std::string base, char letter, bool stepwise,
                     const std::set<std::string>& baseUnits)
        : m_scenario(scenario), m_base(std::move(base)), m_letter(letter), m_stepwise(stepwise), m_baseUnits(baseUnits) {
        m_scenario.AddNotificationReceiver(this);
    }
    ~DiscardedDesigns() override { m_scenario.RemoveNotificationReceiver(this); }
    DiscardedDesigns(const DiscardedDesigns&) = delete;
    DiscardedDesigns& operator=(const DiscardedDesigns&) = delete;

    void NotifyChange(int code, const CPString& text, void*) override {
        if (code != 1) return;
        const std::string name = text.c_str();
        const int step = StepOfName(name, m_base, m_letter, m_stepwise);
        IHENDesign* design = nullptr;
        if (step > 0 && m_scenario.GetDesign(text, design) && design)
            states[step] = {name, ReadState(*design, &m_baseUnits)};
    }
    std::map<int, std::pair<std::string, DesignState>> states;

private:
    IHeatIntegrationScenario& m_scenario;
    std::string m_base;
    char m_letter;
    bool m_stepwise;
    const std::set<std::string>& m_baseUnits;
};

std::string number(double v, int decimals = 2) {
    if (!std::isfinite(v)) return "not available";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    std::string s = buffer;
    if (s.find_first_not_of("-0.") == std::string::npos) s = decimals ? "0." + std::string(decimals, '0') : "0";
    return s;
}

// The debottleneck analysis in the report's words: which exchangers limit the base network's
// recovery.
std::string BottleneckLine(const std::string& text) {
    if (text.empty()) return "not available: the analysis of the base network did not run";
    const std::string prefix = "DeBottlenecking HX are: ";
    if (text.rfind(prefix, 0) == 0) {
        std::string units = text.substr(prefix.size());
        if (!units.empty() && units.back() == '.') units.pop_back();
        return "the exchangers that limit recovery are " + units;
    }
    if (text == "No Debottlenecking HX.") return "no exchanger limits recovery";
    return text;
}

std::string FormatText(const std::string& base, const Mode& mode, const DesignState& b, const std::vector<Step>& steps,
                       const std::string& note, const std::string& debottleneck) {
    std::ostringstream out;
    out << "Retrofit of " << PrintableText(base) << " (" << mode.kind << ")\n";
    out << "Base design:\n";
    out << "  hot utility    " << number(b.hotUtility) << " kW\n";
    out << "  cold utility   " << number(b.coldUtility) << " kW\n";
    out << "  utility cost   " << number(b.utilityCost) << " per year\n";
    if (mode.code <= 2 && !steps.empty()) out << "Debottleneck: " << PrintableText(BottleneckLine(debottleneck), 2000) << "\n";
    if (steps.size() > 1) out << "Note: " << kStepsAreAlternatives << "\n";
    for (const Step& s : steps) {
        out << "Step " << s.step << ": result " << s.result << ", " << Meaning(s.result) << "\n";
        // A discarded step whose modification needed more capital than the budget was stopped by
        // the budget (the area check weighs the capital against it): that comes first, before
        // what the code and the area check say.
        const bool budgetFirst = !s.kept && !s.budgetNote.empty() && s.reason.find(s.budgetNote) == std::string::npos;
        if (budgetFirst) out << "  budget: " << s.budgetNote << "\n";
        if (!s.haveDesign) continue;
        out << "  design " << PrintableText(s.design) << (s.kept ? " (kept)" : " (discarded)") << "\n";
        if (!s.kept) {
            // A discarded step's network is no result: only what was tried, and why it went.
            if (s.haveModification) {
                const Modification& m = s.modification;
                out << "  tried: " << mode.kind << ", " << PrintableText(m.exchanger) << ", hot " << PrintableText(m.hot)
                    << ", cold " << PrintableText(m.cold) << BranchText(m.branches) << "\n";
            }
            if (!s.reason.empty()) out << "  why: " << PrintableText(s.reason, 400) << "\n";
            continue;
        }
        if (s.haveModification) {
            const Modification& m = s.modification;
            out << "  modification: " << mode.kind << ", " << PrintableText(m.exchanger) << ", hot "
                << PrintableText(m.hot) << " in at " << number(m.hotInlet) << " C, cold " << PrintableText(m.cold)
                << " in at " << number(m.coldInlet) << " C, duty " << number(m.duty) << " kW, added area "
                << number(m.addedArea) << " m2, " << m.type << BranchText(m.branches) << "\n";
        } else {
            out << "  modification: none\n";
        }
        out << "  added area    ";
        for (std::size_t k = 0; k < s.addedAreas.size(); ++k)
            out << (k ? ", " : " ") << PrintableText(s.addedAreas[k].unit) << " " << number(s.addedAreas[k].area);
        out << (s.addedAreas.empty() ? " none" : " m2") << " (total " << number(s.totalAddedArea) << " m2)\n";
        out << "  hot utility    " << number(b.hotUtility) << " -> " << number(s.hotUtility) << " kW\n";
        out << "  cold utility   " << number(b.coldUtility) << " -> " << number(s.coldUtility) << " kW\n";
        out << "  utility cost saving " << number(b.utilityCost - s.utilityCost) << " per year\n";
        out << "  capital cost   " << number(s.capitalCost) << " (investment)\n";
        out << "  payback        " << (std::isfinite(s.payback) ? number(s.payback) + " years" : "never (no saving)") << "\n";
        if (!s.budgetNote.empty()) out << "  budget: " << s.budgetNote << "\n";
        for (const std::string& line : s.notes) out << "  note: " << PrintableText(line, 400) << "\n";
        if (!s.network.empty()) out << "  network:\n";
        for (const DesignReport::Unit& u : s.network) out << "    " << FormatDesignUnitText(u) << "\n";
    }
    if (!note.empty()) out << "Note: " << note << "\n";
    return out.str();
}

std::string FormatJson(const DesignState& b, const std::vector<Step>& steps, const Mode& mode, const std::string& note,
                       const std::string& debottleneck) {
    std::ostringstream out;
    out << "{\"mode\":" << JsonString(mode.option) << ",\"base\":{\"hot_utility\":" << JsonNumber(b.hotUtility)
        << ",\"cold_utility\":" << JsonNumber(b.coldUtility) << ",\"utility_cost\":" << JsonNumber(b.utilityCost)
        << "},\"debottleneck\":"
        << (mode.code <= 2 && !steps.empty() ? JsonString(BottleneckLine(debottleneck)) : std::string("null"))
        << ",\"steps_are\":\"alternatives\",\"steps\":[";
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        if (i) out << ",";
        out << "{\"step\":" << s.step << ",\"result\":" << s.result << ",\"meaning\":" << JsonString(Meaning(s.result))
            << ",\"kept\":" << (s.kept ? "true" : "false") << ",\"design\":"
            << (s.haveDesign ? JsonString(s.design) : "null") << ",\"modification\":";
        // A discarded step's numbers describe no network anyone would build: they are null.
        if (s.haveModification) {
            const Modification& m = s.modification;
            out << "{\"kind\":" << JsonString(mode.kind) << ",\"exchanger\":" << JsonString(m.exchanger)
                << ",\"hot\":" << JsonString(m.hot) << ",\"cold\":" << JsonString(m.cold)
                << ",\"hot_inlet\":" << (s.kept ? JsonNumber(m.hotInlet) : "null")
                << ",\"cold_inlet\":" << (s.kept ? JsonNumber(m.coldInlet) : "null")
                << ",\"type\":" << (s.kept ? JsonString(m.type) : "null") << ",\"duty\":"
                << (s.kept ? JsonNumber(m.duty) : "null") << ",\"added_area\":" << (s.kept ? JsonNumber(m.addedArea) : "null")
                << ",\"branches\":[";
            for (std::size_t k = 0; k < m.branches.size(); ++k)
                out << (k ? "," : "") << "{\"side\":" << JsonString(m.branches[k].side)
                    << ",\"splitter\":" << JsonString(m.branches[k].splitter)
                    << ",\"stream\":" << JsonString(m.branches[k].stream)
                    << ",\"new_splitter\":" << (m.branches[k].created ? "true" : "false") << "}";
            out << "]}";
        } else {
            out << "null";
        }
        if (s.kept) {
            out << ",\"hot_utility\":" << JsonNumber(s.hotUtility) << ",\"cold_utility\":" << JsonNumber(s.coldUtility)
                << ",\"utility_cost\":" << JsonNumber(s.utilityCost)
                << ",\"utility_cost_saving\":" << JsonNumber(b.utilityCost - s.utilityCost)
                << ",\"capital_cost\":" << JsonNumber(s.capitalCost) << ",\"payback\":" << JsonNumber(s.payback);
            out << ",\"added_areas\":[";
            for (std::size_t k = 0; k < s.addedAreas.size(); ++k)
                out << (k ? "," : "") << "{\"unit\":" << JsonString(s.addedAreas[k].unit)
                    << ",\"area\":" << JsonNumber(s.addedAreas[k].area) << "}";
            out << "],\"total_added_area\":" << JsonNumber(s.totalAddedArea) << ",\"notes\":[";
            for (std::size_t k = 0; k < s.notes.size(); ++k) out << (k ? "," : "") << JsonString(s.notes[k]);
            out << "]";
        } else {
            out << ",\"hot_utility\":null,\"cold_utility\":null,\"utility_cost\":null,\"utility_cost_saving\":null,"
                   "\"capital_cost\":null,\"payback\":null,\"added_areas\":null,\"total_added_area\":null,\"notes\":null";
        }
        out << ",\"budget_note\":" << (s.budgetNote.empty() ? "null" : JsonString(s.budgetNote))
            << ",\"reason\":" << (s.reason.empty() ? "null" : JsonString(s.reason)) << ",\"network\":";
        if (s.kept) {
            out << "[";
            for (std::size_t k = 0; k < s.network.size(); ++k) out << (k ? "," : "") << FormatDesignUnitJson(s.network[k]);
            out << "]";
        } else {
            out << "null";
        }
        out << "}";
    }
    out << "],\"note\":" << (note.empty() ? "null" : JsonString(note)) << "}\n";
    return out.str();
}

}  // namespace

int RunRetrofit(ModuleLoader& module, int argc, char** argv) {
    RetrofitOptions o;
    std::string error;
    if (!parse(argc, argv, o, error)) return FailUsage("retrofit", error);
    if (!checkSaveTarget(o, error)) return FailCommand(error);
    HostSession session(module);
    if (!session.Start(error)) return FailCommand(error);
    IHENDesign* design = nullptr;
    if (!OpenHostDesign(module, session, o.files, o.design, design, error)) return FailCommand(error);
    IHeatIntegrationScenario* scenario = design->GetScenario();
    if (!scenario || !design->GetDesignName()) return FailCommand("the design belongs to no scenario");
    const std::string base = design->GetDesignName();

    scenario->SetRetrofitBaseDesign(CPString(base.c_str()));
    if (o.haveBudget) scenario->SetOptimizerEconomicParameter(o.budget);
    const int ready = scenario->CheckRetrofitDesign(design);
    if (ready != kReady) return FailCommand(PrintableText(base) + " cannot be retrofitted: " + NotReady(ready));
    // A base whose units do not calculate has no utilities to improve on: its zero loads would
    // read as a network at its target.
    bool shellAndTube = false;
    if (const std::string open = UnitsNotCalculated(*design, shellAndTube); !open.empty())
        return FailCommand(PrintableText(base) + " cannot be retrofitted: the network does not calculate: " + open +
                           " not calculated" + WhyBackwards(*design) +
                           (shellAndTube ? " (a shell-and-tube unit given by its area holds its duty only with its "
                                           "shells: give them in a shells column)"
                                         : ""));
    const DesignState before = ReadState(*design, nullptr);
    const std::set<std::string> baseUnits = UnitNames(*design);

    const Mode& mode = *o.mode;
    const bool stepwise = mode.code <= 2;
    const double budget = scenario->GetOptimizerEconomicParameter();
    const int steps = stepwise ? static_cast<int>(o.steps) : 1;
    if (mode.code == 0) scenario->SetLevelSetting2(steps);
    if (mode.code == 1) scenario->SetLevelSetting3(steps);
    if (mode.code == 2) scenario->SetLevelSetting4(steps);

    std::set<std::string> existing;
    for (int i = 0; i < scenario->GetNumberOfDesigns(); ++i)
        if (const char* name = scenario->GetDesignName(i)) existing.insert(name);
    std::map<int, std::pair<std::string, DesignState>> made;
    {
        DiscardedDesigns discarded(*scenario, base, mode.letter, stepwise, baseUnits);
        scenario->RetrofitDesign(design, mode.code);
        made = discarded.states;
    }
    std::set<int> kept;
    std::map<int, std::vector<DesignReport::Unit>> networks;
    for (int i = 0; i < scenario->GetNumberOfDesigns(); ++i) {
        const char* name = scenario->GetDesignName(i);
        const int step = name && !existing.count(name) ? StepOfName(name, base, mode.letter, stepwise) : 0;
        IHENDesign* d = nullptr;
        if (step > 0 && scenario->GetDesign(i, d, 0) && d) {
            made[step] = {name, ReadState(*d, &baseUnits)};
            networks[step] = ReadDesign(*d).units;
            kept.insert(step);
        }
    }

    std::vector<Step> report;
    std::string debottleneck;
    for (int i = 0; i < steps; ++i) {
        const int result = stepwise ? scenario->GetRetrofitStepStatus(i) : scenario->GetRetrofitStatus();
        if (result < 0) break;
        Step s;
        s.step = i + 1;
        s.result = result;
        s.kept = kept.count(s.step) != 0;
        if (s.kept) s.network = networks[s.step];
        else if (const char* why = scenario->GetRetrofitStepReason(stepwise ? i : 5)) s.reason = why;
        const double placed = scenario->GetRetrofitStepCapital(stepwise ? i : 5);
        if (!s.kept && placed > budget)
            s.budgetNote = "the step needs capital " + number(placed) + "; the budget is " + number(budget);
        const auto found = made.find(s.step);
        if (found != made.end()) {
            s.haveDesign = true;
            s.design = found->second.first;
            const DesignState& state = found->second.second;
            s.haveModification = state.haveModification;
            s.modification = state.modification;
            s.hotUtility = state.hotUtility;
            s.coldUtility = state.coldUtility;
            s.utilityCost = state.utilityCost;
            s.capitalCost = state.capitalCost;
            s.payback = state.payback;
            s.addedAreas = state.addedAreas;
            s.totalAddedArea = state.totalAddedArea;
            s.notes = state.notes;
            if (debottleneck.empty()) debottleneck = state.debottleneck;
        }
        report.push_back(s);
    }
    // An analysis that names no exchanger found none to name: the base network lacks a heater or
    // a cooler, which the analysis reads its recovery by, or none of its exchangers limits it.
    if (debottleneck.empty() && !report.empty()) {
        if (design->GetNumberOfHeaters() == 0 || design->GetNumberOfCoolers() == 0)
            debottleneck = std::string("not available: the base network has no ") +
                           (design->GetNumberOfHeaters() == 0 ? "heater" : "cooler") +
                           ", and the analysis reads its recovery by its heaters and coolers";
        else
            debottleneck = "not available: the analysis found no exchanger of the base network that limits its recovery";
    }
    std::string note;
    if (report.empty())
        note = "no step ran: the design's hot utility is at its target already";
    else if (static_cast<int>(report.size()) < steps)
        note = "the run stopped after step " + std::to_string(report.size()) +
               ": the hot utility reached its target, or a step could not be made";
    // Stream data a what-if of a locked design wrote are the base's too, as they are the targets'.
    for (int i = 0; i < scenario->GetNumberOfDesigns(); ++i) {
        IHENDesign* d = nullptr;
        if (!scenario->GetDesign(i, d, 0) || !d) continue;
        if (const char* whatIf = d->GetWhatIfStreamNote(nullptr))
            note = std::string("the stream data are a what-if's of the locked design ") + QuotedField(d->GetDesignName()) +
                   ", and so is this retrofit's base: " + whatIf + (note.empty() ? "" : "; " + note);
    }
    if (o.haveSave && !session.SaveCase(o.save, error)) return FailCommand(error);
    std::fputs((o.json ? FormatJson(before, report, mode, note, debottleneck)
                       : FormatText(base, mode, before, report, note, debottleneck))
                   .c_str(),
               stdout);
    return 0;
}
