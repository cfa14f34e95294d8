// Removing the utilities at many exchanger ports in one call must leave the network exactly as
// asking CanRemoveUtilityAtPort and calling RemoveUtilityAtPort port by port does: the same
// chains, the same freedom, the same number removed. The networks are random, with duties,
// areas and segment temperatures given so that the freedom runs out and later ports are refused.
#include "DesignTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace design_test;

namespace {

struct BatchCase {
    const char* name;
    unsigned seed;
    int exchangers;
    int specifyEvery;     // every k-th exchanger gets a duty (and every 2k-th also an area)
    int temperatureEvery; // every k-th segment temperature is given; 0 none
    bool active;          // the design recalculates after each removal
};

std::ostream& operator<<(std::ostream& out, const BatchCase& c) { return out << c.name; }

// A random network; the same seed gives the same network in another scenario.
struct Network : RandomDesignScenario {
    explicit Network(const BatchCase& c) : RandomDesignScenario(6, c.seed) {
        for (int attempt = 0; attempt < 4000 && d->GetNumberOfHeatExchangers() < c.exchangers; ++attempt) {
            CNode* a = AnySegment(AnyStream());
            CNode* b = AnySegment(AnyStream());
            if (d->CanMatchStreams(a, b)) d->AddHeatExchanger(a, b, "batch", nullptr, nullptr);
        }
        if (!c.active) d->Deactivate();
        CNode* x = nullptr;
        for (int k = 0; d->GetHeatExchanger(k, x); ++k) {
            if (k % c.specifyEvery == 0) d->SpecifyExchangerValue(x, NodeValue::Duty, 5.0 + k);
            if (k % (2 * c.specifyEvery) == 0) d->SpecifyExchangerValue(x, NodeValue::HTArea, 3.0 + k);
        }
        if (c.temperatureEvery > 0)
            for (int k = 0; k < d->GetNumberOfNodes(); k += c.temperatureEvery) {
                CNode* n = d->GetNodeByIndex(k);
                if (Letter(n) == "s") n->addVariable(NodeValue::Temperature, 100.0 + k, ValueStatus::Specified);
            }
    }
    std::vector<std::pair<CNode*, int>> EveryPort() const {
        std::vector<std::pair<CNode*, int>> ports;
        CNode* x = nullptr;
        for (int k = 0; d->GetHeatExchanger(k, x); ++k)
            for (int port = 0; port < 4; ++port) ports.emplace_back(x, port);
        return ports;
    }
    std::string Chains() const {
        std::string out;
        for (int i = 0; i < d->GetNumberOfStreams(); ++i) out += Chain(*d, d->GetStream(i)->GetName()) + "\n";
        return out;
    }
};

class PortUtilitiesBatch : public ::testing::TestWithParam<BatchCase> {};

}  // namespace

TEST_P(PortUtilitiesBatch, LeavesTheNetworkAsPortByPortRemovalDoes) {
    Network one(GetParam()), batch(GetParam());
    ASSERT_EQ(one.Chains(), batch.Chains());
    ASSERT_EQ(one.d->GetDegreesOfFreedom(), batch.d->GetDegreesOfFreedom());
    int removed = 0, refused = 0;
    for (const auto& [x, port] : one.EveryPort()) {
        if (one.d->IsPortFreeOfUtility(x, port)) continue;
        if (one.d->CanRemoveUtilityAtPort(x, port) && one.d->RemoveUtilityAtPort(x, port)) ++removed;
        else ++refused;
    }
    // The case is a test of the count only when some ports lose their utility and some keep it.
    ASSERT_GT(removed, 0);
    ASSERT_GT(refused, 0);
    EXPECT_EQ(removed, batch.d->RemoveUtilitiesAtPorts(batch.EveryPort()));
    EXPECT_EQ(one.Chains(), batch.Chains());
    EXPECT_EQ(one.d->GetDegreesOfFreedom(), batch.d->GetDegreesOfFreedom());
    EXPECT_EQ(StructuralFault(*batch.d), "");
}

