// A design carried out of its scenario and back: a copy into another scenario takes that
// scenario's streams (and outlives the scenario it came from), a copy onto a stream the target
// lacks is refused, the structure analysis and control records survive the case file, and a
// renamed utility keeps its load.
#include "DesignTestSupport.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/model/ScenarioRecord.h"

#include <gtest/gtest.h>

using namespace design_test;

namespace {

double Value(CNode* node, const char* name) {
    double v = 0.0;
    return node && node->getVariableAsDouble(name, v) ? v : -32767.0;
}

// H1 180 -> 80 and C1 40 -> 140, both CP 2; with `utilities` also cooling water.
struct Pair : DesignScenario {
    explicit Pair(bool utilities = false, bool cold = true) {
        Add("H1", 180, 80, 2.0);
        if (cold) Add("C1", 40, 140, 2.0);
        if (utilities) Add("CW", 20, 30, 0.05, 1);
    }
    // One exchanger of 100 kW between the two.
    CPIHENDesign* WithExchanger(const char* name) {
        CPIHENDesign* d = Design(name);
        CNode* x = d->AddHeatExchanger(NthSegment(*d, "H1", 0), NthSegment(*d, "C1", 0), nullptr, nullptr, nullptr);
        if (!x || !d->RemoveUtilityAtPort(x, 0) || !d->RemoveUtilityAtPort(x, 2)) return nullptr;
        x->addVariable(NodeValue::Duty, 100.0, ValueStatus::Specified);
        d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
        return d;
    }
    IHeatIntegrationStream* Stream(const char* name) {
        IHeatIntegrationStream* s = nullptr;
        scenario->GetStream(name, s);
        return s;
    }
};

LurmetBinaryFile StoreScenario(CPIScenario& scenario) {
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    EXPECT_TRUE(scenario.GetServices().records->Store(scenario, out));
    return out;
}

CPIHENDesign* Recalled(DesignScenario& back, const LurmetBinaryFile& out, const char* name) {
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    if (!back.scenario->GetServices().records->Recall(*back.scenario, in)) return nullptr;
    IHENDesign* d = nullptr;
    return back.scenario->GetDesign(CPString(name), d) ? dynamic_cast<CPIHENDesign*>(d) : nullptr;
}

}  // namespace

TEST(HENDesignAcrossScenarios, ACopyTakesTheTargetsStreamsAndOutlivesItsSource) {
    auto a = std::make_unique<Pair>();
    CPIHENDesign* source = a->WithExchanger("D1");
    ASSERT_TRUE(source);
    ASSERT_EQ(Chain(*source, "H1"), "FsXsPsE");
    Pair b;
    ASSERT_EQ(b.scenario->CopyDesignFromScenario(*source), 1);
    CPIHENDesign* copy = b.Design("D1");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->GetStream(0), b.Stream("H1"));
    EXPECT_EQ(ForeignPiece(*copy, *b.scenario), "");
    EXPECT_EQ(copy->GetNumberOfControlUnits(), 2);
    EXPECT_TRUE(copy->IsUnitSelectedForControl(b.Stream("H1")));
    EXPECT_TRUE(copy->IsUnitSelectedForControl(b.Stream("C1")));

    a.reset();  // the source scenario and its streams go
    copy->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    CNode* x = nullptr;
    ASSERT_TRUE(copy->GetHeatExchanger(0, x));
    auto* hx = AsHeatExch(x);
    EXPECT_NEAR(Value(hx->getOutlet(0), NodeValue::Temperature), 130.0, 1e-9);
    EXPECT_NEAR(Value(hx->getOutlet(1), NodeValue::Temperature), 90.0, 1e-9);
    EXPECT_EQ(StructuralFault(*copy), "");
}

TEST(HENDesignAcrossScenarios, ACopyOntoAStreamTheTargetLacksIsRefusedAndLeavesNoDesign) {
    Pair a;
    CPIHENDesign* source = a.WithExchanger("D1");
    ASSERT_TRUE(source);
    Pair hotOnly(false, false);
    EXPECT_EQ(hotOnly.scenario->CopyDesignFromScenario(*source), 0);
    EXPECT_EQ(hotOnly.scenario->GetNumberOfDesigns(), 0);
    // Straight between designs: the target stays as it was.
    CPIHENDesign* target = hotOnly.Design("T");
    ASSERT_TRUE(target);
    EXPECT_EQ(source->CopyTo(*target), IHENDesign::CopyStreamMissing);
    EXPECT_EQ(Chain(*target, "H1"), "FsPsE");
    EXPECT_EQ(target->GetNumberOfHeatExchangers(), 0);
}

