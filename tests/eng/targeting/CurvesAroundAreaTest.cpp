// With the Bath area a scenario builds its curves in two steps around the area target (the
// utility and balanced curves before it, the others after). What the two steps leave must be what
// one update leaves: every curve's points, the combined cascade, and the interval numbers the
// last list built leaves in the segments (the case file keeps them), those of the shifted
// balanced curves.
#include "tests/support/FourStreamProject.h"

#include "eng/targeting/AreaTarget.h"
#include "eng/targeting/CompositeCurves.h"
#include "eng/targeting/ScenarioTargetBuilders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct CurvesCase {
    const char* name;
    int streams;
    unsigned seed;
    double dtMin;
};
void PrintTo(const CurvesCase& c, std::ostream* os) { *os << c.name; }

void Enter(FourStreamProject& p, const CurvesCase& c) { ASSERT_TRUE(p.AddRandomTable(c.streams, c.seed, c.dtMin)); }

// A curve list's boundaries as (temperature, value) pairs; empty for a missing list.
std::vector<double> Boundaries(const TIList* list) {
    std::vector<double> out;
    for (int i = 0; list && i < list->GetNumberOfBoundaries(); ++i) {
        out.push_back(list->GetInterval(i)->dTemperature);
        out.push_back(list->GetInterval(i)->dValue);
    }
    return out;
}

struct CurvesSeen {
    std::vector<std::vector<double>> lists;
    std::vector<double> cascade;
};

CurvesSeen Seen(const CompositeCurves& record) {
    CurvesSeen seen;
    for (int slot = 0; slot < CompositeCurves::SlotCount; ++slot) {
        const TargetCurve* curve = record.GetCurve(slot);
        seen.lists.push_back(Boundaries(curve ? curve->GetHotList() : nullptr));
        seen.lists.push_back(Boundaries(curve ? curve->GetColdList() : nullptr));
    }
    for (const CurvePoint& p : record.GetCombinedCascade()) {
        seen.cascade.push_back(p.x);
        seen.cascade.push_back(p.y);
    }
    return seen;
}

std::vector<int> IntervalNumbers(const CPIScenario& scenario) {
    std::vector<int> numbers;
    for (const StreamSegment* s : *scenario.GetSegmentPool()) {
        numbers.push_back(s->nFirstInterval);
        numbers.push_back(s->nIntervalCount);
        numbers.push_back(s->nLastInterval);
    }
    return numbers;
}

class CurvesAroundArea : public ::testing::TestWithParam<CurvesCase> {};

TEST_P(CurvesAroundArea, TwoStepsLeaveWhatOneUpdateLeaves) {
    FourStreamProject p(false);
    ASSERT_NE(p.scenario, nullptr);
    Enter(p, GetParam());
    ASSERT_EQ(p.scenario->GetAreaTargetMethod(), AreaTarget::Bath);
    ASSERT_EQ(p.scenario->GetAreaTargetState(), 1);
    const CompositeCurves* record = p.scenario->GetCompositeCurvesRecord();
    ASSERT_NE(record, nullptr);
    const CurvesSeen twoSteps = Seen(*record);
    const std::vector<int> numbers = IntervalNumbers(*p.scenario);

    // One update over the same scenario, in a record of its own.
    std::unique_ptr<CompositeCurves> oneStep(UpdateScenarioCompositeCurves(nullptr, *p.scenario, 36));
    ASSERT_NE(oneStep, nullptr);
    const CurvesSeen reference = Seen(*oneStep);
    for (std::size_t list = 0; list < reference.lists.size(); ++list)
        EXPECT_EQ(twoSteps.lists[list], reference.lists[list]) << "slot " << list / 2 << (list % 2 ? " cold" : " hot");
    EXPECT_EQ(twoSteps.cascade, reference.cascade);
    EXPECT_FALSE(reference.cascade.empty());

    // One update builds the shifted balanced curves last, so every segment keeps their interval
    // numbers: those a list of that kind lays over the segments again.
    std::vector<StreamSegment*> pool;
    for (StreamSegment* s : *p.scenario->GetSegmentPool()) pool.push_back(s);
    const TargetCurve shiftedBalanced(TargetCurve::ShiftedBalanced, 0.0, 0.0, pool);
    EXPECT_EQ(numbers, IntervalNumbers(*p.scenario));
}

INSTANTIATE_TEST_SUITE_P(Tables, CurvesAroundArea,
                         ::testing::Values(CurvesCase{"TwentyStreamsAtDTmin10", 20, 5, 10.0},
                                           CurvesCase{"EightyStreamsAtDTmin4", 80, 17, 4.0}),
                         [](const ::testing::TestParamInfo<CurvesCase>& info) { return std::string(info.param.name); });

}  // namespace
