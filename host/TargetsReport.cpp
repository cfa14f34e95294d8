#include "host/TargetsReport.h"

#include "brasko/DefaultUtilityTypes.h"
#include "eng/core/StreamSegment.h"
#include "eng/core/StreamSegmentList.h"
#include "eng/model/CaseValueLimits.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/UtilityCover.h"
#include "host/OutputText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

namespace {
constexpr double kSecondsPerYear = 31536000.0;
// Cost-target codes of the scenario's queries.
constexpr int kCapitalCost = 7, kOperatingCost = 4, kTotalAnnualCost = 5;
// A side's placement status when the capital/utility trade-off found no economic data to weigh.
constexpr int kTradeoffNoEconomicData = 5;

// A number of the JSON report, ten significant digits as printf's %.10g writes them (to_chars
// takes no locale and no format string: a large table writes one per stream at a pinch).
void appendNumber(std::string& text, double v) {
    if (!std::isfinite(v)) {
        text += "null";
        return;
    }
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(v) < 1e-12 ? 0.0 : v,
                                   std::chars_format::general, 10).ptr;
    text.append(buffer, end);
}

std::string number(double v) {
    std::string text;
    appendNumber(text, v);
    return text;
}

std::string fixed(double v, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, std::fabs(v) < 1e-12 ? 0.0 : v);
    return buffer;
}

const char* problemTypeText(int type) {
    switch (type) {
    case 0: return "pinched (hot and cold utility)";
    case 1: return "threshold (hot utility only)";
    case 2: return "threshold (cold utility only)";
    case 3: return "no utility needed";
    default: return "unknown";
    }
}
}  // namespace

namespace {
// Status codes of a side of the utility placement: 1 and 3 leave part of the target uncovered,
// 4 could not be evaluated.
bool sideCovered(int status) { return utility_cover::SideCovered(status); }

// Loads of the utility streams on one side (0 hot, 1 cold); appends them to the report.
double placedLoads(IHeatIntegrationScenario& scenario, int side, TargetsReport& r) {
    double sum = 0.0;
    for (int i = 0; i < scenario.GetNumberOfStreamsOfKind(1, side); ++i) {
        IHeatIntegrationStream* stream = nullptr;
        if (!scenario.GetStreamOfKind(i, stream, 1, side) || !stream) continue;
        const double load = std::fabs(stream->GetHeatLoad(0));
        r.utilities.push_back({stream->GetName(), load});
        sum += load;
    }
    return sum;
}

constexpr int kAnyKind = 4, kBothSides = 2, kUtilityKind = 1, kLocalScope = 1;

// Where a process stream meets the shifted temperature: its own real temperature there, or NaN
// for a stream that is not at the pinch (a utility, a stream without a side, one whose range
// does not reach it).
double PinchTemperatureOf(const IHeatIntegrationStream& s, double shifted, double halfDTmin) {
    if (s.GetStreamKind() == kUtilityKind || (s.GetHotCold() != 0 && s.GetHotCold() != 1))
        return std::numeric_limits<double>::quiet_NaN();
    const bool isHot = s.GetHotCold() == 0;
    const double shift = s.GetDTminContributionScope() == kLocalScope ? s.GetDTminContribution() : halfDTmin;
    const double t = isHot ? shifted + shift : shifted - shift;
    const double a = s.GetSupplyTemperature(), b = s.GetTargetTemperature();
    const double tolerance = 1e-9 * std::max(1.0, std::fabs(t));
    if (t < std::min(a, b) - tolerance || t > std::max(a, b) + tolerance) return std::numeric_limits<double>::quiet_NaN();
    return t;
}

// The pinch the scenario gives as its hot and cold temperature at the scenario's DTmin (the
// shifted temperature plus and less half of it), read back as the shifted temperature and the
// process streams that meet there: a hot stream at the shifted temperature plus its own shift,
// a cold one at it less its shift, each where that temperature lies on the stream.
// A side keeps its streams as their positions in the scenario's list; their temperatures are
// worked out again when the report is written.
PinchReport ReadPinch(IHeatIntegrationScenario& scenario, double hot, double cold) {
    PinchReport p;
    p.shifted = 0.5 * (hot + cold);
    p.halfDTmin = 0.5 * scenario.GetDTmin();
    p.scenario = &scenario;
    // Whether a side's streams agree on one temperature is seen as they are found.
    struct Agreement {
        bool any = false, agreed = true;
        double first = 0.0;
        void See(double t) {
            if (!any) {
                any = true;
                first = t;
            } else if (std::fabs(t - first) > 1e-9 * std::max(1.0, std::fabs(t))) {
                agreed = false;
            }
        }
    } hotSide, coldSide;
    IHeatIntegrationStream* s = nullptr;
    for (int i = 0; scenario.GetStreamOfKind(i, s, kAnyKind, kBothSides) && s; ++i) {
        const double t = PinchTemperatureOf(*s, p.shifted, p.halfDTmin);
        if (std::isnan(t)) continue;
        const bool isHot = s->GetHotCold() == 0;
        (isHot ? p.hotStreams : p.coldStreams).push_back(static_cast<std::uint32_t>(i));
        (isHot ? hotSide : coldSide).See(t);
    }
    p.hotStreams.shrink_to_fit();
    p.coldStreams.shrink_to_fit();
    p.hotKnown = hotSide.any && hotSide.agreed;
    p.coldKnown = coldSide.any && coldSide.agreed;
    if (p.hotKnown) p.hot = hotSide.first;
    if (p.coldKnown) p.cold = coldSide.first;
    return p;
}

bool sameLoad(double a, double b) { return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(b)); }

