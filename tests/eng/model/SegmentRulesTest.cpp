// The segment value rules, the film-coefficient correlation and the design segments built from a
// stream's values.
#include "eng/model/FilmCoefficient.h"
#include "eng/model/HeatIntegrationStream.h"
#include "osmeri/CPValue.h"
#include "tests/eng/model/StreamTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace streamtest;

namespace {

class SegmentRules : public ::testing::Test {
protected:
    void SetUp() override { EnsureRegistries(); }
    FakeStreamOwner owner;
};

// ---- the correlation ---------------------------------------------------------------------------

FilmProperties water() {
    FilmProperties p;
    p.velocity = 1.0;
    p.diameter = 0.0254;
    p.density = 1000.0;
    p.viscosity = 1.0;
    p.conductivity = 0.6;
    p.specificHeat = 4.18;
    return p;
}

TEST(FilmCorrelation, WaterInATubeOfOneInch) {
    const FilmProperties p = water();
    EXPECT_NEAR(25400.0, FilmCoefficient::ReynoldsNumber(p), 1e-9);
    EXPECT_NEAR(6.9667, FilmCoefficient::PrandtlNumber(p), 5e-5);
    double h = 0.0;
    ASSERT_EQ(1, FilmCoefficient::Clean(p, 1, h));
    EXPECT_NEAR(3.4667, h, 5e-5);
    ASSERT_EQ(1, FilmCoefficient::Clean(p, 0, h));
    EXPECT_NEAR(4.2982, h, 5e-5);
}

// ---- each rule fills what it derives, with status 2 ---------------------------------------------------

struct Expected {
    const char* name;
    int index;
    double value;
    int status;
};

struct RuleCase {
    const char* label;
    std::function<void(CPIHeatIntegrationStream&)> given;
    std::vector<Expected> expected;
    int hotCold;
};
void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << c.label;
}

class Rules : public SegmentRules, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(Rules, DeriveTheMissingValue) {
    const RuleCase& c = GetParam();
    CPIHeatIntegrationStream* s = owner.Add("S");
    c.given(*s);
    for (const Expected& e : c.expected) {
        EXPECT_NEAR(e.value, Value(*s, e.name, e.index), 1e-4) << c.label << ": " << e.name << " " << e.index;
        EXPECT_EQ(e.status, s->GetValueStatus(e.name, e.index)) << c.label << ": " << e.name << " " << e.index;
    }
    EXPECT_EQ(c.hotCold, s->GetHotCold()) << c.label;
}

void coldProperties(CPIHeatIntegrationStream& s) {
    s.SetValue("SpecificHeat", 4.18, 0);
    s.SetValue("MassDensity", 1000.0, 0);
    s.SetValue("Viscosity", 1.0, 0);
    s.SetValue("ThermalConductivity", 0.6, 0);
}

