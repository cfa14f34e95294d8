// The flowsheet: editing, look-ups, clone, the record, and a small network calculated unit by unit.
#include "brasko/LurmetBinaryFile.h"
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "pellin/UnitNodes.h"
#include "tests/support/FlowsheetTestStream.h"
#include "tests/support/RecordHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

namespace V = NodeValue;

// Two hot and two cold streams in chain form: H1 splits round two exchangers and is mixed again;
// E-100 and E-101 on the branches, E-102 from H2 to C2, a heater placeholder on C1 before its
// end and a cooler on H2. 24 nodes.
struct Network {
    FlowsheetTestStream h1{"H1", {180, 60}, {10}, {0.8}}, h2{"H2", {150, 40}, {8}, {0.6}};
    FlowsheetTestStream c1{"C1", {30, 160}, {9}, {0.7}}, c2{"C2", {50, 120}, {12}, {0.9}};
    FlowSheet sheet;

    CNode* add(const char* kind, const char* name, IFlowsheetStream* s = nullptr) {
        return sheet.addNode(FlowSheet::CreateNode(kind, name, s));
    }
    CNode* seg(IFlowsheetStream& s) { return add(NodeKind::MaterialStream, sheet.getDefaultNodeNameString().c_str(), &s); }
    void chain(std::initializer_list<CNode*> nodes) {
        CNode* prev = nullptr;
        for (CNode* n : nodes) {
            if (prev) {
                EXPECT_TRUE(sheet.connectNodes(prev, n));
            }
            prev = n;
        }
    }
    void port(CNode* x, int p, CNode* s) { EXPECT_TRUE(sheet.connectToPort(AsHeatExch(x), p, s)); }

    Network() {
        CNode* e100 = add(NodeKind::HeatExchanger, "E-100");
        CNode* e101 = add(NodeKind::HeatExchanger, "E-101");
        CNode* e102 = add(NodeKind::CountercurrentHX, "E-102");
        // H1: start, segment, tee, two branches through E-100 / E-101, mixer, segment, end.
        CNode* h1s = add(NodeKind::FeedBlock, "H1Start", &h1);
        CNode* a = seg(h1);
        auto* tee = static_cast<Splitter*>(add(NodeKind::Tee, "TEE-100"));
        auto* mix = static_cast<Mixer*>(add(NodeKind::Mixer, "MIX-100"));
        tee->setAssociatedMixer(mix);
        mix->setAssociatedSplitter(tee);
        CNode *b1 = seg(h1), *b1o = seg(h1), *b2 = seg(h1), *b2o = seg(h1), *z = seg(h1);
        CNode* h1e = add(NodeKind::ProductBlock, "H1End", &h1);
        chain({h1s, a, tee});
        chain({tee, b1});
        chain({tee, b2});
        port(e100, 0, b1);
        port(e100, 1, b1o);
        port(e101, 0, b2);
        port(e101, 1, b2o);
        chain({b1o, mix});
        chain({b2o, mix});
        chain({mix, z, h1e});
        b1->addVariable(V::SplitFraction, 0.4, 1);
        // C1 through E-100, a heater placeholder, end. C2 through E-101 and E-102.
        CNode *c1s = add(NodeKind::FeedBlock, "C1Start", &c1), *c1a = seg(c1), *c1b = seg(c1), *c1c = seg(c1);
        CNode* heater = add(NodeKind::Heater, "HTR-1");
        CNode* c1e = add(NodeKind::ProductBlock, "C1End", &c1);
        chain({c1s, c1a});
        port(e100, 2, c1a);
        port(e100, 3, c1b);
        chain({c1b, heater, c1c, c1e});
        CNode *c2s = add(NodeKind::FeedBlock, "C2Start", &c2), *c2a = seg(c2), *c2b = seg(c2), *c2c = seg(c2);
        CNode* c2e = add(NodeKind::ProductBlock, "C2End", &c2);
        chain({c2s, c2a});
        port(e101, 2, c2a);
        port(e101, 3, c2b);
        port(e102, 2, c2b);
        port(e102, 3, c2c);
        chain({c2c, c2e});
        CNode *h2s = add(NodeKind::FeedBlock, "H2Start", &h2), *h2a = seg(h2), *h2b = seg(h2);
        chain({h2s, h2a});
        port(e102, 0, h2a);
        port(e102, 1, h2b);
        for (const char* n : {"H1Start", "H2Start", "C1Start", "C2Start"}) {
            auto* s = static_cast<StreamPiece*>(sheet.getNode(n));
            double t = s->getParentPIStream()->GetSupplyTemperature();
            s->addVariable(V::Temperature, t, 1);
        }
        for (const char* n : {"H1End", "C1End", "C2End"}) {
            auto* s = static_cast<StreamPiece*>(sheet.getNode(n));
            s->addVariable(V::Temperature, s->getParentPIStream()->GetTargetTemperature(), 1);
        }
        e100->addVariable(V::Duty, 300, 1);
        e101->addVariable(V::Duty, 420, 1);
        e102->addVariable(V::HTArea, 12, 1);
        e100->addVariable(V::UnitOperationName, "E-100", 1, 1);
    }