std::string kw(double v) { return fixed(v, 3) + " kW"; }

constexpr int kAreaLP = 1;
// The area LP's state when a solve was stopped at its time limit.
constexpr int kAreaLPStopped = 5;

// The area LP prices its matches at its own 2 C approach for the streams that take the scenario's
// DTmin, so its area is a bound below that of a network at the DTmin chosen, not that area.
std::string AreaLPNote(double dtmin) {
    return "the area comes from the area LP, which lets streams without a DTmin contribution of their own "
           "approach to 2 C; it may fall below the area a network at DTmin " +
           fixed(dtmin, 3) + " C needs";
}

// A scenario too large for the area LP over its own intervals is solved over a grid.
std::string AreaLPGridNote(double step) {
    return "the table is too large for the area LP over its own temperature intervals: it was solved over a grid of " +
           fixed(step, 3) + " C, every stream's shifted ends moved to the nearest grid point with its load kept, so "
           "the area and shells are those of streams up to " + fixed(0.5 * step, 3) + " C from their own ends";
}

// A stream whose values are not complete has no segments for the targets to work with: it is left
// out of them, which the report says with the first value it lacks.
std::string MissingValue(const IHeatIntegrationStream& s) {
    const int segments = std::max(s.GetNumberOfSegments(), 1);
    const auto given = [&](const char* name, int i) {
        double v = 0.0;
        return s.GetValue(name, v, i) == 1 && v != CaseValueLimits::EmptyValue;
    };
    const auto segment = [&](int i) { return segments == 1 ? std::string() : " of segment " + std::to_string(i + 1); };
    for (int k = 0; k <= segments; ++k)
        if (!given("Temperature", k))
            return k == 0 ? "no supply temperature" : k == segments ? "no target temperature"
                                                                     : "no temperature where segment " +
                                                                           std::to_string(k) + " ends";
    const bool utility = s.GetStreamKind() == kUtilityKind;
    if (utility) {
        for (int i = 0; i < segments; ++i)
            if (!given("SpecificHeat", i))
                return "no specific heat" + segment(i) + ", where other segments have one";
        return "values that do not make up its segments";
    }
    for (int i = 0; i < segments; ++i)
        if (!given("Enthalpy", i)) return "no heat-capacity flow rate or heat load" + segment(i);
    return "values that do not make up its segments";
}

// What a side placed against what it needs. The heat balance asks of a side its target and
// whatever the other side places above its own (loads typed or traded off above one target need as
// much more on the other side): against the target alone a side placed above it would read as
// "placed 70 of 60", naming no shortfall.
std::string ShortSide(int side, double placed, double target, double otherPlaced, double otherTarget) {
    const char* name = side == 0 ? "hot" : "cold";
    const double above = otherPlaced - otherTarget;
    if (!(above > 1e-6 * std::max(1.0, otherTarget)))
        return std::string(name) + " utility placed " + kw(placed) + " of " + kw(target);
    return std::string(name) + " utility placed " + kw(placed) + " of " + kw(target + above) + " needed (its target " +
           kw(target) + " and the " + kw(above) + " of " + (side == 0 ? "cold" : "hot") +
           " utility placed above its own target)";
}

// Why a side's utilities cannot take all of its target when no utility reaches a process stream's
// end: on the cold side the process stream that leaves coldest (shifted) against the coldest cold
// utility, on the hot side the one that leaves hottest against the hottest hot utility. Empty when
// every end lies within the utilities' reach.
std::string UnreachedEnd(IHeatIntegrationScenario& scenario, int side) {
    const bool cold = side == 1;
    struct End {
        const IHeatIntegrationStream* stream = nullptr;
        double actual = 0.0, shifted = 0.0;
    } process, utility;
    IHeatIntegrationStream* s = nullptr;
    for (int i = 0; scenario.GetStreamOfKind(i, s, kAnyKind, kBothSides) && s; ++i) {
        const StreamSegmentList* segments = s->GetDesignSegments();
        if (!segments || segments->empty()) continue;
        const bool isUtility = s->GetStreamKind() == kUtilityKind;
        // The cold side's process ends are the hot streams' targets, its utilities the cold ones
        // (and the other way round on the hot side).
        if (s->GetHotCold() != (isUtility ? side : 1 - side)) continue;
        for (const auto& seg : *segments) {
            const double actual = isUtility ? seg->dInletTemperature : seg->dOutletTemperature;
            const double shifted = isUtility ? seg->dShiftedInletTemperature : seg->dShiftedOutletTemperature;
            End& end = isUtility ? utility : process;
            // Cold side: the coldest; hot side: the hottest.
            if (!end.stream || (cold ? shifted < end.shifted : shifted > end.shifted)) end = {s, actual, shifted};
        }
    }
    if (!process.stream || !utility.stream) return std::string();
    const double gap = cold ? utility.shifted - process.shifted : process.shifted - utility.shifted;
    if (!(gap > 1e-9)) return std::string();
    const double approach = std::fabs(process.actual - process.shifted) + std::fabs(utility.actual - utility.shifted);
    return " (" + PrintableText(process.stream->GetName()) + " leaves at " + fixed(process.actual, 3) + " C; " +
           PrintableText(utility.stream->GetName()) + " at " + fixed(utility.actual, 3) + " C asks an approach of " +
           fixed(approach, 3) + " C there, so no " + (cold ? "cold" : "hot") + " utility reaches it)";
}

