// The scenario viewer's life: construction for a new scenario or for recall, destruction, and
// binding through the owning project or total-site viewer.
#include "views/case/scenario/HIDesignViewerScenario.h"

#include "brasko/CaseDocument.h"
#include "brasko/DefaultUtilManagerView.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationTotalSite.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/Session.h"
#include "lumeth/VarEnumInfo.h"
#include "views/case/DataExtractionView.h"
#include "views/case/scenario/UtilityNameView.h"
#include "views/case/streams/LinkTableCollection.h"
#include "views/case/streams/SegmentTable.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/plots/ChiSuperTargetPlot.h"
#include "views/plots/ChiTable.h"
#include "views/plots/chiPlot.h"

#include <cmath>

bool HIDesignViewerScenario::dontShowLimitsView = false;
Text& HIDesignViewerScenario::extractionLimitations() {
    static Text text;
    return text;
}

namespace {

bool& limitationsInitialised() {
    static bool initialised = false;
    return initialised;
}

// The user's choice for new stream links, as the low byte of its integer part.
std::uint8_t advancedLinkPreference() {
    double value = 0.0;
    if (!GetConfigData("AdvanceStreamLinkPreference", value) || !std::isfinite(value)) return 0;
    return static_cast<std::uint8_t>(static_cast<long long>(std::fmod(std::trunc(value), 256.0)) & 0xff);
}

template <typename V>
void deleteView(V*& view, Viewable* postee) {
    V* dying = view;
    view = nullptr;
    if (!dying) return;
    dying->RemoveDeathPostee(postee);
    delete dying;
}

}  // namespace

// Every plot and table still listed goes with its list.
HenPlotList::HenPlotList() : PointerList<chiPlot>(true) {}
HenPlotList::~HenPlotList() { DeleteAll(); }
HenTableList::HenTableList() : PointerList<ChiTable>(true) {}
HenTableList::~HenTableList() { DeleteAll(); }

void HIDesignViewerScenario::InitializeLimitationsText() {
    if (limitationsInitialised()) return;
    limitationsInitialised() = true;
    extractionLimitations() = FindString("ExtractionLimitationsNotice");
    dontShowLimitsView = false;
}

HIDesignViewerScenario::HIDesignViewerScenario(Viewable* parent, const Text& name, const ObjectTypeInfo* type)
    : Viewable(parent, type) {
    InitializeLimitationsText();
    SetName(name);
    economicDataEnum = new VarEnumInfo;
    economicDataEnum->AddEntry(0, "default");
    advanceStreamLinkPreference = advancedLinkPreference();
}

HIDesignViewerScenario::HIDesignViewerScenario(ObjectInstanceInfo& info) : Viewable(info) {
    InitializeLimitationsText();
    SetRecallDefaults();
}

void HIDesignViewerScenario::SetRecallDefaults() {
    economicDataEnum = new VarEnumInfo;
    economicDataEnum->AddEntry(0, "DEFAULT");
    tableColumn = processRow = option1519_288 = selectedRow = 0;
    // The utility table's row is chosen by the user, never assumed: no command acts on a row
    // nobody chose.
    utilityRow = -1;
    option105_222 = option100_217 = extractedData = extractionDesignFlag = 0;
    option100_203 = 2;
    option100_251 = 1;
    flag104_310 = flag104_311 = flag104_312 = flag104_313 = flag104_314 = false;
    flag104_270 = showManagerFlag400 = showManagerFlag409 = false;
    intArray109_250[0] = intArray109_250[1] = intArray109_250[2] = 1;
    value1519_555 = value1519_556 = 0.0;
    advanceStreamLinkPreference = advancedLinkPreference();
}