    IFlowsheetStream* stream(const CPString& name) {
        for (FlowsheetTestStream* s : {&h1, &h2, &c1, &c2})
            if (s->GetName() == name) return s;
        return nullptr;
    }
    // Calculates every unit until nothing changes.
    int propagate(FlowSheet& fs) {
        int passes = 0;
        for (int written = 1; written && passes < 50; ++passes) {
            written = 0;
            for (CNode* n : fs.getAllNodes()) written += n->Calculate(UnitCode::Calculate);
        }
        return passes;
    }
};

std::vector<std::uint8_t> stored(const FlowSheet& fs) {
    LurmetBinaryFile f = LurmetBinaryFile::ForWriting();
    EXPECT_TRUE(fs.Store(f));
    return f.Bytes();
}

bool recall(FlowSheet& fs, std::vector<std::uint8_t> bytes, const FlowSheet::StreamResolver& r = {}) {
    LurmetBinaryFile f = LurmetBinaryFile::ForReading(std::move(bytes));
    return fs.Recall(f, r);
}

TEST(FlowSheet, NetworkCalculatesUnitByUnit) {
    Network n;
    ASSERT_GE(n.sheet.getNumberOfNodes(), 20);
    n.propagate(n.sheet);
    // Branch fractions 0.4 / 0.6 of H1 (CP 10): E-100 takes 300 kW out of CP 4, 180 -> 105;
    // E-101 420 kW out of CP 6, 180 -> 110; mixed: (4 x 105 + 6 x 110) / 10 = 108.
    auto t = [&](CNode* x, int port) {
        double v = 0;
        HeatExch* e = AsHeatExch(x);
        (port % 2 ? e->getOutlet(port / 2) : e->getInlet(port / 2))->getVariableAsDouble(V::Temperature, v);
        return v;
    };
    CNode* mix = n.sheet.getNode("MIX-100");
    double mixed = 0;
    ASSERT_EQ(mix->getIthDownStreamNode(0)->getVariableAsDouble(V::Temperature, mixed), 1);
    EXPECT_NEAR(t(n.sheet.getNode("E-100"), 1), 105.0, 1e-9);
    EXPECT_NEAR(t(n.sheet.getNode("E-101"), 1), 110.0, 1e-9);
    EXPECT_NEAR(mixed, 108.0, 1e-9);
    // C1 30 -> 30 + 300/9; its heater takes it on to 160.
    double duty = 0;
    ASSERT_EQ(n.sheet.getNode("HTR-1")->getVariableAsDouble(V::Duty, duty), 1);
    EXPECT_NEAR(duty, 9 * 130 - 300, 1e-9);
    // E-102 solved from its area: a duty, and its cold outlet at C2's end.
    EXPECT_EQ(AsHeatExch(n.sheet.getNode("E-102"))->getStatus(), ExchangerStatus::Calculated);
    EXPECT_GT(AsHeatExch(n.sheet.getNode("E-102"))->getLoad(), 0.0);
    // Clearing forgets every calculated value.
    for (CNode* node : n.sheet.getAllNodes()) node->Calculate(UnitCode::ClearCalculated);
    EXPECT_EQ(mix->getIthDownStreamNode(0)->getVariableStatus(V::Temperature), ValueStatus::Open);
    EXPECT_EQ(n.sheet.getNode("E-102")->getVariableStatus(V::Duty), ValueStatus::Open);
}

