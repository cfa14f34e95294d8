// A built target curve keeps no membership in its lists; which segments lie across an interval
// of it follows from the segments' own temperatures. On random problems with utilities, shared
// end temperatures and segments of no width, that answer must be the membership a list of the
// same mode builds over the same segments, for every curve kind, both lists and every interval.
#include "TargetingFixtures.h"

#include "eng/targeting/TargetCurve.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using targeting_test::SegmentSet;

void AddProblem(SegmentSet& set, unsigned seed) {
    targeting_test::AddRandomStreams(set, 40, seed);
    std::mt19937 rng(seed + 1000);
    std::uniform_int_distribution<int> pick(0, 39);
    // Ends shared with other streams (boundaries that several segments meet at), a stream of
    // no width and an unused utility.
    for (int i = 0; i < 6; ++i) {
        const StreamSegment& other = *set.refs[static_cast<std::size_t>(pick(rng))];
        set.Add(other.dInletTemperature, other.dInletTemperature > 200.0 ? 60.0 : 380.0, 3.0);
    }
    set.Add(150.0, 150.0, 2.0);
    set.Add(450.0, 449.0, 10.0, 1)->dLoad = 800.0;
    set.Add(10.0, 15.0, 20.0, 1)->dLoad = 900.0;
    StreamSegment* unused = set.Add(300.0, 299.0, 5.0, 1);
    unused->pLink->nConnected = 0;
    set.Shift(10.0);
}

class TargetCurveMembership : public ::testing::TestWithParam<int> {};

TEST_P(TargetCurveMembership, CoversWhatTheListsMembershipWouldHold) {
    const int kind = GetParam();
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SegmentSet set;
        AddProblem(set, seed);
        TargetCurve curve(kind, 0.0, 0.0, set.refs);
        ASSERT_TRUE(curve.IsBuilt());
        for (int side = 0; side < 2; ++side) {
            SegmentRefs taken;
            for (StreamSegment* s : set.refs)
                if (s->nHotCold == side && TargetCurve::TakesSegment(kind, *s)) taken.push_back(s);
            TIList reference(side == 0 ? TargetCurve::HotMode(kind) : TargetCurve::ColdMode(kind));
            reference.Build(taken);
            const TIList* list = side == 0 ? curve.GetHotList() : curve.GetColdList();
            ASSERT_EQ(list->GetNumberOfBoundaries(), reference.GetNumberOfBoundaries());
            for (int i = 0; i + 1 < reference.GetNumberOfBoundaries(); ++i) {
                const SegmentRefs expected = reference.GetMembers(i, side == 0 ? AllHotMembers : AllColdMembers);
                SegmentRefs got;
                for (StreamSegment* s : set.refs)
                    if (curve.CoversInterval(side, *s, i)) got.push_back(s);
                ASSERT_EQ(got, expected) << "seed " << seed << " side " << side << " interval " << i;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(CurveKinds, TargetCurveMembership,
                         ::testing::Values(TargetCurve::ShiftedComposite, TargetCurve::Composite,
                                           TargetCurve::ShiftedBalanced, TargetCurve::Balanced,
                                           TargetCurve::UtilityComposite));

TEST(TargetCurveMembership, ACurveWithoutItsListsNamesNoSegments) {
    SegmentSet set;
    AddProblem(set, 3);
    TargetCurve built(TargetCurve::Composite, 0.0, 0.0, set.refs);
    built.ClearIntervals();
    EXPECT_FALSE(built.IsBuilt());
    for (StreamSegment* s : set.refs) EXPECT_FALSE(built.CoversInterval(s->nHotCold, *s, 0));
}

}  // namespace
