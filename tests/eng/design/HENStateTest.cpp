// Operating states: filling from a locked network, writing back only the performance data
// events change, split shares that keep their sum, branch names, and the status words.
#include "OperationTestSupport.h"

#include "eng/design/HENEvent.h"
#include "eng/design/HENState.h"

#include <gtest/gtest.h>

using namespace design_test;

namespace {
using V = OperatedNetwork;

// A network with one splitter of `branches` branches on H2 ahead of its exchanger.
struct SplitNetwork : OperatedNetwork {
    explicit SplitNetwork(int branches) {
        CNode* segment = NthSegment(*d, "H2", 1);
        d->AddSplitterMixer(segment, segment, tee, "split", branches);
    }
    CNode* tee = nullptr;
};
}  // namespace

TEST(HENState, FillAndApplyWriteBackOnlyAreaShellsAndObservedCoefficient) {
    OperatedNetwork n;
    n.d->LockOperation();
    HENState state;
    state.SetFromDesign(*n.d);
    ASSERT_EQ(2, state.GetNumberOfHeatExchangers());
    ASSERT_EQ(4, state.GetNumberOfStreams());
    EXPECT_EQ(0, state.GetNumberOfUtilities());
    EXPECT_EQ(0, state.GetNumberOfSplitters());
    EXPECT_EQ(nullptr, state.GetSplitBranchName(0));
    EXPECT_STREQ("H1", state.GetStreamName(0));
    EXPECT_DOUBLE_EQ(170.0, state.GetStreamSupplyTemperature(0));
    EXPECT_DOUBLE_EQ(1.5, state.GetStreamMassFlow(0));
    // H1 leaves the network at the exchanger's hot outlet, ahead of its cooler.
    EXPECT_NEAR(170.0 - V::Value(n.e100, NodeValue::Duty) / 3.0, state.GetStreamOutletTemperature(0), 1e-6);
    double duty = 0.0;
    state.GetHeatExchangerValue(0, NodeValue::Duty, duty);
    EXPECT_DOUBLE_EQ(V::Value(n.e100, NodeValue::Duty), duty);

    const double area = V::Value(n.e100, NodeValue::HTArea);
    const double ft = V::Value(n.e100, NodeValue::FtFactor);
    n.e100->addVariable(NodeValue::HTArea, 1.0, ValueStatus::Calculated);
    n.e100->addVariable(NodeValue::NShellsInSeries, 4.0, ValueStatus::Calculated);
    n.e100->addVariable(NodeValue::ObservedHTC, 0.1, ValueStatus::Calculated);
    n.e100->addVariable(NodeValue::Duty, 12.0, ValueStatus::Calculated);
    n.e100->addVariable(NodeValue::FtFactor, 0.5, ValueStatus::Calculated);
    state.ApplyToDesign();
    EXPECT_DOUBLE_EQ(area, V::Value(n.e100, NodeValue::HTArea));
    EXPECT_EQ(ValueStatus::Specified, n.e100->getVariableStatus(NodeValue::HTArea));
    EXPECT_DOUBLE_EQ(1.0, V::Value(n.e100, NodeValue::NShellsInSeries));
    EXPECT_EQ(ValueStatus::Specified, n.e100->getVariableStatus(NodeValue::NShellsInSeries));
    EXPECT_DOUBLE_EQ(0.25, V::Value(n.e100, NodeValue::ObservedHTC));
    EXPECT_DOUBLE_EQ(12.0, V::Value(n.e100, NodeValue::Duty));
    EXPECT_DOUBLE_EQ(0.5, V::Value(n.e100, NodeValue::FtFactor));
    EXPECT_NE(ft, 0.5);
}

TEST(HENState, AValueTheUnitCannotSupplyIsRecordedAsEmpty) {
    OperatedNetwork n;  // not locked: no observed coefficient yet
    ASSERT_FALSE(n.e100->hasVariable(NodeValue::ObservedHTC));
    HENState state;
    state.SetFromDesign(*n.d);
    double v = 1.0;
    state.GetHeatExchangerValue(0, NodeValue::ObservedHTC, v);
    EXPECT_DOUBLE_EQ(-32767.0, v);
    v = 1.0;
    state.GetHeatExchangerValue(7, NodeValue::Duty, v);
    EXPECT_DOUBLE_EQ(0.0, v);
    v = 1.0;
    state.GetHeatExchangerValue(0, "NoSuchValue", v);
    EXPECT_DOUBLE_EQ(1.0, v);
}

