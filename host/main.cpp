// kestrin-host: the command-line stand-in for the host application. It loads the module as the
// host does and runs the host's jobs on it: every number it prints comes from the module.
#include "eng/autodesign/IAdvancedSuperTarget.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "host/AutoDesignReport.h"
#include "host/CommandLine.h"
#include "host/ExtractCommand.h"
#include "host/HostSession.h"
#include "host/HelpText.h"
#include "host/InfoCommand.h"
#include "host/JobOptions.h"
#include "eng/model/SuperTargetRange.h"
#include "host/ModuleLoader.h"
#include "host/OutputText.h"
#include "host/DesignPlotCommand.h"
#include "host/PlotCommand.h"
#include "host/ViewCommand.h"
#include "host/ScenarioInput.h"
#include "host/StreamTable.h"
#include "host/StreamTableChecks.h"
#include "host/CaseContentChecks.h"
#include "host/DesignCommand.h"
#include "host/EconomicsOption.h"
#include "host/GridCommand.h"
#include "host/RetrofitCommand.h"
#include "host/OptimiseCommand.h"
#include "host/TargetsReport.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {
constexpr double kMinDTmin = StreamTableLimits::MinDTmin;
constexpr double kMaxDTmin = StreamTableLimits::MaxDTmin;
// Every supertargeting point is a whole recalculation; the module computes at most this many.
constexpr int kMaxPoints = SuperTargetRange::kMaxFixedStepPoints;
// Each design wanted is one more MILP and superstructure solve.
constexpr int kMaxDesigns = 100;

int usage() {
    std::fprintf(stderr,
                 "usage: kestrin-host --help | JOB --help\n"
                 "       kestrin-host info\n"
                 "       kestrin-host targets FILE [--dtmin X] [--forbid HOT:COLD]... [--area-method bath|lp] [--json]\n"
                 "                            [--save CASE]\n"
                 "       kestrin-host supertarget FILE --from A --to B [--step S] [--forbid HOT:COLD]...\n"
                 "                            [--area-method bath|lp] [--json] [--save CASE]\n"
                 "       kestrin-host autodesign FILE [--dtmin X] [--designs N] [--max-matches N] [--complete NETWORK]\n"
                 "                            [--time-limit S] [--economics LIST] [--matches-only] [--json] [--save CASE]\n"
                 "       kestrin-host extract SHEET --into CASE [--dtmin X] [--json] [--save OUT]\n"
                 "       kestrin-host plot FILE --kind KIND --svg OUT [--dtmin X] [--from A --to B [--step S]]\n"
                 "                            [--at H,T] [--x Q] [--left Q] [--right Q] [--json]\n"
                 "       kestrin-host plot FILE [NETWORK] --kind bar|driving-force --svg OUT [--design NAME]\n"
                 "                            [--quantity shells|area|duty|ua] [--json]\n"
                 "       kestrin-host plot FILE [NETWORK] --kind th --unit NAME --svg OUT [--design NAME] [--json]\n"
                 "       kestrin-host extract CASEFILE [--settings FILE] [--assign UNIT=UTILITY]... [--dtmin X]\n"
                 "                            [--refresh SOLVED] [--json]\n"
                 "                            [--save CASE]\n"
                 "       kestrin-host design STREAMS NETWORK [--dtmin X] [--economics LIST] [--json] [--save CASE]\n"
                 "       kestrin-host design CASE [--design NAME] [--json]\n"
                 "       kestrin-host retrofit STREAMS NETWORK [--mode new-exchanger|repipe|resequence|utility]\n"
                 "                            [--steps N] [--budget B] [--json] [--save CASE]\n"
                 "       kestrin-host retrofit CASE [--mode ...] [--steps N] [--budget B] [--design NAME] [--json]\n"
                 "                                  [--save CASE]\n"
                 "       kestrin-host optimise STREAMS NETWORK|CASE [--design NAME] [--objective area|cost]\n"
                 "                            [--duties on|off] [--splits on|off] [--dtmin X] [--economics LIST]\n"
                 "                            [--equation-based] [--json] [--save CASE]\n"
                 "       kestrin-host grid FILE [NETWORK] --svg OUT [--design NAME] [--preset 1-6] [--pinch]\n"
                 "                         [--reverse] [--hide-utilities] [--json]\n"
                 "       kestrin-host view FILE [--open VIEW] [--script S] [--form] [--json] [--units si|customary]\n"
                 "                            [--automation] [--save CASE]\n"
                 "       kestrin-host view --new hi-project|hi-case|hi-total-site NAME [--open VIEW] [--script S] [--form] [--json]\n"
                 "                            [--units si|customary] [--automation] [--save CASE]\n"
                 "  FILE is a stream table (CSV) or a case file written with --save. Its dtmin_contribution\n"
                 "  column is the approach a stream asks for, in C as the DTmin is: two streams of\n"
                 "  contribution 10 meet at 10 C; streams without one take the DTmin.\n"
                 "  SHEET is a segment table (CSV: headings, units, then one row per segment) whose\n"
                 "  values go into the streams of CASE's first scenario; CASE itself is not written.\n"
                 "  CASEFILE is a simulator-case document (.vmc) extracted into a new project; FILE holds\n"
                 "  extraction settings as name = value lines, each checked as the extraction wizard checks\n"
                 "  it. --assign moves a heater or cooler of the extracted network onto another utility.\n"
                 "  CASEFILE itself is not written. SOLVED is CASEFILE solved again (same items and links,\n"
                 "  new values): the extraction is refreshed from it, the same streams and units with the\n"
                 "  new values.\n"
                 "  DTmin, --from and --to lie from %g to %g C; supertarget computes at most %d\n"
                 "  points ((B - A) / S below %d).\n"
                 "  --forbid HOT:COLD   the two process streams may not exchange heat (repeatable); the area\n"
                 "                      target then comes from the area LP\n"
                 "  --area-method M     area target by the Bath formula (bath) or the area LP (lp)\n"
                 "  --matches-only      automatic design stops after the LP: utility loads and matches\n"
                 "  --designs N         automatic design makes up to N networks (default 1, at most %d)\n"
                 "  --max-matches N     a network of automatic design has at most N matches (0: no limit)\n"
                 "  --time-limit S      automatic design gives each of its solves at most S seconds (never\n"
                 "                      more than its own 500 s, or 1800 s for a network's structure)\n"
                 "  --complete NETWORK  autodesign completes the network of the exchanger table (built as design\n"
                 "                      builds it) instead of designing from nothing\n"
                 "  --mode M            retrofit: new-exchanger (default), repipe, resequence (each in up to\n"
                 "                      --steps N steps, 1 to 5, default 1) or utility (one step)\n"
                 "  --budget B          retrofit: the investment a step may spend (0 or more, in the case's\n"
                 "                      currency); the area check weighs the step's capital against it\n"
                 "  --objective area|cost  optimise lowers the total area (default) or the total annual cost of a\n"
                 "                      copy of the design named after it with -O; --duties and --splits choose\n"
                 "                      the variables (exchanger duties, split fractions; both on by default)\n"
                 "  --equation-based    optimise: the whole design goes to the equation-based engine, which lowers\n"
                 "                      its total annual cost over all duties and utility splits at once\n"
                 "  --economics LIST    targets, design, autodesign, optimise: fixed=A,area=B,exponent=C,law=shells|units,\n"
                 "                      interest=I,life=N,hours=H (any subset): the DEFAULT capital cost law\n"
                 "                      a per unit + b (A/shell)^c per shell (law=units: a + b Q^c per unit,\n"
                 "                      Q its duty, in the targets and automatic design's match prices; a\n"
                 "                      design's exchangers still a + b A^c)\n"
                 "                      and the plant's economics, saved with the case\n"
                 "  --open VIEW         view: case, project, scenario[=NAME], grid[=NAME] (a design's grid\n"
                 "                      diagram; scripts then click, move, menu, choose, drop, rubber, resize, wait)\n"
                 "  --kind KIND         the plot: %s\n"
                 "  --at H,T            the streams at that point (display units) of the curves\n"
                 "  --x/--left/--right Q  the quantities of the range and supertarget plots: %s\n"
                 "  --kind bar          a design's exchangers as bars as high as --quantity (default shells), in\n"
                 "                      the colour of their service; --kind driving-force: hot against cold\n"
                 "                      temperature of each exchanger's two ends, the target and y = x;\n"
                 "                      --kind th: the temperature-enthalpy profile of the exchanger --unit\n"
                 "  --open VIEW         view: case, project, scenario[=NAME], design[=NAME] or a child's address\n",
                 kMinDTmin, kMaxDTmin, kMaxPoints, kMaxPoints, kMaxDesigns, PlotKindNames().c_str(),
                 RangeQuantityNames().c_str());
    return 2;
}

