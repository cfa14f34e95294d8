// Change handling and recalculation worked by hand: which change codes recalculate, the one
// missing duty of a stream, the reset of split fractions, the utility-load swap, and exchangers
// with specified areas solved by tearing, with their trace lines.
#include "DesignTestSupport.h"

#include "eng/design/TearGuess.h"
#include "lumeth/Session.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

using namespace design_test;

namespace {

struct Net : DesignScenario {
    CNode* Segment(const std::string& stream, int n) { return NthSegment(*d, stream, n); }
    // A countercurrent exchanger between the two segments with the utilities before its inlets
    // taken away.
    HeatExch* Exchanger(CNode* hot, CNode* cold) {
        CNode* x = d->AddHeatExchanger(hot, cold, nullptr, NodeKind::CountercurrentHX, nullptr);
        if (!x || !d->RemoveUtilityAtPort(x, 0) || !d->RemoveUtilityAtPort(x, 2)) return nullptr;
        return AsHeatExch(x);
    }
    static void GiveArea(CNode* x, double area) {
        x->addVariable(NodeValue::OverallHTC, 0.5, ValueStatus::Specified);
        x->addVariable(NodeValue::HTArea, area, ValueStatus::Specified);
    }
    static double T(CNode* n) {
        double t = 0.0;
        return n && n->getVariableAsDouble(NodeValue::Temperature, t) ? t : -1.0;
    }
    std::vector<CNode*> Units() const { return d->GetFlowSheet()->getAllNodes(); }
    static std::vector<std::string> Traces() {
        std::vector<std::string> lines;
        for (const SessionEntry& e : Session::Instance().Entries(SessionEvent::Trace)) lines.emplace_back(e.text);
        return lines;
    }
    CPIHENDesign* d = nullptr;
};


// A unit that writes a new value on each of its first `needed` calculations and then settles
// (needed < 0: it never does), as a slowly converging unit model would.
class SettlingUnit : public CNode {
public:
    SettlingUnit(long needed) : CNode("SLOW-1", "testSettlingUnit"), m_needed(needed) {}
    int Calculate(int code) override {
        if (!UnitCode::IsCalculate(code)) return 0;
        ++calls;
        if (m_needed >= 0 && writes >= m_needed) return 0;
        ++writes;
        return writeCalculated("Progress", static_cast<double>(writes));
    }
    long calls = 0, writes = 0;

protected:
    std::unique_ptr<CNode> makeEmptyCopy() const override { return std::make_unique<SettlingUnit>(m_needed); }

private:
    long m_needed;
};

}  // namespace

TEST(HENDesignChange, CodesThatRecalculateAndAnInactiveDesignThatWaits) {
    Net n;
    n.Add("H", 150, 50, 1.0);
    n.Add("C", 40, 140, 2.0);
    n.d = n.Design("D1");
    HeatExch* x = n.Exchanger(n.Segment("H", 0), n.Segment("C", 0));
    ASSERT_NE(x, nullptr);
    Listener view;
    n.d->AddNotificationReceiver(&view);
    x->addVariable(NodeValue::Duty, 50.0, ValueStatus::Specified);
    for (int ignored : {23, 39}) n.d->ProcessChange(ignored, CPString(), nullptr);
    EXPECT_EQ(view.Count(CPIHENDesign::CodeUpToDate), 0);
    EXPECT_EQ(x->getOutlet(0)->getVariableStatus(NodeValue::Temperature), ValueStatus::Open);

    n.d->Deactivate();
    n.d->ProcessChange(CPIHENDesign::CodeFlowsheetChanged, CPString(), nullptr);
    EXPECT_EQ(view.Count(CPIHENDesign::CodeUpToDate), 0);
    n.d->Activate(1);
    EXPECT_EQ(view.Count(CPIHENDesign::CodeUpToDate), 1);
    EXPECT_NEAR(Net::T(x->getOutlet(0)), 100.0, 1e-9);
    EXPECT_NEAR(Net::T(x->getOutlet(1)), 65.0, 1e-9);
    n.d->RemoveNotificationReceiver(&view);
}

// H 150 -> 50 (CP 1, 100 kW) runs through three exchangers and no utility. With 30 and 40 kW
// given, the third takes the remaining 30 kW; with only one given, nothing is filled. The fill
// alone is seen by propagating over no units at all.
TEST(HENDesignChange, TheOneMissingDutyOfAStreamIsItsLoadLessTheOthers) {
    for (int known : {2, 1}) {
        Net n;
        n.Add("H", 150, 50, 1.0);
        for (const char* c : {"C1", "C2", "C3"}) n.Add(c, 20, 120, 1.0);
        n.d = n.Design("D1");
        HeatExch* x1 = n.Exchanger(n.Segment("H", 0), n.Segment("C1", 0));
        HeatExch* x2 = n.Exchanger(x1->getOutlet(0), n.Segment("C2", 0));
        HeatExch* x3 = n.Exchanger(x2->getOutlet(0), n.Segment("C3", 0));
        ASSERT_TRUE(x1 && x2 && x3);
        ASSERT_TRUE(n.d->RemoveUtilityAtPort(x3, 1));
        ASSERT_EQ(Chain(*n.d, "H"), "FsXsXsXsE");
        x1->addVariable(NodeValue::Duty, 30.0, ValueStatus::Specified);
        if (known == 2) x2->addVariable(NodeValue::Duty, 40.0, ValueStatus::Specified);
        n.d->ClearUnitResults(n.Units());
        n.d->PropagateUnitValues({}, {}, CPIHENDesign::CodeFlowsheetChanged);
        if (known == 2) {
            EXPECT_EQ(x3->getVariableStatus(NodeValue::Duty), ValueStatus::Calculated);
            EXPECT_NEAR(x3->getLoad(), 30.0, 1e-9);
        } else {
            EXPECT_EQ(x2->getVariableStatus(NodeValue::Duty), ValueStatus::Open);
            EXPECT_EQ(x3->getVariableStatus(NodeValue::Duty), ValueStatus::Open);
        }
    }
}

