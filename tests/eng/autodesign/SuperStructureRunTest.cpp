// Whole superstructure runs on candidate sets of the automatic design, the read-back of a solved
// attempt, the splits, and the hand-off from the automatic design's loop.
#include "tests/eng/autodesign/SuperStructureTestSupport.h"

#include "eng/model/Scenario.h"

#include <gtest/gtest.h>

#include <ostream>
#include <algorithm>
#include <cmath>
#include <map>

using namespace autodesign_test;
using namespace superstructure_test;

namespace {

constexpr double kTolerance = 1e-6;

struct SolvedCase {
    const char* name;
    bool fourStreams;
    std::vector<CandidateSpec> candidates;
    bool expectSplit;
};

class SuperStructureSolvedRunTest : public ::testing::TestWithParam<SolvedCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const SolvedCase& c, std::ostream* os) { *os << c.name; }

// The objective is the slack alone, so any placement that carries the loads is optimal: only the
// invariants of a structure are checked, never one placement.
TEST_P(SuperStructureSolvedRunTest, StructureHoldsItsInvariants) {
    const SolvedCase& c = GetParam();
    AutoDesignProject p;
    if (c.fourStreams) p.FourStreams();
    else p.WorkedProblem();
    CandidateSet set(p, c.candidates);
    ASSERT_EQ(set.records.size(), c.candidates.size());
    NotificationRecorder progress;
    HeatExchangerNetworkSuperStructure s;
    s.AddNotificationReceiver(&progress);
    ASSERT_EQ(set.Run(s), 1) << c.name;
    s.RemoveNotificationReceiver(&progress);
    // Progress: the analysis once, then generating and solving per attempt.
    EXPECT_EQ(progress.Count(64), 1 + 2 * s.attemptsMade);
    EXPECT_EQ(s.solvedStageCount, 7 + s.attemptsMade - 1);

    // Loads: a process candidate placed to at least 0.9899 of its load, a utility one to its load.
    std::map<const MatchwiseStreamData*, double> placed;
    for (const auto& m : s.stageMatches) placed[m->candidate] += m->duty;
    for (const auto& cand : s.matches) {
        const double least = cand.kind == 1 ? cand.load : 0.9899 * cand.load;
        EXPECT_GE(placed[cand.record] + kTolerance, least) << cand.hotName << "-" << cand.coldName;
    }
    // Approaches at both stage ends of every placed match.
    for (const auto& m : s.stageMatches) {
        if (!(m->duty > 1e-8)) continue;
        const auto& cand = s.matches[static_cast<std::size_t>(m->candidateIndex)];
        const double dT = HeatExchangerNetworkSuperStructure::StageApproachOf(cand.minimumApproach, cand.kind);
        EXPECT_GE(m->hotInletTemperature - m->coldOutletTemperature + kTolerance, dT)
            << cand.hotName << "-" << cand.coldName << " stage " << m->stage;
        EXPECT_GE(m->hotOutletTemperature - m->coldInletTemperature + kTolerance, dT)
            << cand.hotName << "-" << cand.coldName << " stage " << m->stage;
    }
    // Splits: fractions that add up to one, on the stage matches too.
    bool split = false;
    for (const auto& sp : s.stageSplits) {
        split = true;
        ASSERT_EQ(sp->branchFractions.size(), static_cast<std::size_t>(sp->branchCount));
        EXPECT_GE(sp->branchCount, 2);
        double sum = 0.0;
        for (double f : sp->branchFractions) sum += f;
        EXPECT_NEAR(sum, 1.0, kTolerance) << sp->streamName;
    }
    if (c.expectSplit) {
        EXPECT_TRUE(split) << c.name;
    }
    // Along every stream the stage temperatures never rise from stage to stage, and each stage
    // starts where the one above ended.
    for (std::size_t q = 0; q < s.streams.size(); ++q) {
        const auto& records = s.stageTemperatures[q];
        for (std::size_t k = 0; k < records.size(); ++k) {
            EXPECT_LE(records[k].Get("LowEnd"), records[k].Get("HighEnd") + kTolerance) << q << " " << k;
            if (k + 1 < records.size()) {
                EXPECT_EQ(records[k + 1].Get("HighEnd"), records[k].Get("LowEnd"));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    CandidateSets, SuperStructureSolvedRunTest,
    ::testing::Values(SolvedCase{"TwoStreams", false, {{"H", "C", 76.0}, {"HU", "C", 24.0}, {"H", "CU", 24.0}}, false},
                      SolvedCase{"FourStreams",
                                 true,
                                 {{"H1", "C2", 240.0}, {"H1", "C1", 90.0}, {"H2", "C1", 140.0}, {"H2", "CU", 40.0}},
                                 true}),
    [](const auto& info) { return std::string(info.param.name); });

// A first attempt that fails (here: no solver for it) is followed by one of 8 stages with fresh
// stage matches, numbered from 0 again, and placed duties counted from 0.
TEST(SuperStructureRun, SecondAttemptStartsAfreshWithOneMoreStage) {
    AutoDesignProject p;
    p.WorkedProblem();
    CandidateSet set(p, {{"H", "C", 76.0}, {"HU", "C", 24.0}, {"H", "CU", 24.0}});
    RecordingSuperStructure s;
    s.refuse = [](int n) { return n == 0; };
    ASSERT_EQ(set.Run(s), 1);
    EXPECT_EQ(s.attemptsMade, 2);
    EXPECT_EQ(s.solvedStageCount, 8);
    ASSERT_FALSE(s.stageMatches.empty());
    int deepest = 0;
    for (std::size_t k = 0; k < s.stageMatches.size(); ++k) {
        EXPECT_EQ(s.stageMatches[k]->sequence, static_cast<int>(k));
        deepest = std::max<int>(deepest, s.stageMatches[k]->stage);
    }
    EXPECT_EQ(deepest, 8);
    for (const auto& cand : s.matches) {
        double sum = 0.0;
        for (const auto& m : s.stageMatches)
            if (m->candidate == cand.record) sum += m->duty;
        EXPECT_NEAR(cand.placedDuty, sum, 1e-6) << cand.hotName << "-" << cand.coldName;
    }
    for (const auto& records : s.stageTemperatures) EXPECT_EQ(records.size(), 8u);
}

// A utility's stage-end temperature steps through a twentieth of its range per stage: steam
// 250 -> 249 leaves stage 3 at 249.85.
TEST(SuperStructureRun, UtilityStageTemperaturesStepByATwentieth) {
    AutoDesignProject p;
    p.WorkedProblem();
    CandidateSet set(p, {{"H", "C", 76.0}, {"HU", "C", 24.0}, {"H", "CU", 24.0}});
    HeatExchangerNetworkSuperStructure s;
    ASSERT_EQ(set.Run(s), 1);
    const auto* steam = s.TemperaturesOf("HU");
    ASSERT_NE(steam, nullptr);
    ASSERT_GE(steam->size(), 3u);
    EXPECT_NEAR((*steam)[2].Get("LowEnd"), 249.85, 1e-12);
    EXPECT_NEAR((*steam)[0].Get("HighEnd"), 250.0, 1e-12);
    // The match's placed duty sums its stage duties.
    for (const auto& cand : s.matches) {
        double sum = 0.0;
        for (const auto& m : s.stageMatches)
            if (m->candidate == cand.record) sum += m->duty;
        EXPECT_LE(sum, cand.placedDuty + kTolerance);
    }
}

// Splits by hand: H meets C and CU in stage 2 (duties 30 and 10), C meets HU alone in stage 3;
// duties too large to add up share the flow equally.
TEST(SuperStructureRun, SplitsOfStreamsWithSeveralPartnersInOneStage) {
    struct Case {
        double first, second;
        double f1, f2;
    };
    for (Case c : {Case{30.0, 10.0, 0.75, 0.25}, Case{1e308, 1e308, 0.5, 0.5}}) {
        AutoDesignProject p;
        p.WorkedProblem();
        CandidateSet set(p, {{"H", "C", 76.0}, {"H", "CU", 24.0}, {"HU", "C", 24.0}});
        HeatExchangerNetworkSuperStructure s;
        ASSERT_TRUE(set.SetUp(s));
        s.stageCount = 7;
        StageMatch* hc = s.GetStageMatch(0, 2);
        StageMatch* hcu = s.GetStageMatch(1, 2);
        StageMatch* huc = s.GetStageMatch(2, 3);
        StageMatch* unloaded = s.GetStageMatch(2, 2);
        ASSERT_TRUE(hc && hcu && huc && unloaded);
        hc->duty = c.first;
        hcu->duty = c.second;
        huc->duty = 24.0;
        unloaded->duty = 1e-8;  // not loaded: C stays alone in stage 2
        hc->hotInletTemperature = 170.0;
        hc->hotOutletTemperature = 140.0;
        s.BuildSplits();
        ASSERT_EQ(s.stageSplits.size(), 1u);
        const StageSplit& sp = *s.stageSplits[0];
        EXPECT_EQ(sp.streamName, "H");
        EXPECT_EQ(sp.branchCount, 2);
        EXPECT_EQ(sp.inletTemperature, 170.0);
        EXPECT_EQ(sp.outletTemperature, 140.0);
        ASSERT_EQ(sp.branchFractions.size(), 2u);
        EXPECT_DOUBLE_EQ(sp.branchFractions[0], c.f1);
        EXPECT_DOUBLE_EQ(sp.branchFractions[1], c.f2);
        EXPECT_DOUBLE_EQ(hc->hotSplitFraction, c.f1);
        EXPECT_DOUBLE_EQ(hcu->hotSplitFraction, c.f2);
        EXPECT_EQ(hc->coldSplitFraction, 1.0);
        EXPECT_EQ(huc->coldSplitFraction, 1.0);
    }
}

TEST(SuperStructureRun, StageRecordsAndSplitOrder) {
    StreamStageTemperatures r;
    EXPECT_EQ(r.Get("HighEnd"), Units::EmptyValue);
    r.Set("LowEnd", 40.0);
    EXPECT_FALSE(r.endsEqual);
    r.Set("HighEnd", 40.0);
    EXPECT_TRUE(r.endsEqual);
    r.Set("Middle", 10.0);  // no such key: nothing changes
    EXPECT_EQ(r.Get("Middle"), Units::EmptyValue);
    r.Set("HighEnd", 50.0);
    EXPECT_FALSE(r.endsEqual);
    EXPECT_EQ(r.Get("HighEnd"), 50.0);

    StageSplit a, b;
    a.inletTemperature = 80.0;
    b.inletTemperature = 120.0;
    EXPECT_EQ(StageSplit::CompareInletAscending(a, b), -1);
    EXPECT_EQ(StageSplit::CompareInletDescending(a, b), 1);
    EXPECT_EQ(StageSplit::CompareInletAscending(a, a), 0);
    a.streamName = b.streamName = "C1";
    EXPECT_TRUE(StageSplit::SameStream(a, b));
}

// A candidate whose stream the dictionary lacks finds no structure; no candidate at all gives the
// empty structure.
TEST(SuperStructureRun, MissingStreamFindsNoStructure) {
    AutoDesignProject p;
    p.WorkedProblem();
    CandidateSet set(p, {{"H", "C", 76.0}});
    set.dictionary.erase("C");
    HeatExchangerNetworkSuperStructure s;
    EXPECT_EQ(set.Run(s), 0);
    EXPECT_TRUE(s.stageMatches.empty());
    EXPECT_EQ(set.Run(s, nullptr, nullptr), 0);
    // No candidates at all: an empty structure.
    EXPECT_EQ(s.Run(set.dictionary, nullptr, nullptr, nullptr), 1);
    EXPECT_TRUE(s.stageMatches.empty());
    EXPECT_TRUE(s.stageSplits.empty());
}

// Builds nothing; notes the placed stage matches of each structure it is given.
class RecordingDesignBuilder : public IStageDesignBuilder {
public:
    int BuildDesign(IHeatIntegrationScenario&, const std::vector<IHeatIntegrationStream*>& streams,
                    const std::vector<std::unique_ptr<StageMatch>>& stageMatches,
                    std::vector<std::unique_ptr<StageSplit>>&, IHENDesign*) override {
        int placedMatches = 0;
        for (const auto& m : stageMatches) placedMatches += m->duty > 1e-8 ? 1 : 0;
        placed.push_back(placedMatches);
        streamCounts.push_back(static_cast<int>(streams.size()));
        return 1;
    }
    std::vector<int> placed;
    std::vector<int> streamCounts;
};

// The automatic design resolves each set of matches of its MILP loop with a superstructure of
// its own; its progress reaches the scenario's receivers.
TEST(SuperStructureRun, AutomaticDesignLoopResolvesEachMatchSet) {
    AutoDesignProject p;
    p.WorkedProblem();
    AdvancedSuperTarget plain(*p.scenario);
    EXPECT_NE(dynamic_cast<HeatExchangerNetworkSuperStructure*>(plain.structureBuilder.get()), nullptr);

    auto superStructure = std::make_shared<HeatExchangerNetworkSuperStructure>();
    auto designs = std::make_shared<RecordingDesignBuilder>();
    superStructure->designBuilder = designs;
    AdvancedSuperTarget run(*p.scenario, superStructure);
    p.view.changes.clear();
    ASSERT_EQ(p.Run(run, 2), 1) << run.message;
    EXPECT_EQ(run.designsMade, 2);
    // The first set: H-C, HU-C, H-CU over four streams; the second: HU-C and H-CU.
    ASSERT_EQ(designs->placed.size(), 2u);
    EXPECT_GE(designs->placed[0], 3);
    EXPECT_GE(designs->placed[1], 2);
    EXPECT_EQ(designs->streamCounts[0], 4);
    int generating = 0;
    for (const Notice& n : p.view.changes)
        if (n.code == 64 && n.text == "Generating the superstructure") ++generating;
    EXPECT_GE(generating, 2);
    EXPECT_EQ(superStructure->GetNumberOfReceivers(), 0);  // the relay is gone after each hand-off

    // Without a design builder a resolved structure still yields no design.
    AutoDesignProject q;
    q.WorkedProblem();
    AdvancedSuperTarget alone(*q.scenario);
    auto* ownBuilder = dynamic_cast<HeatExchangerNetworkSuperStructure*>(alone.structureBuilder.get());
    ASSERT_NE(ownBuilder, nullptr);
    ownBuilder->designBuilder = nullptr;
    EXPECT_EQ(q.Run(alone, 1), 0);
    EXPECT_EQ(alone.message, "FailedToResolveSuperStructure");
    auto* own = dynamic_cast<HeatExchangerNetworkSuperStructure*>(alone.structureBuilder.get());
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->solvedStageCount, 7 + own->attemptsMade - 1);
    EXPECT_FALSE(own->stageMatches.empty());
}

}  // namespace
