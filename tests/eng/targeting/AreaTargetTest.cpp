// The area-target record: the method switch with forbidden matches, the option kept by the
// record and its LP result, what the scenario's area queries answer, the record in the case file,
// and whole scenarios recalculated by the production builders.
#include "AreaTestSupport.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/model/ScenarioServices.h"
#include "eng/targeting/AreaTarget.h"
#include "lumeth/Framework.h"

#include <gtest/gtest.h>

#include <cmath>

using area_test::CurveInputs;
using area_test::StreamScenario;

namespace {

// Two hot and two cold streams, all CP 1 and h 1, running 20 apart: 200 kW over U = 0.5 and
// 20 degrees, 20 m2 of countercurrent area.
struct PairedStreams {
    PairedStreams() {
        s.Add("H1", 150, 50, 1.0, 1.0);
        s.Add("H2", 150, 50, 1.0, 1.0);
        s.Add("C1", 30, 130, 1.0, 1.0);
        s.Add("C2", 30, 130, 1.0, 1.0);
    }
    StreamScenario s;
};

// A scenario recalculated by the production builders.
struct LiveScenario {
    LiveScenario() : scenario(std::make_unique<CPIScenario>(nullptr, DefaultScenarioServices())) {}
    CPIHeatIntegrationStream* Add(const CPString& name, double supply, double target, double cp, double h = 0.0) {
        if (!scenario->AddStream(name, 0)) return nullptr;
        CPIHeatIntegrationStream* s = scenario->FindStream(name);
        s->SetValue("Temperature", supply, 0);
        s->SetValue("Temperature", target, 1);
        s->SetValue("HeatCapacityFlowrate", cp, 0);
        if (h > 0.0) s->SetValue("HTCoeff", h, 0);
        return s;
    }
    std::unique_ptr<CPIScenario> scenario;
};

}  // namespace

// ---------------------------------------------------------------- the method switch

TEST(AreaTargetMethod, AForbiddenMatchSwitchesToTheLPAndTheBathResultGoesAtTheNextUpdate) {
    PairedStreams p;
    CurveInputs c(p.s.Segments(), 10.0);
    c.in.matches = p.s.Matches();

    AreaTarget* record = UpdateAreaTarget(nullptr, c.in, 35);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->nMethod, AreaTarget::Bath);
    EXPECT_EQ(record->nOption, 1);
    ASSERT_TRUE(record->pBath);
    EXPECT_FALSE(record->pLP);
    EXPECT_NEAR(AreaTargetValue(record, 0), 20.0, 1e-9);

    c.in.forbiddenMatches = 1;
    EXPECT_EQ(UpdateAreaTarget(record, c.in, 35), record);
    EXPECT_EQ(record->nMethod, AreaTarget::LinearProgramming);
    ASSERT_TRUE(record->pLP);
    EXPECT_TRUE(record->pBath);  // the method in use before keeps its result until the next update
    EXPECT_EQ(record->pLP->GetOption(), 1);
    EXPECT_GT(AreaTargetValue(record, 1), 20.0);
    EXPECT_NEAR(AreaTargetValue(record, 0), 20.0, 1e-6);  // option 1 gives the countercurrent area too

    UpdateAreaTarget(record, c.in, 36);
    EXPECT_FALSE(record->pBath);
    EXPECT_TRUE(record->pLP);

    // Allowing every match again: back to the Bath formula; the LP result goes one update later.
    c.in.forbiddenMatches = 0;
    UpdateAreaTarget(record, c.in, 36);
    EXPECT_EQ(record->nMethod, AreaTarget::Bath);
    EXPECT_TRUE(record->pBath);
    EXPECT_TRUE(record->pLP);
    UpdateAreaTarget(record, c.in, 36);
    EXPECT_FALSE(record->pLP);

    EXPECT_EQ(UpdateAreaTarget(record, c.in, 3), nullptr);
}

TEST(AreaTargetMethod, TheLPResultTakesTheRecordsOption) {
    PairedStreams p;
    CurveInputs c(p.s.Segments(), 10.0);
    c.in.matches = p.s.Matches();
    c.in.forbiddenMatches = 1;
    std::unique_ptr<AreaTarget> record(new AreaTarget);
    record->nOption = AreaLP::CountercurrentOnly;
    UpdateAreaTarget(record.get(), c.in, 36);
    ASSERT_TRUE(record->pLP);
    EXPECT_EQ(record->pLP->GetOption(), AreaLP::CountercurrentOnly);
    EXPECT_NEAR(AreaTargetValue(record.get(), 0), 20.0, 1e-6);
    EXPECT_EQ(AreaTargetValue(record.get(), 1), 0.0);

    // A result read with another option takes the record's and is computed again.
    record->pLP->SetOption(AreaLP::ShellAndTubeOnly);
    record->nOption = AreaLP::Both;
    UpdateAreaTarget(record.get(), c.in, 16);
    EXPECT_EQ(record->pLP->GetOption(), AreaLP::Both);
    EXPECT_NEAR(AreaTargetValue(record.get(), 0), 20.0, 1e-6);
    EXPECT_GT(AreaTargetValue(record.get(), 1), 20.0);

    SetAreaTargetOption(record.get(), 0);
    EXPECT_EQ(record->nOption, 0);
    EXPECT_EQ(AreaTargetOption(record.get()), 0);
    ClearAreaTarget(record.get());
    EXPECT_FALSE(record->pLP);
    EXPECT_EQ(record->nMethod, AreaTarget::Bath);
    EXPECT_EQ(AreaTargetOption(record.get()), 0);
}

