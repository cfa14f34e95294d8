// The design forms' writes: each reaches the exchanger of its row list with the status and flag
// of its row, clears write their own value, bad values are refused with their message key and
// nothing changed, and a stale row past the end of its list edits nothing.
#include "eng/design/IHENDesign.h"
#include "lumeth/Session.h"
#include "tests/views/design/DesignViewerTestSupport.h"

#include <gtest/gtest.h>

namespace {

using design_viewer_test::ViewerNetwork;
constexpr double E = Viewable::EmptyValue;

Text lastShown() {
    const auto entries = Session::Instance().Entries(SessionEvent::Error);
    return entries.empty() ? Text() : entries.back().key;
}

struct EditCase {
    int type, number, row;
    double value;
    const char* refusal;  // "" when accepted
    int exchanger;        // the exchanger whose value is checked; -1 none
    const char* name;
    double stored;        // the value it holds afterwards (E: untouched)
    int status, flag;
};

std::ostream& operator<<(std::ostream& os, const EditCase& c) {
    return os << c.type << "." << c.number << "[" << c.row << "]=" << c.value;
}

class ViewDesignViewerEdit : public ::testing::TestWithParam<EditCase> {};

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
        EditCase{6, 304, 2, 100.0, "", 3, "MaxDuty", E, 0, 0},
        EditCase{1508, 709, 5, 40.0, "", 3, "MaxSpareArea", E, 0, 0}));

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
