#pragma once
// What the "same plant" comparisons share: the example tables read as rows, a small JSON reader,
// and the numbers of a report flattened to paths that do not depend on the order in which the
// report lists its objects (a stream, utility, unit or splitter is keyed by its name), so that a
// report of an equivalent input can be compared number by number.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace sameplant {

// The examples compared: a stream table and the exchanger table of a network on it.
struct Example {
    const char* label;
    const char* streams;
    const char* network;
};
inline const Example kExamples[] = {
    {"FourStreams", "four-streams.csv", "four-streams-network.csv"},
    {"Split", "four-streams.csv", "four-streams-split-network.csv"},
    {"Operated", "operated-streams.csv", "operated-network.csv"},
    {"Retrofit", "retrofit-streams.csv", "retrofit-network.csv"},
};

// ---- CSV tables (the examples' stream and exchanger tables: no quoted fields) ----

struct Table {
    std::vector<std::string> columns;
    std::vector<std::map<std::string, std::string>> rows;
};

inline std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    for (char c : line) {
        if (c == ',') {
            fields.push_back(field);
            field.clear();
        } else if (c != '\r') {
            field += c;
        }
    }
    fields.push_back(field);
    return fields;
}

inline Table ReadTable(const std::string& text) {
    Table t;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> fields = SplitFields(line);
        if (t.columns.empty()) {
            t.columns = fields;
            continue;
        }
        std::map<std::string, std::string> row;
        for (std::size_t i = 0; i < t.columns.size(); ++i) row[t.columns[i]] = i < fields.size() ? fields[i] : "";
        t.rows.push_back(row);
    }
    return t;
}

inline std::string WriteTable(const std::vector<std::string>& columns,
                              const std::vector<std::map<std::string, std::string>>& rows) {
    std::string out;
    for (std::size_t i = 0; i < columns.size(); ++i) out += (i ? "," : "") + columns[i];
    out += "\n";
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const auto at = row.find(columns[i]);
            out += (i ? "," : "") + (at == row.end() ? std::string() : at->second);
        }
        out += "\n";
    }
    return out;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A number as a table cell: enough digits that a cut point read back is the point cut.
inline std::string Cell(double v) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    return buffer;
}

// The default utilities the examples name, as `info` lists them: supply, target, h, cost per kW
// and year, approach. A utility given in rows of its own (cut, or renamed) gives them itself.
struct DefaultUtility {
    double supply, target, h, cost, approach;
};
inline const std::map<std::string, DefaultUtility> kDefaults = {
    {"HP Steam", {250, 249, 6, 78.84, 10}},
    {"MP Steam", {175, 174, 6, 69.3792, 10}},
    {"Cooling Water", {20, 25, 3.75, 6.70001, 5}},
    {"Air", {30, 35, 0.111, 0.031536, 10}},
};

// ---- equivalent tables ----

enum class Utilities { ByName, Given };  // Given: a default utility's values in rows of its own
enum class Order { Given, Reversed, Rotated };

// How a table is given again: each row cut into equal segments, the utilities by name or in rows,
// the streams (and exchangers) in another order, every name passed through `rename`.
struct TableShape {
    int segments = 1;
    Utilities utilities = Utilities::ByName;
    Order order = Order::Given;
    std::function<std::string(const std::string&)> rename = [](const std::string& n) { return n; };
};

template <typename T>
std::vector<T> Reordered(std::vector<T> items, Order order) {
    if (order == Order::Reversed) std::reverse(items.begin(), items.end());
    if (order == Order::Rotated && !items.empty()) std::rotate(items.begin(), items.begin() + 1, items.end());
    return items;
}

