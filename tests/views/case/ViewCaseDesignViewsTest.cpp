// The design views of a case and what a case view does with them: the selection after a design
// viewer closes, a case built from an earlier case view, the earlier design view read from its
// record and left out when the case is stored, the design view of a single-scenario case, the
// project viewer's clone commands, and attach dropping an offered view.
#include "brasko/CaseDocument.h"
#include "brasko/LurmetBinaryFile.h"
#include "eng/model/CloneEngine.h"
#include "lumeth/Session.h"
#include "lumeth/ViewRecords.h"
#include "tests/support/FourStreamProject.h"
#include "tests/views/case/CaseViewTestSupport.h"
#include "views/EnginePointers.h"
#include "views/case/CPIDesignViewerDesign.h"
#include "views/case/ChiView.h"
#include "views/case/CloneHIScenarioTool.h"
#include "views/case/HIDesign.h"
#include "views/case/project/GrassRootViewers.h"
#include "views/plots/CpiView.h"
#include "views/session/ViewScript.h"

#include <gtest/gtest.h>

namespace {

const ObjectTypeInfo* typeOf(const char* name) { return ObjectTypeRegistry::Current()->Find(name); }
VarDescription address(const char* text) {
    VarDescription v;
    VarDescription::Parse(text, v);
    return v;
}

class ViewCaseDesignViews : public ::testing::Test {
protected:
    ViewCaseDesignViews() {
        Session::Instance().Reset();
        caseView = new ChiGrassRootView(nullptr, "Plant", typeOf(ChiGrassRootView::TypeName));
        caseView->SetDocument(&document);
    }
    ~ViewCaseDesignViews() override {
        delete caseView;
        Session::Instance().Reset();
    }
    int keyCount(const char* key) {
        int n = 0;
        for (const SessionEntry& e : Session::Instance().Journal()) n += e.key == key;
        return n;
    }
    HIDesignViewerScenario* base() { return caseView->GetProjectViewer()->GetScenarioViews()[0]; }
    std::vector<std::uint8_t> stored() {
        LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
        EXPECT_TRUE(ViewRecords::Store(out, {caseView}));
        return out.Bytes();
    }

