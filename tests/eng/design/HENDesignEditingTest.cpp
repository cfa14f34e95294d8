// The design object and its editing: defaults and identity, the node factory and the five-node
// chain of a new stream, copies, the stream-match check in its key order, and adding, deleting
// and moving exchangers with their chain shapes, port names, change-log lines and codes.
#include "DesignTestSupport.h"

#include "dunmor/Exceptions.h"
#include "pellin/StreamNodes.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
using namespace design_test;

namespace {

// Hot H1 (180 -> 80, CP 2) and H2, cold C1 (40 -> 140, CP 2) and C2, steam ST (hot utility) and
// cooling water CW (cold utility).
struct Network : ListenedDesign {
    Network() {
        Add("H1", 180, 80, 2.0);
        Add("H2", 150, 60, 1.0);
        Add("C1", 40, 140, 2.0);
        Add("C2", 30, 100, 1.0);
        Add("ST", 250, 249, 0.5, 1);
        Add("CW", 20, 30, 0.1, 1);
        OpenDesign();
    }
};

}  // namespace

TEST(HENDesignObject, ANewDesignHasItsDefaultsAndNamesItsFirstUnitsFrom100) {
    Network n;
    EXPECT_EQ(n.d->GetDTMin(), 10.0);
    EXPECT_EQ(n.d->GetHTMaxAreaShell(), 500.0);
    EXPECT_EQ(n.d->GetIntegerOption(), 3);
    EXPECT_TRUE(n.d->GetOptimizeExchangerDuties() && n.d->GetOptimizeSplitFractions() && n.d->GetOptimizerOptionFlag());
    EXPECT_FALSE(n.d->IsExistingNetwork());
    EXPECT_EQ(n.d->GetEditLockState(), 0);
    EXPECT_EQ(n.d->GetScenarioLockState(), 0);

    CPString name;
    n.d->CreateNode(NodeKind::HeatExchanger, nullptr)->getVariableAsString(NodeValue::UnitOperationName, name);
    EXPECT_EQ(name, "E-100");
    n.d->CreateNode(NodeKind::Tee, nullptr)->getVariableAsString(NodeValue::UnitOperationName, name);
    EXPECT_EQ(name, "TEE-100");
    n.d->CreateNode(NodeKind::Mixer, nullptr)->getVariableAsString(NodeValue::UnitOperationName, name);
    EXPECT_EQ(name, "MIX-100");
}

TEST(HENDesignObject, TheFactorySkipsATakenExchangerNameButNotATeeNameAndMakesNoUnknownKind) {
    Network n;
    FlowSheet* sheet = n.d->GetFlowSheet();
    sheet->addNode(FlowSheet::CreateNode(NodeKind::HeatExchanger, "E-100"));
    sheet->addNode(FlowSheet::CreateNode(NodeKind::Tee, "TEE-100"));
    CPString name;
    n.d->CreateNode(NodeKind::HeatExchanger, nullptr)->getVariableAsString(NodeValue::UnitOperationName, name);
    EXPECT_EQ(name, "E-101");
    n.d->CreateNode(NodeKind::Tee, nullptr)->getVariableAsString(NodeValue::UnitOperationName, name);
    EXPECT_EQ(name, "TEE-100");
    const int nodes = n.d->GetNumberOfNodes();
    EXPECT_EQ(n.d->CreateNode("ppValve", nullptr), nullptr);
    EXPECT_EQ(n.d->GetNumberOfNodes(), nodes);
    n.d->RaiseNodeNameCounter(1000);
    EXPECT_EQ(n.d->ExchangerNames().GetNumber(), 1102);
}

TEST(HENDesignObject, QueryInterfaceAnswersTheDesignAndItsFlowsheetOwnerSide) {
    Network n;
    void* out = nullptr;
    ASSERT_TRUE(n.d->QueryInterface("Hen_Design_Class", &out));
    EXPECT_EQ(out, static_cast<IHENDesign*>(n.d));
    ASSERT_TRUE(n.d->QueryInterface("Flowsheet_Owner_Class", &out));
    EXPECT_EQ(out, static_cast<FSOwner*>(n.d));
    EXPECT_NE(out, static_cast<void*>(static_cast<IHENDesign*>(n.d)));
    void* untouched = &n;
    EXPECT_FALSE(n.d->QueryInterface("Something_Else", &untouched));
    EXPECT_EQ(untouched, &n);
}