// Economic data (code 4) and cost models (code 19) changed: either way every exchanger takes
// its configuration from the economic set of its cost model again, and the views hear of it.
TEST(HENDesignChange, EconomicAndCostModelChangesBothRepriceTheExchangers) {
    for (int code : {4, 19}) {
        SCOPED_TRACE(code);
        Net n;
        n.Add("H", 150, 50, 1.0);
        n.Add("C", 40, 140, 2.0);
        n.d = n.Design("D1");
        HeatExch* x = n.Exchanger(n.Segment("H", 0), n.Segment("C", 0));
        ASSERT_NE(x, nullptr);
        x->addVariable(NodeValue::Duty, 50.0, ValueStatus::Specified);
        n.d->ProcessChange(CPIHENDesign::CodeFlowsheetChanged, CPString(), nullptr);
        CPString model;
        ASSERT_TRUE(x->getVariableAsString(NodeValue::CostModelName, model));
        const double configuration = n.scenario->GetEconomicData(5, model.c_str());
        x->addVariable("HeatExchangerConfiguration", configuration + 7.0, ValueStatus::Specified);
        Listener view;
        n.d->AddNotificationReceiver(&view);
        n.d->ProcessChange(code, CPString(), nullptr);
        double now = 0.0;
        ASSERT_TRUE(x->getVariableAsDouble("HeatExchangerConfiguration", now));
        EXPECT_EQ(now, configuration);
        EXPECT_EQ(view.Count(CPIHENDesign::CodeUpToDate), 1);
        n.d->RemoveNotificationReceiver(&view);
    }
}

// H 150 -> 50 through one exchanger and no utility: the fill leaves its duty to the exchanger's
// own end temperatures (a stream's only exchanger is no "last of several").
TEST(HENDesignChange, AStreamsOnlyExchangerIsNotFilled) {
    Net n;
    n.Add("H", 150, 50, 1.0);
    n.Add("C", 20, 120, 1.0);
    n.d = n.Design("D1");
    HeatExch* x = n.Exchanger(n.Segment("H", 0), n.Segment("C", 0));
    ASSERT_NE(x, nullptr);
    ASSERT_TRUE(n.d->RemoveUtilityAtPort(x, 1));
    ASSERT_EQ(Chain(*n.d, "H"), "FsXsE");
    n.d->ClearUnitResults(n.Units());
    n.d->PropagateUnitValues({}, {}, CPIHENDesign::CodeFlowsheetChanged);
    EXPECT_EQ(x->getVariableStatus(NodeValue::Duty), ValueStatus::Open);
    // Calculated in full, the exchanger takes the stream from its supply to its target.
    n.d->ProcessChange(CPIHENDesign::CodeFlowsheetChanged, CPString(), nullptr);
    EXPECT_NEAR(x->getLoad(), 100.0, 1e-9);
    EXPECT_NEAR(Net::T(x->getOutlet(1)), 120.0, 1e-9);
}

// The work list lets a unit calculate as often as it keeps writing, up to 250 calculations per
// unit on average: beside H's one placeholder, a unit that settles after 200 writes gets them
// all, and one that never settles is cut off within the two propagations' 250 x 3 each.
TEST(HENDesignChange, ASlowUnitSettlesAndOneThatNeverDoesIsCutOff) {
    for (long needed : {200L, -1L}) {
        SCOPED_TRACE(needed);
        Net n;
        n.Add("H", 150, 50, 1.0);
        n.d = n.Design("D1");
        auto* slow = static_cast<SettlingUnit*>(n.d->GetFlowSheet()->addNode(std::make_unique<SettlingUnit>(needed)));
        ASSERT_NE(slow, nullptr);
        n.d->ClearUnitResults(n.Units());
        n.d->PropagateUnitValues(n.Units(), {}, CPIHENDesign::CodeFlowsheetChanged);
        if (needed > 0) {
            EXPECT_EQ(slow->writes, needed);
        } else {
            EXPECT_GE(slow->calls, 250 * 3);
            EXPECT_LE(slow->calls, 2 * 250 * 3);
        }
    }
}

// A tee's branches: the calculated fraction follows a re-specified one; after a reset both are
// calculated with their values kept, and a recalculation keeps them.
TEST(HENDesignChange, ResetTurnsSpecifiedSplitFractionsIntoCalculatedOnes) {
    Net n;
    IHeatIntegrationStream* h = n.Add("H", 150, 50, 1.0);
    n.d = n.Design("D1");
    FlowSheet* sheet = n.d->GetFlowSheet();
    CNode* in = n.d->CreateNode(NodeKind::MaterialStream, h);
    CNode* tee = n.d->CreateNode(NodeKind::Tee, nullptr);
    CNode* a = n.d->CreateNode(NodeKind::MaterialStream, h);
    CNode* b = n.d->CreateNode(NodeKind::MaterialStream, h);
    ASSERT_TRUE(sheet->connectNodes(in, tee) && sheet->connectNodes(tee, a) && sheet->connectNodes(tee, b));
    a->addVariable(NodeValue::SplitFraction, 0.3, ValueStatus::Specified);
    n.d->ProcessChange(CPIHENDesign::CodeFlowsheetChanged, CPString(), nullptr);
    double f = 0.0;
    ASSERT_TRUE(b->getVariableAsDouble(NodeValue::SplitFraction, f));
    EXPECT_NEAR(f, 0.7, 1e-12);
    a->addVariable(NodeValue::SplitFraction, 0.4, ValueStatus::Specified);
    n.d->ProcessChange(CPIHENDesign::CodeFlowsheetChanged, CPString(), nullptr);
    b->getVariableAsDouble(NodeValue::SplitFraction, f);
    EXPECT_NEAR(f, 0.6, 1e-12);

    n.d->ResetCalculatedValues();
    for (auto [branch, share] : {std::pair{a, 0.4}, std::pair{b, 0.6}}) {
        EXPECT_EQ(branch->getVariableStatus(NodeValue::SplitFraction), ValueStatus::Calculated);
        ASSERT_TRUE(branch->getVariableAsDouble(NodeValue::SplitFraction, f));
        EXPECT_NEAR(f, share, 1e-12);
    }
}

