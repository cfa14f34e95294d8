// The retrofit pages of the scenario viewer: the three-column summary (targets, the existing
// network, the retrofitted network), the values of the base design alone, the utilities of a
// design stream by stream, and the retrofit values of single exchangers.
//
// Display choices (form flags, type 104): 310 the summary shows percentages of a reference column;
// 311 that reference is the target (else the base design); 312 the utility figures are costs (else
// loads); 313 they are shown relative; 314 their reference is the utility target (else the base
// design); 270 the exchanger figures are shown relative.
#include "eng/design/IHENDesign.h"
#include "views/case/scenario/DesignValueHelpers.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "pellin/CNode.h"
#include "pellin/NodeKinds.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/AnnualisedCosts.h"

#include <cmath>

namespace {

using design_values::exchangerAt;
using design_values::isEmpty;
using design_values::kEmpty;

bool readValue(const CNode* unit, const char* value, double& out) { return unit && unit->getVariableAsDouble(value, out); }

CNode* counterpartOf(const IHENDesign* base, const CNode* unit) {
    if (!base || !unit) return nullptr;
    CPString name;
    if (!unit->getVariableAsString(NodeValue::UnitOperationName, name) || name.empty()) name = unit->getName();
    for (int i = 0; i < base->GetNumberOfHeatExchangers(); ++i) {
        CNode* other = exchangerAt(base, i);
        CPString otherName;
        if (!other) continue;
        if (!other->getVariableAsString(NodeValue::UnitOperationName, otherName) || otherName.empty())
            otherName = other->getName();
        if (otherName != name) continue;
        const CPString& kind = other->getClassName();
        return kind == "Lurmet_countercurrent_HX" || kind == NodeKind::HeatExchanger ? other : nullptr;
    }
    return nullptr;
}

// Sum over a design's exchangers of a named value, empties skipped.
double sumOf(const IHENDesign* design, const char* name) {
    double sum = 0.0;
    for (int i = 0; design && i < design->GetNumberOfHeatExchangers(); ++i) {
        double value = kEmpty;
        if (readValue(exchangerAt(design, i), name, value) && !isEmpty(value)) sum += value;
    }
    return sum;
}

bool isShellTarget(const VarDescription& var) { return var.VariableIs("ShellTarget"); }

}  // namespace

int HIDesignViewerScenario::GetUtilHeatType() const {
    if (option100_245 == 1 && option100_246 == 1) return 2;
    if (option100_245 == 1 && option100_246 == 0) return 0;
    if (option100_245 == 0 && option100_246 == 1) return 1;
    // No side chosen (the forms keep one): both, so nothing is hidden.
    return 2;
}

double HIDesignViewerScenario::UtilityCost(int side) const {
    double sum = 0.0;
    IHeatIntegrationStream* stream = nullptr;
    for (int i = 0; myScenario && myScenario->GetStreamOfKind(i, stream, 1, side); ++i)
        if (stream) sum += stream->GetHeatLoad(0) * stream->GetCostIndex();
    return sum;
}

double HIDesignViewerScenario::GetUtilityTargetCost(int side) const {
    if (side < 0 || side >= 2 || !myScenario) return kEmpty;
    double sum = 0.0;
    IHeatIntegrationStream* stream = nullptr;
    for (int i = 0; myScenario->GetStreamOfKind(i, stream, 1, side); ++i)
        if (stream) sum += stream->GetOperatingCost();
    return sum == 0.0 ? kEmpty : sum;
}

double HIDesignViewerScenario::GetRetroSummary(const VarDescription& var) const {
    const int column = var.Offset(0);
    if (column < 0 || column > 2) return 0.0;
    IHENDesign* base = GetBaseDesign();
    IHENDesign* design = column == 1 ? base : GetSelectedDesign(currentDesign);
    if (!currentDesign || !myScenario || !design) return 0.0;
    if (!flag104_310) return GetRetroSummaryInfo(design, var, column);
    double reference = kEmpty;
    if (!flag104_311) reference = base ? GetRetroSummaryInfo(base, var, 1) : kEmpty;
    else reference = GetRetroSummaryInfo(design, var, 2);
    const double share = Compare(reference, GetRetroSummaryInfo(design, var, column));
    return share > 0.0 ? share : kEmpty;
}

