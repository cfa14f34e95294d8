#pragma once
// A design and a scenario that record the engine operations a view calls, in one log with the
// session journal's busy signals, status lines, forms and messages, so that a test sees the
// order of engine calls and what the user was shown around them. The design keeps schedules of
// events by name, and its default operating state holds exchangers E-100 and E-101, streams H1
// (2 kg/s, 170 C) and C1 (3 kg/s, 20 C) and the tee TEE-100 of two branches (0.25, 0.75).
#include "eng/model/Scenario.h"
#include "eng/model/ScenarioServices.h"
#include "eng/design/IHENState.h"
#include "lumeth/Session.h"
#include "tests/eng/model/ScenarioTestDoubles.h"
#include "views/design/HIDesignViewerDesign.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace recording_design {

// Engine calls marked with the journal's next sequence number when they were made.
struct EngineLog {
    std::vector<std::pair<std::uint64_t, std::string>> calls;
    void Add(const std::string& call) { calls.emplace_back(Session::Instance().NextSequence(), call); }
    // Where a step starts: the journal's next entry and the next call.
    struct Mark {
        std::uint64_t sequence;
        std::size_t call;
    };
    Mark Now() const { return {Session::Instance().NextSequence(), calls.size()}; }
    // The calls and the journal entries of the user's side since the mark, in the order they
    // happened: "busy 1", "status <text>", "clear", "view <form>", "error <key>", "send <line>".
    std::vector<std::string> Trace(Mark mark) const {
        const std::uint64_t from = mark.sequence;
        std::vector<std::pair<double, std::string>> all;
        for (std::size_t i = mark.call; i < calls.size(); ++i) all.emplace_back(double(calls[i].first) - 0.5, calls[i].second);
        for (const SessionEntry& e : Session::Instance().Journal()) {
            if (e.sequence < from) continue;
            std::string line;
            switch (e.event) {
                case SessionEvent::Busy: line = "busy " + std::to_string(e.number); break;
                case SessionEvent::Status: line = "status " + std::string(e.text.c_str()); break;
                case SessionEvent::StatusClear: line = "clear"; break;
                case SessionEvent::ViewOpened: line = "view " + std::string(e.text.c_str()); break;
                case SessionEvent::Error: line = "error " + std::string(e.key.c_str()); break;
                // A notice (a run that did its work telling so), not a question.
                case SessionEvent::Response:
                    if (e.number != 1) continue;
                    line = "notice " + std::string(e.key.c_str());
                    break;
                case SessionEvent::MessageSent: line = "send " + std::string(e.text.c_str()); break;
                default: continue;
            }
            all.emplace_back(double(e.sequence), line);
        }
        std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::string> out;
        for (auto& [at, line] : all) out.push_back(line);
        return out;
    }
};

class PlanState : public IHENState, public NotificationSender {
public:
    int GetNumberOfStreams() const override { return 2; }
    int GetNumberOfUtilities() const override { return 0; }
    int GetNumberOfHeatExchangers() const override { return 2; }
    int GetNumberOfSelectableHeatExchangers() const override { return 2; }
    int GetNumberOfSplitters() const override { return 1; }
    void GetHeatExchangerValue(int, const CPString&, double&) const override {}
    const char* GetSelectableHeatExchangerName(int i) const override { return i == 0 ? "E-100" : i == 1 ? "E-101" : nullptr; }
    const char* GetHeatExchangerName(int i) const override { return GetSelectableHeatExchangerName(i); }
    const char* GetUtilityName(int) const override { return nullptr; }
    const char* GetStreamName(int i) const override { return i == 0 ? "H1" : i == 1 ? "C1" : nullptr; }
    const char* GetSplitterName(int) const override { return "TEE-100"; }
    int GetNumberOfBranches(int) const override { return 2; }
    double GetBranchFraction(int, int branch) const override { return branch == 0 ? 0.25 : 0.75; }
    double GetStreamSupplyTemperature(int i) const override { return i == 0 ? 170.0 : 20.0; }
    double GetStreamTargetTemperature(int) const override { return 0.0; }
    double GetStreamOutletTemperature(int) const override { return 0.0; }
    double GetStreamMassFlow(int i) const override { return i == 0 ? 2.0 : 3.0; }
    double GetStreamPricePerMass(int) const override { return 0.0; }
    double GetUtilityDuty(int) const override { return 0.0; }
    double GetUtilityCost(int) const override { return 0.0; }
    double GetTotalUtilityCost() const override { return 0.0; }
    unsigned char GetStatus() const override { return 1; }
    void SetStatus(const CPString&) override {}
};

