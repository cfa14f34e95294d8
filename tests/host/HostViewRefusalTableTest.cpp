// kestrin-host view: every value a form row of the scenario viewer declares it refuses, typed on
// each route the row is written by (by name and by address), on the table's scenario and on the
// same case saved and reopened: the refusal is shown with its key, the value reads as before,
// and the run, having announced the key, exits 0.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct Refusal {
    const char* name;
    const char* address;
    const char* value;
    const char* key;
    const char* before = "";  // steps that choose what the cell writes to (a row of a table)
};
void PrintTo(const Refusal& r, std::ostream* out) { *out << r.address << " " << r.value << " (" << r.key << ")"; }

// The line a `get` of the address prints after its step header.
std::string readingOf(const std::string& out, int step) {
    const std::string header = std::to_string(step) + ": get ";
    const std::size_t at = out.find(header);
    if (at == std::string::npos) return std::string();
    const std::size_t line = out.find('\n', at);
    const std::size_t end = out.find('\n', line + 1);
    return out.substr(line + 1, end - line - 1);
}

class HostViewRefusalTable : public ::testing::TestWithParam<Refusal> {
protected:
    static void SetUpTestSuite() {
        ScratchFile empty("refusals", "nothing.txt", "get DeltaTemp.1\n");
        RunHost("view " + ExamplePath("four-streams.csv") + " --script " + empty.path + " --save " + Saved());
    }
    static void TearDownTestSuite() { std::remove(Saved().c_str()); }
    static std::string Saved() { return "/tmp/kestrin-refusals-" + std::to_string(getpid()) + "-saved.kcase"; }
};

