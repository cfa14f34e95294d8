#include "host/AutoDesignReport.h"

#include "eng/model/IHeatIntegrationScenario.h"
#include "host/OutputText.h"

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

AutoDesignReport ReadAutoDesign(const IHeatIntegrationScenario& s, const MessageLookup& lookup) {
    AutoDesignReport r;
    if (const char* message = s.GetAutomaticDesignMessage()) {
        r.failed = true;
        splitMessage(message, lookup, r);
    }
    for (int i = 0; i < s.GetAutoDesignListLength(); ++i)
        r.utilityLoads.push_back({text(s.GetAutomaticDesignListName(i)), s.GetAutomaticDesignSumValue(i)});
    for (int i = 0; i < s.GetNumberOfAutoDesignLoadedItems(); ++i)
        r.matches.push_back({text(s.GetAutomaticDesignMatchStreamName(i, 0)), text(s.GetAutomaticDesignMatchStreamName(i, 1)),
                             s.GetAutomaticDesignMatchLoad(i)});
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
    out << "Utility loads (kW):\n";
    if (r.utilityLoads.empty()) out << "  none\n";
    for (const auto& u : r.utilityLoads) out << "  " << PrintableText(u.name) << ": " << number(u.load) << "\n";
    out << "Matches (kW):\n";
    if (r.matches.empty()) out << "  none\n";
    for (const auto& m : r.matches)
        out << "  " << PrintableText(m.hot) << " -> " << PrintableText(m.cold) << ": " << number(m.load) << "\n";
    out << "Unloaded pairs:\n";
    if (r.unloaded.empty()) out << "  none\n";
    for (const auto& m : r.unloaded) out << "  " << PrintableText(m.hot) << " -> " << PrintableText(m.cold) << "\n";
    out << "Estimated area (m2): " << number(r.estimatedArea) << "\n";
    out << "Solution analyses: " << number(r.analyses) << "\n";
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
    out << ", \"utility_loads\": [";
    for (std::size_t i = 0; i < r.utilityLoads.size(); ++i)
        out << (i ? ", " : "") << "{\"name\": " << JsonString(r.utilityLoads[i].name)
            << ", \"load\": " << number(r.utilityLoads[i].load) << "}";
    out << "], \"matches\": [";
    for (std::size_t i = 0; i < r.matches.size(); ++i)
        out << (i ? ", " : "") << "{\"hot\": " << JsonString(r.matches[i].hot) << ", \"cold\": " << JsonString(r.matches[i].cold)
            << ", \"load\": " << number(r.matches[i].load) << "}";
    out << "], \"unloaded_matches\": [";
    for (std::size_t i = 0; i < r.unloaded.size(); ++i)
        out << (i ? ", " : "") << "{\"hot\": " << JsonString(r.unloaded[i].hot) << ", \"cold\": " << JsonString(r.unloaded[i].cold)
            << "}";
    out << "], \"estimated_area\": " << number(r.estimatedArea) << ", \"analyses\": " << number(r.analyses)
        << ", \"designs\": [";
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
    out << "], \"notes\": [";
    for (std::size_t i = 0; i < r.notes.size(); ++i) out << (i ? ", " : "") << JsonString(r.notes[i]);
    out << "]}\n";
    return out.str();
}
