#include "views/case/project/HIDesignViewerTotalSite.h"

#include "brasko/CaseDocument.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/IHeatIntegrationTotalSite.h"
#include "eng/targeting/ITotalSiteUtilityManager.h"
#include "lumeth/BinaryFile.h"
#include "lumeth/Framework.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Session.h"
#include "views/EngineNotices.h"
#include "views/EnginePointers.h"
#include "views/case/ChiView.h"
#include "views/case/CloneHIScenarioTool.h"
#include "views/case/project/TotalSiteUtilManagerView.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/case/scenario/UtilityNameView.h"

#include <cstring>
#include <vector>

namespace {
// Codes from the site.
constexpr int kScenarioAdded = 24;
constexpr int kStreamAdded = 30;
constexpr int kStreamDeleted = 31;
constexpr int kStreamRenamed = 32;
constexpr int kDefaultsReplaced = 96;
// Codes from the site manager.
constexpr int kUtilityAdded = 55;
constexpr int kUtilityRenamed = 56;
constexpr int kUtilityRemoved = 57;
constexpr int kUtilitiesChanged = 97;
constexpr int kManagerGone = 91;

const ObjectTypeInfo* findType(const Text& name) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    return registry ? registry->Find(name) : nullptr;
}
}  // namespace

HIDesignViewerTotalSite::HIDesignViewerTotalSite(Viewable* parent, const Text& name, const ObjectTypeInfo* type)
    : HIScenarioOwnerViewer(parent, name, type) {}

IHeatIntegrationProject* HIDesignViewerTotalSite::engineProject() const { return myTotalSite; }
int HIDesignViewerTotalSite::engineType() const { return IHeatIntegrationTotalSite::TotalSiteType; }

HIDesignViewerTotalSite::~HIDesignViewerTotalSite() {
    deleteScenarioViews();
    if (myTotalSite) myTotalSite->RemoveNotificationReceiver(this);
    if (siteManager) siteManager->RemoveNotificationReceiver(this);
    closeCloneTool();
    if (TotalSiteUtilManagerView* editor = utilManagerView) {
        utilManagerView = nullptr;
        editor->RemoveDeathPostee(this);
        delete editor;
    }
    deleteNameViews(siteStreamNameViews, this);
    deleteNameViews(defaultUtilityNameViews, this);
}

// ---- binding ----

void HIDesignViewerTotalSite::SetEngineeringTotalSite(IHeatIntegrationTotalSite* site, bool recalled) {
    myTotalSite = site;
    if (!myTotalSite) return;
    myTotalSite->AddNotificationReceiver(this);
    for (int code : {kScenarioAdded, kStreamAdded, kStreamDeleted, kStreamRenamed, 60, kDefaultsReplaced, 61, 62, 64})
        myTotalSite->AddValidMessage(this, code);
    ITotalSiteUtilityManager* manager = nullptr;
    if (myTotalSite->GetDefaultUtilityManager(manager) == 1 && manager) {
        siteManager = manager;
        rebuildDefaultUtilityNameViews();
        siteManager->AddNotificationReceiver(this);
        // A whole new utility list (a defaults file read) is announced as one change (97).
        for (int code : {kUtilityAdded, kUtilityRenamed, kUtilityRemoved, kUtilitiesChanged, kManagerGone})
            siteManager->AddValidMessage(this, code);
    }
    // The site's streams get their name views here, so a site read back from a case shows its
    // streams in the name table as a new one does.
    rebuildSiteStreamNameViews();
    if (!recalled) addScenarioViewsOfProject();
}

void HIDesignViewerTotalSite::deleteNameViews(HVector<UtilityNameView*>& views, Viewable* owner) {
    HVector<UtilityNameView*> doomed = views;
    views.Clear();
    for (UtilityNameView* view : doomed) {
        view->RemoveDeathPostee(owner);
        delete view;
    }
}