// A heater on steam: while the design calculates, steam carries the heater's 50 kW and is a
// process stream; afterwards it is a utility with its own load again.
TEST(HENDesignChange, TheUtilitySwapRestoresKindAndLoad) {
    Net n;
    n.Add("C", 40, 140, 2.0);
    CPIHeatIntegrationStream* steam = n.Add("ST", 250, 249, 0.5, 1);
    n.d = n.Design("D1");
    CNode* x = n.d->AddHeatExchanger(n.Segment("ST", 0), n.Segment("C", 0), nullptr, nullptr, nullptr);
    ASSERT_NE(x, nullptr);
    x->addVariable(NodeValue::Duty, 50.0, ValueStatus::Specified);
    n.d->ProcessChange(CPIHENDesign::CodeFlowsheetChanged, CPString(), nullptr);
    steam->SetHeatLoad(7.0, 1);
    const double own = steam->GetHeatLoad(1);
    ASSERT_EQ(n.d->SwapInUtilityLoads(false), 1);
    EXPECT_EQ(steam->GetStreamKind(), 0);
    EXPECT_NEAR(steam->GetHeatLoad(1), 50.0, 1e-9);
    n.d->SwapOutUtilityLoads();
    EXPECT_EQ(steam->GetStreamKind(), 1);
    EXPECT_NEAR(steam->GetHeatLoad(1), own, 1e-9);
    EXPECT_NEAR(n.d->GetUtilityLoad("ST"), 50.0, 1e-9);
}

// Cooling water 20 -> 30 C takes H1 150 -> 50 (100 kW) and H2 120 -> 40 (80 kW), each cooled
// whole in countercurrent exchangers; the water meets H2 first (the exchanger added last takes
// the water's first place). Its flow is the design's 180 kW over its 10 K, 18 kW/K, whatever
// load the water carried before the calculation: H2's cooler warms it to 20 + 80/18 = 24.444 C and H1's to 30 C. With films of 0.5
// (U = 0.25): H2's cooler works across 95.556 and 20 K, LMTD 75.556 / ln(4.7778) = 48.305,
// area 80 / (0.25 x 48.305) = 6.6246 m2; H1's across 120 and 25.556 K, LMTD 94.444 / ln(4.6957)
// = 61.064, area 100 / (0.25 x 61.064) = 6.5505 m2.
TEST(HENDesignChange, AUtilityInSeriesFlowsAtTheDesignsLoadWhateverItCarriedBefore) {
    // 0: the water carries its target, 110 kW, when the design calculates.
    for (double before : {0.0, 400.0}) {
        SCOPED_TRACE(before);
        Net n;
        n.Add("H1", 150, 50, 1.0);
        n.Add("H2", 120, 40, 1.0);
        n.Add("C", 30, 100, 1.0);  // left out of the design: the water's target is 110 kW
        CPIHeatIntegrationStream* water = n.Add("CW", 20, 30, 0.1, 1);
        for (const char* s : {"H1", "H2", "CW"}) n.scenario->FindStream(s)->SetValue("HTCoeff", 0.5, 0);
        n.d = n.Design("D1");
        n.d->Deactivate();
        CNode* first = nullptr;
        CNode* second = nullptr;
        for (auto [hot, duty, unit] : {std::tuple{"H1", 100.0, &second}, std::tuple{"H2", 80.0, &first}}) {
            *unit = n.d->AddHeatExchanger(n.Segment(hot, 0), n.Segment("CW", 0), nullptr, NodeKind::CountercurrentHX, nullptr);
            ASSERT_NE(*unit, nullptr);
            (*unit)->addVariable(NodeValue::Duty, duty, ValueStatus::Specified);
            for (int port = 0; port < 4; ++port)
                if (n.d->CanRemoveUtilityAtPort(*unit, port)) n.d->RemoveUtilityAtPort(*unit, port);
        }
        if (before > 0.0) water->SetHeatLoad(before, 1);
        n.d->Activate(1);

        HeatExch* h2 = AsHeatExch(first);
        HeatExch* h1 = AsHeatExch(second);
        ASSERT_EQ(h2->getOutlet(1), h1->getInlet(1));  // in series on the water
        EXPECT_NEAR(Net::T(h2->getInlet(1)), 20.0, 1e-9);
        EXPECT_NEAR(Net::T(h2->getOutlet(1)), 20.0 + 80.0 / 18.0, 1e-6);
        EXPECT_NEAR(Net::T(h1->getOutlet(1)), 30.0, 1e-9);
        double a1 = 0.0, a2 = 0.0;
        ASSERT_TRUE(h1->getVariableAsDouble(NodeValue::HTArea, a1));
        ASSERT_TRUE(h2->getVariableAsDouble(NodeValue::HTArea, a2));
        EXPECT_EQ(h1->getVariableStatus(NodeValue::HTArea), ValueStatus::Calculated);
        EXPECT_EQ(h2->getVariableStatus(NodeValue::HTArea), ValueStatus::Calculated);
        EXPECT_NEAR(a1, 6.5505, 1e-3);
        EXPECT_NEAR(a2, 6.6246, 1e-3);
        EXPECT_NEAR(n.d->GetUtilityLoad("CW"), 180.0, 1e-6);
    }
}

