// Models holding numbers no engineering data has (a damaged case file, a mistyped value) are not
// handed to the engines, which lose their tolerances on them and may abort: the solve answers
// false with a zero solution. Infinite bounds and right-hand sides on the free side stay allowed.
#include "SolverTestModel.h"

#include "dunmor/Exceptions.h"

#include <gtest/gtest.h>

#include <ostream>
#include <limits>
#include <string>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// min x + y with x + y = 4 and x - y >= 0: optimum 4 at (4, 0) or anywhere on the segment.
TestModel Small() {
    TestModel m;
    m.columns = 2;
    m.rows = 2;
    m.Add(0, 0, 1.0);
    m.Add(0, 1, 1.0);
    m.Add(1, 0, 1.0);
    m.Add(1, 1, -1.0);
    m.rightHandSide = {4.0, 0.0};
    m.rowTypes = "eg";
    m.objective = {1.0, 1.0};
    return m;
}

struct RangeCase {
    const char* name;
    void (*damage)(TestModel&);
    bool solved;
    bool asserts;
};

class SolverWorkingRange : public ::testing::TestWithParam<RangeCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.name; }

TEST_P(SolverWorkingRange, RefusesNumbersBeyondItWithoutCallingTheEngines) {
    const RangeCase& c = GetParam();
    TestModel m = Small();
    c.damage(m);
    Exceptions::ClearRecords();
    const TestResult r = SolveTestModel(m);
    EXPECT_EQ(r.solved, c.solved);
    EXPECT_EQ(!Exceptions::Records().empty(), c.asserts);
    if (c.solved) {
        EXPECT_NEAR(r.objective, 4.0, 1e-7);
    } else {
        for (double x : r.solution) EXPECT_EQ(x, 0.0);
        EXPECT_EQ(r.objective, 0.0);
    }
    Exceptions::ClearRecords();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SolverWorkingRange,
    ::testing::Values(
        // A stream's heat-capacity flow rate damaged to about 1e174 once aborted CLP this way.
        RangeCase{"HugeEqualityRightHandSide", [](TestModel& m) { m.rightHandSide[0] = 1.5e174; }, false, true},
        RangeCase{"HugeMatrixElement", [](TestModel& m) { m.tripletValues[0] = -3e21; }, false, true},
        RangeCase{"InfiniteEqualityRightHandSide", [](TestModel& m) { m.rightHandSide[0] = kInf; }, false, false},
        RangeCase{"InfiniteRightHandSideOnTheFreeSide", [](TestModel& m) { m.rightHandSide[1] = -kInf; }, true,
                  false},
        RangeCase{"BoundTakenAsInfinite", [](TestModel& m) { m.bounds = {{0, 0.0, 1e30}}; }, true, false},
        RangeCase{"LargeButWithinRange", [](TestModel& m) { m.Add(1, 0, 0.0); m.bounds = {{1, 0.0, 9e19}}; }, true,
                  false}),
    [](const ::testing::TestParamInfo<RangeCase>& info) { return std::string(info.param.name); });

}  // namespace
