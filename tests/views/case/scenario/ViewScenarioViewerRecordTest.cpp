// The scenario viewer's record: version 24 through the view records and back, records of older
// versions made by hand with their version defaults and fix-ups, and records cut short.
#include "brasko/CaseDocument.h"
#include "brasko/DefaultUtilManagerView.h"
#include "brasko/IDefaultUtilityManager.h"
#include "brasko/LurmetBinaryFile.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/Session.h"
#include "lumeth/ViewRecords.h"
#include "tests/support/RecordHarness.h"
#include "tests/support/FourStreamProject.h"
#include "views/EnginePointers.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/case/scenario/UtilityNameView.h"
#include "views/plots/ChiSuperTargetPlot.h"
#include "views/plots/chiPlot.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Field = std::int32_t HIDesignViewerScenario::*;

// The integer fields the record keeps, each given a value of its own before storing.
const Field kStoredInts[] = {
    &HIDesignViewerScenario::spareInt,         &HIDesignViewerScenario::tableColumn,
    &HIDesignViewerScenario::processRow,       &HIDesignViewerScenario::option540,
    &HIDesignViewerScenario::option1519_660,   &HIDesignViewerScenario::option1519_515,
    &HIDesignViewerScenario::option1519_516,   &HIDesignViewerScenario::option105_127,
    &HIDesignViewerScenario::option100_202,    &HIDesignViewerScenario::selectedPlot,
    &HIDesignViewerScenario::selectedMainPlot, &HIDesignViewerScenario::selectedLeftPlot,
    &HIDesignViewerScenario::selectedRightPlot, &HIDesignViewerScenario::retroSelectedMainPlot,
    &HIDesignViewerScenario::option105_203,    &HIDesignViewerScenario::processHTCDefaultIndex,
    &HIDesignViewerScenario::option100_203,    &HIDesignViewerScenario::option100_250,
    &HIDesignViewerScenario::option100_251,    &HIDesignViewerScenario::showDesignSeries,
    &HIDesignViewerScenario::showTargetSeries, &HIDesignViewerScenario::option100_249,
    &HIDesignViewerScenario::option100_247,    &HIDesignViewerScenario::option100_248,
    &HIDesignViewerScenario::option100_245,    &HIDesignViewerScenario::option100_246,
    &HIDesignViewerScenario::extractedData,    &HIDesignViewerScenario::option100_204,
};

class ViewScenarioViewerRecord : public ::testing::Test {
protected:
    ViewScenarioViewerRecord() {
        Session::Instance().Reset();
        root = new Viewable(nullptr, "HIDesignViewerProjectObject");
        root->SetName("Plant");
        root->SetDocument(&document);
        p.AddUtility("LP Steam");
        p.AddUtility("Cooling Water");
        p.scenario->AddDesign("Design 1");
    }
    ~ViewScenarioViewerRecord() override { delete root; }

    const ObjectTypeInfo* type() const { return ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName); }
    HIDesignViewerScenario* recallTarget() {
        ObjectInstanceInfo info{type(), "Base", root};
        return static_cast<HIDesignViewerScenario*>(type()->CreateInstanceForRecall(info));
    }
    int defaults() {
        IDefaultUtilityManager* m = nullptr;
        return p.scenario->GetDefaultUtilityManager(m) && m ? m->GetNumberOfDefaultUtilities() : -1;
    }
    static int childrenOfType(const Viewable* view, const char* typeName) {
        int n = 0;
        for (int i = 0; i < view->GetNumberOfChildren(); ++i) n += view->GetChild(i)->IsA(typeName);
        return n;
    }

    // A record of version v made by hand, item by item, as an older build wrote it; every link
    // to a view is none. `cut` stops after that many items.
    std::vector<std::uint8_t> oldRecord(int v, int cut = 1000) {
        HandMadeRecord record(cut);
        LurmetBinaryFile& f = record.File();
        auto item = [&](const std::function<bool()>& write) { record.Item(write); };
        auto ints = [&](std::initializer_list<int> values) { record.Ints(values); };
        IHeatIntegrationProject* project = p.project;
        if (v < 5) item([&] { return StoreProjectPointer(f, project); });
        if (v > 23) item([&] { return f.WriteChar(0); });
        item([&] { return StoreScenarioPointer(f, p.scenario); });
        ints({0});     // current design
        ints({0});     // no design viewers
        ints({7, 1});  // spareInt, tableColumn
        if (v > 8) ints({3});
        ints({4, 5, 6, 7, 8});
        if (v < 13) ints({111, 222});
        item([&] { return f.WriteCPString("spare") && f.WriteInt(9); });
        if (v < 7) ints({77});
        ints({2, 4, 6, 8});
        if (v > 5) ints({12});
        ints({0});  // no segment tables
        if (v < 5) item([&] { return f.WriteInt(2) && f.WriteCPString("a") && f.WriteCPString("b"); });
        if (v < 13) ints({1, 2, 3});
        if (v >= 5 && v <= 12) item([&] { return StorePlotParameters(f, nullptr); });
        item([&] { return f.WriteCPString("typed design"); });
        ints({0});     // option105_203: 0 reads as 3
        ints({0});     // no tables
        ints({0});     // no plots
        if (v > 1) ints({30});
        if (v >= 3 && v <= 12) ints({0});
        if (v >= 7 && v <= 19) ints({0, 0, 0, 0, 0, 0});
        if (v > 7) ints({5});
        if (v > 9) ints({0, 0});
        if (v == 11) ints({0});
        if (v > 12) ints({0, 0, 0, 0, 0, 0});  // 250, 251, general plot, two series, super-target plot
        if (v > 13) ints({0, 0, 0});
        if (v > 14) ints({0, 0});
        if (v > 15) ints({1, 2});
        if (v > 16) item([&] { return f.WriteChar(1) && f.WriteChar(0) && f.WriteChar(1) && f.WriteChar(0) &&
                                      f.WriteChar(1) && f.WriteChar(1); });
        if (v > 17) ints({0, 0});
        if (v > 18) item([&] { return f.WriteChar(1); });
        if (v > 20) item([&] { return f.WriteChar(1); });
        if (v > 21) ints({4, 5, 6});
        if (v > 22) ints({0});
        return record.Finish();
    }
    FourStreamProject p;
    CaseDocument document{"case", &p.manager};
    Viewable* root = nullptr;
};

