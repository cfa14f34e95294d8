#pragma once
// The data-extraction wizard of a scenario (form "extractionconfig"): the default-utility and
// capital-cost default files, the simulator file and its kind, the sub-flowsheets to read, the
// segmentation and live-steam settings, and after an extraction the utility of each heater and
// cooler of the existing network ("SimulationBaseCase"). It edits the scenario's extraction
// settings and the host values "SimulationUtilityDatabase" and "UtilitiesFromSimulation".
//
// Nine pages, 0 to 8; pages 1 to 7 are the seven steps. The scenario viewer owns it as a child;
// the host opens one on a scenario of its own. Its record is the total-site flag and the
// scenario link; a recalled wizard starts on page 0 like a new one.
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/FormDescription.h"
#include "lumeth/VarEnumInfo.h"
#include "lumeth/Viewable.h"

#include <memory>

class CNode;
class DataExtractionConfig;
class IHENDesign;

class DataExtractionView : public Viewable {
public:
    static constexpr const char* TypeName = "DataExtractionViewObject";
    static constexpr int ClassVersion = 1;
    static constexpr int LastPage = 8;
    static constexpr int NumberOfSteps = 7;
    // The design that holds the existing network of an extraction.
    static constexpr const char* BaseDesignName = IHeatIntegrationScenario::ExtractedNetworkDesignName;

    DataExtractionView(Viewable* parent, DataExtractionConfig* config, IHeatIntegrationScenario* scenario);
    explicit DataExtractionView(ObjectInstanceInfo& info);
    ~DataExtractionView() override;
    static Viewable* Create(ObjectInstanceInfo& info) { return new DataExtractionView(info); }
    // The form's variables and command words (the type registration's listing).
    static void DescribeForm(FormDescription& form);

    DataExtractionConfig* GetConfig() const { return m_pConfig; }
    IHeatIntegrationScenario* GetScenario() const { return m_pScenario; }
    int GetCurrentPage() const { return currentPage; }
    int GetUtilityEditMode() const { return utilityEditMode; }
    bool AllowsProIIFiles() const { return allowProIIFiles != 0; }
    void SetAllowProIIFiles(bool allow) { allowProIIFiles = allow ? 1 : 0; }

    // "VelmorFileToExtract" (empty without settings) and "SimulatorFileType" (-32767 without).
    Text GetFileToExtract() const;
    double GetSimulatorFileType() const;
    // The title: the file to extract on pages 0 and 8, with the step on the others.
    void UpdateCaption();
    // The names of the scenario's hot and cold utilities, in the scenario's order.
    void FillStreamLists();
    const VarEnumInfo& HotUtilityNames() const { return *hotUtilityNames; }
    const VarEnumInfo& ColdUtilityNames() const { return *coldUtilityNames; }

    // ---- hooks ----
    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int SpecifyText(const VarDescription& var, const Text& text) override;
    int Message(const Text& line) override;
    VarEnumInfo* GetEnumInfo(const VariableNameInfo& var) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    int GetEDVarType(const VarDescription& var) override;
    void ViewNotification(int kind, Viewable* from, const Text& form) override;
    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;

private:
    using Form = ViewForm<DataExtractionView>;
    static const Form& Rows();

    // Form members (one per kind of row).
    double SettingValue(const VarDescription& var);
    int SpecifySetting(const VarDescription& var, double value);
    double HostValue(const VarDescription& var);
    int SpecifyHostValue(const VarDescription& var, double value);
    double StateValue(const VarDescription& var);
    double SubFlowsheetValue(const VarDescription& var);
    int SpecifySubFlowsheet(const VarDescription& var, double value);
    double UtilityOfUnit(const VarDescription& var);
    int SpecifyUtilityOfUnit(const VarDescription& var, double value);
    Text FileText(const VarDescription& var);
    int SpecifyFileText(const VarDescription& var, const Text& text);
    Text ListText(const VarDescription& var);
    Text StaticText(const VarDescription& var);
    int ListSize(const VarDescription& var, DimInfo& dims);

    // A setting's number; false without settings or when the setting is missing.
    bool Setting(const char* name, double& out) const;
    void SetSetting(const char* name, double value);
    int NumberOfSubFlowsheets() const;
    IHENDesign* BaseDesign() const;
    CNode* UtilityUnit(bool heater, int index) const;
    // The utility stream a heater or cooler stands on; empty when it stands on none.
    CPString UtilityStreamOf(CNode* unit, bool heater) const;
    // Reads a defaults file into the scenario's default-utility manager (kind 2 utilities, 1
    // capital costs); shows "RecallPreferenceError" when it cannot.
    bool ReadDefaultsFile(const Text& path, int kind);
    bool BrowseDefaults(bool utilities);
    bool BrowseSimulationFile();
    void GoToPage(int page);

    DataExtractionConfig* m_pConfig = nullptr;
    IHeatIntegrationScenario* m_pScenario = nullptr;
    int currentPage = 0;
    int utilityEditMode = 0;
    std::unique_ptr<VarEnumInfo> hotUtilityNames = std::make_unique<VarEnumInfo>();
    std::unique_ptr<VarEnumInfo> coldUtilityNames = std::make_unique<VarEnumInfo>();
    int allowProIIFiles = 1;
};
