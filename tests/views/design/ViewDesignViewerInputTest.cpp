// The design forms' writes: each reaches the exchanger of its row list with the status and flag
// of its row, clears write their own value, bad values are refused with their message key and
// nothing changed, and a stale row past the end of its list edits nothing.
#include "eng/design/IHENDesign.h"
#include "lumeth/Session.h"
#include "pellin/HeatExch.h"
#include "tests/views/design/DesignViewerTestSupport.h"

#include <gtest/gtest.h>

#include <ostream>
namespace {

using design_viewer_test::lastShown;
using design_viewer_test::ViewerNetwork;
constexpr double E = Viewable::EmptyValue;

struct EditCase {
    int type, number, row;
    double value;
    const char* refusal;  // "" when accepted
    int exchanger;        // the exchanger whose value is checked; -1 none
    const char* name;
    double stored;        // the value it holds afterwards (E: untouched)
    int status, flag;
};

class ViewDesignViewerEdit : public ::testing::TestWithParam<EditCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const EditCase& c, std::ostream* os) {
    *os << c.name << " by " << c.type << "." << c.number << "[" << c.row << "] = " << c.value;
}

// Units "phcp" (0 H1/C1, 1 heater, 2 cooler, 3 H2/C2) with the filter on process exchangers
// only: filtered row 1 is exchanger 3, and row 2 lies past the end.
TEST_P(ViewDesignViewerEdit, WritesReachTheirExchangerOrAreRefused) {
    ViewerNetwork n;
    n.Units("phcp");
    auto viewer = n.Viewer();
    const EditCase& c = GetParam();
    // The cooler of the area case is shown through the filter when it is the one edited.
    if (c.exchanger != 2) viewer->nFilterHeaters = viewer->nFilterCoolers = 0;
    else viewer->nFilterProcess = viewer->nFilterHeaters = 0;
    CNode* unit = nullptr;
    if (c.exchanger >= 0) {
        ASSERT_TRUE(n.d->GetHeatExchanger(c.exchanger, unit));
    }
    // A marker the refused writes must leave in place.
    if (unit) unit->addVariable(c.name, 55.0, 2, 0);
    Session::Instance().ClearEvents(SessionEvent::Error);
    VarDescription var(c.type, c.number);
    var.SetOffset(0, c.row);
    const int result = viewer->Specify(var, c.value);
    EXPECT_EQ(Text(c.refusal), lastShown());
    EXPECT_EQ(*c.refusal || c.stored == E ? 0 : 1, result);
    if (!unit) return;
    double stored = E;
    ASSERT_TRUE(unit->getVariableAsDouble(c.name, stored));
    if (c.stored == E) {
        EXPECT_DOUBLE_EQ(55.0, stored);
        EXPECT_EQ(2, unit->getVariableStatus(c.name));
        return;
    }
    EXPECT_DOUBLE_EQ(c.stored, stored);
    EXPECT_EQ(c.status, unit->getVariableStatus(c.name));
    EXPECT_EQ(c.flag, unit->getVariableFlag(c.name));
}

INSTANTIATE_TEST_SUITE_P(
    Exchangers, ViewDesignViewerEdit,
    ::testing::Values(
        EditCase{4101, 500, 1, 0.0002, "", 3, "HXFoulingFactor", 0.0002, 1, 1},
        EditCase{4101, 500, 1, -0.001, "FoulingFactorUpdateError", 3, "HXFoulingFactor", E, 0, 0},
        EditCase{4101, 500, 1, E, "", 3, "HXFoulingFactor", 0.0, 1, 1},
        EditCase{1508, 705, 1, E, "", 3, "MaxNewArea", 10000.0, 0, 0},
        EditCase{1508, 709, 1, E, "", 3, "MaxSpareArea", 0.0, 0, 0},
        EditCase{1508, 709, 1, 40.0, "", 3, "MaxSpareArea", 40.0, 1, 0},
        EditCase{1508, 712, 0, -1.0, "AreaInputError", 0, "MaxNewArea", E, 0, 0},
        EditCase{1508, 302, 0, -1.0, "AreaInputError", 0, "HTArea", E, 0, 0},
        EditCase{1508, 302, 0, 10.0, "CannotSpecifyAreaForUtilExchanger", 2, "HTArea", E, 0, 0},
        EditCase{1517, 500, 0, 12.0, "", 0, "HighEndDelT", 12.0, 1, 1},
        EditCase{1517, 501, 1, E, "", 3, "LowEndDelT", 0.0, 0, 1},
        // A stale row past the end of the filtered list edits nothing, not the last exchanger.
        EditCase{6, 304, 2, 100.0, "", 3, "Duty", E, 0, 0},
        EditCase{1508, 709, 5, 40.0, "", 3, "MaxSpareArea", E, 0, 0}));

// One write per remaining row list, on units "phcp" (0 H1/C1, 1 heater on C2, 2 cooler on H2,
// 3 H2/C2): the value lands on the node of its row's exchanger (the unit or one of its ports)
// with status 1 and the row's flag, and the same address reads it back. The direct list counts
// every exchanger; the unconfigured lists hold the one cooler and the one heater, the configured
// list the heater once it has a configuration.
struct ListWrite {
    int type, number, row;
    int exchanger;
    int port;  // -1 the unit; else 0 hot inlet, 1 hot outlet, 2 cold inlet, 3 cold outlet
    const char* name;
    double value;
    int flag;
    bool reads = true;  // the outlet temperatures of a heater or cooler are written only
    bool configured = false;  // the heater is given a configuration first
};

