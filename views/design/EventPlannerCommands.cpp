// The event planner's command words: the plan list (order, new and deleted plans), plan files
// through the session's file picker, and the schedules of the design made from the plans and
// executed.
#include "views/design/EventPlanner.h"

#include "eng/design/IHENDesign.h"
#include "eng/design/IHENEvent.h"
#include "eng/design/IHENSchedule.h"
#include "lumeth/Session.h"
#include "views/ViewCommandSteps.h"
#include "views/design/EventPlanFile.h"
#include "views/design/HIDesignViewerDesign.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_set>

namespace {
constexpr int kScheduleMade = 0, kScheduleExists = 1;
}  // namespace

const std::vector<EventPlanner::Command>& EventPlanner::Commands() {
    using P = EventPlanner;
    static const std::vector<Command> table = {
        {"ShowEventTasksView", &P::showEventTasksView}, {"StepUp", &P::stepUp},
        {"StepDown", &P::stepDown},                     {"TopOfList", &P::topOfList},
        {"BottomOfList", &P::bottomOfList},             {"CreateNewEventPlan", &P::createNewEventPlan},
        {"DeleteEventPlan", &P::deleteEventPlan},       {"SaveEventPlan", &P::saveEventPlan},
        {"OpenEventPlanFile", &P::openEventPlanFile},   {"CreateNewEvents", &P::createNewEvents},
        {"ExecuteNewEvents", &P::executeNewEvents},
    };
    return table;
}

const std::vector<const char*>& EventPlanner::CommandWords() {
    static const std::vector<const char*> words = [] {
        std::vector<const char*> out;
        for (const Command& c : Commands()) out.push_back(c.word);
        return out;
    }();
    return words;
}

int EventPlanner::Message(const Text& line) {
    // A planner read back with the case plans for nothing: the framework answers.
    if (!pScenario) return Viewable::Message(line);
    Text word, rest;
    view_commands::token(line, word, rest);
    for (const Command& c : Commands())
        if (word == c.word) return (this->*c.action)(rest);
    return Viewable::Message(line);
}

// ---- the plan list ----

int EventPlanner::TrackedIndex() const {
    for (std::size_t i = 0; i < lstPlans.size(); ++i)
        if (lstPlans[i]->name == strTracker) return static_cast<int>(i);
    return -1;
}

void EventPlanner::SelectTracked() {
    const int i = TrackedIndex();
    if (i >= 0) pSelectedPlan = lstPlans[static_cast<std::size_t>(i)].get();
}

int EventPlanner::showEventTasksView(const Text&) {
    if (!pSelectedPlan) {
        ErrorMsg("NoEventSelected");
        return 0;
    }
    View("EventTasksView");
    return 1;
}

int EventPlanner::stepUp(const Text&) {
    const int i = TrackedIndex();
    if (i > 0) std::swap(lstPlans[static_cast<std::size_t>(i)], lstPlans[static_cast<std::size_t>(i - 1)]);
    return 1;
}

int EventPlanner::stepDown(const Text&) {
    const int i = TrackedIndex();
    if (i >= 0 && i + 1 < static_cast<int>(lstPlans.size()))
        std::swap(lstPlans[static_cast<std::size_t>(i)], lstPlans[static_cast<std::size_t>(i + 1)]);
    return 1;
}

namespace {
EventPlanList::iterator findPlan(EventPlanList& plans, const EventPlan* plan) {
    return std::find_if(plans.begin(), plans.end(), [&](const auto& p) { return p.get() == plan; });
}
}  // namespace

int EventPlanner::topOfList(const Text&) {
    SelectTracked();
    auto it = findPlan(lstPlans, pSelectedPlan);
    if (it != lstPlans.end()) std::rotate(lstPlans.begin(), it, it + 1);
    return 1;
}

int EventPlanner::bottomOfList(const Text&) {
    SelectTracked();
    auto it = findPlan(lstPlans, pSelectedPlan);
    if (it != lstPlans.end()) std::rotate(it, it + 1, lstPlans.end());
    return 1;
}

int EventPlanner::createNewEventPlan(const Text&) {
    auto plan = std::make_unique<EventPlan>();
    // A name already given (a plan renamed or read from a file) is skipped: schedules are made
    // by plan name.
    auto taken = [&](const Text& name) {
        return std::any_of(lstPlans.begin(), lstPlans.end(), [&](const auto& p) { return p->name == name; });
    };
    do plan->name = FormattedText("Event %d", nPlanCounter++);
    while (taken(plan->name));
    strTracker = plan->name;
    pSelectedPlan = plan.get();
    lstPlans.push_back(std::move(plan));
    return 1;
}

