// Structure analysis of a design: loops found by the depth-first search with repeats removed,
// sub-networks broken at utilities left out of the analysis, paths from hot to cold utilities,
// the controllability verdict, and the analysis sub-record.
#include "DesignTestSupport.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/design/ControllabilityCheck.h"
#include "eng/design/NetworkStructureAnalysis.h"

#include <gtest/gtest.h>

#include <ostream>
using namespace design_test;

namespace {

// With `pair` only H1 and C1.
struct Network : DesignScenario {
    explicit Network(bool pair = false) {
        Add("H1", 180, 80, 2.0);
        Add("C1", 40, 140, 2.0);
        if (!pair) {
            Add("H2", 150, 60, 1.0);
            Add("C2", 30, 100, 1.0);
            Add("ST", 250, 249, 0.5, 1);
            Add("CW", 20, 30, 0.1, 1);
        }
        d = Design("D1");
    }
    CNode* Match(const char* hot, const char* cold) {
        return d->AddHeatExchanger(First(hot), First(cold), nullptr, nullptr, nullptr);
    }
    CNode* First(const std::string& stream) { return ChainNodes(*d, stream)[1]; }
    IHeatIntegrationStream* Stream(const char* name) {
        IHeatIntegrationStream* s = nullptr;
        scenario->GetStream(name, s);
        return s;
    }
    CPIHENDesign* d = nullptr;
};

struct StructureCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> matches;  // hot side, cold side
    std::vector<const char*> utilitiesTakingPart;
    std::size_t loops;
    std::size_t subNetworks;
};

class StructureCases : public ::testing::TestWithParam<StructureCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const StructureCase& c, std::ostream* os) { *os << c.name; }

}  // namespace

TEST_P(StructureCases, LoopsAndSubNetworks) {
    const StructureCase& c = GetParam();
    Network n;
    for (const auto& [hot, cold] : c.matches) ASSERT_TRUE(n.Match(hot, cold)) << hot << "-" << cold;
    for (const char* u : c.utilitiesTakingPart) ASSERT_TRUE(n.d->SetAnalysisStreamFlag(n.Stream(u), true));
    EXPECT_EQ(n.d->StructureAnalysis().Loops().size(), c.loops);
    EXPECT_EQ(n.d->StructureAnalysis().SubNetworks().size(), c.subNetworks);
}

INSTANTIATE_TEST_SUITE_P(
    Designs, StructureCases,
    ::testing::Values(
        // One match with a heater and a cooler: no loop; H2 and C2 stand alone.
        StructureCase{"HeaterAndCooler", {{"H1", "C1"}, {"ST", "C1"}, {"H1", "CW"}}, {}, 0, 3},
        // H1 to C1 and C2 with heaters on both: the loop closes through steam only when steam
        // takes part in the analysis.
        StructureCase{"HeatersLeftOut", {{"H1", "C1"}, {"H1", "C2"}, {"ST", "C1"}, {"ST", "C2"}, {"H1", "CW"}}, {}, 0, 2},
        StructureCase{"HeatersTakePart", {{"H1", "C1"}, {"H1", "C2"}, {"ST", "C1"}, {"ST", "C2"}, {"H1", "CW"}}, {"ST"}, 1, 2},
        // Two matches between one pair: the loop is found through each of them and kept once.
        StructureCase{"TwoParallelMatches", {{"H1", "C1"}, {"H1", "C1"}}, {}, 1, 3},
        StructureCase{"ThreeParallelMatches", {{"H1", "C1"}, {"H1", "C1"}, {"H1", "C1"}}, {}, 3, 3},
        // Coolers on H1 and H2: two sub-networks until cooling water takes part and joins them.
        StructureCase{"CoolersApart", {{"H1", "CW"}, {"H2", "CW"}}, {}, 0, 4},
        StructureCase{"CoolersJoined", {{"H1", "CW"}, {"H2", "CW"}}, {"CW"}, 0, 3}),
    [](const ::testing::TestParamInfo<StructureCase>& info) { return std::string(info.param.name); });