// A locked design running a what-if holds its values in the streams the targets are taken from.
void NoteWhatIfStreamData(const IHeatIntegrationScenario& scenario, std::vector<std::string>& notes) {
    for (int i = 0; i < scenario.GetNumberOfDesigns(); ++i) {
        IHENDesign* design = nullptr;
        if (!scenario.GetDesign(i, design, 0) || !design) continue;
        if (const char* note = design->GetWhatIfStreamNote(nullptr))
            notes.push_back(std::string("the stream data are a what-if's of the locked design ") +
                            QuotedField(design->GetDesignName()) + ", and so are these targets: " + note);
    }
}

void NoteStreamsLeftOut(const IHeatIntegrationScenario& scenario, std::vector<std::string>& notes) {
    IHeatIntegrationStream* s = nullptr;
    for (int i = 0; scenario.GetStreamOfKind(i, s, kAnyKind, kBothSides) && s; ++i)
        if (!s->AreDesignSegmentsComplete())
            notes.push_back((s->GetStreamKind() == kUtilityKind ? "utility " : "stream ") + QuotedField(s->GetName()) +
                            " is left out of the targets: it has " + MissingValue(*s));
}

// Whether a process stream takes part in the targets: without one there is no network to count or
// size, whatever the utilities placed by hand.
bool HasProcessStream(const IHeatIntegrationScenario& scenario) {
    IHeatIntegrationStream* s = nullptr;
    for (int i = 0; scenario.GetStreamOfKind(i, s, kAnyKind, kBothSides) && s; ++i)
        if (s->GetStreamKind() != kUtilityKind && s->AreDesignSegmentsComplete()) return true;
    return false;
}
// Without a network there is no exchanger to buy: the capital and the total annual cost built on it
// have no result either (the operating cost of utilities placed by hand still has one).
const char* const kNoNetworkNote =
    "area, units, shells, capital and total annual cost are not available: the table has no process streams to "
    "exchange heat with";
}  // namespace

const std::string& PinchStreamReport::Name() const { return stream->GetName(); }

PinchStreamReport PinchReport::StreamAt(const std::vector<std::uint32_t>& side, std::size_t k) const {
    IHeatIntegrationStream* s = nullptr;
    scenario->GetStreamOfKind(static_cast<int>(side[k]), s, kAnyKind, kBothSides);
    return {s, PinchTemperatureOf(*s, shifted, halfDTmin)};
}

