#include "views/session/ViewEntries.h"
#include "views/session/EntryText.h"

#include "brasko/CaseDocument.h"
#include "brasko/FeatureManager.h"
#include "brasko/FeatureRegistry.h"
#include "brasko/LurmetBinaryFile.h"
#include "lumeth/ViewRecords.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/core/ModuleEntry.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/Framework.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Session.h"
#include "views/case/ChiView.h"
#include "views/case/HITargeting.h"
#include "eng/model/IHeatIntegrationTotalSite.h"
#include "views/case/project/HIDesignViewerProject.h"
#include "views/case/project/HIDesignViewerTotalSite.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/grid/HENDiagram.h"
#include "views/session/ViewScript.h"

#include <cstring>
#include <memory>

namespace {

struct ViewSession {
    ViewSession(const Text& name, IEngineeringManager* manager) : document(name, manager) {}
    ~ViewSession() { delete root; }
    CaseDocument document;
    Viewable* root = nullptr;
    Viewable* current = nullptr;
    // A study built from nothing or a reopened single-scenario case: the feature manager is the
    // root and its instances are stored;
    // the project is followed by its object (a conversion renames it).
    ExpMgrView* features = nullptr;
    IHeatIntegrationProject* project = nullptr;
    Text report;
    Text error;
};

// The project of that name, or else the total site of that name (which answers as a project too).
IHeatIntegrationProject* findProject(IEngineeringManager* manager, const Text& name) {
    ILurmetBaseObject* object = nullptr;
    if (!manager) return nullptr;
    if (!manager->FindObject(name, IHeatIntegrationProject::ObjectType, &object) || !object)
        if (!manager->FindObject(name, IHeatIntegrationTotalSite::TotalSiteType, &object) || !object) return nullptr;
    void* out = nullptr;
    if (!object->QueryInterface(IHeatIntegrationProject::ObjectType, &out)) return nullptr;
    return static_cast<IHeatIntegrationProject*>(out);
}

bool isTotalSite(IHeatIntegrationProject* project) {
    return project && project->GetObjectType() == IHeatIntegrationTotalSite::TotalSiteType;
}

}  // namespace