TEST(HENDesignStreams, EveryStreamStartsAsTheFiveNodeChainWithItsEndTemperaturesSpecified) {
    Network n;
    ASSERT_EQ(n.d->GetNumberOfStreams(), 6);
    EXPECT_EQ(n.d->GetNumberOfProcessStreams(), 4);
    EXPECT_EQ(n.d->GetNumberOfUtilityStreams(), 2);
    EXPECT_EQ(n.d->GetUtilityStream(1)->GetName(), "CW");
    for (const char* s : {"H1", "C2", "ST"}) EXPECT_EQ(Chain(*n.d, s), "FsPsE") << s;
    const std::vector<CNode*> h1 = ChainNodes(*n.d, "H1");
    double t = 0.0;
    ASSERT_TRUE(h1[1]->getVariableAsDouble(NodeValue::Temperature, t));
    EXPECT_EQ(t, 180.0);
    EXPECT_EQ(h1[1]->getVariableStatus(NodeValue::Temperature), ValueStatus::Specified);
    ASSERT_TRUE(h1[3]->getVariableAsDouble(NodeValue::Temperature, t));
    EXPECT_EQ(t, 80.0);
    EXPECT_EQ(h1[4]->getName(), "H1End");
    EXPECT_EQ(StructuralFault(*n.d), "");

    n.Add("C3", 20, 60, 1.0);
    EXPECT_EQ(Chain(*n.d, "C3"), "FsPsE");
    EXPECT_TRUE(n.view.Saw(CPIHENDesign::CodeStreamAdded, "C3"));
}

TEST(HENDesignStreams, RenamingAStreamRenamesItsBlocksAndPiecesAndAnnouncesIt) {
    Network n;
    ASSERT_TRUE(n.d->AddHeatExchanger(n.Segment("H1", 0), n.Segment("C1", 0), nullptr, nullptr, nullptr));
    ASSERT_EQ(n.scenario->RenameStream("H1", "HX1"), 1);
    EXPECT_EQ(Chain(*n.d, "HX1"), "FsPsXsPsE");
    EXPECT_EQ(n.d->GetNodeByName("H1Start"), nullptr);
    EXPECT_EQ(n.d->GetNumberOfUnitsOnStream("HX1"), 1);
    EXPECT_TRUE(n.view.Saw(CPIHENDesign::CodeStreamRenamed, "H1"));
    EXPECT_EQ(StructuralFault(*n.d), "");
}

TEST(HENDesignStreams, ACopyCarriesNetworkAndSettingsButNotTheChangeLog) {
    Network n;
    ASSERT_TRUE(n.d->AddHeatExchanger(n.Segment("H1", 0), n.Segment("C1", 0), "by hand", nullptr, nullptr));
    n.d->SetDTMin(15.0);
    n.d->SetNotes("first try");
    n.d->SetExistingNetworkLocked(true);
    CPIHENDesign* copy = n.Design("D2");
    n.d->CopyTo(*copy);
    EXPECT_EQ(Chain(*copy, "H1"), "FsPsXsPsE");
    EXPECT_EQ(copy->GetNumberOfHeatExchangers(), 1);
    EXPECT_EQ(copy->GetNumberOfUnitsOnStream("C1"), 1);
    EXPECT_EQ(copy->GetDTMin(), 15.0);
    EXPECT_STREQ(copy->GetNotes(), "first try");
    EXPECT_STREQ(copy->GetChangeLog(), "");
    EXPECT_EQ(copy->ExchangerNames().GetNumber(), 101);
    EXPECT_FALSE(copy->IsExistingNetworkLocked());  // same scenario
    EXPECT_EQ(StructuralFault(*copy), "");

    Network other;
    n.d->CopyTo(*other.d);
    EXPECT_TRUE(other.d->IsExistingNetworkLocked());  // another scenario
}