TargetsReport ReadTargets(IHeatIntegrationScenario& scenario) {
    TargetsReport r;
    r.dtmin = scenario.GetDTmin();
    r.hotUtility = scenario.GetUtilityTarget(0);
    r.coldUtility = scenario.GetUtilityTarget(1);
    // The process pinches divide the problem; the placed utilities may bring pinches of their own
    // (a second steam level touching the grand composite curve), which are reported apart.
    for (int i = 0; i < scenario.GetNumberOfProcessPinchPoints(); ++i)
        r.pinches.push_back(ReadPinch(scenario, scenario.GetProcessPinchTemperatureAt(0, i),
                                      scenario.GetProcessPinchTemperatureAt(1, i)));
    for (int i = 0; i < scenario.GetNumberOfPinchPoints(); ++i) {
        const double hot = scenario.GetPinchTemperature(0, i), cold = scenario.GetPinchTemperature(1, i);
        const bool process = std::any_of(r.pinches.begin(), r.pinches.end(), [&](const PinchReport& p) {
            return std::fabs(p.shifted - 0.5 * (hot + cold)) <= 1e-6 * std::max(1.0, std::fabs(p.shifted));
        });
        if (!process) r.utilityPinches.push_back(ReadPinch(scenario, hot, cold));
    }
    // With no process stream there is no heat cascade: the energy target, when there is one
    // (utilities alone), says nothing of a pinch.
    r.problemType = scenario.GetNumberOfProcessStreams() > 0 ? scenario.GetPinchProblemType() : -1;
    r.areaCountercurrent = scenario.GetAreaTarget(0);
    r.areaShellTube = scenario.GetAreaTarget(1);
    r.shellTubeAvailable = !(scenario.GetAreaTargetMethod() == kAreaLP && scenario.GetAreaTargetOption() == 0);
    r.unitsOverall = scenario.GetMinimumNumberOfUnits(0);
    r.unitsPinch = scenario.GetMinimumNumberOfUnits(1);
    r.shells = scenario.GetNumberOfShellsTarget();
    r.shellsCapped = scenario.IsShellsTargetCapped();
    // The capital-cost target is the investment itself; operating and total annual cost are held
    // per second.
    r.capitalCost = scenario.GetCostTarget(kCapitalCost);
    r.operatingCost = scenario.GetCostTarget(kOperatingCost) * kSecondsPerYear;
    r.totalAnnualCost = scenario.GetCostTarget(kTotalAnnualCost) * kSecondsPerYear;
    r.noAnnualCost = NoAnnualisedCapital(scenario);
    NoteStreamsLeftOut(scenario, r.notes);
    NoteWhatIfStreamData(scenario, r.notes);
    const double hotPlaced = placedLoads(scenario, 0, r);
    const double coldPlaced = placedLoads(scenario, 1, r);

    // Whether the utilities cover the targets: the placement's own status per side, and the loads
    // it placed against the targets.
    const bool needsUtility = r.hotUtility > utility_cover::kNoTarget || r.coldUtility > utility_cover::kNoTarget;
    const bool hotCovered = sideCovered(scenario.GetUtilityAssignmentStatus(0));
    const bool coldCovered = sideCovered(scenario.GetUtilityAssignmentStatus(1));
    const bool noEconomics = scenario.GetUtilityAssignmentStatus(0) == kTradeoffNoEconomicData ||
                             scenario.GetUtilityAssignmentStatus(1) == kTradeoffNoEconomicData;
    if (!HasProcessStream(scenario)) {
        r.networkAvailable = false;
        r.notes.push_back(kNoNetworkNote);
    }
    if (needsUtility && scenario.GetNumberOfUtilityStreams() == 0) {
        r.available = false;
        r.notes.push_back("area, units, shells and costs are not available: the table has no utility streams to "
                          "cover the targets");
    } else if (noEconomics) {
        // The capital/utility trade-off weighs capital against utility cost: without a cost law it
        // can use or a plant life to annualise it, it places nothing.
        r.available = false;
        r.notes.push_back("area, units, shells and costs are not available: the capital/utility trade-off has no "
                          "usable economic data" +
                          (r.noAnnualCost.empty() ? std::string() : " (" + r.noAnnualCost + ")"));
    } else if (!hotCovered || !coldCovered) {
        r.available = false;
        std::string why = "area, units, shells and costs are not available: the utilities cannot cover the targets";
        if (!hotCovered) why += "; " + ShortSide(0, hotPlaced, r.hotUtility, coldPlaced, r.coldUtility) + UnreachedEnd(scenario, 0);
        if (!coldCovered)
            why += "; " + ShortSide(1, coldPlaced, r.coldUtility, hotPlaced, r.hotUtility) + UnreachedEnd(scenario, 1);
        r.notes.push_back(why);
    }
    // The engine's own word on the area: heat that would have to pass without a driving force,
    // or loads the area LP could not exchange, leave area, shells and the costs on them without
    // a result.
    const int areaState = scenario.GetAreaTargetState();
    if (r.available && (areaState == 2 || areaState == 3 || areaState == kAreaLPStopped)) {
        r.areaAvailable = false;
        r.areaStopped = areaState == kAreaLPStopped;
        r.notes.push_back(areaState == 2
                              ? "area, shells, capital and total annual cost are not available: the balanced composite "
                                "curves touch or cross where heat passes (no positive driving force)"
                          : areaState == 3
                              ? "area, shells, capital and total annual cost are not available: the area LP could not "
                                "exchange the loads"
                              : "area, shells, capital and total annual cost are not available: the area LP was stopped "
                                "at its time limit before it was solved");
    }
    if (r.available && r.areaAvailable && scenario.GetAreaTargetMethod() == kAreaLP) {
        if (!r.shellTubeAvailable)
            r.notes.push_back("the shell-and-tube area and shells are not available: the case targets countercurrent "
                              "exchangers, and the area LP works out their area alone");
        r.notes.push_back(AreaLPNote(r.dtmin));
        if (const double grid = scenario.GetAreaLPGridStep(); grid > 0.0) r.notes.push_back(AreaLPGridNote(grid));
    }
    if (r.available && needsUtility) {
        if (!sameLoad(hotPlaced, r.hotUtility))
            r.notes.push_back("the placed hot utility loads add up to " + kw(hotPlaced) + ", not the target " +
                              kw(r.hotUtility));
        if (!sameLoad(coldPlaced, r.coldUtility))
            r.notes.push_back("the placed cold utility loads add up to " + kw(coldPlaced) + ", not the target " +
                              kw(r.coldUtility));
    }
    return r;
}

