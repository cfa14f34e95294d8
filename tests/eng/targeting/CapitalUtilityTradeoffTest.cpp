// The capital/utility trade-off on the four-stream problem (H1 170->60 CP 3, H2 150->30 CP 1.5,
// C1 20->135 CP 2, C2 80->140 CP 4; at DTmin 10 minimum hot utility 20 kW, cold 60 kW, pinch
// 90/80): the steps on numbers, the statuses of the check, the single-utility case, two steam
// levels, the record and the utility placement that uses it.
#include "tests/eng/targeting/PlacementTestSupport.h"

#include "brasko/DefaultManager.h"
#include "brasko/LurmetBinaryFile.h"
#include "dunmor/Exceptions.h"
#include "eng/targeting/CapitalUtilityTradeoff.h"
#include "eng/targeting/EnergyTarget.h"
#include "eng/targeting/UtilityPlacement.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using placement_test::FourStreamProject;

namespace {

constexpr double kTol = 1e-7;

// ---------------------------------------------------------------- the golden-section search

struct SearchCase {
    std::string name;
    std::function<double(double)> cost;
    double t;           // where the minimum lies
    double value;       // the cost there
    int maxEvaluations;
};

class GoldenSection : public ::testing::TestWithParam<SearchCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const SearchCase& c, std::ostream* os) { *os << c.name; }

TEST_P(GoldenSection, FindsTheMinimumWithinTheBracket) {
    const SearchCase& c = GetParam();
    int calls = 0;
    double last = -1.0;
    const TradeoffSteps::SearchResult r = TradeoffSteps::GoldenSectionSearch([&](double t) {
        ++calls;
        last = t;
        EXPECT_GE(t, 0.0);
        EXPECT_LE(t, 1.0);
        return c.cost(t);
    });
    EXPECT_EQ(r.evaluations, calls);
    EXPECT_LE(calls, c.maxEvaluations);
    // The point taken is the one evaluated last: the trade-off keeps the costs of that evaluation.
    EXPECT_EQ(last, r.t);
    EXPECT_EQ(c.cost(r.t), r.value);
    // The bracket ends no wider than 0.01, its midpoint within half of that of the minimum.
    EXPECT_NEAR(r.t, c.t, 0.006);
    // Both interior values lie in that bracket: on these slopes within 0.01 of the minimum.
    EXPECT_NEAR(r.value, c.value, 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    Costs, GoldenSection,
    ::testing::Values(
        SearchCase{"Parabola", [](double t) { return 1.0 + (t - 0.3) * (t - 0.3); }, 0.3, 1.0, 16},
        SearchCase{"Rising", [](double t) { return 5.0 + t; }, 0.0, 5.0, 16},
        // Any move costs more than ten thousand times nothing: two evaluations end it at 0, and
        // the start is evaluated again to be the last.
        SearchCase{"ClearAtZero", [](double t) { return t == 0.0 ? 1.0 : 1e5; }, 0.0, 1.0, 3},
        // A flat cost: both interior values are always equal, the bracket closes on the middle.
        SearchCase{"Flat", [](double) { return 3.0; }, 0.5, 3.0, 16},
        // Falling to the end of the range: the bracket stops 0.005 short, the end itself is cheaper.
        SearchCase{"FallingToTheEnd", [](double t) { return 5.0 - t; }, 1.0, 4.0, 16},
        // The last unit and shell of the utility emptied go only when none of its load is left.
        SearchCase{"LastUnitGoesOnlyAtTheEnd", [](double t) { return t < 1.0 ? 10.0 - t : 2.0; }, 1.0, 2.0, 16},
        // Every move costs more than none (but not ten thousand times more): the start is kept.
        SearchCase{"NoMoveDearerThanTheStart", [](double t) { return t == 0.0 ? 1.0 : 1.5; }, 0.0, 1.0, 16}),
    [](const ::testing::TestParamInfo<SearchCase>& info) { return info.param.name; });

// ---------------------------------------------------------------- one side's pass

struct PassCase {
    std::string name;
    int utilities;
    double target;
    // What each step k = 1 .. n - 1 answers: the load left behind and where.
    std::vector<std::pair<double, int>> answers;
    std::vector<double> loads;          // the list after the pass
    std::vector<double> handedOut;      // what AssignLoadsToStreams then gives each utility
};

class SidePass : public ::testing::TestWithParam<PassCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const PassCase& c, std::ostream* os) { *os << c.name; }