// The balanced exchanger: CP 10 on both sides, inlets 150 and 50, U 0.5, area 10 m2. Its
// temperature difference is 100 - Q/10 all along, so the area implies G = 500 - Q/2: from
// 5 % of the 1000 kW loads (50 kW) the direct steps give 475, 262.5 and 368.75 kW, and the
// secant step of pass 4 lands on Q = 1000/3 exactly.
TEST(HENDesignSpecifiedAreas, TheBalancedExchangerConvergesAtPassFourWithItsTraceLines) {
    Net n;
    n.Add("H", 150, 50, 10.0);
    n.Add("C", 50, 150, 10.0);
    n.d = n.Design("D1");
    HeatExch* x = n.Exchanger(n.Segment("H", 0), n.Segment("C", 0));
    ASSERT_NE(x, nullptr);
    Net::GiveArea(x, 10.0);
    n.d->ProcessChange(CPIHENDesign::CodeFlowsheetChanged, CPString(), nullptr);
    EXPECT_NEAR(x->getLoad(), 1000.0 / 3.0, 1e-6);  // solved in place, no tear needed

    Session::Instance().Reset();
    n.d->ClearUnitResults(n.Units());
    ASSERT_TRUE(n.d->SolveForSpecifiedAreas(n.Units(), {}, CPIHENDesign::CodeFlowsheetChanged, false));
    const std::vector<std::string> full = {
        "\n\nIdentifying the tear heat exchangers for the iterative solution.",
        "HX: E-100 / Area (m2):  10.00",
        "\nIteration: 1",
        "HX: E-100 / Load (kW):   475.00 / Calculated Area (m2):  18.10 / Error:   8.0952",
        "\nIteration: 2",
        "HX: E-100 / Load (kW):   262.50 / Calculated Area (m2):   7.12 / Error:  -2.8814",
        "\nIteration: 3",
        "HX: E-100 / Load (kW):   368.75 / Calculated Area (m2):  11.68 / Error:   1.6832",
        "\nIteration: 4",
        "HX: E-100 / Load (kW):   333.33 / Calculated Area (m2):  10.00 / Error:   0.0000",
    };
    EXPECT_EQ(Net::Traces(), full);
    EXPECT_NEAR(n.d->TearDuty(0), 1000.0 / 3.0, 1e-6);
    EXPECT_EQ(x->getVariableStatus(NodeValue::Duty), ValueStatus::Calculated);
    EXPECT_EQ(x->getVariableStatus(NodeValue::HTArea), ValueStatus::Specified);

    // One exchanger at a time: the same four passes; the converged duty is then the first guess.
    Session::Instance().Reset();
    n.d->ClearUnitResults(n.Units());
    n.d->SolveSingleTearExchangers(n.Units(), {}, CPIHENDesign::CodeFlowsheetChanged);
    const std::vector<std::string> single = Net::Traces();
    ASSERT_EQ(single.size(), 6u);
    EXPECT_EQ(single[0], "\n\nIdentifying one tear heat exchangers for the partial iterative solution.");
    EXPECT_EQ(single[1], "HX: E-100 / Specified Area (m2):  10.00");
    EXPECT_EQ(single[2], "Iteration: 1 / Load (kW):   475.00 / Calculated Area (m2):  18.10 / Error:   8.0952");
    EXPECT_EQ(single[5], "Iteration: 4 / Load (kW):   333.33 / Calculated Area (m2):  10.00 / Error:   0.0000");
}

// H1 meets C1 twice, in countercurrent order (E1 first on H1 and last on C1, E2 the other way),
// so neither exchanger has a known temperature on both sides and one must be torn; E3 joins H2
// and C2. Every area is given; afterwards each exchanger's duty and temperatures give its area.
TEST(HENDesignSpecifiedAreas, ThreeExchangersWithGivenAreasConvergeThroughTheChangeHandler) {
    Net n;
    n.Add("H1", 200, 80, 10.0);
    n.Add("H2", 160, 60, 5.0);
    n.Add("C1", 40, 170, 7.0);
    n.Add("C2", 30, 130, 6.0);
    n.d = n.Design("D1");
    HeatExch* e1 = n.Exchanger(n.Segment("H1", 0), n.Segment("C1", 0));
    ASSERT_NE(e1, nullptr);
    CNode* e2 = n.d->AddHeatExchanger(e1->getOutlet(0), e1->getInlet(1), nullptr, NodeKind::CountercurrentHX, nullptr);
    ASSERT_NE(e2, nullptr);
    for (int port : {0, 2, 3}) ASSERT_TRUE(n.d->RemoveUtilityAtPort(e2, port));
    HeatExch* e3 = n.Exchanger(n.Segment("H2", 0), n.Segment("C2", 0));
    ASSERT_EQ(Chain(*n.d, "H1"), "FsXsXsPsE");
    ASSERT_EQ(Chain(*n.d, "C1"), "FsXsXsPsE");
    const std::pair<CNode*, double> given[] = {{e1, 20.0}, {e2, 15.0}, {e3, 10.0}};
    for (auto [x, area] : given) Net::GiveArea(x, area);
    Session::Instance().Reset();
    n.d->ProcessChange(CPIHENDesign::CodeFlowsheetChanged, CPString(), nullptr);

    const std::vector<std::string> lines = Net::Traces();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "\n\nIdentifying the tear heat exchangers for the iterative solution.");
    for (auto [node, area] : given) {
        HeatExch* x = AsHeatExch(node);
        EXPECT_EQ(x->getStatus(), ExchangerStatus::Calculated);
        const double dt1 = Net::T(x->getInlet(0)) - Net::T(x->getOutlet(1));
        const double dt2 = Net::T(x->getOutlet(0)) - Net::T(x->getInlet(1));
        const double lmtd = std::fabs(dt1 - dt2) < 1e-9 ? dt1 : (dt1 - dt2) / std::log(dt1 / dt2);
        EXPECT_NEAR(x->getLoad() / (0.5 * lmtd), area, 0.1) << node->getName();
    }
}

