// The services of a project the engineering manager makes: the targeting subsystem's record
// builders, the scenario record, the network-design subsystem's designs (with the network
// optimiser), the automatic design and the retrofit driver.
// Defined here, above the subsystems, so that the model reaches them without knowing them.
#include "eng/autodesign/AdvancedSuperTarget.h"
#include "eng/autodesign/NetworkOptimiserProvider.h"
#include "eng/design/HENDesignFactory.h"
#include "eng/extraction/SimulatorCaseProvider.h"
#include "eng/model/ScenarioRecord.h"
#include "eng/model/ScenarioServices.h"
#include "eng/retrofit/PinchRetrofitDriver.h"
#include "eng/targeting/ScenarioTargetBuilders.h"

ScenarioServices DefaultScenarioServices() {
    ScenarioServices services;
    services.builders = std::make_shared<ScenarioTargetBuilders>();
    services.records = std::make_shared<ScenarioRecord>();
    services.designs = std::make_shared<HENDesignFactory>(std::make_shared<NetworkOptimiserProvider>());
    services.automaticDesign = std::make_shared<AdvancedSuperTargetFactory>();
    services.extraction = std::make_shared<SimulatorCaseProviderFactory>();
    services.retrofit = std::make_shared<PinchRetrofitDriver>();
    return services;
}
