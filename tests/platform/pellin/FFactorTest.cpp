#include "pellin/FFactor.h"

#include "dunmor/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct Worked {
    double hotIn, hotOut, coldIn, coldOut, shells, F;
};
void PrintTo(const Worked& c, std::ostream* os) {
    *os << "hot " << c.hotIn << "->" << c.hotOut << " C, cold " << c.coldIn << "->" << c.coldOut << " C, "
        << c.shells << " shells: F " << c.F;
}

class FFactorWorked : public ::testing::TestWithParam<Worked> {};

// Worked by hand from the Bowman-Underwood relation. First row: R = 1, P = 0.5, S = sqrt 2,
// numerator sqrt2 x 0.5 / 0.5 = 1.414214, denominator ln(1.707107 / 0.292893) = 1.762747,
// F = 0.802278. Two shells: P1 = 0.5 / (2 - 0.5) = 1/3, F = 0.707107 / 0.738996 = 0.956845.
// R = 2, P = 0.3 and R = 0.5, P = 0.6 are the same exchange seen from either side.
TEST_P(FFactorWorked, MatchesHandValues) {
    const Worked w = GetParam();
    EXPECT_NEAR(g_CalculateFFactorWithFixedShells(w.hotOut, w.hotIn, w.coldIn, w.coldOut, w.shells), w.F,
                1e-6);
    // Either end first on either side.
    EXPECT_EQ(g_CalculateFFactorWithFixedShells(w.hotIn, w.hotOut, w.coldOut, w.coldIn, w.shells),
              g_CalculateFFactorWithFixedShells(w.hotOut, w.hotIn, w.coldIn, w.coldOut, w.shells));
}

INSTANTIATE_TEST_SUITE_P(BowmanUnderwood, FFactorWorked,
                         ::testing::Values(Worked{150, 100, 50, 100, 1, 0.802278},   // R 1, P 0.5
                                           Worked{150, 100, 50, 100, 2, 0.956845},
                                           Worked{200, 140, 40, 120, 1, 0.890606},   // R 0.75, P 0.5
                                           Worked{200, 140, 40, 120, 2, 0.974571},
                                           Worked{120, 60, 20, 50, 1, 0.882889},     // R 2, P 0.3
                                           Worked{120, 90, 20, 80, 1, 0.882889},     // R 0.5, P 0.6
                                           Worked{120, 120, 30, 110, 1, 1.0},        // condensing
                                           Worked{150, 60, 100, 100, 1, 1.0},        // boiling
                                           Worked{100, 60, 70, 90, 1, kLowestFFactor}));  // crossed

TEST(FFactor, NoCancellationCloseToEqualCapacities) {
    double atOne = 0.0, below = 0.0, above = 0.0;
    ASSERT_TRUE(FFactorForShells(1.0, 0.5, 1.0, atOne));
    ASSERT_TRUE(FFactorForShells(1.0 - 1e-9, 0.5, 1.0, below));
    ASSERT_TRUE(FFactorForShells(1.0 + 1e-9, 0.5, 3.0, above));
    EXPECT_NEAR(below, atOne, 1e-9);
    double threeAtOne = 0.0;
    ASSERT_TRUE(FFactorForShells(1.0, 0.5, 3.0, threeAtOne));
    EXPECT_NEAR(above, threeAtOne, 1e-9);
    double beyond = 1.0;
    EXPECT_FALSE(FFactorForShells(1.0, 0.6, 1.0, beyond));  // past the 1-2 limit 0.5858
    EXPECT_EQ(beyond, 0.0);
}

