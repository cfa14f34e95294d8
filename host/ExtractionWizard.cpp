#include "host/ExtractionWizard.h"

#include "brasko/IDefaultUtilityManager.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "host/ModuleLoader.h"
#include "host/OutputText.h"

#include <cstdio>
#include <set>

namespace {

using OpenFn = void* (*)(IHeatIntegrationScenario*);
using CloseFn = void (*)(void*);
using SpecifyFn = int (*)(void*, const char*, double, char*, int);
using CommandFn = int (*)(void*, const char*, char*, int);
using TextFn = int (*)(void*, const char*, char*, int);
using DimensionFn = int (*)(void*, const char*);
using ChoiceFn = int (*)(void*, const char*, int, double*, char*, int);
using ListFn = int (*)(IHeatIntegrationScenario*, const char*, char*, int);
using SetSettingFn = int (*)(IHeatIntegrationScenario*, const char*, double);

constexpr int kMessageBytes = 2048;

// Where each setting goes in the wizard's form. The form asks whether to leave a live-steam
// segment out, the file whether to use it: the two are each other's inverse.
struct Route {
    const char* setting;
    const char* address;
    bool inverted;
};
constexpr Route kRoutes[] = {
    {"DoIUseSegments", "Switch.201", false},
    {"DoIRunSimAnalysis", "Switch.204", false},
    {"SegmentOnPhaseChange", "Switch.205", false},
    {"UseOnlySaturatedLiveSteam", "Switch.206", false},
    {"ShiftTempsForPumps", "Switch.207", false},
    {"UseSubCoolLiveSteam", "Switch.208", true},
    {"UseSuperHeatLiveSteam", "Switch.209", true},
    {"DoIExtractLiveSteam", "Switch.211", false},
    {"SimulationUtilityDatabase", "Switch.212", false},
    {"UtilitiesFromSimulation", "Switch.213", false},
    {"DoIExtractReactionHeat", "Switch.414", false},
    {"SegmentTolerances", "ExtraData.210", false},
    {"MaxNumberOfSegments", "ExtraData.211", false},
    {"SimulatorFileType", "ExtraData.300", false},
    {"UserSuppliedAmbientTemperature", "Temperature.201", false},
};

// The wizard's variables of the heaters (side 0) and coolers (side 1) of the existing network.
const char* const kUtilityOf[] = {"Enum.264", "Enum.265"};
const char* const kUnitNames[] = {"ExtraData.260", "ExtraData.261"};
const char* const kUnitKind[] = {"heater", "cooler"};
const char* const kSideName[] = {"hot", "cold"};

std::string trim(const std::string& s) {
    const std::size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

std::string number(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.10g", v);
    return text;
}

}  // namespace

bool ParseUtilityAssignment(const std::string& argument, UtilityAssignment& out) {
    // Utilities' names hold no "=", units' may ("E=1"): the last one parts the two.
    const std::size_t eq = argument.rfind('=');
    if (eq == std::string::npos) return false;
    out.unit = trim(argument.substr(0, eq));
    out.utility = trim(argument.substr(eq + 1));
    return !out.unit.empty() && !out.utility.empty();
}

ExtractionWizard::~ExtractionWizard() {
    if (auto close = reinterpret_cast<CloseFn>(Entry("KestrinExtractionWizardClose"))) close(m_wizard);
}

void* ExtractionWizard::Entry(const char* name) const { return m_module.Entry(name); }

bool ExtractionWizard::Open(IHeatIntegrationScenario* scenario, std::string& error) {
    auto open = reinterpret_cast<OpenFn>(Entry("KestrinExtractionWizardOpen"));
    for (const char* name : {"KestrinExtractionWizardClose", "KestrinExtractionWizardSpecify",
                             "KestrinExtractionWizardCommand", "KestrinExtractionWizardText",
                             "KestrinExtractionWizardDimension", "KestrinExtractionWizardChoice",
                             "KestrinListCaseSubFlowsheets"})
        if (!Entry(name)) open = nullptr;
    m_scenario = scenario;
    m_wizard = open ? open(scenario) : nullptr;
    if (!m_wizard) error = m_module.Path() + " lacks the extraction wizard";
    return m_wizard != nullptr;
}

bool ExtractionWizard::Command(const char* line, std::string& error) {
    auto command = reinterpret_cast<CommandFn>(Entry("KestrinExtractionWizardCommand"));
    std::vector<char> message(kMessageBytes, '\0');
    if (command(m_wizard, line, message.data(), kMessageBytes) == 1) return true;
    error = std::string("the wizard refused ") + line + ": " + message.data();
    return false;
}

bool ExtractionWizard::ApplySettings(const std::string& document, const std::string& settingsFile,
                                     const std::vector<ExtractionSetting>& settings, std::string& error) {
    auto specify = reinterpret_cast<SpecifyFn>(Entry("KestrinExtractionWizardSpecify"));
    auto setHostValue = reinterpret_cast<SetSettingFn>(Entry("KestrinSetExtractionSetting"));
    std::vector<char> message(kMessageBytes, '\0');
    std::vector<const ExtractionSetting*> named;
    for (const ExtractionSetting& s : settings) {
        const std::string where = settingsFile + ":" + std::to_string(s.line) + ": ";
        if (s.subFlowsheet) {
            named.push_back(&s);
            continue;
        }
        if (s.name == "UseProIIFile") {
            if (!setHostValue || setHostValue(m_scenario, s.name.c_str(), s.value) != 1) {
                error = where + "UseProIIFile cannot be set";
                return false;
            }
            continue;
        }
        const Route* route = nullptr;
        for (const Route& r : kRoutes)
            if (s.name == r.setting) route = &r;
        if (!route) {
            error = where + "unknown setting " + s.name;
            return false;
        }
        const double value = route->inverted ? (s.value == 0.0 ? 1.0 : 0.0) : s.value;
        if (specify(m_wizard, route->address, value, message.data(), kMessageBytes) != 1) {
            error = where + s.name + " = " + number(s.value) + " refused: " + message.data();
            return false;
        }
    }
    if (named.empty()) return true;

    // The case's own sub-flowsheets, each chosen when the file names it.
    auto list = reinterpret_cast<ListFn>(Entry("KestrinListCaseSubFlowsheets"));
    auto text = reinterpret_cast<TextFn>(Entry("KestrinExtractionWizardText"));
    auto dimension = reinterpret_cast<DimensionFn>(Entry("KestrinExtractionWizardDimension"));
    if (list(m_scenario, document.c_str(), message.data(), kMessageBytes) < 0) {
        error = std::string(message.data()) + "; nothing was extracted";
        return false;
    }
    std::vector<std::string> listed;
    for (int i = 0, n = dimension(m_wizard, "ExtraData.215"); i < n; ++i) {
        std::vector<char> name(static_cast<std::size_t>(text(m_wizard, ("ExtraData.215." + std::to_string(i)).c_str(),
                                                             nullptr, 0)));
        text(m_wizard, ("ExtraData.215." + std::to_string(i)).c_str(), name.data(), static_cast<int>(name.size()));
        listed.emplace_back(name.data());
    }
    std::set<std::string> chosen;
    for (const ExtractionSetting* s : named) {
        bool found = false;
        for (const std::string& l : listed) found = found || l == s->text;
        if (!found) {
            std::string known;
            for (const std::string& l : listed) known += (known.empty() ? "" : ", ") + PrintableText(l, 80);
            error = settingsFile + ":" + std::to_string(s->line) + ": SubFlowsheet " + PrintableText(s->text, 80) +
                    " is not a sub-flowsheet of " + document + (known.empty() ? "" : " (it has " + known + ")");
            return false;
        }
        chosen.insert(s->text);
    }
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const std::string address = "Switch.217." + std::to_string(i);
        if (specify(m_wizard, address.c_str(), chosen.count(listed[i]) ? 1.0 : 0.0, message.data(), kMessageBytes) != 1) {
            error = settingsFile + ": SubFlowsheet " + PrintableText(listed[i], 80) + " refused: " + message.data();
            return false;
        }
    }
    return true;
}