struct ScheduleEvent {
    std::string type, target;
    double value = -32767.0;
};

class RecordingDesign : public scenario_test::FakeDesign {
public:
    RecordingDesign(const char* name, EngineLog& log) : FakeDesign(name), log(log) {}
    EngineLog& log;
    PlanState state;
    int lockable = 3, exchangers = 4, configured = 1, areaSpecified = 3;
    double capitalCost = 0.0, payback = 1.0;
    std::map<std::string, std::vector<ScheduleEvent>> schedules;
    std::string current;
    int currentEvent = -1;
    bool locked = false;
    mutable std::string label;

    std::vector<ScheduleEvent>* Current() { return schedules.count(current) ? &schedules[current] : nullptr; }
    void Call(const std::string& s) { log.Add(s); }

    int GetNumberOfHeatExchangers() const override { return exchangers; }
    int GetNumberOfConfiguredExchangers(int) const override { return configured; }
    int GetNumberOfAreaSpecifiedExchangers() const override { return areaSpecified; }
    int GetNumberOfProcessStreams() const override { return 2; }
    bool Reconcile() override { return Call("Reconcile"), true; }
    void RunOptimizerCheck() override { Call("RunOptimizerCheck"); }
    void SetOptimizeExchangerDuties(bool on) override { Call("SetOptimizeExchangerDuties " + std::to_string(on)); }
    void SetOptimizeSplitFractions(bool on) override { Call("SetOptimizeSplitFractions " + std::to_string(on)); }
    int RunOptimizer(int code) override { return Call("RunOptimizer " + std::to_string(code)), 0; }
    double CalculateCapitalCost() override { return capitalCost; }
    double GetPaybackTime() const override { return payback; }
    int CheckOperationLockable() override { return Call("CheckOperationLockable"), lockable; }
    void LockOperation() override { Call("LockOperation"); }
    void UnlockOperation() override { Call("UnlockOperation"); }
    void ModifyOperation() override { Call("ModifyOperation"); }
    void ResetCalculatedValues() override { Call("ResetCalculatedValues"); }
    void ResetDefaultState() override { Call("ResetDefaultState"); }
    IHENState* GetDefaultState() override { return &state; }
    void AddStudy() override { Call("AddStudy"); }
    bool AddNewSchedule() override { return Call("AddNewSchedule"), true; }
    int AddSchedule(const CPString& name) override {
        Call("AddSchedule " + name);
        if (name.empty()) return 2;
        if (schedules.count(name)) return 1;
        schedules[name];
        current = name;
        return 0;
    }
    bool RemoveSchedule(const CPString& name) override { return Call("RemoveSchedule " + name), schedules.erase(name) > 0; }
    bool SelectSchedule(const CPString& name) override {
        if (schedules.count(name)) current = name;
        return true;
    }
    const char* GetCurrentScheduleName() const override { return current.empty() ? nullptr : current.c_str(); }
    bool RemoveCurrentEvent() override { return Call("RemoveCurrentEvent"), true; }
    bool GetOperationLocked() const override { return locked; }
    const char* GetCurrentEventName() const override {
        const auto it = schedules.find(current);
        if (it == schedules.end() || currentEvent < 0 || currentEvent >= static_cast<int>(it->second.size())) return nullptr;
        return it->second[static_cast<std::size_t>(currentEvent)].target.c_str();
    }
    bool CanExecuteSchedule(const CPString& name) const override {
        return schedules.count(name) && !schedules.at(name).empty();
    }
    void ExecuteSchedule() override { Call("ExecuteSchedule " + current); }
    const char* GetEventTypeName(int kind) const override {
        return kind >= 0 && kind < 8 ? HIDesignViewerDesign::EventClassName(kind) : nullptr;
    }
    int GetNumberOfEventTargets(const char*) const override { return 2; }
    const char* GetEventTargetName(const char* type, int i) const override {
        const bool stream = std::string(type) == "StreamFlowrateChangeEvent" || std::string(type) == "InletTemperatureChangeEvent";
        if (i < 0 || i > 1) return nullptr;
        return stream ? (i == 0 ? "H1" : "C1") : (i == 0 ? "E-100" : "E-101");
    }
    int find(const char* type, const char* target) {
        std::vector<ScheduleEvent>* events = Current();
        for (std::size_t i = 0; events && i < events->size(); ++i)
            if ((*events)[i].type == type && (*events)[i].target == target) return static_cast<int>(i);
        return -1;
    }
    bool add(const char* type, const char* target) {
        std::vector<ScheduleEvent>* events = Current();
        if (!events) return false;
        currentEvent = find(type, target);
        if (currentEvent < 0) {
            events->push_back({type, target});
            currentEvent = static_cast<int>(events->size()) - 1;
        }
        return true;
    }
    const char* AddEventToSchedule(const char* type, const char* target) override {
        Call(std::string("AddEventToSchedule ") + type + " " + target);
        return add(type, target) ? nullptr : "EventAddFailed";
    }
    bool AddEventToCurrentSchedule(const char* type, const char* target) override {
        Call(std::string("AddEventToCurrentSchedule ") + type + " " + target);
        return add(type, target);
    }
    const char* FindScheduleEventLabel(const char* type, const char* target) const override {
        const int i = const_cast<RecordingDesign*>(this)->find(type, target);
        if (i < 0) return nullptr;
        label = std::to_string(i);
        return label.c_str();
    }
    bool SelectScheduleEvent(const char* name) override {
        std::vector<ScheduleEvent>* events = Current();
        const int i = std::atoi(name);
        if (!events || i < 0 || i >= static_cast<int>(events->size())) return false;
        currentEvent = i;
        return true;
    }
    void SetCurrentEventNewValue(double value) override {
        std::ostringstream s;
        s << "SetCurrentEventNewValue " << value;
        Call(s.str());
        std::vector<ScheduleEvent>* events = Current();
        if (events && currentEvent >= 0 && currentEvent < static_cast<int>(events->size()))
            (*events)[static_cast<std::size_t>(currentEvent)].value = value;
    }
};