TEST(FlowSheet, EditingKeepsIndexesAndSlots) {
    Network n;
    FlowSheet& fs = n.sheet;
    CNode* e100 = fs.getNode("E-100");
    const std::uint32_t fp = e100->getDNAFingerPrint();
    EXPECT_EQ(fs.getNodeByFingerPrint(fp), e100);
    EXPECT_EQ(fs.getDNAFingerPrint("E-100"), fp);
    EXPECT_EQ(fs.getNode(0), e100);
    EXPECT_EQ(fs.getNode(fs.getNumberOfNodes()), nullptr);
    EXPECT_EQ(fs.getAllNodesOfType(NodeKind::HeatExchanger).size(), 2u);
    EXPECT_EQ(fs.getAllNodesOfType(NodeKind::FeedBlock).front()->getName(), "H1Start");

    // Type queries: both exchanger kinds answer both names; the end and the placeholder none.
    void* out = nullptr;
    EXPECT_EQ(fs.getNode("E-102")->QueryInterface(NodeKind::HeatExchanger, &out), 1);
    EXPECT_EQ(fs.getNode("TEE-100")->QueryInterface(NodeKind::Mixer, &out), 2);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(fs.getNode("H1End")->QueryInterface(NodeKind::BaseNode, &out), 2);
    EXPECT_EQ(fs.getNode("HTR-1")->QueryInterface(NodeKind::Heater, &out), 2);
    EXPECT_NE(AsDummyHX(fs.getNode("HTR-1")), nullptr);
    EXPECT_NE(AsStreamEnd(fs.getNode("H1End")), nullptr);
    EXPECT_EQ(AsMixer(fs.getNode("TEE-100")), nullptr);

    // A rename keeps the node connected; a taken name is refused.
    CNode* cold = AsHeatExch(e100)->getInlet(1);
    EXPECT_FALSE(fs.renameNode(e100, "E-101"));
    EXPECT_TRUE(fs.renameNode(e100, "E-200"));
    EXPECT_EQ(fs.getNode("E-100"), nullptr);
    EXPECT_EQ(AsHeatExch(fs.getNode("E-200"))->getInlet(1), cold);

    // Disconnecting a side leaves its slot empty so the other side keeps its number.
    CNode* hotIn = AsHeatExch(e100)->getInlet(0);
    EXPECT_TRUE(fs.disconnectNodes(hotIn, e100));
    EXPECT_EQ(AsHeatExch(e100)->getInlet(0), nullptr);
    EXPECT_EQ(AsHeatExch(e100)->getInlet(1), cold);
    EXPECT_FALSE(fs.disconnectNodes(hotIn, e100));
    EXPECT_TRUE(fs.connectToPort(AsHeatExch(e100), ExchangerPort::HotSideFeed, hotIn));
    EXPECT_FALSE(fs.connectToPort(AsHeatExch(e100), ExchangerPort::HotSideFeed, cold));  // taken
    EXPECT_FALSE(fs.connectNodes(e100, e100));

    // A tee's branches close up; deleting the mixer unpairs the tee.
    auto* tee = static_cast<Splitter*>(fs.getNode("TEE-100"));
    CNode* first = tee->getIthDownStreamNode(0);
    EXPECT_TRUE(fs.detachNode(first));
    EXPECT_EQ(tee->getNumberOfBranches(), 1);
    EXPECT_EQ(first->getNumberOfUpStreamNodes() + first->getNumberOfDownStreamNodes(), 0);
    EXPECT_TRUE(fs.deleteNode(fs.getNode("MIX-100")));
    EXPECT_EQ(tee->getAssociatedMixer(), nullptr);
    const int before = fs.getNumberOfNodes();
    EXPECT_TRUE(fs.deleteNode(first));
    EXPECT_EQ(fs.getNumberOfNodes(), before - 1);
    EXPECT_EQ(fs.getNodeByFingerPrint(fp), e100);

    // Fresh names are free, fingerprints never come back.
    const CPString fresh = fs.getDefaultNodeNameString();
    EXPECT_EQ(fs.getNode(fresh), nullptr);
    EXPECT_EQ(fs.addNode(FlowSheet::CreateNode(NodeKind::Tee, "E-101")), nullptr);
    EXPECT_EQ(fs.addNode(FlowSheet::CreateNode("ppSeparator", "S")), nullptr);
    const std::vector<std::uint32_t> fps = fs.getAllDNAFingerPrints();
    CNode* added = fs.addNode(FlowSheet::CreateNode(NodeKind::Tee, fresh));
    EXPECT_GT(added->getDNAFingerPrint(), *std::max_element(fps.begin(), fps.end()));
    EXPECT_NE(added->getDNAFingerPrint(), fp);
}

