#include "module/LoadSteps.h"

#include "brasko/SteamProperties.h"
#include "eng/design/HENCalculatorEquation.h"
#include "eng/design/HENCalculatorGenerators.h"
#include "eng/design/HENEvent.h"
#include "eng/model/CloneEngine.h"
#include "eng/model/Project.h"
#include "eng/model/TotalSite.h"
#include "eng/core/PropertyBounds.h"
#include "eng/core/ModuleEntry.h"
#include "eng/core/Registries.h"
#include "lumeth/Framework.h"
#include "views/ViewRegistration.h"

#include <initializer_list>

namespace {

// A load step: its name and what it does. A step whose class is not part of the module yet has
// no action; it keeps its place in the order so the class slots in without reordering.
struct LoadStep {
    const char* name;
    void (*action)(ModuleRegistries&);
};

constexpr int kRegistrySlots = 256;

void showSplash(ModuleRegistries&) { ShowSplashScreen(1, 0); }

void createNodeTypes(ModuleRegistries& r) { r.HENNodeTypeFactories = std::make_unique<CPDictionary>(kRegistrySlots); }
void createEquations(ModuleRegistries& r) { r.HENEquationRegistry = std::make_unique<CPDictionary>(kRegistrySlots); }
void createEvents(ModuleRegistries& r) { r.HENEventRegistry = std::make_unique<CPDictionary>(kRegistrySlots); }

template <int N>
void unitGenerator(ModuleRegistries&) { RegisterUnitEquationGenerator(N); }
template <int N>
void equationPrototype(ModuleRegistries&) { RegisterCalculatorEquation(N); }
template <int N>
void eventPrototype(ModuleRegistries&) { RegisterEventPrototype(N); }

void steamCriticalTemperature(ModuleRegistries& r) {
    r.SteamCriticalTemperature = SteamCriticalProperty("Temperature");
}
void steamCriticalPressure(ModuleRegistries&) { (void)SteamCriticalProperty("Pressure"); }
void steamCriticalVolume(ModuleRegistries&) { (void)SteamCriticalProperty("Volume"); }

void portHotInlet(ModuleRegistries& r) { r.PortNameHotInlet = "HotInlet"; }
void portHotOutlet(ModuleRegistries& r) { r.PortNameHotOutlet = "HotOutlet"; }
void portColdInlet(ModuleRegistries& r) { r.PortNameColdInlet = "ColdInlet"; }
void portColdOutlet(ModuleRegistries& r) { r.PortNameColdOutlet = "ColdOutlet"; }

void propertyBounds(ModuleRegistries& r) {
    r.PropertyBounds = std::make_unique<CPDictionary>(kRegistrySlots);
    for (const char* name : {"Viscosity", "ThermalConductivity", "Velocity", "MassDensity", "Diameter"})
        r.PropertyBounds->AddKeyString(name, new PropertyBound{1e-08, 1e+24}, 0);
}

void createEventNames(ModuleRegistries& r) { r.HENEventTypeNames.clear(); }
void initEventTypeNames(ModuleRegistries& r) {
    r.HENEventTypeNames = {"CleaningHENEvent",           "AdditionalAreaHENEvent",
                           "AdditionalShellHENEvent",    "SplitflowmodificationEvent",
                           "HeatExchangerRemovalEvent",  "HeatExchangerFoulingEvent",
                           "StreamFlowrateChangeEvent",  "InletTemperatureChangeEvent"};
}

// The fixed order of the load-time registrations. Classes of the network design, the clone
// engine, the project and the total site register at their steps once they are built.
const LoadStep kSteps[] = {
    {"ShowSplashScreen", showSplash},
    {"CloneEnginePrototype", RegisterCloneEnginePrototype},
    {"CreateHENNodeTypeFactories", createNodeTypes},
    {"NodeType htHeatExchanger", unitGenerator<0>},
    {"NodeType ppTee", unitGenerator<1>},
    {"NodeType ppMixer", unitGenerator<2>},
    {"NodeType htHeater", unitGenerator<3>},
    {"CreateHENEquationRegistry", createEquations},
    {"Equation HeatExchangerTotalHeatBalance", equationPrototype<0>},
    {"Equation HotSideHeatExchangerHeatBalance", equationPrototype<1>},
    {"Equation ColdSideHeatExchangerHeatBalance", equationPrototype<2>},
    {"Equation DummyHeatExchangerHeatBalance", equationPrototype<3>},
    {"Equation HeatExchangerArea", equationPrototype<4>},
    {"Equation HotSideHeatExchangerMassBalance", equationPrototype<5>},
    {"Equation ColdSideHeatExchangerMassBalance", equationPrototype<6>},
    {"Equation DummyHeatExchangerMassBalance", equationPrototype<7>},
    {"Equation HighEndHeatExchangerDeltaT", equationPrototype<8>},
    {"Equation LowEndHeatExchangerDeltaT", equationPrototype<9>},
    {"Equation SplitterMassBalance", equationPrototype<10>},
    {"Equation SplitterPercentBalance", equationPrototype<11>},
    {"Equation SplitterHeatBalance", equationPrototype<12>},
    {"Equation MixerMassBalance", equationPrototype<13>},
    {"Equation MixerHeatBalance", equationPrototype<14>},
    {"SteamCriticalTemperature", steamCriticalTemperature},
    {"SteamCriticalPressure", steamCriticalPressure},
    {"SteamCriticalVolume", steamCriticalVolume},
    {"PortNameHotInlet", portHotInlet},
    {"PortNameHotOutlet", portHotOutlet},
    {"PortNameColdInlet", portColdInlet},
    {"PortNameColdOutlet", portColdOutlet},
    {"ProjectPrototype", RegisterProjectPrototype},
    {"TotalSitePrototype", RegisterTotalSitePrototype},
    {"PropertyBounds", propertyBounds},
    {"CreateHENEventTypeNames", createEventNames},
    {"InitEventTypeNames", initEventTypeNames},
    {"CreateHENEventRegistry", createEvents},
    {"Event CleaningHENEvent", eventPrototype<0>},
    {"Event AdditionalAreaHENEvent", eventPrototype<1>},
    {"Event AdditionalShellHENEvent", eventPrototype<2>},
    {"Event SplitflowmodificationEvent", eventPrototype<3>},
    {"Event HeatExchangerRemovalEvent", eventPrototype<4>},
    {"Event HeatExchangerFoulingEvent", eventPrototype<5>},
    {"Event InletTemperatureChangeEvent", eventPrototype<7>},
    {"Event StreamFlowrateChangeEvent", eventPrototype<6>},
};

}  // namespace

