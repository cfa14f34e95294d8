// The numbers the design forms write on exchangers and on the viewer, as rows of data. An
// exchanger row names its row list, the value it writes (on the exchanger or one of its side
// nodes), what a clear does, the flag a write carries and the check that may refuse the value.
// Every write that changes an exchanger hands the design its change handling once, so the
// network recalculates as after any other edit.
#include "eng/design/IHENDesign.h"
#include "eng/design/IHENEvent.h"
#include "eng/model/CaseValueLimits.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/MessageKey.h"
#include "pellin/FFactor.h"
#include "pellin/HeatExch.h"
#include "views/design/ExchangerFouling.h"
#include "pellin/StreamNodes.h"
#include "views/design/DesignValueRows.h"

#include <cmath>
#include <cstring>

namespace {

using V = HIDesignViewerDesign;
using L = V::ValueRow::List;
constexpr double kEmpty = Viewable::EmptyValue;
// The change code that makes the design recalculate after a flowsheet value changed.
constexpr int kFlowsheetChanged = 17;

// Which node of the exchanger carries the value.
enum class At : std::uint8_t { Unit, HotIn, HotOut, ColdIn, ColdOut };
// What the empty value does: set the open value (status 0), set the clear value with status 1,
// or remove the value.
enum class Clear : std::uint8_t { Open, Specified, Remove };

struct InputRow {
    int type, number;
    L list;
    const char* value;
    At at = At::Unit;
    Clear clear = Clear::Open;
    double cleared = 0.0;     // the value a clear writes
    int clearFlag = 1;
    int flag = 1;             // the flag of a written value (status 1)
    // The key that refuses the value (null: accepted).
    const char* (*check)(V&, CNode&, double) = nullptr;
    // The check also judges a clear (the empty value reaches it).
    bool checkClear = false;
    // The value is first opened (0.0, status 0) and then written: a count the unit model would
    // otherwise keep from its last calculation.
    bool openFirst = false;
    // A calculated value that follows from the one written and is opened after it (0.0,
    // status 0, flag 0): the clean coefficient follows the shell geometry.
    const char* follows = nullptr;
    // A duty of a process exchanger: the heaters and coolers at the ends of its two streams give
    // theirs up, so that they take up the demand the new duty leaves.
    bool endUtilitiesFollow = false;
};

const char* negativeArea(V&, CNode&, double v) { return v < 0.0 ? MessageKey("AreaInputError") : nullptr; }
// A fouling factor is never negative, nor past what a case holds.
const char* negativeFouling(V&, CNode&, double v) {
    return v >= 0.0 && v <= CaseValueLimits::MaxMagnitude ? nullptr : MessageKey("FoulingFactorUpdateError");
}
// The fouling of an operated exchanger is part of the resistance it is observed at: one as large
// as that whole resistance (1/U) would leave its clean surface none, and its cleaning nothing to
// take it back to.
// Only a resistance that holds still bounds it: an observed coefficient, or one the operation
// holds. A coefficient the network works out from the film coefficients and this very fouling
// moves with it (the fouling typed last would set the range of the next), and any fouling adds
// to it.
const char* foulingWithinResistance(V& v, CNode& unit, double f) {
    if (const char* key = negativeFouling(v, unit, f)) return key;
    const HeatExch* x = AsHeatExch(&unit);
    return x && FoulsAFixedResistance(*x) ? HENFoulingRefusal(x->FoulingBaseCoefficient(), f) : nullptr;
}
// A temperature typed on an exchanger end: one a case holds, or the network is saved with a
// value no case reopens with.
const char* temperatureRange(V&, CNode&, double v) {
    return v >= CaseValueLimits::MinTemperature && v <= CaseValueLimits::MaxTemperature ? nullptr
                                                                                        : MessageKey("SpecRange");
}
// A duty typed on a unit: none (0) or one a case holds, from a thousandth of a kW to MaxMagnitude
// either way. Past the top the network is saved with temperatures worked out past any number a
// report can show; a trace below the bottom would make a "complete" unit that carries nothing.
const char* dutyRange(V&, CNode&, double v) {
    const double size = std::fabs(v);
    if (v == 0.0) return nullptr;
    return size >= CaseValueLimits::MinDuty && size <= CaseValueLimits::MaxMagnitude ? nullptr
                                                                                     : MessageKey("SpecRange");
}
const char* negativeWeight(V&, CNode&, double v) { return v < 0.0 ? MessageKey("WeightInputError") : nullptr; }
const char* areaOnUnit(V& viewer, CNode& unit, double v) {
    if (v < 0.0) return MessageKey("AreaInputError");
    HeatExch* hx = AsHeatExch(&unit);
    if (hx && hx->IsUtilityExch() && !viewer.GetDesign()->IsOperationLocked())
        return MessageKey("CannotSpecifyAreaForUtilExchanger");
    return nullptr;
}

// A shell count: the same whole number of shells in series an event may set; a clear is refused.
const char* shellCount(V&, CNode&, double v) {
    return v == kEmpty ? MessageKey("ShellsInputError") : HENEventValueRefusal("NShellsInSeries", v);
}
const char* observedCoefficient(V&, CNode&, double v) {
    return v == kEmpty || !(v > 0.0) ? MessageKey("HTCoeffUpdateError") : nullptr;
}
// An area of the area-specified list: the clear passes (it keeps the exchanger in the list).
const char* specifiedArea(V& viewer, CNode& unit, double v) {
    if (v != kEmpty && v < 0.0) return MessageKey("AreaInputError");
    HeatExch* hx = AsHeatExch(&unit);
    if (hx && hx->IsFiredHeater() && !viewer.GetDesign()->IsOperationLocked())
        return MessageKey("CannotSpecifyAreaForUtilExchanger");
    return nullptr;
}

const InputRow kRows[] = {
    {1, 343, L::Filtered, "Temperature", At::ColdOut, Clear::Open, 0.0, 1, 1, temperatureRange}, {1, 344, L::Filtered, "Temperature", At::ColdIn, Clear::Open, 0.0, 1, 1, temperatureRange},
    {1, 346, L::Filtered, "Temperature", At::HotOut, Clear::Open, 0.0, 1, 1, temperatureRange},  {1, 347, L::Filtered, "Temperature", At::HotIn, Clear::Open, 0.0, 1, 1, temperatureRange},
    {1, 601, L::Direct, "MeasuredTemperature", At::HotIn, Clear::Remove, 0.0, 0, 0},
    {1, 602, L::Direct, "MeasuredTemperature", At::HotOut, Clear::Remove, 0.0, 0, 0},
    {1, 603, L::Direct, "MeasuredTemperature", At::ColdIn, Clear::Remove, 0.0, 0, 0},
    {1, 604, L::Direct, "MeasuredTemperature", At::ColdOut, Clear::Remove, 0.0, 0, 0},
    {1519, 601, L::Direct, "TemperatureWeight", At::HotIn, Clear::Remove, 0.0, 0, 0, negativeWeight},
    {1519, 602, L::Direct, "TemperatureWeight", At::HotOut, Clear::Remove, 0.0, 0, 0, negativeWeight},
    {1519, 603, L::Direct, "TemperatureWeight", At::ColdIn, Clear::Remove, 0.0, 0, 0, negativeWeight},
    {1519, 604, L::Direct, "TemperatureWeight", At::ColdOut, Clear::Remove, 0.0, 0, 0, negativeWeight},
    {1517, 500, L::Filtered, "HighEndDelT"}, {1517, 501, L::Filtered, "LowEndDelT"},
    // A fouling factor is never negative, whichever list it is typed into.
    {4101, 500, L::Filtered, "HXFoulingFactor", At::Unit, Clear::Specified, 0.0, 1, 1, foulingWithinResistance},
    {4101, 501, L::AreaSpecified, "HXFoulingFactor", At::Unit, Clear::Specified, 0.0, 1, 1, foulingWithinResistance},
    {6, 304, L::Filtered, "Duty", At::Unit, Clear::Open, 0.0, 1, 1, dutyRange, false, false, nullptr, true},
    {6, 308, L::Configured, "MaxDuty", At::Unit, Clear::Open, 0.0, 1, 1, dutyRange},
    {6, 318, L::UnconfiguredCooler, "Duty", At::Unit, Clear::Open, 0.0, 1, 1, dutyRange},
    {6, 319, L::UnconfiguredHeater, "Duty", At::Unit, Clear::Open, 0.0, 1, 1, dutyRange},
    {6, 355, L::UnconfiguredCooler, "Temperature", At::HotOut, Clear::Open, 0.0, 1, 1, temperatureRange}, {6, 356, L::UnconfiguredHeater, "Temperature", At::ColdOut, Clear::Open, 0.0, 1, 1, temperatureRange},
    {1508, 302, L::Filtered, "HTArea", At::Unit, Clear::Open, 0.0, 1, 1, areaOnUnit},
    {1508, 704, L::Filtered, "MaxSpareArea", At::Unit, Clear::Open, 0.0, 0, 0, negativeArea},
    {1508, 709, L::Filtered, "MaxSpareArea", At::Unit, Clear::Open, 0.0, 0, 0, negativeArea},
    {1508, 705, L::Filtered, "MaxNewArea", At::Unit, Clear::Open, 10000.0, 0, 0, negativeArea},
    {1508, 712, L::Filtered, "MaxNewArea", At::Unit, Clear::Open, 10000.0, 0, 0, negativeArea},
    // The area-specified list keeps its exchanger when the area is cleared (status stays 1).
    {1508, 306, L::AreaSpecified, "HTArea", At::Unit, Clear::Specified, 0.0, 1, 1, specifiedArea, true},
    {1507, 200, L::AreaSpecified, "ShellDiameter", At::Unit, Clear::Specified, 0.0, 1, 1, nullptr, false, false,
     "OverallCleanHTC"},
    {1519, 307, L::AreaSpecified, "NShellsInSeries", At::Unit, Clear::Open, 0.0, 1, 1, shellCount, true, true},
    {1519, 359, L::AreaSpecified, "NumberOfTubes", At::Unit, Clear::Specified, 0.0, 1, 1, nullptr, false, false,
     "OverallCleanHTC"},
    {1519, 360, L::AreaSpecified, "TubePasses", At::Unit, Clear::Specified, 0.0, 1, 1, nullptr, false, false,
     "OverallCleanHTC"},
    {1517, 605, L::Filtered, "DTMin"},
    {1524, 502, L::AreaSpecified, "ObservedHTC", At::Unit, Clear::Open, 0.0, 0, 0, observedCoefficient, true},
};

const InputRow* findRow(int type, int number) {
    for (const InputRow& r : kRows)
        if (r.type == type && r.number == number) return &r;
    return nullptr;
}

CNode* nodeAt(CNode& unit, At at) {
    if (at == At::Unit) return &unit;
    HeatExch* hx = AsHeatExch(&unit);
    if (!hx) return nullptr;
    switch (at) {
        case At::HotIn: return hx->getInlet(0);
        case At::HotOut: return hx->getOutlet(0);
        case At::ColdIn: return hx->getInlet(1);
        case At::ColdOut: return hx->getOutlet(1);
        case At::Unit: break;
    }
    return nullptr;
}

// The keys a row's check refuses with, as the form description lists them.
const char* refusalsOf(const char* (*check)(V&, CNode&, double)) {
    // A check of one side leaves the far end of the range to the form (SpecRange).
    if (check == negativeArea) return "AreaInputError SpecRange";
    if (check == negativeFouling) return "FoulingFactorUpdateError SpecRange";
    if (check == foulingWithinResistance) return "FoulingFactorUpdateError HTCoeffUpdateError SpecRange";
    if (check == negativeWeight) return "WeightInputError";
    if (check == areaOnUnit || check == specifiedArea) return "AreaInputError CannotSpecifyAreaForUtilExchanger SpecRange";
    if (check == shellCount) return "ShellsInputError";
    if (check == observedCoefficient) return "HTCoeffUpdateError SpecRange";
    if (check == temperatureRange || check == dutyRange) return "SpecRange";
    return "";
}

// The outlet of a heater typed beside its duty stays above its inlet, a cooler's below, and so
// does the outlet of either side of an exchanger: the other way the unit would carry heat
// backwards.
bool outletBeyondInlet(Viewable& view, const VarDescription& var, CellDomain::Limit& out) {
    const InputRow* r = findRow(var.Type(), var.Number());
    auto& viewer = static_cast<V&>(view);
    CNode* unit = r && viewer.GetDesign() ? viewer.WriteRowUnit(static_cast<int>(r->list), var.Offset(0)) : nullptr;
    HeatExch* hx = unit ? AsHeatExch(unit) : nullptr;
    const bool cooler = r && r->at == At::HotOut;
    CNode* inlet = hx ? hx->getInlet(cooler ? 0 : 1) : nullptr;
    double t = 0.0;
    if (!inlet || !inlet->getVariableAsDouble("Temperature", t) || !std::isfinite(t) || t == kEmpty) return false;
    out = {t, cooler, "its inlet"};
    return true;
}

// What each exchanger row takes beyond the kind it is shown in: counts are whole, weights are
// from zero up, an outlet typed beside a duty is a temperature past its inlet.
CellDomain domainOf(const InputRow& r) {
    using D = CellDomain;
    if (r.check == shellCount) return D::Whole(1, kMaxShellsInSeries);
    if (r.type == 1519 && (r.number == 359 || r.number == 360)) return D::Count();
    if (r.check == negativeWeight) return D::AtLeast(0.0);
    // An exchanger's area is above nothing; a spare or new area may be none.
    if (r.check == areaOnUnit || r.check == specifiedArea) return D::Above(0.0).RefusedWith("AreaInputError");
    if (r.check == negativeArea) return D::AtLeast(0.0).RefusedWith("AreaInputError");
    // A fouling factor is a resistance of 0 or more, up to what a case holds, whatever was typed before.
    if (r.check == foulingWithinResistance || r.check == negativeFouling)
        return D::Between(0.0, CaseValueLimits::MaxMagnitude).RefusedWith("FoulingFactorUpdateError");
    // An exchanger's outlet typed by hand (an infeasible unit's, say) lies past its inlet on the
    // same side as well: a hot stream leaves cooler than it came, a cold one warmer.
    const bool outlet = r.at == At::HotOut || r.at == At::ColdOut;
    if ((r.type == 6 || (r.type == 1 && outlet)) && r.check == temperatureRange)
        return D::Between(CaseValueLimits::MinTemperature, CaseValueLimits::MaxTemperature).Beyond(outletBeyondInlet);
    return {};
}

V::ListSize sizeOf(L list) {
    switch (list) {
        case L::Filtered: return V::ListSize::Filtered;
        case L::AreaSpecified: return V::ListSize::AreaSpecified;
        case L::Configured: return V::ListSize::ConfiguredHeaters;
        case L::UnconfiguredCooler: return V::ListSize::UnconfiguredCoolers;
        case L::UnconfiguredHeater: return V::ListSize::UnconfiguredHeaters;
        default: return V::ListSize::Exchangers;
    }
}

}  // namespace

