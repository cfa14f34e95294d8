// Whole automatic-design runs on problems small enough to work by hand.
#include "eng/autodesign/SuperStructure.h"
#include "tests/eng/autodesign/AutoDesignTestSupport.h"

#include "eng/model/Scenario.h"
#include "tests/eng/design/DesignTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace autodesign_test;

namespace {

// H 180 -> 80 and C 100 -> 200 (CP 1) at a 4 K approach overlap from 178 down to 102 shifted:
// H gives C 76 kW, the hot utility the other 24 kW of C, the cold utility the other 24 kW of H.
TEST(AutoDesignRun, WorkedProblemLPGivesTheHandWorkedLoads) {
    AutoDesignProject p;
    p.WorkedProblem();
    AdvancedSuperTarget run(*p.scenario);
    run.ToggleFlag();  // the LP only
    ASSERT_EQ(p.Run(run), 1) << run.message;
    EXPECT_EQ(run.GetMessageKey(), nullptr);
    ASSERT_EQ(run.GetNumberOfNamedEntries(), 2);
    EXPECT_STREQ(run.GetNamedEntry(0), "HU");  // run order: hot streams by falling supply first
    EXPECT_STREQ(run.GetNamedEntry(1), "CU");
    EXPECT_NEAR(UtilityLoad(run, "HU"), 24.0, 1e-6);
    EXPECT_NEAR(UtilityLoad(run, "CU"), 24.0, 1e-6);
    EXPECT_EQ(run.GetNumberOfLoadedMatches(), 3);
    EXPECT_NEAR(LoadedMatch(run, "H", "C"), 76.0, 1e-6);
    EXPECT_NEAR(LoadedMatch(run, "HU", "C"), 24.0, 1e-6);
    EXPECT_NEAR(LoadedMatch(run, "H", "CU"), 24.0, 1e-6);
    EXPECT_EQ(run.GetNumberOfUnloadedMatches(), 0);  // two utilities never pair: three pairs in all
    EXPECT_EQ(run.GetResultB(), 1.0);
    EXPECT_GT(run.GetResultA(), 0.0);
    // With four selected streams the reference area spreads the total over three pairs.
    EXPECT_NEAR(run.referenceArea, run.totalArea / 3.0, 1e-9);
    // The H-C match runs from 178 to 102 shifted on the hot side: actual 180 down to 104, and
    // the cold side from 200 shifted 202 down to 102 shifted (actual 100 up to 176); its
    // smallest approach is 4 K.
    MatchwiseStreamData* hc = p.scenario->GetMatchwiseStreamData()->FindMatch(p.Stream("H"), p.Stream("C"));
    ASSERT_NE(hc, nullptr);
    EXPECT_NEAR(hc->dTolerance[1], 4.0, 1e-6);
    EXPECT_NEAR(hc->GetTemperatureLimit("HotInlet"), 180.0, 1e-6);
    EXPECT_NEAR(hc->GetTemperatureLimit("HotOutlet"), 104.0, 1e-6);
    EXPECT_NEAR(hc->GetTemperatureLimit("ColdInlet"), 100.0, 1e-6);
    EXPECT_NEAR(hc->GetTemperatureLimit("ColdOutlet"), 176.0, 1e-6);
}

// MILP 1 takes the three LP matches; its cut leaves only the two utility matches (each 100 kW);
// the second cut leaves nothing.
TEST(AutoDesignRun, WorkedProblemMILPLoopCutsOffEachSetOfMatches) {
    struct Case {
        int wanted;
        int result;
        const char* key;
    };
    for (Case c : {Case{10, 0, "NotEnoughDesignsGenerated"}, Case{2, 1, nullptr}}) {
        AutoDesignProject p;
        p.WorkedProblem();
        auto builder = std::make_shared<AcceptingBuilder>();
        AdvancedSuperTarget run(*p.scenario, builder);
        EXPECT_EQ(p.Run(run, c.wanted), c.result) << c.wanted;
        if (c.key) {
            EXPECT_EQ(run.message, c.key);
        } else {
            EXPECT_EQ(run.GetMessageKey(), nullptr);
        }
        EXPECT_EQ(run.designsMade, 2);
        ASSERT_EQ(builder->calls.size(), 2u);
        const auto& first = builder->calls[0];
        ASSERT_EQ(first.pairs.size(), 3u);
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_NEAR(first.loads[k], first.pairs[k] == "H-C" ? 76.0 : 24.0, 1e-6) << first.pairs[k];
        const auto& second = builder->calls[1];
        ASSERT_EQ(second.pairs.size(), 2u);
        for (std::size_t k = 0; k < 2; ++k) {
            EXPECT_TRUE(second.pairs[k] == "HU-C" || second.pairs[k] == "H-CU") << second.pairs[k];
            EXPECT_NEAR(second.loads[k], 100.0, 1e-6);
        }
        EXPECT_NEAR(UtilityLoad(run, "HU"), 100.0, 1e-6);
        EXPECT_NEAR(UtilityLoad(run, "CU"), 100.0, 1e-6);
    }
}

// Without anything that builds a structure every iteration runs and no design is made.
TEST(AutoDesignRun, WithoutAStructureTheRunEndsOnNoStructure) {
    AutoDesignProject p;
    p.WorkedProblem();
    // A superstructure that resolves the matches but has nothing to build designs with.
    AdvancedSuperTarget run(*p.scenario, std::make_shared<HeatExchangerNetworkSuperStructure>());
    p.view.changes.clear();
    EXPECT_EQ(p.Run(run, 3), 0);
    EXPECT_EQ(run.message, "FailedToResolveSuperStructure");
    EXPECT_EQ(run.designsMade, 0);
    // Progress as looked-up texts (code 64); code 66 after each of the two solved iterations.
    EXPECT_EQ(p.view.Count(66), 2);
    std::vector<std::string> progress;
    for (const Notice& n : p.view.changes)
        if (n.code == 64) progress.push_back(n.text);
    ASSERT_GE(progress.size(), 4u);
    EXPECT_EQ(progress[0], "Generating the linear model");
    EXPECT_EQ(progress[1], "Solving the linear model");
    EXPECT_EQ(progress[2], "Analysing the optimised solution");
    EXPECT_EQ(progress[3], "Solving the mixed-integer linear model");
}

// The upper load of a match is the smaller stream load (a utility counts as unlimited) x 1.01:
// the hot stream of 50 kW gives 50.5 against the cold utility and against C.
TEST(AutoDesignRun, MatchUpperLoadOfAFiftyKilowattStream) {
    AutoDesignProject p;
    p.WorkedProblem(0.5);
    auto builder = std::make_shared<AcceptingBuilder>();
    AdvancedSuperTarget run(*p.scenario, builder);
    ASSERT_EQ(p.Run(run, 1), 1) << run.message;
    LPProblem& lp = *run.lpProblem;
    ASSERT_EQ(run.loadedRecords.size(), 3u);
    for (std::size_t k = 0; k < run.loadedRecords.size(); ++k) {
        const MatchwiseStreamData* r = run.loadedRecords[k];
        const bool hotStream = r->GetHotStream() == p.Stream("H");
        const int binary = run.heatColumns + static_cast<int>(k);
        double coefficient = 0.0;
        for (int row = 0; row < lp.nRows; ++row) coefficient = std::min(coefficient, lp.pMatrix->GetElement(row, binary));
        EXPECT_NEAR(coefficient, hotStream ? -50.5 : -101.0, 1e-9);
    }
}

// The four-stream problem at the model's 4 K approach is a threshold problem: no hot utility and
// 40 kW of cooling, as the scenario's own energy target at DTmin 4, whatever the scenario's DTmin.
TEST(AutoDesignRun, FourStreamLPRecoversTheEnergyTargetAtFourKelvin) {
    for (double dTmin : {10.0, 4.0, 20.0}) {
        AutoDesignProject p;
        p.FourStreams();
        p.scenario->SetDTmin(4.0);
        const double hotTarget = p.scenario->GetUtilityTarget(0);
        const double coldTarget = p.scenario->GetUtilityTarget(1);
        EXPECT_NEAR(hotTarget, 0.0, 1e-6);
        EXPECT_NEAR(coldTarget, 40.0, 1e-6);
        p.scenario->SetDTmin(dTmin);
        AdvancedSuperTarget run(*p.scenario);
        run.ToggleFlag();
        ASSERT_EQ(p.Run(run, 10, dTmin), 1) << run.message;
        EXPECT_NEAR(UtilityLoad(run, "HU"), hotTarget, 1e-6) << dTmin;
        EXPECT_NEAR(UtilityLoad(run, "CU"), coldTarget, 1e-6) << dTmin;
        for (const char* name : {"H1", "H2", "C1", "C2"}) {
            double sum = 0.0;
            for (int i = 0; i < run.GetNumberOfLoadedMatches(); ++i)
                if (std::string(run.GetLoadedMatchStreamName(i, 0)) == name ||
                    std::string(run.GetLoadedMatchStreamName(i, 1)) == name)
                    sum += run.GetLoadedMatchLoad(i) - 1e-8;  // each record starts from 1e-8
            EXPECT_NEAR(sum, p.Load(name), 1e-5) << name;
        }
    }
}

struct Shifts {
    std::vector<double> values;
    bool operator==(const Shifts&) const = default;
};

Shifts ShiftsOf(AutoDesignProject& p) {
    Shifts out;
    for (const std::string& n : p.names) {
        auto* s = dynamic_cast<CPIHeatIntegrationStream*>(p.Stream(n.c_str()));
        if (!s || !s->GetDesignSegments()) continue;
        for (const auto& seg : *s->GetDesignSegments()) {
            out.values.push_back(seg->DTminContribution.dValue);
            out.values.push_back(seg->DTminContribution.nFlag);
            out.values.push_back(seg->dShiftedInletTemperature);
            out.values.push_back(seg->dShiftedOutletTemperature);
        }
    }
    return out;
}

// Every way out of a run leaves each segment with its own shift; without a solver the LP fails.
TEST(AutoDesignRun, SegmentsKeepTheirOwnShiftAfterEveryRun) {
    enum Way { Success, CheckFails, NoSolver, NoStructure };
    for (Way way : {Success, CheckFails, NoSolver, NoStructure}) {
        AutoDesignProject p;
        p.WorkedProblem();
        p.Stream("H")->SetDTminContribution(6.0, "Local", 0, 1);
        const Shifts before = ShiftsOf(p);
        ASSERT_FALSE(before.values.empty());
        std::unique_ptr<AdvancedSuperTarget> run =
            way == NoSolver      ? std::make_unique<NoSolverTarget>(*p.scenario)
            : way == NoStructure ? std::make_unique<AdvancedSuperTarget>(
                                       *p.scenario, std::make_shared<HeatExchangerNetworkSuperStructure>())
                                 : std::make_unique<AdvancedSuperTarget>(*p.scenario);
        if (way == Success) run->ToggleFlag();
        if (way == CheckFails) p.scenario->SetEconomicData(EDT_PlantLife, 0.0, "DEFAULT");
        const Shifts checked = ShiftsOf(p);
        const int result = p.Run(*run, 2);
        EXPECT_EQ(result, way == Success ? 1 : 0) << way;
        if (way == NoSolver) {
            EXPECT_EQ(run->message, "AutomaticDesignSolverFailed");
        }
        if (way == CheckFails) {
            EXPECT_EQ(run->message, "MissingPlantLife");
        }
        EXPECT_EQ(ShiftsOf(p), way == CheckFails ? checked : before) << way;
    }
}

// A success after a failure shows no message, through the scenario's own read-out.
TEST(AutoDesignRun, MessageIsClearedAtTheStartOfARun) {
    AutoDesignProject p;
    p.WorkedProblem();
    p.scenario->ToggleAdvancedSuperTargetFlag();
    p.scenario->SetEconomicData(EDT_PlantLife, 0.0, "DEFAULT");
    p.scenario->AutomaticHENDesign(nullptr);
    ASSERT_NE(p.scenario->GetAutomaticDesignMessage(), nullptr);
    EXPECT_STREQ(p.scenario->GetAutomaticDesignMessage(), "MissingPlantLife");
    p.scenario->SetEconomicData(EDT_PlantLife, 5.0, "DEFAULT");
    p.scenario->AutomaticHENDesign(nullptr);
    EXPECT_EQ(p.scenario->GetAutomaticDesignMessage(), nullptr);
    EXPECT_EQ(p.scenario->GetAutoDesignListLength(), 2);
    EXPECT_NEAR(p.scenario->GetAutomaticDesignSumValue(0), 24.0, 1e-6);
    EXPECT_EQ(p.scenario->GetNumberOfAutoDesignLoadedItems(), 3);
}

}  // namespace

