#include "views/case/project/HIScenarioOwnerViewer.h"

#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/NewRowMarker.h"
#include "lumeth/BinaryFile.h"
#include "lumeth/Framework.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Session.h"
#include "views/EnginePointers.h"
#include "views/case/CloneHIScenarioTool.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/HIDesignViewerDesign.h"

#include <vector>

HIScenarioOwnerViewer::HIScenarioOwnerViewer(Viewable* parent, const Text& name, const ObjectTypeInfo* type)
    : Viewable(parent, type) {
    SetName(name);
}

int HIScenarioOwnerViewer::FindScenarioView(const Text& name) const {
    for (int i = 0; i < scenarioViews.Count(); ++i)
        if (scenarioViews[i]->GetName() == name) return i;
    return 0;
}

void HIScenarioOwnerViewer::addScenarioViewsOfProject() {
    IHeatIntegrationProject* project = engineProject();
    if (!project) return;
    // The names first: a viewer made for one scenario must not disturb the walk.
    std::vector<Text> names;
    for (int i = 0; i < project->GetNumberOfScenarios(); ++i) names.push_back(project->GetScenarioName(i));
    for (const Text& name : names) AddScenarioView(name);
}

HIDesignViewerScenario* HIScenarioOwnerViewer::adoptScenarioView(Viewable* made,
                                                                  bool (HIDesignViewerScenario::*setUp)()) {
    if (made && !made->IsA(HIDesignViewerScenario::TypeName)) {
        delete made;
        made = nullptr;
    }
    auto* viewer = static_cast<HIDesignViewerScenario*>(made);
    currentScenario = viewer;
    if (viewer && (viewer->*setUp)() && viewer->GetmyScenario()) {
        viewer->SetExtractedData(extractedData);
        scenarioViews.Append(viewer);
        viewer->AddDeathPostee(this);
    } else {
        delete viewer;
        currentScenario = nullptr;
    }
    return currentScenario;
}

void HIScenarioOwnerViewer::deleteScenarioViews() {
    for (HIDesignViewerScenario* viewer : scenarioViews) viewer->RemoveDeathPostee(this);
    HVector<HIDesignViewerScenario*> viewers = scenarioViews;
    scenarioViews.Clear();
    currentScenario = nullptr;
    for (HIDesignViewerScenario* viewer : viewers) delete viewer;
}

const ObjectTypeInfo* HIScenarioOwnerViewer::scenarioViewerType(const char* grassRootKind) const {
    const bool grassRoot = GetViewType() && GetViewType()->IsA(grassRootKind);
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    if (!registry) return nullptr;
    return registry->Find(grassRoot ? "HIDesignViewerGrassRootScenarioObject" : HIDesignViewerScenario::TypeName);
}

// ---- commands ----

int HIScenarioOwnerViewer::sharedWord(const Text& word) {
    IHeatIntegrationProject* project = engineProject();
    if (word == "AddNote") {
        if (project) project->AddNote();
        return 1;
    }
    if (word == "DeleteNote") {
        // The deleted note's number now names the note after it: none is chosen until the user
        // chooses one, so that typed text goes to no note it was not meant for.
        // With no note chosen nothing is deleted, and the user is told to choose one.
        if (!project) return 0;
        if (!project->DeleteNote(currentNote)) return ErrorMsg("NoNoteSelected"), 0;
        currentNote = -1;
        return 1;
    }
    if (word == "RemoveFromDesignView") return removeCurrentScenario();
    if (word == "CloneHI") return openCloneTool(0);
    if (word == "CopyHI") return openCloneTool(1);
    return -1;
}

bool HIScenarioOwnerViewer::RefuseInvalidScenarioName(const Text& name) {
    if (!name.empty() && !IsNewRowMarker(name.c_str()) && name.front() != ' ' && name.back() != ' ') return false;
    ErrorMsg("ThisScenarioNameIsInvalid", name);
    return true;
}

int HIScenarioOwnerViewer::RenameScenario(const Text& oldName, const Text& newName) {
    IHeatIntegrationProject* project = engineProject();
    if (!project) return ErrorMsg("ThisScenarioNameIsInvalid", newName), 0;
    // The scenario's own name typed again: nothing to change, and nothing clashes with it.
    IHeatIntegrationScenario* own = nullptr;
    if (newName == oldName && project->GetScenario(oldName, own) && own) return 1;
    if (RefuseInvalidScenarioName(newName)) return 0;
    if (project->RenameScenario(oldName, newName) != 1) return ErrorMsg("ThisScenarioNameAlreadyExists", newName), 0;
    return 1;
}

