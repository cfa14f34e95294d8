#include "views/case/ChiView.h"

#include "brasko/CaseDocument.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "lumeth/BinaryFile.h"
#include "lumeth/FormDescription.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Session.h"
#include "views/case/project/GrassRootViewers.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/plots/CpiView.h"

namespace {
const ObjectTypeInfo* findType(const char* name) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    return registry ? registry->Find(name) : nullptr;
}
bool isProjectViewerLink(const VarDescription& var) {
    const ObjectTypeInfo* t = var.IsObjectLink() ? findType(var.ObjectType().c_str()) : nullptr;
    return t && t->IsA(HIDesignViewerProject::TypeName) && var.Number() == 200;
}
bool isSelectionLink(const VarDescription& var, bool either) {
    const ObjectTypeInfo* t = var.IsObjectLink() ? findType(var.ObjectType().c_str()) : nullptr;
    return t && t->IsA("ViewableObject") && !t->IsA(HIDesignViewerProject::TypeName) &&
           (var.Number() == 299 || (either && var.Number() == 1000));
}
// The two words a grass-root case view answers itself, alike for a case and a total site:
// "Convert" asks the owner to turn the case into a project study, "OpenCornerPage" opens the
// corner page. -1 for any other word.
int grassRootWord(Viewable& view, const Text& word) {
    if (word == "Convert") {
        MessageInfo convert;
        convert.code = 13;
        convert.sender = &view;
        convert.value = 2;
        if (Viewable* owner = view.OwnerViewable()) owner->GenMessage(convert);
        return 0;
    }
    if (word == "OpenCornerPage") return view.View("TopLeftView"), 1;
    return -1;
}
}  // namespace

Viewable* CreateViewerOfType(const Text& name, Viewable* parent, const ObjectTypeInfo* type) {
    if (!type) return nullptr;
    static const char* const kMade[] = {"HIDesignObject", "HIDesignViewerGrassRootProjectObject",
                                        "HIDesignViewerGrassRootTotalSiteObject",
                                        "HIDesignViewerGrassRootScenarioObject", "HIDesignViewerGrassRootDesignObject"};
    for (const char* made : kMade)
        if (type->GetName() == made) {
            Viewable* view = type->CreateInstance(parent, name);
            if (view) view->SetName(name);
            return view;
        }
    return nullptr;
}

const ObjectTypeInfo* HIDesignViewerGrassRootScenario::GetObjectType(const ObjectTypeInfo*) const {
    const ObjectTypeInfo* type = findType("HIDesignViewerGrassRootDesignObject");
    return type && type->HasFactory() ? type : HIDesignViewerScenario::GetObjectType();
}

ChiView::ChiView(Viewable* parent, const Text& name, const ObjectTypeInfo* type) : LurmetView(parent, type) {
    SetName(name);
}

ChiView::~ChiView() {
    if (selected) selected->RemoveDeathPostee(this);
    selected = nullptr;
    HIDesignViewerProject* viewer = projectViewer;
    projectViewer = nullptr;
    delete viewer;
}

const ObjectTypeInfo* ChiView::GetObjectType(const ObjectTypeInfo*) const {
    return findType(HIDesignViewerProject::TypeName);
}
const ObjectTypeInfo* ChiGrassRootView::GetObjectType(const ObjectTypeInfo* asked) const {
    // Asked for its own kind (or nothing): the grass-root project viewer; for the plain case
    // view's kind: the plain project viewer; anything else: a plain view.
    if (!asked || asked == GetViewType()) return findType(HIDesignViewerGrassRootProject::TypeName);
    if (asked->GetName() == ChiView::TypeName) return findType(HIDesignViewerProject::TypeName);
    return findType("ViewableObject");
}
int ChiView::AddProject(const Text& name) {
    Viewable* made = CreateViewerOfType(name, this, GetObjectType());
    if (!made || !made->IsA(HIDesignViewerProject::TypeName)) {
        delete made;
        return 0;
    }
    projectViewer = static_cast<HIDesignViewerProject*>(made);
    projectViewer->SetExtractedData(extractedData);
    IEngineeringManager* manager = CaseEngineeringManager2(projectViewer);
    ILurmetBaseObject* object = manager ? manager->CreateObject(IHeatIntegrationProject::ObjectType, name) : nullptr;
    void* project = nullptr;
    if (!object || !object->QueryInterface(IHeatIntegrationProject::ObjectType, &project) || !project) {
        if (object) manager->ReleaseObject(object);
        delete projectViewer;
        projectViewer = nullptr;
        ChangeSelectedObject(nullptr);
        return 0;
    }
    projectViewer->SetEngineeringProject(static_cast<IHeatIntegrationProject*>(project), 0);
    // The manager keeps the project alive as long as the case is open; the views follow it by its
    // death notice like every other engine object, so the reference the manager handed out here
    // goes back at once (kept, it would keep the project and its scenarios alive past the case).
    manager->ReleaseObject(object);
    Session::Instance().Record(SessionEvent::ViewOpened, GetName(), "DefaultView");
    ChangeSelectedObject(projectViewer);
    return 1;
}

