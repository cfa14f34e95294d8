// The event planner: its making from the design viewer, the names and base values it takes from
// the design's operating state, and its form variables (plans, tasks, names, base values).
#include "views/design/EventPlanner.h"

#include "eng/design/IHENDesign.h"
#include "eng/design/IHENState.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/ObjectTypeInfo.h"
#include "pellin/CNode.h"
#include "pellin/FFactor.h"
#include "views/design/HIDesignViewerDesign.h"

#include <string>
#include <unordered_map>

namespace {

constexpr double kEmpty = -32767.0;

// The rows a task or base variable runs over.
enum class Rows { Exchangers, Streams, Tees };

struct TaskAddress {
    int type, number;
    const char* keyword;
    Rows rows;
};

// The task variables: a value of the selected plan's task of the keyword on the unit of row i.
constexpr TaskAddress kTasks[] = {
    {1524, 300, "Clean", Rows::Exchangers},       {1524, 301, "StudyFouling", Rows::Exchangers},
    {104, 300, "Remove", Rows::Exchangers},       {1508, 300, "ChangeArea", Rows::Exchangers},
    {100, 300, "AddShells", Rows::Exchangers},    {100, 400, "TeeFlow", Rows::Tees},
    {4, 301, "StreamFlow", Rows::Streams},        {1, 300, "InletTemp", Rows::Streams},
};

const TaskAddress* findTask(const VarDescription& var) {
    for (const TaskAddress& t : kTasks)
        if (t.type == var.Type() && t.number == var.Number()) return &t;
    return nullptr;
}

Text at(const std::vector<Text>& list, int i) {
    return i >= 0 && i < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(i)] : Text();
}

double at(const std::vector<double>& list, int i) {
    return i >= 0 && i < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(i)] : kEmpty;
}

int addRows(DimInfo& dims, std::size_t n) {
    dims.AddDim(static_cast<int>(n));
    return 1;
}

}  // namespace

EventPlanner::EventPlanner(HIDesignViewerDesign* viewer, IHeatIntegrationScenario* scenario, const ObjectTypeInfo* type)
    : Viewable(viewer, type) {
    SetName("EventPlanner");
    Bind(viewer, scenario);
}

void EventPlanner::Bind(HIDesignViewerDesign* viewer, IHeatIntegrationScenario* scenario) {
    if (pScenario || !viewer || !scenario) return;
    pScenario = scenario;
    pDesignViewer = viewer;
    // The planner plans for its own viewer's design, whatever other designs the scenario holds.
    pDesign = viewer->GetDesign();
    if (IHENState* state = pDesign ? pDesign->GetDefaultState() : nullptr) FillNamesFromState(*state);
}

Viewable* EventPlanner::Create(ObjectInstanceInfo& info) {
    // Made for a record: it hangs below the viewer that held it and plans for nothing; that
    // viewer's "ShowEventPlannerView" opens it as it is.
    return new EventPlanner(info);
}

EventPlanner::EventPlanner(ObjectInstanceInfo& info) : Viewable(info) {
    if (GetName().empty()) SetName("EventPlanner");
}

EventPlanner::~EventPlanner() = default;

bool EventPlanner::RecallFixUp() {
    if (Viewable* parent = GetParent())
        if (parent->IsA(HIDesignViewerDesign::TypeName)) static_cast<HIDesignViewerDesign*>(parent)->AdoptEventPlanner(this);
    return Viewable::RecallFixUp();
}

void EventPlanner::FillNamesFromState(IHENState& state) {
    // The exchangers of the design by their unit names, looked up once for all rows.
    std::unordered_map<std::string, CNode*> units;
    CNode* unit = nullptr;
    for (int i = 0; pDesign->GetHeatExchanger(i, unit); ++i)
        if (unit) units.emplace(HIDesignViewerDesign::UnitName(unit).c_str(), unit);
    for (int i = 0; i < state.GetNumberOfSelectableHeatExchangers(); ++i) {
        const char* name = state.GetSelectableHeatExchangerName(i);
        lstExchangerNames.emplace_back(name ? name : "");
        double htc = kEmpty, area = kEmpty, shells = kEmpty, fouling = kEmpty;
        auto it = units.find(lstExchangerNames.back().c_str());
        if (it != units.end()) {
            it->second->getVariableAsDouble("ObservedHTC", htc);
            it->second->getVariableAsDouble("HTArea", area);
            it->second->getVariableAsDouble("NShellsInSeries", shells);
            it->second->getVariableAsDouble("HXFoulingFactor", fouling);
        }
        dBaseHTC.push_back(htc);
        dBaseArea.push_back(area);
        dBaseShells.push_back(shells);
        dBaseFouling.push_back(fouling);
    }
    for (int i = 0; i < state.GetNumberOfStreams(); ++i) {
        const char* name = state.GetStreamName(i);
        lstStreamNames.emplace_back(name ? name : "");
        dBaseMassFlow.push_back(state.GetStreamMassFlow(i));
        dBaseSupplyTemperature.push_back(state.GetStreamSupplyTemperature(i));
    }
    for (int i = 0; i < state.GetNumberOfSplitters(); ++i) {
        const char* name = state.GetSplitterName(i);
        lstTeeNames.emplace_back(name ? name : "");
    }
}

