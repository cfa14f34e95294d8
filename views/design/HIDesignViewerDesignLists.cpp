// The design viewer's exchanger lists: the filter and the row mapping, the special lists, the
// cross-pinch list, the placement of utility exchangers against the pinch, condenser-reboiler
// pairs, filtered totals, and the performance table that sets the network beside its targets.
//
// The row look-ups walk the design's exchangers once per row, so a form reading a whole table
// does n² work: the lists are the tens of exchangers of one network and the form reads them
// row by row; an index kept between calls would have to follow every edit of the network.
#include "views/design/HIDesignViewerDesign.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/grid/HENDiagram.h"
#include "lumeth/Session.h"
#include "views/AnnualisedCosts.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kEmpty = -32767.0;

bool isEmpty(double v) { return v == kEmpty; }

IHeatIntegrationStream* streamOf(const CNode* node) {
    auto* piece = dynamic_cast<const StreamPiece*>(node);
    return piece ? dynamic_cast<IHeatIntegrationStream*>(piece->getParentPIStream()) : nullptr;
}

double valueOf(const CNode* node, const char* name) {
    double v = kEmpty;
    return node && node->getVariableAsDouble(name, v) ? v : kEmpty;
}

double temperatureOf(const CNode* node) { return valueOf(node, "Temperature"); }

bool isConfigured(CNode* unit) { return valueOf(unit, "HeatExchangerConfiguration") != 0.0 && !isEmpty(valueOf(unit, "HeatExchangerConfiguration")); }
bool isAreaSpecified(CNode* unit) { return unit && unit->getVariableStatus("HTArea") == 1; }
bool isUnconfiguredCooler(CNode* unit) {
    HeatExch* hx = AsHeatExch(unit);
    return hx && !isConfigured(unit) && hx->IsCooler();
}
bool isUnconfiguredHeater(CNode* unit) {
    HeatExch* hx = AsHeatExch(unit);
    return hx && !isConfigured(unit) && hx->IsHeater();
}

// Quicksort with median-of-three pivots, insertion sort for ranges of at most 16: the indices
// move with their loads, largest load first.
void sortByLoad(std::vector<int>& index, std::vector<double>& load, int lo, int hi) {
    auto swap = [&](int a, int b) {
        std::swap(index[static_cast<std::size_t>(a)], index[static_cast<std::size_t>(b)]);
        std::swap(load[static_cast<std::size_t>(a)], load[static_cast<std::size_t>(b)]);
    };
    auto at = [&](int i) { return load[static_cast<std::size_t>(i)]; };
    while (hi - lo + 1 > 16) {
        const int mid = lo + (hi - lo) / 2;
        if (at(mid) > at(lo)) swap(mid, lo);
        if (at(hi) > at(lo)) swap(hi, lo);
        if (at(hi) > at(mid)) swap(hi, mid);
        const double pivot = at(mid);
        int i = lo, j = hi;
        while (i <= j) {
            while (at(i) > pivot) ++i;
            while (at(j) < pivot) --j;
            if (i <= j) swap(i++, j--);
        }
        // The smaller part first keeps the depth logarithmic.
        if (j - lo < hi - i) {
            sortByLoad(index, load, lo, j);
            lo = i;
        } else {
            sortByLoad(index, load, i, hi);
            hi = j;
        }
    }
    for (int i = lo + 1; i <= hi; ++i)
        for (int k = i; k > lo && at(k) > at(k - 1); --k) swap(k, k - 1);
}

}  // namespace

Text HIDesignViewerDesign::UnitName(const CNode* unit) {
    CPString name;
    return unit && unit->getVariableAsString("UnitOperationName", name) ? Text(name.c_str()) : Text();
}

// ---- filter and rows ----

int HIDesignViewerDesign::ExchangerGroup(int index) const {
    CNode* unit = nullptr;
    if (!pDesign || !pDesign->GetHeatExchanger(index, unit) || !unit) return 0;
    HeatExch* hx = AsHeatExch(unit);
    if (!hx) return 0;
    if (hx->IsHeater()) return 3;
    if (hx->IsCooler()) return 5;
    const IHeatIntegrationStream* hot = streamOf(hx->getInlet(0));
    const IHeatIntegrationStream* cold = streamOf(hx->getInlet(1));
    return hot && cold && hot->GetStreamKind() == 0 && cold->GetStreamKind() == 0 ? 1 : 0;
}

