#include "host/CaseContentChecks.h"

#include "brasko/DefaultUtilityTypes.h"
#include "brasko/EconomicData.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/core/StreamSegment.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/CaseSegmentDomain.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/targeting/UnitsMILP.h"
#include "host/CaseDesignCopies.h"
#include "host/OutputText.h"
#include "host/StreamTableChecks.h"
#include "pellin/NodeKinds.h"
#include "pellin/CNode.h"
#include "pellin/HeatExch.h"
#include "pellin/NegligibleDuty.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

namespace {
using namespace StreamTableLimits;

// Utility prices are held per kW and second; the table gives them per kW and year.
constexpr double kPerYearToPerSecond = CaseValueLimits::PerYearToPerSecond;
constexpr int kAnyKind = 4, kBothSides = 2, kUtility = 1, kLocalScope = 1;
// A case holds the economics its editors take.
constexpr double kMaxHoursPerYear = EconomicValueSet::MaxOperatingHours;
constexpr double kMaxAreaExponent = EconomicValueSet::MaxAreaExponent;

std::string num(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return buffer;
}

double valueOf(const IHeatIntegrationStream& s, const char* name, int index) {
    double v = EmptyValue;
    return s.GetValue(name, v, index) == 1 ? v : EmptyValue;
}

// A name every reader took as UTF-8; a case written before names were held to it may hold other
// bytes, which no report could print.
bool refuseName(const char* what, const char* name, std::string& error) {
    if (!name || IsUtf8(name)) return false;
    error = std::string(what) + " " + QuotedField(name) + " has a name that is not UTF-8";
    return true;
}

// A value worked out from others (a design's temperatures past an exchanger, a segment's load)
// has no range of its own: an energy balance over the values a case holds (a duty of at most
// MaxMagnitude over a heat-capacity flow rate far below MinCp) stays far inside this bound.
constexpr double kWorkedOutBound = 1e20;

bool workedOut(double v) { return std::isfinite(v) && std::fabs(v) <= kWorkedOutBound; }

// A copy agrees with what it is worked out from when the two differ by no more than the rounding
// of the sums that made it.
constexpr double kCopyTolerance = 1e-9;
bool agrees(double copy, double source) {
    if (copy == source) return true;
    return std::fabs(copy - source) <= kCopyTolerance * std::max({1.0, std::fabs(copy), std::fabs(source)});
}

// No segment spans less than this: a stream's points keep it between them (its point margin), and
// a segment built over a shorter span is widened to it.
constexpr double kPointMargin = 0.0001;

// What a design segment copies from its stream and works out from its own values; a copy that
// disagrees is damage (targeting and the designs read the copies, not the stream).
bool checkSegmentCopies(const IHeatIntegrationStream& s, const StreamSegment& seg, int i, double dtmin,
                        bool sharedSiteStream, const std::string& where, std::string& error) {
    const auto refuse = [&](const std::string& what, double copy, double source) {
        error = where + what + " of " + num(copy) + " disagrees with the " + num(source) + " it is worked out from";
        return false;
    };
    // The ends: the stream's points, a span below the margin widened to it.
    const double from = valueOf(s, "Temperature", i), to = valueOf(s, "Temperature", i + 1);
    if (from != EmptyValue && to != EmptyValue) {
        if (!agrees(seg.dInletTemperature, from)) return refuse("an inlet temperature", seg.dInletTemperature, from);
        const double d = from - to;
        const bool widened = std::fabs(d) < kPointMargin;
        if (!widened && !agrees(seg.dOutletTemperature, to)) return refuse("an outlet temperature", seg.dOutletTemperature, to);
        if (widened && !(std::fabs(std::fabs(seg.dInletTemperature - seg.dOutletTemperature) - kPointMargin) <= 1e-9))
            return refuse("an outlet temperature", seg.dOutletTemperature, to);
    }
    // The side follows from the span.
    const double span = seg.dInletTemperature - seg.dOutletTemperature;
    const int side = std::fabs(span) <= kPointMargin ? 2 : span > 0.0 ? 0 : 1;
    if (seg.nHotCold != side) {
        error = where + "a side of " + std::to_string(seg.nHotCold) + " where its temperatures make it " +
                std::to_string(side);
        return false;
    }
    // The kind is the stream's: targeting files a segment with the process or the utility curves
    // by its own kind, so a segment of another kind would leave its stream out of both.
    if (seg.nKind != s.GetStreamKind()) {
        error = where + "a kind of " + std::to_string(seg.nKind) + " where its stream's is " +
                std::to_string(s.GetStreamKind());
        return false;
    }
    // The stream's share of the minimum approach, and the shift it gives: a stream's own
    // contribution, or half the scenario's DTmin. A site's utility stream serves every scenario of
    // the site and is shifted for the one that last targeted: the same shift at both ends, of a
    // size a DTmin can give.
    const bool local = s.GetDTminContributionScope() == kLocalScope;
    if ((seg.DTminContribution.nFlag == kLocalScope) != local) {
        // The scope decides which contribution counts: the stream's own or half the DTmin.
        const auto scope = [](bool own) { return own ? std::string("its own") : std::string("the scenario's"); };
        error = where + "a DTmin contribution of " + scope(seg.DTminContribution.nFlag == kLocalScope) +
                " (scope " + std::to_string(seg.DTminContribution.nFlag) + ") where its stream takes " + scope(local) +
                " (scope " + std::to_string(s.GetDTminContributionScope()) + ")";
        return false;
    }
    if (local && !agrees(seg.DTminContribution.dValue, s.GetDTminContribution()))
        return refuse("a DTmin contribution", seg.DTminContribution.dValue, s.GetDTminContribution());
    const double sign = side == 0 ? -1.0 : side == 1 ? 1.0 : 0.0;
    double shift = local ? seg.DTminContribution.dValue : 0.5 * dtmin;
    if (sharedSiteStream && !local) {
        shift = sign * (seg.dShiftedInletTemperature - seg.dInletTemperature);
        if (!(shift >= 0.0 && shift <= 0.5 * MaxDTmin)) shift = 0.5 * dtmin;
    }
    const double shiftedIn = seg.dInletTemperature + sign * shift, shiftedOut = seg.dOutletTemperature + sign * shift;
    if (!agrees(seg.dShiftedInletTemperature, shiftedIn))
        return refuse("a shifted inlet temperature", seg.dShiftedInletTemperature, shiftedIn);
    if (!agrees(seg.dShiftedOutletTemperature, shiftedOut))
        return refuse("a shifted outlet temperature", seg.dShiftedOutletTemperature, shiftedOut);
    // The film coefficient in use.
    const double h = valueOf(s, "HTCoeff", i);
    if (!agrees(seg.dFilmCoefficient, h)) return refuse("a film coefficient", seg.dFilmCoefficient, h);
    // The flow: a process segment's is the stream's, and carries the segment's load. A utility's
    // follows from the load the targets or a design place on it, which the reader places again.
    const double cp = valueOf(s, "HeatCapacityFlowrate", i);
    if (s.GetStreamKind() != kUtility && cp != EmptyValue && std::fabs(span) > kPointMargin) {
        if (!agrees(seg.dHeatCapacityFlowrate, cp)) return refuse("a heat-capacity flow rate", seg.dHeatCapacityFlowrate, cp);
        if (!agrees(std::fabs(seg.dLoad), cp * std::fabs(span)))
            return refuse("a load", seg.dLoad, cp * std::fabs(span));
    }
    return true;
}

// The stream's segments as targeting and the designs read them: a copy of its values, held in
// the case beside them, and checked as they are.
bool checkDesignSegments(const IHeatIntegrationStream& s, const std::string& who, double dtmin, bool sharedSiteStream,
                         std::string& error) {
    const StreamSegmentList* segments = s.GetDesignSegments();
    if (!segments) return true;
    const bool utility = s.GetStreamKind() == kUtility;
    int k = 0;
    for (const auto& segment : *segments) {
        ++k;
        if (!segment) continue;
        const StreamSegment& seg = *segment;
        const std::string where = who + "design segment " + std::to_string(k) + ": ";
        for (double t : {seg.dInletTemperature, seg.dOutletTemperature})
            if (!(t >= MinTemperature && t <= MaxTemperature)) {
                error = where + "a temperature of " + num(t) + " C, outside " + num(MinTemperature) + " to " +
                        num(MaxTemperature) + " C";
                return false;
            }
        const double cp = seg.dHeatCapacityFlowrate;
        const double heat = cp * std::fabs(seg.dInletTemperature - seg.dOutletTemperature);
        // A process segment carries what a table's segment carries; a utility's flow follows
        // from the load placed on it.
        if (!(cp >= 0.0 && cp <= (utility ? kWorkedOutBound : MaxCp)) ||
            (!utility && seg.dInletTemperature != seg.dOutletTemperature && !(heat >= MinDuty && heat <= MaxDuty))) {
            error = where + "a heat-capacity flow rate of " + num(cp) + " kW/C";
            return false;
        }
        const double h = seg.dFilmCoefficient;
        if (h != EmptyValue && h != 0.0 && !(h >= MinH && h <= MaxH)) {
            error = where + "a film coefficient of " + num(h);
            return false;
        }
        for (double v : {seg.dShiftedInletTemperature, seg.dShiftedOutletTemperature, seg.dLoad, seg.dSummedLoad,
                         seg.dEndToleranceLoad[0], seg.dEndToleranceLoad[1]})
            if (!workedOut(v)) {
                error = where + "a worked-out value of " + num(v);
                return false;
            }
        if (const StreamSegmentLink* link = seg.pLink.get())
            for (double v : {link->dSpecificHeat, link->dShiftedFarEndTemperature, link->dFarEndTemperature,
                             link->dUtilityFactor})
                if (!workedOut(v)) {
                    error = where + "a worked-out value of " + num(v);
                    return false;
                }
        if (!checkSegmentCopies(s, seg, k - 1, dtmin, sharedSiteStream, where, error)) return false;
    }
    return true;
}

// A unit's own values as the sizing leaves them, each in the range its form takes: an area of 0
// or more and the capital cost it gives (below 0 only by a cost law's negative constant), an Ft factor of a feasible shell arrangement, a whole number
// of shells. A complete, feasible unit carries its duty from hot to cold. A value not yet worked
// out is held empty.
bool checkUnitValues(const IHENDesign& design, const CNode& unit, bool settled, const std::string& where,
                     std::string& error) {
    const auto held = [&](const char* name, double& v) {
        return design.GetNodeValue(unit.getName(), CPString(name), v) && !std::isnan(v) && v != EmptyValue;
    };
    double v = 0.0;
    // Within the rounding of no duty a heater's or cooler's duty below 0 is none (the unit model
    // settles no process exchanger below 0 at all).
    if (settled && held(NodeValue::Duty, v) && v < 0.0 && !IsNegligibleDuty(v)) {
        error = where + "a duty of " + num(v) + " kW, where a complete unit carries heat from hot to cold";
        return false;
    }
    if (held(NodeValue::HTArea, v) && !(v >= 0.0 && std::isfinite(v))) {
        error = where + "an area of " + num(v) + " m2, below 0";
        return false;
    }
    if (held(NodeValue::FtFactor, v) && !(v > 0.0 && v <= 1.0)) {
        error = where + "an Ft factor of " + num(v) + ", outside 0 (excluded) to 1";
        return false;
    }
    // A unit an optimisation took all load from keeps its place with no shell.
    if (held(NodeValue::TotalNShells, v) && !(v >= 0.0 && v <= MaxMagnitude && v == std::floor(v))) {
        error = where + "a number of shells of " + num(v) + ", where a unit has a whole number";
        return false;
    }
    if (held(NodeValue::CapitalCost, v) && !(v >= -kWorkedOutBound && std::isfinite(v))) {
        error = where + "a capital cost of " + num(v) + ", below " + num(-kWorkedOutBound);
        return false;
    }
    return true;
}

// A branch of a split stream carries a share of its flow.
bool checkSplitFractions(const IHENDesign& design, const std::string& who, std::string& error) {
    for (int i = 0; i < design.GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* s = design.GetStream(i);
        if (!s) continue;
        for (CNode* splitter : design.GetSplittersOnStream(s)) {
            if (!splitter) continue;
            for (int b = 0; CNode* branch = design.GetSplitterBranch(splitter, b); ++b) {
                double share = EmptyValue;
                if (!design.GetNodeValue(branch->getName(), CPString(NodeValue::SplitFraction), share) || share == EmptyValue ||
                    std::isnan(share))
                    continue;
                if (!(share >= 0.0 && share <= 1.0)) {
                    error = who + "stream " + QuotedField(s->GetName()) + ": a split fraction of " + num(share) +
                            ", outside 0 to 1";
                    return false;
                }
            }
        }
    }
    return true;
}

// Whether the units of a locked design hold an operating state that did not converge: the
// executed schedule's, or else the default state's (a stream typed while locked, then a reset).
bool holdsNotConvergedState(IHENDesign& design) {
    if (!design.GetOperationLocked()) return false;
    if (const char* executed = design.GetExecutedScheduleName()) return design.GetScheduleSolutionStatus(CPString(executed)) == 2;
    return design.GetOperatingStateStatus() == 2 || design.GetCalculationStatus() == 2;
}

// A design's units as the case holds them: their end temperatures and duties, given or worked
// out, are numbers a report can show.
bool checkDesign(const IHENDesign& design, std::string& error) {
    const std::string who = std::string("design ") + QuotedField(design.GetDesignName() ? design.GetDesignName() : "") +
                            ": ";
    std::set<const CNode*> unsettled;
    const bool notConverged = holdsNotConvergedState(const_cast<IHENDesign&>(design));
    for (CNode* n : design.GetIncompleteHeatExchangers()) unsettled.insert(n);
    for (HeatExch* x : design.GetInfeasibleHeatExchangers()) unsettled.insert(static_cast<const CNode*>(x));
    CNode* unit = nullptr;
    for (int k = 0; design.GetHeatExchanger(k, unit); ++k) {
        if (!unit) continue;
        const std::string where = who + "unit " + QuotedField(unit->getName().c_str()) + ": ";
        // A complete, feasible unit lies between the temperatures of its streams; an infeasible
        // or incomplete one may be worked out far past them, and only their size is held.
        // A locked network's what-if that did not converge is a result too (a heater run backwards
        // where the units take a stream past its target): its units are held as the state has them.
        const bool settled = !unsettled.count(unit) && !notConverged;
        for (int port = 0; port < 4; ++port) {
            double t = 0.0;
            if (design.GetExchangerPortTemperature(unit, port, t) &&
                !(settled ? t >= MinTemperature && t <= MaxTemperature : workedOut(t))) {
                error = where + "an end temperature of " + num(t) + " C";
                return false;
            }
        }
        double duty = 0.0;
        if (design.GetNodeValue(unit->getName(), CPString(NodeValue::Duty), duty) && !std::isnan(duty) &&
            !workedOut(duty)) {
            error = where + "a duty of " + num(duty) + " kW";
            return false;
        }
        if (!checkUnitValues(design, *unit, settled, where, error)) return false;
    }
    return checkSplitFractions(design, who, error) && CheckDesignStreamCopies(design, who, error);
}

bool checkStream(const IHeatIntegrationStream& s, double dtmin, bool site, std::string& error) {
    if (refuseName("stream", s.GetName().c_str(), error)) return false;
    const std::string who = "stream " + QuotedField(s.GetName()) + ": ";
    const auto refuse = [&](const char* column, double value) {
        std::string why;
        if (CheckStreamTableValue(column, value, why)) return false;
        error = who + why;
        return true;
    };
    const int segments = s.GetNumberOfSegments();
    if (segments < 0 || segments > MaxSegments) {
        error = who + "holds " + std::to_string(segments) + " segments; a stream holds at most " +
                std::to_string(MaxSegments);
        return false;
    }
    const bool utility = s.GetStreamKind() == kUtility;
    for (int i = 0; i <= segments; ++i) {
        const double t = valueOf(s, "Temperature", i);
        if (t != EmptyValue && refuse("supply", t)) return false;
    }
    // Each segment by the one judgement every route that gives a stream a value asks first; the
    // message names the value it fails on.
    const auto read = [&s](const char* name, int index) { return valueOf(s, name, index); };
    for (int i = 0; i < segments; ++i) {
        if (SegmentHolds(read, i, utility)) continue;
        const double h = valueOf(s, "HTCoeff", i);
        if (h != EmptyValue && refuse("h", h)) return false;
        // A utility's flow follows from the load placed on it; a process stream's is its own.
        const double cp = valueOf(s, "HeatCapacityFlowrate", i);
        if (!utility && cp != EmptyValue && refuse("cp", cp)) return false;
        const double a = valueOf(s, "Temperature", i), b = valueOf(s, "Temperature", i + 1);
        const double span = a != EmptyValue && b != EmptyValue ? std::fabs(a - b) : 0.0;
        error = who + "segment " + std::to_string(i + 1) + " carries " + num(cp * span) + " kW, outside " +
                num(MinDuty) + " to " + num(MaxDuty) + " kW";
        return false;
    }
    if (s.GetDTminContributionScope() == kLocalScope) {
        const double contribution = s.GetDTminContribution();
        if (refuse("dtmin_contribution", contribution)) return false;
        // No table's span exceeds the whole temperature range.
        const double largest = MaxContribution;
        if (contribution > largest) {
            error = who + "column dtmin_contribution: " + num(contribution) + " C is more than any table's span plus " +
                    num(ContributionMargin) + " C";
            return false;
        }
    }
    // A utility that is raised rather than used (steam generated, refrigerant recovered) earns a
    // credit: its cost per kW and year is negative, as the default utilities give it.
    const double cost = s.GetCostIndex() / kPerYearToPerSecond;
    if (refuse("cost", utility ? std::fabs(cost) : cost)) return false;
    return checkDesignSegments(s, who, dtmin, site && utility, error);
}

// The plant's economics and each cost law, in the ranges the economics forms take: operating
// hours within a (leap) year, a plant life and a rate of return of 0 or more, a cost law whose
// constants are of a plant's size and whose exponent the law can use. The shell
// count targets for an Ft of at least the scenario's minimum, a factor of 0 to 1.
bool checkEconomics(const IHeatIntegrationScenario& scenario, std::string& error) {
    const double ft = scenario.GetMinimumFFactor();
    if (!(ft > 0.0 && ft <= 1.0)) {
        error = "its minimum Ft factor is " + num(ft) + ", outside 0 (excluded) to 1";
        return false;
    }
    const char* shared = scenario.GetEconomicDataName(0);
    const auto item = [&](int type, const char* set) { return scenario.GetEconomicData(type, set); };
    const double hours = item(EDT_OperatingHours, shared), life = item(EDT_PlantLife, shared),
                 rate = item(EDT_RateOfReturn, shared);
    if (!(hours >= 0.0 && hours <= kMaxHoursPerYear)) {
        error = "its operating hours are " + num(hours) + " a year, outside 0 to " + num(kMaxHoursPerYear);
        return false;
    }
    if (!(life >= 0.0 && std::isfinite(life))) {
        error = "its plant life is " + num(life) + " years, below 0";
        return false;
    }
    if (!(rate >= 0.0 && std::isfinite(rate))) {
        error = "its rate of return is " + num(rate) + ", below 0";
        return false;
    }
    for (int i = 0; i < scenario.GetNumberOfEconomicData(); ++i) {
        const char* set = scenario.GetEconomicDataName(i);
        if (!set) continue;
        const std::string who = std::string("cost law ") + QuotedField(set) + ": ";
        for (int type : {EDT_FixedCostPerUnit, EDT_AreaCostCoefficient}) {
            const double v = item(type, set);
            if (!(std::fabs(v) <= MaxMagnitude)) {
                error = who + "a constant of " + num(v) + ", past " + num(MaxMagnitude);
                return false;
            }
        }
        const double c = item(EDT_AreaExponent, set);
        if (!(c >= 0.0 && c <= kMaxAreaExponent)) {
            error = who + "an exponent of " + num(c) + ", outside 0 to " + num(kMaxAreaExponent);
            return false;
        }
        // The law prices by area (0) or by duty (1); any other would price every exchanger at nothing.
        const double law = item(EDT_CostLaw, set);
        if (law != 0.0 && law != 1.0) {
            error = who + "a cost law of " + num(law) + ", neither 0 (area) nor 1 (duty)";
            return false;
        }
    }
    return true;
}

// The default film coefficients, as their editor takes them: 0.001 to 1e6 kW/(m2.C), or 0 for
// the first entry of a list made without a default to copy.
bool checkCoefficientDefaults(IHeatIntegrationScenario& scenario, std::string& error) {
    IDefaultUtilityManager* manager = nullptr;
    if (!scenario.GetDefaultUtilityManager(manager) || !manager) return true;
    for (int i = 0; i < manager->GetNumberOfHTCDefaultValues(); ++i) {
        const double h = manager->GetHTCDefaultValue(i);
        if (h == 0.0 || (h >= MinHTCDefaultValue && h <= MaxHTCDefaultValue)) continue;
        const char* name = manager->GetHTCDefaultValueName(i);
        error = "default film coefficient " + QuotedField(name ? name : "") + ": " + num(h) + ", outside " +
                num(MinHTCDefaultValue) + " to " + num(MaxHTCDefaultValue) + " kW/(m2.C)";
        return false;
    }
    return true;
}

// The number of alternative decompositions the units search runs, as the record keeps it: any
// number past the search's own limit is none a case was saved with.
bool checkTargetSettings(IHeatIntegrationScenario& scenario, std::string& error) {
    const int decompositions = scenario.GetUnitsTargetMILPFlag();
    if (decompositions < 0 || decompositions > UnitsMILP::MaxDecompositions) {
        error = "its units target asks for " + std::to_string(decompositions) + " decompositions, outside 0 to " +
                std::to_string(UnitsMILP::MaxDecompositions);
        return false;
    }
    return true;
}
}  // namespace

