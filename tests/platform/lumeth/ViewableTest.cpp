#include "lumeth/Framework.h"
#include "lumeth/Session.h"
#include "tests/support/ProbeView.h"

#include <memory>

#include <gtest/gtest.h>

namespace {

class ViewableTest : public ::testing::Test {
protected:
    void SetUp() override {
        Session::Instance().Reset();
        ConfigData::Instance().Clear();
    }
    ProbeRegistry registry;
};

TEST_F(ViewableTest, DeathPosteesAreToldWhileTheTypeIsKnown) {
    auto* owner = new ProbeView(nullptr, "owner");
    auto* child = new ProbeView(owner, "child");
    auto* watcher = new ProbeView(nullptr, "watcher");
    EXPECT_TRUE(child->AddDeathPostee(owner));
    EXPECT_TRUE(child->AddDeathPostee(watcher));
    EXPECT_FALSE(child->AddDeathPostee(watcher));
    EXPECT_FALSE(child->AddDeathPostee(child));
    delete child;
    ASSERT_EQ(1u, owner->deaths.size());
    EXPECT_EQ("child", owner->deaths[0].first);
    EXPECT_TRUE(owner->deaths[0].second) << "IsA must work inside DisconnectDeadObject";
    EXPECT_EQ(1u, watcher->deaths.size());
    EXPECT_EQ(0, owner->GetNumberOfChildren());
    // A postee that dies first leaves the lists of the views it watched.
    auto* other = new ProbeView(nullptr, "other");
    other->AddDeathPostee(watcher);
    delete watcher;
    delete other;
    delete owner;
}

TEST_F(ViewableTest, APosteeDeletingAnotherPosteeWhileToldIsSafe) {
    auto* dying = new ProbeView(nullptr, "dying");
    auto* first = new ProbeView(nullptr, "first");
    auto* second = new ProbeView(nullptr, "second");
    dying->AddDeathPostee(first);
    dying->AddDeathPostee(second);
    first->deleteOnDeath = second;  // second is removed while the postees are being told
    delete dying;
    EXPECT_EQ(1u, first->deaths.size());
    delete first;
}

TEST_F(ViewableTest, APosteeThatDeletesTheDyingViewsParentDeletesEveryViewOnce) {
    auto* parent = new ProbeView(nullptr, "parent");
    auto* dying = new ProbeView(parent, "dying");
    new ProbeView(dying, "grandchild");
    new ProbeView(parent, "sibling");
    auto* watcher = new ProbeView(nullptr, "watcher");
    dying->AddDeathPostee(watcher);
    watcher->deleteOnDeath = parent;  // the owner goes while its child is dying
    delete dying;
    ASSERT_EQ(1u, watcher->deaths.size());
    EXPECT_EQ("dying", watcher->deaths[0].first);
    delete watcher;
}

TEST_F(ViewableTest, AttachableObjectsNewChildViewsAndTheDataCheck) {
    auto* root = new ProbeView(nullptr, "root");
    new ProbeView(root, "a");
    new ProbeView(root, "b");
    VarDescription link;
    ASSERT_TRUE(VarDescription::Parse("ProbeView.200", link));
    std::vector<Viewable*> offered;
    EXPECT_EQ(2, root->GetAttachableObjects(link, offered));
    Viewable* made = AttachNewViewObject(root, "ProbeView.200", "c");
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(root, made->GetParent());
    EXPECT_EQ("c", made->GetName());
    EXPECT_EQ(nullptr, AttachNewViewObject(root, "Temperature.1", "d")) << "not a link to a view type";
    EXPECT_TRUE(root->CheckData());
    const auto attached = Session::Instance().Entries(SessionEvent::Attached);
    ASSERT_EQ(2u, attached.size());
    EXPECT_EQ(1, attached[0].answer);
    EXPECT_EQ(0, attached[1].answer);
    delete root;
}

TEST_F(ViewableTest, ParentDeletesItsChildrenAndSelfDeletionInAHookIsSafe) {
    auto* root = new ProbeView(nullptr, "root");
    auto* a = new ProbeView(root, "a");
    new ProbeView(a, "a1");
    EXPECT_EQ(a, root->FindChild(ProbeView::TypeName, "a"));
    EXPECT_EQ(1, SendViewableMessage(a, "SelfDelete"));
    EXPECT_EQ(0, root->GetNumberOfChildren());
    auto* b = new ProbeView(root, "b");
    const auto life = b->LifeToken();
    EXPECT_EQ(1, SendViewableMessage(b, "DeleteView"));
    EXPECT_TRUE(life.expired());
    new ProbeView(root, "c");
    delete root;  // c goes with it (ASan checks)
}

TEST_F(ViewableTest, BaseAnswersAndTheJournalRecordWhatTheUserSaw) {
    // On the heap, as every view is: the probe can delete itself.
    auto owner = std::make_unique<ProbeView>(nullptr, "v");
    ProbeView& view = *owner;
    const VarDescription var(1, 200);
    EXPECT_EQ(-32767.0, view.Value(var));
    EXPECT_EQ("", view.TextValue(var));
    EXPECT_EQ(0, view.Specify(var, 3.0));
    ModifyState state = ModifiableState;
    int detail = 0;
    view.VariableStatus(var, state, detail);
    EXPECT_EQ(ReadOnlyState, state);
    EXPECT_EQ(1, view.Message("CloseView"));
    EXPECT_EQ(1, view.Message("View"));
    EXPECT_EQ(0, view.Message("NoSuchWord now"));
    Session::Instance().ScriptResponse(0);
    EXPECT_EQ(0, Viewable::ResponseMsg("DeleteDesignQuestion", 2));
    EXPECT_EQ(1, Viewable::ResponseMsg("DeleteDesignQuestion", 2));
    SignalBusy(true);
    SignalBusy(true);
    Viewable::UserStatusReport("Working", 2);
    SignalBusy(false);
    SignalBusy(false);
    SignalBusy(false);
    Viewable::ErrorMsg("SameStreamErrorMsg", "H1");
    const std::vector<Text> expected = {
        "Unhandled v|Specify Temperature.200|0|0",
        "FormClosed v||0|0",
        "View v|probe|6|0",
        "Unhandled v|Message NoSuchWord now|0|0",
        "Response DeleteDesignQuestion|DeleteDesignQuestion|2|0",
        "Response DeleteDesignQuestion|DeleteDesignQuestion|2|1",
        "Busy ||1|0",
        "Busy ||2|0",
        "Status |Working|2|0",
        "Busy ||1|0",
        "Busy ||0|0",
        "Busy ||0|0",
        "Error SameStreamErrorMsg|A stream of that name already exists in the scenario. H1|0|0",
    };
    EXPECT_EQ(expected, Session::Instance().Lines());
}

TEST_F(ViewableTest, ScriptedFilePickersAndPreferences) {
    FNPromptStruct prompt{"OpenCapitalCostTitle", "HCC", {{"CapitalCostFiles", "*.hcc"}, {"AllFiles", "*"}}, 5};
    FileName name = "unchanged";
    EXPECT_FALSE(FilePicker::ChooseFileName(prompt, name));
    EXPECT_EQ("unchanged", name);
    Session::Instance().ScriptFileName("/tmp/a.hcc");
    EXPECT_TRUE(FilePicker::ChooseFileName(prompt, name));
    EXPECT_EQ("/tmp/a.hcc", name);
    double v = 0.0;
    EXPECT_FALSE(GetConfigData("AdvanceStreamLinkPreference", v));
    SetConfigData("AdvanceStreamLinkPreference", 1.0);
    EXPECT_TRUE(GetConfigData("AdvanceStreamLinkPreference", v));
    EXPECT_EQ(1.0, v);
    EXPECT_EQ(7, RunTask("AutomaticDesign", [] { return 7; }));
    EXPECT_EQ(7, Session::Instance().Entries(SessionEvent::Task).at(0).answer);
}

}  // namespace
