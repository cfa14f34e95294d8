// Duties on energy streams and of separators: the process stream each becomes (its load and
// temperatures) and the heater or cooler the case gets for it.
#include "tests/eng/extraction/CaseBuilder.h"
#include "tests/eng/extraction/ExtractionTestSupport.h"

#include "eng/extraction/DataExtractionConfig.h"
#include "eng/extraction/VelmorToTarsilImport.h"
#include "quenta/RalvexInterface.h"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace extraction_test;

namespace {

void Texts(CPItem* item, const char* name, std::initializer_list<const char*> values) {
    CPValue* list = item->AddVariable(name);
    for (const char* v : values) list->AddSubvalue(CPString(v), "");
}

struct DutyCase {
    ExtractionProject p;
    CaseBuilder b;
    RalvexInterface access;
    VelmorToTarsilImport import{p.scenario, &access, &b.simulatorCase};

    IHeatIntegrationStream* Run(const char* name) {
        import.Extract();
        IHeatIntegrationStream* s = nullptr;
        p.scenario->GetStream(CPString(name), s);
        return s;
    }
    double Value(IHeatIntegrationStream* s, const char* name, int index = 0) {
        double v = CPValue::Empty;
        s->GetValue(name, v, index);
        return v;
    }
    CPItem* Item(const std::string& name) { return b.simulatorCase.GetItemByName(name); }
    double Number(const std::string& item, const char* name) {
        const CPValue* v = Item(item) ? Item(item)->GetVariable(name) : nullptr;
        return v ? v->GetAsDouble() : CPValue::Empty;
    }
    // A tray section with stages 1, 2, 3 (2 at 100 C) and the energy stream Q on stage 2.
    CPItem* TraySection(double heatFlow, double neighbour, bool neighbourAbove, bool listed = true) {
        CPItem* tray = b.Item("T1", "vsTraySection");
        CPItem* q = b.Item("Q", "ppEnergyStream");
        CaseBuilder::Link(heatFlow > 0 ? q : tray, heatFlow > 0 ? tray : q);
        CaseBuilder::Num(q, "HeatFlow", heatFlow);
        Texts(tray, "TraysectionFeeds", {listed ? "Q" : "Other"});
        Texts(tray, "FeedStages", {"2"});
        Texts(tray, "AllSeparationStages", {"1", "2", "3"});
        CPValue* t = tray->AddVariable("StageTemperature");
        t->AddSubValue("2", 100.0, CPValue::Specified);
        t->AddSubValue(neighbourAbove ? "1" : "3", neighbour, CPValue::Specified);
        for (const char* list : {"StageLiquidViscosity", "StageVapourViscosity"}) {
            CPValue* v = tray->AddVariable(list);
            for (double x : {1.0, 2.0, 4.0}) v->AddSubValue("", x, CPValue::Specified);
        }
        return tray;
    }
};

TEST(EnergyStreams, TraySectionSupplyComesFromTheNeighbouringStage) {
    struct Row {
        double heatFlow, neighbour, supply, viscosity;
        bool above;
    } rows[] = {{-300, 90, 100.5, 3.0, false},  // heat removed: the stage below's vapour
                {-300, 120, 120, 3.0, false},
                {300, 80, 80, 1.5, true},       // heat added: the liquid from the stage above
                {300, 105, 99.5, 1.5, true}};
    for (const Row& r : rows) {
        DutyCase c;
        c.TraySection(r.heatFlow, r.neighbour, r.above);
        IHeatIntegrationStream* s = c.Run("Q");
        ASSERT_NE(s, nullptr);
        EXPECT_DOUBLE_EQ(s->GetSupplyTemperature(), r.supply) << r.heatFlow << " " << r.neighbour;
        EXPECT_DOUBLE_EQ(s->GetTargetTemperature(), 100.0);
        EXPECT_DOUBLE_EQ(c.Value(s, "Enthalpy"), -r.heatFlow);
        EXPECT_DOUBLE_EQ(c.Value(s, "Viscosity"), r.viscosity);
        EXPECT_EQ(c.Item("Q_Exchanger")->_get_szClassName(), r.heatFlow > 0 ? "htHeater" : "htCooler");
        EXPECT_DOUBLE_EQ(c.Number("Q_Exchanger", "Duty"), 300.0);
        EXPECT_DOUBLE_EQ(c.Number("Q_ExchangerInlet", "Temperature"), r.supply);
        EXPECT_EQ(c.Item("Q_ExchangerOutlet")->GetVariable("PIStreamName")->GetAsString(), "Q");
        ASSERT_EQ(c.import.GetEnergyStreamItems().size(), 1u);
    }
}

TEST(EnergyStreams, TraySectionEdges) {
    {
        // Heat added on the first stage: no stage above, the supply 0.5 below, no property.
        DutyCase c;
        CPItem* tray = c.TraySection(300, 0, false);
        tray->GetVariable("FeedStages")->GetSubValue(0)->Set(CPString("1"));
        tray->GetVariable("StageTemperature")->GetSubValue(0)->SetName("1");
        IHeatIntegrationStream* s = c.Run("Q");
        EXPECT_DOUBLE_EQ(s->GetSupplyTemperature(), 99.5);
        EXPECT_EQ(c.Value(s, "Viscosity"), CPValue::Empty);
    }
    {
        // Not among the tray's feeds: the enthalpy only, and no heater or cooler.
        DutyCase c;
        c.TraySection(-300, 90, false, false);
        IHeatIntegrationStream* s = c.Run("Q");
        ASSERT_NE(s, nullptr);
        EXPECT_DOUBLE_EQ(c.Value(s, "Enthalpy"), 300.0);
        EXPECT_EQ(s->GetSupplyTemperature(), CPValue::Empty);
        EXPECT_EQ(c.Item("Q_Exchanger"), nullptr);
    }
}

TEST(EnergyStreams, VesselsAndReactors) {
    {
        // A plug-flow reactor's heat flow is signed the other way.
        DutyCase c;
        CPItem* r = c.b.Item("R1", "rxPlugFlowReactor");
        CPItem* q = c.b.Item("Q", "ppEnergyStream");
        CaseBuilder::Link(q, r);
        CaseBuilder::Num(q, "HeatFlow", 50);
        IHeatIntegrationStream* s = c.Run("Q");
        EXPECT_DOUBLE_EQ(c.Value(s, "Enthalpy"), 50.0);
        EXPECT_DOUBLE_EQ(c.Number("Q_Exchanger", "Duty"), 50.0);
        EXPECT_EQ(c.Item("Q_Exchanger")->_get_szClassName(), "htCooler");
    }
    {
        // Fed at 50, liquid out at 50.005, heat added: the target is 0.5 above the feed.
        DutyCase c;
        CPItem* v = c.b.Item("V1", "vsSeparatorTwoPhase");
        CPItem* feed = c.b.Stream("F", 50);
        CPItem* liquid = c.b.Stream("L", 50.005);
        CaseBuilder::Link(feed, v);
        CaseBuilder::Link(v, liquid);
        v->AddVariable("LiquidProduct")->Set("L");
        for (auto [item, value] : {std::pair{feed, 2.0}, {liquid, 4.0}})
            item->AddVariable("PhaseMassDensity")->AddSubValue("Overall", value, CPValue::Specified);
        CPItem* q = c.b.Item("Q", "ppEnergyStream");
        CaseBuilder::Link(q, v);
        CaseBuilder::Num(q, "HeatFlow", 20);
        IHeatIntegrationStream* s = c.Run("Q");
        EXPECT_DOUBLE_EQ(s->GetSupplyTemperature(), 50.0);
        EXPECT_DOUBLE_EQ(s->GetTargetTemperature(), 50.5);
        EXPECT_EQ(c.Item("Q_Exchanger")->_get_szClassName(), "htHeater");
        EXPECT_DOUBLE_EQ(c.Value(s, "MassDensity"), 3.0);
    }
}

// Heat on a vessel whose liquid leaves against the duty's direction: a plain vessel follows its
// temperatures; a reacting one (a reactor, or a separator that holds reactions) takes the duty at
// its liquid's temperature, where its reaction runs.
TEST(EnergyStreams, AVesselAgainstItsDutyFollowsItsTemperaturesUnlessItReacts) {
    struct Row {
        const char* unitClass;
        double hasReactions;  // 0: no such value
        double feed, liquid, heatFlow;
        double supply, target;
        const char* unit;
    } rows[] = {{"vsTank", 0, 100, 80, 40, 100, 80, "htCooler"},
                {"vsTank", 0, 80, 100, -40, 80, 100, "htHeater"},
                {"vsSeparatorTwoPhase", 0, 100, 80, 40, 100, 80, "htCooler"},
                {"vsSeparatorTwoPhase", 1, 100, 80, 40, 80, 80.5, "htHeater"},
                {"rxConversionReactor", 0, 100, 80, 40, 80, 80.5, "htHeater"},
                {"rxContinuouslyStirredTankReactor", 0, 80, 100, -40, 100, 99.5, "htCooler"},
                {"rxGibbsReactor", 0, 80, 100, 40, 80, 100, "htHeater"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.unitClass) + " " + std::to_string(r.heatFlow));
        DutyCase c;
        CPItem* v = c.b.Item("V1", r.unitClass);
        CPItem* feed = c.b.Stream("F", r.feed);
        CPItem* liquid = c.b.Stream("L", r.liquid);
        CaseBuilder::Link(feed, v);
        CaseBuilder::Link(v, liquid);
        v->AddVariable("LiquidProduct")->Set("L");
        if (r.hasReactions != 0) CaseBuilder::Num(v, "HasReactions", r.hasReactions);
        CPItem* q = c.b.Item("Q", "ppEnergyStream");
        CaseBuilder::Link(q, v);
        CaseBuilder::Num(q, "HeatFlow", r.heatFlow);
        IHeatIntegrationStream* s = c.Run("Q");
        ASSERT_NE(s, nullptr);
        EXPECT_DOUBLE_EQ(s->GetSupplyTemperature(), r.supply);
        EXPECT_DOUBLE_EQ(s->GetTargetTemperature(), r.target);
        EXPECT_EQ(c.Item("Q_Exchanger")->_get_szClassName(), r.unit);
    }
}

