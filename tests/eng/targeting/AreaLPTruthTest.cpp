// The area LP against areas worked independently of it: the Bath formula where vertical heat
// transfer is best (equal film coefficients), the least area that forbidden matches leave (worked
// by hand), and a fine transportation LP of our own where unequal coefficients make other
// networks cheaper.
#include "AreaTestSupport.h"

#include "eng/targeting/AreaLP.h"
#include "eng/targeting/BathAreaTarget.h"
#include "traval/IMILPSolver.h"

#include <gtest/gtest.h>

#include <ostream>
#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

using area_test::CurveInputs;
using area_test::StreamScenario;

namespace {

struct StreamRow {
    const char* name;
    double supply, target, cp, h;
};

struct AreaCase {
    const char* name;
    std::vector<StreamRow> streams;
    std::vector<std::pair<const char*, const char*>> forbidden;
    // The area the case needs, worked by hand (0: take the Bath area, -1: the oracle's).
    double expected;
    double tolerance;  // relative
};

// The least countercurrent area of the streams found by a transportation LP over slices of
// `step` degrees of every stream: a slice of a hot stream may give heat to a slice of a cold
// stream whose middle lies at least `approach` below its own, at the cost (1/hh + 1/hc) / dT of
// the two middles; a forbidden pair has no column. Built directly on the solver.
double TransportationMinimum(const std::vector<StreamRow>& streams, const std::set<std::pair<std::string, std::string>>& forbidden,
                             double step, double approach) {
    struct Slice {
        int stream;
        double middle, heat;
    };
    std::vector<Slice> hot, cold;
    for (std::size_t s = 0; s < streams.size(); ++s) {
        const StreamRow& r = streams[s];
        const double lo = std::min(r.supply, r.target), hi = std::max(r.supply, r.target);
        const int n = static_cast<int>(std::lround((hi - lo) / step));
        for (int k = 0; k < n; ++k)
            (r.supply > r.target ? hot : cold).push_back({static_cast<int>(s), lo + (k + 0.5) * step, r.cp * step});
    }
    std::vector<int> rows, cols;
    std::vector<double> values, costs;
    for (std::size_t a = 0; a < hot.size(); ++a)
        for (std::size_t b = 0; b < cold.size(); ++b) {
            const double dt = hot[a].middle - cold[b].middle;
            const StreamRow& h = streams[static_cast<std::size_t>(hot[a].stream)];
            const StreamRow& c = streams[static_cast<std::size_t>(cold[b].stream)];
            if (dt < approach - 1e-9 || forbidden.count({h.name, c.name})) continue;
            const int column = static_cast<int>(costs.size());
            costs.push_back((1.0 / h.h + 1.0 / c.h) / dt);
            rows.push_back(static_cast<int>(a));
            cols.push_back(column);
            values.push_back(1.0);
            rows.push_back(static_cast<int>(hot.size() + b));
            cols.push_back(column);
            values.push_back(1.0);
        }
    std::vector<double> rhs;
    for (const Slice& s : hot) rhs.push_back(s.heat);
    for (const Slice& s : cold) rhs.push_back(s.heat);
    std::unique_ptr<IMILPSolver> solver(IMILPSolver::Create("QEV_XPRESS"));
    const std::string types(rhs.size(), 'e');
    if (!solver->SetSize(static_cast<int>(costs.size()), static_cast<int>(rhs.size())) ||
        !solver->LoadMatrix(static_cast<int>(values.size()), rows.data(), cols.data(), values.data()) ||
        !solver->SetRowTypes(types.c_str()) || !solver->SetRightHandSide(rhs.data()) ||
        !solver->SetObjective(costs.data()) || !solver->Solve())
        return -1.0;
    return solver->GetObjectiveValue();
}

class AreaLPTruth : public ::testing::TestWithParam<AreaCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const AreaCase& c, std::ostream* os) { *os << c.name; }

