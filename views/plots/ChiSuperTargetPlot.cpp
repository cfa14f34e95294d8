#include "views/plots/ChiSuperTargetPlot.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/Messages.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/Session.h"

namespace {

constexpr double kEmpty = Viewable::EmptyValue;

// What each quantity plots: the target series' variable, a design's variable ("%d": the design's
// data-set number), its captions in mode 0 and mode 1, the point value of the range targets (0:
// none).
struct Quantity {
    const char* target;
    const char* design;
    const char* general;
    const char* range;
    int selector;
};
constexpr Quantity kQuantities[] = {
    {":DeltaTemp.333.[]", "Unknown.0", "DeltaTmin", "DeltaTmin", 1},
    {":HeatFlow.333.[]", "HeatFlow.335.%d", "Hot Utility", "Hot Utility Target", 2},
    {":HeatFlow.334.[]", "HeatFlow.336.%d", "Cold Utility", "Cold Utility Target", 3},
    {":Area.333.[]", "Unknown.0", "Countercurrent Area Target", "Countercurrent Area Target", 4},
    {":Area.334.[]", "Area.336.%d", "Total Area", "Shell And Tube Area Target", 5},
    {":NMer.333.[]", "NMer.335.%d", "MER Units", "MER Units Target", 6},
    {":NumberOfShells.333.[]", "NumberOfShells.335.%d", "Shell", "Shell Target", 7},
    {":Cost.333.[]", "Cost.335.%d", "Capital Cost Index", "Capital Cost Index Target", 8},
    {":CostPerTime.333.[]", "CostPerTime.335.%d", "Operating Cost Index", "Operating Cost Index Target", 9},
    {":CostPerTime.334.[]", "CostPerTime.336.%d", "Total Cost Index", "Total Cost Index Target", 10},
    {":Unknown.0", "Unknown.0", "None", "Range Target None", 0},
};
constexpr int kQuantityCount = 11;

bool isQuantity(int q) { return q >= 0 && q < kQuantityCount; }

// A left-axis design data set: the first of each pair, odd numbers from 3.
bool isLeftSet(int n) { return (n - 3) % 2 == 0; }

PlottedData* dataSet(TwoDimPlot* plot, int n) { return plot ? plot->GetPlotArea().GetDataSet(n) : nullptr; }

}  // namespace

ChiSuperTargetPlot::ChiSuperTargetPlot(Viewable* owner, IHeatIntegrationScenario* scenario, int mode)
    : Viewable(owner, TypeName), m_pScenario(scenario), m_nMode(mode) {
    SetName("ChiSuperTargetPlot");
    m_nX = mode == RangeTargets ? QuantityDTmin : QuantityOperatingCost;
    m_nLeft = mode == RangeTargets ? QuantityTotalCost : QuantityCapitalCost;
}

ChiSuperTargetPlot::ChiSuperTargetPlot(ObjectInstanceInfo& info) : Viewable(info) {}

ChiSuperTargetPlot::~ChiSuperTargetPlot() {
    DeleteEntries();
    DeletePlotParameters(m_pPlotParameters);
    TwoDimPlot* plot = m_pPlot;
    m_pPlot = nullptr;
    delete plot;
}

void ChiSuperTargetPlot::DeleteEntries() {
    for (PlotDesignEntry* e : m_lstDesigns) delete e;
    m_lstDesigns.Reallocate(0, 0);
}

Text ChiSuperTargetPlot::TargetVariable(int q) { return isQuantity(q) ? kQuantities[q].target : ":Unknown.0"; }

Text ChiSuperTargetPlot::DesignVariable(int q, int dataSet) {
    if (!isQuantity(q)) return "Unknown.0";
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-extra-args"
    return FormattedText(kQuantities[q].design, dataSet);
#pragma GCC diagnostic pop
}