// The guesses of one tear: direct steps for three passes even where the secant would do; then
// the secant, or the direct step when the last two duties are equal, the secant step would be
// negative, or its weight below -10.
TEST(HENDesignSpecifiedAreas, TheTearStepTakesTheSecantOnlyWhereItIsSound) {
    struct Case {
        double q, qp, g, gp;  // state before pass 4
        double set, area, target;
        double expected;
    } cases[] = {
        {262.5, 475.0, 368.75, 262.5, 368.75, 368.75 / 31.5625, 10.0, 1000.0 / 3.0},  // linear: exact
        {100.0, 50.0, 120.0, 100.0, 100.0, 10.0, 12.0, 120.0},                          // equal duties
        {100.0, 0.0, 210.0, 0.0, 10.0, 1.0, 3.0, 30.0},                                 // w 2: step -10
        {9.5, 0.0, 19.525, 0.0, 10.0, 1.0, 2.0, 20.0},                                  // w -19
    };
    for (const Case& c : cases) {
        TearGuess g{c.q, c.qp, c.g, c.gp};
        EXPECT_NEAR(g.Next(4, c.set, c.area, c.target), c.expected, 1e-9);
        TearGuess early{c.q, c.qp, c.g, c.gp};
        EXPECT_NEAR(early.Next(3, c.set, c.area, c.target), c.set * c.target / c.area, 1e-9);
    }
}

// Inlets 150 and 145 with CP 10 on both sides close the ends at 50 kW, which is also the first
// guess (5 % of 1000 kW); raising it only crosses them more, so the torn exchanger never gets an
// area: the identification runs out of candidates and gives the exchanger its specified area
// back, with no guessed duty left on it (the exchanger then solves its area in place).
TEST(HENDesignSpecifiedAreas, AnIdentificationOutOfCandidatesRestoresWhatItTore) {
    Net n;
    n.Add("H", 150, 50, 10.0);
    n.Add("C", 145, 245, 10.0);
    n.d = n.Design("D1");
    HeatExch* x = n.Exchanger(n.Segment("H", 0), n.Segment("C", 0));
    ASSERT_NE(x, nullptr);
    Net::GiveArea(x, 10.0);
    n.d->ProcessChange(CPIHENDesign::CodeFlowsheetChanged, CPString(), nullptr);
    n.d->ClearUnitResults(n.Units());
    Session::Instance().Reset();
    EXPECT_FALSE(n.d->SolveForSpecifiedAreas(n.Units(), {}, CPIHENDesign::CodeFlowsheetChanged, false));
    EXPECT_EQ(Net::Traces().size(), 2u);  // the heading and the one exchanger torn
    EXPECT_NE(x->getVariableStatus(NodeValue::Duty), ValueStatus::Specified);
    EXPECT_LT(x->getLoad(), 50.0);
    EXPECT_EQ(x->getVariableStatus(NodeValue::HTArea), ValueStatus::Specified);
    EXPECT_EQ(x->getArea(), 10.0);
}

// One torn exchanger between unequal flows, U 0.5: the duty it settles on gives its specified
// area to within a ten-thousandth of a square metre, by the exchanger's own end temperatures
// (A = Q / (U x LMTD)) and by the effectiveness-NTU relation.
TEST(HENDesignSpecifiedAreas, OneTornExchangerMeetsItsAreaToATenThousandth) {
    struct Row {
        double hotIn, coldIn, cpHot, cpCold, area;
    };
    for (const Row& r : {Row{150, 50, 10, 5, 100}, Row{150, 50, 10, 5, 10}, Row{200, 40, 4, 8, 20}, Row{180, 60, 3, 6, 7}}) {
        SCOPED_TRACE(r.area);
        Net n;
        n.Add("H", r.hotIn, 20, r.cpHot);
        n.Add("C", r.coldIn, 280, r.cpCold);
        n.d = n.Design("D1");
        HeatExch* x = n.Exchanger(n.Segment("H", 0), n.Segment("C", 0));
        ASSERT_NE(x, nullptr);
        Net::GiveArea(x, r.area);
        n.d->ClearUnitResults(n.Units());
        n.d->SolveSingleTearExchangers(n.Units(), {}, CPIHENDesign::CodeFlowsheetChanged);
        ASSERT_EQ(x->getVariableStatus(NodeValue::Duty), ValueStatus::Calculated);
        const double q = x->getLoad();
        const double dt1 = r.hotIn - (r.coldIn + q / r.cpCold), dt2 = (r.hotIn - q / r.cpHot) - r.coldIn;
        const double lmtd = std::fabs(dt1 - dt2) < 1e-12 ? dt1 : (dt1 - dt2) / std::log(dt1 / dt2);
        EXPECT_NEAR(q / (0.5 * lmtd), r.area, 1e-4);
        const double cmin = std::min(r.cpHot, r.cpCold), ratio = cmin / std::max(r.cpHot, r.cpCold);
        const double ntu = 0.5 * r.area / cmin, g = std::exp(-ntu * (1 - ratio));
        const double exact = (1 - g) / (1 - ratio * g) * cmin * (r.hotIn - r.coldIn);
        EXPECT_NEAR(q, exact, 1e-4 * 0.5 * std::max(dt1, dt2) + 1e-6);
    }
}