// Two process streams cooled by cooling water and joined by three exchangers: with the water
// left out (flag 0) the coolers keep the streams apart; the flags, the control selections and the
// loop switch come back from the case file and go with a copy into another scenario.
TEST(HENDesignAcrossScenarios, TheStructureAnalysisSurvivesTheCaseFileAndACopy) {
    Pair p(true);
    CPIHENDesign* d = p.Design("D1");
    for (int k = 0; k < 3; ++k)
        ASSERT_TRUE(d->AddHeatExchanger(NthSegment(*d, "H1", 0), NthSegment(*d, "C1", 0), nullptr, nullptr, nullptr));
    ASSERT_EQ(d->GetControllabilityText(), std::string("The network can not be controlled."));
    ASSERT_TRUE(d->SetAnalysisStreamFlag(p.Stream("CW"), true));
    ASSERT_TRUE(d->SetControlUnitSelected(1, false));
    d->SetLoopAnalysisEnabled(false);
    const std::string verdict = d->GetControllabilityText();
    EXPECT_EQ(verdict, "The network can be controlled.");

    DesignScenario back;
    back.Add("H1", 180, 80, 2.0);
    back.Add("C1", 40, 140, 2.0);
    back.Add("CW", 20, 30, 0.05, 1);
    const LurmetBinaryFile out = StoreScenario(*p.scenario);
    DesignScenario fresh;
    CPIHENDesign* r = Recalled(fresh, out, "D1");
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->IsLoopAnalysisEnabled());
    EXPECT_EQ(r->GetNumberOfAnalysisStreams(), 1);
    EXPECT_EQ(r->GetAnalysisStreamFlag(0), 1);
    ASSERT_EQ(r->GetNumberOfControlUnits(), 2);
    EXPECT_TRUE(r->IsControlUnitSelected(0));
    EXPECT_FALSE(r->IsControlUnitSelected(1));
    EXPECT_EQ(r->GetControllabilityText(), verdict);

    ASSERT_EQ(back.scenario->CopyDesignFromScenario(*d), 1);
    CPIHENDesign* copy = back.Design("D1");
    EXPECT_FALSE(copy->IsLoopAnalysisEnabled());
    EXPECT_EQ(copy->GetAnalysisStreamFlagOf(back.scenario->FindStream("CW")), 1);
    EXPECT_FALSE(copy->IsUnitSelectedForControl(back.scenario->FindStream("C1")));
    EXPECT_EQ(copy->GetControllabilityText(), verdict);
}

TEST(HENDesignAcrossScenarios, UtilitiesLeftOutComeBackLeftOutAndKeepTheSubNetworksApart) {
    Pair p(true);
    p.Add("H2", 150, 60, 1.0);
    CPIHENDesign* d = p.Design("D1");
    ASSERT_TRUE(d->AddHeatExchanger(NthSegment(*d, "H1", 0), NthSegment(*d, "CW", 0), nullptr, nullptr, nullptr));
    ASSERT_TRUE(d->AddHeatExchanger(NthSegment(*d, "H2", 0), NthSegment(*d, "CW", 0), nullptr, nullptr, nullptr));
    // C1 stands alone; H1 and H2 meet only at the water, which is left out.
    ASSERT_EQ(d->GetNumberOfSubNetworks(), 3);
    DesignScenario fresh;
    CPIHENDesign* r = Recalled(fresh, StoreScenario(*p.scenario), "D1");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->GetNumberOfSubNetworks(), 3);
    EXPECT_EQ(r->GetAnalysisStreamFlagOf(fresh.scenario->FindStream("CW")), 0);
    int leftOut = 0;
    for (int i = 0; i < r->GetNumberOfAnalysisStreams(); ++i) leftOut += r->GetAnalysisStreamFlag(i) == 0;
    EXPECT_EQ(leftOut, 1);
    // The utility left out is no dummy an extraction placed.
    EXPECT_EQ(r->GetNumberOfIgnoredDummyUtilities(), 0);
}