TEST_P(HostViewRefusalTable, IsRefusedWithItsKeyAndChangesNothing) {
    const Refusal& r = GetParam();
    const std::string script = std::string(r.before) + "get " + r.address + "\nexpect " + r.key + "\nset " + r.address +
                               " " + r.value + "\nget " + r.address + "\n";
    const int first = 1 + static_cast<int>(std::count(r.before, r.before + std::strlen(r.before), '\n'));
    for (const std::string& input : {ExamplePath("four-streams.csv"), Saved()}) {
        ASSERT_TRUE(FileExists(input)) << input;
        ScratchFile file("refusals", "script.txt", script);
        const HostRun run = RunHost("view " + input + " --script " + file.path);
        EXPECT_EQ(0, run.exitCode) << input << "\n" << run.out;
        EXPECT_TRUE(has(run.out, std::string("  Error ") + r.key + "|")) << input << "\n" << run.out;
        const std::string before = readingOf(run.out, first);
        EXPECT_FALSE(before.empty()) << run.out;
        EXPECT_EQ(before, readingOf(run.out, first + 3)) << input << "\n" << run.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    ScenarioRows, HostViewRefusalTable,
    ::testing::Values(
        Refusal{"RateOfReturnByName", "rate_cap_int.300", "-1", "TypicalRateOfReturnRange"},
        Refusal{"RateOfReturnByAddress", "ExtraData.300", "-1", "TypicalRateOfReturnRange"},
        Refusal{"PlantLifeByName", "exp_plant_life.300", "-1", "NegativePlantLifeInput"},
        Refusal{"PlantLifeByAddress", "ExtraData.301.0", "-1", "PlantLifeRange"},
        Refusal{"HoursByName", "hours_of_operation.300", "-1", "NegativeHoursOfOperInput"},
        Refusal{"HoursOverAYear", "hours_of_operation.300", "9000", "OverlimitHoursOfOperInput"},
        Refusal{"HoursByAddress", "ExtraData.302.0", "-1", "HoursOfOperationRange"},
        Refusal{"DTmin", "DeltaTemp.1", "-1", "DeltaTViolationsError"},
        Refusal{"HotSupplyBelowTarget", "Temperature.402.0", "50", "HotStreamInletTemperatureUpdateError"},
        Refusal{"HotTargetAboveSupply", "Temperature.403.0", "180", "HotStreamOutletTemperatureUpdateError"},
        Refusal{"ColdSupplyAboveTarget", "Temperature.402.2", "150", "ColdStreamInletTemperatureUpdateError"},
        Refusal{"Load", "HeatFlow.405.0", "-1", "SpecRange"},
        Refusal{"HeatCapacityFlowRate", "HeatCapacityFlow.404.0", "-1", "MCpUpdateError"},
        Refusal{"SpecificHeat", "SpecificHeat.200.0", "-1", "CpUpdateError"},
        Refusal{"UtilitySpecificHeat", "SpecificHeat.201.0", "-1", "CpUpdateError"},
        Refusal{"FilmCoefficient", "HeatTransferCoeff.413.0", "-1", "HTCoeffUpdateError"},
        Refusal{"FilmCoefficientEmptied", "HeatTransferCoeff.413.0", "empty", "HTCoeffUpdateError2"},
        Refusal{"UtilityFilmCoefficient", "HeatTransferCoeff.440.0", "-1", "HTCoeffUpdateError"},
        // A stream's fouling is refused as its segments' is: the exchanger's word speaks of the
        // resistance of a unit.
        Refusal{"Fouling", "Fouling.412.0", "-1", "FoulingUpdateError"},
        Refusal{"UtilityFouling", "Fouling.440.0", "-1", "FoulingUpdateError"},
        Refusal{"Contribution", "DeltaTemp.406.0", "-1", "DeltaTcUpdateError"},
        Refusal{"UtilityContribution", "DeltaTemp.442.0", "-1", "DeltaTcUpdateError"},
        Refusal{"SplitBranches", "Index.310.0", "0", "SplitBranchValueError"},
        Refusal{"ProcessMassFlow", "MassFlow.105.0", "-1", "FlowRateUpdateError"},
        Refusal{"UtilityMassFlow", "MassFlow.104.0", "2", "ReadOnlyCell"},
        Refusal{"UtilityMaximumMassFlow", "MassFlow.106.0", "-1", "FlowRateUpdateError"},
        Refusal{"UtilityPrice", "CostPerEnergy.445.0", "-1", "SpecRange"},
        Refusal{"UtilitySupply", "Temperature.440.0", "-1", "HotStreamInletTemperatureUpdateError"},
        Refusal{"DefaultCoefficient", "HeatTransferCoeff.229.1", "-1", "HCValueTooSmall"},
        Refusal{"DefaultCoefficientEmptied", "HeatTransferCoeff.229.1", "empty", "CannotDeleteHTC"},
        Refusal{"CostLawCoefficient", "ExtraData.502.0", "1e300", "TypicalAreaConstantRange"},
        Refusal{"CostLawExponent", "ExtraData.503.0", "-1", "TypicalEconomicRateRange"},
        Refusal{"ExchangerFactor", "ExtraData.765", "-1", "ValidOptionError"},
        // A default coefficient chosen outside the list would empty the stream's coefficient.
        Refusal{"DefaultCoefficientChoiceBeyondTheList", "Enum.511", "5000", "ValidOptionError"},
        Refusal{"DefaultCoefficientChoiceNegative", "Enum.511", "-1", "ValidOptionError"},
        Refusal{"DefaultCoefficientChoiceFraction", "Enum.511", "1.5", "ValidOptionError"},
        // The utility table's choice writes to the row chosen there: none is chosen at first.
        Refusal{"UtilityDefaultCoefficientChoice", "Enum.512", "5000", "ValidOptionError", "set RowPos.106 0\n"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// A value the general economics take by address is stored as typed, whatever unit the same
// address shows its read-only cells in (a retrofit summary's costs and loads), in either unit set;
// the saved and reopened case holds it.
struct Typed {
    const char* name;
    const char* units;
    const char* address;
    const char* value;
    const char* named;  // the same datum by name
};
void PrintTo(const Typed& t, std::ostream* out) { *out << t.address << " " << t.value << " (" << t.units << ")"; }

class HostViewEconomicsTyped : public ::testing::TestWithParam<Typed> {};

TEST_P(HostViewEconomicsTyped, IsStoredAsTyped) {
    const Typed& t = GetParam();
    ScratchFile saved("typed", std::string(t.name) + ".kcase", "", false);
    const std::string units = std::string(" --units ") + t.units;
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"),
                                      std::string("set ") + t.address + " " + t.value + "\nget " + t.named + "\n",
                                      units + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, std::string("2: get ") + t.named + "\n  value " + t.value + "\n")) << run.out;
    const HostRun again = RunViewScript(saved.path, std::string("get ") + t.named + "\n", units);
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, std::string("  value ") + t.value + "\n")) << again.out;
}

