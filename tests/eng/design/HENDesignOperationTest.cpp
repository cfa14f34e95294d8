// The operating lock of a design: what can be locked (and the order of the refusals), what
// locking freezes, the locked network recalculated through the network calculator, unlocking,
// and the stream-link passes of a locked network.
#include "DesignRecordTestSupport.h"
#include "OperationTestSupport.h"

#include "eng/design/HENState.h"
#include "eng/design/IHENTrend.h"
#include "eng/model/StreamLynx.h"
#include "eng/model/StreamLynxCollection.h"

#include <gtest/gtest.h>

using namespace design_test;

namespace {
using V = OperatedNetwork;

// The operated network has no heaters or coolers: E-100 (240 kW) and E-101 (150 kW) satisfy the
// streams only when their targets ask for no more (H1 170 -> 90, C2 80 -> 140, H2 150 -> 50,
// C1 20 -> 95 C).
void TargetsTheExchangersMeet(OperatedNetwork& n) {
    n.scenario->SuspendCalculations();
    for (const auto& [name, target] : {std::pair<const char*, double>{"H1", 90.0}, {"H2", 50.0}, {"C1", 95.0}})
        n.scenario->FindStream(name)->SetValue("Temperature", target, 1);
    n.scenario->ResumeCalculations(true);
    n.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
}
}  // namespace

// Each case breaks the network in one more way than the next; the check answers the first
// fault in its order: incomplete streams, transport properties, no exchanger, terminals, split
// shares, and 3 when nothing is wrong.
TEST(HENDesignOperation, LockabilityCodesComeInTheirOrder) {
    {
        DesignScenario empty;
        EXPECT_EQ(21, empty.Design("D")->CheckOperationLockable());
    }
    {
        OperatedNetwork n(false, false);
        n.scenario->FindStream("H1")->SetValue("Temperature", -32767.0, 1);  // no target: incomplete
        EXPECT_EQ(21, n.d->CheckOperationLockable());
    }
    {
        OperatedNetwork n(false);
        EXPECT_EQ(42, n.d->CheckOperationLockable());
    }
    {
        OperatedNetwork n(true, false);
        EXPECT_EQ(11, n.d->CheckOperationLockable());
    }
    {
        OperatedNetwork n;
        TargetsTheExchangersMeet(n);
        ASSERT_TRUE(n.d->GetFlowSheet()->deleteNode(n.d->GetNodeByName("C1End")));
        EXPECT_EQ(1, n.d->CheckOperationLockable());
    }
    {
        // H1, H2 and C1 end short of their targets.
        OperatedNetwork n;
        EXPECT_EQ(3, n.d->GetNumberOfUnsatisfiedProcessStreams());
        EXPECT_EQ(1, n.d->CheckOperationLockable());
    }
    {
        OperatedNetwork n;
        TargetsTheExchangersMeet(n);
        CNode* tee = nullptr;
        CNode* segment = NthSegment(*n.d, "H2", 1);
        ASSERT_TRUE(n.d->AddSplitterMixer(segment, segment, tee, "split", 2));
        tee->getIthDownStreamNode(0)->addVariable(NodeValue::SplitFraction, -0.1, ValueStatus::Specified);
        EXPECT_EQ(2, n.d->CheckOperationLockable());
    }
    {
        OperatedNetwork n;
        TargetsTheExchangersMeet(n);
        EXPECT_EQ(0, n.d->GetNumberOfUnsatisfiedProcessStreams());
        EXPECT_EQ(3, n.d->CheckOperationLockable());
    }
}

