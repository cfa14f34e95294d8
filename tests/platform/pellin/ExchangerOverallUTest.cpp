// The overall-coefficient switches of the exchanger: the area that a given coefficient needs,
// and when it cannot be had.
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "tests/support/FlowsheetTestStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

namespace V = NodeValue;

// Hot 150 -> 66.667 and cold 50 -> 133.333 with CP 10 on both sides and a duty of 833.33: both
// ends approach by 16.667, so U 0.5 needs 833.33 / (0.5 x 16.667) = 100 and U 1.0 needs 50.
struct Exchanger {
    FlowsheetTestStream hot{"H", {400, 0}, {10}, {}}, cold{"C", {0, 400}, {10}, {}};
    FlowSheet sheet;
    HeatExch* x = nullptr;
    Exchanger() {
        auto seg = [&](const char* name, FlowsheetTestStream& s) {
            return AsStreamNode(sheet.addNode(FlowSheet::CreateNode(NodeKind::MaterialStream, name, &s)));
        };
        StreamNode* ports[4] = {seg("hi", hot), seg("ho", hot), seg("ci", cold), seg("co", cold)};
        x = AsHeatExch(sheet.addNode(FlowSheet::CreateNode(NodeKind::CountercurrentHX, "E-100")));
        for (int p = 0; p < 4; ++p) EXPECT_TRUE(sheet.connectToPort(x, p, ports[p]));
        ports[0]->addVariable(V::Temperature, 150.0, 1);
        ports[2]->addVariable(V::Temperature, 50.0, 1);
        x->addVariable(V::Duty, 833.33, 1);
        x->addVariable(V::OverallHTC, 0.5, 1);
        x->Calculate(UnitCode::Calculate);
    }
    double area() const {
        double a = std::nan("");
        x->getVariableAsDouble(V::HTArea, a);
        return a;
    }
};

struct FromU {
    double u;
    int uStatus;
    double givenArea;  // < 0: the area is left as calculated
    bool switchOn;
    bool written;
    double area;
};
void PrintTo(const FromU& c, std::ostream* os) {
    *os << "U " << c.u << ", status " << c.uStatus << (c.switchOn ? ", switch on" : ", switch off") << ": area "
        << c.area << " m2";
}

class ExchangerAreaFromOverallU : public ::testing::TestWithParam<FromU> {};

TEST_P(ExchangerAreaFromOverallU, FollowsTheGivenCoefficientOnly) {
    const FromU c = GetParam();
    Exchanger e;
    ASSERT_NEAR(e.area(), 100.0, 0.01);
    e.x->addVariable(V::OverallHTC, c.u, c.uStatus);
    if (c.givenArea >= 0.0) e.x->addVariable(V::HTArea, c.givenArea, ValueStatus::Specified, 1);
    e.x->SetOverallUSpec(c.switchOn);
    EXPECT_EQ(c.written, e.x->calculateAreaFromOverallU() > 0);
    EXPECT_NEAR(c.area, e.area(), 0.01);
    // The coefficient stays as given.
    double u = 0.0;
    ASSERT_TRUE(e.x->getVariableAsDouble(V::OverallHTC, u));
    EXPECT_DOUBLE_EQ(c.u, u);
    if (c.written) {
        EXPECT_NE(ValueStatus::Specified, e.x->getVariableStatus(V::HTArea));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExchangerAreaFromOverallU,
    ::testing::Values(FromU{1.0, ValueStatus::Specified, -1.0, false, true, 50.0},
                      // A given area gives way to the coefficient.
                      FromU{0.5, ValueStatus::Specified, 60.0, false, true, 100.0},
                      // A coefficient that is only calculated, or not above 0, decides nothing...
                      FromU{1.0, ValueStatus::Calculated, -1.0, false, false, 100.0},
                      FromU{0.0, ValueStatus::Specified, -1.0, true, false, 100.0},
                      // ... unless the switch says the coefficient is given (a simulator's).
                      FromU{1.0, ValueStatus::Open, -1.0, true, true, 50.0}));

TEST(ExchangerOverallUSwitches, AreKeptInTheNodesValuesSoACopyKeepsThem) {
    Exchanger e;
    EXPECT_FALSE(e.x->GetOverallUSpec());
    e.x->SetOverallUSpec(true);
    e.x->SetSimOverallUSpec(true);
    e.x->SetSimOverallUSpec(false);
    std::unique_ptr<FlowSheet> copy = e.sheet.clone(nullptr);
    ASSERT_NE(nullptr, copy);
    HeatExch* x = AsHeatExch(copy->getNode("E-100"));
    ASSERT_NE(nullptr, x);
    EXPECT_TRUE(x->GetOverallUSpec());
    EXPECT_FALSE(x->GetSimOverallUSpec());
    EXPECT_EQ(ValueStatus::Specified, x->getVariableStatus("OverallUSpec"));
}

}  // namespace
