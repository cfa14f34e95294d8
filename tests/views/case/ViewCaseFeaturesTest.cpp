// The features of a case: "HI Project" and "HI Case" built from nothing under the feature
// manager, a case renamed and turned into a project, and the manager's unique names.
#include "brasko/CaseDocument.h"
#include "brasko/FeatureManager.h"
#include "brasko/FeatureRegistry.h"
#include "brasko/LurmetBinaryFile.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/ScenarioServices.h"
#include "lumeth/Session.h"
#include "lumeth/VarEnumInfo.h"
#include "lumeth/ViewRecords.h"
#include "tests/eng/model/ScenarioTestDoubles.h"
#include "tests/support/FourStreamProject.h"
#include "views/case/ChiView.h"
#include "views/case/HIDesign.h"
#include "views/case/HITargeting.h"
#include "views/case/project/HIDesignViewerProject.h"

#include "tests/views/case/CaseViewTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A view that records what is asked of it through GenMessage.
class OwnerProbe : public Viewable {
public:
    OwnerProbe() : Viewable(nullptr, "ViewableObject") {}
    bool GenMessage(MessageInfo& info) override {
        asked.push_back(info);
        return true;
    }
    std::vector<MessageInfo> asked;
};

class ViewCaseFeatures : public ::testing::Test {
protected:
    ViewCaseFeatures() { Session::Instance().Reset(); }
    ~ViewCaseFeatures() override {
        delete features;
        Session::Instance().Reset();
    }
    IHeatIntegrationProject* project(const char* name) {
        ILurmetBaseObject* object = nullptr;
        void* out = nullptr;
        if (!manager.FindObject(name, IHeatIntegrationProject::ObjectType, &object) || !object ||
            !object->QueryInterface(IHeatIntegrationProject::ObjectType, &out))
            return nullptr;
        return static_cast<IHeatIntegrationProject*>(out);
    }

    EngineeringManager manager;
    CaseDocument document{"case", &manager};
    ExpMgrView* features = new ExpMgrView(&document);
};

TEST_F(ViewCaseFeatures, TheFeaturesCarryTheirBuilders) {
    const FeatureRegistry* registry = FeatureRegistry::Current();
    ASSERT_NE(nullptr, registry);
    EXPECT_EQ(&HITargeting::BuildHITargeting, registry->Find("HI Case")->builder);
    EXPECT_EQ(&BuildChiGrassRootView, registry->Find("HI Project")->builder);
}

TEST_F(ViewCaseFeatures, ANewProjectHoldsScenarioOneWithItsFirstDesignSelected) {
    Viewable* made = BuildChiGrassRootView(features, "P");
    ASSERT_NE(nullptr, made);
    auto* caseView = static_cast<ChiView*>(made);
    HIDesignViewerProject* viewer = caseView->GetProjectViewer();
    ASSERT_NE(nullptr, viewer);
    EXPECT_EQ("P", viewer->GetName());
    ASSERT_EQ(1, viewer->GetScenarioViews().Count());
    HIDesignViewerScenario* scenario = viewer->GetScenarioViews()[0];
    EXPECT_EQ("Scenario 1", scenario->GetName());
    EXPECT_EQ(scenario, caseView->GetSelObj());
    ASSERT_EQ(1, scenario->GetDesignObjs().Count());
    EXPECT_EQ("Design 1", scenario->GetDesignObjs()[0]->GetName());
    EXPECT_TRUE(scenario->GetDesignObjs()[0]->IsA("HIDesignViewerGrassRootDesignObject"));

    // The viewer kind below a grass-root case view depends on the kind asked about.
    const ObjectTypeRegistry* types = ObjectTypeRegistry::Current();
    EXPECT_EQ(types->Find("HIDesignViewerGrassRootProjectObject"), caseView->GetObjectType(caseView->GetViewType()));
    EXPECT_EQ(types->Find("HIDesignViewerProjectObject"), caseView->GetObjectType(types->Find(ChiView::TypeName)));
    EXPECT_EQ(types->Find("ViewableObject"), caseView->GetObjectType(types->Find("HITargetingObject")));

    // "Convert" of a project study asks its owner (code 13, value 2).
    OwnerProbe owner;
    ChiGrassRootView child(&owner, "Q", ObjectTypeRegistry::Current()->Find(ChiGrassRootView::TypeName));
    EXPECT_EQ(0, child.Message("Convert"));
    ASSERT_EQ(1u, owner.asked.size());
    EXPECT_EQ(13, owner.asked[0].code);
    EXPECT_EQ(2, owner.asked[0].value);
    EXPECT_EQ(&child, owner.asked[0].sender);
}