TEST(FlowSheetRecord, StoresReadsAndStoresTheSameBytes) {
    Network n;
    n.propagate(n.sheet);
    const auto bytes = stored(n.sheet);
    FlowSheet back;
    ASSERT_TRUE(recall(back, bytes, [&](const CPString& s) { return n.stream(s); }));
    EXPECT_EQ(stored(back), bytes);
    ASSERT_EQ(back.getNumberOfNodes(), n.sheet.getNumberOfNodes());
    for (int i = 0; i < back.getNumberOfNodes(); ++i) {
        EXPECT_EQ(back.getNode(i)->getName(), n.sheet.getNode(i)->getName());
        EXPECT_EQ(back.getNode(i)->getDNAFingerPrint(), n.sheet.getNode(i)->getDNAFingerPrint());
        EXPECT_TRUE(back.getNode(i)->getValues() == n.sheet.getNode(i)->getValues());
    }
    EXPECT_EQ(AsHeatExch(back.getNode("E-102"))->getStatus(), ExchangerStatus::Calculated);
    EXPECT_EQ(static_cast<Splitter*>(back.getNode("TEE-100"))->getAssociatedMixer(), back.getNode("MIX-100"));
    EXPECT_EQ(back.getNode("E-100")->getVariableFlag(V::UnitOperationName), 1);
    EXPECT_EQ(static_cast<StreamPiece*>(back.getNode("C1Start"))->getParentPIStream(), &n.c1);
    // The copy calculates as the original does.
    for (CNode* node : back.getAllNodes()) node->Calculate(UnitCode::ClearCalculated);
    n.propagate(back);
    EXPECT_EQ(stored(back), bytes);
}

struct CountingOwner : FSOwner {
    int changes = 0;
    void FlowsheetChanged() override { ++changes; }
};

TEST(FlowSheetRecord, CloneKeepsNamesAndFingerprints) {
    Network n;
    n.propagate(n.sheet);
    CountingOwner owner;
    std::unique_ptr<FlowSheet> copy = n.sheet.clone(&owner);
    EXPECT_EQ(copy->getOwner(), &owner);
    // Edits do not call the owner; the editing code does, once.
    CNode* start = copy->getNode("H1Start");
    EXPECT_TRUE(copy->disconnectNodes(start, start->getIthDownStreamNode(0)));
    EXPECT_EQ(owner.changes, 0);
    copy->NotifyOwner();
    EXPECT_EQ(owner.changes, 1);
    copy = n.sheet.clone(&owner);
    EXPECT_EQ(copy->getAllDNAFingerPrints(), n.sheet.getAllDNAFingerPrints());
    EXPECT_EQ(stored(*copy), stored(n.sheet));
    for (int i = 0; i < copy->getNumberOfNodes(); ++i) {
        EXPECT_EQ(copy->getNode(i)->getName(), n.sheet.getNode(i)->getName());
        EXPECT_EQ(copy->getNode(i)->getFlowSheet(), copy.get());
        for (CNode* d : copy->getNode(i)->getAllDownStreamNodes()) EXPECT_EQ(d->getFlowSheet(), copy.get());
    }
    // Independent: an edit of the copy leaves the original alone.
    copy->deleteNode(copy->getNode("E-100"));
    EXPECT_NE(n.sheet.getNode("E-100"), nullptr);
    EXPECT_EQ(copy->getDefaultNodeNameString(), n.sheet.getDefaultNodeNameString());
}

