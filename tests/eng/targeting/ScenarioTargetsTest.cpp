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

struct CurvePointCase {
    int kind, coordinate, index;
    double value;
};

class FourStreamCurvePoint : public ::testing::TestWithParam<CurvePointCase> {};

TEST_P(FourStreamCurvePoint, ReadsTheCurveOfItsKind) {
    const CurvePointCase& c = GetParam();
    FourStreamProject p;
    ASSERT_NE(p.scenario, nullptr);
    EXPECT_NEAR(p.scenario->GetTargetCurveValue(c.kind, c.coordinate, c.index), c.value, kTol);
}

// Hot composite (actual): 170/510, 150/450, 60/45, 30/0; cold composite from the cold utility:
// 140/530, 135/510, 80/180, 20/60. The shifted ones move 5 down (hot) and up (cold). The grand
// composite curve: 165/20, 145/80, 140/82.5, 85/0, 55/75, 25/60. The balanced curves have no
// points while the utilities are not placed.
INSTANTIATE_TEST_SUITE_P(
    HandWorked, FourStreamCurvePoint,
    ::testing::Values(CurvePointCase{0, 0, 0, 165}, CurvePointCase{0, 1, 0, 20}, CurvePointCase{0, 1, 2, 82.5},
                      CurvePointCase{0, 0, 3, 85}, CurvePointCase{0, 1, 3, 0}, CurvePointCase{0, 1, 5, 60},
                      CurvePointCase{15, 1, 1, 80}, CurvePointCase{3, 0, 0, 170}, CurvePointCase{3, 1, 0, 510},
                      CurvePointCase{3, 1, 2, 45}, CurvePointCase{3, 1, 3, 0}, CurvePointCase{4, 0, 1, 135},
                      CurvePointCase{4, 1, 0, 530}, CurvePointCase{4, 1, 2, 180}, CurvePointCase{4, 1, 3, 60},
                      CurvePointCase{1, 0, 0, 165}, CurvePointCase{1, 1, 1, 450}, CurvePointCase{2, 0, 0, 145},
                      CurvePointCase{2, 0, 3, 25}, CurvePointCase{2, 1, 3, 60}, CurvePointCase{1, 0, 4, 0},
                      CurvePointCase{8, 1, 0, 0}, CurvePointCase{11, 0, 0, 0}, CurvePointCase{5, 0, 0, 0},
                      CurvePointCase{14, 1, 0, 0}, CurvePointCase{12, 0, 0, 0}));

TEST(ScenarioTargets, NumberOfCurvePointsCountsTheSameLists) {
    FourStreamProject p;
    ASSERT_NE(p.scenario, nullptr);
    const std::vector<std::pair<int, int>> expected = {{0, 6}, {15, 6}, {1, 4}, {2, 4}, {3, 4},
                                                       {4, 4}, {8, 0}, {9, 0}, {10, 0}, {5, 0}};
    for (const auto& [kind, count] : expected)
        EXPECT_EQ(p.scenario->GetNumberOfCurvePoints(kind), count) << "kind " << kind;
}

// ---------------------------------------------------------------- hit test of a plot

struct HitCase {
    int kind;
    double load, temperature;
    const char* streams;
};

class FourStreamHitTest : public ::testing::TestWithParam<HitCase> {};

TEST_P(FourStreamHitTest, NamesTheStreamsUnderThePoint) {
    const HitCase& c = GetParam();
    FourStreamProject p;
    ASSERT_NE(p.scenario, nullptr);
    CPString out = "old text";
    EXPECT_EQ(p.scenario->GetStreamsAtCurvePoint(c.kind, c.load, c.temperature, out), 1);
    EXPECT_EQ(out, FindString("SegmentStreams") + c.streams);
}

// Hot composite at 100: 45 + 4.5 x 40 = 225, between 193.5 and 256.5 (100 -/+ 7): H1 and H2.
// Cold composite at 100: 180 + 6 x 20 = 300 (264 to 336 over 100 -/+ 6): C1 and C2. The shifted
// ones at 95: hot 193.5 to 256.5, cold 204 to 276, so 200 is on the hot side only. The grand
// composite curve at 100 (shifted) is 22.5, rising through 12 to 33; at 70 it is 37.5, falling
// from 55 to 20 (either order counts on the cascade): H1, H2 and C1 cross 85 ... 55.
INSTANTIATE_TEST_SUITE_P(Points, FourStreamHitTest,
                         ::testing::Values(HitCase{3, 225, 100, "\n H1\n H2"}, HitCase{3, 300, 100, "\n C1\n C2"},
                                           HitCase{3, 100, 100, ""}, HitCase{4, 200, 95, "\n H1\n H2"},
                                           HitCase{1, 22.5, 100, "\n H1\n H2\n C1\n C2"},
                                           HitCase{7, 37.5, 70, "\n H1\n H2\n C1"}, HitCase{1, 60, 100, ""},
                                           HitCase{5, 225, 100, ""}, HitCase{2, 225, 100, ""}));

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