namespace {
// One side of a pinch: its temperature, or each stream's where they differ.
std::string PinchSideText(bool known, double value, const PinchReport& p, const std::vector<std::uint32_t>& streams,
                          const char* side) {
    if (known) return fixed(value, 3) + " C " + side;
    if (streams.empty()) return std::string("no ") + side + " stream";
    std::string text;
    for (std::size_t k = 0; k < streams.size(); ++k) {
        const PinchStreamReport m = p.StreamAt(streams, k);
        text += (text.empty() ? "" : ", ") + PrintableText(m.Name()) + " " + fixed(m.temperature, 3) + " C";
    }
    return text + " " + side;
}

// The pinches are appended to the document being written: with a table of many streams they are
// most of it (megabytes of names), and a string per pinch and per side, joined, held it three times.
void AppendPinchStreamsJson(std::string& text, const PinchReport& p, const std::vector<std::uint32_t>& streams) {
    text += '[';
    for (std::size_t i = 0; i < streams.size(); ++i) {
        if (i) text += ", ";
        const PinchStreamReport m = p.StreamAt(streams, i);
        text += "{\"name\": ";
        AppendJsonString(text, m.Name());
        text += ", \"temperature\": ";
        appendNumber(text, m.temperature);
        text += '}';
    }
    text += ']';
}

void AppendPinchesJson(std::string& text, const std::vector<PinchReport>& pinches) {
    text += '[';
    for (std::size_t i = 0; i < pinches.size(); ++i) {
        const PinchReport& p = pinches[i];
        if (i) text += ", ";
        text += "{\"hot\": ";
        if (p.hotKnown) appendNumber(text, p.hot);
        else text += "null";
        text += ", \"cold\": ";
        if (p.coldKnown) appendNumber(text, p.cold);
        else text += "null";
        text += ", \"shifted\": ";
        appendNumber(text, p.shifted);
        text += ", \"hot_streams\": ";
        AppendPinchStreamsJson(text, p, p.hotStreams);
        text += ", \"cold_streams\": ";
        AppendPinchStreamsJson(text, p, p.coldStreams);
        text += '}';
    }
    text += ']';
}
}  // namespace

std::string FormatTargetsText(const TargetsReport& r) {
    const auto orNot = [&r](const std::string& value) { return r.available ? value : std::string("not available"); };
    const auto areaOrNot = [&r, &orNot](const std::string& value) {
        return r.areaAvailable ? orNot(value) : std::string("not available");
    };
    const auto networkOrNot = [&r, &areaOrNot, &orNot](const std::string& value, bool sized) {
        return r.networkAvailable ? sized ? areaOrNot(value) : orNot(value) : std::string("not available");
    };
    std::ostringstream out;
    out << "Targets at DTmin " << fixed(r.dtmin, 3) << " C\n";
    out << "  hot utility               " << fixed(r.hotUtility, 3) << " kW\n";
    out << "  cold utility              " << fixed(r.coldUtility, 3) << " kW\n";
    const auto pinchLine = [&out](const char* label, const PinchReport& p) {
        out << label << PinchSideText(p.hotKnown, p.hot, p, p.hotStreams, "hot") << " / "
            << PinchSideText(p.coldKnown, p.cold, p, p.coldStreams, "cold") << " (shifted " << fixed(p.shifted, 3)
            << " C)\n";
    };
    if (r.pinches.empty()) out << "  process pinch             none\n";
    for (const auto& p : r.pinches) pinchLine("  process pinch             ", p);
    for (const auto& p : r.utilityPinches) pinchLine("  utility pinch             ", p);
    if (r.problemType < 0) out << "  problem type              not available (no process stream)\n";
    else out << "  problem type              " << r.problemType << " " << problemTypeText(r.problemType) << "\n";
    out << "  area, countercurrent      " << networkOrNot(fixed(r.areaCountercurrent, 3) + " m2", true) << "\n";
    out << "  area, shell and tube      "
        << (r.shellTubeAvailable ? networkOrNot(fixed(r.areaShellTube, 3) + " m2", true) : std::string("not available"))
        << "\n";
    out << "  units, overall            " << networkOrNot(std::to_string(r.unitsOverall), false) << "\n";
    out << "  units, pinch division     " << networkOrNot(std::to_string(r.unitsPinch), false) << "\n";
    out << "  shells                    "
        << (!r.shellTubeAvailable ? std::string("not available") : networkOrNot(r.shellsCapped ? "at least " + std::to_string(r.shells) + " (a pinch region reached the count's cap)"
                                       : std::to_string(r.shells),
                        true))
        << "\n";
    out << "  capital cost              " << networkOrNot(fixed(r.capitalCost, 2) + " (investment)", true) << "\n";
    out << "  operating cost            " << orNot(fixed(r.operatingCost, 2) + " per year") << "\n";
    out << "  total annual cost         "
        << (r.noAnnualCost.empty() ? networkOrNot(fixed(r.totalAnnualCost, 2) + " per year", true)
                                   : "not available (" + r.noAnnualCost + ")")
        << "\n";
    out << "Utility loads\n";
    if (r.utilities.empty()) out << "  (no utility streams)\n";
    for (const auto& u : r.utilities) out << "  " << PrintableText(u.name) << "  " << fixed(u.load, 3) << " kW\n";
    for (const auto& note : r.notes) out << "Note: " << note << "\n";
    return out.str();
}

