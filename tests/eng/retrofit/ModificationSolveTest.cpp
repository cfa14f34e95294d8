// The read-back of a modification model: which candidate counts as chosen, the first existing
// exchanger left out, the duty through the size figure and the traces' step limit. The models
// here have no integer columns, so the rows alone fix the values read back.
#include "eng/retrofit/ModificationSolve.h"

#include <gtest/gtest.h>

namespace {

SparseRow Fix(int column, double value, int rhs) {
    SparseRow r;
    r.Add(column, 1.0);
    r.Add(rhs, value);
    return r;
}

// One existing exchanger (1) and one candidate (2) whose four nodes are stream ends. Columns:
// 0 existing duty, 1 candidate duty, 2 existing binary, 3 candidate binary, 4 right-hand side.
struct TinyModel {
    TinyModel(double candidate, double existing, int sizeFigure) {
        rows = {Fix(3, candidate, 4), Fix(2, existing, 4), Fix(1, 7.0, 4), Fix(0, 3.0, 4)};
        SparseRow objective;
        objective.Add(0, 1.0);
        rows.push_back(objective);
        HXInfo x;
        x.fingerprint = 1;
        HXInfo c;
        c.fingerprint = 2;
        c.hotOutlet = 50;
        c.hotInlet = 51;
        c.coldInlet = 52;
        c.coldOutlet = 53;
        exchangers = {x, c};
        HotStrmInfo h;
        h.startNode = 50;
        h.endNode = 51;
        hot = {h};
        ColdStrmInfo k;
        k.startNode = 52;
        k.endNode = 53;
        cold = {k};
        record.rows = &rows;
        record.width = 5;
        record.integerColumns = 0;
        record.candidates = 1;
        record.highestExchangerId = 1;
        record.exchangers = &exchangers;
        record.hotStreams = &hot;
        record.coldStreams = &cold;
        record.sizeFigure = sizeFigure;
    }
    SparseRowList rows;
    std::vector<HXInfo> exchangers;
    std::vector<HotStrmInfo> hot;
    std::vector<ColdStrmInfo> cold;
    ModelRecord record;
};

struct ReadBackCase {
    double candidate, existing;
    int sizeFigure;
    bool chosen;
    int chosenIndex;
    double duty;
};
void PrintTo(const ReadBackCase& c, std::ostream* os) {
    *os << "candidate " << c.candidate << " against existing " << c.existing
        << (c.chosen ? ": chosen" : ": not chosen");
}

class ModificationReadBack : public ::testing::TestWithParam<ReadBackCase> {};

TEST_P(ModificationReadBack, ChoosesWithinOneHundredthOfOne) {
    const ReadBackCase& p = GetParam();
    TinyModel m(p.candidate, p.existing, p.sizeFigure);
    SolveModificationModelRecord(m.record);
    EXPECT_EQ(m.record.success, p.chosen ? 1 : 0);
    EXPECT_EQ(m.record.history[0], p.chosen ? 3 : -1);
    EXPECT_EQ(m.record.chosenIndex, p.chosenIndex);
    EXPECT_DOUBLE_EQ(m.record.duty, p.duty);
    if (p.chosen) {
        EXPECT_EQ(m.record.locations, (std::array<std::uint32_t, 4>{50, 51, 52, 53}));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ModificationReadBack,
                         ::testing::Values(ReadBackCase{0.995, 1.0, 2, true, 2, 7.0},   // kept in place: beyond the list
                                           ReadBackCase{0.98, 1.0, 2, false, 2, 0.0},
                                           ReadBackCase{1.0, 0.0, 2, true, 1, 7.0},     // the existing one left out
                                           ReadBackCase{1.0, 0.005, -1, true, 1, 0.0}));  // no size figure: no duty

TEST(ModificationReadBack, ATraceThatGoesRoundInCirclesGivesZero) {
    TinyModel m(1.0, 1.0, 2);
    // Two candidates that feed each other's hot side and nothing else.
    HXInfo a, b;
    a.fingerprint = 2;
    a.hotOutlet = 60;
    a.hotInlet = 61;
    b.fingerprint = 3;
    b.hotOutlet = 61;
    b.hotInlet = 60;
    m.exchangers = {m.exchangers[0], a, b};
    EXPECT_EQ(TraceLocation(m.record, 60, 0), 0u);
    // A candidate's node one step from a stream start arrives.
    m.exchangers[2].hotInlet = 50;
    EXPECT_EQ(TraceLocation(m.record, 60, 0), 50u);
}

}  // namespace