double HIDesignViewerScenario::GetRetroSummaryInfo(IHENDesign* design, const VarDescription& var, int column) const {
    const int t = var.Type(), v = var.Number();
    const bool shells = isShellTarget(var);
    if (column == 2) {
        if (!myScenario) return kEmpty;
        if (shells) return v == 301 ? myScenario->GetNumberOfShellsTarget() : kEmpty;
        if (t != 1519) return 0.0;
        switch (v) {
            case 301: return GetUtilityTargetCost(0);
            case 302: return myScenario->GetUtilityTarget(0);
            case 303: return GetUtilityTargetCost(1);
            case 304: return myScenario->GetUtilityTarget(1);
            case 305: return myScenario->GetAreaTarget(1);
            case 306: return kEmpty;
            default: return 0.0;
        }
    }
    if (!design) return 0.0;
    if ((t == 1519 && (v == 306 || v == 307)) || (shells && v == 302)) {
        if (column == 1) return kEmpty;
        if (checkIfBaseCase(design)) return 0.0;
        return sumOf(design, t == 1519 && v == 306 && !shells ? "AddArea" : "AdShell");
    }
    if (shells && v == 301) return design->GetTotalNumberOfShells() - design->GetNumberOfIgnoredDummyUtilities();
    if (t != 1519) return 0.0;
    switch (v) {
        case 301: return design->GetTotalUtilityCost(0);
        case 302: return design->GetTotalUtilityLoad(0);
        case 303: return design->GetTotalUtilityCost(1);
        case 304: return design->GetTotalUtilityLoad(1);
        case 305: return design->GetTotalArea();
        default: return 0.0;
    }
}

double HIDesignViewerScenario::GetBaseCaseInfo(const VarDescription& var) {
    IHENDesign* b = GetBaseDesign();
    if (!b) return kEmpty;
    const int t = var.Type(), v = var.Number();
    const bool exchangers = b->GetNumberOfHeatExchangers() > 0;
    const auto is = [&](int type, std::initializer_list<int> numbers) {
        if (t != type) return false;
        for (int n : numbers)
            if (n == v) return true;
        return false;
    };
    if (is(1508, {250, 251, 759, 760}) || is(1519, {209, 248, 251, 252, 262}) || is(110, {240, 241}))
        return b->GetTotalArea();
    if (is(1519, {208, 250, 761, 762})) return b->GetTotalNumberOfShells();
    if (is(6, {271, 754}) || is(1519, {260, 271}) || is(110, {243})) return exchangers ? b->GetTotalUtilityLoad(0) : kEmpty;
    if (is(6, {273, 755}) || is(1519, {261, 273}) || is(110, {244})) return exchangers ? b->GetTotalUtilityLoad(1) : kEmpty;
    if (is(31001, {270}) || is(1519, {270})) return exchangers ? b->GetTotalUtilityCost(0) : kEmpty;
    if (is(31001, {272}) || is(1519, {272})) return exchangers ? b->GetTotalUtilityCost(1) : kEmpty;
    if (is(6, {280}) || is(1519, {280, 281, 282}) || is(31001, {280})) {
        if (!myScenario || !myScenario->GetStreamOfKind(var.Offset(0), workStream, 1, 2) || !workStream) return kEmpty;
        const int which = var.Offset(2);
        if (which == 0) return b->GetUtilityLoad(workStream->GetName());
        if (which == 1) return b->GetUtilityCost(workStream->GetName());
        return kEmpty;
    }
    if (is(1519, {290}) || is(1508, {290})) {
        double value = kEmpty;
        return readValue(exchangerAt(b, var.Offset(0)), t == 1519 ? "TotalNShells" : "HTArea", value) ? value : kEmpty;
    }
    if (is(31001, {201, 203, 764}) || is(1519, {245, 264}) || is(110, {247}))
        return exchangers ? b->GetTotalUtilityCost(2) : kEmpty;
    if (is(110, {242}) || is(1519, {263})) return b->GetTotalCapitalCost();
    if (is(31000, {202})) return b->CalculateCapitalCost();
    if (is(1519, {265})) return annualised_costs::TotalAnnualCost(*b);
    if (is(1519, {266})) return b->GetNumberOfHeatExchangers();
    return kEmpty;
}

double HIDesignViewerScenario::GetUtilityStreamInfo(const VarDescription& var) {
    const int row = var.Offset(0);
    if (!myScenario || row < 0 || row >= myScenario->GetNumberOfUtilityStreams()) return 0.0;
    if (!myScenario->GetStreamOfKind(row, workStream, 1, GetUtilHeatType()) || !workStream) return 0.0;
    return GetUtilityDesignInfo(var, workStream);
}

double HIDesignViewerScenario::GetUtilityDesignInfo(const VarDescription& var, IHeatIntegrationStream* stream) const {
    IHENDesign* d = GetSelectedDesign(currentDesign);
    if (!d || !stream) return kEmpty;
    const int t = var.Type(), v = var.Number();
    if (t == 1519 && v >= 310 && v <= 313) return GetRetroUtility(var, stream);
    if (t == 1519 && ((v == 282 && var.Offset(2) == 0) || (v >= 598 && v <= 600) || v == 632 || v == 633))
        return d->GetUsedUtilityLoad(stream);
    if (t == 1519 && v == 282 && var.Offset(2) == 1) return d->GetUtilityCost(stream->GetName());
    if (t == 6 && (v == 282 || v == 600 || (v >= 602 && v <= 605))) return d->GetUsedUtilityLoad(stream);
    if (t == 31001 && (v == 282 || v == 600 || (v >= 603 && v <= 606))) return d->GetUtilityCost(stream->GetName());
    return kEmpty;
}

