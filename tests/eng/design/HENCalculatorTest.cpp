// The network calculator on networks worked by hand: a single exchanger of given area (ten
// segments of equal area, trapezoidal mean difference each), placeholders as heater and cooler,
// a splitter and mixer whose balances close exactly, a two-exchanger network against the
// design's own unit-by-unit calculation, the equation counts and text forms, the updates between
// passes, and a system that does not settle or cannot be solved.
#include "DesignTestSupport.h"

#include "eng/design/HENCalculator.h"
#include "eng/design/HENCalculatorEquation.h"
#include "eng/design/HENCalculatorGenerators.h"
#include "osmeri/CPValue.h"
#include "pellin/FFactor.h"
#include "pellin/UnitNodes.h"

#include <cmath>
#include <sstream>

#include <gtest/gtest.h>

using namespace design_test;

namespace {

double Value(CNode* node, const char* name) {
    double v = 0.0;
    return node && node->getVariableAsDouble(name, v) ? v : -32767.0;
}

struct Network : DesignScenario {
    CNode* Segment(const std::string& stream, int n) {
        for (CNode* node : ChainNodes(*d, stream))
            if (Letter(node) == "s" && n-- == 0) return node;
        return nullptr;
    }
    // An exchanger at the two segments, with no placeholder before either inlet.
    HeatExch* Exchanger(CNode* hot, CNode* cold) {
        CNode* x = d->AddHeatExchanger(hot, cold, nullptr, nullptr, nullptr);
        if (!x) return nullptr;
        d->RemoveUtilityAtPort(x, 0);
        d->RemoveUtilityAtPort(x, 2);
        return AsHeatExch(x);
    }
    CPIHENDesign* d = nullptr;
};

std::string Text(const HENCalculator& c, const char* group) {
    std::ostringstream out;
    for (const auto& e : c.GetEquations())
        if (e->GetGroup() == group) e->WriteEquation(out);
    return out.str();
}

int CountOf(const HENCalculator& c) { return static_cast<int>(c.GetEquations().size()); }

}  // namespace

TEST(HENCalculator, ASingleExchangerOfGivenAreaMatchesTheTenSegmentForm) {
    struct Row {
        double hotIn, coldIn, cpHot, cpCold, u, area, duty, hotOut, coldOut;
    };
    const Row rows[] = {{150, 50, 10, 10, 0.5, 100, 833.3333, 66.6667, 133.3333},
                        {150, 50, 10, 5, 0.5, 100, 498.4838, 100.1516, 149.6968},
                        {150, 50, 10, 5, 0.5, 10, 282.3992, 121.7601, 106.4798},
                        {200, 40, 4, 8, 0.3, 20, 442.1938, 89.4516, 95.2742}};
    for (const Row& r : rows) {
        Network n;
        n.Add("H", r.hotIn, 20, r.cpHot);
        n.Add("C", r.coldIn, 280, r.cpCold);
        n.d = n.Design("D");
        HeatExch* x = n.Exchanger(n.Segment("H", 0), n.Segment("C", 0));
        ASSERT_TRUE(x);
        x->addVariable(NodeValue::HXType, 0.0, ValueStatus::Specified);
        x->addVariable(NodeValue::OverallHTC, r.u, ValueStatus::Specified);
        x->addVariable(NodeValue::HTArea, r.area, ValueStatus::Specified);
        EXPECT_EQ(1, n.d->RunNetworkCalculator()) << n.d->GetNetworkCalculator().GetStatus();
        EXPECT_NEAR(r.duty, Value(x, NodeValue::Duty), 1e-4) << r.cpCold << " " << r.area;
        EXPECT_NEAR(r.hotOut, Value(x->getOutlet(0), NodeValue::Temperature), 1e-4);
        EXPECT_NEAR(r.coldOut, Value(x->getOutlet(1), NodeValue::Temperature), 1e-4);
        EXPECT_EQ(2, n.d->GetNetworkCalculator().GetPassCount());
        EXPECT_EQ(ValueStatus::Calculated, x->getVariableStatus(NodeValue::Duty));
        EXPECT_EQ(ValueStatus::Specified, x->getVariableStatus(NodeValue::HTArea));
    }
}

