// The simulator case's own utilities copied into the scenario's default utilities.
#include "tests/eng/extraction/CaseBuilder.h"
#include "tests/eng/extraction/ExtractionTestSupport.h"

#include "brasko/IDefaultUtilityManager.h"
#include "eng/extraction/VelmorToTarsilImport.h"
#include "lumeth/Session.h"
#include "quenta/RalvexInterface.h"

#include <gtest/gtest.h>

using namespace extraction_test;

namespace {

// The host's preference for the extraction's run, set back afterwards.
struct UtilityDatabase {
    explicit UtilityDatabase(double on) { SetConfigData("SimulationUtilityDatabase", on); }
    ~UtilityDatabase() { SetConfigData("SimulationUtilityDatabase", 0.0); }
};

struct UtilityCase {
    ExtractionProject p;
    CaseBuilder b;
    RalvexInterface access;
    VelmorToTarsilImport import{p.scenario, &access, &b.simulatorCase};
    IDefaultUtilityManager* manager = nullptr;
    UtilityCase() { p.scenario->GetDefaultUtilityManager(manager); }
    // A utility item of no sub-flowsheet, as a simulator's utility database holds it.
    CPItem* Utility(const char* name, double cost) {
        CPItem* u = b.Item(name, "ppUtilityStream", nullptr);
        CaseBuilder::Num(u, "InletTemperature", 180);
        CaseBuilder::Num(u, "OutletTemperature", 179);
        CaseBuilder::Num(u, "HeatTransferCoefficient", 5);
        CaseBuilder::Num(u, "CostIndex", cost);
        u->AddVariable("DeltaTmin");  // known nowhere: left as the manager has it
        return u;
    }
};

TEST(SimulationUtilities, CopiedWithTheirValuesAndMarkedAsTheSimulations) {
    struct Row {
        double cost, stored;
    } rows[] = {{0.0, 1e-15}, {-1e-16, 1e-15}, {-2.0, -2.0}, {3e-6, 3e-6}};
    for (const Row& r : rows) {
        UtilityDatabase on(1.0);
        UtilityCase c;
        c.Utility("SIM STEAM", r.cost);
        c.import.Extract();
        ASSERT_TRUE(c.manager->Exists("SIM STEAM")) << r.cost;
        EXPECT_DOUBLE_EQ(c.manager->GetValue("SIM STEAM", DUP_Cost), r.stored);
        EXPECT_DOUBLE_EQ(c.manager->GetValue("SIM STEAM", DUP_SupplyTemperature), 180.0);
        EXPECT_DOUBLE_EQ(c.manager->GetValue("SIM STEAM", DUP_TargetTemperature), 179.0);
        EXPECT_DOUBLE_EQ(c.manager->GetValue("SIM STEAM", DUP_FilmCoefficient), 5.0);
        EXPECT_DOUBLE_EQ(c.manager->GetValue("SIM STEAM", DUP_SimulationUtility), 1.0);
    }
}

TEST(SimulationUtilities, OnlyWithTheDatabaseSwitchedOnAndStreamsRefilledOnlyWhenAsked) {
    {
        UtilityDatabase off(0.0);
        UtilityCase c;
        c.Utility("SIM STEAM", 1e-6);
        c.import.Extract();
        EXPECT_FALSE(c.manager->Exists("SIM STEAM"));
    }
    {
        // Without utility items nothing changes, also when updating.
        UtilityDatabase on(1.0);
        UtilityCase c;
        const int before = c.manager->GetNumberOfDefaultUtilities();
        c.import.Extract();
        c.import.ImportSimulationUtilities(true);
        EXPECT_EQ(c.manager->GetNumberOfDefaultUtilities(), before);
    }
    {
        UtilityDatabase on(1.0);
        UtilityCase c;
        CPItem* u = c.Utility("SIM STEAM", 1e-6);
        c.Utility("SIM WATER", 1e-7);  // no stream of its name: the manager only
        c.import.Extract();
        c.p.scenario->AddStream("SIM STEAM", 1);
        IHeatIntegrationStream* s = nullptr;
        ASSERT_TRUE(c.p.scenario->GetStream(CPString("SIM STEAM"), s));
        u->GetVariable("InletTemperature")->Set(200.0);
        c.import.ImportSimulationUtilities(false);
        EXPECT_DOUBLE_EQ(s->GetSupplyTemperature(), 180.0);
        c.import.ImportSimulationUtilities(true);
        EXPECT_DOUBLE_EQ(s->GetSupplyTemperature(), 200.0);
        EXPECT_TRUE(c.manager->Exists("SIM WATER"));
        IHeatIntegrationStream* none = nullptr;
        EXPECT_FALSE(c.p.scenario->GetStream(CPString("SIM WATER"), none));
    }
}

}  // namespace
