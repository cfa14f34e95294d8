#include "host/ViewCommand.h"

#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "host/CaseContentChecks.h"
#include "host/CommandLine.h"
#include "host/HostSession.h"
#include "host/InputFile.h"
#include "host/ModuleLoader.h"
#include "host/OutputText.h"
#include "host/ScenarioInput.h"
#include "host/StreamTable.h"


#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <set>
#include <string>
#include <vector>

class IEngineeringManager;
class ILurmetBinaryFile;

namespace {

using OpenFn = void* (*)(IEngineeringManager*, const char*, const char*, int, int, char*, int);
using OpenCaseFn = void* (*)(IEngineeringManager*, ILurmetBinaryFile*, const char*, const char*, int, int, char*, int);
using NewFn = void* (*)(IEngineeringManager*, const char*, const char*, const char*, int, int, char*, int);
using StoreFn = int (*)(void*, ILurmetBinaryFile*);
using RunFn = int (*)(void*, const char*, const char*, int, int);
using TextFn = int (*)(void*, char*, int);
using CloseFn = void (*)(void*);
using KeepFn = void (*)(const char*, const char*);
using ReleaseFn = void (*)();

struct ViewOptions {
    // No --open: the module's choice (a project's first scenario, a total site's own viewer).
    std::string file, open, script, save, newKind, newName;
    bool form = false, json = false, automation = false, haveSave = false;
    int units = 0;
};

int fail(const std::string& message) { return FailCommand(message); }

bool parse(int argc, char** argv, ViewOptions& o, std::string& error) {
    std::set<std::string> given;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        // An empty value names nothing (an empty --script would run no script and succeed).
        auto value = [&](std::string& out) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                error = a + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        const bool takesValue = a == "--new" || a == "--open" || a == "--script" || a == "--save" || a == "--units";
        if (takesValue && RefuseRepeatedOption(a.c_str(), !given.insert(a).second, error)) return false;
        if (a == "--new") {
            if (!value(o.newKind) || !value(o.newName)) return false;
            if (o.newKind != "hi-project" && o.newKind != "hi-case" && o.newKind != "hi-total-site") {
                error = "--new takes hi-project, hi-case or hi-total-site and a name";
                return false;
            }
        } else if (a == "--open") {
            if (!value(o.open)) return false;
        } else if (a == "--script") {
            if (!value(o.script)) return false;
        } else if (a == "--save") {
            if (!value(o.save)) return false;
            o.haveSave = true;
        } else if (a == "--units") {
            std::string u;
            if (!value(u)) return false;
            if (u != "si" && u != "customary") {
                error = "--units takes si or customary";
                return false;
            }
            o.units = u == "customary" ? 1 : 0;
        } else if (a == "--form") {
            o.form = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--automation") {
            o.automation = true;
        } else if (!a.empty() && a[0] == '-') {
            error = "view takes no " + a;
            return false;
        } else if (o.file.empty()) {
            o.file = a;
        } else {
            error = "view takes one input file";
            return false;
        }
    }
    if (!o.newKind.empty() && !o.file.empty()) error = "view --new builds a study from nothing and reads no " + o.file;
    else if (o.file.empty() && o.newKind.empty()) error = "view needs a stream table or a case";
    return error.empty();
}

bool load(HostSession& session, const ViewOptions& o, const HostSession::CaseMore& views, std::string& error) {
    if (o.haveSave) {
        if (!IsCaseFile(o.file) && SameFile(o.file, o.save)) {
            error = "--save " + o.save + " names the input stream table; save the case to another file";
            return false;
        }
        if (!SaveMayReplace(o.save, error)) return false;
    }
    if (!session.Start(error)) return false;
    bool held = false;
    if (!LoadInputFile(session, o.file, error, held, &views)) return false;
    if (held) session.ScenarioAt(0)->ResumeCalculations(true);
    return true;
}

std::string handed(TextFn fn, void* session) {
    std::vector<char> text(static_cast<std::size_t>(std::max(1, fn(session, nullptr, 0))));
    fn(session, text.data(), static_cast<int>(text.size()));
    return text.data();
}

}  // namespace

