// The match list against the list that holds every pair as a record of its own (the streams
// paired one by one over the dictionary): random histories of streams arriving, changing side
// and going, and the answers both give: counts, the pair at every position, each stream's
// matches, whether two streams pair, and what a distribution and the names leave on the pairs.
#include "eng/model/MatchwiseStreamData.h"
#include "tests/support/NeutralStream.h"
#include "tevrin/CPDictionary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

class SidedStream : public NeutralStream {
public:
    SidedStream(std::string name, int side, bool utility) : m_name(name.c_str()), m_side(side), m_utility(utility) {}
    int GetHotCold() const override { return m_side; }
    int GetStreamKind() const override { return m_utility ? 1 : 0; }
    const CPString& GetName() const override { return m_name; }
    void SetSide(int side) { m_side = side; }

private:
    CPString m_name;
    int m_side;
    bool m_utility;
};

using Pair = std::pair<const IHeatIntegrationStream*, const IHeatIntegrationStream*>;

// Every pair a record of its own, found by walking the records.
struct PairByPair {
    const CPDictionary* streams;
    std::vector<Pair> records;

    void Add(const IHeatIntegrationStream* s) {
        const int side = s->GetHotCold();
        if (side != 0 && side != 1) return;
        for (std::size_t i = 0; i < streams->Length(); ++i) {
            auto* other = static_cast<const IHeatIntegrationStream*>((*streams)[i]);
            if (other == s || other->GetHotCold() != 1 - side) continue;
            if (s->GetStreamKind() == 1 && other->GetStreamKind() == 1) continue;
            const Pair p = side == 0 ? Pair{s, other} : Pair{other, s};
            if (std::find(records.begin(), records.end(), p) == records.end()) records.push_back(p);
        }
    }
    void Remove(const IHeatIntegrationStream* s) {
        std::erase_if(records, [s](const Pair& p) { return p.first == s || p.second == s; });
    }
};

struct MatchListPairingCase {
    unsigned seed;
    int steps;
    bool sideChanges;
    bool removals;
    // Removed streams come back (the same objects, as a stream deleted and another made at its
    // address would).
    bool returns = false;
};
void PrintTo(const MatchListPairingCase& c, std::ostream* os) {
    *os << "seed " << c.seed << ", " << c.steps << " steps" << (c.sideChanges ? ", side changes" : "")
        << (c.removals ? ", removals" : "") << (c.returns ? ", returns" : "");
}

class MatchListPairing : public ::testing::TestWithParam<MatchListPairingCase> {};

TEST_P(MatchListPairing, AnswersAsTheListOfEveryPair) {
    const MatchListPairingCase& c = GetParam();
    std::mt19937 rng(c.seed);
    CPDictionary dictionary;
    std::vector<std::unique_ptr<SidedStream>> owned;
    auto item = [](SidedStream* s) { return static_cast<void*>(static_cast<IHeatIntegrationStream*>(s)); };
    // A few streams before the list is made.
    for (int i = 0; i < 4; ++i) {
        owned.push_back(std::make_unique<SidedStream>("P" + std::to_string(i), static_cast<int>(rng() % 2), i == 3));
        dictionary.AddKeyString(owned.back()->GetName(), item(owned.back().get()));
    }
    MatchwiseStreamDataList list(&dictionary);
    PairByPair expected{&dictionary, {}};
    for (std::size_t i = 0; i < dictionary.Length(); ++i) {
        auto* s = static_cast<const IHeatIntegrationStream*>(dictionary[i]);
        if (s->GetHotCold() == 0) expected.Add(s);
    }

    std::vector<SidedStream*> alive, gone;
    for (auto& s : owned) alive.push_back(s.get());
    for (int step = 0; step < c.steps; ++step) {
        const unsigned what = rng() % 10;
        if (c.removals && what == 0 && alive.size() > 2) {
            SidedStream* s = alive[rng() % alive.size()];
            list.RemoveStream(s);
            expected.Remove(s);
            dictionary.RemoveKeyString(s->GetName());
            std::erase(alive, s);
            gone.push_back(s);
        } else if (c.returns && what == 3 && !gone.empty()) {
            SidedStream* s = gone[rng() % gone.size()];
            std::erase(gone, s);
            dictionary.AddKeyString(s->GetName(), item(s));
            alive.push_back(s);
            list.AddStream(s);
            expected.Add(s);
        } else if (c.sideChanges && what <= 2 && !alive.empty()) {
            SidedStream* s = alive[rng() % alive.size()];
            s->SetSide(static_cast<int>(rng() % 3));
            list.AddStream(s);
            expected.Add(s);
        } else {
            owned.push_back(std::make_unique<SidedStream>("S" + std::to_string(step), static_cast<int>(rng() % 2),
                                                          rng() % 6 == 0));
            SidedStream* s = owned.back().get();
            dictionary.AddKeyString(s->GetName(), item(s));
            alive.push_back(s);
            list.AddStream(s);
            expected.Add(s);
        }

        ASSERT_EQ(list.GetNumberOfMatches(), static_cast<int>(expected.records.size())) << "step " << step;
        for (std::size_t m = 0; m < expected.records.size(); ++m) {
            IHeatIntegrationStream *hot = nullptr, *cold = nullptr;
            ASSERT_TRUE(list.GetPairAt(static_cast<int>(m), hot, cold));
            ASSERT_EQ(Pair(hot, cold), expected.records[m]) << "step " << step << " position " << m;
        }
        const SidedStream* probe = alive[rng() % alive.size()];
        auto ofStream = list.GetMatchesOfStream(probe);
        std::vector<Pair> got, want;
        for (MatchwiseStreamData* r : *ofStream) got.emplace_back(r->GetHotStream(), r->GetColdStream());
        for (const Pair& p : expected.records)
            if ((probe->GetHotCold() == 0 && p.first == probe) || (probe->GetHotCold() == 1 && p.second == probe))
                want.push_back(p);
        ASSERT_EQ(got, want) << "step " << step;
        const SidedStream* a = alive[rng() % alive.size()];
        const SidedStream* b = alive[rng() % alive.size()];
        const bool pairs = std::find(expected.records.begin(), expected.records.end(), Pair(a, b)) != expected.records.end();
        ASSERT_EQ(list.HasMatch(a, b), pairs);
    }
}

