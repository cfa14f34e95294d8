// Which cells of the design forms a user may change: the feasibility of an exchanger, the
// status of the value a cell shows, and the operations mode that freezes the sizing cells.
#include "eng/design/IHENDesign.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"
#include "views/design/DesignValueRows.h"

namespace {

using V = HIDesignViewerDesign;
using L = V::ValueRow::List;
constexpr int kUnreadable = -1;

int statusOf(const CNode* node, const char* name) {
    return node && node->hasVariable(name) ? node->getVariableStatus(name) : kUnreadable;
}

// A feasible exchanger's cells are read-only; an infeasible one (or a unit that is no
// exchanger) is marked.
ModifyState exchangerTest(CNode* unit) {
    HeatExch* hx = AsHeatExch(unit);
    return hx && hx->IsFeasible() ? ReadOnlyState : SpecialState;
}

// A value the user may set while it is unset or set by hand (status 0 or 1), not while the
// network calculated it.
bool endValueState(CNode* unit, const char* name, ModifyState& state) {
    const int status = statusOf(unit, name);
    if (status == kUnreadable) return false;
    state = status <= 1 ? ModifiableState : ReadOnlyState;
    return true;
}

// A node at the very start or end of a stream: its temperature is the stream's own.
bool isStreamEnd(CNode* node) {
    if (!node) return false;
    const CPString& kind = node->getClassName();
    return kind == "ppFeedOrProductBlock" || kind == "ppProductBlock" || kind == "ST_Streamstart" || kind == "ST_Streamend";
}

void sideTemperatureState(IHENDesign& design, CNode* unit, int number, ModifyState& state) {
    HeatExch* hx = AsHeatExch(unit);
    // 343 cold outlet, 344 cold inlet, 346 hot outlet, 347 hot inlet.
    CNode* node = nullptr;
    if (hx) {
        switch (number) {
            case 343: node = hx->getOutlet(1); break;
            case 344: node = hx->getInlet(1); break;
            case 346: node = hx->getOutlet(0); break;
            case 347: node = hx->getInlet(0); break;
            default: break;
        }
    }
    const int status = statusOf(node, "Temperature");
    // At a process stream's very start or end the temperature is the stream's supply or target:
    // the stream table sets it, never a unit on it, feasible or not.
    const bool streamEnd = node && (isStreamEnd(node->getFirstUpStreamNode()) || isStreamEnd(node->getFirstDownStreamNode()));
    if (streamEnd && design.IsNotUtilityStreamNode(node)) {
        state = ReadOnlyState;
        return;
    }
    // An outlet the unit works out from a value given on it (its duty, its area, or its other
    // outlet where that is a process stream's) is no freedom of the network, feasible or not:
    // typed beside that value it would specify the unit twice.
    if ((number == 343 || number == 346) && status != 1 && hx) {
        CNode* other = hx->getOutlet(number == 346 ? 1 : 0);
        if (statusOf(unit, "Duty") == 1 || statusOf(unit, "HTArea") == 1 ||
            (other && statusOf(other, "Temperature") == 1 && design.IsNotUtilityStreamNode(other))) {
            state = ReadOnlyState;
            return;
        }
    }
    // A temperature set by hand stays editable inside the network; at a utility's end it follows
    // the exchanger's feasibility.
    if (status == 1)
        state = !isStreamEnd(node->getFirstUpStreamNode()) && !isStreamEnd(node->getFirstDownStreamNode()) ? ModifiableState
                                                                                                         : exchangerTest(unit);
    else if (status == 0)
        state = design.IsNotUtilityStreamNode(node) ? ModifiableState : exchangerTest(unit);
    else if (status == 2 || status == kUnreadable)
        state = exchangerTest(unit);
}

// The cells that edit the network itself: its exchangers' temperatures, duties, areas, shells,
// approaches, fouling and coefficients, which of them a heater or cooler keeps, its port utilities,
// the design-wide approach and shell area. While the design is the existing network of a retrofit
// (its base) none of them takes a value: every result's saving and capital is measured against it.
// The area limits a retrofit step may use (spare and new area, the minimum-area switch) are the
// retrofit's own settings on that network and stay open, as do the measured temperatures and their
// weights, which change no calculated value.
struct CellAddress {
    int type, number;
};
constexpr CellAddress kBaseNetworkEdits[] = {
    {1, 343},    {1, 344},    {1, 346},    {1, 347},    {1517, 500}, {1517, 501}, {1517, 605}, {1517, 607},
    {4101, 500}, {4101, 501}, {6, 304},    {6, 308},    {6, 318},    {6, 319},    {6, 355},    {6, 356},
    {1508, 302}, {1508, 304}, {1508, 306}, {1507, 200}, {1519, 307}, {1519, 359}, {1519, 360}, {1524, 502},
    {1524, 701}, {104, 318},  {104, 319},  {104, 351},  {104, 352},  {104, 353},  {104, 354},  {104, 355},
    {104, 356},  {104, 599},  {104, 600},  {104, 601},
};

bool isBaseNetworkEdit(int type, int number) {
    for (const CellAddress& a : kBaseNetworkEdits)
        if (a.type == type && a.number == number) return true;
    return false;
}

}  // namespace

