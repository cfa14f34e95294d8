// kestrin-host: the command-line stand-in for the host application. It loads the module as the
// host does and runs the host's jobs on it: every number it prints comes from the module.
#include "eng/model/IHeatIntegrationScenario.h"
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
#include <vector>

namespace {
int usage() {
    std::fprintf(stderr,
                 "usage: kestrin-host info\n"
                 "       kestrin-host targets FILE [--dtmin X] [--json] [--save CASE]\n"
                 "       kestrin-host supertarget FILE --from A --to B [--step S] [--json]\n"
                 "  FILE is a stream table (CSV) or a case file written with --save.\n");
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
