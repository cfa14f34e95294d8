// What the existing network takes beside the placement itself: the simulator's side temperatures
// for the feasibility check, units joined through an energy stream, utilities from a total site
// or from the simulator's own energy streams, and dummy utilities.
#include "tests/eng/extraction/TrainCase.h"
#include "tests/eng/model/ScenarioTestDoubles.h"

#include "brasko/ConfigurationStore.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/TotalSite.h"
#include "eng/targeting/TotalSiteManager.h"
#include "lumeth/Session.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace extraction_test;

namespace {

// The utility stream the unit's utility side sits on, empty when none.
std::string UtilityOf(IHENDesign& design, CNode* unit) {
    auto* hx = dynamic_cast<HeatExch*>(unit);
    if (!hx) return "";
    for (int side = 0; side < 2; ++side) {
        CNode* in = hx->getInlet(side);
        CPString parent;
        if (!in || in->getVariableAsString("ParentStream", parent) != 1) continue;
        for (int i = 0; i < design.GetNumberOfUtilityStreams(); ++i)
            if (IHeatIntegrationStream* u = design.GetUtilityStream(i); u && u->GetName() == parent) return parent;
    }
    return "";
}

bool InNetworkItems(const VelmorToTarsilImport& import, const char* name) {
    const auto& items = import.GetExistingNetworkItems();
    return std::any_of(items.begin(), items.end(), [&](const CPItem* i) { return i->_get_szName() == name; });
}

TEST(ExistingNetworkSupport, SideTemperaturesFollowTheSideWhoseHeatFlowRises) {
    struct Row {
        const char *tubeFeed, *tubeProduct, *shellFeed, *shellProduct;
        double shellIsHot;  // -1: not stored
        double hotIn, hotOut, coldIn, coldOut;
    } rows[] = {
        // The cold feed in the tubes: its heat flow rises, the shell is hot.
        {"K1", "K2", "H1", "H2", 1.0, 200, 140, 40, 90},
        // The hot product in the tubes: its heat flow falls.
        {"H1", "H2", "K1", "K2", 0.0, 200, 140, 40, 90},
        // Equal heat flows decide nothing: every temperature stays 0 and the shell is not read.
        {"H2", "H3", "K1", "K2", -1.0, 0, 0, 0, 0},
    };
    for (const Row& r : rows) {
        Train t;
        t.Run();
        CNode* x1 = t.Node("X1");
        ASSERT_NE(x1, nullptr);
        for (auto [side, name] : {std::pair{"TubeSideFeed", r.tubeFeed}, {"TubeSideProduct", r.tubeProduct},
                                  {"ShellSideFeed", r.shellFeed}, {"ShellSideProduct", r.shellProduct}})
            t.x1->AddVariable(side)->Set(name);
        // H2 and H3 carry 700 and 300: equal only once H3 is raised to H2's.
        if (r.shellIsHot < 0) CaseBuilder::Num(t.h3, "HeatFlow", 700);
        x1->addVariable("ShellSideIsHot", -5.0, 1, 0);
        t.import->StoreSimulatorSideTemperatures(t.x1, x1);
        EXPECT_DOUBLE_EQ(value(x1, "ShellSideIsHot"), r.shellIsHot < 0 ? -5.0 : r.shellIsHot) << r.tubeFeed;
        EXPECT_DOUBLE_EQ(value(x1, "HotInletVelmor"), r.hotIn) << r.tubeFeed;
        EXPECT_DOUBLE_EQ(value(x1, "HotOutletVelmor"), r.hotOut) << r.tubeFeed;
        EXPECT_DOUBLE_EQ(value(x1, "ColdInletVelmor"), r.coldIn) << r.tubeFeed;
        EXPECT_DOUBLE_EQ(value(x1, "ColdOutletVelmor"), r.coldOut) << r.tubeFeed;
    }
}

TEST(ExistingNetworkSupport, TheTrainsExchangerIsCheckedAndFoundFeasible) {
    Train t;
    t.Run();
    // The side temperatures were stored while placing, so the check had something to judge.
    EXPECT_DOUBLE_EQ(value(t.Node("X1"), "HotInletVelmor"), 200.0);
    EXPECT_DOUBLE_EQ(value(t.Node("X1"), "ColdOutletVelmor"), 90.0);
    EXPECT_FALSE(t.Report()->HasEntry("Warnings:Discrepancies_In_The_Feasiblity_Of_Exchangers"));
}

// A design whose one exchanger is the given node, with port temperatures that cross.
class OneUnitDesign : public scenario_test::FakeDesign {
public:
    using FakeDesign::FakeDesign;
    bool GetHeatExchanger(int index, CNode*& out) const override {
        out = index == 0 ? unit : nullptr;
        return out != nullptr;
    }
    bool GetExchangerPortTemperature(CNode*, int port, double& out) const override {
        static const double ports[] = {100, 60, 70, 95};  // hot in, hot out, cold in, cold out
        out = ports[port];
        return true;
    }
    CNode* unit = nullptr;
};

class OneUnitDesignFactory : public IHENDesignFactory {
public:
    IHENDesign* CreateDesign(IHeatIntegrationScenario&, const CPString& name) override {
        made = new OneUnitDesign(name);
        return made;
    }
    OneUnitDesign* made = nullptr;
};

TEST(ExistingNetworkSupport, TheFeasibilityCheckPassesOverAUnitWithoutTheCountercurrentInterface) {
    for (bool countercurrent : {true, false}) {
        LoadModuleRegistries();
        auto factory = std::make_shared<OneUnitDesignFactory>();
        ScenarioServices services = DefaultScenarioServices();
        services.designs = factory;
        CPIProject project(nullptr, "Plant");
        project.SetScenarioServices(services);
        project.AddScenario("Base");
        IHeatIntegrationScenario* scenario = nullptr;
        project.GetScenario("Base", scenario);
        scenario->AddDesign("SimulationBaseCase");
        ASSERT_NE(factory->made, nullptr);
        HeatExch exchanger("X1", "Lurmet_countercurrent_HX");
        StreamNode plain("X1", "ppMaterialStream");
        CNode* unit = countercurrent ? static_cast<CNode*>(&exchanger) : &plain;
        factory->made->unit = unit;
        // Feasible in the simulation; the network's ports cross (60 - 70 < 0).
        for (auto [name, v] : {std::pair{"HotInletVelmor", 100.0}, {"HotOutletVelmor", 60.0}, {"ColdInletVelmor", 50.0},
                               {"ColdOutletVelmor", 95.0}})
            unit->addVariable(name, v, 1);
        CaseBuilder b;
        RalvexInterface access;
        VelmorToTarsilImport import(scenario, &access, &b.simulatorCase);
        import.CheckExchangerFeasibility();
        ReportHolder* report = nullptr;
        scenario->GetReportHolder(report);
        EXPECT_EQ(report->HasEntry("Warnings:Discrepancies_In_The_Feasiblity_Of_Exchangers"), countercurrent);
        factory->made->unit = nullptr;
    }
}

TEST(ExistingNetworkSupport, UnitsJoinedByAnEnergyStreamBecomeOneExchanger) {
    enum Path { Direct, ThroughTwoEnergyStreams, ToAPump };
    for (Path path : {Direct, ThroughTwoEnergyStreams, ToAPump}) {
        Train t;
        // The cooler's heat goes out on Q1 ...
        CPItem* q1 = t.b.Item("Q1", "ppEnergyStream");
        CaseBuilder::Link(t.c1, q1);
        if (path == Direct) {
            CaseBuilder::Link(q1, t.e1);
        } else if (path == ThroughTwoEnergyStreams) {
            CPItem* q2 = t.b.Item("Q2", "ppEnergyStream");
            CaseBuilder::Link(q1, q2);
            CaseBuilder::Link(q2, t.e1);
        } else {
            CaseBuilder::Link(q1, t.b.Item("P9", "rtPump"));
        }
        t.Run();
        IHENDesign* design = t.Design();
        ASSERT_NE(design, nullptr);
        const bool joined = path != ToAPump;
        CNode* pair = t.Node("C1_E1");
        EXPECT_EQ(pair != nullptr, joined) << path;
        EXPECT_EQ(t.Node("C1") == nullptr, joined) << path;
        EXPECT_EQ(t.Node("E1") == nullptr, joined) << path;
        EXPECT_EQ(InNetworkItems(*t.import, "C1"), !joined) << path;
        EXPECT_EQ(InNetworkItems(*t.import, "E1"), !joined) << path;
        if (!joined) continue;
        // Between the two process streams, the cooler's duty as the simulator's, in the record of
        // the units a refresh re-reads.
        auto* hx = dynamic_cast<HeatExch*>(pair);
        ASSERT_NE(hx, nullptr);
        EXPECT_FALSE(hx->IsUtilityExch());
        EXPECT_DOUBLE_EQ(value(pair, "SimDuty"), 400.0);
        EXPECT_EQ(t.import->GetExchangerItem("C1_E1"), t.c1);
        EXPECT_EQ(t.import->GetExchangerItem("C1"), nullptr);
    }
}

TEST(ExistingNetworkSupport, InATotalSiteTheUtilitiesAreTheSitesOwn) {
    LoadModuleRegistries();
    CPITotalSite site(nullptr, "Works");
    site.SetScenarioServices(DefaultScenarioServices());
    ASSERT_EQ(site.AddScenario("Base"), 1);
    IHeatIntegrationScenario* scenario = nullptr;
    ASSERT_TRUE(site.GetScenario("Base", scenario));
    ASSERT_TRUE(scenario->IsTotalSiteScenario());
    Train t;
    t.target = scenario;
    t.Run();
    IHENDesign* design = t.Design();
    ASSERT_NE(design, nullptr);
    // The cooler ends at 60 C, the heater at 180 C: the site manager's choice for each.
    const char* cold = site.GetSiteManager().GetRecommendedUtilityName(60.0, SHT_Cold, nullptr);
    const char* hot = site.GetSiteManager().GetRecommendedUtilityName(180.0, SHT_Hot, nullptr);
    ASSERT_NE(cold, nullptr);
    ASSERT_NE(hot, nullptr);
    for (auto [unit, utility] : {std::pair{"C1", cold}, {"E1", hot}}) {
        CNode* node = t.Node(unit);
        ASSERT_NE(node, nullptr) << unit;
        EXPECT_EQ(UtilityOf(*design, node), utility) << unit;
        // The site holds the utility stream the scenario uses.
        IHeatIntegrationStream* onSite = nullptr;
        EXPECT_TRUE(site.GetStream(CPString(utility), onSite)) << utility;
    }
}

TEST(ExistingNetworkSupport, TheSimulatorsUtilityComesFromTheHeatersEnergyStream) {
    struct Row {
        double fromSimulation;
        bool otherEndInNetwork;
        const char* utility;
    } rows[] = {
        {1.0, false, "MP Steam"},  // the energy stream's utility type
        {0.0, false, "HP Steam"},  // the rule by temperature: 180 C needs high-pressure steam
        {1.0, true, "HP Steam"},   // the energy stream comes from another unit of the network
    };
    for (const Row& r : rows) {
        Train t;
        CPItem* q = t.b.Item("QE", "ppEnergyStream");
        q->AddVariable("UtilityType")->Set("MP Steam");
        if (r.otherEndInNetwork) CaseBuilder::Link(t.x1, q);
        CaseBuilder::Link(q, t.e1);
        SetConfigData("UtilitiesFromSimulation", r.fromSimulation);
        t.Run();
        SetConfigData("UtilitiesFromSimulation", 0.0);
        CNode* e1 = t.Node("E1");
        ASSERT_NE(e1, nullptr) << r.utility;
        EXPECT_EQ(UtilityOf(*t.Design(), e1), r.utility) << r.fromSimulation << " " << r.otherEndInNetwork;
    }
}

TEST(ExistingNetworkSupport, AnExchangerEndingItsStreamsGetsNoDummyUtilities) {
    Train t;
    // The exchanger's streams end at the exchanger; a heater and a cooler serve two other streams.
    for (const char* name : {"C1", "H3", "E1", "K3"}) t.b.simulatorCase.DeleteItem(name);
    CPItem* a1 = t.stream("A1", 30, 0, -50000, 0.4);
    CPItem* a2 = t.stream("A2", 60, 150, -49000, 0.4);
    CPItem* heater = t.b.Through(a1, "E2", "htHeater", a2);
    CaseBuilder::Num(heater, "Duty", 150);
    CaseBuilder::Table(heater, "A1", {30, 45, 60}, {0, 37.5, 75});
    CPItem* b1 = t.stream("B1", 120, 400, -45000, 0.55);
    CPItem* b2 = t.stream("B2", 80, 200, -46000, 0.55);
    CPItem* cooler = t.b.Through(b1, "C2", "htCooler", b2);
    CaseBuilder::Num(cooler, "Duty", 200);
    CaseBuilder::Table(cooler, "B1", {120, 100, 80}, {200, 150, 100});
    t.Run();
    IHENDesign* design = t.Design();
    ASSERT_NE(design, nullptr);
    ASSERT_NE(t.Node("X1"), nullptr);
    // The utilities at the exchanger's outlets are the idle ones that end its streams: no utility
    // the network uses, so no dummy goes beside them (one would take a stream past its end), though
    // the design has heaters and coolers elsewhere. The network stays exactly specified.
    int dummies = 0;
    CNode* unit = nullptr;
    for (int i = 0; design->GetHeatExchanger(i, unit) && unit; ++i) {
        CPString name;
        unit->getVariableAsString("UnitOperationName", name);
        if (name.find("Dummy") != std::string::npos) ++dummies;
    }
    EXPECT_EQ(dummies, 0);
    EXPECT_EQ(design->GetDegreesOfFreedom(), 0);
    EXPECT_EQ(design->GetNumberOfUnsatisfiedProcessStreams(), 0);
}

}  // namespace
