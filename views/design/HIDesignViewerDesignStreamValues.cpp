// The design viewer's numbers about streams: the process-stream list and its uncovered loads,
// the utility streams with their loads and costs, the selected stream and the units on it, the
// streams on the sides of an exchanger, the measured temperatures and their weights, and the
// cross-pinch table. A stream looked up for a row becomes the viewer's current stream where the
// forms go on to open its segment table.
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/Resources.h"
#include "lumeth/VarEnumInfo.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/DesignValueRows.h"

#include <algorithm>

namespace {

using V = HIDesignViewerDesign;
using Row = HIDesignViewerDesign::ValueRow;
using L = Row::List;
using Var = const VarDescription&;
using Stream = IHeatIntegrationStream;
constexpr double kEmpty = Viewable::EmptyValue;
// The framework's colour-table numbers of a good (46) and a doubtful (45) cell; 0 is black.
constexpr double kGood = 46.0;

double flag(bool b) { return b ? 1.0 : 0.0; }

// What the stream still lacks: the remainder the design reports, 0.0 when it is satisfied.
double uncovered(IHENDesign& d, Stream* s) {
    double rest = 0.0;
    return d.IsStreamSatisfied(s, &rest) ? 0.0 : rest;
}

// The scenario's stream named by the viewer's selection; it becomes the current stream.
Stream* selectedStream(V& v) {
    Stream* s = nullptr;
    if (v.strSelectedStream.empty() || !v.GetScenario() || !v.GetScenario()->GetStream(CPString(v.strSelectedStream), s))
        return nullptr;
    if (s) v.SetCurrentStream(s);
    return s;
}

// The utility stream at a row of the utility list; it becomes the current stream.
Stream* utilityRow(V& v, int row) {
    Stream* s = nullptr;
    IHeatIntegrationScenario* scenario = v.GetScenario();
    if (!scenario || row < 0 || row >= scenario->GetNumberOfStreamsOfKind(1, 2) || !scenario->GetStreamOfKind(row, s, 1, 2))
        return nullptr;
    if (s) v.SetCurrentStream(s);
    return s;
}

double sideStreamTemperature(CNode& u, int side, bool target) {
    const Stream* s = design_rows::NodeStream(design_rows::Port(&u, side, false));
    if (!s) return kEmpty;
    return target ? s->GetTargetTemperature() : s->GetSupplyTemperature();
}

// The load of the stream entering a side: a heater's steam (hot side) or a cooler's water
// (cold side) by what the design draws from that utility, any other stream by its own load.
double sideLoad(V& v, CNode& u, int side) {
    HeatExch* hx = AsHeatExch(&u);
    Stream* s = hx ? design_rows::NodeStream(hx->getInlet(side)) : nullptr;
    if (!s) return kEmpty;
    const bool utility = side == 0 ? hx->IsHeater() : hx->IsCooler();
    return utility ? v.GetDesign()->GetUtilityLoad(s->GetName()) : s->GetHeatLoad(0);
}

// A temperature of the side of a unit on the selected stream that carries that stream.
double selectedSideTemperature(V& v, CNode& u, bool outlet) {
    for (int side : {0, 1}) {
        const Stream* s = design_rows::NodeStream(design_rows::Port(&u, side, false));
        if (s && Text(s->GetName().c_str()) == v.strSelectedStream)
            return design_rows::NodeValue(design_rows::Port(&u, side, outlet), "Temperature");
    }
    return kEmpty;
}

// Ports in the order the measurement rows count them: hot inlet, hot outlet, cold inlet, cold outlet.
CNode* measuredPort(CNode& u, int number) {
    const int k = (number - 1) % 4;
    return design_rows::Port(&u, k / 2, k % 2 == 1);
}

double weight(CNode& u, int number) {
    const double w = design_rows::NodeValue(measuredPort(u, number), "TemperatureWeight");
    return w == kEmpty ? 1.0 : w;
}

double selectedStreamState(V& v, Var var) {
    Stream* s = selectedStream(v);
    const bool satisfied = s && v.GetDesign()->IsStreamSatisfied(s, nullptr);
    switch (var.Offset(0)) {
        case 0: return satisfied ? kGood : design_rows::FormBackground();
        case 1: return satisfied ? design_rows::FormBackground() : 0.0;
        default: return flag(satisfied);
    }
}

}  // namespace

