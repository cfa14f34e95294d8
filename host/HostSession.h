#pragma once
// One session of the host with the module: its engineering manager, the project it created as
// type 501, and the case file it reads or writes.
#include <string>

class IEngineeringManager;
class IHeatIntegrationProject;
class IHeatIntegrationScenario;
class ILurmetBaseObject;
class ModuleLoader;

// Whether the file starts with the case-file magic.
bool IsCaseFile(const std::string& path);

class HostSession {
public:
    explicit HostSession(ModuleLoader& module) : m_module(module) {}
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Sets the module up and creates the project through the engineering manager.
    bool Start(std::string& error);
    IHeatIntegrationScenario* NewScenario(const std::string& name, std::string& error);
    bool RecallCase(const std::string& path, std::string& error);
    bool SaveCase(const std::string& path, std::string& error);
    // The project's first scenario (null when it has none).
    IHeatIntegrationScenario* Scenario() const;

private:
    ModuleLoader& m_module;
    IEngineeringManager* m_manager = nullptr;
    ILurmetBaseObject* m_object = nullptr;
    IHeatIntegrationProject* m_project = nullptr;
};
