// kestrin-host view on the four-stream case and its textbook design: one input the user can change
// in the scenario viewer, then every value that depends on it read at once (the scenario's energy,
// area and cost targets, the range of DTmin's hot utility, the design viewer's utility and cost
// rows, each exchanger's capital cost), and again after a save and a reopen. Each reading equals
// what `targets`, `supertarget` and `design` work out afresh from the table with the same change
// (an exchanger's cost: the cost law worked out by hand at the area shown).
#include "InputsFollow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct InputChange {
    const char* name;
    const char* line;     // the view script's change
    const char* before;   // the table's text the change replaces ("" leaves the table as it is)
    const char* after;
    const char* options;  // what the change is on the command line
    const char* designOptions;
    // A stream's new end leaves the designed network short of it: the design viewer shows the
    // network as designed (the stream unsatisfied) where `design` completes it with a utility, so
    // the design rows are held to what they read before the save.
    bool sameNetwork = true;
    // The capital cost law of one exchanger, fixed + coefficient x area^exponent, with the change.
    double fixed = 10000.0, coefficient = 800.0, exponent = 0.8;
};
void PrintTo(const InputChange& c, std::ostream* out) { *out << c.name; }

// The reads, from step `first` on: six scenario targets, the range's hot utility at DTmin 10,
// 15 and 20 (step first + 11), then six rows of the design viewer (steps first + 14 on) and its
// exchangers' capital costs and areas (steps first + 20 and first + 21).
const std::string kReads =
    "get HeatFlow.107\nget HeatFlow.108\nget Area.652\nget Cost.654\nget CostPerTime.657\nget CostPerTime.651\n"
    "open ChiSuperTargetPlot.200.2\nset DeltaTemp.201.0 10\nset DeltaTemp.201.1 20\nset DeltaTemp.201.2 5\n"
    "cmd UserCalculate\nget HeatFlow.333.[]\nopen MyOwnerObject\nopen HIDesignViewerDesign.200.0\n"
    "get ExtraData.752\nget ExtraData.753\nget ExtraData.758\nget ExtraData.761\nget ExtraData.762\nget ExtraData.763\n"
    "get Cost.301.[]\nget Area.302.[]\n";

class HostViewInputsFollow : public ::testing::TestWithParam<InputChange> {};

TEST_P(HostViewInputsFollow, EveryDependentValueEqualsAFreshCalculationBeforeAndAfterAReopen) {
    const InputChange& c = GetParam();
    const std::string table = ChangedTable(c.before, c.after);
    ASSERT_FALSE(table.empty());
    const InputsFollowFiles files("inputsfollow", table);
    ASSERT_TRUE(files.Designed());
    const ScratchFile &changed = files.changed, &start = files.start, &saved = files.saved;
    const std::string& network = files.network;

    const HostRun targets = RunHost("targets " + changed.path + " " + c.options + " --json");
    const HostRun range = RunHost("supertarget " + changed.path + " --from 10 --to 20 --step 5 --json");
    const HostRun design = RunHost("design " + changed.path + network + " " + c.designOptions + " --json");
    ASSERT_EQ(0, targets.exitCode) << targets.out;
    ASSERT_EQ(0, range.exitCode) << range.out;
    ASSERT_EQ(0, design.exitCode) << design.out;

    auto check = [&](const std::string& out, int first, const std::string& when) {
        const char* target[] = {"hot_utility", "cold_utility", "area_shell_tube", "capital_cost", "operating_cost",
                                "total_annual_cost"};
        for (int i = 0; i < 6; ++i)
            ExpectNearFresh(JsonNumber(targets.out, target[i]), OnlyValue(out, first + i), when + " " + target[i]);
        const std::vector<double> points = ScriptValues(out, first + 11);
        ASSERT_EQ(3u, points.size()) << when << out;
        std::size_t from = 0;
        for (int i = 0; i < 3; ++i) {
            from = range.out.find("\"dtmin\"", from + 1);
            ExpectNearFresh(JsonNumber(range.out, "hot_utility", from), points[i], when + " range point " + std::to_string(i));
        }
        const char* row[] = {"hot_utility", "cold_utility", "area_total", "utility_cost", "capital_cost",
                             "total_annual_cost"};
        const std::size_t totals = design.out.find("\"hot_utility\"");
        for (int i = 0; i < 6; ++i) {
            const double shown = OnlyValue(out, first + 14 + i);
            EXPECT_TRUE(std::isfinite(shown)) << when << " design " << row[i] << out;
            if (c.sameNetwork) ExpectNearFresh(JsonNumber(design.out, row[i], totals), shown, when + " design " + row[i]);
        }
        // Each exchanger is priced by the law as it is now, at the area the table shows.
        const std::vector<double> costs = ScriptValues(out, first + 20), areas = ScriptValues(out, first + 21);
        ASSERT_EQ(6u, costs.size()) << when << out;
        ASSERT_EQ(costs.size(), areas.size()) << when << out;
        for (std::size_t u = 0; u < costs.size(); ++u)
            ExpectNearFresh(c.fixed + c.coefficient * std::pow(areas[u], c.exponent), costs[u],
                            when + " capital cost of exchanger " + std::to_string(u));
    };

    const std::string change = std::string(c.line) + "\n";
    const int changeSteps = static_cast<int>(std::count(change.begin(), change.end(), '\n'));
    const HostRun run = RunViewScript(start.path, change + kReads, " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    check(run.out, changeSteps + 1, "after the change");
    const HostRun again = RunViewScript(saved.path, kReads);
    ASSERT_EQ(0, again.exitCode) << again.out;
    check(again.out, 1, "after the reopen");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(ScriptValues(run.out, changeSteps + 15 + i), ScriptValues(again.out, 15 + i)) << again.out;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, HostViewInputsFollow,
    ::testing::Values(
        InputChange{"SupplyTemperature", "set Temperature.402.0 180", "H1,170,", "H1,180,", "", "", false},
        InputChange{"HeatCapacityFlow", "set HeatCapacityFlow.404.2 2.5", "C1,20,135,2,", "C1,20,135,2.5,", "", ""},
        InputChange{"FilmCoefficient", "set HeatTransferCoeff.413.0 0.4", "H1,170,60,3,0.2", "H1,170,60,3,0.4", "",
                    ""},
        // The design keeps its own network whatever the scenario's DTmin.
        InputChange{"DTmin", "set DeltaTemp.1 15", "", "", "--dtmin 15", ""},
        InputChange{"UtilityPrice", "set CostPerEnergy.445.0 0.018", "utility,78.84", "utility,157.68", "", ""},
        InputChange{"FixedCost", "set Cost.501.0 12000", "", "", "--economics fixed=12000", "--economics fixed=12000",
                    true, 12000.0},
        InputChange{"AreaCostCoefficient", "set ExtraData.502.0 900", "", "", "--economics area=900",
                    "--economics area=900", true, 10000.0, 900.0},
        // The exponent is proposed in a dialog and taken when the dialog is applied.
        InputChange{"AreaCostExponent", "set ExtraData.503.0 0.7\ncmd ApplyNewBCValues", "", "",
                    "--economics exponent=0.7", "--economics exponent=0.7", true, 10000.0, 800.0, 0.7},
        InputChange{"PlantLife", "set exp_plant_life.300 8", "", "", "--economics life=8", "--economics life=8"}),
    [](const ::testing::TestParamInfo<InputChange>& info) { return std::string(info.param.name); });

}  // namespace