INSTANTIATE_TEST_SUITE_P(
    AToJ, Rules,
    ::testing::Values(
        RuleCase{"(a) flow rate from specific heat and mass flow",
                 [](CPIHeatIntegrationStream& s) {
                     SetPoints(s, {20, 80});
                     s.SetValue("MassFlow", 2.0, 0);
                     s.SetValue("SpecificHeat", 4.0, 0);
                 },
                 {{"HeatCapacityFlowrate", 0, 8.0, 2}, {"Enthalpy", 0, -480.0, 2}},
                 1},
        RuleCase{"(b) mass flow from flow rate and specific heat",
                 [](CPIHeatIntegrationStream& s) {
                     SetPoints(s, {20, 80});
                     s.SetValue("MassFlow", kEmpty, 0);  // the value exists, open
                     s.SetValue("SpecificHeat", 3.0, 0);
                     s.SetValue("HeatCapacityFlowrate", 6.0, 0);
                 },
                 {{"MassFlow", 0, 2.0, 2}},
                 1},
        RuleCase{"(c) specific heat from flow rate and mass flow",
                 [](CPIHeatIntegrationStream& s) {
                     SetPoints(s, {20, 80});
                     s.SetValue("MassFlow", 2.0, 0);
                     s.SetValue("HeatCapacityFlowrate", 6.0, 0);
                 },
                 {{"SpecificHeat", 0, 3.0, 2}},
                 1},
        RuleCase{"(d) enthalpy of a cold segment is negative",
                 [](CPIHeatIntegrationStream& s) {
                     SetPoints(s, {20, 80});
                     s.SetValue("HeatCapacityFlowrate", 2.0, 0);
                 },
                 {{"Enthalpy", 0, -120.0, 2}},
                 1},
        RuleCase{"(e) flow rate from enthalpy",
                 [](CPIHeatIntegrationStream& s) {
                     SetPoints(s, {150, 100});
                     s.SetValue("Enthalpy", 100.0, 0);
                 },
                 {{"HeatCapacityFlowrate", 0, 2.0, 2}},
                 0},
        RuleCase{"(f) supply from target",
                 [](CPIHeatIntegrationStream& s) {
                     s.SetValue("Temperature", 80.0, 1);
                     s.SetValue("Enthalpy", -120.0, 0);
                     s.SetValue("HeatCapacityFlowrate", 2.0, 0);
                 },
                 {{"Temperature", 0, 20.0, 2}},
                 1},
        RuleCase{"(g) target from supply",
                 [](CPIHeatIntegrationStream& s) {
                     s.SetValue("Temperature", 150.0, 0);
                     s.SetValue("Enthalpy", 100.0, 0);
                     s.SetValue("HeatCapacityFlowrate", 2.0, 0);
                 },
                 {{"Temperature", 1, 100.0, 2}},
                 0},
        RuleCase{"(h) clean coefficient of a cold stream",
                 [](CPIHeatIntegrationStream& s) {
                     SetPoints(s, {20, 80});
                     coldProperties(s);
                     s.SetValue("CHTCoeff", kEmpty, 0);
                 },
                 {{"CHTCoeff", 0, 3.4667, 2}, {"HTCoeff", 0, 3.4667, 2}},
                 1},
        RuleCase{"(h) clean coefficient of a hot stream",
                 [](CPIHeatIntegrationStream& s) {
                     SetPoints(s, {150, 100});
                     coldProperties(s);
                     s.SetValue("CHTCoeff", kEmpty, 0);
                 },
                 {{"CHTCoeff", 0, 4.2982, 2}},
                 0},
        RuleCase{"(h) needs the side: an undetermined stream takes the default",
                 [](CPIHeatIntegrationStream& s) {
                     coldProperties(s);
                     s.SetValue("CHTCoeff", kEmpty, 0);
                 },
                 {{"CHTCoeff", 0, 0.2, 1}},
                 2},
        RuleCase{"(i) clean coefficient from the one in use",
                 [](CPIHeatIntegrationStream& s) {
                     s.SetValue("HTCoeff", 0.8, 0);
                     s.SetValue("FoulingFactor", 0.25, 0);
                     s.SetValue("CHTCoeff", kEmpty, 0);
                 },
                 {{"CHTCoeff", 0, 1.0, 2}, {"HTCoeff", 0, 0.8, 1}},
                 2},
        RuleCase{"(j) coefficient in use from the clean one",
                 [](CPIHeatIntegrationStream& s) {
                     s.SetValue("CHTCoeff", 1.0, 0);
                     s.SetValue("FoulingFactor", 0.25, 0);
                 },
                 {{"HTCoeff", 0, 0.8, 2}},
                 2}),
    [](const ::testing::TestParamInfo<RuleCase>& info) { return "rule" + std::to_string(info.index); });


// ---- completeness, defaults, transport properties -------------------------------------------------