void HIDesignViewerTotalSite::rebuildDefaultUtilityNameViews() {
    deleteNameViews(defaultUtilityNameViews, this);
    if (!siteManager) return;
    for (int i = 0; i < siteManager->GetNumberOfDefaultUtilities(); ++i) {
        const char* name = siteManager->GetRecommendedUtilityName(i);
        auto* view = new UtilityNameView(this, name ? Text(name) : Text());
        view->AddDeathPostee(this);
        defaultUtilityNameViews.Append(view);
    }
}

void HIDesignViewerTotalSite::rebuildSiteStreamNameViews() {
    deleteNameViews(siteStreamNameViews, this);
    if (!myTotalSite) return;
    for (int i = 0; i < myTotalSite->GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* stream = nullptr;
        if (!myTotalSite->GetStream(i, stream) || !stream) continue;
        auto* view = new UtilityNameView(this, stream->GetName());
        view->AddDeathPostee(this);
        siteStreamNameViews.Append(view);
    }
}

UtilityNameView* HIDesignViewerTotalSite::findNameView(const HVector<UtilityNameView*>& views, const Text& name) const {
    for (UtilityNameView* view : views)
        if (view->GetName() == name) return view;
    return nullptr;
}

void HIDesignViewerTotalSite::AddScenarioView(const Text& name) {
    if (!myTotalSite) return;
    adoptScenarioView(CreateViewerOfType(name, this, GetObjectType(nullptr)),
                      &HIDesignViewerScenario::SetVariablesTotalSite);
    if (Viewable* caseView = GetCaseView()) static_cast<ChiTotalSiteView*>(caseView)->ChangeSelectedObject(currentScenario);
}

Viewable* HIDesignViewerTotalSite::GetCaseView() const {
    Viewable* owner = OwnerViewable();
    return owner && owner->IsA(ChiTotalSiteView::TypeName) ? owner : nullptr;
}

int HIDesignViewerTotalSite::numberOfStreams() const { return myTotalSite ? myTotalSite->GetNumberOfStreams() : 0; }

UtilityNameView* HIDesignViewerTotalSite::EditUtilityStream(const Text& name, int row) {
    return editUtilityStream(name, row).view;
}

Text HIDesignViewerTotalSite::defaultSpelling(const Text& name) const {
    if (!siteManager || name.empty() || siteManager->Exists(name.c_str())) return name;
    // Letters a to z in either case, as the manager folds the names it keeps apart.
    const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    const auto same = [&](const char* held) {
        const std::size_t n = std::strlen(held);
        if (n != name.size()) return false;
        for (std::size_t k = 0; k < n; ++k)
            if (fold(held[k]) != fold(name[k])) return false;
        return true;
    };
    for (int i = 0; i < siteManager->GetNumberOfDefaultUtilities(); ++i) {
        const char* held = siteManager->GetDefaultUtilityName(i);
        if (held && same(held)) return held;
    }
    return name;
}

