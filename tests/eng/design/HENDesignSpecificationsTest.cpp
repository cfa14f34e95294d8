// Exchanger specifications and feasibility: lowering a duty until the network is feasible (the
// 10 % steps, the limit of 15 reductions and the 5 kW floor), the minimum approach taken from the
// network, the largest duty of a match, the node fingerprints by index and the dummy count.
#include "DesignTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace design_test;

namespace {

// H (200 -> 50, CP 1) heats C (100 -> 120, CP 10) in X, both inlets at the stream supplies:
// at duty D the approaches are 100 - D and 100 - D / 10, so with an approach of at least 25 the
// exchanger is feasible at 75 kW or below. Y (H on C2) and Z (H2 on C) keep both streams of X
// from being X's alone.
struct FeasibilityNetwork : DesignScenario {
    explicit FeasibilityNetwork(bool alone = false) {
        Add("H", 200, 50, 1.0);
        Add("C", 100, 120, 10.0);
        Add("C2", 20, 30, 1.0);
        Add("H2", 300, 290, 1.0);
        scenario->SetDTmin(10.0);
        d = Design("D1");
        x = d->AddHeatExchanger(NthSegment(*d, "H", 0), NthSegment(*d, "C", 0), nullptr, nullptr, "X");
        if (!alone) {
            y = d->AddHeatExchanger(After("H", x), NthSegment(*d, "C2", 0), nullptr, nullptr, "Y");
            z = d->AddHeatExchanger(NthSegment(*d, "H2", 0), After("C", x), nullptr, nullptr, "Z");
        }
        d->RemoveUtilityAtPort(x, 0);
        d->RemoveUtilityAtPort(x, 2);
        d->AddNotificationReceiver(&view);
        // Every recalculation ends with code 85: the duty X carried in it is kept.
        view.onChange = [this](int code, const CPString&) {
            double duty = 0.0;
            if (code == CPIHENDesign::CodeUpToDate && x->getVariableAsDouble(NodeValue::Duty, duty) &&
                (written.empty() || std::fabs(written.back() - duty) > 1e-9))
                written.push_back(duty);
        };
    }
    ~FeasibilityNetwork() {
        if (d) d->RemoveNotificationReceiver(&view);
    }
    CNode* After(const std::string& stream, CNode* unit) {
        const std::vector<CNode*> nodes = ChainNodes(*d, stream);
        for (std::size_t i = 0; i + 1 < nodes.size(); ++i)
            if (nodes[i] == unit) return nodes[i + 1];
        return nullptr;
    }
    void SetDuty(double duty) {
        x->addVariable(NodeValue::Duty, duty, ValueStatus::Specified);
        d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
        written.clear();
    }
    double Duty() const {
        double duty = 0.0;
        x->getVariableAsDouble(NodeValue::Duty, duty);
        return duty;
    }
    CPIHENDesign* d = nullptr;
    CNode *x = nullptr, *y = nullptr, *z = nullptr;
    Listener view;
    std::vector<double> written;
};

}  // namespace

TEST(HENDesignSpecifications, LoweringADutyStepsByTenPercentWithinFifteenReductionsAndNotBelowFiveKilowatts) {
    const struct {
        double approach, start;
        std::vector<double> written;
        double final;
    } cases[] = {
        // Feasible from 72.9 on: the duty ends one step below the last one tried.
        {25.0, 100.0, {100.0, 90.0, 81.0, 72.9, 65.61}, 65.61},
        // Never feasible: 15 reductions, then the floor.
        {500.0, 100.0, {}, 5.0},
        // Below 5 kW the search stops at once.
        {500.0, 6.0, {6.0, 5.4, 5.0}, 5.0},
    };
    for (const auto& c : cases) {
        FeasibilityNetwork n;
        n.x->addVariable(NodeValue::DTMin, c.approach, ValueStatus::Specified);
        n.SetDuty(c.start);
        ASSERT_FALSE(n.d->GetInfeasibleHeatExchangers().empty());
        n.d->MakeNetworkFeasible(n.x);
        if (!c.written.empty()) {
            ASSERT_EQ(n.written.size(), c.written.size()) << c.start;
            for (std::size_t i = 0; i < c.written.size(); ++i) EXPECT_NEAR(n.written[i], c.written[i], 1e-9) << i;
        } else {
            // 15 written duties 100 x 0.9^k, then 5.0.
            ASSERT_EQ(n.written.size(), 16u);
            EXPECT_NEAR(n.written[14], 100.0 * std::pow(0.9, 14), 1e-9);
            EXPECT_NEAR(n.written[15], 5.0, 1e-12);
        }
        EXPECT_NEAR(n.Duty(), c.final, 1e-9);
        EXPECT_EQ(n.x->getVariableStatus(NodeValue::Duty), ValueStatus::Specified);
        EXPECT_EQ(n.d->GetInfeasibleHeatExchangers().empty(), c.approach < 100.0);
    }
}

