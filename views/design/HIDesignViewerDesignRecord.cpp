// The design viewer in the case file. Version 20 writes: the total-site flag, the scenario and
// the design, the selected stream and form settings, the grid diagram, the exchanger and
// splitter views, more settings, the driving-force curves and plot, the filter parts, the bar
// chart, the event kind, the selected what-if item, the trend-analysis view and the
// operations flag. Older versions are read field by field as they were written; what they
// lack keeps a new viewer's value or is built afresh (the driving-force plot up to version 5,
// the bar chart up to version 11).
#include "brasko/CaseDocument.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/BinaryFile.h"
#include "lumeth/TwoDimPlot.h"
#include "views/EnginePointers.h"
#include "views/design/UnitViewRecordFields.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/design/HeatExchangerView.h"
#include "views/design/SplitterView.h"
#include "views/grid/HENDiagram.h"
#include "views/plots/chiHXBarPlot.h"

#include <deque>

namespace {

// Views are opened one by one by the user; a count beyond this is damage, not a newer writer.
constexpr std::int32_t kMostViews = 100000;

const ObjectTypeInfo* typeNamed(const char* name) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    return registry ? registry->Find(name) : nullptr;
}

bool readByte(BinaryFile& file, std::uint8_t& out) {
    char c = 0;
    if (!file.ReadChar(c)) return false;
    out = static_cast<std::uint8_t>(c);
    return true;
}

}  // namespace

using unit_view_record::ReadText;

bool HIDesignViewerDesign::StoreClassData(BinaryFile& file) {
    const bool totalSite = pScenario && pScenario->IsTotalSiteScenario();
    bool ok = file.WriteChar(totalSite ? 1 : 0) && StoreScenarioPointer(file, pScenario) &&
              StoreDesignPointer(file, pScenario, pDesign) && file.WriteCPString(strSelectedStream) &&
              file.WriteInt(nSetting200) && file.WriteCPString(strText208) && file.WriteInt(nSetting210) &&
              file.WriteInt(nSetting211) && file.WriteInt(nSetting212) && file.WriteInt(nSetting216) &&
              file.WriteInt(nFilterProcess) && StorePointer(file, pGridDiagram) && file.WriteInt(lstExchangerViews.Count());
    for (int i = 0; ok && i < lstExchangerViews.Count(); ++i) ok = StorePointer(file, lstExchangerViews[i]);
    ok = ok && file.WriteInt(lstSplitterViews.Count());
    for (int i = 0; ok && i < lstSplitterViews.Count(); ++i) ok = StorePointer(file, lstSplitterViews[i]);
    ok = ok && file.WriteInt(nSetting201) && file.WriteInt(nOptimizationMode) && file.WriteChar(static_cast<char>(bStoredFlag)) &&
         file.WriteInt(static_cast<std::int32_t>(lstDrivingForceSets.size()));
    for (std::size_t i = 0; ok && i < lstDrivingForceSets.size(); ++i)
        ok = file.WriteCPString(lstDrivingForceSets[i].name) && file.WriteInt(lstDrivingForceSets[i].dataSet);
    return ok && StorePointer(file, pDrivingForcePlot) && file.WriteInt(nSetting707) && file.WriteInt(nSelectedTargetPlot) &&
           file.WriteInt(nFilterHeaters) && file.WriteInt(nFilterCoolers) && file.WriteInt(nSetting412) &&
           file.WriteChar(static_cast<char>(bOption206)) && StorePointer(file, pBarChart) && file.WriteInt(nSetting203) &&
           file.WriteInt(nEventKind) && StorePointer(file, pSelectedItemView) && StorePointer(file, pTrendAnalysisView) &&
           file.WriteChar(static_cast<char>(bOperationsMode));
}