HIDesignViewerTotalSite::StreamEdit HIDesignViewerTotalSite::editUtilityStream(const Text& typed, int row) {
    StreamEdit edit;
    if (!myTotalSite) return edit;
    const int n = myTotalSite->GetNumberOfStreams();
    // Past the spare row there is no row to type into: said, as any refused edit is.
    if (row < 0 || row > siteStreamNameViews.Count() || row > n) return ErrorMsg("GetStreamError"), edit;
    // The site's streams are its default utilities, which letter case does not tell apart.
    const Text name = defaultSpelling(typed);
    siteGaveReason = false;
    IHeatIntegrationStream* stream = nullptr;
    // A stream a retrofit study's base runs on is neither renamed nor deleted (asked nothing).
    if (row < n && myTotalSite->GetStream(row, stream) && stream && stream->IsHeldByRetrofitBase(nullptr) &&
        Text(stream->GetName()) != name)
        return ErrorMsg("NoChangeinHENRBaseCase"), edit;
    if (row < n && !name.empty()) {
        if (!myTotalSite->GetStream(row, stream) || !stream) return edit;
        const Text old = stream->GetName();
        // The stream's own name typed again renames nothing and is no refusal.
        if (old == name) return {true, findNameView(siteStreamNameViews, name)};
        if (refuseScenarioStreamName(name)) return edit;
        if (myTotalSite->RenameStream(old, name) == 1) {
            if (UtilityNameView* view = findNameView(siteStreamNameViews, old)) view->SetName(name);
            edit.done = true;
        } else if (!siteGaveReason) {
            ErrorMsg("RenameStreamError", name);
        }
    } else if (row < n) {
        if (!IsAutomationStartup() && ResponseMsg("DeleteStreamError", 2) != 1) return edit;
        SignalBusy(true);
        if (myTotalSite->GetStream(row, stream) && stream) {
            const Text old = stream->GetName();
            const Text notes = myTotalSite->GetNotes();
            myTotalSite->SetNotes(notes + "Deleted Utility Stream " + old + "\n");
            edit.done = myTotalSite->DeleteStream(old) == 1;
            // A stream the site keeps (a locked network runs on it) leaves the notes as they were.
            if (!edit.done) myTotalSite->SetNotes(notes);
        }
        workStream = nullptr;
        SignalBusy(false);
        return edit;
    } else if (!name.empty()) {
        if (refuseScenarioStreamName(name)) return edit;
        // The site answers 1 also when it told the user to pick one of its utilities: the add is
        // done when the site holds the stream.
        IHeatIntegrationStream* added = nullptr;
        if (myTotalSite->AddStream(name) == 1 && myTotalSite->GetStream(name, added) && added) {
            edit.done = true;
            const char* type = siteManager ? siteManager->GetExchangerType(name.c_str()) : nullptr;
            if (type && Text(type) == "Fired Heater") ErrorMsg("FiredHeaterEconomics");
        } else if (!siteGaveReason) {
            ErrorMsg("AddStreamError", name);
        }
    }
    edit.view = name.empty() ? nullptr : findNameView(siteStreamNameViews, name);
    return edit;
}

bool HIDesignViewerTotalSite::refuseScenarioStreamName(const Text& name) const {
    const char* scenario = myTotalSite ? myTotalSite->ScenarioHoldingStream(CPString(name.c_str())) : nullptr;
    if (!scenario) return false;
    ErrorMsg("SameStreamErrorMsg", scenario);
    return true;
}

bool HIDesignViewerTotalSite::RenameTotalSite(const Text& name) {
    if (name.empty()) return false;
    // The site's own name typed again names no other project: nothing to change.
    if (myTotalSite && name == Text(myTotalSite->GetProjectName())) return true;
    IEngineeringManager* manager = CaseEngineeringManager2(this);
    ILurmetBaseObject* other = nullptr;
    void* site = nullptr;
    if (manager && manager->FindObject(name, IHeatIntegrationTotalSite::TotalSiteType, &other) && other &&
        other->QueryInterface(ILurmetProject::InterfaceId, &site)) {
        ErrorMsg("ThisProjectNameAlreadyExists", name);
        return false;
    }
    if (myTotalSite) myTotalSite->SetProjectName(name);
    SetName(name);
    if (Viewable* caseView = GetCaseView()) caseView->SetName(name);
    return true;
}

void HIDesignViewerTotalSite::SetSelectedObject(Viewable* view) {
    if (!view) return;
    if (view == this) currentScenario = nullptr;
    else if (view->IsA(HIDesignViewerScenario::TypeName) && scenarioViews.Find(static_cast<HIDesignViewerScenario*>(view)) >= 0)
        currentScenario = static_cast<HIDesignViewerScenario*>(view);
}

// ---- notifications ----

