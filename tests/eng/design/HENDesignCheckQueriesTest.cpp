// The optimiser's pre-run check as the design's wizard form reads it through the design: neutral
// before any check, each list's names clamped to the list, the untied ports through the design;
// and the splitter-mixer operations the design views call through the interface.
#include "eng/design/INetworkOptimiser.h"
#include "pellin/HeatExch.h"
#include "tests/eng/design/OperationTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using design_test::OperatedNetwork;

class ListedCheck : public IOptimiserCheck {
public:
    explicit ListedCheck(std::vector<CNode*> units) : m_units(std::move(units)) {}
    void Check() override {}
    int GetSeverity() const override { return 2; }
    bool CanRun() const override { return false; }
    const char* GetMessage() const override { return "fatal"; }
    bool IsPartOK(int part) const override { return part != Feasibility; }
    const char* GetPartMessage(int part) const override { return part == UntiedStreams ? "untied" : ""; }
    int GetNumberOfPartUnits(int part) const override { return part == Options ? 0 : static_cast<int>(m_units.size()); }
    CNode* GetPartUnit(int, int index) const override { return m_units.at(static_cast<std::size_t>(index)); }
    const char* GetTemperaturePortWord(int index) const override { return index == 0 ? "Hot inlet" : ""; }
    const char* GetUnitStatusText(int index) const override { return index == 1 ? "Calculations OK" : ""; }

private:
    std::vector<CNode*> m_units;
};

class ListingProvider : public INetworkOptimiserProvider {
public:
    explicit ListingProvider(std::vector<CNode*> units) : m_units(std::move(units)) {}
    std::unique_ptr<INetworkOptimiser> MakeOptimiser(IHENDesign&, const char*) override { return nullptr; }
    std::unique_ptr<IOptimiserCheck> MakeCheck(IHENDesign&, const char*) override {
        return std::make_unique<ListedCheck>(m_units);
    }

private:
    std::vector<CNode*> m_units;
};

CPString nameOf(const CNode* unit) {
    CPString name;
    unit->getVariableAsString("UnitOperationName", name);
    return name;
}

TEST(HENDesignCheckQueries, ReadTheChecksFindingsWithNamesClampedToTheirLists) {
    OperatedNetwork n;
    const IHENDesign& design = *n.d;
    EXPECT_EQ(1, design.CanOptimizerRun());
    EXPECT_EQ(0, design.GetOptimizerCheckSeverity());
    EXPECT_TRUE(design.IsOptimizerCheckFeasibilityOK());
    EXPECT_EQ(0, design.GetNumberOfOptimizerCheckUnits());
    EXPECT_EQ(CPString(), design.GetOptimizerCheckUnitName(0));
    EXPECT_FALSE(design.IsOptimizerCheckUntiedPort0Free(0));

    ListingProvider provider({n.e100, n.e101});
    n.d->SetNetworkOptimiserProvider(&provider);
    n.d->RunOptimizerCheck();
    EXPECT_EQ(0, design.CanOptimizerRun());
    EXPECT_EQ(2, design.GetOptimizerCheckSeverity());
    CPString text;
    design.GetOptimizerCheckMessage(text);
    EXPECT_EQ(CPString("fatal"), text);
    design.GetOptimizerCheckUntiedStreamsMessage(text);
    EXPECT_EQ(CPString("untied"), text);
    EXPECT_FALSE(design.IsOptimizerCheckFeasibilityOK());
    EXPECT_TRUE(design.IsOptimizerCheckDegreesOfFreedomOK() && design.IsOptimizerCheckOptionsOK());
    EXPECT_EQ(2, design.GetNumberOfOptimizerCheckUnits());
    EXPECT_EQ(2, design.GetNumberOfOptimizerCheckInfeasibleExchangers());
    EXPECT_EQ(nameOf(n.e100), design.GetOptimizerCheckUnitName(-4));
    EXPECT_EQ(nameOf(n.e101), design.GetOptimizerCheckInfeasibleExchangerName(1));
    EXPECT_EQ(nameOf(n.e101), design.GetOptimizerCheckUntiedExchangerName(99));
    EXPECT_EQ(nameOf(n.e101), design.GetOptimizerCheckTemperatureSpecUnitName(7));
    EXPECT_EQ(CPString("Hot inlet"), design.GetOptimizerCheckTemperatureSpecText(0));
    EXPECT_EQ(CPString("Calculations OK"), design.GetOptimizerCheckUnitStatus(1));
    // The exchangers' inlets lost their utilities, their outlets keep them (the network's
    // remaining loads): ports 0 and 2 free, 1 and 3 of E100's hot outlet not.
    EXPECT_EQ(design.IsPortFreeOfUtility(n.e100, 0), design.IsOptimizerCheckUntiedPort0Free(0));
    EXPECT_EQ(design.IsPortFreeOfUtility(n.e100, 1), design.IsOptimizerCheckUntiedPort1Free(0));
    EXPECT_EQ(design.IsPortFreeOfUtility(n.e101, 2), design.IsOptimizerCheckUntiedPort2Free(1));
    EXPECT_EQ(design.IsPortFreeOfUtility(n.e101, 3), design.IsOptimizerCheckUntiedPort3Free(1));
    EXPECT_TRUE(design.IsOptimizerCheckUntiedPort0Free(0));
    n.d->SetNetworkOptimiserProvider(nullptr);
}

TEST(HENDesignCheckQueries, SplitterMixersThroughTheInterface) {
    OperatedNetwork n;
    IHENDesign& design = *n.d;
    EXPECT_FALSE(design.RemoveSplitterMixer(n.e100, nullptr));  // no splitter-mixer
    EXPECT_EQ(1, design.GetSplitterState(n.e100));
    CNode* splitter = nullptr;
    CNode* segment = design_test::NthSegment(*n.d, "C2", 0);
    ASSERT_TRUE(design.AddSplitterMixer(segment, segment, splitter, nullptr, 2));
    ASSERT_NE(nullptr, splitter);
    EXPECT_EQ(0, design.GetSplitterState(splitter));
    EXPECT_TRUE(design.RemoveSplitterMixer(splitter, nullptr));
    EXPECT_EQ(design.IsOperationLocked(), design.GetOperationLocked());
}

}  // namespace
