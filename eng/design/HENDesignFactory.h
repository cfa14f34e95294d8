#pragma once
// The maker of a scenario's real designs.
#include "eng/design/IHENDesign.h"

class HENDesignFactory : public IHENDesignFactory {
public:
    IHENDesign* CreateDesign(IHeatIntegrationScenario& scenario, const CPString& name) override;
};
