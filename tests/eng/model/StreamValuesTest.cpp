// Values, segments, kind, side and DTmin contribution of a heat-integration stream.
#include "eng/model/HeatIntegrationStream.h"
#include "osmeri/CPValue.h"
#include "tests/eng/model/StreamTestSupport.h"

#include <gtest/gtest.h>

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
