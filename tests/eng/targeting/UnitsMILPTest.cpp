// The sub-network search of the units target: one model and the driver that builds
// decompositions from it.
#include "eng/targeting/UnitsMILP.h"

#include "eng/targeting/LPProblem.h"
#include "tests/eng/targeting/UnitsTargetTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

using namespace units_test;

namespace {

using Names = std::vector<std::string>;

// Every entry of every group, as sorted name lists.
std::vector<std::vector<Names>> Decompositions(const UnitsTargetGroupList& groups) {
    std::vector<std::vector<Names>> out;
    for (const auto& g : groups) {
        std::vector<Names> entries;
        for (int e = 0; e < g->GetNumberOfEntries(); ++e) entries.push_back(SortedNames(*g->GetEntry(e)));
        out.push_back(entries);
    }
    return out;
}

bool Contains(const Names& names, const std::string& n) {
    return std::find(names.begin(), names.end(), n) != names.end();
}

// Two hot and two cold streams of 100 kW each; every hot stream lies above every cold one, so
// each hot-cold pair is a sub-network.
void AddCrossPairs(StreamSet& set) {
    set.Process("A", 300, 250, 2.0, 2.0);
    set.Process("B", 40, 90, 2.0, 2.0);
    set.Process("C", 280, 230, 2.0, 2.0);
    set.Process("D", 50, 100, 2.0, 2.0);
}

}  // namespace

// ---------------------------------------------------------------- nothing to split

struct UnitsFewCase {
    const char* label;
    void (*build)(StreamSet&);
};
void PrintTo(const UnitsFewCase& c, std::ostream* os) {
    *os << c.label;
}

class UnitsMILPTooFew : public ::testing::TestWithParam<UnitsFewCase> {};

// Fewer than two streams with load: the first model has no solution (a sub-network holds at least
// two streams), no group is added and the count is 0.
TEST_P(UnitsMILPTooFew, NoSolutionNoGroupCountZero) {
    StreamSet set;
    GetParam().build(set);
    UnitsTargetGroupList groups;
    EXPECT_EQ(CalculateUnitsSubNetworks(set.Refs(), 1, groups), 0);
    EXPECT_TRUE(groups.empty());

    LPProblem model;
    UnitsTargetEntry entry;
    EXPECT_EQ(UnitsTargetData::SolveSubNetworkMILP(set.Refs(), model, entry, groups), nullptr);
    EXPECT_FALSE(entry.HasNames());
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, UnitsMILPTooFew,
    ::testing::Values(UnitsFewCase{"NoStreams", [](StreamSet&) {}},
                      UnitsFewCase{"OneStream", [](StreamSet& s) { s.Process("H", 100, 50, 2.0); }},
                      UnitsFewCase{"OneLoadedStream",
                              [](StreamSet& s) {
                                  s.Process("H", 100, 50, 2.0);
                                  s.Utility("CW", 20, 25, 0.0);
                              }}),
    [](const auto& info) { return std::string(info.param.label); });

// The textbook problem with its utilities balances only as a whole: the first model takes every
// stream and leaves an empty rest, so the driver keeps nothing.
TEST(UnitsMILP, AProblemThatCannotBeSplitGivesNothing) {
    StreamSet set;
    AddFourStreamProblem(set);
    LPProblem model;
    UnitsTargetEntry entry;
    UnitsTargetGroupList none;
    std::unique_ptr<UnitsTargetData::StreamRefs> rest =
        UnitsTargetData::SolveSubNetworkMILP(set.Refs(), model, entry, none);
    ASSERT_NE(rest, nullptr);
    EXPECT_TRUE(rest->empty());
    EXPECT_EQ(SortedNames(entry), (Names{"C1", "C2", "Cooling Water", "H1", "H2", "HP Steam"}));

    UnitsTargetGroupList groups;
    EXPECT_EQ(CalculateUnitsSubNetworks(set.Refs(), 1, groups), 0);
    EXPECT_TRUE(groups.empty());

    // Without the utilities nothing balances at all: no solution.
    StreamSet process;
    AddFourStreamProblem(process, false);
    UnitsTargetEntry e2;
    EXPECT_EQ(UnitsTargetData::SolveSubNetworkMILP(process.Refs(), model, e2, none), nullptr);
}

