#pragma once
// Registries the module builds when it is loaded, in one fixed order, and reads afterwards.
// They are the only module-wide mutable state: filled once by the load routine, then read only.
#include "dunmor/CPString.h"
#include "tevrin/CPDictionary.h"
#include "tevrin/CPList.h"

#include <memory>
#include <string>
#include <vector>

class HENCalculatorEquation;
class HENEvent;
class HENCalculator;
class CNode;
struct ViewRegistries;

// Creates one balance equation of a kind (null when it cannot).
using EquationFactory = HENCalculatorEquation* (*)();
// Creates the balance equations of one flowsheet unit for the network calculator.
using UnitEquationGenerator = int (*)(HENCalculator& calculator, CNode& unit);
// Creates one what-if event of a kind for a target (null: no target yet).
using EventFactory = HENEvent* (*)(const char* target);

struct ModuleRegistries {
    ModuleRegistries();
    ~ModuleRegistries();
    ModuleRegistries(const ModuleRegistries&) = delete;
    ModuleRegistries& operator=(const ModuleRegistries&) = delete;

    // Flowsheet node kind name -> unit equation generator.
    std::unique_ptr<CPDictionary> HENNodeTypeFactories;
    // Equation key -> equation factory.
    std::unique_ptr<CPDictionary> HENEquationRegistry;
    // What-if event type name -> event factory.
    std::unique_ptr<CPDictionary> HENEventRegistry;
    // The event type names in the order the schedules list them.
    std::vector<CPString> HENEventTypeNames;
    // Property name -> PropertyBound (owned).
    std::unique_ptr<CPDictionary> PropertyBounds;

    double SteamCriticalTemperature = 0.0;
    CPString PortNameHotInlet, PortNameHotOutlet, PortNameColdInlet, PortNameColdOutlet;

    // View object types, colours, font, icons and features (load steps 45 to 137), installed as
    // the framework's registries while the module is loaded. Shared, so that the registries can be
    // destroyed here without knowing the views' type.
    std::shared_ptr<ViewRegistries> Views;

    // Names of the load steps in the order they ran (the start-up's own trace).
    std::vector<std::string> LoadSteps;

    // The registries of the loaded module (null before the load routine ran or after unload).
    static const ModuleRegistries* Get();
    static ModuleRegistries* GetMutable();
    // The load routine (module/LoadSteps.h) makes the registries the module's before it fills them
    // (the registration helpers below write into them) and destroys them at unload.
    static ModuleRegistries& Create();
    static void Destroy();

    // Registration helpers used by the classes' prototypes: the first registration of a key wins.
    static bool RegisterNodeType(const char* kind, UnitEquationGenerator generator);
    static bool RegisterEquation(const char* key, EquationFactory factory);
    static bool RegisterEvent(const char* typeName, EventFactory factory);
    static EquationFactory FindEquation(const CPString& key);
    static UnitEquationGenerator FindNodeType(const CPString& kind);
    static EventFactory FindEvent(const CPString& typeName);
};
