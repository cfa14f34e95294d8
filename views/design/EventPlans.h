#pragma once
// Event plans: named lists of what-if changes to the units of an operated network, prepared in
// the event planner, kept in plan files and turned into operating schedules of the design. A
// task changes one value of one exchanger, tee or stream; its keyword says which, and fixes the
// kind of what-if event it becomes and the group (exchanger or flow) it is kept in.
#include "lumeth/Text.h"

#include <memory>
#include <vector>

class IHENDesign;

struct EventTask {
    Text keyword;
    Text unitName;                  // the exchanger, tee or stream
    double newValue = -32767.0;     // the empty value until a value is given
    Text units;                     // informative: written and read back, never converted
};

struct EventPlan {
    Text name;
    std::vector<EventTask> exchangerTasks;  // "Clean", "Remove", "ChangeArea", "AddShells", "StudyFouling"
    std::vector<EventTask> flowTasks;       // "TeeFlow", "StreamFlow", "InletTemp"
    Text notes;
    // The task of the keyword on the unit in its group; null when there is none.
    EventTask* FindTask(const Text& keyword, const Text& unit);
    // Sets the value of the task (made at the end of its group with `units` when new), or with
    // `remove` takes it away. False for a keyword of no group.
    bool SetTask(const Text& keyword, const Text& unit, double value, const Text& units, bool remove);
};

using EventPlanList = std::vector<std::unique_ptr<EventPlan>>;

namespace event_tasks {

constexpr int NoKind = -32767;
enum class Group { None, Exchanger, Flow };

struct Keyword {
    const char* word;
    int kind;                 // the index of its event type among the design's event types
    const char* eventType;
    Group group;
    int unitQuantity;         // the variable type whose calculation unit is written; 0: none
    const char* variable;     // what the event sets; null for a removal (its value is fixed)
};

// The eight keywords in the order of their kinds.
const std::vector<Keyword>& Keywords();
// The keyword's row; null for a word that is none.
const Keyword* Find(const Text& word);
// The kind of a keyword; NoKind for any other word.
int KindOf(const Text& word);
Group GroupOf(const Text& word);
// The calculation unit's name of the keyword's quantity; empty for "AddShells" and "Remove".
Text CalculationUnit(const Text& word);
// The message key that refuses `value` for a task of the keyword (a value its event cannot
// carry out); null when it fits, and always for "Remove" and a word that is none.
const char* Refusal(const Text& word, double value);
// The same, with the design's own check of the unit or stream (an inlet past its stream's target).
const char* Refusal(const Text& word, const Text& unit, double value, const IHENDesign* design);
// Shows the refusal `refused` of an event's `value` of `variable`: where it is the value's own
// check that refused it, with what the value may be (the key serves values of other ranges too);
// a stream's inlet with its range on the near side of the target of the stream `target`.
void ShowValueRefusal(const char* refused, const char* variable, double value, const IHENDesign* design = nullptr,
                      const char* target = nullptr);

}  // namespace event_tasks