bool HIDesignViewerDesign::PassesExchangerFilter(int index) const {
    const int filter = static_cast<int>(GetExchangerFilter());
    if (filter == 9) return true;
    const int group = ExchangerGroup(index);
    switch (filter) {
        case 1: case 3: case 5: return group == filter;
        case 4: return group == 1 || group == 3;
        case 6: return group == 1 || group == 5;
        case 8: return group == 3 || group == 5;
        default: return false;  // 0 shows no exchanger
    }
}

int HIDesignViewerDesign::CountFilteredExchangers() const {
    int n = 0;
    for (int i = 0; pDesign && i < pDesign->GetNumberOfHeatExchangers(); ++i) n += PassesExchangerFilter(i);
    return n;
}

int HIDesignViewerDesign::GetFilteredExchangerIndex(int row) const {
    const int filter = static_cast<int>(GetExchangerFilter());
    if (filter == 0) return -1;  // no exchanger is shown, so no row maps to one
    if (filter == 9) return row;
    if (filter == 1) return GetProcessExchangerIndex(row);
    if (filter >= 3 && filter <= 8) return GetUtilityExchangerIndex(row);
    return 0;
}

int HIDesignViewerDesign::GetProcessExchangerIndex(int row) const {
    const int n = pDesign ? pDesign->GetNumberOfHeatExchangers() : 0;
    if (n == 0) return -1;
    for (int i = 0, seen = 0; i < n; ++i)
        if (ExchangerGroup(i) == 1 && seen++ == row) return i;
    return n - 1;
}

int HIDesignViewerDesign::GetUtilityExchangerIndex(int row) const {
    const int n = pDesign ? pDesign->GetNumberOfHeatExchangers() : 0;
    if (n == 0) return -1;
    for (int i = 0, seen = 0; i < n; ++i)
        if (PassesExchangerFilter(i) && seen++ == row) return i;
    return n - 1;
}

int HIDesignViewerDesign::ExchangerIndexWhere(int row, bool (*test)(CNode*)) const {
    const int n = pDesign ? pDesign->GetNumberOfHeatExchangers() : 0;
    if (n == 0) return 0;
    CNode* unit = nullptr;
    for (int i = 0, seen = 0; i < n; ++i)
        if (pDesign->GetHeatExchanger(i, unit) && test(unit) && seen++ == row) return i;
    return n - 1;
}

int HIDesignViewerDesign::GetAreaSpecifiedExchangerIndex(int row) const { return ExchangerIndexWhere(row, isAreaSpecified); }
int HIDesignViewerDesign::GetConfiguredExchangerIndex(int row) const { return ExchangerIndexWhere(row, isConfigured); }
int HIDesignViewerDesign::GetUnconfiguredCoolerIndex(int row) const { return ExchangerIndexWhere(row, isUnconfiguredCooler); }
int HIDesignViewerDesign::GetUnconfiguredHeaterIndex(int row) const { return ExchangerIndexWhere(row, isUnconfiguredHeater); }

CNode* HIDesignViewerDesign::GetExchangerWithoutExistingArea(int n) const {
    if (n <= 0 || !pDesign) return nullptr;
    CNode* unit = nullptr;
    CNode* last = nullptr;
    for (int i = 0, seen = 0; pDesign->GetHeatExchanger(i, unit); ++i) {
        last = unit;
        if (isEmpty(valueOf(unit, "ExArea")) && ++seen == n) return unit;
    }
    return last;
}

CNode* HIDesignViewerDesign::FindExchangerByName(const Text& name) const {
    if (!pDesign) return nullptr;
    // The plots ask for every exchanger by name, many times a drawing: the index of the design's
    // list (first exchanger of each name) is kept and each answer checked against the design, so
    // that an exchanger added, removed or renamed since leads to the index being built again.
    auto answer = [&](CNode*& out) {
        const auto it = exchangerIndexByName.find(std::string(name.c_str()));
        if (it == exchangerIndexByName.end()) return false;
        CNode* unit = nullptr;
        if (!pDesign->GetHeatExchanger(it->second, unit) || !unit || UnitName(unit) != name) return false;
        out = unit;
        return true;
    };
    CNode* found = nullptr;
    const int exchangers = pDesign->GetNumberOfHeatExchangers();
    if (exchangerIndexDesign == pDesign && exchangerIndexCount == exchangers && answer(found)) return found;
    exchangerIndexByName.clear();
    exchangerIndexDesign = pDesign;
    exchangerIndexCount = exchangers;
    CNode* unit = nullptr;
    for (int i = 0; pDesign->GetHeatExchanger(i, unit); ++i)
        if (unit) exchangerIndexByName.emplace(std::string(UnitName(unit).c_str()), i);
    return answer(found) ? found : nullptr;
}

