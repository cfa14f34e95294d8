// The network calculator on networks worked by hand: a single exchanger of given area (ten
// segments of equal area, trapezoidal mean difference each), placeholders as heater and cooler,
// a splitter and mixer whose balances close exactly, a two-exchanger network against the
// design's own unit-by-unit calculation, the equation counts and text forms, the updates between
// passes, and a system that does not settle or cannot be solved.
#include "DesignTestSupport.h"

#include "eng/design/HENCalculator.h"
#include "eng/design/HENCalculatorEquation.h"
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
