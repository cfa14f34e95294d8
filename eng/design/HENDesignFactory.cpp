#include "eng/design/HENDesignFactory.h"

#include "eng/design/HENDesign.h"

IHENDesign* HENDesignFactory::CreateDesign(IHeatIntegrationScenario& scenario, const CPString& name) {
    auto* design = new CPIHENDesign(&scenario, name);
    design->SetNetworkOptimiserProvider(m_optimiser.get());
    return design;
}
