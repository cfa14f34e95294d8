// Reading an existing network into retrofit records: placeholders stripped, the counts and kelvin
// temperatures of the records, the utility unit cost, and the networks that are refused.
#include "eng/retrofit/NetworkExtraction.h"

#include "RetrofitTestSupport.h"
#include "pellin/FlowSheet.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace design_test;
using namespace retrofit_test;

namespace {

std::uint32_t Fp(const CNode* n) { return n->getDNAFingerPrint(); }

}  // namespace

TEST(NetworkExtraction, TheWorkedNetworkGivesItsRecordsInKelvin) {
    WorkedNetwork w;
    ASSERT_EQ(Chain(*w.d, "H"), "FsXsXsE");
    ASSERT_EQ(Chain(*w.d, "C"), "FsXsXsE");
    std::unique_ptr<FlowSheet> sheet = w.d->GetFlowSheet()->clone(nullptr);
    const int before = sheet->getNumberOfNodes();
    RetrofitNetwork net;
    ASSERT_TRUE(ExtractNetwork(*sheet, *w.d, net));
    EXPECT_EQ(sheet->getNumberOfNodes(), before);  // nothing to strip

    EXPECT_EQ(net.nodes.size(), 6u);
    EXPECT_EQ(net.exchangers.size(), 1u);
    EXPECT_EQ(net.heaters.size(), 1u);
    EXPECT_EQ(net.coolers.size(), 1u);
    EXPECT_EQ(net.hotStreams.size(), 1u);
    EXPECT_EQ(net.coldStreams.size(), 1u);
    EXPECT_EQ(net.hotUtilities.size(), 1u);
    EXPECT_EQ(net.coldUtilities.size(), 1u);
    EXPECT_TRUE(net.tees.empty());
    EXPECT_TRUE(net.mixers.empty());
    EXPECT_TRUE(net.leftoverHeaters.empty());

    const int h = w.scenario->FindStream("H")->GetStoredInt(), c = w.scenario->FindStream("C")->GetStoredInt();
    const int st = w.scenario->FindStream("ST")->GetStoredInt(), cw = w.scenario->FindStream("CW")->GetStoredInt();
    EXPECT_NE(h, c);
    EXPECT_EQ(net.streamIdByName.at("H"), h);
    EXPECT_EQ(net.streamNameById.at(cw), "CW");

    // X at 60 kW: H 150 -> 120 C, C 100 -> 115 C.
    const HXInfo& x = net.exchangers[0];
    EXPECT_EQ(x.fingerprint, Fp(w.x));
    EXPECT_EQ(x.hotStream, h);
    EXPECT_EQ(x.coldStream, c);
    EXPECT_DOUBLE_EQ(x.duty, 60.0);
    EXPECT_EQ(x.dutyStatus, ValueStatus::Specified);
    EXPECT_NEAR(x.hotInletTemperature, 423.15, 1e-9);
    EXPECT_NEAR(x.hotOutletTemperature, 393.15, 1e-9);
    EXPECT_NEAR(x.coldInletTemperature, 373.15, 1e-9);
    EXPECT_NEAR(x.coldOutletTemperature, 388.15, 1e-9);
    EXPECT_EQ(x.hotOutlet, net.coolers[0].processInlet);
    EXPECT_EQ(x.coldOutlet, net.heaters[0].processInlet);

    const HeaterInfo& heater = net.heaters[0];
    EXPECT_EQ(heater.fingerprint, Fp(w.heater));
    EXPECT_EQ(heater.utilityStream, st);
    EXPECT_EQ(heater.processStream, c);
    EXPECT_NEAR(heater.duty, 180.0, 1e-9);
    EXPECT_NEAR(heater.processInletTemperature, 388.15, 1e-9);
    EXPECT_NEAR(heater.processOutletTemperature, 433.15, 1e-9);
    EXPECT_GT(heater.annualisedCapitalCost, 0.0);
    const CoolerInfo& cooler = net.coolers[0];
    EXPECT_EQ(cooler.utilityStream, cw);
    EXPECT_EQ(cooler.processStream, h);
    EXPECT_NEAR(cooler.duty, 140.0, 1e-9);
    EXPECT_NEAR(cooler.processOutletTemperature, 323.15, 1e-9);

    const HotStrmInfo& hot = net.hotStreams[0];
    EXPECT_EQ(hot.streamId, h);
    EXPECT_EQ(hot.numberOfPoints, 2);
    EXPECT_NEAR(hot.supplyTemperature, 423.15, 1e-9);
    EXPECT_NEAR(hot.pointTemperatures[1], 323.15, 1e-9);
    EXPECT_NEAR(hot.pointLoads[0], 0.0, 1e-9);
    EXPECT_NEAR(hot.pointLoads[1], 200.0, 1e-9);
    EXPECT_EQ(hot.startNode, x.hotInlet);
    EXPECT_EQ(hot.endNode, cooler.processOutlet);
    EXPECT_NEAR(net.coldStreams[0].TotalLoad(), 240.0, 1e-9);
    EXPECT_NEAR(net.hotUtilities[0].outletTemperature, 522.15, 1e-9);
    for (const NodeInfo& n : net.nodes) EXPECT_DOUBLE_EQ(n.splitFraction, 1.0);
}

