#pragma once
// A spreadsheet as the automation library hands it over: cells by address ("A3" is column A of
// row 3), read from a CSV file (RFC 4180: comma-separated fields, fields in double quotes may hold
// commas, line breaks and doubled quotes; lines end in LF or CRLF). Row n is the n-th record of
// the file, which is its n-th line unless a quoted field holds a line break.
//
// The file is input from outside: a reader refuses a file above MaxBytes, a quote that is never
// closed or text after a closing quote, and more than MaxColumns fields in a row, with the line
// where it happened; memory grows only with the bytes read.
#include "dunmor/CPString.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class Sheet {
public:
    static constexpr std::size_t MaxBytes = std::size_t{64} << 20;
    static constexpr int MaxColumns = 16384;
    static constexpr int MaxRows = 1048576;

    // Reads the file; false with `error` ("file:line: what") when it is refused.
    bool ReadFile(const CPString& path, CPString& error);
    bool ReadText(std::string_view text, const CPString& fileName, CPString& error);

    int GetNumberOfRows() const { return static_cast<int>(m_rows.size()); }
    // The text of the cell; empty for a cell beyond the data or a malformed address.
    CPString GetCellText(const CPString& address) const;
    CPString GetCellText(int column, int row) const;
    // The cell's number: false (value untouched) when the cell holds no decimal number.
    bool GetCellValue(const CPString& address, double& value) const;

    // "A3" -> column 1, row 3 (columns A..Z, AA..ZZ, AAA..XFD; rows 1..MaxRows); false for
    // anything else.
    static bool ParseAddress(std::string_view address, int& column, int& row);
    static CPString ColumnName(int column);
    static CPString Address(int column, int row) { return ColumnName(column) + std::to_string(row); }
    // A decimal number (sign, digits, point, exponent, blanks around); hex, "inf" and "nan" are not.
    static bool ParseNumber(std::string_view text, double& value);

private:
    std::vector<std::vector<std::string>> m_rows;
};