// ---- the form ----

const ViewForm<EventPlanner>& EventPlanner::Form() {
    using P = EventPlanner;
    static const ViewForm<EventPlanner> form{
        {{"PlanName.300", FormHook::Text, 1519, true, 0}, nullptr, nullptr, &P::planName, &P::renamePlan},
        {{"Tracker.301", FormHook::Text, 1519, true, 0}, nullptr, nullptr, &P::trackerText, &P::setTracker},
        {{"PlanName.400", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &P::listName, nullptr, &P::planRows},
        {{"HxName.300", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &P::listName, nullptr, &P::exchangerRows},
        {{"StrName.300", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &P::listName, nullptr, &P::streamRows},
        {{"TeeName.300", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &P::listName, nullptr, &P::teeRows},
        {{"Notes.300", FormHook::Text, 1519, true, 0}, nullptr, nullptr, &P::notes, &P::setNotes},
        {{"Notes.400", FormHook::Text, 1519, true, 0}, nullptr, nullptr, &P::notes, &P::setNotes},
        {{"OptionArray.300", FormHook::Value, 109, true, 0}, &P::setting, &P::setSetting},
        {{"HeatTransferCoeff.300", FormHook::Value, 1524, true, 1}, &P::taskValue, &P::setTaskValue, nullptr, nullptr, &P::exchangerRows},
        {{"HeatTransferCoeff.301", FormHook::Value, 1524, true, 1}, &P::taskValue, &P::setTaskValue, nullptr, nullptr, &P::exchangerRows},
        {{"HeatTransferCoeff.302", FormHook::Value, 1524, false, 1}, &P::baseValue, nullptr, nullptr, nullptr, &P::exchangerRows},
        {{"HeatTransferCoeff.303", FormHook::Value, 1524, false, 1}, &P::baseValue, nullptr, nullptr, nullptr, &P::exchangerRows},
        {{"Switch.300", FormHook::Value, 104, true, 1}, &P::taskValue, &P::setTaskValue, nullptr, nullptr, &P::exchangerRows},
        {{"Area.300", FormHook::Value, 1508, true, 1}, &P::taskValue, &P::setTaskValue, nullptr, nullptr, &P::exchangerRows},
        {{"Area.301", FormHook::Value, 1508, false, 1}, &P::baseValue, nullptr, nullptr, nullptr, &P::exchangerRows},
        {{"Index.300", FormHook::Value, 100, true, 1}, &P::taskValue, &P::setTaskValue, nullptr, nullptr, &P::exchangerRows},
        {{"Index.301", FormHook::Value, 100, false, 1}, &P::baseValue, nullptr, nullptr, nullptr, &P::exchangerRows},
        {{"Index.400", FormHook::Value, 100, true, 1}, &P::taskValue, &P::setTaskValue, nullptr, nullptr, &P::teeRows},
        {{"MassFlow.301", FormHook::Value, 4, true, 1}, &P::taskValue, &P::setTaskValue, nullptr, nullptr, &P::streamRows},
        {{"MassFlow.302", FormHook::Value, 4, false, 1}, &P::baseValue, nullptr, nullptr, nullptr, &P::streamRows},
        {{"Temperature.300", FormHook::Value, 1, true, 1}, &P::taskValue, &P::setTaskValue, nullptr, nullptr, &P::streamRows},
        {{"Temperature.301", FormHook::Value, 1, false, 1}, &P::baseValue, nullptr, nullptr, nullptr, &P::streamRows},
        {{"NofBranches.301", FormHook::Value, 100, false, 1}, &P::splitValue, nullptr, nullptr, nullptr, &P::teeRows},
        {{"SplitFraction.302", FormHook::Value, 11, false, 2}, &P::splitValue, nullptr, nullptr, nullptr, &P::branchRows},
    };
    return form;
}

void EventPlanner::LoadVariables(FormDescription& form) {
    Form().Describe(form);
    // A task's value its event could not carry out is refused as it is typed.
    for (const char* address : {"HeatTransferCoeff.300", "HeatTransferCoeff.301"}) form.SetRefusals(address, "HTCoeffUpdateError");
    form.SetRefusals("Area.300", "AreaInputError");
    form.SetRefusals("Index.300", "ShellsInputError");
    form.SetRefusals("Index.400", "CannotAcceptThisPercentValue");
    // A task's shells are a whole count; a split's flow to a branch a share of its whole.
    form.SetDomain("Index.300", CellDomain::Whole(1, kMaxShellsInSeries).RefusedWith("ShellsInputError"));
    form.SetDomain("Index.400", CellDomain::Between(0.0, 100.0)
                                    .RefusedWith("CannotAcceptThisPercentValue")
                                    .Saying("a percentage from 0 to 100 %"));
    form.SetRefusals("MassFlow.301", "FlowRateUpdateError");
    form.SetRefusals("Temperature.300", "TemperatureUpdateError");
    form.SetRefusals("PlanName.300", "NoEventSelected EventNameAlreadyUsed");
    for (const char* word : CommandWords()) form.AddCommand(word);
}

double EventPlanner::Value(const VarDescription& var) {
    double out = kEmpty;
    if (pScenario && pDesign && Form().Value(*this, var, out)) return out;
    return Viewable::Value(var);
}

int EventPlanner::Specify(const VarDescription& var, double value) {
    int result = 0;
    if (pScenario && pDesign && Form().Specify(*this, var, value, result)) return result;
    return Viewable::Specify(var, value);
}

Text EventPlanner::TextValue(const VarDescription& var) {
    Text out;
    if (pScenario && pDesign && Form().TextValue(*this, var, out)) return out;
    return Viewable::TextValue(var);
}

int EventPlanner::SpecifyText(const VarDescription& var, const Text& text) {
    int result = 0;
    if (pScenario && pDesign && Form().SpecifyText(*this, var, text, result)) return result;
    return Viewable::SpecifyText(var, text);
}

int EventPlanner::Dimensions(const VarDescription& var, DimInfo& dims) {
    int added = 0;
    if (pScenario && pDesign && Form().Dimensions(*this, var, dims, added)) return added;
    return Viewable::Dimensions(var, dims);
}

void EventPlanner::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    const ViewForm<EventPlanner>::Row* row = pScenario && pDesign ? Form().Find(var) : nullptr;
    if (row && !row->info.editable) {
        state = ReadOnlyState;
        return;
    }
    if (row && var.Type() == 1524 && var.Number() == 300) {
        state = ModifiableState;
        return;
    }
    Viewable::VariableStatus(var, state, detail);
}

// ---- plans ----

Text EventPlanner::planName(const VarDescription&) { return pSelectedPlan ? pSelectedPlan->name : Text(); }

int EventPlanner::renamePlan(const VarDescription&, const Text& name) {
    // Without a plan there is nothing to rename: that is said, not that the name is taken.
    if (!pSelectedPlan) {
        ErrorMsg("NoEventSelected");
        return 0;
    }
    bool taken = false;
    for (const auto& plan : lstPlans) taken = taken || plan->name == name;
    if (taken) {
        ErrorMsg("EventNameAlreadyUsed", name);
        return 0;
    }
    pSelectedPlan->name = name;
    strTracker = name;
    return 1;
}

Text EventPlanner::trackerText(const VarDescription&) { return pSelectedPlan ? pSelectedPlan->name : Text(); }

int EventPlanner::setTracker(const VarDescription&, const Text& text) {
    strTracker = text;
    SelectTracked();
    return 1;
}

Text EventPlanner::listName(const VarDescription& var) {
    const int i = var.Offset(0);
    if (var.VariableIs("PlanName"))
        return i >= 0 && i < static_cast<int>(lstPlans.size()) ? lstPlans[static_cast<std::size_t>(i)]->name : Text();
    if (var.VariableIs("HxName")) return at(lstExchangerNames, i);
    if (var.VariableIs("StrName")) return at(lstStreamNames, i);
    return at(lstTeeNames, i);
}

Text EventPlanner::notes(const VarDescription& var) {
    if (var.Number() == 400) return strFileNotes;
    return pSelectedPlan ? pSelectedPlan->notes : Text();
}

int EventPlanner::setNotes(const VarDescription& var, const Text& text) {
    if (var.Number() == 400) strFileNotes = text;
    else if (pSelectedPlan) pSelectedPlan->notes = text;
    else return 0;
    return 1;
}

double EventPlanner::setting(const VarDescription&) { return nPlannerSetting; }

int EventPlanner::setSetting(const VarDescription&, double value) {
    nPlannerSetting = static_cast<int>(value);
    return 1;
}

namespace {
const std::vector<Text>& unitsOf(const TaskAddress& task, const std::vector<Text>& exchangers,
                                 const std::vector<Text>& streams, const std::vector<Text>& tees) {
    return task.rows == Rows::Exchangers ? exchangers : task.rows == Rows::Streams ? streams : tees;
}
}  // namespace

double EventPlanner::taskValue(const VarDescription& var) {
    const TaskAddress* task = findTask(var);
    if (!task || !pSelectedPlan) return kEmpty;
    const Text unit = at(unitsOf(*task, lstExchangerNames, lstStreamNames, lstTeeNames), var.Offset(0));
    const EventTask* found = unit.empty() ? nullptr : pSelectedPlan->FindTask(task->keyword, unit);
    return found ? found->newValue : kEmpty;
}

int EventPlanner::setTaskValue(const VarDescription& var, double value) {
    const TaskAddress* task = findTask(var);
    if (!task || !pSelectedPlan) return 0;
    const Text unit = at(unitsOf(*task, lstExchangerNames, lstStreamNames, lstTeeNames), var.Offset(0));
    if (unit.empty()) return 0;
    const bool removal = Text(task->keyword) == "Remove";
    // The empty value takes a task away, and so does 0 for a removal (the switch turned off).
    const bool remove = value == kEmpty || (removal && value == 0.0);
    // The one domain the event itself would take, the stream's own target included: a value the
    // run would refuse is refused as it is typed.
    if (const char* refused = remove ? nullptr : event_tasks::Refusal(task->keyword, unit, value, pDesign)) {
        const event_tasks::Keyword* k = event_tasks::Find(task->keyword);
        event_tasks::ShowValueRefusal(refused, k ? k->variable : nullptr, value, pDesign, unit.c_str());
        return 0;
    }
    pSelectedPlan->SetTask(task->keyword, unit, value, event_tasks::CalculationUnit(task->keyword), remove);
    return 1;
}

double EventPlanner::baseValue(const VarDescription& var) {
    const int i = var.Offset(0);
    switch (var.Type() * 1000 + var.Number()) {
        case 1524302: return at(dBaseHTC, i);
        case 1524303: return at(dBaseFouling, i);
        case 1508301: return at(dBaseArea, i);
        case 100301: return at(dBaseShells, i);
        case 4302: return at(dBaseMassFlow, i);
        case 1301: return at(dBaseSupplyTemperature, i);
        default: return kEmpty;
    }
}

double EventPlanner::splitValue(const VarDescription& var) {
    IHENState* state = pDesign->GetDefaultState();
    const int i = var.Offset(0);
    if (!state || i < 0 || i >= state->GetNumberOfSplitters()) return kEmpty;
    if (var.VariableIs("NofBranches")) return state->GetNumberOfBranches(i);
    const int j = var.Offset(1);
    if (j < 0 || j >= state->GetNumberOfBranches(i)) return kEmpty;
    return state->GetBranchFraction(i, j);
}

int EventPlanner::planRows(const VarDescription&, DimInfo& dims) { return addRows(dims, lstPlans.size()); }
int EventPlanner::exchangerRows(const VarDescription&, DimInfo& dims) { return addRows(dims, lstExchangerNames.size()); }
int EventPlanner::streamRows(const VarDescription&, DimInfo& dims) { return addRows(dims, lstStreamNames.size()); }
int EventPlanner::teeRows(const VarDescription&, DimInfo& dims) { return addRows(dims, lstTeeNames.size()); }

int EventPlanner::branchRows(const VarDescription& var, DimInfo& dims) {
    IHENState* state = pDesign->GetDefaultState();
    const int i = var.Offset(0);
    dims.AddDim(static_cast<int>(lstTeeNames.size()));
    dims.AddDim(state && i >= 0 && i < state->GetNumberOfSplitters() ? state->GetNumberOfBranches(i) : 0);
    return 2;
}
