#pragma once
// The extraction wizard of `kestrin-host extract CASEFILE`: the settings of a settings file are
// typed into the wizard's variables, as a user fills in its form, so that each is checked as the
// wizard checks it; after the extraction, --assign UNIT=UTILITY gives a heater or cooler of the
// existing network another utility through the wizard's utility lists.
#include <string>
#include <vector>

class IHeatIntegrationScenario;
class ModuleLoader;

// One line of a settings file: `name = value`, or `SubFlowsheet = name`.
struct ExtractionSetting {
    int line = 0;
    std::string name;
    double value = 0.0;
    bool subFlowsheet = false;
    std::string text;
};

// One --assign argument.
struct UtilityAssignment {
    std::string unit, utility;
};

// UNIT=UTILITY with both names given (blanks around them dropped); false otherwise.
bool ParseUtilityAssignment(const std::string& argument, UtilityAssignment& out);

class ExtractionWizard {
public:
    explicit ExtractionWizard(ModuleLoader& module) : m_module(module) {}
    ~ExtractionWizard();
    ExtractionWizard(const ExtractionWizard&) = delete;
    ExtractionWizard& operator=(const ExtractionWizard&) = delete;

    // Opens the module's wizard on the scenario; false with `error` when the module has none.
    bool Open(IHeatIntegrationScenario* scenario, std::string& error);
    // Every setting in file order through its wizard variable ("UseProIIFile" stays a host
    // value); then, when sub-flowsheets are named, the case's sub-flowsheets are listed and each
    // is chosen when named and left out otherwise. The first refusal stops with `error` naming
    // the file, the line, the setting and the wizard's message.
    bool ApplySettings(const std::string& document, const std::string& settingsFile,
                       const std::vector<ExtractionSetting>& settings, std::string& error);
    // After the extraction: each unit onto its utility, in order; a default utility the
    // scenario lacks is added as a utility stream first. The first that cannot be done stops.
    bool Assign(const std::vector<UtilityAssignment>& assignments, std::string& error);

private:
    void* Entry(const char* name) const;
    bool Command(const char* line, std::string& error);
    // The position of the unit among the network's heaters (side 0) or coolers (side 1).
    bool FindUnit(const std::string& unit, int& side, int& index);
    // The choice value of a utility in the side's list; false when the list has none of that name.
    bool FindChoice(int side, const std::string& utility, double& value);

    ModuleLoader& m_module;
    IHeatIntegrationScenario* m_scenario = nullptr;
    void* m_wizard = nullptr;
};
