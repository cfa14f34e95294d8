// The equation-based run on real designs, with an engine that records what is declared to it:
// which streams, segments and nodes go to the engine and with which values, how splitters nested
// in a branch are declared, what the results write back, and the refusals and failures that
// leave the design alone. The real engine on the same network closes the file.
#include "brasko/DefaultUtilityTypes.h"
#include "eng/autodesign/NetworkOptimiser.h"
#include "lumeth/Session.h"
#include "pellin/HeatExch.h"
#include "tests/eng/autodesign/RecordingPinchEngine.h"
#include "tests/eng/design/DesignTestSupport.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cmath>

using namespace design_test;
using namespace optimiser_test;

namespace {

constexpr int kLeastCost = 1;

// H 200 -> 100 C and C 80 -> 180 C (CP 2, h 0.1); E1 between them at 100 kW, the heater on C
// after E1 with steam (250 -> 249, h 6), the cooler on H after E1 with cooling water (20 -> 25,
// h 3.75); "LP" is a utility no unit uses.
struct TwoStreams : DesignScenario {
    explicit TwoStreams(double steamOut = 249.0, double heaterDuty = 100.0) {
        Add("H", 200, 100, 2)->SetValue("HTCoeff", 0.1, 0);
        Add("C", 80, 180, 2)->SetValue("HTCoeff", 0.1, 0);
        Add("ST", 250, steamOut, 2.5e-6, 1)->SetValue("HTCoeff", 6.0, 0);
        Add("CW", 20, 25, 2.12456e-7, 1)->SetValue("HTCoeff", 3.75, 0);
        Add("LP", 150, 149, 1e-6, 1)->SetValue("HTCoeff", 6.0, 0);
        d = Design("D");
        d->Deactivate();
        e1 = d->AddHeatExchanger(NthSegment(*d, "H", 0), NthSegment(*d, "C", 0), nullptr, NodeKind::CountercurrentHX,
                                 "E1");
        Specify(e1, 100.0);
        // The units' duties add up to each stream's load, which the count of freedom takes for one
        // specification too many: the utilities at their ports are taken away without asking.
        for (int port = 0; port < 4; ++port) d->RemoveUtilityAtPort(e1, port);
        heater = d->AddHeatExchanger(d->GetStreamSegment(CPString("ST"), 0), NthSegment(*d, "C", 1), nullptr,
                                     NodeKind::CountercurrentHX, "Heater");
        Specify(heater, heaterDuty);
        cooler = d->AddHeatExchanger(NthSegment(*d, "H", 1), d->GetStreamSegment(CPString("CW"), 0), nullptr,
                                     NodeKind::CountercurrentHX, "Cooler");
        Specify(cooler, 100.0);
        for (CNode* x : {heater, cooler})
            for (int port = 0; port < 4; ++port) d->RemoveUtilityAtPort(x, port);
        d->AddMissingUtilities();
        d->AddUtilitiesAtStreamEnds();
        d->UpdateStreamTerminals();
        d->SetDTMin(10.0);
        d->ApplyDTMinToAllExchangers();
        d->Activate(1);
    }
    void Specify(CNode* x, double duty) {
        d->SpecifyExchangerValue(x, NodeValue::HXType, 0.0);
        d->SpecifyExchangerValue(x, NodeValue::Duty, duty);
    }
    // Runs the equation-based path with the recording engine.
    int Run() {
        NetworkOptimiser optimiser(d, "D");
        optimiser.SetUseEquationBased(true);
        optimiser.SetEngineFactory([this] { return std::make_unique<RecordingPinchEngine>(record); });
        const int result = optimiser.Run(kLeastCost, true, true);
        status = optimiser.GetStatusText();
        return result;
    }
    const PinchRecord::Node* NodeBetween(const std::string& stream, const std::string& from,
                                         const std::string& to) const {
        for (const PinchRecord::Node& n : record->nodes)
            if (n.stream == stream && n.from == from && n.to == to) return &n;
        return nullptr;
    }
    std::vector<PinchRecord::Segment> SegmentsOf(const std::string& stream) const {
        std::vector<PinchRecord::Segment> out;
        for (const PinchRecord::Segment& s : record->segments)
            if (s.stream == stream) out.push_back(s);
        return out;
    }
    double Duty(CNode* x) const { return AsHeatExch(x)->getLoad(); }

