#pragma once
// The heat-integration project (engine object type 501): a named container of scenarios, which
// it owns by name. Name, engineer, date, comments and notes come from the engineering manager's
// project. The project hands its scenario services to every scenario it makes, and holds the
// data-extraction interface its scenarios reach it through.
#include "brasko/CLurmetProject.h"
#include "eng/extraction/IDataExtraction.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/ScenarioServices.h"
#include "tevrin/CPTypedDictionary.h"

#include <memory>

class CPIScenario;
class IDataExtraction;

class CPIProject : public virtual IHeatIntegrationProject, public CLurmetProject {
public:
    static constexpr int RecordVersion = 1;
    static constexpr int kScenarioSlots = 256;

    // The prototype: registers the factory of type 501.
    CPIProject();
    CPIProject(IEngineeringManager* manager, const CPString& name);
    // Destroys every scenario.
    ~CPIProject() override;
    CPIProject(const CPIProject&) = delete;
    CPIProject& operator=(const CPIProject&) = delete;

    // Factory registered for type 501: a project with the default scenario services (real targets).
    static ILurmetBaseObject* CreateCPIProject(const CPString& name, IEngineeringManager* manager);
    // Registers the factory; answers whether this call installed it.
    static bool RegisterPrototype();

    // ---- ILurmetBaseObject ----
    int GetObjectType() const override { return ObjectType; }
    int QueryInterface(int id, void** out) override;
    CPString GetMyIdentifier() const override { return GetProjectName(); }
    // The project record (version 1): the scenarios by name, then the project part. A record of a
    // newer version is refused.
    bool Store(ILurmetBinaryFile& file) override;
    bool Recall(ILurmetBinaryFile& file) override;

    // ---- IHeatIntegrationProject ----
    int AddScenario(const CPString& name, IHeatIntegrationScenario* source, const CloneSelection* selections) override;
    int AddScenario(IHeatIntegrationScenario* source, const CPString& designName) override;
    int AddScenario(const CPString& name) override;
    int DeleteScenario(const CPString& name) override;
    int GetNonRetrofitScenario(int index, IHeatIntegrationScenario*& out) const override;
    int GetScenario(const CPString& name, IHeatIntegrationScenario*& out) const override;
    int GetScenario(int index, IHeatIntegrationScenario*& out) const override;
    int RenameScenario(const CPString& oldName, const CPString& newName) override;
    int GetNumberOfNonRetrofitScenarios() const override;
    const char* GetNonRetrofitScenarioName(int index) const override;
    CPString CreateScenarioName(const CPString& base) const override;

    // ---- ILurmetProject ----
    int GetNumberOfScenarios() const override;
    CPString GetScenarioName(int index) const override;

    // ---- services ----
    const ScenarioServices& GetScenarioServices() const { return m_services; }
    void SetScenarioServices(ScenarioServices services) { m_services = std::move(services); }
    // The interface set, else the project's own, made on first use by its services (none
    // without an extraction service).
    IDataExtraction* GetDataExtraction() const override;
    void SetDataExtraction(IDataExtraction* extraction) { m_pExtraction = extraction; }

protected:
    using ScenarioDictionary = CPTypedDictionary<CPIScenario>;
    // The dictionary the look-up, naming and renaming operations work on: the project's own; a
    // total site keeps its scenarios in a dictionary of its own and answers that one.
    virtual ScenarioDictionary* Scenarios() const { return m_pScenarios.get(); }
    CPIScenario* ScenarioAt(int index) const;
    CPIScenario* NonRetrofitScenarioAt(int index) const;

private:
    void EnsureDictionary();
    void DestroyScenarios();
    void SendChange(int code, const CPString& text) { SendAMessage(code, text, static_cast<IHeatIntegrationProject*>(this)); }

    std::unique_ptr<ScenarioDictionary> m_pScenarios;
    ScenarioServices m_services;
    IDataExtraction* m_pExtraction = nullptr;
    mutable std::unique_ptr<IDataExtraction> m_pOwnedExtraction;
};

struct ModuleRegistries;
// Load step: builds the project prototype, which registers type 501.
void RegisterProjectPrototype(ModuleRegistries& registries);
