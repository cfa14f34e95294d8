// The design forms' remaining writes: the area-specified rows (geometry, shells, observed
// coefficient, the area itself), the exchanger switches (minimum area, what a heater or cooler
// keeps, the overall coefficient given or taken from the simulator), the settings of the viewer
// and of the design, the text writes with the design's rename, and the design's change
// handling reached once per accepted exchanger write.
#include "brasko/NotificationSender.h"
#include "eng/design/HENDesign.h"
#include "eng/design/IHENDesign.h"
#include "lumeth/Session.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"
#include "tests/views/design/DesignViewerTestSupport.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using design_viewer_test::lastShown;
using design_viewer_test::unitAt;
using design_viewer_test::ViewerNetwork;
constexpr double E = Viewable::EmptyValue;

double valueOf(const CNode* node, const char* name) {
    double v = E;
    node->getVariableAsDouble(name, v);
    return v;
}

VarDescription at(int type, int number, int row) {
    VarDescription var(type, number);
    var.SetOffset(0, row);
    return var;
}

struct AreaCase {
    int type, number, row;
    double value;
    const char* refusal;  // "" when accepted
    const char* name;
    double stored;        // E: the marker stays
    int status, flag;
    bool opensCleanU;     // the clean coefficient is opened after the write
};

class ViewDesignViewerAreaRows : public ::testing::TestWithParam<AreaCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const AreaCase& c, std::ostream* os) {
    *os << c.name << " by " << c.type << "." << c.number << "[" << c.row << "] = " << c.value;
}

// Units "pp", the second with its area given (30): it is row 0 of the area-specified list and
// row 1 of the filtered list (all exchangers shown). The design does not recalculate, so what
// the viewer wrote stays to be seen.
TEST_P(ViewDesignViewerAreaRows, WriteTheAreaSpecifiedExchangerOrAreRefused) {
    ViewerNetwork n;
    n.Units("pp");
    n.d->Deactivate();
    auto viewer = n.Viewer();
    const AreaCase& c = GetParam();
    CNode* unit = unitAt(n, 1);
    ASSERT_NE(nullptr, unit);
    unit->addVariable("HTArea", 30.0, 1, 1);
    const bool area = std::string(c.name) == "HTArea";
    const double marker = area ? 30.0 : 55.0;
    const int markerStatus = area ? 1 : 2;
    if (!area) unit->addVariable(c.name, marker, markerStatus, 0);
    unit->addVariable("OverallCleanHTC", 7.0, 2, 0);
    Session::Instance().ClearEvents(SessionEvent::Error);

    const int result = viewer->Specify(at(c.type, c.number, c.row), c.value);
    EXPECT_EQ(Text(c.refusal), lastShown());
    EXPECT_EQ(*c.refusal ? 0 : 1, result);
    if (c.stored == E) {
        EXPECT_DOUBLE_EQ(marker, valueOf(unit, c.name));
        EXPECT_EQ(markerStatus, unit->getVariableStatus(c.name));
    } else {
        EXPECT_DOUBLE_EQ(c.stored, valueOf(unit, c.name));
        EXPECT_EQ(c.status, unit->getVariableStatus(c.name));
        EXPECT_EQ(c.flag, unit->getVariableFlag(c.name));
    }
    EXPECT_DOUBLE_EQ(c.opensCleanU ? 0.0 : 7.0, valueOf(unit, "OverallCleanHTC"));
    EXPECT_EQ(c.opensCleanU ? 0 : 2, unit->getVariableStatus("OverallCleanHTC"));
    // The first exchanger is never touched.
    EXPECT_FALSE(unitAt(n, 0)->hasVariable(c.name) && std::string(c.name) != "HTArea" &&
                 std::string(c.name) != "NShellsInSeries");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ViewDesignViewerAreaRows,
    ::testing::Values(
        AreaCase{1507, 200, 0, 0.5, "", "ShellDiameter", 0.5, 1, 1, true},
        AreaCase{1507, 200, 0, E, "", "ShellDiameter", 0.0, 1, 1, true},
        AreaCase{1519, 307, 0, 2.0, "", "NShellsInSeries", 2.0, 1, 1, false},
        AreaCase{1519, 307, 0, 0.0, "ShellsInputError", "NShellsInSeries", E, 0, 0, false},
        AreaCase{1519, 307, 0, E, "ShellsInputError", "NShellsInSeries", E, 0, 0, false},
        AreaCase{1519, 359, 0, 120.0, "", "NumberOfTubes", 120.0, 1, 1, true},
        AreaCase{1519, 360, 0, E, "", "TubePasses", 0.0, 1, 1, true},
        AreaCase{1524, 502, 0, 0.4, "", "ObservedHTC", 0.4, 1, 0, false},
        AreaCase{1524, 502, 0, 0.0, "HTCoeffUpdateError", "ObservedHTC", E, 0, 0, false},
        AreaCase{1524, 502, 0, E, "HTCoeffUpdateError", "ObservedHTC", E, 0, 0, false},
        // Cleared, the area stays specified: the exchanger keeps its row in the list.
        AreaCase{1508, 306, 0, E, "", "HTArea", 0.0, 1, 1, false},
        AreaCase{1508, 306, 0, -5.0, "AreaInputError", "HTArea", E, 0, 0, false},
        AreaCase{1508, 306, 0, 45.0, "", "HTArea", 45.0, 1, 1, false},
        AreaCase{1517, 605, 1, 8.0, "", "DTMin", 8.0, 1, 1, false},
        AreaCase{1517, 605, 1, E, "", "DTMin", 0.0, 0, 1, false}));

