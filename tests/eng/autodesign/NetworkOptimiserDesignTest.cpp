// The optimiser on real designs: the split network of one hot stream over two cold ones, checked
// against an independent minimisation of its area; the free-exchanger selection giving back what
// it cleared; the design's seam (run, check, the scenario's optimisation of a copy).
#include "eng/autodesign/DesignOptimiserNetwork.h"
#include "eng/autodesign/NetworkOptimiser.h"
#include "eng/autodesign/OptimiserCheck.h"
#include "lumeth/Session.h"
#include "pellin/FlowSheet.h"
#include "tevrin/CPList.h"
#include "tests/eng/design/DesignTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace design_test;

namespace {

// HA 200 -> 100 C (CP 4) split over X1 (to CA 60 -> 160 C, CP 2) and X2 (to CB 90 -> 140 C, CP 4),
// 200 kW each, film coefficients 0.5 everywhere, countercurrent exchangers.
struct SplitNetwork : DesignScenario {
    SplitNetwork() {
        for (auto [name, supply, target, cp] : {std::tuple{"HA", 200.0, 100.0, 4.0}, std::tuple{"CA", 60.0, 160.0, 2.0},
                                                std::tuple{"CB", 90.0, 140.0, 4.0}})
            Add(name, supply, target, cp)->SetValue("HTCoeff", 0.5, 0);
        d = Design("D1");
        d->Deactivate();
        CNode* s = NthSegment(*d, "HA", 0);
        d->AddSplitterMixer(s, s, tee, "by hand", 2);
        x1 = d->AddHeatExchanger(tee->getIthDownStreamNode(0), NthSegment(*d, "CA", 0), nullptr,
                                 NodeKind::CountercurrentHX, "X1");
        x2 = d->AddHeatExchanger(tee->getIthDownStreamNode(1), NthSegment(*d, "CB", 0), nullptr,
                                 NodeKind::CountercurrentHX, "X2");
        // The utilities the exchangers do not need go, the shares follow the duties. Each match
        // carries its cold stream's whole load, so the count of freedom runs below 0 and a port's
        // utility is taken away without asking whether it may go.
        for (CNode* x : {x1, x2}) {
            x->addVariable(NodeValue::Duty, 200.0, ValueStatus::Specified);
            for (int port = 0; port < 4; ++port) d->RemoveUtilityAtPort(x, port);
        }
        d->AddMissingUtilities();
        d->AddUtilitiesAtStreamEnds();
        d->SetSplitFractionsFromDuties();
        d->SetSplitFractionsFromBranchDuties();
        d->UpdateStreamTerminals();
        d->ApplyDTMinToAllExchangers();
        d->Activate(1);
    }
    double Share() const {
        double f = 0.0;
        tee->getIthDownStreamNode(0)->getVariableAsDouble(NodeValue::SplitFraction, f);
        return f;
    }
    CPIHENDesign* d = nullptr;
    CNode* tee = nullptr;
    CNode* x1 = nullptr;
    CNode* x2 = nullptr;
};

double Lmtd(double a, double b) { return std::fabs(a - b) < 1e-12 ? a : (a - b) / std::log(a / b); }

// The network's area as a function of HA's share x to CA, worked from the balances alone.
double AreaAt(double x) {
    const double u = 0.25;
    const double t1 = 200.0 - 200.0 / (4.0 * x), t2 = 200.0 - 200.0 / (4.0 * (1.0 - x));
    return 200.0 / (u * Lmtd(200.0 - 160.0, t1 - 60.0)) + 200.0 / (u * Lmtd(200.0 - 140.0, t2 - 90.0));
}

// Golden-section search of the area over the shares that keep both exchangers feasible.
double BestShare() {
    double a = 0.36, b = 0.54;
    const double g = (std::sqrt(5.0) - 1.0) / 2.0;
    for (int i = 0; i < 200; ++i) {
        const double c = b - g * (b - a), e = a + g * (b - a);
        if (AreaAt(c) < AreaAt(e)) b = e;
        else a = c;
    }
    return 0.5 * (a + b);
}

TEST(OptimiserOnASplitNetwork, TheIndependentMinimumIsWhereTheIssueSaysItIs) {
    EXPECT_NEAR(AreaAt(0.5), 48.668, 5e-4);
    EXPECT_NEAR(BestShare(), 0.456, 1e-3);
    EXPECT_NEAR(AreaAt(BestShare()), 45.775, 5e-4);
}

TEST(OptimiserOnASplitNetwork, SharesFromDutiesGiveTheStartingArea) {
    SplitNetwork n;
    ASSERT_TRUE(n.tee && n.x1 && n.x2);
    EXPECT_NEAR(n.Share(), 0.5, 1e-9);
    EXPECT_NEAR(n.d->GetTotalArea(), 48.668, 5e-3);
}

TEST(OptimiserOnASplitNetwork, LeastAreaOverTheSharesReachesTheMinimum) {
    SplitNetwork n;
    n.d->SetOptimizeExchangerDuties(false);
    n.d->SetOptimizeSplitFractions(true);
    EXPECT_EQ(n.d->RunOptimizer(0), IHENDesign::OptimiserImproved);
    EXPECT_NEAR(n.Share(), 0.456, 0.01);
    EXPECT_LE(n.d->GetTotalArea(), 45.775 * 1.005);
    EXPECT_NEAR(AsHeatExch(n.x1)->getLoad(), 200.0, 1e-6);
    EXPECT_NEAR(AsHeatExch(n.x2)->getLoad(), 200.0, 1e-6);
    EXPECT_TRUE(n.d->GetInfeasibleHeatExchangers().empty());
}

// The trials leave the loads across the pinch alone; the run counts them once, for the network
// it ends with: they are the loads a count of that network gives, to the bit, on the design and
// on each exchanger.
TEST(OptimiserOnASplitNetwork, TheLoadsAcrossThePinchAreThoseOfTheNetworkTheRunEndsWith) {
    SplitNetwork n;
    // A pinch at 150 / 140 C: HA's branches cross it, and so does the heat they give CA and CB.
    double pinch[2] = {150.0, 140.0};
    CPList pinches;
    pinches.Append(pinch);
    n.d->SetPinchPoints(&pinches);
    n.d->ProcessChange(20, CPString(), nullptr);
    n.d->SetOptimizeExchangerDuties(true);
    n.d->SetOptimizeSplitFractions(true);
    auto loads = [&] {
        std::vector<double> out;
        for (int j = 0; j < n.d->GetNumberOfCrossPinchLoads(); ++j) out.push_back(n.d->GetCrossPinchLoad(j));
        for (CNode* x : {n.x1, n.x2})
            for (int j = 0; j < x->getVariableSize(NodeValue::CrossPinchLoads); ++j) {
                double load = -1.0;
                x->getIndexedVariable(NodeValue::CrossPinchLoads, j, load);
                out.push_back(load);
            }
        return out;
    };
    const std::vector<double> before = loads();
    ASSERT_EQ(n.d->RunOptimizer(0), IHENDesign::OptimiserImproved);
    const std::vector<double> after = loads();
    ASSERT_FALSE(after.empty());
    // The run moved heat across the pinch, so loads left from before it would show.
    EXPECT_NE(after, before);
    // Code 20 counts the loads across the pinch of the network as it stands.
    n.d->ProcessChange(20, CPString(), nullptr);
    EXPECT_EQ(loads(), after);
}

TEST(OptimiserOnASplitNetwork, LeastCostDoesNotRaiseTheTotalAnnualCost) {
    SplitNetwork n;
    const double before = n.d->GetTotalUtilityCost(2) + n.d->GetTotalAnnualizedCapitalCost();
    EXPECT_EQ(n.d->RunOptimizer(1), IHENDesign::OptimiserImproved);
    EXPECT_LE(n.d->GetTotalUtilityCost(2) + n.d->GetTotalAnnualizedCapitalCost(), before * (1 + 1e-9));
    EXPECT_TRUE(n.d->GetInfeasibleHeatExchangers().empty());
    EXPECT_EQ(Session::Instance().BusyDepth(), 0);
}

// With the cold outlets of both exchangers specified every duty follows from them once the
// duties are open, so no exchanger can be freed: the selection gives back the duties (and their
// status) it cleared.
TEST(OptimiserOnASplitNetwork, ASelectionWithoutFreeExchangersGivesBackWhatItCleared) {
    SplitNetwork n;
    AsHeatExch(n.x1)->getOutlet(1)->addVariable(NodeValue::Temperature, 160.0, ValueStatus::Specified);
    AsHeatExch(n.x2)->getOutlet(1)->addVariable(NodeValue::Temperature, 140.0, ValueStatus::Specified);
    n.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    const int areaStatus = n.x1->getVariableStatus(NodeValue::HTArea);
    const double area = n.d->GetTotalArea();
    auto net = DesignOptimiserNetwork::Make(n.d);
    ASSERT_TRUE(net);
    net->BeginRun(0);
    SearchVariables v;
    net->BeginSubNetwork(0, true, v);
    EXPECT_EQ(v.splitterBranches, std::vector<int>{2});
    EXPECT_EQ(net->ProcessExchangers().size(), 2u);
    EXPECT_EQ(net->SelectFreeExchangers(v), 3);
    EXPECT_TRUE(v.freeDuties.empty());
    for (CNode* x : {n.x1, n.x2}) {
        EXPECT_EQ(x->getVariableStatus(NodeValue::Duty), ValueStatus::Specified);
        EXPECT_NEAR(AsHeatExch(x)->getLoad(), 200.0, 1e-9);
        EXPECT_EQ(x->getVariableStatus(NodeValue::HTArea), areaStatus);
    }
    EXPECT_NEAR(n.d->GetTotalArea(), area, 1e-6);
    EXPECT_EQ(net->GetUnsolvedCount(), 0);
    net->EndSubNetwork();
    net->EndRun();
}

TEST(OptimiserOnASplitNetwork, ABranchCarryingNothingLosesItsExchangerDuties) {
    SplitNetwork n;
    auto net = DesignOptimiserNetwork::Make(n.d);
    net->BeginRun(0);
    SearchVariables v;
    net->BeginSubNetwork(0, true, v);
    net->ReadSplitFractions(v);
    ASSERT_EQ(v.splitFractions.size(), 2u);
    EXPECT_NEAR(v.splitFractions[0] + v.splitFractions[1], 1.0, 1e-9);
    net->WritePoint({0.0001, 0.9999}, v, false, true);
    EXPECT_NEAR(n.Share(), 0.0001, 1e-12);
    EXPECT_DOUBLE_EQ(AsHeatExch(n.x1)->getLoad(), 0.0);
    EXPECT_DOUBLE_EQ(AsHeatExch(n.x2)->getLoad(), 200.0);
    net->EndSubNetwork();
    net->EndRun();
}

TEST(OptimiserOnASplitNetwork, MeasuredTemperaturesAreWeightedWhereAWeightIsGiven) {
    SplitNetwork n;
    auto net = DesignOptimiserNetwork::Make(n.d);
    net->BeginRun(7);
    EXPECT_DOUBLE_EQ(net->Objective(), 1.0);
    // X1's hot outlet is at 100 C, X2's cold outlet at 140 C.
    CNode* hotOut = AsHeatExch(n.x1)->getOutlet(0);
    CNode* coldOut = AsHeatExch(n.x2)->getOutlet(1);
    hotOut->addVariable("MeasuredTemperature", 95.0, ValueStatus::Specified);
    hotOut->addVariable("TemperatureWeight", 2.0, ValueStatus::Specified);
    coldOut->addVariable("MeasuredTemperature", 141.0, ValueStatus::Specified);
    coldOut->addVariable("TemperatureWeight", 0.0, ValueStatus::Open);  // a weight without a value
    EXPECT_NEAR(net->Objective(), 1.0 + 2.0 * 25.0 + 1.0, 1e-9);
    // A measurement that is not specified takes no part.
    coldOut->addVariable("MeasuredTemperature", 141.0, ValueStatus::Calculated);
    EXPECT_NEAR(net->Objective(), 51.0, 1e-9);
    net->EndRun();
}

TEST(OptimiserOnASplitNetwork, TheRetrofitModeKeepsAFeasibleNetworkFeasible) {
    SplitNetwork n;
    const int result = n.d->RunOptimizer(3);
    EXPECT_TRUE(result == IHENDesign::OptimiserImproved || result == IHENDesign::OptimiserUnchanged);
    EXPECT_TRUE(n.d->GetInfeasibleHeatExchangers().empty());
    EXPECT_NE(std::string(n.d->GetOptimiserStatusText()), NetworkOptimiser::FailedText);
    EXPECT_NEAR(AsHeatExch(n.x1)->getLoad() + AsHeatExch(n.x2)->getLoad(), 400.0, 1e-6);
}

// A network of two exchangers on a scenario without utilities: the rest of every stream's load
// sits on the stream's utility placeholder, which has no area and no cost. HA 200 -> 100 C (CP 4)
// gives 150 kW to CA 60 -> 160 C (CP 2) and then 100 kW to CB 90 -> 140 C (CP 4); the
// placeholders carry 150 + 50 + 100 = 300 kW.
struct PlaceholderNetwork : DesignScenario {
    PlaceholderNetwork() {
        for (auto [name, supply, target, cp] : {std::tuple{"HA", 200.0, 100.0, 4.0}, std::tuple{"CA", 60.0, 160.0, 2.0},
                                                std::tuple{"CB", 90.0, 140.0, 4.0}})
            Add(name, supply, target, cp)->SetValue("HTCoeff", 0.5, 0);
        d = Design("D1");
        d->Deactivate();
        x1 = d->AddHeatExchanger(NthSegment(*d, "HA", 0), NthSegment(*d, "CA", 0), nullptr, NodeKind::CountercurrentHX, "X1");
        x2 = d->AddHeatExchanger(x1->getIthDownStreamNode(0), NthSegment(*d, "CB", 0), nullptr,
                                 NodeKind::CountercurrentHX, "X2");
        x1->addVariable(NodeValue::Duty, 150.0, ValueStatus::Specified);
        x2->addVariable(NodeValue::Duty, 100.0, ValueStatus::Specified);
        // The inlets take their streams as they come; each outlet keeps its placeholder.
        for (CNode* x : {x1, x2})
            for (int port : {0, 2})
                if (d->CanRemoveUtilityAtPort(x, port)) d->RemoveUtilityAtPort(x, port);
        d->UpdateStreamTerminals();
        d->Activate(1);
    }
    double PlaceholderLoad() const {
        double load = 0.0;
        for (CNode* p : d->GetFlowSheet()->getAllNodesOfType(NodeKind::Heater)) {
            double q = 0.0;
            if (p->getVariableAsDouble(NodeValue::Duty, q)) load += std::fabs(q);
        }
        return load;
    }
    CPIHENDesign* d = nullptr;
    CNode* x1 = nullptr;
    CNode* x2 = nullptr;
};

// Handing a process duty to a placeholder lowers the area and the cost for nothing: the least
// area and the least cost would otherwise be a network that recovers no heat at all. Every move
// of either duty puts heat on a placeholder, so the run keeps the network as it was.
TEST(OptimiserOnAPlaceholderNetwork, NoDutyGoesToThePlaceholders) {
    for (int mode : {0, 1}) {
        PlaceholderNetwork n;
        ASSERT_NEAR(n.PlaceholderLoad(), 300.0, 1e-6);
        const double area = n.d->GetTotalArea();
        ASSERT_GT(area, 0.0);
        n.d->RunOptimizer(mode);
        EXPECT_NEAR(AsHeatExch(n.x1)->getLoad(), 150.0, 150.0 * 1e-5) << "mode " << mode;
        EXPECT_NEAR(AsHeatExch(n.x2)->getLoad(), 100.0, 100.0 * 1e-5) << "mode " << mode;
        EXPECT_LE(n.PlaceholderLoad(), 300.0 * (1 + 1e-5)) << "mode " << mode;
        EXPECT_NEAR(n.d->GetTotalArea(), area, area * 1e-5) << "mode " << mode;
    }
}

// One exchanger between four segments: what the judgement of a state reads of it.
struct PossibleCase {
    const char* what;
    double duty, hotIn, hotOut, coldIn, coldOut;
    bool temperatures, possible;
};
void PrintTo(const PossibleCase& c, std::ostream* os) {
    *os << c.what << (c.possible ? ": possible" : ": not possible");
}

class ExchangerPossibility : public ::testing::TestWithParam<PossibleCase> {};

TEST_P(ExchangerPossibility, NegativeDutiesAndCrossedEndsAreImpossible) {
    const PossibleCase& c = GetParam();
    FlowSheet sheet;
    HeatExch* x = AsHeatExch(sheet.addNode(FlowSheet::CreateNode(NodeKind::HeatExchanger, "E")));
    const int ports[4] = {ExchangerPort::HotSideFeed, ExchangerPort::HotSideProduct, ExchangerPort::ColdSideFeed,
                          ExchangerPort::ColdSideProduct};
    const double t[4] = {c.hotIn, c.hotOut, c.coldIn, c.coldOut};
    for (int k = 0; k < 4; ++k) {
        CNode* segment = sheet.addNode(FlowSheet::CreateNode(NodeKind::MaterialStream, ("S" + std::to_string(k)).c_str()));
        ASSERT_TRUE(sheet.connectToPort(x, ports[k], segment));
        if (c.temperatures) segment->addVariable(NodeValue::Temperature, t[k], ValueStatus::Calculated);
    }
    x->addVariable(NodeValue::Duty, c.duty, ValueStatus::Specified);
    EXPECT_EQ(DesignOptimiserNetwork::IsPhysicallyPossible(*x), c.possible) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    States, ExchangerPossibility,
    ::testing::Values(PossibleCase{"a heater's duty below zero", -20.0, 250, 249, 160, 160, true, false},
                      PossibleCase{"hot inlet colder than the cold outlet", 220.0, 150, 40, 105, 160, true, false},
                      PossibleCase{"hot outlet colder than the cold inlet", 20.0, 130, 99, 100, 105, true, false},
                      PossibleCase{"both ends open, below any approach", 20.0, 130, 100.5, 100, 129.5, true, true},
                      PossibleCase{"no duty passes colder streams by", 0.0, 90, 90, 100, 100, true, true},
                      PossibleCase{"temperatures not known yet", 20.0, 0, 0, 0, 0, false, true}),
    [](const ::testing::TestParamInfo<PossibleCase>& info) { return "Case" + std::to_string(info.index); });

// ---------------------------------------------------------------- the design's seam

TEST(OptimiserSeam, BothVariablesOffIsRefusedByTheCheckAndChangesNothing) {
    SplitNetwork n;
    n.d->SetOptimizeExchangerDuties(false);
    n.d->SetOptimizeSplitFractions(false);
    n.d->RunOptimizerCheck();
    const IOptimiserCheck* check = n.d->GetOptimiserCheck();
    ASSERT_TRUE(check);
    EXPECT_EQ(check->GetSeverity(), 2);
    EXPECT_FALSE(check->CanRun());
    EXPECT_STREQ(check->GetMessage(), OptimiserCheck::Fatal);
    EXPECT_STREQ(check->GetPartMessage(IOptimiserCheck::Options), "You must select at least one optimization variable.");
    EXPECT_EQ(n.d->RunOptimizer(0), IHENDesign::OptimiserUnchanged);
    EXPECT_NEAR(n.Share(), 0.5, 1e-12);
}

TEST(OptimiserSeam, TheScenarioOptimisesACopyAndAFailedRunTakesOnlyItsOwnCopyAway) {
    SplitNetwork n;
    n.d->SetOptimizeExchangerDuties(false);
    EXPECT_EQ(n.scenario->OptimizeDesign(n.d, 0, true), 4);
    CPIHENDesign* copy = n.Design("D1-O");
    ASSERT_TRUE(copy);
    EXPECT_LT(copy->GetTotalArea(), 46.0);
    EXPECT_NEAR(n.d->GetTotalArea(), 48.668, 5e-3);

    // With "D1-O" taken the copy is "D1-O-1"; a run that cannot improve takes only that copy away.
    n.d->SetOptimizeSplitFractions(false);
    EXPECT_EQ(n.scenario->OptimizeDesign(n.d, 0, true), 3);
    IHENDesign* found = nullptr;
    EXPECT_FALSE(n.scenario->GetDesign(CPString("D1-O-1"), found));
    EXPECT_TRUE(n.scenario->GetDesign(CPString("D1-O"), found));
    // Modes other than least area, least cost and the retrofit budget fail.
    n.d->SetOptimizeSplitFractions(true);
    EXPECT_EQ(n.scenario->OptimizeDesign(n.d, 2, false), 3);
}

}  // namespace