// ---------------------------------------------------------------- the queries

// ---------------------------------------------------------------- the record

TEST(AreaTargetRecord, RoundTripsBothResults) {
    PairedStreams p;
    CurveInputs c(p.s.Segments(), 10.0);
    c.in.matches = p.s.Matches();
    c.in.minimumFFactor = 0.75;
    std::unique_ptr<AreaTarget> record(UpdateAreaTarget(nullptr, c.in, 36));
    c.in.forbiddenMatches = 1;
    record->nOption = AreaLP::Both;
    UpdateAreaTarget(record.get(), c.in, 36);  // both results present, method 1
    ASSERT_TRUE(record->pBath && record->pLP);

    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(StoreAreaTarget(*record, w));
    LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
    AreaTarget read;
    ASSERT_TRUE(RecallAreaTarget(read, r));
    EXPECT_EQ(read.nMethod, 1);
    EXPECT_EQ(read.nOption, AreaLP::Both);
    ASSERT_TRUE(read.pBath && read.pLP);
    EXPECT_EQ(read.pBath->GetCountercurrentArea(), record->pBath->GetCountercurrentArea());
    EXPECT_EQ(read.pBath->GetNumberOfIntervals(), record->pBath->GetNumberOfIntervals());
    EXPECT_EQ(read.pLP->GetCountercurrentArea(), record->pLP->GetCountercurrentArea());
    EXPECT_EQ(read.pLP->GetShellAndTubeArea(), record->pLP->GetShellAndTubeArea());
    EXPECT_EQ(read.pLP->GetShells(), record->pLP->GetShells());
    EXPECT_EQ(read.pLP->GetDTmin(), 10.0);
    EXPECT_EQ(read.pLP->GetIntervalCount(), record->pLP->GetIntervalCount());
    EXPECT_EQ(read.pLP->GetOption(), AreaLP::Both);
    EXPECT_EQ(read.pLP->GetMinimumFFactor(), 0.75);
    // A recalled LP result has no intervals and no model; the next update builds them.
    EXPECT_FALSE(read.pLP->HasModel());
    UpdateAreaTarget(&read, c.in, 18);
    EXPECT_TRUE(read.pLP->HasModel());
    EXPECT_NEAR(read.pLP->GetCountercurrentArea(), record->pLP->GetCountercurrentArea(), 1e-9);
}

// ---------------------------------------------------------------- whole scenarios

TEST(AreaTargetScenario, ForbiddingAMatchSwitchesToTheLPWithTheOptionChosen) {
    LiveScenario l;
    l.Add("H1", 150, 50, 1.0, 1.0);
    l.Add("H2", 150, 50, 1.0, 1.0);
    l.Add("C1", 30, 130, 1.0, 1.0);
    l.Add("C2", 30, 130, 1.0, 1.0);
    CPIScenario& s = *l.scenario;
    EXPECT_EQ(s.GetAreaTargetOption(), 1);
    EXPECT_NEAR(s.GetAreaTarget(0), 20.0, 1e-9);

    ASSERT_EQ(s.FindStream("H1")->LinkStream("C1"), 1);
    s.EndForbiddenMatchChanges();
    EXPECT_EQ(s.GetNumberOfForbiddenMatches(), 1);
    EXPECT_EQ(s.GetAreaTargetMethod(), 1);
    EXPECT_EQ(s.ValidateTargetMethodsForForbiddenMatches(), 1);
    EXPECT_GT(s.GetAreaTarget(1), 20.0);
    EXPECT_NEAR(s.GetAreaTarget(0), 20.0, 1e-6);

    // The countercurrent option: H1 all to C2, H2 all to C1, still 20 apart.
    s.SetAreaTargetOption(0);
    EXPECT_EQ(s.GetAreaTargetOption(), 0);
    EXPECT_NEAR(s.GetAreaTarget(0), 20.0, 0.4);
    EXPECT_EQ(s.GetAreaTarget(1), 0.0);

    // Methods other than placement on the grand composite curve are refused meanwhile.
    EXPECT_EQ(s.SetUtilityAssignmentMethod(1), 0);
    EXPECT_EQ(s.GetUtilityAssignmentMethod(), 0);
}

TEST(AreaTargetScenario, ACopyKeepsTheAreaMethodAskedFor) {
    LiveScenario l;
    l.Add("H", 150, 50, 2.0, 1.0);
    l.Add("C", 30, 130, 2.0, 1.0);
    ASSERT_EQ(l.scenario->SetAreaTargetMethod(AreaTarget::LinearProgramming), 1);
    ASSERT_EQ(l.scenario->GetAreaTargetMethod(), AreaTarget::LinearProgramming);
    CPIScenario copy(nullptr, *l.scenario, nullptr, DefaultScenarioServices());
    EXPECT_EQ(copy.GetAreaTargetMethod(), AreaTarget::LinearProgramming);
    EXPECT_NEAR(copy.GetAreaTarget(1), l.scenario->GetAreaTarget(1), 1e-9);
}

