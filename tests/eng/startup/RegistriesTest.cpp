#include "eng/startup/PropertyBounds.h"
#include "eng/startup/Registries.h"

#include "brasko/LurmetConfigVectorInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

extern "C" void SetupDLL();

TEST(LoadRegistries, PropertyBoundsHoldExactlyFiveEqualEntries) {
    const ModuleRegistries* r = ModuleRegistries::Get();
    ASSERT_NE(nullptr, r);
    ASSERT_EQ(5u, static_cast<unsigned>(r->PropertyBounds->Length()));
    const char* names[] = {"Viscosity", "ThermalConductivity", "Velocity", "MassDensity", "Diameter"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(names[i], r->PropertyBounds->KeyAt(i));
        const auto* b = static_cast<const PropertyBound*>((*r->PropertyBounds)[i]);
        ASSERT_NE(nullptr, b);
        EXPECT_DOUBLE_EQ(1e-08, b->lower);
        EXPECT_DOUBLE_EQ(1e+24, b->upper);
    }
}

TEST(LoadRegistries, BoundsAreStrictAndEmptyValueIsAccepted) {
    struct Case { const char* name; double value; bool ok; };
    const Case cases[] = {
        {"Viscosity", 1.0, true},          {"Viscosity", 1e-08, false}, {"Viscosity", 0.0, false},
        {"Diameter", 1e+24, false},        {"Diameter", -32767.0, true}, {"Velocity", -1.0, false},
        {"HTCoeff", -5.0, true} /* no bounds */,
    };
    for (const Case& c : cases) EXPECT_EQ(c.ok, IsWithinPropertyBounds(c.name, c.value)) << c.name << " " << c.value;
}

TEST(LoadRegistries, StepsRunInTheirFixedOrder) {
    const ModuleRegistries* r = ModuleRegistries::Get();
    ASSERT_NE(nullptr, r);
    const auto& s = r->LoadSteps;
    ASSERT_EQ(137u, s.size());
    EXPECT_EQ("ShowSplashScreen", s[0]);
    EXPECT_EQ("CloneEnginePrototype", s[1]);
    EXPECT_EQ("CreateHENNodeTypeFactories", s[2]);
    EXPECT_EQ("CreateHENEquationRegistry", s[7]);
    EXPECT_EQ("SteamCriticalTemperature", s[23]);
    EXPECT_EQ("ProjectPrototype", s[30]);
    EXPECT_EQ("TotalSitePrototype", s[31]);
    EXPECT_EQ("PropertyBounds", s[32]);
    EXPECT_EQ("CreateHENEventRegistry", s[35]);
    EXPECT_EQ("Event StreamFlowrateChangeEvent", s[43]);
    EXPECT_EQ("Colour PFDBackground", s[44]);
    EXPECT_EQ("ObjectType EventPlannerObject", s[136]);
    EXPECT_DOUBLE_EQ(647.096, r->SteamCriticalTemperature);
    EXPECT_EQ("HotInlet", r->PortNameHotInlet);
    EXPECT_EQ("ColdOutlet", r->PortNameColdOutlet);
    const std::vector<CPString> names = {"CleaningHENEvent",          "AdditionalAreaHENEvent",
                                         "AdditionalShellHENEvent",   "SplitflowmodificationEvent",
                                         "HeatExchangerRemovalEvent", "HeatExchangerFoulingEvent",
                                         "StreamFlowrateChangeEvent", "InletTemperatureChangeEvent"};
    EXPECT_EQ(names, r->HENEventTypeNames);
}

namespace {
HENCalculatorEquation* firstFactory() { return nullptr; }
HENCalculatorEquation* secondFactory() { return reinterpret_cast<HENCalculatorEquation*>(0x1); }
}  // namespace

TEST(LoadRegistries, FirstRegistrationOfAKeyWinsAndUnknownKeysHaveNoFactory) {
    EXPECT_EQ(nullptr, ModuleRegistries::FindEquation("NoSuchEquation"));
    EXPECT_TRUE(ModuleRegistries::RegisterEquation("TestOnlyEquation", firstFactory));
    EXPECT_FALSE(ModuleRegistries::RegisterEquation("TestOnlyEquation", secondFactory));
    EXPECT_EQ(&firstFactory, ModuleRegistries::FindEquation("TestOnlyEquation"));
}

TEST(SetupDLL, RegistersTheTenConfigurationKeysInOrder) {
    SetupDLL();
    SetupDLL();  // a second call adds nothing new
    LurmetConfigVectorInfo* info = &_get_LurmetConfigVectorInfo();
    const char* keys[] = {"VelmorImportFilePath",       "QuorvexImportFilePath", "ProiiImportFilePath",
                          "ExcelImportFilePath",        "DefaultUtilityFilePath", "DefaultUtility",
                          "DefaultCapitalCostFilePath", "DefaultCapitalCost",     "DefaultHeatTranCoeffFilePath",
                          "DefaultHeatTranCoeff"};
    ASSERT_EQ(10, info->Count());
    for (int i = 0; i < 10; ++i) {
        ASSERT_NE(nullptr, info->Item(i));
        EXPECT_EQ(keys[i], info->Item(i)->key);
        EXPECT_FALSE(info->Item(i)->label.empty());
    }
}

#include "brasko/EngineObjectRegistry.h"

TEST(LoadRegistries, EachEngineTypeIsRegisteredByItsPrototypeExactlyOnce) {
    const EngineObjectRegistry& registry = GetEngineObjectRegistry();
    for (int type : registry.Types()) EXPECT_EQ(1, registry.RegistrationCount(type)) << type;
    EXPECT_TRUE(registry.IsRegistered(501));
}
