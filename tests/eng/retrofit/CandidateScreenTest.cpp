// Screening the new-exchanger candidates on small plants drawn with fixed seeds: every candidate's
// lowest objective lies at or below the model's optimum with that candidate built, and the model
// solved with the screen reaches the same optimum as the whole model, both solved to optimality.
#include "eng/retrofit/CandidateScreen.h"
#include "eng/retrofit/ModelSolving.h"
#include "eng/retrofit/ModificationSolve.h"
#include "eng/retrofit/PinchModifications.h"
#include "tests/eng/retrofit/ModificationTestNetworks.h"
#include "traval/MILPReduction.h"

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

// A run of the model with every model counted as large, so that it is built of the screened
// candidates only, set against the whole model of the same plant solved to optimality.
struct ScreenedRun {
    std::unique_ptr<GenerateNewHXMatrx> model;
    const std::vector<double>* heaters = nullptr;
};

ScreenedRun RunScreened(const RetrofitNetwork& net, double share, int historyCount, const int* history) {
    ScreenedRun run;
    run.model = std::make_unique<GenerateNewHXMatrx>(net, 10.0, 0, std::vector<std::uint32_t>{}, historyCount, history);
    run.model->SetScreenAbove(0);
    run.model->SetFirstScreenShare(share);
    run.heaters = run.model->Run();
    return run;
}

// The objective of an answer with these heater duties: 100 / W per kW of steam and one per binary
// in use, the binaries read from the whole model's optimum (one candidate and the plant's held
// exchangers in both).
double ObjectiveWith(const RetrofitNetwork& net, const std::vector<double>& heaters, double optimum,
                     const std::vector<double>& optimumHeaters) {
    double w = 0.0;
    for (const HeaterInfo& h : net.heaters) w += h.duty;
    return optimum + 100.0 / w * (Sum(heaters) - Sum(optimumHeaters));
}

// The answer of a model built of some candidates only lies at or above the whole model's optimum
// (its solutions are solutions of the whole model) and within the search's gap of it (the candidates
// left out carry no duty tolerance), and no candidate left out could have reached it.
void ExpectReachesTheWholeOptimum(const RetrofitNetwork& net, const ScreenedRun& run, const std::vector<double>& lowest,
                                  double optimum, const std::vector<double>& optimumHeaters) {
    ASSERT_NE(run.heaters, nullptr);
    const double objective = ObjectiveWith(net, *run.heaters, optimum, optimumHeaters);
    EXPECT_GE(objective, optimum - 1e-6);
    EXPECT_LE(objective, optimum * (1.0 + kLargeModelOptimalityGap));
    const std::vector<int>& built = run.model->GetBuiltCandidates();
    ASSERT_FALSE(built.empty());
    ASSERT_EQ(run.model->GetWholeCandidates(), static_cast<int>(lowest.size()));
    std::vector<unsigned char> isBuilt(lowest.size(), 0);
    for (int u : built) isBuilt[static_cast<std::size_t>(u)] = 1;
    for (std::size_t u = 0; u < lowest.size(); ++u)
        if (!isBuilt[u]) {
            EXPECT_GE(lowest[u], objective * (1.0 - 2e-6)) << "candidate " << u << " left out";
        }
}

// Two steps of a run, the second given the first's choice as a column of the whole model, by a
// model built of fewer candidates than the whole superstructure holds: each step's answer is the
// whole model's, and the second holds out the candidate the first chose.
TEST_P(CandidateScreen, AModelOfTheScreenedCandidatesReachesTheWholeModelsOptimum) {
    ModelRecord whole = RecordOf(*g);
    SolveModificationModelRecord(whole);
    ASSERT_EQ(whole.success, 1);
    const double optimum = ObjectiveOf(g->GetRows(), whole.solution);
    const int firstChoice = whole.history[0];
    const std::array<int, 5> history{firstChoice, 0, 0, 0, 0};
    ModelRecord wholeNext = RecordOf(*g);
    wholeNext.historyCount = 1;
    wholeNext.history = history;
    SolveModificationModelRecord(wholeNext);
    ASSERT_EQ(wholeNext.success, 1);
    const double nextOptimum = ObjectiveOf(g->GetRows(), wholeNext.solution);

    for (double share : {kFirstScreenShare, 1.0}) {
        SCOPED_TRACE(share);
        const ScreenedRun first = RunScreened(net, share, 0, nullptr);
        ExpectReachesTheWholeOptimum(net, first, g->GetCandidateLowest(), optimum, whole.heaterDuties);
        EXPECT_LT(first.model->GetNumberOfCandidates(), g->GetNumberOfCandidates());
        // The step's choice is kept as a candidate's binary of the whole model.
        const int n = g->GetNumberOfColumns() - 1;
        EXPECT_GE(first.model->HistoryEntry(0), n - g->GetNumberOfCandidates());
        EXPECT_LT(first.model->HistoryEntry(0), n);

        const ScreenedRun next = RunScreened(net, share, 1, history.data());
        ExpectReachesTheWholeOptimum(net, next, g->GetCandidateLowest(), nextOptimum, wholeNext.heaterDuties);
        EXPECT_NE(next.model->HistoryEntry(1), firstChoice);
    }
}

