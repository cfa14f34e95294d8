// Savings of the utility exchangers, tried on temporary designs: the three-stream network's
// heater on steam (unit cost 0.5) and its coolers on cooling water, with cheaper utilities beside
// them. The capital costs are per second, so a saving is the utility cost difference to within
// 0.001.
#include "eng/retrofit/HenRetrofit.h"

#include "RetrofitTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace design_test;
using namespace retrofit_test;

namespace {

std::vector<std::string> DesignNames(const IHeatIntegrationScenario& s) {
    std::vector<std::string> names;
    for (int i = 0; i < s.GetNumberOfDesigns(); ++i) names.emplace_back(s.GetDesignName(i));
    return names;
}

// Heater 180 kW on ST (0.5), cooler 140 kW of H1 on CW (0.1), H2's cooler 60 kW on CW2 (0.2).
// HP (0.3) and HQ (0.2) are hot enough for the heater (C leaves it at 160 C), LP (0.1) is not;
// RW (0.05) is cold enough for both coolers.
struct SavingsNetwork : ThreeStreamNetwork {
    SavingsNetwork()
        : ThreeStreamNetwork(nullptr, "CW2",
                             {{"HP", 200, 199, 0.3}, {"HQ", 210, 209, 0.2}, {"LP", 120, 119, 0.1}, {"RW", 10, 15, 0.05}}) {}
};

void Attach(HenRetrofit& r, CPIHENDesign& d) {
    r.SetFlowSheet(d.GetFlowSheet());
    r.SetDTMin(10.0);
    r.SetDesign(&d);
}

}  // namespace

// The saving is measured from the unit's present cost (with two improving utilities, HP then HQ,
// the whole 0.3 x 180 of HQ, not the 0.1 x 180 by which HQ beats HP), with the duty in kW whether
// or not the models have scaled the records.
TEST(UtilityExchangerSavings, SavingIsPresentCostLessBestCostInKilowatts) {
    for (const bool scaledFirst : {false, true}) {
        SCOPED_TRACE(scaledFirst ? "after the debottleneck analysis" : "on its own");
        SavingsNetwork n;
        HenRetrofit r;
        Attach(r, *n.d);
        if (scaledFirst) {
            r.RunRetrofitPinch();
            ASSERT_GT(r.GetLoadScalingFactor(), 10.0);
        }
        ASSERT_TRUE(r.CalculateUtilityExchangerSavings());
        ASSERT_TRUE(r.HasHeaterSavings());
        ASSERT_TRUE(r.HasCoolerSavings());

        ASSERT_EQ(r.GetHeaterSavings()->size(), 1u);
        EXPECT_NEAR((*r.GetHeaterSavings())[0], (0.5 - 0.2) * 180.0, 1e-3);
        EXPECT_EQ(std::string((*r.GetHeaterAlternativeUtilityNames())[0]), "HQ");
        EXPECT_EQ((*r.GetHeaterExchangerIds())[0], n.heater->getDNAFingerPrint());

        ASSERT_EQ(r.GetCoolerSavings()->size(), 2u);
        EXPECT_NEAR((*r.GetCoolerSavings())[0], (0.1 - 0.05) * 140.0, 1e-3);
        EXPECT_EQ(std::string((*r.GetCoolerAlternativeUtilityNames())[0]), "RW");
        // H2's cooler takes all of H2's 60 kW (its water carried no load before the design's own
        // was known): RW saves (0.2 - 0.05) x 60 on it.
        EXPECT_NEAR((*r.GetCoolerSavings())[1], (0.2 - 0.05) * 60.0, 1e-3);
        EXPECT_EQ(std::string((*r.GetCoolerAlternativeUtilityNames())[1]), "RW");
        EXPECT_EQ((*r.GetCoolerExchangerIds())[1], n.cooler2->getDNAFingerPrint());
    }
}

// Every trial is a temporary design named after the base design with the first free number,
// deleted before the next; the candidates are the cheaper utilities that clear DTmin at both ends
// of the unit, never its own.
TEST(UtilityExchangerSavings, TrialsRunOnTemporaryDesignsThatGoAgain) {
    SavingsNetwork n;
    ASSERT_TRUE(n.scenario->AddDesign("D1-1"));
    const std::vector<std::string> before = DesignNames(*n.scenario);
    NotificationRecorder designs(*n.scenario);
    HenRetrofit r;
    Attach(r, *n.d);
    ASSERT_TRUE(r.CalculateUtilityExchangerSavings());

    std::vector<std::string> added;
    for (const Notice& note : designs.changes)
        if (note.code == 0) added.push_back(note.text);
    // Heater: HP and HQ (LP is too cold, ST its own). H1's cooler: RW (CW2 costs more). H2's
    // cooler: CW and RW.
    EXPECT_EQ(added, std::vector<std::string>(5, "D1-2"));
    EXPECT_EQ(designs.Count(1), 5);
    EXPECT_EQ(DesignNames(*n.scenario), before);
    EXPECT_EQ(n.d->GetNumberOfHeatExchangers(), 4);
}

// Without an extracted network nothing is tried and both families fail.
TEST(UtilityExchangerSavings, NoNetworkNoSavings) {
    SavingsNetwork n;
    HenRetrofit r;
    r.SetFlowSheet(n.d->GetFlowSheet());
    r.SetDTMin(10.0);
    EXPECT_FALSE(r.CalculateUtilityExchangerSavings());
    EXPECT_FALSE(r.HasHeaterSavings());
    EXPECT_EQ(r.GetHeaterSavings(), nullptr);
    EXPECT_EQ(r.GetCoolerAlternativeUtilityNames(), nullptr);
}