const std::vector<HIDesignViewerDesign::WriteAddress>& HIDesignViewerDesign::WriteAddresses() {
    static const std::vector<WriteAddress> addresses = [] {
        std::vector<WriteAddress> out;
        for (const InputRow& r : kRows) out.push_back({r.type, r.number, 1, refusalsOf(r.check), domainOf(r)});
        // A change of throughput takes the plant down to a trace of its flow, never to none.
        out.push_back({110, 200, 0, "CannotAcceptThisPercentValue",
                       CellDomain::AtLeast(-99.99)
                           .RefusedWith("CannotAcceptThisPercentValue")
                           .Saying("a percentage of -99.99 % or more")});
        out.push_back({1517, 1, 0, "DeltaTViolationsError"});
        for (int n : {200, 203, 204, 207, 208}) out.push_back({109, n, 0});
        AddSettingAddresses(out);
        AddSwitchAddresses(out);
        return out;
    }();
    return addresses;
}

bool HIDesignViewerDesign::IsWritableAddress(int type, int number) {
    for (const WriteAddress& a : WriteAddresses())
        if (a.type == type && a.number == number) return true;
    return false;
}

int HIDesignViewerDesign::WrittenKind(int type, int number) {
    const InputRow* row = type == 6 ? findRow(type, number) : nullptr;
    return row && row->check == temperatureRange ? 1 : type;
}

