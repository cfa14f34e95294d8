#pragma once
// The project viewer: the view of one heat-integration project. It owns a scenario viewer per
// scenario (made when the project announces a new scenario), keeps the project's name, notes,
// engineer and comments editable, and adds, renames and deletes scenarios on command.
#include "lumeth/FormDescription.h"
#include "views/case/project/HIScenarioOwnerViewer.h"

class HIDesignViewerProject : public HIScenarioOwnerViewer {
public:
    static constexpr const char* TypeName = "HIDesignViewerProjectObject";
    static constexpr int ClassVersion = 2;

    HIDesignViewerProject(Viewable* parent, const Text& name, const ObjectTypeInfo* type);
    explicit HIDesignViewerProject(ObjectInstanceInfo& info) : HIScenarioOwnerViewer(info) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new HIDesignViewerProject(info); }
    ~HIDesignViewerProject() override;

    // Binds to the project; unless recalled, adds a scenario viewer per scenario of the project.
    void SetEngineeringProject(IHeatIntegrationProject* project, int recalled);
    void AddScenarioView(const Text& name) override;
    // True when the project bears the name afterwards (its own name typed again included); false,
    // changing nothing, for an empty name or another project's (that one with a message).
    bool RenameProject(const Text& name);
    void SetSelectedObject(Viewable* view);
    IHeatIntegrationProject* GetProject() const { return project; }
    const Text& GetLastScenarioName() const { return lastScenarioName; }
    void SetExtractedData(int flag) { extractedData = flag; }

    void NotifyChange(int code, const CPString& text, void* data) override;

    double Value(const VarDescription& var) override;
    Text TextValue(const VarDescription& var) override;
    int SpecifyText(const VarDescription& var, const Text& text) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    int Message(const Text& line) override;
    Viewable* AttachedObject(const VarDescription& var) override;
    int AttachObject(const VarDescription& var, Viewable* object) override;
    Text AttachedName(const Viewable* child) const override;
    const ObjectTypeInfo* GetObjectType(const ObjectTypeInfo* asked = nullptr) const override;
    bool RecallClassData(BinaryFile& file, int version) override;

    // The variables and command words of the form.
    static void DescribeForm(FormDescription& form);

private:
    struct Form;
    IHeatIntegrationProject* engineProject() const override { return project; }
    int engineType() const override;
    bool renameEngineProject(const Text& name) override { return RenameProject(name); }
    double constant(const VarDescription& var);
    double firstProcessScenario(const VarDescription&);
    double lastScenarioIndex(const VarDescription&);
    int setProjectText(const VarDescription& var, const Text& text);
    Text lastScenario(const VarDescription&);
    int setLastScenario(const VarDescription&, const Text& t) { return lastScenarioName = t, 1; }
    Text simulator(const VarDescription&) { return simulatorKind; }
    int setSimulator(const VarDescription&, const Text& t) { return simulatorKind = t, 1; }
    Text title(const VarDescription& var);
    int oneIfBound(const VarDescription&, DimInfo& dims);
    int notesDims(const VarDescription&, DimInfo& dims);
    int scenarioDims(const VarDescription&, DimInfo& dims);
    int removeNonRetrofitScenarios();
    int cloneAndRetrofit(const Text& designName);

    IHeatIntegrationProject* project = nullptr;
    Text simulatorKind;
    Text lastScenarioName;
};
