// The design viewer's value dispatcher and its rows: the exchanger values of each row list, the
// design's and the scenario's figures, and the viewer's own settings.
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/DisplayUnits.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"
#include "views/design/DesignValueRows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace {

using V = HIDesignViewerDesign;
using Row = HIDesignViewerDesign::ValueRow;
using L = Row::List;
using Var = const VarDescription&;
constexpr double kEmpty = Viewable::EmptyValue;

double flag(bool b) { return b ? 1.0 : 0.0; }

double valueOf(const CNode* node, const char* name) {
    double v = kEmpty;
    return node && node->getVariableAsDouble(name, v) ? v : kEmpty;
}

IHeatIntegrationStream* streamOf(const CNode* node) {
    auto* piece = dynamic_cast<const StreamPiece*>(node);
    return piece ? dynamic_cast<IHeatIntegrationStream*>(piece->getParentPIStream()) : nullptr;
}

// The inlet (or outlet) node of a side of an exchanger; null for another kind of unit.
CNode* portOf(CNode& unit, int side, bool outlet) {
    HeatExch* hx = AsHeatExch(&unit);
    if (!hx) return nullptr;
    return outlet ? static_cast<CNode*>(hx->getOutlet(side)) : static_cast<CNode*>(hx->getInlet(side));
}

double portTemperature(CNode& unit, int side, bool outlet) { return valueOf(portOf(unit, side, outlet), "Temperature"); }

// Position of the exchanger's hot-side (0) or cold-side (1) stream against the design pinch;
// the sort column of the cross-pinch list follows the pinch read.
double pinchPosition(V& v, CNode& unit, int side) {
    const int at = v.GetDesignPinchIndex();
    v.nCrossPinchSortColumn = at;
    const double pinch = v.GetDesign()->GetPinchPoint(side, at < 0 ? 0 : at);
    const IHeatIntegrationStream* s = streamOf(portOf(unit, side, false));
    if (!s) return kEmpty;
    return design_rows::PinchPosition(side, pinch, s->GetSupplyTemperature(), s->GetTargetTemperature());
}

// The utility stream of a heater (its hot side) or a cooler (its cold side).
IHeatIntegrationStream* utilityStreamOf(CNode& unit) {
    HeatExch* hx = AsHeatExch(&unit);
    if (!hx || !hx->IsUtilityExch()) return nullptr;
    return streamOf(hx->IsHeater() ? hx->getInlet(0) : hx->getInlet(1));
}

double streamValue(IHeatIntegrationStream* s, const char* name) {
    double out = kEmpty;
    return s && s->GetValue(name, out, 0) ? out : kEmpty;
}

double compare(double reference, double value) {
    if (reference == kEmpty || value == kEmpty || reference == 0.0) return kEmpty;
    return 100.0 * value / reference;
}

std::uint64_t key(int type, int number) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(type)) << 32) | static_cast<std::uint32_t>(number);
}

}  // namespace

namespace design_rows {

int PinchPosition(int side, double pinch, double supply, double target) {
    constexpr double tol = 0.0001;
    // A hot stream runs from its supply down to its target, a cold one from its target down
    // to its supply: the upper end decides "below", the lower end "across".
    const double upper = side == 0 ? supply : target, lower = side == 0 ? target : supply;
    if (pinch + tol > upper) return 0;
    if (lower <= pinch - tol) return 2;
    return 1;
}

int EventKindClass(int kind) {
    switch (kind) {
        case 3: case 6: case 7: return 1;
        case 0: case 1: case 2: case 4: case 5: return 0;
        default: return 2;
    }
}

double RequiredFlow(double duty, double specificHeat, double supply, double target, double flow) {
    const double span = std::fabs(supply - target);
    if (duty == kEmpty || specificHeat == kEmpty || !(specificHeat > 0.0) || !(span > 0.0) || !(duty > 0.0)) return flow;
    return duty / (specificHeat * span);
}

}  // namespace design_rows

Text HIDesignViewerDesign::ValueRow::Address() const {
    if (name) return FormattedText("%s.%d", name, number);
    const QuantityInfo* q = FindQuantity(type);
    return FormattedText("%s.%d", q ? q->name.c_str() : "ExtraData", number);
}

