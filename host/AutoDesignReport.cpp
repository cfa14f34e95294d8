#include "host/AutoDesignReport.h"

#include "eng/autodesign/IAdvancedSuperTarget.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "host/OutputText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace {
// Loads and areas to a millionth: the match records start from a tolerance of 1e-8 kW.
std::string number(double v) {
    if (!std::isfinite(v)) return "null";
    const double rounded = std::round(v * 1e6) / 1e6;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.10g", rounded == 0.0 ? 0.0 : rounded);
    return buffer;
}

std::string text(const char* s) { return s ? std::string(s) : std::string(); }

// A stored message is a key, or a key ending in a blank followed directly by a name.
void splitMessage(const std::string& message, const MessageLookup& lookup, AutoDesignReport& r) {
    std::string found;
    if (lookup(message, found)) {
        r.messageKey = message;
        r.messageText = found;
        return;
    }
    for (std::size_t at = message.size(); at-- > 0;) {
        if (message[at] != ' ') continue;
        const std::string key = message.substr(0, at + 1);
        if (lookup(key, found)) {
            r.messageKey = key;
            r.messageName = message.substr(at + 1);
            r.messageText = found;
            return;
        }
    }
    r.messageKey = message;
    r.messageText = message;
}
}  // namespace

std::vector<AutoDesignReport::Load> ReadAutoDesignUtilityLoads(const IHeatIntegrationScenario& s) {
    std::vector<AutoDesignReport::Load> loads;
    for (int i = 0; i < s.GetAutoDesignListLength(); ++i)
        loads.push_back({text(s.GetAutomaticDesignListName(i)), s.GetAutomaticDesignSumValue(i)});
    return loads;
}

std::vector<AutoDesignReport::Pair> ReadAutoDesignMatches(const IHeatIntegrationScenario& s) {
    std::vector<AutoDesignReport::Pair> matches;
    for (int i = 0; i < s.GetNumberOfAutoDesignLoadedItems(); ++i)
        matches.push_back({text(s.GetAutomaticDesignMatchStreamName(i, 0)), text(s.GetAutomaticDesignMatchStreamName(i, 1)),
                           s.GetAutomaticDesignMatchLoad(i)});
    return matches;
}

void AddDesignNotes(AutoDesignReport& r, bool completed) {
    if (completed) {
        // The pairs of the completed design, in the order its units come, duties summed per pair;
        // none when the completion made no design (the automatic design's LP, which did not run,
        // is not shown in their place).
        std::vector<AutoDesignReport::Pair> pairs;
        const std::vector<DesignReport::Unit> none;
        for (const auto& u : r.designs.empty() ? none : r.designs.back().report.units) {
            auto same = [&](const AutoDesignReport::Pair& p) { return p.hot == u.hot && p.cold == u.cold; };
            auto found = std::find_if(pairs.begin(), pairs.end(), same);
            if (found == pairs.end()) pairs.push_back({u.hot, u.cold, u.duty});
            else found->load += u.duty;
        }
        r.matches = pairs;
        r.matchesOfCompletedDesign = true;
    }
    for (const auto& d : r.designs) {
        const DesignReport& n = d.report;
        if (n.degreesOfFreedom < 0)
            r.notes.push_back(n.name + " is over-specified (degrees of freedom " + std::to_string(n.degreesOfFreedom) +
                              "): it holds " + std::to_string(-n.degreesOfFreedom) +
                              " more specified duties or temperatures than its streams can meet (every unit calculates, "
                              "and the surplus specifications agree with each other)");
        // The targets are the scenario's, at the DTmin given; the design's exchangers are judged at
        // the smaller of that and their own smallest approach.
        const bool closer = r.targetDtmin > 0.0 && d.dtmin < r.targetDtmin - 1e-9;
        const std::string dtminText =
            closer ? "the DTmin of " + number(r.targetDtmin) +
                         " C given for the targets (its exchangers are judged at their own smallest approach, " +
                         number(d.dtmin) + " C)"
                   : "its DTmin of " + number(d.dtmin) + " C";
        // A design that does not calculate has no utility use to set against the targets.
        if (!std::isfinite(n.hotUtility) || !std::isfinite(n.coldUtility)) {
            r.notes.push_back(n.name + "'s utility use is not available: the design does not calculate (" +
                              n.calculationStatus + "), as its notes say");
            continue;
        }
        r.notes.push_back(n.name + " uses " + number(n.hotUtility) + " kW of hot and " + number(n.coldUtility) +
                          " kW of cold utility against targets of " + number(n.hotUtilityTarget) + " kW and " +
                          number(n.coldUtilityTarget) + " kW at " + dtminText +
                          ": the automatic design matches at its model's own 4 C approach and weighs area against "
                          "energy by its own economics, so its utilities need not meet the targets");
    }
}

