// The existing network's duties from the case's heat flows and the simulator's duty, the
// splitters of a split stream with their fractions, and utilities' exchangers set in parallel.
#include "tests/eng/extraction/CaseBuilder.h"
#include "tests/eng/extraction/ExtractionTestSupport.h"

#include "eng/design/IHENDesign.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/extraction/VelmorToTarsilImport.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "pellin/CNode.h"
#include "quenta/RalvexInterface.h"

#include <gtest/gtest.h>

#include <memory>

using namespace extraction_test;

namespace {

double value(const CNode* node, const char* name) {
    double v = -32767.0;
    if (node) node->getVariableAsDouble(name, v);
    return v;
}

// A cold feed A (3 kg/s, 20 C) split by tee T1 into B1 (1 kg/s) and B2 (2 kg/s), each heated to
// 80 C (H1 240 kW, H2 480 kW) and mixed again in M1 into D.
// A simulator case of one split stream, extracted into a project of its own.
struct SplitExtraction {
    ExtractionProject p;
    CaseBuilder b;
    RalvexInterface access;
    std::unique_ptr<VelmorToTarsilImport> import;
    CPItem* stream(const char* name, double t, double flow, double heatFlow, const char* branch) {
        CPItem* s = b.Stream(name, t, heatFlow == 0 ? -285000 : -280000);
        CaseBuilder::Num(s, "MassFlow", flow);
        CaseBuilder::Num(s, "HeatFlow", heatFlow);
        s->AddVariable("BranchName")->Set(branch);
        CPValue* x = s->AddVariable("CompMolarFraction");
        x->AddSubValue("", 0.9, CPValue::Specified);
        x->AddSubValue("", 0.1, CPValue::Specified);
        return s;
    }
    void Run() {
        import = std::make_unique<VelmorToTarsilImport>(p.scenario, &access, &b.simulatorCase);
        import->Extract();
    }
    IHeatIntegrationStream* Stream() {
        // The one process stream (its name follows the transfer: "A_To_D", or "A" from a sheet).
        IHeatIntegrationStream* s = nullptr;
        IHeatIntegrationStream* found = nullptr;
        for (int i = 0; p.scenario->GetStream(i, s); ++i)
            if (s && s->GetStreamKind() == 0) found = s;
        return found;
    }
};

struct SplitCase : SplitExtraction {
    CPItem *a, *b1, *b2, *c1, *c2, *d, *tee, *h1, *h2;
    SplitCase() {
        a = stream("A", 20, 3, 0, "Main");
        tee = b.Item("T1", "ppTee");
        b1 = stream("B1", 20, 1, 0, "Branch 1");
        b2 = stream("B2", 20, 2, 0, "Branch 2");
        CaseBuilder::Link(a, tee);
        CaseBuilder::Link(tee, b1);
        CaseBuilder::Link(tee, b2);
        c1 = stream("C1", 80, 1, 240, "Branch 1");
        c2 = stream("C2", 80, 2, 480, "Branch 2");
        h1 = b.Through(b1, "H1", "htHeater", c1);
        h2 = b.Through(b2, "H2", "htHeater", c2);
        CaseBuilder::Num(h1, "Duty", 240);
        CaseBuilder::Num(h2, "Duty", 480);
        CaseBuilder::Table(h1, "B1", {20, 50, 80}, {0, 120, 240});
        CaseBuilder::Table(h2, "B2", {20, 50, 80}, {0, 120, 240});
        CPItem* mixer = b.Item("M1", "ppMixer");
        CaseBuilder::Link(c1, mixer);
        CaseBuilder::Link(c2, mixer);
        d = stream("D", 80, 3, 720, "Main");
        CaseBuilder::Link(mixer, d);
    }
    std::vector<double> Fractions() {
        std::vector<double> out;
        IHENDesign* design = import->GetBaseDesign();
        if (!design || !Stream()) return out;
        const std::vector<CNode*> splitters = design->GetSplittersOnStream(Stream());
        if (splitters.size() != 1) return out;
        for (int k = 0; CNode* branch = design->GetSplitterBranch(splitters[0], k); ++k)
            out.push_back(value(branch, "SplitFraction"));
        return out;
    }
};

TEST(ExistingNetworkBranches, FractionsFromTheBranchFlowsOrFromTheSpreadsheetSplits) {
    {
        SplitCase c;
        c.Run();
        ASSERT_NE(c.Stream(), nullptr);
        const std::vector<double> f = c.Fractions();
        ASSERT_EQ(f.size(), 2u);
        EXPECT_NEAR(f[0], 1.0 / 3.0, 1e-9);
        EXPECT_NEAR(f[1], 2.0 / 3.0, 1e-9);
        // The heaters are on the two branches.
        IHENDesign* design = c.import->GetBaseDesign();
        EXPECT_NE(design->GetNodeByName("H1"), nullptr);
        EXPECT_NE(design->GetNodeByName("H2"), nullptr);
    }
    {
        SplitCase c;
        c.p.scenario->GetDataExtractionConfig()->SetSettingValue("TransferFromExcel", 1.0);
        CPValue* splits = c.tee->AddVariable("Splits");
        splits->AddSubValue("", 0.3, CPValue::Specified);
        splits->AddSubValue("", 0.7, CPValue::Specified);
        c.Run();
        const std::vector<double> f = c.Fractions();
        ASSERT_EQ(f.size(), 2u);
        EXPECT_DOUBLE_EQ(f[0], 0.3);
        EXPECT_DOUBLE_EQ(f[1], 0.7);
    }
}

TEST(ExistingNetworkBranches, TheRefreshTakesNewFlowsAndNeverDividesByANullFeed) {
    struct Row {
        double feed, b1, b2;
        double f1, f2;
    } rows[] = {{3.0, 1.5, 1.5, 0.5, 0.5}, {0.0, 1.5, 1.5, 1.0 / 3.0, 2.0 / 3.0}, {-3.0, 1.5, 1.5, 1.0 / 3.0, 2.0 / 3.0}};
    for (const Row& r : rows) {
        SplitCase c;
        c.Run();
        IHENDesign* design = c.import->GetBaseDesign();
        ASSERT_NE(design, nullptr);
        const StreamChain* chain = c.import->GetStreamChain(c.Stream()->GetName());
        ASSERT_NE(chain, nullptr);
        // The fractions as the extraction specified them.
        const std::vector<CNode*> splitters = design->GetSplittersOnStream(c.Stream());
        ASSERT_EQ(splitters.size(), 1u);
        for (int k = 0; k < 2; ++k)
            design->GetSplitterBranch(splitters[0], k)->addVariable("SplitFraction", k == 0 ? 1.0 / 3.0 : 2.0 / 3.0, 1, 1);
        c.Stream()->SetValue("MassFlow", r.feed, 0);
        CaseBuilder::Num(c.b1, "MassFlow", r.b1);
        CaseBuilder::Num(c.b2, "MassFlow", r.b2);
        c.import->RefreshSplitFractions(*chain, *design, *c.Stream());
        const std::vector<double> f = c.Fractions();
        ASSERT_EQ(f.size(), 2u);
        EXPECT_NEAR(f[0], r.f1, 1e-9) << r.feed;
        EXPECT_NEAR(f[1], r.f2, 1e-9) << r.feed;
    }
}

TEST(ExistingNetworkBranches, TheRefreshTakesSpecifiedFractionsAndKeepsCalculatedOnes) {
    SplitCase c;
    c.Run();
    IHENDesign* design = c.import->GetBaseDesign();
    ASSERT_NE(design, nullptr);
    const StreamChain* chain = c.import->GetStreamChain(c.Stream()->GetName());
    ASSERT_NE(chain, nullptr);
    const std::vector<CNode*> splitters = design->GetSplittersOnStream(c.Stream());
    ASSERT_EQ(splitters.size(), 1u);
    // The first branch's fraction is the user's specification, the second the network's result.
    design->GetSplitterBranch(splitters[0], 0)->addVariable("SplitFraction", 0.4, 1, 1);
    design->GetSplitterBranch(splitters[0], 1)->addVariable("SplitFraction", 0.6, 2, 1);
    CaseBuilder::Num(c.b1, "MassFlow", 0.75);
    CaseBuilder::Num(c.b2, "MassFlow", 2.25);
    c.import->RefreshSplitFractions(*chain, *design, *c.Stream());
    const std::vector<double> f = c.Fractions();
    ASSERT_EQ(f.size(), 2u);
    EXPECT_DOUBLE_EQ(f[0], 0.25);
    EXPECT_DOUBLE_EQ(f[1], 0.6);
}

// A cold feed A (3 kg/s, 20 C) teed by T1 into B1 (1 kg/s) and B2 (2 kg/s), B2 teed again by T2
// into B21 (0.5 kg/s) and B22 (1.5 kg/s); heaters take each branch to 80 C and M2, M1 mix it again.
struct NestedCase : SplitExtraction {
    CPItem *tee = nullptr, *t2 = nullptr, *b21 = nullptr, *b22 = nullptr;
    NestedCase() {
        CPItem* a = stream("A", 20, 3, 0, "Main");
        tee = b.Item("T1", "ppTee");
        CPItem* b1 = stream("B1", 20, 1, 0, "Branch 1");
        CPItem* b2 = stream("B2", 20, 2, 0, "Branch 2");
        CaseBuilder::Link(a, tee);
        CaseBuilder::Link(tee, b1);
        CaseBuilder::Link(tee, b2);
        t2 = b.Item("T2", "ppTee");
        CaseBuilder::Link(b2, t2);
        b21 = stream("B21", 20, 0.5, 0, "Branch 21");
        b22 = stream("B22", 20, 1.5, 0, "Branch 22");
        CaseBuilder::Link(t2, b21);
        CaseBuilder::Link(t2, b22);
        CPItem* c1 = stream("C1", 80, 1, 240, "Branch 1");
        CPItem* c21 = stream("C21", 80, 0.5, 120, "Branch 21");
        CPItem* c22 = stream("C22", 80, 1.5, 360, "Branch 22");
        const std::pair<CPItem*, CPItem*> heated[] = {{b1, c1}, {b21, c21}, {b22, c22}};
        const double duties[] = {240, 120, 360};
        for (int i = 0; i < 3; ++i) {
            const auto [from, to] = heated[i];
            CPItem* h = b.Through(from, std::string("H") + from->_get_szName().c_str(), "htHeater", to);
            CaseBuilder::Num(h, "Duty", duties[i]);
            CaseBuilder::Table(h, from->_get_szName().c_str(), {20, 50, 80}, {0, 120, 240});
        }
        CPItem* m2 = b.Item("M2", "ppMixer");
        CaseBuilder::Link(c21, m2);
        CaseBuilder::Link(c22, m2);
        CPItem* c2 = stream("C2", 80, 2, 480, "Branch 2");
        CaseBuilder::Link(m2, c2);
        CPItem* m1 = b.Item("M1", "ppMixer");
        CaseBuilder::Link(c1, m1);
        CaseBuilder::Link(c2, m1);
        CaseBuilder::Link(m1, stream("D", 80, 3, 720, "Main"));
    }
    // The shares of the splitter named after the tee.
    std::vector<double> Shares(const char* tee) {
        std::vector<double> out;
        IHENDesign* design = import->GetBaseDesign();
        for (CNode* splitter : design->GetSplittersOnStream(Stream())) {
            CPString name;
            if (!splitter->getVariableAsString("UnitOperationName", name) || name != tee) continue;
            for (int k = 0; CNode* branch = design->GetSplitterBranch(splitter, k); ++k)
                out.push_back(value(branch, "SplitFraction"));
        }
        return out;
    }
};

// Each splitter's fractions are shares of the flow entering it: the inner tee's 0.5 and 1.5 of the
// 2 kg/s reaching it, from the flows, from a spreadsheet's splits of the whole stream (1/6 and 1/2)
// and, on a refresh, from the new flows, whatever order the design lists its splitters in.
TEST(ExistingNetworkBranches, ATeeOnABranchTakesSharesOfItsOwnInflow) {
    for (bool sheet : {false, true}) {
        NestedCase c;
        if (sheet) {
            c.p.scenario->GetDataExtractionConfig()->SetSettingValue("TransferFromExcel", 1.0);
            for (auto [tee, shares] : {std::pair<CPItem*, std::pair<double, double>>{c.tee, {1.0 / 3.0, 2.0 / 3.0}},
                                       {c.t2, {1.0 / 6.0, 0.5}}}) {
                CPValue* splits = tee->AddVariable("Splits");
                splits->AddSubValue("", shares.first, CPValue::Specified);
                splits->AddSubValue("", shares.second, CPValue::Specified);
            }
        }
        c.Run();
        ASSERT_NE(c.Stream(), nullptr);
        const std::vector<double> outer = c.Shares("T1"), inner = c.Shares("T2");
        ASSERT_EQ(outer.size(), 2u) << sheet;
        ASSERT_EQ(inner.size(), 2u) << sheet;
        EXPECT_NEAR(outer[0], 1.0 / 3.0, 1e-9) << sheet;
        EXPECT_NEAR(inner[0], 0.25, 1e-9) << sheet;
        EXPECT_NEAR(inner[1], 0.75, 1e-9) << sheet;
        if (sheet) continue;
        IHENDesign* design = c.import->GetBaseDesign();
        const StreamChain* chain = c.import->GetStreamChain(c.Stream()->GetName());
        ASSERT_NE(chain, nullptr);
        // Every share as the user's specification, which a refresh takes over.
        for (CNode* splitter : design->GetSplittersOnStream(c.Stream()))
            for (int k = 0; CNode* branch = design->GetSplitterBranch(splitter, k); ++k)
                branch->addVariable("SplitFraction", value(branch, "SplitFraction"), 1, 1);
        CaseBuilder::Num(c.b21, "MassFlow", 0.75);
        CaseBuilder::Num(c.b22, "MassFlow", 1.25);
        c.import->RefreshSplitFractions(*chain, *design, *c.Stream());
        EXPECT_NEAR(c.Shares("T1")[0], 1.0 / 3.0, 1e-9);
        EXPECT_NEAR(c.Shares("T2")[0], 0.375, 1e-9);
        EXPECT_NEAR(c.Shares("T2")[1], 0.625, 1e-9);
    }
}

TEST(ExistingNetworkDuties, HeatFlowsGiveTheDutyOnlyWhenKnownAndTheSideIsKnown) {
    struct Row {
        const char* unit;
        double feed, product;
        bool known, dutyKnown;
        double duty;  // -32767: stays free
    } rows[] = {{"H1", 1000, 600, true, true, -400},
                {"H1", 600, 1000, true, true, 400},
                // An unknown heat flow is passed over: the unit's own duty stands, else it stays free.
                {"H1", 1000, 600, false, true, 240},
                {"H1", 1000, 600, false, false, -32767}};
    for (const Row& r : rows) {
        SplitCase c;
        c.Run();
        IHENDesign* design = c.import->GetBaseDesign();
        ASSERT_NE(design, nullptr);
        CNode* node = design->GetNodeByName(r.unit);
        ASSERT_NE(node, nullptr);
        node->addVariable("Duty", 0.0, 0, 1);
        CaseBuilder::Num(c.b1, "HeatFlow", r.feed);
        if (r.known) CaseBuilder::Num(c.c1, "HeatFlow", r.product);
        else c.c1->GetVariable("HeatFlow")->SetStatus(0);
        if (!r.dutyKnown) c.h1->GetVariable("Duty")->SetStatus(0);
        c.import->SetDutyFromHeatFlows(c.h1);
        if (r.duty == -32767) {
            EXPECT_NE(node->getVariableStatus("Duty"), 1);
        } else {
            // The cold branch takes up heat: product minus feed.
            EXPECT_EQ(node->getVariableStatus("Duty"), 1);
            EXPECT_DOUBLE_EQ(value(node, "Duty"), r.duty);
        }
    }
}

}  // namespace


