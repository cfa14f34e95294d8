// The scenario viewer's case imports: the extraction the wizard set up (from a simulator case
// of its kind, with the utility and capital-cost default files it chose), a case the extraction
// holds by name extracted again, and a spreadsheet. While an import runs every design viewer's
// grid diagram holds its layout, and a design viewer added meanwhile holds its own.
#include "brasko/DefaultManager.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/extraction/IDataExtraction.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/Framework.h"
#include "lumeth/MessageKey.h"
#include "lumeth/Session.h"
#include "ralvex/Case.h"
#include "views/case/DataExtractionView.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/grid/HENDiagram.h"

#include <sys/stat.h>

namespace {

constexpr double kEmpty = -32767.0;

bool isFileOnDisk(const Text& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The document case the extraction reads simulator data into; null without an extraction.
IDataExtraction* extractionOf(IHeatIntegrationScenario* scenario) {
    IHeatIntegrationProject* project = scenario ? scenario->GetProject() : nullptr;
    return project ? project->GetDataExtraction() : nullptr;
}

Text defaultsFileName(IDefaultUtilityManager* manager, const char* key) {
    const char* name = nullptr;
    if (manager) manager->GetCurrentFileName(key, name);
    return name ? Text(name) : Text();
}

// The keys of each simulator kind: the case missing, the status line, the case not read.
struct SimulatorKeys {
    const char* missing;
    const char* status;
    const char* failed;
};
const SimulatorKeys* keysOf(int kind) {
    static const SimulatorKeys keys[] = {
        {MessageKey("CouldNotFindVelmorFile"), MessageKey("ImportVelmorFile"), MessageKey("CouldNotBuildVelmorCase")},
        {MessageKey("CouldNotFindQuorvexCase"), MessageKey("ImportQuorvexCase"),
         MessageKey("CouldNotBuildQuorvexCase")},
        {MessageKey("CouldNotFindPROIICase"), MessageKey("ImportPROIICase"), MessageKey("CouldNotBuildPROIICase")},
    };
    return kind >= 0 && kind <= 2 ? &keys[kind] : nullptr;
}

int numberOfStreams(IHeatIntegrationScenario* scenario) {
    return scenario->GetNumberOfUtilityStreams() + scenario->GetNumberOfProcessStreams();
}

}  // namespace

void HIDesignViewerScenario::holdDiagrams(bool hold) {
    const int designs = myScenario ? myScenario->GetNumberOfDesigns() : 0;
    for (int i = 0; i < designs; ++i)
        if (HIDesignViewerDesign* viewer = GetDesignI(i))
            if (HENDiagram* diagram = viewer->GetGridDiagram()) diagram->bHold = hold ? 1 : 0;
}

void HIDesignViewerScenario::setDTminToOptimum() {
    myScenario->RecalculateSuperTargets();
    double a = kEmpty, b = kEmpty;
    myScenario->GetSuperTargetOptimum(a, b);
    if (a != kEmpty && b != kEmpty) myScenario->SetDTmin((a + b) * 0.5);
}

void HIDesignViewerScenario::reopenSummary() {
    Viewable::Message("CloseView SummaryView");
    View("SummaryView");
}

int HIDesignViewerScenario::BuildRalvexCase() {
    // Without the wizard nothing is set up to extract, and nothing fails.
    if (!dataExtractionView) return 1;
    if (!myScenario || RefusedOnRetrofitBase()) return 0;
    const Text casePath = dataExtractionView->GetFileToExtract();
    IDefaultUtilityManager* manager = nullptr;
    if (IHeatIntegrationScenario* wizardScenario = dataExtractionView->GetScenario())
        if (!wizardScenario->GetDefaultUtilityManager(manager)) manager = nullptr;
    const Text utilities = defaultsFileName(manager, "CurrentUtilitiesFileName");
    const Text economics = defaultsFileName(manager, "CurrentEconomicsFileName");
    const double type = dataExtractionView->GetSimulatorFileType();
    const int kind = type == kEmpty ? -1 : static_cast<int>(type);
    const SimulatorKeys* keys = keysOf(kind);

    // A manager still on its factory defaults names no file ("Default File"): nothing to find.
    const auto found = [](const Text& name) { return name == DefaultManager::kNoFileName || isFileOnDisk(name); };
    if (!found(utilities)) {
        ErrorMsg("CouldNotFindUtilityFile", utilities);
        return 0;
    }
    if (!found(economics)) {
        ErrorMsg("CouldNotFindCapCostFile", economics);
        return 0;
    }
    if (!isFileOnDisk(casePath)) {
        if (keys) ErrorMsg(keys->missing, casePath);
        return 0;
    }

    int result = 1;
    extractionDesignFlag = 1;
    SignalBusy(true);
    if (keys) UserStatusReport(FindString(keys->status), 2);
    IHeatIntegrationStream* first = nullptr;
    if (myScenario->GetStream(0, first) && first && !myScenario->IsTotalSiteScenario())
        ErrorMsg("ExistingStreamBeforeExtract");
    IDataExtraction* extraction = extractionOf(myScenario);
    Case* document = extraction ? extraction->GetDocumentCase() : nullptr;
    int read = 1;
    if (kind == 0) read = myScenario->ExtractFromVelmorCase(casePath, document);
    else if (kind == 1) read = myScenario->ExtractFromQuorvexCase(casePath, document);
    else if (kind == 2) read = myScenario->ExtractFromProIICase(casePath, document);
    if (read != 1) {
        ErrorMsg(keys->failed, casePath);
        result = 0;
    }
    SignalBusy(false);
    UserStatusClear(2);
    extractionDesignFlag = 0;
    return result;
}

int HIDesignViewerScenario::ImportVelmorScenario(const Text& path, bool cached) {
    if (!myScenario || RefusedOnRetrofitBase()) return 0;
    holdDiagrams(true);
    const int before = numberOfStreams(myScenario);
    IDataExtraction* extraction = extractionOf(myScenario);
    Case* held = extraction ? extraction->GetCase(path) : nullptr;
    // A case that is not there, or not read, brings nothing in, with or without a user to tell:
    // the answer says which of the two it was.
    if (!held) {
        holdDiagrams(false);
        // "XYZ" names no file: the case the extraction would hold under it.
        ErrorMsg(isFileOnDisk(path) ? "CouldNotBuildVelmorCase" : "CouldNotFindVelmorFile", path == "XYZ" ? Text() : path);
        return 0;
    }
    held->SetCaseCached(cached);
    SignalBusy(true);
    const int result = myScenario->ExtractFromCase(path.c_str());
    SignalBusy(false);
    const bool grew = numberOfStreams(myScenario) > before;
    holdDiagrams(false);
    if (result != 1) {
        ErrorMsg("CouldNotBuildVelmorCase", path);
        return 0;
    }
    // A case read whole that brought no stream in: the user is told and the wizard closed; an
    // automation client, which may import a case into the scenario it already fills, is answered 1.
    if (!grew && !IsAutomationStartup()) {
        ErrorMsg("NoStreamsExtracted");
        if (dataExtractionView) SendViewableMessage(dataExtractionView, "CloseView");
        return 0;
    }
    return 1;
}

int HIDesignViewerScenario::TransferInformationFromExcel(const Text& path) {
    if (!myScenario || RefusedOnRetrofitBase()) return 0;
    extractionDesignFlag = 1;
    SignalBusy(true);
    UserStatusReport(FindString("ReadingExcelCase"), 2);
    IHeatIntegrationStream* first = nullptr;
    if (myScenario->GetStream(0, first) && first && !myScenario->IsTotalSiteScenario())
        ErrorMsg("ExistingStreamBeforeExtract");
    IDataExtraction* extraction = extractionOf(myScenario);
    const bool read =
        extraction && myScenario->ExtractFromExcelFile(path, extraction->GetDocumentCase()) == 1;
    if (!read) ErrorMsg("CouldNotBuildExcelCase", path);
    SignalBusy(false);
    UserStatusClear(2);
    extractionDesignFlag = 0;
    // A spreadsheet that could not be read leaves the viewer as it was.
    if (!read) return 0;
    extractedData = 1;
    // A spreadsheet case was extracted as a whole by the scenario (its streams, utilities and
    // network came in with it): what is left is the DTmin of the range-target optimum and the
    // summary.
    if (myScenario->GetExcelTransferResult() == IDataExtraction::SpreadsheetExtract) {
        setDTminToOptimum();
        reopenSummary();
    }
    return 1;
}