AutoDesignReport ReadAutoDesign(const IHeatIntegrationScenario& s, const MessageLookup& lookup,
                                const IAdvancedSuperTarget* completion) {
    AutoDesignReport r;
    if (const char* message = completion ? completion->GetMessageKey() : s.GetAutomaticDesignMessage()) {
        r.failed = true;
        splitMessage(message, lookup, r);
    }
    r.utilityLoads = ReadAutoDesignUtilityLoads(s);
    r.matches = ReadAutoDesignMatches(s);
    for (int i = 0; i < s.GetNumberOfAutoDesignUnloadedItems(); ++i)
        r.unloaded.push_back({text(s.GetAutomaticDesignUnloadedMatchStreamName(i, 0)),
                              text(s.GetAutomaticDesignUnloadedMatchStreamName(i, 1)), 0.0});
    r.estimatedArea = s.GetAutomaticDesignResultA();
    r.analyses = s.GetAutomaticDesignResultB();
    return r;
}

std::string AutoDesignFailureLine(const AutoDesignReport& r) {
    std::string line = r.messageKey;
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (!r.messageName.empty()) line += " " + r.messageName;
    std::string out = PrintableText(line, 120) + ": " + PrintableText(r.messageText, 200);
    if (!r.messageName.empty()) out += " " + QuotedField(r.messageName);
    return out;
}

std::string FormatAutoDesignText(const AutoDesignReport& r) {
    std::ostringstream out;
    out << "Automatic design: matches at a 4 C approach\n";
    // A completion's LP and MILP are its own run's, whose loads and areas the scenario does not
    // report: its headings would show none and an area of 0, so the completed design speaks alone.
    const bool completion = r.matchesOfCompletedDesign;
    if (!completion) {
        out << "LP solution\n";
        out << "Utility loads (kW):\n";
        if (r.utilityLoads.empty()) out << "  none\n";
        for (const auto& u : r.utilityLoads) out << "  " << PrintableText(u.name) << ": " << number(u.load) << "\n";
    }
    out << (completion ? "Matches of the completed design (kW):\n" : "Matches (kW):\n");
    if (r.matches.empty()) out << "  none\n";
    for (const auto& m : r.matches)
        out << "  " << PrintableText(m.hot) << " -> " << PrintableText(m.cold) << ": " << number(m.load) << "\n";
    if (!completion) {
        out << "Unloaded pairs:\n";
        if (r.unloaded.empty()) out << "  none\n";
        for (const auto& m : r.unloaded) out << "  " << PrintableText(m.hot) << " -> " << PrintableText(m.cold) << "\n";
        out << "Estimated area (m2): " << number(r.estimatedArea) << "\n";
        out << "Solution analyses: " << number(r.analyses) << "\n";
    }
    for (std::size_t i = 0; i < r.solutions.size() && !completion; ++i) {
        const auto& s = r.solutions[i];
        out << "\nMILP solution " << i + 1
            << (s.design.empty() ? std::string(" (no design built)") : " (design " + PrintableText(s.design) + ")") << "\n";
        out << "Utility loads (kW):\n";
        if (s.utilityLoads.empty()) out << "  none\n";
        for (const auto& u : s.utilityLoads) out << "  " << PrintableText(u.name) << ": " << number(u.load) << "\n";
        out << "Estimated area (m2): " << number(s.estimatedArea) << "\n";
        out << "Objective: " << number(s.objective) << "\n";
    }
    for (const auto& d : r.designs) {
        out << "\n" << FormatDesignText(d.report);
        out << "Exchanger DTMin (C): " << number(d.dtmin) << "\n";
    }
    for (const auto& n : r.notes) out << "Note: " << PrintableText(n, 400) << "\n";
    return out.str();
}