Text ChiSuperTargetPlot::QuantityName(int q) const {
    if (!isQuantity(q) || (m_nMode != GeneralPlot && m_nMode != RangeTargets)) return Text();
    return m_nMode == GeneralPlot ? kQuantities[q].general : kQuantities[q].range;
}

int ChiSuperTargetPlot::FindDesignIndex(int n) const {
    for (std::int32_t i = 0; i < m_lstDesigns.Count(); ++i)
        if (m_lstDesigns[i]->nDataSet == n) return i;
    return -32767;
}

// ---- the plot ----

void ChiSuperTargetPlot::ConstructPlot() {
    if (m_nMode != GeneralPlot && m_nMode != RangeTargets) return;
    if (!m_pPlot) {
        m_pPlot = new TwoDimPlot(this, m_pPlotParameters);
        m_pPlot->AddDeathPostee(this);
        const bool general = m_nMode == GeneralPlot;
        m_pPlot->title = general ? "General Plot" : "Range Targets";
        m_pPlot->titleVisible = true;
        m_pPlot->titlePlacement = {300.0, 20.0};
        Legend& key = m_pPlot->GetLegend();
        if (general) {
            key.Hide();
            key.placement = {350.0, 400.0};
        } else {
            key.Show();
            key.placement = {25.0, 450.0};
        }
        Axis* x = m_pPlot->GetXAxisPtr(-32767);
        Axis* y = m_pPlot->GetYAxisPtr(-32767);
        x->title.clear();
        y->title.clear();
        x->showLabels = y->showLabels = true;
        x->showUnits = y->showUnits = true;
        x->SetNumberFormat(general ? "%3.2g" : "%4.0f");
        y->SetNumberFormat("%3.3g");
        if (general) {
            x->placement = y->placement = {90.0, 400.0};
            x->length = 450.0;
            y->length = 350.0;
        }
        Axis* right = m_pPlot->AddYAxisPtr(1);
        right->title.clear();
        right->showLabels = true;
        right->showUnits = true;
        right->placement = {general ? 540.0 : 600.0, 400.0};
        right->length = 350.0;
        right->labelAngle = 90.0;
        right->SetTicks(Tick(0, 3), Tick(0, 5));
        right->SetNumberFormat("%3.3g");
        right->Hide();

        XYDataStruct record;
        record.xVariable = record.yVariable = ":Unknown.0";
        record.appearance.style = 0;
        record.appearance.symbol = 2;
        record.label = general ? "None" : "Range Target None";
        record.appearance.colour = RedColour();
        if (PlottedData* left = m_pPlot->GetPlotArea().CreateDataSet(&record, 1)) {
            left->Reset(0);
            left->Hide();
        }
        record.appearance.colour = BlueColour();
        if (PlottedData* r = m_pPlot->GetPlotArea().CreateDataSet(&record, 2, nullptr, right)) {
            r->Reset(0);
            if (!general) r->Hide();
        }
    }
    SetXQuantity(m_nX);
    SetLeftQuantity(m_nLeft);
}

void ChiSuperTargetPlot::SetXQuantity(int q) {
    m_nX = q;
    if (!m_pPlot) return;
    for (int n : {1, 2})
        if (PlottedData* set = dataSet(m_pPlot, n)) set->SetXVariable(TargetVariable(q));
    if (m_nMode == GeneralPlot)
        for (const PlotDesignEntry* e : m_lstDesigns)
            if (PlottedData* set = dataSet(m_pPlot, e->nDataSet)) set->SetXVariable(DesignVariable(q, e->nDataSet));
    m_pPlot->GetXAxisPtr()->title = QuantityName(q);
}

void ChiSuperTargetPlot::SetLeftQuantity(int q) {
    m_nLeft = q;
    if (!m_pPlot) return;
    if (PlottedData* set = dataSet(m_pPlot, 1)) {
        set->SetYVariable(TargetVariable(q));
        set->Show();
        set->SetName(QuantityName(q));
        set->SetLabel(QuantityName(q));
    }
    if (m_nMode == GeneralPlot)
        for (const PlotDesignEntry* e : m_lstDesigns)
            if (PlottedData* set = isLeftSet(e->nDataSet) ? dataSet(m_pPlot, e->nDataSet) : nullptr)
                set->SetYVariable(DesignVariable(q, e->nDataSet));
    m_pPlot->GetYAxisPtr()->title = QuantityName(q);
}

