// The design viewer's numbers about the network as a whole: its sub-networks, loops, paths and
// control selections, the optimiser's pre-check, the operating schedules, the switches of the
// exchanger lists (area minimum, utility ports, placement against the pinch), the states shown
// as cell colours or icons, and the figures the owning scenario viewer answers for the design.
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/Resources.h"
#include "pellin/HeatExch.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/DesignValueRows.h"
#include "views/grid/HENDiagram.h"

namespace {

using V = HIDesignViewerDesign;
using Row = HIDesignViewerDesign::ValueRow;
using L = Row::List;
using Var = const VarDescription&;
constexpr double kEmpty = Viewable::EmptyValue;
// The colour table's good and doubtful cells (0 is black).
constexpr double kGood = 46.0, kDoubtful = 45.0;

double flag(bool b) { return b ? 1.0 : 0.0; }
double rowNumber(V&, Var var) { return var.Offset(0) + 1.0; }

bool areaAtMinimum(const CNode& u) {
    long minimum = 0;
    return u.getVariableAsInteger("AreaMinimum", minimum) && minimum == 1;
}

int statusOf(const CNode* node, const char* name) {
    return node && node->hasVariable(name) ? node->getVariableStatus(name) : -1;
}

// A utility port of an exchanger: 0.0 while a heater or cooler sits there; 1.0 when the port is
// free and a utility may be both added and removed there; empty when it is free but fixed.
double utilityPort(V& v, CNode& u, int port) {
    IHENDesign& d = *v.GetDesign();
    if (!d.IsPortFreeOfUtility(&u, port)) return 0.0;
    return d.CanAddUtilityAtPort(&u, port) && d.CanRemoveUtilityAtPort(&u, port) ? 1.0 : kEmpty;
}

// Where a utility exchanger stands against the pinch; a condenser-reboiler has no answer.
double placement(V& v, CNode& u, int test) {
    HeatExch* hx = AsHeatExch(&u);
    if (!hx || hx->IsCondReb()) return kEmpty;
    switch (test) {
        case 0: return flag(v.IsCoolerAboveHotPinch(&u));
        case 1: return flag(v.IsCoolerBelowColdPinch(&u));
        case 2: return flag(v.IsHeaterAboveHotPinch(&u));
        default: return flag(v.IsHeaterBelowColdPinch(&u));
    }
}

CPString currentSchedule(const IHENDesign& d) {
    const char* name = d.GetCurrentScheduleName();
    return CPString(name ? name : "");
}

// The colour of the operating mode's cell: how the executed schedule (or else the operating
// state) solved; only while the operation is locked.
double operationColour(V& v, Var) {
    IHENDesign& d = *v.GetDesign();
    if (!d.GetOperationLocked()) return kEmpty;
    const char* executed = d.GetExecutedScheduleName();
    if (executed && *executed) {
        switch (d.GetScheduleSolutionStatus(CPString(executed))) {
            case 0: return kDoubtful;
            case 1: return kGood;
            case 2: return 0.0;
            default: return design_rows::FormBackground();
        }
    }
    switch (d.GetOperatingStateStatus()) {
        case 1: return kGood;
        case 2: return 0.0;
        default: return design_rows::FormBackground();
    }
}

double icon(const char* name) {
    IconResource found;
    const ResourceRegistry* resources = ResourceRegistry::Current();
    return resources && resources->FindIcon(name, found) ? double(found.id) : kEmpty;
}

// What the owning scenario viewer answers for the same variable; empty without one.
double fromScenarioViewer(V& v, Var var) {
    Viewable* owner = v.GetOwningScenarioViewer();
    return owner ? owner->Value(var) : kEmpty;
}

double filteredIndexRead(V& v, Var var, double (*read)(IHENDesign&, int)) {
    const int i = v.GetFilteredExchangerIndex(var.Offset(0));
    CNode* unit = nullptr;
    return i >= 0 && v.GetDesign()->GetHeatExchanger(i, unit) && unit ? read(*v.GetDesign(), i) : kEmpty;
}

}  // namespace

