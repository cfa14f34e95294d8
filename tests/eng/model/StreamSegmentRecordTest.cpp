// The segment record: the network block's cross-pinch mark travels with the segment, in the
// block's fourth integer, so a segment written before the mark existed reads back unmarked.
#include "brasko/LurmetBinaryFile.h"
#include "eng/core/StreamSegment.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::uint8_t> Stored(const StreamSegment& s) {
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    EXPECT_TRUE(s.Store(w));
    return w.Bytes();
}

StreamSegment Utility(std::int32_t connected, std::int32_t crossPinch) {
    StreamSegment s;
    s.dInletTemperature = 200.0;
    s.dOutletTemperature = 199.0;
    s.dLoad = 20.0;
    s.nKind = 1;
    s.pLink = std::make_unique<StreamSegmentLink>();
    s.pLink->dFarEndTemperature = 199.5;
    s.pLink->nConnected = connected;
    s.pLink->nCrossPinch = crossPinch;
    return s;
}

struct MarkCase {
    std::int32_t connected, crossPinch;
};
void PrintTo(const MarkCase& c, std::ostream* os) {
    *os << (c.connected ? "connected" : "not connected") << (c.crossPinch ? ", across the pinch" : "");
}
class StreamSegmentRecord : public ::testing::TestWithParam<MarkCase> {};

TEST_P(StreamSegmentRecord, TheCrossPinchMarkComesBack) {
    const StreamSegment s = Utility(GetParam().connected, GetParam().crossPinch);
    const std::vector<std::uint8_t> bytes = Stored(s);
    LurmetBinaryFile r = LurmetBinaryFile::ForReading(bytes);
    StreamSegment back;
    ASSERT_TRUE(back.Recall(r));
    ASSERT_TRUE(back.HasLink());
    EXPECT_EQ(back.IsCrossPinch(), GetParam().crossPinch == 1);
    EXPECT_EQ(back.IsConnected(), GetParam().connected == 1);
    EXPECT_EQ(back.pLink->dFarEndTemperature, 199.5);
    EXPECT_EQ(Stored(back), bytes);
}
INSTANTIATE_TEST_SUITE_P(Marks, StreamSegmentRecord,
                         ::testing::Values(MarkCase{1, 1}, MarkCase{1, 0}, MarkCase{0, 0}));

// The mark is the last integer of the block: a record with 0 there (what every segment wrote
// before the mark) reads unmarked, and only that integer differs between the two records.
TEST(StreamSegmentRecordLayout, TheMarkIsTheBlocksLastInteger) {
    const std::vector<std::uint8_t> marked = Stored(Utility(1, 1));
    const std::vector<std::uint8_t> unmarked = Stored(Utility(1, 0));
    ASSERT_EQ(marked.size(), unmarked.size());
    std::vector<std::size_t> differ;
    for (std::size_t i = 0; i < marked.size(); ++i)
        if (marked[i] != unmarked[i]) differ.push_back(i);
    ASSERT_EQ(differ.size(), 1u);
    // A segment without a block has no mark.
    StreamSegment plain;
    EXPECT_FALSE(plain.IsCrossPinch());
}

// Side and kind are held as bytes: every number a byte holds comes back as stored, beside a
// contribution and interval numbers given after them; a record with a side or kind no byte holds
// is refused.
std::vector<std::uint8_t> RecordWithSideAndKind(std::int32_t side, std::int32_t kind) {
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    RecordHandle h;
    bool ok = w.BeginRecord(h, StreamSegment::RecordVersion);
    for (double v : {150.0, 50.0, 2.0, 0.5, 1e-12, 145.0, 45.0}) ok = ok && w.WriteDouble(v);
    for (std::int32_t v : {3, 1, 4, 0}) ok = ok && w.WriteInt(v);
    ok = ok && w.WriteDouble(200.0) && w.WriteDouble(0.0) && w.WriteInt(side) && w.WriteInt(kind);
    ok = ok && ValueAndFlag{5.0, ValueAndFlag::ScopeLocal}.Store(w) && w.WriteInt(0) && w.EndRecord(h);
    EXPECT_TRUE(ok);
    return w.Bytes();
}

struct SideKindCase {
    const char* name;
    std::int32_t side, kind;
    bool taken;
};
void PrintTo(const SideKindCase& c, std::ostream* os) { *os << "side " << c.side << ", kind " << c.kind; }
class StreamSegmentSideAndKind : public ::testing::TestWithParam<SideKindCase> {};

TEST_P(StreamSegmentSideAndKind, NumbersAByteHoldsComeBackOthersAreRefused) {
    const SideKindCase& c = GetParam();
    const std::vector<std::uint8_t> bytes = RecordWithSideAndKind(c.side, c.kind);
    LurmetBinaryFile r = LurmetBinaryFile::ForReading(bytes);
    StreamSegment back;
    ASSERT_EQ(c.taken, back.Recall(r));
    if (!c.taken) return;
    EXPECT_EQ(c.side, back.nHotCold);
    EXPECT_EQ(c.kind, back.nKind);
    EXPECT_EQ(3, back.nIntervalCount);
    EXPECT_EQ(1, back.nFirstInterval);
    EXPECT_EQ(5.0, back.DTminContribution.dValue);
    EXPECT_EQ(Stored(back), bytes);
    // A contribution assigned whole leaves the numbers beside it alone.
    back.DTminContribution = ValueAndFlag{2.5, ValueAndFlag::ScopeGlobal};
    EXPECT_EQ(3, back.nIntervalCount);
    EXPECT_EQ(c.side, back.nHotCold);
}
INSTANTIATE_TEST_SUITE_P(Records, StreamSegmentSideAndKind,
                         ::testing::Values(SideKindCase{"ColdProcess", 1, 0, true},
                                           SideKindCase{"UndeterminedNotSet", 2, 5, true},
                                           SideKindCase{"ByteExtremes", -128, 127, true},
                                           SideKindCase{"SidePastAByte", 300, 0, false},
                                           SideKindCase{"KindBelowAByte", 0, -129, false}),
                         [](const ::testing::TestParamInfo<SideKindCase>& info) { return std::string(info.param.name); });

}  // namespace
