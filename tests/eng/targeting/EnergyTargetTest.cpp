// The energy target: textbook numbers, threshold problems, several pinches, segmented and
// near-isothermal streams, forbidden matches, random problems against the problem table, the
// builder's change codes and the record.
#include "TargetingFixtures.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/IStreamOwner.h"
#include "eng/targeting/EnergyTarget.h"

#include <gtest/gtest.h>

#include <ostream>
#include <array>
#include <limits>
#include <map>

namespace {

namespace {

using targeting_test::SegmentSet;

constexpr double kTol = 1e-7;

std::vector<double> Cascade(const EnergyTarget& t) {
    std::vector<double> v;
    for (int i = 0; i < t.GetIntervals().GetNumberOfBoundaries(); ++i) v.push_back(t.GetIntervals().GetInterval(i)->dValue);
    return v;
}

TEST(EnergyTargetTest, FourStreamProblemAtTenDegrees) {
    SegmentSet set;
    targeting_test::AddFourStreamProblem(set);
    set.Shift(10.0);
    EnergyTarget t(set.refs, 10.0);

    EXPECT_NEAR(t.GetHotUtility(), 20.0, kTol);
    EXPECT_NEAR(t.GetColdUtility(), 60.0, kTol);
    EXPECT_EQ(t.GetProblemType(), EnergyTarget::BothUtilities);
    ASSERT_EQ(t.GetPinchList().size(), 1u);
    EXPECT_NEAR(t.GetPinchList()[0].dHotTemperature, 90.0, kTol);
    EXPECT_NEAR(t.GetPinchList()[0].dColdTemperature, 80.0, kTol);
    EXPECT_TRUE(t.GetPinchList()[0].segments.empty());  // no hot stream starts at the pinch

    // Grand composite curve at 165, 145, 140, 85, 55, 25.
    const std::vector<double> expected = {20, 80, 82.5, 0, 75, 60};
    const std::vector<double> cascade = Cascade(t);
    ASSERT_EQ(cascade.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(cascade[i], expected[i], kTol) << i;

    // Above the pinch the cascade bulges from 20 at the top back to 20 at 85 + 20 x 55 / 82.5;
    // below it from 60 at the bottom back to 60 at 85 - 60 x 30 / 75.
    ASSERT_EQ(t.GetNumberOfPockets(), 2);
    EXPECT_NEAR(t.GetPockets()[0].dClosingTemperature, 98.3333333333, 1e-6);
    EXPECT_EQ(t.GetPockets()[0].nSide, 0);
    EXPECT_EQ(t.GetPockets()[0].dStartTemperature, 165.0);
    EXPECT_NEAR(t.GetPockets()[1].dClosingTemperature, 61.0, 1e-9);
    EXPECT_EQ(t.GetPockets()[1].nSide, 1);
    EXPECT_EQ(t.GetPockets()[1].dStartTemperature, 25.0);
}

// The cascade (shifted) from 200 °C: 50, +100 to 150, -100 back to exactly 50 at 100, -50 to 0
// at 50. The pocket closes where the flow comes back to its start, at 100 and not further down.
TEST(EnergyTargetTest, APocketReturningExactlyToItsStartFlowClosesThere) {
    SegmentSet set;
    set.Add(205, 155, 2.0);
    set.Add(95, 145, 2.0);
    set.Add(45, 95, 1.0);
    set.Shift(10.0);
    EnergyTarget t(set.refs, 10.0);
    EXPECT_NEAR(t.GetHotUtility(), 50.0, kTol);
    EXPECT_NEAR(t.GetColdUtility(), 0.0, kTol);
    ASSERT_EQ(t.GetNumberOfPockets(), 1);
    EXPECT_EQ(t.GetPockets()[0].dStartTemperature, 200.0);
    EXPECT_EQ(t.GetPockets()[0].dClosingBoundaryTemperature, 100.0);
    EXPECT_NEAR(t.GetPockets()[0].dClosingTemperature, 100.0, kTol);
}

struct DTminCase {
    double dtMin;
    double hot;
    double cold;
    int type;
    std::vector<double> hotPinches;
};
void PrintTo(const DTminCase& c, std::ostream* os) {
    *os << "DTmin " << c.dtMin << " C: hot " << c.hot << " kW, cold " << c.cold << " kW, type " << c.type;
}

class FourStreamDTminTest : public ::testing::TestWithParam<DTminCase> {};

TEST_P(FourStreamDTminTest, TargetsFollowTheApproachTemperature) {
    const DTminCase& c = GetParam();
    SegmentSet set;
    targeting_test::AddFourStreamProblem(set);
    set.Shift(c.dtMin);
    EnergyTarget t(set.refs, c.dtMin);
    EXPECT_NEAR(t.GetHotUtility(), c.hot, kTol);
    EXPECT_NEAR(t.GetColdUtility(), c.cold, kTol);
    EXPECT_EQ(t.GetProblemType(), c.type);
    ASSERT_EQ(t.GetPinchList().size(), c.hotPinches.size());
    for (std::size_t i = 0; i < c.hotPinches.size(); ++i)
        EXPECT_NEAR(t.GetPinchList()[i].dHotTemperature, c.hotPinches[i], kTol);
}

INSTANTIATE_TEST_SUITE_P(Textbook, FourStreamDTminTest,
                         ::testing::Values(DTminCase{5.0, 0.0, 40.0, EnergyTarget::ColdUtilityOnly, {}},
                                           DTminCase{10.0, 20.0, 60.0, EnergyTarget::BothUtilities, {90.0}},
                                           DTminCase{20.0, 65.0, 105.0, EnergyTarget::BothUtilities, {100.0}}));

struct ThresholdCase {
    const char* name;
    std::vector<std::array<double, 3>> streams;  // in, out, CP
    double hot;
    double cold;
    int type;
    int pockets;
};

class ThresholdTest : public ::testing::TestWithParam<ThresholdCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const ThresholdCase& c, std::ostream* os) { *os << c.name; }

TEST_P(ThresholdTest, OneUtilityOnly) {
    SegmentSet set;
    for (const auto& s : GetParam().streams) set.Add(s[0], s[1], s[2]);
    set.Shift(10.0);
    EnergyTarget t(set.refs, 10.0);
    EXPECT_NEAR(t.GetHotUtility(), GetParam().hot, kTol);
    EXPECT_NEAR(t.GetColdUtility(), GetParam().cold, kTol);
    EXPECT_EQ(t.GetProblemType(), GetParam().type);
    EXPECT_TRUE(t.GetPinchList().empty());
    EXPECT_EQ(t.GetNumberOfPockets(), GetParam().pockets);
}

INSTANTIATE_TEST_SUITE_P(
    Problems, ThresholdTest,
    ::testing::Values(
        // Hot 95->45 gives 50, cold 45->145 takes 200: all 150 missing comes from hot utility.
        ThresholdCase{"HotOnly", {{{100, 50, 1}}, {{40, 140, 2}}}, 150, 0, EnergyTarget::HotUtilityOnly, 0},
        // Cascade 0, 120, 240, 200 from 195 down: the bulge below closes where the flow is back
        // at 200, at 155 - 80 x 60 / 120 = 115.
        ThresholdCase{"ColdOnly", {{{200, 100, 3}}, {{50, 150, 1}}}, 0, 200, EnergyTarget::ColdUtilityOnly, 1},
        // Cascade 0, 15, 5, 10, 15, 10, 115, 110 from 195 down: walking up from the bottom, three
        // runs rise above their start and come back (one of them just to its own level).
        ThresholdCase{"ColdOnlyWithBulges", {{{200, 160, 1}}, {{150, 80, 2}}, {{165, 175, 2}}, {{60, 160, 0.5}}},
                      0, 110, EnergyTarget::ColdUtilityOnly, 3},
        // No process heat at all: nothing needs a utility.
        ThresholdCase{"NoHeat", {}, 0, 0, EnergyTarget::NoUtility, 0},
        // Balanced exactly within the same temperatures: no utility at all.
        ThresholdCase{"Balanced", {{{200, 100, 2}}, {{90, 190, 2}}}, 0, 0, EnergyTarget::NoUtility, 0},
        // Balanced to 1e-6 kW of 200 (rounded data): the noise at either end is no utility.
        ThresholdCase{"BalancedBut1e6MoreCold", {{{200, 100, 2}}, {{90, 190, 2.00000001}}}, 0, 0, EnergyTarget::NoUtility, 0},
        ThresholdCase{"BalancedBut1e6MoreHot", {{{200, 100, 2.00000001}}, {{90, 190, 2}}}, 0, 0, EnergyTarget::NoUtility, 0},
        // 0.2 kW of 200 short is a utility all the same, at either end.
        ThresholdCase{"SmallHotDeficit", {{{200, 100, 2}}, {{90, 190, 2.002}}}, 0.2, 0, EnergyTarget::HotUtilityOnly, 0},
        ThresholdCase{"SmallColdSurplus", {{{200, 100, 2.002}}, {{90, 190, 2}}}, 0, 0.2, EnergyTarget::ColdUtilityOnly, 0}),
    [](const ::testing::TestParamInfo<ThresholdCase>& info) { return info.param.name; });

// Two pinches at 250 and 200 (DTmin 0): C1 250->300 needs 50 from above, H1 and C2 balance each
// other between 200 and 250, H2 200->150 gives 50 to cold utility.
TEST(EnergyTargetTest, SeveralPinchesComeHottestFirstWithTheStreamsStartingThere) {
    SegmentSet set;
    set.Add(250, 300, 1.0);
    StreamSegment* h1 = set.Add(250, 200, 2.0);
    set.Add(200, 250, 2.0);
    StreamSegment* h2 = set.Add(200, 150, 1.0);
    set.Shift(0.0);
    EnergyTarget t(set.refs, 0.0);
    EXPECT_NEAR(t.GetHotUtility(), 50.0, kTol);
    EXPECT_NEAR(t.GetColdUtility(), 50.0, kTol);
    ASSERT_EQ(t.GetPinchList().size(), 2u);
    EXPECT_EQ(t.GetPinchList()[0].dHotTemperature, 250.0);
    EXPECT_EQ(t.GetPinchList()[1].dHotTemperature, 200.0);
    EXPECT_EQ(t.GetPinchList()[0].segments, (SegmentRefs{h1}));
    EXPECT_EQ(t.GetPinchList()[1].segments, (SegmentRefs{h2}));
    EXPECT_EQ(t.GetNumberOfPockets(), 0);
}

TEST(EnergyTargetTest, SegmentedStreamsAndUtilitiesAreTargetedAsTheirSegments) {
    SegmentSet set;
    // H1 of the four-stream problem cut in two at 120; C1 with a steeper upper part.
    set.Add(170, 120, 3.0);
    set.Add(120, 60, 3.0);
    set.Add(150, 30, 1.5);
    set.Add(20, 100, 2.0);
    set.Add(100, 135, 3.0);
    set.Add(80, 140, 4.0);
    set.Add(250, 249, 40.0, 1);  // a utility: never part of the target
    set.Shift(10.0);
    EnergyTarget t(set.refs, 10.0);
    const targeting_test::CascadeResult expected = targeting_test::ProblemTable(set.refs);
    EXPECT_NEAR(t.GetHotUtility(), expected.hot, kTol);
    EXPECT_NEAR(t.GetColdUtility(), expected.cold, kTol);
    EXPECT_EQ(t.GetSegments().size(), 6u);
    // By hand: C1 now takes 160 + 105 = 265 instead of 230, so 35 more from hot utility.
    EXPECT_NEAR(t.GetHotUtility(), 55.0, kTol);
}

// A condensing stream widened to 0.01 degrees carries its latent heat as a very large CP.
TEST(EnergyTargetTest, NearIsothermalStreamGivesItsLoadAtItsTemperature) {
    SegmentSet set;
    set.Add(150.0, 149.99, 1000.0 / 0.01);
    set.Add(50, 143, 10.0);
    set.Add(143, 148, 30.0);
    set.Shift(10.0);
    EnergyTarget t(set.refs, 10.0);
    // Above the condenser (shifted 145) the 150 + 30 of cold demand come from hot utility; below
    // it the condenser's 1000 less the remaining 900 of the lower sink goes to cold utility.
    EXPECT_NEAR(t.GetHotUtility(), 180.0, 1e-6);
    EXPECT_NEAR(t.GetColdUtility(), 100.0, 1e-6);
    EXPECT_EQ(t.GetProblemType(), EnergyTarget::BothUtilities);
    ASSERT_EQ(t.GetPinchList().size(), 1u);
    EXPECT_NEAR(t.GetPinchList()[0].dHotTemperature, 150.0, 1e-9);
    EXPECT_EQ(t.GetPinchList()[0].segments, (SegmentRefs{set.refs[0]}));
}

TEST(EnergyTargetTest, SegmentsWithValuesThatAreNotNumbersAreLeftOut) {
    SegmentSet set;
    targeting_test::AddFourStreamProblem(set);
    set.Add(160, 40, std::numeric_limits<double>::quiet_NaN());
    set.Add(std::numeric_limits<double>::infinity(), 40, 2.0);
    set.Add(std::numeric_limits<double>::quiet_NaN(), 90, 2.0);
    set.Shift(10.0);
    set.refs.push_back(nullptr);
    EnergyTarget t(set.refs, 10.0);
    EXPECT_NEAR(t.GetHotUtility(), 20.0, kTol);
    EXPECT_NEAR(t.GetColdUtility(), 60.0, kTol);
    EXPECT_EQ(t.GetPinchList().size(), 1u);
}

TEST(EnergyTargetTest, RandomProblemsBalanceAndAgreeWithTheProblemTable) {
    for (unsigned seed = 1; seed <= 25; ++seed) {
        SCOPED_TRACE(seed);
        SegmentSet set;
        targeting_test::AddRandomStreams(set, 5 + static_cast<int>(seed) * 3, seed);
        set.Shift(10.0);
        EnergyTarget t(set.refs, 10.0);
        double hotLoads = 0.0, coldLoads = 0.0;
        for (const StreamSegment* s : set.refs)
            (s->nHotCold == 0 ? hotLoads : coldLoads) += std::fabs(s->dInletTemperature - s->dOutletTemperature) * s->dHeatCapacityFlowrate;
        const double scale = std::max(1.0, hotLoads + coldLoads) * 1e-9;
        EXPECT_NEAR(t.GetColdUtility() - t.GetHotUtility(), hotLoads - coldLoads, scale);
        const targeting_test::CascadeResult expected = targeting_test::ProblemTable(set.refs);
        EXPECT_NEAR(t.GetHotUtility(), expected.hot, scale);
        EXPECT_EQ(t.GetPinchList().size(), expected.pinches.size());
    }
}

// The pooled model is solved by walking the cascade; the solver must find the same optimum.
TEST(EnergyTargetTest, CascadeWalkAndSolverAgreeOnThePooledModel) {
    for (unsigned seed = 40; seed < 55; ++seed) {
        SCOPED_TRACE(seed);
        SegmentSet set;
        targeting_test::AddRandomStreams(set, 4 + static_cast<int>(seed % 7) * 6, seed);
        set.Shift(seed % 2 ? 10.0 : 0.0);
        EnergyTarget t(set.refs, 10.0);
        const std::vector<double> walked = Cascade(t);
        // The heat left in the cascade at each interval is the same whatever the split among sinks.
        std::vector<double> residuals;
        for (const EnergyTargetResidual& r : t.GetResiduals()) residuals.push_back(r.dValue);
        const std::size_t pinches = t.GetPinchList().size();
        const int pockets = t.GetNumberOfPockets();
        ASSERT_TRUE(t.SolveWithSolver());
        t.ComputeResults();
        const std::vector<double> solved = Cascade(t);
        ASSERT_EQ(walked.size(), solved.size());
        for (std::size_t i = 0; i < walked.size(); ++i) EXPECT_NEAR(walked[i], solved[i], 1e-7 * (1.0 + std::fabs(solved[i])));
        ASSERT_EQ(t.GetResiduals().size(), residuals.size());
        for (std::size_t i = 0; i < residuals.size(); ++i)
            EXPECT_NEAR(residuals[i], t.GetResiduals()[i].dValue, 1e-7 * (1.0 + std::fabs(residuals[i]))) << i;
        EXPECT_EQ(t.GetPinchList().size(), pinches);
        EXPECT_EQ(t.GetNumberOfPockets(), pockets);
    }
}

TEST(EnergyTargetTest, UtilitiesNeverDecreaseAsTheApproachTemperatureGrows) {
    for (unsigned seed = 100; seed < 105; ++seed) {
        SCOPED_TRACE(seed);
        SegmentSet set;
        targeting_test::AddRandomStreams(set, 30, seed);
        double lastHot = -1.0, lastCold = -1.0;
        EnergyTarget* record = nullptr;
        for (double dt = 0.0; dt <= 60.0; dt += 2.5) {
            set.Shift(dt);
            record = UpdateEnergyTarget(record, &set.refs, dt, EnergyTargetCodes::DTminTrial);
            ASSERT_NE(record, nullptr);
            EXPECT_GE(record->GetHotUtility(), lastHot - 1e-7);
            EXPECT_GE(record->GetColdUtility(), lastCold - 1e-7);
            lastHot = record->GetHotUtility();
            lastCold = record->GetColdUtility();
        }
        EXPECT_EQ(UpdateEnergyTarget(record, &set.refs, 0.0, EnergyTargetCodes::Free), nullptr);
    }
}

// ---- forbidden matches ------------------------------------------------------------------------

class StreamOwner : public IStreamOwner {
public:
    bool IsScenario() const override { return true; }
    CPIHeatIntegrationStream* FindStream(const CPString& name) override {
        auto found = streams.find(name);
        return found == streams.end() ? nullptr : found->second;
    }
    std::map<std::string, CPIHeatIntegrationStream*> streams;
};

struct LinkedProblem {
    LinkedProblem() {
        owner.streams["H"] = &h;
        owner.streams["C"] = &c;
        owner.streams["X"] = &x;
        hot = set.Add(200, 100, 1.0, 2);
        cold = set.Add(50, 150, 1.0, 2);
        hot->pStream = &h;
        cold->pStream = &c;
        set.Shift(10.0);
    }
    StreamOwner owner;
    CPIHeatIntegrationStream h{&owner, "H"}, c{&owner, "C"}, x{&owner, "X"};
    SegmentSet set;
    StreamSegment* hot;
    StreamSegment* cold;
};

TEST(EnergyTargetTest, LinkedStreamsThatMayMatchRecoverTheirHeat) {
    LinkedProblem p;
    ASSERT_EQ(p.h.LinkStream("X"), 1);
    EnergyTarget t(p.set.refs, 10.0);
    EXPECT_NEAR(t.GetHotUtility(), 0.0, kTol);
    EXPECT_NEAR(t.GetColdUtility(), 0.0, kTol);
}

// The forbidden pair has no column: no heat is recovered, all 100 of the cold stream comes from
// hot utility and all 100 of the hot stream goes to cold utility.
TEST(EnergyTargetTest, ForbiddenPairHasNoColumn) {
    LinkedProblem p;
    ASSERT_EQ(p.h.LinkStream("C"), 1);
    EnergyTarget t(p.set.refs, 10.0);
    const LPProblem* model = t.GetModel();
    ASSERT_NE(model, nullptr);
    int forbidden = 0;
    for (const LPMatchColumn& c : model->columns)
        if (c.pHotSegment == p.hot && c.pColdSegment == p.cold) ++forbidden;
    EXPECT_EQ(forbidden, 0);
    EXPECT_FALSE(t.SolveByCascade());  // linked segments need the solver
    EXPECT_NEAR(t.GetHotUtility(), 100.0, kTol);
    EXPECT_NEAR(t.GetColdUtility(), 100.0, kTol);
}

// A cold process sink with no process heat above it (only a linked hot stream) gets only the
// linked and the slack column.
TEST(EnergyTargetTest, SinkWithoutProcessSourceGetsLinkedAndSlackColumnsOnly) {
    LinkedProblem p;
    p.cold->nKind = 0;
    EnergyTarget t(p.set.refs, 10.0);
    const LPProblem* model = t.GetModel();
    ASSERT_NE(model, nullptr);
    for (const LPMatchColumn& c : model->columns) {
        EXPECT_TRUE(c.pHotSegment == p.hot || c.nHotIntervalIndex == -1);
        EXPECT_EQ(c.pHotSegment == p.hot ? EnergyTarget::MatchCost : EnergyTarget::SlackCost, c.dCoefficient);
    }
    EXPECT_NEAR(t.GetHotUtility(), 0.0, kTol);
}

// A linked hot segment (shifted 155 -> 105) serves a process sink in its own first interval.
TEST(EnergyTargetTest, ALinkedHotSegmentServesASinkInItsFirstInterval) {
    SegmentSet set;
    set.Add(160, 110, 1.0, 2);
    set.Add(100, 150, 1.0);
    set.Shift(10.0);
    EnergyTarget t(set.refs, 10.0);
    EXPECT_NEAR(t.GetHotUtility(), 0.0, kTol);
    EXPECT_NEAR(t.GetColdUtility(), 0.0, kTol);
}

// ---- the builder and the record ----------------------------------------------------------------

struct CodeCase {
    int code;
    bool rebuilds;
};
void PrintTo(const CodeCase& c, std::ostream* os) {
    *os << "code " << c.code << (c.rebuilds ? ": rebuilds" : ": keeps");
}

class UpdateEnergyTargetTest : public ::testing::TestWithParam<CodeCase> {};

TEST_P(UpdateEnergyTargetTest, RebuildsOnlyOnItsCodes) {
    SegmentSet set;
    targeting_test::AddFourStreamProblem(set);
    set.Shift(10.0);
    EnergyTarget* record = UpdateEnergyTarget(nullptr, &set.refs, 10.0, EnergyTargetCodes::StreamsChanged);
    ASSERT_NE(record, nullptr);
    ASSERT_NEAR(record->GetHotUtility(), 20.0, kTol);

    set.Shift(20.0);
    EnergyTarget* after = UpdateEnergyTarget(record, &set.refs, 20.0, GetParam().code);
    EXPECT_EQ(after, record);
    EXPECT_NEAR(after->GetHotUtility(), GetParam().rebuilds ? 65.0 : 20.0, kTol);
    EXPECT_EQ(UpdateEnergyTarget(after, nullptr, 10.0, EnergyTargetCodes::StreamsChanged), after);
    EXPECT_NEAR(after->GetHotUtility(), GetParam().rebuilds ? 65.0 : 20.0, kTol);
    EXPECT_EQ(UpdateEnergyTarget(after, &set.refs, 20.0, EnergyTargetCodes::Free), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Codes, UpdateEnergyTargetTest,
                         ::testing::Values(CodeCase{35, true}, CodeCase{36, true}, CodeCase{38, true},
                                           CodeCase{4, false}, CodeCase{18, false}, CodeCase{41, false}));

TEST(UpdateEnergyTargetTest, NoRecordIsMadeWithoutSegmentsOrOnOtherCodes) {
    SegmentSet set;
    EXPECT_EQ(UpdateEnergyTarget(nullptr, nullptr, 10.0, 36), nullptr);
    EXPECT_EQ(UpdateEnergyTarget(nullptr, &set.refs, 10.0, 4), nullptr);
    EnergyTarget* empty = UpdateEnergyTarget(nullptr, &set.refs, 10.0, 36);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetHotUtility(), 0.0);
    EXPECT_EQ(empty->GetNumberOfPockets(), 0);
    EXPECT_EQ(empty->GetModel(), nullptr);
    DeleteEnergyTarget(empty);
}

TEST(EnergyTargetRecordTest, RoundTripRestoresTargetsPinchesAndPockets) {
    SegmentSet set;
    targeting_test::AddFourStreamProblem(set);
    set.Shift(10.0);
    EnergyTarget t(set.refs, 10.0);
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(t.Store(w));

    LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
    EnergyTarget back;
    ASSERT_TRUE(back.Recall(r));
    EXPECT_EQ(back.GetHotUtility(), t.GetHotUtility());
    EXPECT_EQ(back.GetColdUtility(), t.GetColdUtility());
    EXPECT_EQ(back.GetDTmin(), 10.0);
    EXPECT_EQ(back.GetProblemType(), t.GetProblemType());
    EXPECT_EQ(back.GetModel(), nullptr);
    EXPECT_EQ(Cascade(back), Cascade(t));
    ASSERT_EQ(back.GetPinchList().size(), 1u);
    EXPECT_EQ(back.GetPinchList()[0].dColdTemperature, t.GetPinchList()[0].dColdTemperature);
    ASSERT_EQ(back.GetNumberOfPockets(), 2);
    EXPECT_EQ(back.GetPockets()[0].dClosingTemperature, t.GetPockets()[0].dClosingTemperature);
    EXPECT_EQ(back.GetPockets()[1].dClosingTemperature, t.GetPockets()[1].dClosingTemperature);
}

}  // namespace

}  // namespace