// A flowsheet given back from a clone taken earlier is the same bytes again after values were
// written, a unit deleted, a node added and a name drawn; the nodes that stayed are the same
// objects, the one deleted comes back with its name, fingerprint and connections, the one added
// goes, and the next fresh name is the one it was.
TEST(FlowSheetRecord, RestoreGivesBackWhatTheCloneHeld) {
    Network n;
    n.propagate(n.sheet);
    const auto bytes = stored(n.sheet);
    CNode* e102 = n.sheet.getNode("E-102");
    CNode* tee = n.sheet.getNode("TEE-100");
    const std::uint32_t e100Print = n.sheet.getNode("E-100")->getDNAFingerPrint();
    std::unique_ptr<FlowSheet> kept = n.sheet.clone(nullptr);
    const CPString nextName = n.sheet.clone(nullptr)->getDefaultNodeNameString();
    e102->addVariable(V::Duty, 1.0, ValueStatus::Specified);
    AsHeatExch(e102)->Calculate(UnitCode::ClearCalculated);
    ASSERT_TRUE(n.sheet.deleteNode(n.sheet.getNode("E-100")));
    CNode* added = n.sheet.addNode(FlowSheet::CreateNode(NodeKind::Heater, n.sheet.getDefaultNodeNameString()));
    ASSERT_NE(added, nullptr);
    ASSERT_NE(stored(n.sheet), bytes);
    n.sheet.Restore(*kept);
    EXPECT_EQ(stored(n.sheet), bytes);
    EXPECT_EQ(n.sheet.getNode("E-102"), e102);
    EXPECT_EQ(n.sheet.getNode("TEE-100"), tee);
    CNode* e100 = n.sheet.getNode("E-100");
    ASSERT_NE(e100, nullptr);
    EXPECT_EQ(e100->getFlowSheet(), &n.sheet);
    EXPECT_EQ(e100->getDNAFingerPrint(), e100Print);
    EXPECT_EQ(n.sheet.getNodeByFingerPrint(e100Print), e100);
    for (CNode* d : e100->getAllDownStreamNodes()) EXPECT_EQ(d->getFlowSheet(), &n.sheet);
    // It calculates as before.
    for (CNode* node : n.sheet.getAllNodes()) node->Calculate(UnitCode::ClearCalculated);
    n.propagate(n.sheet);
    EXPECT_EQ(stored(n.sheet), bytes);
    EXPECT_EQ(n.sheet.getDefaultNodeNameString(), nextName);
}

// A segment keeps its share of the flow between reads; every way of changing a split fraction or
// a connection must show in the next read: a value written by name, a value written through its
// holder, a calculated fraction, a cut and a rejoined connection, a clone. A branch whose share is
// 0 adds nothing at the mixer; shares that do not add up to 1 leave the flow after it unknown.
TEST(FlowSheet, SharesOfTheFlowFollowEveryChange) {
    Network n;
    n.propagate(n.sheet);
    CNode* tee = n.sheet.getNode("TEE-100");
    auto* b1 = AsStreamNode(tee->getIthDownStreamNode(0));
    auto* b2 = AsStreamNode(tee->getIthDownStreamNode(1));
    auto* afterE100 = AsStreamNode(AsHeatExch(n.sheet.getNode("E-100"))->getOutlet(0));
    auto* mixed = AsStreamNode(n.sheet.getNode("MIX-100")->getIthDownStreamNode(0));
    EXPECT_DOUBLE_EQ(afterE100->getSplitFraction(), 0.4);
    EXPECT_DOUBLE_EQ(b2->getSplitFraction(), 0.6);  // calculated by the tee
    EXPECT_DOUBLE_EQ(mixed->getSplitFraction(), 1.0);

    b1->addVariable(V::SplitFraction, 0.25, 1);
    EXPECT_DOUBLE_EQ(afterE100->getSplitFraction(), 0.25);
    b1->findValue(V::SplitFraction)->SetValue(0.3, 1);
    EXPECT_DOUBLE_EQ(afterE100->getSplitFraction(), 0.3);
    b2->clearCalculated(V::SplitFraction);
    EXPECT_EQ(b2->getSplitFraction(), -1.0);
    EXPECT_EQ(mixed->getSplitFraction(), -1.0);
    n.propagate(n.sheet);
    EXPECT_DOUBLE_EQ(b2->getSplitFraction(), 0.7);

    // The whole flow down one branch: the other carries nothing and the mix is the first.
    b1->addVariable(V::SplitFraction, 1.0, 1);
    b2->clearCalculated(V::SplitFraction);
    n.propagate(n.sheet);
    EXPECT_EQ(b2->getSplitFraction(), 0.0);
    EXPECT_DOUBLE_EQ(mixed->getSplitFraction(), 1.0);
    mixed->clearCalculated(V::Temperature);
    n.sheet.getNode("MIX-100")->Calculate(UnitCode::Calculate);
    double tMixed = 0.0, tBranch = 0.0;
    ASSERT_TRUE(mixed->getVariableAsDouble(V::Temperature, tMixed));
    ASSERT_TRUE(afterE100->getVariableAsDouble(V::Temperature, tBranch));
    EXPECT_DOUBLE_EQ(tMixed, tBranch);

    // Shares that bring back only 80 % of the flow: nothing is known after the mixer.
    b1->addVariable(V::SplitFraction, 0.3, 1);
    b2->addVariable(V::SplitFraction, 0.5, 1);
    EXPECT_EQ(mixed->getSplitFraction(), -1.0);
    mixed->clearCalculated(V::Temperature);
    EXPECT_EQ(n.sheet.getNode("MIX-100")->Calculate(UnitCode::Calculate), 0);
    b1->addVariable(V::SplitFraction, 1.0, 1);
    b2->addVariable(V::SplitFraction, 0.0, 1);
    EXPECT_DOUBLE_EQ(mixed->getSplitFraction(), 1.0);

    CNode* up = tee->getIthUpStreamNode(0);
    ASSERT_TRUE(n.sheet.disconnectNodes(up, tee));
    EXPECT_EQ(afterE100->getSplitFraction(), -1.0);
    ASSERT_TRUE(n.sheet.connectNodes(up, tee));
    EXPECT_DOUBLE_EQ(afterE100->getSplitFraction(), 1.0);
    std::unique_ptr<FlowSheet> copy = n.sheet.clone(nullptr);
    b1->addVariable(V::SplitFraction, 0.5, 1);
    auto* twin = AsStreamNode(copy->getNode(afterE100->getName()));
    EXPECT_DOUBLE_EQ(twin->getSplitFraction(), 1.0);
    EXPECT_DOUBLE_EQ(afterE100->getSplitFraction(), 0.5);
}

