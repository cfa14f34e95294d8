// Column reboilers and condensers as process streams from feed to product, with the unit's duty
// as the load, and the report's warning on units fed by several streams.
#include "tests/eng/extraction/CaseBuilder.h"
#include "tests/eng/extraction/ExtractionTestSupport.h"

#include "brasko/ReportHolder.h"
#include "eng/extraction/VelmorToTarsilImport.h"
#include "quenta/RalvexInterface.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace extraction_test;

namespace {

struct ColumnCase {
    ExtractionProject p;
    CaseBuilder b;
    RalvexInterface access;
    VelmorToTarsilImport import{p.scenario, &access, &b.simulatorCase};
    CPItem* column = b.Item("COL", "vsTraySection");

    // column -> feed -> unit -> product -> column, isothermal at `t`, the heat flow moving with
    // the duty's sign; the unit carries the feed's (flat) curve.
    // `streamsChange`, when given, is the product's heat flow less the feed's (else the duty).
    CPItem* Unit(const char* name, const char* cls, const char* feed, const char* product, double t, double duty,
                 double streamsChange = NAN) {
        CPItem* f = b.Stream(feed, t);
        CPItem* pr = b.Stream(product, t);
        CaseBuilder::Link(column, f);
        CPItem* unit = b.Through(f, name, cls, pr);
        CaseBuilder::Link(pr, column);
        CaseBuilder::Num(unit, "Duty", duty);
        CaseBuilder::Num(f, "HeatFlow", 1000);
        CaseBuilder::Num(pr, "HeatFlow", 1000 + (std::isnan(streamsChange) ? duty : streamsChange));
        CaseBuilder::Num(f, "MassFlow", 2);
        CaseBuilder::Table(unit, feed, {t, t}, {0, duty / 2});
        return unit;
    }
    IHeatIntegrationStream* Stream(const char* name) {
        IHeatIntegrationStream* s = nullptr;
        p.scenario->GetStream(CPString(name), s);
        return s;
    }
    ReportHolder* Report() {
        ReportHolder* r = nullptr;
        p.scenario->GetReportHolder(r);
        return r;
    }
};

TEST(ReboilersAndCondensers, EachBecomesAStreamFromFeedToProductCarryingItsDuty) {
    struct Row {
        const char* cls;
        double duty;
        int side;
        double target;
    } rows[] = {{"htReboiler", 650, 1, 130.5}, {"htCondenserTotal", -620, 0, 129.5}};
    for (const Row& r : rows) {
        ColumnCase c;
        c.Unit("R1", r.cls, "Bottoms", "Boilup", 130, r.duty);
        c.import.Extract();
        IHeatIntegrationStream* s = c.Stream("Bottoms_TO_Boilup");
        ASSERT_NE(s, nullptr) << r.cls;
        EXPECT_EQ(s->GetHotCold(), r.side) << r.cls;
        EXPECT_NEAR(std::fabs(s->GetHeatLoad(0)), std::fabs(r.duty), 1e-6) << r.cls;
        // Isothermal: widened half a degree the way the heat goes.
        EXPECT_DOUBLE_EQ(s->GetSupplyTemperature(), 130.0);
        EXPECT_NEAR(s->GetTargetTemperature(), r.target, 1e-9) << r.cls;
        ASSERT_EQ(c.import.GetReboilerChains().size(), 1u);
        EXPECT_EQ(c.import.GetReboilerChains()[0].first, "Bottoms_TO_Boilup");
        EXPECT_EQ(c.import.GetReboilerChains()[0].second->Length(), 2u);
        EXPECT_NE(c.Report()->GetText("Streams:Bottoms_TO_Boilup").find("R1"), std::string::npos);
    }
}

TEST(ReboilersAndCondensers, AFeedTakenByAnotherStreamIsRepresentedByItsDuplicate) {
    ColumnCase c;
    c.Unit("R1", "htReboiler", "Bottoms", "Boilup", 130, 650);
    c.b.simulatorCase.GetItemByName("Bottoms")->AddVariable("PIStreamName")->Set("Other");
    c.import.Extract();
    EXPECT_NE(c.Stream("BottomsDuplicate_TO_Boilup"), nullptr);
    CPItem* copy = c.b.simulatorCase.GetItemByName("BottomsDuplicate");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetVariable("PIStreamName")->GetAsString(), "BottomsDuplicate_TO_Boilup");
}

TEST(ReboilersAndCondensers, AUnitWithoutAFeedGetsANamedStreamWithoutData) {
    ColumnCase c;
    CPItem* out = c.b.Stream("Boilup", 130);
    CPItem* unit = c.b.Item("R1", "htReboiler");
    CaseBuilder::Link(unit, out);
    c.import.Extract();
    IHeatIntegrationStream* s = c.Stream("_TO_Boilup");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetSupplyTemperature(), CPValue::Empty);
    EXPECT_TRUE(c.import.GetReboilerChains().empty());
}

TEST(ReboilersAndCondensers, EachUnitFedBySeveralStreamsGetsItsOwnWarningLine) {
    ColumnCase c;
    CPItem* r1 = c.Unit("R1", "htReboiler", "B1", "V1", 130, 650);
    CPItem* r2 = c.Unit("C1", "htCondenserPartial", "T1", "D1", 70, -600);
    c.Unit("R3", "htReboiler", "B3", "V3", 140, 100);  // one feed: no warning
    for (auto [unit, extra] : {std::pair{r1, "X1"}, {r2, "X2"}}) CaseBuilder::Link(c.b.Stream(extra, 100), unit);
    c.import.Extract();
    const CPString text = c.Report()->GetText("Warnings:Reboilers_and_condensers");
    EXPECT_NE(text.find("R1"), std::string::npos);
    EXPECT_NE(text.find("reboiler"), std::string::npos);
    EXPECT_NE(text.find("C1"), std::string::npos);
    EXPECT_NE(text.find("partial condenser"), std::string::npos);
    EXPECT_EQ(text.find("R3"), std::string::npos);
    EXPECT_NE(text.find('\n'), std::string::npos);  // one line per unit
    EXPECT_FALSE(c.Report()->GetTitle("Warnings:Reboilers_and_condensers").empty());
}

}  // namespace

// The load is the unit's duty, not the change of heat flow between its feed and its product: a
// condenser of 620 kW whose streams' heat flows differ by 500 kW (a pump-around returned between
// them, a flash drum lumped into the product) carries 620 kW, and a reboiler of 650 kW whose
// streams differ by 800 kW carries 650.
TEST(ReboilersAndCondensers, TheLoadIsTheUnitsDutyWhateverItsStreamsHeatFlowsSay) {
    struct Row {
        const char* cls;
        double duty, streamsChange;
    } rows[] = {{"htCondenserTotal", -620, -500}, {"htReboiler", 650, 800}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.cls);
        ColumnCase c;
        ASSERT_NE(nullptr, c.Unit("R1", r.cls, "Bottoms", "Boilup", 130, r.duty, r.streamsChange));
        c.import.Extract();
        IHeatIntegrationStream* s = c.Stream("Bottoms_TO_Boilup");
        ASSERT_NE(s, nullptr);
        EXPECT_NEAR(std::fabs(r.duty), std::fabs(s->GetHeatLoad(0)), 1e-6);
    }
}
