#pragma once
// The maker of a scenario's real designs; each design gets the optimiser provider the factory
// was given (none: the designs answer that no optimiser is available).
#include "eng/design/IHENDesign.h"
#include "eng/design/INetworkOptimiser.h"

#include <memory>

class HENDesignFactory : public IHENDesignFactory {
public:
    explicit HENDesignFactory(std::shared_ptr<INetworkOptimiserProvider> optimiser = nullptr)
        : m_optimiser(std::move(optimiser)) {}
    IHENDesign* CreateDesign(IHeatIntegrationScenario& scenario, const CPString& name) override;

private:
    std::shared_ptr<INetworkOptimiserProvider> m_optimiser;
};