bool HIDesignViewerDesign::RecallClassData(BinaryFile& file, int v) {
    bRecalled = 1;
    recallVersion = v;
    recalled = std::make_unique<RecalledLinks>();
    RecalledLinks& links = *recalled;
    IEngineeringManager* manager = CaseEngineeringManager2(this);
    char totalSite = 0;
    if (v >= 20 && !file.ReadChar(totalSite)) return false;
    const bool pointers = totalSite ? RecallScenarioTotalSitePointer(file, manager, pScenario) &&
                                          RecallDesignTotalSitePointer(file, manager, pDesign)
                                    : RecallScenarioPointer(file, manager, pScenario) &&
                                          RecallDesignPointer(file, manager, pDesign);
    if (!pointers) return false;
    // The binding below subscribes to the design; until then the viewer hears nothing of it.
    IHENDesign* design = pDesign;
    pDesign = nullptr;
    std::int32_t count = 0;
    if (!ReadText(file, strSelectedStream) || !file.ReadInt(nSetting200) || !ReadText(file, strText208) ||
        !file.ReadInt(nSetting210) || !file.ReadInt(nSetting211) || !file.ReadInt(nSetting212) ||
        !file.ReadInt(nSetting216) || !file.ReadInt(nFilterProcess) ||
        !RecallPointerX(file, links.gridDiagram, typeNamed(HENDiagram::TypeName)))
        return false;
    auto readViews = [&](std::deque<Viewable*>& into, const char* type) {
        if (!file.ReadItemCount(count) || count > kMostViews) return false;
        for (std::int32_t i = 0; i < count; ++i) {
            into.push_back(nullptr);
            if (!RecallPointerX(file, into.back(), typeNamed(type))) return false;
        }
        return true;
    };
    if (!readViews(links.exchangerViews, "HeatExchangerViewObject") || !readViews(links.splitterViews, "SplitterViewObject"))
        return false;
    if (v < 2 && !readViews(links.droppedViews, "ViewableObject")) return false;
    if (v > 2 && !file.ReadInt(nSetting201)) return false;
    if (v > 3 && !file.ReadInt(nOptimizationMode)) return false;
    if (v <= 3) nOptimizationMode = 1;
    if (v > 4) {
        std::uint8_t dropped = 0;
        if (v >= 5 && v <= 9 && !readByte(file, dropped)) return false;
        if (!readByte(file, bStoredFlag)) return false;
    }
    if (v > 5) {
        if (!file.ReadItemCount(count) || count > kMostViews) return false;
        std::vector<DrivingForceSet> sets;
        for (std::int32_t i = 0; i < count; ++i) {
            DrivingForceSet set;
            if (!ReadText(file, set.name) || !file.ReadInt(set.dataSet)) return false;
            sets.push_back(set);
        }
        lstDrivingForceSets = std::move(sets);
        if (!RecallPointerX(file, links.drivingForcePlot, typeNamed("TwoDimPlotObject"))) return false;
    }
    SetEngineeringDesign(design, true);
    if (v <= 5 && design) {
        // Older viewers kept no curves: every exchanger of the design gets one.
        lstDrivingForceSets.clear();
        BuildDrivingForcePlot();
        CNode* unit = nullptr;
        for (int i = 0; i < design->GetNumberOfHeatExchangers(); ++i)
            if (design->GetHeatExchanger(i, unit) && unit) AddDrivingForceCurve(UnitName(unit));
    }
    if (v > 6 && (!file.ReadInt(nSetting707) || !file.ReadInt(nSelectedTargetPlot) || !file.ReadInt(nFilterHeaters) ||
                  !file.ReadInt(nFilterCoolers)))
        return false;
    if (v > 7 && !file.ReadInt(nSetting412)) return false;
    if (v > 10 && !readByte(file, bOption206)) return false;
    if (v > 11) {
        if (!RecallPointerX(file, links.barChart, typeNamed(chiHXBarPlot::TypeName))) return false;
    } else {
        BuildBarChart();
    }
    std::int32_t dropped = 0;
    if (v > 12 && !file.ReadInt(nSetting203)) return false;
    if (v >= 14 && v <= 18 && !file.ReadInt(dropped)) return false;
    if (v > 14) {
        if (!file.ReadInt(nEventKind)) return false;
        if (v >= 15 && v <= 18 && !file.ReadInt(dropped)) return false;
    }
    if (v >= 16 && v <= 18) {
        links.droppedViews.push_back(nullptr);
        if (!RecallPointerX(file, links.droppedViews.back(), nullptr)) return false;
    }
    if (v > 18 && !RecallPointerX(file, links.selectedItem, nullptr)) return false;
    if (v > 16 && !RecallPointerX(file, links.trendAnalysis, typeNamed("TrendAnalysisViewObject"))) return false;
    if (v > 17 && !readByte(file, bOperationsMode)) return false;
    return true;
}

