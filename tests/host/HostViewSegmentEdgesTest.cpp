// Every number a user types into a stream's segment table, at the edges of what a case holds and
// beyond them, then saved: the table either refuses it with its own message (nothing is saved and
// the segment reads as before), or the case saved reopens. A value the table takes but the save
// then refuses as a case that would not reopen loses everything typed in the session.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// H1: 170 -> 100 at 2 kW/C, 100 -> 60 at 4. C1: 20 -> 80 at 2, 80 -> 135 at 2.5.
const char* const kTable =
    "name,supply,target,cp,h,kind\n"
    "H1,170,100,2,0.2,process\nH1,100,60,4,0.3,process\n"
    "H2,150,30,1.5,0.2,process\n"
    "C1,20,80,2,0.2,process\nC1,80,135,2.5,0.4,process\n"
    "C2,80,140,4,0.2,process\n"
    "HP Steam,,,,,utility\nCooling Water,,,,,utility\n";

// The editable numbers the table's `form` lists, a column named by its first row.
std::vector<std::string> editableNumbers(const std::string& form) {
    std::vector<std::string> out;
    const std::string start = "{\"address\":\"";
    for (std::size_t at = form.find(start); at != std::string::npos;) {
        const std::size_t next = form.find(start, at + 1);
        const std::string entry = form.substr(at, next == std::string::npos ? std::string::npos : next - at);
        const std::size_t end = entry.find('"', start.size());
        std::string address = entry.substr(start.size(), end - start.size());
        if (has(entry, "\"hook\":\"value\"") && has(entry, "\"editable\":true")) {
            if (address.size() > 3 && address.compare(address.size() - 3, 3, ".[]") == 0)
                address.replace(address.size() - 3, 3, ".0");
            out.push_back(address);
        }
        at = next;
    }
    return out;
}

class HostViewSegmentEdges : public ::testing::TestWithParam<const char*> {};

TEST_P(HostViewSegmentEdges, EveryAcceptedValueSavesACaseThatReopens) {
    ScratchFile table("segedges", "table.csv", kTable);
    const std::string open = std::string("open ") + GetParam() + "\n";
    const HostRun form = RunViewScript(table.path, open + "form\n");
    ASSERT_EQ(0, form.exitCode) << form.out;
    const std::vector<std::string> addresses = editableNumbers(form.out);
    ASSERT_GE(addresses.size(), 14u) << form.out;
    // Below absolute zero (and below nothing), below the smallest rate, load and coefficient a
    // case holds, past the largest rate.
    const char* const values[] = {"-300", "0.0005", "2e9"};
    int accepted = 0;
    for (const std::string& address : addresses)
        for (const char* value : values) {
            const std::string edit = "set " + address + " " + value;
            ScratchFile saved("segedges", "saved.case", "", false);
            const HostRun run = RunViewScript(table.path, open + edit + "\n", " --save " + saved.path);
            if (run.exitCode != 0) {
                EXPECT_EQ(1, run.exitCode) << edit << "\n" << run.out;
                EXPECT_FALSE(has(run.out, "would not reopen")) << edit << ": the table took it\n" << run.out;
                EXPECT_FALSE(FileExists(saved.path)) << edit;
                continue;
            }
            ++accepted;
            const HostRun again = RunViewScript(saved.path, open + "get HeatFlow.100.[]\n");
            EXPECT_EQ(0, again.exitCode) << edit << ": the saved case does not reopen\n" << again.out;
        }
    EXPECT_GT(accepted, 0);
}

INSTANTIATE_TEST_SUITE_P(Streams, HostViewSegmentEdges, ::testing::Values("SegmentTable.201.0", "SegmentTable.201.1"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0 ? "Hot" : "Cold");
                         });

// A value inside its own range that would carry a neighbour past the range of a case: a load over
// a span giving a rate below 0.001 kW/C, a segment end moved so close to the other that the
// segment carries less than 0.001 kW, a mass flow that with a given specific heat gives a rate
// past 1e9 kW/C. Each is refused with its message, which says what the cell takes, and the segment
// reads as before.
struct Carried {
    const char* name;
    const char* table;
    const char* before;  // script lines typed first (accepted)
    const char* typed;
    const char* read;    // address read after the refusal
    const char* value;   // what it reads, as before the refused value
};
void PrintTo(const Carried& c, std::ostream* out) { *out << c.name; }

class HostViewSegmentCarried : public ::testing::TestWithParam<Carried> {};

