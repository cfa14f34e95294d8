// The network-pinch model on hand-built records: the degrees of freedom of the duties, a split
// hot stream's energy balance, the objective's heater weight and the indicator band.
#include "eng/retrofit/NetworkPinchModel.h"
#include "tests/eng/retrofit/ModificationTestNetworks.h"

#include <gtest/gtest.h>

namespace {

using modification_test::Exchanger;
using modification_test::K0;
using modification_test::Stream;

template <class U>
U UtilityExchanger(std::uint32_t fp, int process, int utility, double duty) {
    U u;
    u.fingerprint = fp;
    u.processStream = process;
    u.utilityStream = utility;
    u.duty = duty;
    return u;
}

// Hot stream 1, cold stream 2, hot utility 3, cold utility 4; `exchangers` in parallel between
// the two streams, one heater and one cooler.
RetrofitNetwork Balances(int exchangers) {
    RetrofitNetwork net;
    net.hotStreams.push_back(Stream<HotStrmInfo>(1, 150, 50, 200, 0, 0));
    net.coldStreams.push_back(Stream<ColdStrmInfo>(2, 100, 160, 240, 0, 0));
    HotUtilInfo hu;
    hu.streamId = 3;
    net.hotUtilities.push_back(hu);
    ColdUtilInfo cu;
    cu.streamId = 4;
    net.coldUtilities.push_back(cu);
    for (int i = 0; i < exchangers; ++i) net.exchangers.push_back(Exchanger(10 + i, 1, 2, 0, 0, 0, 0));
    net.heaters.push_back(UtilityExchanger<HeaterInfo>(20, 2, 3, 160));
    net.coolers.push_back(UtilityExchanger<CoolerInfo>(21, 1, 4, 120));
    return net;
}

int Freedom(const RetrofitNetwork& net) {
    const StreamBalanceRows rows = BuildStreamBalanceRows(net);
    RankMatrix rank;
    rank.rows = &rows.rows;
    rank.columns = rows.columns;
    return rows.columns - SparseRowMatrix::ComputeRank(rank);
}

SparseRow RowOf(std::initializer_list<std::pair<int, double>> entries) {
    SparseRow r;
    for (const auto& [c, v] : entries) r.Add(c, v);
    return r;
}

}  // namespace

TEST(NetworkPinchModel, NetworkFreedomIsTheUnitsLessTheRankOfTheStreamBalances) {
    // One exchanger with a heater and a cooler: every duty follows from the balances.
    EXPECT_EQ(Freedom(Balances(1)), 0);
    // Two exchangers in parallel between the same pair: their split is free.
    EXPECT_EQ(Freedom(Balances(2)), 1);
    EXPECT_EQ(Freedom(Balances(3)), 2);
}

TEST(NetworkPinchModel, RankCountsIndependentRowsAndLeavesOutTheLastRow) {
    struct Case {
        SparseRowList rows;
        int columns;
        int rank;
    };
    const Case cases[] = {
        // Independent balances: the rank is their number (the last row never counts).
        {{RowOf({{0, 1.0}}), RowOf({{1, -1.0}}), RowOf({{2, 1.0}}), RowOf({{0, 5.0}, {1, 7.0}})}, 3, 3},
        // The third row is the first less the second.
        {{RowOf({{1, 1.0}, {2, 1.0}}), RowOf({{0, 1.0}, {1, 1.0}}), RowOf({{0, 1.0}, {2, -1.0}}), RowOf({{0, 0.0}})}, 3, 2},
        // No duty at all: nothing to rank.
        {{RowOf({{0, 0.0}})}, 0, 0},
        // Entries beyond the columns are not part of the matrix.
        {{RowOf({{3, 1.0}}), RowOf({{0, 0.0}})}, 3, 0},
    };
    for (const Case& c : cases) {
        RankMatrix m;
        m.rows = &c.rows;
        m.columns = c.columns;
        EXPECT_EQ(SparseRowMatrix::ComputeRank(m), c.rank);
        EXPECT_EQ(m.rank, c.rank);
    }
}

