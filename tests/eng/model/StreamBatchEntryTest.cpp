// A stream's row entered in one batch (SetValues) against the same row entered value by value:
// the stored stream, its side, the scenario's targets and the case bytes are the same; the batch
// is announced once per kind of value, and a batch the stream cannot take at once still stores
// what one-by-one storing stores and stops at the same refused value.
#include "ScenarioRecordTestSupport.h"

#include "brasko/LurmetBinaryFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace scenario_record_test;

namespace {

struct BatchCase {
    const char* name;
    int kind;
    int segments;  // segments inserted before the values (1: none inserted)
    std::vector<StreamValueSetting> values;
    int expected;  // SetValues' answer
};

// A failing case is named by its name, not by its bytes.
void PrintTo(const BatchCase& c, std::ostream* os) { *os << c.name; }

std::vector<std::uint8_t> StoreStream(const CPIHeatIntegrationStream& s) {
    LurmetBinaryFile f = LurmetBinaryFile::ForWriting();
    EXPECT_TRUE(s.Store(f));
    return f.Bytes();
}

// A scenario holding a cold stream, so that a hot row has a partner, with the row's stream added.
CPIHeatIntegrationStream* Prepare(CPIScenario& s, const BatchCase& c) {
    s.SuspendCalculations();
    AddStream(s, "C0", 0, {{40.0, 140.0, 3.0}}, 0.5);
    if (s.AddStream("Row", c.kind) != 1) return nullptr;
    CPIHeatIntegrationStream* stream = s.FindStream("Row");
    for (int i = 1; i < c.segments; ++i) stream->InsertSegment(0);
    return stream;
}

int OneByOne(CPIHeatIntegrationStream& stream, const std::vector<StreamValueSetting>& values) {
    for (const StreamValueSetting& v : values)
        if (stream.SetValue(v.name, v.value, v.index) != 1) return 0;
    return 1;
}

class StreamBatchEntry : public testing::TestWithParam<BatchCase> {};

TEST_P(StreamBatchEntry, StoresWhatOneByOneStores) {
    const BatchCase& c = GetParam();
    LiveScenario one, batch;
    CPIHeatIntegrationStream* a = Prepare(one.scenario, c);
    CPIHeatIntegrationStream* b = Prepare(batch.scenario, c);
    ASSERT_TRUE(a && b);

    EXPECT_EQ(OneByOne(*a, c.values), c.expected);
    EXPECT_EQ(b->SetValues(c.values.data(), static_cast<int>(c.values.size())), c.expected);
    one.scenario.ResumeCalculations(true);
    batch.scenario.ResumeCalculations(true);

    EXPECT_EQ(b->GetHotCold(), a->GetHotCold());
    EXPECT_EQ(StoreStream(*b), StoreStream(*a));
    const Bytes scenarioBytes = StoreScenario(one.scenario);
    EXPECT_FALSE(scenarioBytes.empty());
    EXPECT_EQ(StoreScenario(batch.scenario), scenarioBytes);
    for (int side : {0, 1}) EXPECT_EQ(batch.scenario.GetUtilityTarget(side), one.scenario.GetUtilityTarget(side));
    EXPECT_EQ(batch.scenario.GetAreaTarget(0), one.scenario.GetAreaTarget(0));
    EXPECT_EQ(batch.scenario.GetNumberOfStreamsOfKind(0, 0), one.scenario.GetNumberOfStreamsOfKind(0, 0));
    EXPECT_EQ(batch.scenario.GetNumberOfStreamsOfKind(0, 1), one.scenario.GetNumberOfStreamsOfKind(0, 1));
}

const BatchCase kCases[] = {
    // Taken at once: a hot and a cold row, one in the table's order and one backwards.
    {"HotRow", 0, 1, {{"Temperature", 180.0, 0}, {"Temperature", 60.0, 1}, {"HeatCapacityFlowrate", 2.5, 0}, {"HTCoeff", 0.4, 0}}, 1},
    {"ColdRowTargetFirst", 0, 1, {{"HTCoeff", 0.3, 0}, {"HeatCapacityFlowrate", 4.0, 0}, {"Temperature", 150.0, 1}, {"Temperature", 30.0, 0}}, 1},
    // An enthalpy instead of a flow: the flow and the side follow from it.
    {"EnthalpyRow", 0, 1, {{"Temperature", 90.0, 0}, {"Temperature", 20.0, 1}, {"Enthalpy", 140.0, 0}}, 1},
    // Supply and target within the margin: no side.
    {"IsothermalRow", 0, 1, {{"Temperature", 100.0, 0}, {"Temperature", 100.0, 1}, {"HeatCapacityFlowrate", 1.0, 0}}, 1},
    // Taken one by one: two segments (the new segment's coefficients are filled on the way), a
    // property the stream does not hold yet, a utility's flow.
    {"TwoSegments", 0, 2, {{"Temperature", 200.0, 0}, {"Temperature", 120.0, 1}, {"Temperature", 70.0, 2},
                           {"HeatCapacityFlowrate", 1.0, 0}, {"HeatCapacityFlowrate", 3.0, 1}}, 1},
    {"NewProperty", 0, 1, {{"Temperature", 160.0, 0}, {"Temperature", 80.0, 1}, {"Viscosity", 0.8, 0}}, 1},
    {"UtilityFlow", 1, 1, {{"Temperature", 250.0, 0}, {"Temperature", 249.0, 1}, {"HeatCapacityFlowrate", 9.0, 0}}, 1},
    // Refused: a point out of order on the second segment, a value outside its bounds, an index
    // past the segments. The values before the refused one are stored.
    {"PointOutOfOrder", 0, 2, {{"Temperature", 200.0, 0}, {"Temperature", 120.0, 1}, {"Temperature", 150.0, 2}}, 0},
    {"OutsideBounds", 0, 1, {{"Temperature", 160.0, 0}, {"Temperature", 80.0, 1}, {"Velocity", 0.0, 0}}, 0},
    {"PastTheSegments", 0, 1, {{"Temperature", 160.0, 0}, {"HeatCapacityFlowrate", 2.0, 1}}, 0},
    // The rules find the row inconsistent (an enthalpy over no temperature change): the batch
    // leaves no trace and the values go in one by one up to the enthalpy.
    {"EnthalpyOverNoSpan", 0, 1, {{"Temperature", 100.0, 0}, {"Temperature", 100.0, 1}, {"Enthalpy", 50.0, 0}}, 0},
};

INSTANTIATE_TEST_SUITE_P(Rows, StreamBatchEntry, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<BatchCase>& info) { return std::string(info.param.name); });

