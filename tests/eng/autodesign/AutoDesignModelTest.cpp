// Pieces of the interval model worked by hand: subdivision, pair data, cost coefficients, column
// costs, small-load streams and integer cuts.
#include "tests/eng/autodesign/AutoDesignTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace autodesign_test;

namespace {

std::vector<double> Widths(AdvancedSuperTarget& run) {
    std::vector<double> w;
    for (int k = 0; k < run.intervalCount; ++k) w.push_back(run.intervalList->GetWidth(k));
    return w;
}

// Shifted boundaries 400, 382, 381, 363.1, 323.1: the narrowest interval is 1.0, so the step is
// max(18, 8 x 1) = 18: 18.0 is halved, 1.0 and 17.9 stay whole, 40.0 falls into 3 parts.
// Boundaries 400, 397, 373, 350: narrowest 3.0, step 24: 24 is halved, 23 stays whole.
TEST(AutoDesignModel, SubdivisionStepFollowsTheNarrowestInterval) {
    struct Case {
        std::vector<double> points;  // actual temperatures of hot streams in series
        std::vector<double> widths;
    };
    const Case cases[] = {
        {{402, 384, 383, 365.1, 325.1}, {9, 9, 1, 17.9, 40.0 / 3, 40.0 / 3, 40.0 / 3}},
        {{402, 399, 375, 352}, {3, 12, 12, 23}},
    };
    for (const Case& c : cases) {
        AutoDesignProject p;
        for (std::size_t k = 0; k + 1 < c.points.size(); ++k)
            p.Process(("H" + std::to_string(k)).c_str(), c.points[k], c.points[k + 1], 1.0);
        AdvancedSuperTarget run(*p.scenario);
        run.SelectStreams(p.Dictionary());
        run.BuildTemperatureIntervals();
        const std::vector<double> w = Widths(run);
        ASSERT_EQ(w.size(), c.widths.size());
        for (std::size_t k = 0; k < w.size(); ++k) EXPECT_NEAR(w[k], c.widths[k], 1e-9) << k;
    }
}

TEST(AutoDesignModel, MeanTemperatureDifferenceAndAnnualisation) {
    EXPECT_DOUBLE_EQ(AdvancedSuperTarget::MeanTemperatureDifference(7.0, 7.0), 7.0);
    EXPECT_NEAR(AdvancedSuperTarget::MeanTemperatureDifference(10.0, 40.0), 21.667, 5e-4);
    EXPECT_NEAR(AdvancedSuperTarget::AnnualisationFactor(0.1, 5.0), 0.322102, 5e-7);
}

// Interval pair (0, 1) of boundaries 100, 90, 60 (shifted): end approaches (90 - 60) + 4 = 34 and
// (100 - 90) + 4 = 14.
TEST(AutoDesignModel, IntervalPairDataFromTheBoundaries) {
    AutoDesignProject p;
    AdvancedSuperTarget run(*p.scenario);
    const IntervalPairData& d = run.AddIntervalPairData(100.0, 90.0, 90.0, 60.0, 0, 1);
    EXPECT_NEAR(d.meanTemperatureDifference, AdvancedSuperTarget::MeanTemperatureDifference(34.0, 14.0), 1e-12);
    EXPECT_NEAR(d.areaPerLoad, 1.0 / (d.meanTemperatureDifference * d.fFactor), 1e-12);
    EXPECT_GE(d.fFactor, 0.8);
    ASSERT_NE(run.FindIntervalPairData(0, 1), nullptr);
    EXPECT_EQ(run.FindIntervalPairData(1, 0), nullptr);
}

// c 1000, e 0.8, i 0.1, n 5: linear 1000 x 0.322102; linearised at 100 m2: 100^-0.2 x that =
// 128.231; a load-priced match without load takes the reference area (here 100 m2 as well).
TEST(AutoDesignModel, CostCoefficientsLinearAndLinearised) {
    struct Case {
        int basis;
        int mode;
        double area, load;
        double expected;
    };
    for (Case c : {Case{0, 1, 100.0, 0.0, 322.102}, Case{0, 3, 100.0, 0.0, 128.231}, Case{1, 3, 5.0, 0.0, 128.231},
                   Case{1, 3, 0.0, 1.0, 322.102}}) {
        AutoDesignProject p;
        p.WorkedProblem();
        p.scenario->SetEconomicData(EDT_AreaCostCoefficient, 1000.0, "DEFAULT");
        p.scenario->SetEconomicData(EDT_AreaExponent, 0.8, "DEFAULT");
        BasisTarget run(*p.scenario, c.basis);
        run.matchData = p.scenario->GetMatchwiseStreamData();
        run.annualisationFactor = AdvancedSuperTarget::AnnualisationFactor(0.1, 5.0);
        run.referenceArea = 100.0;
        MatchwiseStreamData* r = run.matchData->FindMatch(p.Stream("H"), p.Stream("C"));
        ASSERT_NE(r, nullptr);
        r->dCountercurrentArea = c.area;
        r->dTolerance[0] = c.load;
        run.UpdateMatchCostCoefficients(c.mode);
        EXPECT_NEAR(r->dFactor, c.expected, 5e-4) << c.basis << " " << c.mode;
    }
}

// A column's cost: by area (K x area per kW x (1/h_hot + 1/h_cold)), by load (K), or nothing but
// the energy cost of its two streams. The basis is the cost model's economic item 5, as the
// capital cost targets read it (0 area, 1 duty): the rows of 3 and 4 set it on "DEFAULT" itself
// and run the plain automatic design (a law of 1 was priced by area).
TEST(AutoDesignModel, ColumnCostByBasis) {
    for (int row : {0, 1, 2, 3, 4}) {
        const int basis = row < 3 ? row : row - 3;
        AutoDesignProject p;
        p.WorkedProblem();
        p.scenario->SetEconomicData(EDT_CostLaw, row < 3 ? 0.0 : basis, "DEFAULT");
        BasisTarget overridden(*p.scenario, basis);
        AdvancedSuperTarget plain(*p.scenario);
        AdvancedSuperTarget& run = row < 3 ? overridden : plain;
        run.SelectStreams(p.Dictionary());
        run.matchData = p.scenario->GetMatchwiseStreamData();
        // The run's segments are in name order.
        auto segmentOf = [&run](const char* name) {
            for (auto& s : run.segments)
                if (s->StreamName() == name) return s.get();
            return static_cast<StreamSegment*>(nullptr);
        };
        StreamSegment* hu = segmentOf("HU");  // h 1.0
        StreamSegment* c = segmentOf("C");    // h 0.5
        ASSERT_TRUE(hu && c);
        ASSERT_STREQ(hu->pStream->GetName().c_str(), "HU");
        ASSERT_STREQ(c->pStream->GetName().c_str(), "C");
        MatchwiseStreamData* r = run.matchData->FindMatch(hu->pStream, c->pStream);
        ASSERT_NE(r, nullptr);
        r->dFactor = 200.0;
        MatchColumn column;
        column.hotSegment = hu;
        column.coldSegment = c;
        column.cost = 0.05;
        run.ApplyMatchCost(column);
        const double energy = (hu->pStream->GetCostIndex() + c->pStream->GetCostIndex()) * 8765.76 * 3600.0;
        EXPECT_DOUBLE_EQ(hu->pStream->GetCostIndex(), kDearUtility);
        const double capital = basis == 0 ? 200.0 * 0.05 * (1.0 / 1.0 + 1.0 / 0.5) : basis == 1 ? 200.0 : 0.0;
        EXPECT_NEAR(column.cost, capital + energy, 1e-6) << row;
        EXPECT_EQ(column.match, r);
    }
}

// Small-load streams: below 1 % of the largest load of the other side, counted only on a side
// that has a utility of its own.
TEST(AutoDesignModel, SmallLoadStreams) {
    struct Case {
        double hotLoad;
        bool coldUtility;
        bool small;
    };
    for (Case c : {Case{0.5, true, true}, Case{1.0, true, false}, Case{0.5, false, false}}) {
        AutoDesignProject p;
        p.Process("C", 100, 200, 1.0);  // 100 kW
        p.Process("S", 180, 170, c.hotLoad / 10.0);
        p.Utility("HU", 250, 249);
        if (c.coldUtility) p.Utility("CU", 20, 30);
        AdvancedSuperTarget run(*p.scenario);
        run.SelectStreams(p.Dictionary());
        run.CollectSmallLoadStreams();
        EXPECT_EQ(run.smallLoadStreams.size(), c.small ? 1u : 0u) << c.hotLoad << " " << c.coldUtility;
        if (c.small) {
            EXPECT_STREQ(run.smallLoadStreams[0]->GetName().c_str(), "S");
        }
    }
}

// A small-load hot stream may still meet the cold utility, but no process stream: its only
// column goes to the cold utility.
TEST(AutoDesignModel, SmallLoadStreamMeetsOnlyUtilities) {
    AutoDesignProject p;
    p.WorkedProblem();
    p.Process("S", 179, 178, 0.5);
    AdvancedSuperTarget run(*p.scenario);
    run.ToggleFlag();
    ASSERT_EQ(p.Run(run), 1) << run.message;
    ASSERT_EQ(run.smallLoadStreams.size(), 1u);
    for (const MatchColumn& c : run.columns)
        if (c.hotSegment->pStream == p.Stream("S")) {
            EXPECT_EQ(c.coldSegment->pStream->GetStreamKind(), 1);
        }
    EXPECT_NEAR(LoadedMatch(run, "S", "CU"), 0.5, 1e-6);
}

// Cuts over the last three of five columns.
TEST(AutoDesignModel, IntegerCutExcludesTheChosenSet) {
    struct Case {
        std::vector<double> binaries;
        std::vector<double> row;
        double rhs;
    };
    const Case cases[] = {
        {{1, 1, 1}, {0, 0, 1, 1, 1}, 2.0},
        {{1, 0, 1}, {0, 0, 1, 0, 1}, 1.0},
        {{}, {0, 0, 0, 0, 0}, -1.0},
    };
    for (const Case& c : cases) {
        AutoDesignProject p;
        AdvancedSuperTarget run(*p.scenario);
        run.lpProblem = std::make_unique<LPProblem>();
        run.lpProblem->Allocate(5, 0);
        run.binaryValues = c.binaries;
        run.AddIntegerCut(static_cast<int>(c.binaries.size()), 5);
        const LPProblem& lp = *run.lpProblem;
        ASSERT_EQ(lp.nRows, 1);
        for (int j = 0; j < 5; ++j) EXPECT_EQ(lp.pMatrix->GetElement(0, j), c.row[static_cast<std::size_t>(j)]);
        EXPECT_EQ(lp.rowTypes[0], LPProblem::LessOrEqual);
        EXPECT_EQ(lp.rightHandSides[0], c.rhs);
    }
}

// Two pairs whose names run together the same way are two pairs.
TEST(AutoDesignModel, PairKeysKeepTheNamesApart) {
    EXPECT_NE(AdvancedSuperTarget::PairKey("AB", "C"), AdvancedSuperTarget::PairKey("A", "BC"));
    EXPECT_EQ(AdvancedSuperTarget::PairKey("A", "BC"), AdvancedSuperTarget::PairKey("A", "BC"));
}

}  // namespace

