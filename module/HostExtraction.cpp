#include "module/HostExtraction.h"

#include "brasko/ConfigurationStore.h"
#include "brasko/ReportHolder.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/extraction/SimulatorCaseProvider.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/core/ModuleEntry.h"
#include "lumeth/Session.h"
#include "ralvex/Case.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {
const char* const kNumericSettings[] = {
    "DoIUseSegments",           "SegmentTolerances",  "MaxNumberOfSegments",   "DoIRunSimAnalysis",
    "SegmentOnPhaseChange",     "UseOnlySaturatedLiveSteam", "DoIExtractLiveSteam", "ShiftTempsForPumps",
    "UseSubCoolLiveSteam",      "UseSuperHeatLiveSteam", "UserSuppliedAmbientTemperature", "DoIExtractReactionHeat",
    "SimulatorFileType",
};
const char* const kHostValues[] = {"SimulationUtilityDatabase", "UtilitiesFromSimulation", "UseProIIFile"};
const char* const kFolderKeys[] = {"VelmorImportFilePath", "QuorvexImportFilePath", "ProiiImportFilePath"};

void copyOut(const std::string& text, char* out, int size) {
    if (out && size > 0) std::snprintf(out, static_cast<std::size_t>(size), "%s", text.c_str());
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
}  // namespace

extern "C" int KestrinSetExtractionSetting(IHeatIntegrationScenario* scenario, const char* name, double value) {
    AttachCallingThread();
    if (!scenario || !name) return 0;
    for (const char* key : kNumericSettings)
        if (std::strcmp(key, name) == 0) {
            scenario->GetDataExtractionConfig()->SetSettingValue(name, value);
            return 1;
        }
    for (const char* key : kHostValues)
        if (std::strcmp(key, name) == 0) {
            SetConfigData(name, value);
            return 1;
        }
    return 0;
}

extern "C" int KestrinChooseSubFlowsheet(IHeatIntegrationScenario* scenario, const char* name) {
    AttachCallingThread();
    if (!scenario || !name || !*name) return 0;
    scenario->GetDataExtractionConfig()->AddSubFlowsheet(name);
    return 1;
}

extern "C" int KestrinExtractCaseDocument(IHeatIntegrationScenario* scenario, const char* path, char* error, int size) {
    AttachCallingThread();
    IHeatIntegrationProject* project = scenario ? scenario->GetProject() : nullptr;
    IDataExtraction* extraction = project ? project->GetDataExtraction() : nullptr;
    if (!extraction || !path) {
        copyOut("the module offers no data extraction", error, size);
        return 0;
    }
    DataExtractionConfig* config = scenario->GetDataExtractionConfig();
    const double type = config->GetSetting("SimulatorFileType");
    if (type != 0.0 && type != 1.0 && type != 2.0) {
        copyOut("SimulatorFileType must be 0, 1 or 2", error, size);
        return 0;
    }
    const int kind = static_cast<int>(type);
    Case* document = extraction->GetCase(path);
    if (!document) {
        const auto* provider = dynamic_cast<const SimulatorCaseProvider*>(extraction);
        copyOut(provider && !provider->GetLastReadResult().message.empty()
                    ? std::string(provider->GetLastReadResult().message)
                    : std::string(path) + ": cannot be read as a simulator case",
                error, size);
        return 0;
    }
    if (document->GetSource() == "spreadsheet") {
        copyOut(std::string(path) + " is a spreadsheet case; extract it with --into CASE", error, size);
        return 0;
    }
    GetConfigurationStore().Set(kFolderKeys[kind], folderOf(path));
    config->SetImportPathForSimulator(kind);
    config->SetFileToExtract(path);
    Case* hostCase = extraction->GetDocumentCase();
    if (kind == 0) scenario->ExtractFromVelmorCase(path, hostCase);
    else if (kind == 1) scenario->ExtractFromQuorvexCase(path, hostCase);
    else scenario->ExtractFromProIICase(path, hostCase);
    return 1;
}

extern "C" int KestrinRefreshCaseDocument(IHeatIntegrationScenario* scenario, const char* path, const char* solved,
                                          char* error, int size) {
    AttachCallingThread();
    IHeatIntegrationProject* project = scenario ? scenario->GetProject() : nullptr;
    auto* provider = project ? dynamic_cast<SimulatorCaseProvider*>(project->GetDataExtraction()) : nullptr;
    if (!provider || !path || !solved) {
        copyOut("the module offers no data extraction", error, size);
        return 0;
    }
    if (provider->ApplySolvedDocument(path, solved) != 1) {
        const CaseReadResult& read = provider->GetLastReadResult();
        copyOut(read.message.empty() ? std::string(solved) + ": cannot be applied to " + path : std::string(read.message),
                error, size);
        return 0;
    }
    if (scenario->ExtractFromCase(path) != 1) {
        copyOut(std::string(path) + " was not extracted into this scenario before: nothing to refresh", error, size);
        return 0;
    }
    return 1;
}

extern "C" int KestrinReportEntry(IHeatIntegrationScenario* scenario, const char* section, int index, char* key,
                                  int keySize, char* title, int titleSize, char* text, int textSize) {
    AttachCallingThread();
    ReportHolder* report = nullptr;
    if (!scenario || !scenario->GetReportHolder(report) || !report) return 0;
    const std::vector<CPString> keys = report->GetEntryKeys(section);
    if (index < 0) return static_cast<int>(keys.size());
    if (static_cast<std::size_t>(index) >= keys.size()) return 0;
    std::string path = keys[static_cast<std::size_t>(index)];
    if (section && *section) path = std::string(section) + ":" + path;
    copyOut(keys[static_cast<std::size_t>(index)], key, keySize);
    copyOut(report->GetTitle(path.c_str()), title, titleSize);
    copyOut(report->GetText(path.c_str()), text, textSize);
    return 1;
}
