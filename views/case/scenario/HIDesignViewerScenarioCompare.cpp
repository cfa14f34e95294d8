// The numbers the scenario viewer's design pages compare: designs against one another, the
// selected design against the retrofit base design (the existing network), and the exchangers of
// a retrofit. Every getter answers -32767.0 (empty) for a missing scenario, design, exchanger or
// value unless it says otherwise.
#include "eng/design/IHENDesign.h"
#include "views/case/scenario/DesignValueHelpers.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "pellin/CNode.h"
#include "pellin/NodeKinds.h"
#include "views/case/scenario/ScenarioValueRows.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/AnnualisedCosts.h"

#include <cmath>
#include <cstring>

namespace {

using design_values::exchangerAt;
using design_values::isEmpty;
using design_values::kEmpty;

// An exchanger's name across designs: its "UnitOperationName", else its node name.
CPString exchangerName(const CNode* unit) {
    CPString name;
    if (unit && unit->getVariableAsString(NodeValue::UnitOperationName, name) && !name.empty()) return name;
    return unit ? unit->getName() : CPString();
}

// A named value of an exchanger; false when it cannot be read.
bool readValue(const CNode* unit, const char* value, double& out) {
    return unit && unit->getVariableAsDouble(value, out);
}

// The exchanger of that name in a design (linear in its exchangers; a table asks per row).
CNode* exchangerNamed(const IHENDesign* design, const CPString& name) {
    for (int i = 0; design && i < design->GetNumberOfHeatExchangers(); ++i)
        if (CNode* unit = exchangerAt(design, i); unit && exchangerName(unit) == name) return unit;
    return nullptr;
}

// The base design's counterpart of an exchanger: a countercurrent unit or heat exchanger node of
// the same name.
CNode* counterpartOf(const IHENDesign* base, const CNode* unit) {
    CNode* other = unit ? exchangerNamed(base, exchangerName(unit)) : nullptr;
    if (!other) return nullptr;
    const CPString& kind = other->getClassName();
    return kind == "Lurmet_countercurrent_HX" || kind == NodeKind::HeatExchanger ? other : nullptr;
}

// Added capital of an exchanger against its counterpart: the increase when not negative, the
// whole cost of a new exchanger.
bool addedCapital(const CNode* unit, const CNode* counterpart, double& out) {
    double cost = 0.0;
    if (!readValue(unit, "CapitalCost", cost) || isEmpty(cost)) return false;
    double before = 0.0;
    if (counterpart && readValue(counterpart, "CapitalCost", before) && !isEmpty(before)) {
        out = cost - before >= 0.0 ? cost - before : 0.0;
        return true;
    }
    out = cost;
    return true;
}

}  // namespace

double HIDesignViewerScenario::Compare(double a, double b) {
    if (isEmpty(a) || isEmpty(b)) return kEmpty;
    if (std::fabs(a) < 1e-8) return std::fabs(b) < 1e-8 ? 0.0 : -32768.0;
    return (1.0 - (a - b) / std::fabs(a)) * 100.0;
}

double HIDesignViewerScenario::ComparisonBasis(double x) {
    if (std::fabs(x) < 1e-8) return 0.0;
    return isEmpty(x) ? kEmpty : 100.0;
}

IHENDesign* HIDesignViewerScenario::GetSelectedDesign(const HIDesignViewerDesign* viewer) const {
    IHENDesign* design = nullptr;
    if (!viewer || !myScenario || !myScenario->GetDesign(viewer->GetName(), design)) return nullptr;
    return design;
}

IHENDesign* HIDesignViewerScenario::GetEngineeringDesign(int index, int) const {
    if (!myScenario || (option100_251 != 0 && option100_251 != 1)) return nullptr;
    IHENDesign* design = nullptr;
    return myScenario->GetDesign(index, design, option100_251 == 0 ? 1 : 2) ? design : nullptr;
}

IHENDesign* HIDesignViewerScenario::GetCostIndexSortedNthSatisfiedDesign(int n) const {
    IHENDesign* design = nullptr;
    for (int i = 0, seen = 0; myScenario && myScenario->GetDesign(i, design, 1); ++i)
        if (design && design->IsDesignComplete() && seen++ == n) return design;
    return nullptr;
}

IHENDesign* HIDesignViewerScenario::GetBaseDesign() const {
    const char* name = myScenario ? myScenario->GetRetrofitBaseDesignName() : nullptr;
    IHENDesign* design = nullptr;
    return name && *name && myScenario->GetDesign(name, design) ? design : nullptr;
}

