// Links between a process stream and a utility (a forbidden match with a utility), and the kind
// of a linked stream made a utility: a utility stays a utility, in the scenario's utility lists.
#include "ScenarioTestDoubles.h"

#include <gtest/gtest.h>

using namespace scenario_test;

namespace {

struct LinkCase {
    const char* from;
    const char* to;
};
void PrintTo(const LinkCase& c, std::ostream* os) {
    *os << c.from << " linked to " << c.to;
}

class LinkWithUtility : public ::testing::TestWithParam<LinkCase> {};

TEST_P(LinkWithUtility, TheUtilityKeepsItsKindAndItsPlaceInTheUtilityLists) {
    Fixture f;
    f.AddProcessStream("C1", 20.0, 135.0, 2.0);
    ASSERT_EQ(f.scenario->AddStream("LP Steam", 1), 1);
    CPIHeatIntegrationStream* c1 = f.scenario->FindStream("C1");
    CPIHeatIntegrationStream* steam = f.scenario->FindStream("LP Steam");
    CPIHeatIntegrationStream* from = f.scenario->FindStream(GetParam().from);

    ASSERT_EQ(from->LinkStream(GetParam().to), 1);
    EXPECT_TRUE(c1->IsLinkedTo("LP Steam"));
    EXPECT_TRUE(steam->IsLinkedTo("C1"));
    EXPECT_EQ(c1->GetStreamKind(), CPIHeatIntegrationStream::KindLinked);
    EXPECT_EQ(steam->GetStreamKind(), CPIHeatIntegrationStream::KindUtility);
    EXPECT_EQ(f.scenario->GetNumberOfUtilityStreams(), 1);
    EXPECT_EQ(f.scenario->GetNumberOfStreamsOfKind(1, 0), 1);
    EXPECT_EQ(f.scenario->GetNumberOfStreamsOfKind(0, 2), 1);

    // A design treats a used utility as a process stream while it calculates, then gives it back
    // its kind: the link must not keep it a linked process stream.
    EXPECT_EQ(steam->SetStreamKind(CPIHeatIntegrationStream::KindProcess, 0), 1);
    EXPECT_EQ(steam->GetStreamKind(), CPIHeatIntegrationStream::KindLinked);
    EXPECT_EQ(steam->SetStreamKind(CPIHeatIntegrationStream::KindUtility, 0), 0);
    EXPECT_EQ(steam->GetStreamKind(), CPIHeatIntegrationStream::KindUtility);

    ASSERT_EQ(from->UnlinkStream(GetParam().to), 1);
    EXPECT_EQ(c1->GetStreamKind(), CPIHeatIntegrationStream::KindProcess);
    EXPECT_EQ(steam->GetStreamKind(), CPIHeatIntegrationStream::KindUtility);
}

INSTANTIATE_TEST_SUITE_P(EitherSide, LinkWithUtility,
                         ::testing::Values(LinkCase{"C1", "LP Steam"}, LinkCase{"LP Steam", "C1"}));

// Made a utility, a linked process stream becomes one (answering 0: it had links) and says so,
// so that the scenario files it with the utilities; the user's switch (announced) lets go of its
// forbidden matches as a deletion does, and C1 is a plain process stream again.
TEST(LinkedStreamKind, MadeAUtilityItMovesToTheScenariosUtilityLists) {
    Fixture f;
    CPIHeatIntegrationStream* h1 = f.AddProcessStream("H1", 150.0, 60.0, 2.0);
    f.AddProcessStream("C1", 20.0, 135.0, 2.0);
    ASSERT_EQ(h1->LinkStream("C1"), 1);
    f.Clear();
    EXPECT_EQ(h1->SetStreamKind(CPIHeatIntegrationStream::KindUtility, 1), 0);
    EXPECT_EQ(h1->GetStreamKind(), CPIHeatIntegrationStream::KindUtility);
    EXPECT_FALSE(h1->IsLinkedTo("C1"));
    EXPECT_EQ(f.scenario->FindStream("C1")->GetStreamKind(), CPIHeatIntegrationStream::KindProcess);
    EXPECT_EQ(f.scenario->GetNumberOfForbiddenMatches(), 0);
    EXPECT_EQ(f.view.Count(87), 1);
    EXPECT_EQ(f.scenario->GetNumberOfStreamsOfKind(1, 0), 1);
    EXPECT_EQ(f.scenario->GetNumberOfStreamsOfKind(0, 0), 0);
    EXPECT_EQ(f.scenario->GetNumberOfStreamsOfKind(1, 2), f.scenario->GetNumberOfUtilityStreams());
}

}  // namespace
