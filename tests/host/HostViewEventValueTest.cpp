// kestrin-host view --open design on the operated network: a new value typed for an event of a
// what-if schedule that no task can carry out (a negative mass flow, one past any plant, a
// temperature below absolute zero, an inlet on the far side of the stream's target) is refused
// with its key and the event keeps its value.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct EventValue {
    const char* name;
    int kind;  // 6 a stream's mass flow, 7 its inlet temperature
    const char* value;
    const char* key;  // the refusal the event's quantity answers with
    const char* stream = "C1";
};
void PrintTo(const EventValue& e, std::ostream* out) { *out << e.name; }

class HostViewEventValue : public ::testing::TestWithParam<EventValue> {
protected:
    static void SetUpTestSuite() {
        RunHost("design " + ExamplePath("operated-streams.csv") + " " + ExamplePath("operated-network.csv") + " --save " +
                Case());
    }
    static void TearDownTestSuite() { std::remove(Case().c_str()); }
    static std::string Case() { return "/tmp/kestrin-eventvalue-" + std::to_string(getpid()) + ".kcase"; }
};

TEST_P(HostViewEventValue, NoneATaskCannotHoldIsTaken) {
    const EventValue& e = GetParam();
    const std::string schedule = "cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 " + std::to_string(e.kind) +
                                 "\nsettext HXSelection.389 " + e.stream + "\ncmd AddEventToSchedule\n";
    const HostRun run = RunViewScript(Case(), schedule + "get ExtraData.358\nexpect " + e.key + "\nset ExtraData.358 " +
                                                  e.value + "\nget ExtraData.358\n",
                                      " --open design");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, std::string("  Error ") + e.key + "|")) << run.out;
    // The event's value before and after the refusal: the line after each reading's header.
    auto reading = [&](const std::string& header) {
        const std::size_t at = run.out.find(header);
        if (at == std::string::npos) return std::string();
        const std::size_t from = at + header.size();
        return run.out.substr(from, run.out.find('\n', from) - from);
    };
    const std::string before = reading("6: get ExtraData.358\n");
    EXPECT_FALSE(before.empty()) << run.out;
    EXPECT_EQ(before, reading("9: get ExtraData.358\n")) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Values, HostViewEventValue,
    ::testing::Values(EventValue{"NegativeMassFlow", 6, "-5", "FlowRateUpdateError"},
                      EventValue{"MassFlowPastAnyPlant", 6, "1e300", "FlowRateUpdateError"},
                      EventValue{"BelowAbsoluteZero", 7, "-300", "TemperatureUpdateError"},
                      EventValue{"AboveAnyFurnace", 7, "6000", "TemperatureUpdateError"},
                      // an inlet at or past the stream's own target would turn it round
                      EventValue{"ColdInletAtItsTarget", 7, "135", "ColdStreamInletTemperatureUpdateError"},
                      EventValue{"ColdInletPastItsTarget", 7, "150", "ColdStreamInletTemperatureUpdateError"},
                      EventValue{"HotInletBelowItsTarget", 7, "29", "HotStreamInletTemperatureUpdateError", "H2"}),
    [](const ::testing::TestParamInfo<EventValue>& info) { return std::string(info.param.name); });

}  // namespace