CNode* HIDesignViewerDesign::WriteRowUnit(int list, int row) {
    const auto l = static_cast<L>(list);
    // A stale row (one past the end of its list after the filter changed) edits nothing: the
    // lists answer their last exchanger for a read only.
    if (row < 0 || row >= ListLength(sizeOf(l))) return nullptr;
    int index = -1;
    switch (l) {
        case L::Direct: index = row; break;
        case L::Filtered: index = GetFilteredExchangerIndex(row); break;
        case L::AreaSpecified: index = GetAreaSpecifiedExchangerIndex(row); break;
        case L::Configured: index = GetConfiguredExchangerIndex(row); break;
        case L::UnconfiguredCooler: index = GetUnconfiguredCoolerIndex(row); break;
        case L::UnconfiguredHeater: index = GetUnconfiguredHeaterIndex(row); break;
        default: break;
    }
    CNode* unit = nullptr;
    if (index < 0 || !pDesign->GetHeatExchanger(index, unit)) return nullptr;
    return unit;
}

namespace {
bool isMeasurement(const char* value) {
    return value && (std::strcmp(value, "MeasuredTemperature") == 0 || std::strcmp(value, "TemperatureWeight") == 0);
}
}  // namespace

int HIDesignViewerDesign::SpecifyExchangerRow(const VarDescription& var, double value) {
    const InputRow* r = findRow(var.Type(), var.Number());
    if (!r) return -1;
    CNode* unit = WriteRowUnit(static_cast<int>(r->list), var.Offset(0));
    if (!unit) return 0;
    CNode* node = nodeAt(*unit, r->at);
    if (!node) return 0;
    if (r->check && (value != kEmpty || r->checkClear)) {
        if (const char* key = r->check(*this, *unit, value)) {
            ErrorMsg(key);
            return 0;
        }
    }
    if (value == kEmpty) {
        if (r->clear == Clear::Remove) node->removeVariable(r->value);
        else node->addVariable(r->value, r->cleared, r->clear == Clear::Open ? 0 : 1, r->clearFlag);
    } else {
        if (r->openFirst) node->addVariable(r->value, 0.0, 0, r->flag);
        node->addVariable(r->value, value, 1, r->flag);
    }
    if (r->follows) unit->addVariable(r->follows, 0.0, 0, 0);
    if (r->endUtilitiesFollow && value != kEmpty) pDesign->LetEndUtilitiesFollowExchanger(unit);
    // A plant measurement and its weight are what a reconciliation fits to, not the plant: they
    // change no operating point, and a schedule's results over it stand.
    if (!isMeasurement(r->value)) pDesign->ProcessChange(kFlowsheetChanged, CPString(), nullptr);
    return 1;
}