// The reason keys of the match check, first failure first.
TEST(HENDesignMatch, TheCheckAnswersItsReasonKeysInOrder) {
    Network n;
    n.Add("U2", 300, 299, 1.0, 1);
    n.Add("X1", 100, 50, 1.0);
    n.scenario->FindStream("X1")->LinkStream("H2");
    CPIHeatIntegrationStream* open = n.scenario->FindStream("C2");
    CNode* loose = n.d->GetFlowSheet()->addNode(FlowSheet::CreateNode(NodeKind::MaterialStream, "loose"));
    CNode* exchanger = n.d->CreateNode(NodeKind::HeatExchanger, nullptr);
    struct Row {
        CNode* a;
        CNode* b;
        const char* key;
    };
    const Row rows[] = {
        {nullptr, n.Segment("C1", 0), "NodesUndefined"},
        {exchanger, n.Segment("C1", 0), "NodesUnDefined"},
        {loose, n.Segment("C1", 0), "StreamUndefined"},
        {n.Segment("X1", 0), n.Segment("H2", 0), "StreamsForbiddenToMatch"},
        {n.Segment("ST", 0), n.Segment("U2", 0), "StreamsAreBothUtilitites"},
        {n.Segment("H1", 0), n.Segment("H1", 1), "StreamsBothHot"},
        {n.Segment("C1", 0), n.Segment("C2", 0), "StreamsBothCold"},
        {n.Segment("H1", 0), n.Segment("C1", 1), nullptr},
        {n.Segment("ST", 0), n.Segment("C1", 0), nullptr},
    };
    for (const Row& r : rows) {
        const char* key = n.d->CheckStreamMatch(r.a, r.b);
        EXPECT_EQ(key ? std::string(key) : "", r.key ? std::string(r.key) : "") << (r.key ? r.key : "allowed");
        EXPECT_EQ(n.d->CanMatchStreams(r.a, r.b), r.key == nullptr);
    }
    open->SetValue("HeatCapacityFlowrate", -32767.0, 0);  // segments no longer complete
    EXPECT_STREQ(n.d->CheckStreamMatch(n.Segment("H1", 0), n.Segment("C2", 0)), "StreamsUnDefined");
}