bool HIDesignViewerDesign::IsBaseNetworkEdit(int type, int number) { return isBaseNetworkEdit(type, number); }

CNode* HIDesignViewerDesign::RowUnit(int list, int row) {
    CNode* unit = nullptr;
    int index = -1;
    switch (static_cast<L>(list)) {
        case L::Direct: index = row; break;
        case L::Filtered: index = GetFilteredExchangerIndex(row); break;
        case L::UnconfiguredCooler: index = GetUnconfiguredCoolerIndex(row); break;
        case L::UnconfiguredHeater: index = GetUnconfiguredHeaterIndex(row); break;
        default: return nullptr;
    }
    return index >= 0 && pDesign->GetHeatExchanger(index, unit) ? unit : nullptr;
}

bool HIDesignViewerDesign::IsSizeFrozen(int type, int number) const {
    if (!pDesign || !pDesign->IsOperationLocked() || bSizesModifiable) return false;
    return (type == 1508 && (number == 302 || number == 306)) || (type == 1519 && (number == 301 || number == 307)) ||
           (type == 104 && number == 600);
}

void HIDesignViewerDesign::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    if (!pDesign) return Viewable::VariableStatus(var, state, detail);
    if ((pDesign->GetScenarioLockState() == 1 && isBaseNetworkEdit(var.Type(), var.Number())) ||
        IsSizeFrozen(var.Type(), var.Number())) {
        state = ReadOnlyState;
        return;
    }
    // The current schedule's name with no schedule chosen has nothing to rename: every write of it
    // is refused.
    if (var.Number() == 593 && var.VariableIs("ExtraData") && !pDesign->GetCurrentScheduleName()) {
        state = ReadOnlyState;
        return;
    }
    if (Form().VariableStatus(var, state)) return;
    const int type = var.Type(), number = var.Number(), row = var.Offset(0);
    auto is = [&](int t, std::initializer_list<int> numbers) {
        if (t != type) return false;
        for (int n : numbers)
            if (n == number) return true;
        return false;
    };
    auto unitOf = [&](L list) { return RowUnit(static_cast<int>(list), row); };

    if (is(1, {343, 344, 346, 347})) {
        CNode* unit = unitOf(L::Filtered);
        if (!unit) return;
        sideTemperatureState(*pDesign, unit, number, state);
        return;
    }
    if (is(6, {304})) {
        CNode* unit = unitOf(L::Filtered);
        if (!unit) return;
        const int status = statusOf(unit, "Duty");
        if (status == 1) state = ModifiableState;
        else if (status == 0) state = pDesign->IsNotUtilityStreamNode(unit) ? ModifiableState : exchangerTest(unit);
        else if (status == 2 || status == kUnreadable) state = exchangerTest(unit);
        return;
    }
    // A port takes a switch only where the design may place a heater or cooler there, or take
    // one away (ports: 0 hot-side feed, 1 cold-side feed, 2 hot-side product, 3 cold-side product).
    if (is(104, {351, 352, 353, 354})) {
        static constexpr int kPorts[] = {2, 3, 0, 1};
        CNode* unit = unitOf(L::Filtered);
        if (!unit) return;
        const int port = kPorts[number - 351];
        state = pDesign->CanAddUtilityAtPort(unit, port) || pDesign->CanRemoveUtilityAtPort(unit, port) ? ModifiableState
                                                                                                        : ReadOnlyState;
        return;
    }
    if (is(1519, {700, 709, 714}) || is(31000, {711})) {
        if (CNode* unit = unitOf(L::Direct)) state = exchangerTest(unit);
        return;
    }
    if (is(1519, {345, 348}) || is(1517, {702})) {
        if (CNode* unit = unitOf(L::Filtered)) state = exchangerTest(unit);
        return;
    }
    // Both end approaches follow the high end's status: the two are specified together.
    if (is(1517, {500, 501}) || is(4101, {500}) || is(1508, {302})) {
        const char* name = type == 4101 ? "HXFoulingFactor" : type == 1508 ? "HTArea" : "HighEndDelT";
        CNode* unit = unitOf(L::Filtered);
        endValueState(unit, name, state);
        // A heater's or cooler's area is its own only while the network operates.
        const HeatExch* hx = type == 1508 && unit ? AsHeatExch(unit) : nullptr;
        if (hx && hx->IsUtilityExch() && !pDesign->IsOperationLocked()) state = ReadOnlyState;
        return;
    }
    if (is(1519, {301})) {
        CNode* unit = unitOf(L::Filtered);
        if (!unit) return;
        const int status = statusOf(unit, "NShellsInSeries");
        if (status == kUnreadable) state = ReadOnlyState;
        else if (status <= 1) state = ModifiableState;
        else if (status == 2) state = pDesign->IsOperationLocked() ? ModifiableState : ReadOnlyState;
        return;
    }
    if (is(1508, {705, 712})) {
        // The cell follows the exchanger its value is read from: the filtered row.
        CNode* unit = unitOf(L::Filtered);
        if (statusOf(unit, "HTArea") == kUnreadable) return;
        long minimum = 0;
        state = unit->getVariableAsInteger("AreaMinimum", minimum) && minimum == 1 ? ReadOnlyState : ModifiableState;
        return;
    }
    if (is(1524, {701})) {
        // The overall coefficient is typed only while the user gives it; otherwise the cell
        // shows the calculated one and follows the exchanger's feasibility.
        CNode* unit = unitOf(L::Filtered);
        if (!unit) return;
        HeatExch* hx = AsHeatExch(unit);
        state = hx && hx->GetOverallUSpec() ? ModifiableState : exchangerTest(unit);
        return;
    }
    if (is(1508, {306}) || is(1519, {307, 359, 360}) || is(1524, {502}) || is(6, {308}) || is(1507, {200})) {
        if (bOperationsMode) state = ReadOnlyState;
        return;
    }
    // The outlet temperature of a heater or cooler is shown in 1: 355/356 and typed into 6: 355/356:
    // both cells follow its status.
    if (is(6, {318, 319, 355, 356}) || is(1, {355, 356})) {
        const bool cooler = number == 318 || number == 355;
        const bool duty = number == 318 || number == 319;
        CNode* unit = unitOf(cooler ? L::UnconfiguredCooler : L::UnconfiguredHeater);
        HeatExch* hx = AsHeatExch(unit);
        const CNode* node = duty ? unit : hx ? static_cast<CNode*>(cooler ? hx->getOutlet(0) : hx->getOutlet(1)) : nullptr;
        const int status = statusOf(node, duty ? "Duty" : "Temperature");
        if (status == kUnreadable) return;
        if (status == 2 || bOperationsMode) state = ReadOnlyState;
        return;
    }
    if (is(104, {318, 319, 355, 356})) {
        if (bOperationsMode) {
            state = ReadOnlyState;
            return;
        }
        const bool cooler = number == 318 || number == 355;
        CNode* unit = unitOf(cooler ? L::UnconfiguredCooler : L::UnconfiguredHeater);
        HeatExch* hx = AsHeatExch(unit);
        if (!hx) return;
        // The duty-or-area switch locks while the outlet temperature is specified, the
        // temperature-or-area switch while the duty is.
        const CNode* node = number < 350 ? static_cast<CNode*>(cooler ? hx->getOutlet(0) : hx->getOutlet(1)) : unit;
        if (statusOf(node, number < 350 ? "Temperature" : "Duty") == 1) state = ReadOnlyState;
        return;
    }
    Viewable::VariableStatus(var, state, detail);
}
