// Every edit of splits on a stream split inside a split: after each, each splitter's branches
// share exactly the flow entering it, a unit's share of its whole stream
// is the product of the shares out to the trunk, and the design's record reads back the same.
#include "DesignRecordTestSupport.h"

#include "pellin/HeatExch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

using namespace design_test;

namespace {

double share(const CNode* branch) {
    double f = -1.0;
    return branch && branch->getVariableAsDouble(NodeValue::SplitFraction, f) ? f : -1.0;
}

// H (200 -> 100 C, cp 4) heats C (20 -> 120 C, cp 4). C is split at its start; X1 sits on the
// first branch, and the second branch is split again, X2 on the inner split's first branch.
struct Nested : DesignScenario {
    Nested() {
        Add("H", 200, 100, 4.0);
        Add("C", 20, 120, 4.0);
        d = Design("Nested");
        CNode* start = NthSegment(*d, "C", 0);
        ok = d->AddSplitterMixer(start, start, outer, nullptr, 2) && outer;
        if (!ok) return;
        x1 = d->AddHeatExchanger(NthSegment(*d, "H", 0), d->GetSplitterBranch(outer, 0), nullptr, nullptr, "X1");
        CNode* second = d->GetSplitterBranch(outer, 1);
        ok = x1 && d->AddSplitterMixer(second, second, inner, nullptr, 2) && inner;
        if (!ok) return;
        x2 = d->AddHeatExchanger(NthSegment(*d, "H", 0), d->GetSplitterBranch(inner, 0), nullptr, nullptr, "X2");
        ok = x2 != nullptr;
        // The units alone on their branches: no utility before them on C.
        for (CNode* x : {x1, x2})
            if (x && !d->IsPortFreeOfUtility(x, 2)) d->RemoveUtilityAtPort(x, 2);
        if (ok) x1->addVariable(NodeValue::Duty, 120.0, ValueStatus::Specified);
        if (ok) x2->addVariable(NodeValue::Duty, 40.0, ValueStatus::Specified);
        d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    }
    // What is wrong with the network as it stands; empty when nothing.
    std::string Fault() {
        for (CNode* tee : d->GetSplittersOnStream(Stream("C"))) {
            double sum = 0.0;
            bool known = true;
            for (CNode* branch : tee->getAllDownStreamNodes()) {
                known = known && share(branch) >= 0.0;
                sum += share(branch);
            }
            if (known && std::fabs(sum - 1.0) > 1e-9) return "the branches of a splitter carry " + std::to_string(sum);
        }
        for (CNode* unit : d->GetExchangersOnStreamSide(Stream("C"), 1)) {
            // Out from the unit to the trunk, branch by branch.
            HeatExch* x = AsHeatExch(unit);
            double expected = 1.0;
            for (CNode* node = x ? x->getInlet(1) : nullptr; node;) {
                CNode* start = d->FindBranchStart(node);
                if (!start) break;
                expected *= share(start);
                node = start->getIthUpStreamNode(0) ? start->getIthUpStreamNode(0)->getIthUpStreamNode(0) : nullptr;
            }
            double got = 0.0;
            if (!d->GetExchangerBranchShare(unit, 1, got) || std::fabs(got - expected) > 1e-12)
                return "a unit carries " + std::to_string(got) + " of C where its branches give " + std::to_string(expected);
        }
        // Stored and read back into another design: the same chains and shares.
        const RecordBytes bytes = DesignBytes(*d);
        CPIHENDesign* copy = Design(("Copy" + std::to_string(++copies)).c_str());
        if (!copy || !ReadDesignBytes(*copy, bytes)) return "the record does not read back";
        if (Chain(*copy, "C") != Chain(*d, "C")) return "the record reads back another chain";
        const std::vector<CNode*> a = d->GetSplittersOnStream(Stream("C")), b = copy->GetSplittersOnStream(Stream("C"));
        if (a.size() != b.size()) return "the record reads back other splitters";
        for (std::size_t i = 0; i < a.size(); ++i)
            for (int k = 0; k < a[i]->getNumberOfDownStreamNodes(); ++k)
                if (share(d->GetSplitterBranch(a[i], k)) != share(copy->GetSplitterBranch(b[i], k)))
                    return "the record reads back other shares";
        return "";
    }
    IHeatIntegrationStream* Stream(const char* name) {
        IHeatIntegrationStream* s = nullptr;
        scenario->GetStream(CPString(name), s);
        return s;
    }
    CPIHENDesign* d = nullptr;
    CNode *outer = nullptr, *inner = nullptr, *x1 = nullptr, *x2 = nullptr;
    bool ok = false;
    int copies = 0;
};

struct Edit {
    const char* name;
    std::function<bool(Nested&)> apply;
};
[[maybe_unused]] void PrintTo(const Edit& e, std::ostream* os) { *os << e.name; }

class HENDesignNestedSplitSweep : public ::testing::TestWithParam<Edit> {};

TEST_P(HENDesignNestedSplitSweep, LeavesEverySplitterSharingItsOwnInflow) {
    Nested n;
    ASSERT_TRUE(n.ok);
    ASSERT_EQ("", n.Fault()) << "as built";
    // The new inner split shares what reaches it in halves, whatever share of C that is.
    EXPECT_DOUBLE_EQ(0.5, share(n.d->GetSplitterBranch(n.inner, 0)));
    ASSERT_TRUE(GetParam().apply(n)) << GetParam().name;
    n.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    EXPECT_EQ("", n.Fault()) << GetParam().name << "\n" << Chain(*n.d, "C");
}

INSTANTIATE_TEST_SUITE_P(
    Edits, HENDesignNestedSplitSweep,
    ::testing::Values(
        Edit{"innerBranchAdded",
             [](Nested& n) {
                 n.d->AddSplitterBranch(n.inner, nullptr, 1);
                 return n.inner->getNumberOfDownStreamNodes() == 3;
             }},
        Edit{"innerBranchRemoved",
             [](Nested& n) {
                 n.d->RemoveSplitterBranch(n.d->GetSplitterBranch(n.inner, 1), nullptr);
                 return n.d->GetSplittersOnStream(n.Stream("C")).size() == 1;
             }},
        Edit{"innerBranchLeftToTheBalanceRemoved",
             [](Nested& n) {
                 // A third branch (specified, empty) beside the one whose share the tee works out;
                 // that one removed, another branch must take the rest of the flow.
                 n.d->AddSplitterBranch(n.inner, nullptr, 1);
                 n.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
                 n.d->RemoveSplitterBranch(n.d->GetSplitterBranch(n.inner, 1), nullptr);
                 return n.inner->getNumberOfDownStreamNodes() == 2;
             }},
        Edit{"innerSplitRemoved", [](Nested& n) { return n.d->RemoveSplitterMixer(n.inner, nullptr); }},
        Edit{"outerSplitRemoved", [](Nested& n) { return n.d->RemoveSplitterMixer(n.outer, nullptr); }},
        Edit{"outerBranchRemoved",
             [](Nested& n) {
                 n.d->RemoveSplitterBranch(n.d->GetSplitterBranch(n.outer, 1), nullptr);
                 return n.d->GetSplittersOnStream(n.Stream("C")).empty();
             }},
        Edit{"innerShareTyped",
             [](Nested& n) {
                 n.d->GetSplitterBranch(n.inner, 0)->addVariable(NodeValue::SplitFraction, 0.3, ValueStatus::Specified);
                 return true;
             }},
        Edit{"splitInsideTheInnerSplit",
             [](Nested& n) {
                 CNode* branch = n.d->GetSplitterBranch(n.inner, 1);
                 CNode* third = nullptr;
                 return n.d->AddSplitterMixer(branch, branch, third, nullptr, 3) && third;
             }},
        Edit{"bypassAroundTheInnerSplit",
             [](Nested& n) {
                 CNode* before = n.inner->getIthUpStreamNode(0);
                 CNode* after = n.d->GetMixerOfSplitter(n.inner)->getIthDownStreamNode(0);
                 CNode* bypass = nullptr;
                 return n.d->CanAddBypass(before, after) && n.d->AddSplitterMixer(before, after, bypass, nullptr, 2);
             }},
        Edit{"sharesFromDuties",
             [](Nested& n) {
                 n.d->SetSplitFractionsFromDuties();
                 // X1 120 kW against the 40 kW on the other branch; X2 all of its split's.
                 return std::fabs(share(n.d->GetSplitterBranch(n.outer, 0)) - 0.75) < 1e-12 &&
                        std::fabs(share(n.d->GetSplitterBranch(n.inner, 0)) - 1.0) < 1e-12;
             }}),
    [](const ::testing::TestParamInfo<Edit>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// A network stored by an earlier build with the inner split's shares taken of the whole stream
// (0.3 and 0.2 of C on an outer branch carrying 0.5) reads back with the inner split's own
// shares, 0.6 and 0.4; the outer split and a split already in own shares stay as they were.
TEST(HENDesignNestedSplitRecord, WholeStreamSharesOfAnInnerSplitReadBackAsItsOwn) {
    Nested n;
    ASSERT_TRUE(n.ok);
    n.d->Deactivate();
    CNode* first = n.d->GetSplitterBranch(n.inner, 0);
    CNode* second = n.d->GetSplitterBranch(n.inner, 1);
    first->addVariable(NodeValue::SplitFraction, 0.3, ValueStatus::Specified);
    second->addVariable(NodeValue::SplitFraction, 0.2, ValueStatus::Calculated);
    ASSERT_DOUBLE_EQ(0.5, share(n.d->GetSplitterBranch(n.outer, 1)));
    const RecordBytes bytes = DesignBytes(*n.d);
    CPIHENDesign* copy = n.Design("Copy");
    ASSERT_TRUE(copy && ReadDesignBytes(*copy, bytes));
    const std::vector<CNode*> splitters = copy->GetSplittersOnStream(n.Stream("C"));
    ASSERT_EQ(2u, splitters.size());
    for (CNode* tee : splitters) {
        const bool inner = tee->getName() == n.inner->getName();
        EXPECT_NEAR(inner ? 0.6 : 0.5, share(copy->GetSplitterBranch(tee, 0)), 1e-12) << inner;
        EXPECT_NEAR(inner ? 0.4 : 0.5, share(copy->GetSplitterBranch(tee, 1)), 1e-12) << inner;
    }
    EXPECT_EQ(ValueStatus::Specified, copy->GetSplitterBranch(splitters[0], 0)->getVariableStatus(NodeValue::SplitFraction));
    // Read again, the own shares stay.
    const RecordBytes again = DesignBytes(*copy);
    CPIHENDesign* third = n.Design("Third");
    ASSERT_TRUE(third && ReadDesignBytes(*third, again));
    EXPECT_EQ(again, DesignBytes(*third));
}

}  // namespace
