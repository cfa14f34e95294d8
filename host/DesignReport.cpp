#include "host/DesignReport.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "host/OutputText.h"
#include "host/TargetsReport.h"
#include "pellin/HeatExch.h"
#include "pellin/NegligibleDuty.h"
#include "pellin/NodeKinds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <tuple>
#include <sstream>

namespace {
// Costs of the design are per second.
constexpr double kSecondsPerYear = 31536000.0;

std::string number(double v, int decimals = 3) {
    if (!std::isfinite(v)) return "null";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    std::string s = buffer;
    if (s == "-0" || s.find_first_not_of("-0.") == std::string::npos) s = decimals ? "0." + std::string(decimals, '0') : "0";
    return s;
}

double value(const IHENDesign& d, const std::string& unit, const char* name, double otherwise) {
    double v = 0.0;
    return d.GetNodeValue(CPString(unit.c_str()), CPString(name), v) && std::isfinite(v) ? v : otherwise;
}
// A heater or cooler whose duty is below 0 past the rounding of none, as the unit model and the
// operated network's verdict take it.
bool runsBackwards(const DesignReport::Unit& u) {
    return u.kind != "exchanger" && u.duty < 0.0 && !IsNegligibleDuty(u.duty);
}

// The name the design shows a unit by (its "UnitOperationName"; the design names the units it
// places itself), else the flowsheet's own name of the node.
std::string unitName(const IHENDesign& d, const CPString& node) {
    const CPString name = d.GetUnitName(node);
    return name.empty() ? node.c_str() : name.c_str();
}

// The first exchanger, heater or cooler on the branch that starts with `segment`, or the
// splitter of a split on the branch, passing over zero-duty utility placeholders; "bypass" when
// the branch runs straight to its mixer.
std::string firstUnitOnBranch(const IHENDesign& d, CPString segment) {
    CPString unit;
    while (d.GetDownstreamNodeName(segment, unit)) {
        const CPString kind = d.GetNodeClassName(unit);
        if (kind == NodeKind::HeatExchanger || kind == NodeKind::CountercurrentHX || kind == NodeKind::Tee)
            return unitName(d, unit);
        if (kind != NodeKind::Heater || !d.GetDownstreamNodeName(unit, segment)) break;
    }
    return "bypass";
}
}  // namespace

// The Ft the unit model reports where none exists for the shells given.
constexpr double kNoFtFactor = 0.01 + 1e-12;

