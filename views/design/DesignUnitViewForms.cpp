// The form listings of the exchanger, splitter and state views: every variable their forms may
// address (address, hook, kind of quantity, whether the user may write it, dimensions), the
// command words, and the keys a write may be refused with.
#include "views/design/HENStateView.h"
#include "views/design/HeatExchangerView.h"
#include "views/design/SplitterView.h"

#include "pellin/FFactor.h"

namespace {

using H = FormHook;

void add(FormDescription& form, std::initializer_list<FormVariable> rows) {
    for (const FormVariable& row : rows) form.Add(row);
}

}  // namespace

void HeatExchangerView::LoadVariables(FormDescription& form) {
    add(form, {
        {"Index.500", H::Value, 100, false, 0}, {"Index.201", H::Value, 100, false, 0},
        {"Index.222", H::Value, 100, false, 0}, {"Switch.222", H::Value, 104, false, 0},
        {"Switch.790", H::Value, 104, true, 0}, {"Switch.291", H::Value, 104, true, 0},
        {"Switch.292", H::Value, 104, true, 0}, {"Switch.293", H::Value, 104, true, 0},
        {"Switch.294", H::Value, 104, true, 0}, {"Switch.751", H::Value, 104, false, 0},
        {"Switch.752", H::Value, 104, false, 0}, {"Switch.753", H::Value, 104, false, 0},
        {"Switch.754", H::Value, 104, false, 0}, {"Switch.295", H::Value, 104, false, 0},
        {"Switch.296", H::Value, 104, false, 0}, {"Switch.570", H::Value, 104, false, 1},
        {"Switch.781", H::Value, 104, false, 0}, {"Switch.782", H::Value, 104, false, 0},
        {"Switch.783", H::Value, 104, false, 0}, {"Switch.784", H::Value, 104, false, 0},
        {"Switch.765", H::Value, 104, false, 1}, {"Switch.701", H::Value, 104, true, 0},
        {"Switch.702", H::Value, 104, true, 0}, {"HeatFlow.200", H::Value, 6, true, 0},
        {"HeatFlow.763", H::Value, 6, false, 0}, {"HeatFlow.201", H::Value, 6, true, 0},
        {"HeatFlow.210", H::Value, 6, false, 1}, {"HeatFlow.211", H::Value, 6, false, 1},
        {"HeatFlow.250", H::Value, 6, false, 1}, {"HeatFlow.570", H::Value, 6, false, 1},
        {"HeatFlow.572", H::Value, 6, false, 1}, {"HeatFlow.765", H::Value, 6, false, 1},
        {"DeltaTemp.100", H::Value, 1517, false, 0}, {"DeltaTemp.101", H::Value, 1517, false, 0},
        {"DeltaTemp.702", H::Value, 1517, false, 0}, {"Area.200", H::Value, 1508, true, 0},
        {"Area.201", H::Value, 1508, true, 0}, {"Fouling.200", H::Value, 4101, true, 0},
        {"HeatTransferCoeff.701", H::Value, 1524, false, 0}, {"ExtraData.700", H::Value, 1519, false, 0},
        {"ExtraData.701", H::Value, 1519, true, 1}, {"ExtraData.215", H::Value, 1519, false, 1},
        {"ExtraData.771", H::Value, 1519, false, 0}, {"ExtraData.772", H::Value, 1519, false, 0},
        {"ExtraData.773", H::Value, 1519, false, 0}, {"ExtraData.774", H::Value, 1519, false, 0},
        {"ExtraData.775", H::Value, 1519, false, 0}, {"Cost.215", H::Value, 31000, false, 1},
        {"CostPerTime.701", H::Value, 31001, false, 0}, {"Temperature.200", H::Value, 1, false, 1},
        {"Temperature.201", H::Value, 1, false, 1}, {"Temperature.751", H::Value, 1, true, 0, true},
        {"Temperature.752", H::Value, 1, true, 0, true}, {"Temperature.753", H::Value, 1, true, 0, true},
        {"Temperature.754", H::Value, 1, true, 0, true}, {"Temperature.755", H::Value, 1, true, 0},
        {"Temperature.756", H::Value, 1, true, 0}, {"Temperature.757", H::Value, 1, true, 0},
        {"Temperature.758", H::Value, 1, true, 0}, {"Temperature.759", H::Value, 1, true, 0},
        {"Temperature.760", H::Value, 1, true, 0}, {"Temperature.761", H::Value, 1, true, 0},
        {"Temperature.762", H::Value, 1, true, 0}, {"Temperature.763", H::Value, 1, false, 1},
        {"Temperature.764", H::Value, 1, false, 1}, {"Temperature.765", H::Value, 1, false, 1},
        {"Temperature.766", H::Value, 1, false, 1}, {"Temperature.570", H::Value, 1, false, 1},
        {"Temperature.571", H::Value, 1, false, 1}, {"Temperature.572", H::Value, 1, false, 1},
        {"Temperature.573", H::Value, 1, false, 1},
    });
    for (int n : {200, 201, 202, 222, 223, 500, 570, 740, 741, 742, 743, 744, 745, 765, 781, 782, 783, 784, 791, 792,
                  793, 794})
        form.Add({FormattedText("ExtraData.%d", n), H::Text, 1519, false, n == 570 || n == 765 ? 1 : 0});
    form.Add({"ExtraData.205", H::Text, 1519, true, 0});
    form.Add({"ExtraData.770", H::Text, 1519, true, 0});
    form.Add({"TwoDimPlotNTW.299", H::Object, -1, false, 0});
    form.AddCommand("DeleteHeatExchanger");
    // Each cell is held to its state and to the range of its kind as well as to its own checks.
    form.SetRefusals("Area.200", "AreaInputError CannotSpecifyAreaForUtilExchanger HTCoeffUpdateError2 ReadOnlyCell SpecRange");
    form.SetRefusals("Area.201", "ShellsInputError ReadOnlyCell SpecRange");
    for (const char* name : {"Switch.291", "Switch.292", "Switch.293", "Switch.294"}) {
        form.SetRefusals(name, "UtilityCannotBeAddedAtPort UtilityCannotBeRemovedAtPort ReadOnlyCell");
        form.SetDomain(name, CellDomain::Switch());
    }
    form.SetRefusals("ExtraData.701", "ShellsInputError ReadOnlyCell");
    // Shells in series (and in parallel) are a whole count, as the exchanger table takes them.
    form.SetDomain("ExtraData.701", CellDomain::Whole(1, kMaxShellsInSeries));
    form.SetRefusals("ExtraData.205", "HeatExchangerNameError NewRowMarkerEntryName");
    for (const char* address : {"HeatFlow.200", "HeatFlow.201"}) form.SetRefusals(address, "SpecRange ReadOnlyCell");
    form.SetRefusals("Fouling.200", "FoulingFactorUpdateError HTCoeffUpdateError SpecRange ReadOnlyCell");
}

