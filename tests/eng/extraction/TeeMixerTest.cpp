// Tees and mixers: candidates by composition, pairs folded into one chain with branches, the
// direction of a chain and the choice of process chains.
#include "tests/eng/extraction/CaseBuilder.h"
#include "tests/eng/extraction/ExtractionTestSupport.h"

#include "eng/extraction/VelmorToTarsilImport.h"
#include "quenta/RalvexInterface.h"

#include <gtest/gtest.h>

using namespace extraction_test;

namespace {

void crc(CPItem* item, int value) { item->AddVariable("CompositionCRC")->Set(static_cast<std::int16_t>(value), 0); }

// F -> V1 -> A -> T -> B1 -> H1 -> C1 -> M -> D, and T -> B2 -> H2 -> C2 -> M: a split stream
// heated in two parallel heaters and mixed again.
struct SplitThroughTwoHeaters {
    ExtractionProject p;
    CaseBuilder b;
    RalvexInterface access;
    VelmorToTarsilImport import{p.scenario, &access, &b.simulatorCase};
    CPItem *a, *b1, *b2, *c1, *c2, *d, *tee, *mixer;
    explicit SplitThroughTwoHeaters(int branches = 2) {
        CPItem* f = b.Stream("F", 20, -300);
        a = b.Stream("A", 20, -300);
        b.Through(f, "V1", "ppValve", a);
        tee = b.Item("T", "ppTee");
        mixer = b.Item("M", "ppMixer");
        CaseBuilder::Link(a, tee);
        b1 = b.Stream("B1", 20, -300);
        b2 = b.Stream("B2", 20, -300);
        c1 = b.Stream("C1", 80, -250);
        c2 = b.Stream("C2", 80, -250);
        CaseBuilder::Link(tee, b1);
        CaseBuilder::Link(tee, b2);
        b.Through(b1, "H1", "htHeater", c1);
        b.Through(b2, "H2", "htHeater", c2);
        CaseBuilder::Link(c1, mixer);
        CaseBuilder::Link(c2, mixer);
        for (int i = 2; i < branches; ++i) CaseBuilder::Link(b.Stream("X" + std::to_string(i), 80, -250), mixer);
        d = b.Stream("D", 80, -250);
        CaseBuilder::Link(mixer, d);
    }
    VelmorToTarsilImport::ChainList Chains(std::initializer_list<std::initializer_list<CPItem*>> lists) {
        VelmorToTarsilImport::ChainList out;
        for (auto l : lists) out.push_back(std::make_unique<StreamChain>(CaseBuilder::Chain(l)));
        return out;
    }
};

TEST(TeeMixerPairs, APairFoldsItsBranchesAndItsOutletIntoTheInletChain) {
    SplitThroughTwoHeaters s;
    crc(s.tee, 5);
    crc(s.mixer, 5);
    auto chains = s.Chains({{s.a}, {s.b1, s.c1}, {s.b2, s.c2}, {s.d}});
    std::vector<CPItem*> tees{s.tee}, mixers{s.mixer};
    s.import.MergeTeeMixerPairs(tees, mixers, chains);
    ASSERT_EQ(chains.size(), 1u);
    EXPECT_EQ(Names(chains[0]->streams), (std::vector<std::string>{"A", "B1", "C1", "B2", "C2", "D"}));
    EXPECT_EQ(Names(chains[0]->tees), std::vector<std::string>{"T"});
    EXPECT_EQ(Names(chains[0]->mixers), std::vector<std::string>{"M"});
    EXPECT_TRUE(tees.empty());
    EXPECT_TRUE(mixers.empty());
    EXPECT_EQ(s.c2->GetVariable("BranchName")->GetAsString(), "B2");
    EXPECT_EQ(s.d->GetVariable("BranchName")->GetAsString(), "D");
    EXPECT_EQ(VelmorToTarsilImport::ChainDirection(*chains[0]), 2);  // it holds a tee
}

TEST(TeeMixerPairs, PairsThatDoNotForm) {
    {
        SplitThroughTwoHeaters s(3);  // two outlets, three inlets
        crc(s.tee, 5);
        crc(s.mixer, 5);
        auto chains = s.Chains({{s.a}, {s.b1, s.c1}, {s.b2, s.c2}, {s.d}});
        std::vector<CPItem*> tees{s.tee}, mixers{s.mixer};
        s.import.MergeTeeMixerPairs(tees, mixers, chains);
        EXPECT_EQ(chains.size(), 4u);
        EXPECT_EQ(tees.size(), 1u);
    }
    {
        SplitThroughTwoHeaters s;
        crc(s.tee, 5);
        crc(s.mixer, 6);
        auto chains = s.Chains({{s.a}, {s.b1, s.c1}, {s.b2, s.c2}, {s.d}});
        std::vector<CPItem*> tees{s.tee}, mixers{s.mixer};
        s.import.MergeTeeMixerPairs(tees, mixers, chains);
        EXPECT_EQ(chains.size(), 4u);
    }
}

TEST(TeeMixerPairs, AnInletWithoutAChainGetsADuplicateThatStartsTheMergedChain) {
    SplitThroughTwoHeaters s;
    crc(s.tee, 5);
    crc(s.mixer, 5);
    auto chains = s.Chains({{s.b1, s.c1}, {s.b2, s.c2}, {s.d}});
    std::vector<CPItem*> tees{s.tee}, mixers{s.mixer};
    s.import.MergeTeeMixerPairs(tees, mixers, chains);
    ASSERT_EQ(chains.size(), 1u);
    EXPECT_EQ(chains[0]->First()->_get_szName(), "ADuplicate");
    // The copy sits between its source and the tee.
    CPItem* copy = s.b.simulatorCase.GetItemByName("ADuplicate");
    EXPECT_TRUE(s.a->IsRelatedTo(copy, CPItem::Downstream));
    EXPECT_TRUE(copy->IsRelatedTo(s.tee, CPItem::Downstream));
}

TEST(TeeMixerPairs, CandidatesAreUnitsWhoseStreamsShareOneComposition) {
    SplitThroughTwoHeaters s;
    for (CPItem* st : {s.a, s.b1, s.b2, s.c1, s.c2, s.d}) crc(st, 17);
    auto chains = s.Chains({{s.a}, {s.b1, s.c1}, {s.b2, s.c2}, {s.d}});
    s.import.PairSplittersAndMixers(chains);
    EXPECT_EQ(s.mixer->GetVariable("CompositionCRC")->GetAsShort(), 17);
    EXPECT_EQ(chains.size(), 1u);

    SplitThroughTwoHeaters t;
    for (CPItem* st : {t.a, t.b1, t.b2, t.c1, t.d}) crc(st, 17);
    crc(t.c2, 18);
    auto other = t.Chains({{t.a}, {t.b1, t.c1}, {t.b2, t.c2}, {t.d}});
    t.import.PairSplittersAndMixers(other);
    EXPECT_EQ(t.mixer->GetVariable("CompositionCRC"), nullptr);
    // The tee's streams carry no signature at all: all count as 0, so it is a candidate.
    EXPECT_EQ(t.tee->GetVariable("CompositionCRC")->GetAsShort(), 17);
    EXPECT_EQ(other.size(), 4u);

    SplitThroughTwoHeaters u;
    auto none = u.Chains({{u.a}, {u.b1, u.c1}, {u.b2, u.c2}, {u.d}});
    u.import.PairSplittersAndMixers(none);
    EXPECT_EQ(u.tee->GetVariable("CompositionCRC")->GetAsShort(), 0);
    EXPECT_EQ(none.size(), 1u);
}

TEST(TeeMixerPairs, ChainDirectionFollowsTheMolarEnthalpy) {
    CaseBuilder b;
    struct Row {
        double first, last;
        int direction;
    } rows[] = {{-250, -300, 0}, {-300, -250, 1}, {-250, -250, 2}, {-250, CPValue::Empty, 2}};
    int n = 0;
    for (const Row& r : rows) {
        CPItem* f = b.Stream("F" + std::to_string(n), 100, r.first);
        CPItem* l = b.Stream("L" + std::to_string(n++), 100, r.last);
        EXPECT_EQ(VelmorToTarsilImport::ChainDirection(CaseBuilder::Chain({f, l})), r.direction) << r.first << r.last;
        EXPECT_EQ(VelmorToTarsilImport::ChainDirection(CaseBuilder::Chain({f})), 2);
    }
}

TEST(TeeMixerPairs, APieceAfterAMixerJoinsTheSideOfTheChainsFeedingIt) {
    SplitThroughTwoHeaters s;
    // No pairing: the branches stay cold chains through heaters, D is a piece out of the mixer.
    auto chains = s.Chains({{s.b1, s.c1}, {s.b2, s.c2}, {s.d}});
    const auto cold = s.import.SelectProcessChains(1, chains);
    const auto hot = s.import.SelectProcessChains(0, chains);
    ASSERT_EQ(cold.size(), 3u);
    EXPECT_EQ(cold[2], chains[2].get());
    EXPECT_TRUE(hot.empty());
}

}  // namespace