DesignReport ReadDesign(IHENDesign& d) {
    DesignReport r;
    r.name = d.GetDesignName() ? d.GetDesignName() : "";
    // Which stream runs on each side of each unit.
    std::map<const CNode*, std::pair<std::string, std::string>> sides;
    for (int i = 0; i < d.GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* s = d.GetStream(i);
        if (!s) continue;
        for (int side = 0; side < 2; ++side)
            for (CNode* x : d.GetExchangersOnStreamSide(s, side))
                (side == 0 ? sides[x].first : sides[x].second) = s->GetName().c_str();
    }
    std::set<const CNode*> heaters, coolers, incomplete, infeasible;
    std::vector<std::pair<std::string, double>> tooFewShells;
    for (CNode* n : d.GetHeaters()) heaters.insert(n);
    for (CNode* n : d.GetCoolers()) coolers.insert(n);
    for (CNode* n : d.GetIncompleteHeatExchangers()) incomplete.insert(n);
    for (HeatExch* x : d.GetInfeasibleHeatExchangers()) infeasible.insert(static_cast<const CNode*>(x));
    CNode* x = nullptr;
    for (int k = 0; d.GetHeatExchanger(k, x); ++k) {
        if (!x) continue;
        DesignReport::Unit u;
        // Values are read by the node's own name; the report shows the unit's.
        const std::string node = x->getName().c_str();
        u.name = unitName(d, x->getName());
        u.kind = heaters.count(x) ? "heater" : coolers.count(x) ? "cooler" : "exchanger";
        u.hot = sides[x].first;
        u.cold = sides[x].second;
        // A duty left open (cleared, or never given, and not yet calculated) holds whatever was
        // there before: it is no duty of the network.
        u.haveDuty = d.GetNodeValueStatus(x->getName(), CPString(NodeValue::Duty)) != ValueStatus::Open;
        u.duty = u.haveDuty ? value(d, node, NodeValue::Duty, NAN) : NAN;
        u.haveDuty = std::isfinite(u.duty);
        double t[4] = {0, 0, 0, 0};
        u.haveTemperatures = true;
        for (int port = 0; port < 4; ++port)
            if (!d.GetExchangerPortTemperature(x, port, t[port])) u.haveTemperatures = false;
        u.hotIn = t[0], u.hotOut = t[1], u.coldIn = t[2], u.coldOut = t[3];
        u.approach = u.haveTemperatures ? std::min(u.hotOut - u.coldIn, u.hotIn - u.coldOut) : NAN;
        double area = 0.0;
        u.haveArea = d.GetNodeValue(CPString(node.c_str()), CPString(NodeValue::HTArea), area) && std::isfinite(area);
        u.area = u.haveArea ? area : NAN;
        u.u = value(d, node, NodeValue::OverallHTC, NAN);
        u.ft = value(d, node, NodeValue::FtFactor, 1.0);
        u.shells = value(d, node, NodeValue::TotalNShells, NAN);
        u.status = incomplete.count(x) ? "incomplete" : "complete";
        u.feasible = !infeasible.count(x);
        // Its shells given and its Ft at the lowest the model reports (0.01), at
        // temperatures that do not cross: too few shells, no Ft exists for them, and the area sized
        // at that Ft is no area of the unit.
        double shells = 0.0;
        if (u.haveTemperatures && u.hotIn > u.coldOut && u.hotOut > u.coldIn && u.ft <= kNoFtFactor &&
            d.GetNodeValueStatus(x->getName(), CPString(NodeValue::NShellsInSeries)) == ValueStatus::Specified &&
            d.GetNodeValue(x->getName(), CPString(NodeValue::NShellsInSeries), shells)) {
            tooFewShells.emplace_back(u.name, shells);
            u.feasible = false;
            u.ft = NAN;
            u.haveArea = false;
            u.area = NAN;
        }
        r.units.push_back(u);
    }
    for (int i = 0; i < d.GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* s = d.GetStream(i);
        if (!s) continue;
        for (CNode* tee : d.GetSplittersOnStream(s)) {
            DesignReport::Splitter splitter;
            splitter.name = unitName(d, tee->getName());
            splitter.stream = s->GetName().c_str();
            for (int k = 0; CNode* branch = d.GetSplitterBranch(tee, k); ++k) {
                // A share left open (cleared and not given again) is no share of the network:
                // what it held before is not reported as one.
                double fraction = NAN;
                if (d.GetNodeValueStatus(branch->getName(), CPString(NodeValue::SplitFraction)) == ValueStatus::Open ||
                    !d.GetNodeValue(branch->getName(), CPString(NodeValue::SplitFraction), fraction))
                    fraction = NAN;
                splitter.branches.emplace_back(firstUnitOnBranch(d, branch->getName()), fraction);
            }
            r.splitters.push_back(std::move(splitter));
        }
    }
    // Which units keep the sums over the units from being totals.
    std::string infeasibleNames, incompleteNames;
    const auto list = [](std::string& names, const std::string& name) {
        if (!names.empty()) names += ", ";
        names += name;
    };
    for (const DesignReport::Unit& u : r.units) {
        if (!u.feasible) list(infeasibleNames, u.name);
        if (u.status != "complete") list(incompleteNames, u.name);
    }
    std::string utilityInfeasible, utilityIncomplete;
    for (const DesignReport::Unit& u : r.units) {
        if (u.kind == "exchanger") continue;
        if (!u.feasible) list(utilityInfeasible, u.name);
        if (u.status != "complete") list(utilityIncomplete, u.name);
    }
    if (!infeasibleNames.empty() || !incompleteNames.empty()) {
        r.totalsAvailable = false;
        std::string why = "area, capital and total annual cost are not available:";
        if (!infeasibleNames.empty()) why += " infeasible " + infeasibleNames;
        if (!infeasibleNames.empty() && !incompleteNames.empty()) why += ";";
        if (!incompleteNames.empty()) why += " not calculated " + incompleteNames;
        r.notes.push_back(why);
    }
    // A shell-and-tube unit given fewer shells than its temperatures allow is named with its shells.
    for (const auto& [name, shells] : tooFewShells) {
        char given[32];
        std::snprintf(given, sizeof given, "%g", shells);
        r.notes.push_back(name + " is given " + given + (shells == 1.0 ? " shell" : " shells") +
                          " in series, too few for its temperatures: no Ft exists for them, and no area does its duty");
    }
    r.hotUtility = d.GetTotalUtilityLoad(0);
    r.coldUtility = d.GetTotalUtilityLoad(1);
    // A utility load summed over a heater or cooler whose duty is not known is no total.
    std::string unknownHeaters, unknownCoolers;
    for (const DesignReport::Unit& u : r.units)
        if (!u.haveDuty && u.kind != "exchanger") list(u.kind == "heater" ? unknownHeaters : unknownCoolers, u.name);
    for (const auto& [names, load, which] : {std::tuple{&unknownHeaters, &r.hotUtility, "hot"},
                                             std::tuple{&unknownCoolers, &r.coldUtility, "cold"}}) {
        if (names->empty()) continue;
        *load = NAN;
        r.utilityCostAvailable = false;
        r.notes.push_back(std::string(which) + " utility is not available: the duty of " + *names + " is not known");
    }
    if (IHeatIntegrationScenario* s = d.GetScenario()) {
        r.hotUtilityTarget = s->GetUtilityTarget(0);
        r.coldUtilityTarget = s->GetUtilityTarget(1);
        r.noAnnualCost = NoAnnualisedCapital(*s);
    }
    r.areaTotal = d.GetTotalArea();
    r.exchangers = d.GetNumberOfHeatExchangers();
    r.capitalCost = d.GetTotalCapitalCost();
    r.annualizedCapitalCost = d.GetTotalAnnualizedCapitalCost() * kSecondsPerYear;
    r.utilityCost = (d.GetTotalUtilityCost(0) + d.GetTotalUtilityCost(1)) * kSecondsPerYear;
    // A heater or cooler running backwards (the units carry more than their streams hold) makes
    // the utility loads no answer of the network: no total, and no price of them.
    if (!d.DoUtilityUnitsRunForwards()) {
        std::string backwards;
        for (const DesignReport::Unit& u : r.units)
            if (runsBackwards(u)) list(backwards, u.name + " " + number(u.duty, 2) + " kW");
        r.hotUtility = r.coldUtility = NAN;
        r.utilityCost = NAN;
        r.utilityCostAvailable = false;
        r.notes.push_back("utility totals are not available: heaters and coolers run backwards (" + backwards + ")");
    }
    r.totalAnnualCost = r.annualizedCapitalCost + r.utilityCost;
    for (int i = 0; i < d.GetNumberOfUnsatisfiedProcessStreams(); ++i)
        if (IHeatIntegrationStream* s = d.GetUnsatisfiedProcessStream(i)) r.unsatisfied.push_back(s->GetName().c_str());
    if (!utilityInfeasible.empty() || !utilityIncomplete.empty() || !r.unsatisfied.empty()) {
        r.utilityCostAvailable = false;
        std::string why = "utility cost is not available:";
        std::string streams;
        for (const std::string& name : r.unsatisfied) list(streams, name);
        const std::pair<const char*, const std::string*> parts[] = {
            {" infeasible ", &utilityInfeasible}, {" not calculated ", &utilityIncomplete}, {" unsatisfied ", &streams}};
        bool first = true;
        for (const auto& [words, names] : parts) {
            if (names->empty()) continue;
            why += (first ? "" : ";") + std::string(words) + *names;
            first = false;
        }
        r.notes.push_back(why);
    }
    for (int i = 0; i < d.GetNumberOfCrossPinchLoads(); ++i) r.crossPinchLoad += d.GetCrossPinchLoad(i);
    r.degreesOfFreedom = d.GetDegreesOfFreedom();
    const int status = d.GetCalculationStatus();
    // The calculator may end without complaint while units still lack values; the network is
    // then not calculated, whatever the calculator says.
    r.calculationStatus = status == 2              ? "NotConverged"
                          : status != 1            ? "failed"
                          : incompleteNames.empty() ? "calculated"
                                                    : "incomplete";
    for (int i = 0; i < d.GetNumberOfSubNetworks(); ++i)
        if (d.GetSubNetworkRemainingControlFreedom(i) < 0) r.controllable = false;
    // A given duty or area can take a stream past its target, which no heater or cooler mends: say
    // which stream, rather than only that its utility unit does not calculate.
    if (const std::string backwards = BackwardsUtilities(r); !backwards.empty()) r.notes.push_back(backwards);
    return r;
}