TEST(HENDesignAcrossScenarios, ARenamedUtilityKeepsItsLoadCostAndSubNetworkName) {
    Pair p(true);
    p.scenario->SetEconomicData(6, 8765.76, "DEFAULT");
    CPIHENDesign* d = p.Design("D1");
    CNode* cooler = d->AddHeatExchanger(NthSegment(*d, "H1", 0), NthSegment(*d, "CW", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(cooler);
    cooler->addVariable(NodeValue::Duty, 60.0, ValueStatus::Specified);
    d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    ASSERT_TRUE(d->SetAnalysisStreamFlag(p.Stream("CW"), true));
    ASSERT_NEAR(d->GetUtilityLoad("CW"), 60.0, 1e-9);
    const double cost = d->GetTotalUtilityCost(1);
    ASSERT_GT(cost, 0.0);

    ASSERT_EQ(p.scenario->RenameStream("CW", "Water"), 1);
    EXPECT_NEAR(d->GetUtilityLoad("Water"), 60.0, 1e-9);
    EXPECT_EQ(d->GetUtilityLoad("CW"), 0.0);
    EXPECT_NEAR(d->GetTotalUtilityCost(1), cost, 1e-9);
    bool named = false;
    for (int i = 0; i < d->GetNumberOfSubNetworks(); ++i)
        named = named || std::string(d->GetSubNetworkName(i)).find("Water") != std::string::npos;
    EXPECT_TRUE(named);

    DesignScenario fresh;
    CPIHENDesign* r = Recalled(fresh, StoreScenario(*p.scenario), "D1");
    ASSERT_TRUE(r);
    EXPECT_NEAR(r->GetUtilityLoad("Water"), 60.0, 1e-9);
}

TEST(HENDesignAcrossScenarios, RemovingAStreamTellsOfEachExchangerItTakes) {
    Pair p(true);
    CPIHENDesign* d = p.Design("D1");
    CNode* x1 = d->AddHeatExchanger(NthSegment(*d, "H1", 0), NthSegment(*d, "C1", 0), nullptr, nullptr, nullptr);
    CNode* x2 = d->AddHeatExchanger(NthSegment(*d, "H1", 0), NthSegment(*d, "CW", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(x1 && x2);
    const std::string n1 = x1->getName(), n2 = x2->getName();
    Listener heard;
    d->AddNotificationReceiver(&heard);
    ASSERT_EQ(p.scenario->DeleteStream("H1"), 1);
    EXPECT_TRUE(heard.Saw(CPIHENDesign::CodeExchangerDeleted, n1.c_str()));
    EXPECT_TRUE(heard.Saw(CPIHENDesign::CodeExchangerDeleted, n2.c_str()));
    EXPECT_EQ(d->GetNumberOfHeatExchangers(), 0);
    d->RemoveNotificationReceiver(&heard);
}

// A record of the first version holds neither the analysis flags nor the control records: the
// utilities come back left out and every process stream selected, as when they joined a design.
TEST(HENDesignAcrossScenarios, AFirstVersionRecordGetsTheDefaultFlagsAndSelections) {
    Pair p(true);
    CPIHENDesign* d = p.WithExchanger("D1");
    ASSERT_TRUE(d);
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    RecordHandle record;
    // Operating-solution mark, capital cost, active flag, nesting counter, name, notes, the
    // network and no utility loads.
    ASSERT_TRUE(out.BeginRecord(record, 1) && out.WriteInt(0) && out.WriteDouble(0.0) && out.WriteInt(1) &&
                out.WriteInt(0) && out.WriteCPString("R") && out.WriteCPString(CPString()) &&
                d->GetFlowSheet()->Store(out) && out.WriteInt(0) && out.EndRecord(record));

    Pair back(true);
    CPIHENDesign r(back.scenario.get(), "R");
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    ASSERT_TRUE(r.Recall(in));
    EXPECT_EQ(Chain(r, "H1"), "FsXsPsE");
    EXPECT_EQ(r.GetNumberOfAnalysisStreams(), 1);
    EXPECT_EQ(r.GetAnalysisStreamFlagOf(back.Stream("CW")), 0);
    ASSERT_EQ(r.GetNumberOfControlUnits(), 2);
    EXPECT_TRUE(r.IsControlUnitSelected(0) && r.IsControlUnitSelected(1));
    EXPECT_TRUE(r.IsLoopAnalysisEnabled());
    EXPECT_EQ(ForeignPiece(r, *back.scenario), "");
}
