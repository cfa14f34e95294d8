// The design viewer's texts: names of exchangers, streams, units and schedules, the captions of
// its tables, and the status and hint lines looked up by key in the host's texts (some keys are
// formats filled with counts, names or money). Numbers shown inside a text are converted to the
// user's display units here; every other answer of the viewer stays in the engine's units.
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/FormDescription.h"
#include "lumeth/MessageKey.h"
#include "lumeth/Messages.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/DesignValueRows.h"

#include <cmath>
#include <cstring>
#include <set>
#include <string>

namespace {

using V = HIDesignViewerDesign;
using L = V::ValueRow::List;
using Stream = IHeatIntegrationStream;
constexpr double kEmpty = Viewable::EmptyValue;
// The framework's unit code of times told in years.
constexpr int kYearsKind = 44;

Text text(const char* s) { return s ? Text(s) : Text(); }

// An entry of a fixed caption list; empty past its end.
Text pick(int index, std::initializer_list<const char*> entries) {
    int i = 0;
    for (const char* e : entries)
        if (i++ == index) return Text(e);
    return Text();
}

// A node's name in the design: its unit name, or its flowsheet name when it has none.
Text nodeName(const CNode* node) {
    if (!node) return Text();
    const Text name = V::UnitName(node);
    return name.empty() ? Text(node->getName()) : name;
}

CNode* sideNode(CNode* unit, int side, bool outlet) { return design_rows::Port(unit, side, outlet); }

Text instrumentTag(CNode* node) {
    CPString tag;
    return node && node->getVariableAsString("TemperatureInstrumentTag", tag) ? Text(tag) : Text();
}

// What kind of exchanger a unit is, by the utility on either side.
Text exchangerKind(CNode* unit) {
    const Stream* hot = design_rows::NodeStream(sideNode(unit, 0, false));
    const Stream* cold = design_rows::NodeStream(sideNode(unit, 1, false));
    if (!hot || !cold) return "Process";
    for (const Stream* s : {hot, cold})
        if (s->GetStreamKind() == 1) return s->GetHotCold() == 0 ? "Heater" : "Cooler";
    return "Process";
}

// The status line of an exchanger by its calculation status.
Text statusText(CNode* unit) {
    HeatExch* hx = AsHeatExch(unit);
    const char* k = hx ? design_rows::StatusKey(hx->getStatus()) : nullptr;
    return k ? FindString(k) : Text();
}

Text solutionKey(int status, bool withNotExecuted) {
    switch (status) {
        case 0: return withNotExecuted ? FindString("NotExecuted") : Text();
        case 1: return FindString("Converged");
        case 2: return FindString("NotConverged");
        default: return Text();
    }
}

Text eventPrompt(int kind) {
    switch (kind) {
        case 0: return FindString("CleanExchanger");
        case 1: return FindString("AddAreaToExchanger");
        case 2: return FindString("SelectExchangerToAddShell");
        case 3: return FindString("SelectTeeToModifyFlowrate");
        case 4: return FindString("RemoveExchanger");
        case 5: return FindString("SelectExchangerToStudyFouling");
        case 6: return FindString("SelectStreamToModifyFlowrate");
        case 7: return FindString("SelectStreamToChangeInletTemperature");
        default: return FindString("ChangetoAnalyse");
    }
}

Text formatted(const char* formatKey, const MessageParameters& parameters) {
    return FormatMessage(FindString(formatKey), parameters);
}

Text number(int n) { return FormattedText("%d", n); }

}  // namespace

namespace design_rows {

const char* StatusKey(int status) {
    switch (status) {
        case 0: return MessageKey("StatusUnderSpecified");
        case 1: case 5: return nullptr;
        case 2: return MessageKey("StatusOverSpecified");
        case 3: return MessageKey("StatusOK");
        case 4: return MessageKey("StatusInfeasible");
        case 6: return MessageKey("StatusFailedCalc");
        case 7: return MessageKey("StatusPartialCalc");
        case 8: return MessageKey("StatusStreamUnderSpecified");
        default: return MessageKey("STUnknown");
    }
}

Text PinchText(double hot, double cold) {
    if (hot == kEmpty || cold == kEmpty) return Text();
    const UnitConversion unit = DefUnitConv(1, DefaultUnits);
    return FormattedText("%.2f %s / %.2f %s", calc_ounit(hot, unit), unit.name.c_str(), calc_ounit(cold, unit),
                         unit.name.c_str());
}

}  // namespace design_rows