int EventPlanner::deleteEventPlan(const Text&) {
    auto it = findPlan(lstPlans, pSelectedPlan);
    // With no plan selected none is deleted, and the selection stays as it is.
    if (it == lstPlans.end()) return ErrorMsg("NoEventSelected"), 0;
    lstPlans.erase(it);
    pSelectedPlan = nullptr;
    if (lstPlans.empty()) {
        nPlanCounter = 1;
    } else {
        strTracker = lstPlans.front()->name;
        pSelectedPlan = lstPlans.front().get();
    }
    return 1;
}

void EventPlanner::CountFromPlanNames() {
    long largest = -32767;
    for (const auto& plan : lstPlans) {
        Text first, rest, second, more;
        view_commands::token(plan->name, first, rest);
        view_commands::token(rest, second, more);
        if (second.empty() || !second.IsNumber()) continue;
        const double n = std::strtod(second.c_str(), nullptr);
        if (std::isfinite(n) && n > largest && n < 1.0e9) largest = static_cast<long>(n);
    }
    if (largest > -32767) nPlanCounter = static_cast<int>(largest) + 1;
}

// ---- plan files ----

namespace {
FNPromptStruct planPrompt(bool save) {
    FNPromptStruct prompt{save ? "ExportEventPlanTitle" : "ImportEventPlanTitle", "XML", {}, save ? 0x11 : 1};
    prompt.filters.emplace_back("EventFileTitle", "xml");
    prompt.filters.emplace_back("AllFiles", "*");
    return prompt;
}
}  // namespace

int EventPlanner::saveEventPlan(const Text&) {
    FileName path;
    if (!FilePicker::ChooseFileName(planPrompt(true), path) || path.empty()) return 1;
    // A file refused (the case itself, a device, a place that cannot be written) saved nothing.
    return WritePlanFile(path) ? 1 : 0;
}

int EventPlanner::openEventPlanFile(const Text&) {
    FileName path;
    if (!FilePicker::ChooseFileName(planPrompt(false), path) || path.empty()) return 1;
    return ReadPlanFile(path) ? 1 : 0;
}

bool EventPlanner::WritePlanFile(const Text& path) {
    std::string why;
    if (event_plan_file::Save(path, lstPlans, strFileNotes, &why)) return true;
    ErrorMsg("MSXMLError", SaveFailure(path, why));
    return false;
}

bool EventPlanner::ReadPlanFile(const Text& path) {
    event_plan_file::PlanDocument read;
    if (!event_plan_file::Load(path, read)) {
        // The plans are kept nowhere else: they stay as they were.
        ErrorMsg("MSXMLError", path);
        return false;
    }
    // A plan is found by its name (the tracker, the plan list, the schedules made of it): a file
    // holding two plans of one name gives the later one the first free name "<name>_2", "_3", ...
    std::unordered_set<std::string> inFile, kept;
    for (const auto& plan : read.plans) inFile.insert(plan->name);
    for (auto& plan : read.plans) {
        if (kept.count(plan->name)) {
            Text name;
            for (int n = 2; name.empty() || inFile.count(name) || kept.count(name); ++n)
                name = plan->name + "_" + std::to_string(n);
            plan->name = name;
        }
        kept.insert(plan->name);
    }
    lstPlans = std::move(read.plans);
    pSelectedPlan = nullptr;
    strFileNotes = read.notes;
    if (pScenario) CountFromPlanNames();
    return true;
}

// ---- schedules from the plans ----

