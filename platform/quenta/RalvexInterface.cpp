#include "quenta/RalvexInterface.h"

#include "osmeri/CPItem.h"
#include "ralvex/Case.h"

CPItem* RalvexInterface::CASEGetFirstItem(Case* simulatorCase) const {
    return simulatorCase ? simulatorCase->GetFirstItem() : nullptr;
}

CPItem* RalvexInterface::CASEGetNextItem(Case* simulatorCase) const {
    return simulatorCase ? simulatorCase->GetNextItem() : nullptr;
}

CPItem* RalvexInterface::CASEGetItemByName(Case* simulatorCase, const CPString& name) const {
    return simulatorCase ? simulatorCase->GetItemByName(name) : nullptr;
}

int RalvexInterface::CASEDeleteItem(Case* simulatorCase, const CPString& name) const {
    return simulatorCase ? simulatorCase->DeleteItem(name) : 0;
}

CPValue* RalvexInterface::ITGetVal(CPItem* item, const CPString& name) const {
    return item ? item->GetVariable(name) : nullptr;
}

int RalvexInterface::VALGetSubValCount(const CPValue* value) const {
    return value ? static_cast<int>(value->GetSubvalueCount()) : 0;
}