TEST_F(ViewScenarioViewerRecord, Version24ComesBackThroughTheViewRecords) {
    auto* viewer = new HIDesignViewerScenario(root, "Base", type());
    ASSERT_TRUE(viewer->SetVariables());
    int value = 1;
    for (Field f : kStoredInts) viewer->*f = ++value;
    viewer->processRow = 3;
    viewer->spareText = "problem";
    viewer->newDesignName = "next";
    viewer->flag104_311 = viewer->flag104_270 = viewer->showManagerFlag409 = true;
    viewer->intArray109_250[1] = 0;
    // Fields the record does not keep.
    viewer->selectedRow = viewer->utilityRow = viewer->option1519_288 = viewer->option105_222 = 9;
    viewer->value1519_210 = viewer->value1519_555 = 4.5;
    viewer->extractionDesignFlag = 1;

    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(ViewRecords::Store(out, {viewer}));
    ASSERT_TRUE(out.Commit());
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    std::vector<Viewable*> roots;
    ASSERT_TRUE(ViewRecords::Recall(in, roots, &document));
    ASSERT_EQ(1u, roots.size());
    ASSERT_TRUE(roots[0]->IsA(HIDesignViewerScenario::TypeName));
    auto* back = static_cast<HIDesignViewerScenario*>(roots[0]);
    EXPECT_EQ(p.scenario, back->GetmyScenario());
    for (Field f : kStoredInts) EXPECT_EQ(viewer->*f, back->*f);
    EXPECT_EQ("problem", back->spareText);
    EXPECT_EQ("", back->newDesignName);
    EXPECT_TRUE(back->flag104_311 && back->flag104_270 && back->showManagerFlag409);
    EXPECT_FALSE(back->flag104_310 || back->showManagerFlag400);
    EXPECT_EQ(0, back->intArray109_250[1]);
    EXPECT_EQ(0, back->selectedRow);
    // The utility table's row is no part of the record: none is chosen after a reopen.
    EXPECT_EQ(-1, back->utilityRow);
    EXPECT_EQ(0, back->option1519_288);
    EXPECT_EQ(0, back->option105_222);
    EXPECT_EQ(0, back->extractionDesignFlag);
    EXPECT_EQ(-32767.0, back->value1519_210);
    EXPECT_EQ(0.0, back->value1519_555);
    // The sixteen plots come back in kind order; the name views and editors are built once.
    ASSERT_EQ(16, back->GetHenPlotList()->Count());
    for (int k = 0; k < 16; ++k) EXPECT_EQ(k + 1, back->GetHenPlotList()->GetIth(k)->GetGraphType());
    EXPECT_EQ(1, back->GetHenPlotList()->GetIth(10)->AlphaVector().Count());
    EXPECT_EQ(2, back->GetUtilityNameViews().Count());
    EXPECT_EQ(defaults(), back->GetDefaultUtilityNameViews().Count());
    EXPECT_EQ(2 + defaults(), childrenOfType(back, UtilityNameView::TypeName));
    ASSERT_NE(nullptr, back->GetDefaultUtilManagerView());
    EXPECT_EQ(1, childrenOfType(back, DefaultUtilManagerView::TypeName) - childrenOfType(back, HTCDatabaseView::TypeName));
    EXPECT_NE(nullptr, back->GetDefaultUtilManagerView()->GetDUM());
    // A child that is kept out of the stored set until it has a record comes back as none.
    const bool plotsStored = !ObjectTypeRegistry::Current()->Find(ChiSuperTargetPlot::TypeName)->IsTransient();
    EXPECT_EQ(plotsStored, back->GetGeneralPlot() != nullptr);
    // Still bound: the scenario's notices reach the recalled viewer.
    p.AddUtility("HP Steam");
    EXPECT_EQ(3, back->GetUtilityNameViews().Count());
    delete back;
}

