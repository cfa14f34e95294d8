// The automatic placement as the rest of the targets see it, on the four-stream problem (H1 170->60
// CP 3, H2 150->30 CP 1.5, C1 20->135 CP 2, C2 80->140 CP 4, h 0.2; 20 kW of heating, 60 of
// cooling, pinch 90/80) with medium-pressure steam and cooling water, and high-pressure steam that
// is never needed.
#include "eng/model/Scenario.h"
#include "eng/model/ScenarioServices.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<CPIScenario> FourStreams(bool withUnusedSteam) {
    auto s = std::make_unique<CPIScenario>(nullptr, DefaultScenarioServices());
    s->SuspendCalculations();
    struct Row {
        const char* name;
        double supply, target, cp;
    };
    for (const Row& r : {Row{"H1", 170, 60, 3.0}, Row{"H2", 150, 30, 1.5}, Row{"C1", 20, 135, 2.0}, Row{"C2", 80, 140, 4.0}}) {
        s->AddStream(r.name, 0);
        CPIHeatIntegrationStream* stream = s->FindStream(r.name);
        stream->SetValue("Temperature", r.supply, 0);
        stream->SetValue("Temperature", r.target, 1);
        stream->SetValue("HeatCapacityFlowrate", r.cp, 0);
        stream->SetValue("HTCoeff", 0.2, 0);
    }
    s->AddStream("MP Steam", 1);
    s->AddStream("Cooling Water", 1);
    if (withUnusedSteam) s->AddStream("HP Steam", 1);
    s->ResumeCalculations(true);
    return s;
}

// Both sides hold the load placed on their utilities (status 2), so the utilities are placed on
// the curves: the high-pressure steam, with no load, is marked not used and changes nothing.
TEST(PlacementTruth, AnUnusedUtilityIsPlacedOutOfEveryTarget) {
    std::unique_ptr<CPIScenario> with = FourStreams(true);
    std::unique_ptr<CPIScenario> without = FourStreams(false);
    EXPECT_EQ(with->GetUtilityAssignmentStatus(0), 2);
    EXPECT_EQ(with->GetUtilityAssignmentStatus(1), 2);
    const StreamSegmentList* hp = with->FindStream("HP Steam")->GetDesignSegments();
    const StreamSegmentList* mp = with->FindStream("MP Steam")->GetDesignSegments();
    ASSERT_TRUE(hp && mp && !hp->empty() && !mp->empty());
    EXPECT_FALSE(hp->front()->IsConnected());
    EXPECT_TRUE(mp->front()->IsConnected());
    EXPECT_NEAR(with->FindStream("MP Steam")->GetHeatLoad(0), 20.0, 1e-6);

    // Only the process pinch.
    ASSERT_EQ(with->GetNumberOfPinchPoints(), 1);
    EXPECT_NEAR(with->GetPinchTemperature(0, 0), 90.0, 1e-9);
    EXPECT_NEAR(with->GetPinchTemperature(1, 0), 80.0, 1e-9);

    EXPECT_EQ(with->GetNumberOfShellsTarget(), without->GetNumberOfShellsTarget());
    for (int kind : {0, 1}) EXPECT_NEAR(with->GetAreaTarget(kind), without->GetAreaTarget(kind), 1e-9) << kind;
    EXPECT_EQ(with->GetMinimumNumberOfUnits(1), without->GetMinimumNumberOfUnits(1));
    for (int code : {7, 4}) EXPECT_NEAR(with->GetCostTarget(code), without->GetCostTarget(code), 1e-12) << code;
}

}  // namespace
