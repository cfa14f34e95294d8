#pragma once
// What a scenario needs from the subsystems built on top of it: the target record builders, the
// maker of its designs, the maker of its automatic-design objects, the retrofit driver and the
// scenario record. A
// project hands its services to every scenario it creates; a service that is missing makes the
// operations that need it do nothing (no design is made, no retrofit step runs).
#include "eng/model/TargetRecordBuilders.h"

#include <memory>

class CPIScenario;
class IAdvancedSuperTargetFactory;
class ILurmetBinaryFile;
class IDataExtraction;
class IDataExtractionFactory;
class IHENDesignFactory;
class RetrofitDriver;

// Writes and reads the record of one scenario inside the project record.
class IScenarioRecord {
public:
    virtual ~IScenarioRecord() = default;
    virtual bool Store(CPIScenario& scenario, ILurmetBinaryFile& file) = 0;
    virtual bool Recall(CPIScenario& scenario, ILurmetBinaryFile& file) = 0;
};

struct ScenarioServices {
    std::shared_ptr<TargetRecordBuilders> builders = std::make_shared<NullTargetRecordBuilders>();
    std::shared_ptr<IHENDesignFactory> designs;
    std::shared_ptr<IAdvancedSuperTargetFactory> automaticDesign;
    std::shared_ptr<RetrofitDriver> retrofit;
    // Without it a project stores and recalls only projects that have no scenarios.
    std::shared_ptr<IScenarioRecord> records;
    // Makes the project's data-extraction interface; without it a project has none.
    std::shared_ptr<IDataExtractionFactory> extraction;
};

// The services of a project the engineering manager makes (type 501): the targeting subsystem's
// record builders, the scenario record and the real designs. Defined in module/, above the
// subsystems it names, so the model reaches them without knowing them.
ScenarioServices DefaultScenarioServices();
