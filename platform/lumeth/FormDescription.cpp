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
    m_variables.push_back(variable);
    VarDescription var;
    if (variable.typeCode < 0 && VarDescription::Parse(variable.address, var)) m_variables.back().typeCode = var.Type();
}

void FormDescription::SetDomain(const Text& address, const CellDomain& domain) {
    for (FormVariable& v : m_variables)
        if (v.address == address) v.domain = domain;
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