std::string FormatDesignUnitText(const DesignReport::Unit& u) {
    std::ostringstream out;
    out << PrintableText(u.name) << " (" << u.kind << ") " << PrintableText(u.hot) << " -> " << PrintableText(u.cold)
        << ": duty " << (u.haveDuty ? number(u.duty, 2) : std::string("not known"));
    if (u.haveTemperatures)
        out << ", hot " << number(u.hotIn, 2) << " -> " << number(u.hotOut, 2) << ", cold " << number(u.coldIn, 2)
            << " -> " << number(u.coldOut, 2) << ", approach " << number(u.approach, 2);
    out << ", area " << (u.haveArea ? number(u.area, 2) : std::string("not known"));
    if (std::isfinite(u.u)) out << ", U " << number(u.u, 4);
    out << ", Ft " << (std::isfinite(u.ft) ? number(u.ft, 4) : std::string("not known"));
    if (std::isfinite(u.shells)) out << ", shells " << number(u.shells, 0);
    out << ", " << u.status << (u.feasible ? "" : ", INFEASIBLE");
    return out.str();
}

std::string FormatDesignUnitJson(const DesignReport::Unit& u) {
    std::ostringstream out;
    const double nan = NAN;
    out << "{\"name\": " << JsonString(u.name) << ", \"kind\": " << JsonString(u.kind) << ", \"hot\": " << JsonString(u.hot)
        << ", \"cold\": " << JsonString(u.cold) << ", \"duty\": " << JsonNumber(u.duty)
        << ", \"hot_in\": " << JsonNumber(u.haveTemperatures ? u.hotIn : nan)
        << ", \"hot_out\": " << JsonNumber(u.haveTemperatures ? u.hotOut : nan)
        << ", \"cold_in\": " << JsonNumber(u.haveTemperatures ? u.coldIn : nan)
        << ", \"cold_out\": " << JsonNumber(u.haveTemperatures ? u.coldOut : nan) << ", \"area\": " << JsonNumber(u.area)
        << ", \"u\": " << JsonNumber(u.u) << ", \"ft\": " << JsonNumber(u.ft) << ", \"shells\": " << JsonNumber(u.shells)
        << ", \"approach\": " << JsonNumber(u.approach) << ", \"status\": " << JsonString(u.status)
        << ", \"feasible\": " << (u.feasible ? "true" : "false") << "}";
    return out.str();
}

