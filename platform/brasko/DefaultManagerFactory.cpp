// Default-utility manager: the factory set of utilities, coefficient defaults and economic values,
// and the defaults files that may replace the latter two.
#include "brasko/DefaultManager.h"

#include "brasko/ConfigurationStore.h"
#include "brasko/LurmetBinaryFile.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace {
struct FactoryUtility {
    const char* name;
    SegmentHeatType side;
    double supply, target, filmCoefficient, cost, rangeUpper, rangeLower, dtminContribution;
    const char* exchangerType;
    double viscosity, thermalConductivity, massDensity, specificHeat;
};

constexpr double E = -32767.0;

// Temperatures and approaches in C, film coefficients in kW/(m2 C), cost per kJ (negative: the
// utility earns a credit). The range columns are overwritten by CalculateARTemp.
const FactoryUtility kFactoryUtilities[] = {
    {"LP Steam", SHT_Hot, 125, 124, 6, 1.9e-06, 115, -20, 10, "Steam Reboiler", 0.0132, 0.027, 558, 2196.4},
    {"MP Steam", SHT_Hot, 175, 174, 6, 2.2e-06, 160, 115, 10, "Steam Reboiler", 0.0152, 0.031, 493, 1981.4},
    {"HP Steam", SHT_Hot, 250, 249, 6, 2.5e-06, 240, 165, 10, "Steam Reboiler", 0.0182, 0.038, 421, 1703.1},
    {"Hot Oil", SHT_Hot, 280, 250, 0.232282, 3.5e-06, 275, 255, 5, "Shell & Tube", 10, 0.17, 820, 3},
    {"Fired Heat (1000)", SHT_Hot, 1000, 400, 0.111, 4.24911e-06, 950, 140, 25, "Fired Heater", 1.79e-05, 2.54e-05, 1.225, 1},
    {"Fired Heat (2000)", SHT_Hot, 2000, 400, 0.111, 6.34196e-06, 1900, 950, 30, "Fired Heater", 1.79e-05, 2.54e-05, 1.225, 1},
    {"Very High Temperature", SHT_Hot, 3000, 2999, 0.111, 8.9e-06, 3000, 1900, 10, "Fired Heater", 1.79e-05, 2.54e-05, 1.225, 1},
    {"Refrigerant 1 Generation", SHT_Hot, -24, -25, 1.3, -2.7115e-06, -30, -45, 3, "Shell & Tube", 5.5, 0.56, 1200, 4},
    {"Refrigerant 2 Generation", SHT_Hot, -39, -40, 1.3, -3.32953e-06, -45, -68, 3, "Shell & Tube", 0.00671, 0.0118, 2.271, 1.341},
    {"Refrigerant 3 Generation", SHT_Hot, -64, -65, 1.3, -5.81558e-06, -68, -105, 2, "Shell & Tube", 0.00671, 0.0118, 2.271, 1.341},
    {"Refrigerant 4 Generation", SHT_Hot, -102, -103, 1.3, -8.44749e-06, -105, -273, 2, "Shell & Tube", 0.00671, 0.0118, 2.271, 1.341},
    {"Cooling Water", SHT_Cold, 20, 25, 3.75, 2.12456e-07, 135, 30, 5, "Shell & Tube", 1, 0.603, 998, 4.183},
    {"Air", SHT_Cold, 30, 35, 0.111, 1e-09, E, E, 10, "Air Cooler", 1.79e-05, 2.54e-05, 1.225, 1},
    {"LP Steam Generation", SHT_Cold, 124, 125, 6, -1.89e-06, 185, 135, 10, "Steam Generator", 0.0132, 0.027, 558, 2196.4},
    {"MP Steam Generation", SHT_Cold, 174, 175, 6, -2.19e-06, 260, 185, 10, "Steam Generator", 0.0152, 0.031, 493, 1981.4},
    {"HP Steam Generation", SHT_Cold, 249, 250, 6, -2.49e-06, 1800, 260, 10, "Steam Generator", 0.0182, 0.038, 421, 1703.1},
    {"Refrigerant 1", SHT_Cold, -25, -24, 1.3, 2.73877e-06, 30, -20, 3, "Shell & Tube", 5.5, 0.56, 1200, 4},
    {"Refrigerant 2", SHT_Cold, -40, -39, 1.3, 3.36441e-06, -20, -35, 3, "Shell & Tube", 0.00671, 0.0118, 2.271, 1.341},
    {"Refrigerant 3", SHT_Cold, -65, -64, 1.3, 5.87582e-06, -35, -62, 2, "Shell & Tube", 0.00671, 0.0118, 2.271, 1.341},
    {"Refrigerant 4", SHT_Cold, -103, -102, 1.3, 8.5311e-06, -62, -100, 2, "Shell & Tube", 0.00671, 0.0118, 2.271, 1.341},
    {"Very Low Temperature", SHT_Cold, -270, -269, 1.3, 8.9e-06, -100, -273, 2, "Shell & Tube", 0.00671, 0.0118, 2.271, 1.341},
};

