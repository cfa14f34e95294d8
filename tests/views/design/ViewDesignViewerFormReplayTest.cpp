// A design form read as the framework reads it: every variable the form description lists,
// in its order, first its dimensions, then every row (and column) they give, through the hook
// the description names. A list must have as many dimensions as the description says, and
// every cell inside them must read (a text row inside its list names something).
#include "eng/design/IHENDesign.h"
#include "lumeth/FormDescription.h"
#include "tests/views/design/DesignViewerTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using design_viewer_test::ViewerNetwork;

TEST(ViewDesignViewerFormReplay, EveryListedVariableReadsInsideItsDimensions) {
    ViewerNetwork n;
    n.Units("phcpc");
    CNode* cooler = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(2, cooler));
    cooler->addVariable("HTArea", 12.0, 1);
    auto viewer = n.Viewer();
    viewer->strSelectedStream = "H2";
    FormDescription form;
    HIDesignViewerDesign::LoadVariables(form);
    int cells = 0;
    for (const FormVariable& v : form.Variables()) {
        VarDescription var;
        ASSERT_TRUE(VarDescription::Parse(v.address, var)) << v.address;
        var.SetFlags(2 | 4);
        DimInfo dims;
        viewer->Dimensions(var, dims);
        // A listed column or table has its dimensions; a single value has none, or is a list of
        // one row.
        const bool single = v.dimensions == 0 && dims.NumberOfDims() == 1 && dims.Dim(0) == 1;
        if (!single) {
            EXPECT_EQ(v.dimensions, dims.NumberOfDims()) << v.address;
        }
        const int rows = dims.NumberOfDims() >= 1 ? dims.Dim(0) : 1;
        const int columns = dims.NumberOfDims() >= 2 ? dims.Dim(1) : 1;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                if (dims.NumberOfDims() >= 1) var.SetOffset(0, r);
                if (dims.NumberOfDims() >= 2) var.SetOffset(1, c);
                ++cells;
                if (v.hook == FormHook::Text) {
                    const Text text = viewer->TextValue(var);
                    // Names of a row list name the exchanger or stream of the row.
                    if (var.VariableIs("Name") && (var.Number() == 300 || var.Number() == 345 || var.Number() == 348)) {
                        EXPECT_FALSE(text.empty()) << v.address << "[" << r << "]";
                    }
                } else {
                    (void)viewer->Value(var);
                }
            }
    }
    EXPECT_GT(cells, 200);
    // Reading the form changes no setting it shows.
    EXPECT_EQ(9.0, viewer->GetExchangerFilter());
    EXPECT_EQ(0, n.scenario->GetUtilityAssignmentMethod());
}

}  // namespace
