// kestrin-host: the command-line stand-in for the host application. It loads the module as the
// host does and runs the host's jobs on it: every number it prints comes from the module.
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "host/HostSession.h"
#include "host/ModuleLoader.h"
#include "host/ScenarioInput.h"
#include "host/StreamTable.h"
#include "host/TargetsReport.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {
int usage() {
    std::fprintf(stderr,
                 "usage: kestrin-host info\n"
                 "       kestrin-host targets FILE [--dtmin X] [--forbid HOT:COLD]... [--area-method bath|lp] [--json]\n"
                 "                            [--save CASE]\n"
                 "       kestrin-host supertarget FILE --from A --to B [--step S] [--forbid HOT:COLD]...\n"
                 "                            [--area-method bath|lp] [--json]\n"
                 "  FILE is a stream table (CSV) or a case file written with --save.\n"
                 "  --forbid HOT:COLD   the two process streams may not exchange heat (repeatable); the area\n"
                 "                      target then comes from the area LP\n"
                 "  --area-method M     area target by the Bath formula (bath) or the area LP (lp)\n");
    return 2;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "kestrin-host: %s\n", message.c_str());
    return 1;
}

bool parseDouble(const char* text, double& value) {
    if (!text || !*text) return false;
    errno = 0;
    char* end = nullptr;
    double v = std::strtod(text, &end);
    if (*end != '\0' || errno == ERANGE || !std::isfinite(v)) return false;
    value = v;
    return true;
}

struct Options {
    std::string file;
    std::string save;
    std::vector<std::pair<std::string, std::string>> forbidden;
    int areaMethod = -1;  // -1 as the scenario has it, 0 Bath, 1 LP
    bool json = false;
    bool haveDtmin = false, haveFrom = false, haveTo = false, haveStep = false;
    double dtmin = 0, from = 0, to = 0, step = 1.0;
};

bool parseOptions(int argc, char** argv, Options& o, std::string& error) {
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](double& v, bool& have) {
            if (i + 1 >= argc || !parseDouble(argv[i + 1], v)) {
                error = a + " needs a number";
                return false;
            }
            have = true;
            ++i;
            return true;
        };
        if (a == "--json") {
            o.json = true;
        } else if (a == "--dtmin") {
            if (!value(o.dtmin, o.haveDtmin)) return false;
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
            const std::string method = i + 1 < argc ? argv[i + 1] : "";
            if (method != "bath" && method != "lp") {
                error = "--area-method needs bath or lp";
                return false;
            }
            o.areaMethod = method == "lp" ? 1 : 0;
            ++i;
        } else if (a == "--save") {
            if (i + 1 >= argc) {
                error = "--save needs a file name";
                return false;
            }
            o.save = argv[++i];
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
    return true;
}

// Forbids the matches asked for (one batch, so the targets are recalculated once) and sets the
// area-target method.
bool applyTargetOptions(IHeatIntegrationScenario& scenario, const Options& o, std::string& error) {
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
    // The report gives both areas: the area LP is asked for its countercurrent area too.
    if (!o.forbidden.empty() || o.areaMethod == 1) scenario.SetAreaTargetOption(2);
    return true;
}

// Loads the input into the session's project: a case file as it was saved, a stream table into a
// new scenario.
bool loadInput(HostSession& session, const Options& o, std::string& error) {
    if (IsCaseFile(o.file)) return session.RecallCase(o.file, error);
    StreamTable table;
    if (!ReadStreamTableFile(o.file, table, error)) return false;
    IHeatIntegrationScenario* scenario = session.NewScenario("base", error);
    if (!scenario) return false;
    if (!FillScenario(*scenario, table, error)) {
        error = o.file + ": " + error;
        return false;
    }
    return true;
}

int runTargets(ModuleLoader& module, const Options& o) {
    HostSession session(module);
    std::string error;
    if (!session.Start(error) || !loadInput(session, o, error)) return fail(error);
    IHeatIntegrationScenario* scenario = session.Scenario();
    if (!scenario) return fail(o.file + ": the case holds no scenario");
    if (o.haveDtmin) {
        if (o.dtmin <= 0.0) return fail("--dtmin must be above 0");
        scenario->SetDTmin(o.dtmin);
    }
    if (!applyTargetOptions(*scenario, o, error)) return fail(error);
    if (!o.save.empty() && !session.SaveCase(o.save, error)) return fail(error);
    TargetsReport report = ReadTargets(*scenario);
    std::fputs((o.json ? FormatTargetsJson(report) : FormatTargetsText(report)).c_str(), stdout);
    return 0;
}

int runSupertarget(ModuleLoader& module, const Options& o) {
    if (!o.haveFrom || !o.haveTo) return fail("supertarget needs --from and --to");
    if (o.from <= 0.0 || o.to <= o.from) return fail("--from must be above 0 and --to above --from");
    if (o.haveStep && o.step <= 0.0) return fail("--step must be above 0");
    if ((o.to - o.from) / o.step > 100000.0) return fail("--step is too small for the range (more than 100000 points)");
    HostSession session(module);
    std::string error;
    if (!session.Start(error) || !loadInput(session, o, error)) return fail(error);
    IHeatIntegrationScenario* scenario = session.Scenario();
    if (!scenario) return fail(o.file + ": the case holds no scenario");
    if (!applyTargetOptions(*scenario, o, error)) return fail(error);
    scenario->CalculateSuperTargets(o.from, o.to, o.step);
    SuperTargetReport report = ReadSuperTargets(*scenario);
    std::fputs((o.json ? FormatSuperTargetsJson(report) : FormatSuperTargetsText(report)).c_str(), stdout);
    return 0;
}

int runInfo(ModuleLoader& module) {
    using SetupFn = void (*)();
    using DescribeFn = int (*)(char*, int);
    auto setup = reinterpret_cast<SetupFn>(module.Entry("SetupDLL"));
    auto describe = reinterpret_cast<DescribeFn>(module.Entry("KestrinDescribeModule"));
    if (!setup || !describe) return fail(module.Path() + " lacks the module entries");
    setup();
    int needed = describe(nullptr, 0);
    std::vector<char> text(static_cast<std::size_t>(needed > 0 ? needed : 1));
    describe(text.data(), static_cast<int>(text.size()));
    std::fputs(text.data(), stdout);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string command = argv[1];
    if (command != "info" && command != "targets" && command != "supertarget") return usage();
    Options options;
    std::string error;
    if (command != "info" && !parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "kestrin-host: %s\n", error.c_str());
        return usage();
    }
    ModuleLoader module;
    if (!module.Load(error)) return fail(error);
    if (command == "info") return runInfo(module);
    if (command == "targets") return runTargets(module, options);
    return runSupertarget(module, options);
}