int fail(const std::string& message) { return FailCommand(message); }
// A command line the job cannot take: the message, and where the job's usage is.
int usageOf(const std::string& job, const std::string& message) { return FailUsage(job, message); }

std::string fixed(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return buffer;
}

bool parseDouble(const char* text, double& value) { return text && ParseTableNumber(text, value); }

std::string uncheckedNote(const std::string& file) {
    return file + " was saved before case files carried a checksum; it was read without that check";
}

struct Options {
    std::string file;
    std::string save;
    std::vector<std::pair<std::string, std::string>> forbidden;
    int areaMethod = -1;  // -1 as the scenario has it, 0 Bath, 1 LP
    bool json = false;
    bool matchesOnly = false;
    bool haveSave = false;
    bool haveDtmin = false, haveFrom = false, haveTo = false, haveStep = false;
    double dtmin = 0, from = 0, to = 0, step = 1.0;
    bool haveDesigns = false, haveMaxMatches = false, haveTimeLimit = false;
    std::string complete;  // the network table of a design to complete
    EconomicsOption economics;
    double designs = 1.0, maxMatches = 0.0, timeLimit = 0.0;
    std::string kind;
    std::string at;
    PlotRequest plot;
};

bool parseOptions(const std::string& command, int argc, char** argv, Options& o, std::string& error) {
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        // An option the command does not take is refused, not ignored: the user meant something
        // by it.
        const bool rangeOption = a == "--from" || a == "--to" || a == "--step";
        if (command != "autodesign" && a == "--matches-only") {
            error = command + " takes no --matches-only (it belongs to autodesign)";
            return false;
        }
        if (command != "autodesign" && (a == "--designs" || a == "--max-matches" || a == "--time-limit")) {
            error = command + " takes no " + a + " (it belongs to autodesign)";
            return false;
        }
        if (a == "--economics" && command != "targets" && command != "autodesign") {
            error = command + " takes no --economics (targets, design and autodesign do)";
            return false;
        }
        if ((command == "targets" && rangeOption) || (command == "supertarget" && a == "--dtmin")) {
            error = command + " takes no " + a +
                    (rangeOption ? " (a range of DTmin is for supertarget; targets takes --dtmin)"
                                 : " (supertarget takes its range with --from, --to and --step)");
            return false;
        }
        auto value = [&](double& v, bool& have) {
            if (RefuseRepeatedOption(a.c_str(), have, error)) return false;
            if (i + 1 >= argc || !parseDouble(argv[i + 1], v)) {
                error = a + " needs a number";
                return false;
            }
            have = true;
            ++i;
            return true;
        };
        if (command == "plot" && (a == "--design" || a == "--quantity" || a == "--unit")) {
            error = a + " belongs to the pictures of a design (--kind bar, driving-force or th)";
            return false;
        }
        const bool plotOption =
            a == "--kind" || a == "--svg" || a == "--at" || a == "--x" || a == "--left" || a == "--right";
        if (plotOption && command != "plot") {
            error = command + " takes no " + a + " (it belongs to plot)";
            return false;
        }
        if (plotOption) {
            const std::string& before = a == "--kind"    ? o.kind
                                        : a == "--svg"   ? o.plot.svg
                                        : a == "--x"     ? o.plot.x
                                        : a == "--left"  ? o.plot.left
                                        : a == "--right" ? o.plot.right
                                                         : o.at;
            if (RefuseRepeatedOption(a.c_str(), !before.empty(), error)) return false;
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                error = a + " needs a value";
                return false;
            }
            (a == "--kind"    ? o.kind
             : a == "--svg"   ? o.plot.svg
             : a == "--x"     ? o.plot.x
             : a == "--left"  ? o.plot.left
             : a == "--right" ? o.plot.right
                              : o.at) = argv[++i];
            continue;
        }
        if (a == "--json") {
            o.json = true;
        } else if (a == "--matches-only") {
            o.matchesOnly = true;
        } else if (a == "--dtmin") {
            if (!value(o.dtmin, o.haveDtmin)) return false;
        } else if (a == "--economics") {
            if (!TakeEconomicsOption(argc, argv, i, o.economics, error)) return false;
        } else if (a == "--complete" && command == "autodesign") {
            if (RefuseRepeatedOption("--complete", !o.complete.empty(), error)) return false;
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                error = "--complete needs a network table";
                return false;
            }
            o.complete = argv[++i];
        } else if (a == "--designs") {
            if (!value(o.designs, o.haveDesigns)) return false;
        } else if (a == "--max-matches") {
            if (!value(o.maxMatches, o.haveMaxMatches)) return false;
        } else if (a == "--time-limit") {
            if (!value(o.timeLimit, o.haveTimeLimit)) return false;
        } else if (a == "--from") {
            if (!value(o.from, o.haveFrom)) return false;
        } else if (a == "--to") {
            if (!value(o.to, o.haveTo)) return false;
        } else if (a == "--step") {
            if (!value(o.step, o.haveStep)) return false;
        } else if (a == "--forbid") {
            const std::string pair = i + 1 < argc ? argv[i + 1] : "";
            const std::size_t colon = pair.find(':');
            if (colon == std::string::npos || colon == 0 || colon + 1 == pair.size() ||
                pair.find(':', colon + 1) != std::string::npos) {
                error = "--forbid needs HOT:COLD (two stream names)";
                return false;
            }
            o.forbidden.emplace_back(pair.substr(0, colon), pair.substr(colon + 1));
            ++i;
        } else if (a == "--area-method") {
            if (RefuseRepeatedOption("--area-method", o.areaMethod >= 0, error)) return false;
            const std::string method = i + 1 < argc ? argv[i + 1] : "";
            if (method != "bath" && method != "lp") {
                error = "--area-method needs bath or lp";
                return false;
            }
            o.areaMethod = method == "lp" ? 1 : 0;
            ++i;
        } else if (a == "--save") {
            if (!TakeFileOption(argc, argv, i, o.save, o.haveSave, error)) return false;
        } else if (!a.empty() && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else if (o.file.empty()) {
            o.file = a;
        } else {
            error = "more than one input file";
            return false;
        }
    }
    if (o.file.empty()) {
        error = "no input file";
        return false;
    }
    if (o.areaMethod == 0 && !o.forbidden.empty()) {
        error = "--area-method bath cannot be used with --forbid: forbidden matches need the area LP";
        return false;
    }
    if (o.haveDtmin && (!(o.dtmin >= kMinDTmin) || o.dtmin > kMaxDTmin)) {
        error = "--dtmin must be from " + fixed(kMinDTmin) + " to " + fixed(kMaxDTmin) + " C (got " + fixed(o.dtmin) + ")";
        return false;
    }
    return true;
}

