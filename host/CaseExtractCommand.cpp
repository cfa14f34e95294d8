#include "host/CaseExtractCommand.h"
#include "host/CommandLine.h"

#include "brasko/IDefaultUtilityManager.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "host/CaseContentChecks.h"
#include "host/DesignReport.h"
#include "host/ExtractionWizard.h"
#include "host/ExtractOutput.h"
#include "host/HostSession.h"
#include "host/InputFile.h"
#include "host/ModuleLoader.h"
#include "host/OutputText.h"
#include "host/StreamTable.h"
#include "host/StreamTableChecks.h"
#include "host/TargetsReport.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using ExtractDocumentFn = int (*)(IHeatIntegrationScenario*, const char*, char*, int);
using RefreshDocumentFn = int (*)(IHeatIntegrationScenario*, const char*, const char*, char*, int);
using ReportEntryFn = int (*)(IHeatIntegrationScenario*, const char*, int, char*, int, char*, int, char*, int);

// Longest settings file read: far above any real one.
constexpr std::streamsize kMaxSettingsBytes = 1 << 20;
constexpr int kReportTextBytes = 1 << 16;

struct CaseOptions {
    std::string document, settings, save, solved;
    bool json = false, haveSave = false, haveSettings = false, haveDtmin = false, haveSolved = false;
    double dtmin = 0.0;
    std::vector<UtilityAssignment> assignments;
};

using Setting = ExtractionSetting;

// Whether the file starts like an XML document (after a byte-order mark and blanks); a file that
// cannot be read answers true, so that the module names why.
bool looksLikeDocument(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return true;
    char head[256] = {};
    in.read(head, sizeof head);
    const std::streamsize n = in.gcount();
    std::streamsize i = n >= 3 && head[0] == '\xEF' && head[1] == '\xBB' && head[2] == '\xBF' ? 3 : 0;
    while (i < n && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n')) ++i;
    return i >= n || head[i] == '<';
}

struct Warning {
    std::string section, title, text;
};

int fail(const std::string& message) { return FailCommand(message); }

bool parse(int argc, char** argv, CaseOptions& o, std::string& error) {
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasNext = i + 1 < argc && argv[i + 1][0] != '\0';
        if (a == "--json") {
            o.json = true;
        } else if (a == "--refresh") {
            if (RefuseRepeatedOption("--refresh", o.haveSolved, error)) return false;
            if (!hasNext) {
                error = "--refresh needs the solved simulator case";
                return false;
            }
            o.solved = argv[++i];
            o.haveSolved = true;
        } else if (a == "--settings" || a == "--save") {
            if (RefuseRepeatedOption(a.c_str(), a == "--settings" ? o.haveSettings : o.haveSave, error)) return false;
            if (!hasNext) {
                error = a + " needs a file name";
                return false;
            }
            (a == "--settings" ? o.settings : o.save) = argv[++i];
            (a == "--settings" ? o.haveSettings : o.haveSave) = true;
        } else if (a == "--assign") {
            UtilityAssignment assignment;
            if (!hasNext || !ParseUtilityAssignment(argv[i + 1], assignment)) {
                error = "--assign needs UNIT=UTILITY";
                return false;
            }
            o.assignments.push_back(assignment);
            ++i;
        } else if (a == "--dtmin") {
            if (!TakeNumberOption(argc, argv, i, o.dtmin, o.haveDtmin, error)) return false;
        } else if (!a.empty() && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else if (o.document.empty()) {
            o.document = a;
        } else {
            error = "more than one simulator case";
            return false;
        }
    }
    if (o.document.empty()) error = "extract needs a simulator case (CASEFILE) or a segment table with --into CASE";
    return error.empty();
}

std::string trim(const std::string& s) {
    const std::size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

// `name = value` lines; `#` starts a comment. Names are checked by the module when applied.
bool readSettings(const std::string& path, std::vector<Setting>& out, std::string& error) {
    struct stat info {};
    std::ifstream in(path, std::ios::binary);
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || !in) {
        error = path + ": cannot be read";
        return false;
    }
    if (info.st_size > kMaxSettingsBytes) {
        error = path + ": is too large for a settings file";
        return false;
    }
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        const std::string where = path + ":" + std::to_string(n) + ": ";
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        line = trim(line);
        if (line.empty()) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) {
            error = where + "a setting reads name = value";
            return false;
        }
        Setting s;
        s.line = n;
        s.name = trim(line.substr(0, eq));
        const std::string value = trim(line.substr(eq + 1));
        if (s.name == "SubFlowsheet") {
            if (value.empty()) {
                error = where + "SubFlowsheet needs a name";
                return false;
            }
            s.subFlowsheet = true;
            s.text = value;
        } else if (!ParseTableNumber(value, s.value)) {
            error = where + "the value of " + s.name + " is not a number";
            return false;
        }
        out.push_back(s);
    }
    return true;
}

