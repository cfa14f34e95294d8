// The scenario clone tool over the engine's clone tool: the tree of a scenario with two process
// streams, one utility and three designs, what each toggle hands the engine, the states the
// tree shows, the clone names it refuses and the clone itself.
#include "brasko/CaseDocument.h"
#include "eng/model/CloneEngine.h"
#include "eng/model/IHeatIntegrationTotalSite.h"
#include "lumeth/Session.h"
#include "lumeth/VarEnumInfo.h"
#include "tests/support/FourStreamProject.h"
#include "views/case/ChiView.h"
#include "views/case/CloneHIScenarioTool.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class ViewCloneTool : public ::testing::Test {
protected:
    ViewCloneTool() {
        Session::Instance().Reset();
        owner = new ChiGrassRootView(nullptr, "Plant", ObjectTypeRegistry::Current()->Find(ChiGrassRootView::TypeName));
        owner->SetDocument(&document);
        p.AddProcess("H1", 150.0, 60.0, 2.0);
        p.AddProcess("C1", 20.0, 125.0, 2.5);
        p.AddUtility("Cooling Water");
        for (const char* d : {"D1", "D2", "D3"}) p.scenario->AddDesign(d);
    }
    ~ViewCloneTool() override {
        delete owner;
        Session::Instance().Reset();
    }
    CloneHIScenarioTool* open(int mode = 0) { return CloneHIScenarioTool::Open(owner, "Plant", "Base", mode); }
    static VarEnumInfo* tree(CloneHIScenarioTool* tool) {
        return tool->GetEnumInfo(VariableNameInfo(VarDescription(105, 200), Text()));
    }
    static std::vector<int> ids(VarEnumInfo* list) {
        std::vector<int> out;
        for (int i = 0; i < list->NumberOfEntries(); ++i) out.push_back(static_cast<int>(list->GetEntry(i)->value));
        return out;
    }
    static int state(CloneHIScenarioTool* tool, int id) {
        VarEnumInfo* list = tree(tool);
        const int at = list->FindEntry(static_cast<double>(id));
        return at < 0 ? -1 : list->GetEntry(at)->state;
    }
    // Every flag of entries 1 to 6 the engine holds for this source.
    static std::vector<int> flags(ICloneEngine* engine) {
        std::vector<int> out;
        for (int kind = 1; kind <= 6; ++kind)
            for (int i = 0; i <= 4; ++i) out.push_back(engine->GetCloneSelections(kind, i));
        return out;
    }
    int keyCount(const char* key) {
        int n = 0;
        for (const SessionEntry& e : Session::Instance().Journal()) n += e.key == key;
        return n;
    }

    FourStreamProject p{false};
    CaseDocument document{"case", &p.manager};
    ChiGrassRootView* owner = nullptr;
};

TEST_F(ViewCloneTool, TheTreeListsGroupsAndMembersInOrderAllTicked) {
    CloneHIScenarioTool* tool = open();
    ASSERT_NE(nullptr, tool);
    VarEnumInfo* list = tree(tool);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ((std::vector<int>{0, 1000, 1001, 1, 2000, 2, 3, 4, 5, 6000, 6001, 6002}), ids(list));
    EXPECT_EQ("C1", list->GetEntry(2)->text);
    EXPECT_EQ("Cooling Water", list->GetEntry(4)->text);
    EXPECT_EQ("D3", list->GetEntry(11)->text);
    // Every stream is selected at first; designs go only into a new scenario, so they are not
    // available until a new name is given.
    for (int id : {0, 1000, 1001, 1, 2000}) EXPECT_EQ(1, state(tool, id)) << id;
    for (int id : {5, 6000, 6001, 6002}) EXPECT_EQ(2, state(tool, id)) << id;
    ASSERT_EQ(1, SpecifyValueText(tool, "ExtraData.100", "Copy"));
    for (int id : {5, 6000, 6001, 6002}) EXPECT_EQ(1, state(tool, id)) << id;
}