const std::vector<HIDesignViewerDesign::ValueRow>& HIDesignViewerDesign::ValueRows() {
    static const std::vector<Row> rows = [] {
    std::vector<Row> table = {
        // percentage
        {.type = 110, .number = 200, .read = [](V& v, Var) { return v.dPercentage; }},
        // lengths
        {.type = 1507, .number = 200, .list = L::AreaSpecified, .value = "ShellDiameter"},
        // plain numbers
        {.type = 1519, .number = 100, .read = [](V& v, Var) { return double(v.nCrossPinchSortColumn); }},
        {.type = 1519, .number = 200, .read = [](V&, Var var) { return var.Offset(0) == 1 ? 2.0 : kEmpty; }},
        {.type = 1519, .number = 302, .list = L::Filtered, .value = "TotalNShells"},
        {.type = 1519, .number = 709, .list = L::Direct, .value = "TotalNShells"},
        {.type = 1519, .number = 305, .read = [](V&, Var var) { return var.Offset(0) + 1.0; }},
        {.type = 1519, .number = 714, .read = [](V&, Var var) { return var.Offset(0) + 1.0; }},
        {.type = 1519, .number = 765, .read = [](V&, Var var) { return var.Offset(0) + 1.0; }},
        {.type = 1519, .number = 307, .list = L::AreaSpecified, .value = "NShellsInSeries"},
        {.type = 1519, .number = 359, .list = L::AreaSpecified, .value = "NumberOfTubes"},
        {.type = 1519, .number = 360, .list = L::AreaSpecified, .value = "TubePasses"},
        {.type = 1519, .number = 401, .list = L::Filtered, .value = "AdShell"},
        {.type = 1519, .number = 587, .read = [](V& v, Var) { return double(v.nEventKind); }},
        {.type = 1519, .number = 700, .list = L::Filtered, .value = "FtFactor"},
        {.type = 1519, .number = 703, .list = L::Filtered, .unitRead = [](V&, CNode& u, Var) {
             return compare(valueOf(&u, "MaxSpareArea"), valueOf(&u, "HTArea"));
         }},
        {.type = 1519, .number = 754, .list = L::New, .value = "TotalNShells"},
        {.type = 1519, .number = 755, .list = L::New, .value = "FtFactor"},
        // A network that does not calculate has no added area to tell, as it has no capital.
        {.type = 1519, .number = 764, .read = [](V& v, Var) {
             return v.GetDesign()->IsNetworkCalculated() ? v.GetDesign()->GetTotalAddedArea() : kEmpty;
         }},
        {.type = 1519, .number = 770, .list = L::OnStream, .value = "TotalNShells"},
        {.type = 1519, .number = 772, .list = L::OnStream, .value = "TotalNShells"},
        {.type = 1519, .number = 811, .list = L::Filtered, .unitRead = [](V& v, CNode& u, Var) { return pinchPosition(v, u, 0); }},
        {.type = 1519, .number = 812, .list = L::Filtered, .unitRead = [](V& v, CNode& u, Var) { return pinchPosition(v, u, 1); }},
        {.type = 1519, .number = 981, .list = L::Direct, .unitRead = [](V&, CNode& u, Var) {
             HeatExch* hx = AsHeatExch(&u);
             return hx && hx->IsHeater() ? 1.0 : hx && hx->IsCooler() ? 2.0 : 3.0;
         }},
        // switches
        {.type = 104, .number = 201, .read = [](V&, Var) { return 0.0; }},
        {.type = 104, .number = 202, .read = [](V&, Var) { return 1.0; }},
        {.type = 104, .number = 203, .read = [](V&, Var) { return 1.0; }},
        {.type = 104, .number = 204, .read = [](V&, Var) { return 0.0; }},
        {.type = 104, .number = 205, .read = [](V& v, Var) {
             return flag(!(v.GetScenario() && v.GetScenario()->IsRetrofitScenario()));
         }},
        {.type = 104, .number = 206, .read = [](V& v, Var) { return double(v.bOption206); }},
        {.type = 104, .number = 207, .read = [](V& v, Var) { return double(v.bOperationsMode); }},
        {.type = 104, .number = 213, .read = [](V& v, Var) { return flag(v.nSetting211 == 2); }},
        {.type = 104, .number = 219, .read = [](V& v, Var) {
             return v.nSetting201 == 1 ? 0.0 : v.nSetting201 == 2 ? 1.0 : kEmpty;
         }},
        {.type = 104, .number = 410, .read = [](V& v, Var) { return flag(v.GetGridDiagram() != nullptr); }},
        {.type = 104, .number = 420, .list = L::Direct, .unitRead = [](V&, CNode&, Var) { return 1.0; }},
        {.type = 104, .number = 421, .list = L::OnStream, .unitRead = [](V&, CNode&, Var) { return 1.0; }},
        {.type = 104, .number = 422, .list = L::Filtered, .unitRead = [](V&, CNode&, Var) { return 1.0; }},
        {.type = 104, .number = 424, .list = L::Filtered, .unitRead = [](V&, CNode& u, Var) {
             return double(V::GetUtilitySide(portOf(u, 0, false), portOf(u, 1, false)));
         }},
        {.type = 104, .number = 437, .read = [](V& v, Var) { return flag(!(v.nEventKind == V::EmptyInt || v.strHXSelection.empty())); }},
        {.type = 104, .number = 488, .read = [](V& v, Var) { return flag(!(v.nEventKind == V::EmptyInt || v.strHXSelection.empty())); }},
        // costs
        {.type = 31000, .number = 301, .list = L::Filtered, .value = "CapitalCost"},
        {.type = 31000, .number = 712, .list = L::New, .value = "CapitalCost"},
        {.type = 31000, .number = 756, .read = [](V& v, Var) {
             return v.GetDesign()->GetNumberOfHeatExchangers() > 0 ? v.GetDesign()->GetTotalCapitalCost() : kEmpty;
         }},
        {.type = 31000, .number = 768, .list = L::OnStream, .value = "CapitalCost"},
        // mass flows of a utility exchanger's utility
        {.type = 4, .number = 103, .list = L::Filtered, .unitRead = [](V&, CNode& u, Var) {
             return streamValue(utilityStreamOf(u), "MassFlow");
         }},
        {.type = 4, .number = 104, .list = L::Filtered, .unitRead = [](V&, CNode& u, Var) {
             IHeatIntegrationStream* s = utilityStreamOf(u);
             if (!s) return kEmpty;
             return design_rows::RequiredFlow(valueOf(&u, "Duty"), streamValue(s, "SpecificHeat"), s->GetSupplyTemperature(),
                                              s->GetTargetTemperature(), streamValue(s, "MassFlow"));
         }},
        // heat loads
        {.type = 6, .number = 150, .read = [](V& v, Var var) { return v.GetDesign()->GetCrossPinchLoad(var.Offset(0)); }},
        {.type = 6, .number = 304, .list = L::Filtered, .value = "Duty"},
        // The cross-pinch load is read with the utilities assigned by the first method; the
        // scenario's own choice comes back afterwards, so showing the cell never changes it.
        // With a forbidden match only the automatic placement is allowed: the load is read with
        // it, and reading asks for no other.
        {.type = 6, .number = 602, .list = L::Filtered, .unitRead = [](V& v, CNode& u, Var) {
             IHeatIntegrationScenario* s = v.GetScenario();
             const int method = s ? s->GetUtilityAssignmentMethod() : 0;
             const bool switched = s && method != 1 && s->GetNumberOfForbiddenMatches() == 0;
             if (switched) s->SetUtilityAssignmentMethod(1);
             v.nCrossPinchSortColumn = 0;
             double load = kEmpty;
             if (!u.getIndexedVariable("CrossPinchLoads", 0, load)) load = kEmpty;
             v.nCrossPinchSortColumn = std::max(0, v.GetDesignPinchIndex());
             if (switched) s->SetUtilityAssignmentMethod(method);
             return load;
         }},
        {.type = 6, .number = 308, .list = L::Configured, .value = "MaxDuty"},
        {.type = 6, .number = 318, .list = L::UnconfiguredCooler, .value = "Duty"},
        {.type = 6, .number = 319, .list = L::UnconfiguredHeater, .value = "Duty"},
        {.type = 6, .number = 651, .list = L::Direct, .value = "ReconciledHeatLoad"},
        {.type = 6, .number = 713, .list = L::New, .value = "Duty"},
        {.type = 6, .number = 767, .list = L::OnStream, .value = "Duty"},
        // areas
        {.type = 1508, .number = 220, .list = L::Direct, .value = "MaxSpareArea"},
        {.type = 1508, .number = 302, .list = L::Filtered, .value = "HTArea"},
        {.type = 1508, .number = 306, .list = L::AreaSpecified, .value = "HTArea"},
        {.type = 1508, .number = 701, .list = L::Direct, .value = "MaxSpareArea"},
        {.type = 1508, .number = 702, .list = L::Direct, .unitRead = [](V&, CNode& u, Var) {
             const double spare = valueOf(&u, "MaxSpareArea"), area = valueOf(&u, "HTArea");
             return (spare == kEmpty ? 0.0 : spare) + (area == kEmpty ? 0.0 : area);
         }},
        {.type = 1508, .number = 704, .list = L::Filtered, .value = "MaxSpareArea"},
        {.type = 1508, .number = 705, .list = L::Filtered, .value = "MaxNewArea"},
        {.type = 1508, .number = 706, .list = L::Filtered, .value = "UnusedArea"},
        {.type = 1508, .number = 707, .list = L::Filtered, .value = "UnsedSpareArea"},
        {.type = 1508, .number = 708, .list = L::Filtered, .unitRead = [](V& v, CNode& u, Var) {
             return v.GetDesign()->IsNetworkCalculated() ? valueOf(&u, "AddArea") : kEmpty;
         }},
        {.type = 1508, .number = 709, .list = L::Filtered, .value = "MaxSpareArea"},
        {.type = 1508, .number = 711, .list = L::New, .value = "ExArea"},
        {.type = 1508, .number = 712, .list = L::Filtered, .value = "MaxNewArea"},
        {.type = 1508, .number = 769, .list = L::OnStream, .value = "HTArea"},
        // fouling factors
        {.type = 4101, .number = 500, .list = L::Filtered, .value = "HXFoulingFactor"},
        {.type = 4101, .number = 501, .list = L::AreaSpecified, .value = "HXFoulingFactor"},
        // temperature differences
        {.type = 1517, .number = 1, .read = [](V& v, Var) { return v.GetScenario() ? v.GetScenario()->GetDTmin() : kEmpty; }},
        {.type = 1517, .number = 500, .list = L::Filtered, .value = "HighEndDelT"},
        {.type = 1517, .number = 501, .list = L::Filtered, .value = "LowEndDelT"},
        {.type = 1517, .number = 607, .read = [](V& v, Var) { return v.GetDesign()->GetDTMin(); }},
        {.type = 1517, .number = 702, .list = L::Filtered, .value = "LMTD"},
        {.type = 1517, .number = 703, .list = L::New, .value = "LMTD"},
        {.type = 1517, .number = 704, .list = L::OnStream, .value = "LMTD"},
        // temperatures
        {.type = 1, .number = 343, .list = L::Filtered, .unitRead = [](V&, CNode& u, Var) { return portTemperature(u, 1, true); }},
        {.type = 1, .number = 344, .list = L::Filtered, .unitRead = [](V&, CNode& u, Var) { return portTemperature(u, 1, false); }},
        {.type = 1, .number = 346, .list = L::Filtered, .unitRead = [](V&, CNode& u, Var) { return portTemperature(u, 0, true); }},
        {.type = 1, .number = 347, .list = L::Filtered, .unitRead = [](V&, CNode& u, Var) { return portTemperature(u, 0, false); }},
        {.type = 1, .number = 355, .list = L::UnconfiguredCooler, .unitRead = [](V&, CNode& u, Var) { return portTemperature(u, 0, true); }},
        {.type = 1, .number = 356, .list = L::UnconfiguredHeater, .unitRead = [](V&, CNode& u, Var) { return portTemperature(u, 1, true); }},
        {.type = 1, .number = 750, .list = L::New, .unitRead = [](V&, CNode& u, Var) { return portTemperature(u, 0, false); }},
        {.type = 1, .number = 751, .list = L::New, .unitRead = [](V&, CNode& u, Var) { return portTemperature(u, 0, true); }},
        {.type = 1, .number = 752, .read = [](V&, Var) { return kEmpty; }},
        {.type = 1, .number = 753, .list = L::New, .unitRead = [](V&, CNode& u, Var) { return portTemperature(u, 1, true); }},
        // heat-transfer coefficients
        {.type = 1524, .number = 500, .list = L::AreaSpecified, .value = "ShellSideHTC"},
        {.type = 1524, .number = 501, .list = L::AreaSpecified, .value = "TubeSideHTC"},
        {.type = 1524, .number = 502, .list = L::AreaSpecified, .value = "ObservedHTC"},
        {.type = 1524, .number = 503, .list = L::AreaSpecified, .value = "OverallCleanHTC"},
        {.type = 1524, .number = 651, .list = L::Direct, .value = "OverallCleanHTC"},
        {.type = 1524, .number = 701, .list = L::Filtered, .value = "OverallHTC"},
        {.type = 1524, .number = 702, .list = L::New, .value = "OverallHTC"},
        {.type = 1524, .number = 703, .list = L::OnStream, .value = "OverallHTC"},
        // settings
        {.type = 109, .number = 200, .read = [](V& v, Var) { return double(v.nSetting200); }},
        {.type = 109, .number = 203, .read = [](V& v, Var) { return double(v.nSetting203); }},
        {.type = 109, .number = 204, .read = [](V& v, Var) { return double(v.nSetting204); }},
        {.type = 109, .number = 207, .read = [](V& v, Var) { return double(v.nSetting207); }},
        {.type = 109, .number = 208, .read = [](V& v, Var) { return double(v.nSetting208); }},
        // settings and counts
        {.type = 100, .number = 200, .read = [](V& v, Var) { return flag(v.GetDesign()->GetOperationLocked()); }},
        {.type = 100, .number = 201, .read = [](V& v, Var) { return double(v.nSetting201); }},
        {.type = 100, .number = 202, .read = [](V& v, Var) { return double(v.nOptimizationMode); }},
        {.type = 100, .number = 203, .read = [](V&, Var var) { return var.Offset(0) + 1.0; }},
        {.type = 100, .number = 210, .read = [](V& v, Var) { return double(v.nSetting210); }},
        {.type = 100, .number = 211, .read = [](V& v, Var) { return double(v.nSetting211); }},
        {.type = 100, .number = 212, .read = [](V& v, Var) { return double(v.nSetting212); }},
        {.type = 100, .number = 216, .read = [](V& v, Var) { return double(v.nSetting216); }},
        {.type = 100, .number = 217, .read = [](V& v, Var) { return double(v.nRetrofitOption); }},
        {.type = 100, .number = 412, .read = [](V& v, Var) { return double(v.nSetting412); }},
        {.type = 100, .number = 413, .read = [](V& v, Var) { return double(v.nStreamListMode); }},
        {.type = 100, .number = 414, .read = [](V& v, Var) { return double(v.nExchangerListMode); }},
        {.type = 100, .number = 601, .read = [](V& v, Var) { return double(v.CountFilteredExchangers()); }},
        {.type = 100, .number = 707, .read = [](V& v, Var) { return double(v.nSetting707); }},
        {.type = 100, .number = 800, .read = [](V& v, Var) { return double(design_rows::EventKindClass(v.nEventKind)); }},
        // by name
        // The pinch's number; without an index, the first's (as every row of a table reads).
        {.name = "CountPinch", .number = 200, .read = [](V&, Var var) { return std::max(var.Offset(0), 0) + 1.0; }},
    };
    design_rows::AddStreamRows(table);
    design_rows::AddNetworkRows(table);
    design_rows::AddRetrofitRows(table);
    return table;
    }();
    return rows;
}