TEST(ViewDesignViewerAreaRowsEdge, ShellsAreOpenedBeforeTheCountIsWritten) {
    // The count a calculation left (status 2) must not survive as the specified one's shadow:
    // the value is written twice, the second time specified.
    ViewerNetwork n;
    n.Units("p");
    auto viewer = n.Viewer();
    CNode* unit = unitAt(n, 0);
    unit->addVariable("HTArea", 30.0, 1, 1);
    unit->addVariable("NShellsInSeries", 3.0, 2, 0);
    ASSERT_EQ(1, viewer->Specify(at(1519, 307, 0), 1.0));
    EXPECT_DOUBLE_EQ(1.0, valueOf(unit, "NShellsInSeries"));
    EXPECT_EQ(1, unit->getVariableStatus("NShellsInSeries"));
    EXPECT_EQ(1, unit->getVariableFlag("NShellsInSeries"));
    // A row past the one area-specified exchanger edits nothing.
    EXPECT_EQ(0, viewer->Specify(at(1519, 307, 1), 4.0));
    EXPECT_DOUBLE_EQ(1.0, valueOf(unit, "NShellsInSeries"));
}

// Counts the design's "up to date" notices: one per recalculation.
struct Recalculations : INotificationReceiver {
    int count = 0;
    void NotifyChange(int code, const CPString&, void*) override { count += code == CPIHENDesign::CodeUpToDate; }
};

TEST(ViewDesignViewerChanges, EveryAcceptedExchangerWriteRecalculatesTheDesignOnce) {
    Recalculations seen;
    ViewerNetwork n;
    n.Units("pp");
    n.d->Activate(0);
    auto viewer = n.Viewer();
    ASSERT_TRUE(n.d->AddNotificationReceiver(&seen));
    ASSERT_TRUE(n.d->AddValidMessage(&seen, CPIHENDesign::CodeUpToDate));
    struct Write {
        VarDescription var;
        double value;
        int recalculations;
    };
    const Write writes[] = {
        {at(6, 304, 0), 60.0, 1},        // a duty
        {at(1508, 709, 1), -1.0, 0},     // refused
        {at(104, 601, 1), 1.0, 1},       // a switch
        {at(104, 221, 0), 1.0, 1},       // the minimum-area option
        {at(104, 599, 0), 1.0, 0},       // no simulator coefficient: nothing adopted
        {at(104, 600, 0), 0.0, 1},       // the coefficient given back to the calculation
        {at(100, 202, 0), 2.0, 0},       // a viewer setting
        {at(1524, 701, 0), 0.5, 0},      // the coefficient is not given: nothing
    };
    for (const Write& w : writes) {
        seen.count = 0;
        viewer->Specify(w.var, w.value);
        EXPECT_EQ(w.recalculations, seen.count) << w.var.ToString();
    }
    n.d->RemoveNotificationReceiver(&seen);
}

