#include "host/StreamTable.h"

#include "host/InputFile.h"

#include "host/OutputText.h"
#include "host/StreamTableChecks.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <cstring>
#include <system_error>
#include <map>
#include <iterator>
#include <bit>
#include <cstdint>
#include <functional>
#include <string_view>
#include <sys/stat.h>

namespace {
constexpr double kEmpty = -32767.0;

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The part of `text` from `b` to `e` without the white space at either end.
void assignTrimmed(std::string& out, const char* text, std::size_t b, std::size_t e) {
    while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
    out.assign(text + b, e - b);
}

// Splits one CSV line; double quotes may enclose a field holding commas ("" is a quote). The
// fields' strings are kept from line to line and written over, so that a table of many rows
// makes no strings per row.
bool splitCsv(const std::string& line, std::vector<std::string>& fields) {
    std::size_t count = 0;
    auto next = [&]() -> std::string& {
        if (count == fields.size()) fields.emplace_back();
        return fields[count++];
    };
    if (line.find('"') == std::string::npos) {
        // No quotes: each field lies between commas as it is.
        std::size_t from = 0;
        for (std::size_t comma; (comma = line.find(',', from)) != std::string::npos; from = comma + 1)
            assignTrimmed(next(), line.data(), from, comma);
        assignTrimmed(next(), line.data(), from, line.size());
        fields.resize(count);
        return true;
    }
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
            assignTrimmed(next(), field.data(), 0, field.size());
            field.clear();
        } else {
            field.push_back(c);
        }
    }
    fields.resize(count);
    if (quoted) return false;
    assignTrimmed(next(), field.data(), 0, field.size());
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
    const bool exponentGiven = i < text.size() && (text[i] == 'e' || text[i] == 'E');
    if (exponentGiven) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponent = 0;
        for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) ++exponent;
        if (exponent == 0) return false;
    }
    if (i != text.size()) return false;
    // A plain decimal of a few hundred characters at most can neither overflow nor come close to
    // the smallest numbers: it is read by from_chars, which rounds as strtod does (to the nearest,
    // correctly) at a fraction of its cost. Other numbers take strtod and its range check.
    if (!exponentGiven && text.size() < 300) {
        const char* first = text.data() + (text[0] == '+' ? 1 : 0);
        double v = 0.0;
        const auto [end, fault] = std::from_chars(first, text.data() + text.size(), v);
        if (fault == std::errc() && end == text.data() + text.size() && std::isfinite(v)) {
            value = v;
            return true;
        }
    }
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
            s.cost != kEmpty || s.HasTransportProperty())
            return false;
    return true;
}