HIDesignViewerScenario::~HIDesignViewerScenario() {
    // 1. Segment tables (the process and utility vectors hold the same objects).
    for (SegmentTable* table : segmentTables) table->RemoveDeathPostee(this);
    processSegmentTableVector.Clear();
    utilitySegmentTableVector.Clear();
    segmentTables.DeleteAll();
    // 2 to 4. Enumerations and the editors.
    delete enumD;
    enumD = nullptr;
    deleteView(myDefaultUtilManagerView, this);
    deleteView(myHTCDatabaseView, this);
    delete enumA;
    enumA = nullptr;
    delete economicDataEnum;
    economicDataEnum = nullptr;
    // 5. Plots, then tables.
    HenPlotList* plots = henPlotList;
    henPlotList = nullptr;
    delete plots;
    HenTableList* tables = henTableList;
    henTableList = nullptr;
    delete tables;
    // 6. Design viewers.
    for (HIDesignViewerDesign* design : designObjs) design->RemoveDeathPostee(this);
    currentDesign = nullptr;
    designObjs.DeleteAll();
    // 7. No more notices from the scenario.
    if (myScenario) myScenario->RemoveNotificationReceiver(this);
    // 8. Name views.
    defaultUtilityNameViews.DeleteAll();
    utilityNameViews.DeleteAll();
    // 9. Nor from its manager.
    IDefaultUtilityManager* manager = nullptr;
    if (myScenario && myScenario->GetDefaultUtilityManager(manager) && manager)
        manager->RemoveNotificationReceiver(this);
    // 10, 11. The extraction view and the range-target plots.
    deleteView(dataExtractionView, this);
    deleteView(generalPlot, this);
    deleteView(superTargetPlot, this);
    delete enumB;
    enumB = nullptr;
    delete enumC;
    enumC = nullptr;
    // 12. The stream-link list.
    if (LinkTableCollection* links = linkTableCollection) {
        linkTableCollection = nullptr;
        links->RemoveNotificationReceiver(this);
        links->RemoveDeathPostee(this);
        delete links;
    }
    DeleteRecalledLinks();
    DeletePlotParameters(oldPlotParameters);
    myScenario = nullptr;
}

// ---- binding through the owner ----

IHeatIntegrationScenario* HIDesignViewerScenario::FindProjectScenario(int engineType) const {
    Viewable* owner = OwnerViewable();
    IEngineeringManager* manager = owner ? CaseEngineeringManager(owner->OwnerDocument()) : nullptr;
    if (!manager) return nullptr;
    // A look-up, not a creation: a viewer whose project is gone stays unbound.
    ILurmetBaseObject* object = nullptr;
    if (!manager->FindObject(owner->GetName(), engineType, &object) || !object) return nullptr;
    IHeatIntegrationScenario* scenario = nullptr;
    void* out = nullptr;
    if (!object->QueryInterface(engineType, &out) || !out) return nullptr;
    if (engineType == IHeatIntegrationProject::ObjectType)
        static_cast<IHeatIntegrationProject*>(out)->GetScenario(GetName(), scenario);
    else
        static_cast<IHeatIntegrationTotalSite*>(out)->GetScenario(GetName(), scenario);
    return scenario;
}

bool HIDesignViewerScenario::SetVariables() {
    Viewable* owner = OwnerViewable();
    if (!owner || !owner->IsA("HIDesignViewerProjectObject")) return false;
    if (IHeatIntegrationScenario* scenario = FindProjectScenario(IHeatIntegrationProject::ObjectType)) {
        myScenario = scenario;
        SetEngineeringScenario(myScenario, 0);
    }
    return true;
}

bool HIDesignViewerScenario::SetVariablesTotalSite() {
    Viewable* owner = OwnerViewable();
    if (!owner || !owner->IsA("HIDesignViewerTotalSiteObject")) return false;
    if (IHeatIntegrationScenario* scenario = FindProjectScenario(IHeatIntegrationTotalSite::TotalSiteType)) {
        myScenario = scenario;
        SetEngineeringScenario(myScenario, 0);
    }
    return true;
}

Viewable* HIDesignViewerScenario::Parent() const {
    Viewable* owner = OwnerViewable();
    return owner && owner->IsA("HIDesignViewerProjectObject") ? owner : nullptr;
}

Viewable* HIDesignViewerScenario::ParentTotalSite() const {
    Viewable* owner = OwnerViewable();
    return owner && owner->IsA("HIDesignViewerTotalSiteObject") ? owner : nullptr;
}

// ---- the editors ----

void HIDesignViewerScenario::SetMyDefaultUtilManagerView() {
    if (myDefaultUtilManagerView) return;
    myDefaultUtilManagerView = new DefaultUtilManagerView(this);
    myDefaultUtilManagerView->AddDeathPostee(this);
    IDefaultUtilityManager* manager = nullptr;
    if (myScenario && myScenario->GetDefaultUtilityManager(manager) && manager) myDefaultUtilManagerView->SetDUM(manager);
}

void HIDesignViewerScenario::SetMyHTCDatabaseView() {
    if (myHTCDatabaseView) return;
    myHTCDatabaseView = new HTCDatabaseView(this);
    myHTCDatabaseView->AddDeathPostee(this);
    IDefaultUtilityManager* manager = nullptr;
    if (myScenario && myScenario->GetDefaultUtilityManager(manager) && manager) myHTCDatabaseView->SetDUM(manager);
}

void HIDesignViewerScenario::SetDataExtractionView(DataExtractionView* view) {
    if (view == dataExtractionView) return;
    deleteView(dataExtractionView, this);
    dataExtractionView = view;
    if (view) view->AddDeathPostee(this);
}
