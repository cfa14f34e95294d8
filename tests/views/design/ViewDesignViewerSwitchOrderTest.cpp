// The overall-coefficient and simulator-value switches of the design forms write an exchanger's
// values in a fixed order (a value first opened and then given, the switch before the value it
// governs), and only then let the unit calculate: recorded write by write on the exchanger node.
// The switches' read side answers what they wrote, and the coefficient cell is typed only while
// the coefficient is the user's.
#include "eng/design/HENDesign.h"
#include "pellin/HeatExch.h"
#include "tests/views/design/DesignViewerTestSupport.h"

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using design_viewer_test::ViewerNetwork;
constexpr double E = Viewable::EmptyValue;

VarDescription at(int type, int number, int row) {
    VarDescription var(type, number);
    var.SetOffset(0, row);
    return var;
}

std::string show(const NodeValueWrite& w) {
    std::ostringstream os;
    os << w.name.c_str() << "=" << w.value << "/" << w.status << "/" << w.flag;
    return os.str();
}

struct SwitchCase {
    const char* name;
    int number;        // 599 simulator values, 600 the user's coefficient
    double value;
    bool simulator;    // the unit carries a simulator coefficient (0.7) and shells (2 in series, 3 in parallel)
    std::vector<std::string> writes;  // name=value/status/flag, in order, before the unit calculates
};

class ViewDesignViewerSwitchOrder : public ::testing::TestWithParam<SwitchCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const SwitchCase& c, std::ostream* os) { *os << c.name; }

TEST_P(ViewDesignViewerSwitchOrder, WritesTheValuesInOrderBeforeTheUnitCalculates) {
    const SwitchCase& c = GetParam();
    ViewerNetwork n;
    n.Units("p");
    n.d->Deactivate();
    auto viewer = n.Viewer();
    CNode* unit = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(0, unit));
    unit->addVariable("OverallHTC", 0.5, 2, 0);
    if (c.simulator) {
        unit->addVariable("SimOverallU", 0.7, 1, 0);
        unit->addVariable("SimNShells", 2.0, 1, 0);
        unit->addVariable("SimNShellsParallel", 3.0, 1, 0);
    }
    std::vector<NodeValueWrite> trace;
    unit->traceValueWrites(&trace);
    ASSERT_EQ(1, viewer->Specify(at(104, c.number, 0), c.value));
    unit->traceValueWrites(nullptr);

    ASSERT_GE(trace.size(), c.writes.size());
    for (std::size_t i = 0; i < c.writes.size(); ++i) EXPECT_EQ(c.writes[i], show(trace[i])) << "write " << i;
    // The read side answers the switches as written.
    HeatExch* hx = AsHeatExch(unit);
    EXPECT_EQ(hx->GetSimOverallUSpec() ? 1.0 : 0.0, viewer->Value(at(104, 599, 0)));
    EXPECT_EQ(hx->GetOverallUSpec() ? 1.0 : 0.0, viewer->Value(at(104, 600, 0)));
}

// SetSimOverallUSpec and SetOverallUSpec write their own switch value (specified, flag 0) before
// the viewer writes it once more.
INSTANTIATE_TEST_SUITE_P(
    Switches, ViewDesignViewerSwitchOrder,
    ::testing::Values(
        SwitchCase{"SimulatorAdopted", 599, 1.0, true,
                   {"SimOverallUSpec=1/1/0", "SimOverallUSpec=1/1/0", "OverallHTC=0.7/0/0", "ShellsInSeriesSpecified=1/1/0",
                    "NShellsInSeries=0/0/0", "NShellsInSeries=2/1/0", "ShellsInParallelSpecified=1/1/0",
                    "NShellsInParallel=0/0/0", "NShellsInParallel=3/1/0", "OverallUSpec=1/1/0", "OverallUSpec=1/1/0"}},
        SwitchCase{"SimulatorGivenBack", 599, 0.0, true,
                   {"SimOverallUSpec=0/1/0", "SimOverallUSpec=0/1/0", "HTArea=-32767/0/0", "OverallHTC=0/0/0",
                    "SpecStatus=0/1/0"}},
        SwitchCase{"CoefficientGiven", 600, 1.0, false,
                   {"OverallUSpec=1/1/0", "OverallUSpec=1/1/0", "OverallHTC=0.5/1/0"}},
        SwitchCase{"CoefficientGivenBack", 600, 0.0, false,
                   {"OverallUSpec=0/1/0", "SimOverallUSpec=0/1/0", "SimOverallUSpec=0/1/0", "ShellsInSeriesSpecified=0/1/0",
                    "ShellsInParallelSpecified=0/1/0", "OverallUSpec=0/1/0", "HTArea=-32767/0/0", "OverallHTC=0/0/0",
                    "SpecStatus=0/1/0"}}),
    [](const ::testing::TestParamInfo<SwitchCase>& info) { return std::string(info.param.name); });

// The coefficient cell: typed while the user gives the coefficient, else the exchanger's
// feasibility decides (a feasible exchanger's calculated coefficient is read-only). No row, no
// answer of its own.
TEST(ViewDesignViewerSwitchOrder, TheCoefficientCellIsTypedOnlyWhileTheUserGivesIt) {
    ViewerNetwork n;
    n.Units("p");
    n.d->Deactivate();
    auto viewer = n.Viewer();
    CNode* unit = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(0, unit));
    HeatExch* hx = AsHeatExch(unit);
    auto stateOf = [&](int row) {
        ModifyState state = SpecialState;
        int detail = 0;
        viewer->VariableStatus(at(1524, 701, row), state, detail);
        return state;
    };
    const ModifyState calculated = hx->IsFeasible() ? ReadOnlyState : SpecialState;
    EXPECT_EQ(calculated, stateOf(0));
    hx->SetOverallUSpec(true);
    EXPECT_EQ(ModifiableState, stateOf(0));
    hx->SetOverallUSpec(false);
    EXPECT_EQ(calculated, stateOf(0));
    EXPECT_EQ(0.0, viewer->Value(at(104, 600, 0)));
    // Without a design every read is empty.
    auto unbound = n.Viewer(false);
    EXPECT_EQ(E, unbound->Value(at(104, 599, 0)));
}

}  // namespace