    CPIHENDesign* d = nullptr;
    CNode *e1 = nullptr, *heater = nullptr, *cooler = nullptr;
    std::shared_ptr<PinchRecord> record = std::make_shared<PinchRecord>();
    std::string status;
};

TEST(EquationBasedDeclarations, TheNetworkIsBuiltAsExpected) {
    TwoStreams n;
    // The placeholders at the stream ends carry nothing.
    EXPECT_EQ(Chain(*n.d, "H"), "FsXsXsPsE");
    EXPECT_EQ(Chain(*n.d, "C"), "FsXsXsPsE");
    EXPECT_EQ(Chain(*n.d, "ST"), "FsXsE");
    EXPECT_GE(n.d->GetNumberOfPaths(), 1);
    EXPECT_NEAR(n.d->GetUtilityLoad(CPString("ST")), 100.0, 1e-6);
}

TEST(EquationBasedDeclarations, StreamsSegmentsAndNodesInTheirOrder) {
    TwoStreams n;
    n.record->runResult = 2;
    n.Run();
    // Streams without units are not declared; each stream follows its segments.
    EXPECT_EQ(n.record->FindStream("LP"), nullptr);
    EXPECT_TRUE(n.SegmentsOf("LP").empty());
    ASSERT_EQ(n.record->streams.size(), 4u);
    const std::vector<std::string> order(n.record->calls.begin(), n.record->calls.begin() + 2);
    EXPECT_EQ(order, (std::vector<std::string>{"CreateSegment", "CreateStream"}));
    const PinchRecord::Stream* h = n.record->FindStream("H");
    ASSERT_TRUE(h);
    EXPECT_EQ(h->cold, 0);
    EXPECT_EQ(n.record->FindStream("C")->cold, 1);
    // A process segment without specific heat: its flow is the heat capacity flowrate at a
    // specific heat of 1.
    const auto hs = n.SegmentsOf("H");
    ASSERT_EQ(hs.size(), 1u);
    EXPECT_DOUBLE_EQ(hs[0].massFlow, 2.0);
    EXPECT_DOUBLE_EQ(hs[0].cp, 1.0);
    EXPECT_DOUBLE_EQ(hs[0].load, 200.0);
    // A one-segment utility takes the design's load: steam 100 kW over 1 K, cooling water over 5 K.
    const PinchRecord::Stream* st = n.record->FindStream("ST");
    ASSERT_TRUE(st && st->utility);
    EXPECT_NEAR(st->load, 100.0, 1e-6);
    EXPECT_DOUBLE_EQ(st->htc, 6.0);
    EXPECT_DOUBLE_EQ(st->costIndex, 2.5e-6);
    EXPECT_NEAR(n.SegmentsOf("ST")[0].massFlow, 100.0, 1e-6);
    EXPECT_NEAR(n.SegmentsOf("CW")[0].massFlow, 20.0, 1e-6);
    // Nodes: from START at the supply, to END at the target; between units the unit names. The
    // placeholder at H's end is no unit of the engine's: the segment before it ends the stream,
    // the one after it starts and ends it.
    const PinchRecord::Node* last = n.NodeBetween("H", "Cooler", "END");
    ASSERT_TRUE(last);
    EXPECT_DOUBLE_EQ(last->temperature, 100.0);
    const PinchRecord::Node* middle = n.NodeBetween("C", "E1", "Heater");
    ASSERT_TRUE(middle);
    EXPECT_NEAR(middle->temperature, 130.0, 1e-6);
    EXPECT_NEAR(n.NodeBetween("H", "START", "E1")->temperature, 200.0, 1e-9);
    EXPECT_TRUE(n.NodeBetween("H", "START", "END"));
    EXPECT_DOUBLE_EQ(n.NodeBetween("CW", "Cooler", "END")->temperature, 25.0);
    EXPECT_EQ(n.record->nodes.size(), 14u);
}

TEST(EquationBasedDeclarations, ExchangersCarryTheirFlagsAndValues) {
    TwoStreams n;
    n.record->runResult = 2;
    n.Run();
    ASSERT_EQ(n.record->exchangers.size(), 3u);
    const ExchangerDeclaration* e1 = n.record->FindExchanger("E1");
    const ExchangerDeclaration* heater = n.record->FindExchanger("Heater");
    const ExchangerDeclaration* cooler = n.record->FindExchanger("Cooler");
    ASSERT_TRUE(e1 && heater && cooler);
    EXPECT_FALSE(e1->utility);
    EXPECT_TRUE(e1->isNew);  // no base design
    EXPECT_TRUE(heater->utility && heater->hotUtility);
    EXPECT_TRUE(cooler->utility && !cooler->hotUtility);
    EXPECT_FALSE(heater->isNew);
    EXPECT_TRUE(e1->fixedDuty);
    EXPECT_FALSE(e1->areaSpecified);
    EXPECT_EQ(e1->arrangement, 2);
    EXPECT_DOUBLE_EQ(e1->duty, 100.0);
    EXPECT_DOUBLE_EQ(e1->dtMin, 10.0);
    EXPECT_DOUBLE_EQ(e1->maxNewArea, 10000.0);
    EXPECT_NEAR(e1->area, 100.0 / (0.05 * 70.0), 1e-3);  // its own area
    // The segments at its ports: H's first two, C's first two.
    const PinchRecord::Node* hotIn = nullptr;
    for (const auto& node : n.record->nodes)
        if (node.label == e1->hotIn) hotIn = &node;
    ASSERT_TRUE(hotIn);
    EXPECT_EQ(hotIn->stream, "H");
    EXPECT_EQ(hotIn->from, "START");
    // Economics after the exchangers, then the run.
    const auto& calls = n.record->calls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "SetEconomicParameters");
    EXPECT_EQ(calls.back(), "RunOptimization");
}