double HIDesignViewerScenario::GetRetroUtility(const VarDescription& var, IHeatIntegrationStream* stream) const {
    IHENDesign* current = GetSelectedDesign(currentDesign);
    IHENDesign* base = GetBaseDesign();
    if (var.Type() != 1519 || !current || !base || !stream) return kEmpty;
    double target = 0.0, before = 0.0, now = 0.0;
    const CPString& name = stream->GetName();
    if (!flag104_312) {
        target = stream->GetHeatLoad(0);
        before = base->GetUtilityLoad(name);
        now = current->GetUtilityLoad(name);
    } else {
        target = stream->GetCostIndex() * std::fabs(stream->GetHeatLoad(0));
        before = base->GetUtilityCost(name);
        now = current->GetUtilityCost(name);
    }
    double figure = kEmpty;
    switch (var.Number()) {
        case 310: figure = now; break;
        case 311: figure = before; break;
        // A saving is read only from a network that calculates.
        case 312:
            if (!current->IsNetworkCalculated()) return kEmpty;
            figure = before - now;
            break;
        case 313: figure = target; break;
        default: return kEmpty;
    }
    if (!flag104_313) return figure;
    return Compare(flag104_314 ? target : before, figure);
}

double HIDesignViewerScenario::GetTotalUtilityInfo(const VarDescription& var) const {
    IHENDesign* current = GetSelectedDesign(currentDesign);
    IHENDesign* base = GetBaseDesign();
    if (!current || !base) return 0.0;
    const int side = GetUtilHeatType(), t = var.Type(), v = var.Number();
    if (t == 31001 && v == 311) return current->GetTotalUtilityCost(side);
    if (t == 31001 && v == 312) return base->GetTotalUtilityCost(side);
    // The savings are read only from a network that calculates.
    if (((t == 31001 && v == 313) || (t == 6 && v == 301)) && !current->IsNetworkCalculated()) return kEmpty;
    if (t == 31001 && v == 313) return base->GetTotalUtilityCost(side) - current->GetTotalUtilityCost(side);
    if (t == 6 && v == 301) return flag104_312 ? 0.0 : base->GetTotalUtilityLoad(side) - current->GetTotalUtilityLoad(side);
    if (t == 31001 && v == 314) {
        double sum = 0.0;
        IHeatIntegrationStream* stream = nullptr;
        for (int i = 0; myScenario && myScenario->GetStreamOfKind(i, stream, 1, side); ++i)
            if (stream) sum += stream->GetCostIndex() * std::fabs(stream->GetHeatLoad(0));
        return sum;
    }
    return 0.0;
}

double HIDesignViewerScenario::GetRetroHX(const VarDescription& var) const {
    if (!currentDesign || !GetSelectedDesign(currentDesign)) return kEmpty;
    // The design viewer's filter maps the row; filter 0 shows no exchanger.
    const int index = currentDesign->GetFilteredExchangerIndex(var.Offset(0));
    if (index < 0) return kEmpty;
    return GetRetroHXInfo(var, index);
}

double HIDesignViewerScenario::GetRetroHXInfo(const VarDescription& var, int index) const {
    IHENDesign* current = GetSelectedDesign(currentDesign);
    IHENDesign* base = GetBaseDesign();
    const CNode* unit = exchangerAt(current, index);
    if (!current || !base || !unit) return 0.0;
    const CNode* counterpart = counterpartOf(base, unit);
    const int t = var.Type(), v = var.Number();
    double value = kEmpty;
    if (!flag104_270) {
        if (t == 1519 && v == 320) return readValue(unit, "AdShell", value) ? value : kEmpty;
        if (t == 1508 && v == 321) return readValue(unit, "MaxSpareArea", value) ? value : kEmpty;
        if (t == 1508 && v == 322) return readValue(unit, "AddArea", value) ? value : kEmpty;
        if (t == 31000 && v == 320) {
            double cost = kEmpty, before = kEmpty;
            if (!readValue(unit, "CapitalCost", cost) || isEmpty(cost)) return kEmpty;
            if (counterpart && readValue(counterpart, "CapitalCost", before) && !isEmpty(before))
                return cost - before >= 0.0 ? cost - before : 0.0;
            return cost;
        }
        if (t == 6 && v == 319) return GetAdditionalLoad(index);
        if (counterpart && t == 1508 && v == 320) return readValue(counterpart, "HTArea", value) ? value : kEmpty;
        if (counterpart && t == 6 && v == 318) return readValue(counterpart, "Duty", value) ? value : kEmpty;
        return kEmpty;
    }
    if (t != 110 || v < 209 || v > 213) return kEmpty;
    double figure = kEmpty;
    switch (v) {
        case 209: readValue(unit, "HTArea", figure); break;
        case 210: readValue(unit, "Duty", figure); break;
        case 211: readValue(unit, "MaxSpareArea", figure); break;
        case 212: figure = GetAdditionalLoad(index); break;
        case 213: readValue(unit, "AddArea", figure); break;
        default: break;
    }
    if (!counterpart) return 0.0;
    double reference = kEmpty;
    readValue(counterpart, v == 210 || v == 212 ? "Duty" : "HTArea", reference);
    return Compare(reference, figure);
}
