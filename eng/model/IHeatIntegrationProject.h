#pragma once
// The interface of a heat-integration project: a named container of scenarios. The project's own
// name, engineer, date, comments and notes come from the engineering manager's project interface.
#include "brasko/CLurmetProject.h"
#include "dunmor/CPString.h"

class IHeatIntegrationScenario;
class IDataExtraction;
class CloneSelection;

class IHeatIntegrationProject : public virtual ILurmetProject {
public:
    // The engine-object type and interface number of a heat-integration project.
    static constexpr int ObjectType = 501;

    ~IHeatIntegrationProject() override = default;

    // A copy (or, when `name` is taken, an append) of `source` under the selection.
    virtual int AddScenario(const CPString& name, IHeatIntegrationScenario* source,
                            const CloneSelection* selections) = 0;
    // A retrofit copy of `source` built around its design `designName`.
    virtual int AddScenario(IHeatIntegrationScenario* source, const CPString& designName) = 0;
    // A new empty scenario.
    virtual int AddScenario(const CPString& name) = 0;
    virtual int DeleteScenario(const CPString& name) = 0;
    virtual int GetNonRetrofitScenario(int index, IHeatIntegrationScenario*& out) const = 0;
    virtual int GetScenario(const CPString& name, IHeatIntegrationScenario*& out) const = 0;
    virtual int GetScenario(int index, IHeatIntegrationScenario*& out) const = 0;
    virtual int RenameScenario(const CPString& oldName, const CPString& newName) = 0;
    virtual int GetNumberOfNonRetrofitScenarios() const = 0;
    // Null when there is no such scenario; valid until the scenario is renamed or deleted.
    virtual const char* GetNonRetrofitScenarioName(int index) const = 0;
    virtual CPString CreateScenarioName(const CPString& base) const = 0;
    // The project's data-extraction interface (null when it has none).
    virtual IDataExtraction* GetDataExtraction() const { return nullptr; }
};