namespace {

// Three cold streams, each heated by one heater on "HP Steam": the heaters are in series on the
// steam until the steam is split, one branch per heater.
struct SteamHeaters {
    ExtractionProject p;
    CaseBuilder b;
    RalvexInterface access;
    VelmorToTarsilImport import{p.scenario, &access, &b.simulatorCase};
    IHENDesign* design = nullptr;
    std::vector<CNode*> heaters;
    explicit SteamHeaters(std::initializer_list<double> duties) {
        p.scenario->AddDesign("SimulationBaseCase");
        design = import.GetBaseDesign();
        p.scenario->AddStream("HP Steam", 1);
        int i = 0;
        for (double duty : duties) {
            const CPString name = "C" + std::to_string(++i);
            p.scenario->AddStream(name, 0);
            IHeatIntegrationStream* s = nullptr;
            p.scenario->GetStream(name, s);
            s->SetValue("Temperature", 50.0, 0);
            s->SetValue("Temperature", 150.0, 1);
            s->SetValue("HeatCapacityFlowrate", 10.0, 0);
            design->ProcessChange(36, name, nullptr);
            CNode* processEnd = design->GetNodeByName(name + "End");
            CNode* steamEnd = design->GetNodeByName("HP SteamEnd");
            CNode* heater = design->AddHeatExchanger(processEnd->getIthUpStreamNode(0), steamEnd->getIthUpStreamNode(0),
                                                     nullptr, "htHeatExchanger", ("E" + std::to_string(i)).c_str());
            if (heater) heater->addVariable("Duty", duty, 1, 1);
            heaters.push_back(heater);
        }
    }
};

TEST(ExistingNetworkParallel, ExchangersOnAUtilityBecomeBranchesSharingItByDuty) {
    struct Row {
        std::initializer_list<double> duties;
        std::vector<double> fractions;
    } rows[] = {{{100, 200, 700}, {0.1, 0.2, 0.7}}, {{0, 0}, {0.5, 0.5}}, {{300}, {}}};
    for (const Row& r : rows) {
        SteamHeaters h(r.duties);
        for (CNode* heater : h.heaters) ASSERT_NE(heater, nullptr);
        IHeatIntegrationStream* steam = nullptr;
        h.p.scenario->GetStream(CPString("HP Steam"), steam);
        ASSERT_NE(steam, nullptr);
        h.import.ParallelizeSeriesExchangers();
        const std::vector<CNode*> splitters = h.design->GetSplittersOnStream(steam);
        if (r.fractions.empty()) {
            EXPECT_TRUE(splitters.empty());
            continue;
        }
        ASSERT_EQ(splitters.size(), 1u);
        for (std::size_t k = 0; k < r.fractions.size(); ++k) {
            CNode* branch = h.design->GetSplitterBranch(splitters[0], static_cast<int>(k));
            ASSERT_NE(branch, nullptr);
            EXPECT_NEAR(value(branch, "SplitFraction"), r.fractions[k], 1e-12) << k;
        }
    }
}

}  // namespace
