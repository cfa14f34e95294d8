// Splitter-mixers and bypasses: the chain shapes they leave, branch fractions on insertion and
// removal, which bypasses are allowed, branch and splitter states, and the plain chain that comes
// back when the last split goes.
#include "DesignTestSupport.h"
#include "pellin/UnitNodes.h"

#include <gtest/gtest.h>

#include <random>

using namespace design_test;

namespace {

struct Network : ListenedDesign {
    Network() {
        Add("H1", 180, 80, 2.0);
        Add("C1", 40, 140, 2.0);
        Add("C2", 30, 100, 1.0);
        OpenDesign();
    }
    CNode* Split(const std::string& stream, int segment, int branches) {
        CNode* tee = nullptr;
        CNode* s = Segment(stream, segment);
        return d->AddSplitterMixer(s, s, tee, "by hand", branches) ? tee : nullptr;
    }
};

double Fraction(const CNode* segment, int* status = nullptr) {
    double f = -1.0;
    segment->getVariableAsDouble(NodeValue::SplitFraction, f);
    if (status) *status = segment->getVariableStatus(NodeValue::SplitFraction);
    return f;
}

// Empty when every node of the design lies on a stream walked from its feed block through all
// branches, every segment has one neighbour each way, and every splitter's mixer is on its stream.
std::string BranchFault(const CPIHENDesign& d) {
    std::set<const CNode*> reached;
    for (int i = 0; i < d.GetNumberOfStreams(); ++i) {
        const std::string name = d.GetStream(i)->GetName();
        std::vector<std::pair<CNode*, CNode*>> todo{{d.GetNodeByName(CPString(name + "Start")), nullptr}};
        std::set<const CNode*> mine;
        bool ended = false;
        while (!todo.empty()) {
            auto [node, from] = todo.back();
            todo.pop_back();
            if (!node) return name + " has a dangling end";
            if (!mine.insert(node).second && Letter(node) != "M") continue;
            reached.insert(node);
            if (Letter(node) == "E") ended = true;
            if (Letter(node) == "s" &&
                (node->getNumberOfUpStreamNodes() != 1 || node->getNumberOfDownStreamNodes() != 1))
                return name + " has a loose segment";
            if (Letter(node) == "T" && !d.GetMixerOfSplitter(node)) return name + " has an unpaired splitter";
            if (Letter(node) == "P" && chain::IsPlaceholder(chain::After(chain::After(node))))
                return name + " has two placeholders one segment apart";
            if (auto* x = AsHeatExch(node)) todo.push_back({x->getIthDownStreamNode(x->upStreamSlotOf(from)), node});
            else
                for (CNode* down : node->getAllDownStreamNodes()) todo.push_back({down, node});
        }
        if (!ended) return name + " never ends";
    }
    for (int k = 0; k < d.GetNumberOfNodes(); ++k)
        if (!reached.count(d.GetNodeByIndex(k))) return "orphan node " + std::string(d.GetNodeByIndex(k)->getName());
    return std::string();
}

// A stream's chain in letters with each splitter's branches in brackets.
std::string DescribeFrom(CNode* node, CNode* from, int guard = 0) {
    std::string out;
    while (node && guard++ < 1000) {
        out += Letter(node);
        if (Letter(node) == "E" || Letter(node) == "M") return out;
        if (Letter(node) == "T") {
            out += "[";
            CNode* mixer = AsSplitter(node)->getAssociatedMixer();
            for (CNode* b : node->getAllDownStreamNodes()) out += DescribeFrom(b, node) + "|";
            out += "]";
            from = mixer;
            node = mixer ? mixer->getIthDownStreamNode(0) : nullptr;
            continue;
        }
        CNode* next = nullptr;
        if (auto* x = AsHeatExch(node)) next = x->getIthDownStreamNode(x->upStreamSlotOf(from));
        else next = node->getIthDownStreamNode(0);
        from = node;
        node = next;
    }
    return out + "?";
}
std::string Describe(const CPIHENDesign& d, const std::string& s) {
    return s + ":" + DescribeFrom(d.GetNodeByName(CPString(s + "Start")), nullptr);
}

}  // namespace