// Forbids the matches asked for (one batch, so the targets are recalculated once) and sets the
// area-target method. `recalculate` becomes true when a case's area LP must be solved again for
// an area it did not hold.
bool applyTargetOptions(IHeatIntegrationScenario& scenario, const Options& o, bool& recalculate, std::string& error) {
    auto stream = [&](const std::string& name, int side, IHeatIntegrationStream*& s) {
        s = nullptr;
        if (!scenario.GetStream(name.c_str(), s) || !s) {
            error = "--forbid: no stream named \"" + name + "\"";
            return false;
        }
        if (s->GetStreamKind() == 1 || s->GetHotCold() != side) {
            error = "--forbid: \"" + name + "\" is not a " + (side == 0 ? "hot" : "cold") + " process stream";
            return false;
        }
        return true;
    };
    for (const auto& [hotName, coldName] : o.forbidden) {
        IHeatIntegrationStream* hot = nullptr;
        IHeatIntegrationStream* cold = nullptr;
        if (!stream(hotName, 0, hot) || !stream(coldName, 1, cold)) break;
        if (hot->LinkStream(coldName.c_str()) != 1) {
            error = "--forbid: the match " + hotName + ":" + coldName + " could not be forbidden";
            break;
        }
    }
    if (!o.forbidden.empty()) scenario.EndForbiddenMatchChanges();
    if (!error.empty()) return false;
    if (o.areaMethod >= 0 && scenario.SetAreaTargetMethod(o.areaMethod) != 1) {
        error = "the scenario refused the area-target method";
        return false;
    }
    // The report gives both areas, as the scenario viewer shows them: an area LP on shell-and-tube
    // exchangers gives its countercurrent area too. A case saved before it did holds none, and is
    // solved again for it.
    if ((!o.forbidden.empty() || o.areaMethod == 1 || scenario.GetAreaTargetMethod() == 1) &&
        scenario.GetAreaTargetOption() == 1)
        recalculate = true;
    return true;
}