TEST(HENDesignSpecifications, AnExchangerAloneOnAStreamHasItsDutyClearedAndUtilitiesAreLeftAlone) {
    FeasibilityNetwork n(true);
    n.x->addVariable(NodeValue::DTMin, 25.0, ValueStatus::Specified);
    n.SetDuty(100.0);
    n.d->MakeNetworkFeasible(n.x);
    EXPECT_EQ(n.x->getVariableStatus(NodeValue::Duty), ValueStatus::Open);
}

TEST(HENDesignSpecifications, NewExchangersThatStayInfeasibleGetTheirDutiesBack) {
    FeasibilityNetwork n;
    n.x->addVariable(NodeValue::DTMin, 500.0, ValueStatus::Specified);
    n.SetDuty(100.0);
    n.d->MakeNetworkFeasible(nullptr);
    EXPECT_NEAR(n.Duty(), 100.0, 1e-12);
    // 15 reductions in all: 100 down to 100 x 0.9^14, then back.
    ASSERT_FALSE(n.written.empty());
    EXPECT_NEAR(n.written.back(), 100.0, 1e-12);
    EXPECT_LE(n.written.size(), 17u);

    FeasibilityNetwork m;
    m.x->addVariable(NodeValue::DTMin, 25.0, ValueStatus::Specified);
    m.SetDuty(100.0);
    m.d->MakeNetworkFeasible(nullptr);
    EXPECT_TRUE(m.d->GetInfeasibleHeatExchangers().empty());
    EXPECT_NEAR(m.Duty(), 72.9, 1e-9);
}

// In a copy of the retrofit base, a unit of the base renamed by the user is still one of the
// existing network's, which making the network feasible leaves at its duty.
TEST(HENDesignSpecifications, AnExistingUnitRenamedInACopyIsNoNewExchanger) {
    FeasibilityNetwork n;
    ASSERT_EQ(1, n.scenario->CloneDesign("D2", n.d));
    n.scenario->SetRetrofitBaseDesign("D1");
    CPIHENDesign* copy = n.Design("D2");
    ASSERT_NE(nullptr, copy);
    CNode* x = copy->GetFlowSheet()->getNodeByFingerPrint(n.x->getDNAFingerPrint());
    ASSERT_NE(nullptr, x);
    ASSERT_EQ(1, copy->RenameUnit("Main", x));
    x->addVariable(NodeValue::DTMin, 25.0, ValueStatus::Specified);
    x->addVariable(NodeValue::Duty, 100.0, ValueStatus::Specified);
    copy->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    copy->MakeNetworkFeasible(nullptr);
    double duty = 0.0;
    ASSERT_TRUE(x->getVariableAsDouble(NodeValue::Duty, duty));
    EXPECT_DOUBLE_EQ(100.0, duty);
}

TEST(HENDesignSpecifications, TheMinimumApproachComesFromTheScenarioTheNetworkAndAThousand) {
    FeasibilityNetwork n;
    // Nothing calculated: the scenario's value (below 1000) holds.
    n.scenario->SetDTmin(15.0);
    n.d->SetDTMinFromNetwork();
    EXPECT_DOUBLE_EQ(n.d->GetDTMin(), 15.0);
    n.scenario->SetDTmin(2000.0);
    n.d->SetDTMinFromNetwork();
    EXPECT_DOUBLE_EQ(n.d->GetDTMin(), 1000.0);
    // At 50 kW X's approach is min(100 - 50, 100 - 5) = 50.
    n.SetDuty(50.0);
    n.scenario->SetDTmin(60.0);
    n.d->SetDTMinFromNetwork();
    EXPECT_NEAR(n.d->GetDTMin(), 50.0, 1e-9);
    double dtMin = 0.0;
    ASSERT_TRUE(n.x->getVariableAsDouble(NodeValue::DTMin, dtMin));
    EXPECT_NEAR(dtMin, 50.0, 1e-9);
    // The scenario's 60 is above X's approach: X takes the value given; at 15 it takes 15.
    n.d->SetExchangerDTMinsFromApproach(7.0);
    n.x->getVariableAsDouble(NodeValue::DTMin, dtMin);
    EXPECT_DOUBLE_EQ(dtMin, 7.0);
    n.scenario->SetDTmin(15.0);
    n.d->SetExchangerDTMinsFromApproach(7.0);
    n.x->getVariableAsDouble(NodeValue::DTMin, dtMin);
    EXPECT_DOUBLE_EQ(dtMin, 15.0);
}

TEST(HENDesignSpecifications, TheLargestMatchDutyIsTheSmallerStreamLoadOrTheNoLimitValue) {
    FeasibilityNetwork n;
    EXPECT_DOUBLE_EQ(n.d->GetMaximumMatchDuty(n.x), 150.0);  // H 150 kW, C 200 kW
    EXPECT_DOUBLE_EQ(n.d->GetMaximumMatchDuty(n.y), 10.0);   // C2 10 kW
    EXPECT_DOUBLE_EQ(n.d->GetMaximumMatchDuty(nullptr), 100000.0);
    EXPECT_DOUBLE_EQ(n.d->GetMaximumMatchDuty(NthSegment(*n.d, "H", 0)), 100000.0);
}