int RunView(ModuleLoader& module, int argc, char** argv) {
    ViewOptions o;
    std::string error;
    if (!parse(argc, argv, o, error)) return FailUsage("view", error);
    std::string script;
    if (!o.script.empty() && !ReadInputFile(o.script, "a script", script, error)) return fail(error);
    // What a script types becomes names and notes of the case and its JSON: UTF-8 only.
    if (!IsUtf8(script)) return fail(o.script + ": the script is not UTF-8; save it as UTF-8");
    // Each line is a form action that may recalculate the case (a fraction of a millisecond at
    // the least): a script is bounded by its lines, not only by its bytes, so that no run goes
    // on for hours. A longer task runs as several scripts, each saving the case for the next.
    constexpr std::size_t kMostScriptLines = 100000;
    if (const auto lines = static_cast<std::size_t>(std::count(script.begin(), script.end(), '\n')) +
                           (!script.empty() && script.back() != '\n');
        lines > kMostScriptLines)
        return fail(o.script + " holds " + std::to_string(lines) + " lines; a script runs at most " +
                    std::to_string(kMostScriptLines) + " (split it into scripts that each save the case with --save)");
    auto open = reinterpret_cast<OpenFn>(module.Entry("KestrinViewOpen"));
    auto run = reinterpret_cast<RunFn>(module.Entry("KestrinViewRun"));
    auto report = reinterpret_cast<TextFn>(module.Entry("KestrinViewReport"));
    auto why = reinterpret_cast<TextFn>(module.Entry("KestrinViewError"));
    auto close = reinterpret_cast<CloseFn>(module.Entry("KestrinViewClose"));
    if (!open || !run || !report || !why || !close) return fail(module.Path() + " lacks the view entries");
    auto openCase = reinterpret_cast<OpenCaseFn>(module.Entry("KestrinViewOpenCase"));
    auto store = reinterpret_cast<StoreFn>(module.Entry("KestrinViewStore"));
    if (!openCase || !store) return fail(module.Path() + " lacks the view entries");
    HostSession session(module);
    void* views = nullptr;
    char reason[512] = {};
    auto projectOf = reinterpret_cast<TextFn>(module.Entry("KestrinViewProject"));
    if (!o.newKind.empty()) {
        auto build = reinterpret_cast<NewFn>(module.Entry("KestrinViewNew"));
        if (!build || !projectOf) return fail(module.Path() + " lacks the view entries");
        if (o.haveSave && !SaveMayReplace(o.save, error)) return fail(error);
        if (!session.Start(error)) return fail(error);
        views = build(session.Manager(), o.newKind.c_str(), o.newName.c_str(), o.open.c_str(), o.units,
                      o.automation ? 1 : 0, reason, sizeof reason);
        if (!views) return fail(std::string("--new ") + o.newKind + " " + o.newName + ": " + reason);
    }
    // A case's views are read where they stand in the file, right after its project.
    // The project of a case goes by the name it was saved under.
    const auto projectName = [&] {
        return session.Project() ? std::string(session.Project()->GetProjectName()) : std::string(HostSession::ProjectName);
    };
    const HostSession::CaseMore readViews = [&](ILurmetBinaryFile& file, std::string& why) {
        views = openCase(session.Manager(), &file, projectName().c_str(), o.open.c_str(), o.units,
                         o.automation ? 1 : 0, reason, sizeof reason);
        if (!views) why = reason;
        return views != nullptr;
    };
    if (o.newKind.empty()) {
        if (!load(session, o, readViews, error)) {
            if (views) close(views);
            return fail(error);
        }
        if (!views)
            views = open(session.Manager(), projectName().c_str(), o.open.c_str(), o.units, o.automation ? 1 : 0, reason,
                         sizeof reason);
        if (!views) return fail(o.file + ": " + reason);
    }
    // What the script writes (a picture, an event plan, a cost or utility file) never replaces the
    // file the views were opened on or the script itself, whatever name it reaches them by. The
    // run's own --save may still store the case over the file it came from, once the script is done.
    auto keep = reinterpret_cast<KeepFn>(module.Entry("KestrinKeepFromWriters"));
    auto release = reinterpret_cast<ReleaseFn>(module.Entry("KestrinReleaseKeptFiles"));
    if (!keep || !release) {
        close(views);
        return fail(module.Path() + " lacks the view entries");
    }
    if (!o.file.empty())
        keep(o.file.c_str(), IsCaseFile(o.file) ? "the case the views show" : "the stream table the views show");
    if (!o.script.empty()) keep(o.script.c_str(), "the script being run");
    const int status = run(views, script.c_str(), o.script.empty() ? "script" : o.script.c_str(), o.json ? 1 : 0,
                           o.form ? 1 : 0);
    release();
    const std::string out = handed(report, views);
    const std::string stopped = handed(why, views);
    std::fputs(out.c_str(), stdout);
    std::fflush(stdout);
    // A new study saves the project its feature built (under the name it has now).
    const bool projectReady = o.newKind.empty() || session.UseProject(handed(projectOf, views), error);
    // The project, then its views, once the script has gone through as written.
    const bool saved = stopped.empty() && status == 0 && o.haveSave && projectReady &&
                       session.SaveCase(o.save, error, [&](ILurmetBinaryFile& file, std::string& why) {
                           if (store(views, &file)) return true;
                           why = "the views could not be stored";
                           return false;
                       });
    close(views);
    if (!stopped.empty()) {
        // The script's own line, as an editor jumps to it.
        std::fprintf(stderr, "%s\n", stopped.c_str());
        return 1;
    }
    if (status != 0) return fail(o.script + ": the views showed a message the script did not expect; nothing saved");
    if (o.haveSave && !saved) return fail(error);
    return 0;
}