std::string FormatDesignText(const DesignReport& r) {
    std::ostringstream out;
    out << "Network design " << PrintableText(r.name) << "\n";
    out << "Units (kW, C, m2, kW/(m2.C)):\n";
    for (const auto& u : r.units) out << "  " << FormatDesignUnitText(u) << "\n";
    for (const auto& t : r.splitters) {
        out << "Splitter " << PrintableText(t.name) << " on " << PrintableText(t.stream) << ":";
        for (std::size_t i = 0; i < t.branches.size(); ++i)
            out << (i ? "," : "") << " " << PrintableText(t.branches[i].first) << " "
                << (std::isfinite(t.branches[i].second) ? number(t.branches[i].second, 4) : std::string("not known"));
        out << "\n";
    }
    const auto total = [&r](const std::string& value) { return r.totalsAvailable ? value : std::string("not available"); };
    out << "Totals:\n";
    const auto load = [](double v) { return std::isfinite(v) ? number(v, 2) + " kW" : std::string("not available"); };
    out << "  hot utility               " << load(r.hotUtility) << " (target " << number(r.hotUtilityTarget, 2) << ")\n";
    out << "  cold utility              " << load(r.coldUtility) << " (target " << number(r.coldUtilityTarget, 2) << ")\n";
    out << "  area                      " << total(number(r.areaTotal, 2) + " m2") << "\n";
    out << "  exchangers                " << r.exchangers << "\n";
    out << "  capital cost              " << total(number(r.capitalCost, 2) + " (investment)") << "\n";
    const auto annualised = [&r](const std::string& value) {
        return r.noAnnualCost.empty() ? value : "not available (" + r.noAnnualCost + ")";
    };
    out << "  annualized capital cost   " << annualised(total(number(r.annualizedCapitalCost, 2) + " per year"))
        << "\n";
    const auto priced = [&r](const std::string& value) {
        return r.utilityCostAvailable && std::isfinite(r.utilityCost) ? value : std::string("not available");
    };
    out << "  utility cost              " << priced(number(r.utilityCost, 2) + " per year") << "\n";
    out << "  total annual cost         " << annualised(priced(total(number(r.totalAnnualCost, 2) + " per year")))
        << "\n";
    out << "  cross-pinch load          " << number(r.crossPinchLoad, 2) << " kW\n";
    out << "  degrees of freedom        " << r.degreesOfFreedom << "\n";
    out << "  unsatisfied streams       ";
    if (r.unsatisfied.empty()) out << "none";
    for (std::size_t i = 0; i < r.unsatisfied.size(); ++i) out << (i ? ", " : "") << PrintableText(r.unsatisfied[i]);
    out << "\n";
    out << "  calculation               " << r.calculationStatus << "\n";
    out << "  controllable              " << (r.controllable ? "yes" : "no") << "\n";
    for (const auto& note : r.notes) out << "Note: " << note << "\n";
    return out.str();
}