class ViewDesignViewerListWrite : public ::testing::TestWithParam<ListWrite> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const ListWrite& c, std::ostream* os) {
    *os << c.name << " by " << c.type << "." << c.number << "[" << c.row << "] = " << c.value;
}

TEST_P(ViewDesignViewerListWrite, ReachesItsRowsExchangerAndReadsBack) {
    ViewerNetwork n;
    n.Units("phcp");
    n.d->Deactivate();
    auto viewer = n.Viewer();
    const ListWrite& c = GetParam();
    CNode* unit = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(c.exchanger, unit));
    if (c.configured) unit->addVariable("HeatExchangerConfiguration", 2.0, 1, 1);
    HeatExch* hx = AsHeatExch(unit);
    ASSERT_NE(nullptr, hx);
    CNode* node = c.port < 0 ? unit : c.port % 2 == 0 ? hx->getInlet(c.port / 2) : hx->getOutlet(c.port / 2);
    ASSERT_NE(nullptr, node);
    VarDescription var(c.type, c.number);
    var.SetOffset(0, c.row);
    EXPECT_EQ(1, viewer->Specify(var, c.value));
    double stored = E;
    ASSERT_TRUE(node->getVariableAsDouble(c.name, stored));
    EXPECT_DOUBLE_EQ(c.value, stored);
    EXPECT_EQ(1, node->getVariableStatus(c.name));
    EXPECT_EQ(c.flag, node->getVariableFlag(c.name));
    EXPECT_DOUBLE_EQ(c.reads ? c.value : E, viewer->Value(var));
    // No other exchanger took the value.
    for (int i = 0; i < 4; ++i) {
        CNode* other = nullptr;
        if (i == c.exchanger || !n.d->GetHeatExchanger(i, other) || c.port >= 0) continue;
        double v = E;
        EXPECT_FALSE(other->getVariableAsDouble(c.name, v) && v == c.value) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ViewDesignViewerListWrite,
    ::testing::Values(ListWrite{1, 601, 3, 3, 0, "MeasuredTemperature", 141.5, 0},
                      ListWrite{1, 604, 0, 0, 3, "MeasuredTemperature", 96.5, 0},
                      ListWrite{1519, 602, 2, 2, 1, "TemperatureWeight", 2.5, 0},
                      ListWrite{6, 308, 0, 1, -1, "MaxDuty", 300.0, 1, true, true},
                      ListWrite{6, 318, 0, 2, -1, "Duty", 33.0, 1},
                      ListWrite{6, 319, 0, 1, -1, "Duty", 44.0, 1},
                      ListWrite{6, 355, 0, 2, 1, "Temperature", 45.0, 1, false},
                      ListWrite{6, 356, 0, 1, 3, "Temperature", 125.0, 1, false}));

// Cleared on the filtered list, an area is given back to the calculation (status 0); cleared
// on the area-specified list it stays given (status 1, see the area rows).
TEST(ViewDesignViewerEdits, ClearingTheFilteredAreaOpensIt) {
    ViewerNetwork n;
    n.Units("pp");
    n.d->Deactivate();
    auto viewer = n.Viewer();
    CNode* unit = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(1, unit));
    VarDescription var(1508, 302);
    var.SetOffset(0, 1);
    EXPECT_EQ(1, viewer->Specify(var, 30.0));
    EXPECT_EQ(1, unit->getVariableStatus("HTArea"));
    EXPECT_EQ(1, viewer->Specify(var, E));
    EXPECT_EQ(0, unit->getVariableStatus("HTArea"));
}

TEST(ViewDesignViewerEdits, ViewerValuesAndTheirRefusals) {
    ViewerNetwork n;
    n.Units("p");
    auto viewer = n.Viewer();
    Session::Instance().ClearEvents(SessionEvent::Error);
    EXPECT_EQ(1, viewer->Specify(VarDescription(110, 200), -99.99));
    EXPECT_DOUBLE_EQ(-99.99, viewer->dPercentage);
    EXPECT_EQ(Text(), lastShown());
    EXPECT_EQ(0, viewer->Specify(VarDescription(110, 200), -99.991));
    EXPECT_EQ(Text("CannotAcceptThisPercentValue"), lastShown());
    EXPECT_DOUBLE_EQ(-99.99, viewer->dPercentage);

    const double dtmin = n.scenario->GetDTmin();
    Session::Instance().ClearEvents(SessionEvent::Error);
    EXPECT_EQ(0, viewer->Specify(VarDescription(1517, 1), 0.0));
    EXPECT_EQ(Text("DeltaTViolationsError"), lastShown());
    EXPECT_DOUBLE_EQ(dtmin, n.scenario->GetDTmin());
}

TEST(ViewDesignViewerEdits, ADutyWrittenOnAFilteredRowIsSpecifiedOnItsExchangerOnly) {
    ViewerNetwork n;
    n.Units("pp");
    n.d->Activate(0);
    auto viewer = n.Viewer();
    VarDescription duty(6, 304);
    duty.SetOffset(0, 1);
    ASSERT_EQ(1, viewer->Specify(duty, 75.0));
    CNode* second = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(1, second));
    EXPECT_EQ(1, second->getVariableStatus("Duty"));
    EXPECT_EQ(1, second->getVariableFlag("Duty"));
    // The duty read back through the form is the one written; the first exchanger is untouched.
    EXPECT_DOUBLE_EQ(75.0, viewer->Value(duty));
    CNode* first = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(0, first));
    EXPECT_NE(1, first->getVariableStatus("Duty"));
}

}  // namespace
