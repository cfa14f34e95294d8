// The design viewer's stream and network numbers, worked by hand on the textbook network: the
// process-stream list and its uncovered loads, the utility list, the streams on an exchanger's
// sides, the units on the selected stream, measurements and their weights, the cell colours and
// icons, the retrofit and cost figures, and the approach an exchanger without one takes.
#include "eng/design/IHENDesign.h"
#include "lumeth/Resources.h"
#include "pellin/HeatExch.h"
#include "tests/views/design/DesignViewerTestSupport.h"
#include "views/design/DesignValueRows.h"
#include "views/grid/HENDiagram.h"

#include <gtest/gtest.h>

namespace {

using design_viewer_test::ViewerNetwork;
constexpr double kEmpty = Viewable::EmptyValue;

double read(HIDesignViewerDesign& v, int type, int number, int row = 0, int second = 0) {
    VarDescription var(type, number);
    var.SetOffset(0, row);
    var.SetOffset(1, second);
    return v.Value(var);
}

CNode* exchanger(ViewerNetwork& n, int i) {
    CNode* unit = nullptr;
    return n.d->GetHeatExchanger(i, unit) ? unit : nullptr;
}

// Streams H1 170->60 (CP 3, 330), H2 150->30 (CP 1.5, 180), C1 20->135 (CP 2, 230),
// C2 80->140 (CP 4, 240); one exchanger H1/C1 carrying 100.
struct StreamCase {
    int mode, type, number, row;
    double expected;
};
void PrintTo(const StreamCase& c, std::ostream* os) {
    *os << "variable " << c.type << "." << c.number << ", mode " << c.mode << ", row " << c.row << ": "
        << c.expected;
}

class ViewDesignViewerStreamRows : public ::testing::TestWithParam<StreamCase> {};

TEST_P(ViewDesignViewerStreamRows, TheStreamListAnswersLoadsAndSides) {
    ViewerNetwork n;
    n.Units("p");
    ASSERT_TRUE(n.d->SpecifyExchangerValue(exchanger(n, 0), "Duty", 100.0));
    auto viewer = n.Viewer();
    const StreamCase& c = GetParam();
    viewer->nStreamListMode = c.mode;
    EXPECT_NEAR(c.expected, read(*viewer, c.type, c.number, c.row), 1e-9) << c.type << "." << c.number << "[" << c.row << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Worked, ViewDesignViewerStreamRows,
    ::testing::Values(StreamCase{1, 6, 301, 0, 330.0}, StreamCase{1, 6, 301, 3, 240.0},
                      StreamCase{1, 6, 300, 0, 230.0},                 // 330 - 100 still to cool
                      StreamCase{1, 1519, 299, 0, 100.0 * 230.0 / 330.0},
                      StreamCase{1, 1519, 299, 1, 100.0},              // H2 untouched
                      StreamCase{1, 104, 413, 1, 1.0}, StreamCase{1, 104, 413, 2, 0.0},
                      StreamCase{1, 104, 413, 4, kEmpty},              // past the list
                      StreamCase{2, 6, 301, 0, kEmpty},                // a mode the forms do not know
                      StreamCase{0, 6, 301, 3, 240.0},                 // every stream is short
                      StreamCase{1, 1, 613, 0, 170.0}, StreamCase{1, 1, 614, 0, 60.0},
                      StreamCase{1, 1, 615, 0, 20.0}, StreamCase{1, 1, 616, 0, 135.0},
                      StreamCase{1, 6, 603, 0, 330.0}, StreamCase{1, 6, 604, 0, 230.0},
                      StreamCase{1, 1, 752, 0, kEmpty}));

TEST(ViewDesignViewerStreamValues, UtilityRowsEndAtTheUtilityCountAndBecomeCurrent) {
    ViewerNetwork n;
    n.Units("phc");
    auto viewer = n.Viewer();
    // Steam and cooling water: two rows, the second the current stream after it is read.
    EXPECT_DOUBLE_EQ(n.d->GetUtilityLoad("ST"), read(*viewer, 6, 765, 0));
    EXPECT_DOUBLE_EQ(n.d->GetUtilityCost("CW"), read(*viewer, 31001, 766, 1));
    ASSERT_NE(nullptr, viewer->GetCurrentStream());
    EXPECT_EQ("CW", std::string(viewer->GetCurrentStream()->GetName().c_str()));
    EXPECT_EQ(kEmpty, read(*viewer, 6, 765, 2));
    EXPECT_EQ(kEmpty, read(*viewer, 6, 765, -1));
    // The heater's hot side is steam: its load is what the design draws from it.
    viewer->nFilterProcess = 0;
    viewer->nFilterCoolers = 0;
    EXPECT_DOUBLE_EQ(n.d->GetUtilityLoad("ST"), read(*viewer, 6, 603, 0));
}

TEST(ViewDesignViewerStreamValues, SelectedStreamStateAndUnitSides) {
    ViewerNetwork n;
    n.Units("p");
    auto viewer = n.Viewer();
    const double background = design_rows::FormBackground();
    // No selection: not satisfied.
    viewer->strSelectedStream = "";
    EXPECT_EQ(0.0, read(*viewer, 104, 750));
    EXPECT_EQ(background, read(*viewer, 100, 706, 0));
    EXPECT_EQ(0.0, read(*viewer, 100, 706, 1));
    EXPECT_EQ(0.0, read(*viewer, 100, 706, 2));
    viewer->strSelectedStream = "Nowhere";
    EXPECT_EQ(0.0, read(*viewer, 104, 750));
    // C1 runs through the exchanger's cold side: its inlet and outlet temperatures.
    CNode* unit = exchanger(n, 0);
    HeatExch* hx = AsHeatExch(unit);
    ASSERT_NE(nullptr, hx);
    hx->getInlet(1)->addVariable("Temperature", 20.0, 1);
    hx->getOutlet(1)->addVariable("Temperature", 70.0, 2);
    hx->getInlet(0)->addVariable("Temperature", 170.0, 1);
    viewer->strSelectedStream = "C1";
    EXPECT_DOUBLE_EQ(20.0, read(*viewer, 1, 710, 0));
    EXPECT_DOUBLE_EQ(70.0, read(*viewer, 1, 711, 0));
    viewer->strSelectedStream = "H1";
    EXPECT_DOUBLE_EQ(170.0, read(*viewer, 1, 710, 0));
    EXPECT_EQ(kEmpty, read(*viewer, 1, 710, 1));
    // A satisfied stream: H1 fully cooled.
    ASSERT_TRUE(n.d->SpecifyExchangerValue(unit, "Duty", 330.0));
    viewer->strSelectedStream = "H1";
    ASSERT_TRUE(n.d->IsStreamSatisfied(n.scenario->FindStream("H1"), nullptr));
    EXPECT_EQ(1.0, read(*viewer, 104, 750));
    EXPECT_EQ(46.0, read(*viewer, 100, 706, 0));
    EXPECT_EQ(background, read(*viewer, 100, 706, 1));
    EXPECT_EQ(1.0, read(*viewer, 100, 706, 5));
}

TEST(ViewDesignViewerStreamValues, MeasurementsAndWeightsOfTheFourPorts) {
    ViewerNetwork n;
    n.Units("pp");
    auto viewer = n.Viewer();
    HeatExch* hx = AsHeatExch(exchanger(n, 1));
    ASSERT_NE(nullptr, hx);
    // Hot inlet, hot outlet, cold inlet, cold outlet carry 1, 2, 3, 4 and weights 0.1 .. 0.4,
    // except the cold outlet, which has no weight and weighs 1.
    CNode* ports[] = {hx->getInlet(0), hx->getOutlet(0), hx->getInlet(1), hx->getOutlet(1)};
    for (int k = 0; k < 4; ++k) {
        ports[k]->addVariable("MeasuredTemperature", k + 1.0, 1);
        if (k < 3) ports[k]->addVariable("TemperatureWeight", (k + 1) / 10.0, 1);
    }
    for (int k = 0; k < 4; ++k) {
        EXPECT_DOUBLE_EQ(k + 1.0, read(*viewer, 1, 601 + k, 1)) << k;
        EXPECT_DOUBLE_EQ(k < 3 ? (k + 1) / 10.0 : 1.0, read(*viewer, 1519, 601 + k, 1)) << k;
    }
    // The other exchanger has no measurements: empty temperatures, unit weights.
    EXPECT_EQ(kEmpty, read(*viewer, 1, 601, 0));
    EXPECT_EQ(1.0, read(*viewer, 1519, 601, 0));
}

TEST(ViewDesignViewerStreamValues, CellColoursIconsAndTheDiagramLayout) {
    ViewerNetwork n;
    n.Units("p");
    auto viewer = n.Viewer();
    // An unlocked operation has no status colour; an unfinished network a white cell.
    EXPECT_EQ(kEmpty, read(*viewer, 100, 231));
    EXPECT_FALSE(n.d->IsDesignComplete());
    EXPECT_EQ(design_rows::FormBackground(), read(*viewer, 100, 705));
    VarDescription status(1519, 200);
    ASSERT_TRUE(VarDescription::Parse("ObjectStatus.200", status));
    IconResource warning;
    ASSERT_NE(nullptr, ResourceRegistry::Current());
    ASSERT_TRUE(ResourceRegistry::Current()->FindIcon("StatusWarningIco", warning));
    EXPECT_EQ(double(warning.id), viewer->Value(status));
    // No scenario viewer above: the forwarded figures are empty.
    VarDescription unit(1519, 200);
    ASSERT_TRUE(VarDescription::Parse("GlMinUnit.200", unit));
    EXPECT_EQ(kEmpty, viewer->Value(unit));
    EXPECT_EQ(kEmpty, read(*viewer, 6, 107));
    EXPECT_EQ(kEmpty, read(*viewer, 1508, 201));
    // The layout number: 1 without a diagram; 1 plain, 3 pinch, 2 reversed, 4 both.
    EXPECT_EQ(nullptr, viewer->GetGridDiagram());
    EXPECT_EQ(1.0, read(*viewer, 100, 430));
    auto* diagram = new HENDiagram(viewer.get(), Text("D1 HENDiagram"));
    viewer->ReplaceGridDiagram(diagram);
    const double expected[2][2] = {{1.0, 3.0}, {2.0, 4.0}};
    for (int reversed : {0, 1})
        for (int pinch : {0, 1}) {
            diagram->reverseDirection = reversed != 0;
            diagram->showPinch = pinch != 0;
            EXPECT_EQ(expected[reversed][pinch], read(*viewer, 100, 430)) << reversed << pinch;
        }
}

TEST(ViewDesignViewerStreamValues, SearchNumbersRowNumbersAndSwitches) {
    ViewerNetwork n;
    n.Units("phc");
    auto viewer = n.Viewer();
    viewer->strExchangerSearchName = HIDesignViewerDesign::UnitName(exchanger(n, 2));
    EXPECT_EQ(2.0, read(*viewer, 1519, 858));
    viewer->strExchangerSearchName = "no such unit";
    EXPECT_EQ(-1.0, read(*viewer, 1519, 858));
    EXPECT_EQ(4.0, read(*viewer, 1519, 957, 3));
    // Exchanger type: process 3, heater 1, cooler 2; "AreaMinimum" 1 turns 221 off and 315 on.
    exchanger(n, 1)->addVariable("AreaMinimum", 1.0, 1);
    EXPECT_EQ(1.0, read(*viewer, 104, 221, 0));
    EXPECT_EQ(0.0, read(*viewer, 104, 221, 1));
    EXPECT_EQ(1.0, read(*viewer, 104, 315, 1));
    EXPECT_EQ(0.0, read(*viewer, 104, 315, 2));
    // A cooler is no condenser-reboiler; the placement switches answer 0 or 1.
    viewer->nFilterProcess = 0;
    viewer->nFilterHeaters = 0;
    for (int number = 595; number <= 598; ++number) {
        const double placed = read(*viewer, 104, number, 0);
        EXPECT_TRUE(placed == 0.0 || placed == 1.0) << number;
    }
    // The scenario's first utility-assignment method ticks 100.
    for (int method : {0, 1}) {
        n.scenario->SetUtilityAssignmentMethod(method);
        EXPECT_EQ(method == 0 ? 1.0 : 0.0, read(*viewer, 100, 100)) << method;
    }
    n.scenario->SetUtilityAssignmentMethod(0);
}

TEST(ViewDesignViewerStreamValues, CostsPaybackAndTheCrossPinchTable) {
    ViewerNetwork n;
    auto empty = n.Viewer();
    // Without exchangers the cost figures have no answer.
    for (int number : {751, 757, 761, 762}) EXPECT_EQ(kEmpty, read(*empty, 31001, number)) << number;
    EXPECT_EQ(kEmpty, read(*empty, 31000, 787));
    EXPECT_EQ(kEmpty, read(*empty, 1519, 786));
    EXPECT_EQ(kEmpty, read(*empty, 1520, 786));

    n.Units("phc");
    auto viewer = n.Viewer();
    EXPECT_DOUBLE_EQ(n.d->GetTotalUtilityCost(2) + n.d->GetTotalAnnualizedCapitalCost(), read(*viewer, 31001, 751));
    EXPECT_DOUBLE_EQ(n.d->GetTotalUtilityCost(0), read(*viewer, 31001, 762));
    // An ordinary design has no retrofit base to save against: no payback, not a negative one.
    EXPECT_EQ(kEmpty, read(*viewer, 1519, 786));
    EXPECT_EQ(kEmpty, read(*viewer, 1520, 786));
    // Against a base design the payback is the design's own, once its network calculates: this
    // one's process exchanger has no duty and its streams fall short of their targets, so its
    // utility cost, and any saving or payback read from it, describes no network.
    n.Design("Base");
    n.scenario->SetRetrofitBaseDesign("Base");
    ASSERT_FALSE(n.d->IsNetworkCalculated());
    EXPECT_EQ(kEmpty, read(*viewer, 1519, 786));
    EXPECT_EQ(kEmpty, read(*viewer, 31000, 787));
    // Outside a retrofit no exchanger is shaded as kept.
    EXPECT_EQ(0.0, read(*viewer, 1519, 616, 0));
    // The cross-pinch table ends with the filtered list.
    EXPECT_EQ(kEmpty, read(*viewer, 6, 601, 3));
    EXPECT_EQ(kEmpty, read(*viewer, 104, 602, 3));
    EXPECT_EQ(static_cast<std::size_t>(3), viewer->GetCrossPinchOrder().size());
}

// An exchanger given more than its cold stream takes (H2 to C2 at 300 kW, where C2 takes 240)
// leaves C2's heater running backwards. The utility loads, the utility costs and the total annual
// cost are then no answer of the network: the totals and the performance table's rows built on
// them are empty, while the rest of the table stays. Running forwards again, they come back.
TEST(ViewDesignViewerStreamValues, NoUtilityTotalWhileAHeaterOrCoolerRunsBackwards) {
    ViewerNetwork n;
    n.d->Deactivate();
    CNode* overrun = n.Unit("H2", "C2");
    for (int port = 0; port < 4; ++port) n.d->RemoveUtilityAtPort(overrun, port);
    overrun->addVariable(NodeValue::Duty, 300.0, ValueStatus::Specified);
    // The heater takes C2 from the exchanger's outlet to its target.
    CNode* heater = n.d->AddHeatExchanger(design_test::NthSegment(*n.d, "ST", 0), AsHeatExch(overrun)->getOutlet(1),
                                          nullptr, nullptr, "Heater");
    ASSERT_NE(nullptr, heater);
    for (int port = 0; port < 4; ++port) n.d->RemoveUtilityAtPort(heater, port);
    n.d->Activate(1);
    double duty = 0.0;
    ASSERT_TRUE(heater->getVariableAsDouble(NodeValue::Duty, duty));
    ASSERT_LT(duty, -1.0) << "the heater runs backwards";
    EXPECT_FALSE(n.d->DoUtilityUnitsRunForwards());
    auto viewer = n.Viewer();
    for (int number : {751, 761, 762}) EXPECT_EQ(kEmpty, read(*viewer, 31001, number)) << number;
    for (int number : {752, 753, 759, 760, 761, 763})
        for (int first : {0, 1}) EXPECT_EQ(kEmpty, read(*viewer, 1519, number, first)) << number << " " << first;
    EXPECT_NE(kEmpty, read(*viewer, 1519, 756, 0)) << "the number of units stays";

    overrun->addVariable(NodeValue::Duty, 100.0, ValueStatus::Specified);
    n.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    ASSERT_TRUE(n.d->DoUtilityUnitsRunForwards());
    EXPECT_DOUBLE_EQ(n.d->GetTotalUtilityCost(0), read(*viewer, 31001, 762));
    EXPECT_DOUBLE_EQ(n.d->GetTotalUtilityLoad(0), read(*viewer, 1519, 752, 0));
}

TEST(ViewDesignViewerStreamValues, AnExchangerWithoutAnApproachTakesTheDesignsOnce) {
    ViewerNetwork n;
    n.Units("pp");
    auto viewer = n.Viewer();
    CNode* unit = exchanger(n, 1);
    unit->removeVariable("DTMin");
    const double designs = n.d->GetDTMin();
    const double expected = designs > 0.0 ? designs : n.scenario->GetDTmin();
    EXPECT_DOUBLE_EQ(expected, read(*viewer, 1517, 605, 1));
    ASSERT_TRUE(unit->hasVariable("DTMin"));
    EXPECT_EQ(1, unit->getVariableStatus("DTMin"));
    // An exchanger's own approach is answered as it stands.
    unit->addVariable("DTMin", 7.5, 1);
    EXPECT_DOUBLE_EQ(7.5, read(*viewer, 1517, 605, 1));
}

}  // namespace