bool ChiView::RenameProject(const Text& name) {
    if (projectViewer) projectViewer->RenameProject(name);
    return true;
}

void ChiView::ChangeSelectedObject(Viewable* view) {
    if (selected) selected->RemoveDeathPostee(this);
    selected = view;
    if (!view) return;
    view->AddDeathPostee(this);
    if (view->IsA(HIDesignViewerProject::TypeName)) {
        static_cast<HIDesignViewerProject*>(view)->SetSelectedObject(view);
    } else if (view->IsA(HIDesignViewerScenario::TypeName)) {
        auto* scenario = static_cast<HIDesignViewerScenario*>(view);
        scenario->SetSelectedObject(scenario);
        if (projectViewer) projectViewer->SetSelectedObject(scenario);
    } else if (view->IsA(HIDesignViewerDesign::TypeName)) {
        Viewable* owner = view->OwnerViewable();
        if (owner && owner->IsA(HIDesignViewerScenario::TypeName))
            static_cast<HIDesignViewerScenario*>(owner)->SetSelectedObject(view);
    }
}

void ChiView::SetCPIView(CpiView* view) {
    if (!view) return;
    // The earlier case view links its project view first and its selected view second.
    const Viewable* projectView = view->LinkedView(0);
    const Viewable* chosen = view->LinkedView(1);
    pendingName = view->GetText();
    AddProject(projectView ? projectView->GetName() : Text());
    if (!chosen || !projectViewer) return;
    const auto scenarioView = [&](const Text& name) -> HIDesignViewerScenario* {
        for (HIDesignViewerScenario* v : projectViewer->GetScenarioViews())
            if (v->GetName() == name) return v;
        return nullptr;
    };
    if (chosen->IsA("DesignViewerProjectObject")) {
        ChangeSelectedObject(projectViewer);
    } else if (chosen->IsA("DesignViewerScenarioObject")) {
        if (HIDesignViewerScenario* scenario = scenarioView(chosen->GetName())) ChangeSelectedObject(scenario);
    } else if (chosen->IsA("CPIDesignViewerDesignObject")) {
        const Viewable* owner = chosen->OwnerViewable();
        HIDesignViewerScenario* scenario = owner ? scenarioView(owner->GetName()) : nullptr;
        const int match = scenario ? scenario->FindDesignMatch(chosen->GetName()) : -1;
        if (match >= 0) ChangeSelectedObject(scenario->GetDesignObjs()[match]);
        else ChangeSelectedObject(nullptr);
    }
}

void ChiView::DisconnectDeadObject(Viewable* dead) {
    if (static_cast<void*>(projectViewer) == dead) projectViewer = nullptr;
    if (dead == selected) {
        selected = nullptr;
        // The view closed was the selection: the one above it takes its place.
        if (dead->IsA(HIDesignViewerDesign::TypeName)) {
            Viewable* owner = dead->OwnerViewable();
            if (projectViewer && projectViewer->GetCurrentScenario()) ChangeSelectedObject(projectViewer->GetCurrentScenario());
            else if (owner && owner->IsA(HIDesignViewerScenario::TypeName)) ChangeSelectedObject(owner);
        } else if (dead->IsA(HIDesignViewerScenario::TypeName) && projectViewer) {
            ChangeSelectedObject(projectViewer);
        }
    }
    Viewable::DisconnectDeadObject(dead);
}

// ---- variables ----

void ChiView::DescribeForm(FormDescription& form) {
    form.Add({"Cp.440", FormHook::Value, -1, false, 0});
    form.Add({"Name.0", FormHook::Text, 0, false, 0});
    form.Add({"Notes.400", FormHook::Text, 0, true, 0});
    form.Add({"ExtraData.208", FormHook::Text, 1519, true, 0});
    form.Add({"Viewable.299", FormHook::Object, 0, true, 0});
    form.Add({"HIDesignViewerProject.200", FormHook::Object, 0, false, 1});
    for (const char* word : {"CloseThisViewIfModal", "CloseAndCancel", "RemoveFromDesignView", "CloneHI", "RenameView"})
        form.AddCommand(word);
}

double ChiView::Value(const VarDescription& var) {
    if (var.VariableIs("Cp") && var.Number() == 440) return EmptyValue;
    return Viewable::Value(var);
}

Text ChiView::TextValue(const VarDescription& var) {
    if (var.VariableIs("Name") && var.Number() == 0) return GetName();
    if (var.VariableIs("Notes") && var.Number() == 400) return projectViewer ? projectViewer->TextValue(var) : Text();
    return Viewable::TextValue(var);
}