INSTANTIATE_TEST_SUITE_P(
    Networks, PortUtilitiesBatch,
    ::testing::Values(BatchCase{"DutiesOnEverySecondExchanger", 7u, 30, 2, 0, false},
                      BatchCase{"DutiesOnEveryExchanger", 11u, 30, 1, 0, false},
                      BatchCase{"GivenSegmentTemperatures", 5u, 30, 2, 3, false},
                      BatchCase{"WhileTheDesignCalculates", 7u, 20, 2, 0, true}),
    [](const ::testing::TestParamInfo<BatchCase>& info) { return std::string(info.param.name); });

// "May the utility at this port go?" answers what the removal then leaves: yes exactly when the
// two segments it joins are not both given and the network keeps at least 0 degrees of freedom
// without the port's own segment. The ports are taken in turn, each removed where the answer is
// yes; where it is no, a fresh copy of the network with the same removals made shows what the
// removal would have left.
class PortUtilityRemovalAnswer : public ::testing::TestWithParam<BatchCase> {};

TEST_P(PortUtilityRemovalAnswer, IsWhatTheRemovalLeaves) {
    Network n(GetParam());
    const std::vector<std::pair<CNode*, int>> ports = n.EveryPort();
    std::vector<std::size_t> removed;
    int refused = 0;
    const auto removeAt = [](Network& net, std::size_t i) {
        const auto [x, port] = net.EveryPort()[i];
        return net.d->RemoveUtilityAtPort(x, port);
    };
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const auto [x, port] = ports[i];
        if (n.d->IsPortFreeOfUtility(x, port)) continue;
        SCOPED_TRACE(::testing::Message() << "exchanger " << x->getName() << " port " << port);
        HeatExch* hx = AsHeatExch(x);
        CNode* own = port % 2 == 0 ? hx->getInlet(port / 2) : hx->getOutlet(port / 2);
        CNode* placeholder = port % 2 == 0 ? chain::Before(own) : chain::After(own);
        CNode* other = port % 2 == 0 ? chain::Before(placeholder) : chain::After(placeholder);
        const bool bothGiven = own->getVariableStatus(NodeValue::Temperature) == ValueStatus::Specified &&
                               other->getVariableStatus(NodeValue::Temperature) == ValueStatus::Specified;
        const std::string before = n.Chains();
        const bool may = n.d->CanRemoveUtilityAtPort(x, port);
        ASSERT_EQ(before, n.Chains()) << "the trial puts the chain back";
        if (may) {
            ASSERT_TRUE(n.d->RemoveUtilityAtPort(x, port));
            EXPECT_GE(n.d->GetDegreesOfFreedom(), 0);
            removed.push_back(i);
            continue;
        }
        ++refused;
        if (bothGiven) continue;
        Network copy(GetParam());
        for (std::size_t k : removed) ASSERT_TRUE(removeAt(copy, k));
        ASSERT_EQ(before, copy.Chains());
        ASSERT_TRUE(removeAt(copy, i));
        EXPECT_LT(copy.d->GetDegreesOfFreedom(), 0) << "refused, yet the removal leaves the network specified";
    }
    // The case tests the answer only when it is yes for some ports and no for others.
    EXPECT_GT(removed.size(), 0u);
    EXPECT_GT(refused, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Networks, PortUtilityRemovalAnswer,
    ::testing::Values(BatchCase{"DutiesOnEverySecondExchanger", 7u, 12, 2, 0, false},
                      BatchCase{"GivenSegmentTemperatures", 5u, 12, 2, 3, false},
                      BatchCase{"DutiesAndAreasEverywhere", 11u, 12, 1, 4, false}),
    [](const ::testing::TestParamInfo<BatchCase>& info) { return std::string(info.param.name); });