namespace {
template <typename Each>
void forEachTask(const EventPlan& plan, Each each) {
    for (const EventTask& t : plan.exchangerTasks) each(t);
    for (const EventTask& t : plan.flowTasks) each(t);
}

double eventValue(const EventTask& t) { return t.keyword == "Remove" ? 0.0 : t.newValue; }

// The current schedule's event of the type on the unit takes the value, unless its own stream
// cannot (an inlet on the far side of the stream's target): then, for an event just made, the
// event is taken out again, so that the schedule does not run on the old inlet unnoticed; an
// event the schedule had keeps its value. The key is answered.
const char* setEventValue(IHENDesign& design, const char* type, const Text& unit, double value, bool made) {
    const char* label = design.FindScheduleEventLabel(type, unit.c_str());
    if (!label || !design.SelectScheduleEvent(label)) return nullptr;
    if (const char* refused = design.GetCurrentEventValueRefusal(value)) {
        if (made) design.RemoveCurrentEvent();
        return refused;
    }
    design.SetCurrentEventNewValue(value);
    return nullptr;
}

// A stream runs at one flow and an exchanger takes one change of a kind in a schedule: a plan
// that gives a unit a second task of the same keyword (a file may) has that task named and not
// applied, where the schedule would otherwise keep the last one without a word.
bool refuseSecondTask(const EventPlan& plan, const EventTask& t, std::unordered_set<std::string>& seen) {
    if (seen.insert(t.keyword + "\n" + t.unitName).second) return false;
    Viewable::ErrorMsg("EventTaskValueRefused", MessageParameters{plan.name, t.keyword, t.unitName,
                                                                  Text("the plan gives it an earlier task of this kind")});
    return true;
}

void reportRefusedTask(const EventPlan& plan, const EventTask& t, const char* refused) {
    Viewable::ErrorMsg("EventTaskValueRefused", MessageParameters{plan.name, t.keyword, t.unitName, FindString(refused)});
}

// A task whose value its event cannot carry out (a value that is none, read from a file as a
// word, is the empty value here): named with the reason, and not applied.
bool refuseTaskValue(const EventPlan& plan, const EventTask& t) {
    const char* refused = event_tasks::Refusal(t.keyword, eventValue(t));
    if (!refused) return false;
    reportRefusedTask(plan, t, refused);
    return true;
}
}  // namespace

// A tee-flow task names its tee; the schedule's event acts on the tee's adjustable branch, the
// first (the last branch takes what the others leave). Any other task names its unit or stream.
Text EventPlanner::EventTarget(const EventTask& t, const char* type) const {
    if (t.keyword != "TeeFlow") return t.unitName;
    const std::string branch = t.unitName + " Branch ";
    for (int i = 0; i < pDesign->GetNumberOfEventTargets(type); ++i) {
        const char* name = pDesign->GetEventTargetName(type, i);
        if (name && std::string(name).rfind(branch, 0) == 0) return name;
    }
    return t.unitName;
}

bool EventPlanner::AddPlanEvents(const EventPlan& plan) {
    pDesign->SelectSchedule(plan.name);
    std::unordered_set<std::string> seen;
    bool refused = false;
    forEachTask(plan, [&](const EventTask& t) {
        const int kind = event_tasks::KindOf(t.keyword);
        const char* type = pDesign->GetEventTypeName(kind);
        if (!type) return;
        if (refuseSecondTask(plan, t, seen)) {
            refused = true;
            return;
        }
        if (pDesignViewer) pDesignViewer->nEventKind = kind;
        if (refuseTaskValue(plan, t)) return;
        const Text target = EventTarget(t, type);
        if (!pDesign->AddEventToCurrentSchedule(type, target.c_str())) {
            // A unit the schedule knows refused the event's kind (an area, shells or a removal of
            // a heater or cooler, a stream no unit stands on): the schedule's own refusal.
            const IHENSchedule* schedule = pDesign->FindOperatingSchedule(plan.name);
            const bool known = schedule && schedule->FindCandidateTarget(type, target.c_str());
            if (known)
                ErrorMsg("EventAddFailed", Text("(event plan " + plan.name + ": the task " + t.keyword + " on " +
                                                t.unitName + " was not applied)"));
            else
                ErrorMsg("EventTaskUnitUnknown", MessageParameters{plan.name, t.keyword, t.unitName});
        }
        else if (const char* why = setEventValue(*pDesign, type, target, eventValue(t), true))
            reportRefusedTask(plan, t, why);
    });
    return !refused;
}

bool EventPlanner::UpdateScheduleEvents(const EventPlan& plan, bool report) {
    // The events of the schedule of the plan's name, once it is the current one.
    pDesign->SelectSchedule(plan.name);
    const char* current = pDesign->GetCurrentScheduleName();
    bool runRefused = false;
    if (current && plan.name == current) {
        std::unordered_set<std::string> updated, seen;
        forEachTask(plan, [&](const EventTask& t) {
            const char* type = pDesign->GetEventTypeName(event_tasks::KindOf(t.keyword));
            if (!type || (report && (refuseSecondTask(plan, t, seen) || refuseTaskValue(plan, t)))) return;
            const Text target = EventTarget(t, type);
            if (const char* label = pDesign->FindScheduleEventLabel(type, target.c_str())) updated.insert(label);
            else if (report) ErrorMsg("EventTaskNotApplied", MessageParameters{plan.name, t.keyword, t.unitName, plan.name});
            // A value the stream as it now is cannot take (process data typed since the plan was
            // made) refuses the run, as every what-if run is refused: the event keeps its value.
            const char* refused = setEventValue(*pDesign, type, target, eventValue(t), false);
            if (refused && report) {
                ErrorMsg("WhatIfRunRefused", Text(plan.name + ": the task " + t.keyword + " on " + t.unitName + " gives " +
                                                  FindString(refused)));
                runRefused = true;
            }
        });
        if (report) ReportEventsNotInPlan(plan, updated);
    }
    if (runRefused) return false;
    if (!pDesign->CanExecuteSchedule(plan.name)) return true;
    view_commands::busy([&] { pDesign->ExecuteSchedule(); });
    // The plan's run is judged as every run is: one refused answers as the design viewer's does.
    if (const char* refused = pDesign->GetWhatIfRunRefusal()) {
        ErrorMsg("WhatIfRunRefused", refused);
        return false;
    }
    return true;
}

