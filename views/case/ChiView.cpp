#include "views/case/ChiView.h"

#include "eng/model/IHeatIntegrationProject.h"
#include "lumeth/ObjectTypeInfo.h"
#include "views/case/project/GrassRootViewers.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/plots/CpiView.h"

namespace {
const ObjectTypeInfo* findType(const char* name) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    return registry ? registry->Find(name) : nullptr;
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

ChiView::ChiView(Viewable* parent, const Text& name, const ObjectTypeInfo* type) : ChiCaseView(parent, type) {
    SetName(name);
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
void ChiView::SetCPIView(CpiView* view) {
    if (!view) return;
    // The earlier case view links its project view first and its selected view second.
    const Viewable* projectView = view->LinkedView(0);
    const Viewable* chosen = view->LinkedView(1);
    pendingName = view->GetText();
    AddProject(projectView ? projectView->GetName() : Text());
    if (!chosen || !viewer) return;
    const auto scenarioView = [&](const Text& name) -> HIDesignViewerScenario* {
        for (HIDesignViewerScenario* v : viewer->GetScenarioViews())
            if (v->GetName() == name) return v;
        return nullptr;
    };
    if (chosen->IsA("DesignViewerProjectObject")) {
        ChangeSelectedObject(viewer);
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

int ChiGrassRootView::Message(const Text& line) {
    const int answer = grassRootWord(*this, Text(line.substr(0, line.find(' '))));
    return answer >= 0 ? answer : ChiView::Message(line);
}

int ChiGrassRootTotalSiteView::Message(const Text& line) {
    const int answer = grassRootWord(*this, Text(line.substr(0, line.find(' '))));
    return answer >= 0 ? answer : ChiTotalSiteView::Message(line);
}

// ---- the project viewer driven by the case view ----

const char* const ChiCaseViewer<HIDesignViewerProject>::Link = "HIDesignViewerProject";
const int ChiCaseViewer<HIDesignViewerProject>::EngineType = IHeatIntegrationProject::ObjectType;

void ChiCaseViewer<HIDesignViewerProject>::Bind(HIDesignViewerProject& viewer, void* engineObject,
                                                std::uint8_t extractedData) {
    viewer.SetExtractedData(extractedData);
    viewer.SetEngineeringProject(static_cast<IHeatIntegrationProject*>(engineObject), 0);
}

bool ChiCaseViewer<HIDesignViewerProject>::Rename(HIDesignViewerProject& viewer, const Text& name) {
    return viewer.RenameProject(name);
}
