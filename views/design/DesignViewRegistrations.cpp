// View object types of the design views.
#include "views/ViewRegistration.h"
#include "views/case/HIDesign.h"
#include "views/case/project/GrassRootViewers.h"
#include "views/design/EventPlanner.h"
#include "views/design/HENStateView.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/design/HeatExchangerView.h"
#include "views/design/SplitterView.h"
#include "views/design/whatif/ScheduleTypeView.h"
#include "views/design/whatif/StudyEventNodeViews.h"
#include "views/design/whatif/StudyNodeView.h"
#include "views/design/whatif/TrendAnalysisNodeView.h"
#include "views/design/whatif/TrendAnalysisView.h"

void PlanDesignViewRegistrations(ViewRegistrationPlan& plan) {
    static const ViewTypeRow kRows[] = {
        // The scenario viewer makes a design viewer for each design; it is stored with its
        // grid diagram and bar chart.
        {78, "HIDesignViewerDesignObject", "ViewableObject", "HIDesignViewerDesign", 1, 1, "", HIDesignViewerDesign::ClassVersion,
         0, false, &HIDesignViewerDesign::Create, false, &HIDesignViewerDesign::LoadVariables},
        // The design viewer makes an exchanger or splitter view for each unit the user opens.
        {93, "HeatExchangerViewObject", "ViewableObject", "HeatExchangerView", 0, 1, "hexunit",
         HeatExchangerView::ClassVersion, 0, false, &HeatExchangerView::Create, false, &HeatExchangerView::LoadVariables},
        {94, "SplitterViewObject", "ViewableObject", "SplitterView", 0, 1, "spltunit", SplitterView::ClassVersion, 0, false,
         &SplitterView::Create, false, &SplitterView::LoadVariables},
        // The single-scenario case view makes its design view again when it is bound.
        {99, "HIDesignObject", "HIDesignViewerDesignObject", "HIDesign", 0, 1, "hidesign", 1, 0, false, &HIDesign::Create,
         true, &HIDesign::DescribeForm},
        // The design viewer of a grass-root scenario: its record is the design viewer's.
        {101, "HIDesignViewerGrassRootDesignObject", "HIDesignViewerDesignObject", "HIDesignViewerGrassRootDesign", 0, 1,
         "chigrdesign", 0, 40, true, &HIDesignViewerGrassRootDesign::Create},
        // The state view has no record: it shows a state of the design while the design viewer
        // holds it, and a saved case leaves it out.
        {107, "HENStateViewObject", "ViewableObject", "", 0, -1, "chihenstate", 0, 0, false, nullptr, true,
         &HENStateView::LoadVariables},
        // The what-if views: the trend-analysis view is stored; its tree and the schedule lists
        // are made again from the design.
        {108, "TrendAnalysisViewObject", "ViewableObject", "TrendAnalysisView", 0, 1, "trendanalysis",
         TrendAnalysisView::ClassVersion, 0, false, &TrendAnalysisView::Create, false, &TrendAnalysisView::LoadVariables},
        {115, "TrendNodeViewObject", "ViewableObject", "TrendAnalysisNodeView", 0, -1, "trendnode", 0, 0, false, nullptr, true,
         &TrendAnalysisNodeView::LoadVariables},
        {116, "StudyNodeViewObject", "ViewableObject", "StudyNodeView", 0, -1, "studynode", 0, 0, false, nullptr, true,
         &StudyNodeView::LoadVariables},
        {117, "EventNodeViewObject", "ViewableObject", "EventNodeView", 0, -1, "EventNode", 0, 0, false, nullptr, true,
         &EventNodeView::LoadVariables},
        {118, "SpecialEventNodeViewObject", "ViewableObject", "SpecialEventNodeView", 0, -1, "SpecialEventNode", 0, 0, false,
         nullptr, true, &SpecialEventNodeView::LoadVariables},
        {131, "ScheduleTypeViewObject", "ViewableObject", "ScheduleTypeView", 0, -1, "schdltype", 0, 0, false, nullptr, true,
         &ScheduleTypeView::LoadVariables},
        {132, "ScheduleItemViewObject", "ViewableObject", "ScheduleItemView", 0, -1, "schdlitem", 0, 0, false, nullptr, true,
         &ScheduleItemView::LoadVariables},
        {133, "EventItemViewObject", "ViewableObject", "EventItemView", 0, -1, "eventitem", 0, 0, false, nullptr, true,
         &EventItemView::LoadVariables},
        // The event planner's record holds nothing of its own: plans live in plan files.
        {137, "EventPlannerObject", "ViewableObject", "EventPlanner", 0, 1, "EventPlanner", EventPlanner::ClassVersion, 0,
         false, &EventPlanner::Create, false, &EventPlanner::LoadVariables},
    };
    for (const ViewTypeRow& row : kRows) plan.AddType(row);
}