namespace design_rows {

void AddNetworkRows(Rows& rows) {
    const std::vector<Row> more = {
        // the current what-if event
        {.type = 1519, .number = 357, .read = [](V& v, Var) { return v.GetDesign()->GetCurrentEventBaseValue(); }},
        {.type = 1519, .number = 358, .read = [](V& v, Var) { return v.GetDesign()->GetCurrentEventNewValue(); }},
        // An exchanger that burns its fuel has no stream on its hot side to size it against.
        {.type = 1519, .number = 610, .list = L::Direct, .unitRead = [](V&, CNode& u, Var) {
             HeatExch* hx = AsHeatExch(&u);
             return flag(hx && hx->IsFiredHeater());
         }},
        {.type = 1519, .number = 858, .read = [](V& v, Var) {
             IHENDesign& d = *v.GetDesign();
             for (int i = 0; i < d.GetNumberOfHeatExchangers(); ++i) {
                 CNode* unit = nullptr;
                 if (d.GetHeatExchanger(i, unit) && unit && V::UnitName(unit) == v.strExchangerSearchName) return double(i);
             }
             return -1.0;
         }},
        // sub-networks, loops, paths and control selections
        {.type = 1519, .number = 901, .read = [](V& v, Var) { return double(v.GetDesign()->GetNumberOfSubNetworks()); }},
        {.type = 1519, .number = 902, .read = rowNumber, .dims = 1},
        {.type = 1519, .number = 906, .read = rowNumber, .dims = 1},
        {.type = 1519, .number = 908, .read = rowNumber, .dims = 1},
        {.type = 1519, .number = 957, .read = rowNumber, .dims = 1},
        {.type = 1519, .number = 904, .read = [](V& v, Var) { return double(v.GetDesign()->GetNumberOfIndependentLoops()); }},
        {.type = 1519, .number = 955, .read = [](V& v, Var) { return double(v.GetDesign()->GetNumberOfIndependentLoops()); }},
        {.type = 1519, .number = 905, .read = [](V& v, Var) { return double(v.GetDesign()->GetNumberOfLoops()); }},
        {.type = 1519, .number = 953, .read = [](V& v, Var) { return double(v.GetDesign()->GetNumberOfNetworkUnits()); }},
        {.type = 1519, .number = 954, .read = [](V& v, Var) { return double(v.GetDesign()->GetNumberOfControlSelections()); }},
        {.type = 1519, .number = 956, .read = [](V& v, Var) { return double(v.GetDesign()->GetRemainingControlFreedom()); }},
        {.type = 1519, .number = 958, .read = [](V& v, Var var) { return double(v.GetDesign()->GetSubNetworkNumberOfUnits(var.Offset(0))); }, .dims = 1},
        {.type = 1519, .number = 959, .read = [](V& v, Var var) { return double(v.GetDesign()->GetSubNetworkNumberOfControlSelections(var.Offset(0))); }, .dims = 1},
        {.type = 1519, .number = 960, .read = [](V& v, Var var) { return double(v.GetDesign()->GetSubNetworkNumberOfLoops(var.Offset(0))); }, .dims = 1},
        {.type = 1519, .number = 961, .read = [](V& v, Var var) { return double(v.GetDesign()->GetSubNetworkRemainingControlFreedom(var.Offset(0))); }, .dims = 1},
        {.type = 1519, .number = 1032, .read = [](V& v, Var) { return double(v.GetDesign()->GetDegreesOfFreedom()); }},
        {.type = 104, .number = 229, .read = [](V& v, Var) { return flag(v.GetDesign()->IsLoopAnalysisEnabled()); }},
        {.type = 104, .number = 305, .read = [](V& v, Var var) {
             return filteredIndexRead(v, var, [](IHENDesign& d, int i) { return flag(d.IsHeatExchangerOnPathOrLoop(i) == 1); });
         }, .dims = 1},
        {.type = 104, .number = 913, .read = [](V& v, Var var) { return double(v.GetDesign()->GetAnalysisStreamFlag(var.Offset(0))); }, .dims = 1},
        {.type = 104, .number = 952, .read = [](V& v, Var var) { return flag(v.GetDesign()->IsControlUnitSelected(var.Offset(0))); }, .dims = 1},
        {.type = 105, .number = 991, .read = [](V& v, Var var) { return double(v.GetDesign()->GetControlUnitKind(var.Offset(0))); }, .dims = 1},
        // the optimiser's options and its pre-check
        {.type = 104, .number = 982, .read = [](V& v, Var) { return flag(v.GetDesign()->GetOptimizeExchangerDuties()); }},
        {.type = 104, .number = 1020, .read = [](V& v, Var) { return flag(v.GetDesign()->GetOptimizeExchangerDuties()); }},
        {.type = 104, .number = 983, .read = [](V& v, Var) { return flag(v.GetDesign()->GetOptimizeSplitFractions()); }},
        {.type = 104, .number = 1021, .read = [](V& v, Var) { return flag(v.GetDesign()->GetOptimizeSplitFractions()); }},
        {.type = 104, .number = 992, .read = [](V& v, Var) { return flag(v.GetDesign()->GetOptimizerOptionFlag()); }},
        {.type = 104, .number = 1001, .read = [](V& v, Var) { return flag(v.GetDesign()->IsOptimizerCheckDegreesOfFreedomOK()); }},
        {.type = 104, .number = 1002, .read = [](V& v, Var) { return flag(v.GetDesign()->IsOptimizerCheckFeasibilityOK()); }},
        {.type = 104, .number = 1003, .read = [](V& v, Var) { return flag(v.GetDesign()->IsOptimizerCheckUntiedStreamsOK()); }},
        {.type = 104, .number = 1004, .read = [](V& v, Var) { return flag(v.GetDesign()->IsOptimizerCheckTemperatureSpecsOK()); }},
        {.type = 104, .number = 1005, .read = [](V& v, Var) { return flag(v.GetDesign()->IsOptimizerCheckOptionsOK()); }},
        {.type = 104, .number = 1012, .read = [](V& v, Var var) { return flag(v.GetDesign()->IsOptimizerCheckUntiedPort0Free(var.Offset(0))); }, .dims = 1},
        {.type = 104, .number = 1013, .read = [](V& v, Var var) { return flag(v.GetDesign()->IsOptimizerCheckUntiedPort1Free(var.Offset(0))); }, .dims = 1},
        {.type = 104, .number = 1014, .read = [](V& v, Var var) { return flag(v.GetDesign()->IsOptimizerCheckUntiedPort2Free(var.Offset(0))); }, .dims = 1},
        {.type = 104, .number = 1015, .read = [](V& v, Var var) { return flag(v.GetDesign()->IsOptimizerCheckUntiedPort3Free(var.Offset(0))); }, .dims = 1},
        {.type = 104, .number = 1031, .read = [](V& v, Var) { return double(v.GetDesign()->CanOptimizerRun()); }},
        {.type = 100, .number = 1030, .read = [](V& v, Var) {
             switch (v.GetDesign()->GetOptimizerCheckSeverity()) {
                 case 0: return kGood;
                 case 1: return kDoubtful;
                 case 2: return 0.0;
                 default: return kEmpty;
             }
         }},
        // operation lock and schedules
        // A locked network is not locked again.
        {.type = 104, .number = 222, .read = [](V& v, Var) {
             return flag(!v.GetDesign()->GetOperationLocked() && v.GetDesign()->CheckOperationLockable() == 3);
         }},
        {.type = 104, .number = 1100, .read = [](V& v, Var) {
             switch (v.GetDesign()->CheckOperationLockable()) {
                 case 1: case 2: case 3: case 11: case 21: case 42: return 1.0;
                 default: return 0.0;
             }
         }},
        {.type = 104, .number = 361, .read = [](V& v, Var) { return flag(v.GetDesign()->GetCurrentScheduleName() != nullptr); }},
        {.type = 104, .number = 364, .read = [](V& v, Var) { return flag(v.GetDesign()->GetNumberOfScheduleEvents() > 0); }},
        {.type = 104, .number = 366, .read = [](V& v, Var) { return flag(v.GetDesign()->CanExecuteSchedule(currentSchedule(*v.GetDesign()))); }},
        {.type = 104, .number = 367, .read = [](V& v, Var) { return double(v.GetDesign()->GetScheduleSolutionStatus(currentSchedule(*v.GetDesign()))); }},
        {.type = 100, .number = 231, .read = operationColour},
        {.type = 100, .number = 300, .read = [](V& v, Var) {
             const Viewable* item = v.GetSelectedItemView();
             if (!item) return kEmpty;
             if (item->IsA("ScheduleTypeViewObject")) return 0.0;
             if (item->IsA("ScheduleItemViewObject")) return 1.0;
             return item->IsA("EventItemViewObject") ? 2.0 : kEmpty;
         }},
        // exchanger-list switches
        {.type = 104, .number = 221, .list = L::Direct, .unitRead = [](V&, CNode& u, Var) { return flag(!areaAtMinimum(u)); }},
        {.type = 104, .number = 315, .list = L::Direct, .unitRead = [](V&, CNode& u, Var) { return flag(areaAtMinimum(u)); }},
        {.type = 104, .number = 317, .list = L::Filtered, .unitRead = [](V&, CNode& u, Var) { return flag(areaAtMinimum(u)); }},
        {.type = 104, .number = 306, .list = L::AreaSpecified, .unitRead = [](V&, CNode& u, Var) {
             return double(V::GetUtilitySide(design_rows::Port(&u, 0, false), design_rows::Port(&u, 1, false)));
         }},
        {.type = 104, .number = 318, .list = L::UnconfiguredCooler, .unitRead = [](V&, CNode& u, Var) { return flag(statusOf(&u, "Duty") == 2); }},
        {.type = 104, .number = 319, .list = L::UnconfiguredHeater, .unitRead = [](V&, CNode& u, Var) { return flag(statusOf(&u, "Duty") == 2); }},
        {.type = 104, .number = 355, .list = L::UnconfiguredCooler, .unitRead = [](V&, CNode& u, Var) {
             return flag(statusOf(design_rows::Port(&u, 0, true), "Temperature") == 2);
         }},
        {.type = 104, .number = 356, .list = L::UnconfiguredHeater, .unitRead = [](V&, CNode& u, Var) {
             return flag(statusOf(design_rows::Port(&u, 1, true), "Temperature") == 2);
         }},
        {.type = 104, .number = 351, .list = L::Filtered, .unitRead = [](V& v, CNode& u, Var) { return utilityPort(v, u, 2); }},
        {.type = 104, .number = 352, .list = L::Filtered, .unitRead = [](V& v, CNode& u, Var) { return utilityPort(v, u, 3); }},
        {.type = 104, .number = 353, .list = L::Filtered, .unitRead = [](V& v, CNode& u, Var) { return utilityPort(v, u, 0); }},
        {.type = 104, .number = 354, .list = L::Filtered, .unitRead = [](V& v, CNode& u, Var) { return utilityPort(v, u, 1); }},
        {.type = 104, .number = 423, .list = L::Filtered, .unitRead = [](V&, CNode& u, Var) {
             HeatExch* hx = AsHeatExch(&u);
             const int status = hx ? hx->getStatus() : -1;
             return status == 3 ? 1.0 : status == 2 || status == 4 || status == 6 ? 0.0 : kEmpty;
         }},
        {.type = 104, .number = 594, .read = [](V& v, Var var) { return flag(v.HasCondenserReboilerPartnerAcrossPinch(var.Offset(0))); }, .dims = 1},
        {.type = 104, .number = 595, .list = L::Filtered, .unitRead = [](V& v, CNode& u, Var) { return placement(v, u, 0); }},
        {.type = 104, .number = 596, .list = L::Filtered, .unitRead = [](V& v, CNode& u, Var) { return placement(v, u, 1); }},
        {.type = 104, .number = 597, .list = L::Filtered, .unitRead = [](V& v, CNode& u, Var) { return placement(v, u, 2); }},
        {.type = 104, .number = 598, .list = L::Filtered, .unitRead = [](V& v, CNode& u, Var) { return placement(v, u, 3); }},
        // Whether the overall coefficient is the simulator's (599) or given by the user (600).
        {.type = 104, .number = 599, .list = L::Filtered, .unitRead = [](V&, CNode& u, Var) {
             HeatExch* hx = AsHeatExch(&u);
             return hx ? flag(hx->GetSimOverallUSpec()) : kEmpty;
         }},
        {.type = 104, .number = 600, .list = L::Filtered, .unitRead = [](V&, CNode& u, Var) {
             HeatExch* hx = AsHeatExch(&u);
             return hx ? flag(hx->GetOverallUSpec()) : kEmpty;
         }},
        {.type = 104, .number = 601, .list = L::Direct, .value = "ExchangerIsOffLine"},
        {.type = 104, .number = 703, .list = L::OnStream, .unitRead = [](V&, CNode& u, Var) {
             HeatExch* hx = AsHeatExch(&u);
             return hx && hx->getStatus() == 3 ? 1.0 : kEmpty;
         }},
        {.type = 104, .number = 705, .list = L::OnStream, .unitRead = [](V&, CNode& u, Var) {
             return double(V::GetUtilitySide(design_rows::Port(&u, 0, false), design_rows::Port(&u, 1, false)));
         }},
        // states
        {.type = 100, .number = 100, .read = [](V& v, Var) {
             return flag(v.GetScenario() && v.GetScenario()->GetUtilityAssignmentMethod() == 0);
         }},
        {.type = 100, .number = 431, .read = [](V& v, Var) { return double(v.GetDesign()->GetScenarioLockState()); }},
        {.type = 100, .number = 1000, .read = [](V& v, Var) { return flag(v.GetDesign()->GetScenarioLockState() == 0); }},
        {.type = 100, .number = 690, .read = [](V& v, Var) { return double(v.GetDesign()->GetNumberOfCrossPinchLoads()); }},
        {.type = 100, .number = 705, .read = [](V& v, Var) {
             return v.GetDesign()->IsDesignComplete() ? kGood : design_rows::FormBackground();
         }},
        // The grid diagram's pinch layout and flow direction as one number.
        {.type = 100, .number = 430, .read = [](V& v, Var) {
             const HENDiagram* diagram = v.GetGridDiagram();
             if (!diagram) return 1.0;
             const bool pinch = v.GetPinchDiagram() != 0;
             return diagram->reverseDirection ? (pinch ? 4.0 : 2.0) : (pinch ? 3.0 : 1.0);
         }},
        // figures the owning scenario viewer answers
        {.type = 6, .number = 107, .read = fromScenarioViewer},
        {.type = 6, .number = 108, .read = fromScenarioViewer},
        {.type = 1508, .number = 201, .read = fromScenarioViewer},
        {.name = "GlMinUnit", .number = 200, .read = fromScenarioViewer},
        {.name = "ObjectStatus", .number = 200, .read = [](V& v, Var) {
             if (v.GetDesign()->GetScenarioLockState() == 1) return icon("RetrofitBaseCaseIco");
             return icon(v.GetDesign()->IsDesignComplete() ? "StatusOKIco" : "StatusWarningIco");
         }},
    };
    rows.insert(rows.end(), more.begin(), more.end());
}

}  // namespace design_rows
