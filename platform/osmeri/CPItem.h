#pragma once
// An item of the base-object library: a named object of a class ("ppMaterialStream",
// "htHeatExchanger", ...) holding variables (value trees) by name, and related to other items.
//
// Relations: kind 4 lists the items this item feeds (downstream), kind 260 the items that feed
// it (upstream). The two are kept as inverses of each other: linking A to B with kind 4 makes A
// an upstream neighbour of B, and unlinking or destroying either item removes both sides.
// Neighbours are kept in the order they were linked.
//
// Walks: GetFirstRelatedNode / GetNextRelatedNode and GetFirstValue / GetNextValue keep their
// cursor on the item, as the simulator framework does, so two walks over one item must not be
// nested. Engine code that walks inside a walk takes a snapshot (RelatedNodes, by index) instead.
#include "osmeri/CPValue.h"
#include "osmeri/Navigable.h"

#include <cstddef>
#include <memory>
#include <vector>

class CPItem : public NamedObject {
public:
    // Relation kinds.
    static constexpr int Downstream = 4;
    static constexpr int Upstream = 260;

    CPItem() = default;
    explicit CPItem(const CPString& name) : NamedObject(name) {}
    CPItem(const CPString& name, const CPString& className) : NamedObject(name), m_className(className) {}
    // A copy takes the name, class and variables, never the relations.
    CPItem(const CPItem& other);
    CPItem& operator=(const CPItem& other);
    // Unlinks the item from every neighbour.
    ~CPItem() override;

    void WhoAmI(CPString& out) const override { out = "CPItem"; }

    const CPString& _get_szName() const { return GetName(); }
    const CPString& _get_szClassName() const { return m_className; }
    void _set_szClassName(const CPString& className) { m_className = className; }

    // Adds a variable of that name with no value (answers the existing one if present).
    CPValue* InternVariable(const CPString& name);
    CPValue* AddVariable(const CPString& name, void* reserved = nullptr) { (void)reserved; return InternVariable(name); }
    // Appends a variable without looking for one of its name: for readers that checked names
    // themselves.
    CPValue* AppendVariable(CPValue&& value);
    CPValue* FindVariable(const CPString& name);
    const CPValue* FindVariable(const CPString& name) const;
    CPValue* GetVariable(const CPString& name) { return FindVariable(name); }
    const CPValue* GetVariable(const CPString& name) const { return FindVariable(name); }
    std::size_t GetNumberOfVariables() const { return m_vars.size(); }
    CPValue* GetVariable(std::size_t index) { return index < m_vars.size() ? m_vars[index].get() : nullptr; }
    // Cursor over the variables in the order they were added.
    CPValue* GetFirstValue();
    CPValue* GetNextValue();

    // ---- relations (kinds 4 and 260; any other kind is refused) ----
    // Links this item to `other` (kind 4: this feeds other; 260: other feeds this). 1 when
    // linked; 0 for a null or own item, another kind, or a link that exists already.
    int AddRelatedNode(CPItem* other, int kind, int reserved = 1, void* r1 = nullptr, void* r2 = nullptr);
    // Removes the link (both sides); 1 when there was one.
    int UnlinkRelatedNode(CPItem* other, int kind);
    CPItem* GetFirstRelatedNode(int kind, void* reserved = nullptr);
    CPItem* GetNextRelatedNode();
    int GetRelatedNodeCount(int kind, void* reserved = nullptr) const;
    bool IsRelatedTo(const CPItem* other, int kind) const;
    // A copy of the neighbours of that kind, in order (empty for another kind).
    std::vector<CPItem*> RelatedNodes(int kind) const;
    // Removes every link of the item.
    void UnlinkAll();

    bool bIsMetaItem = false;
    bool bIsTemporary = false;
    int nLoadPriority = 0;

private:
    std::vector<CPItem*>* Neighbours(int kind);
    const std::vector<CPItem*>* Neighbours(int kind) const;

    CPString m_className;
    std::vector<std::unique_ptr<CPValue>> m_vars;
    std::vector<CPItem*> m_downstream;
    std::vector<CPItem*> m_upstream;
    std::size_t m_valueCursor = 0;
    int m_relationKind = 0;
    std::size_t m_relationCursor = 0;
};
