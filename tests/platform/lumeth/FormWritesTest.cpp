// What every form holds a typed value to before the view: each rule of the input dispatchers, one
// case failing it alone, on a view whose cells the form lists with and without refusals of their
// own.
#include "lumeth/FormWrites.h"
#include "lumeth/KindRanges.h"
#include "lumeth/Session.h"
#include "tests/support/ProbeView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Temperature.1: no refusals of its own. Temperature.2: its own only. Temperature.3: its own and the
// general ones. Index.4: listed read-only. Notes.5: a text. Each number cell may be made read-only
// by the view's state; a typed 13 is refused without a word.
class WriteProbe : public Viewable {
public:
    static constexpr const char* TypeName = "WriteProbeObject";
    explicit WriteProbe(const ObjectTypeInfo* type) : Viewable(nullptr, type) { SetName("probe"); }

    static void LoadVariables(FormDescription& form) {
        form.Add({"Temperature.1", FormHook::Value, -1, true, 0});
        form.Add({"Temperature.2", FormHook::Value, -1, true, 0});
        form.Add({"Temperature.3", FormHook::Value, -1, true, 0});
        form.Add({"Index.4", FormHook::Value, -1, false, 0});
        form.Add({"Notes.5", FormHook::Text, 1519, true, 0});
        form.SetRefusals("Temperature.2", "OwnKey");
        form.SetRefusals("Temperature.3", "OwnKey ReadOnlyCell SpecRange");
    }
    int Specify(const VarDescription& var, double value) override {
        if (value == 13.0) return 0;
        values[var.Number()] = value;
        return 1;
    }
    double Value(const VarDescription& var) override { return values[var.Number()]; }
    int SpecifyText(const VarDescription& var, const Text& text) override {
        if (var.Number() != 5) return Viewable::SpecifyText(var, text);
        notes = text;
        return 1;
    }
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override {
        Viewable::VariableStatus(var, state, detail);
        if (lockedNow && var.Type() == 1) state = ReadOnlyState;
        if (openEverything) state = ModifiableState;
    }
    int GetEDVarType(const VarDescription& var) override { return var.Type(); }

    double values[6] = {0, 0, 0, 0, 0, 0};
    Text notes;
    bool lockedNow = false;
    bool openEverything = false;  // the view's state calls every cell editable
};

class FormWrites : public ::testing::Test {
protected:
    FormWrites() {
        ObjectTypeInfo* type = registry.types.Add(std::make_unique<ObjectTypeInfo>(
            WriteProbe::TypeName, registry.types.Find("ViewableObject"), "WriteProbe", 0, 1, "writeprobe"));
        type->SetLoadVariables(&WriteProbe::LoadVariables);
        view = std::make_unique<WriteProbe>(type);
        InstallKindRanges({{1, -273.15, 5000.0}});
        Session::Instance().Reset();
    }
    ~FormWrites() override {
        InstallKindRanges({});
        Session::Instance().Reset();
    }
    // The keys of the messages the last input showed.
    Text told() {
        Text keys;
        for (const SessionEntry& e : Session::Instance().Journal())
            if (e.event == SessionEvent::Error || e.event == SessionEvent::Response) keys += (keys.empty() ? "" : " ") + e.key;
        Session::Instance().Reset();
        return keys;
    }

    ProbeRegistry registry;
    std::unique_ptr<WriteProbe> view;
};