// ---- row look-ups of the texts: a row past its list names nothing ----

CNode* HIDesignViewerDesign::TextRowUnit(int list, int row) {
    if (!pDesign || row < 0) return nullptr;
    CNode* unit = nullptr;
    int index = -1;
    switch (static_cast<L>(list)) {
        case L::Direct: index = row < pDesign->GetNumberOfHeatExchangers() ? row : -1; break;
        case L::Filtered: index = row < CountFilteredExchangers() ? GetFilteredExchangerIndex(row) : -1; break;
        case L::AreaSpecified:
            index = row < ListLength(ListSize::AreaSpecified) ? GetAreaSpecifiedExchangerIndex(row) : -1;
            break;
        case L::Configured: index = row < ListLength(ListSize::ConfiguredHeaters) ? GetConfiguredExchangerIndex(row) : -1; break;
        case L::UnconfiguredCooler:
            index = row < ListLength(ListSize::UnconfiguredCoolers) ? GetUnconfiguredCoolerIndex(row) : -1;
            break;
        case L::UnconfiguredHeater:
            index = row < ListLength(ListSize::UnconfiguredHeaters) ? GetUnconfiguredHeaterIndex(row) : -1;
            break;
        case L::New: return row < ListLength(ListSize::NewExchangers) ? GetExchangerWithoutExistingArea(row + 1) : nullptr;
        default: return nullptr;
    }
    return index >= 0 && pDesign->GetHeatExchanger(index, unit) ? unit : nullptr;
}

IHENDesign* HIDesignViewerDesign::RetrofitResult() const {
    return pScenario && pDesign ? pScenario->GetRetrofitRunResult(pDesign, nRetrofitMode) : nullptr;
}

Text HIDesignViewerDesign::RetrofitResultName() const {
    const IHENDesign* result = RetrofitResult();
    return result && result->GetDesignName() ? Text(result->GetDesignName()) : Text();
}

int HIDesignViewerDesign::RetrofitFeasibility() {
    IHENDesign* result = RetrofitResult();
    // A result whose network does not calculate has no capital or payback to judge.
    if (!result || !result->IsNetworkCalculated()) return 0;
    dRetrofitCapitalCost = result->CalculateCapitalCost();
    if (dRetrofitCapitalCost > pScenario->GetOptimizerEconomicParameter()) return 1;
    dRetrofitPayback = result->GetPaybackTime();
    return dRetrofitPayback <= 0.0 ? 2 : 0;
}

Text HIDesignViewerDesign::NamedText(const VarDescription& var, bool& answered) {
    answered = true;
    const int n = var.Number(), i = var.Offset(0);
    IHENDesign& d = *pDesign;
    if (var.VariableIs("Name")) {
        switch (n) {
            case 299: return text(d.GetDesignName());
            case 300: return UnitName(TextRowUnit(int(L::Filtered), i));
            case 302: return text(d.GetStoredTextC());
            case 303: return text(d.GetStoredTextB());
            case 304: return pScenario ? text(pScenario->GetExtractionItemName(i)) : Text();
            case 345: case 348: {
                CNode* unit = TextRowUnit(int(L::Filtered), i);
                return unit ? GetSideStreamName(unit, n == 345 ? 1 : 0) : Text();
            }
            case 601: return CrossPinchName(i);
            case 690: return design_rows::PinchText(d.GetPinchPoint(0, i), d.GetPinchPoint(1, i));
            case 780: {
                HeatExch* hx = AsHeatExch(TextRowUnit(int(L::Filtered), i));
                if (!hx || !hx->IsUtilityExch()) return Text();
                const Stream* s = design_rows::NodeStream(hx->IsHeater() ? hx->getInlet(0) : hx->getInlet(1));
                return s ? Text(s->GetName()) : Text();
            }
            case 781: case 782: case 783: case 784: {
                CNode* unit = TextRowUnit(int(L::Filtered), i);
                const int side = n <= 782 ? 0 : 1;
                const bool upstream = n == 781 || n == 783;
                CNode* node = sideNode(unit, side, !upstream);
                if (!node) return Text();
                return nodeName(upstream ? node->getFirstUpStreamNode() : node->getFirstDownStreamNode());
            }
            default: break;
        }
    }
    if (var.VariableIs("Notes") && n == 401) return text(d.GetNotes());
    if (var.VariableIs("HENRNotes") && n == 402) return text(d.GetChangeLog());
    if (var.VariableIs("HeatExchType") && n == 400) {
        CNode* unit = TextRowUnit(int(L::AreaSpecified), i);
        return unit ? exchangerKind(unit) : Text();
    }
    if (var.VariableIs("HXSelection") && n == 389) return strHXSelection;
    if (var.VariableIs("HXSelectionName") && n == 388)
        return i >= 0 && i < static_cast<int>(pEventTargets.size()) ? pEventTargets[static_cast<std::size_t>(i)] : Text();
    answered = false;
    return Text();
}

