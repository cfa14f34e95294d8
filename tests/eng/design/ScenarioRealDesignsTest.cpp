// A scenario's design operations against real designs: ranking by cost, renaming the retrofit
// base, clones, deletion, copies into another scenario, the existing-network values, and a
// design that goes through the scenario record and comes back.
#include "DesignTestSupport.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/model/ScenarioRecord.h"

#include <gtest/gtest.h>

using namespace design_test;

namespace {

// H1 cooled by cooling water (cost index 0.05 over a full year: cost = 0.05 x duty).
struct CoolingPlant : DesignScenario {
    CoolingPlant() {
        Add("H1", 180, 80, 20.0);
        Add("C1", 40, 140, 2.0);
        Add("CW", 20, 30, 0.05, 1);
        scenario->SetEconomicData(6, 8765.76, "DEFAULT");
    }
    CNode* Segment(CPIHENDesign* d, const std::string& stream, int n) { return NthSegment(*d, stream, n); }
    // A design whose cooler takes `duty` from H1.
    CPIHENDesign* WithCooler(const char* name, double duty) {
        CPIHENDesign* d = Design(name);
        CNode* cooler = d->AddHeatExchanger(Segment(d, "H1", 0), Segment(d, "CW", 0), "cooling", nullptr, nullptr);
        cooler->addVariable(NodeValue::Duty, duty, ValueStatus::Specified);
        d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
        return d;
    }
    std::vector<std::string> Ranked() {
        std::vector<std::string> names;
        IHENDesign* d = nullptr;
        for (int i = 0; scenario->GetDesign(i, d, 1); ++i) names.emplace_back(d->GetDesignName());
        return names;
    }
};

}  // namespace

TEST(ScenarioRealDesigns, DesignsAreRankedByTheirCostsAndFollowARenamedRetrofitBase) {
    CoolingPlant p;
    p.WithCooler("Cheap", 600.0);
    p.WithCooler("Dear", 1000.0);
    p.scenario->RankDesigns();
    EXPECT_EQ(p.Ranked(), (std::vector<std::string>{"Dear", "Cheap"}));  // larger total cost first

    p.scenario->SetRetrofitBaseDesign("Dear");
    ASSERT_EQ(p.scenario->RenameDesign("Dear", "Base"), 1);
    EXPECT_STREQ(p.scenario->GetRetrofitBaseDesignName(), "Base");
    CPIHENDesign* base = p.Design("Base");
    EXPECT_STREQ(base->GetDesignName(), "Base");
    EXPECT_EQ(base->GetEditLockState(), 1);
    EXPECT_NEAR(p.scenario->GetRetrofitBaseUtilityCost(), 50.0, 1e-9);
    // The base design's exchangers carry their limit of new area.
    CNode* cooler = nullptr;
    ASSERT_TRUE(base->GetHeatExchanger(0, cooler));
    double maxNewArea = 0.0;
    EXPECT_TRUE(cooler->getVariableAsDouble("MaxNewArea", maxNewArea));
    EXPECT_EQ(maxNewArea, 10000.0);
}

TEST(ScenarioRealDesigns, ACloneCarriesTheNetworkAndSaysWhereItCameFromAndADeletedDesignIsFreed) {
    CoolingPlant p;
    CPIHENDesign* source = p.WithCooler("D1", 800.0);
    ASSERT_EQ(p.scenario->CloneDesign("D2", source), 1);
    CPIHENDesign* clone = p.Design("D2");
    EXPECT_EQ(Chain(*clone, "H1"), "FsPsXsPsE");
    EXPECT_EQ(clone->GetNumberOfHeatExchangers(), 1);
    EXPECT_STREQ(clone->GetChangeLog(), "Cloned from D1;\n");
    EXPECT_NEAR(clone->GetUtilityLoad("CW"), 800.0, 1e-9);
    EXPECT_EQ(StructuralFault(*clone), "");

    Listener gone;
    clone->AddNotificationReceiver(&gone);
    ASSERT_EQ(p.scenario->DeleteDesign("D2"), 1);
    EXPECT_TRUE(gone.Saw(CPIHENDesign::CodeDestroyed, ""));
    EXPECT_EQ(p.scenario->GetNumberOfDesigns(), 1);
    EXPECT_EQ(p.scenario->DeleteDesign("D2"), 0);
}

