#include "brasko/AutoLinearizeFunction.h"

#include <gtest/gtest.h>

#include <ostream>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

struct Curve {
    std::vector<double> t, v;
};

Curve Sample(int count, double from, double to, const std::function<double(double)>& f) {
    Curve c;
    for (int k = 0; k < count; ++k) {
        const double t = from + (to - from) * k / (count - 1);
        c.t.push_back(t);
        c.v.push_back(f(t));
    }
    return c;
}

// Largest vertical distance of any point from the broken line through the break points,
// relative to the value range; checked independently of the class.
double RelativeError(const Curve& c, const std::vector<int>& breaks) {
    const auto [lo, hi] = std::minmax_element(c.v.begin(), c.v.end());
    double worst = 0.0;
    for (std::size_t p = 0; p + 1 < breaks.size(); ++p) {
        const int a = breaks[p], b = breaks[p + 1];
        for (int k = a; k <= b; ++k) {
            const double chord = c.v[a] + (c.v[b] - c.v[a]) * (c.t[k] - c.t[a]) / (c.t[b] - c.t[a]);
            worst = std::max(worst, std::fabs(c.v[k] - chord));
        }
    }
    return worst / (*hi - *lo);
}

void ExpectWellFormed(const std::vector<int>& breaks, int count) {
    ASSERT_GE(breaks.size(), 2u);
    EXPECT_EQ(breaks.front(), 0);
    EXPECT_EQ(breaks.back(), count - 1);
    EXPECT_TRUE(std::adjacent_find(breaks.begin(), breaks.end(), std::greater_equal<int>()) == breaks.end());
}

struct Case {
    const char* name;
    Curve curve;
    double tolerance;
    int maxSegments;
};

class Linearize : public ::testing::TestWithParam<Case> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

TEST_P(Linearize, StaysWithinToleranceOrSegmentLimit) {
    const Case& c = GetParam();
    AutoLinearizeFunction lin;
    ASSERT_TRUE(lin.SetToleranceExternally(c.tolerance));
    ASSERT_TRUE(lin.SetMaxSegments(c.maxSegments));
    const int n = static_cast<int>(c.curve.t.size());
    ASSERT_TRUE(lin.SetData(c.curve.v.data(), c.curve.t.data(), n));
    const std::vector<int> breaks = lin.Run();
    ExpectWellFormed(breaks, n);
    EXPECT_EQ(lin.GetNumberOfSegments(), static_cast<int>(breaks.size()) - 1);
    EXPECT_LE(lin.GetNumberOfSegments(), c.maxSegments);
    double performance = -1.0;
    lin.GetPerformance(performance);
    EXPECT_NEAR(performance, RelativeError(c.curve, breaks), 1e-12);
    if (lin.GetNumberOfSegments() < c.maxSegments) {
        EXPECT_LE(performance, c.tolerance + 1e-12);
    }
    EXPECT_EQ(lin.Run(), breaks);  // a second run answers the same
}