std::string FormatTargetsJson(const TargetsReport& r) {
    const auto orNull = [&r](const std::string& value) { return r.available ? value : std::string("null"); };
    const auto areaOrNull = [&r, &orNull](const std::string& value) {
        return r.areaAvailable ? orNull(value) : std::string("null");
    };
    const auto networkOrNull = [&r, &areaOrNull, &orNull](const std::string& value, bool sized) {
        return r.networkAvailable ? sized ? areaOrNull(value) : orNull(value) : std::string("null");
    };
    // Most of a large table's document is its pinch streams: a name and a number each.
    std::size_t entries = 0;
    for (const auto* list : {&r.pinches, &r.utilityPinches})
        for (const PinchReport& p : *list) entries += p.hotStreams.size() + p.coldStreams.size();
    std::string text;
    text.reserve(4096 + 48 * entries);
    text += "{\"dtmin\": " + number(r.dtmin) + ", \"hot_utility\": " + number(r.hotUtility) +
                       ", \"cold_utility\": " + number(r.coldUtility) + ", \"process_pinches\": ";
    AppendPinchesJson(text, r.pinches);
    text += ", \"utility_pinches\": ";
    AppendPinchesJson(text, r.utilityPinches);
    std::ostringstream out;
    out << ", \"problem_type\": " << (r.problemType < 0 ? std::string("null") : std::to_string(r.problemType))
        << ", \"area_countercurrent\": " << networkOrNull(number(r.areaCountercurrent), true)
        << ", \"area_shell_tube\": "
        << (r.shellTubeAvailable ? networkOrNull(number(r.areaShellTube), true) : std::string("null"))
        << ", \"units_overall\": " << networkOrNull(std::to_string(r.unitsOverall), false)
        << ", \"units_pinch\": " << networkOrNull(std::to_string(r.unitsPinch), false)
        << ", \"shells\": " << (r.shellTubeAvailable ? networkOrNull(std::to_string(r.shells), true) : std::string("null"))
        << ", \"shells_capped\": " << (r.shellsCapped ? "true" : "false")
        << ", \"capital_cost\": " << networkOrNull(number(r.capitalCost), true)
        << ", \"operating_cost\": " << orNull(number(r.operatingCost))
        << ", \"total_annual_cost\": " << (r.noAnnualCost.empty() ? networkOrNull(number(r.totalAnnualCost), true) : "null")
        << ", \"utilities\": [";
    for (std::size_t i = 0; i < r.utilities.size(); ++i)
        out << (i ? ", " : "") << "{\"name\": " << JsonString(r.utilities[i].name)
            << ", \"load\": " << number(r.utilities[i].load) << "}";
    out << "], \"notes\": [";
    for (std::size_t i = 0; i < r.notes.size(); ++i) out << (i ? ", " : "") << JsonString(r.notes[i]);
    out << "]}\n";
    text += out.str();
    return text;
}

namespace {
// Economic data item of the area exponent of the capital law.
constexpr int kAreaExponent = 2;

// What one shell more or less can change in the total annual cost at a point: the capital law
// spreads the area over the shells, b N (A / N)^c, which one shell changes by at most (1 - c)
// times the capital per shell; annualised as the point's own capital is.
double ShellRoundOff(const IHeatIntegrationScenario& scenario, const SuperTargetPointReport& p) {
    if (!(p.shells >= 1.0) || !(p.capitalCost > 0.0)) return 0.0;
    const double annualised = std::max(0.0, p.totalAnnualCost - p.operatingCost);
    const double exponent = scenario.GetEconomicData(kAreaExponent, "DEFAULT");
    const double share = exponent > 0.0 && exponent < 1.0 ? 1.0 - exponent : 1.0;
    return annualised / p.shells * share;
}
}  // namespace

std::string NoAnnualisedCapital(const IHeatIntegrationScenario& scenario) {
    const double life = SharedEconomicData(scenario, EDT_PlantLife);
    return life > 0.0 ? std::string() : "plant life " + fixed(life, 0);
}

