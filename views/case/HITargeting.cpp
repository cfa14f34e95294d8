#include "views/case/HITargeting.h"

#include "brasko/CaseDocument.h"
#include "brasko/FeatureManager.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/BinaryFile.h"
#include "lumeth/FormDescription.h"
#include "lumeth/Session.h"
#include "views/EnginePointers.h"
#include "views/case/ChiView.h"
#include "views/case/project/HIDesignViewerProject.h"
#include "views/design/HIDesignViewerDesign.h"

#include <cmath>

namespace {
constexpr int kScenarioAdded = 24;

const ObjectTypeInfo* findType(const char* name) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    return registry ? registry->Find(name) : nullptr;
}

bool isPage(const VarDescription& var) { return var.Type() == 109 && var.Number() == 201; }
bool isCaseName(const VarDescription& var) { return var.Type() == 1519 && var.Number() == 201; }
bool isPageChoices(const VarDescription& var) { return var.Type() == 105 && var.Number() == 401; }
constexpr double kOperationChoice = 4.0;

const char* const kCommands[] = {"OpenTargetingView", "Convert", "OpenScenarioPage", "OpenTargetsPage",
                                 "ImportVelmorScenario"};
}  // namespace

void HITargeting::DescribeForm(FormDescription& form) {
    form.Add({"OptionArray.201", FormHook::Value, 109, true, 0});
    form.Add({"Switch.301", FormHook::Value, 104, false, 0});
    form.Add({"Switch.501", FormHook::Value, 104, false, 0});
    form.Add({"ExtraData.201", FormHook::Text, 1519, true, 0});
    form.SetRefusals("ExtraData.201", "ThisProjectNameAlreadyExists ThisScenarioNameIsInvalid");
    for (const char* word : kCommands) form.AddCommand(word);
}

Viewable* HITargeting::BuildHITargeting(Viewable* parent, const Text& name) {
    auto* view = new HITargeting(parent, name, findType(TypeName));
    IEngineeringManager* manager = CaseEngineeringManager(view->OwnerDocument());
    if (!manager) manager = CaseEngineeringManager2(parent);
    ILurmetBaseObject* object = manager ? manager->CreateObject(IHeatIntegrationProject::ObjectType, name) : nullptr;
    if (!object) {
        delete view;
        return nullptr;
    }
    void* found = nullptr;
    if (!object->QueryInterface(IHeatIntegrationProject::ObjectType, &found) || !found) {
        // A project that is no heat-integration project: the view stays unbound.
        manager->ReleaseObject(object);
        return view;
    }
    view->bindProject(manager, object, static_cast<IHeatIntegrationProject*>(found));
    IHeatIntegrationScenario* scenario = nullptr;
    view->project->AddScenario(name);
    view->project->GetScenario(name, scenario);
    if (scenario) {
        view->SetEngineeringScenario(scenario, 0);
        SendViewableMessage(view, "AddDefaultDesign Design1");
    }
    return view;
}

void HITargeting::bindProject(IEngineeringManager* m, ILurmetBaseObject* object, IHeatIntegrationProject* bound) {
    manager = m;
    projectObject = object;
    project = bound;
    project->AddNotificationReceiver(this);
    project->AddValidMessage(this, kScenarioAdded);
}

HITargeting::~HITargeting() {
    if (project) project->RemoveNotificationReceiver(this);
    project = nullptr;
    if (manager && projectObject) manager->ReleaseObject(projectObject);
    projectObject = nullptr;
}

const ObjectTypeInfo* HITargeting::GetObjectType(const ObjectTypeInfo*) const { return findType("HIDesignObject"); }

double HITargeting::Value(const VarDescription& var) {
    if (isPage(var)) return pageNumber;
    if (var.Type() == 104 && (var.Number() == 301 || var.Number() == 501)) return 1.0;
    return HIDesignViewerScenario::Value(var);
}

int HITargeting::Specify(const VarDescription& var, double value) {
    if (isPage(var)) {
        if (!std::isfinite(value) || value == EmptyValue || std::fabs(value) > 2.0e9) return 0;
        pageNumber = static_cast<std::int32_t>(value);
        return 1;
    }
    return HIDesignViewerScenario::Specify(var, value);
}

Text HITargeting::TextValue(const VarDescription& var) {
    if (!GetmyScenario()) return Text();
    if (isCaseName(var)) return GetmyScenario()->GetName();
    return HIDesignViewerScenario::TextValue(var);
}

int HITargeting::SpecifyText(const VarDescription& var, const Text& text) {
    if (!isCaseName(var)) return HIDesignViewerScenario::SpecifyText(var, text);
    return renameCase(text) ? 1 : 0;
}

bool HITargeting::renameCase(const Text& name) {
    IEngineeringManager* m = CaseEngineeringManager2(this);
    ILurmetBaseObject* other = nullptr;
    if (!project || !GetmyScenario()) return false;
    const Text old = GetmyScenario()->GetName();
    // The case's own name typed again is no other case's.
    if (name == old && name == project->GetProjectName()) return true;
    if (m && m->FindObject(name, IHeatIntegrationProject::ObjectType, &other) && other && other != projectObject) {
        ErrorMsg("ThisProjectNameAlreadyExists", name);
        return false;
    }
    // The case's scenario bears the name too: a name no scenario may bear is refused, and the
    // case keeps its name.
    if (HIScenarioOwnerViewer::RefuseInvalidScenarioName(name)) return false;
    project->SetProjectName(name);
    project->RenameScenario(old, name);
    return true;
}