INSTANTIATE_TEST_SUITE_P(
    Curves, Linearize,
    ::testing::Values(Case{"Convex", Sample(40, 0, 10, [](double t) { return t * t; }), 0.01, 10},
                      Case{"ConvexCapped", Sample(40, 0, 10, [](double t) { return t * t; }), 0.001, 3},
                      Case{"FallingTwelve", Sample(12, 20, 200, [](double t) { return std::sin(t / 30); }), 0.001, 6},
                      Case{"FallingTemperatures", Sample(25, 300, 100, [](double t) { return std::exp(t / 60); }),
                           0.005, 10},
                      Case{"ExactFit", Sample(8, 0, 7, [](double t) { return t * t * t; }), 0.0, 10}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AutoLinearize, LineAndMergeGiveOnePiece) {
    const Curve line = Sample(30, 10, 90, [](double t) { return 4.2 * t - 7; });
    AutoLinearizeFunction lin;
    lin.SetToleranceExternally(0.0);
    lin.SetData(line.v.data(), line.t.data(), 30);
    EXPECT_EQ(lin.Run(), (std::vector<int>{0, 29}));
    double performance = -1.0;
    lin.GetPerformance(performance);
    EXPECT_EQ(performance, 0.0);
    // A tolerance of the whole range accepts any curve in one piece.
    const Curve bent = Sample(30, 10, 90, [](double t) { return std::exp(t / 10); });
    lin.SetToleranceExternally(1.0);
    lin.SetData(bent.v.data(), bent.t.data(), 30);
    EXPECT_EQ(lin.Run(), (std::vector<int>{0, 29}));
}

TEST(AutoLinearize, StepAtOneTemperatureIsKept) {
    // Sensible heating to 3, a vertical step (phase change at constant temperature), heating on.
    const std::vector<double> t{0, 1, 2, 3, 3, 3, 4, 5, 6};
    const std::vector<double> v{0, 1, 2, 3, 13, 23, 24, 25, 26};
    AutoLinearizeFunction lin;
    ASSERT_TRUE(lin.SetData(v.data(), t.data(), 9));
    EXPECT_EQ(lin.Run(), (std::vector<int>{0, 3, 5, 8}));
    double performance = -1.0;
    lin.GetPerformance(performance);
    EXPECT_EQ(performance, 0.0);
}

// Measured by slope, a phase change over a few degrees is cut off a long sensible run under any
// tolerance below 1 (the value-range measure at 0.9 keeps the whole curve in one piece); a bend of
// less than the tolerance in slope, or of less than 1 % of the range in value, is not cut.
TEST(AutoLinearize, SlopeMeasureCutsAPhaseChangeAndNoSmallerBend) {
    const std::vector<double> t{20, 40, 60, 80, 95, 98.5};
    const std::vector<double> v{0, 80, 160, 240, 300, 1000};
    AutoLinearizeFunction byRange;
    ASSERT_TRUE(byRange.SetToleranceExternally(0.9));
    ASSERT_TRUE(byRange.SetData(v.data(), t.data(), 6));
    EXPECT_EQ(byRange.Run(), (std::vector<int>{0, 5}));
    for (double tolerance : {0.01, 0.5, 0.9, 0.99}) {
        AutoLinearizeFunction bySlope;
        ASSERT_TRUE(bySlope.SetSlopeTolerance(tolerance));
        ASSERT_TRUE(bySlope.SetData(v.data(), t.data(), 6));
        EXPECT_EQ(bySlope.Run(), (std::vector<int>{0, 4, 5})) << tolerance;
    }
    // Slopes 2 and 3 about a chord of 2.5: 20 % off, within 0.5 but not within 0.1.
    const std::vector<double> bentT{0, 10, 20};
    const std::vector<double> bentV{0, 20, 50};
    for (const auto& [tolerance, pieces] : {std::pair{0.5, 1}, std::pair{0.1, 2}}) {
        AutoLinearizeFunction bySlope;
        bySlope.SetSlopeTolerance(tolerance);
        bySlope.SetData(bentV.data(), bentT.data(), 3);
        bySlope.Run();
        EXPECT_EQ(bySlope.GetNumberOfSegments(), pieces) << tolerance;
    }
    // A step of 0.5 % of the range at the end (points spread off a target) stays in its piece.
    const std::vector<double> flatT{0, 50, 99.98, 100};
    const std::vector<double> flatV{0, 100, 199.96, 200.5};
    AutoLinearizeFunction bySlope;
    bySlope.SetSlopeTolerance(0.01);
    bySlope.SetData(flatV.data(), flatT.data(), 4);
    EXPECT_EQ(bySlope.Run(), (std::vector<int>{0, 3}));
    // The value-range measure set afterwards ends the slope measure.
    bySlope.SetToleranceExternally(1.0);
    bySlope.SetData(v.data(), t.data(), 6);
    EXPECT_EQ(bySlope.Run(), (std::vector<int>{0, 5}));
    EXPECT_FALSE(bySlope.SetSlopeTolerance(-0.1));
}

}  // namespace
