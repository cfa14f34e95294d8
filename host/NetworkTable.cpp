#include "host/NetworkTable.h"

#include "eng/model/CaseValueLimits.h"
#include "host/InputFile.h"
#include "host/OutputText.h"
#include "host/StreamTable.h"
#include "lumeth/NewRowMarker.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace {
std::string trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Fields of one CSV line; a field in double quotes may hold commas ("" is a quote).
bool splitLine(const std::string& line, std::vector<std::string>& fields) {
    fields.clear();
    std::string field;
    bool quoted = false, wasQuoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') field += '"', ++i;
            else if (c == '"') quoted = false;
            else field += c;
        } else if (c == '"' && trim(field).empty()) {
            quoted = wasQuoted = true;
            field.clear();
        } else if (c == ',') {
            fields.push_back(wasQuoted ? field : trim(field));
            field.clear();
            wasQuoted = false;
        } else {
            field += c;
        }
    }
    if (quoted) return false;
    fields.push_back(wasQuoted ? field : trim(field));
    return true;
}

bool parseOrder(const std::string& text, int& order) {
    double v = 0.0;
    if (!ParseTableNumber(text, v) || v < 1.0 || v > 1e6 || v != static_cast<double>(static_cast<int>(v))) return false;
    order = static_cast<int>(v);
    return true;
}

std::string at(int line) { return AtLine(line); }
}  // namespace

std::string AtLine(int line) { return "line " + std::to_string(line) + ": "; }

bool ReadNetworkTable(const std::string& text, std::vector<NetworkRow>& rows, std::string& error) {
    rows.clear();
    std::istringstream in(text);
    std::string raw;
    std::map<std::string, std::size_t> column;
    static const std::set<std::string> known = {"name", "hot", "cold", "duty", "area", "hot_order", "cold_order", "type", "shells"};
    std::set<std::string> names;
    int line = 0;
    std::vector<std::string> fields;
    while (std::getline(in, raw)) {
        ++line;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (line == 1 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) raw.erase(0, 3);
        // Names go into reports and JSON as they are: a table in another encoding is refused whole.
        if (!IsUtf8(raw)) {
            error = at(line) + "the text is not UTF-8 (is the file in another encoding, such as Latin-1? save it as UTF-8)";
            return false;
        }
        const std::string t = trim(raw);
        if (t.empty() || t[0] == '#') continue;
        if (!splitLine(raw, fields)) {
            error = at(line) + "a quoted field is not closed";
            return false;
        }
        if (column.empty()) {
            for (std::size_t i = 0; i < fields.size(); ++i) {
                const std::string key = lower(fields[i]);
                if (!known.count(key)) {
                    error = at(line) + "unknown column " + QuotedField(fields[i]);
                    return false;
                }
                if (!column.emplace(key, i).second) {
                    error = at(line) + "the column " + QuotedField(fields[i]) + " appears twice";
                    return false;
                }
            }
            for (const char* needed : {"name", "hot", "cold"})
                if (!column.count(needed)) {
                    error = at(line) + "the header has no " + needed + " column";
                    return false;
                }
            if (!column.count("duty") && !column.count("area")) {
                error = at(line) + "the header has neither a duty nor an area column";
                return false;
            }
            continue;
        }
        auto cell = [&](const char* key) {
            auto it = column.find(key);
            return it != column.end() && it->second < fields.size() ? fields[it->second] : std::string();
        };
        if (fields.size() > column.size()) {
            error = at(line) + "more fields than the header has columns";
            return false;
        }
        NetworkRow row;
        row.line = line;
        row.name = cell("name");
        row.hot = cell("hot");
        row.cold = cell("cold");
        if (row.name.empty() || row.hot.empty() || row.cold.empty()) {
            error = at(line) + "an exchanger needs a name, a hot and a cold stream";
            return false;
        }
        // The lists' spare row reads so: a unit of that name would look like it, and a click on
        // it would add a unit.
        if (IsNewRowMarker(row.name.c_str())) {
            error = at(line) + QuotedField(row.name) + " is the tables' new-row marker " + QuotedField(kNewRowMarker) +
                    ", which no exchanger may bear (in any letter case); give it another name";
            return false;
        }
        if (!names.insert(row.name).second) {
            error = at(line) + "a second exchanger named " + QuotedField(row.name);
            return false;
        }
        const std::string duty = cell("duty"), area = cell("area");
        if (duty.empty() == area.empty()) {
            error = at(line) + QuotedField(row.name) + " needs exactly one of duty and area";
            return false;
        }
        // A unit of less heat than any stream carries would stand "complete" with nothing in it.
        if (!duty.empty() && (!ParseTableNumber(duty, row.duty) ||
                              !(row.duty >= CaseValueLimits::MinDuty && row.duty <= CaseValueLimits::MaxDuty))) {
            error = at(line) + "duty " + QuotedField(duty) + " is not a number from " +
                    JsonNumber(CaseValueLimits::MinDuty) + " to " + JsonNumber(CaseValueLimits::MaxDuty) + " kW";
            return false;
        }
        if (!area.empty() && (!ParseTableNumber(area, row.area) || !(row.area > 0.0 && row.area <= MaxExchangerArea))) {
            error = at(line) + "area " + QuotedField(area) + " is not a number above 0 and at most " +
                    JsonNumber(MaxExchangerArea) + " m2";
            return false;
        }
        row.hasDuty = !duty.empty();
        row.hasArea = !area.empty();
        for (auto [key, order] : {std::pair<const char*, int*>{"hot_order", &row.hotOrder}, {"cold_order", &row.coldOrder}}) {
            const std::string v = cell(key);
            if (!v.empty() && !parseOrder(v, *order)) {
                error = at(line) + std::string(key) + " " + QuotedField(v) + " is not a whole number from 1";
                return false;
            }
        }
        const std::string type = lower(cell("type"));
        if (!type.empty() && type != "countercurrent" && type != "shell-and-tube") {
            error = at(line) + "type " + QuotedField(cell("type")) + " is neither countercurrent nor shell-and-tube";
            return false;
        }
        row.shellAndTube = type == "shell-and-tube";
        // An area holds a shell-and-tube unit to one duty only with its shells: the fewest shells
        // that keep F at its least jump by one as the duty moves, and the area jumps with them.
        if (const std::string shells = cell("shells"); !shells.empty()) {
            if (!parseOrder(shells, row.shells) || row.shells > MaxShellsInSeries) {
                error = at(line) + "shells " + QuotedField(shells) + " is not a whole number from 1 to " +
                        std::to_string(MaxShellsInSeries);
                return false;
            }
            if (!row.shellAndTube) {
                error = at(line) + QuotedField(row.name) + " gives shells but is not shell-and-tube";
                return false;
            }
        }
        if (rows.size() == MaxExchangerRows) {
            error = at(line) + "the exchanger table holds more than " + std::to_string(MaxExchangerRows) + " exchangers";
            return false;
        }
        rows.push_back(row);
    }
    if (column.empty()) {
        error = "the exchanger table has no header row";
        return false;
    }
    if (rows.empty()) {
        error = "the exchanger table has no exchanger";
        return false;
    }
    return true;
}

bool ReadNetworkTableFile(const std::string& path, std::vector<NetworkRow>& rows, std::string& error) {
    std::string text;
    if (!ReadInputFile(path, "an exchanger table", text, error)) return false;
    if (!ReadNetworkTable(text, rows, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}
