// The "Load assigned" word of the utility placement column: the last design segment's mark
// decides, only while the utility's side carries placed load without shortfall; and the whole
// way from a placed scenario of the four-stream problem.
#include "eng/targeting/TargetValue.h"
#include "lumeth/Session.h"
#include "tests/support/FourStreamProject.h"
#include "tests/views/case/scenario/ScenarioViewerTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// A design-segment list whose entries carry the given marks (-1: an entry without a network
// block, which carries none).
StreamSegmentList Segments(const std::vector<int>& marks) {
    StreamSegmentList list;
    for (int mark : marks) {
        auto s = std::make_unique<StreamSegment>();
        if (mark >= 0) {
            s->pLink = std::make_unique<StreamSegmentLink>();
            s->pLink->nCrossPinch = mark;
        }
        list.push_back(std::move(s));
    }
    return list;
}

struct MarkCase {
    const char* what;
    bool hasList;
    std::vector<int> marks;
    int status;
    const char* word;
};
void PrintTo(const MarkCase& c, std::ostream* os) {
    *os << c.what;
}

class ViewScenarioCrossPinch : public SentinelScenarioViewerTest<>, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(ViewScenarioCrossPinch, TheLastSegmentDecides) {
    const MarkCase& c = GetParam();
    StreamSegmentList list = Segments(c.marks);
    scenario->hu.designSegments = c.hasList ? &list : nullptr;
    scenario->assignmentStatus[0] = c.status;
    viewer->option100_245 = 1, viewer->option100_246 = 1;
    ASSERT_EQ(Text("HU"), viewer->TextValue(named("Name", 660, 0)));
    EXPECT_EQ(Text(c.word), viewer->TextValue(named("Name", 234, 0))) << c.what;
    // The cold utility has no segments: never marked, whatever its side's status.
    scenario->assignmentStatus[1] = 2;
    EXPECT_EQ(Text(""), viewer->TextValue(named("Name", 234, 1)));
}
INSTANTIATE_TEST_SUITE_P(
    Marks, ViewScenarioCrossPinch,
    ::testing::Values(MarkCase{"one marked segment", true, {1}, 2, "Load assigned"},
                      MarkCase{"an earlier mark is overwritten", true, {1, 0}, 2, ""},
                      MarkCase{"the last is marked", true, {0, 0, 1}, 2, "Load assigned"},
                      MarkCase{"a last entry without a block", true, {1, -1}, 2, ""},
                      MarkCase{"a mark other than 1", true, {2}, 2, ""},
                      MarkCase{"an empty list", true, {}, 2, ""},
                      MarkCase{"no list", false, {}, 2, ""},
                      MarkCase{"short as well", true, {1}, 3, ""},
                      MarkCase{"nothing placed", true, {1}, 0, ""},
                      MarkCase{"not evaluated", true, {1}, 4, ""}));

// The four-stream problem (DTmin 10, pinch 90/80 C) with HP steam (250 C, shifted 240), LP steam
// (125 C, shifted 115) and cooling water. Above the pinch the process needs 20 kW; the heat
// cascade at shifted 115 C still carries 25 kW down from the hotter process heat, so LP steam can
// give the whole 20 kW below 115 C and, being the cheaper, does; HP steam gets nothing. Cooling
// water takes the 60 kW below the pinch. Both sides carry placed load without shortfall
// (status 2): LP steam and cooling water have load assigned, each on its own side of the pinch
// (neither crosses it); HP steam has none.
TEST(ViewScenarioCrossPinchPlaced, OnlyTheLoadedUtilitiesShowAssignedLoad) {
    Session::Instance().Reset();
    {
        FourStreamProject p;
        ASSERT_NE(p.scenario, nullptr);
        ASSERT_TRUE(p.AddUtility("HP Steam"));
        ASSERT_TRUE(p.AddUtility("LP Steam"));
        ASSERT_TRUE(p.AddUtility("Cooling Water"));
        ASSERT_EQ(p.scenario->GetUtilityAssignmentStatus(0), TargetValue::Placed);
        ASSERT_EQ(p.scenario->GetUtilityAssignmentStatus(1), TargetValue::Placed);
        EXPECT_NEAR(p.Load("LP Steam"), 20.0, 1e-6);
        EXPECT_NEAR(p.Load("HP Steam"), 0.0, 1e-6);
        EXPECT_NEAR(p.Load("Cooling Water"), 60.0, 1e-6);

        // The scenario's end takes its viewer with it.
        auto* viewer =
            new HIDesignViewerScenario(nullptr, "Base", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
        viewer->SetEngineeringScenario(p.scenario, 1);
        viewer->option100_245 = 1, viewer->option100_246 = 1;
        std::map<std::string, std::string> words;
        for (int row = 0; row < 3; ++row)
            words[viewer->TextValue(named("Name", 660, row)).c_str()] = viewer->TextValue(named("Name", 234, row)).c_str();
        EXPECT_EQ(words, (std::map<std::string, std::string>{
                             {"HP Steam", ""}, {"LP Steam", "Load assigned"}, {"Cooling Water", "Load assigned"}}));
        // The sides' own words: loads placed, no shortfall.
        EXPECT_EQ(viewer->TextValue(named("HotUtilInfo", 1)), Text("Sufficient"));
        EXPECT_EQ(viewer->TextValue(named("ColdUtilInfo", 1)), Text("Sufficient"));

        // At DTmin 20 cooling water cannot take the 15 kW below 30 C shifted: the cold side is
        // short (status 3) and shows no word; the steam still has its load.
        p.scenario->SetDTmin(20.0);
        ASSERT_EQ(p.scenario->GetUtilityAssignmentStatus(1), TargetValue::PlacedAndInsufficient);
        words.clear();
        for (int row = 0; row < 3; ++row)
            words[viewer->TextValue(named("Name", 660, row)).c_str()] = viewer->TextValue(named("Name", 234, row)).c_str();
        EXPECT_EQ(words["Cooling Water"], "");
        EXPECT_EQ(words["LP Steam"], "Load assigned");
        EXPECT_EQ(viewer->TextValue(named("ColdUtilInfo", 1)), Text("Insufficient"));
    }
    Session::Instance().Reset();
}

}  // namespace
