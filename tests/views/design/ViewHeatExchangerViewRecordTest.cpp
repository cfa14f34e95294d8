// The exchanger and splitter views in the case file: saved with their design viewer and read back
// bound to the same nodes with their neighbours; older records made by hand (the exchanger view's
// versions 1 to 3 without the flag, the plot or a model that already calculated them, the
// splitter view's version 1 without the flag); every record cut short fails.
#include "brasko/CaseDocument.h"
#include "brasko/LurmetBinaryFile.h"
#include "eng/design/HENDesign.h"
#include "lumeth/Session.h"
#include "lumeth/ViewRecords.h"
#include "pellin/HeatExch.h"
#include "tests/eng/design/DesignTestSupport.h"
#include "tests/support/FourStreamProject.h"
#include "tests/support/NotificationRecorder.h"
#include "tests/support/RecordHarness.h"
#include "views/EnginePointers.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/design/HeatExchangerView.h"
#include "views/design/SplitterView.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class ViewUnitViewRecord : public ::testing::Test {
protected:
    ViewUnitViewRecord() {
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
        e1 = design->AddHeatExchanger(design_test::NthSegment(*design, "H1", 0), design_test::NthSegment(*design, "C2", 0),
                                      nullptr, nullptr, nullptr);
        e2 = design->AddHeatExchanger(AsHeatExch(e1)->getOutlet(0), design_test::NthSegment(*design, "C1", 0), nullptr,
                                      nullptr, nullptr);
        CNode* segment = AsHeatExch(e2)->getInlet(1);
        design->AddSplitterMixer(segment, segment, tee, "test", 2);
    }
    ~ViewUnitViewRecord() override { delete root; }

    const ObjectTypeInfo* type(const char* name) const { return ObjectTypeRegistry::Current()->Find(name); }

    // The exchanger view's record of version v made by hand; `cut` stops after that many items.
    Bytes exchangerRecord(int v, int cut = 1000) {
        HandMadeRecord record(cut);
        LurmetBinaryFile& f = record.File();
        auto name = [&](const CPString& s) {
            record.Item([&] {
                if (!f.WriteInt(static_cast<std::int32_t>(s.size() + 1))) return false;
                for (char c : s)
                    if (!f.WriteChar(c)) return false;
                return f.WriteChar('\0');
            });
        };
        auto text = [&](const char* s) { record.Item([&] { return f.WriteCPString(s); }); };
        text("a note");
        if (v >= 3) record.Ints({0});
        record.Item([&] { return StoreDesignPointer(f, p.scenario, design); });
        name(e1->getName());
        record.Ints({0, 0, 0, 0});
        for (const CPString& n : {CPString("H1Start"), e2->getName(), CPString(), CPString()}) name(n);
        for (const char* t : {"in", "", "out", "", ""}) text(t);
        if (v >= 2) record.Ints({0});
        return record.Finish();
    }
    Bytes splitterRecord(int v, int cut = 1000) {
        HandMadeRecord record(cut);
        LurmetBinaryFile& f = record.File();
        if (v >= 2) record.Ints({0});
        record.Item([&] { return StoreDesignPointer(f, p.scenario, design); });
        for (const CPString& n : {tee->getName()}) record.Item([&] { return f.WriteInt(static_cast<int>(n.size() + 1)) && [&] {
            for (char c : n)
                if (!f.WriteChar(c)) return false;
            return f.WriteChar('\0');
        }(); });
        record.Ints({0, 0});
        for (const CPString& n : {CPString(), CPString()})
            record.Item([&] { return f.WriteInt(static_cast<int>(n.size() + 1)) && f.WriteChar('\0'); });
        for (const char* t : {"up", "down", "split"}) record.Item([&] { return f.WriteCPString(t); });
        return record.Finish();
    }
    template <typename V>
    V* recallInto(const char* typeName, const Bytes& bytes, int version, bool& ok) {
        ObjectInstanceInfo info{type(typeName), "", root};
        auto* view = static_cast<V*>(type(typeName)->CreateInstanceForRecall(info));
        LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
        ok = view->RecallClassData(in, version) && view->CheckRecalledPointers() && view->RecallFixUp();
        return view;
    }

    FourStreamProject p;
    CaseDocument document{"case", &p.manager};
    Viewable* root = nullptr;
    CPIHENDesign* design = nullptr;
    CNode *e1 = nullptr, *e2 = nullptr, *tee = nullptr;
};

