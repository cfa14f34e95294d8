// What the case view of a project and that of a total site share (ChiCaseView in ChiView.h).
#include "brasko/CaseDocument.h"
#include "lumeth/BinaryFile.h"
#include "lumeth/FormDescription.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Session.h"
#include "views/case/ChiView.h"
#include "views/case/project/GrassRootViewers.h"

namespace {
const ObjectTypeInfo* findType(const char* name) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    return registry ? registry->Find(name) : nullptr;
}
}  // namespace

template <class Viewer>
ChiCaseView<Viewer>::~ChiCaseView() {
    if (selected) selected->RemoveDeathPostee(this);
    selected = nullptr;
    Viewer* owned = viewer;
    viewer = nullptr;
    delete owned;
}

template <class Viewer>
bool ChiCaseView<Viewer>::isViewerLink(const VarDescription& var) const {
    const ObjectTypeInfo* t = var.IsObjectLink() ? findType(var.ObjectType().c_str()) : nullptr;
    return t && t->IsA(Viewer::TypeName) && var.Number() == 200;
}

template <class Viewer>
bool ChiCaseView<Viewer>::isSelectionLink(const VarDescription& var, bool either) const {
    const ObjectTypeInfo* t = var.IsObjectLink() ? findType(var.ObjectType().c_str()) : nullptr;
    return t && t->IsA("ViewableObject") && !t->IsA(Viewer::TypeName) &&
           (var.Number() == 299 || (either && var.Number() == 1000));
}

template <class Viewer>
int ChiCaseView<Viewer>::addViewer(const Text& name) {
    Viewable* made = CreateViewerOfType(name, this, GetObjectType());
    if (!made || !made->IsA(Viewer::TypeName)) {
        delete made;
        return 0;
    }
    viewer = static_cast<Viewer*>(made);
    const int engineType = ChiCaseViewer<Viewer>::EngineType;
    IEngineeringManager* manager = CaseEngineeringManager2(viewer);
    ILurmetBaseObject* object = manager ? manager->CreateObject(engineType, name) : nullptr;
    void* engineObject = nullptr;
    if (!object || !object->QueryInterface(engineType, &engineObject) || !engineObject) {
        if (object) manager->ReleaseObject(object);
        delete viewer;
        viewer = nullptr;
        ChangeSelectedObject(nullptr);
        return 0;
    }
    ChiCaseViewer<Viewer>::Bind(*viewer, engineObject, extractedData);
    // The manager keeps the engine object alive as long as the case is open; the views follow it
    // by its death notice like every other engine object, so the reference the manager handed
    // out here goes back at once (kept, it would keep the object and its scenarios alive past
    // the case).
    manager->ReleaseObject(object);
    Session::Instance().Record(SessionEvent::ViewOpened, GetName(), "DefaultView");
    ChangeSelectedObject(viewer);
    return 1;
}

template <class Viewer>
bool ChiCaseView<Viewer>::renameViewer(const Text& name) {
    return viewer && ChiCaseViewer<Viewer>::Rename(*viewer, name);
}

template <class Viewer>
void ChiCaseView<Viewer>::ChangeSelectedObject(Viewable* view) {
    if (selected) selected->RemoveDeathPostee(this);
    selected = view;
    if (!view) return;
    view->AddDeathPostee(this);
    if (view->IsA(Viewer::TypeName)) {
        static_cast<Viewer*>(view)->SetSelectedObject(view);
    } else if (view->IsA(HIDesignViewerScenario::TypeName)) {
        auto* scenario = static_cast<HIDesignViewerScenario*>(view);
        scenario->SetSelectedObject(scenario);
        if (viewer) viewer->SetSelectedObject(scenario);
    } else if (view->IsA(HIDesignViewerDesign::TypeName)) {
        Viewable* owner = view->OwnerViewable();
        if (owner && owner->IsA(HIDesignViewerScenario::TypeName))
            static_cast<HIDesignViewerScenario*>(owner)->SetSelectedObject(view);
    }
}

