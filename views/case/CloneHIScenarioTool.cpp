#include "views/case/CloneHIScenarioTool.h"

#include "brasko/CaseDocument.h"
#include "eng/model/CloneEngine.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "lumeth/Session.h"

CloneHIScenarioTool* CloneHIScenarioTool::Open(Viewable* owner, const Text& projectName, const Text& scenarioName,
                                               int mode) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    const ObjectTypeInfo* type = registry ? registry->Find(TypeName) : nullptr;
    if (!type) return nullptr;
    auto* tool = new CloneHIScenarioTool(owner, type, mode);
    tool->SetName(scenarioName);
    tool->View(mode == 1 ? "DefaultView" : "CloneView");
    tool->manager = CaseEngineeringManager2(tool);
    tool->engineObject = tool->manager ? tool->manager->CreateObject(CloneEngine::ObjectType, scenarioName) : nullptr;
    void* engine = nullptr;
    if (!tool->engineObject || !tool->engineObject->QueryInterface(CloneEngine::ObjectType, &engine) || !engine) {
        delete tool;
        return nullptr;
    }
    tool->engine = static_cast<ICloneEngine*>(engine);
    // The project is looked up, never made: a name the case does not hold opens no tool (a new,
    // empty project of that name would be left in the case).
    ILurmetBaseObject* projectObject = nullptr;
    void* project = nullptr;
    if (!tool->manager->FindObject(projectName, IHeatIntegrationProject::ObjectType, &projectObject) || !projectObject ||
        !projectObject->QueryInterface(IHeatIntegrationProject::ObjectType, &project) || !project) {
        delete tool;
        return nullptr;
    }
    tool->engine->SetProject(static_cast<IHeatIntegrationProject*>(project));
    return tool;
}

CloneHIScenarioTool::~CloneHIScenarioTool() {
    Viewable::Message("CloseView");
    engine = nullptr;
    if (engineObject && manager) manager->ReleaseObject(engineObject);
    engineObject = nullptr;
}
