// The Bath area's merged points in a scenario: after a calculation the target lets them go and
// makes them again when they are read. What is read then must be what the calculation computed,
// bit for bit, even when the scenario changed since without recalculating (its calculations
// held), and the totals and the curves around them must not move.
#include "tests/support/FourStreamProject.h"

#include "eng/targeting/AreaTarget.h"
#include "eng/targeting/CompositeCurves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

// A table of process streams drawn from a seed, film coefficients on
// every stream and the two factory utilities the scale benchmarks take.
struct TableCase {
    const char* name;
    int streams;
    unsigned seed;
};
void PrintTo(const TableCase& c, std::ostream* os) { *os << c.name; }

void Enter(FourStreamProject& p, const TableCase& c) { ASSERT_TRUE(p.AddRandomTable(c.streams, c.seed)); }

// Every stored value of every point, as bytes.
std::vector<unsigned char> Bytes(const std::vector<BathInterval>& points) {
    std::vector<unsigned char> bytes;
    for (const BathInterval& p : points)
        for (int v = 0; v < BathInterval::StoredValues; ++v) {
            const double x = p.Value(v);
            unsigned char b[sizeof x];
            std::memcpy(b, &x, sizeof x);
            bytes.insert(bytes.end(), b, b + sizeof x);
        }
    return bytes;
}

BathAreaTarget* BathOf(const CPIScenario& scenario) {
    const AreaTarget* record = scenario.GetAreaTargetRecord();
    return record ? record->pBath.get() : nullptr;
}

// The points a target computes without letting them go, on the scenario's balanced curves and
// segments as they stand.
std::vector<BathInterval> ComputedAgain(const CPIScenario& scenario, const BathAreaTarget& kept) {
    BathAreaTarget fresh(kept.GetDTmin(), kept.GetMinimumFFactor(), kept.GetPinchPoints());
    std::vector<StreamSegment*> pool;
    for (StreamSegment* s : *scenario.GetSegmentPool()) pool.push_back(s);
    fresh.Calculate(scenario.GetCompositeCurvesRecord()->GetCurve(CompositeCurves::BalancedSlot), pool);
    return *fresh.GetIntervals();
}

class BathPointsLetGo : public ::testing::TestWithParam<TableCase> {};

TEST_P(BathPointsLetGo, PointsReadLaterAreThePointsComputed) {
    FourStreamProject p(false);
    ASSERT_NE(p.scenario, nullptr);
    Enter(p, GetParam());
    BathAreaTarget* bath = BathOf(*p.scenario);
    ASSERT_NE(bath, nullptr);
    ASSERT_EQ(bath->GetState(), BathAreaTarget::Computed);
    EXPECT_TRUE(bath->HasLetGoOfPoints());
    const int count = p.scenario->GetNumberOfAreaTargetMatches();
    ASSERT_GT(count, 2);
    const double area = bath->GetShellAndTubeArea();
    const int shells = bath->GetShells();

    const std::vector<BathInterval> computed = ComputedAgain(*p.scenario, *bath);
    ASSERT_EQ(static_cast<int>(computed.size()), count);
    const std::vector<unsigned char> read = Bytes(*bath->GetIntervals());
    EXPECT_FALSE(bath->HasLetGoOfPoints());
    EXPECT_TRUE(read == Bytes(computed));
    EXPECT_EQ(area, bath->GetShellAndTubeArea());
    EXPECT_EQ(shells, bath->GetShells());
}

// A stream changed while the calculations are held: the targets keep what they were computed
// from until the scenario recalculates, the points read in between included. The twin scenario
// reads them untouched.
TEST_P(BathPointsLetGo, AChangeHeldFromTheTargetsDoesNotReachThePoints) {
    FourStreamProject changed(false), twin(false);
    ASSERT_NE(changed.scenario, nullptr);
    ASSERT_NE(twin.scenario, nullptr);
    Enter(changed, GetParam());
    Enter(twin, GetParam());
    ASSERT_TRUE(BathOf(*changed.scenario)->HasLetGoOfPoints());

    changed.scenario->SuspendCalculations();
    IHeatIntegrationStream* s1 = changed.Stream("S1");
    ASSERT_NE(s1, nullptr);
    ASSERT_EQ(s1->SetValue("HTCoeff", 7.5, 0), 1);
    ASSERT_EQ(s1->SetValue("Temperature", s1->GetSupplyTemperature() + 3.0, 0), 1);
    ASSERT_EQ(changed.scenario->DeleteStream("S2"), 1);

    const int count = twin.scenario->GetNumberOfAreaTargetMatches();
    ASSERT_EQ(changed.scenario->GetNumberOfAreaTargetMatches(), count);
    for (int selector : {0, 1, 2, 3, 4, 5, 6, 7, 11, 13, 14, 15})
        for (int i = 0; i < count; ++i) {
            const double a = changed.scenario->GetAreaTargetMatchValue(selector, i);
            const double b = twin.scenario->GetAreaTargetMatchValue(selector, i);
            ASSERT_EQ(0, std::memcmp(&a, &b, sizeof a)) << "selector " << selector << ", point " << i;
        }
    // Once it recalculates, the scenario's points are those of the changed table.
    changed.scenario->ResumeCalculations(true);
    BathAreaTarget* bath = BathOf(*changed.scenario);
    ASSERT_NE(bath, nullptr);
    EXPECT_TRUE(Bytes(*bath->GetIntervals()) == Bytes(ComputedAgain(*changed.scenario, *bath)));
}

INSTANTIATE_TEST_SUITE_P(
    Tables, BathPointsLetGo,
    ::testing::Values(TableCase{"TwelveStreams", 12, 3}, TableCase{"SixtyStreams", 60, 11},
                      TableCase{"TwoHundredStreams", 200, 29}),
    [](const ::testing::TestParamInfo<TableCase>& info) { return std::string(info.param.name); });

}  // namespace
