// The design forms' further tables and cell states: the cross-pinch table's rows and columns by
// their flag bits, the structure and pre-check tables, the lists known by name, and the state of
// an exchanger's side temperatures by the status of the value and where the node stands.
#include "eng/design/IHENDesign.h"
#include "pellin/HeatExch.h"
#include "tevrin/CPList.h"
#include "tests/views/design/DesignViewerTestSupport.h"

#include <gtest/gtest.h>

namespace {

using design_viewer_test::ViewerNetwork;

std::vector<int> dimsOf(HIDesignViewerDesign& viewer, const VarDescription& var) {
    DimInfo dims;
    viewer.Dimensions(var, dims);
    std::vector<int> out;
    for (int i = 0; i < dims.NumberOfDims(); ++i) out.push_back(dims.Dim(i));
    return out;
}

VarDescription named(const char* address) {
    VarDescription var;
    EXPECT_TRUE(VarDescription::Parse(address, var)) << address;
    return var;
}

TEST(ViewDesignViewerTables, TheCrossPinchTableAsksForRowsAndColumnsByFlag) {
    ViewerNetwork n;
    auto bare = n.Viewer();
    VarDescription table(6, 601);
    table.SetFlags(2 | 4);
    // No exchanger: no table at all.
    EXPECT_TRUE(dimsOf(*bare, table).empty());

    n.Units("phc");
    auto viewer = n.Viewer();
    // The design took the scenario's pinch when it joined it: a row per shown unit at once, but no
    // column while the first exchanger has no load across the pinch (its temperatures are open).
    EXPECT_EQ((std::vector<int>{3, 0}), dimsOf(*viewer, table));
    // The textbook streams' one pinch, 90 / 80.
    double pinch[2] = {90.0, 80.0};
    CPList pinchList;
    pinchList.Append(pinch);
    n.d->SetPinchPoints(&pinchList);
    n.d->ProcessChange(20, CPString(), nullptr);
    CNode* first = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(0, first));
    // The first exchanger's load across that pinch (its temperatures are not worked out here).
    first->setIndexedVariable("CrossPinchLoads", 0, 15.0, 2);
    ASSERT_GE(n.d->GetNumberOfCrossPinchLoads(), 1);
    int pinches = 0;
    double load = 0.0;
    while (first->getIndexedVariable("CrossPinchLoads", pinches, load)) ++pinches;
    // One column per pinch, a row per shown unit.
    EXPECT_EQ(1, pinches);
    EXPECT_EQ((std::vector<int>{3, 1}), dimsOf(*viewer, table));
    // The largest load heads the cross-pinch list; a column past the pinches has no load.
    VarDescription cell(6, 601);
    cell.SetOffset(0, 0);
    cell.SetOffset(1, 0);
    EXPECT_EQ(15.0, viewer->Value(cell));
    cell.SetOffset(1, 1);
    EXPECT_EQ(Viewable::EmptyValue, viewer->Value(cell));
    viewer->nFilterHeaters = 0;
    table.SetFlags(2);
    EXPECT_EQ((std::vector<int>{2}), dimsOf(*viewer, table));
    table.SetFlags(4);
    EXPECT_EQ((std::vector<int>{1}), dimsOf(*viewer, table));
    table.SetFlags(0);
    EXPECT_TRUE(dimsOf(*viewer, table).empty());
}