TEST_F(FormWrites, EachRuleRefusesWithItsOwnKeyAndTakesWhatItAllows) {
    struct Case {
        const char* name;
        bool locked;
        const char* address;
        double value;
        int result;
        const char* keys;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"taken", false, "Temperature.1", 20.0, 1, ""},
        {"listed read-only", false, "Index.4", 1.0, 0, "ReadOnlyCell"},
        {"read-only by the view's state", true, "Temperature.1", 20.0, 0, "ReadOnlyCell"},
        // What the view's state makes read-only refuses whatever keys the cell lists of its own.
        {"state held for a cell with keys of its own", true, "Temperature.2", 20.0, 0, "ReadOnlyCell"},
        {"state held where the cell lists it", true, "Temperature.3", 20.0, 0, "ReadOnlyCell"},
        {"a cell with keys of its own, editable", false, "Temperature.2", 20.0, 1, ""},
        {"below the kind's range", false, "Temperature.1", -300.0, 0, "SpecRange"},
        {"above the kind's range", false, "Temperature.1", 1e15, 0, "SpecRange"},
        {"range left to a cell with keys of its own", false, "Temperature.2", 1e15, 1, ""},
        {"range held where the cell lists it", false, "Temperature.3", 1e15, 0, "SpecRange"},
        {"no finite number, whatever the cell", false, "Temperature.2", inf, 0, "SpecRange"},
        {"the empty value erases", false, "Temperature.1", Viewable::EmptyValue, 1, ""},
        {"a refusal without a word is told", false, "Temperature.2", 13.0, 0, "ValueNotTaken"},
    };
    for (const Case& c : cases) {
        view->lockedNow = c.locked;
        VarDescription var;
        ASSERT_TRUE(VarDescription::Parse(c.address, var));
        const double before = view->values[var.Number()];
        EXPECT_EQ(c.result, SpecifyValue(view.get(), c.address, c.value)) << c.name;
        EXPECT_EQ(Text(c.keys), told()) << c.name;
        if (c.result == 0) {
            EXPECT_EQ(before, view->values[var.Number()]) << c.name;
        }
    }
}

// What a write finds is what a script's `status` tells: the form's listing first, then the view's
// state.
TEST_F(FormWrites, ACellsStateIsItsListingAndThenTheViews) {
    const auto stateOf = [&](const char* address) {
        VarDescription var;
        VarDescription::Parse(address, var);
        return ListedCellState(view.get(), var, *FindListed(view->GetViewType(), var));
    };
    EXPECT_EQ(ModifiableState, stateOf("Temperature.2"));
    view->lockedNow = true;
    EXPECT_EQ(ReadOnlyState, stateOf("Temperature.2"));
    EXPECT_EQ(ReadOnlyState, stateOf("Temperature.3"));
    view->lockedNow = false;
    // A cell the form lists read-only stays so, whatever the view's state says.
    view->openEverything = true;
    EXPECT_EQ(ReadOnlyState, stateOf("Index.4"));
    EXPECT_EQ(0, SpecifyValue(view.get(), "Index.4", 1.0));
    EXPECT_EQ(Text("ReadOnlyCell"), told());
}

TEST_F(FormWrites, ATextIntoANumberCellIsReadAsANumberOrRefused) {
    EXPECT_EQ(1, SpecifyValueText(view.get(), "Temperature.1", " 42 "));
    EXPECT_EQ(42.0, view->values[1]);
    EXPECT_EQ(Text(), told());
    EXPECT_EQ(0, SpecifyValueText(view.get(), "Temperature.1", "abc"));
    EXPECT_EQ(Text("NotANumber"), told());
    EXPECT_EQ(42.0, view->values[1]);
    // Read as a number, it is held to the number's rules.
    EXPECT_EQ(0, SpecifyValueText(view.get(), "Temperature.1", "6000"));
    EXPECT_EQ(Text("SpecRange"), told());
    // A text cell takes its text; read-only, it takes none.
    EXPECT_EQ(1, SpecifyValueText(view.get(), "Notes.5", "hello"));
    EXPECT_EQ(Text("hello"), view->notes);
    EXPECT_EQ(0, SpecifyValueText(view.get(), "Index.4", "1"));
    EXPECT_EQ(Text("ReadOnlyCell"), told());
}

TEST_F(FormWrites, TheListingNamesEveryKeyAWriteMayShow) {
    const FormDescription& form = ListedForm(view->GetViewType());
    EXPECT_EQ(Text("ReadOnlyCell SpecRange NotANumber ValueNotTaken"), ListedRefusals(form, "Temperature.1"));
    EXPECT_EQ(Text("OwnKey ReadOnlyCell SpecRange NotANumber ValueNotTaken"), ListedRefusals(form, "Temperature.2"));
    EXPECT_EQ(Text("ReadOnlyCell"), ListedRefusals(form, "Index.4"));
    EXPECT_EQ(Text("ReadOnlyCell ValueNotTaken"), ListedRefusals(form, "Notes.5"));
    // The base's cell state is the form's.
    ModifyState state = SpecialState;
    int detail = 0;
    view->Viewable::VariableStatus(VarDescription("Temperature", 1), state, detail);
    EXPECT_EQ(ModifiableState, state);
    view->Viewable::VariableStatus(VarDescription("Index", 4), state, detail);
    EXPECT_EQ(ReadOnlyState, state);
}

}  // namespace