struct FactoryCoefficient {
    const char* name;
    double value;  // kW/(m2 C)
};

// The first entry is the coefficient a new stream takes.
const FactoryCoefficient kFirstCoefficientTable[] = {
    {"DEFAULT", 0.2},
    {"Aromatic Vapor-Stream Azeotrope", 0.393092},
    {"Brine", 0.54575},
    {"Caustic Soda Solution", 1.6259},
    {"Cutback Asphalt", 0.0881069},
    {"Demineralized Water", 20.44},
    {"Ethanol Amine (MEA or DEA) 10-25% solutions", 1.551311},
    {"Fuel Oil", 0.118842},
    {"Heavy Oils", 0.1503},
    {"High-boiling Hydrocarbons", 0.21549},
    {"Hydrogen-rich Reformer Stream", 0.777639},
    {"Jacket Water", 3.66},
    {"Kerosene", 0.301534},
    {"Low-boiling Hydrocarbons", 1.153916},
    {"Low Molecular Weight Hydrocarbon", 0.753663},
    {"Lube Oil (High Viscosity)", 0.393092},
    {"Lube Oil (Low Viscosity)", 0.232282},
    {"Organic Solvents high Non-Condensables", 0.249278},
    {"Naphtha", 0.393092},
    {"Gasoline", 0.552454},
    {"Organic Solvents low Non-Condensables", 0.595023},
    {"Organic Solvents (Liquid-Liquid)", 0.730029},
    {"Stabilizer Reflux Vapors", 0.730029},
    {"Sulfur Dioxide", 1.6259},
    {"Water", 2.5551},
    {"Wax Distillate", 0.118842},
};

constexpr double kFactoryRateOfReturn = 0.1;     // per year
constexpr double kFactoryPlantLife = 5.0;        // years
constexpr double kFactoryOperatingHours = 8765.76;  // hours per year

// Folder and file name the configuration gives a key, joined; false when no file name is set or
// no regular file is there.
bool LocateDefaultsFile(const ConfigurationStore& configuration, const char* key, CPString& path) {
    const CPString name = GetDefaultFileName(configuration, key);
    if (name.empty()) return false;
    CPString folder;
    std::filesystem::path full(name.c_str());
    if (full.is_relative() && FindFilePath(configuration, key, folder)) full = std::filesystem::path(folder.c_str()) / full;
    std::error_code error;
    if (!std::filesystem::is_regular_file(full, error)) return false;
    path = full.string();
    return true;
}
}  // namespace

bool DefaultManager::FactoryUtilityEarnsCredit(const char* name) {
    if (!name) return false;
    for (const FactoryUtility& u : kFactoryUtilities)
        if (std::string_view(u.name) == name) return u.cost < 0.0;
    return false;
}

void DefaultManager::AddFactoryUtilities() {
    for (const FactoryUtility& u : kFactoryUtilities)
        AddDefaultUtility(u.name, u.side, u.supply, u.target, u.filmCoefficient, u.cost, u.rangeUpper, u.rangeLower,
                          u.dtminContribution, u.exchangerType, u.viscosity, u.thermalConductivity, u.massDensity,
                          u.specificHeat);
}

// The second table is the first with "<default>" in place of "DEFAULT" and "Condensing/Reboiling
// Steam" after "Caustic Soda Solution"; added after the first, only those two are new.
void DefaultManager::AddCoefficientTable(bool second) {
    for (const FactoryCoefficient& c : kFirstCoefficientTable) {
        const CPString name(c.name);
        AddHTCDefaultValue(second && name == "DEFAULT" ? "<default>" : c.name, c.value, nullptr);
        if (second && name == "Caustic Soda Solution") AddHTCDefaultValue("Condensing/Reboiling Steam", 6.0, nullptr);
    }
}

bool DefaultManager::ReadDefaultsFileFor(const ConfigurationStore& configuration, const char* key,
                                         StoreRecallType type) {
    CPString path;
    return LocateDefaultsFile(configuration, key, path) && ReadDefaultsFile(path, type);
}

void DefaultManager::SetUpDefaults() { SetUpDefaults(GetConfigurationStore()); }

void DefaultManager::SetUpDefaults(const ConfigurationStore& configuration) {
    m_utilities.clear();
    AddFactoryUtilities();
    CalculateARTemp();
    AddCoefficientTable(false);
    if (!ReadDefaultsFileFor(configuration, kCoefficientDefaultsKey, SRT_Coefficients)) AddCoefficientTable(true);
    if (!ReadDefaultsFileFor(configuration, kCapitalCostDefaultsKey, SRT_Economics)) {
        SetEconomicData(EDT_RateOfReturn, kFactoryRateOfReturn, kDefaultSetName);
        SetEconomicData(EDT_PlantLife, kFactoryPlantLife, kDefaultSetName);
        SetEconomicData(EDT_OperatingHours, kFactoryOperatingHours, kDefaultSetName);
    }
}