TEST_P(SidePass, StoresEachStepAndTheRemainder) {
    const PassCase& c = GetParam();
    std::vector<double> loads(static_cast<std::size_t>(c.utilities - 1), 0.0);
    std::vector<int> asked;
    TradeoffSteps::FillSideLoads(c.utilities, c.target, loads, [&](int k) {
        asked.push_back(k);
        return c.answers[static_cast<std::size_t>(k - 1)];
    });
    ASSERT_EQ(asked.size(), c.answers.size());
    for (std::size_t i = 0; i < asked.size(); ++i) EXPECT_EQ(asked[i], static_cast<int>(i) + 1);
    ASSERT_EQ(loads.size(), c.loads.size());
    for (std::size_t i = 0; i < loads.size(); ++i) EXPECT_NEAR(loads[i], c.loads[i], kTol) << i;

    placement_test::StreamSet set;
    for (int i = 0; i < c.utilities; ++i) set.Add("U", 250, 249, 1.0, 1);
    AssignLoadsToStreams(loads, set.streams, c.target);
    for (std::size_t i = 0; i < c.handedOut.size(); ++i)
        EXPECT_NEAR(set.owned[i]->segment.dLoad, c.handedOut[i], kTol) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Passes, SidePass,
    ::testing::Values(
        // Two utilities: the first keeps what the search left it, the second takes the rest.
        PassCase{"TwoLevels", 2, 20.0, {{4.0, 0}}, {4.0}, {4.0, 16.0}},
        // Three: after the first step the second utility holds the remainder 40 (above 0.2/3 of
        // 100); the second step moves 15 of it on to the third.
        PassCase{"ThreeLevels", 3, 100.0, {{60.0, 0}, {25.0, 1}}, {60.0, 25.0}, {60.0, 25.0, 15.0}},
        // A remainder of 5, below 0.2/3 of 100, is set to 0.0 and ends up with the last utility.
        PassCase{"SmallRemainder", 3, 100.0, {{95.0, 0}, {95.0, 0}}, {95.0, 0.0}, {95.0, 0.0, 5.0}},
        // One utility: no step at all.
        PassCase{"OneLevel", 1, 20.0, {}, {}, {20.0}}),
    [](const ::testing::TestParamInfo<PassCase>& info) { return info.param.name; });

// ---------------------------------------------------------------- over a scenario

// The trade-off's inputs over a scenario's streams, segment pool and economics.
class ScenarioInputs {
public:
    explicit ScenarioInputs(CPIScenario& scenario) {
        IHeatIntegrationStream* s = nullptr;
        for (int i = 0; scenario.GetStream(i, s); ++i) streams.push_back(s);
        if (const CPTypedList<StreamSegment>* pool = scenario.GetSegmentPool())
            for (StreamSegment* segment : *pool) segments.push_back(segment);
        in.streams = streams;
        in.segments = segments;
        in.economicData = scenario.GetActiveManager().GetEconomicDataPointer();
        in.economicInfo = scenario.GetActiveManager().GetEconomicInfoPointer();
        in.dtMin = scenario.GetDTmin();
        in.minimumFFactor = scenario.GetMinimumFFactor();
    }

    std::vector<IHeatIntegrationStream*> streams;
    SegmentRefs segments;
    CapitalUtilityTradeoffInputs in;
};

double Load(FourStreamProject& p, const char* name) { return p.Load(name, 0); }