TEST(ScenarioRealDesigns, ACopyIntoAnotherScenarioTakesItsOwnStreamsAndTheLockedFlag) {
    CoolingPlant from;
    CPIHENDesign* source = from.WithCooler("D1", 700.0);
    source->SetExistingNetworkLocked(true);
    CoolingPlant to;
    ASSERT_EQ(to.scenario->CopyDesignFromScenario(*source), 1);
    CPIHENDesign* copy = to.Design("D1");
    EXPECT_EQ(Chain(*copy, "H1"), "FsPsXsPsE");
    EXPECT_TRUE(copy->IsExistingNetworkLocked());
    EXPECT_EQ(copy->GetScenario(), to.scenario.get());
}

TEST(ScenarioRealDesigns, TheOtherDesignsTakeTheBaseExchangersExistingAreaWhenTheBaseRecalculates) {
    CoolingPlant p;
    CPIHENDesign* base = p.WithCooler("Base", 900.0);
    ASSERT_EQ(p.scenario->CloneDesign("Next", base), 1);
    p.scenario->SetRetrofitBaseDesign("Base");
    CNode* cooler = nullptr;
    ASSERT_TRUE(base->GetHeatExchanger(0, cooler));
    cooler->addVariable(NodeValue::HTArea, 42.0, ValueStatus::Specified);
    cooler->addVariable(NodeValue::TotalNShells, 2.0, ValueStatus::Specified);
    base->SetExistingNetworkLocked(true);
    base->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);  // sends 95
    CNode* twin = p.Design("Next")->GetNodeByFingerPrint(cooler->getDNAFingerPrint());
    ASSERT_TRUE(twin);
    double area = 0.0, shells = 0.0;
    EXPECT_TRUE(twin->getVariableAsDouble("ExArea", area));
    EXPECT_TRUE(twin->getVariableAsDouble("ExShell", shells));
    EXPECT_EQ(area, 42.0);
    EXPECT_EQ(shells, 2.0);
}

TEST(ScenarioRealDesigns, ADesignComesBackFromTheScenarioRecordWithItsNetworkAndIndex) {
    CoolingPlant p;
    CPIHENDesign* d = p.WithCooler("D1", 800.0);
    d->SetNotes("kept");
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(p.scenario->GetServices().records->Store(*p.scenario, out));

    DesignScenario back;
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    ASSERT_TRUE(back.scenario->GetServices().records->Recall(*back.scenario, in));
    IHENDesign* recalled = nullptr;
    ASSERT_TRUE(back.scenario->GetDesign(CPString("D1"), recalled));
    auto* r = dynamic_cast<CPIHENDesign*>(recalled);
    ASSERT_TRUE(r);
    EXPECT_EQ(Chain(*r, "H1"), "FsPsXsPsE");
    EXPECT_EQ(r->GetNumberOfUnitsOnStream("CW"), 1);
    EXPECT_STREQ(r->GetNotes(), "kept");
    EXPECT_STREQ(r->GetChangeLog(), "Cooler E-100 is added cooling;\n");
    EXPECT_EQ(StructuralFault(*r), "");

    // A damaged design record is refused, the scenario keeps no half design.
    auto bytes = out.Bytes();
    bytes.resize(bytes.size() - 40);
    DesignScenario broken;
    LurmetBinaryFile cut = LurmetBinaryFile::ForReading(bytes);
    EXPECT_FALSE(broken.scenario->GetServices().records->Recall(*broken.scenario, cut));
}