void HIDesignViewerTotalSite::NotifyChange(int code, const CPString& text, void* data) {
    IHeatIntegrationStream* stream = nullptr;
    switch (code) {
        case kScenarioAdded: AddScenarioView(text); break;
        case kStreamAdded:
            // A site read back announces every stream it holds: one name view per stream.
            if (myTotalSite && myTotalSite->GetStream(text, stream) && !findNameView(siteStreamNameViews, text)) {
                auto* view = new UtilityNameView(this, text);
                view->AddDeathPostee(this);
                siteStreamNameViews.Append(view);
            }
            break;
        case kStreamDeleted:
            if (myTotalSite && myTotalSite->GetStream(text, stream))
                if (UtilityNameView* view = findNameView(siteStreamNameViews, text)) {
                    siteStreamNameViews.Remove(view);
                    view->RemoveDeathPostee(this);
                    delete view;
                }
            break;
        case kStreamRenamed:
            if (UtilityNameView* view = findNameView(siteStreamNameViews, text); view && data)
                view->SetName(*static_cast<const CPString*>(data));
            break;
        case kDefaultsReplaced:
        case kUtilitiesChanged: rebuildDefaultUtilityNameViews(); break;
        case kUtilityAdded: {
            ITotalSiteUtilityManager* manager = nullptr;
            if (myTotalSite && myTotalSite->GetDefaultUtilityManager(manager) == 1) {
                auto* view = new UtilityNameView(this, text);
                view->AddDeathPostee(this);
                defaultUtilityNameViews.Append(view);
            }
            break;
        }
        case kUtilityRemoved:
            if (UtilityNameView* view = findNameView(defaultUtilityNameViews, text)) {
                defaultUtilityNameViews.Remove(view);
                view->RemoveDeathPostee(this);
                delete view;
            }
            break;
        case kUtilityRenamed:
            if (UtilityNameView* view = findNameView(defaultUtilityNameViews, text); view && data)
                view->SetName(static_cast<const char*>(data));
            break;
        case kManagerGone:
            if (siteManager) siteManager->RemoveNotificationReceiver(this);
            siteManager = nullptr;
            deleteNameViews(defaultUtilityNameViews, this);
            break;
        default:
            if (code == 60) siteGaveReason = true;
            ShowEngineNotice(code, text);
            break;
    }
}

// ---- commands ----

int HIDesignViewerTotalSite::cloneAndRetrofit(const Text& designName) {
    // As the project's viewer: no scenario chosen or no design of that name, nothing made.
    IHeatIntegrationScenario* scenario = retrofitSource(designName);
    if (!scenario) return 0;
    return myTotalSite->AddScenario(scenario, designName) ? 1 : (ErrorMsg("CommandNotDone", Text("CloneAndRetrofit")), 0);
}

bool HIDesignViewerTotalSite::ensureUtilManagerView() {
    if (!utilManagerView) {
        utilManagerView = new TotalSiteUtilManagerView(this);
        utilManagerView->AddDeathPostee(this);
    }
    ITotalSiteUtilityManager* manager = nullptr;
    if (myTotalSite && myTotalSite->GetDefaultUtilityManager(manager) == 1 && manager) utilManagerView->SetDUM(manager);
    return utilManagerView->GetManager() != nullptr;
}

int HIDesignViewerTotalSite::addUtilityToUtilityStreams() {
    if (!myTotalSite) return 1;
    const int n = myTotalSite->GetNumberOfStreams();
    // The defaults editor never opened has no utility selected: nothing to add, and said so
    // before an editor is made that the case would keep.
    if (!utilManagerView || utilManagerView->getselDefUtilRow() < 0) return ErrorMsg("NoDefaultUtilitySelected"), 0;
    if (!ensureUtilManagerView()) return 1;
    const char* name = utilManagerView->GetManager()->GetDefaultUtilityName(utilManagerView->getselDefUtilRow());
    // The editor's spare row selects no utility: nothing is added, and the user is told so.
    if (!name) return ErrorMsg("NoDefaultUtilitySelected"), 0;
    // A refused add answers 0, as typing the name does.
    return editUtilityStream(name, n).done ? 1 : 0;
}