// The stream table in `shape`: each stream's rows stay together and in order (a stream may not
// come back after another), the streams in the shape's order.
inline std::string StreamTableOf(const Table& t, const TableShape& shape) {
    std::vector<std::string> names;
    for (const auto& row : t.rows)
        if (std::find(names.begin(), names.end(), row.at("name")) == names.end()) names.push_back(row.at("name"));
    std::vector<std::string> columns = t.columns;
    for (const char* extra : {"cost", "dtmin_contribution"})
        if (std::find(columns.begin(), columns.end(), extra) == columns.end()) columns.push_back(extra);
    std::vector<std::map<std::string, std::string>> rows;
    for (const std::string& name : Reordered(names, shape.order))
        for (auto row : t.rows) {
            if (row.at("name") != name) continue;
            const bool utility = row["kind"] == "utility";
            if (utility && shape.utilities == Utilities::ByName) {
                rows.push_back(row);
                continue;
            }
            row["name"] = shape.rename(name);
            double supply = 0, target = 0;
            if (utility) {
                const DefaultUtility& d = kDefaults.at(name);
                supply = d.supply, target = d.target;
                row["h"] = Cell(d.h), row["cost"] = Cell(d.cost), row["dtmin_contribution"] = Cell(d.approach);
            } else {
                supply = std::stod(row.at("supply")), target = std::stod(row.at("target"));
            }
            const int n = shape.segments;
            for (int i = 0; i < n; ++i) {
                row["supply"] = Cell(i == 0 ? supply : supply + (target - supply) * i / n);
                row["target"] = Cell(i + 1 == n ? target : supply + (target - supply) * (i + 1) / n);
                rows.push_back(row);
            }
        }
    return WriteTable(columns, rows);
}

// The exchanger table in `shape`: its rows in the shape's order, units and streams renamed.
inline std::string NetworkOf(const Table& t, const TableShape& shape) {
    std::vector<std::map<std::string, std::string>> rows = Reordered(t.rows, shape.order);
    for (auto& row : rows)
        for (const char* field : {"name", "hot", "cold"}) row[field] = shape.rename(row[field]);
    return WriteTable(t.columns, rows);
}

// ---- JSON ----

struct Json {
    enum Kind { Null, Bool, Number, Text, Array, Object } kind = Null;
    double number = 0.0;
    std::string text;
    std::vector<Json> items;                          // an array's
    std::vector<std::pair<std::string, Json>> fields;  // an object's, in order

    const Json* Field(const std::string& name) const {
        for (const auto& [k, v] : fields)
            if (k == name) return &v;
        return nullptr;
    }
    std::string TextOf(const std::string& name) const {
        const Json* f = Field(name);
        return f && f->kind == Text ? f->text : std::string();
    }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& s) : s_(s) {}
    // False when the text is not one whole JSON value.
    bool Read(Json& out) {
        if (!Value(out)) return false;
        Skip();
        return at_ == s_.size();
    }