void ChiSuperTargetPlot::SetRightQuantity(int q) {
    m_nRight = q;
    if (!m_pPlot) return;
    Axis* right = m_pPlot->AddYAxisPtr(1);
    right->title = QuantityName(q);
    if (PlottedData* set = dataSet(m_pPlot, 2)) {
        set->SetName(QuantityName(q));
        set->SetLabel(QuantityName(q));
        set->SetYVariable(TargetVariable(q));
        q == QuantityNone ? set->Hide() : set->Show();
    }
    q == QuantityNone ? right->Hide() : right->Show();
    if (m_nMode == GeneralPlot)
        for (const PlotDesignEntry* e : m_lstDesigns)
            if (PlottedData* set = isLeftSet(e->nDataSet) ? nullptr : dataSet(m_pPlot, e->nDataSet)) {
                set->SetYVariable(DesignVariable(q, e->nDataSet));
                set->SetXVariable(DesignVariable(m_nX, e->nDataSet));
            }
}

void ChiSuperTargetPlot::CreateDesignSet(const Text& design, int n, bool right) {
    if (!m_pPlot) return;
    PointStruct record;
    record.xVariable = DesignVariable(m_nX, n);
    record.yVariable = DesignVariable(right ? m_nRight : m_nLeft, n);
    record.appearance.colour = right ? BlueColour() : RedColour();
    record.appearance.capacity = 1;
    record.label = design + (right ? "(Right-Axis)" : "(Left-Axis)");
    Axis* axis = right ? m_pPlot->AddYAxisPtr(1) : nullptr;
    if (PlottedData* set = m_pPlot->GetPlotArea().CreateDataSet(&record, n, nullptr, axis)) set->Reset(0);
}

void ChiSuperTargetPlot::UpdateDesign(const Text& design, const Text& newName, int what) {
    if (what == DesignAdded) {
        const int n = m_lstDesigns.IsEmpty() ? 3 : m_lstDesigns[m_lstDesigns.Count() - 1]->nDataSet + 1;
        CreateDesignSet(design, n, false);
        m_lstDesigns.Append(new PlotDesignEntry{design, n});
        CreateDesignSet(design, n + 1, true);
        m_lstDesigns.Append(new PlotDesignEntry{design, n + 1});
        return;
    }
    if (what != DesignDeleted && what != DesignRenamed) return;
    for (std::int32_t i = 0; i < m_lstDesigns.Count(); ++i) {
        if (m_lstDesigns[i]->strName != design) continue;
        const int n = m_lstDesigns[i]->nDataSet;
        const int pair = FindDesignIndex(n + 1);
        if (what == DesignDeleted) {
            TwoDimDataPlotArea* area = m_pPlot ? &m_pPlot->GetPlotArea() : nullptr;
            if (area) area->DestroyDataSet(n), area->DestroyDataSet(n + 1);
            PlotDesignEntry* left = m_lstDesigns[i];
            PlotDesignEntry* right = pair >= 0 ? m_lstDesigns[pair] : nullptr;
            m_lstDesigns.RemoveAt(i);
            delete left;
            if (right) {
                m_lstDesigns.RemoveAt(FindDesignIndex(n + 1));
                delete right;
            }
            return;
        }
        m_lstDesigns[i]->strName = newName;
        if (pair >= 0) m_lstDesigns[pair]->strName = newName;
        const char* sides[] = {"(Left-Axis)", "(Right-Axis)"};
        for (int k = 0; k < 2; ++k)
            if (PlottedData* set = dataSet(m_pPlot, n + k)) {
                set->SetLabel(newName + sides[k]);
                set->SetName(newName + sides[k]);
            }
        return;
    }
}

