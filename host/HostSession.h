#pragma once
// One session of the host with the module: its engineering manager, the project it created as
// type 501, and the case file it reads or writes.
#include <functional>
#include <string>

class IEngineeringManager;
class IHeatIntegrationProject;
class IHeatIntegrationScenario;
class ILurmetBaseObject;
class ILurmetBinaryFile;
class ModuleLoader;

// Whether the file starts with the case-file magic (either form).
bool IsCaseFile(const std::string& path);
// Whether the two paths name one existing file.
bool SameFile(const std::string& a, const std::string& b);
// A save replaces a case; a file of any other kind is the user's, not ours to replace: false with
// the message when `save` is such a file.
bool SaveMayReplace(const std::string& save, std::string& error);

class HostSession {
public:
    explicit HostSession(ModuleLoader& module) : m_module(module) {}
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Sets the module up and creates the project through the engineering manager.
    bool Start(std::string& error);
    IHeatIntegrationScenario* NewScenario(const std::string& name, std::string& error);
    // Reads a case; a damaged file (checksum, structure or bytes after its end) fails.
    bool RecallCase(const std::string& path, std::string& error);
    // What follows the project in a case file: `more` reads (or, saving, writes) it. Without a
    // reader, a case's trailing record (its views) is passed over whole.
    using CaseMore = std::function<bool(ILurmetBinaryFile& file, std::string& error)>;
    bool RecallCase(const std::string& path, std::string& error, const CaseMore& more);
    // Whether the case read was of the older form, without a checksum.
    bool CaseWasUnchecked() const { return m_unchecked; }
    bool SaveCase(const std::string& path, std::string& error, const CaseMore& more = CaseMore());
    // The project's first scenario (null when it has none).
    IHeatIntegrationScenario* Scenario() const { return ScenarioAt(0); }
    // The project's scenario of that index (null past the last).
    IHeatIntegrationScenario* ScenarioAt(int index) const;
    IHeatIntegrationProject* Project() const { return m_project; }
    // Makes the manager's project of that name the one a save stores (a study the views built);
    // false with the message when the manager holds none.
    bool UseProject(const std::string& name, std::string& error);
    IEngineeringManager* Manager() const { return m_manager; }
    // The name the project is created under.
    static constexpr const char* ProjectName = "Kestrin project";

private:
    // Whether the case a writer holds reads back as a case is reopened (its records, its views'
    // record, what its content may hold); false with why not.
    bool ReadsBack(ILurmetBinaryFile& written, std::string& error) const;

    ModuleLoader& m_module;
    IEngineeringManager* m_manager = nullptr;
    ILurmetBaseObject* m_object = nullptr;
    IHeatIntegrationProject* m_project = nullptr;
    bool m_unchecked = false;
};
