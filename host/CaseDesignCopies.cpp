#include "host/CaseDesignCopies.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "host/OutputText.h"
#include "pellin/CNode.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <vector>

namespace {
constexpr double kEmpty = -32767.0;
constexpr int kUtility = 1;

// The network's values come out of the design's equations, solved to a residual far below this
// share of the duty or temperature they balance; a copy edited by hand is off by far more.
constexpr double kBalanceTolerance = 1e-6;

std::string num(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", v);
    return buffer;
}

bool close(double a, double b) { return std::fabs(a - b) <= kBalanceTolerance * std::max({1.0, std::fabs(a), std::fabs(b)}); }

// The stream's heat between two temperatures from its points and the cp of each segment between
// them; false when a point or a cp is not held.
bool heatBetween(const IHeatIntegrationStream& s, double a, double b, double& heat) {
    const int n = s.GetNumberOfSegments();
    std::vector<double> points(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i <= n; ++i) {
        double t = kEmpty;
        if (s.GetValue("Temperature", t, i) != 1 || t == kEmpty) return false;
        points[static_cast<std::size_t>(i)] = t;
    }
    if (n < 1) return false;
    const auto [lowest, highest] = std::minmax_element(points.begin(), points.end());
    const double lo = std::min(a, b), hi = std::max(a, b);
    heat = 0.0;
    for (int i = 0; i < n; ++i) {
        double cp = kEmpty;
        if (s.GetValue("HeatCapacityFlowrate", cp, i) != 1 || cp == kEmpty) return false;
        double from = std::min(points[i], points[i + 1]), to = std::max(points[i], points[i + 1]);
        // Past the stream's ends the segment at that end carries on.
        if (from == *lowest) from = std::min(from, lo);
        if (to == *highest) to = std::max(to, hi);
        const double overlap = std::min(hi, to) - std::max(lo, from);
        if (overlap > 0.0) heat += cp * overlap;
    }
    return true;
}

// The share of a utility's load that lies between temperatures a and b: the load spreads over
// its segments by specific heat x span where segments give a specific heat (one mass flow through
// all of them), else by span alone (one heat-capacity flow rate), and evenly within a segment; the
// end segments carry on past the stream's ends. False where the temperatures are not all held.
bool utilityShareBetween(const IHeatIntegrationStream& s, double a, double b, double& share) {
    const int n = s.GetNumberOfSegments();
    if (n < 1) return false;
    std::vector<double> points(static_cast<std::size_t>(n) + 1), weights(static_cast<std::size_t>(n), 0.0);
    for (int i = 0; i <= n; ++i) {
        double t = kEmpty;
        if (s.GetValue("Temperature", t, i) != 1 || t == kEmpty) return false;
        points[static_cast<std::size_t>(i)] = t;
    }
    double total = 0.0;
    for (int i = 0; i < n; ++i) {
        double c = kEmpty;
        if (s.GetValue("SpecificHeat", c, i) == 1 && c != kEmpty && c > 0.0)
            weights[static_cast<std::size_t>(i)] = c * std::fabs(points[i + 1] - points[i]);
        total += weights[static_cast<std::size_t>(i)];
    }
    if (!(total > 0.0)) {
        total = 0.0;
        for (int i = 0; i < n; ++i) total += weights[static_cast<std::size_t>(i)] = std::fabs(points[i + 1] - points[i]);
    }
    if (!(total > 0.0)) return false;
    const auto [lowest, highest] = std::minmax_element(points.begin(), points.end());
    const double lo = std::min(a, b), hi = std::max(a, b);
    share = 0.0;
    for (int i = 0; i < n; ++i) {
        const double range = std::fabs(points[i + 1] - points[i]);
        if (!(range > 0.0)) continue;
        double from = std::min(points[i], points[i + 1]), to = std::max(points[i], points[i + 1]);
        if (from == *lowest) from = std::min(from, lo);
        if (to == *highest) to = std::max(to, hi);
        const double overlap = std::min(hi, to) - std::max(lo, from);
        if (overlap > 0.0) share += weights[static_cast<std::size_t>(i)] * overlap / range / total;
    }
    return true;
}

// A branch's share of the flow entering its splitter; false where none is held.
bool shareOf(const IHENDesign& design, const CNode* branch, double& share) {
    share = kEmpty;
    const bool held = branch && design.GetNodeValue(branch->getName(), CPString(NodeValue::SplitFraction), share);
    return held && share != kEmpty && std::isfinite(share);
}

// A splitter hands on the whole flow that reaches it: its branches' shares of that flow add up
// to 1, on a utility as on a process stream.
bool checkSplitterShares(const IHENDesign& design, const IHeatIntegrationStream& s, const std::string& who,
                         std::string& error) {
    for (CNode* splitter : design.GetSplittersOnStream(const_cast<IHeatIntegrationStream*>(&s))) {
        if (!splitter) continue;
        double branches = 0.0;
        int count = 0;
        bool unsettled = false;
        for (CNode* branch = nullptr; (branch = design.GetSplitterBranch(splitter, count)) != nullptr; ++count) {
            double share = 0.0;
            if (shareOf(design, branch, share)) branches += share;
            else unsettled = true;
        }
        // A branch whose share the network has yet to settle may still take what the others leave:
        // only a splitter whose held shares already pass the whole inflow is wrong then.
        if (count == 0 || close(branches, 1.0) || (unsettled && branches < 1.0)) continue;
        const CPString shown = design.GetUnitName(splitter->getName());
        error = who + "splitter " + QuotedField(shown.empty() ? splitter->getName().c_str() : shown.c_str()) +
                " on stream " + QuotedField(s.GetName()) + ": its branches carry " + num(branches) +
                " of the flow that reaches it";
        return false;
    }
    return true;
}

}  // namespace

