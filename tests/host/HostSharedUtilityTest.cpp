// Several heaters or coolers on one utility, as `kestrin-host design` places them at the ends of
// the streams a table leaves unsettled: every unit is calculated, the utility runs once from its
// supply to its target through all of them at one flow, and the temperatures between them are no
// degree of freedom of the network.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <ostream>
#include <random>
#include <regex>
#include <string>
#include <vector>

namespace {

struct Scratch : ScratchFile {
    Scratch(const std::string& stem, const std::string& content) : ScratchFile("shared-utility", stem, content) {}
};


std::string text(const std::string& object, const std::string& key) {
    std::smatch m;
    return std::regex_search(object, m, std::regex("\"" + key + "\": \"([^\"]*)\"")) ? m[1].str() : std::string();
}

// The unit objects of a design report.
std::vector<std::string> unitsOf(const std::string& json) {
    std::vector<std::string> units;
    const std::regex unit("\\{\"name\": \"[^\"]*\", \"kind\": \"[^\"]*\"[^}]*\\}");
    for (auto it = std::sregex_iterator(json.begin(), json.end(), unit); it != std::sregex_iterator(); ++it)
        units.push_back(it->str());
    return units;
}

const char* const kHeader = "name,hot,cold,duty,hot_order,cold_order\n";

// The benchmarks' alternating streams: hot i runs 250 - i -> 60 + i C, cold i 20 + i -> 200 - i C,
// cp 10 + i % 3, and 100 exchangers of 8 kW between random pairs, each after the earlier ones on
// its streams. Every stream keeps a load for a heater or cooler: 12 of each share HP Steam and
// Cooling Water.
std::string alternatingStreams() {
    std::string table = "name,supply,target,cp,h,kind\n";
    for (int i = 0; i < 24; ++i) {
        const bool hot = i % 2 == 0;
        table += (hot ? "H" : "C") + std::to_string(i) + "," + std::to_string(hot ? 250 - i : 20 + i) + "," +
                 std::to_string(hot ? 60 + i : 200 - i) + "," + std::to_string(10 + i % 3) + ",0.2,process\n";
    }
    return table + "HP Steam,,,,,utility\nCooling Water,,,,,utility\n";
}

std::string hundredExchangers() {
    std::mt19937 rng(5);
    std::map<std::string, int> order;
    std::string table = kHeader;
    for (int e = 1; e <= 100; ++e) {
        const std::string hot = "H" + std::to_string(2 * static_cast<int>(rng() % 12));
        const std::string cold = "C" + std::to_string(2 * static_cast<int>(rng() % 12) + 1);
        table += "E" + std::to_string(e) + "," + hot + "," + cold + ",8," + std::to_string(++order[hot]) + "," +
                 std::to_string(++order[cold]) + "\n";
    }
    return table;
}

struct SharedCase {
    const char* name;
    std::string streams;  // stream table
    std::string network;  // exchanger table
    std::size_t units;    // exchangers, heaters and coolers of the design
};

void PrintTo(const SharedCase& c, std::ostream* out) { *out << c.name; }

const std::string kFourStreams = FileContents(ExamplePath("four-streams.csv"));

const SharedCase kCases[] = {
    // E1 at 239.99 kW takes C2 80 -> 139.9975 C, within the load tolerance of its target: C2
    // needs no heater, and E1 stays calculated beside the coolers of H1 (89.99... -> 60 C, 90.01
    // kW) and H2 (180 kW) on Cooling Water and the heater of C1 (230 kW).
    {"rounded_duty_settles_a_stream_beside_two_coolers", kFourStreams,
     std::string(kHeader) + "E1,H1,C2,239.99,1,1\n", 4},
    // E4 (30 kW) leaves C1 200 and C2 240 kW for two heaters on HP Steam, and H1 330 and H2 150 kW
    // for two coolers on Cooling Water (480 kW over 20 -> 25 C: 96 kW/C).
    {"two_heaters_and_two_coolers", kFourStreams, std::string(kHeader) + "E4,H2,C1,30,1,1\n", 5},
    {"hundred_exchangers_twelve_heaters_twelve_coolers", alternatingStreams(), hundredExchangers(), 124},
};

class HostSharedUtility : public ::testing::TestWithParam<SharedCase> {};

TEST_P(HostSharedUtility, EveryUtilityExchangerIsCalculatedAndTheUtilityRunsSupplyToTargetOnce) {
    Scratch streams("streams.csv", GetParam().streams), network("network.csv", GetParam().network);
    const HostRun run = RunHost("design " + streams.path + " " + network.path + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"calculation_status\": \"calculated\"")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\"unsatisfied_streams\": []")) << run.out;
    EXPECT_EQ(0.0, JsonNumber(run.out, "degrees_of_freedom")) << run.out;

    const std::vector<std::string> units = unitsOf(run.out);
    ASSERT_EQ(GetParam().units, units.size()) << run.out;
    // Per utility: its temperature change across each unit, and the flow each unit implies.
    struct Run {
        double range = 0.0, rise = 0.0, least = INFINITY, most = -INFINITY;
        std::vector<double> flows;
    };
    std::map<std::string, Run> utilities;
    utilities["HP Steam"].range = 1.0;
    utilities["Cooling Water"].range = 5.0;
    for (const std::string& unit : units) {
        EXPECT_EQ("complete", text(unit, "status")) << unit;
        EXPECT_GT(JsonNumber(unit, "area"), 0.0) << unit;
        const std::string kind = text(unit, "kind");
        if (kind != "heater" && kind != "cooler") continue;
        const bool heater = kind == "heater";
        Run& u = utilities[text(unit, heater ? "hot" : "cold")];
        const double in = JsonNumber(unit, heater ? "hot_in" : "cold_in"), out = JsonNumber(unit, heater ? "hot_out" : "cold_out");
        u.rise += std::fabs(out - in);
        u.least = std::min({u.least, in, out});
        u.most = std::max({u.most, in, out});
        u.flows.push_back(JsonNumber(unit, "duty") / std::fabs(out - in));
    }
    // HP Steam 250 -> 249 C, Cooling Water 20 -> 25 C: once across all their units, never beyond.
    for (const auto& [name, u] : utilities) {
        ASSERT_FALSE(u.flows.empty()) << name;
        EXPECT_NEAR(u.range, u.rise, 1e-4) << name;
        EXPECT_NEAR(u.range, u.most - u.least, 1e-4) << name;
        for (double flow : u.flows) EXPECT_NEAR(u.flows.front(), flow, 1e-4 * u.flows.front()) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Networks, HostSharedUtility, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SharedCase>& info) { return std::string(info.param.name); });

}  // namespace