// Values no plant has (a flow rate of 1e300 kW/K) are damage: no model, no solver call.
TEST(UnitsMILP, AbsurdValuesBuildNoModel) {
    StreamSet set;
    set.Process("H", 200, 150, 1e300, 2.0);
    set.Process("C", 40, 90, 1e300, 2.0);
    LPProblem model;
    UnitsTargetEntry entry;
    UnitsTargetGroupList none;
    EXPECT_EQ(UnitsTargetData::SolveSubNetworkMILP(set.Refs(), model, entry, none), nullptr);
    EXPECT_EQ(model.nColumns, 0);
    UnitsTargetGroupList groups;
    EXPECT_EQ(CalculateUnitsSubNetworks(set.Refs(), 1000000, groups), 0);
}

// ---------------------------------------------------------------- decompositions

// Two balanced pairs: the first model picks one pair; the rest of two streams is not searched
// again, so the group holds one entry and the count is 1.
TEST(UnitsMILP, TwoBalancedPairsGiveOneEntry) {
    StreamSet set;
    AddBalancedPair(set, "A", "B", 40, 50, 50, 100);
    AddBalancedPair(set, "C", "D", 140, 50, 50, 200);
    UnitsTargetGroupList groups;
    EXPECT_EQ(CalculateUnitsSubNetworks(set.Refs(), 1, groups), 1);
    ASSERT_EQ(groups.size(), 1u);
    ASSERT_EQ(groups[0]->GetNumberOfEntries(), 1);
    const Names names = SortedNames(*groups[0]->GetEntry(0));
    EXPECT_TRUE(names == (Names{"A", "B"}) || names == (Names{"C", "D"})) << names[0];

    // A flag of 0 runs nothing.
    UnitsTargetGroupList none;
    EXPECT_EQ(CalculateUnitsSubNetworks(set.Refs(), 0, none), 0);
    EXPECT_TRUE(none.empty());
}

// Each chosen stream takes part up to its end, within its second tolerance load: a hot stream
// down to between its target and (target + H2/CP), a cold one up to between (target - H2/CP) and
// its target.
TEST(UnitsMILP, EntryValuesAreTheTemperaturesTheStreamsReach) {
    StreamSet set;
    set.Process("A", 100, 50, 2.0, 2.0);  // 100 kW, H1 = 1 kW
    set.Process("B", 40, 90, 2.0, 2.0);
    LPProblem model;
    UnitsTargetEntry entry;
    UnitsTargetGroupList none;
    auto rest = UnitsTargetData::SolveSubNetworkMILP(set.Refs(), model, entry, none);
    ASSERT_NE(rest, nullptr);
    EXPECT_TRUE(rest->empty());
    ASSERT_EQ(entry.GetNumberOfNames(), 2);
    ASSERT_EQ(entry.GetNumberOfValues(), 2);
    EXPECT_STREQ(entry.GetName(0), "A");  // hot streams first
    EXPECT_STREQ(entry.GetName(1), "B");
    EXPECT_GE(entry.GetValue(0), 50.0 - 1e-6);
    EXPECT_LE(entry.GetValue(0), 50.0 + 0.5 + 1e-6);
    EXPECT_GE(entry.GetValue(1), 90.0 - 0.5 - 1e-6);
    EXPECT_LE(entry.GetValue(1), 90.0 + 1e-6);

    // The model: binaries last, integer, one per stream, each costing 1.
    ASSERT_TRUE(model.pIntegerFlags);
    const int n = model.nColumns;
    EXPECT_EQ((*model.pIntegerFlags)[static_cast<std::size_t>(n - 1)], 1);
    EXPECT_EQ((*model.pIntegerFlags)[static_cast<std::size_t>(n - 2)], 1);
    EXPECT_EQ((*model.pIntegerFlags)[static_cast<std::size_t>(n - 3)], 0);
    EXPECT_DOUBLE_EQ(model.objective[static_cast<std::size_t>(n - 1)], 1.0);
    EXPECT_EQ((n - 2) % 2, 0);  // two mirrored blocks
}

