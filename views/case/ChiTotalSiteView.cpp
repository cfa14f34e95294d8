// The case view of a total site: the twin of ChiView holding a total-site viewer.
#include "brasko/CaseDocument.h"
#include "eng/model/IHeatIntegrationTotalSite.h"
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
bool isSiteViewerLink(const VarDescription& var) {
    const ObjectTypeInfo* t = var.IsObjectLink() ? findType(var.ObjectType().c_str()) : nullptr;
    return t && t->IsA(HIDesignViewerTotalSite::TypeName) && var.Number() == 200;
}
bool isSelectionLink(const VarDescription& var, bool either) {
    const ObjectTypeInfo* t = var.IsObjectLink() ? findType(var.ObjectType().c_str()) : nullptr;
    return t && t->IsA("ViewableObject") && !t->IsA(HIDesignViewerTotalSite::TypeName) &&
           (var.Number() == 299 || (either && var.Number() == 1000));
}
}  // namespace

ChiTotalSiteView::~ChiTotalSiteView() {
    if (selected) selected->RemoveDeathPostee(this);
    selected = nullptr;
    HIDesignViewerTotalSite* viewer = siteViewer;
    siteViewer = nullptr;
    delete viewer;
}

const ObjectTypeInfo* ChiTotalSiteView::GetObjectType(const ObjectTypeInfo*) const {
    return findType(HIDesignViewerTotalSite::TypeName);
}

const ObjectTypeInfo* ChiGrassRootTotalSiteView::GetObjectType(const ObjectTypeInfo* asked) const {
    if (!asked || asked == GetViewType()) return findType(HIDesignViewerGrassRootTotalSite::TypeName);
    if (asked->GetName() == ChiTotalSiteView::TypeName) return findType(HIDesignViewerTotalSite::TypeName);
    return findType("ViewableObject");
}

int ChiTotalSiteView::AddTotalSite(const Text& name) {
    Viewable* made = CreateViewerOfType(name, this, GetObjectType());
    if (!made || !made->IsA(HIDesignViewerTotalSite::TypeName)) {
        delete made;
        return 0;
    }
    siteViewer = static_cast<HIDesignViewerTotalSite*>(made);
    IEngineeringManager* manager = CaseEngineeringManager2(siteViewer);
    ILurmetBaseObject* object = manager ? manager->CreateObject(IHeatIntegrationTotalSite::TotalSiteType, name) : nullptr;
    void* site = nullptr;
    if (!object || !object->QueryInterface(IHeatIntegrationTotalSite::TotalSiteType, &site) || !site) {
        if (object) manager->ReleaseObject(object);
        delete siteViewer;
        siteViewer = nullptr;
        ChangeSelectedObject(nullptr);
        return 0;
    }
    siteViewer->SetEngineeringTotalSite(static_cast<IHeatIntegrationTotalSite*>(site), false);
    // The manager keeps the site while the case is open; the views do not hold a reference.
    manager->ReleaseObject(object);
    Session::Instance().Record(SessionEvent::ViewOpened, GetName(), "DefaultView");
    ChangeSelectedObject(siteViewer);
    return 1;
}

Viewable* ChiGrassRootTotalSiteView::BuildChiGrassRootTotalSiteView(Viewable* parent, const Text& name) {
    auto* caseView = new ChiGrassRootTotalSiteView(parent, findType(TypeName));
    caseView->SetName(name);
    // The builder deletes nothing: on a failed step it hands back the case view as far as it
    // was built.
    if (!caseView->AddTotalSite(name) || !caseView->GetSelObj()) return caseView;
    SendViewableMessage(caseView->GetSelObj(), "AddDefaultScenario");
    Viewable* scenario = caseView->GetSelObj();
    if (!scenario || scenario == caseView->GetTotalSiteViewer()) return caseView;
    SendViewableMessage(scenario, "AddDefaultDesign");
    caseView->ChangeSelectedObject(scenario);
    return caseView;
}

bool ChiTotalSiteView::RenameTotalSite(const Text& name) {
    if (siteViewer) siteViewer->RenameTotalSite(name);
    return true;
}

void ChiTotalSiteView::ChangeSelectedObject(Viewable* view) {
    if (selected) selected->RemoveDeathPostee(this);
    selected = view;
    if (!view) return;
    view->AddDeathPostee(this);
    if (view->IsA(HIDesignViewerTotalSite::TypeName)) {
        static_cast<HIDesignViewerTotalSite*>(view)->SetSelectedObject(view);
    } else if (view->IsA(HIDesignViewerScenario::TypeName)) {
        auto* scenario = static_cast<HIDesignViewerScenario*>(view);
        scenario->SetSelectedObject(scenario);
        if (siteViewer) siteViewer->SetSelectedObject(scenario);
    } else if (view->IsA(HIDesignViewerDesign::TypeName)) {
        Viewable* owner = view->OwnerViewable();
        if (owner && owner->IsA(HIDesignViewerScenario::TypeName))
            static_cast<HIDesignViewerScenario*>(owner)->SetSelectedObject(view);
    }
}

void ChiTotalSiteView::DisconnectDeadObject(Viewable* dead) {
    if (static_cast<void*>(siteViewer) == dead) siteViewer = nullptr;
    if (dead == selected) {
        selected = nullptr;
        if (dead->IsA(HIDesignViewerDesign::TypeName)) {
            Viewable* owner = dead->OwnerViewable();
            if (siteViewer && siteViewer->GetCurrentScenario()) ChangeSelectedObject(siteViewer->GetCurrentScenario());
            else if (owner && owner->IsA(HIDesignViewerScenario::TypeName)) ChangeSelectedObject(owner);
        } else if (dead->IsA(HIDesignViewerScenario::TypeName) && siteViewer) {
            ChangeSelectedObject(siteViewer);
        }
    }
    Viewable::DisconnectDeadObject(dead);
}

