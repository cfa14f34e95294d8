// The optimiser's trials recalculate only the streams a change of the point reaches: on a real
// design of 40 exchangers over 24 streams (its stream ends at placeholders, or matched with steam
// and cooling water), a trial that moves one free duty calculates a fraction of the units a whole
// recalculation does and leaves every duty, area and temperature where a whole recalculation puts
// them; and a point judged after a run of other points gives what it gave when judged fresh. On the same
// design each utility's chain of heaters or coolers is solved from its supply end at the flow its duties make.
#include "bench/DesignBenchSupport.h"
#include "eng/autodesign/DesignOptimiserNetwork.h"
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr int kRecalculate = 17;

// Every duty, area and temperature of the design, node by node (NaN where not known).
std::vector<double> Values(CPIHENDesign& d) {
    std::vector<double> out;
    for (CNode* node : d.GetFlowSheet()->getAllNodes())
        for (const char* name : {NodeValue::Duty, NodeValue::HTArea, NodeValue::Temperature}) {
            double v = std::nan("");
            if (node->hasVariable(name)) node->getVariableAsDouble(name, v);
            out.push_back(v);
        }
    return out;
}

// The positions where a and b differ by more than `relative` of the larger (and 1e-12 absolute).
std::vector<std::size_t> Differences(const std::vector<double>& a, const std::vector<double>& b, double relative) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (std::isnan(a[i]) || std::isnan(b[i])) {
            if (std::isnan(a[i]) != std::isnan(b[i])) out.push_back(i);
            continue;
        }
        if (std::fabs(a[i] - b[i]) > std::max(1e-12, relative * std::max(std::fabs(a[i]), std::fabs(b[i]))))
            out.push_back(i);
    }
    if (a.size() != b.size()) out.push_back(std::min(a.size(), b.size()));
    return out;
}

struct TrialNetwork {
    explicit TrialNetwork(bool utilities) {
        AlternatingStreams table;
        table.filmCoefficient = 1.0;
        scenario = MakeAlternatingScenario(table);
        d = MakeDesign(*scenario, "D");
        BuildRandomDutyNetwork(*d, 40);
        if (utilities) MatchPlaceholdersWithUtilities(*scenario, *d);
        network = std::make_unique<DesignOptimiserNetwork>(*d);
        network->BeginRun(0);
        network->FreeSurplusUtilityDuties();
        network->BeginSubNetwork(0, false, variables);
        selected = network->SelectFreeExchangers(variables);
        point.assign(static_cast<std::size_t>(variables.DutyCount()), 1.0);
    }
    ~TrialNetwork() {
        if (network) network->EndRun();
    }
    // Writes the point and lets the optimiser's network recalculate it; answers the unit
    // calculations it took.
    long Trial(const std::vector<double>& p) {
        network->WritePoint(p, variables, true, false);
        const long before = d->UnitCalculations();
        network->Recalculate();
        return d->UnitCalculations() - before;
    }
    // Forgets every result and recalculates the whole network as the design does.
    long Whole() {
        const std::vector<CNode*> units = d->GetFlowSheet()->getAllNodes();
        std::vector<CNode*> flagged;
        d->CollectFlaggedExchangers(units, flagged);
        const long before = d->UnitCalculations();
        d->ClearUnitResults(units);
        d->PropagateUnitValues(units, flagged, kRecalculate);
        d->UpdateUtilityLoads();
        return d->UnitCalculations() - before;
    }
    std::unique_ptr<CPIScenario> scenario;
    CPIHENDesign* d = nullptr;
    std::unique_ptr<DesignOptimiserNetwork> network;
    SearchVariables variables;
    int selected = 0;
    std::vector<double> point;
};

class OptimiserTrialRegion : public ::testing::TestWithParam<bool> {};

