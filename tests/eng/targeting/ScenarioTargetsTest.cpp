// A scenario's energy target and target curves as the user meets them: a project made by the
// engineering manager, streams entered through the scenario, and the scenario's energy, pinch,
// pocket and curve queries, worked by hand on the four-stream problem
// (H1 170->60 CP 3, H2 150->30 CP 1.5, C1 20->135 CP 2, C2 80->140 CP 4).
#include "tests/support/FourStreamProject.h"

#include "brasko/EngineeringManager.h"
#include "dunmor/Exceptions.h"
#include "eng/model/Project.h"
#include "eng/targeting/CompositeCurves.h"
#include "eng/targeting/EnergyTarget.h"
#include "eng/targeting/ScenarioTargetBuilders.h"
#include "lumeth/Messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr double kTol = 1e-9;

// ---------------------------------------------------------------- production builders

TEST(ScenarioTargets, ProjectOfTheManagerGivesEveryScenarioTheProductionBuilders) {
    FourStreamProject p;
    ASSERT_NE(p.scenario, nullptr);
    EXPECT_NE(dynamic_cast<ScenarioTargetBuilders*>(p.scenario->GetServices().builders.get()), nullptr);
    // A copy the project makes of a scenario calculates as well.
    ASSERT_EQ(p.project->AddScenario("Copy", p.scenario, nullptr), 1);
    IHeatIntegrationScenario* copy = nullptr;
    ASSERT_TRUE(p.project->GetScenario("Copy", copy));
    EXPECT_NE(dynamic_cast<ScenarioTargetBuilders*>(dynamic_cast<CPIScenario*>(copy)->GetServices().builders.get()),
              nullptr);
    EXPECT_NEAR(copy->GetUtilityTarget(0), 20.0, kTol);
    // A project made directly keeps the services it is given (none: nothing is built).
    CPIProject bare(nullptr, "Bare");
    EXPECT_NE(dynamic_cast<NullTargetRecordBuilders*>(bare.GetScenarioServices().builders.get()), nullptr);
}

// ---------------------------------------------------------------- energy target over DTmin

struct DTminCase {
    double dtMin;
    double hot, cold;
    int pinches;
    double hotPinch, coldPinch;
    int problemType;
};
void PrintTo(const DTminCase& c, std::ostream* os) {
    *os << "DTmin " << c.dtMin << " C: hot " << c.hot << " kW, cold " << c.cold << " kW, " << c.pinches
        << " pinches";
}

class FourStreamAtDTmin : public ::testing::TestWithParam<DTminCase> {};

// Shifted intervals at DTmin 10 (165, 145, 140, 85, 55, 25) carry +60, +2.5, -82.5, +75, -15: the
// cascade falls to -20 at 85, so 20 hot, 60 cold, pinch 90/80. At 20 the cascade (160 ... 20)
// reaches -65 at 90. At 5 its lowest point is the top: no pinch,
// no hot utility, cold 40 (a threshold problem).
TEST_P(FourStreamAtDTmin, UtilitiesPinchAndProblemType) {
    const DTminCase& c = GetParam();
    FourStreamProject p;
    ASSERT_NE(p.scenario, nullptr);
    p.view.changes.clear();
    // The present DTmin changes nothing: the targets stand and nobody hears of it.
    const bool present = p.scenario->GetDTmin() == c.dtMin;
    ASSERT_EQ(p.scenario->SetDTmin(c.dtMin), 1);
    EXPECT_EQ(p.view.Codes(), present ? std::vector<int>{} : std::vector<int>{35});
    EXPECT_NEAR(p.scenario->GetUtilityTarget(0), c.hot, kTol);
    EXPECT_NEAR(p.scenario->GetUtilityTarget(1), c.cold, kTol);
    ASSERT_EQ(p.scenario->GetNumberOfPinchPoints(), c.pinches);
    EXPECT_EQ(p.scenario->GetPinchProblemType(), c.problemType);
    CPList* list = p.scenario->GetPinchPointList();
    if (c.pinches == 0) {
        EXPECT_EQ(list, nullptr);
        EXPECT_EQ(p.scenario->GetPinchTemperature(0, 0), 0.0);
        EXPECT_EQ(p.scenario->GetProcessPinchTemperature(0), 0.0);
        return;
    }
    EXPECT_NEAR(p.scenario->GetPinchTemperature(0, 0), c.hotPinch, kTol);
    EXPECT_NEAR(p.scenario->GetPinchTemperature(1, 0), c.coldPinch, kTol);
    EXPECT_NEAR(p.scenario->GetProcessPinchTemperature(0), c.hotPinch, kTol);
    EXPECT_NEAR(p.scenario->GetProcessPinchTemperature(1), c.coldPinch, kTol);
    EXPECT_EQ(p.scenario->GetPinchTemperature(2, 0), 0.0);
    EXPECT_EQ(p.scenario->GetPinchTemperature(0, c.pinches), 0.0);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Length(), static_cast<std::size_t>(c.pinches));
    EXPECT_NEAR(static_cast<PinchRecord*>(list->GetAt(0))->dHotTemperature, c.hotPinch, kTol);
}

INSTANTIATE_TEST_SUITE_P(Textbook, FourStreamAtDTmin,
                         ::testing::Values(DTminCase{10, 20, 60, 1, 90, 80, 0}, DTminCase{5, 0, 40, 0, 0, 0, 2}));

