#include "ralvex/Model.h"

#include "osmeri/CPItem.h"

namespace {
const CPString kHeatTransfer = "picHeatTransferEquipment";
const CPString kSeparator = "vsSeparator";
const CPString kLogical = "picLogicalOperation";

CPString builtInParent(const CPString& c) {
    if (c.size() > 2 && c.compare(0, 2, "ht") == 0) return kHeatTransfer;
    if (c == "vsSeparatorTwoPhase" || c == "vsSeparatorThreePhase") return kSeparator;
    if (c == "lgRecycle") return kLogical;
    return CPString();
}
}  // namespace

CPString Model::ParentOf(const CPString& className) const {
    auto it = m_parents.find(className);
    return it != m_parents.end() ? it->second : builtInParent(className);
}

bool Model::DeclareClass(const CPString& className, const CPString& parent) {
    if (className.empty() || IsDeclared(className)) return false;
    // Walk up from the parent: meeting the new class again would close a loop. Every step goes
    // to a declared class or to a built-in one, so the walk ends within the declared count + 3.
    CPString c = parent;
    for (std::size_t steps = 0; !c.empty() && steps <= m_parents.size() + 3; ++steps) {
        if (c == className) return false;
        c = ParentOf(c);
    }
    m_parents.emplace(className, parent);
    return true;
}

int Model::IsClassAncestor(const CPString& className, const CPString& ancestor) const {
    if (ancestor.empty()) return 0;
    CPString c = className;
    for (std::size_t steps = 0; !c.empty() && steps <= m_parents.size() + 3; ++steps) {
        if (c == ancestor) return 1;
        c = ParentOf(c);
    }
    return 0;
}

int Model::IsAncestor(const CPItem* item, const CPString& className, int) const {
    return item ? IsClassAncestor(item->_get_szClassName(), className) : 0;
}