TEST_P(HostViewSegmentCarried, IsRefusedAndTheSegmentReadsAsBefore) {
    const Carried& c = GetParam();
    ScratchFile table("segcarried", "table.csv", kTable);
    ScratchFile saved("segcarried", "saved.case", "", false);
    const std::string script = std::string("open ") + c.table + "\n" + c.before + "expect SpecRange\n" + c.typed +
                               "\nget " + c.read + "\n";
    const HostRun run = RunViewScript(table.path, script, " --save " + saved.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, ": " + std::string(c.typed) + "\n  result 0\n")) << run.out;
    // The refusal says what the cell takes, as the forms' range refusals do.
    EXPECT_TRUE(has(run.out, "  Error SpecRange|The value lies outside its allowed range. This cell takes a value")) << run.out;
    EXPECT_TRUE(has(run.out, ": get " + std::string(c.read) + "\n  " + c.value + "\n")) << run.out;
    EXPECT_TRUE(FileExists(saved.path)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Neighbours, HostViewSegmentCarried,
    ::testing::Values(
        // 0.05 kW over 20 -> 80 C is 0.00083 kW/C.
        Carried{"ColdLoadBelowTheSmallestRate", "SegmentTable.201.1", "", "set HeatFlow.100.0 0.05",
                "HeatCapacityFlow.100.[]", "value 2 2.5 kW/C"},
        // 9e11 kW over 170 -> 100 C is 1.3e10 kW/C.
        Carried{"HotLoadPastTheLargestRate", "SegmentTable.201.0", "", "set HeatFlow.100.0 9e11",
                "HeatCapacityFlow.100.[]", "value 2 4 kW/C"},
        // 2 kW/C over 20 -> 20.0001 C carries 0.0002 kW.
        Carried{"ColdEndNextToTheOther", "SegmentTable.201.1", "", "set Temperature.101.0 20.0001",
                "Temperature.201.[]", "value 20 80 135 C"},
        Carried{"HotSpecificHeatWithAHugeMassFlow", "SegmentTable.201.0", "set SpecificHeat.100.0 2\n",
                "set MassFlow.104 1e13", "HeatCapacityFlow.100.[]", "value 2 4 kW/C"},
        Carried{"ColdMassFlowOfNothing", "SegmentTable.201.1", "set SpecificHeat.100.1 2.5\n", "set MassFlow.104 0",
                "HeatCapacityFlow.100.[]", "value 2 2.5 kW/C"},
        Carried{"ColdFoulingBeyondTheSmallestCoefficient", "SegmentTable.201.1", "", "set Fouling.100.0 2000",
                "HeatTransferCoeff.101.[]", "value 0.2 0.4 kW/m2-C"}),
    [](const ::testing::TestParamInfo<Carried>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// A utility of two segments (MySteam 260 -> 250 -> 200 C): its segment table shows the load the
// targets and designs place on each segment and the rate that follows from it. Neither is the
// user's: the cells are read-only, a load or rate typed there is refused as such, and the
// segments read as before; its ends and film coefficients stay the user's to type.
const char* const kUtilityTable =
    "name,supply,target,cp,h,kind\n"
    "H1,170,100,2,0.2,process\nH2,150,30,1.5,0.2,process\n"
    "C1,20,135,2,0.2,process\nC2,80,140,4,0.2,process\n"
    "MySteam,260,250,,0.5,utility\nMySteam,250,200,,0.5,utility\n"
    "Cooling Water,,,,,utility\n";

TEST(HostViewSegmentUtility, ALoadOrRateTypedIntoAUtilitysSegmentTableIsRefused) {
    ScratchFile table("segutility", "table.csv", kUtilityTable);
    ScratchFile saved("segutility", "saved.case", "", false);
    const HostRun run = RunViewScript(table.path,
                                      "open SegmentTable.202.0\nget HeatFlow.100.[]\nget HeatCapacityFlow.100.[]\n"
                                      "status HeatFlow.100.0\nstatus HeatCapacityFlow.100.1\n"
                                      "expect ReadOnlyCell\nset HeatFlow.100.0 500\n"
                                      "expect ReadOnlyCell\nset HeatCapacityFlow.100.1 3\n"
                                      "get HeatFlow.100.[]\nget HeatCapacityFlow.100.[]\n"
                                      "set Temperature.101.0 255\nset HeatTransferCoeff.100.1 0.6\n"
                                      "get Temperature.201.[]\nget HeatTransferCoeff.100.[]\n",
                                      " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "4: status HeatFlow.100.0\n  read-only\n")) << run.out;
    EXPECT_TRUE(has(run.out, "5: status HeatCapacityFlow.100.1\n  read-only\n")) << run.out;
    EXPECT_TRUE(has(run.out, "7: set HeatFlow.100.0 500\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, "9: set HeatCapacityFlow.100.1 3\n  result 0\n")) << run.out;
    EXPECT_EQ(ScriptValues(run.out, 2), ScriptValues(run.out, 10)) << run.out;
    EXPECT_EQ(ScriptValues(run.out, 3), ScriptValues(run.out, 11)) << run.out;
    EXPECT_TRUE(has(run.out, "14: get Temperature.201.[]\n  value 260 255 200 C\n")) << run.out;
    EXPECT_TRUE(has(run.out, "15: get HeatTransferCoeff.100.[]\n  value 0.5 0.6 kW/m2-C\n")) << run.out;
    const HostRun again = RunViewScript(saved.path, "open SegmentTable.202.0\nget HeatCapacityFlow.100.[]\n");
    ASSERT_EQ(0, again.exitCode) << again.out;
    EXPECT_EQ(ScriptValues(run.out, 3), ScriptValues(again.out, 2)) << again.out;
}

}  // namespace

namespace {

// An end typed into the scenario's process-stream table moves the first or last segment's span:
// moved so close to the segment's other end that the rate a given load works out to, or the load a
// given rate carries, lies outside what a case holds, the end is refused with the table's message,
// stays where it was, and the case saves.
struct EndMove {
    const char* name;
    const char* table;   // "four" (examples/four-streams.csv) or "segments"
    const char* before;  // script lines typed first (accepted)
    const char* typed;
    const char* key;
    const char* read;
    const char* value;
};
void PrintTo(const EndMove& e, std::ostream* out) { *out << e.name; }

class HostViewStreamEndMove : public ::testing::TestWithParam<EndMove> {};

TEST_P(HostViewStreamEndMove, IsRefusedWhenItsSegmentWouldLeaveTheRangeOfACase) {
    const EndMove& e = GetParam();
    ScratchFile segments("endmove", "table.csv", kTable);
    ScratchFile saved("endmove", "saved.case", "", false);
    const std::string input = std::string(e.table) == "four" ? ExamplePath("four-streams.csv") : segments.path;
    const std::string script = std::string(e.before) + "expect " + e.key + "\n" + e.typed + "\nget " + e.read + "\n";
    const HostRun run = RunViewScript(input, script, " --save " + saved.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, ": " + std::string(e.typed) + "\n  result 0\n")) << run.out;
    EXPECT_TRUE(has(run.out, ": get " + std::string(e.read) + "\n  " + e.value + "\n")) << run.out;
    EXPECT_TRUE(FileExists(saved.path)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Ends, HostViewStreamEndMove,
    ::testing::Values(
        // C1 20 -> 135 at 2 kW/C: 134.9999 leaves a span of 1e-4 C and 0.0002 kW.
        EndMove{"OneSegmentRateOverNoSpan", "four", "", "set Temperature.402.2 134.9999",
                "ColdStreamInletTemperatureUpdateError", "Temperature.402.[]", "value 170 150 20 80 C"},
        // A given load of 1e6 kW over 1e-4 C is 1e10 kW/C.
        EndMove{"OneSegmentLoadOverNoSpan", "four", "set HeatFlow.405.2 1e6\n", "set Temperature.402.2 134.9999",
                "ColdStreamInletTemperatureUpdateError", "HeatCapacityFlow.404.[]", "value 3 1.5 8695.652174 4 kW/C"},
        // C1's first segment, 20 -> 80, given 1e6 kW in its segment table.
        EndMove{"FirstSegmentLoadOverNoSpan", "segments",
                "open SegmentTable.201.1\nset HeatFlow.100.0 1e6\nopen MyOwnerObject\n", "set Temperature.402.2 79.9999",
                "ColdStreamInletTemperatureUpdateError", "Temperature.402.[]", "value 170 150 20 80 C"},
        // H1's last segment, 100 -> 60 at 4 kW/C.
        EndMove{"LastSegmentRateOverNoSpan", "segments", "", "set Temperature.403.0 99.9999",
                "HotStreamOutletTemperatureUpdateError", "Temperature.403.[]", "value 60 30 135 140 C"}),
    [](const ::testing::TestParamInfo<EndMove>& info) { return std::string(info.param.name); });

}  // namespace