TEST_F(ViewUnitViewRecord, TheViewsComeBackWithTheirDesignViewerOnTheSameNodes) {
    auto* scenarioViewer = new HIDesignViewerScenario(root, "Base", type(HIDesignViewerScenario::TypeName));
    ASSERT_TRUE(scenarioViewer->SetVariables());
    HIDesignViewerDesign* viewer = scenarioViewer->GetDesignI(0);
    ASSERT_NE(nullptr, viewer);
    auto* v1 = dynamic_cast<HeatExchangerView*>(viewer->GetEquipmentView(e1));
    ASSERT_NE(nullptr, v1);
    v1->strNote = "check the fouling";
    const int exchangerViews = viewer->GetExchangerViews().Count();
    const int splitterViews = viewer->GetSplitterViews().Count();
    ASSERT_EQ(2, exchangerViews);
    ASSERT_EQ(1, splitterViews);

    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(ViewRecords::Store(out, {scenarioViewer}));
    ASSERT_TRUE(out.Commit());
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    std::vector<Viewable*> roots;
    ASSERT_TRUE(ViewRecords::Recall(in, roots, &document));
    ASSERT_EQ(1u, roots.size());
    auto* backScenario = static_cast<HIDesignViewerScenario*>(roots[0]);
    HIDesignViewerDesign* back = backScenario->GetDesignI(0);
    ASSERT_EQ(exchangerViews, back->GetExchangerViews().Count());
    ASSERT_EQ(splitterViews, back->GetSplitterViews().Count());
    auto* b1 = dynamic_cast<HeatExchangerView*>(back->GetEquipmentView(e1));
    ASSERT_NE(nullptr, b1);
    EXPECT_EQ(exchangerViews, back->GetExchangerViews().Count()) << "the recalled view is found, not made again";
    EXPECT_EQ(Text("check the fouling"), b1->strNote);
    EXPECT_NE(nullptr, b1->GetPlot());
    for (int port = 0; port < 4; ++port) {
        SCOPED_TRACE(port);
        EXPECT_EQ(v1->NeighbourNode(port), b1->NeighbourNode(port));
        EXPECT_EQ(v1->NeighbourName(port), b1->NeighbourName(port));
        EXPECT_EQ(v1->NeighbourView(port) != nullptr, b1->NeighbourView(port) != nullptr);
    }
    auto* b2 = dynamic_cast<HeatExchangerView*>(back->GetEquipmentView(e2));
    ASSERT_NE(nullptr, b2);
    EXPECT_EQ(b2, b1->NeighbourView(1));
    auto* split = dynamic_cast<SplitterView*>(back->GetEquipmentView(tee));
    ASSERT_NE(nullptr, split);
    EXPECT_EQ(tee, split->GetSplitter());
    EXPECT_EQ(b2, split->DownstreamView());

    // The whole set stores the same record again.
    LurmetBinaryFile again = LurmetBinaryFile::ForWriting(), first = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(ViewRecords::Store(first, {scenarioViewer}));
    ASSERT_TRUE(ViewRecords::Store(again, {backScenario}));
    EXPECT_EQ(first.Bytes(), again.Bytes());
    // Still bound: deleting the exchanger closes its recalled view.
    const std::weak_ptr<const bool> alive = b1->LifeToken();
    ASSERT_TRUE(design->DeleteHeatExchanger(e1, "test"));
    EXPECT_TRUE(alive.expired());
    delete backScenario;
    delete scenarioViewer;
}

TEST_F(ViewUnitViewRecord, OlderExchangerRecordsRebuildThePlotAndRecalculate) {
    for (int v = 1; v <= 4; ++v) {
        SCOPED_TRACE(v);
        // The design says it is up to date (85) after every recalculation.
        NotificationRecorder listener(*design);
        bool ok = false;
        auto* view = recallInto<HeatExchangerView>(HeatExchangerView::TypeName, exchangerRecord(v), v, ok);
        ASSERT_TRUE(ok);
        EXPECT_EQ(design, view->GetDesign());
        EXPECT_EQ(e1, view->GetNode());
        EXPECT_EQ(Text("a note"), view->strNote);
        EXPECT_EQ(NodeKindId::FeedBlock, view->NeighbourNode(0) ? view->NeighbourNode(0)->getKindId() : NodeKindId::Other);
        EXPECT_EQ(e2, view->NeighbourNode(1));
        EXPECT_EQ(nullptr, view->NeighbourNode(2));
        EXPECT_EQ(Text("in"), view->NeighbourName(0));
        EXPECT_EQ(Text("out"), view->NeighbourName(1));
        EXPECT_NE(nullptr, view->GetPlot());
        EXPECT_EQ(v < 4 ? 1 : 0, listener.Count(85));
        delete view;
    }
}

TEST_F(ViewUnitViewRecord, OlderSplitterRecordsHaveNoFlag) {
    for (int v = 1; v <= 2; ++v) {
        SCOPED_TRACE(v);
        bool ok = false;
        auto* view = recallInto<SplitterView>(SplitterView::TypeName, splitterRecord(v), v, ok);
        ASSERT_TRUE(ok);
        EXPECT_EQ(design, view->GetDesign());
        EXPECT_EQ(tee, view->GetSplitter());
        EXPECT_NE(nullptr, view->GetMixerNode());
        delete view;
    }
}

TEST_F(ViewUnitViewRecord, EveryRecordCutShortFails) {
    for (int v = 1; v <= 4; ++v) {
        SCOPED_TRACE(v);
        ExpectEveryCutRecordFails([&](int cut) { return exchangerRecord(v, cut); },
                                  [&](const Bytes& bytes) {
                                      bool ok = false;
                                      delete recallInto<HeatExchangerView>(HeatExchangerView::TypeName, bytes, v, ok);
                                      return ok;
                                  },
                                  "exchanger view");
    }
    for (int v = 1; v <= 2; ++v)
        ExpectEveryCutRecordFails([&](int cut) { return splitterRecord(v, cut); },
                                  [&](const Bytes& bytes) {
                                      bool ok = false;
                                      delete recallInto<SplitterView>(SplitterView::TypeName, bytes, v, ok);
                                      return ok;
                                  },
                                  "splitter view");
}

}  // namespace