namespace {

// Switches of a fresh network of one cooler (H2 / CW) whose duty has the given status.
struct SwitchCase {
    int type, number, dutyStatus;
    double expected;
};
void PrintTo(const SwitchCase& c, std::ostream* os) {
    *os << "variable " << c.type << "." << c.number << ", duty status " << c.dutyStatus << ": " << c.expected;
}

class ViewDesignViewerSwitches : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(ViewDesignViewerSwitches, OnAFreshCooler) {
    ViewerNetwork n;
    n.Units("c");
    exchanger(n, 0)->addVariable("Duty", 60.0, GetParam().dutyStatus);
    auto viewer = n.Viewer();
    const SwitchCase& c = GetParam();
    EXPECT_EQ(c.expected, read(*viewer, c.type, c.number, 0)) << c.type << "." << c.number;
}

INSTANTIATE_TEST_SUITE_P(
    Fresh, ViewDesignViewerSwitches,
    ::testing::Values(SwitchCase{104, 318, 2, 1.0},      // a calculated duty
                      SwitchCase{104, 318, 1, 0.0},      // a specified one
                      SwitchCase{104, 361, 1, 0.0},      // no current schedule
                      SwitchCase{104, 364, 1, 0.0},      // so no events either
                      SwitchCase{100, 300, 1, kEmpty},   // no what-if item chosen
                      SwitchCase{100, 431, 1, 0.0},      // not locked by the scenario
                      SwitchCase{100, 1000, 1, 1.0},
                      SwitchCase{104, 595, 1, 0.0},      // a cooler below the hot pinch sits well
                      SwitchCase{1519, 610, 1, 0.0}));  // no fired heater

}  // namespace
