// Which split the capital/utility trade-off hands out once its search is weighed against the
// automatic placement, read at full precision off a real scenario's utility streams (two steam
// levels and cooling water): the automatic
// placement's exact loads where it is cheaper or where the search ended on the same split (within
// 1e-9 of the target, whatever rounding does to the two costs), the search's split where that is
// cheaper and another split.
#include "tests/eng/targeting/PlacementTestSupport.h"

#include "eng/targeting/UtilityPlacement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

using placement_test::FourStreamProject;

namespace {

enum class Kept { Automatic, Search };

struct SplitCase {
    const char* name;
    // name,supply,target,cp,h per process stream, one per line
    const char* rows;
    std::vector<const char*> utilities;
    Kept kept;
};
void PrintTo(const SplitCase& c, std::ostream* out) { *out << c.name; }

struct Placed {
    std::vector<double> loads;
    double totalAnnualCost = 0.0;
};

Placed Read(const FourStreamProject& p, const std::vector<const char*>& utilities) {
    Placed r;
    for (const char* u : utilities) r.loads.push_back(p.Load(u));
    r.totalAnnualCost = p.scenario->GetCostTarget(5);
    return r;
}

class TradeoffSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(TradeoffSplit, KeepsTheAutomaticLoadsWhereTheyAreCheaperOrTheSameSplit) {
    const SplitCase& c = GetParam();
    FourStreamProject p(false);
    ASSERT_NE(p.scenario, nullptr);
    p.scenario->SuspendCalculations();
    std::istringstream rows(c.rows);
    for (std::string line; std::getline(rows, line);) {
        char name[16] = {};
        double supply = 0.0, target = 0.0, cp = 0.0, h = 0.0;
        ASSERT_EQ(5, std::sscanf(line.c_str(), "%15[^,],%lf,%lf,%lf,%lf", name, &supply, &target, &cp, &h)) << line;
        ASSERT_TRUE(p.AddProcess(name, supply, target, cp)) << line;
        ASSERT_EQ(1, p.Stream(name)->SetValue("HTCoeff", h, 0)) << line;
    }
    for (const char* u : c.utilities) ASSERT_TRUE(p.AddUtility(u)) << u;
    p.scenario->ResumeCalculations(true);

    const Placed automatic = Read(p, c.utilities);
    ASSERT_GT(automatic.totalAnnualCost, 0.0);
    ASSERT_EQ(p.scenario->SetUtilityAssignmentMethod(UtilityPlacement::CapitalUtilityTradeoff), 1);
    const Placed tradeoff = Read(p, c.utilities);

    EXPECT_LE(tradeoff.totalAnnualCost, automatic.totalAnnualCost * (1.0 + 1e-12));
    double hot = 0.0, largestMove = 0.0;
    for (std::size_t i = 0; i < c.utilities.size(); ++i) {
        // The last level of each side (the last steam, the cooling water) takes what the others
        // leave of the target, to rounding; the levels before it are the split itself.
        if (c.kept == Kept::Automatic) {
            if (i + 2 < c.utilities.size()) EXPECT_EQ(automatic.loads[i], tradeoff.loads[i]) << c.utilities[i];
            else EXPECT_NEAR(automatic.loads[i], tradeoff.loads[i], 1e-12 * automatic.loads[i]) << c.utilities[i];
        }
        largestMove = std::max(largestMove, std::fabs(automatic.loads[i] - tradeoff.loads[i]));
        if (i + 1 < c.utilities.size()) hot += automatic.loads[i];
    }
    if (c.kept == Kept::Search) {
        EXPECT_GT(largestMove, 1e-9 * hot);
        EXPECT_LT(tradeoff.totalAnnualCost, automatic.totalAnnualCost);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, TradeoffSplit,
    ::testing::Values(
        // The search ends on HP steam's 84.224 kW six ten-trillionths of a kW beside the
        // placement's, and that split costs a rounding less: it is still the placement's split.
        SplitCase{"aTieARoundingCheaper",
                  "H0,132.1,116.0,0.94,0.638\nC1,199.8,212.6,6.58,0.946\nH2,197.6,91.2,3.30,0.292\n"
                  "H3,199.1,55.0,7.61,0.567\n",
                  {"HP Steam", "MP Steam", "Cooling Water"}, Kept::Automatic},
        // The search ends on another split, 2.6 % dearer than the placement.
        SplitCase{"automaticCheaper",
                  "C0,48.7,103.9,7.35,0.515\nC1,81.5,154.0,6.45,0.897\nC2,62.4,118.2,7.90,0.721\n",
                  {"HP Steam", "MP Steam", "Cooling Water"}, Kept::Automatic},
        // The search moves 40 kW onto HP steam and saves 5 % on the placement.
        SplitCase{"searchCheaper",
                  "C0,146.5,203.5,1.14,0.461\nC1,54.1,131.4,5.33,0.867\nC2,107.7,191.5,0.79,0.599\n"
                  "C3,118.6,154.4,0.52,0.912\n",
                  {"HP Steam", "MP Steam", "Cooling Water"}, Kept::Search}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

}  // namespace