TEST(FlowSheet, StreamPiecesRebindByNameOrNotAtAll) {
    Network n;
    FlowsheetTestStream h1{"H1", {180, 60}, {10}, {0.8}}, h2{"H2", {150, 40}, {8}, {0.6}};
    FlowsheetTestStream c1{"C1", {30, 160}, {9}, {0.7}};
    auto only = [&](bool withC2) {
        return [&, withC2](const CPString& name) -> IFlowsheetStream* {
            for (FlowsheetTestStream* s : {&h1, &h2, &c1})
                if (s->GetName() == name) return s;
            return withC2 ? n.stream("C2") : nullptr;
        };
    };
    CPString missing;
    EXPECT_FALSE(n.sheet.RebindStreams(only(false), &missing));
    EXPECT_EQ(missing, "C2");
    EXPECT_EQ(static_cast<StreamPiece*>(n.sheet.getNode("H1Start"))->getParentPIStream(), n.stream("H1"));
    EXPECT_TRUE(n.sheet.RebindStreams(only(true)));
    EXPECT_EQ(static_cast<StreamPiece*>(n.sheet.getNode("H1Start"))->getParentPIStream(), &h1);
    EXPECT_EQ(static_cast<StreamPiece*>(n.sheet.getNode("C2Start"))->getParentPIStream(), n.stream("C2"));
}

// The flowsheet's record through the record harness: the calculated network is cut after every
// field and read into the network as built, which must stay as it was.
const std::vector<RecordType>& Table() {
    static const std::vector<RecordType> table = {Record<Network>(
        "flowsheet",
        [] {
            auto n = std::make_shared<Network>();
            n->propagate(n->sheet);
            return n;
        },
        [] { return std::make_shared<Network>(); }, [](const Network& n, ILurmetBinaryFile& f) { return n.sheet.Store(f); },
        [](Network& n, ILurmetBinaryFile& f) { return n.sheet.Recall(f, [&](const CPString& s) { return n.stream(s); }); })};
    return table;
}

class PellinRecordTable : public ::testing::TestWithParam<std::size_t> {};

TEST_P(PellinRecordTable, FailedWritesAreReportedAndShortRecordsChangeNothing) { ExpectRecordHarnessHolds(Table()[GetParam()]); }

INSTANTIATE_TEST_SUITE_P(Records, PellinRecordTable, ::testing::Range<std::size_t>(0, Table().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) { return std::string(Table()[info.param].name); });

// Random damage of the record: the reader answers false (or, for damage that still makes a
// record, true) without a crash, and a refused record leaves the flowsheet as it was.
TEST(FlowSheetRecord, DamagedRecordsFailCleanly) {
    Network n;
    n.propagate(n.sheet);
    const auto bytes = stored(n.sheet);
    std::mt19937 random(19);
    for (int trial = 0; trial < 2000; ++trial) {
        std::vector<std::uint8_t> damaged = bytes;
        const int flips = 1 + trial % 4;
        for (int i = 0; i < flips; ++i)
            damaged[8 + random() % (damaged.size() - 8)] = static_cast<std::uint8_t>(random());
        FlowSheet target;
        target.addNode(FlowSheet::CreateNode(NodeKind::Tee, "kept"));
        if (!recall(target, damaged)) {
            ASSERT_EQ(target.getNumberOfNodes(), 1);
            ASSERT_NE(target.getNode("kept"), nullptr);
        }
    }
}

}  // namespace