INSTANTIATE_TEST_SUITE_P(
    ByAddress, HostViewEconomicsTyped,
    ::testing::Values(Typed{"PlantLife", "si", "ExtraData.301.0", "7", "exp_plant_life.300"},
                      Typed{"PlantLifeCustomary", "customary", "ExtraData.301.0", "7", "exp_plant_life.300"},
                      Typed{"Hours", "si", "ExtraData.302.0", "8000", "hours_of_operation.300"},
                      Typed{"HoursCustomary", "customary", "ExtraData.302.0", "8000", "hours_of_operation.300"},
                      Typed{"RateOfReturn", "customary", "ExtraData.300", "12", "rate_cap_int.300"}),
    [](const ::testing::TestParamInfo<Typed>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// A stream of two segments shows no one cp, coefficient or fouling and takes no load as a whole
// in the scenario's table: its cells are read-only, so a value typed there is refused as such (a
// specific heat, shown empty, with the row's key), the segments keep what they had, and the saved
// case targets as the table does.
constexpr const char* kTwoSegments = "name,supply,target,cp,h,kind\n"
                                     "H1,200,150,2,0.5,process\n"
                                     "H1,150,80,4,0.4,process\n"
                                     "C1,30,190,3,0.3,process\n"
                                     "HP Steam,,,,,utility\n"
                                     "Cooling Water,,,,,utility\n";

class HostViewSegmentedStreamCell : public ::testing::TestWithParam<Refusal> {};

TEST_P(HostViewSegmentedStreamCell, IsRefusedAndTheSegmentsKeepTheirValues) {
    const Refusal& r = GetParam();
    ScratchFile table("segmented", std::string(r.name) + ".csv", kTwoSegments);
    ScratchFile saved("segmented", std::string(r.name) + ".kcase", "", false);
    const std::string segments = "cmd ViewSegTableView\nopen @last\nget HeatCapacityFlow.100.[]\nget HeatFlow.100.[]\n"
                                 "get HeatTransferCoeff.100.[]\nget Fouling.100.[]\n";
    const HostRun run = RunViewScript(table.path, std::string("expect ") + r.key + "\nset " + r.address + " " + r.value +
                                                      "\n" + segments,
                                      " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, std::string("  Error ") + r.key + "|")) << run.out;
    EXPECT_TRUE(has(run.out, "  value 2 4 kW/C\n")) << run.out;
    EXPECT_TRUE(has(run.out, "  value 100 280 kW\n")) << run.out;
    EXPECT_TRUE(has(run.out, "  value 0.5 0.4 kW/m2-C\n")) << run.out;
    EXPECT_TRUE(has(run.out, "  value 0 0 m2-C/kW\n")) << run.out;
    const HostRun fromCase = RunHost("targets " + saved.path + " --json");
    const HostRun fromTable = RunHost("targets " + table.path + " --json");
    ASSERT_EQ(0, fromCase.exitCode) << fromCase.out;
    EXPECT_EQ(JsonNumber(fromTable.out, "hot_utility"), JsonNumber(fromCase.out, "hot_utility"));
    EXPECT_EQ(JsonNumber(fromTable.out, "area_countercurrent"), JsonNumber(fromCase.out, "area_countercurrent"));
}

INSTANTIATE_TEST_SUITE_P(
    StreamCells, HostViewSegmentedStreamCell,
    ::testing::Values(Refusal{"HeatCapacityFlowRate", "HeatCapacityFlow.404.0", "7.5", "ReadOnlyCell"},
                      Refusal{"HeatCapacityFlowRateEmptied", "HeatCapacityFlow.404.0", "empty", "ReadOnlyCell"},
                      Refusal{"Load", "HeatFlow.405.0", "500", "ReadOnlyCell"},
                      Refusal{"FilmCoefficient", "HeatTransferCoeff.413.0", "0.77", "ReadOnlyCell"},
                      Refusal{"Fouling", "Fouling.412.0", "0.05", "ReadOnlyCell"},
                      Refusal{"SpecificHeat", "SpecificHeat.200.0", "3", "CpUpdateError"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

// A condensing utility holds its latent heat over one degree as its specific heat (HP Steam
// 1703.1 kJ/kg-C): its segment table takes such a value again (1500, then its own), the case
// keeps it, and a value past any latent heat is still refused.
TEST(HostViewUtilitySpecificHeat, ALatentHeatIsASpecificHeatTheTableTakes) {
    const std::string table = "set RowPos.106 0\ncmd ViewSegTableViewU\nopen @last\n";
    ScratchFile saved("refusals", "steam.kcase", "", false);
    const HostRun run = RunViewScript(ExamplePath("four-streams.csv"),
                                      table + "set SpecificHeat.100.0 1500\nget SpecificHeat.100.0\n"
                                              "expect SpecRange\nset SpecificHeat.100.0 20000\nget SpecificHeat.100.0\n",
                                      " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "4: set SpecificHeat.100.0 1500\n  result 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "5: get SpecificHeat.100.0\n  value 1500 kJ/kg-C\n")) << run.out;
    EXPECT_TRUE(has(run.out, "8: get SpecificHeat.100.0\n  value 1500 kJ/kg-C\n")) << run.out;
    const HostRun again = RunViewScript(saved.path, table + "get SpecificHeat.100.0\nset SpecificHeat.100.0 1703.1\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "4: get SpecificHeat.100.0\n  value 1500 kJ/kg-C\n5: set SpecificHeat.100.0 1703.1\n  result 1\n"))
        << again.out;
}

}  // namespace
