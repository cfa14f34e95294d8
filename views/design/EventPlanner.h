#pragma once
// The event planner of a design viewer (form "EventPlanner"): named event plans for the
// operating studies of the viewer's design, each a list of what-if changes to its exchangers,
// tees and streams. Plans are reordered, renamed and annotated here, saved to and read from plan
// files, turned into operating schedules of the design and executed. The names offered and the
// base values shown come from the design's operating state when the planner is made. The
// planner's record holds no data of its own: plans live in memory and in plan files.
#include "brasko/NotificationSender.h"
#include "lumeth/FormDescription.h"
#include "lumeth/Viewable.h"
#include "views/design/EventPlans.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

class CNode;
class HIDesignViewerDesign;
class IHENDesign;
class IHENState;
class IHeatIntegrationScenario;

class EventPlanner : public Viewable, public INotificationReceiver, public NotificationSender {
public:
    static constexpr const char* TypeName = "EventPlannerObject";
    static constexpr int ClassVersion = 1;

    // A planner of the viewer's own design; without a viewer (a planner made for a record)
    // it has no scenario, design, plans or names.
    EventPlanner(HIDesignViewerDesign* viewer, IHeatIntegrationScenario* scenario, const ObjectTypeInfo* type);
    static Viewable* Create(ObjectInstanceInfo& info);
    ~EventPlanner() override;

    // A planner read back with the case plans for nothing until its viewer binds it to the
    // viewer's design (once; a bound planner keeps its design).
    void Bind(HIDesignViewerDesign* viewer, IHeatIntegrationScenario* scenario);
    IHENDesign* GetDesign() const { return pDesign; }
    IHeatIntegrationScenario* GetScenario() const { return pScenario; }
    const EventPlanList& GetPlans() const { return lstPlans; }
    const EventPlan* GetSelectedPlan() const { return pSelectedPlan; }
    const Text& GetFileNotes() const { return strFileNotes; }
    int GetPlanCounter() const { return nPlanCounter; }
    bool EventsCreated() const { return bEventsCreated != 0; }
    const std::vector<Text>& GetExchangerNames() const { return lstExchangerNames; }
    const std::vector<Text>& GetStreamNames() const { return lstStreamNames; }
    const std::vector<Text>& GetTeeNames() const { return lstTeeNames; }

    // ---- framework hooks ----
    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int SpecifyText(const VarDescription& var, const Text& text) override;
    int Message(const Text& line) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    void NotifyChange(int, const CPString&, void*) override {}
    // The planner read back with the case becomes its viewer's planner.
    bool RecallFixUp() override;

    static const ViewForm<EventPlanner>& Form();
    static void LoadVariables(FormDescription& form);
    static const std::vector<const char*>& CommandWords();

    // ---- plan files (EventPlannerCommands.cpp) ----
    // The plans replace the planner's only once the whole file was read as a plan document; a
    // file that cannot be read leaves them and shows "MSXMLError".
    bool ReadPlanFile(const Text& path);
    // Every plan and the file notes; false (with "MSXMLError") when the file was not written.
    bool WritePlanFile(const Text& path);

private:
    explicit EventPlanner(ObjectInstanceInfo& info);
    struct Command {
        const char* word;
        int (EventPlanner::*action)(const Text& rest);
    };
    static const std::vector<Command>& Commands();
    int showEventTasksView(const Text&);
    int stepUp(const Text&);
    int stepDown(const Text&);
    int topOfList(const Text&);
    int bottomOfList(const Text&);
    int createNewEventPlan(const Text&);
    int deleteEventPlan(const Text&);
    int saveEventPlan(const Text&);
    int openEventPlanFile(const Text&);
    int createNewEvents(const Text&);
    int executeNewEvents(const Text&);
    // The design's schedule events from the plan's tasks (exchanger tasks first).
    // Each task that is not applied (a value its event cannot carry out, or a unit the design
    // has none of) is named in a message; the others become events of the plan's schedule.
    bool AddPlanEvents(const EventPlan& plan);
    // The name of what the task's event acts on in the current schedule.
    Text EventTarget(const EventTask& t, const char* type) const;
    // `report`: the tasks whose values are refused are named (they were not when the events
    // were just added from the same plan), and so is each task the schedule has no event for
    // and each event of the schedule the plan has no task for: neither follows the plan.
    // False when the schedule ran and its run was refused (the refusal is shown).
    bool UpdateScheduleEvents(const EventPlan& plan, bool report);
    void ReportEventsNotInPlan(const EventPlan& plan, const std::unordered_set<std::string>& updated);
    // True, with "EventNameAlreadyUsed" shown, when the design refused the plan's name as one no
    // schedule may take.
    bool RefuseReservedPlanName(const EventPlan& plan, int result) const;
    // True, with "OperationNotLocked" shown, when the design's network is not locked for operation.
    bool RefuseUnlockedOperation() const;
    bool RefuseNoPlans() const;

    void FillNamesFromState(IHENState& state);
    // The index of the first plan named like the tracker; -1 when none is.
    int TrackedIndex() const;
    void SelectTracked();
    // The plan counter from the plans' names: one past the largest number given as second word.
    void CountFromPlanNames();

    // ---- variables ----
    Text planName(const VarDescription&);
    int renamePlan(const VarDescription&, const Text&);
    Text trackerText(const VarDescription&);
    int setTracker(const VarDescription&, const Text&);
    Text listName(const VarDescription&);
    Text notes(const VarDescription&);
    int setNotes(const VarDescription&, const Text&);
    double setting(const VarDescription&);
    int setSetting(const VarDescription&, double);
    double taskValue(const VarDescription&);
    int setTaskValue(const VarDescription&, double);
    double baseValue(const VarDescription&);
    double splitValue(const VarDescription&);
    int planRows(const VarDescription&, DimInfo&);
    int exchangerRows(const VarDescription&, DimInfo&);
    int streamRows(const VarDescription&, DimInfo&);
    int teeRows(const VarDescription&, DimInfo&);
    int branchRows(const VarDescription&, DimInfo&);

    IHeatIntegrationScenario* pScenario = nullptr;
    IHENDesign* pDesign = nullptr;
    HIDesignViewerDesign* pDesignViewer = nullptr;
    EventPlanList lstPlans;
    EventPlan* pSelectedPlan = nullptr;
    Text strTracker;
    int nPlanCounter = 1;
    Text strFileNotes;
    int nPlannerSetting = 0;
    std::vector<Text> lstExchangerNames, lstStreamNames, lstTeeNames;
    std::vector<double> dBaseHTC, dBaseArea, dBaseShells, dBaseFouling;
    std::vector<double> dBaseMassFlow, dBaseSupplyTemperature;
    std::uint8_t bEventsCreated = 0;
};