int HIScenarioOwnerViewer::addScenario(const Text& name) {
    IHeatIntegrationProject* project = engineProject();
    if (!project) return ErrorMsg("ThisScenarioNameIsInvalid", name), 0;
    // Nothing typed adds nothing, and says so; so do the new-row marker and blanks at the ends.
    if (RefuseInvalidScenarioName(name)) return 0;
    // A refused name answers 0, as a refused write does: nothing was added.
    if (project->AddScenario(name) != 1) return ErrorMsg("ThisScenarioNameAlreadyExists", name), 0;
    return 1;
}

int HIScenarioOwnerViewer::removeCurrentScenario() {
    IHeatIntegrationProject* project = engineProject();
    // With no scenario chosen there is nothing to delete, and nothing is asked: the user is told.
    if (!project || !currentScenario) return ErrorMsg("NoScenarioToDelete"), 0;
    const Text name = currentScenario->GetName();
    // A deletion the user declines deleted nothing, and says so. The question names the scenario.
    if (!IsAutomationStartup() && ResponseMsg("ConfirmDeleteHIScenario", 2, {name}) != 1) return 0;
    return project->DeleteScenario(name) == 1 ? 1 : 0;
}

void HIScenarioOwnerViewer::closeCloneTool() {
    CloneHIScenarioTool* tool = cloneTool;
    cloneTool = nullptr;
    if (!tool) return;
    tool->RemoveDeathPostee(this);
    delete tool;
}

int HIScenarioOwnerViewer::openCloneTool(int mode) {
    if (!currentScenario) return 0;
    closeCloneTool();
    cloneTool = CloneHIScenarioTool::Open(this, GetName(), currentScenario->GetName(), mode, engineType());
    if (cloneTool) cloneTool->AddDeathPostee(this);
    return 1;
}

// ---- children ----

Viewable* HIScenarioOwnerViewer::scenarioLink(const VarDescription& var, const ObjectTypeInfo* asked,
                                              const char* ownKind) const {
    const int i = var.Offset(0) < 0 ? 0 : var.Offset(0);
    if (asked && asked->IsA(HIDesignViewerScenario::TypeName)) {
        // A child name chooses the viewer by name.
        if (!var.HasChildName()) return i < scenarioViews.Count() ? scenarioViews[i] : nullptr;
        HIDesignViewerScenario* found = nullptr;
        for (HIDesignViewerScenario* v : scenarioViews)
            if (v->GetName() == var.ChildName()) found = v;
        return found;
    }
    if (asked && asked->IsA(ownKind) && i == 0)
        return const_cast<HIScenarioOwnerViewer*>(this);
    return nullptr;
}

Viewable* HIScenarioOwnerViewer::followLink(Viewable* found, const VarDescription& var) {
    if (!found) return nullptr;
    const VarDescription* next = var.GetNextLink();
    return next && next->IsObjectLink() ? found->AttachedObject(*next) : found;
}

bool HIScenarioOwnerViewer::attachCloneTool(const VarDescription& var, Viewable* object, int& result) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    const ObjectTypeInfo* asked = var.IsObjectLink() && registry ? registry->Find(var.ObjectType()) : nullptr;
    if (!asked || !asked->IsA(CloneHIScenarioTool::TypeName) || var.Number() != 298) return false;
    result = 0;
    if (object && !object->IsA(CloneHIScenarioTool::TypeName)) return true;
    if (cloneTool) cloneTool->RemoveDeathPostee(this);
    cloneTool = static_cast<CloneHIScenarioTool*>(object);
    if (cloneTool) cloneTool->AddDeathPostee(this);
    result = 1;
    return true;
}

void HIScenarioOwnerViewer::DisconnectDeadObject(Viewable* dead) {
    if (dead == currentScenario) currentScenario = nullptr;
    if (dead == static_cast<Viewable*>(cloneTool)) cloneTool = nullptr;
    scenarioViews.RemoveAllAt(dead);
    Viewable::DisconnectDeadObject(dead);
}

// ---- variables ----