TEST(FFactor, ShellsMeetTheMinimumAtTheBoundary) {
    double F = 1.0, shells = 0.0;
    // F(1) = 0.8023 already meets 0.8: one shell.
    EXPECT_NEAR(g_CalculateFFactorAndShells(100, 150, 50, 100, 0.8, F, shells, 0, 0), 0.802278, 1e-6);
    EXPECT_EQ(shells, 1.0);
    // 0.9 needs 1.34577 shells; F is taken there and agrees with the fixed-shell function.
    g_CalculateFFactorAndShells(100, 150, 50, 100, 0.9, F, shells, 0, 0);
    EXPECT_NEAR(shells, 1.345769, 1e-6);
    EXPECT_GE(F, 0.9);
    EXPECT_NEAR(F, 0.9, 1e-8);
    EXPECT_NEAR(g_CalculateFFactorWithFixedShells(100, 150, 50, 100, shells), F, 1e-12);
    // Same answer for the ends in any order, and on every call.
    double F2 = 0.0, shells2 = 0.0;
    g_CalculateFFactorAndShells(150, 100, 100, 50, 0.9, F2, shells2, 0, 1);
    EXPECT_EQ(F2, F);
    EXPECT_EQ(shells2, shells);
}

TEST(FFactor, ShellsRiseAsTheApproachTightens) {
    double previous = 0.0;
    for (double hotOut : {100.0, 85.0, 70.0, 60.0, 55.0, 52.0}) {
        double F = 1.0, shells = 0.0;
        g_CalculateFFactorAndShells(hotOut, 150, 50, 100, 0.8, F, shells, 0, 0);
        EXPECT_GE(F, 0.8 - 1e-12);
        if (previous > 1.0) {
            EXPECT_GT(shells, previous) << hotOut;
        }
        EXPECT_GE(shells, previous) << hotOut;
        previous = shells;
    }
    EXPECT_GT(previous, 2.0);
}

TEST(FFactor, DegenerateEndsGiveBoundedAnswers) {
    double F = 0.0, shells = 0.0;
    // Condensing hot side: no correction however the cold side runs.
    g_CalculateFFactorAndShells(120, 120, 30, 110, 0.8, F, shells, 0, 0);
    EXPECT_EQ(F, 1.0);
    EXPECT_EQ(shells, 1.0);
    // Crossed ends: capped shell count and the lowest F.
    g_CalculateFFactorAndShells(60, 100, 70, 90, 0.8, F, shells, 0, 0);
    EXPECT_EQ(F, kLowestFFactor);
    EXPECT_EQ(shells, kMaxShellsInSeries);
    // An approach of 0.01 K needs more than the cap: capped, F finite and not below the floor.
    g_CalculateFFactorAndShells(50.01, 150, 50, 149.99, 0.8, F, shells, 0, 0);
    EXPECT_EQ(shells, kMaxShellsInSeries);
    EXPECT_TRUE(std::isfinite(F));
    EXPECT_GE(F, kLowestFFactor);
    // A minimum that is not a number still gives a finite answer.
    g_CalculateFFactorAndShells(100, 150, 50, 100, std::nan(""), F, shells, 0, 0);
    EXPECT_NEAR(F, 0.802278, 1e-6);
    EXPECT_EQ(shells, 1.0);
    // A temperature that is not a number: assertion recorded, no correction.
    Exceptions::ClearRecords();
    g_CalculateFFactorAndShells(std::nan(""), 150, 50, 100, 0.8, F, shells, 0, 0);
    EXPECT_EQ(F, 1.0);
    EXPECT_EQ(shells, 1.0);
    EXPECT_EQ(Exceptions::Count(), 1u);
    Exceptions::ClearRecords();
}

TEST(FFactor, FixedShellsRiseTowardsCountercurrent) {
    const double one = g_CalculateFFactorWithFixedShells(70, 150, 50, 100, 1.0);  // past 1-2 limit
    const double two = g_CalculateFFactorWithFixedShells(70, 150, 50, 100, 2.0);
    const double many = g_CalculateFFactorWithFixedShells(70, 150, 50, 100, 1e6);
    EXPECT_EQ(one, kLowestFFactor);
    EXPECT_GT(two, one);
    EXPECT_GT(many, two);
    EXPECT_NEAR(many, 1.0, 1e-5);
    EXPECT_EQ(g_CalculateFFactorWithFixedShells(100, 150, 50, 100, 0.0),
              g_CalculateFFactorWithFixedShells(100, 150, 50, 100, 1.0));
    EXPECT_EQ(g_CalculateFFactorWithFixedShells(100, 150, 50, 100, std::nan("")),
              g_CalculateFFactorWithFixedShells(100, 150, 50, 100, 1.0));
}

}  // namespace
