// Screening the new-exchanger candidates on small plants drawn with fixed seeds: every candidate's
// lowest objective lies at or below the model's optimum with that candidate built, and the model
// solved with the screen reaches the same optimum as the whole model, both solved to optimality.
#include "eng/retrofit/CandidateScreen.h"
#include "eng/retrofit/ModelSolving.h"
#include "eng/retrofit/ModificationSolve.h"
#include "eng/retrofit/PinchModifications.h"
#include "tests/eng/retrofit/ModificationTestNetworks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

using namespace modification_test;

namespace {

// A plant of `pairs` hot streams (supply 180 to 240 C, to 50 C) and `pairs` cold streams (30 to
// 60 C, to 150 to 170 C), each hot stream joined to two cold ones by exchangers of 10 to 60 kW in
// a row, every hot stream ended by a cooler and every cold one by a heater taking what is left.
// Temperatures follow the duties along each stream, so some exchangers keep DTmin and some do not.
RetrofitNetwork SeededPlant(unsigned seed, int pairs) {
    std::mt19937 rng(seed);
    auto uniform = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(rng); };
    RetrofitNetwork net;
    AddUtilities(net);
    struct Side {
        double supply, target, flow, t;
        std::uint32_t node;
        int id;
    };
    std::vector<Side> hot, cold;
    std::uint32_t next = 10;
    auto newNode = [&]() {
        AddNodes(net, {++next});
        return next;
    };
    for (int i = 0; i < pairs; ++i) {
        const double supply = uniform(180.0, 240.0), flow = uniform(2.0, 5.0);
        hot.push_back({supply, 50.0, flow, supply, newNode(), 1 + i});
    }
    for (int j = 0; j < pairs; ++j) {
        const double supply = uniform(30.0, 60.0), target = uniform(150.0, 170.0), flow = uniform(2.0, 4.0);
        cold.push_back({supply, target, flow, supply, newNode(), 1 + pairs + j});
    }
    std::vector<std::uint32_t> hotStart, coldStart;
    for (const Side& s : hot) hotStart.push_back(s.node);
    for (const Side& s : cold) coldStart.push_back(s.node);
    std::uint32_t id = 100;
    for (int i = 0; i < pairs; ++i)
        for (int round = 0; round < 2; ++round) {
            Side& h = hot[static_cast<std::size_t>(i)];
            Side& c = cold[static_cast<std::size_t>((i + round * (1 + static_cast<int>(rng() % 2u))) % pairs)];
            const double duty = uniform(10.0, 60.0);
            const std::uint32_t ho = newNode(), co = newNode();
            const double tho = h.t - duty / h.flow, tco = c.t + duty / c.flow;
            net.exchangers.push_back(Exchanger(++id, h.id, c.id, h.node, ho, c.node, co, h.t, tho, c.t, tco));
            h.node = ho;
            h.t = tho;
            c.node = co;
            c.t = tco;
        }
    for (std::size_t i = 0; i < hot.size(); ++i) {
        const Side& h = hot[i];
        const std::uint32_t end = newNode();
        net.hotStreams.push_back(
            Stream<HotStrmInfo>(h.id, h.supply, h.target, h.flow * (h.supply - h.target), hotStart[i], end));
        net.coolers.push_back(Unit<CoolerInfo>(++id, h.id, 5, h.node, end, h.flow * (h.t - h.target), h.t, h.target));
    }
    for (std::size_t j = 0; j < cold.size(); ++j) {
        const Side& c = cold[j];
        const std::uint32_t end = newNode();
        net.coldStreams.push_back(
            Stream<ColdStrmInfo>(c.id, c.supply, c.target, c.flow * (c.target - c.supply), coldStart[j], end));
        net.heaters.push_back(Unit<HeaterInfo>(++id, c.id, 4, c.node, end, c.flow * (c.target - c.t), c.t, c.target));
    }
    return net;
}

ModelRecord RecordOf(const PinchModifications& g) {
    ModelRecord r;
    r.rows = &g.GetRows();
    r.width = g.GetNumberOfColumns();
    r.integerColumns = g.GetNumberOfIntegerColumns();
    r.candidates = g.GetNumberOfCandidates();
    r.nodes = static_cast<int>(g.GetNodes().size());
    r.highestExchangerId = g.GetHighestExchangerId();
    r.exchangers = &g.GetExchangers();
    r.coldStreams = &g.GetColdStreams();
    r.hotStreams = &g.GetHotStreams();
    r.coolers = &g.GetCoolers();
    r.heaters = &g.GetHeaters();
    r.mixers = &g.GetMixers();
    r.tees = &g.GetTees();
    r.sizeFigure = g.GetSizeFigure();
    return r;
}