TEST_F(SegmentRules, CompletenessFollowsTheKindOfStream) {
    CPIHeatIntegrationStream* p = owner.Add("P");
    SetPoints(*p, {20, 50, 80});
    EXPECT_FALSE(p->IsComplete());
    SetSegmentValues(*p, "HeatCapacityFlowrate", {1.0, 2.0});
    EXPECT_TRUE(p->IsComplete());

    // A utility without specific heats runs at one heat-capacity flow rate over its range; with
    // some given and some not, its segments' shares are open.
    CPIHeatIntegrationStream* u = owner.Add("U", 1);
    SetPoints(*u, {250, 200, 150});
    EXPECT_TRUE(u->IsComplete());
    u->SetValue("SpecificHeat", 1.0, 0);
    EXPECT_FALSE(u->IsComplete());
    u->SetValue("SpecificHeat", 3.0, 1);
    EXPECT_TRUE(u->IsComplete());
}

// ---- design segments ---------------------------------------------------------------------------------

struct UtilityCase {
    std::vector<double> points;
    std::vector<double> specificHeats;
    double factor;
};
void PrintTo(const UtilityCase& c, std::ostream* os) {
    *os << c.points.size() << " points, factor " << c.factor;
}

class UtilitySegments : public SegmentRules, public ::testing::WithParamInterface<UtilityCase> {};

TEST_P(UtilitySegments, CarryANetworkLink) {
    const UtilityCase& c = GetParam();
    CPIHeatIntegrationStream* u = owner.Add("U", 1);
    SetPoints(*u, c.points);
    SetSegmentValues(*u, "SpecificHeat", c.specificHeats);
    auto list = u->BuildDesignSegments();
    ASSERT_EQ(c.specificHeats.size(), list->size());
    for (std::size_t i = 0; i < list->size(); ++i) {
        const StreamSegment& seg = *(*list)[i];
        ASSERT_TRUE(seg.HasLink());
        EXPECT_TRUE(seg.IsConnected());
        EXPECT_EQ(1, seg.nKind);
        EXPECT_DOUBLE_EQ(seg.dOutletTemperature, seg.pLink->dFarEndTemperature);
        EXPECT_DOUBLE_EQ(c.specificHeats[i], seg.pLink->dSpecificHeat);
        EXPECT_NEAR(c.factor, seg.pLink->dUtilityFactor, 1e-12);
        EXPECT_DOUBLE_EQ(0.0, seg.dLoad);
    }
}

INSTANTIATE_TEST_SUITE_P(HotAndCold, UtilitySegments,
                         ::testing::Values(UtilityCase{{250, 200, 150}, {1.0, 3.0}, (250 + 273.15) * 0.005},
                                           UtilityCase{{15, 25}, {4.2}, 200.0 / (15 + 273.15)}));

TEST_F(SegmentRules, ASegmentNeverSpansLessThanTheMargin) {
    CPIHeatIntegrationStream* s = owner.Add("N");
    s->SetValue("Temperature", 100.0, 0);
    s->SetValue("Temperature", 100.00005, 1);
    ASSERT_EQ(1, s->SetValue("Enthalpy", -0.001, 0));
    EXPECT_NEAR(20.0, Value(*s, "HeatCapacityFlowrate"), 1e-6);
    auto list = s->BuildDesignSegments();
    ASSERT_EQ(1u, list->size());
    const StreamSegment& seg = *(*list)[0];
    EXPECT_DOUBLE_EQ(100.0 + 0.0001, seg.dOutletTemperature);
    EXPECT_DOUBLE_EQ(seg.dOutletTemperature, seg.dShiftedOutletTemperature);
    EXPECT_NEAR(10.0, seg.dHeatCapacityFlowrate, 1e-6);

    CPIHeatIntegrationStream* flat = owner.Add("Flat");
    SetPoints(*flat, {100, 100});
    auto flatList = flat->BuildDesignSegments();
    ASSERT_EQ(1u, flatList->size());
    EXPECT_DOUBLE_EQ(100.0, (*flatList)[0]->dOutletTemperature);
    EXPECT_DOUBLE_EQ(0.0, (*flatList)[0]->dHeatCapacityFlowrate);
    EXPECT_EQ(2, (*flatList)[0]->nHotCold);
}

}  // namespace
