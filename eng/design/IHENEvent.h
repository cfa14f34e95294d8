#pragma once
// A what-if event as the schedules and the design views see it: one operating variable of one
// target (an exchanger, a splitter branch or a process stream) changed from its base value to a
// new value. Change codes sent: 14 the event goes away, 15 its new value was set.
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"

class IHENEvent : public virtual INotificationSender {
public:
    static constexpr int CodeDestroyed = 14;
    static constexpr int CodeNewValue = 15;

    ~IHENEvent() override = default;
    // Stores the value and sends code 15.
    virtual void SetNewValue(double value) = 0;
    // Stores the target and rebuilds the display name.
    virtual void SetTargetName(const CPString& target) = 0;
    virtual const char* GetTargetName() const = 0;
    // The display name: target + ": " + description.
    virtual const char* GetName() const = 0;
    virtual const char* GetDescription() const = 0;
    // The quantity of base and new value (1 temperature, 4 mass flow, 1508 area, 1524
    // heat-transfer coefficient, 32009 a plain number).
    virtual int GetValueType() const = 0;
    virtual double GetBaseValue() const = 0;
    virtual double GetNewValue() const = 0;
    // Stores the value; sends nothing.
    virtual void SetBaseValue(double value) = 0;
    virtual void UpdateName() = 0;
    virtual int GetEventTypeIcon() const = 0;
    virtual void SetEventTypeIcon(int kind) = 0;
    // The operating variable the event sets ("MassFlow", "Temperature", ...); null where the event
    // names none.
    virtual const char* GetVariableName() const { return nullptr; }
};

// The message key that refuses `value` as what an event sets `variable` ("ObservedHTC",
// "HTArea", "NShellsInSeries", "SplitFlowValue", "MassFlow", "Temperature") to, because no
// operated unit or stream can carry it out: a coefficient or a mass flow at or below zero, a
// negative area, a part of a shell, a share outside 0 .. 100 %, a temperature below absolute
// zero, or any value past what a case holds. Null when the value can be carried out.
const char* HENEventValueRefusal(const char* variable, double value);
// What an event's value of `variable` may be, in words ("a value above 0 and up to 1000000"), for
// the refusal of one outside it: the same key serves values of differently ranged kinds. Null for
// a variable of no range of its own.
const char* HENEventValueRange(const char* variable);

// The message key that refuses a fouling resistance on an exchanger running at coefficient `u`
// (kW/(m2.C)): at or past the whole resistance 1/u ("FoulingFactorUpdateError"), or so close to it
// that the coefficient a cleaning gives back, 1/(1/u - fouling), is past any a case holds (the
// coefficient's own key). Null when the exchanger has no coefficient yet or the fouling is sound.
const char* HENFoulingRefusal(double u, double fouling);