int ChiView::SpecifyText(const VarDescription& var, const Text& text) {
    if (var.VariableIs("Notes") && var.Number() == 400) return projectViewer ? projectViewer->SpecifyText(var, text) : 0;
    if (var.Type() == 1519 && var.Number() == 208) {
        pendingName = text;
        return 1;
    }
    return Viewable::SpecifyText(var, text);
}

int ChiView::Dimensions(const VarDescription& var, DimInfo& dims) {
    if (isProjectViewerLink(var)) {
        dims.AddDim(1);
        return 1;
    }
    return Viewable::Dimensions(var, dims);
}

Viewable* ChiView::AttachedObject(const VarDescription& var) {
    Viewable* found = nullptr;
    if (isProjectViewerLink(var)) found = projectViewer;
    else if (isSelectionLink(var, true)) found = selected;
    else return Viewable::AttachedObject(var);
    if (!found) return nullptr;
    const VarDescription* next = var.GetNextLink();
    return next && next->IsObjectLink() ? found->AttachedObject(*next) : found;
}

int ChiView::AttachObject(const VarDescription& var, Viewable* object) {
    if (isSelectionLink(var, false)) {
        if (selected && object && object != selected) ChangeSelectedObject(object);
        return 1;
    }
    return Viewable::AttachObject(var, object);
}

int ChiView::GetAttachableObjects(const VarDescription& var, std::vector<Viewable*>& out) {
    if (!isSelectionLink(var, false)) return Viewable::GetAttachableObjects(var, out);
    const std::size_t before = out.size();
    if (projectViewer) {
        out.push_back(projectViewer);
        for (HIDesignViewerScenario* scenario : projectViewer->GetScenarioViews()) {
            out.push_back(scenario);
            for (HIDesignViewerDesign* design : scenario->GetDesignObjs())
                if (design) out.push_back(design);
        }
    }
    return static_cast<int>(out.size() - before);
}

Text ChiView::AttachedName(const Viewable* child) const {
    const Text escaped = child ? VarDescription::EscapeChildName(child->GetName()) : Text();
    if (child && child == projectViewer) return "HIDesignViewerProject.200.0(" + escaped + ")";
    if (child && child == selected) return "Viewable.299(" + escaped + ")";
    return Viewable::AttachedName(child);
}

int ChiView::Message(const Text& line) {
    const std::size_t space = line.find(' ');
    const Text word = Text(line.substr(0, space));
    if (word == "CloseThisViewIfModal") {
        SendViewableMessage(this, "CloseView");
        return 1;
    }
    if (word == "CloseAndCancel") {
        SendViewableMessage(this, "CloseView UniqueProcessStreamView");
        return 1;
    }
    if (word == "RemoveFromDesignView") {
        if (selected) selected->Message(line);
        return 1;
    }
    if (word == "CloneHI") {
        if (selected && selected->IsA(HIDesignViewerDesign::TypeName))
            Session::Instance().Record(SessionEvent::ViewOpened, selected->GetName(), "CloneThisDesignView");
        else if (selected && selected->IsA(HIDesignViewerScenario::TypeName) && selected->OwnerViewable())
            selected->OwnerViewable()->Message(line);
        return 0;
    }
    if (word == "RenameView" && projectViewer) {
        RenameProject(pendingName);
        pendingName.clear();
        return 0;
    }
    return Viewable::Message(line);
}

int ChiGrassRootView::Message(const Text& line) {
    const int answer = grassRootWord(*this, Text(line.substr(0, line.find(' '))));
    return answer >= 0 ? answer : ChiView::Message(line);
}

int ChiGrassRootTotalSiteView::Message(const Text& line) {
    const int answer = grassRootWord(*this, Text(line.substr(0, line.find(' '))));
    return answer >= 0 ? answer : ChiTotalSiteView::Message(line);
}

// ---- record ----

bool ChiView::StoreClassData(BinaryFile& file) {
    return StorePointer(file, projectViewer) && StorePointer(file, selected) && file.WriteCPString(pendingName);
}

bool ChiView::RecallClassData(BinaryFile& file, int) {
    CPString name;
    if (!RecallPointerX(file, recalledProject, findType(HIDesignViewerProject::TypeName)) ||
        !RecallPointerX(file, recalledSelection, findType("ViewableObject")) || !file.ReadCPString(name))
        return false;
    pendingName = name;
    return true;
}

bool ChiView::CheckRecalledPointers() {
    if (recalledProject && recalledProject->IsA(HIDesignViewerProject::TypeName))
        projectViewer = static_cast<HIDesignViewerProject*>(recalledProject);
    recalledProject = nullptr;
    if (recalledSelection) ChangeSelectedObject(recalledSelection);
    recalledSelection = nullptr;
    return true;
}
