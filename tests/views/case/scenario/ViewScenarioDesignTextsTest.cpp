// The words of the scenario viewer's design-comparison and retrofit tables (headings, design
// names, exchanger names of the selected and of the base design, the streams of a new exchanger)
// and of the stream-link table, against designs whose exchangers stand in a flowsheet of their
// own and links of the four-stream problem.
#include "eng/model/StreamLynx.h"
#include "eng/model/StreamLynxCollection.h"
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "tests/support/FlowsheetTestStream.h"
#include "tests/views/case/scenario/ScenarioDesignSentinel.h"
#include "tests/views/case/scenario/ScenarioViewerTestSupport.h"
#include "views/case/scenario/ScenarioTextRows.h"
#include "views/design/HIDesignViewerDesign.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A design whose exchangers are nodes of a flowsheet the test owns.
class NodeDesign : public scenario_test::FakeDesign {
public:
    NodeDesign(const char* name, std::vector<CNode*> nodes) : FakeDesign(name), nodes(std::move(nodes)) {}
    bool GetHeatExchanger(int i, CNode*& out) const override {
        if (i < 0 || i >= static_cast<int>(nodes.size())) return false;
        out = nodes[static_cast<std::size_t>(i)];
        return true;
    }
    int GetNumberOfHeatExchangers() const override { return static_cast<int>(nodes.size()); }
    std::vector<CNode*> nodes;
};

