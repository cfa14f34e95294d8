// Spreadsheet cells by address from CSV (RFC 4180).
#include "sorvil/Sheet.h"

#include <gtest/gtest.h>

namespace {

TEST(Sheet, CellsByAddressFollowTheRecordsOfTheFile) {
    Sheet s;
    CPString error;
    ASSERT_TRUE(s.ReadText("Name,,T1\r\n,,F\r\n\"H, 1\",x,\"say \"\"hi\"\"\"\n\"two\nlines\",,302", "s.csv", error))
        << error;
    EXPECT_EQ(s.GetNumberOfRows(), 4);
    EXPECT_EQ(s.GetCellText("A1"), "Name");
    EXPECT_EQ(s.GetCellText("C2"), "F");
    EXPECT_EQ(s.GetCellText("A3"), "H, 1");
    EXPECT_EQ(s.GetCellText("C3"), "say \"hi\"");
    EXPECT_EQ(s.GetCellText("A4"), "two\nlines");
    double v = 0;
    EXPECT_TRUE(s.GetCellValue("C4", v));
    EXPECT_DOUBLE_EQ(v, 302.0);
    EXPECT_FALSE(s.GetCellValue("A1", v));
    EXPECT_EQ(s.GetCellText("Z99"), "");
    EXPECT_EQ(s.GetCellText("a1"), "");
}

TEST(Sheet, AddressesAndNumbers) {
    const struct {
        const char* address;
        bool ok;
        int column, row;
    } cases[] = {{"A3", true, 1, 3}, {"AM3", true, 39, 3}, {"XFD1", true, 16384, 1}, {"XFE1", false, 0, 0}, {"AAA1", true, 703, 1},
                 {"A0", false, 0, 0}, {"A", false, 0, 0}, {"3", false, 0, 0}, {"A03", false, 0, 0},
                 {"A1048577", false, 0, 0}};
    for (const auto& k : cases) {
        int c = 0, r = 0;
        EXPECT_EQ(Sheet::ParseAddress(k.address, c, r), k.ok) << k.address;
        if (k.ok) {
            EXPECT_EQ(Sheet::Address(c, r), k.address);
        }
    }
    double v = 0;
    EXPECT_TRUE(Sheet::ParseNumber(" -1.5e2 ", v));
    EXPECT_DOUBLE_EQ(v, -150.0);
    for (const char* bad : {"", "inf", "nan", "0x10", "1,5", "1e", "."}) EXPECT_FALSE(Sheet::ParseNumber(bad, v)) << bad;
}

TEST(Sheet, RefusesUnclosedQuotesAndTextAfterAQuote) {
    Sheet s;
    CPString error;
    EXPECT_FALSE(s.ReadText("a,b\n\"open,c\n", "s.csv", error));
    EXPECT_EQ(error, "s.csv:2: a quoted field is never closed");
    EXPECT_FALSE(s.ReadText("a\n\"x\"y\n", "s.csv", error));
    EXPECT_EQ(error, "s.csv:2: text follows a closing quote");
}

}  // namespace