std::string FormatAutoDesignJson(const AutoDesignReport& r) {
    std::ostringstream out;
    out << "{\"message\": ";
    if (r.failed) {
        std::string key = r.messageKey;
        if (!r.messageName.empty()) key += r.messageName;
        out << JsonString(key);
    } else {
        out << "null";
    }
    // A completion's LP and MILP are its own run's, whose loads and areas the scenario does not
    // report: they are null, not an area of 0 and no utilities (as the text leaves them out).
    const bool completion = r.matchesOfCompletedDesign;
    const auto loads = [&](const std::vector<AutoDesignReport::Load>& list) {
        if (completion) {
            out << "null";
            return;
        }
        out << "[";
        for (std::size_t i = 0; i < list.size(); ++i)
            out << (i ? ", " : "") << "{\"name\": " << JsonString(list[i].name) << ", \"load\": " << number(list[i].load)
                << "}";
        out << "]";
    };
    const auto area = [&](double value) { return completion ? std::string("null") : number(value); };
    out << ", \"utility_loads\": ";
    loads(r.utilityLoads);
    out << ", \"matches\": [";
    for (std::size_t i = 0; i < r.matches.size(); ++i)
        out << (i ? ", " : "") << "{\"hot\": " << JsonString(r.matches[i].hot) << ", \"cold\": " << JsonString(r.matches[i].cold)
            << ", \"load\": " << number(r.matches[i].load) << "}";
    out << "], \"unloaded_matches\": [";
    for (std::size_t i = 0; i < r.unloaded.size(); ++i)
        out << (i ? ", " : "") << "{\"hot\": " << JsonString(r.unloaded[i].hot) << ", \"cold\": " << JsonString(r.unloaded[i].cold)
            << "}";
    out << "], \"estimated_area\": " << area(r.estimatedArea)
        << ", \"analyses\": " << (completion ? std::string("null") : number(r.analyses)) << ", \"milp_solutions\": [";
    for (std::size_t i = 0; i < r.solutions.size(); ++i) {
        const auto& s = r.solutions[i];
        out << (i ? ", " : "") << "{\"design\": " << (s.design.empty() ? std::string("null") : JsonString(s.design))
            << ", \"utility_loads\": ";
        loads(s.utilityLoads);
        out << ", \"estimated_area\": " << area(s.estimatedArea) << ", \"objective\": " << number(s.objective) << "}";
    }
    out << "], \"designs\": [";
    for (std::size_t i = 0; i < r.designs.size(); ++i) {
        // The design job's object, opened to take the design's name and DTMin first.
        std::string object = FormatDesignJson(r.designs[i].report);
        while (!object.empty() && (object.back() == '\n' || object.back() == ' ')) object.pop_back();
        const std::size_t open = object.find('{');
        std::string head = "{\"name\": " + JsonString(r.designs[i].report.name) +
                           ", \"dtmin\": " + number(r.designs[i].dtmin) + ",";
        object = open == std::string::npos ? head + "}" : head + object.substr(open + 1);
        out << (i ? ", " : "") << object;
    }
    out << "], \"matches_of_completed_design\": " << (r.matchesOfCompletedDesign ? "true" : "false");
    out << ", \"notes\": [";
    for (std::size_t i = 0; i < r.notes.size(); ++i) out << (i ? ", " : "") << JsonString(r.notes[i]);
    out << "]}\n";
    return out.str();
}
