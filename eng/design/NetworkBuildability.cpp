// The buildability judgement of a network: streams met, approaches kept, the network calculated.
#include "eng/design/NetworkBuildability.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "pellin/CNode.h"
#include "pellin/FFactor.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// A duty (kW) below this is no duty: an exchanger that carries it is idle.
constexpr double kIdleDuty = 1e-3;
// The approach is met to this share of the temperatures the exchanger spans (1 K at least): the
// precision to which the network calculation settles an exchanger's outlets.
constexpr double kApproachPrecision = 1e-5;

std::string Number(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", v);
    return buffer;
}

std::string NameOf(CNode* unit) {
    CPString name;
    if (unit->getVariableAsString(NodeValue::UnitOperationName, name) && !name.empty()) return name.c_str();
    return unit->getName().c_str();
}

double DutyOf(CNode* unit) {
    double duty = 0.0;
    return unit->getVariableAsDouble(NodeValue::Duty, duty) ? duty : 0.0;
}

// The smaller of the two end approaches; false when a port temperature is not known.
bool ApproachOf(const IHENDesign& design, CNode* unit, double& approach, double& span) {
    double t[4];
    for (int port = 0; port < 4; ++port)
        if (!design.GetExchangerPortTemperature(unit, port, t[port])) return false;
    approach = std::min(t[0] - t[3], t[1] - t[2]);
    span = std::max(1.0, std::fabs(t[0] - t[2]));
    return true;
}

// Whether a shell-and-tube unit held to the shells in series it was given can do its duty: N 1-2
// shells reach only so much of the exchange's effectiveness, and past that no area does the duty
// (the calculation then writes F at its floor and an area to match, which no plant could build).
// A unit whose shells are not given takes as many as its duty needs, and a countercurrent unit
// has no such limit.
bool GivenShellsReach(CNode* unit, const double t[4]) {
    const HeatExch* x = AsHeatExch(unit);
    double shells = 0.0, flag = 0.0;
    const bool given = unit->getVariableStatus(NodeValue::NShellsInSeries) == ValueStatus::Specified ||
                       (unit->getVariableAsDouble(NodeValue::ShellsInSeriesSpecified, flag) && flag == 1.0);
    if (!x || x->getHXType() != 1 || !given || !unit->getVariableAsDouble(NodeValue::NShellsInSeries, shells) ||
        !(shells >= 1.0))
        return true;
    const double hotDrop = t[0] - t[1], coldRise = t[3] - t[2];
    // A side that does not change temperature needs no correction; crossed ends are the
    // approach's to judge.
    if (!(hotDrop > 0.0) || !(coldRise > 0.0) || !(t[0] - t[2] > 0.0)) return true;
    double F = 0.0;
    return FFactorForShells(hotDrop / coldRise, coldRise / (t[0] - t[2]), shells, F) && F > kLowestFFactor;
}

// The ends of an exchanger: hot in, hot out, cold in, cold out; false when one is not known.
bool EndsOf(const IHENDesign& design, CNode* unit, double t[4]) {
    for (int port = 0; port < 4; ++port)
        if (!design.GetExchangerPortTemperature(unit, port, t[port])) return false;
    return true;
}

}  // namespace

std::string WhyNetworkIsNotBuildable(IHENDesign& design, const IHENDesign* base, double dtMin) {
    // Streams by index: the design's stream list, each read once.
    for (int i = 0; i < design.GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* stream = design.GetStream(i);
        if (!stream || stream->GetStreamKind() == 1) continue;
        double remainder = 0.0;
        if (!design.IsStreamSatisfied(stream, &remainder))
            return std::string("stream ") + stream->GetName().c_str() + " is " + Number(remainder) +
                   " kW away from its target";
    }
    CNode* unit = nullptr;
    for (int k = 0; design.GetHeatExchanger(k, unit); ++k) {
        HeatExch* x = AsHeatExch(unit);
        if (!x || std::fabs(DutyOf(unit)) < kIdleDuty) continue;
        if (x->getStatus() != ExchangerStatus::Calculated)
            return "the network does not calculate: " + NameOf(unit) + " is not calculated";
        double approach = 0.0, span = 1.0;
        if (!ApproachOf(design, unit, approach, span))
            return "the network does not calculate: the temperatures of " + NameOf(unit) + " are not known";
        double ends[4];
        if (EndsOf(design, unit, ends) && !GivenShellsReach(unit, ends)) {
            // A base unit that was already past its shells is the plant as it stands.
            CNode* before = base ? base->GetNodeByName(unit->getName()) : nullptr;
            double baseEnds[4];
            if (!before || !EndsOf(*base, before, baseEnds) || GivenShellsReach(before, baseEnds))
                return NameOf(unit) + " needs more than its shells in series can do at these temperatures";
        }
        const double tolerance = kApproachPrecision * span;
        if (x->IsUtilityExch()) {
            // A heater or cooler meets its utility at the utility's own approach; it must at
            // least pass heat the right way.
            if (approach < -tolerance)
                return NameOf(unit) + " runs crossed, at " + Number(approach) + " K approach";
            continue;
        }
        double required = dtMin;
        CNode* before = base ? base->GetNodeByName(unit->getName()) : nullptr;
        double baseApproach = 0.0, baseSpan = 1.0;
        if (before && AsHeatExch(before) && ApproachOf(*base, before, baseApproach, baseSpan))
            required = std::min(required, baseApproach);
        if (approach < required - tolerance)
            return NameOf(unit) + " runs at " + Number(approach) + " K approach, below DTmin " + Number(dtMin) + " K";
    }
    return std::string();
}
