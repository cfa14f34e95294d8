// kestrin-host view reads the scenario viewer's numbers: the targets and the stream table of the
// four-stream problem in SI and in customary units, and the form listing with every row's unit
// and values.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/" + name; }
bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const char* const kScript =
    "get HeatFlow.107\n"
    "get HeatFlow.108\n"
    "get Temperature.200.0\n"
    "get Temperature.203.0\n"
    "get DeltaTemp.1\n"
    "get Temperature.402.[]\n"
    "get Temperature.403.[]\n"
    "get HeatCapacityFlow.404.[]\n"
    "dims Temperature.402\n";

struct UnitCase {
    const char* options;
    std::vector<std::string> lines;
};
void PrintTo(const UnitCase& c, std::ostream* os) {
    *os << (c.options && *c.options ? c.options : "default units");
}
class HostViewValues : public ::testing::TestWithParam<UnitCase> {};

TEST_P(HostViewValues, TargetsAndTheStreamTableReadInTheUserUnits) {
    ScratchFile script("view", "values.txt", kScript);
    const HostRun run = RunHost("view " + example("four-streams.csv") + " --script " + script.path + " " + GetParam().options);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const std::string& line : GetParam().lines) EXPECT_TRUE(has(run.out, line)) << line << "\n" << run.out;
}
// 1 kW = 3412.14163 Btu/hr; 1 kW/C = 1895.63424 Btu/hr-F; F = 1.8 C + 32, a difference 1.8 C.
INSTANTIATE_TEST_SUITE_P(
    ViewUnits, HostViewValues,
    ::testing::Values(UnitCase{"", {"1: get HeatFlow.107\n  value 20 kW\n", "2: get HeatFlow.108\n  value 60 kW\n",
                                    "  value 90 C\n", "  value 80 C\n", "5: get DeltaTemp.1\n  value 10 C\n",
                                    "  value 170 150 20 80 C\n", "  value 60 30 135 140 C\n",
                                    "  value 3 1.5 2 4 kW/C\n", "  dims 4\n"}},
                      UnitCase{"--units customary",
                               {"  value 68242.83266 Btu/hr\n", "  value 204728.498 Btu/hr\n", "  value 194 F\n",
                                "  value 176 F\n", "  value 18 F\n", "  value 338 302 68 176 F\n",
                                "  value 140 86 275 284 F\n", "  value 5686.902722 2843.451361 3791.268481 7582.536962 Btu/hr-F\n"}}));

TEST(HostViewValuesForm, ListsEveryValueRowWithItsUnitAndValues) {
    const HostRun run = RunHost("view " + example("four-streams.csv") + " --form --json");
    ASSERT_EQ(0, run.exitCode) << run.out.substr(0, 2000);
    for (const char* row :
         {"{\"address\":\"HeatFlow.107\",\"hook\":\"value\",\"unit\":\"kW\",\"editable\":false,\"refuses\":[\"ReadOnlyCell\"],\"value\":20}",
          "{\"address\":\"HeatFlow.108\",\"hook\":\"value\",\"unit\":\"kW\",\"editable\":false,\"refuses\":[\"ReadOnlyCell\"],\"value\":60}",
          "{\"address\":\"Temperature.402\",\"hook\":\"value\",\"unit\":\"C\",\"editable\":true,\"refuses\":[\"TemperatureUpdateError\",\"HotStreamInletTemperatureUpdateError\",\"ColdStreamInletTemperatureUpdateError\",\"OpDesInfes\",\"ReadOnlyCell\",\"SpecRange\",\"NotANumber\",\"ValueNotTaken\"],\"values\":[170,150,20,80]}",
          "{\"address\":\"Temperature.403\",\"hook\":\"value\",\"unit\":\"C\",\"editable\":true,\"refuses\":[\"TemperatureUpdateError\",\"HotStreamOutletTemperatureUpdateError\",\"ColdStreamOutletTemperatureUpdateError\",\"OpDesInfes\",\"ReadOnlyCell\",\"SpecRange\",\"NotANumber\",\"ValueNotTaken\"],\"values\":[60,30,135,140]}",
          "{\"address\":\"HeatCapacityFlow.404\",\"hook\":\"value\",\"unit\":\"kW/C\",\"editable\":true,\"refuses\":[\"MCpUpdateError\",\"OpDesInfes\",\"ReadOnlyCell\",\"SpecRange\",\"NotANumber\",\"ValueNotTaken\"],\"values\":[3,1.5,2,4]}",
          "{\"address\":\"Temperature.200\",\"hook\":\"value\",\"unit\":\"C\",\"editable\":false,\"refuses\":[\"ReadOnlyCell\"],\"values\":[90]}",
          "{\"address\":\"Count.410\",\"hook\":\"value\",\"unit\":\"\",\"editable\":false,\"refuses\":[\"ReadOnlyCell\"],\"values\":[1,2,3,4,null]}",
          "{\"address\":\"rate_cap_int.300\",\"hook\":\"value\""})
        EXPECT_TRUE(has(run.out, row)) << row;
    // Each row once.
    EXPECT_EQ(run.out.find("\"address\":\"HeatFlow.107\""), run.out.rfind("\"address\":\"HeatFlow.107\""));
}

}  // namespace

namespace {

// The design viewer's cell that takes a heater's outlet temperature (HeatFlow.356, beside the
// heater's duty) takes a temperature in the user's unit: in customary units 284 F is 140 C, and
// the heater on C1 (125 C in, 2 kW/C) then carries 30 kW, 102364.2 Btu/hr, in the session and in
// the case reopened. Its form row says so.
TEST(HostViewValuesDesign, AHeaterOutletTypedInCustomaryUnitsIsATemperature) {
    ScratchFile design("heateroutlet", "d.case", "", false);
    ASSERT_EQ(0, RunHost("design " + example("four-streams.csv") + " " + example("four-streams-network.csv") +
                         " --save " + design.path)
                     .exitCode);
    ScratchFile saved("heateroutlet", "typed.case", "", false);
    const HostRun run = RunViewScript(design.path, "set HeatFlow.356.0 284\nget Temperature.356.0\nget HeatFlow.304.4\n",
                                      " --open design --units customary --form --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ(std::vector<double>{284.0}, ScriptValues(run.out, 2)) << run.out;
    const std::vector<double> duty = ScriptValues(run.out, 3);
    ASSERT_EQ(1u, duty.size()) << run.out;
    EXPECT_NEAR(30.0 * 3412.141633, duty[0], 0.01) << run.out;
    EXPECT_TRUE(has(run.out, "  HeatFlow.356 value type=1 unit=F ")) << run.out;
    const HostRun reopened = RunViewScript(saved.path, "get Temperature.356.0\nget HeatFlow.304.4\n", " --open design");
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_EQ((std::vector<double>{140.0}), ScriptValues(reopened.out, 1)) << reopened.out;
    EXPECT_EQ((std::vector<double>{30.0}), ScriptValues(reopened.out, 2)) << reopened.out;
}

}  // namespace
