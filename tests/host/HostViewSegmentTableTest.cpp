// kestrin-host view on a table of a hot and a cold stream of several segments: the scenario
// viewer holds their two segment tables, whose series read as worked by hand, whose plots are
// written as pictures, and whose edits are in the case after saving and opening it again.
#include "HostProcess.h"
#include "../support/SvgReadBack.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// H1: 170 -> 120 at 2 kW/C (100 kW), 120 -> 60 at 3 (180 kW). C1: 30 -> 90 at 4 (240 kW), 90 ->
// 140 at 2 (100 kW), 140 -> 150 at 5 (50 kW).
const char* const kTable =
    "name,supply,target,cp,h,kind\n"
    "H1,170,120,2,0.2,process\n"
    "H1,120,60,3,0.2,process\n"
    "C1,30,90,4,0.2,process\n"
    "C1,90,140,2,0.2,process\n"
    "C1,140,150,5,0.2,process\n"
    "HP Steam,,,,,utility\n"
    "Cooling Water,,,,,utility\n";

TEST(HostViewSegmentTable, TheTwoTablesReadTheirSeriesAndDrawOnePolylinePerStream) {
    ScratchFile table("view", "segments.csv", kTable);
    ScratchFile hot("view", "hot.svg", "", false);
    ScratchFile cold("view", "cold.svg", "", false);
    ScratchFile script("view", "segments.txt",
                       "open SegmentTable.200.0\ntext StrData.3\nget Temperature.201.[]\nget HeatFlow.201.[]\n"
                       "get HeatFlow.100.[]\nget Switch.700\nget DelSeg.102\nsvg TwoDimPlotNTW.200 " + hot.path + "\n"
                       "open MyOwnerObject\nopen SegmentTable.201.1\ntext StrData.3\nget Temperature.201.[]\n"
                       "get HeatFlow.201.[]\nget HeatFlow.100.[]\nsvg TwoDimPlotNTW.200 " + cold.path + "\n");
    const HostRun run = RunHost("view " + table.path + " --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    // Hot: the load still to give at each point; cold: the load taken up.
    EXPECT_TRUE(has(run.out, "2: text StrData.3\n  text H1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "3: get Temperature.201.[]\n  value 170 120 60 C\n")) << run.out;
    EXPECT_TRUE(has(run.out, "4: get HeatFlow.201.[]\n  value 280 180 0 kW\n")) << run.out;
    EXPECT_TRUE(has(run.out, "5: get HeatFlow.100.[]\n  value 100 180 kW\n")) << run.out;
    EXPECT_TRUE(has(run.out, "6: get Switch.700\n  value 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "7: get DelSeg.102\n  value 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "11: text StrData.3\n  text C1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "12: get Temperature.201.[]\n  value 30 90 140 150 C\n")) << run.out;
    EXPECT_TRUE(has(run.out, "13: get HeatFlow.201.[]\n  value 0 240 340 390 kW\n")) << run.out;
    EXPECT_TRUE(has(run.out, "14: get HeatFlow.100.[]\n  value 240 100 50 kW\n")) << run.out;

    for (const auto& [path, points, colour] : {std::tuple{hot.path, 3u, "#ff0000"}, std::tuple{cold.path, 4u, "#0000ff"}}) {
        const SvgPicture picture = ReadSvg(FileContents(path));
        ASSERT_TRUE(picture.parsed) << path;
        const auto curves = picture.OfClass("data-set");
        ASSERT_EQ(1u, curves.size()) << path;
        EXPECT_EQ(points, curves[0]->Points().size()) << path;
        EXPECT_EQ(colour, curves[0]->Attribute("stroke")) << path;
    }
}

TEST(HostViewSegmentTable, AnEditTypedIntoASegmentTableIsInTheSavedCase) {
    ScratchFile table("view", "edit.csv", kTable);
    ScratchFile saved("view", "edit.kcase", "", false);
    ScratchFile script("view", "edit.txt", "open SegmentTable.200.1\nset Temperature.101.0 100\n");
    const HostRun first = RunHost("view " + table.path + " --script " + script.path + " --save " + saved.path);
    ASSERT_EQ(0, first.exitCode) << first.out;
    ScratchFile read("view", "read.txt",
                     "open SegmentTable.200.1\nget Temperature.201.[]\nopen MyOwnerObject\nopen SegmentTable.200.0\n"
                     "text StrData.3\n");
    const HostRun again = RunHost("view " + saved.path + " --script " + read.path);
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_TRUE(has(again.out, "2: get Temperature.201.[]\n  value 30 100 140 150 C\n")) << again.out;
    EXPECT_TRUE(has(again.out, "5: text StrData.3\n  text H1\n")) << again.out;
    // The reopened scenario viewer has its two tables, once each.
    ScratchFile third("view", "third.txt", "open SegmentTable.200.2\n");
    const HostRun none = RunHost("view " + saved.path + " --script " + third.path);
    EXPECT_EQ(1, none.exitCode) << none.out;
}

TEST(HostViewSegmentTable, TheFormListsTheTableWithItsCommands) {
    ScratchFile table("view", "form.csv", kTable);
    const HostRun run = RunHost("view " + table.path + " --form --json");
    ASSERT_EQ(0, run.exitCode) << run.out.substr(0, 2000);
    EXPECT_TRUE(has(run.out, "{\"view\":\"H1\",\"type\":\"SegmentTableObject\",\"variables\":[{\"address\":"
                             "\"Temperature.100.[]\",\"hook\":\"value\",\"unit\":\"C\",\"editable\":true,\"refuses\":[\"TemperatureUpdateError\",\"SpecRange\",\"ReadOnlyCell\",\"NotANumber\",\"ValueNotTaken\"],\"values\":[170,120]}"))
        << run.out.substr(0, 3000);
    EXPECT_TRUE(has(run.out, "\"commands\":[\"InsSeg\",\"DeleteSegment\",\"DeleteAllSegments\"")) << run.out.substr(0, 3000);
}

// Every cell a user types into a segment table, on a hot and a cold stream of two segments each:
// what the cell's neighbours read at once, and again from the saved case reopened. Over ends the
// user gave, a typed load carries the segment's heat-capacity flow rate with it (load / span) and a
// typed rate carries the load, whichever was typed before; beside a given mass flow the rate and
// the specific heat (rate / mass flow) carry each other, and a typed mass flow carries the rate of
// a segment whose specific heat was given.
// H1: 170 -> 100 at 2 kW/C (140 kW), 100 -> 60 at 4 (160 kW); film coefficients 0.2 and 0.3.
// C1: 20 -> 80 at 2 (120 kW), 80 -> 135 at 2.5 (137.5 kW); film coefficients 0.2 and 0.4.
const char* const kTwoSegmentTable =
    "name,supply,target,cp,h,kind\n"
    "H1,170,100,2,0.2,process\nH1,100,60,4,0.3,process\n"
    "H2,150,30,1.5,0.2,process\n"
    "C1,20,80,2,0.2,process\nC1,80,135,2.5,0.4,process\n"
    "C2,80,140,4,0.2,process\n"
    "HP Steam,,,,,utility\nCooling Water,,,,,utility\n";

struct SegmentEdit {
    const char* name;
    const char* table;  // SegmentTable.201.0 is H1, SegmentTable.201.1 is C1
    const char* typed;  // script lines
    std::vector<std::pair<const char*, const char*>> reads;  // address, value line
    std::vector<const char*> sessionOnly = {};  // addresses a reopened table does not keep
};
void PrintTo(const SegmentEdit& e, std::ostream* out) { *out << e.name; }

class HostViewSegmentEdit : public ::testing::TestWithParam<SegmentEdit> {};

// The value line a script printed for `get ADDRESS`, whatever the step's number.
std::string readOf(const std::string& out, const std::string& address) {
    const std::string step = ": get " + address + "\n  ";
    const std::size_t at = out.find(step);
    if (at == std::string::npos) return "(not read)";
    const std::size_t from = at + step.size();
    return out.substr(from, out.find('\n', from) - from);
}

TEST_P(HostViewSegmentEdit, NeighboursFollowAndTheCaseReopensWithThem) {
    const SegmentEdit& e = GetParam();
    ScratchFile table("segedit", "table.csv", kTwoSegmentTable);
    ScratchFile saved("segedit", std::string(e.name) + ".kcase", "", false);
    std::string reads;
    for (const auto& [address, value] : e.reads) reads += std::string("get ") + address + "\n";
    const std::string open = std::string("open ") + e.table + "\n";
    const HostRun typed = RunViewScript(table.path, open + e.typed + reads, " --save " + saved.path);
    ASSERT_EQ(0, typed.exitCode) << typed.out;
    for (const auto& [address, value] : e.reads) EXPECT_EQ(value, readOf(typed.out, address)) << address << "\n" << typed.out;
    const HostRun again = RunViewScript(saved.path, open + reads);
    ASSERT_EQ(0, again.exitCode) << again.out;
    for (const auto& [address, value] : e.reads) {
        bool kept = true;
        for (const char* a : e.sessionOnly) kept = kept && std::string(a) != address;
        if (kept) {
            EXPECT_EQ(value, readOf(again.out, address)) << address << " reopened\n" << again.out;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cells, HostViewSegmentEdit,
    ::testing::Values(
        SegmentEdit{"HotLoad", "SegmentTable.201.0", "set HeatFlow.100.0 210\n",
                    {{"HeatCapacityFlow.100.[]", "value 3 4 kW/C"}, {"HeatFlow.100.[]", "value 210 160 kW"},
                     {"Temperature.201.[]", "value 170 100 60 C"}, {"HeatFlow.102", "value 370 kW"}}},
        SegmentEdit{"ColdLoad", "SegmentTable.201.1", "set HeatFlow.100.0 150\n",
                    {{"HeatCapacityFlow.100.[]", "value 2.5 2.5 kW/C"}, {"HeatFlow.100.[]", "value 150 137.5 kW"},
                     {"Temperature.201.[]", "value 20 80 135 C"}, {"HeatFlow.102", "value 287.5 kW"}}},
        SegmentEdit{"HotLoadOfTheSecondSegment", "SegmentTable.201.0", "set HeatFlow.100.1 200\n",
                    {{"HeatCapacityFlow.100.[]", "value 2 5 kW/C"}, {"HeatFlow.100.[]", "value 140 200 kW"}}},
        SegmentEdit{"ColdLoadThenRate", "SegmentTable.201.1", "set HeatFlow.100.0 150\nset HeatCapacityFlow.100.0 3\n",
                    {{"HeatCapacityFlow.100.[]", "value 3 2.5 kW/C"}, {"HeatFlow.100.[]", "value 180 137.5 kW"}}},
        SegmentEdit{"ColdLoadThenEnd", "SegmentTable.201.1", "set HeatFlow.100.0 150\nset Temperature.101.0 70\n",
                    {{"HeatCapacityFlow.100.[]", "value 3 2.5 kW/C"}, {"HeatFlow.100.[]", "value 150 162.5 kW"},
                     {"Temperature.100.[]", "value 20 70 C"}}},
        SegmentEdit{"HotMassFlowThenLoad", "SegmentTable.201.0", "set MassFlow.104 1\nset HeatFlow.100.0 210\n",
                    {{"HeatCapacityFlow.100.[]", "value 3 4 kW/C"}, {"SpecificHeat.100.[]", "value 3 4 kJ/kg-C"},
                     {"MassFlow.104", "value 1 kg/s"}}},
        // A rate worked out from a given specific heat and mass flow: the typed load carries the
        // rate, and the specific heat follows it (rate / mass flow).
        SegmentEdit{"ColdLoadOverASpecificHeat", "SegmentTable.201.1",
                    "set MassFlow.104 1\nset SpecificHeat.100.0 2\nset HeatCapacityFlow.100.0 empty\nset HeatFlow.100.0 150\n",
                    {{"HeatCapacityFlow.100.[]", "value 2.5 2.5 kW/C"}, {"SpecificHeat.100.[]", "value 2.5 2.5 kJ/kg-C"},
                     {"HeatFlow.100.[]", "value 150 137.5 kW"}, {"MassFlow.104", "value 1 kg/s"}}},
        SegmentEdit{"HotRateOverASpecificHeat", "SegmentTable.201.0",
                    "set MassFlow.104 1\nset SpecificHeat.100.1 4\nset HeatCapacityFlow.100.1 5\n",
                    {{"SpecificHeat.100.[]", "value 2 5 kJ/kg-C"}, {"HeatFlow.100.[]", "value 140 200 kW"},
                     {"MassFlow.104", "value 1 kg/s"}}},
        SegmentEdit{"HotSpecificHeatOverALoad", "SegmentTable.201.0",
                    "set MassFlow.104 1\nset HeatFlow.100.0 210\nset SpecificHeat.100.0 2.5\n",
                    {{"HeatCapacityFlow.100.[]", "value 2.5 4 kW/C"}, {"HeatFlow.100.[]", "value 175 160 kW"},
                     {"SpecificHeat.100.[]", "value 2.5 4 kJ/kg-C"}}},
        // A mass flow typed beside a given specific heat: the rate is specific heat x mass flow
        // and the given load follows it over the segment's ends.
        SegmentEdit{"HotMassFlowOverASpecificHeat", "SegmentTable.201.0",
                    "set HeatFlow.100.0 210\nset SpecificHeat.100.0 3\nset MassFlow.104 2\n",
                    {{"HeatCapacityFlow.100.[]", "value 6 4 kW/C"}, {"HeatFlow.100.[]", "value 420 160 kW"},
                     {"SpecificHeat.100.[]", "value 3 2 kJ/kg-C"}, {"MassFlow.104", "value 2 kg/s"}}},
        SegmentEdit{"HotRate", "SegmentTable.201.0", "set HeatCapacityFlow.100.1 5\n",
                    {{"HeatFlow.100.[]", "value 140 200 kW"}, {"HeatFlow.102", "value 340 kW"}}},
        SegmentEdit{"HotSupply", "SegmentTable.201.0", "set Temperature.100.0 180\n",
                    {{"HeatFlow.100.[]", "value 160 160 kW"}, {"HeatCapacityFlow.100.[]", "value 2 4 kW/C"},
                     {"Temperature.105", "value 180 C"}}},
        SegmentEdit{"ColdTarget", "SegmentTable.201.1", "set Temperature.101.1 140\n",
                    {{"HeatFlow.100.[]", "value 120 150 kW"}, {"Temperature.106", "value 140 C"}}},
        // A specific heat beside a stream's given rates and mass flow: the rates stand, each
        // segment's specific heat is rate / mass flow.
        SegmentEdit{"ColdSpecificHeat", "SegmentTable.201.1", "set MassFlow.104 0.5\nset SpecificHeat.100.1 5\n",
                    {{"SpecificHeat.100.[]", "value 4 5 kJ/kg-C"}, {"HeatCapacityFlow.100.[]", "value 2 2.5 kW/C"},
                     {"MassFlow.104", "value 0.5 kg/s"}}},
        SegmentEdit{"HotCoefficient", "SegmentTable.201.0", "set HeatTransferCoeff.100.0 0.5\n",
                    {{"HeatTransferCoeff.101.[]", "value 0.5 0.3 kW/m2-C"}, {"Switch.113.[]", "value 0 0"}}},
        // 1 / (1 / 0.4 + 0.1) = 1 / 2.6.
        SegmentEdit{"ColdFouling", "SegmentTable.201.1", "set Fouling.100.1 0.1\n",
                    {{"HeatTransferCoeff.101.[]", "value 0.2 0.3846153846 kW/m2-C"}, {"Fouling.100.[]", "value 0 0.1 m2-C/kW"}}},
        // The box takes the default coefficient in place of the segment's own 0.3.
        SegmentEdit{"HotDefaultBox", "SegmentTable.201.0", "set Switch.113.1 1\n",
                    {{"HeatTransferCoeff.100.[]", "value 0.2 0.2 kW/m2-C"}, {"HeatTransferCoeff.101.[]", "value 0.2 0.2 kW/m2-C"}}},
        SegmentEdit{"ColdDefaultCoefficient", "SegmentTable.201.1", "set Enum.511 1\n",
                    {{"HeatTransferCoeff.100.[]", "value 0.393092 0.393092 kW/m2-C"}, {"Enum.511", "value 1"}},
                    {"Enum.511"}},
        SegmentEdit{"HotTransportProperties", "SegmentTable.201.0",
                    "set Viscosity.101.0 0.5\nset ThermCond.102.1 0.0006\nset MassDensity.103.0 900\n",
                    {{"Viscosity.101.[]", "value 0.5 empty cP"}, {"ThermCond.102.[]", "value empty 0.0006 W/m-C"},
                     {"MassDensity.103.[]", "value 900 empty kg/m3"}}},
        SegmentEdit{"ColdPipe", "SegmentTable.201.1", "set Velocity.100 2\nset Length.104 0.05\n",
                    {{"Velocity.100", "value 2 m/s"}, {"Length.104", "value 0.05 m"}}}),
    [](const ::testing::TestParamInfo<SegmentEdit>& info) { return std::string(info.param.name); });

}  // namespace