TEST(EnergyStreams, WhichEnergyStreamsAreTaken) {
    struct Row {
        const char* unitClass;
        double heatFlow, excel, reactionHeat;
        bool taken;
    // A duty below 0.001 kW is a solver's residue, no stream (a stream of it would refuse the whole
    // document); from 0.001 kW over the tank's half kelvin it is one.
    } rows[] = {{"vsTank", 1e-8, 0, 0, false},           {"vsTank", 2e-8, 0, 0, false},
                {"vsTank", 0.0009, 0, 0, false},         {"vsTank", 0.001, 0, 0, true},
                {"rxGibbsReactor", 10, 0, 1, false},     {"rxGibbsReactor", 10, 1, 1, true},
                {"rxGibbsReactor", 10, 0, 0, true},      {"myVessel", 10, 0, 0, false}};
    for (const Row& r : rows) {
        DutyCase c;
        c.b.simulatorCase._get_pmdlThis()->DeclareClass("myVessel", "vsSeparator");
        CPItem* unit = c.b.Item("U", r.unitClass);
        CPItem* q = c.b.Item("Q", "ppEnergyStream");
        CaseBuilder::Link(q, unit);
        CaseBuilder::Num(q, "HeatFlow", r.heatFlow);
        DataExtractionConfig& config = *c.p.scenario->GetDataExtractionConfig();
        config.SetSettingValue("TransferFromExcel", r.excel);
        config.SetSettingValue("DoIExtractReactionHeat", r.reactionHeat);
        EXPECT_EQ(c.Run("Q") != nullptr, r.taken) << r.unitClass << " " << r.heatFlow << " " << r.excel;
    }
}

