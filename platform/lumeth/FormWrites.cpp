#include "lumeth/FormWrites.h"

#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Viewable.h"

#include <map>
#include <memory>
#include <utility>

namespace {

// A type's form with its rows by key. A type is known by its address and name together, so a
// registration made anew at an address an earlier one had is not taken for it.
struct Listed {
    FormDescription form;
    // The row of each key: of a variable listed twice (a number and a text, say) the one the
    // user may type into, if either is. A numbered row stands for every number of its kind and
    // name, under number -1.
    std::map<FormKey, std::size_t> rows;
};

const Listed& listed(const ObjectTypeInfo* type) {
    static std::map<std::pair<const ObjectTypeInfo*, Text>, std::unique_ptr<Listed>> made;
    static const Listed none;
    if (!type) return none;
    auto& slot = made[{type, type->GetName()}];
    if (!slot) {
        slot = std::make_unique<Listed>();
        type->LoadVariables(slot->form);
        const std::vector<FormVariable>& variables = slot->form.Variables();
        for (std::size_t i = 0; i < variables.size(); ++i) {
            VarDescription row;
            if (!VarDescription::Parse(variables[i].address, row)) continue;
            FormKey key = FormKey::Of(row);
            if (variables[i].numbered) key.number = -1;
            auto [at, added] = slot->rows.emplace(key, i);
            if (!added && !variables[at->second].editable && variables[i].editable) at->second = i;
        }
    }
    return *slot;
}

}  // namespace

const FormDescription& ListedForm(const ObjectTypeInfo* type) { return listed(type).form; }

const FormVariable* FindListed(const ObjectTypeInfo* type, const VarDescription& var) {
    const Listed& l = listed(type);
    FormKey key = FormKey::Of(var);
    auto at = l.rows.find(key);
    if (at == l.rows.end()) {
        key.number = -1;
        at = l.rows.find(key);
    }
    return at == l.rows.end() ? nullptr : &l.form.Variables()[at->second];
}

namespace {
bool heldBy(const FormDescription& form, const FormVariable& row, const char* key) {
    const Text own = " " + form.Refusals(row.address) + " ";
    return own.find_first_not_of(' ') == Text::npos || own.find(Text(" ") + key + " ") != Text::npos;
}
}  // namespace

ModifyState ListedCellState(Viewable* view, const VarDescription& var, const FormVariable& row) {
    if (!row.editable && !row.byState) return ReadOnlyState;
    ModifyState state = row.byState ? ReadOnlyState : ModifiableState;
    int detail = 0;
    view->VariableStatus(var, state, detail);
    // A choice with no entries now takes nothing.
    const CellDomain* domain = row.domain.Declared() ? &row.domain : nullptr;
    if (state != ReadOnlyState && domain && domain->entries && domain->entries(*view, var) <= 0) state = ReadOnlyState;
    return state;
}

bool HeldToRange(const FormDescription& form, const FormVariable& row) { return heldBy(form, row, WriteRefusal::OutOfRange); }

Text WriteRefusals(const FormVariable& v) {
    if (v.hook != FormHook::Value && v.hook != FormHook::Text) return Text();
    Text keys = WriteRefusal::ReadOnly;
    if (!v.editable && !v.byState) return keys;
    if (v.hook == FormHook::Value) keys = keys + " " + WriteRefusal::OutOfRange + " " + WriteRefusal::NotANumber;
    return keys + " " + WriteRefusal::NotTaken;
}

Text ListedRefusals(const FormDescription& form, const Text& address) {
    Text keys = form.Refusals(address);
    for (const FormVariable& v : form.Variables()) {
        if (v.address != address) continue;
        const Text general = WriteRefusals(v);
        std::size_t at = 0;
        while (at < general.size()) {
            std::size_t end = general.find(' ', at);
            if (end == Text::npos) end = general.size();
            const Text key(general.substr(at, end - at));
            if ((" " + keys + " ").find(" " + key + " ") == Text::npos) keys += (keys.empty() ? "" : " ") + key;
            at = end + 1;
        }
        break;
    }
    return keys;
}
