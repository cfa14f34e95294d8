// English texts of the design forms' status and summary lines. The keys stay what the forms and
// the tests compare; a format's conversions are the ones the design viewer fills in (two
// integers, a name, or an amount).
#include "lumeth/DesignViewerMessages.h"

namespace {
const MessageText kTexts[] = {
    // The sides of an exchanger, before the stream's name.
    {"HotStream", "Hot stream"},
    {"ColdStream", "Cold stream"},
    // An exchanger's calculation status.
    {"StatusUnderSpecified", "Under-specified"},
    {"StatusOverSpecified", "Over-specified"},
    {"StatusOK", "OK"},
    {"StatusInfeasible", "Infeasible"},
    {"StatusFailedCalc", "Calculation failed"},
    {"StatusPartialCalc", "Partly calculated"},
    {"StatusStreamUnderSpecified", "Stream under-specified"},
    {"STUnknown", "Unknown"},
    // The network's summary line.
    {"DoF", "Degrees of freedom:"},
    {"HXNotCalculated", "%d exchangers not calculated, %d failed"},
    {"NotSatisfiedSingular", "Stream not satisfied: "},
    {"NotSatisfiedPlural", "Streams not satisfied: "},
    // The operating mode.
    {"LastScheduleExecuted", "Last schedule executed: %s"},
    {"DefaultState", "Default operating state"},
    {"HENCalculaterStatus", "Calculation status: "},
    {"NotExecuted", "Not executed"},
    {"Converged", "Converged"},
    {"NotConverged", "Not converged"},
    {"ExecutedandConverged", "Executed and converged"},
    {"ExecutedbutNotConverged", "Executed but not converged"},
    // The exchanger view: its port temperatures (a converted value and its unit) and its statuses.
    {"HotInletTemperatureText", "Hot inlet %.2f %s"},
    {"HotOutletTemperatureText", "Hot outlet %.2f %s"},
    {"ColdInletTemperatureText", "Cold inlet %.2f %s"},
    {"ColdOutletTemperatureText", "Cold outlet %.2f %s"},
    {"HotInletTemperatureUndefined", "Hot inlet not known"},
    {"HotOutletTemperatureUndefined", "Hot outlet not known"},
    {"ColdInletTemperatureUndefined", "Cold inlet not known"},
    {"ColdOutletTemperatureUndefined", "Cold outlet not known"},
    {"StreamUnderSpecified", "A stream of the exchanger is under-specified"},
    {"StreamSplitFractionNotDefined", "A split fraction on the exchanger's streams is not given"},
    {"DefEmptyText", "---"},
    {"HXTemperatureCross", "the temperatures cross"},
    // The retrofit's feasibility.
    // The capital as an amount, or the payback with its unit ("8.97 years").
    {"FeasiblityCheckCost", "Retrofit capital cost or payback: %s"},
    {"SmallInvestment", "The retrofit costs more than the investment limit of %.2f."},
    {"NegativePayback", "The retrofit does not pay back."},
    {"IncreaseMaxiumInvestment", "Raise the investment limit to allow a larger retrofit."},
    {"RetrofitFromNewScenario", "Retrofit in a new scenario"},
    {"RetrofitFromExistScenario", "Retrofit in this scenario"},
    // Long operations of the design viewer and its questions.
    {"EnteringOpMode", "Entering operating mode..."},
    {"SearchingForUtilHX", "Searching for retrofit modifications..."},
    {"DutySpecifiedUtilityExchangers", "Some utility exchangers have their duty specified. Reconcile anyway?"},
    {"CannotExecuteSchedule", "The schedule %s cannot be executed: it holds no event, or it is solved and its "
                              "results stand until one of its events changes."},
    {"OperationNotLocked",
     "The network is not locked for operation: schedules and studies are made, run and reset on a locked network "
     "only; lock the operation first."},
    {"ExchangerNotDeletedInOperation",
     "The unit cannot be deleted: the network is locked for operation and keeps its units. Unlock the operation first:"},
    {"ExchangerNotDeletedRetrofitBase",
     "The unit cannot be deleted: it belongs to the retrofit's base network, which every retrofit design is compared "
     "with:"},
    {"ExchangerNotDeleted", "The unit could not be deleted from the network:"},
    {"NoOperationToModify",
     "The network is not locked for operation: there is no operating state to solve or modify; lock the operation first."},
    {"NoSplitToOptimise", "The network splits no stream: there are no branch shares to optimise."},
    {"NoRetrofitDesignToDelete", "No design made by the last retrofit run is there to delete."},
    {"RetrofitBaseNotCalculated",
     "The network cannot be the base of a retrofit: it does not calculate (%s), so its utilities are no answer to improve on."},
    {"OperationLockedAlready",
     "The network is locked for operation already: locking it again would freeze the operated network as if it were "
     "the design; unlock the operation first."},
    {"NoScheduleSelected", "No schedule is selected: add a schedule or select one first."},
    {"NoScheduleEventSelected", "No event of a schedule is selected: select the event first."},
    // Reconciliation of a locked network with measured temperatures.
    {"ReconcileNeedsLock", "Reconciliation fits the exchangers of a network locked for operation: lock the operation first."},
    {"ReconcileNothingToFit", "No outlet of an exchanger of frozen area is measured: nothing was reconciled."},
    {"ReconcileAlreadyMet", "The network meets every measured temperature: nothing was changed."},
    {"ReconcileFailed",
     "No heat-transfer coefficients the measured exchangers can have reproduce the measured temperatures: the "
     "network is left as it was."},
    // A what-if run (a schedule, an event plan's schedule, a study) whose events the streams cannot
    // take as they now are, or whose solution no heater, cooler or utility can run at: named with
    // the run, the event or unit, and what it breaks.
    {"WhatIfRunRefused",
     "The what-if was not run, or its results were not kept as solved: %s."},
    // A what-if event added to a schedule.
    {"EventAddFailed",
     "The event was not added: the selected unit or stream is not one the design has, or cannot take an event of "
     "this kind."},
    // A schedule, and each time point of a study, holds one flow change of a stream; the
    // throughput change names every stream it could not change, and changes none of them.
    {"StreamsHaveFlowChange",
     "No second flow change was taken for %s: a schedule, and each time point of a study, holds one flow change "
     "of a stream."},
    // The event planner and its plan files.
    {"NoEventSelected", "Select an event plan first."},
    {"EventNameAlreadyUsed", "The event plan name %s is already used."},
    {"EventNameEmpty", "An event plan needs a name."},
    {"StudyNameEmpty", "A study needs a name."},
    {"EventNameFromXMLAlreadyInUse", "A schedule named %s exists already; its events were not added."},
    {"InternalErrorInAddEventFromXML", "The schedule %s could not be made."},
    {"MSXMLError", "The event plan file could not be read or written: %s"},
    {"EventTaskValueRefused", "Event plan %s: the task %s on %s was not applied: %s"},
    {"EventTaskUnitUnknown",
     "Event plan %s: the task %s on %s was not applied: the design has no unit or stream of that name that it can act on."},
    {"EventTaskNotApplied",
     "Event plan %s: the task %s on %s is not what the schedule runs: the schedule %s was made before, and only "
     "the values of the events it has follow the plan."},
    {"ExportEventPlanTitle", "Save event plans"},
    {"ImportEventPlanTitle", "Open event plans"},
    {"EventFileTitle", "Event plan files"},
    // Which exchangers a list shows.
    {"All", "All exchangers"},
    {"ProcessProcess", "Process to process"},
    {"ProcessHotUtility", "Process to hot utility"},
    {"ProcessColdUtility", "Process to cold utility"},
    // An exchanger's utility switches, where the port does not take the change.
    {"UtilityCannotBeAddedAtPort",
     "A heater or cooler cannot be placed at this port: the network is locked, the port is on a utility stream, "
     "or its segment runs into a splitter or mixer."},
    {"UtilityCannotBeRemovedAtPort",
     "The heater or cooler at this port cannot be taken away: the network is locked, the port is on a utility "
     "stream, or the network would be over-specified without it."},
};
}  // namespace

const MessageText* DesignViewerMessageTexts(std::size_t& count) {
    count = sizeof kTexts / sizeof kTexts[0];
    return kTexts;
}