TEST_P(OptimiserTrialRegion, OneMovedDutyRecalculatesItsStreamsAsTheWholeNetworkWould) {
    TrialNetwork n(GetParam());
    ASSERT_EQ(n.selected, 4);
    ASSERT_GE(n.variables.DutyCount(), 10);
    n.Trial(n.point);
    const long whole = n.Whole();
    const std::vector<double> start = Values(*n.d);
    const std::size_t count = n.point.size();
    for (std::size_t j : {std::size_t{0}, count / 2, count - 1}) {
        SCOPED_TRACE("free exchanger " + std::to_string(j));
        std::vector<double> p = n.point;
        p[j] = 0.97;
        const long calculated = n.Trial(p);
        const std::vector<double> trial = Values(*n.d);
        // The move reaches the values: the check below compares something that changed.
        EXPECT_GT(Differences(start, trial, 1e-6).size(), 3u);
        EXPECT_GT(calculated, 0);
        EXPECT_LT(calculated * 3, whole);
        n.Whole();
        EXPECT_TRUE(Differences(trial, Values(*n.d), 1e-9).empty());
        // Back to the start for the next exchanger.
        n.Trial(n.point);
        EXPECT_TRUE(Differences(start, Values(*n.d), 1e-9).empty());
    }
    // No trial had to be recalculated whole after its region left something unsolved.
    EXPECT_GE(n.network->RegionalTrials(), 6);
    EXPECT_EQ(n.network->RegionalTrialsRedone(), 0);
}

TEST_P(OptimiserTrialRegion, APointGivesWhatItGaveFreshAfterARunOfOtherPoints) {
    TrialNetwork n(GetParam());
    ASSERT_EQ(n.selected, 4);
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> factor(0.9, 1.05);
    std::vector<double> p = n.point;
    for (double& x : p) x = factor(rng);
    n.Trial(p);
    n.Whole();
    const std::vector<double> fresh = Values(*n.d);
    // The run starts from another point calculated whole, so that no value of P is left over.
    std::vector<double> q = p;
    for (double& x : q) x *= factor(rng);
    n.Trial(q);
    n.Whole();
    std::uniform_int_distribution<std::size_t> pick(0, q.size() - 1);
    for (int step = 0; step < 30; ++step) {
        // Mostly one or two coordinates, as the refinement moves them; now and then all of them,
        // as the simplex does.
        if (step % 7 == 6)
            for (double& x : q) x *= factor(rng);
        else
            for (int k = 0; k <= step % 2; ++k) q[pick(rng)] = factor(rng);
        n.Trial(q);
    }
    // Back to the point one coordinate at a time, as the refinement walks.
    for (std::size_t j = 0; j < q.size(); ++j)
        if (q[j] != p[j]) {
            q[j] = p[j];
            n.Trial(q);
        }
    EXPECT_TRUE(Differences(fresh, Values(*n.d), 1e-9).empty());
    EXPECT_EQ(n.network->RegionalTrialsRedone(), 0);
}

// A point the searches judge infeasible (a free duty far beyond what its streams carry, so that
// other duties run negative and exchangers fail) leaves the network partly unsolved; the trial is
// still judged over its region, widened over what it left unsolved, and so is the trial that
// follows it: both leave every value where a whole recalculation puts it.
TEST_P(OptimiserTrialRegion, TrialsAfterAnUnsolvedPointStayWithinTheirRegions) {
    TrialNetwork n(GetParam());
    ASSERT_EQ(n.selected, 4);
    n.Trial(n.point);
    const std::vector<double> start = Values(*n.d);
    for (std::size_t j : {std::size_t{0}, n.point.size() - 1}) {
        SCOPED_TRACE("free exchanger " + std::to_string(j));
        std::vector<double> p = n.point;
        p[j] = -2.0;
        const long trials = n.network->RegionalTrials();
        n.Trial(p);
        EXPECT_EQ(n.network->RegionalTrials(), trials + 1);
        ASSERT_FALSE(n.network->GetUnsolvedCount() == 0 &&
                     DesignOptimiserNetworkRegion::AllCalculated(n.d->GetFlowSheet()->getAllNodes()));
        const std::vector<double> unsolved = Values(*n.d);
        n.Whole();
        EXPECT_TRUE(Differences(unsolved, Values(*n.d), 1e-9).empty());
        // Back to the start: the trial after the unsolved one is judged over its region too.
        n.Trial(n.point);
        EXPECT_EQ(n.network->RegionalTrials(), trials + 2);
        EXPECT_TRUE(Differences(start, Values(*n.d), 1e-9).empty());
        n.Whole();
        EXPECT_TRUE(Differences(start, Values(*n.d), 1e-9).empty());
    }
    EXPECT_EQ(n.network->RegionalTrialsRedone(), 0);
}

