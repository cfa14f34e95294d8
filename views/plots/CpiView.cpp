#include "views/plots/CpiView.h"

#include "brasko/CaseDocument.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/Session.h"
#include "views/EnginePointers.h"

#include <algorithm>

namespace {

const ObjectTypeInfo* typeNamed(const char* name) {
    const ObjectTypeRegistry* types = ObjectTypeRegistry::Current();
    return types ? types->Find(name) : nullptr;
}

// A link to a view of a type the registry may not know: any view then.
bool recallLink(BinaryFile& file, Viewable*& slot, const char* type) {
    return Viewable::RecallPointerX(file, slot, typeNamed(type));
}

struct SuperTargetQuantity {
    const char* variable;
    const char* caption;
};
constexpr SuperTargetQuantity kSuperTargetQuantities[] = {
    {":Temperature.300.[]", "DeltaTmin"},
    {":HeatFlow.300.[]", "Hot Utility Target"},
    {":HeatFlow.301.[]", "Cold Utility Target"},
    {":Area.300.[]", "Countercurrent Area Target"},
    {":Area.301.[]", "Shell And Tube Area Target"},
    {":NMer.300.[]", "MER Units Target"},
    {":NumberOfShells.300.[]", "Shell Target"},
    {":Cost.300.[]", "Capital Cost Target"},
    {":CostPerTime.300.[]", "Operating Cost Target"},
    {":CostPerTime.301.[]", "Total Cost Target"},
    {":Unknown.0", "Super Target None"},
};

bool isSuperTargetQuantity(int q) { return q >= SuperTargetDTmin && q <= SuperTargetNone; }

void deletePlot(TwoDimPlot*& plot) {
    TwoDimPlot* p = plot;
    plot = nullptr;
    delete p;
}

}  // namespace

// ---- cpiPlot ----

cpiPlot::cpiPlot(ObjectInstanceInfo& info) : Viewable(info) {}

cpiPlot::~cpiPlot() {
    DeletePlotParameters(m_pPlotParameters);
    deletePlot(m_pPlot);
}

// Nothing is written: the view is read from older cases only.
bool cpiPlot::StoreClassData(BinaryFile&) { return true; }

bool cpiPlot::RecallClassData(BinaryFile& file, int version) {
    char flag = 0;
    std::int32_t number = 0;
    if (!file.ReadChar(flag) || !RecallPlotParameters(file, m_pPlotParameters, this) ||
        !RecallScenarioPointer(file, CaseEngineeringManager2(this), m_pScenario) ||
        !recallLink(file, m_pOwner, "HenEngObject") || !file.ReadInt(number))
        return false;
    m_bFlag = flag != 0;
    m_nNumber = number;
    return version < 2 || RecallPointerX(file, m_pRecalledPlot, nullptr);
}

void cpiPlot::DisconnectDeadObject(Viewable* dead) {
    if (dead == m_pPlot) m_pPlot = nullptr;
    if (dead == m_pOwner) m_pOwner = nullptr;
    if (dead == m_pRecalledPlot) m_pRecalledPlot = nullptr;
    Viewable::DisconnectDeadObject(dead);
}

// ---- CpiView ----

CpiView::CpiView(ObjectInstanceInfo& info) : Viewable(info) {
    for (auto& e : m_enums) e = std::make_unique<VarEnumInfo>();
    m_enums[0]->AddEntry(0.0, "Default");
}

CpiView::~CpiView() {
    Message("CloseView");
    deletePlot(m_pPlot);
    DeletePlotParameters(m_pPlotParameters);
    for (auto& e : m_enums) e.reset();
    // The array's views go with the view. Each is taken out before it is deleted, and a view
    // whose death takes another one with it takes that one out too (DisconnectDeadObject).
    while (!m_engineViews.empty()) {
        Viewable* v = m_engineViews.back();
        m_engineViews.pop_back();
        delete v;
    }
}

// Nothing is written: the view is read from older cases only.
bool CpiView::StoreClassData(BinaryFile&) { return true; }

bool CpiView::RecallClassData(BinaryFile& file, int version) {
    m_nRecallVersion = version;
    IEngineeringManager* manager = CaseEngineeringManager2(this);
    bool ok = true;
    for (int i = 0; ok && i < 4; ++i) ok = RecallPointerX(file, m_pLinked[i], nullptr);
    ok = ok && recallLink(file, m_pLinked[4], "CPIDesignViewerDesignObject") && RecallPointerX(file, m_pLinked[5], nullptr) &&
         recallLink(file, m_pEngineView, "HenEngObject") && recallLink(file, m_pDiagram, "HENDiagramObject") &&
         RecallScenarioPointer(file, manager, m_pScenario) && RecallDesignPointer(file, manager, m_pDesign);
    CPString text;
    ok = ok && file.ReadCPString(text);
    if (ok) m_strText = text;
    for (int i = 0; ok && i < 8; ++i) {
        std::int32_t n = 0;
        ok = file.ReadInt(n);
        m_nNumbers[i] = n;
    }
    std::int32_t x = 0, left = 0, right = 0, count = 0;
    ok = ok && file.ReadInt(x) && file.ReadInt(left) && file.ReadInt(right) && file.ReadItemCount(count);
    if (ok) {
        m_nX = x, m_nLeft = left, m_nRight = right;
        // The slots must stay where they are until the links are filled in.
        m_engineViews.assign(static_cast<std::size_t>(count), nullptr);
        for (std::int32_t i = 0; ok && i < count; ++i)
            ok = recallLink(file, m_engineViews[static_cast<std::size_t>(i)], "HenEngObject");
    }
    ok = ok && RecallPlotParameters(file, m_pPlotParameters, this);
    if (ok && version >= 2) ok = RecallPointerX(file, m_pRecalledPlot, nullptr);
    return ok;
}

