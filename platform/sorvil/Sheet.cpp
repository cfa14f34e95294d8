#include "sorvil/Sheet.h"

#include <charconv>
#include <fstream>
#include <sys/stat.h>

namespace {
CPString where(const CPString& file, int line, const std::string& what) {
    return file + ":" + std::to_string(line) + ": " + what;
}
}  // namespace

bool Sheet::ReadFile(const CPString& path, CPString& error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = path + ": cannot be read as a file";
        return false;
    }
    if (static_cast<unsigned long long>(info.st_size) > MaxBytes) {
        error = path + ": the sheet is larger than 64 MB";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
        error = path + ": cannot be read";
        return false;
    }
    return ReadText(bytes, path, error);
}

bool Sheet::ReadText(std::string_view text, const CPString& fileName, CPString& error) {
    if (text.size() > MaxBytes) {
        error = fileName + ": the sheet is larger than 64 MB";
        return false;
    }
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    int line = 1;
    std::size_t i = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") i = 3;
    auto endField = [&]() -> bool {
        if (static_cast<int>(row.size()) >= MaxColumns) {
            error = where(fileName, line, "more than " + std::to_string(MaxColumns) + " fields in a row");
            return false;
        }
        row.push_back(std::move(field));
        field.clear();
        return true;
    };
    auto endRow = [&]() -> bool {
        if (!endField()) return false;
        if (static_cast<int>(rows.size()) >= MaxRows) {
            error = where(fileName, line, "more than " + std::to_string(MaxRows) + " rows");
            return false;
        }
        rows.push_back(std::move(row));
        row.clear();
        return true;
    };
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"' && field.empty()) {
            // A quoted field runs to the quote that is not doubled.
            const int opened = line;
            ++i;
            bool closed = false;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                if (text[i] == '\n') ++line;
                field += text[i++];
            }
            if (!closed) {
                error = where(fileName, opened, "a quoted field is never closed");
                return false;
            }
            if (i < text.size() && text[i] != ',' && text[i] != '\n' && text[i] != '\r') {
                error = where(fileName, line, "text follows a closing quote");
                return false;
            }
            // An empty quoted field stays empty; mark nothing else.
            continue;
        }
        if (c == ',') {
            if (!endField()) return false;
            ++i;
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            if (!endRow()) return false;
            i += 2;
            ++line;
        } else if (c == '\n') {
            if (!endRow()) return false;
            ++i;
            ++line;
        } else {
            field += c;
            ++i;
        }
    }
    // A last line without its line break still counts.
    if (!field.empty() || !row.empty()) {
        if (!endRow()) return false;
    }
    m_rows = std::move(rows);
    return true;
}

bool Sheet::ParseAddress(std::string_view address, int& column, int& row) {
    std::size_t i = 0;
    int col = 0;
    while (i < address.size() && i < 3 && address[i] >= 'A' && address[i] <= 'Z') {
        col = col * 26 + (address[i] - 'A' + 1);
        ++i;
    }
    if (i == 0 || col > MaxColumns) return false;
    const std::string_view digits = address.substr(i);
    if (digits.empty() || digits.size() > 7 || digits[0] == '0') return false;
    int r = 0;
    for (char d : digits) {
        if (d < '0' || d > '9') return false;
        r = r * 10 + (d - '0');
    }
    if (r > MaxRows) return false;
    column = col;
    row = r;
    return true;
}

CPString Sheet::ColumnName(int column) {
    std::string name;
    while (column > 0) {
        const int digit = (column - 1) % 26;
        name.insert(name.begin(), static_cast<char>('A' + digit));
        column = (column - 1) / 26;
    }
    return name;
}

CPString Sheet::GetCellText(int column, int row) const {
    if (row < 1 || column < 1 || static_cast<std::size_t>(row) > m_rows.size()) return CPString();
    const auto& cells = m_rows[static_cast<std::size_t>(row - 1)];
    if (static_cast<std::size_t>(column) > cells.size()) return CPString();
    return cells[static_cast<std::size_t>(column - 1)];
}

CPString Sheet::GetCellText(const CPString& address) const {
    int column = 0, row = 0;
    return ParseAddress(address, column, row) ? GetCellText(column, row) : CPString();
}

bool Sheet::GetCellValue(const CPString& address, double& value) const {
    return ParseNumber(GetCellText(address), value);
}

bool Sheet::ParseNumber(std::string_view text, double& value) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    std::size_t i = 0;
    auto digitsAt = [&]() {
        std::size_t n = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++n;
        return n;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = digitsAt();
    if (i < text.size() && text[i] == '.') {
        ++i;
        digits += digitsAt();
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digitsAt() == 0) return false;
    }
    if (i != text.size()) return false;
    if (text.front() == '+') text.remove_prefix(1);
    double parsed = 0.0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    value = parsed;
    return true;
}
