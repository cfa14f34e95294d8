// The case view of a total site: the shared case view (ChiCaseView.cpp) holding a total-site
// viewer.
#include "eng/model/IHeatIntegrationTotalSite.h"
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

const ObjectTypeInfo* ChiTotalSiteView::GetObjectType(const ObjectTypeInfo*) const {
    return findType(HIDesignViewerTotalSite::TypeName);
}

const ObjectTypeInfo* ChiGrassRootTotalSiteView::GetObjectType(const ObjectTypeInfo* asked) const {
    if (!asked || asked == GetViewType()) return findType(HIDesignViewerGrassRootTotalSite::TypeName);
    if (asked->GetName() == ChiTotalSiteView::TypeName) return findType(HIDesignViewerTotalSite::TypeName);
    return findType("ViewableObject");
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
    // Selected first: the design added next is the one the scenario viewer's commands act on.
    caseView->ChangeSelectedObject(scenario);
    SendViewableMessage(scenario, "AddDefaultDesign");
    return caseView;
}

// ---- the total-site viewer driven by the case view ----

const char* const ChiCaseViewer<HIDesignViewerTotalSite>::Link = "HIDesignViewerTotalSite";
const int ChiCaseViewer<HIDesignViewerTotalSite>::EngineType = IHeatIntegrationTotalSite::TotalSiteType;

// The site viewer keeps no extracted-data flag of its own.
void ChiCaseViewer<HIDesignViewerTotalSite>::Bind(HIDesignViewerTotalSite& viewer, void* engineObject, std::uint8_t) {
    viewer.SetEngineeringTotalSite(static_cast<IHeatIntegrationTotalSite*>(engineObject), false);
}

bool ChiCaseViewer<HIDesignViewerTotalSite>::Rename(HIDesignViewerTotalSite& viewer, const Text& name) {
    return viewer.RenameTotalSite(name);
}
