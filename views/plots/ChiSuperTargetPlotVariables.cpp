// The range-target plot's variables: the point series its tables and data sets read, the
// designs' values, the DTmin range the user enters, the quantity choice and the insert row.
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "views/plots/ChiSuperTargetPlot.h"
#include "views/AnnualisedCosts.h"

namespace {

constexpr double kEmpty = Viewable::EmptyValue;

double nonZero(double v) { return v == 0.0 ? kEmpty : v; }

}  // namespace

const ViewForm<ChiSuperTargetPlot>& ChiSuperTargetPlot::Form() {
    using V = ChiSuperTargetPlot;
    static const ViewForm<ChiSuperTargetPlot> form{
        // The range-target points, one row each (and the empty row of a pending insertion).
        {{"DeltaTemp.333", FormHook::Value, -1, true, 1}, &V::PointValue, &V::SpecifyDeltaTemp, nullptr, nullptr,
         &V::PointRows},
        {{"HeatFlow.333", FormHook::Value, -1, false, 1}, &V::PointValue, nullptr, nullptr, nullptr, &V::PointRows},
        {{"HeatFlow.334", FormHook::Value, -1, false, 1}, &V::PointValue, nullptr, nullptr, nullptr, &V::PointRows},
        {{"Area.333", FormHook::Value, -1, false, 1}, &V::PointValue, nullptr, nullptr, nullptr, &V::PointRows},
        {{"Area.334", FormHook::Value, -1, false, 1}, &V::PointValue, nullptr, nullptr, nullptr, &V::PointRows},
        {{"NMer.333", FormHook::Value, -1, false, 1}, &V::PointValue, nullptr, nullptr, nullptr, &V::PointRows},
        {{"NumberOfShells.333", FormHook::Value, -1, false, 1}, &V::PointValue, nullptr, nullptr, nullptr, &V::PointRows},
        {{"Cost.333", FormHook::Value, -1, false, 1}, &V::PointValue, nullptr, nullptr, nullptr, &V::PointRows},
        {{"CostPerTime.333", FormHook::Value, -1, false, 1}, &V::PointValue, nullptr, nullptr, nullptr, &V::PointRows},
        {{"CostPerTime.334", FormHook::Value, -1, false, 1}, &V::PointValue, nullptr, nullptr, nullptr, &V::PointRows},
        // The designs, by the number of their data set.
        {{"HeatFlow.335", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr, &V::DesignRows},
        {{"HeatFlow.336", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr, &V::DesignRows},
        {{"Area.336", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr, &V::DesignRows},
        {{"NMer.335", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr, &V::DesignRows},
        {{"NumberOfShells.335", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr,
         &V::DesignRows},
        {{"Cost.335", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr, &V::DesignRows},
        {{"CostPerTime.335", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr, &V::DesignRows},
        {{"CostPerTime.336", FormHook::Value, -1, false, 1}, &V::DesignValue, nullptr, nullptr, nullptr, &V::DesignRows},
        // The DTmin range to compute: lower, upper, step.
        {{"DeltaTemp.201", FormHook::Value, -1, true, 1}, &V::RangeValue, &V::SpecifyRange},
        {{"Switch.201", FormHook::Value, -1, false, 0}, &V::RangeReady},
        // The quantities of the x, left and right axes.
        {{"Enum.210", FormHook::Value, -1, true, 1}, &V::QuantityValue, &V::SpecifyQuantity},
        {{"Enum.211", FormHook::Value, -1, true, 1}, &V::QuantityValue, &V::SpecifyQuantity},
        // Insertion of a single point.
        {{"InsertEnable.333", FormHook::Value, 104, false, 0}, &V::InsertEnable},
        {{"STInsPos.300", FormHook::Value, 100, true, 0}, &V::EnteredInsert, &V::SpecifyEnteredInsert},
        {{"ExtraData.201", FormHook::Value, -1, false, 0}, &V::HasResults},
    };
    return form;
}

double ChiSuperTargetPlot::Value(const VarDescription& var) {
    double out = kEmpty;
    return m_pScenario && Form().Value(*this, var, out) ? out : Viewable::Value(var);
}

int ChiSuperTargetPlot::Specify(const VarDescription& var, double value) {
    int result = 0;
    return m_pScenario && Form().Specify(*this, var, value, result) ? result : Viewable::Specify(var, value);
}

int ChiSuperTargetPlot::Dimensions(const VarDescription& var, DimInfo& dims) {
    int added = 0;
    return m_pScenario && Form().Dimensions(*this, var, dims, added) ? added : Viewable::Dimensions(var, dims);
}

int ChiSuperTargetPlot::GetEDVarType(const VarDescription& var) {
    int type = 0;
    return Form().EDVarType(var, type) ? type : Viewable::GetEDVarType(var);
}

void ChiSuperTargetPlot::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    if (m_pScenario && var.Type() == 1517 && var.Number() == 333) {
        // The row's own point decides: a computed point is shown as such (2), the empty row of a
        // pending insertion takes a DTmin (1), any other row is read-only.
        detail = 0;
        const int row = var.Offset(0);
        const int p = PointOfRow(row);
        if (p >= 0 && m_pScenario->HasSuperTargetPointAtDTmin(m_pScenario->PointTargetValue(p, 1)))
            state = SpecialState;
        else
            state = row == m_nActiveInsert ? ModifiableState : ReadOnlyState;
        return;
    }
    if (!m_pScenario || !Form().VariableStatus(var, state)) Viewable::VariableStatus(var, state, detail);
}

// Only a position from 0 to the number of points is an insertion: any other (none pending, or a
// position entered outside the table) moves no row.
int ChiSuperTargetPlot::PointOfRow(int row) const {
    const bool pending = m_nActiveInsert >= 0 && m_pScenario && m_nActiveInsert <= m_pScenario->GetNumberOfSuperTargetPoints();
    if (!pending || row < m_nActiveInsert) return row;
    return row == m_nActiveInsert ? -1 : row - 1;
}

double ChiSuperTargetPlot::PointValue(const VarDescription& var) {
    const int p = PointOfRow(var.Offset(0));
    if (p < 0) return kEmpty;
    const int type = var.Type(), n = var.Number();
    if (type == 1517) return m_pScenario->PointTargetValue(p, 1);
    if (type == 6) return m_pScenario->PointTargetValue(p, n == 333 ? 2 : 3);
    if (type == 1508) return nonZero(m_pScenario->PointTargetValue(p, n == 333 ? 4 : 5));
    if (type == 31000) return nonZero(m_pScenario->PointTargetValue(p, 8));
    if (type == 31001 && n == 333) return nonZero(m_pScenario->PointTargetValue(p, 9));
    if (type == 31001) return annualised_costs::HasPlantLife(m_pScenario) ? nonZero(m_pScenario->PointTargetValue(p, 10)) : kEmpty;
    if (var.VariableIs("NMer")) return nonZero(m_pScenario->PointTargetValue(p, 6));
    if (var.VariableIs("NumberOfShells")) return nonZero(m_pScenario->PointTargetValue(p, 7));
    return kEmpty;
}

int ChiSuperTargetPlot::SpecifyDeltaTemp(const VarDescription& var, double value) {
    if (value == kEmpty || var.Offset(0) != m_nActiveInsert) return 0;
    if (!(value > 0.0)) {
        ErrorMsg("NoNegativeDT");
        return 0;
    }
    m_pScenario->AddSuperTargetPoint(value);
    m_nActiveInsert = NoInsertion;
    return 1;
}

int ChiSuperTargetPlot::PointRows(const VarDescription&, DimInfo& dims) {
    const int points = m_pScenario->GetNumberOfSuperTargetPoints();
    // A pending insertion shows its empty row, after the last point as well.
    dims.AddDim(points + (m_nActiveInsert >= 0 && m_nActiveInsert <= points ? 1 : 0));
    return 1;
}

IHENDesign* ChiSuperTargetPlot::DesignOfSet(int n) const {
    const int index = FindDesignIndex(n);
    IHENDesign* design = nullptr;
    if (index < 0 || !m_pScenario->GetDesign(CPString(m_lstDesigns[index]->strName), design)) return nullptr;
    return design;
}

double ChiSuperTargetPlot::DesignValue(const VarDescription& var) {
    IHENDesign* design = DesignOfSet(var.Offset(0));
    if (!design) return kEmpty;
    const int type = var.Type(), n = var.Number();
    if (type == 6) return design->GetTotalUtilityLoad(n == 335 ? 0 : 1);
    if (type == 1508) return design->GetTotalArea();
    if (type == 31000) return design->GetTotalCapitalCost();
    if (type == 31001) return n == 336 ? annualised_costs::TotalAnnualCost(*design) : design->GetTotalUtilityCost(2);
    if (var.VariableIs("NMer")) return design->GetNumberOfHeatExchangers();
    if (var.VariableIs("NumberOfShells")) return design->GetTotalNumberOfShells();
    return kEmpty;
}

int ChiSuperTargetPlot::DesignRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(m_pScenario->GetNumberOfDesigns());
    return 1;
}

double ChiSuperTargetPlot::RangeValue(const VarDescription& var) {
    switch (var.Offset(0)) {
        case 0: return m_dLower;
        case 1: return m_dUpper;
        case 2: return m_dStep;
        default: return kEmpty;
    }
}

int ChiSuperTargetPlot::SpecifyRange(const VarDescription& var, double value) {
    const int i = var.Offset(0);
    if (i < 0 || i > 2) return 0;
    if (!(value > 0.0)) {
        ErrorMsg("NoNegativeDT");
        return 0;
    }
    (i == 0 ? m_dLower : i == 1 ? m_dUpper : m_dStep) = value;
    return 1;
}

double ChiSuperTargetPlot::RangeReady(const VarDescription&) {
    return m_dStep > 0.0 && m_dLower > 0.0 && m_dUpper > 0.0 ? 1.0 : 0.0;
}

double ChiSuperTargetPlot::QuantityValue(const VarDescription& var) {
    switch (var.Offset(0)) {
        case 0: return m_nX;
        case 1: return m_nLeft;
        case 2: return m_nRight;
        default: return kEmpty;
    }
}

int ChiSuperTargetPlot::SpecifyQuantity(const VarDescription& var, double value) {
    const int q = static_cast<int>(value);
    if (q < QuantityDTmin || q > QuantityNone || q != value) return 0;
    switch (var.Offset(0)) {
        case 0:
            if (q == QuantityNone) return 0;
            SetXQuantity(q);
            return 1;
        case 1:
            if (q == QuantityNone || q == m_nRight) return 0;
            SetLeftQuantity(q);
            return 1;
        case 2:
            if (q == m_nLeft) return 0;
            SetRightQuantity(q);
            return 1;
        default: return 0;
    }
}

double ChiSuperTargetPlot::InsertEnable(const VarDescription&) {
    return m_nActiveInsert < 0 || m_nActiveInsert > m_pScenario->GetNumberOfSuperTargetPoints() ? 1.0 : 0.0;
}

double ChiSuperTargetPlot::EnteredInsert(const VarDescription&) { return m_nEnteredInsert; }

int ChiSuperTargetPlot::SpecifyEnteredInsert(const VarDescription&, double value) {
    if (!(value > -2147483648.0 && value < 2147483647.0)) return 0;
    m_nEnteredInsert = static_cast<int>(value);
    return 1;
}

double ChiSuperTargetPlot::HasResults(const VarDescription&) { return m_pScenario->HasSuperTargetResults() ? 1.0 : 0.0; }