TEST(CapitalUtilityTradeoff, OneUtilityPerSideTakesTheWholeTargetsWithoutASearch) {
    FourStreamProject p;
    ASSERT_TRUE(p.AddUtility("HP Steam"));
    ASSERT_TRUE(p.AddUtility("Cooling Water"));
    ScenarioInputs inputs(*p.scenario);
    MUCapitalUtilityTradeoff tradeoff(inputs.in);

    ASSERT_TRUE(tradeoff.IsOk());
    EXPECT_EQ(tradeoff.GetNumberOfEvaluations(), 0);
    EXPECT_TRUE(tradeoff.GetHotLoads().empty());
    EXPECT_TRUE(tradeoff.GetColdLoads().empty());
    EXPECT_NEAR(tradeoff.GetHotUtilityTarget(), 20.0, kTol);
    EXPECT_NEAR(tradeoff.GetColdUtilityTarget(), 60.0, kTol);
    EXPECT_NEAR(Load(p, "HP Steam"), 20.0, kTol);
    EXPECT_NEAR(Load(p, "Cooling Water"), 60.0, kTol);
    // The final curves and area describe those loads; the costs were never evaluated.
    EXPECT_GT(tradeoff.GetAreaTarget(0), 0.0);
    EXPECT_DOUBLE_EQ(tradeoff.GetCostTarget(5), 0.0);

    // Priced as they stand: 4 units (five streams with load plus steam and water, one pinch).
    const double total = tradeoff.EvaluateCurrentLoads();
    EXPECT_GT(total, 0.0);
    EXPECT_EQ(tradeoff.GetMinimumNumberOfUnits(0), 5);
    EXPECT_DOUBLE_EQ(tradeoff.GetCostTarget(5), total);
    // Operating cost: 20 kW x 2.5e-6 + 60 kW x 2.12456e-7 per second at the factory hours.
    const double hours = tradeoff.GetEconomicData(EDT_OperatingHours, "DEFAULT") / 8765.76;
    EXPECT_NEAR(tradeoff.GetCostTarget(4), hours * (20.0 * 2.5e-6 + 60.0 * 2.12456e-7), 1e-12);
}

// HP steam at 250 C and LP steam at 125 C serve the 20 kW the process needs between the pinch
// (80 C cold) and 140 C; LP steam can carry all of it.
class TwoSteamLevels : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(p.scenario, nullptr);
        ASSERT_TRUE(p.AddUtility("HP Steam"));
        ASSERT_TRUE(p.AddUtility("LP Steam"));
        ASSERT_TRUE(p.AddUtility("Cooling Water"));
    }

    // The cost of a distribution of the 20 kW between the two levels.
    double CostWith(MUCapitalUtilityTradeoff& tradeoff, double hp, double lp) {
        p.Stream("HP Steam")->SetHeatLoad(hp, 0);
        p.Stream("LP Steam")->SetHeatLoad(lp, 0);
        return tradeoff.EvaluateCurrentLoads();
    }

    FourStreamProject p;
};

TEST_F(TwoSteamLevels, MovingLoadToTheCheaperLevelLowersTheTotalAnnualCost) {
    // High-pressure steam ten times the price of low-pressure steam.
    p.Stream("HP Steam")->SetCostIndex(2.5e-5);
    ScenarioInputs inputs(*p.scenario);
    MUCapitalUtilityTradeoff tradeoff(inputs.in);
    ASSERT_TRUE(tradeoff.IsOk()) << tradeoff.GetStatus();

    // The hottest level is offered first.
    ASSERT_EQ(tradeoff.GetHotUtilities().size(), 2u);
    EXPECT_EQ(tradeoff.GetHotUtilities()[0]->GetName(), CPString("HP Steam"));
    ASSERT_EQ(tradeoff.GetHotLoads().size(), 1u);
    // One search on the hot side, none on the cold one (one utility).
    EXPECT_GT(tradeoff.GetNumberOfEvaluations(), 3);
    EXPECT_LE(tradeoff.GetNumberOfEvaluations(), 17);

    const double hp = Load(p, "HP Steam"), lp = Load(p, "LP Steam");
    EXPECT_NEAR(hp + lp, 20.0, 1e-6);
    EXPECT_NEAR(hp, tradeoff.GetHotLoads()[0], 1e-9);
    // The cost falls all the way: LP steam takes the whole range and HP steam keeps no sliver
    // (0.1 kW of it would still need a heater and its shell).
    EXPECT_LT(hp, 1e-6);
    EXPECT_NEAR(Load(p, "Cooling Water"), 60.0, kTol);

    const double optimum = CostWith(tradeoff, hp, lp);
    const double allHigh = CostWith(tradeoff, 20.0, 0.0);
    const double halfway = CostWith(tradeoff, 10.0, 10.0);
    EXPECT_LT(optimum, halfway);
    EXPECT_LT(halfway, allHigh);
}

