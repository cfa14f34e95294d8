// The design viewer's record: version 20 through the view records with its scenario viewer,
// grid diagram and bar chart; records of every older version made by hand, with their defaults,
// dropped fields and rebuilt plots; records cut short.
#include "brasko/CaseDocument.h"
#include "brasko/LurmetBinaryFile.h"
#include "eng/design/HENDesign.h"
#include "lumeth/Session.h"
#include "lumeth/TwoDimPlot.h"
#include "lumeth/ViewRecords.h"
#include "tests/support/RecordHarness.h"
#include "tests/eng/design/DesignTestSupport.h"
#include "tests/support/FourStreamProject.h"
#include "views/EnginePointers.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/grid/HENDiagram.h"
#include "views/plots/chiHXBarPlot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

class ViewDesignViewerRecord : public ::testing::Test {
protected:
    ViewDesignViewerRecord() {
        Session::Instance().Reset();
        root = new Viewable(nullptr, "HIDesignViewerProjectObject");
        root->SetName("Plant");
        root->SetDocument(&document);
        p.AddUtility("LP Steam");
        p.AddUtility("Cooling Water");
        p.scenario->AddDesign("Design 1");
        IHENDesign* d = nullptr;
        p.scenario->GetDesign("Design 1", d);
        design = dynamic_cast<CPIHENDesign*>(d);
        for (auto [hot, cold] : {std::pair{"H1", "C2"}, std::pair{"H2", "C1"}})
            design->AddHeatExchanger(design_test::NthSegment(*design, hot, 0), design_test::NthSegment(*design, cold, 0),
                                     nullptr, nullptr, nullptr);
    }
    ~ViewDesignViewerRecord() override { delete root; }

    const ObjectTypeInfo* type() const { return ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName); }
    HIDesignViewerDesign* recallTarget() {
        ObjectInstanceInfo info{type(), "Design 1", root};
        return static_cast<HIDesignViewerDesign*>(type()->CreateInstanceForRecall(info));
    }

    // A record of version v made by hand, item by item, as an older build wrote it; every link
    // to a view is none. `cut` stops after that many items.
    std::vector<std::uint8_t> oldRecord(int v, int cut = 1000) {
        HandMadeRecord record(cut);
        LurmetBinaryFile& f = record.File();
        auto item = [&](const std::function<bool()>& write) { record.Item(write); };
        auto ints = [&](std::initializer_list<int> values) { record.Ints(values); };
        auto byte = [&](char value) { record.Byte(value); };
        if (v >= 20) byte(0);
        item([&] { return StoreScenarioPointer(f, p.scenario); });
        item([&] { return StoreDesignPointer(f, p.scenario, design); });
        item([&] { return f.WriteCPString("C1") && f.WriteInt(11) && f.WriteCPString("t208"); });
        ints({2, 3, 4, 5, 0});  // 210, 211, 212, 216, process filter off
        ints({0});              // no grid diagram
        ints({0});              // no exchanger views
        ints({0});              // no splitter views
        if (v < 2) ints({1, 0});  // a list of one view, read and dropped
        if (v > 2) ints({7});
        if (v > 3) ints({0});
        if (v > 4) {
            if (v <= 9) byte(9);
            byte(1);
        }
        if (v > 5) {
            item([&] { return f.WriteInt(1) && f.WriteCPString("Kept") && f.WriteInt(6); });
            ints({0});  // the plot
        }
        if (v > 6) ints({8, 5, 0, 5});
        if (v > 7) ints({6});
        if (v > 10) byte(1);
        if (v > 11) ints({0});  // the bar chart
        if (v > 12) ints({4});
        if (v >= 14 && v <= 18) ints({99});
        if (v > 14) ints({2});
        if (v >= 15 && v <= 18) ints({98});
        if (v >= 16 && v <= 18) ints({0});
        if (v > 18) ints({0});
        if (v > 16) ints({0});
        if (v > 17) byte(1);
        return record.Finish();
    }

    FourStreamProject p;
    CaseDocument document{"case", &p.manager};
    Viewable* root = nullptr;
    CPIHENDesign* design = nullptr;
};

