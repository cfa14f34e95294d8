#pragma once
// Values typed into a scenario while one of its networks is locked for operation re-solve that
// network's default point at once. A table that takes such a value asks here whether the point
// is still one the plant's heaters, coolers and utilities can run at.
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"

// Why a network of the scenario locked for operation can run at no default point (null when each
// can).
inline const char* LockedOperatingPointRefusal(const IHeatIntegrationScenario* scenario) {
    IHENDesign* design = nullptr;
    for (int i = 0; scenario && scenario->GetDesign(i, design, 0) && design; ++i)
        if (design->GetOperationLocked())
            if (const char* refusal = design->GetOperatingPointRefusal()) return refusal;
    return nullptr;
}

// Whether a network of the scenario is locked for operation.
inline bool HasLockedDesign(const IHeatIntegrationScenario* scenario) {
    IHENDesign* design = nullptr;
    for (int i = 0; scenario && scenario->GetDesign(i, design, 0) && design; ++i)
        if (design->GetOperationLocked()) return true;
    return false;
}
