// View object types of the case, project and scenario views.
#include "views/ViewRegistration.h"
#include "views/case/CPIDesignViewerDesign.h"
#include "views/case/ChiView.h"
#include "views/case/CloneHIScenarioTool.h"
#include "views/case/DataExtractionView.h"
#include "views/case/HITargeting.h"
#include "views/case/project/GrassRootViewers.h"
#include "views/case/project/TotalSiteUtilManagerView.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/case/streams/LegacyStreamViews.h"
#include "views/case/streams/LinkTable.h"
#include "views/case/streams/LinkTableCollection.h"
#include "views/case/streams/SegmentTable.h"

namespace {
// The pop-up is a bare view: the host opens its form "chipopup" on it.
Viewable* createPopUp(ObjectInstanceInfo& info) { return new Viewable(info); }
}  // namespace

void PlanCaseViewRegistrations(ViewRegistrationPlan& plan) {
    static const ViewTypeRow kRows[] = {
        {48, "HeatIntegrationObject", "LurmetViewObject", "ChiView", 1, 1, "", 0, 0, false, &ChiView::Create, false,
         &ChiView::DescribeForm},
        {49, "HeatIntegrationTotalSiteObject", "LurmetViewObject", "ChiTotalSiteView", 1, 1, "", 0, 0, false,
         &ChiTotalSiteView::Create, false, &ChiTotalSiteView::DescribeForm},
        // The clone tool is open only while the user works with it, and the earlier design view is
        // read from older cases only: neither is written, so a case holding one still saves.
        {50, "CloneHIScenarioToolObject", "ViewableObject", "CloneHIScenarioTool", 0, 1, "clonehiscenariotool", 0, 0, false,
         nullptr, false, &CloneHIScenarioTool::DescribeForm, true},
        {51, "CPIDesignViewerDesignObject", "DesignViewerDesignObject", "CPIDesignViewerDesign", 0, 1, "", 0, 0, false,
         &CPIDesignViewerDesign::Create, false, nullptr, true},
        // Read from older cases and never written: a case stored again leaves them out, so it
        // never holds a record that cannot be read back.
        {73, "HenEngObject", "ViewableObject", "HenEngData", 0, 1, "", 0, 0, false, &HenEngData::Create, true},
        {80, "HIDesignViewerProjectObject", "ViewableObject", "HIDesignViewerProject", 1, 1, "", 2, 0, false,
         &HIDesignViewerProject::Create, false, &HIDesignViewerProject::DescribeForm},
        {82, "HIDesignViewerTotalSiteObject", "ViewableObject", "HIDesignViewerTotalSite", 1, 1, "", 2, 0, false,
         &HIDesignViewerTotalSite::Create, false, &HIDesignViewerTotalSite::DescribeForm},
        {86, "HIDesignViewerScenarioObject", "ViewableObject", "HIDesignViewerScenario", 1, 1, "", 24, 0, false,
         &HIDesignViewerScenario::Create, false, &HIDesignViewerScenario::DescribeForm},
        // The scenario viewer rebuilds its utility name views from the scenario's utilities.
        {87, "UtilityNameViewObject", "ViewableObject", "UtilityNameView", 0, -1, "", 0, 0, false, nullptr, true},
        {89, "HITargetingObject", "HIDesignViewerScenarioObject", "HITargeting", 0, 1, "chitargeting", 1, 10, true,
         &HITargeting::Create, false, &HITargeting::DescribeForm},
        {90, "ProcessStreamObject", "ViewableObject", "ProcessStream", 0, 1, "ProcStrm", 3, 0, false, &ProcessStream::Create,
         true},
        {91, "SegmentTableObject", "ViewableObject", "SegmentTable", 0, 1, "segtable", SegmentTable::ClassVersion, 0, false, &SegmentTable::Create,
         false, &SegmentTable::LoadVariables},
        {92, "TotalSiteUtilManagerViewObject", "ViewableObject", "TotalSiteUtilManagerView", 0, 1, "tsutilityDefaults", 1, 0, false,
         &TotalSiteUtilManagerView::Create, false, &TotalSiteUtilManagerView::DescribeForm},
        {96, "HeatIntegrationGrassRootObject", "HeatIntegrationObject", "ChiGrassRootView", 0, 1, "chigrassview", 0, 0, false, &ChiGrassRootView::Create},
        {97, "HeatIntegrationGrassRootTotalSiteObject", "HeatIntegrationTotalSiteObject", "ChiGrassRootTotalSiteView", 0, 1, "chigrasstsview", 0, 0, false, &ChiGrassRootTotalSiteView::Create},
        {98, "chiPopUpObject", "ViewableObject", "chiPopUp", 0, 1, "chipopup", 1, 0, false, &createPopUp},
        {100, "HIDesignViewerGrassRootScenarioObject", "HIDesignViewerScenarioObject", "HIDesignViewerGrassRootScenario", 0, 1, "chigrscenario", 1, 30, true,
         &HIDesignViewerGrassRootScenario::Create},
        {102, "HIDesignViewerGrassRootProjectObject", "HIDesignViewerProjectObject", "HIDesignViewerGrassRootProject", 0, 1, "chigrproject", 0, 20, true,
         &HIDesignViewerGrassRootProject::Create},
        {103, "HIDesignViewerGrassRootTotalSiteObject", "HIDesignViewerTotalSiteObject", "HIDesignViewerGrassRootTotalSite", 0, 1, "chigrtotalsite", 0, 20, true,
         &HIDesignViewerGrassRootTotalSite::Create},
        {104, "DataExtractionViewObject", "ViewableObject", "DataExtractionView", 0, 1, "extractionconfig",
         DataExtractionView::ClassVersion, 0, false, &DataExtractionView::Create, false, &DataExtractionView::DescribeForm},
        {134, "LinkTableObject", "ViewableObject", "LinkTable", 0, 1, "linktable", 1, 0, false, &LinkTable::Create, false,
         &LinkTable::LoadVariables},
        {135, "LinkTableCollectionObject", "ViewableObject", "LinkTableCollection", 0, 1, "", 1, 0, false,
         &LinkTableCollection::Create, false, &LinkTableCollection::LoadVariables},
    };
    for (const ViewTypeRow& row : kRows) plan.AddType(row);
}