namespace {

// A process stream takes part from a load of 1e-8 on; utilities always do.
TEST(AutoDesignModel, StreamSelectionByLoad) {
    for (double load : {0.5e-8, 1e-8}) {
        AutoDesignProject p;
        p.WorkedProblem();
        p.Process("Tiny", 150.0, 140.0, load / 10.0);
        AdvancedSuperTarget run(*p.scenario);
        run.SelectStreams(p.Dictionary());
        const bool selected = run.streamsByName.count("Tiny") != 0;
        EXPECT_EQ(selected, p.Load("Tiny") >= 1e-8) << load;
        EXPECT_EQ(run.streams.size(), selected ? 5u : 4u);
    }
}

// While a design is completed, a pair it closes (entry 0) gets no column; a pair it keeps (1) or
// does not know is free.
TEST(AutoDesignModel, ClosedPairOfADesignToCompleteGetsNoColumn) {
    AutoDesignProject p;
    p.WorkedProblem();
    ASSERT_EQ(p.scenario->AddDesign("D"), 1);
    IHENDesign* d = nullptr;
    ASSERT_TRUE(p.scenario->GetDesign(CPString("D"), d));
    AdvancedSuperTarget run(*p.scenario);
    run.SelectStreams(p.Dictionary());
    run.BuildTemperatureIntervals();
    run.designToComplete = d;
    run.existingMatches[AdvancedSuperTarget::PairKey("H", "CU")] = 0;
    run.existingMatches[AdvancedSuperTarget::PairKey("H", "C")] = 1;
    int hc = 0, hcu = 0, huc = 0;
    for (auto& hot : run.segments) {
        for (auto& cold : run.segments) {
            if (hot->nHotCold != 0 || cold->nHotCold != 1) continue;
            MatchColumn column;
            run.FillMatchColumn(column, hot.get(), cold.get(), 0, run.intervalCount - 1);
            const std::string pair = std::string(hot->pStream->GetName().c_str()) + "-" + cold->pStream->GetName().c_str();
            const bool forbidden = column.cost == AdvancedSuperTarget::kForbiddenCost;
            if (pair == "H-C") hc += forbidden;
            if (pair == "H-CU") hcu += forbidden;
            if (pair == "HU-C") huc += forbidden;
        }
    }
    EXPECT_EQ(hc, 0);
    EXPECT_EQ(hcu, 1);
    EXPECT_EQ(huc, 0);
}

}  // namespace