// Loads the input into the session's project: a case file as it was saved, a stream table into a
// new scenario. A table's scenario is left with its calculations held (held is then true): the
// caller sets its options and resumes them, so that the targets are calculated once.
bool loadInput(HostSession& session, const Options& o, std::string& error, bool& held) {
    held = false;
    // A job's case is written from what the job read, not from all the input held (a case's views,
    // its other scenarios' runs): saved over its own input it would lose them, so, as for every
    // job, the input is refused as the target whether it is a table or a case.
    if (o.haveSave && SameFile(o.file, o.save)) {
        error = "--save " + o.save + (IsCaseFile(o.file) ? " names the input case" : " names the input stream table") +
                "; save the case to another file";
        return false;
    }
    if (o.haveSave && !SaveMayReplace(o.save, error)) return false;
    return LoadInputFile(session, o.file, error, held);
}

// The --dtmin the user gave, within its range, onto the scenario.
bool applyDtmin(IHeatIntegrationScenario& scenario, const Options& o, std::string& error) {
    if (!o.haveDtmin) return true;
    if (!(o.dtmin >= kMinDTmin) || o.dtmin > kMaxDTmin) {
        error = "--dtmin must be from " + fixed(kMinDTmin) + " to " + fixed(kMaxDTmin) + " C (got " + fixed(o.dtmin) + ")";
        return false;
    }
    scenario.SetDTmin(o.dtmin);
    return true;
}

// Holds the calculations of a scenario read from a case (a table's are held already) until the
// options are set; answers whether the resume must recalculate: always for a table, for a case
// only when an option changes what it holds.
bool holdForOptions(IHeatIntegrationScenario& scenario, const Options& o, bool held) {
    if (!held) scenario.SuspendCalculations();
    return held || (o.haveDtmin && o.dtmin != scenario.GetDTmin()) || !o.forbidden.empty() || o.areaMethod >= 0;
}

// Starts the session, loads the input and holds the first scenario's calculations until the
// caller has set its options and resumes them (recalculating when `recalculate` says so); null
// with the reason when the input cannot be read or holds no scenario.
IHeatIntegrationScenario* openScenario(HostSession& session, const Options& o, bool& recalculate, std::string& error) {
    bool held = false;
    if (!session.Start(error) || !loadInput(session, o, error, held)) return nullptr;
    IHeatIntegrationScenario* scenario = session.Scenario();
    if (!scenario) {
        error = o.file + ": the case holds no scenario";
        return nullptr;
    }
    recalculate = holdForOptions(*scenario, o, held);
    return scenario;
}

// The DTmin range of --from, --to and --step: within the limits and at most kMaxPoints points. A
// range of one point (--to equal to --from) is a range.
bool checkRange(const Options& o, std::string& error) {
    if (!(o.from >= kMinDTmin) || !(o.to >= o.from) || o.to > kMaxDTmin) {
        error = "--from must be at least " + fixed(kMinDTmin) + " C, --to at least --from and at most " + fixed(kMaxDTmin) + " C";
        return false;
    }
    if (o.haveStep && o.step <= 0.0) {
        error = "--step must be above 0";
        return false;
    }
    if ((o.to - o.from) / o.step >= static_cast<double>(kMaxPoints)) {
        error = "--from " + fixed(o.from) + " --to " + fixed(o.to) + " --step " + fixed(o.step) + " asks for more than " +
                std::to_string(kMaxPoints) + " points; a range holds at most " + std::to_string(kMaxPoints) +
                " (choose a larger --step)";
        return false;
    }
    return true;
}

// An area LP too large to solve even over a grid of temperatures (more stream segments than the load rows it is
// solved with) is refused before it is built; the run says so and fails rather than reporting targets without an
// area. The advice names what the user can change: the matches forbidden, or the method asked for (here or in the
// case read).
bool areaModelTooLarge(const IHeatIntegrationScenario& scenario, const Options& o, std::string& error) {
    if (scenario.GetAreaTargetState() != 4) return false;
    const char* advice = !o.forbidden.empty() ? "forbid fewer matches, or take the Bath area without --forbid"
                         : o.areaMethod == 1  ? "take the Bath area with --area-method bath"
                                              : "the case asks for the area LP; take the Bath area with --area-method bath";
    error = std::string("the table has more stream segments than the area LP can take, even over a grid of "
                        "temperatures; it was not built (") + advice + ")";
    return true;
}

