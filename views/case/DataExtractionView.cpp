#include "views/case/DataExtractionView.h"

#include "brasko/CaseDocument.h"
#include "brasko/DefaultManager.h"
#include "brasko/IDefaultUtilityManager.h"
#include "brasko/LurmetBinaryFile.h"
#include "eng/design/IHENDesign.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/extraction/HeaterCoolerAssumptions.h"
#include "eng/model/CaseValueLimits.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/Session.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "views/EnginePointers.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <sys/stat.h>

namespace {

constexpr int kSwitch = 104;
constexpr int kEnum = 105;
constexpr int kExtraData = 1519;
constexpr int kTemperature = 1;
constexpr double kEmpty = Viewable::EmptyValue;

const char* const kFileToExtract = "VelmorFileToExtract";
const char* const kSimulatorFileType = "SimulatorFileType";
const char* const kSubFlowsheetCount = "NumberOfSubFlowsheet";
const char* const kUtilitiesReady = "UtilitiesFileIsReady";
const char* const kEconomicsReady = "EconomicFileIsReady";
const char* const kCaseReady = "VelmorCaseFileIsReady";
const char* const kUtilityDatabase = "SimulationUtilityDatabase";
const char* const kUtilitiesFromSimulation = "UtilitiesFromSimulation";

// The settings the form edits as they stand, by variable.
struct SettingVariable {
    int type;
    int number;
    const char* name;
};
const SettingVariable kSettings[] = {
    {kSwitch, 201, "DoIUseSegments"},
    {kSwitch, 204, "DoIRunSimAnalysis"},
    {kSwitch, 205, "SegmentOnPhaseChange"},
    {kSwitch, 206, "UseOnlySaturatedLiveSteam"},
    {kSwitch, 207, "ShiftTempsForPumps"},
    // The form asks whether to leave the segment out: the inverse of the setting.
    {kSwitch, 208, "UseSubCoolLiveSteam"},
    {kSwitch, 209, "UseSuperHeatLiveSteam"},
    {kSwitch, 211, "DoIExtractLiveSteam"},
    {kSwitch, 414, "DoIExtractReactionHeat"},
    {kExtraData, 210, "SegmentTolerances"},
    {kExtraData, 211, "MaxNumberOfSegments"},
    {kExtraData, 300, kSimulatorFileType},
    {kExtraData, 301, kSimulatorFileType},
    {kTemperature, 201, "UserSuppliedAmbientTemperature"},
};

const char* settingOf(const VarDescription& var) {
    for (const SettingVariable& s : kSettings)
        if (s.type == var.Type() && s.number == var.Number()) return s.name;
    return nullptr;
}

bool isInverted(const VarDescription& var) { return var.Type() == kSwitch && (var.Number() == 208 || var.Number() == 209); }

bool fileExists(const Text& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The name and extension of a path, after its last folder separator.
Text nameAndExtension(const Text& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == Text::npos ? path : Text(path.substr(slash + 1));
}

// The extension with its dot, in lower case ("" when the name has none): file names are
// compared as the host's file system does, without regard to case.
Text extensionOf(const Text& path) {
    const Text name = nameAndExtension(path);
    const std::size_t dot = name.find_last_of('.');
    if (dot == Text::npos) return Text();
    Text ext = name.substr(dot);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

double hostValue(const char* key) {
    double value = 0.0;
    return GetConfigData(key, value) ? value : 0.0;
}

// The simulator kinds: prompt and extension of their files.
struct SimulatorKind {
    const char* title;
    const char* defaultExtension;
    const char* filterKey;
    const char* pattern;
    const char* extension;
};
constexpr SimulatorKind kSimulatorKinds[] = {
    {"ImportVelmorFile", "VMC", "VelmorCase", "vmc", ".vmc"},
    {"ImportQuorvexCase", "BKP", "QuorvexBackup", "bkp", ".bkp"},
    {"ImportPROIICase", "pr1", "PROIIDataFile", "pr1", ".pr1"},
};

}  // namespace

// ---------------------------------------------------------------- the form

const DataExtractionView::Form& DataExtractionView::Rows() {
    using V = DataExtractionView;
#define KESTRIN_WIZARD_TEXT(n) {{"ExtraData." #n, FormHook::Text, kExtraData, false, 0}, nullptr, nullptr, &V::StaticText}
    static const Form form{
        {{"Switch.201", FormHook::Value, kSwitch, true, 0}, &V::SettingValue, &V::SpecifySetting},
        {{"Switch.204", FormHook::Value, kSwitch, true, 0}, &V::SettingValue, &V::SpecifySetting},
        {{"Switch.205", FormHook::Value, kSwitch, true, 0}, &V::SettingValue, &V::SpecifySetting},
        {{"Switch.206", FormHook::Value, kSwitch, true, 0}, &V::SettingValue, &V::SpecifySetting},
        {{"Switch.207", FormHook::Value, kSwitch, true, 0}, &V::SettingValue, &V::SpecifySetting},
        {{"Switch.208", FormHook::Value, kSwitch, true, 0}, &V::SettingValue, &V::SpecifySetting},
        {{"Switch.209", FormHook::Value, kSwitch, true, 0}, &V::SettingValue, &V::SpecifySetting},
        {{"Switch.210", FormHook::Value, kSwitch, false, 0}, &V::StateValue},
        {{"Switch.211", FormHook::Value, kSwitch, true, 0}, &V::SettingValue, &V::SpecifySetting},
        {{"Switch.212", FormHook::Value, kSwitch, true, 0}, &V::HostValue, &V::SpecifyHostValue},
        {{"Switch.213", FormHook::Value, kSwitch, true, 0}, &V::HostValue, &V::SpecifyHostValue},
        {{"Switch.216", FormHook::Value, kSwitch, false, 0}, &V::StateValue},
        {{"Switch.217", FormHook::Value, kSwitch, true, 1}, &V::SubFlowsheetValue, &V::SpecifySubFlowsheet, nullptr,
         nullptr, &V::ListSize},
        {{"Switch.218", FormHook::Value, kSwitch, false, 0}, &V::StateValue},
        {{"Switch.219", FormHook::Value, kSwitch, false, 0}, &V::StateValue},
        {{"Switch.299", FormHook::Value, kSwitch, false, 0}, &V::StateValue},
        {{"Switch.414", FormHook::Value, kSwitch, true, 0}, &V::SettingValue, &V::SpecifySetting},
        {{"ExtraData.210", FormHook::Value, kExtraData, true, 0}, &V::SettingValue, &V::SpecifySetting},
        {{"ExtraData.211", FormHook::Value, kExtraData, true, 0}, &V::SettingValue, &V::SpecifySetting},
        {{"ExtraData.220", FormHook::Value, kExtraData, false, 0}, &V::StateValue},
        {{"ExtraData.222", FormHook::Value, kExtraData, false, 0}, &V::StateValue},
        {{"ExtraData.300", FormHook::Value, kExtraData, true, 0}, &V::SettingValue, &V::SpecifySetting},
        {{"ExtraData.301", FormHook::Value, kExtraData, true, 0}, &V::SettingValue, &V::SpecifySetting},
        {{"Temperature.201", FormHook::Value, kTemperature, true, 0}, &V::SettingValue, &V::SpecifySetting},
        {{"Enum.264", FormHook::Value, kEnum, true, 1}, &V::UtilityOfUnit, &V::SpecifyUtilityOfUnit, nullptr, nullptr,
         &V::ListSize},
        {{"Enum.265", FormHook::Value, kEnum, true, 1}, &V::UtilityOfUnit, &V::SpecifyUtilityOfUnit, nullptr, nullptr,
         &V::ListSize},
        {{"ExtraData.201", FormHook::Text, kExtraData, true, 0}, nullptr, nullptr, &V::FileText, &V::SpecifyFileText},
        {{"ExtraData.202", FormHook::Text, kExtraData, true, 0}, nullptr, nullptr, &V::FileText, &V::SpecifyFileText},
        {{"ExtraData.203", FormHook::Text, kExtraData, true, 0}, nullptr, nullptr, &V::FileText, &V::SpecifyFileText},
        {{"ExtraData.205", FormHook::Text, kExtraData, false, 1}, nullptr, nullptr, &V::ListText, nullptr, &V::ListSize},
        {{"ExtraData.215", FormHook::Text, kExtraData, false, 1}, nullptr, nullptr, &V::ListText, nullptr, &V::ListSize},
        {{"ExtraData.260", FormHook::Text, kExtraData, false, 1}, nullptr, nullptr, &V::ListText, nullptr, &V::ListSize},
        {{"ExtraData.261", FormHook::Text, kExtraData, false, 1}, nullptr, nullptr, &V::ListText, nullptr, &V::ListSize},
        KESTRIN_WIZARD_TEXT(350), KESTRIN_WIZARD_TEXT(750), KESTRIN_WIZARD_TEXT(751), KESTRIN_WIZARD_TEXT(752),
        KESTRIN_WIZARD_TEXT(753), KESTRIN_WIZARD_TEXT(754), KESTRIN_WIZARD_TEXT(755), KESTRIN_WIZARD_TEXT(756),
        KESTRIN_WIZARD_TEXT(757), KESTRIN_WIZARD_TEXT(758), KESTRIN_WIZARD_TEXT(760), KESTRIN_WIZARD_TEXT(761),
        KESTRIN_WIZARD_TEXT(762), KESTRIN_WIZARD_TEXT(763), KESTRIN_WIZARD_TEXT(764), KESTRIN_WIZARD_TEXT(765),
        KESTRIN_WIZARD_TEXT(766), KESTRIN_WIZARD_TEXT(767), KESTRIN_WIZARD_TEXT(768), KESTRIN_WIZARD_TEXT(769),
        KESTRIN_WIZARD_TEXT(770), KESTRIN_WIZARD_TEXT(771), KESTRIN_WIZARD_TEXT(772), KESTRIN_WIZARD_TEXT(773),
        KESTRIN_WIZARD_TEXT(774), KESTRIN_WIZARD_TEXT(775), KESTRIN_WIZARD_TEXT(776), KESTRIN_WIZARD_TEXT(780),
        KESTRIN_WIZARD_TEXT(781), KESTRIN_WIZARD_TEXT(782), KESTRIN_WIZARD_TEXT(790),
    };
#undef KESTRIN_WIZARD_TEXT
    return form;
}

namespace {
const char* const kCommands[] = {"BrowseDefaultUtils", "BrowseDefaultEconomics", "BrowseSimulationFile", "GoToNextPage",
                                 "GoToPrevPage",       "ModifyUtility",          "LockUtility",          "BuildUtilityInfo"};
}  // namespace

void DataExtractionView::DescribeForm(FormDescription& form) {
    Rows().Describe(form);
    for (const char* word : kCommands) form.AddCommand(word);
}

// ---------------------------------------------------------------- life

DataExtractionView::DataExtractionView(Viewable* parent, DataExtractionConfig* config, IHeatIntegrationScenario* scenario)
    : Viewable(parent, TypeName), m_pConfig(config), m_pScenario(scenario) {
    SetName("DataExtractionView");
    UpdateCaption();
}

DataExtractionView::DataExtractionView(ObjectInstanceInfo& info) : Viewable(info) {}

DataExtractionView::~DataExtractionView() = default;

bool DataExtractionView::StoreClassData(BinaryFile& file) {
    const bool totalSite = m_pScenario && m_pScenario->IsTotalSiteScenario();
    return file.WriteChar(totalSite ? 1 : 0) && StoreScenarioPointer(file, m_pScenario);
}

bool DataExtractionView::RecallClassData(BinaryFile& file, int) {
    char totalSite = 0;
    if (!file.ReadChar(totalSite)) return false;
    IEngineeringManager* manager = CaseEngineeringManager2(this);
    IHeatIntegrationScenario* scenario = nullptr;
    const bool read = totalSite ? RecallScenarioTotalSitePointer(file, manager, scenario)
                                : RecallScenarioPointer(file, manager, scenario);
    // A wizard is nothing without its scenario.
    if (!read || !scenario) return false;
    m_pScenario = scenario;
    m_pConfig = scenario->GetDataExtractionConfig();
    currentPage = 0;
    utilityEditMode = 0;
    allowProIIFiles = 1;
    return true;
}

// ---------------------------------------------------------------- settings

bool DataExtractionView::Setting(const char* name, double& out) const {
    return m_pConfig && m_pConfig->GetSettings() && m_pConfig->GetSettingValue(name, out) == 1;
}

void DataExtractionView::SetSetting(const char* name, double value) {
    if (m_pConfig && m_pConfig->GetSettings()) m_pConfig->SetSettingValue(name, value);
}

Text DataExtractionView::GetFileToExtract() const {
    return m_pConfig && m_pConfig->GetSettings() ? Text(m_pConfig->GetSettingText(kFileToExtract)) : Text();
}

double DataExtractionView::GetSimulatorFileType() const {
    double type = kEmpty;
    return Setting(kSimulatorFileType, type) ? type : kEmpty;
}

int DataExtractionView::NumberOfSubFlowsheets() const {
    double count = 0.0;
    if (!Setting(kSubFlowsheetCount, count) || !(count > 0.0)) return 0;
    // The count is kept with the settings, the list is made again at every extraction: a
    // recalled count may speak of a list that is not there.
    const int listed = m_pConfig->GetNumberOfSubFlowsheets();
    return count < listed ? static_cast<int>(count) : listed;
}

double DataExtractionView::SettingValue(const VarDescription& var) {
    const char* name = settingOf(var);
    const bool settings = m_pConfig && m_pConfig->GetSettings();
    double value = var.Type() == kSwitch ? 0.0 : kEmpty;
    if (isInverted(var)) {
        if (!settings) return 0.0;
        Setting(name, value);
        return value == 0.0 ? 1.0 : 0.0;
    }
    if (!settings || !name) return kEmpty;
    if (var.Type() == kSwitch && var.Number() == 211) value = 1.0;  // live steam taken unless set
    Setting(name, value);
    return value;
}

int DataExtractionView::SpecifySetting(const VarDescription& var, double value) {
    const char* name = settingOf(var);
    if (!name || !m_pConfig || !m_pConfig->GetSettings()) return 0;
    if (isInverted(var)) {
        SetSetting(name, value == 0.0 ? 1.0 : 0.0);
        return 1;
    }
    if (var.Type() == kExtraData && var.Number() == 210 && !(value > 0.0 && value < 1.0)) {
        ErrorMsg("NegativeSegmentTolerance");
        return 0;
    }
    if (var.Type() == kExtraData && var.Number() == 211 && !(value >= 2.0 || value == kEmpty)) {
        ErrorMsg("MaxSegmentsTooSmall");
        return 0;
    }
    // A stream holds at most so many segments, and the count is a whole number of them.
    if (var.Type() == kExtraData && var.Number() == 211 && value != kEmpty &&
        !(value <= CaseValueLimits::MaxSegments && value == std::floor(value))) {
        ErrorMsg("SpecRange");
        return 0;
    }
    // The ambient temperature lies where every temperature of a case lies.
    if (var.Type() == kTemperature && var.Number() == 201 &&
        !(value >= CaseValueLimits::MinTemperature && value <= CaseValueLimits::MaxTemperature)) {
        ErrorMsg("SpecRange");
        return 0;
    }
    if (var.Type() == kExtraData && (var.Number() == 300 || var.Number() == 301)) {
        // Only a kind the import knows has an import folder and a reader.
        const bool known = value == 0.0 || value == 1.0 || (value == 2.0 && allowProIIFiles);
        if (!known) {
            ErrorMsg(allowProIIFiles ? "SimulatorFileTypeUnknown" : "SimulatorFileTypeNoProII");
            return 0;
        }
        SetSetting(name, value);
        m_pConfig->SetImportPathForSimulator(static_cast<int>(value));
        return 1;
    }
    SetSetting(name, value);
    return 1;
}

double DataExtractionView::HostValue(const VarDescription& var) {
    if (!m_pConfig || !m_pConfig->GetSettings()) return kEmpty;
    return hostValue(var.Number() == 212 ? kUtilityDatabase : kUtilitiesFromSimulation);
}

int DataExtractionView::SpecifyHostValue(const VarDescription& var, double value) {
    if (!m_pConfig || !m_pConfig->GetSettings()) return 0;
    // Taking the simulation's utility database means taking its utilities for the units too.
    if (var.Number() == 212) SetConfigData(kUtilityDatabase, value);
    SetConfigData(kUtilitiesFromSimulation, value);
    return 1;
}

double DataExtractionView::StateValue(const VarDescription& var) {
    const int n = var.Number();
    if (var.Type() == kExtraData) {
        if (n == 220) return currentPage;
        return hostValue("UseProIIFile") == 1.0 ? 3.0 : 2.0;  // 222: simulator kinds offered
    }
    if (n == 218) return utilityEditMode;
    if (n == 219) return currentPage == 0 || currentPage == 3 || currentPage == 4 ? 0.0 : 1.0;
    if (n == 216) {
        if (!m_pConfig || !m_pConfig->GetSettings()) return kEmpty;
        double utilities = 0.0, economics = 0.0, simulation = 0.0;
        Setting(kUtilitiesReady, utilities);
        Setting(kEconomicsReady, economics);
        Setting(kCaseReady, simulation);
        // A total site keeps its utilities itself.
        const bool siteScenario = m_pScenario && m_pScenario->IsTotalSiteScenario();
        return (utilities != 0.0 || siteScenario) && economics != 0.0 && simulation != 0.0 ? 1.0 : 0.0;
    }
    return 0.0;  // 210, 299
}

double DataExtractionView::SubFlowsheetValue(const VarDescription& var) {
    if (!m_pConfig || !m_pConfig->GetSettings()) return kEmpty;
    const int i = var.Offset(0);
    return i >= 0 && i < NumberOfSubFlowsheets() && m_pConfig->GetSubFlowsheetEntry(i) != 0 ? 1.0 : 0.0;
}

int DataExtractionView::SpecifySubFlowsheet(const VarDescription& var, double value) {
    const int i = var.Offset(0);
    if (!m_pConfig || !m_pConfig->GetSettings() || i < 0 || i >= NumberOfSubFlowsheets() || !std::isfinite(value) ||
        std::fabs(value) > 2147483647.0)
        return 0;
    // The entry is a byte: the value's low byte.
    const int entry = static_cast<int>(static_cast<std::uint8_t>(static_cast<std::int64_t>(value) & 0xFF));
    return m_pConfig->SetSubFlowsheetEntry(i, entry) ? 1 : 0;
}

// ---------------------------------------------------------------- heaters and coolers

IHENDesign* DataExtractionView::BaseDesign() const {
    IHENDesign* design = nullptr;
    return m_pScenario && m_pScenario->GetDesign(CPString(BaseDesignName), design) ? design : nullptr;
}

CNode* DataExtractionView::UtilityUnit(bool heater, int index) const {
    IHENDesign* design = BaseDesign();
    if (!design || index < 0) return nullptr;
    if (index >= (heater ? design->GetNumberOfHeaters() : design->GetNumberOfCoolers())) return nullptr;
    return heater ? design->GetHeater(index) : design->GetCooler(index);
}

double DataExtractionView::UtilityOfUnit(const VarDescription& var) {
    const bool heater = var.Number() == 264;
    const CPString utility = UtilityStreamOf(UtilityUnit(heater, var.Offset(0)), heater);
    if (utility.empty()) return kEmpty;
    const VarEnumInfo& names = heater ? *hotUtilityNames : *coldUtilityNames;
    const int at = names.FindEntry(Text(utility));
    return at < 0 ? kEmpty : names.GetEntry(at)->value;
}

int DataExtractionView::SpecifyUtilityOfUnit(const VarDescription& var, double value) {
    const bool heater = var.Number() == 264;
    CNode* unit = UtilityUnit(heater, var.Offset(0));
    const VarEnumInfo& names = heater ? *hotUtilityNames : *coldUtilityNames;
    const int at = names.FindEntry(value);
    IHENDesign* design = BaseDesign();
    if (!unit || at < 0 || !design) return 0;
    // The utility the unit is on already is no change.
    if (UtilityOfUnit(var) == value) return 1;
    const CPString left = UtilityStreamOf(unit, heater);
    // Beside the units the utility serves, as the extraction places units on one utility: in
    // series the unit would take what the others leave of the utility, and the result would
    // follow the order in which units were moved.
    if (design->MoveUtilityBesideOthers(unit, names.GetEntry(at)->text, "manually") != 1) return 0;
    design->SetSplitFractionsFromBranchDuties();
    // The report's assumptions name the utility each unit stands on: this one's changed.
    RestateHeaterAndCoolerAssumptions(*m_pScenario);
    // A utility no unit of the scenario stands on any more goes, as the extraction never keeps one
    // (a site's utility stays in every scenario of the site).
    bool used = left.empty() || m_pScenario->IsTotalSiteScenario();
    IHENDesign* other = nullptr;
    for (int i = 0; !used && m_pScenario->GetDesign(i, other, 0); ++i) used = other && other->HasUnitOnStream(left);
    if (!used) {
        m_pScenario->DeleteStream(left);
        FillStreamLists();
    }
    return 1;
}

CPString DataExtractionView::UtilityStreamOf(CNode* unit, bool heater) const {
    void* part = nullptr;
    CPString utility;
    if (!unit || unit->QueryInterface(NodeKind::CountercurrentHX, &part) != 1 || !part) return utility;
    auto* exchanger = dynamic_cast<HeatExch*>(static_cast<CNode*>(part));
    // A heater's utility flows on its hot side, a cooler's on its cold side.
    StreamNode* inlet = exchanger ? exchanger->getInlet(heater ? 0 : 1) : nullptr;
    if (!inlet || inlet->getVariableAsString(NodeValue::ParentStream, utility) != 1) utility = CPString();
    return utility;
}

void DataExtractionView::FillStreamLists() {
    hotUtilityNames->DeleteEntries();
    coldUtilityNames->DeleteEntries();
    if (!m_pScenario) return;
    const int n = m_pScenario->GetNumberOfUtilityStreams();
    for (int i = 0; i < n; ++i) {
        IHeatIntegrationStream* stream = nullptr;
        if (!m_pScenario->GetStreamOfKind(i, stream, 1, 2) || !stream) continue;
        VarEnumInfo* list = stream->GetHotCold() == 0 ? hotUtilityNames.get()
                            : stream->GetHotCold() == 1 ? coldUtilityNames.get()
                                                        : nullptr;
        if (list) list->AddEntry(list->NumberOfEntries(), Text(stream->GetName()));
    }
}

VarEnumInfo* DataExtractionView::GetEnumInfo(const VariableNameInfo& info) {
    const VarDescription& var = info.Var();
    if (var.Type() == kEnum && (var.Number() == 264 || var.Number() == 265)) {
        VarEnumInfo* list = var.Number() == 264 ? hotUtilityNames.get() : coldUtilityNames.get();
        if (list->NumberOfEntries() == 0) FillStreamLists();
        return list;
    }
    return Viewable::GetEnumInfo(info);
}

// ---------------------------------------------------------------- texts

Text DataExtractionView::FileText(const VarDescription& var) {
    if (var.Number() == 203) return GetFileToExtract();
    const bool utilities = var.Number() == 201;
    IDefaultUtilityManager* manager = nullptr;
    if (!m_pScenario || m_pScenario->GetDefaultUtilityManager(manager) != 1 || !manager) return Text();
    const char* current = nullptr;
    manager->GetCurrentFileName(utilities ? DefaultManager::kCurrentUtilitiesFileName
                                          : DefaultManager::kCurrentEconomicsFileName,
                                current);
    const Text name = current ? current : "";
    // The manager's own defaults came from no file: there is nothing to check.
    if (name.empty() || name == DefaultManager::kNoFileName) return name;
    if (!fileExists(name)) ErrorMsg("ErrorFingingFile", name);
    else if (extensionOf(name) != (utilities ? ".hud" : ".hcc"))
        ErrorMsg(utilities ? "CouldNotFindUtilityFile" : "CouldNotFindCapCostFile", name);
    else SetSetting(utilities ? kUtilitiesReady : kEconomicsReady, 1.0);
    return name;
}

int DataExtractionView::SpecifyFileText(const VarDescription& var, const Text& text) {
    if (var.Number() == 201) return ReadDefaultsFile(text, 2) ? 1 : 0;
    if (var.Number() == 202) return ReadDefaultsFile(text, 1) ? 1 : 0;
    if (!m_pConfig || !m_pConfig->GetSettings()) return 0;
    if (!fileExists(text)) {
        ErrorMsg("ErrorFingingFile", text);
        return 0;
    }
    // Typed in, only a process simulator case is taken; other kinds are chosen by browsing.
    if (extensionOf(text) != ".vmc") {
        ErrorMsg("CouldNotFindVelmorFile", text);
        return 0;
    }
    m_pConfig->SetFileToExtract(text);
    SetCaption(nameAndExtension(text));
    SetSetting(kCaseReady, 1.0);
    return 1;
}

Text DataExtractionView::ListText(const VarDescription& var) {
    const int i = var.Offset(0);
    switch (var.Number()) {
        case 205: {
            IHeatIntegrationStream* stream = nullptr;
            return m_pScenario && i >= 0 && m_pScenario->GetStreamOfKind(i, stream, 0, 2) && stream
                       ? Text(stream->GetName())
                       : Text();
        }
        case 215:
            return m_pConfig && i >= 0 && i < NumberOfSubFlowsheets() ? Text(m_pConfig->GetSubFlowsheetName(i)) : Text();
        default: {
            CNode* unit = UtilityUnit(var.Number() == 260, i);
            CPString name;
            return unit && unit->getVariableAsString(NodeValue::UnitOperationName, name) == 1 ? Text(name) : Text();
        }
    }
}

Text DataExtractionView::StaticText(const VarDescription& var) {
    const int n = var.Number();
    if (n == 350) {
        const double kind = GetSimulatorFileType();
        if (kind == 0.0) return FindString("ExtractionLimitationsNotice");
        if (kind == 1.0) return FindString("QuorvexExtractionLimitationsNotice");
        return Text();
    }
    if (n == 750) return FindString("StartStaticTextInExtraction");
    if (n >= 751 && n <= 757) return FindString(FormattedText("Step%dStaticTextInExtraction", n - 750));
    if (n == 758) return FindString("EndStaticTextInExtraction");
    if (n >= 760 && n <= 768) return FindString(FormattedText("StaticText%dInPageOneInExtraction", n - 759));
    if (n == 769) return FindString("TipStaticTextInPageOneInExtraction");
    if (n >= 770 && n <= 776)
        return FindString(FormattedText("Step%dStaticTextInPage%dInExtraction", n - 769, n - 768));
    if (n == 780) return FindString("UtilitiesStaticTextInExtraction");
    if (n == 781) return FindString("CapitalCostStaticTextInExtraction");
    if (n == 782) return FindString("VelmorfileStaticTextInExtraction");
    return FormatMessage(FindString("EndStaticTextInPage9InExtraction"), {nameAndExtension(GetFileToExtract())});
}

int DataExtractionView::ListSize(const VarDescription& var, DimInfo& dims) {
    int n = 0;
    const int number = var.Number();
    if ((var.Type() == kExtraData && number == 215) || (var.Type() == kSwitch && number == 217)) {
        n = NumberOfSubFlowsheets();
    } else if (number == 205) {
        n = m_pScenario ? m_pScenario->GetNumberOfProcessStreams() : 0;
    } else if (IHENDesign* design = BaseDesign()) {
        const bool heaters = number == 260 || number == 264;
        n = heaters ? design->GetNumberOfHeaters() : design->GetNumberOfCoolers();
    }
    dims.AddDim(n);
    return 1;
}

void DataExtractionView::UpdateCaption() {
    if (!m_pConfig || !m_pConfig->GetSettings() || !m_pConfig->GetSettings()->FindSubValue(kFileToExtract)) return;
    const Text file = nameAndExtension(GetFileToExtract());
    if (currentPage == 0 || currentPage == LastPage)
        SetCaption(FormatMessage(FindString("FileNameInExtraction"), {file}));
    else
        SetCaption(FormatMessage(FindString("FileNameAndStepsInExtraction"),
                                 {file, MessageParameter(currentPage), MessageParameter(NumberOfSteps)}));
}

// ---------------------------------------------------------------- files and commands

bool DataExtractionView::ReadDefaultsFile(const Text& path, int kind) {
    IDefaultUtilityManager* manager = nullptr;
    LurmetBinaryFile file;
    const bool read = file.OpenForRead(path) && m_pScenario && m_pScenario->GetDefaultUtilityManager(manager) == 1 &&
                      manager && manager->Recall(&file, kind == 2 ? SRT_Utilities : SRT_Economics);
    if (!read) {
        ErrorMsg("RecallPreferenceError", path);
        return false;
    }
    SetSetting(kind == 2 ? kUtilitiesReady : kEconomicsReady, 1.0);
    return true;
}

bool DataExtractionView::BrowseDefaults(bool utilities) {
    FNPromptStruct prompt{"OpenHIPreferences", utilities ? "HUD" : "HCC", {}, 5};
    prompt.filters.emplace_back(utilities ? "HeatIntegrationUtilityDefaultFile" : "HXCapitalCostDefaultFile",
                                utilities ? "HUD" : "hcc");
    prompt.filters.emplace_back("AllFiles", "*");
    FileName chosen;
    if (!FilePicker::ChooseFileName(prompt, chosen)) return false;
    return ReadDefaultsFile(chosen, utilities ? 2 : 1);
}

bool DataExtractionView::BrowseSimulationFile() {
    const double type = GetSimulatorFileType();
    const bool known = type == 0.0 || type == 1.0 || (type == 2.0 && allowProIIFiles);
    if (!known) return false;
    const SimulatorKind& kind = kSimulatorKinds[static_cast<int>(type)];
    FNPromptStruct prompt{kind.title, kind.defaultExtension, {{kind.filterKey, kind.pattern}, {"AllFiles", "*"}}, 5};
    FileName chosen;
    if (!FilePicker::ChooseFileName(prompt, chosen)) return false;
    if (!fileExists(chosen)) {
        ErrorMsg("ErrorFingingFile", chosen);
        return false;
    }
    if (extensionOf(chosen) != kind.extension) {
        ErrorMsg("InvalidSimulationFile", chosen);
        return false;
    }
    m_pConfig->SetFileToExtract(chosen);
    SetSetting(kCaseReady, 1.0);
    return true;
}

void DataExtractionView::GoToPage(int page) {
    // The page decides the captions and which steps the form offers: it stays within the
    // wizard's nine pages.
    currentPage = page < 0 ? 0 : page > LastPage ? LastPage : page;
    UpdateCaption();
}

int DataExtractionView::Message(const Text& line) {
    Text word, rest;
    line.Token(word, rest);
    if (!m_pConfig) return Viewable::Message(line);
    if (word == "BrowseDefaultUtils") return BrowseDefaults(true) ? 1 : 0;
    if (word == "BrowseDefaultEconomics") return BrowseDefaults(false) ? 1 : 0;
    if (word == "BrowseSimulationFile") return BrowseSimulationFile() ? 1 : 0;
    if (word == "GoToNextPage" || word == "GoToPrevPage") {
        // At either end the page stays, and the user is told why nothing moved.
        const bool next = word == "GoToNextPage";
        if (currentPage == (next ? LastPage : 0)) {
            UpdateCaption();
            ErrorMsg(next ? "ExtractionWizardLastPage" : "ExtractionWizardFirstPage");
            return 0;
        }
        GoToPage(currentPage + (next ? 1 : -1));
        return 1;
    }
    if (word == "ModifyUtility" || word == "LockUtility") {
        utilityEditMode = word == "ModifyUtility" ? 1 : 0;
        return 1;
    }
    if (word == "BuildUtilityInfo") {
        FillStreamLists();
        return 1;
    }
    return Viewable::Message(line);
}

void DataExtractionView::ViewNotification(int kind, Viewable* from, const Text& form) {
    // The wizard lives in its own form ("extractionconfig", opened as the view's default form):
    // when that form closes, however it is named, the wizard goes with it (nothing of it is
    // touched after).
    const bool ownForm = form == "DefaultView" || (GetViewType() && form == GetViewType()->GetFormKey());
    if (kind == 1 && ownForm) {
        SendViewableMessage(this, "Delete");
        return;
    }
    Viewable::ViewNotification(kind, from, form);
}

// ---------------------------------------------------------------- dispatch

double DataExtractionView::Value(const VarDescription& var) {
    double out = kEmpty;
    return Rows().Value(*this, var, out) ? out : Viewable::Value(var);
}

int DataExtractionView::Specify(const VarDescription& var, double value) {
    int result = 0;
    return Rows().Specify(*this, var, value, result) ? result : Viewable::Specify(var, value);
}

Text DataExtractionView::TextValue(const VarDescription& var) {
    Text out;
    return Rows().TextValue(*this, var, out) ? out : Viewable::TextValue(var);
}

int DataExtractionView::SpecifyText(const VarDescription& var, const Text& text) {
    int result = 0;
    return Rows().SpecifyText(*this, var, text, result) ? result : Viewable::SpecifyText(var, text);
}

int DataExtractionView::Dimensions(const VarDescription& var, DimInfo& dims) {
    int added = 0;
    return Rows().Dimensions(*this, var, dims, added) ? added : Viewable::Dimensions(var, dims);
}

void DataExtractionView::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    if (!Rows().VariableStatus(var, state)) Viewable::VariableStatus(var, state, detail);
}

int DataExtractionView::GetEDVarType(const VarDescription& var) {
    int type = 0;
    return Rows().EDVarType(var, type) ? type : Viewable::GetEDVarType(var);
}
