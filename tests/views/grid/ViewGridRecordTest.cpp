// The configuration part of the grid diagram's record: a user configuration round trips, an
// older record brings back only the streams, extra annotation choices are read and dropped,
// and a damaged record fails without touching the configuration.
#include "views/grid/HENDiagramConfiguration.h"

#include "tests/support/RecordHarness.h"

#include <gtest/gtest.h>

namespace {

HENDiagramConfiguration userConfiguration() {
    HENDiagramConfiguration c;
    c.name = "Mine";
    c.notes = "cold side first";
    c.AddStream("C1").visible = false;
    c.AddStream("H1");
    c.annotationChoices[2] = 3;
    c.reverseDirection = true;
    return c;
}

// A record written field by field, with `count` annotation choices.
Bytes handWritten(int count, bool withVersion2Fields) {
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    out.WriteInt(2);
    out.WriteCPString("H2"), out.WriteChar(1), out.WriteChar(1);
    out.WriteCPString("C2"), out.WriteChar(0), out.WriteChar(1);
    if (withVersion2Fields) {
        out.WriteCPString("Stored"), out.WriteCPString("");
        out.WriteInt(count);
        // The six positions take label choices; what lies beyond them is dropped unread.
        for (int k = 0; k < count; ++k) out.WriteInt(k < 6 ? k + 1 : 100 + k);
        out.WriteChar(1), out.WriteChar(1);
    }
    return out.Bytes();
}

TEST(ViewGridRecord, UserConfigurationRoundTrips) {
    const HENDiagramConfiguration c = userConfiguration();
    HENDiagramConfiguration into;
    EXPECT_TRUE(RoundTrips(c, into));
    EXPECT_EQ("Mine", into.name);
    ASSERT_EQ(2u, into.streams.size());
    EXPECT_EQ("C1", into.streams[0].name);
    EXPECT_FALSE(into.streams[0].visible);
    EXPECT_EQ(3, into.annotationChoices[2]);
    EXPECT_TRUE(into.reverseDirection);
}

TEST(ViewGridRecord, OlderRecordBringsBackTheStreamOrderOnly) {
    HENDiagramConfiguration c = userConfiguration();
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(handWritten(0, false));
    ASSERT_TRUE(c.Recall(in, 1));
    ASSERT_EQ(2u, c.streams.size());
    EXPECT_EQ("H2", c.streams[0].name);
    EXPECT_FALSE(c.streams[1].visible);
    EXPECT_EQ("Mine", c.name);  // not in the older record
}

TEST(ViewGridRecord, ExtraAnnotationChoicesAreReadAndDropped) {
    HENDiagramConfiguration c;
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(handWritten(10, true));
    ASSERT_TRUE(c.Recall(in));
    for (int k = 0; k < 6; ++k) EXPECT_EQ(k + 1, c.annotationChoices[k]);
    EXPECT_TRUE(c.reverseDirection);
    EXPECT_TRUE(c.showPinch);
    HENDiagramConfiguration refused = userConfiguration();
    const Bytes before = StoredBytes(refused);
    LurmetBinaryFile tooMany = LurmetBinaryFile::ForReading(handWritten(65, true));
    EXPECT_FALSE(refused.Recall(tooMany));
    EXPECT_EQ(before, StoredBytes(refused));
}

TEST(ViewGridRecord, CutRecordFailsAndLeavesTheConfiguration) {
    const Bytes full = StoredBytes(userConfiguration());
    ASSERT_FALSE(full.empty());
    for (std::size_t cut = 0; cut + 1 < full.size(); ++cut) {
        HENDiagramConfiguration c = HENDiagramConfiguration();
        c.name = "Kept";
        const Bytes before = StoredBytes(c);
        LurmetBinaryFile in = LurmetBinaryFile::ForReading(Bytes(full.begin(), full.begin() + static_cast<long>(cut)));
        EXPECT_FALSE(c.Recall(in)) << cut;
        EXPECT_EQ(before, StoredBytes(c)) << cut;
    }
}

}  // namespace