template <class Viewer>
void ChiCaseView<Viewer>::DisconnectDeadObject(Viewable* dead) {
    if (static_cast<void*>(viewer) == dead) viewer = nullptr;
    if (dead == selected) {
        selected = nullptr;
        // The view closed was the selection: the one above it takes its place.
        if (dead->IsA(HIDesignViewerDesign::TypeName)) {
            Viewable* owner = dead->OwnerViewable();
            if (viewer && viewer->GetCurrentScenario()) ChangeSelectedObject(viewer->GetCurrentScenario());
            else if (owner && owner->IsA(HIDesignViewerScenario::TypeName)) ChangeSelectedObject(owner);
        } else if (dead->IsA(HIDesignViewerScenario::TypeName) && viewer) {
            ChangeSelectedObject(viewer);
        }
    }
    Viewable::DisconnectDeadObject(dead);
}

// ---- variables ----

template <class Viewer>
void ChiCaseView<Viewer>::DescribeForm(FormDescription& form) {
    form.Add({"Cp.440", FormHook::Value, -1, false, 0});
    form.Add({"Name.0", FormHook::Text, 0, false, 0});
    form.Add({"Notes.400", FormHook::Text, 0, true, 0});
    form.Add({"ExtraData.208", FormHook::Text, 1519, true, 0});
    form.Add({"Viewable.299", FormHook::Object, 0, true, 0});
    form.Add({Text(ChiCaseViewer<Viewer>::Link) + ".200", FormHook::Object, 0, false, 1});
    for (const char* word : {"CloseThisViewIfModal", "CloseAndCancel", "RemoveFromDesignView", "CloneHI", "RenameView"})
        form.AddCommand(word);
}

template <class Viewer>
double ChiCaseView<Viewer>::Value(const VarDescription& var) {
    if (var.VariableIs("Cp") && var.Number() == 440) return EmptyValue;
    return Viewable::Value(var);
}

template <class Viewer>
Text ChiCaseView<Viewer>::TextValue(const VarDescription& var) {
    if (var.VariableIs("Name") && var.Number() == 0) return GetName();
    if (var.VariableIs("Notes") && var.Number() == 400) return viewer ? viewer->TextValue(var) : Text();
    return Viewable::TextValue(var);
}

template <class Viewer>
int ChiCaseView<Viewer>::SpecifyText(const VarDescription& var, const Text& text) {
    if (var.VariableIs("Notes") && var.Number() == 400) return viewer ? viewer->SpecifyText(var, text) : 0;
    if (var.Type() == 1519 && var.Number() == 208) {
        pendingName = text;
        return 1;
    }
    return Viewable::SpecifyText(var, text);
}

template <class Viewer>
int ChiCaseView<Viewer>::Dimensions(const VarDescription& var, DimInfo& dims) {
    if (isViewerLink(var)) {
        dims.AddDim(1);
        return 1;
    }
    return Viewable::Dimensions(var, dims);
}

template <class Viewer>
Viewable* ChiCaseView<Viewer>::AttachedObject(const VarDescription& var) {
    Viewable* found = nullptr;
    if (isViewerLink(var)) found = viewer;
    else if (isSelectionLink(var, true)) found = selected;
    else return Viewable::AttachedObject(var);
    if (!found) return nullptr;
    const VarDescription* next = var.GetNextLink();
    return next && next->IsObjectLink() ? found->AttachedObject(*next) : found;
}

template <class Viewer>
int ChiCaseView<Viewer>::AttachObject(const VarDescription& var, Viewable* object) {
    if (isSelectionLink(var, false)) {
        // Chosen again, the selection is told again to the viewers below it: a scenario viewer
        // may have made another design its own current one since (a clone it made).
        if (object) ChangeSelectedObject(object);
        return 1;
    }
    return Viewable::AttachObject(var, object);
}

