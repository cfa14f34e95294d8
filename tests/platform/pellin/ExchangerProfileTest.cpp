// The exchanger's temperature-enthalpy profile against a profile worked by hand, its orientation
// checks, the change of model and the reason of an infeasible exchange.
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "tests/support/FlowsheetTestStream.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

namespace V = NodeValue;

struct ProfileExchanger {
    FlowsheetTestStream hot, cold;
    FlowSheet sheet;
    StreamNode *hi, *ho, *ci, *co;
    HeatExch* x;

    ProfileExchanger(FlowsheetTestStream h, FlowsheetTestStream c) : hot(std::move(h)), cold(std::move(c)) {
        auto seg = [&](const char* name, FlowsheetTestStream& s) {
            return AsStreamNode(sheet.addNode(FlowSheet::CreateNode(NodeKind::MaterialStream, name, &s)));
        };
        hi = seg("hi", hot);
        ho = seg("ho", hot);
        ci = seg("ci", cold);
        co = seg("co", cold);
        x = AsHeatExch(sheet.addNode(FlowSheet::CreateNode(NodeKind::CountercurrentHX, "E-1")));
        EXPECT_TRUE(sheet.connectToPort(x, ExchangerPort::HotSideFeed, hi));
        EXPECT_TRUE(sheet.connectToPort(x, ExchangerPort::HotSideProduct, ho));
        EXPECT_TRUE(sheet.connectToPort(x, ExchangerPort::ColdSideFeed, ci));
        EXPECT_TRUE(sheet.connectToPort(x, ExchangerPort::ColdSideProduct, co));
    }
    std::vector<double> array(const char* name) const {
        std::vector<double> out;
        for (int i = 0; i < x->GetTHArrayLength(name); ++i) {
            double v = 0.0;
            EXPECT_TRUE(x->GetTHArrayData(name, i, v));
            out.push_back(v);
        }
        return out;
    }
};

// Hot CP 10 from 150; cold from 50 with CP 10 up to 100 and 20 above; duty 800. The cold side
// takes 500 kW up to its break at 100 and the other 300 kW over 15 degrees (out at 115); the hot
// side gives 800 kW over 80 degrees (out at 70). The profile breaks where the cold stream does:
// at 500 kW the hot side stands at 70 + 50 = 120. The hot inlet sits beside the cold outlet.
TEST(ExchangerProfile, BreaksAtTheStreamPointsAndRunsCountercurrent) {
    ProfileExchanger e(FlowsheetTestStream("H", {400, 0}, {10}), FlowsheetTestStream("C", {0, 100, 400}, {10, 20}));
    e.hi->addVariable(V::Temperature, 150.0, 1);
    e.ci->addVariable(V::Temperature, 50.0, 1);
    e.x->addVariable(V::Duty, 800.0, 1);
    e.x->Calculate(UnitCode::Calculate);
    ASSERT_EQ(3, e.x->RefreshTHProfile());
    const std::vector<double> h = e.array("EnthalpyArray"), hot = e.array("HotTempArray"), cold = e.array("ColdTempArray");
    const double wantH[] = {0.0, 500.0, 800.0}, wantHot[] = {70.0, 120.0, 150.0}, wantCold[] = {50.0, 100.0, 115.0};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(wantH[i], h[i], 1e-9) << i;
        EXPECT_NEAR(wantHot[i], hot[i], 1e-9) << i;
        EXPECT_NEAR(wantCold[i], cold[i], 1e-9) << i;
    }
    EXPECT_EQ(0, e.x->GetTHArrayLength("CrossPinchLoads"));
    double v = 0.0;
    EXPECT_FALSE(e.x->GetTHArrayData("HotTempArray", 3, v));
    EXPECT_FALSE(e.x->GetTHArrayData("HotTempArray", -1, v));

    // Without a duty there is no profile, and the old one is gone.
    e.x->Calculate(UnitCode::ClearCalculated);
    e.x->addVariable(V::Duty, 0.0, 0);
    EXPECT_EQ(0, e.x->RefreshTHProfile());
    EXPECT_EQ(0, e.x->GetTHArrayLength("EnthalpyArray"));
}

struct Orientation {
    double thi, tho, tci, tco;
    bool hotReversed, coldReversed;
};
void PrintTo(const Orientation& c, std::ostream* os) {
    *os << "hot " << c.thi << "->" << c.tho << " C, cold " << c.tci << "->" << c.tco << " C";
}

class ExchangerOrientation : public ::testing::TestWithParam<Orientation> {};

TEST_P(ExchangerOrientation, ChecksEachSidesDirection) {
    const Orientation& c = GetParam();
    ProfileExchanger e(FlowsheetTestStream("H", {400, 0}, {10}), FlowsheetTestStream("C", {0, 400}, {10}));
    const double t[4] = {c.thi, c.tho, c.tci, c.tco};
    StreamNode* ports[4] = {e.hi, e.ho, e.ci, e.co};
    for (int i = 0; i < 4; ++i)
        if (t[i] != -1.0) ports[i]->addVariable(V::Temperature, t[i], 1);
    EXPECT_EQ(c.hotReversed, e.x->IsHotSideReversed());
    EXPECT_EQ(c.coldReversed, e.x->IsColdSideReversed());
}

INSTANTIATE_TEST_SUITE_P(Sides, ExchangerOrientation,
                         ::testing::Values(Orientation{150, 70, 50, 115, false, false},
                                           Orientation{70, 150, 50, 115, true, false},
                                           Orientation{150, 70, 115, 50, false, true},
                                           Orientation{70, 150, 115, 50, true, true},
                                           // A side with one temperature open is not reversed.
                                           Orientation{70, -1, 115, -1, false, false}));

TEST(ExchangerModelKind, SwitchesTheShellModelAndRefusesOtherKinds) {
    ProfileExchanger e(FlowsheetTestStream("H", {400, 0}, {10}), FlowsheetTestStream("C", {0, 400}, {10}));
    EXPECT_EQ(0, e.x->getHXType());
    EXPECT_TRUE(e.x->ChangeModelKind(NodeKind::HeatExchanger));
    EXPECT_EQ(1, e.x->getHXType());
    EXPECT_EQ(1, e.x->getVariableStatus(V::HXType));
    EXPECT_FALSE(e.x->ChangeModelKind(NodeKind::Tee));
    EXPECT_EQ(1, e.x->getHXType());
    EXPECT_TRUE(e.x->ChangeModelKind(NodeKind::CountercurrentHX));
    EXPECT_EQ(0, e.x->getHXType());
}

TEST(ExchangerInfeasibility, OnlyCrossedTemperaturesNameAReason) {
    ProfileExchanger e(FlowsheetTestStream("H", {400, 0}, {10}), FlowsheetTestStream("C", {0, 400}, {10}));
    e.hi->addVariable(V::Temperature, 150.0, 1);
    e.ci->addVariable(V::Temperature, 50.0, 1);
    e.x->addVariable(V::Duty, 500.0, 1);
    e.x->Calculate(UnitCode::Calculate);
    EXPECT_EQ(nullptr, e.x->InfeasibilityReasonKey());
    // 1500 kW would bring the hot side down to 0 and the cold side up to 200: they cross.
    e.x->Calculate(UnitCode::ClearCalculated);
    e.x->addVariable(V::Duty, 1500.0, 1);
    e.x->Calculate(UnitCode::Calculate);
    ASSERT_EQ(ExchangerStatus::Crossed, e.x->getStatus());
    EXPECT_STREQ("HXTemperatureCross", e.x->InfeasibilityReasonKey());
}

}  // namespace