// The schedule keeps the events a plan no longer lists (a task cleared after the schedule was
// made): each is named, as the plan does not hold what the schedule runs.
void EventPlanner::ReportEventsNotInPlan(const EventPlan& plan, const std::unordered_set<std::string>& updated) {
    const IHENSchedule* schedule = pDesign->FindOperatingSchedule(plan.name);
    for (int i = 0; schedule && i < schedule->GetNumberOfEvents(); ++i) {
        const IHENEvent* event = schedule->GetEvent(i);
        if (!event || updated.count(event->GetName())) continue;
        for (const event_tasks::Keyword& k : event_tasks::Keywords()) {
            const char* label = pDesign->FindScheduleEventLabel(k.eventType, event->GetTargetName());
            if (label && std::string(label) == event->GetName()) {
                ErrorMsg("EventTaskNotApplied", MessageParameters{plan.name, k.word, event->GetTargetName(), plan.name});
                break;
            }
        }
    }
}

// A plan whose name no schedule may take (the event summary's base case row) is refused as a name
// in use: no schedule of that name exists to update.
bool EventPlanner::RefuseReservedPlanName(const EventPlan& plan, int result) const {
    if (result != kScheduleExists || !pDesign->IsReservedScheduleName(plan.name)) return false;
    ErrorMsg("EventNameAlreadyUsed", plan.name);
    return true;
}

// Schedules are made and run on a network locked for operation only (its default state is the
// lock's): on another the plans stay plans.
bool EventPlanner::RefuseUnlockedOperation() const {
    if (pDesign->GetOperationLocked()) return false;
    ErrorMsg("OperationNotLocked");
    return true;
}

// With no plan there is no schedule to make or run: said, as a task view with no plan says it.
bool EventPlanner::RefuseNoPlans() const {
    if (!lstPlans.empty()) return false;
    ErrorMsg("NoEventSelected");
    return true;
}

int EventPlanner::createNewEvents(const Text&) {
    if (!pDesign || !pDesignViewer) return 1;
    if (RefuseUnlockedOperation() || RefuseNoPlans()) return 0;
    // The plans that make their schedules keep them; one plan refused makes the command a refusal.
    int made = 0;
    bool refused = false;
    for (const auto& plan : lstPlans) {
        const int result = pDesign->AddSchedule(plan->name);
        if (RefuseReservedPlanName(*plan, result)) {
            refused = true;
            continue;
        }
        if (result == kScheduleMade) {
            ++made;
            if (!AddPlanEvents(*plan)) refused = true;
        } else if (result == kScheduleExists) {
            ErrorMsg("EventNameFromXMLAlreadyInUse", plan->name);
            refused = true;
        } else {
            ErrorMsg("InternalErrorInAddEventFromXML", plan->name);
            refused = true;
        }
    }
    if (made > 0) bEventsCreated = 1;
    return refused ? 0 : 1;
}

int EventPlanner::executeNewEvents(const Text&) {
    if (!pDesign) return 1;
    if (RefuseUnlockedOperation() || RefuseNoPlans()) return 0;
    bool refused = false;
    for (const auto& plan : lstPlans) {
        const int result = pDesign->AddSchedule(plan->name);
        if (RefuseReservedPlanName(*plan, result)) {
            refused = true;
            continue;
        }
        if (result == kScheduleMade) {
            if (!pDesignViewer) continue;
            if (!AddPlanEvents(*plan)) refused = true;
            if (!UpdateScheduleEvents(*plan, false)) refused = true;
        } else if (result == kScheduleExists) {
            if (!UpdateScheduleEvents(*plan, true)) refused = true;
        } else {
            ErrorMsg("InternalErrorInAddEventFromXML", plan->name);
            refused = true;
        }
    }
    return refused ? 0 : 1;
}