void RunLoadSteps(ModuleRegistries& registries) {
    for (const LoadStep& step : kSteps) {
        if (step.action) step.action(registries);
        registries.LoadSteps.emplace_back(step.name);
    }
    // Steps 45 to 137: the user-interface registrations, each subsystem listing its own.
    registries.Views = std::make_shared<ViewRegistries>();
    registries.Views->Install();
    BuildViewRegistrationPlan().Run(*registries.Views, registries.LoadSteps);
}

const ModuleRegistries& LoadModuleRegistries() {
    if (const ModuleRegistries* loaded = ModuleRegistries::Get()) return *loaded;
    ModuleRegistries& r = ModuleRegistries::Create();
    RunLoadSteps(r);
    return r;
}

void UnloadModuleRegistries() { ModuleRegistries::Destroy(); }

namespace {
// The loader's attach and detach. The registrations run first, in their one explicit order,
// never from scattered static initialisers.
__attribute__((constructor)) void kestrinAttach() {
    LoadModuleRegistries();
    KestrinModuleEntry(ModuleHandleOfAddress(reinterpret_cast<const void*>(&kestrinAttach)), kProcessAttach, nullptr);
}

__attribute__((destructor)) void kestrinDetach() {
    KestrinModuleEntry(TheDLLModule() ? TheDLLModule()->hModule : nullptr, kProcessDetach, nullptr);
    UnloadModuleRegistries();
}
}  // namespace