// The scenario side of the retrofit and optimisation words.
class RecordingScenario : public CPIScenario {
public:
    RecordingScenario(IHeatIntegrationProject* project, EngineLog& log)
        : CPIScenario(project, DefaultScenarioServices()), log(log) {}
    EngineLog& log;
    std::map<std::string, IHENDesign*> designs;
    int optimizeResult = 4, checkCode = 3, retrofitCode = 39, designCount = 1, assignment = 0;
    bool equationBased = false;
    double investmentLimit = 1.0e5;

    int OptimizeDesign(IHENDesign* d, int mode, bool keep) override {
        log.Add("OptimizeDesign " + std::string(d->GetDesignName()) + " " + std::to_string(mode) + " " + std::to_string(keep));
        return optimizeResult;
    }
    void RetrofitDesign(IHENDesign* d, int mode) override {
        log.Add("RetrofitDesign " + std::string(d->GetDesignName()) + " " + std::to_string(mode));
    }
    int GetRetrofitStatus() const override { return retrofitCode; }
    int GetRetrofitStepStatus(int step) const override { return step == 0 ? retrofitCode : -1; }
    double GetRetrofitStepCapital(int) const override { return 0.0; }
    int CheckRetrofitDesign(IHENDesign*) override { return log.Add("CheckRetrofitDesign"), checkCode; }
    int GetNumberOfDesigns() const override { return designCount; }
    void SetRetrofitBaseDesign(const CPString& n) override { log.Add("SetRetrofitBaseDesign " + n); }
    void DeleteDesignsExceptBase() override { log.Add("DeleteDesignsExceptBase"); }
    int DeleteDesign(const CPString& n) override { return log.Add("DeleteDesign " + n), 1; }
    bool GetDesign(const CPString& n, IHENDesign*& out) const override {
        auto it = designs.find(n);
        if (it == designs.end()) return false;
        return out = it->second, true;
    }
    using CPIScenario::GetDesign;
    // The design the last retrofit run kept, and the mode it ran in.
    IHENDesign* runResult = nullptr;
    int runMode = -1;
    IHENDesign* GetRetrofitRunResult(const IHENDesign* from, int mode) const override {
        return from && mode == runMode ? runResult : nullptr;
    }
    double GetOptimizerEconomicParameter() const override { return investmentLimit; }
    void SetOptimizerEconomicParameter(double v) override {
        std::ostringstream s;
        s << "SetOptimizerEconomicParameter " << v;
        log.Add(s.str());
        investmentLimit = v;
    }
    bool GetUseEquationBasedOptimization() const override { return equationBased; }
    int GetUtilityAssignmentMethod() const override { return assignment; }
};

}  // namespace recording_design
