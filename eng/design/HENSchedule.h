#pragma once
// An operating schedule: a named list of what-if events with its own operating state. The
// schedule answers which event kinds exist and which targets each can act on, keeps one event
// current for editing, and keeps its state's status in step with its events (any change sets it
// back to "not calculated").
#include "brasko/NotificationSender.h"
#include "eng/design/HENState.h"
#include "eng/design/IHENSchedule.h"

#include <memory>
#include <vector>

class HENEvent;
class ILurmetBinaryFile;

class HENSchedule : public IHENSchedule, public NotificationSender {
public:
    HENSchedule(const CPString& name, const HENState& state);
    // A copy: the state with its status, the name, and a fresh event of each kind on each target
    // with the same values; no current event, and the copy does not listen to its events.
    HENSchedule(const HENSchedule& other);
    HENSchedule& operator=(const HENSchedule&) = delete;
    // Destroys the events (each sends code 14), then the state; then sends code 11.
    ~HENSchedule() override;

    // ---- IHENSchedule ----
    unsigned char GetStatus() const override { return m_state->GetStatus(); }
    bool NeedsCalculation() const override { return GetStatus() == 0 && !m_events.empty(); }
    int GetNumberOfEvents() const override { return static_cast<int>(m_events.size()); }
    int GetNumberOfEventTypes() const override { return 0; }
    int GetNumberOfCandidateTargets(const char*) const override { return 0; }
    BasicStateStruct* FindCandidateTarget(const char*, const char*) const override { return nullptr; }
    const char* GetEventTypeName(int) const override { return nullptr; }
    const char* GetCandidateTargetName(const char*, int) const override { return nullptr; }
    void SetCurrentEventNewValue(double value) override;
    void SetName(const CPString& name) override { m_name = name; }
    const char* AddEvent(const char* typeName, const char* targetName) override;
    const char* GetEventTargetName(int index) const override;
    const char* GetCurrentEventTargetName() const override;
    const char* GetEventDescription(int index) const override;
    const char* GetCurrentEventDescription() const override;
    const char* GetName() const override { return m_name.c_str(); }
    const char* GetCurrentEventTypeName() const override;
    double GetCurrentEventBaseValue() const override;
    double GetCurrentEventNewValue() const override;
    int GetCurrentEventValueType() const override;
    bool InvalidateResults() override;
    bool DeleteCurrentEvent() override;
    IHENEvent* SelectEvent(const char* displayName) override;
    void SetStatus(const CPString& text) override;
    IHENState* GetState() const override { return m_state.get(); }
    IHENEvent* GetEvent(int index) const override;

    // ---- INotificationReceiver: code 15 of an event ----
    void NotifyChange(int code, const CPString& text, void* data) override;

    virtual int GetScheduleType() const { return 0; }
    HENState& State() const { return *m_state; }
    HENEvent* GetCurrentEvent() const { return m_current; }
    // The first event of the type on the target; null when there is none.
    HENEvent* FindEvent(const char* typeName, const char* targetName) const;
    // Appends an event made elsewhere (the design's own prototype path): it becomes current,
    // the schedule listens to it, the status goes back to 0 and code 13 is sent.
    void AppendEvent(HENEvent* event);
    // A unit (or a stream) of the design renamed: its records in the state and the events on it
    // (on a branch of a renamed splitter too) take the new name.
    void RenameTarget(const CPString& oldName, const CPString& newName, bool stream);
    // The plant under the schedule changed from the default state `before` to `now`: each event
    // follows it (HENEvent::FollowPlant) on its target's records there.
    void FollowPlant(const HENState* before, const HENState& now);
    // The schedule's results and the values of its events at one moment, given back exactly when
    // a change of the plant under it is refused (its events stay the same ones meanwhile).
    struct Kept {
        std::unique_ptr<HENState> state;
        std::vector<std::pair<double, double>> events;  // base and new value
    };
    Kept Keep() const;
    void GiveBack(const Kept& kept);

    // ---- case file ----
    // Version 2: the state record; int32 1 and the current event's display name, or int32 0;
    // int32 event count and per event its type name and its event record; the schedule's name.
    // Version 1 adds the state's status as an int32 after the name. The events are made through
    // the registry by type name; a failed read leaves the schedule as it was.
    static constexpr int RecordVersion = 2;
    bool Store(ILurmetBinaryFile& file) const;
    bool Recall(ILurmetBinaryFile& file);

protected:
    std::unique_ptr<HENState> m_state;
    std::vector<HENEvent*> m_events;  // owned
    HENEvent* m_current = nullptr;
    CPString m_name;
};

// The schedule a design and its studies make: it offers the eight event kinds and their
// targets from its state.
class HENOperatingSchedule : public HENSchedule {
public:
    // A copy of the design's state, not calculated.
    HENOperatingSchedule(const CPString& name, const HENState& designState);
    HENOperatingSchedule(const HENOperatingSchedule& other) = default;

    int GetNumberOfEventTypes() const override;
    int GetNumberOfCandidateTargets(const char* typeName) const override;
    BasicStateStruct* FindCandidateTarget(const char* typeName, const char* targetName) const override;
    const char* GetEventTypeName(int index) const override;
    const char* GetCandidateTargetName(const char* typeName, int index) const override;
    int GetScheduleType() const override { return 1; }
};

// Applies the event to the record of its target in the schedule's state (and so to the design's
// unit or stream). False when the schedule has no such target.
bool ApplyEventToSchedule(HENEvent& event, IHENSchedule& schedule);