// Shows the progress texts (code 64) the scenario passes on while it computes the targets (each
// solve of the area LP as it starts, which takes seconds on a large table with forbidden matches)
// on standard error as they come, as the automatic design's are; standard output keeps only the
// report.
// A range of DTmin values (supertarget) passes on a text as each point's targets start.
class TargetProgressLines : public INotificationReceiver {
public:
    explicit TargetProgressLines(IHeatIntegrationScenario& scenario, const char* job = "targets")
        : m_scenario(scenario), m_job(job) {
        m_scenario.AddNotificationReceiver(this);
        m_scenario.AddValidMessage(this, 64);
    }
    ~TargetProgressLines() override { m_scenario.RemoveNotificationReceiver(this); }
    TargetProgressLines(const TargetProgressLines&) = delete;
    TargetProgressLines& operator=(const TargetProgressLines&) = delete;
    void NotifyChange(int code, const CPString& text, void*) override {
        if (code == 64 && !text.empty()) std::fprintf(stderr, "%s: %s\n", m_job, text.c_str());
    }

private:
    IHeatIntegrationScenario& m_scenario;
    const char* m_job;
};

int runTargets(ModuleLoader& module, const Options& o) {
    HostSession session(module);
    std::string error;
    bool recalculate = false;
    IHeatIntegrationScenario* scenario = openScenario(session, o, recalculate, error);
    if (!scenario) return fail(error);
    if (!applyDtmin(*scenario, o, error)) return fail(error);
    if (!applyTargetOptions(*scenario, o, recalculate, error)) return fail(error);
    ApplyEconomicsOption(*scenario, o.economics);
    {
        TargetProgressLines progress(*scenario);
        scenario->ResumeCalculations(recalculate || o.economics.given);
    }
    if (areaModelTooLarge(*scenario, o, error)) return fail(error);
    TargetsReport report = ReadTargets(*scenario);
    if (o.haveSave && !session.SaveCase(o.save, error)) return fail(error);
    if (session.CaseWasUnchecked()) report.notes.push_back(uncheckedNote(o.file));
    std::fputs((o.json ? FormatTargetsJson(report) : FormatTargetsText(report)).c_str(), stdout);
    // An area LP stopped at its time limit is a job that did not finish: the report says what it
    // has, and the exit status that it stopped.
    if (report.areaStopped) {
        std::fflush(stdout);
        EndWithoutTeardown(fail("the area LP was stopped at its time limit before it was solved"));
    }
    EndWithoutTeardown(0);
    return 0;
}

int runSupertarget(ModuleLoader& module, const Options& o) {
    if (!o.haveFrom || !o.haveTo) return usageOf("supertarget", "supertarget needs --from and --to");
    if (std::string error; !checkRange(o, error)) return usageOf("supertarget", error);
    HostSession session(module);
    std::string error;
    bool recalculate = false;
    IHeatIntegrationScenario* scenario = openScenario(session, o, recalculate, error);
    if (!scenario) return fail(error);
    if (!applyTargetOptions(*scenario, o, recalculate, error)) return fail(error);
    scenario->ResumeCalculations(recalculate);
    if (areaModelTooLarge(*scenario, o, error)) return fail(error);
    {
        TargetProgressLines progress(*scenario, "supertarget");
        scenario->CalculateSuperTargets(o.from, o.to, o.step);
    }
    SuperTargetReport report = ReadSuperTargets(*scenario);
    if (session.CaseWasUnchecked()) report.notes.push_back(uncheckedNote(o.file));
    if (report.points.empty()) return fail("supertarget computed no point over the range");
    if (o.haveSave && !session.SaveCase(o.save, error)) return fail(error);
    std::fputs((o.json ? FormatSuperTargetsJson(report) : FormatSuperTargetsText(report)).c_str(), stdout);
    return 0;
}

// Keeps the progress texts (code 64) the scenario passes on during an automatic design run and
// shows them on standard error as they come, with a line for each design step done (code 66),
// so that a long run is not silent; standard output keeps only the report. Between the solves it
// reads the run's results, which each solve overwrites: the LP's utility loads and area when the
// first MILP starts, and each MILP's, with the design built from it, when its design step is done.
class ProgressTexts : public INotificationReceiver {
public:
    // `run` is the automatic design whose solves are read; null when the run is a completion's, the
    // scenario's second run, made on its first use: its search is read from it, and its objective is
    // not reported (its loads and area are not the ones the scenario reports beside it).
    ProgressTexts(IHeatIntegrationScenario& scenario, const IAdvancedSuperTarget* run, std::string milpText,
                  const std::set<std::string>& before)
        : m_scenario(scenario), m_run(run), m_milpText(std::move(milpText)), m_seen(before) {}
    void NotifyChange(int code, const CPString& text, void*) override {
        if (code == 64) {
            texts.emplace_back(text.c_str());
            if (!texts.back().empty()) std::fprintf(stderr, "autodesign: %s\n", texts.back().c_str());
            if (!lpRead && !m_milpText.empty() && texts.back() == m_milpText) {
                lpRead = true;
                lpLoads = ReadAutoDesignUtilityLoads(m_scenario);
                lpArea = m_scenario.GetAutomaticDesignResultA();
            }
        } else if (code == 66) {
            const IAdvancedSuperTarget* completion = m_run ? nullptr : m_scenario.GetDesignCompletion();
            AutoDesignReport::Solution s{ReadAutoDesignUtilityLoads(m_scenario), m_scenario.GetAutomaticDesignResultA(), {},
                                         m_run ? m_run->GetObjectiveValue() : std::nan(""),
                                         m_run ? m_run->GetSearchNote() : completion ? completion->GetSearchNote() : ""};
            for (int i = 0; i < m_scenario.GetNumberOfDesigns(); ++i)
                if (const char* name = m_scenario.GetDesignName(i); name && m_seen.insert(name).second) s.design = name;
            solutions.push_back(std::move(s));
            std::fprintf(stderr, "autodesign: design step %d done\n", static_cast<int>(solutions.size()));
        }
    }
    std::vector<std::string> texts;
    bool lpRead = false;
    std::vector<AutoDesignReport::Load> lpLoads;
    double lpArea = 0.0;
    std::vector<AutoDesignReport::Solution> solutions;

private:
    IHeatIntegrationScenario& m_scenario;
    const IAdvancedSuperTarget* m_run;
    std::string m_milpText;
    std::set<std::string> m_seen;
};