// A pair and a triple: the pair splits off first; the rest of three streams balances only as a
// whole and is the second entry.
TEST(UnitsMILP, ARestOfMoreThanTwoStreamsIsSearchedAgain) {
    StreamSet set;
    set.Process("A", 145, 95, 2.0, 2.0);   // 100 kW
    set.Process("B", 40, 90, 2.0, 2.0);    // 100 kW
    set.Process("C", 400, 350, 6.0, 2.0);  // 300 kW
    set.Process("D", 100, 150, 2.0, 2.0);  // 100 kW
    set.Process("E", 200, 250, 4.0, 2.0);  // 200 kW
    UnitsTargetGroupList groups;
    EXPECT_EQ(CalculateUnitsSubNetworks(set.Refs(), 1, groups), 2);
    ASSERT_EQ(groups.size(), 1u);
    const auto d = Decompositions(groups);
    ASSERT_EQ(d[0].size(), 2u);
    EXPECT_EQ(d[0][0], (Names{"A", "B"}));
    EXPECT_EQ(d[0][1], (Names{"C", "D", "E"}));

    // Run on every update, the overall count becomes N - 2 (two sub-networks: 1 + 2 units).
    UnitsTargetData r;
    r.SetMILPOnUpdate(1);
    r.Update(set.Refs(), {}, 0);
    EXPECT_EQ(r.GetUnitsOverall(), 5 - 2);
}

// The search ends at its time limit and keeps what it found by then: with time to spare the
// pair and the triple of the test above; with none left no model is solved; with next to none
// the limit ends it after at most one model, whose entry (if any) is one of the two.
TEST(UnitsMILP, TheSearchEndsAtItsTimeLimitKeepingWhatItFound) {
    const struct {
        double seconds;
        bool stopped;
        int most;  // sub-networks found at most (exactly, when not stopped)
    } rows[] = {{1e6, false, 2}, {0.0, true, 0}, {-1.0, true, 0}, {1e-9, true, 1}};
    for (const auto& row : rows) {
        StreamSet set;
        set.Process("A", 145, 95, 2.0, 2.0);
        set.Process("B", 40, 90, 2.0, 2.0);
        set.Process("C", 400, 350, 6.0, 2.0);
        set.Process("D", 100, 150, 2.0, 2.0);
        set.Process("E", 200, 250, 4.0, 2.0);
        UnitsTargetGroupList groups;
        bool stopped = !row.stopped;
        const int found = CalculateUnitsSubNetworks(set.Refs(), 1, groups, row.seconds, &stopped);
        EXPECT_EQ(row.stopped, stopped) << row.seconds;
        EXPECT_LE(found, row.most) << row.seconds;
        if (!row.stopped) {
            EXPECT_EQ(found, row.most) << row.seconds;
        }
        int entries = 0;
        for (const auto& decomposition : Decompositions(groups))
            for (const Names& names : decomposition) {
                ++entries;
                EXPECT_TRUE(names == (Names{"A", "B"}) || names == (Names{"C", "D", "E"})) << row.seconds;
            }
        EXPECT_EQ(found, entries) << row.seconds;
    }
}

// With two decompositions asked for, the second may not repeat an entry of the first.
TEST(UnitsMILP, ASecondDecompositionRepeatsNoEntryOfTheFirst) {
    StreamSet set;
    AddCrossPairs(set);
    UnitsTargetGroupList groups;
    EXPECT_EQ(CalculateUnitsSubNetworks(set.Refs(), 2, groups), 2);
    const auto d = Decompositions(groups);
    ASSERT_EQ(d.size(), 2u);
    ASSERT_EQ(d[0].size(), 1u);
    ASSERT_EQ(d[1].size(), 1u);
    EXPECT_NE(d[0][0], d[1][0]);

    // Given as an earlier decomposition, an entry is cut off the model.
    for (const Names& forbidden : {Names{"A", "B"}, Names{"A", "D"}}) {
        UnitsTargetGroupList earlier;
        earlier.push_back(std::make_unique<UnitsTargetGroup>());
        auto cut = std::make_unique<UnitsTargetEntry>();
        for (const std::string& n : forbidden) cut->AddName(n);
        earlier.back()->Append(std::move(cut));
        LPProblem model;
        UnitsTargetEntry entry;
        auto rest = UnitsTargetData::SolveSubNetworkMILP(set.Refs(), model, entry, earlier);
        ASSERT_NE(rest, nullptr);
        EXPECT_NE(SortedNames(entry), forbidden);
        EXPECT_EQ(entry.GetNumberOfNames(), 2);
    }
}

