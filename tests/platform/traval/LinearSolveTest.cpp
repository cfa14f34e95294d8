// Linear models through IMILPSolver: optima worked by hand on a small transportation problem.
#include "SolverTestModel.h"

#include "dunmor/Exceptions.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cmath>
#include <limits>

namespace {

constexpr double kTol = 1e-7;

struct TransportCase {
    const char* name;
    double supply0, supply1;
    char supplyType, demandType;
    bool maximiseNegated;       // same problem stated as MAX of the negated costs
    std::vector<int> marked;    // columns excluded from the model
    std::vector<TestBounds> bounds;
    double cost;
    std::vector<double> flows;
};

class TransportationTest : public ::testing::TestWithParam<TransportCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const TransportCase& c, std::ostream* os) { *os << c.name; }

// Hand solutions (transportation simplex, all reduced costs checked strictly positive so the
// optimum is unique):
//  balanced 20/30: plant 0 -> c2 15, c0 5; plant 1 -> c0 5, c1 25; cost 150.
//  plant 0 may send 25: plant 0 -> c0 10, c2 15; plant 1 -> c1 25; cost 135.
//  plant 0 -> c2 closed: plant 0 -> c0 10, c1 10; plant 1 -> c1 15, c2 15; cost 230.
//  plant 0 -> c2 at most 5: plant 0 -> c0 10, c1 5, c2 5; plant 1 -> c1 20, c2 10; cost 200.
TEST_P(TransportationTest, FindsTheHandWorkedOptimum) {
    const TransportCase& c = GetParam();
    TestModel m = Transportation(c.supply0, c.supply1, c.supplyType, c.demandType);
    if (c.maximiseNegated) {
        m.sense = "MAX";
        for (double& v : m.objective) v = -v;
    }
    m.marked = c.marked;
    m.bounds = c.bounds;
    const TestResult r = SolveTestModel(m);
    ASSERT_TRUE(r.solved);
    EXPECT_NEAR(r.objective, c.maximiseNegated ? -c.cost : c.cost, kTol);
    for (int j = 0; j < 6; ++j) EXPECT_NEAR(r.solution[j], c.flows[j], kTol) << "column " << j;
}

INSTANTIATE_TEST_SUITE_P(
    Textbook, TransportationTest,
    ::testing::Values(
        TransportCase{"AllEqual", 20, 30, 'e', 'e', false, {}, {}, 150, {5, 0, 15, 5, 25, 0}},
        TransportCase{"SupplyLessDemandGreater", 20, 30, 'l', 'g', false, {}, {}, 150, {5, 0, 15, 5, 25, 0}},
        TransportCase{"Maximised", 20, 30, 'l', 'g', true, {}, {}, 150, {5, 0, 15, 5, 25, 0}},
        TransportCase{"SpareSupply", 25, 30, 'l', 'g', false, {}, {}, 135, {10, 0, 15, 0, 25, 0}},
        TransportCase{"MarkedColumn", 20, 30, 'e', 'e', false, {2}, {}, 230, {10, 10, 0, 0, 15, 15}},
        TransportCase{"ZeroBounds", 20, 30, 'e', 'e', false, {}, {{2, 0.0, 0.0}}, 230, {10, 10, 0, 0, 15, 15}},
        // The mark holds the column at zero even against wider bounds given after it.
        TransportCase{"MarkedThenBounded", 20, 30, 'e', 'e', false, {2}, {{2, 0.0, 5.0}}, 230, {10, 10, 0, 0, 15, 15}},
        TransportCase{"UpperBound", 20, 30, 'e', 'e', false, {}, {{2, 0.0, 5.0}}, 200, {10, 5, 5, 0, 20, 10}},
        TransportCase{"InfiniteUpper", 20, 30, 'e', 'e', false, {},
                      {{2, 0.0, std::numeric_limits<double>::infinity()}}, 150, {5, 0, 15, 5, 25, 0}}),
    [](const ::testing::TestParamInfo<TransportCase>& info) { return std::string(info.param.name); });

struct FailureCase {
    const char* name;
    TestModel model;
};

class FailingModelTest : public ::testing::TestWithParam<FailureCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

TEST_P(FailingModelTest, AnswersFalseWithZeroSolution) {
    const TestModel& m = GetParam().model;
    const TestResult r = SolveTestModel(m);
    EXPECT_FALSE(r.solved);
    for (double x : r.solution) EXPECT_EQ(x, 0.0);
    EXPECT_EQ(r.objective, 0.0);
}