double ObjectiveOf(const SparseRowList& rows, const std::vector<double>& x) {
    double value = 0.0;
    const SparseRow& objective = rows.back();
    for (int e = 0; e < objective.GetCount(); ++e) {
        const int c = objective.GetColumn(e);
        if (c >= 0 && c < static_cast<int>(x.size())) value += objective.GetCoefficient(e) * x[static_cast<std::size_t>(c)];
    }
    return value;
}

class CandidateScreen : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override {
        net = SeededPlant(GetParam(), 3);
        g = std::make_unique<GenerateNewHXMatrx>(net, 10.0, 0, std::vector<std::uint32_t>{}, 0, nullptr);
        ASSERT_TRUE(g->PrepareModel() && g->BuildStreamPositions() && g->AddCandidateExchangers() && g->BuildModelRows());
        ASSERT_LE(g->GetNumberOfIntegerColumns(), kExactModelIntegerColumns);  // solved to optimality
        ASSERT_EQ(g->GetCandidateLowest().size(), static_cast<std::size_t>(g->GetNumberOfCandidates()));
    }
    RetrofitNetwork net;
    std::unique_ptr<GenerateNewHXMatrx> g;
};

// The model solved with only candidate u free, for every u: the bound may not lie above it.
TEST_P(CandidateScreen, NoCandidateCanGoBelowItsLowestObjective) {
    const int n = g->GetNumberOfColumns() - 1;
    const int C = g->GetNumberOfCandidates();
    const std::vector<double>& lowest = g->GetCandidateLowest();
    int solved = 0;
    for (int u = 0; u < C; ++u) {
        std::vector<int> others;
        for (int v = 0; v < C; ++v)
            if (v != u) others.push_back(n - C + v);
        SolverModel m;
        m.width = n + 1;
        m.integerColumns = g->GetNumberOfIntegerColumns();
        m.rows = &g->GetRows();
        m.heldAtZero = &others;
        SolveModel(m);
        if (!m.solved) continue;
        ++solved;
        const double objective = ObjectiveOf(g->GetRows(), m.solution);
        EXPECT_LE(lowest[static_cast<std::size_t>(u)], objective + 1e-7) << "candidate " << u;
        EXPECT_GE(g->GetCandidateCeiling(), lowest[static_cast<std::size_t>(u)]);
    }
    EXPECT_GT(solved, 0);
}

// The screened solve holds out candidates (some lie above the optimum) and reaches the optimum of
// the whole model.
TEST_P(CandidateScreen, TheScreenedModelKeepsTheOptimum) {
    ModelRecord whole = RecordOf(*g);
    SolveModificationModelRecord(whole);
    ASSERT_EQ(whole.success, 1);
    const double optimum = ObjectiveOf(g->GetRows(), whole.solution);

    const int n = g->GetNumberOfColumns() - 1;
    const std::vector<int> above = CandidatesAbove(g->GetCandidateLowest(), optimum, n - g->GetNumberOfCandidates());
    EXPECT_FALSE(above.empty()) << "nothing to hold out on this plant";

    ModelRecord screened = RecordOf(*g);
    screened.candidateLowest = &g->GetCandidateLowest();
    screened.candidateCeiling = g->GetCandidateCeiling();
    screened.screenAbove = 0;
    SolveModificationModelRecord(screened);
    ASSERT_EQ(screened.success, 1);
    EXPECT_NEAR(ObjectiveOf(g->GetRows(), screened.solution), optimum, 1e-6 * (1.0 + optimum));
    // The answer's chosen candidate is one that was not held out.
    for (int column : above) EXPECT_LT(screened.solution[static_cast<std::size_t>(column)], 0.5);
}