// Walks a utility from its feed block to its product block and checks that each exchanger on it
// gives the utility what its duty says at the flow the design's load of the utility makes
// (load over the utility's range), so that its temperatures run one way, from the supply end
// to the target end, as a chain solved from one end does.
void ExpectChainFollowsDuties(CPIHENDesign& d, const std::string& utility, double supply, double target) {
    SCOPED_TRACE(utility);
    const double flow = d.GetUtilityLoad(CPString(utility.c_str())) / std::fabs(target - supply);
    ASSERT_GT(flow, 0.0);
    const double direction = target > supply ? 1.0 : -1.0;
    CNode* node = d.GetFlowSheet()->getNode(CPString((utility + "Start").c_str()));
    CNode* from = nullptr;
    double last = supply;
    int exchangers = 0;
    for (int guard = 0; node && guard < 1000; ++guard) {
        CNode* next = nullptr;
        double t = 0.0;
        if (HeatExch* x = node->asHeatExch()) {
            ++exchangers;
            double duty = 0.0, in = 0.0, out = 0.0;
            for (int side = 0; side < 2; ++side)
                if (x->getInlet(side) == from) next = x->getOutlet(side);
            ASSERT_TRUE(next);
            ASSERT_TRUE(x->getVariableAsDouble(NodeValue::Duty, duty));
            ASSERT_TRUE(from->getVariableAsDouble(NodeValue::Temperature, in));
            ASSERT_TRUE(next->getVariableAsDouble(NodeValue::Temperature, out));
            EXPECT_EQ(x->getStatus(), ExchangerStatus::Calculated) << node->getName().c_str();
            EXPECT_NEAR(direction * (out - in) * flow, duty, 1e-6 * duty) << node->getName().c_str();
        } else {
            if (node->getVariableAsDouble(NodeValue::Temperature, t)) {
                EXPECT_GE(direction * (t - last), -1e-9) << node->getName().c_str();
                last = t;
            }
            next = node->getNumberOfDownStreamSlots() > 0 ? node->getIthDownStreamNode(0) : nullptr;
        }
        from = node;
        node = next;
    }
    EXPECT_GE(exchangers, 10);
    EXPECT_NEAR(last, target, 1e-9);
}

// Cooling water (10 -> 15 C) and steam (270 -> 269 C) each pass a dozen heaters or coolers of given
// duties in series, then a placeholder before the product block; the utility's flow is the sum of
// the duties over its range, so the chain reaches its target with nothing left for the placeholder.
// The check runs after a whole recalculation, and after a trial that moved the free duties.
class UtilityChain : public ::testing::TestWithParam<bool> {};

TEST_P(UtilityChain, TemperaturesFollowTheDutiesFromTheSupplyEnd) {
    TrialNetwork n(true);
    if (GetParam()) {
        std::vector<double> p = n.point;
        for (double& x : p) x = 0.97;
        n.Trial(p);
    } else {
        n.Whole();
    }
    ExpectChainFollowsDuties(*n.d, "CW", 10.0, 15.0);
    ExpectChainFollowsDuties(*n.d, "ST", 270.0, 269.0);
}

INSTANTIATE_TEST_SUITE_P(Recalculations, UtilityChain, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "TrialOfMovedDuties" : "WholeNetwork";
                         });

INSTANTIATE_TEST_SUITE_P(StreamEnds, OptimiserTrialRegion, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "MatchedWithUtilities" : "AtPlaceholders";
                         });

}  // namespace