TEST_F(ViewCaseFeatures, ANewCaseNamesItsProjectScenarioAndFirstDesignAfterItself) {
    Viewable* made = HITargeting::BuildHITargeting(features, "C");
    ASSERT_NE(nullptr, made);
    auto* single = static_cast<HITargeting*>(made);
    IHeatIntegrationProject* bound = project("C");
    ASSERT_NE(nullptr, bound);
    EXPECT_EQ(bound, single->GetProject());
    ASSERT_NE(nullptr, single->GetmyScenario());
    EXPECT_EQ("C", Text(single->GetmyScenario()->GetName()));
    ASSERT_EQ(1, single->GetDesignObjs().Count());
    EXPECT_EQ("Design1", single->GetDesignObjs()[0]->GetName());
    ASSERT_TRUE(single->GetDesignObjs()[0]->IsA(HIDesign::TypeName));
    EXPECT_EQ("C HEN", single->GetDesignObjs()[0]->TextValue(VarDescription(1519, 250)));
    EXPECT_EQ(1.0, single->Value(VarDescription(104, 501)));

    // A rename to another project's name, or to nothing, changes nothing; another name renames
    // the project and the scenario.
    ILurmetBaseObject* taken = manager.CreateObject(IHeatIntegrationProject::ObjectType, "Taken");
    ASSERT_NE(nullptr, taken);
    manager.ReleaseObject(taken);
    // The refused name is a write not taken: it answers 0, with the reason.
    EXPECT_EQ(0, SpecifyValueText(single, "ExtraData.201", "Taken"));
    EXPECT_EQ(1, JournalKeyCount("ThisProjectNameAlreadyExists"));
    SpecifyValueText(single, "ExtraData.201", "");
    EXPECT_EQ("C", single->TextValue(VarDescription(1519, 201)));
    SpecifyValueText(single, "ExtraData.201", "D");
    EXPECT_EQ("D", single->TextValue(VarDescription(1519, 201)));
    EXPECT_EQ("D", Text(bound->GetProjectName()));
}

TEST_F(ViewCaseFeatures, ACaseBecomesAProjectUnderTheManagersUniqueName) {
    ASSERT_NE(nullptr, new Viewable(features, "ViewableObject"));
    features->GetChild(0)->SetName("HI Project 1");
    EXPECT_EQ("HI Project 2", features->CreateUniqueName("HI Project"));
    delete features->GetChild(0);
    EXPECT_EQ("HI Project 1", features->CreateUniqueName("HI Project"));

    Viewable* made = HITargeting::BuildHITargeting(features, "C");
    ASSERT_NE(nullptr, made);
    features->AddExperiment(made, "HI Case");
    const auto life = made->LifeToken();
    SendViewableMessage(made, "Convert");
    EXPECT_TRUE(life.expired()) << "the case view is gone";
    ASSERT_EQ(1, features->NumberOfExperiments());
    Viewable* converted = features->Experiment(0);
    EXPECT_EQ("HI Project", features->FeatureOf(converted));
    ASSERT_TRUE(converted->IsA(ChiGrassRootView::TypeName));
    auto* caseView = static_cast<ChiView*>(converted);
    EXPECT_EQ("HI Project 1", caseView->GetName());
    ASSERT_NE(nullptr, caseView->GetProjectViewer());
    EXPECT_EQ("HI Project 1", caseView->GetProjectViewer()->GetName());
    EXPECT_EQ("HI Project 1", Text(caseView->GetProjectViewer()->GetProject()->GetProjectName()));
    ASSERT_EQ(1, caseView->GetProjectViewer()->GetScenarioViews().Count());
    EXPECT_EQ("C", caseView->GetProjectViewer()->GetScenarioViews()[0]->GetName());

    // The project study stores and reads back under its new name.
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(ViewRecords::Store(out, {caseView}));
}