bool ExtractionWizard::FindUnit(const std::string& unit, int& side, int& index) {
    auto text = reinterpret_cast<TextFn>(Entry("KestrinExtractionWizardText"));
    auto dimension = reinterpret_cast<DimensionFn>(Entry("KestrinExtractionWizardDimension"));
    for (side = 0; side < 2; ++side)
        for (index = 0; index < dimension(m_wizard, kUnitNames[side]); ++index) {
            const std::string address = std::string(kUnitNames[side]) + "." + std::to_string(index);
            std::vector<char> name(static_cast<std::size_t>(text(m_wizard, address.c_str(), nullptr, 0)));
            text(m_wizard, address.c_str(), name.data(), static_cast<int>(name.size()));
            if (unit == name.data()) return true;
        }
    return false;
}

bool ExtractionWizard::FindChoice(int side, const std::string& utility, double& value) {
    auto choice = reinterpret_cast<ChoiceFn>(Entry("KestrinExtractionWizardChoice"));
    std::vector<char> name(1024, '\0');
    for (int k = 0; choice(m_wizard, kUtilityOf[side], k, &value, name.data(), 1024) == 1; ++k)
        if (utility == name.data()) return true;
    return false;
}

bool ExtractionWizard::Assign(const std::vector<UtilityAssignment>& assignments, std::string& error) {
    auto specify = reinterpret_cast<SpecifyFn>(Entry("KestrinExtractionWizardSpecify"));
    std::vector<char> message(kMessageBytes, '\0');
    for (const UtilityAssignment& a : assignments) {
        const std::string what = "--assign " + PrintableText(a.unit, 80) + "=" + PrintableText(a.utility, 80) + ": ";
        if (!Command("BuildUtilityInfo", error)) return false;
        int side = 0, index = 0;
        if (!FindUnit(a.unit, side, index)) {
            error = what + PrintableText(a.unit, 80) + " is no heater or cooler of the existing network";
            return false;
        }
        double value = 0.0;
        if (!FindChoice(side, a.utility, value)) {
            double other = 0.0;
            if (FindChoice(1 - side, a.utility, other)) {
                error = what + PrintableText(a.utility, 80) + " is a " + kSideName[1 - side] + " utility; " +
                        kUnitKind[side] + " " + PrintableText(a.unit, 80) + " takes a " + kSideName[side] + " one";
                return false;
            }
            // A default utility the scenario does not hold yet joins it as a utility stream.
            IDefaultUtilityManager* manager = nullptr;
            int at = -1;
            if (m_scenario->GetDefaultUtilityManager(manager) == 1 && manager)
                for (int i = 0; i < manager->GetNumberOfDefaultUtilities() && at < 0; ++i)
                    if (const char* name = manager->GetDefaultUtilityName(i))
                        if (a.utility == name) at = i;
            if (at < 0) {
                // The names a unit of that side takes, so that a misspelt one is seen at once.
                std::string names;
                std::set<std::string> listed;
                const auto list = [&](const char* name) {
                    if (name && *name && listed.insert(name).second)
                        names += (names.empty() ? "" : ", ") + PrintableText(name, 40);
                };
                std::vector<char> offered(1024, '\0');
                double ignored = 0.0;
                auto choice = reinterpret_cast<ChoiceFn>(Entry("KestrinExtractionWizardChoice"));
                for (int k = 0; choice(m_wizard, kUtilityOf[side], k, &ignored, offered.data(), 1024) == 1; ++k)
                    list(offered.data());
                for (int i = 0; manager && i < manager->GetNumberOfDefaultUtilities(); ++i)
                    if (manager->GetValue(i) == static_cast<SegmentHeatType>(side)) list(manager->GetDefaultUtilityName(i));
                error = what + PrintableText(a.utility, 80) + " is no utility of the scenario nor a default utility" +
                        (names.empty() ? std::string() : " (a " + std::string(kUnitKind[side]) + " takes " + names + ")");
                return false;
            }
            if (manager->GetValue(at) != static_cast<SegmentHeatType>(side)) {
                error = what + PrintableText(a.utility, 80) + " is a " + kSideName[1 - side] + " utility; " +
                        kUnitKind[side] + " " + PrintableText(a.unit, 80) + " takes a " + kSideName[side] + " one";
                return false;
            }
            if (m_scenario->AddStream(a.utility.c_str(), 1) != 1) {
                error = what + "the scenario refused the utility " + PrintableText(a.utility, 80);
                return false;
            }
            if (!Command("BuildUtilityInfo", error)) return false;
            if (!FindChoice(side, a.utility, value)) {
                error = what + PrintableText(a.utility, 80) + " is not offered for a " + kUnitKind[side];
                return false;
            }
        }
        const std::string address = std::string(kUtilityOf[side]) + "." + std::to_string(index);
        if (specify(m_wizard, address.c_str(), value, message.data(), kMessageBytes) != 1) {
            error = what + PrintableText(a.unit, 80) + " could not be moved: " + message.data();
            return false;
        }
    }
    return true;
}