TEST(HENDesignOperation, LockFreezesAreaShellsAndTheCleanCoefficient) {
    OperatedNetwork n;
    const double area = V::Value(n.e100, NodeValue::HTArea);
    // A bypass across E-100, from H1's segment before it to the one after it.
    CNode* before = NthSegment(*n.d, "H1", 0);
    CNode* after = NthSegment(*n.d, "H1", 1);
    ASSERT_TRUE(n.d->CanAddBypass(before, after));
    n.d->LockOperation();
    EXPECT_TRUE(n.d->GetOperationLocked());
    EXPECT_EQ(1, n.d->GetEditLockState());
    EXPECT_EQ(1, n.d->GetCalculationStatus());
    for (CNode* x : {n.e100, n.e101}) {
        SCOPED_TRACE(x->getName().c_str());
        EXPECT_EQ(ValueStatus::Specified, x->getVariableStatus(NodeValue::HTArea));
        EXPECT_EQ(ValueStatus::Specified, x->getVariableStatus(NodeValue::NShellsInSeries));
        EXPECT_EQ(ValueStatus::Specified, x->getVariableStatus(NodeValue::ObservedHTC));
        EXPECT_EQ(ValueStatus::Calculated, x->getVariableStatus(NodeValue::Duty));
        EXPECT_DOUBLE_EQ(V::Value(x, NodeValue::OverallCleanHTC), V::Value(x, NodeValue::ObservedHTC));
        // Films of 0.5 on both sides: U = 1 / (1/0.5 + 1/0.5).
        EXPECT_NEAR(0.25, V::Value(x, NodeValue::ObservedHTC), 1e-9);
    }
    EXPECT_DOUBLE_EQ(area, V::Value(n.e100, NodeValue::HTArea));
    // The locked network, solved as one system, keeps the duties it was designed for (within
    // the ten-segment form of the area equation).
    EXPECT_NEAR(240.0, V::Value(n.e100, NodeValue::Duty), 0.1);
    EXPECT_NEAR(150.0, V::Value(n.e101, NodeValue::Duty), 0.1);
    // Streams are restated by mass flow and specific heat: the heat-capacity flow rate follows.
    double cp = 0.0;
    CPIHeatIntegrationStream* h1 = n.scenario->FindStream("H1");
    ASSERT_TRUE(h1->GetValue("HeatCapacityFlowrate", cp, 0));
    EXPECT_DOUBLE_EQ(3.0, cp);
    EXPECT_EQ(ValueStatus::Calculated, h1->GetValueStatus("HeatCapacityFlowrate", 0));
    EXPECT_EQ(ValueStatus::Specified, h1->GetValueStatus("MassFlow", 0));
    // Every edit is refused while locked, a bypass across two segments too.
    EXPECT_EQ(nullptr, n.d->AddHeatExchanger(NthSegment(*n.d, "H1", 1), NthSegment(*n.d, "C1", 1), nullptr, nullptr, nullptr));
    EXPECT_FALSE(n.d->CanAddBypass(before, after));
}

TEST(HENDesignOperation, ALockedNetworkAnswersALowerCoefficientWithALowerDuty) {
    OperatedNetwork n;
    n.d->LockOperation();
    const double clean = V::Value(n.e100, NodeValue::Duty);
    n.e100->addVariable(NodeValue::ObservedHTC, 0.2, ValueStatus::Specified);
    n.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    // C2, which E-100 alone satisfied at the lock, is now short of what its units give: no
    // operating point of the network, not converged.
    EXPECT_EQ(2, n.d->GetCalculationStatus());
    const double fouled = V::Value(n.e100, NodeValue::Duty);
    EXPECT_LT(fouled, clean - 5.0);
    // The placeholder at C2's end makes up what the exchanger no longer gives: C2 still leaves
    // at 140.
    CNode* c2Out = AsHeatExch(n.e100)->getOutlet(1);
    EXPECT_NEAR(80.0 + fouled / 4.0, V::Value(c2Out, NodeValue::Temperature), 1e-3);
    EXPECT_NEAR(140.0, V::Value(NthSegment(*n.d, "C2", 2), NodeValue::Temperature), 1e-9);
}

TEST(HENDesignOperation, UnlockDestroysSchedulesAndStudiesAndFreesTheNetwork) {
    OperatedNetwork n;
    Listener view(*n.d);
    n.d->LockOperation();
    ASSERT_TRUE(n.d->AddNewSchedule());
    ASSERT_TRUE(n.d->AddNewSchedule());
    n.d->AddStudy();
    n.d->AddStudy();
    EXPECT_EQ(2, n.d->GetNumberOfSchedules());
    EXPECT_EQ(1, n.d->GetNumberOfStudies());
    n.d->UnlockOperation();
    EXPECT_FALSE(n.d->GetOperationLocked());
    EXPECT_EQ(0, n.d->GetEditLockState());
    EXPECT_EQ(0, n.d->GetNumberOfSchedules());
    EXPECT_EQ(0, n.d->GetNumberOfStudies());
    EXPECT_EQ(nullptr, n.d->GetDefaultStudy());
    EXPECT_EQ(nullptr, n.d->GetCurrentScheduleName());
    EXPECT_EQ(1, view.Count(CPIHENDesign::CodeOperationUnlocked));
    EXPECT_EQ(ValueStatus::Calculated, n.e100->getVariableStatus(NodeValue::HTArea));
    EXPECT_EQ(ValueStatus::Specified, n.e100->getVariableStatus(NodeValue::Duty));
    ASSERT_TRUE(n.d->AddNewSchedule());
    EXPECT_STREQ("Event-P1", n.d->GetCurrentScheduleName());
}