void SplitterView::LoadVariables(FormDescription& form) {
    add(form, {
        {"Fraction.200", H::Value, 11, true, 1}, {"Switch.250", H::Value, 104, false, 0},
        {"Switch.251", H::Value, 104, false, 0}, {"Switch.252", H::Value, 104, false, 0},
        {"Switch.256", H::Value, 104, false, 0}, {"Switch.290", H::Value, 104, true, 0},
        {"Switch.291", H::Value, 104, false, 0}, {"Index.201", H::Value, 100, false, 0},
        {"Index.250", H::Value, 100, false, 0}, {"Temperature.250", H::Value, 1, true, 0, true},
        {"Temperature.251", H::Value, 1, true, 0, true}, {"Temperature.252", H::Value, 1, true, 0, true},
        {"ExtraData.250", H::Text, 1519, true, 0}, {"ExtraData.251", H::Text, 1519, true, 0},
        {"ExtraData.252", H::Text, 1519, false, 0}, {"ExtraData.256", H::Text, 1519, false, 0},
        {"ExtraData.255", H::Text, 1519, true, 1},
    });
    form.AddCommand("AddBranchToExistingSplit");
    form.AddCommand("DeleteSplit");
    form.SetRefusals("Fraction.200", "SplitFractionError ReadOnlyCell");
    for (const char* name : {"ExtraData.250", "ExtraData.251", "ExtraData.255"}) form.SetRefusals(name, "UnitNameError NewRowMarkerEntryName");
}

void HENStateView::LoadVariables(FormDescription& form) {
    add(form, {
        {"Temperature.301", H::Value, 1, false, 1}, {"Temperature.302", H::Value, 1, false, 1},
        {"Temperature.303", H::Value, 1, false, 1}, {"Temperature.321", H::Value, 1, false, 1},
        {"Temperature.322", H::Value, 1, false, 1}, {"Temperature.323", H::Value, 1, false, 1},
        {"Temperature.324", H::Value, 1, false, 1}, {"HeatFlow.311", H::Value, 6, false, 1},
        {"HeatFlow.328", H::Value, 6, false, 1}, {"CostPerTime.312", H::Value, 31001, false, 1},
        {"CostPerTime.313", H::Value, 31001, false, 1}, {"Area.329", H::Value, 1508, false, 1},
        {"HeatTransferCoeff.325", H::Value, 1524, false, 1}, {"Fouling.327", H::Value, 4101, false, 1},
        {"ExtraData.330", H::Value, 1519, false, 1}, {"ExtraData.341", H::Value, 1519, false, 1},
        {"ExtraData.342", H::Value, 1519, false, 2}, {"ExtraData.300", H::Text, 1519, false, 1},
        {"ExtraData.310", H::Text, 1519, false, 1}, {"ExtraData.320", H::Text, 1519, false, 1},
        {"ExtraData.340", H::Text, 1519, false, 1},
    });
}
