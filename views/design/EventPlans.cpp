// The task keywords of event plans and the tasks of a plan.
#include "views/design/EventPlans.h"

#include "eng/design/IHENDesign.h"
#include "eng/design/IHENEvent.h"
#include "eng/model/CaseValueLimits.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

namespace {

// What a stream's new inlet may be: a temperature a case holds, on the near side of the stream's
// target (at or past it the stream would turn round). A value inside that was refused for the
// load it leaves the stream's first segment (within a thousandth of a kilowatt of its target, say):
// the range says so too.
Text inletRange(double value, const IHENDesign* design, const char* target) {
    namespace L = CaseValueLimits;
    IHeatIntegrationScenario* scenario = design ? design->GetScenario() : nullptr;
    IHeatIntegrationStream* stream = nullptr;
    const bool found = scenario && target && scenario->GetStream(target, stream) && stream;
    constexpr double kEmpty = CaseValueLimits::EmptyValue;
    const double end = found ? stream->GetTargetTemperature() : kEmpty;
    const bool hot = found && end != kEmpty && stream->GetHotCold() == 0;
    const bool cold = found && end != kEmpty && stream->GetHotCold() == 1;
    const double low = hot ? end : L::MinTemperature, high = cold ? end : L::MaxTemperature;
    const bool inside = std::isfinite(value) && (hot ? value > low : value >= low) && (cold ? value < high : value <= high);
    const Text load = inside ? ", that leaves its first segment a load from " + MessageParameter(L::MinDuty) + " to " +
                                   MessageParameter(L::MaxDuty)
                             : Text();
    if (hot) return "a value above its target, " + MessageParameter(end) + ", and up to " + MessageParameter(high) + load;
    if (cold) return "a value of at least " + MessageParameter(low) + ", and below its target, " + MessageParameter(end) + load;
    return "a value from " + MessageParameter(low) + " to " + MessageParameter(high) + load;
}

}  // namespace

void ShowValueRefusal(const char* refused, const char* variable, double value, const IHENDesign* design,
                      const char* target) {
    const char* own = HENEventValueRefusal(variable, value);
    Text range = HENEventValueRange(variable) ? Text(HENEventValueRange(variable)) : Text();
    bool told = own && refused && Text(own) == refused;
    // An inlet's refusal (below absolute zero, past any furnace, at or past its target) tells the
    // whole range of the inlet, its stream's target included.
    if (variable && std::strcmp(variable, "Temperature") == 0 && refused) {
        range = inletRange(value, design, target);
        told = true;
    }
    if (told && !range.empty())
        ErrorMsg(refused, MessageParameters{FormatMessage(FindString("CellTakes", 0), {range})});
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