SuperTargetReport ReadSuperTargets(const IHeatIntegrationScenario& scenario) {
    SuperTargetReport r;
    r.noAnnualCost = NoAnnualisedCapital(scenario);
    // Every point is worked out without the streams the targets leave out, as `targets` says.
    NoteStreamsLeftOut(scenario, r.notes);
    NoteWhatIfStreamData(scenario, r.notes);
    r.networkAvailable = HasProcessStream(scenario);
    if (!r.networkAvailable) r.notes.push_back(kNoNetworkNote);
    for (int i = 0; i < scenario.GetNumberOfSuperTargetPoints(); ++i) {
        SuperTargetPointReport p;
        // Selectors 1..10 of a point: DTmin, hot and cold utility, the two areas, units with the
        // pinch division, shells, capital, operating and total annual cost (costs per second).
        p.dtmin = scenario.PointTargetValue(i, 1);
        p.hotUtility = scenario.PointTargetValue(i, 2);
        p.coldUtility = scenario.PointTargetValue(i, 3);
        p.areaCountercurrent = scenario.PointTargetValue(i, 4);
        p.areaShellTube = scenario.PointTargetValue(i, 5);
        p.unitsPinch = scenario.PointTargetValue(i, 6);
        p.shells = scenario.PointTargetValue(i, 7);
        p.capitalCost = scenario.PointTargetValue(i, 8);
        p.operatingCost = scenario.PointTargetValue(i, 9) * kSecondsPerYear;
        p.totalAnnualCost = scenario.PointTargetValue(i, 10) * kSecondsPerYear;
        p.shellsCapped = scenario.IsPointShellsTargetCapped(i);
        // Where the utilities cannot cover the targets the module clears a point's units target
        // and computes no cost (an area may keep an earlier value); any heat exchanged at all
        // takes at least one unit. A table without a process stream that needs no utility
        // exchanges nothing and has nothing left uncovered: its operating cost is the one `targets`
        // gives, and like there it has no capital or total annual cost.
        const bool needsNothing = !(p.hotUtility > 1e-9) && !(p.coldUtility > 1e-9);
        p.available = p.unitsPinch > 0.0 || (!r.networkAvailable && needsNothing);
        r.points.push_back(p);
    }
    // The least total annual cost among the points that have one. It is an optimum only where the
    // cost rises on both sides of it by more than one shell can make: the shell count is a whole
    // number, so a cost that keeps falling towards the edge may still dip at a point where the
    // count rounds down. Otherwise the cheapest point is at the edge of what could be computed,
    // and the cost may go on falling beyond it.
    // Without a plant life no point has a total annual cost, and nothing is optimised.
    std::size_t best = r.points.size();
    for (std::size_t i = 0; i < r.points.size() && r.noAnnualCost.empty(); ++i) {
        const auto& p = r.points[i];
        if (!p.available || !(p.totalAnnualCost > 0.0)) continue;
        if (best == r.points.size() || p.totalAnnualCost < r.points[best].totalAnnualCost) best = i;
    }
    bool risesLeft = false, risesRight = false;
    double margin = 0.0;
    if (best != r.points.size()) {
        margin = ShellRoundOff(scenario, r.points[best]);
        for (std::size_t i = 0; i < r.points.size(); ++i) {
            const auto& p = r.points[i];
            if (!p.available || !(p.totalAnnualCost > r.points[best].totalAnnualCost + margin)) continue;
            (i < best ? risesLeft : risesRight) = true;
        }
    }
    if (!r.points.empty() && scenario.GetAreaTargetMethod() == kAreaLP) {
        r.notes.push_back("the areas come from the area LP, which lets streams without a DTmin contribution of their "
                          "own approach to 2 C; they may fall below the area a network at each point's DTmin needs");
        if (const double grid = scenario.GetAreaLPGridStep(); grid > 0.0) r.notes.push_back(AreaLPGridNote(grid));
    }
    std::size_t missing = 0, capped = 0;
    double cappedShells = 0.0;
    bool sameCap = true;
    for (const auto& p : r.points) {
        missing += p.available ? 0 : 1;
        if (!p.available || !p.shellsCapped) continue;
        sameCap = sameCap && (capped == 0 || p.shells == cappedShells);
        cappedShells = p.shells;
        ++capped;
    }
    if (capped > 0)
        r.notes.push_back(sameCap ? "shells at least " + fixed(cappedShells, 0) + " at " + std::to_string(capped) + " of " +
                                        std::to_string(r.points.size()) +
                                        " points (marked *): a pinch region reached the count's cap"
                                  : "shells at least the count shown at " + std::to_string(capped) + " of " +
                                        std::to_string(r.points.size()) +
                                        " points (marked *): a pinch region reached the count's cap");
    if (missing > 0)
        r.notes.push_back(std::to_string(missing) + " of " + std::to_string(r.points.size()) +
                          " points have no area, units, shells or costs: the utilities cannot cover the targets there");
    if (!r.noAnnualCost.empty()) {
        r.notes.push_back("total annual cost not available (" + r.noAnnualCost +
                          "): no capital can be annualised, so there is no optimum");
    } else if (!r.networkAvailable) {
        // No exchanger to buy: the capital stays 0 at every DTmin, and nothing trades against it.
        r.notes.push_back("no optimum: without process streams no DTmin trades capital against energy");
    } else if (best == r.points.size()) {
        r.notes.push_back("no point has a total annual cost, so there is no optimum");
    } else if (!risesLeft || !risesRight) {
        // The edge the cost does not rise towards is where the cheapest point lies, as far as
        // the computed points can tell.
        const char* edge = !risesLeft && !risesRight ? "either edge" : !risesRight ? "the upper edge" : "the lower edge";
        const bool atEnd = best == 0 || best + 1 == r.points.size() || !r.points[best + 1].available ||
                           !r.points[best - 1].available;
        const std::string least = "the least total annual cost (" + fixed(r.points[best].totalAnnualCost, 2) +
                                  " per year)";
        if (atEnd)
            r.notes.push_back("no optimum inside the computed range: " + least + " is at its edge, DTmin " +
                              fixed(r.points[best].dtmin, 3) + " C");
        else
            r.notes.push_back("no optimum inside the computed range: " + least + " at DTmin " +
                              fixed(r.points[best].dtmin, 3) + " C is no minimum: towards " + edge +
                              " the cost rises by no more than one shell's worth (" + fixed(margin, 2) +
                              " per year), so the cheapest point is at the edge or beyond it");
    } else {
        r.hasOptimum = true;
        r.optimum = r.points[best].dtmin;
    }
    return r;
}

