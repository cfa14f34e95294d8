// Which pairs of positions get a candidate, the rows of the three model kinds, the moves solved on
// the worked network, and a node missing from the node records.
#include "eng/retrofit/ModificationRows.h"
#include "eng/retrofit/PinchModifications.h"
#include "tests/eng/retrofit/ModificationTestNetworks.h"

#include <gtest/gtest.h>

using namespace modification_test;

namespace {

// `colds` cold streams 80 -> 160 C each with a heater entered at 127 C, `hots` hot streams
// 200 -> 100 C each with a cooler entered at `coolerIn`: one position per stream.
RetrofitNetwork Grid(int colds, int hots, double coolerIn) {
    RetrofitNetwork net;
    AddUtilities(net);
    for (int i = 0; i < colds; ++i) {
        const std::uint32_t a = 1000 + 2 * i, b = a + 1;
        AddNodes(net, {a, b});
        net.coldStreams.push_back(Stream<ColdStrmInfo>(100 + i, 80, 160, 80, a, b));
        net.heaters.push_back(Unit<HeaterInfo>(3000 + i, 100 + i, 4, a, b, 80, 127, 160));
    }
    for (int j = 0; j < hots; ++j) {
        const std::uint32_t a = 2000 + 2 * j, b = a + 1;
        AddNodes(net, {a, b});
        net.hotStreams.push_back(Stream<HotStrmInfo>(200 + j, 200, 100, 100, a, b));
        net.coolers.push_back(Unit<CoolerInfo>(4000 + j, 200 + j, 5, a, b, 100, coolerIn, 100));
    }
    return net;
}

int Candidates(const RetrofitNetwork& net) {
    GenerateNewHXMatrx g(net, 10.0, 0, {}, 0, nullptr);
    g.PrepareModel();
    g.BuildStreamPositions();
    g.AddCandidateExchangers();
    return g.GetCandidatesCreated();
}

struct GridCase {
    int colds, hots;
    double coolerIn;
    int candidates;
};
void PrintTo(const GridCase& c, std::ostream* os) {
    *os << c.hots << " hot, " << c.colds << " cold, cooler in at " << c.coolerIn << " C: " << c.candidates
        << " candidates";
}
class CandidatePairs : public ::testing::TestWithParam<GridCase> {};

TEST_P(CandidatePairs, PositionTemperaturesCountFromOneHundredAndOnePairs) {
    const GridCase& p = GetParam();
    EXPECT_EQ(Candidates(Grid(p.colds, p.hots, p.coolerIn)), p.candidates);
}

// 127 + 10 >= 130 rules a pair out, but only from 101 pairs on; 127 + 10 < 140 never does.
INSTANTIATE_TEST_SUITE_P(Grids, CandidatePairs,
                         ::testing::Values(GridCase{10, 10, 130, 100}, GridCase{10, 11, 130, 0},
                                           GridCase{10, 11, 140, 110}));

TEST(CandidatePairs, LinkedStreamsGetNoCandidateAndTheRunFails) {
    RetrofitNetwork net = WorkedNetwork();
    net.coldStreams[0].linkedStreams = {2};
    EXPECT_EQ(Candidates(net), 0);
    GenerateNewHXMatrx g(net, 10.0, 0, {}, 0, nullptr);
    EXPECT_EQ(g.Run(), nullptr);
    EXPECT_TRUE(g.GetRows().empty());
}

TEST(CandidatePairs, AnExchangerFeedingATeeGivesTwoColdPositions) {
    RetrofitNetwork net = WorkedNetwork();
    TeeInfo tee;
    tee.fingerprint = 500;
    tee.inlet = 32;
    tee.outlets = {34, 35};
    tee.streamId = 3;
    net.tees.push_back(tee);
    GenerateNewHXMatrx g(net, 10.0, 0, {}, 0, nullptr);
    g.PrepareModel();
    g.BuildStreamPositions();
    EXPECT_EQ(g.GetColdPositionCounts(), (std::vector<int>{4}));
    ASSERT_EQ(g.GetColdPositions().size(), 3u);
    EXPECT_EQ(g.GetColdPositions()[1].node, 32u);
    EXPECT_EQ(g.GetColdPositions()[1].split, 1);
}

class RepipingHotPositions : public ::testing::TestWithParam<int> {};

TEST_P(RepipingHotPositions, ABranchedHotInletCountsTwiceOnlyWithABottleneck) {
    // X's hot inlet feeds a tee on H1.
    RetrofitNetwork net = WorkedNetwork();
    TeeInfo tee;
    tee.fingerprint = 500;
    tee.inlet = 11;
    tee.outlets = {14, 15};
    tee.streamId = 1;
    net.tees.push_back(tee);
    const int bottlenecks = GetParam();
    GenerateRepipHXMatrx g(net, 10.0, bottlenecks, std::vector<std::uint32_t>(static_cast<std::size_t>(bottlenecks), 101),
                           0, nullptr);
    g.PrepareModel();
    g.BuildStreamPositions();
    EXPECT_EQ(g.GetHotPositionCounts()[0], bottlenecks ? 4 : 3);
    // The new-exchanger model always takes both.
    GenerateNewHXMatrx n(net, 10.0, 0, {}, 0, nullptr);
    n.PrepareModel();
    n.BuildStreamPositions();
    EXPECT_EQ(n.GetHotPositionCounts()[0], 4);
}

INSTANTIATE_TEST_SUITE_P(Bottlenecks, RepipingHotPositions, ::testing::Values(0, 1));

TEST(ModificationKinds, RepipingForcesTheOnlyExchangerOut) {
    const RetrofitNetwork net = WorkedNetwork();
    GenerateRepipHXMatrx g(net, 10.0, 1, {101}, 0, nullptr);
    ASSERT_NE(g.Run(), nullptr);
    // After the bounds and the selection row: X's binary (27) >= 0 and <= 0.
    const SparseRowList& rows = g.GetRows();
    const std::size_t k = static_cast<std::size_t>(g.GetNumberOfBoundRows()) + 1;
    for (std::size_t i : {k, k + 1}) {
        ASSERT_EQ(rows[i].GetCount(), 2);
        EXPECT_EQ(rows[i].GetColumn(0), 27);
        EXPECT_DOUBLE_EQ(rows[i].GetCoefficient(1), 0.0);
    }
    EXPECT_EQ(rows[k].GetType(), 'g');
    EXPECT_EQ(rows[k + 1].GetType(), 'l');
    // X is the exchanger moved: its nodes and fingerprint are the origin.
    EXPECT_EQ(g.OriginNode(0), 11u);
    EXPECT_EQ(g.OriginNode(1), 12u);
    EXPECT_EQ(g.OriginNode(2), 31u);
    EXPECT_EQ(g.OriginNode(3), 32u);
    EXPECT_EQ(g.OriginExchanger(), 101u);
    // Either place of H2's cooler gives C 20 with C at its supply: the heater carries 220.
    EXPECT_EQ(g.Result(1), 21u);  // hot inlet: H2's cooler
    EXPECT_NEAR(g.SolveValue(), 20.0, 0.05);
    EXPECT_NEAR((*g.HeaterValues())[0], 220.0, 0.05);
}

TEST(ModificationKinds, ResequencingOnTheWorkedNetworkHasNowhereToGo) {
    // H2 carries no exchanger, so it offers no position; every other pair touches X.
    const RetrofitNetwork net = WorkedNetwork();
    GenerateResqHXMatrx g(net, 10.0, 0, {}, 0, nullptr);
    EXPECT_EQ(g.Run(), nullptr);
    EXPECT_EQ(g.GetCandidatesCreated(), 0);
    EXPECT_EQ(g.GetHotPositions().size(), 2u);
    // The heater position names X, the exchanger before it.
    ASSERT_EQ(g.GetColdPositions().size(), 2u);
    EXPECT_EQ(g.GetColdPositions()[1].exchanger, 101u);
}

TEST(ModificationKinds, ResequencingPutsTheBetterExchangerFirstOnItsHotStream) {
    // H1 150 -> 50 C (load 200) heats C2 40 -> 130 C (load 45) in Xa, then C 100 -> 160 C (load
    // 240) in Xb. Xa cannot move (C2 is linked to H1). Xb moved in front of Xa gets 80 with H1
    // closing on C's supply + 10; Xa behind it at 110 C gives C2 30 up to 100 C. The heaters go
    // from 205 and 0 to 160 and 15.
    RetrofitNetwork net;
    AddNodes(net, {11, 12, 13, 14, 31, 32, 33, 61, 62, 63});
    AddUtilities(net);
    net.hotStreams.push_back(Stream<HotStrmInfo>(1, 150, 50, 200, 11, 14));
    net.coldStreams.push_back(Stream<ColdStrmInfo>(3, 100, 160, 240, 31, 33));
    net.coldStreams.push_back(Stream<ColdStrmInfo>(6, 40, 130, 45, 61, 63));
    net.coldStreams.back().linkedStreams = {1};
    net.exchangers.push_back(Exchanger(101, 1, 6, 11, 12, 61, 62, 150, 127.5, 40, 130));
    net.exchangers.push_back(Exchanger(102, 1, 3, 12, 13, 31, 32, 127.5, 110, 100, 108.75));
    net.coolers.push_back(Unit<CoolerInfo>(201, 1, 5, 13, 14, 120, 110, 50));
    net.heaters.push_back(Unit<HeaterInfo>(301, 3, 4, 32, 33, 205, 108.75, 160));
    net.heaters.push_back(Unit<HeaterInfo>(302, 6, 4, 62, 63, 0, 130, 130));
    GenerateResqHXMatrx g(net, 10.0, 0, {}, 0, nullptr);
    const std::vector<double>* heaters = g.Run();
    ASSERT_NE(heaters, nullptr);
    // In front of Xb or behind it on C is the same place once Xb has left it.
    EXPECT_EQ(g.GetCandidatesCreated(), 2);
    EXPECT_EQ(g.OriginExchanger(), 102u);
    EXPECT_EQ(g.OriginNode(0), 12u);
    EXPECT_EQ(g.OriginNode(3), 32u);
    EXPECT_EQ(g.Result(1), 11u);  // hot inlet: in front of Xa
    EXPECT_NEAR(g.SolveValue(), 80.0, 0.05);
    EXPECT_NEAR((*heaters)[0], 160.0, 0.05);
    EXPECT_NEAR((*heaters)[1], 15.0, 0.05);
}

TEST(ModificationKinds, AnExchangerWithoutMovesKeepsItsPlace) {
    const RetrofitNetwork net = WorkedNetwork();
    GenerateNewHXMatrx g(net, 10.0, 0, {}, 0, nullptr);
    ASSERT_TRUE(g.PrepareModel() && g.BuildStreamPositions() && g.AddCandidateExchangers());
    // A second existing exchanger Y (100) and candidate 102 standing for a move of X.
    std::vector<HXInfo> inputs = net.exchangers;
    inputs.push_back(Exchanger(100, 2, 3, 21, 22, 32, 33));
    std::vector<HXInfo> xs = g.GetExchangers();
    xs.insert(xs.begin() + 1, inputs.back());
    xs[2].origin = 101;
    RowBuilderContext ctx;
    ctx.exchangers = &xs;
    ctx.inputExchangers = &inputs;
    ctx.nodes = &g.GetNodes();
    ctx.coldStreams = &g.GetColdStreams();
    ctx.hotStreams = &g.GetHotStreams();
    ctx.mixers = &g.GetMixers();
    ctx.tees = &g.GetTees();
    ctx.coolers = &g.GetCoolers();
    ctx.heaters = &g.GetHeaters();
    ctx.dtMin = 10.0;
    ctx.kind = ModificationModelKind::Resequencing;
    SparseRowList rows;
    ASSERT_TRUE(BuildModificationRows(ctx, rows));
    // Binaries after 12 temperatures, 4 duties, 3 utility duties, 3 stream slacks and 8 exchanger
    // slacks: X 30, Y 31, candidates 32 and 33.
    const std::size_t k = static_cast<std::size_t>(ctx.boundRows) + 1;
    ASSERT_EQ(rows[k].GetCount(), 3);
    EXPECT_EQ(rows[k].GetColumn(0), 30);
    EXPECT_EQ(rows[k].GetColumn(1), 32);
    ASSERT_EQ(rows[k + 1].GetCount(), 2);
    EXPECT_EQ(rows[k + 1].GetColumn(0), 31);
    EXPECT_DOUBLE_EQ(rows[k + 1].GetCoefficient(1), 1.0);
}

TEST(ModificationKinds, ANodeMissingFromTheRecordsHoldsItsCandidatesOut) {
    // H2's cooler inlet is not among the node records: the candidates there have no split
    // fraction to divide by, so they are held at zero and nothing can be chosen.
    RetrofitNetwork net = WorkedNetwork();
    net.nodes.erase(net.nodes.begin() + 3);
    GenerateNewHXMatrx g(net, 10.0, 0, {}, 0, nullptr);
    ASSERT_TRUE(g.PrepareModel() && g.BuildStreamPositions() && g.AddCandidateExchangers());
    EXPECT_EQ(g.GetCandidatesCreated(), 2);
    ASSERT_TRUE(g.BuildModelRows());
    EXPECT_FALSE(g.SolveModificationModel());
    EXPECT_EQ(g.Result(0), 0u);
}

TEST(ModificationKinds, EndTemperaturesWidenedForABranchedStreamStayAtOrAboveZero) {
    HotStrmInfo h;
    h.streamId = 1;
    h.supplyTemperature = 300.0;
    h.targetTemperature = 100.0;
    ColdStrmInfo c;
    c.streamId = 2;
    c.supplyTemperature = 50.0;
    c.targetTemperature = 80.0;
    const std::vector<HXInfo> xs = {Exchanger(1, 1, 2, 10, 11, 20, 21)};
    TeeInfo tee;
    tee.streamId = 1;
    double high = 0.0, low = 0.0;
    ASSERT_TRUE(GetExchangerEndTemperatures(high, low, 11, {h}, {c}, xs, {tee}));
    EXPECT_DOUBLE_EQ(high, 500.0);
    EXPECT_DOUBLE_EQ(low, 0.0);
    // The cold stream carries no tee: its supply and target as they are.
    ASSERT_TRUE(GetExchangerEndTemperatures(high, low, 20, {h}, {c}, xs, {tee}));
    EXPECT_DOUBLE_EQ(high, 80.0);
    EXPECT_DOUBLE_EQ(low, 50.0);
    EXPECT_FALSE(GetExchangerEndTemperatures(high, low, 99, {h}, {c}, xs, {tee}));
}

}  // namespace
