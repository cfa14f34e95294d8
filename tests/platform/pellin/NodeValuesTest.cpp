// A node's named values: the names the unit models use are found by their place among the node's
// values, any other by its text, and both ways always answer the value the node holds now, also
// after the value was removed, added under its text, replaced as a whole by a clone or a record,
// and a change of a branch's split fraction still reaches the shares of the segments after it.
#include "brasko/LurmetBinaryFile.h"
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "pellin/UnitNodes.h"
#include "tests/support/FlowsheetTestStream.h"
#include "tests/support/RecordHarness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

namespace V = NodeValue;

double Read(const CNode& node, ValueName name) {
    double v = 0.0;
    return node.getVariableAsDouble(name, v) ? v : -1.0;
}

TEST(NodeValues, AKnownNameAndItsTextFindTheSameValueThroughRemovalAndReAdding) {
    FlowSheet sheet;
    CNode* x = sheet.addNode(FlowSheet::CreateNode(NodeKind::HeatExchanger, "E-1"));
    ASSERT_NE(x, nullptr);
    // Looked up while absent, then added under its text: the known name finds it.
    EXPECT_FALSE(x->hasVariable(V::Duty));
    x->addVariable(std::string("Duty"), 120.0, ValueStatus::Specified);
    EXPECT_EQ(Read(*x, V::Duty), 120.0);
    EXPECT_EQ(x->getVariableStatus(V::Duty), ValueStatus::Specified);
    // Written under the known name, read by its text.
    x->addVariable(V::Duty, 90.0, ValueStatus::Specified);
    EXPECT_EQ(Read(*x, CPString("Duty")), 90.0);
    // Removed by its text: gone under either name; added again, found again.
    x->addVariable(V::HTArea, 5.0, ValueStatus::Calculated);
    EXPECT_TRUE(x->removeVariable(CPString("Duty")));
    EXPECT_FALSE(x->hasVariable(V::Duty));
    EXPECT_EQ(Read(*x, V::Duty), -1.0);
    EXPECT_EQ(Read(*x, V::HTArea), 5.0);
    EXPECT_EQ(x->writeCalculated(V::Duty, 40.0), 1);
    EXPECT_EQ(Read(*x, std::string("Duty")), 40.0);
    EXPECT_EQ(x->clearCalculated(std::string("Duty")), 1);
    double known = 0.0;
    EXPECT_FALSE(x->isKnown(V::Duty, known));
    // A name the unit models do not use is found by its text alone.
    x->addVariable("ExchangerIsOffLine", 1.0, ValueStatus::Specified);
    EXPECT_EQ(Read(*x, std::string("ExchangerIsOffLine")), 1.0);
}

// The exchanger's switches and its specification state, read and written by name many times in
// each optimiser evaluation, and by their text from the design viewer and the case file.
class KnownSwitchName : public ::testing::TestWithParam<const char*> {};