TEST_F(ViewCaseFeatures, TheTotalSiteBuilderHandsBackWhatItBuilt) {
    Viewable* made = ChiGrassRootTotalSiteView::BuildChiGrassRootTotalSiteView(features, "Site");
    ASSERT_NE(nullptr, made);
    EXPECT_EQ("Site", made->GetName());
    auto* caseView = static_cast<ChiTotalSiteView*>(made);
    ASSERT_NE(nullptr, caseView->GetTotalSiteViewer());
    EXPECT_EQ("Process 1", caseView->GetSelObj()->GetName());
    EXPECT_EQ(1, made->Message("OpenCornerPage"));
    // A manager that cannot make a site: the case view as far as it was built, without a viewer.
    EngineObjectRegistry none;
    EngineeringManager empty(none);
    CaseDocument bare{"bare", &empty};
    ExpMgrView* bareFeatures = new ExpMgrView(&bare);
    Viewable* alone = ChiGrassRootTotalSiteView::BuildChiGrassRootTotalSiteView(bareFeatures, "Site");
    ASSERT_NE(nullptr, alone);
    EXPECT_EQ(nullptr, static_cast<ChiTotalSiteView*>(alone)->GetTotalSiteViewer());
    EXPECT_EQ(0, alone->GetNumberOfChildren());
    delete bareFeatures;
}

TEST_F(ViewCaseFeatures, AManagerThatCannotMakeAProjectGivesNoView) {
    EngineObjectRegistry none;
    EngineeringManager empty(none);
    CaseDocument bare{"bare", &empty};
    ExpMgrView top(&bare);
    EXPECT_EQ(nullptr, HITargeting::BuildHITargeting(&top, "C"));
    EXPECT_EQ(nullptr, BuildChiGrassRootView(&top, "P"));
    EXPECT_EQ(0, top.GetNumberOfChildren());
}

TEST_F(ViewCaseFeatures, ASingleCaseGoesThroughItsRecordAndBack) {
    auto* single = static_cast<HITargeting*>(HITargeting::BuildHITargeting(features, "C"));
    ASSERT_NE(nullptr, single);
    single->Specify(VarDescription(109, 201), 4.0);
    std::vector<std::uint8_t> stored;
    Viewable* root = RecallStoredRoot(single, document, stored);
    ASSERT_NE(nullptr, root);
    ASSERT_TRUE(root->IsA(HITargeting::TypeName));
    auto* back = static_cast<HITargeting*>(root);
    EXPECT_EQ(4, back->GetPageNumber());
    EXPECT_EQ(single->GetProject(), back->GetProject());
    EXPECT_EQ(single->GetmyScenario(), back->GetmyScenario());
    ASSERT_EQ(1, back->GetDesignObjs().Count()) << "design viewers are rebuilt";
    EXPECT_TRUE(back->GetDesignObjs()[0]->IsA(HIDesign::TypeName));
    delete back;
}

// A design whose operation a test locks and unlocks.
class LockableDesign : public scenario_test::FakeDesign {
public:
    using FakeDesign::FakeDesign;
    bool GetOperationLocked() const override { return locked; }
    bool locked = false;
};

// A scenario whose first design (in name order) is the one a test hands it.
class FirstDesignScenario : public CPIScenario {
public:
    explicit FirstDesignScenario(IHeatIntegrationProject* project) : CPIScenario(project, DefaultScenarioServices()) {}
    using CPIScenario::GetDesign;
    bool GetDesign(int index, IHENDesign*& out, int kind) const override {
        if (first && index == 0 && kind == 0) return out = first, true;
        return CPIScenario::GetDesign(index, out, kind);
    }
    IHENDesign* first = nullptr;
};

bool choiceShown(const VarEnumInfo* list, double value) {
    const int at = list ? list->FindEntry(value) : -1;
    return at >= 0 && !list->GetEntry(at)->hidden;
}