INSTANTIATE_TEST_SUITE_P(Histories, MatchListPairing,
                         ::testing::Values(MatchListPairingCase{1, 60, false, false},
                                           MatchListPairingCase{2, 80, true, false},
                                           MatchListPairingCase{3, 80, false, true},
                                           MatchListPairingCase{4, 120, true, true},
                                           MatchListPairingCase{5, 120, true, true},
                                           MatchListPairingCase{6, 160, false, true, true},
                                           MatchListPairingCase{7, 300, true, true, true}));

// A distribution lays values on every pair without making it a record; a record made afterwards
// and the sums per model answer what laying the values on each record would have.
class FixedSource : public IMatchValueSource {
public:
    MatchDistributedValues Of(const IHeatIntegrationStream* hot, const IHeatIntegrationStream* cold) const override {
        const double h = hot->GetName() == "H1" ? 1.0 : 2.0;
        const double c = cold->GetName() == "C1" ? 10.0 : 20.0;
        return {h + c, h * c, 1.0, 0.25};
    }
    MatchDistributedValues Total() const override { return {66.0, 180.0, 4.0, 1.0}; }
};

TEST(MatchListValues, DistributionNamesAndRecordsAgree) {
    CPDictionary dictionary;
    SidedStream h1("H1", 0, false), h2("H2", 0, false), c1("C1", 1, false), c2("C2", 1, false);
    for (SidedStream* s : {&h1, &h2, &c1, &c2})
        dictionary.AddKeyString(s->GetName(), static_cast<void*>(static_cast<IHeatIntegrationStream*>(s)));
    MatchwiseStreamDataList list(&dictionary);
    ASSERT_EQ(list.GetNumberOfMatches(), 4);
    list.Distribute(3, std::make_shared<FixedSource>());
    EXPECT_EQ(list.GetNumberOfRealRecords(), 0);
    // H2 with C2: first 22, area 40, fourth 1, share 0.25.
    MatchwiseStreamData* r = list.FindMatch(&h2, &c2);
    ASSERT_NE(r, nullptr);
    EXPECT_DOUBLE_EQ(r->dFirstValue, 22.0);
    EXPECT_DOUBLE_EQ(r->dShellAndTubeArea, 40.0);
    EXPECT_DOUBLE_EQ(r->dCountercurrentArea, 0.0);
    r->SetCostModelName("SPECIAL");
    std::vector<MatchSumsOfModel> sums = list.SumsByCostModel();
    ASSERT_EQ(sums.size(), 2u);
    EXPECT_EQ(sums[0].model, "DEFAULT");
    EXPECT_DOUBLE_EQ(sums[0].dShellAndTubeArea, 140.0);
    EXPECT_DOUBLE_EQ(sums[0].dMatch, 0.75);
    EXPECT_EQ(sums[1].model, "SPECIAL");
    EXPECT_DOUBLE_EQ(sums[1].dFirst, 22.0);
    // Reading the names gave every pair "DEFAULT": renaming the set renames them all.
    list.RenameCostModel("default", "OTHER");
    EXPECT_TRUE(list.UsesCostModel("other"));
    EXPECT_FALSE(list.UsesCostModel("DEFAULT"));
    EXPECT_EQ(*list.FindMatch(&h1, &c1)->PeekCostModelName(), "OTHER");
    // A countercurrent distribution clears the shell-and-tube areas and keeps the shells.
    list.Distribute(2, std::make_shared<FixedSource>());
    EXPECT_DOUBLE_EQ(list.GetValueAt(3, 2), 0.0);
    EXPECT_DOUBLE_EQ(list.GetValueAt(3, 0), 22.0);
    EXPECT_DOUBLE_EQ(list.GetValueAt(3, 1), 40.0);
    EXPECT_DOUBLE_EQ(list.GetValueAt(3, 3), 1.0);
    // A stream that goes takes its pairs and their records with it.
    list.RemoveStream(&h2);
    EXPECT_EQ(list.GetNumberOfMatches(), 2);
    EXPECT_EQ(list.GetNumberOfRealRecords(), 1);
    EXPECT_FALSE(list.HasMatch(&h2, &c2));
}

}  // namespace