TEST_P(KnownSwitchName, AnswersWhatItsTextAnswersOnAnExchanger) {
    const char* name = GetParam();
    const std::string text(name);
    FlowSheet sheet;
    CNode* x = sheet.addNode(FlowSheet::CreateNode(NodeKind::HeatExchanger, "E-1"));
    ASSERT_NE(x, nullptr);
    // Absent under either name; written by its text, found by the name.
    EXPECT_EQ(Read(*x, name), -1.0);
    x->addVariable(text, 1.0, ValueStatus::Specified);
    EXPECT_EQ(Read(*x, name), 1.0);
    // Written by the name (after other values came), read by its text.
    x->addVariable(V::Duty, 90.0, ValueStatus::Specified);
    x->addVariable(name, 0.0, ValueStatus::Specified);
    EXPECT_EQ(Read(*x, text), 0.0);
    EXPECT_EQ(x->getVariableStatus(text), ValueStatus::Specified);
    // Removed by its text, added again by it: the name finds the new value, not the old one.
    EXPECT_TRUE(x->removeVariable(text));
    EXPECT_FALSE(x->hasVariable(name));
    x->addVariable(text, 1.0, ValueStatus::Specified);
    EXPECT_EQ(Read(*x, name), 1.0);
    EXPECT_EQ(Read(*x, V::Duty), 90.0);
    if (HeatExch* hx = x->asHeatExch(); hx && text == V::OverallUSpec) {
        EXPECT_TRUE(hx->GetOverallUSpec());
        hx->SetOverallUSpec(false);
        EXPECT_EQ(Read(*x, text), 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(NodeValues, KnownSwitchName,
                         ::testing::Values(V::OverallUSpec, V::SimOverallUSpec, V::SpecStatus),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

TEST(NodeValues, ACloneAndARecordReadBackAnswerTheirOwnValues) {
    FlowsheetTestStream h("H1", {180, 60}, {10}, {0.8});
    FlowSheet sheet;
    CNode* x = sheet.addNode(FlowSheet::CreateNode(NodeKind::HeatExchanger, "E-1"));
    CNode* s = sheet.addNode(FlowSheet::CreateNode(NodeKind::MaterialStream, "S-1", &h));
    x->addVariable(V::Duty, 75.0, ValueStatus::Specified);
    s->addVariable(V::Temperature, 150.0, ValueStatus::Calculated);
    EXPECT_EQ(Read(*x, V::Duty), 75.0);

    std::unique_ptr<FlowSheet> copy = sheet.clone(nullptr);
    CNode* cx = copy->getNode("E-1");
    ASSERT_NE(cx, nullptr);
    EXPECT_EQ(Read(*cx, V::Duty), 75.0);
    cx->addVariable(V::Duty, 60.0, ValueStatus::Specified);
    EXPECT_EQ(Read(*cx, V::Duty), 60.0);
    EXPECT_EQ(Read(*x, V::Duty), 75.0);

    const Bytes stored = StoredBytes(*copy);
    ASSERT_FALSE(stored.empty());
    FlowSheet back;
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(stored);
    ASSERT_TRUE(back.Recall(in, [&](const CPString& name) -> IFlowsheetStream* { return name == "H1" ? &h : nullptr; }));
    CNode* bx = back.getNode("E-1");
    CNode* bs = back.getNode("S-1");
    ASSERT_NE(bx, nullptr);
    ASSERT_NE(bs, nullptr);
    EXPECT_EQ(Read(*bx, V::Duty), 60.0);
    EXPECT_EQ(Read(*bs, V::Temperature), 150.0);
    EXPECT_EQ(bs->getVariableStatus(V::Temperature), ValueStatus::Calculated);
}

// A tee with two branches on H1: the share of a segment after a branch follows each new split
// fraction written under the known name.
TEST(NodeValues, EachNewSplitFractionReachesTheSegmentsAfterTheBranch) {
    FlowsheetTestStream h("H1", {180, 60}, {10}, {0.8});
    FlowSheet sheet;
    auto add = [&](const char* kind, const char* name) { return sheet.addNode(FlowSheet::CreateNode(kind, name, &h)); };
    CNode* start = add(NodeKind::FeedBlock, "H1Start");
    CNode* a = add(NodeKind::MaterialStream, "S-1");
    CNode* tee = sheet.addNode(FlowSheet::CreateNode(NodeKind::Tee, "TEE-1"));
    CNode* b1 = add(NodeKind::MaterialStream, "S-2");
    CNode* b2 = add(NodeKind::MaterialStream, "S-3");
    ASSERT_TRUE(sheet.connectNodes(start, a));
    ASSERT_TRUE(sheet.connectNodes(a, tee));
    ASSERT_TRUE(sheet.connectNodes(tee, b1));
    ASSERT_TRUE(sheet.connectNodes(tee, b2));
    StreamNode* branch = AsStreamNode(b1);
    ASSERT_NE(branch, nullptr);
    for (double share : {0.25, 0.6, 0.1}) {
        b1->addVariable(V::SplitFraction, share, ValueStatus::Specified);
        EXPECT_DOUBLE_EQ(branch->getSplitFraction(), share);
    }
    b1->writeCalculated(V::SplitFraction, 0.4);
    EXPECT_DOUBLE_EQ(branch->getSplitFraction(), 0.1);  // a specified share is not overwritten
    b1->addVariable(V::SplitFraction, 0.4, ValueStatus::Calculated);
    b1->clearCalculated(V::SplitFraction);
    EXPECT_LT(branch->getSplitFraction(), 0.0);  // no share known any more
}

}  // namespace