std::vector<Warning> readWarnings(ModuleLoader& module, IHeatIntegrationScenario& scenario) {
    std::vector<Warning> out;
    auto entry = reinterpret_cast<ReportEntryFn>(module.Entry("KestrinReportEntry"));
    if (!entry) return out;
    const int n = entry(&scenario, "Warnings", -1, nullptr, 0, nullptr, 0, nullptr, 0);
    std::vector<char> key(256), title(1024), text(kReportTextBytes);
    for (int i = 0; i < n; ++i) {
        if (entry(&scenario, "Warnings", i, key.data(), 256, title.data(), 1024, text.data(), kReportTextBytes) != 1)
            break;
        out.push_back({key.data(), title.data(), text.data()});
    }
    return out;
}

// The scenario's default utilities that came from the case's own utility database.
std::vector<std::string> simulationUtilities(IHeatIntegrationScenario& scenario) {
    std::vector<std::string> out;
    IDefaultUtilityManager* manager = nullptr;
    if (scenario.GetDefaultUtilityManager(manager) != 1 || !manager) return out;
    for (int i = 0; i < manager->GetNumberOfDefaultUtilities(); ++i)
        if (manager->AmISimulationUtility(i))
            if (const char* name = manager->GetDefaultUtilityName(i)) out.push_back(name);
    return out;
}

std::string warningsJson(const std::vector<Warning>& warnings) {
    std::string out = "[";
    for (std::size_t i = 0; i < warnings.size(); ++i)
        out += (i ? ", " : "") + std::string("{\"section\": ") + JsonString(warnings[i].section) +
               ", \"title\": " + JsonString(warnings[i].title) + ", \"text\": " + JsonString(warnings[i].text) + "}";
    return out + "]";
}

}  // namespace