TEST(NetworkStructureAnalysis, DeselectingAStreamMakesThreeParallelMatchesControllable) {
    Network n(true);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(n.Match("H1", "C1"));
    const SubNetwork& sub = n.d->StructureAnalysis().SubNetworks().front();
    EXPECT_EQ(std::string(sub.name), "H1 / C1");
    EXPECT_EQ(sub.loops, 2);
    EXPECT_EQ(sub.remainingFreedom, -1);
    const IHENDesign& view = *n.d;
    ASSERT_EQ(view.GetNumberOfSubNetworks(), 1);
    EXPECT_STREQ(view.GetSubNetworkName(0), "H1 / C1");
    EXPECT_EQ(view.GetNumberOfUnitsInSubNetwork(0), 3);
    EXPECT_EQ(view.GetSubNetworkNumberOfLoops(0), 2);
    EXPECT_EQ(view.GetSubNetworkRemainingControlFreedom(0), -1);
    // Three parallel matches: each pair is a loop, two of them independent.
    EXPECT_EQ(view.GetNumberOfLoops(), 3);
    EXPECT_EQ(view.GetNumberOfIndependentLoops(), 2);
    EXPECT_EQ(view.GetNumberOfUnitsInLoop(0), 2);
    EXPECT_STREQ(view.GetLoopName(0), "E-100 / E-101");
    EXPECT_EQ(view.GetLoopName(3), nullptr);
    EXPECT_STREQ(view.GetControllabilityText(), "The network can not be controlled.");
    EXPECT_EQ(view.GetNumberOfControlSelections(), 2);
    ASSERT_TRUE(n.d->SetControlUnitSelected(0, false));
    EXPECT_STREQ(n.d->GetControllabilityVerdict(), "The network can be controlled.");
    EXPECT_FALSE(view.IsControlUnitSelected(0));
    EXPECT_STREQ(view.GetControlUnitName(0), "H1");
    EXPECT_EQ(view.GetSubNetworkUnitFingerPrint(0, 3), 0u);
    EXPECT_EQ(n.d->StructureAnalysis().SubNetworks().front().remainingFreedom, 0);
    EXPECT_EQ(n.d->StructureAnalysis().GetIndependentLoops(), 2);
    n.Add("ST", 250, 249, 0.5, 1);
    EXPECT_EQ(n.d->GetUnitControlKind(n.Stream("ST")), 0u);
    EXPECT_EQ(n.d->GetUnitControlKind(n.Stream("C1")), 0u);
    EXPECT_EQ(n.d->Controllability().GetKind(99), ControllabilityCheck::NoRecordKind);
}

TEST(NetworkStructureAnalysis, PathsRunFromHotToColdUtilityButNotThroughALaterHeater) {
    Network n;
    CNode* heater = n.Match("ST", "C1");
    CNode* e = n.Match("H1", "C1");
    CNode* cooler = n.Match("H1", "CW");
    n.Match("ST", "C2");  // C2 leads nowhere
    CNode* spare = n.Match("H2", "C2");
    const auto& paths = n.d->StructureAnalysis().Paths();
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0].exchangers, (std::vector<CNode*>{heater, e, cooler}));
    EXPECT_EQ(n.d->StructureAnalysis().IsExchangerOnPathOrLoop(e), 1);
    EXPECT_EQ(n.d->StructureAnalysis().IsExchangerOnPathOrLoop(spare), 0);
    // What the views read through the design's interface.
    const IHENDesign& view = *n.d;
    ASSERT_EQ(view.GetNumberOfPaths(), 1);
    EXPECT_STREQ(view.GetPathStartName(0), "ST");
    EXPECT_STREQ(view.GetPathEndName(0), "CW");
    EXPECT_EQ(view.GetNumberOfUnitsInPath(0), 3);
    EXPECT_EQ(view.GetPathUnits(0), (std::vector<CNode*>{heater, e, cooler}));
    EXPECT_STREQ(view.GetPathUnitName(0, 1), "E-101");
    EXPECT_STREQ(view.GetPathName(0), "E-100 / E-101 / E-102");
    EXPECT_EQ(view.GetPathUnitName(0, 3), nullptr);
    EXPECT_EQ(view.GetPathName(1), nullptr);
    EXPECT_EQ(view.GetExchangersOnStreamSide(n.Stream("C1"), 1), (std::vector<CNode*>{heater, e}));
    EXPECT_TRUE(view.GetExchangersOnStreamSide(n.Stream("C1"), 0).empty());
    EXPECT_EQ(view.GetHeatExchangerNodes().size(), 5u);
    EXPECT_EQ(view.GetAllDNAFingerPrints().size(), static_cast<std::size_t>(view.GetNumberOfNodes()));
    n.d->SetLoopAnalysisEnabled(false);
    n.d->RunStructureAnalysis();
    EXPECT_TRUE(n.d->StructureAnalysis().Paths().empty());
    EXPECT_EQ(n.d->StructureAnalysis().IsExchangerOnPathOrLoop(spare), 1);
}

TEST(NetworkStructureAnalysis, TheSubRecordKeepsUtilityFlagsAndTheLoopSwitch) {
    Network n;
    ASSERT_TRUE(n.d->SetAnalysisStreamFlag(n.Stream("CW"), true));
    n.d->SetLoopAnalysisEnabled(false);
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(n.d->StructureAnalysis().Store(out));

    NetworkStructureAnalysis back(n.Design("D2"));
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    ASSERT_TRUE(back.Recall(in));
    ASSERT_EQ(back.GetNumberOfAnalysisStreams(), 2);
    EXPECT_EQ(back.GetAnalysisStream(0)->GetName(), "ST");
    EXPECT_EQ(back.GetAnalysisStreamFlag(0), 0);
    EXPECT_EQ(back.GetAnalysisStream(1)->GetName(), "CW");
    EXPECT_EQ(back.GetAnalysisStreamFlag(1), 1);
    EXPECT_FALSE(back.IsLoopAnalysisEnabled());

    std::vector<std::uint8_t> cut = out.Bytes();
    cut.resize(cut.size() - 6);
    LurmetBinaryFile truncated = LurmetBinaryFile::ForReading(cut);
    NetworkStructureAnalysis untouched(n.d);
    untouched.SetLoopAnalysisEnabled(true);
    EXPECT_FALSE(untouched.Recall(truncated));
    EXPECT_TRUE(untouched.IsLoopAnalysisEnabled());
}
