#include "lumeth/FormWrites.h"

#include "lumeth/ObjectTypeInfo.h"

#include <map>
#include <memory>
#include <utility>

namespace {

// A type's form with its rows by key. A type is known by its address and name together, so a
// registration made anew at an address an earlier one had is not taken for it.
struct Listed {
    FormDescription form;
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
    }
    return *slot;
}

bool same(const FormKey& a, const FormKey& b) { return !(a < b) && !(b < a); }

}  // namespace

const FormDescription& ListedForm(const ObjectTypeInfo* type) { return listed(type).form; }

const FormVariable* FindListed(const FormDescription& form, const VarDescription& var) {
    const FormKey key = FormKey::Of(var);
    const FormVariable* found = nullptr;
    const FormVariable* numbered = nullptr;
    for (const FormVariable& v : form.Variables()) {
        VarDescription row;
        if (!VarDescription::Parse(v.address, row)) continue;
        FormKey k = FormKey::Of(row);
        // A variable listed twice (a number and a text, say) is found by the row the user may
        // type into, if either is.
        if (same(k, key) && (!found || (!found->editable && v.editable))) found = &v;
        // A numbered row stands for every number of its kind and name.
        k.number = key.number;
        if (v.numbered && !numbered && same(k, key)) numbered = &v;
    }
    return found ? found : numbered;
}

namespace {
bool heldBy(const FormDescription& form, const FormVariable& row, const char* key) {
    const Text own = " " + form.Refusals(row.address) + " ";
    return own.find_first_not_of(' ') == Text::npos || own.find(Text(" ") + key + " ") != Text::npos;
}
}  // namespace

bool HeldToState(const FormDescription& form, const FormVariable& row) { return heldBy(form, row, WriteRefusal::ReadOnly); }
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
