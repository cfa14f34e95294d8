// A process stream's data from its chain: temperatures, the simulator's load, the raw curves and
// the segments fitted to them as the settings ask.
#include "tests/eng/extraction/CaseBuilder.h"
#include "tests/eng/extraction/ExtractionTestSupport.h"

#include "eng/extraction/VelmorToTarsilImport.h"
#include "quenta/RalvexInterface.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace extraction_test;

namespace {

// S1 -> unit -> S2, the unit carrying S1's curve, and a process stream "P" to fill.
struct OneUnit {
    ExtractionProject p;
    CaseBuilder b;
    RalvexInterface access;
    VelmorToTarsilImport import{p.scenario, &access, &b.simulatorCase};
    CPItem *in, *out, *unit;
    IHeatIntegrationStream* stream = nullptr;
    OneUnit(double tIn, double tOut, const char* cls, double hIn, double hOut, double mass = 1.0) {
        in = b.Stream("S1", tIn);
        out = b.Stream("S2", tOut);
        unit = b.Through(in, "U1", cls, out);
        CaseBuilder::Num(in, "MassFlow", mass);
        if (hIn != CPValue::Empty) CaseBuilder::Num(in, "HeatFlow", hIn);
        if (hOut != CPValue::Empty) CaseBuilder::Num(out, "HeatFlow", hOut);
        p.scenario->AddStream("P", 0);
        p.scenario->GetStream(CPString("P"), stream);
    }
    void Run(double givenLoad = 0.0) { import.AddProcessStreamData("P", CaseBuilder::Chain({in, out}), true, givenLoad); }
    double Value(const char* name, int index) const {
        double v = CPValue::Empty;
        stream->GetValue(name, v, index);
        return v;
    }
};

TEST(ProcessStreamData, HeatAtOneTemperatureGoesTheWayTheHeatFlowGoes) {
    struct Row {
        double hOut, target;
        int side;
    } rows[] = {{-1500, 99.5, 0}, {-500, 100.5, 1}};
    for (const Row& r : rows) {
        OneUnit u(100, 100, r.side == 0 ? "htCooler" : "htHeater", -1000, r.hOut);
        CaseBuilder::Table(u.unit, "S1", {100, 100}, {0, r.side == 0 ? -500.0 : 500.0});
        u.Run();
        // Moved by 0.0001 and, being isothermal, widened by the stream to 0.5.
        EXPECT_NEAR(u.stream->GetTargetTemperature(), r.target, 1e-9) << r.hOut;
        EXPECT_EQ(u.stream->GetHotCold(), r.side);
        EXPECT_NEAR(u.stream->GetHeatLoad(0), 500.0, 1e-6);
    }
}

TEST(ProcessStreamData, ASpanOfExactlyAHundredthIsNotIsothermal) {
    OneUnit u(100, 99.99, "htCooler", -1000, -1001);
    CaseBuilder::Table(u.unit, "S1", {100, 99.99}, {0, -1});
    u.Run();
    EXPECT_DOUBLE_EQ(u.stream->GetTargetTemperature(), 99.99);
}

TEST(ProcessStreamData, RawPointsCloserThanAHundredthAreOrderedByEnthalpy) {
    OneUnit u(40, 60, "htHeater", 0, 300);
    CaseBuilder::Table(u.unit, "S1", {60, 50.005, 50, 40}, {300, 100, 200, 0});
    u.Run();
    EXPECT_EQ(u.Value("Raw_Temperature_DataSet", 0), 40.0);
    EXPECT_EQ(u.Value("Raw_Temperature_DataSet", 1), 50.005);
    EXPECT_EQ(u.Value("Raw_Temperature_DataSet", 2), 50.0);
    EXPECT_EQ(u.Value("Raw_MassEnthalpy_DataSet", 1), 100.0);
}

TEST(ProcessStreamData, TheLoadIsScaledToTheSimulatorsHeatFlowChange) {
    // The curves give 900 kW (1 kg/s, 9 kJ/kg K over 100 C); the heat flows say 1000.
    OneUnit u(100, 0, "htCooler", 1000, 0);
    CaseBuilder::Table(u.unit, "S1", {100, 50, 0}, {900, 450, 0});
    u.Run();
    EXPECT_NEAR(u.stream->GetHeatLoad(0), 1000.0, 1e-6);
    EXPECT_NEAR(u.Value("SpecificHeat", 0), 9.0 * 1000.0 / 900.0, 1e-9);

    // Without heat flows there is nothing to scale to: the curve's own load stays.
    OneUnit v(100, 0, "htCooler", CPValue::Empty, CPValue::Empty);
    CaseBuilder::Table(v.unit, "S1", {100, 50, 0}, {900, 450, 0});
    v.Run();
    EXPECT_NEAR(v.stream->GetHeatLoad(0), 900.0, 1e-6);
}

TEST(ProcessStreamData, AGivenLoadStandsForAStreamThatIsNotSegmented) {
    OneUnit u(100, 50, "htCooler", 1000, 500);
    u.p.scenario->GetDataExtractionConfig()->SetSettingValue("DoIUseSegments", 1);
    CaseBuilder::Table(u.unit, "S1", {100, 80, 50}, {500, 100, 0});
    u.Run(500.0);
    EXPECT_EQ(u.stream->GetNumberOfSegments(), 1);
    EXPECT_NEAR(u.stream->GetHeatLoad(0), 500.0, 1e-6);
    EXPECT_EQ(u.stream->GetValueStatus("HeatCapacityFlowrate", 0), 2);  // derived from the load
}

TEST(ProcessStreamData, WithSegmentsOnPhaseChangeOnlyStreamsThatChangePhaseAreFitted) {
    for (double vOut : {0.0, 1.0}) {
        OneUnit u(20, 120, "htHeater", 0, 1000);
        u.p.scenario->GetDataExtractionConfig()->SetSettingValue("SegmentOnPhaseChange", 1);
        u.p.scenario->GetDataExtractionConfig()->SetSettingValue("SegmentTolerances", 0.05);
        CaseBuilder::Num(u.in, "VapourFraction", 0);
        CaseBuilder::Num(u.out, "VapourFraction", vOut);
        // Sensible heat, boiling, sensible heat again: a curve with two kinks.
        CaseBuilder::Table(u.unit, "S1", {20, 40, 60, 80, 100, 120}, {0, 40, 80, 600, 640, 680});
        u.Run();
        if (vOut == 0.0) EXPECT_EQ(u.stream->GetNumberOfSegments(), 1);
        else EXPECT_GT(u.stream->GetNumberOfSegments(), 1);
        EXPECT_NEAR(u.stream->GetHeatLoad(0), 1000.0, 1e-6);
    }
}

TEST(ProcessStreamData, AStreamMissingFromItsUnitsTableTakesTheHeatFlowChange) {
    OneUnit u(100, 50, "htCooler", 1000, 400);
    CaseBuilder::Table(u.unit, "Other", {100, 50}, {500, 0});
    u.Run();
    EXPECT_EQ(u.Value("Raw_Temperature_DataSet", 0), CPValue::Empty);
    EXPECT_NEAR(u.stream->GetHeatLoad(0), 600.0, 1e-6);
    EXPECT_EQ(u.b.simulatorCase.GetItemByName("S2")->GetVariable("PIStreamName")->GetAsString(), "P");
}

TEST(ProcessStreamData, PropertiesOtherThanTemperatureAreMeansOverThePhases) {
    OneUnit u(100, 50, "htCooler", 1000, 400);
    CPValue* entry = CaseBuilder::Table(u.unit, "S1", {100, 50}, {500, 0});
    for (auto [cp, fraction] : {std::pair{2.0, 0.25}, {4.0, 0.75}}) {
        CPValue* phase = entry->AddSubValue("");
        CaseBuilder::List(phase, "prpSpecificHeat", {cp, cp});
        CaseBuilder::List(phase, "prpPhaseMassFeedFraction", {fraction, 1e-6});
    }
    const std::vector<double> curve =
        u.import.ReadPropertyCurve(CaseBuilder::Chain({u.in, u.out}), "Raw_SpecificHeat_DataSet", "prpSpecificHeat");
    ASSERT_EQ(curve.size(), 2u);
    EXPECT_DOUBLE_EQ(curve[0], 3.5);
    EXPECT_EQ(curve[1], CPValue::Empty);  // no phase above the smallest fraction: not known, never 0
}

}  // namespace