bool wholeNumber(double v, double low, double high) { return v >= low && v <= high && v == std::floor(v); }

// Automatic design: the economic matches and utility loads of the table, and unless only the
// matches are asked for, the networks built from them, each reported as the design job does.
int runAutodesign(ModuleLoader& module, const Options& o) {
    if (!o.forbidden.empty() || o.areaMethod >= 0 || o.haveFrom || o.haveTo || o.haveStep)
        return usageOf("autodesign", "autodesign takes only --dtmin, --designs, --max-matches, --time-limit, --complete, --economics, "
                    "--matches-only, --json and --save");
    if (o.matchesOnly && (o.haveDesigns || o.haveMaxMatches || o.haveTimeLimit || !o.complete.empty()))
        return usageOf("autodesign", "--matches-only builds no network: --designs, --max-matches, --time-limit and --complete do not go "
                    "with it");
    if (o.haveTimeLimit && !(o.timeLimit > 0.0 && o.timeLimit <= 86400.0))
        return usageOf("autodesign", "--time-limit must be a number of seconds above 0 and at most 86400 (got " + fixed(o.timeLimit) + ")");
    if (!wholeNumber(o.designs, 1.0, kMaxDesigns))
        return usageOf("autodesign", "--designs must be a whole number from 1 to " + std::to_string(kMaxDesigns) + " (got " +
                    fixed(o.designs) + ")");
    if (!wholeNumber(o.maxMatches, 0.0, 10000.0))
        return usageOf("autodesign", "--max-matches must be a whole number from 0 (no limit) to 10000 (got " + fixed(o.maxMatches) + ")");
    HostSession session(module);
    std::string error;
    bool recalculate = false;
    IHeatIntegrationScenario* scenario = openScenario(session, o, recalculate, error);
    if (!scenario) return fail(error);
    if (!applyDtmin(*scenario, o, error)) return fail(error);
    ApplyEconomicsOption(*scenario, o.economics);
    scenario->ResumeCalculations(recalculate || o.economics.given);
    const int wanted = static_cast<int>(o.designs);
    IAdvancedSuperTarget* design = scenario->GetAdvancedSuperTarget(static_cast<int>(o.maxMatches));
    if (!design) return fail("the module has no automatic design");
    design->SetTimeLimit(o.haveTimeLimit ? o.timeLimit : 0.0);
    if ((design->GetFlag() != 0) == o.matchesOnly) scenario->ToggleAdvancedSuperTargetFlag();
    std::set<std::string> before;
    for (int i = 0; i < scenario->GetNumberOfDesigns(); ++i)
        if (const char* name = scenario->GetDesignName(i)) before.insert(name);
    if (!o.matchesOnly) scenario->SetNumberOfDesignsWanted(wanted);
    // A network to complete is built first, as the design job builds one, and is itself no design
    // of the run.
    // It takes the name "Network", or the first free one after it where the case holds a design
    // of that name already.
    std::string completeName = "Network";
    for (int n = 2; before.count(completeName); ++n) completeName = "Network " + std::to_string(n);
    const char* const kCompleteName = completeName.c_str();
    if (!o.complete.empty()) {
        IHENDesign* base = nullptr;
        if (!BuildNetworkFromFile(module, *scenario, o.complete, kCompleteName, base, error)) return fail(error);
        before.insert(kCompleteName);
    }
    using FindFn = int (*)(const char*, char*, int);
    auto find = reinterpret_cast<FindFn>(module.Entry("KestrinFindString"));
    MessageLookup lookup = [find](const std::string& key, std::string& text) {
        if (!find) return false;
        std::vector<char> buffer(1024);
        const bool known = find(key.c_str(), buffer.data(), static_cast<int>(buffer.size())) == 1;
        text = buffer.data();
        return known;
    };
    std::string milpText;
    if (!lookup("SolvingMixedIntegerLinearModel", milpText)) milpText.clear();
    ProgressTexts progress(*scenario, o.complete.empty() ? design : nullptr, milpText, before);
    scenario->AddNotificationReceiver(&progress);
    scenario->AddValidMessage(&progress, 64);
    scenario->AddValidMessage(&progress, 66);
    if (o.complete.empty()) scenario->AutomaticHENDesign(nullptr);
    else scenario->SmartCompleteDesign(CPString(kCompleteName));
    scenario->RemoveNotificationReceiver(&progress);
    // A completion runs apart from the automatic design: its failure and its search are its own.
    const IAdvancedSuperTarget* run = o.complete.empty() ? design : scenario->GetDesignCompletion();
    AutoDesignReport report = ReadAutoDesign(*scenario, lookup, o.complete.empty() ? nullptr : run);
    // The LP's own loads and area beside its matches; each MILP's under its own heading.
    if (progress.lpRead) {
        report.utilityLoads = progress.lpLoads;
        report.estimatedArea = progress.lpArea;
    }
    report.solutions = progress.solutions;
    // A match search stopped by its time limit gave the best set it had found, or none: the report
    // says so beside each MILP solution it concerns.
    for (std::size_t i = 0; i < report.solutions.size(); ++i)
        if (!report.solutions[i].searchNote.empty())
            report.notes.push_back("MILP solution " + std::to_string(i + 1) + ": " + report.solutions[i].searchNote);
    // The last search's note, when that search ended the run without a set: the failure line says why.
    std::string unsolved = run ? run->GetSearchNote() : "";
    if (!report.solutions.empty() && report.solutions.back().searchNote == unsolved) unsolved.clear();
    if (!unsolved.empty())
        report.notes.push_back("MILP solution " + std::to_string(report.solutions.size() + 1) + ": " + unsolved);
    // The other solves stopped at the limit (the linear model, a network structure's search).
    const std::string limitStops = run && run->GetLimitNote() ? run->GetLimitNote() : "";
    if (!limitStops.empty()) report.notes.push_back(limitStops);
    const bool searchStopped = !unsolved.empty() || !limitStops.empty() ||
                               std::any_of(report.solutions.begin(), report.solutions.end(),
                                           [](const auto& s) { return !s.searchNote.empty(); });
    for (int i = 0; i < scenario->GetNumberOfDesigns(); ++i) {
        const char* name = scenario->GetDesignName(i);
        IHENDesign* made = nullptr;
        if (!name || before.count(name) || !scenario->GetDesign(CPString(name), made) || !made) continue;
        report.designs.push_back({ReadDesign(*made), made->GetDTMin()});
    }
    report.targetDtmin = scenario->GetDTmin();
    AddDesignNotes(report, !o.complete.empty());
    // A completion that costs more than the network it completes, at the same utilities, is no
    // better for the user than that network: the report says so.
    IHENDesign* completed = nullptr;
    if (!o.complete.empty() && !report.designs.empty() && scenario->GetDesign(CPString(kCompleteName), completed) &&
        completed) {
        const DesignReport input = ReadDesign(*completed);
        const DesignReport& made = report.designs.back().report;
        auto near = [](double a, double b) { return std::fabs(a - b) <= 1e-6 * std::max({1.0, std::fabs(a), std::fabs(b)}); };
        if (input.totalsAvailable && made.totalsAvailable && near(input.hotUtility, made.hotUtility) &&
            near(input.coldUtility, made.coldUtility) && made.totalAnnualCost > input.totalAnnualCost * (1.0 + 1e-6)) {
            char line[400];
            std::snprintf(line, sizeof line,
                          "%s costs %.6g per year against %.6g for the network it completes, at the same utilities: "
                          "the completion is dearer than its input",
                          made.name.c_str(), made.totalAnnualCost, input.totalAnnualCost);
            report.notes.push_back(line);
        }
    }
    // A match of a structure that found no place in its design leaves its load to the utilities:
    // the run says so.
    std::string unplaced;
    if (lookup("StageMatchNotPlaced", unplaced) && !unplaced.empty())
        for (const std::string& t : progress.texts)
            if (t.compare(0, unplaced.size(), unplaced) == 0) report.notes.push_back(t);
    if (!o.matchesOnly && static_cast<int>(report.designs.size()) < wanted)
        report.notes.push_back(std::to_string(report.designs.size()) + " of the " + std::to_string(wanted) +
                               " designs wanted were made");
    if (session.CaseWasUnchecked()) report.notes.push_back(uncheckedNote(o.file));
    // A failed run still keeps (and saves) the designs it made; one that made none saves nothing.
    if (o.haveSave && (!report.failed || !report.designs.empty()) && !session.SaveCase(o.save, error))
        return fail(error);
    if (o.json) std::fputs(FormatAutoDesignJson(report).c_str(), stdout);
    // A failed run prints what it made; and, when a time limit stopped a search, its report with the
    // notes that say so.
    else if (report.failed && (!report.designs.empty() || searchStopped))
        std::fputs(FormatAutoDesignText(report).c_str(), stdout);
    if (report.failed)
        return fail(AutoDesignFailureLine(report) + (unsolved.empty() ? "" : " (" + unsolved + ")") +
                    (limitStops.empty() ? "" : " (" + limitStops + ")"));
    if (!o.json) std::fputs(FormatAutoDesignText(report).c_str(), stdout);
    // A completion whose design does not calculate (a given unit carries more than its streams
    // have) is no completed network: its report says why, and the job fails.
    if (!o.complete.empty() && !report.designs.empty() && report.designs.back().report.calculationStatus != "calculated") {
        const DesignReport& made = report.designs.back().report;
        return fail(made.name + " does not calculate (" + made.calculationStatus +
                    "): the network to complete holds what no completion mends, as the design's notes say");
    }
    return 0;
}

