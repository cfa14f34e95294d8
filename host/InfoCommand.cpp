#include "host/InfoCommand.h"

#include "brasko/DefaultUtilityTypes.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "host/HostSession.h"
#include "host/ModuleLoader.h"
#include "host/CommandLine.h"
#include "host/OutputText.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {
// A utility's price is held per kJ; stream tables give it per kW and year (365 days).
constexpr double kSecondsPerYear = 31536000.0;

std::string moduleDescription(ModuleLoader& module, std::string& error) {
    using SetupFn = void (*)();
    using DescribeFn = int (*)(char*, int);
    auto setup = reinterpret_cast<SetupFn>(module.Entry("SetupDLL"));
    auto describe = reinterpret_cast<DescribeFn>(module.Entry("KestrinDescribeModule"));
    if (!setup || !describe) {
        error = module.Path() + " lacks the module entries";
        return std::string();
    }
    setup();
    const int needed = describe(nullptr, 0);
    std::vector<char> text(static_cast<std::size_t>(needed > 0 ? needed : 1));
    describe(text.data(), static_cast<int>(text.size()));
    return text.data();
}

// The default utilities a stream table's name-only utility row takes, as a new scenario's
// manager holds them.
std::string defaultUtilities(IDefaultUtilityManager& defaults) {
    std::string out = "default utilities (a utility row with only a name takes these):\n";
    char line[256];
    std::snprintf(line, sizeof line, "  %-26s %-5s %9s %9s %10s %14s %9s\n", "name", "side", "supply C", "target C",
                  "h kW/m2.C", "cost /kW.year", "dtmin C");
    out += line;
    for (int i = 0; i < defaults.GetNumberOfDefaultUtilities(); ++i) {
        const char* name = defaults.GetDefaultUtilityName(i);
        if (!name) continue;
        const bool hot = static_cast<int>(defaults.GetValue(i, DUP_HeatType)) == static_cast<int>(SHT_Hot);
        std::snprintf(line, sizeof line, "  %-26s %-5s %9g %9g %10g %14.6g %9g\n", PrintableText(name, 26).c_str(),
                      hot ? "hot" : "cold", defaults.GetValue(i, DUP_SupplyTemperature),
                      defaults.GetValue(i, DUP_TargetTemperature), defaults.GetValue(i, DUP_FilmCoefficient),
                      defaults.GetValue(i, DUP_Cost) * kSecondsPerYear, defaults.GetValue(i, DUP_DTminContribution));
        out += line;
    }
    out += "  (cost per kW and year of duty, negative for a credit; dtmin: the approach the utility asks for)\n";
    return out;
}

std::string capitalCostLaw(const IHeatIntegrationScenario& scenario) {
    const auto item = [&](int type) { return scenario.GetEconomicData(type, "DEFAULT"); };
    char text[512];
    std::snprintf(text, sizeof text,
                  "default capital cost law (set \"DEFAULT\"): %s, A in m2\n"
                  "  a (fixed=) %g  b (area=) %g  c (exponent=) %g\n"
                  "  interest= %g per year  life= %g years  hours= %g per year\n",
                  // a is paid once for each unit; the area term once for each shell, or once for
                  // the whole unit when the law costs units.
                  item(EDT_CostLaw) == 1.0 ? "a + b A^c per unit"
                                           : "a per unit + b (A/shell)^c per shell",
                  item(EDT_FixedCostPerUnit),
                  item(EDT_AreaCostCoefficient), item(EDT_AreaExponent), item(EDT_RateOfReturn), item(EDT_PlantLife),
                  item(EDT_OperatingHours));
    return text;
}
}  // namespace

int RunInfo(ModuleLoader& module) {
    std::string error;
    const std::string description = moduleDescription(module, error);
    if (!error.empty()) return FailCommand(error);
    HostSession session(module);
    IHeatIntegrationScenario* scenario = nullptr;
    if (session.Start(error)) scenario = session.NewScenario("defaults", error);
    if (!scenario) return FailCommand(error);
    IDefaultUtilityManager* defaults = nullptr;
    if (scenario->GetDefaultUtilityManager(defaults) != 1 || !defaults)
        return FailCommand("the scenario has no default-utility manager");
    std::fputs(description.c_str(), stdout);
    std::fputs(defaultUtilities(*defaults).c_str(), stdout);
    std::fputs(capitalCostLaw(*scenario).c_str(), stdout);
    return 0;
}