std::string FormatDesignJson(const DesignReport& r) {
    std::ostringstream out;
    out << "{\n  \"units\": [";
    for (std::size_t i = 0; i < r.units.size(); ++i) {
        out << (i ? ",\n" : "\n") << "    " << FormatDesignUnitJson(r.units[i]);
    }
    out << (r.units.empty() ? "],\n" : "\n  ],\n");
    out << "  \"hot_utility\": " << JsonNumber(r.hotUtility) << ",\n";
    out << "  \"cold_utility\": " << JsonNumber(r.coldUtility) << ",\n";
    out << "  \"hot_utility_target\": " << JsonNumber(r.hotUtilityTarget) << ",\n";
    out << "  \"cold_utility_target\": " << JsonNumber(r.coldUtilityTarget) << ",\n";
    const double nan = NAN;
    const auto total = [&r, nan](double v) { return JsonNumber(r.totalsAvailable ? v : nan); };
    out << "  \"splitters\": [";
    for (std::size_t i = 0; i < r.splitters.size(); ++i) {
        const auto& t = r.splitters[i];
        out << (i ? ", " : "") << "{\"splitter\": " << JsonString(t.name) << ", \"stream\": " << JsonString(t.stream)
            << ", \"branches\": [";
        for (std::size_t k = 0; k < t.branches.size(); ++k)
            out << (k ? ", " : "") << "{\"unit\": " << JsonString(t.branches[k].first)
                << ", \"fraction\": " << JsonNumber(t.branches[k].second) << "}";
        out << "]}";
    }
    out << "],\n";
    out << "  \"area_total\": " << total(r.areaTotal) << ",\n";
    out << "  \"exchangers\": " << r.exchangers << ",\n";
    out << "  \"capital_cost\": " << total(r.capitalCost) << ",\n";
    const bool annualised = r.noAnnualCost.empty();
    out << "  \"annualized_capital_cost\": " << total(annualised ? r.annualizedCapitalCost : nan) << ",\n";
    out << "  \"utility_cost\": " << JsonNumber(r.utilityCostAvailable ? r.utilityCost : nan) << ",\n";
    out << "  \"total_annual_cost\": " << total(r.utilityCostAvailable && annualised ? r.totalAnnualCost : nan)
        << ",\n";
    out << "  \"unsatisfied_streams\": [";
    for (std::size_t i = 0; i < r.unsatisfied.size(); ++i) out << (i ? ", " : "") << JsonString(r.unsatisfied[i]);
    out << "],\n";
    out << "  \"cross_pinch_load\": " << JsonNumber(r.crossPinchLoad) << ",\n";
    out << "  \"degrees_of_freedom\": " << r.degreesOfFreedom << ",\n";
    out << "  \"calculation_status\": " << JsonString(r.calculationStatus) << ",\n";
    out << "  \"controllable\": " << (r.controllable ? "true" : "false") << ",\n";
    out << "  \"notes\": [";
    for (std::size_t i = 0; i < r.notes.size(); ++i) out << (i ? ", " : "") << JsonString(r.notes[i]);
    out << "]\n}\n";
    return out.str();
}

std::string BackwardsUtilities(const DesignReport& report) {
    std::string text;
    for (const DesignReport::Unit& u : report.units) {
        if (!runsBackwards(u)) continue;
        if (!text.empty()) text += "; ";
        text += u.name + " would run backwards (" + number(u.duty, 2) + " kW): the exchangers take " +
                (u.kind == "cooler" ? u.hot : u.cold) + " past its target";
    }
    return text;
}
