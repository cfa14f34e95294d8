#include "views/EnginePointers.h"

#include "brasko/EngineeringManager.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationTotalSite.h"
#include "lumeth/ViewRecords.h"

#include <string>

namespace {

constexpr int kPointerVersion = 1;

struct EnginePath {
    std::int32_t type = 0;
    CPString project, scenario, design;
};

bool writePath(BinaryFile& file, const EnginePath& path) {
    RecordHandle record;
    return file.BeginRecord(record, kPointerVersion) && file.WriteInt(path.type) && file.WriteCPString(path.project) &&
           file.WriteCPString(path.scenario) && file.WriteCPString(path.design) && file.EndRecord(record);
}

bool readPath(BinaryFile& file, EnginePath& path) {
    RecordHandle record;
    return file.BeginRecord(record) && file.ReadInt(path.type) && file.ReadCPString(path.project) &&
           file.ReadCPString(path.scenario) && file.ReadCPString(path.design) && file.EndRecord(record);
}

EnginePath projectPath(IHeatIntegrationProject* project) {
    EnginePath path;
    if (project) {
        path.type = project->GetObjectType();
        path.project = project->GetMyIdentifier();
    }
    return path;
}

EnginePath scenarioPath(IHeatIntegrationScenario* scenario) {
    EnginePath path;
    if (scenario && scenario->GetProject()) {
        path = projectPath(scenario->GetProject());
        path.scenario = scenario->GetName() ? scenario->GetName() : "";
    }
    return path;
}

// What a link names, as a refusal gives it: its owner's kind and the names along its path.
std::string named(const EnginePath& path) {
    std::string out = "a link to the engine's object of kind " + std::to_string(path.type) + " \"" +
                      std::string(path.project.c_str()) + "\"";
    if (!path.scenario.empty()) out += ", scenario \"" + std::string(path.scenario.c_str()) + "\"";
    if (!path.design.empty()) out += ", design \"" + std::string(path.design.c_str()) + "\"";
    return out;
}

bool refuseLink(const EnginePath& path, const char* why) { return ViewRecords::Refuse(named(path) + why); }

IHeatIntegrationProject* findProject(IEngineeringManager* manager, const EnginePath& path) {
    ILurmetBaseObject* object = nullptr;
    if (!manager || !manager->FindObject(path.project, path.type, &object) || !object) return nullptr;
    void* project = nullptr;
    if (!object->QueryInterface(IHeatIntegrationProject::ObjectType, &project)) return nullptr;
    return static_cast<IHeatIntegrationProject*>(project);
}

IHeatIntegrationScenario* findScenario(IEngineeringManager* manager, const EnginePath& path) {
    IHeatIntegrationProject* project = findProject(manager, path);
    IHeatIntegrationScenario* scenario = nullptr;
    if (!project || !project->GetScenario(path.scenario, scenario)) return nullptr;
    return scenario;
}

// Reads a scenario-level path of a project of the expected type.
bool readScenario(BinaryFile& file, IEngineeringManager* manager, int expectedType, IHeatIntegrationScenario*& out,
                  EnginePath& path) {
    out = nullptr;
    if (!readPath(file, path)) return false;
    if (path.type == 0) return true;
    if (path.type != expectedType) return refuseLink(path, ", not one of the kind the view links");
    out = findScenario(manager, path);
    return out != nullptr || refuseLink(path, ", which the case does not hold");
}

bool readDesign(BinaryFile& file, IEngineeringManager* manager, int expectedType, IHENDesign*& out) {
    out = nullptr;
    EnginePath path;
    IHeatIntegrationScenario* scenario = nullptr;
    if (!readScenario(file, manager, expectedType, scenario, path)) return false;
    if (path.type == 0) return true;
    return (scenario->GetDesign(path.design, out) && out != nullptr) || refuseLink(path, ", which the case does not hold");
}

}  // namespace

bool StoreProjectPointer(BinaryFile& file, IHeatIntegrationProject* project) { return writePath(file, projectPath(project)); }

bool StoreScenarioPointer(BinaryFile& file, IHeatIntegrationScenario* scenario) {
    return writePath(file, scenarioPath(scenario));
}

bool StoreDesignPointer(BinaryFile& file, IHeatIntegrationScenario* scenario, IHENDesign* design) {
    EnginePath path = design ? scenarioPath(scenario) : EnginePath();
    if (design && design->GetDesignName()) path.design = design->GetDesignName();
    if (design && path.design.empty()) path = EnginePath();
    return writePath(file, path);
}

// An object recalled under a project or a total site alike: an empty path recalls nothing and is
// no damage; any other owner's path is.
template <typename T, typename Find>
bool recallUnderEitherOwner(BinaryFile& file, IEngineeringManager* manager, T*& out, Find find) {
    out = nullptr;
    EnginePath path;
    if (!readPath(file, path)) return false;
    if (path.type == 0) return true;
    if (path.type != IHeatIntegrationProject::ObjectType && path.type != IHeatIntegrationTotalSite::TotalSiteType)
        return refuseLink(path, ", not one of the kind the view links");
    out = find(manager, path);
    return out != nullptr || refuseLink(path, ", which the case does not hold");
}

bool RecallProjectPointer(BinaryFile& file, IEngineeringManager* manager, IHeatIntegrationProject*& out) {
    return recallUnderEitherOwner(file, manager, out, findProject);
}

bool RecallScenarioPointer(BinaryFile& file, IEngineeringManager* manager, IHeatIntegrationScenario*& out) {
    EnginePath path;
    return readScenario(file, manager, IHeatIntegrationProject::ObjectType, out, path);
}

bool RecallScenarioTotalSitePointer(BinaryFile& file, IEngineeringManager* manager, IHeatIntegrationScenario*& out) {
    EnginePath path;
    return readScenario(file, manager, IHeatIntegrationTotalSite::TotalSiteType, out, path);
}

bool RecallScenarioOfEitherOwnerPointer(BinaryFile& file, IEngineeringManager* manager, IHeatIntegrationScenario*& out) {
    return recallUnderEitherOwner(file, manager, out, findScenario);
}

bool RecallDesignPointer(BinaryFile& file, IEngineeringManager* manager, IHENDesign*& out) {
    return readDesign(file, manager, IHeatIntegrationProject::ObjectType, out);
}

bool RecallDesignTotalSitePointer(BinaryFile& file, IEngineeringManager* manager, IHENDesign*& out) {
    return readDesign(file, manager, IHeatIntegrationTotalSite::TotalSiteType, out);
}
