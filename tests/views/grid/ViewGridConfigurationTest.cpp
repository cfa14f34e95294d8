// Stream order of the grid diagram's presets, the stacking of its lines and the cutting of names.
#include "views/grid/HENDiagram.h"
#include "views/grid/HENDiagramConfiguration.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct S {
    const char* name;
    double supply, target, load;
    bool cold, process;
};

struct ArrangeCase {
    const char* className;
    std::vector<S> streams;
    std::vector<std::string> order;    // after arranging
    std::vector<bool> visible;         // in that order
};
void PrintTo(const ArrangeCase& c, std::ostream* os) {
    *os << c.className;
}

class ViewGridArrange : public ::testing::TestWithParam<ArrangeCase> {};

TEST_P(ViewGridArrange, PresetsOrderByCategoryThenTheirKey) {
    auto c = HENDiagramConfiguration::Create(GetParam().className);
    for (const S& s : GetParam().streams) {
        StreamVisibilityEntry& e = c->AddStream(s.name);
        e.supplyTemperature = s.supply, e.targetTemperature = s.target, e.heatLoad = s.load;
        e.cold = s.cold, e.process = s.process;
    }
    c->ArrangeStreams();
    ASSERT_EQ(GetParam().order.size(), c->streams.size());
    for (std::size_t i = 0; i < c->streams.size(); ++i) {
        EXPECT_EQ(GetParam().order[i], c->streams[i].name) << i;
        EXPECT_EQ(GetParam().visible[i], c->streams[i].visible) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Presets, ViewGridArrange,
    ::testing::Values(
        // Equal temperatures are never exchanged: B stays before A once C has taken the front.
        ArrangeCase{"TemperatureDefault",
                    {{"A", 100, 50, 1, false, true}, {"B", 100, 50, 1, false, true}, {"C", 200, 50, 1, false, true}},
                    {"C", "B", "A"},
                    {true, true, true}},
        // Cold utilities first, then hot process streams by supply temperature.
        ArrangeCase{"TemperatureDefault",
                    {{"H150", 150, 40, 1, false, true}, {"CW", 20, 30, 0, true, false}, {"H200", 200, 40, 1, false, true}},
                    {"CW", "H200", "H150"},
                    {true, true, true}},
        // Utilities end hidden under a process-only preset; load orders inside the category.
        ArrangeCase{"OnlyProcessDefaultHeatLoad",
                    {{"Steam", 250, 249, 0, false, false}, {"H1", 170, 60, 330, false, true},
                     {"H2", 150, 30, 180, false, true}, {"C1", 20, 135, 230, true, true}},
                    {"H1", "H2", "C1", "Steam"},
                    {true, true, true, false}},
        ArrangeCase{"AlphabeticalDefault",
                    {{"b2", 100, 50, 1, false, true}, {"A1", 100, 50, 1, false, true}, {"a3", 100, 50, 1, false, true}},
                    {"A1", "a3", "b2"},
                    {true, true, true}},
        // A user configuration keeps its order.
        ArrangeCase{"Mine",
                    {{"C1", 20, 135, 1, true, true}, {"H1", 170, 60, 1, false, true}},
                    {"C1", "H1"},
                    {true, true}},
        ArrangeCase{"TemperatureDefault", {}, {}, {}}));

TEST(ViewGridStacking, LinesStackWithGapsAndAWiderGapBeforeUtilities) {
    double height = 0.0;
    const auto tops = StackStreamLines({{30, 60, true}, {30, 60, true}, {30, 60, false}}, height);
    ASSERT_EQ(3u, tops.size());
    EXPECT_DOUBLE_EQ(80.0, tops[0]);
    EXPECT_DOUBLE_EQ(270.0, tops[1]);
    EXPECT_DOUBLE_EQ(620.0, tops[2]);
    EXPECT_DOUBLE_EQ(780.0, height);
    EXPECT_TRUE(StackStreamLines({}, height).empty());
    EXPECT_DOUBLE_EQ(50.0, height);
}

TEST(ViewGridLabels, NamesAreCutWithAnEllipsisCountedAsOneCharacter) {
    HENDiagram diagram;
    EXPECT_EQ("Lon\xE2\x80\xA6", diagram.FitText("LongName", 30.0));
    EXPECT_EQ("LongName", diagram.FitText("LongName", 56.0));
    EXPECT_EQ("X", diagram.FitText("X", 1.0));
    EXPECT_EQ(0, CompareNamesIgnoringCase("Steam", "sTEAM"));
    EXPECT_LT(CompareNamesIgnoringCase("a3", "B2"), 0);
}

}  // namespace
