#include "pellin/HeatTransfer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Pair {
    double a, b, expected;
};
void PrintTo(const Pair& c, std::ostream* os) {
    *os << c.a << " and " << c.b << ": " << c.expected;
}

class Lmtd : public ::testing::TestWithParam<Pair> {};

TEST_P(Lmtd, HandValues) {
    const Pair p = GetParam();
    EXPECT_NEAR(LogMeanTemperatureDifference(p.a, p.b), p.expected, 1e-9 * std::max(1.0, p.expected));
    EXPECT_EQ(LogMeanTemperatureDifference(p.a, p.b), LogMeanTemperatureDifference(p.b, p.a));
}

INSTANTIATE_TEST_SUITE_P(Ends, Lmtd,
                         ::testing::Values(Pair{30, 10, 20.0 / std::log(3.0)},
                                           Pair{10, 10.0000001, 10.00000005},
                                           Pair{20, 20, 20},
                                           Pair{0, 10, 0},
                                           Pair{-5, 10, 0},
                                           Pair{std::nan(""), 10, 0}));

// Either side of the 1e-4 band the series and the quotient agree with a long-double log-mean.
TEST(LmtdBand, SeriesAndQuotientMeet) {
    for (double ratio : {1.0 + 1.99e-4, 1.0 + 2.01e-4, 1.0 + 1e-6, 1.0 + 3e-3}) {
        const long double a = 40.0L, b = 40.0L * ratio;
        const long double exact = (a - b) / std::log(a / b);
        EXPECT_NEAR(LogMeanTemperatureDifference(40.0, 40.0 * ratio), static_cast<double>(exact), 1e-11)
            << ratio;
    }
}

class Overall : public ::testing::TestWithParam<Pair> {};

TEST_P(Overall, SeriesResistances) {
    const Pair p = GetParam();
    EXPECT_NEAR(OverallCoefficient(p.a, p.b), p.expected, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Films, Overall,
                         ::testing::Values(Pair{0.1, 0.1, 0.05}, Pair{0.2, 0.3, 0.12}, Pair{0, 5, 0},
                                           Pair{-32767.0, 5, 0}, Pair{std::nan(""), 5, 0}));

}  // namespace