TEST(ViewDesignViewerSwitches, MinimumAreaOffLineAndWhatAHeaterOrCoolerKeeps) {
    ViewerNetwork n;
    n.Units("pc");
    n.d->Deactivate();
    auto viewer = n.Viewer();
    CNode* process = unitAt(n, 0);
    CNode* cooler = unitAt(n, 1);
    // Variable 221 turns the option off with 1, on with anything else; 315 and 317 on with any
    // non-zero value.
    const struct {
        int number;
        double value, stored;
    } minimum[] = {{221, 1.0, 0.0}, {221, 0.0, 1.0}, {221, 3.0, 1.0}, {315, 0.0, 0.0}, {315, 2.0, 1.0}, {317, -1.0, 1.0}};
    for (const auto& m : minimum) {
        ASSERT_EQ(1, viewer->Specify(at(104, m.number, 0), m.value));
        EXPECT_DOUBLE_EQ(m.stored, valueOf(process, "AreaMinimum")) << m.number << "=" << m.value;
        EXPECT_EQ(1, process->getVariableStatus("AreaMinimum"));
        EXPECT_EQ(0, process->getVariableFlag("AreaMinimum"));
    }
    ASSERT_EQ(1, viewer->Specify(at(104, 601, 1), 1.0));
    EXPECT_DOUBLE_EQ(1.0, valueOf(cooler, "ExchangerIsOffLine"));
    EXPECT_EQ(0, valueOf(process, "ExchangerIsOffLine") == E ? 0 : 1);

    // The cooler is row 0 of the unconfigured coolers: 1 keeps its area, 0 its duty.
    HeatExch* hx = AsHeatExch(cooler);
    ASSERT_NE(nullptr, hx);
    cooler->addVariable("Duty", 40.0, 1, 1);
    cooler->addVariable("HTArea", 12.0, 2, 0);
    ASSERT_EQ(1, viewer->Specify(at(104, 318, 0), 1.0));
    EXPECT_EQ(2, cooler->getVariableStatus("Duty"));
    EXPECT_EQ(1, cooler->getVariableStatus("HTArea"));
    EXPECT_DOUBLE_EQ(12.0, valueOf(cooler, "HTArea"));
    EXPECT_DOUBLE_EQ(40.0, valueOf(cooler, "Duty"));
    EXPECT_EQ(Text("FlowCorrecBased"), Text(hx->getUCalculationMethod().c_str()));
    ASSERT_EQ(1, viewer->Specify(at(104, 318, 0), 0.0));
    EXPECT_EQ(1, cooler->getVariableStatus("Duty"));
    EXPECT_EQ(2, cooler->getVariableStatus("HTArea"));
    EXPECT_EQ(Text("StreamBased"), Text(hx->getUCalculationMethod().c_str()));
    // Other values change nothing; the heater list is empty, so 319 reaches no exchanger.
    EXPECT_EQ(0, viewer->Specify(at(104, 318, 0), 2.0));
    EXPECT_EQ(1, cooler->getVariableStatus("Duty"));
    EXPECT_EQ(0, viewer->Specify(at(104, 319, 0), 1.0));

    // 355 does the same with the cooler's hot outlet temperature.
    CNode* outlet = hx->getOutlet(0);
    ASSERT_NE(nullptr, outlet);
    outlet->addVariable("Temperature", 45.0, 1, 1);
    ASSERT_EQ(1, viewer->Specify(at(104, 355, 0), 1.0));
    EXPECT_EQ(2, outlet->getVariableStatus("Temperature"));
    EXPECT_EQ(1, cooler->getVariableStatus("HTArea"));
    ASSERT_EQ(1, viewer->Specify(at(104, 355, 0), 0.0));
    EXPECT_EQ(1, outlet->getVariableStatus("Temperature"));
    EXPECT_DOUBLE_EQ(45.0, valueOf(outlet, "Temperature"));
    EXPECT_EQ(2, cooler->getVariableStatus("HTArea"));
}

