#include "host/StreamTableChecks.h"

#include "host/OutputText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
using namespace StreamTableLimits;

std::string num(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return buffer;
}

bool given(double v) { return v != EmptyValue; }

std::string at(const StreamTableStream& s, int line, const std::string& what) {
    return "line " + std::to_string(line) + ": " + PrintableText(s.name, 40) + ": " + what;
}

// The table's temperature span (highest minus lowest temperature given).
double temperatureSpan(const StreamTable& table) {
    double low = MaxTemperature, high = MinTemperature;
    for (const auto& s : table.streams)
        for (const auto& seg : s.segments)
            for (double t : {seg.supply, seg.target})
                if (given(t)) low = std::min(low, t), high = std::max(high, t);
    return high >= low ? high - low : 0.0;
}

struct TransportColumn {
    const char* column;
    const char* what;
    const char* unit;
    double low, high;
};
constexpr TransportColumn kTransportColumns[] = {
    {"thermal_conductivity", "a thermal conductivity", "W/m.C", MinConductivity, MaxConductivity},
    {"viscosity", "a viscosity", "cP", MinViscosity, MaxViscosity},
    {"density", "a density", "kg/m3", MinDensity, MaxDensity},
    {"specific_heat", "a specific heat", "kJ/kg.C", MinSpecificHeat, MaxSpecificHeat},
};

const TransportColumn* transportColumn(const char* column) {
    for (const TransportColumn& t : kTransportColumns)
        if (!std::strcmp(column, t.column)) return &t;
    return nullptr;
}

// The cp of a segment, given or from its duty.
double segmentCp(const StreamTableSegment& seg) {
    if (given(seg.cp)) return seg.cp;
    const double span = std::fabs(seg.supply - seg.target);
    return given(seg.duty) && span > 0.0 ? seg.duty / span : EmptyValue;
}

// A stream flows at one mass flow through all its segments, and an operated network restates it
// by that flow and each segment's specific heat: segments whose cp and specific heat imply other
// flows, or a stream with the properties on some segments only, would come out of it with other
// heat loads.
bool checkTransportProperties(const StreamTableStream& s, std::string& error) {
    const auto& segs = s.segments;
    bool any = false;
    for (const auto& seg : segs) any = any || seg.HasTransportProperty();
    if (!any) return true;
    if (s.utility) {
        error = at(s, segs.front().line,
                   "is a utility: utilities take their transport properties from the site's default utilities; "
                   "leave thermal_conductivity, viscosity, density and specific_heat empty on its rows");
        return false;
    }
    double flow = EmptyValue;
    std::size_t flowSegment = 0;
    for (std::size_t i = 0; i < segs.size(); ++i) {
        const StreamTableSegment& seg = segs[i];
        const std::string which = segs.size() > 1 ? "segment " + std::to_string(i + 1) + " " : std::string();
        for (const TransportColumn& t : kTransportColumns) {
            const double v = !std::strcmp(t.column, "thermal_conductivity") ? seg.thermalConductivity
                             : !std::strcmp(t.column, "viscosity")          ? seg.viscosity
                             : !std::strcmp(t.column, "density")            ? seg.density
                                                                            : seg.specificHeat;
            if (!given(v)) {
                error = at(s, seg.line,
                           which + "has no " + t.column + "; a stream given transport properties needs all four "
                                   "(thermal_conductivity, viscosity, density, specific_heat) on every segment");
                return false;
            }
        }
        const double cp = segmentCp(seg);
        if (!given(cp)) continue;
        const double m = cp / seg.specificHeat;
        if (!given(flow)) {
            flow = m;
            flowSegment = i;
        } else if (std::fabs(m - flow) > 1e-6 * flow) {
            error = at(s, seg.line,
                       which + "has cp " + num(cp) + " kW/C and specific heat " + num(seg.specificHeat) +
                           " kJ/kg.C, a mass flow of " + num(m) + " kg/s, where segment " +
                           std::to_string(flowSegment + 1) + " gives " + num(flow) +
                           " kg/s: one stream has one mass flow");
            return false;
        }
    }
    return true;
}

