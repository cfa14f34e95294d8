// A stream's design segments as the scenario keeps them while segments come and go: one segment
// held in place, more in an array, back to one; the list follows the points in order, each
// segment knows its stream, and the scenario's segment pool holds exactly the current segments.
// A record round trip and a detach and set again keep the same segments.
#include "ScenarioTestDoubles.h"

#include "brasko/LurmetBinaryFile.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace scenario_test;

namespace {

struct SegmentSteps {
    const char* what;
    std::vector<int> counts;  // the number of segments the stream is given, one step after another
};

std::ostream& operator<<(std::ostream& os, const SegmentSteps& c) { return os << c.what; }

// Points from 300 down, 20 K apart, for `segments` segments.
std::vector<double> Points(int segments) {
    std::vector<double> points;
    for (int i = 0; i <= segments; ++i) points.push_back(300.0 - 20.0 * i);
    return points;
}

void GiveSegments(IHeatIntegrationStream& s, int segments) {
    while (s.GetNumberOfSegments() > segments) s.DeleteSegment(s.GetNumberOfSegments() - 1);
    while (s.GetNumberOfSegments() < segments) s.InsertSegment(s.GetNumberOfSegments());
    const std::vector<double> points = Points(segments);
    // From the last point up: an inserted segment's outlet takes the old outlet, so the new points
    // are given below it first.
    for (std::size_t i = points.size(); i-- > 0;) s.SetValue("Temperature", points[i], static_cast<int>(i));
    for (int i = 0; i < segments; ++i) s.SetValue("HeatCapacityFlowrate", 1.0 + i, i);
}

void ExpectSegments(const CPIHeatIntegrationStream& s, int segments, const char* when) {
    SCOPED_TRACE(when);
    const StreamSegmentList* list = s.GetDesignSegments();
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(static_cast<std::size_t>(segments), list->size());
    const std::vector<double> points = Points(segments);
    int i = 0;
    for (const auto& segment : *list) {
        ASSERT_NE(nullptr, segment);
        EXPECT_EQ(static_cast<const IHeatIntegrationStream*>(&s), segment->pStream);
        EXPECT_DOUBLE_EQ(points[static_cast<std::size_t>(i)], segment->dInletTemperature);
        EXPECT_DOUBLE_EQ(points[static_cast<std::size_t>(i) + 1], segment->dOutletTemperature);
        EXPECT_DOUBLE_EQ(1.0 + i, segment->dHeatCapacityFlowrate);
        ++i;
    }
    EXPECT_EQ(list->front().get(), (*list)[0].get());
    EXPECT_EQ(list->back().get(), (*list)[static_cast<std::size_t>(segments) - 1].get());
    EXPECT_EQ(list->back().get(), list->rbegin()->get());
}

class StreamDesignSegments : public ::testing::TestWithParam<SegmentSteps> {};

TEST_P(StreamDesignSegments, FollowThePointsThroughEveryStep) {
    Fixture f;
    CPIHeatIntegrationStream* s = f.AddProcessStream("H1", 300, 280, 1.0);
    ASSERT_NE(nullptr, s);
    ExpectSegments(*s, 1, "as added");
    for (int count : GetParam().counts) {
        GiveSegments(*s, count);
        const std::string when = "at " + std::to_string(count) + " segments";
        ExpectSegments(*s, count, when.c_str());
        ASSERT_NE(nullptr, f.scenario->GetSegmentPool());
        EXPECT_EQ(static_cast<std::size_t>(count), f.scenario->GetSegmentPool()->Length()) << when;
    }
    const int last = GetParam().counts.back();

    // Written and read back, the stream holds the same segments in the same order.
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(s->Store(out));
    CPIHeatIntegrationStream recalled(nullptr, "");
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    ASSERT_TRUE(recalled.Recall(in));
    ASSERT_NE(nullptr, recalled.GetDesignSegments());
    ASSERT_EQ(static_cast<std::size_t>(last), recalled.GetDesignSegments()->size());
    for (int i = 0; i < last; ++i) {
        const StreamSegment& a = *(*s->GetDesignSegments())[static_cast<std::size_t>(i)];
        const StreamSegment& b = *(*recalled.GetDesignSegments())[static_cast<std::size_t>(i)];
        EXPECT_DOUBLE_EQ(a.dInletTemperature, b.dInletTemperature);
        EXPECT_DOUBLE_EQ(a.dOutletTemperature, b.dOutletTemperature);
    }

    // Detached, the stream holds no list; set again, it holds the very same segments.
    std::vector<const StreamSegment*> before;
    for (const auto& segment : *recalled.GetDesignSegments()) before.push_back(segment.get());
    std::unique_ptr<StreamSegmentList> taken = recalled.DetachDesignSegments();
    EXPECT_EQ(nullptr, recalled.GetDesignSegments());
    ASSERT_NE(nullptr, taken);
    recalled.SetDesignSegments(std::move(taken));
    ASSERT_NE(nullptr, recalled.GetDesignSegments());
    std::vector<const StreamSegment*> after;
    for (const auto& segment : *recalled.GetDesignSegments()) after.push_back(segment.get());
    EXPECT_EQ(before, after);
    recalled.SetDesignSegments(nullptr);
    EXPECT_EQ(nullptr, recalled.GetDesignSegments());

    ASSERT_EQ(1, f.scenario->DeleteStream("H1"));
    EXPECT_EQ(nullptr, f.scenario->GetSegmentPool());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, StreamDesignSegments,
    ::testing::Values(SegmentSteps{"oneSegmentKept", {1}}, SegmentSteps{"oneToTwo", {2}},
                      SegmentSteps{"oneToFiveAndBack", {5, 1}}, SegmentSteps{"growingOneAtATime", {2, 3, 4, 5, 6}},
                      SegmentSteps{"downAndUpAgain", {4, 2, 1, 3}}),
    [](const ::testing::TestParamInfo<SegmentSteps>& info) { return std::string(info.param.what); });

}  // namespace
