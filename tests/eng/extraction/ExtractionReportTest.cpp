// The extraction report: stream entries, and the warnings on what looks wrong in a simulation.
#include "tests/eng/extraction/CaseBuilder.h"
#include "tests/eng/extraction/ExtractionTestSupport.h"

#include "brasko/ReportHolder.h"
#include "eng/design/IHENDesign.h"
#include "eng/extraction/VelmorToTarsilImport.h"
#include "lumeth/Messages.h"
#include "pellin/CNode.h"
#include "quenta/RalvexInterface.h"

#include <gtest/gtest.h>

using namespace extraction_test;

namespace {

struct ReportCase {
    ExtractionProject p;
    CaseBuilder b;
    RalvexInterface access;
    VelmorToTarsilImport import{p.scenario, &access, &b.simulatorCase};
    ReportHolder* Report() {
        ReportHolder* r = nullptr;
        p.scenario->GetReportHolder(r);
        return r;
    }
    CPString Text(const char* path) { return Report()->GetText(path); }
    bool Has(const char* path) { return Report()->HasEntry(path); }
};

bool contains(const CPString& text, const CPString& part) { return text.find(part) != std::string::npos; }

TEST(ExtractionReport, AStreamOfThreeSegmentsFromFeedToProduct) {
    ReportCase c;
    CPItem* feed = c.b.Item("FEED", "ppFeedOrProductBlock");
    CPItem* s1 = c.b.Stream("S1", 200);
    CPItem* s2 = c.b.Stream("S2", 50);
    CPItem* product = c.b.Item("PROD", "ppFeedOrProductBlock");
    CaseBuilder::Link(feed, s1);
    c.b.Through(s1, "E1", "htCooler", s2);
    CaseBuilder::Link(s2, product);
    c.p.scenario->AddStream("P", 0);
    IHeatIntegrationStream* s = nullptr;
    c.p.scenario->GetStream(CPString("P"), s);
    s->InsertSegment(0);
    s->InsertSegment(0);
    const double points[] = {200, 150, 100, 50};
    for (int i = 0; i < 4; ++i) s->SetValue("Temperature", points[i], i);
    for (int i = 0; i < 3; ++i) s->SetValue("HeatCapacityFlowrate", 2.0, i);
    c.import.ReportProcessStream(CaseBuilder::Chain({s1, s2}), "P");
    const CPString text = c.Text("Streams:P");
    EXPECT_TRUE(contains(text, FormatMessage(FindString("ExtractionAutoAddSegments"), {"3"}))) << text;
    EXPECT_TRUE(contains(text, FindString("ExtractionFeedProcessToProductProcess"))) << text;
    EXPECT_TRUE(contains(text, FindString("ExtractionStreamSpansUnitOps"))) << text;
    EXPECT_TRUE(contains(text, "\nE1")) << text;
    EXPECT_FALSE(contains(text, FindString("ExtractionStreamNotFullyDefined"))) << text;
}

TEST(ExtractionReport, TemperatureAndHeatFlowMovingAgainstEachOther) {
    struct Row {
        double t1, t2, h1, h2;
        bool warned;
    } rows[] = {{150, 100, -50, -20, true}, {150, 100, -20, -50, false}, {100, 100, -50, -20, false},
                {100, 150, -20, -50, true}};
    for (const Row& r : rows) {
        ReportCase c;
        CPItem* s1 = c.b.Stream("S1", r.t1);
        CPItem* s2 = c.b.Stream("S2", r.t2);
        c.b.Through(s1, "E1", "htCooler", s2);
        CaseBuilder::Num(s1, "HeatFlow", r.h1);
        CaseBuilder::Num(s2, "HeatFlow", r.h2);
        c.p.scenario->AddStream("P", 0);
        c.import.ReportProcessStream(CaseBuilder::Chain({s1, s2}), "P");
        EXPECT_EQ(c.Has("Warnings:Unusual_temperature_enthalpy_behaviour"), r.warned) << r.t1 << " " << r.h1;
        if (r.warned) {
            EXPECT_TRUE(contains(c.Text("Warnings:Unusual_temperature_enthalpy_behaviour"), "S1"));
        }
    }
}

TEST(ExtractionReport, HeatLossesAndPlacementFailures) {
    ReportCase c;
    CPItem* tight = c.b.Item("U0", "htHeater");
    CaseBuilder::Num(tight, "HeatLoss", 0);
    CaseBuilder::Num(tight, "HeatLeak", 0);
    c.import.CheckHeatLoss(tight);
    EXPECT_FALSE(c.Has("Warnings:Heat_Loss_Or_Heat_Leak"));
    CPItem* leaky = c.b.Item("U1", "htHeater");
    CaseBuilder::Num(leaky, "HeatLoss", 5);
    leaky->GetVariable("HeatLoss")->SetUnits("kW");
    c.import.CheckHeatLoss(leaky);
    EXPECT_EQ(c.Text("Warnings:Heat_Loss_Or_Heat_Leak"), "U1 (Loss = 5 kW)");
    CPItem* dynamic = c.b.Item("U2", "htHeater");
    CaseBuilder::Num(dynamic, "HeatLossDyn", -2.5);
    c.import.CheckHeatLoss(dynamic);
    EXPECT_TRUE(contains(c.Text("Warnings:Heat_Loss_Or_Heat_Leak"), "\nU2 (Loss = -2.5 kW)"));

    CPItem* huge = c.b.Item("U3", "htCooler");
    CaseBuilder::Num(huge, "Duty", 2e30);
    c.import.ReportPlacementFailure(huge);
    CPItem* none = c.b.Item("U4", "htCooler");
    c.import.ReportPlacementFailure(none);
    const CPString text = c.Text("Warnings:Heat_Exchangers_Placement_Failed");
    EXPECT_TRUE(contains(text, FormatMessage(FindString("ExtractionUnableToAdd"), {"U3"}) + " (Load = 0.1 kW)")) << text;
    // A duty the case leaves unknown is said to be so, not read as 0.
    EXPECT_TRUE(contains(text, FormatMessage(FindString("ExtractionUnableToAdd"), {"U4"}) + " (Load not known)")) << text;
}

TEST(ExtractionReport, StreamsAttachedToSeveralUnitsNotCountingLogicalOperations) {
    struct Row {
        const char* second;
        const char* secondClass;
        bool warned;
    } rows[] = {{"R1", "lgRecycle", false}, {"V1", "ppValve", true}, {"V1 @Sub", "ppValve", true}};
    for (const Row& r : rows) {
        ReportCase c;
        CPItem* s = c.b.Stream("S1", 100);
        c.b.Item("E1", "htCooler");
        CPString caseName = r.second;
        if (const std::size_t at = caseName.find(" @"); at != std::string::npos) caseName.erase(at, 1);
        c.b.Item(caseName, r.secondClass);
        CPValue* outlets = s->AddVariable("AllOutlets");
        outlets->AddSubvalue(CPString("E1"), "");
        outlets->AddSubvalue(CPString(r.second), "");
        c.import.CheckMultipleAttachments(s);
        EXPECT_EQ(c.Has("Warnings:Streams_With_Multiple_Attachments"), r.warned) << r.second;
        if (r.warned) {
            EXPECT_TRUE(contains(c.Text("Warnings:Streams_With_Multiple_Attachments"), "\nE1\n" + caseName));
        }
    }
}

// A hand-made base design: hot H 100 -> 40 and cold C 39.995 -> 96 matched over their whole
// loads, so the network's approaches are 0.005 at the cold end and 4 at the hot end.
TEST(ExchangerFeasibility, SimulationAndNetworkVerdictsThatDiffer) {
    struct Row {
        double hotIn, hotOut, coldIn, coldOut;  // the simulator's
        bool warned;
        const char* simulation;
    } rows[] = {{100, 40, 38, 97, true, "ExtractionHXVelmorFeasible"},
                {100, 40, 41, 97, true, "ExtractionHXVelmorInFeasible"}};
    for (const Row& r : rows) {
        ReportCase c;
        IHeatIntegrationScenario& sc = *c.p.scenario;
        IHeatIntegrationStream *h = nullptr, *cold = nullptr;
        sc.AddStream("H", 0);
        sc.AddStream("C", 0);
        sc.GetStream(CPString("H"), h);
        sc.GetStream(CPString("C"), cold);
        h->SetValue("Temperature", 100, 0);
        h->SetValue("Temperature", 40, 1);
        h->SetValue("HeatCapacityFlowrate", 10, 0);
        cold->SetValue("Temperature", 39.995, 0);
        cold->SetValue("Temperature", 96, 1);
        cold->SetValue("HeatCapacityFlowrate", 600 / 56.005, 0);
        sc.AddDesign("SimulationBaseCase");
        IHENDesign* design = c.import.GetBaseDesign();
        ASSERT_NE(design, nullptr);
        CNode* hs = design->GetNodeByName("HEnd")->getIthUpStreamNode(0);
        CNode* cs = design->GetNodeByName("CEnd")->getIthUpStreamNode(0);
        CNode* x = design->AddHeatExchanger(hs, cs, nullptr, "htHeatExchanger", "X1");
        ASSERT_NE(x, nullptr);
        design->SpecifyExchangerValue(x, "Duty", 600);
        for (int port = 0; port < 4; ++port) design->RemoveUtilityAtPort(x, port);
        design->Activate(1);
        double port = 0;
        ASSERT_TRUE(design->GetExchangerPortTemperature(x, 1, port));
        EXPECT_NEAR(port, 40, 1e-6);
        ASSERT_TRUE(design->GetExchangerPortTemperature(x, 2, port));
        EXPECT_NEAR(port, 39.995, 1e-6);

        c.import.CheckExchangerFeasibility();
        EXPECT_FALSE(c.Has("Warnings:Discrepancies_In_The_Feasiblity_Of_Exchangers"));  // no simulator values yet
        x->addVariable("HotInletVelmor", r.hotIn, 1);
        x->addVariable("HotOutletVelmor", r.hotOut, 1);
        x->addVariable("ColdInletVelmor", r.coldIn, 1);
        x->addVariable("ColdOutletVelmor", r.coldOut, 1);
        c.import.CheckExchangerFeasibility();
        const CPString text = c.Text("Warnings:Discrepancies_In_The_Feasiblity_Of_Exchangers");
        EXPECT_TRUE(contains(text, FormatMessage(FindString("ExtractionHXWithDiscrepancy"), {"X1"}))) << text;
        EXPECT_TRUE(contains(text, FindString(r.simulation))) << text;
        EXPECT_TRUE(contains(text, FindString("ExtractionHXTarsilInFeasible"))) << text;
        // The heading holds for an exchanger infeasible on both sides as well as on one.
        const CPString title = c.Report()->GetTitle("Warnings:Discrepancies_In_The_Feasiblity_Of_Exchangers");
        EXPECT_TRUE(contains(title, "infeasible")) << title;
        EXPECT_FALSE(contains(title, "only")) << title;
    }
}

TEST(ExchangerFeasibility, FeasibleOnBothSidesIsNotReported) {
    ReportCase c;
    IHeatIntegrationScenario& sc = *c.p.scenario;
    IHeatIntegrationStream *h = nullptr, *cold = nullptr;
    sc.AddStream("H", 0);
    sc.AddStream("C", 0);
    sc.GetStream(CPString("H"), h);
    sc.GetStream(CPString("C"), cold);
    h->SetValue("Temperature", 150, 0);
    h->SetValue("Temperature", 60, 1);
    h->SetValue("HeatCapacityFlowrate", 10, 0);
    cold->SetValue("Temperature", 30, 0);
    cold->SetValue("Temperature", 120, 1);
    cold->SetValue("HeatCapacityFlowrate", 10, 0);
    sc.AddDesign("SimulationBaseCase");
    IHENDesign* design = c.import.GetBaseDesign();
    CNode* x = design->AddHeatExchanger(design->GetNodeByName("HEnd")->getIthUpStreamNode(0),
                                        design->GetNodeByName("CEnd")->getIthUpStreamNode(0), nullptr,
                                        "htHeatExchanger", "X1");
    ASSERT_NE(x, nullptr);
    design->SpecifyExchangerValue(x, "Duty", 900);
    for (int port = 0; port < 4; ++port) design->RemoveUtilityAtPort(x, port);
    design->Activate(1);
    for (auto [name, v] : {std::pair{"HotInletVelmor", 150.0}, {"HotOutletVelmor", 60.0}, {"ColdInletVelmor", 30.0},
                           {"ColdOutletVelmor", 120.0}})
        x->addVariable(name, v, 1);
    c.import.CheckExchangerFeasibility();
    EXPECT_FALSE(c.Has("Warnings:Discrepancies_In_The_Feasiblity_Of_Exchangers"));
}

}  // namespace