TEST(ViewDesignViewerSwitches, OverallCoefficientGivenThenGivenBack) {
    ViewerNetwork n;
    n.Units("p");
    n.d->Deactivate();
    auto viewer = n.Viewer();
    CNode* unit = unitAt(n, 0);
    HeatExch* hx = AsHeatExch(unit);
    ASSERT_NE(nullptr, hx);
    unit->addVariable("OverallHTC", 0.5, 2, 0);
    // Not given yet: a coefficient typed into 701 is ignored.
    EXPECT_EQ(0, viewer->Specify(at(1524, 701, 0), 0.8));
    EXPECT_EQ(2, unit->getVariableStatus("OverallHTC"));

    ASSERT_EQ(1, viewer->Specify(at(104, 600, 0), 1.0));
    EXPECT_TRUE(hx->GetOverallUSpec());
    EXPECT_DOUBLE_EQ(1.0, valueOf(unit, "OverallUSpec"));
    EXPECT_DOUBLE_EQ(0.5, valueOf(unit, "OverallHTC"));
    EXPECT_EQ(1, unit->getVariableStatus("OverallHTC"));
    ASSERT_EQ(1, viewer->Specify(at(1524, 701, 0), 0.8));
    EXPECT_DOUBLE_EQ(0.8, valueOf(unit, "OverallHTC"));
    EXPECT_EQ(0, viewer->Specify(at(1524, 701, 0), -0.1));
    EXPECT_EQ(0, viewer->Specify(at(1524, 701, 0), E));
    EXPECT_DOUBLE_EQ(0.8, valueOf(unit, "OverallHTC"));

    unit->addVariable("ShellsInSeriesSpecified", 1.0, 1, 0);
    ASSERT_EQ(1, viewer->Specify(at(104, 600, 0), 0.0));
    EXPECT_FALSE(hx->GetOverallUSpec());
    EXPECT_FALSE(hx->GetSimOverallUSpec());
    EXPECT_EQ(0, unit->getVariableStatus("OverallHTC"));
    EXPECT_EQ(0, unit->getVariableStatus("HTArea"));
    EXPECT_DOUBLE_EQ(0.0, valueOf(unit, "ShellsInSeriesSpecified"));
    EXPECT_DOUBLE_EQ(0.0, valueOf(unit, "SpecStatus"));
    EXPECT_EQ(1, unit->getVariableStatus("SpecStatus"));
    EXPECT_EQ(0, viewer->Specify(at(1524, 701, 0), 0.8));
}

TEST(ViewDesignViewerSwitches, SimulatorValuesAdoptedOnlyWithACoefficient) {
    ViewerNetwork n;
    n.Units("p");
    n.d->Deactivate();
    auto viewer = n.Viewer();
    CNode* unit = unitAt(n, 0);
    HeatExch* hx = AsHeatExch(unit);
    ASSERT_NE(nullptr, hx);
    EXPECT_EQ(0, viewer->Specify(at(104, 599, 0), 1.0));
    EXPECT_FALSE(hx->GetSimOverallUSpec());
    EXPECT_FALSE(unit->hasVariable("OverallUSpec"));

    unit->addVariable("SimOverallU", 0.7, 1, 0);
    unit->addVariable("SimNShells", 2.0, 1, 0);
    unit->addVariable("SimNShellsParallel", 0.0, 1, 0);
    ASSERT_EQ(1, viewer->Specify(at(104, 599, 0), 1.0));
    EXPECT_TRUE(hx->GetSimOverallUSpec());
    EXPECT_TRUE(hx->GetOverallUSpec());
    EXPECT_DOUBLE_EQ(0.7, valueOf(unit, "OverallHTC"));
    EXPECT_DOUBLE_EQ(2.0, valueOf(unit, "NShellsInSeries"));
    EXPECT_EQ(1, unit->getVariableStatus("NShellsInSeries"));
    EXPECT_DOUBLE_EQ(1.0, valueOf(unit, "ShellsInSeriesSpecified"));
    // No parallel shells came from the simulator.
    EXPECT_FALSE(unit->hasVariable("ShellsInParallelSpecified"));

    ASSERT_EQ(1, viewer->Specify(at(104, 599, 0), 0.0));
    EXPECT_FALSE(hx->GetSimOverallUSpec());
    EXPECT_DOUBLE_EQ(0.0, valueOf(unit, "SimOverallUSpec"));
    EXPECT_EQ(0, unit->getVariableStatus("OverallHTC"));
    EXPECT_EQ(1, unit->getVariableStatus("SpecStatus"));
    // The switch of the user's own coefficient stays as the adoption left it.
    EXPECT_TRUE(hx->GetOverallUSpec());
}

}  // namespace