TEST_P(AreaLPTruth, CountercurrentAreaIsTheLeastTheStreamsNeed) {
    const AreaCase& c = GetParam();
    StreamScenario s;
    for (const StreamRow& r : c.streams) s.Add(r.name, r.supply, r.target, r.cp, r.h);
    CurveInputs bathInputs(s.Segments(), 10.0);
    std::unique_ptr<BathAreaTarget> bath(BathAreaTarget::Update(nullptr, bathInputs.in, 36));
    std::set<std::pair<std::string, std::string>> forbidden;
    for (const auto& [h, cold] : c.forbidden) {
        ASSERT_EQ(s.scenario->FindStream(h)->LinkStream(cold), 1);
        forbidden.insert({h, cold});
    }
    CurveInputs in(s.Segments(), 10.0);
    in.in.matches = s.Matches();
    std::unique_ptr<AreaLP> lp(AreaLP::Update(nullptr, in.in, 36, AreaLP::CountercurrentOnly));
    const double area = lp->GetCountercurrentArea();
    double expected = c.expected;
    if (expected == 0.0) expected = bath->GetCountercurrentArea();
    if (expected < 0.0) expected = TransportationMinimum(c.streams, forbidden, 0.5, 2.0);
    EXPECT_NEAR(area / expected, 1.0, c.tolerance) << c.name;
    // Unequal coefficients: below Bath where a better network exists.
    if (c.expected < 0.0) {
        EXPECT_LT(area, 0.9 * bath->GetCountercurrentArea());
    }

    // No heat and no area on a forbidden pair; the records add up to the total.
    double sum = 0.0;
    for (int i = 0; i < s.Matches()->GetNumberOfMatches(); ++i) sum += s.Matches()->GetMatch(i)->dCountercurrentArea;
    EXPECT_NEAR(sum, area, 1e-6 * area);
    for (const auto& [h, cold] : c.forbidden) {
        const MatchwiseStreamData* m = s.Matches()->FindMatch(s.scenario->FindStream(h), s.scenario->FindStream(cold));
        ASSERT_TRUE(m);
        EXPECT_EQ(m->dFirstValue, 0.0);
        EXPECT_EQ(m->dCountercurrentArea, 0.0);
    }
    for (const LPMatchColumn& col : lp->GetModel()->columns)
        EXPECT_FALSE(forbidden.count({col.pHotSegment->pStream->GetName().c_str(), col.pColdSegment->pStream->GetName().c_str()}));
}

const std::vector<StreamRow> kTwoByTwo = {
    {"H1", 150, 50, 1, 1}, {"H2", 150, 50, 1, 1}, {"C1", 40, 140, 1, 1}, {"C2", 40, 90, 2, 1}};
const std::vector<StreamRow> kTwoByTwoUnequal = {
    {"H1", 150, 50, 1, 0.1}, {"H2", 150, 50, 1, 0.1}, {"C1", 40, 140, 1, 2}, {"C2", 40, 90, 2, 2}};
const std::vector<StreamRow> kTwoByTwoPoor = {
    {"H1", 150, 50, 1, 0.1}, {"H2", 150, 50, 1, 0.1}, {"C1", 40, 140, 1, 0.2}, {"C2", 40, 90, 2, 0.2}};
// Equal CP over ranges 10 K apart; one hot and one cold stream with a poor film coefficient.
const std::vector<StreamRow> kOffsetRanges = {
    {"H1", 150, 50, 1, 0.05}, {"H2", 160, 60, 1, 5}, {"C1", 40, 140, 1, 5}, {"C2", 50, 150, 1, 0.05}};

INSTANTIATE_TEST_SUITE_P(
    Cases, AreaLPTruth,
    ::testing::Values(
        AreaCase{"oneHotTwoCold", {{"H", 150, 50, 2, 1}, {"C1", 30, 130, 1, 1}, {"C2", 30, 130, 1, 1}}, {}, 20.0, 1e-3},
        AreaCase{"twoByTwoEqual", kTwoByTwo, {}, 0.0, 1e-3},
        AreaCase{"twoByTwoForbidden", kTwoByTwo, {{"H1", "C2"}}, 27.167, 5e-3},
        // H1 can give its heat to C1 only, which then takes nothing from H2: H1-C1 at a uniform
        // 10 K (100 kW over 10 K) and H2-C2 countercurrent (ends 60 and 10 K, LMTD 50 / ln 6),
        // times 1/hh + 1/hc = 10.5 and 15.
        AreaCase{"twoByTwoUnequalForbidden", kTwoByTwoUnequal, {{"H1", "C2"}}, 10.5 * (10.0 + 100.0 * std::log(6.0) / 50.0), 5e-3},
        AreaCase{"twoByTwoPoorForbidden", kTwoByTwoPoor, {{"H1", "C2"}}, 15.0 * (10.0 + 100.0 * std::log(6.0) / 50.0), 5e-3},
        AreaCase{"offsetRangesUnequal", kOffsetRanges, {}, -1.0, 1e-2}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
