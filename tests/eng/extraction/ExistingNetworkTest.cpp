// The existing network of a case rebuilt as the base design: exchangers, heaters and coolers
// placed between the extracted streams, the simulator's values kept, pass-through units sorted
// by their heat flows, and the design made ready for its calculation.
#include "tests/eng/extraction/TrainCase.h"

#include "brasko/ReportHolder.h"
#include "eng/design/IHENDesign.h"
#include "eng/extraction/CaseItemAccess.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/extraction/VelmorToTarsilImport.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "pellin/CNode.h"
#include "pellin/HeatExch.h"
#include "quenta/RalvexInterface.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace extraction_test;

namespace {

TEST(ExistingNetwork, TheTrainComesBackBetweenItsStreamsWithTheSimulatorsDuties) {
    Train t;
    t.Run();
    IHENDesign* design = t.Design();
    ASSERT_NE(design, nullptr);
    CNode* x1 = t.Node("X1");
    CNode* c1 = t.Node("C1");
    CNode* e1 = t.Node("E1");
    ASSERT_NE(x1, nullptr);
    ASSERT_NE(c1, nullptr);
    ASSERT_NE(e1, nullptr);
    EXPECT_DOUBLE_EQ(value(x1, "SimDuty"), 300.0);
    // X1 joins the two process streams; C1 and E1 each one process stream and a utility.
    auto* hx = dynamic_cast<HeatExch*>(x1);
    ASSERT_NE(hx, nullptr);
    EXPECT_FALSE(hx->IsUtilityExch());
    EXPECT_TRUE(dynamic_cast<HeatExch*>(c1)->IsCooler());
    EXPECT_TRUE(dynamic_cast<HeatExch*>(e1)->IsHeater());
    // Each stream satisfied, no unit infeasible.
    EXPECT_EQ(design->GetNumberOfUnsatisfiedProcessStreams(), 0);
    EXPECT_TRUE(design->GetInfeasibleHeatExchangers().empty());
    EXPECT_NEAR(hx->getLoad(), 300.0, 1e-6);
    EXPECT_NEAR(dynamic_cast<HeatExch*>(c1)->getLoad(), 400.0, 1e-6);
    EXPECT_NEAR(dynamic_cast<HeatExch*>(e1)->getLoad(), 540.0, 1e-6);
    EXPECT_EQ(t.import->GetExistingNetworkItems().size(), 3u);
    EXPECT_EQ(t.import->GetExchangerItem("X1"), t.x1);
}

TEST(ExistingNetwork, AnExchangerDutyIsPlacedFromOneTenthUpAndAnUnknownDutyIsAbsent) {
    struct Row {
        double duty;
        bool placed;
    } rows[] = {{0.1, true}, {-0.1, true}, {0.0999, false}, {CPValue::Empty, false}};
    for (const Row& r : rows) {
        Train t(r.duty);
        if (r.duty == CPValue::Empty) t.x1->AddVariable("Duty");  // present, not known
        t.Run();
        EXPECT_EQ(t.Node("X1") != nullptr, r.placed) << r.duty;
        if (!r.placed) {
            EXPECT_TRUE(t.Report()->HasEntry("Warnings:Heat_Exchangers_Placement_Failed")) << r.duty;
            EXPECT_EQ(t.import->GetExistingNetworkItems().size(), 2u) << r.duty;
        }
    }
}

TEST(ExistingNetwork, CoefficientsAndShellsOfTheSimulator) {
    struct Row {
        double overall, dirty, series, parallel;
        const char* method;
        double simU;
        int simUStatus;
        bool shells, parallelShells;
    } rows[] = {
        {450, 0, 2, 3, "SHORTCUT", 450, 1, false, false},
        {0, 0, 2, -1, "", 0, 0, true, false},
        {450, 300, 2, 3, "", 300, 1, true, true},
    };
    for (const Row& r : rows) {
        Train t;
        CaseBuilder::Num(t.x1, "OverallU", r.overall);
        CaseBuilder::Num(t.x1, "OverallDirtyCoeff", r.dirty);
        CaseBuilder::Num(t.x1, "NShellsSeries", r.series);
        if (r.parallel >= 0) CaseBuilder::Num(t.x1, "NShellsParallel", r.parallel);
        if (*r.method) t.x1->AddVariable("HeatXMethod")->Set(r.method);
        t.Run();
        CNode* x1 = t.Node("X1");
        ASSERT_NE(x1, nullptr);
        EXPECT_DOUBLE_EQ(value(x1, "SimOverallU"), r.simU) << r.method;
        EXPECT_EQ(x1->getVariableStatus("SimOverallU"), r.simUStatus) << r.overall;
        EXPECT_EQ(x1->hasVariable("SimNShells"), r.shells) << r.method;
        EXPECT_EQ(x1->hasVariable("SimNShellsParallel"), r.parallelShells) << r.method;
    }
}

TEST(ExistingNetwork, PassThroughUnitsAreSortedByTheirHeatFlows) {
    struct Row {
        const char* cls;
        double in, out;
        const char* list;
    } rows[] = {{"rtPump", 100, 100 + 1e-9, "DoNotAdd"}, {"rtPump", 100, 105, "AddToHeaterList"},
                {"ppValve", 100, 100 - 1e-8, "DoNotAdd"}, {"ppPipeSegment", 100, 90, "AddToCoolerList"},
                {"lgRecycle", 100, 100 + 1e-8, "DoNotAdd"}, {"htHeater", 100, 200, nullptr}};
    for (const Row& r : rows) {
        CaseBuilder b;
        CPItem* a = b.Stream("A", 50);
        CPItem* z = b.Stream("Z", 50);
        CaseBuilder::Num(a, "HeatFlow", r.in);
        CaseBuilder::Num(z, "HeatFlow", r.out);
        CPItem* unit = b.Through(a, "U", r.cls, z);
        const char* list = VelmorToTarsilImport::ClassifyFlowUnit(unit);
        if (!r.list) {
            EXPECT_EQ(list, nullptr) << r.cls;
        } else {
            ASSERT_NE(list, nullptr) << r.cls;
            EXPECT_STREQ(list, r.list) << r.cls << " " << r.out;
        }
    }
}

TEST(ExistingNetwork, OnlyLNGExchangersGiveAnEmptyNetworkAndOneWarning) {
    Train t;
    // The train's units become LNG exchangers: nothing is placed.
    for (CPItem* unit : {t.x1, t.c1, t.e1}) unit->_set_szClassName("htLNGExchanger");
    t.Run();
    if (IHENDesign* design = t.Design()) {
        EXPECT_EQ(design->GetNumberOfHeatExchangers(), 0);
    }
    ASSERT_NE(t.Report(), nullptr);
    EXPECT_TRUE(t.Report()->HasEntry("Warnings:LNGExchangers"));
    EXPECT_TRUE(t.import->GetExistingNetworkItems().empty());
}

TEST(ExistingNetwork, AnAirCoolerTakesAirAndATotalCondenserIsMarked) {
    for (const char* cls : {"htAirCooler", "htCondenserTotal"}) {
        Train t;
        t.c1->_set_szClassName(cls);
        t.Run();
        CNode* c1 = t.Node("C1");
        ASSERT_NE(c1, nullptr) << cls;
        if (std::strcmp(cls, "htAirCooler") == 0) {
            IHeatIntegrationStream* air = nullptr;
            EXPECT_TRUE(t.p.scenario->GetStream(CPString("Air"), air));
            EXPECT_TRUE(t.Design()->GetNodeByName("AirEnd") != nullptr);
        } else {
            EXPECT_DOUBLE_EQ(value(c1, "CondRebSpec"), 1.0);
            EXPECT_EQ(c1->getVariableStatus("CondRebSpec"), 1);
        }
    }
}

TEST(ExistingNetwork, ShiftedPumpsStayOutOfTheNetwork) {
    for (double shift : {0.0, 1.0}) {
        Train t;
        // A pump on the hot stream between C1 and its product, raising the heat flow by 5.
        CPItem* h4 = t.stream("H4", 60, 305, -42000, 0.2);
        t.b.Through(t.h3, "P1", "rtPump", h4);
        t.p.scenario->GetDataExtractionConfig()->SetSettingValue("ShiftTempsForPumps", shift);
        t.Run();
        if (shift != 0.0) {
            EXPECT_EQ(t.Node("P1"), nullptr);
        }
        for (CPItem* item : t.import->GetExistingNetworkItems()) EXPECT_NE(item->_get_szName(), CPString("P1"));
    }
}

TEST(ExistingNetwork, PumpsTakeTheExtremeUtilitiesOfTheirSide) {
    struct Row {
        bool hot;
        const char* utility;
    } rows[] = {{true, "Very Low Temperature"}, {false, "Very High Temperature"}};
    for (const Row& r : rows) {
        Train t;
        // A pump after the last unit of the stream, raising its heat flow by 5 kW.
        CPItem* last = r.hot ? t.h3 : t.k3;
        double heatFlow = 0.0;
        KnownNumber(last, "HeatFlow", heatFlow);
        CPItem* after = t.stream(r.hot ? "H4" : "K4", r.hot ? 60 : 180, heatFlow + 5, r.hot ? -42000 : -57000,
                                 r.hot ? 0.2 : 0.7);
        CPItem* pump = t.b.Through(last, "P1", "rtPump", after);
        CaseBuilder::Num(pump, "Duty", 5.0);
        t.Run();
        // The pump's feed as a stream of the network (the chain ends before the pump here).
        last->AddVariable("PIStreamName")->Set(r.hot ? "H1_To_H3" : "K1_To_K3");
        t.import->AddUtilityExchangerFromItem(pump);
        CNode* p1 = t.Node("P1");
        ASSERT_NE(p1, nullptr) << r.utility;
        IHeatIntegrationStream* utility = nullptr;
        EXPECT_TRUE(t.p.scenario->GetStream(CPString(r.utility), utility)) << r.utility;
        bool onUtility = false;
        for (int k = 0;; ++k) {
            CNode* unit = nullptr;
            if (!t.Design()->GetUnitOnStream(r.utility, k, unit) || !unit) break;
            onUtility = onUtility || unit == p1;
        }
        EXPECT_TRUE(onUtility) << r.utility;
    }
}

TEST(ExistingNetwork, TheSimulatorsDutyGoesToAFreeExchangerOnly) {
    struct Row {
        bool free;
        double simDuty, duty;
    } rows[] = {{true, 120.0, 120.0}, {true, 0.0, -1.0}, {false, 120.0, 300.0}};
    for (const Row& r : rows) {
        Train t;
        t.Run();
        CNode* x1 = t.Node("X1");
        ASSERT_NE(x1, nullptr);
        if (r.free) x1->addVariable("Duty", 0.0, 0, 1);
        x1->addVariable("SimDuty", r.simDuty, 1, 1);
        t.import->PrepareExchangerDuties();
        if (r.duty < 0) {
            EXPECT_NE(x1->getVariableStatus("Duty"), 1) << r.simDuty;
        } else {
            EXPECT_EQ(x1->getVariableStatus("Duty"), 1) << r.simDuty;
            EXPECT_DOUBLE_EQ(value(x1, "Duty"), r.duty) << r.simDuty;
        }
    }
}

TEST(ExistingNetwork, FromASheetNoUtilityContributionNoDummyUtilityAndNoFiredHeaterData) {
    for (double sheet : {0.0, 1.0}) {
        Train t;
        t.p.scenario->GetDataExtractionConfig()->SetSettingValue("TransferFromExcel", sheet);
        t.Run();
        if (sheet == 0.0) {
            EXPECT_DOUBLE_EQ(t.p.scenario->GetEconomicData(0, "Fired Heater"), 100000.0);
            EXPECT_DOUBLE_EQ(t.p.scenario->GetEconomicData(1, "Fired Heater"), 1000.0);
            EXPECT_DOUBLE_EQ(t.p.scenario->GetEconomicData(2, "Fired Heater"), 0.8);
        } else {
            EXPECT_NE(t.p.scenario->GetEconomicData(0, "Fired Heater"), 100000.0);
        }
        // From a simulator the utilities take the defaults' contributions as their own; from a
        // sheet they keep the one they were made with.
        IHeatIntegrationStream* s = nullptr;
        for (int i = 0; t.p.scenario->GetStream(i, s); ++i)
            if (s && s->GetStreamKind() == 1) {
                EXPECT_EQ(s->GetDTminContributionScope(), sheet == 0.0 ? 1 : 0) << s->GetName();
            }
    }
}

}  // namespace