double HIScenarioOwnerViewer::noteCount(const VarDescription&) {
    IHeatIntegrationProject* project = engineProject();
    return project ? project->GetNumberOfNotes() : 0;
}
Text HIScenarioOwnerViewer::projectText(const VarDescription& var) {
    IHeatIntegrationProject* project = engineProject();
    if (!project) return Text();
    switch (var.Offset(0)) {
        case 1: return project->GetProjectName();
        case 2: return project->GetEngineersName();
        case 4: return project->GetComments();
        case 5: return project->GetNoteTitle(currentNote);
        case 6: return project->GetNoteText(currentNote);
        case 7: return project->GetNoteDate(currentNote);
        case 8: return project->GetDate();
        default: return Text();
    }
}
int HIScenarioOwnerViewer::writeProjectText(const VarDescription& var, const Text& text) {
    IHeatIntegrationProject* project = engineProject();
    if (!project) return 0;
    switch (var.Offset(0)) {
        case 1: return renameEngineProject(text) ? 1 : 0;
        case 2: project->SetEngineersName(text); return 1;
        case 4: project->SetComments(text); return 1;
        case 5:
            if (project->SetNoteTitle(currentNote, text)) return 1;
            // A title another note has would leave one of the two beyond choosing.
            if (currentNote >= 0 && currentNote < project->GetNumberOfNotes()) ErrorMsg("NameNotUnique");
            return 0;
        case 6: return project->SetNoteText(currentNote, text) ? 1 : 0;
        default: return -1;
    }
}
Text HIScenarioOwnerViewer::noteColumn(const VarDescription& var) {
    IHeatIntegrationProject* project = engineProject();
    if (!project) return Text();
    const int i = var.Offset(0);
    return var.Number() == 211 ? project->GetNoteTitle(i) : var.Number() == 213 ? project->GetNoteText(i) : project->GetNoteDate(i);
}
Text HIScenarioOwnerViewer::currentNoteTitle(const VarDescription&) {
    IHeatIntegrationProject* project = engineProject();
    return project ? project->GetNoteTitle(currentNote) : Text();
}
int HIScenarioOwnerViewer::chooseNote(const VarDescription&, const Text& title) {
    IHeatIntegrationProject* project = engineProject();
    int selected = currentNote;
    if (!project || !project->SetNoteCount(title, selected)) return 0;
    currentNote = selected;
    return 1;
}
Text HIScenarioOwnerViewer::comments(const VarDescription&) {
    IHeatIntegrationProject* project = engineProject();
    return project ? project->GetComments() : Text();
}
int HIScenarioOwnerViewer::setComments(const VarDescription&, const Text& t) {
    IHeatIntegrationProject* project = engineProject();
    if (!project) return 0;
    project->SetComments(t);
    return 1;
}

// ---- record ----

bool HIScenarioOwnerViewer::StoreClassData(BinaryFile& file) {
    if (!StoreProjectPointer(file, engineProject()) || !StorePointer(file, currentScenario) ||
        !file.WriteInt(scenarioViews.Count()))
        return false;
    for (HIDesignViewerScenario* viewer : scenarioViews)
        if (!StorePointer(file, viewer)) return false;
    return file.WriteInt(currentNote) && file.WriteCPString(newScenarioName);
}

bool HIScenarioOwnerViewer::recallScenarioLinks(BinaryFile& file, int version) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    const ObjectTypeInfo* type = registry ? registry->Find(HIDesignViewerScenario::TypeName) : nullptr;
    if (!RecallPointerX(file, recalledCurrent, type)) return false;
    std::int32_t n = 0;
    if (!file.ReadItemCount(n)) return false;
    for (std::int32_t i = 0; i < n; ++i) {
        recalledViews.push_back(nullptr);
        if (!RecallPointerX(file, recalledViews.back(), type)) return false;
    }
    if (version >= 2) {
        CPString name;
        if (!file.ReadInt(currentNote) || !file.ReadCPString(name)) return false;
        newScenarioName = name;
    }
    return true;
}

bool HIScenarioOwnerViewer::CheckRecalledPointers() {
    for (Viewable* view : recalledViews) {
        if (!view || !view->IsA(HIDesignViewerScenario::TypeName)) continue;
        auto* viewer = static_cast<HIDesignViewerScenario*>(view);
        scenarioViews.Append(viewer);
        viewer->AddDeathPostee(this);
    }
    recalledViews.clear();
    if (recalledCurrent && scenarioViews.Find(static_cast<HIDesignViewerScenario*>(recalledCurrent)) >= 0)
        currentScenario = static_cast<HIDesignViewerScenario*>(recalledCurrent);
    recalledCurrent = nullptr;
    return true;
}

IHeatIntegrationScenario* HIScenarioOwnerViewer::retrofitSource(const Text& designName) {
    IHeatIntegrationProject* project = engineProject();
    IHeatIntegrationScenario* scenario = nullptr;
    if (!project || !currentScenario || !project->GetScenario(currentScenario->GetName(), scenario) || !scenario)
        return ErrorMsg("RetNoDes", Text("no scenario is chosen to copy")), nullptr;
    const Text scenarioName = scenario->GetName();
    if (designName.empty())
        return ErrorMsg("RetNoDes", FormattedText("no design of the scenario %s is named", scenarioName.c_str())), nullptr;
    IHENDesign* design = nullptr;
    if (!scenario->GetDesign(CPString(designName), design) || !design)
        return ErrorMsg("RetNoDes", FormattedText("the scenario %s has no design %s", scenarioName.c_str(), designName.c_str())),
               nullptr;
    return HIDesignViewerDesign::RefuseUncalculatedBase(design, *this) ? nullptr : scenario;
}
