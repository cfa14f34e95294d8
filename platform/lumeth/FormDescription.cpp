#include "lumeth/FormDescription.h"

#include <cctype>

FormKey FormKey::Of(const VarDescription& var) {
    const VarDescription& v = var.Final();
    FormKey key{v.Type(), v.Number(), Text()};
    // A variable known by name: the name tells it apart from others of the same number.
    if (!v.Name().empty() && VarDescription::TypeCodeOfName(v.Name()) < 0) {
        key.name = v.Name();
        for (char& c : key.name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return key;
}

void FormDescription::Add(const FormVariable& variable) {
    m_indexed = false;
    m_variables.push_back(variable);
    VarDescription var;
    if (variable.typeCode < 0 && VarDescription::Parse(variable.address, var)) m_variables.back().typeCode = var.Type();
}

const FormVariable* FormDescription::Find(const VarDescription& var) const {
    if (!m_indexed) {
        m_index.clear();
        for (std::size_t i = 0; i < m_variables.size(); ++i) {
            VarDescription row;
            if (!VarDescription::Parse(m_variables[i].address, row)) continue;
            FormKey k = FormKey::Of(row);
            // A numbered row stands for every number of its kind and name: it is found by number -1.
            if (m_variables[i].numbered) k.number = -1;
            m_index.emplace(k, i);
        }
        m_indexed = true;
    }
    FormKey key = FormKey::Of(var);
    auto it = m_index.find(key);
    if (it == m_index.end()) {
        key.number = -1;
        it = m_index.find(key);
    }
    return it == m_index.end() ? nullptr : &m_variables[it->second];
}

Text FormDescription::Refusals(const Text& address) const {
    auto it = m_refusals.find(address);
    Text keys = it == m_refusals.end() ? Text() : it->second;
    for (const FormVariable& v : m_variables) {
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

Text WriteRefusals(const FormVariable& v) {
    if (v.hook != FormHook::Value && v.hook != FormHook::Text) return Text();
    Text keys = WriteRefusal::ReadOnly;
    if (!v.editable && !v.byState) return keys;
    if (v.hook == FormHook::Value) keys = keys + " " + WriteRefusal::OutOfRange + " " + WriteRefusal::NotANumber;
    return keys + " " + WriteRefusal::NotTaken;
}

namespace {
const char* hookName(FormHook hook) {
    switch (hook) {
        case FormHook::Value: return "value";
        case FormHook::Text: return "text";
        case FormHook::Command: return "command";
        case FormHook::Object: return "object";
        case FormHook::Link: return "link";
    }
    return "?";
}
}  // namespace

std::vector<Text> FormDescription::Listing(int unitSet) const {
    std::vector<Text> lines;
    lines.reserve(m_variables.size());
    for (const FormVariable& v : m_variables) {
        const UnitConversion unit = DefUnitConv(v.typeCode, unitSet);
        lines.push_back(v.address + " " + hookName(v.hook) + FormattedText(" type=%d unit=", v.typeCode) +
                        (unit.name.empty() ? Text("-") : unit.name) + (v.editable ? " editable" : " readonly") +
                        FormattedText(" dims=%d", v.dimensions) + (v.numbered ? " numbered" : "") + (Refusals(v.address).empty() ? Text() : " refuses=" + Refusals(v.address)));
    }
    return lines;
}
