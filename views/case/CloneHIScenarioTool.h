#pragma once
// The tool with which the user copies a scenario, or parts of it, into a new or an existing
// scenario: the front of the engine's clone tool (type 6672), opened by a project viewer (or a
// total-site viewer) for its current scenario. It shows the scenario's contents as a tree of
// tick boxes, hands every toggle and the chosen name to the engine and asks it to clone. It is
// open only while the user works with it and is never written to a case.
//
// The tree, in this order (identifier: text; the engine's selection kind and index):
//   0 "Process Streams" (1, 0), 1000 + i process stream i (1, i + 1),
//   1 "Utility Streams" (2, 0), 2000 + i utility stream i (2, i + 1),
//   2 "Economics Parameters" (3, 0), 3 "Forbidden Matches" (4, 0), 4 "Matchwise Economics" (5, 0),
//   5 "Designs" (6, 0), 6000 + i design i (6, i + 1).
// Entry states: 0 not ticked, 1 ticked, 2 partly ticked or not available.
#include "lumeth/FormDescription.h"
#include "lumeth/VarEnumInfo.h"
#include "lumeth/Viewable.h"

#include <cstdint>
#include <memory>
#include <vector>

class ICloneEngine;
class ILurmetBaseObject;
class IEngineeringManager;
class IHeatIntegrationScenario;

class CloneHIScenarioTool : public Viewable {
public:
    static constexpr const char* TypeName = "CloneHIScenarioToolObject";

    // Opens the tool under `owner` for the scenario of the project (engine type 501, or 502 for
    // a total site): mode 1 opens the form "DefaultView", mode 0 "CloneView". Null (and
    // nothing left open) when the engine's clone tool or the project cannot be had.
    static CloneHIScenarioTool* Open(Viewable* owner, const Text& projectName, const Text& scenarioName, int mode,
                                     int projectType = 501);
    ~CloneHIScenarioTool() override;

    ICloneEngine* GetEngine() const { return engine; }
    int GetMode() const { return mode; }

    // The state of an entry of the tree from the engine's flag: 0 none, 1 to 254 ticked, 255
    // (not available) partly ticked.
    static int GroupState(int flag) { return flag == 0 ? 0 : flag == 255 ? 2 : 1; }

    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int SpecifyText(const VarDescription& var, const Text& text) override;
    // "clone" (with a clone name and something ticked: clone, then the tool deletes itself; else
    // refused with "CloneNameMissing" or "CloneCopiesNothing") and
    // "ObjectSelectionToggledOnDataEnum ID"; others go to the framework.
    int Message(const Text& line) override;
    VarEnumInfo* GetEnumInfo(const VariableNameInfo& var) override;
    // A form of the tool closing deletes it.
    void ViewNotification(int kind, Viewable* from, const Text& form) override;

    // A tool is never read back from a case.
    bool RecallClassData(BinaryFile&, int) override { return false; }

    static void DescribeForm(FormDescription& form);

private:
    CloneHIScenarioTool(Viewable* owner, const ObjectTypeInfo* type, int mode) : Viewable(owner, type), mode(mode) {}

    IHeatIntegrationScenario* scenario() const;
    bool isTotalSite() const;
    void buildTree();
    void refreshStates();
    // The engine's (kind, index) of a tree identifier; false for identifiers that name nothing.
    bool engineEntry(int id, int& kind, int& index) const;
    // Whether the copy as ticked takes anything: a stream, or into a new scenario the economic
    // data.
    bool copiesSomething() const;
    // The engine's selection of every entry of the tree, in tree order.
    std::vector<int> selections() const;
    // 1 toggled; 0 the entry is not available (nothing changes); -1 the tree has no such entry.
    int toggle(int id);
    int setCloneName(const Text& name);
    bool chooseExisting(int index);

    std::int32_t chosenScenario = 0;
    std::unique_ptr<VarEnumInfo> tree;
    std::unique_ptr<VarEnumInfo> existing;
    IEngineeringManager* manager = nullptr;
    ILurmetBaseObject* engineObject = nullptr;
    ICloneEngine* engine = nullptr;
    int mode = 0;
};
