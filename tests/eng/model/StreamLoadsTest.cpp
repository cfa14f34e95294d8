// Heat loads, temperatures, end tolerance loads and shifted temperatures of a stream.
#include "eng/model/HeatIntegrationStream.h"
#include "osmeri/CPValue.h"
#include "tests/eng/model/StreamTestSupport.h"

#include "dunmor/Exceptions.h"

#include <gtest/gtest.h>

using namespace streamtest;

namespace {

class StreamLoads : public ::testing::Test {
protected:
    void SetUp() override { EnsureRegistries(); }

    // A cold process stream 20 -> 50 -> 80 with flow rates 1 and 2 and its design segments.
    CPIHeatIntegrationStream* ColdTwoSegments() {
        CPIHeatIntegrationStream* s = owner.Add("C1");
        SetPoints(*s, {20, 50, 80});
        SetSegmentValues(*s, "HeatCapacityFlowrate", {1.0, 2.0});
        TakeSegments(*s);
        return s;
    }
    // A hot utility 250 -> 200 -> 150 with specific heats 1 and 3 and its design segments.
    CPIHeatIntegrationStream* HotUtility(const char* name = "Steam") {
        CPIHeatIntegrationStream* u = owner.Add(name, 1);
        SetPoints(*u, {250, 200, 150});
        SetSegmentValues(*u, "SpecificHeat", {1.0, 3.0});
        TakeSegments(*u);
        return u;
    }
    FakeStreamOwner owner;
};

// ---- GetHeatLoad ----------------------------------------------------------------------------------

TEST_F(StreamLoads, ProcessLoadIsTheMagnitudeOfTheEnthalpySum) {
    CPIHeatIntegrationStream* s = owner.Add("P");
    s->InsertSegment(1);
    SetSegmentValues(*s, "Enthalpy", {100.0, -40.0});
    EXPECT_DOUBLE_EQ(60.0, s->GetHeatLoad(0));
    EXPECT_TRUE(s->IsLoadInStep(0));
    EXPECT_DOUBLE_EQ(60.0, s->GetHeatLoad(1));

    s->SetValue("Enthalpy", kEmpty, 1);
    EXPECT_FALSE(s->IsLoadInStep(0));  // any change of values clears the flags
    EXPECT_DOUBLE_EQ(0.0, s->GetHeatLoad(0));
}

// ---- SetHeatLoad on a utility --------------------------------------------------------------------

TEST_F(StreamLoads, AUtilityLoadIsSpreadOverItsSegmentsBySpecificHeat) {
    CPIHeatIntegrationStream* u = HotUtility();
    u->SetHeatLoad(400.0, 0);
    const StreamSegmentList& segs = *u->GetDesignSegments();
    // S = |(200 - 250) x 1 + (150 - 200) x 3| = 200; shares 400 x 1 x 50 / 200 and 400 x 3 x 50 / 200,
    // each of the load's sign (as the placement and the curves give a hot utility's segments).
    EXPECT_DOUBLE_EQ(100.0, segs[0]->dLoad);
    EXPECT_DOUBLE_EQ(300.0, segs[1]->dLoad);
    EXPECT_DOUBLE_EQ(2.0, segs[0]->dHeatCapacityFlowrate);
    EXPECT_DOUBLE_EQ(6.0, segs[1]->dHeatCapacityFlowrate);
    EXPECT_DOUBLE_EQ(2.0, Value(*u, "HeatCapacityFlowrate", 0));
    EXPECT_DOUBLE_EQ(6.0, Value(*u, "HeatCapacityFlowrate", 1));
    EXPECT_EQ(2, u->GetPropertySet().GetEntry("HeatCapacityFlowrate", 1)->GetStatus());
    EXPECT_TRUE(u->IsLoadInStep(0));
    EXPECT_DOUBLE_EQ(400.0, u->GetHeatLoad(0));
    EXPECT_DOUBLE_EQ(400.0, u->GetHeatLoad(1));
    EXPECT_DOUBLE_EQ(2.0, u->GetSegmentHeatCapacityFlowrate(0));
    EXPECT_DOUBLE_EQ(6.0, u->GetSegmentHeatCapacityFlowrate(1));
    EXPECT_EQ(kEmpty, u->GetSegmentHeatCapacityFlowrate(2));
}

// One mass flow through both segments, the second serving only down to 175 C: 400 kW over
// 1 x 50 + 3 x 25 = 125 gives a mass flow of 3.2, CPs 3.2 and 9.6, loads 160 and 240. The load
// set is the load read, in both views and read after read.
TEST_F(StreamLoads, InTheNetworkViewTheLoadEndsAtTheFarEnd) {
    for (int view : {1, 0}) {
        CPIHeatIntegrationStream* u = HotUtility(view == 1 ? "Steam" : "Oil");
        (*u->GetDesignSegments())[1]->pLink->dFarEndTemperature = 175.0;
        u->SetHeatLoad(400.0, view);
        const StreamSegmentList& segs = *u->GetDesignSegments();
        EXPECT_DOUBLE_EQ(160.0, segs[0]->dLoad) << view;
        EXPECT_DOUBLE_EQ(3.2, segs[0]->dHeatCapacityFlowrate) << view;
        EXPECT_DOUBLE_EQ(9.6, segs[1]->dHeatCapacityFlowrate) << view;
        EXPECT_DOUBLE_EQ(240.0, segs[1]->dLoad) << view;
        EXPECT_TRUE(u->IsLoadInStep(view));
        for (int read = 0; read < 2; ++read) {
            EXPECT_DOUBLE_EQ(400.0, u->GetHeatLoad(0)) << view;
            EXPECT_DOUBLE_EQ(400.0, u->GetHeatLoad(1)) << view;
        }
        EXPECT_DOUBLE_EQ(9.6, segs[1]->dHeatCapacityFlowrate) << view;
    }
}

// A segment the placement left unused serves nothing: the used one carries the whole load.
TEST_F(StreamLoads, UnconnectedSegmentsTakeNoLoad) {
    for (int view : {1, 0}) {
        CPIHeatIntegrationStream* u = HotUtility(view == 1 ? "Steam" : "Oil");
        (*u->GetDesignSegments())[1]->pLink->nConnected = 0;
        u->SetHeatLoad(400.0, view);
        EXPECT_DOUBLE_EQ(0.0, (*u->GetDesignSegments())[1]->dLoad);
        EXPECT_DOUBLE_EQ(0.0, (*u->GetDesignSegments())[1]->dHeatCapacityFlowrate);
        EXPECT_DOUBLE_EQ(8.0, (*u->GetDesignSegments())[0]->dHeatCapacityFlowrate);
        EXPECT_DOUBLE_EQ(400.0, u->GetHeatLoad(1));
        EXPECT_DOUBLE_EQ(400.0, u->GetHeatLoad(0));
    }
}

// ---- loads in a range ----------------------------------------------------------------------------

struct RangeCase {
    std::vector<double> points;
    std::vector<double> flows;
    double from, to;
    int mode;
    double load;
};
void PrintTo(const RangeCase& c, std::ostream* os) {
    *os << "from " << c.from << " to " << c.to << " C, mode " << c.mode << ": " << c.load << " kW";
}

class LoadInRange : public StreamLoads, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(LoadInRange, CountsTheOverlapOfEachSegment) {
    const RangeCase& c = GetParam();
    CPIHeatIntegrationStream* s = owner.Add("S");
    SetPoints(*s, c.points);
    SetSegmentValues(*s, "HeatCapacityFlowrate", c.flows);
    TakeSegments(*s);
    EXPECT_DOUBLE_EQ(c.load, s->GetHeatLoadInRange(c.from, c.to, c.mode));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadInRange,
    ::testing::Values(
        // one segment reaches as far as asked, wherever its own temperatures lie
        RangeCase{{100, 200}, {2.0}, 10, 30, 1, 40.0},
        // the first span reaches down to 0, the last up to 100: 1 x 50 + 2 x 50
        RangeCase{{20, 50, 80}, {1.0, 2.0}, 0, 100, 0, 150.0}, RangeCase{{20, 50, 80}, {1.0, 2.0}, 30, 60, 1, 40.0},
        // hot streams count downward, from the higher temperature to the lower
        RangeCase{{150, 100, 50}, {1.0, 2.0}, 120, 80, 1, 60.0}));

// ---- temperatures ----------------------------------------------------------------------------------

TEST_F(StreamLoads, TemperatureAtLoadIsLinearWithinEachSegment) {
    CPIHeatIntegrationStream* s = ColdTwoSegments();
    EXPECT_DOUBLE_EQ(20.0, s->GetTemperatureAtLoad(0.0));
    EXPECT_DOUBLE_EQ(35.0, s->GetTemperatureAtLoad(15.0));
    EXPECT_DOUBLE_EQ(50.0, s->GetTemperatureAtLoad(30.0));
    EXPECT_DOUBLE_EQ(65.0, s->GetTemperatureAtLoad(60.0));
    EXPECT_DOUBLE_EQ(80.0, s->GetTemperatureAtLoad(90.0));

    CPIHeatIntegrationStream* noSegments = owner.Add("N");
    EXPECT_EQ(kEmpty, noSegments->GetTemperatureAtLoad(10.0));
    CPIHeatIntegrationStream* u = HotUtility();
    EXPECT_DOUBLE_EQ(0.0, u->GetTemperatureAtLoad(10.0));
}

// ---- widening --------------------------------------------------------------------------------------

struct WidenCase {
    std::vector<double> points;
    double enthalpy;  // kEmpty: none
    double target;
    double flow;      // kEmpty: not checked
};
void PrintTo(const WidenCase& c, std::ostream* os) {
    *os << c.points.size() << " points widened to " << c.target << " C";
}

class Widen : public StreamLoads, public ::testing::WithParamInterface<WidenCase> {};

TEST_P(Widen, AnIsothermalStreamSpansHalfADegree) {
    const WidenCase& c = GetParam();
    CPIHeatIntegrationStream* s = owner.Add("S");
    SetPoints(*s, c.points);
    if (c.enthalpy != kEmpty) {
        ASSERT_EQ(1, s->SetValue("Enthalpy", c.enthalpy, 0));
    }
    const double load = s->GetHeatLoad(0);
    s->WidenIsothermalStream();
    EXPECT_NEAR(c.target, s->GetTargetTemperature(), 1e-12);
    if (c.flow != kEmpty) {
        EXPECT_NEAR(c.flow, Value(*s, "HeatCapacityFlowrate"), 1e-9);
    }
    EXPECT_NEAR(load, s->GetHeatLoad(0), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Cases, Widen,
                         ::testing::Values(WidenCase{{100, 99.8}, 50.0, 99.5, 100.0},
                                           WidenCase{{100, 100}, kEmpty, 100.5, 0.0},
                                           WidenCase{{20, 20.3}, -30.0, 20.5, 60.0},
                                           // wide enough already: nothing changes
                                           WidenCase{{100, 99.5}, 50.0, 99.5, 100.0}));

// ---- end tolerance loads and intervals -------------------------------------------------------------

TEST_F(StreamLoads, LoadFractionsSetTheToleranceLoadOfTheirEndOnly) {
    CPIHeatIntegrationStream* s = owner.Add("C");
    SetPoints(*s, {20, 80});
    s->SetValue("Enthalpy", -120.0, 0);
    TakeSegments(*s);
    RecordingReceiver rec;
    s->AddNotificationReceiver(&rec);
    s->SetLoadFraction(0.05, -1);
    const StreamSegment& seg = *s->GetDesignSegments()->back();
    EXPECT_DOUBLE_EQ(6.0, seg.dEndToleranceLoad[1]);  // |(20 - 80) x 2 x 0.05|
    EXPECT_DOUBLE_EQ(1e-12, seg.dEndToleranceLoad[0]);
    EXPECT_DOUBLE_EQ(0.05, s->GetLoadFraction(-1));
    EXPECT_DOUBLE_EQ(0.01, s->GetLoadFraction(1));
    EXPECT_EQ(1, rec.Count(16));
    s->UpdateEndToleranceLoad(1);
    EXPECT_DOUBLE_EQ(1.2, seg.dEndToleranceLoad[0]);
    s->SetLoadFraction(0.5, 0);  // no such end: nothing stored
    EXPECT_DOUBLE_EQ(0.0, s->GetLoadFraction(0));
}

TEST_F(StreamLoads, AUtilityEndsAtItsLastConnectedSegment) {
    CPIHeatIntegrationStream* u = HotUtility();
    u->SetHeatLoad(400.0, 0);
    StreamSegmentList& segs = *u->GetDesignSegments();
    segs[1]->pLink->nConnected = 0;
    u->UpdateEndToleranceLoad(1);
    // End segment 0: (250 - far end 200) x CP 2 x 0.01.
    EXPECT_DOUBLE_EQ(1.0, segs[0]->dEndToleranceLoad[0]);
    EXPECT_DOUBLE_EQ(1e-12, segs[1]->dEndToleranceLoad[0]);
    EXPECT_TRUE(u->IsInInterval(260.0, 190.0));
    EXPECT_FALSE(u->IsInInterval(260.0, 255.0));
}

// ---- shifted temperatures ---------------------------------------------------------------------------

struct ShiftCase {
    const char* scope;
    double dTmin;
    double hotIn, hotOut, coldIn, coldOut;
};
void PrintTo(const ShiftCase& c, std::ostream* os) {
    *os << c.scope << " DTmin " << c.dTmin << " C";
}

class Shift : public StreamLoads, public ::testing::WithParamInterface<ShiftCase> {};

TEST_P(Shift, HotSegmentsMoveDownColdOnesUp) {
    const ShiftCase& c = GetParam();
    CPIHeatIntegrationStream* hot = owner.Add("H");
    SetPoints(*hot, {150, 100});
    hot->SetValue("Enthalpy", 100.0, 0);
    TakeSegments(*hot);
    CPIHeatIntegrationStream* cold = owner.Add("C");
    SetPoints(*cold, {20, 80});
    cold->SetValue("Enthalpy", -120.0, 0);
    TakeSegments(*cold);
    RecordingReceiver rec;
    hot->AddNotificationReceiver(&rec);
    hot->SetDTminContribution(c.dTmin, c.scope, 0, 1);
    cold->SetDTminContribution(c.dTmin, c.scope, 0, 1);
    const StreamSegment& h = *hot->GetDesignSegments()->front();
    const StreamSegment& k = *cold->GetDesignSegments()->front();
    EXPECT_DOUBLE_EQ(c.hotIn, h.dShiftedInletTemperature);
    EXPECT_DOUBLE_EQ(c.hotOut, h.dShiftedOutletTemperature);
    EXPECT_DOUBLE_EQ(c.coldIn, k.dShiftedInletTemperature);
    EXPECT_DOUBLE_EQ(c.coldOut, k.dShiftedOutletTemperature);
    EXPECT_EQ(h.DTminContribution, hot->GetPropertySet().GetDTminContribution());
    EXPECT_EQ(2, owner.markedChanged);
    EXPECT_EQ(1, rec.Count(35));
}

INSTANTIATE_TEST_SUITE_P(Scopes, Shift,
                         ::testing::Values(ShiftCase{"Global", 20.0, 140, 90, 30, 90},
                                           ShiftCase{"Local", 8.0, 146, 96, 24, 84}));

}  // namespace