TEST(NetworkExtraction, UtilityUnitCostScalesByTheRangeUsedAndTheOperatingHours) {
    // Cost index 0.5, 300 -> 200 C used down to 250 C, 8000 h: 0.5 x 100/50 x 8000/8765.76.
    WorkedNetwork w;
    w.Add("HU", 300, 200, 0.5, 1);
    w.scenario->SetEconomicData(6, 8000.0, "DEFAULT");
    NthSegment(*w.d, "HU", 1)->addVariable(NodeValue::Temperature, 250.0, ValueStatus::Specified);
    std::unique_ptr<FlowSheet> sheet = w.d->GetFlowSheet()->clone(nullptr);
    RetrofitNetwork net;
    ASSERT_TRUE(ExtractNetwork(*sheet, *w.d, net));
    ASSERT_EQ(net.hotUtilities.size(), 2u);
    // The records come in the plant's order, not the order the utilities were added in.
    const auto found = std::find_if(net.hotUtilities.begin(), net.hotUtilities.end(),
                                    [](const HotUtilInfo& u) { return std::string(u.name) == "HU"; });
    ASSERT_NE(found, net.hotUtilities.end());
    const HotUtilInfo& hu = *found;
    EXPECT_NEAR(hu.unitCost, 0.912642, 5e-7);
    EXPECT_NEAR(hu.outletTemperature, 523.15, 1e-9);
    EXPECT_NEAR(UtilityUnitCost(0.5, 300, 200, 250, 8000), 0.912642, 5e-7);
    // A utility whose use has not begun is costed over its whole range.
    EXPECT_NEAR(UtilityUnitCost(0.5, 300, 200, 300, 8765.76), 0.5, 1e-12);
}

TEST(NetworkExtraction, ANetworkWithoutHeaterOrWithoutCoolerIsRefused) {
    for (const bool heater : {false, true}) {
        WorkedNetwork w(heater, !heater);
        std::unique_ptr<FlowSheet> sheet = w.d->GetFlowSheet()->clone(nullptr);
        RetrofitNetwork net;
        EXPECT_FALSE(ExtractNetwork(*sheet, *w.d, net)) << heater;
        EXPECT_EQ(net.heaters.size(), heater ? 1u : 0u);
        EXPECT_EQ(net.coolers.size(), heater ? 0u : 1u);
    }
}

TEST(NetworkExtraction, APlaceholderGoesWithThePieceAfterItOnlyAtAStreamEndBehindAUnit) {
    // One exchanger with its placeholders kept: H is F s1 P s2 X s3 P s4 E.
    DesignScenario s;
    s.Add("H", 150, 50, 2.0);
    s.Add("C", 100, 160, 4.0);
    CPIHENDesign* d = s.Design("D1");
    CNode* x = d->AddHeatExchanger(NthSegment(*d, "H", 0), NthSegment(*d, "C", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(x);
    ASSERT_EQ(Chain(*d, "H"), "FsPsXsPsE");
    std::uint32_t piece[4];
    for (int k = 0; k < 4; ++k) piece[k] = Fp(NthSegment(*d, "H", k));
    std::unique_ptr<FlowSheet> sheet = d->GetFlowSheet()->clone(nullptr);
    ASSERT_TRUE(StripHeaterNodes(*sheet));
    EXPECT_TRUE(sheet->getAllNodesOfType(NodeKind::Heater).empty());
    // Before X the placeholder follows the stream's start: it takes the piece before it. After X
    // it ends the stream behind a unit: it takes the piece after it.
    EXPECT_FALSE(sheet->getNodeByFingerPrint(piece[0]));
    EXPECT_TRUE(sheet->getNodeByFingerPrint(piece[1]));
    EXPECT_TRUE(sheet->getNodeByFingerPrint(piece[2]));
    EXPECT_FALSE(sheet->getNodeByFingerPrint(piece[3]));
    CNode* start = sheet->getNode(d->GetNodeByName("HStart")->getName());
    ASSERT_TRUE(start);
    EXPECT_EQ(start->getIthDownStreamNode(0), sheet->getNodeByFingerPrint(piece[1]));
    CNode* hotOut = sheet->getNodeByFingerPrint(Fp(x))->getIthDownStreamNode(0);
    ASSERT_EQ(hotOut, sheet->getNodeByFingerPrint(piece[2]));
    EXPECT_EQ(hotOut->getIthDownStreamNode(0)->getClassName(), NodeKind::ProductBlock);
    // The design itself keeps its placeholders.
    EXPECT_EQ(Chain(*d, "H"), "FsPsXsPsE");
}