bool checkStream(const StreamTableStream& s, double span, std::string& error) {
    const auto& segs = s.segments;
    if (segs.size() > static_cast<std::size_t>(MaxSegments)) {
        error = at(s, segs[MaxSegments].line,
                   "has " + std::to_string(segs.size()) + " segments; a stream holds at most " +
                       std::to_string(MaxSegments));
        return false;
    }
    if (s.utility && s.NameOnly()) return true;
    const bool hot = segs.front().supply > segs.front().target;
    for (std::size_t i = 0; i < segs.size(); ++i) {
        const StreamTableSegment& seg = segs[i];
        const std::string which = segs.size() > 1 ? "segment " + std::to_string(i + 1) + " " : std::string();
        if (!given(seg.supply) || !given(seg.target)) {
            error = at(s, seg.line, which + "has no supply or target temperature");
            return false;
        }
        // An isothermal utility row says neither whether it gives heat or takes it nor how much it
        // can carry per kelvin; a span of its own in its direction says both.
        if (s.utility && seg.supply == seg.target) {
            error = at(s, seg.line,
                       which + "has supply equal to target (" + num(seg.supply) +
                           " C): give a utility a small span in its direction, e.g. " + num(seg.supply) + " -> " +
                           num(seg.supply - 0.01) + " for steam that condenses or " + num(seg.supply) + " -> " +
                           num(seg.supply + 0.01) + " for water that boils");
            return false;
        }
        if (!s.utility && !given(seg.cp) && !given(seg.duty)) {
            error = at(s, seg.line, which + "has neither cp nor duty");
            return false;
        }
        // Rows of one name are one stream's segments: a row that neither joins the one above nor
        // runs its way is another stream given the same name.
        if (i > 0 && std::fabs(seg.supply - segs[i - 1].target) > 1e-9 && seg.supply != seg.target &&
            (seg.supply > seg.target) != hot) {
            error = at(s, seg.line,
                       "is the name of a " + std::string(hot ? "hot" : "cold") + " stream (line " +
                           std::to_string(segs.front().line) + ") and of a " + (hot ? "cold" : "hot") +
                           " one: rows of one name are the segments of one stream; give each stream its own name");
            return false;
        }
        if (i > 0 && std::fabs(seg.supply - segs[i - 1].target) > 1e-9) {
            error = at(s, seg.line,
                       which + "starts at " + num(seg.supply) + " C, where segment " + std::to_string(i) +
                           " ended at " + num(segs[i - 1].target) + " C");
            return false;
        }
        if (segs.size() > 1 && seg.supply == seg.target) {
            error = at(s, seg.line,
                       which + "changes no temperature (supply and target " + num(seg.supply) +
                           " C); every segment of a stream must");
            return false;
        }
        if (i > 0 && seg.supply != seg.target && (seg.supply > seg.target) != hot) {
            error = at(s, seg.line,
                       which + "turns back (supply " + num(seg.supply) + ", target " + num(seg.target) + " on a " +
                           (hot ? "hot" : "cold") + " stream)");
            return false;
        }
        const double segSpan = std::fabs(seg.supply - seg.target);
        if (given(seg.cp) && given(seg.duty)) {
            // Both given: they must say the same.
            if (std::fabs(seg.cp * segSpan - seg.duty) > 1e-6 * std::max(1.0, seg.duty)) {
                error = at(s, seg.line,
                           which + "has cp " + num(seg.cp) + " and duty " + num(seg.duty) + ", which disagree: cp x " +
                               num(segSpan) + " C is " + num(seg.cp * segSpan) + " kW; give one of them");
                return false;
            }
        }
        if (given(seg.cp) && !given(seg.duty) && segSpan > 0.0 && seg.cp * segSpan < MinDuty) {
            error = at(s, seg.line,
                       which + "carries " + num(seg.cp * segSpan) + " kW (cp " + num(seg.cp) + " over " + num(segSpan) +
                           " C), less than " + num(MinDuty) + " kW: a segment with next to no heat is no segment");
            return false;
        }
        // A duty is a cp over the segment's span: that cp must lie in the range of the column.
        if (given(seg.duty) && !given(seg.cp) && segSpan > 0.0 &&
            (seg.duty / segSpan < MinCp || seg.duty / segSpan > MaxCp)) {
            error = at(s, seg.line,
                       which + "has duty " + num(seg.duty) + " kW over " + num(segSpan) + " C, a cp of " +
                           num(seg.duty / segSpan) + " kW/C, outside the range of cp (0.001 to 1e9 kW/C)");
            return false;
        }
        // A process row over no temperature change carries no heat whatever its cp: taking it as
        // 0 kW would change the targets without a word.
        if (!s.utility && given(seg.cp) && !given(seg.duty) && segSpan <= 0.0) {
            error = at(s, seg.line,
                       which + "has a cp over no temperature change (supply = target = " + num(seg.supply) +
                           " C), so it carries no heat; give it the span over which it changes temperature");
            return false;
        }
        if (given(seg.duty) && seg.duty > 0.0 && segSpan <= 0.0) {
            error = at(s, seg.line, which + "has a duty over no temperature change (supply = target)");
            return false;
        }
        if (given(seg.dtminContribution) && seg.dtminContribution > span + ContributionMargin) {
            error = at(s, seg.line,
                       which + "has a DTmin contribution of " + num(seg.dtminContribution) +
                           " C, more than the table's temperature span (" + num(span) + " C) plus " +
                           num(ContributionMargin) + " C");
            return false;
        }
    }
    return true;
}
}  // namespace

