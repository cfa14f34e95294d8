// End to end through the scenario: the four-stream problem (H1 170 -> 60 CP 3, H2 150 -> 30
// CP 1.5, C1 20 -> 135 CP 2, C2 80 -> 140 CP 4, DTmin 10; pinch at 90/80, minimum hot utility
// 20 kW, minimum cold utility 60 kW) with the four process exchangers of its textbook
// minimum-energy design placed by hand: above the pinch E1 H1-C2 240 kW and E2 H2-C1 90 kW, below
// it E3 H1-C1 90 kW and E4 H2-C1 30 kW. C1 is left 20 kW short and H2 60 kW; a heater and a cooler
// go where those remainders stand.
#include "DesignTestSupport.h"

#include <gtest/gtest.h>

using namespace design_test;

namespace {
CNode* Neighbour(const CPIHENDesign& d, const std::string& stream, CNode* unit, int step) {
    const std::vector<CNode*> nodes = ChainNodes(d, stream);
    for (std::size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i] == unit) {
            const long j = static_cast<long>(i) + step;
            return j >= 0 && j < static_cast<long>(nodes.size()) ? nodes[static_cast<std::size_t>(j)] : nullptr;
        }
    return nullptr;
}

double DutyOf(const CNode* x) {
    double q = 0.0;
    return x->getVariableAsDouble(NodeValue::Duty, q) ? q : 0.0;
}
}  // namespace