namespace {

// The grid diagram of a design (the first of the first scenario that has one, or the design of
// that name), laid out as the host's grid job lays it out: the first preset, the lines running
// their own ways, utilities and no pinch layout, fitted into the diagram's set-up window.
Viewable* openGrid(const HVector<HIDesignViewerScenario*>& viewers, const Text& name) {
    for (HIDesignViewerScenario* viewer : viewers)
        for (HIDesignViewerDesign* designViewer : viewer->GetDesignObjs()) {
            IHENDesign* design = designViewer ? designViewer->GetDesign() : nullptr;
            HENDiagram* grid = designViewer ? designViewer->GetGridDiagram() : nullptr;
            if (!design || !grid) continue;
            if (!name.empty() && Text(design->GetDesignName()) != name) continue;
            grid->SelectPreset(0);
            grid->reverseDirection = grid->hideUtilityUnits = grid->showPinch = false;
            grid->zoomMode = grid->previousZoomMode = 1;
            grid->SetPixelSize(1150.0, 500.0);
            grid->SetDesign(design);
            return grid;
        }
    return nullptr;
}

// The view `what` names among the views of a case view: the case view, its project viewer (a
// total site's viewer), a scenario viewer, a design viewer, a grid, or a child link.
Viewable* chooseView(Viewable* caseView, Viewable* projectViewer, const HVector<HIDesignViewerScenario*>* scenarios,
                     const Text& what) {
    if (what == "case") return caseView;
    if (what == "project") return projectViewer;
    if (!projectViewer || !scenarios) return nullptr;
    const auto& viewers = *scenarios;
    if (what == "scenario") return viewers.IsEmpty() ? nullptr : viewers[0];
    if (what.rfind("scenario=", 0) == 0) {
        for (HIDesignViewerScenario* viewer : viewers)
            if ("scenario=" + viewer->GetName() == what) return viewer;
        return nullptr;
    }
    if (what == "design" || what.rfind("design=", 0) == 0) {
        // The first design viewer, or the one of that name, of the first scenario that has it.
        for (HIDesignViewerScenario* viewer : viewers)
            for (HIDesignViewerDesign* design : viewer->GetDesignObjs())
                if (what == "design" || "design=" + design->GetName() == what) return design;
        return nullptr;
    }
    if (what == "grid" || what.rfind("grid=", 0) == 0) return openGrid(viewers, what == "grid" ? Text() : Text(what.substr(5)));
    VarDescription link;
    return VarDescription::Parse(what, link) && link.IsObjectLink() ? caseView->AttachedObject(link) : nullptr;
}

Viewable* chooseView(Viewable* caseView, const Text& what) {
    if (caseView->IsA(ChiView::TypeName)) {
        HIDesignViewerProject* viewer = static_cast<ChiView*>(caseView)->GetProjectViewer();
        return chooseView(caseView, viewer, viewer ? &viewer->GetScenarioViews() : nullptr, what);
    }
    HIDesignViewerTotalSite* viewer = static_cast<ChiTotalSiteView*>(caseView)->GetTotalSiteViewer();
    return chooseView(caseView, viewer, viewer ? &viewer->GetScenarioViews() : nullptr, what);
}

// The view `what` names in a single-scenario study, whose top view is its scenario: the scenario
// itself ("case", "scenario", its name), one of its design viewers or grids, or a child link. A
// name that is none of them opens nothing, so that a script meant for a design never runs on the
// scenario's cells.
Viewable* chooseSingleView(HITargeting* single, const Text& what) {
    if (what == "case" || what == "scenario" || what == "scenario=" + single->GetName()) return single;
    HVector<HIDesignViewerScenario*> viewers;
    viewers.Append(single);
    if (what == "design" || what.rfind("design=", 0) == 0 || what == "grid" || what.rfind("grid=", 0) == 0)
        return chooseView(single, single, &viewers, what);
    VarDescription link;
    return VarDescription::Parse(what, link) && link.IsObjectLink() ? single->AttachedObject(link) : nullptr;
}

// Why the case's views were refused: the view whose record is at fault and the value, as the
// view records named them.
Text viewsDamaged() {
    const std::string& why = ViewRecords::Refusal();
    return Text(CPString(("the case's views are damaged" + (why.empty() ? std::string() : ": " + why)).c_str()));
}

// Whether the top view of a case shows its project (or its total site).
bool showsProject(Viewable* caseView) {
    if (!caseView) return false;
    if (caseView->IsA(ChiView::TypeName)) return static_cast<ChiView*>(caseView)->GetProjectViewer() != nullptr;
    return caseView->IsA(ChiTotalSiteView::TypeName) && static_cast<ChiTotalSiteView*>(caseView)->GetTotalSiteViewer();
}

void* openViews(IEngineeringManager* manager, ILurmetBinaryFile* file, const char* project, const char* open, int units,
                int automation, char* error, int size) {
    const Text name = project ? project : "";
    IHeatIntegrationProject* found = findProject(manager, name);
    // A total site opens on its own viewer unless asked otherwise.
    const Text what = open && *open ? open : isTotalSite(found) ? "project" : "scenario";
    if (!found) {
        HandOutText("the case holds no project " + name, error, size);
        return nullptr;
    }
    Session::Instance().Reset();
    SetDisplayUnitSet(units == 1 ? CustomaryUnits : SIUnits);
    SetAutomationStartup(automation != 0);
    auto session = std::make_unique<ViewSession>(name, manager);
    auto* reader = dynamic_cast<LurmetBinaryFile*>(file);
    Viewable* caseView = nullptr;
    if (reader && !reader->AtEnd()) {
        std::vector<Viewable*> roots;
        if (!ViewRecords::Recall(*reader, roots, &session->document)) {
            HandOutText(viewsDamaged(), error, size);
            return nullptr;
        }
        Viewable* single = nullptr;
        for (Viewable* root : roots) {
            if (!caseView && (root->IsA(ChiView::TypeName) || root->IsA(ChiTotalSiteView::TypeName))) caseView = root;
            else if (!single && root->IsA(HITargeting::TypeName)) single = root;
            else delete root;
        }
        // A single-scenario case is the top view of its study. Like a new one it lives under a
        // feature manager, which takes the project a conversion makes of it.
        if (!caseView && single && static_cast<HITargeting*>(single)->GetmyScenario()) {
            session->features = new ExpMgrView(&session->document);
            session->root = session->features;
            session->features->Adopt(single);
            session->features->AddExperiment(single, "HI Case");
            session->current = chooseSingleView(static_cast<HITargeting*>(single), what);
            session->project = found;
            if (!session->current) {
                HandOutText(what == "design" ? Text("the scenario holds no design") : "no view " + what, error, size);
                return nullptr;
            }
            Session::Instance().Reset();
            return session.release();
        }
        delete single;
        if (!showsProject(caseView)) {
            delete caseView;
            HandOutText("the case's views are damaged: they hold no view of its project", error, size);
            return nullptr;
        }
        session->root = caseView;
    } else {
        // As a user opens a project: a case view named like it, which finds the project the
        // engineering manager already holds.
        const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
        bool added = false;
        if (isTotalSite(found)) {
            auto* siteView = new ChiGrassRootTotalSiteView(nullptr, registry->Find(ChiGrassRootTotalSiteView::TypeName));
            siteView->SetName(name);
            session->root = caseView = siteView;
            siteView->SetDocument(&session->document);
            added = siteView->AddTotalSite(name) != 0;
        } else {
            auto* projectView = new ChiGrassRootView(nullptr, name, registry->Find(ChiGrassRootView::TypeName));
            session->root = caseView = projectView;
            projectView->SetDocument(&session->document);
            added = projectView->AddProject(name) != 0;
        }
        if (!added || !showsProject(caseView)) {
            HandOutText("the views of the project " + name + " could not be made", error, size);
            return nullptr;
        }
    }
    session->current = chooseView(caseView, what);
    if (!session->current) {
        HandOutText(what == "scenario"  ? Text("the project holds no scenario")
                    : what == "design" ? Text("the project holds no design")
                                       : "no view " + what,
                    error, size);
        return nullptr;
    }
    // A scenario opened on its form is the case's selection, as when a user opens it from the
    // case tree: what acts on "the current scenario" (a retrofit into a copy) acts on it.
    if (session->current->IsA(HIDesignViewerScenario::TypeName)) {
        if (caseView->IsA(ChiView::TypeName)) static_cast<ChiView*>(caseView)->ChangeSelectedObject(session->current);
        else static_cast<ChiTotalSiteView*>(caseView)->ChangeSelectedObject(session->current);
    }
    // What opening the views said is not part of any script's steps.
    Session::Instance().Reset();
    return session.release();
}

void* newStudy(IEngineeringManager* manager, const char* kind, const char* name, const char* open, int units,
               int automation, char* error, int size) {
    const Text what = kind ? kind : "";
    const Text study = name ? name : "";
    // A total site has no feature of its own: its builder is called as the host calls it.
    const bool site = what == "hi-total-site";
    const char* feature = what == "hi-project" ? "HI Project" : what == "hi-case" ? "HI Case" : site ? "HI Total Site" : nullptr;
    const FeatureRegistry* registry = FeatureRegistry::Current();
    const FeatureInfo* info = feature && registry && !site ? registry->Find(feature) : nullptr;
    const FeatureBuilder builder = site ? &ChiGrassRootTotalSiteView::BuildChiGrassRootTotalSiteView
                                        : info ? info->builder : nullptr;
    if (!builder) {
        HandOutText("no feature " + what + " (hi-project, hi-case or hi-total-site)", error, size);
        return nullptr;
    }
    if (study.empty()) {
        HandOutText("a new study needs a name", error, size);
        return nullptr;
    }
    Session::Instance().Reset();
    SetDisplayUnitSet(units == 1 ? CustomaryUnits : SIUnits);
    SetAutomationStartup(automation != 0);
    auto session = std::make_unique<ViewSession>(study, manager);
    session->features = new ExpMgrView(&session->document);
    session->root = session->features;
    Viewable* instance = builder(session->features, study);
    if (!instance) {
        HandOutText("the feature " + Text(feature) + " made no study " + study, error, size);
        return nullptr;
    }
    session->features->AddExperiment(instance, feature);
    if (instance->IsA(ChiTotalSiteView::TypeName)) {
        HIDesignViewerTotalSite* viewer = static_cast<ChiTotalSiteView*>(instance)->GetTotalSiteViewer();
        if (!viewer || !viewer->GetTotalSite()) {
            HandOutText("the total site " + study + " could not be made", error, size);
            return nullptr;
        }
        session->project = viewer->GetTotalSite();
        const Text where = open && *open ? open : "project";
        session->current = chooseView(instance, where);
        if (!session->current) {
            HandOutText("no view " + where, error, size);
            return nullptr;
        }
    } else if (instance->IsA(ChiView::TypeName)) {
        auto* caseView = static_cast<ChiView*>(instance);
        session->project = caseView->GetProjectViewer() ? caseView->GetProjectViewer()->GetProject() : nullptr;
        const Text where = open && *open ? open : "scenario";
        session->current = chooseView(caseView, where);
        if (!session->current) {
            HandOutText("no view " + where, error, size);
            return nullptr;
        }
    } else {
        session->project = instance->IsA(HITargeting::TypeName) ? static_cast<HITargeting*>(instance)->GetProject() : nullptr;
        session->current = instance;
        if (open && *open && instance->IsA(HITargeting::TypeName)) {
            const Text where = open;
            session->current = chooseSingleView(static_cast<HITargeting*>(instance), where);
            if (!session->current) {
                HandOutText(where == "design" ? Text("the scenario holds no design") : "no view " + where, error, size);
                return nullptr;
            }
        }
    }
    Session::Instance().Reset();
    return session.release();
}

}  // namespace