// A first screen of the best bound alone, on a plant where the candidates with that bound cannot
// reach it: the answer leaves candidates out that could beat it, so the model is built again with
// them, and ends at the whole model's optimum.
TEST(CandidateScreenRebuild, AnAnswerThatProvesNothingBuildsTheModelAgainWithTheCandidatesThatCouldWin) {
    for (unsigned seed : {28u}) {
        SCOPED_TRACE(seed);
        const RetrofitNetwork net = SeededPlant(seed, 3);
        GenerateNewHXMatrx g(net, 10.0, 0, {}, 0, nullptr);
        ASSERT_TRUE(g.PrepareModel() && g.BuildStreamPositions() && g.AddCandidateExchangers() && g.BuildModelRows());
        ModelRecord whole = RecordOf(g);
        SolveModificationModelRecord(whole);
        ASSERT_EQ(whole.success, 1);
        const double optimum = ObjectiveOf(g.GetRows(), whole.solution);
        const std::vector<double>& lowest = g.GetCandidateLowest();
        const double best = *std::min_element(lowest.begin(), lowest.end());
        const auto atBest = std::count_if(lowest.begin(), lowest.end(), [&](double l) { return !IsAboveObjective(l, best); });

        const ScreenedRun run = RunScreened(net, 1.0, 0, nullptr);
        ExpectReachesTheWholeOptimum(net, run, lowest, optimum, whole.heaterDuties);
        EXPECT_GT(run.model->GetNumberOfCandidates(), atBest);
    }
}

// The steps of a run share the run's kept reduction. When the first step had to build its model
// again with more candidates, the next steps build that model at once (not the first screen's
// model first, whose solve would replace the reduction in every step), and still end at the whole
// model's optimum with the earlier choice held out. A new run clears what the last one kept.
TEST(CandidateScreenRebuild, TheStepsAfterARebuildBuildTheRebuiltModelAtOnce) {
    const RetrofitNetwork net = SeededPlant(28u, 3);
    GenerateNewHXMatrx g(net, 10.0, 0, {}, 0, nullptr);
    ASSERT_TRUE(g.PrepareModel() && g.BuildStreamPositions() && g.AddCandidateExchangers() && g.BuildModelRows());
    const std::vector<double>& lowest = g.GetCandidateLowest();
    MILPReduction kept;
    auto step = [&](int historyCount, const int* history) {
        ScreenedRun run;
        run.model = std::make_unique<GenerateNewHXMatrx>(net, 10.0, 0, std::vector<std::uint32_t>{}, historyCount, history);
        run.model->SetScreenAbove(0);
        run.model->SetFirstScreenShare(1.0);
        run.model->SetModelReduction(&kept);
        run.heaters = run.model->Run();
        return run;
    };
    const ScreenedRun first = step(0, nullptr);
    ASSERT_NE(first.heaters, nullptr);
    ASSERT_EQ(first.model->GetModelsBuilt(), 2);
    const std::array<int, 5> history{first.model->HistoryEntry(0), 0, 0, 0, 0};

    ModelRecord wholeNext = RecordOf(g);
    wholeNext.historyCount = 1;
    wholeNext.history = history;
    SolveModificationModelRecord(wholeNext);
    ASSERT_EQ(wholeNext.success, 1);
    const double nextOptimum = ObjectiveOf(g.GetRows(), wholeNext.solution);

    const ScreenedRun next = step(1, history.data());
    EXPECT_EQ(next.model->GetModelsBuilt(), 1);
    EXPECT_EQ(next.model->GetBuiltCandidates(), first.model->GetBuiltCandidates());
    EXPECT_NE(next.model->HistoryEntry(1), history[0]);
    ExpectReachesTheWholeOptimum(net, next, lowest, nextOptimum, wholeNext.heaterDuties);

    kept.Clear();
    EXPECT_EQ(step(0, nullptr).model->GetModelsBuilt(), 2);
}

INSTANTIATE_TEST_SUITE_P(SeededPlants, CandidateScreen, ::testing::Values(1u, 2u, 3u, 4u, 5u, 6u));

}  // namespace