// Unlocking takes away the coefficient the lock observed, and gives back one the design was
// given before the lock (E-100's 0.2 against its films' 0.25; E-101 had none).
TEST(HENDesignOperation, UnlockKeepsOnlyAnObservedCoefficientGivenBeforeTheLock) {
    OperatedNetwork n;
    n.e100->addVariable(NodeValue::ObservedHTC, 0.2, ValueStatus::Specified);
    n.d->LockOperation();
    EXPECT_NEAR(0.25, V::Value(n.e101, NodeValue::ObservedHTC), 1e-9);
    n.d->UnlockOperation();
    EXPECT_EQ(ValueStatus::Specified, n.e100->getVariableStatus(NodeValue::ObservedHTC));
    EXPECT_DOUBLE_EQ(0.2, V::Value(n.e100, NodeValue::ObservedHTC));
    EXPECT_DOUBLE_EQ(-32767.0, V::Value(n.e101, NodeValue::ObservedHTC));
}

TEST(HENDesignOperation, AStreamChangeWhileLockedBecomesTheOperatingPoint) {
    OperatedNetwork n;
    n.d->LockOperation();
    CPIHeatIntegrationStream* h1 = n.scenario->FindStream("H1");
    h1->SetValue("Temperature", 160.0, 0);
    n.d->UpdateOperationForStreamChange(h1);
    // E-100 now gives C2 less than its target asks: not converged.
    EXPECT_EQ(2, n.d->GetCalculationStatus());
    EXPECT_NEAR(160.0, V::Value(NthSegment(*n.d, "H1", 0), NodeValue::Temperature), 1e-9);
    EXPECT_LT(V::Value(n.e100, NodeValue::Duty), 240.0 - 5.0);
    HENState& state = n.d->DefaultState();
    EXPECT_DOUBLE_EQ(160.0, state.GetStreamSupplyTemperature(0));
}

// A link in balance (its evaluated temperature 0.005 from the stream's supply temperature)
// takes one pass and writes nothing; one out of balance is written once and then holds.
TEST(HENDesignOperation, StreamLinksAreBroughtIntoBalance) {
    for (const double constant : {20.005, 25.0}) {
        SCOPED_TRACE(constant);
        OperatedNetwork n;
        n.d->LockOperation();
        CPIHeatIntegrationStream* c1 = n.scenario->FindStream("C1");
        auto links = std::make_unique<StreamLynxCollection>(n.scenario.get());
        auto* link = new StreamLynx(n.scenario.get(), c1);
        ASSERT_EQ(3, link->GetNumberOfCandidates());
        link->SetTemperatureTerm("Temperature", 0, true);
        link->SetTemperatureCoefficient("Temperature", 0, 0.0);
        link->SetConstant("Temperature", constant);
        ASSERT_EQ(1, link->GetNumberOfCoefficients("Temp_All"));
        ASSERT_TRUE(links->AddLink(link));
        n.scenario->SetStreamLinkCollection(std::move(links));
        Listener streamView(*c1);
        n.d->UpdateStreamLinks();
        const bool written = constant > 20.01;
        EXPECT_EQ(written ? 1 : 0, streamView.Count(37));
        EXPECT_DOUBLE_EQ(written ? 25.0 : 20.0, c1->GetSupplyTemperature());
        // The locked recalculation balances the links itself.
        streamView.changes.clear();
        n.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
        EXPECT_EQ(0, streamView.Count(37));
        EXPECT_EQ(1, n.d->GetCalculationStatus());
    }
}

// The operating state keeps whether the locked network it was taken from solved: not solved
// before the lock, converged once the lock has solved the network, still so at a new operating
// point, and read back with the design's record.
TEST(HENDesignOperation, TheOperatingStateKeepsWhetherTheLockedNetworkSolved) {
    OperatedNetwork n;
    EXPECT_EQ(0, n.d->GetOperatingStateStatus());
    n.d->LockOperation();
    ASSERT_EQ(1, n.d->GetCalculationStatus());
    EXPECT_EQ(1, n.d->GetOperatingStateStatus());
    EXPECT_EQ(1, n.d->DefaultState().GetStatus());

    CPIHeatIntegrationStream* h1 = n.scenario->FindStream("H1");
    h1->SetValue("Temperature", 160.0, 0);
    n.d->UpdateOperationForStreamChange(h1);
    // H1 entering at 160 C leaves C2 short of its target: the new point is not converged.
    EXPECT_EQ(2, n.d->GetOperatingStateStatus());

    const RecordBytes bytes = DesignBytes(*n.d);
    ASSERT_FALSE(bytes.empty());
    OperatedNetwork other(true, false);
    ASSERT_TRUE(ReadDesignBytes(*other.d, bytes));
    EXPECT_EQ(2, other.d->GetOperatingStateStatus());
}
