#pragma once
// The items of the "Event Summary" schedule list: one operating schedule of a design with the
// results of its operating state (streams, utilities, exchangers, splitters after its events),
// and, under it, one item per what-if event of the schedule (kind, target, base and new value;
// the user types the new value). Not stored: the list makes them again from the design.
#include "brasko/NotificationSender.h"
#include "lumeth/FormDescription.h"
#include "lumeth/Viewable.h"

#include <cstdint>
#include <vector>

class IHENEvent;
class IHENSchedule;
class IHENState;
class ScheduleTypeView;

// The filter of the schedule list: one criterion per event kind (criterion order: clean 0,
// remove 4, area 1, shells 2, fouling 5, split flow 3, stream flow 6, inlet temperature 7),
// then whether to filter by kind and whether to show converged schedules only.
struct EventFilter {
    std::int16_t criteria[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    std::uint8_t byKind = 0;
    std::uint8_t convergedOnly = 0;
};

// The what-if event kinds 0-7 by their description texts: the kind of an exact match, 0 for
// none (and for no description).
int EventKindOfDescription(const char* description);
// The criterion of the filter that an event kind answers to; -1 for a code outside 0-7.
int FilterCriterionOfKind(int kind);

class EventItemView : public Viewable, public INotificationReceiver {
public:
    static constexpr const char* TypeName = "EventItemViewObject";

    EventItemView(Viewable* parent, const Text& name);
    ~EventItemView() override;
    // Binds the event and listens to it (14 destroyed, 15 new value).
    void SetEngineeringEvent(IHENEvent* event);
    IHENEvent* GetEvent() const { return pEvent; }
    void SetEventTypeIcon(int kind);
    int GetEventTypeIcon() const;
    class ScheduleItemView* Parent() const;
    void SetSelectedObject(Viewable* view);

    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    int GetEDVarType(const VarDescription& var) override;
    void NotifyChange(int code, const CPString& text, void* data) override;

    static void LoadVariables(FormDescription& form);

private:
    void Unbind();
    IHENEvent* pEvent = nullptr;
};

class ScheduleItemView : public Viewable, public INotificationReceiver {
public:
    static constexpr const char* TypeName = "ScheduleItemViewObject";

    ScheduleItemView(Viewable* parent, const Text& name);
    ~ScheduleItemView() override;
    // Binds the schedule (11 destroyed, 13 event added, 118 results changed) and its state.
    void SetEngineeringSchedule(IHENSchedule* schedule);
    IHENSchedule* GetSchedule() const { return pSchedule; }
    IHENState* GetState() const { return pState; }
    // An item for every event of the schedule, its kind worked out from its description.
    void PopulateEvent();
    bool IsEventFilterCriteriaOK(const EventFilter& filter) const;
    static bool CheckFilterCriteria(const EventFilter& filter, const ScheduleItemView& item);
    const std::vector<EventItemView*>& GetEventItems() const { return lstEventItems; }
    ScheduleTypeView* Parent() const;
    void SetSelectedObject(Viewable* view);

    double Value(const VarDescription& var) override;
    Text TextValue(const VarDescription& var) override;
    Viewable* AttachedObject(const VarDescription& var) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    Text AttachedName(const Viewable* child) const override;
    void DisconnectDeadObject(Viewable* dead) override;
    int GetEDVarType(const VarDescription& var) override;
    void NotifyChange(int code, const CPString& text, void* data) override;

    static void LoadVariables(FormDescription& form);

private:
    void Unbind();
    EventItemView* AddEventItem(const Text& name, IHENEvent* event, int kind);

    IHENSchedule* pSchedule = nullptr;
    IHENState* pState = nullptr;
    std::vector<EventItemView*> lstEventItems;
};