int RunCaseExtract(ModuleLoader& module, int argc, char** argv) {
    CaseOptions o;
    std::string error;
    if (!parse(argc, argv, o, error) || !CheckDtminOption(o.haveDtmin, o.dtmin, error)) return FailUsage("extract", error);
    // Every input is looked at before it is opened: a pipe would wait for a writer for ever.
    if (!CheckRegularInput(o.document, "a simulator-case document", error) ||
        (o.haveSettings && !CheckRegularInput(o.settings, "a settings file", error)) ||
        (o.haveSolved && !CheckRegularInput(o.solved, "a simulator-case document", error)))
        return fail(error);
    if (!looksLikeDocument(o.document))
        return fail(o.document + " is not a simulator-case document; a segment table goes into a case with --into CASE");
    std::vector<Setting> settings;
    if (o.haveSettings && !readSettings(o.settings, settings, error)) return fail(error);
    if (o.haveSolved && !looksLikeDocument(o.solved))
        return fail(o.solved + " is not a simulator-case document; --refresh takes the case solved again");
    if (o.haveSave && (SameFile(o.document, o.save) || (o.haveSettings && SameFile(o.settings, o.save)) ||
                       (o.haveSolved && SameFile(o.solved, o.save))))
        return fail("--save " + o.save + " names an input file; save the case to another file");
    std::string saveError;
    if (o.haveSave && !SaveMayReplace(o.save, saveError)) return fail(saveError);

    auto extract = reinterpret_cast<ExtractDocumentFn>(module.Entry("KestrinExtractCaseDocument"));
    auto refresh = reinterpret_cast<RefreshDocumentFn>(module.Entry("KestrinRefreshCaseDocument"));
    if (!extract || (o.haveSolved && !refresh)) return fail(module.Path() + " lacks the case extraction entries");

    HostSession session(module);
    if (!session.Start(error)) return fail(error);
    IHeatIntegrationScenario* scenario = session.NewScenario("Scenario 1", error);
    if (!scenario) return fail(error);
    if (o.haveDtmin) scenario->SetDTmin(o.dtmin);
    // The settings go in as a user types them into the extraction wizard, checked as it checks them.
    ExtractionWizard wizard(module);
    if (!wizard.Open(scenario, error) || !wizard.ApplySettings(o.document, o.settings, settings, error))
        return fail(error);
    std::vector<char> message(2048, '\0');
    if (extract(scenario, o.document.c_str(), message.data(), static_cast<int>(message.size())) != 1)
        return fail(std::string(message.data()) + "; nothing was extracted");
    // The case solved again refreshes what was extracted; a refused document saves nothing.
    if (o.haveSolved &&
        refresh(scenario, o.document.c_str(), o.solved.c_str(), message.data(), static_cast<int>(message.size())) != 1)
        return fail(std::string(message.data()) + "; nothing was refreshed");
    if (!wizard.Assign(o.assignments, error)) return fail(error);
    // What the document gave is checked as a stream table is: a flow, temperature or duty no case
    // holds is refused with its stream and value, before anything is printed or saved.
    if (!CheckCaseContent(*scenario, error)) return fail(o.document + ": " + error + "; nothing was extracted");
    if (o.haveSave && !session.SaveCase(o.save, error)) return fail(error);

    const std::vector<StreamOut> streams = ReadExtractedStreams(*scenario, 0);
    const std::vector<StreamOut> utilities = ReadExtractedStreams(*scenario, 1);
    const std::vector<Warning> warnings = readWarnings(module, *scenario);
    const std::vector<std::string> fromCase = simulationUtilities(*scenario);
    const char* reportText = scenario->GetReport();
    const std::string report = reportText ? reportText : "";
    // The plant's existing network, as the extraction rebuilt it.
    IHENDesign* network = nullptr;
    if (!scenario->GetDesign(CPString("SimulationBaseCase"), network)) network = nullptr;
    std::vector<std::string> notes;
    const bool nothing = streams.empty() && utilities.empty();
    if (nothing) notes.push_back(o.document + " yielded no process stream and no utility: nothing to target");
    if (o.json) {
        std::string targetsJson = "null";
        if (!nothing) {
            targetsJson = FormatTargetsJson(ReadTargets(*scenario));
            while (!targetsJson.empty() && targetsJson.back() == '\n') targetsJson.pop_back();
        }
        std::string networkJson = "null";
        if (network) {
            networkJson = FormatDesignJson(ReadDesign(*network));
            while (!networkJson.empty() && networkJson.back() == '\n') networkJson.pop_back();
        }
        std::printf("{\"case\": %s, \"streams\": %s, \"utilities\": %s, \"warnings\": %s, "
                    "\"simulation_utilities\": %s, \"report\": %s, \"targets\": %s, \"notes\": %s, \"network\": %s}\n",
                    JsonString(o.document).c_str(), StreamsJson(streams).c_str(), StreamsJson(utilities).c_str(),
                    warningsJson(warnings).c_str(), TextsJson(fromCase).c_str(), JsonString(report).c_str(),
                    targetsJson.c_str(), TextsJson(notes).c_str(), networkJson.c_str());
        return 0;
    }
    std::string text = "Case: " + PrintableText(o.document, 200) + "\n" + StreamsText("Streams", streams);
    if (!utilities.empty()) text += StreamsText("Utilities", utilities);
    if (!fromCase.empty()) {
        text += "Default utilities from the case:";
        for (std::size_t i = 0; i < fromCase.size(); ++i) text += (i ? ", " : " ") + PrintableText(fromCase[i], 40);
        text += "\n";
    }
    for (const Warning& w : warnings) {
        std::istringstream lines(w.text);
        std::string line;
        // A warning of a title only is shown by its title.
        if (w.text.empty() && !w.title.empty())
            text += "Warning (" + PrintableText(w.section, 40) + "): " + PrintableText(w.title, 200) + "\n";
        while (std::getline(lines, line))
            if (!line.empty()) text += "Warning (" + PrintableText(w.section, 40) + "): " + PrintableText(line, 200) + "\n";
    }
    if (!nothing) text += FormatTargetsText(ReadTargets(*scenario));
    if (network) text += FormatDesignText(ReadDesign(*network));
    for (const std::string& n : notes) text += "Note: " + PrintableText(n, 200) + "\n";
    std::fputs(text.c_str(), stdout);
    return 0;
}