TEST_F(TwoSteamLevels, AtOnePriceTheLoadStaysOnTheHotterLevel) {
    // Steam levels at one price: the colder level saves nothing and needs more area, so every
    // move costs more than none and the load stays where it started.
    p.Stream("LP Steam")->SetCostIndex(2.5e-6);
    ScenarioInputs inputs(*p.scenario);
    MUCapitalUtilityTradeoff tradeoff(inputs.in);
    ASSERT_TRUE(tradeoff.IsOk()) << tradeoff.GetStatus();
    const double hp = Load(p, "HP Steam"), lp = Load(p, "LP Steam");
    EXPECT_NEAR(hp, 20.0, 1e-9);
    EXPECT_NEAR(lp, 0.0, 1e-9);
    // More area the more the colder level carries.
    const double area = tradeoff.GetAreaTarget(0);
    CostWith(tradeoff, 10.0, 10.0);
    EXPECT_GT(tradeoff.GetAreaTarget(0), area);
}

// A middle level at the price of the hottest keeps next to nothing after the first step; the
// next step takes its load for the cheap coldest level from the hottest level instead.
TEST_F(TwoSteamLevels, ANearlyEmptyMiddleLevelIsPassedOver) {
    ASSERT_TRUE(p.AddUtility("MP Steam"));
    p.Stream("HP Steam")->SetCostIndex(2.5e-5);
    p.Stream("MP Steam")->SetCostIndex(2.5e-5);
    ScenarioInputs inputs(*p.scenario);
    MUCapitalUtilityTradeoff tradeoff(inputs.in);
    ASSERT_TRUE(tradeoff.IsOk()) << tradeoff.GetStatus();
    ASSERT_EQ(tradeoff.GetHotUtilities().size(), 3u);
    EXPECT_EQ(tradeoff.GetHotUtilities()[1]->GetName(), CPString("MP Steam"));
    EXPECT_NEAR(Load(p, "HP Steam") + Load(p, "MP Steam") + Load(p, "LP Steam"), 20.0, 1e-6);
    EXPECT_LT(Load(p, "MP Steam"), 0.2 / 3.0 * 20.0);
    EXPECT_GT(Load(p, "LP Steam"), 19.0);
}

TEST_F(TwoSteamLevels, AColderLevelShortOfApproachTakesAShareOnly) {
    // C3 105 -> 120 C, CP 10 needs 150 kW more heat; LP steam serves it only with a squeezed
    // approach, which costs area. At ten times the price of LP steam, HP steam keeps a share.
    ASSERT_TRUE(p.AddProcess("C3", 105, 120, 10.0));
    p.Stream("HP Steam")->SetCostIndex(2.5e-5);
    ScenarioInputs inputs(*p.scenario);
    MUCapitalUtilityTradeoff tradeoff(inputs.in);
    ASSERT_TRUE(tradeoff.IsOk()) << tradeoff.GetStatus();
    ASSERT_NEAR(tradeoff.GetHotUtilityTarget(), 170.0, 1e-6);
    const double hp = Load(p, "HP Steam"), lp = Load(p, "LP Steam");
    EXPECT_NEAR(hp + lp, 170.0, 1e-6);
    EXPECT_GT(hp, 1.0);
    EXPECT_GT(lp, 100.0);
    const double optimum = CostWith(tradeoff, hp, lp);
    EXPECT_LT(optimum, CostWith(tradeoff, 170.0, 0.0));
    EXPECT_LT(optimum, CostWith(tradeoff, hp + 0.5 * lp, 0.5 * lp));
}

// ---------------------------------------------------------------- the record

