// Utilities at exchanger ports, and the design's counts, costs and status worked by hand:
// degrees of freedom, the satisfied test, utility cost, payback and the lock states.
#include "DesignTestSupport.h"

#include "tevrin/CPList.h"

#include <cmath>

#include <gtest/gtest.h>

using namespace design_test;
using chain::After;

namespace {

struct Plant : DesignScenario {
    Plant() {
        Add("H1", 180, 80, 2.0);
        Add("H3", 150, 50, 1.0);  // load 100
        Add("C1", 40, 140, 2.0);
        Add("ST", 250, 249, 0.5, 1);
        Add("CW", 20, 30, 0.05, 1);
        d = Design("D1");
    }
    CNode* Segment(CPIHENDesign* design, const std::string& stream, int n) { return NthSegment(*design, stream, n); }
    CNode* Segment(const std::string& stream, int n) { return Segment(d, stream, n); }
    std::vector<std::string> Names(const std::string& stream) {
        std::vector<std::string> names;
        for (CNode* node : ChainNodes(*d, stream)) names.emplace_back(node->getName());
        return names;
    }
    static double Temperature(CNode* node) {
        double t = 0.0;
        return node->getVariableAsDouble(NodeValue::Temperature, t) ? t : -1.0;
    }
    CPIHENDesign* d = nullptr;
};

}  // namespace