TEST(HENDesignSplitters, TwoBranchesShareTheFlowEvenly) {
    Network n;
    CNode* tee = n.Split("H1", 0, 2);
    ASSERT_TRUE(tee);
    EXPECT_EQ(Chain(*n.d, "H1"), "FsTsMsPsE");
    const std::vector<CNode*> branches = tee->getAllDownStreamNodes();
    ASSERT_EQ(branches.size(), 2u);
    int status = 0;
    EXPECT_DOUBLE_EQ(Fraction(branches[0], &status), 0.5);
    EXPECT_EQ(status, ValueStatus::Specified);
    EXPECT_DOUBLE_EQ(Fraction(branches[1], &status), 0.5);  // the splitter makes them add up
    EXPECT_EQ(status, ValueStatus::Calculated);
    EXPECT_TRUE(n.view.Saw(CPIHENDesign::CodeSplitterMixerAdded, std::string(tee->getName())));
    EXPECT_NE(std::string(n.d->GetChangeLog()).find("Added splitter-mixer TEE-100-MIX-100 by hand"), std::string::npos);
    EXPECT_EQ(n.d->GetSplitterState(tee), 0);
    EXPECT_EQ(n.d->GetBranchState(branches[1]), 0);
    EXPECT_EQ(n.d->GetBranchState(n.Segment("H1", 0)), 1);  // before the splitter: in no branch
    EXPECT_EQ(BranchFault(*n.d), "");
}

TEST(HENDesignSplitters, ABranchIsFoundByItsPlaceAmongTheSplittersOutletsThroughTheInterface) {
    Network n;
    CNode* tee = nullptr;
    CNode* s = n.Segment("H1", 0);
    IHENDesign& design = *n.d;
    ASSERT_TRUE(design.AddSplitterMixer(s, s, tee, "by hand", 3));
    ASSERT_TRUE(tee);
    const std::vector<CNode*> branches = tee->getAllDownStreamNodes();
    ASSERT_EQ(branches.size(), 3u);
    // An exchanger on the second branch leaves that branch's first segment where it was.
    ASSERT_TRUE(design.AddHeatExchanger(design.GetSplitterBranch(tee, 1), n.Segment("C1", 0), nullptr, nullptr, nullptr));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(design.GetSplitterBranch(tee, i), branches[i]) << i;
    CNode* mixer = n.d->GetMixerOfSplitter(tee);
    for (auto [node, index] : {std::pair<CNode*, int>{tee, 3}, {tee, -1}, {mixer, 0}, {s, 0}, {nullptr, 0}})
        EXPECT_EQ(design.GetSplitterBranch(node, index), nullptr) << index;
    Network other;
    EXPECT_EQ(other.d->GetSplitterBranch(tee, 0), nullptr);  // a splitter of another design
}