std::string FormatSuperTargetsText(const SuperTargetReport& r) {
    std::ostringstream out;
    // The units of a point are the count with the pinch division, as `targets` names it.
    out << "   DTmin      hot      cold   area cc   area st  units pinch  shells     capital   operating         TAC\n";
    for (const auto& p : r.points) {
        char line[256];
        // Without a plant life the TAC column reads n/a: the operating cost alone is no total.
        char tac[32];
        if (r.noAnnualCost.empty() && r.networkAvailable)
            std::snprintf(tac, sizeof tac, "%11.2f", p.totalAnnualCost);
        else
            std::snprintf(tac, sizeof tac, "%11s", "n/a");
        if (p.available && !r.networkAvailable)
            std::snprintf(line, sizeof line, "%8.3f %8.2f %9.2f %9s %9s %12s %6s  %11s %11.2f %s\n", p.dtmin,
                          p.hotUtility, p.coldUtility, "n/a", "n/a", "n/a", "n/a", "n/a", p.operatingCost, tac);
        else if (p.available)
            std::snprintf(line, sizeof line, "%8.3f %8.2f %9.2f %9.2f %9.2f %12.0f %6.0f%c %11.2f %11.2f %s\n",
                          p.dtmin, p.hotUtility, p.coldUtility, p.areaCountercurrent, p.areaShellTube, p.unitsPinch,
                          p.shells, p.shellsCapped ? '*' : ' ', p.capitalCost, p.operatingCost, tac);
        else
            std::snprintf(line, sizeof line, "%8.3f %8.2f %9.2f   (utilities cannot cover the targets)\n", p.dtmin,
                          p.hotUtility, p.coldUtility);
        out << line;
    }
    if (r.hasOptimum)
        out << "optimum DTmin " << fixed(r.optimum, 3) << " C\n";
    else
        out << "optimum DTmin: none\n";
    for (const auto& note : r.notes) out << "Note: " << note << "\n";
    return out.str();
}

std::string FormatSuperTargetsJson(const SuperTargetReport& r) {
    std::ostringstream out;
    out << "{\"points\": [";
    for (std::size_t i = 0; i < r.points.size(); ++i) {
        const auto& p = r.points[i];
        const auto orNull = [&p](double v) { return p.available ? number(v) : std::string("null"); };
        const auto networkOrNull = [&r, &orNull](double v) { return r.networkAvailable ? orNull(v) : std::string("null"); };
        out << (i ? ", " : "") << "{\"dtmin\": " << number(p.dtmin) << ", \"hot_utility\": " << number(p.hotUtility)
            << ", \"cold_utility\": " << number(p.coldUtility)
            << ", \"area_countercurrent\": " << networkOrNull(p.areaCountercurrent)
            << ", \"area_shell_tube\": " << networkOrNull(p.areaShellTube)
            << ", \"units_pinch\": " << networkOrNull(p.unitsPinch) << ", \"shells\": " << networkOrNull(p.shells)
            << ", \"shells_capped\": " << (p.available && p.shellsCapped ? "true" : "false")
            << ", \"capital_cost\": " << networkOrNull(p.capitalCost)
            << ", \"operating_cost\": " << orNull(p.operatingCost)
            << ", \"total_annual_cost\": " << (r.noAnnualCost.empty() ? networkOrNull(p.totalAnnualCost) : "null")
            << "}";
    }
    out << "], \"optimum\": " << (r.hasOptimum ? number(r.optimum) : std::string("null")) << ", \"notes\": [";
    for (std::size_t i = 0; i < r.notes.size(); ++i) out << (i ? ", " : "") << JsonString(r.notes[i]);
    out << "]}\n";
    return out.str();
}