void HITargeting::ConvertToProject() {
    ExpMgrView* features = CaseFeatureManager(OwnerDocument());
    if (!features) return;
    const Text unique = features->CreateUniqueName("HI Project");
    auto* caseView = new ChiGrassRootView(features, GetName(), findType(ChiGrassRootView::TypeName));
    caseView->SetIsExtractedData(GetExtractedData() != 0);
    // The manager gives back the project of this case: the new project viewer shows its scenario.
    if (!caseView->AddProject(GetName())) {
        delete caseView;
        return;
    }
    caseView->GetProjectViewer()->RenameProject(unique);
    features->AddExperiment(caseView, "HI Project");
    delete this;
}

int HITargeting::Message(const Text& line) {
    const std::size_t space = line.find(' ');
    const Text word = Text(line.substr(0, space));
    if (word == "OpenTargetingView") return View("Targeting"), 1;
    if (word == "Convert") {
        ConvertToProject();
        return 1;
    }
    if (word == "OpenScenarioPage") {
        // The framework keeps no page of its own for a headless view: the first page.
        SendViewableMessage(this, "ViewCompact DefaultView 1");
        return 1;
    }
    if (word == "OpenTargetsPage") {
        SendViewableMessage(this, FormattedText("ViewCompact Targeting %d", pageNumber));
        return 1;
    }
    if (word == "ImportVelmorScenario") {
        const Text first = GetDesignObjs().IsEmpty() ? Text() : GetDesignObjs()[0]->GetName();
        const auto life = LifeToken();
        // "[number] [path]": the case of the path given, else the case the extraction holds
        // under the name it gives an import of this kind.
        Text number, path, rest = space == Text::npos ? Text() : Text(line.substr(space + 1));
        rest.TrimEndsOfWhitespace();
        const std::size_t gap = rest.find(' ');
        number = Text(rest.substr(0, gap));
        if (number.IsNumber()) path = gap == Text::npos ? Text() : Text(rest.substr(gap + 1));
        else path = rest;
        path.TrimEndsOfWhitespace();
        const int result = GetmyScenario() ? ImportVelmorScenario(path.empty() ? Text("XYZ") : path, false) : 0;
        // An import that brought designs replaces the default first design.
        if (!life.expired() && result && GetmyScenario() && GetmyScenario()->GetNumberOfDesigns() > 1 && !first.empty())
            GetmyScenario()->DeleteDesign(first);
        return result;
    }
    return HIDesignViewerScenario::Message(line);
}

VarEnumInfo* HITargeting::GetEnumInfo(const VariableNameInfo& info) {
    VarEnumInfo* choices = HIDesignViewerScenario::GetEnumInfo(info);
    if (!isPageChoices(info.Var()) || !choices) return choices;
    // A locked operation fixes the network as it runs: the choice that would change it is withheld.
    IHENDesign* first = nullptr;
    const bool locked = GetmyScenario() && GetmyScenario()->GetDesign(0, first, 0) && first && first->GetOperationLocked();
    if (locked) choices->FindAndHideEntry(kOperationChoice);
    else choices->FindAndShowEntry(kOperationChoice);
    return choices;
}

bool HITargeting::StoreClassData(BinaryFile& file) {
    return HIDesignViewerScenario::StoreClassData(file) && file.WriteInt(pageNumber) && StoreProjectPointer(file, project);
}

bool HITargeting::RecallClassData(BinaryFile& file, int) {
    // The scenario viewer's part is its current layout; the registered version counts this class.
    if (!HIDesignViewerScenario::RecallClassData(file, HIDesignViewerScenario::ClassVersion)) return false;
    IHeatIntegrationProject* recalled = nullptr;
    if (!file.ReadInt(pageNumber) || !RecallProjectPointer(file, CaseEngineeringManager2(this), recalled)) return false;
    if (recalled) {
        project = recalled;
        project->AddNotificationReceiver(this);
        project->AddValidMessage(this, kScenarioAdded);
    }
    return true;
}

// ---- the project study ----

Viewable* BuildChiGrassRootView(Viewable* parent, const Text& name) {
    auto* caseView = new ChiGrassRootView(parent, name, findType(ChiGrassRootView::TypeName));
    if (!caseView->AddProject(name) || !caseView->GetSelObj()) {
        delete caseView;
        return nullptr;
    }
    SendViewableMessage(caseView->GetSelObj(), "AddDefaultScenario");
    Viewable* scenarioViewer = caseView->GetSelObj();
    if (!scenarioViewer || !scenarioViewer->IsA(HIDesignViewerScenario::TypeName)) {
        delete caseView;
        return nullptr;
    }
    // The scenario viewer is selected before its first design is added, so that the new design
    // is the one its commands act on.
    caseView->ChangeSelectedObject(scenarioViewer);
    SendViewableMessage(scenarioViewer, "AddDefaultDesign");
    if (!caseView->GetSelObj()) {
        delete caseView;
        return nullptr;
    }
    return caseView;
}