int runPlot(ModuleLoader& module, Options& o) {
    o.plot.graphType = PlotGraphType(o.kind);
    if (o.kind.empty()) return usageOf("plot", "plot needs --kind (" + PlotKindNames() + ")");
    if (o.plot.graphType == 0) return usageOf("plot", "unknown plot kind " + o.kind + " (" + PlotKindNames() + ")");
    if (o.plot.svg.empty()) return usageOf("plot", "plot needs --svg OUT");
    if (!o.at.empty() && !ParsePlotPoint(o.at, o.plot)) return usageOf("plot", "--at needs H,T (two numbers)");
    if (std::string error; !CheckRangeQuantities(o.plot, error)) return usageOf("plot", error);
    o.plot.json = o.json;
    const bool cost = IsCostPlot(o.plot.graphType);
    if (o.plot.haveAt && cost) return usageOf("plot", "--at names the streams on a curve of heat flow and temperature, not on a cost plot");
    if ((o.haveFrom || o.haveTo || o.haveStep) && !cost) return usageOf("plot", "--from, --to and --step are for the cost plots");
    if (o.haveFrom != o.haveTo) return usageOf("plot", "--from and --to go together");
    if (!o.forbidden.empty() || o.areaMethod >= 0 || o.haveSave || o.matchesOnly)
        return usageOf("plot", "plot takes only --kind, --svg, --dtmin, --from, --to, --step, --at, --x, --left, --right and --json");
    if (o.haveFrom) {
        if (std::string error; !checkRange(o, error)) return usageOf("plot", error);
    }
    if (SameFile(o.file, o.plot.svg) || o.plot.svg == o.file) return fail("--svg " + o.plot.svg + " names the input; it was left as it is");
    HostSession session(module);
    std::string error;
    bool recalculate = false;
    IHeatIntegrationScenario* scenario = openScenario(session, o, recalculate, error);
    if (!scenario) return fail(error);
    if (!applyDtmin(*scenario, o, error)) return fail(error);
    scenario->ResumeCalculations(recalculate);
    if (o.haveFrom) scenario->CalculateSuperTargets(o.from, o.to, o.step);
    if (IsRangeTargetPlot(o.plot.graphType) && scenario->GetNumberOfSuperTargetPoints() == 0)
        return fail("the " + o.kind + " plot needs range targets: give --from and --to, or a case saved with them");
    if (cost && o.plot.graphType != 14 && scenario->GetNumberOfSuperTargetPoints() == 0 && scenario->GetNumberOfDesigns() == 0)
        return fail("the " + o.kind + " plot needs range targets: give --from and --to, or a case that holds them");
    if (o.plot.graphType == 14 && scenario->GetNumberOfDesigns() == 0)
        return fail("the payback plot shows designs, and " + o.file + " holds none");
    // Savings, paybacks and the retrofit alpha plot's base case are counted against the
    // retrofit base design.
    const int graph = o.plot.graphType;
    const char* base = scenario->GetRetrofitBaseDesignName();
    if ((graph == 13 || graph == 14 || graph == 16) && !(base && *base))
        return fail("the " + o.kind + " plot sets designs against a retrofit base design, and " + o.file + " names none");
    if (RunPlotRequest(module, *scenario, o.plot, error) != 0) return fail(error);
    return 0;
}

}  // namespace

