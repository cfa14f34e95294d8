// The new-exchanger run of the analysis on a design: H1 150 -> 50 C (CP 2) heats C 100 -> 160 C
// (CP 4) in X, H2 130 -> 70 C (CP 1) has only a cooler. The one gainful new exchanger takes 20 kW
// from H2 in front of X (H2 leaves it at C's supply + 10), and X keeps the 60 kW it runs at.
#include "eng/retrofit/HenRetrofit.h"

#include "RetrofitTestSupport.h"

#include <gtest/gtest.h>

using namespace design_test;

using retrofit_test::ThreeStreamNetwork;

TEST(HenRetrofitModifications, NewExchangerRunReadsTheModelBack) {
    ThreeStreamNetwork n;
    HenRetrofit r;
    r.SetFlowSheet(n.d->GetFlowSheet());
    r.SetDTMin(10.0);
    r.SetDesign(n.d);
    ASSERT_TRUE(r.RunNewExchangerAddition());
    EXPECT_EQ(r.GetFamilyState(ModificationKind::NewExchanger), HenRetrofit::kComputed);
    const RetrofitNetwork& net = r.GetNetwork();
    ASSERT_EQ(net.coldStreams.size(), 1u);
    ASSERT_EQ(net.heaters.size(), 1u);
    // Cold inlet: C's first piece; hot inlet: the piece in front of H2's cooler.
    EXPECT_EQ(static_cast<std::uint32_t>(r.GetNewExchangerResult2()), net.coldStreams[0].startNode);
    std::uint32_t h2Cooler = 0;
    for (const CoolerInfo& c : net.coolers)
        if (c.processStream == net.streamIdByName.at("H2")) h2Cooler = c.processInlet;
    EXPECT_EQ(static_cast<std::uint32_t>(r.GetNewExchangerResult3()), h2Cooler);
    EXPECT_NE(r.GetNewExchangerHotLocation(), 0);
    EXPECT_NE(r.GetNewExchangerColdLocation(), 0);
    // 20 kW back in the design's units; the heater's 180 - 20 = 160 kW priced at the steam's unit cost.
    EXPECT_NEAR(r.GetModificationDuty(), 20.0, 0.01);
    const double f = r.GetLoadScalingFactor();
    EXPECT_NEAR(r.GetNewExchangerIndicator(), net.hotUtilities[0].unitCost * 160.0 * f,
                1e-3 * net.hotUtilities[0].unitCost * 160.0 * f);
    EXPECT_GT(r.GetNewExchangerHistory(0), 0);
}
