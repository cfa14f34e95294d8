// View object types of the plots and target tables.
#include "views/ViewRegistration.h"
#include "views/plots/ChiSuperTargetPlot.h"
#include "views/plots/ChiTable.h"
#include "views/plots/CpiView.h"
#include "views/plots/chiHXBarPlot.h"
#include "views/plots/chiPlot.h"

void PlanPlotViewRegistrations(ViewRegistrationPlan& plan) {
    static const ViewTypeRow kRows[] = {
        {46, "chiPlotObject", "ViewableObject", "chiPlot", 0, 1, "chiPlot", 7, 0, false, &chiPlot::Create, false,
         &chiPlot::LoadVariables},
        {47, "ChiTableObject", "ViewableObject", "ChiTable", 0, 1, "chitable", 1, 0, false, &ChiTable::Create, false,
         &ChiTable::LoadVariables},
        // Read from older cases and never written: a case stored again leaves them out, so it
        // never holds a record that cannot be read back.
        {52, "cpiPlotObject", "ViewableObject", "cpiPlot", 0, 1, "cpiplot", 2, 0, false, &cpiPlot::Create, true},
        {53, "ProcessIntegrationObject", "LurmetViewObject", "CpiView", 0, 1, "cpiview", 2, 0, false, &CpiView::Create,
         true},
        {105, "ChiSuperTargetPlotObject", "ViewableObject", "ChiSuperTargetPlot", 0, 1, "chigrscenario", 3, 0, false,
         &ChiSuperTargetPlot::Create, false, &ChiSuperTargetPlot::LoadVariables},
        {106, "chiHXBarPlotObject", "ViewableObject", "chiHXBarPlot", 0, 1, "chigrdesign", chiHXBarPlot::ClassVersion, 0,
         false, &chiHXBarPlot::Create, false, &chiHXBarPlot::LoadVariables},
    };
    for (const ViewTypeRow& row : kRows) plan.AddType(row);
}
