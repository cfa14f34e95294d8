#pragma once
// The "Event Summary" of a design's operating schedules: one item per schedule, a comparison
// table of the base case (the design's default operating state) and every displayed schedule
// (exchanger duties and F-factors, utility duties and costs, split fractions), and a filter of
// the displayed schedules by event kind and by calculation status. The design viewer makes it
// for a design whose operation is locked and passes on the design's schedule notices. Not
// stored: the viewer makes it again from the design.
#include "lumeth/FormDescription.h"
#include "lumeth/Viewable.h"
#include "views/design/whatif/ScheduleItemViews.h"

#include <unordered_map>
#include <vector>

class HIDesignViewerDesign;
class IHENDesign;
class IHENState;

class ScheduleTypeView : public Viewable {
public:
    static constexpr const char* TypeName = "ScheduleTypeViewObject";
    enum class DisplayChange { Add, Remove };

    ScheduleTypeView(Viewable* parent, const Text& name);
    ~ScheduleTypeView() override;

    void SetEngineeringDesign(IHENDesign* design) { pDesign = design; }
    IHENDesign* GetDesign() const { return pDesign; }
    // An item for every schedule of the design, offered to the display.
    void PopulateSchedule();
    // The item of a new schedule, offered to the display and selected.
    void AddScheduleItem(const Text& name, IHENSchedule* schedule);
    void RenameScheduleItem(const Text& oldName, const Text& newName);
    // Each event item takes its event's target name again (a unit of the design was renamed).
    void RenameEventItemsAfterTheirTargets();
    void UpdateDisplayVector(DisplayChange change, ScheduleItemView* item);
    // With either flag set the displayed items become every item that passes the filter.
    void ApplyEventFilterCriteria();
    const EventFilter& GetFilter() const { return filter; }
    const std::vector<ScheduleItemView*>& GetItems() const { return lstItems; }
    const std::vector<ScheduleItemView*>& GetDisplayedItems() const { return lstDisplayed; }
    HIDesignViewerDesign* Parent() const;
    // A schedule item, an event item or this view becomes the design viewer's selected item.
    void SetSelectedObject(Viewable* view);

    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int Message(const Text& line) override;
    Viewable* AttachedObject(const VarDescription& var) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    Text AttachedName(const Viewable* child) const override;
    void DisconnectDeadObject(Viewable* dead) override;
    int GetEDVarType(const VarDescription& var) override;

    static void LoadVariables(FormDescription& form);

private:
    ScheduleItemView* MakeItem(const Text& name, IHENSchedule* schedule);
    // Row 0 the base case, row s the s-th displayed schedule.
    IHENState* StateOfRow(int row) const;
    IHENState* BaseState() const;

    std::vector<ScheduleItemView*> lstItems;
    // The row of each schedule: a plan of thousands of schedules adds them one by one, and each
    // is looked for before its row is made.
    std::unordered_map<const IHENSchedule*, ScheduleItemView*> m_itemOf;
    std::vector<ScheduleItemView*> lstDisplayed;
    IHENDesign* pDesign = nullptr;
    int nForm300 = 0;
    int nForm301 = 0;
    EventFilter filter;
};