    FourStreamProject p;
    CaseDocument document{"case", &p.manager};
    ChiGrassRootView* caseView = nullptr;
};

TEST_F(ViewCaseDesignViews, ClosingTheSelectedDesignViewerSelectsItsScenarioViewer) {
    ASSERT_EQ(1, caseView->AddProject("Plant"));
    ASSERT_EQ(1, p.scenario->AddDesign("D1"));
    ASSERT_EQ(1, base()->GetDesignObjs().Count());
    HIDesignViewerDesign* design = base()->GetDesignObjs()[0];
    caseView->ChangeSelectedObject(design);
    ASSERT_EQ(design, caseView->GetSelObj());
    SendViewableMessage(design, "DeleteView");
    EXPECT_EQ(base(), caseView->GetSelObj());
    EXPECT_EQ(0, base()->GetDesignObjs().Count());
    // The scenario viewer selected in turn hands the selection to the project viewer.
    SendViewableMessage(base(), "DeleteView");
    EXPECT_EQ(caseView->GetProjectViewer(), caseView->GetSelObj());
}

TEST_F(ViewCaseDesignViews, AttachDropsAnOfferedViewElseTypesANewName) {
    ASSERT_EQ(1, caseView->AddProject("Plant"));
    ASSERT_EQ(1, p.scenario->AddDesign("D1"));
    SendViewableMessage(caseView->GetProjectViewer(), "AddDefaultScenario");
    ASSERT_NE(caseView->GetProjectViewer(), caseView->GetSelObj());
    // The case offers every view a user can pick in its tree.
    std::vector<Viewable*> offered;
    EXPECT_EQ(4, caseView->GetAttachableObjects(address("Viewable.299"), offered));

    ViewScriptRunner runner(caseView, caseView);
    ASSERT_EQ(0, runner.Run("attach Viewable.299 D1\nopen Viewable.299\nopen MyOwnerObject\nopen MyOwnerObject\n"
                            "open MyOwnerObject\nattach Viewable.299 Plant\n",
                            "drop"))
        << runner.Error();
    EXPECT_EQ("D1", runner.Steps()[1].text);
    EXPECT_EQ(caseView->GetProjectViewer(), caseView->GetSelObj());
    const std::vector<SessionEntry> attached = Session::Instance().Entries(SessionEvent::Attached);
    ASSERT_EQ(2u, attached.size());
    EXPECT_EQ(1, attached[0].number) << "a drop";
    EXPECT_EQ(1, attached[0].answer);

    // A replay on fresh views drops the same view again.
    ChiGrassRootView fresh(nullptr, "Plant", typeOf(ChiGrassRootView::TypeName));
    fresh.SetDocument(&document);
    ASSERT_EQ(1, fresh.AddProject("Plant"));
    EXPECT_EQ(0, ReplayInputs({attached[0]}, &fresh));
    ASSERT_NE(nullptr, fresh.GetSelObj());
    EXPECT_EQ("D1", fresh.GetSelObj()->GetName());

    // A name nothing offers is typed for a new view; the case view makes none.
    ViewScriptRunner typed(caseView, caseView);
    typed.Run("attach Viewable.299 Nowhere\n", "typed");
    ASSERT_EQ(1u, typed.Steps().size());
    EXPECT_EQ(0, typed.Steps()[0].result);
    EXPECT_EQ(0, Session::Instance().Entries(SessionEvent::Attached).back().number);
}

TEST_F(ViewCaseDesignViews, ACaseBuiltFromAnEarlierCaseViewSelectsWhatItsSelectionStoodFor) {
    ASSERT_EQ(1, p.scenario->AddDesign("D1"));
    ObjectTypeInfo hostProject("DesignViewerProjectObject", typeOf("ViewableObject"), "DesignViewerProject", 1, 1, "");
    ObjectTypeInfo hostScenario("DesignViewerScenarioObject", typeOf("ViewableObject"), "DesignViewerScenario", 1, 1, "");
    struct Case {
        const char* selected;  // the kind of the earlier selection
        const char* name;
        const char* expected;  // the name of the view selected after; "" for none
    };
    for (const Case& c : {Case{"project", "Plant", "Plant"}, Case{"scenario", "Base", "Base"},
                          Case{"design", "D1", "D1"}, Case{"design", "Other", ""}}) {
        SCOPED_TRACE(std::string(c.selected) + " " + c.name);
        Session::Instance().Reset();
        ObjectInstanceInfo info{typeOf(CpiView::TypeName), "old", nullptr};
        CpiView earlier(info);
        Viewable projectView(&earlier, &hostProject);
        projectView.SetName("Plant");
        Viewable scenarioOwner(&earlier, &hostScenario);
        scenarioOwner.SetName("Base");
        Viewable* selected = nullptr;
        if (std::string(c.selected) == "project") selected = new Viewable(&earlier, &hostProject);
        else if (std::string(c.selected) == "scenario") selected = new Viewable(&earlier, &hostScenario);
        else {
            ObjectInstanceInfo designInfo{typeOf(CPIDesignViewerDesign::TypeName), c.name, &scenarioOwner};
            selected = CPIDesignViewerDesign::Create(designInfo);
        }
        selected->SetName(c.name);
        earlier.SetLinkedView(0, &projectView);
        earlier.SetLinkedView(1, selected);
        earlier.SetText("pending");

        ChiGrassRootView rebuilt(nullptr, "Plant", typeOf(ChiGrassRootView::TypeName));
        rebuilt.SetDocument(&document);
        rebuilt.SetCPIView(&earlier);
        ASSERT_NE(nullptr, rebuilt.GetProjectViewer());
        EXPECT_EQ("pending", rebuilt.GetPendingName());
        EXPECT_EQ(p.project, rebuilt.GetProjectViewer()->GetProject()) << "the existing project";
        if (*c.expected) {
            ASSERT_NE(nullptr, rebuilt.GetSelObj());
            EXPECT_EQ(c.expected, rebuilt.GetSelObj()->GetName());
        } else {
            EXPECT_EQ(nullptr, rebuilt.GetSelObj());
        }
    }
}

TEST_F(ViewCaseDesignViews, TheEarlierDesignViewIsReadButNeverWritten) {
    ASSERT_EQ(1, p.scenario->AddDesign("D1"));
    IHENDesign* design = nullptr;
    ASSERT_TRUE(p.scenario->GetDesign("D1", design));
    // A view set of one earlier design view: its text, its design, no grid diagram, no
    // exchanger or splitter views and two stream views stored as null links.
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    RecordHandle set, record;
    ASSERT_TRUE(out.BeginRecord(set, ViewRecords::SetVersion) && out.WriteInt(1));
    ASSERT_TRUE(out.BeginRecord(record, 1) && out.WriteCPString(CPIDesignViewerDesign::TypeName) && out.WriteInt(1) &&
                out.WriteInt(0) && out.WriteCPString("old design"));
    ASSERT_TRUE(out.WriteCPString("notes") && StoreDesignPointer(out, p.scenario, design) && out.WriteInt(0) &&
                out.WriteInt(0) && out.WriteInt(0) && out.WriteInt(2) && out.WriteInt(0) && out.WriteInt(0));
    ASSERT_TRUE(out.EndRecord(record) && out.EndRecord(set));
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    std::vector<Viewable*> roots;
    ASSERT_TRUE(ViewRecords::Recall(in, roots, &document));
    ASSERT_EQ(1u, roots.size());
    ASSERT_TRUE(roots[0]->IsA(CPIDesignViewerDesign::TypeName));
    auto* old = static_cast<CPIDesignViewerDesign*>(roots[0]);
    EXPECT_EQ("notes", old->GetText());
    EXPECT_EQ(design, old->GetDesign());
    EXPECT_EQ(0, old->GetStreamViews().Count()) << "null links are not put into the list";
    // Storing it alone writes an empty set; the store itself does not fail.
    LurmetBinaryFile again = LurmetBinaryFile::ForWriting();
    EXPECT_TRUE(ViewRecords::Store(again, {old}));
    delete old;

    // Every cut of the record fails cleanly.
    const std::vector<std::uint8_t> bytes = out.Bytes();
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        LurmetBinaryFile cut = LurmetBinaryFile::ForReading(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + n));
        std::vector<Viewable*> none;
        ASSERT_FALSE(ViewRecords::Recall(cut, none, &document)) << n;
        EXPECT_TRUE(none.empty());
    }
}