// The flow of a one-segment utility follows the design's load of it over its temperature span
// (specific heat 1 where none is given); a zero load gives a zero flow, and a utility without
// temperature change takes a span of 1 K rather than dividing by zero.
struct UtilityFlowCase {
    const char* name;
    double steamOut, heaterDuty, load, massFlow;
};
class EquationBasedUtilityFlow : public ::testing::TestWithParam<UtilityFlowCase> {};
// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const UtilityFlowCase& c, std::ostream* os) { *os << c.name; }

TEST_P(EquationBasedUtilityFlow, FollowsTheDesignsLoad) {
    const UtilityFlowCase& c = GetParam();
    TwoStreams n(c.steamOut < 250.0 ? c.steamOut : 249.0, c.heaterDuty);
    // A scenario takes no utility without temperature change into a design; one that loses its
    // span afterwards is met all the same.
    if (c.steamOut >= 250.0) n.scenario->FindStream("ST")->SetValue("Temperature", c.steamOut, 1);
    n.record->runResult = 2;
    n.Run();
    const auto st = n.SegmentsOf("ST");
    ASSERT_EQ(st.size(), 1u);
    EXPECT_NEAR(st[0].load, c.load, 1e-6);
    EXPECT_NEAR(st[0].massFlow, c.massFlow, 1e-6);
    EXPECT_TRUE(std::isfinite(st[0].massFlow));
    EXPECT_DOUBLE_EQ(st[0].cp, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Steam, EquationBasedUtilityFlow,
                         ::testing::Values(UtilityFlowCase{"OneKelvin", 249.0, 100.0, 100.0, 100.0},
                                           UtilityFlowCase{"FiveKelvin", 245.0, 100.0, 100.0, 20.0},
                                           UtilityFlowCase{"ZeroLoad", 249.0, 0.0, 0.0, 0.0},
                                           UtilityFlowCase{"NoTemperatureChange", 250.0, 100.0, 100.0, 100.0}),
                         [](const auto& info) { return std::string(info.param.name); });

// What the results write back: the duty where the duty is specified, else the area where the
// area is, else each specified port temperature.
TEST(EquationBasedReadBack, DutyElseAreaElseSpecifiedTemperatures) {
    TwoStreams n;
    n.heater->addVariable(NodeValue::Duty, 100.0, ValueStatus::Calculated);
    n.heater->addVariable(NodeValue::HTArea, 11.0, ValueStatus::Specified);
    n.cooler->addVariable(NodeValue::Duty, 100.0, ValueStatus::Calculated);
    CNode* coolerIn = AsHeatExch(n.cooler)->getInlet(0);
    coolerIn->addVariable(NodeValue::Temperature, 150.0, ValueStatus::Specified);
    n.record->exchangerResults["E1"] = {160.0, 80.0, {200, 120, 80, 160}};
    n.record->exchangerResults["Heater"] = {40.0, 5.5, {250, 249, 160, 180}};
    n.record->exchangerResults["Cooler"] = {20.0, 4.0, {121, 100, 20, 25}};
    // The engine's made-up results are read back whatever they give; a run is an improvement only
    // when the network they give passes its exchangers' own feasibility check.
    const int result = n.Run();
    EXPECT_EQ(result == NetworkOptimiser::Improved, n.d->GetInfeasibleHeatExchangers().empty());
    EXPECT_EQ(n.e1->getVariableStatus(NodeValue::Duty), ValueStatus::Specified);
    double v = 0.0;
    n.e1->getVariableAsDouble(NodeValue::Duty, v);
    EXPECT_DOUBLE_EQ(v, 160.0);
    n.heater->getVariableAsDouble(NodeValue::HTArea, v);
    EXPECT_DOUBLE_EQ(v, 5.5);
    EXPECT_EQ(n.heater->getVariableStatus(NodeValue::HTArea), ValueStatus::Specified);
    EXPECT_NE(n.heater->getVariableStatus(NodeValue::Duty), ValueStatus::Specified);
    coolerIn->getVariableAsDouble(NodeValue::Temperature, v);
    EXPECT_DOUBLE_EQ(v, 121.0);
    EXPECT_EQ(coolerIn->getVariableStatus(NodeValue::Temperature), ValueStatus::Specified);
    EXPECT_NE(n.cooler->getVariableStatus(NodeValue::Duty), ValueStatus::Specified);
}

TEST(EquationBasedRefusals, AnEngineFailureLeavesTheDesignAsItWas) {
    TwoStreams n;
    n.record->runResult = 2;
    n.record->exchangerResults["E1"] = {160.0, 80.0, {200, 120, 80, 160}};
    const double area = n.d->GetTotalArea();
    EXPECT_EQ(n.Run(), NetworkOptimiser::Unchanged);
    EXPECT_EQ(n.status, NetworkOptimiser::EquationBasedFailedText);
    EXPECT_DOUBLE_EQ(n.Duty(n.e1), 100.0);
    EXPECT_NEAR(n.d->GetTotalArea(), area, 1e-9);
}

TEST(EquationBasedRefusals, AnUntiedDesignIsRefusedBeforeAnythingIsDeclared) {
    DesignScenario s;
    s.Add("H", 200, 100, 2);
    s.Add("C", 80, 180, 2);
    CPIHENDesign* d = s.Design("U");
    d->Deactivate();
    CNode* x = d->AddHeatExchanger(NthSegment(*d, "H", 0), NthSegment(*d, "C", 0), nullptr, NodeKind::CountercurrentHX,
                                   "E1");
    d->SpecifyExchangerValue(x, NodeValue::Duty, 100.0);
    d->Activate(1);
    ASSERT_EQ(d->GetNumberOfLoops(), 0);
    ASSERT_EQ(d->GetNumberOfPaths(), 0);
    auto record = std::make_shared<PinchRecord>();
    NetworkOptimiser optimiser(d, "U");
    optimiser.SetUseEquationBased(true);
    optimiser.SetEngineFactory([record] { return std::make_unique<RecordingPinchEngine>(record); });
    EXPECT_EQ(optimiser.Run(kLeastCost, true, true), NetworkOptimiser::Unchanged);
    EXPECT_STREQ(optimiser.GetStatusText(), NetworkOptimiser::UntiedText);
    EXPECT_TRUE(record->calls.empty());
}

// C split in two at its start, the first branch split again: the inner splitter is declared
// through its enclosing one (once), with its mixer; only the outer one is a top-level split.
TEST(EquationBasedDeclarations, AnInnerSplitterIsDeclaredThroughItsEnclosingOne) {
    TwoStreams n;
    CNode* outer = nullptr;
    CNode* inner = nullptr;
    n.d->Deactivate();
    CNode* first = NthSegment(*n.d, "C", 0);
    ASSERT_TRUE(n.d->AddSplitterMixer(first, first, outer, "by hand", 2) && outer);
    CNode* branch = outer->getIthDownStreamNode(0);
    ASSERT_TRUE(n.d->AddSplitterMixer(branch, branch, inner, "by hand", 2) && inner);
    n.d->Activate(1);
    n.record->runResult = 2;
    n.Run();
    ASSERT_EQ(n.record->splitters.size(), 2u);
    EXPECT_EQ(n.record->splitters[0].kind, "top");
    EXPECT_EQ(n.record->splitters[1].kind, "inner");
    EXPECT_EQ(n.record->mixers.size(), 1u);
    // The inner splitter's inlet is a segment of the outer one's first branch list.
    const auto& firstBranch = n.record->splitters[0].branches[0];
    EXPECT_NE(std::find(firstBranch.begin(), firstBranch.end(), std::stoi(n.record->splitters[1].inlet)),
              firstBranch.end());
    EXPECT_EQ(n.record->splitters[0].utility, 0);
    // Splitters come after the nodes and before ConnectSplittersAndMixers.
    const auto& calls = n.record->calls;
    const auto connect = std::find(calls.begin(), calls.end(), "ConnectSplittersAndMixers");
    const auto split = std::find(calls.begin(), calls.end(), "CreateSplitMixer");
    EXPECT_LT(split - calls.begin(), connect - calls.begin());
}

// A split of the steam: the engine's branch shares are written as the branches' shares (times
// the inlet's share of the stream, 1 here), calculated where they were not specified.
TEST(EquationBasedReadBack, UtilitySplitFractionsTakeTheEnginesShares) {
    TwoStreams n;
    n.d->Deactivate();
    CNode* tee = nullptr;
    CNode* first = n.d->GetStreamSegment(CPString("ST"), 0);
    ASSERT_TRUE(n.d->AddSplitterMixer(first, first, tee, "by hand", 2) && tee);
    n.d->Activate(1);
    CNode* name = tee;
    CPString teeName;
    name->getVariableAsString(NodeValue::UnitOperationName, teeName);
    n.record->splitterResults[teeName.c_str()] = {0.7, 0.3};
    n.record->exchangerResults["E1"] = {100.0, 28.57, {200, 150, 80, 130}};
    EXPECT_EQ(n.Run(), NetworkOptimiser::Improved);
    ASSERT_EQ(n.record->splitters.size(), 1u);
    EXPECT_EQ(n.record->splitters[0].utility, 1);
    EXPECT_EQ(n.record->splitterQueries, std::vector<std::string>{teeName.c_str()});
    double f0 = 0.0, f1 = 0.0;
    tee->getIthDownStreamNode(0)->getVariableAsDouble(NodeValue::SplitFraction, f0);
    tee->getIthDownStreamNode(1)->getVariableAsDouble(NodeValue::SplitFraction, f1);
    EXPECT_NEAR(f0, 0.7, 1e-12);
    EXPECT_NEAR(f1, 0.3, 1e-12);
}

// The engine itself on the same network: the duty of E1 lands where the independent minimisation
// of the engine's own test puts it, and the design keeps its balance.
TEST(EquationBasedRun, TheEngineMovesTheDutiesToTheCostOptimum) {
    TwoStreams n;
    n.scenario->SetEconomicData(EDT_RateOfReturn, 0.1, "DEFAULT");
    n.scenario->SetEconomicData(EDT_PlantLife, 5.0, "DEFAULT");
    n.scenario->SetEconomicData(EDT_OperatingHours, 8760.0, "DEFAULT");
    NetworkOptimiser optimiser(n.d, "D");
    optimiser.SetUseEquationBased(true);
    EXPECT_EQ(optimiser.Run(kLeastCost, true, true), NetworkOptimiser::Improved) << optimiser.GetStatusText();
    EXPECT_NEAR(n.Duty(n.e1), 163.3, 163.3 * 0.005);
    EXPECT_NEAR(n.Duty(n.e1) + n.Duty(n.heater), 200.0, 1e-4);
    EXPECT_NEAR(n.Duty(n.e1) + n.Duty(n.cooler), 200.0, 1e-4);
    EXPECT_TRUE(n.d->GetInfeasibleHeatExchangers().empty());
}

// The searches (not the equation-based engine) move one process duty at a time, so they first let
// go of the heater's and cooler's duties that over-specify the network (here both: E1, the heater
// and the cooler all given, two more than the streams' balances allow). A run that keeps nothing
// gives them back as they were; a run that keeps a point leaves them to follow the streams.
TEST(SearchRun, TheUtilityDutiesLetGoAreGivenBackOnlyWhenNothingIsKept) {
    for (const bool duties : {false, true}) {
        TwoStreams n;
        // As the host closes a network's ends: the heater and cooler take what E1 leaves of their
        // streams, and a user then gives their duties as well.
        n.d->CloseStreamEnds("by hand");
        n.Specify(n.heater, 100.0);
        n.Specify(n.cooler, 100.0);
        const int before = n.d->GetDegreesOfFreedom();
        ASSERT_EQ(before, -2);
        NetworkOptimiser optimiser(n.d, "D");
        // Without exchanger duties only split fractions are free, and the network has no splitter:
        // the run has nothing to move.
        const int result = optimiser.Run(0, duties, true);
        const bool kept = result == NetworkOptimiser::Improved;
        EXPECT_EQ(kept, duties) << optimiser.GetStatusText();
        for (CNode* unit : {n.heater, n.cooler})
            EXPECT_EQ(unit->getVariableStatus(NodeValue::Duty) == ValueStatus::Specified, !kept)
                << unit->getName().c_str() << (duties ? " with duties" : " without");
        if (kept) {
            EXPECT_EQ(n.d->GetDegreesOfFreedom(), 0);
            EXPECT_NEAR(n.Duty(n.e1) + n.Duty(n.heater), 200.0, 1e-4);
            EXPECT_NEAR(n.Duty(n.e1) + n.Duty(n.cooler), 200.0, 1e-4);
        } else {
            EXPECT_EQ(n.d->GetDegreesOfFreedom(), before);
            EXPECT_NEAR(n.Duty(n.heater), 100.0, 1e-9);
            EXPECT_NEAR(n.Duty(n.cooler), 100.0, 1e-9);
        }
    }
}

}  // namespace