// ---- variables ----

void ChiTotalSiteView::DescribeForm(FormDescription& form) {
    form.Add({"Cp.440", FormHook::Value, -1, false, 0});
    form.Add({"Name.0", FormHook::Text, 0, false, 0});
    form.Add({"Notes.400", FormHook::Text, 0, true, 0});
    form.Add({"ExtraData.208", FormHook::Text, 1519, true, 0});
    form.Add({"Viewable.299", FormHook::Object, 0, true, 0});
    form.Add({"HIDesignViewerTotalSite.200", FormHook::Object, 0, false, 1});
    for (const char* word : {"CloseThisViewIfModal", "CloseAndCancel", "RemoveFromDesignView", "CloneHI", "RenameView"})
        form.AddCommand(word);
}

double ChiTotalSiteView::Value(const VarDescription& var) {
    if (var.VariableIs("Cp") && var.Number() == 440) return EmptyValue;
    return Viewable::Value(var);
}

Text ChiTotalSiteView::TextValue(const VarDescription& var) {
    if (var.VariableIs("Name") && var.Number() == 0) return GetName();
    if (var.VariableIs("Notes") && var.Number() == 400) return siteViewer ? siteViewer->TextValue(var) : Text();
    return Viewable::TextValue(var);
}

int ChiTotalSiteView::SpecifyText(const VarDescription& var, const Text& text) {
    if (var.VariableIs("Notes") && var.Number() == 400) return siteViewer ? siteViewer->SpecifyText(var, text) : 0;
    if (var.Type() == 1519 && var.Number() == 208) {
        pendingName = text;
        return 1;
    }
    return Viewable::SpecifyText(var, text);
}

int ChiTotalSiteView::Dimensions(const VarDescription& var, DimInfo& dims) {
    if (isSiteViewerLink(var)) {
        dims.AddDim(1);
        return 1;
    }
    return Viewable::Dimensions(var, dims);
}

Viewable* ChiTotalSiteView::AttachedObject(const VarDescription& var) {
    Viewable* found = nullptr;
    if (isSiteViewerLink(var)) found = siteViewer;
    else if (isSelectionLink(var, true)) found = selected;
    else return Viewable::AttachedObject(var);
    if (!found) return nullptr;
    const VarDescription* next = var.GetNextLink();
    return next && next->IsObjectLink() ? found->AttachedObject(*next) : found;
}

int ChiTotalSiteView::AttachObject(const VarDescription& var, Viewable* object) {
    if (isSelectionLink(var, false)) {
        if (selected && object && object != selected) ChangeSelectedObject(object);
        return 1;
    }
    return Viewable::AttachObject(var, object);
}

int ChiTotalSiteView::GetAttachableObjects(const VarDescription& var, std::vector<Viewable*>& out) {
    if (!isSelectionLink(var, false)) return Viewable::GetAttachableObjects(var, out);
    const std::size_t before = out.size();
    if (siteViewer) {
        out.push_back(siteViewer);
        for (HIDesignViewerScenario* scenario : siteViewer->GetScenarioViews()) {
            out.push_back(scenario);
            for (HIDesignViewerDesign* design : scenario->GetDesignObjs())
                if (design) out.push_back(design);
        }
    }
    return static_cast<int>(out.size() - before);
}

Text ChiTotalSiteView::AttachedName(const Viewable* child) const {
    const Text escaped = child ? VarDescription::EscapeChildName(child->GetName()) : Text();
    if (child && child == siteViewer) return "HIDesignViewerTotalSite.200.0(" + escaped + ")";
    if (child && child == selected) return "Viewable.299(" + escaped + ")";
    return Viewable::AttachedName(child);
}

int ChiTotalSiteView::Message(const Text& line) {
    const Text word = Text(line.substr(0, line.find(' ')));
    if (word == "CloseThisViewIfModal") return SendViewableMessage(this, "CloseView"), 1;
    if (word == "CloseAndCancel") return SendViewableMessage(this, "CloseView UniqueProcessStreamView"), 1;
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
    if (word == "RenameView" && siteViewer) {
        RenameTotalSite(pendingName);
        pendingName.clear();
        return 0;
    }
    return Viewable::Message(line);
}

// ---- record ----

bool ChiTotalSiteView::StoreClassData(BinaryFile& file) {
    return StorePointer(file, siteViewer) && StorePointer(file, selected) && file.WriteCPString(pendingName);
}

bool ChiTotalSiteView::RecallClassData(BinaryFile& file, int) {
    CPString name;
    if (!RecallPointerX(file, recalledViewer, findType(HIDesignViewerTotalSite::TypeName)) ||
        !RecallPointerX(file, recalledSelection, findType("ViewableObject")) || !file.ReadCPString(name))
        return false;
    pendingName = name;
    return true;
}

bool ChiTotalSiteView::CheckRecalledPointers() {
    if (recalledViewer && recalledViewer->IsA(HIDesignViewerTotalSite::TypeName))
        siteViewer = static_cast<HIDesignViewerTotalSite*>(recalledViewer);
    recalledViewer = nullptr;
    if (recalledSelection) ChangeSelectedObject(recalledSelection);
    recalledSelection = nullptr;
    return true;
}