TEST(ViewDesignViewerTables, StructureAndCheckTablesAndNamedLists) {
    ViewerNetwork n;
    n.Units("phcp");
    CNode* cooler = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(2, cooler));
    cooler->addVariable("HTArea", 12.0, 1);
    auto viewer = n.Viewer();
    IHENDesign& d = *n.d;
    // A sub-network, loop or path table: its rows, then the units of the one the second index names.
    struct Table {
        int number, rows, columns;
    };
    const Table tables[] = {{903, d.GetNumberOfSubNetworks(), d.GetNumberOfUnitsInSubNetwork(0)},
                            {907, d.GetNumberOfLoops(), d.GetNumberOfUnitsInLoop(0)},
                            {910, d.GetNumberOfPaths(), d.GetNumberOfUnitsInPath(0)}};
    for (const Table& t : tables) {
        VarDescription var(1519, t.number);
        var.SetOffset(0, 0);
        var.SetOffset(1, 0);
        EXPECT_EQ((std::vector<int>{t.rows, t.columns}), dimsOf(*viewer, var)) << t.number;
    }
    EXPECT_EQ((std::vector<int>{d.GetNumberOfOptimizerCheckUntiedExchangers()}), dimsOf(*viewer, VarDescription(104, 1013)));
    EXPECT_EQ((std::vector<int>{d.GetNumberOfOptimizerCheckUnits()}), dimsOf(*viewer, VarDescription(1519, 1007)));
    // Lists known by name: the design's name is one cell, the exchanger kinds follow the
    // area-specified list (one cooler) except as plain text, the event's targets start empty.
    EXPECT_EQ((std::vector<int>{1}), dimsOf(*viewer, named("Name.303")));
    EXPECT_EQ((std::vector<int>{1}), dimsOf(*viewer, named("HeatExchType.400")));
    EXPECT_EQ((std::vector<int>{0}), dimsOf(*viewer, named("HXSelectionName.388")));
    EXPECT_EQ((std::vector<int>{std::max(0, d.GetNumberOfCrossPinchLoads())}), dimsOf(*viewer, named("Name.690")));
}

// A side temperature's cell: status 1 inside the network may be changed; at a stream's end, or
// calculated (status 2), it follows the exchanger's feasibility (a feasible one is read-only);
// status 0 on a process stream may be set. Process streams keep a utility placeholder at each
// end, so their exchangers' sides are inside; the steam of a heater runs feed, segment,
// heater, segment, product.
struct SideCase {
    int row;     // 0 the process exchanger H1/C1, 1 the heater ST/C2
    int number;  // 343 cold outlet, 344 cold inlet, 346 hot outlet, 347 hot inlet
    int status;
    int expected;  // -1: the exchanger's feasibility
};
void PrintTo(const SideCase& c, std::ostream* os) {
    *os << (c.row ? "heater" : "process exchanger") << ", variable " << c.number << ", status " << c.status;
}

class ViewDesignViewerSideState : public ::testing::TestWithParam<SideCase> {};

TEST_P(ViewDesignViewerSideState, ByStatusAndPlace) {
    ViewerNetwork n;
    n.Units("ph");
    auto viewer = n.Viewer();
    const SideCase& c = GetParam();
    CNode* unit = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(c.row, unit));
    HeatExch* hx = AsHeatExch(unit);
    ASSERT_NE(nullptr, hx);
    CNode* node = c.number == 346 ? hx->getOutlet(0) : c.number == 347 ? hx->getInlet(0)
                  : c.number == 343 ? hx->getOutlet(1) : hx->getInlet(1);
    node->addVariable("Temperature", 100.0, c.status);
    VarDescription var(1, c.number);
    var.SetOffset(0, c.row);
    const int feasibility = hx->IsFeasible() ? ReadOnlyState : SpecialState;
    for (ModifyState start : {ReadOnlyState, SpecialState}) {
        ModifyState state = start;
        int detail = 0;
        viewer->VariableStatus(var, state, detail);
        EXPECT_EQ(c.expected < 0 ? feasibility : c.expected, state) << start;
    }
}

INSTANTIATE_TEST_SUITE_P(Cells, ViewDesignViewerSideState,
                         ::testing::Values(SideCase{0, 346, 1, ModifiableState}, SideCase{0, 343, 1, ModifiableState},
                                           SideCase{1, 347, 1, -1},  // the steam's supply end
                                           SideCase{1, 346, 1, -1},  // the steam's return end
                                           SideCase{0, 346, 2, -1}, SideCase{0, 344, 0, ModifiableState},
                                           SideCase{1, 347, 0, -1}));  // steam is a utility

}  // namespace
