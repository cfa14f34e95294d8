// The refresh of an extraction from its case solved again: duty streams read again from their
// energy streams, exchanger values and port temperatures, the streams and network of the train,
// heaters moved off a utility that no longer reaches, and a refresh with nothing behind it.
#include "tests/eng/extraction/TrainCase.h"

#include "brasko/IDefaultUtilityManager.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"
#include "ralvex/Case.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

using namespace extraction_test;

namespace {

void Texts(CPItem* item, const char* name, std::initializer_list<const char*> values) {
    CPValue* list = item->AddVariable(name);
    for (const char* v : values) list->AddSubvalue(CPString(v), "");
}

double StreamValue(IHeatIntegrationStream* s, const char* name, int index = 0) {
    double v = CPValue::Empty;
    if (s) s->GetValue(name, v, index);
    return v;
}

struct DutyStream {
    ExtractionProject p;
    CaseBuilder b;
    RalvexInterface access;
    VelmorToTarsilImport import{p.scenario, &access, &b.simulatorCase};
    IHeatIntegrationStream* stream = nullptr;
    DutyStream() {
        p.scenario->AddStream("Q", 0);
        p.scenario->GetStream(CPString("Q"), stream);
    }
};

TEST(ExtractionRefresh, ATrayDutyTakesItsTemperaturesFromItsStageAndTheNextOne) {
    struct Row {
        double heatFlow;
        double neighbour;  // -32767: not known
        double supply, target;
    } rows[] = {
        {-500, -32767, 100.5, 100},  // heat removed, no stage temperature below: 0.5 above its own
        {-500, 100.3, 100.5, 100},   // below, but within the half degree
        {-500, 103, 103, 100},       // the stage below's temperature
        {500, 97, 97, 100},          // heat added: the stage above
        {500, 99.8, 99.5, 100},
    };
    for (const Row& r : rows) {
        DutyStream d;
        CPItem* tray = d.b.Item("T1", "vsTraySection");
        CPItem* q = d.b.Item("Q", "ppEnergyStream");
        CaseBuilder::Link(q, tray);
        CaseBuilder::Num(q, "HeatFlow", r.heatFlow);
        Texts(tray, "TraysectionFeeds", {"Other", "Q"});
        Texts(tray, "FeedStages", {"1", "2"});
        Texts(tray, "AllSeparationStages", {"1", "2", "3"});
        CPValue* t = tray->AddVariable("StageTemperature");
        t->AddSubValue("2", 100.0, CPValue::Specified);
        if (r.neighbour != -32767) t->AddSubValue(r.heatFlow < 0 ? "3" : "1", r.neighbour, CPValue::Specified);
        for (const char* list : {"StageLiquidViscosity", "StageVapourViscosity"}) {
            CPValue* v = tray->AddVariable(list);
            for (double x : {1.0, 2.0, 4.0}) v->AddSubValue("", x, CPValue::Specified);
        }
        d.import.RefreshEnergyStream(*d.stream, q);
        EXPECT_DOUBLE_EQ(StreamValue(d.stream, "Enthalpy"), -r.heatFlow) << r.heatFlow << " " << r.neighbour;
        EXPECT_DOUBLE_EQ(d.stream->GetSupplyTemperature(), r.supply) << r.heatFlow << " " << r.neighbour;
        EXPECT_DOUBLE_EQ(d.stream->GetTargetTemperature(), r.target) << r.heatFlow << " " << r.neighbour;
        // Vapour from below for heat removed (2 and 4), liquid from above for heat added (1 and 2).
        EXPECT_DOUBLE_EQ(StreamValue(d.stream, "Viscosity"), r.heatFlow < 0 ? 3.0 : 1.5) << r.heatFlow;
    }
}

TEST(ExtractionRefresh, AVesselDutyRunsFromItsFeedToItsLiquidUnlessItReacts) {
    struct Row {
        const char* cls;
        double reactions;  // -1: no such value
        double heatFlow, feed, liquid;
        double supply, target;
    } rows[] = {
        // Heat added, the liquid leaves colder than the feed: a reacting separator runs from the
        // liquid, half a degree up; a plain one from the feed to the liquid.
        {"vsSeparatorTwoPhase", 1.0, 200, 80, 70, 70, 70.5},
        {"vsSeparatorTwoPhase", -1, 200, 80, 70, 80, 70},
        {"vsSeparatorTwoPhase", 0.0, 200, 80, 80.005, 80, 80.5},
        // A plug-flow reactor's duty counts the other way round: +200 is heat removed there.
        {"rxPlugFlowReactor", -1, 200, 80, 90, 90, 89.5},
        {"rxPlugFlowReactor", -1, 200, 80, 70, 80, 70},
    };
    for (const Row& r : rows) {
        DutyStream d;
        CPItem* feed = d.b.Stream("F", r.feed);
        CPItem* liquid = d.b.Stream("L", r.liquid);
        CPItem* vessel = d.b.Through(feed, "V1", r.cls, liquid);
        vessel->AddVariable("LiquidProduct")->Set("L");
        if (r.reactions >= 0) CaseBuilder::Num(vessel, "HasReactions", r.reactions);
        CPItem* q = d.b.Item("Q", "ppEnergyStream");
        CaseBuilder::Link(q, vessel);
        CaseBuilder::Num(q, "HeatFlow", r.heatFlow);
        d.import.RefreshEnergyStream(*d.stream, q);
        EXPECT_DOUBLE_EQ(StreamValue(d.stream, "Enthalpy"), -r.heatFlow) << r.cls << " " << r.liquid;
        EXPECT_DOUBLE_EQ(d.stream->GetSupplyTemperature(), r.supply) << r.cls << " " << r.reactions << " " << r.liquid;
        EXPECT_DOUBLE_EQ(d.stream->GetTargetTemperature(), r.target) << r.cls << " " << r.reactions << " " << r.liquid;
    }
}

TEST(ExtractionRefresh, AShortcutColumnsDutyStreamTakesTheColumnsDutyAndTemperatureAgain) {
    struct Row {
        bool reboiler;  // the energy stream goes into the column; else it comes out of it
        double duty, temperature;  // -32767: not known
        bool refreshed;
        double supply, target, enthalpy;
        const char* missing;
        bool heatFlowKnown = true;
    } rows[] = {
        {true, 900, 155, true, 154.5, 155, -900, ""},
        // The condenser's duty is negative; its energy stream's heat flow (10) says nothing of it.
        {false, -620, 70, true, 70.5, 70, 620, ""},
        {false, -32767, 70, false, 80.5, 80, 400, "the condenser duty of C1"},
        {true, 900, -32767, false, 79.5, 80, -400, "the reboiler temperature of C1"},
        // An energy stream of unknown heat flow is one the extraction would not take.
        {true, 900, 155, false, 79.5, 80, -400, "the heat flow of Q", false},
    };
    for (const Row& r : rows) {
        // As the extraction left it: 400 kW at 80 C (a reboiler's taken in, a condenser's given off).
        DutyStream d;
        d.stream->SetValue("Enthalpy", r.reboiler ? -400 : 400, 0);
        d.stream->SetValue("Temperature", 80, 1);
        d.stream->SetValue("Temperature", r.reboiler ? 79.5 : 80.5, 0);
        CPItem* column = d.b.Item("C1", "scShortcutDistillation");
        const char* end = r.reboiler ? "Reboiler" : "Condenser";
        if (r.duty != -32767) CaseBuilder::Num(column, (std::string(end) + "Duty").c_str(), r.duty);
        if (r.temperature != -32767) CaseBuilder::Num(column, (std::string(end) + "Temperature").c_str(), r.temperature);
        CPItem* q = d.b.Item("Q", "ppEnergyStream");
        if (r.reboiler) CaseBuilder::Link(q, column);
        else CaseBuilder::Link(column, q);
        CaseBuilder::Num(q, "HeatFlow", r.heatFlowKnown ? 10 : CPValue::Empty);
        CPString missing;
        EXPECT_EQ(r.refreshed, d.import.RefreshEnergyStream(*d.stream, q, column, &missing)) << r.duty;
        EXPECT_EQ(std::string(r.missing), missing.c_str()) << r.duty;
        EXPECT_DOUBLE_EQ(StreamValue(d.stream, "Enthalpy"), r.enthalpy) << r.duty;
        EXPECT_DOUBLE_EQ(d.stream->GetSupplyTemperature(), r.supply) << r.duty;
        EXPECT_DOUBLE_EQ(d.stream->GetTargetTemperature(), r.target) << r.duty;
    }
}

TEST(ExtractionRefresh, ExchangerValuesFollowTheCaseWhereTheDesignSpecifiesThem) {
    for (bool specified : {true, false}) {
        Train t;
        t.Run();
        CNode* x1 = t.Node("X1");
        ASSERT_NE(x1, nullptr);
        if (!specified) x1->addVariable("Duty", 280.0, 2, 1);  // calculated by the network
        ASSERT_EQ(x1->getVariableStatus("Duty"), specified ? 1 : 2);
        const double before = value(x1, "Duty");
        CaseBuilder::Num(t.x1, "Duty", 320.0);
        CaseBuilder::Num(t.x1, "OverallU", 0.5);
        t.Design()->Deactivate();
        t.import->RefreshExchangerValues();
        EXPECT_DOUBLE_EQ(value(x1, "Duty"), specified ? 320.0 : before) << specified;
        EXPECT_DOUBLE_EQ(value(x1, "SimOverallU"), 0.5) << specified;
        // Solved again without a coefficient: the simulator's last one stays.
        t.x1->GetVariable("OverallU")->Clear();
        t.import->RefreshExchangerValues();
        EXPECT_DOUBLE_EQ(value(x1, "SimOverallU"), 0.5) << specified;
        EXPECT_EQ(x1->getVariableStatus("SimOverallU"), 1) << specified;
    }
}

TEST(ExtractionRefresh, PortTemperaturesAreResetFromTheStreamsEnds) {
    Train t;
    t.Run();
    auto* e1 = dynamic_cast<HeatExch*>(t.Node("E1"));
    auto* x1 = dynamic_cast<HeatExch*>(t.Node("X1"));
    ASSERT_NE(e1, nullptr);
    ASSERT_NE(x1, nullptr);
    // The heater's process inlet follows the exchanger (a node inside the stream); the
    // exchanger's hot inlet follows the stream's start.
    CNode* inner = e1->getInlet(1);
    CNode* first = x1->getInlet(0);
    ASSERT_NE(inner, nullptr);
    ASSERT_NE(first, nullptr);
    inner->addVariable("Temperature", 95.0, 1, 1);
    first->addVariable("Temperature", 0.0, 0, 1);
    t.Design()->Deactivate();
    t.import->RefreshExchangerValues();
    EXPECT_EQ(inner->getVariableStatus("Temperature"), 0);
    EXPECT_EQ(first->getVariableStatus("Temperature"), 1);
    EXPECT_DOUBLE_EQ(value(first, "Temperature"), 200.0);
}

// The train solved again: 2.4 kg/s of hot product from 210 C, 2.2 kg/s of feed from 45 C;
// X1 330 kW, C1 540 kW, E1 594 kW.
void SolveAgain(Train& t) {
    const struct {
        CPItem* item;
        double t, flow, heatFlow;
    } streams[] = {{t.h1, 210, 2.4, 1260}, {t.h2, 155, 2.4, 930}, {t.h3, 65, 2.4, 390},
                   {t.k1, 45, 2.2, 0},     {t.k2, 95, 2.2, 330},  {t.k3, 185, 2.2, 924}};
    for (const auto& s : streams) {
        CaseBuilder::Num(s.item, "Temperature", s.t);
        CaseBuilder::Num(s.item, "MassFlow", s.flow);
        CaseBuilder::Num(s.item, "HeatFlow", s.heatFlow);
    }
    CaseBuilder::Num(t.x1, "Duty", 330);
    CaseBuilder::Num(t.c1, "Duty", 540);
    CaseBuilder::Num(t.e1, "Duty", 594);
    for (CPItem* unit : {t.x1, t.c1, t.e1}) unit->GetVariable("PropertyTable")->ClearSubValues();
    CaseBuilder::Table(t.x1, "H1", {210, 182.5, 155}, {525, 456.25, 387.5});
    CaseBuilder::Table(t.x1, "K1", {45, 70, 95}, {15, 90, 165});
    CaseBuilder::Table(t.c1, "H2", {155, 110, 65}, {387.5, 275, 162.5});
    CaseBuilder::Table(t.e1, "K2", {95, 140, 185}, {165, 300, 435});
}

IHeatIntegrationStream* Stream(Train& t, const char* name) {
    IHeatIntegrationStream* s = nullptr;
    t.Target()->GetStream(CPString(name), s);
    return s;
}

TEST(ExtractionRefresh, TheTrainSolvedAgainKeepsItsStreamsAndUnitsWithTheNewValues) {
    for (bool withDesign : {true, false}) {
        Train t;
        t.Run();
        ASSERT_NE(t.Design(), nullptr);
        if (!withDesign) t.Target()->DeleteDesign("SimulationBaseCase");
        SolveAgain(t);
        ASSERT_TRUE(t.import->Refresh());
        IHeatIntegrationStream* hot = Stream(t, "H1_To_H3");
        IHeatIntegrationStream* cold = Stream(t, "K1_To_K3");
        ASSERT_NE(hot, nullptr);
        ASSERT_NE(cold, nullptr);
        EXPECT_DOUBLE_EQ(hot->GetSupplyTemperature(), 210.0) << withDesign;
        EXPECT_DOUBLE_EQ(hot->GetTargetTemperature(), 65.0) << withDesign;
        EXPECT_NEAR(std::fabs(hot->GetHeatLoad(0)), 870.0, 1e-6) << withDesign;
        EXPECT_DOUBLE_EQ(cold->GetSupplyTemperature(), 45.0) << withDesign;
        EXPECT_DOUBLE_EQ(cold->GetTargetTemperature(), 185.0) << withDesign;
        EXPECT_NEAR(std::fabs(cold->GetHeatLoad(0)), 924.0, 1e-6) << withDesign;
        EXPECT_DOUBLE_EQ(StreamValue(cold, "MassFlow"), 2.2) << withDesign;
        if (!withDesign) continue;
        IHENDesign* design = t.Design();
        EXPECT_EQ(design->GetNumberOfHeatExchangers(), 3);
        for (auto [unit, duty] : {std::pair{"X1", 330.0}, {"C1", 540.0}, {"E1", 594.0}}) {
            auto* hx = dynamic_cast<HeatExch*>(t.Node(unit));
            ASSERT_NE(hx, nullptr) << unit;
            EXPECT_NEAR(hx->getLoad(), duty, 1e-6) << unit;
        }
        EXPECT_EQ(design->GetNumberOfUnsatisfiedProcessStreams(), 0);
    }
}

TEST(ExtractionRefresh, AHeaterBeyondItsSteamsReachMovesToTheUtilityTheRuleGives) {
    Train t;
    t.Run();
    ASSERT_NE(t.Design(), nullptr);
    // Every exchanger keeps 10 C between its streams; the feed is now heated to 245 C, which
    // high-pressure steam at 250 C no longer reaches with that approach.
    t.Design()->SetExchangerDTMinsFromApproach(10.0);
    CaseBuilder::Num(t.k3, "Temperature", 245);
    CaseBuilder::Num(t.k3, "HeatFlow", 1230);
    CaseBuilder::Num(t.e1, "Duty", 930);
    t.e1->GetVariable("PropertyTable")->ClearSubValues();
    CaseBuilder::Table(t.e1, "K2", {90, 167.5, 245}, {150, 382.5, 615});
    IDefaultUtilityManager* manager = nullptr;
    ASSERT_EQ(t.Target()->GetDefaultUtilityManager(manager), 1);
    const char* expected = manager->GetRecommendedUtilityForDataExt(245.0, SHT_Hot, 90.0);
    ASSERT_NE(expected, nullptr);
    ASSERT_STRNE(expected, "HP Steam");
    ASSERT_TRUE(t.import->Refresh());
    auto* e1 = dynamic_cast<HeatExch*>(t.Node("E1"));
    ASSERT_NE(e1, nullptr);
    CPString utility;
    ASSERT_NE(e1->getInlet(0), nullptr);
    e1->getInlet(0)->getVariableAsString("ParentStream", utility);
    EXPECT_EQ(utility, CPString(expected));
    // No heater or cooler is left beyond its utility's reach.
    EXPECT_TRUE(t.Design()->GetInfeasibleFlaggedExchangerNodes().empty());
}

// Refreshed twice, the report says what the last solved case gives: C1's heat loss as it is now,
// once, and no stream kept by the first refresh that the second one refreshed.
TEST(ExtractionRefresh, TheReportQuotesTheLastSolvedCase) {
    Train t;
    CaseBuilder::Num(t.c1, "HeatLoss", 5);
    t.Run();
    ReportHolder* report = t.Report();
    ASSERT_NE(report, nullptr);
    EXPECT_NE(std::string(report->GetText("Warnings:Heat_Loss_Or_Heat_Leak").c_str()).find("C1 (Loss = 5"), std::string::npos);
    SolveAgain(t);
    CaseBuilder::Num(t.c1, "HeatLoss", 8);
    CaseBuilder::Num(t.h3, "Temperature", CPValue::Empty);
    ASSERT_TRUE(t.import->Refresh());
    const std::string loss = report->GetText("Warnings:Heat_Loss_Or_Heat_Leak").c_str();
    EXPECT_EQ(loss.find("Loss = 5"), std::string::npos) << loss;
    EXPECT_NE(loss.find("C1 (Loss = 8"), std::string::npos) << loss;
    EXPECT_NE(std::string(report->GetText("Warnings:Streams_Not_Refreshed").c_str()).find("H1_To_H3"), std::string::npos);
    CaseBuilder::Num(t.h3, "Temperature", 65);
    ASSERT_TRUE(t.import->Refresh());
    EXPECT_EQ(loss, report->GetText("Warnings:Heat_Loss_Or_Heat_Leak").c_str());
    EXPECT_FALSE(report->HasEntry("Warnings:Streams_Not_Refreshed")) << report->GetText("Warnings:Streams_Not_Refreshed").c_str();
}

TEST(ExtractionRefresh, ARefreshWithoutAnEarlierExtractionChangesNothing) {
    Train t;
    t.Run();
    IHeatIntegrationStream* hot = Stream(t, "H1_To_H3");
    ASSERT_NE(hot, nullptr);
    SolveAgain(t);
    // The case opened again: its import object is new and has nothing to refresh.
    t.b.simulatorCase.SetVelmorToTarsilImport(nullptr);
    t.b.simulatorCase.SetCaseRefresh(true);
    EXPECT_EQ(VelmorToTarsilImport::CaseCallback(&t.access, &t.b.simulatorCase, t.Target()), 0);
    EXPECT_DOUBLE_EQ(hot->GetSupplyTemperature(), 200.0);
    VelmorToTarsilImport fresh(t.Target(), &t.access, &t.b.simulatorCase);
    EXPECT_FALSE(fresh.Refresh());
    EXPECT_DOUBLE_EQ(hot->GetSupplyTemperature(), 200.0);
    // The object that extracted the case refreshes it through the same entry (the test keeps
    // a reference of its own to the object it owns).
    t.import->AddRef();
    t.b.simulatorCase.SetVelmorToTarsilImport(t.import.get());
    EXPECT_EQ(VelmorToTarsilImport::CaseCallback(&t.access, &t.b.simulatorCase, t.Target()), 1);
    EXPECT_DOUBLE_EQ(hot->GetSupplyTemperature(), 210.0);
    t.b.simulatorCase.SetVelmorToTarsilImport(nullptr);
}

}  // namespace