private:
    void Skip() {
        while (at_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[at_]))) ++at_;
    }
    bool Literal(const char* word) {
        const std::string w(word);
        if (s_.compare(at_, w.size(), w) != 0) return false;
        at_ += w.size();
        return true;
    }
    bool String(std::string& out) {
        if (at_ >= s_.size() || s_[at_] != '"') return false;
        for (++at_; at_ < s_.size(); ++at_) {
            const char c = s_[at_];
            if (c == '"') {
                ++at_;
                return true;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (++at_ >= s_.size()) return false;
            const char e = s_[at_];
            if (e == 'u') {
                if (at_ + 4 >= s_.size()) return false;
                const unsigned code = std::strtoul(s_.substr(at_ + 1, 4).c_str(), nullptr, 16);
                at_ += 4;
                if (code < 0x80) {
                    out += static_cast<char>(code);
                } else if (code < 0x800) {
                    out += static_cast<char>(0xc0 | (code >> 6));
                    out += static_cast<char>(0x80 | (code & 0x3f));
                } else {
                    out += static_cast<char>(0xe0 | (code >> 12));
                    out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
                    out += static_cast<char>(0x80 | (code & 0x3f));
                }
            } else {
                out += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e == 'b' ? '\b' : e == 'f' ? '\f' : e;
            }
        }
        return false;
    }
    bool Value(Json& out) {
        Skip();
        if (at_ >= s_.size()) return false;
        const char c = s_[at_];
        if (c == '{') {
            out.kind = Json::Object;
            ++at_;
            Skip();
            if (at_ < s_.size() && s_[at_] == '}') return ++at_, true;
            for (;;) {
                Skip();
                std::string key;
                if (!String(key)) return false;
                Skip();
                if (at_ >= s_.size() || s_[at_++] != ':') return false;
                Json v;
                if (!Value(v)) return false;
                out.fields.emplace_back(std::move(key), std::move(v));
                Skip();
                if (at_ < s_.size() && s_[at_] == ',') {
                    ++at_;
                    continue;
                }
                return at_ < s_.size() && s_[at_++] == '}';
            }
        }
        if (c == '[') {
            out.kind = Json::Array;
            ++at_;
            Skip();
            if (at_ < s_.size() && s_[at_] == ']') return ++at_, true;
            for (;;) {
                Json v;
                if (!Value(v)) return false;
                out.items.push_back(std::move(v));
                Skip();
                if (at_ < s_.size() && s_[at_] == ',') {
                    ++at_;
                    continue;
                }
                return at_ < s_.size() && s_[at_++] == ']';
            }
        }
        if (c == '"') {
            out.kind = Json::Text;
            return String(out.text);
        }
        if (Literal("null")) return out.kind = Json::Null, true;
        if (Literal("true")) return out.kind = Json::Bool, out.number = 1, true;
        if (Literal("false")) return out.kind = Json::Bool, out.number = 0, true;
        char* end = nullptr;
        out.number = std::strtod(s_.c_str() + at_, &end);
        if (end == s_.c_str() + at_) return false;
        out.kind = Json::Number;
        at_ = static_cast<std::size_t>(end - s_.c_str());
        return true;
    }
    const std::string& s_;
    std::size_t at_ = 0;
};

// ---- flattening ----

// The key an array's element takes in a path: its name ("name", or "unit" for a splitter branch,
// "splitter" for a splitter) passed through `rename`, so that a report of renamed objects reads
// under the original names; its place when it has none. `key` may override it (an object the
// system names by the order it made them in is better keyed by what it joins).
struct FlatOptions {
    std::function<std::string(const std::string&)> rename = [](const std::string& n) { return n; };
    std::function<std::string(const Json&)> key;  // empty: by name
};

using Flat = std::map<std::string, double>;

inline void FlattenInto(const Json& j, const std::string& path, const FlatOptions& o, Flat& out) {
    switch (j.kind) {
        case Json::Number:
        case Json::Bool:
            out[path] = j.number;
            break;
        case Json::Null:
            out[path] = NAN;  // "not available" is a value of its own, equal only to itself
            break;
        case Json::Text:
            break;
        case Json::Object:
            for (const auto& [k, v] : j.fields) FlattenInto(v, path + "." + k, o, out);
            break;
        case Json::Array:
            for (std::size_t i = 0; i < j.items.size(); ++i) {
                const Json& item = j.items[i];
                std::string key = o.key && item.kind == Json::Object ? o.key(item) : std::string();
                if (key.empty() && item.kind == Json::Object)
                    for (const char* field : {"name", "unit", "splitter"})
                        if (const Json* f = item.Field(field); f && f->kind == Json::Text) {
                            key = o.rename(f->text);
                            break;
                        }
                if (key.empty()) key = std::to_string(i);
                std::string at = path + "[" + key + "]";
                while (out.count(at + "#")) at += "'";  // two elements of one key stay apart
                out[at + "#"] = 0.0;
                FlattenInto(item, at, o, out);
            }
            break;
    }
}

inline Flat Flatten(const Json& j, const FlatOptions& o = {}) {
    Flat out;
    FlattenInto(j, "", o, out);
    return out;
}

