// Supertargeting: fixed steps, the golden-section search with whole-degree rounding, the
// refinement, the optimum bracket and the record, driven through a scenario whose target
// builders give a known cost curve over DTmin, and through a bare point source.
#include "brasko/LurmetBinaryFile.h"
#include "eng/model/Scenario.h"
#include "eng/model/SuperTargetRange.h"
#include "tests/eng/model/ScenarioTestDoubles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

using scenario_test::FakeDesign;
using scenario_test::FakeDesignFactory;
using scenario_test::RecordingReceiver;

namespace {

using CostCurve = std::function<double(double)>;

// Cost targets as functions of the scenario's DTmin; logs the DTmin of every recalculation.
class CurveBuilders : public NullTargetRecordBuilders {
public:
    CapitalCostTarget* UpdateCapitalCostTarget(CapitalCostTarget* r, IHeatIntegrationScenario& s, int code) override {
        if (code == FreeRecords) return NullTargetRecordBuilders::UpdateCapitalCostTarget(r, s, code);
        if (!r) r = new CapitalCostTarget;
        r->dValue = capital(s.GetDTmin());
        recalculatedAt.push_back(s.GetDTmin());
        return r;
    }
    CostTargetValue* UpdateOperatingCostTarget(CostTargetValue* r, IHeatIntegrationScenario& s, int code) override {
        if (code == FreeRecords) return NullTargetRecordBuilders::UpdateOperatingCostTarget(r, s, code);
        if (!r) r = new CostTargetValue;
        r->dValue = operating(s.GetDTmin());
        return r;
    }
    CostTargetValue* UpdateTotalAnnualCostTarget(CostTargetValue* r, IHeatIntegrationScenario& s, int code) override {
        if (code == FreeRecords) return NullTargetRecordBuilders::UpdateTotalAnnualCostTarget(r, s, code);
        if (!r) r = new CostTargetValue;
        r->dValue = total(s.GetDTmin());
        return r;
    }

    CostCurve capital = [](double) { return 1000.0; };
    CostCurve operating = [](double) { return 1.0; };
    CostCurve total = [](double dt) { return 100.0 + (dt - 25.0) * (dt - 25.0); };
    std::vector<double> recalculatedAt;
};

// A scenario whose composite curves span 70 (hot, first point) to 18 (cold, last point): the
// search runs from 2.0001 to 52.
class CurveScenario : public CPIScenario {
public:
    using CPIScenario::CPIScenario;
    double GetTargetCurveValue(int kind, int coordinate, int index) const override {
        if (coordinate != 0) return 0.0;
        if (kind == 3 && index == 0) return hotFirst;
        if (kind == 4 && index == 2) return coldLast;
        return 0.0;
    }
    int GetNumberOfCurvePoints(int kind) const override { return kind == 3 || kind == 4 ? 3 : 0; }
    double hotFirst = 70.0;
    double coldLast = 18.0;
};

struct Fixture {
    Fixture() : builders(std::make_shared<CurveBuilders>()), designs(std::make_shared<FakeDesignFactory>()) {
        ScenarioServices services;
        services.builders = builders;
        services.designs = designs;
        scenario = std::make_unique<CurveScenario>(nullptr, services);
        scenario->AddNotificationReceiver(&view);
    }
    ~Fixture() { scenario->RemoveNotificationReceiver(&view); }
    void AddStream() {
        scenario->AddStream("H1", 0);
        CPIHeatIntegrationStream* s = scenario->FindStream("H1");
        s->SetValue("Temperature", 150.0, 0);
        s->SetValue("Temperature", 50.0, 1);
        s->SetValue("HeatCapacityFlowrate", 2.0, 0);
        builders->recalculatedAt.clear();
        view.changes.clear();
    }
    std::vector<double> PointDTmins() const {
        std::vector<double> out;
        for (int i = 0; i < scenario->GetNumberOfSuperTargetPoints(); ++i) out.push_back(scenario->PointTargetValue(i, 1));
        return out;
    }