// A pair balances when the two loads agree within the end tolerances. With tolerance loads of
// 1 % of each load (H1 = H2) a stream's end cell may leave between H2 and H1 + H2 unexchanged
// and pass on up to d = H1 + H2 less: each stream exchanges between 97 % and 100 % of its load,
// so 100 kW of hot heat balances 97 to 103.09 kW of cold demand.
struct UnitsBalanceCase {
    double coldLoad;
    bool balanced;
};
void PrintTo(const UnitsBalanceCase& c, std::ostream* os) {
    *os << "cold load " << c.coldLoad << " kW" << (c.balanced ? ": balanced" : ": unbalanced");
}

class UnitsMILPBalance : public ::testing::TestWithParam<UnitsBalanceCase> {};

TEST_P(UnitsMILPBalance, APairBalancesOnlyWithinItsTolerances) {
    StreamSet set;
    set.Process("H", 200, 150, 2.0, 2.0);                        // 100 kW
    set.Process("C", 40, 90, GetParam().coldLoad / 50.0, 2.0);  // cold load over 50 K
    LPProblem model;
    UnitsTargetEntry entry;
    UnitsTargetGroupList none;
    auto rest = UnitsTargetData::SolveSubNetworkMILP(set.Refs(), model, entry, none);
    EXPECT_EQ(rest != nullptr, GetParam().balanced);
    EXPECT_EQ(entry.GetNumberOfNames(), GetParam().balanced ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(Loads, UnitsMILPBalance,
                         ::testing::Values(UnitsBalanceCase{100.0, true}, UnitsBalanceCase{97.5, true},
                                           UnitsBalanceCase{102.5, true}, UnitsBalanceCase{96.5, false},
                                           UnitsBalanceCase{103.5, false}, UnitsBalanceCase{50.0, false}));

// Linked streams are never matched with each other.
TEST(UnitsMILP, LinkedStreamsAreNeverMatched) {
    StreamSet set;
    AddCrossPairs(set);
    ASSERT_EQ(set.Find("A")->LinkStream("B"), 1);
    ASSERT_EQ(set.Find("C")->LinkStream("D"), 1);
    UnitsTargetGroupList groups;
    EXPECT_GE(CalculateUnitsSubNetworks(set.Refs(), 3, groups), 1);
    for (const auto& entries : Decompositions(groups))
        for (const Names& names : entries) {
            EXPECT_FALSE(Contains(names, "A") && Contains(names, "B"));
            EXPECT_FALSE(Contains(names, "C") && Contains(names, "D"));
        }

    // A linked pair alone has no sub-network at all.
    StreamSet pair;
    pair.Process("A", 300, 250, 2.0, 2.0);
    pair.Process("B", 40, 90, 2.0, 2.0);
    ASSERT_EQ(pair.Find("A")->LinkStream("B"), 1);
    LPProblem model;
    UnitsTargetEntry entry;
    UnitsTargetGroupList none;
    EXPECT_EQ(UnitsTargetData::SolveSubNetworkMILP(pair.Refs(), model, entry, none), nullptr);
}

// Heat flows only downhill: a pair of equal loads whose cold stream lies above its hot one is no
// sub-network.
TEST(UnitsMILP, ACrossedPairIsNoSubNetwork) {
    StreamSet set;
    set.Process("H", 100, 50, 2.0, 2.0);
    set.Process("C", 120, 170, 2.0, 2.0);
    LPProblem model;
    UnitsTargetEntry entry;
    UnitsTargetGroupList none;
    EXPECT_EQ(UnitsTargetData::SolveSubNetworkMILP(set.Refs(), model, entry, none), nullptr);
}

// The search shifts private copies: the streams' own segments are as they were.
TEST(UnitsMILP, TheStreamsAreLeftAsTheyWere) {
    StreamSet set;
    AddFourStreamProblem(set);
    AddBalancedPair(set, "A", "B", 40, 50, 50, 100);
    struct Snapshot {
        double si, so, far, load, cp;
        ValueAndFlag contribution;
    };
    auto take = [&] {
        std::vector<Snapshot> v;
        for (IHeatIntegrationStreamForTargeting* s : set.Refs())
            for (const auto& seg : *s->GetDesignSegments())
                v.push_back({seg->dShiftedInletTemperature, seg->dShiftedOutletTemperature,
                             seg->pLink ? seg->pLink->dShiftedFarEndTemperature : 0.0, seg->dLoad,
                             seg->dHeatCapacityFlowrate, seg->DTminContribution});
        return v;
    };
    const std::vector<Snapshot> before = take();
    UnitsTargetGroupList groups;
    CalculateUnitsSubNetworks(set.Refs(), 2, groups);
    const std::vector<Snapshot> after = take();
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(before[i].si, after[i].si);
        EXPECT_EQ(before[i].so, after[i].so);
        EXPECT_EQ(before[i].far, after[i].far);
        EXPECT_EQ(before[i].load, after[i].load);
        EXPECT_EQ(before[i].cp, after[i].cp);
        EXPECT_TRUE(before[i].contribution == after[i].contribution);
    }
}

// A stream of several segments is one stream of the model: its residual heat passes from one
// segment to the next, and it balances as a whole.
TEST(UnitsMILP, SegmentedStreamsBalanceAsAWhole) {
    StreamSet set;
    set.Process("H", {200, 150, 100}, {1.0, 3.0}, 2.0);  // 50 + 150 = 200 kW
    set.Process("C", {40, 60, 90}, {5.0, 3.0}, 2.0);     // 100 + 90 = 190 kW
    set.Process("C2", 20, 30, 1.0, 2.0);                 // 10 kW
    set.Process("X", 400, 300, 1.0, 2.0);                // 100 kW
    set.Process("Y", 210, 260, 2.0, 2.0);                // 100 kW
    UnitsTargetGroupList groups;
    EXPECT_EQ(CalculateUnitsSubNetworks(set.Refs(), 1, groups), 2);
    const auto d = Decompositions(groups);
    ASSERT_EQ(d.size(), 1u);
    ASSERT_EQ(d[0].size(), 2u);
    // The pair X-Y is the smallest sub-network; H balances C and C2 together (C alone is 10 kW
    // short, beyond the tolerances).
    EXPECT_EQ(d[0][0], (Names{"X", "Y"}));
    EXPECT_EQ(d[0][1], (Names{"C", "C2", "H"}));
}

// Random problems made of balanced pairs: every entry found balances within the streams' end
// tolerances (each stream exchanges its load less at most H1 + 2 H2, 3 % here), the entries of a decomposition
// never share a stream, and a problem that holds several pairs always splits.
TEST(UnitsMILP, EntriesAreBalancedOnRandomProblems) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> start(20.0, 200.0), span(10.0, 80.0), load(50.0, 500.0);
    for (int trial = 0; trial < 4; ++trial) {
        StreamSet set;
        std::map<std::string, double> signedLoad;
        const int pairs = 2 + trial % 2;
        for (int p = 0; p < pairs; ++p) {
            const std::string hot = "H" + std::to_string(p), cold = "C" + std::to_string(p);
            const double q = load(rng);
            AddBalancedPair(set, hot, cold, start(rng), span(rng), span(rng), q);
            signedLoad[hot] = q;
            signedLoad[cold] = -q;
        }
        UnitsTargetGroupList groups;
        const int found = CalculateUnitsSubNetworks(set.Refs(), 2, groups);
        EXPECT_GE(found, 1) << trial;
        for (const auto& entries : Decompositions(groups)) {
            std::set<std::string> seen;
            for (const Names& names : entries) {
                EXPECT_GE(names.size(), 2u);
                double net = 0.0, total = 0.0;
                for (const std::string& n : names) {
                    ASSERT_TRUE(signedLoad.count(n)) << n;
                    EXPECT_TRUE(seen.insert(n).second) << n;
                    net += signedLoad[n];
                    total += std::fabs(signedLoad[n]);
                }
                EXPECT_LE(std::fabs(net), 0.03 * total + 1e-6) << trial;
            }
        }
    }
}