namespace {

// At most two matches: the three LP matches are out of reach, the first MILP takes the two
// utility matches; one design wanted runs one iteration.
TEST(AutoDesignRun, MaximumNumberOfMatchesLimitsTheMILP) {
    AutoDesignProject p;
    p.WorkedProblem();
    auto builder = std::make_shared<AcceptingBuilder>();
    AdvancedSuperTarget run(*p.scenario, builder);
    run.SetMode(2);
    EXPECT_EQ(p.Run(run, 1), 1) << run.message;
    ASSERT_EQ(builder->calls.size(), 1u);
    EXPECT_EQ(builder->calls[0].pairs.size(), 2u);
    for (double load : builder->calls[0].loads) EXPECT_NEAR(load, 100.0, 1e-6);
}

// A solution without heat leaves every match unloaded, at the approach and limits of a match
// never analysed; a solution's shells are whole and at least one per exchanging segment pair.
TEST(AutoDesignRun, AnalysisOfAnEmptySolutionAndShellCount) {
    AutoDesignProject p;
    p.WorkedProblem();
    AdvancedSuperTarget run(*p.scenario);
    run.ToggleFlag();
    ASSERT_EQ(p.Run(run), 1) << run.message;
    EXPECT_GE(run.totalShells, 3.0);
    EXPECT_EQ(run.totalShells, std::floor(run.totalShells));
    for (MatchColumn& c : run.columns) c.value = 0.0;
    double area = -1.0, shells = -1.0;
    run.AnalyzeSolution(area, shells);
    EXPECT_EQ(area, 0.0);
    EXPECT_EQ(shells, 0.0);
    EXPECT_EQ(run.analysisCount, 2.0);
    MatchwiseStreamDataList* list = p.scenario->GetMatchwiseStreamData();
    for (int k = 0; k < list->GetNumberOfMatches(); ++k) {
        MatchwiseStreamData* r = list->GetMatch(k);
        EXPECT_LE(r->dTolerance[0], 1e-8);
        EXPECT_EQ(r->dTolerance[1], 3000.0);
        EXPECT_EQ(r->GetTemperatureLimit("HotInlet"), -273.15);
        EXPECT_EQ(r->GetTemperatureLimit("HotOutlet"), 3000.0);
        EXPECT_EQ(r->GetTemperatureLimit("ColdInlet"), 3000.0);
        EXPECT_EQ(r->GetTemperatureLimit("ColdOutlet"), -273.15);
    }
}

// Completing a design whose only exchanger joins H and C: the pair is kept. Each stream still has
// its utility placeholder beside the exchanger, so neither is complete and no pair is closed.
TEST(AutoDesignRun, ExistingMatchesOfADesignToComplete) {
    AutoDesignProject p;
    p.WorkedProblem();
    ASSERT_EQ(p.scenario->AddDesign("D"), 1);
    IHENDesign* d = nullptr;
    ASSERT_TRUE(p.scenario->GetDesign(CPString("D"), d));
    auto* design = dynamic_cast<CPIHENDesign*>(d);
    ASSERT_NE(design, nullptr);
    ASSERT_NE(d->AddHeatExchanger(design_test::NthSegment(*design, "H", 0), design_test::NthSegment(*design, "C", 0),
                                  nullptr, nullptr, nullptr),
              nullptr);
    AdvancedSuperTarget run(*p.scenario);
    run.SelectStreams(p.Dictionary());
    run.designToComplete = d;
    run.CollectExistingMatches();
    auto entry = [&](const char* hot, const char* cold) {
        auto found = run.existingMatches.find(AdvancedSuperTarget::PairKey(hot, cold));
        return found == run.existingMatches.end() ? -1 : found->second;
    };
    EXPECT_EQ(entry("H", "C"), 1);
    EXPECT_EQ(entry("H", "CU"), -1);
    EXPECT_EQ(entry("HU", "C"), -1);
    EXPECT_EQ(run.existingMatches.count(AdvancedSuperTarget::PairKey("HU", "CU")), 0u);
}

}  // namespace