void ExpectSame(const MUCapitalUtilityTradeoff& a, const MUCapitalUtilityTradeoff& b) {
    for (int code : {4, 5, 7}) EXPECT_DOUBLE_EQ(a.GetCostTarget(code), b.GetCostTarget(code)) << code;
    EXPECT_EQ(a.IsOk(), b.IsOk());
    EXPECT_EQ(a.GetStatus(), b.GetStatus());
    EXPECT_DOUBLE_EQ(a.GetHotUtilityTarget(), b.GetHotUtilityTarget());
    EXPECT_DOUBLE_EQ(a.GetColdUtilityTarget(), b.GetColdUtilityTarget());
    EXPECT_DOUBLE_EQ(a.GetMinimumApproach(), b.GetMinimumApproach());
    EXPECT_DOUBLE_EQ(a.GetWorkingApproach(), b.GetWorkingApproach());
    EXPECT_DOUBLE_EQ(a.GetMinimumFFactor(), b.GetMinimumFFactor());
    EXPECT_EQ(a.GetHotLoads(), b.GetHotLoads());
    EXPECT_EQ(a.GetColdLoads(), b.GetColdLoads());
    for (int kind : {0, 1}) EXPECT_DOUBLE_EQ(a.GetAreaTarget(kind), b.GetAreaTarget(kind));
    EXPECT_EQ(a.GetNumberOfShellsTarget(), b.GetNumberOfShellsTarget());
    for (int kind : {0, 1}) EXPECT_EQ(a.GetMinimumNumberOfUnits(kind), b.GetMinimumNumberOfUnits(kind));
    ASSERT_EQ(a.GetEnergyTarget() != nullptr, b.GetEnergyTarget() != nullptr);
    if (a.GetEnergyTarget()) {
        EXPECT_DOUBLE_EQ(a.GetEnergyTarget()->GetHotUtility(), b.GetEnergyTarget()->GetHotUtility());
    }
    EXPECT_EQ(a.GetCurve() != nullptr, b.GetCurve() != nullptr);
}

TEST_F(TwoSteamLevels, RecordRoundTrip) {
    p.Stream("HP Steam")->SetCostIndex(2.5e-5);
    ScenarioInputs inputs(*p.scenario);
    inputs.in.minimumFFactor = 0.75;
    MUCapitalUtilityTradeoff tradeoff(inputs.in);
    ASSERT_TRUE(tradeoff.IsOk());
    ASSERT_GT(tradeoff.GetCostTarget(5), 0.0);

    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(tradeoff.Store(w));
    LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
    std::unique_ptr<MUCapitalUtilityTradeoff> back = MUCapitalUtilityTradeoff::ForRecall(inputs.in);
    // Ready to read into: the utilities are collected, nothing is computed.
    EXPECT_EQ(back->GetHotUtilities().size(), 2u);
    EXPECT_EQ(back->GetEnergyTarget(), nullptr);
    ASSERT_TRUE(back->Recall(r));
    ExpectSame(tradeoff, *back);
    EXPECT_DOUBLE_EQ(back->GetMinimumFFactor(), 0.75);
}