static int runJob(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string command = argv[1];
    // Help is asked for before anything is read: kestrin-host --help lists the jobs, JOB --help
    // describes one; a word that names no job gets the list.
    if (AsksForHelp(argc, argv)) {
        const char* job = HelpForJob(command);
        std::fputs(job ? job : GeneralHelp().c_str(), stdout);
        return 0;
    }
    if (command == "info" && argc > 2)
        return FailUsage("info", "info takes no arguments (got " + PrintableText(argv[2], 60) + ")");
    if (command != "info" && command != "targets" && command != "supertarget" && command != "autodesign" &&
        command != "extract" && command != "plot" && command != "design" && command != "grid" && command != "view" &&
        command != "retrofit" && command != "optimise") {
        // What is wrong comes first, in one line; the jobs' usage is a --help away.
        std::fprintf(stderr,
                     "kestrin-host: %s is no job (info, targets, supertarget, autodesign, extract, plot, design, "
                     "grid, retrofit, optimise, view)\nusage: kestrin-host --help | JOB --help\n",
                     QuotedField(command).c_str());
        return 2;
    }
    // One rule for every job: an option the job does not take, or one given twice that is taken
    // once, is a usage error before anything is read.
    if (std::string error; !CheckJobOptions(command, argc, argv, error)) return FailUsage(command, error);
    if (command == "plot" && IsDesignPlotRequest(argc, argv)) {
        ModuleLoader module;
        std::string loadError;
        if (!module.Load(loadError)) return fail(loadError);
        return RunDesignPlot(module, argc, argv);
    }
    if (command == "view") {
        ModuleLoader module;
        std::string loadError;
        if (!module.Load(loadError)) return fail(loadError);
        return RunView(module, argc, argv);
    }
    if (command == "extract" || command == "design" || command == "grid" || command == "retrofit" ||
        command == "optimise") {
        ModuleLoader module;
        std::string loadError;
        if (!module.Load(loadError)) return fail(loadError);
        if (command == "grid") return RunGrid(module, argc, argv);
        if (command == "retrofit") return RunRetrofit(module, argc, argv);
        if (command == "optimise") return RunOptimise(module, argc, argv);
        return command == "design" ? RunDesign(module, argc, argv) : RunExtract(module, argc, argv);
    }
    Options options;
    std::string error;
    // The message alone, in one line, and where the job's usage is: not buried under it.
    if (command != "info" && !parseOptions(command, argc, argv, options, error)) return FailUsage(command, error);
    ModuleLoader module;
    if (!module.Load(error)) return fail(error);
    if (command == "info") return RunInfo(module);
    if (command == "targets") return runTargets(module, options);
    if (command == "autodesign") return runAutodesign(module, options);
    if (command == "plot") return runPlot(module, options);
    return runSupertarget(module, options);
}

int main(int argc, char** argv) {
    // A write beyond the file-size limit fails with its reason ("File too large") instead of ending
    // the process unannounced: the save or picture then says so, and the old file stays.
    std::signal(SIGXFSZ, SIG_IGN);
    return OutputWritten(runJob(argc, argv));
}
