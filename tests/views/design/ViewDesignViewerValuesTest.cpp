// The design viewer's numbers: each row list reaches the exchanger its row stands for and the
// value the row names, a viewer without a design answers empty, variables no row names go to
// the framework, and the worked figures (pinch positions, event kinds, utility flow).
#include "eng/design/IHENDesign.h"
#include "lumeth/FormDescription.h"
#include "tests/views/design/DesignViewerTestSupport.h"
#include "views/design/DesignValueRows.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using design_viewer_test::ViewerNetwork;
using L = HIDesignViewerDesign::ValueRow::List;

// The value names the wiring cases read, each set on every exchanger i as 10 (i + 1) + k.
const char* const kNames[] = {"Duty", "MaxSpareArea", "TubeSideHTC", "CapitalCost", "TotalNShells",
                              "HXFoulingFactor", "HTArea", "MaxDuty", "LMTD"};

double marked(int exchanger, const char* name) {
    for (int k = 0; k < 9; ++k)
        if (std::string(kNames[k]) == name) return 10.0 * (exchanger + 1) + k;
    return -1.0;
}

struct WiringCase {
    int type, number, row;
    L list;
    int exchanger;  // -2: the unconfigured-list or stream look-up decides (checked through it)
    const char* value;
};

std::ostream& operator<<(std::ostream& os, const WiringCase& c) { return os << c.type << "." << c.number << "[" << c.row << "]"; }

class ViewDesignViewerValueWiring : public ::testing::TestWithParam<WiringCase> {};

// Units: 0 process H1/C1, 1 heater ST/C2, 2 cooler H2/CW, 3 process H2/C2; the filter shows the
// process exchangers only, so filtered row 1 is exchanger 3 and direct row 1 the heater.
TEST_P(ViewDesignViewerValueWiring, ARowReachesItsExchangerAndValue) {
    ViewerNetwork n;
    n.Units("phcp");
    auto viewer = n.Viewer();
    viewer->nFilterHeaters = 0;
    viewer->nFilterCoolers = 0;
    for (int i = 0; i < 4; ++i) {
        CNode* unit = nullptr;
        ASSERT_TRUE(n.d->GetHeatExchanger(i, unit));
        for (const char* name : kNames)
            if (std::string(name) != "HTArea") unit->addVariable(name, marked(i, name), 2);
        // Only the cooler has its area specified.
        unit->addVariable("HTArea", marked(i, "HTArea"), i == 2 ? 1 : 2);
    }
    const WiringCase& c = GetParam();
    int expected = c.exchanger;
    if (c.list == L::Configured) expected = viewer->GetConfiguredExchangerIndex(c.row);
    if (c.list == L::OnStream) {
        viewer->strSelectedStream = "C2";
        CNode* unit = nullptr;
        ASSERT_TRUE(n.d->GetUnitOnStream("C2", c.row, unit));
        for (int i = 0; i < 4; ++i) {
            CNode* at = nullptr;
            if (n.d->GetHeatExchanger(i, at) && at == unit) expected = i;
        }
    }
    VarDescription var(c.type, c.number);
    var.SetOffset(0, c.row);
    EXPECT_DOUBLE_EQ(marked(expected, c.value), viewer->Value(var));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ViewDesignViewerValueWiring,
    ::testing::Values(WiringCase{6, 304, 1, L::Filtered, 3, "Duty"}, WiringCase{6, 304, 0, L::Filtered, 0, "Duty"},
                      WiringCase{6, 304, 7, L::Filtered, 3, "Duty"},  // past the end: the last exchanger
                      WiringCase{1519, 302, 1, L::Filtered, 3, "TotalNShells"},
                      WiringCase{4101, 500, 1, L::Filtered, 3, "HXFoulingFactor"},
                      WiringCase{1508, 220, 1, L::Direct, 1, "MaxSpareArea"},
                      WiringCase{1519, 709, 2, L::Direct, 2, "TotalNShells"},
                      WiringCase{1524, 501, 0, L::AreaSpecified, 2, "TubeSideHTC"},
                      WiringCase{1508, 306, 0, L::AreaSpecified, 2, "HTArea"},
                      WiringCase{6, 318, 0, L::UnconfiguredCooler, 2, "Duty"},
                      WiringCase{6, 319, 0, L::UnconfiguredHeater, 1, "Duty"},
                      WiringCase{6, 308, 0, L::Configured, -2, "MaxDuty"},
                      WiringCase{31000, 712, 0, L::New, 0, "CapitalCost"},
                      WiringCase{1517, 703, 1, L::New, 1, "LMTD"},
                      WiringCase{1508, 769, 0, L::OnStream, -2, "HTArea"},
                      WiringCase{6, 767, 1, L::OnStream, -2, "Duty"}));

TEST(ViewDesignViewerValues, WithoutADesignEveryRowIsEmpty) {
    ViewerNetwork n;
    n.Units("phcp");
    auto viewer = n.Viewer(false);
    for (const auto& row : HIDesignViewerDesign::ValueRows()) {
        VarDescription var;
        ASSERT_TRUE(VarDescription::Parse(row.Address(), var)) << row.Address();
        EXPECT_EQ(Viewable::EmptyValue, viewer->Value(var)) << row.Address();
    }
}

