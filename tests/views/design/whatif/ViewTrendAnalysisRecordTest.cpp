// The trend-analysis view's record: version 2 read back with its page, flags, pending intervals
// and a study tree made again from the design; version 1 without the total-site byte; records cut
// at any item fail.
#include "brasko/CaseDocument.h"
#include "brasko/LurmetBinaryFile.h"
#include "tests/support/RecordHarness.h"
#include "tests/views/design/whatif/WhatIfTestSupport.h"
#include "views/EnginePointers.h"
#include "views/design/whatif/StudyNodeView.h"
#include "views/design/whatif/TrendAnalysisNodeView.h"
#include "views/design/whatif/TrendAnalysisView.h"

#include <gtest/gtest.h>

using namespace whatif_test;

namespace {

class ViewTrendAnalysisRecord : public ::testing::Test {
protected:
    ViewTrendAnalysisRecord() {
        root = new Viewable(nullptr, "HIDesignViewerProjectObject");
        root->SetDocument(&document);
    }
    ~ViewTrendAnalysisRecord() override { delete root; }
    const ObjectTypeInfo* type() const { return ObjectTypeRegistry::Current()->Find(TrendAnalysisView::TypeName); }
    TrendAnalysisView* recallTarget() {
        ObjectInstanceInfo info{type(), "", root};
        return static_cast<TrendAnalysisView*>(type()->CreateInstanceForRecall(info));
    }
    // A record of version v made by hand: page 2, second word 0, flags (1, 0), 5 pending
    // intervals, no selected node; `cut` stops after that many items.
    Bytes record(int v, int cut = 1000) {
        HandMadeRecord r(cut);
        LurmetBinaryFile& f = r.File();
        if (v >= 2) r.Byte(0);
        r.Item([&] { return StoreDesignPointer(f, locked.p.scenario, locked.d); });
        r.Ints({2, 0, 2});
        r.Byte(1);
        r.Byte(0);
        r.Ints({5});
        r.Ints({0});
        return r.Finish();
    }

    LockedProject locked;
    CaseDocument document{"case", &locked.p.manager};
    Viewable* root = nullptr;
};

TEST_F(ViewTrendAnalysisRecord, EachVersionReadsBackItsFieldsAndMakesTheTreeAgain) {
    for (int v : {1, 2}) {
        SCOPED_TRACE(v);
        TrendAnalysisView* view = recallTarget();
        LurmetBinaryFile in = LurmetBinaryFile::ForReading(record(v));
        ASSERT_TRUE(view->RecallClassData(in, v));
        ASSERT_TRUE(view->CheckRecalledPointers());
        EXPECT_EQ(locked.d, view->GetDesign());
        EXPECT_EQ(locked.d->GetDefaultStudy(), view->GetStudy());
        EXPECT_EQ(2, view->GetCurrentPage());
        EXPECT_EQ((std::vector<std::uint8_t>{1, 0}), view->Flags());
        // The times the study was read with stay.
        EXPECT_NEAR(1.0, Get(*view, "Time.354.1"), 1e-9);
        ASSERT_NE(nullptr, view->GetSummaryNode());
        ASSERT_EQ(2u, view->GetSummaryNode()->GetStudyNodes().size());
        EXPECT_EQ("Study-1", view->GetSummaryNode()->GetStudyNodes()[1]->GetName());
        // Stored again, it reads the same.
        LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
        ASSERT_TRUE(view->StoreClassData(out));
        ASSERT_TRUE(out.Commit());
        if (v == 2) {
            EXPECT_EQ(record(2), out.Bytes());
        }
        delete view;
    }
}

TEST_F(ViewTrendAnalysisRecord, ARecordCutAtAnyItemFailsCleanly) {
    for (int v : {1, 2})
        ExpectEveryCutRecordFails([&](int cut) { return record(v, cut); },
                                  [&](const Bytes& bytes) {
                                      TrendAnalysisView* view = recallTarget();
                                      LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
                                      const bool read = view->RecallClassData(in, v);
                                      delete view;
                                      return read;
                                  },
                                  "trend-analysis view");
}

}  // namespace
