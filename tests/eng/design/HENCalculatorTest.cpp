// The network calculator on networks worked by hand: a single exchanger of given area (ten
// segments of equal area, each at its log-mean difference, against effectiveness-NTU), placeholders as heater and cooler,
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

#include <algorithm>
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
    CNode* Segment(const std::string& stream, int n) { return NthSegment(*d, stream, n); }
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

// Countercurrent effectiveness: NTU / (1 + NTU) for equal flow rates, else
// (1 - exp(-NTU (1 - Cr))) / (1 - Cr exp(-NTU (1 - Cr))). Constant cp on both sides makes each
// segment's log mean exact, so the ten segments together give the whole exchanger's duty.
TEST(HENCalculator, ASingleExchangerOfGivenAreaMatchesEffectivenessNTU) {
    struct Row {
        double hotIn, coldIn, cpHot, cpCold, u, area, duty, hotOut, coldOut;
    };
    const Row rows[] = {{150, 50, 10, 10, 0.5, 100, 833.3333, 66.6667, 133.3333},
                        {150, 50, 10, 5, 0.5, 100, 498.3098, 100.1690, 149.6620},
                        {150, 50, 10, 5, 0.5, 10, 282.3667, 121.7633, 106.4733},
                        {200, 40, 4, 8, 0.3, 20, 442.1027, 89.4743, 95.2628}};
    for (const Row& r : rows) {
        const double cmin = std::min(r.cpHot, r.cpCold), cr = cmin / std::max(r.cpHot, r.cpCold);
        const double ntu = r.u * r.area / cmin, fall = std::exp(-ntu * (1.0 - cr));
        const double e = cr == 1.0 ? ntu / (1.0 + ntu) : (1.0 - fall) / (1.0 - cr * fall);
        EXPECT_NEAR(r.duty, e * cmin * (r.hotIn - r.coldIn), 1e-4);
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
    // Ten segments of 6 rows and an area equation, less the nine differences between two
    // segments that the low end of one already defines, and the total balance.
    EXPECT_EQ(62, CountOf(c));
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
    // A heat balance per branch, the mass balance, and a share balance for every branch but the
    // last: with all three shares given, the mass balance gives the last its flow (a third share
    // row would repeat it).
    EXPECT_EQ(3 + 1 + 2, CountOf(s));
    EXPECT_NE(std::string::npos, Text(s, "PercentBalances").find("mf1 = 0.750000000 * mf0;")) << Text(s, "PercentBalances");
    EXPECT_EQ("!Splitter; \nmf0 = mf1 + mf2 + mf3;\n\n", Text(s, "MassBalances"));
    GenerateMixerEquations(s, *mix);
    EXPECT_EQ(6 + 2, CountOf(s));
}

TEST(HENCalculator, ASplitterAndMixerOfGivenFractionsCloseTheirBalancesExactly) {
    DesignScenario sc;
    auto* h = sc.Add("H", 150, 50, 10);
    auto* c1 = sc.Add("C1", 20, 200, 4);
    auto* c2 = sc.Add("C2", 30, 200, 8);
    FlowSheet sheet;
    auto add = [&sheet](const char* kind, const char* name, IFlowsheetStream* s = nullptr) {
        return sheet.addNode(FlowSheet::CreateNode(kind, name, s));
    };
    auto chain = [&sheet](std::initializer_list<CNode*> nodes) {
        CNode* previous = nullptr;
        for (CNode* n : nodes) {
            if (previous) sheet.connectNodes(previous, n);
            previous = n;
        }
    };
    CNode* h0 = add(NodeKind::MaterialStream, "h0", h);
    h0->addVariable(NodeValue::Temperature, 150.0, ValueStatus::Specified);
    CNode* tee = add(NodeKind::Tee, "tee");
    CNode* b[2] = {add(NodeKind::MaterialStream, "b1", h), add(NodeKind::MaterialStream, "b2", h)};
    CNode* o[2] = {add(NodeKind::MaterialStream, "o1", h), add(NodeKind::MaterialStream, "o2", h)};
    b[0]->addVariable(NodeValue::SplitFraction, 0.6, ValueStatus::Calculated);
    b[1]->addVariable(NodeValue::SplitFraction, 0.4, ValueStatus::Calculated);
    CNode* mix = add(NodeKind::Mixer, "mix");
    CNode* m = add(NodeKind::MaterialStream, "m", h);
    CNode* cooler = add(NodeKind::Heater, "P");
    CNode* hl = add(NodeKind::MaterialStream, "hl", h);
    hl->addVariable(NodeValue::Temperature, 50.0, ValueStatus::Specified);
    chain({add(NodeKind::FeedBlock, "HStart", h), h0, tee});
    sheet.connectNodes(tee, b[0]);
    sheet.connectNodes(tee, b[1]);
    chain({o[0], mix});
    chain({o[1], mix});
    chain({mix, m, cooler, hl, add(NodeKind::ProductBlock, "HEnd", h)});
    HeatExch* x[2];
    CPIHeatIntegrationStream* cold[2] = {c1, c2};
    const double duty[2] = {60.0, 80.0};
    for (int i = 0; i < 2; ++i) {
        const std::string k = std::to_string(i);
        x[i] = AsHeatExch(add(NodeKind::HeatExchanger, ("X" + k).c_str()));
        CNode* in = add(NodeKind::MaterialStream, ("ci" + k).c_str(), cold[i]);
        CNode* out = add(NodeKind::MaterialStream, ("co" + k).c_str(), cold[i]);
        CNode* last = add(NodeKind::MaterialStream, ("cl" + k).c_str(), cold[i]);
        in->addVariable(NodeValue::Temperature, cold[i]->GetSupplyTemperature(), ValueStatus::Specified);
        last->addVariable(NodeValue::Temperature, 200.0, ValueStatus::Specified);
        sheet.connectToPort(x[i], 0, b[i]);
        sheet.connectToPort(x[i], 1, o[i]);
        sheet.connectToPort(x[i], 2, in);
        sheet.connectToPort(x[i], 3, out);
        chain({add(NodeKind::FeedBlock, ("CStart" + k).c_str(), cold[i]), in});
        chain({out, add(NodeKind::Heater, ("PC" + k).c_str()), last, add(NodeKind::ProductBlock, ("CEnd" + k).c_str(), cold[i])});
        x[i]->addVariable(NodeValue::Duty, duty[i], ValueStatus::Specified);
    }
    HENCalculator c(&sheet, nullptr);
    c.PrepareStreams();
    c.Build();
    c.Solve();
    EXPECT_EQ("", c.GetStatus());
    EXPECT_NEAR(0.6, Value(o[0], NodeValue::SplitFraction), 1e-12);
    EXPECT_NEAR(0.4, Value(o[1], NodeValue::SplitFraction), 1e-12);
    EXPECT_NEAR(1.0, Value(m, NodeValue::SplitFraction), 1e-12);
    EXPECT_NEAR(150.0, Value(b[1], NodeValue::Temperature), 1e-9);
    EXPECT_NEAR(140.0, Value(o[0], NodeValue::Temperature), 1e-9);  // 150 - 60 / (0.6 x 10)
    EXPECT_NEAR(130.0, Value(o[1], NodeValue::Temperature), 1e-9);  // 150 - 80 / (0.4 x 10)
    EXPECT_NEAR(136.0, Value(m, NodeValue::Temperature), 1e-9);     // 0.6 x 140 + 0.4 x 130
    EXPECT_NEAR(860.0, Value(cooler, NodeValue::Duty), 1e-9);       // 60 + 80 + 860 = 10 x (150 - 50)
    EXPECT_NEAR(35.0, Value(x[0]->getOutlet(1), NodeValue::Temperature), 1e-9);
    EXPECT_NEAR(40.0, Value(x[1]->getOutlet(1), NodeValue::Temperature), 1e-9);
}

TEST(HENCalculator, TwoExchangersAgreeWithTheDesignsOwnCalculation) {
    Network n;
    n.Add("H1", 180, 80, 2);
    n.Add("H3", 150, 50, 1);
    n.Add("C1", 40, 140, 2);
    n.d = n.Design("D");
    HeatExch* e1 = n.Exchanger(n.Segment("H1", 0), n.Segment("C1", 0));
    ASSERT_TRUE(e1);
    HeatExch* e2 = AsHeatExch(n.d->AddHeatExchanger(n.Segment("H3", 0), e1->getOutlet(1), nullptr, nullptr, nullptr));
    ASSERT_TRUE(e2);
    n.d->RemoveUtilityAtPort(e2, 0);
    n.d->RemoveUtilityAtPort(e2, 2);
    e1->addVariable(NodeValue::Duty, 60.0, ValueStatus::Specified);
    e2->addVariable(NodeValue::Duty, 40.0, ValueStatus::Specified);
    n.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    std::vector<std::pair<CNode*, double>> expected;
    for (const char* s : {"H1", "H3", "C1"})
        for (CNode* node : ChainNodes(*n.d, s)) {
            const char* name = Letter(node) == "s" ? NodeValue::Temperature : Letter(node) == "P" ? NodeValue::Duty : nullptr;
            double v = 0.0;
            if (!name || node->getVariableStatus(name) != ValueStatus::Calculated || !node->getVariableAsDouble(name, v)) continue;
            expected.emplace_back(node, v);
            node->addVariable(name, -1.0, ValueStatus::Calculated);  // the calculator must find it again
        }
    ASSERT_GE(expected.size(), 6u);
    EXPECT_EQ(1, n.d->RunNetworkCalculator());
    for (const auto& [node, v] : expected)
        EXPECT_NEAR(v, Value(node, Letter(node) == "s" ? NodeValue::Temperature : NodeValue::Duty), 1e-9) << node->getName();
}

namespace {
// A row T = t on one temperature; the mover alternates t between two values at every fill.
class FixedTemperature : public HENCalculatorEquation {
public:
    FixedTemperature(CalculatorVariable* t, double first, double second)
        : HENCalculatorEquation("HXHeatBalances"), m_first(first), m_second(second) {
        AddTerm(t);
    }
    double GetCoefficient(int) const override { return 1.0; }
    double GetConstant() const override { return ((m_fills++ % 2 ? m_second : m_first) + 273.15) / 300.0; }

private:
    double m_first, m_second;
    mutable int m_fills = 0;
};
}  // namespace

TEST(HENCalculator, ATemperatureThatKeepsMovingEndsNotConvergedAndAFailedSolveKeepsTheValues) {
    FlowSheet sheet;
    {
        HENCalculator c(&sheet, nullptr);
        CPValue* holder = c.CreateValue(0.0);
        c.AppendEquation(new FixedTemperature(c.RegisterVariable(holder, "T"), 100.0, 100.5));
        c.Build();
        c.Solve();
        EXPECT_EQ("NotConverged", c.GetStatus());
        EXPECT_EQ(HENCalculator::MaxPasses, c.GetPassCount());
        EXPECT_NEAR(100.5, holder->GetValue(), 1e-9);  // the last pass's value stays
        EXPECT_EQ(2, holder->GetStatus());
    }
    {
        HENCalculator c(&sheet, nullptr);
        CPValue* holder = c.CreateValue(0.0);
        c.AppendEquation(new FixedTemperature(c.RegisterVariable(holder, "T"), 100.0, 100.0));
        c.Build();
        c.Solve();
        EXPECT_EQ("", c.GetStatus());
        EXPECT_EQ(2, c.GetPassCount());
        // Two rows that contradict each other: nothing is written, and the failure is reported.
        c.AppendEquation(new FixedTemperature(c.RegisterVariable(holder, "T"), 90.0, 90.0));
        c.Build();
        c.Solve();
        EXPECT_EQ("SolveFailed", c.GetStatus());
        EXPECT_NEAR(100.0, holder->GetValue(), 1e-9);
        EXPECT_EQ(2, holder->GetStatus());
    }
}

TEST(HENCalculator, UtilityFlowsScaleToTheUsedShareOfTheirRange) {
    Network n;
    n.Add("H", 150, 60, 1);
    n.Add("C", 100, 180, 2);
    CPIHeatIntegrationStream* oil = n.Add("HO", 300, 200, 1.0, 1);
    CPIHeatIntegrationStream* water = n.Add("CW", 20, 30, 0.1, 1);
    n.d = n.Design("D");
    CNode* heater = n.d->AddHeatExchanger(n.Segment("HO", 0), n.Segment("C", 0), nullptr, nullptr, nullptr);
    CNode* cooler = n.d->AddHeatExchanger(n.Segment("H", 0), n.Segment("CW", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(heater && cooler);
    // The placeholders after the utility sides: where they stand tells the used share.
    ASSERT_TRUE(n.d->AddUtilityAtPort(heater, 1));
    ASSERT_TRUE(n.d->AddUtilityAtPort(cooler, 3));
    ASSERT_EQ("FsXsPsE", Chain(*n.d, "HO"));
    // Given duties and one placeholder per process stream make the network determined, so the
    // calculator solves it.
    ASSERT_TRUE(n.d->RemoveUtilityAtPort(heater, 2));
    ASSERT_TRUE(n.d->RemoveUtilityAtPort(cooler, 0));
    heater->addVariable(NodeValue::Duty, 50.0, ValueStatus::Specified);
    cooler->addVariable(NodeValue::Duty, 30.0, ValueStatus::Specified);
    HENCalculator& c = n.d->GetNetworkCalculator();
    c.PrepareStreams();
    c.Build();
    c.Solve();  // past the first pass: the flows now scale
    EXPECT_EQ("", c.GetStatus());
    auto placeholdersAt = [&n](const char* stream, double t) {
        for (CNode* node : ChainNodes(*n.d, stream))
            if (Letter(node) == "P") node->getIthUpStreamNode(0)->addVariable(NodeValue::Temperature, t, ValueStatus::Calculated);
    };
    struct Case {
        CPIHeatIntegrationStream* stream;
        double placeholder, before, after;
    };
    for (const Case& k : {Case{oil, 250.0, 8.0, 4.0}, Case{water, 25.0, 6.0, 3.0}}) {
        placeholdersAt(k.stream->GetName().c_str(), k.placeholder);
        c.UtilityFlow(k.stream->GetName())->SetValue(k.before, 0);
        c.UpdateUtilityFlow(*k.stream);
        EXPECT_NEAR(k.after, c.UtilityFlow(k.stream->GetName())->GetValue(), 1e-12) << k.stream->GetName();
    }
    // A utility without a placeholder gives no used share: in every pass its flow is the one its
    // units' duties make over its whole range (5 kW over 260 -> 250 C), whatever flow an
    // earlier pass or state left.
    CPIHeatIntegrationStream* steam = n.Add("ST", 260, 250, 1.0, 1);
    CNode* steamer = n.d->AddHeatExchanger(n.Segment("ST", 0), n.Segment("H", 1), nullptr, nullptr, nullptr);
    if (!steamer) steamer = n.d->AddHeatExchanger(n.Segment("ST", 0), n.Segment("C", 2), nullptr, nullptr, nullptr);
    ASSERT_TRUE(steamer);
    n.d->RemoveUtilityAtPort(steamer, 2);
    steamer->addVariable(NodeValue::Duty, 5.0, ValueStatus::Specified);
    ASSERT_EQ("FsXsE", Chain(*n.d, "ST"));
    c.PrepareStreams();
    c.Build();
    c.Solve();
    c.UtilityFlow("ST")->SetValue(5.0, 0);
    c.UpdateUtilityFlow(*steam);
    EXPECT_NEAR(0.5, c.UtilityFlow("ST")->GetValue(), 1e-12);
    // Never below 1e-5.
    placeholdersAt("HO", 300.0);
    c.UtilityFlow("HO")->SetValue(8.0, 0);
    c.UpdateUtilityFlow(*oil);
    EXPECT_EQ(1e-5, c.UtilityFlow("HO")->GetValue());
}

TEST(HENCalculator, TheFFactorMovesHalfWayAndTheVaryingHeatCapacityIsFollowed) {
    Network n;
    n.Add("H", 150, 40, 1);
    n.Add("C", 20, 120, 2);
    n.d = n.Design("D");
    HeatExch* x = n.Exchanger(n.Segment("H", 0), n.Segment("C", 0));
    ASSERT_TRUE(x);
    x->addVariable(NodeValue::HXType, 1.0, ValueStatus::Specified);
    x->addVariable(NodeValue::NShellsInSeries, 1.0, ValueStatus::Specified);
    x->addVariable(NodeValue::OverallHTC, 0.1, ValueStatus::Specified);
    x->addVariable(NodeValue::FtFactor, 1.0, ValueStatus::Calculated);
    x->addVariable(NodeValue::HTArea, 2.0, ValueStatus::Specified);
    HENCalculator& c = n.d->GetNetworkCalculator();
    c.PrepareStreams();
    c.Build();
    c.Solve();
    HENCalculatorEquation* total = nullptr;
    for (HENCalculatorEquation* e : c.GetHeatSet())
        if (e->GetGroup() == "TotalHeatBalances") total = e;
    ASSERT_TRUE(total);
    const double t[4] = {Value(x->getOutlet(0), NodeValue::Temperature), 150.0, 20.0,
                         Value(x->getOutlet(1), NodeValue::Temperature)};
    const double f = g_CalculateFFactorWithFixedShells(t[0], t[1], t[2], t[3], 1.0);
    const double old = Value(x, NodeValue::FtFactor);
    c.RefreshEquation(*total);
    EXPECT_NEAR((old + f) * 0.5, Value(x, NodeValue::FtFactor), 1e-12);
    EXPECT_LT(f, 1.0);

    // A hot stream of two heat capacities, 150 -> 100 at 2 and 100 -> 50 at 4, cooled to 80:
    // Q = 2 x 50 + 4 x 20 = 180.
    Network v;
    CPIHeatIntegrationStream* h = v.Add("H", 150, 50, 2);
    h->InsertSegment(1);
    h->SetValue("Temperature", 100.0, 1);
    h->SetValue("HeatCapacityFlowrate", 2.0, 0);
    h->SetValue("HeatCapacityFlowrate", 4.0, 1);
    ASSERT_EQ(2, h->GetNumberOfSegments());
    v.Add("C", 20, 200, 10);
    v.d = v.Design("D");
    HeatExch* y = v.Exchanger(v.Segment("H", 0), v.Segment("C", 0));
    ASSERT_TRUE(y);
    y->getOutlet(0)->addVariable(NodeValue::Temperature, 80.0, ValueStatus::Specified);
    EXPECT_EQ(1, v.d->RunNetworkCalculator());
    EXPECT_NEAR(180.0, Value(y, NodeValue::Duty), 1e-9);
    EXPECT_NEAR(38.0, Value(y->getOutlet(1), NodeValue::Temperature), 1e-9);
}

TEST(HENCalculator, StartUpRegistersTheFifteenKindsWithTheirGroupsAndTheFourGenerators) {
    LoadModuleRegistries();
    const std::pair<const char*, const char*> kinds[] = {
        {"HeatExchangerTotalHeatBalance", "TotalHeatBalances"},   {"HotSideHeatExchangerHeatBalance", "HXHeatBalances"},
        {"ColdSideHeatExchangerHeatBalance", "HXHeatBalances"},   {"DummyHeatExchangerHeatBalance", "HXHeatBalances"},
        {"HeatExchangerArea", "AreaEquations"},                   {"HotSideHeatExchangerMassBalance", "MassBalances"},
        {"ColdSideHeatExchangerMassBalance", "MassBalances"},     {"DummyHeatExchangerMassBalance", "MassBalances"},
        {"HighEndHeatExchangerDeltaT", "HeatBalances"},           {"LowEndHeatExchangerDeltaT", "HeatBalances"},
        {"SplitterMassBalance", "MassBalances"},                  {"SplitterPercentBalance", "PercentBalances"},
        {"SplitterHeatBalance", "HeatBalances"},                  {"MixerMassBalance", "MassBalances"},
        {"MixerHeatBalance", "MxHeatBalances"}};
    for (const auto& [kind, group] : kinds) {
        EquationFactory make = ModuleRegistries::FindEquation(kind);
        ASSERT_TRUE(make) << kind;
        std::unique_ptr<HENCalculatorEquation> e(make());
        EXPECT_EQ(group, e->GetGroup()) << kind;
    }
    for (const char* node : {"htHeatExchanger", "ppTee", "ppMixer", "htHeater"})
        EXPECT_TRUE(ModuleRegistries::FindNodeType(node)) << node;
    EXPECT_FALSE(ModuleRegistries::FindNodeType("ppMaterialStream"));
    // A network without process loads scales its duties by 1, never by zero.
    FlowSheet empty;
    HENCalculator c(&empty, nullptr);
    c.PrepareStreams();
    EXPECT_EQ(1.0, c.DutyScale());
}

TEST(HENCalculator, AUtilitySideEndingAtItsStreamEndIsClosedAtTheEndTemperature) {
    Network n;
    n.Add("C", 100, 180, 2);
    n.Add("HO", 300, 200, 1.0, 1);
    n.d = n.Design("D");
    HeatExch* heater = n.Exchanger(n.Segment("HO", 0), n.Segment("C", 0));
    ASSERT_TRUE(heater && heater->IsHeater());
    ASSERT_EQ("FsXsE", Chain(*n.d, "HO"));
    heater->addVariable(NodeValue::Duty, 100.0, ValueStatus::Specified);
    n.d->RunNetworkCalculator();
    const HENCalculator& c = n.d->GetNetworkCalculator();
    const std::string text = Text(c, "UtilitySideBalances");
    EXPECT_NE(std::string::npos, text.find(" * (")) << text;  // the flow factor on the whole bracket
    EXPECT_NEAR(150.0, Value(heater->getOutlet(1), NodeValue::Temperature), 1e-9);
    EXPECT_EQ(200.0, Value(heater->getOutlet(0), NodeValue::Temperature));
    EXPECT_EQ(ValueStatus::Specified, heater->getOutlet(0)->getVariableStatus(NodeValue::Temperature));
}

// H 150 -> 50 and C 40 -> 140, both CP 1, one exchanger between their first segments and a
// placeholder after it on each stream. With its duty given the network is fixed whichever kind
// the exchanger is; without, three values are free (the duty and where the two placeholders
// start), and the calculator says so and writes nothing.
TEST(HENCalculator, EveryExchangerKindIsSolvedAndAnOpenNetworkIsRefused) {
    for (const char* kind : {NodeKind::HeatExchanger, NodeKind::CountercurrentHX}) {
        for (const bool withDuty : {true, false}) {
            Network n;
            n.Add("H", 150, 50, 1);
            n.Add("C", 40, 140, 1);
            n.d = n.Design("D");
            CNode* x = n.d->AddHeatExchanger(n.Segment("H", 0), n.Segment("C", 0), nullptr, kind, nullptr);
            ASSERT_TRUE(x) << kind;
            ASSERT_TRUE(n.d->RemoveUtilityAtPort(x, 0));
            ASSERT_TRUE(n.d->RemoveUtilityAtPort(x, 2));
            ASSERT_EQ("FsXsPsE", Chain(*n.d, "H"));
            auto* hx = AsHeatExch(x);
            if (withDuty) x->addVariable(NodeValue::Duty, 60.0, ValueStatus::Specified);
            else x->addVariable(NodeValue::Duty, 0.0, ValueStatus::Open);
            hx->getOutlet(0)->addVariable(NodeValue::Temperature, 0.0, ValueStatus::Open);
            hx->getOutlet(1)->addVariable(NodeValue::Temperature, 0.0, ValueStatus::Open);
            const int status = n.d->RunNetworkCalculator();
            if (withDuty) {
                EXPECT_EQ(1, status) << kind;
                EXPECT_NEAR(90.0, Value(hx->getOutlet(0), NodeValue::Temperature), 1e-6) << kind;
                EXPECT_NEAR(100.0, Value(hx->getOutlet(1), NodeValue::Temperature), 1e-6) << kind;
            } else {
                EXPECT_EQ(3, status) << kind;
                EXPECT_EQ(ValueStatus::Open, x->getVariableStatus(NodeValue::Duty)) << kind;
                EXPECT_EQ(0.0, Value(x, NodeValue::Duty)) << kind;
                EXPECT_EQ(0.0, Value(hx->getOutlet(0), NodeValue::Temperature)) << kind;
                EXPECT_EQ(ValueStatus::Open, hx->getOutlet(1)->getVariableStatus(NodeValue::Temperature)) << kind;
            }
        }
    }
    // As the exchanger first stands, a placeholder before and after it on each stream: the duty
    // and where each stream's heating or cooling starts are all free.
    Network n;
    n.Add("H", 150, 50, 1);
    n.Add("C", 40, 140, 1);
    n.d = n.Design("D");
    CNode* x = n.d->AddHeatExchanger(n.Segment("H", 0), n.Segment("C", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(x);
    ASSERT_EQ("FsPsXsPsE", Chain(*n.d, "H"));
    x->addVariable(NodeValue::Duty, 0.0, ValueStatus::Open);
    EXPECT_EQ(3, n.d->RunNetworkCalculator());
    EXPECT_EQ(ValueStatus::Open, x->getVariableStatus(NodeValue::Duty));
    EXPECT_EQ(0.0, Value(x, NodeValue::Duty));
}

// The end differences the calculator solves for are those of the unit model: the hot inlet less
// the cold outlet at the high end, the hot outlet less the cold inlet at the low end. H1 180 ->
// 80 (CP 2) gives E1 60 kW (180 -> 150) against C1 40 -> 70 (CP 2); H3 150 -> 50 (CP 1) gives
// E2 40 kW (150 -> 110) against C1 70 -> 90: ends 110 and 110 for E1, 60 and 40 for E2.
TEST(HENCalculator, TheSolvedEndDifferencesAreThoseOfEachExchangersOwnTemperatures) {
    Network n;
    n.Add("H1", 180, 80, 2);
    n.Add("H3", 150, 50, 1);
    n.Add("C1", 40, 140, 2);
    n.d = n.Design("D");
    HeatExch* e1 = n.Exchanger(n.Segment("H1", 0), n.Segment("C1", 0));
    ASSERT_TRUE(e1);
    HeatExch* e2 = AsHeatExch(n.d->AddHeatExchanger(n.Segment("H3", 0), e1->getOutlet(1), nullptr, nullptr, nullptr));
    ASSERT_TRUE(e2);
    n.d->RemoveUtilityAtPort(e2, 0);
    n.d->RemoveUtilityAtPort(e2, 2);
    e1->addVariable(NodeValue::Duty, 60.0, ValueStatus::Specified);
    e2->addVariable(NodeValue::Duty, 40.0, ValueStatus::Specified);
    // The calculator alone, without the exchangers recalculating themselves afterwards.
    HENCalculator c(n.d->GetFlowSheet(), nullptr);
    c.PrepareStreams();
    c.Build();
    c.Solve();
    ASSERT_EQ("", c.GetStatus());
    struct End {
        HeatExch* x;
        double high, low;
    };
    for (const End& e : {End{e1, 180.0 - 70.0, 150.0 - 40.0}, End{e2, 150.0 - 90.0, 110.0 - 70.0}}) {
        SCOPED_TRACE(e.x->getName());
        const double thi = Value(e.x->getInlet(0), NodeValue::Temperature);
        const double tho = Value(e.x->getOutlet(0), NodeValue::Temperature);
        const double tci = Value(e.x->getInlet(1), NodeValue::Temperature);
        const double tco = Value(e.x->getOutlet(1), NodeValue::Temperature);
        EXPECT_NEAR(e.high, thi - tco, 1e-9);
        EXPECT_NEAR(e.low, tho - tci, 1e-9);
        EXPECT_NEAR(thi - tco, Value(e.x, NodeValue::HighEndDelT), 1e-9);
        EXPECT_NEAR(tho - tci, Value(e.x, NodeValue::LowEndDelT), 1e-9);
    }
}

// A utility of several segments, no specific heats given, runs at one heat-capacity flow rate over
// its whole range: the used share of an oil 300 -> 280 -> 200 C at 280 C is 20 / 100 of its heat,
// and a flow of 8 becomes 1.6. Were each segment given the whole load (a flow rate per segment of
// load / its own range), the share would read 1 / 2 and the flow 4.
TEST(HENCalculator, AUtilityOfSeveralSegmentsScalesByItsHeatNotItsSegments) {
    Network n;
    n.Add("H", 150, 60, 1);
    n.Add("C", 100, 180, 2);
    ASSERT_TRUE(n.scenario->AddStream("HO", 1));
    CPIHeatIntegrationStream* oil = n.scenario->FindStream("HO");
    ASSERT_EQ(1, oil->InsertSegment(0));
    for (const auto& [point, t] : {std::pair{0, 300.0}, std::pair{1, 280.0}, std::pair{2, 200.0}})
        ASSERT_EQ(1, oil->SetValue("Temperature", t, point));
    oil->SetCostIndex(1.0);
    n.Add("CW", 20, 30, 0.1, 1);
    n.d = n.Design("D");
    CNode* heater = n.d->AddHeatExchanger(n.Segment("HO", 0), n.Segment("C", 0), nullptr, nullptr, nullptr);
    CNode* cooler = n.d->AddHeatExchanger(n.Segment("H", 0), n.Segment("CW", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(heater && cooler);
    ASSERT_TRUE(n.d->AddUtilityAtPort(heater, 1));
    ASSERT_TRUE(n.d->AddUtilityAtPort(cooler, 3));
    n.d->RemoveUtilityAtPort(heater, 2);
    n.d->RemoveUtilityAtPort(cooler, 0);
    heater->addVariable(NodeValue::Duty, 50.0, ValueStatus::Specified);
    cooler->addVariable(NodeValue::Duty, 30.0, ValueStatus::Specified);
    HENCalculator& c = n.d->GetNetworkCalculator();
    c.PrepareStreams();
    c.Build();
    c.Solve();
    EXPECT_EQ("", c.GetStatus());
    for (CNode* node : ChainNodes(*n.d, "HO"))
        if (Letter(node) == "P") node->getIthUpStreamNode(0)->addVariable(NodeValue::Temperature, 280.0, ValueStatus::Calculated);
    c.UtilityFlow("HO")->SetValue(8.0, 0);
    c.UpdateUtilityFlow(*oil);
    EXPECT_NEAR(1.6, c.UtilityFlow("HO")->GetValue(), 1e-9);
}