// Lower bounds that are valid but lead the first screen astray still end at the optimum: one
// candidate said to reach 0 makes the first solve search it alone (the worst candidate, or the one
// after it in turn), which the answer then shows to be no proof, so the model is solved again with
// only the candidates above that answer held out; bounds all at 0 hold nothing out.
TEST_P(CandidateScreen, AScreenThatGuessesWrongStillEndsAtTheOptimum) {
    ModelRecord whole = RecordOf(*g);
    SolveModificationModelRecord(whole);
    ASSERT_EQ(whole.success, 1);
    const double optimum = ObjectiveOf(g->GetRows(), whole.solution);
    const std::vector<double>& lowest = g->GetCandidateLowest();
    const std::size_t worst = static_cast<std::size_t>(std::max_element(lowest.begin(), lowest.end()) - lowest.begin());
    std::vector<std::vector<double>> misleading;
    for (std::size_t decoy : {worst, (worst + 1) % lowest.size()}) {
        misleading.push_back(lowest);
        misleading.back()[decoy] = 0.0;
    }
    misleading.push_back(std::vector<double>(lowest.size(), 0.0));
    for (const std::vector<double>& bounds : misleading) {
        ModelRecord r = RecordOf(*g);
        r.candidateLowest = &bounds;
        r.candidateCeiling = g->GetCandidateCeiling();
        r.screenAbove = 0;
        SolveModificationModelRecord(r);
        ASSERT_EQ(r.success, 1);
        EXPECT_NEAR(ObjectiveOf(g->GetRows(), r.solution), optimum, 1e-6 * (1.0 + optimum));
    }
}

double Sum(const std::vector<double>& values) {
    double sum = 0.0;
    for (double v : values) sum += v;
    return sum;
}

// Every model counted as large, so that the model is built of the screened candidates only: it
// builds fewer candidates than the whole superstructure holds, and its answer needs no more steam
// than the whole model's optimum plus what the candidates left out could pass within their duty
// tolerance, nor less than that optimum (its solutions are solutions of the whole model). A first
// screen of the best bound alone leaves out candidates the answer then shows could win, and the
// model built again with them ends at the optimum too. A second step, given the first's choice as
// a column of the whole model, holds out the same candidate as the whole model does.
TEST_P(CandidateScreen, AModelOfTheScreenedCandidatesReachesTheWholeModelsOptimum) {
    GenerateNewHXMatrx whole(net, 10.0, 0, {}, 0, nullptr);
    const std::vector<double>* wholeHeaters = whole.Run();
    ASSERT_NE(wholeHeaters, nullptr);
    const std::array<int, 5> history{whole.HistoryEntry(0), 0, 0, 0, 0};
    const int firstChoice = history[0];
    GenerateNewHXMatrx wholeNext(net, 10.0, 0, {}, 1, history.data());
    const std::vector<double>* wholeNextHeaters = wholeNext.Run();
    for (double share : {kFirstScreenShare, 1.0}) {
        SCOPED_TRACE(share);
        GenerateNewHXMatrx reduced(net, 10.0, 0, {}, 0, nullptr);
        reduced.SetScreenAbove(0);
        reduced.SetFirstScreenShare(share);
        const std::vector<double>* heaters = reduced.Run();
        ASSERT_NE(heaters, nullptr);
        ASSERT_EQ(reduced.GetWholeCandidates(), whole.GetNumberOfCandidates());
        const int leftOut = reduced.GetWholeCandidates() - reduced.GetNumberOfCandidates();
        EXPECT_GT(leftOut, 0);
        EXPECT_EQ(reduced.GetBuiltCandidates().size(), static_cast<std::size_t>(reduced.GetNumberOfCandidates()));
        EXPECT_GE(Sum(*heaters), Sum(*wholeHeaters) - 1e-6);
        EXPECT_LE(Sum(*heaters), Sum(*wholeHeaters) + kModificationTolerance * leftOut + 1e-6);
        bool samePlace = true;
        for (int i = 0; i < 4; ++i) samePlace = samePlace && reduced.Result(i) == whole.Result(i);
        if (samePlace) EXPECT_EQ(reduced.HistoryEntry(0), firstChoice);

        GenerateNewHXMatrx next(net, 10.0, 0, {}, 1, history.data());
        next.SetScreenAbove(0);
        next.SetFirstScreenShare(share);
        const std::vector<double>* nextHeaters = next.Run();
        ASSERT_EQ(nextHeaters != nullptr, wholeNextHeaters != nullptr);
        if (!nextHeaters) continue;
        const int nextLeftOut = next.GetWholeCandidates() - next.GetNumberOfCandidates();
        EXPECT_GE(Sum(*nextHeaters), Sum(*wholeNextHeaters) - 1e-6);
        EXPECT_LE(Sum(*nextHeaters), Sum(*wholeNextHeaters) + kModificationTolerance * nextLeftOut + 1e-6);
        EXPECT_NE(next.HistoryEntry(1), firstChoice);
    }
}

INSTANTIATE_TEST_SUITE_P(SeededPlants, CandidateScreen, ::testing::Values(1u, 2u, 3u, 4u, 5u, 6u));

}  // namespace
