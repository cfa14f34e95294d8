#pragma once
// The choices of an enumerated form variable (type 105): entries of a value and a text, each
// shown or hidden, with a tree state for choices shown as a tree.
#include "lumeth/Text.h"
#include "lumeth/VarDescription.h"

#include <memory>
#include <vector>

class VarEnumInfo {
public:
    struct Entry {
        double value;
        Text text;
        bool hidden;
        int state;
    };

    void AddEntry(double value, const Text& text, int state = 0);
    void DeleteEntries() { m_entries.clear(); }
    // Position of the entry with the value (or the text), -1 when there is none.
    int FindEntry(double value) const;
    int FindEntry(const Text& text) const;
    // False when there is no entry with the value.
    bool FindAndHideEntry(double value);
    bool FindAndShowEntry(double value);
    bool ChangeEntryState(double value, int state);
    // The state of the entry at a position (a tree walked in order); false past the end.
    bool SetEntryStateAt(int index, int state);

    int NumberOfEntries() const { return static_cast<int>(m_entries.size()); }
    int NumberOfVisibleEntries() const;
    const Entry* GetEntry(int index) const;

private:
    std::vector<Entry> m_entries;
};

// A variable as the form names it, with the choices the form itself lists for it: texts
// separated by ';', each optionally "value=text" (otherwise numbered from 0).
class VariableNameInfo {
public:
    VariableNameInfo() = default;
    VariableNameInfo(const VarDescription& var, const Text& choices) : m_var(var), m_choices(choices) {}

    const VarDescription& Var() const { return m_var; }
    const Text& Choices() const { return m_choices; }
    // A new enumeration of the form's choices; the caller owns it.
    std::unique_ptr<VarEnumInfo> GetParsedEnumInfo() const;

private:
    VarDescription m_var;
    Text m_choices;
};