TEST(NetworkPinchModel, ASplitHotStreamCountsEachBranchDutyOnceInItsBalance) {
    // H 150 -> 50 C (200 kW) split half and half at tee T (node 1) into branches 2 -> X1 -> 3 and
    // 4 -> X2 -> 5, mixed again into 6, cooled to 7. X1 heats C1 100 -> 130 C (60 kW, nodes
    // 11-13), X2 heats C2 90 -> 120 C (60 kW, nodes 21-23); heaters finish both. With DTmin 10,
    // each branch may cool only to its cold inlet + 10: X1 40 kW (150 -> 110 on half the flow),
    // X2 50 kW. The cooler takes the rest of H: 200 - 90 = 110 kW.
    RetrofitNetwork net;
    auto node = [&net](std::uint32_t fp, double fraction) {
        NodeInfo n;
        n.fingerprint = fp;
        n.splitFraction = fraction;
        net.nodes.push_back(n);
    };
    for (std::uint32_t fp : {1u, 6u, 7u, 11u, 12u, 13u, 21u, 22u, 23u}) node(fp, 1.0);
    for (std::uint32_t fp : {2u, 3u, 4u, 5u}) node(fp, 0.5);
    net.hotStreams.push_back(Stream<HotStrmInfo>(1, 150, 50, 200, 1, 7));
    net.coldStreams.push_back(Stream<ColdStrmInfo>(2, 100, 130, 60, 11, 13));
    net.coldStreams.push_back(Stream<ColdStrmInfo>(3, 90, 120, 60, 21, 23));
    HotUtilInfo hu;
    hu.streamId = 4;
    hu.unitCost = 1.0;
    net.hotUtilities.push_back(hu);
    ColdUtilInfo cu;
    cu.streamId = 5;
    net.coldUtilities.push_back(cu);
    net.exchangers.push_back(Exchanger(100, 1, 2, 2, 3, 11, 12));
    net.exchangers.push_back(Exchanger(101, 1, 3, 4, 5, 21, 22));
    net.heaters.push_back(UtilityExchanger<HeaterInfo>(200, 2, 4, 30));
    net.heaters.push_back(UtilityExchanger<HeaterInfo>(201, 3, 4, 30));
    net.coolers.push_back(UtilityExchanger<CoolerInfo>(300, 1, 5, 110));
    TeeInfo tee;
    tee.fingerprint = 400;
    tee.inlet = 1;
    tee.outlets = {2, 4};
    tee.streamId = 1;
    net.tees.push_back(tee);
    MixerInfo mixer;
    mixer.fingerprint = 401;
    mixer.outlet = 6;
    mixer.inlets = {3, 5};
    mixer.streamId = 1;
    mixer.hot = 1;
    net.mixers.push_back(mixer);

    GeneratePinchMatrx model(net, 10.0);
    ASSERT_TRUE(model.BuildModel());
    PinchSolveRecord record;
    record.rows = &model.GetRows();
    record.width = model.GetWidth();
    record.exchangers = &net.exchangers;
    record.nodes = 13;
    record.heaters = 2;
    record.coolers = 1;
    record.integerColumns = model.GetNumberOfIntegerColumns();
    EXPECT_EQ(SolvePinchModel(record), 2);
    EXPECT_EQ(record.flaggedIds, (std::vector<std::uint32_t>{100, 101}));
    const std::vector<double>& s = record.solution;
    EXPECT_NEAR(s[13], 40.0, 1e-6);   // X1
    EXPECT_NEAR(s[14], 50.0, 1e-6);   // X2
    EXPECT_NEAR(s[15], 110.0, 1e-6);  // cooler
    EXPECT_NEAR(record.heaterDuties[0], 20.0, 1e-6);
    EXPECT_NEAR(record.heaterDuties[1], 10.0, 1e-6);
    // The branches leave at 110 and 100 C and mix to 105 C.
    EXPECT_NEAR(s[10] - K0, 110.0, 1e-6);  // node 3
    EXPECT_NEAR(s[12] - K0, 100.0, 1e-6);  // node 5
    EXPECT_NEAR(s[1] - K0, 105.0, 1e-6);   // node 6
}

TEST(NetworkPinchModel, HeatersWithoutDutyWeighTheirColumnsByThirtyThousand) {
    RetrofitNetwork net = Balances(1);
    EXPECT_DOUBLE_EQ(GeneratePinchMatrx::HeaterWeight(net), 30000.0 / 160.0);
    net.heaters[0].duty = 0.0;
    EXPECT_DOUBLE_EQ(GeneratePinchMatrx::HeaterWeight(net), 30000.0);
}

TEST(NetworkPinchModel, AnIndicatorCountsWithinOneTenMillionthOfOne) {
    EXPECT_TRUE(IsPinchIndicatorSet(0.99999995));
    EXPECT_TRUE(IsPinchIndicatorSet(1.0000001));
    EXPECT_FALSE(IsPinchIndicatorSet(0.9999));
    EXPECT_FALSE(IsPinchIndicatorSet(0.0));
}
