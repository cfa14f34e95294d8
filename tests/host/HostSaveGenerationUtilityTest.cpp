// A stream table that takes a generation utility from the defaults (steam raised or refrigerant
// recovered, whose cost per kW and year is a credit, below 0) saves as a case that reopens with the
// same targets and costs, and an automatic design of it saves too.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct Generation {
    const char* name;
    const char* utility;
};
[[maybe_unused]] void PrintTo(const Generation& g, std::ostream* os) { *os << g.name; }

class HostSaveGenerationUtility : public ::testing::TestWithParam<Generation> {};

TEST_P(HostSaveGenerationUtility, TheCaseReopensWithTheSameTargets) {
    const std::string table = std::string("name,supply,target,cp,h,kind\nH1,260,60,8,0.5,process\n") +
                              "H2,190,40,5,0.4,process\nC1,30,240,6,0.5,process\nC2,100,270,4,0.3,process\n" +
                              "Hot Oil,,,,,utility\nCooling Water,,,,,utility\n" + GetParam().utility + ",,,,,utility\n";
    ScratchFile streams("generation", std::string("table-") + GetParam().name + ".csv", table);
    ScratchFile saved("generation", std::string("targets-") + GetParam().name + ".case", "", false);
    const HostRun fromTable = RunHost("targets " + streams.path + " --save " + saved.path);
    ASSERT_EQ(fromTable.exitCode, 0) << fromTable.out;
    const HostRun fromCase = RunHost("targets " + saved.path);
    ASSERT_EQ(fromCase.exitCode, 0) << fromCase.out;
    EXPECT_EQ(fromTable.out, fromCase.out);

    ScratchFile designed("generation", std::string("designs-") + GetParam().name + ".case", "", false);
    const HostRun design =
        RunHost("autodesign " + streams.path + " --economics exponent=1 --time-limit 5 --save " + designed.path);
    ASSERT_EQ(design.exitCode, 0) << design.out;
    const HostRun reopened = RunHost("optimise " + designed.path + " --design A_Design0");
    EXPECT_EQ(reopened.exitCode, 0) << reopened.out;
}

INSTANTIATE_TEST_SUITE_P(DefaultGenerationUtilities, HostSaveGenerationUtility,
                         ::testing::Values(Generation{"steam", "LP Steam Generation"},
                                           Generation{"refrigerant", "Refrigerant 1 Generation"}));

}  // namespace
