#pragma once
// The leaf nodes of the what-if study tree, under a study node: a cleaning of an exchanger
// (out of service from one point, back cleaned at a later one) and a flow change of a process
// stream from one point on. Both move their event in time, show its fixed data and delete
// themselves when the study deletes the event (notices 105 and 109). Not stored.
#include "brasko/NotificationSender.h"
#include "lumeth/FormDescription.h"
#include "lumeth/Viewable.h"
#include "lumeth/VarEnumInfo.h"

#include <memory>

class IHENTrendCleanExchEvent;
class IHENTrendSpecialEvent;
class StudyNodeView;

class EventNodeView : public Viewable, public INotificationReceiver {
public:
    static constexpr const char* TypeName = "EventNodeViewObject";

    EventNodeView(Viewable* parent, const Text& name);
    ~EventNodeView() override;
    void SetEngineeringEvent(IHENTrendCleanExchEvent* event);
    IHENTrendCleanExchEvent* GetEvent() const { return pEvent; }
    StudyNodeView* Parent() const;
    void SetSelectedObject(Viewable* view);

    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int Message(const Text& line) override;
    VarEnumInfo* GetEnumInfo(const VariableNameInfo& var) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    int GetEDVarType(const VarDescription& var) override;
    void NotifyChange(int code, const CPString& text, void* data) override;

    static const ViewForm<EventNodeView>& Form();
    static void LoadVariables(FormDescription& form);

private:
    void Unbind();
    double Status(const VarDescription&);
    double Point(const VarDescription& var);
    int SetPoint(const VarDescription& var, double value);
    Text Exchanger(const VarDescription&);
    Text Caption(const VarDescription& var);

    IHENTrendCleanExchEvent* pEvent = nullptr;
    int nStartingPoint = 0;
    int nEndingPoint = 0;
    std::unique_ptr<VarEnumInfo> pChoice;
};

class SpecialEventNodeView : public Viewable, public INotificationReceiver {
public:
    static constexpr const char* TypeName = "SpecialEventNodeViewObject";

    SpecialEventNodeView(Viewable* parent, const Text& name);
    ~SpecialEventNodeView() override;
    void SetEngineeringEvent(IHENTrendSpecialEvent* event);
    IHENTrendSpecialEvent* GetEvent() const { return pEvent; }
    StudyNodeView* Parent() const;
    void SetSelectedObject(Viewable* view);

    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    VarEnumInfo* GetEnumInfo(const VariableNameInfo& var) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    int GetEDVarType(const VarDescription& var) override;
    void NotifyChange(int code, const CPString& text, void* data) override;

    static const ViewForm<SpecialEventNodeView>& Form();
    static void LoadVariables(FormDescription& form);

private:
    void Unbind();
    double Status(const VarDescription&);
    double Point(const VarDescription&);
    int SetPoint(const VarDescription&, double value);
    double NewFlow(const VarDescription&);
    int SetNewFlow(const VarDescription&, double value);
    Text Stream(const VarDescription&);
    Text Caption(const VarDescription& var);

    IHENTrendSpecialEvent* pEvent = nullptr;
    int nTimePoint = 1;
    double dNewFlow = 0.0;
    std::unique_ptr<VarEnumInfo> pChoice;
};
