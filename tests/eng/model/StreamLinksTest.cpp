// Links between streams: kept on both sides, taken back when a stream goes away or is renamed.
#include "eng/model/HeatIntegrationStream.h"
#include "tests/eng/model/StreamTestSupport.h"

#include <gtest/gtest.h>

using namespace streamtest;

namespace {

class StreamLinks : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureRegistries();
        a = owner.Add("A");
        b = owner.Add("B");
        c = owner.Add("C");
    }
    FakeStreamOwner owner;
    CPIHeatIntegrationStream* a = nullptr;
    CPIHeatIntegrationStream* b = nullptr;
    CPIHeatIntegrationStream* c = nullptr;
};

TEST_F(StreamLinks, ALinkIsHeldByBothStreamsWhichBecomeLinkedStreams) {
    RecordingReceiver ra, rb;
    a->AddNotificationReceiver(&ra);
    b->AddNotificationReceiver(&rb);
    EXPECT_EQ(1, a->LinkStream("B"));
    EXPECT_TRUE(a->IsLinkedTo("B"));
    EXPECT_TRUE(b->IsLinkedTo("A"));
    EXPECT_FALSE(a->IsLinkedTo("C"));
    EXPECT_EQ(CPIHeatIntegrationStream::KindLinked, a->GetStreamKind());
    EXPECT_EQ(CPIHeatIntegrationStream::KindLinked, b->GetStreamKind());
    ASSERT_EQ((std::vector<int>{71, 72}), ra.Codes());
    EXPECT_EQ(AsData(*a), ra.changes[0].data);
    EXPECT_EQ(1, ra.changes[1].intValue);
    EXPECT_TRUE(rb.changes.empty());  // the other side changes kind silently

    EXPECT_EQ(1, a->LinkStream("B"));  // already linked: nothing more
    EXPECT_EQ(1, a->GetNumberOfLinkedStreams());
    EXPECT_EQ(2u, ra.changes.size());
}

TEST_F(StreamLinks, LinksToNobodyOrItselfOrFromALockedStreamAreRefused) {
    EXPECT_EQ(0, a->LinkStream("Nobody"));
    EXPECT_EQ(0, a->LinkStream("A"));
    a->SetLocked(true);
    EXPECT_EQ(0, a->LinkStream("B"));
    EXPECT_EQ(0, a->GetNumberOfLinkedStreams());
    EXPECT_EQ(CPIHeatIntegrationStream::KindProcess, a->GetStreamKind());
    CPIHeatIntegrationStream free(nullptr, "Free");
    EXPECT_EQ(0, free.LinkStream("B"));
}

TEST_F(StreamLinks, UnlinkingTakesTheLinkBackOnBothSides) {
    a->LinkStream("B");
    a->LinkStream("C");
    RecordingReceiver ra;
    a->AddNotificationReceiver(&ra);
    EXPECT_EQ(1, a->UnlinkStream("B"));
    EXPECT_FALSE(a->IsLinkedTo("B"));
    EXPECT_FALSE(b->IsLinkedTo("A"));
    EXPECT_EQ(CPIHeatIntegrationStream::KindLinked, a->GetStreamKind());  // still linked to C
    EXPECT_EQ(CPIHeatIntegrationStream::KindProcess, b->GetStreamKind());
    ASSERT_EQ((std::vector<int>{71, 72}), ra.Codes());
    EXPECT_EQ(-1, ra.changes[1].intValue);
    EXPECT_EQ(0, a->UnlinkStream("B"));

    EXPECT_EQ(1, c->UnlinkStream("A"));
    EXPECT_EQ(CPIHeatIntegrationStream::KindProcess, a->GetStreamKind());
    EXPECT_EQ(0, a->GetNumberOfLinkedStreams());

    a->LinkStream("B");
    a->SetLocked(true);
    EXPECT_EQ(0, a->UnlinkStream("B"));
    EXPECT_TRUE(b->IsLinkedTo("A"));
}

TEST_F(StreamLinks, AStreamThatGoesAwayLeavesNoLinkBehind) {
    a->LinkStream("B");
    c->LinkStream("B");
    owner.Remove("B");
    EXPECT_FALSE(a->IsLinkedTo("B"));
    EXPECT_FALSE(c->IsLinkedTo("B"));
    EXPECT_EQ(CPIHeatIntegrationStream::KindProcess, a->GetStreamKind());
    EXPECT_EQ(CPIHeatIntegrationStream::KindProcess, c->GetStreamKind());
    // Both survivors can still be linked, unlinked and stored.
    EXPECT_EQ(1, a->LinkStream("C"));
    EXPECT_EQ(1, a->UnlinkStream("C"));
}

TEST_F(StreamLinks, AnOwnerDeletingEveryLinkedStreamInAnyOrderIsSafe) {
    a->LinkStream("B");
    a->LinkStream("C");
    b->LinkStream("C");
    owner.streams.erase(owner.streams.begin());  // A first
    EXPECT_TRUE(b->IsLinkedTo("C"));
    EXPECT_FALSE(b->IsLinkedTo("A"));
    owner.streams.clear();
}

TEST_F(StreamLinks, RenamingAStreamRenamesItInTheStreamsLinkedToIt) {
    a->LinkStream("B");
    b->SetName("B2");
    EXPECT_TRUE(a->IsLinkedTo("B2"));
    EXPECT_FALSE(a->IsLinkedTo("B"));
    EXPECT_EQ(1, a->UnlinkStream("B2"));
    EXPECT_FALSE(b->IsLinkedTo("A"));
    a->LinkStream("B2");
    owner.Remove("B2");
    EXPECT_EQ(0, a->GetNumberOfLinkedStreams());
}

TEST_F(StreamLinks, ALinkedStreamMadeAUtilityBecomesOneAndKeepsItsLinks) {
    a->LinkStream("B");
    EXPECT_EQ(1, a->SetStreamKind(0, 1));
    EXPECT_EQ(CPIHeatIntegrationStream::KindLinked, a->GetStreamKind());
    EXPECT_EQ(0, a->SetStreamKind(1, 1));
    EXPECT_EQ(CPIHeatIntegrationStream::KindUtility, a->GetStreamKind());
    EXPECT_TRUE(a->IsLinkedTo("B"));
    EXPECT_EQ(CPIHeatIntegrationStream::KindLinked, b->GetStreamKind());
}

TEST_F(StreamLinks, ForgettingLinksClearsBothSides) {
    a->LinkStream("B");
    a->LinkStream("C");
    a->ForgetLinkedStreams();
    EXPECT_EQ(0, a->GetNumberOfLinkedStreams());
    EXPECT_FALSE(b->IsLinkedTo("A"));
    EXPECT_FALSE(c->IsLinkedTo("A"));
    EXPECT_EQ(CPIHeatIntegrationStream::KindProcess, b->GetStreamKind());
}

}  // namespace
