// The design viewer's frame: construction, binding to a design, the child views and their
// names, the selection of what-if items, dead children and destruction.
#include "views/design/HIDesignViewerDesign.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/TwoDimPlot.h"
#include "lumeth/VarEnumInfo.h"
#include "pellin/StreamNodes.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/HeatExchangerView.h"
#include "views/design/SplitterView.h"
#include "views/design/whatif/ScheduleItemViews.h"
#include "views/grid/HENDiagram.h"
#include "views/plots/chiHXBarPlot.h"

namespace {

bool isType(const Text& asked, const char* typeName) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    const ObjectTypeInfo* type = registry ? registry->Find(asked) : nullptr;
    return type && type->IsA(typeName);
}

template <typename E>
int positionOf(const HVector<E>& list, const void* view) {
    for (int i = 0; i < list.Count(); ++i)
        if (static_cast<const void*>(list[i]) == view) return i;
    return -1;
}

}  // namespace

const std::vector<int>& HIDesignViewerDesign::SubscribedCodes() {
    static const std::vector<int> codes{1, 2, 5, 60, 61, 62, 64, 6, 74, 32, 8, 9, 12, 100, 112};
    return codes;
}

HIDesignViewerDesign::HIDesignViewerDesign(Viewable* parent, const Text& name, const ObjectTypeInfo* type)
    : Viewable(parent, type) {
    SetName(name);
    InitCommon();
}

void HIDesignViewerDesign::InitCommon() {
    pPriorityEnum = std::make_unique<VarEnumInfo>();
    pPriorityEnum->AddEntry(0, "High");
    pPriorityEnum->AddEntry(1, "Medium");
    pPriorityEnum->AddEntry(3, "Low");
    pPriorityEnum->AddEntry(4, "None");
}

void HIDesignViewerDesign::Unbind() {
    if (pDesign) pDesign->RemoveNotificationReceiver(this);
}

HIDesignViewerDesign::~HIDesignViewerDesign() {
    Unbind();
    // The selected item may be one of the children deleted below (the event summary itself): it is
    // forgotten first, while it is alive.
    if (pSelectedItemView) pSelectedItemView->RemoveDeathPostee(this);
    pSelectedItemView = nullptr;
    pDesign = nullptr;
    if (HENDiagram* diagram = pGridDiagram) {
        pGridDiagram = nullptr;
        diagram->RemoveDeathPostee(this);
        delete diagram;
    }
    // The exchanger and splitter views are the viewer's children: the framework deletes them
    // with it; here the viewer only stops listening to them.
    for (Viewable* view : lstExchangerViews) view->RemoveDeathPostee(this);
    for (Viewable* view : lstSplitterViews) view->RemoveDeathPostee(this);
    lstExchangerViews.Clear();
    lstSplitterViews.Clear();
    equipmentViews.clear();
    equipmentNodes.clear();
    pStreamNameEnum.reset();
    delete pDrivingForcePlot;
    pDrivingForcePlot = nullptr;
    if (chiHXBarPlot* chart = pBarChart) {
        pBarChart = nullptr;
        chart->RemoveDeathPostee(this);
        delete chart;
    }
    pEnum240.reset();
    lstDrivingForceSets.clear();
    pPriorityEnum.reset();
    for (Viewable** slot : {&pTrendAnalysisView, &pStateView, &pEventSummaryView, &pEventPlanner}) {
        Viewable* view = *slot;
        *slot = nullptr;
        if (!view) continue;
        view->RemoveDeathPostee(this);
        delete view;
    }
    pEventTargets.clear();
    if (pSelectedItemView) pSelectedItemView->RemoveDeathPostee(this);
    pSelectedItemView = nullptr;
    crossPinchOrder.clear();
}

// ---- binding ----

void HIDesignViewerDesign::SetEngineeringDesign(IHENDesign* design, bool recalledViewer) {
    if (pDesign && pDesign != design) Unbind();
    pDesign = design;
    if (!design) return;
    if (design->AddNotificationReceiver(this))
        for (int code : SubscribedCodes()) design->AddValidMessage(this, code);
    if (pGridDiagram) pGridDiagram->SetDesign(design);
    // The retrofit mode is not stored with the viewer: a reopened one, or one first opened on a
    // case a retrofit run was saved in, takes that of the run the case kept for its design, whose
    // newest result it reports on and may delete.
    if (pScenario)
        if (const int mode = pScenario->GetRetrofitRunMode(design); mode >= 0) nRetrofitMode = mode;
    // The schedule list is not stored: a recalled viewer makes it again too.
    MakeEventSummary();
    if (recalledViewer) return;
    // A design read with its studies has no notice 100 to come: its trend view is made now (a
    // recalled viewer reads its own, or makes it in the fix-up).
    MakeTrendAnalysisView();
    BuildDrivingForcePlot();
    BuildBarChart();
    CNode* unit = nullptr;
    for (int i = 0; i < design->GetNumberOfHeatExchangers(); ++i)
        if (design->GetHeatExchanger(i, unit) && unit) AddDrivingForceCurve(UnitName(unit));
}