struct Toggle {
    int id;
    int kind;
    int index;
};
void PrintTo(const Toggle& c, std::ostream* os) {
    *os << "variable " << c.id << ", kind " << c.kind << ", index " << c.index;
}
class ViewCloneToolToggle : public ViewCloneTool, public ::testing::WithParamInterface<Toggle> {};

TEST_P(ViewCloneToolToggle, ATogglePassesItsEntryToTheEngine) {
    CloneHIScenarioTool* tool = open();
    ASSERT_NE(nullptr, tool);
    // A new scenario's name first: designs go only into a new scenario.
    ASSERT_EQ(1, SpecifyValueText(tool, "ExtraData.100", "Copy"));
    const Toggle t = GetParam();
    const int before = tool->GetEngine()->GetCloneSelections(t.kind, t.index);
    EXPECT_EQ(1, SendViewableMessage(tool, FormattedText("ObjectSelectionToggledOnDataEnum %d", t.id)));
    EXPECT_NE(before, tool->GetEngine()->GetCloneSelections(t.kind, t.index));
}
INSTANTIATE_TEST_SUITE_P(Entries, ViewCloneToolToggle,
                         ::testing::Values(Toggle{1001, 1, 2}, Toggle{2000, 2, 1}, Toggle{6002, 6, 3}, Toggle{0, 1, 0},
                                           Toggle{1, 2, 0}, Toggle{2, 3, 0}));

TEST_F(ViewCloneTool, IdentifiersBetweenTheGroupsAndTheMembersToggleNothing) {
    CloneHIScenarioTool* tool = open();
    ASSERT_NE(nullptr, tool);
    const std::vector<int> before = flags(tool->GetEngine());
    for (int id : {6, 500, 999, 1002, 2001})
        EXPECT_EQ(0, SendViewableMessage(tool, FormattedText("ObjectSelectionToggledOnDataEnum %d", id))) << id;
    EXPECT_EQ(0, SendViewableMessage(tool, "ObjectSelectionToggledOnDataEnum 1000x"));
    EXPECT_EQ(before, flags(tool->GetEngine()));
    EXPECT_EQ(6, keyCount("ValidOptionError"));
}

TEST_F(ViewCloneTool, GroupStatesFollowTheEngineFlags) {
    EXPECT_EQ(0, CloneHIScenarioTool::GroupState(0));
    for (int raw : {1, 2, 254}) EXPECT_EQ(1, CloneHIScenarioTool::GroupState(raw)) << raw;
    EXPECT_EQ(2, CloneHIScenarioTool::GroupState(255));

    CloneHIScenarioTool* tool = open();
    ASSERT_NE(nullptr, tool);
    ASSERT_EQ(1, SpecifyValueText(tool, "ExtraData.100", "Copy"));
    // One process stream left out: the group is no longer whole, and designs (which go only
    // with every stream) are not available.
    SendViewableMessage(tool, "ObjectSelectionToggledOnDataEnum 1001");
    EXPECT_EQ(0, state(tool, 0));
    EXPECT_EQ(1, state(tool, 1000));
    EXPECT_EQ(0, state(tool, 1001));
    EXPECT_EQ(2, state(tool, 5));
    // The whole group toggled: every member follows.
    SendViewableMessage(tool, "ObjectSelectionToggledOnDataEnum 0");
    EXPECT_EQ(1, state(tool, 0));
    EXPECT_EQ(1, state(tool, 1001));
}