TEST(EnergyStreams, ShortcutColumnReboilerTakesTheColumnsDuty) {
    DutyCase c;
    CPItem* column = c.b.Item("C1", "scShortcutDistillation");
    CaseBuilder::Num(column, "ReboilerTemperature", 150);
    CaseBuilder::Num(column, "ReboilerDuty", 800);
    column->AddVariable("BottomsStream")->Set("Bottoms");
    CPItem* bottoms = c.b.Stream("Bottoms_Main", 150);
    bottoms->AddVariable("PhaseViscosity")->AddSubValue("Overall", 0.3, CPValue::Specified);
    CPItem* q = c.b.Item("QR", "ppEnergyStream");
    CaseBuilder::Link(q, column);
    CaseBuilder::Num(q, "HeatFlow", 1);  // only admits the pair
    IHeatIntegrationStream* s = c.Run("QR");
    ASSERT_NE(s, nullptr);
    EXPECT_DOUBLE_EQ(s->GetSupplyTemperature(), 149.5);
    EXPECT_DOUBLE_EQ(s->GetTargetTemperature(), 150.0);
    EXPECT_DOUBLE_EQ(c.Value(s, "Enthalpy"), -800.0);
    EXPECT_DOUBLE_EQ(c.Value(s, "Viscosity"), 0.3);
    EXPECT_EQ(c.Item("QR_Exchanger")->_get_szClassName(), "htHeater");
    EXPECT_DOUBLE_EQ(c.Number("QR_Exchanger", "Duty"), 800.0);
    // Recorded for a refresh to read the column again (it once was not, and the stream was
    // never refreshed).
    ASSERT_EQ(1u, c.import.GetEnergyStreamItems().size());
    EXPECT_EQ(q, c.import.GetEnergyStreamItems()[0].second);
}

