#pragma once
// The form description of a view class: the variables its forms may address, listed once, as
// rows of one type. The same rows give the class's dispatch (which member answers Value,
// Specify, TextValue, SpecifyText and Dimensions for a variable, whether the user may edit it,
// its display kind) and the listing of its form that the host prints for a user. A class hands
// its rows to the framework through its type registration's LoadVariables slot.
//
// How a view declares its variables:
//
//     const ViewForm<MyView>& MyView::Form() {
//         static const ViewForm<MyView> form{
//             {{"Temperature.402", FormHook::Value, 1, true, 1}, &MyView::Supply, &MyView::SetSupply,
//              nullptr, nullptr, &MyView::StreamRows},
//             {{"Notes.400", FormHook::Text, 1519, true, 0}, nullptr, nullptr, &MyView::Notes,
//              &MyView::SetNotes},
//         };
//         return form;
//     }
//     double MyView::Value(const VarDescription& v) {
//         double out;
//         return Form().Value(*this, v, out) ? out : Viewable::Value(v);
//     }
//     // at registration: type->SetLoadVariables([](FormDescription& f) { MyView::Form().Describe(f); });
#include "lumeth/CellDomain.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/VarDescription.h"

#include <initializer_list>
#include <map>
#include <tuple>
#include <vector>

// Which hook a variable is read through. A link row names views the view reaches without
// owning them (its neighbours), one per index: the form lists the ones there are.
enum class FormHook { Value, Text, Command, Object, Link };

// One variable of a form.
struct FormVariable {
    Text address;          // as a form writes it: "Temperature.402", "Notes.400"
    FormHook hook = FormHook::Value;
    int typeCode = -1;     // the kind of quantity its values are shown in; -1: the address's own
    bool editable = false;
    int dimensions = 0;    // 0 for a single value, 1 for a column, 2 for a table
    // An editable single value that the user may type only while the view's cell state says so
    // (a cell that stands for a node that is not always there): its listing follows that state.
    bool byState = false;
    // The number is the row (a heading per stream, say): the form holds one such variable per
    // number from 0 to its row count less one, as the view's Dimensions tells; the address
    // names number 0. Set by name (`.numbered = ...`), as the flags after `dimensions` are.
    bool numbered = false;
    // What a write of the cell may give (set by name, or by the form's SetDomain): undeclared, it
    // is the domain of its kind of quantity.
    CellDomain domain{};
};

class FormDescription {
public:
    // A type code of -1 becomes that of the address.
    void Add(const FormVariable& variable);
    const std::vector<FormVariable>& Variables() const { return m_variables; }
    // The message keys a write of the variable may be refused with, blank-separated.
    void SetRefusals(const Text& address, const Text& keys) { m_refusals[address] = keys; }
    Text Refusals(const Text& address) const {
        auto it = m_refusals.find(address);
        return it == m_refusals.end() ? Text() : it->second;
    }
    // The domain of every listed variable at the address: what its quantity can be.
    void SetDomain(const Text& address, const CellDomain& domain);
    // The command words the view's Message handles, as its dispatch lists them.
    void AddCommand(const Text& word) { m_commands.push_back(word); }
    const std::vector<Text>& Commands() const { return m_commands; }
    // One line per variable: address, hook, type code, unit in the unit set, whether editable,
    // dimensions, and the keys a write may be refused with ("Temperature.402 value type=1
    // unit=C editable dims=1 refuses=TemperatureUpdateError").
    std::vector<Text> Listing(int unitSet = DefaultUnits) const;

private:
    std::vector<FormVariable> m_variables;
    std::vector<Text> m_commands;
    std::map<Text, Text> m_refusals;
};

// The key a variable is found by: its type code and number, and for a variable known by name
// (not a kind of quantity) the name without regard to case.
struct FormKey {
    int type = 0;
    int number = 0;
    Text name;
    bool operator<(const FormKey& o) const { return std::tie(type, number, name) < std::tie(o.type, o.number, o.name); }
    static FormKey Of(const VarDescription& var);
};

template <typename V>
class ViewForm {
public:
    struct Row {
        FormVariable info;
        double (V::*value)(const VarDescription&) = nullptr;
        int (V::*specify)(const VarDescription&, double) = nullptr;
        Text (V::*text)(const VarDescription&) = nullptr;
        int (V::*specifyText)(const VarDescription&, const Text&) = nullptr;
        int (V::*dimensions)(const VarDescription&, DimInfo&) = nullptr;
    };

    // A row whose address does not parse is dropped (and would show in no listing).
    ViewForm(std::initializer_list<Row> rows) {
        for (const Row& row : rows) {
            VarDescription var;
            if (!VarDescription::Parse(row.info.address, var)) continue;
            Row r = row;
            if (r.info.typeCode < 0) r.info.typeCode = var.Type();
            m_index.emplace(FormKey::Of(var), m_rows.size());
            m_rows.push_back(r);
        }
    }

    const Row* Find(const VarDescription& var) const {
        auto it = m_index.find(FormKey::Of(var));
        return it == m_index.end() ? nullptr : &m_rows[it->second];
    }

    // Each answers false when the form has no row (or no member) for the variable; the caller
    // then passes the call on to its base.
    bool Value(V& view, const VarDescription& var, double& out) const {
        const Row* r = Find(var);
        if (!r || !r->value) return false;
        out = (view.*(r->value))(var);
        return true;
    }
    bool Specify(V& view, const VarDescription& var, double value, int& result) const {
        const Row* r = Find(var);
        if (!r || !r->specify) return false;
        result = r->info.editable ? (view.*(r->specify))(var, value) : 0;
        return true;
    }
    bool TextValue(V& view, const VarDescription& var, Text& out) const {
        const Row* r = Find(var);
        if (!r || !r->text) return false;
        out = (view.*(r->text))(var);
        return true;
    }
    bool SpecifyText(V& view, const VarDescription& var, const Text& text, int& result) const {
        const Row* r = Find(var);
        if (!r || !r->specifyText) return false;
        result = r->info.editable ? (view.*(r->specifyText))(var, text) : 0;
        return true;
    }
    // Rows with a dimensions member ask it; others answer their declared count of dimensions
    // with no size (a single value: none).
    bool Dimensions(V& view, const VarDescription& var, DimInfo& dims, int& added) const {
        const Row* r = Find(var);
        if (!r || !r->dimensions) return false;
        added = (view.*(r->dimensions))(var, dims);
        return true;
    }
    bool VariableStatus(const VarDescription& var, ModifyState& state) const {
        const Row* r = Find(var);
        if (!r) return false;
        state = r->info.editable ? ModifiableState : ReadOnlyState;
        return true;
    }
    bool EDVarType(const VarDescription& var, int& type) const {
        const Row* r = Find(var);
        if (!r) return false;
        type = r->info.typeCode;
        return true;
    }

    void Describe(FormDescription& form) const {
        for (const Row& r : m_rows) form.Add(r.info);
    }
    int NumberOfRows() const { return static_cast<int>(m_rows.size()); }

private:
    std::vector<Row> m_rows;
    std::map<FormKey, std::size_t> m_index;
};