TEST_F(ViewScenarioViewerRecord, OlderVersionsTakeTheirDefaultsAndFixUps) {
    for (int v : {1, 5, 6, 11, 12, 13, 23, 24}) {
        SCOPED_TRACE(v);
        HIDesignViewerScenario* viewer = recallTarget();
        LurmetBinaryFile in = LurmetBinaryFile::ForReading(oldRecord(v));
        ASSERT_TRUE(viewer->RecallClassData(in, v));
        ASSERT_TRUE(viewer->CheckRecalledPointers());
        ASSERT_TRUE(viewer->RecallFixUp());
        EXPECT_EQ(p.scenario, viewer->GetmyScenario());
        EXPECT_EQ(7, viewer->spareInt);
        EXPECT_EQ(v > 8 ? 3 : 0, viewer->processRow);
        EXPECT_EQ(3, viewer->option105_203);
        EXPECT_EQ(v > 1 ? 30 : 25, viewer->processHTCDefaultIndex);
        EXPECT_EQ(v > 5 ? 12 : 11, viewer->retroSelectedMainPlot);
        EXPECT_EQ(v > 7 ? 5 : 2, viewer->option100_203);
        EXPECT_EQ(v < 7 ? 77 : -32767, viewer->oldValue);
        EXPECT_EQ(v > 15 ? 1 : 0, viewer->extractedData);
        EXPECT_EQ(v > 16, viewer->flag104_310);
        EXPECT_EQ(v > 18, viewer->showManagerFlag400);
        EXPECT_EQ(v > 21 ? 5 : 1, viewer->intArray109_250[1]);
        EXPECT_EQ(v > 13 ? 0 : 1, viewer->option100_249);
        // Version 12 and older get a new general plot and option 250 set.
        if (v <= 12) {
            ASSERT_NE(nullptr, viewer->GetGeneralPlot());
            EXPECT_EQ(0, viewer->GetGeneralPlot()->GetMode());
            EXPECT_EQ(1, viewer->option100_250);
            ASSERT_NE(nullptr, viewer->GetSuperTargetPlot());
            EXPECT_EQ(111, viewer->GetSuperTargetPlot()->GetActiveInsertPosition());
            EXPECT_EQ(222, viewer->GetSuperTargetPlot()->GetEnteredInsertPosition());
            EXPECT_EQ(1, viewer->GetSuperTargetPlot()->GetXQuantity());
            EXPECT_EQ(3, viewer->GetSuperTargetPlot()->GetRightQuantity());
        } else {
            EXPECT_EQ(0, viewer->option100_250);
        }
        // Before version 6 the sixteen standard plots are built; later the record names them.
        EXPECT_EQ(v < 6 ? 16 : 0, viewer->GetHenPlotList()->Count());
        // The editors are made when the record has none.
        ASSERT_NE(nullptr, viewer->GetDefaultUtilManagerView());
        ASSERT_NE(nullptr, viewer->GetHTCDatabaseView());
        EXPECT_EQ(2, viewer->GetUtilityNameViews().Count());
        delete viewer;
    }
}

TEST_F(ViewScenarioViewerRecord, ARecordCutAtAnyItemOrNamingAMissingScenarioFailsCleanly) {
    for (int v : {4, 12, 24}) {
        ExpectEveryCutRecordFails([&](int cut) { return oldRecord(v, cut); },
                                  [&](const Bytes& bytes) {
                                      HIDesignViewerScenario* viewer = recallTarget();
                                      LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
                                      const bool read = viewer->RecallClassData(in, v);
                                      delete viewer;
                                      return read;
                                  },
                                  "scenario viewer");
    }
    // The scenario is gone: the viewer stays unbound and reads nothing further.
    const std::vector<std::uint8_t> bytes = oldRecord(24);
    ASSERT_EQ(1, p.project->DeleteScenario("Base"));
    p.scenario = nullptr;
    HIDesignViewerScenario* viewer = recallTarget();
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
    EXPECT_FALSE(viewer->RecallClassData(in, 24));
    EXPECT_EQ(nullptr, viewer->GetmyScenario());
    EXPECT_NE(7, viewer->spareInt);
    EXPECT_EQ(nullptr, viewer->GetHenPlotList());
    delete viewer;
}

}  // namespace