Text HIDesignViewerDesign::GetSideStreamName(CNode* exchanger, int side) {
    HeatExch* hx = AsHeatExch(exchanger);
    IHeatIntegrationStream* stream = hx && (side == 0 || side == 1) ? streamOf(hx->getInlet(side)) : nullptr;
    if (!stream) return Text();
    pCurrentStream = stream;
    return stream->GetName().c_str();
}

std::uint8_t HIDesignViewerDesign::GetUtilitySide(CNode* first, CNode* second) {
    for (CNode* node : {first, second}) {
        const IHeatIntegrationStream* stream = streamOf(node);
        if (!stream) return 255;
        if (stream->GetStreamKind() == 1) return stream->GetHotCold() == 0 ? 1 : 0;
    }
    return 255;
}

int HIDesignViewerDesign::GetDesignPinchIndex() const {
    if (!pScenario || !pScenario->GetProcessPinchPointList() || !pDesign) return -1;
    const double hot = pScenario->GetProcessPinchTemperature(0), cold = pScenario->GetProcessPinchTemperature(1);
    // The design keeps a copy of the scenario's pinch list; it ends at the first empty entry.
    for (int i = 0; i < 100000; ++i) {
        const double h = pDesign->GetPinchPoint(0, i), c = pDesign->GetPinchPoint(1, i);
        if (isEmpty(h) && isEmpty(c)) break;
        if (h == hot && c == cold) return i;
    }
    return 0;
}

double HIDesignViewerDesign::GetFilteredTotal(const VarDescription& var) const {
    if (var.Number() != 303 || !pDesign) return kEmpty;
    const char* name = nullptr;
    switch (var.Type()) {
        case 6: name = "Duty"; break;
        case 31000: name = "CapitalCost"; break;
        case 1508: name = "HTArea"; break;
        case 1519: name = "TotalNShells"; break;
        default: return kEmpty;
    }
    double sum = 0.0;
    CNode* unit = nullptr;
    for (int i = 0; pDesign->GetHeatExchanger(i, unit); ++i) {
        if (!PassesExchangerFilter(i)) continue;
        const double v = valueOf(unit, name);
        if (!isEmpty(v)) sum += v;
    }
    return sum == 0.0 ? kEmpty : sum;
}

const std::vector<int>& HIDesignViewerDesign::BuildCrossPinchList(int pinch) {
    const int n = CountFilteredExchangers();
    std::vector<int> index(static_cast<std::size_t>(n));
    std::vector<double> load(static_cast<std::size_t>(n), kEmpty);
    for (int r = 0; r < n; ++r) {
        const int i = GetFilteredExchangerIndex(r);
        index[static_cast<std::size_t>(r)] = i;
        CNode* unit = nullptr;
        double v = kEmpty;
        if (pDesign && pDesign->GetHeatExchanger(i, unit) && unit && unit->getIndexedVariable("CrossPinchLoads", pinch, v))
            load[static_cast<std::size_t>(r)] = v;
    }
    if (n > 1) sortByLoad(index, load, 0, n - 1);
    crossPinchOrder = std::move(index);
    return crossPinchOrder;
}

// ---- placement against the pinch ----

bool HIDesignViewerDesign::Placement(CNode* exchanger, int test) const {
    HeatExch* hx = AsHeatExch(exchanger);
    if (!hx || !pDesign) return false;
    const bool cooler = test < 2;
    if (cooler ? !hx->IsCooler() : !hx->IsHeater()) return false;
    const int at = std::max(0, GetDesignPinchIndex());
    const double hotPinch = pDesign->GetPinchPoint(0, at), coldPinch = pDesign->GetPinchPoint(1, at);
    const double hotIn = temperatureOf(hx->getInlet(0)), hotOut = temperatureOf(hx->getOutlet(0));
    const double coldIn = temperatureOf(hx->getInlet(1)), coldOut = temperatureOf(hx->getOutlet(1));
    // Above the hot pinch (tests 0 and 2) or below the cold pinch (tests 1 and 3).
    if (test % 2 == 0) return hotPinch < hotOut && hotPinch < coldIn;
    return coldOut < coldPinch && hotIn < coldPinch;
}

bool HIDesignViewerDesign::IsCoolerAboveHotPinch(CNode* exchanger) const { return Placement(exchanger, 0); }
bool HIDesignViewerDesign::IsCoolerBelowColdPinch(CNode* exchanger) const { return Placement(exchanger, 1); }
bool HIDesignViewerDesign::IsHeaterAboveHotPinch(CNode* exchanger) const { return Placement(exchanger, 2); }
bool HIDesignViewerDesign::IsHeaterBelowColdPinch(CNode* exchanger) const { return Placement(exchanger, 3); }