Text HIDesignViewerDesign::CrossPinchName(int row) {
    const int index = CrossPinchRow(row);
    CNode* unit = nullptr;
    return index >= 0 && pDesign->GetHeatExchanger(index, unit) ? UnitName(unit) : Text();
}

Text HIDesignViewerDesign::PlainText(const VarDescription& var) {
    const int n = var.Number(), i = var.Offset(0), j = var.Offset(1) < 0 ? 0 : var.Offset(1);
    IHENDesign& d = *pDesign;
    HIDesignViewerScenario* owner = GetOwningScenarioViewer();
    switch (n) {
        case 500: return statusText(TextRowUnit(int(L::Direct), i));
        case 501:
            if (nExchangerListMode == 0) return statusText(d.GetIncompleteHeatExchanger(i));
            return nExchangerListMode == 1 ? statusText(TextRowUnit(int(L::Direct), i)) : Text();
        case 201: return pick(i, {"Base Case", "Design", "New Equipment"});
        case 202: return pick(i, {"Base Case", "Targets", "Design"});
        case 203: return owner ? static_cast<Viewable*>(owner)->TextValue(var) : Text();
        case 204: return pick(i, {"Heating", "Cooling", "Area"});
        case 205: return owner ? owner->GetName() : Text();
        case 206: {
            const Viewable* above = owner ? owner->OwnerViewable() : nullptr;
            return above ? above->GetName() : Text();
        }
        case 207: return FindString("OptimizationWarning");
        case 208: return strText208;
        case 593: {
            // The chosen schedule's name, which the cell renames.
            const char* schedule = d.GetCurrentScheduleName();
            return schedule ? Text(schedule) : Text();
        }
        case 210: return UnitName(TextRowUnit(int(L::New), i));
        case 211: return FindString("DoF") + FormattedText(" %d", d.GetDegreesOfFreedom());
        case 212: {
            const int all = d.GetNumberOfIncompleteHeatExchangers(false), failed = d.GetNumberOfIncompleteHeatExchangers(true);
            const int streams = d.GetNumberOfUnsatisfiedProcessStreams();
            return formatted(MessageKey("HXNotCalculated"), {number(all - failed), number(failed)}) + "\t" +
                   FindString(streams == 1 ? "NotSatisfiedSingular" : "NotSatisfiedPlural") +
                   FormattedText("%d ", streams);
        }
        case 213:
            switch (nSetting211) {
                case 1: return FindString("All");
                case 2: return FindString("ProcessProcess");
                case 3: return FindString("ProcessHotUtility");
                case 4: return FindString("ProcessColdUtility");
                default: return Text();
            }
        case 214:
            return nRetrofitOption == 0   ? FindString("RetrofitFromNewScenario")
                   : nRetrofitOption == 1 ? FindString("RetrofitFromExistScenario")
                                          : Text();
        case 230: {
            if (!d.GetOperationLocked()) return Text();
            const char* executed = d.GetExecutedScheduleName();
            return executed && *executed ? formatted(MessageKey("LastScheduleExecuted"), {Text(executed)})
                                         : FindString("DefaultState");
        }
        case 231: {
            if (!d.GetOperationLocked()) return Text();
            const char* executed = d.GetExecutedScheduleName();
            const Text state = executed && *executed ? solutionKey(d.GetScheduleSolutionStatus(CPString(executed)), true)
                                                     : solutionKey(d.GetOperatingStateStatus(), false);
            return state.empty() ? Text() : FindString("HENCalculaterStatus") + state;
        }
        case 300: return UnitName(TextRowUnit(int(L::Filtered), i));
        case 301:
            if (nExchangerListMode == 0) return UnitName(d.GetIncompleteHeatExchanger(i));
            return nExchangerListMode == 1 ? UnitName(TextRowUnit(int(L::Direct), i)) : Text();
        case 306: return UnitName(TextRowUnit(int(L::AreaSpecified), i));
        case 308: return UnitName(TextRowUnit(int(L::Configured), i));
        case 310: {
            const Stream* s = StreamRow(i);
            return s ? Text(s->GetName()) : Text();
        }
        case 311: return number(d.GetDegreesOfFreedom());
        case 312: return number(d.GetNumberOfUnknowns());
        case 318: return UnitName(TextRowUnit(int(L::UnconfiguredCooler), i));
        case 319: return UnitName(TextRowUnit(int(L::UnconfiguredHeater), i));
        case 320: return pick(i, {"Design", "Base Design", "Additional"});
        case 331: {
            // Without a result design that calculates, or without its figure, there is no cost or
            // payback to show.
            if (!RetrofitResult() || !RetrofitResult()->IsNetworkCalculated()) return Text();
            const int check = RetrofitFeasibility();
            const double figure = check == 1 ? dRetrofitCapitalCost : dRetrofitPayback;
            if (figure == kEmpty || !std::isfinite(figure)) return Text();
            // The capital is an amount; the payback, held in seconds, is told in years with its unit.
            if (check == 1) return formatted(MessageKey("FeasiblityCheckCost"), {FormattedText("%.2f", figure)});
            const UnitConversion years = DefUnitConv(kYearsKind);
            return formatted(MessageKey("FeasiblityCheckCost"),
                             {FormattedText("%.2f %s", calc_ounit(figure, years), years.name.c_str())});
        }
        case 332:
            if (RetrofitFeasibility() == 1 && pScenario)
                return formatted(MessageKey("SmallInvestment"),
                                 {MessageParameter(pScenario->GetOptimizerEconomicParameter())});
            return FindString("NegativePayback");
        case 333: return FindString("IncreaseMaxiumInvestment");
        case 345: case 348: {
            CNode* unit = TextRowUnit(int(L::Filtered), i);
            return unit ? GetSideStreamName(unit, n == 345 ? 1 : 0) : Text();
        }
        case 355: {
            const char* type = d.GetCurrentEventTypeName();
            return type ? FindString(type) : Text();
        }
        case 356: return text(d.GetCurrentEventName());
        case 400: return d.GetScenarioLockState() == 2 ? "Add. Cost Index" : "Cost Index";
        case 601: return CrossPinchName(i);
        case 650: return "Me Done";
        case 690: return design_rows::PinchText(d.GetPinchPoint(0, i), d.GetPinchPoint(1, i));
        case 701: case 702: {
            CNode* unit = TextRowUnit(int(L::New), i);
            const Stream* s = design_rows::NodeStream(sideNode(unit, n == 701 ? 0 : 1, false));
            return s ? Text(s->GetName()) : Text();
        }
        case 764: return UtilityStreamName(i);
        case 766: case 771: {
            CNode* unit = nullptr;
            if (strSelectedStream.empty() || !d.GetUnitOnStream(CPString(strSelectedStream), i, unit) || !unit) return Text();
            if (n == 766) return UnitName(unit);
            // The other stream through the unit: the parent stream of its first downstream
            // node, or of the next one when the first belongs to the selected stream.
            CPString parent;
            CNode* next = unit->getFirstDownStreamNode();
            if (next && next->getVariableAsString("ParentStream", parent) && Text(parent) == strSelectedStream) {
                next = unit->getNextDownStreamNode();
                parent = CPString();
                if (next) next->getVariableAsString("ParentStream", parent);
            }
            return Text(parent);
        }
        case 800:
            if (i == 0) return "Cost Index";
            return i == 1 ? (var.Offset(1) > 0 ? "% of BaseCase" : "% of Target") : Text();
        case 801: return pick(i, {"HEN", "% of Target"});
        case 802: return pick(i, {"Cost Index", "% Base Case"});
        case 803: return FindString("NotExecuted");
        case 804: return FindString("ExecutedandConverged");
        case 805: return FindString("ExecutedbutNotConverged");
        case 806: return eventPrompt(nEventKind);
        case 807: return FindString("UnittoExamine");
        case 808: return FindString("RemoveEventWarning");
        case 809: return FindString("RemoveTaskWarning");
        case 851: return instrumentTag(sideNode(TextRowUnit(int(L::Direct), i), 0, false));
        case 852: return instrumentTag(sideNode(TextRowUnit(int(L::Direct), i), 0, true));
        case 853: return instrumentTag(sideNode(TextRowUnit(int(L::Direct), i), 1, false));
        case 854: return instrumentTag(sideNode(TextRowUnit(int(L::Direct), i), 1, true));
        case 857: return strExchangerSearchName;
        case 903: return FormattedText("%u", static_cast<unsigned>(d.GetSubNetworkUnitFingerPrint(j, i)));
        case 907: return text(d.GetLoopUnitName(j, i));
        case 909: return text(d.GetPathStartName(i));
        case 910: return text(d.GetPathUnitName(j, i));
        case 911: return text(d.GetPathEndName(i));
        case 912: return text(d.GetAnalysisStreamName(i));
        case 951: return text(d.GetControlUnitName(i));
        case 962: return text(d.GetSubNetworkName(i));
        case 963: return text(d.GetControllabilityText());
        case 1006: return Text(d.GetOptimizerCheckUnitName(i));
        case 1007: return Text(d.GetOptimizerCheckUnitStatus(i));
        case 1009: return Text(d.GetOptimizerCheckInfeasibleExchangerName(i));
        case 1011: return Text(d.GetOptimizerCheckUntiedExchangerName(i));
        case 1017: return Text(d.GetOptimizerCheckTemperatureSpecUnitName(i));
        case 1018: return Text(d.GetOptimizerCheckTemperatureSpecText(i));
        case 1008: case 1010: case 1016: case 1019: case 1022: case 1030: {
            CPString out;
            switch (n) {
                case 1008: d.GetOptimizerCheckDegreesOfFreedomMessage(out); break;
                case 1010: d.GetOptimizerCheckFeasibilityMessage(out); break;
                case 1016: d.GetOptimizerCheckUntiedStreamsMessage(out); break;
                case 1019: d.GetOptimizerCheckTemperatureSpecsMessage(out); break;
                case 1022: d.GetOptimizerCheckOptionsMessage(out); break;
                default: d.GetOptimizerCheckMessage(out); break;
            }
            return Text(out);
        }
        case 1050: case 1051: case 1052: case 1053: {
            // Hot outlet, hot inlet, cold outlet, cold inlet.
            CNode* node = sideNode(TextRowUnit(int(L::Direct), i), n <= 1051 ? 0 : 1, n == 1050 || n == 1052);
            return node ? Text(node->getName()) : Text();
        }
        default: return Text();
    }
}

