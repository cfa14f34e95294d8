#include "host/CaseContentChecks.h"

#include "eng/core/StreamSegment.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "host/OutputText.h"
#include "host/StreamTableChecks.h"
#include "pellin/NodeKinds.h"
#include "pellin/CNode.h"
#include "pellin/HeatExch.h"

#include <cmath>
#include <cstdio>
#include <set>

namespace {
using namespace StreamTableLimits;

// Utility prices are held per kW and second; the table gives them per kW and year.
constexpr double kPerYearToPerSecond = CaseValueLimits::PerYearToPerSecond;
constexpr int kAnyKind = 4, kBothSides = 2, kUtility = 1, kLocalScope = 1;

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

// The stream's segments as targeting and the designs read them: a copy of its values, held in
// the case beside them, and checked as they are.
bool checkDesignSegments(const IHeatIntegrationStream& s, const std::string& who, std::string& error) {
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
    }
    return true;
}

// A design's units as the case holds them: their end temperatures and duties, given or worked
// out, are numbers a report can show.
bool checkDesign(const IHENDesign& design, std::string& error) {
    const std::string who = std::string("design ") + QuotedField(design.GetDesignName() ? design.GetDesignName() : "") +
                            ": ";
    std::set<const CNode*> unsettled;
    for (CNode* n : design.GetIncompleteHeatExchangers()) unsettled.insert(n);
    for (HeatExch* x : design.GetInfeasibleHeatExchangers()) unsettled.insert(static_cast<const CNode*>(x));
    CNode* unit = nullptr;
    for (int k = 0; design.GetHeatExchanger(k, unit); ++k) {
        if (!unit) continue;
        const std::string where = who + "unit " + QuotedField(unit->getName().c_str()) + ": ";
        // A complete, feasible unit lies between the temperatures of its streams; an infeasible
        // or incomplete one may be worked out far past them, and only their size is held.
        const bool settled = !unsettled.count(unit);
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
    }
    return true;
}

bool checkStream(const IHeatIntegrationStream& s, std::string& error) {
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
    for (int i = 0; i < segments; ++i) {
        const double h = valueOf(s, "HTCoeff", i);
        if (h != EmptyValue && refuse("h", h)) return false;
        // A utility's flow follows from the load placed on it; a process stream's is its own.
        if (utility) continue;
        const double cp = valueOf(s, "HeatCapacityFlowrate", i);
        if (cp == EmptyValue) continue;
        if (refuse("cp", cp)) return false;
        const double a = valueOf(s, "Temperature", i), b = valueOf(s, "Temperature", i + 1);
        const double span = a != EmptyValue && b != EmptyValue ? std::fabs(a - b) : 0.0;
        if (span > 0.0 && cp * span < MinDuty) {
            error = who + "segment " + std::to_string(i + 1) + " carries " + num(cp * span) + " kW, less than " +
                    num(MinDuty) + " kW";
            return false;
        }
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
    return checkDesignSegments(s, who, error);
}
}  // namespace

bool CheckCaseContent(IHeatIntegrationScenario& scenario, std::string& error) {
    if (refuseName("the scenario", scenario.GetName(), error)) return false;
    for (int i = 0; i < scenario.GetNumberOfDesigns(); ++i)
        if (refuseName("design", scenario.GetDesignName(i), error)) return false;
    const double dtmin = scenario.GetDTmin();
    if (!(dtmin >= MinDTmin && dtmin <= MaxDTmin)) {
        error = "its DTmin is " + num(dtmin) + " C, outside " + num(MinDTmin) + " to " + num(MaxDTmin) + " C";
        return false;
    }
    IHeatIntegrationStream* stream = nullptr;
    for (int i = 0; scenario.GetStreamOfKind(i, stream, kAnyKind, kBothSides) && stream; ++i)
        if (!checkStream(*stream, error)) return false;
    IHENDesign* design = nullptr;
    for (int i = 0; i < scenario.GetNumberOfDesigns(); ++i)
        if (const char* name = scenario.GetDesignName(i); name && scenario.GetDesign(CPString(name), design) && design &&
                                                        !checkDesign(*design, error))
            return false;
    return true;
}