TEST_F(ViewCloneTool, CloneNamesAreCheckedAndTheClonedScenarioIsNoTarget) {
    ASSERT_EQ(1, p.project->AddScenario("Winter"));
    CloneHIScenarioTool* tool = open();
    ASSERT_NE(nullptr, tool);
    EXPECT_EQ(0.0, tool->Value(VarDescription(104, 200)));
    // "clone" without a name is refused, says why and keeps the tool open.
    const auto life = tool->LifeToken();
    EXPECT_EQ(0, SendViewableMessage(tool, "clone"));
    EXPECT_EQ(1, keyCount("CloneNameMissing"));
    ASSERT_FALSE(life.expired());

    for (const char* blank : {" Copy", "Copy "}) EXPECT_EQ(0, SpecifyValueText(tool, "ExtraData.100", blank));
    EXPECT_EQ(2, keyCount("ThisScenarioNameIsInvalid"));
    EXPECT_EQ(0, SpecifyValueText(tool, "ExtraData.100", "Winter"));
    EXPECT_EQ(1, keyCount("ThisScenarioNameAlreadyExists"));
    EXPECT_EQ(0.0, tool->Value(VarDescription(104, 200)));

    // The scenarios to append to never hold the one being cloned; choosing one names it.
    VarEnumInfo* existing = tool->GetEnumInfo(VariableNameInfo(VarDescription(105, 202), Text()));
    ASSERT_EQ(1, existing->NumberOfEntries());
    EXPECT_EQ("Winter", existing->GetEntry(0)->text);
    EXPECT_EQ(1, SpecifyValue(tool, "Enum.202", existing->GetEntry(0)->value));
    EXPECT_EQ("Winter", tool->TextValue(VarDescription(1519, 100)));
    EXPECT_EQ(1.0, tool->Value(VarDescription(104, 200)));
}

TEST_F(ViewCloneTool, CloneCopiesTheSelectedStreamsAndClosesTheTool) {
    CloneHIScenarioTool* tool = open();
    ASSERT_NE(nullptr, tool);
    ASSERT_EQ(1, SpecifyValueText(tool, "ExtraData.100", "Copy"));
    SendViewableMessage(tool, "ObjectSelectionToggledOnDataEnum 1001");
    const auto life = tool->LifeToken();
    EXPECT_EQ(1, SendViewableMessage(tool, "clone"));
    EXPECT_TRUE(life.expired());
    IHeatIntegrationScenario* copy = nullptr;
    ASSERT_TRUE(p.project->GetScenario("Copy", copy));
    ASSERT_EQ(1, copy->GetNumberOfProcessStreams());
    IHeatIntegrationStream* h1 = nullptr;
    EXPECT_TRUE(copy->GetStream("H1", h1));
    IHeatIntegrationStream* c1 = nullptr;
    EXPECT_FALSE(copy->GetStream("C1", c1));
}

TEST_F(ViewCloneTool, ASiteScenarioKeepsItsUtilityStreams) {
    ILurmetBaseObject* object = p.manager.CreateObject(IHeatIntegrationTotalSite::TotalSiteType, "Works");
    void* out = nullptr;
    ASSERT_TRUE(object && object->QueryInterface(IHeatIntegrationTotalSite::TotalSiteType, &out) == 1);
    auto* site = static_cast<IHeatIntegrationTotalSite*>(out);
    ASSERT_EQ(1, site->AddStream("Cooling Water"));
    ASSERT_EQ(1, site->AddScenario("Unit A"));
    CloneHIScenarioTool* tool =
        CloneHIScenarioTool::Open(owner, "Works", "Unit A", 0, IHeatIntegrationTotalSite::TotalSiteType);
    ASSERT_NE(nullptr, tool);
    EXPECT_EQ(2, state(tool, 1));
    EXPECT_EQ(2, state(tool, 2000));
    const std::vector<int> before = flags(tool->GetEngine());
    EXPECT_EQ(0, SendViewableMessage(tool, "ObjectSelectionToggledOnDataEnum 1"));
    EXPECT_EQ(before, flags(tool->GetEngine()));
    EXPECT_EQ(2, state(tool, 1));
    // A member shown not available does not toggle either.
    EXPECT_EQ(0, SendViewableMessage(tool, "ObjectSelectionToggledOnDataEnum 2000"));
    EXPECT_EQ(before, flags(tool->GetEngine()));
    EXPECT_EQ(2, keyCount("CloneEntryNotAvailable"));
    EXPECT_EQ(1, tool->GetEngine()->GetCloneSelections(2, 1));
    EXPECT_EQ(2, state(tool, 2000));
    delete tool;
    // A project of that name is no site: no tool.
    EXPECT_EQ(nullptr, CloneHIScenarioTool::Open(owner, "Plant", "Base", 0, IHeatIntegrationTotalSite::TotalSiteType));
    p.manager.ReleaseObject(object);
}

}  // namespace