// Every leaf of a JSON value as text (numbers to ten significant digits, texts as they are), under
// paths whose array elements are keyed as `Flatten` keys them; for listings whose texts matter as
// much as their numbers (a form's names and choices).
using FlatTexts = std::map<std::string, std::string>;

inline void LeavesInto(const Json& j, const std::string& path, const FlatOptions& o, FlatTexts& out) {
    switch (j.kind) {
        case Json::Number: {
            char buffer[40];
            std::snprintf(buffer, sizeof buffer, "%.10g", j.number);
            out[path] = buffer;
            break;
        }
        case Json::Bool:
            out[path] = j.number ? "true" : "false";
            break;
        case Json::Null:
            out[path] = "null";
            break;
        case Json::Text:
            out[path] = "\"" + j.text + "\"";
            break;
        case Json::Object:
            for (const auto& [k, v] : j.fields) LeavesInto(v, path + "." + k, o, out);
            break;
        case Json::Array:
            for (std::size_t i = 0; i < j.items.size(); ++i) {
                const Json& item = j.items[i];
                std::string key = o.key && item.kind == Json::Object ? o.key(item) : std::string();
                if (key.empty()) key = std::to_string(i);
                std::string at = path + "[" + key + "]";
                while (out.count(at + "#")) at += "'";
                out[at + "#"] = "";
                LeavesInto(item, at, o, out);
            }
            break;
    }
}

// The paths whose texts differ, or that only one side has; one line each.
inline std::string TextDifferences(const FlatTexts& a, const FlatTexts& b,
                                   const std::function<bool(const std::string&)>& compared) {
    std::string out;
    for (const auto& [k, v] : a) {
        if (!compared(k)) continue;
        const auto at = b.find(k);
        if (at == b.end()) out += k + ": " + v + " and missing\n";
        else if (at->second != v) out += k + ": " + v + " and " + at->second + "\n";
    }
    for (const auto& [k, w] : b)
        if (compared(k) && !a.count(k)) out += k + ": missing and " + w + "\n";
    return out;
}

// The paths whose numbers differ by more than `relative` of the larger (and 1e-6 absolute, the
// reports' last printed digit), or that only one side has; one line each.
inline std::string Differences(const Flat& a, const Flat& b, double relative,
                               const std::function<bool(const std::string&)>& compared, double absolute = 1e-6) {
    std::string out;
    auto describe = [](double v) { return std::isnan(v) ? std::string("null") : Cell(v); };
    for (const auto& [k, v] : a) {
        if (!compared(k)) continue;
        const auto at = b.find(k);
        if (at == b.end()) {
            out += k + ": " + describe(v) + " and missing\n";
            continue;
        }
        const double w = at->second;
        const bool same = (std::isnan(v) && std::isnan(w)) ||
                          std::fabs(v - w) <= relative * std::max(std::fabs(v), std::fabs(w)) + absolute;
        if (!same) out += k + ": " + describe(v) + " and " + describe(w) + "\n";
    }
    for (const auto& [k, w] : b)
        if (compared(k) && !a.count(k)) out += k + ": missing and " + describe(w) + "\n";
    return out;
}

// Does `path` hold any of `parts`?
inline bool PathHas(const std::string& path, std::initializer_list<const char*> parts) {
    for (const char* p : parts)
        if (path.find(p) != std::string::npos) return true;
    return false;
}

// ---- form listings ----

