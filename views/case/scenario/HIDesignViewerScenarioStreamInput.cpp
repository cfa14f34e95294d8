// The stream tables' input: one row per column of the process-stream and utility tables, and
// the forbidden matches and stream links. The dispatcher makes the base-case lock, the row
// bound, the value rule and the look-up; a row's write gets the stream found.
#include "brasko/IDefaultUtilityManager.h"
#include "eng/model/UtilityPrice.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/FormWrites.h"
#include "lumeth/Session.h"
#include "views/case/scenario/ScenarioInputRows.h"
#include "views/case/streams/LinkTableCollection.h"
#include "views/case/streams/SegmentLimits.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace scenario_input;

namespace {

using Var = const VarDescription&;
using Stream = IHeatIntegrationStream&;

namespace L = CaseValueLimits;
constexpr double kAnyFinite = std::numeric_limits<double>::max();
constexpr double kMostSpecificHeat = CaseValueLimits::MaxSpecificHeat;

// Above 0 and at most `*most` (a case holds no more), or the cleared field; else the key.
template <const char* const* key, const double* most = &kAnyFinite>
const char* positiveOrEmpty(double v) { return isEmpty(v) || (v > 0.0 && v <= *most) ? nullptr : *key; }
// Within [low, high] or the cleared field: what a case may hold (a value outside would make a
// case that cannot be opened again).
bool inRangeOrEmpty(double v, double low, double high) { return isEmpty(v) || (v >= low && v <= high); }

constexpr const char* kFlowRate = "FlowRateUpdateError";
constexpr const char* kCp = "CpUpdateError";
constexpr const char* kMCp = "MCpUpdateError";
// A stream's flow is above nothing, and its own check says so.
const CellDomain kFlow = CellDomain::Above(0.0).RefusedWith(kFlowRate);
// A film coefficient and a stream's fouling say the range of their own cell beside the key they
// share with cells of other ranges (an exchanger's fouling lies below its whole resistance).
const CellDomain kCoefficient = CellDomain::Between(L::MinH, L::MaxH).RefusedWith("HTCoeffUpdateError");
bool coefficientRoom(Viewable& view, const VarDescription& var, CellDomain::Limit& out);
// The value a one-segment stream of the row holds beside the one typed, when it is above 0.
bool besideValue(Viewable& view, const VarDescription& var, const char* name, double& value) {
    const HIDesignViewerScenario::InputRow* row = HIDesignViewerScenario::FindInputRow(var);
    IHeatIntegrationScenario* scenario = static_cast<V&>(view).GetmyScenario();
    IHeatIntegrationStream* s = nullptr;
    if (!row || !scenario || !scenario->GetStreamOfKind(var.Offset(0), s, row->kind, row->side) || !s) return false;
    if (s->GetNumberOfSegments() >= 2) return false;
    value = kEmpty;
    return s->GetValue(name, value, 0) == 1 && !isEmpty(value) && value > 0.0;
}
// A stream's fouling adds to the resistance of its film coefficient: the two together leave a
// coefficient a case holds, so the fouling stays below 1/MinH less the film's own 1/h.
bool foulingRoom(Viewable& view, const VarDescription& var, CellDomain::Limit& out) {
    double h = kEmpty;
    if (!besideValue(view, var, "CHTCoeff", h)) return false;
    // A film at the lowest coefficient a case holds leaves no room: the fouling may be 0 alone,
    // and the refusal says so as it says any other room.
    const double room = std::max(0.0, 1.0 / L::MinH - 1.0 / h);
    // The coefficient at the edge itself is one a case holds: the edge is taken.
    out = {room, true, "the fouling its film coefficient leaves room for", true};
    return true;
}
// A film coefficient beside the stream's fouling: the two together leave a coefficient a case
// holds, so the film's own coefficient is at least 1/(1/MinH less the fouling).
bool coefficientRoom(Viewable& view, const VarDescription& var, CellDomain::Limit& out) {
    double fouling = kEmpty;
    if (!besideValue(view, var, "FoulingFactor", fouling)) return false;
    const double left = 1.0 / L::MinH - fouling;
    if (!(left > 0.0)) return false;
    out = {1.0 / left, false, "the coefficient its fouling leaves room for", true};
    return true;
}
const CellDomain kFouling = CellDomain::AtLeast(0.0).RefusedWith("FoulingUpdateError").Beyond(foulingRoom);

// A temperature typed at one end; the other end may not equal it.
const char* setEnd(Stream s, double value, bool supply, bool equalityTest) {
    if (isEmpty(value)) return nullptr;
    const bool hot = s.GetHotCold() == 0;
    const char* refused = supply ? (hot ? "HotStreamInletTemperatureUpdateError" : "ColdStreamInletTemperatureUpdateError")
                                 : (hot ? "HotStreamOutletTemperatureUpdateError" : "ColdStreamOutletTemperatureUpdateError");
    // A temperature no case holds would make a case that never reopens.
    if (!(value >= CaseValueLimits::MinTemperature && value <= CaseValueLimits::MaxTemperature)) return refused;
    if (equalityTest && value == (supply ? s.GetTargetTemperature() : s.GetSupplyTemperature())) return "TemperatureUpdateError";
    // The end segment's load or rate follows its span: an end moved so close to the other that it
    // would carry a rate or load no case holds is put back.
    const int point = supply ? 0 : s.GetNumberOfSegments();
    double before = kEmpty;
    s.GetValue("Temperature", before, point);
    if (!s.SetValue("Temperature", value, point)) return refused;
    if (segment_limits::Holds(s, supply ? 0 : point - 1)) return nullptr;
    s.SetValue("Temperature", before, point);
    return refused;
}
const char* setNamed(Stream s, const char* name, double value, const char* refused) {
    return s.SetValue(name, value, 0) ? nullptr : refused;
}
// A mass flow carries the rate of each segment whose specific heat was given (as a locked
// network's operating data do): one that would leave a segment no case holds is refused unwritten.
const char* setFlow(Stream s, double value) {
    if (!isEmpty(value) && !s.WouldHold("MassFlow", value, 0)) return kFlowRate;
    return setNamed(s, "MassFlow", value, kFlowRate);
}
// The heat load and the heat-capacity flow rate of a stream of one segment follow from each other
// over its temperatures: the one typed last is the user's, the other is derived from it (the
// targets use the load, so a cp left standing beside a typed load would show a figure they do not
// use, and a typed cp would be overruled by the earlier load). The other one is cleared first; if
// the new value is refused, it is put back.
const char* setInsteadOf(Stream s, const char* name, double value, const char* other, const char* refused) {
    // A stream of several segments shows no one cp and takes no load as a whole here (the cell is
    // read-only): a value written into its first segment alone would leave a load other than the
    // one typed. Its segments are edited in its segment table.
    if (s.GetNumberOfSegments() > 1) return refused;
    if (isEmpty(value)) return setNamed(s, name, value, refused);
    // Only a value the user gave stands in the way; a derived one follows by itself.
    constexpr unsigned char kSpecified = 1;
    double previous = kEmpty;
    const bool held = s.GetValueStatus(other, 0) == kSpecified && s.GetValue(other, previous, 0) == 1 && !isEmpty(previous);
    if (held) s.SetValue(other, kEmpty, 0);
    if (s.SetValue(name, value, 0)) return nullptr;
    if (held) s.SetValue(other, previous, 0);
    return refused;
}
// A film coefficient or fouling factor written only when the stream's coefficient with fouling
// stays within what a case holds (a clean coefficient at the low edge leaves no room for
// fouling); otherwise the value before stays.
const char* setWithinCoefficients(Stream s, const char* name, double value, const char* refused) {
    double before = kEmpty;
    s.GetValue(name, before, 0);
    if (!s.SetValue(name, value, 0)) return refused;
    double fouled = kEmpty;
    if (s.GetValue("HTCoeff", fouled, 0) != 1 || fouled == kEmpty ||
        (fouled >= CaseValueLimits::MinH && fouled <= CaseValueLimits::MaxH))
        return nullptr;
    s.SetValue(name, before, 0);
    return refused;
}
// A coefficient or fouling factor of the whole stream: a stream of segments keeps its own.
// A stream of several segments keeps a coefficient per segment, edited in its segment table: the
// stream's read-only cell refuses a value rather than answer as if it took it.
const char* setCoefficientOfOneSegment(Stream s, const char* name, double value, const char* refused) {
    return s.GetNumberOfSegments() < 2 ? setWithinCoefficients(s, name, value, refused) : refused;
}
// A fouling factor is a resistance: never below 0 and never what no number holds.
const char* foulingRule(double v) {
    return isEmpty(v) || (v >= 0.0 && v < kAnyFinite) ? nullptr : "FoulingUpdateError";
}
const char* coefficientRule(double v) {
    if (isEmpty(v)) return "HTCoeffUpdateError2";
    return v >= L::MinH && v <= L::MaxH ? nullptr : "HTCoeffUpdateError";
}
const char* heatCapacityFlowRule(double v) { return inRangeOrEmpty(v, L::MinCp, L::MaxCp) ? nullptr : kMCp; }
// The stream's own minimum approach temperature; cleared, back to the scenario's.
const char* contribution(V& v, Stream s, double value) {
    // The stream keeps half of the typed difference.
    if (!inRangeOrEmpty(value, 0.0, 2.0 * L::MaxContribution)) return "DeltaTcUpdateError";
    const int ok = isEmpty(value) ? s.SetDTminContribution(v.GetmyScenario()->GetDTmin(), "Global", 0, 1)
                                  : s.SetDTminContribution(value, "Local", 0, 1);
    return ok ? nullptr : "DeltaTcUpdateError";
}
// The default coefficient of a table entry for a stream of at most one segment.
const char* defaultCoefficient(V& v, int row, int kind, double entry) {
    IHeatIntegrationStream* found = nullptr;
    IDefaultUtilityManager* manager = nullptr;
    if (!v.GetmyScenario()->GetDefaultUtilityManager(manager) || !manager) return nullptr;
    // Only an entry of the list: any other number would empty the stream's coefficient.
    if (!(entry >= 0.0 && entry < manager->GetNumberOfHTCDefaultValues()) || entry != std::floor(entry))
        return "ValidOptionError";
    // No stream to write to (no row chosen, or a stream of several segments): read-only, as its
    // state reads.
    if (!v.GetmyScenario()->GetStreamOfKind(row, found, kind, 2) || !found) return WriteRefusal::ReadOnly;
    if (found->GetNumberOfSegments() >= 2) return WriteRefusal::ReadOnly;
    if (found->IsHeldByRetrofitBase("CHTCoeff")) return WriteRefusal::ReadOnly;
    if (found->SetValue("CHTCoeff", manager->GetHTCDefaultValue(whole(entry)), 0)) v.SegmentCoefficientFromDefault(found, 0);
    v.processHTCDefaultIndex = whole(entry);
    return nullptr;
}
const char* loadFraction(Stream s, double value, int end) {
    if (isEmpty(value)) return nullptr;
    if (!(std::fabs(value) <= CaseValueLimits::MaxMagnitude)) return "SpecRange";
    s.SetLoadFraction(value, end);
    return nullptr;
}

}  // namespace

