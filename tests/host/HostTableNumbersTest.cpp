// The stream table's numbers are read to the last bit however they are written: a table of
// seeded random values in many plain decimal forms (up to 25 digits, a leading "+", no digit
// before or after the point, values halfway between two doubles) is saved as a case, and so is
// the same table with every number given an exponent ("e0"), which takes the reader's other way.
// The two cases are the same byte for byte.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

namespace {

// A decimal text for `v` in one of several forms, chosen by `form`.
std::string DecimalText(double v, int form) {
    char text[80];
    switch (form % 6) {
        case 0: std::snprintf(text, sizeof text, "%.6f", v); break;
        case 1: std::snprintf(text, sizeof text, "%.17g", v); break;
        case 2: std::snprintf(text, sizeof text, "%.25f", v); break;
        case 3: std::snprintf(text, sizeof text, "+%.3f", v); break;
        case 4: std::snprintf(text, sizeof text, "%.0f.", v); break;
        default: std::snprintf(text, sizeof text, "%.20f", v / 1000.0); break;
    }
    std::string out = text;
    // %.17g may give an exponent; the plain form keeps to digits and a point.
    if (out.find('e') != std::string::npos) std::snprintf(text, sizeof text, "%.10f", v), out = text;
    if (form % 6 == 5 && out.rfind("0.", 0) == 0) out.erase(0, 1);  // ".000123..." without the leading zero
    return out;
}

TEST(HostTableNumbers, PlainDecimalsReadAsTheSameNumbersWithAnExponent) {
    std::mt19937 rng(23);
    std::uniform_real_distribution<double> temperature(50.0, 380.0), cp(1.0, 50.0), h(0.1, 1.0);
    std::string plain = "name,supply,target,cp,h,kind\n", exponent = plain;
    for (int i = 0; i < 60; ++i) {
        double supply = temperature(rng), target = temperature(rng);
        if (supply - target < 1.0 && target - supply < 1.0) target = supply + 5.0;
        // Every third stream's target lies halfway between two doubles near 100.
        const std::string halfway = "100.0000000000000071054273576010018587112426757812500";
        const double values[] = {supply, target, cp(rng) + 1.0, h(rng)};
        std::string rowPlain = "S" + std::to_string(i + 1), rowExponent = rowPlain;
        for (int k = 0; k < 4; ++k) {
            // The film coefficient (below 1) keeps the forms that hold its digits.
            std::string t = DecimalText(values[k], k == 3 ? i % 3 : i + k);
            if (k == 1 && i % 3 == 0) t = supply > 100.5 || supply < 99.5 ? halfway : "200.5";
            rowPlain += "," + t;
            rowExponent += "," + t + "e0";
        }
        plain += rowPlain + ",process\n";
        exponent += rowExponent + ",process\n";
    }
    for (std::string* table : {&plain, &exponent}) *table += "Fired Heat (1000),,,,,utility\nCooling Water,,,,,utility\n";
    ScratchFile plainTable("table-numbers", "plain.csv", plain), exponentTable("table-numbers", "exponent.csv", exponent);
    ScratchFile plainCase("table-numbers", "plain.case", "", false), exponentCase("table-numbers", "exponent.case", "", false);
    const HostRun a = RunHost("targets " + plainTable.path + " --save " + plainCase.path);
    const HostRun b = RunHost("targets " + exponentTable.path + " --save " + exponentCase.path);
    ASSERT_EQ(0, a.exitCode) << a.out;
    ASSERT_EQ(0, b.exitCode) << b.out;
    EXPECT_EQ(a.out, b.out);
    const std::string first = FileContents(plainCase.path), second = FileContents(exponentCase.path);
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == second) << "the saved cases differ";
}

}  // namespace