void HIDesignViewerDesign::ReplaceGridDiagram(HENDiagram* diagram) {
    HENDiagram* old = pGridDiagram;
    pGridDiagram = diagram;
    if (old && old != diagram) {
        old->RemoveDeathPostee(this);
        delete old;
    }
    if (diagram) diagram->AddDeathPostee(this);
}

void HIDesignViewerDesign::BuildBarChart() {
    if (chiHXBarPlot* old = pBarChart) {
        pBarChart = nullptr;
        old->RemoveDeathPostee(this);
        delete old;
    }
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    const ObjectTypeInfo* type = registry ? registry->Find(chiHXBarPlot::TypeName) : nullptr;
    if (!type) return;
    pBarChart = new chiHXBarPlot(type, this, pDesign, this);
    pBarChart->AddDeathPostee(this);
    pBarChart->ConstructPlot();
}

// ---- children ----

void HIDesignViewerDesign::IndexEquipmentView(const CNode* node, Viewable* view) {
    if (!node || !view || equipmentViews.count(node)) return;
    equipmentViews[node] = view;
    equipmentNodes[view] = node;
}

HIDesignViewerScenario* HIDesignViewerDesign::GetOwningScenarioViewer() const {
    Viewable* owner = OwnerViewable();
    return owner && owner->IsA(HIDesignViewerScenario::TypeName) ? static_cast<HIDesignViewerScenario*>(owner) : nullptr;
}

void HIDesignViewerDesign::SelectInOwnerScenario(Viewable* selected) {
    if (!selected || !selected->IsA(TypeName)) return;
    if (HIDesignViewerScenario* scenarioViewer = GetOwningScenarioViewer()) scenarioViewer->SetSelectedObject(this);
}

Viewable* HIDesignViewerDesign::GetEquipmentView(CNode* node) {
    if (!node) return nullptr;
    const CPString& kind = node->getClassName();
    if (node->isExchangerKind() || kind == "ppTee" || kind == "ppMixer") {
        const bool exchanger = node->isExchangerKind();
        CNode* key = exchanger ? node : SplitterView::SplitterOf(node);
        if (!key) return nullptr;  // a mixer without its tee
        if (auto it = equipmentViews.find(key); it != equipmentViews.end()) return it->second;
        const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
        const ObjectTypeInfo* type =
            registry ? registry->Find(exchanger ? HeatExchangerView::TypeName : SplitterView::TypeName) : nullptr;
        if (!type) return nullptr;
        if (exchanger) {
            auto* view = new HeatExchangerView(this, pDesign, type, node);
            view->AddDeathPostee(this);
            lstExchangerViews.Append(view);
            IndexEquipmentView(key, view);
            // The neighbours' views are made as they are met; each finds this one in the index.
            view->EstablishConnections();
            return view;
        }
        auto* view = new SplitterView(this, pDesign, type, node);
        view->AddDeathPostee(this);
        lstSplitterViews.Append(view);
        IndexEquipmentView(key, view);
        view->EstablishConnections();
        return view;
    }
    if (kind != "ppMaterialStream") return nullptr;
    auto* segment = dynamic_cast<StreamPiece*>(node);
    auto* stream = segment ? dynamic_cast<IHeatIntegrationStream*>(segment->getParentPIStream()) : nullptr;
    HIDesignViewerScenario* owner = GetOwningScenarioViewer();
    return stream && owner ? owner->GetSegmentTableView(stream) : nullptr;
}

Viewable* HIDesignViewerDesign::AttachedObject(const VarDescription& var) {
    if (var.Flags() & VarDescription::FlagSelf) return this;
    if (!var.IsObjectLink()) return Viewable::AttachedObject(var);
    const Text& asked = var.ObjectType();
    const int number = var.Number(), index = var.Offset(0);
    Viewable* found = nullptr;
    bool answered = true;
    if (isType(asked, HENDiagram::TypeName) || asked == "HENDiagram") {
        found = pGridDiagram;
    } else if (asked == "ViewableObject" && (number == 398 || number == 399)) {
        found = pSelectedItemView;
    } else if (asked == "ScheduleTypeViewObject" || asked == "ScheduleTypeView") {
        if (number == 301) found = pEventSummaryView;
        else answered = false;
    } else if (asked == "HeatExchangerViewObject" || asked == "HeatExchangerView") {
        if (number == 200) {
            found = index >= 0 && index < lstExchangerViews.Count() ? lstExchangerViews[index] : nullptr;
        } else if (number == 400 && pDesign) {
            CNode* unit = nullptr;
            if (nExchangerListMode == 0) unit = pDesign->GetIncompleteHeatExchanger(nCurrentExchangerRow);
            else if (nExchangerListMode == 1) pDesign->GetHeatExchanger(nCurrentExchangerRow, unit);
            found = GetEquipmentView(unit);
        }
    } else if (asked == "SplitterViewObject" || asked == "SplitterView") {
        found = index >= 0 && index < lstSplitterViews.Count() ? lstSplitterViews[index] : nullptr;
    } else if (asked == "HeatIntegrationObject") {
        found = OwnerViewable("HeatIntegrationObject");
    } else if (number == 200 && index == 1 && (asked == "TwoDimPlotNTW" || asked == "TwoDimPlotObject")) {
        found = pDrivingForcePlot;
        answered = found != nullptr;
    } else if (number == 200 && index == 1 && isType(asked, chiHXBarPlot::TypeName)) {
        found = pBarChart;
    } else if (number == 200 && index == 1 && (asked == "HENStateViewObject" || asked == "HENStateView")) {
        found = pStateView;
    } else if (number == 200 && index == 1 && (asked == "TrendAnalysisViewObject" || asked == "TrendAnalysisView")) {
        found = pTrendAnalysisView;
        answered = found != nullptr;
    } else if (isType(asked, "SegmentTableObject") && number == 400 && pDesign) {
        IHeatIntegrationStream* stream = nullptr;
        if (nStreamListMode == 0) stream = pDesign->GetUnsatisfiedProcessStream(nCurrentStreamRow);
        else if (nStreamListMode == 1) stream = pDesign->GetProcessStream(nCurrentStreamRow);
        if (stream) pCurrentStream = stream;
        if (HIDesignViewerScenario* owner = GetOwningScenarioViewer(); owner && stream) owner->ShowSegmentTable(stream);
        return nullptr;
    } else if (asked == "ViewableObject" && number == 299) {
        found = this;
    } else {
        answered = false;
    }
    if (!answered) return Viewable::AttachedObject(var);
    const VarDescription* next = var.GetNextLink();
    return found && next ? found->AttachedObject(*next) : found;
}