TEST(ViewDesignViewerValues, RowsAreListedOnceAndUnnamedPairsGoToTheFramework) {
    std::set<std::string> seen;
    for (const auto& row : HIDesignViewerDesign::ValueRows())
        EXPECT_TRUE(seen.insert(row.Address()).second) << "listed twice: " << row.Address();
    FormDescription form;
    HIDesignViewerDesign::LoadVariables(form);
    std::set<std::string> described;
    for (const FormVariable& v : form.Variables()) EXPECT_TRUE(described.insert(v.address).second) << v.address;
    for (const std::string& address : seen) EXPECT_TRUE(described.count(address)) << address;

    ViewerNetwork n;
    n.Units("p");
    auto viewer = n.Viewer();
    const VarDescription unnamed(1519, 4242);
    EXPECT_EQ(viewer->Viewable::Value(unnamed), viewer->Value(unnamed));
}

TEST(ViewDesignViewerValues, ASortedReadOfThePinchPositionSetsTheSortColumn) {
    ViewerNetwork n;
    n.Units("pp");
    auto viewer = n.Viewer();
    viewer->nCrossPinchSortColumn = 7;
    VarDescription hotSide(1519, 811);
    hotSide.SetOffset(0, 0);
    // The hot side carries H1, 170 -> 60, set against the design's hot pinch temperature.
    const double position = viewer->Value(hotSide);
    const double pinch = n.d->GetPinchPoint(0, std::max(0, viewer->GetDesignPinchIndex()));
    EXPECT_EQ(design_rows::PinchPosition(0, pinch, 170, 60), position);
    EXPECT_EQ(std::max(0, viewer->GetDesignPinchIndex()), viewer->nCrossPinchSortColumn);
}

TEST(ViewDesignViewerValues, ReadingTheCrossPinchLoadKeepsTheUsersAssignmentMethod) {
    ViewerNetwork n;
    n.Units("pp");
    auto viewer = n.Viewer();
    VarDescription load(6, 602);
    load.SetOffset(0, 1);
    for (int method : {1, 0}) {
        n.scenario->SetUtilityAssignmentMethod(method);
        viewer->nCrossPinchSortColumn = 5;
        viewer->Value(load);
        EXPECT_EQ(method, n.scenario->GetUtilityAssignmentMethod());
        EXPECT_EQ(std::max(0, viewer->GetDesignPinchIndex()), viewer->nCrossPinchSortColumn);
    }
}

struct PinchCase {
    int side;
    double pinch, supply, target;
    int position;
};
void PrintTo(const PinchCase& c, std::ostream* os) {
    *os << "side " << c.side << ", pinch " << c.pinch << " C, " << c.supply << "->" << c.target << " C: position "
        << c.position;
}

class ViewDesignViewerPinchPosition : public ::testing::TestWithParam<PinchCase> {};

TEST_P(ViewDesignViewerPinchPosition, StreamsLieBelowAboveOrAcross) {
    const PinchCase& c = GetParam();
    EXPECT_EQ(c.position, design_rows::PinchPosition(c.side, c.pinch, c.supply, c.target));
}

// Hot pinch 150: 200->100 across, 140->120 below, 150->x on the pinch counts as below, 200->160
// above. Cold pinch 140: 100->180 across, 100->130 below, 145->180 above.
INSTANTIATE_TEST_SUITE_P(Worked, ViewDesignViewerPinchPosition,
                         ::testing::Values(PinchCase{0, 150, 200, 100, 2}, PinchCase{0, 150, 140, 120, 0},
                                           PinchCase{0, 150, 150, 90, 0}, PinchCase{0, 150, 200, 160, 1},
                                           PinchCase{0, 150, 150.001, 150, 1}, PinchCase{0, 150, 150.00005, 120, 0},
                                           PinchCase{1, 140, 100, 180, 2}, PinchCase{1, 140, 100, 130, 0},
                                           PinchCase{1, 140, 145, 180, 1}, PinchCase{1, 140, 140, 180, 1}));

TEST(ViewDesignViewerValues, EventKindsAndUtilityFlow) {
    const int expected[] = {0, 0, 0, 1, 0, 0, 1, 1, 2};
    for (int kind = 0; kind <= 8; ++kind) EXPECT_EQ(expected[kind], design_rows::EventKindClass(kind)) << kind;
    EXPECT_EQ(2, design_rows::EventKindClass(HIDesignViewerDesign::EmptyInt));
    // 1000 kW over 200 -> 180 with a specific heat of 4.0 needs 12.5.
    EXPECT_DOUBLE_EQ(12.5, design_rows::RequiredFlow(1000, 4.0, 200, 180, 99));
    EXPECT_DOUBLE_EQ(12.5, design_rows::RequiredFlow(1000, 4.0, 180, 200, 99));
    EXPECT_DOUBLE_EQ(99, design_rows::RequiredFlow(1000, 0.0, 200, 180, 99));
    EXPECT_DOUBLE_EQ(99, design_rows::RequiredFlow(1000, 4.0, 180, 180, 99));

    ViewerNetwork n;
    n.Units("p");
    auto viewer = n.Viewer();
    for (int kind : {3, 5, HIDesignViewerDesign::EmptyInt}) {
        viewer->nEventKind = kind;
        EXPECT_DOUBLE_EQ(design_rows::EventKindClass(kind), viewer->Value(VarDescription(100, 800))) << kind;
    }
}

}  // namespace