namespace {

// The LP of a run, row by row: type, right-hand side and every coefficient by column.
std::vector<std::string> ModelRows(const AdvancedSuperTarget& run) {
    std::vector<std::string> rows;
    const LPProblem& lp = *run.lpProblem;
    for (int r = 0; r < lp.nRows; ++r) {
        std::string row = std::to_string(lp.rowTypes[static_cast<std::size_t>(r)]) + " " +
                          std::to_string(lp.rightHandSides[static_cast<std::size_t>(r)]) + ":";
        for (int c = 0; c < lp.nColumns; ++c)
            if (const double v = lp.pMatrix->GetElement(r, c); v != 0.0) row += " " + std::to_string(c) + "=" + std::to_string(v);
        rows.push_back(row);
    }
    return rows;
}

// The four-stream plant with its two utilities, its rows given as listed and reversed: the
// utilities' match rows come in the order of the streams' names either way, so the LP is one
// model, row for row, and loads its matches alike.
TEST(AutoDesignModel, OneModelWhateverTheOrderOfTheRows) {
    struct Row {
        const char* name;
        double supply, target, cp;
    };
    const std::vector<Row> plant = {{"H1", 170, 60, 3.0}, {"H2", 150, 30, 1.5}, {"C1", 20, 135, 2.0},
                                    {"C2", 80, 140, 4.0}, {"HU", 250, 249, 0.0}, {"CU", 10, 20, 0.0}};
    std::vector<std::vector<std::string>> models;
    std::vector<std::vector<double>> loads;
    for (bool reversed : {false, true}) {
        AutoDesignProject p;
        std::vector<Row> rows = plant;
        if (reversed) std::reverse(rows.begin(), rows.end());
        for (const Row& r : rows)
            ASSERT_TRUE(r.cp > 0.0 ? p.Process(r.name, r.supply, r.target, r.cp) : p.Utility(r.name, r.supply, r.target));
        AdvancedSuperTarget run(*p.scenario);
        run.ToggleFlag();  // the LP alone
        ASSERT_EQ(p.Run(run), 1) << run.message;
        models.push_back(ModelRows(run));
        loads.push_back({LoadedMatch(run, "H1", "C1"), LoadedMatch(run, "H1", "C2"), LoadedMatch(run, "H2", "C1"),
                         LoadedMatch(run, "H2", "C2"), LoadedMatch(run, "HU", "C1"), LoadedMatch(run, "HU", "C2"),
                         LoadedMatch(run, "H1", "CU"), LoadedMatch(run, "H2", "CU")});
    }
    ASSERT_EQ(models[0].size(), models[1].size());
    for (std::size_t r = 0; r < models[0].size(); ++r) ASSERT_EQ(models[0][r], models[1][r]) << "row " << r;
    for (std::size_t k = 0; k < loads[0].size(); ++k) EXPECT_NEAR(loads[0][k], loads[1][k], 1e-9) << k;
}

}  // namespace
