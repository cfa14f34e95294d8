// The import's walk over a case: recycle tolerances, boundary items between streams linked
// directly, chains joined through their continuation (and one that returns to its start), the
// composition signature, and the chains that become process streams.
#include "tests/eng/extraction/CaseBuilder.h"
#include "tests/eng/extraction/ExtractionTestSupport.h"

#include "brasko/ReportHolder.h"
#include "eng/extraction/VelmorToTarsilImport.h"
#include "quenta/RalvexInterface.h"

#include <gtest/gtest.h>

using namespace extraction_test;

namespace {

int countLines(const CPString& text, const char* word) {
    int n = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
    return n;
}

TEST(SimulatorCaseImport, RecyclesRaiseTheCompositionToleranceAndOnlyRisesAreReported) {
    ExtractionProject p;
    CaseBuilder b;
    for (auto [name, sensitivity] : {std::pair{"R1", 200.0}, {"R2", 150.0}, {"R3", 300.0}})
        CaseBuilder::Num(b.Item(name, "lgRecycle"), "CompSensitivity", sensitivity);
    b.Item("R4", "lgRecycle");  // no sensitivity: passed over
    RalvexInterface access;
    VelmorToTarsilImport import(p.scenario, &access, &b.simulatorCase);
    import.Extract();
    EXPECT_DOUBLE_EQ(import.GetCompositionTolerance(), 0.3);
    ReportHolder* report = nullptr;
    p.scenario->GetReportHolder(report);
    const CPString text = report->GetText("Warnings:Recycle_Tolerance");
    EXPECT_EQ(countLines(text, "Recycle "), 2);
    EXPECT_NE(text.find("R1"), std::string::npos);
    EXPECT_EQ(text.find("R2"), std::string::npos);
    EXPECT_NE(text.find("R3 raises the composition tolerance; its sensitivity is 300."), std::string::npos);
}

TEST(SimulatorCaseImport, AnEmptyCaseLeavesTheReportSectionsAndNoBaseDesign) {
    ExtractionProject p;
    CaseBuilder b;
    RalvexInterface access;
    VelmorToTarsilImport import(p.scenario, &access, &b.simulatorCase);
    import.Extract();
    ReportHolder* report = nullptr;
    p.scenario->GetReportHolder(report);
    for (const char* section : {"Streams", "Assumptions", "Assumptions:Heaters_and_coolers", "Warnings"})
        EXPECT_TRUE(report->HasEntry(section)) << section;
    IHENDesign* design = nullptr;
    EXPECT_FALSE(p.scenario->GetDesign(CPString("SimulationBaseCase"), design));
    EXPECT_EQ(import.GetBaseDesign(), nullptr);
    EXPECT_DOUBLE_EQ(import.GetCompositionTolerance(), 0.1);
}

TEST(SimulatorCaseImport, StreamsLinkedDirectlyGetABoundaryItemUnderAFreeName) {
    ExtractionProject p;
    CaseBuilder b;
    CPItem* s1 = b.Stream("S1", 100);
    CPItem* s2 = b.Stream("S2", 100);
    CPItem* s3 = b.Stream("S3", 100);
    CaseBuilder::Link(s1, s2);
    CaseBuilder::Link(s1, s3);
    // The name a boundary between S2 and S3 would take is taken: the boundary takes the first
    // free name after it, and the walk moves on instead of meeting S3 again and again.
    CPItem* s4 = b.Stream("S4", 100);
    CaseBuilder::Link(s2, s3);
    CaseBuilder::Link(s2, s4);
    b.Item("S2_TO_S3", "ppValve");
    RalvexInterface access;
    VelmorToTarsilImport import(p.scenario, &access, &b.simulatorCase);
    import.InsertBoundaryItems({s1, s2});

    CPItem* boundary = b.simulatorCase.GetItemByName("S1_TO_S2");
    ASSERT_NE(boundary, nullptr);
    EXPECT_EQ(boundary->_get_szClassName(), "ppBoundaryStreamItem");
    EXPECT_FALSE(s1->IsRelatedTo(s2, CPItem::Downstream));
    EXPECT_TRUE(s1->IsRelatedTo(boundary, CPItem::Downstream));
    EXPECT_TRUE(boundary->IsRelatedTo(s2, CPItem::Downstream));
    EXPECT_NE(b.simulatorCase.GetItemByName("S1_TO_S3"), nullptr);
    CPItem* free = b.simulatorCase.GetItemByName("S2_TO_S3_2");
    ASSERT_NE(free, nullptr);
    EXPECT_FALSE(s2->IsRelatedTo(s3, CPItem::Downstream));
    EXPECT_TRUE(s2->IsRelatedTo(free, CPItem::Downstream));
    EXPECT_TRUE(free->IsRelatedTo(s3, CPItem::Downstream));
    EXPECT_NE(b.simulatorCase.GetItemByName("S2_TO_S4"), nullptr);
    EXPECT_FALSE(s2->IsRelatedTo(s4, CPItem::Downstream));
    EXPECT_EQ(Names(import.GetExtractedItems()),
              (std::vector<std::string>{"S1_TO_S2", "S1_TO_S3", "S2_TO_S3_2", "S2_TO_S4"}));
}

struct Loop {
    CaseBuilder b;
    CPItem* s1;
    CPItem* s2;
    Loop() {
        s1 = b.Stream("S1", 100);
        s2 = b.Stream("S2", 150);
        b.Through(s1, "E1", "htHeater", s2);
        b.Through(s2, "E2", "htCooler", s1);
    }
};

TEST(SimulatorCaseImport, AChainThatReturnsToItsStartEndsOnACopyOfIt) {
    ExtractionProject p;
    Loop loop;
    RalvexInterface access;
    VelmorToTarsilImport import(p.scenario, &access, &loop.b.simulatorCase);
    VelmorToTarsilImport::ChainList chains;
    for (CPItem* s : {loop.s1, loop.s2}) chains.push_back(std::make_unique<StreamChain>(CaseBuilder::Chain({s})));
    import.JoinChains(chains);
    ASSERT_EQ(chains.size(), 1u);
    EXPECT_EQ(Names(chains[0]->streams), (std::vector<std::string>{"S1", "S2", "S1Duplicate"}));
    // The copy sits upstream of its source: E2 -> copy -> S1.
    CPItem* copy = loop.b.simulatorCase.GetItemByName("S1Duplicate");
    EXPECT_TRUE(loop.b.simulatorCase.GetItemByName("E2")->IsRelatedTo(copy, CPItem::Downstream));
    EXPECT_TRUE(copy->IsRelatedTo(loop.s1, CPItem::Downstream));
    double t = 0;
    EXPECT_TRUE(copy->GetVariable("Temperature") && (t = copy->GetVariable("Temperature")->GetAsDouble()) == 100.0);
}

TEST(SimulatorCaseImport, ADuplicateWhoseNameIsTakenEndsTheChainUnderAFreeName) {
    ExtractionProject p;
    Loop loop;
    loop.b.Item("S1Duplicate", "ppMaterialStream");  // left by an earlier extraction
    RalvexInterface access;
    VelmorToTarsilImport import(p.scenario, &access, &loop.b.simulatorCase);
    VelmorToTarsilImport::ChainList chains;
    for (CPItem* s : {loop.s1, loop.s2}) chains.push_back(std::make_unique<StreamChain>(CaseBuilder::Chain({s})));
    import.JoinChains(chains);
    ASSERT_EQ(chains.size(), 1u);
    EXPECT_EQ(Names(chains[0]->streams), (std::vector<std::string>{"S1", "S2", "S1Duplicate_2"}));
    CPItem* copy = loop.b.simulatorCase.GetItemByName("S1Duplicate_2");
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(loop.b.simulatorCase.GetItemByName("E2")->IsRelatedTo(copy, CPItem::Downstream));
    EXPECT_TRUE(copy->IsRelatedTo(loop.s1, CPItem::Downstream));
}

TEST(SimulatorCaseImport, ATwoStreamChainThroughAPumpIsSkippedWhenPumpsShiftTemperatures) {
    for (double shift : {1.0, 0.0}) {
        ExtractionProject p;
        p.scenario->GetDataExtractionConfig()->SetSettingValue("ShiftTempsForPumps", shift);
        CaseBuilder b;
        CPItem* s1 = b.Stream("S1", 40, -300);
        CPItem* s2 = b.Stream("S2", 41, -290);
        CaseBuilder::Num(s1, "MassFlow", 1);
        b.Through(s1, "P1", "rtPump", s2);
        b.Through(s2, "C1", "htCooler", nullptr);
        RalvexInterface access;
        VelmorToTarsilImport import(p.scenario, &access, &b.simulatorCase);
        import.Extract();
        EXPECT_EQ(p.scenario->GetNumberOfProcessStreams(), shift != 0.0 ? 0 : 1) << shift;
    }
}

TEST(SimulatorCaseImport, MoleFractionsRoundOnTheSquareRootToTheTolerance) {
    EXPECT_DOUBLE_EQ(VelmorToTarsilImport::RoundMoleFraction(0.25, 0.1), 0.5);
    EXPECT_DOUBLE_EQ(VelmorToTarsilImport::RoundMoleFraction(0.0, 0.1), 0.0);
    EXPECT_DOUBLE_EQ(VelmorToTarsilImport::RoundMoleFraction(-0.2, 0.1), 0.0);
    // Within the tolerance two compositions are one; beyond it they are not.
    EXPECT_EQ(VelmorToTarsilImport::CompositionSignatureOf({0.25, 0.75}, 0.1),
              VelmorToTarsilImport::CompositionSignatureOf({0.26, 0.74}, 0.1));
    EXPECT_NE(VelmorToTarsilImport::CompositionSignatureOf({0.25, 0.75}, 0.1),
              VelmorToTarsilImport::CompositionSignatureOf({0.5, 0.5}, 0.1));
}

TEST(SimulatorCaseImport, AnExchangerContinuesAChainOnTheSideItsStreamEnters) {
    ExtractionProject p;
    CaseBuilder b;
    CPItem* hotIn = b.Stream("H1", 200);
    CPItem* coldIn = b.Stream("C1", 20);
    CPItem* hotOut = b.Stream("H2", 100);
    CPItem* coldOut = b.Stream("C2", 80);
    CPItem* e = b.Item("E1", "htHeatExchanger");
    CaseBuilder::Link(hotIn, e);
    CaseBuilder::Link(coldIn, e);
    CaseBuilder::Link(e, coldOut);
    CaseBuilder::Link(e, hotOut);
    e->AddVariable("TubeSideFeed")->Set("H1");
    e->AddVariable("TubeSideProduct")->Set("H2");
    e->AddVariable("ShellSideFeed")->Set("C1");
    e->AddVariable("ShellSideProduct")->Set("C2");
    RalvexInterface access;
    VelmorToTarsilImport import(p.scenario, &access, &b.simulatorCase);
    EXPECT_EQ(import.FindChainContinuation(CaseBuilder::Chain({hotIn})), hotOut);
    EXPECT_EQ(import.FindChainContinuation(CaseBuilder::Chain({coldIn})), coldOut);
    EXPECT_EQ(import.FindChainContinuation(CaseBuilder::Chain({hotOut})), nullptr);
}

}  // namespace