bool CheckCaseContent(IHeatIntegrationScenario& scenario, std::string& error) {
    if (refuseName("the scenario", scenario.GetName(), error)) return false;
    for (int i = 0; i < scenario.GetNumberOfDesigns(); ++i)
        if (refuseName("design", scenario.GetDesignName(i), error)) return false;
    if (!checkEconomics(scenario, error) || !checkCoefficientDefaults(scenario, error)) return false;
    if (!checkTargetSettings(scenario, error)) return false;
    const double dtmin = scenario.GetDTmin();
    if (!(dtmin >= MinDTmin && dtmin <= MaxDTmin)) {
        error = "its DTmin is " + num(dtmin) + " C, outside " + num(MinDTmin) + " to " + num(MaxDTmin) + " C";
        return false;
    }
    IHeatIntegrationStream* stream = nullptr;
    const bool site = scenario.IsTotalSiteScenario() != 0;
    for (int i = 0; scenario.GetStreamOfKind(i, stream, kAnyKind, kBothSides) && stream; ++i)
        if (!checkStream(*stream, dtmin, site, error)) return false;
    IHENDesign* design = nullptr;
    for (int i = 0; i < scenario.GetNumberOfDesigns(); ++i)
        if (const char* name = scenario.GetDesignName(i); name && scenario.GetDesign(CPString(name), design) && design &&
                                                        !checkDesign(*design, error))
            return false;
    return true;
}