bool HIDesignViewerScenario::checkIfBaseCase(const IHENDesign* design) const {
    const char* base = myScenario ? myScenario->GetRetrofitBaseDesignName() : nullptr;
    const char* name = design ? design->GetDesignName() : nullptr;
    return base && name && std::strcmp(base, name) == 0;
}

const char* HIDesignViewerScenario::GetDesignName(const VarDescription& var) const {
    const IHENDesign* design = GetEngineeringDesign(var.Offset(0));
    return design ? design->GetDesignName() : nullptr;
}

const char* HIDesignViewerScenario::GetDesignName(const Text& leaveOut, const VarDescription& var) const {
    if (!myScenario) return nullptr;
    if (option100_251 == 1) return GetDesignName(var);
    const int wanted = var.Offset(0);
    if (option100_251 != 0 || wanted <= 0) return nullptr;
    for (int i = 0, seen = 0; i < myScenario->GetNumberOfDesigns(); ++i) {
        const char* name = myScenario->GetDesignName(i);
        if (name && leaveOut != name && ++seen == wanted) return name;
    }
    return nullptr;
}

double HIDesignViewerScenario::GetMatrixInfo(const VarDescription& var, int) const {
    const IHENDesign* d = GetEngineeringDesign(var.Offset(0));
    if (!d) return kEmpty;
    const int t = var.Type(), v = var.Number();
    const double total = annualised_costs::TotalAnnualCost(*d);
    if (t == 1508 && (v == 609 || v == 758)) return d->GetTotalArea();
    if (t == 1519 && (v == 610 || v == 760)) return d->GetTotalNumberOfShells();
    if (t == 1519 && v == 800) return d->GetNumberOfHeatExchangers();
    if (t == 6 && v == 612) return d->GetTotalUtilityLoad(0);
    if (t == 6 && v == 613) return d->GetTotalUtilityLoad(1);
    if (t == 31001 && v == 608) return total;
    if (t == 31001 && (v == 614 || v == 761)) return d->GetTotalUtilityCost(2);
    if (t == 31000 && v == 611) return d->GetTotalCapitalCost();
    if (t == 104 && v == 850) return d->IsDesignComplete() ? 1.0 : 0.0;
    if (t != 110) return kEmpty;
    switch (v) {
        case 201: return total;
        case 202: return d->GetTotalArea();
        case 203: return d->GetNumberOfHeatExchangers();
        case 204: return d->GetTotalNumberOfShells();
        case 205: return d->GetTotalCapitalCost();
        case 206: return d->GetTotalUtilityLoad(0);
        case 207: return d->GetTotalUtilityLoad(1);
        case 208: return d->GetTotalUtilityCost(2);
        default: return kEmpty;
    }
}

double HIDesignViewerScenario::GetDesignInfo(const VarDescription& var) const {
    IHENDesign* d = GetSelectedDesign(currentDesign);
    if (!d || d->GetNumberOfHeatExchangers() == 0) return kEmpty;
    const int t = var.Type(), v = var.Number();
    double out = kEmpty;
    if (t == 1508 && (v == 250 || v == 251)) out = d->GetTotalArea();
    else if (t == 1519 && (v == 251 || v == 209)) out = d->GetTotalArea();
    else if (t == 1519 && (v == 250 || v == 208)) out = d->GetTotalNumberOfShells();
    else if ((t == 1519 || t == 6) && v == 271) out = d->GetTotalUtilityLoad(0);
    else if ((t == 1519 || t == 6) && v == 273) out = d->GetTotalUtilityLoad(1);
    else if (t == 6 && v == 603) out = d->GetTotalUtilityLoad(0);
    else if (t == 6 && v == 604) out = d->GetTotalUtilityLoad(1);
    else if ((t == 1519 || t == 31001) && v == 270) out = d->GetTotalUtilityCost(0);
    else if ((t == 1519 || t == 31001) && v == 272) out = d->GetTotalUtilityCost(1);
    else if (t == 31001 && v == 604) out = d->GetTotalUtilityCost(0);
    else if (t == 31001 && v == 605) out = d->GetTotalUtilityCost(1);
    else if (t == 31001 && v == 201) out = d->GetTotalUtilityCost(2);
    else if (t == 31000 && v == 202) out = d->CalculateCapitalCost();
    return out == 0.0 ? kEmpty : out;
}

Text HIDesignViewerScenario::GetHXinDesign(IHENDesign* design, int n) const {
    const IHENDesign* selected = GetSelectedDesign(currentDesign);
    for (int i = 0, seen = 0; selected && i < selected->GetNumberOfHeatExchangers(); ++i) {
        const CPString name = exchangerName(exchangerAt(selected, i));
        if (!exchangerNamed(design, name) && seen++ == n) return Text(name);
    }
    return Text();
}