// H1 at CP 2 instead of 3: the intervals carry +40, -2.5, -137.5, +45, -15, the cascade falls to
// -100 at 85: hot 100, cold 30, the pinch stays at 90/80.
TEST(ScenarioTargets, StreamValueChangeRecalculatesAtOnce) {
    FourStreamProject p;
    ASSERT_NE(p.scenario, nullptr);
    p.view.changes.clear();
    ASSERT_EQ(p.Stream("H1")->SetValue("HeatCapacityFlowrate", 2.0, 0), 1);
    ASSERT_NE(p.view.Last(36), nullptr);
    EXPECT_EQ(p.view.Last(36)->text, "H1");
    EXPECT_NEAR(p.scenario->GetUtilityTarget(0), 100.0, kTol);
    EXPECT_NEAR(p.scenario->GetUtilityTarget(1), 30.0, kTol);
    EXPECT_NEAR(p.scenario->GetPinchTemperature(0, 0), 90.0, kTol);
    // The curves follow: the hot composite's top is 2 x 20 + 3.5 x 90 + 1.5 x 30 = 400.
    EXPECT_NEAR(p.scenario->GetTargetCurveValue(3, 1, 0), 400.0, kTol);
    EXPECT_NEAR(p.scenario->GetTargetCurveValue(4, 1, 3), 30.0, kTol);
}

// ---------------------------------------------------------------- hit test of a plot

TEST(ScenarioTargets, HitTestTextIsCutTo2048Bytes) {
    FourStreamProject p;
    ASSERT_NE(p.scenario, nullptr);
    const std::string longName(3000, 'X');
    ASSERT_TRUE(p.AddProcess(longName.c_str(), 120, 110, 0.5));
    // Hot composite: 30/0, 60/45, 110/270 and, with the new stream, CP 5 up to 120; at 115 the
    // load is 295, between 261 (108) and 329 (122).
    ASSERT_EQ(p.scenario->GetTargetCurveValue(3, 0, 3), 110.0);
    ASSERT_NEAR(p.scenario->GetTargetCurveValue(3, 1, 3), 270.0, kTol);
    CPString out;
    EXPECT_EQ(p.scenario->GetStreamsAtCurvePoint(3, 295.0, 115, out), 1);
    EXPECT_EQ(out.size(), 2048u);
    EXPECT_NE(out.find("\n H1\n H2\n XXX"), std::string::npos);
}

// The streams under a point of the hot composite are named by their streams' current names: at
// 100 C (load 45 + 40 x 4.5 = 225) H1 and H2, and after H1 is renamed, its new name.
TEST(ScenarioTargets, HitTestNamesStreamsAsTheyAreNamedNow) {
    FourStreamProject p;
    ASSERT_NE(p.scenario, nullptr);
    CPString out;
    ASSERT_EQ(p.scenario->GetStreamsAtCurvePoint(3, 225.0, 100, out), 1);
    EXPECT_NE(out.find("\n H1\n H2"), std::string::npos) << out;
    ASSERT_EQ(p.scenario->RenameStream("H1", "Feed"), 1);
    out.clear();
    ASSERT_EQ(p.scenario->GetStreamsAtCurvePoint(3, 225.0, 100, out), 1);
    EXPECT_NE(out.find("\n Feed\n H2"), std::string::npos) << out;
    EXPECT_EQ(out.find("H1"), std::string::npos) << out;
}

// ---------------------------------------------------------------- records freed

TEST(ScenarioTargets, RecordsAreFreedWhenTheLastStreamGoes) {
    FourStreamProject p;
    ASSERT_NE(p.scenario, nullptr);
    ASSERT_NE(p.scenario->GetEnergyTargetRecord(), nullptr);
    ASSERT_NE(p.scenario->GetCompositeCurvesRecord(), nullptr);
    for (const char* name : {"C2", "H1", "H2"}) ASSERT_EQ(p.scenario->DeleteStream(name), 1);
    // One cold stream left: no hot utility, the cold one takes all of C1.
    EXPECT_NEAR(p.scenario->GetUtilityTarget(0), 230.0, kTol);
    EXPECT_NEAR(p.scenario->GetUtilityTarget(1), 0.0, kTol);
    p.view.changes.clear();
    ASSERT_EQ(p.scenario->DeleteStream("C1"), 1);
    EXPECT_EQ(p.view.Codes(), (std::vector<int>{31, 3}));
    EXPECT_EQ(p.scenario->GetEnergyTargetRecord(), nullptr);
    EXPECT_EQ(p.scenario->GetCompositeCurvesRecord(), nullptr);
    EXPECT_EQ(p.scenario->GetUtilityTarget(0), 0.0);
    EXPECT_EQ(p.scenario->GetNumberOfPockets(), -1);
    EXPECT_EQ(p.scenario->GetNumberOfPinchPoints(), 0);
    EXPECT_EQ(p.scenario->GetPinchPointList(), nullptr);
    EXPECT_EQ(p.scenario->GetPinchProblemType(), 0);
    EXPECT_EQ(p.scenario->GetTargetCurveValue(3, 1, 0), 0.0);
    EXPECT_EQ(p.scenario->GetNumberOfCurvePoints(0), 0);
    CPString out;
    EXPECT_EQ(p.scenario->GetStreamsAtCurvePoint(3, 225, 100, out), 1);
    EXPECT_EQ(out, FindString("SegmentStreams"));
}


}  // namespace
