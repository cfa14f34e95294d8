// Values, segments, kind, side and DTmin contribution of a heat-integration stream.
#include "eng/model/CaseSegmentDomain.h"
#include "eng/model/HeatIntegrationStream.h"
#include "osmeri/CPValue.h"
#include "tests/eng/model/StreamTestSupport.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace streamtest;

namespace {

class StreamValues : public ::testing::Test {
protected:
    void SetUp() override { EnsureRegistries(); }
    FakeStreamOwner owner;
};

// ---- property bounds ------------------------------------------------------------------------------

class PropertyBounds : public StreamValues, public ::testing::WithParamInterface<const char*> {};

TEST_P(PropertyBounds, OnlyValuesStrictlyInsideTheBoundsOrEmptyAreTaken) {
    CPIHeatIntegrationStream s(&owner, "C1");
    const char* name = GetParam();
    EXPECT_EQ(1, s.SetValue(name, 0.5, 0));
    EXPECT_EQ(0, s.SetValue(name, 0.0, 0));
    EXPECT_EQ(0, s.SetValue(name, 1e-08, 0));
    EXPECT_EQ(0, s.SetValue(name, 1e+24, 0));
    EXPECT_EQ(0, s.SetValue(name, -3.0, 0));
    EXPECT_DOUBLE_EQ(0.5, Value(s, name));
    EXPECT_EQ(1, s.SetValue(name, 2e-08, 0));
    EXPECT_EQ(1, s.SetValue(name, kEmpty, 0));
    EXPECT_EQ(kEmpty, Value(s, name));
}

INSTANTIATE_TEST_SUITE_P(FivePhysicalProperties, PropertyBounds,
                         ::testing::Values("Viscosity", "Diameter"));

// ---- the one judgement of a segment a case holds ------------------------------------------------

// Each row fails one condition alone (or none): ends, coefficient, and a process stream's rate and
// load over its span.
struct SegmentRow {
    const char* label;
    double from, to, h, cp;
    bool utility, holds;
};
void PrintTo(const SegmentRow& r, std::ostream* out) { *out << r.label; }

class CaseSegment : public ::testing::TestWithParam<SegmentRow> {};

TEST_P(CaseSegment, HoldsOnlyWhatACaseHolds) {
    const SegmentRow& r = GetParam();
    EXPECT_EQ(r.holds, CaseValueLimits::SegmentHolds(r.from, r.to, r.h, r.cp, r.utility));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CaseSegment,
    ::testing::Values(SegmentRow{"Sound", 170, 60, 0.2, 3, false, true},
                      SegmentRow{"NothingGiven", kEmpty, kEmpty, kEmpty, kEmpty, false, true},
                      SegmentRow{"InletBelowAbsoluteZero", -274, 60, 0.2, 3, false, false},
                      SegmentRow{"OutletPastAnyPlant", 170, 5001, 0.2, 3, false, false},
                      SegmentRow{"CoefficientTooSmall", 170, 60, 0.0009, 3, false, false},
                      SegmentRow{"CoefficientTooLarge", 170, 60, 2e6, 3, false, false},
                      SegmentRow{"RateAtTheSmallest", 170, 60, 0.2, 0.001, false, true},
                      SegmentRow{"RateBelowTheSmallest", 170, 60, 0.2, 0.0009, false, false},
                      SegmentRow{"RatePastTheLargest", 170, 60, 0.2, 2e9, false, false},
                      // 3 kW/C over 0.0003 C and 0.0004 C: 0.0009 and 0.0012 kW.
                      SegmentRow{"LoadBelowTheSmallest", 60.0003, 60, 0.2, 3, false, false},
                      SegmentRow{"LoadJustAboveTheSmallest", 60.0004, 60, 0.2, 3, false, true},
                      SegmentRow{"LoadPastTheLargest", 3000, 1000, 0.2, 9e8, false, false},
                      SegmentRow{"AUtilitysRateFollowsItsLoad", 250, 249, 0.2, 0.0001, true, true}),
    [](const ::testing::TestParamInfo<SegmentRow>& info) { return std::string(info.param.label); });

// A stream asked whether it would hold a value: the mass flow carries the rate through the given
// specific heat (2 kJ/kg.C), nothing is stored and nobody hears of it.
TEST_F(StreamValues, WouldHoldTriesAValueOnACopy) {
    CPIHeatIntegrationStream s(&owner, "H1");
    SetPoints(s, {170, 60});
    ASSERT_EQ(1, s.SetValue("SpecificHeat", 2.0, 0));
    ASSERT_EQ(1, s.SetValue("MassFlow", 1.5, 0));
    ASSERT_DOUBLE_EQ(3.0, Value(s, "HeatCapacityFlowrate"));
    RecordingReceiver rec;
    s.AddNotificationReceiver(&rec);
    EXPECT_TRUE(s.WouldHold("MassFlow", 0.0005, 0));
    EXPECT_FALSE(s.WouldHold("MassFlow", 0.0001, 0));
    EXPECT_FALSE(s.WouldHold("MassFlow", 1e9, 0));
    EXPECT_TRUE(s.WouldHold("Temperature", 60.0004, 0));
    EXPECT_FALSE(s.WouldHold("Temperature", 60.0001, 0));
    EXPECT_FALSE(s.WouldHold("Temperature", 50, 0));
    EXPECT_DOUBLE_EQ(1.5, Value(s, "MassFlow"));
    EXPECT_DOUBLE_EQ(170.0, Value(s, "Temperature"));
    EXPECT_DOUBLE_EQ(3.0, Value(s, "HeatCapacityFlowrate"));
    EXPECT_EQ(0, rec.Count(37));
    // A stream given by its rate alone has no mass flow yet: a first one is tried as a write makes it.
    CPIHeatIntegrationStream h3(&owner, "H3");
    SetPoints(h3, {150, 60});
    ASSERT_EQ(1, h3.SetValue("HeatCapacityFlowrate", 2.0, 0));
    const double none = Value(h3, "MassFlow");
    EXPECT_TRUE(h3.WouldHold("MassFlow", 2.0, 0));
    EXPECT_EQ(none, Value(h3, "MassFlow"));
}

// ---- what SetValue stores and sends --------------------------------------------------------------

TEST_F(StreamValues, UtilityFlowsAreNotStoredButTheChangeIsSent) {
    CPIHeatIntegrationStream* u = owner.Add("Steam", CPIHeatIntegrationStream::KindUtility);
    RecordingReceiver rec;
    u->AddNotificationReceiver(&rec);
    for (const char* name : {"HeatCapacityFlowrate", "MassFlow"}) {
        rec.Clear();
        EXPECT_EQ(1, u->SetValue(name, 5.0, 0));
        EXPECT_EQ(kEmpty, Value(*u, name));
        EXPECT_EQ(2, u->GetValueStatus(name, 0));
        ASSERT_EQ(1, rec.Count(37));
        EXPECT_EQ(CPString(name), rec.Last(37)->text);
        EXPECT_EQ(AsData(*u), rec.Last(37)->data);
    }
}

TEST_F(StreamValues, CostIndexIsKeptUnlessTheStreamIsLocked) {
    CPIHeatIntegrationStream s(&owner, "H1");
    RecordingReceiver rec;
    s.AddNotificationReceiver(&rec);
    s.SetCostIndex(2e-06);
    EXPECT_DOUBLE_EQ(2e-06, s.GetCostIndex());
    EXPECT_EQ(1, rec.Count(4));
    s.SetLocked(true);
    s.SetCostIndex(9e-06);
    EXPECT_DOUBLE_EQ(2e-06, s.GetCostIndex());
    EXPECT_EQ(1, rec.Count(4));
}

// ---- point order and side ---------------------------------------------------------------------------

TEST_F(StreamValues, SideIsDeterminedFromTheFirstTwoPointsAndAnnouncedOnce) {
    CPIHeatIntegrationStream* s = owner.Add("C1");
    RecordingReceiver rec;
    s->AddNotificationReceiver(&rec);
    s->SetValue("Temperature", 20.0, 0);
    EXPECT_EQ(0, rec.Count(73));
    s->SetValue("Temperature", 80.0, 1);
    EXPECT_EQ(CPIHeatIntegrationStream::SideCold, s->GetHotCold());
    ASSERT_EQ(1, rec.Count(73));
    EXPECT_EQ(2, rec.Last(73)->intValue);
    ASSERT_EQ(1, rec.Count(71));
    EXPECT_EQ(AsData(*s), rec.Last(71)->data);
    s->SetValue("Temperature", 90.0, 1);
    EXPECT_EQ(1, rec.Count(73));

    CPIHeatIntegrationStream* flat = owner.Add("F");
    flat->SetValue("Temperature", 100.0, 0);
    flat->SetValue("Temperature", 100.00005, 1);
    EXPECT_EQ(CPIHeatIntegrationStream::SideUndetermined, flat->GetHotCold());
}

// ---- segments -----------------------------------------------------------------------------------------

TEST_F(StreamValues, InsertingAtOneSplitsTheFirstSegmentInFront) {
    CPIHeatIntegrationStream* s = owner.Add("H1");
    SetPoints(*s, {100.0, 50.0});
    s->SetValue("HeatCapacityFlowrate", 2.0, 0);
    RecordingReceiver rec;
    s->AddNotificationReceiver(&rec);
    ASSERT_EQ(1, s->InsertSegment(1));
    EXPECT_EQ(2, s->GetNumberOfSegments());
    EXPECT_DOUBLE_EQ(100.0, Value(*s, "Temperature", 0));
    EXPECT_EQ(kEmpty, Value(*s, "Temperature", 1));
    EXPECT_DOUBLE_EQ(50.0, Value(*s, "Temperature", 2));
    EXPECT_EQ(kEmpty, Value(*s, "HeatCapacityFlowrate", 0));
    EXPECT_DOUBLE_EQ(2.0, Value(*s, "HeatCapacityFlowrate", 1));
    ASSERT_EQ(1, rec.Count(33));
    EXPECT_EQ(CPString("H1"), rec.Last(33)->text);
    EXPECT_EQ(0, s->InsertSegment(4));
    EXPECT_EQ(0, s->InsertSegment(-1));
}

// ---- kind ---------------------------------------------------------------------------------------------

struct KindCase {
    int from;
    int to;
    int result;
    int kindAfter;
    bool sends87;
};
void PrintTo(const KindCase& c, std::ostream* os) {
    *os << "kind " << c.from << " to " << c.to << ": result " << c.result << ", kind " << c.kindAfter;
}

class StreamKind : public StreamValues, public ::testing::WithParamInterface<KindCase> {};

TEST_P(StreamKind, KindChanges) {
    const KindCase& c = GetParam();
    CPIHeatIntegrationStream* s = owner.Add("S", c.from);
    ASSERT_EQ(c.from, s->GetStreamKind());
    RecordingReceiver rec;
    s->AddNotificationReceiver(&rec);
    EXPECT_EQ(c.result, s->SetStreamKind(c.to, 1));
    EXPECT_EQ(c.kindAfter, s->GetStreamKind());
    EXPECT_EQ(c.sends87 ? 1 : 0, rec.Count(87));
    if (c.sends87) {
        EXPECT_EQ(c.from, rec.Last(87)->intValue);
        EXPECT_EQ(CPString("S"), rec.Last(87)->text);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, StreamKind,
                         ::testing::Values(KindCase{0, 1, 1, 1, true}, KindCase{0, 0, 1, 0, false},
                                           // a linked stream becomes a utility, answering 0, and says so
                                           KindCase{2, 1, 0, 1, true}, KindCase{0, 7, 0, 0, false}));

// ---- DTmin contribution -------------------------------------------------------------------------------

TEST_F(StreamValues, ContributionKeepsHalfTheDifferenceAndItsScope) {
    CPIHeatIntegrationStream* s = owner.Add("H1");
    SetPoints(*s, {150.0, 100.0});
    s->SetValue("Enthalpy", 100.0, 0);
    RecordingReceiver rec;
    s->AddNotificationReceiver(&rec);
    EXPECT_EQ(1, s->SetDTminContribution(20.0, "Local", 0, 1));
    EXPECT_DOUBLE_EQ(10.0, s->GetDTminContribution());
    EXPECT_EQ(1, s->GetDTminContributionScope());
    EXPECT_EQ(1, rec.Count(35));
    EXPECT_EQ(1, s->SetDTminContribution(30.0, "Global", 0, 0));
    EXPECT_DOUBLE_EQ(15.0, s->GetDTminContribution());
    EXPECT_EQ(0, s->GetDTminContributionScope());
    EXPECT_EQ(1, rec.Count(35));
    EXPECT_EQ(0, s->SetDTminContribution(40.0, "Regional", 0, 1));
    EXPECT_DOUBLE_EQ(15.0, s->GetDTminContribution());
    EXPECT_EQ(0, s->IsUpdating());

    // An incomplete stream takes the contribution without announcing it.
    CPIHeatIntegrationStream* open = owner.Add("Open");
    RecordingReceiver quiet;
    open->AddNotificationReceiver(&quiet);
    EXPECT_EQ(1, open->SetDTminContribution(20.0, "Local", 0, 1));
    EXPECT_EQ(0, quiet.Count(35));
}

}  // namespace