double HIDesignViewerScenario::GetOldExchangers(const VarDescription& var) const {
    const IHENDesign* base = GetBaseDesign();
    const IHENDesign* current = GetSelectedDesign(currentDesign);
    const CNode* old = exchangerAt(base, var.Offset(0));
    const CNode* now = old ? exchangerNamed(current, exchangerName(old)) : nullptr;
    if (!now) return kEmpty;
    const int t = var.Type();
    double value = kEmpty;
    if (var.Number() == 291) {
        const char* name = t == 1508 ? "HTArea" : t == 1519 ? "TotalNShells" : t == 6 ? "Duty" : nullptr;
        return name && readValue(now, name, value) ? value : kEmpty;
    }
    if (var.Number() != 292) return kEmpty;
    if (t == 1508 || t == 31000) {
        const bool read = readValue(now, t == 1508 ? "AddArea" : "AddCapCost", value);
        return read && !isEmpty(value) ? value : 0.0;
    }
    if (t == 1519) {
        double shells = 0.0;
        if (!readValue(old, "TotalNShells", shells)) return 0.0;
        if (readValue(now, "AdShell", value)) return value;
        return readValue(now, "TotalNShells", shells) ? kEmpty : 0.0;
    }
    if (t == 6) {
        double before = 0.0, after = 0.0;
        if (readValue(now, "Duty", after) && readValue(old, "Duty", before) && !isEmpty(after) && !isEmpty(before) &&
            after - before > 0.0)
            return after - before;
        return 0.0;
    }
    return kEmpty;
}

double HIDesignViewerScenario::GetNewExchangers(const VarDescription& var) const {
    const IHENDesign* base = GetBaseDesign();
    const int count = base ? base->GetNumberOfHeatExchangers() : 0;
    const int row = var.Offset(0);
    if (row < count) return GetOldExchangers(var);
    if (var.Number() != 292) return kEmpty;
    const IHENDesign* current = GetSelectedDesign(currentDesign);
    const int wanted = row - count;
    for (int i = 0, seen = 0; current && i < current->GetNumberOfHeatExchangers(); ++i) {
        const CNode* unit = exchangerAt(current, i);
        if (exchangerNamed(base, exchangerName(unit)) || seen++ != wanted) continue;
        const int t = var.Type();
        const char* name = t == 1508 ? "HTArea" : t == 1519 ? "TotalNShells" : t == 6 ? "Duty" : t == 31000 ? "CapitalCost" : nullptr;
        double value = kEmpty;
        return name && readValue(unit, name, value) ? value : kEmpty;
    }
    return kEmpty;
}

double HIDesignViewerScenario::GetNewHX(const VarDescription& var) const {
    const IHENDesign* base = GetBaseDesign();
    const IHENDesign* current = GetSelectedDesign(currentDesign);
    const int wanted = var.Offset(0);
    for (int i = 0, seen = 0; current && i < current->GetNumberOfHeatExchangers(); ++i) {
        CNode* unit = exchangerAt(current, i);
        if (exchangerNamed(base, exchangerName(unit)) || seen++ != wanted) continue;
        const int t = var.Type(), v = var.Number();
        if (t == 1519 && (v == 705 || v == 708)) return i;
        const char* name = t == 6 && v == 712      ? "Duty"
                           : t == 1508 && v == 710 ? "HTArea"
                           : t == 1524 && v == 701 ? "OverallHTC"
                           : t == 31000 && v == 711 ? "CapitalCost"
                           : t == 1517 && v == 702 ? "LMTD"
                           : t == 1519 && v == 709 ? "TotalNShells"
                                                   : nullptr;
        double value = kEmpty;
        if (name) return readValue(unit, name, value) ? value : kEmpty;
        // The four port temperatures of the countercurrent model: hot in, hot out, cold in, cold out.
        const int port = t == 1 && v == 703 ? 0 : t == 1 && v == 704 ? 1 : t == 1 && v == 706 ? 2 : t == 1 && v == 707 ? 3 : -1;
        if (port < 0) return kEmpty;
        return current->GetExchangerPortTemperature(unit, port, value) ? value : kEmpty;
    }
    return kEmpty;
}

double HIDesignViewerScenario::NewEquipment(const VarDescription& var) const {
    IHENDesign* current = GetSelectedDesign(currentDesign);
    if (!current) return 0.0;
    return NewEquipment(Text(current->GetDesignName()), var);
}