Text HIDesignViewerDesign::UtilityStreamName(int row) {
    if (!pScenario || row < 0) return Text();
    const int count = pScenario->GetNumberOfStreamsOfKind(1, 2);
    if (row == count) return "**New**";
    if (row > count) return Text();
    Stream* s = nullptr;
    if (!pScenario->GetStreamOfKind(row, s, 1, 2) || !s) {
        ErrorMsg("GetStreamError");
        return "*Unknown*";
    }
    pCurrentStream = s;
    return Text(s->GetName());
}

Text HIDesignViewerDesign::TextValue(const VarDescription& var) {
    if (!pDesign) return Viewable::TextValue(var);
    bool answered = false;
    Text out = NamedText(var, answered);
    if (answered) return out;
    // The tables the form description holds itself (the filtered names of the bar chart).
    if (Form().TextValue(*this, var, out)) return out;
    return var.Type() == 1519 ? PlainText(var) : Text();
}

void HIDesignViewerDesign::DescribeTexts(FormDescription& form) {
    struct Listed {
        const char* name;  // null: a plain-number text ("ExtraData")
        int number, dims;
    };
    static constexpr Listed kTexts[] = {
        {"Name", 299, 0}, {"Name", 300, 1}, {"Name", 302, 0}, {"Name", 303, 0}, {"Name", 304, 1}, {"Name", 345, 1},
        {"Name", 348, 1}, {"Name", 601, 1}, {"Name", 690, 1}, {"Name", 780, 1}, {"Name", 781, 1}, {"Name", 782, 1},
        {"Name", 783, 1}, {"Name", 784, 1}, {"Notes", 401, 0}, {"HENRNotes", 402, 0}, {"HeatExchType", 400, 1},
        {"HXSelection", 389, 0}, {"HXSelectionName", 388, 1},
        {nullptr, 500, 1}, {nullptr, 501, 1}, {nullptr, 201, 1}, {nullptr, 202, 1}, {nullptr, 203, 0}, {nullptr, 204, 1},
        {nullptr, 205, 0}, {nullptr, 206, 0}, {nullptr, 207, 0}, {nullptr, 208, 0}, {nullptr, 210, 1}, {nullptr, 211, 0},
        {nullptr, 212, 0}, {nullptr, 213, 0}, {nullptr, 214, 0}, {nullptr, 230, 0}, {nullptr, 231, 0}, {nullptr, 300, 1},
        {nullptr, 301, 1}, {nullptr, 306, 1}, {nullptr, 308, 1}, {nullptr, 310, 1}, {nullptr, 311, 0}, {nullptr, 312, 0},
        {nullptr, 318, 1}, {nullptr, 319, 1}, {nullptr, 320, 1}, {nullptr, 331, 0}, {nullptr, 332, 0}, {nullptr, 333, 0},
        {nullptr, 345, 1}, {nullptr, 348, 1}, {nullptr, 355, 0}, {nullptr, 356, 0}, {nullptr, 400, 0}, {nullptr, 601, 1},
        {nullptr, 650, 0}, {nullptr, 690, 1}, {nullptr, 701, 1}, {nullptr, 702, 1}, {nullptr, 764, 1}, {nullptr, 766, 1},
        {nullptr, 771, 1}, {nullptr, 800, 1}, {nullptr, 801, 1}, {nullptr, 802, 1}, {nullptr, 803, 0}, {nullptr, 804, 0},
        {nullptr, 805, 0}, {nullptr, 806, 0}, {nullptr, 807, 0}, {nullptr, 808, 0}, {nullptr, 809, 0}, {nullptr, 851, 1},
        {nullptr, 852, 1}, {nullptr, 853, 1}, {nullptr, 854, 1}, {nullptr, 857, 0}, {nullptr, 903, 2}, {nullptr, 907, 2},
        {nullptr, 909, 1}, {nullptr, 910, 2}, {nullptr, 911, 1}, {nullptr, 912, 1}, {nullptr, 951, 1}, {nullptr, 962, 1},
        {nullptr, 963, 0}, {nullptr, 1006, 1}, {nullptr, 1007, 1}, {nullptr, 1008, 0}, {nullptr, 1009, 1}, {nullptr, 1010, 0},
        {nullptr, 1011, 1}, {nullptr, 1016, 0}, {nullptr, 1017, 1}, {nullptr, 1018, 1}, {nullptr, 1019, 0}, {nullptr, 1022, 0},
        {nullptr, 1030, 0}, {nullptr, 1050, 1}, {nullptr, 1051, 1}, {nullptr, 1052, 1}, {nullptr, 1053, 1},
    };
    // A plain number that is also read as a value (a weight, the added area) is listed once.
    std::set<std::string> listed;
    for (const FormVariable& v : form.Variables()) listed.insert(v.address.c_str());
    for (const Listed& t : kTexts) {
        const Text address = FormattedText("%s.%d", t.name ? t.name : "ExtraData", t.number);
        if (listed.insert(address.c_str()).second) form.Add({address, FormHook::Text, 1519, false, t.dims});
    }
}