int HIDesignViewerTotalSite::Message(const Text& line) {
    const std::size_t space = line.find(' ');
    const Text word = Text(line.substr(0, space));
    const Text rest = space == Text::npos ? Text() : Text(line.substr(space + 1));
    if (const int answer = sharedWord(word); answer >= 0) return answer;
    if (word == "AddToDesignView") {
        const int added = addScenario(newScenarioName);
        // A refused name stays typed for the user to mend: the case is as it was.
        if (!added) return 0;
        newScenarioName.clear();
        return added;
    }
    if (word == "RenameView") {
        const Text name = newScenarioName;
        // Nothing to rename: the typed name waits.
        if (!currentScenario) return ErrorMsg("NoScenarioToRename"), 0;
        newScenarioName.clear();
        return RenameScenario(currentScenario->GetName(), name);
    }
    if (word == "AddDefaultScenario") return addScenario(rest.empty() ? Text("Process 1") : rest);
    if (word == "CloneAndRetrofit") return cloneAndRetrofit(rest);
    if (word == "OpenUDB") {
        ensureUtilManagerView();
        utilManagerView->View(Text(), 6);
        return 1;
    }
    if (word == "AddUtilityToUtilityStreams") return addUtilityToUtilityStreams();
    if (word == "ViewSegTableViewU") {
        // The chosen site stream's segments, in the site's utility editor; no row chosen, or a
        // row past the list, shows nothing and says so.
        if (!myTotalSite || !lookUp(segmentTableRow)) return ErrorMsg("GetStreamError"), 0;
        IHeatIntegrationStream* stream = workStream;
        if (!ensureUtilManagerView()) return ErrorMsg("GetStreamError"), 0;
        utilManagerView->ShowSegmentTable(stream);
        return 1;
    }
    return Viewable::Message(line);
}

// ---- children ----

bool HIDesignViewerTotalSite::isNameViewLink(const VarDescription& var) const {
    if (!var.IsObjectLink() || (var.Number() != 599 && var.Number() != 600)) return false;
    const ObjectTypeInfo* asked = findType(var.ObjectType());
    return asked && asked->GetName() == UtilityNameView::TypeName;
}

Viewable* HIDesignViewerTotalSite::AttachedObject(const VarDescription& var) {
    if (!var.IsObjectLink()) return Viewable::AttachedObject(var);
    const ObjectTypeInfo* asked = findType(var.ObjectType());
    const int i = var.Offset(0) < 0 ? 0 : var.Offset(0);
    Viewable* found = nullptr;
    if (var.Number() == 200 && asked && (asked->IsA(HIDesignViewerScenario::TypeName) || (asked->IsA(TypeName) && i == 0))) {
        found = scenarioLink(var, asked, TypeName);
    } else if (var.Number() == 298 && asked && asked->IsA(CloneHIScenarioTool::TypeName)) {
        found = cloneTool;
    } else if (isNameViewLink(var)) {
        const int streams = siteStreamNameViews.Count();
        const int defaults = defaultUtilityNameViews.Count();
        if (i < streams) found = siteStreamNameViews[i];
        else if (i >= DefaultNameBase && i < DefaultNameBase + defaults) found = defaultUtilityNameViews[i - DefaultNameBase];
    } else {
        return Viewable::AttachedObject(var);
    }
    return followLink(found, var);
}

int HIDesignViewerTotalSite::AttachObject(const VarDescription& var, Viewable* object) {
    if (isNameViewLink(var)) {
        if (object && !object->IsA(UtilityNameView::TypeName)) return 0;
        return editUtilityStream(object ? object->GetName() : Text(), var.Offset(0)).done ? 1 : 0;
    }
    int result = 0;
    return attachCloneTool(var, object, result) ? result : Viewable::AttachObject(var, object);
}

Viewable* HIDesignViewerTotalSite::AttachNewObject(const VarDescription& var, const Text& name) {
    if (!isNameViewLink(var)) return Viewable::AttachNewObject(var, name);
    tableColumn += 2;
    const StreamEdit edit = editUtilityStream(name, var.Offset(0));
    if (!edit.done) return nullptr;
    // A deletion leaves no view of its name to answer with: the viewer whose table lost the row
    // answers that it was done.
    return edit.view ? static_cast<Viewable*>(edit.view) : this;
}

