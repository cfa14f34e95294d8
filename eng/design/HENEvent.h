#pragma once
// What-if events: the eight kinds of change an operating study makes to one target of a design,
// each created by type name through the registry that the kinds fill when their first instance
// is made (start-up makes one prototype of each, in one fixed order).
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"
#include "eng/design/IHENEvent.h"

class BasicStateStruct;
class ILurmetBinaryFile;

class HENEvent : public IHENEvent, public NotificationSender {
public:
    explicit HENEvent(const char* target);
    HENEvent(const HENEvent&) = delete;
    HENEvent& operator=(const HENEvent&) = delete;
    // Sends code 14 before the event goes.
    ~HENEvent() override;

    // ---- IHENEvent ----
    void SetNewValue(double value) override;
    void SetTargetName(const CPString& target) override;
    const char* GetTargetName() const override { return m_target.c_str(); }
    const char* GetName() const override { return m_name.c_str(); }
    int GetValueType() const override = 0;
    double GetBaseValue() const override { return m_base; }
    double GetNewValue() const override { return m_new; }
    void SetBaseValue(double value) override { m_base = value; }
    void UpdateName() override;
    int GetEventTypeIcon() const override { return m_kind; }
    void SetEventTypeIcon(int kind) override { m_kind = kind; }

    // Takes the new value into the record and writes it to the record's unit or stream.
    void ApplyTo(BasicStateStruct& record);
    // Sets base and new value from the target record (the new value with code 15).
    virtual void InitialiseFromTarget(BasicStateStruct& record) = 0;
    // The plant under the event changed from `before` to `now` (the target's records in the two
    // default states): the base value is the plant's again, and a new value still at what the
    // event starts from on the old plant (no change, a cleaning's clean coefficient, one more
    // shell) starts from the new plant instead. A value typed stays. Nothing without a record.
    void FollowPlant(const BasicStateStruct* before, BasicStateStruct* now);
    // Base and new value as they were kept, quietly, as FollowPlant changed them.
    void GiveBackValues(double base, double value) {
        m_base = base;
        m_new = value;
    }
    virtual const char* GetTypeName() const = 0;
    const char* GetVariableName() const override = 0;
    virtual void StartingValues(const BasicStateStruct& record, double& base, double& value) const = 0;

    // The kind index of a type name (0 .. 7 in the registry's order); -1 for another name.
    static int KindIndexOf(const char* typeName);
    // A new event of the registered kind for the target; null for a kind not registered.
    static HENEvent* Create(const char* typeName, const char* target);

    // ---- case file (the schedule writes the type name before the record) ----
    // Version 2: doubles base and new value, strings target and display name, int32 kind index.
    // Version 1 has no kind index: it follows from the type name. The values are taken as they
    // were stored (no change code); a failed read leaves the event as it was.
    static constexpr int RecordVersion = 2;
    bool Store(ILurmetBinaryFile& file) const;
    bool Recall(ILurmetBinaryFile& file);

private:
    double m_base = -32767.0;
    double m_new = -32767.0;
    CPString m_target;
    CPString m_name;
    int m_kind = -32767;
};

// One class per kind, K its index in the registry's order of type names.
template <int K>
class HENEventKind : public HENEvent {
public:
    explicit HENEventKind(const char* target);
    ~HENEventKind() override;
    const char* GetDescription() const override;
    int GetValueType() const override;
    const char* GetTypeName() const override;
    const char* GetVariableName() const override;
    void InitialiseFromTarget(BasicStateStruct& record) override;
    // Base and new value the kind starts from on the record (-32767.0 where it has none).
    void StartingValues(const BasicStateStruct& record, double& base, double& value) const override;
    // The kind's factory in the registry.
    static HENEvent* Make(const char* target);

private:
    static int s_live;
};

using CleaningHENEvent = HENEventKind<0>;
using AdditionalAreaHENEvent = HENEventKind<1>;
using AdditionalShellHENEvent = HENEventKind<2>;
using SplitflowmodificationEvent = HENEventKind<3>;
using HeatExchangerRemovalEvent = HENEventKind<4>;
using HeatExchangerFoulingEvent = HENEventKind<5>;
using StreamFlowrateChangeEvent = HENEventKind<6>;
using InletTemperatureChangeEvent = HENEventKind<7>;

// The first instance of each kind registers its factory; start-up calls this at the kind's load
// step (index 0 .. 7 in the order of the type names, -1 for all).
void RegisterEventPrototype(int index);
