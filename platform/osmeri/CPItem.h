#pragma once
// An item of the base-object library: a named object holding variables (value trees) by name.
#include "osmeri/CPValue.h"
#include "osmeri/Navigable.h"

#include <memory>
#include <vector>

class CPItem : public NamedObject {
public:
    CPItem() = default;
    explicit CPItem(const CPString& name) : NamedObject(name) {}
    CPItem(const CPItem& other);
    CPItem& operator=(const CPItem& other);

    void WhoAmI(CPString& out) const override { out = "CPItem"; }

    // Adds a variable of that name with no value (answers the existing one if present).
    CPValue* InternVariable(const CPString& name);
    CPValue* FindVariable(const CPString& name);
    const CPValue* FindVariable(const CPString& name) const;
    std::size_t GetNumberOfVariables() const { return m_vars.size(); }
    CPValue* GetVariable(std::size_t index) { return index < m_vars.size() ? m_vars[index].get() : nullptr; }

    bool bIsMetaItem = false;
    bool bIsTemporary = false;
    int nLoadPriority = 0;

private:
    std::vector<std::unique_ptr<CPValue>> m_vars;
};
