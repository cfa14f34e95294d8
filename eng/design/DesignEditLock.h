#pragma once
// Why a network takes no edit of its structure (units, splits, branches): the message key of the
// lock that holds it, which every view editing the structure tells; null when none does.
#include "eng/design/IHENDesign.h"

inline const char* StructureEditRefusal(const IHENDesign& design) {
    if (design.GetOperationLocked()) return "GridEditLockedInOperation";
    if (design.GetEditLockState() == 1) return "GridEditLockedRetrofitBase";
    return nullptr;
}
