#include "eng/design/HENDesignFactory.h"

#include "eng/design/HENDesign.h"

IHENDesign* HENDesignFactory::CreateDesign(IHeatIntegrationScenario& scenario, const CPString& name) {
    return new CPIHENDesign(&scenario, name);
}