double HIDesignViewerScenario::NewEquipment(const Text& designName, const VarDescription& var) const {
    IHENDesign* design = nullptr;
    if (!myScenario || !myScenario->GetDesign(designName, design) || !design) return 0.0;
    const IHENDesign* base = GetBaseDesign();
    const int t = var.Type(), v = var.Number();
    enum { Area, Shells, Capital, None } what = None;
    if ((t == 1508 && (v == 250 || v == 760)) || (t == 1519 && v == 251) || (t == 110 && v == 241)) what = Area;
    else if (t == 1519 && (v == 250 || v == 762)) what = Shells;
    else if (t == 31000 && v == 201) what = Capital;
    double sum = 0.0;
    for (int i = 0; what != None && i < design->GetNumberOfHeatExchangers(); ++i) {
        const CNode* unit = exchangerAt(design, i);
        const CNode* old = exchangerNamed(base, exchangerName(unit));
        double value = kEmpty;
        if (what == Area) readValue(unit, old ? "AddArea" : "HTArea", value);
        else if (what == Shells) readValue(unit, "TotalNShells", value);
        else if (!addedCapital(unit, old, value) || (old && value <= 0.0)) continue;
        if (!isEmpty(value)) sum += value;
    }
    return sum;
}

double HIDesignViewerScenario::GetHXInfoByDNA(const Text& designName, const VarDescription& var) const {
    IHENDesign* design = nullptr;
    if (!myScenario || !myScenario->GetDesign(designName, design) || !design || design->GetNumberOfHeatExchangers() == 0)
        return kEmpty;
    const int t = var.Type(), v = var.Number();
    const char* name = nullptr;
    if ((t == 1508 && (v == 251 || v == 206)) || (t == 1519 && (v == 248 || v == 209))) name = "AddArea";
    else if (t == 1519 && v == 208) name = "AdShell";
    double sum = 0.0;
    for (int i = 0; name && i < design->GetNumberOfHeatExchangers(); ++i) {
        double value = 0.0;
        if (readValue(exchangerAt(design, i), name, value) && value >= 0.0) sum += value;
    }
    return sum;
}

double HIDesignViewerScenario::GetAdditionalLoad(int index) const {
    double now = kEmpty, before = kEmpty;
    if (!readValue(exchangerAt(GetSelectedDesign(currentDesign), index), "Duty", now) ||
        !readValue(exchangerAt(GetBaseDesign(), index), "Duty", before) || isEmpty(now) || isEmpty(before))
        return 0.0;
    return now - before > 0.0 ? now - before : 0.0;
}

double HIDesignViewerScenario::GetTotalLoadCostArea(const VarDescription& var) const {
    const IHENDesign* current = GetSelectedDesign(currentDesign);
    if (var.Number() != 330 || !current || current->GetNumberOfHeatExchangers() == 0) return kEmpty;
    const IHENDesign* base = GetBaseDesign();
    double sum = 0.0;
    for (int i = 0; i < current->GetNumberOfHeatExchangers(); ++i) {
        if (!currentDesign->PassesExchangerFilter(i)) continue;
        const CNode* unit = exchangerAt(current, i);
        double value = kEmpty;
        switch (var.Type()) {
            case 6: value = GetAdditionalLoad(i); break;
            case 1508: readValue(unit, "AddArea", value); break;
            case 1519: readValue(unit, "AdShell", value); break;
            case 31000:
                if (!addedCapital(unit, counterpartOf(base, unit), value)) value = kEmpty;
                break;
            default: return kEmpty;
        }
        if (!isEmpty(value)) sum += value;
    }
    return sum == 0.0 ? kEmpty : sum;
}

int HIDesignViewerScenario::GetEDVarType(const VarDescription& var) {
    // A variable known by name shows the kind of quantity its value row names (a load balance in
    // heat-flow units).
    if (var.Type() != 1519 || var.Number() > 951) {
        const ValueRow* row = var.Type() == 0 ? FindValueRow(var) : nullptr;
        return row && row->unit >= 0 ? row->unit : Viewable::GetEDVarType(var);
    }
    const int v = var.Number(), i = var.Offset(0);
    const bool relative = flag104_310;
    switch (v) {
        case 951: return i == 0 ? 1 : 1519;
        case 252: return i == 0 ? 1508 : 1519;
        case 260: case 261: return i != 2 ? 6 : 1519;
        case 262: return i != 2 ? 1508 : 1519;
        case 263: return i != 2 ? 31000 : 1519;
        case 264: case 265: return i != 2 ? 31001 : 1519;
        case 301: case 303: return relative ? 1519 : 31001;
        case 302: case 304: return relative ? 1519 : 6;
        case 305: case 306: return relative ? 1519 : 1508;
        case 310: case 311: case 312: case 313:
            if (flag104_313) return 1519;
            return flag104_312 ? 31001 : 6;
        default: return 1519;
    }
}