bool ReadStreamTable(const std::string& text, StreamTable& table, std::string& error) {
    table.streams.clear();
    // A table of many streams is read in one pass: its lines are taken from the text in place,
    // each column's field by its position (found once, from the header), and the streams and the
    // set of their names are sized for the lines at the start, so that neither grows row by row.
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    std::string raw;
    int lineNo = 0;
    std::map<std::string, std::size_t> column;
    constexpr std::size_t kColumnCount = std::size(kColumns);
    constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);
    // The field position of each of kColumns (kAbsent when the header lacks it).
    std::size_t position[kColumnCount];
    std::fill(std::begin(position), std::end(position), kAbsent);
    std::vector<std::string> fields;
    // The streams read so far by name: an open-addressed table (linear probing, at most half
    // full, as the lines bound the streams) of their places in table.streams plus one, so that a
    // name is hashed once and no copy of it is kept.
    std::vector<std::uint32_t> seen;
    // Whether a stream of `name` was read before; if not, the stream about to be appended is
    // entered under it.
    auto readBefore = [&](const std::string& name) {
        const std::size_t mask = seen.size() - 1;
        std::size_t i = std::hash<std::string_view>{}(name) & mask;
        for (; seen[i]; i = (i + 1) & mask)
            if (table.streams[seen[i] - 1].name == name) return true;
        seen[i] = static_cast<std::uint32_t>(table.streams.size() + 1);
        return false;
    };
    bool haveHeader = false;
    for (std::size_t at_ = 0; at_ < text.size();) {
        // The line up to its newline (or the text's end), as std::getline takes it.
        const std::size_t newline = text.find('\n', at_);
        const std::size_t end = newline == std::string::npos ? text.size() : newline;
        raw.assign(text, at_, end - at_);
        at_ = newline == std::string::npos ? text.size() : newline + 1;
        ++lineNo;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (lineNo == 1 && raw.size() >= 3 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) raw.erase(0, 3);
        if (!IsUtf8(raw)) {
            error = at("the text is not UTF-8 (is the file in another encoding, such as Latin-1? save it as UTF-8)",
                       lineNo);
            return false;
        }
        const auto firstShown = std::find_if(raw.begin(), raw.end(),
                                             [](unsigned char c) { return !std::isspace(c); });
        if (firstShown == raw.end() || *firstShown == '#') continue;
        if (!splitCsv(raw, fields)) {
            error = at("unterminated quoted field", lineNo);
            return false;
        }
        if (!haveHeader) {
            for (std::size_t i = 0; i < fields.size(); ++i) {
                std::string name = lower(fields[i]);
                const auto known = std::find(std::begin(kColumns), std::end(kColumns), name);
                if (known == std::end(kColumns)) {
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
                position[static_cast<std::size_t>(known - std::begin(kColumns))] = i;
            }
            if (!column.count("name")) {
                error = at("the header has no \"name\" column", lineNo);
                return false;
            }
            haveHeader = true;
            table.streams.reserve(lines);
            seen.assign(std::bit_ceil(2 * lines), 0);
            continue;
        }
        if (fields.size() > column.size()) {
            error = at("more fields than the header has columns", lineNo);
            return false;
        }
        static const std::string kNoField;
        // The field of kColumns[k] on this row (empty when the header or the row lacks it).
        auto fieldAt = [&](std::size_t k) -> const std::string& {
            const std::size_t i = position[k];
            return i == kAbsent || i >= fields.size() ? kNoField : fields[i];
        };
        const std::string& name = fieldAt(0);
        if (name.empty()) {
            error = at("a row without a stream name", lineNo);
            return false;
        }
        // The views show a name in a text of at most 2047 characters; a longer one (a whole
        // file pasted into a cell) would only swell every case it is saved in.
        constexpr std::size_t kLongestName = 2047;
        if (name.size() > kLongestName) {
            error = at("the stream name " + QuotedField(name) + " is " + std::to_string(name.size()) +
                           " bytes long; a name holds at most " + std::to_string(kLongestName),
                       lineNo);
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
        static const std::array<std::size_t, 11> numericColumns = [] {
            std::array<std::size_t, 11> out{};
            const char* const names[] = {"supply", "target", "cp", "duty", "h", "dtmin_contribution", "cost",
                                         "thermal_conductivity", "viscosity", "density", "specific_heat"};
            for (std::size_t n = 0; n < out.size(); ++n)
                out[n] = static_cast<std::size_t>(
                    std::find_if(std::begin(kColumns), std::end(kColumns),
                                 [&](const char* c) { return std::strcmp(c, names[n]) == 0; }) -
                    std::begin(kColumns));
            return out;
        }();
        static_assert(std::size(numerics) == 11, "a numeric column without its place");
        for (std::size_t k = 0; k < std::size(numerics); ++k) {
            const Numeric& n = numerics[k];
            const std::string& t = fieldAt(numericColumns[k]);
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
        static const std::size_t kindColumn = static_cast<std::size_t>(
            std::find_if(std::begin(kColumns), std::end(kColumns), [](const char* c) { return std::strcmp(c, "kind") == 0; }) -
            std::begin(kColumns));
        std::string kind = lower(fieldAt(kindColumn));
        if (!kind.empty() && kind != "process" && kind != "utility") {
            error = at("kind " + QuotedField(fieldAt(kindColumn)) + " is neither process nor utility", lineNo);
            return false;
        }
        bool utility = kind == "utility";
        // Consecutive rows with the same name are the segments of one stream.
        if (table.streams.empty() || table.streams.back().name != name) {
            if (readBefore(name)) {
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
