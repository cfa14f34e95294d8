// The task keywords of event plans and the tasks of a plan.
#include "views/design/EventPlans.h"

#include "eng/design/IHENDesign.h"
#include "eng/design/IHENEvent.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"

#include <algorithm>

namespace event_tasks {

const std::vector<Keyword>& Keywords() {
    // Quantities: 1524 heat-transfer coefficient, 1508 area, 4 mass flow, 1 temperature.
    static const std::vector<Keyword> table = {
        {"Clean", 0, "CleaningHENEvent", Group::Exchanger, 1524, "ObservedHTC"},
        {"ChangeArea", 1, "AdditionalAreaHENEvent", Group::Exchanger, 1508, "HTArea"},
        {"AddShells", 2, "AdditionalShellHENEvent", Group::Exchanger, 0, "NShellsInSeries"},
        {"TeeFlow", 3, "SplitflowmodificationEvent", Group::Flow, 4, "SplitFlowValue"},
        {"Remove", 4, "HeatExchangerRemovalEvent", Group::Exchanger, 0, nullptr},
        {"StudyFouling", 5, "HeatExchangerFoulingEvent", Group::Exchanger, 1524, "ObservedHTC"},
        {"StreamFlow", 6, "StreamFlowrateChangeEvent", Group::Flow, 4, "MassFlow"},
        {"InletTemp", 7, "InletTemperatureChangeEvent", Group::Flow, 1, "Temperature"},
    };
    return table;
}

const Keyword* Find(const Text& word) {
    for (const Keyword& k : Keywords())
        if (word == k.word) return &k;
    return nullptr;
}

int KindOf(const Text& word) {
    const Keyword* k = Find(word);
    return k ? k->kind : NoKind;
}

Group GroupOf(const Text& word) {
    const Keyword* k = Find(word);
    return k ? k->group : Group::None;
}

Text CalculationUnit(const Text& word) {
    const Keyword* k = Find(word);
    if (!k || !k->unitQuantity) return Text();
    // The engine calculates in the SI units.
    const QuantityInfo* q = FindQuantity(k->unitQuantity);
    return q ? q->si.name : Text();
}

const char* Refusal(const Text& word, double value) {
    const Keyword* k = Find(word);
    return k && k->variable ? HENEventValueRefusal(k->variable, value) : nullptr;
}

void ShowValueRefusal(const char* refused, const char* variable, double value) {
    const char* own = HENEventValueRefusal(variable, value);
    const char* range = HENEventValueRange(variable);
    if (own && refused && Text(own) == refused && range)
        ErrorMsg(refused, MessageParameters{FormatMessage(FindString("CellTakes", 0), {Text(range)})});
    else
        ErrorMsg(refused);
}

const char* Refusal(const Text& word, const Text& unit, double value, const IHENDesign* design) {
    const Keyword* k = Find(word);
    if (!design || !k || !k->variable) return Refusal(word, value);
    return design->GetTargetValueRefusal(k->variable, unit.c_str(), value);
}

}  // namespace event_tasks

EventTask* EventPlan::FindTask(const Text& keyword, const Text& unit) {
    const event_tasks::Group group = event_tasks::GroupOf(keyword);
    if (group == event_tasks::Group::None) return nullptr;
    std::vector<EventTask>& tasks = group == event_tasks::Group::Exchanger ? exchangerTasks : flowTasks;
    for (EventTask& t : tasks)
        if (t.keyword == keyword && t.unitName == unit) return &t;
    return nullptr;
}

bool EventPlan::SetTask(const Text& keyword, const Text& unit, double value, const Text& units, bool remove) {
    const event_tasks::Group group = event_tasks::GroupOf(keyword);
    if (group == event_tasks::Group::None) return false;
    std::vector<EventTask>& tasks = group == event_tasks::Group::Exchanger ? exchangerTasks : flowTasks;
    auto it = std::find_if(tasks.begin(), tasks.end(),
                           [&](const EventTask& t) { return t.keyword == keyword && t.unitName == unit; });
    if (remove) {
        if (it != tasks.end()) tasks.erase(it);
        return true;
    }
    // A task already there keeps its units.
    if (it != tasks.end()) it->newValue = value;
    else tasks.push_back({keyword, unit, value, units});
    return true;
}