namespace {

// H1 150 -> 50 C (CP 2) heats C 100 -> 160 C (CP 4) in X at 60 kW; steam ST brings C to its
// target (180 kW), cooling water CW takes the rest of H1 (140 kW) and CW2 all of H2 130 -> 70 C
// (CP 1, 60 kW). `plant`: the heater and coolers carry the duties a plant runs them at, specified
// as a table of an existing network gives them.
struct Plant : Net {
    explicit Plant(bool plant) {
        Add("H1", 150, 50, 2.0);
        Add("H2", 130, 70, 1.0);
        Add("C", 100, 160, 4.0);
        for (const char* u : {"ST", "CW", "CW2"}) Add(u, u[0] == 'S' ? 250 : 20, u[0] == 'S' ? 249 : 30, 0.1, 1);
        for (const char* s : {"H1", "H2", "C", "ST", "CW", "CW2"}) scenario->FindStream(s)->SetValue("HTCoeff", 0.5, 0);
        d = Design("D1");
        d->Deactivate();
        x = Unit(Segment("H1", 0), Segment("C", 0));
        heater = Unit(Segment("ST", 0), Segment("C", 1));
        cooler = Unit(Segment("H1", 1), Segment("CW", 0));
        cooler2 = Unit(Segment("H2", 0), Segment("CW2", 0));
        x->addVariable(NodeValue::Duty, 60.0, ValueStatus::Specified);
        if (plant)
            for (auto [unit, duty] : {std::pair{heater, 180.0}, std::pair{cooler, 140.0}, std::pair{cooler2, 60.0}})
                unit->addVariable(NodeValue::Duty, duty, ValueStatus::Specified);
        d->Activate(1);
    }
    // A countercurrent exchanger with every utility at its ports taken away.
    HeatExch* Unit(CNode* hot, CNode* cold) {
        CNode* unit = d->AddHeatExchanger(hot, cold, nullptr, NodeKind::CountercurrentHX, nullptr);
        for (int port = 0; unit && port < 4; ++port)
            if (d->CanRemoveUtilityAtPort(unit, port)) d->RemoveUtilityAtPort(unit, port);
        return AsHeatExch(unit);
    }
    static double Duty(CNode* unit) {
        double q = -1.0;
        return unit->getVariableAsDouble(NodeValue::Duty, q) ? q : -1.0;
    }
    HeatExch *x = nullptr, *heater = nullptr, *cooler = nullptr, *cooler2 = nullptr;
};

}  // namespace

// A new 20 kW exchanger takes H2 from 130 to 110 C and C from 100 to 105 C ahead of X, added
// after the heater and coolers (so it calculates after them). C then reaches the heater at
// 105 + 60/4 = 120 C: the heater's duty drops to (160 - 120) x 4 = 160 kW, and H2's cooler to
// (110 - 70) x 1 = 40 kW; H1's cooler stays at 140 kW. The steam's and the water's flows follow
// (160 and 40 kW), whatever they carried before. With the plant's duties, the heater and coolers
// give theirs up first (their streams are settled by X alone), then follow in the same way. Before
// the change CW2 carried no load at all, and H2's cooler still takes H2's 60 kW.
TEST(HENDesignChange, AHeaterWhoseProcessDemandDroppedTakesTheLowerDuty) {
    for (bool plant : {false, true}) {
        SCOPED_TRACE(plant ? "plant duties" : "free duties");
        Plant n(plant);
        if (plant) {
            EXPECT_EQ(n.d->LetUtilityExchangersFollowDemand(), 3);
            for (CNode* unit : {n.heater, n.cooler, n.cooler2})
                EXPECT_EQ(unit->getVariableStatus(NodeValue::Duty), ValueStatus::Calculated);
        }
        EXPECT_NEAR(Plant::Duty(n.heater), 180.0, 1e-9);
        EXPECT_NEAR(Plant::Duty(n.cooler), 140.0, 1e-9);
        EXPECT_NEAR(Plant::Duty(n.cooler2), 60.0, 1e-9);
        EXPECT_EQ(n.cooler2->getStatus(), ExchangerStatus::Calculated);

        n.d->Deactivate();
        HeatExch* added = n.Unit(n.cooler2->getInlet(0), n.x->getInlet(1));
        ASSERT_NE(added, nullptr);
        added->addVariable(NodeValue::Duty, 20.0, ValueStatus::Specified);
        n.d->Activate(1);

        EXPECT_EQ(added->getStatus(), ExchangerStatus::Calculated);
        EXPECT_NEAR(Net::T(added->getOutlet(0)), 110.0, 1e-9);
        EXPECT_NEAR(Net::T(added->getOutlet(1)), 105.0, 1e-9);
        EXPECT_NEAR(Net::T(n.heater->getInlet(1)), 120.0, 1e-9);
        for (auto [unit, duty] : {std::pair{n.heater, 160.0}, std::pair{n.cooler, 140.0}, std::pair{n.cooler2, 40.0}}) {
            EXPECT_NEAR(Plant::Duty(unit), duty, 1e-9);
            EXPECT_EQ(unit->getStatus(), ExchangerStatus::Calculated);
        }
        EXPECT_NEAR(n.d->GetUtilityLoad("ST"), 160.0, 1e-9);
        EXPECT_NEAR(n.d->GetUtilityLoad("CW2"), 40.0, 1e-9);
        EXPECT_NEAR(n.d->GetTotalUtilityLoad(0), 160.0, 1e-9);
    }
}