TEST(CapitalUtilityTradeoffRecord, VersionOneKeepsTheFFactorAndDamagedCountsFail) {
    CapitalUtilityTradeoffInputs none;
    none.minimumFFactor = 0.9;
    for (int version : {1, 2}) {
        SCOPED_TRACE(version);
        LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
        RecordHandle h, item;
        TargetValue status;
        status.nStatus = 6;
        w.BeginRecord(h, version);
        for (double v : {1.0, 2.0, 3.0, 10.0, 20.0, 60.0, 10.0}) w.WriteDouble(v);
        w.WriteInt(0);
        status.Store(w);
        for (int i = 0; i < 4; ++i) w.WriteInt(0);  // no curve, units, area or energy target
        w.WriteInt(1);                              // hot loads: one record
        w.WriteInt(1);
        w.BeginRecord(item, 1);
        w.WriteDouble(4.5);
        w.EndRecord(item);
        w.WriteInt(0);  // no cold loads
        w.WriteInt(0);  // no pinch list
        if (version >= 2) w.WriteDouble(0.7);
        w.EndRecord(h);

        LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
        std::unique_ptr<MUCapitalUtilityTradeoff> t = MUCapitalUtilityTradeoff::ForRecall(none);
        ASSERT_TRUE(t->Recall(r));
        EXPECT_EQ(t->GetStatus(), 6);
        EXPECT_FALSE(t->IsOk());
        EXPECT_DOUBLE_EQ(t->GetCostTarget(7), 1.0);
        EXPECT_DOUBLE_EQ(t->GetColdUtilityTarget(), 60.0);
        ASSERT_EQ(t->GetHotLoads().size(), 1u);
        EXPECT_DOUBLE_EQ(t->GetHotLoads()[0], 4.5);
        EXPECT_DOUBLE_EQ(t->GetMinimumFFactor(), version >= 2 ? 0.7 : 0.9);
    }

    // A count no file can hold is refused before anything is read for it.
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    RecordHandle h;
    w.BeginRecord(h, 2);
    for (int i = 0; i < 7; ++i) w.WriteDouble(0.0);
    w.WriteInt(1);
    TargetValue().Store(w);
    for (int i = 0; i < 4; ++i) w.WriteInt(0);
    w.WriteInt(1);
    w.WriteInt(2000000000);
    w.EndRecord(h);
    LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
    std::unique_ptr<MUCapitalUtilityTradeoff> t = MUCapitalUtilityTradeoff::ForRecall(none);
    EXPECT_FALSE(t->Recall(r));
    EXPECT_TRUE(t->GetHotLoads().empty());
}

// ---------------------------------------------------------------- in the utility placement

TEST_F(TwoSteamLevels, ThePlacementRunsTheTradeoffAndHandsOutItsLoads) {
    p.Stream("HP Steam")->SetCostIndex(2.5e-5);
    ASSERT_EQ(p.scenario->SetUtilityAssignmentMethod(UtilityPlacement::CapitalUtilityTradeoff), 1);
    const UtilityPlacement* record = p.scenario->GetUtilityPlacementRecord();
    ASSERT_NE(record, nullptr);
    ASSERT_NE(record->GetTradeoff(), nullptr);
    EXPECT_EQ(record->GetAutomaticPlacement(), nullptr);
    EXPECT_TRUE(p.scenario->IsUtilityPlacementValid());
    EXPECT_EQ(record->GetSide(0)->nStatus, 0);
    EXPECT_EQ(record->GetSide(1)->nStatus, 0);
    const MUCapitalUtilityTradeoff& tradeoff = *record->GetTradeoff();
    EXPECT_NEAR(Load(p, "HP Steam"), tradeoff.GetHotLoads()[0], 1e-9);
    EXPECT_NEAR(Load(p, "HP Steam") + Load(p, "LP Steam"), 20.0, 1e-6);
    EXPECT_GT(Load(p, "LP Steam"), 19.0);
    EXPECT_NEAR(Load(p, "Cooling Water"), 60.0, kTol);
    // The energy target's pinch is the placement's; the scenario prices the placement.
    ASSERT_FALSE(record->GetPinchList().empty());
    EXPECT_NEAR(record->GetPinchList()[0].dHotTemperature, 90.0, kTol);
    EXPECT_GT(p.scenario->GetCostTarget(5), 0.0);

    // The record keeps the trade-off through the case file.
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(StoreUtilityPlacement(*record, w));
    LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
    UtilityPlacement back;
    ASSERT_TRUE(RecallScenarioUtilityPlacement(back, r, *p.scenario));
    ASSERT_NE(back.GetTradeoff(), nullptr);
    ExpectSame(tradeoff, *back.GetTradeoff());
    EXPECT_EQ(back.GetTradeoff()->GetHotUtilities().size(), 2u);
    EXPECT_TRUE(back.IsValid());

    // Back to the automatic method: the trade-off goes at the next rebuild.
    ASSERT_EQ(p.scenario->SetUtilityAssignmentMethod(UtilityPlacement::Automatic), 1);
    EXPECT_EQ(p.scenario->GetUtilityPlacementRecord()->GetTradeoff(), nullptr);
    EXPECT_TRUE(p.scenario->IsUtilityPlacementValid());
}

}  // namespace