// bound: a scenario is bound; design: it has a first design; locked: that design's operation is.
struct PageChoiceCase {
    bool bound, design, locked, operationShown;
};
void PrintTo(const PageChoiceCase& c, std::ostream* os) {
    *os << (c.bound ? "bound" : "unbound") << (c.design ? ", design" : ", no design")
        << (c.locked ? ", locked" : "") << (c.operationShown ? ", operation shown" : "");
}
class ViewCasePageChoices : public ::testing::TestWithParam<PageChoiceCase> {};

TEST_P(ViewCasePageChoices, TheOperationChoiceFollowsTheFirstDesignsLock) {
    const PageChoiceCase& c = GetParam();
    FourStreamProject p{false};
    FirstDesignScenario scenario(p.project);
    LockableDesign design("Design1");
    design.locked = c.locked;
    if (c.design) scenario.first = &design;
    Viewable owner(nullptr, "ViewableObject");
    auto* single = new HITargeting(&owner, "C", ObjectTypeRegistry::Current()->Find(HITargeting::TypeName));
    if (c.bound) single->SetEngineeringScenario(&scenario, 0);

    // The form numbers its choices from 0 unless it gives the value: choice 4 is the fifth text.
    const VariableNameInfo form(VarDescription(105, 401), "Flows;Curves;Grid;Costs;Operation;Report");
    const VarEnumInfo* list = single->GetEnumInfo(form);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(6, list->NumberOfEntries());
    EXPECT_EQ(c.operationShown, choiceShown(list, 4.0));
    EXPECT_EQ(c.operationShown ? 6 : 5, list->NumberOfVisibleEntries());
    EXPECT_TRUE(choiceShown(list, 3.0) && choiceShown(list, 5.0)) << "only choice 4 depends on the lock";
    // The main-plot list is the scenario viewer's copy of the form's choices.
    const VarEnumInfo* plots = single->GetEnumInfo(VariableNameInfo(VarDescription(105, 402), "A;B"));
    ASSERT_NE(nullptr, plots);
    EXPECT_EQ(2, plots->NumberOfEntries());
    // Any other list of the form is the framework's.
    EXPECT_EQ(nullptr, single->GetEnumInfo(VariableNameInfo(VarDescription(105, 403), "A;B")));
    delete single;
}
INSTANTIATE_TEST_SUITE_P(ViewCases, ViewCasePageChoices,
                         ::testing::Values(PageChoiceCase{false, false, false, true},
                                           PageChoiceCase{true, false, false, true},
                                           PageChoiceCase{true, true, false, true},
                                           PageChoiceCase{true, true, true, false}));

TEST(ViewCasePageChoiceList, IsCopiedOnceAndFollowsTheLockBothWays) {
    FourStreamProject p{false};
    FirstDesignScenario scenario(p.project);
    LockableDesign design("Design1");
    scenario.first = &design;
    Viewable owner(nullptr, "ViewableObject");
    auto* single = new HITargeting(&owner, "C", ObjectTypeRegistry::Current()->Find(HITargeting::TypeName));
    single->SetEngineeringScenario(&scenario, 0);

    // Choice 4 is found by its value, wherever the form places it.
    const VariableNameInfo form(VarDescription(105, 401), "1=Flows;4=Operation;7=Report");
    VarEnumInfo* list = single->GetEnumInfo(form);
    ASSERT_NE(nullptr, list);
    EXPECT_TRUE(choiceShown(list, 4.0));
    design.locked = true;
    EXPECT_EQ(list, single->GetEnumInfo(form));
    EXPECT_FALSE(choiceShown(list, 4.0));
    EXPECT_TRUE(choiceShown(list, 1.0) && choiceShown(list, 7.0));
    design.locked = false;
    EXPECT_TRUE(choiceShown(single->GetEnumInfo(form), 4.0)) << "unlocking offers the choice again";

    // The copy is kept: a later form text does not replace it.
    const VarEnumInfo* again = single->GetEnumInfo(VariableNameInfo(VarDescription(105, 401), "X;Y"));
    EXPECT_EQ(list, again);
    EXPECT_EQ(3, again->NumberOfEntries());
    delete single;
}

}  // namespace
