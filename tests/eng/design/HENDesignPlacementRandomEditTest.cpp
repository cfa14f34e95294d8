// Random utility placement, specification and tidying passes on a design of 16 streams and up to
// 30 exchangers with random duties, single-branch splitters among them: after every pass each stream is still
// one chain from its feed block to its product block, and the exchanger list and the stream
// index describe the network.
#include "DesignTestSupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace design_test;

namespace {

struct PlacementNetwork : RandomDesignScenario {
    explicit PlacementNetwork(unsigned seed) : RandomDesignScenario(7, seed) {}
    std::string Pass() {
        CNode* x = AnyExchanger();
        switch (Pick(13)) {
        case 0: {
            CNode* a = AnySegment(AnyStream());
            CNode* b = AnySegment(AnyStream());
            if (!d->CanMatchStreams(a, b)) return "no match";
            CNode* unit = d->AddHeatExchanger(a, b, "random", nullptr, nullptr);
            if (unit && Pick(2)) unit->addVariable(NodeValue::Duty, 5.0 + Pick(40), ValueStatus::Specified);
            return unit ? "add" : "add refused";
        }
        case 1: {
            CNode* splitter = nullptr;
            CNode* a = AnySegment(AnyStream());
            // One branch: the chain check follows a splitter's first branch only.
            return d->AddSplitterMixer(a, a, splitter, "random", 1) ? "splitter" : "no splitter";
        }
        case 2:
            if (x) x->addVariable("SpecStatus", 2.0, ValueStatus::Specified);
            d->AddMissingUtilities();
            return "missing utilities";
        case 3:
            d->AddUtilitiesAtStreamEnds();
            return "stream ends";
        case 4:
            d->RemoveRemovableUtilitiesAtPorts();
            return "untie";
        case 5:
            d->RemoveUtilitiesAfterMixers();
            return "after mixers";
        case 6:
            d->SetSplitFractionsFromDuties();
            d->SetSplitFractionsFromBranchDuties();
            return "fractions";
        case 7:
            d->RemoveSingleBranchSplitters();
            return "single branches";
        case 8:
            d->UpdateStreamTerminals();
            return "terminals";
        case 9:
            d->MakeNetworkFeasible(Pick(2) ? x : nullptr);
            return "feasible";
        case 10: {
            CNode* utility = Pick(2) ? d->GetHeater(Pick(d->GetNumberOfHeaters() + 1))
                                     : d->GetCooler(Pick(d->GetNumberOfCoolers() + 1));
            return d->MoveUtilityToStreamEnd(utility, Pick(2) ? "ST" : "CW", "random") ? "moved" : "not moved";
        }
        case 11:
            return x && d->RenameUnit("R-" + std::to_string(Pick(50)), x) ? "renamed" : "not renamed";
        default:
            d->SetDTMinFromNetwork();
            d->SetExchangerDTMinsFromApproach(5.0);
            d->LowerNamedExchangerDuty();
            return "specifications";
        }
    }
};

class PlacementRandomEdits : public ::testing::TestWithParam<unsigned> {};

}  // namespace

TEST_P(PlacementRandomEdits, EveryPassKeepsTheFlowsheetInChainForm) {
    PlacementNetwork n(GetParam());
    for (int attempt = 0; attempt < 1000 && n.d->GetNumberOfHeatExchangers() < 30; ++attempt) {
        CNode* a = n.AnySegment(n.AnyStream());
        CNode* b = n.AnySegment(n.AnyStream());
        if (!n.d->CanMatchStreams(a, b)) continue;
        CNode* unit = n.d->AddHeatExchanger(a, b, "random", nullptr, nullptr);
        ASSERT_TRUE(unit);
        if (n.Pick(2)) unit->addVariable(NodeValue::Duty, 5.0 + n.Pick(40), ValueStatus::Specified);
    }
    ASSERT_EQ(StructuralFault(*n.d), "");
    for (int step = 0; step < 120; ++step) {
        const std::string pass = n.Pass();
        ASSERT_EQ(StructuralFault(*n.d), "") << "after step " << step << ": " << pass;
    }
    n.d->AddDummyUtilitiesForExtraction();
    EXPECT_EQ(StructuralFault(*n.d), "");
}

INSTANTIATE_TEST_SUITE_P(Seeds, PlacementRandomEdits, ::testing::Values(3u, 11u, 2026u));
