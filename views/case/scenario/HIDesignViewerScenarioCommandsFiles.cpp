// The scenario viewer's commands that read and write files and start imports: capital-cost
// default files (".hcc") through the default-utility manager, a spreadsheet, a simulator case
// by path or by the name the extraction holds it under, the end of an extraction, the wizard
// opened for a simulator kind, and the export of the selected design.
#include "brasko/IDefaultUtilityManager.h"
#include "brasko/LurmetBinaryFile.h"
#include "brasko/ReplaceChecks.h"
#include "eng/extraction/IDataExtraction.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/Framework.h"
#include "lumeth/Session.h"
#include "views/case/DataExtractionView.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/case/scenario/ScenarioCommandSteps.h"
#include "views/design/HIDesignViewerDesign.h"

#include <cctype>
#include <cstdlib>
#include <sys/stat.h>

using scenario_commands::longOperation;
using scenario_commands::token;

namespace {

bool isFileOnDisk(const Text& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A file whose permissions let nobody write it, or that this process may not write.
bool isWriteProtected(const Text& path) { return IsWriteProtectedFile(path.c_str()); }

// The extension of the file's name with its dot, in lower case ("" without one).
Text extensionOf(const Text& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const Text name = slash == Text::npos ? path : Text(path.substr(slash + 1));
    const std::size_t dot = name.find_last_of('.');
    if (dot == Text::npos) return Text();
    Text ext = name.substr(dot);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

// The prompt of a capital-cost default file.
FNPromptStruct capitalCostPrompt(const char* title, int flags) {
    FNPromptStruct prompt{title, "HCC", {}, flags};
    prompt.filters.emplace_back("HXCapitalCostDefaultFile", "hcc");
    prompt.filters.emplace_back("AllFiles", "*");
    return prompt;
}

Text trimmed(const Text& text) {
    std::size_t a = 0, b = text.size();
    while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) --b;
    return Text(text.substr(a, b - a));
}

// A whole word that is a number ("1", "-2", "0.5"); its value truncated to an integer.
bool wordIsNumber(const Text& word, long& out) {
    if (word.empty()) return false;
    char* end = nullptr;
    const double value = std::strtod(word.c_str(), &end);
    if (!end || *end != '\0') return false;
    out = static_cast<long>(value);
    return true;
}

}  // namespace

// ---- capital-cost default files ----

int HIDesignViewerScenario::saveHXCapitalCostDefaultSet(const Text&) {
    FileName path;
    if (!FilePicker::ChooseFileName(capitalCostPrompt("SaveHIPreferences", 0x35), path)) return 1;
    // Nothing is touched before the manager is known; the file is written beside the chosen
    // one and replaces it only once the whole set was stored.
    IDefaultUtilityManager* manager = nullptr;
    // A set not written answers 0 with the reason, as any refused command does.
    if (!myScenario->GetDefaultUtilityManager(manager) || !manager) return ErrorMsg("SavePreferenceError", path), 0;
    if (isWriteProtected(path)) return ErrorMsg("FileWriteProtected", path), 0;
    LurmetBinaryFile file;
    if (!file.OpenForWrite(path) || !manager->Store(&file, SRT_Economics) || !file.Commit())
        return ErrorMsg("SavePreferenceError", SaveFailure(path, file.ErrorText())), 0;
    return 1;
}

int HIDesignViewerScenario::openHXCapitalCostDefaultSet(const Text&) {
    FileName path;
    if (!FilePicker::ChooseFileName(capitalCostPrompt("OpenHIPreferences", 5), path)) return 1;
    IDefaultUtilityManager* manager = nullptr;
    LurmetBinaryFile file;
    if (!file.OpenForRead(path) || !myScenario->GetDefaultUtilityManager(manager) || !manager ||
        !manager->Recall(&file, SRT_Economics))
        return ErrorMsg("RecallPreferenceError", path), 0;
    return 1;
}

// ---- spreadsheet and simulator imports ----

int HIDesignViewerScenario::openExcelFile(const Text&) {
    FNPromptStruct prompt{"OpenExcelFile", "XLS", {}, 5};
    prompt.filters.emplace_back("ExcelFiles", "xls");
    prompt.filters.emplace_back("AllFiles", "*");
    FileName path;
    if (!FilePicker::ChooseFileName(prompt, path)) return 1;
    if (!isFileOnDisk(path)) return ErrorMsg("ErrorFingingFile", path), 0;
    if (extensionOf(path) != ".xls") return ErrorMsg("InvalidExcelFile", path), 0;
    return TransferInformationFromExcel(path);
}

int HIDesignViewerScenario::buildRalvexCase(const Text&) {
    // Without the wizard nothing is set up to extract: the command did nothing.
    if (!dataExtractionView) return ErrorMsg("NoExtractionToBuild"), 0;
    // A file the wizard chose that is missing, or a case not read, answers 0 beside its message.
    return BuildRalvexCase();
}

int HIDesignViewerScenario::importVelmorScenario(const Text& rest) {
    // A refused import leaves the scenario's settings as they were too.
    if (RefusedOnRetrofitBase()) return 0;
    if (IsAutomationStartup()) {
        SetConfigData("SimulationUtilityDatabase", 1.0, true);
        SetConfigData("UtilitiesFromSimulation", 1.0, true);
    }
    // "[number] [path]": the number asks for the case to be kept cached.
    Text word, after;
    token(rest, word, after);
    long n = 0;
    Text path;
    if (wordIsNumber(word, n)) path = trimmed(after);
    else n = 0;
    if (path.empty()) path = "XYZ";
    // A case that brought nothing in answers 0, beside the message that says why.
    return ImportVelmorScenario(path, n != 0);
}

int HIDesignViewerScenario::importFromVelmor(const Text& rest) {
    if (RefusedOnRetrofitBase()) return 0;
    const Text& path = rest;
    if (!isFileOnDisk(path)) {
        ErrorMsg("CouldNotFindVelmorFile", path);
        return 0;
    }
    IHeatIntegrationProject* project = myScenario->GetProject();
    IDataExtraction* extraction = project ? project->GetDataExtraction() : nullptr;
    extractionDesignFlag = 1;
    SignalBusy(true);
    holdDiagrams(true);
    UserStatusReport(FindString("ImportVelmorFile"), 2);
    const bool read = extraction && myScenario->ExtractFromVelmorCase(path, extraction->GetDocumentCase()) == 1;
    // A case that could not be read is not reported as extracted.
    if (read) View("SummaryView");
    SignalBusy(false);
    UserStatusClear(2);
    holdDiagrams(false);
    extractionDesignFlag = 0;
    if (read) extractedData = 1;
    else ErrorMsg("CouldNotBuildVelmorCase", path);
    return read ? 1 : 0;
}

int HIDesignViewerScenario::finishExtraction(const Text&) {
    if (!myScenario->IsTotalSiteScenario() && !IsAutomationStartup()) setDTminToOptimum();
    extractedData = 1;
    if (!IsAutomationStartup()) reopenSummary();
    return 1;
}

// An automation client clears the utilities no design uses after it built the scenario; the user
// deletes a utility from its table. Each reason nothing went is told.
int HIDesignViewerScenario::deleteUnusedUtilities(const Text&) {
    if (!IsAutomationStartup()) return ErrorMsg("UnusedUtilitiesDeletedByAutomation"), 0;
    if (myScenario->IsTotalSiteScenario()) return ErrorMsg("SiteUtilitiesStayInEveryScenario"), 0;
    if (myScenario->IsRetrofitScenario()) return ErrorMsg("NoChangeinHENRBaseCase"), 0;
    const int before = myScenario->GetNumberOfStreamsOfKind(1, 2);
    myScenario->RemoveUnusedUtilities();
    if (myScenario->GetNumberOfStreamsOfKind(1, 2) == before) return ErrorMsg("NoUnusedUtilities"), 0;
    return 1;
}

void HIDesignViewerScenario::openExtractionWizard(double simulatorKind) {
    auto* wizard = new DataExtractionView(this, myScenario->GetDataExtractionConfig(), myScenario);
    SetDataExtractionView(wizard);
    wizard->View();
    if (dataExtractionView == wizard) wizard->Specify(VarDescription(1519, 301), simulatorKind);
}

int HIDesignViewerScenario::checkForSimulationReady(const Text&) {
    openExtractionWizard(0.0);
    return 1;
}

int HIDesignViewerScenario::checkForQuorvexReady(const Text&) {
    openExtractionWizard(1.0);
    return 1;
}

int HIDesignViewerScenario::exportVelmor(const Text&) {
    // With no design selected there is nothing to write to the simulator case.
    if (!currentDesign) return ErrorMsg("NoDesignSelected"), 0;
    const Text name = currentDesign->GetName();
    // Only the existing network an extraction made stands for units of a simulator case: any
    // other design has none to be written to.
    bool ofCase = false;
    longOperation(FindString("ExportToVelmor"), [&] {
        ofCase = name == IHeatIntegrationScenario::ExtractedNetworkDesignName && myScenario->HasCaseDesign(name);
    });
    if (!ofCase) return ErrorMsg("NoSimulatorCaseToWrite", name), 0;
    return 1;
}
