// The exchanger view's candidate hot streams: the duty each could take over from the exchanger's
// cold stream, worked by hand; the ranking and its row count; re-ranking when a stream comes.
#include "tests/views/design/DesignViewerTestSupport.h"
#include "views/design/HeatExchangerView.h"

#include <gtest/gtest.h>

namespace {

constexpr double E = Viewable::EmptyValue;

struct Worked {
    const char* what;
    double supply, target, load;
    double outlet, duty, coldOutlet;
};

std::ostream& operator<<(std::ostream& os, const Worked& w) { return os << w.what; }

class ViewHeatExchangerCandidate : public ::testing::TestWithParam<Worked> {};

// The cold stream: 100 kW from 50 to 150; DTmin 10.
TEST_P(ViewHeatExchangerCandidate, TakesOverWhatItCan) {
    const Worked& w = GetParam();
    const auto c = HeatExchangerView::EvaluateCandidate(w.supply, w.target, w.load, 100.0, 50.0, 150.0, 10.0);
    EXPECT_DOUBLE_EQ(w.outlet, c.outlet);
    EXPECT_DOUBLE_EQ(w.duty, c.duty);
    EXPECT_DOUBLE_EQ(w.coldOutlet, c.coldOutlet);
}

INSTANTIATE_TEST_SUITE_P(
    ByHand, ViewHeatExchangerCandidate,
    ::testing::Values(
        // T = 200 - 100/200 x 100 = 150, above 50 + 10: the whole load, the cold stream reaches 150.
        Worked{"200 to 100, 200 kW", 200, 100, 200, 150, 100, 150},
        // T = 200 - 100/50 x 100 = 0: held at max(60, 100) = 100, all its 50 kW; cold out 100.
        Worked{"200 to 100, 50 kW", 200, 100, 50, 100, 50, 100},
        Worked{"120 to 80, 100 kW", 120, 80, 100, 80, 100, 150},
        // T = 55 - 100/30 x 15 = 5: held at 60, above its own supply: nothing to give.
        Worked{"55 to 40, 30 kW", 55, 40, 30, 60, 0, 50},
        // Nothing to give and no span to give it over: no temperatures at all.
        Worked{"no load", 200, 100, 0, E, 0, E}, Worked{"no span", 120, 120, 50, E, 0, E}));

TEST(ViewHeatExchangerCandidates, AColdStreamWithoutLoadGivesNoColdOutlet) {
    const auto c = HeatExchangerView::EvaluateCandidate(200, 100, 200, 0.0, 50.0, 50.0, 10.0);
    EXPECT_EQ(200.0, c.outlet);
    EXPECT_EQ(0.0, c.duty);
    EXPECT_EQ(E, c.coldOutlet);
}

// The same numbers through a scenario: the exchanger matches A with the cold stream C.
TEST(ViewHeatExchangerCandidates, RankByDutyDropTheZerosAndRankAgainForANewStream) {
    design_test::DesignScenario s;
    s.Add("A", 200, 100, 2.0);   // 200 kW
    s.Add("B", 200, 100, 0.5);   // 50 kW
    s.Add("D", 120, 80, 2.5);    // 100 kW
    s.Add("F", 55, 40, 2.0);     // 30 kW
    s.Add("C", 50, 150, 1.0);    // the cold stream, 100 kW
    s.scenario->SetDTmin(10.0);
    CPIHENDesign* d = s.Design("D1");
    ASSERT_NE(nullptr, d);
    CNode* unit = d->AddHeatExchanger(design_test::NthSegment(*d, "A", 0), design_test::NthSegment(*d, "C", 0), nullptr,
                                      nullptr, nullptr);
    ASSERT_NE(nullptr, unit);
    auto viewer = std::make_unique<HIDesignViewerDesign>(nullptr, "D1",
                                                         ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
    viewer->SetScenario(s.scenario.get());
    viewer->SetEngineeringDesign(d, false);
    auto* view = dynamic_cast<HeatExchangerView*>(viewer->GetEquipmentView(unit));
    ASSERT_NE(nullptr, view);

    DimInfo dims;
    ASSERT_EQ(1, view->Dimensions(VarDescription(1519, 570), dims));
    EXPECT_EQ(3, dims.Dim(0)) << "F gives nothing and drops out";
    auto row = [&](int type, int number, int i) {
        VarDescription v(type, number);
        v.SetOffset(0, i);
        return type == 1519 ? 0.0 : view->Value(v);
    };
    auto name = [&](int i) {
        VarDescription v(1519, 570);
        v.SetOffset(0, i);
        return view->TextValue(v);
    };
    // A and D both take the whole 100 kW; B its 50 kW; F last.
    EXPECT_EQ(Text("A"), name(0));
    EXPECT_EQ(Text("D"), name(1));
    EXPECT_EQ(Text("B"), name(2));
    EXPECT_EQ(Text("F"), name(3));
    const double expected[3][6] = {{200, 100, 150, 150, 200, 100}, {120, 80, 80, 150, 100, 100}, {200, 100, 100, 100, 50, 50}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_DOUBLE_EQ(expected[i][0], row(1, 570, i));
        EXPECT_DOUBLE_EQ(expected[i][1], row(1, 571, i));
        EXPECT_DOUBLE_EQ(expected[i][2], row(1, 572, i));
        EXPECT_DOUBLE_EQ(expected[i][3], row(1, 573, i));
        EXPECT_DOUBLE_EQ(expected[i][4], row(6, 570, i));
        EXPECT_DOUBLE_EQ(expected[i][5], row(6, 572, i));
    }
    EXPECT_EQ(E, row(6, 572, 7));
    EXPECT_EQ(Text(), name(7));

    // G (100 to 20, 80 kW): held at 60, it gives 40 kW and ranks after B.
    s.Add("G", 100, 20, 1.0);
    EXPECT_EQ(Text("G"), name(3)) << "the count changed: ranked again";
    dims.Clear();
    ASSERT_EQ(1, view->Dimensions(VarDescription(1519, 570), dims));
    EXPECT_EQ(4, dims.Dim(0));
    EXPECT_DOUBLE_EQ(40.0, row(6, 572, 3));
}

}  // namespace