TEST(HENDesignSpecifications, TheNamedExchangerLosesOneKilowattAndTheDummiesAreCountedByName) {
    FeasibilityNetwork n;
    n.SetDuty(50.0);
    n.d->SetStoredTextB("X");
    n.d->LowerNamedExchangerDuty();
    EXPECT_NEAR(n.Duty(), 49.0, 1e-12);
    // Below 1 kW it stops at nothing rather than going negative.
    n.SetDuty(0.4);
    n.d->LowerNamedExchangerDuty();
    EXPECT_EQ(n.Duty(), 0.0);
    EXPECT_EQ(n.d->GetNumberOfIgnoredDummyUtilities(), 0);
    // The extraction names its dummies so; a user's rename may not.
    EXPECT_EQ(n.d->RenameUnit("X_DummyHtrIgnore", n.y), 0);
    EXPECT_EQ(n.d->GetNumberOfIgnoredDummyUtilities(), 0);
    n.y->addVariable(NodeValue::UnitOperationName, CPString("X_DummyHtrIgnore"), ValueStatus::Specified);
    n.z->addVariable(NodeValue::UnitOperationName, CPString("X_DummyClrIgnore"), ValueStatus::Specified);
    EXPECT_EQ(n.d->GetNumberOfIgnoredDummyUtilities(), 2);
}

// A case written while names could still repeat may hold two units of the retrofit's name: the one
// added last is the retrofit's, and it alone loses the kilowatt.
TEST(HENDesignSpecifications, OnlyOneUnitOfTheNameLosesAKilowatt) {
    FeasibilityNetwork n;
    for (CNode* unit : {n.y, n.z}) unit->addVariable(NodeValue::UnitOperationName, CPString("Twin"), ValueStatus::Specified);
    n.y->addVariable(NodeValue::Duty, 5.0, ValueStatus::Specified);
    n.z->addVariable(NodeValue::Duty, 8.0, ValueStatus::Specified);
    n.d->SetStoredTextB("Twin");
    n.d->LowerNamedExchangerDuty();
    double y = 0.0, z = 0.0;
    ASSERT_TRUE(n.y->getVariableAsDouble(NodeValue::Duty, y) && n.z->getVariableAsDouble(NodeValue::Duty, z));
    EXPECT_DOUBLE_EQ(5.0, y);
    EXPECT_DOUBLE_EQ(7.0, z);
}

TEST(HENDesignSpecifications, AFingerprintByIndexIsRefusedOutsideTheNodes) {
    FeasibilityNetwork n;
    const std::vector<std::uint32_t> all = n.d->GetAllDNAFingerPrints();
    const int count = n.d->GetNumberOfNodes();
    ASSERT_EQ(static_cast<int>(all.size()), count);
    for (int i : {0, count / 2, count - 1}) EXPECT_EQ(n.d->GetDNAFingerPrintByIndex(i), all[static_cast<std::size_t>(i)]);
    for (int i : {-1, count, count + 5, 1 << 30}) EXPECT_EQ(n.d->GetDNAFingerPrintByIndex(i), 0u) << i;
}

TEST(HENDesignSpecifications, SkippingTheStreamEndsHoldsOnlyInARetrofitScenario) {
    FeasibilityNetwork n;
    n.d->SetSkipStreamEndsUpdate(true);
    EXPECT_FALSE(n.d->GetSkipStreamEndsUpdate());
    n.scenario->SetRetrofitBaseDesign("D1");
    ASSERT_TRUE(n.scenario->IsRetrofitScenario());
    n.d->SetSkipStreamEndsUpdate(true);
    EXPECT_TRUE(n.d->GetSkipStreamEndsUpdate());
}

TEST(HENDesignSpecifications, TheDutyOnAStreamSideCountsOnlyKnownDuties) {
    FeasibilityNetwork n;
    IHeatIntegrationStream* hot = n.scenario->FindStream("H");
    // X with 50 kW; Y's duty is open (its value is the empty marker).
    n.SetDuty(50.0);
    ASSERT_EQ(n.y->getVariableStatus(NodeValue::Duty), ValueStatus::Open);
    EXPECT_DOUBLE_EQ(n.d->GetExchangerDutyOnStream(hot, 0), 50.0);
    EXPECT_DOUBLE_EQ(n.d->GetExchangerDutyOnStream(hot, 1), 0.0);
    n.y->addVariable(NodeValue::Duty, 4.0, ValueStatus::Specified);
    n.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    EXPECT_DOUBLE_EQ(n.d->GetExchangerDutyOnStream(hot, 0), 54.0);
}