bool CpiView::RecallFixUp() {
    // The plot of the file is not kept: it is built anew from the quantities when asked for.
    if (m_pRecalledPlot && m_pRecalledPlot->IsA("TwoDimPlotObject") && m_pRecalledPlot != m_pPlot) {
        Viewable* old = m_pRecalledPlot;
        m_pRecalledPlot = nullptr;
        delete old;
    }
    m_pRecalledPlot = nullptr;
    // The views held are watched, so that one deleted elsewhere is never used or deleted again.
    for (Viewable* v : m_pLinked)
        if (v) v->AddDeathPostee(this);
    for (Viewable* v : {m_pEngineView, m_pDiagram})
        if (v) v->AddDeathPostee(this);
    for (Viewable* v : m_engineViews)
        if (v) v->AddDeathPostee(this);
    return true;
}

void CpiView::DisconnectDeadObject(Viewable* dead) {
    if (dead == m_pPlot) m_pPlot = nullptr;
    if (dead == m_pRecalledPlot) m_pRecalledPlot = nullptr;
    for (Viewable*& v : m_pLinked)
        if (v == dead) v = nullptr;
    if (dead == m_pEngineView) m_pEngineView = nullptr;
    if (dead == m_pDiagram) m_pDiagram = nullptr;
    std::erase(m_engineViews, dead);
    Viewable::DisconnectDeadObject(dead);
}

VarDescription CpiView::BuildMoniker(int q) {
    VarDescription out;
    if (isSuperTargetQuantity(q)) VarDescription::Parse(kSuperTargetQuantities[q].variable, out);
    return out;
}

Text CpiView::Caption(int q) { return isSuperTargetQuantity(q) ? kSuperTargetQuantities[q].caption : ""; }

void CpiView::BuildSuperTargetPlot() {
    if (m_pPlot) return;
    m_pPlot = new TwoDimPlot(this, m_pPlotParameters);
    m_pPlot->AddDeathPostee(this);
    m_pPlot->titleVisible = false;
    Legend& key = m_pPlot->GetLegend();
    key.Show();
    key.placement = {110.0, 80.0};
    Axis* x = m_pPlot->GetXAxisPtr(-32767);
    Axis* y = m_pPlot->GetYAxisPtr(-32767);
    x->title.clear();
    y->title.clear();
    x->showLabels = y->showLabels = true;
    x->SetNumberFormat("%4.0f");
    y->SetNumberFormat("%3.3g");
    Axis* right = m_pPlot->AddYAxisPtr(1);
    right->title.clear();
    right->showLabels = true;
    right->placement = {600.0, 400.0};
    right->length = 350.0;
    right->labelAngle = 90.0;
    right->SetTicks(Tick(0, 3), Tick(0, 5));
    right->SetNumberFormat("%3.3g");
    right->Hide();
    XYDataStruct record;
    record.xVariable = record.yVariable = ":Unknown.0";
    record.appearance.style = 0;
    record.appearance.symbol = 2;
    record.appearance.colour = RedColour();
    if (PlottedData* set = m_pPlot->GetPlotArea().CreateDataSet(&record, 1)) set->Hide();
    record.appearance.colour = BlueColour();
    if (PlottedData* set = m_pPlot->GetPlotArea().CreateDataSet(&record, 2, nullptr, right)) set->Hide();
    SetSuperTargetXAxis(m_nX);
    SetSuperTargetLeftYAxis(m_nLeft);
}

namespace {

Text monikerText(int q) { return isSuperTargetQuantity(q) ? kSuperTargetQuantities[q].variable : ":Unknown.0"; }

}  // namespace

void CpiView::SetSuperTargetXAxis(int q) {
    m_nX = q;
    if (!m_pPlot) return;
    for (int n : {1, 2})
        if (PlottedData* set = m_pPlot->GetPlotArea().GetDataSet(n)) set->SetXVariable(monikerText(q));
    m_pPlot->GetXAxisPtr()->title = Caption(q);
}

void CpiView::SetSuperTargetLeftYAxis(int q) {
    m_nLeft = q;
    if (!m_pPlot) return;
    if (PlottedData* set = m_pPlot->GetPlotArea().GetDataSet(1)) set->SetYVariable(monikerText(q));
    m_pPlot->GetYAxisPtr()->title = Caption(q);
}

void CpiView::SetSuperTargetRightYAxis(int q) {
    m_nRight = q;
    if (!m_pPlot) return;
    Axis* right = m_pPlot->AddYAxisPtr(1);
    right->title = Caption(q);
    PlottedData* set = m_pPlot->GetPlotArea().GetDataSet(2);
    if (set) set->SetYVariable(monikerText(q));
    if (q == SuperTargetNone) {
        right->Hide();
        if (set) set->Hide();
    } else {
        right->Show();
        if (set) set->Show();
    }
}