// Cells of a listing that a reopened case does not restore, and why; `design` where only the
// design viewer's cell of that address is meant.
struct NotKept {
    const char* part;  // a piece of the cell's path
    bool design;
    const char* why;
};
inline const NotKept kNotKept[] = {
    // What the user last pointed at in a table (the cursor of a row or column) is where the user
    // is, not what the case holds; a reopened view starts at its first row.
    {"[RowPos.", false, "the table cursor is the session's"},
    {"[ColPos.", false, "the table cursor is the session's"},
    {"[ColPosU.", false, "the table cursor is the session's"},
    // The project's index of the scenario it made last serves the form that named it.
    {"ProjectObject(Kestrin project)].variables[ExtraData.255]", false, "the scenario made last is the session's"},
    // The optimiser's pre-run check (its unit list, verdicts and switches) is a report the design
    // viewer makes when asked, here by the retrofit run; a reopened case has not been asked yet.
    {"[ExtraData.1006]", true, "the optimiser's pre-run check is made on request"},
    {"[ExtraData.1007]", true, "the optimiser's pre-run check is made on request"},
    {"[ExtraData.1008]", true, "the optimiser's pre-run check is made on request"},
    {"[ExtraData.1010]", true, "the optimiser's pre-run check is made on request"},
    {"[ExtraData.1011]", true, "the optimiser's pre-run check is made on request"},
    {"[ExtraData.1016]", true, "the optimiser's pre-run check is made on request"},
    {"[ExtraData.1019]", true, "the optimiser's pre-run check is made on request"},
    {"[ExtraData.1022]", true, "the optimiser's pre-run check is made on request"},
    {"[ExtraData.1030]", true, "the optimiser's pre-run check is made on request"},
    {"[Index.1030]", true, "the optimiser's pre-run check is made on request"},
    {"[Switch.1003]", true, "the optimiser's pre-run check is made on request"},
    {"[Switch.1012]", true, "the optimiser's pre-run check is made on request"},
    {"[Switch.1013]", true, "the optimiser's pre-run check is made on request"},
    {"[Switch.1014]", true, "the optimiser's pre-run check is made on request"},
    {"[Switch.1015]", true, "the optimiser's pre-run check is made on request"},
    // Which node of the schedule tree is selected, and the unit typed on the what-if form for the
    // next event (with the choices and switches that follow from it), are where the user is.
    {"[Index.300]", true, "the selected node of the schedule tree is the session's"},
    {"[HXSelection.389]", true, "the unit typed for the next what-if event is the session's"},
    {"[HXSelectionName.388]", true, "the units offered for the next what-if event follow what was typed"},
    {"[Switch.437]", true, "the unit typed for the next what-if event is the session's"},
    {"[Switch.488]", true, "the unit typed for the next what-if event is the session's"},
    // The event typed on a study's node for the next event (its kind, stream, point and flow,
    // with the stream's present flow beside it) is where the user is, as on the schedule's form.
    {"(Default Study)].variables[Enum.500]", true, "the study event typed next is the session's"},
    {"(Default Study)].variables[Enum.401]", true, "the study event typed next is the session's"},
    {"(Default Study)].variables[Enum.393]", true, "the study event typed next is the session's"},
    {"(Default Study)].variables[Index.404]", true, "the study event typed next is the session's"},
    {"(Default Study)].variables[MassFlow.394]", true, "the study event typed next is the session's"},
    {"(Default Study)].variables[MassFlow.395]", true, "the study event typed next is the session's"},
};

inline bool Kept(const std::string& path) {
    const bool design = path.find("DesignObject(") != std::string::npos;
    for (const NotKept& n : kNotKept)
        if ((design || !n.design) && path.find(n.part) != std::string::npos) return false;
    return true;
}

// The listing `form` prints at the case view (the last one the run printed, or the first), keyed by
// view and cell.
inline bool Listing(const std::string& out, FlatTexts& listing, std::string& why, bool first = false) {
    const std::size_t at = first ? out.find("\n  form {") : out.rfind("\n  form {");
    if (at == std::string::npos) return why = "no form listing", false;
    const std::size_t start = at + 8, end = out.find('\n', start);
    Json json;
    if (!JsonReader(out.substr(start, end - start)).Read(json)) return why = "the listing is no JSON", false;
    FlatOptions o;
    o.key = [](const Json& item) {
        if (item.Field("address")) return item.TextOf("address");
        if (item.Field("view")) return item.TextOf("type") + "(" + item.TextOf("view") + ")";
        return std::string();
    };
    listing.clear();
    LeavesInto(json, "", o, listing);
    return true;
}

}  // namespace sameplant
