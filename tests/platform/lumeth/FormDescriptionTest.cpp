#include "lumeth/DisplayUnits.h"
#include "lumeth/FormDescription.h"
#include "tests/support/FormProbeView.h"
#include "tests/support/ProbeView.h"

#include <gtest/gtest.h>

namespace {

void extraRows(FormDescription& form) { form.Add({"Switch.500", FormHook::Value, -1, true, 0}); }

TEST(FormDescription, OneListOfRowsGivesTheDispatchAndTheFormListing) {
    ProbeRegistry registry;
    RegisterFormProbe(registry.types);
    ObjectTypeInfo* derived = registry.types.Add(std::make_unique<ObjectTypeInfo>(
        "FormProbeChildObject", registry.types.Find(FormProbeView::TypeName), "FormProbeChild", 0, 1, ""));
    derived->SetLoadVariables(&extraRows);

    FormProbeView view(nullptr, "v");
    struct Case {
        const char* address;
        double typed;     // what the user types (-1: nothing)
        int accepted;     // Specify's answer
        double value;     // Value afterwards
        ModifyState state;
    };
    const Case cases[] = {
        {"Temperature.402.0", 120.0, 1, 120.0, ModifiableState},
        {"Temperature.402.1", 80.0, 1, 80.0, ModifiableState},
        {"Temperature.402.5", 1.0, 0, -32767.0, ModifiableState},  // past the end of the column
        {"Index.403", 9.0, 0, 2.0, ReadOnlyState},                 // read-only: the count stays
        {"Temperature.999", 1.0, 0, -32767.0, ReadOnlyState},      // not on the form: the base
    };
    for (const Case& c : cases) {
        VarDescription var;
        ASSERT_TRUE(VarDescription::Parse(c.address, var)) << c.address;
        EXPECT_EQ(c.accepted, view.Specify(var, c.typed)) << c.address;
        EXPECT_EQ(c.value, view.Value(var)) << c.address;
        ModifyState state = SpecialState;
        int detail = 0;
        view.VariableStatus(var, state, detail);
        EXPECT_EQ(c.state, state) << c.address;
    }
    VarDescription notes;
    ASSERT_TRUE(VarDescription::Parse("NOTES.400", notes));
    EXPECT_EQ(1, view.SpecifyText(notes, "kept"));
    EXPECT_EQ("kept", view.notes) << "a variable known by name is found whatever its case";
    VarDescription column;
    ASSERT_TRUE(VarDescription::Parse("Temperature.402.[]", column));
    DimInfo dims;
    EXPECT_EQ(1, view.Dimensions(column, dims));
    EXPECT_EQ(2, dims.Dim(0));
    VarDescription label;
    ASSERT_TRUE(VarDescription::Parse("ExtraData.404", label));
    EXPECT_EQ(1516, view.GetEDVarType(label)) << "the row's display kind";
    EXPECT_EQ(0, view.SpecifyText(label, "x"));

    FormDescription form;
    ASSERT_TRUE(derived->LoadVariables(form));
    const std::vector<Text> expected = {
        "Switch.500 value type=104 unit=- editable dims=0",
        "Temperature.402 value type=1 unit=F editable dims=1",
        "Index.403 value type=100 unit=- readonly dims=0",
        "Notes.400 text type=1519 unit=- editable dims=0",
        "ExtraData.404 text type=1516 unit=Btu/hr-F readonly dims=0",
    };
    EXPECT_EQ(expected, form.Listing(CustomaryUnits));
    FormDescription none;
    EXPECT_FALSE(registry.types.Find(ProbeView::TypeName)->LoadVariables(none));
}

}  // namespace
