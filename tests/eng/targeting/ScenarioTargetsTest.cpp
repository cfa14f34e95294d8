// A scenario's energy target and target curves as the user meets them: a project made by the
// engineering manager, streams entered through the scenario, and the scenario's energy, pinch,
// pocket and curve queries, worked by hand on the four-stream problem
// (H1 170->60 CP 3, H2 150->30 CP 1.5, C1 20->135 CP 2, C2 80->140 CP 4).
#include "tests/eng/model/ScenarioTestDoubles.h"

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

using scenario_test::RecordingReceiver;

namespace {

constexpr double kTol = 1e-9;

struct StreamData {
    const char* name;
    double supply;
    double target;
    double cp;
};

constexpr StreamData kFourStreams[] = {
    {"H1", 170, 60, 3.0}, {"H2", 150, 30, 1.5}, {"C1", 20, 135, 2.0}, {"C2", 80, 140, 4.0}};

// A project of type 501 from the engineering manager with one scenario holding the four streams.
class FourStreamProject {
public:
    FourStreamProject() {
        object = manager.CreateObject(501, "Plant");
        void* out = nullptr;
        if (object && object->QueryInterface(501, &out) == 1) project = static_cast<IHeatIntegrationProject*>(out);
        IHeatIntegrationScenario* s = nullptr;
        if (project && project->AddScenario("Base") == 1 && project->GetScenario("Base", s))
            scenario = dynamic_cast<CPIScenario*>(s);
        if (!scenario) return;
        scenario->AddNotificationReceiver(&view);
        for (const StreamData& d : kFourStreams) AddStream(d);
    }
    ~FourStreamProject() {
        if (scenario) scenario->RemoveNotificationReceiver(&view);
        if (object) manager.ReleaseObject(object);
    }

    bool AddStream(const StreamData& d) {
        if (scenario->AddStream(d.name, 0) != 1) return false;
        IHeatIntegrationStream* s = Stream(d.name);
        return s && s->SetValue("Temperature", d.supply, 0) && s->SetValue("Temperature", d.target, 1) &&
               s->SetValue("HeatCapacityFlowrate", d.cp, 0);
    }
    IHeatIntegrationStream* Stream(const char* name) const {
        IHeatIntegrationStream* s = nullptr;
        return scenario->GetStream(name, s) ? s : nullptr;
    }

    EngineeringManager manager;
    ILurmetBaseObject* object = nullptr;
    IHeatIntegrationProject* project = nullptr;
    CPIScenario* scenario = nullptr;
    RecordingReceiver view;
};

}  // namespace

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

class FourStreamAtDTmin : public ::testing::TestWithParam<DTminCase> {};

// Shifted intervals at DTmin 10 (165, 145, 140, 85, 55, 25) carry +60, +2.5, -82.5, +75, -15: the
// cascade falls to -20 at 85, so 20 hot, 60 cold, pinch 90/80. At 20 the cascade (160 ... 20)
// reaches -65 at 90: hot 65, cold 105, pinch 100/80. At 5 its lowest point is the top: no pinch,
// no hot utility, cold 40 (a threshold problem).
TEST_P(FourStreamAtDTmin, UtilitiesPinchAndProblemType) {
    const DTminCase& c = GetParam();
    FourStreamProject p;
    ASSERT_NE(p.scenario, nullptr);
    p.view.changes.clear();
    ASSERT_EQ(p.scenario->SetDTmin(c.dtMin), 1);
    EXPECT_EQ(p.view.Codes(), std::vector<int>{35});
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
                         ::testing::Values(DTminCase{10, 20, 60, 1, 90, 80, 0}, DTminCase{20, 65, 105, 1, 100, 80, 0},
                                           DTminCase{5, 0, 40, 0, 0, 0, 2}));

// The pockets at DTmin 10, cascade 20, 80, 82.5, 0, 75, 60: from the top the heat rises above 20
// until it falls to 0 at 85, closing at 85 + 20 x 55 / 82.5; from the bottom (60) it rises to 75
// and falls to 0 at 85, closing at 85 - 60 x 30 / 75 = 61.
TEST(ScenarioTargets, PocketsOfTheFourStreamProblem) {
    FourStreamProject p;
    ASSERT_NE(p.scenario, nullptr);
    ASSERT_EQ(p.scenario->GetNumberOfPockets(), 2);
    EXPECT_NEAR(p.scenario->GetPinchListEntryFirstValue(0), 165.0, kTol);
    EXPECT_NEAR(p.scenario->GetPinchListEntryThirdValue(0), 85.0 + 20.0 * 55.0 / 82.5, kTol);
    EXPECT_EQ(p.scenario->GetPinchListEntrySide(0), 0);
    EXPECT_NEAR(p.scenario->GetPinchListEntryFirstValue(1), 25.0, kTol);
    EXPECT_NEAR(p.scenario->GetPinchListEntryThirdValue(1), 61.0, kTol);
    EXPECT_EQ(p.scenario->GetPinchListEntrySide(1), 1);
    // Entries beyond the list answer the neutral values.
    EXPECT_EQ(p.scenario->GetPinchListEntryFirstValue(2), 0.0);
    EXPECT_EQ(p.scenario->GetPinchListEntryThirdValue(-1), 0.0);
    EXPECT_EQ(p.scenario->GetPinchListEntrySide(2), 0);
}

TEST(ScenarioTargets, UnknownUtilitySideIsReportedAndAnswersZero) {
    FourStreamProject p;
    ASSERT_NE(p.scenario, nullptr);
    Exceptions::ClearRecords();
    EXPECT_EQ(p.scenario->GetUtilityTarget(2), 0.0);
    ASSERT_EQ(Exceptions::Records().size(), 1u);
    EXPECT_EQ(Exceptions::Records()[0].expression, "!\"GetUtilityTarget Failed\"");
    Exceptions::ClearRecords();
}

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

// ---------------------------------------------------------------- curves

// ---------------------------------------------------------------- hit test of a plot

TEST(ScenarioTargets, HitTestTextIsCutTo2048Bytes) {
    FourStreamProject p;
    ASSERT_NE(p.scenario, nullptr);
    const std::string longName(3000, 'X');
    ASSERT_TRUE(p.AddStream(StreamData{longName.c_str(), 120, 110, 0.5}));
    // Hot composite: 30/0, 60/45, 110/270 and, with the new stream, CP 5 up to 120; at 115 the
    // load is 295, between 261 (108) and 329 (122).
    ASSERT_EQ(p.scenario->GetTargetCurveValue(3, 0, 3), 110.0);
    ASSERT_NEAR(p.scenario->GetTargetCurveValue(3, 1, 3), 270.0, kTol);
    CPString out;
    EXPECT_EQ(p.scenario->GetStreamsAtCurvePoint(3, 295.0, 115, out), 1);
    EXPECT_EQ(out.size(), 2048u);
    EXPECT_NE(out.find("\n H1\n H2\n XXX"), std::string::npos);
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

// ---------------------------------------------------------------- loads just below zero


}  // namespace
