#include "host/ExtractCommand.h"
#include "host/CommandLine.h"

#include "host/CaseContentChecks.h"
#include "host/CaseExtractCommand.h"
#include "host/ExtractOutput.h"

#include "eng/extraction/IDataExtraction.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "host/HostSession.h"
#include "host/InputFile.h"
#include "host/ModuleLoader.h"
#include "host/OutputText.h"
#include "host/StreamTable.h"
#include "host/StreamTableChecks.h"
#include "host/TargetsReport.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct ExtractOptions {
    std::string sheet, into, save;
    bool json = false, haveSave = false, haveDtmin = false;
    double dtmin = 0.0;
};

int fail(const std::string& message) { return FailCommand(message); }

bool parse(int argc, char** argv, ExtractOptions& o, std::string& error) {
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasNext = i + 1 < argc && argv[i + 1][0] != '\0';
        if (a == "--json") {
            o.json = true;
        } else if (a == "--into" || a == "--save") {
            if (RefuseRepeatedOption(a.c_str(), a == "--into" ? !o.into.empty() : o.haveSave, error)) return false;
            if (!hasNext) {
                error = a + " needs a file name";
                return false;
            }
            (a == "--into" ? o.into : o.save) = argv[++i];
            if (a == "--save") o.haveSave = true;
        } else if (a == "--dtmin") {
            if (!TakeNumberOption(argc, argv, i, o.dtmin, o.haveDtmin, error)) return false;
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

}  // namespace

int RunExtract(ModuleLoader& module, int argc, char** argv) {
    // Without --into the input is a simulator case, extracted into a new project.
    bool into = false;
    for (int i = 2; i < argc; ++i) into = into || std::string(argv[i]) == "--into";
    if (!into) return RunCaseExtract(module, argc, argv);
    ExtractOptions o;
    std::string error;
    if (!parse(argc, argv, o, error) || !CheckDtminOption(o.haveDtmin, o.dtmin, error)) return FailUsage("extract", error);
    // Both files are looked at before either is opened: a pipe would wait for a writer for ever.
    if (!CheckRegularInput(o.sheet, "a segment table", error) || !CheckRegularInput(o.into, "a case file", error))
        return fail(error);
    if (!IsCaseFile(o.into)) return fail("--into " + o.into + " is not a Kestrin case file");
    if (o.haveSave && SameFile(o.sheet, o.save))
        return fail("--save " + o.save + " names the input sheet; save the case to another file");
    // The --into case is read and never written: the extracted case goes to another file.
    if (o.haveSave && SameFile(o.into, o.save))
        return fail("--save " + o.save + " names the --into case; save the case to another file");
    std::string saveError;
    if (o.haveSave && !SaveMayReplace(o.save, saveError)) return fail(saveError);

    HostSession session(module);
    if (!session.Start(error) || !session.RecallCase(o.into, error)) return fail(error);
    IHeatIntegrationScenario* scenario = session.Scenario();
    if (!scenario) return fail(o.into + ": the case holds no scenario");
    // A retrofit study's streams are the existing network's, held for its base design: the
    // scenario takes no extraction, and the host says so rather than report a sheet it refused.
    if (scenario->IsRetrofitScenario())
        return fail(o.into + ": its first scenario is a retrofit study, whose streams are held for its base design; " +
                    o.into + " was left as it is");
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
    // Every value of the sheet as a stream table's would be checked: a sheet with one value no
    // case holds is refused whole, before anything is printed or saved.
    if (!CheckCaseContent(*scenario, error))
        return fail(o.sheet + ": " + error + "; the sheet was refused whole and " + o.into + " was left as it is");
    if (o.haveSave && !session.SaveCase(o.save, error)) return fail(error);

    std::vector<std::string> notes(outcome.notes.begin(), outcome.notes.end());
    std::vector<std::string> warnings(outcome.warnings.begin(), outcome.warnings.end());
    const std::vector<StreamOut> streams = ReadExtractedStreams(*scenario, 0);
    const std::vector<StreamOut> utilities = ReadExtractedStreams(*scenario, 1);
    TargetsReport targets = ReadTargets(*scenario);
    if (session.CaseWasUnchecked())
        notes.push_back(o.into + " was saved before case files carried a checksum; it was read without that check");
    if (o.json) {
        std::string targetsJson = FormatTargetsJson(targets);
        while (!targetsJson.empty() && targetsJson.back() == '\n') targetsJson.pop_back();
        std::printf("{\"streams\": %s, \"utilities\": %s, \"warnings\": %s, \"targets\": %s, \"notes\": %s}\n",
                    StreamsJson(streams).c_str(), StreamsJson(utilities).c_str(), TextsJson(warnings).c_str(),
                    targetsJson.c_str(), TextsJson(notes).c_str());
        return 0;
    }
    std::string text = StreamsText("Streams", streams);
    if (!utilities.empty()) text += StreamsText("Utilities", utilities);
    for (const std::string& w : warnings) text += "Warning: " + PrintableText(w, 200) + "\n";
    text += FormatTargetsText(targets);
    for (const std::string& n : notes) text += "Note: " + PrintableText(n, 200) + "\n";
    std::fputs(text.c_str(), stdout);
    return 0;
}
