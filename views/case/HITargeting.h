#pragma once
// The single-scenario study ("HI Case"): a scenario viewer that is the top view of its case. Its
// builder makes the project, the scenario and the first design, all named after the case; the
// case can later become a project study ("HI Project").
#include "lumeth/VarEnumInfo.h"
#include "views/case/scenario/HIDesignViewerScenario.h"

#include <cstdint>
#include <memory>

class IHeatIntegrationProject;
class ILurmetBaseObject;
class IEngineeringManager;

class HITargeting : public HIDesignViewerScenario {
public:
    static constexpr const char* TypeName = "HITargetingObject";
    static constexpr int ClassVersion = 1;

    HITargeting(Viewable* parent, const Text& name, const ObjectTypeInfo* type) : HIDesignViewerScenario(parent, name, type) {}
    explicit HITargeting(ObjectInstanceInfo& info) : HIDesignViewerScenario(info) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new HITargeting(info); }
    ~HITargeting() override;

    // The feature builder of "HI Case": the new view, or null when no project can be made.
    static Viewable* BuildHITargeting(Viewable* parent, const Text& name);
    // Turns the case into an "HI Project" of the feature manager; this view deletes itself.
    void ConvertToProject();

    IHeatIntegrationProject* GetProject() const { return project; }
    int GetPageNumber() const { return pageNumber; }

    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int SpecifyText(const VarDescription& var, const Text& text) override;
    int Message(const Text& line) override;
    // The case page's choice list (105/401) is the scenario viewer's copy of the form's choices;
    // its choice 4 is offered only while the operation of the scenario's first design is not
    // locked.
    VarEnumInfo* GetEnumInfo(const VariableNameInfo& var) override;
    const ObjectTypeInfo* GetObjectType(const ObjectTypeInfo* asked = nullptr) const override;
    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;

    static void DescribeForm(FormDescription& form);

private:
    void bindProject(IEngineeringManager* manager, ILurmetBaseObject* object, IHeatIntegrationProject* bound);
    bool renameCase(const Text& name);

    std::int32_t pageNumber = 1;
    IHeatIntegrationProject* project = nullptr;
    // The reference the engineering manager handed out with the project, given back at the end.
    IEngineeringManager* manager = nullptr;
    ILurmetBaseObject* projectObject = nullptr;
};

// The feature builder of "HI Project": a grass-root case view with its project, "Scenario 1" and
// its first design, the scenario viewer selected; null when any step leaves nothing selected.
Viewable* BuildChiGrassRootView(Viewable* parent, const Text& name);
