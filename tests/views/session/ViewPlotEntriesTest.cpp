// The plot entry of the host on the area over heat demand curve: the curve is each range-target
// point's hot-utility target against its shell-and-tube area target, read through the range-target
// plot of a scenario viewer bound for the call; a point without an area breaks the curve; the
// designs are their own points; the viewer leaves the scenario as it found it.
#include "lumeth/Session.h"
#include "tests/eng/model/ScenarioTestDoubles.h"
#include "views/session/PlotEntries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using scenario_test::FakeDesignFactory;

// A scenario whose range-target points are set by the test: value k of point p is values[p][k - 1].
class RangeScenario : public CPIScenario {
public:
    explicit RangeScenario(ScenarioServices services) : CPIScenario(nullptr, services) {}
    int GetNumberOfSuperTargetPoints() const override { return static_cast<int>(values.size()); }
    double PointTargetValue(int p, int k) const override {
        if (p < 0 || p >= GetNumberOfSuperTargetPoints() || k < 1 || k > 11) return 0.0;
        return values[static_cast<std::size_t>(p)][static_cast<std::size_t>(k - 1)];
    }
    bool HasSuperTargetResults() const override { return !values.empty(); }
    std::vector<std::vector<double>> values;
};

std::string text(IHeatIntegrationScenario* scenario, int graph, int what) {
    const int needed = KestrinScenarioPlot(scenario, graph, what, nullptr, 0);
    if (needed <= 0) return std::string();
    std::vector<char> out(static_cast<std::size_t>(needed));
    EXPECT_EQ(needed, KestrinScenarioPlot(scenario, graph, what, out.data(), needed));
    return std::string(out.data());
}

// The points of data set n in the JSON text of a plot, as written.
std::string pointsOf(const std::string& json, int n) {
    const std::size_t set = json.find("{\"number\":" + std::to_string(n) + ",");
    if (set == std::string::npos) return "absent";
    const std::size_t from = json.find("\"points\":[", set) + 10;
    int depth = 1;
    std::size_t to = from;
    for (; to < json.size() && depth > 0; ++to) depth += json[to] == '[' ? 1 : json[to] == ']' ? -1 : 0;
    return json.substr(from, to - from - 1);
}

class ViewPlotEntries : public ::testing::Test {
protected:
    ViewPlotEntries() {
        Session::Instance().Reset();
        ScenarioServices services;
        services.designs = designs;
        scenario = std::make_unique<RangeScenario>(services);
        scenario->SetName("Base");
        // Four points with hot utility 0, 10, 20, 30 kW and shell-and-tube areas 400, 399, 398,
        // 397 m2; the countercurrent area and the cold utility are apart from them, so a swapped
        // variable shows; the fifth point has no area and breaks the curve.
        for (int p = 0; p < 4; ++p)
            scenario->values.push_back({5.0 * (p + 1), 10.0 * p, 40.0 + 10.0 * p, 300.0 - p, 400.0 - p, 7, 20,
                                        1000.0 + p, 50.0 + p, 500.0 + p, 0});
        scenario->values.push_back({25.0, 40.0, 80.0, 0, 0, 0, 0, 0, 0, 0, 0});
    }
    ~ViewPlotEntries() override { Session::Instance().Reset(); }
    std::shared_ptr<FakeDesignFactory> designs = std::make_shared<FakeDesignFactory>();
    std::unique_ptr<RangeScenario> scenario;
};

TEST_F(ViewPlotEntries, AreaOverHeatDemandIsHotUtilityAgainstShellAndTubeAreaOfTheRangeTargets) {
    const std::string json = text(scenario.get(), 12, 1);
    ASSERT_FALSE(json.empty());
    EXPECT_NE(std::string::npos, json.find("\"title\":\"Area - Heat Demand Curve\"")) << json;
    EXPECT_NE(std::string::npos, json.find("{\"number\":1,\"label\":\"Area - Heat Demand Curve\",\"axis\":\"left\""))
        << json;
    EXPECT_EQ("[0,400],[10,399],[20,398],[30,397],null", pointsOf(json, 1)) << json;
    // The picture of the same curve is a data-set polyline of the four points.
    const std::string svg = text(scenario.get(), 12, 0);
    EXPECT_NE(std::string::npos, svg.find("class=\"plot-area\"")) << svg;
    EXPECT_NE(std::string::npos, svg.find("data-label=\"Area - Heat Demand Curve\"")) << svg;
}

TEST_F(ViewPlotEntries, EachDesignIsAPointAndTheScenarioIsLeftWithoutTheViewer) {
    ASSERT_EQ(1, scenario->AddDesign("Design 1"));
    ASSERT_EQ(1, scenario->AddDesign("Design 2"));
    const std::string json = text(scenario.get(), 12, 1);
    EXPECT_NE(std::string::npos, json.find("{\"number\":2,\"label\":\"Design 1\"")) << json;
    EXPECT_NE(std::string::npos, json.find("{\"number\":3,\"label\":\"Design 2\"")) << json;
    // The viewer of the call is gone: the scenario's next change reaches no one, and a second
    // call draws the same picture.
    ASSERT_EQ(1, scenario->AddDesign("Design 3"));
    const std::string again = text(scenario.get(), 12, 1);
    EXPECT_NE(std::string::npos, again.find("{\"number\":4,\"label\":\"Design 3\"")) << again;
    EXPECT_EQ(pointsOf(json, 1), pointsOf(again, 1));
    // The other graphs read the scenario without a viewer: the alpha curve is the operating cost
    // (per second inside, 31 536 000 s a year on the axis) against the capital cost.
    EXPECT_EQ("[1576800000,1000],[1608336000,1001],[1639872000,1002],[1671408000,1003],null",
              pointsOf(text(scenario.get(), 11, 1), 1));
}

TEST_F(ViewPlotEntries, NoScenarioOrNoGraphDrawsNothing) {
    EXPECT_EQ(0, KestrinScenarioPlot(nullptr, 12, 0, nullptr, 0));
    EXPECT_EQ(0, KestrinScenarioPlot(scenario.get(), 15, 0, nullptr, 0));
    EXPECT_EQ(0, KestrinScenarioPlot(scenario.get(), 17, 0, nullptr, 0));
}

}  // namespace
