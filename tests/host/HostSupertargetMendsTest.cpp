// What supertarget reports: each point is the targets at its DTmin, and the least cost is an
// optimum only where the cost rises on both sides of it.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/" + name; }

std::string Field(const std::string& json, const std::string& key, std::size_t from = 0) {
    std::size_t at = json.find("\"" + key + "\": ", from);
    if (at == std::string::npos) return std::string();
    at += key.size() + 4;
    return json.substr(at, json.find_first_of(",}]", at) - at);
}

// The four streams at DTmin 5: supertarget once gave 25 shells where targets gives 27.
TEST(HostSupertargetPoint, EqualsTheTargetsAtItsDTminInEveryFigure) {
    HostRun targets = RunHost("targets " + example("four-streams.csv") + " --dtmin 5 --json");
    HostRun super = RunHost("supertarget " + example("four-streams.csv") + " --from 4 --to 6 --step 1 --json");
    ASSERT_EQ(0, targets.exitCode) << targets.out;
    ASSERT_EQ(0, super.exitCode) << super.out;
    const std::size_t point = super.out.find("{\"dtmin\": 5,");
    ASSERT_NE(std::string::npos, point) << super.out;
    for (const char* key : {"hot_utility", "cold_utility", "area_countercurrent", "area_shell_tube", "shells",
                            "capital_cost", "operating_cost", "total_annual_cost"})
        EXPECT_EQ(Field(targets.out, key), Field(super.out, key, point)) << key << "\n" << super.out;
    EXPECT_EQ(Field(targets.out, "units_pinch"), Field(super.out, "units", point));
}

}  // namespace