void ChiSuperTargetPlot::ShowSeries(int flag, const Text& which) {
    if ((flag != 0 && flag != 1) || !m_pPlot) return;
    auto apply = [&](int n) {
        if (PlottedData* set = dataSet(m_pPlot, n)) flag ? set->Show() : set->Hide();
    };
    if (which == "Design") {
        for (const PlotDesignEntry* e : m_lstDesigns) apply(e->nDataSet);
    } else if (which == "Target") {
        apply(1);
        apply(2);
    }
}

void ChiSuperTargetPlot::FixUpDeltaTempMonikers() {
    if (!m_pPlot) return;
    for (PlottedData* set : m_pPlot->GetPlotArea().DataSets()) {
        if (set->XMoniker() == ":Temperature.333.[]") set->SetXVariable(":DeltaTemp.333.[]");
        if (set->YMoniker() == ":Temperature.333.[]") set->SetYVariable(":DeltaTemp.333.[]");
    }
}

// ---- commands and links ----

namespace {

const char* const kWords[] = {"InsertAPointTarget", "Calculate", "UserCalculate", "ClearSuperTarget"};

}  // namespace

int ChiSuperTargetPlot::Message(const Text& line) {
    Text word, rest;
    line.Token(word, rest);
    if (!m_pScenario) return Viewable::Message(line);
    if (word == "InsertAPointTarget") {
        m_nActiveInsert = m_nEnteredInsert;
        return 1;
    }
    if (word == "Calculate") {
        SignalBusy(true);
        UserStatusReport(FindString("CPISuperTarget"), 2);
        m_pScenario->RecalculateSuperTargets();
        m_nActiveInsert = NoInsertion;
        UserStatusClear(2);
        SignalBusy(false);
        return 1;
    }
    if (word == "UserCalculate") {
        if (!(m_dStep > 0.0) || !(m_dLower > kEmpty) || !(m_dUpper > m_dLower)) return 0;
        SignalBusy(true);
        UserStatusReport(FindString("CPISuperTarget"), 2);
        m_pScenario->CalculateSuperTargets(m_dLower, m_dUpper, m_dStep);
        m_nActiveInsert = NoInsertion;
        UserStatusClear(2);
        SignalBusy(false);
        // The range is reset before the owner is told: closing the range form may close this
        // view as well.
        m_dLower = m_dUpper = m_dStep = kEmpty;
        if (Viewable* owner = GetParent()) SendViewableMessage(owner, "CloseView UserTargeting");
        return 1;
    }
    if (word == "ClearSuperTarget") {
        m_pScenario->ClearSuperTargets();
        return 1;
    }
    return Viewable::Message(line);
}

void ChiSuperTargetPlot::LoadVariables(FormDescription& form) {
    Form().Describe(form);
    for (const char* w : kWords) form.Add({Text(w) + ".0", FormHook::Command, 1519, false, 0});
}

Text ChiSuperTargetPlot::AttachedName(const Viewable* child) const {
    if (child && child == m_pPlot) return "TwoDimPlotNTW.210";
    return Viewable::AttachedName(child);
}

Viewable* ChiSuperTargetPlot::AttachedObject(const VarDescription& var) {
    if (!var.IsObjectLink() || (var.ObjectType() != "TwoDimPlotNTW" && var.ObjectType() != "TwoDimPlotObject") ||
        !m_pPlot)
        return nullptr;
    const VarDescription* next = var.GetNextLink();
    return next && next->IsObjectLink() ? m_pPlot->AttachedObject(*next) : m_pPlot;
}

void ChiSuperTargetPlot::DisconnectDeadObject(Viewable* dead) {
    if (dead == m_pPlot) m_pPlot = nullptr;
    if (dead == m_pRecalledPlot) m_pRecalledPlot = nullptr;
    Viewable::DisconnectDeadObject(dead);
}
