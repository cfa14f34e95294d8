#pragma once
// An operating schedule as the design views see it: a named list of what-if events with its own
// operating state, one event current for editing. "Current" operations answer null, -32767.0 or
// 32009 without a current event. Change codes sent: 11 destroyed, 13 event added (target name,
// event), 118 results invalidated or status set.
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"

class BasicStateStruct;
class IHENEvent;
class IHENState;

class IHENSchedule : public virtual INotificationSender, public virtual INotificationReceiver {
public:
    static constexpr int CodeDestroyed = 11;
    static constexpr int CodeEventAdded = 13;
    static constexpr int CodeInvalidated = 118;

    ~IHENSchedule() override = default;
    virtual unsigned char GetStatus() const = 0;
    // The state is not calculated and there is at least one event.
    virtual bool NeedsCalculation() const = 0;
    virtual int GetNumberOfEvents() const = 0;
    virtual int GetNumberOfEventTypes() const = 0;
    virtual int GetNumberOfCandidateTargets(const char* typeName) const = 0;
    // The state record an event of the type on the target acts on; null when there is none.
    virtual BasicStateStruct* FindCandidateTarget(const char* typeName, const char* targetName) const = 0;
    virtual const char* GetEventTypeName(int index) const = 0;
    virtual const char* GetCandidateTargetName(const char* typeName, int index) const = 0;
    virtual void SetCurrentEventNewValue(double value) = 0;
    virtual void SetName(const CPString& name) = 0;
    // Null when added, else the message key "EventAddFailed".
    virtual const char* AddEvent(const char* typeName, const char* targetName) = 0;
    virtual const char* GetEventTargetName(int index) const = 0;
    virtual const char* GetCurrentEventTargetName() const = 0;
    virtual const char* GetEventDescription(int index) const = 0;
    virtual const char* GetCurrentEventDescription() const = 0;
    virtual const char* GetName() const = 0;
    virtual const char* GetCurrentEventTypeName() const = 0;
    virtual double GetCurrentEventBaseValue() const = 0;
    virtual double GetCurrentEventNewValue() const = 0;
    virtual int GetCurrentEventValueType() const = 0;
    virtual bool InvalidateResults() = 0;
    virtual bool DeleteCurrentEvent() = 0;
    // The event of that display name becomes current (null and none current when there is none).
    virtual IHENEvent* SelectEvent(const char* displayName) = 0;
    virtual void SetStatus(const CPString& text) = 0;
    virtual IHENState* GetState() const = 0;
    virtual IHENEvent* GetEvent(int index) const = 0;
};
