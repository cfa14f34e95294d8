#include "host/StreamTable.h"

#include "host/InputFile.h"

#include "host/OutputText.h"
#include "host/StreamTableChecks.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <cstring>
#include <map>
#include <sstream>
#include <unordered_set>
#include <sys/stat.h>

namespace {
constexpr double kEmpty = -32767.0;

std::string trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Splits one CSV line; double quotes may enclose a field holding commas ("" is a quote).
bool splitCsv(const std::string& line, std::vector<std::string>& fields) {
    fields.clear();
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                field.push_back('"');
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field.push_back(c);
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.push_back(trim(field));
            field.clear();
        } else {
            field.push_back(c);
        }
    }
    if (quoted) return false;
    fields.push_back(trim(field));
    return true;
}

}  // namespace

// Only the characters of a decimal number are let through to strtod, which would also take hex
// ("0x10"), "inf" and "nan".
bool ParseTableNumber(const std::string& text, double& value) {
    std::size_t i = 0, digits = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) ++digits;
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) ++digits;
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponent = 0;
        for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) ++exponent;
        if (exponent == 0) return false;
    }
    if (i != text.size()) return false;
    errno = 0;
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(v)) return false;
    value = v;
    return true;
}

namespace {
const char* const kColumns[] = {"name", "supply", "target", "cp", "duty", "h", "kind", "dtmin_contribution", "cost",
                                "thermal_conductivity", "viscosity", "density", "specific_heat"};

std::string at(const std::string& what, int line) { return "line " + std::to_string(line) + ": " + what; }
}  // namespace

bool StreamTableSegment::HasTransportProperty() const {
    return thermalConductivity != kEmpty || viscosity != kEmpty || density != kEmpty || specificHeat != kEmpty;
}

bool StreamTableStream::NameOnly() const {
    for (const auto& s : segments)
        if (s.supply != kEmpty || s.target != kEmpty || s.cp != kEmpty || s.duty != kEmpty || s.h != kEmpty ||
            s.cost != kEmpty || s.dtminContribution != kEmpty || s.HasTransportProperty())
            return false;
    return true;
}

bool ReadStreamTable(const std::string& text, StreamTable& table, std::string& error) {
    table.streams.clear();
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    std::map<std::string, std::size_t> column;
    std::vector<std::string> fields;
    // The names of the streams read so far.
    std::unordered_set<std::string> seen;
    bool haveHeader = false;
    while (std::getline(in, raw)) {
        ++lineNo;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (lineNo == 1 && raw.size() >= 3 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) raw.erase(0, 3);
        if (!IsUtf8(raw)) {
            error = at("the text is not UTF-8 (is the file in another encoding, such as Latin-1? save it as UTF-8)",
                       lineNo);
            return false;
        }
        if (trim(raw).empty() || trim(raw)[0] == '#') continue;
        if (!splitCsv(raw, fields)) {
            error = at("unterminated quoted field", lineNo);
            return false;
        }
        if (!haveHeader) {
            for (std::size_t i = 0; i < fields.size(); ++i) {
                std::string name = lower(fields[i]);
                if (std::find(std::begin(kColumns), std::end(kColumns), name) == std::end(kColumns)) {
                    const char* delimiter = fields[i].find(';') != std::string::npos    ? "semicolons"
                                            : fields[i].find('\t') != std::string::npos ? "tabs"
                                                                                        : nullptr;
                    if (fields.size() == 1 && delimiter)
                        error = at(std::string("the header is separated by ") + delimiter +
                                       "; a stream table separates its fields with commas",
                                   lineNo);
                    else
                        error = at("unknown column " + QuotedField(fields[i]), lineNo);
                    return false;
                }
                if (column.count(name)) {
                    error = at("column " + QuotedField(fields[i]) + " appears twice", lineNo);
                    return false;
                }
                column[name] = i;
            }
            if (!column.count("name")) {
                error = at("the header has no \"name\" column", lineNo);
                return false;
            }
            haveHeader = true;
            continue;
        }
        if (fields.size() > column.size()) {
            error = at("more fields than the header has columns", lineNo);
            return false;
        }
        auto field = [&](const char* name) -> std::string {
            auto it = column.find(name);
            return (it == column.end() || it->second >= fields.size()) ? std::string() : fields[it->second];
        };
        std::string name = field("name");
        if (name.empty()) {
            error = at("a row without a stream name", lineNo);
            return false;
        }
        StreamTableSegment seg;
        seg.line = lineNo;
        struct Numeric { const char* column; double* target; };
        const Numeric numerics[] = {{"supply", &seg.supply}, {"target", &seg.target}, {"cp", &seg.cp},
                                    {"duty", &seg.duty},     {"h", &seg.h},           {"dtmin_contribution", &seg.dtminContribution},
                                    {"cost", &seg.cost},
                                    {"thermal_conductivity", &seg.thermalConductivity},
                                    {"viscosity", &seg.viscosity},
                                    {"density", &seg.density},
                                    {"specific_heat", &seg.specificHeat}};
        for (const Numeric& n : numerics) {
            std::string t = field(n.column);
            if (t.empty()) continue;
            if (!ParseTableNumber(t, *n.target)) {
                error = at(QuotedField(t) + " in column " + n.column + " is not a number", lineNo);
                return false;
            }
            if (!CheckStreamTableValue(n.column, *n.target, error)) {
                error = at(PrintableText(name, 40) + ": " + error, lineNo);
                return false;
            }
        }
        std::string kind = lower(field("kind"));
        if (!kind.empty() && kind != "process" && kind != "utility") {
            error = at("kind " + QuotedField(field("kind")) + " is neither process nor utility", lineNo);
            return false;
        }
        bool utility = kind == "utility";
        // Consecutive rows with the same name are the segments of one stream.
        if (table.streams.empty() || table.streams.back().name != name) {
            if (!seen.insert(name).second) {
                error = at("stream \"" + name + "\" appears again after other streams", lineNo);
                return false;
            }
            table.streams.push_back({name, utility, {}});
        } else if (table.streams.back().utility != utility) {
            error = at("stream \"" + name + "\" changes its kind between segments", lineNo);
            return false;
        }
        table.streams.back().segments.push_back(seg);
    }
    if (!haveHeader) {
        error = "the stream table is empty";
        return false;
    }
    if (table.streams.empty()) {
        error = "the stream table has a header but no streams";
        return false;
    }
    return CheckStreamTable(table, error);
}

bool ReadStreamTableFile(const std::string& path, StreamTable& table, std::string& error) {
    std::string text;
    if (!ReadInputFile(path, "a stream table", text, error)) return false;
    // Name the encodings a spreadsheet may save in, rather than failing on their first line.
    if (text.size() >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF'))) {
        error = path + ": the file is in UTF-16; save the stream table as UTF-8 (or plain ASCII) CSV";
        return false;
    }
    if (text.find('\0') != std::string::npos) {
        error = path + ": the file holds binary data (zero bytes), not a CSV stream table";
        return false;
    }
    if (!ReadStreamTable(text, table, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}