// Held, the scenario hears the row once: one segment re-take and one recalculation notice for the
// four values, where one-by-one storing gives one notice per value.
TEST(StreamBatchAnnouncements, ARowIsAnnouncedOncePerKindOfValue) {
    LiveScenario live;
    CPIScenario& s = live.scenario;
    s.SuspendCalculations();
    ASSERT_EQ(s.AddStream("H1", 0), 1);
    CPIHeatIntegrationStream* h1 = s.FindStream("H1");
    scenario_test::RecordingReceiver streamView(*h1);
    scenario_test::RecordingReceiver scenarioView(s);
    const StreamValueSetting row[] = {
        {"Temperature", 170.0, 0}, {"Temperature", 60.0, 1}, {"HeatCapacityFlowrate", 3.0, 0}, {"HTCoeff", 0.2, 0}};
    ASSERT_EQ(h1->SetValues(row, 4), 1);

    EXPECT_EQ(streamView.Count(37), 1);
    EXPECT_TRUE(streamView.Saw(37, "Temperature"));
    // The side is announced before the values, as when the second point is stored alone.
    EXPECT_EQ(streamView.Count(73), 1);
    EXPECT_EQ(scenarioView.Count(36), 1);
    EXPECT_EQ(scenarioView.Count(18), 0);
    EXPECT_EQ(s.GetNumberOfStreamsOfKind(0, 0), 1);

    // When the hold ends the targets stand as for the row stored value by value: 170 to 60 at
    // 3 kW/K is 330 kW of cooling.
    ASSERT_EQ(s.AddStream("Cooling Water", 1), 1);
    s.ResumeCalculations(true);
    EXPECT_TRUE(scenarioView.Saw(35, ""));
    EXPECT_NEAR(s.GetUtilityTarget(1), 330.0, 1e-9);
}

// Coefficients alone are announced by the first coefficient's name (areas and costs only).
TEST(StreamBatchAnnouncements, CoefficientsAloneAreAnnouncedAsCoefficients) {
    LiveScenario live;
    CPIScenario& s = live.scenario;
    s.SuspendCalculations();
    AddStream(s, "H1", 0, {{170.0, 60.0, 3.0}}, 0.2);
    CPIHeatIntegrationStream* h1 = s.FindStream("H1");
    scenario_test::RecordingReceiver streamView(*h1);
    // A side already known: stored one by one, announced once per value as always.
    const StreamValueSetting row[] = {{"HTCoeff", 0.5, 0}, {"FoulingFactor", 0.1, 0}};
    ASSERT_EQ(h1->SetValues(row, 2), 1);
    EXPECT_EQ(streamView.Count(37), 2);

    ASSERT_EQ(s.AddStream("C1", 0), 1);
    CPIHeatIntegrationStream* c1 = s.FindStream("C1");
    scenario_test::RecordingReceiver coldView(*c1);
    const StreamValueSetting coefficients[] = {{"HTCoeff", 0.5, 0}, {"Velocity", 2.0, 0}};
    ASSERT_EQ(c1->SetValues(coefficients, 2), 1);
    EXPECT_EQ(coldView.Count(37), 1);
    EXPECT_TRUE(coldView.Saw(37, "HTCoeff"));
    double h = 0.0;
    EXPECT_EQ(c1->GetValue("HTCoeff", h, 0), 1);
    EXPECT_EQ(h, 0.5);
}

}  // namespace