TEST(HENCalculator, PlaceholdersTakeTheRestOfEachStreamAsHeaterAndCooler) {
    Network n;
    n.Add("H", 180, 80, 2);
    n.Add("C", 40, 140, 2);
    n.d = n.Design("D");
    HeatExch* x = n.Exchanger(n.Segment("H", 0), n.Segment("C", 0));
    ASSERT_TRUE(x);
    x->addVariable(NodeValue::Duty, 120.0, ValueStatus::Specified);
    EXPECT_EQ(1, n.d->RunNetworkCalculator());
    const HENCalculator& c = n.d->GetNetworkCalculator();
    EXPECT_EQ(6 + 2 + 2, CountOf(c));
    CNode* hotOut = x->getOutlet(0);
    CNode* coldOut = x->getOutlet(1);
    EXPECT_NEAR(120.0, Value(hotOut, NodeValue::Temperature), 1e-9);
    EXPECT_NEAR(100.0, Value(coldOut, NodeValue::Temperature), 1e-9);
    EXPECT_NEAR(180.0 - 100.0, Value(x, NodeValue::HighEndDelT), 1e-9);
    EXPECT_NEAR(120.0 - 40.0, Value(x, NodeValue::LowEndDelT), 1e-9);
    // The cooler takes the hot stream from 120 to 80, the heater the cold one from 100 to 140.
    EXPECT_NEAR(80.0, Value(hotOut->getIthDownStreamNode(0), NodeValue::Duty), 1e-9);
    EXPECT_NEAR(80.0, Value(coldOut->getIthDownStreamNode(0), NodeValue::Duty), 1e-9);
    EXPECT_EQ(ValueStatus::Specified, x->getVariableStatus(NodeValue::Duty));
    EXPECT_EQ(ValueStatus::Calculated, hotOut->getVariableStatus(NodeValue::Temperature));
}

TEST(HENCalculator, EquationCountsAndTextForms) {
    Network n;
    n.Add("H", 150, 50, 10);  // hot load 1000: the duty scale
    n.Add("C", 40, 100, 5);
    n.d = n.Design("D");
    HeatExch* x = n.Exchanger(n.Segment("H", 0), n.Segment("C", 0));
    ASSERT_TRUE(x);
    for (int side = 0; side < 2; ++side) x->getInlet(side)->addVariable(NodeValue::SplitFraction, 1.0, ValueStatus::Calculated);
    HENCalculator c(n.d->GetFlowSheet(), nullptr);
    c.PrepareStreams();
    EXPECT_EQ(0, GenerateExchangerEquations(c, *x));
    EXPECT_EQ(6, CountOf(c));
    // a = H x 300 / s = 10 x 300 / 1000 on the hot side, with the stream's whole flow.
    const std::string hot = Text(c, "HXHeatBalances");
    EXPECT_NE(std::string::npos, hot.find("3.000000000 * T")) << hot;
    EXPECT_NE(std::string::npos, hot.find("!Heat Exchanger (E-100) Hot Side Balance;\n")) << hot;

    x->addVariable(NodeValue::HTArea, 10.0, ValueStatus::Specified);
    x->addVariable(NodeValue::OverallHTC, 0.5, ValueStatus::Specified);
    c.PrepareStreams();
    GenerateExchangerEquations(c, *x);
    EXPECT_EQ(71, CountOf(c));
    // U x 300 / s / 20 x F x A = 0.5 x 300 / 1000 / 20 x 1 x 10.
    const std::string area = Text(c, "AreaEquations");
    EXPECT_NE(std::string::npos, area.find("0.075000000 * (delT")) << area.substr(0, 200);
    x->addVariable(NodeValue::HTArea, 10.0, ValueStatus::Calculated);
    EXPECT_EQ("", Text(c, "AreaEquations"));  // printed only while the area is specified

    // A splitter of three branches and its mixer, built on a flowsheet of their own.
    FlowSheet sheet;
    CNode* in = sheet.addNode(FlowSheet::CreateNode(NodeKind::MaterialStream, "in"));
    CNode* tee = sheet.addNode(FlowSheet::CreateNode(NodeKind::Tee, "tee"));
    CNode* mix = sheet.addNode(FlowSheet::CreateNode(NodeKind::Mixer, "mix"));
    CNode* out = sheet.addNode(FlowSheet::CreateNode(NodeKind::MaterialStream, "out"));
    sheet.connectNodes(in, tee);
    sheet.connectNodes(mix, out);
    const double shares[] = {0.75, 0.125, 0.125};
    for (int b = 0; b < 3; ++b) {
        CNode* branch = sheet.addNode(FlowSheet::CreateNode(NodeKind::MaterialStream, CPString(("b" + std::to_string(b)).c_str())));
        branch->addVariable(NodeValue::SplitFraction, shares[b], ValueStatus::Specified);
        sheet.connectNodes(tee, branch);
        sheet.connectNodes(branch, mix);
    }
    HENCalculator s(&sheet, nullptr);
    GenerateSplitterEquations(s, *tee);
    EXPECT_EQ(2 * 3 + 1, CountOf(s));
    EXPECT_NE(std::string::npos, Text(s, "PercentBalances").find("mf1 = 0.750000000 * mf0;")) << Text(s, "PercentBalances");
    EXPECT_EQ("!Splitter; \nmf0 = mf1 + mf2 + mf3;\n\n", Text(s, "MassBalances"));
    GenerateMixerEquations(s, *mix);
    EXPECT_EQ(7 + 2, CountOf(s));
}