namespace design_rows {

double NodeValue(const CNode* node, const char* name) {
    double v = kEmpty;
    return node && node->getVariableAsDouble(name, v) ? v : kEmpty;
}

IHeatIntegrationStream* NodeStream(const CNode* node) {
    auto* piece = dynamic_cast<const StreamPiece*>(node);
    return piece ? dynamic_cast<IHeatIntegrationStream*>(piece->getParentPIStream()) : nullptr;
}

CNode* Port(const CNode* unit, int side, bool outlet) {
    HeatExch* hx = AsHeatExch(const_cast<CNode*>(unit));
    if (!hx || (side != 0 && side != 1)) return nullptr;
    return outlet ? static_cast<CNode*>(hx->getOutlet(side)) : static_cast<CNode*>(hx->getInlet(side));
}

double FormBackground() {
    ColourResource colour{"FormBGColour", 192, 192, 192};
    if (const ResourceRegistry* resources = ResourceRegistry::Current()) resources->FindColour("FormBGColour", colour);
    return double(colour.Packed());
}

void AddStreamRows(Rows& rows) {
    const std::vector<Row> more = {
        // the current stream list
        {.type = 1519, .number = 299, .read = [](V& v, Var var) {
             Stream* s = v.StreamRow(var.Offset(0));
             return s ? HIDesignViewerScenario::Compare(s->GetHeatLoad(0), uncovered(*v.GetDesign(), s)) : kEmpty;
         }, .dims = 1},
        {.type = 6, .number = 300, .read = [](V& v, Var var) {
             Stream* s = v.StreamRow(var.Offset(0));
             return s ? uncovered(*v.GetDesign(), s) : kEmpty;
         }, .dims = 1},
        {.type = 6, .number = 301, .read = [](V& v, Var var) {
             Stream* s = v.StreamRow(var.Offset(0));
             return s ? s->GetHeatLoad(0) : kEmpty;
         }, .dims = 1},
        {.type = 104, .number = 413, .read = [](V& v, Var var) {
             Stream* s = v.StreamRow(var.Offset(0));
             const int hotCold = s ? s->GetHotCold() : -1;
             return hotCold == 0 ? 1.0 : hotCold == 1 ? 0.0 : kEmpty;
         }, .dims = 1},
        {.type = 104, .number = 701, .read = [](V& v, Var var) {
             Stream* s = v.GetDesign()->GetUnsatisfiedProcessStream(var.Offset(0));
             return flag(s && v.GetDesign()->IsStreamSatisfied(s, nullptr));
         }, .dims = 1},
        // the selected stream
        {.type = 104, .number = 750, .read = [](V& v, Var) {
             Stream* s = selectedStream(v);
             return flag(s && v.GetDesign()->IsStreamSatisfied(s, nullptr));
         }},
        {.type = 100, .number = 706, .read = selectedStreamState},
        {.type = 105, .number = 764, .read = [](V& v, Var) {
             const VarEnumInfo* names = v.GetStreamNameEnum();
             if (!names || v.strSelectedStream.empty()) return 0.0;
             const int at = names->FindEntry(v.strSelectedStream);
             return at >= 0 ? double(at) : 0.0;
         }},
        // the utility streams
        {.type = 6, .number = 765, .read = [](V& v, Var var) {
             Stream* s = utilityRow(v, var.Offset(0));
             return s ? v.GetDesign()->GetUtilityLoad(s->GetName()) : kEmpty;
         }, .dims = 1},
        {.type = 31001, .number = 766, .read = [](V& v, Var var) {
             Stream* s = utilityRow(v, var.Offset(0));
             return s ? v.GetDesign()->GetUtilityCost(s->GetName()) : kEmpty;
         }, .dims = 1},
        // the streams on the sides of the filtered exchangers
        {.type = 6, .number = 603, .list = L::Filtered, .unitRead = [](V& v, CNode& u, Var) { return sideLoad(v, u, 0); }},
        {.type = 6, .number = 604, .list = L::Filtered, .unitRead = [](V& v, CNode& u, Var) { return sideLoad(v, u, 1); }},
        {.type = 1, .number = 613, .list = L::Filtered, .unitRead = [](V&, CNode& u, Var) { return sideStreamTemperature(u, 0, false); }},
        {.type = 1, .number = 614, .list = L::Filtered, .unitRead = [](V&, CNode& u, Var) { return sideStreamTemperature(u, 0, true); }},
        {.type = 1, .number = 615, .list = L::Filtered, .unitRead = [](V&, CNode& u, Var) { return sideStreamTemperature(u, 1, false); }},
        {.type = 1, .number = 616, .list = L::Filtered, .unitRead = [](V&, CNode& u, Var) { return sideStreamTemperature(u, 1, true); }},
        // the units on the selected stream
        {.type = 1, .number = 710, .list = L::OnStream, .unitRead = [](V& v, CNode& u, Var) { return selectedSideTemperature(v, u, false); }},
        {.type = 1, .number = 711, .list = L::OnStream, .unitRead = [](V& v, CNode& u, Var) { return selectedSideTemperature(v, u, true); }},
        // measured temperatures and the weights of their misfit in the reconciliation
        {.type = 1, .number = 601, .list = L::Direct, .unitRead = [](V&, CNode& u, Var) { return design_rows::NodeValue(measuredPort(u, 601), "MeasuredTemperature"); }},
        {.type = 1, .number = 602, .list = L::Direct, .unitRead = [](V&, CNode& u, Var) { return design_rows::NodeValue(measuredPort(u, 602), "MeasuredTemperature"); }},
        {.type = 1, .number = 603, .list = L::Direct, .unitRead = [](V&, CNode& u, Var) { return design_rows::NodeValue(measuredPort(u, 603), "MeasuredTemperature"); }},
        {.type = 1, .number = 604, .list = L::Direct, .unitRead = [](V&, CNode& u, Var) { return design_rows::NodeValue(measuredPort(u, 604), "MeasuredTemperature"); }},
        {.type = 1519, .number = 601, .list = L::Direct, .unitRead = [](V&, CNode& u, Var) { return weight(u, 601); }},
        {.type = 1519, .number = 602, .list = L::Direct, .unitRead = [](V&, CNode& u, Var) { return weight(u, 602); }},
        {.type = 1519, .number = 603, .list = L::Direct, .unitRead = [](V&, CNode& u, Var) { return weight(u, 603); }},
        {.type = 1519, .number = 604, .list = L::Direct, .unitRead = [](V&, CNode& u, Var) { return weight(u, 604); }},
        // the design pinch
        {.type = 1, .number = 611, .read = [](V& v, Var) { return v.GetDesign()->GetPinchPoint(0, std::max(0, v.GetDesignPinchIndex())); }},
        {.type = 1, .number = 612, .read = [](V& v, Var) { return v.GetDesign()->GetPinchPoint(1, std::max(0, v.GetDesignPinchIndex())); }},
        // the cross-pinch table: a row per exchanger of the cross-pinch list, a column per pinch
        {.type = 6, .number = 601, .read = [](V& v, Var var) {
             CNode* unit = nullptr;
             const int i = v.CrossPinchRow(var.Offset(0));
             double load = kEmpty;
             if (i < 0 || !v.GetDesign()->GetHeatExchanger(i, unit) || !unit ||
                 !unit->getIndexedVariable("CrossPinchLoads", var.Offset(1), load))
                 return kEmpty;
             return load;
         }, .dims = 2},
        {.type = 104, .number = 602, .read = [](V& v, Var var) {
             CNode* unit = nullptr;
             const int i = v.CrossPinchRow(var.Offset(0));
             if (i < 0 || !v.GetDesign()->GetHeatExchanger(i, unit) || !unit) return kEmpty;
             return double(V::GetUtilitySide(design_rows::Port(unit, 0, false), design_rows::Port(unit, 1, false)));
         }, .dims = 1},
    };
    rows.insert(rows.end(), more.begin(), more.end());
}

}  // namespace design_rows

IHeatIntegrationStream* HIDesignViewerDesign::StreamRow(int row) const {
    if (!pDesign || row < 0) return nullptr;
    if (nStreamListMode == 0) return pDesign->GetUnsatisfiedProcessStream(row);
    return nStreamListMode == 1 ? pDesign->GetProcessStream(row) : nullptr;
}

int HIDesignViewerDesign::CrossPinchRow(int row) {
    if (static_cast<int>(crossPinchOrder.size()) != CountFilteredExchangers()) BuildCrossPinchList(nCrossPinchSortColumn);
    return row >= 0 && row < static_cast<int>(crossPinchOrder.size()) ? crossPinchOrder[static_cast<std::size_t>(row)] : -1;
}