// Only settled streams give a duty up: with X given by its area instead of its duty, C and H1 are
// not settled and their heater and cooler keep the plant's duties; H2, whose one unit is its
// cooler, is. A design without a process exchanger ahead of a heater gives nothing up twice.
TEST(HENDesignChange, OnlyStreamsSettledByTheirExchangersGiveAUtilityDutyUp) {
    Plant n(true);
    n.d->Deactivate();
    n.x->addVariable(NodeValue::Duty, 0.0, ValueStatus::Open);
    n.x->addVariable(NodeValue::OverallHTC, 0.25, ValueStatus::Specified);
    n.x->addVariable(NodeValue::HTArea, 1.0, ValueStatus::Specified);
    n.d->Activate(1);
    EXPECT_EQ(n.d->LetUtilityExchangersFollowDemand(), 1);
    EXPECT_EQ(n.heater->getVariableStatus(NodeValue::Duty), ValueStatus::Specified);
    EXPECT_EQ(n.cooler->getVariableStatus(NodeValue::Duty), ValueStatus::Specified);
    EXPECT_EQ(n.cooler2->getVariableStatus(NodeValue::Duty), ValueStatus::Calculated);
    EXPECT_NEAR(Plant::Duty(n.cooler2), 60.0, 1e-9);
    EXPECT_EQ(n.d->LetUtilityExchangersFollowDemand(), 0);
}

// X given 100 kW instead of 60: C (100 -> 160 C, CP 4, 240 kW) leaves X at 125 C, so its heater
// takes 240 - 100 = 140 kW; H1 (150 -> 50 C, CP 2, 200 kW) leaves X at 100 C, so its cooler
// takes 200 - 100 = 100 kW. H2's cooler, on no stream of X, keeps the plant's 60 kW as given.
// Once released, the heater and cooler go on following: X at 120 kW gives 120 and 80 kW.
TEST(HENDesignChange, TheEndUtilitiesOfAnExchangersStreamsTakeUpItsNewDuty) {
    Plant n(true);
    n.x->addVariable(NodeValue::Duty, 100.0, ValueStatus::Specified);
    // A heater or cooler itself, or no node: nothing is given up.
    EXPECT_EQ(n.d->LetEndUtilitiesFollowExchanger(n.heater), 0);
    EXPECT_EQ(n.d->LetEndUtilitiesFollowExchanger(nullptr), 0);
    EXPECT_EQ(n.heater->getVariableStatus(NodeValue::Duty), ValueStatus::Specified);
    EXPECT_EQ(n.d->LetEndUtilitiesFollowExchanger(n.x), 2);
    n.d->ProcessChange(CPIHENDesign::CodeFlowsheetChanged, CPString(), nullptr);
    for (auto [unit, duty] : {std::pair{n.heater, 140.0}, std::pair{n.cooler, 100.0}, std::pair{n.cooler2, 60.0}})
        EXPECT_NEAR(Plant::Duty(unit), duty, 1e-9);
    EXPECT_EQ(n.heater->getVariableStatus(NodeValue::Duty), ValueStatus::Calculated);
    EXPECT_EQ(n.cooler2->getVariableStatus(NodeValue::Duty), ValueStatus::Specified);
    EXPECT_NEAR(n.d->GetTotalUtilityLoad(0), 140.0, 1e-9);
    EXPECT_NEAR(n.d->GetTotalUtilityLoad(1), 160.0, 1e-9);

    n.x->addVariable(NodeValue::Duty, 120.0, ValueStatus::Specified);
    EXPECT_EQ(n.d->LetEndUtilitiesFollowExchanger(n.x), 0);
    n.d->ProcessChange(CPIHENDesign::CodeFlowsheetChanged, CPString(), nullptr);
    EXPECT_NEAR(Plant::Duty(n.heater), 120.0, 1e-9);
    EXPECT_NEAR(Plant::Duty(n.cooler), 80.0, 1e-9);
}

// The design's own utility left at C's end, after the heater (where a table of given duties puts
// one): it goes with the heater's given duty, so the heater runs C to its target itself, again
// 240 - 100 = 140 kW, in the one recalculation that follows.
TEST(HENDesignChange, AUtilityLeftAfterTheEndHeaterGoesWhenTheHeaterFollows) {
    Plant n(true);
    ASSERT_TRUE(n.d->AddUtilityAtPort(n.heater, 3));
    ASSERT_FALSE(n.d->IsPortFreeOfUtility(n.heater, 3));
    n.x->addVariable(NodeValue::Duty, 100.0, ValueStatus::Specified);
    EXPECT_EQ(n.d->LetEndUtilitiesFollowExchanger(n.x), 2);
    EXPECT_TRUE(n.d->IsActive());
    EXPECT_TRUE(n.d->IsPortFreeOfUtility(n.heater, 3));
    n.d->ProcessChange(CPIHENDesign::CodeFlowsheetChanged, CPString(), nullptr);
    EXPECT_NEAR(Plant::Duty(n.heater), 140.0, 1e-9);
    EXPECT_NEAR(Net::T(n.heater->getOutlet(1)), 160.0, 1e-9);
    EXPECT_NEAR(Plant::Duty(n.cooler), 100.0, 1e-9);
    EXPECT_EQ(n.d->GetNumberOfUnsatisfiedProcessStreams(), 0);
}