TEST_F(ViewDesignViewerRecord, Version20ComesBackWithItsDiagramAndBarChart) {
    auto* scenarioViewer = new HIDesignViewerScenario(root, "Base", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
    ASSERT_TRUE(scenarioViewer->SetVariables());
    ASSERT_EQ(1, scenarioViewer->GetDesignObjs().Count());
    HIDesignViewerDesign* viewer = scenarioViewer->GetDesignI(0);
    ASSERT_EQ(design, viewer->GetDesign());
    int value = 20;
    for (std::int32_t* f : {&viewer->nSetting200, &viewer->nSetting210, &viewer->nSetting211, &viewer->nSetting212,
                            &viewer->nSetting216, &viewer->nSetting201, &viewer->nOptimizationMode, &viewer->nSetting707,
                            &viewer->nSelectedTargetPlot, &viewer->nSetting412, &viewer->nSetting203, &viewer->nEventKind})
        *f = ++value;
    viewer->nFilterProcess = 0;
    viewer->nFilterCoolers = 0;
    viewer->bStoredFlag = viewer->bOption206 = viewer->bOperationsMode = 1;
    viewer->strSelectedStream = "H2";
    viewer->strText208 = "text";
    viewer->nSetting204 = 9;  // not kept
    ASSERT_EQ(1, viewer->GetBarChart()->Specify(VarDescription(105, 250), 1.0));
    ASSERT_TRUE(viewer->GetGridDiagram()->SelectConfiguration(2));
    const std::vector<DrivingForceSet> sets = viewer->GetDrivingForceSets();
    ASSERT_EQ(2u, sets.size());

    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(ViewRecords::Store(out, {scenarioViewer}));
    ASSERT_TRUE(out.Commit());
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    std::vector<Viewable*> roots;
    ASSERT_TRUE(ViewRecords::Recall(in, roots, &document));
    ASSERT_EQ(1u, roots.size());
    auto* backScenario = static_cast<HIDesignViewerScenario*>(roots[0]);
    ASSERT_EQ(1, backScenario->GetDesignObjs().Count());
    HIDesignViewerDesign* back = backScenario->GetDesignI(0);
    EXPECT_TRUE(back->IsRecalled());
    EXPECT_EQ(design, back->GetDesign());
    EXPECT_EQ(p.scenario, back->GetScenario());
    for (auto f : {&HIDesignViewerDesign::nSetting200, &HIDesignViewerDesign::nSetting210, &HIDesignViewerDesign::nSetting211,
                   &HIDesignViewerDesign::nSetting212, &HIDesignViewerDesign::nSetting216, &HIDesignViewerDesign::nSetting201,
                   &HIDesignViewerDesign::nOptimizationMode, &HIDesignViewerDesign::nSetting707,
                   &HIDesignViewerDesign::nSelectedTargetPlot, &HIDesignViewerDesign::nSetting412,
                   &HIDesignViewerDesign::nSetting203, &HIDesignViewerDesign::nEventKind, &HIDesignViewerDesign::nFilterProcess,
                   &HIDesignViewerDesign::nFilterHeaters, &HIDesignViewerDesign::nFilterCoolers})
        EXPECT_EQ(viewer->*f, back->*f);
    EXPECT_EQ(1, back->bStoredFlag + back->bOption206 - back->bOperationsMode);
    EXPECT_EQ(1, back->bOperationsMode);
    EXPECT_EQ("H2", back->strSelectedStream);
    EXPECT_EQ("text", back->strText208);
    EXPECT_EQ(0, back->nSetting204);
    // The children come back: the diagram with its configuration, the chart with its quantity,
    // the driving-force curves under their numbers.
    ASSERT_NE(nullptr, back->GetGridDiagram());
    EXPECT_EQ(back, back->GetGridDiagram()->GetParent());
    EXPECT_EQ(design, back->GetGridDiagram()->GetDesign());
    EXPECT_EQ(2, back->GetGridDiagram()->SelectedPreset());
    ASSERT_NE(nullptr, back->GetBarChart());
    EXPECT_EQ(1, back->GetBarChart()->GetSelectedQuantity());
    EXPECT_EQ(back, back->GetBarChart()->GetViewer());
    ASSERT_NE(nullptr, back->GetBarChart()->GetPlot());
    ASSERT_EQ(sets.size(), back->GetDrivingForceSets().size());
    for (std::size_t i = 0; i < sets.size(); ++i) {
        EXPECT_EQ(sets[i].name, back->GetDrivingForceSets()[i].name);
        EXPECT_EQ(sets[i].dataSet, back->GetDrivingForceSets()[i].dataSet);
        ASSERT_NE(nullptr, back->GetDrivingForcePlot()->GetPlotArea().GetDataSet(sets[i].dataSet));
    }
    // Still bound: the design's notices reach the recalled viewer.
    design->AddHeatExchanger(design_test::NthSegment(*design, "H1", 0), design_test::NthSegment(*design, "C1", 0), nullptr,
                             nullptr, nullptr);
    EXPECT_EQ(3u, back->GetDrivingForceSets().size());
    delete backScenario;
    delete scenarioViewer;
}

TEST_F(ViewDesignViewerRecord, OlderVersionsTakeTheirDefaultsDropsAndRebuilds) {
    for (int v = 1; v <= 20; ++v) {
        SCOPED_TRACE(v);
        design->Deactivate();
        HIDesignViewerDesign* viewer = recallTarget();
        LurmetBinaryFile in = LurmetBinaryFile::ForReading(oldRecord(v));
        ASSERT_TRUE(viewer->RecallClassData(in, v));
        ASSERT_TRUE(viewer->CheckRecalledPointers());
        ASSERT_TRUE(viewer->RecallFixUp());
        EXPECT_EQ(design, viewer->GetDesign());
        EXPECT_EQ("C1", viewer->strSelectedStream);
        EXPECT_EQ(11, viewer->nSetting200);
        EXPECT_EQ(0, viewer->nFilterProcess);
        EXPECT_EQ(v > 2 ? 7 : 1, viewer->nSetting201);
        EXPECT_EQ(v > 3 ? 0 : 1, viewer->nOptimizationMode);
        EXPECT_EQ(v > 4 ? 1 : 0, viewer->bStoredFlag);
        EXPECT_EQ(v > 6 ? 8 : 1, viewer->nSetting707);
        EXPECT_EQ(v > 6 ? 5 : 3, viewer->nSelectedTargetPlot);
        EXPECT_EQ(v > 6 ? 0 : 3, viewer->nFilterHeaters);
        EXPECT_EQ(v > 7 ? 6 : 0, viewer->nSetting412);
        EXPECT_EQ(v > 10 ? 1 : 0, viewer->bOption206);
        EXPECT_EQ(v > 12 ? 4 : 0, viewer->nSetting203);
        EXPECT_EQ(v > 14 ? 2 : -32767, viewer->nEventKind);
        EXPECT_EQ(v > 17 ? 1 : 0, viewer->bOperationsMode);
        // Up to version 5 the plot lists every exchanger of the design; later the record's curves.
        const std::vector<DrivingForceSet>& sets = viewer->GetDrivingForceSets();
        if (v <= 5) {
            ASSERT_EQ(2u, sets.size());
            EXPECT_EQ(3, sets[0].dataSet);
            EXPECT_EQ(viewer->FindExchangerByName(sets[1].name) != nullptr, true);
        } else {
            ASSERT_EQ(1u, sets.size());
            EXPECT_EQ("Kept", sets[0].name);
            EXPECT_EQ(6, sets[0].dataSet);
        }
        ASSERT_NE(nullptr, viewer->GetDrivingForcePlot());
        EXPECT_NE(nullptr, viewer->GetDrivingForcePlot()->GetPlotArea().GetDataSet(sets.back().dataSet));
        // Up to version 11 a bar chart is built; later the record names it (here none).
        EXPECT_EQ(v <= 11, viewer->GetBarChart() != nullptr);
        // Below version 9 the design is activated.
        EXPECT_EQ(v < 9, design->IsActive());
        delete viewer;
    }
    design->Activate(0);
}

TEST_F(ViewDesignViewerRecord, ARecordCutAtAnyItemFailsCleanly) {
    for (int v : {1, 5, 9, 11, 15, 18, 19, 20}) {
        ExpectEveryCutRecordFails([&](int cut) { return oldRecord(v, cut); },
                                  [&](const Bytes& bytes) {
                                      HIDesignViewerDesign* viewer = recallTarget();
                                      LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
                                      const bool read = viewer->RecallClassData(in, v);
                                      delete viewer;
                                      return read;
                                  },
                                  "design viewer");
    }
    // The design has gone: the record fails and the viewer is not bound.
    const std::vector<std::uint8_t> bytes = oldRecord(20);
    ASSERT_EQ(1, p.scenario->DeleteDesign("Design 1"));
    HIDesignViewerDesign* viewer = recallTarget();
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
    EXPECT_FALSE(viewer->RecallClassData(in, 20));
    EXPECT_EQ(nullptr, viewer->GetDesign());
    delete viewer;
}

}  // namespace