const HIDesignViewerDesign::ValueRow* HIDesignViewerDesign::FindValueRow(const VarDescription& var) {
    struct Index {
        std::unordered_map<std::uint64_t, const Row*> typed;
        std::vector<const Row*> named;
    };
    static const Index index = [] {
        Index out;
        for (const Row& r : ValueRows()) {
            if (r.name) out.named.push_back(&r);
            else out.typed.emplace(key(r.type, r.number), &r);
        }
        return out;
    }();
    auto it = index.typed.find(key(var.Type(), var.Number()));
    if (it != index.typed.end()) return it->second;
    for (const Row* r : index.named)
        if (r->number == var.Number() && var.VariableIs(r->name)) return r;
    return nullptr;
}

double HIDesignViewerDesign::ReadRow(const ValueRow& row, const VarDescription& var) {
    if (row.list == L::None) return row.read(*this, var);
    const int i = var.Offset(0);
    int index = -1;
    CNode* unit = nullptr;
    switch (row.list) {
        case L::Direct: index = i; break;
        case L::Filtered: index = GetFilteredExchangerIndex(i); break;
        case L::AreaSpecified: index = GetAreaSpecifiedExchangerIndex(i); break;
        case L::Configured: index = GetConfiguredExchangerIndex(i); break;
        case L::UnconfiguredCooler: index = GetUnconfiguredCoolerIndex(i); break;
        case L::UnconfiguredHeater: index = GetUnconfiguredHeaterIndex(i); break;
        case L::New: unit = GetExchangerWithoutExistingArea(i + 1); break;
        case L::OnStream:
            if (strSelectedStream.empty()) return kEmpty;
            if (!pDesign->GetUnitOnStream(strSelectedStream.c_str(), i, unit)) unit = nullptr;
            break;
        case L::None: break;
    }
    if (!unit && (index < 0 || !pDesign->GetHeatExchanger(index, unit))) unit = nullptr;
    if (!unit) return kEmpty;
    return row.value ? valueOf(unit, row.value) : row.unitRead(*this, *unit, var);
}
