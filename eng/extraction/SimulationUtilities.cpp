// The simulator case's own utilities ("ppUtilityStream" items, taken when the host's
// "SimulationUtilityDatabase" is 1) become default utilities of the scenario, so that the
// extracted streams and the existing network can use utilities of the same names.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "brasko/DefaultUtilityTypes.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/extraction/CaseItemAccess.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"

#include <cmath>

namespace {
// A price this close to zero is stored as this: the manager takes a zero price for a missing one.
constexpr double kSmallestCost = 1e-15;

struct Parameter {
    const char* value;
    DefaultUtilityParameter parameter;
};
const Parameter kBeforeMark[] = {{"InletTemperature", DUP_SupplyTemperature},
                                 {"OutletTemperature", DUP_TargetTemperature},
                                 {"HeatTransferCoefficient", DUP_FilmCoefficient},
                                 {"IsHTCCalc", DUP_EmptyFilmCoefficient}};
const Parameter kAfterMark[] = {{"CostIndex", DUP_Cost},
                                {"DeltaTmin", DUP_DTminContribution},
                                {"Viscosity", DUP_Viscosity},
                                {"ThermalConductivity", DUP_ThermalConductivity},
                                {"MassDensity", DUP_MassDensity},
                                {"MassHeatCapacity", DUP_SpecificHeat},
                                {"MassEmissionsCoefficient", DUP_EmissionsCoefficient}};
}  // namespace

void VelmorToTarsilImport::ImportSimulationUtilities(bool updateStreams) {
    IDefaultUtilityManager* manager = nullptr;
    if (!m_scenario || m_scenario->GetDefaultUtilityManager(manager) != 1 || !manager) return;
    for (CPItem* item : m_utilityItems) {
        const CPString name = item->_get_szName();
        manager->AddDefaultUtility(name.c_str());
        auto set = [&](const Parameter& p) {
            double v = 0.0;
            if (!KnownNumber(item, p.value, v)) return;
            if (p.parameter == DUP_Cost && std::fabs(v) < kSmallestCost) v = kSmallestCost;
            manager->SetValue(name.c_str(), p.parameter, v);
        };
        for (const Parameter& p : kBeforeMark) set(p);
        manager->SetValue(name.c_str(), DUP_SimulationUtility, 1.0);
        for (const Parameter& p : kAfterMark) set(p);
        IHeatIntegrationStream* stream = nullptr;
        if (updateStreams && m_scenario->GetStream(name, stream) && stream) m_scenario->UpdateStreamFromDefaultUtility(name);
    }
}