template <class Viewer>
int ChiCaseView<Viewer>::GetAttachableObjects(const VarDescription& var, std::vector<Viewable*>& out) {
    if (!isSelectionLink(var, false)) return Viewable::GetAttachableObjects(var, out);
    const std::size_t before = out.size();
    if (viewer) {
        out.push_back(viewer);
        for (HIDesignViewerScenario* scenario : viewer->GetScenarioViews()) {
            out.push_back(scenario);
            for (HIDesignViewerDesign* design : scenario->GetDesignObjs())
                if (design) out.push_back(design);
        }
    }
    return static_cast<int>(out.size() - before);
}

template <class Viewer>
Text ChiCaseView<Viewer>::AttachedName(const Viewable* child) const {
    const Text escaped = child ? VarDescription::EscapeChildName(child->GetName()) : Text();
    if (child && child == viewer) return Text(ChiCaseViewer<Viewer>::Link) + ".200.0(" + escaped + ")";
    if (child && child == selected) return "Viewable.299(" + escaped + ")";
    return Viewable::AttachedName(child);
}

template <class Viewer>
int ChiCaseView<Viewer>::Message(const Text& line) {
    const Text word = Text(line.substr(0, line.find(' ')));
    if (word == "CloseThisViewIfModal") return SendViewableMessage(this, "CloseView"), 1;
    if (word == "CloseAndCancel") return SendViewableMessage(this, "CloseView UniqueProcessStreamView"), 1;
    if (word == "RemoveFromDesignView") {
        // The deletion goes to the viewer that owns the selected object, with that object made
        // its current one first: a design to its scenario viewer, a scenario to the project's
        // viewer. Sent to the selection itself, a scenario viewer would delete its own current
        // design (the last one it cloned, say) instead.
        if (!selected) return 1;
        Viewable* owner = selected->OwnerViewable();
        if (selected->IsA(HIDesignViewerDesign::TypeName) && owner && owner->IsA(HIDesignViewerScenario::TypeName)) {
            static_cast<HIDesignViewerScenario*>(owner)->SetSelectedObject(selected);
            return owner->Message(line);
        }
        if (selected->IsA(HIDesignViewerScenario::TypeName) && viewer) {
            viewer->SetSelectedObject(selected);
            return static_cast<Viewable*>(viewer)->Message(line);
        }
        return selected->Message(line);
    }
    if (word == "CloneHI") {
        if (selected && selected->IsA(HIDesignViewerDesign::TypeName))
            Session::Instance().Record(SessionEvent::ViewOpened, selected->GetName(), "CloneThisDesignView");
        else if (selected && selected->IsA(HIDesignViewerScenario::TypeName) && selected->OwnerViewable())
            selected->OwnerViewable()->Message(line);
        return 0;
    }
    if (word == "RenameView" && viewer) {
        // The answer is the rename's: 1 when the project bears the name typed.
        const bool renamed = renameViewer(pendingName);
        pendingName.clear();
        return renamed ? 1 : 0;
    }
    return Viewable::Message(line);
}

// ---- record ----

template <class Viewer>
bool ChiCaseView<Viewer>::StoreClassData(BinaryFile& file) {
    return StorePointer(file, viewer) && StorePointer(file, selected) && file.WriteCPString(pendingName);
}

template <class Viewer>
bool ChiCaseView<Viewer>::RecallClassData(BinaryFile& file, int) {
    CPString name;
    if (!RecallPointerX(file, recalledViewer, findType(Viewer::TypeName)) ||
        !RecallPointerX(file, recalledSelection, findType("ViewableObject")) || !file.ReadCPString(name))
        return false;
    pendingName = name;
    return true;
}

template <class Viewer>
bool ChiCaseView<Viewer>::CheckRecalledPointers() {
    if (recalledViewer && recalledViewer->IsA(Viewer::TypeName)) viewer = static_cast<Viewer*>(recalledViewer);
    recalledViewer = nullptr;
    if (recalledSelection) ChangeSelectedObject(recalledSelection);
    recalledSelection = nullptr;
    return true;
}

template class ChiCaseView<HIDesignViewerProject>;
template class ChiCaseView<HIDesignViewerTotalSite>;