TEST(HENDesignPorts, AddingAndRemovingAUtilityAtAPortIsIdempotent) {
    Plant p;
    CNode* x = p.d->AddHeatExchanger(p.Segment("H1", 0), p.Segment("C1", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(x);
    for (int port = 0; port < 4; ++port) EXPECT_FALSE(p.d->IsPortFreeOfUtility(x, port)) << port;
    EXPECT_FALSE(p.d->IsPortFreeOfUtility(x, 4));
    EXPECT_FALSE(p.d->CanAddUtilityAtPort(x, 4));

    ASSERT_TRUE(p.d->RemoveUtilityAtPort(x, 0));
    EXPECT_EQ(Chain(*p.d, "H1"), "FsXsPsE");
    EXPECT_TRUE(p.d->IsPortFreeOfUtility(x, 0));
    ASSERT_TRUE(p.d->RemoveUtilityAtPort(x, 0));
    EXPECT_EQ(Chain(*p.d, "H1"), "FsXsPsE");
    CPString feed;
    x->getVariableAsString("HotSideFeed", feed);
    EXPECT_EQ(feed, AsHeatExch(x)->getInlet(0)->getName());

    EXPECT_TRUE(p.d->CanAddUtilityAtPort(x, 0));
    ASSERT_TRUE(p.d->AddUtilityAtPort(x, 0));
    EXPECT_EQ(Chain(*p.d, "H1"), "FsPsXsPsE");
    ASSERT_TRUE(p.d->AddUtilityAtPort(x, 0));
    EXPECT_EQ(Chain(*p.d, "H1"), "FsPsXsPsE");
    x->getVariableAsString("HotSideFeed", feed);
    EXPECT_EQ(feed, AsHeatExch(x)->getInlet(0)->getName());
    EXPECT_EQ(StructuralFault(*p.d), "");
}

TEST(HENDesignPorts, TheRemovalTrialLeavesTheChainAsItWasAndRefusesTwoSpecifiedTemperatures) {
    Plant p;
    CNode* x = p.d->AddHeatExchanger(p.Segment("H1", 0), p.Segment("C1", 0), nullptr, nullptr, nullptr);
    const std::vector<std::string> before = p.Names("H1");
    EXPECT_TRUE(p.d->CanRemoveUtilityAtPort(x, 0));
    EXPECT_EQ(p.Names("H1"), before);
    AsHeatExch(x)->getInlet(0)->addVariable(NodeValue::Temperature, 170.0, ValueStatus::Specified);
    EXPECT_FALSE(p.d->CanRemoveUtilityAtPort(x, 0));  // both joined segments are specified
    EXPECT_EQ(p.Names("H1"), before);
    EXPECT_EQ(StructuralFault(*p.d), "");

    // A utility's port: a placeholder there cannot be removed by the user.
    CNode* heater = p.d->AddHeatExchanger(p.Segment("ST", 0), p.Segment("C1", 2), nullptr, nullptr, nullptr);
    ASSERT_TRUE(heater);
    EXPECT_FALSE(p.d->CanAddUtilityAtPort(heater, 0));
    ASSERT_TRUE(p.d->AddUtilityAtPort(heater, 0));
    EXPECT_FALSE(p.d->CanRemoveUtilityAtPort(heater, 0));
}

TEST(HENDesignPorts, ARemovedSegmentHandsItsTemperatureOnUnlessTheOtherIsSpecified) {
    Plant p;
    CNode* first = p.d->AddHeatExchanger(p.Segment("H1", 0), p.Segment("C1", 0), nullptr, nullptr, nullptr);
    CNode* outlet = AsHeatExch(first)->getOutlet(0);
    CNode* second = p.d->AddHeatExchanger(outlet, p.Segment("C1", 3), nullptr, nullptr, nullptr);
    ASSERT_TRUE(second);
    EXPECT_EQ(Chain(*p.d, "H1"), "FsPsXsPsXsPsE");
    AsHeatExch(second)->getInlet(0)->addVariable(NodeValue::Temperature, 150.0, ValueStatus::Specified);
    ASSERT_TRUE(p.d->RemoveUtilityAtPort(second, 0));
    EXPECT_EQ(AsHeatExch(second)->getInlet(0), outlet);
    EXPECT_EQ(Plant::Temperature(outlet), 150.0);
    EXPECT_EQ(outlet->getVariableStatus(NodeValue::Temperature), ValueStatus::Specified);

    // The stream's last segment keeps its own target temperature.
    CNode* last = p.Segment("H1", 4);
    AsHeatExch(second)->getOutlet(0)->addVariable(NodeValue::Temperature, 120.0, ValueStatus::Specified);
    ASSERT_TRUE(p.d->RemoveUtilityAtPort(second, 1));
    EXPECT_EQ(AsHeatExch(second)->getOutlet(0), last);
    EXPECT_EQ(Plant::Temperature(last), 80.0);
    EXPECT_EQ(StructuralFault(*p.d), "");
}

// H1 alone runs F s P s E with both segments at their specified end temperatures: nothing is
// free. A splitter-mixer of n branches on its first segment opens the n branch segments and the
// one after the mixer (n + 1) and fixes n + 1: the mixer's balance and one per branch at the
// tee. An exchanger from the first branch to C1 opens two segments on each stream and takes one
// for its balance (+3); its duty takes one more.
TEST(HENDesignCounts, ASplitterMixerTakesOneDegreeOfFreedomPerBranch) {
    for (int branches : {2, 3}) {
        SCOPED_TRACE(branches);
        Plant p;
        EXPECT_EQ(p.d->GetDegreesOfFreedom(), 0);
        CNode* tee = nullptr;
        CNode* first = p.Segment("H1", 0);
        ASSERT_TRUE(p.d->AddSplitterMixer(first, first, tee, nullptr, branches));
        EXPECT_EQ(Chain(*p.d, "H1"), "FsTsMsPsE");
        EXPECT_EQ(p.d->GetDegreesOfFreedom(), 0);
        CNode* x = p.d->AddHeatExchanger(tee->getIthDownStreamNode(0), p.Segment("C1", 0), nullptr, nullptr, nullptr);
        ASSERT_TRUE(x);
        EXPECT_EQ(p.d->GetDegreesOfFreedom(), 3);
        x->addVariable(NodeValue::Duty, 50.0, ValueStatus::Specified);
        EXPECT_EQ(p.d->GetDegreesOfFreedom(), 2);
    }
}

TEST(HENDesignCounts, DegreesOfFreedomAndTheSatisfiedTestByHand) {
    Plant p;
    CNode* x = p.d->AddHeatExchanger(p.Segment("H3", 0), p.Segment("C1", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(x);
    // Two open segments on each stream, one process exchanger.
    EXPECT_EQ(p.d->GetDegreesOfFreedom(), 3);
    x->addVariable(NodeValue::Duty, 100.04, ValueStatus::Specified);
    EXPECT_EQ(p.d->GetDegreesOfFreedom(), 2);

    IHeatIntegrationStream* h3 = p.scenario->FindStream("H3");
    double remainder = 0.0;
    EXPECT_TRUE(p.d->IsStreamSatisfied(h3, &remainder));
    x->addVariable(NodeValue::Duty, 100.06, ValueStatus::Specified);
    EXPECT_FALSE(p.d->IsStreamSatisfied(h3, &remainder));
    EXPECT_NEAR(remainder, 0.06, 1e-9);
    EXPECT_TRUE(p.d->IsStreamSatisfied(p.scenario->FindStream("ST"), nullptr));
    EXPECT_EQ(p.d->GetNumberOfUnsatisfiedProcessStreams(), 3);  // H1, H3, C1
    EXPECT_EQ(p.d->GetUnsatisfiedProcessStream(1), h3);
    EXPECT_FALSE(p.d->IsDesignComplete());
}

TEST(HENDesignCosts, UtilityCostOfALoadOf1000AtIndexHalfOver8000Hours) {
    Plant p;
    p.scenario->SetEconomicData(6, 8000.0, "DEFAULT");
    CNode* heater = p.d->AddHeatExchanger(p.Segment("ST", 0), p.Segment("C1", 1), nullptr, nullptr, nullptr);
    heater->addVariable(NodeValue::Duty, 1000.0, ValueStatus::Specified);
    p.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    EXPECT_DOUBLE_EQ(p.d->GetUtilityLoad("ST"), 1000.0);
    EXPECT_NEAR(p.d->GetUtilityCost("ST"), 456.321, 5e-4);
    EXPECT_NEAR(p.d->GetTotalUtilityCost(0), 456.321, 5e-4);
    EXPECT_EQ(p.d->GetTotalUtilityCost(1), 0.0);
    EXPECT_EQ(p.d->GetUtilityLoad("CW"), 0.0);
    EXPECT_EQ(p.d->GetUtilityCost("none"), 0.0);
    EXPECT_DOUBLE_EQ(p.d->GetUsedUtilityLoad(p.scenario->FindStream("ST")), 1000.0);
}

// The loads follow the network's edits between two recalculations: an exchanger added on a
// utility, one whose side moves from the utility to a process stream, and one deleted.
TEST(HENDesignCosts, UtilityLoadsFollowExchangersAddedMovedAndDeleted) {
    Plant p;
    CNode* heater = p.d->AddHeatExchanger(p.Segment("ST", 0), p.Segment("C1", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(heater);
    heater->addVariable(NodeValue::Duty, 150.0, ValueStatus::Specified);
    p.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    EXPECT_DOUBLE_EQ(p.d->GetUtilityLoad("ST"), 150.0);
    EXPECT_EQ(p.d->GetUtilityLoad("CW"), 0.0);

    CNode* cooler = p.d->AddHeatExchanger(p.Segment("H1", 0), p.Segment("CW", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(cooler);
    cooler->addVariable(NodeValue::Duty, 30.0, ValueStatus::Specified);
    p.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    EXPECT_DOUBLE_EQ(p.d->GetUtilityLoad("ST"), 150.0);
    EXPECT_DOUBLE_EQ(p.d->GetUtilityLoad("CW"), 30.0);

    // The cooler's cold side goes to the process stream C1: no utility carries its duty any more.
    CNode* cwSide = AsHeatExch(cooler)->getInlet(1);
    ASSERT_TRUE(p.d->MoveHeatExchangerSide(cooler, cwSide, p.Segment("C1", 0), nullptr));
    p.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    EXPECT_EQ(p.d->GetUtilityLoad("CW"), 0.0);
    EXPECT_DOUBLE_EQ(p.d->GetUtilityLoad("ST"), 150.0);

    ASSERT_TRUE(p.d->DeleteHeatExchanger(heater, nullptr));
    p.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    EXPECT_EQ(p.d->GetUtilityLoad("ST"), 0.0);
}

TEST(HENDesignCosts, PaybackOfCapital100AgainstASavingFrom50To30IsFive) {
    Plant p;
    p.scenario->SetEconomicData(6, 8765.76, "DEFAULT");  // the cost is then index x load
    CNode* cooler = p.d->AddHeatExchanger(p.Segment("H1", 0), p.Segment("CW", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(cooler);
    cooler->addVariable(NodeValue::Duty, 1000.0, ValueStatus::Specified);
    cooler->addVariable(NodeValue::CapitalCost, 0.0, ValueStatus::Specified);
    p.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    ASSERT_EQ(p.scenario->CloneDesign("N", p.d), 1);
    CPIHENDesign* n = p.Design("N");
    CNode* twin = n->GetNodeByFingerPrint(cooler->getDNAFingerPrint());
    ASSERT_TRUE(twin);
    twin->addVariable(NodeValue::Duty, 600.0, ValueStatus::Specified);
    twin->addVariable(NodeValue::CapitalCost, 100.0, ValueStatus::Specified);
    n->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    p.scenario->SetRetrofitBaseDesign("D1");

    EXPECT_NEAR(p.scenario->GetRetrofitBaseUtilityCost(), 50.0, 1e-9);
    EXPECT_NEAR(n->GetTotalUtilityCost(2), 30.0, 1e-9);
    EXPECT_NEAR(n->CalculateCapitalCost(), 100.0, 1e-12);
    EXPECT_NEAR(n->GetPaybackTime(), 5.0, 1e-9);
    // No saving: the last payback time stands.
    twin->addVariable(NodeValue::Duty, 1000.0, ValueStatus::Specified);
    n->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    EXPECT_NEAR(n->GetPaybackTime(), 5.0, 1e-9);
}

TEST(HENDesignStatus, LockStatesOfABaseDesignAnotherDesignAndAnOrdinaryScenario) {
    Plant p;
    CPIHENDesign* other = p.Design("D2");
    EXPECT_EQ(p.d->GetEditLockState(), 0);
    EXPECT_EQ(p.d->GetScenarioLockState(), 0);
    EXPECT_EQ(p.d->GetPinchPoint(2, 0), -32767.0);
    EXPECT_EQ(p.d->GetPinchPoint(0, 0), -32767.0);
    // The plant's exchanger, placed before the design becomes the base.
    CNode* x = p.d->AddHeatExchanger(p.Segment("H1", 0), p.Segment("C1", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(x);

    p.scenario->SetRetrofitBaseDesign("D1");
    EXPECT_EQ(p.d->GetEditLockState(), 1);
    EXPECT_EQ(p.d->GetScenarioLockState(), 1);
    other->MarkAsExistingNetwork();
    EXPECT_EQ(other->GetEditLockState(), 2);
    EXPECT_EQ(other->GetScenarioLockState(), 2);
    // A design made now starts as an existing network.
    EXPECT_TRUE(p.Design("D3")->IsExistingNetwork());

    // Edits are refused on the locked base design, a new exchanger as CanMatchStreams says.
    EXPECT_FALSE(p.d->CanMatchStreams(p.Segment("H1", 0), p.Segment("C1", 0)));
    EXPECT_EQ(nullptr, p.d->AddHeatExchanger(p.Segment("H1", 0), p.Segment("C1", 0), nullptr, nullptr, nullptr));
    EXPECT_EQ(1, p.d->GetNumberOfHeatExchangers());
    EXPECT_FALSE(p.d->DeleteHeatExchanger(x, nullptr));
    EXPECT_FALSE(p.d->AddUtilityAtPort(x, 0));
}

TEST(HENDesignStatus, PinchPointsAreCopiedAndOneCrossPinchLoadIsKeptPerPinch) {
    Plant p;
    double pinches[3][2] = {{120.0, 110.0}, {100.0, 90.0}, {70.0, 60.0}};
    CPList list;
    for (auto& pinch : pinches) list.Append(pinch);
    p.d->SetPinchPoints(&list);
    EXPECT_EQ(p.d->GetPinchPoint(0, 1), 100.0);
    EXPECT_EQ(p.d->GetPinchPoint(1, 2), 60.0);
    EXPECT_EQ(p.d->GetPinchPoint(1, 3), -32767.0);
    EXPECT_EQ(p.d->GetNumberOfCrossPinchLoads(), 0);  // no exchanger yet
    CNode* x = p.d->AddHeatExchanger(p.Segment("H1", 0), p.Segment("C1", 0), nullptr, nullptr, nullptr);
    p.d->ProcessChange(20, CPString(), nullptr);
    EXPECT_EQ(p.d->GetNumberOfCrossPinchLoads(), 3);
    EXPECT_EQ(p.d->GetCrossPinchLoad(3), 0.0);

    CPString name;
    x->getVariableAsString(NodeValue::UnitOperationName, name);
    p.d->MakeExchangerStreamName(name, name);
    EXPECT_EQ(name, "E-100STRM");
    p.d->MakeExchangerStreamName("E-999", name);
    EXPECT_EQ(name, "E-999");
}

// H3 150 -> 50 (CP 1) gives 50 kW to C1 40 -> 140 (CP 2): the hot outlet is at 100, the cold
// outlet at 65; the cooler after the exchanger takes the other 50 kW, the heater 150 kW.
TEST(HENDesignCounts, ARecalculationCarriesSpecifiedValuesThroughTheNetwork) {
    Plant p;
    CNode* x = p.d->AddHeatExchanger(p.Segment("H3", 0), p.Segment("C1", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(p.d->RemoveUtilityAtPort(x, 0));
    ASSERT_TRUE(p.d->RemoveUtilityAtPort(x, 2));
    x->addVariable(NodeValue::Duty, 50.0, ValueStatus::Specified);
    p.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    auto* hx = AsHeatExch(x);
    EXPECT_NEAR(Plant::Temperature(hx->getOutlet(0)), 100.0, 1e-9);
    EXPECT_NEAR(Plant::Temperature(hx->getOutlet(1)), 65.0, 1e-9);
    double cooler = 0.0, heater = 0.0;
    ASSERT_TRUE(After(hx->getOutlet(0))->getVariableAsDouble(NodeValue::Duty, cooler));
    ASSERT_TRUE(After(hx->getOutlet(1))->getVariableAsDouble(NodeValue::Duty, heater));
    EXPECT_NEAR(std::fabs(cooler), 50.0, 1e-9);
    EXPECT_NEAR(std::fabs(heater), 150.0, 1e-9);
    double remainder = 0.0;
    EXPECT_FALSE(p.d->IsStreamSatisfied(p.scenario->FindStream("H3"), &remainder));
    EXPECT_NEAR(remainder, 50.0, 1e-9);
}

// The exchangers of a design, and of its copy, are priced by the scenario's cost law a + b A^c.
TEST(HENDesignCosts, ExchangersArePricedByTheScenariosCostLaw) {
    Plant p;
    for (const char* s : {"H3", "C1"}) p.scenario->FindStream(s)->SetValue("HTCoeff", 1.0, 0);
    p.scenario->SetEconomicData(0, 1000.0, "DEFAULT");
    p.scenario->SetEconomicData(1, 100.0, "DEFAULT");
    p.scenario->SetEconomicData(2, 1.0, "DEFAULT");
    CNode* x = p.d->AddHeatExchanger(p.Segment("H3", 0), p.Segment("C1", 0), nullptr, nullptr, nullptr);
    p.d->RemoveUtilityAtPort(x, 0);
    p.d->RemoveUtilityAtPort(x, 2);
    x->addVariable(NodeValue::Duty, 50.0, ValueStatus::Specified);
    p.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    const double area = p.d->GetTotalArea();
    ASSERT_GT(area, 0.0);
    EXPECT_NEAR(p.d->GetTotalCapitalCost(), 1000.0 + 100.0 * area, 1e-6);

    ASSERT_EQ(p.scenario->CloneDesign("D2", p.d), 1);
    CPIHENDesign* copy = p.Design("D2");
    copy->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    EXPECT_NEAR(copy->GetTotalCapitalCost(), 1000.0 + 100.0 * area, 1e-6);
}

// H3 150 -> 50 against C1 40 -> 140 (CP 1 and 2): a duty of 60 kW leaves the hot side at 90 C and
// the cold side at 70 C, approaches 80 and 50 K. With a minimum approach of 60 K the exchanger is
// infeasible and listed; the cooler on the water is listed among the utility exchangers only once
// its own minimum approach (above the water's 20 -> 30 C against H1's 180 C) cannot be met.
TEST(HENDesignCosts, InfeasibleExchangersAreListedAndTheUtilityOnesApart) {
    Plant p;
    CNode* x = p.d->AddHeatExchanger(p.Segment("H3", 0), p.Segment("C1", 0), nullptr, nullptr, nullptr);
    CNode* cooler = p.d->AddHeatExchanger(p.Segment("H1", 0), p.Segment("CW", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(x && cooler);
    ASSERT_TRUE(p.d->RemoveUtilityAtPort(x, 0) && p.d->RemoveUtilityAtPort(x, 2));
    ASSERT_TRUE(p.d->RemoveUtilityAtPort(cooler, 0));
    p.d->RemoveUtilityAtPort(cooler, 2);
    x->addVariable(NodeValue::Duty, 60.0, ValueStatus::Specified);
    cooler->addVariable(NodeValue::Duty, 50.0, ValueStatus::Specified);
    x->addVariable(NodeValue::DTMin, 10.0, ValueStatus::Specified);
    p.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    EXPECT_TRUE(p.d->GetInfeasibleHeatExchangers().empty());
    EXPECT_TRUE(p.d->GetInfeasibleFlaggedExchangerNodes().empty());

    x->addVariable(NodeValue::DTMin, 60.0, ValueStatus::Specified);
    p.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    EXPECT_EQ(p.d->GetInfeasibleHeatExchangers(), (std::vector<HeatExch*>{AsHeatExch(x)}));
    EXPECT_TRUE(p.d->GetInfeasibleFlaggedExchangerNodes().empty());

    cooler->addVariable(NodeValue::DTMin, 500.0, ValueStatus::Specified);
    p.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    EXPECT_EQ(p.d->GetInfeasibleHeatExchangers().size(), 2u);
    EXPECT_EQ(p.d->GetInfeasibleFlaggedExchangerNodes(), (std::vector<CNode*>{cooler}));
}