namespace {

// The reference curves read the owning scenario viewer: the target driving force comes no closer
// to y = x than DTmin (10 K at the 90/80 C pinch) and touches it; y = x lies on the diagonal.
TEST_F(ViewDesignViewerRecord, TheReferenceCurvesReadTheScenarioViewersTargets) {
    auto* scenarioViewer = new HIDesignViewerScenario(root, "Base", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
    ASSERT_TRUE(scenarioViewer->SetVariables());
    HIDesignViewerDesign* viewer = scenarioViewer->GetDesignI(0);
    TwoDimPlot* plot = viewer->GetDrivingForcePlot();
    ASSERT_NE(nullptr, plot);
    const std::vector<CanvasPoint> target = plot->ResolvePoints(*plot->GetPlotArea().GetDataSet(1));
    ASSERT_GE(target.size(), 2u);
    double closest = 1e9;
    for (const CanvasPoint& p : target) closest = std::min(closest, p.y - p.x);
    EXPECT_NEAR(10.0, closest, 1e-9);
    const std::vector<CanvasPoint> diagonal = plot->ResolvePoints(*plot->GetPlotArea().GetDataSet(2));
    ASSERT_GE(diagonal.size(), 2u);
    for (const CanvasPoint& p : diagonal) EXPECT_DOUBLE_EQ(p.x, p.y);
    delete scenarioViewer;
}

}  // namespace