extern "C" void* KestrinViewNew(IEngineeringManager* manager, const char* kind, const char* name, const char* open,
                                int units, int automation, char* error, int size) {
    AttachCallingThread();
    return newStudy(manager, kind, name, open, units, automation, error, size);
}

extern "C" int KestrinViewProject(void* handle, char* out, int size) {
    auto* session = static_cast<ViewSession*>(handle);
    return HandOutText(session && session->project ? Text(session->project->GetProjectName()) : Text(), out, size);
}

extern "C" void* KestrinViewOpen(IEngineeringManager* manager, const char* project, const char* open, int units,
                                 int automation, char* error, int size) {
    AttachCallingThread();
    return openViews(manager, nullptr, project, open, units, automation, error, size);
}

extern "C" void* KestrinViewOpenCase(IEngineeringManager* manager, ILurmetBinaryFile* file, const char* project,
                                     const char* open, int units, int automation, char* error, int size) {
    AttachCallingThread();
    return openViews(manager, file, project, open, units, automation, error, size);
}

extern "C" int KestrinViewStore(void* handle, ILurmetBinaryFile* file) {
    AttachCallingThread();
    auto* session = static_cast<ViewSession*>(handle);
    if (!session || !file || !session->root) return 0;
    if (!session->features) return ViewRecords::Store(*file, {session->root}) ? 1 : 0;
    // A new study: its feature instances, without the manager they live under.
    std::vector<Viewable*> instances;
    for (int i = 0; i < session->features->NumberOfExperiments(); ++i) instances.push_back(session->features->Experiment(i));
    return ViewRecords::Store(*file, instances) ? 1 : 0;
}