bool CheckDesignStreamCopies(const IHENDesign& design, const std::string& who,
                             std::string& error) {
    // A complete, feasible exchanger carries its duty on each side between the temperatures at
    // its ports, in the direction of that side (so a stream's entering temperature, which a
    // design may specify apart from its supply, is held to the duty of its first unit): a process stream by its own cp, a utility by the
    // flow its whole load on the network gives it over its span (a locked network keeps the
    // utility flows it was locked with, which its state holds). A stream split into branches
    // carries a share of its flow on each (the share of the branch the unit stands on), and its splitters
    // hand on the whole flow that reaches them.
    std::set<const CNode*> unsettled;
    for (CNode* n : design.GetIncompleteHeatExchangers()) unsettled.insert(n);
    for (HeatExch* x : design.GetInfeasibleHeatExchangers()) unsettled.insert(static_cast<const CNode*>(x));
    for (int i = 0; i < design.GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* s = design.GetStream(i);
        if (!s) continue;
        const bool utility = s->GetStreamKind() == kUtility;
        const bool split = !design.GetSplittersOnStream(s).empty();
        if (split && !checkSplitterShares(design, *s, who, error)) return false;
        // A utility's flow follows from its load on the whole network, which a split shares out.
        if (split && utility) continue;
        const double span = std::fabs(s->GetSupplyTemperature() - s->GetTargetTemperature());
        for (int side = 0; side < 2; ++side) {
            const std::vector<CNode*> units = design.GetExchangersOnStreamSide(s, side);
            const double load = utility ? design.GetExchangerDutyOnStream(s, side) : 0.0;
            for (CNode* unit : units) {
                double duty = 0.0, a = 0.0, b = 0.0, heat = 0.0;
                if (!unit || unsettled.count(unit) ||
                    !design.GetNodeValue(unit->getName(), CPString(NodeValue::Duty), duty) || !std::isfinite(duty) ||
                    duty == kEmpty)
                    continue;
                // A settled unit with a duty has its temperatures on both streams: a port without
                // one lost its value in the file (a unit that never had them is not settled).
                if (!design.GetExchangerPortTemperature(unit, 2 * side, a) ||
                    !design.GetExchangerPortTemperature(unit, 2 * side + 1, b)) {
                    const CPString shown = design.GetUnitName(unit->getName());
                    error = who + "unit " + QuotedField(shown.empty() ? unit->getName().c_str() : shown.c_str()) +
                            ": a duty of " + num(duty) + " kW but no temperature where it meets stream " +
                            QuotedField(s->GetName());
                    return false;
                }
                if (utility) {
                    // A locked network keeps the utility flows it was locked with; a heater or cooler
                    // running backwards leaves the utility no flow of the network's own.
                    double share = 0.0;
                    if (design.GetOperationLocked() || !(span > 0.0) || !std::isfinite(load) ||
                        !design.DoUtilityUnitsRunForwards() || !utilityShareBetween(*s, a, b, share))
                        continue;
                    heat = load * share;
                } else if (!heatBetween(*s, a, b, heat)) {
                    continue;
                } else if (split) {
                    double share = 1.0;
                    if (!design.GetExchangerBranchShare(unit, side, share)) continue;
                    heat *= share;
                }
                // The hot side cools and the cold side warms.
                const bool along = side == 0 ? a >= b : b >= a;
                if (!along) heat = -heat;
                if (!close(duty, heat)) {
                    const CPString shown = design.GetUnitName(unit->getName());
                    error = who + "unit " + QuotedField(shown.empty() ? unit->getName().c_str() : shown.c_str()) +
                            ": a duty of " + num(duty) + " kW where stream " + QuotedField(s->GetName()) + " carries " +
                            num(heat) + " kW from " + num(a) + " to " + num(b) + " C";
                    return false;
                }
            }
        }
    }
    return true;
}