TEST(SeparatorDuties, OnlyForProIICasesAndAtAnEqualTemperatureHalfADegreeAway) {
    for (double fileType : {0.0, 1.0, 2.0}) {
        DutyCase c;
        c.p.scenario->GetDataExtractionConfig()->SetSettingValue("SimulatorFileType", fileType);
        CPItem* v = c.b.Item("V1", "vsSeparatorTwoPhase");
        CPItem* feed = c.b.Stream("F", 70);
        CPItem* out = c.b.Stream("P", 70);
        CaseBuilder::Num(feed, "MassFlow", 3);
        CaseBuilder::Link(feed, v);
        CaseBuilder::Link(v, out);
        CaseBuilder::Num(v, "Duty", -10);
        IHeatIntegrationStream* s = c.Run("V1");
        if (fileType != 2.0) {
            EXPECT_EQ(s, nullptr);
            continue;
        }
        ASSERT_NE(s, nullptr);
        EXPECT_DOUBLE_EQ(s->GetSupplyTemperature(), 70.0);
        EXPECT_DOUBLE_EQ(s->GetTargetTemperature(), 69.5);
        EXPECT_DOUBLE_EQ(c.Value(s, "Enthalpy"), 10.0);
        EXPECT_DOUBLE_EQ(c.Value(s, "MassFlow"), 3.0);
        EXPECT_EQ(c.Item("V1_Exchanger")->_get_szClassName(), "htCooler");
    }
}

TEST(EnergyStreams, ASecondRunMakesNoNewItemsAndWritesIntoTheSameStreams) {
    DutyCase c;
    c.TraySection(-300, 90, false);
    c.Run("Q");
    const std::size_t items = c.b.simulatorCase.GetNumberOfItems();
    const int streams = c.p.scenario->GetNumberOfProcessStreams();
    c.Item("Q")->GetVariable("HeatFlow")->Set(-500.0);
    IHeatIntegrationStream* s = c.Run("Q");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(c.b.simulatorCase.GetNumberOfItems(), items);
    EXPECT_EQ(c.p.scenario->GetNumberOfProcessStreams(), streams);
    EXPECT_DOUBLE_EQ(c.Number("Q_Exchanger", "Duty"), 300.0);  // the unit made first is left alone
    EXPECT_EQ(c.import.GetEnergyStreamItems().size(), 1u);
}

}  // namespace
