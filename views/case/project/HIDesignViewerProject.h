#pragma once
// The project viewer: the view of one heat-integration project. It owns a scenario viewer per
// scenario (made when the project announces a new scenario), keeps the project's name, notes,
// engineer and comments editable, and adds, renames and deletes scenarios on command.
#include "brasko/NotificationSender.h"
#include "lumeth/FormDescription.h"
#include "lumeth/HVector.h"
#include "lumeth/Viewable.h"

#include <cstdint>
#include <deque>

class CloneHIScenarioTool;
class HIDesignViewerScenario;
class IHeatIntegrationProject;

class HIDesignViewerProject : public Viewable, public INotificationReceiver {
public:
    static constexpr const char* TypeName = "HIDesignViewerProjectObject";
    static constexpr int ClassVersion = 2;

    HIDesignViewerProject(Viewable* parent, const Text& name, const ObjectTypeInfo* type);
    explicit HIDesignViewerProject(ObjectInstanceInfo& info) : Viewable(info) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new HIDesignViewerProject(info); }
    ~HIDesignViewerProject() override;

    // Binds to the project; unless recalled, adds a scenario viewer per scenario of the project.
    void SetEngineeringProject(IHeatIntegrationProject* project, int recalled);
    void AddScenarioView(const Text& name);
    void RenameProject(const Text& name);
    void SetSelectedObject(Viewable* view);
    // The index of the first scenario viewer of the name; 0 when none has it.
    int FindScenarioView(const Text& name) const;
    IHeatIntegrationProject* GetProject() const { return project; }
    HIDesignViewerScenario* GetCurrentScenario() const { return currentScenario; }
    CloneHIScenarioTool* GetCloneTool() const { return cloneTool; }
    const Text& GetLastScenarioName() const { return lastScenarioName; }
    const HVector<HIDesignViewerScenario*>& GetScenarioViews() const { return scenarioViews; }
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
    void DisconnectDeadObject(Viewable* dead) override;
    const ObjectTypeInfo* GetObjectType(const ObjectTypeInfo* asked = nullptr) const override;
    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override;

    // The variables and command words of the form.
    static void DescribeForm(FormDescription& form);

private:
    struct Form;
    double constant(const VarDescription& var);
    double firstProcessScenario(const VarDescription&);
    double lastScenarioIndex(const VarDescription&);
    double noteCount(const VarDescription&);
    Text projectText(const VarDescription& var);
    int setProjectText(const VarDescription& var, const Text& text);
    Text noteColumn(const VarDescription& var);
    Text newName(const VarDescription&) { return newScenarioName; }
    int setNewName(const VarDescription&, const Text& t) { return newScenarioName = t, 1; }
    Text currentNoteTitle(const VarDescription&);
    int chooseNote(const VarDescription&, const Text& title);
    Text lastScenario(const VarDescription&);
    int setLastScenario(const VarDescription&, const Text& t) { return lastScenarioName = t, 1; }
    Text simulator(const VarDescription&) { return simulatorKind; }
    int setSimulator(const VarDescription&, const Text& t) { return simulatorKind = t, 1; }
    Text comments(const VarDescription&);
    int setComments(const VarDescription&, const Text& t);
    Text title(const VarDescription& var);
    int oneIfBound(const VarDescription&, DimInfo& dims);
    int notesDims(const VarDescription&, DimInfo& dims);
    int scenarioDims(const VarDescription&, DimInfo& dims);
    int addScenario(const Text& name);
    int removeCurrentScenario();
    int removeNonRetrofitScenarios();
    int openCloneTool(int mode);
    int cloneAndRetrofit(const Text& designName);
    void closeCloneTool();

    IHeatIntegrationProject* project = nullptr;
    HIDesignViewerScenario* currentScenario = nullptr;
    CloneHIScenarioTool* cloneTool = nullptr;
    HVector<HIDesignViewerScenario*> scenarioViews{10};
    std::int32_t currentNote = -1;
    Text newScenarioName;
    Text simulatorKind;
    Text lastScenarioName;
    std::int32_t extractedData = 0;
    // Links read from a record, adopted once the whole case is read.
    std::deque<Viewable*> recalledViews;
    Viewable* recalledCurrent = nullptr;
};