TEST_F(ViewCaseDesignViews, ACaseHoldingAViewThatIsNeverWrittenStillSavesWithoutIt) {
    ASSERT_EQ(1, caseView->AddProject("Plant"));
    caseView->ChangeSelectedObject(base());
    const std::vector<std::uint8_t> before = stored();
    ObjectInstanceInfo info{typeOf(CPIDesignViewerDesign::TypeName), "old design", base()};
    Viewable* old = CPIDesignViewerDesign::Create(info);
    ASSERT_NE(nullptr, old);
    SendViewableMessage(caseView->GetProjectViewer(), "CloneHI");
    ASSERT_NE(nullptr, caseView->GetProjectViewer()->GetCloneTool());
    // Both the earlier design view and the open clone tool are passed over whole.
    EXPECT_EQ(before, stored());
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(stored());
    std::vector<Viewable*> roots;
    ASSERT_TRUE(ViewRecords::Recall(in, roots, &document));
    ASSERT_EQ(1u, roots.size());
    auto* back = static_cast<ChiView*>(roots[0]);
    EXPECT_EQ(nullptr, back->GetProjectViewer()->GetCloneTool());
    EXPECT_EQ(nullptr, back->GetProjectViewer()->GetScenarioViews()[0]->FindChild(CPIDesignViewerDesign::TypeName, "old design"));
    delete back;
}

TEST_F(ViewCaseDesignViews, TheProjectViewerOpensOneCloneToolAtATimeAndClonesForRetrofit) {
    ASSERT_EQ(1, caseView->AddProject("Plant"));
    HIDesignViewerProject* viewer = caseView->GetProjectViewer();
    // The project viewer itself selected: no current scenario, no tool.
    caseView->ChangeSelectedObject(viewer);
    EXPECT_EQ(0, SendViewableMessage(viewer, "CloneHI")) << "no scenario to clone";
    EXPECT_EQ(nullptr, viewer->GetCloneTool());
    EXPECT_EQ(0, SendViewableMessage(caseView, "CloneHI")) << "nothing to clone with the project viewer selected";
    EXPECT_EQ(nullptr, viewer->GetCloneTool());

    // A scenario viewer selected: the case view passes the line to the project viewer.
    caseView->ChangeSelectedObject(base());
    EXPECT_EQ(0, SendViewableMessage(caseView, "CloneHI"));
    CloneHIScenarioTool* tool = viewer->GetCloneTool();
    ASSERT_NE(nullptr, tool);
    EXPECT_EQ("Base", tool->GetName());
    EXPECT_EQ(0, tool->GetMode());
    ASSERT_NE(nullptr, tool->GetEngine());
    EXPECT_STREQ("Base", tool->GetEngine()->GetClonableScenarioName());
    EXPECT_EQ(tool, viewer->AttachedObject(address("CloneHIScenarioTool.298")));
    EXPECT_EQ("CloneHIScenarioTool.298.0(Base)", viewer->AttachedName(tool));

    // "CopyHI" closes the open tool first.
    const auto life = tool->LifeToken();
    EXPECT_EQ(1, SendViewableMessage(viewer, "CopyHI"));
    EXPECT_TRUE(life.expired());
    ASSERT_NE(nullptr, viewer->GetCloneTool());
    EXPECT_EQ(1, viewer->GetCloneTool()->GetMode());
    std::vector<Text> forms;
    for (const SessionEntry& e : Session::Instance().Entries(SessionEvent::ViewOpened)) forms.push_back(e.text);
    EXPECT_NE(forms.end(), std::find(forms.begin(), forms.end(), "CloneView"));
    EXPECT_NE(forms.end(), std::find(forms.begin(), forms.end(), "DefaultView"));
    // A tool deleted elsewhere is forgotten.
    delete viewer->GetCloneTool();
    EXPECT_EQ(nullptr, viewer->GetCloneTool());

    // "CloneAndRetrofit" around a design with no units (its streams miss their targets): the
    // network does not calculate, so no retrofit copy is made around it, and the user is told.
    ASSERT_EQ(1, p.scenario->AddDesign("D1"));
    const Text expected = p.project->CreateScenarioName("Base");
    EXPECT_EQ(0, SendViewableMessage(viewer, "CloneAndRetrofit D1"));
    EXPECT_EQ(1, JournalKeyCount("RetrofitBaseNotCalculated"));
    EXPECT_EQ(Text(), viewer->GetLastScenarioName());
    IHeatIntegrationScenario* copy = nullptr;
    EXPECT_FALSE(p.project->GetScenario(expected, copy));
    EXPECT_EQ(1, viewer->GetScenarioViews().Count());
}

