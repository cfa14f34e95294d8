#include "eng/core/PropertyBounds.h"
#include "eng/core/Registries.h"

#include "brasko/LurmetConfigVectorInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

extern "C" void SetupDLL();

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

#include "brasko/EngineObjectRegistry.h"

TEST(LoadRegistries, EachEngineTypeIsRegisteredByItsPrototypeExactlyOnce) {
    const EngineObjectRegistry& registry = GetEngineObjectRegistry();
    for (int type : registry.Types()) EXPECT_EQ(1, registry.RegistrationCount(type)) << type;
    EXPECT_TRUE(registry.IsRegistered(501));
}