int HIDesignViewerDesign::Specify(const VarDescription& var, double value) {
    if (!pDesign) return 0;
    for (int (V::*write)(const VarDescription&, double) :
         {&V::SpecifyExchangerRow, &V::SpecifyExchangerSwitch, &V::SpecifySetting}) {
        const int written = (this->*write)(var, value);
        if (written >= 0) return written;
    }
    const int t = var.Type(), n = var.Number();
    if (t == 110 && n == 200) {
        if (value < -99.99) {
            ErrorMsg("CannotAcceptThisPercentValue");
            return 0;
        }
        dPercentage = value;
        return 1;
    }
    if (t == 1517 && n == 1) {
        // Above 0, and within what a case holds.
        if (!pScenario || !(value >= CaseValueLimits::MinDTmin && value <= CaseValueLimits::MaxDTmin)) {
            ErrorMsg("DeltaTViolationsError");
            return 0;
        }
        pScenario->SuspendCalculations();
        pScenario->ResumeCalculations(false);
        pScenario->SetDTmin(value);
        return 1;
    }
    if (t == 109 && value != kEmpty && value > -2.0e9 && value < 2.0e9) {
        const auto v = static_cast<std::int32_t>(value);
        switch (n) {
            case 200: nSetting200 = v; return 1;
            case 203: nSetting203 = v; return 1;
            case 204: nSetting204 = v; return 1;
            case 207: nSetting207 = v; return 1;
            case 208: nSetting208 = v; return 1;
            default: break;
        }
    }
    int result = 0;
    return Form().Specify(*this, var, value, result) ? result : Viewable::Specify(var, value);
}
