// Over random stream tables, what kestrin-host prints: every supertarget point is `targets` at its
// DTmin, and the figures of one DTmin hang together or are "not available" together.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string Field(const std::string& json, const std::string& key, std::size_t from = 0) {
    std::size_t at = json.find("\"" + key + "\": ", from);
    if (at == std::string::npos) return std::string();
    at += key.size() + 4;
    return json.substr(at, json.find_first_of(",}]", at) - at);
}

double Number(const std::string& text) { return text == "null" ? -1.0 : std::atof(text.c_str()); }

enum class Family { Pinched, ColdUtilityOnly, HotUtilityOnly };

struct FamilyCase {
    const char* name;
    Family family;
    unsigned seed;
};

// Process streams within reach of the factory's steam and cooling water, films of 0.1 to 1.
std::string RandomTable(Family family, std::mt19937& rng) {
    std::uniform_int_distribution<int> count(1, 3), hotSupply(80, 200), coldSupply(30, 130), span(20, 110);
    std::uniform_int_distribution<int> cp(5, 50), h(1, 10);
    const int hot = family == Family::HotUtilityOnly ? 0 : count(rng);
    const int cold = family == Family::ColdUtilityOnly ? 0 : count(rng);
    std::string rows = "name,supply,target,cp,h,kind\n";
    for (int i = 0; i < hot + cold; ++i) {
        const bool isHot = i < hot;
        const int a = isHot ? hotSupply(rng) : coldSupply(rng);
        const int b = isHot ? std::max(50, a - span(rng)) : std::min(220, a + span(rng));
        rows += (isHot ? "H" : "C") + std::to_string(i + 1) + "," + std::to_string(a) + "," + std::to_string(b) + "," +
                std::to_string(cp(rng) / 10.0) + "," + std::to_string(h(rng) / 10.0) + ",process\n";
    }
    return rows + "HP Steam,,,,,utility\nCooling Water,,,,,utility\n";
}

class HostTargetsProperty : public ::testing::TestWithParam<FamilyCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const FamilyCase& c, std::ostream* os) { *os << c.name; }

TEST_P(HostTargetsProperty, SupertargetPointsAreTargetsAndFiguresHangTogether) {
    const FamilyCase& c = GetParam();
    std::mt19937 rng(c.seed);
    const std::string path = "/tmp/kestrin-property-" + std::to_string(getpid()) + "-" + c.name + ".csv";
    constexpr int kTables = 6;
    for (int table = 0; table < kTables; ++table) {
        const std::string rows = RandomTable(c.family, rng);
        std::ofstream(path) << rows;
        HostRun super = RunHost("supertarget " + path + " --from 5 --to 25 --step 10 --json");
        ASSERT_EQ(0, super.exitCode) << super.out << rows;
        for (std::size_t point = super.out.find("{\"dtmin\": "); point != std::string::npos;
             point = super.out.find("{\"dtmin\": ", point + 1)) {
            const std::string dtmin = Field(super.out, "dtmin", point);
            HostRun targets = RunHost("targets " + path + " --dtmin " + dtmin + " --json");
            ASSERT_EQ(0, targets.exitCode) << targets.out;
            for (const char* key : {"hot_utility", "cold_utility", "area_countercurrent", "area_shell_tube", "shells",
                                    "capital_cost", "operating_cost", "total_annual_cost"})
                EXPECT_EQ(Field(targets.out, key), Field(super.out, key, point))
                    << key << " at DTmin " << dtmin << "\n" << rows;
            EXPECT_EQ(Field(targets.out, "units_pinch"), Field(super.out, "units_pinch", point)) << dtmin << "\n" << rows;

            const double area = Number(Field(targets.out, "area_shell_tube"));
            const double units = Number(Field(targets.out, "units_pinch"));
            const double shells = Number(Field(targets.out, "shells"));
            const double capital = Number(Field(targets.out, "capital_cost"));
            const double operating = Number(Field(targets.out, "operating_cost"));
            const double total = Number(Field(targets.out, "total_annual_cost"));
            const bool available = Field(targets.out, "units_overall") != "null";
            if (area > 0.0) {
                EXPECT_GE(shells, 1.0) << "area without a shell at " << dtmin << "\n" << rows;
                EXPECT_GT(capital, 0.0) << "area without capital at " << dtmin << "\n" << rows;
            }
            if (!available) continue;
            if (units >= 1.0) {
                EXPECT_GT(area, 0.0) << "units without area at " << dtmin << "\n" << rows;
            }
            EXPECT_GE(total, operating) << "at " << dtmin << "\n" << rows;
        }
    }
    std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(RandomTables, HostTargetsProperty,
                         ::testing::Values(FamilyCase{"pinched", Family::Pinched, 5u},
                                           FamilyCase{"coldUtilityOnly", Family::ColdUtilityOnly, 7u},
                                           FamilyCase{"hotUtilityOnly", Family::HotUtilityOnly, 13u}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