// While streams remain but none has segments, nothing is recalculated: the records keep what
// they had, but the hit test names no stream that is gone, and the next complete stream
// recalculates from scratch.
TEST(ScenarioTargets, RecordsOfStreamsThatWentNameNoStreamUntilRecalculated) {
    FourStreamProject p;
    ASSERT_NE(p.scenario, nullptr);
    ASSERT_EQ(p.scenario->AddStream("X", 0), 1);
    for (const char* name : {"C2", "H1", "H2", "C1"}) ASSERT_EQ(p.scenario->DeleteStream(name), 1);
    ASSERT_EQ(p.scenario->GetSegmentPool(), nullptr);
    ASSERT_NE(p.scenario->GetEnergyTargetRecord(), nullptr);
    CPString out;
    for (int kind : {1, 3, 4})
        for (double t : {30.0, 100.0, 130.0}) {
            EXPECT_EQ(p.scenario->GetStreamsAtCurvePoint(kind, 50.0, t, out), 1);
            EXPECT_EQ(out, FindString("SegmentStreams"));
        }
    ASSERT_TRUE(p.AddStream(StreamData{"Y", 100, 50, 1.0}));
    EXPECT_NEAR(p.scenario->GetUtilityTarget(0), 0.0, kTol);
    EXPECT_NEAR(p.scenario->GetUtilityTarget(1), 50.0, kTol);
    EXPECT_EQ(p.scenario->GetStreamsAtCurvePoint(3, 25.0, 75.0, out), 1);
    EXPECT_EQ(out, FindString("SegmentStreams") + "\n Y");
}

// ---------------------------------------------------------------- loads just below zero

namespace {

// Builds the shifted composite curves over its own two segments with a chosen cold start load.
class ColdStartBuilders : public NullTargetRecordBuilders {
public:
    explicit ColdStartBuilders(double coldStart) : m_coldStart(coldStart) {
        m_hot.dInletTemperature = m_hot.dShiftedInletTemperature = 100.0;
        m_hot.dOutletTemperature = m_hot.dShiftedOutletTemperature = 50.0;
        m_cold.dInletTemperature = m_cold.dShiftedInletTemperature = 40.0;
        m_cold.dOutletTemperature = m_cold.dShiftedOutletTemperature = 90.0;
        m_hot.dHeatCapacityFlowrate = m_cold.dHeatCapacityFlowrate = 1.0;
        m_hot.nHotCold = 0;
        m_cold.nHotCold = 1;
        m_hot.nKind = m_cold.nKind = 0;
    }
    CompositeCurves* UpdateCompositeCurves(CompositeCurves* record, IHeatIntegrationScenario&, int code) override {
        if (code == FreeRecords) {
            DeleteCompositeCurves(record);
            return nullptr;
        }
        if (!record) record = new CompositeCurves();
        StreamSegment* segments[] = {&m_hot, &m_cold};
        record->BuildSlot(CompositeCurves::ShiftedCompositeSlot, 0.0, m_coldStart, segments);
        return record;
    }

private:
    double m_coldStart;
    StreamSegment m_hot, m_cold;
};

}  // namespace

class ColdLoadJustBelowZero : public ::testing::TestWithParam<std::pair<double, double>> {};

TEST_P(ColdLoadJustBelowZero, ReadsAsZeroOnlyWithinATenthOfAPercentOfAKilowatt) {
    ScenarioServices services;
    services.builders = std::make_shared<ColdStartBuilders>(GetParam().first);
    CPIScenario scenario(nullptr, services);
    ASSERT_EQ(scenario.AddStream("H", 0), 1);
    IHeatIntegrationStream* s = nullptr;
    ASSERT_TRUE(scenario.GetStream("H", s));
    s->SetValue("Temperature", 100, 0);
    s->SetValue("Temperature", 50, 1);
    s->SetValue("HeatCapacityFlowrate", 1, 0);
    // The cold list's lowest point (40) holds the start load; the hot list's lowest holds 0.
    ASSERT_EQ(scenario.GetNumberOfCurvePoints(2), 2);
    EXPECT_EQ(scenario.GetTargetCurveValue(2, 0, 1), 40.0);
    EXPECT_EQ(scenario.GetTargetCurveValue(2, 1, 1), GetParam().second);
    EXPECT_EQ(scenario.GetTargetCurveValue(1, 1, 0), 50.0);
}

INSTANTIATE_TEST_SUITE_P(StartLoads, ColdLoadJustBelowZero,
                         ::testing::Values(std::pair{-0.0005, 0.0}, std::pair{-0.002, -0.002},
                                           std::pair{0.5, 0.5}));

TEST(ScenarioTargets, ScenarioWithoutStreamsAnswersNeutralValues) {
    ScenarioServices services;
    services.builders = std::make_shared<ScenarioTargetBuilders>();
    CPIScenario scenario(nullptr, services);
    EXPECT_EQ(scenario.SetDTmin(20.0), 1);
    EXPECT_EQ(scenario.GetUtilityTarget(0), 0.0);
    EXPECT_EQ(scenario.GetNumberOfPockets(), -1);
    EXPECT_EQ(scenario.GetNumberOfPinchPoints(), 0);
    EXPECT_EQ(scenario.GetTargetCurveValue(0, 0, 0), 0.0);
    // A stream with no values yet gives the pool nothing to calculate from.
    ASSERT_EQ(scenario.AddStream("H1", 0), 1);
    scenario.UpdateTargets(nullptr, 35);
    EXPECT_EQ(scenario.GetEnergyTargetRecord(), nullptr);
    EXPECT_EQ(scenario.GetNumberOfPockets(), -1);
}

}  // namespace
