// Over random stream tables: a supertargeting point is the targets at its DTmin in every figure,
// and the figures of one DTmin hang together (area needs shells and capital, units need area, the
// total annual cost holds the operating cost).
#include "eng/model/Scenario.h"
#include "tests/support/FourStreamProject.h"

#include <gtest/gtest.h>

#include <ostream>
#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

// What kinds of problem a family of random tables makes.
enum class Family { Pinched, ColdUtilityOnly, HotUtilityOnly, OwnContributions };

struct FamilyCase {
    const char* name;
    Family family;
    unsigned seed;
};

struct Row {
    std::string name;
    double supply, target, cp, h, contribution;  // contribution < 0: none
};

// Random process streams with whole-degree temperatures and film coefficients of 0.1 to 1, within
// reach of the factory's steam (250 C) and cooling water (20 C) at every DTmin tried.
std::vector<Row> RandomTable(Family family, std::mt19937& rng) {
    std::uniform_int_distribution<int> count(1, 3), hotSupply(80, 200), coldSupply(30, 130), span(20, 110);
    std::uniform_real_distribution<double> cp(0.5, 5.0), h(0.1, 1.0), contribution(2.0, 12.0);
    const int hot = family == Family::HotUtilityOnly ? 0 : count(rng);
    const int cold = family == Family::ColdUtilityOnly ? 0 : count(rng);
    std::vector<Row> rows;
    for (int i = 0; i < hot + cold; ++i) {
        const bool isHot = i < hot;
        const double a = isHot ? hotSupply(rng) : coldSupply(rng);
        const double b = isHot ? std::max(50.0, a - span(rng)) : std::min(220.0, a + span(rng));
        const double c = family == Family::OwnContributions ? contribution(rng) : -1.0;
        rows.push_back({(isHot ? "H" : "C") + std::to_string(i + 1), a, b, std::round(cp(rng) * 10) / 10, h(rng), c});
    }
    return rows;
}

struct Figures {
    double dtmin, hot, cold, areaCc, areaSt, units, shells, capital, operating, total;
};

Figures TargetsOf(CPIScenario& s) {
    return {s.GetDTmin(),
            s.GetUtilityTarget(0),
            s.GetUtilityTarget(1),
            s.GetAreaTarget(0),
            s.GetAreaTarget(1),
            static_cast<double>(s.GetMinimumNumberOfUnits(1)),
            static_cast<double>(s.GetNumberOfShellsTarget()),
            s.GetCostTarget(7),
            s.GetCostTarget(4),
            s.GetCostTarget(5)};
}

Figures PointOf(const CPIScenario& s, int i) {
    Figures f{};
    double* out = &f.dtmin;
    for (int selector = 1; selector <= 10; ++selector) out[selector - 1] = s.PointTargetValue(i, selector);
    return f;
}

bool Same(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b)); }

class SuperTargetPointProperty : public ::testing::TestWithParam<FamilyCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const FamilyCase& c, std::ostream* os) { *os << c.name; }

TEST_P(SuperTargetPointProperty, EveryPointIsTheTargetsAtItsDTmin) {
    const FamilyCase& c = GetParam();
    std::mt19937 rng(c.seed);
    constexpr int kTables = 40;
    for (int table = 0; table < kTables; ++table) {
        FourStreamProject f(false);
        ASSERT_NE(f.scenario, nullptr);
        const std::vector<Row> rows = RandomTable(c.family, rng);
        std::string described;
        f.scenario->SuspendCalculations();
        for (const Row& r : rows) {
            ASSERT_TRUE(f.AddProcess(r.name.c_str(), r.supply, r.target, r.cp));
            f.Stream(r.name.c_str())->SetValue("HTCoeff", r.h, 0);
            if (r.contribution >= 0) f.Stream(r.name.c_str())->SetDTminContribution(2 * r.contribution, "Local", 0, 0);
            described += r.name + " " + std::to_string(r.supply) + "->" + std::to_string(r.target) + " cp " +
                         std::to_string(r.cp) + " h " + std::to_string(r.h) + " c " + std::to_string(r.contribution) +
                         "; ";
        }
        ASSERT_TRUE(f.AddUtility("HP Steam"));
        ASSERT_TRUE(f.AddUtility("Cooling Water"));
        f.scenario->ResumeCalculations(true);

        f.scenario->CalculateSuperTargets(4.0, 24.0, 5.0);
        const int n = f.scenario->GetNumberOfSuperTargetPoints();
        ASSERT_EQ(5, n) << described;
        std::vector<Figures> points;
        for (int i = 0; i < n; ++i) points.push_back(PointOf(*f.scenario, i));
        for (const Figures& p : points) {
            f.scenario->SetDTmin(p.dtmin);
            const Figures t = TargetsOf(*f.scenario);
            const double* a = &p.dtmin;
            const double* b = &t.dtmin;
            const char* names[] = {"dtmin", "hot", "cold", "area cc", "area st", "units", "shells",
                                   "capital", "operating", "total"};
            for (int k = 0; k < 10; ++k)
                EXPECT_TRUE(Same(a[k], b[k])) << names[k] << " at DTmin " << p.dtmin << ": point " << a[k]
                                              << ", targets " << b[k] << "\n" << described;

            // Where the utilities cover the targets, the figures hang together.
            if (!f.scenario->IsUtilityPlacementValid()) continue;
            if (t.areaSt > 0.0) {
                EXPECT_GE(t.shells, 1.0) << "area " << t.areaSt << " without a shell at " << p.dtmin << "\n" << described;
                EXPECT_GT(t.capital, 0.0) << "area " << t.areaSt << " without capital at " << p.dtmin << "\n" << described;
            }
            if (t.units >= 1.0) {
                EXPECT_GT(t.areaCc, 0.0) << t.units << " units without area at " << p.dtmin << "\n" << described;
            }
            EXPECT_GE(t.total, t.operating * (1 - 1e-12)) << "at " << p.dtmin << "\n" << described;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(RandomTables, SuperTargetPointProperty,
                         ::testing::Values(FamilyCase{"pinched", Family::Pinched, 11u},
                                           FamilyCase{"coldUtilityOnly", Family::ColdUtilityOnly, 23u},
                                           FamilyCase{"hotUtilityOnly", Family::HotUtilityOnly, 37u},
                                           FamilyCase{"ownContributions", Family::OwnContributions, 41u}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