    std::shared_ptr<CurveBuilders> builders;
    std::shared_ptr<FakeDesignFactory> designs;
    std::unique_ptr<CurveScenario> scenario;
    RecordingReceiver view;
};

// ---------------------------------------------------------------- through the scenario

// Points of the search in the order they are computed when the utility placement is never
// settled (status 0): the bracket moves left until the inner points are a degree apart. The
// first inner point is ceil(2.0001 + 49.9999 x 0.381966) = 22.
TEST(SuperTargetScenario, SearchRoundsToWholeDegreesAndRestoresTheDTmin) {
    Fixture f;
    f.AddStream();
    f.scenario->RecalculateSuperTargets();
    const std::vector<double> order = {2.0001, 22, 33, 52, 14, 10, 7, 5, 4};
    ASSERT_EQ(f.builders->recalculatedAt.size(), order.size() + 1);
    for (std::size_t i = 0; i < order.size(); ++i) EXPECT_DOUBLE_EQ(f.builders->recalculatedAt[i], order[i]) << i;
    // The targets are recalculated at the scenario's own DTmin last.
    EXPECT_DOUBLE_EQ(f.builders->recalculatedAt.back(), 10.0);
    EXPECT_DOUBLE_EQ(f.scenario->GetDTmin(), 10.0);
    EXPECT_DOUBLE_EQ(f.scenario->GetSuperTargetRange()->dRangeEnd, 52.0);
    EXPECT_EQ(f.PointDTmins(), (std::vector<double>{2.0001, 4, 5, 7, 10, 14, 22, 33, 52}));
    const Notice* done = f.view.Last(64);
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(done->text, "");
    // Cheapest at 22 (cost 109), then 33 (164) and 14 (221): 22 lies between them.
    double upper = 0.0, lower = 0.0;
    f.scenario->GetSuperTargetOptimum(upper, lower);
    EXPECT_DOUBLE_EQ(upper, 33.0);
    EXPECT_DOUBLE_EQ(lower, 14.0);
}

TEST(SuperTargetScenario, ZeroCostStartSamplesTheRangeAtFivePercentSteps) {
    Fixture f;
    f.builders->total = [](double) { return 0.0; };
    f.AddStream();
    f.scenario->RecalculateSuperTargets();
    const std::vector<double> dt = f.PointDTmins();
    ASSERT_EQ(dt.size(), 20u);
    EXPECT_DOUBLE_EQ(dt[0], 2.0001);
    // 2.0001 + 49.9999 x k / 20 rounded up: 4.5 -> 5, 7.0 -> 8, ..., 49.5 -> 50.
    EXPECT_DOUBLE_EQ(dt[1], 5.0);
    EXPECT_DOUBLE_EQ(dt[2], 8.0);
    EXPECT_DOUBLE_EQ(dt[19], 50.0);
    EXPECT_DOUBLE_EQ(f.scenario->GetDTmin(), 10.0);
}

struct StepCase {
    double from, to, step;
    std::vector<double> expected;
};
void PrintTo(const StepCase& c, std::ostream* os) {
    *os << c.from << " to " << c.to << " by " << c.step << ": " << c.expected.size() << " points";
}

class FixedSteps : public ::testing::TestWithParam<StepCase> {};

TEST_P(FixedSteps, ComputeEachStepOrRefuseTheRange) {
    Fixture f;
    f.AddStream();
    f.scenario->CalculateSuperTargets(GetParam().from, GetParam().to, GetParam().step);
    EXPECT_EQ(f.PointDTmins(), GetParam().expected);
    EXPECT_DOUBLE_EQ(f.scenario->GetDTmin(), 10.0);
    const bool refused = GetParam().expected.empty();
    EXPECT_EQ(f.scenario->GetSuperTargetRange() == nullptr, refused);
    EXPECT_EQ(f.view.Count(64) > 0, !refused);
    if (!refused) {
        EXPECT_DOUBLE_EQ(f.builders->recalculatedAt.back(), 10.0);
    }
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(Ranges, FixedSteps,
                         ::testing::Values(StepCase{2.0, 50.0, 12.0, {2, 14, 26, 38, 50}},
                                           // A step beyond the range computes only its start.
                                           StepCase{2.0, 5.0, 10.0, {2}},
                                           // 0.1 steps are counted from the start, not accumulated;
                                           // 3 x 0.1 overshoots 0.3 by rounding and is the end itself.
                                           StepCase{0.0, 0.3, 0.1, {0.0, 0.1, 0.2, 0.3}},
                                           StepCase{2.0, 50.0, 0.0, {}},
                                           StepCase{2.0, 50.0, kNaN, {}},
                                           // More points than a run may take.
                                           StepCase{2.0, 50.0, 0.001, {}}));

TEST(SuperTargetScenario, FixedStepsSetTheOptimumBracket) {
    Fixture f;
    f.AddStream();
    f.scenario->CalculateSuperTargets(10.0, 40.0, 10.0);
    // Costs 325, 125, 125, 325 at 10, 20, 30, 40: cheapest 20, then 30 and 10.
    double upper = 0.0, lower = 0.0;
    f.scenario->GetSuperTargetOptimum(upper, lower);
    EXPECT_DOUBLE_EQ(upper, 30.0);
    EXPECT_DOUBLE_EQ(lower, 10.0);
    EXPECT_EQ(f.scenario->HasSuperTargetPointAtDTmin(30.0), 1);
}

TEST(SuperTargetScenario, AddedPointsAreUniqueAndKeepTheScenarioDTmin) {
    Fixture f;
    f.AddStream();
    f.scenario->AddSuperTargetPoint(20.0);
    f.scenario->AddSuperTargetPoint(20.0);
    f.scenario->AddSuperTargetPoint(-32767.0);
    f.scenario->AddSuperTargetPoint(kNaN);
    EXPECT_EQ(f.PointDTmins(), std::vector<double>{20.0});
    EXPECT_EQ(f.scenario->GetSuperTargetRange()->requestedValues, std::vector<double>{20.0});
    // One recalculation at 20 and one back at 10: refused values cost nothing.
    EXPECT_EQ(f.builders->recalculatedAt, (std::vector<double>{20.0, 10.0}));
    // A recalculation keeps the requested value among its points.
    f.scenario->CalculateSuperTargets(10.0, 12.0, 5.0);
    EXPECT_EQ(f.PointDTmins(), std::vector<double>{10.0});
    f.scenario->RecalculateSuperTargets();
    EXPECT_EQ(f.scenario->HasSuperTargetPointAtDTmin(20.0), 1);
    const std::vector<double> dt = f.PointDTmins();
    EXPECT_NE(std::find(dt.begin(), dt.end(), 20.0), dt.end());
}

// ---------------------------------------------------------------- through a bare point source

class CurveSource : public ISuperTargetPointSource {
public:
    double GetDTmin() const override { return dtMin; }
    void RestoreDTmin(double d) override {
        dtMin = d;
        ++restores;
    }
    SuperTargetPointRecord CalculatePoint(double d) override {
        computed.push_back(d);
        SuperTargetPointRecord p{};
        p.values[0] = d;
        p.values[7] = 1000.0;
        p.values[8] = 1.0;
        p.values[9] = total(d);
        p.count = settled(d) ? 1 : 0;
        dtMin = d;
        return p;
    }
    double GetSearchRangeEnd() const override { return end; }

    double dtMin = 10.0;
    double end = 52.0;
    int restores = 0;
    CostCurve total;
    std::function<bool(double)> settled = [](double) { return true; };
    std::vector<double> computed;
};

// A sharp minimum at 30 with a settled placement everywhere: the golden section follows the
// costs; the search ends by the half-cost rule and refines its last bracket.
TEST(SuperTargetSearch, GoldenSectionClosesOnTheLeastCost) {
    CurveSource source;
    source.total = [](double dt) { return 1.0 + (dt - 30.0) * (dt - 30.0); };
    SuperTargetRange range;
    range.Search(source);
    EXPECT_DOUBLE_EQ(source.dtMin, 10.0);
    EXPECT_EQ(source.restores, 1);
    // Start 2.0001 (785), 22 (65), 33 (10), end 52 (485): the bracket moves right.
    ASSERT_GE(source.computed.size(), 5u);
    EXPECT_DOUBLE_EQ(source.computed[1], 22.0);
    EXPECT_DOUBLE_EQ(source.computed[2], 33.0);
    EXPECT_DOUBLE_EQ(source.computed[3], 52.0);
    EXPECT_DOUBLE_EQ(source.computed[4], 41.0);  // new inner right: ceil(2.0001 + 49.9999 x 0.763932)
    EXPECT_LE(range.dOptimumLower, 30.0);
    EXPECT_GE(range.dOptimumUpper, 30.0);
    EXPECT_LE(range.dOptimumUpper - range.dOptimumLower, 6.0);
    EXPECT_TRUE(std::is_sorted(range.points.begin(), range.points.end(),
                               [](const auto& a, const auto& b) { return a.values[0] < b.values[0]; }));
}

// Targets that fail (zero cost) everywhere but at the start: the inner costs always tie and never
// exceed half of the outer ones, so only the iteration bound ends the search; each move computes
// two points, then the refinement samples the last bracket.
TEST(SuperTargetSearch, EveryLoopIsBounded) {
    CurveSource source;
    source.total = [](double dt) { return dt < 3.0 ? 1000.0 : 0.0; };
    SuperTargetRange range;
    range.Search(source);
    EXPECT_EQ(source.computed.size(),
              4u + 2u * SuperTargetRange::kMaxSearchIterations + (SuperTargetRange::kRefinementDivisions - 1));
    EXPECT_DOUBLE_EQ(source.dtMin, 10.0);
    // Only the start has a cost: the bracket is that point.
    EXPECT_DOUBLE_EQ(range.dOptimumLower, 2.0001);
    EXPECT_DOUBLE_EQ(range.dOptimumUpper, 2.0001);
}

// ---------------------------------------------------------------- optimum bracket

struct BracketCase {
    const char* name;
    std::vector<std::pair<double, double>> points;  // DTmin, total annual cost
    double upper, lower;
};

void PrintTo(const BracketCase& c, std::ostream* os) { *os << c.name; }

class OptimumBracket : public ::testing::TestWithParam<BracketCase> {};

TEST_P(OptimumBracket, FromTheThreeCheapestPoints) {
    Fixture f;
    SuperTargetRange& range = f.scenario->EnsureSuperTargetRange();
    for (const auto& [dt, cost] : GetParam().points) {
        SuperTargetPointRecord p{};
        p.values[0] = dt;
        p.values[9] = cost;
        range.points.push_back(p);
    }
    range.FindOptimumBracket();
    double upper = 0.0, lower = 0.0;
    f.scenario->GetSuperTargetOptimum(upper, lower);
    EXPECT_DOUBLE_EQ(upper, GetParam().upper);
    EXPECT_DOUBLE_EQ(lower, GetParam().lower);
}

INSTANTIATE_TEST_SUITE_P(
    Points, OptimumBracket,
    ::testing::Values(BracketCase{"CheapestBetween", {{10, 150}, {20, 100}, {30, 200}}, 30, 10},
                      BracketCase{"ThirdBelowSecond", {{30, 100}, {20, 150}, {10, 200}}, 30, 20},
                      BracketCase{"SecondAndThirdSameDTmin", {{30, 100}, {10, 150}, {10, 200}}, -32767, -32767},
                      BracketCase{"ZeroCostsRankLast", {{30, 0}, {20, 100}, {10, 150}}, 20, 10},
                      BracketCase{"OneUsable", {{20, 100}}, 20, 20},
                      BracketCase{"NoPoints", {}, -32767, -32767}),
    [](const ::testing::TestParamInfo<BracketCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- record

SuperTargetRange SampleRange() {
    SuperTargetRange range;
    range.dRangeEnd = 52.0;
    range.dThirdRangeValue = 1.0;
    range.dBaseCostValue = 40.0;
    for (double dt : {10.0, 20.0, 30.0}) {
        SuperTargetPointRecord p{};
        for (int i = 0; i < 10; ++i) p.values[i] = dt + i;
        p.values[9] = 100.0 + std::fabs(dt - 20.0);
        p.count = dt < 25.0 ? 1 : 0;
        p.eleventh = dt / 10.0;
        range.points.push_back(p);
    }
    range.requestedValues = {20.0, 7.5};
    return range;
}

TEST(SuperTargetRecord, RoundTripsAndFindsTheBracketAgain) {
    const SuperTargetRange original = SampleRange();
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(original.Store(out));
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    SuperTargetRange read;
    ASSERT_TRUE(read.Recall(in));
    EXPECT_DOUBLE_EQ(read.dRangeStart, 2.0001);
    EXPECT_DOUBLE_EQ(read.dRangeEnd, 52.0);
    EXPECT_DOUBLE_EQ(read.dBaseCostValue, 40.0);
    ASSERT_EQ(read.points.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        for (int v = 0; v < 10; ++v) EXPECT_DOUBLE_EQ(read.points[i].values[v], original.points[i].values[v]);
        EXPECT_EQ(read.points[i].count, original.points[i].count);
        EXPECT_DOUBLE_EQ(read.points[i].eleventh, original.points[i].eleventh);
    }
    EXPECT_EQ(read.requestedValues, original.requestedValues);
    EXPECT_DOUBLE_EQ(read.dOptimumUpper, 30.0);
    EXPECT_DOUBLE_EQ(read.dOptimumLower, 10.0);
}

// Version 1: points without their eleventh value, no base-cost value.
TEST(SuperTargetRecord, ReadsTheFirstVersion) {
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    RecordHandle h, p;
    ASSERT_TRUE(out.BeginRecord(h, 1));
    out.WriteDouble(2.0001);
    out.WriteDouble(40.0);
    out.WriteDouble(1.0);
    out.WriteInt(1);
    out.WriteInt(1);
    out.BeginRecord(p, 1);
    for (int i = 0; i < 10; ++i) out.WriteDouble(i == 0 ? 15.0 : 50.0);
    out.WriteInt(1);
    out.EndRecord(p);
    out.WriteInt(0);
    ASSERT_TRUE(out.EndRecord(h));

    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    SuperTargetRange read;
    read.dBaseCostValue = 9.0;
    ASSERT_TRUE(read.Recall(in));
    ASSERT_EQ(read.points.size(), 1u);
    EXPECT_DOUBLE_EQ(read.points[0].values[0], 15.0);
    EXPECT_DOUBLE_EQ(read.points[0].eleventh, 0.0);
    EXPECT_DOUBLE_EQ(read.dBaseCostValue, 0.0);
    EXPECT_TRUE(read.requestedValues.empty());
    EXPECT_DOUBLE_EQ(read.dOptimumUpper, 15.0);
}

}  // namespace