// The links are filled now: the recalled children take their places.
bool HIDesignViewerDesign::CheckRecalledPointers() {
    if (!recalled) return true;
    RecalledLinks& links = *recalled;
    if (links.gridDiagram && links.gridDiagram != pGridDiagram && links.gridDiagram->IsA(HENDiagram::TypeName)) {
        ReplaceGridDiagram(static_cast<HENDiagram*>(links.gridDiagram));
        if (pDesign) pGridDiagram->SetDesign(pDesign);
    }
    auto adopt = [&](const std::deque<Viewable*>& from, HVector<Viewable*>& to, const char* type) {
        for (Viewable* view : from)
            if (view && view->IsA(type) && to.Find(view) < 0) {
                to.Append(view);
                view->AddDeathPostee(this);
            }
    };
    adopt(links.exchangerViews, lstExchangerViews, "HeatExchangerViewObject");
    adopt(links.splitterViews, lstSplitterViews, "SplitterViewObject");
    for (Viewable* view : lstExchangerViews)
        if (auto* x = dynamic_cast<HeatExchangerView*>(view)) IndexEquipmentView(x->GetNode(), view);
    for (Viewable* view : lstSplitterViews)
        if (auto* split = dynamic_cast<SplitterView*>(view)) IndexEquipmentView(split->GetSplitter(), view);
    if (links.barChart && links.barChart != pBarChart && links.barChart->IsA(chiHXBarPlot::TypeName)) {
        if (chiHXBarPlot* built = pBarChart) {
            pBarChart = nullptr;
            built->RemoveDeathPostee(this);
            delete built;
        }
        pBarChart = static_cast<chiHXBarPlot*>(links.barChart);
        pBarChart->AddDeathPostee(this);
    }
    if (links.trendAnalysis && links.trendAnalysis->IsA("TrendAnalysisViewObject") && !pTrendAnalysisView) {
        pTrendAnalysisView = links.trendAnalysis;
        pTrendAnalysisView->AddDeathPostee(this);
    }
    if (links.selectedItem && links.selectedItem != this && !pSelectedItemView) {
        pSelectedItemView = links.selectedItem;
        pSelectedItemView->AddDeathPostee(this);
    }
    // An item of a design whose operation is locked falls back to the event summary list.
    if (!pSelectedItemView && pEventSummaryView && pDesign && pDesign->GetOperationLocked() && recallVersion >= 16) {
        pSelectedItemView = pEventSummaryView;
        pSelectedItemView->AddDeathPostee(this);
    }
    return true;
}

bool HIDesignViewerDesign::RecallFixUp() {
    std::unique_ptr<RecalledLinks> links = std::move(recalled);
    // The view that versions 16 to 18 kept in place of the selection is not kept.
    if (links)
        for (Viewable* view : links->droppedViews)
            if (view && view != this && view != pGridDiagram && view != static_cast<Viewable*>(pBarChart) &&
                view->GetParent() == this)
                delete view;
    // Plots are not stored: the curves come back under the numbers the forms know them by.
    if (!pDrivingForcePlot) BuildDrivingForcePlot();
    MakeTrendAnalysisView();
    if (recallVersion < 9) return pDesign && pDesign->Activate(1) != 0;
    return true;
}
