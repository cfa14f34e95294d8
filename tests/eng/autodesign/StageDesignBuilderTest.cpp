// Designs built from resolved stage-wise structures, checked against loads worked by hand.
#include "eng/autodesign/StageDesignBuilder.h"
#include "tests/eng/autodesign/AutoDesignTestSupport.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/Scenario.h"
#include "pellin/CNode.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

using namespace autodesign_test;

namespace {

struct DesignFigures {
    double hotUtility = 0.0;
    double coldUtility = 0.0;
    double processDuty = 0.0;
    int processExchangers = 0;
    double smallestApproach = 1e300;
};

DesignFigures FiguresOf(IHENDesign& d) {
    DesignFigures f;
    f.hotUtility = d.GetTotalUtilityLoad(0);
    f.coldUtility = d.GetTotalUtilityLoad(1);
    CNode* unit = nullptr;
    for (int i = 0; d.GetHeatExchanger(i, unit); ++i) {
        auto* x = dynamic_cast<HeatExch*>(unit);
        if (!x || x->IsUtilityExch()) continue;
        double duty = 0.0;
        unit->getVariableAsDouble(NodeValue::Duty, duty);
        f.processDuty += duty;
        ++f.processExchangers;
        double t[4] = {0, 0, 0, 0};
        bool known = true;
        for (int port = 0; port < 4; ++port) known = d.GetExchangerPortTemperature(unit, port, t[port]) && known;
        if (known) f.smallestApproach = std::min({f.smallestApproach, t[0] - t[3], t[1] - t[2]});
    }
    return f;
}

IHENDesign* DesignNamed(AutoDesignProject& p, const std::string& name) {
    IHENDesign* d = nullptr;
    return p.scenario->GetDesign(CPString(name.c_str()), d) ? d : nullptr;
}

void ExpectEveryStreamSatisfied(AutoDesignProject& p, IHENDesign& d) {
    for (const std::string& n : p.names) {
        IHeatIntegrationStream* s = p.Stream(n.c_str());
        if (s->GetStreamKind() == 1) continue;
        EXPECT_TRUE(d.IsStreamSatisfied(s, nullptr)) << d.GetDesignName() << " " << n;
    }
}

// Names run on from the scenario's count of designs made, lengthened while taken.
TEST(StageDesignBuilder, DesignNameSkipsTakenNames) {
    AutoDesignProject p;
    p.WorkedProblem();
    EXPECT_EQ(StageDesignBuilder::MakeDesignName(*p.scenario), "A_Design0");
    for (const char* n : {"A_Design3", "A_Design3_3", "Other"}) ASSERT_EQ(p.scenario->AddDesign(CPString(n)), 1);
    EXPECT_EQ(StageDesignBuilder::MakeDesignName(*p.scenario), "A_Design3_3_3");
}

// Only inner segments take a mark: the supply and target segments keep the stream's own values.
TEST(StageDesignBuilder, MarksOnlyInnerSegments) {
    AutoDesignProject p;
    p.WorkedProblem();
    ASSERT_EQ(p.scenario->AddDesign(CPString("D")), 1);
    IHENDesign* d = DesignNamed(p, "D");
    ASSERT_NE(d, nullptr);
    CNode* first = d->GetNodeByName(CPString("HStart"))->getFirstDownStreamNode();
    CNode* last = d->GetNodeByName(CPString("HEnd"))->getFirstUpStreamNode();
    EXPECT_FALSE(StageDesignBuilder::MarkSegment(first, 150.0, 1.0));
    EXPECT_FALSE(StageDesignBuilder::MarkSegment(last, 150.0, 1.0));
    EXPECT_FALSE(StageDesignBuilder::MarkSegment(nullptr, 150.0, 1.0));
    double t = 0.0;
    first->getVariableAsDouble(NodeValue::Temperature, t);
    EXPECT_EQ(t, 180.0);
}

// The worked problem (H 180 -> 80, C 100 -> 200, both CP 1): the first set of matches recovers
// 76 kW, leaving 24 to each utility, with a 4 K approach at both ends; the second leaves all 100
// to the utilities. The stage matches carry no split here: no splitter and no temporary unit.
TEST(StageDesignBuilder, WorkedProblemDesignsCarryTheMatchLoads) {
    AutoDesignProject p;
    p.WorkedProblem();
    AdvancedSuperTarget run(*p.scenario);
    ASSERT_EQ(p.Run(run, 2), 1) << run.message;
    EXPECT_EQ(run.designsMade, 2);
    ASSERT_EQ(p.scenario->GetNumberOfDesigns(), 2);
    auto* superStructure = dynamic_cast<HeatExchangerNetworkSuperStructure*>(run.structureBuilder.get());
    ASSERT_NE(superStructure, nullptr);
    auto* builder = dynamic_cast<StageDesignBuilder*>(superStructure->designBuilder.get());
    ASSERT_NE(builder, nullptr);
    EXPECT_EQ(builder->splittersPlaced, 0);
    EXPECT_EQ(builder->temporaryUnitsPlaced, 0);
    EXPECT_TRUE(builder->unplacedMatches.empty());

    IHENDesign* first = DesignNamed(p, "A_Design0");
    ASSERT_NE(first, nullptr);
    const DesignFigures one = FiguresOf(*first);
    EXPECT_NEAR(one.hotUtility, 24.0, 1e-3);
    EXPECT_NEAR(one.coldUtility, 24.0, 1e-3);
    EXPECT_NEAR(one.processDuty, 76.0, 1e-3);
    EXPECT_GE(one.processExchangers, 1);
    // The structure holds a process match to 4^0.85 = 3.249 K at each stage end (the model's 4 K
    // approach raised to 0.85), so it may put a sliver of cooling at H's hot end and bring the
    // exchanger that close; no closer, and no further than the model's 4 K. The design is judged
    // at its own smallest approach, not at the scenario's 10 K.
    EXPECT_GE(one.smallestApproach, std::pow(4.0, 0.85) - 1e-6);
    EXPECT_LE(one.smallestApproach, 4.0 + 1e-6);
    EXPECT_NEAR(first->GetDTMin(), one.smallestApproach, 1e-6);
    EXPECT_TRUE(first->GetInfeasibleHeatExchangers().empty());
    ExpectEveryStreamSatisfied(p, *first);

    IHENDesign* second = DesignNamed(p, "A_Design1");
    ASSERT_NE(second, nullptr);
    const DesignFigures two = FiguresOf(*second);
    EXPECT_NEAR(two.hotUtility, 100.0, 1e-3);
    EXPECT_NEAR(two.coldUtility, 100.0, 1e-3);
    EXPECT_EQ(two.processExchangers, 0);
    ExpectEveryStreamSatisfied(p, *second);
}

// Four streams with dear utilities: no hot utility, 40 kW of cooling, 470 kW recovered, and the
// match set needs splits.
TEST(StageDesignBuilder, FourStreamsRecoverTheTarget) {
    AutoDesignProject p;
    p.FourStreams();
    AdvancedSuperTarget run(*p.scenario);
    ASSERT_EQ(p.Run(run, 1), 1) << run.message;
    IHENDesign* d = DesignNamed(p, "A_Design0");
    ASSERT_NE(d, nullptr);
    const DesignFigures f = FiguresOf(*d);
    EXPECT_NEAR(f.hotUtility, 0.0, 1e-3);
    EXPECT_NEAR(f.coldUtility, 40.0, 1e-3);
    EXPECT_NEAR(f.processDuty, 470.0, 1e-2);
    EXPECT_GE(f.processExchangers, 3);
    EXPECT_TRUE(d->GetInfeasibleHeatExchangers().empty());
    ExpectEveryStreamSatisfied(p, *d);
    EXPECT_NEAR(f.hotUtility, UtilityLoad(run, "HU"), 1e-3);
    EXPECT_NEAR(f.coldUtility, UtilityLoad(run, "CU"), 1e-3 * 40.0);
    // The splits are in and the temporary units that cut the chains for them are gone, with no
    // temperature left specified inside a stream.
    auto* superStructure = dynamic_cast<HeatExchangerNetworkSuperStructure*>(run.structureBuilder.get());
    auto* builder = dynamic_cast<StageDesignBuilder*>(superStructure->designBuilder.get());
    ASSERT_NE(builder, nullptr);
    EXPECT_GT(builder->splittersPlaced, 0);
    EXPECT_TRUE(builder->unplacedMatches.empty());
    EXPECT_EQ(d->GetNumberOfHeatExchangers(), f.processExchangers + d->GetNumberOfHeaters() + d->GetNumberOfCoolers());
    int inner = 0;
    for (int i = 0; i < d->GetNumberOfNodes(); ++i) {
        CNode* n = d->GetNodeByIndex(i);
        if (!n || n->getClassName() != NodeKind::MaterialStream) continue;
        CNode* up = n->getFirstUpStreamNode();
        CNode* down = n->getFirstDownStreamNode();
        if (!up || !down || up->getClassName() == NodeKind::FeedBlock || down->getClassName() == NodeKind::ProductBlock)
            continue;
        ++inner;
        EXPECT_NE(n->getVariableStatus(NodeValue::Temperature), 1) << n->getName().c_str();
    }
    EXPECT_GT(inner, 0);
}

// Stage matches and splits given by hand on the worked problem's streams.
struct HandStructure {
    explicit HandStructure(AutoDesignProject& p) : project(p) {}
    StageMatch& Match(const char* hot, const char* cold, double duty, double hotIn, double hotOut, double coldIn,
                      double coldOut, double hotFraction = 1.0, double coldFraction = 1.0) {
        auto m = std::make_unique<StageMatch>();
        m->candidate = project.scenario->GetMatchwiseStreamData()->FindMatch(project.Stream(hot), project.Stream(cold));
        m->duty = duty;
        m->hotInletTemperature = hotIn;
        m->hotOutletTemperature = hotOut;
        m->coldInletTemperature = coldIn;
        m->coldOutletTemperature = coldOut;
        m->hotSplitFraction = hotFraction;
        m->coldSplitFraction = coldFraction;
        matches.push_back(std::move(m));
        return *matches.back();
    }
    void Split(const char* stream, double in, double out, std::vector<double> fractions) {
        auto s = std::make_unique<StageSplit>();
        s->streamName = stream;
        s->inletTemperature = in;
        s->outletTemperature = out;
        s->branchCount = static_cast<int>(fractions.size());
        s->branchFractions = std::move(fractions);
        splits.push_back(std::move(s));
    }
    IHENDesign* Build(StageDesignBuilder& builder) {
        std::vector<IHeatIntegrationStream*> streams;
        for (const char* n : {"H", "C", "HU", "CU"}) streams.push_back(project.Stream(n));
        if (builder.BuildDesign(*project.scenario, streams, matches, splits, nullptr) != 1) return nullptr;
        return DesignNamed(project, builder.designName);
    }
    AutoDesignProject& project;
    std::vector<std::unique_ptr<StageMatch>> matches;
    std::vector<std::unique_ptr<StageSplit>> splits;
};

// A load of 1e-8 is no load, nor one of a few times that (the solver's rounding): the match gets
// no exchanger, and the utilities carry everything.
TEST(StageDesignBuilder, LoadAtTheThresholdIsNotPlaced) {
    for (double load : {1e-8, 1.5e-8, 1e-7, 9e-7}) {
        SCOPED_TRACE(load);
        AutoDesignProject p;
        p.WorkedProblem();
        HandStructure h(p);
        h.Match("H", "C", load, 180.0, 180.0, 100.0, 100.0);
        StageDesignBuilder builder;
        IHENDesign* d = h.Build(builder);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(FiguresOf(*d).processExchangers, 0);
        EXPECT_EQ(d->GetNumberOfHeatExchangers(), 0);
        EXPECT_TRUE(builder.unplacedMatches.empty());
    }
}

// C split from its supply at 100 C up to 150 C into two halves, each heated by 25 kW from H in
// series (180 -> 155 -> 130), then 50 kW from the hot utility and 50 kW to the cold. The split
// starts at the supply, so only the unit behind the mixer is needed to cut the chain, and it is
// gone afterwards.
TEST(StageDesignBuilder, ColdSplitAtTheSupplyNeedsNoUnitInFront) {
    AutoDesignProject p;
    p.WorkedProblem();
    HandStructure h(p);
    h.Split("C", 100.0, 150.0, {0.5, 0.5});
    h.Match("H", "C", 25.0, 180.0, 155.0, 100.0, 150.0, 1.0, 0.5);
    h.Match("H", "C", 25.0, 155.0, 130.0, 100.0, 150.0, 1.0, 0.5);
    h.Match("HU", "C", 50.0, 250.0, 249.0, 150.0, 200.0);
    h.Match("H", "CU", 50.0, 130.0, 80.0, 20.0, 30.0);
    StageDesignBuilder builder;
    IHENDesign* d = h.Build(builder);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(builder.splittersPlaced, 1);
    EXPECT_EQ(builder.temporaryUnitsPlaced, 1);
    EXPECT_TRUE(builder.unplacedMatches.empty());
    const DesignFigures f = FiguresOf(*d);
    EXPECT_EQ(f.processExchangers, 2);
    EXPECT_NEAR(f.processDuty, 50.0, 1e-3);
    EXPECT_NEAR(f.hotUtility, 50.0, 1e-3);
    EXPECT_NEAR(f.coldUtility, 50.0, 1e-3);
    EXPECT_EQ(d->GetNumberOfHeatExchangers(), 2 + d->GetNumberOfHeaters() + d->GetNumberOfCoolers());
    ExpectEveryStreamSatisfied(p, *d);
    ASSERT_EQ(h.splits[0]->branchNodes.size(), 2u);
    EXPECT_NE(h.splits[0]->mixerNode, nullptr);
}

// The cooling of H from 130 to 80 C is listed first, but H is one segment at 180 C until the
// exchanger with C (180 -> 130 against 100 -> 150) has divided it: the first pass places that
// exchanger and the heating of C from 150 C, the second the cooler behind the exchanger.
TEST(StageDesignBuilder, AMatchBehindAnotherIsPlacedInTheSecondPass) {
    AutoDesignProject p;
    p.WorkedProblem();
    HandStructure h(p);
    h.Match("H", "CU", 50.0, 130.0, 80.0, 20.0, 30.0);
    h.Match("H", "C", 50.0, 180.0, 130.0, 100.0, 150.0);
    h.Match("HU", "C", 50.0, 250.0, 249.0, 150.0, 200.0);
    StageDesignBuilder builder;
    IHENDesign* d = h.Build(builder);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(builder.unplacedMatches.empty());
    ASSERT_EQ(d->GetNumberOfHeatExchangers(), 3);
    ASSERT_EQ(d->GetNumberOfCoolers(), 1);
    CNode* cooler = d->GetCooler(0);
    ASSERT_NE(cooler, nullptr);
    double t[4] = {0, 0, 0, 0};
    for (int port = 0; port < 4; ++port) ASSERT_TRUE(d->GetExchangerPortTemperature(cooler, port, t[port]));
    EXPECT_NEAR(t[0], 130.0, 1e-6);  // behind the exchanger with C
    EXPECT_NEAR(t[1], 80.0, 1e-6);
    const DesignFigures f = FiguresOf(*d);
    EXPECT_EQ(f.processExchangers, 1);
    EXPECT_NEAR(f.processDuty, 50.0, 1e-6);
    EXPECT_NEAR(f.hotUtility, 50.0, 1e-6);
    EXPECT_NEAR(f.coldUtility, 50.0, 1e-6);
    ExpectEveryStreamSatisfied(p, *d);
}

// One exchanger of 50 kW between the supply ends of H and C, with the utilities its placing put
// at its ports. H F s P s X s P s E and C alike leave two inner segments free on each stream
// against the exchanger's balance and its duty: 2 degrees of freedom. Without the utilities in
// front of its inlets, 0: the duty stays specified either way. Without the one behind its hot
// outlet too, H is F s X s E and the network is over-specified (-1): the duty goes free, and the
// exchanger takes all of H's 100 kW.
TEST(StageDesignBuilder, DutiesGoFreeOnlyWhileTheNetworkIsOverSpecified) {
    struct Case {
        std::vector<int> removed;
        int freedom;
        int status;
        double duty;
    };
    for (const Case& c : {Case{{}, 2, 1, 50.0}, Case{{0, 2}, 0, 1, 50.0}, Case{{0, 2, 1}, -1, 2, 100.0}}) {
        SCOPED_TRACE(c.freedom);
        AutoDesignProject p;
        p.WorkedProblem();
        IHENDesign* d = nullptr;
        ASSERT_TRUE(p.scenario->AddDesign(CPString("D")) && p.scenario->GetDesign(CPString("D"), d) && d);
        CNode* hot = d->GetNodeByName(CPString("HStart"))->getFirstDownStreamNode();
        CNode* cold = d->GetNodeByName(CPString("CStart"))->getFirstDownStreamNode();
        CNode* x = d->AddHeatExchanger(hot, cold, StageDesignBuilder::kReason, NodeKind::HeatExchanger, nullptr);
        ASSERT_NE(x, nullptr);
        for (int port : c.removed) ASSERT_TRUE(d->RemoveUtilityAtPort(x, port));
        x->addVariable(NodeValue::Duty, 50.0, 1, 1);
        d->ProcessChange(98, CPString(), nullptr);
        ASSERT_EQ(d->GetDegreesOfFreedom(), c.freedom);
        StageDesignBuilder::RelaxDuties(*d, {x});
        double duty = 0.0;
        ASSERT_TRUE(x->getVariableAsDouble(NodeValue::Duty, duty));
        EXPECT_EQ(x->getVariableStatus(NodeValue::Duty), c.status);
        EXPECT_NEAR(duty, c.duty, 1e-6);
        EXPECT_EQ(d->GetDegreesOfFreedom(), std::max(c.freedom, 0));
    }
}

// Duties brought to the loads of H and C (100 kW each): a surplus goes onto the duty that joins a
// stream to the rest, a part with a utility ends exact, two process streams alone end exact when
// their loads agree, and a change that would close a duty is not made.
TEST(StageDesignBuilder, ReconcilesDutiesToTheStreamLoads) {
    struct Case {
        const char* name;
        std::vector<double> given;     // H-C, HU-C, H-CU (0: no such match)
        std::vector<double> expected;
        double largest;
    };
    for (const Case& c : {Case{"utilities on both", {76.5, 24.0, 24.0}, {76.0, 24.0, 24.0}, 0.5},
                          Case{"process alone", {100.4, 0.0, 0.0}, {100.0, 0.0, 0.0}, 0.4},
                          Case{"a short cooler", {100.5, 0.0, 0.3}, {100.0, 0.0, 0.3}, 0.5},
                          Case{"exact already", {76.0, 24.0, 24.0}, {76.0, 24.0, 24.0}, 0.0}}) {
        SCOPED_TRACE(c.name);
        AutoDesignProject p;
        p.WorkedProblem();
        HandStructure h(p);
        const char* pairs[3][2] = {{"H", "C"}, {"HU", "C"}, {"H", "CU"}};
        std::vector<StageMatch*> made;
        for (int i = 0; i < 3; ++i) made.push_back(&h.Match(pairs[i][0], pairs[i][1], c.given[i], 0, 0, 0, 0));
        EXPECT_NEAR(StageDesignBuilder::ReconcileDuties(h.matches), c.largest, 1e-9);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(made[i]->duty, c.expected[i], 1e-9) << pairs[i][0] << "-" << pairs[i][1];
    }
}

}  // namespace