bool CheckStreamTableValue(const char* column, double value, std::string& error) {
    const auto outside = [&](const std::string& range) {
        error = "column " + std::string(column) + ": " + num(value) + " is outside " + range;
        return false;
    };
    if (value == EmptyValue) {
        error = "column " + std::string(column) + ": -32767 marks an empty value and cannot be entered; leave the field "
                "empty instead";
        return false;
    }
    if (!std::strcmp(column, "supply") || !std::strcmp(column, "target")) {
        if (value < MinTemperature) {
            error = "column " + std::string(column) + ": " + num(value) + " C is below absolute zero (-273.15 C)";
            return false;
        }
        if (value > MaxTemperature) return outside("the temperatures the table takes (-273.15 to 5000 C)");
    } else if (!std::strcmp(column, "cp")) {
        if (!(value > 0.0)) {
            error = "column cp: the heat-capacity flow rate must be above 0 (got " + num(value) + ")";
            return false;
        }
        if (value < MinCp || value > MaxCp) return outside("the range of cp (0.001 to 1e9 kW/C)");
    } else if (!std::strcmp(column, "duty")) {
        if (value < 0.0) {
            error = "column duty: a duty is a heat load and cannot be negative (got " + num(value) +
                    "); the direction follows from supply and target";
            return false;
        }
        if (value == 0.0) {
            error = "column duty: a duty of 0 carries no heat, and a stream with no heat is no stream; leave the "
                    "row out or give its heat";
            return false;
        }
        if (value < MinDuty || value > MaxDuty) return outside("the range of duty (0.001 to 1e12 kW)");
    } else if (!std::strcmp(column, "h")) {
        if (!(value > 0.0)) {
            error = "column h: the film coefficient must be above 0 (got " + num(value) + ")";
            return false;
        }
        if (value < MinH || value > MaxH) return outside("the range of h (0.001 to 1e6 kW/(m2.C))");
    } else if (!std::strcmp(column, "cost")) {
        // Below 0 only for a utility that earns a credit, which the stream decides once it is made
        // (FillScenario).
        if (value < -MaxCost || value > MaxCost) return outside("the range of cost (-1e9 to 1e9 per kW and year)");
    } else if (const TransportColumn* t = transportColumn(column)) {
        if (!(value > 0.0)) {
            error = "column " + std::string(column) + ": " + t->what + " must be above 0 (got " + num(value) + ")";
            return false;
        }
        if (value < t->low || value > t->high)
            return outside("the range of " + std::string(column) + " (" + num(t->low) + " to " + num(t->high) + " " +
                           t->unit + ")");
    } else if (!std::strcmp(column, "dtmin_contribution")) {
        if (value < 0.0) {
            error = "column dtmin_contribution: a DTmin contribution cannot be negative (got " + num(value) + ")";
            return false;
        }
    }
    return true;
}

bool CheckStreamTable(const StreamTable& table, std::string& error) {
    const double span = temperatureSpan(table);
    for (const auto& s : table.streams)
        if (!checkStream(s, span, error) || !checkTransportProperties(s, error)) return false;
    return true;
}