const std::vector<HIDesignViewerScenario::InputRow>& HIDesignViewerScenario::StreamInputRows() {
    static const std::vector<In> rows = {
        // Temperatures.
        {.type = 1, .number = 402, .guarded = true, .rows = R::Process, .kind = 0,
         .streamWrite = [](V&, Stream s, Var, double value) { return setEnd(s, value, true, true); },
         .refusals = "TemperatureUpdateError HotStreamInletTemperatureUpdateError ColdStreamInletTemperatureUpdateError", .held = "Temperature"},
        {.type = 1, .number = 403, .guarded = true, .rows = R::Process, .kind = 0, .fail = F::Clear,
         .streamWrite = [](V&, Stream s, Var, double value) { return setEnd(s, value, false, true); },
         .refusals = "TemperatureUpdateError HotStreamOutletTemperatureUpdateError ColdStreamOutletTemperatureUpdateError", .held = "Temperature"},
        {.type = 1, .number = 440, .guarded = true, .rows = R::Kind, .kind = 1,
         .streamWrite = [](V&, Stream s, Var, double value) { return setEnd(s, value, true, false); },
         .refusals = "HotStreamInletTemperatureUpdateError ColdStreamInletTemperatureUpdateError", .held = "Temperature"},
        {.type = 1, .number = 441, .guarded = true, .rows = R::Kind, .kind = 1,
         .streamWrite = [](V&, Stream s, Var, double value) { return setEnd(s, value, false, false); },
         .refusals = "HotStreamOutletTemperatureUpdateError ColdStreamOutletTemperatureUpdateError", .held = "Temperature"},
        // Loads: a cold stream's load is held negative.
        {.type = 6, .number = 405, .guarded = true, .rows = R::Process, .kind = 0,
         .streamWrite = [](V&, Stream s, Var, double value) -> const char* {
             if (!isEmpty(value) && value <= 0.0) return "SpecRange";
             if (!inRangeOrEmpty(value, L::MinDuty, L::MaxDuty)) return "SpecRange";
             // On a stream of one segment the load sets the cp over its temperatures: a load that
             // would give a cp no case holds is refused as well.
             const double supply = s.GetSupplyTemperature(), target = s.GetTargetTemperature();
             if (!isEmpty(value) && s.GetNumberOfSegments() <= 1 && !isEmpty(supply) && !isEmpty(target) &&
                 supply != target) {
                 const double cp = value / std::fabs(supply - target);
                 if (!(cp >= L::MinCp && cp <= L::MaxCp)) return "SpecRange";
             }
             if (!isEmpty(value) && s.GetHotCold() == 1) value = -value;
             return setInsteadOf(s, "Enthalpy", value, "HeatCapacityFlowrate", "EnthalpyUpdateError");
         },
         .refusals = "SpecRange EnthalpyUpdateError", .held = "Enthalpy"},
        // A utility's load is the user's only while the user assigns the utility loads; under
        // the other methods the targets set it, and a typed load is refused, not dropped.
        {.type = 6, .number = 440, .guarded = true, .rows = R::Kind, .kind = 1,
         .streamWrite = [](V& v, Stream s, Var, double value) -> const char* {
             if (v.GetmyScenario()->GetUtilityAssignmentMethod() != 1) return "UtilityLoadSetByTargets";
             if (isEmpty(value)) return nullptr;
             if (value < 0.0 || value > L::MaxDuty) return "SpecRange";
             s.NotifyValueChanged(value);
             return nullptr;
         },
         .refusals = "SpecRange UtilityLoadSetByTargets", .held = "Enthalpy"},
        {.type = 1516, .number = 404, .guarded = true, .rows = R::Process, .kind = 0, .advancesColumn = true,
         .check = heatCapacityFlowRule, .fail = F::ShowClear,
         .streamWrite = [](V&, Stream s, Var, double value) {
             return setInsteadOf(s, "HeatCapacityFlowrate", value, "Enthalpy", kMCp);
         },
         .refusals = "MCpUpdateError", .held = "HeatCapacityFlowrate"},
        {.type = 1011, .number = 200, .guarded = true, .rows = R::Process, .kind = 0, .check = positiveOrEmpty<&kCp, &kMostSpecificHeat>,
         .fail = F::ShowClear, .streamWrite = [](V&, Stream s, Var, double value) {
             // A stream of several segments shows no one specific heat here (the cell reads empty):
             // a value would land in its first segment alone. Its segment table edits its segments.
             return s.GetNumberOfSegments() > 1 ? kCp : setNamed(s, "SpecificHeat", value, kCp);
         },
         .refusals = "CpUpdateError", .held = "SpecificHeat"},
        {.type = 1011, .number = 201, .guarded = true, .rows = R::UtilityList, .kind = 1, .check = positiveOrEmpty<&kCp, &kMostSpecificHeat>,
         .fail = F::ShowClear, .streamWrite = [](V&, Stream s, Var, double value) { return setNamed(s, "SpecificHeat", value, kCp); },
         .refusals = "CpUpdateError", .held = "SpecificHeat"},
        {.name = "Cp", .number = 440, .rows = R::Unbounded, .kind = 1,
         .streamWrite = [](V&, Stream s, Var, double value) -> const char* {
             if (isEmpty(value)) return nullptr;
             return positiveOrEmpty<&kCp, &kMostSpecificHeat>(value) ? kCp : setNamed(s, "SpecificHeat", value, kCp);
         },
         .refusals = "CpUpdateError", .held = "SpecificHeat"},
        // A utility's mass flow follows from the load the designs give it: it is shown, never
        // taken, so the form lists its cell read-only (no row here).
        // A process stream's mass flow may be typed even into a locked base case.
        {.type = 4, .number = 105, .rows = R::Process, .kind = 0, .check = positiveOrEmpty<&kFlowRate>, .fail = F::ShowClear,
         .streamWrite = [](V&, Stream s, Var, double value) { return setFlow(s, value); },
         .refusals = "FlowRateUpdateError SpecRange", .domain = kFlow, .held = "MassFlow"},
        {.type = 4, .number = 106, .guarded = true, .rows = R::Kind, .kind = 1, .check = positiveOrEmpty<&kFlowRate>,
         .fail = F::ShowClear, .streamWrite = [](V&, Stream s, Var, double value) { return setNamed(s, "MaxMassFlow", value, kFlowRate); },
         .refusals = "FlowRateUpdateError SpecRange", .domain = kFlow, .held = "MaxMassFlow"},
        {.type = 32039, .number = 105, .rows = R::Process, .kind = 0, .fail = F::ShowClear,
         .streamWrite = [](V&, Stream s, Var, double value) { return setNamed(s, "PricePerMass", value, kFlowRate); },
         .refusals = "FlowRateUpdateError", .held = "PricePerMass"},
        {.type = 100, .number = 310, .rows = R::Process, .kind = 0,
         .check = [](double v) -> const char* { return !isEmpty(v) && v >= 1.0 ? nullptr : "SplitBranchValueError"; },
         .fail = F::ShowClear,
         .streamWrite = [](V&, Stream s, Var, double value) { return setNamed(s, "MaxSplitBranches", value, "SplitBranchValueError"); },
         // A stream splits into whole branches: 2.5 of them is no limit a design can keep.
         .refusals = "SplitBranchValueError",
         .domain = CellDomain::Whole(1.0, std::numeric_limits<double>::infinity()).RefusedWith("SplitBranchValueError"),
         .held = "MaxSplitBranches"},
        {.type = 31002, .number = 445, .guarded = true, .rows = R::Kind, .kind = 1,
         .streamWrite = [](V&, Stream s, Var, double value) -> const char* {
             if (isEmpty(value)) return nullptr;
             if (!L::UtilityPriceTaken(value, s.EarnsCredit())) return "SpecRange";
             s.SetCostIndex(value);
             return nullptr;
         },
         .refusals = "SpecRange", .held = "CostIndex"},
        // Film coefficients and fouling.
        {.type = 1524, .number = 413, .guarded = true, .rows = R::Kind, .kind = 0, .checkFirst = true, .check = coefficientRule,
         .streamWrite = [](V&, Stream s, Var, double value) { return setCoefficientOfOneSegment(s, "CHTCoeff", value, "HTCoeffUpdateError"); },
         .refusals = "HTCoeffUpdateError2 HTCoeffUpdateError", .domain = kCoefficient.Beyond(coefficientRoom), .held = "CHTCoeff"},
        {.type = 1524, .number = 440, .guarded = true, .rows = R::Kind, .kind = 1, .checkFirst = true, .check = coefficientRule,
         .streamWrite = [](V&, Stream s, Var, double value) { return setCoefficientOfOneSegment(s, "CHTCoeff", value, "HTCoeffUpdateError"); },
         .refusals = "HTCoeffUpdateError2 HTCoeffUpdateError", .domain = kCoefficient.Beyond(coefficientRoom), .held = "CHTCoeff"},
        {.type = 4101, .number = 412, .rows = R::Process, .kind = 0,
         .check = foulingRule, .streamWrite = [](V&, Stream s, Var, double value) {
             return setCoefficientOfOneSegment(s, "FoulingFactor", value, "FoulingUpdateError");
         },
         .refusals = "FoulingUpdateError", .domain = kFouling, .held = "FoulingFactor"},
        {.type = 4101, .number = 440, .rows = R::UtilityList, .kind = 1,
         .check = foulingRule, .streamWrite = [](V&, Stream s, Var, double value) {
             return setCoefficientOfOneSegment(s, "FoulingFactor", value, "FoulingUpdateError");
         },
         .refusals = "FoulingUpdateError", .domain = kFouling, .held = "FoulingFactor"},
        {.type = 105, .number = 511, .write = [](V& v, Var, double value) { return defaultCoefficient(v, v.processRow, 0, value); },
         .refusals = "ValidOptionError"},
        {.type = 105, .number = 512, .write = [](V& v, Var, double value) { return defaultCoefficient(v, v.utilityRow, 1, value); },
         .refusals = "ValidOptionError"},
        // The stream's own minimum approach temperature.
        {.type = 1517, .number = 406, .guarded = true, .rows = R::Process, .kind = 0, .boundShows = true, .fail = F::Silent,
         .streamWrite = [](V& v, Stream s, Var, double value) { return contribution(v, s, value); },
         .refusals = "GetStreamError DeltaTcUpdateError", .held = "DTminContribution"},
        {.type = 1517, .number = 442, .guarded = true, .rows = R::Kind, .kind = 1, .boundShows = true, .fail = F::Silent,
         .streamWrite = [](V& v, Stream s, Var, double value) { return contribution(v, s, value); },
         .refusals = "GetStreamError DeltaTcUpdateError", .held = "DTminContribution"},
        // End load fractions.
        {.type = 9, .number = 200, .rows = R::Process, .kind = 0, .fail = F::Clear,
         .streamWrite = [](V&, Stream s, Var, double value) { return loadFraction(s, value, 1); },
         .refusals = "SpecRange", .held = "LoadFraction"},
        {.type = 9, .number = 201, .rows = R::Process, .kind = 0, .fail = F::Clear,
         .streamWrite = [](V&, Stream s, Var, double value) { return loadFraction(s, value, -1); },
         .refusals = "SpecRange", .held = "LoadFraction"},
        {.type = 9, .number = 202, .rows = R::UtilityList, .kind = 1, .fail = F::Clear,
         .streamWrite = [](V&, Stream s, Var, double value) { return loadFraction(s, value, 1); },
         .refusals = "SpecRange", .held = "LoadFraction"},
        {.type = 9, .number = 203, .rows = R::UtilityList, .kind = 1, .fail = F::Clear,
         .streamWrite = [](V&, Stream s, Var, double value) { return loadFraction(s, value, -1); },
         .refusals = "SpecRange", .held = "LoadFraction"},
        // Segment tables.
        {.type = 104, .number = 411, .rows = R::Process, .kind = 0, .fail = F::Clear,
         .streamWrite = [](V& v, Stream s, Var, double) -> const char* {
             v.ShowSegmentTable(&s);
             return nullptr;
         }},
        {.type = 104, .number = 440, .rows = R::Kind, .kind = 1, .fail = F::Clear,
         .streamWrite = [](V& v, Stream s, Var, double) -> const char* {
             v.ShowSegmentTable(&s);
             return nullptr;
         }},
        // Stream links and forbidden matches.
        // A link reads its sources in a design's network: with no design viewer selected there
        // is none to read, and the switch says so rather than answer as if a link were made.
        {.type = 104, .number = 600, .rows = R::Process, .kind = 0, .fail = F::Silent,
         .streamWrite = [](V& v, Stream s, Var, double) -> const char* {
             if (!v.GetCurrentDesign()) return "NoDesignSelected";
             v.GetmyScenario()->AddStreamLink(&s);
             return nullptr;
         },
         // A link sets the stream's values: a retrofit study's base holds it, as the link's editor does.
         .refusals = "NoDesignSelected", .domain = CellDomain::Switch(), .held = "StreamLink"},
        {.type = 104, .number = 601, .write = [](V& v, Var, double value) -> const char* {
             const std::uint8_t flag = lowByte(value);
             if (v.GetLinkTableCollection()) v.GetLinkTableCollection()->SetAdvancedLinkPreference(flag);
             SetConfigData("AdvanceStreamLinkPreference", value, true);
             v.advanceStreamLinkPreference = flag;
             return nullptr;
         }},
        {.type = 104, .number = 1200, .write = [](V& v, Var var, double value) -> const char* {
             IHeatIntegrationStream *cold = nullptr, *hot = nullptr;
             if (!v.GetmyScenario()->GetStreamOfKind(var.Offset(0), cold, 0, 1) || !cold) return "GetStreamError";
             v.workStream = cold;
             if (!v.GetmyScenario()->GetStreamOfKind(var.Offset(1), hot, 0, 0) || !hot) return "GetStreamError";
             // The matches a retrofit study's existing streams may make are the existing network's.
             if (cold->IsHeldByRetrofitBase(nullptr) || hot->IsHeldByRetrofitBase(nullptr)) return WriteRefusal::ReadOnly;
             if (value == 1.0) cold->LinkStream(hot->GetName());
             else cold->UnlinkStream(hot->GetName());
             // On the forbidden-match form the scenario gathers the changes until the form
             // closes; a change made anywhere else is a batch of its own.
             if (!v.IsFormOpen("ForbiddenMatchView")) v.GetmyScenario()->EndForbiddenMatchChanges();
             return nullptr;
         },
         // A tick: forbidden (1) or allowed (0), nothing between or beyond.
         .refusals = "GetStreamError", .domain = CellDomain::Switch()},
    };
    return rows;
}
