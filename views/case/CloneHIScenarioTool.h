#pragma once
// The tool with which the user copies a scenario, or parts of it, into a new or an existing
// scenario: the front of the engine's clone tool (type 6672), opened by a project viewer for its
// current scenario. It is open only while the user works with it and is never written to a case.
#include "lumeth/Viewable.h"

class ICloneEngine;
class ILurmetBaseObject;
class IEngineeringManager;

class CloneHIScenarioTool : public Viewable {
public:
    static constexpr const char* TypeName = "CloneHIScenarioToolObject";

    // Opens the tool under `owner` for the scenario of the project: mode 1 opens the form
    // "DefaultView", mode 0 "CloneView". Null (and nothing left open) when the engine's clone
    // tool or the project cannot be had.
    static CloneHIScenarioTool* Open(Viewable* owner, const Text& projectName, const Text& scenarioName, int mode);
    ~CloneHIScenarioTool() override;

    ICloneEngine* GetEngine() const { return engine; }
    int GetMode() const { return mode; }

    // A tool is never read back from a case.
    bool RecallClassData(BinaryFile&, int) override { return false; }

private:
    CloneHIScenarioTool(Viewable* owner, const ObjectTypeInfo* type, int mode) : Viewable(owner, type), mode(mode) {}

    IEngineeringManager* manager = nullptr;
    ILurmetBaseObject* engineObject = nullptr;
    ICloneEngine* engine = nullptr;
    int mode = 0;
};