// With X's duty open nothing settles C: the heater's duty is a free one of the network, not the
// 400 kW the steam carried before the design calculated. The network stays open (X, heater and
// cooler without duties) and no steam is used.
TEST(HENDesignChange, AHeaterWhoseProcessSideNothingSettlesIsAFreeDuty) {
    Plant n(false);
    n.scenario->FindStream("ST")->SetHeatLoad(400.0, 1);
    n.d->Deactivate();
    n.x->addVariable(NodeValue::Duty, 0.0, ValueStatus::Open);
    n.d->Activate(1);
    for (CNode* unit : {static_cast<CNode*>(n.x), static_cast<CNode*>(n.heater), static_cast<CNode*>(n.cooler)})
        EXPECT_EQ(unit->getVariableStatus(NodeValue::Duty), ValueStatus::Open);
    EXPECT_EQ(n.heater->getStatus(), ExchangerStatus::UnderSpecified);
    EXPECT_NEAR(Plant::Duty(n.cooler2), 60.0, 1e-9);
    EXPECT_NEAR(n.d->GetUtilityLoad("ST"), 0.0, 1e-9);
    EXPECT_GT(n.d->CountOpenValues(n.Units(), nullptr), 0);
}

namespace {

// Every value of every node, bit for bit, with each exchanger's status and feasibility.
std::vector<std::string> AllValues(CPIHENDesign& d) {
    std::vector<std::string> lines;
    for (CNode* node : d.GetFlowSheet()->getAllNodes()) {
        const CPValue& values = node->getValues();
        for (std::size_t i = 0; i < values.GetNumberOfSubValues(); ++i) {
            const CPValue* v = values.GetSubValue(i);
            char line[256];
            std::snprintf(line, sizeof line, "%s %s %a %d %s", node->getName().c_str(), v->GetName().c_str(),
                          v->GetValue(), v->GetStatus(), v->IsText() ? v->GetText().c_str() : "");
            lines.emplace_back(line);
        }
        if (HeatExch* x = AsHeatExch(node))
            lines.push_back(node->getName() + " status " + std::to_string(x->getStatus()) + " " +
                            std::to_string(x->IsFeasible()));
    }
    return lines;
}

}  // namespace

// Two hot streams cooled by water in series and a process exchanger between H1 and C: a change
// of one duty leaves the design exactly as one built with that duty from the start, on the water
// (whose flow follows the design's load) and on the process streams alike.
TEST(HENDesignChange, ADutyChangedLeavesTheValuesOfADesignBuiltWithIt) {
    using Duties = std::tuple<double, double, double>;
    auto build = [](Net& n, Duties duties) {
        n.Add("H1", 150, 50, 1.0);
        n.Add("H2", 120, 40, 1.0);
        n.Add("C", 30, 100, 0.8);
        n.Add("CW", 20, 30, 0.1, 1);
        for (const char* s : {"H1", "H2", "C", "CW"}) n.scenario->FindStream(s)->SetValue("HTCoeff", 0.5, 0);
        n.d = n.Design("D1");
        n.d->Deactivate();
        std::vector<CNode*> units;
        const auto [process, first, second] = duties;
        for (auto [hot, cold, duty] : {std::tuple{"H1", "C", process}, std::tuple{"H1", "CW", first},
                                       std::tuple{"H2", "CW", second}}) {
            CNode* x = n.d->AddHeatExchanger(n.Segment(hot, 0), n.Segment(cold, 0), nullptr, NodeKind::CountercurrentHX,
                                             nullptr);
            EXPECT_NE(x, nullptr);
            if (!x) return units;
            x->addVariable(NodeValue::Duty, duty, ValueStatus::Specified);
            for (int port = 0; port < 4; ++port)
                if (n.d->CanRemoveUtilityAtPort(x, port)) n.d->RemoveUtilityAtPort(x, port);
            units.push_back(x);
        }
        n.d->Activate(1);
        return units;
    };
    for (const auto& [from, to] : {std::pair{Duties{40, 50, 60}, Duties{30, 50, 60}},
                                   std::pair{Duties{40, 50, 60}, Duties{40, 35, 60}},
                                   std::pair{Duties{40, 50, 60}, Duties{40, 50, 75}}}) {
        Net changed, fresh;
        std::vector<CNode*> units = build(changed, from);
        ASSERT_EQ(units.size(), 3u);
        const double next[3] = {std::get<0>(to), std::get<1>(to), std::get<2>(to)};
        for (std::size_t i = 0; i < 3; ++i) units[i]->addVariable(NodeValue::Duty, next[i], ValueStatus::Specified);
        changed.d->ProcessChange(CPIHENDesign::CodeFlowsheetChanged, CPString(), nullptr);
        ASSERT_EQ(build(fresh, to).size(), 3u);
        EXPECT_EQ(AllValues(*changed.d), AllValues(*fresh.d));
        // The water flows at the design's load (cp = load / 10 K): H2's cooler, first on it,
        // warms it by H2's duty at that flow.
        const double load = std::get<1>(to) + std::get<2>(to);
        EXPECT_NEAR(changed.d->GetUtilityLoad("CW"), load, 1e-9);
        HeatExch* h2 = AsHeatExch(units[2]);
        ASSERT_NE(h2, nullptr);
        EXPECT_NEAR(Net::T(h2->getOutlet(1)), 20.0 + std::get<2>(to) / (load / 10.0), 1e-6);
    }
}
