// The design forms' list lengths and cell states: each list is as long as the row list its
// values map through, list modes the forms do not know give no rows, and a cell's state follows
// the status of the value it shows and the operations mode.
#include "eng/design/IHENDesign.h"
#include "tests/views/design/DesignViewerTestSupport.h"

#include <gtest/gtest.h>

namespace {

using design_viewer_test::ViewerNetwork;

std::vector<int> dimsOf(HIDesignViewerDesign& viewer, int type, int number) {
    DimInfo dims;
    viewer.Dimensions(VarDescription(type, number), dims);
    std::vector<int> out;
    for (int i = 0; i < dims.NumberOfDims(); ++i) out.push_back(dims.Dim(i));
    return out;
}

struct DimCase {
    int type, number;
    int filter;  // 0 process exchangers only, 1 all
    int streamMode;
    std::vector<int> dims;
};
void PrintTo(const DimCase& c, std::ostream* os) {
    *os << "variable " << c.type << "." << c.number << ", filter " << c.filter << ", stream mode " << c.streamMode;
}

class ViewDesignViewerDimensions : public ::testing::TestWithParam<DimCase> {};

// Units "phcp" with the cooler's area specified; C2 carries the heater and the second process
// exchanger.
TEST_P(ViewDesignViewerDimensions, ListsAreAsLongAsTheirRowLists) {
    ViewerNetwork n;
    n.Units("phcp");
    CNode* cooler = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(2, cooler));
    cooler->addVariable("HTArea", 12.0, 1);
    auto viewer = n.Viewer();
    const DimCase& c = GetParam();
    if (c.filter == 0) viewer->nFilterHeaters = viewer->nFilterCoolers = 0;
    viewer->nStreamListMode = c.streamMode;
    viewer->strSelectedStream = "C2";
    EXPECT_EQ(c.dims, dimsOf(*viewer, c.type, c.number));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ViewDesignViewerDimensions,
    ::testing::Values(DimCase{6, 304, 1, 0, {4}}, DimCase{6, 304, 0, 0, {2}}, DimCase{1508, 220, 0, 0, {4}},
                      DimCase{1508, 306, 1, 0, {1}}, DimCase{1508, 769, 1, 0, {2}}, DimCase{6, 301, 1, 1, {4}},
                      DimCase{6, 301, 1, 7, {}},  // a stream-list mode the forms do not know
                      DimCase{6, 318, 1, 0, {1}}, DimCase{6, 319, 1, 0, {1}}, DimCase{1519, 752, 1, 0, {2}},
                      DimCase{1519, 1034, 1, 0, {5}}, DimCase{31000, 712, 1, 0, {4}}));

TEST(ViewDesignViewerDimensionsAndStatus, WithoutADesignNoListHasRowsAndTheFrameworkDecidesStates) {
    ViewerNetwork n;
    n.Units("pc");
    auto viewer = n.Viewer(false);
    EXPECT_TRUE(dimsOf(*viewer, 6, 304).empty());
    for (ModifyState start : {ReadOnlyState, ModifiableState}) {
        ModifyState mine = start, base = start;
        int detail = 0;
        viewer->VariableStatus(VarDescription(1517, 500), mine, detail);
        viewer->Viewable::VariableStatus(VarDescription(1517, 500), base, detail);
        EXPECT_EQ(base, mine);
    }
}

struct StatusCase {
    int type, number;
    const char* value;  // set on the cooler (exchanger 2, filtered and unconfigured row 0)
    int status;
    bool operations;
    int expected;  // -1: left as passed
};
void PrintTo(const StatusCase& c, std::ostream* os) {
    *os << "variable " << c.type << "." << c.number << " set to " << (c.value ? c.value : "nothing") << ": status "
        << c.expected;
}

class ViewDesignViewerStatus : public ::testing::TestWithParam<StatusCase> {};

TEST_P(ViewDesignViewerStatus, CellsFollowTheirValuesStatus) {
    ViewerNetwork n;
    n.Units("c");
    CNode* cooler = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(0, cooler));
    const StatusCase& c = GetParam();
    cooler->addVariable(c.value, 5.0, c.status);
    auto viewer = n.Viewer();
    viewer->bOperationsMode = c.operations ? 1 : 0;
    for (ModifyState start : {ReadOnlyState, ModifiableState, SpecialState}) {
        ModifyState state = start;
        int detail = 0;
        VarDescription var(c.type, c.number);
        var.SetOffset(0, 0);
        viewer->VariableStatus(var, state, detail);
        EXPECT_EQ(c.expected < 0 ? start : c.expected, state) << start;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cells, ViewDesignViewerStatus,
    ::testing::Values(StatusCase{1517, 500, "HighEndDelT", 1, false, ModifiableState},
                      StatusCase{1517, 501, "HighEndDelT", 0, false, ModifiableState},
                      StatusCase{1517, 500, "HighEndDelT", 2, false, ReadOnlyState},
                      StatusCase{4101, 500, "HXFoulingFactor", 2, false, ReadOnlyState},
                      StatusCase{4101, 500, "HXFoulingFactor", 1, false, ModifiableState},
                      StatusCase{1508, 306, "HTArea", 1, true, ReadOnlyState},
                      StatusCase{1508, 306, "HTArea", 1, false, -1},
                      StatusCase{6, 318, "Duty", 2, false, ReadOnlyState},
                      StatusCase{6, 318, "Duty", 1, false, -1},
                      StatusCase{6, 318, "Duty", 1, true, ReadOnlyState},
                      StatusCase{104, 355, "Duty", 1, false, ReadOnlyState},
                      StatusCase{104, 355, "Duty", 0, false, -1},
                      StatusCase{104, 355, "Duty", 0, true, ReadOnlyState}));

}  // namespace
