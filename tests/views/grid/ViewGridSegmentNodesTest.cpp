// Every segment of a stream's chain is drawn as exactly one line piece that knows its node, on
// lines drawn left to right and on lines drawn right to left, on the main line and on branches:
// a piece without its node has no fly-by, refuses drops and cannot name its branch.
#include "views/grid/HENDiagram.h"

#include "lumeth/Session.h"
#include "tests/eng/design/DesignTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>

namespace {

struct SegmentCase {
    const char* name;
    bool reverse;      // hot lines drawn right to left rather than cold ones
    bool splitCold;    // C split around its exchanger rather than H2 split alone
};

void PrintTo(const SegmentCase& c, std::ostream* out) { *out << c.name; }

class ViewGridSegmentNodes : public ::testing::TestWithParam<SegmentCase> {};

TEST_P(ViewGridSegmentNodes, EverySegmentIsOnePieceWithItsNode) {
    Session::Instance().Reset();
    design_test::DesignScenario s;
    s.Add("H", 150.0, 50.0, 1.0);
    s.Add("H2", 140.0, 60.0, 1.0);
    s.Add("C", 40.0, 120.0, 1.0);
    CPIHENDesign* d = s.Design("Segments");
    ASSERT_NE(nullptr, d->AddHeatExchanger(design_test::NthSegment(*d, "H", 0), design_test::NthSegment(*d, "C", 0),
                                           nullptr, nullptr, nullptr));
    const char* split = GetParam().splitCold ? "C" : "H2";
    CNode* tee = nullptr;
    ASSERT_TRUE(d->AddSplitterMixer(design_test::NthSegment(*d, split, 0),
                                    design_test::NthSegment(*d, split, GetParam().splitCold ? 1 : 0), tee, "split", 2));
    HENDiagram g;
    g.hideUtilityUnits = true;
    g.reverseDirection = GetParam().reverse;
    g.zoomMode = g.previousZoomMode = 2;
    g.SetDesign(d);

    std::map<const CNode*, int> drawn;
    int branchPieces = 0;
    for (const HENDNode* item : g.Items()) {
        auto* piece = dynamic_cast<const HENDStreamSegment*>(item);
        if (!piece) continue;
        EXPECT_NE(nullptr, piece->Node()) << piece->streamName << (piece->onBranch ? " branch" : " main");
        if (!piece->Node()) continue;
        ++drawn[piece->Node()];
        branchPieces += piece->onBranch;
        // A branch piece names its branch; the command must not go out with an empty name.
        if (piece->onBranch) {
            EXPECT_FALSE(piece->unitName.empty());
        }
    }
    EXPECT_GE(branchPieces, 2);
    for (const auto& [node, n] : drawn) EXPECT_EQ(1, n) << node->getName().c_str() << " drawn twice";
    // Each stream's outlet segment, the last before its product block, is drawn with its node.
    for (const char* stream : {"H", "H2", "C"}) {
        const std::vector<CNode*> chain = design_test::ChainNodes(*d, stream);
        ASSERT_GE(chain.size(), 3u) << stream;
        const CNode* outlet = chain[chain.size() - 2];
        ASSERT_EQ("s", design_test::Letter(outlet)) << stream;
        EXPECT_EQ(1, drawn.count(outlet)) << stream << " outlet " << outlet->getName().c_str();
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, ViewGridSegmentNodes,
                         ::testing::Values(SegmentCase{"HotSplitDrawnForward", false, false},
                                           SegmentCase{"HotSplitDrawnReversed", true, false},
                                           SegmentCase{"ColdSplitAroundAnExchanger", false, true},
                                           SegmentCase{"ColdSplitAroundAnExchangerReversed", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