// Exchangers E-1, E-2, E-3 of the existing network and X-9, a new one between H1 (hot side) and
// C1 (cold side); D1 holds E-1 and X-9, D2 E-2.
class ViewScenarioDesignTexts : public SentinelScenarioViewerTest<DesignScenario> {
protected:
    ViewScenarioDesignTexts() {
        for (const char* n : {"E-1", "E-2", "E-3"}) exchangers.push_back(exchanger(n));
        auto segment = [&](const char* name, FlowsheetTestStream& s) {
            return sheet.addNode(FlowSheet::CreateNode(NodeKind::MaterialStream, name, &s));
        };
        CNode* x9 = exchanger("X-9");
        HeatExch* x = AsHeatExch(x9);
        EXPECT_TRUE(sheet.connectToPort(x, ExchangerPort::HotSideFeed, segment("h-in", h1)));
        EXPECT_TRUE(sheet.connectToPort(x, ExchangerPort::HotSideProduct, segment("h-out", h1)));
        EXPECT_TRUE(sheet.connectToPort(x, ExchangerPort::ColdSideFeed, segment("c-in", c1)));
        EXPECT_TRUE(sheet.connectToPort(x, ExchangerPort::ColdSideProduct, segment("c-out", c1)));
        d1.nodes = {exchangers[0], x9};
        d2.nodes = {exchangers[1]};
        base.nodes = exchangers;
        scenario->ranked = {&d1, &d2, &d3};
        scenario->designs = 1;
    }
    ~ViewScenarioDesignTexts() override {
        viewer->SetSelectedObject(viewer);
        delete selected;
    }
    CNode* exchanger(const char* name) {
        CNode* n = sheet.addNode(FlowSheet::CreateNode(NodeKind::CountercurrentHX, std::string(name) + "-node"));
        n->addVariable(NodeValue::UnitOperationName, name, 1);
        return n;
    }
    void select(const char* name) {
        selected = new HIDesignViewerDesign(viewer, name, ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
        viewer->SetSelectedObject(selected);
    }
    std::vector<Text> column(const VarDescription& v, int rows) {
        std::vector<Text> out;
        VarDescription at = v;
        for (int i = 0; i < rows; ++i) {
            at.SetOffset(0, i);
            out.push_back(viewer->TextValue(at));
        }
        return out;
    }

    FlowsheetTestStream h1{"H1", {170, 60}, {3.0}}, c1{"C1", {20, 135}, {2.0}};
    FlowSheet sheet;
    std::vector<CNode*> exchangers;
    NodeDesign d1{"D1", {}}, d2{"D2", {}}, d3{"D3", {}}, base{"Existing", {}};
    HIDesignViewerDesign* selected = nullptr;
};

using Column = std::vector<Text>;

TEST_F(ViewScenarioDesignTexts, HeadingsAndDesignNames) {
    EXPECT_EQ((Column{"Design", "Base Case", "Target", ""}), column(var(1519, 301), 4));
    EXPECT_EQ((Column{"Target", "Simulation", ""}), column(var(1519, 608), 3));
    // The design list holds three designs, but the scenario counts one: rows 0 and 1 only.
    EXPECT_EQ((Column{"D1", "D2", ""}), column(var(1519, 607), 3));
    EXPECT_EQ(column(var(1519, 607), 3), column(var(1519, 650), 3));
    EXPECT_EQ((Column{"D1", "D2", "D3", ""}), column(var(1519, 771), 4));
}

TEST_F(ViewScenarioDesignTexts, ExchangerNamesOfTheSelectedAndTheBaseDesign) {
    // Neither a base design nor a selected design: nothing to name.
    for (int number : {770, 772, 773}) EXPECT_EQ((Column{"", ""}), column(var(1519, number), 2)) << number;
    select("D1");
    EXPECT_EQ((Column{"E-1", "X-9", ""}), column(var(1519, 773), 3));
    EXPECT_EQ((Column{"E-1", "X-9", ""}), column(var(1519, 770), 3)) << "no base: the selected design";
    EXPECT_EQ((Column{"E-1", "X-9", ""}), column(var(1519, 772), 3));
    // With the base design of three exchangers: its names, then what D1 adds to them.
    scenario->existing = &base;
    EXPECT_EQ((Column{"E-1", "E-2", "E-3", "X-9", ""}), column(var(1519, 770), 5));
    EXPECT_EQ((Column{"X-9", ""}), column(var(1519, 772), 2));
    // An exchanger without a name shows none.
    base.nodes[1]->removeVariable(NodeValue::UnitOperationName);
    EXPECT_EQ(Text(""), viewer->TextValue(var(1519, 770, 1)));
}

TEST_F(ViewScenarioDesignTexts, TheStreamsOfANewExchanger) {
    scenario->existing = &base;
    EXPECT_EQ(Text(""), viewer->TextValue(var(1519, 705, 0))) << "no selected design";
    select("D1");
    EXPECT_EQ(Text("C1"), viewer->TextValue(var(1519, 705, 0))) << "the cold inlet of X-9";
    EXPECT_EQ(Text("H1"), viewer->TextValue(var(1519, 708, 0))) << "the hot inlet";
    EXPECT_EQ(Text(""), viewer->TextValue(var(1519, 705, 1))) << "one new exchanger";
    // An exchanger with nothing at its cold inlet names no stream there.
    CNode* x9 = d1.nodes[1];
    sheet.disconnectNodes(AsHeatExch(x9)->getInlet(1), x9);
    EXPECT_EQ(Text(""), viewer->TextValue(var(1519, 705, 0)));
    EXPECT_EQ(Text("H1"), viewer->TextValue(var(1519, 708, 0)));
}

// The link of C1 takes the Temperature of H1 and C2 and the MassFlow of H2 into its Temperature;
// the link of C2 the Temperature of H2 and the MassFlow of H1 into its MassFlow.
TEST(ViewScenarioLinkTexts, TheCellsOfTheStreamLinkTable) {
    Session::Instance().Reset();
    {
        FourStreamProject p;
        ASSERT_NE(p.scenario, nullptr);
        // The scenario's end takes its viewer with it.
        auto* viewer =
            new HIDesignViewerScenario(nullptr, "Base", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
        viewer->SetEngineeringScenario(p.scenario, 0);
        EXPECT_EQ(Text(""), viewer->TextValue(named("StrName", 402, 0))) << "no links yet";
        p.scenario->AddStreamLink(p.Stream("C1"));
        p.scenario->AddStreamLink(p.Stream("C2"));
        StreamLynxCollection* links = p.scenario->GetStreamLinkCollection();
        ASSERT_TRUE(links && links->GetNumberOfLinks() == 2);
        ASSERT_NE(nullptr, viewer->GetLinkTableCollection());
        StreamLynx& c1 = *links->GetLink(0);
        StreamLynx& c2 = *links->GetLink(1);
        c1.SetAdvanced(true);
        c2.SetAdvanced(true);
        // Candidates are the other process streams in order: C1's H1, H2, C2; C2's H1, H2, C1.
        c1.SetTemperatureTerm("Temperature", 0, true);
        c1.SetTemperatureTerm("Temperature", 2, true);
        c1.SetMassFlowTerm("Temperature", 1, true);
        c2.SetTemperatureTerm("MassFlow", 1, true);
        c2.SetMassFlowTerm("MassFlow", 0, true);

        auto row = [&](int number, int i, int columns) {
            std::vector<std::string> out;
            for (int j = 0; j < columns; ++j) out.push_back(viewer->TextValue(named("StrName", number, i, j)).c_str());
            return out;
        };
        using Row = std::vector<std::string>;
        // Temperature targets: only C1's link has terms of them.
        EXPECT_EQ((Row{"C1"}), row(402, 0, 1));
        EXPECT_EQ((Row{"H1", "C2", "H2", ""}), row(403, 0, 4));
        EXPECT_EQ((Row{"Temperature", "Temperature", "Flowrate", ""}), row(404, 0, 4));
        EXPECT_EQ((Row{"", ""}), row(403, 1, 2)) << "no second link with temperature terms";
        EXPECT_EQ((Row{""}), row(402, 1, 1)) << "a row past the links is not the first link again";
        // MassFlow targets: only C2's link.
        EXPECT_EQ((Row{"C2"}), row(405, 0, 1));
        EXPECT_EQ((Row{"H2", "H1", ""}), row(406, 0, 3));
        EXPECT_EQ((Row{"Temperature", "Flowrate", ""}), row(407, 0, 3));
        EXPECT_EQ((Row{""}), row(405, 1, 1));
    }
    Session::Instance().Reset();
}

}  // namespace