bool HIDesignViewerDesign::HasCondenserReboilerPartnerAcrossPinch(int row) const {
    CNode* first = nullptr;
    if (!pDesign || !pDesign->GetHeatExchanger(GetFilteredExchangerIndex(row), first) || !first) return false;
    // A condenser-reboiler carries the pair's key after the first at sign of its name.
    const Text name = UnitName(first);
    const std::size_t at = name.find('@');
    if (at == Text::npos || !AsHeatExch(first) || !AsHeatExch(first)->IsCondReb()) return false;
    const Text key = Text(name.substr(at + 1));
    CNode* other = nullptr;
    for (int i = 0; pDesign->GetHeatExchanger(i, other); ++i) {
        if (!other || other == first || !AsHeatExch(other) || !AsHeatExch(other)->IsCondReb() || UnitName(other).find(key) == Text::npos) continue;
        if ((IsHeaterAboveHotPinch(first) && IsCoolerBelowColdPinch(other)) ||
            (IsCoolerBelowColdPinch(first) && IsHeaterAboveHotPinch(other)))
            return true;
    }
    return false;
}

// ---- the performance table ----

double HIDesignViewerDesign::GetPerformanceValue(const VarDescription& var) const {
    if (!pDesign || !pScenario || pDesign->GetNumberOfHeatExchangers() == 0) return kEmpty;
    const int v = var.Number(), first = var.Offset(0) < 0 ? 0 : var.Offset(0);
    const int second = var.Offset(1);
    if (first != 0 && first != 1) return kEmpty;
    const bool againstBase = second != 0 && second != -1 && second != EmptyInt;
    IHENDesign* base = nullptr;
    if (againstBase) pScenario->GetRetrofitBaseDesign(base);
    double figure = kEmpty, reference = kEmpty;
    auto streamCosts = [&](int side) {
        double sum = 0.0;
        IHeatIntegrationStream* stream = nullptr;
        for (int i = 0; pScenario->GetStreamOfKind(i, stream, 1, side); ++i)
            if (stream) sum += stream->GetOperatingCost();
        return sum;
    };
    switch (v) {
        case 752: case 753: {
            const int side = v - 752;
            figure = annualised_costs::UtilityLoad(*pDesign, side);
            reference = againstBase ? (base ? base->GetTotalUtilityLoad(side) : kEmpty) : pScenario->GetUtilityTarget(side);
            break;
        }
        case 756:
            figure = pDesign->GetNumberOfHeatExchangers();
            reference = pScenario->GetMinimumNumberOfUnits(1);
            break;
        case 757:
            figure = pDesign->GetTotalNumberOfShells() - pDesign->GetNumberOfIgnoredDummyUtilities();
            reference = pScenario->GetNumberOfShellsTarget();
            break;
        case 758:
            figure = pDesign->GetTotalArea();
            reference = pScenario->GetAreaTarget(1);
            break;
        case 759: case 760: case 761: {
            const int kind = v == 761 ? 2 : v - 759;
            figure = annualised_costs::UtilityCost(*pDesign, kind);
            if (second == 1) {
                // Against the retrofit base design: the saving, or the agreement of the costs.
                IHENDesign* b = nullptr;
                pScenario->GetRetrofitBaseDesign(b);
                if (!b) return kEmpty;
                const double before = b->GetTotalUtilityCost(kind);
                if (figure == kEmpty) return kEmpty;
                return first == 0 ? before - figure : HIDesignViewerScenario::Compare(before, figure);
            }
            reference = v == 761 ? pScenario->GetCostTarget(4) : streamCosts(v - 759);
            break;
        }
        case 762:
            figure = pDesign->GetTotalCapitalCost();
            reference = pScenario->GetCostTarget(7);
            break;
        case 763:
            figure = annualised_costs::TotalAnnualCost(*pDesign);
            reference = annualised_costs::TotalAnnualCostTarget(*pScenario);
            break;
        default: return kEmpty;
    }
    if (figure == kEmpty) return kEmpty;
    return first == 0 ? figure : HIDesignViewerScenario::Compare(reference, figure);
}

// ---- pinch diagram ----

void HIDesignViewerDesign::SetPinchDiagram(bool on) {
    if (!pGridDiagram) return;
    // The diagram's own switch keeps its working configuration in step and lays it out anew.
    pGridDiagram->Specify(VarDescription(104, 202), on ? 1.0 : 0.0);
    UpdateViews(pGridDiagram);
}

int HIDesignViewerDesign::GetPinchDiagram() const { return pGridDiagram && pGridDiagram->showPinch ? 1 : 0; }
