// The case view and its project viewer on the four-stream project: scenario viewers follow the
// project's scenarios, the selection follows the views that close, and the case view, the project
// viewer and its scenario viewers go through the view records and back.
#include "brasko/CaseDocument.h"
#include "brasko/LurmetBinaryFile.h"
#include "lumeth/Session.h"
#include "lumeth/ViewRecords.h"
#include "tests/support/FourStreamProject.h"
#include "views/case/ChiView.h"
#include "views/case/project/GrassRootViewers.h"

#include "tests/views/case/CaseViewTestSupport.h"

#include <gtest/gtest.h>

namespace {

class ViewCaseProjectViewer : public ::testing::Test {
protected:
    ViewCaseProjectViewer() {
        Session::Instance().Reset();
        caseView = new ChiGrassRootView(nullptr, "Plant", ObjectTypeRegistry::Current()->Find(ChiGrassRootView::TypeName));
        caseView->SetDocument(&document);
    }
    ~ViewCaseProjectViewer() override {
        delete caseView;
        Session::Instance().Reset();
    }

    FourStreamProject p;
    CaseDocument document{"case", &p.manager};
    ChiGrassRootView* caseView = nullptr;
};

TEST_F(ViewCaseProjectViewer, APlainCaseViewMakesNoProjectViewer) {
    ChiView plain(nullptr, "Plant", ObjectTypeRegistry::Current()->Find(ChiView::TypeName));
    plain.SetDocument(&document);
    EXPECT_EQ(0, plain.AddProject("Plant"));
    EXPECT_EQ(nullptr, plain.GetProjectViewer());
}

TEST_F(ViewCaseProjectViewer, ScenariosComeAndGoWithTheirViewersAndTheSelectionFollows) {
    ASSERT_EQ(1, caseView->AddProject("Plant"));
    HIDesignViewerProject* viewer = caseView->GetProjectViewer();
    ASSERT_NE(nullptr, viewer);
    ASSERT_EQ(1, viewer->GetScenarioViews().Count());
    EXPECT_TRUE(viewer->GetScenarioViews()[0]->IsA(HIDesignViewerGrassRootScenario::TypeName));
    EXPECT_EQ(viewer, caseView->GetSelObj());

    EXPECT_EQ(1, SendViewableMessage(viewer, "AddDefaultScenario"));
    ASSERT_EQ(2, viewer->GetScenarioViews().Count());
    Viewable* added = viewer->GetScenarioViews()[1];
    EXPECT_EQ("Scenario 1", added->GetName());
    EXPECT_EQ(added, caseView->GetSelObj());
    SendViewableMessage(viewer, "AddDefaultScenario");
    EXPECT_EQ(1, JournalKeyCount("ThisScenarioNameAlreadyExists"));

    // A refused deletion keeps the scenario; a confirmed one removes it and its viewer.
    Session::Instance().ScriptResponse(0);
    SendViewableMessage(viewer, "RemoveFromDesignView");
    EXPECT_EQ(2, p.project->GetNumberOfScenarios());
    Session::Instance().ScriptResponse(1);
    SendViewableMessage(viewer, "RemoveFromDesignView");
    EXPECT_EQ(1, p.project->GetNumberOfScenarios());
    EXPECT_EQ(1, viewer->GetScenarioViews().Count());
    EXPECT_EQ(viewer, caseView->GetSelObj());

    // A taken project name changes nothing.
    EXPECT_EQ(1, SpecifyValueText(viewer, "ExtraData.210.1", "Plant"));
    EXPECT_EQ(1, JournalKeyCount("ThisProjectNameAlreadyExists"));
}

TEST_F(ViewCaseProjectViewer, TheCaseViewsGoThroughTheirRecordsAndBack) {
    ASSERT_EQ(1, caseView->AddProject("Plant"));
    SendViewableMessage(caseView->GetProjectViewer(), "AddDefaultScenario Winter");
    SpecifyValueText(caseView->GetProjectViewer(), "ExtraData.208", "pending");
    std::vector<std::uint8_t> stored;
    Viewable* root = RecallStoredRoot(caseView, document, stored);
    ASSERT_NE(nullptr, root);
    ASSERT_TRUE(root->IsA(ChiView::TypeName));
    auto* back = static_cast<ChiView*>(root);
    ASSERT_NE(nullptr, back->GetProjectViewer());
    HIDesignViewerProject* viewer = back->GetProjectViewer();
    EXPECT_EQ(p.project, viewer->GetProject());
    ASSERT_EQ(2, viewer->GetScenarioViews().Count());
    EXPECT_EQ("Winter", viewer->GetScenarioViews()[1]->GetName());
    EXPECT_EQ(viewer->GetScenarioViews()[1], viewer->GetCurrentScenario());
    EXPECT_EQ(viewer->GetScenarioViews()[1], back->GetSelObj());
    EXPECT_EQ("pending", viewer->TextValue(VarDescription(1519, 208)));
    delete back;

    // A record cut short is refused and leaves nothing behind.
    EXPECT_TRUE(HalfRecordIsRefused(stored, document));
}

}  // namespace