TEST(HENDesignFourStreams, TheMinimumEnergyDesignGetsItsHeaterAndCoolerAndReachesTheTargets) {
    DesignScenario s;
    s.Add("H1", 170, 60, 3.0);
    s.Add("H2", 150, 30, 1.5);
    s.Add("C1", 20, 135, 2.0);
    s.Add("C2", 80, 140, 4.0);
    s.Add("ST", 250, 249, 0.5, 1);
    s.Add("CW", 15, 25, 0.1, 1);
    s.scenario->SetDTmin(10.0);
    CPIHENDesign* d = s.Design("D1");
    ASSERT_TRUE(d);

    // Placed along the streams in the order the heat flows: H1 E1 then E3, H2 E2 then E4, C1 E4,
    // E3, E2. Only the two duties below the pinch on H2 and above it on C1 are given; the rest
    // follow from the stream ends.
    CNode* e1 = d->AddHeatExchanger(NthSegment(*d, "H1", 0), NthSegment(*d, "C2", 0), "by hand", nullptr, "E1");
    CNode* e2 = d->AddHeatExchanger(NthSegment(*d, "H2", 0), NthSegment(*d, "C1", 0), "by hand", nullptr, "E2");
    ASSERT_TRUE(e1 && e2);
    CNode* e3 = d->AddHeatExchanger(Neighbour(*d, "H1", e1, 1), Neighbour(*d, "C1", e2, -1), "by hand", nullptr, "E3");
    ASSERT_TRUE(e3);
    CNode* e4 = d->AddHeatExchanger(Neighbour(*d, "H2", e2, 1), Neighbour(*d, "C1", e3, -1), "by hand", nullptr, "E4");
    ASSERT_TRUE(e4);
    e2->addVariable(NodeValue::Duty, 90.0, ValueStatus::Specified);
    e4->addVariable(NodeValue::Duty, 30.0, ValueStatus::Specified);
    // The exchangers are tied to each other; only the stream ends where the design needs
    // utilities keep one (after E2 on C1, after E4 on H2).
    for (CNode* x : {e1, e2, e3, e4})
        for (int port = 0; port < 4; ++port)
            if (!(x == e2 && port == 3) && !(x == e4 && port == 1)) {
                ASSERT_TRUE(d->RemoveUtilityAtPort(x, port));
            }
    ASSERT_EQ(Chain(*d, "H1"), "FsXsXsE");
    ASSERT_EQ(Chain(*d, "H2"), "FsXsXsPsE");
    ASSERT_EQ(Chain(*d, "C1"), "FsXsXsXsPsE");
    EXPECT_EQ(d->GetDegreesOfFreedom(), 0);
    EXPECT_NEAR(DutyOf(e1), 240.0, 1e-6);
    EXPECT_NEAR(DutyOf(e3), 90.0, 1e-6);
    EXPECT_EQ(d->GetNumberOfUnsatisfiedProcessStreams(), 2);
    EXPECT_FALSE(d->AreExchangerPortsFreeOfUtilities());

    // A heater on the process stream whose end utility carries heat in, a cooler where it carries
    // heat out; their ports are then freed of the utilities the edit placed beside them.
    int added = 0;
    for (int i = 0; i < d->GetNumberOfProcessStreams(); ++i) {
        IHeatIntegrationStream* stream = d->GetProcessStream(i);
        CNode* last = d->GetNodeByName(stream->GetName() + "End")->getIthUpStreamNode(0);
        if (!d->HasSignificantUtilityDuty(last)) continue;
        CNode* unit = stream->GetHotCold() == 1
                          ? d->AddHeatExchanger(NthSegment(*d, "ST", 0), last, "for the remainder", nullptr, nullptr)
                          : d->AddHeatExchanger(last, NthSegment(*d, "CW", 0), "for the remainder", nullptr, nullptr);
        ASSERT_TRUE(unit) << stream->GetName();
        ++added;
    }
    EXPECT_EQ(added, 2);
    ASSERT_EQ(d->GetNumberOfHeaters(), 1);
    ASSERT_EQ(d->GetNumberOfCoolers(), 1);
    for (CNode* unit : {d->GetHeater(0), d->GetCooler(0)})
        for (int port = 0; port < 4; ++port)
            if (d->CanRemoveUtilityAtPort(unit, port)) d->RemoveUtilityAtPort(unit, port);
    EXPECT_TRUE(d->AreExchangerPortsFreeOfUtilities());
    EXPECT_EQ(Chain(*d, "C1"), "FsXsXsXsXsE");
    EXPECT_EQ(Chain(*d, "H2"), "FsXsXsXsE");
    d->UpdateStreamTerminals();
    d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);

    EXPECT_NEAR(d->GetTotalUtilityLoad(0), 20.0, 1e-6);
    EXPECT_NEAR(d->GetTotalUtilityLoad(1), 60.0, 1e-6);
    EXPECT_NEAR(d->GetTotalUtilityLoad(0), s.scenario->GetUtilityTarget(0), 1e-6);
    EXPECT_NEAR(d->GetTotalUtilityLoad(1), s.scenario->GetUtilityTarget(1), 1e-6);
    EXPECT_NEAR(DutyOf(d->GetHeater(0)), 20.0, 1e-6);
    EXPECT_NEAR(DutyOf(d->GetCooler(0)), 60.0, 1e-6);
    EXPECT_EQ(d->GetNumberOfUnsatisfiedProcessStreams(), 0);
    EXPECT_TRUE(d->GetInfeasibleHeatExchangers().empty());
    EXPECT_EQ(d->GetNumberOfIncompleteHeatExchangers(false), 0);
    EXPECT_TRUE(d->AreStreamTerminalsReady());
    // E1 and E3 touch the pinch: the network's smallest approach is the scenario's 10.
    d->SetDTMinFromNetwork();
    EXPECT_NEAR(d->GetDTMin(), 10.0, 1e-9);
    d->ApplyDTMinToAllExchangers();
    d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    EXPECT_TRUE(d->GetInfeasibleHeatExchangers().empty());
    // A feasible network keeps its duties.
    d->MakeNetworkFeasible(nullptr);
    EXPECT_NEAR(DutyOf(e2), 90.0, 1e-9);
    EXPECT_NEAR(DutyOf(e4), 30.0, 1e-9);
    EXPECT_NEAR(d->GetMaximumMatchDuty(d->GetHeater(0)), 230.0, 1e-9);
    EXPECT_NEAR(d->GetMaximumMatchDuty(e1), 240.0, 1e-9);
    EXPECT_EQ(StructuralFault(*d), "");
}