TestModel Infeasible() {  // x >= 5 and x <= 3
    TestModel m;
    m.columns = 1;
    m.rows = 2;
    m.Add(0, 0, 1.0);
    m.Add(1, 0, 1.0);
    m.rightHandSide = {5, 3};
    m.rowTypes = "gl";
    m.objective = {1};
    return m;
}

TestModel Unbounded() {  // min -x - y with x - y <= 1
    TestModel m;
    m.columns = 2;
    m.rows = 1;
    m.Add(0, 0, 1.0);
    m.Add(0, 1, -1.0);
    m.rightHandSide = {1};
    m.rowTypes = "l";
    m.objective = {-1, -1};
    return m;
}

TestModel DemandAboveSupply() { return Transportation(10, 10, 'l', 'g'); }

TestModel EmptyRowWithRightHandSide() {  // 0 = 3 can never hold
    TestModel m = Infeasible();
    m.rows = 3;
    m.rightHandSide = {1, 3, 3};
    m.rowTypes = "gle";
    return m;
}

TestModel IntegerInfeasible() {  // binary x with 2x = 1
    TestModel m;
    m.columns = 1;
    m.rows = 1;
    m.Add(0, 0, 2.0);
    m.rightHandSide = {1};
    m.rowTypes = "e";
    m.objective = {1};
    m.integers = {0};
    return m;
}

TestModel IntegerUnbounded() {  // integer x >= 0 unbounded, min -x
    TestModel m = IntegerInfeasible();
    m.rowTypes = "g";
    m.objective = {-1};
    m.bounds = {{0, 0.0, std::numeric_limits<double>::infinity()}};
    return m;
}

TestModel NoColumnsUnmetRow() {
    TestModel m;
    m.rows = 1;
    m.rightHandSide = {1};
    m.rowTypes = "e";
    return m;
}

INSTANTIATE_TEST_SUITE_P(
    Models, FailingModelTest,
    ::testing::Values(FailureCase{"Infeasible", Infeasible()}, FailureCase{"Unbounded", Unbounded()},
                      FailureCase{"DemandAboveSupply", DemandAboveSupply()},
                      FailureCase{"EmptyRowWithRightHandSide", EmptyRowWithRightHandSide()},
                      FailureCase{"IntegerInfeasible", IntegerInfeasible()},
                      FailureCase{"IntegerUnbounded", IntegerUnbounded()},
                      FailureCase{"NoColumnsUnmetRow", NoColumnsUnmetRow()}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST(LinearSolve, FailedResolveClearsAnEarlierSolution) {
    TestModel m = Transportation(20, 30, 'e', 'e');
    auto solver = LoadTestModel(m);
    ASSERT_TRUE(solver->Solve());
    EXPECT_NEAR(solver->GetObjectiveValue(), 150.0, kTol);
    const double tooLittle[5] = {10, 10, 10, 25, 15};
    ASSERT_TRUE(solver->SetRightHandSide(tooLittle));
    EXPECT_FALSE(solver->Solve());
    const double* x = solver->GetSolution();
    for (int j = 0; j < 6; ++j) EXPECT_EQ(x[j], 0.0);
    EXPECT_EQ(solver->GetObjectiveValue(), 0.0);
}

TEST(LinearSolve, SizesAreCheckedAndResetTheModel) {
    Exceptions::ClearRecords();
    std::unique_ptr<IMILPSolver> solver(IMILPSolver::Create("QEV_XPRESS"));
    ASSERT_TRUE(solver);
    EXPECT_FALSE(solver->SetSize(-1, 3));
    EXPECT_FALSE(solver->SetSize(3, std::numeric_limits<int>::max()));
    EXPECT_GT(Exceptions::Count(), 0u);
    Exceptions::ClearRecords();

    // A second SetSize starts over: the old matrix (x = 5) is gone, so min -x is unbounded...
    ASSERT_TRUE(solver->SetSize(1, 1));
    const int r[1] = {0}, c[1] = {0};
    const double v[1] = {1.0};
    const double rhs[1] = {5.0};
    const double obj[1] = {-1.0};
    solver->LoadMatrix(1, r, c, v);
    solver->SetRightHandSide(rhs);
    solver->SetObjective(obj);
    ASSERT_TRUE(solver->Solve());
    EXPECT_NEAR(solver->GetSolution()[0], 5.0, kTol);
    ASSERT_TRUE(solver->SetSize(1, 1));
    solver->SetObjective(obj);
    EXPECT_FALSE(solver->Solve());
    // ...and the empty 'e' row with rhs 0 plus a zero objective leaves x = 0 optimal.
    ASSERT_TRUE(solver->SetSize(1, 1));
    EXPECT_TRUE(solver->Solve());
    EXPECT_EQ(solver->GetSolution()[0], 0.0);
}

}  // namespace