TEST(HENDesignSplitters, RemovingTheBranchWithAnExchangerRestoresThePlainChain) {
    Network n;
    CNode* tee = n.Split("H1", 0, 2);
    ASSERT_TRUE(tee);
    CNode* x = n.d->AddHeatExchanger(tee->getIthDownStreamNode(0), n.Segment("C1", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(x);
    const std::string teeName = tee->getName();
    EXPECT_EQ(n.d->GetSplitterState(tee), 2);
    EXPECT_EQ(n.d->FindBranchStart(AsHeatExch(x)->getOutlet(0)), tee->getIthDownStreamNode(0));
    EXPECT_EQ(n.d->GetBranchState(AsHeatExch(x)->getOutlet(0)), 2);
    EXPECT_EQ(BranchFault(*n.d), "");

    n.d->RemoveSplitterBranch(AsHeatExch(x)->getOutlet(0), "no longer");
    EXPECT_EQ(n.d->GetNumberOfHeatExchangers(), 0);
    EXPECT_EQ(Chain(*n.d, "H1"), "FsPsE");
    EXPECT_EQ(Chain(*n.d, "C1"), "FsPsE");
    EXPECT_EQ(StructuralFault(*n.d), "");
    EXPECT_TRUE(n.view.Saw(CPIHENDesign::CodeSplitterMixerRemoved, teeName));
}

TEST(HENDesignSplitters, RemovingTheEmptyBranchLeavesTheExchangerInTheChain) {
    Network n;
    CNode* tee = n.Split("H1", 0, 2);
    CNode* x = n.d->AddHeatExchanger(tee->getIthDownStreamNode(0), n.Segment("C1", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(x);
    n.d->RemoveSplitterBranch(tee->getIthDownStreamNode(1), nullptr);
    EXPECT_EQ(Chain(*n.d, "H1"), "FsPsXsPsE");
    EXPECT_EQ(StructuralFault(*n.d), "");
}

TEST(HENDesignSplitters, ARemovedSpecifiedFractionIsSpreadOverTheOtherSpecifiedBranches) {
    Network n;
    CNode* tee = n.Split("H1", 0, 3);
    ASSERT_TRUE(tee);
    n.d->RemoveSplitterBranch(tee->getIthDownStreamNode(0), nullptr);
    const std::vector<CNode*> left = tee->getAllDownStreamNodes();
    ASSERT_EQ(left.size(), 2u);
    int status = 0;
    EXPECT_DOUBLE_EQ(Fraction(left[0], &status), 1.0 / 3 + 1.0 / 6);
    EXPECT_EQ(status, ValueStatus::Specified);
    EXPECT_DOUBLE_EQ(Fraction(left[1], &status), 0.5);
    EXPECT_EQ(status, ValueStatus::Calculated);
}

TEST(HENDesignSplitters, ABypassMayEncloseAWholeSplitterMixerButNotHalfOfOne) {
    Network n;
    ASSERT_TRUE(n.d->AddHeatExchanger(n.Segment("H1", 0), n.Segment("C1", 0), nullptr, nullptr, nullptr));
    ASSERT_TRUE(n.d->AddHeatExchanger(n.Segment("H1", 0), n.Segment("C2", 0), nullptr, nullptr, nullptr));
    const std::string plain = Chain(*n.d, "H1");
    ASSERT_EQ(plain, "FsPsXsPsXsPsE");
    CNode* inner = n.Split("H1", 2, 2);  // right after the first exchanger, before its placeholder
    ASSERT_TRUE(inner);
    const std::string split = Chain(*n.d, "H1");
    EXPECT_EQ(split, "FsPsXsTsMsPsXsPsE");
    CNode* first = n.Segment("H1", 0);
    CNode* last = n.Segment("H1", static_cast<int>(std::count(split.begin(), split.end(), 's')) - 1);
    EXPECT_FALSE(n.d->CanAddBypass(first, inner->getIthDownStreamNode(1)));
    EXPECT_FALSE(n.d->CanAddBypass(inner->getIthDownStreamNode(0), last));
    ASSERT_TRUE(n.d->CanAddBypass(first, last));
    CNode* outer = nullptr;
    ASSERT_TRUE(n.d->AddSplitterMixer(first, last, outer, "bypass", 2));
    ASSERT_TRUE(outer);
    // The bypass ends before the stream's last placeholder.
    EXPECT_EQ(Chain(*n.d, "H1"), "FsTs" + split.substr(2, split.size() - 5) + "MsPsE");
    double t = 0.0;
    EXPECT_TRUE(ChainNodes(*n.d, "H1").end()[-2]->getVariableAsDouble(NodeValue::Temperature, t));
    EXPECT_EQ(t, 80.0);  // the target temperature holds after the mixer
    EXPECT_EQ(Fraction(outer->getIthDownStreamNode(1)), 0.0);
    EXPECT_EQ(BranchFault(*n.d), "");
    EXPECT_EQ(n.d->GetSplitterState(outer), 2);

    n.d->RemoveSplitterMixer(outer, "undo");  // takes the inner splitter-mixer and both exchangers
    EXPECT_EQ(Chain(*n.d, "H1"), "FsPsE");
    EXPECT_EQ(n.d->GetNumberOfHeatExchangers(), 0);
    EXPECT_EQ(StructuralFault(*n.d), "");
}

namespace {

// Random splits, bypasses, branch edits and exchanger edits on six streams; after every edit
// each stream is whole through all its branches and no node is left over.
struct RandomSplits : DesignScenario {
    explicit RandomSplits(unsigned seed) : rng(seed) {
        for (int i = 0; i < 3; ++i) Add(("H" + std::to_string(i)).c_str(), 200 - 10 * i, 60 + 5 * i, 1.0 + i);
        for (int i = 0; i < 3; ++i) Add(("C" + std::to_string(i)).c_str(), 30 + 5 * i, 180 - 10 * i, 1.5 + i);
        d = Design("R");
    }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    std::vector<CNode*> OfKind(const char* kind, IHeatIntegrationStream* stream) {
        std::vector<CNode*> out;
        for (int k = 0; k < d->GetNumberOfNodes(); ++k) {
            CNode* node = d->GetNodeByIndex(k);
            if (node->getClassName() == kind && (!stream || chain::StreamOf(node) == stream)) out.push_back(node);
        }
        return out;
    }
    CNode* Any(const std::vector<CNode*>& nodes) {
        return nodes.empty() ? nullptr : nodes[static_cast<std::size_t>(Pick(static_cast<int>(nodes.size())))];
    }
    IHeatIntegrationStream* AnyStream() { return d->GetStream(Pick(d->GetNumberOfStreams())); }
    std::string Edit() {
        IHeatIntegrationStream* s = AnyStream();
        CNode* a = Any(OfKind(NodeKind::MaterialStream, s));
        CNode* b = Any(OfKind(NodeKind::MaterialStream, s));
        CNode* tee = Any(OfKind(NodeKind::Tee, nullptr));
        CNode* out = nullptr;
        switch (Pick(7)) {
        case 0:
        case 1: {
            CNode* c = Any(OfKind(NodeKind::MaterialStream, AnyStream()));
            return d->CanMatchStreams(a, c) && d->AddHeatExchanger(a, c, "r", nullptr, nullptr) ? "add" : "no add";
        }
        case 2: {
            CNode* x = nullptr;
            return d->GetNumberOfHeatExchangers() && d->GetHeatExchanger(Pick(d->GetNumberOfHeatExchangers()), x) &&
                           d->DeleteHeatExchanger(x, "r")
                       ? "delete"
                       : "no delete";
        }
        case 3:
            return d->AddSplitterMixer(a, a, out, "r", 2 + Pick(2)) ? "split" : "no split";
        case 4:
            return d->CanAddBypass(a, b) && d->AddSplitterMixer(a, b, out, "r", 2) ? "bypass" : "no bypass";
        case 5:
            if (!tee) return "no tee";
            if (Pick(2)) d->AddSplitterBranch(tee, "r", 1);
            else d->RemoveSplitterBranch(Any(tee->getAllDownStreamNodes()), "r");
            return "branch";
        default:
            if (!tee) return "no tee";
            d->RemoveSplitterMixer(tee, "r");
            return "unsplit";
        }
    }
    std::mt19937 rng;
    CPIHENDesign* d = nullptr;
};

class RandomSplitEdits : public ::testing::TestWithParam<unsigned> {};

}  // namespace

TEST_P(RandomSplitEdits, EveryEditLeavesEveryBranchWhole) {
    RandomSplits r(GetParam());
    std::string history;
    for (int step = 0; step < 300; ++step) {
        history += r.Edit() + " ";
        const std::string fault = BranchFault(*r.d);
        if (!fault.empty()) {
            std::string all;
            for (int i = 0; i < r.d->GetNumberOfStreams(); ++i) all += Describe(*r.d, r.d->GetStream(i)->GetName()) + " ";
            FAIL() << fault << " after " << history << "\n" << all;
        }
        std::set<const CNode*> listed;
        CNode* x = nullptr;
        for (int k = 0; r.d->GetHeatExchanger(k, x); ++k) listed.insert(x);
        ASSERT_EQ(listed.size(), r.OfKind(NodeKind::HeatExchanger, nullptr).size()) << "after " << history;
    }
    // With every split gone the design is in plain chain form again.
    for (std::vector<CNode*> tees = r.OfKind(NodeKind::Tee, nullptr); !tees.empty(); tees = r.OfKind(NodeKind::Tee, nullptr))
        r.d->RemoveSplitterMixer(tees.front(), nullptr);
    EXPECT_EQ(StructuralFault(*r.d), "") << history;
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomSplitEdits, ::testing::Range(1u, 9u));

TEST(HENDesignSplitters, ABypassToTheStreamsEndTakesItsTargetTemperatureAndLeavesTheChainWhenRemoved) {
    Network n;
    CNode* x = n.d->AddHeatExchanger(n.Segment("H1", 0), n.Segment("C1", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(x);
    ASSERT_TRUE(n.d->RemoveUtilityAtPort(x, ExchangerPort::HotSideProduct));
    ASSERT_EQ(Chain(*n.d, "H1"), "FsPsXsE");
    CNode* last = n.Segment("H1", 2);
    CNode* bypass = nullptr;
    ASSERT_TRUE(n.d->AddSplitterMixer(n.Segment("H1", 0), last, bypass, nullptr, 2));
    EXPECT_EQ(Chain(*n.d, "H1"), "FsTsPsXsMsE");
    double t = 0.0;
    EXPECT_TRUE(n.Segment("H1", 4)->getVariableAsDouble(NodeValue::Temperature, t));
    EXPECT_EQ(t, 80.0);
    // The main branch's end is no longer specified: the mixer works it out from the outlet.
    EXPECT_NE(last->getVariableStatus(NodeValue::Temperature), ValueStatus::Specified);
    n.d->RemoveSplitterMixer(bypass, nullptr);  // it spanned the whole stream
    EXPECT_EQ(Chain(*n.d, "H1"), "FsPsE");
    EXPECT_EQ(StructuralFault(*n.d), "");
}

// H 150 -> 50 (CP 1) through X1 (30 kW) and X2 (20 kW), a bypass around X1 held shut (its
// branch's share is 0): the mixer passes on what X1 leaves, 120 C, and X2 carries on from there.
// Opened to a quarter, the bypass leaves X1 three quarters of the flow to cool by 40 K to 110 C;
// mixed back with 150 C that is 120 C again.
TEST(HENDesignSplitters, ABypassThatCarriesNothingPassesTheMainBranchOn) {
    DesignScenario s;
    s.Add("H", 150, 50, 1.0);
    s.Add("C1", 20, 60, 1.0);
    s.Add("C2", 30, 60, 1.0);
    CPIHENDesign* d = s.Design("D");
    CNode* x1 = d->AddHeatExchanger(NthSegment(*d, "H", 0), NthSegment(*d, "C1", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(x1 && d->RemoveUtilityAtPort(x1, 0) && d->RemoveUtilityAtPort(x1, 2));
    CNode* x2 = d->AddHeatExchanger(NthSegment(*d, "H", 1), NthSegment(*d, "C2", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(x2 && d->RemoveUtilityAtPort(x2, 2));
    d->RemoveUtilityAtPort(x2, 0);
    ASSERT_EQ(Chain(*d, "H"), "FsXsXsPsE");
    x1->addVariable(NodeValue::Duty, 30.0, ValueStatus::Specified);
    x2->addVariable(NodeValue::Duty, 20.0, ValueStatus::Specified);
    CNode* tee = nullptr;
    ASSERT_TRUE(d->AddSplitterMixer(NthSegment(*d, "H", 0), NthSegment(*d, "H", 1), tee, nullptr, 2));
    ASSERT_EQ(Chain(*d, "H"), "FsTsXsMsXsPsE");
    CNode* mixed = NthSegment(*d, "H", 3);
    CNode* bypass = tee->getIthDownStreamNode(1);
    ASSERT_EQ(Fraction(bypass), 0.0);
    auto temperature = [](CNode* n) {
        double t = -1.0;
        return n && n->getVariableAsDouble(NodeValue::Temperature, t) ? t : -32767.0;
    };
    for (const auto& [share, afterX1] : {std::pair{0.0, 120.0}, std::pair{0.25, 110.0}}) {
        bypass->addVariable(NodeValue::SplitFraction, share, ValueStatus::Specified);
        d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
        const double expected = 120.0;
        EXPECT_NEAR(temperature(AsHeatExch(x1)->getOutlet(0)), afterX1, 1e-9) << share;
        EXPECT_NEAR(temperature(mixed), expected, 1e-9) << share;
        EXPECT_NEAR(temperature(AsHeatExch(x2)->getOutlet(0)), expected - 20.0, 1e-9) << share;
        EXPECT_EQ(AsHeatExch(x2)->getStatus(), ExchangerStatus::Calculated) << share;
    }
}