TEST(HENState, ASplitEventKeepsTheSharesSumAndNamesItsBranches) {
    SplitNetwork n(2);
    ASSERT_TRUE(n.tee);
    CNode* first = n.tee->getIthDownStreamNode(0);
    first->addVariable(NodeValue::SplitFraction, 0.4, ValueStatus::Specified);
    n.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    HENState state;
    state.SetFromDesign(*n.d);
    ASSERT_EQ(1, state.GetNumberOfSplitters());
    EXPECT_STREQ("TEE-100", state.GetSplitterName(0));
    EXPECT_NEAR(40.0, state.GetBranchFraction(0, 0), 1e-9);
    EXPECT_NEAR(60.0, state.GetBranchFraction(0, 1), 1e-9);
    EXPECT_STREQ("TEE-100 Branch 1", state.GetSplitBranchName(0));
    EXPECT_EQ(nullptr, state.GetSplitBranchName(1));  // the last branch takes up the difference

    std::unique_ptr<HENEvent> event(HENEvent::Create("SplitflowmodificationEvent", "TEE-100 Branch 1"));
    ASSERT_TRUE(event);
    SplitStateStruct* record = state.FindSplitterOf("TEE-100 Branch 1");
    ASSERT_TRUE(record);
    event->InitialiseFromTarget(*record);
    EXPECT_NEAR(40.0, event->GetBaseValue(), 1e-9);
    event->SetNewValue(30.0);
    event->ApplyTo(*record);
    EXPECT_NEAR(30.0, state.GetBranchFraction(0, 0), 1e-9);
    EXPECT_NEAR(70.0, state.GetBranchFraction(0, 1), 1e-9);
    EXPECT_NEAR(0.3, V::Value(first, NodeValue::SplitFraction), 1e-12);
    EXPECT_NEAR(0.7, V::Value(n.tee->getIthDownStreamNode(1), NodeValue::SplitFraction), 1e-12);
}

// A splitter whose name begins another's ("TEE-10" beside "TEE-101") answers for its own branches
// only, and a state read back attaches each record to the splitter of its whole name.
TEST(HENState, ASplitterIsFoundByItsWholeNameNotByAPartOfAnother) {
    SplitNetwork n(2);
    CNode* second = nullptr;
    CNode* segment = NthSegment(*n.d, "C1", 1);
    n.d->AddSplitterMixer(segment, segment, second, "split", 2);
    ASSERT_TRUE(n.tee && second);
    ASSERT_EQ(1, n.d->RenameUnit("TEE-10", n.tee));
    CPString name;
    second->getVariableAsString(NodeValue::UnitOperationName, name);
    ASSERT_EQ(CPString("TEE-101"), name);
    HENState state;
    state.SetFromDesign(*n.d);
    for (const auto& [branch, tee] : {std::pair{"TEE-10 Branch 1", n.tee}, std::pair{"TEE-101 Branch 1", second}}) {
        SplitStateStruct* record = state.FindSplitterOf(branch);
        ASSERT_TRUE(record) << branch;
        EXPECT_EQ(tee, record->unit) << branch;
        record->unit = nullptr;
    }
    EXPECT_EQ(nullptr, state.FindSplitterOf("TEE-1 Branch 1"));
    state.ReattachUnits(*n.d);
    EXPECT_EQ(n.tee, state.FindSplitterOf("TEE-10 Branch 1")->unit);
    EXPECT_EQ(second, state.FindSplitterOf("TEE-101 Branch 1")->unit);
}

TEST(HENState, BranchNumbersAreReadFromTheEndOfTheTargetName) {
    const struct {
        const char* target;
        int index;
    } rows[] = {{"TEE-100 Branch 2", 1}, {"TEE-100 Branch 1", 0}, {"TEE-100 Branch 12", 11},
                {"TEE-100", -1},         {"TEE-100 Branch", -1},  {"TEE-100 Branch 0", -1},
                {"TEE-100 Branch 2x", -1}, {"", -1},              {nullptr, -1}};
    for (const auto& r : rows) EXPECT_EQ(r.index, SplitStateStruct::GetBranchIndexFromName(r.target)) << (r.target ? r.target : "null");
}

TEST(HENState, StatusWordsAndCopies) {
    HENState state;
    EXPECT_EQ(0, state.GetStatus());
    EXPECT_DOUBLE_EQ(-32767.0, state.GetTotalUtilityCost());
    state.SetStatus("");
    EXPECT_EQ(1, state.GetStatus());
    state.SetStatus("NotConverged");
    EXPECT_EQ(2, state.GetStatus());
    state.SetStatus("anything else");
    EXPECT_EQ(1, state.GetStatus());

    SplitNetwork n(3);
    HENState filled;
    filled.SetFromDesign(*n.d);
    filled.SetStatus("NotConverged");
    HENState copy(filled);
    EXPECT_EQ(2, copy.GetStatus());
    EXPECT_EQ(filled.GetNumberOfHeatExchangers(), copy.GetNumberOfHeatExchangers());
    EXPECT_EQ(2, copy.GetNumberOfSplitBranches());
    EXPECT_STREQ("TEE-100 Branch 2", copy.GetSplitBranchName(1));
    EXPECT_STREQ(filled.GetHeatExchangerName(1), copy.GetSelectableHeatExchangerName(1));
}