TEST(HENDesignEditing, AddingDeletingAndMovingAnExchangerGiveTheirChainsLinesAndCodes) {
    Network n;
    CNode* x = n.d->AddHeatExchanger(n.Segment("H1", 1), n.Segment("C1", 0), "by hand", nullptr, nullptr);
    ASSERT_TRUE(x);
    EXPECT_EQ(Chain(*n.d, "H1"), "FsPsXsPsE");  // the second segment: before the stream's utility
    EXPECT_EQ(Chain(*n.d, "C1"), "FsPsXsPsE");
    auto* hx = AsHeatExch(x);
    CPString port;
    ASSERT_TRUE(x->getVariableAsString("HotSideFeed", port));
    EXPECT_EQ(port, hx->getInlet(0)->getName());
    ASSERT_TRUE(x->getVariableAsString("ColdSideProduct", port));
    EXPECT_EQ(port, hx->getOutlet(1)->getName());
    long type = 0;
    ASSERT_TRUE(x->getVariableAsInteger("HeatExchangerOperationType", type));
    EXPECT_EQ(type, 3);
    EXPECT_TRUE(n.view.Saw(CPIHENDesign::CodeExchangerAdded, std::string(x->getName())));
    EXPECT_EQ(n.d->GetNumberOfUnitsOnStream("H1"), 1);

    // A second exchanger on H1's first segment goes in front of the first one's placeholder.
    CNode* y = n.d->AddHeatExchanger(n.Segment("H1", 0), n.Segment("C2", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(y);
    EXPECT_EQ(Chain(*n.d, "H1"), "FsPsXsPsXsPsE");
    EXPECT_EQ(StructuralFault(*n.d), "");

    ASSERT_TRUE(n.d->MoveHeatExchangerSide(x, hx->getInlet(0), n.Segment("H2", 0), "to free H1"));
    EXPECT_EQ(Chain(*n.d, "H1"), "FsPsXsPsE");
    EXPECT_EQ(Chain(*n.d, "H2"), "FsPsXsPsE");
    EXPECT_TRUE(n.view.Saw(CPIHENDesign::CodeExchangerMoved, std::string(x->getName())));
    EXPECT_EQ(StructuralFault(*n.d), "");

    const std::string xName = x->getName();
    ASSERT_TRUE(n.d->DeleteHeatExchanger(x, "no longer needed"));
    EXPECT_EQ(Chain(*n.d, "H2"), "FsPsE");
    EXPECT_EQ(Chain(*n.d, "C1"), "FsPsE");
    EXPECT_TRUE(n.view.Saw(CPIHENDesign::CodeExchangerDeleted, xName));
    EXPECT_EQ(n.d->GetNumberOfHeatExchangers(), 1);
    EXPECT_STREQ(n.d->GetChangeLog(),
                 "Heat exchanger E-100 is added by hand;\n"
                 "Hot side of Heat exchanger E-100 is moved from stream H1 to stream H2 to free H1;\n"
                 "Heat exchanger E-100 is deleted no longer needed;\n");
    EXPECT_EQ(StructuralFault(*n.d), "");
}

TEST(HENDesignEditing, AHeaterCarriesNoPlaceholdersOnItsUtilitySideAndAStreamLeavesCleanly) {
    Network n;
    CNode* heater = n.d->AddHeatExchanger(n.Segment("ST", 0), n.Segment("C1", 1), "for C1", nullptr, "HTR-1");
    ASSERT_TRUE(heater);
    EXPECT_EQ(Chain(*n.d, "ST"), "FsXsE");
    EXPECT_EQ(Chain(*n.d, "C1"), "FsPsXsPsE");
    EXPECT_TRUE(n.d->IsPortFreeOfUtility(heater, 0));
    EXPECT_TRUE(n.d->IsPortFreeOfUtility(heater, 1));
    long type = 0;
    heater->getVariableAsInteger("HeatExchangerOperationType", type);
    EXPECT_EQ(type, 1);
    EXPECT_EQ(n.d->GetNumberOfHeaters(), 1);
    EXPECT_EQ(n.d->GetHeater(0), heater);
    EXPECT_STREQ(n.d->GetChangeLog(), "Heater HTR-1 is added for C1;\n");
    EXPECT_EQ(n.d->AddHeatExchanger(n.Segment("ST", 0), n.Segment("C2", 0), nullptr, nullptr, "HTR-1"), nullptr);
    EXPECT_EQ(StructuralFault(*n.d), "");

    n.d->AddHeatExchanger(n.Segment("H1", 0), n.Segment("C1", 0), nullptr, nullptr, nullptr);
    ASSERT_EQ(n.scenario->DeleteStream("C1"), 1);
    EXPECT_EQ(n.d->GetNodeByName("C1Start"), nullptr);
    EXPECT_EQ(Chain(*n.d, "H1"), "FsPsE");
    EXPECT_EQ(n.d->GetNumberOfHeatExchangers(), 0);
    EXPECT_TRUE(n.view.Saw(CPIHENDesign::CodeStreamRemoved, "C1"));
    EXPECT_EQ(StructuralFault(*n.d), "");
}

// An attach that fails half way must not leave the exchanger hanging on one stream.
TEST(HENDesignEditing, AFailedAttachIsUndoneAndTheAddAnswersNull) {
    Network n;
    const int nodes = n.d->GetNumberOfNodes();
    // A segment of C1 that sits in no chain: the cold side cannot be attached.
    auto* loose = dynamic_cast<StreamNode*>(n.d->CreateNode(NodeKind::MaterialStream, n.scenario->FindStream("C1")));
    ASSERT_TRUE(loose);
    Exceptions::ClearRecords();
    EXPECT_EQ(n.d->AddHeatExchanger(n.Segment("H1", 0), loose, "never", nullptr, nullptr), nullptr);
    EXPECT_EQ(Exceptions::Records().size(), 1u);
    EXPECT_EQ(n.d->GetNumberOfNodes(), nodes + 1);  // only the loose segment is new
    EXPECT_EQ(Chain(*n.d, "H1"), "FsPsE");
    EXPECT_EQ(n.d->GetNumberOfHeatExchangers(), 0);
    EXPECT_EQ(n.d->GetNumberOfUnitsOnStream("H1"), 0);
    EXPECT_STREQ(n.d->GetChangeLog(), "");
    n.d->GetFlowSheet()->deleteNode(loose);
    EXPECT_EQ(StructuralFault(*n.d), "");

    // Nodes of another design are refused outright.
    CPIHENDesign* other = n.Design("D2");
    CNode* foreign = ChainNodes(*other, "C1")[1];
    EXPECT_EQ(n.d->AddHeatExchanger(n.Segment("H1", 0), foreign, nullptr, nullptr, nullptr), nullptr);
    CNode* x = other->AddHeatExchanger(ChainNodes(*other, "H1")[1], foreign, nullptr, nullptr, nullptr);
    ASSERT_TRUE(x);
    EXPECT_FALSE(n.d->DeleteHeatExchanger(x, nullptr));
    EXPECT_FALSE(n.d->RemoveUtilityAtPort(x, 0));
    EXPECT_FALSE(n.d->MoveHeatExchangerSide(x, AsHeatExch(x)->getInlet(0), n.Segment("H2", 0), nullptr));
    EXPECT_EQ(StructuralFault(*n.d), "");
    EXPECT_EQ(StructuralFault(*other), "");
}

namespace {

// Deleting the first of two exchangers in series on a hot stream. H1 170 -> 60 (CP 3, 330 kW) gives
// X1 240 kW to C2 (80 -> 140, CP 4, all of its 240 kW), then X2 90 kW to C1 (20 -> 135, CP 2, 230 kW);
// C1's utility after X2 carries its remaining 140 kW, C2's before X1 carries nothing.
struct SeriesDeletion {
    const char* name;
    bool endUtilityOnH1;           // H1 keeps a free utility after X2
    const char* h1After;           // H1's chain once X1 is gone
    double h1UtilityInlet;         // the inlet temperature of H1's free utility once X1 is gone
};

double Value(const CNode* n, const char* name) {
    double v = 0.0;
    return n && n->getVariableAsDouble(name, v) ? v : -32767.0;
}

CNode* OnlyPlaceholder(const CPIHENDesign& d, const std::string& stream) {
    CNode* found = nullptr;
    for (CNode* n : ChainNodes(d, stream))
        if (Letter(n) == "P") {
            if (found) return nullptr;
            found = n;
        }
    return found;
}

class HENDesignDeletion : public ::testing::TestWithParam<SeriesDeletion> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const SeriesDeletion& c, std::ostream* os) { *os << c.name; }

}  // namespace

// The utility that the deletion leaves at the next exchanger's inlet goes when the network stays
// fully specified without it, so the stream's one free utility takes the freed duty; with no
// other free utility on the stream it stays and takes the duty itself. The other duties stay.
TEST_P(HENDesignDeletion, TheFreedDutyGoesToTheStreamsOneFreeUtility) {
    const SeriesDeletion& c = GetParam();
    ListenedDesign n;
    n.Add("H1", 170, 60, 3.0);
    n.Add("C1", 20, 135, 2.0);
    n.Add("C2", 80, 140, 4.0);
    n.OpenDesign();
    CPIHENDesign& d = *n.d;
    CNode* x1 = d.AddHeatExchanger(n.Segment("H1", 0), n.Segment("C2", 0), nullptr, nullptr, "X1");
    ASSERT_TRUE(x1);
    CNode* x2 = d.AddHeatExchanger(AsHeatExch(x1)->getOutlet(0), n.Segment("C1", 0), nullptr, nullptr, "X2");
    ASSERT_TRUE(x2);
    for (auto [unit, port] : {std::pair{x1, 0}, {x1, 1}, {x1, 3}, {x2, 2}}) ASSERT_TRUE(d.RemoveUtilityAtPort(unit, port));
    if (!c.endUtilityOnH1) {
        ASSERT_TRUE(d.RemoveUtilityAtPort(x2, 1));
    }
    // Without a utility at its end H1's balance fixes X1's duty.
    if (c.endUtilityOnH1) x1->addVariable(NodeValue::Duty, 240.0, ValueStatus::Specified);
    x2->addVariable(NodeValue::Duty, 90.0, ValueStatus::Specified);
    d.ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    ASSERT_EQ(Chain(d, "H1"), c.endUtilityOnH1 ? "FsXsXsPsE" : "FsXsXsE");
    ASSERT_EQ(Chain(d, "C2"), "FsPsXsE");
    ASSERT_EQ(Chain(d, "C1"), "FsXsPsE");
    ASSERT_EQ(d.GetDegreesOfFreedom(), 0);
    ASSERT_NEAR(Value(x1, NodeValue::Duty), 240.0, 1e-6);

    ASSERT_TRUE(d.DeleteHeatExchanger(x1, "by hand"));
    EXPECT_EQ(Chain(d, "H1"), c.h1After);
    EXPECT_EQ(Chain(d, "C2"), "FsPsE");
    EXPECT_EQ(Chain(d, "C1"), "FsXsPsE");
    EXPECT_EQ(d.GetDegreesOfFreedom(), 0);
    EXPECT_EQ(d.GetNumberOfIncompleteHeatExchangers(false), 0);
    EXPECT_NEAR(Value(x2, NodeValue::Duty), 90.0, 1e-6);
    CNode* h1Utility = OnlyPlaceholder(d, "H1");
    ASSERT_TRUE(h1Utility);
    EXPECT_NEAR(Value(h1Utility, NodeValue::Duty), 240.0, 1e-6);
    EXPECT_NEAR(Value(chain::Before(h1Utility), NodeValue::Temperature), c.h1UtilityInlet, 1e-6);
    EXPECT_NEAR(Value(OnlyPlaceholder(d, "C2"), NodeValue::Duty), 240.0, 1e-6);
    EXPECT_NEAR(Value(OnlyPlaceholder(d, "C1"), NodeValue::Duty), 140.0, 1e-6);
    EXPECT_STREQ(d.GetChangeLog(), "Heat exchanger X1 is deleted by hand;\n");
    EXPECT_EQ(StructuralFault(d), "");
}

INSTANTIATE_TEST_SUITE_P(
    FirstOfTwoInSeries, HENDesignDeletion,
    ::testing::Values(
        // X2 now cools H1 from its supply (170 -> 140); the end utility cools on from 140 to 60.
        SeriesDeletion{"EndUtilityTakesOver", true, "FsXsPsE", 140.0},
        // No free utility but the one the deletion left: H1 cools from 170 to 90 there before X2.
        SeriesDeletion{"LeftUtilityStays", false, "FsPsXsE", 170.0}),
    [](const ::testing::TestParamInfo<SeriesDeletion>& info) { return std::string(info.param.name); });

// The heater and cooler that close the streams' ends are named "Heater" and "Cooler" unless a unit
// shows that name already, as one the user renamed so does.
TEST(HENDesignObject, TheEndUtilitiesPassOverANameAUnitWasRenamedTo) {
    DesignScenario s;
    s.Add("H", 200, 100, 2);
    s.Add("C", 80, 180, 2);
    s.Add("ST", 250, 249, 2.5e-6, 1);
    s.Add("CW", 20, 25, 2.12456e-7, 1);
    CPIHENDesign* d = s.Design("D");
    d->Deactivate();
    CNode* e1 = d->AddHeatExchanger(NthSegment(*d, "H", 0), NthSegment(*d, "C", 0), nullptr, NodeKind::CountercurrentHX, "E1");
    ASSERT_NE(nullptr, e1);
    e1->addVariable(NodeValue::Duty, 100.0, ValueStatus::Specified);
    // The supply ends lose their placeholders; the target ends keep theirs for the closing.
    for (int port : {0, 2}) ASSERT_TRUE(d->CanRemoveUtilityAtPort(e1, port) && d->RemoveUtilityAtPort(e1, port));
    d->AddMissingUtilities();
    d->AddUtilitiesAtStreamEnds();
    d->UpdateStreamTerminals();
    d->Activate(1);
    ASSERT_EQ(1, d->RenameUnit("Heater", e1));
    EXPECT_EQ(2, d->CloseStreamEnds("by hand"));
    std::multiset<std::string> names;
    CNode* unit = nullptr;
    for (int i = 0; d->GetHeatExchanger(i, unit); ++i) {
        CPString name;
        unit->getVariableAsString(NodeValue::UnitOperationName, name);
        names.insert(name);
    }
    EXPECT_EQ((std::multiset<std::string>{"Cooler", "Heater", "Heater1"}), names);
}
