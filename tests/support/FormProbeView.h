#pragma once
// A view for framework tests that declares its variables once, as every view class does: a
// column of supply temperatures (editable), their count (read-only), a notes text (editable)
// and a label (read-only); its commands ask a question, pick a file and report an error with
// parameters. Its type registration lists the same rows for the form listing.
#include "lumeth/FormDescription.h"
#include "lumeth/Session.h"
#include "lumeth/Viewable.h"

#include <vector>

class FormProbeView : public Viewable {
public:
    static constexpr const char* TypeName = "FormProbeObject";

    FormProbeView(Viewable* parent, const Text& name) : Viewable(parent, TypeName) { SetName(name); }
    explicit FormProbeView(ObjectInstanceInfo& info) : Viewable(info) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new FormProbeView(info); }

    static const ViewForm<FormProbeView>& Form() {
        static const ViewForm<FormProbeView> form{
            {{"Temperature.402", FormHook::Value, -1, true, 1}, &FormProbeView::Supply, &FormProbeView::SetSupply,
             nullptr, nullptr, &FormProbeView::Rows},
            {{"Index.403", FormHook::Value, -1, false, 0}, &FormProbeView::Count, &FormProbeView::SetCount},
            {{"Notes.400", FormHook::Text, 1519, true, 0}, nullptr, nullptr, &FormProbeView::GetNotes,
             &FormProbeView::SetNotes},
            {{"ExtraData.404", FormHook::Text, 1516, false, 0}, nullptr, nullptr, &FormProbeView::Label},
        };
        return form;
    }
    static void LoadVariables(FormDescription& form) { Form().Describe(form); }

    double Value(const VarDescription& var) override {
        double out = EmptyValue;
        return Form().Value(*this, var, out) ? out : Viewable::Value(var);
    }
    int Specify(const VarDescription& var, double value) override {
        int result = 0;
        return Form().Specify(*this, var, value, result) ? result : Viewable::Specify(var, value);
    }
    Text TextValue(const VarDescription& var) override {
        Text out;
        return Form().TextValue(*this, var, out) ? out : Viewable::TextValue(var);
    }
    int SpecifyText(const VarDescription& var, const Text& text) override {
        int result = 0;
        return Form().SpecifyText(*this, var, text, result) ? result : Viewable::SpecifyText(var, text);
    }
    int Dimensions(const VarDescription& var, DimInfo& dims) override {
        int added = 0;
        return Form().Dimensions(*this, var, dims, added) ? added : Viewable::Dimensions(var, dims);
    }
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override {
        if (!Form().VariableStatus(var, state)) Viewable::VariableStatus(var, state, detail);
    }
    int GetEDVarType(const VarDescription& var) override {
        int type = 0;
        return Form().EDVarType(var, type) ? type : Viewable::GetEDVarType(var);
    }
    int Message(const Text& line) override {
        Text word, rest;
        line.Token(word, rest);
        if (word == "Clear") {
            if (ResponseMsg("ClearSuppliesQuestion", 2, {GetName()}) != 1) return 0;
            supplies.clear();
            return 1;
        }
        if (word == "Pick") {
            FileName name;
            if (!FilePicker::ChooseFileName(FNPromptStruct{"OpenSuppliesTitle", "SUP", {}, 5}, name)) return 0;
            notes = name;
            return 1;
        }
        if (word == "Check") {
            ErrorMsg("SupplyCountMsg", {GetName(), MessageParameter(static_cast<double>(supplies.size()))});
            return 1;
        }
        return Viewable::Message(line);
    }

    // Row i of the column; a value past the end appends.
    double Supply(const VarDescription& var) {
        const int i = var.Offset(0);
        return i >= 0 && i < static_cast<int>(supplies.size()) ? supplies[static_cast<std::size_t>(i)] : EmptyValue;
    }
    int SetSupply(const VarDescription& var, double value) {
        const int i = var.Offset(0);
        if (i < 0 || i > static_cast<int>(supplies.size())) return 0;
        if (i == static_cast<int>(supplies.size())) supplies.push_back(value);
        else supplies[static_cast<std::size_t>(i)] = value;
        return 1;
    }
    int Rows(const VarDescription&, DimInfo& dims) {
        dims.AddDim(static_cast<int>(supplies.size()));
        return 1;
    }
    double Count(const VarDescription&) { return static_cast<double>(supplies.size()); }
    int SetCount(const VarDescription&, double) { return 1; }
    Text GetNotes(const VarDescription&) { return notes; }
    int SetNotes(const VarDescription&, const Text& text) {
        notes = text;
        return 1;
    }
    Text Label(const VarDescription&) { return "Supplies of " + GetName(); }

    std::vector<double> supplies;
    Text notes;
};

// Registers the form probe (version 2, with its variables) in a registry.
inline ObjectTypeInfo* RegisterFormProbe(ObjectTypeRegistry& types) {
    if (ObjectTypeInfo* known = types.FindMutable(FormProbeView::TypeName)) return known;
    ObjectTypeInfo* type = types.Add(std::make_unique<ObjectTypeInfo>(
        FormProbeView::TypeName, types.Find("ViewableObject"), "FormProbe", 0, 1, "formprobe"));
    type->SetClassVersion(2);
    type->SetFactory(&FormProbeView::Create);
    type->SetLoadVariables(&FormProbeView::LoadVariables);
    return type;
}