int HIDesignViewerTotalSite::GetAttachableObjects(const VarDescription& var, std::vector<Viewable*>& out) {
    if (!isNameViewLink(var)) return Viewable::GetAttachableObjects(var, out);
    if (!myTotalSite) return 0;
    for (UtilityNameView* view : defaultUtilityNameViews) out.push_back(view);
    return defaultUtilityNameViews.Count();
}

Text HIDesignViewerTotalSite::AttachedName(const Viewable* child) const {
    if (!child) return Viewable::AttachedName(child);
    const Text escaped = VarDescription::EscapeChildName(child->GetName());
    if (child == cloneTool) return "CloneHIScenarioTool.298.0(" + escaped + ")";
    for (int i = 0; i < scenarioViews.Count(); ++i)
        if (scenarioViews[i] == child)
            return FormattedText("HIDesignViewerScenario.200.%d(%s)", FindScenarioView(child->GetName()), escaped.c_str());
    for (int i = 0; i < siteStreamNameViews.Count(); ++i)
        if (siteStreamNameViews[i] == child) return FormattedText("UtilityNameView.599.%d(%s)", i, escaped.c_str());
    for (int i = 0; i < defaultUtilityNameViews.Count(); ++i)
        if (defaultUtilityNameViews[i] == child)
            return FormattedText("UtilityNameView.599.%d(%s)", DefaultNameBase + i, escaped.c_str());
    return Viewable::AttachedName(child);
}

void HIDesignViewerTotalSite::DisconnectDeadObject(Viewable* dead) {
    if (dead == static_cast<Viewable*>(utilManagerView)) utilManagerView = nullptr;
    siteStreamNameViews.RemoveAllAt(dead);
    defaultUtilityNameViews.RemoveAllAt(dead);
    HIScenarioOwnerViewer::DisconnectDeadObject(dead);
}

const ObjectTypeInfo* HIDesignViewerTotalSite::GetObjectType(const ObjectTypeInfo* asked) const {
    if (asked) return Viewable::GetObjectType(asked);
    return scenarioViewerType("HIDesignViewerGrassRootTotalSiteObject");
}

// ---- record ----

bool HIDesignViewerTotalSite::RecallClassData(BinaryFile& file, int version) {
    IHeatIntegrationProject* recalled = nullptr;
    if (!RecallProjectPointer(file, CaseEngineeringManager2(this), recalled)) return false;
    // The link must name a site: a plain project behind it is a damaged record.
    auto* site = recalled ? dynamic_cast<IHeatIntegrationTotalSite*>(recalled) : nullptr;
    if (recalled && !site) return false;
    SetEngineeringTotalSite(site, true);
    return recallScenarioLinks(file, version);
}

bool HIDesignViewerTotalSite::RecallFixUp() {
    if (myTotalSite && !myTotalSite->RecallFixUp()) return false;
    adoptRecalledEditor();
    return true;
}

// The utility-default editor is stored as a child of this viewer, but the viewer's record holds
// no link to it: the recalled editor becomes the viewer's one editor again, bound to the site's
// manager, and any further editor (cases written while every reopen added one) goes.
void HIDesignViewerTotalSite::adoptRecalledEditor() {
    std::vector<TotalSiteUtilManagerView*> editors;
    for (int i = 0; i < GetNumberOfChildren(); ++i)
        if (auto* editor = dynamic_cast<TotalSiteUtilManagerView*>(GetChild(i)); editor && editor != utilManagerView)
            editors.push_back(editor);
    if (editors.empty()) return;
    std::size_t kept = 0;
    if (!utilManagerView) {
        utilManagerView = editors.front();
        utilManagerView->AddDeathPostee(this);
        kept = 1;
        ensureUtilManagerView();
    }
    for (std::size_t i = kept; i < editors.size(); ++i) delete editors[i];
}