extern "C" int KestrinViewRun(void* handle, const char* script, const char* scriptName, int json, int form) {
    AttachCallingThread();
    auto* session = static_cast<ViewSession*>(handle);
    if (!session) return 1;
    ViewScriptRunner runner(session->root, session->current);
    const int status = runner.Run(script ? script : "", scriptName ? scriptName : "script");
    session->current = runner.Current();
    session->error = runner.Error();
    session->report = runner.Report(json != 0);
    if (json) {
        if (form) session->report += ",\"form\":" + ViewScriptRunner::FormJson(session->current);
        session->report += "}\n";
    } else if (form) {
        session->report += ViewScriptRunner::FormText(session->current);
    }
    return status;
}

extern "C" int KestrinViewReport(void* handle, char* out, int size) {
    auto* session = static_cast<ViewSession*>(handle);
    return HandOutText(session ? session->report : Text(), out, size);
}

extern "C" int KestrinViewError(void* handle, char* out, int size) {
    auto* session = static_cast<ViewSession*>(handle);
    return HandOutText(session ? session->error : Text(), out, size);
}

extern "C" void KestrinViewClose(void* handle) {
    AttachCallingThread();
    delete static_cast<ViewSession*>(handle);
}

extern "C" int KestrinViewCheckRecords(IEngineeringManager* manager, ILurmetBinaryFile* file, const char* project,
                                       char* error, int size) {
    AttachCallingThread();
    auto* reader = dynamic_cast<LurmetBinaryFile*>(file);
    if (!reader) {
        HandOutText("the case's views cannot be read back", error, size);
        return 0;
    }
    if (reader->AtEnd()) return 1;
    // Read as a reopen reads them, into a document of their own, and let go at once.
    CaseDocument document(project ? project : "", manager);
    std::vector<Viewable*> roots;
    const bool read = ViewRecords::Recall(*reader, roots, &document);
    for (Viewable* root : roots) delete root;
    if (!read) HandOutText(viewsDamaged(), error, size);
    return read ? 1 : 0;
}