TEST_F(ViewCaseDesignViews, TheDesignViewOfASingleScenarioCaseIsTitledAfterItAndAsksBeforeOptimising) {
    ASSERT_EQ(1, caseView->AddProject("Plant"));
    ASSERT_EQ(1, p.scenario->AddDesign("D1"));
    IHENDesign* design = nullptr;
    ASSERT_TRUE(p.scenario->GetDesign("D1", design));
    Viewable* made = CreateViewerOfType("D1", base(), typeOf(HIDesign::TypeName));
    ASSERT_NE(nullptr, made);
    ASSERT_TRUE(made->IsA(HIDesign::TypeName));
    auto* view = static_cast<HIDesign*>(made);
    view->SetScenario(p.scenario);
    view->SetEngineeringDesign(design, false);
    EXPECT_EQ("Base HEN", view->TextValue(VarDescription(1519, 250)));
    EXPECT_EQ(base(), view->AttachedObject(address("Viewable.1000")));
    EXPECT_EQ(0.0, view->Value(VarDescription(104, 201))) << "no stream link";
    EXPECT_EQ(1, view->Specify(VarDescription(109, 202), 3.7));
    EXPECT_EQ(3.0, view->Value(VarDescription(109, 202)));
    SendViewableMessage(view, "OpenDesignPage");
    bool paged = false;
    for (const SessionEntry& e : Session::Instance().Entries(SessionEvent::MessageSent))
        paged = paged || e.text == "ViewCompact DefaultView 3";
    EXPECT_TRUE(paged);

    // Anything but 1 leaves the design alone and answers that nothing was done; 1 runs the
    // optimiser and shows its result's key.
    const auto optimiserKeys = [&] {
        int n = 0;
        for (const SessionEntry& e : Session::Instance().Entries(SessionEvent::Error)) n += e.key.rfind("NetOpt", 0) == 0;
        return n;
    };
    for (int answer : {0, 2, -1}) {
        Session::Instance().ScriptResponse(answer);
        EXPECT_EQ(0, SendViewableMessage(view, "Optimize"));
    }
    EXPECT_EQ(0, optimiserKeys());
    Session::Instance().ScriptResponse(1);
    SendViewableMessage(view, "Optimize");
    EXPECT_EQ(1, optimiserKeys());
    EXPECT_EQ(0, Session::Instance().BusyDepth());
}

TEST(ViewDesignResultKeys, EachCodeHasItsKey) {
    EXPECT_EQ("NetOptNoStrmData", HIDesignViewerDesign::NetworkOptimisationKey(0));
    EXPECT_EQ("NetOptFail", HIDesignViewerDesign::NetworkOptimisationKey(13));
    EXPECT_EQ("NetOptOk", HIDesignViewerDesign::NetworkOptimisationKey(4));
    EXPECT_EQ("NetOptNoArea", HIDesignViewerDesign::NetworkOptimisationKey(104));
    EXPECT_EQ("RetBigProb", HIDesignViewerDesign::RetrofitKey(0));
    EXPECT_EQ("RetDesStrmUntied", HIDesignViewerDesign::RetrofitKey(43));
    // A code no table lists is a failure, not a success.
    EXPECT_EQ("RetFail", HIDesignViewerDesign::RetrofitKey(42));
    EXPECT_EQ("RetOk", HIDesignViewerDesign::RetrofitKey(2));
}

}  // namespace