int HIDesignViewerDesign::AttachObject(const VarDescription& var, Viewable* object) {
    if (!var.IsObjectLink() || var.ObjectType() != "ViewableObject" || var.Number() != 398)
        return Viewable::AttachObject(var, object);
    // Only a change of selection from one item to another: a viewer with no item selected has
    // no schedule list to select in.
    if (!pSelectedItemView || pSelectedItemView == object) return 0;
    if (!IsWatchedChild(pSelectedItemView)) pSelectedItemView->RemoveDeathPostee(this);
    pSelectedItemView = object;
    if (!object) return 1;
    object->AddDeathPostee(this);
    MakeSelectionCurrent(object);
    return 1;
}

Text HIDesignViewerDesign::AttachedName(const Viewable* child) const {
    if (!child) return Viewable::AttachedName(child);
    Text name;
    if (child == pGridDiagram) {
        name = FormattedText("HENDiagram.200(%s)", VarDescription::EscapeChildName(child->GetName()).c_str());
    } else if (child->IsA("HeatExchangerViewObject") && positionOf(lstExchangerViews, child) >= 0) {
        name = FormattedText("HeatExchangerView.200.%d(%s)", positionOf(lstExchangerViews, child),
                             VarDescription::EscapeChildName(child->GetName()).c_str());
    } else if (child->IsA("SplitterViewObject") && positionOf(lstSplitterViews, child) >= 0) {
        name = FormattedText("SplitterView.200.%d(%s)", positionOf(lstSplitterViews, child),
                             VarDescription::EscapeChildName(child->GetName()).c_str());
    } else if (child == pDrivingForcePlot) {
        name = "TwoDimPlotNTW.200.1";
    } else if (child == pBarChart) {
        name = "chiHXBarPlot.200.1";
    } else if (child->IsA("ScheduleTypeViewObject")) {
        name = FormattedText("ScheduleTypeView.301(%s)", VarDescription::EscapeChildName(child->GetName()).c_str());
    } else if (child == pStateView) {
        // The state view's type has no class name of its own: its link goes by the type name,
        // so that the path read back finds it.
        name = "HENStateViewObject.200.1";
    } else if (child == pTrendAnalysisView) {
        name = "TrendAnalysisView.200.1";
    }
    return name.empty() ? Viewable::AttachedName(child) : name;
}

void HIDesignViewerDesign::DisconnectDeadObject(Viewable* dead) {
    // The dying view's own class is already gone: it is compared by address only.
    if (dead == pGridDiagram) pGridDiagram = nullptr;
    if (dead == static_cast<const void*>(pBarChart)) pBarChart = nullptr;
    if (dead == pDrivingForcePlot) pDrivingForcePlot = nullptr;
    lstExchangerViews.RemoveAllAt(dead);
    lstSplitterViews.RemoveAllAt(dead);
    if (auto it = equipmentNodes.find(dead); it != equipmentNodes.end()) {
        equipmentViews.erase(it->second);
        equipmentNodes.erase(it);
    }
    if (dead == pTrendAnalysisView) pTrendAnalysisView = nullptr;
    if (dead == pStateView) pStateView = nullptr;
    if (dead == pEventSummaryView) pEventSummaryView = nullptr;
    if (dead == pCurrentScheduleView) pCurrentScheduleView = nullptr;
    if (dead == pEventPlanner) pEventPlanner = nullptr;
    if (dead == pSelectedItemView) pSelectedItemView = nullptr;
    Viewable::DisconnectDeadObject(dead);
}
