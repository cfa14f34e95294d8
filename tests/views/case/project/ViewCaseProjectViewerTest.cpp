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

#include <string>
#include <vector>

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

    // The project's own name typed again names no other project: taken, nothing to change.
    EXPECT_EQ(1, SpecifyValueText(viewer, "ExtraData.210.1", "Plant"));
    EXPECT_EQ(0, JournalKeyCount("ThisProjectNameAlreadyExists"));
    EXPECT_EQ("Plant", Text(p.project->GetProjectName()));

    // A scenario name with a blank at an end would read as another's: refused, the name kept.
    viewer->SelectScenarioView(viewer->GetScenarioViews()[0]);
    const Text kept = viewer->GetScenarioViews()[0]->GetName();
    for (const char* name : {" base", "base "}) {
        SpecifyValueText(viewer, "ExtraData.208", name);
        EXPECT_EQ(0, SendViewableMessage(viewer, "RenameView")) << name;
        EXPECT_EQ(kept, viewer->GetScenarioViews()[0]->GetName()) << name;
    }
    EXPECT_EQ(2, JournalKeyCount("ThisScenarioNameIsInvalid"));
}

// Notes are chosen by their titles: a new note passes the titles in use after a deletion, a
// title another note has is refused, and once the chosen note is deleted typed text reaches no
// other note.
TEST_F(ViewCaseProjectViewer, EachNoteKeepsATitleOfItsOwn) {
    ASSERT_EQ(1, caseView->AddProject("Plant"));
    HIDesignViewerProject* viewer = caseView->GetProjectViewer();
    ASSERT_NE(nullptr, viewer);
    for (int i = 0; i < 3; ++i) SendViewableMessage(viewer, "AddNote");
    EXPECT_EQ(1, SpecifyValueText(viewer, "ExtraData.212", "Note 2"));
    SendViewableMessage(viewer, "DeleteNote");
    SendViewableMessage(viewer, "AddNote");
    auto titles = [&] {
        std::vector<std::string> out;
        for (int i = 0; i < p.project->GetNumberOfNotes(); ++i) out.push_back(p.project->GetNoteTitle(i));
        return out;
    };
    EXPECT_EQ((std::vector<std::string>{"Note 1", "Note 3", "Note 4"}), titles());
    EXPECT_EQ(1, SpecifyValueText(viewer, "ExtraData.212", "Note 4"));
    EXPECT_EQ(1, SpecifyValueText(viewer, "ExtraData.210.6", "pumps"));
    EXPECT_EQ("pumps", p.project->GetNoteText(2));
    EXPECT_EQ(0, SpecifyValueText(viewer, "ExtraData.210.5", "Note 1"));
    EXPECT_EQ(1, JournalKeyCount("NameNotUnique"));
    EXPECT_EQ((std::vector<std::string>{"Note 1", "Note 3", "Note 4"}), titles());
    EXPECT_EQ(1, SpecifyValueText(viewer, "ExtraData.210.5", "Pumps"));
    EXPECT_EQ(1, SpecifyValueText(viewer, "ExtraData.212", "Note 3"));
    SendViewableMessage(viewer, "DeleteNote");
    EXPECT_EQ(0, SpecifyValueText(viewer, "ExtraData.210.6", "lost"));
    EXPECT_EQ((std::vector<std::string>{"Note 1", "Pumps"}), titles());
    EXPECT_EQ("pumps", p.project->GetNoteText(1));
    EXPECT_EQ("", p.project->GetNoteText(0));
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
